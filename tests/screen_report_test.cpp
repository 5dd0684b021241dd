// The whole run and its JSON text: byte for byte where the format is
// promised, and parsed with a real JSON parser to prove it is valid JSON that
// carries the right values.
#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>

#include "report/json_encoder.h"
#include "report/json_string.h"
#include "report/screen_report.h"
#include "tests/standin_test.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

class ScreenReport : public StandinTest {};

TEST_F(ScreenReport, NoScreensIsAnEmptyArrayAndOneLineFeed)
{
    EXPECT_EQ(screenReport(), "[]\n");
    EXPECT_EQ(world().calls, words("NSScreen.screens"));
}

TEST_F(ScreenReport, EveryScreenInTheWindowSystemsOrderFromOneScreenList)
{
    // Two identical monitors without serial numbers (both get the first
    // entry's name), a screen without display id whose sizes are at the ends
    // of the range, and a display whose registry entry has no serial number.
    world().displays[69] = world().displays[70] = {{527.9, 296.4}, 0x4C2D, 0x707F, 0};
    world().displays[1] = {{0, 0}, 0x0610, 0xA040, 0};
    world().services = {{displayInfo(0x4C2D, 0x707F, -5, "LF27T35 \"Q\"/2")},  // inexact serial: 0
                        {displayInfo(0x4C2D, 0x707F, 0, "Never reached")},
                        {displayInfo(0x0610, 0xA040, std::nullopt, "Color LCD")}};
    world().screens = {{{{0, 0}, {2560, 1440}}, describedAs(Number::integer(69))},
                       {{{2560, 0}, {2560.9, 1440.5}}, describedAs(Number::integer(70))},
                       {{{0, 1440}, {1e300, -1e300}}, Dictionary{{"NSDeviceSize", OtherKind{}}}},
                       {{{-1512, 0}, {1512, 982}}, describedAs(Number::integer(1))}};

    const std::string report = screenReport();
    EXPECT_EQ(report,
              R"([{"resWidth":2560,"resHeight":1440,"mmWidth":527,"mmHeight":296,"id":69,"name":"LF27T35 \"Q\"\/2"},)"
              R"({"resWidth":2560,"resHeight":1440,"mmWidth":527,"mmHeight":296,"id":70,"name":"LF27T35 \"Q\"\/2"},)"
              R"({"resWidth":9223372036854775807,"resHeight":-9223372036854775808},)"
              R"({"resWidth":1512,"resHeight":982,"mmWidth":0,"mmHeight":0,"id":1,"name":"Color LCD"}])" "\n");
    const json parsed = json::parse(report);
    EXPECT_EQ(parsed[2]["resHeight"].get<std::int64_t>(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(parsed[0]["name"], "LF27T35 \"Q\"/2");
    EXPECT_EQ(world().calls.front(), "NSScreen.screens");
    EXPECT_EQ(std::count(world().calls.begin(), world().calls.end(), "NSScreen.screens"), 1);
}

TEST(JsonString, EscapesAndRepairedUtf8)
{
    const std::string fffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"AB/CD", R"("AB\/CD")"},
        {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
        {"\n\r\t\b\f", R"("\n\r\t\b\f")"},
        {std::string("\x00\x01\x1f\x7f", 4), "\"\\u0000\\u0001\\u001f\x7f\""},
        {"Écran 显示器 \xF0\x9F\x96\xA5", "\"Écran 显示器 \xF0\x9F\x96\xA5\""},  // as itself
        {"Acer\xA0" "AL171\xB4", "\"Acer" + fffd + "AL171" + fffd + "\""},  // Latin-1 bytes
        {"\xFF\xFE", "\"" + fffd + fffd + "\""},                              // never valid
        {"\xC0\xAF", "\"" + fffd + fffd + "\""},                              // overlong "/"
        {"\xE0\x80\xAF", "\"" + fffd + fffd + fffd + "\""},                   // overlong, 3 bytes
        {"\xED\xA0\x80", "\"" + fffd + fffd + fffd + "\""},                   // surrogate U+D800
        {"\xF4\x90\x80\x80", "\"" + fffd + fffd + fffd + fffd + "\""},        // above U+10FFFF
        {"\xF0\x8F\xBF\xBF", "\"" + fffd + fffd + fffd + fffd + "\""},        // overlong, 4 bytes
        {"\xE2\x82" "A", "\"" + fffd + "A\""},                                // cut short before ASCII
        {"\xF0\x9F\x96", "\"" + fffd + "\""},                                 // cut short at the end
        {"\xC3\xA9\xC3", "\"\xC3\xA9" + fffd + "\""},                         // valid, then cut short
    };
    for (const auto& [input, expected] : cases) {
        std::string out;
        appendJSONString(out, input);
        EXPECT_EQ(out, expected) << ::testing::PrintToString(input);
        EXPECT_TRUE(json::accept(out));
    }

    // Every ASCII character survives a round trip through a real parser.
    std::string all;
    for (int c = 0; c < 0x80; ++c)
        all += static_cast<char>(c);
    const auto name = json::parse(JSONEncoder().encode({{1, 2, std::nullopt, std::nullopt, std::nullopt, all}}));
    EXPECT_EQ(name[0]["name"].get<std::string>(), all);
}

}  // namespace
}  // namespace lsscreens::testing
