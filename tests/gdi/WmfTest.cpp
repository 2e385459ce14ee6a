// Windows metafiles: loading (with and without a placeable header), the
// object table, saved states, mapping, damaged data, and every real .wmf
// file of the shared test data.

#include "platform/gdi/Metafile.h"

#include "tests/gdi/DrawTestSupport.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

using gditest::MemoryCanvas;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Writes a metafile record by record: parameters are words, in the order
// the file stores them (the call's arguments reversed).
class WmfWriter {
public:
    explicit WmfWriter(uint16_t objects = 4)
        : m_objects(objects)
    {
    }

    WmfWriter& Record(uint16_t function, std::vector<uint16_t> params)
    {
        Put32(m_records, uint32_t(3 + params.size()));
        Put16(m_records, function);
        for (uint16_t p : params)
            Put16(m_records, p);
        return *this;
    }
    // A record whose size field says `words` whatever follows.
    WmfWriter& RawSize(uint32_t words, uint16_t function)
    {
        Put32(m_records, words);
        Put16(m_records, function);
        return *this;
    }

    WmfWriter& Brush(COLORREF c) { return Record(0x02FC, {0, Lo(c), Hi(c), 0}); }
    WmfWriter& Pen(uint16_t style, COLORREF c) { return Record(0x02FA, {style, 0, 0, Lo(c), Hi(c)}); }
    WmfWriter& Select(uint16_t slot) { return Record(0x012D, {slot}); }
    WmfWriter& Delete(uint16_t slot) { return Record(0x01F0, {slot}); }
    WmfWriter& Rect(int16_t l, int16_t t, int16_t r, int16_t b) { return Record(0x041B, {W(b), W(r), W(t), W(l)}); }
    WmfWriter& WindowOrg(int16_t x, int16_t y) { return Record(0x020B, {W(y), W(x)}); }
    WmfWriter& WindowExt(int16_t x, int16_t y) { return Record(0x020C, {W(y), W(x)}); }
    WmfWriter& SaveDC() { return Record(0x001E, {}); }
    WmfWriter& RestoreDC(int16_t n) { return Record(0x0127, {W(n)}); }
    WmfWriter& NullPen() { return Pen(PS_NULL, 0); }

    std::vector<BYTE> Bytes() const
    {
        std::vector<BYTE> out;
        Put16(out, 1);
        Put16(out, 9);
        Put16(out, 0x0300);
        Put32(out, uint32_t(9 + m_records.size() / 2 + 3));
        Put16(out, m_objects);
        Put32(out, 8);
        Put16(out, 0);
        out.insert(out.end(), m_records.begin(), m_records.end());
        Put32(out, 3);
        Put16(out, 0);
        return out;
    }

