// libxcb and libxcb-randr, loaded when an X server is to be asked rather than
// when the program starts: a run that a Wayland compositor answers, or one
// without DISPLAY, never maps them (nor the four more libraries they bring;
// docs/performance.md has what that saves). The X11 source calls xcb
// through this table of the libraries' own functions; nothing here defines
// a function that libxcb exports itself.
#pragma once

#include <xcb/randr.h>
#include <xcb/xcb.h>

namespace lsscreens::linux_platform {

struct XcbLibrary {
    decltype(&::xcb_connect) connect;
    decltype(&::xcb_connection_has_error) connectionHasError;
    decltype(&::xcb_disconnect) disconnect;
    decltype(&::xcb_get_extension_data) getExtensionData;
    decltype(&::xcb_get_setup) getSetup;
    decltype(&::xcb_intern_atom) internAtom;
    decltype(&::xcb_intern_atom_reply) internAtomReply;
    xcb_extension_t* randrId;  // libxcb-randr's key for its extension's data
    decltype(&::xcb_randr_query_version) randrQueryVersion;
    decltype(&::xcb_randr_query_version_reply) randrQueryVersionReply;
    decltype(&::xcb_randr_get_monitors) randrGetMonitors;
    decltype(&::xcb_randr_get_monitors_reply) randrGetMonitorsReply;
    decltype(&::xcb_randr_get_output_info) randrGetOutputInfo;
    decltype(&::xcb_randr_get_output_info_reply) randrGetOutputInfoReply;
    decltype(&::xcb_randr_get_output_property) randrGetOutputProperty;
    decltype(&::xcb_randr_get_output_property_reply) randrGetOutputPropertyReply;
};

// Loads both libraries on the first call. Null when either library, or any
// of the functions above, cannot be found: then there is no X server to ask.
const XcbLibrary* xcbLibrary();

}  // namespace lsscreens::linux_platform
