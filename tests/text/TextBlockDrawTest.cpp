// Drawing of block text read back from memory bitmaps: which of plain text,
// glyph outlines and the cached bitmap a block takes on each device, and
// what lands where (warps, justification, columns, fitting, turning,
// mirroring, the shadow and text filled by its object).

#include "text/TextBlock.h"

#include "app/PrefData.h"
#include "app/PrintPrefData.h"
#include "model/DrawRect.h"
#include "model/TextOwnerServices.h"
#include "pictures/Image.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PreviewDc.h"
#include "platform/ui/Headless.h"
#include "tests/support/MemoryCanvas.h"
#include "tests/text/CanvasInkSupport.h"
#include "text/TextOwner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing_support::MemoryCanvas;

constexpr const char* kMono = "Liberation Mono";
constexpr COLORREF kCanvas = RGB(1, 2, 3);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

using texttest::Ink;
using texttest::InkIn;

// The topmost inked row of the columns [x0, x1), or -1.
int TopInk(MemoryCanvas& canvas, int x0, int x1, int nHeight, COLORREF crBack)
{
    for (int y = 0; y < nHeight; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (canvas.At(x, y) != crBack)
                return y;
        }
    }
    return -1;
}

enum class Drawn { Nothing, Plain, Glyph, Bitmap };

const char* Name(Drawn d)
{
    switch (d) {
    case Drawn::Nothing: return "nothing";
    case Drawn::Plain: return "plain";
    case Drawn::Glyph: return "glyph";
    case Drawn::Bitmap: return "bitmap";
    }
    return "?";
}

class TextBlockDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        RegisterTextOwnerServices();
        m_saved = GetTextOwnerServices();
        m_savedFlags = thePrefs.Flags;
        m_savedPrinting = thePrintPrefs.Printing;
        thePrefs.Flags = 0;
        thePrintPrefs.Printing = CPrintPrefData::kDefaultPrinting;
        s_nZoom = 100;
        s_bFills = FALSE;
        TextOwnerServices services = m_saved;
        services.pfnZoom = [](const CDrawObj*) { return s_nZoom; };
        services.pfnFillsText = [](const CDrawObj*) { return s_bFills; };
        // A texture of red and blue bands, two pixels each.
        services.pfnPaintFill = [](CDrawObj*, CDC* pDC, const CRect& rect) {
            for (int y = rect.top; y < rect.bottom; ++y)
                pDC->FillSolidRect(rect.left, y, rect.Width(), 1, (y / 2) % 2 ? RGB(0, 0, 255) : kRed);
        };
        SetTextOwnerServices(services);
    }
    void TearDown() override
    {
        SetTextOwnerServices(m_saved);
        thePrefs.Flags = m_savedFlags;
        thePrintPrefs.Printing = m_savedPrinting;
    }

    static void Prepare(CTextBlock& block, const char* pszText, int nPoints = 24)
    {
        block.SetFont(-nPoints, kMono, 0);
        block.m_crText = kBlack;
        block.SetText(pszText);
    }

    static void DrawAt(CTextBlock& block, CDC* pDC, const CRect& frame)
    {
        if (frame != block.m_rectFrame)
            block.SetRect(frame);
        block.Draw(pDC);
    }

    static int s_nZoom;
    static BOOL s_bFills;
    TextOwnerServices m_saved;
    WORD m_savedFlags = 0;
    WORD m_savedPrinting = 0;
};

int TextBlockDrawTest::s_nZoom = 100;
BOOL TextBlockDrawTest::s_bFills = FALSE;

// What a drawing was: the cache tells a bitmap; plain text is exactly what
// text output of the block's font gives at the frame's corner less the left
// margin; anything else drawn is glyph outlines.
Drawn Classify(CTextBlock& block, MemoryCanvas& canvas, const CRect& frame, const char* pszText)
{
    if (block.m_pCachedBitmap != nullptr || block.m_pCachedPicture != nullptr)
        return Drawn::Bitmap;
    const CRect area(0, 0, 320, 200);
    if (InkIn(canvas, area, kCanvas).nCount == 0)
        return Drawn::Nothing;
    MemoryCanvas expected(area.Width(), area.Height());
    CDC* pDC = expected.DC();
    CFont* pOld = pDC->SelectObject(block.m_pFont);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(block.m_crText);
    pDC->TextOut(std::min(frame.left, frame.right) + block.m_nLeftMargin, std::min(frame.top, frame.bottom), pszText,
        static_cast<int>(std::strlen(pszText)));
    pDC->SelectObject(pOld);
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x)
            if (canvas.At(x, y) != expected.At(x, y))
                return Drawn::Glyph;
    return Drawn::Plain;
}

