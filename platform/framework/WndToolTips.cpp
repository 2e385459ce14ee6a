// CWnd's tool tips: EnableToolTips, and the filter that hit-tests mouse
// messages and relays them to a tool-tip control.

#include "platform/framework/Wnd.h"

#include "platform/ui/CommCtrl.h"

namespace {

// One tool tip at a time: the mouse is over one window.
struct ToolTipState {
    HWND hTip = NULL;
    HWND hOwner = NULL;
    INT_PTR lastHit = -1;
    TOOLINFOA lastInfo{};
};

ToolTipState& Tip()
{
    static ToolTipState state;
    return state;
}

bool IsMouseMessage(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return true;
    default:
        return false;
    }
}

void DropTip(ToolTipState& st)
{
    if (st.hTip != NULL && ::IsWindow(st.hTip))
        ::DestroyWindow(st.hTip);
    st = ToolTipState{};
}

} // namespace

BOOL CWnd::EnableToolTips(BOOL bEnable)
{
    BOOL bOld = (m_nFlags & WF_TOOLTIPS) != 0;
    if (bEnable) {
        m_nFlags |= WF_TOOLTIPS;
    } else {
        m_nFlags &= ~WF_TOOLTIPS;
        if (Tip().hOwner == m_hWnd)
            DropTip(Tip());
    }
    return bOld;
}

void CWnd::FilterToolTipMessage(MSG* pMsg)
{
    if (!IsMouseMessage(pMsg->message) || m_hWnd == NULL)
        return;
    ToolTipState& st = Tip();
    if (st.hTip == NULL || !::IsWindow(st.hTip) || st.hOwner != m_hWnd) {
        DropTip(st);
        ::InitCommonControls(); // the class exists from here on
        st.hTip = ::CreateWindowEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, m_hWnd, NULL,
            NULL, nullptr);
        if (st.hTip == NULL)
            return;
        st.hOwner = m_hWnd;
    }
    POINT pt = pMsg->pt;
    ::ScreenToClient(m_hWnd, &pt);
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    INT_PTR hit = OnToolHitTest(CPoint(pt), &ti);
    if (hit != st.lastHit) {
        if (st.lastHit != -1)
            ::SendMessage(st.hTip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&st.lastInfo));
        if (hit != -1) {
            if (ti.hwnd == NULL)
                ti.hwnd = m_hWnd;
            ::SendMessage(st.hTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
            st.lastInfo = ti;
        }
        st.lastHit = hit;
    }
    if (hit == -1)
        return;
    // The control relays in the coordinates of the window the tool names.
    MSG relay = *pMsg;
    relay.hwnd = (st.lastInfo.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(st.lastInfo.uId) : st.lastInfo.hwnd;
    POINT local = pMsg->pt;
    ::ScreenToClient(relay.hwnd, &local);
    relay.lParam = MAKELPARAM(local.x, local.y);
    ::SendMessage(st.hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
}
