// The whole lsscreens process where there is no window system to ask (no
// DISPLAY, WAYLAND_DISPLAY, WAYLAND_SOCKET or XDG_RUNTIME_DIR) against an
// empty C program that prints the same "[]" (empty_screens.c): what starting
// the tool costs beyond starting a process. Run alternately, so that both see
// the same machine load; see process_timing.h for how time and memory are
// taken. Needs no root and no window system.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/process_timing.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LSSCREENS [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::stoi(argv[2]) : 1000;
    using namespace lsscreens::bench;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "XDG_RUNTIME_DIR"})
        unsetenv(variable);

    compareAlternately("no window system", runs, argv[1], "empty C program", {LSSCREENS_EMPTY_SCREENS},
                       "<= 1.1", "none");
    return 0;
}
