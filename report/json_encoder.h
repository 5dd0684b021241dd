// The compact JSON encoder of the screen report: no whitespace anywhere,
// members in the order the record hands them over, integers in plain decimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/screen_info.h"

namespace lsscreens {

// Collects the members of one JSON object.
class KeyedEncodingContainer {
public:
    void encode(ScreenInfo::CodingKeys key, std::int64_t value);
    void encode(ScreenInfo::CodingKeys key, const std::string& value);

    template <typename T>
    void encodeIfPresent(ScreenInfo::CodingKeys key, const std::optional<T>& value)
    {
        if (value)
            encode(key, *value);
    }

    // The finished object, braces included.
    std::string object() const { return "{" + members_ + "}"; }

private:
    static std::string_view stringValue(ScreenInfo::CodingKeys key);
    void appendKey(ScreenInfo::CodingKeys key);
    std::string members_;
};

class JSONEncoder {
public:
    // The whole report as one JSON array, "[]" when empty. Always valid UTF-8.
    std::string encode(const std::vector<ScreenInfo>& screenInfos) const;
};

}  // namespace lsscreens
