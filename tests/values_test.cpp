// The values every report goes through: JSON strings (escapes and the repair
// of ill-formed UTF-8), the truncation of sizes, the two readings of a
// number object, and the dictionaries a platform hands out until released. Their edges (NaN, infinities, values beyond the target
// range, negative zero, broken byte sequences) are where faults and undefined
// behaviour would hide.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <nlohmann/json.hpp>

#include "display/platform_value.h"
#include "display/truncation.h"
#include "platform/shared/registry_objects.h"
#include "report/json_encoder.h"
#include "report/json_string.h"

namespace lsscreens {
namespace {

using nlohmann::json;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
constexpr auto none = std::nullopt;

TEST(Truncation, TowardZeroSaturatingNaNIsZero)
{
    const std::pair<double, std::int64_t> cases[] = {
        {799.5, 799}, {600.9, 600}, {-0.9, 0}, {-2.5, -2}, {nan, 0}, {inf, int64Max}, {-inf, int64Min},
        {9223372036854775808.0, int64Max}, {9223372036854774784.0, 9223372036854774784},
        {-9223372036854775808.0, int64Min}, {-1e300, int64Min}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(truncatedToInt64(in), out) << in;
}

// exactUInt32: only values exactly representable; unsignedIntValue: integers
// wrap modulo 2^32, floating values are truncated first, NaN and infinities 0.
TEST(NumberObject, ExactAndLenientUnsigned32)
{
    const struct {
        Number number;
        std::optional<std::uint32_t> exact;
        std::uint32_t lenient;
    } cases[] = {
        {Number::integer(4294967295), 4294967295u, 4294967295u}, {Number::integer(4294967296 + 5), none, 5u},
        {Number::integer(-1), none, 0xFFFFFFFFu}, {Number::integer(int64Min), none, 0u},
        {Number::floating(5.0), 5u, 5u}, {Number::floating(-0.0), 0u, 0u},
        {Number::floating(4294967295.0), 4294967295u, 4294967295u}, {Number::floating(4294967296.0), none, 0u},
        {Number::floating(7.9), none, 7u}, {Number::floating(-1.5), none, 0xFFFFFFFFu},
        {Number::floating(4294967301.7), none, 5u}, {Number::floating(-4294967296.0), none, 0u},
        {Number::floating(1e300), none, static_cast<std::uint32_t>(std::fmod(1e300, 4294967296.0))},
        {Number::floating(0x1p83 + 0x1p31), none, 1u << 31}, {Number::floating(-0x1p70 - 0x1p20), none, 0xFFF00000u},
        {Number::floating(nan), none, 0u}, {Number::floating(inf), none, 0u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.number.exactUInt32(), c.exact) << &c - cases;
        EXPECT_EQ(c.number.unsignedIntValue(), c.lenient) << &c - cases;
    }
}

TEST(JsonString, EscapesAndRepairedUtf8)
{
    const std::string fffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"AB/CD", R"("AB\/CD")"}, {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"}, {"\n\r\t\b\f", R"("\n\r\t\b\f")"},
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
    std::string all(0x80, '\0');
    std::iota(all.begin(), all.end(), '\0');
    const auto name = json::parse(JSONEncoder().encode({{1, 2, std::nullopt, std::nullopt, std::nullopt, all}}));
    EXPECT_EQ(name[0]["name"].get<std::string>(), all);
}

// Each reference handed out holds the dictionary until it is given back, and
// a release lets go of it for good: a second release of the same reference
// is refused, and the platform's shared copy is the only holder left.
TEST(LiveObjects, AReleasedDictionaryIsDroppedOnce)
{
    platform_shared::LiveObjects objects;
    const auto kept = std::make_shared<const Value>(Dictionary{{"DisplayProductName", "LF27T35"}});
    const CFTypeRef first = objects.add(kept).release();
    const CFTypeRef second = objects.add(kept).release();
    const CFTypeRef other = objects.add(Value(Dictionary{})).release();
    EXPECT_EQ(kept.use_count(), 3);
    EXPECT_TRUE(objects.release(first));
    EXPECT_TRUE(objects.release(other));
    EXPECT_FALSE(objects.release(other));
    EXPECT_EQ(kept.use_count(), 2);
    EXPECT_TRUE(objects.release(second));
    EXPECT_FALSE(objects.release(first));
    EXPECT_EQ(kept.use_count(), 1);
    EXPECT_EQ(objects.size(), 0u);
}

}  // namespace
}  // namespace lsscreens
