// The design view painting: a focused 1920 x 1080 view of a general design
// holding 1,000 filled and outlined objects (rectangles, round rectangles,
// ellipses, lines, stars, regular and free polygons; 1- and 3-pixel
// outlines) at zoom 100, in a real surface frame of the headless program.
//
// BM_FullRepaint: the whole client invalidated and painted, from
// InvalidateRect to the presented frame (UpdateWindow paints and presents).
// "x_cairo" divides that by the same shapes drawn straight with Cairo into
// a 1920 x 1080 image surface (antialiasing off, the workspace and the
// paper painted first) plus one copy of the frame, as a back end presents
// it: the best of a few, taken once in the same run.
//
// BM_DragMove: 100 objects selected, a press on one of them and 50 moves
// of 4 pixels with the button down through the real mouse input, default
// preferences. The 100 are those a band round the middle of the view would
// take (scattered:0), or the topmost 100 wherever they lie over the whole
// view (scattered:1), whose old and new places cover most of it.
// "px_per_move" is the invalidated area the view painted per move (the
// update regions of its WM_PAINTs, summed), against the 2,073,600 of the
// whole view ("x_view"), and "box_px_per_move" the area of those regions'
// bounding boxes; "x_fullrepaint" is the time of one move (its
// message and the paint it caused) divided by the time of a full repaint;
// "paints_per_move" counts the view's WM_PAINTs.
//
// BM_TurnedPictures: a page of a second design holding 100 pictures with
// alpha (a PNG whose corners are clear and whose rim is half clear), turned
// by the rotation command to angles from 7 to 324 degrees, every third one
// flipped, each drawn by its own Draw into a memory DC the size of the page
// at zoom 100 after the paper is filled. "x_cairo" divides that by Cairo
// alone painting the same picture 100 times into an image surface of the
// page's size, turned and flipped about the same centres and scaled to the
// same size on the page (the best of a few, taken once in the same run);
// BM_CairoTurnedPictures is that baseline on its own.

#include "app/PointArray.h"
#include "app/PrefData.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "model/StockShapes.h"
#include "model/UndoList.h"
#include "platform/framework/Afx.h"
#include "platform/framework/OleData.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"
#include "surface/SurfaceGlobals.h"

#include "bench/BenchSupport.h"
#include "bench/CairoFigures.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kViewWidth = 1920;
constexpr int kViewHeight = 1080;
constexpr double kViewPixels = double(kViewWidth) * kViewHeight;
constexpr int kObjects = 1000;
constexpr int kDragged = 100;
constexpr int kMoves = 50;
constexpr int kStep = 4; // pixels a move goes

using Clock = std::chrono::steady_clock;

// The view the template makes: the surface itself, counting the area its
// paints cover (the update region each WM_PAINT finds).
class CMeasuredSurface : public CSurface {
    DECLARE_DYNCREATE(CMeasuredSurface)
public:
    double m_paintedPixels = 0;
    double m_boxPixels = 0;
    int m_nPaints = 0;
    double m_paintSeconds = 0; // spent in WM_PAINT

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT && m_hWnd != NULL) {
            NoteUpdate();
            const auto begin = std::chrono::steady_clock::now();
            const LRESULT result = CSurface::WindowProc(message, wParam, lParam);
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
            m_paintSeconds += elapsed.count();
            return result;
        }
        return CSurface::WindowProc(message, wParam, lParam);
    }

private:
    void NoteUpdate()
    {
        CRgn update;
        update.CreateRectRgn(0, 0, 0, 0);
        if (::GetUpdateRgn(m_hWnd, update, FALSE) != ERROR) {
            m_paintedPixels += Area(update);
            CRect box;
            if (::GetRgnBox(update, &box) != ERROR)
                m_boxPixels += double(box.Width()) * double(box.Height());
        }
        ++m_nPaints;
    }

    static double Area(CRgn& region)
    {
        const DWORD nBytes = ::GetRegionData(region, 0, nullptr);
        if (nBytes < sizeof(RGNDATAHEADER))
            return 0;
        std::vector<std::uint64_t> buffer((nBytes + 7) / 8);
        auto* pData = reinterpret_cast<RGNDATA*>(buffer.data());
        if (::GetRegionData(region, nBytes, pData) == 0)
            return 0;
        double area = 0;
        const auto* pRects = reinterpret_cast<const RECT*>(pData->Buffer);
        for (DWORD i = 0; i < pData->rdh.nCount; ++i)
            area += double(pRects[i].right - pRects[i].left) * double(pRects[i].bottom - pRects[i].top);
        return area;
    }
};

IMPLEMENT_DYNCREATE(CMeasuredSurface, CSurface)

class CBenchApp : public CWinApp {
public:
    CBenchApp()
        : CWinApp("SurfaceBench")
    {
    }
    BOOL InitInstance() override { return TRUE; }
};

using bench::CairoFigure;
using bench::SetSource;
using bench::ShapeFigure;

// An object's rectangle, normalised (y down).
CRect NormalBounds(const CDrawObj* pObj)
{
    CRect rect = pObj->m_position;
    rect.NormalizeRect();
    return rect;
}

// Selects the kDragged objects a drag takes, of all (the view's objects from
// the bottom up): the topmost ones wherever they lie (scattered), or those
// a band drawn round the middle of the view would select (the nearest to
// its centre). Answers their indices in all.
std::vector<size_t> SelectForDrag(CSurface* pView, const std::vector<CDrawObj*>& all, bool bScattered)
{
    std::vector<size_t> order(all.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (bScattered) {
        std::reverse(order.begin(), order.end());
    } else {
        CPoint centre(kViewWidth / 2, kViewHeight / 2);
        pView->DPtoLPPoint(&centre);
        auto distance = [&](size_t i) {
            const CPoint c = NormalBounds(all[i]).CenterPoint();
            return std::hypot(double(c.x) - centre.x, double(c.y) - centre.y);
        };
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return distance(a) < distance(b); });
    }
    order.resize(std::min<size_t>(order.size(), kDragged));
    std::vector<CDrawObj*> objects;
    for (size_t i : order)
        objects.push_back(all[i]);
    pView->SelectObjects(objects, FALSE);
    return order;
}

