// Finds and connects to the compositor's socket by libwayland-client's own
// rules, but within a deadline: libwayland-client's connect() blocks for as
// long as a frozen compositor's full listen queue does not move.
#pragma once

#include "platform/linux/deadline.h"
#include "platform/linux/descriptor.h"

namespace lsscreens::linux_platform {

// WAYLAND_SOCKET, an inherited connected descriptor (never 0, 1 or 2, which
// are the standard streams), is taken as it is. Otherwise the socket is
// WAYLAND_DISPLAY (default "wayland-0"), an absolute path as it is, else
// relative to XDG_RUNTIME_DIR. No descriptor when none is named, none
// accepts, or the deadline passes first.
Descriptor connectToCompositor(Deadline deadline);

}  // namespace lsscreens::linux_platform