TEST_F(TextBlockDrawTest, RenderChoosesPlainGlyphOrBitmapByDeviceAndLook)
{
    enum Device { Screen, Printer, Preview };
    struct Case {
        int nAngle;
        BOOL bMirror;
        int nShape;
        BOOL bFills;
        BOOL bNoOutlines;
        Device device;
        WORD wPrinting;
        Drawn expected;
    };
    const WORD kAuto = CPrintPrefData::kDefaultPrinting;
    const WORD kDirect = PRINT_PREF_TEXT_DIRECT;
    const WORD kBitmapMethod = 0;
    // Method 1 of the shaped-text methods switches glyph text off.
    const WORD kGlyphOff =
        WORD((kAuto & ~PRINT_PREF_SHAPED_AUTO) | PRINT_PREF_SHAPED_METHOD1 | PRINT_PREF_SHAPED_METHOD);
    const WORD kGlyphOffBitmapMethod = WORD(PRINT_PREF_SHAPED_METHOD1 | PRINT_PREF_SHAPED_METHOD);
    const Case cases[] = {
        {0, FALSE, 0, FALSE, FALSE, Screen, kAuto, Drawn::Plain},
        {0, FALSE, 0, FALSE, TRUE, Screen, kAuto, Drawn::Plain},
        {30, FALSE, 0, FALSE, FALSE, Screen, kAuto, Drawn::Glyph},
        {30, FALSE, 0, FALSE, TRUE, Screen, kAuto, Drawn::Glyph},
        {0, TRUE, 0, FALSE, FALSE, Screen, kAuto, Drawn::Glyph},
        {0, TRUE, 0, FALSE, TRUE, Screen, kAuto, Drawn::Bitmap},
        {0, FALSE, 16, FALSE, FALSE, Screen, kAuto, Drawn::Glyph},
        {0, FALSE, 16, FALSE, TRUE, Screen, kAuto, Drawn::Bitmap},
        {0, FALSE, 0, TRUE, TRUE, Screen, kAuto, Drawn::Glyph},
        {0, FALSE, 0, FALSE, FALSE, Printer, kAuto, Drawn::Plain},
        {0, FALSE, 0, FALSE, FALSE, Printer, kDirect, Drawn::Plain},
        {0, FALSE, 0, FALSE, FALSE, Printer, kBitmapMethod, Drawn::Glyph},
        {0, TRUE, 0, FALSE, TRUE, Printer, kAuto, Drawn::Glyph},
        {0, FALSE, 8, FALSE, TRUE, Printer, kAuto, Drawn::Glyph},
        {30, FALSE, 0, FALSE, FALSE, Printer, kAuto, Drawn::Glyph},
        {0, FALSE, 0, FALSE, FALSE, Preview, kAuto, Drawn::Glyph},
        {0, FALSE, 0, FALSE, TRUE, Preview, kAuto, Drawn::Glyph},
        // Glyph text switched off: mirrored and shaped text goes through the
        // bitmap on every device; turned text and text its object fills
        // have no other way than outlines; plain text stays plain.
        {0, FALSE, 0, FALSE, FALSE, Screen, kGlyphOff, Drawn::Plain},
        {0, TRUE, 0, FALSE, FALSE, Screen, kGlyphOff, Drawn::Bitmap},
        {0, FALSE, 16, FALSE, FALSE, Screen, kGlyphOff, Drawn::Bitmap},
        {0, TRUE, 0, FALSE, FALSE, Printer, kGlyphOff, Drawn::Bitmap},
        {0, FALSE, 8, FALSE, FALSE, Printer, kGlyphOff, Drawn::Bitmap},
        {0, FALSE, 8, FALSE, FALSE, Preview, kGlyphOff, Drawn::Bitmap},
        {0, FALSE, 0, FALSE, FALSE, Printer, kGlyphOff, Drawn::Plain},
        {0, FALSE, 0, FALSE, FALSE, Printer, kGlyphOffBitmapMethod, Drawn::Bitmap},
        {30, FALSE, 0, FALSE, FALSE, Printer, kGlyphOff, Drawn::Glyph},
        {30, FALSE, 8, FALSE, FALSE, Screen, kGlyphOff, Drawn::Glyph},
        {0, FALSE, 8, TRUE, FALSE, Screen, kGlyphOff, Drawn::Glyph},
        // The automatic choice keeps the outlines whatever else is set.
        {0, FALSE, 8, FALSE, FALSE, Printer, WORD(kGlyphOff | PRINT_PREF_SHAPED_AUTO), Drawn::Glyph},
    };
    int nCase = 0;
    for (const Case& c : cases) {
        ++nCase;
        MemoryCanvas canvas(320, 200);
        thePrintPrefs.Printing = c.wPrinting;
        s_bFills = c.bFills;
        // A stand-in owner where the test's services paint the text.
        CTextBlock block(c.bFills ? reinterpret_cast<CDrawObj*>(&canvas) : nullptr);
        Prepare(block, "Hxg");
        block.SetShape(c.nShape);
        if (c.bNoOutlines)
            block.m_wFlags |= TEXTBLOCK_NO_OUTLINES;
        const CRect frame = c.bMirror ? CRect(260, 60, 60, 140) : CRect(60, 60, 260, 140);
        block.SetGeometry(c.nAngle, frame, frame);
        CPreviewDC preview;
        CDC* pDC = canvas.DC();
        if (c.device == Printer) {
            pDC->m_bPrinting = TRUE;
        } else if (c.device == Preview) {
            preview.SetAttribDC(canvas.DC()->GetSafeHdc());
            preview.SetOutputDC(canvas.DC()->GetSafeHdc());
            pDC = &preview;
        }
        DrawAt(block, pDC, frame);
        const Drawn drawn = Classify(block, canvas, frame, "Hxg");
        EXPECT_EQ(drawn, c.expected) << "case " << nCase << " drew " << Name(drawn);
        if (c.device == Preview) {
            preview.ReleaseOutputDC();
            preview.ReleaseAttribDC();
        }
        canvas.DC()->m_bPrinting = FALSE;
        EXPECT_EQ((block.m_wFlags & TEXTBLOCK_PRINTER_CACHE) != 0, c.device != Screen) << "case " << nCase;
    }
}

