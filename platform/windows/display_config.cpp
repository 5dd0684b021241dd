#include "platform/windows/display_config.h"

#include <iterator>
#include <set>
#include <utility>

namespace lsscreens::windows_platform {

std::map<std::wstring, DisplayTarget> displayTargets(const std::vector<ConfigPath>& paths)
{
    std::set<std::wstring> adapters;
    for (const auto& path : paths)
        adapters.insert(path.adapter);
    std::map<std::wstring, DisplayTarget> targets;
    for (const auto& path : paths) {
        if (!path.active || path.source.empty())
            continue;
        const auto rank = static_cast<std::uint32_t>(std::distance(adapters.begin(), adapters.find(path.adapter)));
        // The first target wins: emplace keeps it.
        targets.emplace(path.source, DisplayTarget{path.target + (rank << 24), path.quarterTurn});
    }
    return targets;
}

std::vector<ConfigPath> configPaths(std::span<const DISPLAYCONFIG_PATH_INFO> paths,
                                    const std::function<std::wstring(const LUID&)>& adapterPath,
                                    const std::function<std::wstring(const DISPLAYCONFIG_PATH_SOURCE_INFO&)>& sourceName)
{
    std::vector<ConfigPath> read;
    std::map<std::pair<DWORD, LONG>, std::wstring> adapters;  // by LUID: every source meets every target
    for (const auto& path : paths) {
        const LUID& luid = path.targetInfo.adapterId;
        auto adapter = adapters.find({luid.LowPart, luid.HighPart});
        if (adapter == adapters.end())
            adapter = adapters.emplace(std::pair(luid.LowPart, luid.HighPart), adapterPath(luid)).first;
        const bool active = (path.flags & DISPLAYCONFIG_PATH_ACTIVE) != 0;
        const auto rotation = path.targetInfo.rotation;
        read.push_back({adapter->second, active ? sourceName(path.sourceInfo) : std::wstring(), path.targetInfo.id, active,
                        rotation == DISPLAYCONFIG_ROTATION_ROTATE90 || rotation == DISPLAYCONFIG_ROTATION_ROTATE270});
    }
    return read;
}

namespace {

std::wstring adapterPath(const LUID& adapter)
{
    DISPLAYCONFIG_ADAPTER_NAME name{};
    name.header = {DISPLAYCONFIG_DEVICE_INFO_GET_ADAPTER_NAME, sizeof name, adapter, 0};
    if (DisplayConfigGetDeviceInfo(&name.header) != ERROR_SUCCESS)
        return {};
    return name.adapterDevicePath;
}

std::wstring sourceName(const DISPLAYCONFIG_PATH_SOURCE_INFO& source)
{
    DISPLAYCONFIG_SOURCE_DEVICE_NAME name{};
    name.header = {DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME, sizeof name, source.adapterId, source.id};
    if (DisplayConfigGetDeviceInfo(&name.header) != ERROR_SUCCESS)
        return {};
    return name.viewGdiDeviceName;
}

}  // namespace

std::vector<ConfigPath> readDisplayConfig()
{
    std::vector<DISPLAYCONFIG_PATH_INFO> paths;
    std::vector<DISPLAYCONFIG_MODE_INFO> modes;
    // The configuration can change between the two calls: ask again a few times.
    LONG status = ERROR_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < 4 && status == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        UINT32 pathCount = 0, modeCount = 0;
        if (GetDisplayConfigBufferSizes(QDC_ALL_PATHS, &pathCount, &modeCount) != ERROR_SUCCESS)
            return {};
        paths.resize(pathCount);
        modes.resize(modeCount);
        status = QueryDisplayConfig(QDC_ALL_PATHS, &pathCount, paths.data(), &modeCount, modes.data(), nullptr);
        paths.resize(pathCount);
    }
    if (status != ERROR_SUCCESS)
        return {};
    return configPaths(paths, adapterPath, sourceName);
}

}  // namespace lsscreens::windows_platform
