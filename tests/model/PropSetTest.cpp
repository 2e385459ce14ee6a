#include "model/PropSet.h"
#include "model/SummaryInfo.h"
#include "platform/storage/Storage.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace std::string_literals;

constexpr FMTID kFmtid = {0x11223344, 0x5566, 0x7788, {0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00}};

std::string D(DWORD v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
std::string G(REFGUID g)
{
    auto bytes = platform::GuidToBytes(g);
    return std::string(bytes.begin(), bytes.end());
}

// A scratch memory stream holding the given bytes, released with the object.
class MemoryStream {
public:
    explicit MemoryStream(const std::string& bytes = "")
    {
        EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &m_pStream), S_OK);
        ULONG cb = 0;
        m_pStream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &cb);
    }
    ~MemoryStream() { m_pStream->Release(); }
    IStream* get() const { return m_pStream; }
    std::string Bytes() const
    {
        LARGE_INTEGER start {};
        m_pStream->Seek(start, STREAM_SEEK_SET, nullptr);
        std::string out(1 << 16, '\0');
        ULONG cb = 0;
        m_pStream->Read(out.data(), static_cast<ULONG>(out.size()), &cb);
        out.resize(cb);
        return out;
    }

private:
    IStream* m_pStream = nullptr;
};

// A set with one section at offset 48 holding the given ID/offset entries
// and value bytes; the section's size is filled in as stored.
std::string MakeSet(const std::vector<std::pair<DWORD, DWORD>>& entries, const std::string& values,
    DWORD sectionCount = 1, DWORD sectionOffset = 48)
{
    std::string out = "\xFE\xFF\0\0"s + D(0x00020004) + G(GUID_NULL) + D(sectionCount) + G(kFmtid) + D(sectionOffset);
    out += D(DWORD(8 + 8 * entries.size() + values.size())) + D(DWORD(entries.size()));
    for (auto [id, offset] : entries)
        out += D(id) + D(offset);
    return out + values;
}

const CPropSection* ReadSection(const std::string& bytes, CPropSet& set)
{
    MemoryStream stream(bytes);
    EXPECT_TRUE(set.ReadFromStream(stream.get()));
    return set.GetSection(kFmtid);
}

TEST(PropSet, WritesStandardLayoutByteForByte)
{
    CPropSet set(kFmtid);
    const SHORT codePage = 1252;
    ASSERT_TRUE(set.SetValue(kFmtid, 1, &codePage, VT_I2));
    ASSERT_TRUE(set.SetValue(kFmtid, 2, "Abc", VT_LPSTR));
    ASSERT_TRUE(set.SetValue(kFmtid, 4, "Abcd", VT_LPSTR));
    MemoryStream stream;
    ASSERT_TRUE(set.WriteToStream(stream.get()));

    // The set's class ID is the format ID it was made for; values are padded
    // to 4 bytes and string counts include the terminator.
    const std::string expected = "\xFE\xFF\0\0\x04\0\x02\0"s + G(kFmtid) + D(1) + G(kFmtid) + D(48) //
        + D(8 + 24 + 8 + 12 + 16) + D(3) + D(1) + D(32) + D(2) + D(40) + D(4) + D(52) //
        + D(VT_I2) + D(1252) + D(VT_LPSTR) + D(4) + "Abc\0"s + D(VT_LPSTR) + D(5) + "Abcd\0\0\0\0"s;
    EXPECT_EQ(stream.Bytes(), expected);
}

TEST(PropSet, SetValueReplacesAndRemoveAllEmpties)
{
    CPropSet set(kFmtid);
    set.SetValue(kFmtid, 2, "first", VT_LPSTR);
    set.SetValue(kFmtid, 2, "second", VT_LPSTR);
    DWORD type = 0;
    EXPECT_STREQ(static_cast<const char*>(set.GetValue(kFmtid, 2, &type)), "second");
    EXPECT_EQ(type, DWORD(VT_LPSTR));
    EXPECT_EQ(set.GetSection(kFmtid)->GetCount(), 1u);
    EXPECT_EQ(set.GetValue(kFmtid, 3), nullptr);
    EXPECT_EQ(set.GetValue(FMTID_SummaryInformation, 2), nullptr);
    EXPECT_FALSE(set.SetValue(kFmtid, 5, "x", 0x99)) << "a type without a known layout is refused";

    set.GetSection(kFmtid)->RemoveAll();
    EXPECT_EQ(set.GetSection(kFmtid)->GetCount(), 0u);
    EXPECT_EQ(set.GetValue(kFmtid, 2), nullptr);
}

