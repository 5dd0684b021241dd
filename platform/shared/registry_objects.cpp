#include "platform/shared/registry_objects.h"

#include <utility>

namespace lsscreens::platform_shared {

CFOwned LiveObjects::add(Value value)
{
    return add(std::make_shared<const Value>(std::move(value)));
}

CFOwned LiveObjects::add(std::shared_ptr<const Value> value)
{
    const CFTypeRef reference = value.get();
    references_.push_back(std::move(value));
    return CFOwned(reference);
}

bool LiveObjects::release(CFTypeRef object)
{
    // From the end: what was handed out last is usually given back first.
    for (auto entry = references_.rbegin(); entry != references_.rend(); ++entry) {
        if (entry->get() == object) {
            std::swap(*entry, references_.back());
            references_.pop_back();
            return true;
        }
    }
    return false;
}

std::optional<std::size_t> RegistryHandles::serviceIndex(io_service_t service, std::size_t count)
{
    if (service < firstService || service - firstService >= count)
        return std::nullopt;
    return service - firstService;
}

io_object_t RegistryHandles::obtain(io_object_t handle)
{
    ++references_[handle];
    return handle;
}

io_iterator_t RegistryHandles::newIterator(std::size_t count)
{
    const io_iterator_t iterator = nextIterator_++;
    iterators_[iterator] = {0, count};
    return obtain(iterator);
}

io_object_t RegistryHandles::next(io_iterator_t iterator)
{
    const auto found = iterators_.find(iterator);
    if (found == iterators_.end() || found->second.position >= found->second.count)
        return 0;
    return obtain(serviceHandle(found->second.position++));
}

bool RegistryHandles::release(io_object_t handle)
{
    const auto found = references_.find(handle);
    if (found == references_.end() || found->second == 0)
        return false;
    --found->second;
    return true;
}

int RegistryHandles::outstanding() const
{
    int total = 0;
    for (const auto& [handle, count] : references_)
        total += count;
    return total;
}

}  // namespace lsscreens::platform_shared
