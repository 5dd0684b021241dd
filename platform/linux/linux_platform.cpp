// The platform seam on Linux. Screens and display ids come from one screen
// source per run: the Wayland compositor's outputs when one accepts the
// connection, else the X server's RandR monitors and outputs. A display's
// numbers come from the EDID the source hands out, or else from the EDID of
// the DRM connector the source names. The display registry is the DRM
// connectors in sysfs, identified by their EDID files. Everything is read at
// most once per run.
#include "platform/linux/linux_platform.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <span>

#include "display/appkit.h"
#include "display/core_graphics.h"
#include "display/iokit.h"
#include "platform/linux/drm_registry.h"
#include "platform/shared/edid.h"
#include "platform/linux/screen_source.h"
#include "platform/linux/wayland_display.h"
#include "platform/linux/x11_display.h"
#include "platform/shared/registry_objects.h"

namespace lsscreens {

namespace linux_platform {

namespace {

using platform_shared::EdidIdentity;

// The registry's "no such device" status.
constexpr kern_return_t kIOReturnNoDevice = static_cast<kern_return_t>(0xE00002C0);

struct Run {
    explicit Run(const std::string& drmRoot) : registry(drmRoot) {}

    // The window system, connected on first use: Wayland if a compositor
    // answers, else X11.
    const ScreenSource& screenSource()
    {
        if (!source)
            source = connectWayland();
        if (!source)
            source = std::make_unique<X11Display>();
        return *source;
    }
    const std::vector<Monitor>& monitors()
    {
        // The primary first (several primaries, from several X screens, keep
        // their order), then the others in the window system's order.
        if (!monitorList) {
            monitorList = screenSource().monitors();
            std::stable_partition(monitorList->begin(), monitorList->end(),
                                  [](const Monitor& monitor) { return monitor.primary; });
        }
        return *monitorList;
    }
    // What is known of an output, asked of the source once per run. Absent
    // when the id names no output.
    struct Output {
        OutputFacts facts;
        EdidIdentity identity;  // from facts.edid, else the named connector's EDID
    };
    const std::optional<Output>& output(std::uint32_t id)
    {
        auto found = outputs.find(id);
        if (found == outputs.end()) {
            std::optional<Output> known;
            if (auto facts = screenSource().output(id)) {
                const EdidIdentity identity = platform_shared::readEdidIdentity(
                    facts->edid.empty() ? registry.edidOfConnector(facts->connectorName)
                                        : std::span<const std::uint8_t>(facts->edid));
                known = Output{std::move(*facts), identity};
            }
            found = outputs.emplace(id, std::move(known)).first;
        }
        return found->second;
    }

    // A connector's info dictionary, built from its EDID once per run and
    // handed out as is: every screen's registry walk asks for it again.
    const std::shared_ptr<const Value>& infoDictionary(std::size_t index)
    {
        infoDictionaries.resize(registry.connectorCount());
        if (!infoDictionaries[index])
            infoDictionaries[index] = std::make_shared<const Value>(platform_shared::infoDictionaryFromEdid(registry.edid(index)));
        return infoDictionaries[index];
    }

    std::unique_ptr<ScreenSource> source;
    std::optional<std::vector<Monitor>> monitorList;
    std::map<std::uint32_t, std::optional<Output>> outputs;
    DrmRegistry registry;
    std::vector<std::shared_ptr<const Value>> infoDictionaries;
    platform_shared::LiveObjects objects;
    platform_shared::RegistryHandles handles;
};

std::unique_ptr<Run>& currentRun()
{
    static std::unique_ptr<Run> run;
    return run;
}

Run& run()
{
    if (!currentRun())
        startRun();
    return *currentRun();
}

}  // namespace

void startRun(const std::string& drmRoot)
{
    currentRun() = std::make_unique<Run>(drmRoot);
}

}  // namespace linux_platform

using linux_platform::run;

std::vector<NSScreen> NSScreen::screens()
{
    std::vector<NSScreen> screens;
    for (std::size_t index = 0; index < run().monitors().size(); ++index)
        screens.emplace_back(index);
    return screens;
}

NSRect NSScreen::frame() const
{
    const auto& monitor = run().monitors().at(platformIndex());
    return {{static_cast<double>(monitor.x), static_cast<double>(monitor.y)},
            {static_cast<double>(monitor.width), static_cast<double>(monitor.height)}};
}

Dictionary NSScreen::deviceDescription() const
{
    const auto& monitor = run().monitors().at(platformIndex());
    Dictionary description;
    description.set("NSDeviceSize", Dictionary{{"width", Number::integer(monitor.width)},
                                               {"height", Number::integer(monitor.height)}});
    if (monitor.firstOutput)
        description.set("NSScreenNumber", Number::integer(*monitor.firstOutput));
    return description;
}

CGSize CGDisplayScreenSize(CGDirectDisplayID display)
{
    const auto& output = run().output(display);
    if (!output)
        return {};
    return {static_cast<double>(output->facts.widthMillimetres),
            static_cast<double>(output->facts.heightMillimetres)};
}

std::uint32_t CGDisplayVendorNumber(CGDirectDisplayID display)
{
    const auto& output = run().output(display);
    return output ? output->identity.vendor : noSuchDisplay;
}

std::uint32_t CGDisplayModelNumber(CGDirectDisplayID display)
{
    const auto& output = run().output(display);
    return output ? output->identity.product : noSuchDisplay;
}

std::uint32_t CGDisplaySerialNumber(CGDirectDisplayID display)
{
    const auto& output = run().output(display);
    return output ? output->identity.serial : noSuchDisplay;
}

CFOwned IOServiceMatching(const char* className)
{
    return run().objects.add(Dictionary{{"IOProviderClass", className}});
}

kern_return_t IOServiceGetMatchingServices(mach_port_t, CFOwned matching, io_iterator_t* existing)
{
    const Dictionary* request = matching ? matching->asDictionary() : nullptr;
    const Value* className = request ? request->find("IOProviderClass") : nullptr;
    if (!className || !className->asText() || *className->asText() != "IODisplayConnect")
        return linux_platform::kIOReturnNoDevice;
    *existing = run().handles.newIterator(run().registry.connectorCount());
    return KERN_SUCCESS;
}

io_object_t IOIteratorNext(io_iterator_t iterator)
{
    return run().handles.next(iterator);
}

kern_return_t IOObjectRelease(io_object_t object)
{
    return run().handles.release(object) ? KERN_SUCCESS : linux_platform::kIOReturnNoDevice;
}

CFOwned IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits)
{
    const auto index = platform_shared::RegistryHandles::serviceIndex(
        service, run().registry.connectorCount());
    if (!index)
        return {};
    return run().objects.add(run().infoDictionary(*index));
}

void CFRelease(CFTypeRef object)
{
    run().objects.release(object);
}

}  // namespace lsscreens
