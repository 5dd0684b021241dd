#include "display/truncation.h"

#include <cmath>
#include <limits>

namespace lsscreens {

std::int64_t truncatedToInt64(double value)
{
    constexpr double twoTo63 = 9223372036854775808.0;  // exact in a double
    if (std::isnan(value))
        return 0;
    if (value >= twoTo63)
        return std::numeric_limits<std::int64_t>::max();
    if (value < -twoTo63)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);  // the conversion truncates toward zero
}

}  // namespace lsscreens
