#include "controls/PicButton.h"

#include "app/BitmapHelpers.h"
#include "app/PrefData.h"
#include "app/ResourceBitmaps.h"
#include "app/TransparentBitmap.h"
#include "controls/PaletteSelector.h"
#include "controls/TipWnd.h"
#include "platform/base/Resources.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "resources/art.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

IMPLEMENT_DYNAMIC(CPicButton, CButton)

namespace {

// One memory DC that every picture button draws its face from: a paint
// selects the face in and out again instead of making a DC each time. A
// handle gone stale (the GDI tables were reset) is made again.
HDC FaceDc()
{
    static HDC s_hdc = NULL;
    if (s_hdc == NULL || ::GetObjectType(s_hdc) != OBJ_MEMDC)
        s_hdc = ::CreateCompatibleDC(NULL);
    return s_hdc;
}

void DrawFace(HDC hdcTarget, CBitmap& bitmap, const RECT& rc)
{
    BITMAP bm{};
    HDC hdcFace = FaceDc();
    if (hdcFace == NULL || bitmap.GetBitmap(&bm) == 0)
        return;
    HGDIOBJ hOld = ::SelectObject(hdcFace, bitmap.GetSafeHandle());
    if (hOld == NULL)
        return;
    ::BitBlt(hdcTarget, rc.left, rc.top, bm.bmWidth, bm.bmHeight, hdcFace, 0, 0, SRCCOPY);
    ::SelectObject(hdcFace, hOld);
}

} // namespace

POINT CPicButton::s_ptLastHover{-1, -1};

CPicButton::CPicButton() = default;

CPicButton::~CPicButton()
{
    if (m_hWnd && m_nHoverTimer)
        ::KillTimer(m_hWnd, m_nHoverTimer);
    FreeBitmaps();
}

void CPicButton::FreeBitmaps()
{
    for (CBitmap& bitmap : m_bitmaps)
        bitmap.DeleteObject();
    m_palette.DeleteObject();
    m_nLastDrawn = -1;
}

void CPicButton::SetBitmaps(HMODULE hModule, UINT nNormal, UINT nPressed, UINT nChecked, UINT nDisabled, UINT nHot,
    BOOL bTransparent, int nIdleAnswer, COLORREF crFace)
{
    m_hModule = hModule;
    m_crFace = crFace;
    m_bTransparent = bTransparent;
    m_nIdleAnswer = nIdleAnswer;
    const UINT ids[5] = {nNormal, nPressed, nChecked, nDisabled, nHot};
    for (int i = 0; i < 5; ++i) {
        if (ids[i] == 0)
            continue;
        m_nBitmapIds[i] = ids[i];
        if (hModule != NULL) {
            // The normal bitmap brings the palette the others are drawn with.
            LoadBitmapObject(hModule, ids[i], &m_bitmaps[i], i == bmpNormal ? &m_palette : nullptr);
        } else {
            m_bitmaps[i].DeleteObject();
            if (HBITMAP hBitmap = ::LoadBitmap(AfxGetInstanceHandle(), MAKEINTRESOURCE(ids[i])))
                m_bitmaps[i].Attach(hBitmap);
        }
    }
    m_bInitialised = FALSE;
    if (m_hWnd)
        Init();
}

void CPicButton::Init()
{
    if (!m_hWnd)
        return;
    SetButtonStyle(BS_OWNERDRAW, TRUE);
    CSize size = GetBitmapSize();
    if (size.cx > 0 && size.cy > 0)
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LPCTSTR hand = MAKEINTRESOURCE(IDC_OBJECT_HAND);
    m_hHandCursor = ::LoadCursor(AfxFindResourceHandle(hand, RT_GROUP_CURSOR), hand);
    m_hArrowCursor = ::LoadCursor(NULL, IDC_ARROW);
    // The cursor is set for this window alone on WM_SETCURSOR: clearing the
    // class cursor would take it from every push button of the program.
    m_bInitialised = TRUE;
}

