// X11 messages as a server sends them, in this machine's byte order (the
// client's, which xcb asks for): for the tests that read them and for the
// scripted X server that sends them.
#pragma once

#include <xcb/randr.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lsscreens::testing {

using Bytes = std::vector<std::uint8_t>;

// The parts' bytes appended one after another.
template <typename... Parts>
void append(Bytes& bytes, const Parts&... parts)
{
    std::size_t at = bytes.size();
    bytes.resize(at + (sizeof parts + ...));
    ((std::memcpy(bytes.data() + at, &parts, sizeof parts), at += sizeof parts), ...);
}
template <typename... Parts>
Bytes bytesOf(const Parts&... parts)
{
    Bytes bytes;
    append(bytes, parts...);
    return bytes;
}

// What a setup claims. It holds the vendor "test", one pixmap format and two
// roots, 0x100 of 1280x1024 and 0x101 of 800x600, each with one depth of one
// visual; the depth and visual counts are the last root's, so that claiming
// more runs past the end.
struct SetupClaims {
    std::uint16_t vendor = 4;
    std::uint8_t formats = 1, roots = 2, depths = 1;
    std::uint16_t visuals = 1;
};

inline Bytes x11Setup(const SetupClaims& claims = {})
{
    Bytes setup = bytesOf(xcb_setup_t{1, 0, 11, 0, 0, 0, 0, 0x1FFFFF, 0, claims.vendor, 0xFFFF, claims.roots,
                                      claims.formats, 0, 0, 32, 32, 8, 255, {}},
                          std::array{'t', 'e', 's', 't'}, xcb_format_t{24, 32, 32, {}});
    for (const std::uint32_t root : {0x100u, 0x101u}) {
        const bool last = root == 0x101;
        append(setup,
               xcb_screen_t{root, 0x20, 0xFFFFFF, 0, 0, std::uint16_t(last ? 800 : 1280), std::uint16_t(last ? 600 : 1024),
                            300, 200, 1, 1, 0x21, 0, 0, 24, last ? claims.depths : std::uint8_t{1}},
               xcb_depth_t{24, 0, last ? claims.visuals : std::uint16_t{1}, {}},
               xcb_visualtype_t{0x21, XCB_VISUAL_CLASS_TRUE_COLOR, 8, 256, 0xFF0000, 0xFF00, 0xFF, {}});
    }
    setup[6] = static_cast<std::uint8_t>((setup.size() - 8) / 4);  // the length in words after 8 bytes: under 256
    return setup;
}

}  // namespace lsscreens::testing
