#pragma once
// Print preview. CView::DoPrintPreview takes over the main frame: the
// frame's control bars, menu and accelerators are put away
// (CFrameWnd::OnSetPreviewMode), the view being previewed is hidden, and a
// CPreviewView takes the main pane's place under a bar of buttons (Print,
// Next Page, Prev Page, One Page / Two Page, Zoom In, Zoom Out, Close).
//
// The preview view draws each page through a CPreviewDC whose attribute DC
// is the printer: the printed view's OnPrepareDC and OnPrint run as they do
// when printing, and the output is scaled into page rectangles on the
// screen, each with a shadow. Closing (the Close button, Esc, or closing the
// frame) calls the printed view's OnEndPrintPreview, which gives the frame
// its view and bars back and destroys the preview view and its bar.
//
// The preview view owns its CPrintInfo, its preview DC, the printer DC
// behind it and the preview state; the bar is destroyed with it.

#include "platform/framework/FrameworkIds.h"
#include "platform/framework/View.h"

#include <vector>

class CPreviewDC;
class CPrintInfo;
class CFrameWnd;

// What the frame looked like before the preview took it over; given back
// by CFrameWnd::OnSetPreviewMode(FALSE, ...).
struct CPrintPreviewState : public CObject {
    UINT nIDMainPane;          // the id the hidden view had
    HMENU hMenu = NULL;        // the frame's menu, taken off during preview
    CView* pViewActiveOld = nullptr;
    void (CALLBACK* lpfnCloseProc)(CFrameWnd* pFrameWnd) = nullptr;
    HACCEL hAccelTable = NULL;
    std::vector<HWND> hiddenBars; // control bars visible before, hidden now
    HWND hWndMainPane = NULL;  // the view window that gave up the main pane

    CPrintPreviewState();
};

class CPreviewView : public CScrollView {
    DECLARE_DYNCREATE(CPreviewView)
public:
    enum ZoomState { ZOOM_OUT = 0, ZOOM_MIDDLE = 1, ZOOM_IN = 2 };

    CPreviewView();
    ~CPreviewView() override;

    // Binds the view to be previewed and prepares the job (its
    // OnPreparePrinting with m_bPreview set, the printer DC, the preview DC,
    // its OnBeginPrinting). FALSE when any of it fails.
    BOOL SetPrintView(CView* pPrintView);

    CView* GetPrintView() const { return m_pPrintView; }
    CPrintInfo* GetPrintInfo() const { return m_pPreviewInfo; }
    CPreviewDC* GetPreviewDC() const { return m_pPreviewDC; }
    CWnd* GetToolBar() const { return m_pToolBar; }
    UINT GetCurrentPage() const { return m_nCurrentPage; }
    UINT GetPageCount() const { return m_nPages; } // pages shown at once
    int GetZoomState() const { return m_nZoomState; }
    // Where page i (0 or 1) of the current display lies in client
    // coordinates, shadow excluded; empty when it is not shown.
    CRect GetPageRect(UINT nIndex) const;

    CPrintPreviewState* m_pPreviewState = nullptr; // owned
    CWnd* m_pToolBar = nullptr;                    // the button bar, a child of the frame
    HWND m_hWndToolBar = NULL;                     // its window: the bar may go first during teardown
    CView* m_pOrigView = nullptr;

    // Ends the preview (as the Close button does).
    void ClosePreview();

protected:
    void OnDraw(CDC* pDC) override;

    afx_msg void OnPreviewClose();
    afx_msg void OnNextPage();
    afx_msg void OnPrevPage();
    afx_msg void OnPreviewPrint();
    afx_msg void OnNumPageChange();
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnUpdateNextPage(CCmdUI* pCmdUI);
    afx_msg void OnUpdatePrevPage(CCmdUI* pCmdUI);
    afx_msg void OnUpdateNumPageChange(CCmdUI* pCmdUI);
    afx_msg void OnUpdateZoomIn(CCmdUI* pCmdUI);
    afx_msg void OnUpdateZoomOut(CCmdUI* pCmdUI);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    void SetCurrentPage(UINT nPage);
    // fxCentre, fyCentre: the point of the page (0..1 of its width and
    // height) to bring to the middle of the window.
    void SetZoomState(int nNewState, double fxCentre, double fyCentre);
    // Page rectangles and scroll sizes for the window's current size, zoom
    // and page count.
    void PositionPages();
    void LayOutPages(CSize client, CSize sheet);
    // Draws page nPage into slot nIndex through the preview DC; FALSE when
    // the document has no such page.
    BOOL DrawPage(CDC* pDC, UINT nIndex, UINT nPage);
    // "Page n" or "Pages n-m" on the frame's status bar.
    void ShowPageDescription();
    CSize PrinterPageSize() const; // the whole sheet in printer dots
    UINT GetLastPage() const;      // the last page known to exist

    CView* m_pPrintView = nullptr;
    CPreviewDC* m_pPreviewDC = nullptr;
    CPrintInfo* m_pPreviewInfo = nullptr;
    HDC m_hPrinterDC = NULL; // the job's printer DC (m_pPreviewInfo owns it)
    UINT m_nLastPageFound = 0xFFFF; // where OnPrepareDC stopped the document
    BOOL m_bPositioning = FALSE;
    int m_nZoomState = ZOOM_OUT;
    UINT m_nPages = 1;       // 1 or 2 shown at once
    UINT m_nCurrentPage = 1;
    UINT m_nZoomOutPages = 1; // what Zoom Out returns to
    CRect m_rectPage[2];     // where the pages lie in the scrolled content (MM_TEXT)
    CSize m_sizePrinterPPI;
    CSize m_sizeScreenPPI;
    BOOL m_bClosing = FALSE;
};
