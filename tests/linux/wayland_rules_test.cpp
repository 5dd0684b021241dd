// The Wayland side's rules on their own: the size windows see of a mode, in a
// session and in mutter's physical layout alike, and what is left of a deadline.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "platform/linux/deadline.h"
#include "platform/linux/wayland/logical_size.h"

namespace lsscreens::linux_platform {
namespace {

TEST(LogicalSize, ModeDividedBySaneScalesTurnedByQuarterTurnsFlippedOrNot)
{
    struct Row { std::int32_t width, height; double scale; std::int32_t transform; LogicalSize size; };
    for (const Row& row : std::initializer_list<Row>{
             {2560, 1440, 1, 0, {2560, 1440}}, {2560, 1440, 2, 1, {720, 1280}}, {1920, 1080, 1.5, 5, {720, 1280}},
             {1366, 768, 1.5, 7, {512, 910}},  // 910.67 truncated
             {1920, 1080, 2, 9, {960, 540}}, {1920, 1080, 2, -1, {960, 540}}, {1920, 1080, 0, 3, {1080, 1920}},
             {1920, 1080, NAN, 2, {1920, 1080}}, {1920, 1080, 0.5, 4, {1920, 1080}}, {1920, 1080, 1e300, 6, {1920, 1080}},
             {-5, INT_MAX, 1.25, 8, {0, 1717986917}}}) {
        const LogicalSize size = logicalSizeOfMode(row.width, row.height, row.scale, row.transform);
        EXPECT_TRUE(size == row.size) << row.width << "x" << row.height << " at " << row.scale << ", transform "
                                      << row.transform << ": " << size.width << "x" << size.height;
    }
}

// A wait computed after its deadline must not become poll's endless -1.
TEST(Deadline, NothingLeftOncePassedAndNeverNegative)
{
    const auto now = std::chrono::steady_clock::now();
    EXPECT_EQ(millisecondsLeft(now - std::chrono::milliseconds(1)), 0);
    EXPECT_EQ(millisecondsLeft(now + std::chrono::hours(24 * 25)), INT_MAX);  // more milliseconds than an int holds
    EXPECT_GT(millisecondsLeft(now + std::chrono::seconds(1)), 900);
}

}  // namespace
}  // namespace lsscreens::linux_platform
