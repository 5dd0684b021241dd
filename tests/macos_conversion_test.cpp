// The macOS adaptor's conversion of Foundation objects into the value model,
// against scripted objects: which numbers stay integers, what exactness and
// unsignedIntValue see at the edges, enumeration order, and what becomes a
// value of another kind.
#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <variant>
#include <vector>

#include "platform/macos/foreign_object.h"

namespace lsscreens::macos_platform {
namespace {

// A scripted Foundation object.
class Scripted final : public ForeignObject {
public:
    static Scripted integer(std::int64_t value) { return Scripted(Kind::integerNumber, value); }
    static Scripted bigUnsigned(std::uint64_t value)  // beyond the signed range
    {
        Scripted object(Kind::integerNumber, 0);
        object.signed_ = std::nullopt;
        object.unsigned_ = value;
        return object;
    }
    static Scripted floating(double value)
    {
        Scripted object(Kind::floatingNumber, 0);
        object.floating_ = value;
        return object;
    }
    static Scripted text(std::optional<std::string> utf8)
    {
        Scripted object(Kind::text, 0);
        object.text_ = std::move(utf8);
        return object;
    }
    static Scripted dictionary(std::vector<std::pair<Scripted, Scripted>> entries)
    {
        Scripted object(Kind::dictionary, 0);
        object.entries_ = std::move(entries);
        return object;
    }
    static Scripted other() { return Scripted(Kind::other, 0); }

    Kind kind() const override { return kind_; }
    std::optional<std::int64_t> signedValue() const override { return signed_; }
    std::optional<std::uint64_t> unsignedValue() const override { return unsigned_; }
    double floatingValue() const override { return floating_; }
    std::optional<std::string> utf8() const override { return text_; }
    void forEachEntry(
        const std::function<void(const ForeignObject& key, const ForeignObject& value)>& visit) const override
    {
        for (const auto& [key, value] : entries_)
            visit(key, value);
    }

private:
    Scripted(Kind kind, std::int64_t value)
        : kind_(kind), signed_(value), unsigned_(value >= 0 ? std::optional<std::uint64_t>(value) : std::nullopt)
    {
    }
    Kind kind_;
    std::optional<std::int64_t> signed_;
    std::optional<std::uint64_t> unsigned_;
    double floating_ = 0;
    std::optional<std::string> text_;
    std::vector<std::pair<Scripted, Scripted>> entries_;
};

TEST(MacosConversion, NumbersKeepWhetherTheyAreIntegers)
{
    EXPECT_EQ(toValue(Scripted::integer(69)), Value(Number::integer(69)));
    EXPECT_EQ(toValue(Scripted::integer(-2)), Value(Number::integer(-2)));
    EXPECT_EQ(toValue(Scripted::floating(5.0)), Value(Number::floating(5.0)));
    EXPECT_NE(toValue(Scripted::floating(5.0)), Value(Number::integer(5)));
}

TEST(MacosConversion, UnsignedValuesBeyondTheSignedRangeReadAsThePlatformReadsThem)
{
    const Value big = toValue(Scripted::bigUnsigned(0xFFFFFFFF00000007ull));
    ASSERT_TRUE(big.asNumber());
    EXPECT_EQ(big.asNumber()->exactUInt32(), std::nullopt);    // far from a 32-bit value
    EXPECT_EQ(big.asNumber()->unsignedIntValue(), 7u);         // its low 32 bits
    const Value largest = toValue(Scripted::bigUnsigned(std::numeric_limits<std::uint64_t>::max()));
    EXPECT_EQ(largest.asNumber()->unsignedIntValue(), 0xFFFFFFFFu);
}

TEST(MacosConversion, DictionariesKeepTheirOrderAndKeysOfAnyKind)
{
    const Scripted names = Scripted::dictionary({{Scripted::text("fr_FR"), Scripted::text("Moniteur")},
                                                 {Scripted::text("en_US"), Scripted::text("Display")}});
    const Scripted info = Scripted::dictionary({{Scripted::text("DisplayProductName"), names},
                                                {Scripted::integer(1), Scripted::other()}});
    const Dictionary converted = toDictionary(info);
    ASSERT_EQ(converted.entries().size(), 2u);
    EXPECT_FALSE(converted.hasOnlyTextKeys());
    const Dictionary* byLocale = converted.find("DisplayProductName")->asDictionary();
    ASSERT_TRUE(byLocale);
    EXPECT_EQ(*byLocale->entries().front().first.asText(), "fr_FR");
    EXPECT_EQ(converted.entries()[1].second, Value(OtherKind{}));
}

TEST(MacosConversion, WhatCannotBeRepresentedBecomesAnotherKind)
{
    EXPECT_EQ(toValue(Scripted::text(std::nullopt)), Value(OtherKind{}));  // not encodable as UTF-8
    EXPECT_EQ(toValue(Scripted::text(std::string("a\0b", 3))), Value(std::string("a\0b", 3)));
    EXPECT_TRUE(toDictionary(Scripted::text("not a dictionary")).empty());

    Scripted nested = Scripted::dictionary({});
    for (int depth = 0; depth < maximumNesting + 2; ++depth)
        nested = Scripted::dictionary({{Scripted::text("inner"), nested}});
    const Value converted = toValue(nested);
    const Value* level = &converted;
    int dictionaries = 0;
    while (const Dictionary* dictionary = level->asDictionary()) {
        ++dictionaries;
        level = dictionary->find("inner");
        ASSERT_TRUE(level);
    }
    EXPECT_EQ(dictionaries, maximumNesting);
    EXPECT_EQ(*level, Value(OtherKind{}));
}

}  // namespace
}  // namespace lsscreens::macos_platform
