// The stock shape outlines as the program reads them from its resources:
// their format and figures, the scaling into a rectangle, the region pass's
// list, and the refusal of damaged or missing outlines.

#include "model/StockShapes.h"

#include "app/ByteBuffer.h"
#include "app/PointArray.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Gdi.h"
#include "resources/Resources.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class StockShapesTest : public testing::Test {
protected:
    void SetUp() override { threadwick::RegisterResources(); }
};

struct Expected {
    UINT id;
    int cx, cy, count, firstFigure;
};

const Expected kOutlines[] = {
    {10000, 396, 434, 16, 8},
    {10001, 396, 258, 142, 69},
    {10002, 392, 295, 457, 225},
    {10003, 397, 364, 392, 193},
    {10004, 401, 347, 524, 258},
    {10005, 395, 396, 524, 258},
    {10006, 295, 467, 10, 5},
    {10007, 399, 376, 22, 11},
    {10008, 392, 295, 457, 225},
    {10009, 400, 389, 98, 49},
    {10010, 399, 395, 336, 163},
    {10011, 352, 465, 266, 131},
};

std::vector<POINT> Points(const CPointArray& a)
{
    return std::vector<POINT>(a.GetData(), a.GetData() + a.GetCount());
}

bool Same(const std::vector<POINT>& a, const std::vector<POINT>& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](POINT p, POINT q) { return p.x == q.x && p.y == q.y; });
}

std::vector<uint8_t> Bytes(int32_t cx, int32_t cy, int32_t n, int records)
{
    std::vector<uint8_t> out;
    for (int32_t v : {cx, cy, n})
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    for (int r = 0; r < records; ++r) {
        out.push_back(r == 0 ? PT_MOVETO : PT_LINETO);
        for (int32_t v : {r * 10, r * 20})
            for (int i = 0; i < 4; ++i)
                out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    }
    return out;
}

// A 32-bit memory DC of w x h white pixels.
class Canvas {
public:
    Canvas(int w, int h)
        : m_w(w)
        , m_h(h)
    {
        dc = CreateCompatibleDC(NULL);
        bitmap = CreateBitmap(w, h, 1, 32, nullptr);
        old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, w, h, WHITENESS);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // The pixels that are not white, one flag each.
    std::vector<bool> Ink() const
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = m_w;
        info.bmiHeader.biHeight = -m_h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        std::vector<uint32_t> pixels(size_t(m_w) * size_t(m_h));
        GetDIBits(dc, bitmap, 0, UINT(m_h), pixels.data(), &info, DIB_RGB_COLORS);
        std::vector<bool> ink;
        for (uint32_t p : pixels)
            ink.push_back((p & 0xFFFFFF) != 0xFFFFFF);
        return ink;
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;

private:
    int m_w, m_h;
};

TEST_F(StockShapesTest, EveryOutlineHasItsBoxCountsAndTwoFigures)
{
    for (const Expected& e : kOutlines) {
        SCOPED_TRACE(e.id);
        HRSRC info = FindResource(AfxGetResourceHandle(), MAKEINTRESOURCE(e.id), "SHAPEDATA");
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(SizeofResource(AfxGetResourceHandle(), info), DWORD(12 + 9 * e.count));

        SIZE box{};
        CPointArray points;
        CByteBuffer types;
        ASSERT_TRUE(LoadShapeOutline(e.id, box, points, types));
        EXPECT_EQ(box.cx, e.cx);
        EXPECT_EQ(box.cy, e.cy);
        ASSERT_EQ(points.GetCount(), e.count);
        ASSERT_EQ(types.GetSize(), e.count);
        // A moving point, lines, one closing point, then a moving point and
        // lines to the end.
        std::string expected(size_t(e.count), char(PT_LINETO));
        expected[0] = PT_MOVETO;
        expected[size_t(e.firstFigure - 1)] = PT_LINETO | PT_CLOSEFIGURE;
        expected[size_t(e.firstFigure)] = PT_MOVETO;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(types.GetData()), size_t(e.count)), expected);
        for (const POINT& p : Points(points)) {
            EXPECT_TRUE(p.x >= 0 && p.x <= e.cx && p.y >= 0 && p.y <= e.cy) << p.x << ", " << p.y;
        }
    }

    SIZE box{};
    CPointArray points;
    CByteBuffer types;
    ASSERT_TRUE(LoadShapeOutline(10006, box, points, types));
    EXPECT_EQ(std::vector<int>(types.GetData(), types.GetData() + types.GetSize()),
        (std::vector<int>{6, 2, 2, 2, 3, 6, 2, 2, 2, 2}));
}

