// The platform seam on Windows. Screens are the Win32 desktop's monitors in
// logical units, the primary first; a screen's display id is the target id
// of the connector behind it (QueryDisplayConfig). A display's numbers and
// physical size come from the EDID of the monitor device behind it, found
// through its device interface path. The display registry is SetupAPI's
// present monitor devices, identified by their EDIDs. Everything is read at
// most once per run.
#include <algorithm>
#include <map>
#include <memory>
#include <optional>

#include "display/appkit.h"
#include "display/core_graphics.h"
#include "display/iokit.h"
#include "platform/shared/edid.h"
#include "platform/shared/registry_objects.h"
#include "platform/windows/display_config.h"
#include "platform/windows/monitor_devices.h"
#include "platform/windows/win32_monitors.h"

namespace lsscreens {

namespace windows_platform {

namespace {

// The registry's "no such device" status.
constexpr kern_return_t kIOReturnNoDevice = static_cast<kern_return_t>(0xE00002C0);

struct Screen {
    Win32Monitor monitor;
    std::optional<std::uint32_t> id;  // absent where the configuration cannot be read
};

struct Run {
    Run()
    {
        declarePerMonitorDpiAwareness();
        const auto ids = displayIds(readDisplayConfig());
        for (auto& monitor : readMonitors()) {
            const auto id = ids.find(monitor.device);
            screens.push_back({std::move(monitor), id == ids.end() ? std::nullopt : std::optional(id->second)});
        }
        std::stable_partition(screens.begin(), screens.end(), [](const Screen& screen) { return screen.monitor.primary; });
    }

    // The EDID of the display with that id, read once per run; absent when
    // the id names no screen.
    struct Display {
        platform_shared::EdidIdentity identity;
        platform_shared::EdidSize size;
    };
    const std::optional<Display>& display(std::uint32_t id)
    {
        auto found = displays.find(id);
        if (found == displays.end()) {
            std::optional<Display> known;
            const auto screen = std::find_if(screens.begin(), screens.end(), [&](const Screen& s) { return s.id == id; });
            if (screen != screens.end()) {
                const auto& path = screen->monitor.interfacePath;
                const auto device = std::find_if(devices().begin(), devices().end(), [&](const MonitorDevice& d) {
                    return !path.empty() && d.interfacePath == path;
                });
                const std::vector<std::uint8_t> none;
                const auto& edid = device == devices().end() ? none : device->edid;
                known = Display{platform_shared::readEdidIdentity(edid), platform_shared::readEdidSize(edid)};
            }
            found = displays.emplace(id, std::move(known)).first;
        }
        return found->second;
    }

    const std::vector<MonitorDevice>& devices()
    {
        if (!monitorDevices)
            monitorDevices = readMonitorDevices();
        return *monitorDevices;
    }

    // A device's info dictionary, built from its EDID once per run and handed
    // out as is: every screen's registry walk asks for it again.
    const std::shared_ptr<const Value>& infoDictionary(std::size_t index)
    {
        infoDictionaries.resize(devices().size());
        if (!infoDictionaries[index])
            infoDictionaries[index] =
                std::make_shared<const Value>(platform_shared::infoDictionaryFromEdid(devices()[index].edid));
        return infoDictionaries[index];
    }

    std::vector<Screen> screens;
    std::map<std::uint32_t, std::optional<Display>> displays;
    std::optional<std::vector<MonitorDevice>> monitorDevices;
    std::vector<std::shared_ptr<const Value>> infoDictionaries;
    platform_shared::LiveObjects objects;
    platform_shared::RegistryHandles handles;
};

Run& run()
{
    static Run run;
    return run;
}

}  // namespace

}  // namespace windows_platform

using windows_platform::run;

std::vector<NSScreen> NSScreen::screens()
{
    std::vector<NSScreen> list;
    for (std::size_t index = 0; index < run().screens.size(); ++index)
        list.emplace_back(index);
    return list;
}

NSRect NSScreen::frame() const
{
    const auto& monitor = run().screens.at(platformIndex()).monitor;
    return {{monitor.x, monitor.y}, {monitor.width, monitor.height}};
}

Dictionary NSScreen::deviceDescription() const
{
    const auto& screen = run().screens.at(platformIndex());
    Dictionary description;
    description.set("NSDeviceSize", Dictionary{{"width", Number::floating(screen.monitor.width)},
                                               {"height", Number::floating(screen.monitor.height)}});
    if (screen.id)
        description.set("NSScreenNumber", Number::integer(*screen.id));
    return description;
}

CGSize CGDisplayScreenSize(CGDirectDisplayID display)
{
    const auto& known = run().display(display);
    if (!known)
        return {};
    return {static_cast<double>(known->size.width), static_cast<double>(known->size.height)};
}

std::uint32_t CGDisplayVendorNumber(CGDirectDisplayID display)
{
    const auto& known = run().display(display);
    return known ? known->identity.vendor : noSuchDisplay;
}

std::uint32_t CGDisplayModelNumber(CGDirectDisplayID display)
{
    const auto& known = run().display(display);
    return known ? known->identity.product : noSuchDisplay;
}

std::uint32_t CGDisplaySerialNumber(CGDirectDisplayID display)
{
    const auto& known = run().display(display);
    return known ? known->identity.serial : noSuchDisplay;
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
        return windows_platform::kIOReturnNoDevice;
    *existing = run().handles.newIterator(run().devices().size());
    return KERN_SUCCESS;
}

io_object_t IOIteratorNext(io_iterator_t iterator)
{
    return run().handles.next(iterator);
}

kern_return_t IOObjectRelease(io_object_t object)
{
    return run().handles.release(object) ? KERN_SUCCESS : windows_platform::kIOReturnNoDevice;
}

CFOwned IODisplayCreateInfoDictionary(io_service_t service, IOOptionBits)
{
    const auto index = platform_shared::RegistryHandles::serviceIndex(service, run().devices().size());
    if (!index)
        return {};
    return run().objects.add(run().infoDictionary(*index));
}

void CFRelease(CFTypeRef object)
{
    run().objects.release(object);
}

}  // namespace lsscreens
