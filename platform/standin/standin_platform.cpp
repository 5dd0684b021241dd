// The platform seam answered from the test's scripted World.
#include <string>

#include "platform/standin/standin_world.h"

namespace lsscreens {

standin::World& standin::world()
{
    static World instance;
    return instance;
}

void standin::resetWorld() { world() = World{}; }

std::string standin::World::ledgerFaults() const
{
    std::string report = faults;
    for (const auto& [object, name] : objectNames)
        report += name + " not released; ";
    if (handles.outstanding() != 0)
        report += std::to_string(handles.outstanding()) + " handle references not released";
    return report;
}

namespace {

standin::World& log(const std::string& call)
{
    standin::world().calls += call + ' ';
    return standin::world();
}

// How the log names a handle.
std::string nameOf(io_object_t handle)
{
    const auto index = platform_shared::RegistryHandles::serviceIndex(handle, standin::world().services.size());
    return handle == 0 ? "0" : index ? std::string("service") + std::to_string(*index) : "iterator";
}

CFOwned create(Value value, std::string name)
{
    CFOwned object = standin::world().objects.add(std::move(value));
    standin::world().objectNames[object.get()] = std::move(name);
    return object;
}

// The object's name.
std::string release(CFTypeRef object)
{
    auto& world = standin::world();
    const auto found = world.objectNames.find(object);
    if (found == world.objectNames.end() || !world.objects.release(object)) {
        world.faults += "CFRelease of an object not held; ";
        return "?";
    }
    return world.objectNames.extract(found).mapped();
}

std::string argument(std::size_t value) { return std::string("(") + std::to_string(value) + ")"; }

// Answers from the scripted display, or as for no display at all.
standin::Display display(const char* call, CGDirectDisplayID id)
{
    const auto& displays = log(call + argument(id)).displays;
    const auto found = displays.find(id);
    return found != displays.end() ? found->second : standin::Display{{}, noSuchDisplay, noSuchDisplay, noSuchDisplay};
}

}  // namespace

std::vector<NSScreen> NSScreen::screens()
{
    std::vector<NSScreen> screens;
    const std::size_t count = log("NSScreen.screens").screens.size();
    for (std::size_t index = 0; index < count; ++index)
        screens.emplace_back(index);
    return screens;
}

bool NSScreen::screensComplete() { return log("NSScreen.screensComplete").complete; }

NSRect NSScreen::frame() const { return log(std::string("frame") + argument(platformIndex())).screens.at(platformIndex()).frame; }

Dictionary NSScreen::deviceDescription() const
{
    return log(std::string("deviceDescription") + argument(platformIndex())).screens.at(platformIndex()).deviceDescription;
}

CGSize CGDisplayScreenSize(CGDirectDisplayID id) { return display("CGDisplayScreenSize", id).millimetres; }
std::uint32_t CGDisplayVendorNumber(CGDirectDisplayID id) { return display("CGDisplayVendorNumber", id).vendor; }
std::uint32_t CGDisplayModelNumber(CGDirectDisplayID id) { return display("CGDisplayModelNumber", id).model; }
std::uint32_t CGDisplaySerialNumber(CGDirectDisplayID id) { return display("CGDisplaySerialNumber", id).serial; }

CFOwned IOServiceMatching(const char* className)
{
    log(std::string("IOServiceMatching(") + className + ")");
    return create(Dictionary{{"IOProviderClass", className}}, "matching");
}

kern_return_t IOServiceGetMatchingServices(mach_port_t port, CFOwned matching, io_iterator_t* existing)
{
    auto& world = standin::world();
    const Value* request = matching.release();  // consumed on every road, without a CFRelease call
    log(std::string("IOServiceGetMatchingServices(") + std::to_string(port) + "," +
        (request ? release(request) : "none") + ")");
    if (world.matchingStatus == KERN_SUCCESS || world.iteratorDespiteRefusal)
        *existing = world.handles.newIterator(world.services.size());
    return world.matchingStatus;
}

io_object_t IOIteratorNext(io_iterator_t iterator)
{
    const io_object_t next = standin::world().handles.next(iterator);
    log(std::string("IOIteratorNext=") + nameOf(next));
    return next;
}

kern_return_t IOObjectRelease(io_object_t object)
{
    auto& world = log(std::string("IOObjectRelease(") + nameOf(object) + ")");
    if (!world.handles.release(object))
        world.faults += std::string("IOObjectRelease(") + nameOf(object) + ") not held; ";
    return KERN_SUCCESS;
}

CFOwned IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits options)
{
    auto& world =
        log(std::string("IODisplayCreateInfoDictionary(") + nameOf(service) + "," + std::to_string(options) + ")");
    const auto index = platform_shared::RegistryHandles::serviceIndex(service, world.services.size());
    if (!index || !world.services[*index].info || world.services[*index].infoAnswers-- == 0)
        return {};
    return create(*world.services[*index].info, std::string("info") + std::to_string(*index));
}

void CFRelease(CFTypeRef object) { log(std::string("CFRelease(") + release(object) + ")"); }

}  // namespace lsscreens
