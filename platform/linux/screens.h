// What the Linux platform asks of a window system: its screens (X11's RandR
// monitors, Wayland's outputs), and per display id what is known of the
// display behind it. X11 and Wayland each answer it; the first that answers
// in full is used for the whole run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/shared/edid.h"

namespace lsscreens::linux_platform {

// The most screens read from one window system (across all X screens);
// those announced beyond them are left out. Far above any
// real machine, it bounds what a window system can make the tool keep.
inline constexpr std::size_t maximumScreens = 16384;

// The longest connector name kept; a longer one names no DRM connector.
inline constexpr std::size_t maximumConnectorNameLength = 64;

// One screen as the window system tells it.
struct Screen {
    std::int32_t x = 0;  // geometry in the window system's logical units
    std::int32_t y = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool primary = false;
    // The RandR output id or the wl_output's global name; absent for an X
    // monitor without outputs.
    std::optional<std::uint32_t> displayId;

    bool operator==(const Screen&) const = default;
};

// What the window system tells of the display behind a display id.
struct DisplayFacts {
    std::uint32_t widthMillimetres = 0;  // 0 when unknown
    std::uint32_t heightMillimetres = 0;
    // What the output's EDID identifies, read as soon as the EDID arrives so
    // that its bytes are not kept; empty when the window system gives none.
    std::optional<platform_shared::EdidIdentity> edid;
    // The output's name ("DP-1", "HDMI-A-1", "XWAYLAND0"); empty when unknown.
    // Without an EDID above, the DRM connector of this name supplies one.
    std::string connectorName;

    bool operator==(const DisplayFacts&) const = default;
};

// What one window system told in one complete conversation.
struct Screens {
    std::vector<Screen> list;                        // in the window system's order, the primary marked
    std::map<std::uint32_t, DisplayFacts> displays;  // by display id; an id not here names no display
};

// What asking one window system came to.
struct Answer {
    enum class Status {
        absent,      // nothing there to ask: not named, or nothing accepted the connection
        incomplete,  // something accepted, then no complete answer within the budget
        complete,    // the screens below are the whole answer
    };
    Status status = Status::absent;
    Screens screens;  // empty unless complete

    static Answer absent() { return {}; }
    static Answer incomplete() { return {Status::incomplete, {}}; }
    static Answer complete(Screens screens) { return {Status::complete, std::move(screens)}; }
};

}  // namespace lsscreens::linux_platform
