// What the Windows platform makes of the system's lists, on cases Wine does
// not give: a primary enumerated after other monitors.
#include <gtest/gtest.h>

#include <array>

#include "platform/windows/screen_order.h"

namespace lsscreens::windows_platform {
namespace {

// The primary first, the others in their order (an unstable partition would
// swap DISPLAY2 and DISPLAY4); a device the configuration lacks has no id.
TEST(WindowsScreens, PrimaryFirstOthersInEnumerationOrderWithTheirIds)
{
    std::vector<Win32Monitor> monitors(4);
    for (std::size_t index = 0; index < monitors.size(); ++index)
        monitors[index].device = L"\\\\.\\DISPLAY" + std::to_wstring(std::array{2, 4, 1, 3}[index]);
    monitors[2].primary = true;
    const std::map<std::wstring, std::uint32_t> ids{
        {L"\\\\.\\DISPLAY1", 0x1100}, {L"\\\\.\\DISPLAY2", 0x1102}, {L"\\\\.\\DISPLAY4", 0x1104}};
    std::vector<std::pair<std::wstring, std::optional<std::uint32_t>>> listed;
    for (const auto& screen : orderScreens(monitors, ids))
        listed.emplace_back(screen.monitor.device, screen.id);
    EXPECT_EQ(listed, (decltype(listed){{L"\\\\.\\DISPLAY1", 0x1100},
                                        {L"\\\\.\\DISPLAY2", 0x1102},
                                        {L"\\\\.\\DISPLAY4", 0x1104},
                                        {L"\\\\.\\DISPLAY3", std::nullopt}}));
}

}  // namespace
}  // namespace lsscreens::windows_platform
