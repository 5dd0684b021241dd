#include "report/screen_info.h"

#include "report/json_encoder.h"

namespace lsscreens {

void ScreenInfo::encode(KeyedEncodingContainer& container) const
{
    container.encode(CodingKeys::resWidth, resWidth);
    container.encode(CodingKeys::resHeight, resHeight);
    container.encodeIfPresent(CodingKeys::mmWidth, mmWidth);
    container.encodeIfPresent(CodingKeys::mmHeight, mmHeight);
    container.encodeIfPresent(CodingKeys::id, id);
    container.encodeIfPresent(CodingKeys::name, name);
}

}  // namespace lsscreens
