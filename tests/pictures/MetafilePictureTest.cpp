// METAFILE resources: unpacking with every size checked, names from the
// resource string, and the picture drawn straight or through its cache.

#include "pictures/MetafilePicture.h"
#include "pictures/ResourceBlob.h"

#include "platform/base/ResourceTables.h"
#include "platform/gdi/Dc.h"
#include "tools/artgen/Art.h"
#include "tools/artgen/Implode.h"
#include "tools/artgen/MetafileBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A red disc on a 100 x 100 picture: its corners are left unpainted.
std::vector<uint8_t> DiscPicture()
{
    artgen::MetafileBuilder mf(0, 0, 100, 100, 100);
    mf.SetWindowOrg(0, 0);
    mf.SetWindowExt(100, 100);
    int pen = mf.CreatePenIndirect(5 /* PS_NULL */, 0, 0);
    int brush = mf.CreateBrushIndirect(0 /* BS_SOLID */, 0x000000FF, 0);
    mf.SelectObject(pen);
    mf.SelectObject(brush);
    mf.Ellipse(0, 0, 101, 101);
    return mf.Finish();
}

std::vector<uint8_t> Pack(const std::vector<uint8_t>& picture)
{
    return artgen::PackMetafileResource(picture);
}

// Resources of our own, registered once with the program's module: the
// generated art, a disc, and damaged variants of it.
struct TestResources {
    enum : WORD {
        kDisc = 9701,         // "size,Disc,Red disc"
        kNoString = 9702,     // packed, no string: the resource size is too small
        kLongStream = 9703,   // stream length past the resource's end
        kHugeSize = 9704,     // string claims more than any picture may be
        kPlain = 9705,        // not packed
        kNotAStream = 9706,   // bytes that do not unpack
        kTiny = 9707,         // shorter than the stream length field
    };

    std::deque<std::vector<uint8_t>> data;
    std::deque<std::string> texts;
    std::vector<platform::ResourceEntry> entries;
    std::vector<platform::StringEntry> strings;
    std::vector<artgen::MetafileArt> art = artgen::MakeMetafiles();
    platform::ResourceTable table{};

    void Add(WORD id, std::vector<uint8_t> bytes)
    {
        data.push_back(std::move(bytes));
        entries.push_back(platform::ResourceEntry{"METAFILE", 0, nullptr, id, data.back().data(), DWORD(data.back().size())});
    }
    void AddString(WORD id, std::string text)
    {
        texts.push_back(std::move(text));
        strings.push_back(platform::StringEntry{id, WORD(texts.back().size()), texts.back().c_str()});
    }

    TestResources()
    {
        std::vector<uint8_t> disc = DiscPicture();
        Add(kDisc, Pack(disc));
        AddString(kDisc, std::to_string(disc.size()) + ",Disc,Red disc");
        Add(kNoString, Pack(disc));
        std::vector<uint8_t> longStream = Pack(disc);
        longStream[0] = 0xFF;
        longStream[1] = 0xFF;
        Add(kLongStream, longStream);
        AddString(kLongStream, std::to_string(disc.size()));
        Add(kHugeSize, Pack(disc));
        AddString(kHugeSize, "999999999,Huge");
        Add(kPlain, disc);
        AddString(kPlain, "5000000,Plain");
        std::vector<uint8_t> junk(64, 0x77);
        junk[0] = 60;
        junk[1] = junk[2] = junk[3] = 0;
        Add(kNotAStream, junk);
        AddString(kNotAStream, "300");
        Add(kTiny, {1, 0});
        AddString(kTiny, "10");
        for (const artgen::MetafileArt& a : art) {
            Add(WORD(a.id), Pack(a.picture));
            AddString(WORD(a.id), artgen::MetafileString(a));
        }
        std::sort(strings.begin(), strings.end(), [](auto& a, auto& b) { return a.id < b.id; });
        table = platform::ResourceTable{entries.data(), entries.size(), strings.data(), strings.size()};
        platform::RegisterResourceModule(platform::ResourceModule::Program, table);
    }
};

TestResources& Resources()
{
    static TestResources resources;
    return resources;
}

