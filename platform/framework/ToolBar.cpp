// CToolBar: a control bar whose window is the window system's toolbar
// control. The control draws and presses the buttons and keeps their
// states; the bar adds the frame around it (borders and gripper in the
// non-client area), turns clicks into commands of the owner frame, answers
// the control's tool tips from the commands' strings and lets the update
// handlers set the buttons at idle.

#include "platform/framework/ControlBar.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/framework/Frame.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int BorderWidth = 2;
constexpr int GripperWidth = 8;
constexpr int DefaultSeparatorWidth = 8;
// The control puts its buttons this far below its top and keeps as much
// below them.
constexpr int ControlPad = 2;
constexpr int MaxButtons = 1024;

TBBUTTON GetButton(HWND hWnd, int nIndex)
{
    TBBUTTON button{};
    ::SendMessage(hWnd, TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button));
    return button;
}

UINT StyleOf(const TBBUTTON& button)
{
    return MAKELONG(button.fsStyle, button.fsState) ^ TBBS_DISABLED;
}

} // namespace

// The update of one button: the handler's Enable and SetCheck become the
// button's state; text does not apply to buttons.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* pToolBar = static_cast<CToolBar*>(m_pOther);
        UINT nOldStyle = pToolBar->GetButtonStyle(static_cast<int>(m_nIndex));
        UINT nNewStyle = nOldStyle & ~TBBS_DISABLED;
        if (!bOn) {
            nNewStyle |= TBBS_DISABLED;
            // A disabled button cannot stay pressed.
            nNewStyle &= ~TBBS_PRESSED;
        }
        pToolBar->SetButtonStyle(static_cast<int>(m_nIndex), nNewStyle);
    }
    void SetCheck(int nCheck) override
    {
        auto* pToolBar = static_cast<CToolBar*>(m_pOther);
        UINT nOldStyle = pToolBar->GetButtonStyle(static_cast<int>(m_nIndex));
        UINT nNewStyle = nOldStyle & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            nNewStyle |= TBBS_CHECKED;
        else if (nCheck == 2)
            nNewStyle |= TBBS_INDETERMINATE;
        pToolBar->SetButtonStyle(static_cast<int>(m_nIndex), nNewStyle | TBBS_CHECKBOX);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR) override {}
};

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

CToolBar::CToolBar()
{
    m_cxLeftBorder = m_cxRightBorder = 1;
    m_cyTopBorder = m_cyBottomBorder = 1;
}

CToolBar::~CToolBar() = default;

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    if (pParentWnd == nullptr)
        return FALSE;
    InitCommonControls();
    SetBorders(rcBorders);
    m_dwStyle = dwStyle & CBRS_ALL;
    // The bar's own style bits share the low word with the control's, so
    // they stay out of the window style.
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | WS_CHILD | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER |
        CCS_NORESIZE | TBSTYLE_TOOLTIPS | (dwCtrlStyle & 0xFFFF);
    CRect rect(0, 0, 0, 0);
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAME, nullptr, dwWndStyle, rect, pParentWnd, nID))
        return FALSE;
    // Clicks and tip requests come back to the bar itself.
    SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd), 0);
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetSizes(m_sizeButton, m_sizeImage);
    AttachToDockSite(pParentWnd);
    SyncToolTips();
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    if (sizeImage.cx <= 0 || sizeImage.cy <= 0 || sizeButton.cx < sizeImage.cx || sizeButton.cy < sizeImage.cy)
        return;
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (m_hWnd == NULL)
        return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(sizeButton.cx, sizeButton.cy));
}

