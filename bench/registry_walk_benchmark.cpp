// The display registry walk at 1, 16 and 64 connectors. The display id names
// no output (there is no X server), so no connector matches and every one is
// examined: the walk's worst case. "Cold" starts a new run each time (sysfs
// scanned, every EDID read from disk and parsed); "warm" reuses one run, so
// the EDIDs are already in memory and only the dictionaries are built.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "display/display_service_lookup.h"
#include "platform/linux/linux_platform.h"
#include "tests/linux/harness.h"
#include "tests/linux/edid_samples.h"

namespace lsscreens::testing {
namespace {

void fillRegistry(DrmFixture& sysfs, std::int64_t connectors)
{
    const auto& samples = edidSamples();
    for (std::int64_t i = 0; i < connectors; ++i)
        sysfs.addConnector("card0-DP-" + std::to_string(i + 1), "connected",
                           samples[static_cast<std::size_t>(i) % samples.size()].bytes);
}

void RegistryWalkCold(benchmark::State& state)
{
    unsetenv("DISPLAY");
    DrmFixture sysfs;
    fillRegistry(sysfs, state.range(0));
    for (auto _ : state) {
        linux_platform::startRun(sysfs.root());
        const ScopedIOObject service = getIOService(1);
        benchmark::DoNotOptimize(service.get());
    }
    state.SetComplexityN(state.range(0));
}

void RegistryWalkWarm(benchmark::State& state)
{
    unsetenv("DISPLAY");
    DrmFixture sysfs;
    fillRegistry(sysfs, state.range(0));
    linux_platform::startRun(sysfs.root());
    for (auto _ : state) {
        const ScopedIOObject service = getIOService(1);
        benchmark::DoNotOptimize(service.get());
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(RegistryWalkCold)->Arg(1)->Arg(16)->Arg(64)->Complexity(benchmark::oN);
BENCHMARK(RegistryWalkWarm)->Arg(1)->Arg(16)->Arg(64)->Complexity(benchmark::oN);

}  // namespace
}  // namespace lsscreens::testing

BENCHMARK_MAIN();
