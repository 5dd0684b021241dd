#include "platform/linux/xcb_library.h"

#include <dlfcn.h>

#include <optional>
#include <type_traits>

namespace lsscreens::linux_platform {

namespace {

// Looks up each entry by name and remembers whether all were found.
class Loader {
public:
    explicit Loader(void* library) : library_(library) {}

    template <typename Entry>
    void operator()(Entry& entry, const char* name)
    {
        void* const address = library_ ? dlsym(library_, name) : nullptr;
        complete_ = complete_ && address;
        if constexpr (std::is_pointer_v<Entry> && std::is_function_v<std::remove_pointer_t<Entry>>)
            entry = reinterpret_cast<Entry>(address);
        else
            entry = static_cast<Entry>(address);
    }
    bool complete() const { return complete_; }

private:
    void* library_;
    bool complete_ = true;
};

std::optional<XcbLibrary> load()
{
    // The libraries stay loaded until the process ends: xcb keeps no state
    // between connections that would need them unloaded.
    void* const xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    void* const randr = xcb ? dlopen("libxcb-randr.so.0", RTLD_LAZY | RTLD_LOCAL) : nullptr;
    XcbLibrary table{};
    Loader fromXcb(xcb);
    fromXcb(table.connect, "xcb_connect");
    fromXcb(table.connectionHasError, "xcb_connection_has_error");
    fromXcb(table.disconnect, "xcb_disconnect");
    fromXcb(table.getExtensionData, "xcb_get_extension_data");
    fromXcb(table.getSetup, "xcb_get_setup");
    fromXcb(table.setupRootsIterator, "xcb_setup_roots_iterator");
    fromXcb(table.screenNext, "xcb_screen_next");
    fromXcb(table.internAtom, "xcb_intern_atom");
    fromXcb(table.internAtomReply, "xcb_intern_atom_reply");
    Loader fromRandr(randr);
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
