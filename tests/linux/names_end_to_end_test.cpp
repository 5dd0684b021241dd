// Product names end to end: X outputs carrying real EDIDs, and a fixture
// display registry holding the same EDIDs behind unrelated and empty entries.
// The report runs in-process so that the registry can be pointed at the
// fixture; everything else is the real platform.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/linux/linux_platform.h"
#include "report/screen_report.h"
#include "tests/linux/drm_fixture.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/x_server.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

json names(const json& report)
{
    json result = json::array();
    for (const auto& screen : report)
        result.push_back(screen.value("name", json()));
    return result;
}

TEST(NamesEndToEnd, EachScreenGetsItsOwnMonitorsName)
{
    // Five X screens, one output each: a Dell, a laptop panel without a name
    // descriptor, a monitor whose serial tells it from its twin, and two
    // identical monitors without serial numbers.
    const std::vector<std::string> files{"DEL_A056_001.bin", "CTX_5374_030.bin", "AUS_2768_118.bin",
                                         "HWP_3106_125.bin", "HWP_3106_126.bin"};
    auto server = XServer::xvfb(std::vector<std::string>(files.size(), "640x480x24"));
    ASSERT_TRUE(server);
    for (std::size_t i = 0; i < files.size(); ++i)
        ASSERT_TRUE(server->setEdid(server->outputId("screen", static_cast<int>(i)), edidSample(files[i]).bytes));

    DrmFixture sysfs;
    sysfs.addConnector("card0-DP-1", "connected", edidSample("SAM_707F_003.bin").bytes);  // unrelated
    sysfs.addConnector("card0-DP-2", "connected");                                        // no EDID
    sysfs.addConnector("card0-DP-3", "disconnected", edidSample("DEL_A056_001.bin").bytes);
    sysfs.addConnector("card0-DP-4", "connected", edidSample("AUS_2768_117.bin").bytes);  // the twin
    sysfs.addConnector("card0-DP-5", "connected", edidSample("HWP_3106_126.bin").bytes);
    sysfs.addConnector("card0-DP-6", "connected", edidSample("HWP_3106_125.bin").bytes);
    sysfs.addConnector("card0-DP-7", "connected", edidSample("AUS_2768_118.bin").bytes);
    sysfs.addConnector("card1-HDMI-A-1", "connected", edidSample("CTX_5374_030.bin").bytes);
    sysfs.addConnector("card1-HDMI-A-2", "connected", edidSample("DEL_A056_001.bin").bytes);

    linux_platform::startRun(sysfs.root());
    const json report = json::parse(screenReport());
    EXPECT_EQ(names(report), json::parse(R"(["DELL U2711", null, "ASUS PA279", "HP E271i", "HP E271i"])"));
    for (const auto& screen : report)
        EXPECT_EQ(screen.size(), screen.contains("name") ? 6u : 5u) << screen;

    // Every connector's EDID was read at most once, and the run can repeat.
    EXPECT_EQ(json::parse(screenReport()), report);
}

TEST(NamesEndToEnd, NoRegistryMeansNoNames)
{
    auto server = XServer::xvfb({"640x480x24"});
    ASSERT_TRUE(server);
    ASSERT_TRUE(server->setEdid(server->outputId("screen"), edidSample("DEL_A056_001.bin").bytes));
    linux_platform::startRun("/nonexistent/lsscreens/drm");
    const json report = json::parse(screenReport());
    ASSERT_EQ(report.size(), 1u);
    EXPECT_FALSE(report[0].contains("name"));
}

}  // namespace
}  // namespace lsscreens::testing
