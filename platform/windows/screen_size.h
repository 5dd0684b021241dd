// A screen's physical size the way its pixels run.
#pragma once

#include "platform/shared/edid.h"
#include "platform/windows/screen_order.h"

namespace lsscreens::windows_platform {

// The panel's size from its EDID, width and height swapped on a screen turned
// a quarter, whose monitor rectangle Windows gives turned.
platform_shared::EdidSize screenSize(const Screen& screen, platform_shared::EdidSize panel);

}  // namespace lsscreens::windows_platform
