#include "platform/linux/x11/display_address.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <memory>

#include "platform/linux/descriptor.h"

namespace lsscreens::linux_platform {

namespace {

// "<path>[.<screen>]": the path when such a file exists, else the part before
// the last '.' when that exists and a screen number (1-9 first) follows.
std::optional<X11Address> socketPathAddress(const std::string& name)
{
    if (name.size() >= sizeof(sockaddr_un::sun_path) + 1 + 10)
        return std::nullopt;
    struct stat file;
    if (stat(name.c_str(), &file) == 0)
        return X11Address{name, {}, 0};
    if (errno != ENOENT && errno != ENOTDIR)
        return std::nullopt;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size() || name[dot + 1] < '1' || name[dot + 1] > '9')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long screen = std::strtoul(name.c_str() + dot + 1, &end, 10);
    std::string path = name.substr(0, dot);
    if (screen > INT_MAX || *end || errno || stat(path.c_str(), &file) != 0)
        return std::nullopt;
    return X11Address{std::move(path), {}, 0};
}

// Connects a new socket and closes it: 0, else the connect's errno.
int connectOnce(int family, int protocol, const sockaddr* address, socklen_t length)
{
    const Descriptor socket(::socket(family, SOCK_STREAM | SOCK_CLOEXEC, protocol));
    if (socket.get() < 0)
        return errno;
    return connect(socket.get(), address, length) == 0 ? 0 : errno;
}

// A name starting with '\0' is in the abstract namespace. One too long for
// any socket names none.
int connectUnix(const std::string& name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() > sizeof address.sun_path)
        return ENOENT;
    name.copy(address.sun_path, name.size());
    return connectOnce(AF_UNIX, 0, reinterpret_cast<const sockaddr*>(&address),
                       static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size()));
}

// Every address the name resolves to, in getaddrinfo's order, until one
// accepts. "[...]" is a numeric IPv6 address.
bool tcpAccepts(std::string host, std::uint16_t port)
{
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICSERV;
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        hints.ai_flags |= AI_NUMERICHOST;
        hints.ai_family = AF_INET6;
    }
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return false;
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> results(found, &freeaddrinfo);
    for (const addrinfo* at = found; at; at = at->ai_next)
        if (connectOnce(at->ai_family, at->ai_protocol, at->ai_addr, at->ai_addrlen) == 0)
            return true;
    return false;
}

}  // namespace

std::optional<X11Address> x11AddressOf(std::string_view display)
{
    if (display.starts_with('/'))
        return socketPathAddress(std::string(display));
    if (display.starts_with("unix:/"))
        return socketPathAddress(std::string(display.substr(5)));
    std::optional<std::string_view> protocol;
    if (const std::size_t slash = display.rfind('/'); slash != std::string_view::npos) {
        protocol = display.substr(0, slash);
        display.remove_prefix(slash + 1);
    }
    const std::size_t colon = display.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string host(display.substr(0, colon)), numbers(display.substr(colon + 1));
    // Numbers as strtoul reads them, as xcb does: "-1" is a display too.
    char* end = nullptr;
    const unsigned long number = std::strtoul(numbers.c_str(), &end, 10);
    if (end == numbers.c_str())
        return std::nullopt;
    if (*end) {
        const char* const screen = end + 1;
        if (*end != '.')
            return std::nullopt;
        std::strtoul(screen, &end, 10);
        if (end == screen || *end)
            return std::nullopt;
    }
    const auto displayNumber = static_cast<int>(number);  // as xcb keeps it
    const auto port = static_cast<std::uint16_t>(6000u + static_cast<unsigned>(displayNumber));
    X11Address address;
    if (protocol != "unix" && !host.empty() && host != "unix") {
        if (!protocol || protocol == "tcp" || protocol == "inet" || protocol == "inet6")
            address = {{}, host, port};
        return address;
    }
    if (!protocol || protocol == "unix")
        address.socketPath = "/tmp/.X11-unix/X" + std::to_string(displayNumber);
    if (!protocol && host.empty()) {
        address.tcpHost = "localhost";
        address.port = port;
    }
    return address;
}

bool somethingAccepts(const X11Address& address)
{
    if (!address.socketPath.empty()) {
        const int abstract = connectUnix('\0' + address.socketPath);
        if (abstract == 0)
            return true;
        if (abstract != ENOENT && abstract != ECONNREFUSED)
            return false;  // where xcb stops too
        if (connectUnix(address.socketPath) == 0)
            return true;
    }
    return !address.tcpHost.empty() && tcpAccepts(address.tcpHost, address.port);
}

}  // namespace lsscreens::linux_platform
