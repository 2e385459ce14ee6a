// Bitmap files held in memory: their stored form (a count and the file
// image) reads back and stores the same bytes at every depth and around the
// archive's transfer block; damaged or hostile images are refused with the
// right message and without reading or allocating past what is there; the
// images draw plainly, stretched and with their transparent colour left
// out; the packed-DIB measures.

#include "pictures/Dib.h"

#include "app/BitmapHelpers.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "resources/pictures.h"
#include "resources/resource.h"
#include "tests/base/ArchiveTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using archive_test::U16;
using archive_test::U32;

constexpr COLORREF kRed = RGB(220, 30, 40);
constexpr COLORREF kGreen = RGB(20, 200, 60);
constexpr COLORREF kBlue = RGB(30, 40, 210);
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kGround = RGB(250, 240, 10);

// A bottom-up BI_RGB bitmap file built by its documented layout. Pixels are
// table indexes, or COLORREFs at 24 bits, top row first; `gap` bytes lie
// between the colour table and the rows, `tail` bytes after them.
struct BmpSpec {
    int bits = 8;
    int width = 0;
    int height = 0;
    std::vector<COLORREF> table;
    std::vector<DWORD> pixels;
    DWORD gap = 0;
    DWORD tail = 0;
    DWORD clrUsed = 0;

    DWORD Stride() const { return (DWORD(width) * DWORD(bits) + 31) / 32 * 4; }
    DWORD Offset() const { return 14 + 40 + DWORD(table.size()) * 4 + gap; }

    std::string Bytes() const
    {
        const DWORD size = Offset() + Stride() * DWORD(height) + tail;
        std::string s = "BM" + U32(size) + U32(0) + U32(Offset());
        s += U32(40) + U32(DWORD(width)) + U32(DWORD(height)) + U16(1) + U16(WORD(bits)) + U32(0)
            + U32(Stride() * DWORD(height)) + U32(2835) + U32(2835) + U32(clrUsed) + U32(0);
        for (COLORREF c : table)
            s += archive_test::Bytes({GetBValue(c), GetGValue(c), GetRValue(c), 0});
        s += std::string(gap, '\x5A');
        for (int y = height - 1; y >= 0; --y) {
            std::string row(Stride(), '\0');
            for (int x = 0; x < width; ++x) {
                const DWORD p = pixels[size_t(y) * size_t(width) + size_t(x)];
                if (bits == 24) {
                    row[size_t(x) * 3] = char(GetBValue(p));
                    row[size_t(x) * 3 + 1] = char(GetGValue(p));
                    row[size_t(x) * 3 + 2] = char(GetRValue(p));
                } else {
                    const int bit = x * bits;
                    row[size_t(bit / 8)] = char(BYTE(row[size_t(bit / 8)]) | (p << (8 - bits - bit % 8)));
                }
            }
            s += row;
        }
        return s + std::string(tail, '\x33');
    }
};

// A 4 x 3 picture: the transparent key in the bottom-left (the first stored
// pixel) and the top-right corner, red, green and blue elsewhere. Palette
// pictures hold the key in two entries, the last one and entry 4, so the
// first pixel's whole byte is not its index and both must stay out.
BmpSpec Picture(int bits)
{
    BmpSpec spec;
    spec.bits = bits;
    spec.width = 4;
    spec.height = 3;
    const std::vector<COLORREF> colours = {kRed, kGreen, kBlue, kKey};
    const std::vector<int> layout = {0, 1, 2, 4, 1, 2, 0, 1, 3, 0, 2, 1};
    if (bits == 24) {
        for (int i : layout)
            spec.pixels.push_back(colours[size_t(std::min(i, 3))]);
    } else if (bits == 1) {
        spec.table = {kRed, kKey};
        for (int i : layout)
            spec.pixels.push_back(i >= 3 ? 1 : 0);
    } else {
        spec.table.assign(size_t(1) << bits, RGB(9, 9, 9));
        for (size_t i = 0; i < 3; ++i)
            spec.table[i] = colours[i];
        spec.table[4] = kKey;
        spec.table.back() = kKey;
        for (int i : layout)
            spec.pixels.push_back(i == 3 ? DWORD(spec.table.size() - 1) : DWORD(i));
    }
    return spec;
}

