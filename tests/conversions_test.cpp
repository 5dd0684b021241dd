// The numeric conversions every field goes through. Their edges (NaN,
// infinities, values beyond the target range, negative zero) are where
// undefined behaviour would hide.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/platform_value.h"
#include "display/truncation.h"

namespace lsscreens {
namespace {

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
        {Number::integer(0), 0u, 0u},
        {Number::integer(4294967295), 4294967295u, 4294967295u},
        {Number::integer(4294967296 + 5), none, 5u},
        {Number::integer(-1), none, 0xFFFFFFFFu},
        {Number::integer(int64Min), none, 0u},
        {Number::floating(5.0), 5u, 5u},
        {Number::floating(-0.0), 0u, 0u},
        {Number::floating(4294967295.0), 4294967295u, 4294967295u},
        {Number::floating(4294967296.0), none, 0u},
        {Number::floating(7.9), none, 7u},
        {Number::floating(-1.5), none, 0xFFFFFFFFu},
        {Number::floating(4294967301.7), none, 5u},
        {Number::floating(-4294967296.0), none, 0u},
        {Number::floating(1e300), none, static_cast<std::uint32_t>(std::fmod(1e300, 4294967296.0))},
        {Number::floating(nan), none, 0u},
        {Number::floating(inf), none, 0u},
        {Number::floating(-inf), none, 0u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.number.exactUInt32(), c.exact) << &c - cases;
        EXPECT_EQ(c.number.unsignedIntValue(), c.lenient) << &c - cases;
    }
}

}  // namespace
}  // namespace lsscreens
