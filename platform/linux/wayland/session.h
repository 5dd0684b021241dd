// One Wayland session on a connected socket: the registry, then every output
// the compositor advertises, with logical sizes from xdg-output where offered,
// the physical size from the output's geometry, and the connector name that
// leads to the DRM connector's EDID. Read in two round trips within a
// deadline; it counts only when it completes. The only code that calls
// libwayland-client, through its table (wayland_library.h).
#pragma once

#include <optional>
#include <vector>

#include "platform/linux/deadline.h"
#include "platform/linux/wayland/wayland_screen.h"

namespace lsscreens::linux_platform {

struct WaylandSession {
    std::vector<WaylandScreen> screens;  // in KDE's output order where told, else the registry's
    bool mutter = false;                 // mutter's own global (gtk_shell1) was offered
};

// Takes the socket over and closes it. Absent unless both round trips were
// answered before the deadline with no protocol error, the connection still
// up. Only once waylandLibrary() has loaded libwayland-client.
std::optional<WaylandSession> readSession(int socket, Deadline deadline);

}  // namespace lsscreens::linux_platform
