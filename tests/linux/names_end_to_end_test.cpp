// Product names end to end: real X outputs with and without EDIDs, and a
// fixture display registry. The report runs in-process so that the registry
// can be pointed at the fixture; everything else is the real platform.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/linux/linux_platform.h"
#include "report/screen_report.h"
#include "tests/linux/drm_fixture.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/x_server.h"

namespace lsscreens::testing {
namespace {

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
    nlohmann::json names = nlohmann::json::array();
    for (const auto& screen : nlohmann::json::parse(screenReport()))
        names.push_back(screen.value("name", nlohmann::json()));
    EXPECT_EQ(names,
              nlohmann::json::parse(R"(["DELL U2711", null, "ASUS PA279", "HP E271i", "HP E271i", "LEN L27i-28"])"));
}

}  // namespace
}  // namespace lsscreens::testing
