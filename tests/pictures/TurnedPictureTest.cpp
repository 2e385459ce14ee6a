// Turned pictures: a raster with clear parts over another picture, an
// opaque photograph and a metafile, turned by the rotation handle and by
// the Rotate dialog, mirrored or not, show their content turned the way
// their frame turned, whole inside that frame and nothing outside it, let
// what lies below show through their clear parts, keep their handles on
// the frame's corners, and print as the screen shows them.

#include "tests/surface/PictureEditTestSupport.h"
#include "tests/surface/SurfacePaintTestSupport.h"

#include "app/RectGeometry.h"
#include "model/DrawRect.h"
#include "model/ShapeMaskDraw.h"
#include "pictures/Image.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/CommDlgMisc.h"
#include "resources/resource.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/support/EmfBuilder.h"

#include <cairo/cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace surfacetest {
namespace {

// The picture's quarters as its file has them, and what lies below.
constexpr COLORREF kTopLeft = RGB(220, 30, 30);
constexpr COLORREF kTopRight = RGB(30, 200, 40);
constexpr COLORREF kBottomLeft = RGB(30, 40, 220);
constexpr COLORREF kBottomRight = RGB(240, 220, 30);
constexpr COLORREF kBelow = RGB(200, 0, 200);
constexpr COLORREF kClear = CLR_INVALID; // where the picture lets the below show

// The source picture: 120 x 80, a clear band round the edge for the kinds
// that have one.
constexpr int kSourceWidth = 120;
constexpr int kSourceHeight = 80;
constexpr int kClearBand = 14;

enum class Kind { ClearPng, Photo, Metafile };
enum class Road { Handle, Dialog };

const char* NameOf(Kind kind)
{
    switch (kind) {
    case Kind::ClearPng: return "PNG with clear parts";
    case Kind::Photo: return "JPEG";
    case Kind::Metafile: return "metafile";
    }
    return "?";
}

// What the picture holds at (u, v), each 0..1 across and down its file.
COLORREF SourceAt(Kind kind, double u, double v)
{
    if (kind == Kind::ClearPng) {
        const double bu = double(kClearBand) / kSourceWidth;
        const double bv = double(kClearBand) / kSourceHeight;
        if (u < bu || u > 1 - bu || v < bv || v > 1 - bv)
            return kClear;
    }
    if (v < 0.5)
        return u < 0.5 ? kTopLeft : kTopRight;
    return u < 0.5 ? kBottomLeft : kBottomRight;
}

// The lines across and down the file (in shares of its size) where the
// picture's colour changes; pixels near them are not judged.
std::vector<double> EdgesAcross(Kind kind)
{
    std::vector<double> edges{0.5};
    if (kind == Kind::ClearPng) {
        edges.push_back(double(kClearBand) / kSourceWidth);
        edges.push_back(1 - double(kClearBand) / kSourceWidth);
    }
    return edges;
}

std::vector<double> EdgesDown(Kind kind)
{
    std::vector<double> edges{0.5};
    if (kind == Kind::ClearPng) {
        edges.push_back(double(kClearBand) / kSourceHeight);
        edges.push_back(1 - double(kClearBand) / kSourceHeight);
    }
    return edges;
}

picture_files::Raster Quarters()
{
    picture_files::Raster r(kSourceWidth, kSourceHeight);
    r.Fill(0, 0, kSourceWidth / 2, kSourceHeight / 2, kTopLeft);
    r.Fill(kSourceWidth / 2, 0, kSourceWidth, kSourceHeight / 2, kTopRight);
    r.Fill(0, kSourceHeight / 2, kSourceWidth / 2, kSourceHeight, kBottomLeft);
    r.Fill(kSourceWidth / 2, kSourceHeight / 2, kSourceWidth, kSourceHeight, kBottomRight);
    return r;
}

std::string WriteClearPng(const std::string& hostPath)
{
    const picture_files::Raster r = Quarters();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, r.width, r.height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < r.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < r.width; ++x) {
            const COLORREF c = r.At(x, y);
            const bool bClear = x < kClearBand || y < kClearBand || x >= r.width - kClearBand
                || y >= r.height - kClearBand;
            row[x] = bClear ? 0u
                            : 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8)
                    | GetBValue(c);
        }
    }
    cairo_surface_mark_dirty(surface);
    const bool bWritten = cairo_surface_write_to_png(surface, hostPath.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return bWritten ? platform::WindowsPathFor(hostPath) : std::string();
}


