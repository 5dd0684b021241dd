#include "tests/linux/harness.h"

#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace lsscreens::testing {

namespace {

template <typename T>
using FreedBy = std::unique_ptr<T, decltype(&free)>;

// Asks ready() every 10 ms until it says yes (true) or seconds pass (false).
bool waitUntil(const std::function<bool()>& ready, double seconds = 20)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// A memory file from its start, through a new open file description.
std::string contents(int file)
{
    std::ifstream in("/proc/self/fd/" + std::to_string(file), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> asUnprivilegedUser(std::vector<std::string> command)
{
    if (geteuid() == 0)
        command.insert(command.begin(), {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
    return command;
}

// Starts the compositor (as nobody when root) in its runtime directory, which
// everyone may write, and waits until ready() says yes.
bool start(Compositor& compositor, std::vector<std::string> command, const std::function<bool()>& ready)
{
    const auto& runtime = compositor.runtime.path;
    std::filesystem::permissions(runtime, std::filesystem::perms::all);
    command.insert(command.begin(), {"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR=" + runtime.string()});
    compositor.process = std::make_unique<ChildProcess>(asUnprivilegedUser(command));
    return waitUntil(ready);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
    : out_(memfd_create("stdout", MFD_CLOEXEC)), err_(memfd_create("stderr", MFD_CLOEXEC))
{
    std::vector<char*> arguments;
    for (const auto& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err_, STDERR_FILENO);
    if (posix_spawnp(&pid_, arguments[0], &actions, nullptr, arguments.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0 && status_ == -1 && kill(pid_, SIGTERM) == 0 &&
        !waitUntil([this] { return waitpid(pid_, &status_, WNOHANG) == pid_; }, 5)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    close(out_);
    close(err_);
}

std::string ChildProcess::out() const { return contents(out_); }

Finished ChildProcess::wait()
{
    if (pid_ > 0 && status_ == -1)
        waitpid(pid_, &status_, 0);
    return {status_, contents(out_), contents(err_)};
}

Finished run(const std::vector<std::string>& argv) { return ChildProcess(argv).wait(); }

ScratchDirectory::ScratchDirectory()
{
    std::string pattern = std::filesystem::temp_directory_path() / "lsscreens-test-XXXXXX";
    path = mkdtemp(pattern.data()) ? pattern : throw std::runtime_error("cannot make a scratch directory");
}

void DrmFixture::addConnector(const std::string& name, const std::string& status, std::span<const std::uint8_t> edid)
{
    std::filesystem::create_directories(path / name);
    std::ofstream(path / name / "status") << status << '\n';
    std::ofstream(path / name / "enabled") << "disabled\n";
    if (!edid.empty())
        std::ofstream(path / name / "edid", std::ios::binary)
            .write(reinterpret_cast<const char*>(edid.data()), static_cast<std::streamsize>(edid.size()));
}

XServer::XServer(const std::vector<std::string>& argv) : process(argv)
{
    if (std::string number; waitUntil([&] { return (number = process.out()).ends_with('\n'); }))
        display = ":" + number.erase(number.size() - 1);
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
    return run({"sh", "-c", "xrandr " + arguments}).status == 0;
}

// From the verbose listing: "NAME connected ..." and later "\tIdentifier: 0x42"
// (the unindented lines before the first output do not end in an identifier).
std::map<std::string, std::uint32_t> outputs(int screen)
{
    std::map<std::string, std::uint32_t> outputs;
    std::istringstream pairs(run({"sh", "-c", "xrandr --verbose --screen " + std::to_string(screen) +
                                                  " | awk '/^[^\t ]/ {name = $1} /Identifier:/ {print name, $2}'"}).out);
    for (std::string name, id; pairs >> name >> id;)
        outputs[name] = static_cast<std::uint32_t>(std::stoul(id, nullptr, 16));
    return outputs;
}

bool setEdid(std::uint32_t output, std::span<const std::uint8_t> edid)
{
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x(xcb_connect(nullptr, nullptr), &xcb_disconnect);
    const FreedBy<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(x.get(), xcb_intern_atom(x.get(), 0, 4, "EDID"), nullptr), &free);
    return atom && !FreedBy<xcb_generic_error_t>(
                       xcb_request_check(x.get(), xcb_randr_change_output_property_checked(
                                                      x.get(), output, atom->atom, XCB_ATOM_INTEGER, 8,
                                                      XCB_PROP_MODE_REPLACE, edid.size(), edid.data())),
                       &free);
}

std::unique_ptr<Compositor> Compositor::sway(int outputs, const std::string& config)
{
    auto sway = std::make_unique<Compositor>();
    // sway runs exec lines once the configuration is applied.
    const auto file = sway->runtime.path / "config", ready = sway->runtime.path / "ready";
    std::ofstream(file) << "xwayland enable\n" << config << "\nexec echo \"$WAYLAND_DISPLAY $DISPLAY\" > " << ready << "\n";
    const bool started = start(*sway, {"WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                                       "WLR_HEADLESS_OUTPUTS=" + std::to_string(outputs), "sway", "-c", file},
                               [&] {
                                   std::ifstream in(ready);
                                   std::string socket;
                                   in >> socket >> sway->xDisplay;
                                   sway->socket = sway->runtime.path / socket;
                                   return in.good();  // the whole line is there, its line feed too
                               });
    return started ? std::move(sway) : nullptr;
}

std::unique_ptr<Compositor> Compositor::weston(std::vector<std::string> options)
{
    auto weston = std::make_unique<Compositor>();
    weston->socket = weston->runtime.path / "wayland-lsscreens";
    options.insert(options.begin(), {"weston", "--backend=headless-backend.so", "--no-config", "--use-pixman",
                                     "--socket=wayland-lsscreens"});
    const bool started = start(*weston, options, [&] { return std::filesystem::exists(weston->socket); });
    return started ? std::move(weston) : nullptr;
}

Finished Compositor::run(std::vector<std::string> command, const std::vector<std::string>& variables) const
{
    if (const std::filesystem::path program(command[0]); program.is_absolute()) {
        command[0] = runtime.path / program.filename();
        std::filesystem::copy_file(program, command[0], std::filesystem::copy_options::overwrite_existing);
    }
    command.insert(command.begin(), variables.begin(), variables.end());
    command.insert(command.begin(), {"env", "XDG_RUNTIME_DIR=" + runtime.path.string(), "WAYLAND_DISPLAY=" + socket,
                                     "DBUS_SESSION_BUS_ADDRESS=" + bus, "HOME=" + (runtime.path / "home").string()});
    return testing::run(asUnprivilegedUser(command));
}

namespace {

// Starts the desktop in a session of its own, under dbus-run-session, whose
// whole process group goes when the desktop's process is stopped (dbus-run-
// session would leave its children behind), and waits for its socket and bus.
std::unique_ptr<Compositor> startDesktop(std::unique_ptr<Compositor> desktop, const std::string& command,
                                         std::vector<std::string> variables)
{
    const auto& runtime = desktop->runtime.path;
    desktop->socket = runtime / "wayland-lsscreens";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(runtime))
        std::filesystem::permissions(entry, std::filesystem::perms::all);
    variables.insert(variables.end(), {"HOME=" + (runtime / "home").string(), "setsid", "sh", "-c",
                                       "trap 'trap - TERM; kill 0' TERM; dbus-run-session -- sh -c 'echo "
                                       "\"$DBUS_SESSION_BUS_ADDRESS\" > " + (runtime / "bus").string() +
                                       "; exec " + command + "' & wait"});
    const bool ready = start(*desktop, variables, [&] {
        std::ifstream in(runtime / "bus");
        return std::getline(in, desktop->bus) && in.good() && std::filesystem::exists(desktop->socket);
    });
    return ready ? std::move(desktop) : nullptr;
}

}  // namespace

std::unique_ptr<Compositor> Compositor::mutter(bool scaleMonitorFramebuffer)
{
    auto mutter = std::make_unique<Compositor>();
    const auto settings = mutter->runtime.path / "home" / ".config" / "glib-2.0" / "settings";
    std::filesystem::create_directories(settings);
    std::ofstream(settings / "keyfile") << "[org/gnome/mutter]\nexperimental-features="
                                        << (scaleMonitorFramebuffer ? "['scale-monitor-framebuffer']\n" : "@as []\n");
    return startDesktop(std::move(mutter), "mutter --wayland --headless --no-x11 --wayland-display=wayland-lsscreens "
                                           "--virtual-monitor 1920x1080 --virtual-monitor 1920x1080",
                        {"GSETTINGS_BACKEND=keyfile"});
}

// Its installed binary carries file capabilities, which a container refuses:
// a copy without them, still named kwin_wayland for its platform plugin.
std::unique_ptr<Compositor> Compositor::kwin()
{
    auto kwin = std::make_unique<Compositor>();
    const auto copy = kwin->runtime.path / "kwin" / "kwin_wayland";
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::create_directories(kwin->runtime.path / "home");
    std::filesystem::copy_file("/usr/bin/kwin_wayland", copy);
    return startDesktop(std::move(kwin), copy.string() + " --virtual --output-count 3 --scale 2 --socket wayland-lsscreens",
                        {"QT_QPA_PLATFORM=offscreen"});
}

}  // namespace lsscreens::testing
