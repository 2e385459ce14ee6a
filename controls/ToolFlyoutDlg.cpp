#include "controls/ToolFlyoutDlg.h"

#include "controls/PaletteSelector.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/User.h"
#include "resources/toolnav.h"

#include <algorithm>

CToolFlyoutDlg::CToolFlyoutDlg(HBITMAP hStrip, int nFrames, CWnd* pParent)
    : CDialog(IDD_TOOL_FLYOUT, pParent)
    , m_hStrip(hStrip)
    , m_nFrames(std::clamp(nFrames, 1, 0xFFFF))
{
}

CToolFlyoutDlg::~CToolFlyoutDlg() = default;

int CToolFlyoutDlg::StepSelection(int nIndex, int nStep, int nCount)
{
    if (nCount < 1)
        return 0;
    // A true modulo: a step of -2 from frame 0 of a single frame stays on
    // it instead of leaving the frames.
    const int nWrapped = (nIndex + nStep) % nCount;
    return nWrapped < 0 ? nWrapped + nCount : nWrapped;
}

CPoint CToolFlyoutDlg::PlaceNearCursor(POINT ptCursor, int nWidth, int nScreenWidth)
{
    if (ptCursor.x + nWidth - kCursorOffset >= nScreenWidth)
        return CPoint(ptCursor.x + kCursorOffset - nWidth, ptCursor.y - kCursorOffset);
    return CPoint(ptCursor.x - kCursorOffset, ptCursor.y - kCursorOffset);
}

void CToolFlyoutDlg::Layout()
{
    BITMAP bm{};
    if (m_hStrip != NULL && ::GetObject(m_hStrip, sizeof bm, &bm) != 0 && bm.bmWidth > 0 && bm.bmHeight > 0)
        m_sizeFrame = CSize(bm.bmWidth, bm.bmHeight / m_nFrames);
    else
        m_sizeFrame = CSize(0, 0);
    m_sizeCell = CSize(m_sizeFrame.cx + 2 * kCellMargin, m_sizeFrame.cy + 2 * kCellMargin);
    const int nRows = (m_nFrames + 1) / kColumns;
    const int nWidth = kColumns * (::GetSystemMetrics(SM_CXDLGFRAME) + m_sizeCell.cx);
    const int nHeight = nRows * m_sizeCell.cy + 2 * ::GetSystemMetrics(SM_CYDLGFRAME);
    POINT ptCursor{};
    ::GetCursorPos(&ptCursor);
    // A chooser opened without the pointer (x = 0, as from the keyboard)
    // keeps the place it was made at.
    if (ptCursor.x == 0) {
        SetWindowPos(nullptr, 0, 0, nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    const CPoint topLeft = PlaceNearCursor(ptCursor, nWidth, ::GetSystemMetrics(SM_CXSCREEN));
    SetWindowPos(nullptr, topLeft.x, topLeft.y, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CToolFlyoutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    Layout();
    SetCapture();
    return TRUE;
}

CRect CToolFlyoutDlg::FrameRect(int nIndex) const
{
    const int x = (nIndex % kColumns) * m_sizeCell.cx + kCellMargin;
    const int y = (nIndex / kColumns) * m_sizeCell.cy + kCellMargin;
    return CRect(x, y, x + m_sizeFrame.cx, y + m_sizeFrame.cy);
}

void CToolFlyoutDlg::OnPaint()
{
    CPaintDC dc(this);
    if (m_hStrip != NULL && m_sizeFrame.cx > 0 && m_sizeFrame.cy > 0) {
        CDC memDC;
        if (memDC.CreateCompatibleDC(&dc)) {
            CPaletteSelector palette(&dc, nullptr);
            HGDIOBJ hOld = ::SelectObject(memDC.m_hDC, m_hStrip);
            for (int i = 0; i < m_nFrames; ++i) {
                const CRect rect = FrameRect(i);
                dc.BitBlt(rect.left, rect.top, m_sizeFrame.cx, m_sizeFrame.cy, &memDC, 0, m_sizeFrame.cy * i,
                    SRCCOPY);
            }
            ::SelectObject(memDC.m_hDC, hOld);
        }
    }
    CRect focus = FrameRect(m_nSelected);
    focus.InflateRect(2, 2);
    dc.DrawFocusRect(&focus);
}

void CToolFlyoutDlg::Close(int nResult)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    EndDialog(nResult);
}

void CToolFlyoutDlg::OnKeyDown(UINT nKey)
{
    int nStep = 0;
    switch (nKey) {
    case VK_LEFT:
        nStep = -1;
        break;
    case VK_UP:
        nStep = -kColumns;
        break;
    case VK_RIGHT:
        nStep = 1;
        break;
    case VK_DOWN:
        nStep = kColumns;
        break;
    case VK_TAB:
        nStep = ::GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
        break;
    case VK_RETURN:
    case VK_SPACE:
        Close(IDOK);
        return;
    case VK_SHIFT:
        return;
    default:
        Close(IDCANCEL);
        return;
    }
    m_nSelected = StepSelection(m_nSelected, nStep, m_nFrames);
    Invalidate();
}

void CToolFlyoutDlg::OnButtonUp(UINT message, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (message != WM_LBUTTONUP || !client.PtInRect(point) || m_sizeCell.cx <= 0 || m_sizeCell.cy <= 0) {
        Close(IDCANCEL);
        return;
    }
    const int nIndex = point.x / m_sizeCell.cx + kColumns * (point.y / m_sizeCell.cy);
    // The empty cell beside an odd count's last frame chooses nothing.
    if (nIndex >= m_nFrames) {
        Close(IDCANCEL);
        return;
    }
    m_nSelected = nIndex;
    Close(IDOK);
}

void CToolFlyoutDlg::OnButtonDown(CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point))
        Close(IDCANCEL);
}

BOOL CToolFlyoutDlg::PreTranslateMessage(MSG* pMsg)
{
    // The chooser takes every key itself: the dialog manager would turn
    // Tab, the arrows, Enter and Escape into focus moves and commands.
    const bool bKey = pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN || pMsg->message == WM_CHAR
        || pMsg->message == WM_SYSCHAR || pMsg->message == WM_KEYUP || pMsg->message == WM_SYSKEYUP;
    if (bKey && pMsg->hwnd == m_hWnd)
        return FALSE;
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CToolFlyoutDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        OnKeyDown(UINT(wParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        OnButtonUp(message, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnButtonDown(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_SHOWWINDOW:
        // The capture is taken again once the chooser is on screen, where
        // the loop showed it after OnInitDialog.
        if (wParam != 0) {
            LRESULT result = CDialog::WindowProc(message, wParam, lParam);
            SetCapture();
            return result;
        }
        break;
    case WM_DESTROY:
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
