// Test-only: the CoreFoundation, CoreGraphics and IOKit declarations the macOS
// adaptor and the scripted world use, after Apple's documented signatures (see
// docs/macos.md). The headers under CoreGraphics/ and IOKit/ include this one.
#pragma once

#include <Foundation/NSObjCRuntime.h>  // CGFloat, and the fixed-width integers

extern "C" {

typedef const void* CFTypeRef;
typedef const struct __CFDictionary* CFDictionaryRef;
typedef struct __CFDictionary* CFMutableDictionaryRef;
void CFRelease(CFTypeRef cf);

typedef uint32_t CGDirectDisplayID;
struct CGSize { CGFloat width, height; };
CGSize CGDisplayScreenSize(CGDirectDisplayID display);
uint32_t CGDisplayVendorNumber(CGDirectDisplayID display);
uint32_t CGDisplayModelNumber(CGDirectDisplayID display);
uint32_t CGDisplaySerialNumber(CGDirectDisplayID display);

// Registry handles are Mach ports.
typedef unsigned int mach_port_t, io_object_t, io_iterator_t, io_service_t;
typedef int kern_return_t, IOReturn;
typedef uint32_t IOOptionBits;
#define KERN_SUCCESS 0
#define kIOReturnBadArgument ((IOReturn)0xe00002c2)
extern const mach_port_t kIOMasterPortDefault;  // the adaptor names kIOMainPortDefault only from macOS 12 on

// Returns a +1 dictionary (the caller owns it).
CFMutableDictionaryRef IOServiceMatching(const char* name);
// Consumes one reference of matching, whatever it returns.
kern_return_t IOServiceGetMatchingServices(mach_port_t mainPort, CFDictionaryRef matching, io_iterator_t* existing);
// Each object returned is the caller's, to be released with IOObjectRelease;
// 0 when the iterator is exhausted.
io_object_t IOIteratorNext(io_iterator_t iterator);
kern_return_t IOObjectRelease(io_object_t object);
// The Create rule: the caller releases the dictionary with CFRelease.
CFDictionaryRef IODisplayCreateInfoDictionary(io_service_t framebuffer, IOOptionBits options);
}
