#include "controls/BMPButton.h"

#include "app/TransparentBitmap.h"
#include "controls/PaletteSelector.h"
#include "controls/TimedEventRegistry.h"
#include "pictures/Image.h"
#include "platform/base/Resources.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/Frame.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "resources/art.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CBMPButton, CButton)

namespace {

// Frames per group (disabled, normal, focused, hover, pressed) by kind.
constexpr int kWeights[CBMPButton::kKindCount][5] = {
    {1, 1, 1, 3, 3},
    {1, 1, 1, 1, 1},
    {1, 1, 0, 3, 3},
    {1, 1, 0, 1, 1},
    {1, 1, 0, 3, 3},
    {1, 1, 0, 1, 1},
};

constexpr COLORREF kCaptionGrey = RGB(128, 128, 128);

} // namespace

// ---- The strip ----------------------------------------------------------------------

BOOL CStripPicture::LoadFile(LPCTSTR lpszPath, CDC* pDC)
{
    Clear();
    const CImage picture(lpszPath, CImage::kDefaultLoadMode);
    HBITMAP hBitmap = picture.CreateDDB(pDC, FALSE);
    if (!hBitmap)
        return FALSE;
    BITMAP bm{};
    if (!::GetObject(hBitmap, sizeof(bm), &bm)) {
        ::DeleteObject(hBitmap);
        return FALSE;
    }
    Replace(hBitmap, bm.bmWidth, bm.bmHeight);
    return TRUE;
}

void CStripPicture::Replace(HBITMAP hBitmap, int nWidth, int nHeight)
{
    Clear();
    m_hBitmap = hBitmap;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
}

void CStripPicture::Clear()
{
    if (m_hBitmap)
        ::DeleteObject(m_hBitmap);
    m_hBitmap = NULL;
    m_nWidth = 0;
    m_nHeight = 0;
}

// ---- Loading -----------------------------------------------------------------------------

CBMPButton::CBMPButton() = default;

CBMPButton::~CBMPButton()
{
    if (m_hWnd)
        theTimedEvents.RemoveEvent(m_hWnd, kEventId);
    ClearButton();
}

int CBMPButton::GroupWeight(int nKind, int nGroup)
{
    if (nKind < 1 || nKind > kKindCount || nGroup < groupDisabled || nGroup > groupPressed)
        return 0;
    return kWeights[nKind - 1][nGroup - 1];
}

int CBMPButton::FrameCount(int nKind)
{
    int nCount = 0;
    for (int g = groupDisabled; g <= groupPressed; ++g)
        nCount += GroupWeight(nKind, g);
    return nCount;
}

void CBMPButton::ClearButton()
{
    m_strip.Clear();
    if (m_hMask)
        ::DeleteObject(m_hMask);
    m_hMask = NULL;
    m_nMaskTop = 0;
    m_bmpBackground.DeleteObject();
    m_bmpFace.DeleteObject();
    m_bBackgroundSaved = FALSE;
    m_nFrameHeight = 0;
    m_rectCaption.SetRectEmpty();
    m_nState = stateNormal;
    m_nGroup = groupNormal;
    m_nFrame = 1;
    m_nHoverTicks = 0;
    if (m_hWnd)
        theTimedEvents.RemoveEvent(m_hWnd, kEventId);
}

