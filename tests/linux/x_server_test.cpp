// The real lsscreens binary against real X servers, its output parsed with a
// real JSON parser, its standard error empty; and product names end to end,
// the report run in-process so that the display registry can be a fixture. Xvfb gives one output named "screen" per X screen, always 0 mm;
// Xorg with the dummy driver gives 16 outputs whose physical size can be set.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "platform/linux/linux_platform.h"
#include "report/screen_report.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/report_json.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

// The binary's report. No compositor answers the Wayland socket it is given,
// so each report here also shows the fall-back to X11. A server's answer,
// or its refusal, is not waited out: the run ends well inside the X11 budget.
json lsscreens(int exitStatus = 0)
{
    const auto started = std::chrono::steady_clock::now();
    const json report = reportOf(run({"env", "WAYLAND_DISPLAY=lsscreens-no-such-socket", LSSCREENS_BINARY}), exitStatus);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1500));
    return report;
}

// Each X screen lists its own primary first, so only a primary on a later X
// screen shows that the tool puts it first. A virtual monitor has no id. Names
// come from the EDID an output carries, else from the EDID of the connector
// named like the output ("screen"). The server wants a cookie; a client
// without one is refused (exit 2: a server was there and gave no screens),
// and libxcb itself would write why on standard error.
TEST(Xvfb, ThePrimaryOfALaterXScreenFirstTheirNamesAndNoScreensWithoutACookie)
{
    const ScratchDirectory cookies;  // the server takes every cookie in its file, whatever its display
    ASSERT_EQ(run({"xauth", "-f", cookies.path / "server", "add", ":0", ".", "0123456789abcdef"}).status, 0);
    setenv("XAUTHORITY", (cookies.path / "server").c_str(), 1);
    auto argv = xvfb({"1920x1080x24", "1024x768x24", "800x600x24"});
    argv.insert(argv.end(), {"-auth", cookies.path / "server"});
    const XServer server(argv);
    // Clients look their cookie up under the display the server took.
    ASSERT_EQ(run({"xauth", "-f", cookies.path / "server", "add", server.display, ".", "0123456789abcdef"}).status, 0);
    ASSERT_TRUE(xrandr("--screen 2 --output screen --primary"));
    ASSERT_TRUE(xrandr("--screen 1 --setmonitor HALF 512/100x768/200+0+0 none"));
    ASSERT_TRUE(setEdid(outputs(0).at("screen"), edidSample("DEL_A056_001.bin").bytes));
    ASSERT_TRUE(setEdid(outputs(1).at("screen"), edidSample("AUS_2768_118.bin").bytes));
    // No names: the machine's own registry has none of these monitors.
    EXPECT_EQ(lsscreens(), json::array({screen(800, 600, 0, 0, outputs(2).at("screen")),
                                        screen(1920, 1080, 0, 0, outputs(0).at("screen")), json{{"resWidth", 512}, {"resHeight", 768}},
                                        screen(1024, 768, 0, 0, outputs(1).at("screen"))}));

    DrmFixture sysfs;  // an unrelated monitor, the twin first, the connector named "screen"
    for (const auto& [connector, file] : std::vector<std::pair<std::string, std::string>>{
             {"card0-DP-1", "SAM_707F_003.bin"}, {"card0-DP-4", "AUS_2768_117.bin"}, {"card0-DP-7", "AUS_2768_118.bin"},
             {"card0-screen", "LEN_65E0_004.bin"}, {"card1-HDMI-A-2", "DEL_A056_001.bin"}})
        sysfs.addConnector(connector, "connected", edidSample(file).bytes);
    linux_platform::startRun(sysfs.root());
    json names = json::array();
    for (const auto& screen : json::parse(screenReport().json))
        names.push_back(screen.value("name", json()));
    EXPECT_EQ(names, json::parse(R"(["LEN L27i-28", "DELL U2711", null, "ASUS PA279"])"));

    setenv("XAUTHORITY", (cookies.path / "none").c_str(), 1);
    EXPECT_EQ(lsscreens(2), json::array());
    unsetenv("XAUTHORITY");
}

TEST(XorgDummy, OutputsWithPhysicalSizesKnownUnknownOrNegativeAndOneSwitchedOff)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "Xorg with the dummy driver needs root";
    const ScratchDirectory scratch;
    const XServer server(xorgDummy(scratch.path));
    ASSERT_TRUE(xrandr("--addmode DUMMY1 1024x768 --addmode DUMMY2 800x600 --addmode DUMMY3 640x480"));
    ASSERT_TRUE(xrandr("--output DUMMY1 --mode 1024x768 --right-of DUMMY0 --set WIDTH_MM 597 --set HEIGHT_MM 336 "
                       "--output DUMMY2 --mode 800x600 --right-of DUMMY1 --primary --set WIDTH_MM -1 --set HEIGHT_MM 296 "
                       "--output DUMMY3 --mode 640x480 --right-of DUMMY2"));
    ASSERT_TRUE(xrandr("--output DUMMY3 --off"));
    const auto ids = outputs();
    EXPECT_EQ(lsscreens(), json::array({screen(800, 600, 0, 296, ids.at("DUMMY2")),
                                        screen(2048, 1536, 0, 0, ids.at("DUMMY0")),
                                        screen(1024, 768, 597, 336, ids.at("DUMMY1"))}));
}

}  // namespace
}  // namespace lsscreens::testing