TEST_F(TextBlockDrawTest, TheCachedBitmapLeavesTheDestinationUnderItsWhite)
{
    for (const BOOL bMirror : {FALSE, TRUE}) {
        MemoryCanvas canvas(300, 100);
        // Stripes of red and green behind the text.
        for (int x = 0; x < 300; x += 2)
            canvas.DC()->FillSolidRect(x, 0, 1, 100, x % 4 ? kRed : RGB(0, 255, 0));
        CTextBlock block(nullptr);
        Prepare(block, "HH");
        // Bitmaps: a flat warp, or a mirror, kept off the glyph outlines.
        block.m_wFlags |= TEXTBLOCK_NO_OUTLINES;
        block.SetShape(bMirror ? 0 : 16);
        const CRect frame = bMirror ? CRect(290, 10, 10, 90) : CRect(10, 10, 290, 90);
        DrawAt(block, canvas.DC(), frame);
        ASSERT_TRUE(block.m_pCachedBitmap != nullptr || block.m_pCachedPicture != nullptr) << bMirror;
        // Between the letters and around them the stripes show unchanged.
        int nChanged = 0;
        int nBlack = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 300; ++x) {
                const COLORREF cr = canvas.At(x, y);
                const COLORREF stripe = x % 2 ? kCanvas : x % 4 ? kRed : RGB(0, 255, 0);
                nBlack += cr == kBlack ? 1 : 0;
                nChanged += cr != stripe && cr != kBlack ? 1 : 0;
            }
        }
        EXPECT_GT(nBlack, 200) << bMirror;
        // Only the smoothed edges of the strokes are anything else.
        EXPECT_LT(nChanged, nBlack) << bMirror;
        EXPECT_EQ(InkIn(canvas, CRect(0, 0, 300, 100), kCanvas, kWhite).nCount, 0) << bMirror;

        // A repeated paint draws the same from the cache.
        const COLORREF before = canvas.At(30, 50);
        DrawAt(block, canvas.DC(), frame);
        EXPECT_TRUE(block.m_pCachedBitmap != nullptr || block.m_pCachedPicture != nullptr);
        EXPECT_EQ(canvas.At(30, 50), before);
    }
}

