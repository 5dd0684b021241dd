#include "display/platform_value.h"

#include <cstring>
#include <limits>

namespace lsscreens {

namespace {

constexpr double twoTo32 = 4294967296.0;

// The value truncated toward zero, modulo 2^32, worked out from the double's
// bits in integers, because a finite double is +-significand * 2^exponent
// exactly: a shift gives the low 32 bits of its integer part, so no value is
// ever converted out of range and libm (fmod, trunc) is not needed.
std::uint32_t truncatedModulo2To32(double value)
{
    // memcpy rather than std::bit_cast, which the C++ library of Xcode 13
    // does not have yet.
    std::uint64_t bits;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    const int biasedExponent = static_cast<int>(bits >> 52 & 0x7FF);
    if (biasedExponent == 0x7FF || biasedExponent == 0)
        return 0;  // NaN and infinities; zero and subnormals (below 1)
    const std::uint64_t significand = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
    const int exponent = biasedExponent - 1075;  // 1023 bias + 52 fraction bits
    std::uint32_t magnitude = 0;                 // a multiple of 2^32 from exponent 32 on
    if (exponent >= 0 && exponent < 32)
        magnitude = static_cast<std::uint32_t>(significand << exponent);
    else if (exponent < 0 && exponent > -53)  // the 53-bit significand shifted out below -52
        magnitude = static_cast<std::uint32_t>(significand >> -exponent);
    return bits >> 63 ? 0u - magnitude : magnitude;  // negative: wraps like an integer
}

}  // namespace

std::optional<std::uint32_t> Number::exactUInt32() const
{
    if (const auto* integer = std::get_if<std::int64_t>(&value_)) {
        if (*integer < 0 || *integer > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
        return static_cast<std::uint32_t>(*integer);
    }
    const double floating = *std::get_if<double>(&value_);
    // NaN fails every comparison, so it is rejected here as well.
    if (!(floating >= 0.0 && floating < twoTo32) || static_cast<std::uint32_t>(floating) != floating)
        return std::nullopt;
    return static_cast<std::uint32_t>(floating);
}

std::uint32_t Number::unsignedIntValue() const
{
    if (const auto* integer = std::get_if<std::int64_t>(&value_))
        return static_cast<std::uint32_t>(*integer);  // modulo 2^32, well defined
    return truncatedModulo2To32(*std::get_if<double>(&value_));
}

Dictionary::Dictionary(std::initializer_list<std::pair<Value, Value>> entries)
{
    for (const auto& [key, value] : entries)
        set(key, value);
}

void Dictionary::set(Value key, Value value)
{
    for (auto& entry : entries_) {
        if (entry.first == key) {
            entry.second = std::move(value);
            return;
        }
    }
    entries_.emplace_back(std::move(key), std::move(value));
}

const Value* Dictionary::find(std::string_view textKey) const
{
    for (const auto& [key, value] : entries_) {
        if (const auto* text = key.asText(); text && *text == textKey)
            return &value;
    }
    return nullptr;
}

std::optional<std::uint32_t> Dictionary::exactUInt32At(std::string_view textKey) const
{
    const Value* value = find(textKey);
    const Number* number = value ? value->asNumber() : nullptr;
    return number ? number->exactUInt32() : std::nullopt;
}

bool Dictionary::empty() const
{
    return entries_.empty();
}

bool Dictionary::hasOnlyTextKeys() const
{
    for (const auto& entry : entries_) {
        if (!entry.first.asText())
            return false;
    }
    return true;
}

bool Dictionary::operator==(const Dictionary& other) const
{
    return entries_ == other.entries_;
}

}  // namespace lsscreens
