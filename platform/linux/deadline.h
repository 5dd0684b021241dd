// The moments by which a window system must have answered. One run has one
// budget; each window system gets the part of it that is left at its turn.
#pragma once

#include <chrono>

namespace lsscreens::linux_platform {

using Deadline = std::chrono::steady_clock::time_point;

// What is left until the deadline in whole milliseconds, rounded up so that a
// wait never ends early; 0 once it has passed.
inline int millisecondsLeft(Deadline deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace lsscreens::linux_platform
