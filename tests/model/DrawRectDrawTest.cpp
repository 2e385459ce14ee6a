// The rectangle object drawn into memory DCs prepared by a real surface
// view of the headless back end (y up, zoom 100 and 37): every kind with
// each fill, pen width, turn and mirror, probed inside, on and outside its
// outline; the ellipse's area; the banded fill inside the shape; and what
// unknown kinds and side counts from files draw.

#include "model/DrawRect.h"

#include "tests/model/ModelTestSupport.h"

#include "app/PointArray.h"
#include "app/RectGeometry.h"
#include "model/StockShapes.h"
#include "platform/files/HostPath.h"
#include "platform/imaging/Imaging.h"
#include "surface/SurfaceGlobals.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using modeltest::ViewBitmap;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPen = RGB(0, 0, 255);
constexpr COLORREF kSolid = RGB(255, 0, 0);
constexpr COLORREF kHatch = RGB(0, 128, 0);
constexpr COLORREF kBandFirst = RGB(255, 255, 0);
constexpr COLORREF kBandLast = RGB(0, 255, 255);

bool Contains(const std::vector<COLORREF>& pixels, COLORREF cr)
{
    return std::find(pixels.begin(), pixels.end(), cr) != pixels.end();
}

class DrawRectDrawTest : public modeltest::DesignViewTest {
protected:
    void BeforeOpening() override { thePrefs.Flags &= ~WORD(PREF_FLAG_MOVE_FILLED); }
    // A shape of the view (the view owns it), outlined in kPen.
    CDrawRect* Place(const CRect& rect, int nKind)
    {
        auto* pShape = new CDrawRect(rect, nKind);
        pShape->m_logpen.lopnColor = kPen;
        m_pView->Add(pShape);
        return pShape;
    }
    void Discard(CDrawRect* pShape)
    {
        m_pView->Remove(pShape);
        delete pShape;
    }
};

enum class Fill { None, Solid, Hatched, Banded };
enum class Pose { Plain, Turned, Mirrored };

const char* Name(Fill f)
{
    switch (f) {
    case Fill::None: return "no fill";
    case Fill::Solid: return "solid";
    case Fill::Hatched: return "hatched";
    case Fill::Banded: return "banded";
    }
    return "";
}

const char* Name(Pose p)
{
    switch (p) {
    case Pose::Plain: return "plain";
    case Pose::Turned: return "turned 30";
    case Pose::Mirrored: return "mirrored";
    }
    return "";
}

void Dress(CDrawRect* pShape, Fill fill, int nPenWidth)
{
    pShape->m_logpen.lopnStyle = PS_INSIDEFRAME;
    pShape->m_logpen.lopnWidth.x = nPenWidth;
    pShape->m_bFill = fill != Fill::None;
    pShape->m_logbrush.lbStyle = fill == Fill::Hatched ? BS_HATCHED : BS_SOLID;
    pShape->m_logbrush.lbColor = fill == Fill::Hatched ? kHatch : kSolid;
    pShape->m_logbrush.lbHatch = HS_DIAGCROSS;
    if (fill == Fill::Banded) {
        pShape->m_fill.m_nKind = 2;
        pShape->m_fill.m_wMode = 2;
        pShape->m_fill.m_crFirst = kBandFirst;
        pShape->m_fill.m_crFourth = kBandLast;
    }
}

// Where the outline starts: a corner, the ellipse's and the polygon's point
// at angle 0, or the stock outline's first point.
CPoint OutlineStart(int nKind, const CRect& rect, int nRotation)
{
    const CPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    POINT p{rect.left, rect.top};
    if (nKind == SHAPE_ELLIPSE || nKind == SHAPE_REGULAR_POLYGON) {
        p = POINT{centre.x + std::abs(rect.right - rect.left) / 2, centre.y};
    } else if (nKind == SHAPE_LINE) {
        p = POINT{centre.x, centre.y};
    } else if (UINT id = GetStockOutlineId(nKind)) {
        CPointArray points;
        EXPECT_TRUE(GetStockOutlinePoints(id, rect, nRotation, FALSE, points));
        return CPoint(*points.GetAt(0));
    }
    RotatePoints(centre, &p, 1, nRotation, FALSE);
    return CPoint(p);
}

