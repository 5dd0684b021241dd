// What the Linux tests run: child processes, scratch directories, a fake
// /sys/class/drm, real X servers and real Wayland compositors started headless.
#pragma once

#include <stdlib.h>
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lsscreens::testing {

struct Finished {
    int status;  // as waitpid gives it; -1 when the program never started
    std::string out, err;
};

// A child with this process's environment, its standard output and error in
// memory files, stopped (SIGTERM, then SIGKILL) when its handle goes away.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);  // argv[0] is looked up on PATH
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    std::string out() const;  // what it has written to standard output so far
    Finished wait();

private:
    int out_, err_;
    pid_t pid_ = -1;
    int status_ = -1;
};
Finished run(const std::vector<std::string>& argv);

// A new temporary directory, removed with its contents.
struct ScratchDirectory {
    ScratchDirectory();
    ~ScratchDirectory() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    std::filesystem::path path;
};

// A fake /sys/class/drm.
struct DrmFixture : ScratchDirectory {
    const std::filesystem::path& root() const { return path; }
    // An entry (normally "card<N>-<connector>") with a status file, an
    // "enabled" file that says "disabled" (as some drivers always do), and an
    // edid file unless edid is empty.
    void addConnector(const std::string& name, const std::string& status, std::span<const std::uint8_t> edid = {});
};

// A real X server on the display it picks itself (-displayfd), which is
// DISPLAY for this process and its children while the server runs.
struct XServer {
    explicit XServer(const std::vector<std::string>& argv);  // with "-displayfd 1" among them
    ~XServer() { unsetenv("DISPLAY"); }
    ChildProcess process;
    std::string display;  // ":N"; empty when the server did not start
};
// Xvfb with one X screen per entry ("1920x1080x24").
std::vector<std::string> xvfb(const std::vector<std::string>& screens);
// Xorg (as root) with the dummy driver: outputs DUMMY0-DUMMY15, DUMMY0 on;
// its log goes to scratch.
std::vector<std::string> xorgDummy(const std::filesystem::path& scratch);
// "xrandr <arguments>" through the shell; true on success.
bool xrandr(const std::string& arguments);
// One X screen's output ids by output name, after a probe (so that sizes set
// through properties show).
std::map<std::string, std::uint32_t> outputs(int screen = 0);
// Gives the output an "EDID" property (INTEGER, format 8).
bool setEdid(std::uint32_t output, std::span<const std::uint8_t> edid);

// A Wayland compositor, headless with software rendering, its socket in a
// private XDG_RUNTIME_DIR. sway refuses to run as root, so as root
// every compositor runs as nobody.
struct Compositor {
    // sway with outputs HEADLESS-1..N set up by config (sway commands, one a
    // line), and XWayland.
    static std::unique_ptr<Compositor> sway(int outputs, const std::string& config);
    // weston with its one headless output, shaped by options ("--scale=2").
    static std::unique_ptr<Compositor> weston(std::vector<std::string> options);
    // Desktops, each with a session bus and HOME of its own. mutter headless
    // with two 1920x1080 virtual monitors, Meta-0 and Meta-1; with the
    // experimental feature that allows its logical layout mode.
    static std::unique_ptr<Compositor> mutter(bool scaleMonitorFramebuffer);
    // KWin with three virtual 2048x1536 outputs at scale 2, Virtual-0 to Virtual-2.
    static std::unique_ptr<Compositor> kwin();
    // Runs the command as the compositor's user (the only one its XWayland
    // lets in), in its session (runtime directory, Wayland socket, and a
    // desktop's bus and HOME) with the given variables, later ones winning; a
    // program named by path is copied first where that user can run it.
    Finished run(std::vector<std::string> command, const std::vector<std::string>& variables = {}) const;

    ScratchDirectory runtime;  // XDG_RUNTIME_DIR, removed once the compositor has stopped
    std::unique_ptr<ChildProcess> process;
    std::string socket;    // the socket's path, for WAYLAND_DISPLAY
    std::string xDisplay;  // sway's XWayland (":N")
    std::string bus;       // a desktop's DBUS_SESSION_BUS_ADDRESS
};

}  // namespace lsscreens::testing
