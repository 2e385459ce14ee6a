#pragma once
// CSurface: the view of one surface of a design (one per surface; the
// document makes the first through its template and the others as hidden
// children of the same frame). It owns the surface's drawing objects (a
// list in drawing order, head first) and deletes those it still holds when
// it goes; the selection is a second list of some of them.
//
// Logical units are hundredths of an inch with the origin at the centre of
// the page and y growing upwards; on the screen they are scaled by the zoom
// percentage (1..500). The document's zoom 0 means "fit the page in the
// window": the view then computes the largest zoom that shows the page.

#include "platform/base/Arrays.h"
#include "platform/base/ObList.h"
#include "platform/base/String.h"
#include "platform/framework/OleDrop.h"
#include "platform/framework/View.h"
#include "platform/gdi/GdiObject.h"

#include <memory>
#include <unordered_set>
#include <vector>

class CBitmap;
class CCmdUI;
class COleDataObject;
class CDC;
class CDrawDoc;
class CDrawObj;
class CPrintInfo;
class CProgressDlg;
class CSurface;
class CSurfaceInfo;

// The pixels per inch of the screen; 96 when no screen DC can be had.
SIZE ScreenPixelsPerInch();
// The object as a drawing object, or NULL when it is none (or NULL).
CDrawObj* AsDrawObj(CObject* pObject);
// The design view the user works in: the active view of the main frame's
// active child frame when it is a CSurface, else NULL.
CSurface* GetActiveSurface();
// The one selected object of the active design view, else NULL; ppView
// (may be null) receives that view (NULL without one).
CDrawObj* GetSingleSelection(CSurface** ppView);

// r with left and right, and top and bottom, exchanged where needed so that
// its width and height have the signs of like's.
CRect OrientRectLike(const CRect& r, const CRect& like);

class CSurface : public CScrollView {
    DECLARE_DYNCREATE(CSurface)
public:
    // Update hints the view answers (sent with CDocument::UpdateAllViews).
    enum Hint : LPARAM {
        HintPaperColor = 0,     // the paper colour changed: repaint
        HintObject = 1,         // one object changed (pHint = the CDrawObj)
        HintSelection = 2,      // the selected objects (or the list pHint)
        HintRemove = 3,         // the objects of the list pHint leave the view
        HintOleItems = 4,       // every embedded item of the document
        HintPrinterMetrics = 5, // after Print Setup
        HintRulers = 6,         // the rulers' units or origin changed
        HintExtent = 7,         // objects moved or sized by an undo step
        HintPalette = 8,        // the palette changed
        HintBackground = 9,     // system colours or the surface background changed
        HintDocSettings = 10,   // the zoom or the current surface changed
        HintObjectLayout = 11,  // the per-object part of HintDocSettings only
        HintDroppedFile = 12,   // a dropped file (pHint carries its path)
        HintPreferences = 14,   // grid, units or folders changed
        HintEmbedPictures = 16, // HintPreferences after setting every object's embed flag
    };
    // Bits of the document's flags word as the view reads them.
    enum DocFlag : WORD {
        DocSnapToGrid = 0x0001,
        DocSnapToGuidelines = 0x0002,
        DocMetricRulers = 0x0100,
        DocShowGuidelines = 0x0200,
        DocShowGrid = 0x0400,
    };
    // Bits of m_flags.
    enum SurfaceFlag : WORD {
        SurfaceRecomputeExtent = 0x0001,
        SurfacePainted = 0x0002,
        SurfaceObjectsInvalidate = 0x0004,
        SurfaceRedrawPending = 0x0008,
        SurfaceContextMenu = 0x0010,
        SurfacePrinting = 0x0020,
        SurfacePrintSkipped = 0x0040,
        SurfaceDragOver = 0x0080,   // something is being dragged over the view
        SurfaceLinkFlag = 0x0100,   // set and cleared by the link-flag commands
    };
    static constexpr WORD kDefaultZoom = 100;
    static constexpr WORD kMaxZoom = 500;
    // Page size before the document gives one: a Letter sheet.
    static constexpr int kDefaultPageWidth = 850;
    static constexpr int kDefaultPageHeight = 1100;
    // Posted to itself by a scroll at 150 % or more: every view of the
    // document is refreshed and the frame redrawn at once.
    static constexpr UINT kCmdRedrawAll = 1846;

    CSurface();
    ~CSurface() override;
    // The start values of the members (also resets the shared background
    // painter to the stored colour without a picture).
    void InitMembers();

    // The view's document as a design (NULL when it has none or it is not
    // a CDrawDoc); the document override when one is set.
    CDrawDoc* GetDocument() const;
    // The document's record of this view's surface, or NULL.
    CSurfaceInfo* FindSurfaceInfo() const;

