// The real lsscreens binary against real X servers, its output parsed with a
// real JSON parser, its standard error empty; and product names end to end,
// with the report run in-process so that the display registry can be a
// fixture. Xvfb gives one output named "screen" per X screen, always 0 mm;
// Xorg with the dummy driver gives 16 outputs whose physical size can be set.
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "platform/linux/linux_platform.h"
#include "report/screen_report.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/harness.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

// The binary's report. No compositor answers the Wayland socket it is given,
// so each report here also shows the fall-back to X11.
json lsscreens()
{
    const Finished finished = run({"env", "WAYLAND_DISPLAY=lsscreens-no-such-socket", LSSCREENS_BINARY});
    EXPECT_EQ(finished.status, 0);
    EXPECT_EQ(finished.err, "");
    return json::parse(finished.out);
}

json screen(int width, int height) { return {{"resWidth", width}, {"resHeight", height}}; }
json screen(int width, int height, int mmWidth, int mmHeight, std::uint32_t id)
{
    return {{"resWidth", width}, {"resHeight", height}, {"mmWidth", mmWidth}, {"mmHeight", mmHeight}, {"id", id}};
}

// Each X screen lists its own primary first, so only a primary on a later X
// screen shows that the tool puts it first. A virtual monitor has no id. The
// server wants a cookie; a client without one is refused, and libxcb itself
// would write the reason on standard error.
TEST(Xvfb, ThePrimaryOfALaterXScreenFirstThenTheOthersAndNoScreensWithoutACookie)
{
    const ScratchDirectory cookies;  // the server takes every cookie in its file, whatever its display
    ASSERT_EQ(run({"xauth", "-f", cookies.path / "server", "add", ":0", ".", "0123456789abcdef"}).status, 0);
    setenv("XAUTHORITY", (cookies.path / "server").c_str(), 1);
    auto argv = xvfb({"1920x1080x24", "1024x768x24", "800x600x24"});
    argv.insert(argv.end(), {"-auth", cookies.path / "server"});
    const XServer server(argv);
    ASSERT_TRUE(xrandr("--screen 2 --output screen --primary"));
    ASSERT_TRUE(xrandr("--screen 1 --setmonitor HALF 512/100x768/200+0+0 none"));
    EXPECT_EQ(lsscreens(), json::array({screen(800, 600, 0, 0, outputs(2).at("screen")),
                                        screen(1920, 1080, 0, 0, outputs(0).at("screen")), screen(512, 768),
                                        screen(1024, 768, 0, 0, outputs(1).at("screen"))}));
    setenv("XAUTHORITY", (cookies.path / "none").c_str(), 1);
    EXPECT_EQ(lsscreens(), json::array());
    unsetenv("XAUTHORITY");
}

TEST(XorgDummy, OutputsWithPhysicalSizesKnownUnknownOrNegativeAndOneSwitchedOff)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "Xorg with the dummy driver needs root";
    const ScratchDirectory scratch;
    const XServer server(xorgDummy(scratch.path));
    for (const std::string setup :
         {"--addmode DUMMY1 1024x768 --addmode DUMMY2 800x600 --addmode DUMMY3 640x480",
          "--output DUMMY1 --mode 1024x768 --right-of DUMMY0 --set WIDTH_MM 597 --set HEIGHT_MM 336 "
          "--output DUMMY2 --mode 800x600 --right-of DUMMY1 --primary --set WIDTH_MM -1 --set HEIGHT_MM 296 "
          "--output DUMMY3 --mode 640x480 --right-of DUMMY2",
          "--output DUMMY3 --off"})
        ASSERT_TRUE(xrandr(setup)) << setup;
    const auto ids = outputs();
    EXPECT_EQ(lsscreens(), json::array({screen(800, 600, 0, 296, ids.at("DUMMY2")),
                                        screen(2048, 1536, 0, 0, ids.at("DUMMY0")),
                                        screen(1024, 768, 597, 336, ids.at("DUMMY1"))}));
}

TEST(NamesEndToEnd, EachScreenGetsItsOwnMonitorsName)
{
    // Six X screens, one output named "screen" each: a Dell, a panel without a
    // name descriptor, a monitor whose serial tells it from its twin, two
    // identical monitors without serial numbers, and an output without an
    // EDID, which takes the EDID of the connector named like it.
    const std::vector<std::string> files{"DEL_A056_001.bin", "CTX_5374_030.bin", "AUS_2768_118.bin",
                                         "HWP_3106_125.bin", "HWP_3106_126.bin"};
    const XServer server(xvfb(std::vector<std::string>(files.size() + 1, "640x480x24")));
    for (std::size_t i = 0; i < files.size(); ++i)
        ASSERT_TRUE(setEdid(outputs(static_cast<int>(i)).at("screen"), edidSample(files[i]).bytes));

    DrmFixture sysfs;
    for (const auto& [connector, status, file] : std::vector<std::array<std::string, 3>>{
             // An unrelated monitor, no EDID, a disconnected one, the twin.
             {"card0-DP-1", "connected", "SAM_707F_003.bin"}, {"card0-DP-2", "connected", ""},
             {"card0-DP-3", "disconnected", "DEL_A056_001.bin"}, {"card0-DP-4", "connected", "AUS_2768_117.bin"},
             {"card0-DP-5", "connected", "HWP_3106_126.bin"}, {"card0-DP-6", "connected", "HWP_3106_125.bin"},
             {"card0-DP-7", "connected", "AUS_2768_118.bin"}, {"card0-screen", "connected", "LEN_65E0_004.bin"},
             {"card1-HDMI-A-1", "connected", "CTX_5374_030.bin"}, {"card1-HDMI-A-2", "connected", "DEL_A056_001.bin"}})
        sysfs.addConnector(connector, status, file.empty() ? std::vector<std::uint8_t>{} : edidSample(file).bytes);

    linux_platform::startRun(sysfs.root());
    json names = json::array();
    for (const auto& screen : json::parse(screenReport()))
        names.push_back(screen.value("name", json()));
    EXPECT_EQ(names, json::parse(R"(["DELL U2711", null, "ASUS PA279", "HP E271i", "HP E271i", "LEN L27i-28"])"));
}

}  // namespace
}  // namespace lsscreens::testing
