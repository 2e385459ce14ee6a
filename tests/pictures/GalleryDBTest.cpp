// The gallery database: exact record bytes, room reuse, removal, renaming,
// the category list, damaged indexes, and our file read by independent
// readers (olefile, ImageMagick).

#include "pictures/GalleryDB.h"
#include "pictures/ImgeDB.h"

#include "app/Paths.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "tests/app/StorageTestSupport.h"
#include "tests/pictures/ImageTestSupport.h"
#include "tests/pictures/PictureFiles.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using storage_test::ReadStreamBytes;
using text_store::U32;
using text_store::U8;
using text_store::U16;

class GalleryDBTest : public image_test::ImageTest {
protected:
    void SetUp() override
    {
        image_test::ImageTest::SetUp();
        m_db = Win("imagedb.olv");
    }

    // A BMP of w x h in one colour; its Windows-form path.
    std::string Picture(const std::string& name, int w, int h, COLORREF colour = RGB(200, 40, 40)) const
    {
        return picture_files::WriteBmp(picture_files::Raster(w, h, colour), Host(name));
    }
    std::string Stream(const std::string& name) const { return ReadStreamBytes(Host("imagedb.olv"), name); }
    static DWORD At(const std::string& bytes, size_t offset)
    {
        DWORD v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(bytes.at(offset + size_t(i)));
        return v;
    }
    // Makes the file hold the names and the streams, byte for byte.
    void WriteDatabase(const std::vector<std::string>& names,
        const std::vector<std::pair<std::string, std::string>>& streams) const
    {
        std::string contents = U16(int(names.size()));
        for (const std::string& name : names)
            contents += U8(int(name.size())) + name;
        auto all = streams;
        all.insert(all.begin(), {"Contents", contents});
        storage_test::WriteCompoundFile(Host("imagedb.olv"), CLSID_NULL, all);
    }
    std::vector<std::string> Names(const CGalleryDB& db) const
    {
        std::vector<std::string> out;
        for (int i = 0; i < db.GetCategoryCount(); ++i)
            out.emplace_back(static_cast<LPCTSTR>(db.GetCategoryName(i)));
        return out;
    }
    std::vector<std::string> Paths(CGalleryDB& db, const char* category) const
    {
        int n = 0;
        EXPECT_TRUE(db.OpenCategory(category, FALSE, &n));
        std::vector<std::string> out;
        for (int i = 0; i < n; ++i)
            out.emplace_back(static_cast<LPCTSTR>(db.GetPictureFile(i)));
        db.Close();
        return out;
    }

    std::string m_db;
};

TEST_F(GalleryDBTest, AFreshRecordHasItsExactBytes)
{
    const std::string path = Picture("red.bmp", 8, 4);
    CGalleryDB db(m_db.c_str());
    ASSERT_TRUE(db.AddPicture("Animals", path.c_str(), "PHOTOS"));

    const std::string bytes = Stream("Animals");
    ASSERT_GT(bytes.size(), 4u + 20u);
    const DWORD nData = At(bytes, 4 + 20 + path.size() + 1 + 7 - 4);
    const std::string data = bytes.substr(bytes.size() - nData);
    // N, then size (L1 + L2 + D + 18), flag, L1, path, L2, label, D, data.
    const std::string expected = U32(1) + U32(static_cast<long long>(path.size() + 1 + 7 + nData + 18)) + U32(0)
        + U32(static_cast<long long>(path.size() + 1)) + path + std::string(1, '\0') + U32(7)
        + std::string("PHOTOS\0", 7) + U32(nData) + data;
    EXPECT_EQ(bytes, expected);

    // The thumbnail data is a picture file image the engine reads back at
    // the picture's own size (smaller than the preview size).
    const int nHandle = LoadPicFromMemory(data.data(), static_cast<DWORD>(data.size()), 4);
    ASSERT_GT(nHandle, 0);
    int cx = 0, cy = 0, bits = 0;
    GetPicSize(nHandle, &cx, &cy, &bits);
    EXPECT_EQ(cx, 8);
    EXPECT_EQ(cy, 4);
    ReleasePicHandle(nHandle);
    int n = 0;
    ASSERT_TRUE(db.OpenCategory("Animals", FALSE, &n));
    EXPECT_EQ(db.GetPicture(1), nullptr) << "there is no live picture 1";
    EXPECT_EQ(db.GetPictureFile(-1), "");

    // The database names the category itself only once "Contents" is written.
    EXPECT_EQ(Stream("Contents"), "<no stream>");
}

