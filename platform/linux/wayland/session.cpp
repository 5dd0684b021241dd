#include "platform/linux/wayland/session.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

// The table's macros before the protocols' generated code, which they redirect.
#include "platform/linux/wayland/wayland_library.h"

#include "kde-output-order-v1-client-protocol.h"
#include "platform/linux/wayland/logical_size.h"
#include "platform/linux/standard_error_discarded.h"
#include "platform/linux/wayland/compositor.h"
#include "wayland-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace lsscreens::linux_platform {

namespace {

// The newest versions whose events the listeners below handle.
constexpr std::uint32_t outputVersion = 4;     // wl_output.name
constexpr std::uint32_t xdgOutputVersion = 3;  // zxdg_output_v1.name is v2
constexpr std::uint32_t outputOrderVersion = 1;

// libwayland-client 1.21 keeps at most 4 KiB of requests unsent and takes a
// full buffer for a fatal error, so it is flushed after this many requests:
// the largest here, a bind of zxdg_output_manager_v1, is 48 bytes.
constexpr int requestsPerFlush = 64;

void sayNothing(const char*, va_list) {}

// Proxies are let go on the client side only: the connection closes right
// after reading, which tells the compositor all it needs, so destructor
// requests (release, destroy) would be written for nobody.
struct ProxyDeleter {
    template <typename Proxy>
    void operator()(Proxy* proxy) const
    {
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(proxy));
    }
};
template <typename Proxy>
using Owned = std::unique_ptr<Proxy, ProxyDeleter>;

// Sizes the compositor gives as signed numbers; negative ones mean unknown.
std::uint32_t nonNegative(std::int32_t size)
{
    return size > 0 ? static_cast<std::uint32_t>(size) : 0;
}

// Empty for no name or one too long to be a connector's (a message may be
// 4 KiB: keeping such names would let a compositor fill memory).
std::string boundedName(const char* text)
{
    if (!text)
        return {};
    const std::size_t length = strnlen(text, maximumConnectorNameLength + 1);
    return length > maximumConnectorNameLength ? std::string() : std::string(text, length);
}

// A position and a size as the compositor tells them.
struct Position {
    std::int32_t x = 0, y = 0;
};
struct Size {
    std::int32_t width = 0, height = 0;
};

// One advertised output and everything it has told so far.
struct AnnouncedScreen {
    std::uint32_t globalName = 0;
    std::uint32_t version = 0;  // offered by the compositor
    bool removed = false;       // withdrawn by the compositor
    Owned<wl_output> output;
    Owned<zxdg_output_v1> xdgOutput;
    Position position;  // from geometry
    Size millimetres;
    std::int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    std::optional<Size> mode;  // the current one
    std::int32_t scale = 1;
    std::string name;  // wl_output.name
    std::optional<Position> logicalPosition;
    std::optional<Size> logicalSize;
    std::string xdgName;
    bool announced = false, listed = false;  // in KDE's output order being told, in its last complete one
};

// The name that leads to the connector: wl_output's, else xdg-output's.
const std::string& connectorName(const AnnouncedScreen& state)
{
    return state.name.empty() ? state.xdgName : state.name;
}

const wl_output_listener outputListener{
    .geometry = [](void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t widthMm,
                   std::int32_t heightMm, std::int32_t, const char*, const char*, std::int32_t transform) {
        auto& state = *static_cast<AnnouncedScreen*>(data);
        state.position = {x, y};
        state.millimetres = {widthMm, heightMm};
        state.transform = transform;
    },
    .mode = [](void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t) {
        if (flags & WL_OUTPUT_MODE_CURRENT)
            static_cast<AnnouncedScreen*>(data)->mode = Size{width, height};
    },
    .done = [](void*, wl_output*) {},
    .scale = [](void* data, wl_output*, std::int32_t factor) { static_cast<AnnouncedScreen*>(data)->scale = factor; },
    .name = [](void* data, wl_output*, const char* name) { static_cast<AnnouncedScreen*>(data)->name = boundedName(name); },
    .description = [](void*, wl_output*, const char*) {},
};