TEST_F(StockShapesTest, ScalingIntoTheDesignBoxKeepsPointsAndIntoHalfOfItHalvesThem)
{
    SIZE box{};
    CPointArray design;
    CByteBuffer types;
    ASSERT_TRUE(LoadShapeOutline(10001, box, design, types));

    CPointArray same = design;
    ASSERT_TRUE(ScaleOutlineToRect(0, 0, 396, 258, box.cx, box.cy, same));
    EXPECT_TRUE(Same(Points(same), Points(design)));

    CPointArray half = design;
    ASSERT_TRUE(ScaleOutlineToRect(0, 0, 198, 129, box.cx, box.cy, half));
    std::vector<POINT> expected = Points(design);
    for (POINT& p : expected)
        p = POINT{p.x / 2, p.y / 2};
    EXPECT_TRUE(Same(Points(half), expected));

    // A reversed rectangle mirrors: the design's left edge lands on the right.
    CPointArray mirrored = design;
    ASSERT_TRUE(ScaleOutlineToRect(396, 0, 0, 258, box.cx, box.cy, mirrored));
    for (int i = 0; i < design.GetCount(); ++i)
        EXPECT_EQ(mirrored.GetAt(i)->x, 396 - design.GetAt(i)->x);
}

TEST_F(StockShapesTest, RegionListIsTheLastPointThenTheFirstHalfsLines)
{
    SIZE box{};
    CPointArray points;
    CByteBuffer types;
    ASSERT_TRUE(LoadShapeOutline(10000, box, points, types));
    CPointArray list;
    GetOutlineRegionPoints(points, types, list);
    ASSERT_EQ(list.GetCount(), 7);
    std::vector<POINT> expected{*points.GetAt(15)};
    for (int i = 1; i <= 6; ++i)
        expected.push_back(*points.GetAt(i));
    EXPECT_TRUE(Same(Points(list), expected));

    CPointArray same;
    ASSERT_TRUE(GetStockOutlinePoints(10000, RECT{0, 0, 396, 434}, 0, TRUE, same));
    EXPECT_TRUE(Same(Points(same), expected));
}

// The region pass clips fills and pictures to what the outline draws.
TEST_F(StockShapesTest, RegionCoversWhatThePolygonCovers)
{
    constexpr int kSize = 400;
    for (const Expected& e : kOutlines) {
        for (int rotation : {0, 30}) {
            SCOPED_TRACE(std::to_string(e.id) + " turned " + std::to_string(rotation));
            // A rectangle like a design object's: y up, so the outline is
            // mirrored vertically as the view maps it.
            const RECT rect{70, 330, 330, 90};
            CPointArray polygon, list;
            ASSERT_TRUE(GetStockOutlinePoints(e.id, rect, rotation, FALSE, polygon));
            ASSERT_TRUE(GetStockOutlinePoints(e.id, rect, rotation, TRUE, list));

            Canvas drawn(kSize, kSize), clipped(kSize, kSize);
            SelectObject(drawn.dc, GetStockObject(NULL_PEN));
            SelectObject(drawn.dc, GetStockObject(BLACK_BRUSH));
            Polygon(drawn.dc, polygon.GetData(), polygon.GetCount());
            HRGN region = CreatePolygonRgn(list.GetData(), list.GetCount(), ALTERNATE);
            ASSERT_NE(region, nullptr);
            FillRgn(clipped.dc, region, HBRUSH(GetStockObject(BLACK_BRUSH)));
            DeleteObject(region);

            std::vector<bool> a = drawn.Ink(), b = clipped.Ink();
            int inA = 0, differ = 0;
            for (size_t i = 0; i < a.size(); ++i) {
                inA += a[i];
                differ += a[i] != b[i];
            }
            EXPECT_GT(inA, kSize * kSize / 8);
            EXPECT_LE(differ, inA / 100) << differ << " of " << inA << " pixels differ";
        }
    }
}

