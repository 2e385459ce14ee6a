// Block text bent into a warp shape, drawn both ways the block can draw it:
// as filled glyph outlines and as a bitmap bent column by column (the way a
// design whose text keeps outlines off the screen is shown). The two must
// show the same text in the same place, whole.

#include "text/TextBlock.h"

#include "app/PrefData.h"
#include "model/TextOwnerServices.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/Headless.h"
#include "tests/support/MemoryCanvas.h"
#include "tests/text/BentInkSupport.h"
#include "text/TextOwner.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing_support::MemoryCanvas;
using texttest::InkMap;
using texttest::InkOf;
using texttest::NearShare;

constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Bent {
    const char* pszText;
    int nShape;
    CRect frame;
    int nPoints = 0; // 0: fitted to the frame
    int nAlignment = 0;
    BOOL bShadow = FALSE;
    BOOL bMirror = FALSE;
    int nColumns = 1;
};

std::string Describe(const Bent& b)
{
    return std::string("'") + b.pszText + "' shape " + std::to_string(b.nShape) + " in "
        + std::to_string(b.frame.Width()) + "x" + std::to_string(b.frame.Height())
        + (b.nPoints != 0 ? " at " + std::to_string(b.nPoints) + " pt" : " fitted") + " align "
        + std::to_string(b.nAlignment) + (b.bShadow ? " shadow" : "") + (b.bMirror ? " mirrored" : "")
        + (b.nColumns > 1 ? " columns " + std::to_string(b.nColumns) : "");
}

// The canvas a frame is drawn on: its own corner and 20 pixels round it.
CRect CanvasFor(const CRect& frame)
{
    return CRect(0, 0, std::max(frame.left, frame.right) + 20, std::max(frame.top, frame.bottom) + 20);
}

class BentTextDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        RegisterTextOwnerServices();
        m_saved = GetTextOwnerServices();
        m_savedFlags = thePrefs.Flags;
        thePrefs.Flags = 0;
    }
    void TearDown() override
    {
        SetTextOwnerServices(m_saved);
        thePrefs.Flags = m_savedFlags;
    }

    // The block drawn on white by one of the two ways; bBitmap tells which
    // way it took.
    static InkMap Draw(const Bent& b, BOOL bOutlines, BOOL& bBitmap, MemoryCanvas& canvas)
    {
        const CRect bounds = CanvasFor(b.frame);
        canvas.DC()->FillSolidRect(&bounds, kWhite);
        CTextBlock block(nullptr);
        block.SetFont(b.nPoints != 0 ? -b.nPoints : -20, "Liberation Sans", 0);
        block.m_crText = RGB(0, 0, 0);
        block.m_crShadow = RGB(120, 120, 120);
        block.m_nShadowX = 3;
        block.m_nShadowY = 3;
        block.SetText(b.pszText);
        block.SetShape(b.nShape);
        block.SetColumns(b.nColumns);
        block.m_nAlignment = b.nAlignment;
        if (b.nPoints == 0)
            block.m_wFlags |= TEXTBLOCK_AUTO_SIZE;
        if (b.bShadow)
            block.m_wFlags |= TEXTBLOCK_SHADOW;
        if (!bOutlines)
            block.m_wFlags |= TEXTBLOCK_NO_OUTLINES;
        block.SetGeometry(0, b.frame, b.frame);
        block.SetRect(b.frame);
        block.Draw(canvas.DC());
        bBitmap = block.m_pCachedBitmap != nullptr || block.m_pCachedPicture != nullptr;
        return InkOf(canvas, bounds.right, bounds.bottom, kWhite);
    }

    // Draws both ways and compares: the bitmap is bent as the outlines are,
    // so each drawing's ink lies within two pixels of the other's, and
    // the two cover about as many pixels.
    static void ExpectBothWaysAlike(const Bent& b)
    {
        const std::string what = Describe(b);
        const CRect bounds = CanvasFor(b.frame);
        MemoryCanvas glyphCanvas(bounds.Width(), bounds.Height());
        MemoryCanvas bitmapCanvas(bounds.Width(), bounds.Height());
        BOOL bGlyphBitmap = FALSE;
        BOOL bBitmap = FALSE;
        const InkMap glyph = Draw(b, TRUE, bGlyphBitmap, glyphCanvas);
        const InkMap bitmap = Draw(b, FALSE, bBitmap, bitmapCanvas);
        ASSERT_FALSE(bGlyphBitmap) << what;
        ASSERT_TRUE(bBitmap) << what;
        ASSERT_GT(glyph.Count(), 200) << what;
        EXPECT_GE(NearShare(glyph, bitmap, 2), 0.97) << what;
        EXPECT_GE(NearShare(bitmap, glyph, 2), 0.97) << what;
        const double ratio = double(bitmap.Count()) / glyph.Count();
        EXPECT_GT(ratio, 0.8) << what;
        EXPECT_LT(ratio, 1.25) << what;
        // No column of the outlines' ink goes missing in the bitmap (a
        // bitmap bent in strips leaves gaps between them). The bitmap is
        // the frame: a shadow the outlines draw past its edge is not in it.
        CRect frame = b.frame;
        frame.NormalizeRect();
        for (int x = frame.left; x < frame.right; ++x) {
            bool bGlyphInk = false;
            bool bNearInk = false;
            for (int y = 0; y < glyph.h; ++y) {
                bGlyphInk = bGlyphInk || glyph.At(x, y);
                for (int dx = -2; dx <= 2; ++dx)
                    bNearInk = bNearInk || bitmap.At(x + dx, y);
            }
            if (bGlyphInk && !bNearInk) {
                ADD_FAILURE() << what << ": column " << x << " has no ink in the bitmap";
                break;
            }
        }
    }

    TextOwnerServices m_saved;
    WORD m_savedFlags = 0;
};

