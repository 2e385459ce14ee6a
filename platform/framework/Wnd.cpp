// CWnd: handle maps, creation through the CBT hook, subclassing and the
// dispatch of messages through the message maps.

#include "platform/framework/Wnd.h"

#include "platform/base/Exception.h"
#include "platform/base/Resources.h"
#include "platform/framework/WinApp.h"
#include "platform/framework/WndInternal.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Hooks.h"

#include <memory>
#include <unordered_map>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {

struct WindowState {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
    MSG lastSent{};
    int dispatchDepth = 0;
    // The object the next created window is attached to.
    CWnd* pWndInit = nullptr;
    HHOOK hHook = NULL;
    int hookDepth = 0;
};

WindowState& State()
{
    static WindowState state;
    return state;
}

// Keeps the current message and the dispatch depth right even when a
// handler throws.
class DispatchScope {
public:
    DispatchScope(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
        : m_saved(State().lastSent)
    {
        WindowState& st = State();
        st.lastSent = MSG{};
        st.lastSent.hwnd = hWnd;
        st.lastSent.message = nMsg;
        st.lastSent.wParam = wParam;
        st.lastSent.lParam = lParam;
        ++st.dispatchDepth;
    }
    ~DispatchScope()
    {
        WindowState& st = State();
        --st.dispatchDepth;
        st.lastSent = m_saved;
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

private:
    MSG m_saved;
};

LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    WindowState& st = State();
    if (code == HCBT_CREATEWND && st.pWndInit != nullptr) {
        CWnd* pWnd = st.pWndInit;
        st.pWndInit = nullptr;
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (pWnd->Attach(hWnd)) {
            pWnd->PreSubclassWindow();
            auto oldProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtr(hWnd, GWLP_WNDPROC, LONG_PTR(&AfxWndProc)));
            if (oldProc != &AfxWndProc)
                pWnd->m_pfnSuper = oldProc;
        }
    }
    return ::CallNextHookEx(st.hHook, code, wParam, lParam);
}

} // namespace

namespace platform {

int FrameworkDispatchDepth()
{
    return State().dispatchDepth;
}

size_t FrameworkTemporaryWindowCount()
{
    return State().temporary.size();
}

void ResetFrameworkWindowState()
{
    WindowState& st = State();
    for (auto& [hWnd, pWnd] : st.temporary)
        pWnd->m_hWnd = NULL;
    st.temporary.clear();
    // Permanent objects belong to their owners (some may be gone): they
    // are only forgotten. Their handles are stale and match nothing.
    st.permanent.clear();
    st.pWndInit = nullptr;
    if (st.hHook != NULL)
        ::UnhookWindowsHookEx(st.hHook);
    st.hHook = NULL;
    st.hookDepth = 0;
    st.lastSent = MSG{};
}

HWND HandleOf(const CWnd* pWnd)
{
    return pWnd != nullptr ? pWnd->m_hWnd : NULL;
}

HMENU HandleOf(const CMenu* pMenu)
{
    return pMenu != nullptr ? pMenu->m_hMenu : NULL;
}

CWnd* MsgWnd(HWND hWnd)
{
    return CWnd::FromHandle(hWnd);
}

CDC* MsgDC(HDC hDC)
{
    return CDC::FromHandle(hDC);
}

CMenu* MsgMenu(HMENU hMenu)
{
    return CMenu::FromHandle(hMenu);
}

// The scroll-bar and list-box classes derive from CWnd alone, so their
// objects start with the CWnd part; a window attached to one is already of
// that class, and a temporary one is a plain CWnd used through that view as
// the class library does.
CScrollBar* MsgScrollBar(HWND hWnd)
{
    return reinterpret_cast<CScrollBar*>(CWnd::FromHandle(hWnd));
}

CListBox* MsgListBox(HWND hWnd)
{
    return reinterpret_cast<CListBox*>(CWnd::FromHandle(hWnd));
}

} // namespace platform

// ---- Special insert-after handles -------------------------------------------------------------

CWnd::CWnd(HWND hWndSpecial)
{
    m_hWnd = hWndSpecial;
}

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

