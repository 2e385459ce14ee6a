// The picture engine: handles and their reuse, failed creations leaving
// nothing behind, error texts, the tint and grey-scale colour rules, the
// reduction to an 8-bit screen's palette, transparent drawing, painting,
// saving to memory and files, and exporting without ever damaging the file
// that was there.

#include "pictures/PictureEngine.h"

#include "controls/PaletteSelector.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/files/SafeReplace.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/imaging/Imaging.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/Resources.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kKey = RGB(255, 0, 255); // the transparent colour of the tests

// A packed DIB in a moveable block: 1, 4 or 8 bits with the given colour
// table (exactly as many entries as given), or 24 bits. Pixels are palette
// indexes or COLORREFs, rows top to bottom.
HGLOBAL MakeDib(int width, int height, int bits, const std::vector<COLORREF>& table, const std::vector<DWORD>& pixels)
{
    const size_t stride = ((size_t(width) * size_t(bits) + 31) / 32) * 4;
    const size_t headerBytes = sizeof(BITMAPINFOHEADER) + table.size() * sizeof(RGBQUAD);
    HGLOBAL h = GlobalAlloc(GHND, headerBytes + stride * size_t(height));
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    BITMAPINFOHEADER header {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = WORD(bits);
    header.biCompression = BI_RGB;
    header.biClrUsed = DWORD(table.size());
    std::memcpy(p, &header, sizeof header);
    for (size_t i = 0; i < table.size(); ++i) {
        RGBQUAD q { GetBValue(table[i]), GetGValue(table[i]), GetRValue(table[i]), 0 };
        std::memcpy(p + sizeof header + i * sizeof q, &q, sizeof q);
    }
    BYTE* bitsOut = p + headerBytes;
    for (int y = 0; y < height; ++y) {
        BYTE* row = bitsOut + size_t(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const DWORD v = pixels[size_t(y) * size_t(width) + size_t(x)];
            switch (bits) {
            case 1:
                row[x / 8] |= BYTE((v & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= BYTE((v & 0x0F) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = BYTE(v);
                break;
            default:
                row[x * 3] = GetBValue(v);
                row[x * 3 + 1] = GetGValue(v);
                row[x * 3 + 2] = GetRValue(v);
                break;
            }
        }
    }
    GlobalUnlock(h);
    return h;
}

// A picture of the engine made from such a DIB.
int MakePic(int width, int height, int bits, const std::vector<COLORREF>& table, const std::vector<DWORD>& pixels)
{
    HGLOBAL h = MakeDib(width, height, bits, table, pixels);
    return CreatePicFromDIB(h, FALSE);
}

// A 24-bit picture of one colour.
int SolidPic(int width, int height, COLORREF colour)
{
    return MakePic(width, height, 24, {}, std::vector<DWORD>(size_t(width) * size_t(height), colour));
}

// The colour of a pixel of a picture of the engine, read by the record's
// documented layout.
COLORREF PicPixel(int nHandle, int x, int y)
{
    LTBITMAP* b = nullptr;
    if (!GetPicBitmap(nHandle, &b) || b == nullptr)
        return CLR_INVALID;
    const BYTE* row = b->Pixels.data() + size_t(y) * size_t(b->BytesPerLine);
    auto entry = [&](size_t i) {
        const RGBQUAD q = b->Palette.at(i);
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    };
    switch (b->BitsPerPixel) {
    case 1:
        return entry((row[x / 8] >> (7 - x % 8)) & 1);
    case 4:
        return entry((row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F);
    case 8:
        return entry(row[x]);
    default: {
        const BYTE* p = row + size_t(x) * size_t(b->BitsPerPixel / 8);
        return b->Order == LT_ORDER_RGB ? RGB(p[0], p[1], p[2]) : RGB(p[2], p[1], p[0]);
    }
    }
}

int Bits(int nHandle)
{
    int w = 0, h = 0, bits = 0;
    GetPicSize(nHandle, &w, &h, &bits);
    return bits;
}

// A memory DC over a bitmap of the screen's format, filled with a
// different colour at every pixel so that "unchanged" means exactly that.
class Canvas {
public:
    Canvas(int width, int height)
        : m_width(width)
        , m_height(height)
    {
        m_dc.CreateCompatibleDC(nullptr);
        HDC screen = ::GetDC(NULL);
        m_bitmap = ::CreateCompatibleBitmap(screen, width, height);
        ::ReleaseDC(NULL, screen);
        m_old = m_dc.SelectObject(HGDIOBJ(m_bitmap));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                m_dc.SetPixelV(x, y, Background(x, y));
    }
    ~Canvas()
    {
        m_dc.SelectObject(m_old);
        ::DeleteObject(m_bitmap);
    }
    static COLORREF Background(int x, int y) { return RGB(x * 7 % 200 + 20, y * 11 % 200 + 30, (x + y) % 97 + 60); }
    COLORREF At(int x, int y) const { return m_dc.GetPixel(x, y); }
    CDC* DC() { return &m_dc; }

    int m_width;
    int m_height;

private:
    CDC m_dc;
    HBITMAP m_bitmap = NULL;
    HGDIOBJ m_old = NULL;
};

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(int(GetRValue(a)) - int(GetRValue(b))) <= tolerance
        && std::abs(int(GetGValue(a)) - int(GetGValue(b))) <= tolerance
        && std::abs(int(GetBValue(a)) - int(GetBValue(b))) <= tolerance;
}

class PictureEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::InitFileSystem();
        threadwick::RegisterResources();
        m_folder = testing_support::MakeTempDir("engine");
        m_nStartCount = GetPicCount();
    }
    void TearDown() override
    {
        for (int h : m_handles)
            ReleasePicHandle(h);
        platform::SetAfxMessageBoxHandler(nullptr);
        platform::SetReplaceWriteStepForTests(nullptr);
        EXPECT_EQ(GetPicCount(), m_nStartCount) << "a test left pictures in the table";
    }
    int Keep(int nHandle)
    {
        if (nHandle > 0)
            m_handles.push_back(nHandle);
        return nHandle;
    }
    std::string Path(const std::string& name) const { return platform::WindowsPathFor(m_folder + "/" + name); }
    std::string Host(const std::string& name) const { return m_folder + "/" + name; }

    std::string m_folder;
    int m_nStartCount = 0;
    std::vector<int> m_handles;
};

// ---- Handles ---------------------------------------------------------------------------

TEST_F(PictureEngineTest, HandlesAreTheSmallestFreeNumberAndASecondReleaseFails)
{
    const int first = NextPicHandle();
    const int a = SolidPic(2, 2, kRed);
    const int b = SolidPic(2, 2, kRed);
    const int c = SolidPic(2, 2, kRed);
    ASSERT_EQ(a, first);
    ASSERT_GT(b, a);
    ASSERT_GT(c, b);
    EXPECT_EQ(GetPicCount(), m_nStartCount + 3);

    EXPECT_EQ(ReleasePicHandle(a), 0);
    EXPECT_EQ(ReleasePicHandle(b), 0);
    EXPECT_EQ(ReleasePicHandle(b), kPicErrBadHandle);
    EXPECT_EQ(GetPicCount(), m_nStartCount + 1);
    EXPECT_EQ(NextPicHandle(), a);
    EXPECT_EQ(Keep(SolidPic(2, 2, kBlue)), a);
    EXPECT_EQ(Keep(SolidPic(2, 2, kBlue)), b);
    EXPECT_EQ(ReleasePicHandle(c), 0);
    // Operations on a released handle find nothing.
    EXPECT_EQ(ReversePic(c), kPicErrBadHandle);
    EXPECT_EQ(PaintPic(c, nullptr, CRect(0, 0, 1, 1), CRect(0, 0, 1, 1), CRect()), kPicErrBadHandle);
    EXPECT_EQ(DuplicatePic(c), kPicErrBadHandle);
}

TEST_F(PictureEngineTest, HandlesSkipTheTwoMarkerValues)
{
    HGLOBAL dib = MakeDib(1, 1, 24, {}, {kRed});
    std::vector<int> made;
    while (NextPicHandle() < kPicNeverHandle1) {
        HGLOBAL copy = dib;
        const int h = CreatePicFromDIB(copy, TRUE);
        ASSERT_GT(h, 0);
        made.push_back(h);
    }
    GlobalFree(dib);
    EXPECT_EQ(NextPicHandle(), kPicNeverHandle2 + 1);
    const int past = SolidPic(1, 1, kRed);
    EXPECT_EQ(past, kPicNeverHandle2 + 1);
    // Released from the top down, the numbers below the markers come back.
    EXPECT_EQ(ReleasePicHandle(past), 0);
    EXPECT_EQ(ReleasePicHandle(made.back()), 0);
    EXPECT_EQ(NextPicHandle(), made.back());
    made.pop_back();
    for (int h : made)
        EXPECT_EQ(ReleasePicHandle(h), 0);
}

TEST_F(PictureEngineTest, FailedCreationsLeaveNothingInTheTable)
{
    const int next = NextPicHandle();
    int bits = -1;
    EXPECT_EQ(LoadPic(Path("missing.bmp").c_str(), 0, &bits), kPicErrNotFound);
    testing_support::WriteFileBytes(Host("damaged.bmp"), "BM this is not a picture at all");
    EXPECT_LT(LoadPic(Path("damaged.bmp").c_str(), 0, &bits), 0);
    const char junk[] = "not a picture";
    EXPECT_LT(LoadPicFromMemory(junk, sizeof junk, 0), 0);
    EXPECT_LT(CreatePicFromMemory(junk, sizeof junk, 0), 0);
    // A DIB whose header promises more rows than its block holds.
    HGLOBAL dib = MakeDib(4, 4, 24, {}, std::vector<DWORD>(16, kRed));
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    header->biHeight = 4000;
    GlobalUnlock(dib);
    EXPECT_LT(CreatePicFromDIB(dib, FALSE), 0);
    EXPECT_EQ(dib, HGLOBAL(NULL));
    // No scanner to select.
    EXPECT_EQ(AcquirePic(0), kPicErrNoScanner);
    EXPECT_EQ(GetPicCount(), m_nStartCount);
    EXPECT_EQ(NextPicHandle(), next);
}

TEST_F(PictureEngineTest, SizesOfUnknownAndEmptyPictures)
{
    int w = 0, h = 0, bits = 0;
    GetPicSize(-7, &w, &h, &bits);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(bits, 1);

    const int pic = Keep(SolidPic(3, 2, kRed));
    GetPicSize(pic, &w, &h, &bits);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(bits, 24);
    LTBITMAP* pBitmap = nullptr;
    ASSERT_EQ(GetPicBitmap(pic, &pBitmap), 1);
    LtInitBitmap(pBitmap, 0, 0, 24);
    GetPicSize(pic, &w, &h, &bits);
    EXPECT_EQ(w, 500);
    EXPECT_EQ(h, 500);
    EXPECT_EQ(GetPicBitmap(-7, &pBitmap), 0);
    EXPECT_EQ(pBitmap, nullptr);
}

TEST_F(PictureEngineTest, DuplicateIsIndependentAndKeepsTransparency)
{
    const int pic = Keep(MakePic(2, 1, 24, {}, {kRed, kBlue}));
    const COLORREF key = kBlue;
    ASSERT_EQ(SetPicTransparency(pic, TRUE, &key), 0);
    const int copy = Keep(DuplicatePic(pic));
    ASSERT_GT(copy, 0);
    BOOL on = FALSE;
    COLORREF colour = 0;
    EXPECT_EQ(GetPicTransparency(copy, &on, &colour), 0);
    EXPECT_TRUE(on);
    EXPECT_EQ(colour, kBlue);
    EXPECT_EQ(ReversePic(copy), 0);
    EXPECT_EQ(PicPixel(copy, 0, 0), kBlue);
    EXPECT_EQ(PicPixel(pic, 0, 0), kRed);
}

// ---- Messages ----------------------------------------------------------------------------

TEST_F(PictureEngineTest, ErrorTexts)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {kPicErrNotFound, "File not found"},
        {-1, "Not enough memory available"},
        {-12, "Picture format recognized, but sub-type not supported"},
        {-13, " "},
        {-21, "Internal picture error 21"},
        {kPicErrBadHandle, "Internal mapping error"},
        {-27, "Internal picture error 27"},
        {-28, "The picture is too large to open: it may have at most 20000 pixels on a side and 50 million "
              "pixels in all."},
        {-25, "Internal picture error 25"},
        {3, "Internal picture error 3"},
    };
    for (const auto& c : cases) {
        CString text;
        GetPicErrorText(c.code, text);
        EXPECT_STREQ(static_cast<LPCSTR>(text), c.text) << "code " << c.code;
    }
}

