#include "platform/windows/screen_size.h"

#include <utility>

namespace lsscreens::windows_platform {

platform_shared::EdidSize screenSize(const Screen& screen, platform_shared::EdidSize panel)
{
    if (screen.quarterTurn)
        std::swap(panel.width, panel.height);
    return panel;
}

}  // namespace lsscreens::windows_platform
