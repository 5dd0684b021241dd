// The report as the tests read and expect it.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <nlohmann/json.hpp>

#include "tests/linux/harness.h"

namespace lsscreens::testing {

// What a run printed, having exited with that status (0: a complete answer or
// none to ask; 2: a window system gave no complete answer) with one line and
// nothing on stderr; a discarded value when it is not JSON.
inline nlohmann::json reportOf(const Finished& finished, int exitStatus = 0)
{
    EXPECT_TRUE(WIFEXITED(finished.status) && WEXITSTATUS(finished.status) == exitStatus) << finished.status;
    EXPECT_EQ(finished.err, "");
    EXPECT_EQ(finished.out.find('\n'), finished.out.size() - 1) << finished.out;  // one line
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

}  // namespace lsscreens::testing
