// The moments by which a window system must have answered. One run has one
// budget; each window system gets the part of it that is left at its turn.
#pragma once

#include <algorithm>
#include <chrono>
#include <limits>

namespace lsscreens::linux_platform {

using Deadline = std::chrono::steady_clock::time_point;

// What is left until the deadline in whole milliseconds, rounded up so that a
// wait never ends early, for poll and socket timeouts: 0 once it has passed,
// never negative (poll waits without end for -1), at most INT_MAX.
inline int millisecondsLeft(Deadline deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<decltype(left.count())>(left.count(), 0, std::numeric_limits<int>::max()));
}

}  // namespace lsscreens::linux_platform