    // ---- Page and zoom
    // The page, centred on the origin: (-w/2, h/2, w - w/2, h/2 - h).
    void GetPageRect(LPRECT lpRect) const;
    CRect GetPageRect() const;
    CSize GetPageSize() const { return m_sizePage; }
    // Sets the page size (hundredths of an inch; at least 1 each way),
    // recomputes the scroll sizes and repaints.
    void SetPageSize(int cx, int cy);
    void SetPageSize(CSize size) { SetPageSize(size.cx, size.cy); }
    // The zoom percentage in effect (1..500; the fit zoom while the
    // document asks for fit).
    WORD GetZoom() const { return m_nZoom; }
    // The zoom objects are drawn at: the view's own, or while the view
    // renders a picture of its surface (RenderPreview) that picture's scale
    // in percent of the screen size. Text sizes its fonts by it.
    int GetDrawingZoom() const { return m_nPictureZoom > 0 ? m_nPictureZoom : m_nZoom; }
    BOOL IsRenderingPicture() const { return m_nPictureZoom > 0; }
    // The largest zoom (1..500) that shows the whole page in the client area.
    WORD CalcFitZoom(CDC* pDC = NULL);
    // Takes the document's zoom (computing the fit zoom for 0). Does
    // nothing for a printing DC.
    void UpdateZoom(CDC* pDC);
    // Sets the scroll range to the page at the current zoom.
    void UpdateScrollSizes();

    // The number of the surface this view shows, or -1 when the document
    // does not list it.
    int GetSurfaceIndex() const;

    // ---- Objects and selection
    CObList& GetObjects() { return m_objects; }
    const CObList& GetObjects() const { return m_objects; }
    CObList& GetSelection() { return m_selection; }
    // Adds pObj (at the back when it lies on the back layer, else at the
    // front) and binds it to the document and this view.
    void Add(CDrawObj* pObj);
    // Takes pObj off the list (and off the selection when asked); does not
    // delete it.
    void Remove(CDrawObj* pObj, BOOL bFromSelection = TRUE);
    // Held round a command that adds many objects (paste, duplicate, an
    // undo step that brings objects back): while one lives, Add only puts
    // objects on the list; what they cover is invalidated and the scroll
    // extent brought up to date once, when the outermost one ends, so the
    // command repaints once whatever the number of objects. A NULL view
    // makes it do nothing; the view must outlive it.
    class CAddBatch {
    public:
        explicit CAddBatch(CSurface* pView);
        ~CAddBatch();
        CAddBatch(const CAddBatch&) = delete;
        CAddBatch& operator=(const CAddBatch&) = delete;

    private:
        CSurface* m_pView;
    };
    // Deletes every object flagged both back layer and unselectable (the
    // tile guide lines).
    void DeleteFixedObjects();
    // The OR of the flags words of all objects.
    void GetCombinedObjectFlags(WORD* pFlags) const;
    // Selects pObj (after clearing the selection unless bAdd); NULL and
    // unselectable objects only clear it.
    void Select(CDrawObj* pObj, BOOL bAdd = FALSE);
    // Selects objects of this view (each given once) all at once, replacing
    // the selection or adding to it: one update however many there are.
    void SelectObjects(const std::vector<CDrawObj*>& objects, BOOL bAdd);
    void Deselect(CDrawObj* pObj);
    // The head of the selection (NULL when empty), also recorded as the
    // view's current object.
    CDrawObj* GetFirstSelected() const;
    BOOL IsSelected(const CObject* pDocItem) const override;
    // Held round a walk over many objects that asks IsSelected of each
    // (invalidating or moving the selection), while the selection changes
    // only by what the walk notes with Add: IsSelected then answers from a
    // table made once instead of searching the selection for each object.
    class CSelectionLookup {
    public:
        explicit CSelectionLookup(CSurface* pView);
        ~CSelectionLookup();
        CSelectionLookup(const CSelectionLookup&) = delete;
        CSelectionLookup& operator=(const CSelectionLookup&) = delete;
        // Notes an object the walk has just added to the selection.
        void Add(const CObject* pObj) { m_members.insert(pObj); }
        BOOL Contains(const CObject* pObj) const { return m_members.count(pObj) != 0; }

    private:
        CSurface* m_pView;
        CSelectionLookup* m_pOuter;
        std::unordered_set<const CObject*> m_members;
    };
    // Invalidates the client area an object draws into: its rectangle with
    // its line, and its handles while it shows them; a move invalidates its
    // old and new places and nothing between them.
    void InvalidateObjectRect(CDrawObj* pObj);
    // Held round a move of many objects at once (a drag step, a nudge):
    // their places are found with one prepared DC and one selection lookup,
    // and invalidated together when it ends. A NULL view makes it do
    // nothing; the view must outlive it.
    class CMoveScope {
    public:
        explicit CMoveScope(CSurface* pView);
        ~CMoveScope();
        CMoveScope(const CMoveScope&) = delete;
        CMoveScope& operator=(const CMoveScope&) = delete;

    private:
        friend class CSurface;
        CSurface* m_pView;
        CSelectionLookup m_lookup;
        std::unique_ptr<CDC> m_pDC;
        CRect m_client;
        std::vector<CRect> m_places;
    };
    // The logical rectangle an object's drawing stays inside (its position
    // with its line padding), normalised with y downwards; what a paint
    // tests against its clip and what invalidation covers.
    static CRect GetDrawnBounds(const CDrawObj* pObj);
    // The device rectangle an object paints into on a DC mapped as the view
    // maps (a client DC or a paint's), with its handle markers when asked.
    CRect GetObjectPaintRect(CDrawObj* pObj, CDC* pDC, BOOL bHandles) const;

