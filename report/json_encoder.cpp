#include "report/json_encoder.h"

#include "report/json_string.h"

namespace lsscreens {

// Each key's text is its field's name; these are the JSON member names.
std::string_view KeyedEncodingContainer::stringValue(ScreenInfo::CodingKeys key)
{
    using enum ScreenInfo::CodingKeys;
    switch (key) {
    case resWidth: return "resWidth";
    case resHeight: return "resHeight";
    case mmWidth: return "mmWidth";
    case mmHeight: return "mmHeight";
    case id: return "id";
    case name: return "name";
    }
    return "";
}

void KeyedEncodingContainer::appendKey(ScreenInfo::CodingKeys key)
{
    if (!members_.empty())
        members_ += ',';
    appendJSONString(members_, stringValue(key));
    members_ += ':';
}

void KeyedEncodingContainer::encode(ScreenInfo::CodingKeys key, std::int64_t value)
{
    appendKey(key);
    members_ += std::to_string(value);
}

void KeyedEncodingContainer::encode(ScreenInfo::CodingKeys key, const std::string& value)
{
    appendKey(key);
    appendJSONString(members_, value);
}

std::string JSONEncoder::encode(const std::vector<ScreenInfo>& screenInfos) const
{
    std::string json = "[";
    for (const ScreenInfo& screenInfo : screenInfos) {
        if (json.size() > 1)
            json += ',';
        KeyedEncodingContainer container;
        screenInfo.encode(container);
        json += container.object();
    }
    json += ']';
    return json;
}

}  // namespace lsscreens