TEST_F(GalleryDBTest, APictureThatDoesNotLoadWritesNoRecord)
{
    const std::string bad = WriteBytes("bad.bmp", "not a picture");
    CGalleryDB db(m_db.c_str());
    EXPECT_FALSE(db.AddPicture("Animals", bad.c_str(), ""));
    EXPECT_FALSE(db.AddPicture("Animals", Win("missing.bmp").c_str(), ""));
    EXPECT_EQ(Stream("Animals"), U32(0)) << "the stream opened for writing holds only its count";
}

TEST_F(GalleryDBTest, ASmallerPictureTakesTheRoomOfADeletedOne)
{
    const std::string big = Picture("big.bmp", 90, 90, RGB(10, 200, 10));
    const std::string second = Picture("second.bmp", 10, 10);
    const std::string small = Picture("s.bmp", 2, 2);
    CGalleryDB db(m_db.c_str());
    ASSERT_TRUE(db.AddPicture("Cat", big.c_str(), "LONGLABEL"));
    ASSERT_TRUE(db.AddPicture("Cat", second.c_str(), ""));
    const std::string before = Stream("Cat");
    const DWORD roomSize = At(before, 4);

    ASSERT_TRUE(db.RemovePicture("Cat", 0));
    EXPECT_EQ(Paths(db, "Cat"), std::vector<std::string>({second}));
    ASSERT_TRUE(db.AddPicture("Cat", small.c_str(), ""));

    const std::string after = Stream("Cat");
    EXPECT_EQ(after.size(), before.size()) << "nothing was appended";
    EXPECT_EQ(At(after, 0), 2u) << "N is unchanged";
    EXPECT_EQ(At(after, 4), roomSize) << "the record keeps the room's size";
    EXPECT_EQ(At(after, 8), 0u);
    EXPECT_EQ(Paths(db, "Cat"), std::vector<std::string>({small, second}));
    // The room's unused tail keeps its old bytes, and the next record is
    // untouched.
    const size_t next = 4 + roomSize + 2;
    EXPECT_EQ(after.substr(next), before.substr(next));
    const size_t written = 4 + 20 + small.size() + 1 + 1 + At(after, 4 + 20 + small.size() + 1 + 1 - 4);
    EXPECT_EQ(after.substr(written, next - written), before.substr(written, next - written));
}

TEST_F(GalleryDBTest, ADeletedLastRecordIsNeverReused)
{
    const std::string a = Picture("a.bmp", 40, 40);
    const std::string b = Picture("b.bmp", 40, 40);
    const std::string c = Picture("c.bmp", 2, 2);
    CGalleryDB db(m_db.c_str());
    ASSERT_TRUE(db.AddPicture("Cat", a.c_str(), ""));
    ASSERT_TRUE(db.AddPicture("Cat", b.c_str(), ""));
    ASSERT_TRUE(db.RemovePicture("Cat", 1));
    const size_t before = Stream("Cat").size();
    ASSERT_TRUE(db.AddPicture("Cat", c.c_str(), ""));
    const std::string after = Stream("Cat");
    EXPECT_EQ(At(after, 0), 3u);
    EXPECT_EQ(At(after, before), 20 + c.size() + 1 + 1 + At(after, before + 20 + c.size() + 1 + 1 - 4) - 2);
    EXPECT_EQ(Paths(db, "Cat"), std::vector<std::string>({a, c}));
}

TEST_F(GalleryDBTest, RemovingEveryPictureKeepsNAndShowsNone)
{
    const std::string a = Picture("a.bmp", 5, 5);
    CGalleryDB db(m_db.c_str());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(db.AddPicture("Cat", a.c_str(), ""));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(db.RemovePicture("Cat", 0));
    EXPECT_FALSE(db.RemovePicture("Cat", 0)) << "no live picture is left";

    const std::string bytes = Stream("Cat");
    EXPECT_EQ(At(bytes, 0), 3u);
    size_t pos = 4;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(At(bytes, pos + 4), 1u) << "record " << i;
        pos += At(bytes, pos) + 2;
    }
    EXPECT_EQ(pos, bytes.size());
    int n = -1;
    EXPECT_TRUE(db.OpenCategory("Cat", FALSE, &n));
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(FileExists(a.c_str())) << "the picture file itself is never touched";
}

