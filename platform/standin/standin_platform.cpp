// The platform seam answered from the test's scripted World.
#include <string>

#include "platform/standin/standin_world.h"

namespace lsscreens {

using standin::world;

std::vector<NSScreen> NSScreen::screens()
{
    world().record("NSScreen.screens");
    std::vector<NSScreen> screens;
    for (std::size_t index = 0; index < world().screens.size(); ++index)
        screens.emplace_back(index);
    return screens;
}

NSRect NSScreen::frame() const
{
    world().record("frame(" + std::to_string(platformIndex()) + ")");
    return world().screens.at(platformIndex()).frame;
}

Dictionary NSScreen::deviceDescription() const
{
    world().record("deviceDescription(" + std::to_string(platformIndex()) + ")");
    return world().screens.at(platformIndex()).deviceDescription;
}

namespace {

const standin::Display* findDisplay(CGDirectDisplayID display)
{
    const auto found = world().displays.find(display);
    return found == world().displays.end() ? nullptr : &found->second;
}

}  // namespace

CGSize CGDisplayScreenSize(CGDirectDisplayID display)
{
    world().record("CGDisplayScreenSize(" + std::to_string(display) + ")");
    const auto* known = findDisplay(display);
    return known ? known->millimetres : CGSize{};
}

std::uint32_t CGDisplayVendorNumber(CGDirectDisplayID display)
{
    world().record("CGDisplayVendorNumber(" + std::to_string(display) + ")");
    const auto* known = findDisplay(display);
    return known ? known->vendor : noSuchDisplay;
}

std::uint32_t CGDisplayModelNumber(CGDirectDisplayID display)
{
    world().record("CGDisplayModelNumber(" + std::to_string(display) + ")");
    const auto* known = findDisplay(display);
    return known ? known->model : noSuchDisplay;
}

std::uint32_t CGDisplaySerialNumber(CGDirectDisplayID display)
{
    world().record("CGDisplaySerialNumber(" + std::to_string(display) + ")");
    const auto* known = findDisplay(display);
    return known ? known->serial : noSuchDisplay;
}

CFOwned IOServiceMatching(const char* className)
{
    world().record(std::string("IOServiceMatching(") + className + ")");
    return world().createObject(Dictionary{{"IOProviderClass", className}});
}

kern_return_t IOServiceGetMatchingServices(mach_port_t, CFOwned matching, io_iterator_t* existing)
{
    world().record("IOServiceGetMatchingServices");
    matching.reset();  // consumed on every road
    if (world().matchingStatus != KERN_SUCCESS)
        return world().matchingStatus;
    *existing = world().newIterator();
    return KERN_SUCCESS;
}

io_object_t IOIteratorNext(io_iterator_t iterator)
{
    world().record("IOIteratorNext");
    return world().next(iterator);
}

kern_return_t IOObjectRelease(io_object_t object)
{
    world().record("IOObjectRelease(" + std::to_string(object) + ")");
    world().releaseHandle(object);
    return KERN_SUCCESS;
}

CFOwned IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits options)
{
    world().record("IODisplayCreateInfoDictionary(" + std::to_string(service) + "," +
                   std::to_string(options) + ")");
    const auto index =
        platform_shared::RegistryHandles::serviceIndex(service, world().services.size());
    if (!index)
        return {};
    const auto& info = world().services[*index].info;
    return info ? world().createObject(*info) : CFOwned{};
}

void CFRelease(CFTypeRef object)
{
    world().record("CFRelease");
    world().releaseObject(object);
}

}  // namespace lsscreens
