// RandR replies as a hostile or broken X server might send them: counts that
// claim more than the reply holds give what it does hold, never a read past
// its end (the sanitizer build checks the reads).
#include <gtest/gtest.h>

#include <xcb/randr.h>

#include <array>
#include <cstring>
#include <vector>

#include "platform/linux/x11_replies.h"

namespace lsscreens::testing {
namespace {

using namespace linux_platform;
using Bytes = std::vector<std::uint8_t>;

template <typename... Parts>
Bytes bytesOf(const Parts&... parts)
{
    Bytes bytes;
    const auto append = [&](const auto& part) {
        bytes.resize(bytes.size() + sizeof part);
        std::memcpy(bytes.data() + bytes.size() - sizeof part, &part, sizeof part);
    };
    (append(parts), ...);
    return bytes;
}

xcb_randr_monitor_info_t monitor(std::int16_t x, std::uint16_t width, std::uint16_t outputs, bool primary = false)
{
    return {0, primary, 0, outputs, x, -7, width, 1080, 0, 0};
}

TEST(X11Replies, MonitorsAsListedAndOnlyWhatTheReplyHolds)
{
    const std::uint32_t outputs[] = {66, 67};
    const auto reply = [&](std::uint32_t claimed, std::uint16_t secondOutputs) {
        return bytesOf(xcb_randr_get_monitors_reply_t{1, 0, 0, 0, 0, claimed, 0, {}}, monitor(-1024, 1920, 2),
                       outputs, monitor(1920, 960, 0, true), monitor(32000, 1024, secondOutputs), std::uint32_t{70});
    };
    const std::vector<Monitor> all{{-1024, -7, 1920, 1080, false, 66u}, {1920, -7, 960, 1080, true, std::nullopt},
                                   {32000, -7, 1024, 1080, false, 70u}};
    EXPECT_EQ(monitorsFromReply(reply(3, 1)), all);
    EXPECT_EQ(monitorsFromReply(reply(1000, 1)), all);
    EXPECT_EQ(monitorsFromReply(reply(2, 1)), std::vector(all.begin(), all.begin() + 2));
    EXPECT_EQ(monitorsFromReply(reply(3, 2)), std::vector(all.begin(), all.begin() + 2));  // outputs cut short
    const Bytes good = reply(3, 1);
    for (std::size_t length = 0; length < good.size(); ++length) {
        const std::size_t complete = length < 32 + 24 + 8 ? 0 : length < 32 + 2 * 24 + 8 ? 1 : 2;
        EXPECT_EQ(monitorsFromReply(std::span(good).first(length)), std::vector(all.begin(), all.begin() + complete))
            << length;
    }
}

TEST(X11Replies, OutputInfoSizesNegativeReadAsUnknownAndItsName)
{
    xcb_randr_get_output_info_reply_t info{};
    info.mm_width = 0xFFFFFFFF;  // a compositor's -1 mm
    info.mm_height = 0x7FFFFFFF;
    info.num_crtcs = 1;
    info.num_modes = 1;
    info.num_clones = 1;
    info.name_len = 4;
    const Bytes reply = bytesOf(info, std::uint32_t{1}, std::uint32_t{2}, std::uint32_t{3}, std::array{'D', 'P', '-', '1'});
    EXPECT_EQ(outputFromInfoReply(reply), (OutputFacts{0, 0x7FFFFFFF, {}, "DP-1"}));
    info.mm_width = 0x80000000;
    info.mm_height = 527;
    EXPECT_EQ(outputFromInfoReply(bytesOf(info)), (OutputFacts{0, 527, {}, ""}));  // name cut off
    EXPECT_EQ(outputFromInfoReply(std::span(reply).first(reply.size() - 1))->connectorName, "DP-");
    EXPECT_EQ(outputFromInfoReply(std::span(reply).first(sizeof info - 1)), std::nullopt);
}

TEST(X11Replies, EdidPropertyOnlyInBytesAndOnlyWhatWasSent)
{
    xcb_randr_get_output_property_reply_t header{};
    header.format = 8;
    header.num_items = 100000;  // claims far more than it holds
    std::array<std::uint8_t, 128> data;
    data.fill(0xAB);
    EXPECT_EQ(edidFromPropertyReply(bytesOf(header, data)), Bytes(128, 0xAB));
    header.num_items = 100;
    EXPECT_EQ(edidFromPropertyReply(bytesOf(header, data)), Bytes(100, 0xAB));
    const Bytes cut = bytesOf(header);
    EXPECT_EQ(edidFromPropertyReply(std::span(cut).first(31)), Bytes{});
    header.format = 32;  // not a byte string
    EXPECT_EQ(edidFromPropertyReply(bytesOf(header, data)), Bytes{});
}

}  // namespace
}  // namespace lsscreens::testing
