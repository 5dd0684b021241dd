#pragma once

#include <cstdint>

namespace lsscreens {

// Truncates toward zero into a signed 64-bit integer without undefined
// behaviour: NaN gives 0, values beyond the range saturate at its ends.
std::int64_t truncatedToInt64(double value);

}  // namespace lsscreens
