#include "platform/linux/wayland/mutter/sd_bus_library.h"

#include <optional>

#include "platform/linux/library_functions.h"

namespace lsscreens::linux_platform {

namespace {

std::optional<SdBusLibrary> load()
{
    // Stays loaded until the process ends, which is soon.
    SdBusLibrary table{};
    LibraryFunctions from(dlopen("libsystemd.so.0", RTLD_LAZY | RTLD_LOCAL));
    from(table.busNew, "sd_bus_new");
    from(table.setAddress, "sd_bus_set_address");
    from(table.setBusClient, "sd_bus_set_bus_client");
    from(table.start, "sd_bus_start");
    from(table.callMethodAsync, "sd_bus_call_method_async");
    from(table.process, "sd_bus_process");
    from(table.fd, "sd_bus_get_fd");
    from(table.events, "sd_bus_get_events");
    from(table.closeUnref, "sd_bus_close_unref");
    from(table.isMethodError, "sd_bus_message_is_method_error");
    from(table.read, "sd_bus_message_read");
    from(table.skip, "sd_bus_message_skip");
    from(table.peekType, "sd_bus_message_peek_type");
    from(table.enter, "sd_bus_message_enter_container");
    from(table.exit, "sd_bus_message_exit_container");
    return from.complete() ? std::optional(table) : std::nullopt;
}

}  // namespace

const SdBusLibrary* sdBusLibrary()
{
    static const std::optional<SdBusLibrary> library = load();
    return library ? &*library : nullptr;
}

}  // namespace lsscreens::linux_platform