TEST(ResourceBlob, UnpacksAndReadsTheNamesAndPictureSize)
{
    Resources();
    CResourceBlob blob(TestResources::kDisc, TRUE);
    ASSERT_TRUE(blob.Load(MAKEINTRESOURCE(TestResources::kDisc), "metafile"));
    EXPECT_EQ(blob.GetName(0), "Disc");
    EXPECT_EQ(blob.GetName(1), "Red disc");
    EXPECT_EQ(blob.GetName(2), "");
    EXPECT_EQ(blob.GetName(-1), "");
    std::vector<uint8_t> disc = DiscPicture();
    ASSERT_EQ(blob.GetSize(), disc.size());
    const BYTE* data = blob.GetData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(std::equal(disc.begin(), disc.end(), data));
    EXPECT_EQ(blob.GetData(), data); // unpacked once

    UINT size = 0;
    const BYTE* bits = nullptr;
    ASSERT_TRUE(blob.GetMetafileBits(&size, &bits));
    EXPECT_EQ(size, disc.size() - 22);
    EXPECT_EQ(bits, data + 22);
    EXPECT_EQ(blob.GetPictureWidth(), 100);
    EXPECT_EQ(blob.GetPictureHeight(), 100);

    HMETAFILE hmf = blob.CreateMetafile();
    EXPECT_NE(hmf, nullptr);
    DeleteMetaFile(hmf);
}

TEST(ResourceBlob, DamagedResourcesGiveNoData)
{
    Resources();
    struct Case {
        WORD id;
        const char* why;
    } cases[] = {
        {TestResources::kNoString, "the resource's own size is too small to unpack into"},
        {TestResources::kLongStream, "stream length past the end"},
        {TestResources::kHugeSize, "unpacked size over the limit"},
        {TestResources::kNotAStream, "not an implode stream"},
        {TestResources::kTiny, "no room for the stream length"},
    };
    for (const Case& c : cases) {
        CResourceBlob blob(c.id, TRUE);
        ASSERT_TRUE(blob.Load(MAKEINTRESOURCE(c.id), "METAFILE")) << c.why;
        EXPECT_EQ(blob.GetData(), nullptr) << c.why;
        EXPECT_EQ(blob.CreateMetafile(), nullptr) << c.why;
    }
    CResourceBlob missing(9799, TRUE);
    EXPECT_FALSE(missing.Load(MAKEINTRESOURCE(9799), "METAFILE"));
    EXPECT_EQ(missing.GetData(), nullptr);

    // Unpacked data is the resource itself, never more than it holds.
    CResourceBlob plain(TestResources::kPlain, FALSE);
    ASSERT_TRUE(plain.Load(MAKEINTRESOURCE(TestResources::kPlain), "METAFILE"));
    EXPECT_EQ(plain.GetSize(), DiscPicture().size());
    EXPECT_EQ(plain.GetName(0), "Plain");
    UINT size = 0;
    const BYTE* bits = nullptr;
    ASSERT_TRUE(plain.GetMetafileBits(&size, &bits));
    EXPECT_EQ(size, DiscPicture().size() - 22);
}

TEST(ResourceBlob, GeneratedArtUnpacksAndPlays)
{
    Resources();
    for (const artgen::MetafileArt& art : Resources().art) {
        CMetafilePicture picture(0, 0, 60, 60, UINT(art.id), nullptr, 0);
        EXPECT_TRUE(picture.HasPicture()) << art.title;
        EXPECT_EQ(picture.GetName(), art.title.c_str());

        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap bitmap;
        bitmap.CreateBitmap(60, 60, 1, 32, nullptr);
        CBitmap* old = dc.SelectObject(&bitmap);
        dc.PatBlt(0, 0, 60, 60, WHITENESS);
        picture.Draw(&dc);
        int painted = 0;
        for (int y = 0; y < 60; y += 2)
            for (int x = 0; x < 60; x += 2)
                painted += dc.GetPixel(x, y) != kWhite;
        EXPECT_GT(painted, 60) << art.title;
        dc.SelectObject(old);
    }
}

