// The monitor device behind a monitor: the one with the monitor's device
// interface path. EnumDisplayDevices and SetupAPI give the same path in
// different letter case, and Windows compares such paths ignoring case.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/windows/monitor_devices.h"

namespace lsscreens::windows_platform {

// The EDID of the first device whose interface path is this one, ignoring
// ASCII case; empty when none is, or the path is empty (unknown).
std::span<const std::uint8_t> edidByInterfacePath(const std::vector<MonitorDevice>& devices, std::wstring_view path);

}  // namespace lsscreens::windows_platform
