// The screens in the order of the report: the primary monitor first, the
// others in the order the system enumerates them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows/display_config.h"
#include "platform/windows/win32_monitors.h"

namespace lsscreens::windows_platform {

struct Screen {
    Win32Monitor monitor;
    std::optional<std::uint32_t> id;  // absent where the configuration names no id for its GDI device
    bool quarterTurn = false;
};

// The monitors with their displays' ids and turns (displayTargets), the
// primary first; the system may enumerate it after others.
std::vector<Screen> orderScreens(std::vector<Win32Monitor> monitors,
                                 const std::map<std::wstring, DisplayTarget>& targets);

}  // namespace lsscreens::windows_platform
