#pragma once
// CDrawRect: the drawing object of shapes (rectangles, ellipses, lines, the
// stock outlines, calendars). Today it draws the two kinds the document
// itself makes: straight lines (the tile guide lines) and plain rectangle
// outlines; the other shape kinds draw their rectangle until their outlines
// exist.

#include "model/DrawObj.h"

// Shape kinds (CDrawRect::m_nShape).
enum : int {
    SHAPE_RECTANGLE = 0,
    SHAPE_ROUND_RECTANGLE = 1,
    SHAPE_ELLIPSE = 2,
    SHAPE_LINE = 3,
    SHAPE_REGULAR_POLYGON = 15,
    SHAPE_KIND_COUNT = 16
};

class CDrawRect : public CDrawObj {
    DECLARE_SERIAL(CDrawRect)
public:
    CDrawRect();
    explicit CDrawRect(const CRect& position, int nShape = SHAPE_RECTANGLE);
    ~CDrawRect() override;

    void Serialize(CArchive& ar) override;

    // A line runs along the rectangle's diagonal (from left/top to
    // right/bottom as stored); every other kind draws its rectangle's
    // outline. The outline uses m_logpen unless m_bOutline is off.
    void Draw(CDC* pDC) override;
    // The pen width both ways.
    CSize GetLinePadding() const override;
    int GetShapeKind() const override { return m_nShape; }
    // A new shape of the same kind and side count, with the base object's
    // attributes, rectangles, picture and text.
    CDrawObj* Clone(CDrawDoc* pDoc, CSurface* pView) override;

    int m_nShape = SHAPE_RECTANGLE;
    int m_nSides = 4; // sides of the regular polygon
};
