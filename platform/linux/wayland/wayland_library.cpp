#include "platform/linux/wayland/wayland_library.h"

#include <optional>

#include "platform/linux/library_functions.h"

namespace lsscreens::linux_platform {

const WaylandLibrary* waylandLibrary()
{
    // Stays loaded until the process ends, which is soon after the session.
    // Bound lazily: binding every symbol of libwayland-client up front costs
    // a good part of a Wayland run.
    static const std::optional<WaylandLibrary> library = [] {
        WaylandLibrary table{};
        LibraryFunctions from(dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_LOCAL));
#define LSSCREENS_LOOK_UP(member, name) from(table.member, #name);
        LSSCREENS_WAYLAND_FUNCTIONS(LSSCREENS_LOOK_UP)
#undef LSSCREENS_LOOK_UP
        return from.complete() ? std::optional(table) : std::nullopt;
    }();
    return library ? &*library : nullptr;
}

}  // namespace lsscreens::linux_platform
