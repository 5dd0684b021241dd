#include "tests/linux/x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>
#include <utility>

extern char** environ;

namespace lsscreens::testing {

namespace {

std::filesystem::path makeScratchDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lsscreens-x-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    return mkdtemp(buffer.data()) ? std::filesystem::path(buffer.data()) : std::filesystem::path();
}

constexpr const char* dummyConfig = R"(Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 8192 4096
  EndSubSection
EndSection
)";

struct Free {
    void operator()(void* memory) const { std::free(memory); }
};

struct Connection {
    explicit Connection(const std::string& display) : handle(xcb_connect(display.c_str(), nullptr)) {}
    ~Connection() { xcb_disconnect(handle); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    bool ok() const { return xcb_connection_has_error(handle) == 0; }
    xcb_connection_t* handle;
};

}  // namespace

std::vector<char*> argvOf(std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return argv;
}

std::string runCommand(const std::string& command, int& status)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return output;
    }
    std::array<char, 4096> buffer;
    std::size_t read = 0;
    while ((read = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), read);
    status = pclose(pipe);
    return output;
}

XServer::XServer(pid_t pid, std::string display, std::filesystem::path scratch)
    : pid_(pid), display_(std::move(display)), scratch_(std::move(scratch))
{
    setenv("DISPLAY", display_.c_str(), 1);
}

XServer::XServer(XServer&& other) noexcept
    : pid_(std::exchange(other.pid_, 0)), display_(std::move(other.display_)),
      scratch_(std::move(other.scratch_))
{
}

XServer& XServer::operator=(XServer&& other) noexcept
{
    if (this != &other) {
        stop();
        pid_ = std::exchange(other.pid_, 0);
        display_ = std::move(other.display_);
        scratch_ = std::move(other.scratch_);
    }
    return *this;
}

void XServer::stop()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = 0;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    unsetenv("DISPLAY");
    std::error_code ignored;
    std::filesystem::remove_all(scratch_, ignored);
}

// Starts the server with -displayfd and waits (at most 20 s) for it to say
// which display it took.
std::optional<XServer> XServer::start(std::vector<std::string> arguments, std::filesystem::path scratch)
{
    int fds[2];
    if (pipe(fds) != 0)
        return std::nullopt;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    arguments.insert(arguments.begin() + 1, {"-displayfd", std::to_string(fds[1]), "-noreset"});
    std::vector<char*> argv = argvOf(arguments);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDERR_FILENO);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(devNull);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return std::nullopt;
    }

    std::string number;
    pollfd readable{fds[0], POLLIN, 0};
    while (poll(&readable, 1, 20000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    XServer server(pid, ":" + number, std::move(scratch));
    if (number.empty())
        return std::nullopt;  // the destructor stops what was started
    return server;
}

std::optional<XServer> XServer::xvfb(const std::vector<std::string>& screens)
{
    std::vector<std::string> arguments{"Xvfb", "-nolisten", "tcp"};
    for (std::size_t i = 0; i < screens.size(); ++i)
        arguments.insert(arguments.end(), {"-screen", std::to_string(i), screens[i]});
    return start(arguments, makeScratchDirectory());
}

std::optional<XServer> XServer::xorgDummy()
{
    const auto scratch = makeScratchDirectory();
    std::ofstream(scratch / "dummy.conf") << dummyConfig;
    std::filesystem::create_directory(scratch / "conf.d");
    return start({"Xorg", "-config", (scratch / "dummy.conf").string(), "-configdir",
                  (scratch / "conf.d").string(), "-logfile", (scratch / "Xorg.log").string(),
                  "-nolisten", "tcp", "-novtswitch", "-sharevts"},
                 scratch);
}

bool XServer::xrandr(const std::string& arguments) const
{
    int status = 0;
    runCommand("xrandr -display " + display_ + " " + arguments + " 2>&1", status);
    return status == 0;
}

std::uint32_t XServer::outputId(const std::string& name, int screen) const
{
    Connection connection(display_ + "." + std::to_string(screen));
    if (!connection.ok())
        return 0;
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection.handle));
    for (int i = 0; i < screen && roots.rem > 0; ++i)
        xcb_screen_next(&roots);
    // The full (probing) request, so that sizes set through properties show.
    const std::unique_ptr<xcb_randr_get_screen_resources_reply_t, Free> resources(
        xcb_randr_get_screen_resources_reply(
            connection.handle, xcb_randr_get_screen_resources(connection.handle, roots.data->root), nullptr));
    if (!resources)
        return 0;
    const xcb_randr_output_t* outputs = xcb_randr_get_screen_resources_outputs(resources.get());
    for (int i = 0; i < xcb_randr_get_screen_resources_outputs_length(resources.get()); ++i) {
        const std::unique_ptr<xcb_randr_get_output_info_reply_t, Free> info(xcb_randr_get_output_info_reply(
            connection.handle, xcb_randr_get_output_info(connection.handle, outputs[i], XCB_CURRENT_TIME),
            nullptr));
        if (!info)
            continue;
        const std::string outputName(reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.get())),
                                     static_cast<std::size_t>(xcb_randr_get_output_info_name_length(info.get())));
        if (outputName == name)
            return outputs[i];
    }
    return 0;
}

bool XServer::setEdid(std::uint32_t output, std::span<const std::uint8_t> edid) const
{
    Connection connection(display_);
    if (!connection.ok())
        return false;
    const std::unique_ptr<xcb_intern_atom_reply_t, Free> atom(xcb_intern_atom_reply(
        connection.handle, xcb_intern_atom(connection.handle, 0, 4, "EDID"), nullptr));
    if (!atom)
        return false;
    const std::unique_ptr<xcb_generic_error_t, Free> error(xcb_request_check(
        connection.handle,
        xcb_randr_change_output_property_checked(connection.handle, output, atom->atom, XCB_ATOM_INTEGER, 8,
                                                 XCB_PROP_MODE_REPLACE, static_cast<std::uint32_t>(edid.size()),
                                                 edid.data())));
    return !error;
}

}  // namespace lsscreens::testing
