// One screen turned into its record: which values come from where, what is
// left absent on each road, and what is (not) consulted.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/standin_test.h"

namespace lsscreens::testing {
namespace {

class ScreenDescription : public StandinTest {
protected:
    ScreenInfo describe(Dictionary description, NSRect frame = {{0, 0}, {1920, 1080}})
    {
        world().screens = {{frame, std::move(description)}};
        return NSScreen(0).screenInfos();
    }
    // A display 5 of 600 by 340 mm, known to the registry under name.
    void addDisplayNamed(Value productName)
    {
        world().displays[5] = {{600.7, 340.2}, 0x10AC, 0xA056, 42};
        Dictionary info = displayInfo(0x10AC, 0xA056, 42, std::nullopt);
        info.set("DisplayProductName", std::move(productName));
        world().services.push_back({Value(info)});
    }
    // Position of the last such call in the log, -1 when it was not made.
    std::ptrdiff_t positionOf(const std::string& call)
    {
        const auto& calls = world().calls();
        const auto last = std::find(calls.rbegin(), calls.rend(), call);
        return calls.rend() - last - 1;
    }
};

TEST_F(ScreenDescription, AllFourSourcesMeetInOneRecord)
{
    addDisplayNamed(Dictionary{{"en_US", "DELL U2711"}});
    const ScreenInfo info = describe(describedAs(Number::integer(5)), {{-1920, 0}, {2560, 1440}});
    EXPECT_EQ(info, (ScreenInfo{2560, 1440, 600, 340, 5, "DELL U2711"}));

    // The sizes are converted before the name is looked up; the name lookup
    // releases its service as soon as the info dictionary is in hand.
    const auto service = std::to_string(standin::World::serviceHandle(0));
    EXPECT_LT(positionOf("frame(0)"), positionOf("IOServiceMatching(IODisplayConnect)"));
    EXPECT_EQ(positionOf("IOObjectRelease(" + service + ")"),
              positionOf("IODisplayCreateInfoDictionary(" + service + ",512)") + 1);
}

TEST_F(ScreenDescription, WithoutScreenNumberOnlyTheSizesAreKnown)
{
    addDisplayNamed(Dictionary{{"en_US", "DELL U2711"}});
    for (const Dictionary& description :
         {Dictionary{}, Dictionary{{"NSDeviceSize", OtherKind{}}}, describedAs("5"),
          describedAs(OtherKind{})}) {
        const ScreenInfo info = describe(description, {{0, 0}, {799.5, 600.9}});
        EXPECT_EQ(info, (ScreenInfo{799, 600, std::nullopt, std::nullopt, std::nullopt, std::nullopt}));
    }
    EXPECT_EQ(world().countCalls("CGDisplayScreenSize"), 0u);
    EXPECT_EQ(world().countCalls("IOServiceMatching"), 0u);
}

TEST_F(ScreenDescription, InexactScreenNumberGivesIdAndSizeButNoName)
{
    addDisplayNamed(Dictionary{{"en_US", "DELL U2711"}});
    world().displays[0xFFFFFFFE] = {{300, 200}, 0x10AC, 0xA056, 42};
    EXPECT_EQ(describe(describedAs(Number::integer(-2))),
              (ScreenInfo{1920, 1080, 300, 200, 4294967294, std::nullopt}));
    EXPECT_EQ(describe(describedAs(Number::floating(5.7))),
              (ScreenInfo{1920, 1080, 600, 340, 5, std::nullopt}));
    EXPECT_EQ(world().countCalls("IOServiceMatching"), 0u);

    // An exact floating value is as good as an integer.
    EXPECT_EQ(describe(describedAs(Number::floating(5.0))).name, "DELL U2711");
}

TEST_F(ScreenDescription, UnknownPhysicalSizeIsZeroNotAbsent)
{
    world().displays[3] = {{0, 0}, 1, 2, 3};
    EXPECT_EQ(describe(describedAs(Number::integer(3))),
              (ScreenInfo{1920, 1080, 0, 0, 3, std::nullopt}));
}

TEST_F(ScreenDescription, NoMatchingServiceLeavesOnlyTheNameAbsent)
{
    addDisplayNamed(Dictionary{{"en_US", "DELL U2711"}});
    world().displays[5].serial = 43;
    EXPECT_EQ(describe(describedAs(Number::integer(5))),
              (ScreenInfo{1920, 1080, 600, 340, 5, std::nullopt}));
}

TEST_F(ScreenDescription, TwoLocalizationsGiveExactlyOneOfThem)
{
    addDisplayNamed(Dictionary{{"en_US", "Display"}, {"fr_FR", "Moniteur"}});
    const auto name = describe(describedAs(Number::integer(5))).name;
    ASSERT_TRUE(name);
    EXPECT_TRUE(*name == "Display" || *name == "Moniteur") << *name;
}

TEST_F(ScreenDescription, ProductNamesThatAreNotTextByLocaleAreIgnored)
{
    const std::vector<Value> malformed{
        "DELL U2711",                                         // plain text
        Dictionary{},                                         // no localization
        Dictionary{{"en_US", Number::integer(1)}},            // value not text
        Dictionary{{"en_US", "A"}, {Number::integer(2), "B"}},  // key not text
        OtherKind{},
    };
    for (const Value& productName : malformed) {
        world().services.clear();
        addDisplayNamed(productName);
        EXPECT_EQ(describe(describedAs(Number::integer(5))).name, std::nullopt);
    }
}

}  // namespace
}  // namespace lsscreens::testing
