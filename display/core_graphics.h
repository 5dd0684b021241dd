// What CoreGraphics tells about a display, named by its display id.
#pragma once

#include <cstdint>

namespace lsscreens {

using CGDirectDisplayID = std::uint32_t;

// What the display number calls return for an id that names no display.
inline constexpr std::uint32_t noSuchDisplay = 0xFFFFFFFF;

struct CGSize {
    double width = 0;
    double height = 0;
};

// Physical size in millimetres; 0 by 0 when unknown.
CGSize CGDisplayScreenSize(CGDirectDisplayID display);

// The display's vendor, model and serial numbers, as the display's own
// identification data gives them; noSuchDisplay for an id that names no
// display.
std::uint32_t CGDisplayVendorNumber(CGDirectDisplayID display);
std::uint32_t CGDisplayModelNumber(CGDirectDisplayID display);
std::uint32_t CGDisplaySerialNumber(CGDirectDisplayID display);

}  // namespace lsscreens
