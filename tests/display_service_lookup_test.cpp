// The registry walk: which service a display id is matched to, what is asked
// of CoreGraphics along the way, and that every handle and dictionary it
// obtains is given back on every road (the fixture checks the ledger).
#include <gtest/gtest.h>

#include "display/display_service_lookup.h"
#include "tests/standin_test.h"

namespace lsscreens::testing {
namespace {

constexpr CGDirectDisplayID display = 7;

class DisplayServiceLookup : public StandinTest {
protected:
    io_service_t lookUp()
    {
        const ScopedIOObject service = getIOService(display);
        return service.get();  // released on return; the ledger checks it
    }
    void addService(Dictionary info) { world().services.push_back({Value(std::move(info))}); }
    void addServiceWithoutInfo() { world().services.push_back({std::nullopt}); }
};

TEST_F(DisplayServiceLookup, RefusedMatchingRequestFindsNothing)
{
    world().matchingStatus = 0x2c0;  // the registry's "no device" status
    addService(displayInfo(1, 2, 3, "X"));
    world().displays[display] = {{}, 1, 2, 3};
    EXPECT_EQ(lookUp(), 0u);
    EXPECT_EQ(world().countCalls("IOIteratorNext"), 0u);
    EXPECT_EQ(world().countCalls("IOServiceMatching(IODisplayConnect)"), 1u);
}

TEST_F(DisplayServiceLookup, EmptyRegistryFindsNothingAndReleasesTheIterator)
{
    world().displays[display] = {{}, 1, 2, 3};
    EXPECT_EQ(lookUp(), 0u);
    EXPECT_EQ(world().handlesObtained(), 1);  // the iterator, released (ledger)
}

TEST_F(DisplayServiceLookup, NoMatchReleasesEveryServiceAndDictionary)
{
    world().displays[display] = {{}, 1, 2, 3};
    addService(displayInfo(9, 2, 3, "Other vendor"));
    addService(displayInfo(1, 9, 3, "Other product"));
    addService(displayInfo(1, 2, 9, "Other serial"));
    EXPECT_EQ(lookUp(), 0u);
    EXPECT_EQ(world().countCalls("IODisplayCreateInfoDictionary"), 3u);
    EXPECT_EQ(world().countCalls("IOObjectRelease"), 4u);  // three services, one iterator
}

TEST_F(DisplayServiceLookup, FirstMatchWinsAndLaterServicesAreNeverExamined)
{
    world().displays[display] = {{}, 1, 2, 3};
    addService(displayInfo(1, 2, 4, "Same model, other serial"));
    addService(displayInfo(1, 2, 3, "First match"));
    addService(displayInfo(1, 2, 3, "Second match"));
    EXPECT_EQ(lookUp(), standin::World::serviceHandle(1));
    EXPECT_EQ(world().countCalls("IODisplayCreateInfoDictionary"), 2u);
    EXPECT_EQ(world().countCalls("IOIteratorNext"), 2u);
    // CoreGraphics is asked anew for every service examined.
    EXPECT_EQ(world().countCalls("CGDisplayVendorNumber(7)"), 2u);
    EXPECT_EQ(world().countCalls("CGDisplaySerialNumber(7)"), 2u);
}

TEST_F(DisplayServiceLookup, EachTestIsAskedOnlyAfterThePreviousOnePassed)
{
    world().displays[display] = {{}, 1, 2, 3};
    addService(displayInfo(9, 2, 3, "Other vendor"));
    EXPECT_EQ(lookUp(), 0u);
    EXPECT_EQ(world().countCalls("CGDisplayVendorNumber"), 1u);
    EXPECT_EQ(world().countCalls("CGDisplayModelNumber"), 0u);

    world().services = {{Value(displayInfo(1, 9, 3, "Other product"))}};
    EXPECT_EQ(lookUp(), 0u);
    EXPECT_EQ(world().countCalls("CGDisplayModelNumber"), 1u);
    EXPECT_EQ(world().countCalls("CGDisplaySerialNumber"), 0u);
}

TEST_F(DisplayServiceLookup, MissingOrInexactSerialCountsAsZero)
{
    world().displays[display] = {{}, 1, 2, 0};
    addService(displayInfo(1, 2, std::nullopt, "No serial"));
    EXPECT_EQ(lookUp(), standin::World::serviceHandle(0));

    world().services = {{Value(displayInfo(1, 2, -5, "Negative serial"))}};
    EXPECT_EQ(lookUp(), standin::World::serviceHandle(0));

    world().displays[display].serial = 5;  // now only an exact 5 may match
    world().services = {{Value(displayInfo(1, 2, std::nullopt, "No serial"))},
                        {Value(displayInfo(1, 2, 5 + 4294967296, "Serial beyond 32 bits"))}};
    EXPECT_EQ(lookUp(), 0u);
}

TEST_F(DisplayServiceLookup, VendorWithoutProductNeverMatches)
{
    world().displays[display] = {{}, 1, 0, 0};
    addService(displayInfo(1, std::nullopt, 0, "No product"));
    addService(displayInfo(std::nullopt, 0, 0, "No vendor"));
    EXPECT_EQ(lookUp(), 0u);
    EXPECT_EQ(world().countCalls("CGDisplayModelNumber"), 0u);
}

TEST_F(DisplayServiceLookup, UnidentifiableServicesAreSkipped)
{
    world().displays[display] = {{}, 1, 2, 3};
    addServiceWithoutInfo();
    world().services.push_back({Value("an info dictionary that is text")});
    Dictionary numberKeyed = displayInfo(1, 2, 3, "Keys of another kind");
    numberKeyed.set(Number::integer(1), "one");
    addService(numberKeyed);
    Dictionary floatingIds;
    floatingIds.set("DisplayVendorID", Number::floating(1.0));  // exact: still 1
    floatingIds.set("DisplayProductID", Number::floating(2.0));
    floatingIds.set("DisplaySerialNumber", Number::floating(3.0));
    addService(floatingIds);
    EXPECT_EQ(lookUp(), standin::World::serviceHandle(3));
    EXPECT_EQ(world().dictionariesCreated(), 4);  // matching dictionary + 3 infos
}

// The ledger every test here relies on must itself notice a handle or a
// dictionary that is kept, and one released twice.
TEST(StandinLedger, NoticesWhatIsKeptAndWhatIsReleasedTwice)
{
    standin::resetWorld();
    standin::world().services.push_back({Value(displayInfo(1, 2, 3, "X"))});
    io_iterator_t iterator = 0;
    ASSERT_EQ(IOServiceGetMatchingServices(kIOMasterPortDefault, IOServiceMatching("IODisplayConnect"),
                                           &iterator),
              KERN_SUCCESS);
    const io_object_t service = IOIteratorNext(iterator);
    CFOwned info = IODisplayCreateInfoDictionary(service, kIODisplayOnlyPreferredName);
    IOObjectRelease(iterator);
    EXPECT_FALSE(standin::world().balanced());  // service and dictionary still held

    info.reset();
    IOObjectRelease(service);
    EXPECT_TRUE(standin::world().balanced()) << standin::world().ledgerReport();

    IOObjectRelease(service);
    EXPECT_FALSE(standin::world().balanced());  // released once too often
    standin::resetWorld();
}

}  // namespace
}  // namespace lsscreens::testing
