// A fake /sys/class/drm in a scratch directory.
#pragma once

#include <cstdint>
#include <fstream>
#include <span>
#include <string>

#include "tests/linux/child_process.h"

namespace lsscreens::testing {

struct DrmFixture {
    const std::filesystem::path& root() const { return directory.path; }
    // An entry (normally "card<N>-<connector>") with a status file, an
    // "enabled" file that says "disabled" (as some drivers always do), and an
    // edid file unless edid is empty.
    void addConnector(const std::string& name, const std::string& status, std::span<const std::uint8_t> edid = {})
    {
        std::filesystem::create_directories(root() / name);
        std::ofstream(root() / name / "status") << status << '\n';
        std::ofstream(root() / name / "enabled") << "disabled\n";
        if (!edid.empty())
            std::ofstream(root() / name / "edid", std::ios::binary)
                .write(reinterpret_cast<const char*>(edid.data()), static_cast<std::streamsize>(edid.size()));
    }
    ScratchDirectory directory;
};

}  // namespace lsscreens::testing