void CToolBar::SetHeight(int cyHeight)
{
    // The extra height goes into the borders above and below the buttons.
    int nExtra = std::max(0, cyHeight - static_cast<int>(m_sizeButton.cy) - 2 * ControlPad);
    m_cyTopBorder = nExtra / 2;
    m_cyBottomBorder = nExtra - m_cyTopBorder;
    if (m_hWnd != NULL)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName)
{
    if (m_hWnd == NULL || lpszResourceName == nullptr)
        return FALSE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    const platform::ToolbarTemplate* pTemplate = platform::FindToolbar(hInst, lpszResourceName);
    if (pTemplate == nullptr || pTemplate->count > MaxButtons || pTemplate->width == 0 || pTemplate->height == 0)
        return FALSE;
    if (pTemplate->count != 0 && pTemplate->items == nullptr)
        return FALSE;
    SetSizes(CSize(pTemplate->width + 7, pTemplate->height + 7), CSize(pTemplate->width, pTemplate->height));
    if (!LoadBitmap(lpszResourceName))
        return FALSE;
    std::vector<UINT> ids(pTemplate->items, pTemplate->items + pTemplate->count);
    return SetButtons(ids.empty() ? nullptr : ids.data(), static_cast<int>(ids.size()));
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName)
{
    if (m_hWnd == NULL || lpszResourceName == nullptr)
        return FALSE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    HBITMAP hbm = ::LoadBitmap(hInst, lpszResourceName);
    if (hbm == NULL)
        return FALSE;
    BITMAP bm{};
    ::GetObject(hbm, sizeof bm, &bm);
    TBADDBITMAP add{};
    add.hInst = NULL;
    add.nID = reinterpret_cast<UINT_PTR>(hbm);
    int nCount = m_sizeImage.cx > 0 ? static_cast<int>(bm.bmWidth / m_sizeImage.cx) : 0;
    int nFirst = static_cast<int>(SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(nCount), reinterpret_cast<LPARAM>(&add)));
    ::DeleteObject(hbm);
    if (nFirst < 0)
        return FALSE;
    // A second strip replaces the first as far as the buttons are concerned.
    int nOldBase = std::max(m_iImageBase, 0);
    m_iImageBase = nFirst;
    if (nFirst != nOldBase) {
        for (int i = 0; i < GetCount(); ++i) {
            TBBUTTON button = GetButton(m_hWnd, i);
            if (button.fsStyle & TBSTYLE_SEP)
                continue;
            TBBUTTONINFOA info{};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_BYINDEX | TBIF_IMAGE;
            info.iImage = button.iBitmap - nOldBase + nFirst;
            SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        }
    }
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    if (m_hWnd == NULL || nIDCount < 0 || nIDCount > MaxButtons)
        return FALSE;
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    std::vector<TBBUTTON> buttons(static_cast<size_t>(nIDCount));
    int iImage = std::max(m_iImageBase, 0);
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON& b = buttons[static_cast<size_t>(i)];
        b = TBBUTTON{};
        UINT nID = lpIDArray != nullptr ? lpIDArray[i] : 0;
        b.idCommand = static_cast<int>(nID);
        b.fsState = TBSTATE_ENABLED;
        if (nID == ID_SEPARATOR) {
            b.fsStyle = TBSTYLE_SEP;
            b.iBitmap = DefaultSeparatorWidth;
        } else {
            b.fsStyle = TBSTYLE_BUTTON;
            b.iBitmap = iImage++;
        }
    }
    if (nIDCount > 0 &&
        !SendMessage(TB_ADDBUTTONS, static_cast<WPARAM>(nIDCount), reinterpret_cast<LPARAM>(buttons.data())))
        return FALSE;
    m_nCount = nIDCount;
    SyncToolTips();
    return TRUE;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    if (m_hWnd == NULL)
        return -1;
    return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nIDFind));
}

