// The directory of the files we write: every storage's elements a balanced
// red-black tree in the directory's name order, read by olefile at its
// default recursion limit however many elements a storage holds; names of
// every length and case found again; and trees of other shapes (chains
// either way, as earlier writers left them) still read, cyclic ones refused.

#include "platform/files/FileSystem.h"
#include "platform/storage/Storage.h"
#include "platform/storage/StorageTree.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <set>

using namespace storage_test;

namespace {

constexpr uint32_t kNoEntry = 0xFFFFFFFF;
constexpr DWORD kCreate = STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_DENY_WRITE | STGM_WRITE;
constexpr DWORD kStreamWrite = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kStreamRead = STGM_READ | STGM_SHARE_EXCLUSIVE;

// Ten characters no two of which are equal without case: ASCII, Latin-1 and
// Greek letters, a digit and one without an upper case in the Latin range.
constexpr char16_t kDigits[] = { u'a', u'B', u'c', u'D', u'1', u'z', 0x00E9, 0x00FF, 0x03B1, 0x00B5 };

// The i-th of a set of names of every length from 1 to 31 in mixed case:
// i written with kDigits, after as many x and X as make the length.
std::u16string MixedName(size_t i)
{
    std::u16string digits;
    size_t n = i;
    do {
        digits.insert(digits.begin(), kDigits[n % 10]);
        n /= 10;
    } while (n > 0);
    std::u16string name;
    for (size_t length = 1 + i % 31; name.size() + digits.size() < length;)
        name.push_back(name.size() % 2 ? u'X' : u'x');
    return name + digits;
}

char16_t OtherCase(char16_t ch)
{
    switch (ch) {
    case 0x00E9:
        return 0x00C9;
    case 0x00FF:
        return 0x0178;
    case 0x03B1:
        return 0x0391;
    default:
        if (ch >= u'a' && ch <= u'z')
            return char16_t(ch - 32);
        if (ch >= u'A' && ch <= u'Z')
            return char16_t(ch + 32);
        return ch;
    }
}

std::u16string InOtherCase(std::u16string name)
{
    for (char16_t& ch : name)
        ch = OtherCase(ch);
    return name;
}

std::string PayloadOf(size_t i)
{
    return "element " + std::to_string(i) + std::string(i % 300, char('a' + i % 26));
}

uint32_t Le32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

void Put32(std::string& bytes, size_t at, uint32_t value)
{
    std::memcpy(bytes.data() + at, &value, 4);
}

// The directory entries of a file (one whose FAT fits in the header),
// read and changed in place.
class RawDirectory {
public:
    explicit RawDirectory(std::string& bytes)
        : m_bytes(bytes)
    {
        const size_t sectorSize = size_t(1) << (uint8_t(bytes[0x1E]) | uint8_t(bytes[0x1F]) << 8);
        const uint32_t fatSectors = Le32(bytes, 0x2C);
        EXPECT_LE(fatSectors, 109u);
        std::vector<uint32_t> fat;
        for (uint32_t i = 0; i < fatSectors && i < 109; ++i) {
            const size_t at = (size_t(Le32(bytes, 0x4C + 4 * i)) + 1) * sectorSize;
            for (size_t k = 0; k < sectorSize; k += 4)
                fat.push_back(Le32(bytes, at + k));
        }
        for (uint32_t sector = Le32(bytes, 0x30); sector < fat.size() && m_entries.size() < 100000; sector = fat[sector]) {
            for (size_t k = 0; k < sectorSize; k += 128)
                m_entries.push_back((size_t(sector) + 1) * sectorSize + k);
        }
    }

