// Control of the Linux platform's per-run state, for tests and benchmarks
// that run the report several times in one process.
#pragma once

#include <filesystem>

namespace lsscreens::linux_platform {

// Where the display registry is read unless a run says otherwise.
inline const std::filesystem::path defaultDrmRoot = "/sys/class/drm";

// Forgets everything read so far (X connection, monitors, outputs, EDIDs)
// and reads the display registry under drmRoot from now on.
void startRun(const std::filesystem::path& drmRoot = defaultDrmRoot);

}  // namespace lsscreens::linux_platform
