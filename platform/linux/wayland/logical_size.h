// The size windows see of an output whose compositor does not tell it: its
// current mode divided by its scale, turned with the output. One rule for the
// Wayland session (wl_output's integer scale, without xdg-output) and for
// mutter's physical layout mode (its logical monitor's fractional scale).
#pragma once

#include <cstdint>

namespace lsscreens::linux_platform {

struct LogicalSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool operator==(const LogicalSize&) const = default;
};

// The mode divided by the scale, truncated toward zero; negative mode sizes
// count as 0, and a scale below 1, above 16 or NaN as 1. Width and height
// are swapped for the wl_output transforms that turn by 90 or 270 degrees,
// flipped or not (1, 3, 5 and 7); values outside 0-7 turn nothing.
LogicalSize logicalSizeOfMode(std::int32_t modeWidth, std::int32_t modeHeight, double scale, std::int32_t transform);

// Whether the wl_output transform turns by 90 or 270 degrees (1, 3, 5, 7).
bool turnsAQuarter(std::int32_t transform);

}  // namespace lsscreens::linux_platform