COLORREF Expected(const BmpSpec& spec, int x, int y)
{
    const DWORD p = spec.pixels[size_t(y) * size_t(spec.width) + size_t(x)];
    return spec.bits == 24 ? COLORREF(p) : spec.table[p];
}

class DibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        threadwick::RegisterResources();
        platform::headless::Reset();
    }
    void TearDown() override { platform::headless::Reset(); }

    static std::vector<std::string> Shown()
    {
        std::vector<std::string> out;
        for (const auto& box : platform::headless::MessageBoxes())
            out.push_back(box.text);
        return out;
    }

    static std::string Text(UINT nID)
    {
        CString s;
        s.LoadString(nID);
        return std::string(s);
    }

    // Loads a stored dib (count and image) followed by a marker, which must
    // read back right after it whatever happened to the image.
    static void LoadStored(CDib& dib, const std::string& stored)
    {
        archive_test::Load(stored + U32(0xC0FFEE11), [&](CArchive& ar) {
            dib.Serialize(ar);
            DWORD marker = 0;
            ar >> marker;
            EXPECT_EQ(0xC0FFEE11u, marker);
        });
    }

    static std::string Stored(const std::string& image) { return U32(DWORD(image.size())) + image; }

    static std::string StoreAgain(CDib& dib)
    {
        return archive_test::Store([&](CArchive& ar) { dib.Serialize(ar); });
    }
};

// A memory DC with a 32-bit bitmap filled with one colour.
struct Canvas {
    Canvas(int w, int h, COLORREF fill)
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateBitmap(w, h, 1, 32, nullptr);
        old = dc.SelectObject(&bitmap);
        CRect rc(0, 0, w, h);
        dc.FillSolidRect(&rc, fill);
    }
    ~Canvas() { dc.SelectObject(old); }
    COLORREF At(int x, int y) { return dc.GetPixel(x, y); }

    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};

TEST_F(DibTest, StoredImagesReadBackAndStoreTheSameBytesAtEveryDepth)
{
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        const std::string image = Picture(bits).Bytes();
        CDib dib;
        LoadStored(dib, Stored(image));
        ASSERT_TRUE(dib.IsValid());
        EXPECT_EQ(bits, dib.GetBitsPerPixel());
        CSize size;
        dib.GetSize(size);
        EXPECT_EQ(CSize(4, 3), size);
        EXPECT_EQ(Stored(image), StoreAgain(dib));
    }
    // An empty object stores no image and reads back empty.
    CDib empty;
    EXPECT_EQ(U32(0), StoreAgain(empty));
    LoadStored(empty, U32(0));
    EXPECT_FALSE(empty.IsValid());
    EXPECT_TRUE(Shown().empty());

    // As an object of its own class in an archive.
    CDib original;
    LoadStored(original, Stored(Picture(8).Bytes()));
    const std::string bytes = archive_test::Store([&](CArchive& ar) { ar << &original; });
    CObject* pObject = nullptr;
    archive_test::Load(bytes, [&](CArchive& ar) { ar >> pObject; });
    ASSERT_NE(nullptr, pObject);
    EXPECT_STREQ("CDib", pObject->GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(0u, pObject->GetRuntimeClass()->m_wSchema);
    auto* pCopy = static_cast<CDib*>(pObject);
    EXPECT_EQ(StoreAgain(original), StoreAgain(*pCopy));
    delete pObject;
}

TEST_F(DibTest, ImagesAroundTheTransferBlockReadWhole)
{
    // 24-bit rows of 12 bytes; the tail brings each file to its exact size.
    for (DWORD total : {CDib::kTransferBlock - 1, CDib::kTransferBlock, CDib::kTransferBlock + 1,
             3 * CDib::kTransferBlock + 7}) {
        SCOPED_TRACE(total);
        BmpSpec spec = Picture(24);
        spec.tail = total - DWORD(spec.Bytes().size());
        std::string image = spec.Bytes();
        // Something different in every transfer piece.
        for (size_t i = 100; i < image.size(); i += 4099)
            image[i] = char(i * 7);
        ASSERT_EQ(total, image.size());
        CDib dib;
        LoadStored(dib, Stored(image));
        ASSERT_TRUE(dib.IsValid());
        EXPECT_EQ(0, std::memcmp(dib.GetFileImage(), image.data(), image.size()));
        EXPECT_EQ(Stored(image), StoreAgain(dib));
    }
    EXPECT_TRUE(Shown().empty());
}

