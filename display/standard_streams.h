// The one thing the platform does before the run: make standard input, output
// and error safe for it. Called first by main.
#pragma once

namespace lsscreens {

// Where a closed standard descriptor could be taken by the next file or socket
// opened (a window system's connection would then receive the report), the
// platform occupies it; where the C library would translate line ends, the
// platform asks for bytes as written.
void prepareStandardStreams();

}  // namespace lsscreens
