// CView's printing: the print job's preparation, the print loop of File >
// Print, and the start and end of print preview.
//
// The loop: OnPreparePrinting (which normally runs the print dialog through
// DoPreparePrinting and so makes the printer DC), a file name when the
// printer writes to a file, OnBeginPrinting, the modeless "Printing"
// dialog with its Cancel button, StartDoc, then per page OnPrepareDC,
// StartPage, OnPrepareDC again (StartPage resets the DC), OnPrint and
// EndPage, and finally EndDoc, or AbortDoc when the user cancelled or the
// printer failed, and OnEndPrinting. The main window is disabled while the
// job runs; the abort procedure keeps the messages flowing between pages so
// that Cancel can be pressed.

#include "platform/base/ResourceTables.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/ControlBar.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/Document.h"
#include "platform/framework/Frame.h"
#include "platform/framework/Preview.h"
#include "platform/framework/PrintInfo.h"
#include "platform/framework/FrameworkStrings.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/User.h"

namespace {

// ---- The "Printing" dialog ----------------------------------------------------------------------

const platform::DialogItemTemplate kPrintingItems[] = {
    {WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 0, 8, 6, 144, 9, AFX_IDC_PRINT_DOCNAME, "STATIC", "", 0},
    {WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 0, 8, 16, 144, 9, AFX_IDC_PRINT_PRINTERNAME, "STATIC", "", 0},
    {WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 0, 8, 26, 144, 9, AFX_IDC_PRINT_PORTNAME, "STATIC", "", 0},
    {WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 0, 8, 36, 144, 9, AFX_IDC_PRINT_PAGENUM, "STATIC", "", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 55, 48, 50, 14, IDCANCEL, "BUTTON", "Cancel", 0},
};

const platform::DialogTemplate kPrintingTemplate = {
    false,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
    0,
    0,
    0,
    0,
    160,
    68,
    "Printing",
    nullptr,
    0,
    "",
    8,
    FW_NORMAL,
    0,
    0,
    "MS Sans Serif",
    kPrintingItems,
    WORD(sizeof kPrintingItems / sizeof kPrintingItems[0]),
};

// The job that runs: at most one, since the main window is disabled while
// it prints.
bool g_bUserAbort = false;
bool g_bJobFailed = false;
HWND g_hWndPrintStatus = NULL;

class CPrintingDialog : public CDialog {
public:
    explicit CPrintingDialog(CWnd* pParent)
    {
        CreateIndirect(&kPrintingTemplate, pParent);
        g_bUserAbort = false;
        g_bJobFailed = false;
        g_hWndPrintStatus = m_hWnd;
    }
    ~CPrintingDialog() override
    {
        g_hWndPrintStatus = NULL;
        if (m_hWnd != NULL)
            DestroyWindow();
    }

protected:
    void OnCancel() override
    {
        // The job notices at the end of the page being printed.
        g_bUserAbort = true;
        if (CWnd* pButton = GetDlgItem(IDCANCEL))
            pButton->EnableWindow(FALSE);
    }
};

} // namespace

BOOL IsPrintJobCancelled()
{
    return g_hWndPrintStatus != NULL && g_bUserAbort ? TRUE : FALSE;
}

BOOL IsPrintJobFailed()
{
    return g_hWndPrintStatus != NULL && (g_bJobFailed || g_bUserAbort) ? TRUE : FALSE;
}