TEST(PropSet, KeepsValuesOfOtherTypesWithTheirSizes)
{
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::string blob = D(3) + "xyz";
    const std::string shorts = D(3) + "\1\0\2\0\3\0"s;
    const std::string strings = D(2) + D(2) + "a\0\0\0"s + D(5) + "abcd\0\0\0\0"s; // elements padded
    struct Case {
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {
        {VT_EMPTY, nullptr, 0},
        {VT_BOOL, eight, 2},
        {VT_R4, eight, 4},
        {VT_FILETIME, eight, 8},
        {VT_BSTR, "bstr", 4 + 5},
        {VT_LPWSTR, u"wide", 4 + 10},
        {VT_BLOB, blob.data(), 7},
        {VT_CF, blob.data(), 7},
        {VT_VECTOR | VT_I2, shorts.data(), 10},
        {VT_VECTOR | VT_LPSTR, strings.data(), 24},
    };
    CPropSet set(kFmtid);
    for (DWORD i = 0; i < std::size(cases); ++i)
        ASSERT_TRUE(set.SetValue(kFmtid, 2 + i, cases[i].data, cases[i].type)) << cases[i].type;
    MemoryStream stream;
    ASSERT_TRUE(set.WriteToStream(stream.get()));

    CPropSet read;
    const CPropSection* section = ReadSection(stream.Bytes(), read);
    ASSERT_NE(section, nullptr);
    ASSERT_EQ(section->GetCount(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].type);
        const CPropValue& value = section->GetValues()[i];
        EXPECT_EQ(value.GetType(), cases[i].type);
        EXPECT_EQ(value.GetSize(), cases[i].size);
        const size_t compared = cases[i].type == VT_LPWSTR ? 10 : cases[i].type == VT_BSTR ? 5 : cases[i].size;
        EXPECT_EQ(std::memcmp(value.Get(), set.GetSections()[0].GetValues()[i].Get(), compared), 0);
    }
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(read.GetValue(kFmtid, 7))), u"wide");
}

TEST(PropSet, RefusesWhatIsNotAPropertySet)
{
    const std::string valid = MakeSet({}, "");
    const std::string wrongByteOrder = "\xFF\xFE" + valid.substr(2);
    for (const std::string& bytes : {""s, valid.substr(0, 27), wrongByteOrder, MakeSet({}, "", 0x0CCCCCCC)}) {
        MemoryStream stream(bytes);
        CPropSet set(kFmtid);
        set.SetValue(kFmtid, 2, "stale", VT_LPSTR);
        EXPECT_FALSE(set.ReadFromStream(stream.get()));
        EXPECT_TRUE(set.GetSections().empty()) << "a failed read leaves nothing of before";
    }
}

TEST(PropSet, DropsSectionsThatDoNotFit)
{
    std::string sizeTooLarge = MakeSet({}, "");
    sizeTooLarge[48] = '\xFF';
    std::string countTooLarge = MakeSet({{2, 16}}, "");
    countTooLarge[52] = '\x40';
    for (const std::string& bytes : {MakeSet({}, "", 1, 4000), sizeTooLarge, countTooLarge}) {
        CPropSet set;
        EXPECT_EQ(ReadSection(bytes, set), nullptr);
    }
}

TEST(PropSet, FollowsValueOffsetsAndDropsValuesThatDoNotFit)
{
    const DWORD base = 8 + 8 * 8;
    const std::string values = D(VT_LPSTR) + D(4) + "abcd"       // base: no terminator of its own
        + D(VT_I4) + D(77)                                        // base + 12
        + D(VT_LPSTR) + D(0xFFFFFFF0) + D(0)                      // base + 20: count past the end
        + D(0x99) + D(0)                                          // base + 32: unknown layout
        + D(VT_VECTOR | VT_LPSTR) + D(0x40000000);                // base + 40: count past the end
    const std::string bytes = MakeSet({{4, base + 12}, {2, base}, {3, base + 20}, {5, 0x7FFFFFF0}, {6, base + 32},
                                          {7, base + 40}, {0, base}, {2, base + 12}},
        values);
    CPropSet set;
    const CPropSection* section = ReadSection(bytes, set);
    ASSERT_NE(section, nullptr);
    ASSERT_EQ(section->GetCount(), 2u) << "only 4 and the first 2 stay; the dictionary (0) is no typed value";
    EXPECT_EQ(*static_cast<const LONG*>(section->GetValue(4)), 77);
    EXPECT_STREQ(static_cast<const char*>(section->GetValue(2)), "abcd");
}

TEST(PropSet, ReadsARawSummaryStreamFromElsewhere)
{
    REQUIRE_TESTDATA();
    const std::string raw
        = testing_support::ReadFileBytes(THREADWICK_TESTDATA_DIR "/cfb/src-ruby-ole__test_SummaryInformation");
    ASSERT_FALSE(raw.empty());
    MemoryStream stream(raw);
    CPropSet set;
    ASSERT_TRUE(set.ReadFromStream(stream.get()));
    const CPropSection* section = set.GetSection(FMTID_SummaryInformation);
    ASSERT_NE(section, nullptr);
    EXPECT_GT(section->GetCount(), 5u);
    DWORD type = 0;
    ASSERT_NE(section->GetValue(PIDSI_AUTHOR, &type), nullptr);
    EXPECT_EQ(type, DWORD(VT_LPSTR));
}

} // namespace