// Kinds whose box corners lie outside the shape.
bool CornerOutside(int nKind)
{
    switch (nKind) {
    case SHAPE_ROUND_RECTANGLE:
    case SHAPE_ELLIPSE:
    case SHAPE_STAR:
    case SHAPE_DIAMOND:
    case SHAPE_REGULAR_POLYGON:
    case SHAPE_HEART:
    case SHAPE_SPADE:
        return true;
    default:
        return false;
    }
}

TEST_F(DrawRectDrawTest, EveryKindDrawsInsideOnAndOutsideItsOutline)
{
    const CRect rect(-200, 150, 200, -150);
    for (int nZoom : {100, 37}) {
        SetZoom(nZoom);
        ViewBitmap bmp(m_pView);
        for (int nKind = 0; nKind < SHAPE_KIND_COUNT; ++nKind) {
            for (Fill fill : {Fill::None, Fill::Solid, Fill::Hatched, Fill::Banded}) {
                if (nKind == SHAPE_LINE && fill != Fill::None)
                    continue;
                for (int nPen : {0, 1, 10}) {
                    for (Pose pose : {Pose::Plain, Pose::Turned, Pose::Mirrored}) {
                        SCOPED_TRACE(testing::Message() << "kind " << nKind << ", " << Name(fill) << ", pen " << nPen
                                                        << ", " << Name(pose) << ", zoom " << nZoom);
                        CDrawRect* pShape = Place(rect, nKind);
                        pShape->m_nSides = 5;
                        Dress(pShape, fill, nPen);
                        int nRotation = 0;
                        if (pose == Pose::Turned) {
                            nRotation = 30;
                            pShape->SetAngle(30);
                            pShape->m_dAngle = 30;
                        } else if (pose == Pose::Mirrored) {
                            pShape->Flip(TRUE, FALSE);
                        }
                        bmp.Clear();
                        pShape->Draw(bmp.Dc());
                        const CRect shapeRect = pShape->m_rectUnrotated;

                        // On the outline.
                        const CPoint start = OutlineStart(nKind, shapeRect, nKind == SHAPE_LINE ? 0 : nRotation);
                        EXPECT_TRUE(Contains(bmp.Around(start.x, start.y, 1), kPen))
                            << "outline at " << start.x << "," << start.y;
                        // Far outside.
                        EXPECT_EQ(bmp.At(330, 0), kWhite);
                        EXPECT_EQ(bmp.At(0, 300), kWhite);
                        EXPECT_EQ(bmp.At(-330, -20), kWhite);
                        if (nKind != SHAPE_LINE) {
                            // Inside, about the centre.
                            const std::vector<COLORREF> inside = bmp.Around(0, 0, 4);
                            switch (fill) {
                            case Fill::None:
                                EXPECT_EQ(bmp.At(0, 0), kWhite);
                                break;
                            case Fill::Solid:
                                EXPECT_EQ(bmp.At(0, 0), kSolid);
                                break;
                            case Fill::Hatched:
                                EXPECT_TRUE(Contains(inside, kHatch));
                                EXPECT_TRUE(Contains(inside, kWhite));
                                break;
                            case Fill::Banded: {
                                // A blend of the two colours: full green,
                                // red and blue between.
                                const COLORREF cr = bmp.At(0, 0);
                                EXPECT_EQ(GetGValue(cr), 255);
                                EXPECT_GT(GetRValue(cr), 60);
                                EXPECT_GT(GetBValue(cr), 60);
                                break;
                            }
                            }
                        }
                        if (CornerOutside(nKind)) {
                            // Just inside the box's corner, outside the shape.
                            POINT corner{shapeRect.left + (shapeRect.left < shapeRect.right ? 12 : -12),
                                shapeRect.top - 12};
                            RotatePoints(POINT{0, 0}, &corner, 1, nRotation, FALSE);
                            EXPECT_EQ(bmp.At(corner.x, corner.y), kWhite) << "corner";
                        }
                        Discard(pShape);
                    }
                }
            }
        }
    }
}

