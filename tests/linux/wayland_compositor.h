// Real Wayland compositors for the tests, headless with software rendering,
// each on the socket it picks in a private XDG_RUNTIME_DIR. sway refuses to
// run as root, so as root every compositor runs as nobody.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/linux/child_process.h"

namespace lsscreens::testing {

struct Compositor {
    // sway with outputs HEADLESS-1..N set up by config (sway commands, one a
    // line), and XWayland.
    static std::unique_ptr<Compositor> sway(int outputs, const std::string& config);
    // weston with its one headless output, shaped by options ("--scale=2").
    static std::unique_ptr<Compositor> weston(std::vector<std::string> options);

    // Runs a copy of the program as the compositor's user (the only one its
    // XWayland lets in), on sway's XWayland, with no Wayland socket named.
    Finished runThroughXWayland(const std::string& program) const;

    ScratchDirectory runtime;  // XDG_RUNTIME_DIR, removed once the compositor has stopped
    std::unique_ptr<ChildProcess> process;
    std::string socket;    // the socket's path, for WAYLAND_DISPLAY
    std::string xDisplay;  // sway's XWayland (":N")
};

}  // namespace lsscreens::testing
