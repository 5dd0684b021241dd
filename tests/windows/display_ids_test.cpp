// The display id rule: a source's first active target; with several adapters,
// the adapter's rank in device path order in the top byte.
#include <gtest/gtest.h>

#include "platform/windows/display_config.h"

namespace lsscreens::windows_platform {
namespace {

TEST(DisplayIds, FirstActiveTargetOfEachSourceAndAdaptersRankedByDevicePath)
{
    const std::wstring intel = L"\\\\?\\PCI#VEN_8086", nvidia = L"\\\\?\\PCI#VEN_10DE";
    const std::map<std::wstring, std::uint32_t> oneAdapter{{L"\\\\.\\DISPLAY1", 0x1100}, {L"\\\\.\\DISPLAY2", 0x1102}};
    EXPECT_EQ(displayIds({{intel, L"", 0x1101, false},  // inactive, not cloned
                          {intel, L"\\\\.\\DISPLAY2", 0x1102, true},
                          {intel, L"\\\\.\\DISPLAY1", 0x1100, true},
                          {intel, L"\\\\.\\DISPLAY2", 0x1103, true},  // a clone: the first target wins
                          {intel, L"", 0x1104, true}}),               // a source without a name
              oneAdapter);
    // An adapter with only inactive paths still counts: plugging a monitor
    // into it changes no other id.
    EXPECT_EQ(displayIds({{intel, L"\\\\.\\DISPLAY1", 0x1100, true},
                          {nvidia, L"", 0x1100, false},
                          {intel, L"\\\\.\\DISPLAY2", 0x1102, true}}),
              (std::map<std::wstring, std::uint32_t>{{L"\\\\.\\DISPLAY1", 0x01001100}, {L"\\\\.\\DISPLAY2", 0x01001102}}));
    EXPECT_EQ(displayIds({}), (std::map<std::wstring, std::uint32_t>{}));
}

}  // namespace
}  // namespace lsscreens::windows_platform
