// Test-only: the CoreGraphics declarations the macOS adaptor uses, after
// Apple's documented signatures. See ../README.md.
#pragma once

#include <stdint.h>

#include <Foundation/NSObjCRuntime.h>  // CGFloat

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t CGDirectDisplayID;

struct CGSize {
    CGFloat width;
    CGFloat height;
};
typedef struct CGSize CGSize;

CGSize CGDisplayScreenSize(CGDirectDisplayID display);
uint32_t CGDisplayVendorNumber(CGDirectDisplayID display);
uint32_t CGDisplayModelNumber(CGDirectDisplayID display);
uint32_t CGDisplaySerialNumber(CGDirectDisplayID display);

#ifdef __cplusplus
}
#endif
