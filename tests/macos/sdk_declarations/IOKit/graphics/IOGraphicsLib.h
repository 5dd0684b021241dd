// Test-only: the IOGraphics declarations the macOS adaptor uses, after
// Apple's documented signatures. See ../../README.md.
#pragma once

#include <IOKit/IOKitLib.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    kIODisplayOnlyPreferredName = 0x00000200,
};

CFDictionaryRef IODisplayCreateInfoDictionary(io_service_t framebuffer, IOOptionBits options);

#ifdef __cplusplus
}
#endif