// Adds nObjects shapes and polygons of every kind, each filled and outlined
// in random colours, to the view's design through the document's road, their
// centres anywhere in [left, right] x [bottom, top] (logical, y up); keeps
// the figure Cairo draws for each, in dc's device units. The same seed gives
// the same objects.
void AddRandomFigures(CDrawDoc* pDoc, CSurface* pView, CDC& dc, unsigned nSeed, const CRect& centres, int nObjects,
    std::vector<CairoFigure>& figures)
{
    std::mt19937 random(nSeed);
    std::uniform_int_distribution<int> x(centres.left, centres.right), y(centres.bottom, centres.top), size(30, 250),
        channel(0, 255), corners(3, 8), spread(-120, 120);
    auto colour = [&] { return RGB(channel(random), channel(random), channel(random)); };
    static constexpr int kKinds[]
        = {SHAPE_RECTANGLE, SHAPE_ROUND_RECTANGLE, SHAPE_ELLIPSE, SHAPE_LINE, SHAPE_STAR, SHAPE_REGULAR_POLYGON, -1};
    constexpr int nKinds = int(sizeof kKinds / sizeof kKinds[0]);
    for (int i = 0; i < nObjects; ++i) {
        CairoFigure figure;
        // Logical widths of 1 and 3 are 1 and 3 pixels at zoom 100.
        figure.width = i % 2 == 0 ? 1 : 3;
        figure.fill = colour();
        figure.pen = colour();
        const CPoint centre(x(random), y(random));
        const int nKind = kKinds[i % nKinds];
        CDrawObj* pObj = nullptr;
        if (nKind < 0) {
            std::vector<POINT> points(size_t(corners(random)));
            for (POINT& p : points)
                p = POINT{centre.x + spread(random), centre.y + spread(random)};
            auto* pPoly = new CDrawPoly(CRect(centre, centre));
            pPoly->SetPoints(points.data(), int(points.size()), int(points.size()));
            figure.points = points;
            pObj = pPoly;
        } else {
            const int hw = size(random) / 2;
            const int hh = size(random) / 2;
            auto* pShape = new CDrawRect(CRect(centre.x - hw, centre.y + hh, centre.x + hw, centre.y - hh), nKind);
            pShape->m_nSides = 3 + i % 6;
            pObj = pShape;
        }
        bench::StyleLike(pObj, figure);
        pDoc->AddObject(pObj, pView);
        if (auto* pShape = dynamic_cast<CDrawRect*>(pObj))
            figure = ShapeFigure(pShape, figure);
        dc.LPtoDP(figure.points.data(), int(figure.points.size()));
        figures.push_back(figure);
    }
}

// The headless program with one design open in a surface frame whose view
// is 1920 x 1080, at zoom 100, holding the objects. Made once; the
// platform stays up for the whole run.
class DesignView {
public:
    DesignView()
    {
        setenv("THREADWICK_BACKEND", "headless", 1);
        platform::headless::Reset();
        platform::headless::SetScreen(2600, 1600);
        threadwick::RegisterResources();
        // The preferences a new user starts with; the command-line bits
        // of AddlFlags are cleared at every start.
        thePrefs.Reset();
        thePrefs.Flags = CPrefData::kDefaultFlags;
        thePrefs.AddlFlags = CPrefData::kDefaultAddlFlags & ~WORD(0x0002 | 0x0004);
        thePrefs.Add2Flags = CPrefData::kDefaultAdd2Flags;
        ResetSurfaceGlobals();

        m_pApp = new CBenchApp;
        m_pMain = new CMDIFrameWnd;
        m_pMain->Create(NULL, "Threadwick", WS_OVERLAPPEDWINDOW, CRect(0, 0, 2400, 1500));
        if (m_pMain->m_hWndMDIClient == NULL)
            m_pMain->CreateClient(nullptr, nullptr);
        m_pApp->m_pMainWnd = m_pMain;
        m_pMain->ShowWindow(SW_SHOW);
        auto* pTemplate = new CMultiDocTemplate(IDR_DESIGNTYPE, RUNTIME_CLASS(CGeneralDoc),
            RUNTIME_CLASS(CSurfaceFrame), RUNTIME_CLASS(CMeasuredSurface));
        m_pApp->AddDocTemplate(pTemplate);
        m_pTemplate = pTemplate;
        m_pDoc = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(NULL));
        Pump();
        if (m_pDoc == nullptr)
            return;
        m_pView = dynamic_cast<CMeasuredSurface*>(m_pDoc->GetSurfaceView(0));
        if (m_pView == nullptr)
            return;
        m_pDoc->SetZoom(100);
        SetClientSize(kViewWidth, kViewHeight);
        m_pView->SetFocus();
        Pump();
        CRect client;
        m_pView->GetClientRect(&client);
        if (client.Width() != kViewWidth || client.Height() != kViewHeight || m_pView->GetZoom() != 100)
            return;
        MakeObjects();
        Pump();
        m_ready = true;
    }

    bool Ready() const { return m_ready; }
    // Another new design of the same kind, in a frame of its own.
    CDrawDoc* OpenAnotherDesign() const
    {
        auto* pDoc = dynamic_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(NULL));
        Pump();
        return pDoc;
    }
    static void Pump() { AfxPumpMessagesUntilIdle(); }
    CMultiDocTemplate* Template() const { return m_pTemplate; }
    CMeasuredSurface* View() const { return m_pView; }
    const std::vector<CairoFigure>& Figures() const { return m_figures; }
    COLORREF PaperColor() const { return m_pDoc->GetPaperColor(); }

    // The page in client pixels.
    CRect PageInPixels() const
    {
        CRect page = m_pView->GetPageRect();
        m_pView->LPtoDPRect(&page);
        return page;
    }

    // Invalidates the whole view and paints it; the frame is presented
    // before UpdateWindow returns.
    void FullRepaint() const
    {
        m_pView->InvalidateRect(NULL, FALSE);
        m_pView->UpdateWindow();
    }

    // Which objects a drag takes: those a band drawn round the middle of
    // the view would select (the nearest to its centre), or the topmost
    // ones wherever they lie.
    enum class Selection { Clustered = 0, Scattered = 1 };

    // Selects 100 objects and answers a client point where a press finds
    // one of them: the centre of a selected rectangle that no object above
    // it covers; (-1, -1) when there is none.
    CPoint SelectDragged(Selection selection)
    {
        std::vector<CDrawObj*> all;
        CObList& list = m_pView->GetObjects();
        for (POSITION pos = list.GetHeadPosition(); pos != NULL;) {
            if (auto* pObj = dynamic_cast<CDrawObj*>(list.GetNext(pos)))
                all.push_back(pObj);
        }
        const std::vector<size_t> order = SelectForDrag(m_pView, all, selection == Selection::Scattered);
        Pump();

        // The topmost selected rectangle whose centre nothing above covers.
        std::vector<size_t> candidates = order;
        std::sort(candidates.rbegin(), candidates.rend());
        for (size_t i : candidates) {
            auto* pShape = dynamic_cast<CDrawRect*>(all[i]);
            if (pShape == nullptr || pShape->GetDrawnKind() != SHAPE_RECTANGLE)
                continue;
            const CPoint centre = NormalBounds(pShape).CenterPoint();
            bool covered = false;
            for (size_t above = i + 1; above < all.size() && !covered; ++above)
                covered = NormalBounds(all[above]).PtInRect(centre) != FALSE;
            if (covered)
                continue;
            CPoint press = centre;
            m_pView->LPtoDPPoint(&press);
            return press;
        }
        return CPoint(-1, -1);
    }

