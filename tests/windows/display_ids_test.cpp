// The display id rule: a source's first active target; with several adapters,
// the adapter's rank in device path order in the top byte. That target's turn
// goes with the id.
#include <gtest/gtest.h>

#include "platform/windows/display_config.h"

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
        info.sourceInfo.adapterId = {adapter, 0};
        info.sourceInfo.id = source;
        info.targetInfo.adapterId = {adapter, 0};
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

}  // namespace
}  // namespace lsscreens::windows_platform