TEST_F(TextBlockDrawTest, AFlatWarpIsAPlainStretchAndAnArcBendsTheColumns)
{
    const CRect frame(0, 0, 400, 80);
    MemoryCanvas plain(400, 80);
    plain.DC()->FillSolidRect(0, 0, 400, 80, kWhite);
    CTextBlock straight(nullptr);
    Prepare(straight, "HHHHHHHHHHHHH", 36);
    DrawAt(straight, plain.DC(), frame);

    MemoryCanvas flat(400, 80);
    flat.DC()->FillSolidRect(0, 0, 400, 80, kWhite);
    CTextBlock warped(nullptr);
    Prepare(warped, "HHHHHHHHHHHHH", 36);
    warped.m_wFlags |= TEXTBLOCK_NO_OUTLINES;
    warped.SetShape(16);
    DrawAt(warped, flat.DC(), frame);
    // The flat shape stretches the text's own rectangle over the frame, as
    // the outlines are stretched: the row of H's runs from edge to edge,
    // upright, taller by the frame's height over the line's.
    const Ink plainInk = InkIn(plain, frame, kWhite);
    const Ink flatInk = InkIn(flat, frame, kWhite);
    EXPECT_GT(plainInk.nCount, 1000);
    EXPECT_LE(flatInk.bounds.left, 6);
    EXPECT_GE(flatInk.bounds.right, 394);
    const int nLineHeight = straight.GetLineHeight(plain.DC());
    ASSERT_GT(nLineHeight, 0);
    const double stretch = 82.0 / nLineHeight;
    EXPECT_NEAR(flatInk.bounds.Height(), plainInk.bounds.Height() * stretch, 3.0);
    EXPECT_NEAR(flatInk.bounds.top, plainInk.bounds.top * stretch, 3.0);

    // Kind 8 arcs down: the text's top lies at the frame's top at both ends
    // and half the height lower in the middle.
    MemoryCanvas arc(400, 80);
    arc.DC()->FillSolidRect(0, 0, 400, 80, kWhite);
    CTextBlock bent(nullptr);
    Prepare(bent, "HHHHHHHHHHHHH", 36);
    bent.m_wFlags |= TEXTBLOCK_NO_OUTLINES | TEXTBLOCK_AUTO_SIZE;
    bent.SetShape(8);
    DrawAt(bent, arc.DC(), frame);
    const int nLeft = TopInk(arc, 0, 24, 80, kWhite);
    const int nMiddle = TopInk(arc, 194, 206, 80, kWhite);
    const int nRight = TopInk(arc, 370, 400, 80, kWhite);
    ASSERT_GE(nLeft, 0);
    ASSERT_GE(nMiddle, 0);
    ASSERT_GE(nRight, 0);
    EXPECT_LE(nLeft, 12);
    EXPECT_LE(nRight, 12);
    EXPECT_GE(nMiddle, 30);
}

TEST_F(TextBlockDrawTest, AJustifiedLineSpreadsItsBlanks)
{
    MemoryCanvas canvas(300, 60);
    CTextBlock block(nullptr);
    // 12 points: 10 pixels a character.
    Prepare(block, "a b c", 12);
    block.m_nAlignment = 3;
    DrawAt(block, canvas.DC(), CRect(0, 0, 300, 60));
    // Alone on its line, it is spread from the left margin to the right
    // margin: the c ends near 298, the b stands in the middle.
    const Ink all = InkIn(canvas, CRect(0, 0, 300, 60), kCanvas);
    EXPECT_LE(all.bounds.left, 4);
    EXPECT_GE(all.bounds.right, 288);
    EXPECT_GT(InkIn(canvas, CRect(140, 0, 160, 60), kCanvas).nCount, 10);
    EXPECT_EQ(InkIn(canvas, CRect(20, 0, 135, 60), kCanvas).nCount, 0);

    // Left aligned, the same text stays 50 pixels wide.
    MemoryCanvas left(300, 60);
    block.m_nAlignment = 0;
    block.FreeCache();
    DrawAt(block, left.DC(), CRect(0, 0, 300, 60));
    EXPECT_LE(InkIn(left, CRect(0, 0, 300, 60), kCanvas).bounds.right, 55);
}

TEST_F(TextBlockDrawTest, ThreeColumnsStandApartAndMirroredFromTheRight)
{
    // 300 pixels: columns of 87 a gap of 19 apart. One line each: the
    // first column holds the wide text.
    for (const BOOL bMirror : {FALSE, TRUE}) {
        MemoryCanvas canvas(300, 40);
        CTextBlock block(nullptr);
        Prepare(block, "WWWWWWW\n.\n.", 12);
        block.SetColumns(3);
        const CRect frame = bMirror ? CRect(300, 0, 0, 20) : CRect(0, 0, 300, 20);
        DrawAt(block, canvas.DC(), frame);
        const int nFirst = InkIn(canvas, CRect(0, 0, 87, 40), kCanvas).nCount;
        const int nLast = InkIn(canvas, CRect(213, 0, 300, 40), kCanvas).nCount;
        EXPECT_GT(InkIn(canvas, CRect(106, 0, 193, 40), kCanvas).nCount, 0) << bMirror;
        EXPECT_EQ(InkIn(canvas, CRect(90, 0, 104, 40), kCanvas).nCount, 0) << bMirror;
        EXPECT_EQ(InkIn(canvas, CRect(196, 0, 210, 40), kCanvas).nCount, 0) << bMirror;
        if (bMirror)
            EXPECT_GT(nLast, 4 * nFirst);
        else
            EXPECT_GT(nFirst, 4 * nLast);
    }
}

