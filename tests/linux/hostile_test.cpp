// The real binary against window systems that misbehave: a scripted
// compositor (never answering, answering late, closing, failing, flooding,
// thousands of outputs, absurd numbers, handed over as WAYLAND_SOCKET or not
// usable so), mutter's bus with a huge late reply, a listener that never
// accepts, an X server that never answers. Every run prints one line of JSON
// and nothing on stderr within 3 s and, but for the bus's reply that sd-bus
// holds whole, 16 MiB: the compositor, mutter's bus included, has until 2 s
// after the start, X11 until 2.5 s. A live Xvfb is on DISPLAY unless a case
// says otherwise, so a Wayland session that does not complete shows its
// screen (exit 0); when nothing that was there answered in full, the report
// is [] with exit status 2.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cstring>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <thread>

#include "platform/linux/descriptor.h"
#include "tests/linux/report_json.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;
using namespace std::string_literals;

// Sanitizers slow the tool down too much for the largest cases within its
// Wayland share, and inflate its time and memory.
constexpr bool sanitized = LSSCREENS_SANITIZED;

// A global as announced; a bind of a wl_output is told the rest.
struct Global {
    std::uint32_t name;
    std::string interface = "wl_output";
    std::int32_t modeWidth = 0, modeHeight = 0, scale = 1, transform = 0, mmWidth = 0, mmHeight = 0;
    bool current = true;  // the mode's flag; without it the mode is only the preferred one
    std::optional<std::pair<std::int32_t, std::int32_t>> logicalSize{};  // xdg-output's
};

// frozen: listens with a full queue and never accepts. silent: accepts, reads
// and never writes. late: answers only 1.5 s after accepting.
// closeAfterRoundTrip: at the first request after the first round trip;
// errorAfterRoundTrip: there a protocol error instead, then silence on an
// open connection. floodOutputOrder: a bound
// kde_output_order_v1 gets 32 MiB of "output" events, never "done".
// floodGlobals: 200,000 seats (20,000 under sanitizers) announced before the
// scripted globals. mutterBus: a session bus, not a compositor (serveBus).
enum class Fault { none, frozen, silent, late, mutterBus, closeOnAccept, closeAfterRoundTrip, errorAfterRoundTrip, floodOutputOrder, floodGlobals };

// An event's argument: an int, uint, object or new_id, or a string.
struct Argument {
    Argument(std::int32_t number) : word(static_cast<std::uint32_t>(number)) {}
    Argument(std::uint32_t number) : word(number) {}
    Argument(const char* string) : text(string), word(static_cast<std::uint32_t>(std::strlen(string))) {}
    const char* text = nullptr;
    std::uint32_t word;  // a string's length
};

// [object][size << 16 | opcode][arguments], words in host byte order: a
// number is one; a string is its length with the NUL, then its bytes, the NUL
// and zeros to a whole word.
void event(std::vector<std::uint8_t>& out, std::uint32_t object, std::uint32_t opcode,
           std::initializer_list<Argument> arguments = {})
{
    const std::size_t start = out.size();
    const auto put = [&](const void* bytes, std::size_t size) {
        out.insert(out.end(), static_cast<const std::uint8_t*>(bytes), static_cast<const std::uint8_t*>(bytes) + size);
    };
    put(&object, 4);
    put(&opcode, 4);
    for (const Argument& argument : arguments) {
        const std::uint32_t word = argument.word + (argument.text ? 1 : 0);
        put(&word, 4);
        if (argument.text) {
            put(argument.text, word);
            out.resize(out.size() + 3 - argument.word % 4);
        }
    }
    const auto header = static_cast<std::uint32_t>((out.size() - start) << 16 | opcode);
    std::memcpy(&out[start + 4], &header, 4);
}

