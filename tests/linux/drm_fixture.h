// A fake /sys/class/drm in a temporary directory, removed when it goes out of
// scope.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace lsscreens::testing {

class DrmFixture {
public:
    DrmFixture();
    ~DrmFixture();
    DrmFixture(const DrmFixture&) = delete;
    DrmFixture& operator=(const DrmFixture&) = delete;

    const std::filesystem::path& root() const { return root_; }

    // A connector directory with a status file ("connected", "disconnected")
    // and, unless edid is empty, an edid file.
    void addConnector(const std::string& name, const std::string& status,
                      std::span<const std::uint8_t> edid = {});
    // Any other file or directory sysfs has there.
    void addFile(const std::string& relativePath, const std::string& content);

private:
    std::filesystem::path root_;
};

}  // namespace lsscreens::testing
