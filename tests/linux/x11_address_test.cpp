// Where xcb connects for each form of DISPLAY, and whether something accepts
// there: sockets of the test's own, listening, stale, or closed.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <fstream>

#include "platform/linux/descriptor.h"
#include "platform/linux/x11/display_address.h"
#include "tests/linux/harness.h"

namespace lsscreens::testing {
namespace {

using linux_platform::X11Address;
using linux_platform::x11AddressOf;

TEST(X11Address, EveryFormAsXcbReadsIt)
{
    const ScratchDirectory scratch;
    const std::string path = scratch.path / "X", socket = "/tmp/.X11-unix/X";
    std::ofstream{path};  // any file will do for xcb's reading
    const X11Address none, unix4{socket + "4", "", 0}, file{path, "", 0}, remote{"", "host.example", 6001};
    for (const auto& [display, address] : std::vector<std::pair<std::string, std::optional<X11Address>>>{
             {":0", X11Address{socket + "0", "localhost", 6000}}, {":12.3", X11Address{socket + "12", "localhost", 6012}},
             {":65535", X11Address{socket + "65535", "localhost", 5999}} /* the port wraps as in xcb */, {"unix:4", unix4},
             {"unix/:4", unix4}, {"unix/elsewhere:4", unix4}, {"tcp/:4", none}, {"host.example:1", remote}, {"tcp/host.example:1.0", remote},
             {"decnet/host.example:1", none}, {"inet6/[::1]:2", X11Address{"", "[::1]", 6002}}, {path, file}, {path + ".2", file},
             {"unix:" + path, file}, {path + ".0", std::nullopt}, {"/no/such/socket", std::nullopt}, {"", std::nullopt},
             {"0", std::nullopt}, {":", std::nullopt}, {":x", std::nullopt}, {":1.", std::nullopt}, {":1.2x", std::nullopt}})
        EXPECT_EQ(x11AddressOf(display), address) << display;
}

// A socket listening at the address; none when it cannot listen there.
linux_platform::Descriptor listening(const void* address, std::size_t length)
{
    const auto* at = static_cast<const sockaddr*>(address);
    linux_platform::Descriptor socket(::socket(at->sa_family, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const bool listens = bind(socket.get(), at, static_cast<socklen_t>(length)) == 0 && listen(socket.get(), 16) == 0;
    return listens ? std::move(socket) : linux_platform::Descriptor();
}

// A socket file and a loopback port of the test's own (an X server's abstract
// socket is probed in the binary's runs against X servers that refuse it).
TEST(X11Address, SomethingAcceptsOnlyWhereASocketListens)
{
    const auto accepts = [](const std::string& display) { return linux_platform::somethingAccepts(x11AddressOf(display).value()); };
    const ScratchDirectory scratch;
    const std::string path = scratch.path / "X";
    sockaddr_un file{AF_UNIX, {}};
    path.copy(file.sun_path, sizeof file.sun_path - 1);
    sockaddr_in loopback{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};  // on a port the system picks, above 6000
    auto unixSocket = listening(&file, sizeof file), tcp = listening(&loopback, sizeof loopback);
    socklen_t length = sizeof loopback;
    ASSERT_EQ(getsockname(tcp.get(), reinterpret_cast<sockaddr*>(&loopback), &length), 0);
    const std::string local = std::to_string(ntohs(loopback.sin_port) - 6000).insert(0, 1, ':'), remote = "127.0.0.1" + local;
    EXPECT_TRUE(accepts(path) && accepts(local) && accepts(remote));  // local through localhost
    unixSocket = {};  // its file stays
    tcp = {};
    EXPECT_FALSE(accepts(path) || accepts(local) || accepts(remote));
}

}  // namespace
}  // namespace lsscreens::testing
