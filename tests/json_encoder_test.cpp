// The report's JSON text: checked byte for byte where the format is promised
// (compactness, escapes, omitted members) and parsed with a real JSON parser
// to prove the text is valid JSON that carries the right values.
#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "report/json_encoder.h"
#include "report/json_string.h"

namespace lsscreens {
namespace {

using nlohmann::json;

std::string encodeName(const std::string& name)
{
    return JSONEncoder().encode({ScreenInfo{1, 2, std::nullopt, std::nullopt, std::nullopt, name}});
}

std::string jsonString(std::string_view text)
{
    std::string out;
    appendJSONString(out, text);
    return out;
}

TEST(JsonEncoder, EmptyReportIsAnEmptyArray)
{
    EXPECT_EQ(JSONEncoder().encode({}), "[]");
}

TEST(JsonEncoder, CompactMembersInFieldOrderAbsentOnesLeftOut)
{
    const std::vector<ScreenInfo> screens{
        {2560, 1440, 597, 336, 66, "DELL U2723QE"},
        {799, 600, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {1024, 768, std::nullopt, std::nullopt, std::nullopt, "Name"},
        {0, 0, 0, 0, 4294967295, std::nullopt},
    };
    const std::string text = JSONEncoder().encode(screens);
    EXPECT_EQ(text,
              R"([{"resWidth":2560,"resHeight":1440,"mmWidth":597,"mmHeight":336,"id":66,"name":"DELL U2723QE"},)"
              R"({"resWidth":799,"resHeight":600},)"
              R"({"resWidth":1024,"resHeight":768,"name":"Name"},)"
              R"({"resWidth":0,"resHeight":0,"mmWidth":0,"mmHeight":0,"id":4294967295}])");

    const json parsed = json::parse(text);
    ASSERT_EQ(parsed.size(), 4u);
    EXPECT_EQ(parsed[1].size(), 2u);  // omitted, not null
    EXPECT_FALSE(parsed[1].contains("name"));
    EXPECT_EQ(parsed[2]["name"], "Name");
    EXPECT_EQ(parsed[3]["id"].get<std::int64_t>(), 4294967295);
}

TEST(JsonEncoder, IntegersAtTheEndsOfTheRangeArePlainDecimal)
{
    constexpr auto lowest = std::numeric_limits<std::int64_t>::min();
    constexpr auto highest = std::numeric_limits<std::int64_t>::max();
    const std::string text =
        JSONEncoder().encode({ScreenInfo{lowest, highest, -1, 0, 0, std::nullopt}});
    EXPECT_EQ(text, R"([{"resWidth":-9223372036854775808,"resHeight":9223372036854775807,)"
                    R"("mmWidth":-1,"mmHeight":0,"id":0}])");
    const json parsed = json::parse(text);
    EXPECT_EQ(parsed[0]["resWidth"].get<std::int64_t>(), lowest);
    EXPECT_EQ(parsed[0]["resHeight"].get<std::int64_t>(), highest);
}

TEST(JsonString, EscapesQuotesBackslashSolidusAndControlCharacters)
{
    EXPECT_EQ(jsonString("AB/CD"), R"("AB\/CD")");
    EXPECT_EQ(jsonString("say \"hi\" \\ bye"), R"("say \"hi\" \\ bye")");
    EXPECT_EQ(jsonString("\n\r\t\b\f"), R"("\n\r\t\b\f")");
    EXPECT_EQ(jsonString(std::string("\x00\x01\x1f\x7f", 4)), "\"\\u0000\\u0001\\u001f\x7f\"");

    // Every control character, and the characters around them, survive a
    // round trip through a real parser.
    std::string all;
    for (int c = 0; c < 0x80; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(json::parse(jsonString(all)).get<std::string>(), all);
    EXPECT_EQ(json::parse(encodeName(all))[0]["name"].get<std::string>(), all);
}

TEST(JsonString, NonAsciiIsWrittenAsItself)
{
    const std::string name = "Écran 显示器 \xF0\x9F\x96\xA5";  // U+1F5A5, four bytes
    EXPECT_EQ(jsonString(name), "\"" + name + "\"");
    EXPECT_EQ(json::parse(encodeName(name))[0]["name"].get<std::string>(), name);
}

TEST(JsonString, InvalidUtf8BecomesOneReplacementCharacterPerMaximalSubpart)
{
    const std::string fffd = "\xEF\xBF\xBD";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Acer\xA0" "AL171\xB4", "Acer" + fffd + "AL171" + fffd},  // Latin-1 bytes
        {"\xFF\xFE", fffd + fffd},                                  // never valid
        {"\xC0\xAF", fffd + fffd},                                  // overlong "/"
        {"\xE0\x80\xAF", fffd + fffd + fffd},                       // overlong, 3 bytes
        {"\xED\xA0\x80", fffd + fffd + fffd},                       // surrogate U+D800
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},            // above U+10FFFF
        {"\xE2\x82", fffd},                                         // cut short at the end
        {"\xE2\x82" "A", fffd + "A"},                               // cut short before ASCII
        {"\xF0\x9F\x96", fffd},                                     // 4-byte sequence cut short
        {"\xD6\xD0\xCE\xC4", fffd + fffd + fffd + fffd},                // GBK Chinese
        {"\xC3\xA9\xC3", "\xC3\xA9" + fffd},                            // valid, then cut short
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(jsonString(input), "\"" + expected + "\"") << testing::PrintToString(input);
        EXPECT_TRUE(json::accept(encodeName(input))) << testing::PrintToString(input);
    }
}

}  // namespace
}  // namespace lsscreens
