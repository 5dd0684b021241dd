#pragma once

#include <string>

namespace lsscreens {

// Asks the platform for its screens once and returns the whole report: one
// line of compact JSON, one object per screen in the platform's order (primary
// first), followed by a single line feed.
std::string screenReport();

}  // namespace lsscreens
