// One screen turned into its record, road by road. Each road's whole call log
// is compared, so the order of the calls, their repetition, the options
// passed and the moment of every release are checked at once; and every case
// checks that every handle and dictionary was given back exactly once.
#include <gtest/gtest.h>

#include <functional>

#include "tests/standin_test.h"

namespace lsscreens::testing {
namespace {

constexpr kern_return_t noDevice = static_cast<kern_return_t>(0xE00002C0);

struct Road {
    const char* what;
    std::function<void(standin::World&)> script;
    ScreenInfo expected;
    const char* calls;
};

// Display 5 is known to CoreGraphics; the road scripts its screen and registry.
ScreenInfo describe(const Road& road)
{
    standin::resetWorld();
    world().displays[5] = {{600.7, 340.2}, 0x10AC, 0xA056, 42};
    world().screens = {{{{-1920, 0}, {2560.9, 1440.5}}, describedAs(Number::integer(5))}};
    road.script(world());
    const ScreenInfo info = NSScreen(0).screenInfos();
    EXPECT_EQ(world().ledgerFaults(), "");
    return info;
}

const char* const sizesOnly = "deviceDescription(0) frame(0) deviceDescription(0)";
const ScreenInfo unnamed{2560, 1440, 600, 340, 5, std::nullopt};

const Road roads[] = {
    {"the walk rejects services until the first match, which gives the name",
     [](auto& w) {
         w.services = {{displayInfo(9, 0xA056, 42, "other vendor")},
                       {displayInfo(std::nullopt, 0xA056, 42, "no vendor")},
                       {displayInfo(0x10AC, std::nullopt, 42, "no product")},
                       {displayInfo(0x10AC, 0xA056, 42 + 4294967296, "inexact serial: 0")},
                       {Dictionary{{"DisplayVendorID", Number::integer(0x10AC)},
                                   {"DisplayProductID", Number::floating(0xA056)},
                                   {"DisplaySerialNumber", Number::integer(42)},
                                   {"DisplayProductName", Dictionary{{"en_US", "DELL U2711"},
                                                                     {"fr_FR", "Moniteur"}}}}},
                       {displayInfo(0x10AC, 0xA056, 42, "never examined")}};
     },
     {2560, 1440, 600, 340, 5, "DELL U2711"},
     R"(deviceDescription(0) frame(0) deviceDescription(0)
        IOServiceMatching(IODisplayConnect) IOServiceGetMatchingServices(0,matching)
        IOIteratorNext=service0 IODisplayCreateInfoDictionary(service0,512) CGDisplayVendorNumber(5) CFRelease(info0) IOObjectRelease(service0)
        IOIteratorNext=service1 IODisplayCreateInfoDictionary(service1,512) CGDisplayVendorNumber(5) CFRelease(info1) IOObjectRelease(service1)
        IOIteratorNext=service2 IODisplayCreateInfoDictionary(service2,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CFRelease(info2) IOObjectRelease(service2)
        IOIteratorNext=service3 IODisplayCreateInfoDictionary(service3,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CGDisplaySerialNumber(5) CFRelease(info3) IOObjectRelease(service3)
        IOIteratorNext=service4 IODisplayCreateInfoDictionary(service4,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CGDisplaySerialNumber(5) CFRelease(info4) IOObjectRelease(iterator)
        IODisplayCreateInfoDictionary(service4,512) IOObjectRelease(service4) CFRelease(info4)
        CGDisplayScreenSize(5))"},
    {"no screen number", [](auto& w) { w.screens[0].deviceDescription = {{"NSDeviceSize", OtherKind{}}}; },
     {2560, 1440, std::nullopt, std::nullopt, std::nullopt, std::nullopt}, sizesOnly},
    {"a screen number that is not a number", [](auto& w) { w.screens[0].deviceDescription = describedAs("5"); },
     {2560, 1440, std::nullopt, std::nullopt, std::nullopt, std::nullopt}, sizesOnly},
    {"an empty description and a fractional frame",
     [](auto& w) { w.screens[0] = {{{0, 0}, {799.5, 600.9}}, Dictionary{}}; },
     {799, 600, std::nullopt, std::nullopt, std::nullopt, std::nullopt}, sizesOnly},
    {"an inexact screen number: id and size, but no name",
     [](auto& w) {
         w.screens[0].deviceDescription = describedAs(Number::integer(-2));
         w.displays[0xFFFFFFFE] = {{0, 0}, 0x10AC, 0xA056, 42};
         w.services = {{displayInfo(0x10AC, 0xA056, 42, "DELL U2711")}};
     },
     {2560, 1440, 0, 0, 4294967294, std::nullopt},
     "deviceDescription(0) frame(0) deviceDescription(0) CGDisplayScreenSize(4294967294)"},
    {"no service matches", [](auto& w) { w.services = {{displayInfo(0x10AC, 0xA056, 43, "X")}}; }, unnamed,
     R"(deviceDescription(0) frame(0) deviceDescription(0)
        IOServiceMatching(IODisplayConnect) IOServiceGetMatchingServices(0,matching)
        IOIteratorNext=service0 IODisplayCreateInfoDictionary(service0,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CGDisplaySerialNumber(5) CFRelease(info0) IOObjectRelease(service0)
        IOIteratorNext=0 IOObjectRelease(iterator) CGDisplayScreenSize(5))"},
    {"the registry refuses the request", [](auto& w) { w.matchingStatus = noDevice; }, unnamed,
     R"(deviceDescription(0) frame(0) deviceDescription(0)
        IOServiceMatching(IODisplayConnect) IOServiceGetMatchingServices(0,matching)
        CGDisplayScreenSize(5))"},
    {"the registry refuses the request but hands out an iterator",
     [](auto& w) { w.matchingStatus = noDevice, w.iteratorDespiteRefusal = true; }, unnamed,
     R"(deviceDescription(0) frame(0) deviceDescription(0)
        IOServiceMatching(IODisplayConnect) IOServiceGetMatchingServices(0,matching)
        IOObjectRelease(iterator) CGDisplayScreenSize(5))"},
    {"an empty registry", [](auto&) {}, unnamed,
     R"(deviceDescription(0) frame(0) deviceDescription(0)
        IOServiceMatching(IODisplayConnect) IOServiceGetMatchingServices(0,matching)
        IOIteratorNext=0 IOObjectRelease(iterator) CGDisplayScreenSize(5))"},
    {"services without a usable info dictionary are skipped",
     [](auto& w) {
         Dictionary numberKeyed = *displayInfo(0x10AC, 0xA056, 42, "X").asDictionary();
         numberKeyed.set(Number::integer(1), "one");
         w.services = {{std::nullopt}, {Value("text")}, {numberKeyed},
                       {displayInfo(0x10AC, 0xA056, 42, "DELL U2711")}};
     },
     {2560, 1440, 600, 340, 5, "DELL U2711"},
     R"(deviceDescription(0) frame(0) deviceDescription(0)
        IOServiceMatching(IODisplayConnect) IOServiceGetMatchingServices(0,matching)
        IOIteratorNext=service0 IODisplayCreateInfoDictionary(service0,512) IOObjectRelease(service0)
        IOIteratorNext=service1 IODisplayCreateInfoDictionary(service1,512) CFRelease(info1) IOObjectRelease(service1)
        IOIteratorNext=service2 IODisplayCreateInfoDictionary(service2,512) CFRelease(info2) IOObjectRelease(service2)
        IOIteratorNext=service3 IODisplayCreateInfoDictionary(service3,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CGDisplaySerialNumber(5) CFRelease(info3) IOObjectRelease(iterator)
        IODisplayCreateInfoDictionary(service3,512) IOObjectRelease(service3) CFRelease(info3)
        CGDisplayScreenSize(5))"},
    {"the matched service gives no info dictionary the second time",
     [](auto& w) { w.services = {{displayInfo(0x10AC, 0xA056, 42, "DELL U2711"), true}}; }, unnamed,
     R"(deviceDescription(0) frame(0) deviceDescription(0)
        IOServiceMatching(IODisplayConnect) IOServiceGetMatchingServices(0,matching)
        IOIteratorNext=service0 IODisplayCreateInfoDictionary(service0,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CGDisplaySerialNumber(5) CFRelease(info0) IOObjectRelease(iterator)
        IODisplayCreateInfoDictionary(service0,512) IOObjectRelease(service0)
        CGDisplayScreenSize(5))"},
};

TEST(ScreenDescription, EveryRoadMakesExactlyItsCallsAndGivesItsRecord)
{
    for (const Road& road : roads) {
        SCOPED_TRACE(road.what);
        EXPECT_EQ(describe(road), road.expected);
        EXPECT_EQ(world().calls, words(road.calls));
    }
}

TEST(ScreenDescription, OnlyTextByLocaleIsAProductName)
{
    for (const Value& names : {Value("DELL U2711"), Value(Dictionary{}), Value(Dictionary{{"en_US", Number::integer(1)}}),
                               Value(Dictionary{{"en_US", "A"}, {Number::integer(2), "B"}}), Value(OtherKind{})}) {
        Dictionary info = *displayInfo(0x10AC, 0xA056, 42, std::nullopt).asDictionary();
        info.set("DisplayProductName", names);
        EXPECT_EQ(describe({"", [&](auto& w) { w.services = {{info}}; }, {}, ""}), unnamed);
    }
}

// Every test here relies on the ledger: it must notice a handle or a
// dictionary that is kept, and one released twice.
TEST(StandinLedger, NoticesWhatIsKeptAndWhatIsReleasedTwice)
{
    standin::resetWorld();
    world().services = {{displayInfo(1, 2, 3, "X")}};
    io_iterator_t iterator = 0;
    IOServiceGetMatchingServices(kIOMasterPortDefault, IOServiceMatching("IODisplayConnect"), &iterator);
    const io_object_t service = IOIteratorNext(iterator);
    CFOwned info = IODisplayCreateInfoDictionary(service, kIODisplayOnlyPreferredName);
    IOObjectRelease(iterator);
    EXPECT_EQ(world().ledgerFaults(), "info0 not released; 1 handle references not released");
    info.reset();
    IOObjectRelease(service);
    EXPECT_EQ(world().ledgerFaults(), "");
    IOObjectRelease(service);
    EXPECT_EQ(world().ledgerFaults(), "IOObjectRelease(service0) not held; ");
}

}  // namespace
}  // namespace lsscreens::testing