TEST_F(DibTest, DamagedImagesAreRefusedWithTheirMessage)
{
    const std::string invalid = Text(IDS_DIB_INVALID);
    const std::string good = Picture(8).Bytes();
    auto with = [&](size_t at, const std::string& bytes) {
        std::string image = good;
        image.replace(at, bytes.size(), bytes);
        return image;
    };
    BmpSpec deep = Picture(24);
    struct Case {
        const char* name;
        std::string image;
        std::vector<std::string> shown;
    };
    const std::vector<Case> cases = {
        {"not BM", with(0, "MB"), {invalid}},
        {"16 bits", with(28, U16(16)), {}},
        {"32 bits", with(28, U16(32)), {}},
        {"2 bits", with(28, U16(2)), {}},
        {"too short for its headers", good.substr(0, 40), {invalid}},
        {"bits offset past the end", with(10, U32(DWORD(good.size()) + 1)), {invalid}},
        {"bits offset inside the colour table", with(10, U32(60)), {invalid}},
        {"rows past the end", good.substr(0, good.size() - 1), {invalid}},
        {"taller than the file", with(22, U32(4)), {invalid}},
        {"wider than the file", with(18, U32(40000)), {invalid}},
        {"header larger than the file", with(14, U32(DWORD(good.size()))), {invalid}},
        {"core header", with(14, U32(12)), {invalid}},
        {"run-length compressed", with(30, U32(1)), {invalid}},
        {"24-bit rows past the end", deep.Bytes().substr(0, deep.Bytes().size() - 4), {invalid}},
        {"no width", with(18, U32(0)), {invalid}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::headless::Reset();
        CDib dib;
        LoadStored(dib, Stored(c.image));
        EXPECT_FALSE(dib.IsValid());
        EXPECT_EQ(c.shown, Shown());
        // Nothing is left to draw or store.
        CSize size(1, 1);
        dib.GetSize(size);
        EXPECT_EQ(CSize(0, 0), size);
        EXPECT_EQ(U32(0), StoreAgain(dib));
    }
}

TEST_F(DibTest, CountBeyondTheArchiveIsRefusedBeforeAnythingIsAllocated)
{
    const std::string image = Picture(24).Bytes();
    const size_t blocks = platform::GlobalBlockCount();
    for (DWORD count : {DWORD(image.size() + 1), DWORD(0x7FFFFFFF), DWORD(0xFFFFFFFF)}) {
        SCOPED_TRACE(count);
        platform::headless::Reset();
        CDib dib;
        const int cause
            = archive_test::LoadFailure(U32(count) + image, [&](CArchive& ar) { dib.Serialize(ar); });
        EXPECT_EQ(CArchiveException::endOfFile, cause);
        EXPECT_FALSE(dib.IsValid());
        EXPECT_EQ(blocks, platform::GlobalBlockCount());
        EXPECT_EQ(std::vector<std::string>{Text(IDS_DIB_READ_ERROR)}, Shown());
    }
    // A count cut off in the middle is a read error too.
    CDib dib;
    platform::headless::Reset();
    EXPECT_EQ(CArchiveException::endOfFile,
        archive_test::LoadFailure(std::string("\x10\x00", 2), [&](CArchive& ar) { dib.Serialize(ar); }));
    EXPECT_EQ(std::vector<std::string>{Text(IDS_DIB_READ_ERROR)}, Shown());
}

TEST_F(DibTest, FailedWriteShowsTheWriteError)
{
    BmpSpec spec = Picture(24);
    spec.tail = 3 * CDib::kTransferBlock;
    CDib dib;
    LoadStored(dib, Stored(spec.Bytes()));
    ASSERT_TRUE(dib.IsValid());
    std::vector<BYTE> room(1000);
    CMemFile file(room.data(), UINT(room.size()), 0);
    bool raised = false;
    try {
        CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
        dib.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        raised = true;
        e->Delete();
    }
    EXPECT_TRUE(raised);
    EXPECT_EQ(std::vector<std::string>{Text(IDS_DIB_WRITE_ERROR)}, Shown());
}

TEST_F(DibTest, TransparentColourIsTheFirstStoredPixels)
{
    // The first stored pixel is the bottom-left one: the key in Picture().
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        CDib dib;
        LoadStored(dib, Stored(Picture(bits).Bytes()));
        EXPECT_EQ(kKey, dib.GetTransparentColor());
    }
    // A first pixel whose index lies past a short colour table.
    BmpSpec spec = Picture(8);
    spec.table.resize(3);
    spec.clrUsed = 3;
    CDib dib;
    LoadStored(dib, Stored(spec.Bytes()));
    ASSERT_TRUE(dib.IsValid());
    EXPECT_EQ(RGB(0, 0, 0), dib.GetTransparentColor());
}

