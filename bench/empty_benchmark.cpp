// The whole lsscreens process where there is no window system to ask (no
// DISPLAY, WAYLAND_DISPLAY, WAYLAND_SOCKET or XDG_RUNTIME_DIR) against an
// empty C program that prints the same "[]" (empty_screens.c): what starting
// the tool costs beyond starting a process. Run alternately, so that both see
// the same machine load; see process_timing.h for how time and memory are
// taken. Needs no root and no window system.
#include <algorithm>
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

    const std::vector<std::string> ours{argv[1]};
    const std::vector<std::string> floor{LSSCREENS_EMPTY_SCREENS};
    std::vector<double> oursMs, floorMs;
    long oursRss = 0, floorRss = 0;
    for (int i = 0; i < runs; ++i) {
        oursMs.push_back(runOnce(ours));
        floorMs.push_back(runOnce(floor));
        if (i % 10 == 0) {
            oursRss = std::max(oursRss, peakRssKilobytes(ours));
            floorRss = std::max(floorRss, peakRssKilobytes(floor));
        }
    }
    const double oursMedian = percentile(oursMs, 0.5);
    const double floorMedian = percentile(floorMs, 0.5);
    std::printf("%d runs each, alternating, no window system\n", runs);
    std::printf("%-16s %10s %10s %14s\n", "command", "median ms", "p90 ms", "peak RSS KiB");
    std::printf("%-16s %10.3f %10.3f %14ld\n", "lsscreens", oursMedian, percentile(oursMs, 0.9), oursRss);
    std::printf("%-16s %10.3f %10.3f %14ld\n", "empty C program", floorMedian, percentile(floorMs, 0.9), floorRss);
    std::printf("median time ratio lsscreens/empty: %.3f (target <= 1.15)\n", oursMedian / floorMedian);
    std::printf("peak RSS ratio lsscreens/empty:    %.3f\n",
                static_cast<double>(oursRss) / static_cast<double>(floorRss));
    return 0;
}
