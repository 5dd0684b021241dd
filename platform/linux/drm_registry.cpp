#include "platform/linux/drm_registry.h"

#include "platform/linux/descriptor.h"
#include "platform/shared/edid.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>

namespace lsscreens::linux_platform {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isConnectorEntry(std::string_view name)
{
    if (!name.starts_with("card"))
        return false;
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || dash == 4 || dash + 1 == name.size())
        return false;
    return std::all_of(name.begin() + 4, name.begin() + static_cast<std::ptrdiff_t>(dash), isDigit);
}

// The key entries sort by, byte by byte: each run of digits becomes '0', the
// count of its significant digits and those digits, so that numbers compare
// as numbers ("card0-DP-2" before "card0-DP-10", "card2-" before "card10-")
// and against any other character as a digit does.
std::string sortKey(std::string_view name)
{
    std::string key;
    for (std::size_t i = 0; i < name.size();) {
        if (!isDigit(name[i])) {
            key += name[i++];
            continue;
        }
        while (i < name.size() && name[i] == '0') ++i;
        std::size_t end = i;
        while (end < name.size() && isDigit(name[end])) ++end;
        key += '0';
        key += static_cast<char>(std::min<std::size_t>(end - i, 255));
        key.append(name.substr(i, end - i));
        i = end;
    }
    return key;
}

// Reads at most limit bytes of a file below the directory; empty when it
// cannot be read. Plain read(2) in chunks: sysfs files report no useful size,
// so none is asked for, and most EDIDs (128 to 512 bytes) take one read into a
// buffer of exactly their size. A short read is the end of the file, as it is
// for sysfs attributes and regular files.
std::vector<std::uint8_t> readFile(int directory, const std::string& path, std::size_t limit)
{
    std::vector<std::uint8_t> bytes;
    const Descriptor file(openat(directory, path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return bytes;
    std::uint8_t chunk[512];
    while (bytes.size() < limit) {
        const std::size_t wanted = std::min(sizeof chunk, limit - bytes.size());
        const ssize_t got = read(file.get(), chunk, wanted);
        if (got <= 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (static_cast<std::size_t>(got) < wanted)
            break;
    }
    return bytes;
}

// A connector's status attribute reads "connected" and a line feed when it is.
bool isConnected(int directory, const std::string& connector)
{
    const std::vector<std::uint8_t> bytes = readFile(directory, connector + "/status", 16);
    const std::string_view status(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return status.substr(0, status.find('\n')) == "connected";
}

}  // namespace

void DrmRegistry::CloseDirectory::operator()(DIR* directory) const
{
    closedir(directory);
}

void DrmRegistry::scan()
{
    entries_.emplace();
    // An unreadable root is an empty registry.
    directory_.reset(opendir(root_.c_str()));
    if (!directory_)
        return;
    while (const dirent* entry = readdir(directory_.get())) {
        std::string name = entry->d_name;
        // "enabled" is not trusted: some drivers always report "disabled".
        if (isConnectorEntry(name)) {
            const bool connected = isConnected(dirfd(directory_.get()), name);
            std::string key = sortKey(name);
            entries_->push_back({std::move(name), std::move(key), connected, std::nullopt});
        }
    }
    std::sort(entries_->begin(), entries_->end(),
              [](const Connector& a, const Connector& b) { return a.sortKey < b.sortKey; });
    for (std::size_t i = 0; i < entries_->size(); ++i)
        if ((*entries_)[i].connected)
            connected_.push_back(i);
}

std::span<const std::uint8_t> DrmRegistry::edidOf(Connector& connector)
{
    if (!connector.edid)
        connector.edid = readFile(dirfd(directory_.get()), connector.name + "/edid", platform_shared::maximumEdidSize);
    return *connector.edid;
}

std::size_t DrmRegistry::connectorCount()
{
    if (!entries_)
        scan();
    return connected_.size();
}

const std::string& DrmRegistry::connectorName(std::size_t index)
{
    connectorCount();
    return entries_->at(connected_.at(index)).name;
}

std::span<const std::uint8_t> DrmRegistry::edid(std::size_t index)
{
    connectorCount();
    return edidOf(entries_->at(connected_.at(index)));
}

std::span<const std::uint8_t> DrmRegistry::edidOfConnector(std::string_view connectorName)
{
    if (connectorName.empty())
        return {};
    connectorCount();
    // "HDMI-1" is how some compositors write the kernel's "HDMI-A-1".
    std::string kernelSpelling;
    const std::string_view number = connectorName.substr(std::min<std::size_t>(5, connectorName.size()));
    if (connectorName.starts_with("HDMI-") && !number.empty() &&
        std::all_of(number.begin(), number.end(), isDigit))
        kernelSpelling = "HDMI-A-" + std::string(number);
    for (Connector& connector : *entries_) {
        const std::string_view name = std::string_view(connector.name).substr(connector.name.find('-') + 1);
        if (name != connectorName && name != kernelSpelling)
            continue;
        if (const auto bytes = edidOf(connector); !bytes.empty())
            return bytes;
    }
    return {};
}

}  // namespace lsscreens::linux_platform
