// The X server, as the Linux platform reads it through RandR 1.5: the active
// monitors of every X screen, and for each monitor's first output its physical
// size, name and EDID; without RandR 1.5, each X screen's root as a screen.
// Whatever the server sends is read within its bounds and up to the screen
// cap; nothing it sends ends the process.
#pragma once

#include <optional>

#include "platform/linux/deadline.h"
#include "platform/linux/screens.h"

namespace lsscreens::linux_platform {

// Asks the server that DISPLAY names. Absent when DISPLAY is unset or empty,
// names nothing xcb can read, or nothing accepts a connection where it
// points; incomplete when something did and no complete answer came (it
// refused the client, lied in its setup, failed a request, went away or took
// past the deadline; or xcb cannot be loaded to talk to it). The
// conversation (the name lookup of a remote display, the connection, the
// setup, every reply) runs on a thread of its own, because xcb has no way to
// bound it: when the deadline passes first, the thread is left behind.
Answer askX11(Deadline deadline);

}  // namespace lsscreens::linux_platform
