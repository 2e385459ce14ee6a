#include "model/DrawDoc.h"

#include "app/DcStateSaver.h"
#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainToolBars.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "model/SurfaceInfo.h"
#include "model/UndoRecording.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/Exception.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/Afx.h"
#include "platform/gdi/PrinterDc.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

CRect g_rectDrawClip;

namespace {

// Posted to the main window when a document opens or closes; its handler
// marks the application active.
constexpr UINT kCmdAppActivated = 32894;
// The Logo command, run again when a logo design closes.
constexpr UINT kCmdLogo = 33211;
// Setup-only print dialog flags used to find the default printer.
constexpr DWORD kPrintDefaultsFlags = 0x14000C;
// More surfaces than any product has; bounds a count that a kind computes.
constexpr int kMaxSurfaces = 64;
constexpr int kDefaultMargin = 25;

BOOL s_bPrinterUnavailable = FALSE;

void PostMainCommand(UINT nID)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != nullptr && pMain->GetSafeHwnd() != NULL)
        pMain->PostMessage(WM_COMMAND, nID, 0);
}

int ClampInt(LONG nValue, int nMin, int nMax)
{
    return static_cast<int>(std::clamp<LONG>(nValue, nMin, nMax));
}

// Logical rectangles have y growing upwards: top >= bottom once normalised.
CRect NormalizeLogical(CRect rect)
{
    if (rect.left > rect.right)
        std::swap(rect.left, rect.right);
    if (rect.top < rect.bottom)
        std::swap(rect.top, rect.bottom);
    return rect;
}

// Whether two normalised logical rectangles share any area.
BOOL LogicalRectsMeet(const CRect& a, const CRect& b)
{
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

BOOL IsAllZero(const CRect& rect)
{
    return rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
}

CRect PageRectOf(CSurface* pView)
{
    CRect rect(0, 0, 0, 0);
    if (pView != nullptr)
        pView->GetPageRect(&rect);
    return NormalizeLogical(rect);
}

// The DEVMODE of a global block, or null.
class DevModeLock {
public:
    explicit DevModeLock(HGLOBAL hDevMode) : m_hDevMode(hDevMode)
    {
        if (m_hDevMode != NULL)
            m_pDevMode = static_cast<DEVMODEA*>(::GlobalLock(m_hDevMode));
    }
    ~DevModeLock()
    {
        if (m_pDevMode != nullptr)
            ::GlobalUnlock(m_hDevMode);
    }
    DevModeLock(const DevModeLock&) = delete;
    DevModeLock& operator=(const DevModeLock&) = delete;
    DEVMODEA* Get() const { return m_pDevMode; }

private:
    HGLOBAL m_hDevMode = NULL;
    DEVMODEA* m_pDevMode = nullptr;
};

} // namespace

const DocQuickInfo& GetCurrentDocQuickInfo()
{
    if (CDesignerApp* pApp = GetDesignerApp())
        return pApp->GetDocQuickInfo();
    // Without the application (tools, tests) a document starts unset.
    static DocQuickInfo s_info = [] {
        DocQuickInfo info;
        InitDocQuickInfo(info);
        return info;
    }();
    return s_info;
}

IMPLEMENT_DYNCREATE(CDrawDoc, COleDocument)

BEGIN_MESSAGE_MAP(CDrawDoc, COleDocument)
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, OnUpdateEditRedo)
    ON_COMMAND(ID_VIEW_NEXT_SURFACE, OnNextSurface)
    ON_COMMAND(ID_VIEW_PREV_SURFACE, OnPrevSurface)
    ON_UPDATE_COMMAND_UI(ID_VIEW_NEXT_SURFACE, OnUpdateSurfaceStep)
    ON_UPDATE_COMMAND_UI(ID_VIEW_PREV_SURFACE, OnUpdateSurfaceStep)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SURFACE, OnUpdateSurfaceIndicator)
    ON_COMMAND(ID_EDIT_PAPER_COLOR, OnPaperColor)
    ON_COMMAND(ID_FILE_PAGE_SETUP, OnPageSetup)
    ON_UPDATE_COMMAND_UI(ID_FILE_PAGE_SETUP, OnUpdatePageSetup)
    ON_COMMAND(ID_FILE_RETURN_TO_ORIGINAL, OnRevert)
    ON_UPDATE_COMMAND_UI(ID_FILE_RETURN_TO_ORIGINAL, OnUpdateRevert)
    ON_COMMAND(ID_FILE_SAVE, OnSaveDesign)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, OnUpdateSaveDesign)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, OnUpdateSaveAs)
    ON_COMMAND(ID_FILE_SAVE_LOGO, OnSaveLogo)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_LOGO, OnUpdateSaveLogo)
    ON_COMMAND(ID_HELP_TIP_OF_DAY, OnTipOfTheDay)
    ON_COMMAND(ID_TOOLS_COLOR_INFO, OnColorInformation)
    ON_COMMAND(ID_FILE_UPLOAD_DESIGN, OnUploadDesign)
    ON_COMMAND(ID_TOOLS_SPELL_CHECK, OnSpellCheck)
    ON_COMMAND(ID_EDIT_REPLACE_TEXT, OnReplaceText)
END_MESSAGE_MAP()

CDrawDoc::CDrawDoc()
{
    EnableCompoundFile(TRUE);
    m_quickInfo = GetCurrentDocQuickInfo();

    // Value 8 is a switch: 0 shows the rulers.
    if (m_quickInfo[DocQuickInfo::Rulers] == 0)
        m_wDocFlags |= DOC_FLAG_RULERS;
    NormalizeQuickInfo(m_quickInfo);

    if (thePrefs.Flags & PREF_FLAG_GRID_LINES)
        m_wDocFlags |= DOC_FLAG_GRID_LINES;
    if (thePrefs.Flags & PREF_FLAG_DEFAULT_GRID)
        m_wDocFlags |= DOC_FLAG_FIXED_GRID;
    SetGridSpacing(thePrefs.GridSpacing);
    m_wDocFlags |= DOC_FLAG_0200;
    m_wDocFlags &= ~WORD(DOC_FLAG_0002);
    m_nFileVersion = 29;
    m_sizePage = CSize(m_quickInfo[DocQuickInfo::SheetWidth], m_quickInfo[DocQuickInfo::SheetHeight]);
}

