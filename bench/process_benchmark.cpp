// The whole lsscreens process against `xrandr --listmonitors`, on the same X
// server (Xorg with the dummy driver) with 4 monitors that carry real EDIDs.
// The two commands run alternately, so that both see the same machine load.
// Wall time is measured around a direct spawn and wait. Peak resident memory
// comes from separate runs under GNU time (%M): a child's ru_maxrss also holds
// the high-water mark of the process that spawned it (Linux carries it across
// exec), so it is taken under time, whose own peak (about 0.5 MiB) is below
// both commands'.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/linux/edid_samples.h"
#include "tests/linux/x_server.h"

extern char** environ;

namespace {

// Runs the command with stdout to /dev/null; returns its wall time in ms.
double runOnce(std::vector<std::string> command)
{
    std::vector<char*> argv = lsscreens::testing::argvOf(command);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The command's peak resident set in KiB, as GNU time reports it.
long peakRssKilobytes(const std::vector<std::string>& command, const std::string& report)
{
    std::vector<std::string> timed{"/usr/bin/time", "-f", "%M", "-o", report};
    timed.insert(timed.end(), command.begin(), command.end());
    runOnce(timed);
    long kilobytes = 0;
    if (FILE* in = std::fopen(report.c_str(), "r")) {
        if (std::fscanf(in, "%ld", &kilobytes) != 1)
            kilobytes = 0;
        std::fclose(in);
    }
    return kilobytes;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LSSCREENS [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string lsscreens = argv[1];
    const int runs = argc > 2 ? std::stoi(argv[2]) : 300;

    using lsscreens::testing::XServer;
    auto server = XServer::xorgDummy();
    if (!server) {
        std::fprintf(stderr, "Xorg with the dummy driver cannot be started here (it needs root)\n");
        return 77;
    }
    const char* samples[] = {"DEL_A056_001.bin", "PHL_C278_002.bin", "SAM_707F_003.bin", "LEN_65E0_004.bin"};
    const char* modes[] = {"2048x1536", "1920x1080", "1600x1200", "1280x1024"};
    for (int i = 0; i < 4; ++i) {
        const std::string output = "DUMMY" + std::to_string(i);
        if (i > 0) {
            server->xrandr("--addmode " + output + " " + modes[i]);
            server->xrandr("--output " + output + " --mode " + modes[i] + " --right-of DUMMY" + std::to_string(i - 1));
        }
        server->xrandr("--output " + output + " --set WIDTH_MM 600 --set HEIGHT_MM 340");
        server->setEdid(server->outputId(output), lsscreens::testing::edidSample(samples[i]).bytes);
    }

    const std::vector<std::string> ours{lsscreens};
    const std::vector<std::string> theirs{"xrandr", "--listmonitors"};
    const std::string report = "/tmp/lsscreens-benchmark-rss-" + std::to_string(getpid());
    std::vector<double> oursMs, xrandrMs;
    long oursRss = 0, xrandrRss = 0;
    for (int i = 0; i < runs; ++i) {
        oursMs.push_back(runOnce(ours));
        xrandrMs.push_back(runOnce(theirs));
        if (i % 10 == 0) {
            oursRss = std::max(oursRss, peakRssKilobytes(ours, report));
            xrandrRss = std::max(xrandrRss, peakRssKilobytes(theirs, report));
        }
    }
    std::remove(report.c_str());
    const double oursMedian = percentile(oursMs, 0.5);
    const double xrandrMedian = percentile(xrandrMs, 0.5);
    std::printf("%d runs each, alternating, 4 monitors with EDIDs (Xorg, dummy driver)\n", runs);
    std::printf("%-24s %10s %10s %14s\n", "command", "median ms", "p90 ms", "peak RSS KiB");
    std::printf("%-24s %10.3f %10.3f %14ld\n", "lsscreens", oursMedian, percentile(oursMs, 0.9), oursRss);
    std::printf("%-24s %10.3f %10.3f %14ld\n", "xrandr --listmonitors", xrandrMedian,
                percentile(xrandrMs, 0.9), xrandrRss);
    std::printf("median time ratio lsscreens/xrandr: %.3f (target <= 1.2)\n", oursMedian / xrandrMedian);
    std::printf("peak RSS ratio lsscreens/xrandr:    %.3f (target <= 1.0)\n",
                static_cast<double>(oursRss) / static_cast<double>(xrandrRss));
    return 0;
}
