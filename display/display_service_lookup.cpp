#include "display/display_service_lookup.h"

#include <cstdint>
#include <optional>

#include "display/iokit.h"

namespace lsscreens {

namespace {

struct RegistryNumbers {
    std::optional<std::uint32_t> vendor;
    std::optional<std::uint32_t> product;
    std::uint32_t serial = 0;  // a missing or inexact serial counts as 0
};

// Reads all three numbers before any comparison is made.
RegistryNumbers readRegistryNumbers(const Dictionary& info)
{
    return {info.exactUInt32At("DisplayVendorID"), info.exactUInt32At("DisplayProductID"),
            info.exactUInt32At("DisplaySerialNumber").value_or(0)};
}

// CoreGraphics is asked anew for each service, and only as far as the tests
// before have passed: the vendor number always, the model number after the
// vendor matched, the serial number after the product matched. Each number is
// asked before the registry's id is checked for presence.
bool matchesDisplay(const RegistryNumbers& numbers, CGDirectDisplayID display)
{
    if (CGDisplayVendorNumber(display) != numbers.vendor)
        return false;
    if (CGDisplayModelNumber(display) != numbers.product)
        return false;
    return CGDisplaySerialNumber(display) == numbers.serial;
}

// A service without an info dictionary with text keys cannot be identified,
// so it never matches; the walk goes on with the next service.
bool serviceMatches(io_service_t service, CGDirectDisplayID display)
{
    const CFOwned info = IODisplayCreateInfoDictionary(service, kIODisplayOnlyPreferredName);
    const Dictionary* dictionary = info ? info->asDictionary() : nullptr;
    if (!dictionary || !dictionary->hasOnlyTextKeys())
        return false;
    return matchesDisplay(readRegistryNumbers(*dictionary), display);
}

}  // namespace

ScopedIOObject getIOService(CGDirectDisplayID display)
{
    io_iterator_t rawIterator = 0;
    const kern_return_t status = IOServiceGetMatchingServices(
        kIOMasterPortDefault, IOServiceMatching("IODisplayConnect"), &rawIterator);
    // Owned from here on, so it is released on every road, even if the
    // platform handed one out together with a failure status.
    const ScopedIOObject iterator(rawIterator);
    if (status != KERN_SUCCESS || !iterator)
        return {};

    while (ScopedIOObject service{IOIteratorNext(iterator.get())}) {
        if (serviceMatches(service.get(), display))
            return service;
        // A rejected service is released here, before the next is taken.
    }
    return {};
}

}  // namespace lsscreens
