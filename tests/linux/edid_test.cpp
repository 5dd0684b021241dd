// Reading EDIDs: every real sample against its expected result, then the
// damaged and unusual inputs real monitors and drivers hand over.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/linux/edid.h"
#include "tests/linux/edid_samples.h"

namespace lsscreens::testing {
namespace {

using linux_platform::genericProduct;
using linux_platform::infoDictionaryFromEdid;
using linux_platform::readEdidIdentity;
using linux_platform::unknownVendor;
using Bytes = std::vector<std::uint8_t>;

class RealEdid : public ::testing::TestWithParam<EdidSample> {};

TEST_P(RealEdid, IdentityAndNameAsExpected)
{
    const EdidSample& sample = GetParam();
    const auto identity = readEdidIdentity(sample.bytes);
    EXPECT_EQ(identity.vendor, sample.vendor);
    EXPECT_EQ(identity.product, sample.product);
    EXPECT_EQ(identity.serial, sample.serial);
    EXPECT_EQ(identity.name, sample.name);

    const Dictionary info = infoDictionaryFromEdid(sample.bytes);
    EXPECT_EQ(info.exactUInt32At("DisplayVendorID"), sample.vendor);
    EXPECT_EQ(info.exactUInt32At("DisplayProductID"), sample.product);
    EXPECT_EQ(info.exactUInt32At("DisplaySerialNumber"),
              sample.serial ? std::optional(sample.serial) : std::nullopt);
    const Value* names = info.find("DisplayProductName");
    if (sample.name) {
        ASSERT_TRUE(names);
        EXPECT_EQ(*names, Value(Dictionary{{"en_US", *sample.name}}));
    } else {
        EXPECT_FALSE(names);
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, RealEdid, ::testing::ValuesIn(edidSamples()),
                         [](const auto& info) {
                             std::string name = info.param.file.substr(0, info.param.file.find('.'));
                             std::replace_if(name.begin(), name.end(),
                                             [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

// A base block with a valid header, the given identification bytes and four
// descriptors the test fills in.
Bytes baseBlock(std::uint16_t manufacturer, std::uint16_t product, std::uint32_t serial)
{
    Bytes edid(128, 0);
    std::copy_n(Bytes{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}.begin(), 8, edid.begin());
    edid[8] = manufacturer >> 8;
    edid[9] = manufacturer & 0xFF;
    edid[10] = product & 0xFF;
    edid[11] = product >> 8;
    for (int i = 0; i < 4; ++i)
        edid[12 + i] = (serial >> (8 * i)) & 0xFF;
    for (std::size_t at = 54; at < 126; at += 18)
        edid[at + 3] = 0x10;  // "dummy" descriptors
    return edid;
}

void setNameDescriptor(Bytes& edid, int slot, std::string_view text)
{
    const std::size_t at = 54 + 18 * static_cast<std::size_t>(slot);
    std::fill_n(edid.begin() + static_cast<std::ptrdiff_t>(at), 18, 0);
    edid[at + 3] = 0xFC;
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 13), edid.begin() + static_cast<std::ptrdiff_t>(at + 5));
}

TEST(EdidNames, PiecesAreCutJoinedAndTrimmed)
{
    const auto nameOf = [](std::initializer_list<std::string_view> pieces) {
        Bytes edid = baseBlock(0x10AC, 1, 0);
        int slot = 0;
        for (const auto piece : pieces)
            setNameDescriptor(edid, slot++, piece);
        return readEdidIdentity(edid).name;
    };
    using namespace std::string_literals;
    EXPECT_EQ(nameOf({"DELL U2711\n  "}), "DELL U2711");
    EXPECT_EQ(nameOf({"Nvidia Defaul", "t Flat Panel\n"}), "Nvidia Default Flat Panel");
    EXPECT_EQ(nameOf({"CNDLCD.COM\n", "CNDLCD.COM\n"}), "CNDLCD.COM");
    EXPECT_EQ(nameOf({"AB\n", "AB\n", "AB\n"}), "AB");
    EXPECT_EQ(nameOf({"\n", "", "P176\n"}), "P176");
    EXPECT_EQ(nameOf({"DX-32L220A12\r"}), "DX-32L220A12");
    EXPECT_EQ(nameOf({"Acer\xA0" "AL171\xB4"}), "Acer");
    EXPECT_EQ(nameOf({"PHL\0TV"s}), "PHL");
    EXPECT_EQ(nameOf({"\xD6\xD0\xCE\xC4"}), std::nullopt);  // GBK only: nothing printable
    EXPECT_EQ(nameOf({"             "}), std::nullopt);
    EXPECT_EQ(nameOf({"  G150  \n"}), "  G150");  // leading spaces are the name's own
    EXPECT_EQ(nameOf({}), std::nullopt);
}

TEST(EdidNames, OnlyDisplayDescriptorsCount)
{
    Bytes edid = baseBlock(0x10AC, 1, 0);
    setNameDescriptor(edid, 0, "Timing\n");
    edid[54] = 0x01;  // a non-zero pixel clock makes it a detailed timing
    setNameDescriptor(edid, 3, "Real name\n");
    EXPECT_EQ(readEdidIdentity(edid).name, "Real name");
}

TEST(EdidIdentity, PlatformConventionsForUnidentifiedDisplays)
{
    const auto unknown = readEdidIdentity({});
    EXPECT_EQ(unknown.vendor, unknownVendor);
    EXPECT_EQ(unknown.product, genericProduct);
    EXPECT_EQ(unknown.serial, 0u);

    const auto noManufacturer = readEdidIdentity(baseBlock(0, 0x1234, 7));
    EXPECT_EQ(noManufacturer.vendor, unknownVendor);
    EXPECT_EQ(noManufacturer.product, genericProduct);
    EXPECT_EQ(noManufacturer.serial, 7u);

    EXPECT_EQ(readEdidIdentity(baseBlock(0x10AC, 1, 0x01010101)).serial, 0u);
    EXPECT_EQ(readEdidIdentity(baseBlock(0x10AC, 1, 0xFFFFFFFF)).serial, 0xFFFFFFFFu);

    // The registry leaves a zero serial out, as the platform does.
    const Dictionary info = infoDictionaryFromEdid(baseBlock(0x10AC, 1, 0x01010101));
    EXPECT_FALSE(info.find("DisplaySerialNumber"));
    EXPECT_EQ(info.exactUInt32At("DisplayVendorID"), 0x10ACu);
}

TEST(EdidIdentity, DamagedHeadersAndTruncationReadWhatIsThere)
{
    Bytes edid = baseBlock(0x10AC, 0xA056, 42);
    setNameDescriptor(edid, 3, "DELL U2711\n");

    Bytes twoBadBytes = edid;
    twoBadBytes[1] = twoBadBytes[7] = 0x12;
    EXPECT_EQ(readEdidIdentity(twoBadBytes).vendor, 0x10ACu);
    Bytes threeBadBytes = twoBadBytes;
    threeBadBytes[3] = 0;
    EXPECT_EQ(readEdidIdentity(threeBadBytes).vendor, unknownVendor);
    EXPECT_EQ(readEdidIdentity(threeBadBytes).name, std::nullopt);

    // Every prefix: the identity once its 16 bytes are there, the name once
    // its whole descriptor is.
    for (std::size_t length = 0; length <= edid.size(); ++length) {
        const auto identity = readEdidIdentity(std::span(edid).first(length));
        EXPECT_EQ(identity.vendor, length >= 16 ? 0x10ACu : unknownVendor) << length;
        EXPECT_EQ(identity.name.has_value(), length >= 126) << length;
    }

    // Extension blocks, real or claimed, change nothing.
    Bytes withExtensions = edid;
    withExtensions[126] = 255;
    withExtensions.resize(128 * 3, 0xFF);
    EXPECT_EQ(readEdidIdentity(withExtensions).name, "DELL U2711");
}

}  // namespace
}  // namespace lsscreens::testing