UINT CToolBar::GetItemID(int nIndex) const
{
    if (m_hWnd == NULL || nIndex < 0 || nIndex >= GetCount())
        return 0;
    return static_cast<UINT>(GetButton(m_hWnd, nIndex).idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    *lpRect = RECT{0, 0, 0, 0};
    if (m_hWnd != NULL && nIndex >= 0 && nIndex < GetCount())
        SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    if (m_hWnd == NULL || nIndex < 0 || nIndex >= GetCount())
        return 0;
    return StyleOf(GetButton(m_hWnd, nIndex));
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    if (m_hWnd == NULL || nIndex < 0 || nIndex >= GetCount())
        return;
    TBBUTTON button = GetButton(m_hWnd, nIndex);
    if (StyleOf(button) == nStyle)
        return;
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE;
    info.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    info.fsState = static_cast<BYTE>(HIWORD(nStyle ^ TBBS_DISABLED));
    SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    nID = 0;
    nStyle = 0;
    iImage = 0;
    if (m_hWnd == NULL || nIndex < 0 || nIndex >= GetCount())
        return;
    TBBUTTON button = GetButton(m_hWnd, nIndex);
    nID = static_cast<UINT>(button.idCommand);
    nStyle = StyleOf(button);
    iImage = (button.fsStyle & TBSTYLE_SEP) ? button.iBitmap : button.iBitmap - std::max(m_iImageBase, 0);
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    if (m_hWnd == NULL || nIndex < 0 || nIndex >= GetCount())
        return;
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_STYLE | TBIF_STATE;
    info.idCommand = static_cast<int>(nID);
    info.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    info.fsState = static_cast<BYTE>(HIWORD(nStyle ^ TBBS_DISABLED));
    if (info.fsStyle & TBSTYLE_SEP) {
        // A separator's "image" is its width: the room for a hosted control.
        info.dwMask |= TBIF_SIZE;
        info.cx = static_cast<WORD>(std::clamp(iImage, 0, 0xFFFF));
    } else {
        info.dwMask |= TBIF_IMAGE;
        info.iImage = iImage + std::max(m_iImageBase, 0);
    }
    SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
    SyncToolTips();
}

// ---- Layout -------------------------------------------------------------------------------------

void CToolBar::NcBorders(CRect& rect) const
{
    BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || (m_dwStyle & CBRS_ALIGN_ANY) == 0;
    CalcInsideRect(rect, bHorz);
}

CSize CToolBar::CalcSize(BOOL bHorz) const
{
    int nLength = 0;
    int nThick = bHorz ? m_sizeButton.cy : m_sizeButton.cx;
    for (int i = 0; i < GetCount(); ++i) {
        TBBUTTON button = GetButton(m_hWnd, i);
        if (button.fsState & TBSTATE_HIDDEN)
            continue;
        if (button.fsStyle & TBSTYLE_SEP) {
            int w = button.iBitmap > 0 ? button.iBitmap : DefaultSeparatorWidth;
            // Across a column a hosted control does not fit; the gap does.
            nLength += bHorz ? w : DefaultSeparatorWidth;
        } else {
            nLength += bHorz ? m_sizeButton.cx : m_sizeButton.cy;
        }
    }
    nThick += 2 * ControlPad;
    return bHorz ? CSize(nLength, nThick) : CSize(nThick, nLength);
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CalcSize(bHorz);
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, bHorz);
    size.cx -= inside.Width();
    size.cy -= inside.Height();
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

CSize CToolBar::CalcDynamicLayout(int, DWORD nMode)
{
    BOOL bHorz = (nMode & LM_HORZ) != 0;
    // In a column every button ends a line of the control.
    if (m_hWnd != NULL && (nMode & (LM_HORZDOCK | LM_VERTDOCK | LM_COMMIT))) {
        for (int i = 0; i < GetCount(); ++i) {
            TBBUTTON button = GetButton(m_hWnd, i);
            BYTE state = bHorz ? static_cast<BYTE>(button.fsState & ~TBSTATE_WRAP)
                               : static_cast<BYTE>(button.fsState | TBSTATE_WRAP);
            if (state == button.fsState)
                continue;
            TBBUTTONINFOA info{};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_BYINDEX | TBIF_STATE;
            info.fsState = state;
            SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        }
    }
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, bHorz);
}

int CToolBar::HitTestCommand(CPoint point) const
{
    if (m_hWnd == NULL)
        return -1;
    for (int i = 0; i < GetCount(); ++i) {
        TBBUTTON button = GetButton(m_hWnd, i);
        if (button.fsState & TBSTATE_HIDDEN)
            continue;
        CRect rect;
        GetItemRect(i, &rect);
        if (!rect.PtInRect(point))
            continue;
        return (button.fsStyle & TBSTYLE_SEP) ? 0 : button.idCommand;
    }
    return -1;
}