private:
    void SetClientSize(int cx, int cy)
    {
        CFrameWnd* pFrame = m_pView->GetParentFrame();
        for (int i = 0; i < 3; ++i) {
            CRect client;
            m_pView->GetClientRect(&client);
            if (client.Width() == cx && client.Height() == cy)
                break;
            CRect frame;
            pFrame->GetWindowRect(&frame);
            pFrame->SetWindowPos(NULL, 0, 0, frame.Width() + cx - client.Width(), frame.Height() + cy - client.Height(),
                SWP_NOZORDER | SWP_NOACTIVATE);
            Pump();
        }
    }

    // The objects lie over the whole view (the page and the workspace round
    // it), in the order of the kinds; every one filled and outlined.
    void MakeObjects()
    {
        CRect area(0, 0, kViewWidth, kViewHeight);
        m_pView->DPtoLPRect(&area); // y up: top > bottom
        CClientDC dc(m_pView);
        m_pView->OnPrepareDC(&dc, nullptr);

        const int nLeft = std::min(area.left, area.right) + 20;
        const int nRight = std::max(area.left, area.right) - 20;
        const int nBottom = std::min(area.top, area.bottom) + 20;
        const int nTop = std::max(area.top, area.bottom) - 20;
        AddRandomFigures(m_pDoc, m_pView, dc, 20261207u, CRect(nLeft, nTop, nRight, nBottom), kObjects, m_figures);
    }

    CBenchApp* m_pApp = nullptr;
    CMDIFrameWnd* m_pMain = nullptr;
    CMultiDocTemplate* m_pTemplate = nullptr;
    CDrawDoc* m_pDoc = nullptr;
    CMeasuredSurface* m_pView = nullptr;
    std::vector<CairoFigure> m_figures;
    bool m_ready = false;
};

DesignView& TheView()
{
    static DesignView view;
    return view;
}

bool Prepared(benchmark::State& state)
{
    if (TheView().Ready())
        return true;
    state.SkipWithError("the design view could not be made at 1920 x 1080, zoom 100");
    return false;
}

