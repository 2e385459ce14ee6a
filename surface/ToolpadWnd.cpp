#include "surface/ToolpadWnd.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/main/AppMessages.h"
#include "app/main/DesignerApp.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "pictures/Image.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceNavPanel.h"
#include "surface/ToolpadPanels.h"
#include "text/dialogs/TextFormatPanel.h"

#include <initializer_list>
#include <utility>

IMPLEMENT_DYNAMIC(CToolpadWnd, CWnd)

namespace {

// Rows of the palette: the workspace panel, the context panels and the
// navigation panel's top; the text panel is a little narrower and longer.
constexpr int kWorkspaceBottom = 162;
constexpr int kContextTop = 160;
constexpr int kContextBottom = 312;
const CRect kTextPanelRect(0, 160, 126, 315);

// Menu 38's "&Hide".
constexpr UINT kHideCommand = ID_TOOLBAR_HIDE;

template <typename Panel>
Panel* MakePanel(CWnd* pParent, const CRect& rect, UINT nID, BOOL bVisible)
{
    auto* pPanel = new Panel;
    if (!pPanel->CreatePanel(pParent, rect, nID, bVisible)) {
        DestroyToolPadPanel(pPanel);
        return nullptr;
    }
    return pPanel;
}

// The first shown, enabled control of a panel, leaving out its "How Do I?"
// button and its title picture.
CWnd* FirstControlOf(CToolPadPanel* pPanel)
{
    if (pPanel == nullptr || pPanel->m_hWnd == NULL || !pPanel->IsWindowVisible())
        return nullptr;
    for (CWnd* pChild = pPanel->GetWindow(GW_CHILD); pChild != nullptr; pChild = pChild->GetWindow(GW_HWNDNEXT)) {
        const int nID = pChild->GetDlgCtrlID();
        if (nID == int(CToolPadPanel::kHowDoIButtonId) || nID == 0 || LOWORD(nID) == 0xFFFF)
            continue;
        if (pChild->IsWindowVisible() && pChild->IsWindowEnabled())
            return pChild;
    }
    return nullptr;
}

} // namespace

CToolpadWnd::CToolpadWnd() = default;

CToolpadWnd::~CToolpadWnd()
{
    DeletePanels();
    if (m_hWnd != NULL)
        DestroyWindow();
    // Another palette may have set its own picture since.
    if (CToolPadPanel::GetBackgroundPicture() == m_pPicture)
        CToolPadPanel::SetBackgroundPicture(nullptr);
    delete m_pPicture;
}

CString CToolpadWnd::GetPicturePath()
{
    return GetProgramPath("support\\toolpad.jpg");
}

void CToolpadWnd::LoadPicture()
{
    delete m_pPicture;
    m_pPicture = nullptr;
    // A picture that cannot be read leaves the image empty, without a box.
    CImage image(GetPicturePath(), CImage::kDefaultLoadMode);
    HBITMAP hBitmap = image.CreateDDB(nullptr, FALSE);
    if (hBitmap == NULL)
        return;
    m_pPicture = new CBitmap;
    m_pPicture->Attach(hBitmap);
    BITMAP bm{};
    if (m_pPicture->GetBitmap(&bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        delete m_pPicture;
        m_pPicture = nullptr;
    }
}

BOOL CToolpadWnd::HasPicture() const
{
    return m_pPicture != nullptr;
}

CSize CToolpadWnd::GetPictureSize() const
{
    BITMAP bm{};
    if (m_pPicture != nullptr && m_pPicture->GetBitmap(&bm) != 0)
        return CSize(bm.bmWidth, bm.bmHeight);
    return CSize(kPictureWidth, kPictureHeight);
}

CSize CToolpadWnd::GetSize() const
{
    const CSize picture = GetPictureSize();
    return CSize(picture.cx + 2 * ::GetSystemMetrics(SM_CXBORDER),
        picture.cy + 2 * ::GetSystemMetrics(SM_CYBORDER));
}

BOOL CToolpadWnd::Create(CWnd* pParent, CPoint ptTopLeft, UINT nID)
{
    LoadPicture();
    CToolPadPanel::SetBackgroundPicture(m_pPicture);
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW), NULL, NULL);
    const CRect rect(ptTopLeft, GetSize());
    if (!CreateEx(0, lpszClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN, rect, pParent, nID))
        return FALSE;
    if (!CreatePanels()) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

