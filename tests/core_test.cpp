// The core. First the values every report goes through: JSON strings
// (escapes and the repair of ill-formed UTF-8), the truncation of sizes, the
// two readings of a number object, and the dictionaries a platform hands out
// until released. Their edges (NaN, infinities, values beyond the target
// range, negative zero, broken byte sequences) are where faults and undefined
// behaviour would hide.
//
// Then the screen report against the scripted standin platform. A screen's
// record is checked road by road against the whole call log, so the order of
// the calls, their repetition, the options passed and the moment of every
// release are checked at once, and every case checks that each handle and
// dictionary was given back exactly once. Then the whole run, byte for byte
// and parsed with a real JSON parser.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <nlohmann/json.hpp>

#include "display/platform_value.h"
#include "display/truncation.h"
#include "platform/shared/registry_objects.h"
#include "platform/standin/standin_world.h"
#include "report/json_encoder.h"
#include "report/json_string.h"
#include "report/screen_info.h"
#include "report/screen_report.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
constexpr auto none = std::nullopt;

TEST(Truncation, TowardZeroSaturatingNaNIsZero)
{
    const std::pair<double, std::int64_t> cases[] = {
        {799.5, 799}, {600.9, 600}, {-0.9, 0}, {-2.5, -2}, {nan, 0}, {inf, int64Max}, {-inf, int64Min},
        {9223372036854775808.0, int64Max}, {9223372036854774784.0, 9223372036854774784},
        {-9223372036854775808.0, int64Min}, {-1e300, int64Min}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(truncatedToInt64(in), out) << in;
}

// exactUInt32: only values exactly representable; unsignedIntValue: integers
// wrap modulo 2^32, floating values are truncated first, NaN and infinities 0.
TEST(NumberObject, ExactAndLenientUnsigned32)
{
    const struct {
        Number number;
        std::optional<std::uint32_t> exact;
        std::uint32_t lenient;
    } cases[] = {
        {Number::integer(4294967295), 4294967295u, 4294967295u}, {Number::integer(4294967296 + 5), none, 5u},
        {Number::integer(-1), none, 0xFFFFFFFFu}, {Number::integer(int64Min), none, 0u},
        {Number::floating(5.0), 5u, 5u}, {Number::floating(-0.0), 0u, 0u},
        {Number::floating(4294967295.0), 4294967295u, 4294967295u}, {Number::floating(4294967296.0), none, 0u},
        {Number::floating(7.9), none, 7u}, {Number::floating(-1.5), none, 0xFFFFFFFFu},
        {Number::floating(4294967301.7), none, 5u}, {Number::floating(-4294967296.0), none, 0u},
        {Number::floating(1e300), none, static_cast<std::uint32_t>(std::fmod(1e300, 4294967296.0))},
        {Number::floating(0x1p83 + 0x1p31), none, 1u << 31}, {Number::floating(-0x1p70 - 0x1p20), none, 0xFFF00000u},
        {Number::floating(nan), none, 0u}, {Number::floating(inf), none, 0u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.number.exactUInt32(), c.exact) << &c - cases;
        EXPECT_EQ(c.number.unsignedIntValue(), c.lenient) << &c - cases;
    }
}

TEST(JsonString, EscapesAndRepairedUtf8)
{
    const std::string fffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"AB/CD", R"("AB\/CD")"}, {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"}, {"\n\r\t\b\f", R"("\n\r\t\b\f")"},
        {std::string("\x00\x01\x1f\x7f", 4), "\"\\u0000\\u0001\\u001f\x7f\""},
        {"Écran 显示器 \xF0\x9F\x96\xA5", "\"Écran 显示器 \xF0\x9F\x96\xA5\""},  // as itself
        {"Acer\xA0" "AL171\xB4", "\"Acer" + fffd + "AL171" + fffd + "\""},  // Latin-1 bytes
        {"\xFF\xFE", "\"" + fffd + fffd + "\""},                              // never valid
        {"\xC0\xAF", "\"" + fffd + fffd + "\""},                              // overlong "/"
        {"\xE0\x80\xAF", "\"" + fffd + fffd + fffd + "\""},                   // overlong, 3 bytes
        {"\xED\xA0\x80", "\"" + fffd + fffd + fffd + "\""},                   // surrogate U+D800
        {"\xF4\x90\x80\x80", "\"" + fffd + fffd + fffd + fffd + "\""},        // above U+10FFFF
        {"\xF0\x8F\xBF\xBF", "\"" + fffd + fffd + fffd + fffd + "\""},        // overlong, 4 bytes
        {"\xE2\x82" "A", "\"" + fffd + "A\""},                                // cut short before ASCII
        {"\xF0\x9F\x96", "\"" + fffd + "\""},                                 // cut short at the end
        {"\xC3\xA9\xC3", "\"\xC3\xA9" + fffd + "\""},                         // valid, then cut short
    };
    for (const auto& [input, expected] : cases) {
        std::string out;
        appendJSONString(out, input);
        EXPECT_EQ(out, expected) << ::testing::PrintToString(input);
        EXPECT_TRUE(json::accept(out));
    }

    // Every ASCII character survives a round trip through a real parser.
    std::string all(0x80, '\0');
    std::iota(all.begin(), all.end(), '\0');
    const auto name = json::parse(JSONEncoder().encode({{1, 2, std::nullopt, std::nullopt, std::nullopt, all}}));
    EXPECT_EQ(name[0]["name"].get<std::string>(), all);
}

