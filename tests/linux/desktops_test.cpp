// The desktops' own compositors, headless, each with a session bus of its
// own, their layouts changed the way their settings panels do: mutter, whose
// primary and physical-mode sizes come from its D-Bus interface, and KWin,
// checked against kscreen-doctor. Only mutter's runs map libsystemd, and only
// where its bus's reply can change the answer.
#include <sys/socket.h>
#include <sys/un.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <iterator>

#include "platform/linux/descriptor.h"
#include "tests/linux/harness.h"

namespace lsscreens::testing {
namespace {

using nlohmann::json;

// The screens' sizes in order, as [width, height] (ids are the compositor's,
// names unknown), having checked whether the run mapped libsystemd, by the
// dynamic loader's own account.
json lsscreens(const Compositor& desktop, bool mapsLibsystemd, std::vector<std::string> variables = {})
{
    variables.insert(variables.end(), {"LD_DEBUG=files", "LD_DEBUG_OUTPUT=" + (desktop.runtime.path / "loader").string()});
    const Finished finished = desktop.run({LSSCREENS_BINARY}, variables);
    EXPECT_TRUE(finished.status == 0 && finished.err.empty()) << finished.status << finished.err;
    bool libsystemd = false;
    for (const auto& entry : std::filesystem::directory_iterator(desktop.runtime.path)) {
        if (entry.path().filename().string().starts_with("loader.")) {
            std::ifstream in(entry.path());
            libsystemd |= std::string(std::istreambuf_iterator<char>(in), {}).find("libsystemd.so") != std::string::npos;
            std::filesystem::remove(entry);
        }
    }
    EXPECT_EQ(libsystemd, mapsLibsystemd);
    json sizes = json::array();
    for (const auto& screen : json::parse(finished.out))
        sizes.push_back({screen["resWidth"], screen["resHeight"]});
    return sizes;
}

// A temporary layout, as GNOME's settings apply it (ApplyMonitorsConfig with
// the serial from GetCurrentState): Meta-0 and Meta-1 in logical monitors of
// their own, each placed as "x,y,scale,transform,primary", or off when "".
void apply(const Compositor& mutter, const std::string& meta0, const std::string& meta1, const std::string& properties)
{
    std::string layout;
    for (const auto& [placement, connector] : {std::pair{meta0, "Meta-0"}, {meta1, "Meta-1"}})
        if (!placement.empty())
            layout += (layout.empty() ? "[(" : ",(") + placement + ",[('" + connector + "','1920x1080@60.000',@a{sv} {})])";
    const std::string call = "gdbus call --session --dest org.gnome.Mutter.DisplayConfig --object-path "
                             "/org/gnome/Mutter/DisplayConfig --method org.gnome.Mutter.DisplayConfig.";
    ASSERT_EQ(mutter.run({"sh", "-c", "set -e; serial=$(" + call + "GetCurrentState | sed 's/^(uint32 \\([0-9]*\\),.*/\\1/'); " +
                                          call + "ApplyMonitorsConfig $serial 1 \"$0\" \"$1\"",
                          layout + "]", properties}).status, 0);
}

TEST(Desktops, MutterPhysicalLayoutTheDefault)
{
    const auto mutter = Compositor::mutter(false);
    ASSERT_TRUE(mutter);
    // Meta-0 flipped and turned, Meta-1 the primary: found by xdg-output's
    // names, as mutter's wl_output (version 3) has none. Windows see mode / scale.
    apply(*mutter, "0,0,2.0,uint32 5,false", "1080,0,2.0,0,true", "@a{sv} {}");
    EXPECT_EQ(lsscreens(*mutter, true), json::parse("[[960,540],[540,960]]"));

    // No bus, and a bus that never answers: xdg-output's order and sizes.
    const auto silent = mutter->runtime.path / "silent-bus";
    const linux_platform::Descriptor listening(socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
    std::strncpy(address.sun_path, silent.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listening.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listening.get(), 8), 0);
    std::filesystem::permissions(silent, std::filesystem::perms::all);
    for (const std::string& bus : {std::string("unix:path=/nonexistent"), "unix:path=" + silent.string()})
        EXPECT_EQ(lsscreens(*mutter, true, {"DBUS_SESSION_BUS_ADDRESS=" + bus}), json::parse("[[1080,1920],[1920,1080]]")) << bus;

    // One monitor: the bus is asked only at a scale above 1, where it changes the size.
    apply(*mutter, "0,0,1.0,0,true", "", "@a{sv} {}");
    EXPECT_EQ(lsscreens(*mutter, false), json::parse("[[1920,1080]]"));
    apply(*mutter, "0,0,2.0,0,true", "", "@a{sv} {}");
    EXPECT_EQ(lsscreens(*mutter, true), json::parse("[[960,540]]"));
}

TEST(Desktops, MutterLogicalLayout)
{
    const auto mutter = Compositor::mutter(true);
    ASSERT_TRUE(mutter);
    apply(*mutter, "0,0,1.5,uint32 3,false", "720,0,1.0,0,true", "{'layout-mode': <uint32 1>}");
    EXPECT_EQ(lsscreens(*mutter, true), json::parse("[[1920,1080],[720,1280]]"));
}

// Each step as kscreen-doctor takes it, then the order and sizes it lists
// (enabled outputs by priority, their geometry) against the run's.
TEST(Desktops, KWinAsKscreenDoctorSeesIt)
{
    const auto kwin = Compositor::kwin();
    ASSERT_TRUE(kwin);
    for (const std::string step : {"-o", "output.Virtual-0.scale.1.5 output.Virtual-0.rotation.left",
                                   "output.Virtual-2.priority.2 output.Virtual-0.priority.3 output.Virtual-1.priority.1",
                                   "output.Virtual-1.scale.1.75", "output.Virtual-1.disable", "output.Virtual-1.enable"}) {
        ASSERT_EQ(kwin->run({"sh", "-c", "kscreen-doctor " + step}, {"QT_QPA_PLATFORM=wayland"}).status, 0) << step;
        const std::string listing = std::regex_replace(kwin->run({"kscreen-doctor", "-o"}, {"QT_QPA_PLATFORM=wayland"}).out,
                                                       std::regex("\x1b\\[[0-9;]*m"), "");  // its colours
        json expected = json::array();  // the enabled outputs, whose priorities run from 1
        const std::regex enabled(R"( enabled connected priority (\d+) .*Geometry: \S+ (\d+)x(\d+))");
        for (std::sregex_iterator line(listing.begin(), listing.end(), enabled), end; line != end; ++line)
            expected[std::stoul((*line)[1]) - 1] = {std::stoi((*line)[2]), std::stoi((*line)[3])};
        EXPECT_EQ(lsscreens(*kwin, false), expected) << step << "\n" << listing;
    }
}

}  // namespace
}  // namespace lsscreens::testing