// The same picture with Cairo alone into a 1920 x 1080 image surface, then
// copied whole once, as a frame goes to the screen.
class CairoFrame {
public:
    CairoFrame()
        : m_screen(size_t(kViewWidth) * kViewHeight)
    {
        m_surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kViewWidth, kViewHeight);
        m_cr = cairo_create(m_surface);
        cairo_set_antialias(m_cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(m_cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
    }
    ~CairoFrame()
    {
        cairo_destroy(m_cr);
        cairo_surface_destroy(m_surface);
    }
    CairoFrame(const CairoFrame&) = delete;
    CairoFrame& operator=(const CairoFrame&) = delete;

    bool Draw(const std::vector<CairoFigure>& figures, const CRect& page, COLORREF paper)
    {
        SetSource(m_cr, CSurface::kWorkspaceColor);
        cairo_paint(m_cr);
        SetSource(m_cr, paper);
        cairo_rectangle(m_cr, page.left, page.top, page.Width(), page.Height());
        cairo_fill(m_cr);
        bench::DrawFigures(m_cr, figures);
        cairo_surface_flush(m_surface);
        const unsigned char* pPixels = cairo_image_surface_get_data(m_surface);
        const int nStride = cairo_image_surface_get_stride(m_surface);
        if (pPixels == nullptr || nStride != kViewWidth * 4)
            return false;
        std::memcpy(m_screen.data(), pPixels, m_screen.size() * sizeof(std::uint32_t));
        return m_screen[m_screen.size() / 2] != 0x12345678; // keeps the copy
    }

private:
    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_cr = nullptr;
    std::vector<std::uint32_t> m_screen;
};

double CairoSeconds()
{
    static const double seconds = [] {
        CairoFrame frame;
        const DesignView& view = TheView();
        const CRect page = view.PageInPixels();
        const COLORREF paper = view.PaperColor();
        return bench::BestSeconds([&] { return frame.Draw(view.Figures(), page, paper); }, 10);
    }();
    return seconds;
}

double FullRepaintSeconds()
{
    static const double seconds = bench::BestSeconds(
        [] {
            TheView().FullRepaint();
            return true;
        },
        10);
    return seconds;
}

void BM_FullRepaint(benchmark::State& state)
{
    if (!Prepared(state))
        return;
    const DesignView& view = TheView();
    const double baseline = CairoSeconds();
    view.View()->m_paintedPixels = 0;
    const auto start = Clock::now();
    for (auto _ : state)
        view.FullRepaint();
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    const double perIteration = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_cairo"] = perIteration / baseline;
    state.counters["cairo_ms"] = baseline * 1e3;
    state.counters["px_per_paint"] = view.View()->m_paintedPixels / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.SetItemsProcessed(int64_t(state.iterations()) * kObjects);
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

void BM_CairoFrame(benchmark::State& state)
{
    if (!Prepared(state))
        return;
    const DesignView& view = TheView();
    const CRect page = view.PageInPixels();
    const COLORREF paper = view.PaperColor();
    CairoFrame frame;
    for (auto _ : state)
        benchmark::DoNotOptimize(frame.Draw(view.Figures(), page, paper));
    state.SetItemsProcessed(int64_t(state.iterations()) * kObjects);
}
BENCHMARK(BM_CairoFrame)->Unit(benchmark::kMillisecond);

// Each iteration is one whole drag: press, 50 moves (timed), release; the
// next drag goes back the other way, so the objects stay in the view.
void RunDrags(benchmark::State& state, CMeasuredSurface* pView, CPoint press, double fullRepaint)
{
    double seconds = 0;
    double pixels = 0;
    double boxPixels = 0;
    int64_t paints = 0;
    int64_t nMoves = 0;
    int nDirection = 1;
    CPoint start = press;
    auto toScreen = [pView](CPoint point) {
        pView->ClientToScreen(&point);
        return point;
    };
    for (auto _ : state) {
        const CPoint down = toScreen(start);
        platform::headless::MoveMouse(down.x, down.y);
        DesignView::Pump();
        platform::headless::PressMouse(0, down.x, down.y);
        DesignView::Pump();
        pView->m_paintedPixels = 0;
        pView->m_boxPixels = 0;
        pView->m_nPaints = 0;
        double dragSeconds = 0;
        for (int i = 1; i <= kMoves; ++i) {
            const auto begin = Clock::now();
            platform::headless::MoveMouse(down.x + nDirection * kStep * i, down.y);
            DesignView::Pump();
            const std::chrono::duration<double> elapsed = Clock::now() - begin;
            dragSeconds += elapsed.count();
        }
        pixels += pView->m_paintedPixels;
        boxPixels += pView->m_boxPixels;
        paints += pView->m_nPaints;
        seconds += dragSeconds;
        nMoves += kMoves;
        state.SetIterationTime(dragSeconds / kMoves);
        const int nEnd = down.x + nDirection * kStep * kMoves;
        platform::headless::ReleaseMouse(0, nEnd, down.y);
        DesignView::Pump();
        start.x += nDirection * kStep * kMoves;
        nDirection = -nDirection;
    }
    const double perMove = seconds / double(std::max<int64_t>(nMoves, 1));
    const double pixelsPerMove = pixels / double(std::max<int64_t>(nMoves, 1));
    state.counters["px_per_move"] = pixelsPerMove;
    state.counters["box_px_per_move"] = boxPixels / double(std::max<int64_t>(nMoves, 1));
    state.counters["paints_per_move"] = double(paints) / double(std::max<int64_t>(nMoves, 1));
    state.counters["x_view"] = pixelsPerMove / kViewPixels;
    state.counters["x_fullrepaint"] = perMove / fullRepaint;
    state.counters["fullrepaint_ms"] = fullRepaint * 1e3;
}

void BM_DragMove(benchmark::State& state)
{
    if (!Prepared(state))
        return;
    DesignView& view = TheView();
    const double fullRepaint = FullRepaintSeconds();
    const CPoint press = view.SelectDragged(DesignView::Selection(state.range(0)));
    if (press.x < 0) {
        state.SkipWithError("no rectangle among the dragged objects that a press would find");
        return;
    }
    RunDrags(state, view.View(), press, fullRepaint);
}
// Three drags there and back: a drag's 50 moves take as long as a few
// full repaints, and the iteration count must not follow the time.
BENCHMARK(BM_DragMove)
    ->ArgName("scattered")
    ->Arg(int(DesignView::Selection::Clustered))
    ->Arg(int(DesignView::Selection::Scattered))
    ->UseManualTime()
    ->Iterations(6)
    ->Unit(benchmark::kMillisecond);

// ---- Large designs: the first paint after open, a full repaint, a drag ----------------------------
//
// A design of 1,000 or 10,000 objects (the kinds and styles above) whose
// centres lie anywhere in nine views round the view (three across, three
// down, the view in the middle), so that most of them lie past it; a view
// of 1920 x 1080 at zoom 100 shows about a ninth of them.
//
// BM_LargeFullRepaint: the whole view invalidated and painted; "x_cairo"
// divides by Cairo drawing all the same objects into a 1920 x 1080 image
// surface plus one copy of the frame (the best of a few).
// BM_LargeFirstPaint: the design, saved once, opened from its file in a new
// frame of the same size; the time is the view's paints until the program
// is idle, and "x_fullrepaint" divides it by a full repaint of that view
// afterwards (the best of three), iteration by iteration.
// BM_LargeDragMove: one-step moves of 100 objects dragged as BM_DragMove
// drags them: the 100 nearest the view's middle (scattered:0) or the
// topmost 100 wherever they lie in the design (scattered:1).

constexpr int kSpreadViews = 3; // views across and down that the objects cover

class LargeDesign {
public:
    explicit LargeDesign(int nObjects)
        : m_nObjects(nObjects)
    {
        if (!TheView().Ready())
            return;
        m_pDoc = TheView().OpenAnotherDesign();
        m_pView = m_pDoc != nullptr ? dynamic_cast<CMeasuredSurface*>(m_pDoc->GetSurfaceView(0)) : nullptr;
        if (m_pView == nullptr)
            return;
        m_pDoc->SetZoom(100);
        if (!SizeClient(m_pView))
            return;
        // The design goes to a real file and comes back from it.
        platform::InitFileSystem();
        MakeObjects();
        DesignView::Pump();
        char folder[] = "/tmp/surfacebench-large-XXXXXX";
        if (mkdtemp(folder) == nullptr)
            return;
        m_folder = folder;
        // Saved under one name and opened under another, as a design saved
        // earlier is opened: the saved one stays this document's.
        m_savedPath = m_folder + "/saved.gen";
        m_hostPath = m_folder + "/large.gen";
        m_path = platform::WindowsPathFor(m_hostPath);
        if (!m_pDoc->OnSaveDocument(platform::WindowsPathFor(m_savedPath).c_str()))
            return;
        DesignView::Pump();
        std::error_code error;
        std::filesystem::copy_file(m_savedPath, m_hostPath, std::filesystem::copy_options::overwrite_existing, error);
        m_ready = !error;
    }
    ~LargeDesign()
    {
        if (!m_savedPath.empty())
            std::remove(m_savedPath.c_str());
        if (!m_hostPath.empty())
            std::remove(m_hostPath.c_str());
        if (!m_folder.empty())
            std::remove(m_folder.c_str());
    }
    LargeDesign(const LargeDesign&) = delete;
    LargeDesign& operator=(const LargeDesign&) = delete;

    bool Ready() const { return m_ready; }
    CMeasuredSurface* View() const { return m_pView; }
    const std::vector<CairoFigure>& Figures() const { return m_figures; }

    // The view of the design takes the activation and the focus, as the
    // one the user works in: an unfocused view puts its objects off.
    void Activate() const
    {
        if (auto* pFrame = dynamic_cast<CMDIChildWnd*>(m_pView->GetParentFrame()))
            pFrame->MDIActivate();
        m_pView->SetFocus();
        DesignView::Pump();
    }

    void FullRepaint() const
    {
        m_pView->InvalidateRect(NULL, FALSE);
        m_pView->UpdateWindow();
    }

    CRect PageInPixels() const
    {
        CRect page = m_pView->GetPageRect();
        m_pView->LPtoDPRect(&page);
        return page;
    }

    // Opens the saved design in a new frame whose view has the size of
    // this one, with its first paint still waiting; NULL when it failed.
    CMeasuredSurface* Open()
    {
        m_pOpened = dynamic_cast<CDrawDoc*>(TheView().Template()->OpenDocumentFile(m_path.c_str()));
        auto* pView = m_pOpened != nullptr ? dynamic_cast<CMeasuredSurface*>(m_pOpened->GetSurfaceView(0)) : nullptr;
        if (pView == nullptr || pView->GetObjects().GetCount() != m_nObjects)
            return nullptr;
        return pView;
    }
    void CloseOpened()
    {
        if (m_pOpened != nullptr)
            m_pOpened->OnCloseDocument();
        m_pOpened = nullptr;
        DesignView::Pump();
    }

    // Selects 100 objects as BM_DragMove does and answers a client point
    // where a press finds one of them with room for a drag to the right;
    // (-1, -1) when there is none.
    CPoint SelectDragged(DesignView::Selection selection)
    {
        std::vector<CDrawObj*> all;
        CObList& list = m_pView->GetObjects();
        for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
            all.push_back(static_cast<CDrawObj*>(list.GetNext(pos)));
        const std::vector<size_t> order = SelectForDrag(m_pView, all, selection == DesignView::Selection::Scattered);
        DesignView::Pump();

        std::vector<size_t> candidates = order;
        std::sort(candidates.rbegin(), candidates.rend());
        for (size_t i : candidates) {
            auto* pShape = dynamic_cast<CDrawRect*>(all[i]);
            if (pShape == nullptr || pShape->GetDrawnKind() != SHAPE_RECTANGLE)
                continue;
            const CPoint centre = NormalBounds(pShape).CenterPoint();
            CPoint press = centre;
            m_pView->LPtoDPPoint(&press);
            if (press.x < 20 || press.y < 20 || press.x + kStep * kMoves + 20 > kViewWidth || press.y + 20 > kViewHeight)
                continue;
            bool covered = false;
            for (size_t above = i + 1; above < all.size() && !covered; ++above)
                covered = NormalBounds(all[above]).PtInRect(centre) != FALSE;
            if (!covered)
                return press;
        }
        return CPoint(-1, -1);
    }

    static bool SizeClient(CSurface* pView)
    {
        CFrameWnd* pFrame = pView->GetParentFrame();
        for (int i = 0; i < 3; ++i) {
            CRect client;
            pView->GetClientRect(&client);
            if (client.Width() == kViewWidth && client.Height() == kViewHeight)
                return pView->GetZoom() == 100;
            CRect frame;
            pFrame->GetWindowRect(&frame);
            pFrame->SetWindowPos(NULL, 0, 0, frame.Width() + kViewWidth - client.Width(),
                frame.Height() + kViewHeight - client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return false;
    }

private:
    void MakeObjects()
    {
        CRect view(0, 0, kViewWidth, kViewHeight);
        m_pView->DPtoLPRect(&view);
        view = CDrawObj::NormalizeUp(view); // y up: top > bottom
        CClientDC dc(m_pView);
        m_pView->OnPrepareDC(&dc, nullptr);
        const int cx = view.Width();
        const int cy = view.top - view.bottom;
        const int nSide = (kSpreadViews - 1) / 2;
        const CRect centres(view.left - nSide * cx, view.top + nSide * cy, view.right + nSide * cx, view.bottom - nSide * cy);
        AddRandomFigures(m_pDoc, m_pView, dc, 20261208u + unsigned(m_nObjects), centres, m_nObjects, m_figures);
    }

    int m_nObjects = 0;
    CDrawDoc* m_pDoc = nullptr;
    CMeasuredSurface* m_pView = nullptr;
    CDrawDoc* m_pOpened = nullptr;
    std::vector<CairoFigure> m_figures;
    std::string m_folder;
    std::string m_savedPath;
    std::string m_hostPath;
    std::string m_path;
    bool m_ready = false;
};

LargeDesign* TheLargeDesign(benchmark::State& state, int nObjects)
{
    if (!Prepared(state))
        return nullptr;
    static std::map<int, std::unique_ptr<LargeDesign>> designs;
    std::unique_ptr<LargeDesign>& pDesign = designs[nObjects];
    if (pDesign == nullptr)
        pDesign = std::make_unique<LargeDesign>(nObjects);
    if (!pDesign->Ready()) {
        state.SkipWithError("the large design could not be made and saved at 1920 x 1080, zoom 100");
        return nullptr;
    }
    pDesign->Activate();
    return pDesign.get();
}

double LargeFullRepaintSeconds(const LargeDesign& design)
{
    return bench::BestSeconds(
        [&] {
            design.FullRepaint();
            return true;
        },
        5);
}

void BM_LargeFullRepaint(benchmark::State& state)
{
    LargeDesign* pDesign = TheLargeDesign(state, int(state.range(0)));
    if (pDesign == nullptr)
        return;
    const CRect page = pDesign->PageInPixels();
    const COLORREF paper = TheView().PaperColor();
    CairoFrame frame;
    const double baseline = bench::BestSeconds([&] { return frame.Draw(pDesign->Figures(), page, paper); }, 10);
    const auto start = Clock::now();
    for (auto _ : state)
        pDesign->FullRepaint();
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    const double perIteration = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_cairo"] = perIteration / baseline;
    state.counters["cairo_ms"] = baseline * 1e3;
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LargeFullRepaint)->ArgName("objects")->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LargeFirstPaint(benchmark::State& state)
{
    LargeDesign* pDesign = TheLargeDesign(state, int(state.range(0)));
    if (pDesign == nullptr)
        return;
    double ratios = 0;
    double later = 0;
    int64_t paints = 0;
    for (auto _ : state) {
        CMeasuredSurface* pView = pDesign->Open();
        if (pView == nullptr || !LargeDesign::SizeClient(pView)) {
            pDesign->CloseOpened();
            state.SkipWithError("the saved design did not open whole at 1920 x 1080");
            return;
        }
        pView->m_paintSeconds = 0;
        pView->m_nPaints = 0;
        DesignView::Pump();
        const double first = pView->m_paintSeconds;
        paints += pView->m_nPaints;
        state.SetIterationTime(first);
        const double repaint = bench::BestSeconds(
            [&] {
                pView->InvalidateRect(NULL, FALSE);
                pView->UpdateWindow();
                return true;
            },
            3);
        ratios += first / repaint;
        later += repaint;
        pDesign->CloseOpened();
    }
    const double iterations = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_fullrepaint"] = ratios / iterations;
    state.counters["fullrepaint_ms"] = later / iterations * 1e3;
    state.counters["paints"] = double(paints) / iterations;
}
BENCHMARK(BM_LargeFirstPaint)
    ->ArgName("objects")
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

void BM_LargeDragMove(benchmark::State& state)
{
    LargeDesign* pDesign = TheLargeDesign(state, int(state.range(0)));
    if (pDesign == nullptr)
        return;
    const double fullRepaint = LargeFullRepaintSeconds(*pDesign);
    const CPoint press = pDesign->SelectDragged(DesignView::Selection(state.range(1)));
    if (press.x < 0) {
        state.SkipWithError("no rectangle among the dragged objects that a press would find");
        return;
    }
    RunDrags(state, pDesign->View(), press, fullRepaint);
    pDesign->View()->Select(NULL, FALSE);
    DesignView::Pump();
}
BENCHMARK(BM_LargeDragMove)
    ->ArgNames({"objects", "scattered"})
    ->ArgsProduct({{1000, 10000}, {int(DesignView::Selection::Clustered), int(DesignView::Selection::Scattered)}})
    ->UseManualTime()
    ->Iterations(6)
    ->Unit(benchmark::kMillisecond);

// ---- A page of turned pictures --------------------------------------------------------------

constexpr int kPictures = 100;
constexpr int kPictureWidth = 120;
constexpr int kPictureHeight = 90;
constexpr int kAngles[] = {7, 30, 90, 133, 215, 324, 45, 180, 270, 300};

// The picture: colour ramps inside an ellipse, its corners clear and a rim
// at half strength, as a PNG with alpha would bring them.
cairo_surface_t* MakePicture()
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kPictureWidth, kPictureHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_pattern_t* ramp = cairo_pattern_create_linear(0, 0, kPictureWidth, kPictureHeight);
    cairo_pattern_add_color_stop_rgb(ramp, 0, 0.9, 0.2, 0.1);
    cairo_pattern_add_color_stop_rgb(ramp, 0.5, 0.2, 0.8, 0.3);
    cairo_pattern_add_color_stop_rgb(ramp, 1, 0.1, 0.2, 0.9);
    cairo_save(cr);
    cairo_translate(cr, kPictureWidth / 2.0, kPictureHeight / 2.0);
    cairo_scale(cr, kPictureWidth / 2.0, kPictureHeight / 2.0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source(cr, ramp);
    cairo_fill(cr);
    cairo_pattern_destroy(ramp);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_set_line_width(cr, 12);
    cairo_save(cr);
    cairo_translate(cr, kPictureWidth / 2.0, kPictureHeight / 2.0);
    cairo_scale(cr, kPictureWidth / 2.0 - 6, kPictureHeight / 2.0 - 6);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_stroke(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

// Where a picture goes and how it is turned.
struct Placement {
    CPoint centre; // logical
    int angle = 0; // degrees, counter-clockwise on the page
    bool flipped = false;
};

// A second design whose page holds the pictures, drawn object by object into
// a memory DC the size of the page.
class PictureSheet {
public:
    PictureSheet()
    {
        if (!TheView().Ready())
            return;
        m_pPicture = MakePicture();
        char folder[] = "/tmp/surfacebench-XXXXXX";
        if (mkdtemp(folder) == nullptr)
            return;
        m_folder = folder;
        m_pngPath = m_folder + "/turned.png";
        if (cairo_surface_write_to_png(m_pPicture, m_pngPath.c_str()) != CAIRO_STATUS_SUCCESS)
            return;
        m_pDoc = TheView().OpenAnotherDesign();
        if (m_pDoc == nullptr)
            return;
        m_pView = dynamic_cast<CSurface*>(m_pDoc->GetSurfaceView(0));
        if (m_pView == nullptr)
            return;
        m_pDoc->SetZoom(100);
        DesignView::Pump();
        if (m_pView->GetZoom() != 100)
            return;
        const CString strPath = platform::WindowsPathFor(m_pngPath).c_str();

        // A 10 x 10 grid over the page, each picture at its own size.
        const CRect page = m_pView->GetPageRect(); // y up
        const int nLeft = std::min(page.left, page.right);
        const int nTop = std::max(page.top, page.bottom);
        const int cxCell = std::abs(page.Width()) / 10;
        const int cyCell = std::abs(page.Height()) / 10;
        for (int i = 0; i < kPictures; ++i) {
            Placement place;
            place.centre = CPoint(nLeft + cxCell * (i % 10) + cxCell / 2, nTop - cyCell * (i / 10) - cyCell / 2);
            place.angle = kAngles[i % (sizeof kAngles / sizeof kAngles[0])];
            place.flipped = i % 3 == 0;
            const CRect frame(place.centre.x - kPictureWidth / 2, place.centre.y + kPictureHeight / 2,
                place.centre.x + kPictureWidth / 2, place.centre.y - kPictureHeight / 2);
            auto* pObj = new CDrawRect(frame);
            pObj->SetPictureFile(strPath, TRUE, FALSE, FALSE, FALSE, FALSE, 0);
            if (!pObj->HasPicture()) {
                delete pObj;
                return;
            }
            m_pDoc->AddObject(pObj, m_pView);
            if (place.flipped)
                pObj->Flip(TRUE, FALSE);
            pObj->RotatePicture(place.angle);
            m_objects.push_back(pObj);
            m_places.push_back(place);
        }
        DesignView::Pump();

        // The memory DC: the page's pixels, mapped as the view maps them.
        CPoint corner(nLeft, nTop);
        CClientDC clientDC(m_pView);
        m_pView->OnPrepareDC(&clientDC, nullptr);
        CRect device = page;
        clientDC.LPtoDP(&device);
        device.NormalizeRect();
        m_size = device.Size();
        if (!m_dc.CreateCompatibleDC(&clientDC) || !m_bitmap.CreateCompatibleBitmap(&clientDC, m_size.cx, m_size.cy))
            return;
        m_pOldBitmap = m_dc.SelectObject(&m_bitmap);
        m_pView->OnPrepareDC(&m_dc, nullptr);
        m_dc.LPtoDP(&corner);
        m_dc.OffsetViewportOrg(-corner.x, -corner.y);
        for (Placement& place : m_places) {
            CPoint centre = place.centre;
            m_dc.LPtoDP(&centre);
            m_deviceCentres.push_back(centre);
        }
        // The picture's size on the page at this zoom.
        CRect frame(0, kPictureHeight, kPictureWidth, 0);
        m_dc.LPtoDP(&frame);
        frame.NormalizeRect();
        m_deviceFrame = frame.Size();
        m_paper = m_pDoc->GetPaperColor();
        m_ready = true;
    }
    ~PictureSheet()
    {
        if (m_pOldBitmap != nullptr)
            m_dc.SelectObject(m_pOldBitmap);
        if (m_pPicture != nullptr)
            cairo_surface_destroy(m_pPicture);
        if (!m_pngPath.empty())
            std::remove(m_pngPath.c_str());
        if (!m_folder.empty())
            std::remove(m_folder.c_str());
    }
    PictureSheet(const PictureSheet&) = delete;
    PictureSheet& operator=(const PictureSheet&) = delete;

    bool Ready() const { return m_ready; }
    CSize Size() const { return m_size; }
    cairo_surface_t* Picture() const { return m_pPicture; }
    const std::vector<Placement>& Places() const { return m_places; }
    const std::vector<CPoint>& DeviceCentres() const { return m_deviceCentres; }
    CSize DeviceFrame() const { return m_deviceFrame; }
    COLORREF Paper() const { return m_paper; }

    // The paper, then every picture by its own Draw.
    bool Draw()
    {
        {
            const int nSaved = m_dc.SaveDC();
            m_dc.SetMapMode(MM_TEXT);
            m_dc.SetWindowOrg(0, 0);
            m_dc.SetViewportOrg(0, 0);
            m_dc.FillSolidRect(CRect(0, 0, m_size.cx, m_size.cy), m_paper);
            m_dc.RestoreDC(nSaved);
        }
        for (CDrawObj* pObj : m_objects)
            pObj->Draw(&m_dc);
        return true;
    }

private:
    cairo_surface_t* m_pPicture = nullptr;
    std::string m_folder;
    std::string m_pngPath;
    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
    std::vector<CDrawObj*> m_objects;
    std::vector<Placement> m_places;
    std::vector<CPoint> m_deviceCentres;
    CSize m_deviceFrame;
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap = nullptr;
    CSize m_size;
    COLORREF m_paper = RGB(255, 255, 255);
    bool m_ready = false;
};

PictureSheet& TheSheet()
{
    static PictureSheet sheet;
    return sheet;
}

bool SheetPrepared(benchmark::State& state)
{
    if (TheSheet().Ready())
        return true;
    state.SkipWithError("the page of turned pictures could not be made");
    return false;
}

// The same page with Cairo alone: the paper, then the picture painted 100
// times about the same centres, turned (y grows downwards on the device, so
// a counter-clockwise turn is a negative angle), flipped, and at the size
// the frame has on the page.
class CairoPictures {
public:
    explicit CairoPictures(const PictureSheet& sheet)
        : m_sheet(sheet)
    {
        m_surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheet.Size().cx, sheet.Size().cy);
        m_cr = cairo_create(m_surface);
    }
    ~CairoPictures()
    {
        cairo_destroy(m_cr);
        cairo_surface_destroy(m_surface);
    }
    CairoPictures(const CairoPictures&) = delete;
    CairoPictures& operator=(const CairoPictures&) = delete;

    bool Draw()
    {
        SetSource(m_cr, m_sheet.Paper());
        cairo_paint(m_cr);
        const std::vector<Placement>& places = m_sheet.Places();
        const std::vector<CPoint>& centres = m_sheet.DeviceCentres();
        for (size_t i = 0; i < places.size(); ++i) {
            cairo_save(m_cr);
            cairo_translate(m_cr, centres[i].x, centres[i].y);
            cairo_rotate(m_cr, -places[i].angle * M_PI / 180.0);
            const CSize frame = m_sheet.DeviceFrame();
            cairo_scale(m_cr, (places[i].flipped ? -1.0 : 1.0) * frame.cx / kPictureWidth,
                double(frame.cy) / kPictureHeight);
            cairo_set_source_surface(m_cr, m_sheet.Picture(), -kPictureWidth / 2.0, -kPictureHeight / 2.0);
            cairo_paint(m_cr);
            cairo_restore(m_cr);
        }
        cairo_surface_flush(m_surface);
        return cairo_image_surface_get_data(m_surface) != nullptr;
    }

private:
    const PictureSheet& m_sheet;
    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_cr = nullptr;
};

double CairoPicturesSeconds()
{
    static const double seconds = [] {
        CairoPictures cairo(TheSheet());
        return bench::BestSeconds([&] { return cairo.Draw(); }, 10);
    }();
    return seconds;
}

void BM_TurnedPictures(benchmark::State& state)
{
    if (!Prepared(state) || !SheetPrepared(state))
        return;
    PictureSheet& sheet = TheSheet();
    const double baseline = CairoPicturesSeconds();
    sheet.Draw(); // the first drawing may make what later ones reuse
    const auto start = Clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet.Draw());
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    const double perIteration = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_cairo"] = perIteration / baseline;
    state.counters["cairo_ms"] = baseline * 1e3;
    state.SetItemsProcessed(int64_t(state.iterations()) * kPictures);
}
BENCHMARK(BM_TurnedPictures)->Unit(benchmark::kMillisecond);

void BM_CairoTurnedPictures(benchmark::State& state)
{
    if (!Prepared(state) || !SheetPrepared(state))
        return;
    CairoPictures cairo(TheSheet());
    for (auto _ : state)
        benchmark::DoNotOptimize(cairo.Draw());
    state.SetItemsProcessed(int64_t(state.iterations()) * kPictures);
}
BENCHMARK(BM_CairoTurnedPictures)->Unit(benchmark::kMillisecond);

// ---- Adding many objects -----------------------------------------------------------------------
//
// A third design, at zoom 100 in a 1920 x 1080 view, takes objects spread
// over nine times the view (three views across and three down, the view in
// the middle), so that most of them lie past it and grow the scrolled area
// as they come.
//
// BM_AddObjects: 1,000 or 10,000 objects added one by one through the
// document's AddObject, then the messages they leave handled and the view
// painted; as the adds of one command, as the program's commands that add
// objects make them (one_command:1), or each add on its own, as a caller
// outside any command would (one_command:0). "x_add" divides by adding the
// same objects to a plain CObList plus one full repaint of the view
// holding them.
// BM_PasteObjects: 5,000 of them, copied from the other design, pasted into
// the empty one (Paste, then what it leaves to do); BM_UndoDeleteObjects:
// 5,000 deleted and then brought back by Undo (the Undo timed). Their
// "x_fullrepaint" divides by one full repaint of the view as the command
// leaves it (the objects there and selected). "paints" counts the view's
// WM_PAINTs per iteration.

constexpr int kPastedObjects = 5000;

// A client area of exactly cx x cy for the view, through its frame.
void SizeViewClient(CSurface* pView, int cx, int cy)
{
    CFrameWnd* pFrame = pView->GetParentFrame();
    for (int i = 0; i < 3; ++i) {
        CRect client;
        pView->GetClientRect(&client);
        if (client.Width() == cx && client.Height() == cy)
            break;
        CRect frame;
        pFrame->GetWindowRect(&frame);
        pFrame->SetWindowPos(NULL, 0, 0, frame.Width() + cx - client.Width(), frame.Height() + cy - client.Height(),
            SWP_NOZORDER | SWP_NOACTIVATE);
        DesignView::Pump();
    }
}

class SpreadSheet {
public:
    SpreadSheet()
    {
        if (!TheView().Ready())
            return;
        m_pDoc = TheView().OpenAnotherDesign();
        m_pView = m_pDoc != nullptr ? dynamic_cast<CMeasuredSurface*>(m_pDoc->GetSurfaceView(0)) : nullptr;
        if (m_pView == nullptr)
            return;
        m_pDoc->SetZoom(100);
        SizeViewClient(m_pView, kViewWidth, kViewHeight);
        DesignView::Pump();
        CRect client;
        m_pView->GetClientRect(&client);
        if (client.Width() != kViewWidth || client.Height() != kViewHeight || m_pView->GetZoom() != 100)
            return;
        CRect area = client;
        m_pView->DPtoLPRect(&area);
        m_view = CDrawObj::NormalizeUp(area); // y up: top > bottom
        m_ready = true;
    }

    bool Ready() const { return m_ready; }
    CDrawDoc* Doc() const { return m_pDoc; }
    CMeasuredSurface* View() const { return m_pView; }

    // nCount new objects of every outline kind, the same ones for the same
    // count, their centres anywhere in the nine views round the view.
    std::vector<CDrawObj*> MakeSpread(int nCount) const
    {
        std::mt19937 random(20261208u + unsigned(nCount));
        const int cx = m_view.Width();
        const int cy = m_view.top - m_view.bottom;
        std::uniform_int_distribution<int> x(m_view.left - cx, m_view.right + cx);
        std::uniform_int_distribution<int> y(m_view.bottom - cy, m_view.top + cy);
        std::uniform_int_distribution<int> size(30, 250), channel(0, 255);
        static constexpr int kKinds[]
            = {SHAPE_RECTANGLE, SHAPE_ROUND_RECTANGLE, SHAPE_ELLIPSE, SHAPE_LINE, SHAPE_STAR, SHAPE_REGULAR_POLYGON};
        std::vector<CDrawObj*> objects;
        objects.reserve(size_t(nCount));
        for (int i = 0; i < nCount; ++i) {
            const CPoint centre(x(random), y(random));
            const int hw = size(random) / 2;
            const int hh = size(random) / 2;
            auto* pShape = new CDrawRect(CRect(centre.x - hw, centre.y + hh, centre.x + hw, centre.y - hh),
                kKinds[i % int(sizeof kKinds / sizeof kKinds[0])]);
            CairoFigure figure;
            figure.width = i % 2 == 0 ? 1 : 3;
            figure.fill = RGB(channel(random), channel(random), channel(random));
            figure.pen = RGB(channel(random), channel(random), channel(random));
            bench::StyleLike(pShape, figure);
            objects.push_back(pShape);
        }
        return objects;
    }

    // Each object through the document's AddObject: as the adds of one
    // command (the view's extent then follows once, at the end), or each on
    // its own (the extent follows every object that grows it).
    void AddAll(const std::vector<CDrawObj*>& objects, bool bOneCommand = true) const
    {
        CSurface::CAddBatch batch(bOneCommand ? m_pView : nullptr);
        for (CDrawObj* pObj : objects)
            m_pDoc->AddObject(pObj, m_pView);
    }

    // Takes every object off and deletes it, forgets the undo steps and
    // lets the view shrink back to the page.
    void Empty() const
    {
        m_pView->GetSelection().RemoveAll();
        CObList& objects = m_pView->GetObjects();
        while (!objects.IsEmpty()) {
            auto* pObj = static_cast<CDrawObj*>(objects.RemoveHead());
            pObj->m_pSurface = nullptr;
            delete pObj;
        }
        m_pDoc->GetUndoList().Clear();
        m_pView->CheckObjectExtent(NULL);
        m_pView->InvalidateIfExtentChanged();
        DesignView::Pump();
    }

    double FullRepaintSeconds() const
    {
        return bench::BestSeconds(
            [this] {
                m_pView->InvalidateRect(NULL, FALSE);
                m_pView->UpdateWindow();
                return true;
            },
            5);
    }

private:
    CDrawDoc* m_pDoc = nullptr;
    CMeasuredSurface* m_pView = nullptr;
    CRect m_view;
    bool m_ready = false;
};

SpreadSheet& TheSpreadSheet()
{
    static SpreadSheet sheet;
    return sheet;
}

bool SpreadPrepared(benchmark::State& state)
{
    if (TheSpreadSheet().Ready())
        return true;
    state.SkipWithError("the design to add objects to could not be made at 1920 x 1080, zoom 100");
    return false;
}

// Adding to a plain list plus one full repaint of the view holding the
// objects, for nCount objects: the best of a few, taken once per count.
double PlainAddSeconds(int nCount)
{
    const SpreadSheet& sheet = TheSpreadSheet();
    std::vector<CDrawObj*> objects = sheet.MakeSpread(nCount);
    const double listSeconds = bench::BestSeconds([&] {
        CObList list;
        for (CDrawObj* pObj : objects)
            list.AddTail(pObj);
        const INT_PTR n = list.GetCount();
        list.RemoveAll();
        return n;
    });
    sheet.AddAll(objects);
    DesignView::Pump();
    const double repaintSeconds = sheet.FullRepaintSeconds();
    sheet.Empty();
    return listSeconds + repaintSeconds;
}

void BM_AddObjects(benchmark::State& state)
{
    if (!Prepared(state) || !SpreadPrepared(state))
        return;
    const SpreadSheet& sheet = TheSpreadSheet();
    const int nCount = int(state.range(0));
    const bool bOneCommand = state.range(1) != 0;
    const double baseline = PlainAddSeconds(nCount);
    double seconds = 0;
    int64_t paints = 0;
    for (auto _ : state) {
        const std::vector<CDrawObj*> objects = sheet.MakeSpread(nCount);
        sheet.View()->m_nPaints = 0;
        const auto begin = Clock::now();
        sheet.AddAll(objects, bOneCommand);
        DesignView::Pump();
        const std::chrono::duration<double> elapsed = Clock::now() - begin;
        seconds += elapsed.count();
        state.SetIterationTime(elapsed.count());
        paints += sheet.View()->m_nPaints;
        if (sheet.View()->GetObjects().GetCount() != nCount)
            state.SkipWithError("not every object was added");
        sheet.Empty();
    }
    const double iterations = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_add"] = seconds / iterations / baseline;
    state.counters["baseline_ms"] = baseline * 1e3;
    state.counters["paints"] = double(paints) / iterations;
    state.SetItemsProcessed(int64_t(state.iterations()) * nCount);
}
BENCHMARK(BM_AddObjects)
    ->ArgNames({"objects", "one_command"})
    ->ArgsProduct({{1000, 10000}, {1, 0}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_PasteObjects(benchmark::State& state)
{
    if (!Prepared(state) || !SpreadPrepared(state))
        return;
    const SpreadSheet& sheet = TheSpreadSheet();
    // The objects to paste, copied from the same view, which is then
    // emptied.
    const std::vector<CDrawObj*> copied = sheet.MakeSpread(kPastedObjects);
    sheet.AddAll(copied);
    sheet.View()->SelectObjects(copied, FALSE);
    sheet.View()->OnEditCopy();
    sheet.Empty();

    sheet.View()->OnEditPaste();
    DesignView::Pump();
    if (sheet.View()->GetObjects().GetCount() != kPastedObjects) {
        state.SkipWithError("the paste did not place every object");
        return;
    }
    const double fullRepaint = sheet.FullRepaintSeconds();
    sheet.Empty();
    double seconds = 0;
    int64_t paints = 0;
    for (auto _ : state) {
        sheet.View()->m_nPaints = 0;
        const auto begin = Clock::now();
        sheet.View()->OnEditPaste();
        DesignView::Pump();
        const std::chrono::duration<double> elapsed = Clock::now() - begin;
        seconds += elapsed.count();
        state.SetIterationTime(elapsed.count());
        paints += sheet.View()->m_nPaints;
        sheet.Empty();
    }
    const double iterations = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_fullrepaint"] = seconds / iterations / fullRepaint;
    state.counters["fullrepaint_ms"] = fullRepaint * 1e3;
    state.counters["paints"] = double(paints) / iterations;
    COleDataSource::FlushClipboard();
}
BENCHMARK(BM_PasteObjects)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_UndoDeleteObjects(benchmark::State& state)
{
    if (!Prepared(state) || !SpreadPrepared(state))
        return;
    const SpreadSheet& sheet = TheSpreadSheet();
    CMeasuredSurface* pView = sheet.View();
    const std::vector<CDrawObj*> objects = sheet.MakeSpread(kPastedObjects);
    sheet.AddAll(objects);
    DesignView::Pump();
    CFrameWnd* pFrame = pView->GetParentFrame();
    // Select All, then Delete, as the user would.
    auto deleteAll = [pView] {
        std::vector<CDrawObj*> all;
        for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != NULL;)
            all.push_back(static_cast<CDrawObj*>(pView->GetObjects().GetNext(pos)));
        pView->SelectObjects(all, FALSE);
        pView->DeleteSelection(TRUE);
        DesignView::Pump();
    };
    // The full repaint of the view as Undo leaves it: every object back and
    // selected.
    deleteAll();
    pFrame->SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    DesignView::Pump();
    const double fullRepaint = sheet.FullRepaintSeconds();
    double seconds = 0;
    int64_t paints = 0;
    for (auto _ : state) {
        deleteAll();
        pView->m_nPaints = 0;
        const auto begin = Clock::now();
        pFrame->SendMessage(WM_COMMAND, ID_EDIT_UNDO);
        DesignView::Pump();
        const std::chrono::duration<double> elapsed = Clock::now() - begin;
        seconds += elapsed.count();
        state.SetIterationTime(elapsed.count());
        paints += pView->m_nPaints;
        if (pView->GetObjects().GetCount() != kPastedObjects)
            state.SkipWithError("Undo did not bring every object back");
    }
    sheet.Empty();
    const double iterations = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_fullrepaint"] = seconds / iterations / fullRepaint;
    state.counters["fullrepaint_ms"] = fullRepaint * 1e3;
    state.counters["paints"] = double(paints) / iterations;
}
BENCHMARK(BM_UndoDeleteObjects)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
