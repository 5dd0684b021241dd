// The platform of a machine without a window system: no screens, and a display
// registry without services. Linked wherever no real platform is available.
#include "display/appkit.h"
#include "display/core_graphics.h"
#include "display/iokit.h"

namespace lsscreens {

namespace {

// The one iterator this platform hands out; it is always exhausted.
constexpr io_iterator_t emptyIterator = 1;

}  // namespace

std::vector<NSScreen> NSScreen::screens() { return {}; }
bool NSScreen::screensComplete() { return true; }  // nothing to ask
NSRect NSScreen::frame() const { return {}; }
Dictionary NSScreen::deviceDescription() const { return {}; }

// No display exists, so every display id names an unknown display.
CGSize CGDisplayScreenSize(CGDirectDisplayID) { return {}; }
std::uint32_t CGDisplayVendorNumber(CGDirectDisplayID) { return noSuchDisplay; }
std::uint32_t CGDisplayModelNumber(CGDirectDisplayID) { return noSuchDisplay; }
std::uint32_t CGDisplaySerialNumber(CGDirectDisplayID) { return noSuchDisplay; }

// The matching dictionary is never needed: there is nothing to match.
CFOwned IOServiceMatching(const char*) { return {}; }

kern_return_t IOServiceGetMatchingServices(mach_port_t, CFOwned, io_iterator_t* existing)
{
    *existing = emptyIterator;
    return KERN_SUCCESS;
}

io_object_t IOIteratorNext(io_iterator_t) { return 0; }
kern_return_t IOObjectRelease(io_object_t) { return KERN_SUCCESS; }
CFOwned IODisplayCreateInfoDictionary(io_service_t, IOOptionBits) { return {}; }
void CFRelease(CFTypeRef) {}

}  // namespace lsscreens
