// Asking a compositor: connect, and only then load libwayland-client for the
// session; on mutter, its D-Bus side afterwards.
#include "platform/linux/wayland_display.h"

#include <utility>

#include "platform/linux/mutter_display_config.h"
#include "platform/linux/wayland_library.h"
#include "platform/linux/wayland_session.h"
#include "platform/linux/wayland_socket.h"

namespace lsscreens::linux_platform {

std::optional<Screens> readWaylandSession(int socket, Deadline deadline)
{
    Descriptor owned(socket);
    if (!waylandLibrary())
        return std::nullopt;
    std::optional<WaylandSession> session = readSession(owned.release(), deadline);
    if (!session)
        return std::nullopt;
    // The session counts whatever D-Bus does.
    if (session->mutter)
        applyMutterDisplayConfig(session->outputs, deadline);
    Screens screens;
    for (WaylandOutput& output : session->outputs) {
        screens.monitors.push_back(output.monitor);
        if (output.monitor.firstOutput)
            screens.outputs[*output.monitor.firstOutput] = std::move(output.facts);
    }
    return screens;
}

Answer askWayland(Deadline deadline)
{
    CompositorConnection connection = connectToCompositor(deadline);
    if (connection.socket.get() < 0)
        return connection.reached ? Answer::incomplete() : Answer::absent();
    // From here on a compositor is there: a session that does not complete,
    // or a libwayland-client that cannot be loaded, is a failure to answer.
    std::optional<Screens> screens = readWaylandSession(connection.socket.release(), deadline);
    return screens ? Answer::complete(std::move(*screens)) : Answer::incomplete();
}

}  // namespace lsscreens::linux_platform
