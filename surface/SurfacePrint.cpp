// Printing a surface view: the framework's print loop and print preview
// reach the design through the view's printing hooks, and a transfer is
// printed mirrored across the work area without leaving anything mirrored
// behind. A design that pauses between its sides prints one surface per
// pass of the loop, the user confirming each further pass.

#include "surface/Surface.h"

#include "app/DcStateSaver.h"
#include "app/main/DesignerApp.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/DrawPoly.h"
#include "model/SurfaceInfo.h"
#include "pictures/Image.h"
#include "platform/base/Exception.h"
#include "platform/framework/Afx.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/PrintInfo.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/AfxMessageBox.h"
#include "print/PrintState.h"
#include "print/TwoSidedPrintDlg.h"
#include "resources/resource.h"
#include "text/TextBlock.h"

#include <algorithm>
#include <cmath>

namespace {

// The three rectangles an object keeps, in MirrorKeep::rects order.
CRect CDrawObj::* const kRects[3] = {&CDrawObj::m_position, &CDrawObj::m_rectUnrotated, &CDrawObj::m_rectUncropped};

// x mirrored across [left, right]: the sides exchange their order, so the
// object also shows mirrored.
void MirrorRectX(CRect& rect, int nAxisSum)
{
    rect.left = nAxisSum - rect.left;
    rect.right = nAxisSum - rect.right;
}

// An angle turned the other way, in 0..360.
double NegatedAngle(double dAngle)
{
    const double d = std::fmod(360.0 - dAngle, 360.0);
    return d < 0 ? d + 360.0 : d;
}

// Calls fn for every surface view of the document.
template <typename Fn> void ForEachSurfaceView(CDrawDoc* pDoc, Fn fn)
{
    if (pDoc == NULL)
        return;
    for (POSITION pos = pDoc->GetFirstViewPosition(); pos != NULL;) {
        CView* pView = pDoc->GetNextView(pos);
        if (pView != NULL && pView->IsKindOf(RUNTIME_CLASS(CSurface)))
            fn(static_cast<CSurface*>(pView));
    }
}

// The sound of the Print command.
constexpr int kSoundPrint = 12;

// The print dialog the Print command starts from: print (not set-up), no
// page numbers or selection, copies kept in the DEVMODE, no print-to-file box.
constexpr DWORD kPrintCommandFlags = 0x14000C;

// The mode a print from the view's own commands runs in.
constexpr int kPrintModeView = 1;

// Whatever a print job of PrintDocument changes outside the document's
// objects comes back when it ends, on every way out: the view's print mode
// and document binding, the remaining-pass count, a mirrored transfer, and
// the main window, which the print loop disables and which a failure inside
// the loop would otherwise leave disabled or locked.
class CPrintJobScope {
public:
    CPrintJobScope(CSurface* pView, CDrawDoc* pDoc, int nPrintMode)
        : m_pView(pView)
        , m_pDoc(pDoc)
        , m_nOldMode(pView->m_nPrintMode)
        , m_pOldOverride(pView->m_pDocOverride)
    {
        if (CWnd* pMain = AfxGetMainWnd()) {
            m_hMain = pMain->GetSafeHwnd();
            m_bMainEnabled = m_hMain != NULL && ::IsWindowEnabled(m_hMain);
        }
        if (CDesignerApp* pApp = GetDesignerApp())
            m_nLockCount = pApp->GetLockCount();
        pView->m_nPrintMode = nPrintMode;
        pView->m_pDocOverride = pDoc;
    }
    ~CPrintJobScope()
    {
        m_pDoc->m_nRemainingPasses = -1;
        CSurface::EndPrintJob(m_pDoc);
        m_pView->m_nPrintMode = m_nOldMode;
        m_pView->m_pDocOverride = m_pOldOverride;
        if (m_bMainEnabled && ::IsWindow(m_hMain) && !::IsWindowEnabled(m_hMain))
            ::EnableWindow(m_hMain, TRUE);
        if (CDesignerApp* pApp = GetDesignerApp())
            while (pApp->GetLockCount() > m_nLockCount)
                pApp->UnlockMainWindowUpdate();
    }
    CPrintJobScope(const CPrintJobScope&) = delete;
    CPrintJobScope& operator=(const CPrintJobScope&) = delete;

private:
    CSurface* m_pView;
    CDrawDoc* m_pDoc;
    int m_nOldMode;
    CDrawDoc* m_pOldOverride;
    HWND m_hMain = NULL;
    BOOL m_bMainEnabled = FALSE;
    int m_nLockCount = 0;
};

// Asks before a further pass of a design printed one side at a time; FALSE
// ends the job. A sheet that goes back in turned over gets the dialog that
// says which side follows; otherwise a plain question.
BOOL ConfirmNextPass(CSurface* pView, CDrawDoc* pDoc)
{
    if (pDoc->GetTwoSidedMethod() != 2)
        return AfxMessageBox(IDS_PRINT_NEXT_PAGE, MB_OKCANCEL, 0) != IDCANCEL;
    CTwoSidedPrintDlg dlg(pView, pDoc);
    return dlg.DoModal() != IDCANCEL;
}

// How many pages the preview shows side by side for a design: its pages
// when it has at most one; two for the kinds whose pages are the tiles of
// one picture (apparel, mouse pads, calendars and general designs), one for
// the kinds whose pages are its sides, shown one at a time.
int PreviewPagesOf(CDrawDoc* pDoc)
{
    const int nPages = pDoc->GetPrintPageCount();
    if (nPages <= 1)
        return nPages;
    switch (pDoc->GetDocKind()) {
    case DOC_KIND_APPAREL:
    case DOC_KIND_MOUSEPAD:
    case DOC_KIND_CALENDAR:
    case DOC_KIND_GENERAL:
        return 2;
    default:
        return 1;
    }
}

} // namespace

