#pragma once
// The mouse tools of the design surface. Every press, double click,
// release and move on a view goes to one tool, found by the current shape
// number (FindTool). The selection tool selects, moves, sizes, rotates and
// drags the rubber band; the drawing tools create an object at the press
// and then size it through the selection tool's handle drag.
//
// All tools are global objects registered in one list at start-up. The
// drag state is shared by all views, which is sound because only one view
// can hold the mouse capture at a time.

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"

class CSurface;

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
    // its undo step is recorded.
    CRect m_rectDragStart;
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
void ClearCalendarCellHits(CSurface* pView);
BOOL IsTextEditMode();
void SetTextEditMode(BOOL bOn);
void SetSelectMode(int nMode);

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
