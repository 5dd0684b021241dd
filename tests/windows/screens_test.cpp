// What the Windows platform makes of the system's lists, on cases Wine does
// not give on the test's X servers: a primary enumerated after other monitors,
// a screen turned a quarter, interface paths that differ in letter case
// between the APIs.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "platform/windows/monitor_match.h"
#include "platform/windows/screen_order.h"
#include "platform/windows/screen_size.h"

namespace lsscreens::windows_platform {
namespace {

// The primary first, the others in their order (an unstable partition would
// swap DISPLAY2 and DISPLAY4); a device the configuration lacks has no id.
// DISPLAY2 is turned a quarter: its panel's 600 by 340 mm run 340 by 600.
TEST(WindowsScreens, PrimaryFirstOthersInEnumerationOrderWithTheirIdsAndSizes)
{
    std::vector<Win32Monitor> monitors(4);
    for (std::size_t index = 0; index < monitors.size(); ++index)
        monitors[index].device = L"\\\\.\\DISPLAY" + std::to_wstring(std::array{2, 4, 1, 3}[index]);
    monitors[2].primary = true;
    const std::map<std::wstring, DisplayTarget> targets{
        {L"\\\\.\\DISPLAY1", {0x1100}}, {L"\\\\.\\DISPLAY2", {0x1102, true}}, {L"\\\\.\\DISPLAY4", {0x1104}}};
    std::vector<std::tuple<std::wstring, std::optional<std::uint32_t>, platform_shared::EdidSize>> listed;
    for (const auto& screen : orderScreens(monitors, targets))
        listed.emplace_back(screen.monitor.device, screen.id, screenSize(screen, {600, 340}));
    EXPECT_EQ(listed, (decltype(listed){{L"\\\\.\\DISPLAY1", 0x1100, {600, 340}},
                                        {L"\\\\.\\DISPLAY2", 0x1102, {340, 600}},
                                        {L"\\\\.\\DISPLAY4", 0x1104, {600, 340}},
                                        {L"\\\\.\\DISPLAY3", std::nullopt, {600, 340}}}));
}

// Each side's path has capitals where the other's has none.
TEST(WindowsScreens, MonitorDeviceByInterfacePathWhateverItsLetterCase)
{
    const std::vector<MonitorDevice> devices{{L"", {1}},
                                             {L"\\\\?\\DISPLAY#del4056#5&1a2b&0&UID4352#{e6f07b5f}", {2}},
                                             {L"\\\\?\\DISPLAY#del4056#5&1a2b&0&UID4353#{e6f07b5f}", {3}}};
    const std::pair<std::wstring, std::vector<std::uint8_t>> cases[] = {
        {L"\\\\?\\display#DEL4056#5&1a2b&0&uid4353#{E6F07B5F}", {3}},
        {L"\\\\?\\display#DEL4056#5&1a2b&0&uid4354#{E6F07B5F}", {}},
        {L"", {}},  // unknown: not the device whose path could not be read
    };
    for (const auto& [path, edid] : cases) {
        const auto found = edidByInterfacePath(devices, path);
        EXPECT_EQ(std::vector(found.begin(), found.end()), edid);
    }
}

}  // namespace
}  // namespace lsscreens::windows_platform
