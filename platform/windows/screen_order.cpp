#include "platform/windows/screen_order.h"

#include <algorithm>
#include <utility>

namespace lsscreens::windows_platform {

std::vector<Screen> orderScreens(std::vector<Win32Monitor> monitors,
                                 const std::map<std::wstring, DisplayTarget>& targets)
{
    std::vector<Screen> screens;
    for (auto& monitor : monitors) {
        const auto target = targets.find(monitor.device);
        if (target == targets.end())
            screens.push_back({std::move(monitor), std::nullopt});
        else
            screens.push_back({std::move(monitor), target->second.id, target->second.quarterTurn});
    }
    std::stable_partition(screens.begin(), screens.end(), [](const Screen& screen) { return screen.monitor.primary; });
    return screens;
}

}  // namespace lsscreens::windows_platform
