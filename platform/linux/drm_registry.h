// The display registry on Linux: one entry per connected DRM connector under
// a sysfs root (normally /sys/class/drm), each identified by its EDID. It
// also finds a connector's EDID by the connector's name, for window systems
// that name their outputs but do not hand out EDIDs.
#pragma once

#include <dirent.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lsscreens::linux_platform {

class DrmRegistry {
public:
    explicit DrmRegistry(std::string root) : root_(std::move(root)) {}

    // The connected connectors ("card*-*" entries whose status reads
    // "connected"), by card number, then connector name with numbers compared
    // as numbers. Scanned once, on first use.
    std::size_t connectorCount();
    const std::string& connectorName(std::size_t index);

    // The connector's EDID bytes, read from disk at most once; empty when the
    // file is missing or unreadable.
    std::span<const std::uint8_t> edid(std::size_t index);

    // The EDID of the connector entry "card*-<connectorName>": the first in
    // card order whose edid file is not empty, whatever its status (a window
    // system names only the outputs it drives, and a connector whose status
    // file lags behind still has its EDID). A window system's "HDMI-<n>"
    // also matches the kernel's "HDMI-A-<n>" (HDMI-B connectors are spelt
    // alike everywhere). Empty when there is none. Shares the once-per-run
    // reads of edid().
    std::span<const std::uint8_t> edidOfConnector(std::string_view connectorName);

private:
    struct Connector {
        std::string name;  // e.g. "card0-DP-1"
        std::string sortKey;
        bool connected = false;
        std::optional<std::vector<std::uint8_t>> edid;  // absent until read
    };
    void scan();
    std::span<const std::uint8_t> edidOf(Connector& connector);

    struct CloseDirectory {
        void operator()(DIR* directory) const;
    };
    std::string root_;
    // Open from the scan on: files are read relative to it.
    std::unique_ptr<DIR, CloseDirectory> directory_;
    // Every connector entry, in the order described above; the connected
    // ones are also listed by position.
    std::optional<std::vector<Connector>> entries_;
    std::vector<std::size_t> connected_;
};

}  // namespace lsscreens::linux_platform