// ---- Life ---------------------------------------------------------------------------------------

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd == NULL || this == &wndTop || this == &wndBottom || this == &wndTopMost || this == &wndNoTopMost)
        return;
    WindowState& st = State();
    auto it = st.permanent.find(m_hWnd);
    if (it != st.permanent.end() && it->second == this) {
        // An object going away with its window still up takes the window
        // with it; its WM_NCDESTROY reaches only the CWnd part now.
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        if (m_hWnd != NULL)
            Detach();
    }
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == NULL)
        return nullptr;
    WindowState& st = State();
    auto it = st.permanent.find(hWnd);
    return it == st.permanent.end() ? nullptr : it->second;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    WindowState& st = State();
    auto it = st.temporary.find(hWnd);
    if (it != st.temporary.end())
        return it->second.get();
    if (!::IsWindow(hWnd))
        return nullptr;
    auto pWnd = std::make_unique<CWnd>();
    pWnd->m_hWnd = hWnd;
    CWnd* result = pWnd.get();
    st.temporary.emplace(hWnd, std::move(pWnd));
    return result;
}

void PASCAL CWnd::DeleteTempMap()
{
    WindowState& st = State();
    // A temporary object never owns its window.
    for (auto& [hWnd, pWnd] : st.temporary)
        pWnd->m_hWnd = NULL;
    st.temporary.clear();
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == NULL || m_hWnd != NULL)
        return FALSE;
    WindowState& st = State();
    if (FromHandlePermanent(hWndNew) != nullptr)
        return FALSE; // one object per window
    // A temporary object of the window stays until idle (someone may hold
    // it); FromHandle answers the permanent one from now on.
    st.permanent[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL) {
        WindowState& st = State();
        auto it = st.permanent.find(hWnd);
        if (it != st.permanent.end() && it->second == this)
            st.permanent.erase(it);
    }
    m_hWnd = NULL;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    auto oldProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtr(hWnd, GWLP_WNDPROC, LONG_PTR(&AfxWndProc)));
    if (oldProc != &AfxWndProc)
        m_pfnSuper = oldProc;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(platform::HandleOf(pParent), int(nID));
    if (hWndControl == NULL)
        return FALSE;
    return SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == NULL)
        return NULL;
    if (m_pfnSuper != nullptr)
        ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, LONG_PTR(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

// ---- Creation -----------------------------------------------------------------------------------

void AFXAPI AfxHookWindowCreate(CWnd* pWnd)
{
    WindowState& st = State();
    if (st.hHook == NULL)
        st.hHook = ::SetWindowsHookEx(WH_CBT, &CbtFilterHook, NULL, ::GetCurrentThreadId());
    ++st.hookDepth;
    st.pWndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate()
{
    WindowState& st = State();
    BOOL attached = st.pWndInit == nullptr;
    st.pWndInit = nullptr;
    if (st.hookDepth > 0 && --st.hookDepth == 0 && st.hHook != NULL) {
        ::UnhookWindowsHookEx(st.hHook);
        st.hHook = NULL;
    }
    return attached;
}

LPCSTR AFXAPI AfxDefaultWndClass()
{
    // Registered again after the window system was reset (tests).
    return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW), HBRUSH(COLOR_WINDOW + 1));
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxDefaultWndClass();
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd != NULL)
        return FALSE;
    CREATESTRUCT cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = LONG(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y, cs.cx, cs.cy,
        cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // A window that failed after being attached got WM_NCDESTROY (and with
    // it PostNcDestroy); one that never got that far is cleaned up here the
    // same way. Either way `this` may be gone when hWnd is NULL.
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hWnd != NULL;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, platform::HandleOf(pParentWnd), reinterpret_cast<HMENU>(UINT_PTR(nID)), lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
    UINT nID, CCreateContext* pContext)
{
    // CWnd::Create makes child windows.
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
        static_cast<LPVOID>(pContext));
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == NULL)
        return FALSE;
    HWND hWnd = m_hWnd;
    bool permanent = FromHandlePermanent(hWnd) == this;
    BOOL result = ::DestroyWindow(hWnd);
    // A permanent object that saw its WM_NCDESTROY is detached and may be
    // deleted; one attached without subclassing never sees it and is still
    // in the map, and any other object lets go of the handle here.
    if (!permanent)
        Detach();
    else if (FromHandlePermanent(hWnd) == this) {
        // A window whose destruction was already under way (its parent's,
        // say) outlives the call: its WM_NCDESTROY is still to come, and an
        // object that receives its messages must stay attached to get it
        // (an auto-deleting one frees itself there).
        bool pending = ::IsWindow(hWnd) &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hWnd, GWLP_WNDPROC)) == &AfxWndProc;
        if (!pending)
            Detach();
    }
    return result;
}

