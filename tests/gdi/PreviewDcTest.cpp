#include "DrawTestSupport.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/PreviewDc.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using gditest::MemoryCanvas;

// A preview of a default (Letter, 600 dpi) printer drawn into a memory
// bitmap at 1/10 scale with the page's corner at (7, 5).
class PreviewDcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        printer = CreateIC("WINSPOOL", "Test Printer", NULL, NULL);
        ASSERT_NE(printer, nullptr);
        preview.SetAttribDC(printer);
        preview.SetOutputDC(canvas.dc);
        preview.SetScaleRatio(1, 10);
        preview.SetTopLeftOffset(SIZE{7, 5});
    }
    void TearDown() override
    {
        preview.ReleaseOutputDC();
        preview.ReleaseAttribDC();
        DeleteDC(printer);
    }

    HDC printer = NULL;
    MemoryCanvas canvas{600, 700};
    CPreviewDC preview;
};

TEST_F(PreviewDcTest, MetricsAndMappingComeFromThePrinter)
{
    EXPECT_TRUE(preview.IsPrinting());
    EXPECT_TRUE(IsPreviewDC(&preview));
    CDC plain;
    EXPECT_FALSE(IsPreviewDC(&plain));
    EXPECT_FALSE(IsPreviewDC(nullptr));

    EXPECT_EQ(preview.GetDeviceCaps(LOGPIXELSX), 600);
    EXPECT_EQ(preview.GetDeviceCaps(HORZRES), 4800);
    EXPECT_EQ(preview.GetDeviceCaps(PHYSICALOFFSETY), 150);
    EXPECT_EQ(preview.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);

    preview.SetMapMode(MM_ANISOTROPIC);
    preview.SetWindowExt(100, -100);
    preview.SetViewportExt(600, 600);
    preview.SetViewportOrg(0, 6000);
    // LPtoDP answers in printer dots; the preview mapping takes them on to
    // the output device.
    POINT p{100, 200};
    preview.LPtoDP(&p);
    EXPECT_EQ(p.x, 600);
    EXPECT_EQ(p.y, 4800);
    preview.PrinterDPtoScreenDP(&p);
    EXPECT_EQ(p.x, 67);
    EXPECT_EQ(p.y, 485);

    POINT q{100, 200};
    LPtoDP(preview.m_hDC, &q, 1);
    EXPECT_EQ(q.x, 67);
    EXPECT_EQ(q.y, 485);
}

TEST_F(PreviewDcTest, DrawingLandsScaledOnTheOutput)
{
    // One inch square, one inch from the printable corner: 60 output pixels
    // from the offset.
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    RECT r{600, 600, 1200, 1200};
    FillRect(preview.m_hDC, &r, brush);
    DeleteObject(brush);
    EXPECT_TRUE(gditest::SameRect(canvas.InkBox(), RECT{67, 65, 127, 125}));

    // A y-up mapping in hundredths of an inch, as the surfaces use.
    MemoryCanvas second(600, 700);
    preview.SetOutputDC(second.dc);
    preview.SetMapMode(MM_ANISOTROPIC);
    preview.SetWindowExt(100, -100);
    preview.SetViewportExt(600, 600);
    preview.SetViewportOrg(0, 6000);
    preview.SelectStockObject(BLACK_BRUSH);
    preview.SelectStockObject(NULL_PEN);
    preview.Rectangle(100, 900, 300, 800); // 1-3 in across, 1-2 in down
    RECT ink = second.InkBox();
    EXPECT_NEAR(ink.left, 67, 1);
    EXPECT_NEAR(ink.right, 187, 1);
    EXPECT_NEAR(ink.top, 65, 1);
    EXPECT_NEAR(ink.bottom, 125, 1);
    preview.SetOutputDC(canvas.dc);
}

TEST_F(PreviewDcTest, SavedStatesKeepBothSidesInStep)
{
    int saved = preview.SaveDC();
    ASSERT_GT(saved, 0);
    preview.SetMapMode(MM_ANISOTROPIC);
    preview.SetViewportExt(1200, 1200);
    preview.SetWindowExt(100, 100);
    EXPECT_TRUE(preview.RestoreDC(saved));
    EXPECT_EQ(GetMapMode(printer), MM_TEXT);

    // Back in MM_TEXT the output again shows printer dots at the scale.
    POINT p{1000, 2000};
    LPtoDP(preview.m_hDC, &p, 1);
    EXPECT_EQ(p.x, 107);
    EXPECT_EQ(p.y, 205);
    EXPECT_FALSE(preview.RestoreDC(saved));
}

// How far apart the lines of the colour start down column x.
std::vector<int> GapsDown(const MemoryCanvas& canvas, int x, int top, int bottom, COLORREF colour)
{
    std::vector<int> starts;
    for (int y = top; y < bottom; ++y)
        if (canvas.At(x, y) == colour && (y == top || canvas.At(x, y - 1) != colour))
            starts.push_back(y);
    std::vector<int> gaps;
    for (size_t i = 2; i < starts.size(); ++i) // the first may be cut by `top`
        gaps.push_back(starts[i] - starts[i - 1]);
    return gaps;
}

TEST_F(PreviewDcTest, HatchesLieAsCloseTogetherAsTheyPrint)
{
    // On paper a hatch cell spans the dots of eight screen pixels: at
    // 600 dpi against the screen's 96, 50 dots, a twelfth of an inch. Shown
    // at half the printer's scale that is 25 output pixels.
    const int screenDpi = GetDeviceCaps(canvas.dc, LOGPIXELSY);
    ASSERT_GT(screenDpi, 0);
    const double cell = 8.0 * 600 / screenDpi / 2;
    const COLORREF line = RGB(200, 0, 0);
    preview.SetScaleRatio(1, 2);
    preview.SetTopLeftOffset(SIZE{0, 0});
    HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, line);
    SetBkMode(preview.m_hDC, TRANSPARENT);
    RECT page{0, 0, 1000, 1200};
    FillRect(preview.m_hDC, &page, hatch);
    std::vector<int> gaps = GapsDown(canvas, 100, 0, 600, line);
    ASSERT_GE(gaps.size(), 10u);
    for (int gap : gaps)
        EXPECT_NEAR(gap, cell, 1.0);
    // Each of the hatch's pixels is a block an eighth of the cell, as on
    // paper: the lines are that thick.
    int y = 50;
    while (canvas.At(100, y) != line)
        ++y;
    int thickness = 0;
    while (canvas.At(100, y + thickness) == line)
        ++thickness;
    EXPECT_NEAR(thickness, cell / 8, 1.0);

    // A preview smaller than the screen's own scale keeps the screen's
    // hatch, whose lines a finer cell would lose.
    MemoryCanvas small(600, 700);
    preview.SetOutputDC(small.dc);
    preview.SetScaleRatio(1, 10);
    SetBkMode(preview.m_hDC, TRANSPARENT);
    FillRect(preview.m_hDC, &page, hatch);
    for (int gap : GapsDown(small, 50, 0, 110, line))
        EXPECT_EQ(gap, 8);

    // An output the preview has let go of, by taking another or by release,
    // draws its own hatches again.
    preview.ReleaseOutputDC();
    for (const MemoryCanvas* output : {&canvas, &small}) {
        RECT band{510, 300, 600, 400};
        SetBkMode(output->dc, TRANSPARENT);
        FillRect(output->dc, &band, hatch);
        for (int gap : GapsDown(*output, 550, 300, 400, line))
            EXPECT_EQ(gap, 8);
    }
    preview.SetOutputDC(canvas.dc);
    DeleteObject(hatch);
}

} // namespace
