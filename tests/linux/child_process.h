// Child processes and scratch directories for the tests. A child starts with
// this process's environment, its standard output and error captured in memory
// files, and is stopped (SIGTERM, then SIGKILL) when its handle goes away.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lsscreens::testing {

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);  // argv[0] is looked up on PATH
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    std::string out() const;  // what it has written to standard output so far
    std::string err() const;
    int wait();  // its status as waitpid gives it; -1 when it never started

private:
    int out_, err_;
    pid_t pid_ = -1;
    int status_ = -1;
};

struct Finished {
    int status;
    std::string out, err;
};
Finished run(const std::vector<std::string>& argv);

// Asks ready() every 10 ms until it says yes (true) or seconds pass (false).
bool waitUntil(const std::function<bool()>& ready, double seconds = 20);

// A new temporary directory, removed with its contents.
struct ScratchDirectory {
    ScratchDirectory();
    ~ScratchDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    std::filesystem::path path;
};

}  // namespace lsscreens::testing
