// The platform seam on macOS: a thin adaptor onto AppKit, CoreGraphics and
// IOKit. Foundation objects are converted into the seam's value model
// (foreign_object.h). Dictionaries the frameworks create are released as soon
// as they are converted, so after a call returns the adaptor holds nothing of
// theirs but the screen list, kept for the run. No application is started and
// no window is opened. Written for manual reference counting (no ARC).

// The seam's declarations come first: the system headers define some of the
// same names as macros (KERN_SUCCESS) that the seam declares as constants.
#include "display/appkit.h"
#include "display/core_graphics.h"
#include "display/iokit.h"
#include "platform/macos/foreign_object.h"
#include "platform/shared/registry_objects.h"

#import <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>
#include <IOKit/IOKitLib.h>
#include <IOKit/graphics/IOGraphicsLib.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <map>

// Everything that names a framework type lives outside namespace lsscreens,
// whose NSScreen, NSRect, CGSize and CFTypeRef are the seam's own.
namespace {

using lsscreens::macos_platform::ForeignObject;

// Autoreleased objects need a pool: there is no event loop to provide one.
class ScopedAutoreleasePool {
public:
    ScopedAutoreleasePool() : pool_([[NSAutoreleasePool alloc] init]) {}
    ~ScopedAutoreleasePool() { [pool_ drain]; }
    ScopedAutoreleasePool(const ScopedAutoreleasePool&) = delete;
    ScopedAutoreleasePool& operator=(const ScopedAutoreleasePool&) = delete;

private:
    NSAutoreleasePool* pool_;
};

bool hasObjCType(NSNumber* number, const char* type)
{
    const char* own = [number objCType];
    return own && std::strcmp(own, type) == 0;
}

// A borrowed Foundation object, read for the conversion.
class FoundationObject final : public ForeignObject {
public:
    explicit FoundationObject(id object) : object_(object) {}

    Kind kind() const override
    {
        if ([object_ isKindOfClass:[NSNumber class]]) {
            NSNumber* number = (NSNumber*)object_;
            const bool floating = hasObjCType(number, @encode(double)) || hasObjCType(number, @encode(float));
            return floating ? Kind::floatingNumber : Kind::integerNumber;  // booleans are 0 or 1
        }
        if ([object_ isKindOfClass:[NSString class]])
            return Kind::text;
        if ([object_ isKindOfClass:[NSDictionary class]])
            return Kind::dictionary;
        return Kind::other;
    }

    std::optional<std::int64_t> signedValue() const override
    {
        NSNumber* number = (NSNumber*)object_;
        if (hasObjCType(number, @encode(unsigned long long)) &&
            [number unsignedLongLongValue] > static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max()))
            return std::nullopt;
        return static_cast<std::int64_t>([number longLongValue]);
    }

    std::optional<std::uint64_t> unsignedValue() const override
    {
        return static_cast<std::uint64_t>([(NSNumber*)object_ unsignedLongLongValue]);
    }

    double floatingValue() const override { return [(NSNumber*)object_ doubleValue]; }

    std::optional<std::string> utf8() const override
    {
        NSData* bytes = [(NSString*)object_ dataUsingEncoding:NSUTF8StringEncoding];
        if (!bytes)
            return std::nullopt;
        if ([bytes length] == 0)
            return std::string();
        return std::string(static_cast<const char*>([bytes bytes]), [bytes length]);
    }

    void forEachEntry(
        const std::function<void(const ForeignObject& key, const ForeignObject& value)>& visit) const override
    {
        NSDictionary* dictionary = (NSDictionary*)object_;
        NSEnumerator* keys = [dictionary keyEnumerator];
        for (id key = [keys nextObject]; key != nil; key = [keys nextObject])
            visit(FoundationObject(key), FoundationObject([dictionary objectForKey:key]));
    }

private:
    id object_;
};

// The screens of this run, retained until the process exits.
NSArray* screenList = nil;

std::size_t loadScreens()
{
    ScopedAutoreleasePool pool;
    [screenList release];
    screenList = [[NSScreen screens] retain];
    return [screenList count];
}

NSScreen* screenAt(std::size_t index)
{
    return (NSScreen*)[screenList objectAtIndex:index];
}

lsscreens::NSRect frameOf(std::size_t index)
{
    ScopedAutoreleasePool pool;
    const NSRect frame = [screenAt(index) frame];
    return {{frame.origin.x, frame.origin.y}, {frame.size.width, frame.size.height}};
}

lsscreens::Dictionary deviceDescriptionOf(std::size_t index)
{
    ScopedAutoreleasePool pool;
    return lsscreens::macos_platform::toDictionary(FoundationObject([screenAt(index) deviceDescription]));
}

