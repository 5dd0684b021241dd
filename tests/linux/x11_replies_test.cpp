// The X setup and RandR replies as a hostile or broken X server might send
// them: counts that claim more than a reply holds give what it does hold, a
// setup that claims more gives nothing, never a read past the end (the
// sanitizer build checks the reads).
#include <gtest/gtest.h>

#include <vector>

#include "platform/linux/x11/replies.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/x11_wire.h"

namespace lsscreens::testing {
namespace {

using namespace linux_platform;

TEST(X11Replies, RootsOfASetupOnlyWhenEveryCountFitsIt)
{
    const Bytes setup = x11Setup();
    EXPECT_EQ(rootsFromSetup(setup), (std::vector<Root>{{0x100, 1280, 1024}, {0x101, 800, 600}}));
    for (const SetupClaims lie : {SetupClaims{.vendor = 1000}, {.formats = 200}, {.roots = 3}, {.depths = 2}, {.visuals = 2}})
        EXPECT_EQ(rootsFromSetup(x11Setup(lie)), std::nullopt);
    for (std::size_t length = 0; length < setup.size(); ++length)
        EXPECT_EQ(rootsFromSetup(std::span(setup).first(length)), std::nullopt) << length;
}

xcb_randr_monitor_info_t monitor(std::int16_t x, std::uint16_t width, std::uint16_t outputs, bool primary = false)
{
    return {0, primary, 0, outputs, x, -7, width, 1080, 0, 0};
}

TEST(X11Replies, MonitorsAsListedAndOnlyWhatTheReplyHolds)
{
    const std::uint32_t outputs[] = {66, 67};
    const auto reply = [&](std::uint32_t claimed, std::uint16_t thirdOutputs) {
        return bytesOf(xcb_randr_get_monitors_reply_t{1, 0, 0, 0, 0, claimed, 0, {}}, monitor(-1024, 1920, 2),
                       outputs, monitor(1920, 960, 0, true), monitor(32000, 1024, thirdOutputs), std::uint32_t{70});
    };
    const std::vector<Screen> all{{-1024, -7, 1920, 1080, false, 66u}, {1920, -7, 960, 1080, true, std::nullopt},
                                   {32000, -7, 1024, 1080, false, 70u}};
    // Monitors claimed, outputs the third claims (the reply holds one), monitors read.
    for (const auto& [claimed, thirdOutputs, count] : std::vector<std::tuple<std::uint32_t, std::uint16_t, int>>{
             {3, 1, 3}, {1000, 1, 3}, {2, 1, 2}, {3, 2, 2}})
        EXPECT_EQ(screensFromMonitorsReply(reply(claimed, thirdOutputs), 16384), std::vector(all.begin(), all.begin() + count));
    const Bytes good = reply(3, 1);
    EXPECT_EQ(screensFromMonitorsReply(good, 2), std::vector(all.begin(), all.begin() + 2));  // the cap
    for (std::size_t length = 0; length < good.size(); ++length) {
        const std::size_t complete = length < 32 + 24 + 8 ? 0 : length < 32 + 2 * 24 + 8 ? 1 : 2;
        EXPECT_EQ(screensFromMonitorsReply(std::span(good).first(length), 16384), std::vector(all.begin(), all.begin() + complete))
            << length;
    }
}

TEST(X11Replies, OutputInfoSizesWithTheTopBitSetReadAsUnknownAndItsNameUpToAConnectorsLength)
{
    //                                   mm_width    mm_height              crtcs modes clones name
    xcb_randr_get_output_info_reply_t info{1, 0, 0, 0, 0, 0, 0xFFFFFFFF, 0x7FFFFFFF, 0, 0, 1, 1, 0, 1, 4};
    const Bytes reply = bytesOf(info, std::array<std::uint32_t, 3>{1, 2, 3}, std::array{'D', 'P', '-', '1'});
    EXPECT_EQ(displayFromOutputInfoReply(reply), (DisplayFacts{0, 0x7FFFFFFF, {}, "DP-1"}));
    EXPECT_EQ(displayFromOutputInfoReply(std::span(reply).first(reply.size() - 1)), (DisplayFacts{0, 0x7FFFFFFF, {}, "DP-"}));
    EXPECT_EQ(displayFromOutputInfoReply(std::span(reply).first(sizeof info - 1)), std::nullopt);
    info.name_len = 65;  // longer than a connector's: none
    Bytes named = bytesOf(info, std::array<std::uint32_t, 3>{}, std::array<char, 65>{'D', 'P'});
    EXPECT_EQ(displayFromOutputInfoReply(named)->connectorName, "");
    named[offsetof(xcb_randr_get_output_info_reply_t, name_len)] = 64;
    EXPECT_EQ(displayFromOutputInfoReply(named)->connectorName, std::string("DP") + std::string(62, '\0'));
    info.mm_width = 0x80000000;
    info.mm_height = 527;
    EXPECT_EQ(displayFromOutputInfoReply(bytesOf(info)), (DisplayFacts{0, 527, {}, ""}));
}

TEST(X11Replies, EdidIdentityOnlyFromBytesAndOnlyFromWhatWasSent)
{
    const Bytes edid = edidSample("DEL_A056_001.bin").bytes;
    const auto property = [&](std::uint8_t format, std::uint32_t items, std::size_t length) {
        Bytes reply = bytesOf(xcb_randr_get_output_property_reply_t{1, format, 0, 0, 0, 0, items, {}});
        reply.insert(reply.end(), edid.begin(), edid.end());
        return edidIdentityFromPropertyReply(std::span(reply).first(length));
    };
    const auto whole = platform_shared::readEdidIdentity(edid), first16 = platform_shared::readEdidIdentity(std::span(edid).first(16));
    EXPECT_EQ(property(8, 100000, 32 + edid.size()), whole);  // claims far more than it holds
    EXPECT_EQ(property(8, 16, 32 + edid.size()), first16);  // no name: it comes later
    EXPECT_EQ(property(8, 100, 32), std::nullopt);
    EXPECT_EQ(property(32, 32, 32 + edid.size()), std::nullopt);  // not a byte string
}

using Size = std::pair<std::uint32_t, std::uint32_t>;

// A turned monitor turns its output's millimetres; an unturned one, a square
// one or an unknown size keeps them.
TEST(X11Replies, MillimetresFollowTheMonitorsOrientation)
{
    // width, height; millimetres as RandR gives them; as reported
    for (const auto& [width, height, mm, turned] : std::vector<std::tuple<std::uint32_t, std::uint32_t, Size, Size>>{
             {1080, 1920, {597, 336}, {336, 597}}, {1920, 1080, {336, 597}, {597, 336}}, {1920, 1080, {597, 336}, {597, 336}},
             {1080, 1920, {336, 597}, {336, 597}}, {1024, 1024, {597, 336}, {597, 336}}, {1080, 1920, {0, 336}, {0, 336}}}) {
        DisplayFacts display;
        std::tie(display.widthMillimetres, display.heightMillimetres) = mm;
        turnWithScreen(display, Screen{.width = width, .height = height, .displayId = {}});
        EXPECT_EQ(Size(display.widthMillimetres, display.heightMillimetres), turned) << width << "x" << height;
    }
}

}  // namespace
}  // namespace lsscreens::testing
