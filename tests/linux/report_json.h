// The report as the tests read and expect it.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <nlohmann/json.hpp>

#include "tests/linux/harness.h"

namespace lsscreens::testing {

// What a run printed, having exited with that status (0: a complete answer or
// none to ask; 2: a window system gave no complete answer) with one line (its
// line feed the only one, no carriage return) and nothing on stderr; a
// discarded value when it is not JSON.
inline nlohmann::json reportOf(const Finished& finished, int exitStatus = 0)
{
    EXPECT_TRUE(WIFEXITED(finished.status) && WEXITSTATUS(finished.status) == exitStatus) << finished.status;
    EXPECT_EQ(finished.err, "");
    EXPECT_TRUE(finished.out.ends_with("]\n") && finished.out.find_first_of("\r\n") == finished.out.size() - 1)
        << finished.out;
    return nlohmann::json::parse(finished.out, nullptr, false);
}

inline nlohmann::json screen(std::int64_t width, std::int64_t height, std::int64_t mmWidth, std::int64_t mmHeight,
                             std::uint32_t id, const char* name = nullptr)
{
    nlohmann::json screen{{"resWidth", width}, {"resHeight", height}, {"mmWidth", mmWidth}, {"mmHeight", mmHeight}, {"id", id}};
    if (name)
        screen["name"] = name;
    return screen;
}

// Xorg with the dummy driver for the test, which is skipped unless it runs as root.
class XorgDummy : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "Xorg with the dummy driver needs root";
        server.emplace(xorgDummy(scratch.path));
    }
    const ScratchDirectory scratch;  // the server's log
    std::optional<XServer> server;
};

#ifdef LSSCREENS_BINARY
// The binary's report with these variables (DISPLAY and WAYLAND_SOCKET unset
// unless given), after the checks that hold whatever the screens; GNU time
// gives the wall time and the peak resident memory: within the 3 s bound,
// and 16 MiB unless memoryBounded is false (where a window system's library
// holds an answer as large as the server made it: xcb's reply, sd-bus's
// message). Sanitizers inflate both: neither is checked under them.
inline nlohmann::json report(std::vector<std::string> variables, int exitStatus, bool memoryBounded = true)
{
    const ScratchDirectory scratch;
    variables.insert(variables.begin(), {"timeout", "10", "/usr/bin/time", "-q", "-f", "%e %M", "-o",
                                         scratch.path / "usage", "env", "-u", "DISPLAY", "-u", "WAYLAND_SOCKET"});
    variables.push_back(LSSCREENS_BINARY);
    const Finished finished = run(variables);
    double seconds = 10, kib = 1e9;
    std::ifstream(scratch.path / "usage") >> seconds >> kib;
    EXPECT_TRUE(LSSCREENS_SANITIZED || (seconds <= 3 && (!memoryBounded || kib <= 16 * 1024)))
        << seconds << " s, " << kib << " KiB";
    return reportOf(finished, exitStatus);
}
#endif

}  // namespace lsscreens::testing