TEST_F(DibTest, DrawsPlainlyAndStretchedAtEveryDepth)
{
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        const BmpSpec spec = Picture(bits);
        CDib dib;
        LoadStored(dib, Stored(spec.Bytes()));
        ASSERT_TRUE(dib.IsValid());

        Canvas plain(10, 10, kGround);
        dib.Draw(&plain.dc, 2, 3, FALSE);
        for (int y = 0; y < spec.height; ++y)
            for (int x = 0; x < spec.width; ++x)
                EXPECT_EQ(Expected(spec, x, y), plain.At(2 + x, 3 + y)) << x << ',' << y;
        EXPECT_EQ(kGround, plain.At(1, 3));
        EXPECT_EQ(kGround, plain.At(6, 3));

        Canvas stretched(20, 20, kGround);
        dib.StretchDraw(&stretched.dc, 1, 1, 8, 9, FALSE, nullptr);
        for (int y = 0; y < spec.height; ++y)
            for (int x = 0; x < spec.width; ++x)
                EXPECT_EQ(Expected(spec, x, y), stretched.At(1 + 2 * x, 1 + 3 * y)) << x << ',' << y;
        EXPECT_EQ(kGround, stretched.At(9, 1));
        EXPECT_EQ(kGround, stretched.At(1, 10));
    }
}

TEST_F(DibTest, TransparentDrawKeepsTheDestinationUnderTheKeyAndRestoresTheImage)
{
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        const BmpSpec spec = Picture(bits);
        const std::string image = spec.Bytes();
        CDib dib;
        LoadStored(dib, Stored(image));
        ASSERT_TRUE(dib.IsValid());

        Canvas canvas(20, 20, kGround);
        dib.StretchDraw(&canvas.dc, 0, 0, 8, 6, TRUE, nullptr);
        for (int y = 0; y < spec.height; ++y)
            for (int x = 0; x < spec.width; ++x) {
                const COLORREF want = Expected(spec, x, y) == kKey ? kGround : Expected(spec, x, y);
                EXPECT_EQ(want, canvas.At(2 * x, 2 * y)) << x << ',' << y;
                EXPECT_EQ(want, canvas.At(2 * x + 1, 2 * y + 1)) << x << ',' << y;
            }
        // Every colour and pixel is as it was.
        EXPECT_EQ(0, std::memcmp(dib.GetFileImage(), image.data(), image.size()));

        // With a background the key shows the background instead.
        const COLORREF fill = RGB(0, 128, 128);
        dib.StretchDraw(&canvas.dc, 0, 0, 8, 6, TRUE, &fill);
        EXPECT_EQ(fill, canvas.At(0, 4)); // bottom-left: the key
        EXPECT_EQ(Expected(spec, 1, 2), canvas.At(2, 4));
        EXPECT_EQ(kGround, canvas.At(8, 4));
    }
}

TEST_F(DibTest, SmallImagesPaletteIsItsColourTable)
{
    CDib small;
    LoadStored(small, Stored(Picture(4).Bytes()));
    CPalette* pPalette = small.GetPalette();
    ASSERT_NE(nullptr, pPalette);
    ASSERT_EQ(16, pPalette->GetEntryCount());
    PALETTEENTRY entries[16];
    pPalette->GetPaletteEntries(0, 16, entries);
    EXPECT_EQ(kRed, RGB(entries[0].peRed, entries[0].peGreen, entries[0].peBlue));
    EXPECT_EQ(kKey, RGB(entries[15].peRed, entries[15].peGreen, entries[15].peBlue));
    EXPECT_EQ(pPalette, small.GetPalette());

    CDib empty;
    EXPECT_EQ(nullptr, empty.GetPalette());
}