// ---- Mirror printing -----------------------------------------------------------------------------

BOOL CSurface::IsTransferPrint() const
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return FALSE;
    if (pDoc->m_nProofValue < 0)
        return pDoc->GetDocKind() == DOC_KIND_SHIRT;
    return pDoc->m_nProofValue == 0;
}

void CSurface::BeginMirrorPrinting()
{
    if (m_bPrintingRecorded)
        return;
    m_bPrintingRecorded = TRUE;
    m_mirrorKept.clear();
    CRect work;
    GetWorkArea(&work, 0);
    const int nAxisSum = work.left + work.right;
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CDrawObj* pObj = AsDrawObj(m_objects.GetNext(pos));
        if (pObj == NULL)
            continue;
        MirrorKeep keep;
        keep.pObj = pObj;
        for (int i = 0; i < 3; ++i)
            keep.rects[i] = pObj->*kRects[i];
        // A polygon draws its own points, which the rectangles do not move;
        // giving it new points also sets its rectangles, so they are
        // mirrored after them.
        if (auto* pPoly = dynamic_cast<CDrawPoly*>(pObj); pPoly != NULL && pPoly->GetPointCount() > 0) {
            keep.points.assign(pPoly->GetPoints(), pPoly->GetPoints() + pPoly->GetPointCount());
            std::vector<POINT> mirrored = keep.points;
            for (POINT& pt : mirrored)
                pt.x = nAxisSum - pt.x;
            pPoly->SetPoints(mirrored.data(), static_cast<int>(mirrored.size()), pPoly->GetCapacity());
        }
        for (int i = 0; i < 3; ++i) {
            pObj->*kRects[i] = keep.rects[i];
            MirrorRectX(pObj->*kRects[i], nAxisSum);
        }
        // The light falls from the other side on the mirror image too: a
        // shadow to the right on the shirt is to the left on the transfer.
        CTextBlock* pShadowed = pObj->m_bBlockText ? pObj->GetTextBlock() : NULL;
        if (pShadowed != NULL && pShadowed->HasShadow()) {
            keep.bShadow = TRUE;
            keep.nShadowX = pShadowed->m_nShadowX;
            pShadowed->m_nShadowX = static_cast<short>(-pShadowed->m_nShadowX);
            pObj->FreeRenderCache();
        }
        if (pObj->HasPicture()) {
            // A picture is rendered again for its mirrored place, and its
            // visible part comes from the other side of the whole picture.
            if (pObj->m_pPicture->m_nHandle != kImageMetafile)
                pObj->FreeRenderCache();
            keep.bCrop = TRUE;
            keep.dCropLeft = pObj->m_dCropLeft;
            pObj->m_dCropLeft = 1.0 - pObj->m_dCropLeft - pObj->m_dCropWidth;
        } else if (pObj->IsRotated()) {
            CTextBlock* pBlock = pObj->m_bBlockText ? pObj->GetTextBlock() : NULL;
            if (pObj->GetRoundedAngle() != 0) {
                keep.angle = MirrorKeep::Angle::Shape;
                keep.dAngle = pObj->m_dAngle;
                keep.nAngle = pObj->m_nAngle;
                pObj->m_dAngle = NegatedAngle(pObj->m_dAngle);
                pObj->m_nAngle = static_cast<int>(NegatedAngle(pObj->m_nAngle));
            } else if (pBlock != NULL) {
                keep.angle = MirrorKeep::Angle::BlockText;
                keep.nAngle = pBlock->m_nAngle;
                pBlock->m_nAngle = static_cast<int>(NegatedAngle(pBlock->m_nAngle));
                pObj->FreeRenderCache();
            } else if (pObj->m_pWrapText != NULL) {
                keep.angle = MirrorKeep::Angle::WrappedText;
                keep.nAngle = pObj->m_nTextRotation;
                pObj->m_nTextRotation = static_cast<int>(NegatedAngle(pObj->m_nTextRotation));
            }
        }
        m_mirrorKept.push_back(keep);
    }
}

