#include "platform/shared/edid_display_calls.h"

#include "display/iokit.h"

namespace lsscreens {

namespace {

const std::optional<platform_shared::KnownDisplay>& knownDisplay(CGDirectDisplayID display)
{
    return platform_shared::edidDisplays().knownDisplay(display);
}

platform_shared::EdidRegistry& edidRegistry()
{
    return platform_shared::edidDisplays().edidRegistry();
}

}  // namespace

CGSize CGDisplayScreenSize(CGDirectDisplayID display)
{
    const auto& known = knownDisplay(display);
    if (!known)
        return {};
    return {static_cast<double>(known->millimetres.width), static_cast<double>(known->millimetres.height)};
}

// An id that names no screen gives what CoreGraphics gives for no display.
std::uint32_t CGDisplayVendorNumber(CGDirectDisplayID display)
{
    const auto& known = knownDisplay(display);
    return known ? known->identity.vendor : noSuchDisplay;
}

std::uint32_t CGDisplayModelNumber(CGDirectDisplayID display)
{
    const auto& known = knownDisplay(display);
    return known ? known->identity.product : noSuchDisplay;
}

std::uint32_t CGDisplaySerialNumber(CGDirectDisplayID display)
{
    const auto& known = knownDisplay(display);
    return known ? known->identity.serial : noSuchDisplay;
}

CFOwned IOServiceMatching(const char* className)
{
    return edidRegistry().serviceMatching(className);
}

kern_return_t IOServiceGetMatchingServices(mach_port_t, CFOwned matching, io_iterator_t* existing)
{
    return edidRegistry().matchingServices(std::move(matching), existing);
}

io_object_t IOIteratorNext(io_iterator_t iterator)
{
    return edidRegistry().iteratorNext(iterator);
}

kern_return_t IOObjectRelease(io_object_t object)
{
    return edidRegistry().release(object);
}

CFOwned IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits)
{
    return edidRegistry().infoDictionary(service);
}

void CFRelease(CFTypeRef object)
{
    edidRegistry().release(object);
}

}  // namespace lsscreens
