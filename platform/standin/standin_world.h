// An in-memory platform that each test scripts: screens, what CoreGraphics
// says of each display id, and the registry's display services in iterator
// order. It logs every platform call, naming handles and dictionaries
// ("IODisplayCreateInfoDictionary(service1,512)", "CFRelease(info1)"), and
// keeps a ledger of every handle and dictionary handed out and given back.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "display/appkit.h"
#include "display/core_graphics.h"
#include "display/iokit.h"
#include "platform/shared/registry_objects.h"

namespace lsscreens::standin {

struct Screen { NSRect frame; Dictionary deviceDescription; };
struct Display { CGSize millimetres; std::uint32_t vendor = 0, model = 0, serial = 0; };
// What IODisplayCreateInfoDictionary returns (absent: nothing) to how many requests (-1: all).
struct Service { std::optional<Value> info; int infoAnswers = -1; };

struct World {
    // Scripting.
    std::vector<Screen> screens;
    bool complete = true;                           // the window system's answer was whole
    std::map<CGDirectDisplayID, Display> displays;  // unknown ids: noSuchDisplay, 0 by 0 mm
    std::vector<Service> services;                  // in iterator order
    kern_return_t matchingStatus = KERN_SUCCESS;    // anything else refuses the request...
    bool iteratorDespiteRefusal = false;            // ...and may still hand out an iterator

    std::string calls;  // each call followed by a space
    // Empty when every handle and dictionary obtained was released exactly
    // once and nothing else was released; otherwise what went wrong.
    std::string ledgerFaults() const;

    // The platform side's ledger.
    std::string faults;  // each followed by "; "
    std::map<CFTypeRef, std::string> objectNames;
    platform_shared::LiveObjects objects;
    platform_shared::RegistryHandles handles;
};

// The world the standin platform answers from; tests start each case afresh.
World& world();
void resetWorld();

}  // namespace lsscreens::standin
