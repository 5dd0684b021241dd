// Test-only: runs the macOS adaptor and the real core on GNUstep's AppKit,
// with CoreGraphics, IOKit and CFRelease defined here after Apple's documented
// behaviour and answering from a scripted world. Every dictionary and handle
// handed to the adaptor is counted; the exit status says whether each was
// given back exactly once.
#import <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>
#include <IOKit/graphics/IOGraphicsLib.h>

#include <cstdio>
#include <map>

#include "report/screen_report.h"

namespace {

// CoreGraphics' displays by id. Display 3 is no display; display 4 is display
// 0's twin, whose registry walk is refused.
struct Display { uint32_t vendor, model, serial; CGSize millimetres; };
const std::map<CGDirectDisplayID, Display> displays{{0, {0x10AC, 0xA0C1, 0, {597.9, 336.2}}},
    {1, {0x10AC, 0xA0C1, 1, {527, 296}}}, {2, {0x4C2D, 0x0E5A, 5, {344, 194}}}, {4, {0x10AC, 0xA0C1, 0, {600, 340}}}};
const Display noDisplay{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, {0, 0}};  // for an id that names none
const Display& displayOf(CGDirectDisplayID id) { return displays.count(id) ? displays.at(id) : noDisplay; }

// The registry's display services, in its order (handles 1 to 7), as
// IODisplayCreateInfoDictionary describes them.
NSDictionary* infoOf(io_service_t service)
{
    NSArray* registry = @[
        [NSNull null],  // a service without an info dictionary
        // would match display 0 but for the key that is not text
        @{@"DisplayVendorID": @0x10AC, @"DisplayProductID": @0xA0C1, @7: @"seven"},
        // would match display 0 if its vendor number were truncated
        @{@"DisplayVendorID": @4268.5, @"DisplayProductID": @0xA0C1, @"DisplayProductName": @{@"en_US": @"Decoy"}},
        // display 0 (and 4): a serial beyond 2^63 is inexact, so it counts as 0
        @{@"DisplayVendorID": @0x10AC, @"DisplayProductID": @0xA0C1, @"DisplaySerialNumber": @0x8000000000000007ULL,
          @"DisplayProductName": @{@"fr_FR": @"Écran", @"en_US": @"Screen"}},
        // display 1: a floating product id, a boolean serial, a lone surrogate (no UTF-8 form)
        @{@"DisplayVendorID": @0x10AC, @"DisplayProductID": @41153.0, @"DisplaySerialNumber": [NSNumber numberWithBool:1],
          @"DisplayProductName": @{@"en_US": [NSString stringWithFormat:@"%C", unichar{0xD800}]}},
        // would match display 2 if its serial number were truncated to 32 bits
        @{@"DisplayVendorID": @0x4C2D, @"DisplayProductID": @0x0E5A, @"DisplaySerialNumber": @0x100000005LL,
          @"DisplayProductName": @{@"en_US": @"Decoy"}},
        // display 2: one name is not text
        @{@"DisplayVendorID": @0x4C2D, @"DisplayProductID": @0x0E5A, @"DisplaySerialNumber": @5,
          @"DisplayProductName": @{@"en_US": @"Monitor", @"de_DE": @42}}];
    const id info = [registry objectAtIndex:service - 1];
    return info == [NSNull null] ? nil : info;
}
const io_service_t serviceCount = 7;

// References handed out and not yet given back, by object address or handle.
std::map<uintptr_t, int> outstanding;
bool unbalanced = false;
NSMutableArray* handedOutObjects = nil;  // kept so that each can be checked at exit
std::map<io_iterator_t, io_service_t> iteratorPositions;
int requests = 0;

void handOut(uintptr_t key) { ++outstanding[key]; }
bool giveBack(uintptr_t key) { const bool owed = --outstanding[key] >= 0; unbalanced |= !owed; return owed; }

// The object build() returns, handed out with a +1 reference as the Create
// rule says; built in a pool of its own, as the caller may have none open.
template <typename Build> id created(Build build)
{
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    id object = [build() retain];
    [pool drain];
    if (object) {
        [handedOutObjects addObject:object];
        handOut(reinterpret_cast<uintptr_t>(object));
    }
    return object;
}

bool allGivenBack()
{
    for (const auto& [key, count] : outstanding)
        unbalanced |= count != 0;
    for (id object in handedOutObjects)  // nobody but this list may still hold one
        unbalanced |= [object retainCount] != 1;
    [handedOutObjects release];
    return !unbalanced;
}

}  // namespace

extern "C" {

const mach_port_t kIOMasterPortDefault = 0;

CGSize CGDisplayScreenSize(CGDirectDisplayID display) { return displayOf(display).millimetres; }
uint32_t CGDisplayVendorNumber(CGDirectDisplayID display) { return displayOf(display).vendor; }
uint32_t CGDisplayModelNumber(CGDirectDisplayID display) { return displayOf(display).model; }
uint32_t CGDisplaySerialNumber(CGDirectDisplayID display) { return displayOf(display).serial; }

void CFRelease(CFTypeRef object)
{
    if (giveBack(reinterpret_cast<uintptr_t>(object)))
        [(id)object release];
}

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
    *existing = 100 + requests;
    handOut(*existing);
    iteratorPositions[*existing] = 0;
    return KERN_SUCCESS;
}

io_object_t IOIteratorNext(io_iterator_t iterator)
{
    io_service_t& position = iteratorPositions.at(iterator);
    if (position == serviceCount)
        return 0;
    handOut(++position);
    return position;
}

kern_return_t IOObjectRelease(io_object_t object) { return giveBack(object) ? KERN_SUCCESS : kIOReturnBadArgument; }

CFDictionaryRef IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits)
{
    return (CFDictionaryRef)created([&] { return infoOf(service); });
}

}  // extern "C"

// On a Mac the adaptor needs no application object; GNUstep's screens need
// the back end's connection to the X server, which the application makes.
int main()
{
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    [[NSUserDefaults standardUserDefaults] registerDefaults:@{@"GSX11HandlesWindowDecorations": @"NO"}];
    [NSApplication sharedApplication];
    handedOutObjects = [[NSMutableArray alloc] init];
    [pool drain];
    const std::string report = lsscreens::screenReport();
    std::fwrite(report.data(), 1, report.size(), stdout);
    return allGivenBack() ? 0 : 1;
}
