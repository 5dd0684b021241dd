#pragma once

#include <fcntl.h>
#include <unistd.h>

namespace lsscreens::linux_platform {

// While it lives, whatever is written to file descriptor 2 goes to
// /dev/null: the tool never writes to standard error, and the window system's
// libraries write there on their own (libxcb a server's refusal, libwayland-
// client its protocol trace under WAYLAND_DEBUG). Afterwards descriptor 2 is
// put back as it was, open or closed. Occupying it also keeps a window
// system's socket from landing on descriptor 2 when standard error is closed.
class StandardErrorDiscarded {
public:
    StandardErrorDiscarded() : saved_(fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3))
    {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null < 0)
            return;
        // With descriptor 2 closed, /dev/null is opened right onto it.
        redirected_ = null == STDERR_FILENO || dup2(null, STDERR_FILENO) == STDERR_FILENO;
        if (null != STDERR_FILENO)
            close(null);
    }
    ~StandardErrorDiscarded()
    {
        if (redirected_ && saved_ >= 0)
            dup2(saved_, STDERR_FILENO);
        else if (redirected_)
            close(STDERR_FILENO);
        if (saved_ >= 0)
            close(saved_);
    }
    StandardErrorDiscarded(const StandardErrorDiscarded&) = delete;
    StandardErrorDiscarded& operator=(const StandardErrorDiscarded&) = delete;

private:
    int saved_;  // -1 when descriptor 2 was closed
    bool redirected_ = false;
};

}  // namespace lsscreens::linux_platform
