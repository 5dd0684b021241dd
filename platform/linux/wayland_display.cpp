#include "platform/linux/wayland_display.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstring>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "kde-output-order-v1-client-protocol.h"
#include "platform/linux/standard_error_discarded.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace lsscreens::linux_platform {

namespace {

// The newest versions whose events the listeners below handle.
constexpr std::uint32_t outputVersion = 4;     // wl_output.name
constexpr std::uint32_t xdgOutputVersion = 3;  // zxdg_output_v1.name is v2
constexpr std::uint32_t outputOrderVersion = 1;

// How long the compositor gets to answer everything, in all.
constexpr std::chrono::milliseconds answerTime{2000};

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

// One advertised output and everything it has told so far.
struct OutputState {
    std::uint32_t globalName = 0;
    Owned<wl_output> output;
    Owned<zxdg_output_v1> xdgOutput;
    std::int32_t x = 0, y = 0;  // the compositor's position, from geometry
    std::int32_t widthMillimetres = 0, heightMillimetres = 0;
    std::int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    std::int32_t modeWidth = 0, modeHeight = 0;
    std::int32_t scale = 1;
    std::string name;  // wl_output.name
    bool hasLogicalPosition = false, hasLogicalSize = false;
    std::int32_t logicalX = 0, logicalY = 0, logicalWidth = 0, logicalHeight = 0;
    std::string xdgName;
};

std::string textOf(const char* text)
{
    return text ? std::string(text) : std::string();
}

const wl_output_listener outputListener{
    .geometry = [](void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t widthMm,
                   std::int32_t heightMm, std::int32_t, const char*, const char*, std::int32_t transform) {
        auto& state = *static_cast<OutputState*>(data);
        state.x = x;
        state.y = y;
        state.widthMillimetres = widthMm;
        state.heightMillimetres = heightMm;
        state.transform = transform;
    },
    .mode = [](void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t) {
        auto& state = *static_cast<OutputState*>(data);
        if (flags & WL_OUTPUT_MODE_CURRENT) {
            state.modeWidth = width;
            state.modeHeight = height;
        }
    },
    .done = [](void*, wl_output*) {},
    .scale = [](void* data, wl_output*, std::int32_t factor) { static_cast<OutputState*>(data)->scale = factor; },
    .name = [](void* data, wl_output*, const char* name) { static_cast<OutputState*>(data)->name = textOf(name); },
    .description = [](void*, wl_output*, const char*) {},
};

const zxdg_output_v1_listener xdgOutputListener{
    .logical_position =
        [](void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
            auto& state = *static_cast<OutputState*>(data);
            state.hasLogicalPosition = true;
            state.logicalX = x;
            state.logicalY = y;
        },
    .logical_size =
        [](void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
            auto& state = *static_cast<OutputState*>(data);
            state.hasLogicalSize = true;
            state.logicalWidth = width;
            state.logicalHeight = height;
        },
    .done = [](void*, zxdg_output_v1*) {},
    .name = [](void* data, zxdg_output_v1*, const char* name) {
        static_cast<OutputState*>(data)->xdgName = textOf(name);
    },
    .description = [](void*, zxdg_output_v1*, const char*) {},
};

// The output order KDE's compositor announces; the first is the primary.
struct OutputOrder {
    std::vector<std::string> announcing;
    std::vector<std::string> names;  // the last complete list
};

const kde_output_order_v1_listener outputOrderListener{
    .output = [](void* data, kde_output_order_v1*,
                 const char* name) { static_cast<OutputOrder*>(data)->announcing.push_back(textOf(name)); },
    .done = [](void* data, kde_output_order_v1*) {
        auto& order = *static_cast<OutputOrder*>(data);
        order.names = std::move(order.announcing);
        order.announcing.clear();
    },
};

struct Disconnect {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

// One connection, from the first round trip to the last; the proxies are
// destroyed before the connection closes.
class Session {
public:
    explicit Session(wl_display* display)
        : display_(display), deadline_(std::chrono::steady_clock::now() + answerTime)
    {
    }

    // Binds every output and what describes them, then lets them speak.
    void read()
    {
        registry_.reset(wl_display_get_registry(display_.get()));
        if (!registry_)
            return;
        wl_registry_add_listener(registry_.get(), &registryListener, this);
        if (!roundTrip())
            return;
        if (xdgOutputManager_) {
            for (auto& state : outputs_) {
                state.xdgOutput.reset(zxdg_output_manager_v1_get_xdg_output(xdgOutputManager_.get(),
                                                                            state.output.get()));
                if (state.xdgOutput)
                    zxdg_output_v1_add_listener(state.xdgOutput.get(), &xdgOutputListener, &state);
            }
        }
        roundTrip();
    }