CDrawDoc::~CDrawDoc()
{
    // The steps go before the surfaces: the records may still hold copies
    // of objects, never the objects themselves.
    m_undoList.Clear();
    while (!m_surfaces.IsEmpty())
        delete static_cast<CSurfaceInfo*>(m_surfaces.RemoveHead());
    delete m_pMergeSource;
    m_pMergeSource = nullptr;
    if (IsLogo())
        PostMainCommand(kCmdLogo);
}

// ---------------------------------------------------------------------------
// The framework's operations

void CDrawDoc::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU)
{
    COleDocument::SetPathName(lpszPathName, bAddToMRU && !(m_wDocFlags & DOC_FLAG_FOLDING));
}

BOOL CDrawDoc::IsModified()
{
    return COleDocument::IsModified();
}

void CDrawDoc::SetModifiedFlag(BOOL bModified)
{
    COleDocument::SetModifiedFlag((m_wDocFlags & DOC_FLAG_FOLDING) ? FALSE : bModified);
}

BOOL CDrawDoc::OnNewDocument()
{
    PostMainCommand(kCmdAppActivated);
    if (!COleDocument::OnNewDocument())
        return FALSE;
    // A new design counts in the units chosen in Preferences, whatever the
    // layout it was made from says; its layout's switch then says the same,
    // so that Page Setup keeps them.
    const BOOL bInches = (thePrefs.Flags & PREF_FLAG_INCHES) != 0;
    m_quickInfo[DocQuickInfo::Rulers] = bInches ? 1 : 0;
    if (bInches)
        m_wDocFlags &= ~WORD(DOC_FLAG_RULERS);
    else
        m_wDocFlags |= DOC_FLAG_RULERS;
    CreateSurfaceViews(GetSurfaceCount());
    SetDuplexFlag();
    return TRUE;
}

BOOL CDrawDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    PostMainCommand(kCmdAppActivated);
    CreateSurfaceViews(GetSurfaceCount());
    if (!CheckDesignFile(lpszPathName))
        return FALSE;
    // Reading a design is not an editing step; recording is on again on
    // every way out.
    const BOOL bWasOff = std::exchange(g_bUndoRecordingOff, TRUE);
    BOOL bOpened = FALSE;
    try {
        bOpened = COleDocument::OnOpenDocument(lpszPathName);
    } catch (...) {
        g_bUndoRecordingOff = bWasOff;
        throw;
    }
    g_bUndoRecordingOff = bWasOff;
    return bOpened;
}

BOOL CDrawDoc::OnSaveDocument(LPCTSTR lpszPathName)
{
    CWaitCursor wait;
    m_pSaveSourceRoot = m_lpRootStg;
    const BOOL bSaved = COleDocument::OnSaveDocument(lpszPathName);
    m_pSaveSourceRoot = nullptr;
    if (!bSaved)
        return FALSE;
    // The main window's client shows the saved design's state afresh.
    CWnd* pMain = AfxGetMainWnd();
    if (CWnd* pChild = pMain != nullptr ? pMain->GetWindow(GW_CHILD) : nullptr)
        pChild->RedrawWindow();
    UpdateTitle();
    return TRUE;
}

void CDrawDoc::OnCloseDocument()
{
    m_undoList.Clear();
    PostMainCommand(kCmdAppActivated);
    COleDocument::OnCloseDocument();
}

BOOL CDrawDoc::DoSave(LPCTSTR lpszPathName, BOOL bReplace)
{
    const BOOL bPredesigned = (m_wDocFlags & DOC_FLAG_PREDESIGNED) != 0;
    m_bSavedAsPredesigned = bPredesigned;
    if (!(thePrefs.AddlFlags & PREF_ADDL_SWITCH_I) && (bPredesigned || (m_wDocFlags & DOC_FLAG_SAVING_PREDESIGNED))) {
        m_wDocFlags &= ~WORD(DOC_FLAG_FOLDING);
        // A library design becomes the user's own under a new name.
        if (bPredesigned)
            lpszPathName = nullptr;
    }
    m_wDocFlags &= ~WORD(DOC_FLAG_PREDESIGNED);
    const BOOL bSaved = DoSaveBody(lpszPathName, bReplace);
    if (!bSaved && bPredesigned)
        m_wDocFlags |= DOC_FLAG_PREDESIGNED;
    return bSaved;
}

void CDrawDoc::OnNextSurface() { StepSurface(1); }
void CDrawDoc::OnPrevSurface() { StepSurface(-1); }

void CDrawDoc::OnUpdateSurfaceStep(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_surfaces.GetCount() >= 2);
}

void CDrawDoc::OnUpdateSurfaceIndicator(CCmdUI* pCmdUI)
{
    // The status bar names the side being shown (empty for a single page).
    pCmdUI->Enable(TRUE);
    pCmdUI->SetText(GetSurfaceName(GetCurrentSurfaceNumber()));
}

void CDrawDoc::StepSurface(int nStep)
{
    const int nCount = static_cast<int>(m_surfaces.GetCount());
    if (nCount < 2)
        return;
    // A text being typed belongs to the surface that is going away.
    if (CDesignerApp* pApp = GetDesignerApp())
        pApp->EndTextEdit(FALSE);
    // The shown surface's place in the list, found through its view.
    const CView* pShown = GetCurrentView();
    int nIndex = 0;
    for (int i = 0; i < nCount; ++i) {
        const CSurfaceInfo* pInfo = GetSurfaceInfo(i);
        if (pInfo != nullptr && pInfo->m_pView == pShown) {
            nIndex = i;
            break;
        }
    }
    m_nSurfaceCycle = ((m_nSurfaceCycle + nStep) % nCount + nCount) % nCount;
    SetCurrentSurface(((nIndex + nStep) % nCount + nCount) % nCount);
}

// ---------------------------------------------------------------------------
// The kinds' operations

void CDrawDoc::CreateSurfaces()
{
}

void CDrawDoc::OnFirstHook()
{
    OnBeforeLastHook();
}