TEST_F(DibTest, DeepImageDrawsThroughTheProgramsPaletteOnAPaletteScreen)
{
    platform::headless::SetScreen(1024, 768, 8);
    CDib dib;
    LoadStored(dib, Stored(Picture(24).Bytes()));
    HDC hScreen = ::GetDC(NULL);
    ASSERT_NE(HDC(NULL), hScreen);
    CDC* pDC = CDC::FromHandle(hScreen);
    ASSERT_NE(0, pDC->GetDeviceCaps(RASTERCAPS) & RC_PALETTE);
    HGDIOBJ hBefore = ::GetCurrentObject(hScreen, OBJ_PAL);
    dib.Draw(pDC, 0, 0, TRUE);
    // The previous palette is back.
    EXPECT_EQ(hBefore, ::GetCurrentObject(hScreen, OBJ_PAL));
    CPalette program;
    ASSERT_TRUE(LoadPaletteResource(IDR_APP_PALETTE, program, FALSE));
    CPalette* pPalette = dib.GetPalette();
    ASSERT_NE(nullptr, pPalette);
    EXPECT_EQ(program.GetEntryCount(), pPalette->GetEntryCount());
    // Each colour shows as its nearest among the program's colours.
    const BmpSpec spec = Picture(24);
    for (int x = 0; x < 4; ++x) {
        PALETTEENTRY entry{};
        program.GetPaletteEntries(program.GetNearestPaletteIndex(Expected(spec, x, 0)), 1, &entry);
        EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), pDC->GetPixel(x, 0)) << x;
    }
    ::ReleaseDC(NULL, hScreen);
}

TEST_F(DibTest, PackedDibMeasures)
{
    struct Case {
        std::string header;
        DWORD colours;
        DWORD paletteBytes;
    };
    auto info = [](WORD bits, DWORD used) {
        return U32(40) + U32(2) + U32(2) + U16(1) + U16(bits) + U32(0) + U32(0) + U32(0) + U32(0) + U32(used) + U32(0);
    };
    auto core = [](WORD bits) { return U32(12) + U16(2) + U16(2) + U16(1) + U16(bits); };
    const std::vector<Case> cases = {
        {info(1, 0), 2, 8},
        {info(8, 0), 256, 1024},
        {info(8, 5), 5, 20},
        {info(24, 0), 0, 0},
        {info(24, 7), 7, 28},
        {core(4), 16, 48},
        {core(24), 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.colours, DibNumColors(c.header.data()));
        EXPECT_EQ(c.paletteBytes, DibPaletteSize(c.header.data()));
        const DWORD headerBytes = c.header.size() == 40 ? 40 : 12;
        EXPECT_EQ(reinterpret_cast<const BYTE*>(c.header.data()) + headerBytes + c.paletteBytes,
            DibBits(static_cast<const void*>(c.header.data())));
    }
}

TEST_F(DibTest, OutsideBitmapFilesLoadOrAreRefusedAndDraw)
{
    REQUIRE_TESTDATA();
    namespace fs = std::filesystem;
    int loaded = 0;
    int refused = 0;
    for (const char* folder : {"bmp", "dib"}) {
        const fs::path dir = fs::path(THREADWICK_TESTDATA_DIR) / folder;
        for (const auto& entry : fs::directory_iterator(dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            SCOPED_TRACE(entry.path().filename().string());
            CDib dib;
            LoadStored(dib, Stored(bytes));
            if (!dib.IsValid()) {
                ++refused;
                continue;
            }
            ++loaded;
            Canvas canvas(16, 16, kGround);
            dib.StretchDraw(&canvas.dc, 0, 0, 16, 16, TRUE, nullptr);
            dib.Draw(&canvas.dc, 0, 0, FALSE);
            EXPECT_EQ(0, std::memcmp(dib.GetFileImage(), bytes.data(), bytes.size()));
        }
    }
    EXPECT_GT(loaded, 10);
    EXPECT_GT(refused, 10);
}

} // namespace
