// CStatusBar: a control bar over the window system's status bar control.
// The bar keeps the panes (id, style, width, text) and hands the control
// the pane edges and texts; a disabled pane shows no text.

#include "platform/framework/ControlBar.h"

#include "platform/framework/Frame.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int MaxPanes = 256;
// Room around a pane's text: the control draws 3 pixels in from the left
// edge and 2 from the right, inside a one-pixel edge.
constexpr int PaneTextPad = 6;

// The update of one pane: Enable shows or blanks it, SetCheck pops it out,
// SetText replaces its text.
class CStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* pBar = static_cast<CStatusBar*>(m_pOther);
        UINT nOld = pBar->GetPaneStyle(static_cast<int>(m_nIndex));
        UINT nNew = bOn ? (nOld & ~SBPS_DISABLED) : (nOld | SBPS_DISABLED);
        if (nNew != nOld)
            pBar->SetPaneStyle(static_cast<int>(m_nIndex), nNew);
    }
    void SetCheck(int nCheck) override
    {
        auto* pBar = static_cast<CStatusBar*>(m_pOther);
        UINT nOld = pBar->GetPaneStyle(static_cast<int>(m_nIndex));
        UINT nNew = nCheck != 0 ? (nOld | SBPS_POPOUT) : (nOld & ~SBPS_POPOUT);
        if (nNew != nOld)
            pBar->SetPaneStyle(static_cast<int>(m_nIndex), nNew);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR lpszText) override
    {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
    }
};

HFONT StatusFont()
{
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

CStatusBar::CStatusBar()
{
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    if (pParentWnd == nullptr)
        return FALSE;
    InitCommonControls();
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | WS_CHILD | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER |
        CCS_NORESIZE | (dwCtrlStyle & 0xFFFF);
    CRect rect(0, 0, 0, 0);
    if (!CWnd::CreateEx(0, STATUSCLASSNAME, nullptr, dwWndStyle, rect, pParentWnd, nID))
        return FALSE;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(StatusFont()), FALSE);
    AttachToDockSite(pParentWnd);
    return TRUE;
}

