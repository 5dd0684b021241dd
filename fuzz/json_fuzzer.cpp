// Any bytes as a product name: the report must always be valid UTF-8 JSON
// that a real parser reads back, with valid text passed through unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "report/json_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string name(reinterpret_cast<const char*>(data), size);
    const lsscreens::ScreenInfo screen{static_cast<std::int64_t>(size), -1, 0, 0, 4294967295, name};
    const std::string text = lsscreens::JSONEncoder().encode({screen, screen});

    const auto parsed = nlohmann::json::parse(text, nullptr, false);
    if (parsed.is_discarded() || parsed.size() != 2)
        std::abort();
    const std::string decoded = parsed[0]["name"].get<std::string>();
    // Valid UTF-8 must survive unchanged; nlohmann's strict writer says which
    // input is valid.
    bool valid = true;
    try {
        (void)nlohmann::json(name).dump();
    } catch (const nlohmann::json::type_error&) {
        valid = false;
    }
    if (valid && decoded != name)
        std::abort();
    // Compact and on one line: no whitespace but the name's own spaces.
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20)
            std::abort();
    }
    if (text.find(' ') != std::string::npos && name.find(' ') == std::string::npos)
        std::abort();
    return 0;
}
