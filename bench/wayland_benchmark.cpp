// The whole lsscreens process against a plain C client of the same
// compositor, run alternately so that both see the same machine load (see
// process_timing.h for how time and memory are taken): wlr-randr on a
// headless sway with 3 outputs (one scaled, one turned), and wayland-info on
// a headless mutter: with 2 monitors at scale 2, the second the primary, where
// lsscreens also asks mutter's D-Bus side, and with 1 monitor at scale 1,
// where it does not.
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/process_timing.h"
#include "tests/linux/harness.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LSSCREENS [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::stoi(argv[2]) : 300;
    using namespace lsscreens::bench;

    const auto sway = lsscreens::testing::Compositor::sway(3, "output HEADLESS-1 mode 2560x1440 scale 2\n"
                                                              "output HEADLESS-2 mode 1920x1080\n"
                                                              "output HEADLESS-3 mode 1920x1200 transform 90");
    const auto mutter = lsscreens::testing::Compositor::mutter(false);
    if (!sway || !mutter) {
        std::fprintf(stderr, "sway or mutter cannot be started here\n");
        return 77;
    }
    setenv("WAYLAND_DISPLAY", sway->socket.c_str(), 1);
    unsetenv("DISPLAY");
    compareAlternately("headless sway with 3 outputs", runs, argv[1], "wlr-randr", {"wlr-randr"}, "<= 1.0",
                       "<= 1.1");

    // Each layout applied as GNOME's settings apply it, then measured.
    struct Layout {
        const char* setting;
        const char* logicalMonitors;  // ApplyMonitorsConfig's
        const char* timeTarget;
    };
    const Layout layouts[]{
        {"headless mutter with 2 monitors at scale 2, the second the primary",
         "[(0,0,2.0,uint32 0,false,[('Meta-0','1920x1080@60.000',@a{sv} {})]),"
         "(1920,0,2.0,uint32 0,true,[('Meta-1','1920x1080@60.000',@a{sv} {})])]",
         "<= 1.5"},
        {"headless mutter with 1 monitor at scale 1, the other switched off",
         "[(0,0,1.0,uint32 0,true,[('Meta-0','1920x1080@60.000',@a{sv} {})])]", "<= 1.1"},
    };
    const std::string call = "gdbus call --session --dest org.gnome.Mutter.DisplayConfig --object-path "
                             "/org/gnome/Mutter/DisplayConfig --method org.gnome.Mutter.DisplayConfig.";
    int status = 0;
    for (const Layout& layout : layouts) {
        mutter->run({"sh", "-c", "serial=$(" + call + "GetCurrentState | sed 's/^(uint32 \\([0-9]*\\),.*/\\1/'); " + call +
                                     "ApplyMonitorsConfig $serial 1 \"$0\" \"@a{sv} {}\"",
                     layout.logicalMonitors});
        // Only the compositor's user may use its session bus: measured in a
        // child that becomes that user, so that no wrapper adds to either's time.
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0) {
                const passwd* nobody = getpwnam("nobody");
                const group* nogroup = getgrnam("nogroup");
                if (!nobody || !nogroup || setgroups(0, nullptr) != 0 ||
                    setresgid(nogroup->gr_gid, nogroup->gr_gid, nogroup->gr_gid) != 0 ||
                    setresuid(nobody->pw_uid, nobody->pw_uid, nobody->pw_uid) != 0)
                    _exit(1);
            }
            setenv("XDG_RUNTIME_DIR", mutter->runtime.path.c_str(), 1);
            setenv("WAYLAND_DISPLAY", mutter->socket.c_str(), 1);
            setenv("DBUS_SESSION_BUS_ADDRESS", mutter->bus.c_str(), 1);
            std::printf("on mutter lsscreens prints:\n");
            std::fflush(stdout);
            std::system((std::string(argv[1]) + "; echo").c_str());
            compareAlternately(layout.setting, runs, argv[1], "wayland-info", {"wayland-info"}, layout.timeTarget,
                               "none");
            std::fflush(stdout);
            _exit(0);
        }
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            break;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