const zxdg_output_v1_listener xdgOutputListener{
    .logical_position =
        [](void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
            static_cast<AnnouncedScreen*>(data)->logicalPosition = Position{x, y};
        },
    .logical_size =
        [](void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
            static_cast<AnnouncedScreen*>(data)->logicalSize = Size{width, height};
        },
    .done = [](void*, zxdg_output_v1*) {},
    .name = [](void* data, zxdg_output_v1*, const char* name) {
        static_cast<AnnouncedScreen*>(data)->xdgName = boundedName(name);
    },
    .description = [](void*, zxdg_output_v1*, const char*) {},
};

// KDE's output order: the outputs' names, then done; the first is the
// primary. A list is kept as the outputs it names that the session knows,
// each once, so that what it can make the tool keep is bounded by the
// outputs. It is bound after the outputs, whose names come before its first
// list.
class OutputOrder {
public:
    explicit OutputOrder(std::list<AnnouncedScreen>& outputs) : outputs_(outputs) {}

    void named(const char* text)
    {
        if (!indexed_) {
            for (auto& state : outputs_) {
                if (!connectorName(state).empty())
                    byName_.try_emplace(connectorName(state), &state);
            }
            indexed_ = true;
        }
        const auto found = byName_.find(boundedName(text));
        if (found != byName_.end() && !found->second->announced) {
            found->second->announced = true;
            announcing_.push_back(found->second);
        }
    }

    void done()
    {
        for (AnnouncedScreen* state : listed_)
            state->listed = false;
        for (AnnouncedScreen* state : announcing_) {
            state->announced = false;
            state->listed = true;
        }
        listed_ = std::move(announcing_);
        announcing_.clear();
    }

    // The last complete list; empty without one.
    const std::vector<AnnouncedScreen*>& listed() const { return listed_; }

private:
    std::list<AnnouncedScreen>& outputs_;
    bool indexed_ = false;
    std::unordered_map<std::string, AnnouncedScreen*> byName_;
    std::vector<AnnouncedScreen*> announcing_, listed_;
};

const kde_output_order_v1_listener outputOrderListener{
    .output = [](void* data, kde_output_order_v1*, const char* name) { static_cast<OutputOrder*>(data)->named(name); },
    .done = [](void* data, kde_output_order_v1*) { static_cast<OutputOrder*>(data)->done(); },
};

struct Disconnect {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

// A global the session binds later, once the registry has been read.
struct Global {
    std::uint32_t name = 0;
    std::uint32_t version = 0;
};

// One connection, from the first round trip to the last; the proxies are
// destroyed before the connection closes.
class Session {
public:
    Session(wl_display* display, Deadline deadline) : display_(display), deadline_(deadline) {}

    // The registry, then every output and what describes it: true when both
    // round trips were answered and the connection is sound.
    bool read()
    {
        registry_.reset(wl_display_get_registry(display_.get()));
        if (!registry_)
            return false;
        wl_registry_add_listener(registry_.get(), &registryListener, this);
        if (!roundTrip())
            return false;
        registryRead_ = true;
        return bindAll() && roundTrip() && wl_display_get_error(display_.get()) == 0;
    }

