// The two numeric conversions every field goes through. Their edges (NaN,
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
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();

TEST(Truncation, TowardZeroAndSaturatingWithoutUndefinedBehaviour)
{
    EXPECT_EQ(truncatedToInt64(799.5), 799);
    EXPECT_EQ(truncatedToInt64(600.9), 600);
    EXPECT_EQ(truncatedToInt64(-0.9), 0);
    EXPECT_EQ(truncatedToInt64(-2.5), -2);
    EXPECT_EQ(truncatedToInt64(nan), 0);
    EXPECT_EQ(truncatedToInt64(infinity), int64Max);
    EXPECT_EQ(truncatedToInt64(-infinity), int64Min);
    EXPECT_EQ(truncatedToInt64(9223372036854775808.0), int64Max);   // 2^63
    EXPECT_EQ(truncatedToInt64(9223372036854774784.0), 9223372036854774784);  // largest below
    EXPECT_EQ(truncatedToInt64(-9223372036854775808.0), int64Min);  // exactly representable
    EXPECT_EQ(truncatedToInt64(-1e300), int64Min);
}

TEST(NumberObject, ExactUnsigned32AcceptsOnlyExactValues)
{
    EXPECT_EQ(Number::integer(0).exactUInt32(), 0u);
    EXPECT_EQ(Number::integer(4294967295).exactUInt32(), 4294967295u);
    EXPECT_EQ(Number::integer(4294967296).exactUInt32(), std::nullopt);
    EXPECT_EQ(Number::integer(-1).exactUInt32(), std::nullopt);
    EXPECT_EQ(Number::floating(5.0).exactUInt32(), 5u);
    EXPECT_EQ(Number::floating(-0.0).exactUInt32(), 0u);
    EXPECT_EQ(Number::floating(4294967295.0).exactUInt32(), 4294967295u);
    EXPECT_EQ(Number::floating(4294967296.0).exactUInt32(), std::nullopt);
    EXPECT_EQ(Number::floating(5.5).exactUInt32(), std::nullopt);
    EXPECT_EQ(Number::floating(-1.0).exactUInt32(), std::nullopt);
    EXPECT_EQ(Number::floating(nan).exactUInt32(), std::nullopt);
    EXPECT_EQ(Number::floating(infinity).exactUInt32(), std::nullopt);
}

TEST(NumberObject, UnsignedIntValueWrapsIntegersAndTruncatesFloatingValues)
{
    EXPECT_EQ(Number::integer(-1).unsignedIntValue(), 0xFFFFFFFFu);
    EXPECT_EQ(Number::integer(4294967296 + 5).unsignedIntValue(), 5u);
    EXPECT_EQ(Number::integer(int64Min).unsignedIntValue(), 0u);
    EXPECT_EQ(Number::floating(7.9).unsignedIntValue(), 7u);
    EXPECT_EQ(Number::floating(-1.5).unsignedIntValue(), 0xFFFFFFFFu);
    EXPECT_EQ(Number::floating(4294967301.7).unsignedIntValue(), 5u);
    EXPECT_EQ(Number::floating(-4294967296.0).unsignedIntValue(), 0u);
    EXPECT_EQ(Number::floating(1e300).unsignedIntValue(),
              static_cast<std::uint32_t>(std::fmod(1e300, 4294967296.0)));
    EXPECT_EQ(Number::floating(nan).unsignedIntValue(), 0u);
    EXPECT_EQ(Number::floating(-infinity).unsignedIntValue(), 0u);
}

}  // namespace
}  // namespace lsscreens