void CDrawDoc::OnSecondHook()
{
    OnLastHook();
}

UINT CDrawDoc::GetKindResourceId()
{
    return 0;
}

int CDrawDoc::GetDocKind()
{
    return 6;
}

int CDrawDoc::GetSurfaceCount()
{
    return 0;
}

int CDrawDoc::GetPrintPageCount()
{
    return 1;
}

void CDrawDoc::CreatePageGuideLines()
{
    CreateTileGuideLines();
}

int CDrawDoc::GetSideCount()
{
    return 1;
}

void CDrawDoc::PreparePrintPage(int nSurface, PagePrintInfo& info, CRect& rectMargins)
{
    (void)nSurface;
    const CSize size = GetSurfaceSize(m_sizeCachedSurface);
    CPoint ptLayout(rectMargins.left, rectMargins.top);
    if (m_quickInfo[DocQuickInfo::Centre]) {
        const int cx = (LayoutSize(DocQuickInfo::SheetWidth) - LayoutSize(DocQuickInfo::CardWidth)) / 2;
        const int cy = (LayoutSize(DocQuickInfo::SheetHeight) - LayoutSize(DocQuickInfo::CardHeight)) / 2;
        ptLayout = CPoint(rectMargins.left - cx, rectMargins.top - cy);
        rectMargins.left = std::max(0, static_cast<int>(rectMargins.left) - cx);
        rectMargins.right = std::max(0, static_cast<int>(rectMargins.right) - cx);
        rectMargins.top = std::max(0, static_cast<int>(rectMargins.top) - cy);
        rectMargins.bottom = std::max(0, static_cast<int>(rectMargins.bottom) - cy);
    }
    info.ptOrigin = CPoint(size.cx / 2 - ptLayout.x, size.cy / 2 - ptLayout.y);
    info.rectPage = rectMargins;
    info.bFirstPage = info.nPage == 1;
}

CRect CDrawDoc::GetPageRectDP(CDC* pDC, const PagePrintInfo& info)
{
    const CSize printable = GetPrintableSize();
    CRect rect(0, 0, printable.cx, printable.cy);
    if (m_nPaperFeed != 0)
        rect.OffsetRect(info.ptFeedOffset);
    if (pDC == nullptr)
        return rect;
    const int nSaved = pDC->SaveDC();
    int dpiX = pDC->GetDeviceCaps(LOGPIXELSX);
    int dpiY = pDC->GetDeviceCaps(LOGPIXELSY);
    if (dpiX <= 0)
        dpiX = 100;
    if (dpiY <= 0)
        dpiY = 100;
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowOrg(0, 0);
    pDC->SetWindowExt(100, 100);
    pDC->SetViewportOrg(0, 0);
    pDC->SetViewportExt(dpiX, dpiY);
    pDC->LPtoDP(&rect);
    pDC->RestoreDC(nSaved);
    rect.NormalizeRect();
    return rect;
}

CSize CDrawDoc::GetSurfaceSize(CSize size)
{
    return size;
}

BOOL CDrawDoc::ApplyOrientation(DEVMODEA* pDevMode, short nOrientation)
{
    if (m_quickInfo[DocQuickInfo::Kind] == 6 || pDevMode == nullptr || !(pDevMode->dmFields & DM_ORIENTATION))
        return FALSE;
    short nWanted = nOrientation;
    if (nWanted == 0)
        nWanted = m_quickInfo[DocQuickInfo::Orientation] > 0 ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
    const BOOL bChanged = pDevMode->dmOrientation != nWanted;
    pDevMode->dmOrientation = nWanted;
    m_nPrinterOrientation = static_cast<WORD>(nWanted);
    return bChanged;
}

UINT CDrawDoc::GetSurfaceHintId()
{
    return 0;
}

void CDrawDoc::AllocPageArray(CDWordArray& order)
{
    const int nCount = std::clamp(GetSurfaceCount(), 1, kMaxSurfaces);
    order.SetSize(nCount);
    for (int i = 0; i < nCount; ++i)
        order[i] = static_cast<DWORD>(i);
}

void CDrawDoc::SetDuplexFlag()
{
    if (GetSideCount() == 2)
        m_wDocFlags |= DOC_FLAG_DUPLEX;
    else
        m_wDocFlags &= ~WORD(DOC_FLAG_DUPLEX);
}

void CDrawDoc::OnBeforeLastHook()
{
}

void CDrawDoc::OnLastHook()
{
}

int CDrawDoc::GetTwoSidedMethod()
{
    return 1;
}

// ---------------------------------------------------------------------------
// Surfaces

CView* CDrawDoc::GetCurrentView() const
{
    // The position is checked against the view list: a view closed since it
    // was stored must not be reached through a stale position.
    if (m_posCurrentView == nullptr)
        return nullptr;
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        POSITION posThis = pos;
        CView* pView = GetNextView(pos);
        if (posThis == m_posCurrentView)
            return pView;
    }
    return nullptr;
}

CSurfaceInfo* CDrawDoc::GetSurfaceInfo(int n) const
{
    if (n < 0 || n >= m_surfaces.GetCount())
        return nullptr;
    POSITION pos = m_surfaces.FindIndex(n);
    return pos != nullptr ? static_cast<CSurfaceInfo*>(m_surfaces.GetAt(pos)) : nullptr;
}

CSurface* CDrawDoc::LiveView(const CSurfaceInfo* pInfo) const
{
    // A record may outlive its view while a frame is being torn down: only a
    // view that is still one of the document's is handed out.
    if (pInfo == nullptr || pInfo->m_pView == nullptr || m_viewList.Find(pInfo->m_pView) == nullptr)
        return nullptr;
    return pInfo->m_pView;
}

CSurface* CDrawDoc::GetSurfaceView(int n) const
{
    if (n == -1)
        n = m_nCurrentSurface;
    return LiveView(GetSurfaceInfo(n));
}

int CDrawDoc::GetCurrentSurfaceIndex() const
{
    if (m_posCurrentView == nullptr)
        return -1;
    int nIndex = 0;
    POSITION pos = GetFirstViewPosition();
    while (pos != nullptr) {
        if (pos == m_posCurrentView)
            return nIndex;
        GetNextView(pos);
        ++nIndex;
    }
    return -1;
}