void CPicButton::SetGroup(CPicButton* pNext, int nIndex)
{
    m_pNextInGroup = pNext;
    m_nGroupIndex = nIndex;
    if (nIndex == 0)
        m_bChecked = TRUE;
}

CSize CPicButton::GetBitmapSize() const
{
    BITMAP bm{};
    if (m_bitmaps[bmpNormal].GetSafeHandle() == NULL
        || !const_cast<CBitmap&>(m_bitmaps[bmpNormal]).GetBitmap(&bm))
        return CSize(0, 0);
    return CSize(bm.bmWidth, bm.bmHeight);
}

void CPicButton::ClearHover()
{
    if (!m_bHover)
        return;
    m_bHover = FALSE;
    if (m_hWnd)
        Invalidate(FALSE);
}

int CPicButton::ChooseBitmap(UINT nState, UINT nAction, BOOL bWindowEnabled, BOOL bHover, BOOL bCheckedInGroup,
    const BOOL bHave[5], BOOL* pbClearHover)
{
    int choice = bmpNormal;
    BOOL bClear = FALSE;
    if ((nState & ODS_DISABLED) || !bWindowEnabled) {
        choice = bmpDisabled;
        bClear = TRUE;
    } else if (nState & ODS_SELECTED) {
        choice = bmpPressed;
    } else if (nState & ODS_FOCUS) {
        choice = bmpChecked;
        bClear = TRUE;
    } else if (bHave[bmpHot] && bHover && nAction != ODA_FOCUS) {
        choice = bmpHot;
    } else if (bCheckedInGroup) {
        choice = bmpChecked;
    }
    if (!bHave[choice])
        choice = bmpNormal;
    if (pbClearHover)
        *pbClearHover = bClear;
    return choice;
}

void CPicButton::CWndDisableSelf()
{
    EnableWindow(FALSE);
}

void CPicButton::CWndEnableSelf()
{
    EnableWindow(TRUE);
}

void CPicButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (!lpDIS || !m_hWnd || !IsWindowVisible())
        return;
    BOOL bHave[5];
    for (int i = 0; i < 5; ++i)
        bHave[i] = m_bitmaps[i].GetSafeHandle() != NULL;
    BOOL bClear = FALSE;
    int choice = ChooseBitmap(lpDIS->itemState, lpDIS->itemAction, IsWindowEnabled(), m_bHover,
        m_bChecked && m_pNextInGroup != nullptr, bHave, &bClear);
    if (bClear)
        m_bHover = FALSE;
    CBitmap& bitmap = m_bitmaps[choice];
    if (bitmap.GetSafeHandle() == NULL)
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CPaletteSelector selector(pDC, m_palette.GetSafeHandle() ? &m_palette : nullptr);
    const RECT& rc = lpDIS->rcItem;
    if (m_bTransparent) {
        BITMAP bm{};
        bitmap.GetBitmap(&bm);
        RECT source{0, 0, bm.bmWidth, bm.bmHeight};
        DrawTransparentBitmap(lpDIS->hDC, rc.left, rc.top, bm.bmWidth, bm.bmHeight, HBITMAP(bitmap.GetSafeHandle()),
            source, m_crFace);
    } else {
        DrawFace(lpDIS->hDC, bitmap, rc);
    }
    m_nLastDrawn = choice;
}

void CPicButton::CheckInGroup()
{
    m_bChecked = TRUE;
    // A ring that does not lead back here would be walked for ever: the
    // walk ends at a break, or once it comes to a button it has passed.
    std::vector<CPicButton*> seen{this};
    for (CPicButton* p = m_pNextInGroup; p != nullptr; p = p->m_pNextInGroup) {
        if (std::find(seen.begin(), seen.end(), p) != seen.end())
            break;
        seen.push_back(p);
        if (p->m_bChecked) {
            p->m_bChecked = FALSE;
            if (p->m_hWnd) {
                p->Invalidate(FALSE);
                p->UpdateWindow();
            }
        }
    }
    ResetLastHover();
}

