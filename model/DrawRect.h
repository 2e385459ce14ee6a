#pragma once
// CDrawRect: the drawing object of shapes: rectangles, round rectangles,
// ellipses, lines, the eleven stock outlines, regular polygons, and
// calendars (a rectangle whose calendar part the calendar renderers draw).
// It may hold a picture or text as every object can; the shape is then
// their frame, clip and fill.
//
// The shape kind and side count come from files and the attribute record
// unchecked and are kept as they came: a kind outside 0..15 draws,
// hit-tests and clips as a rectangle, and a regular polygon has at least
// three sides. While the object is dragged (m_wFlags 0x0004) and the
// preferences do not ask for objects to move filled, every kind draws as
// a plain frame.
//
// The object owns its day-page items (drawing items of the day renderer);
// its day cells belong to the base object.

#include "app/PointArray.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "platform/base/StringArray.h"

class CRgn;

// Shape kinds (CDrawRect::m_nShape).
enum : int {
    SHAPE_RECTANGLE = 0,
    SHAPE_ROUND_RECTANGLE = 1,
    SHAPE_ELLIPSE = 2,
    SHAPE_LINE = 3,
    SHAPE_STAR = 4,
    SHAPE_ARROW = 5,
    SHAPE_SUN = 6,
    SHAPE_HEART = 7,
    SHAPE_CLUB = 8,
    SHAPE_SPADE = 9,
    SHAPE_DIAMOND = 10,
    SHAPE_SIGN = 11,
    SHAPE_SHIELD = 12,
    SHAPE_BUBBLE_RIGHT = 13,
    SHAPE_BUBBLE_LEFT = 14,
    SHAPE_REGULAR_POLYGON = 15,
    SHAPE_KIND_COUNT = 16
};

// Calendar kinds (CDrawRect::m_nCalendarWords[1]).
enum : int { CALENDAR_DAY = 0, CALENDAR_WEEK = 1, CALENDAR_MONTH = 2, CALENDAR_YEAR = 3 };

// The points of an ellipse's outline.
constexpr int kEllipsePoints = 1000;

class CDrawRect : public CDrawObj {
    DECLARE_SERIAL(CDrawRect)
public:
    CDrawRect();
    explicit CDrawRect(const CRect& position, int nShape = SHAPE_RECTANGLE);
    ~CDrawRect() override;

    void Serialize(CArchive& ar) override;

    // ---- The virtual interface
    // The base version; then an object holding text or a picture loses its
    // banded fill (fill 1's kind becomes 0).
    void RefreshContentFlags() override;
    // A line's handle 2 is its handle 5.
    HCURSOR GetHandleCursor(int nHandle) override;
    void SetValueC(int nValue) override { m_nValueC = nValue; }
    virtual int GetValueC() { return m_nValueC; }
    int GetValueA() override { return m_nValueA; }
    void SetValueA(int nValue) override { m_nValueA = nValue; }
    int GetValueB() override { return m_nValueB; }
    void SetValueB(int nValue) override { m_nValueB = nValue; }
    BOOL IsFillable() override { return m_nShape != SHAPE_LINE; }
    // A calendar is a rectangle with a first day.
    BOOL IsCalendar() override { return m_nCalendarStart > 0; }
    // The base fields, then the shape, fills, calendar (with clones of the
    // day cells), picture and text details.
    void GetAttributes(CObjectAttributes& attrs, int nFlag = 0) override;
    // Applies the record; the options: take the picture's source, keep the
    // picture's mirror state and the wrapped text's rotation, apply the font
    // to the whole wrapped text, a fourth passed to the base, and a value
    // for the cell clones.
    void SetAttributes(const CObjectAttributes& attrs, BOOL bPictureSource = TRUE, BOOL bKeepMirror = FALSE,
        BOOL bApplyFont = TRUE, BOOL bOption4 = FALSE, BOOL bCellOption = FALSE) override;
    // Banded fill and picture clipped to the shape, text, outline and fill,
    // then the calendar.
    void Draw(CDC* pDC) override;
    // Whether the shape (not only its rectangle) meets the rectangle.
    BOOL Intersects(const CRect& rect) override;
    void MoveHandleTo(int nHandle, CPoint point, CSurface* pView) override;
    // A new shape with this one's record, content and calendar, unlocked;
    // added to the document when one is given.
    CDrawObj* Clone(CDrawDoc* pDoc, CSurface* pView) override;
    // The pen width both ways: a polygon's pen is centred on its outline,
    // so every kind reaches that far beyond its rectangle.
    CSize GetLinePadding() const override;
    int GetShapeKind() const override { return m_nShape; }

