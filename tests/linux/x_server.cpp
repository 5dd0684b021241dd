#include "tests/linux/x_server.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <memory>
#include <sstream>

namespace lsscreens::testing {

XServer::XServer(const std::vector<std::string>& argv) : process(argv)
{
    if (waitUntil([this] { return process.out().ends_with('\n'); })) {
        std::string number = process.out();
        number.pop_back();
        display = ":" + number;
    }
    setenv("DISPLAY", display.c_str(), 1);
}

std::vector<std::string> xvfb(const std::vector<std::string>& screens)
{
    std::vector<std::string> argv{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset"};
    for (std::size_t i = 0; i < screens.size(); ++i)
        argv.insert(argv.end(), {"-screen", std::to_string(i), screens[i]});
    return argv;
}

std::vector<std::string> xorgDummy(const std::filesystem::path& scratch)
{
    return {"Xorg", "-displayfd", "1", "-nolisten", "tcp", "-noreset", "-config",
            LSSCREENS_TEST_DATA_DIR "/xorg-dummy.conf", "-configdir", scratch, "-logfile", scratch / "log",
            "-novtswitch", "-sharevts"};
}

bool xrandr(const std::string& arguments)
{
    std::vector<std::string> argv{"xrandr"};
    std::istringstream words(arguments);
    for (std::string word; words >> word;)
        argv.push_back(word);
    return run(argv).status == 0;
}

// From the verbose listing: "NAME connected ..." and later "\tIdentifier: 0x42".
std::map<std::string, std::uint32_t> outputs(int screen)
{
    std::map<std::string, std::uint32_t> outputs;
    std::istringstream lines(run({"xrandr", "--screen", std::to_string(screen), "--verbose"}).out);
    std::string name;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" connected") != std::string::npos || line.find(" disconnected") != std::string::npos)
            name = line.substr(0, line.find(' '));
        else if (line.starts_with("\tIdentifier: "))
            outputs[name] = static_cast<std::uint32_t>(std::stoul(line.substr(13), nullptr, 16));
    }
    return outputs;
}

bool setEdid(std::uint32_t output, std::span<const std::uint8_t> edid)
{
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x(xcb_connect(nullptr, nullptr),
                                                                         &xcb_disconnect);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(x.get(), xcb_intern_atom(x.get(), 0, 4, "EDID"), nullptr), &free);
    const auto size = static_cast<std::uint32_t>(edid.size());
    return atom && !std::unique_ptr<xcb_generic_error_t, decltype(&free)>(
                       xcb_request_check(x.get(), xcb_randr_change_output_property_checked(
                                                      x.get(), output, atom->atom, XCB_ATOM_INTEGER, 8,
                                                      XCB_PROP_MODE_REPLACE, size, edid.data())),
                       &free);
}

}  // namespace lsscreens::testing
