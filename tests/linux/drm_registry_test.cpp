// The sysfs display registry: which entries are connectors, which count as
// connected, their order, and EDIDs read once.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "platform/linux/drm_registry.h"
#include "tests/linux/drm_fixture.h"

namespace lsscreens::testing {
namespace {

using linux_platform::DrmRegistry;

std::vector<std::string> connectorNames(DrmRegistry& registry)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < registry.connectorCount(); ++i)
        names.push_back(registry.connectorName(i));
    return names;
}

TEST(DrmRegistry, ConnectedConnectorsInCardThenNaturalNameOrder)
{
    DrmFixture sysfs;
    const std::vector<std::uint8_t> edid{1, 2, 3};
    sysfs.addConnector("card10-DP-1", "connected", edid);
    sysfs.addConnector("card0-DP-10", "connected", edid);
    sysfs.addConnector("card0-DP-2", "connected", edid);
    sysfs.addConnector("card0-HDMI-A-1", "disconnected", edid);
    sysfs.addConnector("card0-eDP-1", "connected");  // no EDID file
    sysfs.addConnector("card2-Virtual-1", "unknown");
    sysfs.addConnector("card1-VGA-1", "connected", edid);
    sysfs.addFile("card0/dev", "226:0\n");
    sysfs.addFile("renderD128/dev", "226:128\n");
    sysfs.addFile("version", "drm 1.1.0 20060810\n");
    sysfs.addFile("cardX-DP-1/status", "connected\n");

    DrmRegistry registry(sysfs.root());
    EXPECT_EQ(connectorNames(registry),
              (std::vector<std::string>{"card0-DP-2", "card0-DP-10", "card0-eDP-1", "card1-VGA-1",
                                        "card10-DP-1"}));
    EXPECT_EQ(registry.edid(0).size(), 3u);
    EXPECT_TRUE(registry.edid(2).empty());
}

TEST(DrmRegistry, EachEdidIsReadOnceAndTheListScannedOnce)
{
    DrmFixture sysfs;
    const std::vector<std::uint8_t> first{0xAA, 0xBB};
    sysfs.addConnector("card0-DP-1", "connected", first);
    DrmRegistry registry(sysfs.root());
    ASSERT_EQ(registry.edid(0).size(), 2u);

    const std::vector<std::uint8_t> second{1, 2, 3, 4};
    sysfs.addConnector("card0-DP-1", "connected", second);
    sysfs.addConnector("card0-DP-2", "connected", second);
    EXPECT_EQ(registry.edid(0)[0], 0xAA);
    EXPECT_EQ(registry.connectorCount(), 1u);
}

TEST(DrmRegistry, EdidOfConnectorByNameWithTheHdmiSpelling)
{
    DrmFixture sysfs;
    const std::vector<std::uint8_t> a{1}, b{2}, c{3}, d{4};
    sysfs.addConnector("card0-DP-1", "disconnected");  // no EDID: the next card's counts
    sysfs.addConnector("card1-DP-1", "disconnected", a);
    sysfs.addConnector("card0-HDMI-A-1", "connected", b);
    sysfs.addConnector("card0-HDMI-B-2", "connected", c);
    sysfs.addConnector("card0-XWAYLAND0", "connected", d);
    DrmRegistry registry(sysfs.root());
    const auto first = [&](std::string_view name) {
        const auto edid = registry.edidOfConnector(name);
        return edid.empty() ? 0 : int{edid[0]};
    };
    EXPECT_EQ(first("DP-1"), 1);
    EXPECT_EQ(first("HDMI-A-1"), 2);
    EXPECT_EQ(first("HDMI-1"), 2);
    EXPECT_EQ(first("HDMI-B-2"), 3);
    EXPECT_EQ(first("HDMI-2"), 0);
    EXPECT_EQ(first("XWAYLAND0"), 4);
    EXPECT_EQ(first("HDMI-"), 0);
    EXPECT_EQ(first(""), 0);
    EXPECT_EQ(first("card0-DP-1"), 0);
}

TEST(DrmRegistry, MissingRootOrOversizedEdid)
{
    DrmRegistry missing("/nonexistent/lsscreens/drm");
    EXPECT_EQ(missing.connectorCount(), 0u);

    DrmFixture sysfs;
    const std::vector<std::uint8_t> huge(100000, 0x55);
    sysfs.addConnector("card0-DP-1", "connected", huge);
    DrmRegistry registry(sysfs.root());
    EXPECT_EQ(registry.edid(0).size(), 256u * 128u);  // the most an EDID can be
}

}  // namespace
}  // namespace lsscreens::testing
