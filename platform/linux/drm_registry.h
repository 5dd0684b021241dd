// The display registry on Linux: one entry per connected DRM connector under
// a sysfs root (normally /sys/class/drm), each identified by its EDID.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lsscreens::linux_platform {

class DrmRegistry {
public:
    explicit DrmRegistry(std::filesystem::path root) : root_(std::move(root)) {}

    // The connected connectors ("card*-*" entries whose status reads
    // "connected"), by card number, then connector name with numbers compared
    // as numbers. Scanned once, on first use.
    std::size_t connectorCount();
    const std::string& connectorName(std::size_t index);

    // The connector's EDID bytes, read from disk at most once; empty when the
    // file is missing or unreadable.
    std::span<const std::uint8_t> edid(std::size_t index);

private:
    struct Connector {
        std::string name;  // e.g. "card0-DP-1"
        std::optional<std::vector<std::uint8_t>> edid;  // absent until read
    };
    void scan();

    std::filesystem::path root_;
    std::optional<std::vector<Connector>> connectors_;
};

}  // namespace lsscreens::linux_platform
