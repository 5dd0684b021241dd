// lsscreens: prints the attached screens as one line of compact JSON.
// It takes no arguments and writes nothing but the report.
#include <cstdio>

#include "display/standard_streams.h"
#include "report/screen_report.h"

namespace {

// Exit statuses a script can act on.
constexpr int answered = 0;       // the screens a window system gave, or none to ask
constexpr int notWritten = 1;     // standard output could not take the whole line
constexpr int noCompleteAnswer = 2;  // a window system was there but gave no complete answer: "[]"

}  // namespace

int main()
{
    lsscreens::prepareStandardStreams();
    const lsscreens::ScreenReport report = lsscreens::screenReport();
    // A script reading a truncated line must not be told it succeeded; that
    // outranks the answer's own status.
    const bool written = std::fwrite(report.json.data(), 1, report.json.size(), stdout) == report.json.size();
    const bool flushed = std::fflush(stdout) == 0;
    if (!written || !flushed)
        return notWritten;
    return report.complete ? answered : noCompleteAnswer;
}