// A memory DC over a w x h 32-bit bitmap filled with one colour.
class Canvas {
public:
    Canvas(int w, int h, COLORREF fill)
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateBitmap(w, h, 1, 32, nullptr);
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, fill);
    }
    ~Canvas() { dc.SelectObject(old); }
    CDC dc;
    CBitmap bitmap;
    CBitmap* old;
};

TEST(MetafilePicture, FitsTheFrameAndDrawsThroughItsCache)
{
    Resources();
    CMetafilePicture picture(0, 0, 100, 50, TestResources::kDisc, nullptr, 1);
    ASSERT_TRUE(picture.HasPicture());
    EXPECT_EQ(picture.GetName(), "Red disc");
    const RECT& draw = picture.GetDrawRect();
    EXPECT_EQ(draw.left, 25);
    EXPECT_EQ(draw.top, 0);
    EXPECT_EQ(draw.right, 75);
    EXPECT_EQ(draw.bottom, 50);

    Canvas white(120, 80, kWhite);
    picture.Draw(&white.dc);
    EXPECT_TRUE(picture.IsCacheValid());
    EXPECT_EQ(white.dc.GetPixel(49, 24), kRed);
    EXPECT_EQ(white.dc.GetPixel(26, 1), kWhite); // a corner outside the disc
    EXPECT_EQ(white.dc.GetPixel(80, 24), kWhite);

    // The cache keeps the background it was made over: drawn on blue, the
    // disc's corners still show the white it was first drawn on.
    Canvas blue(120, 80, kBlue);
    picture.Draw(&blue.dc);
    EXPECT_EQ(blue.dc.GetPixel(49, 24), kRed);
    EXPECT_EQ(blue.dc.GetPixel(26, 1), kWhite);
    EXPECT_EQ(blue.dc.GetPixel(80, 24), kBlue);

    // A new rectangle makes a new cache.
    picture.SetRect(0, 0, 40, 40);
    EXPECT_FALSE(picture.IsCacheValid());
    EXPECT_EQ(picture.GetDrawRect().right, 40);
}

TEST(MetafilePicture, HalfOutsideTheClipBoxIsPlayedStraightWithoutACache)
{
    Resources();
    CMetafilePicture picture(60, 20, 140, 100, TestResources::kDisc, nullptr, 0);
    Canvas canvas(100, 120, kBlue);
    picture.Draw(&canvas.dc);
    EXPECT_FALSE(picture.IsCacheValid());
    EXPECT_EQ(canvas.dc.GetPixel(90, 60), kRed);
    EXPECT_EQ(canvas.dc.GetPixel(61, 21), kBlue); // played over what was there

    // Once wholly visible, the cache is made.
    picture.SetRect(10, 20, 90, 100);
    picture.Draw(&canvas.dc);
    EXPECT_TRUE(picture.IsCacheValid());
}

class HalfScale : public CMappingObject {
public:
    void PrepareDC(CDC* pDC) override
    {
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(2, 2);
        pDC->SetViewportExt(1, 1);
        ++calls;
    }
    int calls = 0;
};

TEST(MetafilePicture, OwnerMappingFitsAndMissingResourcesDrawNothing)
{
    Resources();
    HalfScale owner;
    CMetafilePicture picture(0, 0, 200, 100, TestResources::kDisc, &owner, 0);
    EXPECT_GE(owner.calls, 1);
    EXPECT_EQ(picture.GetDrawRect().left, 50);
    EXPECT_EQ(picture.GetDrawRect().right, 150);

    CMetafilePicture missing(0, 0, 50, 50, 9799, nullptr, 0);
    EXPECT_FALSE(missing.HasPicture());
    EXPECT_EQ(missing.GetName(), "");
    Canvas canvas(60, 60, kBlue);
    missing.Draw(&canvas.dc);
    EXPECT_EQ(canvas.dc.GetPixel(25, 25), kBlue);

    CMetafilePicture damaged(0, 0, 50, 50, TestResources::kLongStream, nullptr, 0);
    EXPECT_FALSE(damaged.HasPicture());
    damaged.Draw(&canvas.dc);
    EXPECT_EQ(canvas.dc.GetPixel(25, 25), kBlue);
}

} // namespace
