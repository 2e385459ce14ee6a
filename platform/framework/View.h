#pragma once
// CView: a child window of a frame that shows one document; CScrollView: a
// view larger than its window, scrolled with the window's scroll bars.
//
// A view is created by its frame from the CCreateContext the template
// fills in, joins its document in WM_CREATE and leaves it in its
// destructor. It is owned by its window: PostNcDestroy deletes it, so a
// view is never deleted directly while its window exists. The views of a
// frame have child ids AFX_IDW_PANE_FIRST (0xE900) + i.

#include "platform/base/Geometry.h"
#include "platform/framework/OleTypes.h"
#include "platform/framework/Wnd.h"

class CBrush;
class CDC;
class COleDataObject;
class CDocTemplate;
class CDocument;
class CFrameWnd;
class CPreviewView;
class CPrintInfo;
struct CPrintPreviewState;
class CScrollBar;
class CView;
struct CRuntimeClass;

// What a frame needs to make its views: handed to CFrameWnd::LoadFrame and
// on to each view's Create as lpCreateParams.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = NULL;   // the view to make
    CDocument* m_pCurrentDoc = NULL;         // the document it joins
    CDocTemplate* m_pNewDocTemplate = NULL;  // the template of a new document
    CView* m_pLastView = NULL;               // a view to copy state from
    CFrameWnd* m_pCurrentFrame = NULL;       // the frame a new window copies
};

// Child window styles of a view made by its frame.
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
protected:
    CView();

public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    // Whether a document item is selected in this view; FALSE by default.
    virtual BOOL IsSelected(const CObject* pDocItem) const;

    // Scrolling hooks for views that scroll (CScrollView); FALSE here.
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

    // Prepares a DC before OnDraw. For printing, a view that never set its
    // page count prints one page.
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = NULL);
    // Called once, after the frame is made (WM_INITIALUPDATE): OnUpdate
    // (NULL, 0, NULL).
    virtual void OnInitialUpdate();

    // The view's own map, then its document.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // ---- Printing
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);               // defined in ViewPrint.cpp
    BOOL DoPreparePrinting(CPrintInfo* pInfo);                       // defined in ViewPrint.cpp
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);       // defined in ViewPrint.cpp
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);               // defined in ViewPrint.cpp
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);         // defined in ViewPrint.cpp
    virtual void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView); // defined in ViewPrint.cpp
    BOOL DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass,
        CPrintPreviewState* pState); // defined in ViewPrint.cpp

    // ---- For the frame
    // The frame makes a view active or inactive (SetActiveView).
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    // The view's frame is activated or deactivated (WM_ACTIVATE of the
    // frame, nState WA_*).
    virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd);

    // ---- Drop target (COleDropTarget forwards to the view it is registered on)
    virtual DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point); // defined in ViewDrop.cpp
    virtual DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);  // defined in ViewDrop.cpp
    virtual void OnDragLeave();                                                                  // defined in ViewDrop.cpp
    virtual BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);       // defined in ViewDrop.cpp
    virtual DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
        CPoint point);                                                                           // defined in ViewDrop.cpp
    virtual DROPEFFECT OnDragScroll(DWORD dwKeyState, CPoint point);                             // defined in ViewDrop.cpp

    virtual void OnDraw(CDC* pDC) = 0;
    // The document changed; pSender is the view that changed it (it is not
    // told). Invalidates the whole view by default.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);

protected:
    void PostNcDestroy() override;

    CDocument* m_pDocument = NULL;
    friend class CDocument;
    friend class CPreviewView; // runs the print virtuals of the view it shows

    afx_msg void OnFilePrint();        // defined in ViewPrint.cpp
    afx_msg void OnFilePrintPreview(); // defined in ViewPrint.cpp

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnInitialUpdateMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// A view whose content has a fixed logical size. Positions given and
// returned are logical units of the view's mapping mode; the scroll bars
// count device pixels. Under MM_TEXT both are the same.
class CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
protected:
    CScrollView();

public:
    ~CScrollView() override;

    // Marks "use the default" for the page and line sizes: a tenth of the
    // total for the page and a tenth of the page for the line.
    static const SIZE sizeDefault;

    // nMapMode is MM_TEXT or one of the fixed modes (MM_LOMETRIC ...
    // MM_TWIPS); MM_ISOTROPIC and MM_ANISOTROPIC are for SetScaleToFitSize.
    // Sizes are logical and positive.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
        const SIZE& sizeLine = sizeDefault);
    // Shrinks or stretches the whole content into the client area; the
    // bars are hidden.
    void SetScaleToFitSize(SIZE sizeTotal);

    CPoint GetScrollPosition() const;       // logical, the upper left corner shown
    CPoint GetDeviceScrollPosition() const; // pixels
    CSize GetTotalSize() const { return m_totalLog; }
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;

    // Scrolls so that pt (logical) is the upper left corner, within range.
    void ScrollToPosition(POINT pt);
    // Scrolls so that ptCenter (a point of the content, in pixels) is as
    // near the window's centre as the range allows.
    void CenterOnPoint(CPoint ptCenter);
    // Fills what lies outside the content (right of it and below it) with pBrush.
    void FillOutsideRect(CDC* pDC, CBrush* pBrush);

    BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE) override;
    BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE) override;
    // Sets the mapping mode and, unless printing, moves the viewport origin
    // to minus the scroll position.
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = NULL) override;

protected:
    // Shows, hides and sets the bars for the current sizes and client size.
    void UpdateBars();
    // The client size without the bars, and the size of the bars.
    void GetTrueClientSize(CSize& size, CSize& sizeSb);
    int GetScrollLimitFor(int nBar) const;

    int m_nMapMode = 0; // 0: SetScrollSizes not called yet
    CSize m_totalLog{0, 0};
    CSize m_totalDev{0, 0};
    CSize m_pageDev{0, 0};
    CSize m_lineDev{0, 0};
    BOOL m_bCenter = FALSE;       // centre the content when the window is larger
    BOOL m_bInsideUpdate = FALSE; // UpdateBars is running

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    DECLARE_MESSAGE_MAP()
};