void CWnd::PostNcDestroy() {}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    DWORD dwExStyle = GetExStyle();
    if (nAdjustType == adjustBorder)
        dwExStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, dwExStyle);
}

// ---- Dispatch -----------------------------------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_QUERYAFXWNDPROC)
        return 1;
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProc(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    {
        DispatchScope scope(hWnd, nMsg, wParam, lParam);
        try {
            lResult = pWnd->WindowProc(nMsg, wParam, lParam);
        } catch (CException* e) {
            // A handler's failure ends the message, not the program. User
            // exceptions were reported by whoever threw them.
            if (!e->IsKindOf(RUNTIME_CLASS(CUserException)))
                e->ReportError();
            e->Delete();
            lResult = (nMsg == WM_CREATE) ? -1 : 0;
        }
    }
    if (nMsg == WM_NCDESTROY) {
        // A class that handled WM_NCDESTROY without the base handler still
        // loses its window here.
        CWnd* pStill = CWnd::FromHandlePermanent(hWnd);
        if (pStill == pWnd) {
            pWnd->Detach();
            platform::FrameworkWindowGone(pWnd);
            pWnd->PostNcDestroy();
        }
    }
    return lResult;
}

const MSG* PASCAL CWnd::GetCurrentMessage()
{
    return &State().lastSent;
}

LRESULT CWnd::Default()
{
    const MSG& msg = State().lastSent;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        lResult = 1;
    } else if (message == WM_NOTIFY) {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        if (pNMHDR == nullptr || pNMHDR->hwndFrom == NULL || !OnNotify(wParam, lParam, &lResult))
            return FALSE;
    } else {
        const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message);
        // Every WM_CTLCOLOR* message reaches ON_WM_CTLCOLOR unless the map
        // names the message itself.
        if (entry == nullptr && message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
            entry = FindMessageEntry(WM_CTLCOLOR);
        if (entry == nullptr)
            return FALSE;
        AFX_MSGCALL call;
        call.message = message;
        call.wParam = wParam;
        call.lParam = lParam;
        // The handler may destroy this object; nothing below touches it.
        lResult = entry->pfn(this, call);
    }
    if (pResult != nullptr)
        *pResult = lResult;
    return TRUE;
}

namespace {

// The state an update handler leaves for a command about to run: only
// whether it was disabled matters.
class CommandGate : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};

} // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    if (hWndCtrl == NULL) {
        // A command (menu, accelerator, posted or sent), whatever the high
        // word says. Its update handlers decide first: a command they
        // disable is dropped, however it arrived.
        if (nID == 0)
            return FALSE;
        CommandGate gate;
        gate.m_nID = nID;
        OnCmdMsg(nID, int(CN_UPDATE_COMMAND_UI), &gate, nullptr);
        if (!gate.m_bEnabled)
            return TRUE;
        return OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr);
    }
    // A control's notification: the control first (reflection), then this
    // window's own map; never the command route, where its id could mean
    // an unrelated command.
    if (CWnd* pChild = FromHandlePermanent(hWndCtrl)) {
        if (pChild->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr))
            return TRUE;
    }
    if (nID == 0)
        return FALSE;
    return CCmdTarget::OnCmdMsg(nID, int(HIWORD(wParam)), nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    LRESULT scratch = 0;
    if (pResult == nullptr)
        pResult = &scratch;
    if (CWnd* pChild = FromHandlePermanent(pNMHDR->hwndFrom)) {
        if (pChild->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult))
            return TRUE;
    }
    AFX_NOTIFY notify{pResult, pNMHDR};
    return CCmdTarget::OnCmdMsg(UINT(pNMHDR->idFrom), int(MAKELONG(WORD(pNMHDR->code), WM_NOTIFY)), &notify, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
        return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND: {
        if (CCmdTarget::OnCmdMsg(0, int(MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND)), nullptr, nullptr)) {
            if (pResult != nullptr)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        LRESULT scratch = 0;
        AFX_NOTIFY notify{pResult != nullptr ? pResult : &scratch, pNMHDR};
        return CCmdTarget::OnCmdMsg(0, int(MAKELONG(WORD(pNMHDR->code), WM_REFLECT_BASE + WM_NOTIFY)), &notify, nullptr);
    }
    default:
        break;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        AFX_CTLCOLOR ctl{m_hWnd, reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX};
        LRESULT lResult = 0;
        // A control that answers no brush leaves the colours to its parent.
        if (OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&ctl), &lResult) && lResult != 0) {
            if (pResult != nullptr)
                *pResult = lResult;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    if (pWnd == nullptr)
        return FALSE;
    return pWnd->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG msg = State().lastSent;
    return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_nFlags & WF_TOOLTIPS)
        FilterToolTipMessage(pMsg);
    return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    // Each window may destroy itself; only handles are carried on.
    for (HWND hWnd = pMsg->hwnd; hWnd != NULL; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        }
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