lsscreens::CGSize screenSizeOf(CGDirectDisplayID display)
{
    const CGSize size = CGDisplayScreenSize(display);
    return {size.width, size.height};
}

// kIOMasterPortDefault was renamed kIOMainPortDefault in macOS 12; both are
// the default port. Use the one the deployment target has without warnings.
mach_port_t defaultMainPort()
{
#if defined(MAC_OS_VERSION_12_0) && MAC_OS_X_VERSION_MIN_REQUIRED >= MAC_OS_VERSION_12_0
    return kIOMainPortDefault;
#else
    return kIOMasterPortDefault;
#endif
}

// The matching dictionaries handed out and not yet passed to the registry,
// by the seam's handle for them.
std::map<lsscreens::CFTypeRef, CFMutableDictionaryRef>& pendingMatching()
{
    static std::map<lsscreens::CFTypeRef, CFMutableDictionaryRef> pending;
    return pending;
}

lsscreens::platform_shared::LiveObjects& liveObjects()
{
    static lsscreens::platform_shared::LiveObjects objects;
    return objects;
}

CFMutableDictionaryRef createMatching(const char* className)
{
    return IOServiceMatching(className);
}

kern_return_t getMatchingServices(CFMutableDictionaryRef matching, io_iterator_t* existing)
{
    if (!matching)
        return kIOReturnBadArgument;
    return IOServiceGetMatchingServices(defaultMainPort(), matching, existing);  // consumes matching
}

// The info dictionary converted, and released before this returns.
std::optional<lsscreens::Value> copyInfoDictionary(io_service_t service, IOOptionBits options)
{
    const CFDictionaryRef info = IODisplayCreateInfoDictionary(service, options);
    if (!info)
        return std::nullopt;
    std::optional<lsscreens::Value> converted;
    {
        ScopedAutoreleasePool pool;
        converted = lsscreens::macos_platform::toValue(FoundationObject((NSDictionary*)info));
    }
    CFRelease(info);
    return converted;
}

void releaseMatching(CFMutableDictionaryRef matching)
{
    CFRelease(matching);
}

}  // namespace

namespace lsscreens {

std::vector<NSScreen> NSScreen::screens()
{
    std::vector<NSScreen> screens;
    const std::size_t count = loadScreens();
    for (std::size_t index = 0; index < count; ++index)
        screens.emplace_back(index);
    return screens;
}

// AppKit answers from the window server's state; its list cannot be partial.
bool NSScreen::screensComplete() { return true; }

NSRect NSScreen::frame() const { return frameOf(platformIndex()); }
Dictionary NSScreen::deviceDescription() const { return deviceDescriptionOf(platformIndex()); }

CGSize CGDisplayScreenSize(CGDirectDisplayID display) { return screenSizeOf(display); }
std::uint32_t CGDisplayVendorNumber(CGDirectDisplayID display) { return ::CGDisplayVendorNumber(display); }
std::uint32_t CGDisplayModelNumber(CGDirectDisplayID display) { return ::CGDisplayModelNumber(display); }
std::uint32_t CGDisplaySerialNumber(CGDirectDisplayID display) { return ::CGDisplaySerialNumber(display); }

CFOwned IOServiceMatching(const char* className)
{
    const CFMutableDictionaryRef matching = createMatching(className);
    if (!matching)
        return {};
    CFOwned handle = liveObjects().add(Dictionary{{"IOProviderClass", className}});
    pendingMatching()[handle.get()] = matching;
    return handle;
}

kern_return_t IOServiceGetMatchingServices(mach_port_t, CFOwned matching, io_iterator_t* existing)
{
    CFMutableDictionaryRef real = nullptr;
    if (const auto found = pendingMatching().find(matching.get()); found != pendingMatching().end()) {
        real = found->second;
        pendingMatching().erase(found);  // the registry takes it over
    }
    return getMatchingServices(real, existing);
}

io_object_t IOIteratorNext(io_iterator_t iterator) { return ::IOIteratorNext(iterator); }
kern_return_t IOObjectRelease(io_object_t object) { return ::IOObjectRelease(object); }

CFOwned IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits options)
{
    std::optional<Value> info = copyInfoDictionary(service, options);
    if (!info)
        return {};
    return liveObjects().add(std::move(*info));
}

void CFRelease(CFTypeRef object)
{
    if (const auto found = pendingMatching().find(object); found != pendingMatching().end()) {
        releaseMatching(found->second);  // never handed to the registry
        pendingMatching().erase(found);
    }
    liveObjects().release(object);
}

}  // namespace lsscreens
