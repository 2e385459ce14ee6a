// Our compound files against independent readers, the files of other
// programs against what an independent reader sees in them, and damaged
// files.

#include "platform/files/FileSystem.h"
#include "platform/storage/Storage.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <random>

using namespace storage_test;

namespace {

constexpr CLSID kDesignClass = { 0x4A7B1C20, 0x11D2, 0x9F3E, { 0x00, 0x60, 0x97, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E } };
constexpr CLSID kEmbeddingClass = { 0x00020906, 0x0000, 0x0000, { 0xC0, 0, 0, 0, 0, 0, 0, 0x46 } };

std::string Pattern(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& ch : bytes)
        ch = char(random());
    return bytes;
}

void WriteStream(IStorage* storage, const std::u16string& name, const std::string& bytes)
{
    IStream* stream = nullptr;
    ASSERT_EQ(storage->CreateStream(name.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream), S_OK);
    ULONG written = 0;
    ASSERT_EQ(stream->Write(bytes.data(), ULONG(bytes.size()), &written), S_OK);
    EXPECT_EQ(written, bytes.size());
    stream->Release();
}

// A summary-information property set holding only its code page.
std::string MinimalPropertySet()
{
    const BYTE bytes[] = {
        0xFE, 0xFF, 0x00, 0x00, 0x05, 0x01, 0x02, 0x00, // byte order, version, system
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // class id
        0x01, 0x00, 0x00, 0x00,                         // one section
        0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9,
        0x30, 0x00, 0x00, 0x00, // section offset
        0x18, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, // section size, one property
        0x01, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, // PID_CODEPAGE at 16
        0x02, 0x00, 0x00, 0x00, 0xE4, 0x04, 0x00, 0x00, // VT_I2 1252
    };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string ListingOfFile(const std::string& hostPath, WithClassIds ids, HRESULT* result = nullptr)
{
    IStorage* root = nullptr;
    HRESULT hr = StgOpenStorage(WinPath(hostPath).c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &root);
    if (result)
        *result = hr;
    if (FAILED(hr))
        return {};
    std::string listing = Listing(root, ids);
    root->Release();
    return listing;
}

std::vector<std::string> TestdataFiles()
{
    std::vector<std::string> files;
    std::string folder = std::string(THREADWICK_TESTDATA_DIR) + "/cfb";
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.')
                files.push_back(folder + "/" + entry->d_name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

class CompoundFiles : public files_test::FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        platform::InitFileSystem();
        m_dir = testing_support::MakeTempDir("cfb");
    }
    std::string m_dir;
};

TEST_F(CompoundFiles, WrittenFileReadsAlikeInOlefileAndGsf)
{
    const std::string path = m_dir + "/design.shr";
    IStorage* root = nullptr;
    ASSERT_EQ(StgCreateDocfile(WinPath(path).c_str(), 0x11021, 0, &root), S_OK);
    ASSERT_EQ(WriteClassStg(root, kDesignClass), S_OK);
    WriteStream(root, u"Empty", "");
    WriteStream(root, u"Below cutoff", Pattern(4095, 1));
    WriteStream(root, u"At cutoff", Pattern(4096, 2));
    WriteStream(root, u"Above cutoff", Pattern(4097, 3));
    WriteStream(root, u"Contents", Pattern(100000, 4));
    WriteStream(root, u"\x05SummaryInformation", MinimalPropertySet());
    IStorage* embedding = nullptr;
    ASSERT_EQ(root->CreateStorage(u"Embedding 1", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &embedding), S_OK);
    ASSERT_EQ(embedding->SetClass(kEmbeddingClass), S_OK);
    WriteStream(embedding, u"\x01Ole", Pattern(20, 5));
    IStorage* empty = nullptr;
    ASSERT_EQ(embedding->CreateStorage(u"XSTOR1", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &empty), S_OK);
    empty->Release();
    embedding->Release();
    ASSERT_EQ(root->Commit(STGC_DEFAULT), S_OK);
    root->Release();

    const std::string ours = ListingOfFile(path, WithClassIds::Yes);
    EXPECT_NE(ours.find("At cutoff\tS\t4096\t"), std::string::npos) << ours;
    EXPECT_NE(ours.find(platform::GuidToString(kDesignClass)), std::string::npos) << ours;

    std::string theirs;
    if (!IndependentListing(Reader::Olefile, "'" + path + "'", theirs))
        GTEST_SKIP() << "python3-olefile is not installed";
    EXPECT_EQ(ours, theirs);
    if (!IndependentListing(Reader::Gsf, "'" + path + "'", theirs))
        GTEST_SKIP() << "gsf (libgsf-bin) is not installed";
    // gsf lists a storage without elements as an empty stream.
    std::string expected = ListingOfFile(path, WithClassIds::No);
    const std::string emptyStorage = "Embedding 1/XSTOR1\tD\t0\t-\t-";
    expected.replace(expected.find(emptyStorage), emptyStorage.size(), "Embedding 1/XSTOR1\tS\t0\t-\t" + Fnv("", 0));
    EXPECT_EQ(expected, theirs);
}

TEST_F(CompoundFiles, FilesOfOtherProgramsReadAsOlefileReadsThem)
{
    const auto files = TestdataFiles();
    if (files.empty())
        GTEST_SKIP() << "no test data in " << THREADWICK_TESTDATA_DIR;
    std::string ours;
    std::string paths;
    for (const std::string& file : files) {
        const std::u16string win = WinPath(file);
        const std::string head = testing_support::ReadFileBytes(file).substr(0, 8);
        if (head != "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") {
            EXPECT_EQ(StgIsStorageFile(win.c_str()), S_FALSE) << file;
            IStorage* root = nullptr;
            EXPECT_EQ(StgOpenStorage(win.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &root),
                STG_E_FILEALREADYEXISTS) << file;
            continue;
        }
        EXPECT_EQ(StgIsStorageFile(win.c_str()), S_OK) << file;
        HRESULT hr = S_OK;
        const std::string listing = ListingOfFile(file, WithClassIds::Yes, &hr);
        ASSERT_EQ(hr, S_OK) << file;
        CLSID fromHeader;
        ASSERT_EQ(GetClassFile(win.c_str(), &fromHeader), S_OK) << file;
        EXPECT_EQ(listing.substr(0, listing.find('\n')), "\tR\t0\t" + platform::GuidToString(fromHeader) + "\t-") << file;
        ours += "#FILE " + file + "\n" + listing;
        paths += " '" + file + "'";
    }
    EXPECT_GT(std::count(ours.begin(), ours.end(), '#'), 20);

    std::string theirs;
    if (!IndependentListing(Reader::Olefile, paths, theirs))
        GTEST_SKIP() << "python3-olefile is not installed";
    // Compared file by file, so that a difference names its file.
    auto split = [](const std::string& text) {
        std::vector<std::string> parts;
        for (size_t at = 0; (at = text.find("#FILE ", at)) != std::string::npos;) {
            size_t next = text.find("#FILE ", at + 1);
            parts.push_back(text.substr(at, next == std::string::npos ? std::string::npos : next - at));
            at = next == std::string::npos ? text.size() : next;
        }
        return parts;
    };
    EXPECT_EQ(split(ours), split(theirs));
}

// Opening must give an error or a tree that can be walked to the end.
HRESULT OpenAndWalk(const std::string& bytes)
{
    IStorage* root = nullptr;
    HRESULT hr = platform::OpenStorageFromBytes(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), &root);
    if (SUCCEEDED(hr)) {
        Listing(root, WithClassIds::Yes);
        root->Release();
    }
    return hr;
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

TEST_F(CompoundFiles, DamagedFilesGiveErrorsNotCrashes)
{
    const std::string good = testing_support::ReadFileBytes(std::string(THREADWICK_TESTDATA_DIR) + "/cfb/src-ruby-ole__oleWithDirs.ole");
    if (good.empty())
        GTEST_SKIP() << "no test data";
    ASSERT_EQ(OpenAndWalk(good), S_OK);

    EXPECT_EQ(OpenAndWalk(""), STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(OpenAndWalk("plain text, not a compound file"), STG_E_FILEALREADYEXISTS);
    for (size_t length : { size_t(8), size_t(100), size_t(511), size_t(512), size_t(1024), good.size() - 512 })
        EXPECT_TRUE(FAILED(OpenAndWalk(good.substr(0, length)))) << "cut to " << length;

    const uint32_t firstDirectory = Le32(good, 0x30);
    const uint32_t firstFat = Le32(good, 0x4C);
    const size_t fatAt = (size_t(firstFat) + 1) * 512;
    const size_t directoryAt = (size_t(firstDirectory) + 1) * 512;

    std::string cyclic = good;
    Put32(cyclic, fatAt + 4 * firstDirectory, firstDirectory);
    EXPECT_TRUE(FAILED(OpenAndWalk(cyclic))) << "directory chain pointing at itself";

    std::string outOfRange = good;
    Put32(outOfRange, 0x30, 0x00FFFFF0);
    EXPECT_TRUE(FAILED(OpenAndWalk(outOfRange))) << "directory past the end";

    std::string hugeFat = good;
    Put32(hugeFat, 0x2C, 0xFFFFFFF0);
    EXPECT_TRUE(FAILED(OpenAndWalk(hugeFat))) << "FAT sector count";

    std::string badShift = good;
    badShift[0x1E] = 30;
    EXPECT_EQ(OpenAndWalk(badShift), STG_E_INVALIDHEADER);

    // The root entry has no siblings; garbage in its sibling fields is ignored
    // as other readers ignore it (the tree is the same, and nothing leaks).
    IStorage* clean = nullptr;
    ASSERT_EQ(platform::OpenStorageFromBytes(reinterpret_cast<const BYTE*>(good.data()), good.size(), &clean), S_OK);
    const std::string cleanListing = Listing(clean, WithClassIds::Yes);
    clean->Release();
    std::string rootSiblings = good;
    Put32(rootSiblings, directoryAt + 0x44, 1);
    Put32(rootSiblings, directoryAt + 0x48, 2);
    IStorage* odd = nullptr;
    ASSERT_EQ(platform::OpenStorageFromBytes(reinterpret_cast<const BYTE*>(rootSiblings.data()), rootSiblings.size(), &odd), S_OK);
    EXPECT_EQ(Listing(odd, WithClassIds::Yes), cleanListing);
    odd->Release();

    // Every stream entry in turn claims a size no file of this length holds.
    for (size_t entry = 1; entry < 16; ++entry) {
        std::string huge = good;
        const size_t at = directoryAt + entry * 128;
        if (at + 128 > huge.size() || huge[at + 0x42] != 2)
            continue;
        Put32(huge, at + 0x78, 0x7FFFFFF0);
        EXPECT_TRUE(FAILED(OpenAndWalk(huge))) << "entry " << entry;
    }

    // Random damage anywhere: whatever opens must walk.
    std::mt19937 random(7);
    for (int round = 0; round < 1000; ++round) {
        std::string damaged = good;
        for (int flips = 1 + int(random() % 8); flips > 0; --flips)
            damaged[random() % damaged.size()] = char(random());
        OpenAndWalk(damaged);
    }
}

} // namespace
