// Reads the X server's messages whose contents vary in length, from their
// bytes as received: the connection setup (8 bytes, then 4 per unit of its
// length field) and the RandR replies (32 bytes, then 4 per unit). No count
// inside is trusted beyond the bytes really there: a reply that claims more
// monitors, outputs, name or property bytes than it holds gives what it does
// hold; a setup that claims more than it holds gives nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/linux/screens.h"
#include "platform/shared/edid.h"

namespace lsscreens::linux_platform {

// An X screen's root window and its size in pixels.
struct Root {
    std::uint32_t window = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;

    bool operator==(const Root&) const = default;
};

// The setup's roots in its order: after the vendor (padded to 4) and the
// pixmap formats (8 bytes each), each root (40 bytes) with its depths (8
// bytes each, then 24 per visual). Absent when any count runs past the end.
std::optional<std::vector<Root>> rootsFromSetup(std::span<const std::uint8_t> setup);

// RRGetMonitors: every monitor the reply holds completely, in its order, at
// most limit of them.
std::vector<Screen> screensFromMonitorsReply(std::span<const std::uint8_t> reply, std::size_t limit);

// RRGetOutputInfo: the physical size and the output's name (no EDID). A size
// with the top bit set is a compositor's negative value carried unsigned: it
// reads as 0, unknown. A name longer than a connector's is left out. Absent
// when the reply is shorter than its header.
std::optional<DisplayFacts> displayFromOutputInfoReply(std::span<const std::uint8_t> reply);

// RRGetOutputProperty: what the property's bytes identify, when its format
// is 8 bits and it has any; read at once, so that only the identity is kept.
std::optional<platform_shared::EdidIdentity> edidIdentityFromPropertyReply(std::span<const std::uint8_t> reply);

// RandR gives an output's physical size as the panel is built, and its
// monitor turned with the output: a size whose orientation is not the
// monitor's is swapped, so that pixels over millimetres is one density. A
// size with a side of 0 (unknown) and a square monitor are left as they are.
void turnWithScreen(DisplayFacts& display, const Screen& screen);

}  // namespace lsscreens::linux_platform