class FailingCopyDB : public CGalleryDB {
public:
    using CGalleryDB::CGalleryDB;

protected:
    void CopyCategoryStream(LPCTSTR, LPCTSTR) override { AfxThrowFileException(CFileException::diskFull); }
};

TEST_F(GalleryDBTest, RenamingKeepsThePicturesAndMovesTheCategoryToTheEnd)
{
    const std::string a = Picture("a.bmp", 5, 5);
    {
        CGalleryDB db(m_db.c_str());
        for (const char* name : {"Birds", "Cats", "Dogs"})
            db.AddCategoryName(name);
        ASSERT_TRUE(db.WriteCategoryNames());
        ASSERT_TRUE(db.AddPicture("Birds", a.c_str(), "CD1"));
        ASSERT_TRUE(db.AddPicture("Birds", a.c_str(), "CD2"));
        ASSERT_TRUE(db.RemovePicture("Birds", 0));
    }
    const std::string birds = Stream("Birds");

    {
        // A failed copy keeps the old category, its stream and the list.
        FailingCopyDB failing(m_db.c_str());
        EXPECT_FALSE(failing.RenameCategory("birds", "Parrots"));
        EXPECT_EQ(Names(failing), std::vector<std::string>({"Birds", "Cats", "Dogs"}));
    }
    EXPECT_EQ(Stream("Birds"), birds);
    EXPECT_EQ(Stream("Parrots"), "<no stream>");

    CGalleryDB db(m_db.c_str());
    EXPECT_EQ(db.GetPictureCount(0), 1);
    ASSERT_TRUE(db.RenameCategory("BIRDS", "Parrots"));
    EXPECT_EQ(Names(db), std::vector<std::string>({"Cats", "Dogs", "Parrots"}));
    EXPECT_EQ(Stream("Parrots"), birds) << "deleted records are copied too";
    EXPECT_EQ(Stream("Birds"), "<no stream>");

    // A category that never received a picture renames by its name alone.
    ASSERT_TRUE(db.RenameCategory("Cats", "Lions"));
    EXPECT_EQ(Stream("Lions"), "<no stream>");

    CGalleryDB reread(m_db.c_str());
    EXPECT_EQ(Names(reread), std::vector<std::string>({"Dogs", "Parrots", "Lions"}));
    EXPECT_EQ(reread.GetPictureCount(1), 1);
    EXPECT_EQ(reread.GetTotalPictureCount(), 1);
    int n = 0;
    ASSERT_TRUE(reread.OpenCategory("Parrots", FALSE, &n));
    EXPECT_EQ(reread.GetPictureLabel(0), "CD2");

    EXPECT_FALSE(reread.RenameCategory("Nowhere", "X"));
    EXPECT_FALSE(reread.RenameCategory("Dogs", "contents"));
    EXPECT_EQ(Names(reread), std::vector<std::string>({"Dogs", "Parrots", "Lions"}));
}

TEST_F(GalleryDBTest, CategoryListFindsNamesIgnoringCaseAndReadsAShorterRewrite)
{
    const std::string a = Picture("a.bmp", 5, 5);
    CGalleryDB db(m_db.c_str());
    db.AddCategoryName("A rather long category");
    db.AddCategoryName("Flowers");
    ASSERT_TRUE(db.WriteCategoryNames());
    ASSERT_TRUE(db.AddPicture("A rather long category", a.c_str(), ""));
    EXPECT_EQ(db.FindCategory("FLOWERS"), 1);
    EXPECT_EQ(db.FindCategory("a RATHER long CATEGORY"), 0);
    EXPECT_EQ(db.FindCategory("Flower"), -1);

    ASSERT_TRUE(db.RemoveCategory("a rather long category"));
    EXPECT_EQ(Stream("A rather long category"), "<no stream>");
    // The stream keeps its old length; only its start was rewritten.
    const std::string contents = Stream("Contents");
    EXPECT_EQ(contents.substr(0, 10), U16(1) + U8(7) + "Flowers");
    EXPECT_GT(contents.size(), 10u);

    CGalleryDB reread(m_db.c_str());
    EXPECT_EQ(Names(reread), std::vector<std::string>({"Flowers"}));
    EXPECT_FALSE(reread.RemoveCategory("Nowhere"));
}

