// The real lsscreens binary against real X servers, its output parsed with a
// real JSON parser. Xvfb gives one output per X screen, always 0 mm; Xorg
// with the dummy driver gives 16 outputs whose physical size can be set.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/linux/edid_samples.h"
#include "tests/linux/x_server.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

// Runs the binary; anything it wrote on stderr would break the parse.
json runLsscreens()
{
    int status = 0;
    const std::string output = runCommand(LSSCREENS_BINARY " 2>&1", status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(output.ends_with("]\n")) << output;
    return json::parse(output);
}

json screen(int width, int height) { return {{"resWidth", width}, {"resHeight", height}}; }
json screen(int width, int height, int mmWidth, int mmHeight, std::uint32_t id)
{
    return {{"resWidth", width}, {"resHeight", height}, {"mmWidth", mmWidth}, {"mmHeight", mmHeight}, {"id", id}};
}

TEST(Xvfb, OneMonitorIsOneScreenWithItsOutputId)
{
    auto server = XServer::xvfb({"1920x1080x24"});
    ASSERT_TRUE(server);
    const auto output = server->outputId("screen");
    ASSERT_NE(output, 0u);
    EXPECT_EQ(runLsscreens(), json::array({screen(1920, 1080, 0, 0, output)}));
}

TEST(Xvfb, EveryXScreenInOrder)
{
    auto server = XServer::xvfb({"1920x1080x24", "1024x768x24", "800x600x24"});
    ASSERT_TRUE(server);
    EXPECT_EQ(runLsscreens(), json::array({screen(1920, 1080, 0, 0, server->outputId("screen", 0)),
                                           screen(1024, 768, 0, 0, server->outputId("screen", 1)),
                                           screen(800, 600, 0, 0, server->outputId("screen", 2))}));
}

TEST(Xvfb, VirtualMonitorsHaveNoIdAndThePrimaryComesFirst)
{
    auto server = XServer::xvfb({"1920x1080x24"});
    ASSERT_TRUE(server);
    ASSERT_TRUE(server->xrandr("--setmonitor LEFT 960/250x1080/280+0+0 none"));
    ASSERT_TRUE(server->xrandr("--setmonitor '*RIGHT' 900/250x1000/280+960+0 none"));
    const json report = runLsscreens();
    ASSERT_EQ(report.size(), 3u);
    EXPECT_EQ(report[0], screen(900, 1000));
    EXPECT_EQ(report[1], screen(960, 1080));
    EXPECT_EQ(report[2], screen(1920, 1080, 0, 0, server->outputId("screen")));
}

TEST(Xvfb, EdidOnTheOutputChangesNothingWithoutARegistryEntry)
{
    auto server = XServer::xvfb({"1920x1080x24"});
    ASSERT_TRUE(server);
    const auto output = server->outputId("screen");
    ASSERT_TRUE(server->setEdid(output, edidSample("DEL_A056_001.bin").bytes));
    EXPECT_EQ(runLsscreens(), json::array({screen(1920, 1080, 0, 0, output)}));
}

class XorgDummy : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = XServer::xorgDummy();
        if (!server)
            GTEST_SKIP() << "Xorg with the dummy driver cannot be started here (it needs root)";
    }
    // Gives an output a mode and a place right of the previous one.
    void enable(const std::string& output, const std::string& mode, const std::string& rightOf)
    {
        ASSERT_TRUE(server->xrandr("--addmode " + output + " " + mode));
        ASSERT_TRUE(server->xrandr("--output " + output + " --mode " + mode + " --right-of " + rightOf));
    }
    std::optional<XServer> server;
};

TEST_F(XorgDummy, SeveralOutputsWithPhysicalSizesPrimaryFirst)
{
    ASSERT_TRUE(server->xrandr("--output DUMMY1 --set WIDTH_MM 597 --set HEIGHT_MM 336"));
    ASSERT_TRUE(server->xrandr("--output DUMMY2 --set WIDTH_MM 527 --set HEIGHT_MM 296"));
    enable("DUMMY1", "1024x768", "DUMMY0");
    enable("DUMMY2", "800x600", "DUMMY1");
    ASSERT_TRUE(server->xrandr("--output DUMMY2 --primary"));
    const auto dummy0 = server->outputId("DUMMY0");  // re-probes, so the sizes show
    EXPECT_EQ(runLsscreens(), json::array({screen(800, 600, 527, 296, server->outputId("DUMMY2")),
                                           screen(2048, 1536, 0, 0, dummy0),
                                           screen(1024, 768, 597, 336, server->outputId("DUMMY1"))}));
}

TEST_F(XorgDummy, AnOutputSwitchedOffIsNoLongerListed)
{
    enable("DUMMY1", "1024x768", "DUMMY0");
    ASSERT_EQ(runLsscreens().size(), 2u);
    ASSERT_TRUE(server->xrandr("--output DUMMY1 --off"));
    EXPECT_EQ(runLsscreens(), json::array({screen(2048, 1536, 0, 0, server->outputId("DUMMY0"))}));
}

}  // namespace
}  // namespace lsscreens::testing
