#include "tests/linux/wayland_compositor.h"

#include <pwd.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace lsscreens::testing {

namespace {

std::vector<std::string> asUnprivilegedUser(std::vector<std::string> command)
{
    if (geteuid() == 0)
        command.insert(command.begin(), {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
    return command;
}

// Starts the compositor and waits for its socket, whatever its name.
std::unique_ptr<Compositor> start(std::unique_ptr<Compositor> compositor, std::vector<std::string> command)
{
    const auto& runtime = compositor->runtime.path;
    if (const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr; nobody)
        if (chown(runtime.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
            return nullptr;
    command.insert(command.begin(), {"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR=" + runtime.string()});
    compositor->process = std::make_unique<ChildProcess>(asUnprivilegedUser(command));
    const bool started = waitUntil([&] {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(runtime, ignored))
            if (entry.is_socket() && entry.path().filename().string().starts_with("wayland-"))
                compositor->socket = entry.path();
        return !compositor->socket.empty();
    });
    return started ? std::move(compositor) : nullptr;
}

}  // namespace

std::unique_ptr<Compositor> Compositor::sway(int outputs, const std::string& config)
{
    auto sway = std::make_unique<Compositor>();
    // sway runs exec lines once the configuration is applied.
    const auto file = sway->runtime.path / "config", ready = sway->runtime.path / "ready";
    std::ofstream(file) << "xwayland enable\n" << config << "\nexec echo \"$DISPLAY\" > " << ready << "\n";
    sway = start(std::move(sway), {"WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                                   "WLR_HEADLESS_OUTPUTS=" + std::to_string(outputs), "sway", "-c", file});
    const bool configured = sway && waitUntil([&] {
        std::ifstream in(ready);
        std::getline(in, sway->xDisplay);
        return in.good();  // the whole line is there
    });
    return configured ? std::move(sway) : nullptr;
}

std::unique_ptr<Compositor> Compositor::weston(std::vector<std::string> options)
{
    options.insert(options.begin(), {"weston", "--backend=headless-backend.so", "--no-config", "--use-pixman"});
    return start(std::make_unique<Compositor>(), options);
}

Finished Compositor::runThroughXWayland(const std::string& program) const
{
    const auto copy = runtime.path / "program";
    std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
    return run(asUnprivilegedUser({"env", "DISPLAY=" + xDisplay, "WAYLAND_DISPLAY=lsscreens-no-such-socket", copy}));
}

}  // namespace lsscreens::testing
