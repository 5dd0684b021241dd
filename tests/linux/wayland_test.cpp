// The Wayland screen source against real compositors started headless: sway
// (wlroots) with scaled and turned outputs, natively and through its
// XWayland; weston, scaled and turned, with its protocol trace asked for. (The X server tests show the fall-back
// to X11 when no compositor answers.)
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/linux/linux_platform.h"
#include "report/screen_report.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/report_json.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

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
