// One screen's record, and its JSON form: the tool's one external format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lsscreens {

class KeyedEncodingContainer;

struct ScreenInfo {
    // The frame's size in the window system's logical units: points on
    // macOS, pixels under X11, logical pixels under Wayland, pixels at 96 DPI
    // on Windows.
    std::int64_t resWidth;
    std::int64_t resHeight;
    // The physical size in millimetres and the display id are set together:
    // all three present or all three absent.
    std::optional<std::int64_t> mmWidth;
    std::optional<std::int64_t> mmHeight;
    std::optional<std::int64_t> id;
    std::optional<std::string> name;  // the display's product name, UTF-8

    // Writes resWidth and resHeight, then each optional field that is present,
    // in field order. Absent fields are left out, never written as null.
    void encode(KeyedEncodingContainer& container) const;

    bool operator==(const ScreenInfo&) const = default;

private:
    enum class CodingKeys { resWidth, resHeight, mmWidth, mmHeight, id, name };
    friend class KeyedEncodingContainer;
};

}  // namespace lsscreens
