#include "report/screen_report.h"

#include <vector>

#include "display/appkit.h"
#include "report/json_encoder.h"
#include "report/screen_info.h"

namespace lsscreens {

ScreenReport screenReport()
{
    std::vector<ScreenInfo> screenInfos;
    for (const NSScreen& screen : NSScreen::screens())
        screenInfos.push_back(screen.screenInfos());

    const JSONEncoder encoder;
    return {encoder.encode(screenInfos) + '\n', NSScreen::screensComplete()};
}

}  // namespace lsscreens