// An enhanced metafile of the four quarters, 1200 x 800 device units.
HENHMETAFILE QuartersEmf()
{
    testing_support::EmfBuilder emf;
    emf.Record(37, {0x80000008u}); // the null pen
    const struct {
        uint32_t l, t, r, b;
        COLORREF c;
    } quarters[] = {{0, 0, 1200, 800, kTopLeft}, {600, 0, 1200, 440, kTopRight}, {0, 400, 640, 800, kBottomLeft},
        {600, 400, 1200, 800, kBottomRight}};
    // Each quarter over the one before, so that every edge between two
    // colours is the left or top side of a rectangle: the right and bottom
    // sides a rectangle leaves out at a small scale never show.
    for (const auto& q : quarters) {
        emf.Record(39, {1, 0 /* BS_SOLID */, q.c, 0}); // a brush in slot 1
        emf.Record(37, {1});
        emf.Record(43, {q.l, q.t, q.r + 20, q.b + 20});
        emf.Record(37, {0x80000004u});
        emf.Record(40, {1});
    }
    return emf.Make(RECT{0, 0, 1199, 799}, RECT{0, 0, 11999, 7999}, 2);
}

// A point in floating device units.
struct Pt {
    double x;
    double y;
};

// Where a turned picture should show: its file's top-left, top-right,
// bottom-right and bottom-left corners on the device.
using Corners = std::array<Pt, 4>;

// Distance from p to the segment a-b.
double SegmentDistance(Pt p, Pt a, Pt b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return std::abs(int(GetRValue(a)) - int(GetRValue(b))) <= nTolerance
        && std::abs(int(GetGValue(a)) - int(GetGValue(b))) <= nTolerance
        && std::abs(int(GetBValue(a)) - int(GetBValue(b))) <= nTolerance;
}

// The pixels that differ from what the corners ask for: inside the
// quadrilateral (more than 2 pixels in from its sides and from the
// picture's own colour edges) the picture's content, what lies below
// where it is clear; outside it (more than 2 pixels out) what lies below.
// pixel(x, y) reads the device.
int WrongPixels(Kind kind, const Corners& c, const std::function<COLORREF(int, int)>& pixel, int nTolerance)
{
    const Pt ex{c[1].x - c[0].x, c[1].y - c[0].y};
    const Pt ey{c[3].x - c[0].x, c[3].y - c[0].y};
    const double det = ex.x * ey.y - ex.y * ey.x;
    const double lenX = std::hypot(ex.x, ex.y);
    const double lenY = std::hypot(ey.x, ey.y);
    if (std::fabs(det) < 1)
        return -1;
    double minX = c[0].x, maxX = c[0].x, minY = c[0].y, maxY = c[0].y;
    for (const Pt& p : c) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // Resampling (and a JPEG's own blur) soften every edge by a pixel or two.
    constexpr double kMargin = 3.0;
    constexpr int kAround = 12;
    const std::vector<double> across = EdgesAcross(kind);
    const std::vector<double> down = EdgesDown(kind);
    int nWrong = 0;
    for (int y = int(std::floor(minY)) - kAround; y <= int(std::ceil(maxY)) + kAround; ++y) {
        for (int x = int(std::floor(minX)) - kAround; x <= int(std::ceil(maxX)) + kAround; ++x) {
            // The pixel's centre in shares of the picture's sides.
            const Pt p{x + 0.5 - c[0].x, y + 0.5 - c[0].y};
            const double u = (p.x * ey.y - p.y * ey.x) / det;
            const double v = (ex.x * p.y - ex.y * p.x) / det;
            double dEdge = 1e9;
            for (int i = 0; i < 4; ++i)
                dEdge = std::min(dEdge, SegmentDistance(Pt{x + 0.5, y + 0.5}, c[size_t(i)], c[size_t((i + 1) % 4)]));
            if (dEdge <= kMargin)
                continue;
            const bool bInside = u > 0 && u < 1 && v > 0 && v < 1;
            COLORREF expected = kBelow;
            if (bInside) {
                bool bNearEdge = false;
                for (double e : across)
                    bNearEdge = bNearEdge || std::fabs(u - e) * lenX <= kMargin;
                for (double e : down)
                    bNearEdge = bNearEdge || std::fabs(v - e) * lenY <= kMargin;
                if (bNearEdge)
                    continue;
                expected = SourceAt(kind, u, v);
                if (expected == kClear)
                    expected = kBelow;
            }
            if (!Near(pixel(x, y), expected, nTolerance))
                ++nWrong;
        }
    }
    return nWrong;
}

struct Case {
    int nAngle;
    bool bFlipped;
};

constexpr Case kCases[] = {{30, false}, {90, false}, {215, false}, {324, false}, {30, true}, {90, true},
    {215, true}, {324, true}};

