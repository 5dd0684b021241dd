#include "platform/windows/monitor_devices.h"

#include <windows.h>
#include <setupapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

#include "platform/shared/edid.h"

namespace lsscreens::windows_platform {

namespace {

// GUID_DEVINTERFACE_MONITOR, which mingw-w64's headers do not declare.
constexpr GUID monitorInterface{0xE6F07B5F, 0xEE97, 0x4A90, {0xB0, 0x76, 0x33, 0xF5, 0x7B, 0xF4, 0xEA, 0xA7}};

struct DeviceListDestroyer {
    void operator()(HDEVINFO list) const { SetupDiDestroyDeviceInfoList(list); }
};
struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};

// The device's "EDID" value; empty when it has none, or one larger than an
// EDID can be.
std::vector<std::uint8_t> edidOf(HDEVINFO list, SP_DEVINFO_DATA& device)
{
    const HKEY opened = SetupDiOpenDevRegKey(list, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (opened == INVALID_HANDLE_VALUE)
        return {};
    const std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser> key(opened);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), L"EDID", nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_BINARY ||
        size > platform_shared::maximumEdidSize)
        return {};
    std::vector<std::uint8_t> edid(size);
    if (RegQueryValueExW(key.get(), L"EDID", nullptr, &type, edid.data(), &size) != ERROR_SUCCESS)
        return {};
    edid.resize(std::min<std::size_t>(size, edid.size()));
    return edid;
}

}  // namespace

std::vector<MonitorDevice> readMonitorDevices()
{
    const HDEVINFO opened = SetupDiGetClassDevsW(&monitorInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (opened == INVALID_HANDLE_VALUE)
        return {};
    const std::unique_ptr<void, DeviceListDestroyer> list(opened);
    std::vector<MonitorDevice> devices;
    SP_DEVICE_INTERFACE_DATA entry{};
    entry.cbSize = sizeof entry;
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(opened, nullptr, &monitorInterface, index, &entry); ++index) {
        DWORD needed = 0;
        SetupDiGetDeviceInterfaceDetailW(opened, &entry, nullptr, 0, &needed, nullptr);
        if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            continue;
        // Storage from operator new, where the detail record is created implicitly.
        std::vector<std::byte> storage(needed);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof *detail;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!SetupDiGetDeviceInterfaceDetailW(opened, &entry, detail, needed, nullptr, &device))
            continue;
        // The path runs on past the record's one-character array: read it from the storage.
        const std::size_t at = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
        std::wstring path((needed - at) / sizeof(wchar_t), L'\0');
        std::memcpy(path.data(), storage.data() + at, path.size() * sizeof(wchar_t));
        path.resize(path.find(L'\0') == std::wstring::npos ? path.size() : path.find(L'\0'));
        devices.push_back({std::move(path), edidOf(opened, device)});
    }
    return devices;
}

}  // namespace lsscreens::windows_platform
