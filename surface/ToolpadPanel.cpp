#include "surface/ToolpadPanel.h"

#include "app/TransparentBitmap.h"
#include "app/main/DesignerApp.h"
#include "controls/PaletteSelector.h"
#include "controls/PicButton.h"
#include "controls/PicStatic.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "surface/Surface.h"

IMPLEMENT_DYNAMIC(CToolPadPanel, CWnd)

namespace {

// The tool-pad picture shared by the palette and its panels.
CBitmap* g_pBackground = nullptr;

// The "How Do I?" button's place in every panel that has one.
const CRect kHowDoIRect(9, 8, 30, 35);

// The state of one selected object, by the order the tool pad tests in.
int StateOfOne(CDrawObj* pObj, BOOL bForPanelCommand, BOOL* pbBlockText)
{
    if (!bForPanelCommand && (pObj->m_wFlags & OBJ_FLAG_LOCKED) != 0 && !pObj->IsTextEditActive())
        return kToolpadHint;
    int nState;
    if (pObj->HasText()) {
        nState = kToolpadText;
        if (pbBlockText != nullptr)
            *pbBlockText = pObj->m_bBlockText;
    } else if (!pObj->IsCalendar()) {
        nState = pObj->HasPicture() ? kToolpadPicture : kToolpadShape;
    } else {
        nState = kToolpadCalendar;
        if (dynamic_cast<CDrawRect*>(pObj) != nullptr && pObj->m_bCellHit) {
            const int nKind = pObj->m_nCellKind;
            if (nKind == 1 || nKind == 2)
                nState = kToolpadDayCell;
            else if (nKind == 0)
                nState = kToolpadHourCell;
        }
    }
    if (!bForPanelCommand && pObj->IsOleObject())
        nState = kToolpadHint;
    return nState;
}

// Paints rectTarget of pDC with the tool-pad picture, its top-left corner
// at ptOrigin, or with the button face without a picture.
void PaintBackground(CDC* pDC, const CRect& rectTarget, CPoint ptOrigin)
{
    BITMAP bm{};
    const BOOL bPicture = g_pBackground != nullptr && g_pBackground->GetSafeHandle() != NULL
        && g_pBackground->GetBitmap(&bm) != 0;
    if (!bPicture) {
        pDC->FillSolidRect(&rectTarget, ::GetSysColor(COLOR_BTNFACE));
        return;
    }
    // Only the part being painted is copied.
    CRect rectPicture(ptOrigin, CSize(bm.bmWidth, bm.bmHeight));
    CRect rectClip;
    const int nClip = pDC->GetClipBox(&rectClip);
    if (nClip == NULLREGION)
        return;
    if (nClip != ERROR && !rectPicture.IntersectRect(&rectPicture, &rectClip))
        return;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC))
        return;
    CPaletteSelector palette(pDC, nullptr);
    CBitmap* pOld = memDC.SelectObject(g_pBackground);
    pDC->BitBlt(rectPicture.left, rectPicture.top, rectPicture.Width(), rectPicture.Height(), &memDC,
        rectPicture.left - ptOrigin.x, rectPicture.top - ptOrigin.y, SRCCOPY);
    memDC.SelectObject(pOld);
}

} // namespace

int ToolpadStateForSelection(CSurface* pView, BOOL bForPanelCommand, BOOL* pbBlockText)
{
    if (pbBlockText != nullptr)
        *pbBlockText = FALSE;
    if (pView == nullptr)
        return bForPanelCommand ? kToolpadNone : kToolpadHint;
    CObList& selection = pView->GetSelection();
    const INT_PTR nCount = selection.GetCount();
    if (nCount == 0)
        return bForPanelCommand ? kToolpadNone : kToolpadHint;
    if (nCount == 1) {
        auto* pObj = dynamic_cast<CDrawObj*>(selection.GetHead());
        return pObj != nullptr ? StateOfOne(pObj, bForPanelCommand, pbBlockText) : kToolpadHint;
    }
    if (!bForPanelCommand) {
        for (POSITION pos = selection.GetHeadPosition(); pos != nullptr;) {
            auto* pObj = dynamic_cast<CDrawObj*>(selection.GetNext(pos));
            if (pObj != nullptr && (pObj->m_wFlags & OBJ_FLAG_LOCKED) != 0)
                return kToolpadHint;
        }
    }
    return kToolpadArrange;
}

BOOL ToolPageFitsSelection(int nState)
{
    const int nNow = ToolpadStateForSelection(GetActiveSurface(), TRUE);
    return nNow != kToolpadNone && nNow == nState;
}

// ---- CToolPadPanel ---------------------------------------------------------------------------

CToolPadPanel::CToolPadPanel(HMODULE hResources, BOOL bHowDoI, UINT nHowDoIMenu)
    : m_hResources(hResources), m_bHowDoI(bHowDoI), m_nHowDoIMenu(nHowDoIMenu)
{
}

CToolPadPanel::~CToolPadPanel()
{
    for (INT_PTR i = 0; i < m_ownedControls.GetSize(); ++i)
        delete static_cast<CWnd*>(m_ownedControls[i]);
    m_ownedControls.RemoveAll();
}

void CToolPadPanel::SetBackgroundPicture(CBitmap* pPicture)
{
    g_pBackground = pPicture;
}

CBitmap* CToolPadPanel::GetBackgroundPicture()
{
    return g_pBackground;
}

void CToolPadPanel::DrawBackground(CWnd* pWnd, CDC* pDC)
{
    if (pWnd == nullptr || pDC == nullptr)
        return;
    CPoint origin(0, 0);
    if (CWnd* pParent = pWnd->GetParent(); pParent != nullptr)
        pWnd->MapWindowPoints(pParent, &origin, 1);
    DrawBackgroundAt(pWnd, pDC, CPoint(-origin.x, -origin.y));
}

