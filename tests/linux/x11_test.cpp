// The X11 side: where xcb connects for each form of DISPLAY and whether
// something accepts there (sockets of the test's own, listening, stale, or
// closed); the X setup and RandR replies as a hostile or broken X server
// might send them; then the real binary against a scripted X server that
// misbehaves on purpose, on a display number of the test's own, and against
// real X servers.
//
// Replies: counts that claim more than a reply holds give what it does hold,
// a setup that claims more gives nothing, never a read past the end (the
// sanitizer build checks the reads).
//
// The scripted server: a setup that lies, no RandR 1.5, answers late or huge,
// monitors beyond the cap, a server that stops reading. Every run exits as
// honestly as it can (0 with the screens, 2 with none when the server gave no
// complete answer), never by a signal, with one line of JSON, nothing on
// stderr, within the 3 s bound and, where the tool's own data is the bound,
// 16 MiB.
//
// Real X servers: the output parsed with a real JSON parser, standard error
// empty; and product names end to end, the report run in-process so that the
// display registry can be a fixture. Xvfb gives one output named "screen" per
// X screen, always 0 mm; Xorg with the dummy driver gives 16 outputs whose
// physical size can be set.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <xcb/randr.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/linux/descriptor.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/x11/display_address.h"
#include "platform/linux/x11/replies.h"
#include "report/screen_report.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/report_json.h"

