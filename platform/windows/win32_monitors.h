// The monitors of the Win32 desktop (EnumDisplayMonitors), in logical units:
// what a window that is not DPI-aware sees.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lsscreens::windows_platform {

struct Win32Monitor {
    double x = 0, y = 0, width = 0, height = 0;  // pixels * 96 / the monitor's DPI, unrounded
    bool primary = false;
    std::wstring device;         // GDI device name ("\\.\DISPLAY1")
    std::wstring interfacePath;  // the monitor device's interface path as given; empty when unknown
};

// Asks for per-monitor DPI awareness, so that rectangles come in pixels. The
// embedded manifest does this on Windows 10 and later; the calls are for
// systems (and Wine) where the manifest or the newer call has no effect.
void declarePerMonitorDpiAwareness();

// The monitors in enumeration order; absent when the desktop's monitors
// cannot be enumerated.
std::optional<std::vector<Win32Monitor>> readMonitors();

}  // namespace lsscreens::windows_platform