// ---- Colours ----------------------------------------------------------------------------

TEST_F(PictureEngineTest, TintCarriesBlackToTheTintAndKeepsWhite)
{
    const std::vector<COLORREF> table {kBlack, kWhite, kRed, RGB(100, 150, 200)};
    const std::vector<DWORD> pixels {0, 1, 2, 3};
    struct Case {
        COLORREF tint;
        int amount;
        COLORREF expected[4];
    };
    // grey(red) = MulDiv(6 x 255, 255, 5355) = 73; grey(100,150,200) =
    // MulDiv(3100, 255, 5355) = 148.
    const Case cases[] = {
        {RGB(255, 0, 0), 100, {RGB(255, 0, 0), kWhite, RGB(255, 73, 73), RGB(255, 148, 148)}},
        {RGB(0, 0, 0), 100, {RGB(0, 0, 0), kWhite, RGB(73, 73, 73), RGB(148, 148, 148)}},
        // Half the amount lightens: 255 - (255 - c) x 50 / 100, truncating.
        {RGB(0, 0, 0), 50, {RGB(128, 128, 128), kWhite, RGB(164, 164, 164), RGB(202, 202, 202)}},
        {RGB(0, 0, 255), 0, {kWhite, kWhite, kWhite, kWhite}},
    };
    for (const Case& c : cases) {
        const int pic = Keep(MakePic(4, 1, 8, table, pixels));
        ASSERT_EQ(TintPic(pic, c.tint, c.amount), 0);
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PicPixel(pic, x, 0), c.expected[x]) << "tint " << std::hex << c.tint << std::dec << " amount "
                                                           << c.amount << " pixel " << x;
    }
}