// ---- Default handlers that reflect to the control -----------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_CTLCOLOR()
    ON_WM_COMPAREITEM()
    ON_WM_DELETEITEM()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_VKEYTOITEM()
    ON_WM_CHARTOITEM()
    ON_WM_PARENTNOTIFY()
    ON_WM_NCDESTROY()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

void CWnd::OnNcDestroy()
{
    HWND hWnd = m_hWnd;
    Default();
    m_bModalEndedEarly = FALSE;
    if (FromHandlePermanent(hWnd) == this)
        Detach();
    else
        m_hWnd = NULL;
    platform::FrameworkWindowGone(this);
    PostNcDestroy();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar*)
{
    HWND hWndCtrl = reinterpret_cast<HWND>(GetCurrentMessage()->lParam);
    if (hWndCtrl != NULL && ReflectLastMsg(hWndCtrl))
        return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar*)
{
    HWND hWndCtrl = reinterpret_cast<HWND>(GetCurrentMessage()->lParam);
    if (hWndCtrl != NULL && ReflectLastMsg(hWndCtrl))
        return;
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    LRESULT lResult = 0;
    if (pWnd != nullptr && pWnd->m_hWnd != m_hWnd && ReflectLastMsg(pWnd->m_hWnd, &lResult))
        return reinterpret_cast<HBRUSH>(lResult);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct != nullptr && lpDrawItemStruct->CtlType != ODT_MENU
        && ReflectLastMsg(lpDrawItemStruct->hwndItem))
        return;
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct != nullptr && lpMeasureItemStruct->CtlType != ODT_MENU) {
        HWND hWndCtrl = ::GetDlgItem(m_hWnd, nIDCtl);
        if (hWndCtrl != NULL && ReflectLastMsg(hWndCtrl))
            return;
    }
    Default();
}

int CWnd::OnCompareItem(int, LPCOMPAREITEMSTRUCT lpCompareItemStruct)
{
    LRESULT lResult = 0;
    if (lpCompareItemStruct != nullptr && ReflectLastMsg(lpCompareItemStruct->hwndItem, &lResult))
        return int(lResult);
    return int(Default());
}

void CWnd::OnDeleteItem(int, LPDELETEITEMSTRUCT lpDeleteItemStruct)
{
    if (lpDeleteItemStruct != nullptr && ReflectLastMsg(lpDeleteItemStruct->hwndItem))
        return;
    Default();
}

int CWnd::OnVKeyToItem(UINT, CListBox*, UINT)
{
    LRESULT lResult = 0;
    if (ReflectLastMsg(reinterpret_cast<HWND>(GetCurrentMessage()->lParam), &lResult))
        return int(lResult);
    return int(Default());
}

int CWnd::OnCharToItem(UINT, CListBox*, UINT)
{
    LRESULT lResult = 0;
    if (ReflectLastMsg(reinterpret_cast<HWND>(GetCurrentMessage()->lParam), &lResult))
        return int(lResult);
    return int(Default());
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam)
{
    if ((LOWORD(message) == WM_CREATE || LOWORD(message) == WM_DESTROY)
        && ReflectLastMsg(reinterpret_cast<HWND>(lParam)))
        return;
    Default();
}

void CWnd::OnSysColorChange()
{
    if (!(GetStyle() & WS_CHILD))
        SendMessageToDescendants(WM_SYSCOLORCHANGE, 0, 0, TRUE, TRUE);
    Default();
}
