#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "display/standard_streams.h"

namespace lsscreens {

// Each of descriptors 0, 1 and 2 that is closed gets /dev/null: open() takes
// the lowest free descriptor, so going up from 0 fills each gap in turn.
// Standard output gets it read-only, so that writing the report fails and the
// tool exits 1, as for any output it cannot write.
void prepareStandardStreams()
{
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = open("/dev/null", descriptor == STDERR_FILENO ? O_WRONLY : O_RDONLY);
        if (opened >= 0 && opened != descriptor) {
            dup2(opened, descriptor);
            close(opened);
        }
    }
}

}  // namespace lsscreens
