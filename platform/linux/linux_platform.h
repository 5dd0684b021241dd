// Control of the Linux platform's per-run state, for tests and benchmarks
// that run the report several times in one process.
#pragma once

#include <string>

namespace lsscreens::linux_platform {

// Where the display registry is read unless a run says otherwise. Plain
// strings rather than std::filesystem paths: those would link a good part of
// the C++ library's locale machinery into the tool, and its start-up cost.
inline constexpr const char* defaultDrmRoot = "/sys/class/drm";

// Forgets everything read so far (X connection, monitors, outputs, EDIDs)
// and reads the display registry under drmRoot from now on.
void startRun(const std::string& drmRoot = defaultDrmRoot);

}  // namespace lsscreens::linux_platform