BOOL CToolpadWnd::CreatePanels()
{
    const CSize picture = GetPictureSize();
    const int cx = picture.cx;
    const CRect context(0, kContextTop, cx, kContextBottom);
    m_pWorkspace = MakePanel<CWorkspacePanel>(this, CRect(0, 0, cx, kWorkspaceBottom), IDW_TP_WORKSPACE_PANEL, TRUE);
    m_pPicturePanel = MakePanel<CPicturePanel>(this, context, IDW_TP_PICTURE_PANEL, FALSE);
    m_pHint = MakePanel<CHintPanel>(this, context, IDW_TP_HINT_PANEL, FALSE);
    m_pCalendar = MakePanel<CCalendarPanel>(this, context, IDW_TP_CALENDAR_PANEL, FALSE);
    m_pShape = MakePanel<CShapePanel>(this, context, IDW_TP_SHAPE_PANEL, FALSE);
    m_pArrange = MakePanel<CArrangePanel>(this, context, IDW_TP_ARRANGE_PANEL, FALSE);
    m_pDayCell = MakePanel<CDayCellPanel>(this, context, IDW_TP_DAY_CELL_PANEL, FALSE);
    m_pHourCell = MakePanel<CHourCellPanel>(this, context, IDW_TP_HOUR_CELL_PANEL, FALSE);
    m_pNavigation = CreateSurfaceNavPanel(this, CRect(0, kContextBottom, cx, picture.cy - 1),
        IDW_TP_NAVIGATION_PANEL, TRUE);
    return m_pWorkspace != nullptr && m_pPicturePanel != nullptr && m_pHint != nullptr && m_pCalendar != nullptr
        && m_pShape != nullptr && m_pArrange != nullptr && m_pDayCell != nullptr && m_pHourCell != nullptr
        && m_pNavigation != nullptr;
}

void CToolpadWnd::DeletePanels()
{
    CToolPadPanel* pWorkspace = std::exchange(m_pWorkspace, nullptr);
    CToolPadPanel* pShape = std::exchange(m_pShape, nullptr);
    DestroyToolPadPanel(pWorkspace);
    DestroyToolPadPanel(pShape);
    for (CToolPadPanel** ppPanel : {&m_pPicturePanel, &m_pHint, &m_pCalendar, &m_pArrange, &m_pDayCell, &m_pHourCell,
             &m_pNavigation, &m_pText})
        DestroyToolPadPanel(std::exchange(*ppPanel, nullptr));
    m_nState = kToolpadNone;
}

CToolPadPanel* CToolpadWnd::GetStatePanel(int nState) const
{
    switch (nState) {
    case kToolpadText:
        return m_pText;
    case kToolpadPicture:
        return m_pPicturePanel;
    case kToolpadCalendar:
        return m_pCalendar;
    case kToolpadShape:
        return m_pShape;
    case kToolpadArrange:
        return m_pArrange;
    case kToolpadHint:
        return m_pHint;
    case kToolpadDayCell:
        return m_pDayCell;
    case kToolpadHourCell:
        return m_pHourCell;
    default:
        return nullptr;
    }
}

// ---- Following the selection -----------------------------------------------------------------