TEST_F(PictureEngineTest, TintReducesDeepPicturesToEightBits)
{
    const int pic = Keep(MakePic(2, 1, 24, {}, {kBlack, kWhite}));
    ASSERT_EQ(TintPic(pic, RGB(0, 0, 255), 100), 0);
    EXPECT_EQ(Bits(pic), 8);
    EXPECT_EQ(PicPixel(pic, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(PicPixel(pic, 1, 0), kWhite);
    EXPECT_EQ(TintPic(-3, kRed, 100), kPicErrBadHandle);

    // A picture with alpha keeps it.
    const int alpha = Keep(SolidPic(2, 1, kBlack));
    LTBITMAP* b = nullptr;
    ASSERT_EQ(GetPicBitmap(alpha, &b), 1);
    ASSERT_EQ(LtAllocateBitmap(b, 2, 1, 32), LT_SUCCESS);
    b->Pixels[3] = 0;
    b->Pixels[7] = 200;
    ASSERT_EQ(TintPic(alpha, RGB(0, 0, 255), 100), 0);
    EXPECT_EQ(Bits(alpha), 32);
    EXPECT_EQ(PicPixel(alpha, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(b->Pixels[3], 0);
    EXPECT_EQ(b->Pixels[7], 200);
}

// The application palette of the 8-bit screen tests: a ramp of reds and
// blues, so that each entry is a colour no fixed palette holds.
CPalette* TestAppPalette()
{
    static CPalette palette;
    if (palette.GetSafeHandle() == NULL) {
        std::vector<BYTE> block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
        auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
        log->palVersion = 0x300;
        log->palNumEntries = 256;
        for (int i = 0; i < 256; ++i)
            log->palPalEntry[i] = PALETTEENTRY {BYTE(i), BYTE(i / 2), BYTE(255 - i), 0};
        palette.CreatePalette(log);
    }
    return &palette;
}

class EightBitScreenTest : public PictureEngineTest {
protected:
    void SetUp() override
    {
        PictureEngineTest::SetUp();
        SetAppPaletteSource(&TestAppPalette);
        ASSERT_TRUE(platform::SetScreenBitsPixel(8));
    }
    void TearDown() override
    {
        platform::SetScreenBitsPixel(0);
        SetAppPaletteSource(nullptr);
        PictureEngineTest::TearDown();
    }
};

TEST_F(EightBitScreenTest, PicturesAreReducedToTheApplicationPalette)
{
    EXPECT_EQ(GetScreenColorDepth(), 8);
    // Entry 40 of the palette is (40, 20, 215).
    const std::string bmp = picture_files::BmpBytes(picture_files::Raster(2, 2, RGB(40, 20, 215)));
    const int pic = Keep(LoadPicFromMemory(bmp.data(), DWORD(bmp.size()), 0));
    ASSERT_GT(pic, 0);
    EXPECT_EQ(Bits(pic), 8);
    LTBITMAP* b = nullptr;
    ASSERT_EQ(GetPicBitmap(pic, &b), 1);
    ASSERT_EQ(b->Palette.size(), 256u);
    for (int i : {0, 40, 255})
        EXPECT_EQ(RGB(b->Palette[i].rgbRed, b->Palette[i].rgbGreen, b->Palette[i].rgbBlue), RGB(i, i / 2, 255 - i));
    EXPECT_EQ(b->Pixels[0], 40);
    // One-bit pictures stay as they are.
    const int mono = Keep(MakePic(8, 1, 1, {kBlack, kWhite}, {0, 1, 0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(Bits(mono), 1);
    EXPECT_TRUE(IsPicMonochrome(mono));
}

TEST_F(EightBitScreenTest, GreyScaleTakesTheScreensGreys)
{
    const int pic = Keep(MakePic(2, 1, 24, {}, {kBlack, kWhite}));
    ASSERT_TRUE(GrayScalePic(pic, 8));
    LTBITMAP* b = nullptr;
    ASSERT_EQ(GetPicBitmap(pic, &b), 1);
    ASSERT_EQ(b->Palette.size(), 256u);
    const struct {
        int index;
        BYTE grey;
    } expected[] = {{0, 0}, {6, 0}, {7, 41}, {39, 41}, {40, 49}, {72, 49}, {73, 128}, {160, 128}, {161, 192},
        {240, 192}, {241, 255}, {255, 255}};
    for (const auto& e : expected) {
        const RGBQUAD q = b->Palette[size_t(e.index)];
        EXPECT_EQ(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), RGB(e.grey, e.grey, e.grey)) << "index " << e.index;
    }
}

TEST_F(EightBitScreenTest, PalettesAreRealisedAndFreedWithTheirPicture)
{
    const int pic = Keep(MakePic(2, 1, 8, {kRed, kBlue}, {0, 1}));
    HDC hScreen = ::GetDC(NULL);
    CDC* pDC = CDC::FromHandle(hScreen);
    const HGDIOBJ before = ::GetCurrentObject(hScreen, OBJ_PAL);
    ASSERT_EQ(RealizePicPalette(pic, pDC), 0);
    const HGDIOBJ hPalette = ::GetCurrentObject(hScreen, OBJ_PAL);
    EXPECT_NE(hPalette, before);
    EXPECT_EQ(::GetObjectType(hPalette), DWORD(OBJ_PAL));
    PALETTEENTRY entry {};
    ASSERT_EQ(::GetPaletteEntries(HPALETTE(hPalette), 1, 1, &entry), 1u);
    EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), kBlue);
    EXPECT_EQ(RestorePicPalette(pic, pDC), 0);
    EXPECT_EQ(::GetCurrentObject(hScreen, OBJ_PAL), before);
    ::ReleaseDC(NULL, hScreen);
    // The screen palette of a load-mode 0 picture goes with it.
    EXPECT_EQ(ReleasePicHandle(pic), 0);
    EXPECT_EQ(::GetObjectType(hPalette), 0u);
    EXPECT_EQ(RealizePicPalette(pic, pDC), kPicErrBadHandle);
}

TEST_F(PictureEngineTest, GreyScaleOnATrueColourScreenKeepsTheRamp)
{
    const int pic = Keep(MakePic(2, 1, 24, {}, {RGB(10, 10, 10), kWhite}));
    ASSERT_TRUE(GrayScalePic(pic, 8));
    EXPECT_EQ(Bits(pic), 8);
    EXPECT_EQ(PicPixel(pic, 0, 0), RGB(10, 10, 10));
    EXPECT_EQ(PicPixel(pic, 1, 0), kWhite);
}

TEST_F(PictureEngineTest, QuickEffectsAnswerTheLibrarysResult)
{
    const int pic = Keep(MakePic(2, 1, 24, {}, {RGB(200, 100, 50), RGB(20, 40, 60)}));
    EXPECT_EQ(QuickEffectPic(pic, 99), LT_SUCCESS);
    EXPECT_EQ(PicPixel(pic, 0, 0), RGB(200, 100, 50));
    EXPECT_EQ(QuickEffectPic(pic, 4), LT_SUCCESS);
    const COLORREF lighter = PicPixel(pic, 1, 0);
    EXPECT_GT(GetRValue(lighter), 20);
    EXPECT_GT(GetBValue(lighter), 60);
    EXPECT_EQ(QuickEffectPic(pic, 0), LT_SUCCESS);
    EXPECT_EQ(Bits(pic), 8);
    const COLORREF grey = PicPixel(pic, 0, 0);
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    EXPECT_EQ(QuickEffectPic(-5, 0), kPicErrBadHandle);
}

// ---- Transparent drawing ---------------------------------------------------------------

// Draws a 4 x 3 DIB three times its size with DrawTransparentDIB and checks
// every destination pixel: the canvas exactly where the source pixel has
// the transparent colour, the source colour elsewhere.
void CheckTransparentDraw(int bits, const std::vector<COLORREF>& table, const std::vector<DWORD>& pixels,
    const std::vector<COLORREF>& colours)
{
    SCOPED_TRACE(testing::Message() << bits << " bits");
    HGLOBAL h = MakeDib(4, 3, bits, table, pixels);
    const auto* info = static_cast<const BITMAPINFO*>(GlobalLock(h));
    const BYTE* dibBits
        = reinterpret_cast<const BYTE*>(info) + sizeof(BITMAPINFOHEADER) + table.size() * sizeof(RGBQUAD);
    Canvas canvas(16, 12);
    EXPECT_EQ(DrawTransparentDIB(canvas.DC(), 2, 1, 12, 9, 0, 0, 4, 3, dibBits, info, kKey), 1);
    GlobalUnlock(h);
    GlobalFree(h);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 2 && x < 14 && y >= 1 && y < 10;
            COLORREF expected = Canvas::Background(x, y);
            if (inside) {
                const COLORREF c = colours[size_t((y - 1) / 3) * 4 + size_t((x - 2) / 3)];
                if (c != kKey)
                    expected = c;
            }
            ASSERT_EQ(canvas.At(x, y), expected) << "at " << x << ", " << y;
        }
    }
}

TEST_F(PictureEngineTest, TransparentDibKeepsTheDestinationExactlyAtEveryDepth)
{
    const std::vector<DWORD> twoColours {0, 1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1};
    std::vector<COLORREF> monoColours;
    for (DWORD v : twoColours)
        monoColours.push_back(v ? kKey : kBlack);
    CheckTransparentDraw(1, {kBlack, kKey}, twoColours, monoColours);

    // Four-bit and eight-bit DIBs with short colour tables.
    const std::vector<COLORREF> table {kRed, kKey, kGreen, kBlue, kWhite};
    const std::vector<DWORD> indexes {0, 1, 2, 3, 4, 1, 1, 0, 3, 2, 1, 4};
    std::vector<COLORREF> colours;
    for (DWORD v : indexes)
        colours.push_back(table[v]);
    CheckTransparentDraw(4, table, indexes, colours);
    CheckTransparentDraw(8, table, indexes, colours);

    std::vector<DWORD> direct(colours.begin(), colours.end());
    CheckTransparentDraw(24, {}, direct, colours);
}

// ---- Painting ------------------------------------------------------------------------------

TEST_F(PictureEngineTest, PaintGrowsShrinksMirrorsAndClips)
{
    // Four flat quadrants of 8 x 8.
    std::vector<DWORD> pixels(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[size_t(y) * 16 + size_t(x)] = y < 8 ? (x < 8 ? kRed : kGreen) : (x < 8 ? kBlue : kWhite);
    const int pic = Keep(MakePic(16, 16, 24, {}, pixels));
    const CRect source(0, 0, 16, 16);
    {
        Canvas canvas(64, 64);
        EXPECT_EQ(PaintPic(pic, canvas.DC(), source, CRect(0, 0, 64, 64), CRect()), 0);
        EXPECT_TRUE(Near(canvas.At(10, 10), kRed, 2));
        EXPECT_TRUE(Near(canvas.At(50, 10), kGreen, 2));
        EXPECT_TRUE(Near(canvas.At(10, 50), kBlue, 2));
        EXPECT_TRUE(Near(canvas.At(50, 50), kWhite, 2));
    }
    {
        Canvas canvas(64, 64);
        EXPECT_EQ(PaintPic(pic, canvas.DC(), source, CRect(2, 2, 10, 10), CRect()), 0);
        EXPECT_TRUE(Near(canvas.At(3, 3), kRed, 2));
        EXPECT_TRUE(Near(canvas.At(8, 8), kWhite, 2));
        EXPECT_EQ(canvas.At(12, 12), Canvas::Background(12, 12));
    }
    {
        // An inverted destination mirrors, in both directions of growth.
        Canvas canvas(64, 64);
        EXPECT_EQ(PaintPic(pic, canvas.DC(), source, CRect(64, 64, 0, 0), CRect()), 0);
        EXPECT_TRUE(Near(canvas.At(10, 10), kWhite, 2));
        EXPECT_TRUE(Near(canvas.At(50, 50), kRed, 2));
        Canvas small(16, 16);
        EXPECT_EQ(PaintPic(pic, small.DC(), source, CRect(8, 0, 0, 8), CRect()), 0);
        EXPECT_TRUE(Near(small.At(1, 1), kGreen, 2));
        EXPECT_TRUE(Near(small.At(6, 1), kRed, 2));
    }
    {
        // Nothing outside the clip changes.
        Canvas canvas(64, 64);
        EXPECT_EQ(PaintPic(pic, canvas.DC(), source, CRect(0, 0, 64, 64), CRect(0, 0, 32, 64)), 0);
        EXPECT_TRUE(Near(canvas.At(10, 10), kRed, 2));
        for (int x : {32, 40, 63})
            EXPECT_EQ(canvas.At(x, 10), Canvas::Background(x, 10));
    }
    {
        // An all-zero destination draws nothing.
        Canvas canvas(8, 8);
        EXPECT_EQ(PaintPic(pic, canvas.DC(), source, CRect(0, 0, 0, 0), CRect()), 0);
        EXPECT_EQ(canvas.At(0, 0), Canvas::Background(0, 0));
    }
}

TEST_F(PictureEngineTest, LargePictureGrowsWhereTheClipShowsIt)
{
    // Over a million pixels, zoomed to 200 % with only its middle showing.
    const int w = 1100;
    const int h = 1000;
    std::vector<DWORD> pixels(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels[size_t(y) * size_t(w) + size_t(x)]
                = y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kWhite);
    const int pic = Keep(MakePic(w, h, 24, {}, pixels));
    const CRect zoomed(32 - w, 32 - h, 32 + w, 32 + h);
    for (bool mirrored : {false, true}) {
        SCOPED_TRACE(mirrored ? "mirrored" : "upright");
        Canvas canvas(64, 64);
        const CRect dest = mirrored ? CRect(zoomed.right, zoomed.top, zoomed.left, zoomed.bottom) : zoomed;
        EXPECT_EQ(PaintPic(pic, canvas.DC(), CRect(0, 0, w, h), dest, CRect(0, 0, 48, 64)), 0);
        EXPECT_TRUE(Near(canvas.At(10, 10), mirrored ? kGreen : kRed, 2));
        EXPECT_TRUE(Near(canvas.At(40, 10), mirrored ? kRed : kGreen, 2));
        EXPECT_TRUE(Near(canvas.At(10, 50), mirrored ? kWhite : kBlue, 2));
        EXPECT_EQ(canvas.At(50, 50), Canvas::Background(50, 50));
    }
}

TEST_F(PictureEngineTest, TransparentPicturePaintsOnlyItsOpaquePixels)
{
    // Left half the transparent colour, right half blue, at 1, 8 and 24 bits.
    std::vector<DWORD> indexes(8 * 8);
    std::vector<DWORD> colours(8 * 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            indexes[size_t(y) * 8 + size_t(x)] = x < 4 ? 0 : 1;
            colours[size_t(y) * 8 + size_t(x)] = x < 4 ? kKey : kBlue;
        }
    }
    const COLORREF key = kKey;
    for (int bits : {1, 8, 24}) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        const int pic = Keep(bits == 24 ? MakePic(8, 8, 24, {}, colours) : MakePic(8, 8, bits, {kKey, kBlue}, indexes));
        ASSERT_EQ(SetPicTransparency(pic, TRUE, &key), 0);
        for (const CRect& dest : {CRect(0, 0, 32, 32), CRect(0, 0, 6, 6)}) {
            Canvas canvas(32, 32);
            EXPECT_EQ(PaintPic(pic, canvas.DC(), CRect(0, 0, 8, 8), dest, CRect()), 0);
            const int w = dest.Width();
            EXPECT_EQ(canvas.At(0, 0), Canvas::Background(0, 0)) << "width " << w;
            EXPECT_EQ(canvas.At(w / 4, w / 2), Canvas::Background(w / 4, w / 2)) << "width " << w;
            EXPECT_TRUE(Near(canvas.At(w - 1, w / 2), kBlue, 2)) << "width " << w;
        }
        // Mirrored, the transparent half is on the right.
        Canvas canvas(32, 32);
        EXPECT_EQ(PaintPic(pic, canvas.DC(), CRect(0, 0, 8, 8), CRect(32, 0, 0, 32), CRect()), 0);
        EXPECT_TRUE(Near(canvas.At(0, 16), kBlue, 2));
        EXPECT_EQ(canvas.At(31, 16), Canvas::Background(31, 16));
    }
}

TEST_F(PictureEngineTest, AlphaPicturePaintsWithItsAlpha)
{
    const int pic = Keep(SolidPic(8, 8, kRed));
    LTBITMAP* b = nullptr;
    ASSERT_EQ(GetPicBitmap(pic, &b), 1);
    ASSERT_EQ(LtAllocateBitmap(b, 8, 8, 32), LT_SUCCESS);
    // Left half clear, right half opaque blue.
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            BYTE* p = b->Pixels.data() + size_t(y) * size_t(b->BytesPerLine) + size_t(x) * 4;
            p[0] = 255;
            p[3] = x < 4 ? 0 : 255;
        }
    }
    for (const CRect& dest : {CRect(0, 0, 32, 32), CRect(0, 0, 8, 8), CRect(0, 0, 4, 4)}) {
        Canvas canvas(32, 32);
        EXPECT_EQ(PaintPic(pic, canvas.DC(), CRect(0, 0, 8, 8), dest, CRect()), 0);
        const int w = dest.Width();
        EXPECT_EQ(canvas.At(0, w / 2), Canvas::Background(0, w / 2)) << "width " << w;
        EXPECT_TRUE(Near(canvas.At(w - 1, w / 2), kBlue, 2)) << "width " << w;
    }
}

