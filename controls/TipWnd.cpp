#include "controls/TipWnd.h"

#include "platform/base/Arithmetic.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CTipWnd, CWnd)

namespace {

constexpr UINT kTipClassStyle = CS_VREDRAW | CS_HREDRAW | CS_SAVEBITS | CS_BYTEALIGNCLIENT;
constexpr BYTE kTipClipPrecision = 18;
constexpr BYTE kTipPitchAndFamily = FF_SWISS;
// The longest text a tip measures and shows.
constexpr size_t kMaxTipText = 1024;

// Reached through a pointer, so that nothing is deleted after the drawing
// tables at exit.
struct TipResources {
    CString className;
    CBrush background;
    CFont font;
    int height = 0;
};
TipResources* g_pTip = nullptr;

TipResources& Tip()
{
    if (g_pTip == nullptr)
        g_pTip = new TipResources;
    return *g_pTip;
}

BOOL RegisterTipClass()
{
    TipResources& tip = Tip();
    WNDCLASS wc{};
    if (!tip.className.IsEmpty() && ::GetClassInfo(NULL, tip.className, &wc))
        return TRUE;
    if (tip.background.GetSafeHandle() == NULL && !tip.background.CreateSolidBrush(CTipWnd::kBackground))
        return FALSE;
    LPCSTR name = AfxRegisterWndClass(kTipClassStyle, NULL, HBRUSH(tip.background.GetSafeHandle()), NULL);
    if (name == nullptr)
        return FALSE;
    tip.className = name;
    return TRUE;
}

void MakeTipFont(CWnd* pWnd)
{
    TipResources& tip = Tip();
    if (tip.font.GetSafeHandle() != NULL)
        return;
    CClientDC dc(pWnd);
    LOGFONT lf{};
    lf.lfHeight = -::MulDiv(CTipWnd::kTipPoints, dc.GetDeviceCaps(LOGPIXELSY), 72);
    lf.lfCharSet = 0;
    lf.lfClipPrecision = kTipClipPrecision;
    lf.lfQuality = 0;
    lf.lfPitchAndFamily = kTipPitchAndFamily;
    if (!tip.font.CreateFontIndirect(&lf))
        return;
    CFont* pOld = dc.SelectObject(&tip.font);
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(pOld);
    tip.height = tm.tmHeight + 6 * ::GetSystemMetrics(SM_CYBORDER) + tm.tmExternalLeading;
}

// The key and button presses that end a tip.
bool EndsTip(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

bool IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        || (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

void Deliver(MSG& msg)
{
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
}

} // namespace

BEGIN_MESSAGE_MAP(CTipWnd, CWnd)
    ON_WM_PAINT()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

CFont* CTipWnd::GetTipFont()
{
    TipResources& tip = Tip();
    return tip.font.GetSafeHandle() != NULL ? &tip.font : nullptr;
}

int CTipWnd::GetTipHeight()
{
    return Tip().height;
}

BOOL CTipWnd::Create(CWnd* pParent)
{
    if (!RegisterTipClass())
        return FALSE;
    CWnd* pOwner = AfxGetMainWnd();
    if (pOwner == nullptr || pOwner->GetSafeHwnd() == NULL)
        pOwner = pParent;
    m_bPainted = 0;
    if (!CreateEx(0, Tip().className, "", WS_POPUP | WS_BORDER, 0, 0, 0, 0, platform::HandleOf(pOwner), NULL))
        return FALSE;
    MakeTipFont(this);
    return TRUE;
}

LRESULT CTipWnd::OnSetText(WPARAM, LPARAM lParam)
{
    LPCTSTR lpszText = reinterpret_cast<LPCTSTR>(lParam);
    int nLength = lpszText != nullptr ? int(::strnlen(lpszText, kMaxTipText)) : 0;
    CSize extent(0, 0);
    {
        CClientDC dc(this);
        CFont* pOld = GetTipFont() != nullptr ? dc.SelectObject(GetTipFont()) : nullptr;
        if (nLength > 0)
            extent = dc.GetTextExtent(lpszText, nLength);
        if (pOld != nullptr)
            dc.SelectObject(pOld);
    }
    int cx = extent.cx + 6 * ::GetSystemMetrics(SM_CXBORDER);
    int cy = GetTipHeight();
    CRect rc;
    GetWindowRect(&rc);
    int cxScreen = ::GetSystemMetrics(SM_CXSCREEN);
    if (rc.left + cx > cxScreen)
        rc.left = cxScreen - cx - 2;
    MoveWindow(rc.left, rc.top, cx, cy);
    Invalidate();
    return Default();
}

void CTipWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CString text;
    GetWindowText(text);
    CFont* pOld = GetTipFont() != nullptr ? dc.SelectObject(GetTipFont()) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetTextAlign(TA_CENTER);
    CSize extent = dc.GetTextExtent(text);
    dc.TextOut(rc.Width() / 2, (rc.Height() - extent.cy) / 2, text);
    if (pOld != nullptr)
        dc.SelectObject(pOld);
    m_bPainted = 1;
}

void CTipWnd::ShowAt(int x, int y, LPCTSTR lpszText)
{
    ShowWindow(SW_HIDE);
    UpdateWindow();
    SetWindowText(lpszText);
    CRect rc;
    GetWindowRect(&rc);
    int cxScreen = ::GetSystemMetrics(SM_CXSCREEN);
    if (x + rc.Width() > cxScreen)
        x = cxScreen - rc.Width() - 4;
    SetWindowPos(&wndTop, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(SW_SHOWNOACTIVATE);
}

void CTipWnd::ShowTip(LPCTSTR lpszText)
{
    CPoint start;
    ::GetCursorPos(&start);
    if (!Create(nullptr))
        return;
    // The pixel under the pointer and those left and above it.
    const CRect stay(start.x - 1, start.y - 1, start.x + 1, start.y + 1);
    ShowAt(start.x + ::GetSystemMetrics(SM_CXCURSOR) / 2, start.y + ::GetSystemMetrics(SM_CYCURSOR) / 2, lpszText);

    MSG msg{};
    bool bDeliverLast = false;
    bool bQuit = false;
    for (;;) {
        if (!::IsWindow(m_hWnd))
            break;
        CPoint now;
        ::GetCursorPos(&now);
        if (!stay.PtInRect(now))
            break;
        if (!::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
            ::WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT) {
            bQuit = true;
            break;
        }
        bool bEnds = EndsTip(msg.message);
        if (!m_bPainted) {
            // Until the tip is on the screen everything goes through as usual.
            Deliver(msg);
            if (bEnds)
                break;
            continue;
        }
        if (bEnds) {
            bDeliverLast = true;
            break;
        }
        if (IsInput(msg.message))
            continue;
        Deliver(msg);
    }
    if (bDeliverLast)
        Deliver(msg);
    if (::IsWindow(m_hWnd))
        DestroyWindow();
    if (bQuit)
        ::PostQuitMessage(int(msg.wParam));
}

void ReleaseTipResources()
{
    delete g_pTip;
    g_pTip = nullptr;
}