namespace {

// Between pages (and from EndPage): lets the user press Cancel. WM_QUIT
// ends the job too and is posted again for the outer loop.
BOOL CALLBACK PrintAbortProc(HDC, int)
{
    MSG msg;
    while (!g_bUserAbort && ::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(int(msg.wParam));
            g_bUserAbort = true;
            break;
        }
        if (g_hWndPrintStatus && ::IsDialogMessage(g_hWndPrintStatus, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    return !g_bUserAbort;
}

// The printer writes to a file rather than to a device: the PDF-file
// printer, or "print to file" chosen in the dialog.
bool PrintsToFile(const CPrintDialog& dlg)
{
    return (dlg.m_pd.Flags & PD_PRINTTOFILE) || dlg.GetPortName().CompareNoCase("FILE:") == 0;
}

// The built-in template of the preview's button bar.
const platform::DialogItemTemplate kPreviewBarItems[] = {
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 2, 2, 44, 14, AFX_ID_PREVIEW_PRINT, "BUTTON", "&Print...", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 48, 2, 44, 14, AFX_ID_PREVIEW_NEXT, "BUTTON", "&Next Page", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 94, 2, 44, 14, AFX_ID_PREVIEW_PREV, "BUTTON", "Pre&v Page", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 140, 2, 44, 14, AFX_ID_PREVIEW_NUMPAGE, "BUTTON", "&Two Page", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 186, 2, 44, 14, AFX_ID_PREVIEW_ZOOMIN, "BUTTON", "Zoom &In", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 232, 2, 44, 14, AFX_ID_PREVIEW_ZOOMOUT, "BUTTON", "Zoom &Out", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 278, 2, 44, 14, AFX_ID_PREVIEW_CLOSE, "BUTTON", "&Close", 0},
};

const platform::DialogTemplate kPreviewBarTemplate = {
    false,
    WS_CHILD | DS_SETFONT,
    0,
    0,
    0,
    0,
    324,
    18,
    "",
    nullptr,
    0,
    "",
    8,
    FW_NORMAL,
    0,
    0,
    "MS Sans Serif",
    kPreviewBarItems,
    WORD(sizeof kPreviewBarItems / sizeof kPreviewBarItems[0]),
};

} // namespace

// ---- Preparing a job ----------------------------------------------------------------------------

BOOL CView::OnPreparePrinting(CPrintInfo* /*pInfo*/)
{
    // Views that print override this and call DoPreparePrinting.
    return TRUE;
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    CWinApp* pApp = AfxGetApp();
    CPrintDialog* pPD = pInfo->m_pPD;
    if (pInfo->m_bPreview || pInfo->m_bDirect) {
        // No dialog: the application's printer as it is.
        if (pPD->m_pd.hDC == NULL) {
            if (!pApp || !pApp->GetPrinterDeviceDefaults(&pPD->m_pd)) {
                // No printer chosen yet and none by default: ask, unless
                // this is only a preview.
                if (pInfo->m_bPreview || !pApp || pApp->DoPrintDialog(pPD) != IDOK)
                    return FALSE;
            }
            if (pPD->m_pd.hDC == NULL && pPD->CreatePrinterDC() == NULL)
                return FALSE;
        }
        pPD->m_pd.nFromPage = WORD(pInfo->GetMinPage());
        pPD->m_pd.nToPage = WORD(pInfo->GetMaxPage());
    } else {
        if (!pApp || pApp->DoPrintDialog(pPD) != IDOK)
            return FALSE;
        if (pPD->m_pd.hDC == NULL && pPD->CreatePrinterDC() == NULL)
            return FALSE;
        if (!pPD->PrintRange()) {
            pPD->m_pd.nFromPage = WORD(pInfo->GetMinPage());
            pPD->m_pd.nToPage = WORD(pInfo->GetMaxPage());
        }
    }
    return pPD->m_pd.hDC != NULL;
}

void CView::OnBeginPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/)
{
}

void CView::OnPrint(CDC* pDC, CPrintInfo* /*pInfo*/)
{
    OnDraw(pDC);
}

void CView::OnEndPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/)
{
}

// ---- The print loop -----------------------------------------------------------------------------

