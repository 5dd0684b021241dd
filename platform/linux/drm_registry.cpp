#include "platform/linux/drm_registry.h"

#include "platform/linux/edid.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <system_error>

namespace lsscreens::linux_platform {

namespace {

bool isConnectorEntry(std::string_view name)
{
    if (!name.starts_with("card"))
        return false;
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || dash == 4 || dash + 1 == name.size())
        return false;
    return std::all_of(name.begin() + 4, name.begin() + static_cast<std::ptrdiff_t>(dash),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// "card0-DP-2" before "card0-DP-10", "card2-..." before "card10-...".
bool naturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitA = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool digitB = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (digitA && digitB) {
            const std::size_t startA = i;
            const std::size_t startB = j;
            while (i < a.size() && std::isdigit(static_cast<unsigned char>(a[i]))) ++i;
            while (j < b.size() && std::isdigit(static_cast<unsigned char>(b[j]))) ++j;
            std::string_view numberA = a.substr(startA, i - startA);
            std::string_view numberB = b.substr(startB, j - startB);
            numberA.remove_prefix(std::min(numberA.find_first_not_of('0'), numberA.size()));
            numberB.remove_prefix(std::min(numberB.find_first_not_of('0'), numberB.size()));
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (numberA != numberB)
                return numberA < numberB;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

// Reads at most limit bytes of a file; empty when it cannot be read. C stdio
// rather than iostreams: the tool starts faster without the locale machinery.
std::vector<std::uint8_t> readFile(const std::filesystem::path& file, std::size_t limit)
{
    std::vector<std::uint8_t> bytes;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in)
        return bytes;
    bytes.resize(limit);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in));
    std::fclose(in);
    return bytes;
}

// sysfs attributes are small text files; only the first line matters.
std::string firstLine(const std::filesystem::path& file)
{
    const std::vector<std::uint8_t> bytes = readFile(file, 64);
    const auto end = std::find(bytes.begin(), bytes.end(), '\n');
    return {bytes.begin(), end};
}

}  // namespace

void DrmRegistry::scan()
{
    entries_.emplace();
    // The error_code forms never throw: an unreadable root is an empty registry.
    std::error_code error;
    for (std::filesystem::directory_iterator entry(root_, error), end; !error && entry != end;
         entry.increment(error)) {
        std::string name = entry->path().filename().string();
        // "enabled" is not trusted: some drivers always report "disabled".
        if (isConnectorEntry(name))
            entries_->push_back({std::move(name), firstLine(entry->path() / "status") == "connected",
                                 std::nullopt});
    }
    std::sort(entries_->begin(), entries_->end(),
              [](const Connector& a, const Connector& b) { return naturalLess(a.name, b.name); });
    for (std::size_t i = 0; i < entries_->size(); ++i)
        if ((*entries_)[i].connected)
            connected_.push_back(i);
}

std::span<const std::uint8_t> DrmRegistry::edidOf(Connector& connector)
{
    if (!connector.edid)
        connector.edid = readFile(root_ / connector.name / "edid", maximumEdidSize);
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
        std::all_of(number.begin(), number.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
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