int CBMPButton::LoadFromFile(int nKind, LPCTSTR lpszCaption, LPCTSTR lpszPath, BOOL bMakeMask, int x, int y,
    int nMaxWidth)
{
    ClearButton();
    if (!m_hWnd || FrameCount(nKind) == 0)
        return 0;
    m_wKind = WORD(nKind);
    BOOL bLoaded = FALSE;
    {
        CClientDC dc(this);
        bLoaded = m_strip.LoadFile(lpszPath, &dc);
    }
    // A strip shorter than its frame count would give frames of no height
    // and empty bitmaps: it is refused.
    if (bLoaded) {
        m_nFrameHeight = m_strip.m_nHeight / FrameCount(nKind);
        bLoaded = m_nFrameHeight > 0;
    }
    if (!bLoaded || (bMakeMask && !MakeMask()) || !DrawCaption(lpszCaption, x, y, nMaxWidth) || !MakeFrameBitmaps()) {
        ClearButton();
        return 0;
    }
    SetButtonStyle(BS_OWNERDRAW, FALSE);
    SetWindowPos(nullptr, 0, 0, m_strip.m_nWidth, m_nFrameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const WORD wValue = 1;
    if (!theTimedEvents.AddEvent(m_hWnd, kEventId, 1, &wValue)) {
        ClearButton();
        return 0;
    }
    theTimedEvents.SetEventFlag(m_hWnd, kEventId);
    Invalidate(FALSE);
    return 1;
}

BOOL CBMPButton::MakeMask()
{
    // The normal frame (the strip's second frame) with the key colour as
    // background: key pixels become white (1), all others black.
    CDC dcStrip;
    CDC dcMask;
    if (!dcStrip.CreateCompatibleDC(nullptr) || !dcMask.CreateCompatibleDC(nullptr))
        return FALSE;
    HBITMAP hMask = ::CreateBitmap(m_strip.m_nWidth, m_nFrameHeight, 1, 1, nullptr);
    if (!hMask)
        return FALSE;
    HGDIOBJ hOldStrip = dcStrip.SelectObject(HGDIOBJ(m_strip.m_hBitmap));
    HGDIOBJ hOldMask = dcMask.SelectObject(HGDIOBJ(hMask));
    dcStrip.SetBkColor(kKeyColor);
    const BOOL bDone = dcMask.BitBlt(0, 0, m_strip.m_nWidth, m_nFrameHeight, &dcStrip, 0, m_nFrameHeight, SRCCOPY);
    dcMask.SelectObject(hOldMask);
    dcStrip.SelectObject(hOldStrip);
    if (!bDone) {
        ::DeleteObject(hMask);
        return FALSE;
    }
    m_hMask = hMask;
    m_nMaskTop = 0;
    return TRUE;
}

BOOL CBMPButton::DrawCaption(LPCTSTR lpszCaption, int x, int y, int nMaxWidth)
{
    m_rectCaption.SetRectEmpty();
    if (lpszCaption == nullptr || *lpszCaption == '\0')
        return TRUE;
    const CString strCaption = lpszCaption;

    LOGFONT lf{};
    lf.lfHeight = -14;
    lf.lfWeight = 400;
    lf.lfPitchAndFamily = 0x22;
    std::strcpy(lf.lfFaceName, "Arial");
    CFont font;
    CDC dc;
    if (!font.CreateFontIndirect(&lf) || !dc.CreateCompatibleDC(nullptr))
        return FALSE;
    CFont* pOldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    CRect rectText(0, 0, 0, 0);
    dc.DrawText(strCaption, &rectText, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int nFrames = FrameCount(m_wKind);
    const int nDisabledFrames = GroupWeight(m_wKind, groupDisabled);
    const int nStripWidth = m_strip.m_nWidth;
    BOOL bDone = TRUE;

    if (IsPushKind(m_wKind)) {
        const UINT nFormat = rectText.Width() + x > nStripWidth ? DT_WORDBREAK | DT_NOPREFIX
                                                                : DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        m_rectCaption.SetRect(x, y, nStripWidth - y, m_nFrameHeight - y);
        HGDIOBJ hOld = dc.SelectObject(HGDIOBJ(m_strip.m_hBitmap));
        for (int i = 0; i < nFrames; ++i) {
            CRect rc = m_rectCaption;
            rc.OffsetRect(0, i * m_nFrameHeight);
            dc.SetTextColor(i < nDisabledFrames ? kCaptionGrey : RGB(0, 0, 0));
            dc.DrawText(strCaption, &rc, nFormat);
        }
        dc.SelectObject(hOld);
    } else {
        // The caption goes to the right of the picture, in a wider strip
        // whose frames are tall enough for both.
        TEXTMETRIC tm{};
        dc.GetTextMetrics(&tm);
        UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (nMaxWidth > 0 && rectText.Width() > nMaxWidth) {
            nFormat = DT_WORDBREAK | DT_NOPREFIX;
            rectText.SetRect(0, 0, nMaxWidth, 0);
            dc.DrawText(strCaption, &rectText, DT_CALCRECT | nFormat);
        }
        const int nTextWidth = rectText.Width();
        const int nTextHeight = rectText.Height();
        const int nNewWidth = nTextWidth + tm.tmOverhang + nStripWidth + 8;
        const int nNewHeight = std::max(m_nFrameHeight, nTextHeight + 4);
        const int nPictureTop = (nNewHeight - m_nFrameHeight) / 2;

        CBitmap strip;
        {
            CClientDC screen(nullptr);
            bDone = strip.CreateCompatibleBitmap(&screen, nNewWidth, nNewHeight * nFrames);
        }
        CDC dcOld;
        if (bDone)
            bDone = dcOld.CreateCompatibleDC(nullptr);
        if (bDone) {
            CBitmap* pOld = dc.SelectObject(&strip);
            HGDIOBJ hOldStrip = dcOld.SelectObject(HGDIOBJ(m_strip.m_hBitmap));
            dc.FillSolidRect(0, 0, nNewWidth, nNewHeight * nFrames, kKeyColor);
            dc.SetBkMode(TRANSPARENT);
            const CRect rectCaption(CPoint(nStripWidth + tm.tmOverhang + 4, (nNewHeight - nTextHeight) / 2),
                CSize(nTextWidth, nTextHeight));
            for (int i = 0; i < nFrames; ++i) {
                const int nTop = i * nNewHeight;
                dc.BitBlt(0, nTop + nPictureTop, nStripWidth, m_nFrameHeight, &dcOld, 0, i * m_nFrameHeight, SRCCOPY);
                CRect rc = rectCaption;
                rc.OffsetRect(0, nTop);
                dc.SetTextColor(i < nDisabledFrames ? kCaptionGrey : RGB(0, 0, 0));
                dc.DrawText(strCaption, &rc, nFormat);
            }
            dcOld.SelectObject(hOldStrip);
            dc.SelectObject(pOld);
            m_strip.Replace(HBITMAP(strip.Detach()), nNewWidth, nNewHeight * nFrames);
            m_rectCaption = rectCaption;
            m_nFrameHeight = nNewHeight;
            // The mask was made from the picture alone, which now stands
            // centred in the taller frame.
            m_nMaskTop = nPictureTop;
        }
    }
    dc.SelectObject(pOldFont);
    return bDone;
}

BOOL CBMPButton::MakeFrameBitmaps()
{
    CClientDC dc(this);
    CPaletteSelector selector(&dc, nullptr);
    m_bBackgroundSaved = FALSE;
    return m_bmpBackground.CreateCompatibleBitmap(&dc, m_strip.m_nWidth, m_nFrameHeight)
        && m_bmpFace.CreateCompatibleBitmap(&dc, m_strip.m_nWidth, m_nFrameHeight);
}

// ---- Checking -------------------------------------------------------------------------------

void CBMPButton::SetButtonState(int nState)
{
    if (m_nState == nState)
        return;
    m_nState = nState;
    if (m_hWnd)
        Invalidate(FALSE);
}

void CBMPButton::SetCheck(BOOL bChecked)
{
    SetButtonState(bChecked ? stateDown : stateReleased);
    if (bChecked && IsRadioKind(m_wKind) && m_hWnd)
        UncheckGroup();
}

CBMPButton* CBMPButton::FromSibling(HWND hWnd)
{
    return dynamic_cast<CBMPButton*>(CWnd::FromHandlePermanent(hWnd));
}

void CBMPButton::UncheckGroup()
{
    auto uncheck = [](HWND hWnd) {
        CBMPButton* pButton = FromSibling(hWnd);
        if (pButton != nullptr && pButton->IsChecked())
            pButton->SetCheck(FALSE);
    };
    // Back to the button that starts the group (none when this one does).
    if (!(GetStyle() & WS_GROUP)) {
        for (HWND h = ::GetWindow(m_hWnd, GW_HWNDPREV); h != NULL; h = ::GetWindow(h, GW_HWNDPREV)) {
            uncheck(h);
            if (::GetWindowLong(h, GWL_STYLE) & WS_GROUP)
                break;
        }
    }
    for (HWND h = ::GetWindow(m_hWnd, GW_HWNDNEXT); h != NULL && !(::GetWindowLong(h, GWL_STYLE) & WS_GROUP);
         h = ::GetWindow(h, GW_HWNDNEXT))
        uncheck(h);
}

// ---- Drawing ---------------------------------------------------------------------------------

void CBMPButton::ChooseFrame(int nKind, int nState, UINT nItemState, int& nGroup, int& nFrame)
{
    int nChosen = groupNormal;
    if (nItemState & ODS_DISABLED)
        nChosen = GroupWeight(nKind, groupDisabled) > 0 ? groupDisabled : groupNormal;
    else if (nState == stateDown)
        nChosen = groupPressed;
    else if (nState == stateHover)
        nChosen = groupHover;
    else if (nState == stateReleased && GroupWeight(nKind, groupPressed) > 1 && nGroup == groupPressed)
        nChosen = groupPressed;
    else if (nState == stateHoverEnding && GroupWeight(nKind, groupHover) > 1 && nGroup == groupHover)
        nChosen = groupHover;
    else if ((nItemState & ODS_FOCUS) && GroupWeight(nKind, groupFocused) > 0)
        nChosen = groupFocused;
    if (nChosen != nGroup) {
        nGroup = nChosen;
        nFrame = 1;
    }
    nFrame = std::clamp(nFrame, 1, std::max(1, GroupWeight(nKind, nGroup)));
}

void CBMPButton::DrawCurrentFrame(CDC* pDC, int x, int y) const
{
    if (!m_strip.m_hBitmap || m_nFrameHeight <= 0)
        return;
    int nRow = m_nFrame - 1;
    for (int g = groupDisabled; g < m_nGroup; ++g)
        nRow += GroupWeight(m_wKind, g);
    const RECT source{0, nRow * m_nFrameHeight, m_strip.m_nWidth, (nRow + 1) * m_nFrameHeight};
    DrawTransparentBitmap(pDC->GetSafeHdc(), x, y, m_strip.m_nWidth, m_nFrameHeight, m_strip.m_hBitmap, source,
        kKeyColor);
}

void CBMPButton::SaveBackground()
{
    // The parent's pixels under the button, before the button first covers
    // them; later draws start from this copy.
    HWND hParent = ::GetParent(m_hWnd);
    if (!hParent || !m_bmpBackground.GetSafeHandle())
        return;
    CRect rc;
    GetWindowRect(&rc);
    ::MapWindowPoints(NULL, hParent, reinterpret_cast<LPPOINT>(&rc), 2);
    HDC hParentDC = ::GetDC(hParent);
    if (!hParentDC)
        return;
    CDC dc;
    if (dc.CreateCompatibleDC(nullptr)) {
        CBitmap* pOld = dc.SelectObject(&m_bmpBackground);
        ::BitBlt(dc.GetSafeHdc(), 0, 0, rc.Width(), rc.Height(), hParentDC, rc.left, rc.top, SRCCOPY);
        dc.SelectObject(pOld);
        m_bBackgroundSaved = TRUE;
    }
    ::ReleaseDC(hParent, hParentDC);
}

void CBMPButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (!lpDIS || !m_hWnd || !m_strip.m_hBitmap || !m_bmpFace.GetSafeHandle())
        return;
    ChooseFrame(m_wKind, m_nState, lpDIS->itemState, m_nGroup, m_nFrame);
    if (!m_bBackgroundSaved)
        SaveBackground();

    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect client;
    GetClientRect(&client);
    CDC dcFace;
    CDC dcBack;
    if (!dcFace.CreateCompatibleDC(pDC) || !dcBack.CreateCompatibleDC(pDC))
        return;
    CPaletteSelector screenPalette(pDC, nullptr);
    CPaletteSelector facePalette(&dcFace, nullptr);
    CBitmap* pOldFace = dcFace.SelectObject(&m_bmpFace);
    CBitmap* pOldBack = dcBack.SelectObject(&m_bmpBackground);
    dcFace.BitBlt(0, 0, client.Width(), client.Height(), &dcBack, 0, 0, SRCCOPY);
    dcBack.SelectObject(pOldBack);

    // Strip buttons that overlap this one show through where it is keyed.
    CRect mine;
    GetWindowRect(&mine);
    for (HWND h = ::GetWindow(m_hWnd, GW_HWNDFIRST); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        CBMPButton* pSibling = h != m_hWnd ? FromSibling(h) : nullptr;
        if (pSibling == nullptr || !pSibling->IsWindowVisible())
            continue;
        CRect theirs;
        pSibling->GetWindowRect(&theirs);
        CRect overlap;
        if (overlap.IntersectRect(&mine, &theirs))
            pSibling->DrawCurrentFrame(&dcFace, theirs.left - mine.left, theirs.top - mine.top);
    }
    DrawCurrentFrame(&dcFace, 0, 0);

    if (GetState() & BST_FOCUS) {
        CRect focus = client;
        if (IsPushKind(m_wKind)) {
            focus.DeflateRect(2, 2);
        } else {
            focus = m_rectCaption;
            focus.InflateRect(4, 2);
        }
        dcFace.DrawFocusRect(&focus);
    }
    pDC->BitBlt(0, 0, client.Width(), client.Height(), &dcFace, 0, 0, SRCCOPY);
    dcFace.SelectObject(pOldFace);
}

BOOL CBMPButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_CTLCOLORBTN) {
        if (pResult)
            *pResult = LRESULT(::GetStockObject(NULL_BRUSH));
        return TRUE;
    }
    return CButton::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- Mouse, keys and ticks -----------------------------------------------------------------

