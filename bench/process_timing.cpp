#include "bench/process_timing.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace lsscreens::bench {

double runOnce(std::vector<std::string> command)
{
    std::vector<char*> argv;
    for (auto& argument : command)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
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

long peakRssKilobytes(const std::vector<std::string>& command)
{
    const std::string report = "/tmp/lsscreens-benchmark-rss-" + std::to_string(getpid());
    std::vector<std::string> timed{"/usr/bin/time", "-f", "%M", "-o", report};
    timed.insert(timed.end(), command.begin(), command.end());
    runOnce(timed);
    long kilobytes = 0;
    if (FILE* in = std::fopen(report.c_str(), "r")) {
        if (std::fscanf(in, "%ld", &kilobytes) != 1)
            kilobytes = 0;
        std::fclose(in);
    }
    std::remove(report.c_str());
    return kilobytes;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

void compareAlternately(const std::string& setting, int runs, const std::string& lsscreens,
                        const std::string& otherName, const std::vector<std::string>& other, const char* timeTarget,
                        const char* memoryTarget)
{
    const std::vector<std::string> ours{lsscreens};
    std::vector<double> oursMs, otherMs;
    long oursRss = 0, otherRss = 0;
    for (int i = 0; i < runs; ++i) {
        oursMs.push_back(runOnce(ours));
        otherMs.push_back(runOnce(other));
        if (i % 10 == 0) {
            oursRss = std::max(oursRss, peakRssKilobytes(ours));
            otherRss = std::max(otherRss, peakRssKilobytes(other));
        }
    }
    const double oursMedian = percentile(oursMs, 0.5);
    const double otherMedian = percentile(otherMs, 0.5);
    const int width = static_cast<int>(std::max<std::size_t>(otherName.size(), 9));
    std::printf("%d runs each, alternating, %s\n", runs, setting.c_str());
    std::printf("%-*s %10s %10s %14s\n", width, "command", "median ms", "p90 ms", "peak RSS KiB");
    std::printf("%-*s %10.3f %10.3f %14ld\n", width, "lsscreens", oursMedian, percentile(oursMs, 0.9), oursRss);
    std::printf("%-*s %10.3f %10.3f %14ld\n", width, otherName.c_str(), otherMedian, percentile(otherMs, 0.9),
                otherRss);
    std::printf("median time ratio lsscreens/%s: %.3f (target %s)\n", otherName.c_str(), oursMedian / otherMedian,
                timeTarget);
    std::printf("peak RSS ratio lsscreens/%s:    %.3f (target %s)\n", otherName.c_str(),
                static_cast<double>(oursRss) / static_cast<double>(otherRss), memoryTarget);
}

}  // namespace lsscreens::bench
