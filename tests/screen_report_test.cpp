// The whole run against scripted worlds: the printed line, parsed with a real
// JSON parser and compared, and checked byte for byte where the format matters.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "report/screen_report.h"
#include "tests/standin_test.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

class ScreenReport : public StandinTest {};

TEST_F(ScreenReport, NoScreensIsAnEmptyArrayAndOneLineFeed)
{
    EXPECT_EQ(screenReport(), "[]\n");
    EXPECT_EQ(world().countCalls("NSScreen.screens"), 1u);
}

TEST_F(ScreenReport, EveryScreenInTheWindowSystemsOrder)
{
    // Two identical monitors without serial numbers, a screen whose display
    // id cannot be read, and a built-in panel whose registry entry is missing.
    world().displays[69] = {{527.9, 296.4}, 0x4C2D, 0x707F, 0};
    world().displays[70] = {{527.9, 296.4}, 0x4C2D, 0x707F, 0};
    world().displays[1] = {{0, 0}, 0x0610, 0xA040, 0};
    world().services.push_back({Value(displayInfo(0x1E6D, 0x5B11, std::nullopt, "LG HDR 4K"))});
    world().services.push_back({Value(displayInfo(0x4C2D, 0x707F, std::nullopt, "LF27T35 \"Q\"/2"))});
    world().services.push_back({Value(displayInfo(0x4C2D, 0x707F, std::nullopt, "Never reached"))});
    world().screens = {
        {{{0, 0}, {2560, 1440}}, describedAs(Number::integer(69))},
        {{{2560, 0}, {2560.9, 1440.5}}, describedAs(Number::integer(70))},
        {{{0, 1440}, {1024, 768}}, Dictionary{{"NSDeviceSize", OtherKind{}}}},
        {{{-1512, 0}, {1512, 982}}, describedAs(Number::integer(1))},
    };

    const std::string report = screenReport();
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1);
    EXPECT_EQ(report.back(), '\n');
    EXPECT_EQ(json::parse(report), json::parse(R"([
        {"resWidth":2560,"resHeight":1440,"mmWidth":527,"mmHeight":296,"id":69,"name":"LF27T35 \"Q\"/2"},
        {"resWidth":2560,"resHeight":1440,"mmWidth":527,"mmHeight":296,"id":70,"name":"LF27T35 \"Q\"/2"},
        {"resWidth":1024,"resHeight":768},
        {"resWidth":1512,"resHeight":982,"mmWidth":0,"mmHeight":0,"id":1}
    ])"));
    // Compact, with the solidus escaped.
    EXPECT_EQ(report.substr(0, report.find('}') + 1),
              R"([{"resWidth":2560,"resHeight":1440,"mmWidth":527,"mmHeight":296,"id":69,)"
              R"("name":"LF27T35 \"Q\"\/2"})");
}

TEST_F(ScreenReport, EachRunStartsFromAnEmptyList)
{
    world().screens = {{{{0, 0}, {800, 600}}, Dictionary{}}};
    EXPECT_EQ(screenReport(), R"([{"resWidth":800,"resHeight":600}])" "\n");
    EXPECT_EQ(screenReport(), R"([{"resWidth":800,"resHeight":600}])" "\n");
}

}  // namespace
}  // namespace lsscreens::testing
