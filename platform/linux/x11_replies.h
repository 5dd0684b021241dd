// Reads the RandR replies whose contents vary in length, from their bytes as
// received (a 32-byte header, then 4 bytes per unit of its length field).
// No count inside a reply is trusted beyond the bytes the reply really has:
// a reply that claims more monitors, outputs, name or property bytes than it
// holds gives what it does hold.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/linux/screens.h"

namespace lsscreens::linux_platform {

// RRGetMonitors: every monitor the reply holds completely, in its order.
std::vector<Monitor> monitorsFromReply(std::span<const std::uint8_t> reply);

// RRGetOutputInfo: the physical size and the output's name (no EDID). A size
// with the top bit set is a compositor's negative value carried unsigned: it
// reads as 0, unknown. Absent when the reply is shorter than its header.
std::optional<OutputFacts> outputFromInfoReply(std::span<const std::uint8_t> reply);

// RRGetOutputProperty: the property's bytes when its format is 8 bits.
std::vector<std::uint8_t> edidFromPropertyReply(std::span<const std::uint8_t> reply);

}  // namespace lsscreens::linux_platform
