#include "tests/linux/drm_fixture.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace lsscreens::testing {

DrmFixture::DrmFixture()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lsscreens-drm-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("mkdtemp failed");
    root_ = buffer.data();
}

DrmFixture::~DrmFixture()
{
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void DrmFixture::addConnector(const std::string& name, const std::string& status,
                              std::span<const std::uint8_t> edid)
{
    addFile(name + "/status", status + "\n");
    addFile(name + "/enabled", "disabled\n");  // some drivers always say so
    if (!edid.empty()) {
        std::ofstream out(root_ / name / "edid", std::ios::binary);
        out.write(reinterpret_cast<const char*>(edid.data()), static_cast<std::streamsize>(edid.size()));
    }
}

void DrmFixture::addFile(const std::string& relativePath, const std::string& content)
{
    const auto path = root_ / relativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << content;
}

}  // namespace lsscreens::testing
