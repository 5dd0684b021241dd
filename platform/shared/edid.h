// Reads what the display registry and the display numbers need from an EDID:
// manufacturer id, product code, serial number and product name. Shared by
// the platforms whose registry is built from EDIDs. Any byte
// string is accepted (empty, truncated, oversized, bad checksums, lying
// extension counts): what can be read from the base block is read, nothing is
// read out of bounds, and the rest is left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "display/platform_value.h"

namespace lsscreens::platform_shared {

// The platform's conventions for a display it cannot identify.
inline constexpr std::uint32_t unknownVendor = 0x756E6B6E;  // "unkn"
inline constexpr std::uint32_t genericProduct = 0x717;
// The largest EDID there is: 256 blocks of 128 bytes. Nothing past it is read.
inline constexpr std::size_t maximumEdidSize = 256 * 128;
// Many monitors fill the serial field with this instead of leaving it 0.
inline constexpr std::uint32_t placeholderSerial = 0x01010101;

struct EdidIdentity {
    // Only an EDID with a manufacturer id identifies a display: without one,
    // every display that has no EDID of its own would read alike.
    bool identified = false;
    std::uint32_t vendor = unknownVendor;    // manufacturer id, bytes 8-9 big-endian
    std::uint32_t product = genericProduct;  // product code, bytes 10-11 little-endian
    std::uint32_t serial = 0;                // bytes 12-15 little-endian
    std::optional<std::string> name;         // from the 0xFC descriptors

    bool operator==(const EdidIdentity&) const = default;
};

// The image size in millimetres: the first detailed timing's, else the basic
// size in centimetres times 10; 0 by 0 when the EDID gives neither (a size
// with one side 0 is an aspect ratio or nothing, not a size).
struct EdidSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool operator==(const EdidSize&) const = default;
};
EdidSize readEdidSize(std::span<const std::uint8_t> edid);

// No EDID, or one without a recognisable header or identification, gives the
// unknown vendor and the generic product; so does a manufacturer id of 0.
EdidIdentity readEdidIdentity(std::span<const std::uint8_t> edid);

// The registry's info dictionary for a display with this EDID:
// "DisplayVendorID" (left out when the EDID identifies no display, so that
// the entry matches none), "DisplayProductID", "DisplaySerialNumber" (left
// out when 0) and "DisplayProductName" = {"en_US": name} when there is a name.
Dictionary infoDictionaryFromEdid(std::span<const std::uint8_t> edid);

}  // namespace lsscreens::platform_shared