TEST_F(DrawRectDrawTest, AnEllipseCoversItsAreaAndMissesItsCorners)
{
    const CRect rect(-300, 200, 300, -200);
    CDrawRect* pShape = Place(rect, SHAPE_ELLIPSE);
    Dress(pShape, Fill::Solid, 0);
    pShape->m_bOutline = FALSE;
    ViewBitmap bmp(m_pView);
    pShape->Draw(bmp.Dc());
    const CPoint topLeft = bmp.ToDevice(rect.left, rect.top);
    const CPoint bottomRight = bmp.ToDevice(rect.right, rect.bottom);
    int nCount = 0;
    for (COLORREF cr : bmp.Pixels(CRect(topLeft.x - 2, topLeft.y - 2, bottomRight.x + 2, bottomRight.y + 2)))
        nCount += cr == kSolid ? 1 : 0;
    const double a = (bottomRight.x - topLeft.x) / 2.0;
    const double b = (bottomRight.y - topLeft.y) / 2.0;
    EXPECT_NEAR(nCount, M_PI * a * b, 0.02 * M_PI * a * b);
    EXPECT_EQ(bmp.At(rect.left + 10, rect.top - 10), kWhite);
    EXPECT_EQ(bmp.At(rect.right - 10, rect.bottom + 10), kWhite);
}

// Each channel moves one way only along the pixels.
bool Monotonic(const std::vector<COLORREF>& pixels)
{
    for (int shift : {0, 8, 16}) {
        const int nDirection = int((pixels.back() >> shift) & 0xFF) - int((pixels.front() >> shift) & 0xFF);
        for (size_t i = 1; i < pixels.size(); ++i) {
            const int nStep = int((pixels[i] >> shift) & 0xFF) - int((pixels[i - 1] >> shift) & 0xFF);
            if (nStep * nDirection < 0)
                return false;
        }
    }
    return true;
}

TEST_F(DrawRectDrawTest, BandsRunInsideTheRectangleFromTheFirstColourToTheLast)
{
    const CRect rect(-200, 100, 200, -100);
    for (int nZoom : {100, 37}) {
        SetZoom(nZoom);
        CDrawRect* pShape = Place(rect, SHAPE_RECTANGLE);
        pShape->m_bOutline = FALSE;
        Dress(pShape, Fill::Banded, 0);
        ViewBitmap bmp(m_pView);
        pShape->Draw(bmp.Dc());
        const CPoint left = bmp.ToDevice(rect.left, 0);
        const CPoint right = bmp.ToDevice(rect.right, 0);
        EXPECT_EQ(bmp.At(left), kBandFirst) << nZoom;
        EXPECT_EQ(bmp.At(CPoint(right.x - 1, right.y)), kBandLast) << nZoom;
        EXPECT_EQ(bmp.At(CPoint(right.x + 1, right.y)), kWhite);
        const std::vector<COLORREF> row = bmp.Pixels(CRect(left.x, left.y, right.x, left.y + 1));
        EXPECT_TRUE(Monotonic(row));
        EXPECT_FALSE(Contains(row, kWhite));

        // Three colours pass the second in the middle.
        pShape->m_fill.m_wMode = 3;
        pShape->m_fill.m_crSecond = RGB(255, 0, 255);
        bmp.Clear();
        pShape->Draw(bmp.Dc());
        const COLORREF middle = bmp.At(0, 0);
        EXPECT_GE(GetRValue(middle), 235);
        EXPECT_LE(GetGValue(middle), 20);
        EXPECT_GE(GetBValue(middle), 235);
        Discard(pShape);
    }
    SetZoom(100);

    // Kind 1 rises from the bottom.
    CDrawRect* pShape = Place(rect, SHAPE_RECTANGLE);
    pShape->m_bOutline = FALSE;
    Dress(pShape, Fill::Banded, 0);
    pShape->m_fill.m_nKind = 1;
    ViewBitmap bmp(m_pView);
    pShape->Draw(bmp.Dc());
    const CPoint bottom = bmp.ToDevice(0, rect.bottom);
    const CPoint top = bmp.ToDevice(0, rect.top);
    EXPECT_EQ(bmp.At(CPoint(bottom.x, bottom.y - 1)), kBandFirst);
    EXPECT_EQ(bmp.At(top), kBandLast);
    EXPECT_TRUE(Monotonic(bmp.Pixels(CRect(top.x, top.y, top.x + 1, bottom.y))));

    // Mirrored left to right, the bands of kind 2 run the other way.
    pShape->m_fill.m_nKind = 2;
    pShape->Flip(TRUE, FALSE);
    bmp.Clear();
    pShape->Draw(bmp.Dc());
    EXPECT_EQ(bmp.At(rect.left, 0), kBandLast);
    const CPoint right = bmp.ToDevice(rect.right, 0);
    EXPECT_EQ(bmp.At(CPoint(right.x - 1, right.y)), kBandFirst);
}

