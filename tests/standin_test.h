// Tests against the scripted standin platform: a fresh world for every test
// and every case, and the ledger must balance after each.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/standin/standin_world.h"

namespace lsscreens::testing {

inline standin::World& world() { return standin::world(); }

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override { standin::resetWorld(); }
    void TearDown() override { EXPECT_EQ(world().ledgerFaults(), ""); }
};

// A call log written one call per word, as the expected logs are written.
inline std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

// A device description as the window system gives it: the display id under
// "NSScreenNumber" beside a value the tool ignores.
inline Dictionary describedAs(Value screenNumber)
{
    return Dictionary{{"NSDeviceSize", OtherKind{}}, {"NSScreenNumber", std::move(screenNumber)}};
}

// An info dictionary as the registry gives it for one display service.
inline Value displayInfo(std::optional<std::int64_t> vendor, std::optional<std::int64_t> product,
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
