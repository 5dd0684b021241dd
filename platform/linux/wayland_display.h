// The screens of a Wayland compositor: one per wl_output it advertises, with
// logical sizes from xdg-output where offered, the physical size from the
// output's geometry, and the connector name that leads to the DRM connector's
// EDID. Everything is read at connection time, in a few bounded round trips;
// any failure (a protocol error, a compositor that goes away or stops
// answering) leaves fewer screens or absent values, and libwayland-client
// never gets to print anything.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/linux/screen_source.h"

namespace lsscreens::linux_platform {

// Connects by libwayland-client's default rules (WAYLAND_SOCKET,
// WAYLAND_DISPLAY, XDG_RUNTIME_DIR) and reads every output. Null when no
// compositor accepts the connection, or when this build has no Wayland.
std::unique_ptr<ScreenSource> connectWayland();

struct LogicalSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool operator==(const LogicalSize&) const = default;
};

// What windows see of an output without xdg-output: the current mode divided
// by the output's integer scale (below 1 counts as 1), width and height
// swapped for the transforms that turn it by 90 or 270 degrees (flipped or
// not). Negative mode sizes count as 0.
LogicalSize logicalSizeOfMode(std::int32_t modeWidth, std::int32_t modeHeight, std::int32_t scale,
                              std::int32_t transform);

}  // namespace lsscreens::linux_platform