    // ---- The surface in the design file (SurfaceStore.cpp): the objects,
    // both guideline arrays, the flags, whether it was the active view and
    // the work rectangle (read from version 28 on).
    void Serialize(CArchive& ar) override;
    // A 32-bit count, then each position; designs of version 7 kept them in
    // hundredths, so they are read ten times larger.
    void SerializeGuidelines(CArchive& ar, CDWordArray& guidelines);
    // Reads the object list, refusing an object given twice.
    void LoadObjects(CArchive& ar);

    // ---- Pictures of the surface (SurfacePreview.cpp)
    // The page with its objects (RenderObjectsPicture) at the whole zoom
    // (1..500) that fits the page into the client area, scaled by the larger
    // of the wanted size's ratios to the client area; with bFixedZoom at
    // 75 % instead. The view's zoom and scroll position come back and the
    // main window is unlocked on every way out; the progress dialog (may be
    // null) is stepped three times. FALSE, with pBitmap untouched, when no
    // bitmap can be made or cx x cy is empty without bFixedZoom.
    BOOL RenderPreview(CBitmap* pBitmap, int cx, int cy, BOOL bFixedZoom = FALSE, CProgressDlg* pProgress = NULL);
    // The export area (GetExportArea) at the view's zoom written without
    // asking to a picture file of the format the path's extension names
    // (SurfaceExport.cpp); FALSE when nothing could be rendered or written.
    BOOL RenderToImage(LPCTSTR lpszPath);

    // Guideline positions in thousandths of an inch from the page's corner,
    // ascending: 0 the horizontal ones (y), 1 the vertical ones (x).
    CDWordArray m_guidelines[2];
    // Surface flags kept in the design file; 0x0004 is always set.
    WORD m_flags = 0x0004;
    // The work rectangle in logical units; empty until computed or read.
    CRect m_workRect;

    // ---- Conversions through OnPrepareDC on a client DC
    void DPtoLPRect(LPRECT lpRect);
    // The result is normalised (left <= right, top <= bottom).
    void LPtoDPRect(LPRECT lpRect);
    void DPtoLPPoint(LPPOINT lpPoint);
    void LPtoDPPoint(LPPOINT lpPoint);
    // A client point in logical units.
    void SurfaceDPtoLP(LPPOINT lpPoint) { DPtoLPPoint(lpPoint); }

