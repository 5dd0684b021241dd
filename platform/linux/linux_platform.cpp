// The platform seam on Linux. Screens and display ids come from one window
// system per run: the Wayland compositor's outputs when a compositor answers
// in full, else the X server's RandR monitors and outputs. A display's
// numbers come from the EDID the source hands out, or else from the EDID of
// the DRM connector the source names. The display registry is the DRM
// connectors in sysfs, identified by their EDID files. Everything is read at
// most once per run.
#include "platform/linux/linux_platform.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "display/appkit.h"
#include "platform/linux/drm_registry.h"
#include "platform/linux/wayland/compositor.h"
#include "platform/linux/x11/x_server.h"
#include "platform/shared/edid_display_calls.h"

namespace lsscreens {

namespace linux_platform {

namespace {

// The run's budget for window systems, from its start. A compositor (its
// connect, both round trips, and mutter's D-Bus side after them) has until
// 2 s: a busy compositor, right after a reconfiguration, can take more than a
// second to answer. The X server, asked only when no compositor answered in
// full, has until 2.5 s, so that it keeps half a second even after the
// longest Wayland wait. The registry walk and the printing after them are
// bounded by the screen caps, so the run ends within 3 s whatever the window
// systems do.
constexpr std::chrono::milliseconds waylandBudget{2000};
constexpr std::chrono::milliseconds x11Budget{2500};

struct Run final : platform_shared::EdidDisplays {
    explicit Run(const std::string& drmRoot) : start(std::chrono::steady_clock::now()), registry(drmRoot) {}

    // The screens of the first window system that answers in full: Wayland,
    // else X11; with neither, none. The primary first (several primaries,
    // from several X screens, keep their order), then the others in the
    // window system's order.
    const Screens& screens()
    {
        if (!screenList) {
            Answer answer = askWayland(start + waylandBudget);
            if (answer.status != Answer::Status::complete) {
                Answer x11 = askX11(start + x11Budget);
                if (x11.status != Answer::Status::absent || answer.status == Answer::Status::absent)
                    answer = std::move(x11);
            }
            // No complete answer after one was there to ask: the run must not
            // pass for a machine without screens.
            complete = answer.status != Answer::Status::incomplete;
            screenList = std::move(answer.screens);
            std::stable_partition(screenList->list.begin(), screenList->list.end(),
                                  [](const Screen& monitor) { return monitor.primary; });
        }
        return *screenList;
    }
    bool screensComplete()
    {
        screens();
        return complete;
    }
    const std::vector<Screen>& list() { return screens().list; }

    // What is known of the output behind a display id: the identity read
    // from its EDID, else from the named connector's EDID, and its physical
    // size; once per run. Absent when the id names no output.
    const std::optional<platform_shared::KnownDisplay>& knownDisplay(CGDirectDisplayID id) override
    {
        auto found = displays.find(id);
        if (found == displays.end()) {
            std::optional<platform_shared::KnownDisplay> known;
            if (const auto facts = screens().displays.find(id); facts != screens().displays.end()) {
                const DisplayFacts& output = facts->second;
                known = platform_shared::KnownDisplay{
                    output.edid ? *output.edid
                                : platform_shared::readEdidIdentity(registry.edidOfConnector(output.connectorName)),
                    {output.widthMillimetres, output.heightMillimetres}};
            }
            found = displays.emplace(id, std::move(known)).first;
        }
        return found->second;
    }
    platform_shared::EdidRegistry& edidRegistry() override { return registryCalls; }

    std::chrono::steady_clock::time_point start;
    std::optional<Screens> screenList;
    bool complete = true;
    std::map<std::uint32_t, std::optional<platform_shared::KnownDisplay>> displays;
    DrmRegistry registry;
    platform_shared::EdidRegistry registryCalls{[this] { return registry.connectorCount(); },
                                                [this](std::size_t index) { return registry.edid(index); }};
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
    for (std::size_t index = 0; index < run().list().size(); ++index)
        screens.emplace_back(index);
    return screens;
}

bool NSScreen::screensComplete()
{
    return run().screensComplete();
}

NSRect NSScreen::frame() const
{
    const auto& monitor = run().list().at(platformIndex());
    return {{static_cast<double>(monitor.x), static_cast<double>(monitor.y)},
            {static_cast<double>(monitor.width), static_cast<double>(monitor.height)}};
}

Dictionary NSScreen::deviceDescription() const
{
    const auto& monitor = run().list().at(platformIndex());
    Dictionary description;  // only what the core reads
    if (monitor.displayId)
        description.set("NSScreenNumber", Number::integer(*monitor.displayId));
    return description;
}

platform_shared::EdidDisplays& platform_shared::edidDisplays()
{
    return run();
}

}  // namespace lsscreens