    // The placeable header in front, with a correct checksum.
    std::vector<BYTE> PlaceableBytes(int16_t l, int16_t t, int16_t r, int16_t b, uint16_t inch) const
    {
        std::vector<BYTE> out;
        Put32(out, platform::kPlaceableMetaKey);
        Put16(out, 0);
        for (int16_t v : {l, t, r, b})
            Put16(out, W(v));
        Put16(out, inch);
        Put32(out, 0);
        uint16_t sum = 0;
        for (size_t i = 0; i < out.size(); i += 2)
            sum ^= uint16_t(out[i] | (out[i + 1] << 8));
        Put16(out, sum);
        std::vector<BYTE> body = Bytes();
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

    HMETAFILE Make() const
    {
        std::vector<BYTE> bytes = Bytes();
        return SetMetaFileBitsEx(UINT(bytes.size()), bytes.data());
    }

    static uint16_t W(int16_t v) { return uint16_t(v); }
    static uint16_t Lo(COLORREF c) { return uint16_t(c & 0xFFFF); }
    static uint16_t Hi(COLORREF c) { return uint16_t(c >> 16); }

private:
    static void Put16(std::vector<BYTE>& out, uint16_t v)
    {
        out.push_back(BYTE(v));
        out.push_back(BYTE(v >> 8));
    }
    static void Put32(std::vector<BYTE>& out, uint32_t v)
    {
        Put16(out, uint16_t(v));
        Put16(out, uint16_t(v >> 16));
    }

    uint16_t m_objects;
    std::vector<BYTE> m_records;
};

void Play(MemoryCanvas& canvas, HMETAFILE mf)
{
    ASSERT_TRUE(mf);
    EXPECT_TRUE(PlayMetaFile(canvas.dc, mf));
    DeleteMetaFile(mf);
}

std::string WriteTemp(const std::string& name, const std::vector<BYTE>& bytes)
{
    std::string path = testing_support::MakeTempDir("wmf") + "/" + name;
    testing_support::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

TEST(WmfTest, NewObjectsTakeTheLowestFreeSlot)
{
    // Slots 0 and 1 are taken; freeing 0 makes the blue brush land there, so
    // selecting slot 0 afterwards paints blue, and slot 1 is still green.
    WmfWriter w;
    w.NullPen().Select(0).Delete(0); // slot 0 made and freed again, pen stays selected
    w.Brush(kRed).Brush(kGreen).Delete(0).Brush(kBlue);
    w.Select(0).Rect(0, 0, 10, 10).Select(1).Rect(10, 0, 20, 10);
    MemoryCanvas canvas(20, 10);
    Play(canvas, w.Make());
    EXPECT_EQ(canvas.At(5, 5), kBlue);
    EXPECT_EQ(canvas.At(15, 5), kGreen);
}

TEST(WmfTest, SelectingMissingOrFreedSlotsChangesNothing)
{
    WmfWriter w(2);
    w.NullPen().Select(0).Brush(kRed).Select(1).Delete(1).Select(1).Select(7).Select(60000);
    w.Rect(0, 0, 10, 10);
    MemoryCanvas canvas(10, 10);
    Play(canvas, w.Make());
    EXPECT_EQ(canvas.At(5, 5), kRed);
}

TEST(WmfTest, RestoreDcRecordsNestAndCannotReachTheCallersStates)
{
    WmfWriter w;
    w.NullPen().Select(0).Brush(kRed).Select(1).SaveDC().Brush(kGreen).Select(2).RestoreDC(-1);
    w.Rect(0, 0, 10, 10);
    // More restores than saves: ignored, the caller's saved state survives.
    w.RestoreDC(-3).RestoreDC(1).Brush(kBlue).Select(3).Rect(10, 0, 20, 10);
    MemoryCanvas canvas(20, 10);
    int callerState = SaveDC(canvas.dc);
    SetTextColor(canvas.dc, kGreen);
    HGDIOBJ brush = SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    Play(canvas, w.Make());
    EXPECT_EQ(canvas.At(5, 5), kRed);
    EXPECT_EQ(canvas.At(15, 5), kBlue);
    // Playback leaves the DC as it found it.
    EXPECT_EQ(GetTextColor(canvas.dc), kGreen);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_BRUSH), GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(RestoreDC(canvas.dc, callerState));
    SelectObject(canvas.dc, brush);
}

TEST(WmfTest, WindowRecordsScaleIntoTheCallersViewport)
{
    // The caller maps the picture onto device (10,10)-(110,110); the
    // metafile's window is 1000 units wide, so its half-size square covers
    // 50 pixels.
    WmfWriter w;
    w.WindowOrg(0, 0).WindowExt(1000, 1000).NullPen().Select(0).Brush(kRed).Select(1).Rect(0, 0, 500, 500);
    MemoryCanvas canvas(120, 120);
    SetMapMode(canvas.dc, MM_ANISOTROPIC);
    SetViewportOrgEx(canvas.dc, 10, 10, NULL);
    SetViewportExtEx(canvas.dc, 100, 100, NULL);
    Play(canvas, w.Make());
    // Without a pen a rectangle leaves out its right and bottom edges.
    EXPECT_EQ(canvas.InkBox().left, 10);
    EXPECT_EQ(canvas.InkBox().top, 10);
    EXPECT_EQ(canvas.InkBox().right, 59);
    EXPECT_EQ(canvas.InkBox().bottom, 59);
    // The caller's mapping is untouched afterwards.
    SIZE ext;
    GetWindowExtEx(canvas.dc, &ext);
    EXPECT_EQ(ext.cx, 1);
}

TEST(WmfTest, PlaceableHeaderIsStrippedAndItsBoundsFillTheRectangle)
{
    WmfWriter w;
    w.NullPen().Select(0).Brush(kRed).Select(1).Rect(-100, -100, 100, 100);
    std::vector<BYTE> plain = w.Bytes();
    std::string path = WriteTemp("placeable.wmf", w.PlaceableBytes(-100, -100, 100, 100, 1000));

    HMETAFILE mf = GetMetaFile(path.c_str());
    ASSERT_TRUE(mf);
    EXPECT_EQ(GetMetaFileBitsEx(mf, 0, NULL), plain.size());
    platform::PlaceableMetaHeader header;
    ASSERT_TRUE(platform::GetMetaFilePlaceableHeader(mf, &header));
    EXPECT_EQ(header.bounds.left, -100);
    EXPECT_EQ(header.bounds.bottom, 100);
    EXPECT_EQ(header.unitsPerInch, 1000);
    EXPECT_TRUE(header.checksumValid);
    EXPECT_EQ(platform::PlaceableMetaSize(header, 100).cx, 20);

    MemoryCanvas canvas(60, 60);
    EXPECT_TRUE(platform::PlayPlaceableMetaFile(canvas.dc, mf, RECT{10, 20, 50, 40}));
    RECT ink = canvas.InkBox();
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.top, 20);
    EXPECT_EQ(ink.right, 49); // no pen: the right and bottom edges stay out
    EXPECT_EQ(ink.bottom, 39);
    DeleteMetaFile(mf);