// Each reference handed out holds the dictionary until it is given back, and
// a release lets go of it for good: a second release of the same reference
// is refused, and the platform's shared copy is the only holder left.
TEST(LiveObjects, AReleasedDictionaryIsDroppedOnce)
{
    platform_shared::LiveObjects objects;
    const auto kept = std::make_shared<const Value>(Dictionary{{"DisplayProductName", "LF27T35"}});
    const CFTypeRef first = objects.add(kept).release();
    const CFTypeRef second = objects.add(kept).release();
    const CFTypeRef other = objects.add(Value(Dictionary{})).release();
    EXPECT_EQ(kept.use_count(), 3);
    EXPECT_TRUE(objects.release(first));
    EXPECT_TRUE(objects.release(other));
    EXPECT_FALSE(objects.release(other));
    EXPECT_EQ(kept.use_count(), 2);
    EXPECT_TRUE(objects.release(second));
    EXPECT_FALSE(objects.release(first));
    EXPECT_EQ(kept.use_count(), 1);
    EXPECT_EQ(objects.size(), 0u);
}

standin::World& world() { return standin::world(); }

// A device description as the window system gives it: the display id under
// "NSScreenNumber" beside a value the tool ignores.
Dictionary describedAs(Value screenNumber)
{
    return Dictionary{{"NSDeviceSize", OtherKind{}}, {"NSScreenNumber", std::move(screenNumber)}};
}

// An info dictionary as the registry gives it for one display service.
Value displayInfo(std::optional<std::int64_t> vendor, std::optional<std::int64_t> product,
                  std::optional<std::int64_t> serial, std::optional<std::string> name)
{
    Dictionary info;
    if (vendor) info.set("DisplayVendorID", Number::integer(*vendor));
    if (product) info.set("DisplayProductID", Number::integer(*product));
    if (serial) info.set("DisplaySerialNumber", Number::integer(*serial));
    if (name) info.set("DisplayProductName", Dictionary{{"en_US", *name}});
    return info;
}

constexpr kern_return_t noDevice = static_cast<kern_return_t>(0xE00002C0);

