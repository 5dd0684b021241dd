// Test-only: the CoreFoundation, CoreGraphics and IOKit declarations the macOS
// adaptor uses, after Apple's documented signatures (see README.md). The
// headers under CoreFoundation/, CoreGraphics/ and IOKit/ include this one.
#pragma once

#include <stdint.h>

#include <Foundation/NSObjCRuntime.h>  // CGFloat

extern "C" {

typedef const void* CFTypeRef;
typedef const struct __CFDictionary* CFDictionaryRef;
typedef struct __CFDictionary* CFMutableDictionaryRef;
void CFRelease(CFTypeRef cf);

typedef uint32_t CGDirectDisplayID;
struct CGSize {
    CGFloat width;
    CGFloat height;
};
CGSize CGDisplayScreenSize(CGDirectDisplayID display);
uint32_t CGDisplayVendorNumber(CGDirectDisplayID display);
uint32_t CGDisplayModelNumber(CGDirectDisplayID display);
uint32_t CGDisplaySerialNumber(CGDirectDisplayID display);

typedef unsigned int mach_port_t;
typedef int kern_return_t;
typedef mach_port_t io_object_t;
typedef io_object_t io_iterator_t;
typedef io_object_t io_service_t;
typedef kern_return_t IOReturn;
typedef uint32_t IOOptionBits;
#define KERN_SUCCESS 0
#define kIOReturnBadArgument ((IOReturn)0xe00002c2)
enum { kIODisplayOnlyPreferredName = 0x00000200 };
extern const mach_port_t kIOMasterPortDefault;
extern const mach_port_t kIOMainPortDefault;

// Returns a +1 dictionary (the caller owns it).
CFMutableDictionaryRef IOServiceMatching(const char* name);
// Consumes one reference of matching, whatever it returns.
kern_return_t IOServiceGetMatchingServices(mach_port_t mainPort, CFDictionaryRef matching,
                                           io_iterator_t* existing);
// Each object returned is the caller's, to be released with IOObjectRelease;
// 0 when the iterator is exhausted.
io_object_t IOIteratorNext(io_iterator_t iterator);
kern_return_t IOObjectRelease(io_object_t object);
// The Create rule: the caller releases the dictionary with CFRelease.
CFDictionaryRef IODisplayCreateInfoDictionary(io_service_t framebuffer, IOOptionBits options);
}