int CDrawDoc::GetCurrentSurfaceNumber() const
{
    CSurface* pView = dynamic_cast<CSurface*>(GetCurrentView());
    return pView != nullptr ? pView->GetSurfaceIndex() : -1;
}

void CDrawDoc::SetCurrentSurface(int n)
{
    if (n < 0 || n >= m_surfaces.GetCount())
        n = 0;
    // The number follows the choice so that "the current surface" (-1) means
    // the one shown.
    m_nCurrentSurface = n;

    CView* pOld = GetCurrentView();
    CSurfaceInfo* pInfo = GetSurfaceInfo(n);
    CView* pWanted = pInfo != nullptr ? pInfo->m_pView : nullptr;
    POSITION posNew = GetFirstViewPosition();
    for (POSITION pos = GetFirstViewPosition(); pos != nullptr && pWanted != nullptr;) {
        POSITION posThis = pos;
        if (GetNextView(pos) == pWanted) {
            posNew = posThis;
            break;
        }
    }
    m_posCurrentView = posNew;
    CView* pNew = GetCurrentView();

    if (pNew != nullptr && pOld != nullptr && pNew != pOld && pNew->GetSafeHwnd() != NULL &&
        pOld->GetSafeHwnd() != NULL) {
        CFrameWnd* pFrame = pNew->GetParentFrame();
        if (pFrame != nullptr)
            pFrame->LockWindowUpdate();
        // The shown view holds the frame's pane id, which the frame's layout
        // looks for.
        const int nOldId = pOld->GetDlgCtrlID();
        pOld->SetDlgCtrlID(pNew->GetDlgCtrlID());
        pNew->SetDlgCtrlID(nOldId);
        pOld->ShowWindow(SW_HIDE);
        pNew->ShowWindow(SW_SHOW);
        if (pFrame != nullptr) {
            pFrame->RecalcLayout();
            if (CSurfaceFrame* pSurfaceFrame = dynamic_cast<CSurfaceFrame*>(pFrame)) {
                pSurfaceFrame->ActivateView(pNew);
                pSurfaceFrame->UpdateRulers(TRUE);
            } else {
                pFrame->SetActiveView(pNew);
            }
        }
        if (CSurface* pSurface = dynamic_cast<CSurface*>(pNew))
            GatherStrayObjects(pSurface);
        if (pFrame != nullptr)
            pFrame->UnlockWindowUpdate();
    }
    UpdateAllViews(nullptr, HINT_ZOOM_OR_SURFACE);
}

void CDrawDoc::GatherStrayObjects(CSurface* pTarget)
{
    if (pTarget == nullptr)
        return;
    const BOOL bModified = IsModified();
    for (POSITION pos = m_surfaces.GetHeadPosition(); pos != nullptr;) {
        CSurface* pView = LiveView(static_cast<CSurfaceInfo*>(m_surfaces.GetNext(pos)));
        if (pView == nullptr || pView == pTarget)
            continue;
        const CRect area = PageRectOf(pView);
        if (IsAllZero(area))
            continue;
        std::vector<CDrawObj*> strays;
        const CObList& objects = pView->GetObjects();
        for (POSITION posObj = objects.GetHeadPosition(); posObj != nullptr;) {
            CDrawObj* pObj = static_cast<CDrawObj*>(objects.GetNext(posObj));
            // A point or a line along an axis has no area: never a stray.
            if (pObj != nullptr && pObj->HasArea() && !LogicalRectsMeet(area, pObj->GetNormalizedPosition()))
                strays.push_back(pObj);
        }
        CSurface::CAddBatch batch(pTarget);
        for (CDrawObj* pObj : strays) {
            pView->Remove(pObj);
            pTarget->Add(pObj);
        }
    }
    SetModifiedFlag(bModified);
}

BOOL CDrawDoc::AddObject(CDrawObj* pObj, CSurface* pView)
{
    if (pObj == nullptr)
        return FALSE;
    if (pView == nullptr)
        pView = dynamic_cast<CSurface*>(GetCurrentView());
    if (pView == nullptr)
        pView = GetSurfaceView(-1);
    if (pView == nullptr) {
        delete pObj;
        return FALSE;
    }
    pView->Add(pObj);
    return TRUE;
}

void CDrawDoc::ForEachSurfaceView(WORD wMask, const CString& strText)
{
    ForEachSurfaceView([&](CSurface* pView) { pView->UpdateObjectsByFields(wMask, strText); });
}

void CDrawDoc::ForEachSurfaceView(const std::function<void(CSurface*)>& fn)
{
    for (POSITION pos = m_surfaces.GetHeadPosition(); pos != nullptr;)
        if (CSurface* pView = LiveView(static_cast<CSurfaceInfo*>(m_surfaces.GetNext(pos))))
            fn(pView);
}

void CDrawDoc::CreateSurfaceViews(int nCount)
{
    while (!m_surfaces.IsEmpty())
        delete static_cast<CSurfaceInfo*>(m_surfaces.RemoveHead());
    nCount = std::clamp(nCount, 1, kMaxSurfaces);
    // The kinds name their surfaces before the surfaces exist.
    CreateSurfaces();

    POSITION posFirst = GetFirstViewPosition();
    POSITION pos = posFirst;
    CView* pFirst = pos != nullptr ? GetNextView(pos) : nullptr;
    CSurface* pFirstSurface = dynamic_cast<CSurface*>(pFirst);

    CSurfaceInfo* pInfo = new CSurfaceInfo(0);
    pInfo->m_pView = pFirstSurface;
    m_surfaces.AddTail(pInfo);

    CFrameWnd* pFrame = pFirst != nullptr ? pFirst->GetParentFrame() : nullptr;
    for (int i = 1; i < nCount; ++i) {
        pInfo = new CSurfaceInfo(i);
        m_surfaces.AddTail(pInfo);
        if (pFrame == nullptr || pFirstSurface == nullptr)
            continue;
        CCreateContext context;
        context.m_pNewViewClass = pFirst->GetRuntimeClass();
        context.m_pCurrentDoc = this;
        context.m_pCurrentFrame = pFrame;
        CSurface* pView = dynamic_cast<CSurface*>(pFirst->GetRuntimeClass()->CreateObject());
        if (pView == nullptr)
            continue;
        // A view whose window fails is deleted by its own window's end.
        if (!pView->Create(NULL, NULL, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), pFrame,
                SURFACE_VIEW_FIRST_ID + i, &context))
            continue;
        pView->ShowWindow(SW_HIDE);
        pInfo->m_pView = pView;
    }

    CreatePageGuideLines();
    m_posCurrentView = posFirst;
    UpdatePrinterMetrics();
    CreatePageGuideLines();
}

