#include "platform/windows/screen_order.h"

#include <algorithm>
#include <utility>

namespace lsscreens::windows_platform {

std::vector<Screen> orderScreens(std::vector<Win32Monitor> monitors, const std::map<std::wstring, std::uint32_t>& ids)
{
    std::vector<Screen> screens;
    for (auto& monitor : monitors) {
        const auto id = ids.find(monitor.device);
        screens.push_back({std::move(monitor), id == ids.end() ? std::nullopt : std::optional(id->second)});
    }
    std::stable_partition(screens.begin(), screens.end(), [](const Screen& screen) { return screen.monitor.primary; });
    return screens;
}

}  // namespace lsscreens::windows_platform
