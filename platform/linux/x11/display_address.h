// Where xcb connects for a DISPLAY, by its own rules, and whether anything
// accepts a connection there. xcb reports a connection nobody accepted and a
// setup the server refused alike; asking again here, only after xcb failed,
// tells "no X server" from "an X server that would not talk".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lsscreens::linux_platform {

// The places xcb tries, in its order: the socket (first as the abstract name
// "\0" + path, then as the path), then TCP. Empty strings for places it does
// not try.
struct X11Address {
    std::string socketPath;
    std::string tcpHost;  // as written, an IPv6 literal in brackets
    std::uint16_t port = 0;

    bool operator==(const X11Address&) const = default;
};

// "[protocol/][host]:display[.screen]": with no host, or host or protocol
// "unix", the socket /tmp/.X11-unix/X<display> (not with another protocol),
// then, with neither protocol nor host, TCP localhost; else TCP host (only
// with no protocol or tcp, inet, inet6), port 6000 + display. A path to a
// socket ("/..." or "unix:/...", its screen number after a last '.' when the
// whole is not a file) is the socket alone. Absent when xcb would not parse
// the name.
std::optional<X11Address> x11AddressOf(std::string_view display);

// Connects to each place in xcb's order and closes at once: true when one
// accepted. It may block (a name lookup, a full listen queue, a host that
// never answers); the caller bounds it.
bool somethingAccepts(const X11Address& address);

}  // namespace lsscreens::linux_platform
