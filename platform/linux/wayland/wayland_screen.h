// One output as a Wayland session hands it over: its screen and what is known
// of it, with the facts mutter's D-Bus side reads to correct them.
#pragma once

#include <cstdint>

#include "platform/linux/screens.h"

namespace lsscreens::linux_platform {

struct WaylandScreen {
    Screen screen;       // its logical geometry, whether it is the primary, the display id
    DisplayFacts display;  // its physical size and connector name
    std::int32_t modeWidth = 0, modeHeight = 0;  // the current mode; 0 by 0 when none was told
    std::int32_t scale = 1;                      // wl_output's
    std::int32_t transform = 0;                  // wl_output's
};

}  // namespace lsscreens::linux_platform
