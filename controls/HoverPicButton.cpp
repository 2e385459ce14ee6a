#include "controls/HoverPicButton.h"

#include "app/ResourceBitmaps.h"
#include "app/main/MainFrame.h"
#include "controls/PaletteSelector.h"
#include "controls/PicButton.h"
#include "platform/base/Resources.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"

IMPLEMENT_DYNAMIC(CHoverPicButton, CButton)

POINT CHoverPicButton::s_ptLastHover{-1, -1};

namespace {

// Hovering only counts while the program is the one the user works in; a
// program without its main frame (a test, the wizard before the frame is
// made) has had no deactivation to remember.
BOOL ApplicationIsActive()
{
    auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    return pFrame != nullptr ? pFrame->IsAppActive() : TRUE;
}

} // namespace

CHoverPicButton::CHoverPicButton() = default;

CHoverPicButton::~CHoverPicButton()
{
    StopHoverTimer();
}

void CHoverPicButton::SetPicture(UINT nID)
{
    if (nID == m_nStripId)
        return;
    CBitmap strip;
    CPalette palette;
    HMODULE hModule = AfxFindResourceHandle(MAKEINTRESOURCE(nID), RT_BITMAP);
    const BOOL bLoaded = LoadBitmapObject(hModule, nID, &strip, &palette);
    m_strip.DeleteObject();
    m_palette.DeleteObject();
    m_sizeStrip = CSize(0, 0);
    BITMAP bm{};
    if (bLoaded && strip.GetBitmap(&bm) != 0 && bm.bmWidth > 0 && bm.bmHeight > 0) {
        m_strip.Attach(strip.Detach());
        if (palette.GetSafeHandle() != NULL)
            m_palette.Attach(palette.Detach());
        m_sizeStrip = CSize(bm.bmWidth, bm.bmHeight);
    }
    // The id is kept even when loading failed, so that a missing resource
    // is not tried again at every refresh.
    m_nStripId = nID;
    m_nFrame = kNoFrame;
    m_nFrameCount = 1;
    m_bNewStrip = TRUE;
}

void CHoverPicButton::SetIndex(WORD nFrame)
{
    if (m_strip.GetSafeHandle() == NULL)
        return;
    m_nFrame = nFrame;
    // Erased first: with no frame to show the last one must not stay.
    if (m_hWnd != NULL)
        Invalidate();
    m_bNewStrip = FALSE;
}

void CHoverPicButton::SetFrameCount(int nCount)
{
    m_nFrameCount = WORD(std::clamp(nCount, 1, 0xFFFF));
    m_nFrame = kNoFrame;
    if (m_strip.GetSafeHandle() == NULL || m_hWnd == NULL)
        return;
    SetWindowPos(nullptr, 0, 0, m_sizeStrip.cx, m_sizeStrip.cy / m_nFrameCount,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHoverPicButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS == nullptr || m_nFrame == kNoFrame || m_strip.GetSafeHandle() == NULL || m_nFrame >= m_nFrameCount)
        return;
    const int nFrameHeight = m_sizeStrip.cy / m_nFrameCount;
    if (nFrameHeight <= 0)
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC))
        return;
    CPaletteSelector selector(pDC, m_palette.GetSafeHandle() != NULL ? &m_palette : nullptr);
    CBitmap* pOld = memDC.SelectObject(&m_strip);
    pDC->BitBlt(lpDIS->rcItem.left, lpDIS->rcItem.top, m_sizeStrip.cx, nFrameHeight, &memDC, 0,
        nFrameHeight * m_nFrame, SRCCOPY);
    memDC.SelectObject(pOld);
}

void CHoverPicButton::StopHoverTimer()
{
    if (m_nHoverTimer != 0 && m_hWnd != NULL)
        ::KillTimer(m_hWnd, m_nHoverTimer);
    m_nHoverTimer = 0;
}

void CHoverPicButton::OnMouseMove()
{
    if (m_nHoverTimer == 0 && ApplicationIsActive())
        m_nHoverTimer = SetTimer(kHoverTimerId, kHoverDelay, nullptr);
}

void CHoverPicButton::OnHoverTick()
{
    CRect rect;
    GetWindowRect(&rect);
    switch (LookAtHover(rect, kRestDistance, s_ptLastHover)) {
    case HoverLook::Left:
        StopHoverTimer();
        break;
    case HoverLook::Rested:
        StopHoverTimer();
        if (CWnd* pParent = GetParent())
            pParent->PostMessage(WM_COMMAND, MAKEWPARAM(kRestCommand, 0), 0);
        break;
    case HoverLook::Moved:
        break;
    }
}

LRESULT CHoverPicButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove();
        break;
    case WM_TIMER:
        if (wParam == kHoverTimerId) {
            if (m_nHoverTimer != 0)
                OnHoverTick();
            return 0;
        }
        break;
    case WM_HELPHITTEST:
        return kHelpContext;
    case WM_DESTROY:
        StopHoverTimer();
        break;
    default:
        break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}