class TurnedPictureTest : public PictureEditTest {
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        platform::SetPrinterListProvider(nullptr);
        m_pView = NewToolView();
        ASSERT_NE(m_pView, nullptr);
        m_dir = testing_support::MakeTempDir("turnedpicture");
        picture_files::Raster below(16, 16, kBelow);
        m_belowPath = picture_files::WriteBmp(below, m_dir + "/below.bmp");
        m_photoPath = picture_files::WriteJpeg(Quarters(), m_dir + "/photo.jpg");
        m_clearPath = WriteClearPng(m_dir + "/clear.png");
        ASSERT_FALSE(m_photoPath.empty());
        ASSERT_FALSE(m_clearPath.empty());
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        ToolTest::TearDown();
    }

    CDrawRect* AddPicture(const CRect& rect, Kind kind, bool bBelow = false)
    {
        auto* pObj = new CDrawRect(rect);
        pObj->m_logpen.lopnStyle = PS_NULL;
        m_pView->Add(pObj);
        if (bBelow) {
            pObj->SetPictureFile(m_belowPath.c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        } else if (kind == Kind::Metafile) {
            HENHMETAFILE hEmf = QuartersEmf();
            pObj->SetPictureFromEnhMetaFile(hEmf, TRUE, FALSE);
            ::DeleteEnhMetaFile(hEmf);
        } else {
            const std::string& path = kind == Kind::Photo ? m_photoPath : m_clearPath;
            pObj->SetPictureFile(path.c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, 0);
        }
        pObj->m_logpen.lopnStyle = PS_NULL;
        pObj->m_bOutline = FALSE;
        return pObj->HasPicture() ? pObj : nullptr;
    }

    void TurnByHandle(CDrawObj* pObj, int nDegrees)
    {
        SelectAlone(pObj);
        const CRect r = CDrawObj::NormalizeUp(pObj->m_position);
        const CPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        // Far enough out that the whole-degree angle is the one asked for,
        // near enough to stay in the window.
        const double dRadius = 250;
        const double dRad = nDegrees * 3.14159265358979 / 180.0;
        const CPoint to(centre.x + int(std::lround(dRadius * std::cos(dRad))),
            centre.y + int(std::lround(dRadius * std::sin(dRad))));
        const CPoint from = ClientAt(m_pView, pObj->GetHandleRect(kRotateHandle, m_pView).CenterPoint());
        DragClient(m_pView, from, ClientAt(m_pView, to));
    }

    // One picture of each case over a picture of the below colour, turned
    // by the road; answers the objects in the order of kCases with the
    // frame each had before its turn.
    struct Placed {
        CDrawRect* pObj;
        CRect frame;
        Case turn;
        int nAngle; // as the turn left it: a drag hits the degree asked for within one
    };
    std::vector<Placed> PlaceCases(Kind kind, Road road)
    {
        std::vector<Placed> placed;
        // Inside the page and the part of it that reaches a sheet either
        // way round.
        if (AddPicture(CRect(-545, 420, 245, -420), kind, true) == nullptr)
            return placed;
        int i = 0;
        for (const Case& turn : kCases) {
            // Apart enough that no turned frame reaches another.
            const CPoint centre(-440 + (i % 4) * 190, 160 - (i / 4) * 320);
            const CRect frame(centre.x - 70, centre.y + 47, centre.x + 70, centre.y - 47);
            CDrawRect* pObj = AddPicture(frame, kind);
            if (pObj == nullptr)
                return {};
            Settle();
            if (turn.bFlipped) {
                SelectAlone(pObj);
                Command(ID_ARRANGE_FLIP_HORZ);
            }
            if (road == Road::Handle)
                TurnByHandle(pObj, turn.nAngle);
            else
                TurnByDialog(pObj, turn.nAngle);
            placed.push_back({pObj, frame, turn, pObj->GetRoundedAngle()});
            ++i;
        }
        m_pView->DeselectAllAndRedraw();
        Settle();
        return placed;
    }

    // The frame turned about its centre by the angle, in logical units: the
    // file's top-left, top-right, bottom-right and bottom-left corners
    // (mirrored left-right when flipped).
    static std::array<POINT, 4> TurnedFrame(const CRect& frame, int nAngle, bool bFlipped)
    {
        std::array<POINT, 4> pts{POINT{frame.left, frame.top}, POINT{frame.right, frame.top},
            POINT{frame.right, frame.bottom}, POINT{frame.left, frame.bottom}};
        if (bFlipped) {
            std::swap(pts[0], pts[1]);
            std::swap(pts[2], pts[3]);
        }
        const POINT centre{(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
        RotatePoints(centre, pts.data(), 4, nAngle, FALSE);
        return pts;
    }

    Corners OnScreen(const std::array<POINT, 4>& logical)
    {
        // Logical points map to client pixels linearly: two points give
        // the scale without rounding.
        CPoint o = ClientAt(m_pView, CPoint(0, 0));
        CPoint k = ClientAt(m_pView, CPoint(10000, 10000));
        const double sx = (k.x - o.x) / 10000.0;
        const double sy = (k.y - o.y) / 10000.0;
        Corners c;
        for (size_t i = 0; i < 4; ++i)
            c[i] = Pt{o.x + logical[i].x * sx, o.y + logical[i].y * sy};
        return c;
    }

    // Checks the handles and the screen at the view's present zoom; adds
    // the wrong pixels per case to the report.
    void CheckScreen(Kind kind, const std::vector<Placed>& placed, std::ostringstream& report, int& nFailures)
    {
        m_pView->Invalidate(FALSE);
        Settle();
        auto shown = [this](int x, int y) { return ShownPixel(m_pView, CPoint(x, y)); };
        for (const Placed& p : placed) {
            const int nAngle = p.nAngle;
            if (std::abs(nAngle - p.turn.nAngle) > 1) {
                report << "  turned to " << nAngle << " when " << p.turn.nAngle << " was asked for\n";
                ++nFailures;
            }
            const auto logical = TurnedFrame(p.frame, nAngle, p.turn.bFlipped);
            // The corner handles lie on the frame's corners.
            const int kHandles[4] = {7, 5, 3, 1};
            int nHandlesOff = 0;
            for (size_t i = 0; i < 4; ++i) {
                const CPoint h = p.pObj->GetHandle(kHandles[i], FALSE);
                bool bOnCorner = false;
                for (const POINT& q : logical)
                    bOnCorner = bOnCorner || (std::abs(q.x - h.x) <= 2 && std::abs(q.y - h.y) <= 2);
                nHandlesOff += bOnCorner ? 0 : 1;
            }
            const int nWrong = WrongPixels(kind, OnScreen(logical), shown, 48);
            report << "  " << NameOf(kind) << " at " << nAngle << (p.turn.bFlipped ? " flipped" : "") << ", zoom "
                   << m_pView->GetZoom() << ": " << nWrong << " wrong pixels, " << nHandlesOff
                   << " handles off the corners\n";
            if (nWrong != 0 || nHandlesOff != 0)
                ++nFailures;
        }
    }

    // Prints the design's objects on a printer page (rendered once for all
    // the cases) and checks each picture there as on the screen.
    void CheckPaper(Kind kind, const std::vector<Placed>& placed, std::ostringstream& report, int& nFailures)
    {
        constexpr int kDpi = 100;
        modeltest::PrintedPage page;
        // Where two logical points land on the sheet, in pixels of the
        // rendering: the printer's own mapping.
        Pt origin{0, 0};
        Pt unit{0, 0};
        const bool bPrinted = page.Print(m_pView,
            [&](CDC* pDC) {
                const double dScaleX = double(kDpi) / pDC->GetDeviceCaps(LOGPIXELSX);
                const double dScaleY = double(kDpi) / pDC->GetDeviceCaps(LOGPIXELSY);
                POINT pts[2] = {{0, 0}, {10000, 10000}};
                pDC->LPtoDP(pts, 2);
                const double dOffsetX = pDC->GetDeviceCaps(PHYSICALOFFSETX);
                const double dOffsetY = pDC->GetDeviceCaps(PHYSICALOFFSETY);
                origin = Pt{(pts[0].x + dOffsetX) * dScaleX, (pts[0].y + dOffsetY) * dScaleY};
                unit = Pt{(pts[1].x - pts[0].x) * dScaleX / 10000.0, (pts[1].y - pts[0].y) * dScaleY / 10000.0};
                CObList& objects = m_pView->GetObjects();
                for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;)
                    static_cast<CDrawObj*>(objects.GetNext(pos))->Draw(pDC);
            },
            kDpi);
        if (page.m_bNoRenderer) {
            report << "  (pdftoppm is not installed: paper not checked)\n";
            return;
        }
        ASSERT_TRUE(bPrinted) << page.m_strError;
        auto onPaper = [&](const std::array<POINT, 4>& logical) {
            Corners c;
            for (size_t i = 0; i < 4; ++i)
                c[i] = Pt{origin.x + logical[i].x * unit.x, origin.y + logical[i].y * unit.y};
            return c;
        };
        auto printed = [&page](int x, int y) { return page.Pixel(x, y); };
        for (const Placed& p : placed) {
            const int nWrong =
                WrongPixels(kind, onPaper(TurnedFrame(p.frame, p.nAngle, p.turn.bFlipped)), printed, 48);
            report << "  " << NameOf(kind) << " at " << p.turn.nAngle << (p.turn.bFlipped ? " flipped" : "")
                   << ", printed: " << nWrong << " wrong pixels\n";
            if (nWrong != 0)
                ++nFailures;
        }
    }

    void CheckKind(Kind kind, Road road)
    {
        const std::vector<Placed> placed = PlaceCases(kind, road);
        ASSERT_EQ(placed.size(), std::size(kCases));
        std::ostringstream report;
        int nFailures = 0;
        CheckScreen(kind, placed, report, nFailures);
        CheckPaper(kind, placed, report, nFailures);
        m_pView->GetDocument()->SetZoom(75);
        Pump();
        CheckScreen(kind, placed, report, nFailures);
        EXPECT_EQ(nFailures, 0) << report.str();
    }

    std::string m_dir;
    std::string m_belowPath;
    std::string m_photoPath;
    std::string m_clearPath;
};

TEST_F(TurnedPictureTest, AClearPngTurnedByItsHandleShowsWhatIsBelow)
{
    CheckKind(Kind::ClearPng, Road::Handle);
}

TEST_F(TurnedPictureTest, AClearPngTurnedByTheDialogShowsWhatIsBelow)
{
    CheckKind(Kind::ClearPng, Road::Dialog);
}

TEST_F(TurnedPictureTest, APhotoTurnedByItsHandleTurnsWithItsFrame)
{
    CheckKind(Kind::Photo, Road::Handle);
}

TEST_F(TurnedPictureTest, APhotoTurnedByTheDialogTurnsWithItsFrame)
{
    CheckKind(Kind::Photo, Road::Dialog);
}

TEST_F(TurnedPictureTest, AMetafileTurnedByItsHandleTurnsWithItsFrame)
{
    CheckKind(Kind::Metafile, Road::Handle);
}

TEST_F(TurnedPictureTest, AMetafileTurnedByTheDialogTurnsWithItsFrame)
{
    CheckKind(Kind::Metafile, Road::Dialog);
}

// When no clip region can be made for a shaped picture, its shape's mask
// keeps it inside the shape and what lies around the shape as it was.
TEST_F(TurnedPictureTest, APictureDrawnThroughItsShapesMaskShowsOnlyInsideTheShape)
{
    CImage picture(m_photoPath.c_str(), CImage::kDefaultLoadMode);
    ASSERT_TRUE(picture.IsRaster());
    CClientDC screen(nullptr);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 200, 160));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    CBrush below(kBelow);
    dc.FillRect(CRect(0, 0, 200, 160), &below);
    // An ellipse filling the picture's rectangle, offset in the bitmap.
    const CRect rect(20, 20, 180, 140);
    CPointArray outline;
    CDrawRect::ComputeRegularPolygon(rect, outline, 1000, 0);
    std::vector<POINT> points(outline.GetData(), outline.GetData() + outline.GetCount());
    CBitmap mask;
    ASSERT_TRUE(CDrawRect::CreateShapeMask(&dc, mask, points.data(), int(points.size())));
    ASSERT_TRUE(DrawPictureThroughShapeMask(&dc, picture, rect, CRect(), mask, CPoint(20, 20), TRUE));
    auto at = [&dc](int x, int y) { return dc.GetPixel(x, y) & 0xFFFFFF; };
    // Inside the ellipse, each quarter of the picture where it belongs.
    EXPECT_TRUE(Near(at(60, 50), kTopLeft, 48)) << std::hex << at(60, 50);
    EXPECT_TRUE(Near(at(140, 50), kTopRight, 48)) << std::hex << at(140, 50);
    EXPECT_TRUE(Near(at(60, 110), kBottomLeft, 48)) << std::hex << at(60, 110);
    EXPECT_TRUE(Near(at(140, 110), kBottomRight, 48)) << std::hex << at(140, 110);
    // The rectangle's corners lie outside the shape; beyond the rectangle
    // nothing is touched.
    for (const CPoint pt : {CPoint(23, 23), CPoint(176, 23), CPoint(23, 136), CPoint(176, 136), CPoint(5, 80),
             CPoint(195, 150)})
        EXPECT_EQ(at(pt.x, pt.y), kBelow) << pt.x << "," << pt.y;
    dc.SelectObject(pOld);
}

} // namespace
} // namespace surfacetest