BOOL CDrawDoc::SetSurfaceNames(UINT nStringId)
{
    CString strNames;
    if (!strNames.LoadString(nStringId) || strNames.IsEmpty())
        return FALSE;
    const char chSeparator = strNames[0];
    for (int i = 0; i < strNames.GetLength(); ++i)
        if (strNames[i] == chSeparator)
            strNames.SetAt(i, '\0');
    m_strSurfaceNames = strNames;
    return TRUE;
}

CString CDrawDoc::GetSurfaceName(int n)
{
    if (n < 0 || n >= GetSurfaceCount() || m_strSurfaceNames.IsEmpty())
        return CString();
    // The list starts with a separator: name n lies after the (n+1)-th zero.
    const int nLength = m_strSurfaceNames.GetLength();
    const char* pNames = static_cast<LPCTSTR>(m_strSurfaceNames);
    int nStart = 0;
    for (int nZeros = 0; nZeros <= n; ++nStart) {
        if (nStart >= nLength)
            return CString();
        if (pNames[nStart] == '\0')
            ++nZeros;
    }
    int nEnd = nStart;
    while (nEnd < nLength && pNames[nEnd] != '\0')
        ++nEnd;
    return CString(pNames + nStart, nEnd - nStart);
}

// ---------------------------------------------------------------------------
// Printing

void CDrawDoc::DrawSurfaceTiles(CDC* pDC, CPrintInfo* pInfo)
{
    if (pDC == nullptr)
        return;
    // The page gives the DC back as it found it. On paper, a page whose
    // drawing lost the DC's saved states raises the print-error flag, so
    // that no further page is printed from a DC in an unknown state.
    CDCStateSaver saver(pDC);
    saver.SetErrorMark(pDC->IsPrinting());
    m_nSurfacePass = 0;
    const BOOL bTiled = (m_wDocFlags & DOC_FLAG_TILED) != 0;
    if (bTiled) {
        // The cards across and down follow the sheet the printer has now.
        CRect margins = m_rectMargins;
        ComputeLabelSheetLayout(margins);
    }
    const int nColumns = ClampInt(m_quickInfo[DocQuickInfo::CardsAcross], 1, LAYOUT_MAX_CARDS);
    const int nRows = ClampInt(m_quickInfo[DocQuickInfo::CardsDown], 1, LAYOUT_MAX_CARDS);
    const int nStepX = LayoutSize(DocQuickInfo::CardWidth) + LayoutOffset(DocQuickInfo::GapX);
    const int nStepY = LayoutSize(DocQuickInfo::CardHeight) + LayoutOffset(DocQuickInfo::GapY);
    const int nPassSurface = GetPrintPassSurface();

    int nIndex = -1;
    for (POSITION pos = m_surfaces.GetHeadPosition(); pos != nullptr;) {
        CSurfaceInfo* pSurface = static_cast<CSurfaceInfo*>(m_surfaces.GetNext(pos));
        if (++nIndex != nPassSurface && nPassSurface >= 0)
            continue;
        PagePrintInfo page;
        page.nPage = pInfo != nullptr ? pInfo->m_nCurPage : 1;
        const int nSign = pSurface->m_nAngle == 180 ? -1 : 1;
        if (bTiled) {
            for (int i = 0; i < nColumns * nRows; ++i) {
                const int nColumn = i % nColumns;
                const int nRow = i / nColumns;
                DrawSurfaceTile(pSurface, pDC, page, m_rectMargins, -nStepX * nColumn * nSign, nStepY * nRow * nSign);
            }
        } else {
            DrawSurfaceTile(pSurface, pDC, page, m_rectMargins, 0, 0);
        }
        ++m_nSurfacePass;
    }
}

int CDrawDoc::GetPrintPassCount() const
{
    const int nSurfaces = GetSurfaceInfoCount();
    return (m_wSecondFlags & PrintPauseBetweenSides) != 0 && nSurfaces >= 2 ? nSurfaces : 1;
}

int CDrawDoc::GetPrintPassSurface() const
{
    const int nPasses = GetPrintPassCount();
    if (nPasses < 2 || m_nRemainingPasses < 0)
        return -1;
    // The count says how many passes follow this one; a count beyond the
    // surfaces (set by hand, or the list shrank meanwhile) starts at the front.
    return nPasses - 1 - std::min(m_nRemainingPasses, nPasses - 1);
}

