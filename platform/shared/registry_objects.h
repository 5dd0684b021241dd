// Bookkeeping for platforms that answer the registry calls in-process: the
// dictionaries handed out until released, and reference-counted registry
// handles with iterators over a fixed list of services.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "display/core_foundation.h"
#include "display/iokit.h"

namespace lsscreens::platform_shared {

// Dictionaries live here from creation until CFRelease. Each reference out
// is one entry, so an object handed out twice is held until released twice.
// Few are out at once (a registry walk holds one dictionary at a time), so a
// flat list searched from the end does better than a tree, and with room
// reserved up front handing out an object the platform keeps allocates nothing.
class LiveObjects {
public:
    LiveObjects() { references_.reserve(8); }
    CFOwned add(Value value);
    // Hands out an object the platform keeps anyway (a dictionary it asks
    // for again and again) without copying it.
    CFOwned add(std::shared_ptr<const Value> value);
    // False when the object was not held.
    bool release(CFTypeRef object);
    // References out, counted with multiplicity.
    std::size_t size() const { return references_.size(); }

private:
    std::vector<std::shared_ptr<const Value>> references_;
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

private:
    io_object_t obtain(io_object_t handle);

    struct Iterator {
        std::size_t position = 0;
        std::size_t count = 0;
    };
    std::map<io_object_t, int> references_;
    std::map<io_iterator_t, Iterator> iterators_;
    io_iterator_t nextIterator_ = 0x9000;
};

}  // namespace lsscreens::platform_shared
