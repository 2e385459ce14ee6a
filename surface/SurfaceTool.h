#pragma once
// The mouse tools of the design surface. Every press, double click,
// release and move on a view goes to one tool, found by the current shape
// number (FindTool). The selection tool selects, moves, sizes, rotates and
// drags the rubber band; the drawing tools create an object at the press
// and then size it through the selection tool's handle drag. A click with
// a drawing tool takes its new object away again, so its creation is
// recorded for undo only at the release of a drag. Moves follow the mouse
// exactly; snapping to guidelines and grid happens once, at the release.
//
// All tools are global objects registered in one list at start-up. The
// drag state is shared by all views, which is sound because only one view
// can hold the mouse capture at a time.

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"

#include <vector>

class CDrawObj;
class CObList;
class CString;
class CSurface;
struct ObjectFrame;

// The shape number of the regular polygon, served by the shape-0 tool.
constexpr int kShapePolygon = 16;
// The text tool.
constexpr int kShapeText = 18;

// Cursors of the tools: the program's cursor resources by number, and three
// system cursors under numbers no resource takes.
enum SurfaceCursor : UINT {
    kCursorArrow = 0,
    kCursorIBeam = 1,
    kCursorCross = 2,
    kCursorObject = 264, // over an object that is not selected
    kCursorMove = 424,   // over a selected object
    kCursorMoving = 425, // while a selection is moved
};

class CSurfaceTool {
public:
    explicit CSurfaceTool(int nShape);
    virtual ~CSurfaceTool();
    CSurfaceTool(const CSurfaceTool&) = delete;
    CSurfaceTool& operator=(const CSurfaceTool&) = delete;

    virtual void OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point);
    virtual void OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point);
    virtual void OnMouseMove(CSurface* pView, UINT nFlags, CPoint point);
    virtual void OnCancel(CSurface* pView);

    // The value of g_nCurrentShape this tool serves.
    int m_nShape;
    // Set by FindTool when the tool serves shape 16 (the regular polygon).
    BOOL m_bPolygon = FALSE;
    // The handle the last press found on a selected object (0 none, 9 the
    // rotation handle); cleared by every release.
    int m_nHandleHit = 0;
};

class CSelectionTool : public CSurfaceTool {
public:
    CSelectionTool();
    void OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnMouseMove(CSurface* pView, UINT nFlags, CPoint point) override;
    // The band's pop-up menu at a client point.
    void ShowBandMenu(CSurface* pView, CPoint point);

    // The press point of a move, logical units.
    CPoint m_ptMoveStart;
    // The object's rectangle at the start of a handle drag; emptied once
    // its undo step is recorded. m_bDragStartKept says whether it holds one
    // (an object's rectangle may itself be empty, a line's for one).
    CRect m_rectDragStart;
    BOOL m_bDragStartKept = FALSE;
};

class CShapeTool : public CSurfaceTool {
public:
    explicit CShapeTool(int nShape);
    void OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnMouseMove(CSurface* pView, UINT nFlags, CPoint point) override;
};

// The tool for a shape number, or NULL. Shape 16 is the shape-0 tool with
// its polygon flag set; any other lookup clears that flag again.
CSurfaceTool* FindTool(int nShape);
// Makes a shape current for a view (NULL: no view to end a text edit in).
void SetCurrentShape(CSurface* pView, int nShape);
// Enables or greys every top-level item of the main menu but the last.
void EnableFrameMenus(BOOL bEnable);
// The release point moved so that the selection snaps to the guidelines or
// the grid (logical units in and out).
CPoint SnapDragPoint(CSurface* pView, CPoint point);
// A client point in the view's logical units.
CPoint ToLogical(CSurface* pView, CPoint point);
// The client rectangle a band drag spans from a to b, normalised.
CRect BandRect(CPoint a, CPoint b);
// How a new text object takes the default font: as it is, or plain (not
// bold, italic, underlined or struck out).
enum class NewTextFont { Default, Plain };
// A new text object on rect (logical) holding strText, in the format the
// preferences give new text; the caller owns it.
CDrawObj* MakeTextObject(const CRect& rect, const CString& strText, NewTextFont font);
// The corner of rect nearest to an intersection of the grid of nStep units
// whose lines run through (ox, oy); corners are tried left-top, right-top,
// right-bottom, left-bottom, a later one winning only when strictly nearer.
CPoint FindNearestGridCorner(const CRect& rect, int ox, int oy, int nStep);
// How far an offset from the grid origin lies from the nearest grid
// intersection (truncated); 0 for a step of 0 or less.
int GridCornerDistance(int dx, int dy, int nStep);
// Moves every object of the list by the offset through CDrawObj::MoveTo;
// an object that will not move (locked) keeps both its rectangles.
void OffsetObjects(CSurface* pView, const CObList& objects, CSize offset);
void ClearCalendarCellHits(CSurface* pView);
BOOL IsTextEditMode();
void SetTextEditMode(BOOL bOn);
void SetSelectMode(int nMode);
// Sets one of the tools' cursors (the arrow when it cannot be had).
void SetSurfaceCursor(UINT nCursor);
void SetSurfaceCursor(HCURSOR hCursor);
// CDrawObj::HitTest on a selected object, except that the rotation handle
// is missed while the view does not show it (m_bRotateMode 0).
int HitTestHandle(CDrawObj* pObj, CPoint point, CSurface* pView);
// Keeps every selected object's properties as a press on the rotation
// handle finds them; the release records the turn from there.
void KeepTurnStart(CSurface* pView);
// The frame an object had when the press of the drag under way found it;
// null for an object the press did not find selected.
const ObjectFrame* PressFrameOf(const CDrawObj* pObj);
// Clears the drag mark (OBJ_FLAG_DRAGGING) of every selected object.
void ClearDragMarks(CSurface* pView);
void PlayToolSound(int nSound);
// The shape kind a drawing tool makes (kinds of CDrawRect::m_nShape); -1
// for the text tool and shapes without a kind.
int ShapeKindOfTool(int nShape, BOOL bPolygon);
// Records the creation of the shape the last drawing press made, when it is
// still on the view and not yet recorded (its release records it). NULL
// forgets it.
void RecordPendingShape(CSurface* pView);
// Puts the tools' shared drag state back to its start values (for tests;
// ResetSurfaceGlobals calls it).
void ResetSurfaceTools();

// The shared drag state.
extern UINT g_nDownFlags;
extern CPoint g_downPoint;       // client point of the last press
extern CPoint g_lastPoint;       // client point of the last press or move
extern CPoint g_lastLocalPoint;  // logical point of the last press or move
extern int g_nDragHandle;
extern int g_nHitObjectIndex;
extern CPoint g_handleHitPoint;
extern CRect g_savedDragRect;
extern BOOL g_bNewObject;
extern BOOL g_bFinalMove;
extern CPoint g_cropAnchor[2];
extern CSelectionTool g_selectionTool;
// Every registered tool in the order of registration: the selection tool,
// then the shape tools of shapes 0, 1, 2, 4, 3, 13, 6, 7, 8, 9, 10, 5, 12,
// 11, 14 and 18, then the crop and zoom tools (shapes 17 and 19).
extern std::vector<CSurfaceTool*> g_toolList;