TEST_F(TextBlockDrawTest, AFittedBlockFillsItsFrameAtEveryZoom)
{
    for (int nZoom : {37, 100, 200}) {
        s_nZoom = nZoom;
        MemoryCanvas canvas(500, 200);
        CDC* pDC = canvas.DC();
        // The surface's mapping: hundredths of an inch, y up.
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(100, -100);
        pDC->SetViewportExt(96 * nZoom / 100, 96 * nZoom / 100);
        CTextBlock block(nullptr);
        Prepare(block, "Sale\nnow");
        block.m_wFlags = TEXTBLOCK_AUTO_SIZE;
        const int nPerInch = 96 * nZoom / 100;
        const CRect frame(10, -10, 10 + 40000 / nPerInch, -10 - 12000 / nPerInch);
        DrawAt(block, pDC, frame);
        CRect device = frame;
        pDC->LPtoDP(&device);
        device.NormalizeRect();
        pDC->SetMapMode(MM_TEXT);
        const Ink ink = InkIn(canvas, CRect(0, 0, 500, 200), kCanvas);
        ASSERT_GT(ink.nCount, 100) << nZoom;
        EXPECT_GE(ink.bounds.left, device.left - 1) << nZoom;
        EXPECT_LE(ink.bounds.right, device.right + 1) << nZoom;
        EXPECT_GE(ink.bounds.top, device.top - 1) << nZoom;
        EXPECT_LE(ink.bounds.bottom, device.bottom + 1) << nZoom;
        // Filled in width or in height.
        const BOOL bWide = ink.bounds.Width() * 100 >= device.Width() * 80;
        const BOOL bTall = ink.bounds.Height() * 100 >= device.Height() * 70;
        EXPECT_TRUE(bWide || bTall) << nZoom << ": " << ink.bounds.Width() << " x " << ink.bounds.Height() << " in "
                                    << device.Width() << " x " << device.Height();
    }
}

TEST_F(TextBlockDrawTest, ATurnedBlockLiesInsideItsTurnedBounds)
{
    MemoryCanvas canvas(400, 300);
    CTextBlock block(nullptr);
    Prepare(block, "HHHHHHHH\nHHHHHHHH", 24);
    block.m_wFlags = TEXTBLOCK_AUTO_SIZE;
    const CRect frame(100, 100, 300, 180);
    block.SetGeometry(30, frame, frame);
    DrawAt(block, canvas.DC(), frame);
    const CRect bounds = block.GetRotatedBounds();
    const Ink ink = InkIn(canvas, CRect(0, 0, 400, 300), kCanvas);
    ASSERT_GT(ink.nCount, 500);
    EXPECT_GE(ink.bounds.left, bounds.left - 1);
    EXPECT_LE(ink.bounds.right, bounds.right + 1);
    EXPECT_GE(ink.bounds.top, bounds.top - 1);
    EXPECT_LE(ink.bounds.bottom, bounds.bottom + 1);
    // Turned, it reaches beyond the unturned frame's top or bottom.
    EXPECT_TRUE(ink.bounds.top < frame.top || ink.bounds.bottom > frame.bottom);
    // The frame's corners stand nowhere near text: they are outside the
    // turned frame.
    EXPECT_EQ(InkIn(canvas, CRect(100, 100, 112, 112), kCanvas).nCount, 0);
}

TEST_F(TextBlockDrawTest, AMirroredFrameDrawsTheMirrorImage)
{
    const CRect area(20, 10, 220, 70);
    MemoryCanvas normal(240, 80);
    normal.DC()->FillSolidRect(0, 0, 240, 80, kWhite);
    CTextBlock upright(nullptr);
    Prepare(upright, "Fa", 24);
    upright.m_wFlags |= TEXTBLOCK_NO_OUTLINES;
    DrawAt(upright, normal.DC(), area);

    MemoryCanvas mirrored(240, 80);
    mirrored.DC()->FillSolidRect(0, 0, 240, 80, kWhite);
    CTextBlock turned(nullptr);
    Prepare(turned, "Fa", 24);
    turned.m_wFlags |= TEXTBLOCK_NO_OUTLINES;
    DrawAt(turned, mirrored.DC(), CRect(area.right, area.top, area.left, area.bottom));

    int nInk = 0;
    int nUnmatched = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const BOOL bInk = normal.At(x, y) != kWhite;
            nInk += bInk ? 1 : 0;
            const BOOL bMirrorInk = mirrored.At(area.left + area.right - 1 - x, y) != kWhite;
            nUnmatched += bInk != bMirrorInk ? 1 : 0;
        }
    }
    EXPECT_GT(nInk, 200);
    EXPECT_EQ(nUnmatched, 0);
}

