#include "platform/windows/win32_monitors.h"

#include <windows.h>
#include <shellscalingapi.h>

#include <memory>

namespace lsscreens::windows_platform {

namespace {

// A library loaded for the calls that older systems lack.
struct LibraryFreer {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

// The named function of the library, or nullptr. The detour through a plain
// function pointer type is how GCC accepts the cast from FARPROC.
template <typename Function>
Function* lookUp(HMODULE library, const char* name)
{
    const FARPROC found = library ? GetProcAddress(library, name) : nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}

constexpr double defaultDpi = 96;

// The DPI for everything when a monitor's own cannot be had.
UINT systemDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : static_cast<UINT>(defaultDpi);
}

BOOL CALLBACK collect(HMONITOR monitor, HDC, LPRECT, LPARAM handles)
{
    reinterpret_cast<std::vector<HMONITOR>*>(handles)->push_back(monitor);
    return TRUE;
}

// The interface path of the first monitor device on that GDI device.
std::wstring interfacePath(const wchar_t* device)
{
    DISPLAY_DEVICEW monitor{};
    monitor.cb = sizeof monitor;
    if (!EnumDisplayDevicesW(device, 0, &monitor, EDD_GET_DEVICE_INTERFACE_NAME))
        return {};
    return monitor.DeviceID;
}

}  // namespace

void declarePerMonitorDpiAwareness()
{
    using SetContext = BOOL WINAPI(DPI_AWARENESS_CONTEXT);
    if (const auto set = lookUp<SetContext>(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext");
        set && set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        return;
    const Library shcore(LoadLibraryW(L"shcore.dll"));
    using SetAwareness = HRESULT WINAPI(PROCESS_DPI_AWARENESS);
    if (const auto set = lookUp<SetAwareness>(shcore.get(), "SetProcessDpiAwareness"))
        set(PROCESS_PER_MONITOR_DPI_AWARE);
}

std::optional<std::vector<Win32Monitor>> readMonitors()
{
    std::vector<HMONITOR> handles;
    if (!EnumDisplayMonitors(nullptr, nullptr, collect, reinterpret_cast<LPARAM>(&handles)))
        return std::nullopt;
    const Library shcore(LoadLibraryW(L"shcore.dll"));
    using GetDpi = HRESULT WINAPI(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);
    const auto getDpi = lookUp<GetDpi>(shcore.get(), "GetDpiForMonitor");
    const UINT fallbackDpi = getDpi ? 0 : systemDpi();

    std::vector<Win32Monitor> monitors;
    for (const HMONITOR handle : handles) {
        MONITORINFOEXW info{};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoW(handle, &info))
            continue;
        UINT dpiX = 0, dpiY = 0;
        if (!getDpi || getDpi(handle, MDT_EFFECTIVE_DPI, &dpiX, &dpiY) != S_OK || dpiX == 0 || dpiY == 0)
            dpiX = dpiY = fallbackDpi ? fallbackDpi : systemDpi();
        // Multiplied first, then divided once: the quotient as exact as a
        // double holds it (1920 * 96 / 144 is 1280, not 1279.99...).
        const auto logical = [](LONG pixels, UINT dpi) { return pixels * defaultDpi / dpi; };
        const RECT& r = info.rcMonitor;
        monitors.push_back({logical(r.left, dpiX), logical(r.top, dpiY), logical(r.right - r.left, dpiX),
                            logical(r.bottom - r.top, dpiY), (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
                            info.szDevice, interfacePath(info.szDevice)});
    }
    return monitors;
}

}  // namespace lsscreens::windows_platform
