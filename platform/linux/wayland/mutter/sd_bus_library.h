// sd-bus from libsystemd, loaded only to ask mutter for its display
// configuration: runs on any other desktop never map libsystemd. Called
// through this table of the library's own functions, like xcb (x11/xcb_library.h).
#pragma once

#include <systemd/sd-bus.h>

namespace lsscreens::linux_platform {

struct SdBusLibrary {
    decltype(&::sd_bus_new) busNew;
    decltype(&::sd_bus_set_address) setAddress;
    decltype(&::sd_bus_set_bus_client) setBusClient;
    decltype(&::sd_bus_start) start;
    decltype(&::sd_bus_call_method_async) callMethodAsync;
    decltype(&::sd_bus_process) process;
    decltype(&::sd_bus_get_fd) fd;
    decltype(&::sd_bus_get_events) events;
    decltype(&::sd_bus_close_unref) closeUnref;
    decltype(&::sd_bus_message_is_method_error) isMethodError;
    decltype(&::sd_bus_message_read) read;
    decltype(&::sd_bus_message_skip) skip;
    decltype(&::sd_bus_message_peek_type) peekType;
    decltype(&::sd_bus_message_enter_container) enter;
    decltype(&::sd_bus_message_exit_container) exit;
};

// Loads libsystemd on the first call. Null when it, or any of the functions
// above, cannot be found: then mutter is not asked.
const SdBusLibrary* sdBusLibrary();

}  // namespace lsscreens::linux_platform