// The picture painted through the printing variant onto a page of the PDF
// printer, rendered by pdftoppm.
TEST_F(PictureEngineTest, OnPaperTransparentPixelsShowThePaper)
{
    if (std::system("pdftoppm -v > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm is not installed";
    std::vector<DWORD> pixels(8 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pixels[size_t(y) * 8 + size_t(x)] = x < 4 ? kKey : kBlue;
    const int pic = Keep(MakePic(8, 8, 24, {}, pixels));
    const COLORREF key = kKey;
    ASSERT_EQ(SetPicTransparency(pic, TRUE, &key), 0);
    const int opaque = Keep(SolidPic(4, 4, kGreen));
    // A picture with alpha: left half clear, right half opaque blue.
    const int alpha = Keep(SolidPic(8, 8, kRed));
    LTBITMAP* b = nullptr;
    ASSERT_EQ(GetPicBitmap(alpha, &b), 1);
    ASSERT_EQ(LtAllocateBitmap(b, 8, 8, 32), LT_SUCCESS);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            BYTE* p = b->Pixels.data() + size_t(y) * size_t(b->BytesPerLine) + size_t(x) * 4;
            p[0] = 255;
            p[3] = x < 4 ? 0 : 255;
        }
    }

    HDC hPrinter = ::CreateDC("WINSPOOL", "Test Printer", NULL, NULL);
    ASSERT_NE(hPrinter, HDC(NULL));
    const std::string pdf = Path("page.pdf");
    DOCINFO di {sizeof(DOCINFO), "Page", pdf.c_str(), nullptr, 0};
    ASSERT_GT(::StartDoc(hPrinter, &di), 0);
    ASSERT_GT(::StartPage(hPrinter), 0);
    const int dpi = ::GetDeviceCaps(hPrinter, LOGPIXELSX);
    {
        CDC dc;
        dc.Attach(hPrinter);
        dc.m_bPrinting = TRUE;
        // A red square under the transparent picture, an inch each.
        dc.FillSolidRect(CRect(dpi, dpi, 2 * dpi, 2 * dpi), kRed);
        EXPECT_EQ(PaintPic(pic, &dc, CRect(0, 0, 8, 8), CRect(dpi, dpi, 2 * dpi, 2 * dpi), CRect()), 0);
        EXPECT_EQ(PaintPic(pic, &dc, CRect(0, 0, 8, 8), CRect(3 * dpi, dpi, 4 * dpi, 2 * dpi), CRect()), 0);
        EXPECT_EQ(PaintPic(opaque, &dc, CRect(0, 0, 4, 4), CRect(dpi, 3 * dpi, 2 * dpi, 4 * dpi), CRect()), 0);
        dc.FillSolidRect(CRect(3 * dpi, 3 * dpi, 4 * dpi, 4 * dpi), kRed);
        EXPECT_EQ(PaintPic(alpha, &dc, CRect(0, 0, 8, 8), CRect(3 * dpi, 3 * dpi, 4 * dpi, 4 * dpi), CRect()), 0);
        dc.Detach();
    }
    ASSERT_GT(::EndPage(hPrinter), 0);
    ASSERT_GT(::EndDoc(hPrinter), 0);
    ::DeleteDC(hPrinter);
    const std::string command = "pdftoppm -r 20 '" + Host("page.pdf") + "' '" + Host("page") + "' 2> /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string bytes = testing_support::ReadFileBytes(Host("page-1.ppm"));
    int w = 0, h = 0, maxval = 0, used = 0;
    ASSERT_EQ(std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &w, &h, &maxval, &used), 3);
    // Device (0, 0) is the printable area's corner, a quarter inch in.
    auto at = [&](double xInch, double yInch) {
        const size_t x = size_t((xInch + 0.25) * 20);
        const size_t y = size_t((yInch + 0.25) * 20);
        const size_t i = size_t(used + 1) + (y * size_t(w) + x) * 3;
        return RGB(BYTE(bytes[i]), BYTE(bytes[i + 1]), BYTE(bytes[i + 2]));
    };
    // Over the red square: red where transparent, blue where not.
    EXPECT_TRUE(Near(at(1.2, 1.5), kRed, 8));
    EXPECT_TRUE(Near(at(1.8, 1.5), kBlue, 8));
    // Alone on the page: the paper where transparent.
    EXPECT_TRUE(Near(at(3.2, 1.5), kWhite, 8));
    EXPECT_TRUE(Near(at(3.8, 1.5), kBlue, 8));
    EXPECT_TRUE(Near(at(1.5, 3.5), kGreen, 8));
    EXPECT_TRUE(Near(at(3.2, 3.5), kRed, 8));
    EXPECT_TRUE(Near(at(3.8, 3.5), kBlue, 8));
}

