// Display ids from the display configuration (QueryDisplayConfig): the target
// id of the connector behind each source, the stable 32-bit id Windows gives a
// display, and whether that target is turned a quarter.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace lsscreens::windows_platform {

// One path of the display configuration: a source (a GDI device, one per
// monitor of EnumDisplayMonitors) shown on a target (a connector).
struct ConfigPath {
    std::wstring adapter;      // the target adapter's device path; stable across boots, unlike its LUID
    std::wstring source;       // the source's GDI device name ("\\.\DISPLAY1"); empty when unknown
    std::uint32_t target = 0;  // unique per adapter only
    bool active = false;
    bool quarterTurn = false;  // the target turned by 90 or 270 degrees
};

// The display behind a source. Turned a quarter, the panel's width runs
// vertically: Windows turns the monitor's rectangle, not the EDID's size.
struct DisplayTarget {
    std::uint32_t id = 0;
    bool quarterTurn = false;
    bool operator==(const DisplayTarget&) const = default;
};

// The display of each active source, by GDI device name: the id and turn of
// its first active target in the configuration's order (one source shows on
// several targets in clone mode). With several adapters, the target ids of
// the k-th adapter in the order of their device paths (from 0) have k added
// to their top byte: distinct while target ids fit in 24 bits, and stable
// while the same adapters are present.
std::map<std::wstring, DisplayTarget> displayTargets(const std::vector<ConfigPath>& paths);

// The configuration's paths as ConfigPaths: each path's target id on the
// target's adapter, named by adapterPath (asked once per adapter), and the
// target's turn; the source named by sourceName, asked for active paths only.
std::vector<ConfigPath> configPaths(std::span<const DISPLAYCONFIG_PATH_INFO> paths,
                                    const std::function<std::wstring(const LUID&)>& adapterPath,
                                    const std::function<std::wstring(const DISPLAYCONFIG_PATH_SOURCE_INFO&)>& sourceName);

// Every path of the current configuration, inactive ones too (they name the
// adapters that are present); empty when it cannot be read.
std::vector<ConfigPath> readDisplayConfig();

}  // namespace lsscreens::windows_platform