TEST_F(GalleryDBTest, NamesThatCannotNameTheirOwnStreamAreRefused)
{
    EXPECT_EQ(CheckCategoryName("Animals"), CategoryNameFault::None);
    EXPECT_EQ(CheckCategoryName(""), CategoryNameFault::Empty);
    EXPECT_EQ(CheckCategoryName("Contents"), CategoryNameFault::Reserved);
    EXPECT_EQ(CheckCategoryName("cONTENTs"), CategoryNameFault::Reserved);
    EXPECT_EQ(CheckCategoryName("Contents 2"), CategoryNameFault::None);
    EXPECT_EQ(CheckCategoryName(std::string(25, 'x').c_str()), CategoryNameFault::None);
    EXPECT_EQ(CheckCategoryName(std::string(26, 'x').c_str()), CategoryNameFault::TooLong);
    for (const char* bad : {"a/b", "a\\b", "a:b", "wow!", "tab\there"})
        EXPECT_EQ(CheckCategoryName(bad), CategoryNameFault::BadCharacter) << bad;
    EXPECT_FALSE(GetCategoryNameFaultText(CategoryNameFault::Reserved).IsEmpty());

    // Even when asked, a picture never goes into the name list's stream.
    const std::string a = Picture("a.bmp", 5, 5);
    CGalleryDB db(m_db.c_str());
    db.AddCategoryName("Flowers");
    ASSERT_TRUE(db.WriteCategoryNames());
    const std::string contents = Stream("Contents");
    EXPECT_FALSE(db.AddPicture("CONTENTS", a.c_str(), ""));
    EXPECT_EQ(Stream("Contents"), contents);
}

TEST_F(GalleryDBTest, AMissingFileHasNoCategoriesAndIsNotCreatedByReading)
{
    CGalleryDB db(m_db.c_str());
    EXPECT_EQ(db.GetCategoryCount(), 0);
    EXPECT_FALSE(db.ReadCategoryNames());
    int n = -1;
    EXPECT_TRUE(db.OpenCategory("Animals", FALSE, &n));
    EXPECT_EQ(n, 0);
    EXPECT_FALSE(FileExists(m_db.c_str()));

    // A category without a stream in an existing file has no pictures.
    WriteDatabase({"Animals"}, {});
    CGalleryDB other(m_db.c_str());
    EXPECT_EQ(Names(other), std::vector<std::string>({"Animals"}));
    n = -1;
    EXPECT_TRUE(other.OpenCategory("Animals", FALSE, &n));
    EXPECT_EQ(n, 0);
}

// A record of the given size field with its flag; the rest zero-filled.
std::string RawRecord(DWORD size, DWORD flag, const std::string& path = "C:\\p.bmp")
{
    std::string body = U32(static_cast<long long>(path.size() + 1)) + path + std::string(1, '\0') + U32(1)
        + std::string(1, '\0') + U32(0);
    std::string rec = U32(size) + U32(flag) + body;
    if (rec.size() < size + 2)
        rec.resize(size + 2, '\0');
    return rec;
}

TEST_F(GalleryDBTest, DamagedIndexesStopAtTheFirstBadRecord)
{
    const std::string good = RawRecord(40, 0);
    struct Case {
        const char* name;
        std::string stream;
        int nLive;
    };
    const std::vector<Case> cases = {
        {"size 0", U32(3) + good + RawRecord(0, 0) + good, 1},
        {"size 5", U32(3) + good + good + RawRecord(5, 0) + good, 2},
        {"record past the end", U32(2) + good + RawRecord(400, 0).substr(0, 50), 1},
        {"N huge", U32(0xFFFFFFFF) + good + good, 2},
        {"N huge, nothing", U32(0x7FFFFFFF), 0},
        {"truncated count", std::string("\x01\x00", 2), 0},
        {"trailing half record", U32(2) + good + std::string(5, '\x01'), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteDatabase({"Cat"}, {{"Cat", c.stream}});
        CGalleryDB db(m_db.c_str());
        EXPECT_EQ(db.GetPictureCount(0), c.nLive);
        int n = -1;
        EXPECT_TRUE(db.OpenCategory("Cat", FALSE, &n));
        ASSERT_EQ(n, c.nLive);
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(db.GetPictureFile(i), "C:\\p.bmp");
            EXPECT_EQ(db.GetPicture(i), nullptr) << "a record without data has no thumbnail";
        }
    }
}