void CDrawDoc::DrawSurfaceTile(CSurfaceInfo* pSurface, CDC* pDC, PagePrintInfo& info, CRect rectMargins,
    int nOffsetX, int nOffsetY)
{
    if (pSurface == nullptr || pDC == nullptr)
        return;
    CSurface* pView = LiveView(pSurface);
    const BOOL bTurned = pSurface->m_nAngle == 180;

    // An upright surface draws with a negative height extent (y up), a
    // turned one with a positive height, which turns it by 180 degrees.
    const CSize ext = pDC->GetWindowExt();
    if ((!bTurned && ext.cy > 0) || (bTurned && ext.cy < 0))
        pDC->SetWindowExt(-ext.cx, -ext.cy);

    PreparePrintPage(pSurface->m_nNumber, info, rectMargins);
    // The printable area's corner shows the surface point the page's origin
    // names; a tile's offset moves the window origin by itself, which in
    // these mappings moves the surface right and down on the sheet.
    if (bTurned)
        pDC->SetWindowOrg(info.ptOrigin.x + nOffsetX, -info.ptOrigin.y + nOffsetY);
    else
        pDC->SetWindowOrg(-info.ptOrigin.x + nOffsetX, info.ptOrigin.y + nOffsetY);

    CRect area = PageRectOf(pView);
    if (info.bPageIsArea && !IsAllZero(area)) {
        // A poster tile: only what lies on this tile is printed with it.
        CRect tile = NormalizeLogical(info.rectPage);
        tile.OffsetRect(area.left, area.top);
        area = tile;
    } else if (!IsAllZero(area)) {
        CRect margins = info.rectPage.IsRectNull() ? rectMargins : info.rectPage;
        if (m_wDocFlags & DOC_FLAG_TILED) {
            // Between tiles there is no printer edge: only the sheet's outer
            // tiles keep their margins.
            const int nStepX = LayoutSize(DocQuickInfo::CardWidth) + LayoutOffset(DocQuickInfo::GapX);
            const int nStepY = LayoutSize(DocQuickInfo::CardHeight) + LayoutOffset(DocQuickInfo::GapY);
            const int nColumn = std::abs(nOffsetX) / nStepX;
            const int nRow = std::abs(nOffsetY) / nStepY;
            const int nLastColumn = ClampInt(m_quickInfo[DocQuickInfo::CardsAcross], 1, LAYOUT_MAX_CARDS) - 1;
            const int nLastRow = ClampInt(m_quickInfo[DocQuickInfo::CardsDown], 1, LAYOUT_MAX_CARDS) - 1;
            if (nRow != 0)
                margins.top = 0;
            if (nRow != nLastRow)
                margins.bottom = 0;
            if (nColumn != 0)
                margins.left = 0;
            if (nColumn != nLastColumn)
                margins.right = 0;
        }
        CRect inner(area.left + margins.left, area.top - margins.top, area.right - margins.right,
            area.bottom + margins.bottom);
        // A card smaller than the margins keeps its whole page rather than
        // losing every object.
        if (inner.left < inner.right && inner.bottom < inner.top)
            area = inner;
    }

    auto forEachObject = [pView](const std::function<void(CDrawObj*)>& fn) {
        if (pView == nullptr)
            return;
        const CObList& objects = pView->GetObjects();
        for (POSITION pos = objects.GetHeadPosition(); pos != nullptr;)
            if (CDrawObj* pObj = static_cast<CDrawObj*>(objects.GetNext(pos)))
                fn(pObj);
    };
    forEachObject([&area](CDrawObj* pObj) {
        if (!IsAllZero(area) && pObj->HasArea() && !LogicalRectsMeet(area, pObj->GetNormalizedPosition()))
            pObj->m_wFlags |= OBJ_FLAG_TILE_HIDDEN;
        else
            pObj->m_wFlags &= ~WORD(OBJ_FLAG_TILE_HIDDEN);
    });

    g_rectDrawClip = GetPageRectDP(pDC, info);
    if (pDC->IsPrinting()) {
        CRgn rgn;
        pDC->SelectClipRgn(nullptr);
        if (rgn.CreateRectRgnIndirect(&g_rectDrawClip))
            pDC->SelectClipRgn(&rgn);
    }
    // The tile marks and the clip belong to this page alone, also when its
    // drawing fails: a mark left behind would be stored with the design.
    auto endPage = [&forEachObject]() {
        g_rectDrawClip.SetRectEmpty();
        forEachObject([](CDrawObj* pObj) { pObj->m_wFlags &= ~WORD(OBJ_FLAG_TILE_HIDDEN); });
    };
    try {
        if (pView != nullptr)
            pView->OnDraw(pDC);
    } catch (...) {
        endPage();
        throw;
    }
    endPage();
}

void CDrawDoc::SetPrinterUnavailableForTests(BOOL bUnavailable)
{
    s_bPrinterUnavailable = bUnavailable;
}

HDC CDrawDoc::CreateOrientedPrinterDC(HGLOBAL hDevNames, HGLOBAL hDevMode)
{
    if (hDevNames == NULL)
        return NULL;
    // The orientation goes into a copy of the settings: the user's Print
    // Setup choice stays as it was made, whatever designs are open or print.
    HGLOBAL hCopy = NULL;
    const SIZE_T nSize = hDevMode != NULL ? ::GlobalSize(hDevMode) : 0;
    if (nSize > 0) {
        hCopy = ::GlobalAlloc(GMEM_MOVEABLE, nSize);
        BOOL bCopied = FALSE;
        if (hCopy != NULL) {
            DevModeLock from(hDevMode);
            DevModeLock to(hCopy);
            if (from.Get() != nullptr && to.Get() != nullptr) {
                std::memcpy(to.Get(), from.Get(), nSize);
                // A block too short to hold the orientation is used as it is.
                if (nSize >= offsetof(DEVMODEA, dmOrientation) + sizeof(short))
                    ApplyOrientation(to.Get());
                bCopied = TRUE;
            }
        }
        if (!bCopied) {
            if (hCopy != NULL)
                ::GlobalFree(hCopy);
            return NULL;
        }
    }
    const HDC hDC = ::AfxCreateDC(hDevNames, hCopy);
    if (hCopy != NULL)
        ::GlobalFree(hCopy);
    return hDC;
}

void CDrawDoc::UpdatePrinterMetrics()
{
    UpdatePrinterMetrics(CSize(LayoutSize(DocQuickInfo::CardWidth), LayoutSize(DocQuickInfo::CardHeight)));
}

