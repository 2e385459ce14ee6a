#pragma once
// CDrawPoly: a drawing object made of points that the user places one by
// one with the polygon tool. It is always drawn as a closed polygon, filled
// when its fill is on, with the pen and brush of the base object; every
// point is a handle, numbered from 1 in the order the points were placed.
//
// The object owns its point array, which grows ten points at a time. Once
// it holds a point, its position rectangle is the bounding box of the
// points, normalised as every design rectangle is (top >= bottom), so that
// one point gives an empty rectangle at that point. A polygon holds at most
// kMaxPoints points: the stored record counts them in 16 bits, and a longer
// polygon would be saved cut. Handle numbers outside 1..count are ignored.

#include "model/DrawObj.h"

#include <memory>

class CDrawPoly : public CDrawObj {
    DECLARE_SERIAL(CDrawPoly)
public:
    static constexpr int kMaxPoints = 0xFFFF;
    static constexpr int kGrowBy = 10;

    // Used by the serial factory: fill and outline stay as the base sets
    // them.
    CDrawPoly();
    // Fill off and outline on, on the rectangle the tool starts from.
    explicit CDrawPoly(const CRect& position);
    ~CDrawPoly() override;

    // The base record, then the count, the capacity and the points.
    void Serialize(CArchive& ar) override;

    // One handle per point; the rotation handle would come after them, but
    // it is never offered, so a polygon is not turned by the mouse.
    int GetHandleCount() override;
    BOOL IsRotateHandle(int nHandle) override;
    // Point n - 1 whether turned or not (a polygon's points are where they
    // show); outside 1..count the first point, or the rectangle's
    // bottom-left corner without points.
    CPoint GetHandle(int nHandle, BOOL bUnrotated = TRUE) override;
    // The arrow for every handle.
    HCURSOR GetHandleCursor(int nHandle) override;
    // A closed polygon through every point with the object's pen (when the
    // outline is on) and brush (when the fill is on; a hatch gets the
    // content word behind it, or nothing when it is -1), filled by the
    // alternate rule. Nothing when the pen or brush cannot be made, nor
    // for fewer than two points.
    void Draw(CDC* pDC) override;
    // Shifts every point by the move of the rectangle's left and top and
    // takes the rectangle. Nothing for the same rectangle or a locked
    // object.
    void MoveTo(const CRect& position, CSurface* pView, int nHandle = -1, const CRect* pUnrotated = nullptr) override;
    // Whether the rectangle meets the polygon's area (alternate rule); the
    // base rectangle test while there are fewer than two points.
    BOOL Intersects(const CRect& rect) override;
    // Moves point n - 1 to the point and recomputes the bounds; nothing
    // for n outside 1..count, an unchanged point or a locked object.
    void MoveHandleTo(int nHandle, CPoint point, CSurface* pView) override;
    // A polygon with the same points, capacity, outline and fill, unlocked;
    // added to the document for the view when one is given (then the
    // document owns it; NULL when it could not take it).
    CDrawObj* Clone(CDrawDoc* pDoc, CSurface* pView) override;
    // The pen width both ways: a polygon's outline is centred on its
    // points, so a wide pen reaches past the bounding box.
    CSize GetLinePadding() const override;

    // Appends a point, growing the array by kGrowBy when it is full. A
    // point equal to the last one is not added again. Invalidates (through
    // the view when given) and marks the document modified. FALSE when the
    // polygon already holds kMaxPoints points: nothing changes then.
    BOOL AddPoint(CPoint point, CSurface* pView = nullptr);
    // Makes the rectangle the bounding box of the points, invalidating the
    // old and the new area; TRUE when it changed. Nothing without points.
    BOOL RecalcBounds(CSurface* pView = nullptr);
    // Replaces the points with nCount points in an array of nCapacity (at
    // least nCount), as a stored polygon is loaded, and recomputes the
    // bounds. FALSE, with nothing changed, for a count or capacity outside
    // 0..kMaxPoints or missing points.
    BOOL SetPoints(const POINT* pPoints, int nCount, int nCapacity);

    int GetPointCount() const { return m_nPoints; }
    int GetCapacity() const { return m_nAllocPoints; }
    // The points in placing order; NULL before the first.
    const POINT* GetPoints() const { return m_points.get(); }

private:
    void InvalidateThrough(CSurface* pView);

    int m_nPoints = 0;
    int m_nAllocPoints = 0;
    std::unique_ptr<POINT[]> m_points;
};
