#include "report/json_string.h"

#include <cstddef>
#include <cstdint>

namespace lsscreens {

namespace {

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

// The range the second byte of a sequence may take, which depends on the lead
// byte (this is what excludes overlong forms, surrogates and values above
// U+10FFFF). Every later byte is a plain continuation byte 0x80-0xBF.
struct LeadByte {
    int length;  // 0: the byte cannot start a sequence
    std::uint8_t secondLow;
    std::uint8_t secondHigh;
};

LeadByte classify(std::uint8_t lead)
{
    if (lead < 0x80) return {1, 0, 0};
    if (lead < 0xC2) return {0, 0, 0};
    if (lead < 0xE0) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};
    if (lead == 0xED) return {3, 0x80, 0x9F};
    if (lead < 0xF0) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};
    if (lead < 0xF4) return {4, 0x80, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

// Length of the well-formed sequence at text[at], or, when it is ill-formed,
// minus the length of its maximal subpart (at least one byte).
std::ptrdiff_t sequenceAt(std::string_view text, std::size_t at)
{
    const LeadByte lead = classify(static_cast<std::uint8_t>(text[at]));
    if (lead.length == 0)
        return -1;
    for (int offset = 1; offset < lead.length; ++offset) {
        if (at + offset >= text.size())
            return -offset;
        const auto byte = static_cast<std::uint8_t>(text[at + offset]);
        const std::uint8_t low = offset == 1 ? lead.secondLow : 0x80;
        const std::uint8_t high = offset == 1 ? lead.secondHigh : 0xBF;
        if (byte < low || byte > high)
            return -offset;
    }
    return lead.length;
}

void appendEscapedAscii(std::string& out, char c)
{
    switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '/': out += "\\/"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    if (static_cast<std::uint8_t>(c) < 0x20) {
        constexpr char hex[] = "0123456789abcdef";
        out += "\\u00";
        out += hex[(c >> 4) & 0xF];
        out += hex[c & 0xF];
        return;
    }
    out += c;
}

}  // namespace

void appendJSONString(std::string& out, std::string_view text)
{
    out += '"';
    std::size_t at = 0;
    while (at < text.size()) {
        const std::ptrdiff_t length = sequenceAt(text, at);
        if (length == 1) {
            appendEscapedAscii(out, text[at]);
            at += 1;
        } else if (length > 1) {
            out.append(text.substr(at, static_cast<std::size_t>(length)));
            at += static_cast<std::size_t>(length);
        } else {
            out += replacementCharacter;
            at += static_cast<std::size_t>(-length);
        }
    }
    out += '"';
}

}  // namespace lsscreens
