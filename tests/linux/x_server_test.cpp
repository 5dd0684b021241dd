// The real lsscreens binary against real X servers, its output parsed with a
// real JSON parser, its standard error empty. Xvfb gives one output named
// "screen" per X screen, always 0 mm; Xorg with the dummy driver gives 16
// outputs whose physical size can be set.
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "tests/linux/x_server.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

json lsscreens()
{
    const Finished finished = run({LSSCREENS_BINARY});
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
// screen shows that the tool puts it first. A virtual monitor has no id.
TEST(Xvfb, ThePrimaryOfALaterXScreenFirstThenTheOthersInServerOrder)
{
    const XServer server(xvfb({"1920x1080x24", "1024x768x24", "800x600x24"}));
    ASSERT_TRUE(xrandr("--screen 2 --output screen --primary"));
    ASSERT_TRUE(xrandr("--screen 1 --setmonitor HALF 512/100x768/200+0+0 none"));
    EXPECT_EQ(lsscreens(), json::array({screen(800, 600, 0, 0, outputs(2).at("screen")),
                                        screen(1920, 1080, 0, 0, outputs(0).at("screen")), screen(512, 768),
                                        screen(1024, 768, 0, 0, outputs(1).at("screen"))}));
}

// libxcb itself writes a refusing server's reason on standard error.
TEST(Xvfb, ARefusedConnectionIsNoScreensAndSilence)
{
    const ScratchDirectory cookies;  // the server takes every cookie in its file, whatever its display
    ASSERT_EQ(run({"xauth", "-f", cookies.path / "server", "add", ":0", ".", "0123456789abcdef"}).status, 0);
    auto argv = xvfb({"640x480x24"});
    argv.insert(argv.end(), {"-auth", cookies.path / "server"});
    const XServer server(argv);
    ASSERT_NE(server.display, "");
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
    for (const std::string setup : {"--output DUMMY1 --set WIDTH_MM 597 --set HEIGHT_MM 336",
                                    "--output DUMMY2 --set WIDTH_MM -1 --set HEIGHT_MM 296",
                                    "--addmode DUMMY1 1024x768", "--addmode DUMMY2 800x600",
                                    "--addmode DUMMY3 640x480",
                                    "--output DUMMY1 --mode 1024x768 --right-of DUMMY0",
                                    "--output DUMMY2 --mode 800x600 --right-of DUMMY1 --primary",
                                    "--output DUMMY3 --mode 640x480 --right-of DUMMY2", "--output DUMMY3 --off"})
        ASSERT_TRUE(xrandr(setup)) << setup;
    const auto ids = outputs();
    EXPECT_EQ(lsscreens(), json::array({screen(800, 600, 0, 296, ids.at("DUMMY2")),
                                        screen(2048, 1536, 0, 0, ids.at("DUMMY0")),
                                        screen(1024, 768, 597, 336, ids.at("DUMMY1"))}));
}

}  // namespace
}  // namespace lsscreens::testing
