// The X server, as the Linux platform reads it through RandR 1.5: the active
// monitors of every X screen, and per output its physical size and EDID.
// Every failure (no server, no RandR 1.5, an X error, a malformed reply) shows
// as an empty list or an absent value; none ends the process.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/linux/screen_source.h"

struct xcb_connection_t;

namespace lsscreens::linux_platform {

class X11Display final : public ScreenSource {
public:
    // Connects to the server that DISPLAY names, if any.
    X11Display();
    ~X11Display() override;
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    // Active monitors of every X screen, in server order, X screen by X
    // screen; each X screen may mark one primary.
    std::vector<Monitor> monitors() const override;

    // Absent when the id names no output of this server. Makes two round
    // trips: the output's info (size and name) and its EDID property.
    std::optional<OutputFacts> output(std::uint32_t id) const override;

private:
    struct Disconnect {
        void operator()(xcb_connection_t* connection) const;
    };
    std::unique_ptr<xcb_connection_t, Disconnect> connection_;
    bool hasRandr15_ = false;
    std::uint32_t edidAtom_ = 0;  // 0 (None) when no output has ever had an EDID
};

}  // namespace lsscreens::linux_platform
