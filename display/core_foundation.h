// The platform's reference-counted objects (info dictionaries, matching
// dictionaries), as the core sees them: a borrowed view of a Value that the
// platform keeps alive until it is released. CFOwned makes that release
// automatic, so whoever holds one is visibly its owner.
#pragma once

#include <memory>

#include "display/platform_value.h"

namespace lsscreens {

using CFTypeRef = const Value*;

// Gives one reference back to the platform. Implemented by each platform.
void CFRelease(CFTypeRef object);

struct CFReleaser {
    void operator()(CFTypeRef object) const { CFRelease(object); }
};

// An owned reference; empty means "none".
using CFOwned = std::unique_ptr<const Value, CFReleaser>;

}  // namespace lsscreens
