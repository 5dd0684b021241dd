// The whole lsscreens process against a bare program doing the same X
// requests and sysfs reads (bare_screens.c, plain C), and against `xrandr
// --listmonitors`, on the same X server: Xorg with the dummy driver, 3
// monitors that carry real EDIDs, and a display registry of CONNECTORS
// connected connectors (64 unless told), the monitors' own on the last three,
// so that every EDID is read. The registry is a fixture mounted over
// /sys/class/drm in a mount namespace of the benchmark's own (so it needs
// root, as Xorg does). The commands run alternately, so that all see the same
// machine load; see process_timing.h for how time and memory are taken.
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/process_timing.h"
#include "tests/linux/edid_samples.h"
#include "tests/linux/harness.h"

namespace {

using lsscreens::bench::peakRssKilobytes;
using lsscreens::bench::percentile;
using lsscreens::bench::runOnce;

// Mounts the fixture over /sys/class/drm for this process and its children
// only: a new mount namespace, a tmpfs over /sys/class (which may have no
// drm folder), and the fixture bound there.
bool mountRegistry(const std::filesystem::path& fixture)
{
    return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount("none", "/sys/class", "tmpfs", 0, nullptr) == 0 && mkdir("/sys/class/drm", 0755) == 0 &&
           mount(fixture.c_str(), "/sys/class/drm", nullptr, MS_BIND, nullptr) == 0;
}

struct Measured {
    std::string label;
    std::vector<std::string> command;
    std::vector<double> milliseconds;
    long peakRss = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || geteuid() != 0) {
        std::fprintf(stderr, "usage (as root): %s LSSCREENS [RUNS [CONNECTORS]]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::stoi(argv[2]) : 300;
    const int connectors = std::max(3, argc > 3 ? std::stoi(argv[3]) : 64);

    using namespace lsscreens::testing;
    const ScratchDirectory scratch;
    const XServer server(xorgDummy(scratch.path));
    const char* monitors[] = {"DEL_A056_001.bin", "PHL_C278_002.bin", "SAM_707F_003.bin"};
    const char* modes[] = {"2048x1536", "1920x1080", "1600x1200"};
    for (int i = 0; i < 3; ++i) {
        const std::string output = "DUMMY" + std::to_string(i);
        if (i > 0) {
            xrandr("--addmode " + output + " " + modes[i]);
            xrandr("--output " + output + " --mode " + modes[i] + " --right-of DUMMY" + std::to_string(i - 1));
        }
        xrandr("--output " + output + " --set WIDTH_MM 600 --set HEIGHT_MM 340");
        setEdid(outputs().at(output), edidSample(monitors[i]).bytes);
    }
    DrmFixture registry;
    for (int i = 0; i < connectors; ++i) {
        const int monitor = i - (connectors - 3);
        // Others' EDIDs: samples from the fourth on, none of them one of the monitors'.
        const auto& others = edidSamples();
        const auto& edid = monitor >= 0 ? edidSample(monitors[monitor]).bytes
                                        : others[3 + static_cast<std::size_t>(i) % (others.size() - 3)].bytes;
        registry.addConnector("card0-DP-" + std::to_string(i + 1), "connected", edid);
    }
    if (!mountRegistry(registry.root())) {
        std::perror("cannot mount the registry over /sys/class/drm");
        return 1;
    }
    const Finished ours = run({argv[1]});
    const Finished bare = run({LSSCREENS_BARE_SCREENS});
    if (ours.out != bare.out || ours.out.find("\"name\"") == std::string::npos) {
        std::fprintf(stderr, "lsscreens and the bare program disagree:\n%s%s", ours.out.c_str(), bare.out.c_str());
        return 1;
    }

    std::vector<Measured> commands{{"lsscreens", {argv[1]}, {}},
                                   {"bare program", {LSSCREENS_BARE_SCREENS}, {}},
                                   {"xrandr --listmonitors", {"xrandr", "--listmonitors"}, {}}};
    for (int i = 0; i < runs; ++i)
        for (auto& command : commands) {
            command.milliseconds.push_back(runOnce(command.command));
            if (i % 10 == 0)
                command.peakRss = std::max(command.peakRss, peakRssKilobytes(command.command));
        }
    std::printf("%d runs each, alternating; Xorg (dummy driver), 3 monitors with EDIDs, %d connected connectors\n",
                runs, connectors);
    std::printf("%-24s %10s %10s %14s\n", "command", "median ms", "p90 ms", "peak RSS KiB");
    for (const auto& command : commands)
        std::printf("%-24s %10.3f %10.3f %14ld\n", command.label.c_str(), percentile(command.milliseconds, 0.5),
                    percentile(command.milliseconds, 0.9), command.peakRss);
    const double median = percentile(commands[0].milliseconds, 0.5);
    std::printf("median time lsscreens/bare:   %.3f (target <= 1.10)\n",
                median / percentile(commands[1].milliseconds, 0.5));
    std::printf("median time lsscreens/xrandr: %.3f (target <= 1.2)\n",
                median / percentile(commands[2].milliseconds, 0.5));
    std::printf("peak RSS lsscreens/xrandr:    %.3f (target <= 1.0)\n",
                static_cast<double>(commands[0].peakRss) / static_cast<double>(commands[2].peakRss));
    return 0;
}
