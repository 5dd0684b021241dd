// libxcb and libxcb-randr, loaded when the X11 source first calls them rather
// than when the program starts: a run that a Wayland compositor answers never
// loads them (with what they bring, six libraries: about a fifth of a
// millisecond and 0.4 MiB). Each xcb function the platform calls is defined
// here and forwards to the library's own, looked up once. Without the
// libraries xcb_connect gives null, which xcb_connection_has_error reads as an
// error and xcb_disconnect ignores, so the X11 source has no screens.
//
// A program that links libxcb itself (the tests do) still works: these
// definitions take the place of the library's, and forward to them.
#include <dlfcn.h>
#include <xcb/randr.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <type_traits>

namespace {

void* libxcb()
{
    static void* const library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    return library;
}

void* libxcbRandr()
{
    static void* const library = libxcb() ? dlopen("libxcb-randr.so.0", RTLD_LAZY | RTLD_LOCAL) : nullptr;
    return library;
}

// A function of a loaded library; calling it without the library gives the
// result type's zero value.
template <typename Function>
class Symbol {
public:
    Symbol(void* library, const char* name)
        : address_(library ? reinterpret_cast<Function*>(dlsym(library, name)) : nullptr)
    {
    }

    template <typename... Arguments>
    auto operator()(Arguments... arguments) const
    {
        using Result = std::invoke_result_t<Function*, Arguments...>;
        if (address_)
            return address_(arguments...);
        if constexpr (!std::is_void_v<Result>)
            return Result{};
    }

private:
    Function* address_;
};

}  // namespace

// The key the platform asks xcb_get_extension_data with; the request
// functions of libxcb-randr use the library's own, which is handed on instead.
xcb_extension_t xcb_randr_id = {"RANDR", 0};

xcb_connection_t* xcb_connect(const char* displayName, int* screen)
{
    static const Symbol<decltype(xcb_connect)> real(libxcb(), "xcb_connect");
    return real(displayName, screen);
}

int xcb_connection_has_error(xcb_connection_t* connection)
{
    static const Symbol<decltype(xcb_connection_has_error)> real(libxcb(), "xcb_connection_has_error");
    return connection ? real(connection) : XCB_CONN_ERROR;
}

void xcb_disconnect(xcb_connection_t* connection)
{
    static const Symbol<decltype(xcb_disconnect)> real(libxcb(), "xcb_disconnect");
    if (connection)
        real(connection);
}

const xcb_query_extension_reply_t* xcb_get_extension_data(xcb_connection_t* connection, xcb_extension_t* extension)
{
    static const Symbol<decltype(xcb_get_extension_data)> real(libxcb(), "xcb_get_extension_data");
    static xcb_extension_t* const randr =
        libxcbRandr() ? static_cast<xcb_extension_t*>(dlsym(libxcbRandr(), "xcb_randr_id")) : nullptr;
    if (extension == &xcb_randr_id) {
        if (!randr)
            return nullptr;
        extension = randr;
    }
    return real(connection, extension);
}

const xcb_setup_t* xcb_get_setup(xcb_connection_t* connection)
{
    static const Symbol<decltype(xcb_get_setup)> real(libxcb(), "xcb_get_setup");
    return real(connection);
}

xcb_screen_iterator_t xcb_setup_roots_iterator(const xcb_setup_t* setup)
{
    static const Symbol<decltype(xcb_setup_roots_iterator)> real(libxcb(), "xcb_setup_roots_iterator");
    return real(setup);
}

void xcb_screen_next(xcb_screen_iterator_t* iterator)
{
    static const Symbol<decltype(xcb_screen_next)> real(libxcb(), "xcb_screen_next");
    real(iterator);
}

xcb_intern_atom_cookie_t xcb_intern_atom(xcb_connection_t* connection, uint8_t onlyIfExists, uint16_t nameLength,
                                         const char* name)
{
    static const Symbol<decltype(xcb_intern_atom)> real(libxcb(), "xcb_intern_atom");
    return real(connection, onlyIfExists, nameLength, name);
}

xcb_intern_atom_reply_t* xcb_intern_atom_reply(xcb_connection_t* connection, xcb_intern_atom_cookie_t cookie,
                                               xcb_generic_error_t** error)
{
    static const Symbol<decltype(xcb_intern_atom_reply)> real(libxcb(), "xcb_intern_atom_reply");
    return real(connection, cookie, error);
}

xcb_randr_query_version_cookie_t xcb_randr_query_version(xcb_connection_t* connection, uint32_t major,
                                                         uint32_t minor)
{
    static const Symbol<decltype(xcb_randr_query_version)> real(libxcbRandr(), "xcb_randr_query_version");
    return real(connection, major, minor);
}

xcb_randr_query_version_reply_t* xcb_randr_query_version_reply(xcb_connection_t* connection,
                                                               xcb_randr_query_version_cookie_t cookie,
                                                               xcb_generic_error_t** error)
{
    static const Symbol<decltype(xcb_randr_query_version_reply)> real(libxcbRandr(),
                                                                      "xcb_randr_query_version_reply");
    return real(connection, cookie, error);
}

xcb_randr_get_monitors_cookie_t xcb_randr_get_monitors(xcb_connection_t* connection, xcb_window_t window,
                                                       uint8_t active)
{
    static const Symbol<decltype(xcb_randr_get_monitors)> real(libxcbRandr(), "xcb_randr_get_monitors");
    return real(connection, window, active);
}

xcb_randr_get_monitors_reply_t* xcb_randr_get_monitors_reply(xcb_connection_t* connection,
                                                             xcb_randr_get_monitors_cookie_t cookie,
                                                             xcb_generic_error_t** error)
{
    static const Symbol<decltype(xcb_randr_get_monitors_reply)> real(libxcbRandr(),
                                                                     "xcb_randr_get_monitors_reply");
    return real(connection, cookie, error);
}

xcb_randr_get_output_info_cookie_t xcb_randr_get_output_info(xcb_connection_t* connection,
                                                             xcb_randr_output_t output, xcb_timestamp_t time)
{
    static const Symbol<decltype(xcb_randr_get_output_info)> real(libxcbRandr(), "xcb_randr_get_output_info");
    return real(connection, output, time);
}

xcb_randr_get_output_info_reply_t* xcb_randr_get_output_info_reply(xcb_connection_t* connection,
                                                                   xcb_randr_get_output_info_cookie_t cookie,
                                                                   xcb_generic_error_t** error)
{
    static const Symbol<decltype(xcb_randr_get_output_info_reply)> real(libxcbRandr(),
                                                                        "xcb_randr_get_output_info_reply");
    return real(connection, cookie, error);
}

xcb_randr_get_output_property_cookie_t xcb_randr_get_output_property(xcb_connection_t* connection,
                                                                     xcb_randr_output_t output, xcb_atom_t property,
                                                                     xcb_atom_t type, uint32_t offset,
                                                                     uint32_t length, uint8_t deleteProperty,
                                                                     uint8_t pending)
{
    static const Symbol<decltype(xcb_randr_get_output_property)> real(libxcbRandr(),
                                                                      "xcb_randr_get_output_property");
    return real(connection, output, property, type, offset, length, deleteProperty, pending);
}

xcb_randr_get_output_property_reply_t* xcb_randr_get_output_property_reply(
    xcb_connection_t* connection, xcb_randr_get_output_property_cookie_t cookie, xcb_generic_error_t** error)
{
    static const Symbol<decltype(xcb_randr_get_output_property_reply)> real(
        libxcbRandr(), "xcb_randr_get_output_property_reply");
    return real(connection, cookie, error);
}