int CStatusBar::TextWidth(const CString& text) const
{
    HDC hdc = ::GetDC(m_hWnd);
    if (hdc == NULL)
        return 0;
    HGDIOBJ old = ::SelectObject(hdc, StatusFont());
    SIZE size{0, 0};
    ::GetTextExtentPoint32(hdc, text, text.GetLength(), &size);
    ::SelectObject(hdc, old);
    ::ReleaseDC(m_hWnd, hdc);
    return size.cx;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || nIDCount > MaxPanes || (nIDCount > 0 && lpIDArray == nullptr))
        return FALSE;
    m_panes.assign(static_cast<size_t>(nIDCount), Pane{});
    BOOL bResult = TRUE;
    for (int i = 0; i < nIDCount; ++i) {
        Pane& pane = m_panes[static_cast<size_t>(i)];
        pane.nID = lpIDArray[i];
        if (pane.nID == ID_SEPARATOR) {
            // The prompt pane takes what the others leave.
            pane.nStyle = SBPS_STRETCH | SBPS_NOBORDERS;
            pane.cxText = 1;
            continue;
        }
        if (!pane.strText.LoadString(pane.nID))
            bResult = FALSE; // the pane stays, empty and narrow
        pane.cxText = TextWidth(pane.strText);
    }
    m_nCount = nIDCount;
    UpdateAllPanes(TRUE, TRUE);
    return bResult;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (m_panes[i].nID == nIDFind)
            return static_cast<int>(i);
    }
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return 0;
    return m_panes[static_cast<size_t>(nIndex)].nID;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    *lpRect = RECT{0, 0, 0, 0};
    if (m_hWnd == NULL || nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return;
    SendMessage(SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return CString();
    return m_panes[static_cast<size_t>(nIndex)].strText;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return FALSE;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    CString text(lpszNewText != nullptr ? lpszNewText : "");
    if (pane.strText == text)
        return TRUE;
    pane.strText = text;
    UpdatePane(nIndex);
    if (bUpdate && m_hWnd != NULL) {
        CRect rect;
        GetItemRect(nIndex, &rect);
        InvalidateRect(&rect, TRUE);
    }
    return TRUE;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    nID = 0;
    nStyle = 0;
    cxWidth = 0;
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return;
    const Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    nID = pane.nID;
    nStyle = pane.nStyle;
    cxWidth = pane.cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    pane.nID = nID;
    pane.nStyle = nStyle;
    pane.cxText = std::clamp(cxWidth, 0, 32767);
    UpdateAllPanes(TRUE, TRUE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return 0;
    return m_panes[static_cast<size_t>(nIndex)].nStyle;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    if (pane.nStyle == nStyle)
        return;
    BOOL bWidthChanged = ((pane.nStyle ^ nStyle) & SBPS_STRETCH) != 0;
    pane.nStyle = nStyle;
    if (bWidthChanged)
        UpdateAllPanes(TRUE, TRUE);
    else
        UpdatePane(nIndex);
}

void CStatusBar::UpdatePane(int nIndex)
{
    if (m_hWnd == NULL || nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return;
    const Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    UINT flags = pane.nStyle & (SBT_NOBORDERS | SBT_POPOUT);
    LPCTSTR text = (pane.nStyle & SBPS_DISABLED) ? "" : static_cast<LPCTSTR>(pane.strText);
    SendMessage(SB_SETTEXT, static_cast<WPARAM>(nIndex) | flags, reinterpret_cast<LPARAM>(text));
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (m_hWnd == NULL || m_panes.empty())
        return;
    if (bUpdateRects) {
        CRect client;
        GetClientRect(&client);
        int borders[3] = {0, 0, 0};
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        int nGap = borders[2];
        int nFixed = 0;
        for (const Pane& pane : m_panes) {
            if (!(pane.nStyle & SBPS_STRETCH))
                nFixed += pane.cxText + PaneTextPad;
        }
        nFixed += nGap * static_cast<int>(m_panes.size() - 1) + 2 * borders[0];
        int nStretch = std::max(0, static_cast<int>(client.Width()) - nFixed);
        std::vector<int> edges;
        edges.reserve(m_panes.size());
        int x = borders[0];
        BOOL bStretched = FALSE;
        for (const Pane& pane : m_panes) {
            int w = pane.cxText + PaneTextPad;
            if ((pane.nStyle & SBPS_STRETCH) && !bStretched) {
                w = std::max(w, nStretch);
                bStretched = TRUE;
            }
            x += w;
            edges.push_back(x);
            x += nGap;
        }
        SendMessage(SB_SETPARTS, static_cast<WPARAM>(edges.size()), reinterpret_cast<LPARAM>(edges.data()));
    }
    if (bUpdateText) {
        for (int i = 0; i < static_cast<int>(m_panes.size()); ++i)
            UpdatePane(i);
    }
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    int nHeight = 0;
    HDC hdc = ::GetDC(NULL);
    if (hdc != NULL) {
        HGDIOBJ old = ::SelectObject(hdc, StatusFont());
        TEXTMETRIC tm{};
        ::GetTextMetrics(hdc, &tm);
        ::SelectObject(hdc, old);
        ::ReleaseDC(NULL, hdc);
        // As the control measures itself: text, two borders of 2 and 4 more.
        nHeight = tm.tmHeight + 2 * 2 + 4;
    }
    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    if (bHorz)
        size.cy += nHeight;
    else
        size.cx += nHeight;
    return size;
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_panes.size());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        if (state.m_nIndex >= m_panes.size())
            return;
        state.m_nID = m_panes[state.m_nIndex].nID;
        if (state.m_nID == ID_SEPARATOR)
            continue;
        state.m_bEnableChanged = FALSE;
        state.m_bContinueRouting = FALSE;
        // Key indicators follow the keys unless the frame says otherwise.
        int vk = 0;
        switch (state.m_nID) {
        case ID_INDICATOR_CAPS: vk = VK_CAPITAL; break;
        case ID_INDICATOR_NUM: vk = VK_NUMLOCK; break;
        case ID_INDICATOR_SCRL: vk = VK_SCROLL; break;
        default: break;
        }
        if (vk != 0)
            state.Enable((::GetKeyState(vk) & 1) != 0);
        // Panes are never disabled for want of a handler.
        state.DoUpdate(pTarget, FALSE);
    }
}

LRESULT CStatusBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT: {
        // The window text is the prompt pane's text.
        int nIndex = CommandToIndex(ID_SEPARATOR);
        if (nIndex < 0)
            return -1;
        return SetPaneText(nIndex, reinterpret_cast<LPCTSTR>(lParam)) ? 0 : -1;
    }
    case WM_GETTEXT: {
        int nIndex = CommandToIndex(ID_SEPARATOR);
        CString text = nIndex >= 0 ? GetPaneText(nIndex) : CString();
        auto* buffer = reinterpret_cast<LPTSTR>(lParam);
        if (buffer == nullptr || wParam == 0)
            return 0;
        size_t n = std::min<size_t>(static_cast<size_t>(text.GetLength()), static_cast<size_t>(wParam) - 1);
        std::memcpy(buffer, static_cast<LPCTSTR>(text), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: {
        int nIndex = CommandToIndex(ID_SEPARATOR);
        return nIndex >= 0 ? GetPaneText(nIndex).GetLength() : 0;
    }
    case WM_SIZE: {
        LRESULT lResult = CControlBar::WindowProc(message, wParam, lParam);
        UpdateAllPanes(TRUE, FALSE);
        return lResult;
    }
    case WM_PAINT:
    case WM_ERASEBKGND:
        return DefWindowProc(message, wParam, lParam);
    default:
        break;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}
