// The display-number and registry calls of the platforms whose displays are
// known by their EDIDs (Linux, Windows), defined once here: each such
// platform links this and answers the two questions below for its run.
#pragma once

#include <optional>

#include "display/core_graphics.h"
#include "platform/shared/edid.h"
#include "platform/shared/edid_registry.h"

namespace lsscreens::platform_shared {

// What a display id names: its identity and its physical size in
// millimetres, turned as the screen is.
struct KnownDisplay {
    EdidIdentity identity;
    EdidSize millimetres;
};

// What the calls ask of the platform's run.
class EdidDisplays {
public:
    // The display behind a display id, read at most once per run; absent
    // when the id names no screen.
    virtual const std::optional<KnownDisplay>& knownDisplay(CGDirectDisplayID id) = 0;
    // The display registry of this run.
    virtual EdidRegistry& edidRegistry() = 0;

protected:
    ~EdidDisplays() = default;
};

// Defined by the platform: its current run.
EdidDisplays& edidDisplays();

}  // namespace lsscreens::platform_shared