// ---- Updates and tips ---------------------------------------------------------------------------

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        if (m_hWnd == NULL)
            return;
        TBBUTTON button = GetButton(m_hWnd, static_cast<int>(state.m_nIndex));
        if (button.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nID = static_cast<UINT>(button.idCommand);
        state.m_bEnableChanged = FALSE;
        state.m_bContinueRouting = FALSE;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
        // A button whose command has a handler that left it alone is usable:
        // one disabled while nothing handled it (before a design window
        // came up) is enabled again.
        if (bDisableIfNoHndler && !state.m_bEnableChanged)
            state.Enable(TRUE);
    }
    // Controls hosted in the bar (a combo box over a separator) update too.
    if (m_hWnd != NULL)
        UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

HWND CToolBar::ToolTipWindow() const
{
    return m_hWnd != NULL ? reinterpret_cast<HWND>(SendMessage(TB_GETTOOLTIPS)) : NULL;
}

void CToolBar::SyncToolTips()
{
    if (HWND hWndTip = ToolTipWindow())
        ::SendMessage(hWndTip, TTM_ACTIVATE, (m_dwStyle & CBRS_TOOLTIPS) ? TRUE : FALSE, 0);
}

void CToolBar::SetBarStyle(DWORD dwStyle)
{
    DWORD dwOld = m_dwStyle;
    CControlBar::SetBarStyle(dwStyle);
    SyncToolTips();
    if (m_hWnd != NULL && ((dwOld ^ m_dwStyle) & (CBRS_BORDER_ANY | CBRS_GRIPPER | CBRS_ALIGN_ANY)))
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CToolBar::PaintNonClient()
{
    HDC hdc = ::GetWindowDC(m_hWnd);
    if (hdc == NULL)
        return;
    CRect rectWindow;
    GetWindowRect(&rectWindow);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    CRect rectClient = rectWindow;
    NcBorders(rectClient);
    // Fill the frame around the client area only; the control paints the rest.
    HBRUSH hbr = ::GetSysColorBrush(COLOR_BTNFACE);
    RECT strips[4] = {
        {rectWindow.left, rectWindow.top, rectWindow.right, rectClient.top},
        {rectWindow.left, rectClient.bottom, rectWindow.right, rectWindow.bottom},
        {rectWindow.left, rectClient.top, rectClient.left, rectClient.bottom},
        {rectClient.right, rectClient.top, rectWindow.right, rectClient.bottom},
    };
    for (const RECT& r : strips) {
        if (r.right > r.left && r.bottom > r.top)
            ::FillRect(hdc, &r, hbr);
    }
    CDC* pDC = CDC::FromHandle(hdc);
    DrawBorders(pDC, rectWindow);
    DrawGripper(pDC, rectWindow);
    ::ReleaseDC(m_hWnd, hdc);
}

LRESULT CToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCALCSIZE: {
        // Both forms start with the window rectangle, which becomes the client's.
        auto* pRect = reinterpret_cast<RECT*>(lParam);
        if (pRect != nullptr) {
            CRect rect(*pRect);
            NcBorders(rect);
            if (rect.right < rect.left)
                rect.right = rect.left;
            if (rect.bottom < rect.top)
                rect.bottom = rect.top;
            *pRect = rect;
        }
        return 0;
    }
    case WM_NCPAINT:
        PaintNonClient();
        return 0;
    case WM_NCHITTEST:
        // The borders and the gripper are handles for dragging the bar.
        return HTCLIENT;
    case WM_PAINT:
    case WM_ERASEBKGND:
        return DefWindowProc(message, wParam, lParam);
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == m_hWnd) {
            // A button of ours was clicked: a command for the owner frame.
            CWnd* pOwner = CommandOwner();
            if (pOwner != nullptr && pOwner != this)
                pOwner->SendMessage(WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
            return 0;
        }
        break;
    case WM_NOTIFY: {
        auto* pHdr = reinterpret_cast<NMHDR*>(lParam);
        if (pHdr != nullptr && pHdr->hwndFrom == ToolTipWindow()) {
            // Tips are the second part of the command's string.
            if (pHdr->code == TTN_NEEDTEXT) {
                platform::FillToolTip(reinterpret_cast<NMTTDISPINFOA*>(lParam), static_cast<UINT>(pHdr->idFrom),
                    (m_dwStyle & CBRS_TOOLTIPS) != 0);
            }
            return 0;
        }
        if (pHdr != nullptr && pHdr->hwndFrom == m_hWnd)
            return 0; // our own hot-item notices
        break;
    }
    default:
        break;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}
