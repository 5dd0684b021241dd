// Test-only: runs the macOS adaptor and the real core on GNUstep's AppKit,
// with CoreGraphics, IOKit and CFRelease defined here after Apple's documented
// behaviour and answering from a scripted world. Every dictionary and handle
// handed to the adaptor is counted; the exit status says whether each was
// given back exactly once.
#import <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>
#include <IOKit/graphics/IOGraphicsLib.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "report/screen_report.h"

namespace {

// CoreGraphics' displays by id. Display 3 is no display (CoreGraphics answers
// 0xFFFFFFFF and 0×0 mm); display 4 is display 0's twin, whose registry walk is
// refused.
struct Display { uint32_t vendor, model, serial; CGSize millimetres; };
const std::map<CGDirectDisplayID, Display> displays{{0, {0x10AC, 0xA0C1, 0, {597.9, 336.2}}},
    {1, {0x10AC, 0xA0C1, 1, {527, 296}}}, {2, {0x4C2D, 0x0E5A, 5, {344, 194}}}, {4, {0x10AC, 0xA0C1, 0, {600, 340}}}};
Display displayOf(CGDirectDisplayID id) { return displays.count(id) ? displays.at(id) : Display{~0u, ~0u, ~0u, {}}; }

// The registry's seven display services, in its order (handles 1 to 7), as
// IODisplayCreateInfoDictionary describes them.
id infoOf(io_service_t service)
{
    NSString *vendor = @"DisplayVendorID", *product = @"DisplayProductID", *serial = @"DisplaySerialNumber";
    NSString *names = @"DisplayProductName", *noUTF8 = [NSString stringWithFormat:@"%C", unichar{0xD800}];
    const id registry[] = {nil,  // a service without an info dictionary
        // would match display 0 but for the key that is not text
        @{vendor: @0x10AC, product: @0xA0C1, @7: @"seven"},
        // would match display 0 if its vendor number were truncated
        @{vendor: @4268.5, product: @0xA0C1, names: @{@"en_US": @"Decoy"}},
        // display 0 (and 4): a serial beyond 2^63 is inexact, so it counts as 0
        @{vendor: @0x10AC, product: @0xA0C1, serial: @0x8000000000000007ULL,
          names: @{@"fr_FR": @"Écran", @"en_US": @"Screen"}},
        // display 1: a floating product id, a boolean serial, a lone surrogate as name
        @{vendor: @0x10AC, product: @41153.0, serial: @(YES), names: @{@"en_US": noUTF8}},
        // would match display 2 if its serial number were truncated to 32 bits
        @{vendor: @0x4C2D, product: @0x0E5A, serial: @0x100000005LL, names: @{@"en_US": @"Decoy"}},
        // display 2: one name is not text
        @{vendor: @0x4C2D, product: @0x0E5A, serial: @5, names: @{@"en_US": @"Monitor", @"de_DE": @42}}};
    return registry[service - 1];
}

// Every dictionary handed out, with two references of this list's own: one
// release too many leaves it alive, and shows at exit. Registry handles handed
// out and not yet released.
std::vector<id> handedOut;
std::map<io_object_t, int> handles;
std::map<io_iterator_t, io_service_t> iteratorPositions;
int requests = 0;

// The object build() returns, handed out with a +1 reference as the Create
// rule says; built in a pool of its own, as the caller may have none open.
template <typename Build> id created(Build build)
{
    @autoreleasepool {
        const id object = [build() retain];
        handedOut.push_back([[object retain] retain]);
        return object;
    }
}

}  // namespace

const mach_port_t kIOMasterPortDefault = 0;

CGSize CGDisplayScreenSize(CGDirectDisplayID display) { return displayOf(display).millimetres; }
uint32_t CGDisplayVendorNumber(CGDirectDisplayID display) { return displayOf(display).vendor; }
uint32_t CGDisplayModelNumber(CGDirectDisplayID display) { return displayOf(display).model; }
uint32_t CGDisplaySerialNumber(CGDirectDisplayID display) { return displayOf(display).serial; }

void CFRelease(CFTypeRef object) { [(id)object release]; }

CFMutableDictionaryRef IOServiceMatching(const char* name)
{
    return (CFMutableDictionaryRef)created(
        [&] { return [NSMutableDictionary dictionaryWithObject:@(name) forKey:@"IOProviderClass"]; });
}

kern_return_t IOServiceGetMatchingServices(mach_port_t, CFDictionaryRef matching, io_iterator_t* existing)
{
    CFRelease(matching);  // consumed on every road
    if (++requests == 5)  // the walk for the fifth screen is refused
        return kIOReturnBadArgument;
    ++handles[*existing = 100 + requests];  // a new iterator, before the first service
    return KERN_SUCCESS;
}

io_object_t IOIteratorNext(io_iterator_t iterator)
{
    io_service_t& position = iteratorPositions[iterator];
    if (position == 7)  // the registry's last
        return 0;
    ++handles[++position];
    return position;
}

kern_return_t IOObjectRelease(io_object_t object) { return --handles[object] < 0 ? kIOReturnBadArgument : KERN_SUCCESS; }

CFDictionaryRef IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits)
{
    return (CFDictionaryRef)created([&] { return infoOf(service); });
}

// On a Mac the adaptor needs no application object; GNUstep's screens need
// the back end's connection to the X server, which the application makes.
int main()
{
    @autoreleasepool { [NSApplication sharedApplication]; }
    std::fputs(lsscreens::screenReport().json.c_str(), stdout);
    // Unbalanced: a handle not given back once, a dictionary held by more or less than handedOut's own two references.
    return std::any_of(handles.begin(), handles.end(), [](const auto& handle) { return handle.second != 0; }) ||
           std::any_of(handedOut.begin(), handedOut.end(), [](id object) { return object && [object retainCount] != 2; });
}
