// Enhanced metafiles: the header and what it tells, placing the frame onto
// the rectangle, the object table with stock objects, saved states, the
// metafile's own mapping and world transform, paths, damaged data, and
// every real .emf file of the shared test data.

#include "platform/gdi/Gdi.h"

#include "tests/gdi/DrawTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

using gditest::MemoryCanvas;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr int32_t kStock = int32_t(0x80000000u);
constexpr int32_t kGmCompatible = 1;

enum : uint32_t {
    kEof = 14, kSetWindowExt = 9, kSetWindowOrg = 10, kSetViewportExt = 11, kSetViewportOrg = 12,
    kSetMapMode = 17, kSaveDC = 33, kRestoreDC = 34, kSetWorldTransform = 35, kSelectObject = 37,
    kCreatePen = 38, kCreateBrush = 39, kDeleteObject = 40, kRectangle = 43, kBeginPath = 59,
    kEndPath = 60, kFillPath = 62, kIntersectClipRect = 30, kPolygon16 = 86, kSetPolyFillMode = 19,
    kSetBkMode = 18, kExtCreateFontIndirectW = 82, kExtTextOutW = 84, kSmallTextOut = 108,
};

// An enhanced metafile whose reference device has 10 pixels a millimetre
// and whose frame is 10 mm square: records draw in a 100 x 100 pixel space.
class EmfWriter {
public:
    EmfWriter& Record(uint32_t type, std::vector<int32_t> fields)
    {
        Put(m_records, type);
        Put(m_records, uint32_t(8 + 4 * fields.size()));
        for (int32_t f : fields)
            Put(m_records, uint32_t(f));
        ++m_count;
        return *this;
    }
    EmfWriter& Brush(int32_t slot, COLORREF c) { return Record(kCreateBrush, {slot, BS_SOLID, int32_t(c), 0}); }
    EmfWriter& Select(int32_t slot) { return Record(kSelectObject, {slot}); }
    EmfWriter& NullPen() { return Select(kStock | NULL_PEN); }
    EmfWriter& Rect(int32_t l, int32_t t, int32_t r, int32_t b) { return Record(kRectangle, {l, t, r, b}); }

    std::vector<BYTE> Bytes(const std::u16string& description = u"", const std::vector<uint32_t>& palette = {}) const
    {
        std::vector<BYTE> out;
        uint32_t headerSize = 100 + uint32_t((description.size() * 2 + 3) / 4 * 4);
        Put(out, 1u);
        Put(out, headerSize);
        for (int32_t v : {0, 0, 99, 99}) // bounds, inclusive pixels
            Put(out, uint32_t(v));
        for (int32_t v : {0, 0, 1000, 1000}) // frame, 0.01 mm
            Put(out, uint32_t(v));
        Put(out, 0x464D4520u);
        Put(out, 0x10000u);
        uint32_t eofSize = 20 + uint32_t(palette.size() * 4);
        Put(out, uint32_t(headerSize + m_records.size() + eofSize));
        Put(out, m_count + 2);
        Put(out, uint32_t(m_handles)); // nHandles and the reserved word
        Put(out, uint32_t(description.size()));
        Put(out, description.empty() ? 0u : 100u);
        Put(out, uint32_t(palette.size()));
        for (uint32_t v : {1000u, 1000u, 100u, 100u, 0u, 0u, 0u})
            Put(out, v);
        for (char16_t c : description) {
            out.push_back(BYTE(c));
            out.push_back(BYTE(c >> 8));
        }
        out.resize(headerSize, 0);
        out.insert(out.end(), m_records.begin(), m_records.end());
        Put(out, kEof);
        Put(out, eofSize);
        Put(out, uint32_t(palette.size()));
        Put(out, palette.empty() ? 0u : 16u);
        for (uint32_t p : palette)
            Put(out, p);
        Put(out, eofSize);
        return out;
    }

    HENHMETAFILE Make() const
    {
        std::vector<BYTE> bytes = Bytes();
        return SetEnhMetaFileBits(UINT(bytes.size()), bytes.data());
    }