void CToolPadPanel::DrawBackgroundAt(CWnd* pWnd, CDC* pDC, CPoint ptOrigin)
{
    if (pWnd == nullptr || pDC == nullptr)
        return;
    CRect client;
    pWnd->GetClientRect(&client);
    PaintBackground(pDC, client, ptOrigin);
}

BOOL CToolPadPanel::CreatePanel(CWnd* pParent, const CRect& rect, UINT nID, BOOL bVisible)
{
    const DWORD dwStyle = WS_CHILD | WS_CLIPCHILDREN | (bVisible ? WS_VISIBLE : 0);
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW), NULL, NULL);
    if (!CreateEx(0, lpszClass, "", dwStyle, rect, pParent, nID))
        return FALSE;
    if (m_bHowDoI) {
        m_pHowDoI = AddButton(kHowDoIButtonId, kHowDoIRect, kHowDoIButtonId, kHowDoIPressed, "How Do I?", FALSE);
        if (m_pHowDoI == nullptr)
            return FALSE;
    }
    return OnCreatePanel();
}

void CToolPadPanel::UpdateFromView(CSurface* pView)
{
    (void)pView;
}

CPicButton* CToolPadPanel::AddButton(UINT nID, const CRect& rect, UINT nNormal, UINT nPressed, LPCTSTR lpszTip,
    BOOL bTransparent)
{
    auto* pButton = new CPicButton;
    m_ownedControls.Add(pButton);
    if (!pButton->Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, this, nID))
        return nullptr;
    pButton->SetBitmaps(m_hResources, nNormal, nPressed, 0, nNormal, 0, bTransparent, 0,
        bTransparent ? kTransparentKey : kPanelFace);
    pButton->SetTipText(lpszTip);
    return pButton;
}

CWnd* CToolPadPanel::AddTitle(UINT nBitmap, const CRect& rect, UINT nID)
{
    auto* pTitle = new CPicStatic;
    m_ownedControls.Add(pTitle);
    if (!pTitle->Create("", WS_CHILD | WS_VISIBLE, rect, this, nID))
        return nullptr;
    if (HBITMAP hComposite = ComposeTitle(nBitmap, rect.TopLeft()))
        pTitle->SetDib(hComposite, NULL, CPicStatic::styleNone);
    else
        pTitle->SetPicture(m_hResources, nBitmap, CPicStatic::styleTransparent);
    return pTitle;
}

HBITMAP CToolPadPanel::ComposeTitle(UINT nBitmap, CPoint ptTitle)
{
    // Titles keep their place over the picture: laid over their piece of it
    // once, they are copied at every paint instead of being keyed out anew.
    if (m_hResources != NULL)
        return NULL;
    CBitmap title;
    if (!title.Attach(::LoadBitmap(AfxGetInstanceHandle(), MAKEINTRESOURCE(nBitmap))))
        return NULL;
    BITMAP bm{};
    if (title.GetBitmap(&bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return NULL;
    CClientDC screen(this);
    CDC memDC;
    CBitmap composite;
    if (!memDC.CreateCompatibleDC(&screen) || !composite.CreateCompatibleBitmap(&screen, bm.bmWidth, bm.bmHeight))
        return NULL;
    CPoint origin(0, 0);
    if (CWnd* pParent = GetParent(); pParent != nullptr)
        MapWindowPoints(pParent, &origin, 1);
    CBitmap* pOld = memDC.SelectObject(&composite);
    const CRect rectTitle(0, 0, bm.bmWidth, bm.bmHeight);
    PaintBackground(&memDC, rectTitle, CPoint(-origin.x - ptTitle.x, -origin.y - ptTitle.y));
    DrawTransparentBitmap(memDC.GetSafeHdc(), 0, 0, bm.bmWidth, bm.bmHeight, HBITMAP(title.GetSafeHandle()),
        rectTitle, kPanelFace);
    memDC.SelectObject(pOld);
    return HBITMAP(composite.Detach());
}

void CToolPadPanel::OnHowDoI()
{
    const UINT nMenu = GetHowDoIMenu();
    if (nMenu == 0 || m_pHowDoI == nullptr || m_pHowDoI->m_hWnd == NULL)
        return;
    CMenu menu;
    if (!menu.LoadMenu(nMenu))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (pPopup == nullptr)
        return;
    CRect rect;
    m_pHowDoI->GetWindowRect(&rect);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, rect.left, rect.bottom, AfxGetMainWnd());
}

BOOL CToolPadPanel::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kHowDoIButtonId && HIWORD(wParam) == BN_CLICKED && m_pHowDoI != nullptr) {
        OnHowDoI();
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CToolPadPanel::ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    const BOOL bPress = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN;
    if (bPress && IsSelectionBeingEdited())
        return;
    CWnd* pParent = GetParent();
    if (pParent == nullptr || pParent->m_hWnd == NULL)
        return;
    CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    MapWindowPoints(pParent, &point, 1);
    pParent->PostMessage(message, wParam, MAKELPARAM(point.x, point.y));
}

LRESULT CToolPadPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        CDC* pDC = CDC::FromHandle(HDC(wParam));
        DrawBackground(this, pDC);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        ForwardMouse(message, wParam, lParam);
        return 0;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CToolPadPanel::PostNcDestroy()
{
    // Panels are members or owned by their palette or dialog, never
    // deleted by their window.
}

void DestroyToolPadPanel(CToolPadPanel* pPanel)
{
    if (pPanel == nullptr)
        return;
    if (pPanel->m_hWnd != NULL)
        pPanel->DestroyWindow();
    delete pPanel;
}
