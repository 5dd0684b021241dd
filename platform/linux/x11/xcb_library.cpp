#include "platform/linux/x11/xcb_library.h"

#include <optional>

#include "platform/linux/library_functions.h"

namespace lsscreens::linux_platform {

namespace {

std::optional<XcbLibrary> load()
{
    // The libraries stay loaded until the process ends: xcb keeps no state
    // between connections that would need them unloaded.
    void* const xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    void* const randr = xcb ? dlopen("libxcb-randr.so.0", RTLD_LAZY | RTLD_LOCAL) : nullptr;
    XcbLibrary table{};
    LibraryFunctions fromXcb(xcb);
    fromXcb(table.connect, "xcb_connect");
    fromXcb(table.connectionHasError, "xcb_connection_has_error");
    fromXcb(table.disconnect, "xcb_disconnect");
    fromXcb(table.getExtensionData, "xcb_get_extension_data");
    fromXcb(table.getSetup, "xcb_get_setup");
    fromXcb(table.internAtom, "xcb_intern_atom");
    fromXcb(table.internAtomReply, "xcb_intern_atom_reply");
    LibraryFunctions fromRandr(randr);
    fromRandr(table.randrId, "xcb_randr_id");
    fromRandr(table.randrQueryVersion, "xcb_randr_query_version");
    fromRandr(table.randrQueryVersionReply, "xcb_randr_query_version_reply");
    fromRandr(table.randrGetMonitors, "xcb_randr_get_monitors");
    fromRandr(table.randrGetMonitorsReply, "xcb_randr_get_monitors_reply");
    fromRandr(table.randrGetOutputInfo, "xcb_randr_get_output_info");
    fromRandr(table.randrGetOutputInfoReply, "xcb_randr_get_output_info_reply");
    fromRandr(table.randrGetOutputProperty, "xcb_randr_get_output_property");
    fromRandr(table.randrGetOutputPropertyReply, "xcb_randr_get_output_property_reply");
    if (!fromXcb.complete() || !fromRandr.complete())
        return std::nullopt;
    return table;
}

}  // namespace

const XcbLibrary* xcbLibrary()
{
    static const std::optional<XcbLibrary> library = load();
    return library ? &*library : nullptr;
}

}  // namespace lsscreens::linux_platform
