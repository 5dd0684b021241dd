// The sysfs display registry: which entries are connectors, which count as
// connected, their order, EDIDs by position and by connector name, each read
// once and at most 32 KiB of it.
#include <gtest/gtest.h>

#include "platform/linux/drm_registry.h"
#include "tests/linux/harness.h"

namespace lsscreens::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(DrmRegistry, ConnectedConnectorsInOrderAndEdidsByConnectorNameEachReadOnce)
{
    DrmFixture sysfs;
    for (const auto& [name, status, firstByte] : std::vector<std::tuple<std::string, std::string, int>>{
             {"card10-DP-1", "connected", 1}, {"card0-DP-10", "connected", 2}, {"card0-DP-2", "connected", 3},
             {"card0-HDMI-A-1", "disconnected", 4}, {"card0-eDP-1", "connected", 0},
             {"card2-Virtual-1", "unknown", 5}, {"card1-VGA-1", "connected", 6}, {"card0", "connected", 7},
             {"renderD128", "connected", 8}, {"cardX-DP-1", "connected", 9}, {"card1-", "connected", 10},
             // For names: no EDID, so the next card's DP-1 counts; any status.
             {"card0-DP-1", "disconnected", 0}, {"card1-DP-1", "disconnected", 11},
             {"card0-HDMI-B-2", "disconnected", 12}, {"card0-XWAYLAND0", "disconnected", 13}})
        sysfs.addConnector(name, status, Bytes(firstByte ? name == "card1-VGA-1" ? 512 : 200 : 0,
                                               static_cast<std::uint8_t>(firstByte)));
    sysfs.addConnector("card3-DP-1", "connected\n", Bytes(100000, 0x55));  // a line feed too many; oversized

    linux_platform::DrmRegistry registry(sysfs.root());
    std::vector<std::pair<std::string, Bytes>> connectors;
    for (std::size_t i = 0; i < registry.connectorCount(); ++i)
        connectors.emplace_back(registry.connectorName(i), Bytes(registry.edid(i).begin(), registry.edid(i).end()));
    EXPECT_EQ(connectors, (std::vector<std::pair<std::string, Bytes>>{
                              {"card0-DP-2", Bytes(200, 3)}, {"card0-DP-10", Bytes(200, 2)}, {"card0-eDP-1", {}},
                              {"card1-VGA-1", Bytes(512, 6)}, {"card3-DP-1", Bytes(256 * 128, 0x55)},
                              {"card10-DP-1", Bytes(200, 1)}}));
    // "HDMI-1" is the kernel's "HDMI-A-1"; nothing else is rewritten.
    const auto firstOf = [](std::span<const std::uint8_t> edid) { return edid.empty() ? 0 : edid[0]; };
    for (const auto& [name, firstByte] : std::vector<std::pair<std::string, int>>{
             {"DP-1", 11}, {"HDMI-A-1", 4}, {"HDMI-1", 4}, {"HDMI-B-2", 12}, {"HDMI-2", 0}, {"XWAYLAND0", 13},
             {"HDMI-", 0}, {"HDMI-1a", 0}, {"", 0}, {"card0-DP-1", 0}, {"DP", 0}})
        EXPECT_EQ(firstOf(registry.edidOfConnector(name)), firstByte) << name;

    // Read once: later changes on disk are not seen.
    for (const char* name : {"card0-DP-2", "card0-DP-3", "card1-DP-1"})
        sysfs.addConnector(name, "connected", Bytes{9});
    EXPECT_EQ(firstOf(registry.edid(0)), 3);
    EXPECT_EQ(firstOf(registry.edidOfConnector("DP-1")), 11);
    EXPECT_EQ(registry.connectorCount(), 6u);
    EXPECT_EQ(linux_platform::DrmRegistry("/nonexistent/drm").connectorCount(), 0u);
}

}  // namespace
}  // namespace lsscreens::testing