    // Hands over the outputs in KDE's order where the compositor tells one,
    // the first of it the primary, then the others in the registry's order;
    // those that told neither a current mode nor a logical size are left out.
    void handOver(WaylandSession& session) const
    {
        const std::vector<AnnouncedScreen*>& listed = order_.listed();
        std::vector<const AnnouncedScreen*> ordered(listed.begin(), listed.end());
        for (const auto& state : outputs_) {
            if (!state.listed)
                ordered.push_back(&state);
        }
        for (const AnnouncedScreen* output : ordered) {
            const AnnouncedScreen& state = *output;
            if (state.removed || (!state.mode && !state.logicalSize))
                continue;
            const std::string& name = connectorName(state);
            const Size mode = state.mode.value_or(Size{});
            const LogicalSize size =
                state.logicalSize ? LogicalSize{nonNegative(state.logicalSize->width), nonNegative(state.logicalSize->height)}
                                  : logicalSizeOfMode(mode.width, mode.height, state.scale, state.transform);
            const Position position = state.logicalPosition.value_or(state.position);
            // wl_output gives the panel's size as built; turned, it follows
            // the logical size, so that pixels over millimetres is one density.
            const bool turned = turnsAQuarter(state.transform);
            const std::uint32_t mmWidth = nonNegative(state.millimetres.width), mmHeight = nonNegative(state.millimetres.height);
            session.screens.push_back({
                .screen = {position.x, position.y, size.width, size.height,
                            !listed.empty() && output == listed.front(), state.globalName},
                .display = {turned ? mmHeight : mmWidth, turned ? mmWidth : mmHeight, {}, name},
                .modeWidth = mode.width,
                .modeHeight = mode.height,
                .scale = state.scale,
                .transform = state.transform,
            });
        }
        session.mutter = mutter_;
    }

private:
    // Outputs are only noted while the registry is read and bound afterwards,
    // in batches: binding from the announcement itself could overrun the
    // unsent requests' buffer. Each name counts once.
    void global(std::uint32_t name, const char* interface, std::uint32_t version)
    {
        const bool output = std::strcmp(interface, wl_output_interface.name) == 0 && outputs_.size() < maximumScreens;
        const bool xdgOutputManager =
            std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 && !xdgOutputManagerGlobal_;
        const bool outputOrder = std::strcmp(interface, kde_output_order_v1_interface.name) == 0 && !outputOrderGlobal_;
        mutter_ = mutter_ || std::strcmp(interface, "gtk_shell1") == 0;
        // Only the names of globals kept are noted, so that they stay bounded.
        if (registryRead_ || !(output || xdgOutputManager || outputOrder) || !names_.try_emplace(name).second)
            return;
        if (output) {
            AnnouncedScreen& state = outputs_.emplace_back();
            state.globalName = name;
            state.version = version;
            names_[name] = &state;
        } else if (xdgOutputManager) {
            xdgOutputManagerGlobal_ = Global{name, version};
        } else {
            outputOrderGlobal_ = Global{name, version};
        }
    }

    // Marked rather than erased: events can arrive while the outputs are
    // being bound.
    void globalRemoved(std::uint32_t name)
    {
        if (const auto known = names_.find(name); known != names_.end() && known->second)
            known->second->removed = true;
    }

    template <typename Proxy>
    Proxy* bind(const Global& global, const wl_interface& interface, std::uint32_t supported)
    {
        return static_cast<Proxy*>(wl_registry_bind(registry_.get(), global.name, &interface,
                                                    std::min(global.version, supported)));
    }

    bool bindAll()
    {
        if (xdgOutputManagerGlobal_) {
            xdgOutputManager_.reset(
                bind<zxdg_output_manager_v1>(*xdgOutputManagerGlobal_, zxdg_output_manager_v1_interface, xdgOutputVersion));
            if (!xdgOutputManager_ || !sent())
                return false;
        }
        for (auto& state : outputs_) {
            if (state.removed)
                continue;
            state.output.reset(bind<wl_output>({state.globalName, state.version}, wl_output_interface, outputVersion));
            if (!state.output || !sent())
                return false;
            wl_output_add_listener(state.output.get(), &outputListener, &state);
            if (xdgOutputManager_) {
                state.xdgOutput.reset(zxdg_output_manager_v1_get_xdg_output(xdgOutputManager_.get(), state.output.get()));
                if (!state.xdgOutput || !sent())
                    return false;
                zxdg_output_v1_add_listener(state.xdgOutput.get(), &xdgOutputListener, &state);
            }
        }
        if (outputOrderGlobal_) {
            outputOrder_.reset(bind<kde_output_order_v1>(*outputOrderGlobal_, kde_output_order_v1_interface, outputOrderVersion));
            if (!outputOrder_ || !sent())
                return false;
            kde_output_order_v1_add_listener(outputOrder_.get(), &outputOrderListener, &order_);
        }
        return true;
    }