TEST_F(GalleryDBTest, ADamagedCategoryListKeepsTheNamesReadBeforeTheDamage)
{
    const std::string contents = U16(3) + U8(5) + "Birds" + U8(4) + "Cats" + U8(200) + "Do";
    storage_test::WriteCompoundFile(Host("imagedb.olv"), CLSID_NULL, {{"Contents", contents}});
    CGalleryDB db(m_db.c_str());
    EXPECT_EQ(Names(db), std::vector<std::string>({"Birds", "Cats"}));
    EXPECT_EQ(db.GetTotalPictureCount(), 0);

    storage_test::WriteCompoundFile(Host("imagedb.olv"), CLSID_NULL, {{"Contents", U16(0xFFFF) + U32(0x7FFFFFFF)}});
    CGalleryDB huge(m_db.c_str());
    EXPECT_EQ(huge.GetCategoryCount(), 0);
}

TEST_F(GalleryDBTest, RecordFieldsAreBoundedByTheRecord)
{
    // Lengths that reach outside their record, and strings without their
    // zero, read as unreadable records, never past the record.
    const std::string path = "C:\\p.bmp";
    const std::string head = U32(38) + U32(0);
    const std::string pathField = U32(9) + path + std::string(1, '\0');
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"L1 past the record", head + U32(0x10000)},
        {"L1 zero", head + U32(0)},
        {"no zero", head + U32(9) + "C:\\p.bmpX" + U32(1) + std::string(1, '\0') + U32(0)},
        {"L2 past", head + pathField + U32(900)},
        {"D past", head + pathField + U32(1) + std::string(1, '\0') + U32(500)},
    };
    for (const auto& [name, fields] : cases) {
        SCOPED_TRACE(name);
        std::string record = fields;
        record.resize(40, '\0');
        // A good record after the bad one shows the walk goes on by size.
        WriteDatabase({"Cat"}, {{"Cat", U32(2) + record + RawRecord(40, 0)}});
        CGalleryDB db(m_db.c_str());
        int n = 0;
        ASSERT_TRUE(db.OpenCategory("Cat", FALSE, &n));
        ASSERT_EQ(n, 2);
        EXPECT_EQ(db.GetPictureFile(0), "");
        EXPECT_EQ(db.GetPictureLabel(0), "");
        EXPECT_EQ(db.GetPicture(0), nullptr);
        EXPECT_EQ(db.GetPictureFile(1), path.c_str());
    }
}

TEST_F(GalleryDBTest, ADamagedTailIsOverwrittenSoTheChainStaysReadable)
{
    const std::string a = Picture("a.bmp", 3, 3);
    WriteDatabase({"Cat"}, {{"Cat", U32(5) + RawRecord(40, 0) + RawRecord(3, 0) + std::string(30, '\x7F')}});
    CGalleryDB db(m_db.c_str());
    ASSERT_TRUE(db.AddPicture("Cat", a.c_str(), ""));
    EXPECT_EQ(Paths(db, "Cat"), std::vector<std::string>({"C:\\p.bmp", a}));
    EXPECT_EQ(At(Stream("Cat"), 0), 2u);
}