TEST_F(DrawRectDrawTest, TurnedBandsStayInsideTheTurnedShape)
{
    const CRect rect(-200, 100, 200, -100);
    for (int nKind : {SHAPE_RECTANGLE, SHAPE_ELLIPSE, SHAPE_STAR}) {
        CDrawRect* pShape = Place(rect, nKind);
        pShape->m_bOutline = FALSE;
        Dress(pShape, Fill::Banded, 0);
        pShape->SetAngle(30);
        ViewBitmap bmp(m_pView);
        pShape->Draw(bmp.Dc());
        // The unturned box's corners lie outside the turned shape.
        for (POINT p : {POINT{-195, 95}, POINT{195, -95}, POINT{-150, 95}, POINT{150, -95}})
            EXPECT_EQ(bmp.At(p.x, p.y), kWhite) << nKind << " at " << p.x << "," << p.y;
        // Along the turned axis, the first colour's end and the last's.
        const double c = std::cos(30 * M_PI / 180);
        const double s = std::sin(30 * M_PI / 180);
        if (nKind != SHAPE_STAR) {
            const COLORREF nearLeft = bmp.At(int(-150 * c), int(-150 * s));
            const COLORREF nearRight = bmp.At(int(150 * c), int(150 * s));
            EXPECT_GT(GetRValue(nearLeft), 200) << nKind;
            EXPECT_GT(GetBValue(nearRight), 200) << nKind;
        }
        Discard(pShape);
    }
}

TEST_F(DrawRectDrawTest, BandCountsFromFilesDrawBoundedAndFast)
{
    const CRect rect(-200, 100, 200, -100);
    CDrawRect* pShape = Place(rect, SHAPE_ELLIPSE);
    pShape->m_bOutline = FALSE;
    Dress(pShape, Fill::Banded, 0);
    pShape->m_fill.m_wMode = 9;
    pShape->m_fill.m_nAmount = static_cast<int>(4000000000u);
    ViewBitmap bmp(m_pView);
    const auto start = std::chrono::steady_clock::now();
    pShape->Draw(bmp.Dc());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_NE(bmp.At(0, 0), kWhite);
    EXPECT_EQ(bmp.At(-195, 95), kWhite);
}

TEST_F(DrawRectDrawTest, UnknownKindsDrawAsRectanglesAndPolygonsHaveAtLeastThreeSides)
{
    const CRect rect(-200, 100, 200, -100);
    ViewBitmap bmp(m_pView);
    auto draw = [&](int nKind, int nSides, Fill fill) {
        CDrawRect* pShape = Place(rect, nKind);
        pShape->m_nSides = nSides;
        Dress(pShape, fill, 10);
        pShape->SetAngle(30);
        bmp.Clear();
        pShape->Draw(bmp.Dc());
        const CPoint a = bmp.ToDevice(-300, 300);
        const CPoint b = bmp.ToDevice(300, -300);
        std::vector<COLORREF> pixels = bmp.Pixels(CRect(a, b));
        EXPECT_EQ(pShape->m_nShape, nKind);
        EXPECT_EQ(pShape->m_nSides, nSides);
        Discard(pShape);
        return pixels;
    };
    for (Fill fill : {Fill::Solid, Fill::Banded}) {
        const std::vector<COLORREF> rectangle = draw(SHAPE_RECTANGLE, 4, fill);
        EXPECT_TRUE(draw(20, 4, fill) == rectangle) << Name(fill);
        EXPECT_TRUE(draw(-3, 4, fill) == rectangle) << Name(fill);
        const std::vector<COLORREF> triangle = draw(SHAPE_REGULAR_POLYGON, 3, fill);
        EXPECT_TRUE(draw(SHAPE_REGULAR_POLYGON, 1, fill) == triangle) << Name(fill);
        EXPECT_TRUE(draw(SHAPE_REGULAR_POLYGON, 0, fill) == triangle) << Name(fill);
    }
}

