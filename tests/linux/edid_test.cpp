// Reading EDIDs: every real sample against its expected result, then the
// damaged and unusual inputs real monitors and drivers hand over.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/shared/edid.h"
#include "tests/linux/edid_samples.h"

namespace lsscreens::testing {
namespace {

using namespace platform_shared;
using Bytes = std::vector<std::uint8_t>;

class RealEdid : public ::testing::TestWithParam<EdidSample> {};

TEST_P(RealEdid, IdentitySizeAndInfoDictionaryAsExpected)
{
    const EdidSample& sample = GetParam();
    const auto identity = readEdidIdentity(sample.bytes);
    EXPECT_EQ(std::tie(identity.vendor, identity.product, identity.serial, identity.name),
              std::tie(sample.vendor, sample.product, sample.serial, sample.name));
    EXPECT_EQ(readEdidSize(sample.bytes), (EdidSize{sample.mmWidth, sample.mmHeight}));

    Dictionary expected{{"DisplayVendorID", Number::integer(sample.vendor)},
                        {"DisplayProductID", Number::integer(sample.product)}};
    if (sample.serial != 0)  // left out when 0, as the registry does
        expected.set("DisplaySerialNumber", Number::integer(sample.serial));
    if (sample.name)
        expected.set("DisplayProductName", Dictionary{{"en_US", *sample.name}});
    EXPECT_EQ(infoDictionaryFromEdid(sample.bytes), expected);
}

// Each test named after its file ("DEL_A056_001.bin": DEL_A056_001).
INSTANTIATE_TEST_SUITE_P(Samples, RealEdid, ::testing::ValuesIn(edidSamples()),
                         [](const auto& test) { return test.param.file.substr(0, test.param.file.find('.')); });

// A base block with a valid header, the given identification and four
// "dummy" descriptors; names go into descriptors 0 to 3.
Bytes baseBlock(std::uint16_t manufacturer, std::uint16_t product, std::uint32_t serial,
                const std::vector<std::string_view>& names = {})
{
    Bytes edid{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, std::uint8_t(manufacturer >> 8), std::uint8_t(manufacturer),
               std::uint8_t(product), std::uint8_t(product >> 8), std::uint8_t(serial), std::uint8_t(serial >> 8),
               std::uint8_t(serial >> 16), std::uint8_t(serial >> 24)};
    edid.resize(128);
    for (std::size_t at = 54; at < 126; at += 18)
        edid[at + 3] = 0x10;
    std::size_t at = 54;
    for (const auto name : names) {
        edid[at + 3] = 0xFC;
        std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 13), edid.begin() + std::ptrdiff_t(at + 5));
        at += 18;
    }
    return edid;
}

TEST(EdidNames, PiecesAreCutJoinedAndTrimmed)
{
    using namespace std::string_view_literals;
    const std::pair<std::vector<std::string_view>, std::optional<std::string>> cases[] = {
        {{"DELL U2711\n  "}, "DELL U2711"}, {{"DX-32L220A12\r"}, "DX-32L220A12"}, {{"\n", "", "P176\n"}, "P176"},
        {{"Nvidia Defaul", "t Flat Panel\n"}, "Nvidia Default Flat Panel"},                  // split across two
        {{"CNDLCD.COM\n", "CNDLCD.COM\n"}, "CNDLCD.COM"}, {{"AB\n", "AB\n", "AB\n"}, "AB"},  // repeated whole
        {{"Monitor AB", "AB"}, "Monitor ABAB"},  // only a repeat of the whole text is dropped
        // Cut at the first byte outside printable ASCII.
        {{"Acer\xA0" "AL171\xB4"}, "Acer"}, {{"PHL\0TV"sv}, "PHL"}, {{"AB\x7F" "CD"}, "AB"},
        {{"\xD6\xD0\xCE\xC4"}, std::nullopt}, {{"             "}, std::nullopt}, {{}, std::nullopt},
        {{"  G150  \n"}, "  G150"},  // leading spaces are the name's own
    };
    for (const auto& [pieces, name] : cases)
        EXPECT_EQ(readEdidIdentity(baseBlock(0x10AC, 1, 0, pieces)).name, name) << ::testing::PrintToString(pieces);

    Bytes timingFirst = baseBlock(0x10AC, 1, 0, {"Timing\n", "Timing\n", "Real name\n"});
    timingFirst[54] = timingFirst[54 + 18 + 1] = 0x01;  // a pixel clock makes a detailed timing
    EXPECT_EQ(readEdidIdentity(timingFirst).name, "Real name");
}

// (The placeholder serial 0x01010101 reading as 0 is in 17 of the samples.)
// An unidentified display's registry entry has no vendor, so that it matches
// no display: every display without an EDID of its own reads alike.
TEST(EdidIdentity, UnidentifiedDisplaysReadAsTheUnknownVendorAndGenericProductAndMatchNone)
{
    for (const auto& [edid, serial] : {std::pair{Bytes{}, 0u}, {baseBlock(0, 0x1234, 7, {"GHOST\n"}), 7u}}) {
        const auto identity = readEdidIdentity(edid);
        EXPECT_EQ(std::tuple(identity.identified, identity.vendor, identity.product, identity.serial),
                  std::tuple(false, unknownVendor, genericProduct, serial));
        EXPECT_EQ(infoDictionaryFromEdid(edid).find("DisplayVendorID"), nullptr);
    }
}

TEST(EdidIdentity, DamagedHeadersAndTruncationReadWhatIsThere)
{
    Bytes edid = baseBlock(0x10AC, 0xA056, 42, {"\n", "", "", "DELL U2711\n"});
    Bytes damaged = edid;
    damaged[1] = damaged[7] = 0x12;  // two bad header bytes are tolerated...
    EXPECT_EQ(readEdidIdentity(damaged).vendor, 0x10ACu);
    damaged[3] = 0;  // ...three are not
    EXPECT_EQ(readEdidIdentity(damaged).vendor, unknownVendor);
    EXPECT_EQ(readEdidIdentity(damaged).name, std::nullopt);

    // Every prefix: the identity once its 16 bytes are there, the name once
    // its whole descriptor is.
    for (std::size_t length = 0; length <= edid.size(); ++length) {
        const auto identity = readEdidIdentity(std::span(edid).first(length));
        EXPECT_EQ(identity.vendor, length >= 16 ? 0x10ACu : unknownVendor) << length;
        EXPECT_EQ(identity.name.has_value(), length >= 126) << length;
    }

    // Extension blocks, real or claimed, change nothing.
    edid[126] = 255;
    edid.resize(128 * 3, 0xFF);
    EXPECT_EQ(readEdidIdentity(edid).name, "DELL U2711");
}

}  // namespace
}  // namespace lsscreens::testing
