#pragma once
// What the drawing benchmarks draw with Cairo alone as their baseline: each
// object's device outline, closed and filled or open, and its pen, taken
// from the same objects the program draws.

#include "app/PointArray.h"
#include "model/DrawRect.h"
#include "model/StockShapes.h"
#include "platform/base/Types.h"

#include <cairo.h>

#include <vector>

namespace bench {

struct CairoFigure {
    std::vector<POINT> points;
    bool closed = true;
    bool filled = true;
    COLORREF fill = 0;
    COLORREF pen = 0;
    int width = 1;
};

inline void SetSource(cairo_t* cr, COLORREF colour)
{
    cairo_set_source_rgb(cr, GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0);
}

// The outlines filled by the alternate rule and stroked through the pixel
// centres (the caller sets the rule, joins and antialiasing, as GDI draws).
inline void DrawFigures(cairo_t* cr, const std::vector<CairoFigure>& figures)
{
    for (const CairoFigure& figure : figures) {
        const std::vector<POINT>& p = figure.points;
        if (p.size() < 2)
            continue;
        cairo_move_to(cr, p[0].x + 0.5, p[0].y + 0.5);
        for (size_t i = 1; i < p.size(); ++i)
            cairo_line_to(cr, p[i].x + 0.5, p[i].y + 0.5);
        if (figure.closed)
            cairo_close_path(cr);
        if (figure.filled) {
            SetSource(cr, figure.fill);
            cairo_fill_preserve(cr);
        }
        SetSource(cr, figure.pen);
        cairo_set_line_width(cr, figure.width);
        cairo_stroke(cr);
    }
}

// Gives an object the figure's solid fill and inside-frame outline.
inline void StyleLike(CDrawObj* pObj, const CairoFigure& figure)
{
    pObj->m_logpen.lopnStyle = PS_INSIDEFRAME;
    pObj->m_logpen.lopnWidth.x = figure.width;
    pObj->m_logpen.lopnColor = figure.pen;
    pObj->m_bOutline = TRUE;
    pObj->m_bFill = TRUE;
    pObj->m_logbrush.lbStyle = BS_SOLID;
    pObj->m_logbrush.lbColor = figure.fill;
}

// The logical outline a shape's outline pass draws, in figure (its colours
// and pen kept).
inline CairoFigure ShapeFigure(CDrawRect* pShape, CairoFigure figure)
{
    CPointArray points;
    const int nKind = pShape->GetDrawnKind();
    if (nKind == SHAPE_LINE) {
        figure.points = {pShape->GetHandle(1, TRUE), pShape->GetHandle(5, TRUE)};
        figure.closed = false;
        figure.filled = false;
        return figure;
    }
    if (UINT id = GetStockOutlineId(nKind))
        GetStockOutlinePoints(id, pShape->GetShapeRect(), pShape->GetDrawingRotation(), FALSE, points);
    else
        pShape->GetOutline(points, FALSE);
    figure.points.assign(points.GetData(), points.GetData() + points.GetCount());
    return figure;
}

} // namespace bench
