// Fills a table of a library's functions (or data) by name, from a library
// loaded with dlopen; see x11/xcb_library.h, wayland/wayland_library.h and wayland/mutter/sd_bus_library.h.
#pragma once

#include <dlfcn.h>

#include <type_traits>

namespace lsscreens::linux_platform {

// Looks up each entry by name and remembers whether all were found.
class LibraryFunctions {
public:
    explicit LibraryFunctions(void* library) : library_(library) {}

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

}  // namespace lsscreens::linux_platform