void CSurface::EndMirrorPrinting()
{
    if (!m_bPrintingRecorded)
        return;
    m_bPrintingRecorded = FALSE;
    for (const MirrorKeep& keep : m_mirrorKept) {
        // An object that left the view meanwhile is no longer ours to touch.
        CDrawObj* pObj = keep.pObj;
        if (m_objects.Find(pObj) == NULL)
            continue;
        if (auto* pPoly = dynamic_cast<CDrawPoly*>(pObj); pPoly != NULL && !keep.points.empty())
            pPoly->SetPoints(keep.points.data(), static_cast<int>(keep.points.size()), pPoly->GetCapacity());
        for (int i = 0; i < 3; ++i)
            pObj->*kRects[i] = keep.rects[i];
        if (keep.bShadow) {
            if (CTextBlock* pBlock = pObj->m_bBlockText ? pObj->GetTextBlock() : NULL)
                pBlock->m_nShadowX = keep.nShadowX;
            pObj->FreeRenderCache();
        }
        if (keep.bCrop) {
            pObj->m_dCropLeft = keep.dCropLeft;
            if (pObj->m_pPicture != NULL && pObj->m_pPicture->m_nHandle != kImageMetafile)
                pObj->FreeRenderCache();
        }
        switch (keep.angle) {
        case MirrorKeep::Angle::None:
            break;
        case MirrorKeep::Angle::Shape:
            pObj->m_dAngle = keep.dAngle;
            pObj->m_nAngle = keep.nAngle;
            break;
        case MirrorKeep::Angle::BlockText:
            if (CTextBlock* pBlock = pObj->m_bBlockText ? pObj->GetTextBlock() : NULL)
                pBlock->m_nAngle = keep.nAngle;
            pObj->FreeRenderCache();
            break;
        case MirrorKeep::Angle::WrappedText:
            pObj->m_nTextRotation = keep.nAngle;
            break;
        }
    }
    m_mirrorKept.clear();
}

void CSurface::EndPrintJob(CDrawDoc* pDoc)
{
    ForEachSurfaceView(pDoc, [](CSurface* pView) {
        pView->EndMirrorPrinting();
        pView->m_flags &= ~WORD(SurfacePrinting);
        // A screen paint that met the job left the objects out.
        if (pView->m_flags & SurfacePrintSkipped) {
            pView->m_flags &= ~WORD(SurfacePrintSkipped);
            if (pView->m_hWnd != NULL)
                pView->Invalidate(TRUE);
        }
    });
}

// ---- The framework's printing hooks --------------------------------------------------------------

BOOL CSurface::OnPreparePrinting(CPrintInfo* pInfo)
{
    // A poster prints one sheet per tile; every other kind one sheet per
    // pass, with every surface on it or only the pass's own.
    CDrawDoc* pDoc = GetDocument();
    UINT nPages = 1;
    if (pDoc != NULL && dynamic_cast<CPosterDoc*>(pDoc) != NULL)
        nPages = static_cast<UINT>(pDoc->GetTileColumns() * pDoc->GetTileRows());
    pInfo->SetMaxPage(nPages);
    if (!DoPreparePrinting(pInfo))
        return FALSE;
    // That DC follows the application's settings, which keep the user's own
    // orientation; a design prints on a sheet turned its own way. Should the
    // design's DC not be made, the job keeps the application's.
    CPrintDialog* pPD = pInfo->m_pPD;
    if (pDoc != NULL && pPD != NULL) {
        if (const HDC hDC = pDoc->CreateOrientedPrinterDC(pPD->m_pd.hDevNames, pPD->m_pd.hDevMode)) {
            if (pPD->m_pd.hDC != NULL)
                ::DeleteDC(pPD->m_pd.hDC);
            pPD->m_pd.hDC = hDC;
        }
    }
    return TRUE;
}

