// The Wayland side. Its rules on their own: the size windows see of a mode,
// in a session and in mutter's physical layout alike, and what is left of a
// deadline. Then the Wayland screen source against real compositors started
// headless: sway (wlroots) with scaled and turned outputs, natively and
// through its XWayland; weston, scaled and turned, with its protocol trace
// asked for. (The X server tests show the fall-back to X11 when no compositor
// answers.)
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "platform/linux/deadline.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/wayland/logical_size.h"
#include "report/screen_report.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/report_json.h"

namespace lsscreens::testing {
namespace {

using namespace linux_platform;
using nlohmann::json;

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

// The report without one member in each screen.
json without(json report, const std::string& member)
{
    for (auto& screen : report)
        screen.erase(member);
    return report;
}

TEST(Wayland, SwayNativelyAndThroughXWaylandAndWeston)
{
    const auto sway = Compositor::sway(4, "output HEADLESS-1 mode 1280x1024\n"
                                          "output HEADLESS-2 mode 2560x1440 scale 2\n"
                                          "output HEADLESS-3 mode 1920x1080 scale 1.5\n"
                                          "output HEADLESS-4 mode 1600x1200 transform 90");
    const auto weston = Compositor::weston({"--width=1280", "--height=720", "--scale=2", "--transform=rotate-90"});
    ASSERT_TRUE(sway && weston);
    DrmFixture sysfs;
    sysfs.addConnector("card0-HEADLESS-1", "connected", edidSample("DEL_A056_001.bin").bytes);
    sysfs.addConnector("card0-HEADLESS-2", "connected", edidSample("HWP_3106_125.bin").bytes);
    sysfs.addConnector("card0-HEADLESS-3", "connected", edidSample("HWP_3106_126.bin").bytes);  // its twin
    sysfs.addConnector("card0-HEADLESS-4", "connected");                                        // no EDID
    sysfs.addConnector("card0-DP-9", "connected", ghostEdid());  // identifies nothing, so names nothing
    setenv("WAYLAND_DISPLAY", sway->socket.c_str(), 1);
    linux_platform::startRun(sysfs.root());
    // Ids are the compositor's to choose; the names show that each leads to its output.
    const json report = without(json::parse(screenReport().json), "id");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(report, json::parse(R"([
        {"resWidth":1280,"resHeight":1024,"mmWidth":0,"mmHeight":0,"name":"DELL U2711"},
        {"resWidth":1280,"resHeight":720,"mmWidth":0,"mmHeight":0,"name":"HP E271i"},
        {"resWidth":1280,"resHeight":720,"mmWidth":0,"mmHeight":0,"name":"HP E271i"},
        {"resWidth":1200,"resHeight":1600,"mmWidth":0,"mmHeight":0}])"));
    // The same sizes through XWayland; Xwayland 22 names its outputs
    // XWAYLAND0..., which no connector matches, so no names.
    EXPECT_EQ(without(reportOf(sway->run({LSSCREENS_BINARY}, {"DISPLAY=" + sway->xDisplay, "WAYLAND_DISPLAY=none"})), "id"),
              without(report, "name"));

    EXPECT_EQ(without(reportOf(run({"env", "WAYLAND_DEBUG=1", "WAYLAND_DISPLAY=" + weston->socket, LSSCREENS_BINARY})), "id"),
              json::parse(R"([{"resWidth":720,"resHeight":1280,"mmWidth":720,"mmHeight":1280}])"));
}

}  // namespace
}  // namespace lsscreens::testing