TEST_F(StockShapesTest, DamagedOrMissingOutlinesAnswerFalseAndLeaveTheArraysAlone)
{
    struct Case {
        const char* why;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> cut = Bytes(100, 100, 4, 4);
    cut.pop_back();
    const Case cases[] = {
        {"shorter than its records", cut},
        {"shorter than the header", std::vector<uint8_t>(11, 1)},
        {"no width", Bytes(0, 100, 4, 4)},
        {"negative height", Bytes(100, -1, 4, 4)},
        {"no points", Bytes(100, 100, 0, 0)},
        {"negative count", Bytes(100, 100, -4, 4)},
        {"a count of billions", Bytes(100, 100, 0x7FFFFFFF, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SIZE box{7, 8};
        CPointArray points(3);
        points.GetAt(1)->x = 42;
        CByteBuffer types;
        types.SetSize(3, TRUE);
        *types.GetAt(2) = 9;
        EXPECT_FALSE(ParseShapeOutline(c.bytes.data(), c.bytes.size(), box, points, types));
        EXPECT_EQ(box.cx, 7);
        EXPECT_EQ(points.GetCount(), 3);
        EXPECT_EQ(points.GetAt(1)->x, 42);
        EXPECT_EQ(types.GetSize(), 3);
        EXPECT_EQ(*types.GetAt(2), 9);
    }

    std::vector<uint8_t> good = Bytes(100, 50, 4, 4);
    good.push_back(0xEE); // bytes past the records are not read
    SIZE box{};
    CPointArray points;
    CByteBuffer types;
    ASSERT_TRUE(ParseShapeOutline(good.data(), good.size(), box, points, types));
    EXPECT_EQ(box.cx, 100);
    EXPECT_EQ(box.cy, 50);
    ASSERT_EQ(points.GetCount(), 4);
    EXPECT_EQ(points.GetAt(3)->y, 60);

    // A resource the program does not hold.
    CPointArray kept(2);
    EXPECT_FALSE(LoadShapeOutline(9999, box, kept, types));
    EXPECT_FALSE(GetStockOutlinePoints(9999, RECT{0, 0, 10, 10}, 0, FALSE, kept));
    EXPECT_EQ(kept.GetCount(), 2);

    // Scaling by a box without width or height would divide by zero.
    CPointArray scaled(1);
    scaled.GetAt(0)->x = 5;
    EXPECT_FALSE(ScaleOutlineToRect(0, 0, 100, 100, 0, 10, scaled));
    EXPECT_FALSE(ScaleOutlineToRect(0, 0, 100, 100, 10, -3, scaled));
    EXPECT_EQ(scaled.GetAt(0)->x, 5);
}

TEST_F(StockShapesTest, ShapeKindsNameTheirOutlinesAndArraysClampTheirIndexes)
{
    const std::pair<int, UINT> kinds[] = {{0, 0}, {1, 10001}, {2, 0}, {3, 0}, {4, 10007}, {5, 10000}, {6, 10009},
        {7, 10003}, {8, 10004}, {9, 10005}, {10, 10006}, {11, 10010}, {12, 10011}, {13, 10008}, {14, 10002}, {15, 0},
        {16, 0}, {-1, 0}};
    for (auto [kind, id] : kinds)
        EXPECT_EQ(GetStockOutlineId(kind), id) << "kind " << kind;

    CPointArray points(4);
    for (int i = 0; i < 4; ++i)
        points.GetAt(i)->x = i + 1;
    EXPECT_EQ(points.GetAt(-5)->x, 1);
    EXPECT_EQ(points.GetAt(4 + 3)->x, 4);

    CByteBuffer bytes;
    bytes.SetSize(0, TRUE);
    EXPECT_EQ(bytes.GetSize(), 0);
    EXPECT_EQ(*bytes.GetAt(5), 0) << "an empty buffer keeps one byte";
    bytes.SetSize(3, TRUE);
    *bytes.GetAt(2) = 7;
    EXPECT_EQ(*bytes.GetAt(99), 7);
    EXPECT_EQ(bytes.GetAt(-1), bytes.GetData());
}

} // namespace
