// Real X servers for the tests, on the display they pick themselves
// (-displayfd), which is DISPLAY for this process and its children while the
// server runs; and the xrandr and xcb calls the tests make on them.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "tests/linux/child_process.h"

namespace lsscreens::testing {

struct XServer {
    // A server and its arguments, with "-displayfd 1" among them.
    explicit XServer(const std::vector<std::string>& argv);
    ~XServer() { unsetenv("DISPLAY"); }
    ChildProcess process;
    std::string display;  // ":N"; empty when the server did not start
};

// Xvfb with one X screen per entry ("1920x1080x24").
std::vector<std::string> xvfb(const std::vector<std::string>& screens);
// Xorg (as root) with the dummy driver: outputs DUMMY0-DUMMY15, DUMMY0 on;
// its log goes to scratch.
std::vector<std::string> xorgDummy(const std::filesystem::path& scratch);

// "xrandr <arguments>" (split at spaces); true on success.
bool xrandr(const std::string& arguments);
// One X screen's output ids by output name, after a probe (so that sizes set
// through properties show).
std::map<std::string, std::uint32_t> outputs(int screen = 0);
// Gives the output an "EDID" property (INTEGER, format 8).
bool setEdid(std::uint32_t output, std::span<const std::uint8_t> edid);

}  // namespace lsscreens::testing
