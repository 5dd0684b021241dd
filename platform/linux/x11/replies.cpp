#include "platform/linux/x11/replies.h"

#include <xcb/randr.h>

#include <algorithm>
#include <cstring>

namespace lsscreens::linux_platform {

namespace {

// Copies a wire structure out of the bytes, if they hold all of it. xcb asks
// for the client's byte order, in which the setup and replies then arrive:
// a copy is a read.
template <typename T>
std::optional<T> read(std::span<const std::uint8_t> bytes, std::size_t at)
{
    if (at > bytes.size() || bytes.size() - at < sizeof(T))
        return std::nullopt;
    T value;
    std::memcpy(&value, bytes.data() + at, sizeof(T));
    return value;
}

}  // namespace

std::optional<std::vector<Root>> rootsFromSetup(std::span<const std::uint8_t> setup)
{
    const auto header = read<xcb_setup_t>(setup, 0);
    if (!header)
        return std::nullopt;
    std::size_t at = sizeof *header + (std::size_t{header->vendor_len} + 3) / 4 * 4 +
                     std::size_t{header->pixmap_formats_len} * sizeof(xcb_format_t);
    std::vector<Root> roots;
    for (unsigned i = 0; i < header->roots_len; ++i) {
        const auto screen = read<xcb_screen_t>(setup, at);
        if (!screen)
            return std::nullopt;
        at += sizeof *screen;
        for (unsigned j = 0; j < screen->allowed_depths_len; ++j) {
            const auto depth = read<xcb_depth_t>(setup, at);
            if (!depth)
                return std::nullopt;
            at += sizeof *depth + std::size_t{depth->visuals_len} * sizeof(xcb_visualtype_t);
        }
        roots.push_back({screen->root, screen->width_in_pixels, screen->height_in_pixels});
    }
    if (at > setup.size())  // the last visuals, or with no roots the formats
        return std::nullopt;
    return roots;
}

std::vector<Screen> screensFromMonitorsReply(std::span<const std::uint8_t> reply, std::size_t limit)
{
    std::vector<Screen> monitors;
    const auto header = read<xcb_randr_get_monitors_reply_t>(reply, 0);
    if (!header)
        return monitors;
    std::size_t at = sizeof *header;
    for (std::uint32_t i = 0; i < header->nMonitors && monitors.size() < limit; ++i) {
        const auto info = read<xcb_randr_monitor_info_t>(reply, at);
        if (!info)
            break;
        at += sizeof *info;
        const std::size_t outputBytes = std::size_t{info->nOutput} * sizeof(xcb_randr_output_t);
        if (reply.size() - at < outputBytes)
            break;
        Screen monitor{info->x, info->y, info->width, info->height, info->primary != 0, std::nullopt};
        if (info->nOutput > 0)
            monitor.displayId = read<xcb_randr_output_t>(reply, at);
        at += outputBytes;
        monitors.push_back(monitor);
    }
    return monitors;
}

std::optional<DisplayFacts> displayFromOutputInfoReply(std::span<const std::uint8_t> reply)
{
    const auto header = read<xcb_randr_get_output_info_reply_t>(reply, 0);
    if (!header)
        return std::nullopt;
    const auto size = [](std::uint32_t millimetres) {
        return millimetres > 0x7FFFFFFF ? 0 : millimetres;
    };
    DisplayFacts facts{size(header->mm_width), size(header->mm_height), {}, {}};
    // The name follows the output's CRTCs, modes and clones, 4 bytes each.
    const std::size_t nameAt = sizeof *header +
        (std::size_t{header->num_crtcs} + header->num_modes + header->num_clones) * 4;
    if (nameAt <= reply.size() && header->name_len <= maximumConnectorNameLength) {
        const auto name = reply.subspan(nameAt, std::min<std::size_t>(header->name_len, reply.size() - nameAt));
        facts.connectorName.assign(name.begin(), name.end());
    }
    return facts;
}

std::optional<platform_shared::EdidIdentity> edidIdentityFromPropertyReply(std::span<const std::uint8_t> reply)
{
    const auto header = read<xcb_randr_get_output_property_reply_t>(reply, 0);
    if (!header || header->format != 8)
        return std::nullopt;
    const auto data = reply.subspan(sizeof *header);
    const std::size_t length = std::min<std::size_t>(header->num_items, data.size());
    if (length == 0)
        return std::nullopt;
    return platform_shared::readEdidIdentity(data.first(length));
}

void turnWithScreen(DisplayFacts& display, const Screen& screen)
{
    const bool portrait = screen.height > screen.width, landscape = screen.width > screen.height;
    const std::uint32_t wide = display.widthMillimetres, high = display.heightMillimetres;
    if (wide > 0 && high > 0 && ((portrait && wide > high) || (landscape && high > wide)))
        std::swap(display.widthMillimetres, display.heightMillimetres);
}

}  // namespace lsscreens::linux_platform
