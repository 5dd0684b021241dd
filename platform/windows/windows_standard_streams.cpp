#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "display/standard_streams.h"

namespace lsscreens {

// The report is bytes: without binary mode the C library would write its line
// feed as CR LF. A standard output that is not open has no descriptor (-2),
// and _setmode would call the invalid-parameter handler, which ends the
// process; the report then fails to be written and the tool exits 1.
void prepareStandardStreams()
{
    if (const int descriptor = _fileno(stdout); descriptor >= 0)
        _setmode(descriptor, _O_BINARY);
}

}  // namespace lsscreens