TEST_F(DrawRectDrawTest, TheLeftBubbleIsTheRightOneMirrored)
{
    const CRect rect(-200, 150, 200, -150);
    ViewBitmap bmp(m_pView);
    auto draw = [&](int nKind, BOOL bFlip) {
        CDrawRect* pShape = Place(rect, nKind);
        Dress(pShape, Fill::Solid, 0);
        pShape->m_bOutline = FALSE;
        if (bFlip)
            pShape->Flip(TRUE, FALSE);
        bmp.Clear();
        pShape->Draw(bmp.Dc());
        Discard(pShape);
        const CPoint a = bmp.ToDevice(-220, 170);
        const CPoint b = bmp.ToDevice(220, -170);
        return bmp.Pixels(CRect(a, b));
    };
    const std::vector<COLORREF> left = draw(SHAPE_BUBBLE_LEFT, FALSE);
    const std::vector<COLORREF> mirrored = draw(SHAPE_BUBBLE_RIGHT, TRUE);
    const std::vector<COLORREF> right = draw(SHAPE_BUBBLE_RIGHT, FALSE);
    ASSERT_EQ(left.size(), mirrored.size());
    int nFilled = 0;
    int nDiffer = 0;
    int nDifferUnmirrored = 0;
    for (size_t i = 0; i < left.size(); ++i) {
        nFilled += left[i] == kSolid ? 1 : 0;
        nDiffer += left[i] != mirrored[i] ? 1 : 0;
        nDifferUnmirrored += left[i] != right[i] ? 1 : 0;
    }
    ASSERT_GT(nFilled, 1000);
    EXPECT_LT(nDiffer, nFilled / 50);
    EXPECT_GT(nDifferUnmirrored, nFilled / 20);
}

TEST_F(DrawRectDrawTest, ADraggedShapeIsAFrameUnlessObjectsMoveFilled)
{
    const CRect rect(-200, 100, 200, -100);
    CDrawRect* pShape = Place(rect, SHAPE_ELLIPSE);
    Dress(pShape, Fill::Solid, 0);
    pShape->m_wFlags |= OBJ_FLAG_DRAGGING;
    ViewBitmap bmp(m_pView);
    pShape->Draw(bmp.Dc());
    EXPECT_EQ(bmp.At(0, 0), kWhite);
    // The frame is the box, corners included.
    EXPECT_TRUE(Contains(bmp.Around(rect.left, rect.top, 1), kPen));
    thePrefs.Flags |= PREF_FLAG_MOVE_FILLED;
    bmp.Clear();
    pShape->Draw(bmp.Dc());
    EXPECT_EQ(bmp.At(0, 0), kSolid);
    EXPECT_EQ(bmp.At(rect.left + 10, rect.top - 10), kWhite);
}

TEST_F(DrawRectDrawTest, AHatchShowsItsBackgroundColourOrWhatLiesUnder)
{
    const CRect rect(-200, 100, 200, -100);
    CDrawRect* pShape = Place(rect, SHAPE_RECTANGLE);
    Dress(pShape, Fill::Hatched, 0);
    pShape->m_nContentWord = RGB(255, 255, 0);
    ViewBitmap bmp(m_pView);
    pShape->Draw(bmp.Dc());
    const std::vector<COLORREF> inside = bmp.Around(0, 0, 5);
    EXPECT_TRUE(Contains(inside, kHatch));
    EXPECT_TRUE(Contains(inside, RGB(255, 255, 0)));
    EXPECT_FALSE(Contains(inside, kWhite));
}

