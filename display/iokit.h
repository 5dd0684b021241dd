// The I/O registry calls the display service lookup and the name lookup make.
// Handles follow the registry's rule: whoever obtains one releases it with
// IOObjectRelease (ScopedIOObject does that).
#pragma once

#include <cstdint>

#include "display/core_foundation.h"

namespace lsscreens {

using io_object_t = std::uint32_t;
using io_iterator_t = io_object_t;
using io_service_t = io_object_t;
using mach_port_t = std::uint32_t;
using kern_return_t = int;
using IOOptionBits = std::uint32_t;

inline constexpr kern_return_t KERN_SUCCESS = 0;
inline constexpr mach_port_t kIOMasterPortDefault = 0;

// Asks IODisplayCreateInfoDictionary for the preferred localization of the
// product name only.
inline constexpr IOOptionBits kIODisplayOnlyPreferredName = 0x200;

// A matching dictionary for the services of one class; empty on failure.
CFOwned IOServiceMatching(const char* className);

// Takes over the matching dictionary (on every road, as the platform does) and
// on success stores an iterator over the matching services in *existing.
kern_return_t IOServiceGetMatchingServices(mach_port_t mainPort, CFOwned matching,
                                           io_iterator_t* existing);

// The next object of the iterator, owned by the caller; 0 when exhausted.
io_object_t IOIteratorNext(io_iterator_t iterator);

kern_return_t IOObjectRelease(io_object_t object);

// The service's info dictionary, owned by the caller; empty when there is none.
CFOwned IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits options);

}  // namespace lsscreens