void CPicButton::StopHoverTimer()
{
    if (m_nHoverTimer && m_hWnd)
        ::KillTimer(m_hWnd, m_nHoverTimer);
    m_nHoverTimer = 0;
}

void CPicButton::OnMouseMove(CPoint point)
{
    if (::GetActiveWindow() == NULL)
        return;
    if (::GetCapture() != m_hWnd) {
        SetCapture();
        if (!m_bHover) {
            m_bHover = TRUE;
            Invalidate(FALSE);
            UpdateWindow();
        }
    } else {
        CRect client;
        GetClientRect(&client);
        if (!client.PtInRect(point)) {
            ::ReleaseCapture();
            if (m_bHover) {
                m_bHover = FALSE;
                Invalidate(FALSE);
                UpdateWindow();
            }
            StopHoverTimer();
            return;
        }
    }
    if (!m_strTip.IsEmpty() && m_nHoverTimer == 0 && !(thePrefs.AddlFlags & PREF_ADDL_NO_TOOLTIPS))
        m_nHoverTimer = SetTimer(kHoverTimerId, kHoverDelay, nullptr);
    if (m_hHandCursor)
        ::SetCursor(m_hHandCursor);
}

HoverLook LookAtHover(const RECT& rcWindow, int restDistance, POINT& ptLast)
{
    POINT point{};
    ::GetCursorPos(&point);
    if (!::PtInRect(&rcWindow, point))
        return HoverLook::Left;
    const bool bSeen = ptLast.x != -1 || ptLast.y != -1;
    if (bSeen && std::abs(point.x - ptLast.x) < restDistance && std::abs(point.y - ptLast.y) < restDistance) {
        ptLast = POINT{-1, -1};
        return HoverLook::Rested;
    }
    ptLast = point;
    return HoverLook::Moved;
}

void CPicButton::OnHoverTimer()
{
    CRect rc;
    GetWindowRect(&rc);
    const POINT ptBefore = s_ptLastHover;
    switch (LookAtHover(rc, kRestDistance, s_ptLastHover)) {
    case HoverLook::Left:
        StopHoverTimer();
        break;
    case HoverLook::Rested: {
        StopHoverTimer();
        // The tip keeps the last position until it is shown; a button gone
        // meanwhile leaves it for the next one.
        s_ptLastHover = ptBefore;
        HWND hSelf = m_hWnd;
        CString strTip = m_strTip;
        CTipWnd tip;
        tip.ShowTip(strTip);
        if (::IsWindow(hSelf))
            ResetLastHover();
        break;
    }
    case HoverLook::Moved:
        break;
    }
}

BOOL CPicButton::OnSetCursor(UINT nHitTest)
{
    if (nHitTest != HTCLIENT)
        return FALSE;
    HCURSOR hCursor = m_hHandCursor ? m_hHandCursor : m_hArrowCursor;
    if (!hCursor)
        return FALSE;
    ::SetCursor(hCursor);
    return TRUE;
}

LRESULT CPicButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(CPoint(short(LOWORD(lParam)), short(HIWORD(lParam))));
        return CButton::WindowProc(message, wParam, lParam);
    case WM_TIMER:
        if (wParam == kHoverTimerId) {
            OnHoverTimer();
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (m_bInitialised && HWND(wParam) == m_hWnd && OnSetCursor(LOWORD(lParam)))
            return TRUE;
        break;
    case WM_LBUTTONDOWN:
        ResetLastHover();
        StopHoverTimer();
        break;
    case WM_LBUTTONDBLCLK:
        ResetLastHover();
        StopHoverTimer();
        if (CWnd* pParent = GetParent())
            pParent->PostMessage(WM_PICBUTTON_DBLCLK, WPARAM(GetDlgCtrlID()), LPARAM(m_hWnd));
        break;
    case WM_SETFOCUS: {
        LRESULT result = CButton::WindowProc(message, wParam, lParam);
        CheckInGroup();
        return result;
    }
    case WM_DESTROY:
        StopHoverTimer();
        FreeBitmaps();
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_IDLEUPDATECMDUI:
        return m_nIdleAnswer;
    default:
        break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}