TEST_F(TextBlockDrawTest, TheShadowLiesAtItsOffsetUnderTheText)
{
    MemoryCanvas canvas(200, 100);
    CTextBlock block(nullptr);
    Prepare(block, "H", 24);
    block.m_wFlags |= TEXTBLOCK_SHADOW;
    block.m_crShadow = kRed;
    // 6 points at 96 dpi: 8 pixels right and down.
    block.m_nShadowX = 6;
    block.m_nShadowY = 6;
    DrawAt(block, canvas.DC(), CRect(10, 10, 190, 90));
    const Ink text = InkIn(canvas, CRect(0, 0, 200, 100), kCanvas, kBlack);
    const Ink shadow = InkIn(canvas, CRect(0, 0, 200, 100), kCanvas, kRed);
    ASSERT_GT(text.nCount, 50);
    ASSERT_GT(shadow.nCount, 20);
    EXPECT_EQ(shadow.bounds.right, text.bounds.right + 8);
    EXPECT_EQ(shadow.bounds.bottom, text.bounds.bottom + 8);

    // Without the switch there is no shadow.
    MemoryCanvas plain(200, 100);
    block.m_wFlags &= ~WORD(TEXTBLOCK_SHADOW);
    block.FreeCache();
    DrawAt(block, plain.DC(), CRect(10, 10, 190, 90));
    EXPECT_EQ(InkIn(plain, CRect(0, 0, 200, 100), kCanvas, kRed).nCount, 0);
}

TEST_F(TextBlockDrawTest, AMirroredBlockThrowsItsShadowByItsOffsetsOnEitherRoad)
{
    // Mirroring turns the letters over, not the light: the shadow still
    // falls right and down, whether the block is drawn as outlines or as a
    // bitmap that is mirrored after the shadow is put into it.
    const CRect upright(10, 10, 290, 90);
    const struct {
        const char* pszName;
        CRect frame;
    } mirrors[] = {
        {"upright", upright},
        {"mirrored across", CRect(upright.right, upright.top, upright.left, upright.bottom)},
        {"mirrored down", CRect(upright.left, upright.bottom, upright.right, upright.top)},
        {"mirrored both ways", CRect(upright.right, upright.bottom, upright.left, upright.top)},
    };
    for (const int nShape : {0, 8}) {
        for (const auto& mirror : mirrors) {
            for (const BOOL bBitmap : {FALSE, TRUE}) {
                const std::string what = std::string(mirror.pszName) + (nShape != 0 ? ", bent" : "")
                    + (bBitmap ? ", bitmap" : ", outlines");
                MemoryCanvas canvas(300, 100);
                CTextBlock block(nullptr);
                Prepare(block, "Fa", 28);
                block.SetShape(nShape);
                block.m_wFlags |= TEXTBLOCK_SHADOW;
                if (bBitmap)
                    block.m_wFlags |= TEXTBLOCK_NO_OUTLINES;
                block.m_crShadow = kRed;
                block.m_nShadowX = 6;
                block.m_nShadowY = 6;
                DrawAt(block, canvas.DC(), mirror.frame);
                // Upright and unbent, the block is plain text either way.
                const BOOL bPlain = nShape == 0 && mirror.frame == upright;
                ASSERT_EQ(block.m_pCachedBitmap != nullptr || block.m_pCachedPicture != nullptr, bBitmap && !bPlain)
                    << what;
                const Ink text = InkIn(canvas, CRect(0, 0, 300, 100), kCanvas, kBlack);
                const Ink shadow = InkIn(canvas, CRect(0, 0, 300, 100), kCanvas, kRed);
                ASSERT_GT(text.nCount, 50) << what;
                ASSERT_GT(shadow.nCount, 20) << what;
                EXPECT_GT(shadow.bounds.left, text.bounds.left) << what;
                EXPECT_GT(shadow.bounds.right, text.bounds.right) << what;
                EXPECT_GT(shadow.bounds.top, text.bounds.top) << what;
                EXPECT_GT(shadow.bounds.bottom, text.bounds.bottom) << what;
            }
        }
    }
}