    uint16_t m_handles = 8;

private:
    static void Put(std::vector<BYTE>& out, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(BYTE(v >> (8 * i)));
    }

    std::vector<BYTE> m_records;
    uint32_t m_count = 0;
};

int32_t FloatBits(float f)
{
    int32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

void Play(MemoryCanvas& canvas, HENHMETAFILE emf, RECT rect)
{
    ASSERT_TRUE(emf);
    EXPECT_TRUE(PlayEnhMetaFile(canvas.dc, emf, &rect));
    DeleteEnhMetaFile(emf);
}

TEST(EmfTest, HeaderDescriptionAndPaletteAreReported)
{
    EmfWriter w;
    std::u16string description(u"Maker\0Picture\0\0", 15);
    std::vector<BYTE> bytes = w.Bytes(description, {0x00112233, 0x00445566});
    HENHMETAFILE emf = SetEnhMetaFileBits(UINT(bytes.size()), bytes.data());
    ASSERT_TRUE(emf);

    ENHMETAHEADER header{};
    EXPECT_EQ(GetEnhMetaFileHeader(emf, 0, NULL), sizeof(ENHMETAHEADER));
    EXPECT_EQ(GetEnhMetaFileHeader(emf, sizeof header, &header), sizeof(ENHMETAHEADER));
    EXPECT_EQ(header.rclBounds.right, 99);
    EXPECT_EQ(header.rclFrame.right, 1000);
    EXPECT_EQ(header.szlMillimeters.cx, 100);

    EXPECT_EQ(GetEnhMetaFileDescription(emf, 0, NULL), 15u);
    char text[32] = {};
    EXPECT_EQ(GetEnhMetaFileDescription(emf, sizeof text, text), 15u);
    EXPECT_STREQ(text, "Maker");
    EXPECT_STREQ(text + 6, "Picture");

    EXPECT_EQ(GetEnhMetaFilePaletteEntries(emf, 0, NULL), 2u);
    PALETTEENTRY entries[2] = {};
    EXPECT_EQ(GetEnhMetaFilePaletteEntries(emf, 2, entries), 2u);
    EXPECT_EQ(entries[1].peRed, 0x66);
    EXPECT_EQ(entries[1].peBlue, 0x44);

    std::vector<BYTE> out(bytes.size());
    EXPECT_EQ(GetEnhMetaFileBits(emf, UINT(out.size()), out.data()), bytes.size());
    EXPECT_EQ(out, bytes);
    EXPECT_TRUE(DeleteEnhMetaFile(emf));
    EXPECT_FALSE(DeleteEnhMetaFile(emf));
    EXPECT_EQ(GetEnhMetaFileDescription(emf, 0, NULL), GDI_ERROR);
}

TEST(EmfTest, FrameIsPlacedOntoTheRectangleInTheCallersUnits)
{
    // The caller's logical units are twice its pixels and the rectangle is
    // upside down: the picture lands flipped in device (10,10)-(60,60).
    EmfWriter w;
    w.NullPen().Brush(1, kRed).Select(1).Rect(0, 0, 100, 50);
    MemoryCanvas canvas(70, 70);
    SetMapMode(canvas.dc, MM_ANISOTROPIC);
    SetWindowExtEx(canvas.dc, 2, 2, NULL);
    SetViewportExtEx(canvas.dc, 1, 1, NULL);
    Play(canvas, w.Make(), RECT{20, 120, 120, 20});
    EXPECT_EQ(canvas.At(30, 50), kRed);
    EXPECT_EQ(canvas.At(30, 20), kWhite);
    RECT ink = canvas.InkBox();
    // Without a pen a rectangle leaves out its right and bottom edges.
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.right, 59);
    EXPECT_EQ(ink.bottom, 59);
    // Playback puts the caller's mapping back.
    EXPECT_EQ(GetMapMode(canvas.dc), MM_ANISOTROPIC);
}

