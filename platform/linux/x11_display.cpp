#include "platform/linux/x11_display.h"

#include "platform/shared/edid.h"
#include "platform/linux/standard_error_discarded.h"
#include "platform/linux/x11_replies.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <span>

namespace lsscreens::linux_platform {

namespace {

// xcb hands out replies and errors allocated with malloc.
struct Free {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, Free>;

// The bytes of a reply as the server sized it: 32 bytes plus 4 per length unit.
template <typename Reply>
std::span<const std::uint8_t> replyBytes(const Reply& reply)
{
    return {reinterpret_cast<const std::uint8_t*>(&reply), 32 + std::size_t{reply.length} * 4};
}

// The largest EDID there is, in the 4-byte units the property request counts.
constexpr std::uint32_t maximumEdidUnits = platform_shared::maximumEdidSize / 4;

// libxcb writes the X server's reason for refusing a connection straight to
// descriptor 2 (write(STDERR_FILENO, ...) in its connection setup, with no
// option or hook to turn it off).
xcb_connection_t* connectQuietly()
{
    const StandardErrorDiscarded quiet;
    return xcb_connect(nullptr, nullptr);
}

xcb_atom_t existingAtom(xcb_connection_t* connection, const char* name)
{
    xcb_generic_error_t* rawError = nullptr;
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(std::strlen(name)), name),
        &rawError));
    const XcbReply<xcb_generic_error_t> error(rawError);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void appendMonitors(xcb_connection_t* connection, xcb_window_t root, std::vector<Monitor>& monitors)
{
    xcb_generic_error_t* rawError = nullptr;
    const XcbReply<xcb_randr_get_monitors_reply_t> reply(xcb_randr_get_monitors_reply(
        connection, xcb_randr_get_monitors(connection, root, 1), &rawError));
    const XcbReply<xcb_generic_error_t> error(rawError);
    if (!reply)
        return;
    const std::vector<Monitor> found = monitorsFromReply(replyBytes(*reply));
    monitors.insert(monitors.end(), found.begin(), found.end());
}

std::vector<std::uint8_t> readEdidProperty(xcb_connection_t* connection, xcb_randr_output_t output,
                                           xcb_atom_t edidAtom)
{
    if (edidAtom == XCB_ATOM_NONE)
        return {};
    xcb_generic_error_t* rawError = nullptr;
    const XcbReply<xcb_randr_get_output_property_reply_t> reply(xcb_randr_get_output_property_reply(
        connection,
        xcb_randr_get_output_property(connection, output, edidAtom, XCB_ATOM_ANY, 0,
                                      maximumEdidUnits, 0, 0),
        &rawError));
    const XcbReply<xcb_generic_error_t> error(rawError);
    if (!reply)
        return {};
    return edidFromPropertyReply(replyBytes(*reply));
}

}  // namespace

void X11Display::Disconnect::operator()(xcb_connection_t* connection) const
{
    xcb_disconnect(connection);
}

X11Display::X11Display() : connection_(connectQuietly())
{
    // xcb_connect never returns null; a failed connection is an error object
    // that still has to be disconnected.
    if (xcb_connection_has_error(connection_.get()))
        return;
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(connection_.get(), &xcb_randr_id);
    if (!randr || !randr->present)
        return;
    xcb_generic_error_t* rawError = nullptr;
    const XcbReply<xcb_randr_query_version_reply_t> version(xcb_randr_query_version_reply(
        connection_.get(), xcb_randr_query_version(connection_.get(), 1, 5), &rawError));
    const XcbReply<xcb_generic_error_t> error(rawError);
    hasRandr15_ = version && (version->major_version > 1 ||
                              (version->major_version == 1 && version->minor_version >= 5));
    if (hasRandr15_)
        edidAtom_ = existingAtom(connection_.get(), "EDID");
}

X11Display::~X11Display() = default;

std::vector<Monitor> X11Display::monitors() const
{
    std::vector<Monitor> monitors;
    if (!hasRandr15_)
        return monitors;
    for (auto root = xcb_setup_roots_iterator(xcb_get_setup(connection_.get())); root.rem > 0;
         xcb_screen_next(&root))
        appendMonitors(connection_.get(), root.data->root, monitors);
    return monitors;
}

std::optional<OutputFacts> X11Display::output(std::uint32_t id) const
{
    if (!hasRandr15_)
        return std::nullopt;
    xcb_generic_error_t* rawError = nullptr;
    const XcbReply<xcb_randr_get_output_info_reply_t> info(xcb_randr_get_output_info_reply(
        connection_.get(), xcb_randr_get_output_info(connection_.get(), id, XCB_CURRENT_TIME),
        &rawError));
    const XcbReply<xcb_generic_error_t> error(rawError);
    if (!info)
        return std::nullopt;
    auto facts = outputFromInfoReply(replyBytes(*info));
    if (facts)
        facts->edid = readEdidProperty(connection_.get(), id, edidAtom_);
    return facts;
}

}  // namespace lsscreens::linux_platform
