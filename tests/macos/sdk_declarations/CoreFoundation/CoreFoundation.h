// Test-only: the CoreFoundation declarations the macOS adaptor uses, after
// Apple's documented signatures. See ../README.md.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef const void* CFTypeRef;
typedef const struct __CFDictionary* CFDictionaryRef;
typedef struct __CFDictionary* CFMutableDictionaryRef;

void CFRelease(CFTypeRef cf);

#ifdef __cplusplus
}
#endif
