// Drawing a page of objects: 1,000 mixed shapes (every rectangle-object
// kind: rectangles, round rectangles, ellipses, lines, regular polygons and
// the stock outlines, and free polygons; solid fills; 1- and 3-pixel
// outlines; a tenth turned by some angle) drawn by the surface's object pass
// at zoom 100 into a Letter page of 816 x 1056 pixels, against the same
// device outlines filled and stroked straight with Cairo (antialiasing off)
// in the same run.
//
// "x_cairo" is the time of one pass over the objects divided by the time
// Cairo alone takes for their outlines (the best of a few, taken once):
// what the object model and GDI's rules add to the drawing itself.

#include "app/PointArray.h"
#include "model/DrawPoly.h"
#include "model/DrawRect.h"
#include "model/StockShapes.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "surface/Surface.h"

#include "bench/CairoFigures.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kPageWidth = 816; // Letter at 96 pixels an inch, zoom 100
constexpr int kPageHeight = 1056;
constexpr int kObjects = 1000;

using Clock = std::chrono::steady_clock;

// A view without a window whose object pass the bench calls; it owns the
// objects it is given.
class CBenchSurface : public CSurface {
public:
    using CSurface::DrawObjects;
};

using bench::CairoFigure;
using bench::SetSource;
using bench::ShapeFigure;

// The page: a memory DC on an 816 x 1056 bitmap prepared by the view at
// zoom 100, and the view holding the objects. Made once; the platform
// stays up for the whole run.
class ObjectPage {
public:
    ObjectPage()
    {
        platform::headless::Reset();
        threadwick::RegisterResources();
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateBitmap(kPageWidth, kPageHeight, 1, 32, nullptr);
        m_pOld = m_dc.SelectObject(&m_bitmap);
        m_view = std::make_unique<CBenchSurface>();
        m_view->OnPrepareDC(&m_dc, nullptr);
        MakeObjects();
    }
    ~ObjectPage()
    {
        m_dc.SelectObject(m_pOld);
    }

    // Whitens the page (device pixels) and draws every object.
    void Draw()
    {
        const int nSaved = m_dc.SaveDC();
        m_dc.SetMapMode(MM_TEXT);
        m_dc.SetWindowOrg(0, 0);
        m_dc.SetViewportOrg(0, 0);
        m_dc.PatBlt(0, 0, kPageWidth, kPageHeight, WHITENESS);
        m_dc.RestoreDC(nSaved);
        m_view->DrawObjects(&m_dc);
    }

    const std::vector<CairoFigure>& Figures() const { return m_figures; }

private:
    void MakeObjects()
    {
        std::mt19937 random(20240515);
        const CRect page = m_view->GetPageRect(); // y up: top > bottom
        std::uniform_int_distribution<int> x(page.left + 20, page.right - 20), y(page.bottom + 20, page.top - 20);
        std::uniform_int_distribution<int> size(30, 250), angle(1, 359), channel(0, 255), corners(3, 8),
            spread(-120, 120);
        auto colour = [&] { return RGB(channel(random), channel(random), channel(random)); };
        int nKind = 0;
        for (int i = 0; i < kObjects; ++i) {
            CDrawObj* pObj = nullptr;
            CairoFigure figure;
            // Logical widths of 1 and 3 are 1 and 3 pixels at zoom 100.
            figure.width = i % 2 == 0 ? 1 : 3;
            figure.fill = colour();
            figure.pen = colour();
            if (i % 10 == 9) {
                const CPoint centre(x(random), y(random));
                std::vector<POINT> points(size_t(corners(random)));
                for (POINT& p : points)
                    p = POINT{centre.x + spread(random), centre.y + spread(random)};
                auto* pPoly = new CDrawPoly(CRect(centre, centre));
                pPoly->SetPoints(points.data(), int(points.size()), int(points.size()));
                figure.points = points;
                pObj = pPoly;
            } else {
                const CPoint centre(x(random), y(random));
                const int cx = size(random) / 2;
                const int cy = size(random) / 2;
                auto* pShape = new CDrawRect(CRect(centre.x - cx, centre.y + cy, centre.x + cx, centre.y - cy), nKind);
                pShape->m_nSides = 3 + i % 6;
                nKind = (nKind + 1) % SHAPE_KIND_COUNT;
                pObj = pShape;
            }
            bench::StyleLike(pObj, figure);
            m_view->Add(pObj);
            if (auto* pShape = dynamic_cast<CDrawRect*>(pObj)) {
                // One object in ten is turned.
                if (i % 10 == 3)
                    pShape->SetAngle(angle(random));
                figure = ShapeFigure(pShape, figure);
            }
            m_dc.LPtoDP(figure.points.data(), int(figure.points.size()));
            m_figures.push_back(figure);
        }
    }


    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
    std::unique_ptr<CBenchSurface> m_view;
    std::vector<CairoFigure> m_figures;
};

ObjectPage& Page()
{
    static ObjectPage page;
    return page;
}

// The same outlines with Cairo alone: filled by the alternate rule and
// stroked through the pixel centres with round joins, as GDI's wide pens.
void DrawFiguresWithCairo(cairo_t* cr, const std::vector<CairoFigure>& figures)
{
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    bench::DrawFigures(cr, figures);
}

class CairoPage {
public:
    CairoPage()
    {
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPageWidth, kPageHeight);
        cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    }
    ~CairoPage()
    {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    cairo_surface_t* surface;
    cairo_t* cr;
};

// Seconds the Cairo outlines take here: the best of a few, taken once.
double CairoSeconds()
{
    static const double seconds = [] {
        CairoPage page;
        double best = 1e9;
        for (int i = 0; i < 10; ++i) {
            auto start = Clock::now();
            DrawFiguresWithCairo(page.cr, Page().Figures());
            cairo_surface_flush(page.surface);
            std::chrono::duration<double> elapsed = Clock::now() - start;
            best = std::min(best, elapsed.count());
        }
        return best;
    }();
    return seconds;
}

void BM_Objects(benchmark::State& state)
{
    ObjectPage& page = Page();
    CairoSeconds();
    Clock::time_point start = Clock::now();
    for (auto _ : state)
        page.Draw();
    std::chrono::duration<double> elapsed = Clock::now() - start;
    double perIteration = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_cairo"] = perIteration / CairoSeconds();
    state.SetItemsProcessed(int64_t(state.iterations()) * kObjects);
}
BENCHMARK(BM_Objects)->Unit(benchmark::kMillisecond);

void BM_ObjectsWithCairo(benchmark::State& state)
{
    const std::vector<CairoFigure>& figures = Page().Figures();
    CairoPage page;
    for (auto _ : state) {
        DrawFiguresWithCairo(page.cr, figures);
        cairo_surface_flush(page.surface);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kObjects);
}
BENCHMARK(BM_ObjectsWithCairo)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
