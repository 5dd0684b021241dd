// The tool's side of the Wayland module: connect to the compositor, and only
// then load the module that speaks to it.
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <string>

#include "platform/linux/mutter_display_config.h"
#include "platform/linux/wayland_display.h"
#include "platform/linux/wayland_module.h"
#include "platform/linux/wayland_socket.h"

// Linked in directly by the tests and fuzzers; the tool itself has no
// definition and loads the module instead.
extern "C" bool lsscreens_read_wayland_session(int, std::int64_t, LsscreensWaylandOutputSink, void*, bool*)
    __attribute__((weak));

namespace lsscreens::linux_platform {

namespace {

// The module is looked for where it is installed relative to the executable,
// then beside it (the build tree). Null when it cannot be loaded: then there
// is no Wayland, and the X server is asked.
LsscreensReadWaylandSession sessionReader()
{
    if (lsscreens_read_wayland_session)
        return lsscreens_read_wayland_session;
    char executable[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", executable, sizeof executable);
    if (length <= 0 || length == sizeof executable)
        return nullptr;
    const std::string path(executable, static_cast<std::size_t>(length));
    const std::string directory = path.substr(0, path.rfind('/') + 1);
    for (const char* relative : {LSSCREENS_WAYLAND_MODULE_DIRECTORY "/", ""}) {
        // Loaded for good: the process ends soon after the session.
        if (void* module = dlopen((directory + relative + LSSCREENS_WAYLAND_MODULE).c_str(), RTLD_LAZY | RTLD_LOCAL))
            return reinterpret_cast<LsscreensReadWaylandSession>(dlsym(module, "lsscreens_read_wayland_session"));
    }
    return nullptr;
}

}  // namespace

std::optional<Screens> readWaylandSession(int socket, Deadline deadline)
{
    Descriptor owned(socket);
    const LsscreensReadWaylandSession read = sessionReader();
    if (!read)
        return std::nullopt;
    struct Session {
        Screens screens;
        std::vector<MutterOutput> outputs;  // beside screens.monitors
    } session;
    const auto keep = [](void* context, const LsscreensWaylandOutput* output) {
        auto& [screens, outputs] = *static_cast<Session*>(context);
        screens.monitors.push_back({output->x, output->y, output->width, output->height, output->primary,
                                    output->globalName});
        screens.outputs[output->globalName] = {output->widthMillimetres, output->heightMillimetres, {}, output->name};
        outputs.push_back({output->name, output->modeWidth, output->modeHeight, output->transform});
    };
    const auto nanoseconds = std::chrono::nanoseconds(deadline.time_since_epoch()).count();
    bool mutter = false;
    if (!read(owned.release(), nanoseconds, keep, &session, &mutter))
        return std::nullopt;
    // The session counts whatever D-Bus does.
    if (mutter)
        applyMutterDisplayConfig(session.screens.monitors, session.outputs, deadline);
    return std::move(session.screens);
}

Answer askWayland(Deadline deadline)
{
    CompositorConnection connection = connectToCompositor(deadline);
    if (connection.socket.get() < 0)
        return connection.reached ? Answer::incomplete() : Answer::absent();
    // From here on a compositor is there: a session that does not complete,
    // or a module that cannot be loaded, is a failure to answer.
    std::optional<Screens> screens = readWaylandSession(connection.socket.release(), deadline);
    return screens ? Answer::complete(std::move(*screens)) : Answer::incomplete();
}

}  // namespace lsscreens::linux_platform
