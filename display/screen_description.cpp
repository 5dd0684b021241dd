// The tool's own operations on a screen: its record, and the product name of
// the display behind it.
#include <optional>
#include <string>

#include "display/appkit.h"
#include "display/core_graphics.h"
#include "display/display_service_lookup.h"
#include "display/iokit.h"
#include "display/truncation.h"
#include "report/screen_info.h"

namespace lsscreens {

namespace {

// The device-description key under which a screen carries its display id.
constexpr std::string_view screenNumberKey = "NSScreenNumber";

// The product name from an info dictionary, or absent. The names dictionary
// maps locale identifiers to names; with kIODisplayOnlyPreferredName it
// normally holds one entry. No locale is preferred: the first key in the
// dictionary's own order wins.
std::optional<std::string> productName(const Dictionary& info)
{
    if (info.empty())
        return std::nullopt;
    const Value* names = info.find("DisplayProductName");
    const Dictionary* byLocale = names ? names->asDictionary() : nullptr;
    if (!byLocale || byLocale->empty())
        return std::nullopt;
    for (const auto& [locale, name] : byLocale->entries()) {
        if (!locale.asText() || !name.asText())
            return std::nullopt;
    }
    return *byLocale->entries().front().second.asText();
}

}  // namespace

ScreenInfo NSScreen::screenInfos() const
{
    const Dictionary description = deviceDescription();
    const NSRect rect = frame();
    ScreenInfo info{truncatedToInt64(rect.size.width), truncatedToInt64(rect.size.height),
                    std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    info.name = getDeviceName();

    const Value* screenNumber = description.find(screenNumberKey);
    const Number* number = screenNumber ? screenNumber->asNumber() : nullptr;
    if (!number)
        return info;

    // Any number object is taken here, converted leniently; the name lookup
    // above insists on an exact value before it walks the registry.
    const CGDirectDisplayID display = number->unsignedIntValue();
    const CGSize millimetres = CGDisplayScreenSize(display);
    info.mmWidth = truncatedToInt64(millimetres.width);
    info.mmHeight = truncatedToInt64(millimetres.height);
    info.id = static_cast<std::int64_t>(display);
    return info;
}

std::optional<std::string> NSScreen::getDeviceName() const
{
    const Dictionary description = deviceDescription();
    if (description.empty())
        return std::nullopt;
    const std::optional<std::uint32_t> display = description.exactUInt32At(screenNumberKey);
    if (!display)
        return std::nullopt;

    ScopedIOObject service = getIOService(*display);
    if (!service)
        return std::nullopt;
    const CFOwned info =
        IODisplayCreateInfoDictionary(service.get(), kIODisplayOnlyPreferredName);
    // The service is only needed to obtain the dictionary; the dictionary
    // itself is released when this function returns, whatever it held.
    service.reset();

    const Dictionary* dictionary = info ? info->asDictionary() : nullptr;
    if (!dictionary || !dictionary->hasOnlyTextKeys())
        return std::nullopt;
    return productName(*dictionary);
}

}  // namespace lsscreens