void CDrawDoc::UpdatePrinterMetrics(CSize sizeSurface)
{
    BOOL bMeasured = FALSE;
    if (!s_bPrinterUnavailable) {
        CPrintDialog dlg(TRUE, kPrintDefaultsFlags);
        CWinApp* pApp = AfxGetApp();
        BOOL bOwnBlocks = FALSE;
        BOOL bHave = pApp != nullptr && pApp->GetPrinterDeviceDefaults(&dlg.m_pd);
        if (!bHave) {
            bHave = dlg.GetDefaults();
            bOwnBlocks = bHave;
        }
        const HDC hDC = bHave ? CreateOrientedPrinterDC(dlg.m_pd.hDevNames, dlg.m_pd.hDevMode) : NULL;
        if (bOwnBlocks) {
            if (dlg.m_pd.hDevMode != NULL)
                ::GlobalFree(dlg.m_pd.hDevMode);
            if (dlg.m_pd.hDevNames != NULL)
                ::GlobalFree(dlg.m_pd.hDevNames);
        }
        dlg.m_pd.hDevMode = NULL;
        dlg.m_pd.hDevNames = NULL;
        if (hDC != NULL) {
            const int dpiX = ::GetDeviceCaps(hDC, LOGPIXELSX);
            const int dpiY = ::GetDeviceCaps(hDC, LOGPIXELSY);
            if (dpiX > 0 && dpiY > 0) {
                const int nWidth = MulDiv(::GetDeviceCaps(hDC, PHYSICALWIDTH), 100, dpiX);
                const int nHeight = MulDiv(::GetDeviceCaps(hDC, PHYSICALHEIGHT), 100, dpiY);
                const int nLeft = MulDiv(::GetDeviceCaps(hDC, PHYSICALOFFSETX), 100, dpiX);
                const int nTop = MulDiv(::GetDeviceCaps(hDC, PHYSICALOFFSETY), 100, dpiY);
                const int nRight = nWidth - nLeft - MulDiv(::GetDeviceCaps(hDC, HORZRES), 100, dpiX);
                const int nBottom = nHeight - nTop - MulDiv(::GetDeviceCaps(hDC, VERTRES), 100, dpiY);
                if (nWidth > 0 && nHeight > 0) {
                    m_sizePage = CSize(nWidth, nHeight);
                    m_rectMargins = CRect(nLeft, nTop, nRight, nBottom);
                    bMeasured = TRUE;
                }
            }
            ::DeleteDC(hDC);
        }
    }
    if (!bMeasured) {
        m_rectMargins = CRect(kDefaultMargin, kDefaultMargin, kDefaultMargin, kDefaultMargin);
        // Without a printer the design's own sheet stands for the page.
        m_sizePage = CSize(LayoutSize(DocQuickInfo::SheetWidth), LayoutSize(DocQuickInfo::SheetHeight));
    }

    const CSize size = GetSurfaceSize(sizeSurface);
    if (size != m_sizeCachedSurface) {
        m_sizeCachedSurface = size;
        ForEachSurfaceView([size](CSurface* pView) { pView->SetPageSize(size.cx, size.cy); });
    }
}

CSize CDrawDoc::GetPrintableSize() const
{
    CSize sheet = m_sizePage;
    if (sheet.cx <= 0 || sheet.cy <= 0)
        sheet = CSize(LayoutSize(DocQuickInfo::SheetWidth), LayoutSize(DocQuickInfo::SheetHeight));
    return CSize(std::max(0, static_cast<int>(sheet.cx - m_rectMargins.left - m_rectMargins.right)),
        std::max(0, static_cast<int>(sheet.cy - m_rectMargins.top - m_rectMargins.bottom)));
}

// ---------------------------------------------------------------------------
// Settings

void CDrawDoc::SetZoom(int nZoom)
{
    const WORD nNew = nZoom == ZOOM_FIT ? WORD(ZOOM_FIT) : static_cast<WORD>(std::clamp(nZoom, ZOOM_MIN, ZOOM_MAX));
    if (nNew == m_nZoom)
        return;
    m_nZoom = nNew;
    m_sizeCachedSurface = CSize(0, 0);
    UpdatePrinterMetrics();
    UpdateAllViews(nullptr, HINT_ZOOM_OR_SURFACE);
    UpdateZoomCombo(m_nZoom, m_nZoom == ZOOM_FIT);
}

void CDrawDoc::SetGridSpacing(int nSpacing)
{
    // The absolute value of the most negative int does not exist.
    const long long nAbs = std::llabs(static_cast<long long>(nSpacing));
    int nValue = static_cast<int>(std::min<long long>(nAbs, INT_MAX));
    if (nValue == 0 && !(m_wDocFlags & DOC_FLAG_FIXED_GRID))
        nValue = (thePrefs.Flags & PREF_FLAG_INCHES) ? 500 : 393;
    m_nGridSpacing = nValue;
}

void CDrawDoc::SetPaperColor(COLORREF cr)
{
    if (cr == m_crPaper)
        return;
    m_crPaper = cr;
    UpdateAllViews(nullptr, HINT_PAPER_COLOR);
}

void CDrawDoc::SetQuickInfo(const DocQuickInfo& info)
{
    // The label values keep the way this document laid them: a record that
    // went through Page Setup comes back as the document gave it out.
    m_quickInfo = info;
    NormalizeQuickInfo(m_quickInfo);
}

void CDrawDoc::NormalizeQuickInfo(DocQuickInfo& info)
{
    info[DocQuickInfo::Rulers] = info[DocQuickInfo::Rulers] != 0 ? 1 : 0;
    info[DocQuickInfo::Centre] = info[DocQuickInfo::Centre] != 0 ? 1 : 0;
    info[DocQuickInfo::Tiled] = info[DocQuickInfo::Tiled] != 0 ? 1 : 0;

    const BOOL bPortrait = info[DocQuickInfo::Orientation] > 0;
    LONG& nSheetWidth = info[DocQuickInfo::SheetWidth];
    LONG& nSheetHeight = info[DocQuickInfo::SheetHeight];
    if (nSheetWidth <= 0)
        nSheetWidth = bPortrait ? LETTER_WIDTH : LETTER_HEIGHT;
    if (nSheetHeight <= 0)
        nSheetHeight = bPortrait ? LETTER_HEIGHT : LETTER_WIDTH;
    nSheetWidth = ClampInt(nSheetWidth, 1, LAYOUT_MAX_SIZE);
    nSheetHeight = ClampInt(nSheetHeight, 1, LAYOUT_MAX_SIZE);

    // A card without a size covers the sheet.
    LONG& nCardWidth = info[DocQuickInfo::CardWidth];
    LONG& nCardHeight = info[DocQuickInfo::CardHeight];
    if (nCardWidth <= 0)
        nCardWidth = nSheetWidth;
    if (nCardHeight <= 0)
        nCardHeight = nSheetHeight;
    nCardWidth = ClampInt(nCardWidth, 1, LAYOUT_MAX_SIZE);
    nCardHeight = ClampInt(nCardHeight, 1, LAYOUT_MAX_SIZE);

    info[DocQuickInfo::TilesAcross] = ClampInt(info[DocQuickInfo::TilesAcross], 1, LAYOUT_MAX_TILES);
    info[DocQuickInfo::TilesDown] = ClampInt(info[DocQuickInfo::TilesDown], 1, LAYOUT_MAX_TILES);
    info[DocQuickInfo::CardsAcross] = ClampInt(info[DocQuickInfo::CardsAcross], 1, LAYOUT_MAX_CARDS);
    info[DocQuickInfo::CardsDown] = ClampInt(info[DocQuickInfo::CardsDown], 1, LAYOUT_MAX_CARDS);
    // Offsets and gaps keep -1 (unset); anything else stays on the sheet.
    for (int nIndex : {int(DocQuickInfo::OffsetX), int(DocQuickInfo::OffsetY), int(DocQuickInfo::GapX),
             int(DocQuickInfo::GapY)})
        if (info[nIndex] != -1)
            info[nIndex] = ClampInt(info[nIndex], 0, LAYOUT_MAX_SIZE);
}

