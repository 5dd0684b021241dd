#include "platform/linux/wayland/mutter/display_config.h"

#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/linux/wayland/logical_size.h"
#include "platform/linux/wayland/mutter/sd_bus_library.h"
#include "platform/linux/standard_error_discarded.h"
#include "platform/linux/wayland/compositor.h"

namespace lsscreens::linux_platform {

namespace {

constexpr int physicalLayoutMode = 2;

// What GetCurrentState tells of the logical monitor a connector belongs to.
struct LogicalMonitor {
    double scale = 1;
    bool primary = false;
};

// The reply, read for the outputs' connectors only, so that what the bus can
// make the tool keep is bounded by the Wayland session.
struct Reply {
    Reply(const std::vector<WaylandScreen>& outputs, Deadline deadline) : deadline(deadline)
    {
        for (const auto& output : outputs)
            if (!output.display.connectorName.empty())
                byConnector.emplace(output.display.connectorName, std::nullopt);
    }
    Deadline deadline;
    std::map<std::string_view, std::optional<LogicalMonitor>> byConnector;
    std::uint32_t layoutMode = 1;
    bool answered = false, understood = false;
};

// Values walked between looks at the clock: a thousand take well under a
// millisecond.
constexpr unsigned valuesPerLook = 1024;

// GetCurrentState's reply, "ua((ssss)a(siiddada{sv})a{sv})a(iiduba(ssss)a{sv})a{sv}":
// the serial, the monitors, the logical monitors (x, y, scale, transform,
// primary, their monitors' connector-vendor-product-serial, properties), and
// the properties, among them "layout-mode". A reply may be as large as sd-bus
// takes a message (128 MiB), and one sd_bus_message_skip of its monitors
// cannot be stopped however long it takes: it is walked
// value by value instead, given up at the deadline and at a list of more than
// maximumScreens monitors, logical monitors or connectors.
class ReplyWalk {
public:
    ReplyWalk(const SdBusLibrary& bus, sd_bus_message* message, Deadline deadline)
        : bus_(bus), message_(message), deadline_(deadline)
    {
    }

    bool understand(Reply& reply)
    {
        return bus_.skip(message_, "u") >= 0 && list("((ssss)a(siiddada{sv})a{sv})", true, [this] { return skip(); }) &&
               list("(iiduba(ssss)a{sv})", true, [&] { return logicalMonitor(reply); }) &&
               list("{sv}", false, [&] { return property(reply); });
    }

private:
    // False once the deadline has passed; the clock is looked at every so many calls.
    bool onTime() { return ++values_ % valuesPerLook != 0 || millisecondsLeft(deadline_) > 0; }

    // Enters the next array, hands it each entry, and leaves it.
    template <typename Entry>
    bool list(const char* contents, bool ofOutputs, Entry entry)
    {
        if (bus_.enter(message_, 'a', contents) <= 0)
            return false;
        int more;
        for (std::size_t count = 0; (more = bus_.peekType(message_, nullptr, nullptr)) > 0; ++count) {
            if ((ofOutputs && count == maximumScreens) || !entry())
                return false;
        }
        return more == 0 && bus_.exit(message_) >= 0;
    }

    // Skips the next value, entering each container on the way.
    bool skip()
    {
        char type = 0;
        const char* contents = nullptr;
        if (!onTime() || bus_.peekType(message_, &type, &contents) <= 0)
            return false;
        if (!contents) {  // a basic type
            const char types[] = {type, '\0'};
            return bus_.skip(message_, types) >= 0;
        }
        if (bus_.enter(message_, type, contents) <= 0)
            return false;
        int more;
        while ((more = bus_.peekType(message_, nullptr, nullptr)) > 0) {
            if (!skip())
                return false;
        }
        return more == 0 && bus_.exit(message_) >= 0;
    }

    bool logicalMonitor(Reply& reply)
    {
        LogicalMonitor logical;
        int primary = 0;
        if (!onTime() || bus_.enter(message_, 'r', "iiduba(ssss)a{sv}") <= 0 ||
            bus_.read(message_, "iidub", nullptr, nullptr, &logical.scale, nullptr, &primary) < 0)
            return false;
        logical.primary = primary;
        const auto connector = [&] {
            const char* name = nullptr;
            if (!onTime() || bus_.read(message_, "(ssss)", &name, nullptr, nullptr, nullptr) <= 0)
                return false;
            if (const auto wanted = reply.byConnector.find(name); wanted != reply.byConnector.end())
                wanted->second = logical;
            return true;
        };
        return list("(ssss)", true, connector) && skip() && bus_.exit(message_) >= 0;
    }

    bool property(Reply& reply)
    {
        const char* key = nullptr;
        if (!onTime() || bus_.enter(message_, 'e', "sv") <= 0 || bus_.read(message_, "s", &key) < 0)
            return false;
        const bool read =
            std::strcmp(key, "layout-mode") == 0 ? bus_.read(message_, "v", "u", &reply.layoutMode) >= 0 : skip();
        return read && bus_.exit(message_) >= 0;
    }

