#include "platform/shared/edid.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace lsscreens::platform_shared {

namespace {

constexpr std::array<std::uint8_t, 8> header{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t identityEnd = 16;       // bytes 8-15: vendor, product, serial
constexpr std::size_t firstDescriptor = 54;   // four 18-byte descriptors follow
constexpr std::size_t descriptorSize = 18;
constexpr std::size_t descriptorCount = 4;
constexpr std::uint8_t productNameTag = 0xFC;

// Like the kernel, a header with up to two damaged bytes still counts.
bool hasHeader(std::span<const std::uint8_t> edid)
{
    if (edid.size() < header.size())
        return false;
    int matching = 0;
    for (std::size_t i = 0; i < header.size(); ++i)
        matching += edid[i] == header[i] ? 1 : 0;
    return matching >= 6;
}

// One descriptor's share of the name: its 13 text bytes up to the line feed,
// cut at the first byte outside printable ASCII (NUL or CR padding, 0xFF
// filler and non-ASCII code pages all occur in real monitors).
std::string namePiece(std::span<const std::uint8_t> text)
{
    std::string piece;
    for (const std::uint8_t byte : text) {
        if (byte < 0x20 || byte > 0x7E)  // the line feed ends it as well
            break;
        piece += static_cast<char>(byte);
    }
    return piece;
}

// Long names are split across descriptors ("Nvidia Defaul" + "t Flat Panel");
// some monitors repeat the whole name in a second descriptor instead.
std::optional<std::string> productName(std::span<const std::uint8_t> edid)
{
    std::string name;
    for (std::size_t i = 0; i < descriptorCount; ++i) {
        const std::size_t at = firstDescriptor + i * descriptorSize;
        if (at + descriptorSize > edid.size())
            break;
        const auto descriptor = edid.subspan(at, descriptorSize);
        // A display descriptor starts with a zero pixel clock and a zero byte.
        if (descriptor[0] != 0 || descriptor[1] != 0 || descriptor[2] != 0 ||
            descriptor[3] != productNameTag)
            continue;
        const std::string piece = namePiece(descriptor.subspan(5, 13));
        if (!name.empty() && piece == name)
            continue;
        name += piece;
    }
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.empty())
        return std::nullopt;
    return name;
}

}  // namespace

EdidSize readEdidSize(std::span<const std::uint8_t> edid)
{
    if (!hasHeader(edid) || edid.size() < firstDescriptor)
        return {};
    for (std::size_t i = 0; i < descriptorCount; ++i) {
        const std::size_t at = firstDescriptor + i * descriptorSize;
        if (at + descriptorSize > edid.size())
            break;
        const auto timing = edid.subspan(at, descriptorSize);
        if (timing[0] == 0 && timing[1] == 0)  // a display descriptor, not a timing
            continue;
        // 12 bits each: the low bytes 12 and 13, the high nibbles in byte 14.
        const EdidSize image{timing[12] | ((timing[14] & 0xF0u) << 4), timing[13] | ((timing[14] & 0x0Fu) << 8)};
        if (image.width != 0 && image.height != 0)
            return image;
        break;
    }
    const EdidSize basic{edid[21] * 10u, edid[22] * 10u};  // bytes 21 and 22, in cm
    return basic.width != 0 && basic.height != 0 ? basic : EdidSize{};
}

EdidIdentity readEdidIdentity(std::span<const std::uint8_t> edid)
{
    EdidIdentity identity;
    if (!hasHeader(edid) || edid.size() < identityEnd)
        return identity;
    const std::uint32_t manufacturer = (std::uint32_t{edid[8]} << 8) | edid[9];
    if (manufacturer != 0) {
        identity.identified = true;
        identity.vendor = manufacturer;
        identity.product = std::uint32_t{edid[10]} | (std::uint32_t{edid[11]} << 8);
    }
    identity.serial = std::uint32_t{edid[12]} | (std::uint32_t{edid[13]} << 8) |
                      (std::uint32_t{edid[14]} << 16) | (std::uint32_t{edid[15]} << 24);
    if (identity.serial == placeholderSerial)
        identity.serial = 0;
    identity.name = productName(edid);
    return identity;
}

Dictionary infoDictionaryFromEdid(std::span<const std::uint8_t> edid)
{
    const EdidIdentity identity = readEdidIdentity(edid);
    Dictionary info;
    if (identity.identified)
        info.set("DisplayVendorID", Number::integer(identity.vendor));
    info.set("DisplayProductID", Number::integer(identity.product));
    if (identity.serial != 0)
        info.set("DisplaySerialNumber", Number::integer(identity.serial));
    if (identity.name)
        info.set("DisplayProductName", Dictionary{{"en_US", *identity.name}});
    return info;
}

}  // namespace lsscreens::platform_shared