TEST_F(DrawRectDrawTest, ACalendarKeepsItsOutlineOnScreen)
{
    const CRect rect(-200, 100, 200, -100);
    CDrawRect* pShape = Place(rect, SHAPE_RECTANGLE);
    Dress(pShape, Fill::Solid, 10);
    pShape->m_nCalendarStart = 2460436;
    pShape->m_nCalendarWords[1] = CALENDAR_MONTH;
    ViewBitmap bmp(m_pView);
    pShape->Draw(bmp.Dc());
    EXPECT_EQ(bmp.At(0, 0), kSolid);
    EXPECT_TRUE(Contains(bmp.Around(rect.left, 0, 1), kPen));
    EXPECT_EQ(pShape->m_nDrawing, 0);
    EXPECT_FALSE(pShape->m_bShapeFailed);
}

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift : {24, 16, 8, 0})
        out.push_back(uint8_t(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    PutBig32(out, uint32_t(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBig32(out, Crc32(body.data(), body.size()));
}

// An indexed-colour PNG of the pixels (at most 256 colours) with stored,
// uncompressed deflate blocks; empty when there are more colours.
std::vector<uint8_t> EncodeIndexedPng(const std::vector<COLORREF>& pixels, int nWidth, int nHeight)
{
    std::vector<COLORREF> palette;
    std::vector<uint8_t> raw;
    for (int y = 0; y < nHeight; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < nWidth; ++x) {
            const COLORREF cr = pixels[size_t(y) * nWidth + x];
            auto found = std::find(palette.begin(), palette.end(), cr);
            if (found == palette.end()) {
                if (palette.size() == 256)
                    return {};
                found = palette.insert(palette.end(), cr);
            }
            raw.push_back(uint8_t(found - palette.begin()));
        }
    }
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    PutBig32(header, uint32_t(nWidth));
    PutBig32(header, uint32_t(nHeight));
    header.insert(header.end(), {8, 3, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    std::vector<uint8_t> colours;
    for (COLORREF cr : palette)
        colours.insert(colours.end(), {GetRValue(cr), GetGValue(cr), GetBValue(cr)});
    PutChunk(png, "PLTE", colours);
    std::vector<uint8_t> zlib{0x78, 0x01};
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        const size_t n = std::min<size_t>(65535, raw.size() - pos);
        const bool bLast = pos + n == raw.size();
        zlib.insert(zlib.end(), {uint8_t(bLast ? 1 : 0), uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)});
        zlib.insert(zlib.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
        pos += n;
        if (bLast)
            break;
    }
    PutBig32(zlib, (b << 16) | a);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

// Each kind, filled and outlined with a thick pen and turned a little, as
// the picture kept in tests/data/model. THREADWICK_UPDATE_GOLDEN=1 writes
// the pictures again after a deliberate change.
TEST_F(DrawRectDrawTest, EveryKindLooksAsItDid)
{
    const CRect rect(-150, 100, 150, -100);
    const bool bUpdate = std::getenv("THREADWICK_UPDATE_GOLDEN") != nullptr;
    const std::string folder = std::string(THREADWICK_SOURCE_DIR) + "/tests/data/model";
    if (bUpdate)
        std::filesystem::create_directories(folder);
    SetZoom(37);
    ViewBitmap bmp(m_pView);
    for (int nKind = 0; nKind < SHAPE_KIND_COUNT; ++nKind) {
        CDrawRect* pShape = Place(rect, nKind);
        Dress(pShape, Fill::Solid, 12);
        pShape->m_nSides = 7;
        pShape->SetAngle(15);
        bmp.Clear();
        pShape->Draw(bmp.Dc());
        Discard(pShape);
        const CPoint a = bmp.ToDevice(-200, 150);
        const CPoint b = bmp.ToDevice(200, -150);
        const CRect device(a, b);
        const std::vector<COLORREF> pixels = bmp.Pixels(device);

        char name[32];
        std::snprintf(name, sizeof(name), "/shape-%02d.png", nKind);
        const std::string path = folder + name;
        if (bUpdate) {
            const std::vector<uint8_t> png = EncodeIndexedPng(pixels, device.Width(), device.Height());
            ASSERT_FALSE(png.empty()) << "more than 256 colours";
            FILE* pFile = std::fopen(path.c_str(), "wb");
            ASSERT_NE(pFile, nullptr) << path;
            EXPECT_EQ(std::fwrite(png.data(), 1, png.size(), pFile), png.size());
            std::fclose(pFile);
        }
        LTBITMAP want;
        ASSERT_EQ(LtLoadFile(platform::WindowsPathFor(path).c_str(), &want, 24, LT_ORDER_BGR, LT_LOAD_ALLOCATE | LT_LOAD_STORE,
                      nullptr, nullptr),
            LT_SUCCESS)
            << path << " is missing; set THREADWICK_UPDATE_GOLDEN=1 to write it";
        ASSERT_EQ(want.Width, device.Width()) << path;
        ASSERT_EQ(want.Height, device.Height()) << path;
        int nDiffer = 0;
        for (int y = 0; y < want.Height; ++y) {
            for (int x = 0; x < want.Width; ++x) {
                const BYTE* p = &want.Pixels[size_t(y) * want.BytesPerLine + size_t(x) * 3];
                nDiffer += RGB(p[2], p[1], p[0]) != pixels[size_t(y) * device.Width() + x] ? 1 : 0;
            }
        }
        EXPECT_EQ(nDiffer, 0) << "kind " << nKind << " differs from " << path
                              << "; set THREADWICK_UPDATE_GOLDEN=1 to write the picture again";
    }
}

// A binary PPM as pdftoppm writes it.
bool Near(COLORREF a, COLORREF b, int nTolerance = 24)
{
    auto close = [&](int x, int y) { return std::abs(x - y) <= nTolerance; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

// On paper the shapes are vectors: the printer DC's PDF, rendered by
// pdftoppm, shows them where the page mapping puts them.
TEST_F(DrawRectDrawTest, ShapesPrintWhereTheyShow)
{
    modeltest::PrintedPage page;
    const bool bPrinted = page.Print(m_pView, [&](CDC* pDC) {
        CDrawRect* pEllipse = Place(CRect(-450, 100, -150, -100), SHAPE_ELLIPSE);
        Dress(pEllipse, Fill::Solid, 0);
        pEllipse->m_bOutline = FALSE;
        CDrawRect* pBands = Place(CRect(-100, 100, 200, -100), SHAPE_RECTANGLE);
        Dress(pBands, Fill::Banded, 0);
        pBands->m_bOutline = FALSE;
        CDrawRect* pStar = Place(CRect(-100, 350, 100, 150), SHAPE_STAR);
        Dress(pStar, Fill::Solid, 4);
        for (CDrawRect* pShape : {pEllipse, pBands, pStar}) {
            pShape->Draw(pDC);
            Discard(pShape);
        }
    }, 50);
    if (page.m_bNoRenderer)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    ASSERT_TRUE(bPrinted) << page.m_strError;
    ASSERT_EQ(page.m_nWidth, 425); // 8.5 in at 50 dpi
    auto at = [&](int x, int y) { return page.At(x, y); };
    EXPECT_TRUE(Near(at(-300, 0), kSolid));
    EXPECT_TRUE(Near(at(-440, 90), kWhite));
    EXPECT_TRUE(Near(at(-300, 130), kWhite));
    EXPECT_TRUE(Near(at(-90, 0), kBandFirst, 48));
    EXPECT_TRUE(Near(at(190, 0), kBandLast, 48));
    EXPECT_TRUE(Near(at(50, 130), kWhite));
    EXPECT_TRUE(Near(at(0, 250), kSolid));
    EXPECT_TRUE(Near(at(-90, 340), kWhite));
    EXPECT_TRUE(Near(at(90, 160), kWhite));
}

} // namespace
