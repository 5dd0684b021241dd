// Test-only: the IOKit declarations the macOS adaptor uses, after Apple's
// documented signatures. See ../README.md.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned int mach_port_t;
typedef int kern_return_t;
typedef mach_port_t io_object_t;
typedef io_object_t io_iterator_t;
typedef io_object_t io_service_t;
typedef kern_return_t IOReturn;
typedef uint32_t IOOptionBits;

#define KERN_SUCCESS 0
#define kIOReturnBadArgument ((IOReturn)0xe00002c2)

extern const mach_port_t kIOMasterPortDefault;
extern const mach_port_t kIOMainPortDefault;

CFMutableDictionaryRef IOServiceMatching(const char* name);
kern_return_t IOServiceGetMatchingServices(mach_port_t mainPort, CFDictionaryRef matching,
                                           io_iterator_t* existing);
io_object_t IOIteratorNext(io_iterator_t iterator);
kern_return_t IOObjectRelease(io_object_t object);

#ifdef __cplusplus
}
#endif
