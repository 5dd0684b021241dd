// Asking a compositor: connect, and only then load libwayland-client for the
// session; on mutter, its D-Bus side afterwards.
#include "platform/linux/wayland/compositor.h"

#include <utility>

#include "platform/linux/wayland/mutter/display_config.h"
#include "platform/linux/wayland/wayland_library.h"
#include "platform/linux/wayland/session.h"
#include "platform/linux/wayland/socket.h"

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
        applyMutterDisplayConfig(session->screens, deadline);
    Screens screens;
    for (WaylandScreen& output : session->screens) {
        screens.list.push_back(output.screen);
        if (output.screen.displayId)
            screens.displays[*output.screen.displayId] = std::move(output.display);
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
