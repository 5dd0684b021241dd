#include "display/platform_value.h"

#include <cmath>
#include <limits>

namespace lsscreens {

namespace {

constexpr double twoTo32 = 4294967296.0;

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
    if (!(floating >= 0.0 && floating < twoTo32) || std::trunc(floating) != floating)
        return std::nullopt;
    return static_cast<std::uint32_t>(floating);
}

std::uint32_t Number::unsignedIntValue() const
{
    if (const auto* integer = std::get_if<std::int64_t>(&value_))
        return static_cast<std::uint32_t>(*integer);  // modulo 2^32, well defined
    const double floating = *std::get_if<double>(&value_);
    if (!std::isfinite(floating))
        return 0;
    // fmod is exact for doubles, so this is the truncated value modulo 2^32
    // without ever converting an out-of-range double to an integer type.
    double wrapped = std::fmod(std::trunc(floating), twoTo32);
    if (wrapped < 0)
        wrapped += twoTo32;
    return static_cast<std::uint32_t>(wrapped);
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