TEST_F(GalleryDBTest, ImageRecordRoundTripsItsStringsAndBitmap)
{
    const std::string path = Picture("pic.bmp", 6, 3, RGB(0, 0, 255));
    CMemFile file;
    {
        CImgeDB record;
        EXPECT_EQ(record.GetWidth(), 100);
        EXPECT_EQ(record.GetHeight(), 50);
        record.m_strings1.Add("one");
        record.m_strings2.Add("two");
        record.m_strings2.Add("three");
        ASSERT_TRUE(record.LoadBitmap(path.c_str()));
        CArchive ar(&file, CArchive::store);
        record.Serialize(ar);
        ar.Close();
    }
    file.SeekToBegin();
    {
        CImgeDB record;
        record.m_strings1.Add("stale");
        CArchive ar(&file, CArchive::load);
        record.Serialize(ar);
        ASSERT_EQ(record.m_strings1.GetSize(), 1);
        EXPECT_EQ(record.m_strings1[0], "one");
        ASSERT_EQ(record.m_strings2.GetSize(), 2);
        EXPECT_EQ(record.m_strings2[1], "three");
        ASSERT_GT(record.GetHandle(), 0);
        EXPECT_EQ(record.GetWidth(), 6);
        EXPECT_EQ(record.GetHeight(), 3);
    }

    // An empty record stores a zero length; a length beyond the bytes left
    // is an archive error, not a read past the end.
    CMemFile empty;
    {
        CImgeDB record;
        CArchive ar(&empty, CArchive::store);
        record.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(empty.GetLength(), 2u + 2u + 4u);
    CMemFile damaged;
    const std::string bytes = U16(0) + U16(0) + U32(1000) + "abc";
    damaged.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    damaged.SeekToBegin();
    CImgeDB record;
    CArchive ar(&damaged, CArchive::load);
    bool bThrew = false;
    try {
        record.Serialize(ar);
    } catch (CArchiveException* e) {
        e->Delete();
        bThrew = true;
    }
    EXPECT_TRUE(bThrew);
    EXPECT_EQ(record.GetHandle(), 0);
}

// Our file read by olefile and a reader of its own; thumbnails decoded by
// ImageMagick.
TEST_F(GalleryDBTest, IndependentReadersSeeTheSameNamesPathsLabelsAndThumbnails)
{
    const std::string a = Picture("a.bmp", 30, 20, RGB(1, 2, 3));
    const std::string b = picture_files::WritePng(picture_files::Raster(120, 60, RGB(9, 99, 199)), Host("b.png"));
    ASSERT_FALSE(b.empty());
    {
        CGalleryDB db(m_db.c_str());
        db.AddCategoryName("Animals");
        db.AddCategoryName("Empty one");
        db.AddCategoryName("Plants");
        ASSERT_TRUE(db.WriteCategoryNames());
        ASSERT_TRUE(db.AddPicture("Animals", a.c_str(), "ZOO"));
        ASSERT_TRUE(db.AddPicture("Animals", b.c_str(), ""));
        ASSERT_TRUE(db.AddPicture("Plants", b.c_str(), "GREEN"));
        ASSERT_TRUE(db.RemovePicture("Animals", 0));
    }
    const std::string outDir = testing_support::MakeTempDir("thumbs");
    const std::string command = "/usr/bin/python3 " THREADWICK_SOURCE_DIR "/tests/pictures/read_gallery.py "
        + Host("imagedb.olv") + " " + outDir;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string listing;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        listing += buffer;
    const int status = pclose(pipe);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "python3-olefile is not installed";
    ASSERT_EQ(status, 0) << listing;

    // The same names, paths and labels through our own reader.
    std::ostringstream ours;
    CGalleryDB db(m_db.c_str());
    int nThumb = 0;
    for (int i = 0; i < db.GetCategoryCount(); ++i) {
        ours << "category " << static_cast<LPCTSTR>(db.GetCategoryName(i)) << "\n";
        int n = 0;
        db.OpenCategory(db.GetCategoryName(i), FALSE, &n);
        for (int k = 0; k < n; ++k) {
            ours << "picture " << static_cast<LPCTSTR>(db.GetPictureFile(k)) << "|" << static_cast<LPCTSTR>(db.GetPictureLabel(k))
                 << "|" << outDir << "/thumb" << nThumb++ << "\n";
        }
    }
    EXPECT_EQ(listing, ours.str());

    // ImageMagick decodes each thumbnail at its fitted size.
    if (std::system("command -v identify >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    const std::vector<std::string> sizes = {"100x50", "100x50"};
    for (int i = 0; i < nThumb; ++i) {
        const std::string identify = "identify -format %wx%h " + outDir + "/thumb" + std::to_string(i) + " 2>&1";
        FILE* p = popen(identify.c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::string got;
        while (fgets(buffer, sizeof buffer, p))
            got += buffer;
        EXPECT_EQ(pclose(p), 0) << got;
        EXPECT_EQ(got, sizes[size_t(i)]);
    }
}

} // namespace