TEST(EmfTest, ObjectTableAndStockObjects)
{
    // Slot 2 replaced after deletion; a stock brush by its flagged index; a
    // deleted or unknown slot selects nothing.
    EmfWriter w;
    w.NullPen().Brush(2, kRed).Record(kDeleteObject, {2}).Brush(2, kGreen).Select(2).Rect(0, 0, 50, 50);
    w.Select(kStock | BLACK_BRUSH).Rect(50, 0, 100, 50);
    w.Brush(3, kBlue).Select(3).Record(kDeleteObject, {3}).Select(3).Select(900000).Select(0).Rect(0, 50, 50, 100);
    MemoryCanvas canvas(100, 100);
    Play(canvas, w.Make(), RECT{0, 0, 100, 100});
    EXPECT_EQ(canvas.At(25, 25), kGreen);
    EXPECT_EQ(canvas.At(75, 25), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(25, 75), kBlue);
}

TEST(EmfTest, SaveAndRestoreCoverMappingAndObjects)
{
    EmfWriter w;
    w.NullPen().Brush(1, kRed).Brush(2, kGreen).Select(1);
    w.Record(kSaveDC, {});
    w.Record(kSetMapMode, {MM_ANISOTROPIC}).Record(kSetWindowExt, {10, 10}).Record(kSetViewportExt, {100, 100});
    w.Select(2).Rect(0, 0, 5, 5); // 50 x 50 pixels through the scaled mapping
    w.Record(kRestoreDC, {-1}).Record(kRestoreDC, {-1}).Record(kRestoreDC, {5});
    w.Rect(50, 50, 100, 100); // red again, unscaled
    MemoryCanvas canvas(100, 100);
    Play(canvas, w.Make(), RECT{0, 0, 100, 100});
    EXPECT_EQ(canvas.At(45, 45), kGreen);
    EXPECT_EQ(canvas.At(55, 55), kRed);
    EXPECT_EQ(canvas.At(95, 95), kRed);
    EXPECT_EQ(canvas.At(55, 5), kWhite);
}

TEST(EmfTest, WorldTransformScalesAndMoves)
{
    EmfWriter w;
    w.NullPen().Brush(1, kBlue).Select(1);
    w.Record(kSetWorldTransform, {FloatBits(2), 0, 0, FloatBits(2), FloatBits(20), FloatBits(10)});
    w.Rect(0, 0, 10, 10); // (20,10)-(40,30)
    MemoryCanvas canvas(100, 100);
    Play(canvas, w.Make(), RECT{0, 0, 100, 100});
    RECT ink = canvas.InkBox();
    EXPECT_EQ(ink.left, 20);
    EXPECT_EQ(ink.top, 10);
    EXPECT_EQ(ink.right, 39); // no pen: the right and bottom edges stay out
    EXPECT_EQ(ink.bottom, 29);
}

TEST(EmfTest, FilledPathAndClipRectangle)
{
    // A triangle path filled, clipped to the left half.
    EmfWriter w;
    w.Brush(1, kRed).Select(1).Record(kIntersectClipRect, {0, 0, 50, 100});
    w.Record(kBeginPath, {}).Record(kPolygon16, {0, 0, 100, 100, 3, 0 | (0 << 16), 99 | (0 << 16), 0 | (99 << 16)});
    w.Record(kEndPath, {}).Record(kFillPath, {0, 0, 100, 100});
    MemoryCanvas canvas(100, 100);
    Play(canvas, w.Make(), RECT{0, 0, 100, 100});
    EXPECT_EQ(canvas.At(10, 10), kRed);
    EXPECT_EQ(canvas.At(60, 10), kWhite); // clipped away
    EXPECT_EQ(canvas.At(40, 80), kWhite); // outside the triangle
}