    const SdBusLibrary& bus_;
    sd_bus_message* message_;
    Deadline deadline_;
    unsigned values_ = 0;
};

int onReply(sd_bus_message* message, void* context, sd_bus_error*)
{
    auto& reply = *static_cast<Reply*>(context);
    const SdBusLibrary& bus = *sdBusLibrary();
    reply.answered = true;
    reply.understood =
        bus.isMethodError(message, nullptr) == 0 && ReplyWalk(bus, message, reply.deadline).understand(reply);
    return 0;
}

// The unix: entries of an address list: other transports could block
// (tcp: looks its host up with getaddrinfo) or start programs (unixexec:).
std::string localAddresses(std::string_view list)
{
    std::string local;
    while (!list.empty()) {
        const std::string_view entry = list.substr(0, list.find(';'));
        if (entry.starts_with("unix:")) {
            if (!local.empty())
                local += ';';
            local += entry;
        }
        list.remove_prefix(std::min(list.size(), entry.size() + 1));
    }
    return local;
}

// The session bus's address; empty for none.
std::string sessionBusAddress()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return localAddresses(address);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string path = runtime && *runtime == '/' ? std::string(runtime) + "/bus" : "";
    // Without a bus there, libsystemd is not loaded at all.
    struct stat status {};
    if (path.empty() || stat(path.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode))
        return {};
    // D-Bus addresses escape every byte outside [-0-9A-Za-z_/.\*] as %XX.
    std::string address = "unix:path=";
    for (const char byte : path) {
        const auto value = static_cast<unsigned char>(byte);
        if (std::isalnum(value) || std::strchr("-_/.\\*", byte)) {
            address += byte;
        } else {
            address += '%';
            address += "0123456789abcdef"[value >> 4];
            address += "0123456789abcdef"[value & 0xF];
        }
    }
    return address;
}

// Reads GetCurrentState, driving the connection from this poll until the
// reply is there or the deadline has passed.
bool ask(const SdBusLibrary& bus, const std::string& address, Reply& reply, Deadline deadline)
{
    sd_bus* opened = nullptr;
    if (bus.busNew(&opened) < 0)
        return false;
    const auto close = [&bus](sd_bus* connection) { bus.closeUnref(connection); };
    const std::unique_ptr<sd_bus, decltype(close)> connection(opened, close);
    // sd_bus_start only begins to connect (its socket is non-blocking) and
    // queues the Hello; everything else happens in sd_bus_process.
    if (bus.setAddress(opened, address.c_str()) < 0 || bus.setBusClient(opened, 1) < 0 || bus.start(opened) < 0 ||
        bus.callMethodAsync(opened, nullptr, "org.gnome.Mutter.DisplayConfig", "/org/gnome/Mutter/DisplayConfig",
                            "org.gnome.Mutter.DisplayConfig", "GetCurrentState", onReply, &reply, "") < 0)
        return false;
    while (!reply.answered) {
        if (millisecondsLeft(deadline) == 0)  // also while messages keep coming
            return false;
        const int processed = bus.process(opened, nullptr);
        if (processed < 0)
            return false;
        if (processed > 0)
            continue;
        const int events = bus.events(opened);
        pollfd socket{bus.fd(opened), static_cast<short>(events), 0};
        if (events < 0 || socket.fd < 0)
            return false;
        int ready;
        do {
            ready = poll(&socket, 1, millisecondsLeft(deadline));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0)
            return false;
    }
    return reply.understood;
}

// Whether the reply can change the answer: the primary matters among several
// outputs, and the physical layout mode's size where an output's scale is
// above 1 while its logical size is its mode's, turned (in the logical layout
// mode xdg-output already gives the mode divided by the scale). When it
// cannot, libsystemd and the six libraries it brings are not even loaded.
bool replyCanMatter(const std::vector<WaylandScreen>& outputs)
{
    const auto scaledAsItsMode = [](const WaylandScreen& output) {
        const LogicalSize turnedMode = logicalSizeOfMode(output.modeWidth, output.modeHeight, 1, output.transform);
        return output.scale > 1 && turnedMode == LogicalSize{output.screen.width, output.screen.height};
    };
    return outputs.size() > 1 || std::ranges::any_of(outputs, scaledAsItsMode);
}

}  // namespace

void applyMutterDisplayConfig(std::vector<WaylandScreen>& outputs, Deadline deadline)
{
    if (!replyCanMatter(outputs))
        return;
    const std::string address = sessionBusAddress();
    if (address.empty())
        return;
    Reply reply(outputs, deadline);
    {
        // libsystemd logs to standard error, with no way to turn it off from
        // outside the library.
        const StandardErrorDiscarded quiet;
        const SdBusLibrary* bus = sdBusLibrary();
        if (!bus || !ask(*bus, address, reply, deadline))
            return;
    }
    for (WaylandScreen& output : outputs) {
        const auto found = reply.byConnector.find(output.display.connectorName);
        const std::optional<LogicalMonitor> logical = found == reply.byConnector.end() ? std::nullopt : found->second;
        output.screen.primary = logical && logical->primary;
        if (!logical || reply.layoutMode != physicalLayoutMode || output.modeWidth <= 0 || output.modeHeight <= 0)
            continue;
        const LogicalSize size =
            logicalSizeOfMode(output.modeWidth, output.modeHeight, logical->scale, output.transform);
        output.screen.width = size.width;
        output.screen.height = size.height;
    }
}

}  // namespace lsscreens::linux_platform