    size_t Count() const { return m_entries.size(); }
    int Type(uint32_t id) const { return uint8_t(m_bytes[m_entries[id] + 0x42]); }
    bool Red(uint32_t id) const { return m_bytes[m_entries[id] + 0x43] == 0; }
    uint32_t Left(uint32_t id) const { return Le32(m_bytes, m_entries[id] + 0x44); }
    uint32_t Right(uint32_t id) const { return Le32(m_bytes, m_entries[id] + 0x48); }
    uint32_t Child(uint32_t id) const { return Le32(m_bytes, m_entries[id] + 0x4C); }
    void SetLinks(uint32_t id, uint32_t left, uint32_t right)
    {
        Put32(m_bytes, m_entries[id] + 0x44, left);
        Put32(m_bytes, m_entries[id] + 0x48, right);
    }
    void SetChild(uint32_t id, uint32_t child) { Put32(m_bytes, m_entries[id] + 0x4C, child); }
    std::u16string Name(uint32_t id) const
    {
        std::u16string name;
        const size_t at = m_entries[id];
        const size_t units = (uint8_t(m_bytes[at + 0x40]) | uint8_t(m_bytes[at + 0x41]) << 8) / 2;
        for (size_t i = 0; i + 1 < units && i < 32; ++i)
            name.push_back(char16_t(uint8_t(m_bytes[at + 2 * i]) | uint8_t(m_bytes[at + 2 * i + 1]) << 8));
        return name;
    }
    // A storage's elements in the order of their tree (left, self, right).
    std::vector<uint32_t> InOrder(uint32_t storage) const
    {
        std::vector<uint32_t> out;
        std::set<uint32_t> seen;
        std::function<void(uint32_t)> walk = [&](uint32_t id) {
            if (id == kNoEntry || id >= Count() || !seen.insert(id).second)
                return;
            walk(Left(id));
            out.push_back(id);
            walk(Right(id));
        };
        walk(Child(storage));
        return out;
    }

private:
    std::string& m_bytes;
    std::vector<size_t> m_entries;
};

// What is wrong with one storage's tree, or empty: the order, the depth
// bound, and the red-black rules (no red under a red, the same number of
// black entries on every way down, a black top).
std::string TreeFault(const RawDirectory& dir, uint32_t storage)
{
    const std::vector<uint32_t> order = dir.InOrder(storage);
    for (size_t i = 1; i < order.size(); ++i) {
        if (platform::CompareNames(dir.Name(order[i - 1]), dir.Name(order[i])) >= 0)
            return "out of order at " + std::to_string(i);
    }
    int deepest = 0;
    std::set<int> blackHeights;
    std::string fault;
    std::function<void(uint32_t, int, int, bool)> walk = [&](uint32_t id, int depth, int blacks, bool parentRed) {
        if (id == kNoEntry) {
            blackHeights.insert(blacks);
            return;
        }
        deepest = std::max(deepest, depth + 1);
        if (dir.Red(id) && parentRed)
            fault = "red under red";
        if (depth > 64)
            return;
        walk(dir.Left(id), depth + 1, blacks + !dir.Red(id), dir.Red(id));
        walk(dir.Right(id), depth + 1, blacks + !dir.Red(id), dir.Red(id));
    };
    const uint32_t top = dir.Child(storage);
    if (top != kNoEntry && dir.Red(top))
        return "red top";
    walk(top, 0, 0, false);
    if (!fault.empty())
        return fault;
    if (blackHeights.size() > 1)
        return "black heights differ";
    if (!order.empty() && deepest > 2 * std::log2(double(order.size())) + 1)
        return "depth " + std::to_string(deepest) + " for " + std::to_string(order.size());
    return {};
}

class DirectoryTrees : public files_test::FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        platform::InitFileSystem();
        m_dir = testing_support::MakeTempDir("cfbtree");
        m_path = m_dir + "/many.shr";
    }

    static void Put(IStorage* storage, const std::u16string& name, const std::string& bytes)
    {
        IStream* stream = nullptr;
        ASSERT_EQ(storage->CreateStream(name.c_str(), kStreamWrite, 0, 0, &stream), S_OK) << Escape(name.c_str());
        ASSERT_EQ(stream->Write(bytes.data(), ULONG(bytes.size()), nullptr), S_OK);
        stream->Release();
    }
    static std::string Get(IStorage* storage, const std::u16string& name)
    {
        IStream* stream = nullptr;
        if (storage->OpenStream(name.c_str(), nullptr, kStreamRead, 0, &stream) != S_OK)
            return "<missing>";
        std::string bytes = StreamBytes(stream);
        stream->Release();
        return bytes;
    }

    // A file of `count` streams named MixedName(0...) in the root and
    // storages "Size <k>" holding k streams each for k in `sizes`.
    void WriteFile(size_t count, const std::vector<size_t>& sizes)
    {
        IStorage* root = nullptr;
        ASSERT_EQ(StgCreateDocfile(WinPath(m_path).c_str(), kCreate, 0, &root), S_OK);
        for (size_t i = 0; i < count; ++i)
            Put(root, MixedName(i), PayloadOf(i));
        for (size_t k : sizes) {
            IStorage* sub = nullptr;
            ASSERT_EQ(root->CreateStorage(Wide("Size " + std::to_string(k)).c_str(), kStreamWrite, 0, 0, &sub), S_OK);
            for (size_t i = 0; i < k; ++i)
                Put(sub, MixedName(i * 7 + 3), PayloadOf(i));
            sub->Release();
        }
        ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
        root->Release();
    }

    std::string OurListing(const std::string& bytes, HRESULT* result = nullptr)
    {
        IStorage* root = nullptr;
        HRESULT hr = platform::OpenStorageFromBytes(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), &root);
        if (result)
            *result = hr;
        if (FAILED(hr))
            return {};
        std::string listing = Listing(root, WithClassIds::Yes);
        root->Release();
        return listing;
    }

    std::string m_dir;
    std::string m_path;
};