TEST_F(PictureEngineTest, DeviceBitmapHoldsThePicture)
{
    const int pic = Keep(MakePic(3, 2, 24, {}, {kRed, kGreen, kBlue, kWhite, kBlack, kRed}));
    Canvas canvas(4, 4);
    HBITMAP hBitmap = CreatePicDDB(canvas.DC(), pic, nullptr);
    ASSERT_NE(hBitmap, HBITMAP(NULL));
    BITMAP bm {};
    ASSERT_NE(::GetObject(hBitmap, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ old = dc.SelectObject(HGDIOBJ(hBitmap));
    EXPECT_EQ(dc.GetPixel(0, 0), kRed);
    EXPECT_EQ(dc.GetPixel(2, 0), kBlue);
    EXPECT_EQ(dc.GetPixel(1, 1), kBlack);
    dc.SelectObject(old);
    // And back from the device bitmap.
    const int back = Keep(CreatePicFromDDB(hBitmap, NULL, FALSE, 0));
    ASSERT_GT(back, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PicPixel(back, x, y), PicPixel(pic, x, y)) << x << ", " << y;
    ::DeleteObject(hBitmap);
    EXPECT_EQ(CreatePicDDB(canvas.DC(), -1, nullptr), HBITMAP(NULL));
}

// ---- Saving ---------------------------------------------------------------------------------

TEST_F(PictureEngineTest, MemoryRoundTripsKeepThePicture)
{
    struct Case {
        const char* name;
        int pic;
        BOOL eightBit;
        int format;
        int bits;
        bool exact;
    };
    const int colour = Keep(MakePic(16, 16, 24, {}, std::vector<DWORD>(256, RGB(200, 40, 60))));
    const int indexed = Keep(MakePic(4, 1, 8, {kRed, kGreen, kBlue, kWhite}, {0, 1, 2, 3}));
    const int mono = Keep(MakePic(8, 1, 1, {kBlack, kWhite}, {0, 1, 1, 0, 0, 0, 1, 1}));
    const int transparent = Keep(MakePic(2, 1, 24, {}, {kKey, kBlue}));
    const COLORREF key = kKey;
    SetPicTransparency(transparent, TRUE, &key);
    const int eight = Keep(MakePic(2, 1, 24, {}, {kRed, kBlue}));
    const Case cases[] = {
        {"colour", colour, FALSE, LT_FORMAT_JPEG, 24, false},
        {"indexed", indexed, FALSE, LT_FORMAT_PNG, 8, true},
        {"mono", mono, FALSE, LT_FORMAT_PNG, 1, true},
        {"transparent", transparent, FALSE, LT_FORMAT_PNG, 24, true},
        {"eight-bit flag", eight, TRUE, LT_FORMAT_PNG, 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HGLOBAL hMemory = NULL;
        DWORD size = 0;
        ASSERT_TRUE(SavePicToMemory(c.pic, &hMemory, &size, c.eightBit));
        ASSERT_NE(hMemory, HGLOBAL(NULL));
        const void* p = GlobalLock(hMemory);
        LTFILEINFO info;
        ASSERT_EQ(LtMemInfo(p, &info, size, 0), LT_SUCCESS);
        EXPECT_EQ(info.Format, c.format);
        const int back = Keep(LoadPicFromMemory(p, size, 0));
        const int created = Keep(CreatePicFromMemory(p, size, 0));
        GlobalUnlock(hMemory);
        GlobalFree(hMemory);
        ASSERT_GT(back, 0);
        ASSERT_GT(created, 0);
        int w0 = 0, h0 = 0, w1 = 0, h1 = 0, bits = 0;
        GetPicSize(c.pic, &w0, &h0, nullptr);
        GetPicSize(back, &w1, &h1, &bits);
        EXPECT_EQ(w1, w0);
        EXPECT_EQ(h1, h0);
        EXPECT_EQ(bits, c.bits);
        for (int y = 0; y < h0; ++y) {
            for (int x = 0; x < w0; ++x) {
                if (c.exact) {
                    EXPECT_EQ(PicPixel(back, x, y), PicPixel(c.pic, x, y)) << x << ", " << y;
                    EXPECT_EQ(PicPixel(created, x, y), PicPixel(c.pic, x, y)) << x << ", " << y;
                } else {
                    EXPECT_TRUE(Near(PicPixel(back, x, y), PicPixel(c.pic, x, y), 8)) << x << ", " << y;
                }
            }
        }
    }
}

TEST_F(PictureEngineTest, ExportNamesTheFormatByTheLastThreeLetters)
{
    const int pic = Keep(SolidPic(5, 3, kBlue));
    const struct {
        const char* name;
        int format;
    } cases[] = {
        {"a.png", LT_FORMAT_PNG},
        {"b.Tif", LT_FORMAT_TIF},
        {"c.bmp", LT_FORMAT_BMP},
        // A four-letter extension matches nothing and gives a bitmap.
        {"d.jpeg", LT_FORMAT_BMP},
        {"e.jpg", LT_FORMAT_JPEG},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(ExportPic(pic, Path(c.name).c_str(), FALSE, FALSE, 0), 0);
        LTFILEINFO info;
        ASSERT_EQ(LtFileInfo(Path(c.name).c_str(), &info), LT_SUCCESS);
        EXPECT_EQ(info.Format, c.format);
        EXPECT_EQ(info.Width, 5);
        EXPECT_EQ(info.Height, 3);
    }
    // Grey pictures go into JPEG files as grey.
    const int grey = Keep(SolidPic(5, 3, RGB(90, 90, 90)));
    ASSERT_TRUE(GrayScalePic(grey, 8));
    ASSERT_EQ(ExportPic(grey, Path("g.jpg").c_str(), FALSE, FALSE, 0), 0);
    LTFILEINFO greyInfo;
    ASSERT_EQ(LtFileInfo(Path("g.jpg").c_str(), &greyInfo), LT_SUCCESS);
    EXPECT_EQ(greyInfo.BitsPerPixel, 8);
    // The default flag writes a bitmap whatever the name.
    ASSERT_EQ(ExportPic(pic, Path("f.png").c_str(), TRUE, FALSE, 0), 0);
    LTFILEINFO info;
    ASSERT_EQ(LtFileInfo(Path("f.png").c_str(), &info), LT_SUCCESS);
    EXPECT_EQ(info.Format, LT_FORMAT_BMP);
}

bool FailingWrite(int, const void*, size_t)
{
    errno = ENOSPC;
    return false;
}

TEST_F(PictureEngineTest, FailedSaveAndExportKeepTheOldFile)
{
    const int pic = Keep(SolidPic(4, 4, kGreen));
    const std::string old = "the file that was there before";
    std::vector<std::string> boxes;
    platform::SetAfxMessageBoxHandler([&](LPCSTR text, UINT, UINT) {
        boxes.push_back(text);
        return 1; // IDOK
    });

    // CMP is not written, although the library saves its code as PNG.
    testing_support::WriteFileBytes(Host("old.cmp"), old);
    EXPECT_LT(ExportPic(pic, Path("old.cmp").c_str(), FALSE, FALSE, 0), 0);
    EXPECT_EQ(testing_support::ReadFileBytes(Host("old.cmp")), old);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Unable to export to specified format.");
    boxes.clear();

    // The formats of the table the library writes itself replace the file.
    const std::pair<const char*, int> written[] = {{"old.wmf", 0}, {"old.wpg", LT_FORMAT_WPG},
        {"old.mac", LT_FORMAT_MAC}, {"old.msp", LT_FORMAT_MSP}, {"old.img", LT_FORMAT_IMG}};
    for (const auto& [name, format] : written) {
        testing_support::WriteFileBytes(Host(name), old);
        EXPECT_EQ(ExportPic(pic, Path(name).c_str(), FALSE, FALSE, 0), 0) << name;
        EXPECT_NE(testing_support::ReadFileBytes(Host(name)), old) << name;
        LTFILEINFO info;
        if (format != 0) {
            ASSERT_EQ(LtFileInfo(Path(name).c_str(), &info), LT_SUCCESS) << name;
            EXPECT_EQ(info.Format, format);
        }
    }
    EXPECT_TRUE(boxes.empty());

    // A disk that fails while writing.
    platform::SetReplaceWriteStepForTests(&FailingWrite);
    testing_support::WriteFileBytes(Host("old.bmp"), old);
    EXPECT_LT(ExportPic(pic, Path("old.bmp").c_str(), FALSE, FALSE, 0), 0);
    EXPECT_EQ(testing_support::ReadFileBytes(Host("old.bmp")), old);
    EXPECT_EQ(boxes.size(), 1u);
    testing_support::WriteFileBytes(Host("old.jpg"), old);
    EXPECT_LT(SavePicToFile(pic, Path("old.jpg").c_str(), FALSE), 0);
    EXPECT_EQ(testing_support::ReadFileBytes(Host("old.jpg")), old);
    EXPECT_EQ(boxes.size(), 1u) << "saving fails silently";
    platform::SetReplaceWriteStepForTests(nullptr);

    // And a save that works replaces it.
    EXPECT_EQ(SavePicToFile(pic, Path("old.jpg").c_str(), FALSE), 0);
    LTFILEINFO info;
    ASSERT_EQ(LtFileInfo(Path("old.jpg").c_str(), &info), LT_SUCCESS);
    EXPECT_EQ(info.Format, LT_FORMAT_JPEG);
    int bits = 0;
    const int back = Keep(LoadPic(Path("old.jpg").c_str(), 0, &bits));
    ASSERT_GT(back, 0);
    EXPECT_EQ(bits, 24);
    EXPECT_TRUE(Near(PicPixel(back, 2, 2), kGreen, 8));
}

} // namespace
