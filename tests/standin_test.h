// A fixture for tests against the scripted standin platform: a fresh world for
// every test, and after every test the ledger must balance.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/standin/standin_world.h"

namespace lsscreens::testing {

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override { standin::resetWorld(); }
    void TearDown() override
    {
        EXPECT_TRUE(world().balanced()) << world().ledgerReport();
    }
    static standin::World& world() { return standin::world(); }
};

// A device description as the window system gives it: the display id under
// "NSScreenNumber" beside values the tool ignores.
inline Dictionary describedAs(Value screenNumber)
{
    return Dictionary{{"NSDeviceSize", OtherKind{}}, {"NSScreenNumber", std::move(screenNumber)}};
}

// An info dictionary as the registry gives it for one display service.
inline Dictionary displayInfo(std::optional<std::int64_t> vendor, std::optional<std::int64_t> product,
                              std::optional<std::int64_t> serial, std::optional<std::string> name)
{
    Dictionary info;
    if (vendor) info.set("DisplayVendorID", Number::integer(*vendor));
    if (product) info.set("DisplayProductID", Number::integer(*product));
    if (serial) info.set("DisplaySerialNumber", Number::integer(*serial));
    if (name) info.set("DisplayProductName", Dictionary{{"en_US", *name}});
    return info;
}

}  // namespace lsscreens::testing
