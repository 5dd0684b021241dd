#include "platform/linux/wayland/logical_size.h"

namespace lsscreens::linux_platform {

namespace {

// Far above any real output's scale (mutter's reach 4); the bound keeps the
// quotient finite and within the mode.
constexpr double maximumScale = 16;

}  // namespace

LogicalSize logicalSizeOfMode(std::int32_t modeWidth, std::int32_t modeHeight, double scale, std::int32_t transform)
{
    const double divisor = scale >= 1 && scale <= maximumScale ? scale : 1;  // false for NaN
    const auto divided = [divisor](std::int32_t size) {
        return size > 0 ? static_cast<std::uint32_t>(size / divisor) : std::uint32_t{0};
    };
    const LogicalSize size{divided(modeWidth), divided(modeHeight)};
    return turnsAQuarter(transform) ? LogicalSize{size.height, size.width} : size;
}

bool turnsAQuarter(std::int32_t transform)
{
    return transform >= 0 && transform <= 7 && transform % 2 == 1;
}

}  // namespace lsscreens::linux_platform
