// The display registry on Windows: SetupAPI's present monitor devices, each
// with the EDID Windows keeps in its device key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lsscreens::windows_platform {

struct MonitorDevice {
    std::wstring interfacePath;       // as SetupAPI gives it
    std::vector<std::uint8_t> edid;   // empty when the device has none
};

// The present devices with the monitor interface, in SetupAPI's order.
std::vector<MonitorDevice> readMonitorDevices();

}  // namespace lsscreens::windows_platform