    // ---- Drawing
    // Sets the zoomed, centred mapping (or the unzoomed page mapping when
    // printing).
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = NULL) override;
    // Workspace, paper, printer margins and the objects. Objects flagged
    // 0x0100 (outside the tile being printed) are left out.
    void OnDraw(CDC* pDC) override;
    // Lets the document draw the surfaces of one printed page.
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnInitialUpdate() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE) override;

    // Colours of the screen: the workspace around the page.
    static constexpr COLORREF kWorkspaceColor = RGB(128, 128, 128);

    // ---- Geometry, zoom, extent, grid and guidelines
    // The room added round the page in both directions (hundredths of an
    // inch).
    static CSize GetPlatformPageMargin();
    // Sets the document's zoom (0 = fit in window) from the top left corner
    // of the page; gives the view the focus when objects are selected.
    void SetZoom(WORD nZoom);
    // Fit in Window: switches fitting on (remembering the zoom) or off
    // (back to the remembered zoom, 100 when none).
    void OnFitInWindow();
    // The page in screen coordinates.
    CRect GetPageScreenRect();
    // The union of the listed objects (NULL: the selection), normalised
    // with the larger y as top; empty for an empty list.
    CRect GetObjectsBounds(const CObList* pList = NULL);
    // Positions in thousandths of an inch from the page's upper left corner.
    void AddGuideline(DWORD dwPosition, BOOL bVertical);
    void RemoveGuideline(DWORD dwPosition, BOOL bVertical, int nTolerance);
    // The smallest signed distances (guideline - edge) of the rectangle's
    // edges to the vertical (cx) and horizontal (cy) guidelines.
    CSize SnapToGuidelines(int x1, int y1, int x2, int y2);
    void CheckObjectExtent(CDrawObj* pObj = NULL);
    void InvalidateIfExtentChanged();
    // FALSE when the object lies where it cannot change the scroll extent
    // in effect (found from that extent alone, without walking the
    // objects); TRUE when it may, or the view has no extent yet.
    BOOL MayWidenExtent(const CDrawObj* pObj) const;
    void ComputeScrollExtent(CSize* pTotal, CRect* pExtent, CPoint* pShift);
    // The pending full redraw of a drag or keyboard move.
    void RequestRedraw();
    void FlushRedraw();
    BOOL IsOverEmptyBackground(CDrawObj* pObj);
    void SortObjectsByPosition(const CObList& source, CObList& dest);
    // The work area in logical units: nMarginSet 0 the margins in effect,
    // 1 the saved ones.
    void GetWorkArea(LPRECT lpRect, int nMarginSet = 0);
    void RescaleObjectsToWorkArea(const CRect* pNewRect = NULL);
    void SetWorkAreaLimit(int cx, int cy, BOOL bClamp);
    // The middle half of the page (top and bottom swapped when bCentred).
    void GetDefaultRect(LPRECT lpRect, BOOL bCentred);
    void CancelCrop(CDrawObj* pObj);
    // Ends every text edit and empties the selection.
    void EndAllTextEdits();
    BOOL IsActiveView() const { return m_bActive; }
    // The paint passes (SurfacePaint.cpp and SurfaceGeometry.cpp).
    void DrawGridAndBorder(CDC* pDC);
    void DrawGuidelines(CDC* pDC);
    void DrawPageShadow(CDC* pDC);
    void DrawWorkArea(CDC* pDC);
    void DrawDiagnosticCorner(CDC* pDC);
    // Colours of the passes that the document does not choose.
    static constexpr COLORREF kShadowColor = RGB(64, 64, 64);
    static constexpr COLORREF kGridColor = RGB(160, 160, 160);
    static constexpr COLORREF kGuidelineColor = RGB(0, 160, 160);
    static constexpr COLORREF kSuggestedAreaColor = RGB(0, 0, 255);
    // The page shadow's offset in logical units for the page and zoom.
    int GetPageShadowOffset() const;
    // Mirror printing of a transfer (SurfacePrint.cpp): the objects are
    // mirrored across the work area at the first printing paint and get
    // their own values back when the job ends, so that nothing mirrored is
    // ever shown or saved. FALSE from IsTransferPrint for a proof.
    BOOL IsTransferPrint() const;
    void BeginMirrorPrinting();
    void EndMirrorPrinting();
    // Ends the mirror printing of every view of the document and repaints
    // the views whose paint met the running job.
    static void EndPrintJob(CDrawDoc* pDoc);
    // What an object had before it was mirrored.
    struct MirrorKeep {
        CDrawObj* pObj = NULL;
        CRect rects[3];
        enum class Angle { None, Shape, BlockText, WrappedText } angle = Angle::None;
        double dAngle = 0.0;
        int nAngle = 0;
        BOOL bCrop = FALSE;
        double dCropLeft = 0.0;
        BOOL bShadow = FALSE; // block text's shadow turned the other way
        short nShadowX = 0;
        std::vector<POINT> points; // a polygon's own points
    };
    std::vector<MirrorKeep> m_mirrorKept;
    // Tests: the paint's memory bitmap cannot be made, as with a clip box
    // too large for one.
    static void SetMemoryBitmapFailsForTests(BOOL bFails);
    // The off-screen frame for a paint of cx x cy pixels on pDC: the view's
    // kept one, grown when it is too small, or pScratch made for this paint
    // alone when the area is too large to keep; NULL when none can be made.
    CBitmap* GetFrameBitmap(CDC* pDC, int cx, int cy, CBitmap* pScratch);
    // Makes the kept frame for the client's size when the view gets a new
    // size, before the paint that follows needs it.
    void PrepareFrameBitmap();
    // The printing hooks of the framework's print loop and preview.
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    afx_msg void OnSurfacePrint();
    afx_msg void OnSurfacePrintPreview();

    // ---- What the mouse tools use (SurfaceTools.cpp)
    // The topmost selectable object at a logical point, or NULL.
    CDrawObj* HitTestObject(CPoint point);
    // The selected object when exactly one is selected, else NULL.
    CDrawObj* GetSingleSelection() const;
    // Deselects and invalidates every selected object, then redraws.
    void DeselectAllAndRedraw();
    // The number of selectable objects inside a logical rectangle.
    int CountObjectsInRect(const CRect& rect);
    // Selects exactly the selectable objects inside a logical rectangle.
    void SelectObjectsInRect(const CRect& rect);
    // Clones the list (NULL: the selection in list order) with fresh group
    // numbers and offsets the clones by (+15, -15).
    void CloneObjects(CObList* pList = NULL);
    WORD NextFreeGroupNumber(WORD n);
    void SortInListOrder(CObList& list);

    // ---- Keyboard and commands on the selection (SurfaceInput.cpp,
    // SurfaceCommands.cpp)
    void DeleteSelection(BOOL bRecordUndo);
    // Direction 0 left, 1 up, 2 right, 3 down.
    void NudgeSelection(int nDirection, BOOL bStep);
    // Sizes every unturned selected object by 10 units: the edge in the
    // direction outwards, or with bShrink the opposite edge inwards; about
    // the centre when the preferences ask for it.
    void ResizeSelectionByKey(int nDirection, BOOL bShrink);
    // The context menu for the right-button point (m_ptContextMenu), or for
    // the keyboard while flag 0x0010 is set.
    void ShowContextMenu();
    // Where a keyboard context menu opens for a logical rectangle: a little
    // left of and above the middle of its visible part.
    CPoint GetInsertPoint(const CRect& rect);
    // The one selected object while its text is being edited, else NULL.
    CDrawObj* GetTextEditObject() const;
    // A command as its menu item would send it: dropped when its update
    // handler disables it. FALSE when it did not go.
    BOOL SendGatedCommand(UINT nID);
    // Ends a drag whose release has not come, as a release where the mouse
    // was last seen would; nothing without one.
    void EndPendingDrag();
    // A command that comes while a drag runs (a key's accelerator) ends the
    // drag first; Escape cancels it instead.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // While block text is edited in place (it has no window of its own), a
    // key without Ctrl or Alt that types a printable character goes to the
    // view's key handler before any accelerator: the design window's
    // single-key commands (Plus, Minus, "=") would take it first.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Set by whatever takes a press on the selection away from the tool
    // (the click then switches no handle mode), and to count a click as a
    // second one; both are cleared at every release.
    static BOOL s_bClickHandledElsewhere;
    static BOOL s_bForceSecondClick;

    // ---- State shared with the tools (see the tools' drag state)
    WORD m_nLastPaintZoom = kDefaultZoom;
    CPoint m_ptCentringOffset;
    CPoint m_ptContextMenu;
    mutable CDrawObj* m_pCurrentObject = NULL;
    BOOL m_bPrevHitSelection = FALSE;
    BOOL m_bRotateMode = TRUE;
    int m_nClickCount = 0;
    BOOL m_bPaintDeferred = FALSE;
    // The off-screen frame the paints draw into, kept from paint to paint
    // (at least the client's size): making and clearing a bitmap the size
    // of the view cost as much as drawing a few hundred objects.
    CBitmap m_frameBitmap;
    CSize m_sizeFrameBitmap;
    int m_nFrameBitmapDepth = 0;
    // Used instead of the view's own document whenever set.
    CDrawDoc* m_pDocOverride = NULL;
    BOOL m_bUndoSuspended = FALSE;
    BOOL m_bPrintingRecorded = FALSE;
    BOOL m_bHitSelection = FALSE;
    BOOL m_bNewlySelected = FALSE;
    CSize m_maxWorkSize;
    BOOL m_bButtonDown = FALSE;
    BOOL m_bKeepDeletedRects = FALSE;
    CObList m_deletedRects;
    // Zoom to return to when Fit in Window is switched off (0 = none).
    WORD m_nFitReturnZoom = 0;
    CRect m_rectExtent;
    CPoint m_ptExtentShift;
    // Open CAddBatch scopes, and whether an object was added or removed in
    // one.
    int m_nAddBatches = 0;
    BOOL m_bBatchAdded = FALSE;
    // What the objects added in the batch draw over, in logical units.
    CRect m_rectBatchArea;
    // The innermost CSelectionLookup in effect, or NULL.
    CSelectionLookup* m_pSelectionLookup = NULL;
    CMoveScope* m_pMoveScope = NULL;
    // UpdateScrollSizes runs again from the WM_SIZE that scroll bars coming
    // or going send; this bounds that nesting.
    int m_nScrollSizesDepth = 0;
    CString m_strTitle;
    CFont m_labelFont;
    COleDropTarget m_dropTarget;
    // Rendering to a bitmap: the whole page, or the capture rectangle.
    BOOL m_bCaptureWholePage = FALSE;
    CRect m_rectCapture;

    // ---- The object clipboard (SurfaceClipboard.cpp)
    // The listed objects (NULL: the selection) drawn in drawing order on the
    // document's paper into a new bitmap of their area in device pixels at
    // the view's zoom (the page with bWholePage; one pixel more each way with
    // nExtraPixel 1); FALSE when nothing was to be drawn or no bitmap could
    // be made.
    BOOL DrawObjectsToBitmap(CBitmap* pBitmap, CObList* pList, BOOL bWholePage, int nExtraPixel);
    // The logical area DrawObjectsToBitmap draws for those arguments, and
    // its size in device pixels at the view's present zoom.
    CRect GetPictureArea(const CObList* pList, BOOL bWholePage);
    CSize GetPictureSize(const CRect& area);
    // nZoom, or the largest zoom below it at which the preview's picture
    // fits cx x cy pixels (1 at least); leaves the view at that zoom.
    WORD FitPreviewZoom(WORD nZoom, int cx, int cy);
    // Every object in a new bitmap of the page, or of pArea (logical units,
    // larger y as top) when given, at the view's zoom. Text is laid out on
    // a copy, as for any picture of the surface.
    BOOL RenderObjectsPicture(CBitmap* pBitmap, const CRect* pArea = NULL);
    // Set by RenderObjectsPicture for its call: the area to draw instead of
    // the page.
    const CRect* m_pRenderArea = NULL;
    // Reads the private format from the data object into the selection and
    // places it centred in the visible area, with fresh group numbers and one
    // undo step per object; FALSE, with nothing changed, when it cannot be
    // read whole.
    BOOL PlacePastedObjects(COleDataObject* pDataObject);
    BOOL CanPaste();
    // Reads objects stored in the private format into the selection (not yet
    // on the surface); FALSE, with nothing added, when the data cannot be
    // read whole.
    BOOL LoadObjectsFromMemory(HGLOBAL hData);
    // The objects in the private format, in a new global memory block; NULL
    // when they cannot be stored.
    HGLOBAL StoreObjectsToMemory(CObList& objects);
    // Makes one picture or text object from the standard clipboard formats.
    BOOL PasteWindowsFormats();
    // One object from the open clipboard's format (or from hData, which
    // stays the caller's, when given), added and selected; NULL when the
    // data makes none.
    CDrawObj* PasteWindowsFormat(UINT nFormat, HANDLE hData = NULL);
    // Embedded objects cannot be created on this platform: always NULL.
    CDrawObj* InsertOleObject(COleDataObject* pDataObject, BOOL bLink);
    // The clipboard format of the program's own objects.
    static UINT GetPrivateFormat();
    // Paste into the selection: set while that command runs, with the
    // rectangles of the replaced objects in selection order.
    BOOL m_bPasteInto = FALSE;
    std::vector<CRect> m_pasteIntoRects;
    afx_msg void OnEditCopy();
    afx_msg void OnUpdateEditCopy(CCmdUI* pCmdUI);
    afx_msg void OnEditCut();
    afx_msg void OnUpdateEditCut(CCmdUI* pCmdUI);
    afx_msg void OnEditPaste();
    afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
    afx_msg void OnEditPasteSpecial();
    afx_msg void OnPasteIntoSelection();
    afx_msg void OnUpdatePasteIntoSelection(CCmdUI* pCmdUI);
    afx_msg void OnUpdatePrint(CCmdUI* pCmdUI);

