// RandR replies as a hostile or broken X server might send them: counts that
// claim more than the reply holds must give what it does hold, never a read
// past its end (the sanitizer build checks the reads).
#include <gtest/gtest.h>

#include <xcb/randr.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/linux/x11_replies.h"

namespace lsscreens::testing {
namespace {

using linux_platform::Monitor;
using Bytes = std::vector<std::uint8_t>;

template <typename T>
void append(Bytes& bytes, const T& value)
{
    const std::size_t at = bytes.size();
    bytes.resize(at + sizeof value);
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// A GetMonitors reply claiming claimedMonitors, holding the given monitors.
Bytes monitorsReply(std::uint32_t claimedMonitors,
                    const std::vector<std::pair<xcb_randr_monitor_info_t, std::vector<std::uint32_t>>>& monitors)
{
    Bytes bytes;
    xcb_randr_get_monitors_reply_t header{};
    header.response_type = 1;
    header.nMonitors = claimedMonitors;
    append(bytes, header);
    for (const auto& [info, outputs] : monitors) {
        append(bytes, info);
        for (const auto output : outputs)
            append(bytes, output);
    }
    return bytes;
}

xcb_randr_monitor_info_t monitorInfo(std::int16_t x, std::uint16_t width, std::uint16_t nOutput, bool primary = false)
{
    xcb_randr_monitor_info_t info{};
    info.x = x;
    info.width = width;
    info.height = 1080;
    info.nOutput = nOutput;
    info.primary = primary ? 1 : 0;
    return info;
}

TEST(X11Replies, MonitorsAsTheServerListsThem)
{
    const Bytes reply = monitorsReply(3, {{monitorInfo(0, 1920, 2), {66, 67}},
                                          {monitorInfo(1920, 960, 0, true), {}},
                                          {monitorInfo(-1024, 1024, 1), {70}}});
    EXPECT_EQ(linux_platform::monitorsFromReply(reply),
              (std::vector<Monitor>{{0, 0, 1920, 1080, false, 66u},
                                    {1920, 0, 960, 1080, true, std::nullopt},
                                    {-1024, 0, 1024, 1080, false, 70u}}));
}

TEST(X11Replies, CountsThatLieGiveOnlyWhatIsThere)
{
    // More monitors claimed than sent.
    EXPECT_EQ(linux_platform::monitorsFromReply(monitorsReply(1000, {{monitorInfo(0, 800, 1), {5}}})).size(), 1u);
    // A monitor claiming more outputs than the reply holds is dropped whole.
    EXPECT_TRUE(linux_platform::monitorsFromReply(monitorsReply(1, {{monitorInfo(0, 800, 65535), {5}}})).empty());
    // Every truncation of a good reply.
    const Bytes good = monitorsReply(2, {{monitorInfo(0, 800, 1), {5}}, {monitorInfo(800, 800, 1), {6}}});
    for (std::size_t length = 0; length <= good.size(); ++length) {
        const auto monitors = linux_platform::monitorsFromReply(std::span(good).first(length));
        const std::size_t complete = length >= 32 + 2 * 28 ? 2 : length >= 32 + 28 ? 1 : 0;
        EXPECT_EQ(monitors.size(), complete) << length;
    }
}

TEST(X11Replies, OutputInfoSizesAndName)
{
    xcb_randr_get_output_info_reply_t header{};
    header.mm_width = 0xFFFFFFFF;  // KWin's -1 mm
    header.mm_height = 0x7FFFFFFF;
    header.num_crtcs = 1;
    header.num_clones = 1;
    header.name_len = 4;
    Bytes reply;
    append(reply, header);
    append(reply, std::uint32_t{0x3F});
    append(reply, std::uint32_t{0x41});
    for (const char c : std::string("DP-1"))
        reply.push_back(static_cast<std::uint8_t>(c));
    const auto facts = linux_platform::outputFromInfoReply(reply);
    ASSERT_TRUE(facts);
    EXPECT_EQ(*facts, (linux_platform::OutputFacts{0, 0x7FFFFFFF, {}, "DP-1"}));
    EXPECT_EQ(linux_platform::outputFromInfoReply(std::span(reply).first(reply.size() - 1))->connectorName, "DP-");
    EXPECT_EQ(linux_platform::outputFromInfoReply(std::span(reply).first(36))->connectorName, "");
    EXPECT_FALSE(linux_platform::outputFromInfoReply(std::span(reply).first(35)));
}

TEST(X11Replies, EdidPropertyOnlyInBytesAndOnlyWhatWasSent)
{
    xcb_randr_get_output_property_reply_t header{};
    header.format = 8;
    header.num_items = 128;
    Bytes reply;
    append(reply, header);
    reply.insert(reply.end(), 128, 0xAB);
    EXPECT_EQ(linux_platform::edidFromPropertyReply(reply), Bytes(128, 0xAB));

    header.num_items = 100000;  // claims far more than it holds
    std::memcpy(reply.data(), &header, sizeof header);
    EXPECT_EQ(linux_platform::edidFromPropertyReply(reply).size(), 128u);

    header.format = 32;  // not a byte string
    std::memcpy(reply.data(), &header, sizeof header);
    EXPECT_TRUE(linux_platform::edidFromPropertyReply(reply).empty());
    EXPECT_TRUE(linux_platform::edidFromPropertyReply(std::span(reply).first(31)).empty());
}

}  // namespace
}  // namespace lsscreens::testing