    // Counts a request written; every so many, writes them all out.
    bool sent() { return ++unflushed_ % requestsPerFlush != 0 || flush(); }

    // Writes out every request. While the compositor is not reading, what it
    // has sent is read meanwhile, so that neither side waits for the other.
    bool flush()
    {
        while (wl_display_flush(display_.get()) < 0) {
            if (errno != EAGAIN || !wait(POLLOUT))
                return false;
        }
        return true;
    }

    // A round trip: true when the compositor answered before the deadline.
    bool roundTrip()
    {
        bool answered = false;
        static constexpr wl_callback_listener syncListener{
            .done = [](void* data, wl_callback*, std::uint32_t) { *static_cast<bool*>(data) = true; },
        };
        const Owned<wl_callback> sync(wl_display_sync(display_.get()));
        if (!sync)
            return false;
        wl_callback_add_listener(sync.get(), &syncListener, &answered);
        if (!flush())
            return false;
        while (!answered) {
            if (!wait(0))
                return false;
        }
        return true;
    }

    // Waits until the socket can be read or, if asked, written, then reads
    // and dispatches what has arrived. False at the deadline, when the
    // compositor has gone, or on a protocol error.
    bool wait(short events)
    {
        wl_display* display = display_.get();
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return false;
        }
        pollfd socket{wl_display_get_fd(display), static_cast<short>(events | POLLIN), 0};
        int ready;
        do {
            ready = poll(&socket, 1, millisecondsLeft(deadline_));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) {
            wl_display_cancel_read(display);
            return false;
        }
        if (socket.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
            if (wl_display_read_events(display) < 0)  // also when the compositor has gone
                return false;
        } else {
            wl_display_cancel_read(display);
        }
        return wl_display_dispatch_pending(display) >= 0;
    }

    static const wl_registry_listener registryListener;

    // Declared first, destroyed last.
    std::unique_ptr<wl_display, Disconnect> display_;
    Deadline deadline_;
    Owned<wl_registry> registry_;
    bool registryRead_ = false;
    std::unordered_map<std::uint32_t, AnnouncedScreen*> names_;  // every global noted; the output it is, if one
    std::list<AnnouncedScreen> outputs_;                         // a list: listeners keep their addresses
    std::optional<Global> xdgOutputManagerGlobal_, outputOrderGlobal_;
    Owned<zxdg_output_manager_v1> xdgOutputManager_;
    Owned<kde_output_order_v1> outputOrder_;
    OutputOrder order_{outputs_};
    bool mutter_ = false;
    int unflushed_ = 0;
};

const wl_registry_listener Session::registryListener{
    .global =
        [](void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version) {
            if (interface)
                static_cast<Session*>(data)->global(name, interface, version);
        },
    .global_remove = [](void* data, wl_registry*,
                        std::uint32_t name) { static_cast<Session*>(data)->globalRemoved(name); },
};

}  // namespace

std::optional<WaylandSession> readSession(int socket, Deadline deadline)
{
    // Before connecting: the connection itself may want to complain. And the
    // protocol trace that WAYLAND_DEBUG turns on, which libwayland-client
    // prints straight to stderr, goes nowhere until the session is over.
    wl_log_set_handler_client(sayNothing);
    const StandardErrorDiscarded quiet;
    wl_display* display = wl_display_connect_to_fd(socket);  // closes the socket if it fails
    if (!display)
        return std::nullopt;
    Session session(display, deadline);
    if (!session.read())
        return std::nullopt;
    WaylandSession read;
    session.handOver(read);
    return read;
}

}  // namespace lsscreens::linux_platform