TEST(EmfTest, RefusesDamagedHeadersAndCutsDamagedRecords)
{
    std::vector<BYTE> good = EmfWriter().Bytes();
    EXPECT_FALSE(SetEnhMetaFileBits(87, good.data()));
    for (size_t at : {0, 4, 40}) {
        std::vector<BYTE> bad = good;
        bad[at] ^= 0x5A;
        EXPECT_FALSE(SetEnhMetaFileBits(UINT(bad.size()), bad.data())) << "byte " << at;
    }

    // A record whose size runs past the end cuts the metafile there: what
    // came before plays, nothing after.
    EmfWriter w;
    w.NullPen().Brush(1, kRed).Select(1).Rect(0, 0, 50, 50);
    w.Record(kPolygon16, {0, 0, 0, 0, 100000, 1, 2});
    w.Record(kRectangle, {50, 0, 100, 50});
    std::vector<BYTE> bytes = w.Bytes();
    // Patch the size of the last rectangle record to overrun the file.
    size_t last = bytes.size() - 20 - 24;
    bytes[last + 4] = 0xF0;
    bytes[last + 5] = 0xFF;
    HENHMETAFILE emf = SetEnhMetaFileBits(UINT(bytes.size()), bytes.data());
    ASSERT_TRUE(emf);
    EXPECT_EQ(GetEnhMetaFileBits(emf, 0, NULL), last);
    MemoryCanvas canvas(100, 100);
    Play(canvas, emf, RECT{0, 0, 100, 100});
    EXPECT_EQ(canvas.At(25, 25), kRed);
    EXPECT_EQ(canvas.At(75, 25), kWhite);
}

// The fields of a LOGFONTW record for a font of that height and face.
std::vector<int32_t> FontFields(int32_t slot, int32_t height, const char* face)
{
    std::vector<int32_t> fields = {slot, height, 0, 0, 0, FW_NORMAL, 0, 0};
    for (size_t i = 0; i < LF_FACESIZE; i += 2) {
        size_t length = std::strlen(face);
        uint32_t low = i < length ? BYTE(face[i]) : 0;
        uint32_t high = i + 1 < length ? BYTE(face[i + 1]) : 0;
        fields.push_back(int32_t(low | high << 16));
    }
    return fields;
}

// 16-bit units two to a field, the last padded.
void PutUnits(std::vector<int32_t>& fields, const std::vector<WORD>& units)
{
    for (size_t i = 0; i < units.size(); i += 2)
        fields.push_back(int32_t(uint32_t(units[i]) | (i + 1 < units.size() ? uint32_t(units[i + 1]) << 16 : 0)));
}

// An EMR_EXTTEXTOUTW at (x, y) without bounds, clip rectangle or advances.
std::vector<int32_t> ExtTextOutFields(int32_t x, int32_t y, uint32_t options, const std::vector<WORD>& units)
{
    std::vector<int32_t> fields = {0, 0, -1, -1, kGmCompatible, FloatBits(1), FloatBits(1), x, y,
        int32_t(units.size()), 76, int32_t(options), 0, 0, 0, 0, 0};
    PutUnits(fields, units);
    return fields;
}

// An EMR_SMALLTEXTOUT at (x, y) of 16-bit units without a clip rectangle.
std::vector<int32_t> SmallTextOutFields(int32_t x, int32_t y, uint32_t options, const std::vector<WORD>& units)
{
    constexpr uint32_t kNoRect = 0x0100;
    std::vector<int32_t> fields = {x, y, int32_t(units.size()), int32_t(options | kNoRect), kGmCompatible,
        FloatBits(1), FloatBits(1)};
    PutUnits(fields, units);
    return fields;
}

bool SamePixels(const MemoryCanvas& a, const MemoryCanvas& b)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, y) != b.At(x, y))
                return false;
    return true;
}

