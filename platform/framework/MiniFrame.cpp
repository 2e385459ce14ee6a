// CMiniFrameWnd: a popup frame with the window system's small caption
// (WS_EX_TOOLWINDOW).

#include "platform/framework/Frame.h"

#include "platform/framework/FrameworkIds.h"

#include <vector>

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
    ON_WM_NCACTIVATE()
    ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

namespace {

// Set while a floating window passes its owner's inactive look on, so that
// the owner's answer (telling its floating windows) does not come back.
bool g_bPassingDeactivation = false;

// The top-level windows `hWndOwner` owns directly.
std::vector<HWND> OwnedWindows(HWND hWndOwner)
{
    std::vector<HWND> owned;
    for (HWND h = ::GetWindow(::GetDesktopWindow(), GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (::GetWindow(h, GW_OWNER) == hWndOwner)
            owned.push_back(h);
    }
    return owned;
}

// Whether the owner and the windows that keep in step with it hold the
// activation now.
bool IsGroupActive(HWND hWndFloat, HWND hWndOwner)
{
    HWND hWndActive = ::GetActiveWindow();
    if (hWndActive == NULL)
        return false;
    if (hWndActive == hWndFloat || hWndActive == hWndOwner)
        return true;
    return hWndOwner != NULL && hWndActive != hWndOwner && ::GetWindow(hWndActive, GW_OWNER) == hWndOwner &&
        ::SendMessage(hWndActive, WM_FLOATSTATUS, FS_SYNCACTIVE, 0) != 0;
}

// Whether activating hWnd keeps hWndOwner looking active: it is one of the
// owner's floating windows that keep in step with it.
bool KeepsOwnerActive(HWND hWnd, HWND hWndOwner)
{
    return hWnd != NULL && hWndOwner != NULL && hWnd != hWndOwner && ::GetWindow(hWnd, GW_OWNER) == hWndOwner &&
        ::SendMessage(hWnd, WM_FLOATSTATUS, FS_SYNCACTIVE, 0) != 0;
}

// MFS_BLOCKSYSMENU shares its bit with WS_MAXIMIZEBOX: it never reaches
// the window.
constexpr DWORD kMiniFrameOnlyStyles = MFS_BLOCKSYSMENU;

} // namespace

CMiniFrameWnd::CMiniFrameWnd() = default;

CMiniFrameWnd::~CMiniFrameWnd() = default;

BOOL CMiniFrameWnd::Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
    CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
    const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_strTitle = lpWindowName;
    // A child mini frame takes nID as its control id; a popup has no menu.
    HMENU hMenuOrId = (dwStyle & WS_CHILD) ? (HMENU)(UINT_PTR)nID : NULL;
    return CreateOrDelete(dwExStyle, lpClassName, lpWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, (pParentWnd != NULL ? pParentWnd->m_hWnd : NULL), hMenuOrId, nullptr);
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    cs.style &= ~kMiniFrameOnlyStyles;
    if (cs.style & (MFS_THICKFRAME | MFS_4THICKFRAME))
        cs.style |= WS_THICKFRAME;
    if (cs.style & WS_CAPTION)
        cs.dwExStyle |= WS_EX_TOOLWINDOW;
    // The caption never joins a document's name.
    cs.style &= ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE);
    return TRUE;
}

// ---- Keeping the owner's caption active ------------------------------------------------------

BOOL CFrameWnd::OnNcActivate(BOOL bActive)
{
    // Activation going to one of this frame's floating windows that keep in
    // step leaves the frame looking active: clicking a floating tool bar does
    // not make the user's window look as though it lost the keyboard.
    if (!bActive && !g_bPassingDeactivation && KeepsOwnerActive(::GetActiveWindow(), m_hWnd))
        bActive = TRUE;
    HWND hWnd = m_hWnd;
    for (HWND hWndFloat : OwnedWindows(hWnd)) {
        if (::IsWindow(hWndFloat))
            ::SendMessage(hWndFloat, WM_FLOATSTATUS, bActive ? FS_ACTIVATE : FS_DEACTIVATE, 0);
    }
    if (!::IsWindow(hWnd))
        return TRUE;
    return (BOOL)DefWindowProc(WM_NCACTIVATE, bActive, 0);
}

BOOL CMiniFrameWnd::OnNcActivate(BOOL bActive)
{
    if (!(GetStyle() & MFS_SYNCACTIVE))
        return (BOOL)DefWindowProc(WM_NCACTIVATE, bActive, 0);
    HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    bool bGroupActive = IsGroupActive(m_hWnd, hWndOwner);
    if (!bActive && !bGroupActive && hWndOwner != NULL && !g_bPassingDeactivation) {
        // The owner kept its active look for us; it loses it with us.
        g_bPassingDeactivation = true;
        ::SendMessage(hWndOwner, WM_NCACTIVATE, FALSE, 0);
        g_bPassingDeactivation = false;
        if (m_hWnd == NULL)
            return TRUE;
    }
    return (BOOL)DefWindowProc(WM_NCACTIVATE, bActive || bGroupActive, 0);
}

LRESULT CMiniFrameWnd::OnFloatStatus(WPARAM wParam, LPARAM)
{
    if (!(GetStyle() & MFS_SYNCACTIVE))
        return 0;
    if (wParam & FS_SYNCACTIVE)
        return 1;
    if (wParam & (FS_ACTIVATE | FS_DEACTIVATE))
        DefWindowProc(WM_NCACTIVATE, (wParam & FS_ACTIVATE) ? TRUE : FALSE, 0);
    return 0;
}

void CMiniFrameWnd::OnShowWindow(BOOL bShow, UINT)
{
    Default();
    // A floating window shown while its owner is active takes the active
    // look at once; it hears of changes from then on.
    if (bShow && (GetStyle() & MFS_SYNCACTIVE) && m_hWnd != NULL)
        DefWindowProc(WM_NCACTIVATE, IsGroupActive(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER)) ? TRUE : FALSE, 0);
}