namespace lsscreens::testing {
namespace {

using namespace linux_platform;
using nlohmann::json;

TEST(X11Address, EveryFormAsXcbReadsIt)
{
    const ScratchDirectory scratch;
    const std::string path = scratch.path / "X", socket = "/tmp/.X11-unix/X";
    std::ofstream{path};  // any file will do for xcb's reading
    const X11Address none, unix4{socket + "4", "", 0}, file{path, "", 0}, remote{"", "host.example", 6001};
    for (const auto& [display, address] : std::vector<std::pair<std::string, std::optional<X11Address>>>{
             {":0", X11Address{socket + "0", "localhost", 6000}}, {":12.3", X11Address{socket + "12", "localhost", 6012}},
             {":65535", X11Address{socket + "65535", "localhost", 5999}} /* the port wraps as in xcb */, {"unix:4", unix4},
             {"unix/:4", unix4}, {"unix/elsewhere:4", unix4}, {"tcp/:4", none}, {"host.example:1", remote}, {"tcp/host.example:1.0", remote},
             {"decnet/host.example:1", none}, {"inet6/[::1]:2", X11Address{"", "[::1]", 6002}}, {path, file}, {path + ".2", file},
             {"unix:" + path, file}, {path + ".0", std::nullopt}, {"/no/such/socket", std::nullopt}, {"", std::nullopt},
             {"0", std::nullopt}, {":", std::nullopt}, {":x", std::nullopt}, {":1.", std::nullopt}, {":1.2x", std::nullopt}})
        EXPECT_EQ(x11AddressOf(display), address) << display;
}

// A socket listening at the address; none when it cannot listen there.
Descriptor listening(const void* address, std::size_t length)
{
    const auto* at = static_cast<const sockaddr*>(address);
    Descriptor socket(::socket(at->sa_family, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const bool listens = bind(socket.get(), at, static_cast<socklen_t>(length)) == 0 && listen(socket.get(), 16) == 0;
    return listens ? std::move(socket) : Descriptor();
}

// A socket file and a loopback port of the test's own (an X server's abstract
// socket is probed in the binary's runs against X servers that refuse it).
TEST(X11Address, SomethingAcceptsOnlyWhereASocketListens)
{
    const auto accepts = [](const std::string& display) { return somethingAccepts(x11AddressOf(display).value()); };
    const ScratchDirectory scratch;
    const std::string path = scratch.path / "X";
    sockaddr_un file{AF_UNIX, {}};
    path.copy(file.sun_path, sizeof file.sun_path - 1);
    sockaddr_in loopback{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};  // on a port the system picks, above 6000
    auto unixSocket = listening(&file, sizeof file), tcp = listening(&loopback, sizeof loopback);
    socklen_t length = sizeof loopback;
    ASSERT_EQ(getsockname(tcp.get(), reinterpret_cast<sockaddr*>(&loopback), &length), 0);
    const std::string local = std::to_string(ntohs(loopback.sin_port) - 6000).insert(0, 1, ':'), remote = "127.0.0.1" + local;
    EXPECT_TRUE(accepts(path) && accepts(local) && accepts(remote));  // local through localhost
    unixSocket = {};  // its file stays
    tcp = {};
    EXPECT_FALSE(accepts(path) || accepts(local) || accepts(remote));
}

// X11 messages as a server sends them, in this machine's byte order (the
// client's, which xcb asks for): for the tests that read them and for the
// scripted X server that sends them.
using Bytes = std::vector<std::uint8_t>;

// The parts' bytes appended one after another.
template <typename... Parts>
void append(Bytes& bytes, const Parts&... parts)
{
    std::size_t at = bytes.size();
    bytes.resize(at + (sizeof parts + ...));
    ((std::memcpy(bytes.data() + at, &parts, sizeof parts), at += sizeof parts), ...);
}
template <typename... Parts>
Bytes bytesOf(const Parts&... parts)
{
    Bytes bytes;
    append(bytes, parts...);
    return bytes;
}

// What a setup claims. It holds the vendor "test", one pixmap format and two
// roots, 0x100 of 1280x1024 and 0x101 of 800x600, each with one depth of one
// visual; the depth and visual counts are the last root's, so that claiming
// more runs past the end.
struct SetupClaims {
    std::uint16_t vendor = 4;
    std::uint8_t formats = 1, roots = 2, depths = 1;
    std::uint16_t visuals = 1;
};

Bytes x11Setup(const SetupClaims& claims = {})
{
    Bytes setup = bytesOf(xcb_setup_t{1, 0, 11, 0, 0, 0, 0, 0x1FFFFF, 0, claims.vendor, 0xFFFF, claims.roots,
                                      claims.formats, 0, 0, 32, 32, 8, 255, {}},
                          std::array{'t', 'e', 's', 't'}, xcb_format_t{24, 32, 32, {}});
    for (const std::uint32_t root : {0x100u, 0x101u}) {
        const bool last = root == 0x101;
        append(setup,
               xcb_screen_t{root, 0x20, 0xFFFFFF, 0, 0, std::uint16_t(last ? 800 : 1280), std::uint16_t(last ? 600 : 1024),
                            300, 200, 1, 1, 0x21, 0, 0, 24, last ? claims.depths : std::uint8_t{1}},
               xcb_depth_t{24, 0, last ? claims.visuals : std::uint16_t{1}, {}},
               xcb_visualtype_t{0x21, XCB_VISUAL_CLASS_TRUE_COLOR, 8, 256, 0xFF0000, 0xFF00, 0xFF, {}});
    }
    setup[6] = static_cast<std::uint8_t>((setup.size() - 8) / 4);  // the length in words after 8 bytes: under 256
    return setup;
}

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

struct Case {
    const char* what;
    SetupClaims setup{};
    std::uint32_t randrMinor = 5;  // RandR 1.<minor>; 0: no RandR
    std::uint32_t monitors = 2;    // the first root's; monitor i 640 + i % 1000 wide, its output 0x200 + i
    int monitorsAtMs = 0;          // after the connection
    std::size_t padding = 0;       // zeros after the monitors in their reply
    std::uint16_t nameLength = 4;  // each output's
    bool refuses = false;          // the client, in the setup
    bool stopsReading = false;     // from the setup on
    int exitStatus = 0;
};

constexpr std::uint8_t randrOpcode = 140;

// Appends the reply to the request with that sequence number: the header (its
// type 1), the rest, zeros to whole words and 32 bytes at least, its length
// the words past 32.
template <typename Header>
void reply(Bytes& out, std::uint16_t sequence, Header header, const Bytes& rest = {})
{
    const std::size_t start = out.size(), size = std::max<std::size_t>(32, (sizeof header + rest.size() + 3) / 4 * 4);
    header.sequence = sequence;
    header.length = static_cast<std::uint32_t>((size - 32) / 4);
    append(out, header);
    out.insert(out.end(), rest.begin(), rest.end());
    out.resize(start + size);
}

// Speaks X11 to little-endian clients on the abstract socket of the first
// display number free from 1000, on a thread of its own.
struct ScriptedXServer {
    explicit ScriptedXServer(const Case& script) : script_(script)
    {
        for (number = 1000; number < 1100; ++number) {
            sockaddr_un where{AF_UNIX, "\0/tmp/.X11-unix/X"};  // 17 bytes, then the number's 4 digits
            std::to_string(number).copy(where.sun_path + 17, 4);
            if ((listener_ = listening(&where, offsetof(sockaddr_un, sun_path) + 21)).get() >= 0)
                break;
        }
        thread_ = std::thread(&ScriptedXServer::serve, this);
    }
    // The client has gone by now: accept is the only wait left.
    ~ScriptedXServer()
    {
        shutdown(listener_.get(), SHUT_RDWR);
        thread_.join();
    }

    // One client: the tool's (a probe after a refusal waits in the queue, accepted all the same).
    void serve()
    {
        connection_ = Descriptor(accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        Bytes in, out = x11Setup(script_.setup);
        out[0] = !script_.refuses;  // 0: failed, for no reason given
        const auto received = [&](std::size_t size) {
            std::uint8_t buffer[65536];
            for (ssize_t got; in.size() < size && (got = recv(connection_.get(), buffer, sizeof buffer, 0)) > 0;)
                in.insert(in.end(), buffer, buffer + got);
            return in.size() >= size;
        };
        const auto u16 = [&](std::size_t at) { return std::size_t{in[at]} | std::size_t{in[at + 1]} << 8; };
        // The setup request: 12 bytes, then the authorization's name and data, each padded to 4.
        if (!received(12) || !received(12 + (u16(6) + 3) / 4 * 4 + (u16(8) + 3) / 4 * 4))
            return;
        in.clear();
        if (script_.stopsReading)
            shutdown(connection_.get(), SHUT_RD);
        const auto accepted = std::chrono::steady_clock::now();
        // Each request, its length in words (xcb sends none of BIG-REQUESTS' here).
        for (std::uint16_t sequence = 1; send(connection_.get(), out.data(), out.size(), MSG_NOSIGNAL) == ssize_t(out.size()) &&
                                         received(4) && u16(2) > 0 && received(4 * u16(2)); ++sequence) {
            out.clear();
            const std::uint8_t opcode = in[0], minor = in[1];
            if (opcode == 98)  // QueryExtension, for RANDR
                reply(out, sequence, xcb_query_extension_reply_t{1, 0, 0, 0, script_.randrMinor > 0, randrOpcode, 0, 0});
            else if (opcode == 16)  // InternAtom, for EDID
                reply(out, sequence, xcb_intern_atom_reply_t{1, 0, 0, 0, 300});
            else if (opcode == randrOpcode && minor == 0)  // QueryVersion
                reply(out, sequence, xcb_randr_query_version_reply_t{1, 0, 0, 0, 1, script_.randrMinor, {}});
            else if (opcode == randrOpcode && minor == 42) {  // GetMonitors: the first root's, when their time comes
                const std::uint32_t count = u16(4) == 0x100 ? script_.monitors : 0;
                Bytes monitors;
                for (std::uint32_t i = 0; i < count; ++i)
                    append(monitors, xcb_randr_monitor_info_t{0, 0, 1, 1, 0, 0, std::uint16_t(640 + i % 1000), 480, 0, 0}, 0x200 + i);
                monitors.resize(monitors.size() + script_.padding);
                std::this_thread::sleep_until(accepted + std::chrono::milliseconds(script_.monitorsAtMs));
                reply(out, sequence, xcb_randr_get_monitors_reply_t{1, 0, 0, 0, 0, count, count, {}}, monitors);
            } else if (opcode == randrOpcode && minor == 9)  // GetOutputInfo
                reply(out, sequence, xcb_randr_get_output_info_reply_t{1, 0, 0, 0, 0, 0, 600, 340, 0, 0, 0, 0, 0, 0, script_.nameLength}, Bytes(script_.nameLength, 'x'));
            else if (opcode == randrOpcode && minor == 15)  // GetOutputProperty, for EDID
                reply(out, sequence, xcb_randr_get_output_property_reply_t{1, 8, 0, 0, XCB_ATOM_INTEGER, 0, std::uint32_t(edid_.size()), {}}, edid_);
            in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(4 * u16(2)));
        }
    }

    int number;
    const Case script_;
    const Bytes edid_ = ghostEdid();
    Descriptor listener_, connection_;  // the connection the thread's until it ends
    std::thread thread_;
};

class HostileX : public ::testing::TestWithParam<Case> {};

TEST_P(HostileX, OneLineInTimeAndNoScreensUnlessTheAnswerIsComplete)
{
    const Case& hostile = GetParam();
    // Without RandR 1.5 the roots, else the monitors up to the documented cap.
    auto screens = hostile.exitStatus || hostile.randrMinor >= 5 ? json::array() : json::parse(
        R"([{"resWidth": 1280, "resHeight": 1024}, {"resWidth": 800, "resHeight": 600}])");
    for (std::uint32_t i = 0; hostile.exitStatus == 0 && hostile.randrMinor >= 5 && i < std::min(hostile.monitors, 16384u); ++i)
        screens.push_back(screen(640 + i % 1000, 480, 600, 340, 0x200 + i));
    const ScriptedXServer server(hostile);
    // Memory is checked where the tool's own data is the bound, not where xcb
    // holds a reply of the server's size (28 bytes a monitor) far beyond it.
    const bool memoryBounded = hostile.monitors * 28 + hostile.padding < 4 << 20;
    EXPECT_EQ(report({"WAYLAND_DISPLAY=no-such-socket", "DISPLAY=:" + std::to_string(server.number)}, hostile.exitStatus, memoryBounded), screens);
}

INSTANTIATE_TEST_SUITE_P(Scripted, HostileX, ::testing::Values(
    // Every write raises SIGPIPE, or fails where that is blocked.
    Case{.what = "StopsReadingAfterTheSetup", .stopsReading = true, .exitStatus = 2},
    // xcb fails as when nothing listens; the server's socket tells otherwise.
    Case{.what = "RefusesTheClient", .refuses = true, .exitStatus = 2},
    Case{.what = "LyingRootCount", .setup = {.roots = 3}, .exitStatus = 2},
    Case{.what = "LyingVendorLength", .setup = {.vendor = 1000}, .exitStatus = 2},
    Case{.what = "LyingDepthCount", .setup = {.depths = 2}, .exitStatus = 2},
    Case{.what = "NoRandr", .randrMinor = 0}, Case{.what = "Randr14", .randrMinor = 4},
    Case{.what = "MonitorsAt1500ms", .monitorsAtMs = 1500},
    Case{.what = "MillionMonitorsAt1500ms", .monitors = 1000000, .monitorsAtMs = 1500},
    Case{.what = "GetMonitorsReplyOf200MB", .padding = 200 << 20},
    // Each output asked about and answered; none of the names kept.
    Case{.what = "OutputsBeyondTheCapWithNamesTooLong", .monitors = 16385, .nameLength = 65}),
    [](const auto& info) { return std::string(info.param.what); });

// The binary's report. No compositor answers the Wayland socket it is given,
// so each report here also shows the fall-back to X11. A server's answer,
// or its refusal, is not waited out: the run ends well inside the X11 budget.
json lsscreens(int exitStatus = 0)
{
    const auto started = std::chrono::steady_clock::now();
    const json report = reportOf(run({"env", "WAYLAND_DISPLAY=lsscreens-no-such-socket", LSSCREENS_BINARY}), exitStatus);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1500));
    return report;
}

// Each X screen lists its own primary first, so only a primary on a later X
// screen shows that the tool puts it first. A virtual monitor has no id. Names
// come from the EDID an output carries, else from the EDID of the connector
// named like the output ("screen"). The server wants a cookie; a client
// without one is refused (exit 2: a server was there and gave no screens),
// and libxcb itself would write why on standard error.
TEST(Xvfb, ThePrimaryOfALaterXScreenFirstTheirNamesAndNoScreensWithoutACookie)
{
    const ScratchDirectory cookies;  // the server takes every cookie in its file, whatever its display
    ASSERT_EQ(run({"xauth", "-f", cookies.path / "server", "add", ":0", ".", "0123456789abcdef"}).status, 0);
    setenv("XAUTHORITY", (cookies.path / "server").c_str(), 1);
    auto argv = xvfb({"1920x1080x24", "1024x768x24", "800x600x24"});
    argv.insert(argv.end(), {"-auth", cookies.path / "server"});
    const XServer server(argv);
    // Clients look their cookie up under the display the server took.
    ASSERT_EQ(run({"xauth", "-f", cookies.path / "server", "add", server.display, ".", "0123456789abcdef"}).status, 0);
    ASSERT_TRUE(xrandr("--screen 2 --output screen --primary"));
    ASSERT_TRUE(xrandr("--screen 1 --setmonitor HALF 512/100x768/200+0+0 none"));
    ASSERT_TRUE(setEdid(outputs(0).at("screen"), edidSample("DEL_A056_001.bin").bytes));
    ASSERT_TRUE(setEdid(outputs(1).at("screen"), edidSample("AUS_2768_118.bin").bytes));
    // No names: the machine's own registry has none of these monitors.
    EXPECT_EQ(lsscreens(), json::array({screen(800, 600, 0, 0, outputs(2).at("screen")),
                                        screen(1920, 1080, 0, 0, outputs(0).at("screen")), json{{"resWidth", 512}, {"resHeight", 768}},
                                        screen(1024, 768, 0, 0, outputs(1).at("screen"))}));

    DrmFixture sysfs;  // an unrelated monitor, the twin first, the connector named "screen"
    for (const auto& [connector, file] : std::vector<std::pair<std::string, std::string>>{
             {"card0-DP-1", "SAM_707F_003.bin"}, {"card0-DP-4", "AUS_2768_117.bin"}, {"card0-DP-7", "AUS_2768_118.bin"},
             {"card0-screen", "LEN_65E0_004.bin"}, {"card1-HDMI-A-2", "DEL_A056_001.bin"}})
        sysfs.addConnector(connector, "connected", edidSample(file).bytes);
    startRun(sysfs.root());
    json names = json::array();
    for (const auto& screen : json::parse(screenReport().json))
        names.push_back(screen.value("name", json()));
    EXPECT_EQ(names, json::parse(R"(["LEN L27i-28", "DELL U2711", null, "ASUS PA279"])"));

    setenv("XAUTHORITY", (cookies.path / "none").c_str(), 1);
    EXPECT_EQ(lsscreens(2), json::array());
    unsetenv("XAUTHORITY");
}

TEST_F(XorgDummy, OutputsWithPhysicalSizesKnownUnknownOrNegativeAndOneSwitchedOff)
{
    ASSERT_TRUE(xrandr("--addmode DUMMY1 1024x768 --addmode DUMMY2 800x600 --addmode DUMMY3 640x480"));
    ASSERT_TRUE(xrandr("--output DUMMY1 --mode 1024x768 --right-of DUMMY0 --set WIDTH_MM 597 --set HEIGHT_MM 336 "
                       "--output DUMMY2 --mode 800x600 --right-of DUMMY1 --primary --set WIDTH_MM -1 --set HEIGHT_MM 296 "
                       "--output DUMMY3 --mode 640x480 --right-of DUMMY2"));
    ASSERT_TRUE(xrandr("--output DUMMY3 --off"));
    const auto ids = outputs();
    EXPECT_EQ(lsscreens(), json::array({screen(800, 600, 0, 296, ids.at("DUMMY2")),
                                        screen(2048, 1536, 0, 0, ids.at("DUMMY0")),
                                        screen(1024, 768, 597, 336, ids.at("DUMMY1"))}));
}

}  // namespace
}  // namespace lsscreens::testing