// Text records whose string holds glyph indices of the selected font draw
// those glyphs, exactly as the same records with the characters do.
TEST(EmfTest, GlyphIndexTextDrawsLikeItsCharacters)
{
    const char text[] = "Hig";
    LOGFONT lf{};
    lf.lfHeight = -40;
    lf.lfWeight = FW_NORMAL;
    std::strcpy(lf.lfFaceName, "Arial");
    std::vector<WORD> glyphs(3);
    {
        MemoryCanvas probe(10, 10);
        HFONT font = CreateFontIndirect(&lf);
        HGDIOBJ old = SelectObject(probe.dc, font);
        ASSERT_EQ(GetGlyphIndices(probe.dc, text, 3, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS), 3u);
        SelectObject(probe.dc, old);
        DeleteObject(font);
    }
    for (WORD g : glyphs) {
        EXPECT_NE(g, 0);
        EXPECT_NE(g, 0xFFFF);
    }
    const std::vector<WORD> chars(text, text + 3);

    auto draw = [&](uint32_t type, uint32_t options, const std::vector<WORD>& units, MemoryCanvas& canvas) {
        EmfWriter w;
        w.Record(kExtCreateFontIndirectW, FontFields(1, -40, "Arial")).Select(1).Record(kSetBkMode, {TRANSPARENT});
        w.Record(type, type == kExtTextOutW ? ExtTextOutFields(10, 20, options, units)
                                            : SmallTextOutFields(10, 20, options, units));
        Play(canvas, w.Make(), RECT{0, 0, 100, 100});
    };
    for (uint32_t type : {uint32_t(kExtTextOutW), uint32_t(kSmallTextOut)}) {
        SCOPED_TRACE(type);
        MemoryCanvas byChars(100, 100);
        draw(type, 0, chars, byChars);
        MemoryCanvas byGlyphs(100, 100);
        draw(type, ETO_GLYPH_INDEX, glyphs, byGlyphs);
        RECT ink = byChars.InkBox();
        EXPECT_GT(ink.right - ink.left, 30) << byChars.Picture(RECT{0, 0, 100, 100});
        EXPECT_GE(ink.left, 10);
        EXPECT_GE(ink.top, 20);
        EXPECT_TRUE(SamePixels(byChars, byGlyphs)) << byGlyphs.Picture(RECT{0, 0, 100, 100});
    }
}

std::vector<std::filesystem::path> Files(const char* folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(THREADWICK_TESTDATA_DIR) / folder))
        if (entry.path().extension() == ".emf")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Whether a metafile has anything to show: bounds that are not empty and a
// record other than selections and comments (pictures kept only as EMF+
// records inside comments show nothing here).
bool DrawsAnything(HENHMETAFILE emf)
{
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(emf, sizeof header, &header);
    if (header.rclBounds.right < header.rclBounds.left)
        return false;
    std::vector<BYTE> bytes(GetEnhMetaFileBits(emf, 0, NULL));
    GetEnhMetaFileBits(emf, UINT(bytes.size()), bytes.data());
    for (size_t at = header.nSize; at + 8 <= bytes.size();) {
        uint32_t type, size;
        std::memcpy(&type, &bytes[at], 4);
        std::memcpy(&size, &bytes[at + 4], 4);
        if (type != kEof && type != kSelectObject && type != 70)
            return true;
        if (size < 8)
            break;
        at += size;
    }
    return false;
}

// Every real .emf of the shared test data loads and draws something inside
// the rectangle its frame is placed onto.
TEST(EmfTest, PlaysEveryTestFile)
{
    REQUIRE_TESTDATA();
    std::vector<std::filesystem::path> files = Files("emf");
    EXPECT_GT(files.size(), 100u);
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        HENHMETAFILE emf = GetEnhMetaFile(path.string().c_str());
        ASSERT_TRUE(emf);
        MemoryCanvas canvas(100, 100);
        RECT target{10, 10, 90, 90};
        EXPECT_TRUE(PlayEnhMetaFile(canvas.dc, emf, &target));
        if (DrawsAnything(emf)) {
            EXPECT_LT(canvas.Count(kWhite, target), 80 * 80) << canvas.Picture(RECT{0, 0, 100, 100});
        }
        DeleteEnhMetaFile(emf);
    }
}

TEST(EmfTest, DamagedTestFilesAreRefusedOrPlayed)
{
    REQUIRE_TESTDATA();
    for (const auto& path : Files("emf-corrupted")) {
        SCOPED_TRACE(path.filename().string());
        HENHMETAFILE emf = GetEnhMetaFile(path.string().c_str());
        if (!emf)
            continue;
        MemoryCanvas canvas(64, 64);
        RECT target{0, 0, 64, 64};
        EXPECT_TRUE(PlayEnhMetaFile(canvas.dc, emf, &target));
        char text[8];
        GetEnhMetaFileDescription(emf, sizeof text, text);
        PALETTEENTRY entries[4];
        GetEnhMetaFilePaletteEntries(emf, 4, entries);
        DeleteEnhMetaFile(emf);
    }
}

} // namespace
