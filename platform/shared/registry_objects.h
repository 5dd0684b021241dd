// Bookkeeping for platforms that answer the registry calls in-process: the
// dictionaries handed out until released, and reference-counted registry
// handles with iterators over a fixed list of services.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>

#include "display/core_foundation.h"
#include "display/iokit.h"

namespace lsscreens::platform_shared {

// Dictionaries live here from creation until CFRelease.
class LiveObjects {
public:
    CFOwned add(Value value);
    // Hands out an object the platform keeps anyway (a dictionary it asks
    // for again and again) without copying it; a copy when it is already out.
    CFOwned add(std::shared_ptr<const Value> value);
    // False when the object was not held.
    bool release(CFTypeRef object);
    std::size_t size() const { return objects_.size(); }

private:
    std::map<CFTypeRef, std::shared_ptr<const Value>> objects_;
};

// Services are numbered by their place in the registry: the service at index
// i has the handle firstService + i. Iterators have handles of their own.
class RegistryHandles {
public:
    static constexpr io_service_t firstService = 0x1000;
    static io_service_t serviceHandle(std::size_t index)
    {
        return firstService + static_cast<io_service_t>(index);
    }
    // The index of a service handle, if it names one of count services.
    static std::optional<std::size_t> serviceIndex(io_service_t service, std::size_t count);

    // A new iterator over services 0 to count - 1, owned by the caller.
    io_iterator_t newIterator(std::size_t count);
    // The next service (a new reference owned by the caller), or 0.
    io_object_t next(io_iterator_t iterator);
    // False when the handle was not held.
    bool release(io_object_t handle);

    // Handles obtained and not yet released, counted with multiplicity.
    int outstanding() const;
    int obtained() const { return obtained_; }
    const std::map<io_object_t, int>& references() const { return references_; }

private:
    io_object_t obtain(io_object_t handle);

    struct Iterator {
        std::size_t position = 0;
        std::size_t count = 0;
    };
    std::map<io_object_t, int> references_;
    std::map<io_iterator_t, Iterator> iterators_;
    io_iterator_t nextIterator_ = 0x9000;
    int obtained_ = 0;
};

}  // namespace lsscreens::platform_shared
