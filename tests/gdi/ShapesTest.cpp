#include "DrawTestSupport.h"

#include "platform/gdi/Dc.h"

#include <gtest/gtest.h>

using gditest::MemoryCanvas;
using gditest::SameRect;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The y-up mapping the design surfaces use: hundredths of an inch, 96 dpi,
// zoom 100 %, logical y = 0 at the bottom of the bitmap.
void SetYUpMapping(HDC dc, int bitmapHeight, int zoom = 100)
{
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 100, -100, NULL);
    int pixels = GetDeviceCaps(dc, LOGPIXELSX) * zoom / 100;
    SetViewportExtEx(dc, pixels, pixels, NULL);
    SetViewportOrgEx(dc, 0, bitmapHeight, NULL);
}

class Selected {
public:
    Selected(HDC dc, HGDIOBJ object)
        : m_dc(dc)
        , m_object(object)
        , m_old(SelectObject(dc, object))
    {
    }
    ~Selected()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_object);
    }

private:
    HDC m_dc;
    HGDIOBJ m_object;
    HGDIOBJ m_old;
};

TEST(ShapesTest, RectanglesAndFillsExcludeRightAndBottomEdges)
{
    MemoryCanvas c(20, 20);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(c.dc, 2, 3, 8, 9);
    EXPECT_TRUE(SameRect(c.InkBox(), RECT{2, 3, 8, 9})) << c.Picture(RECT{0, 0, 12, 12});

    MemoryCanvas f(20, 20);
    RECT r{2, 3, 8, 9};
    FillRect(f.dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(SameRect(f.InkBox(), r));
    EXPECT_EQ(f.Count(kBlack), 36);

    // Without a pen the filled figure is a pixel smaller each way.
    MemoryCanvas n(20, 20);
    SelectObject(n.dc, GetStockObject(NULL_PEN));
    SelectObject(n.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(n.dc, 2, 3, 8, 9);
    EXPECT_TRUE(SameRect(n.InkBox(), RECT{2, 3, 7, 8}));
}

TEST(ShapesTest, YUpMappingKeepsEdgesExclusiveInDeviceSpace)
{
    MemoryCanvas c(100, 100);
    SetYUpMapping(c.dc, 100);
    // Logical (0, 100)-(50, 50) is device (0, 4)-(48, 52).
    RECT r{0, 100, 50, 50};
    FillRect(c.dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(SameRect(c.InkBox(), RECT{0, 4, 48, 52}));

    MemoryCanvas d(100, 100);
    SetYUpMapping(d.dc, 100);
    SelectObject(d.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(d.dc, 0, 50, 50, 100);
    EXPECT_TRUE(SameRect(d.InkBox(), RECT{0, 4, 48, 52}));

    // At 200 % a line of one logical unit still leaves out its end.
    MemoryCanvas l(100, 100);
    SetYUpMapping(l.dc, 100, 200);
    MoveToEx(l.dc, 0, 10, NULL);
    LineTo(l.dc, 10, 10);
    RECT ink = l.InkBox();
    EXPECT_TRUE(SameRect(ink, RECT{0, 81, 19, 82})) << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
}

TEST(ShapesTest, LinesLeaveOutTheirEndPoint)
{
    MemoryCanvas c(20, 20);
    MoveToEx(c.dc, 1, 1, NULL);
    LineTo(c.dc, 6, 1);
    EXPECT_EQ(c.At(1, 1), kBlack);
    EXPECT_EQ(c.At(5, 1), kBlack);
    EXPECT_EQ(c.At(6, 1), kWhite);
    POINT pos;
    GetCurrentPositionEx(c.dc, &pos);
    EXPECT_EQ(pos.x, 6);
    LineTo(c.dc, 6, 6);
    EXPECT_EQ(c.At(6, 1), kBlack);
    EXPECT_EQ(c.At(6, 6), kWhite);
    EXPECT_EQ(c.Count(kBlack), 10);

    // A closed outline drawn twice with R2_NOT lights each corner once.
    MemoryCanvas x(20, 20);
    SetROP2(x.dc, R2_NOT);
    POINT ring[] = {{2, 2}, {12, 2}, {12, 9}, {2, 9}, {2, 2}};
    Polyline(x.dc, ring, 5);
    EXPECT_EQ(x.Count(kBlack), 34);
    Polyline(x.dc, ring, 5);
    EXPECT_EQ(x.Count(kBlack), 0);
}

TEST(ShapesTest, InsideFramePensStayInsideTheBox)
{
    MemoryCanvas c(40, 40);
    {
        Selected pen(c.dc, CreatePen(PS_INSIDEFRAME, 4, kRed));
        Rectangle(c.dc, 10, 10, 30, 30);
    }
    EXPECT_TRUE(SameRect(c.InkBox(), RECT{10, 10, 30, 30}));
    EXPECT_EQ(c.At(13, 20), kRed);
    EXPECT_EQ(c.At(14, 20), kWhite);
    EXPECT_EQ(c.At(26, 20), kRed);

    MemoryCanvas e(40, 40);
    {
        Selected pen(e.dc, CreatePen(PS_INSIDEFRAME, 5, kRed));
        Ellipse(e.dc, 5, 5, 35, 25);
    }
    EXPECT_TRUE(SameRect(e.InkBox(), RECT{5, 5, 35, 25}));

    // A plain wide pen straddles the outline.
    MemoryCanvas s(40, 40);
    {
        Selected pen(s.dc, CreatePen(PS_SOLID, 4, kRed));
        Rectangle(s.dc, 10, 10, 30, 30);
    }
    EXPECT_TRUE(SameRect(s.InkBox(), RECT{8, 8, 31, 31}));
}

TEST(ShapesTest, StyledPensDashAndFillGapsWhenOpaque)
{
    MemoryCanvas c(40, 4);
    SetBkColor(c.dc, kRed);
    {
        Selected pen(c.dc, CreatePen(PS_DOT, 0, kBlack));
        MoveToEx(c.dc, 0, 1, NULL);
        LineTo(c.dc, 12, 1);
        SetBkMode(c.dc, TRANSPARENT);
        MoveToEx(c.dc, 0, 2, NULL);
        LineTo(c.dc, 12, 2);
    }
    for (int x = 0; x < 12; ++x) {
        bool dot = (x / 3) % 2 == 0;
        EXPECT_EQ(c.At(x, 1), dot ? kBlack : kRed) << x;
        EXPECT_EQ(c.At(x, 2), dot ? kBlack : kWhite) << x;
    }

    MemoryCanvas d(40, 4);
    {
        Selected pen(d.dc, CreatePen(PS_DASH, 1, kBlack));
        SetBkMode(d.dc, TRANSPARENT);
        MoveToEx(d.dc, 0, 1, NULL);
        LineTo(d.dc, 30, 1);
    }
    EXPECT_EQ(d.Count(kBlack, RECT{0, 1, 18, 2}), 18);
    EXPECT_EQ(d.Count(kBlack, RECT{18, 1, 24, 2}), 0);
    EXPECT_EQ(d.Count(kBlack, RECT{24, 1, 30, 2}), 6);

    // Wider pens draw solid whatever their style.
    MemoryCanvas w(40, 8);
    {
        Selected pen(w.dc, CreatePen(PS_DOT, 3, kBlack));
        MoveToEx(w.dc, 2, 4, NULL);
        LineTo(w.dc, 30, 4);
    }
    EXPECT_EQ(w.Count(kBlack, RECT{2, 4, 30, 5}), 28);
}

TEST(ShapesTest, HatchBrushesFollowTheBrushOrigin)
{
    MemoryCanvas c(16, 16);
    RECT all{0, 0, 16, 16};
    HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, kBlack);
    SetBkMode(c.dc, TRANSPARENT);
    FillRect(c.dc, &all, hatch);
    EXPECT_EQ(c.Count(kBlack), 32);
    EXPECT_EQ(c.At(3, 7), kBlack);
    EXPECT_EQ(c.At(3, 15), kBlack);

    MemoryCanvas o(16, 16);
    SetBrushOrgEx(o.dc, 0, 3, NULL);
    SetBkColor(o.dc, kBlue);
    FillRect(o.dc, &all, hatch);
    // Lines move down by the origin, and the gaps take the background colour.
    EXPECT_EQ(o.At(3, 2), kBlack);
    EXPECT_EQ(o.At(3, 10), kBlack);
    EXPECT_EQ(o.At(3, 7), kBlue);
    EXPECT_EQ(o.Count(kBlue), 256 - 32);
    POINT org;
    SetBrushOrgEx(o.dc, -11, 19, NULL);
    GetBrushOrgEx(o.dc, &org);
    EXPECT_EQ(org.x, -3);
    EXPECT_EQ(org.y, 3);
    DeleteObject(hatch);

    MemoryCanvas d(16, 16);
    HBRUSH cross = CreateHatchBrush(HS_DIAGCROSS, kBlack);
    SetBkMode(d.dc, TRANSPARENT);
    FillRect(d.dc, &all, cross);
    EXPECT_EQ(d.At(0, 0), kBlack);
    EXPECT_EQ(d.At(7, 0), kBlack);
    EXPECT_EQ(d.At(3, 0), kWhite);
    DeleteObject(cross);
}

TEST(ShapesTest, MonochromePatternBrushesTakeTheDcColours)
{
    HBITMAP bits = platform::CreateBitmapObject(8, 8, 1, 0x00FFFFFF);
    platform::BitmapObject* b = platform::LookupBitmap(bits);
    b->pixels.Row(0)[0] = 0; // one black pixel at the pattern's corner
    HBRUSH pattern = CreatePatternBrush(bits);
    ASSERT_NE(pattern, (HBRUSH)NULL);
    // The brush keeps its own copy.
    EXPECT_TRUE(DeleteObject(bits));

    MemoryCanvas c(16, 16);
    SetTextColor(c.dc, kRed);
    SetBkColor(c.dc, kBlue);
    SetBrushOrgEx(c.dc, 2, 1, NULL);
    RECT all{0, 0, 16, 16};
    FillRect(c.dc, &all, pattern);
    EXPECT_EQ(c.Count(kRed), 4);
    EXPECT_EQ(c.At(2, 1), kRed);
    EXPECT_EQ(c.At(10, 9), kRed);
    EXPECT_EQ(c.At(0, 0), kBlue);
    LOGBRUSH lb{};
    GetObject(pattern, sizeof(lb), &lb);
    EXPECT_EQ(lb.lbStyle, UINT(BS_PATTERN));
    DeleteObject(pattern);
}

TEST(ShapesTest, PolygonFillModesAndPolyPolygonHoles)
{
    POINT star[] = {{20, 0}, {32, 36}, {1, 14}, {39, 14}, {8, 36}};
    MemoryCanvas a(40, 40);
    SelectObject(a.dc, GetStockObject(NULL_PEN));
    SelectObject(a.dc, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(GetPolyFillMode(a.dc), ALTERNATE);
    Polygon(a.dc, star, 5);
    EXPECT_EQ(a.At(20, 20), kWhite);
    EXPECT_EQ(a.At(20, 6), kBlack);

    MemoryCanvas w(40, 40);
    SelectObject(w.dc, GetStockObject(NULL_PEN));
    SelectObject(w.dc, GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(w.dc, WINDING);
    Polygon(w.dc, star, 5);
    EXPECT_EQ(w.At(20, 20), kBlack);

    MemoryCanvas h(40, 40);
    SelectObject(h.dc, GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(h.dc, WINDING);
    POINT rings[] = {{2, 2}, {30, 2}, {30, 30}, {2, 30}, {10, 10}, {10, 20}, {20, 20}, {20, 10}};
    INT counts[] = {4, 4};
    PolyPolygon(h.dc, rings, counts, 2);
    EXPECT_EQ(h.At(15, 15), kWhite);
    EXPECT_EQ(h.At(5, 5), kBlack);
    // Polygons draw their closing edge: the outline covers the last corner.
    EXPECT_TRUE(SameRect(h.InkBox(), RECT{2, 2, 31, 31}));
}

TEST(ShapesTest, EllipseAndRoundRectAreSymmetricInTheirBox)
{
    MemoryCanvas c(40, 30);
    {
        Selected brush(c.dc, CreateSolidBrush(kRed));
        Ellipse(c.dc, 0, 0, 21, 15);
    }
    EXPECT_TRUE(SameRect(c.InkBox(), RECT{0, 0, 21, 15}));
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 21; ++x) {
            ASSERT_EQ(c.At(x, y), c.At(20 - x, y)) << x << "," << y << c.Picture(RECT{0, 0, 21, 15});
            ASSERT_EQ(c.At(x, y), c.At(x, 14 - y)) << x << "," << y;
        }
    EXPECT_EQ(c.At(10, 7), kRed);
    EXPECT_EQ(c.At(10, 0), kBlack);
    EXPECT_EQ(c.At(0, 7), kBlack);
    EXPECT_EQ(c.At(0, 0), kWhite);

    MemoryCanvas r(40, 30);
    RoundRect(r.dc, 0, 0, 30, 20, 10, 10);
    EXPECT_TRUE(SameRect(r.InkBox(), RECT{0, 0, 30, 20}));
    EXPECT_EQ(r.At(0, 0), kWhite);
    EXPECT_EQ(r.At(15, 0), kBlack);
    EXPECT_EQ(r.At(0, 10), kBlack);
    EXPECT_EQ(r.At(29, 19), kWhite);
    EXPECT_EQ(r.At(15, 19), kBlack);
}

TEST(ShapesTest, ArcPieAndChordCoverTheirQuarter)
{
    // From the right-hand point counter-clockwise to the top one: the
    // upper-right quarter.
    MemoryCanvas a(30, 30);
    Arc(a.dc, 0, 0, 21, 21, 21, 10, 10, 0);
    EXPECT_EQ(a.At(20, 10), kBlack);
    EXPECT_EQ(a.At(10, 0), kBlack);
    EXPECT_EQ(a.Count(kBlack, RECT{0, 0, 10, 21}), 0) << a.Picture(RECT{0, 0, 21, 21});
    EXPECT_EQ(a.Count(kBlack, RECT{0, 11, 21, 21}), 0);
    EXPECT_GT(a.Count(kBlack, RECT{11, 0, 21, 10}), 8);

    MemoryCanvas p(30, 30);
    {
        Selected brush(p.dc, CreateSolidBrush(kRed));
        Pie(p.dc, 0, 0, 21, 21, 21, 10, 10, 0);
    }
    EXPECT_EQ(p.At(14, 6), kRed) << p.Picture(RECT{0, 0, 21, 21});
    EXPECT_EQ(p.At(6, 14), kWhite);
    EXPECT_EQ(p.At(15, 10), kBlack); // the radius to the start
    EXPECT_EQ(p.At(10, 5), kBlack);  // the radius to the end

    MemoryCanvas h(30, 30);
    {
        Selected brush(h.dc, CreateSolidBrush(kRed));
        Chord(h.dc, 0, 0, 21, 21, 21, 10, 10, 0);
    }
    EXPECT_EQ(h.At(17, 4), kRed) << h.Picture(RECT{0, 0, 21, 21});
    EXPECT_EQ(h.At(12, 8), kWhite);
    EXPECT_EQ(h.At(15, 5), kBlack); // on the chord
}

TEST(ShapesTest, ClipRegionsLimitDrawing)
{
    MemoryCanvas c(40, 40);
    HRGN ellipse = CreateEllipticRgn(0, 0, 20, 20);
    EXPECT_EQ(SelectClipRgn(c.dc, ellipse), COMPLEXREGION);
    RECT all{0, 0, 40, 40};
    FillRect(c.dc, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(SameRect(c.InkBox(), RECT{0, 0, 20, 20}));
    EXPECT_EQ(c.At(0, 0), kWhite);
    EXPECT_EQ(c.At(10, 10), kBlack);
    // The DC holds a copy: changing the region afterwards changes nothing.
    OffsetRgn(ellipse, 20, 20);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
    EXPECT_TRUE(SameRect(box, RECT{0, 0, 20, 20}));

    EXPECT_EQ(IntersectClipRect(c.dc, 10, 0, 40, 40), COMPLEXREGION);
    GetClipBox(c.dc, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(SelectClipRgn(c.dc, NULL), SIMPLEREGION);
    GetClipBox(c.dc, &box);
    EXPECT_TRUE(SameRect(box, all));

    IntersectClipRect(c.dc, 30, 30, 35, 35);
    ExcludeClipRect(c.dc, 31, 31, 34, 34);
    FillRect(c.dc, &all, (HBRUSH)GetStockObject(GRAY_BRUSH));
    EXPECT_EQ(c.Count(RGB(128, 128, 128)), 25 - 9);
    IntersectClipRect(c.dc, 0, 0, 5, 5);
    EXPECT_EQ(GetClipBox(c.dc, &box), NULLREGION);
    EXPECT_FALSE(PtVisible(c.dc, 32, 32));
    DeleteObject(ellipse);

    // Under the y-up mapping the clip rectangle is logical and the box comes
    // back normalised.
    MemoryCanvas y(100, 100);
    SetYUpMapping(y.dc, 100);
    IntersectClipRect(y.dc, 0, 50, 50, 0);
    GetClipBox(y.dc, &box);
    EXPECT_TRUE(SameRect(box, RECT{0, 0, 50, 50}));
    RECT everything{-1000, 1000, 1000, -1000};
    FillRect(y.dc, &everything, (HBRUSH)GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(SameRect(y.InkBox(), RECT{0, 52, 48, 100}));
}

TEST(ShapesTest, FocusRectDrawnTwiceRestoresThePixels)
{
    MemoryCanvas c(20, 20);
    for (int i = 0; i < 20; i += 3) {
        RECT stripe{i, 0, i + 1, 20};
        FillRect(c.dc, &stripe, (HBRUSH)GetStockObject(DKGRAY_BRUSH));
    }
    std::vector<COLORREF> before;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            before.push_back(c.At(x, y));
    RECT r{2, 3, 15, 12};
    DrawFocusRect(c.dc, &r);
    int changed = 0, changedInside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (c.At(x, y) != before[size_t(y * 20 + x)]) {
                ++changed;
                changedInside += x > 2 && x < 14 && y > 3 && y < 11;
            }
    EXPECT_GT(changed, 10);
    EXPECT_EQ(changedInside, 0);
    DrawFocusRect(c.dc, &r);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(c.At(x, y), before[size_t(y * 20 + x)]) << x << "," << y;
}

TEST(ShapesTest, RasterOperationsCombineWithTheDestination)
{
    MemoryCanvas c(10, 10);
    RECT all{0, 0, 10, 10};
    HBRUSH cyan = CreateSolidBrush(RGB(0, 255, 255));
    FillRect(c.dc, &all, cyan);
    {
        Selected brush(c.dc, CreateSolidBrush(RGB(255, 255, 0)));
        SelectObject(c.dc, GetStockObject(NULL_PEN));
        SetROP2(c.dc, R2_MASKPEN);
        Rectangle(c.dc, 0, 0, 5, 5);
        SetROP2(c.dc, R2_XORPEN);
        Rectangle(c.dc, 5, 5, 10, 10);
        Rectangle(c.dc, 5, 0, 10, 5);
        Rectangle(c.dc, 5, 0, 10, 5);
    }
    EXPECT_EQ(c.At(1, 1), RGB(0, 255, 0));
    EXPECT_EQ(c.At(6, 6), RGB(255, 0, 255));
    EXPECT_EQ(c.At(6, 1), RGB(0, 255, 255));
    EXPECT_EQ(SetROP2(c.dc, 0), 0);
    EXPECT_EQ(GetROP2(c.dc), R2_XORPEN);
    InvertRect(c.dc, &all);
    EXPECT_EQ(c.At(6, 1), RGB(255, 0, 0));
    DeleteObject(cyan);
}

TEST(ShapesTest, MonochromeBitmapsHoldOnlyBlackAndWhite)
{
    MemoryCanvas c(10, 10, 1);
    RECT r{0, 0, 5, 10};
    HBRUSH light = CreateSolidBrush(RGB(200, 200, 180));
    HBRUSH dark = CreateSolidBrush(RGB(90, 20, 60));
    FillRect(c.dc, &r, dark);
    RECT s{5, 0, 10, 10};
    FillRect(c.dc, &s, light);
    EXPECT_EQ(c.At(2, 2), kBlack);
    EXPECT_EQ(c.At(7, 2), kWhite);
    DeleteObject(light);
    DeleteObject(dark);
}

TEST(ShapesTest, ClassLibraryFillsAndEdges)
{
    MemoryCanvas c(20, 20);
    CDC* dc = CDC::FromHandle(c.dc);
    dc->FillSolidRect(2, 2, 6, 4, kRed);
    EXPECT_EQ(c.Count(kRed), 24);
    EXPECT_EQ(GetBkColor(c.dc), kRed);
    dc->Draw3dRect(10, 10, 6, 5, kBlue, kBlack);
    EXPECT_EQ(c.At(10, 10), kBlue);
    EXPECT_EQ(c.At(14, 10), kBlue);
    EXPECT_EQ(c.At(15, 10), kBlack); // the top-right corner takes the second colour
    EXPECT_EQ(c.At(10, 14), kBlack);
    EXPECT_EQ(c.At(15, 14), kBlack);
    EXPECT_EQ(c.At(12, 12), kWhite);
    CDC::DeleteTempMap();

    MemoryCanvas e(20, 20);
    RECT r{0, 0, 10, 10};
    DrawEdge(e.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(e.At(0, 0), RGB(128, 128, 128));
    EXPECT_EQ(e.At(9, 9), kWhite);
    EXPECT_EQ(e.At(9, 0), kWhite);
    EXPECT_EQ(e.At(1, 1), RGB(64, 64, 64));
    EXPECT_EQ(e.At(8, 8), RGB(223, 223, 223));
    EXPECT_TRUE(SameRect(r, RECT{2, 2, 8, 8}));
}

} // namespace

namespace {

TEST(ShapesTest, RegionPaintingUsesLogicalUnits)
{
    MemoryCanvas c(20, 20);
    SetViewportOrgEx(c.dc, 2, 3, NULL);
    HRGN rgn = CreateRectRgn(0, 0, 6, 4);
    FillRgn(c.dc, rgn, (HBRUSH)GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(SameRect(c.InkBox(), RECT{2, 3, 8, 7}));
    InvertRgn(c.dc, rgn);
    EXPECT_EQ(c.Count(kBlack), 0);

    MemoryCanvas f(20, 20);
    HBRUSH red = CreateSolidBrush(kRed);
    FrameRgn(f.dc, rgn, red, 1, 1);
    EXPECT_EQ(f.Count(kRed), 6 * 4 - 4 * 2);
    EXPECT_EQ(f.At(1, 1), kWhite);
    SelectObject(f.dc, red);
    SetROP2(f.dc, R2_XORPEN);
    PaintRgn(f.dc, rgn);
    // The frame was red, the inside white: XOR with red gives black and cyan.
    EXPECT_EQ(f.At(0, 0), kBlack);
    EXPECT_EQ(f.At(1, 1), RGB(0, 255, 255));
    SelectObject(f.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
    DeleteObject(rgn);
}

TEST(ShapesTest, PensReportTheirRecord)
{
    HPEN pen = CreatePen(PS_DASHDOT, 3, kBlue);
    LOGPEN lp{};
    EXPECT_EQ(GetObject(pen, 0, NULL), int(sizeof(LOGPEN)));
    EXPECT_EQ(GetObject(pen, sizeof(lp), &lp), int(sizeof(LOGPEN)));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DASHDOT));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, kBlue);
    EXPECT_EQ(CreatePen(9, 1, 0), (HPEN)NULL);
    DeleteObject(pen);
}

} // namespace