BOOL CBMPButton::HitTest(CPoint point) const
{
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point) || !IsWindowEnabled() || !IsWindowVisible())
        return FALSE;
    CWnd* pMain = AfxGetMainWnd();
    if (pMain == nullptr || !::IsWindow(pMain->GetSafeHwnd()))
        return FALSE;
    for (HWND h = ::GetParent(m_hWnd); h != NULL; h = ::GetParent(h)) {
        CWnd* pAncestor = CWnd::FromHandlePermanent(h);
        if (pAncestor != nullptr
            && (pAncestor->IsKindOf(RUNTIME_CLASS(CDialog)) || pAncestor->IsKindOf(RUNTIME_CLASS(CFrameWnd)))) {
            if (!::IsWindowEnabled(h))
                return FALSE;
            break;
        }
    }
    if (m_hMask) {
        CDC dc;
        if (!dc.CreateCompatibleDC(nullptr))
            return FALSE;
        HGDIOBJ hOld = dc.SelectObject(HGDIOBJ(m_hMask));
        // Outside the mask (the caption beside a radio picture) is no hit.
        const COLORREF crMask = dc.GetPixel(point.x, point.y - m_nMaskTop);
        dc.SelectObject(hOld);
        if (crMask != RGB(0, 0, 0))
            return FALSE;
    }
    return TRUE;
}

