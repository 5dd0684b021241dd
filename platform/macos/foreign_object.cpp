#include "platform/macos/foreign_object.h"

namespace lsscreens::macos_platform {

namespace {

Value convert(const ForeignObject& object, int depth);

Dictionary convertDictionary(const ForeignObject& object, int depth)
{
    Dictionary dictionary;
    object.forEachEntry([&](const ForeignObject& key, const ForeignObject& value) {
        dictionary.set(convert(key, depth + 1), convert(value, depth + 1));
    });
    return dictionary;
}

Number convertInteger(const ForeignObject& object)
{
    if (const auto value = object.signedValue())
        return Number::integer(*value);
    // An unsigned value above 2^63 - 1 is kept as its two's-complement bit
    // pattern: still not an exact 32-bit value, and its low 32 bits, which
    // unsignedIntValue returns, are unchanged.
    if (const auto value = object.unsignedValue())
        return Number::integer(static_cast<std::int64_t>(*value));
    return Number::floating(object.floatingValue());
}

Value convert(const ForeignObject& object, int depth)
{
    switch (object.kind()) {
    case ForeignObject::Kind::integerNumber:
        return convertInteger(object);
    case ForeignObject::Kind::floatingNumber:
        return Number::floating(object.floatingValue());
    case ForeignObject::Kind::text:
        if (auto text = object.utf8())
            return std::move(*text);
        return OtherKind{};
    case ForeignObject::Kind::dictionary:
        if (depth >= maximumNesting)
            return OtherKind{};
        return convertDictionary(object, depth);
    case ForeignObject::Kind::other:
        break;
    }
    return OtherKind{};
}

}  // namespace

Value toValue(const ForeignObject& object)
{
    return convert(object, 0);
}

Dictionary toDictionary(const ForeignObject& object)
{
    if (object.kind() != ForeignObject::Kind::dictionary)
        return {};
    return convertDictionary(object, 0);
}

}  // namespace lsscreens::macos_platform