private:
    // The selection to the clipboard: private format, picture and text.
    BOOL CopySelection();
    // Paste's whole road after the text route; TRUE when something came.
    BOOL PasteFromClipboard();
    void PlaceLoadedSelection();
    void AddPastedObjects();
    void TakePasteIntoRects();
    void RecordPastedObjects();

public:
    // ---- Insertion (SurfaceInsert.cpp)
    // The options a picture chooser returns; NULL options mean neither.
    struct InsertOptions {
        BOOL bKeepProportions = FALSE;
        BOOL bNaturalSize = FALSE;
    };
    // The middle half of the page, both axes given in reverse order.
    void GetDefaultInsertRect(LPRECT lpRect) const;
    // A picture object made from a file and placed with one undo step;
    // NULL, with nothing changed, when the file does not load.
    CDrawObj* InsertPictureFile(LPCTSTR lpszPath, const CRect* pRect = NULL, const InsertOptions* pOptions = NULL);
    // Adds, selects, centres (or keeps in place) and records a new object.
    void PlaceAndRecord(CDrawObj* pObj, BOOL bCentre = TRUE);
    // Kind 1 text, 2 shape, 3 calendar through its dialog.
    CDrawObj* InsertObjectByDialog(int nKind, const CRect* pRect = NULL);
    // A scanned picture has no file. While pictures are linked the user
    // saves it where they like and the object links that file; otherwise,
    // or when the user does not save it, it gets a temporary file and its
    // data is kept in the design, so that it survives a save and reopening.
    void KeepScannedPicture(CDrawObj* pObj);
    // The second command id of Edit Text (menus of older layouts).
    static constexpr UINT kCmdEditObjectTextAlt = 32998;
    afx_msg void OnInsertPictureOther();
    afx_msg void OnInsertPictureGallery();
    afx_msg void OnAcquirePicture();
    afx_msg void OnUpdateAcquirePicture(CCmdUI* pCmdUI);
    afx_msg void OnImportText();
    afx_msg void OnTextWorkspaceEditor();
    afx_msg void OnTextEffectsDialog();
    afx_msg void OnInsertCalendar();
    afx_msg void OnInsertShape();
    afx_msg void OnUpdateFontProperties(CCmdUI* pCmdUI);
    afx_msg void OnEditObjectText();
    afx_msg void OnUpdateEditObjectText(CCmdUI* pCmdUI);
    afx_msg void OnFontProperties();
    afx_msg void OnEditObjectFill();
    afx_msg void OnUpdateEditObjectFill(CCmdUI* pCmdUI);
    afx_msg void OnEditObjectCalendar();
    afx_msg void OnUpdateEditObjectCalendar(CCmdUI* pCmdUI);
    afx_msg void OnEditObjectPicture();
    afx_msg void OnUpdateEditObjectPicture(CCmdUI* pCmdUI);
    afx_msg void OnInsertBorder();
    afx_msg void OnInsertBackground();
    afx_msg void OnBandInsertText();
    afx_msg void OnBandInsertShape();
    afx_msg void OnBandInsertCalendar();
    afx_msg void OnBandInsertFill();
    afx_msg void OnBandInsertPicture();

    // ---- Object and arrange commands (SurfaceArrange.cpp)
    afx_msg void OnFlip(UINT nID);
    afx_msg void OnUpdateFlip(CCmdUI* pCmdUI);
    afx_msg void OnEditSelectAll();
    afx_msg void OnUpdateEditSelectAll(CCmdUI* pCmdUI);
    afx_msg void OnGridLines();
    afx_msg void OnUpdateGridLines(CCmdUI* pCmdUI);
    afx_msg void OnGuidelines();
    afx_msg void OnUpdateGuidelines(CCmdUI* pCmdUI);
    afx_msg void OnLineColor();
    afx_msg void OnUpdateLineColor(CCmdUI* pCmdUI);
    afx_msg void OnMoveToFront();
    afx_msg void OnMoveToBottom();
    afx_msg void OnMoveUp();
    afx_msg void OnMoveDown();
    afx_msg void OnUpdateStacking(CCmdUI* pCmdUI);
    // Every back-layer object to the bottom, in reverse order.
    void SinkBackLayerObjects();
    afx_msg void OnGroupItems();
    afx_msg void OnUpdateGroupItems(CCmdUI* pCmdUI);
    afx_msg void OnUngroupItems();
    afx_msg void OnUpdateUngroupItems(CCmdUI* pCmdUI);
    afx_msg void OnToggleGrouping();
    afx_msg void OnUpdateToggleGrouping(CCmdUI* pCmdUI);
    afx_msg void OnLockItems();
    afx_msg void OnUpdateLockItems(CCmdUI* pCmdUI);
    afx_msg void OnUnlockItems();
    afx_msg void OnUpdateUnlockItems(CCmdUI* pCmdUI);
    afx_msg void OnToggleLocking();
    afx_msg void OnUpdateToggleLocking(CCmdUI* pCmdUI);
    afx_msg void OnDuplicateSelection();
    afx_msg void OnUpdateDuplicateSelection(CCmdUI* pCmdUI);
    afx_msg void OnZoomArea();
    afx_msg void OnUpdateZoomArea(CCmdUI* pCmdUI);
    afx_msg void OnRotateSelection();
    afx_msg void OnUpdateRotateSelection(CCmdUI* pCmdUI);
    afx_msg void OnAddPicture();
    afx_msg void OnScaleSelection();
    afx_msg void OnUpdateScaleSelection(CCmdUI* pCmdUI);
    afx_msg void OnEditCell();
    afx_msg void OnUpdateCustomZoom(CCmdUI* pCmdUI);
    // Moves the object back inside the work area unless it may lie outside;
    // one larger than the area is centred on it.
    void FitObjectToWorkArea(CDrawObj* pObj);
    // The objects of a list that are locked, and that can be selected.
    static int CountLockedObjects(const CObList& list);
    static int CountSelectableObjects(const CObList& list);
    // Locks or unlocks the selection with one undo step of the objects
    // that changed, and tells the tool pad.
    void SetSelectionLocked(BOOL bLock);

    // ---- Align, centre, same size, maximise and Tab (SurfaceAlign.cpp)
    // Mode 0 left, 1 top, 2 right, 3 bottom edges to nCoord; 4 and 5 centre
    // within [nCoord, nCoord + nExtent]; one undo step.
    void AlignObjects(int nMode, int nCoord, int nExtent);
    // Mode 0 width, 1 height, 2 both, about each object's centre.
    void MakeSameSize(int nMode, int nRefHeight, int nRefWidth);
    // Moves the selection so that its bounds are centred on the page in the
    // directions asked; one move step, none when nothing moves.
    void CenterSelection(BOOL bHorizontal, BOOL bVertical);
    afx_msg void OnAlignLeft();
    afx_msg void OnAlignRight();
    afx_msg void OnAlignTop();
    afx_msg void OnAlignBottom();
    afx_msg void OnAlignHorzCenter();
    afx_msg void OnAlignVertCenter();
    afx_msg void OnAlignOther();
    afx_msg void OnUpdateAlignOther(CCmdUI* pCmdUI);
    afx_msg void OnUpdateAlignEdges(CCmdUI* pCmdUI);
    afx_msg void OnUpdateAlignCentres(CCmdUI* pCmdUI);
    afx_msg void OnSameWidth();
    afx_msg void OnSameHeight();
    afx_msg void OnSameBoth();
    afx_msg void OnUpdateSameSize(CCmdUI* pCmdUI);
    afx_msg void OnMaximizeSelection();
    afx_msg void OnUpdateMaximizeSelection(CCmdUI* pCmdUI);
    afx_msg void OnCenterOnPage();
    afx_msg void OnCenterHorz();
    afx_msg void OnCenterVert();
    afx_msg void OnUpdateCenter(CCmdUI* pCmdUI);
    afx_msg void OnSelectNext();
    afx_msg void OnSelectPrev();
    // Selects the next (previous) object in reading order, a group being
    // one stop; wraps round at the end.
    void SelectInReadingOrder(BOOL bNext);

    // ---- Cropping (SurfaceCrop.cpp; the tools are in CropZoomTools.cpp)
    afx_msg void OnPictureCrop();
    afx_msg void OnUpdatePictureCrop(CCmdUI* pCmdUI);
    afx_msg void OnCompleteCrop();
    afx_msg void OnUndoCrop();
    afx_msg void OnUpdateCropUnderWay(CCmdUI* pCmdUI);
    afx_msg void OnCropTool();
    afx_msg void OnUpdateCropTool(CCmdUI* pCmdUI);
    // The zoom tool command (the tool itself is in CropZoomTools.cpp).
    afx_msg void OnZoomTool();

    // ---- Printing (SurfacePrint.cpp)
    // Print: asks for the default printer's settings (a message and nothing
    // else without one), ends text editing and prints the view's design.
    afx_msg void OnFilePrint();
    // Prints pDoc (NULL: the view's own) through this view: one pass of the
    // print loop, then, for a design printed one side at a time, the further
    // passes, each after the user confirms. The view's print mode and its
    // document are given back on every way out.
    void PrintDocument(CDrawDoc* pDoc, int nPrintMode);
    // One pass of the framework's print loop for the bound document.
    void PrintDesign();
    // The print mode the current job was started with (0 outside printing).
    int m_nPrintMode = 0;

    // ---- Pictures of the surface written to files (SurfaceExport.cpp)
    // The open filter of picture formats made into the save filter of the
    // formats the engine writes: no icons, metafiles, DIBs or Photo CD; the
    // write-only formats in the metafile's place.
    static CString BuildPictureSaveFilter();
    // The union of the page and every object, normalised, in logical units.
    CRect GetExportArea();
    afx_msg void OnExportSurface();
    afx_msg void OnUpdateExportSurface(CCmdUI* pCmdUI);
    afx_msg void OnSavePictureAs();
    // Save Picture As for an object the caller holds (a new scan): the path
    // written, empty when the user cancelled or the file was not written.
    CString SavePictureAs(CDrawObj* pObj);
    // The object's picture written upright to the path, in the format its
    // extension names.
    BOOL WriteObjectPicture(CDrawObj* pObj, const CString& strPath);

    // ---- Properties, picture effects, information fields, drops and
    // wallpaper (SurfaceProperties.cpp)
    afx_msg void OnProperties();
    afx_msg void OnUpdateProperties(CCmdUI* pCmdUI);
    // The one-click picture effects (grayscale, emboss, blur, mosaic,
    // brighten, darken).
    afx_msg void OnPictureEffect(UINT nID);
    // Enabled with exactly one object selected that holds a picture (the
    // effects, Save Picture As and Set as Wallpaper).
    afx_msg void OnUpdatePictureEffect(CCmdUI* pCmdUI);
    afx_msg void OnEditObjectShape();
    afx_msg void OnUpdateEditObjectShape(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditPictureShape(CCmdUI* pCmdUI);
    afx_msg void OnToggleOleIndication();
    afx_msg void OnUpdateToggleOleIndication(CCmdUI* pCmdUI);
    afx_msg void OnSetLinkFlag();
    afx_msg void OnClearLinkFlag();
    afx_msg void OnSetAsWallpaper();
    // Refills the text objects marked with any of the information fields of
    // wMask with strText; an empty text or "(none)" removes them.
    void UpdateObjectsByFields(WORD wMask, const CString& strText);
    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;
    void OnDragLeave() override;

    // ---- Picture Studio (SurfaceStudio.cpp)
    afx_msg void OnPictureStudio();
    afx_msg void OnUpdatePictureStudio(CCmdUI* pCmdUI);

    // ---- The user's logo, return address and credit line (SurfaceUserItems.cpp)
    afx_msg void OnInsertUserLogo();
    afx_msg void OnInsertReturnAddress();
    afx_msg void OnInsertCreditLine();
    // Mirrors the selection (objects turned by a quarter turn and not
    // locked), with one undo step unless undo recording is suspended.
    void FlipSelection(BOOL bHorizontal, BOOL bVertical);

protected:
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

    void DrawObjects(CDC* pDC);
    void ReportZoom();
    void NotifyToolpad();

    WORD m_nZoom = kDefaultZoom;
    int m_nPictureZoom = 0; // set while RenderPreview draws

    CSize m_sizePage{kDefaultPageWidth, kDefaultPageHeight};
    CObList m_objects;
    CObList m_selection;
    BOOL m_bActive = FALSE;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnRedrawAll();
    afx_msg void OnRedrawFrame();
    afx_msg void OnZoomFit();
    afx_msg void OnZoom200();
    afx_msg void OnZoom150();
    afx_msg void OnZoom100();
    afx_msg void OnZoom75();
    afx_msg void OnZoom50();
    afx_msg void OnZoom25();
    afx_msg void OnZoomCustom();
    afx_msg void OnUpdateZoom(CCmdUI* pCmdUI);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    // An object of this view handed over to be edited (lParam; a new
    // calendar the calendar document added): selected alone, its editor
    // opened.
    afx_msg LRESULT OnNewCalendarItem(WPARAM wParam, LPARAM lParam);
    // Mouse, keys and the commands on the selection; their message-map
    // entries are in SurfaceInputMessages.h.
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    // A press in the diagnostic corner; TRUE when it was one.
    BOOL OnDiagnosticPress(CPoint point);
    afx_msg void OnToolCommand(UINT nID);
    afx_msg void OnUpdateToolCommand(CCmdUI* pCmdUI);
    afx_msg void OnEditSelectionText();
    afx_msg void OnEditClear();
    afx_msg void OnUpdateEditClear(CCmdUI* pCmdUI);
    afx_msg void OnEscape();
    afx_msg void OnBandSelect();
    afx_msg void OnBandCancel();
    afx_msg void OnNudge(UINT nID);
    afx_msg void OnUpdateNudge(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

// The view whose screen paint is running (the background painter reads it).
extern CSurface* g_pPaintingSurface;

// Enters every non-zero group number of the list's objects once into the
// table (in order of first appearance); TRUE when some object is in no
// group.
BOOL CollectGroupNumbers(const CObList& list, std::vector<WORD>& table);
