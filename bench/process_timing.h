// Timing whole processes for the process benchmarks: wall time around a
// direct spawn and wait, and peak resident memory from GNU time (%M). A
// child's ru_maxrss also holds the high-water mark of the process that
// spawned it (Linux carries it across exec), so memory is taken in separate
// runs under time, whose own peak is below the commands'.
#pragma once

#include <string>
#include <vector>

namespace lsscreens::bench {

// Runs the command with stdout to /dev/null; returns its wall time in ms.
// Exits the benchmark if the command cannot run or fails.
double runOnce(std::vector<std::string> command);

// The command's peak resident set in KiB, as GNU time reports it.
long peakRssKilobytes(const std::vector<std::string>& command);

// The p-quantile (0..1) of values, nearest rank below.
double percentile(std::vector<double> values, double p);

// Runs lsscreens and another command alternately, runs times each (memory
// every tenth run), and prints a table of both and the ratios against the
// other command with their targets.
void compareAlternately(const std::string& setting, int runs, const std::string& lsscreens,
                        const std::string& otherName, const std::vector<std::string>& other, const char* timeTarget,
                        const char* memoryTarget);

}  // namespace lsscreens::bench
