// Bridges a display id to the I/O registry's display service for the same
// display, by matching vendor, product and serial numbers.
#pragma once

#include "display/core_graphics.h"
#include "display/scoped_io_object.h"

namespace lsscreens {

// Walks the registry's "IODisplayConnect" services in iterator order and
// returns the first whose vendor, product and serial numbers equal those
// CoreGraphics reports for the display; an empty handle when none does or the
// registry cannot be asked. The returned service belongs to the caller.
ScopedIOObject getIOService(CGDirectDisplayID display);

}  // namespace lsscreens