TEST(DirectoryNameOrder, ShorterNamesFirstThenFoldedCharacters)
{
    struct Case {
        std::u16string a, b;
        int sign;
    } cases[] = {
        { u"Z", u"aa", -1 },
        { u"aa", u"Z", 1 },
        { u"abc", u"ABC", 0 },
        { u"abc", u"ABD", -1 },
        { u"Contents", u"CONTENTT", -1 },
        { u"\u00e9t\u00e9", u"\u00c9T\u00c9", 0 },
        { u"\u00ff", u"\u0178", 0 },
        { u"\u03b1", u"\u0391", 0 },
        { u"\u00b5", u"\u039c", -1 }, // no upper case in the Latin range: stays below Greek
        { u"_", u"a", 1 },            // compared upper-cased: 'A' is below '_'
    };
    for (const Case& c : cases) {
        const int got = platform::CompareNames(c.a, c.b);
        EXPECT_EQ((got > 0) - (got < 0), c.sign) << Escape(c.a.c_str()) << " vs " << Escape(c.b.c_str());
        EXPECT_EQ(got == 0, platform::NamesEqual(c.a, c.b)) << Escape(c.a.c_str());
    }
}

TEST_F(DirectoryTrees, ThousandStreamsReadByOlefileAtItsDefaultRecursionLimit)
{
    WriteFile(1000, {});
    const std::string listing = OurListing(testing_support::ReadFileBytes(m_path));
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 1001);
    std::string theirs;
    if (!IndependentListing(Reader::Olefile, "'" + m_path + "'", theirs))
        GTEST_SKIP() << "python3-olefile is not installed";
    const size_t failure = theirs.find("Error");
    ASSERT_EQ(failure, std::string::npos) << theirs.substr(failure == std::string::npos ? 0 : failure, 200);
    EXPECT_EQ(theirs, listing);
}

TEST_F(DirectoryTrees, EveryStorageIsABalancedRedBlackTreeInNameOrder)
{
    std::vector<size_t> sizes;
    for (size_t k = 1; k <= 70; ++k)
        sizes.push_back(k);
    sizes.push_back(127);
    sizes.push_back(128);
    WriteFile(1000, sizes);
    std::string bytes = testing_support::ReadFileBytes(m_path);
    RawDirectory dir(bytes);
    size_t storages = 0;
    size_t elements = 0;
    for (uint32_t id = 0; id < dir.Count(); ++id) {
        if (dir.Type(id) != 1 && dir.Type(id) != 5)
            continue;
        ++storages;
        const size_t count = dir.InOrder(id).size();
        elements += count;
        EXPECT_EQ(TreeFault(dir, id), "") << Escape(dir.Name(id).c_str()) << " of " << count;
    }
    EXPECT_EQ(storages, sizes.size() + 1);
    EXPECT_EQ(elements, 1000 + sizes.size() + (70 * 71 / 2) + 127 + 128);
}

