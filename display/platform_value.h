// A small model of the platform objects the screen description reads: number
// objects, text, dictionaries (in their own enumeration order, with keys of any
// kind) and values of any other kind. Platforms convert what they hold into this
// model; the core only inspects it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace lsscreens {

// A number object. It remembers whether it holds an exact integer or a
// floating-point value, because the two read differently at the edges.
class Number {
public:
    static Number integer(std::int64_t value) { return Number(value); }
    static Number floating(double value) { return Number(value); }

    // The value if it is exactly representable as an unsigned 32-bit integer
    // (not negative, not fractional, not too large, not NaN); absent otherwise.
    std::optional<std::uint32_t> exactUInt32() const;

    // The platform's lenient conversion: integers wrap modulo 2^32, floating
    // values are truncated toward zero first, NaN and infinities give 0.
    std::uint32_t unsignedIntValue() const;

    bool operator==(const Number&) const = default;

private:
    explicit Number(std::int64_t value) : value_(value) {}
    explicit Number(double value) : value_(value) {}
    std::variant<std::int64_t, double> value_;
};

// Any value the platform hands over that is neither number, text nor dictionary
// (a date, raw data, an array...). The core never looks inside one.
struct OtherKind {
    bool operator==(const OtherKind&) const = default;
};

class Value;

// A dictionary keeps its entries in its own enumeration order. Keys are values
// too, so a dictionary whose keys are not all text can be represented and told
// apart.
class Dictionary {
public:
    Dictionary() = default;
    Dictionary(std::initializer_list<std::pair<Value, Value>> entries);

    // Adds an entry at the end of the enumeration order, or replaces the value
    // of an entry whose key is equal.
    void set(Value key, Value value);

    // The value stored under a text key, or nullptr.
    const Value* find(std::string_view textKey) const;

    // The value under textKey when it is a number exactly representable as an
    // unsigned 32-bit integer; absent for a missing key or any other value.
    std::optional<std::uint32_t> exactUInt32At(std::string_view textKey) const;

    bool hasOnlyTextKeys() const;
    bool empty() const;
    const std::vector<std::pair<Value, Value>>& entries() const { return entries_; }

    bool operator==(const Dictionary&) const;

private:
    std::vector<std::pair<Value, Value>> entries_;
};

class Value {
public:
    Value(Number number) : content_(number) {}
    Value(std::string text) : content_(std::move(text)) {}
    Value(const char* text) : content_(std::string(text)) {}
    Value(Dictionary dictionary) : content_(std::move(dictionary)) {}
    Value(OtherKind other) : content_(other) {}

    const Number* asNumber() const { return std::get_if<Number>(&content_); }
    const std::string* asText() const { return std::get_if<std::string>(&content_); }
    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&content_); }

    bool operator==(const Value&) const = default;

private:
    std::variant<Number, std::string, Dictionary, OtherKind> content_;
};

}  // namespace lsscreens
