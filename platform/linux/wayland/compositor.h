// The screens of a Wayland compositor: one per wl_output it advertises, with
// logical sizes from xdg-output where offered, the physical size from the
// output's geometry, and the connector name that leads to the DRM connector's
// EDID. Everything is read in two round trips within a deadline, and counts
// only when the whole session completes: a protocol error, a compositor that
// goes away or stops answering gives no answer at all, as if there were no
// compositor. libwayland-client never gets to print anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/linux/deadline.h"
#include "platform/linux/screens.h"

namespace lsscreens::linux_platform {

// Connects by libwayland-client's rules (see socket.h) and reads every
// output, all before the deadline. Absent when no compositor is named or
// listening, or this build has no Wayland; incomplete when one accepted the
// connection (or kept it waiting in a full queue) and the session did not
// complete in time. On mutter, its D-Bus side is asked afterwards
// (mutter/display_config.h) with what is left until the deadline. The run
// sets it 2 s after its start, for the connect, both round trips and mutter's
// bus together; X11, asked only when this gives no complete answer, has
// until 2.5 s.
Answer askWayland(Deadline deadline);

// One session on a connected socket, which it takes over and closes. Absent
// unless the session completes before the deadline.
std::optional<Screens> readWaylandSession(int socket, Deadline deadline);

}  // namespace lsscreens::linux_platform
