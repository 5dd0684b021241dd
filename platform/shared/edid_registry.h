// The registry calls of a platform whose display registry is a list of
// entries identified by their EDIDs (the DRM connectors on Linux, SetupAPI's
// monitor devices on Windows): "IODisplayConnect" services numbered by their
// place in the list, each entry's info dictionary built from its EDID once
// per run and handed out as is (every screen's walk asks for it again), and
// every handle and dictionary counted until it is released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "display/core_foundation.h"
#include "display/iokit.h"
#include "platform/shared/registry_objects.h"

namespace lsscreens::platform_shared {

class EdidRegistry {
public:
    // How many entries there are, and an entry's EDID: each asked when
    // first needed.
    EdidRegistry(std::function<std::size_t()> count, std::function<std::span<const std::uint8_t>(std::size_t)> edidOf)
        : count_(std::move(count)), edidOf_(std::move(edidOf))
    {
    }

    CFOwned serviceMatching(const char* className);
    kern_return_t matchingServices(CFOwned matching, io_iterator_t* existing);
    io_object_t iteratorNext(io_iterator_t iterator) { return handles_.next(iterator); }
    kern_return_t release(io_object_t object);
    CFOwned infoDictionary(io_service_t service);
    void release(CFTypeRef object) { objects_.release(object); }

private:
    std::function<std::size_t()> count_;
    std::function<std::span<const std::uint8_t>(std::size_t)> edidOf_;
    std::vector<std::shared_ptr<const Value>> infoDictionaries_;
    LiveObjects objects_;
    RegistryHandles handles_;
};

}  // namespace lsscreens::platform_shared
