#pragma once
// The two mouse tools that make no objects. The crop tool (shape 17) crops
// the first selected picture: its handles move the picture's visible edges
// over the whole picture, a dragged band crops it to the band, and the crop
// is completed or undone as a whole. The zoom tool (shape 19) steps the zoom
// with a click (in, or out with Shift) and zooms a dragged band to fill the
// view.
//
// Both are global objects of the tool list (registered with the others in
// SurfaceTool.cpp). The crop tool remembers the object it crops and its
// view only by address: objects are deleted by Clear, Cut and Undo and
// views are closed while a crop is under way, so every use first checks
// that the view still has its window and the object is still on its list,
// and forgets a crop that fails the check.

#include "model/UndoRecording.h"
#include "surface/SurfaceTool.h"

// The zoom tool's shape number.
constexpr int kShapeZoom = 19;

// The tools' cursor resources.
enum CropZoomCursor : UINT {
    kCursorCropHandle = 427, // over a handle of the picture being cropped
    kCursorCrop = 428,       // anywhere else with the crop tool
    kCursorZoom = 623,       // the zoom tool
};

// The zoom a click steps to from nZoom (0: fitting the window) over the
// steps 25, 50, 75, 100, 150, 200 and 500 %.
WORD NextZoomStep(int nZoom, BOOL bIn);

// The zoom (1..500) at which a band of bw x bh logical units nearly fills a
// client area of cw x ch pixels, with tx and ty the twips per pixel of the
// screen. A band without width or height zooms as far as it can (500).
WORD ZoomForBand(double bw, double bh, int cw, int ch, int tx, int ty);

class CCropTool : public CSurfaceTool {
public:
    CCropTool();
    void OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnMouseMove(CSurface* pView, UINT nFlags, CPoint point) override;
    // Escape gives the picture back as the crop found it before the tool
    // goes, so that leaving the tool does not keep it.
    void OnCancel(CSurface* pView) override;

    // Keeps the crop (applying a band the last drag drew) and returns to
    // the selection tool.
    void Complete(CSurface* pView);
    // Puts the picture back as the crop found it and returns to the
    // selection tool; nothing when no crop is under way in the view.
    void Undo(CSurface* pView);
    // Crops to a logical band (met with the whole picture) as Complete
    // would, beginning the crop when none is under way; the crop goes on.
    void ApplyBandCrop(CSurface* pView, const CRect& band);
    // Gives pObj back everything the crop changed, when it is the object
    // this view's crop works on, and forgets the crop. FALSE when it was not.
    BOOL Restore(CSurface* pView, CDrawObj* pObj);

    // The object a crop under way in the view works on, or NULL (the crop
    // is then forgotten when its object or view has gone).
    CDrawObj* GetCropObject(CSurface* pView);
    void Forget();
    // Ends a crop under way in the view, keeping what it did as one undo
    // step (none when the picture shows what it showed before).
    void KeepCrop(CSurface* pView);

private:
    void Begin(CSurface* pView, CDrawObj* pObj);
    // Shows the part of the picture inside rect (logical, oriented like
    // the object's position).
    void ApplyCrop(CSurface* pView, CDrawObj* pObj, const CRect& rect);

    CSurface* m_pView = nullptr; // not owned; compared, used only while its window lives
    HWND m_hView = NULL;
    CDrawObj* m_pObj = nullptr;  // not owned; compared, used only while on the view's list
    DWORD m_nSerial = 0;
    // The object when the crop began; its whole picture's rectangle is the
    // position when the picture was not cropped yet.
    PictureCropState m_start;
    // The object's own whole-picture rectangle when the crop began, which
    // the undo step gives back (m_start's stands in for an uncropped one).
    CRect m_rectUncroppedBefore;
};

class CZoomTool : public CSurfaceTool {
public:
    CZoomTool();
    void OnLButtonDown(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnLButtonDblClk(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnLButtonUp(CSurface* pView, UINT nFlags, CPoint point) override;
    void OnMouseMove(CSurface* pView, UINT nFlags, CPoint point) override;

    BOOL m_bDragging = FALSE;
};

extern CCropTool g_cropTool;
extern CZoomTool g_zoomTool;

// The crop fractions (left, top, width, height of the visible part over the
// whole picture, in the order SetCrop takes them) that describe the
// object's visible rectangle within its whole-picture rectangle, so that
// the Picture Crop dialog shows a crop made with the mouse.
void SyncCropFractions(CDrawObj* pObj);