int CDrawDoc::LayoutSize(int nIndex) const
{
    return ClampInt(m_quickInfo[nIndex], 1, LAYOUT_MAX_SIZE);
}

int CDrawDoc::LayoutOffset(int nIndex) const
{
    return ClampInt(m_quickInfo[nIndex], 0, LAYOUT_MAX_SIZE);
}

int CDrawDoc::GetTileColumns() const
{
    return ClampInt(m_quickInfo[DocQuickInfo::TilesAcross], 1, LAYOUT_MAX_TILES);
}

int CDrawDoc::GetTileRows() const
{
    return ClampInt(m_quickInfo[DocQuickInfo::TilesDown], 1, LAYOUT_MAX_TILES);
}

void CDrawDoc::UpdateTitle()
{
    CString strTitle = GetTitle();
    const int nSuffix = m_strTitleSuffix.GetLength();
    if (nSuffix > 0 && strTitle.GetLength() >= nSuffix && strTitle.Right(nSuffix) == m_strTitleSuffix)
        strTitle = strTitle.Left(strTitle.GetLength() - nSuffix);

    CString strSuffix;
    if (m_wDocFlags & DOC_FLAG_FOLDING)
        strSuffix += " <folding instructions>";
    else if (m_wDocFlags & DOC_FLAG_PREDESIGNED)
        strSuffix += " <predesigned>";
    if (!m_strDesignText.IsEmpty())
        strSuffix += " (" + m_strDesignText + ")";
    m_strTitleSuffix = strSuffix;
    SetTitle(strTitle + strSuffix);
}

BOOL CDrawDoc::IsLogo() const
{
    return GetTitle().Left(6) == "(Logo)";
}

CPoint CDrawDoc::ComputeLabelSheetLayout(CRect& rectMargins)
{
    const int nSheetWidth = LayoutSize(DocQuickInfo::SheetWidth);
    const int nSheetHeight = LayoutSize(DocQuickInfo::SheetHeight);
    const int nCardWidth = LayoutSize(DocQuickInfo::CardWidth);
    const int nCardHeight = LayoutSize(DocQuickInfo::CardHeight);

    int nAcross = nCardWidth > 0 ? (nSheetWidth - rectMargins.left - rectMargins.right) / nCardWidth : 1;
    int nDown = nCardHeight > 0 ? (nSheetHeight - rectMargins.top - rectMargins.bottom) / nCardHeight : 1;
    nAcross = std::clamp(nAcross, 1, LAYOUT_MAX_CARDS);
    nDown = std::clamp(nDown, 1, LAYOUT_MAX_CARDS);
    m_quickInfo[DocQuickInfo::CardsAcross] = nAcross;
    m_quickInfo[DocQuickInfo::CardsDown] = nDown;

    if (!m_quickInfo[DocQuickInfo::Centre])
        return CPoint(rectMargins.left, rectMargins.top);
    const int cx = (nSheetWidth - nCardWidth * nAcross) / 2;
    const int cy = (nSheetHeight - nCardHeight * nDown) / 2;
    const CPoint ptOrigin(rectMargins.left - cx, rectMargins.top - cy);
    rectMargins.left = std::max(0, static_cast<int>(rectMargins.left) - cx);
    rectMargins.right = std::max(0, static_cast<int>(rectMargins.right) - cx);
    rectMargins.top = std::max(0, static_cast<int>(rectMargins.top) - cy);
    rectMargins.bottom = std::max(0, static_cast<int>(rectMargins.bottom) - cy);
    return ptOrigin;
}

void CDrawDoc::CreateTileGuideLines()
{
    CSurface* pFirst = GetSurfaceView(0);
    if (pFirst == nullptr)
        return;
    const BOOL bModified = IsModified();
    pFirst->DeleteFixedObjects();

    const int nColumns = GetTileColumns();
    const int nRows = GetTileRows();
    const int nStepX = LayoutSize(DocQuickInfo::SheetWidth) - m_rectMargins.left - m_rectMargins.right;
    const int nStepY = LayoutSize(DocQuickInfo::SheetHeight) - m_rectMargins.top - m_rectMargins.bottom;
    const CRect page = PageRectOf(pFirst);
    auto addLine = [this, pFirst](const CRect& rect) {
        CDrawRect* pLine = new CDrawRect(rect, SHAPE_LINE);
        pLine->m_wFlags |= OBJ_FLAG_UNSELECTABLE | OBJ_FLAG_BACK_LAYER | OBJ_FLAG_GUIDE;
        pLine->m_pDocument = this;
        pFirst->Add(pLine);
    };
    if (nColumns >= 2 && nStepX > 0)
        for (int i = 1; i < nColumns; ++i) {
            const int x = page.left + m_rectMargins.left + nStepX * i;
            addLine(CRect(x, page.top, x, page.bottom));
        }
    if (nRows >= 2 && nStepY > 0)
        for (int i = 1; i < nRows; ++i) {
            const int y = page.top - m_rectMargins.top - nStepY * i;
            addLine(CRect(page.left, y, page.right, y));
        }
    SetModifiedFlag(bModified);
}