// A Wayland compositor that misbehaves on purpose: it speaks the wire format
// on a real Unix socket (a path, or an abstract name when it starts with
// '\0'), serves on its own thread and answers as scripted.
class HostileCompositor {
public:
    HostileCompositor(Fault fault, std::vector<Global> globals, const std::string& address)
        : fault_(fault), globals_(std::move(globals))
    {
        sockaddr_un where{.sun_family = AF_UNIX, .sun_path = {}};
        address.copy(where.sun_path, sizeof where.sun_path - 1);
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.size());
        const auto* at = reinterpret_cast<const sockaddr*>(&where);
        listener_ = descriptors_.emplace_back(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        listening = bind(listener_, at, length) == 0 && listen(listener_, fault == Fault::frozen ? 0 : 16) == 0;
        // Frozen: connections of its own fill the queue until the next would wait.
        for (int i = 0; fault == Fault::frozen && listening && i < 64; ++i)
            if (connect(descriptors_.emplace_back(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)), at, length))
                break;
        if (fault != Fault::frozen && listening)
            thread_ = std::thread([this] {
                for (int connection; (connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;)
                    serve(connection_ = descriptors_.emplace_back(connection));
            });
    }
    ~HostileCompositor()
    {
        shutdown(listener_, SHUT_RDWR);  // accept returns
        shutdown(connection_, SHUT_RDWR);
        if (thread_.joinable())
            thread_.join();
        for (const int descriptor : descriptors_)
            close(descriptor);
    }

    bool listening = false;

private:
    void serve(int connection)
    {
        if (fault_ == Fault::mutterBus)
            return serveBus(connection);
        if (fault_ == Fault::late)
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        std::map<std::uint32_t, const Global*> globals, objects;  // by name (the first announced), by the client's id
        for (const auto& global : globals_)
            globals.emplace(global.name, &global);
        std::uint32_t registry = 0, roundTrips = 0;
        bool quiet = fault_ == Fault::silent;
        const std::string flood(4000, 'x');
        std::vector<std::uint8_t> in, out;
        std::uint8_t buffer[65536];
        for (ssize_t got; fault_ != Fault::closeOnAccept && (got = recv(connection, buffer, sizeof buffer, 0)) > 0;) {
            in.insert(in.end(), buffer, buffer + (quiet ? 0 : got));
            // Each complete request, w(i) its words.
            std::size_t at = 0, size = 0;
            const auto w = [&](std::size_t i) {
                std::uint32_t word = 0;
                std::memcpy(&word, &in[at + 4 * i], 4);
                return word;
            };
            for (; in.size() - at >= 8 && in.size() - at >= (size = std::max(8u, w(1) >> 16 & ~3u)); at += size) {
                const std::uint32_t object = w(0), opcode = w(1) & 0xFFFF;
                if (roundTrips == 1 && fault_ == Fault::closeAfterRoundTrip)
                    return void(shutdown(connection, SHUT_RDWR));
                if (quiet)
                    continue;
                if (roundTrips == 1 && fault_ == Fault::errorAfterRoundTrip) {
                    event(out, 1, 0, {1, 3, "scripted failure"});  // wl_display.error, "implementation"
                    quiet = true;
                } else if (object == 1 && opcode == 0) {  // wl_display.sync: wl_callback.done, wl_display.delete_id
                    event(out, w(2), 0, {roundTrips++});
                    event(out, 1, 1, {w(2)});
                } else if (object == 1 && opcode == 1) {  // wl_display.get_registry: wl_registry.global
                    registry = w(2);
                    for (std::uint32_t name = 1000; fault_ == Fault::floodGlobals && name < (sanitized ? 21000 : 201000); ++name)
                        event(out, registry, 0, {name, "wl_seat", 7});
                    for (const auto& global : globals_)
                        event(out, registry, 0, {global.name, global.interface.c_str(),
                                                 global.interface == "wl_output" ? 4 : global.interface == "zxdg_output_manager_v1" ? 2 : 1});
                } else if (object == registry && opcode == 0 && globals.contains(w(2))) {  // wl_registry.bind
                    const std::uint32_t id = w(5 + (w(3) + 3) / 4);  // after the name, interface and version
                    const Global& global = *(objects[id] = globals[w(2)]);
                    if (global.interface == "wl_output") {  // geometry, mode (flags: current 1, preferred 2), scale, done
                        event(out, id, 0, {0, 0, global.mmWidth, global.mmHeight, 0, "", "", global.transform});
                        event(out, id, 1, {global.current ? 3 : 2, global.modeWidth, global.modeHeight, 60000});
                        event(out, id, 3, {global.scale});
                        event(out, id, 2);
                    }
                    for (int i = 0; global.interface == "kde_output_order_v1" && fault_ == Fault::floodOutputOrder && i < 8192; ++i)
                        event(out, id, 0, {flood.c_str()});
                } else if (object != 1 && opcode == 1 && size == 16 && objects.contains(w(3))) {  // get_xdg_output
                    const auto& logical = objects[w(3)]->logicalSize;  // position, size, done
                    event(out, w(2), 0, {0, 0});
                    if (logical)
                        event(out, w(2), 1, {logical->first, logical->second});
                    event(out, w(2), 2);
                }
            }
            in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(at));
            if (send(connection, out.data(), out.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(out.size()))
                break;
            out.clear();
        }
        shutdown(connection, SHUT_RDWR);
    }

