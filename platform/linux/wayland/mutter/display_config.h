// What mutter tells only over its session D-Bus interface
// org.gnome.Mutter.DisplayConfig, since no Wayland protocol of its carries it:
// which monitor is the primary, and, in its physical layout mode (its
// default), the logical sizes that windows see.
#pragma once

#include <vector>

#include "platform/linux/deadline.h"
#include "platform/linux/wayland/wayland_screen.h"

namespace lsscreens::linux_platform {

// Unless the reply cannot change the answer (a single output, at scale 1 or
// with a logical size other than its mode's), asks the session bus
// (DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus) for GetCurrentState,
// and marks an output's monitor primary when its connector (xdg-output's
// name, as mutter 43 offers wl_output 3 only) belongs to the primary logical
// monitor; in the physical layout mode (2) its size becomes the mode divided
// by its logical monitor's scale, turned with the output (logical_size.h).
// The deadline is the Wayland session's (2 s after the run's start): the
// call, reading the reply and walking it get what the session left of it. No
// bus, an error, a reply beyond the output cap, or no whole answer in time
// leave the outputs as they are. libsystemd is loaded only here and never
// writes to standard error.
void applyMutterDisplayConfig(std::vector<WaylandScreen>& outputs, Deadline deadline);

}  // namespace lsscreens::linux_platform
