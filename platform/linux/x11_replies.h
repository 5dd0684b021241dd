// Reads the two RandR replies whose contents vary in length, from their bytes
// as received (a 32-byte header, then 4 bytes per unit of its length field).
// No count inside a reply is trusted beyond the bytes the reply really has:
// a reply that claims more monitors, outputs or property bytes than it holds
// gives what it does hold.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lsscreens::linux_platform {

struct Monitor {
    std::int16_t x = 0;  // geometry in pixels
    std::int16_t y = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    bool primary = false;
    std::optional<std::uint32_t> firstOutput;  // absent for a virtual monitor

    bool operator==(const Monitor&) const = default;
};

// RRGetMonitors: every monitor the reply holds completely, in its order.
std::vector<Monitor> monitorsFromReply(std::span<const std::uint8_t> reply);

// RRGetOutputProperty: the property's bytes when its format is 8 bits.
std::vector<std::uint8_t> edidFromPropertyReply(std::span<const std::uint8_t> reply);

}  // namespace lsscreens::linux_platform