    // ---- Outlines
    // n points (at least 3) on the ellipse inscribed in the rectangle,
    // starting at startDegrees and going round counter-clockwise.
    static void ComputeRegularPolygon(const RECT& rect, CPointArray& points, int nCount, double dStartDegrees);
    // Shifts the points so that the smallest x and y are 0; the extent.
    static void NormalizePoints(POINT* pPoints, int nCount, int& nWidth, int& nHeight);
    // A bitmap compatible with the DC, white, with the polygon (normalised)
    // in black; FALSE when it cannot be made.
    static BOOL CreateShapeMask(CDC* pDC, CBitmap& bitmap, POINT* pPoints, int nCount);
    // The region pass: the shape's outline on rect in device units as a
    // polygon region. When none can be made and the object holds a picture,
    // the shape mask is drawn into pMask instead. FALSE without a region.
    BOOL BuildShapeRegion(CDC* pDC, const CRect& rect, CRgn& region, CBitmap* pMask);
    // The outline and fill pass; FALSE when a pen or brush could not be made.
    BOOL DrawShape(CDC* pDC, BOOL bOutline, BOOL bFill);
    // A stock outline drawn as a polygon of all its points (bPolygonOnly),
    // or its region list made into a region: in device units with a DC and
    // bToDevice, through the view's mapping without a DC, else logical.
    // FALSE when the outline is missing or damaged.
    BOOL DrawStockOutline(CDC* pDC, UINT nResourceId, CRgn* pRegion, BOOL bPolygonOnly, BOOL bToDevice);
    // The closed frame of the rectangle turned by the rotation, unfilled.
    void DrawShapeFrame(CDC* pDC, const CRect& rect, int nRotation);
    // The corner points turned by the angle, and m_position the bounds of
    // the turned rectangle.
    void RelayOutline();

    // The kind drawn: unknown kinds, and every kind in the drag state, draw
    // as a rectangle.
    int GetDrawnKind() const;
    // The drag state: a plain frame stands for the object.
    BOOL IsDragFrame() const;
    // The rectangle the shape is drawn on: the detached rectangle (its sides
    // swapped by the mirror values) while detached, else m_rectUnrotated.
    CRect GetShapeRect() const;
    // The rotation the shape is drawn with; in a view it is the angle, which
    // is kept in m_nRotation.
    int GetDrawingRotation();
    // The outline of the drawn kind on the shape rectangle, turned: what the
    // outline pass draws, or (bRegionList) the list the region pass fills.
    // FALSE for a line or a missing stock outline.
    BOOL GetOutline(CPointArray& points, BOOL bRegionList);

    // ---- Calendars
    // The calendar fields back to a new calendar's (start 0, month kind 3,
    // first weekday 6), the holidays and day-page items freed.
    void ResetCalendarData();
    // The calendar renderers and the holiday reader (calendar/).
    void DrawMonthCalendar(CDC* pDC, const CRect& rect, CRgn* pRegion);
    void DrawYearCalendar(CDC* pDC, const CRect& rect, CRgn* pRegion);
    void DrawDayWeekCalendar(CDC* pDC, const CRect& rect, CRgn* pRegion);
    void LoadHolidays();

    CPointArray m_corners{4};    // the working outline, re-laid by RelayOutline
    CSize m_sizePair{32, 32};    // kept and exchanged; not drawn
    int m_nSides = 4;            // sides of the regular polygon
    int m_nRotation = 0;         // whole degrees
    CFillInfo m_fill;            // the banded fill when its kind is not 0
    CFillInfo m_fill2;           // exchanged only
    LONG m_nCalendarExtra = 0;
    LONG m_nCalendarValues[4] = {0, 0, 0, 0}; // the renderers' state
    int m_nShape = SHAPE_RECTANGLE;
    LONG m_nCalendarStart = 0;   // Julian day number; above 0 a calendar
    LONG m_nCalendarWords[5] = {0, 3, 0, 6, 1}; // kind, first weekday (1 Monday .. 7 Sunday)
    LONG m_nSecondDate = 0;      // Julian day number; today at construction
    CStringArray m_holidays[2];  // the holidays shown: names, and their day numbers as text (LoadHolidays)
    CString m_strCalendarText;
    WORD m_wCalendarFormat[2] = {0, 0};
    LONG m_nCalendarFormatValue = 0;
    CString m_strCalendarFace;
    LONG m_nCalendarOptions[3] = {1, 0, 1}; // the third goes to the record
    int m_nDrawing = 0;          // 1 while Draw runs its content passes
    int m_nValueA = 0;
    int m_nValueB = 0;
    int m_nValueC = 0;
    CRect m_rectDetached;        // drawn instead of m_position while detached
    CObList m_dayPageItems;      // CDrawObj items of the day renderer; owned
    int m_nMirrorX = 0;          // swap the detached rectangle's sides
    int m_nMirrorY = 0;
    // The calendar word and the two calendar values the base object keeps
    // for the design file and the record.
    WORD m_wCalendarWord = 0;
    WORD m_wCalendarValues[2] = {0, 0};
    BOOL m_bShapeFailed = FALSE; // the last outline and fill pass could not make its pen or brush

private:
    // The rectangle's part of the design file's record (DrawRectStore.cpp).
    void StoreRectRecord(CArchive& ar);
    void LoadRectRecord(CArchive& ar, LONG nVersion);
    void DeleteDayPageItems();
    // The picture's part of the record, each way.
    void GetPictureAttributes(CObjectAttributes& attrs);
    void SetPictureAttributes(const CObjectAttributes& attrs, BOOL bPictureSource, BOOL bKeepMirror);
    void GetTextAttributes(CObjectAttributes& attrs);
    void SetTextAttributes(const CObjectAttributes& attrs, BOOL bKeepRotation, BOOL bApplyFont);
    // Fields the record does not carry, for a clone.
    void CopyOwnFieldsTo(CDrawRect* pClone) const;
    void DrawContent(CDC* pDC, CRgn* pRegion, BOOL bRegion);
    // Draw's block text into the object's unrotated rectangle.
    void DrawBlockText(CDC* pDC);
    // Draw's wrapped text into the object's unrotated rectangle in device
    // pixels, normalised: the mirroring goes by the flags alone.
    void DrawWrappedText(CDC* pDC, const CRect& device);
};
