#include "tests/linux/child_process.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace lsscreens::testing {

namespace {

std::string contents(int file)
{
    std::string text;
    char chunk[4096];
    for (ssize_t got; (got = pread(file, chunk, sizeof chunk, static_cast<off_t>(text.size()))) > 0;)
        text.append(chunk, static_cast<std::size_t>(got));
    return text;
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
        !waitUntil([this] { return waitpid(pid_, &status_, WNOHANG) == pid_; }, 5))
        kill(pid_, SIGKILL);
    wait();
    close(out_);
    close(err_);
}

std::string ChildProcess::out() const { return contents(out_); }
std::string ChildProcess::err() const { return contents(err_); }

int ChildProcess::wait()
{
    if (pid_ > 0 && status_ == -1)
        waitpid(pid_, &status_, 0);
    return status_;
}

Finished run(const std::vector<std::string>& argv)
{
    ChildProcess child(argv);
    const int status = child.wait();
    return {status, child.out(), child.err()};
}

bool waitUntil(const std::function<bool()>& ready, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

ScratchDirectory::ScratchDirectory()
{
    std::string pattern = std::filesystem::temp_directory_path() / "lsscreens-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a scratch directory");
    path = pattern;
}

}  // namespace lsscreens::testing
