// Any byte string as an EDID: reading it must stay in bounds, and what comes
// out must keep its promises (a name is printable ASCII without trailing
// spaces; the registry dictionary holds exact 32-bit numbers; a size has both
// sides or none, each at most 12 bits of mm or 255 cm).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "platform/shared/edid.h"
#include "report/json_string.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> edid(data, size);
    const auto identity = lsscreens::platform_shared::readEdidIdentity(edid);
    if (identity.name) {
        if (identity.name->empty() || identity.name->back() == ' ')
            std::abort();
        for (const char c : *identity.name) {
            if (c < 0x20 || c > 0x7E)
                std::abort();
        }
        std::string json;
        lsscreens::appendJSONString(json, *identity.name);
    }
    if (identity.serial == lsscreens::platform_shared::placeholderSerial)
        std::abort();

    const lsscreens::Dictionary info = lsscreens::platform_shared::infoDictionaryFromEdid(edid);
    const auto vendor = identity.identified ? std::optional(identity.vendor) : std::nullopt;
    if (info.exactUInt32At("DisplayVendorID") != vendor ||
        info.exactUInt32At("DisplayProductID") != identity.product)
        std::abort();
    const auto image = lsscreens::platform_shared::readEdidSize(edid);
    if ((image.width == 0) != (image.height == 0) || image.width > 4095 || image.height > 4095)
        std::abort();
    return 0;
}
