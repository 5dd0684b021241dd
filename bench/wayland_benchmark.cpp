// The whole lsscreens process against wlr-randr on the same headless sway
// with 3 outputs (one scaled, one turned). The two commands run alternately,
// so that both see the same machine load; see process_timing.h for how time
// and memory are taken.
#include <algorithm>
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

    const std::vector<std::string> ours{argv[1]};
    const std::vector<std::string> theirs{"wlr-randr"};
    std::vector<double> oursMs, theirsMs;
    long oursRss = 0, theirsRss = 0;
    for (int i = 0; i < runs; ++i) {
        oursMs.push_back(runOnce(ours));
        theirsMs.push_back(runOnce(theirs));
        if (i % 10 == 0) {
            oursRss = std::max(oursRss, peakRssKilobytes(ours));
            theirsRss = std::max(theirsRss, peakRssKilobytes(theirs));
        }
    }
    const double oursMedian = percentile(oursMs, 0.5);
    const double theirsMedian = percentile(theirsMs, 0.5);
    std::printf("%d runs each, alternating, headless sway with 3 outputs\n", runs);
    std::printf("%-12s %10s %10s %14s\n", "command", "median ms", "p90 ms", "peak RSS KiB");
    std::printf("%-12s %10.3f %10.3f %14ld\n", "lsscreens", oursMedian, percentile(oursMs, 0.9), oursRss);
    std::printf("%-12s %10.3f %10.3f %14ld\n", "wlr-randr", theirsMedian, percentile(theirsMs, 0.9), theirsRss);
    std::printf("median time ratio lsscreens/wlr-randr: %.3f (target <= 1.0)\n", oursMedian / theirsMedian);
    std::printf("peak RSS ratio lsscreens/wlr-randr:    %.3f (target <= 1.3)\n",
                static_cast<double>(oursRss) / static_cast<double>(theirsRss));
    return 0;
}