TEST_F(TextBlockDrawTest, TextFilledByItsObjectShowsTheFillInsideTheGlyphsOnly)
{
    // The glyphs drawn in the text colour give the shape the fill must
    // take, nothing more and nothing less.
    MemoryCanvas outline(240, 80);
    CTextBlock inked(nullptr);
    Prepare(inked, "Wo", 36);
    inked.m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    // Outlines on the screen: a mirror-free block takes them when its
    // object paints the text.
    s_bFills = TRUE;
    MemoryCanvas filled(240, 80);
    // A stand-in owner: the test's services paint for it.
    CTextBlock painted(reinterpret_cast<CDrawObj*>(&filled));
    Prepare(painted, "Wo", 36);
    painted.m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    DrawAt(painted, filled.DC(), CRect(10, 10, 230, 70));
    s_bFills = FALSE;
    // The same block as outlines in its colour (a print-preview choice).
    CPreviewDC preview;
    preview.SetAttribDC(outline.DC()->GetSafeHdc());
    preview.SetOutputDC(outline.DC()->GetSafeHdc());
    DrawAt(inked, &preview, CRect(10, 10, 230, 70));
    preview.ReleaseOutputDC();
    preview.ReleaseAttribDC();

    int nShape = 0;
    int nUnmatched = 0;
    int nRed = 0;
    int nBlue = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 240; ++x) {
            const BOOL bGlyph = outline.At(x, y) != kCanvas;
            const COLORREF cr = filled.At(x, y);
            nShape += bGlyph ? 1 : 0;
            nRed += cr == kRed ? 1 : 0;
            nBlue += cr == RGB(0, 0, 255) ? 1 : 0;
            nUnmatched += bGlyph != (cr != kCanvas) ? 1 : 0;
        }
    }
    ASSERT_GT(nShape, 300);
    EXPECT_EQ(nUnmatched, 0);
    EXPECT_EQ(nRed + nBlue, nShape);
    EXPECT_GT(nRed, 50);
    EXPECT_GT(nBlue, 50);
}

TEST_F(TextBlockDrawTest, APrintedBlockPrintsItsMergeFieldsAndKeepsItsText)
{
    TextOwnerServices services = GetTextOwnerServices();
    services.pfnMergeFieldIndex = [](const CDrawObj*, LPCTSTR lpszName) {
        return std::string(lpszName) == "Name" ? 0 : -1;
    };
    services.pfnMergeFieldText = [](const CDrawObj*, int, CString& strText) {
        strText = "WWWWWWWW";
        return TRUE;
    };
    SetTextOwnerServices(services);
    // A stand-in owner: the merge source is asked with it, never read.
    CDrawObj* pOwner = reinterpret_cast<CDrawObj*>(&services);

    MemoryCanvas printed(400, 60);
    printed.DC()->m_bPrinting = TRUE;
    CTextBlock block(pOwner);
    Prepare(block, "@Name@", 24);
    DrawAt(block, printed.DC(), CRect(0, 0, 400, 60));
    printed.DC()->m_bPrinting = FALSE;
    EXPECT_STREQ(block.GetText(), "@Name@");
    EXPECT_TRUE(block.HasMergeFields());

    MemoryCanvas typed(400, 60);
    typed.DC()->m_bPrinting = TRUE;
    CTextBlock plain(pOwner);
    Prepare(plain, "WWWWWWWW", 24);
    DrawAt(plain, typed.DC(), CRect(0, 0, 400, 60));
    typed.DC()->m_bPrinting = FALSE;
    // The printed block shows the record's text, exactly as if typed.
    for (int y = 0; y < 60; y += 3)
        for (int x = 0; x < 400; x += 3)
            ASSERT_EQ(printed.At(x, y), typed.At(x, y)) << x << ", " << y;
}

} // namespace