struct Road {
    const char* what;
    std::function<void(standin::World&)> script;
    ScreenInfo expected;
    bool walks;         // the calls go on into the registry walk...
    const char* calls;  // ...with these
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

// Every road starts with the sizes and the name lookup's description; most go
// on into the registry walk. Each call is followed by a space.
const std::string sizes = "deviceDescription(0) frame(0) deviceDescription(0) ";
const std::string walk = "IOServiceMatching(IODisplayConnect) IOServiceGetMatchingServices(0,matching) ";
const ScreenInfo unnamed{2560, 1440, 600, 340, 5, std::nullopt};
const ScreenInfo sizesAlone{2560, 1440, std::nullopt, std::nullopt, std::nullopt, std::nullopt};

const Road roads[] = {
    {"the walk skips services without a usable info dictionary, rejects others until the first match, "
     "which gives the name",
     [](auto& w) {
         Dictionary numberKeyed = *displayInfo(0x10AC, 0xA056, 42, "X").asDictionary();
         numberKeyed.set(Number::integer(1), "one");
         w.services = {{std::nullopt}, {Value("text")}, {numberKeyed},
                       {displayInfo(9, 0xA056, 42, "other vendor")},
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
     true, "IOIteratorNext=service0 IODisplayCreateInfoDictionary(service0,512) IOObjectRelease(service0) "
     "IOIteratorNext=service1 IODisplayCreateInfoDictionary(service1,512) CFRelease(info1) IOObjectRelease(service1) "
     "IOIteratorNext=service2 IODisplayCreateInfoDictionary(service2,512) CFRelease(info2) IOObjectRelease(service2) "
     "IOIteratorNext=service3 IODisplayCreateInfoDictionary(service3,512) CGDisplayVendorNumber(5) CFRelease(info3) IOObjectRelease(service3) "
     "IOIteratorNext=service4 IODisplayCreateInfoDictionary(service4,512) CGDisplayVendorNumber(5) CFRelease(info4) IOObjectRelease(service4) "
     "IOIteratorNext=service5 IODisplayCreateInfoDictionary(service5,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CFRelease(info5) IOObjectRelease(service5) "
     "IOIteratorNext=service6 IODisplayCreateInfoDictionary(service6,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CGDisplaySerialNumber(5) CFRelease(info6) IOObjectRelease(service6) "
     "IOIteratorNext=service7 IODisplayCreateInfoDictionary(service7,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CGDisplaySerialNumber(5) CFRelease(info7) IOObjectRelease(iterator) "
     "IODisplayCreateInfoDictionary(service7,512) IOObjectRelease(service7) CFRelease(info7) CGDisplayScreenSize(5) "},
    {"no screen number", [](auto& w) { w.screens[0].deviceDescription = {{"NSDeviceSize", OtherKind{}}}; }, sizesAlone, false, ""},
    {"a screen number that is not a number", [](auto& w) { w.screens[0].deviceDescription = describedAs("5"); }, sizesAlone, false, ""},
    {"an empty description and a fractional frame",
     [](auto& w) { w.screens[0] = {{{0, 0}, {799.5, 600.9}}, Dictionary{}}; },
     {799, 600, std::nullopt, std::nullopt, std::nullopt, std::nullopt}, false, ""},
    {"an inexact screen number: id and size, but no name",
     [](auto& w) {
         w.screens[0].deviceDescription = describedAs(Number::integer(-2));
         w.displays[0xFFFFFFFE] = {{0, 0}, 0x10AC, 0xA056, 42};
         w.services = {{displayInfo(0x10AC, 0xA056, 42, "DELL U2711")}};
     },
     {2560, 1440, 0, 0, 4294967294, std::nullopt},
     false, "CGDisplayScreenSize(4294967294) "},
    {"the registry refuses the request", [](auto& w) { w.matchingStatus = noDevice; }, unnamed, true, "CGDisplayScreenSize(5) "},
    {"the registry refuses the request but hands out an iterator",
     [](auto& w) { w.matchingStatus = noDevice, w.iteratorDespiteRefusal = true; }, unnamed,
     true, "IOObjectRelease(iterator) CGDisplayScreenSize(5) "},
    {"an empty registry", [](auto&) {}, unnamed, true, "IOIteratorNext=0 IOObjectRelease(iterator) CGDisplayScreenSize(5) "},
    {"the matched service gives no info dictionary the second time",
     [](auto& w) { w.services = {{displayInfo(0x10AC, 0xA056, 42, "DELL U2711"), 1}}; }, unnamed,
     true, "IOIteratorNext=service0 IODisplayCreateInfoDictionary(service0,512) CGDisplayVendorNumber(5) CGDisplayModelNumber(5) CGDisplaySerialNumber(5) CFRelease(info0) IOObjectRelease(iterator) "
     "IODisplayCreateInfoDictionary(service0,512) IOObjectRelease(service0) CGDisplayScreenSize(5) "},
};

TEST(ScreenDescription, EveryRoadMakesExactlyItsCallsAndGivesItsRecord)
{
    for (const Road& road : roads) {
        SCOPED_TRACE(road.what);
        EXPECT_EQ(describe(road), road.expected);
        EXPECT_EQ(world().calls, sizes + (road.walks ? walk : "") + road.calls);
    }
}

TEST(ScreenDescription, OnlyTextByLocaleIsAProductName)
{
    for (const Value& names : {Value("DELL U2711"), Value(Dictionary{}), Value(Dictionary{{"en_US", Number::integer(1)}}),
                               Value(Dictionary{{"en_US", "A"}, {Number::integer(2), "B"}}), Value(OtherKind{})}) {
        Dictionary info = *displayInfo(0x10AC, 0xA056, 42, std::nullopt).asDictionary();
        info.set("DisplayProductName", names);
        EXPECT_EQ(describe({"", [&](auto& w) { w.services = {{info}}; }, {}, true, ""}), unnamed);
    }
}

// Every check of releases relies on the ledger: it must notice a dictionary
// or a handle that is kept, and one released twice.
TEST(StandinLedger, NoticesWhatIsKeptAndWhatIsReleasedTwice)
{
    standin::resetWorld();
    world().services = {{displayInfo(1, 2, 3, "X")}};
    io_iterator_t iterator = 0;
    IOServiceGetMatchingServices(kIOMasterPortDefault, IOServiceMatching("IODisplayConnect"), &iterator);
    const CFOwned info = IODisplayCreateInfoDictionary(IOIteratorNext(iterator), kIODisplayOnlyPreferredName);
    IOObjectRelease(iterator);
    IOObjectRelease(iterator);
    EXPECT_EQ(world().ledgerFaults(),
              "IOObjectRelease(iterator) not held; info0 not released; 1 handle references not released");
}

// An empty list is the same line whether the window system answered it in
// full or gave no answer; only the status tells them apart.
TEST(ScreenReport, NoScreensIsAnEmptyArrayAndOneLineFeedCompleteOrNot)
{
    for (const bool complete : {true, false}) {
        standin::resetWorld();
        world().complete = complete;
        const ScreenReport report = screenReport();
        EXPECT_EQ(report.json, "[]\n");
        EXPECT_EQ(report.complete, complete);
        EXPECT_EQ(world().calls, "NSScreen.screens NSScreen.screensComplete ");
    }
}

TEST(ScreenReport, EveryScreenInTheWindowSystemsOrderFromOneScreenList)
{
    standin::resetWorld();
    // Two identical monitors without serial numbers (both get the first
    // entry's name), a screen without display id whose sizes are at the ends
    // of the range, and a display whose registry entry has no serial number.
    world().displays[69] = world().displays[70] = {{527.9, 296.4}, 0x4C2D, 0x707F, 0};
    world().displays[1] = {{0, 0}, 0x0610, 0xA040, 0};
    world().services = {{displayInfo(0x4C2D, 0x707F, -5, "LF27T35 \"Q\"/2")},  // inexact serial: 0
                        {displayInfo(0x4C2D, 0x707F, 0, "Never reached")},
                        {displayInfo(0x0610, 0xA040, std::nullopt, "Color LCD")}};
    world().screens = {{{{0, 0}, {2560, 1440}}, describedAs(Number::integer(69))},
                       {{{2560, 0}, {2560.9, 1440.5}}, describedAs(Number::integer(70))},
                       {{{0, 1440}, {1e300, -1e300}}, Dictionary{{"NSDeviceSize", OtherKind{}}}},
                       {{{-1512, 0}, {1512, 982}}, describedAs(Number::integer(1))}};

    const std::string report = screenReport().json;
    EXPECT_EQ(report,
              R"([{"resWidth":2560,"resHeight":1440,"mmWidth":527,"mmHeight":296,"id":69,"name":"LF27T35 \"Q\"\/2"},)"
              R"({"resWidth":2560,"resHeight":1440,"mmWidth":527,"mmHeight":296,"id":70,"name":"LF27T35 \"Q\"\/2"},)"
              R"({"resWidth":9223372036854775807,"resHeight":-9223372036854775808},)"
              R"({"resWidth":1512,"resHeight":982,"mmWidth":0,"mmHeight":0,"id":1,"name":"Color LCD"}])" "\n");
    const json parsed = json::parse(report);
    EXPECT_EQ(parsed[2]["resHeight"].get<std::int64_t>(), int64Min);
    EXPECT_EQ(parsed[0]["name"], "LF27T35 \"Q\"/2");
    EXPECT_EQ(world().calls.rfind("NSScreen.screens "), 0u);  // first, and the only time
    EXPECT_EQ(world().ledgerFaults(), "");
}

}  // namespace
}  // namespace lsscreens::testing