    // Without the key the file is a plain metafile and has no header.
    std::string plainPath = WriteTemp("plain.wmf", plain);
    mf = GetMetaFile(plainPath.c_str());
    ASSERT_TRUE(mf);
    EXPECT_FALSE(platform::GetMetaFilePlaceableHeader(mf, &header));
    DeleteMetaFile(mf);
}

TEST(WmfTest, PlaceableSizeIsAtLeastOneUnit)
{
    platform::PlaceableMetaHeader header;
    header.bounds = RECT{50, 10, 50, 1450};
    header.unitsPerInch = 1440;
    SIZE size = platform::PlaceableMetaSize(header, 100);
    EXPECT_EQ(size.cx, 1);
    EXPECT_EQ(size.cy, 100);
    BYTE notPlaceable[22] = {0xD7, 0xCD, 0xC6, 0x9B};
    EXPECT_FALSE(platform::ReadPlaceableMetaHeader(notPlaceable, sizeof notPlaceable, &header));
    BYTE tooShort[21] = {0xD7, 0xCD, 0xC6, 0x9A};
    EXPECT_FALSE(platform::ReadPlaceableMetaHeader(tooShort, sizeof tooShort, &header));
}

TEST(WmfTest, MetaFilePictPlaysAtItsOwnMapping)
{
    // MM_HIMETRIC counts y upwards: the picture lies at negative y. A 2540 x
    // 2540 extent is one inch, 100 units at 100 per inch.
    WmfWriter w;
    w.NullPen().Select(0).Brush(kRed).Select(1).Rect(0, -1270, 1270, -2540);
    METAFILEPICT pict{MM_HIMETRIC, 2540, 2540, w.Make()};
    EXPECT_EQ(platform::MetaFilePictSize(pict, 100).cx, 100);
    MemoryCanvas canvas(100, 100);
    EXPECT_TRUE(platform::PlayMetaFilePict(canvas.dc, pict, RECT{0, 0, 100, 100}));
    EXPECT_EQ(canvas.At(25, 75), kRed);
    EXPECT_EQ(canvas.At(75, 25), kWhite);
    EXPECT_EQ(canvas.At(25, 25), kWhite);
    DeleteMetaFile(pict.hMF);

    METAFILEPICT scalable{MM_ANISOTROPIC, -5, -5, NULL};
    EXPECT_EQ(platform::MetaFilePictSize(scalable, 100).cx, 0);
}

