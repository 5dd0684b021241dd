// Real X servers for the tests: Xvfb, or Xorg with the dummy video driver,
// started on a free display and stopped by process id. A test talks to the
// server through xrandr and through the small xcb client here.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lsscreens::testing {

class XServer {
public:
    // Xvfb with one X screen per entry of screens ("1920x1080x24").
    static std::optional<XServer> xvfb(const std::vector<std::string>& screens);
    // Xorg with the dummy driver: 16 outputs DUMMY0-DUMMY15, DUMMY0 enabled.
    // Absent where Xorg cannot be started (it needs root).
    static std::optional<XServer> xorgDummy();

    XServer(XServer&& other) noexcept;
    XServer& operator=(XServer&& other) noexcept;
    ~XServer() { stop(); }

    // ":N"; also set as DISPLAY for this process and its children.
    const std::string& display() const { return display_; }

    // Runs "xrandr <arguments>" against this server; true on success.
    bool xrandr(const std::string& arguments) const;
    // The RandR output id of the output named name (0 when none).
    std::uint32_t outputId(const std::string& name, int screen = 0) const;
    // Attaches an "EDID" property (INTEGER, format 8) to the output.
    bool setEdid(std::uint32_t output, std::span<const std::uint8_t> edid) const;

private:
    XServer(pid_t pid, std::string display, std::filesystem::path scratch);
    void stop();
    static std::optional<XServer> start(std::vector<std::string> arguments, std::filesystem::path scratch);

    pid_t pid_ = 0;
    std::string display_;
    std::filesystem::path scratch_;
};

// The argument vector execve wants, pointing into arguments.
std::vector<char*> argvOf(std::vector<std::string>& arguments);

// Runs a command line, returns its standard output and sets status.
std::string runCommand(const std::string& command, int& status);

}  // namespace lsscreens::testing
