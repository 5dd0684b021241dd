// An in-memory platform that each test scripts: screens, what CoreGraphics
// says of each display id, and the registry's display services in iterator
// order. It keeps a ledger of every registry handle and every dictionary it
// hands out and gets back, and a log of the platform calls made, in order.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/appkit.h"
#include "display/core_graphics.h"
#include "display/iokit.h"
#include "platform/shared/registry_objects.h"

namespace lsscreens::standin {

struct Screen {
    NSRect frame;
    Dictionary deviceDescription;
};

struct Display {
    CGSize millimetres;
    std::uint32_t vendor = 0;
    std::uint32_t model = 0;
    std::uint32_t serial = 0;
};

struct Service {
    // What IODisplayCreateInfoDictionary returns for it; absent: nothing.
    std::optional<Value> info;
};

class World {
public:
    // Scripting.
    std::vector<Screen> screens;
    std::map<CGDirectDisplayID, Display> displays;  // unknown ids read as noSuchDisplay, 0 mm
    std::vector<Service> services;                  // in iterator order
    kern_return_t matchingStatus = KERN_SUCCESS;    // anything else refuses the request

    // The handle the registry gives the service at services[index].
    static io_service_t serviceHandle(std::size_t index)
    {
        return platform_shared::RegistryHandles::serviceHandle(index);
    }

    // The platform calls made so far, e.g. "IODisplayCreateInfoDictionary(4096,512)".
    const std::vector<std::string>& calls() const { return calls_; }
    std::size_t countCalls(const std::string& prefix) const;

    // Ledger. Balanced: every handle and dictionary obtained was released
    // exactly once, and nothing was released that was not held.
    bool balanced() const;
    std::string ledgerReport() const;
    int handlesObtained() const { return handles_.obtained(); }
    int dictionariesCreated() const { return dictionariesCreated_; }

    // Platform side (called by the seam's standin implementation).
    void record(std::string call) { calls_.push_back(std::move(call)); }
    CFOwned createObject(Value value);
    void releaseObject(CFTypeRef object);
    io_iterator_t newIterator() { return handles_.newIterator(services.size()); }
    io_object_t next(io_iterator_t iterator) { return handles_.next(iterator); }
    void releaseHandle(io_object_t handle);

private:
    std::vector<std::string> calls_;
    platform_shared::LiveObjects objects_;
    platform_shared::RegistryHandles handles_;
    int dictionariesCreated_ = 0;
    std::vector<std::string> faults_;
};

// The world the standin platform answers from; tests reset it in SetUp.
World& world();
void resetWorld();

}  // namespace lsscreens::standin