void CSurface::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    CScrollView::OnBeginPrinting(pDC, pInfo);
    // The dialogs are answered and the printer DC made: the pass is no
    // longer refused, whatever becomes of the job.
    if (pInfo != NULL && !pInfo->m_bPreview)
        CPrintState::JobStarted();
    // The printer's metrics reach every open design.
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return;
    for (POSITION posTemplate = pApp->GetFirstDocTemplatePosition(); posTemplate != NULL;) {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(posTemplate);
        for (POSITION posDoc = pTemplate->GetFirstDocPosition(); posDoc != NULL;) {
            if (CDocument* pDoc = pTemplate->GetNextDoc(posDoc))
                pDoc->UpdateAllViews(NULL, HintPrinterMetrics, NULL);
        }
    }
}

void CSurface::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    CDrawDoc* pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    // The job ends at a failed page; nothing stays mirrored whatever the
    // loop does with it, and no further pass follows.
    const auto endJob = [&]() {
        EndPrintJob(pDoc);
        CPrintState::SetAborted();
        if (pInfo != NULL)
            pInfo->m_bContinuePrinting = FALSE;
    };
    g_bPrintError = FALSE;
    try {
        pDoc->DrawSurfaceTiles(pDC, pInfo);
    } catch (CException* e) {
        g_bPrintError = FALSE;
        endJob();
        e->ReportError();
        e->Delete();
        return;
    }
    if (g_bPrintError) {
        // The DC's state is unknown after this page: printing on would put
        // the next pages in the wrong places, mirrored or not at all.
        g_bPrintError = FALSE;
        endJob();
        CString strMessage;
        strMessage.Format(IDS_PRINT_PAGE_STATE_LOST, pInfo != NULL ? int(pInfo->m_nCurPage) : 1);
        AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION, 0);
    }
}

void CSurface::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    CScrollView::OnEndPrinting(pDC, pInfo);
    if (pInfo != NULL && !pInfo->m_bPreview && IsPrintJobFailed())
        CPrintState::SetAborted();
    CDrawDoc* pDoc = GetDocument();
    EndPrintJob(pDoc);
    if (pDoc != NULL)
        pDoc->UpdateAllViews(NULL, HintDocSettings, NULL);
}

// ---- Print commands -------------------------------------------------------------------------------

void CSurface::OnFilePrint()
{
    CWinApp* pApp = AfxGetApp();
    CPrintDialog dlg(FALSE, kPrintCommandFlags, this);
    if (pApp == NULL || !pApp->GetPrinterDeviceDefaults(&dlg.m_pd)) {
        AfxMessageBox(IDS_PRINT_NO_DEFAULT_PRINTER, MB_OK, 0);
        return;
    }
    if (CDesignerApp* pDesigner = GetDesignerApp()) {
        pDesigner->EndTextEdit(FALSE);
        pDesigner->PlaySound(kSoundPrint);
    }
    PrintInActiveSurface(GetDocument(), kPrintModeView);
}

void CSurface::PrintDocument(CDrawDoc* pDoc, int nPrintMode)
{
    if (pDoc == NULL)
        pDoc = GetDocument();
    if (pDoc == NULL)
        return;
    CPrintJobScope scope(this, pDoc, nPrintMode);
    const int nPasses = pDoc->GetPrintPassCount();
    pDoc->m_nRemainingPasses = nPasses > 1 ? nPasses - 1 : -1;
    PrintDesign();
    pDoc->UpdatePrinterMetrics();
    // A later pass that is refused or fails ends the job as the first would:
    // asking again for a side that cannot print would never end.
    while (CPrintState::PassPrinted() && pDoc->m_nRemainingPasses >= 1) {
        if (!ConfirmNextPass(this, pDoc))
            break;
        --pDoc->m_nRemainingPasses;
        PrintDesign();
    }
}

void CSurface::PrintDesign()
{
    CPrintState::BeginPass();
    try {
        CView::OnFilePrint();
    } catch (...) {
        CPrintState::SetAborted();
        throw;
    }
}

void CSurface::OnSurfacePrint()
{
    // Printing without the dialog still honours the design's passes.
    PrintDocument(NULL, kPrintModeView);
}

void CSurface::OnSurfacePrintPreview()
{
    CWinApp* pApp = AfxGetApp();
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    if (pApp == NULL || !pApp->GetPrinterDeviceDefaults(&pd)) {
        AfxMessageBox(IDS_PRINT_NO_DEFAULT_PRINTER, MB_OK, 0);
        return;
    }
    // The design says how many pages to show at once, whatever an earlier
    // preview left behind.
    if (CDrawDoc* pDoc = GetDocument())
        pApp->m_nNumPreviewPages = PreviewPagesOf(pDoc);
    CView::OnFilePrintPreview();
}
