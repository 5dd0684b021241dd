// Any bytes as the X server's setup or a RandR reply: walking the setup's
// roots, reading the monitor list (up to a limit) or the output's info or its
// EDID property must stay inside the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/linux/x11/replies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lsscreens::linux_platform;
    const std::span<const std::uint8_t> bytes(data, size);
    // Every root takes at least 40 bytes after the setup's 40.
    if (const auto roots = rootsFromSetup(bytes); roots && roots->size() * 40 + 40 > size)
        std::abort();
    // Every complete monitor takes at least 24 bytes after the 32-byte header.
    const std::size_t limit = size % 64;
    const auto monitors = screensFromMonitorsReply(bytes, limit);
    if (!monitors.empty() && (size < 32 || monitors.size() * 24 + 32 > size || monitors.size() > limit))
        std::abort();
    if (edidIdentityFromPropertyReply(bytes) && size <= 32)
        std::abort();
    const auto output = displayFromOutputInfoReply(bytes);
    if (output && (output->connectorName.size() + 36 > size || output->connectorName.size() > maximumConnectorNameLength))
        std::abort();
    return 0;
}
