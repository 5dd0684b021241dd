#pragma once

#include <string>

namespace lsscreens {

struct ScreenReport {
    // One line of compact JSON, one object per screen in the platform's order
    // (primary first), followed by a single line feed.
    std::string json;
    // False when a window system was reached but gave no complete answer.
    bool complete = true;
};

// Asks the platform for its screens once and returns the whole report.
ScreenReport screenReport();

}  // namespace lsscreens
