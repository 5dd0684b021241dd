// Writes the Wayland session fuzzer's seeds into the given directory: the
// compositor's side of whole conversations, complete and broken, as scripted
// in tests/linux/hostile_test.cpp. The client first asks for the registry (new
// id 2) and a round trip (new id 3); once that is answered it binds the
// xdg-output manager, each output followed by its xdg-output and then the
// output order, with ids from 3 on again (3 was freed), and makes the second
// round trip. The fuzzer writes everything at once, and libwayland-client
// drops events for objects that do not exist yet; so the first part is padded
// to 4096 bytes, the client's input buffer, and the rest is read only once
// the client has bound what it speaks to.
//   lsscreens_wayland_seeds DIRECTORY
#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// [object][size << 16 | opcode][arguments] in host byte order; a string is its
// length with the NUL, then its bytes, the NUL and zeros to a whole word.
void event(Bytes& out, std::uint32_t object, std::uint32_t opcode,
           std::initializer_list<std::variant<std::int64_t, std::string>> arguments = {})
{
    std::vector<std::uint32_t> words{object, opcode};
    for (const auto& argument : arguments) {
        const auto* text = std::get_if<std::string>(&argument);
        words.push_back(static_cast<std::uint32_t>(text ? text->size() + 1 : std::get<std::int64_t>(argument)));
        if (text) {
            words.resize(words.size() + text->size() / 4 + 1);
            std::memcpy(&words[words.size() - text->size() / 4 - 1], text->data(), text->size());
        }
    }
    words[1] |= static_cast<std::uint32_t>(words.size() * 4) << 16;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(words.data());
    out.insert(out.end(), bytes, bytes + words.size() * 4);
}

struct Output {
    std::uint32_t name;
    std::int32_t modeWidth = 1920, modeHeight = 1080, scale = 1, transform = 0, mmWidth = 0, mmHeight = 0;
    bool current = true;
    std::optional<std::pair<std::int32_t, std::int32_t>> logicalSize{};
    std::string connector{};
};

enum class End { complete, closed, error };

struct Session {
    const char* file;
    std::vector<Output> outputs;
    bool xdgOutput = true;
    std::vector<std::string> order{};  // the output order's names; none: no such global
    bool orderDone = true;
    std::vector<std::uint32_t> announcedAgain{};
    End end = End::complete;
};

Bytes conversation(const Session& session)
{
    Bytes first, rest, answered;
    if (session.xdgOutput)
        event(first, 2, 0, {1, "zxdg_output_manager_v1", 2});
    if (!session.order.empty())
        event(first, 2, 0, {2, "kde_output_order_v1", 1});
    for (const Output& output : session.outputs)
        event(first, 2, 0, {output.name, "wl_output", 4});
    for (const std::uint32_t name : session.announcedAgain)
        event(first, 2, 0, {name, "wl_output", 4});
    event(answered, 3, 0, {0});  // wl_callback.done, wl_display.delete_id
    event(answered, 1, 1, {3});
    // A global of an interface nobody binds fills the first part up to 4096 bytes.
    const std::size_t left = 4096 - first.size() - answered.size();
    event(first, 2, 0, {1000, std::string(4 * ((left - 20) / 4 - 1), 'p'), 1});
    first.insert(first.end(), answered.begin(), answered.end());

    std::uint32_t id = 3;
    if (session.xdgOutput)
        ++id;
    for (const Output& output : session.outputs) {
        const std::uint32_t wlOutput = id++;
        event(rest, wlOutput, 0, {0, 0, output.mmWidth, output.mmHeight, 0, "", "", output.transform});
        event(rest, wlOutput, 1, {output.current ? 3 : 2, output.modeWidth, output.modeHeight, 60000});
        event(rest, wlOutput, 3, {output.scale});
        if (!output.connector.empty())
            event(rest, wlOutput, 4, {output.connector});
        event(rest, wlOutput, 2);
        if (session.xdgOutput) {
            const std::uint32_t xdgOutput = id++;
            event(rest, xdgOutput, 0, {0, 0});
            if (output.logicalSize)
                event(rest, xdgOutput, 1, {output.logicalSize->first, output.logicalSize->second});
            event(rest, xdgOutput, 2);
        }
    }
    if (!session.order.empty()) {
        const std::uint32_t order = id++;
        for (const auto& name : session.order)
            event(rest, order, 0, {name});
        if (session.orderDone)
            event(rest, order, 1);
    }
    if (session.end == End::closed)
        rest.clear();
    if (session.end == End::error)
        event(rest, 1, 0, {1, 3, "scripted failure"});  // wl_display.error, "implementation"
    if (session.end == End::complete) {
        event(rest, id, 0, {1});
        event(rest, 1, 1, {id});
    }
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: lsscreens_wayland_seeds DIRECTORY\n";
        return 2;
    }
    const std::vector<Output> absurd{
        {20, 2560, 1440, 2, 3, -1, -5},
        {21, -5, 1440, 0, 4, INT32_MAX, 7},
        {22, 1920, 1080, INT32_MAX, 99},
        {.name = 23, .current = false, .logicalSize = {{-1, INT32_MAX}}},
        {.name = 24, .modeWidth = 640, .modeHeight = 480, .current = false},
        {25, 1000, 800, -3, -1},
        {26, 2560, 1440, 2, 7, 600, 340, true, {{1280, 720}}, "DP-1"}};
    const std::vector<Output> three{{10, 1920, 1080, 1, 0, 600, 340, true, {{1920, 1080}}, "DP-1"},
                                    {11, 2560, 1440, 2, 0, 597, 336, true, {{1280, 720}}, "HDMI-A-1"},
                                    {12, 1600, 1200, 1, 1, 0, 0, true, {{1200, 1600}}, "eDP-1"}};
    const std::vector<Session> sessions{
        {"complete", three, true, {"HDMI-A-1", "DP-1", "eDP-1"}},
        {"complete-without-xdg-output", absurd, false},
        {"absurd-numbers", absurd},
        {"name-announced-twice", three, true, {}, true, {11}},
        {"order-without-done", three, true, std::vector<std::string>(40, "HDMI-A-1"), false},
        {"closed-between-round-trips", three, true, {}, true, {}, End::closed},
        {"protocol-error", three, true, {}, true, {}, End::error},
    };
    for (const Session& session : sessions) {
        const Bytes bytes = conversation(session);
        std::ofstream(std::string(argv[1]) + "/wayland-" + session.file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    return 0;
}