void CView::OnFilePrint()
{
    CPrintInfo printInfo;
    const MSG* pMsg = GetCurrentMessage();
    if (pMsg && pMsg->message == WM_COMMAND && LOWORD(pMsg->wParam) == ID_FILE_PRINT_DIRECT)
        printInfo.m_bDirect = TRUE;

    if (!OnPreparePrinting(&printInfo))
        return;
    CPrintDialog* pPD = printInfo.m_pPD;
    if (pPD->m_pd.hDC == NULL) {
        AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_START_PRINT));
        return;
    }

    // A printer that writes a file needs its name.
    CString strOutput;
    if (PrintsToFile(*pPD)) {
        CString strDefExt = AfxFrameworkString(AFX_IDS_PRINTDEFAULTEXT);
        CString strDefault = AfxFrameworkString(AFX_IDS_PRINTDEFAULT);
        CString strFilter = AfxFrameworkString(AFX_IDS_PRINTFILTER);
        CString strCaption = AfxFrameworkString(AFX_IDS_PRINTCAPTION);
        CFileDialog dlg(FALSE, strDefExt, strDefault, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
            strFilter, this);
        dlg.m_ofn.lpstrTitle = strCaption;
        if (dlg.DoModal() != IDOK)
            return;
        strOutput = dlg.GetPathName();
    }

    CString strTitle;
    if (CDocument* pDoc = GetDocument())
        strTitle = pDoc->GetTitle();
    DOCINFO docInfo{};
    docInfo.cbSize = sizeof docInfo;
    docInfo.lpszDocName = strTitle;
    docInfo.lpszOutput = strOutput.IsEmpty() ? nullptr : static_cast<LPCSTR>(strOutput);

    CDC dcPrint;
    dcPrint.Attach(pPD->m_pd.hDC); // printInfo deletes the DC
    dcPrint.m_bPrinting = TRUE;

    OnBeginPrinting(&dcPrint, &printInfo);
    dcPrint.SetAbortProc(PrintAbortProc);

    // The job owns the user's attention until it ends.
    HWND hWndMain = AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : NULL;
    bool bMainWasEnabled = hWndMain && ::IsWindowEnabled(hWndMain);
    if (bMainWasEnabled)
        ::EnableWindow(hWndMain, FALSE);
    auto enableMain = [&]() {
        if (bMainWasEnabled && ::IsWindow(hWndMain))
            ::EnableWindow(hWndMain, TRUE);
    };

    CPrintingDialog dlgPrintStatus(this);
    dlgPrintStatus.SetDlgItemText(AFX_IDC_PRINT_DOCNAME, strTitle);
    dlgPrintStatus.SetDlgItemText(AFX_IDC_PRINT_PRINTERNAME, pPD->GetDeviceName());
    CString strPort = AfxFrameworkString(AFX_IDS_PRINTONPORT);
    strPort.Replace("%1", strOutput.IsEmpty() ? static_cast<LPCSTR>(pPD->GetPortName()) : static_cast<LPCSTR>(strOutput));
    dlgPrintStatus.SetDlgItemText(AFX_IDC_PRINT_PORTNAME, strPort);
    dlgPrintStatus.ShowWindow(SW_SHOW);
    dlgPrintStatus.UpdateWindow();

    int nJob = dcPrint.StartDoc(&docInfo);
    if (nJob <= 0) {
        g_bJobFailed = true;
        enableMain();
        OnEndPrinting(&dcPrint, &printInfo);
        dlgPrintStatus.DestroyWindow();
        dcPrint.Detach();
        AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_START_PRINT));
        return;
    }
    printInfo.m_nJobNumber = UINT(nJob);

    // The pages asked for, within the document's range; a range may run
    // backwards.
    UINT nStartPage = printInfo.GetFromPage();
    UINT nEndPage = printInfo.GetToPage();
    UINT nMin = printInfo.GetMinPage();
    UINT nMax = printInfo.GetMaxPage();
    nStartPage = std::min(std::max(nStartPage, nMin), nMax);
    nEndPage = std::min(std::max(nEndPage, nMin), nMax);
    const int nStep = nEndPage >= nStartPage ? 1 : -1;

    CString strPageFormat = AfxFrameworkString(AFX_IDS_PRINTPAGENUM);
    bool bError = false;
    for (printInfo.m_nCurPage = nStartPage;; printInfo.m_nCurPage += nStep) {
        OnPrepareDC(&dcPrint, &printInfo);
        if (!printInfo.m_bContinuePrinting)
            break;

        char szPage[80];
        wsprintf(szPage, strPageFormat, printInfo.m_nCurPage);
        dlgPrintStatus.SetDlgItemText(AFX_IDC_PRINT_PAGENUM, szPage);

        // The whole printable area, in the view's logical units.
        printInfo.m_rectDraw.SetRect(0, 0, dcPrint.GetDeviceCaps(HORZRES), dcPrint.GetDeviceCaps(VERTRES));
        dcPrint.DPtoLP(&printInfo.m_rectDraw);

        if (dcPrint.StartPage() <= 0) {
            bError = true;
            break;
        }
        // StartPage resets the DC's attributes.
        OnPrepareDC(&dcPrint, &printInfo);
        OnPrint(&dcPrint, &printInfo);
        if (dcPrint.EndPage() <= 0 || !PrintAbortProc(dcPrint.m_hDC, 0)) {
            bError = true;
            break;
        }
        if (printInfo.m_nCurPage == nEndPage)
            break;
    }

    if (!bError)
        bError = dcPrint.EndDoc() <= 0;
    else
        dcPrint.AbortDoc();

    g_bJobFailed = bError;
    enableMain();
    OnEndPrinting(&dcPrint, &printInfo);
    dlgPrintStatus.DestroyWindow();
    dcPrint.Detach();
    if (bError && !g_bUserAbort)
        AfxMessageBox(AfxFrameworkString(AFX_IDP_FAILED_TO_START_PRINT));
}

// ---- Print preview ------------------------------------------------------------------------------

