#include "platform/base/Guid.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// The summary-information format id.
const FMTID kSummary = {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}};
const char kSummaryText[] = "{F29F85E0-4FF9-1068-AB91-08002B27B3D9}";

std::u16string Wide(const std::string& s)
{
    return std::u16string(s.begin(), s.end());
}

} // namespace

TEST(Guid, TextFormRoundTrips)
{
    EXPECT_EQ(platform::GuidToString(kSummary), kSummaryText);
    OLECHAR buffer[39];
    EXPECT_EQ(StringFromGUID2(kSummary, buffer, 39), 39);
    EXPECT_EQ(std::u16string(buffer), Wide(kSummaryText));
    EXPECT_EQ(StringFromGUID2(kSummary, buffer, 38), 0);

    CLSID parsed;
    EXPECT_EQ(CLSIDFromString(Wide(kSummaryText).c_str(), &parsed), S_OK);
    EXPECT_TRUE(IsEqualCLSID(parsed, kSummary));
    GUID lower;
    ASSERT_TRUE(platform::GuidFromString("{f29f85e0-4ff9-1068-ab91-08002b27b3d9}", lower));
    EXPECT_EQ(lower, kSummary);
}

TEST(Guid, BadTextIsRefused)
{
    const char* bad[] = {
        "",
        "F29F85E0-4FF9-1068-AB91-08002B27B3D9",
        "{F29F85E0-4FF9-1068-AB91-08002B27B3D9",
        "{F29F85E0-4FF9-1068-AB91-08002B27B3D9}x",
        "{F29F85E0-4FF9-1068-AB9108-002B27B3D9}",
        "{F29F85E0-4FF9-1068-AB91-08002B27B3DG}",
        "{F29F85E0 4FF9-1068-AB91-08002B27B3D9}",
        "{+29F85E0-4FF9-1068-AB91-08002B27B3D9}",
    };
    for (const char* text : bad) {
        GUID g;
        EXPECT_FALSE(platform::GuidFromString(text, g)) << text;
        CLSID clsid = kSummary;
        EXPECT_EQ(CLSIDFromString(Wide(text).c_str(), &clsid), CO_E_CLASSSTRING) << text;
        EXPECT_EQ(clsid, CLSID_NULL);
    }
    std::u16string nonAscii = Wide(kSummaryText);
    nonAscii[1] = u'\uFF26';
    CLSID clsid;
    EXPECT_EQ(CLSIDFromString(nonAscii.c_str(), &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromString(nullptr, &clsid), E_INVALIDARG);
}

TEST(Guid, StoredBytesAreLittleEndianFields)
{
    std::array<BYTE, 16> bytes = platform::GuidToBytes(kSummary);
    const std::array<BYTE, 16> expected = {
        0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(platform::GuidFromBytes(bytes), kSummary);
}

TEST(Guid, ComparesEveryByte)
{
    GUID other = kSummary;
    EXPECT_TRUE(IsEqualGUID(other, kSummary));
    other.Data4[7] ^= 1;
    EXPECT_FALSE(IsEqualGUID(other, kSummary));
    EXPECT_NE(other, kSummary);
    EXPECT_NE(kSummary, GUID_NULL);
}
