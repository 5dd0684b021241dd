// The macOS adaptor's view of one Foundation object (NSNumber, NSString,
// NSDictionary or anything else), and its conversion into the seam's value
// model. The conversion is plain C++; only the ForeignObject implementation
// is Objective-C++.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "display/platform_value.h"

namespace lsscreens::macos_platform {

class ForeignObject {
public:
    enum class Kind { integerNumber, floatingNumber, text, dictionary, other };

    virtual ~ForeignObject() = default;
    virtual Kind kind() const = 0;

    // Integer numbers: the value as a signed 64-bit integer, absent when it
    // does not fit (an unsigned value above 2^63 - 1)...
    virtual std::optional<std::int64_t> signedValue() const = 0;
    // ...and as an unsigned 64-bit integer, absent when it is negative.
    virtual std::optional<std::uint64_t> unsignedValue() const = 0;
    // Floating-point numbers.
    virtual double floatingValue() const = 0;
    // Text as UTF-8; absent when the platform cannot encode it.
    virtual std::optional<std::string> utf8() const = 0;
    // Dictionaries: every entry, in the dictionary's own enumeration order.
    virtual void forEachEntry(
        const std::function<void(const ForeignObject& key, const ForeignObject& value)>& visit) const = 0;
};

// Dictionaries nested deeper than this become values of another kind; the
// tool reads nothing below the second level.
inline constexpr int maximumNesting = 8;

Value toValue(const ForeignObject& object);

// The object as a dictionary; an empty one when it is not a dictionary.
Dictionary toDictionary(const ForeignObject& object);

}  // namespace lsscreens::macos_platform