TEST(WmfTest, BitsCopyOutExactlyAndHandlesGoStale)
{
    WmfWriter w;
    w.Brush(kRed).Rect(0, 0, 5, 5);
    std::vector<BYTE> bytes = w.Bytes();
    HMETAFILE mf = SetMetaFileBitsEx(UINT(bytes.size()), bytes.data());
    ASSERT_TRUE(mf);
    std::vector<BYTE> out(bytes.size());
    EXPECT_EQ(GetMetaFileBitsEx(mf, UINT(out.size()), out.data()), bytes.size());
    EXPECT_EQ(out, bytes);
    EXPECT_EQ(GetMetaFileBitsEx(mf, UINT(out.size() - 1), out.data()), 0u);

    HMETAFILE copy = CopyMetaFile(mf, NULL);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(DeleteMetaFile(mf));
    EXPECT_FALSE(DeleteMetaFile(mf));
    EXPECT_FALSE(PlayMetaFile(MemoryCanvas(4, 4).dc, mf));
    EXPECT_EQ(GetMetaFileBitsEx(copy, 0, NULL), bytes.size());

    std::string path = testing_support::MakeTempDir("wmfcopy") + "/copy.wmf";
    HMETAFILE onDisk = CopyMetaFile(copy, path.c_str());
    ASSERT_TRUE(onDisk);
    EXPECT_EQ(testing_support::ReadFileBytes(path), std::string(bytes.begin(), bytes.end()));
    DeleteMetaFile(onDisk);
    DeleteMetaFile(copy);
}

TEST(WmfTest, RefusesWhatIsNotAMetafile)
{
    std::vector<BYTE> good = WmfWriter().Bytes();
    EXPECT_FALSE(SetMetaFileBitsEx(17, good.data()));
    EXPECT_FALSE(SetMetaFileBitsEx(UINT(good.size()), NULL));
    for (size_t field : {0, 2, 4}) {
        std::vector<BYTE> bad = good;
        bad[field] = 7;
        EXPECT_FALSE(SetMetaFileBitsEx(UINT(bad.size()), bad.data())) << "field at " << field;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    }
    EXPECT_FALSE(GetMetaFile("C:\\no\\such\\picture.wmf"));
}

TEST(WmfTest, DamagedRecordsStopOrSkipWithoutHarm)
{
    // A polygon claiming more points than its record holds is skipped; a
    // record whose size runs past the end stops playback after what came
    // before it was drawn.
    WmfWriter w;
    w.NullPen().Select(0).Brush(kRed).Select(1).Rect(0, 0, 10, 10);
    w.Record(0x0324, {5000, 1, 1, 2, 2});
    w.Record(0x0538, {3, 2, 60000, 1, 1, 1, 1});
    w.Record(0x0A32, {0, 0, 200, 0, 'a'});
    w.Record(0x0F43, {0x20, 0xCC, 0, 10, 10, 0, 0, 10, 10, 0, 0, 40, 0});
    w.RawSize(1, 0x041B);
    w.RawSize(0x7FFFFFFF, 0x041B);
    w.Rect(10, 0, 20, 10);
    MemoryCanvas canvas(20, 10);
    Play(canvas, w.Make());
    EXPECT_EQ(canvas.At(5, 5), kRed);
    EXPECT_EQ(canvas.At(15, 5), kWhite);
}

// Every real .wmf of the shared test data loads and draws something inside
// the rectangle its bounds are mapped onto.
TEST(WmfTest, PlaysEveryTestFile)
{
    REQUIRE_TESTDATA();
    namespace fs = std::filesystem;
    fs::path folder = fs::path(THREADWICK_TESTDATA_DIR) / "wmf";
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".wmf")
            continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        HMETAFILE mf = GetMetaFile(entry.path().string().c_str());
        ASSERT_TRUE(mf);
        MemoryCanvas canvas(120, 120);
        RECT target{10, 10, 110, 110};
        EXPECT_TRUE(platform::PlayPlaceableMetaFile(canvas.dc, mf, target));
        int inside = 0;
        for (int y = target.top; y < target.bottom; ++y)
            for (int x = target.left; x < target.right; ++x)
                inside += canvas.At(x, y) != kWhite;
        EXPECT_GT(inside, 0) << canvas.Picture(RECT{0, 0, 120, 120});
        DeleteMetaFile(mf);
    }
    EXPECT_GT(files, 20);
}

} // namespace