void CToolpadWnd::LeaveState(int nState)
{
    // The next panel takes the same place: the old one goes without a
    // repaint of the palette under it, and only what the next one leaves
    // uncovered is repainted (UpdateForSelection).
    if (CToolPadPanel* pOld = GetStatePanel(nState); pOld != nullptr && pOld->m_hWnd != NULL) {
        pOld->GetWindowRect(&m_rectLeft);
        ScreenToClient(&m_rectLeft);
        pOld->SetWindowPos(nullptr, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    switch (nState) {
    case kToolpadText:
        if (m_pWorkspace != nullptr)
            m_pWorkspace->SwitchTextButtons(CWorkspacePanel::TextButtons::Insert);
        break;
    case kToolpadPicture:
        if (m_pWorkspace != nullptr)
            m_pWorkspace->SwitchPictureButtons(FALSE);
        static_cast<CPicturePanel*>(m_pPicturePanel)->ShowFirstButton();
        break;
    case kToolpadShape:
        m_pShape->ShowShapeButtons(TRUE);
        break;
    default:
        break;
    }
}

void CToolpadWnd::SwitchTextButtons(BOOL bBlockText)
{
    if (m_pWorkspace != nullptr)
        m_pWorkspace->SwitchTextButtons(bBlockText ? CWorkspacePanel::TextButtons::ChangeBlock
                                                   : CWorkspacePanel::TextButtons::ChangeWrapped);
}

void CToolpadWnd::EnterState(int nState, BOOL bBlockText)
{
    if (nState == kToolpadText && m_pText == nullptr)
        m_pText = CreateTextFormatPanel(this, kTextPanelRect);
    if (CToolPadPanel* pNew = GetStatePanel(nState); pNew != nullptr && pNew->m_hWnd != NULL)
        pNew->ShowWindow(SW_SHOW);
    m_nState = nState;
    if (nState == kToolpadText)
        SwitchTextButtons(bBlockText);
    else if (nState == kToolpadPicture && m_pWorkspace != nullptr)
        m_pWorkspace->SwitchPictureButtons(TRUE);
}

void CToolpadWnd::UpdateShapeButtons(CSurface* pView)
{
    CDrawObj* pObj = pView->GetSingleSelection();
    if (pObj == nullptr)
        return;
    CObjectAttributes attrs;
    pObj->GetAttributes(attrs);
    if (m_pShape->ShowShapeButtons(attrs.m_nShape != kLineShapeKind)) {
        CRect rect;
        m_pShape->GetWindowRect(&rect);
        ScreenToClient(&rect);
        InvalidateRect(&rect);
    }
}

void CToolpadWnd::UpdateForSelection()
{
    if (m_hWnd == NULL)
        return;
    CSurface* pView = GetActiveSurface();
    if (pView == nullptr)
        return;
    BOOL bBlockText = FALSE;
    const int nState = ToolpadStateForSelection(pView, FALSE, &bBlockText);
    if (nState != m_nState) {
        m_rectLeft.SetRectEmpty();
        LeaveState(m_nState);
        EnterState(nState, bBlockText);
        CRect rectNew;
        if (CToolPadPanel* pNew = GetStatePanel(nState); pNew != nullptr && pNew->m_hWnd != NULL) {
            pNew->GetWindowRect(&rectNew);
            ScreenToClient(&rectNew);
        }
        CRect rectBoth;
        rectBoth.UnionRect(&m_rectLeft, &rectNew);
        if (!m_rectLeft.IsRectEmpty() && rectBoth != rectNew)
            InvalidateRect(&m_rectLeft, TRUE);
    } else if (nState == kToolpadText) {
        // The same state with another text: its mode may differ.
        SwitchTextButtons(bBlockText);
    }
    if (m_nState == kToolpadText && m_pText != nullptr)
        m_pText->UpdateFromView(pView);
    if (m_nState == kToolpadShape)
        UpdateShapeButtons(pView);
    if (m_pNavigation != nullptr)
        m_pNavigation->UpdateFromView(pView);
}

CWnd* CToolpadWnd::GetFocusTarget() const
{
    if (CWnd* pControl = FirstControlOf(GetContextPanel()))
        return pControl;
    return FirstControlOf(m_pWorkspace);
}

// ---- Messages --------------------------------------------------------------------------------

void CToolpadWnd::GoToSurface(int nIndex)
{
    CSurface* pView = GetActiveSurface();
    CDrawDoc* pDoc = pView != nullptr ? pView->GetDocument() : nullptr;
    if (pDoc == nullptr)
        return;
    CDWordArray order;
    pDoc->AllocPageArray(order);
    const int nCount = static_cast<int>(order.GetSize());
    if (nCount <= 0)
        return;
    nIndex = nIndex < 0 ? 0 : (nIndex >= nCount ? nCount - 1 : nIndex);
    pDoc->SetCurrentSurface(static_cast<int>(order[nIndex]));
}

void CToolpadWnd::ShowContextMenu(CPoint ptScreen)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_TOOLBAR_POPUP))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    CWnd* pMain = AfxGetMainWnd();
    if (pMain == nullptr)
        return;
    // The toolbars' popup is one bare item; a menu without a popup is taken
    // as it is.
    HMENU hPopup = pPopup != nullptr ? pPopup->GetSafeHmenu() : menu.GetSafeHmenu();
    const UINT nChosen = UINT(::TrackPopupMenu(hPopup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
        ptScreen.x, ptScreen.y, 0, pMain->m_hWnd, nullptr));
    if (nChosen == kHideCommand)
        OnHide();
}

void CToolpadWnd::OnHide()
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain == nullptr)
        return;
    pMain->SendMessage(WM_TW_HIDE_TOOLPAD, 0, 0);
    // The choice outlives the run only when the bar really went.
    CWnd* pBar = GetParent();
    if (pBar != nullptr && pBar->m_hWnd != NULL && !pBar->IsWindowVisible()) {
        thePrefs.AddlFlags &= static_cast<WORD>(~PREF_ADDL_TOOL_PAD);
        thePrefs.SavePreferences();
    }
}

void CToolpadWnd::ForwardToBar(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsSelectionBeingEdited())
        return;
    CWnd* pBar = GetParent();
    if (pBar == nullptr || pBar->m_hWnd == NULL)
        return;
    CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    MapWindowPoints(pBar, &point, 1);
    pBar->PostMessage(message, wParam, MAKELPARAM(point.x, point.y));
}

BOOL CToolpadWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kHideCommand && lParam == 0) {
        OnHide();
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

LRESULT CToolpadWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        CToolPadPanel::DrawBackgroundAt(this, CDC::FromHandle(HDC(wParam)), CPoint(0, 0));
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ForwardToBar(message, wParam, lParam);
        return 0;
    case WM_RBUTTONUP: {
        CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        ClientToScreen(&point);
        ShowContextMenu(point);
        return 0;
    }
    case TPM_PREV_SURFACE:
        PostToolpadCommand(ID_VIEW_PREV_SURFACE);
        return 0;
    case TPM_NEXT_SURFACE:
        PostToolpadCommand(ID_VIEW_NEXT_SURFACE);
        return 0;
    case TPM_GOTO_SURFACE:
        GoToSurface(static_cast<int>(wParam));
        return 0;
    case WM_DESTROY:
        DeletePanels();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
