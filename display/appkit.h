// The window system's screens, as the core reads them. NSScreen is declared
// here once: the platform defines screens(), frame() and deviceDescription();
// the screen description (screen_description.cpp) defines screenInfos() and
// getDeviceName(), which are the tool's own operations on a screen.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "display/platform_value.h"

namespace lsscreens {

// The record screenInfos() returns, defined with the report (report/screen_info.h):
// the platforms, which include this header, never need it.
struct ScreenInfo;

struct NSPoint {
    double x = 0;
    double y = 0;
};

struct NSSize {
    double width = 0;
    double height = 0;
};

// Origin and size in the window system's points.
struct NSRect {
    NSPoint origin;
    NSSize size;
};

class NSScreen {
public:
    // platformIndex names the screen to the platform that made it; the core
    // never interprets it.
    explicit NSScreen(std::size_t platformIndex) : platformIndex_(platformIndex) {}

    // The window system's current screens, primary first; possibly empty.
    static std::vector<NSScreen> screens();
    // Whether screens() is a window system's complete answer, or there was
    // no window system to ask. False when one was there (it accepted the
    // connection) but gave no complete answer and no other answered: the
    // list is then empty, and the run must not pass for a machine without
    // screens.
    static bool screensComplete();

    NSRect frame() const;
    // A copy of the screen's device description, read afresh on every call.
    Dictionary deviceDescription() const;

    // One finished record for this screen; never fails.
    ScreenInfo screenInfos() const;
    // The product name of the display behind this screen, or absent.
    std::optional<std::string> getDeviceName() const;

    std::size_t platformIndex() const { return platformIndex_; }

private:
    std::size_t platformIndex_;
};

}  // namespace lsscreens
