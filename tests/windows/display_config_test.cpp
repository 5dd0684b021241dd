// The Windows platform's rules, on cases Wine does not give on the test's X
// servers. The display id rule: a source's first active target; with several
// adapters, the adapter's rank in device path order in the top byte; that
// target's turn goes with the id. Then what the platform makes of the
// system's lists: a primary enumerated after other monitors, a screen turned a
// quarter, interface paths that differ in letter case between the APIs.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "platform/windows/display_config.h"
#include "platform/windows/monitor_match.h"
#include "platform/windows/screen_order.h"
#include "platform/windows/screen_size.h"

namespace lsscreens::windows_platform {
namespace {

const std::wstring intel = L"\\\\?\\PCI#VEN_8086", nvidia = L"\\\\?\\PCI#VEN_10DE";
using Targets = std::map<std::wstring, DisplayTarget>;

TEST(DisplayIds, FirstActiveTargetOfEachSourceAndAdaptersRankedByDevicePath)
{
    const Targets oneAdapter{{L"\\\\.\\DISPLAY1", {0x1100}}, {L"\\\\.\\DISPLAY2", {0x1102}}};
    EXPECT_EQ(displayTargets({{intel, L"", 0x1101, false},  // inactive, not cloned
                              {intel, L"\\\\.\\DISPLAY2", 0x1102, true},
                              {intel, L"\\\\.\\DISPLAY1", 0x1100, true},
                              {intel, L"\\\\.\\DISPLAY2", 0x1103, true},  // a clone: the first target wins
                              {intel, L"", 0x1104, true}}),               // a source without a name
              oneAdapter);
    // An adapter with only inactive paths still counts: plugging a monitor
    // into it changes no other id.
    EXPECT_EQ(displayTargets({{intel, L"\\\\.\\DISPLAY1", 0x1100, true},
                              {nvidia, L"", 0x1100, false},
                              {intel, L"\\\\.\\DISPLAY2", 0x1102, true}}),
              (Targets{{L"\\\\.\\DISPLAY1", {0x01001100}}, {L"\\\\.\\DISPLAY2", {0x01001102}}}));
    EXPECT_EQ(displayTargets({}), Targets{});
}

// From QueryDisplayConfig's paths (every source with every target): the id is
// the target's, on the target's adapter, never the source's. The paths are
// turned by 90 degrees unless given otherwise: 90 and 270 are quarter turns,
// 180 is not, and an inactive path's turn counts for nothing.
TEST(DisplayIds, FromTheConfigurationsPathsTheTargetIdOnTheTargetsAdapterAndItsTurn)
{
    const auto path = [](DWORD adapter, UINT32 source, UINT32 target, bool active,
                         DISPLAYCONFIG_ROTATION rotation = DISPLAYCONFIG_ROTATION_ROTATE90) {
        DISPLAYCONFIG_PATH_INFO info{};
        info.sourceInfo.adapterId = info.targetInfo.adapterId = LUID{adapter, 0};
        info.sourceInfo.id = source;
        info.targetInfo.id = target;
        info.targetInfo.rotation = rotation;
        info.flags = active ? DISPLAYCONFIG_PATH_ACTIVE : 0;
        return info;
    };
    const DISPLAYCONFIG_PATH_INFO paths[] = {
        path(7, 0, 0x1100, false), path(7, 0, 0x1101, true, DISPLAYCONFIG_ROTATION_ROTATE180),
        path(7, 1, 0x1100, true, DISPLAYCONFIG_ROTATION_ROTATE270), path(7, 1, 0x1101, false),
        path(7, 2, 0x1102, true), path(9, 0, 0x1100, false)};
    const auto adapterPath = [](const LUID& adapter) { return adapter.LowPart == 7 ? intel : nvidia; };
    const auto sourceName = [](const DISPLAYCONFIG_PATH_SOURCE_INFO& source) {
        return L"\\\\.\\DISPLAY" + std::to_wstring(source.id + 1);
    };
    EXPECT_EQ(displayTargets(configPaths(paths, adapterPath, sourceName)),
              (Targets{{L"\\\\.\\DISPLAY1", {0x01001101}}, {L"\\\\.\\DISPLAY2", {0x01001100, true}},
                       {L"\\\\.\\DISPLAY3", {0x01001102, true}}}));
}

// The primary first, the others in their order (an unstable partition would
// swap DISPLAY2 and DISPLAY4); a device the configuration lacks has no id.
// DISPLAY2 is turned a quarter: its panel's 600 by 340 mm run 340 by 600.
TEST(WindowsScreens, PrimaryFirstOthersInEnumerationOrderWithTheirIdsAndSizes)
{
    std::vector<Win32Monitor> monitors(4);
    for (std::size_t index = 0; index < monitors.size(); ++index)
        monitors[index].device = L"\\\\.\\DISPLAY" + std::to_wstring(std::array{2, 4, 1, 3}[index]);
    monitors[2].primary = true;
    const Targets targets{
        {L"\\\\.\\DISPLAY1", {0x1100}}, {L"\\\\.\\DISPLAY2", {0x1102, true}}, {L"\\\\.\\DISPLAY4", {0x1104}}};
    std::vector<std::tuple<std::wstring, std::optional<std::uint32_t>, platform_shared::EdidSize>> listed;
    for (const auto& screen : orderScreens(monitors, targets))
        listed.emplace_back(screen.monitor.device, screen.id, screenSize(screen, {600, 340}));
    EXPECT_EQ(listed, (decltype(listed){{L"\\\\.\\DISPLAY1", 0x1100, {600, 340}},
                                        {L"\\\\.\\DISPLAY2", 0x1102, {340, 600}},
                                        {L"\\\\.\\DISPLAY4", 0x1104, {600, 340}},
                                        {L"\\\\.\\DISPLAY3", std::nullopt, {600, 340}}}));
}

// Each side's path has capitals where the other's has none.
TEST(WindowsScreens, MonitorDeviceByInterfacePathWhateverItsLetterCase)
{
    const std::vector<MonitorDevice> devices{{L"", {1}},
                                             {L"\\\\?\\DISPLAY#del4056#5&1a2b&0&UID4352#{e6f07b5f}", {2}},
                                             {L"\\\\?\\DISPLAY#del4056#5&1a2b&0&UID4353#{e6f07b5f}", {3}}};
    const std::pair<std::wstring, std::vector<std::uint8_t>> cases[] = {
        {L"\\\\?\\display#DEL4056#5&1a2b&0&uid4353#{E6F07B5F}", {3}},
        {L"\\\\?\\display#DEL4056#5&1a2b&0&uid4354#{E6F07B5F}", {}},
        {L"", {}},  // unknown: not the device whose path could not be read
    };
    for (const auto& [path, edid] : cases) {
        const auto found = edidByInterfacePath(devices, path);
        EXPECT_EQ(std::vector(found.begin(), found.end()), edid);
    }
}

}  // namespace
}  // namespace lsscreens::windows_platform
