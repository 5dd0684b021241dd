#pragma once

#include <string>
#include <string_view>

namespace lsscreens {

// Appends text as a JSON string literal, quotes included. Quotation mark,
// backslash and solidus are escaped ("\/"), control characters below U+0020
// too (\b \f \n \r \t, the rest as \u00xx); every other character is written
// as itself. Bytes that are not valid UTF-8 are replaced, one U+FFFD for each
// maximal ill-formed subsequence, so the output is always valid UTF-8.
void appendJSONString(std::string& out, std::string_view text);

}  // namespace lsscreens