namespace {

// The object's own picture, drawn through the registered services: a
// picture of a red left half and a blue right half.
struct TextureCase {
    BOOL bTiled;
    int nLeftRed, nLeftBlue, nRightRed, nRightBlue;
};

TextureCase DrawTextured(BOOL bTiled)
{
    auto* pObj = new CDrawRect(CRect(0, 0, 400, 100));
    pObj->SetText("WWWWWWWW", TRUE);
    CTextBlock* pBlock = pObj->GetTextBlock();
    pBlock->SetFont(-40, kMono, 0);
    pBlock->m_crText = kBlack;
    // Fitted, so that the glyphs run from end to end of the frame.
    pBlock->m_wFlags = TEXTBLOCK_AUTO_SIZE;
    {
        MemoryCanvas source(8, 4);
        source.DC()->FillSolidRect(0, 0, 4, 4, kRed);
        source.DC()->FillSolidRect(4, 0, 4, 4, RGB(0, 0, 255));
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(source.DC(), 8, 4);
        CDC copy;
        copy.CreateCompatibleDC(source.DC());
        CBitmap* pOld = copy.SelectObject(&bitmap);
        copy.BitBlt(0, 0, 8, 4, source.DC(), 0, 0, SRCCOPY);
        copy.SelectObject(pOld);
        pObj->m_pPicture = new CImage;
        EXPECT_TRUE(pObj->m_pPicture->CreateFromBitmap(&bitmap));
        if (bTiled)
            pObj->m_pPicture->m_wFlags |= IMAGE_FLAG_TILED;
    }
    MemoryCanvas canvas(400, 100);
    pBlock->SetRect(CRect(0, 0, 400, 100));
    pBlock->Draw(canvas.DC());
    TextureCase result{bTiled, 0, 0, 0, 0};
    const CRect left(0, 0, 100, 100);
    const CRect right(300, 0, 400, 100);
    result.nLeftRed = InkIn(canvas, left, kCanvas, kRed).nCount;
    result.nLeftBlue = InkIn(canvas, left, kCanvas, RGB(0, 0, 255)).nCount;
    result.nRightRed = InkIn(canvas, right, kCanvas, kRed).nCount;
    result.nRightBlue = InkIn(canvas, right, kCanvas, RGB(0, 0, 255)).nCount;
    // Nothing but the texture: no text colour, and the glyphs' surroundings
    // untouched.
    EXPECT_EQ(InkIn(canvas, CRect(0, 0, 400, 100), kCanvas, kBlack).nCount, 0);
    const int nInk = InkIn(canvas, CRect(0, 0, 400, 100), kCanvas).nCount;
    EXPECT_LT(nInk, 400 * 100 / 2);
    delete pObj;
    return result;
}

TEST_F(TextBlockDrawTest, TheObjectsPictureTexturesTheGlyphsTiledOrStretched)
{
    SetTextOwnerServices(m_saved);
    const TextureCase stretched = DrawTextured(FALSE);
    EXPECT_GT(stretched.nLeftRed, 100);
    EXPECT_EQ(stretched.nLeftBlue, 0);
    EXPECT_GT(stretched.nRightBlue, 100);
    EXPECT_EQ(stretched.nRightRed, 0);
    const TextureCase tiled = DrawTextured(TRUE);
    EXPECT_GT(tiled.nLeftRed, 20);
    EXPECT_GT(tiled.nLeftBlue, 20);
    EXPECT_GT(tiled.nRightRed, 20);
    EXPECT_GT(tiled.nRightBlue, 20);
}

} // namespace

// A view scrolled or moved by a fraction of a pixel puts the frame's corners
// on other pixels; the text fitted to the frame, and the scale the design
// stores for it, must not follow the rounding.
TEST_F(TextBlockDrawTest, AFittedBlockTakesTheSameScaleWhereverThePageLiesOnThePixelGrid)
{
    MemoryCanvas canvas(400, 300);
    auto fitAt = [&](int nOriginX, int nOriginY, const CRect& frame) {
        CTextBlock block(nullptr);
        Prepare(block, "Fuzzy lettering");
        block.m_wFlags |= TEXTBLOCK_AUTO_SIZE;
        CDC* pDC = canvas.DC();
        const int nSaved = pDC->SaveDC();
        // 37 pixels to 100 logical units, as a zoomed view maps the page.
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(100, 100);
        pDC->SetViewportExt(37, 37);
        pDC->SetWindowOrg(nOriginX, nOriginY);
        DrawAt(block, pDC, frame);
        pDC->RestoreDC(nSaved);
        return std::make_pair(block.m_dScaleX, block.m_dScaleY);
    };
    for (const CRect& frame : {CRect(101, 57, 689, 231), CRect(13, 240, 590, 377), CRect(400, 20, 950, 700)}) {
        const auto first = fitAt(0, 0, frame);
        for (int nOrigin = 1; nOrigin < 3; ++nOrigin) {
            const auto moved = fitAt(nOrigin, nOrigin, frame);
            EXPECT_DOUBLE_EQ(moved.first, first.first) << "frame left " << frame.left << ", origin " << nOrigin;
            EXPECT_DOUBLE_EQ(moved.second, first.second) << "frame left " << frame.left << ", origin " << nOrigin;
        }
    }
}