BOOL CBMPButton::PassToSibling(UINT message, WPARAM wParam, CPoint point)
{
    HWND hParent = ::GetParent(m_hWnd);
    if (!hParent)
        return FALSE;
    CPoint screen = point;
    ClientToScreen(&screen);
    // Those after this one, then from the first up to it.
    std::vector<HWND> order;
    for (HWND h = ::GetWindow(m_hWnd, GW_HWNDNEXT); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT))
        order.push_back(h);
    for (HWND h = ::GetWindow(m_hWnd, GW_HWNDFIRST); h != NULL && h != m_hWnd; h = ::GetWindow(h, GW_HWNDNEXT))
        order.push_back(h);
    for (HWND h : order) {
        CBMPButton* pSibling = FromSibling(h);
        if (pSibling == nullptr)
            continue;
        CPoint mapped = screen;
        pSibling->ScreenToClient(&mapped);
        if (pSibling->HitTest(mapped)) {
            ::SendMessage(h, message, wParam, MAKELPARAM(WORD(SHORT(mapped.x)), WORD(SHORT(mapped.y))));
            return TRUE;
        }
    }
    return FALSE;
}

void CBMPButton::ReleaseOwnCapture()
{
    if (m_hWnd && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CBMPButton::NotifyRest(BOOL bResting)
{
    if (HWND hParent = ::GetParent(m_hWnd))
        ::SendMessage(hParent, WM_BMPBUTTON_REST, WPARAM(GetDlgCtrlID()), bResting ? 1 : 0);
}

void CBMPButton::OnAnimationTick()
{
    const HWND hSelf = m_hWnd;
    const int nStateBefore = m_nState;
    const int nFrameBefore = m_nFrame;
    if (::GetCapture() != m_hWnd && (m_nState == stateHover || m_nState == stateDown)) {
        // The pointer left without the button seeing it go.
        m_bMouseDown = FALSE;
        m_bPointInside = FALSE;
        if (m_nState == stateDown && IsPushKind(m_wKind))
            m_nState = stateReleased;
        else if (m_nState == stateHover)
            m_nState = stateHoverEnding;
    }
    const int nHoverFrames = GroupWeight(m_wKind, groupHover);
    const int nPressedFrames = GroupWeight(m_wKind, groupPressed);
    switch (m_nState) {
    case stateDown:
        if (nPressedFrames > 1 && m_nGroup == groupPressed && m_nFrame < nPressedFrames)
            ++m_nFrame;
        break;
    case stateHover:
        if (nHoverFrames > 1 && m_nGroup == groupHover && m_nFrame < nHoverFrames)
            ++m_nFrame;
        break;
    case stateReleased:
        if (m_nGroup == groupPressed && m_nFrame >= 2)
            --m_nFrame;
        else
            m_nState = stateNormal;
        break;
    case stateHoverEnding:
        if (m_nGroup == groupHover && m_nFrame >= 2)
            --m_nFrame;
        else
            m_nState = stateNormal;
        break;
    default:
        break;
    }

    const BOOL bAtEnd = (m_nState == stateHover && m_nGroup == groupHover && m_nFrame >= nHoverFrames)
        || (!IsPushKind(m_wKind) && m_bPointInside && m_nState == stateDown && m_nGroup == groupPressed
            && m_nFrame >= nPressedFrames);
    if (bAtEnd) {
        if (m_nHoverTicks < 2) {
            ++m_nHoverTicks;
        } else if (m_nHoverTicks == 2) {
            m_nHoverTicks = 3;
            NotifyRest(TRUE);
        }
    } else if (m_nHoverTicks != 0) {
        const BOOL bWasResting = m_nHoverTicks > 2;
        m_nHoverTicks = 0;
        if (bWasResting)
            NotifyRest(FALSE);
    }
    if (::IsWindow(hSelf) && (m_nState != nStateBefore || m_nFrame != nFrameBefore))
        Invalidate(FALSE);
}

LRESULT CBMPButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint point(short(LOWORD(lParam)), short(HIWORD(lParam)));
    switch (message) {
    case WM_LBUTTONDOWN:
        if (!HitTest(point)) {
            PassToSibling(message, wParam, point);
            return 0;
        }
        m_bMouseDown = TRUE;
        SetCapture();
        if (IsPushKind(m_wKind))
            SetCheck(TRUE);
        break;

    case WM_MOUSEMOVE:
        if (HitTest(point)) {
            m_bPointInside = TRUE;
            if (::GetCapture() != m_hWnd)
                SetCapture();
            LPCTSTR lpszHand = MAKEINTRESOURCE(IDC_OBJECT_HAND);
            if (HCURSOR hHand = ::LoadCursor(AfxFindResourceHandle(lpszHand, RT_GROUP_CURSOR), lpszHand))
                ::SetCursor(hHand);
            if (IsPushKind(m_wKind) && m_bMouseDown)
                SetButtonState(stateDown);
            if (m_nState != stateHover && m_nState != stateDown)
                SetButtonState(stateHover);
        } else {
            m_bPointInside = FALSE;
            ::SetCursor(::LoadCursor(NULL, IDC_ARROW));
            if (IsPushKind(m_wKind) && m_nState == stateDown)
                SetButtonState(stateReleased);
            else if (m_nState == stateHover)
                SetButtonState(stateHoverEnding);
            if (!m_bMouseDown) {
                ReleaseOwnCapture();
                const HWND hSelf = m_hWnd;
                PassToSibling(message, wParam, point);
                if (!::IsWindow(hSelf))
                    return 0;
            }
        }
        break;

    case WM_LBUTTONUP: {
        const BOOL bWasDown = m_bMouseDown;
        m_bMouseDown = FALSE;
        if (HitTest(point)) {
            if (IsRadioKind(m_wKind)) {
                if (bWasDown)
                    SetCheck(TRUE);
            } else if (IsToggleKind(m_wKind)) {
                if (bWasDown)
                    SetCheck(!IsChecked());
            } else {
                SetCheck(FALSE);
            }
        }
        const HWND hSelf = m_hWnd;
        const LRESULT result = CButton::WindowProc(message, wParam, lParam);
        if (::IsWindow(hSelf))
            ReleaseOwnCapture();
        return result;
    }

    case WM_KEYDOWN:
        if (IsPushKind(m_wKind)) {
            if (wParam == VK_RETURN)
                wParam = VK_SPACE;
            if (wParam == VK_SPACE)
                SetCheck(TRUE);
        }
        break;

    case WM_KEYUP:
        if (IsPushKind(m_wKind) && wParam == VK_RETURN)
            wParam = VK_SPACE;
        if (wParam == VK_SPACE) {
            if (IsRadioKind(m_wKind))
                SetCheck(TRUE);
            else if (IsToggleKind(m_wKind))
                SetCheck(!IsChecked());
            else
                SetCheck(FALSE);
        }
        break;

    case WM_GETDLGCODE: {
        LRESULT code = CButton::WindowProc(message, wParam, lParam);
        // Enter is the button's own while it is held, not the dialog's.
        if (::GetKeyState(VK_RETURN) < 0)
            code |= DLGC_WANTALLKEYS;
        return code;
    }

    case WM_KILLFOCUS:
        m_bMouseDown = FALSE;
        m_bPointInside = FALSE;
        if (IsPushKind(m_wKind))
            SetCheck(FALSE);
        ReleaseOwnCapture();
        break;

    case WM_ENABLE:
    case WM_SHOWWINDOW:
        if (!wParam)
            ReleaseOwnCapture();
        break;

    case WM_DESTROY:
        ReleaseOwnCapture();
        theTimedEvents.RemoveEvent(m_hWnd, kEventId);
        break;

    case WM_ERASEBKGND:
        return 1;

    case WM_TIMEDEVENT_TICK:
        OnAnimationTick();
        return 0;

    default:
        break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}