TEST_F(BentTextDrawTest, EveryShapeBendsTheBitmapAsItBendsTheOutlines)
{
    for (int nShape = 1; nShape <= 16; ++nShape)
        ExpectBothWaysAlike(Bent{"Shaped text", nShape, CRect(10, 10, 410, 130)});
}

TEST_F(BentTextDrawTest, SizesLinesAlignmentShadowAndMirrorBendAlikeToo)
{
    const Bent cases[] = {
        // A tall narrow frame with a steep wave: the strokes run almost up
        // and down and must not break.
        {"Wavy", 13, CRect(10, 10, 170, 220)},
        {"Wavy", 12, CRect(10, 10, 170, 220)},
        // Text at its own size, narrower than the frame, and wider.
        {"Shaped text", 8, CRect(10, 10, 410, 130), 24},
        {"Shaped text, shaped text", 11, CRect(10, 10, 210, 90), 20},
        {"Two lines\nright aligned", 9, CRect(10, 10, 330, 150), 0, 1},
        {"Centred\nlines of it", 14, CRect(10, 10, 330, 150), 0, 2},
        {"Full width\nand justified text", 3, CRect(10, 10, 330, 150), 0, 3},
        {"Shadow", 8, CRect(10, 10, 330, 130), 0, 0, TRUE},
        {"Mirrored", 5, CRect(330, 10, 10, 130), 0, 0, FALSE, TRUE},
        {"In two columns", 8, CRect(10, 10, 410, 130), 0, 0, FALSE, FALSE, 2},
    };
    for (const Bent& b : cases)
        ExpectBothWaysAlike(b);
}

TEST_F(BentTextDrawTest, OutlinesBendAlikeAtScreenAndPrinterResolutions)
{
    // What prints is drawn at several times the screen's pixels: shrunk
    // back to the screen's size (a pixel inked when any of its printer
    // pixels is), the printed text lies where the screen shows it.
    constexpr int kScale = 4;
    const Bent cases[] = {
        {"Wavy", 13, CRect(10, 10, 170, 220)},
        {"Shaped text", 8, CRect(10, 10, 410, 130)},
        {"Shaped text", 12, CRect(10, 10, 410, 130)},
        {"Two lines\nof text", 15, CRect(10, 10, 330, 150)},
    };
    for (const Bent& b : cases) {
        const std::string what = Describe(b);
        Bent big = b;
        big.frame = CRect(b.frame.left * kScale, b.frame.top * kScale, b.frame.right * kScale, b.frame.bottom * kScale);
        MemoryCanvas screenCanvas(b.frame.right + 20, b.frame.bottom + 20);
        MemoryCanvas printCanvas(big.frame.right + 20, big.frame.bottom + 20);
        BOOL bBitmap = FALSE;
        const InkMap screen = Draw(b, TRUE, bBitmap, screenCanvas);
        const InkMap printed = Draw(big, TRUE, bBitmap, printCanvas);
        InkMap shrunk;
        shrunk.w = screen.w;
        shrunk.h = screen.h;
        shrunk.on.assign(screen.on.size(), 0);
        for (int y = 0; y < printed.h; ++y)
            for (int x = 0; x < printed.w; ++x)
                if (printed.At(x, y) && x / kScale < shrunk.w && y / kScale < shrunk.h)
                    shrunk.on[size_t(y / kScale) * size_t(shrunk.w) + size_t(x / kScale)] = 1;
        ASSERT_GT(screen.Count(), 200) << what;
        EXPECT_GE(NearShare(screen, shrunk, 2), 0.97) << what;
        EXPECT_GE(NearShare(shrunk, screen, 2), 0.97) << what;
    }
}

} // namespace