TEST_F(DirectoryTrees, NamesOfEveryLengthAndCaseAreFoundAgain)
{
    WriteFile(1000, { 40 });
    IStorage* root = nullptr;
    ASSERT_EQ(StgOpenStorage(WinPath(m_path).c_str(), nullptr, STGM_TRANSACTED | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                  nullptr, 0, &root),
        S_OK);
    for (size_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(Get(root, MixedName(i)), PayloadOf(i)) << i;
        ASSERT_EQ(Get(root, InOtherCase(MixedName(i))), PayloadOf(i)) << i;
    }
    EXPECT_EQ(Get(root, u"x" + MixedName(0)), "<missing>");
    IStorage* sub = nullptr;
    ASSERT_EQ(root->OpenStorage(u"SIZE 40", nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &sub), S_OK);
    EXPECT_EQ(Get(sub, InOtherCase(MixedName(39 * 7 + 3))), PayloadOf(39));
    sub->Release();

    // The lookup follows renames (to another case of the same name too),
    // removals and replacements.
    const std::u16string first = MixedName(1);
    const std::u16string second = MixedName(2);
    ASSERT_EQ(root->RenameElement(first.c_str(), InOtherCase(first).c_str()), S_OK);
    ASSERT_EQ(root->RenameElement(second.c_str(), u"Renamed"), S_OK);
    EXPECT_EQ(Get(root, u"RENAMED"), PayloadOf(2));
    EXPECT_EQ(Get(root, second), "<missing>");
    EXPECT_EQ(root->RenameElement(u"renamed", first.c_str()), STG_E_FILEALREADYEXISTS);
    ASSERT_EQ(root->DestroyElement(InOtherCase(MixedName(3)).c_str()), S_OK);
    EXPECT_EQ(Get(root, MixedName(3)), "<missing>");
    EXPECT_EQ(root->DestroyElement(MixedName(3).c_str()), STG_E_FILENOTFOUND);
    Put(root, InOtherCase(MixedName(4)), "replaced");
    Put(root, MixedName(3), "again");
    ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
    root->Release();

    ASSERT_EQ(StgOpenStorage(WinPath(m_path).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &root), S_OK);
    EXPECT_EQ(Get(root, first), PayloadOf(1));
    EXPECT_EQ(Get(root, u"renamed"), PayloadOf(2));
    EXPECT_EQ(Get(root, MixedName(3)), "again");
    EXPECT_EQ(Get(root, MixedName(4)), "replaced");
    IEnumSTATSTG* elements = nullptr;
    ASSERT_EQ(root->EnumElements(0, nullptr, 0, &elements), S_OK);
    std::map<std::u16string, int> names;
    STATSTG stat;
    while (elements->Next(1, &stat, nullptr) == S_OK) {
        ++names[stat.pwcsName];
        CoTaskMemFree(stat.pwcsName);
    }
    elements->Release();
    root->Release();
    EXPECT_EQ(names.size(), 1001u);
    EXPECT_EQ(names.count(InOtherCase(first)), 1u) << "keeps the case it was renamed to";
    EXPECT_EQ(names.count(InOtherCase(MixedName(4))), 1u) << "keeps the case it was replaced with";
}

TEST_F(DirectoryTrees, TreesOfOtherShapesAreReadAndCyclicOnesRefused)
{
    WriteFile(300, { 5 });
    const std::string written = testing_support::ReadFileBytes(m_path);
    const std::string expected = OurListing(written);
    ASSERT_FALSE(expected.empty());

    // Each storage's elements as one chain of right siblings (as this
    // program wrote them before), then as one chain of left siblings.
    for (bool rightward : { true, false }) {
        std::string bytes = written;
        RawDirectory dir(bytes);
        for (uint32_t id = 0; id < dir.Count(); ++id) {
            if (dir.Type(id) != 1 && dir.Type(id) != 5)
                continue;
            std::vector<uint32_t> order = dir.InOrder(id);
            if (!rightward)
                std::reverse(order.begin(), order.end());
            for (size_t i = 0; i < order.size(); ++i) {
                const uint32_t next = i + 1 < order.size() ? order[i + 1] : kNoEntry;
                dir.SetLinks(order[i], rightward ? kNoEntry : next, rightward ? next : kNoEntry);
            }
            if (!order.empty())
                dir.SetChild(id, order.front());
        }
        HRESULT hr = E_FAIL;
        EXPECT_EQ(OurListing(bytes, &hr), expected) << (rightward ? "right chain" : "left chain");
        EXPECT_EQ(hr, S_OK);
    }

    // A sibling link back to the top of its own tree, and a storage whose
    // elements lead back to the storage itself.
    std::string looped = written;
    RawDirectory loopedDir(looped);
    const uint32_t top = loopedDir.Child(0);
    std::vector<uint32_t> order = loopedDir.InOrder(0);
    loopedDir.SetLinks(order.back(), loopedDir.Left(order.back()), top);
    HRESULT hr = S_OK;
    OurListing(looped, &hr);
    EXPECT_EQ(hr, STG_E_DOCFILECORRUPT) << "sibling loop";

    std::string nested = written;
    RawDirectory nestedDir(nested);
    uint32_t storage = kNoEntry;
    for (uint32_t id = 1; id < nestedDir.Count() && storage == kNoEntry; ++id) {
        if (nestedDir.Type(id) == 1)
            storage = id;
    }
    ASSERT_NE(storage, kNoEntry);
    const uint32_t inner = nestedDir.InOrder(storage).front();
    nestedDir.SetLinks(inner, storage, nestedDir.Right(inner));
    OurListing(nested, &hr);
    EXPECT_EQ(hr, STG_E_DOCFILECORRUPT) << "storage inside itself";
}

} // namespace
