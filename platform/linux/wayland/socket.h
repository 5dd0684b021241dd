// Finds and connects to the compositor's socket by libwayland-client's own
// rules, but within a deadline: libwayland-client's connect() blocks for as
// long as a frozen compositor's full listen queue does not move.
#pragma once

#include "platform/linux/deadline.h"
#include "platform/linux/descriptor.h"

namespace lsscreens::linux_platform {

struct CompositorConnection {
    Descriptor socket;  // connected; none when there is no connection
    // Without a socket: whether a compositor was there all the same (a
    // listen queue that stayed full until the deadline, a WAYLAND_SOCKET
    // that cannot be used), as against nothing named or listening.
    bool reached = false;
};

// WAYLAND_SOCKET, an inherited connected descriptor (never 0, 1 or 2, which
// are the standard streams), is taken as it is. Otherwise the socket is
// WAYLAND_DISPLAY (default "wayland-0"), an absolute path as it is, else
// relative to XDG_RUNTIME_DIR.
CompositorConnection connectToCompositor(Deadline deadline);

}  // namespace lsscreens::linux_platform