    // Just enough of a session bus for sd-bus, as mutter's would be: after the
    // authentication (sent whole, up to BEGIN), the replies to Hello (serial 1)
    // and GetCurrentState (serial 2), the latter 1.5 s after accepting: one
    // monitor with 60 MiB of properties ("", <0.0>), 16 bytes each, then 60 MiB
    // of logical monitors, 40 bytes each; under sd-bus's 128 MiB message limit
    // and D-Bus's 64 MiB array limit. Empty strings and arrays are all zeros.
    void serveBus(int connection)
    {
        const auto accepted = std::chrono::steady_clock::now();
        std::string in;
        const auto has = [&in](const char* line) { return in.find(line) != std::string::npos; };
        char buffer[4096];
        for (ssize_t got; !has("BEGIN\r\n") && (got = recv(connection, buffer, sizeof buffer, 0)) > 0;)
            in.append(buffer, static_cast<std::size_t>(got));
        // An empty challenge for a client that asked for one, its identity taken as told.
        std::string reply = (has("DATA\r\n") ? "DATA\r\n"s : ""s) + "OK 0123456789abcdef0123456789abcdef\r\n" +
                            (has("NEGOTIATE_UNIX_FD") ? "AGREE_UNIX_FD\r\n" : "") + methodReturn(1, "s", "\4\0\0\0:1.1\0"s);
        // Under AddressSanitizer each of sd-bus's reads costs time in proportion
        // to what is still missing of the message: 4 MiB each there.
        const std::size_t properties = (sanitized ? 4 : 60) << 20, logicalMonitors = properties;
        std::string state(72 + properties + logicalMonitors, '\0');
        word(state, 4, 48 + properties);  // the monitors, after the serial
        word(state, 48, properties);      // after the monitor's connector and modes
        for (std::size_t at = 56; at < 56 + properties; at += 16)
            state.replace(at + 5, 2, "\1d");
        word(state, 56 + properties, logicalMonitors);
        reply += methodReturn(2, "ua((ssss)a(siiddada{sv})a{sv})a(iiduba(ssss)a{sv})a{sv}", state);
        std::this_thread::sleep_until(accepted + std::chrono::milliseconds(1500));
        if (send(connection, reply.data(), reply.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(reply.size()))
            while (recv(connection, buffer, sizeof buffer, 0) > 0) {}
    }
    static void word(std::string& out, std::size_t at, std::size_t value)  // in the host's order, as the message says
    {
        const auto number = static_cast<std::uint32_t>(value);
        out.replace(at, 4, reinterpret_cast<const char*>(&number), 4);
    }
    // A method return: the fixed header, the fields REPLY_SERIAL (5, u) and
    // SIGNATURE (8, g), padding to 8, the body.
    static std::string methodReturn(std::uint32_t replyTo, const std::string& signature, const std::string& body)
    {
        std::string message = (std::endian::native == std::endian::little ? "l"s : "B"s) +
                              "\2\0\1bodyserifiel\5\1u\0repl\10\1g\0"s + char(signature.size()) + signature + '\0';
        word(message, 4, body.size());
        word(message, 8, 1);
        word(message, 12, message.size() - 16);
        word(message, 20, replyTo);
        message.resize((message.size() + 7) / 8 * 8, '\0');
        return message + body;
    }

    const Fault fault_;
    const std::vector<Global> globals_;
    // Every socket, closed on destruction and not before, so that no number is
    // reused while the thread may still name it.
    std::vector<int> descriptors_;
    int listener_ = -1;
    std::atomic<int> connection_{-1};
    std::thread thread_;
};

const Global xdgOutput{1, "zxdg_output_manager_v1"}, dp1{10, "wl_output", 1920, 1080, 1, 0, 600, 340};
const json dp1Screen = json::array({screen(1920, 1080, 600, 340, 10)});

enum class X { xvfb, silent, none };  // on DISPLAY: Xvfb, a server that accepts and never answers, nothing

struct Case {
    const char* what;
    Fault fault;
    std::vector<Global> globals;
    std::optional<json> screens;  // none: the X server's
    int outputs = 0;              // added, named from 100 on, each of another size
    X x = X::xvfb;
    int exitStatus = 0;
    // WAYLAND_SOCKET as given; "" for a connection of the test's own to the
    // compositor, whose socket's path is then removed.
    const char* waylandSocket = nullptr;
};

class Hostile : public ::testing::TestWithParam<Case> {};

TEST_P(Hostile, OneLineInTimeAndTheScreensOfACompleteSessionElseOfX)
{
    const Case& hostile = GetParam();
    std::vector<Global> globals = hostile.globals;
    json screens = hostile.screens.value_or(json::array());
    // Outputs added: even ones sized by xdg-output, the others by their mode at scale 2.
    for (int i = 0; i < (sanitized ? std::min(hostile.outputs, 1000) : hostile.outputs); ++i) {
        globals.push_back({100u + i, "wl_output", 2 * i, 2 * (i % 7), 2});
        if (i % 2 == 0)
            globals.back().logicalSize = {i, i % 3};
        if (i < 16384)  // the documented cap
            screens.push_back(screen(i, i % (i % 2 ? 7 : 3), 0, 0, 100u + i));
    }
    // The compositor's socket relative to the runtime directory, as desktops name it.
    const ScratchDirectory runtime;
    const HostileCompositor compositor(hostile.fault, globals, runtime.path / "wayland-hostile");
    // With mutter's own global, mutter's bus, named by DBUS_SESSION_BUS_ADDRESS.
    const bool mutter = std::ranges::any_of(globals, [](const Global& global) { return global.interface == "gtk_shell1"; });
    const auto bus = mutter ? std::make_unique<HostileCompositor>(Fault::mutterBus, std::vector<Global>{}, runtime.path / "bus")
                            : nullptr;
    std::vector<std::string> variables{"XDG_RUNTIME_DIR=" + runtime.path.string(), "WAYLAND_DISPLAY=wayland-hostile",
                                       "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (runtime.path / "bus").string()};
    std::unique_ptr<HostileCompositor> silentX;  // on the first display number free from 1000, abstract socket
    int number = 999;
    while (hostile.x == X::silent && !(silentX && silentX->listening))
        silentX = std::make_unique<HostileCompositor>(Fault::silent, std::vector<Global>{},
                                                      "\0/tmp/.X11-unix/X"s + std::to_string(++number));
    const XServer x(xvfb({"1024x768x24"}));
    if (hostile.x != X::none)
        variables.push_back("DISPLAY=" + (silentX ? ":" + std::to_string(number) : x.display));
    if (!hostile.screens)
        screens.push_back(screen(1024, 768, 0, 0, outputs().at("screen")));
    const bool ownConnection = hostile.waylandSocket && !*hostile.waylandSocket;
    const linux_platform::Descriptor handedOver(ownConnection ? socket(AF_UNIX, SOCK_STREAM, 0) : -1);  // inherited
    if (handedOver.get() >= 0) {
        sockaddr_un where{.sun_family = AF_UNIX, .sun_path = {}};
        (runtime.path / "wayland-hostile").string().copy(where.sun_path, sizeof where.sun_path - 1);
        ASSERT_EQ(connect(handedOver.get(), reinterpret_cast<const sockaddr*>(&where), sizeof where), 0);
        std::filesystem::remove(runtime.path / "wayland-hostile");
    }
    if (hostile.waylandSocket)
        variables.push_back("WAYLAND_SOCKET="s + (ownConnection ? std::to_string(handedOver.get()) : hostile.waylandSocket));
    EXPECT_EQ(report(variables, hostile.exitStatus, !mutter), screens);
}

INSTANTIATE_TEST_SUITE_P(Scripted, Hostile, ::testing::Values(
    Case{"NeverAnswers", Fault::silent, {xdgOutput, dp1}, std::nullopt},
    Case{"NeverAnswersAndNoXServer", Fault::silent, {xdgOutput, dp1}, json::array(), 0, X::none, 2},
    Case{"AnswersAfterOneAndAHalfSeconds", Fault::late, {xdgOutput, dp1}, dp1Screen},
    Case{"ClosesOnAccept", Fault::closeOnAccept, {xdgOutput, dp1}, std::nullopt},
    Case{"ClosesBetweenTheRoundTrips", Fault::closeAfterRoundTrip, {xdgOutput, dp1}, std::nullopt},
    Case{"ProtocolErrorAfterTheFirstRoundTrip", Fault::errorAfterRoundTrip, {xdgOutput, dp1}, std::nullopt},
    Case{"NeverAccepts", Fault::frozen, {}, std::nullopt},
    Case{"NeverAcceptsAndTheXServerNeverAnswers", Fault::frozen, {}, json::array(), 0, X::silent, 2},
    Case{"NoOutputsWhileTheXServerHasScreens", Fault::none, {xdgOutput}, json::array()},
    // WAYLAND_SOCKET is used alone: a standard stream, or a number that names
    // no open descriptor, is a compositor that cannot be asked.
    Case{"HandsItsSocketOver", Fault::none, {xdgOutput, dp1}, dp1Screen, 0, X::xvfb, 0, ""},
    Case{"HandsOverStandardInput", Fault::none, {xdgOutput, dp1}, json::array(), 0, X::none, 2, "0"},
    Case{"HandsOverStandardOutput", Fault::none, {xdgOutput, dp1}, json::array(), 0, X::none, 2, "1"},
    Case{"HandsOverStandardError", Fault::none, {xdgOutput, dp1}, json::array(), 0, X::none, 2, "2"},
    Case{"HandsOverAClosedDescriptor", Fault::none, {xdgOutput, dp1}, json::array(), 0, X::none, 2, "99"},
    Case{"HandsOverNoNumber", Fault::none, {xdgOutput, dp1}, std::nullopt, 0, X::xvfb, 0, "wayland-0"},
    // Taken for mutter, its output at scale 2 with its mode as its logical
    // size (mutter's physical layout mode), so that its bus is asked, whose
    // reply comes too late to be walked in full in time; time only, as the
    // memory is sd-bus's, which holds the message.
    Case{"MutterWith120MiBOfDisplayConfig", Fault::none,
         {xdgOutput, {10, "wl_output", 1920, 1080, 2, 0, 600, 340, true, {{1920, 1080}}}, {11, "gtk_shell1"}}, dp1Screen},
    Case{"FloodsTheOutputOrder", Fault::floodOutputOrder, {xdgOutput, dp1, {11, "kde_output_order_v1"}}, dp1Screen},
    Case{"FloodsGlobals", Fault::floodGlobals, {xdgOutput, dp1}, dp1Screen},
    Case{"TenThousandOutputs", Fault::none, {xdgOutput}, json::array(), 10000},
    Case{"OutputsBeyondTheCap", Fault::none, {xdgOutput}, json::array(), 16385},
    // The second announcement of name 10 is ignored.
    Case{"AnnouncesANameTwice", Fault::none, {xdgOutput, dp1, {10, "wl_output", 800, 600}, {12, "wl_output", 800, 600}},
         json::array({screen(1920, 1080, 600, 340, 10), screen(800, 600, 0, 0, 12)})},
    // Output 24 has neither a current mode nor a logical size; scales out of
    // 1-16 count as 1. Transforms: 1 90°, 2 180°, 3 270°, 4 flipped, 7 flipped
    // and 270°, others none.
    Case{"AbsurdNumbers", Fault::none, {xdgOutput, {20, "wl_output", 2560, 1440, 2, 3, -1, -5},
         {21, "wl_output", -5, 1440, 0, 4, INT_MAX, 7}, {22, "wl_output", 1920, 1080, INT_MAX, 99},
         {.name = 23, .current = false, .logicalSize = {{-1, INT_MAX}}},
         {.name = 24, .modeWidth = 640, .modeHeight = 480, .current = false}, {25, "wl_output", 1000, 800, -3, -1},
         {26, "wl_output", 2560, 1440, 2, 2, 600, 340}, {27, "wl_output", 2560, 1440, 1, 1, 600, 340}, {28, "wl_output", 2560, 1440, 2, 7}},
         json::array({screen(720, 1280, 0, 0, 20), screen(0, 1440, INT_MAX, 7, 21), screen(1920, 1080, 0, 0, 22),
                      screen(0, INT_MAX, 0, 0, 23), screen(1000, 800, 0, 0, 25), screen(1280, 720, 600, 340, 26),
                      screen(1440, 2560, 340, 600, 27), screen(720, 1280, 0, 0, 28)})}),
    [](const auto& info) { return std::string(info.param.what); });

// With standard output closed no window-system socket may take its place:
// the report cannot be written, under X11 as under Wayland, and the X server
// still answers. With standard error closed, none may take that either: the
// session would then be cut off from the socket while libraries' messages
// are kept off standard error, and give no screens.
TEST(Hostile, StandardOutputOrErrorClosed)
{
    const XServer x(xvfb({"1024x768x24"}));
    const ScratchDirectory runtime;
    const HostileCompositor compositor(Fault::none, {xdgOutput, dp1}, runtime.path / "wayland-hostile");
    for (const std::string wayland : {"no-such-socket", "wayland-hostile"}) {
        const auto closing = [&](const std::string& stream) {
            return run({"env", "XDG_RUNTIME_DIR=" + runtime.path.string(), "WAYLAND_DISPLAY=" + wayland, "WAYLAND_DEBUG=1",
                        "sh", "-c", "exec \"$0\" " + stream + ">&-", LSSCREENS_BINARY});
        };
        EXPECT_EQ(closing("").status, 1 << 8) << wayland;  // exit status 1
        const json xvfbScreen = json::array({screen(1024, 768, 0, 0, outputs().at("screen"))});
        EXPECT_EQ(reportOf(closing("2")), wayland == "no-such-socket" ? xvfbScreen : dp1Screen);
    }
    EXPECT_EQ(run({"timeout", "5", "xrandr"}).status, 0);
}
}  // namespace
}  // namespace lsscreens::testing
