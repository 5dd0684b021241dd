// The real binary against a scripted X server that misbehaves on purpose, on
// a display number of the test's own: a setup that lies, no RandR 1.5,
// answers late or huge, monitors beyond the cap, a server that stops reading.
// Every run exits as honestly as it can (0 with the screens, 2 with none when
// the server gave no complete answer), never by a signal, with one line of
// JSON, nothing on stderr, within the 3 s bound and, where the tool's own
// data is the bound, 16 MiB.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/linux/descriptor.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/report_json.h"
#include "tests/linux/x11_wire.h"

namespace lsscreens::testing {
namespace {


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
class ScriptedXServer {
public:
    explicit ScriptedXServer(const Case& script) : script_(script)
    {
        for (number = 1000; number < 1100; ++number) {
            sockaddr_un where{AF_UNIX, "\0/tmp/.X11-unix/X"};  // 17 bytes, then the number's 4 digits
            std::to_string(number).copy(where.sun_path + 17, 4);
            listener_ = linux_platform::Descriptor(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
            if (bind(listener_.get(), reinterpret_cast<const sockaddr*>(&where), offsetof(sockaddr_un, sun_path) + 21) == 0 &&
                listen(listener_.get(), 16) == 0)
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

    int number;

private:
    // One client: the tool's (a probe after a refusal waits in the queue, accepted all the same).
    void serve()
    {
        connection_ = linux_platform::Descriptor(accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
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

    const Case script_;
    const Bytes edid_ = ghostEdid();
    linux_platform::Descriptor listener_;
    linux_platform::Descriptor connection_;  // the thread's until it ends
    std::thread thread_;
};

class HostileX : public ::testing::TestWithParam<Case> {};

TEST_P(HostileX, OneLineInTimeAndNoScreensUnlessTheAnswerIsComplete)
{
    const Case& hostile = GetParam();
    // Without RandR 1.5 the roots, else the monitors up to the documented cap.
    auto screens = hostile.exitStatus || hostile.randrMinor >= 5 ? nlohmann::json::array() : nlohmann::json::parse(
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
    Case{.what = "NoRandr", .randrMinor = 0},
    Case{.what = "Randr14", .randrMinor = 4},
    Case{.what = "MonitorsAt1500ms", .monitorsAtMs = 1500},
    Case{.what = "MillionMonitorsAt1500ms", .monitors = 1000000, .monitorsAtMs = 1500},
    Case{.what = "GetMonitorsReplyOf200MB", .padding = 200 << 20},
    // Each output asked about and answered; none of the names kept.
    Case{.what = "OutputsBeyondTheCapWithNamesTooLong", .monitors = 16385, .nameLength = 65}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace lsscreens::testing