void CView::OnFilePrintPreview()
{
    auto* pState = new CPrintPreviewState;
    if (!DoPrintPreview(AFX_IDD_PREVIEW_TOOLBAR, this, RUNTIME_CLASS(CPreviewView), pState)) {
        AfxMessageBox(AfxFrameworkString(AFX_IDP_COMMAND_FAILURE));
        delete pState;
    }
}

BOOL CView::DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass,
    CPrintPreviewState* pState)
{
    if (!pPrintView || !pPreviewViewClass || !pState)
        return FALSE;
    // The preview takes over the main frame (the only frame outside MDI).
    CFrameWnd* pParent = nullptr;
    if (CWnd* pMain = AfxGetMainWnd(); pMain && pMain->IsFrameWnd())
        pParent = static_cast<CFrameWnd*>(pMain);
    if (!pParent)
        pParent = GetParentFrame();
    if (!pParent)
        return FALSE;

    CObject* pObject = pPreviewViewClass->CreateObject();
    if (!pObject || !pObject->IsKindOf(RUNTIME_CLASS(CPreviewView))) {
        delete pObject;
        return FALSE;
    }
    auto* pView = static_cast<CPreviewView*>(pObject);

    CCreateContext context;
    context.m_pCurrentFrame = pParent;
    context.m_pCurrentDoc = GetDocument();
    context.m_pLastView = this;

    pState->pViewActiveOld = pParent->GetActiveView();
    pParent->OnSetPreviewMode(TRUE, pState);

    auto* pBar = new CDialogBar;
    BOOL barMade = nIDResource == AFX_IDD_PREVIEW_TOOLBAR
        ? pBar->CreateIndirect(pParent, &kPreviewBarTemplate, CBRS_TOP, AFX_IDW_PREVIEW_BAR)
        : pBar->Create(pParent, nIDResource, CBRS_TOP, AFX_IDW_PREVIEW_BAR);
    if (!barMade) {
        delete pBar;
        pParent->OnSetPreviewMode(FALSE, pState);
        delete pView; // never had a window; the state is still the caller's
        return FALSE;
    }
    pBar->m_bAutoDelete = TRUE;
    pView->m_pToolBar = pBar;
    pView->m_hWndToolBar = pBar->GetSafeHwnd();
    pView->m_pOrigView = this;

    if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW & ~WS_BORDER, CRect(0, 0, 0, 0), pParent,
            AFX_IDW_PANE_FIRST, &context)) {
        // A failed Create has already deleted the view object.
        pBar->DestroyWindow();
        pParent->OnSetPreviewMode(FALSE, pState);
        return FALSE;
    }
    // From here the preview view owns the state.
    pView->m_pPreviewState = pState;

    if (CView* pActive = pParent->GetActiveView())
        pActive->OnActivateView(FALSE, pActive, pActive);
    if (!pView->SetPrintView(pPrintView)) {
        // The preview is ended at once; the caller must not free the state.
        pView->ClosePreview();
        return TRUE;
    }
    pParent->SetActiveView(pView);
    pBar->SendMessage(WM_IDLEUPDATECMDUI, WPARAM(TRUE), 0);
    pParent->RecalcLayout();
    pParent->UpdateWindow();
    return TRUE;
}

void CView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT /*point*/, CPreviewView* pView)
{
    if (pView->GetPrintView())
        pView->GetPrintView()->OnEndPrinting(pDC, pInfo);

    CFrameWnd* pParent = pView->GetParentFrame();
    if (pView->m_pToolBar) {
        pView->m_pToolBar->DestroyWindow(); // a bar that deletes itself
        pView->m_pToolBar = nullptr;
        pView->m_hWndToolBar = NULL;
    }
    CPrintPreviewState* pState = pView->m_pPreviewState;
    if (pParent && pState) {
        pParent->OnSetPreviewMode(FALSE, pState);
        CView* pOld = pState->pViewActiveOld;
        if (pOld && !::IsWindow(pOld->GetSafeHwnd()))
            pOld = nullptr;
        pParent->SetActiveView(pOld);
        if (pParent != GetParentFrame())
            OnActivateView(TRUE, this, this);
    }
    // The preview view deletes itself, and with it the state and the job.
    pView->DestroyWindow();
    if (pParent) {
        pParent->RecalcLayout();
        pParent->SendMessage(WM_SETMESSAGESTRING, WPARAM(AFX_IDS_IDLEMESSAGE), 0);
        pParent->UpdateWindow();
    }
}
