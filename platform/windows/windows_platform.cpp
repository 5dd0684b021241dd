// The platform seam on Windows. Screens are the Win32 desktop's monitors in
// logical units, the primary first; a screen's display id is the target id
// of the connector behind it (QueryDisplayConfig). A display's numbers and
// physical size come from the EDID of the monitor device behind it, found
// through its device interface path, its width and height swapped on a
// screen turned a quarter. The display registry is SetupAPI's present monitor
// devices, identified by their EDIDs. Everything is read at most once per run.
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "display/appkit.h"
#include "display/core_graphics.h"
#include "display/iokit.h"
#include "platform/shared/edid.h"
#include "platform/shared/edid_display_calls.h"
#include "platform/windows/display_config.h"
#include "platform/windows/monitor_devices.h"
#include "platform/windows/monitor_match.h"
#include "platform/windows/screen_order.h"
#include "platform/windows/screen_size.h"
#include "platform/windows/win32_monitors.h"

namespace lsscreens {

namespace windows_platform {

namespace {

struct Run final : platform_shared::EdidDisplays {
    Run()
    {
        declarePerMonitorDpiAwareness();
        const auto targets = displayTargets(readDisplayConfig());
        auto monitors = readMonitors();
        complete = monitors.has_value();
        screens = orderScreens(std::move(monitors).value_or(std::vector<Win32Monitor>{}), targets);
    }

    // The EDID of the display with that id, read once per run; absent when
    // the id names no screen.
    const std::optional<platform_shared::KnownDisplay>& knownDisplay(CGDirectDisplayID id) override
    {
        auto found = displays.find(id);
        if (found == displays.end()) {
            std::optional<platform_shared::KnownDisplay> known;
            const auto screen = std::find_if(screens.begin(), screens.end(), [&](const Screen& s) { return s.id == id; });
            if (screen != screens.end()) {
                const auto edid = edidByInterfacePath(devices(), screen->monitor.interfacePath);
                known = platform_shared::KnownDisplay{platform_shared::readEdidIdentity(edid),
                                screenSize(*screen, platform_shared::readEdidSize(edid))};
            }
            found = displays.emplace(id, std::move(known)).first;
        }
        return found->second;
    }
    platform_shared::EdidRegistry& edidRegistry() override { return registryCalls; }

    const std::vector<MonitorDevice>& devices()
    {
        if (!monitorDevices)
            monitorDevices = readMonitorDevices();
        return *monitorDevices;
    }

    std::vector<Screen> screens;
    bool complete = true;  // false when the desktop's monitors could not be enumerated
    std::map<std::uint32_t, std::optional<platform_shared::KnownDisplay>> displays;
    std::optional<std::vector<MonitorDevice>> monitorDevices;
    platform_shared::EdidRegistry registryCalls{[this] { return devices().size(); },
                                                [this](std::size_t index) {
                                                    return std::span<const std::uint8_t>(devices()[index].edid);
                                                }};
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

bool NSScreen::screensComplete()
{
    return run().complete;
}

NSRect NSScreen::frame() const
{
    const auto& monitor = run().screens.at(platformIndex()).monitor;
    return {{monitor.x, monitor.y}, {monitor.width, monitor.height}};
}

Dictionary NSScreen::deviceDescription() const
{
    const auto& screen = run().screens.at(platformIndex());
    Dictionary description;  // only what the core reads
    if (screen.id)
        description.set("NSScreenNumber", Number::integer(*screen.id));
    return description;
}

platform_shared::EdidDisplays& platform_shared::edidDisplays()
{
    return run();
}

}  // namespace lsscreens
