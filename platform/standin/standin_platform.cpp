// The platform seam answered from the test's scripted World.
#include <memory>
#include <string>

#include "platform/standin/standin_world.h"

namespace lsscreens {

namespace standin {

namespace {
std::unique_ptr<World>& current()
{
    static auto instance = std::make_unique<World>();
    return instance;
}
}  // namespace

World& world() { return *current(); }
void resetWorld() { current() = std::make_unique<World>(); }

std::string World::ledgerFaults() const
{
    std::string report;
    for (const auto& fault : faults)
        report += fault + "; ";
    for (const auto& [object, name] : objectNames)
        report += name + " not released; ";
    if (handles.outstanding() != 0)
        report += std::to_string(handles.outstanding()) + " handle references not released";
    return report;
}

std::string World::nameOf(io_object_t handle) const
{
    if (handle == 0)
        return "0";
    const auto index = platform_shared::RegistryHandles::serviceIndex(handle, services.size());
    return index ? "service" + std::to_string(*index) : "iterator";
}

CFOwned World::create(Value value, std::string name)
{
    CFOwned object = objects.add(std::move(value));
    objectNames[object.get()] = std::move(name);
    return object;
}

std::string World::release(CFTypeRef object)
{
    const auto found = objectNames.find(object);
    if (found == objectNames.end() || !objects.release(object)) {
        faults.push_back("CFRelease of an object not held");
        return "?";
    }
    const std::string name = found->second;
    objectNames.erase(found);
    return name;
}

}  // namespace standin

using standin::world;

std::vector<NSScreen> NSScreen::screens()
{
    world().calls.push_back("NSScreen.screens");
    std::vector<NSScreen> screens;
    for (std::size_t index = 0; index < world().screens.size(); ++index)
        screens.emplace_back(index);
    return screens;
}

NSRect NSScreen::frame() const
{
    world().calls.push_back("frame(" + std::to_string(platformIndex()) + ")");
    return world().screens.at(platformIndex()).frame;
}

Dictionary NSScreen::deviceDescription() const
{
    world().calls.push_back("deviceDescription(" + std::to_string(platformIndex()) + ")");
    return world().screens.at(platformIndex()).deviceDescription;
}

namespace {

// Logs the call and answers from the scripted display, or as for no display.
standin::Display display(const char* call, CGDirectDisplayID id)
{
    world().calls.push_back(std::string(call) + "(" + std::to_string(id) + ")");
    const auto found = world().displays.find(id);
    return found != world().displays.end()
               ? found->second
               : standin::Display{{}, noSuchDisplay, noSuchDisplay, noSuchDisplay};
}

}  // namespace

CGSize CGDisplayScreenSize(CGDirectDisplayID id) { return display("CGDisplayScreenSize", id).millimetres; }
std::uint32_t CGDisplayVendorNumber(CGDirectDisplayID id) { return display("CGDisplayVendorNumber", id).vendor; }
std::uint32_t CGDisplayModelNumber(CGDirectDisplayID id) { return display("CGDisplayModelNumber", id).model; }
std::uint32_t CGDisplaySerialNumber(CGDirectDisplayID id) { return display("CGDisplaySerialNumber", id).serial; }

CFOwned IOServiceMatching(const char* className)
{
    world().calls.push_back(std::string("IOServiceMatching(") + className + ")");
    return world().create(Dictionary{{"IOProviderClass", className}}, "matching");
}

kern_return_t IOServiceGetMatchingServices(mach_port_t port, CFOwned matching, io_iterator_t* existing)
{
    const Value* request = matching.release();  // consumed on every road, without a CFRelease call
    world().calls.push_back("IOServiceGetMatchingServices(" + std::to_string(port) + "," +
                            (request ? world().release(request) : "none") + ")");
    if (world().matchingStatus == KERN_SUCCESS || world().iteratorDespiteRefusal)
        *existing = world().handles.newIterator(world().services.size());
    return world().matchingStatus;
}

io_object_t IOIteratorNext(io_iterator_t iterator)
{
    const io_object_t next = world().handles.next(iterator);
    world().calls.push_back("IOIteratorNext=" + world().nameOf(next));
    return next;
}

kern_return_t IOObjectRelease(io_object_t object)
{
    world().calls.push_back("IOObjectRelease(" + world().nameOf(object) + ")");
    if (!world().handles.release(object))
        world().faults.push_back("IOObjectRelease(" + world().nameOf(object) + ") not held");
    return KERN_SUCCESS;
}

CFOwned IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits options)
{
    world().calls.push_back("IODisplayCreateInfoDictionary(" + world().nameOf(service) + "," +
                            std::to_string(options) + ")");
    const auto index = platform_shared::RegistryHandles::serviceIndex(service, world().services.size());
    if (!index)
        return {};
    const standin::Service& scripted = world().services[*index];
    if (!scripted.info || (scripted.infoOnlyOnce && world().infoRequests[*index]++ > 0))
        return {};
    return world().create(*scripted.info, "info" + std::to_string(*index));
}

void CFRelease(CFTypeRef object)
{
    world().calls.push_back("CFRelease(" + world().release(object) + ")");
}

}  // namespace lsscreens
