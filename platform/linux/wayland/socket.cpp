#include "platform/linux/wayland/socket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace lsscreens::linux_platform {

namespace {

// A compositor handed the socket over: one that cannot be used is a
// compositor that cannot be asked, not the absence of one.
CompositorConnection inheritedSocket(const char* number)
{
    char* end = nullptr;
    errno = 0;
    const long fd = std::strtol(number, &end, 10);
    if (errno != 0 || end == number || *end != '\0' || fd <= STDERR_FILENO || fd > INT32_MAX)
        return {Descriptor(), true};
    const int flags = fcntl(static_cast<int>(fd), F_GETFD);
    if (flags < 0 || fcntl(static_cast<int>(fd), F_SETFD, flags | FD_CLOEXEC) < 0)
        return {Descriptor(), true};
    return {Descriptor(static_cast<int>(fd)), true};
}

// Errors of connect(2) that mean nobody listens at the path: no compositor.
bool nothingListens(int error)
{
    return error == ENOENT || error == ECONNREFUSED || error == ENOTDIR || error == ENOTSOCK;
}

// A blocking connect whose wait is bounded by the send timeout: on a Unix
// socket whose listen queue is full, a non-blocking connect fails at once
// with EAGAIN, so there is nothing to poll for, while a blocking one waits
// for room in the queue for at most SO_SNDTIMEO.
CompositorConnection connectBefore(const std::string& path, Deadline deadline)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return {};
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0)
        return {};
    for (;;) {
        const int left = millisecondsLeft(deadline);
        if (left == 0)  // still waiting for room in the queue of a compositor that is there
            return {Descriptor(), true};
        const timeval timeout{left / 1000, (left % 1000) * 1000};
        if (setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0)
            return {};
        if (connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            break;
        if (errno != EINTR && errno != EAGAIN && errno != EINPROGRESS)
            return {Descriptor(), !nothingListens(errno)};
    }
    // libwayland-client sends without waiting (MSG_DONTWAIT); the timeout
    // would only matter to a blocking send.
    const timeval none{};
    setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &none, sizeof none);
    return {std::move(socket), true};
}

}  // namespace

CompositorConnection connectToCompositor(Deadline deadline)
{
    if (const char* inherited = std::getenv("WAYLAND_SOCKET"))
        return inheritedSocket(inherited);
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const std::string name = display ? display : "wayland-0";
    if (name.starts_with('/'))
        return connectBefore(name, deadline);
    const char* runtimeDirectory = std::getenv("XDG_RUNTIME_DIR");
    if (!runtimeDirectory || !*runtimeDirectory)
        return {};
    return connectBefore(std::string(runtimeDirectory) + "/" + name, deadline);
}

}  // namespace lsscreens::linux_platform
