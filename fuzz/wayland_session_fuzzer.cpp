// Any bytes as what a compositor sends in a Wayland session: they are written
// to one end of a socketpair (what fits), which is then shut for writing, so
// that each input ends at end of file rather than at the deadline, and the
// session is read from the other end. Whatever it gives must hold together:
// each display id once, each monitor's output known, no more than the cap.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "platform/linux/wayland/compositor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lsscreens::linux_platform;
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        std::abort();
    fcntl(pair[0], F_SETFL, O_NONBLOCK);
    if (send(pair[0], data, size, MSG_NOSIGNAL) < 0 && size > 0)
        std::abort();
    shutdown(pair[0], SHUT_WR);
    // The deadline holds for mutter's D-Bus side too, were the bytes to
    // announce mutter: there is no bus to ask here.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    const auto screens = readWaylandSession(pair[1], deadline);
    close(pair[0]);
    if (!screens)
        return 0;
    std::set<std::uint32_t> ids;
    for (const Screen& monitor : screens->list) {
        if (!monitor.displayId || !ids.insert(*monitor.displayId).second ||
            !screens->displays.contains(*monitor.displayId))
            std::abort();
    }
    if (screens->list.size() > maximumScreens)
        std::abort();
    return 0;
}
