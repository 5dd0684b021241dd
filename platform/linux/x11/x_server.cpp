#include "platform/linux/x11/x_server.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <system_error>
#include <thread>

#include "platform/linux/standard_error_discarded.h"
#include "platform/linux/x11/display_address.h"
#include "platform/linux/x11/replies.h"
#include "platform/linux/x11/xcb_library.h"
#include "platform/shared/edid.h"

namespace lsscreens::linux_platform {

namespace {

// xcb hands out replies and errors allocated with malloc.
struct Free {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, Free>;

// A reply, its error (if any) freed with it.
template <typename T, typename Cookie>
XcbReply<T> reply(T* (*replyOf)(xcb_connection_t*, Cookie, xcb_generic_error_t**), xcb_connection_t* connection,
                  Cookie cookie)
{
    xcb_generic_error_t* error = nullptr;
    XcbReply<T> answer(replyOf(connection, cookie, &error));
    std::free(error);
    return answer;
}

// The bytes of a reply as the server sized it: 32 bytes plus 4 per length unit.
template <typename Reply>
std::span<const std::uint8_t> replyBytes(const Reply& reply)
{
    return {reinterpret_cast<const std::uint8_t*>(&reply), 32 + std::size_t{reply.length} * 4};
}

// The bytes of the setup as the server sized it: 8 bytes plus 4 per length unit.
std::span<const std::uint8_t> setupBytes(const xcb_setup_t& setup)
{
    return {reinterpret_cast<const std::uint8_t*>(&setup), 8 + std::size_t{setup.length} * 4};
}

// The largest EDID there is, in the 4-byte units the property request counts.
constexpr std::uint32_t maximumEdidUnits = platform_shared::maximumEdidSize / 4;

// Outputs asked about per round trip, two requests each, so that the replies
// xcb holds at once stay a bounded lot (each at most 64 KiB of name or 32 KiB
// of EDID) whatever the number of outputs.
constexpr std::size_t outputsPerBatch = 128;

class Connection {
public:
    Connection(const XcbLibrary& xcb, const char* display) : xcb_(xcb), connection_(xcb.connect(display, nullptr)) {}
    ~Connection()
    {
        // A failed connection is an error object that still has to be let go.
        if (connection_)
            xcb_.disconnect(connection_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    xcb_connection_t* get() const { return connection_; }
    // 0 while usable, else xcb's reason (XCB_CONN_ERROR, XCB_CONN_CLOSED_PARSE_ERR, ...).
    int error() const { return connection_ ? xcb_.connectionHasError(connection_) : XCB_CONN_ERROR; }

private:
    const XcbLibrary& xcb_;
    xcb_connection_t* connection_;
};

// Whether the server has RandR 1.5; absent when it did not say.
std::optional<bool> hasRandr15(const XcbLibrary& xcb, xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* randr = xcb.getExtensionData(connection, xcb.randrId);
    if (!randr || !randr->present)
        return randr ? std::optional(false) : std::nullopt;
    const auto version = reply(xcb.randrQueryVersionReply, connection, xcb.randrQueryVersion(connection, 1, 5));
    if (!version)
        return std::nullopt;
    return version->major_version > 1 || (version->major_version == 1 && version->minor_version >= 5);
}

// The atom, XCB_ATOM_NONE when no output has ever had an EDID; absent when
// the server did not say.
std::optional<xcb_atom_t> existingAtom(const XcbLibrary& xcb, xcb_connection_t* connection, const char* name)
{
    const auto atom = reply(xcb.internAtomReply, connection,
                            xcb.internAtom(connection, 1, static_cast<std::uint16_t>(std::strlen(name)), name));
    return atom ? std::optional(atom->atom) : std::nullopt;
}

// Each output's info and EDID property, asked for in batches; an output
// whose info does not come names no output.
void readOutputs(const XcbLibrary& xcb, xcb_connection_t* c, xcb_atom_t edidAtom,
                 std::span<const xcb_randr_output_t> outputs, Screens& screens)
{
    struct Requests {
        xcb_randr_get_output_info_cookie_t info;
        std::optional<xcb_randr_get_output_property_cookie_t> edid;
    };
    std::vector<Requests> requests;
    for (std::size_t first = 0; first < outputs.size(); first += outputsPerBatch) {
        const auto batch = outputs.subspan(first, std::min(outputsPerBatch, outputs.size() - first));
        requests.clear();
        for (const xcb_randr_output_t output : batch) {
            requests.push_back({xcb.randrGetOutputInfo(c, output, XCB_CURRENT_TIME), std::nullopt});
            if (edidAtom != XCB_ATOM_NONE)
                requests.back().edid =
                    xcb.randrGetOutputProperty(c, output, edidAtom, XCB_ATOM_ANY, 0, maximumEdidUnits, 0, 0);
        }
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const auto info = reply(xcb.randrGetOutputInfoReply, c, requests[i].info);
            const auto property =
                requests[i].edid ? reply(xcb.randrGetOutputPropertyReply, c, *requests[i].edid) : nullptr;
            std::optional<DisplayFacts> facts = info ? displayFromOutputInfoReply(replyBytes(*info)) : std::nullopt;
            if (!facts)
                continue;
            if (property)
                facts->edid = edidIdentityFromPropertyReply(replyBytes(*property));
            screens.displays[batch[i]] = std::move(*facts);
        }
    }
}

// Everything the run needs: the roots from the setup, the monitors of every
// X screen (all asked for before the first answer is read), then each
// monitor's first output. A server without RandR 1.5 gives each X screen's
// root as one screen. Absent when the server did not answer in full: a
// setup that lies, an error where there must be an answer, a connection lost.
std::optional<Screens> screensOfServer(const XcbLibrary& xcb, xcb_connection_t* c)
{
    const std::optional<std::vector<Root>> roots = rootsFromSetup(setupBytes(*xcb.getSetup(c)));
    const std::optional<bool> randr = roots ? hasRandr15(xcb, c) : std::nullopt;
    if (!randr)
        return std::nullopt;
    Screens screens;
    if (!*randr) {
        for (const Root& root : *roots)
            screens.list.push_back({0, 0, root.width, root.height, false, std::nullopt});
        return screens;
    }
    const std::optional<xcb_atom_t> edidAtom = existingAtom(xcb, c, "EDID");
    if (!edidAtom)
        return std::nullopt;

    std::vector<xcb_randr_get_monitors_cookie_t> monitorRequests;
    for (const Root& root : *roots)
        monitorRequests.push_back(xcb.randrGetMonitors(c, root.window, 1));
    for (const auto request : monitorRequests) {
        const auto monitors = reply(xcb.randrGetMonitorsReply, c, request);
        if (!monitors)
            return std::nullopt;
        // The reply is xcb's, as large as the server made it; what is kept of it is capped.
        const std::vector<Screen> found =
            screensFromMonitorsReply(replyBytes(*monitors), maximumScreens - screens.list.size());
        screens.list.insert(screens.list.end(), found.begin(), found.end());
    }

    std::vector<xcb_randr_output_t> outputs;  // each first output once
    for (const Screen& monitor : screens.list)
        if (monitor.displayId)
            outputs.push_back(*monitor.displayId);
    std::sort(outputs.begin(), outputs.end());
    outputs.erase(std::unique(outputs.begin(), outputs.end()), outputs.end());
    readOutputs(xcb, c, *edidAtom, outputs, screens);
    if (xcb.connectionHasError(c))
        return std::nullopt;
    for (const Screen& screen : screens.list)
        if (const auto display = screen.displayId ? screens.displays.find(*screen.displayId) : screens.displays.end();
            display != screens.displays.end())
            turnWithScreen(display->second, screen);
    return screens;
}

// The whole conversation. When xcb could not connect (or cannot be loaded),
// whether anything accepts a connection where xcb would have connected tells
// an X server that refused from none at all.
Answer ask(const std::string& display)
{
    if (const XcbLibrary* xcb = xcbLibrary()) {
        const Connection connection(*xcb, display.c_str());
        if (connection.error() == 0) {
            std::optional<Screens> screens = screensOfServer(*xcb, connection.get());
            return screens ? Answer::complete(std::move(*screens)) : Answer::incomplete();
        }
        if (connection.error() == XCB_CONN_CLOSED_PARSE_ERR)
            return Answer::absent();  // a name xcb cannot read names no server
    }
    const std::optional<X11Address> address = x11AddressOf(display);
    return address && somethingAccepts(*address) ? Answer::incomplete() : Answer::absent();
}

// What the reading thread and the waiting run share; whichever of them lets
// go last destroys it. While it lives, descriptor 2 points at /dev/null:
// libxcb writes a refusing server's reason there itself (with no option or
// hook to turn it off), even after the run has stopped waiting.
struct Conversation {
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<Answer> answer;
    StandardErrorDiscarded quiet;
};

}  // namespace

Answer askX11(Deadline deadline)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return Answer::absent();
    const auto conversation = std::make_shared<Conversation>();
    try {
        std::thread([conversation, display = std::string(display)] {
            // A server that stops reading makes xcb's writes raise SIGPIPE in
            // the writing thread, this one: blocked here, a write fails with
            // EPIPE and the connection reports an error instead. The rest of
            // the process, standard output's writes included, keeps the default.
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
            Answer answer = ask(display);
            const std::lock_guard lock(conversation->mutex);
            conversation->answer = std::move(answer);
            conversation->answered.notify_one();
        }).detach();
    } catch (const std::system_error&) {
        return Answer::incomplete();  // no thread to be had: no time to ask either
    }
    std::unique_lock lock(conversation->mutex);
    if (!conversation->answered.wait_until(lock, deadline, [&] { return conversation->answer.has_value(); }))
        return Answer::incomplete();
    return std::move(*conversation->answer);
}

}  // namespace lsscreens::linux_platform
