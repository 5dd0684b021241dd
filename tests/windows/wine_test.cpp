// lsscreens.exe, cross-built, under Wine over real X servers with real EDIDs.
// Each test has its own copy of the template Wine prefix (made once per test
// run, before any test), so its own wineserver, which keeps the display it
// started with: the X server is set up before Wine first runs on it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/linux/edid_samples.h"
#include "tests/linux/report_json.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

struct WinePrefix : ScratchDirectory {
    WinePrefix() { EXPECT_EQ(run({"cp", "-a", LSSCREENS_WINE_TEMPLATE "/.", path}).status, 0); }
    ~WinePrefix() { wine({"wineserver", "-k"}); }
    Finished wine(std::vector<std::string> command) const
    {
        command.insert(command.begin(), {"env", "WINEPREFIX=" + path.string(), "WINEDEBUG=-all"});
        return run(command);
    }
    // The report, checked as bytes (reportOf: one line feed at the end, no
    // carriage return, nothing on standard error, exit 0); run under the
    // command given ("env -u DISPLAY"), if any.
    json lsscreens(std::vector<std::string> command = {}) const
    {
        command.insert(command.end(), {"wine", LSSCREENS_WINDOWS_EXE});
        return reportOf(wine(command));
    }
};

using WineOnXorgDummy = XorgDummy;

// Three monitors, the second primary, EDIDs on the second and third, the
// first cloned on a fourth output (one screen for both); then the same at a
// scale of 150 %: the logical sizes divided by 1.5, truncated.
TEST_F(WineOnXorgDummy, ThreeMonitorsTheSecondPrimaryNamesAndSizesFromEdidsAndScaled)
{
    ASSERT_TRUE(xrandr("--addmode DUMMY1 1920x1080 --addmode DUMMY2 1400x1050 --addmode DUMMY3 1024x768"));
    ASSERT_TRUE(xrandr("--output DUMMY0 --mode 1024x768 --output DUMMY1 --mode 1920x1080 --right-of DUMMY0 --primary "
                       "--output DUMMY2 --mode 1400x1050 --right-of DUMMY1 --output DUMMY3 --mode 1024x768 --same-as DUMMY0"));
    ASSERT_TRUE(setEdid(outputs().at("DUMMY1"), edidSample("DEL_A056_001.bin").bytes));
    ASSERT_TRUE(setEdid(outputs().at("DUMMY2"), edidSample("SAM_707F_003.bin").bytes));
    const WinePrefix wine;
    const json report = wine.lsscreens();
    ASSERT_EQ(report.size(), 3u) << report;
    const std::uint32_t ids[] = {report[0]["id"], report[1]["id"], report[2]["id"]};
    EXPECT_TRUE(ids[0] != ids[1] && ids[1] != ids[2] && ids[0] != ids[2]) << report;
    EXPECT_EQ(report, json::array({screen(1920, 1080, 597, 336, ids[0], "DELL U2711"), screen(1024, 768, 0, 0, ids[1]),
                                   screen(1400, 1050, 598, 337, ids[2], "LF27T35")}));

    ASSERT_EQ(wine.wine({"wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                         "/d", "144", "/f"}).status, 0);
    EXPECT_EQ(wine.lsscreens(), json::array({screen(1280, 720, 597, 336, ids[0], "DELL U2711"),
                                             screen(682, 512, 0, 0, ids[1]),  // 1024 / 1.5 = 682.67
                                             screen(933, 700, 598, 337, ids[2], "LF27T35")}));  // 1400 / 1.5 = 933.33
}

TEST(Wine, XvfbOneScreenWithoutName)
{
    const XServer server(xvfb({"1600x900x24"}));
    EXPECT_EQ(WinePrefix().lsscreens(), json::array({screen(1600, 900, 0, 0, 0)}));
}

// Whatever Wine presents without a display, as one valid line; exit 1 when
// the report cannot be written.
TEST(Wine, NoXServerAndAnUnwritableOutput)
{
    const WinePrefix wine;
    EXPECT_TRUE(wine.lsscreens({"env", "-u", "DISPLAY"}).is_array());
    const auto unwritable = wine.wine({"sh", "-c", "exec env -u DISPLAY wine '" LSSCREENS_WINDOWS_EXE "' >/dev/full"});
    EXPECT_EQ(std::pair(unwritable.status, unwritable.err), std::pair(1 << 8, std::string()));
}

}  // namespace
}  // namespace lsscreens::testing
