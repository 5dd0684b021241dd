// The whole lsscreens process against wlr-randr on the same headless sway
// with 3 outputs (one scaled, one turned). The two commands run alternately,
// so that both see the same machine load; see process_timing.h for how time
// and memory are taken.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/process_timing.h"
#include "tests/linux/harness.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LSSCREENS [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::stoi(argv[2]) : 300;
    using namespace lsscreens::bench;

    const auto sway = lsscreens::testing::Compositor::sway(3, "output HEADLESS-1 mode 2560x1440 scale 2\n"
                                                              "output HEADLESS-2 mode 1920x1080\n"
                                                              "output HEADLESS-3 mode 1920x1200 transform 90");
    if (!sway) {
        std::fprintf(stderr, "sway cannot be started here\n");
        return 77;
    }
    setenv("WAYLAND_DISPLAY", sway->socket.c_str(), 1);
    unsetenv("DISPLAY");

    compareAlternately("headless sway with 3 outputs", runs, argv[1], "wlr-randr", {"wlr-randr"}, "<= 1.0",
                       "<= 1.1");
    return 0;
}