    const std::list<OutputState>& outputs() const { return outputs_; }
    const OutputOrder& order() const { return order_; }

private:
    static std::uint32_t versionToBind(std::uint32_t offered, std::uint32_t supported)
    {
        return std::min(offered, supported);
    }

public:
    void global(std::uint32_t name, const char* interface, std::uint32_t version)
    {
        auto* registry = registry_.get();
        if (std::strcmp(interface, wl_output_interface.name) == 0) {
            auto* output = static_cast<wl_output*>(
                wl_registry_bind(registry, name, &wl_output_interface, versionToBind(version, outputVersion)));
            if (!output)
                return;
            auto& state = outputs_.emplace_back();  // a list: listeners keep its address
            state.globalName = name;
            state.output.reset(output);
            wl_output_add_listener(output, &outputListener, &state);
        } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 && !xdgOutputManager_) {
            xdgOutputManager_.reset(static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
                registry, name, &zxdg_output_manager_v1_interface, versionToBind(version, xdgOutputVersion))));
        } else if (std::strcmp(interface, kde_output_order_v1_interface.name) == 0 && !outputOrder_) {
            outputOrder_.reset(static_cast<kde_output_order_v1*>(wl_registry_bind(
                registry, name, &kde_output_order_v1_interface, versionToBind(version, outputOrderVersion))));
            if (outputOrder_)
                kde_output_order_v1_add_listener(outputOrder_.get(), &outputOrderListener, &order_);
        }
    }

    void globalRemoved(std::uint32_t name)
    {
        std::erase_if(outputs_, [name](const OutputState& state) { return state.globalName == name; });
    }

private:
    static const wl_registry_listener registryListener;

    // A round trip that gives up at the deadline, on a protocol error or when
    // the compositor goes away. True when the compositor answered.
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
        wl_display* display = display_.get();
        while (!answered) {
            if (wl_display_prepare_read(display) != 0) {
                if (wl_display_dispatch_pending(display) < 0)
                    return false;
                continue;
            }
            if (wl_display_flush(display) < 0 && errno != EAGAIN) {
                wl_display_cancel_read(display);
                return false;
            }
            if (!waitForEvents()) {
                wl_display_cancel_read(display);
                return false;
            }
            if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
                return false;
        }
        return true;
    }

    bool waitForEvents() const
    {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline_ - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd readable{wl_display_get_fd(display_.get()), POLLIN, 0};
            const int ready = poll(&readable, 1, static_cast<int>(left.count()));
            if (ready > 0)
                return true;
            if (ready == 0 || errno != EINTR)
                return false;
        }
    }

    // Declared first, destroyed last.
    std::unique_ptr<wl_display, Disconnect> display_;
    std::chrono::steady_clock::time_point deadline_;
    Owned<wl_registry> registry_;
    Owned<zxdg_output_manager_v1> xdgOutputManager_;
    Owned<kde_output_order_v1> outputOrder_;
    OutputOrder order_;
    std::list<OutputState> outputs_;
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

class WaylandScreens final : public ScreenSource {
public:
    explicit WaylandScreens(const Session& session)
    {
        const auto& order = session.order().names;
        for (const auto& state : session.outputs()) {
            const std::string& name = state.name.empty() ? state.xdgName : state.name;
            Monitor monitor;
            monitor.x = state.hasLogicalPosition ? state.logicalX : state.x;
            monitor.y = state.hasLogicalPosition ? state.logicalY : state.y;
            const LogicalSize size =
                state.hasLogicalSize
                    ? LogicalSize{nonNegative(state.logicalWidth), nonNegative(state.logicalHeight)}
                    : logicalSizeOfMode(state.modeWidth, state.modeHeight, state.scale, state.transform);
            monitor.width = size.width;
            monitor.height = size.height;
            monitor.primary = !order.empty() && !name.empty() && name == order.front();
            monitor.firstOutput = state.globalName;
            monitors_.push_back(monitor);
            outputs_[state.globalName] = {nonNegative(state.widthMillimetres),
                                          nonNegative(state.heightMillimetres), {}, name};
        }
    }

    std::vector<Monitor> monitors() const override { return monitors_; }

    std::optional<OutputFacts> output(std::uint32_t id) const override
    {
        const auto found = outputs_.find(id);
        return found == outputs_.end() ? std::nullopt : std::optional(found->second);
    }

private:
    std::vector<Monitor> monitors_;
    std::map<std::uint32_t, OutputFacts> outputs_;  // by display id
};

}  // namespace

LogicalSize logicalSizeOfMode(std::int32_t modeWidth, std::int32_t modeHeight, std::int32_t scale,
                              std::int32_t transform)
{
    const std::uint32_t divisor = scale > 1 ? static_cast<std::uint32_t>(scale) : 1;
    const std::uint32_t width = nonNegative(modeWidth) / divisor;
    const std::uint32_t height = nonNegative(modeHeight) / divisor;
    const bool quarterTurn = transform == WL_OUTPUT_TRANSFORM_90 || transform == WL_OUTPUT_TRANSFORM_270 ||
                             transform == WL_OUTPUT_TRANSFORM_FLIPPED_90 ||
                             transform == WL_OUTPUT_TRANSFORM_FLIPPED_270;
    return quarterTurn ? LogicalSize{height, width} : LogicalSize{width, height};
}

std::unique_ptr<ScreenSource> connectWayland()
{
    // Before connecting: the connection itself may want to complain. And the
    // protocol trace that WAYLAND_DEBUG turns on, which libwayland-client
    // prints straight to stderr, goes nowhere until the session is over.
    wl_log_set_handler_client(sayNothing);
    const StandardErrorDiscarded quiet;
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    Session session(display);
    session.read();
    return std::make_unique<WaylandScreens>(session);
}

}  // namespace lsscreens::linux_platform
