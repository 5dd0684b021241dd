// Any bytes as the X server's setup or a RandR reply: walking the setup's
// roots, reading the monitor list or the output's info or its EDID property
// must stay inside the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/linux/x11_replies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> reply(data, size);
    // Every root takes at least 40 bytes after the setup's 40.
    if (const auto roots = lsscreens::linux_platform::rootsFromSetup(reply); roots && roots->size() * 40 + 40 > size)
        std::abort();
    // Every complete monitor takes at least 24 bytes after the 32-byte header.
    const auto monitors = lsscreens::linux_platform::monitorsFromReply(reply);
    if (size < 32 && !monitors.empty())
        std::abort();
    if (monitors.size() * 24 + 32 > size && !monitors.empty())
        std::abort();
    const auto edid = lsscreens::linux_platform::edidFromPropertyReply(reply);
    if (edid.size() + 32 > size && !edid.empty())
        std::abort();
    const auto output = lsscreens::linux_platform::outputFromInfoReply(reply);
    if (output && output->connectorName.size() + 36 > size)
        std::abort();
    return 0;
}
