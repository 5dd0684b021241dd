// lsscreens: prints the attached screens as one line of compact JSON.
// It takes no arguments and writes nothing but the report.
#include <cstdio>
#include <string>

#include "display/standard_streams.h"
#include "report/screen_report.h"

int main()
{
    lsscreens::prepareStandardStreams();
    const std::string report = lsscreens::screenReport();
    // Exit 0 only when the whole report reached standard output: a script
    // reading a truncated line must not be told it succeeded.
    const bool written = std::fwrite(report.data(), 1, report.size(), stdout) == report.size();
    const bool flushed = std::fflush(stdout) == 0;
    return written && flushed ? 0 : 1;
}
