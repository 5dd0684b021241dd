// The seam between the tool and its Wayland module. The module holds the
// Wayland session and is the only part linked against libwayland-client, so
// that a run without a compositor never loads that library; it is loaded
// when a compositor has accepted the connection. Plain C across the seam:
// the module carries its own copy of the C++ runtime.
#pragma once

#include <cstdint>

extern "C" {

// One output of a complete session, valid during the call that hands it over.
struct LsscreensWaylandOutput {
    std::int32_t x, y;           // logical position
    std::uint32_t width, height; // logical size
    std::uint32_t widthMillimetres, heightMillimetres;
    std::uint32_t globalName;  // the display id
    bool primary;
    const char* name;  // the connector's name; "" when unknown
};

typedef void (*LsscreensWaylandOutputSink)(void* context, const LsscreensWaylandOutput* output);

// Reads one session on the connected socket, which it takes over and closes,
// until deadlineNanoseconds on the monotonic clock. Only when the session
// completes does it hand over the outputs, in order, and return true.
typedef bool (*LsscreensReadWaylandSession)(int socket, std::int64_t deadlineNanoseconds,
                                            LsscreensWaylandOutputSink sink, void* context);
bool lsscreens_read_wayland_session(int socket, std::int64_t deadlineNanoseconds,
                                    LsscreensWaylandOutputSink sink, void* context);

}  // extern "C"

// The module's file name, and where it is installed relative to the
// executable's directory (set by the build); the build tree keeps it beside
// the executable.
#define LSSCREENS_WAYLAND_MODULE "lsscreens-wayland.so"
