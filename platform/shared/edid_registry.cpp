#include "platform/shared/edid_registry.h"

#include "platform/shared/edid.h"

namespace lsscreens::platform_shared {

namespace {

// The registry's "no such device" status.
constexpr kern_return_t kIOReturnNoDevice = static_cast<kern_return_t>(0xE00002C0);

}  // namespace

CFOwned EdidRegistry::serviceMatching(const char* className)
{
    return objects_.add(Dictionary{{"IOProviderClass", className}});
}

// Takes the matching dictionary over, whatever the answer.
kern_return_t EdidRegistry::matchingServices(CFOwned matching, io_iterator_t* existing)
{
    const Dictionary* request = matching ? matching->asDictionary() : nullptr;
    const Value* className = request ? request->find("IOProviderClass") : nullptr;
    if (!className || !className->asText() || *className->asText() != "IODisplayConnect")
        return kIOReturnNoDevice;
    *existing = handles_.newIterator(count_());
    return KERN_SUCCESS;
}

kern_return_t EdidRegistry::release(io_object_t object)
{
    return handles_.release(object) ? KERN_SUCCESS : kIOReturnNoDevice;
}

CFOwned EdidRegistry::infoDictionary(io_service_t service)
{
    const auto index = RegistryHandles::serviceIndex(service, count_());
    if (!index)
        return {};
    infoDictionaries_.resize(count_());
    auto& info = infoDictionaries_[*index];
    if (!info)
        info = std::make_shared<const Value>(infoDictionaryFromEdid(edidOf_(*index)));
    return objects_.add(info);
}

}  // namespace lsscreens::platform_shared
