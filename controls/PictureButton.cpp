#include "controls/PictureButton.h"

#include "controls/SharedFonts.h"
#include "platform/base/CharClass.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/PropertySheet.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(C3DPicTrickBtn, CButton)
IMPLEMENT_DYNCREATE(C3DWidePicBtn, C3DPicTrickBtn)

BEGIN_MESSAGE_MAP(C3DPicTrickBtn, CButton)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

namespace {

// What WM_GETDLGCODE answers: a push button that is not the default and
// that wants every key, so that the dialog manager leaves Tab, the arrows,
// Enter and Esc to it.
constexpr LRESULT kDialogCode = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_WANTALLKEYS;

// Private messages the kit's other controls send to every picture button.
constexpr UINT kMsgQuery464 = WM_USER + 0x64;
constexpr UINT kMsgGetCaption = WM_USER + 0x65; // wParam characters into lParam
constexpr UINT kMsgQuery466 = WM_USER + 0x66;
constexpr UINT kMsgQuery467 = WM_USER + 0x67;
constexpr UINT kMsgQuery469 = WM_USER + 0x69;

// Ids at and above this are the system's own, never sent as commands.
constexpr int kFirstSystemId = 0xFF00;

constexpr COLORREF kDisabledText = RGB(128, 128, 128);
// Large enough for any caption on one line.
constexpr int kMeasureExtent = 32760;
// How far the face moves when pressed.
constexpr int kPressOffset = 2;

bool IsPushButtonWindow(HWND hWnd)
{
    char name[16] = {};
    if (!hWnd || ::GetClassName(hWnd, name, int(sizeof name)) <= 0)
        return false;
    if (::lstrcmpi(name, "Button") != 0)
        return false;
    DWORD type = DWORD(::GetWindowLong(hWnd, GWL_STYLE)) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool PointInClient(HWND hWnd, LPARAM lParam)
{
    RECT client;
    ::GetClientRect(hWnd, &client);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return ::PtInRect(&client, pt) != FALSE;
}

} // namespace

C3DPicTrickBtn::C3DPicTrickBtn()
    : m_pFont(GetSharedFont(0))
    , m_crText(::GetSysColor(COLOR_BTNTEXT))
{
}

C3DPicTrickBtn::~C3DPicTrickBtn()
{
    delete m_pNormalBitmap;
    delete m_pPressedBitmap;
    delete m_pFocusBitmap;
    delete m_pDisabledBitmap;
}

C3DWidePicBtn::C3DWidePicBtn()
{
    m_wStyle = 0;
    m_wAlignment = alignLeft;
    m_nPictureWidth = 18;
    m_nPictureHeight = 20;
}

// ---- Icons --------------------------------------------------------------------------

namespace {

HICON LoadProgramIcon(int nID)
{
    LPCSTR name = MAKEINTRESOURCE(nID);
    return ::LoadIcon(AfxFindResourceHandle(name, RT_GROUP_ICON), name);
}

} // namespace

void C3DPicTrickBtn::SetIcon(int nID)
{
    m_nIconID = nID;
    m_hIcon = LoadProgramIcon(nID);
    if (m_hWnd)
        SendMessage(BM_SETSTYLE, WPARAM((GetStyle() & 0xFF) | BS_OWNERDRAW), TRUE);
}

BOOL C3DPicTrickBtn::SubclassWithIcon(UINT nID, CWnd* pParent, int nIconID)
{
    if (!SubclassDlgItem(nID, pParent))
        return FALSE;
    SetIcon(nIconID);
    return TRUE;
}

void C3DPicTrickBtn::SetIcons(int nID, int nDisabledID)
{
    m_hDisabledIcon = LoadProgramIcon(nDisabledID);
    SetIcon(nID);
}

// ---- Window procedure ---------------------------------------------------------------

HWND C3DPicTrickBtn::OwnerWindow() const
{
    return platform::HandleOf(GetOwner());
}

LRESULT C3DPicTrickBtn::AskParentDefId() const
{
    HWND hParent = ::GetParent(m_hWnd);
    return hParent ? ::SendMessage(hParent, DM_GETDEFID, 0, 0) : 0;
}

void C3DPicTrickBtn::LearnDefaultState()
{
    if (m_nDefaultState != -1)
        return;
    LRESULT def = AskParentDefId();
    m_nDefaultState = (HIWORD(def) == DC_HASDEFID && LOWORD(def) == WORD(GetDlgCtrlID())) ? 1 : 0;
}

LRESULT C3DPicTrickBtn::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        if (m_bOwnsIcon && m_hIcon) {
            ::DestroyIcon(m_hIcon);
            m_hIcon = NULL;
        }
        return CButton::WindowProc(message, wParam, lParam);
    case WM_ENABLE:
        Invalidate(FALSE);
        return 1;
    case WM_SETTEXT: {
        HWND self = m_hWnd;
        LRESULT result = CButton::WindowProc(message, wParam, lParam);
        if (::IsWindow(self)) {
            Invalidate(TRUE);
            UpdateWindow();
        }
        return result;
    }
    case WM_PAINT: {
        // The window system sends WM_NCPAINT only to windows with a frame;
        // a borderless button learns its default state at its first paint.
        LearnDefaultState();
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(m_hWnd, &ps);
        if (hdc) {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = UINT(GetDlgCtrlID());
            dis.itemID = UINT(-1);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = (m_bPressed ? ODS_SELECTED : 0) | (IsWindowEnabled() ? 0 : ODS_DISABLED);
            dis.hwndItem = m_hWnd;
            dis.hDC = hdc;
            GetClientRect(&dis.rcItem);
            dis.itemData = 0;
            DrawItem(&dis);
        }
        ::EndPaint(m_hWnd, &ps);
        return 1;
    }
    case WM_CANCELMODE:
        CButton::WindowProc(message, wParam, lParam);
        if (m_bTracking) {
            m_bTracking = FALSE;
            if (!m_bCommandOnPress)
                m_bPressed = FALSE;
            Invalidate(FALSE);
        }
        return 0;
    case WM_NCPAINT:
        LearnDefaultState();
        return CButton::WindowProc(message, wParam, lParam);
    case WM_GETDLGCODE:
        return kDialogCode;
    case BM_SETSTATE:
    case WM_SYSKEYUP:
        return 1;
    case WM_KEYDOWN:
        return OnKeyDown(wParam, lParam);
    case WM_KEYUP:
        return OnKeyUp(wParam, lParam);
    case WM_MOUSEMOVE:
        if (m_bTracking && !m_bCommandOnPress)
            return OnTrackMove(lParam);
        return CButton::WindowProc(message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnButtonDown();
    case WM_LBUTTONUP:
        return OnButtonUp(lParam);
    case kMsgQuery464:
    case kMsgQuery466:
    case kMsgQuery467:
        return 0;
    case kMsgGetCaption:
        if (lParam && int(wParam) > 0)
            ::GetWindowText(m_hWnd, reinterpret_cast<LPSTR>(lParam), int(wParam));
        return 0;
    case kMsgQuery469:
        return 1;
    default:
        return CButton::WindowProc(message, wParam, lParam);
    }
}

LRESULT C3DPicTrickBtn::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    HWND hParent = ::GetParent(m_hWnd);
    switch (wParam) {
    case VK_TAB: {
        BOOL bPrevious = ::GetKeyState(VK_SHIFT) < 0;
        if (HWND next = hParent ? ::GetNextDlgTabItem(hParent, ::GetFocus(), bPrevious) : NULL)
            ::SetFocus(next);
        return 1;
    }
    case VK_RETURN: {
        // The command may destroy the dialog, and this button with it.
        HWND self = m_hWnd;
        CWnd* pOwner = GetOwner();
        if (pOwner && pOwner->IsKindOf(RUNTIME_CLASS(CDialog))) {
            LRESULT def = pOwner->SendMessage(DM_GETDEFID, 0, 0);
            if (def != 0) {
                // The whole answer goes out as wParam: the command's id is
                // its low word, and a command with no control window is
                // routed by its id whatever the high word holds.
                pOwner->SendMessage(WM_COMMAND, WPARAM(def), 0);
                return ::IsWindow(self) ? CButton::WindowProc(WM_KEYDOWN, wParam, lParam) : 0;
            }
        }
        if (pOwner && pOwner->IsKindOf(RUNTIME_CLASS(CPropertySheet))) {
            pOwner->SendMessage(WM_COMMAND, IDOK, 0);
            return ::IsWindow(self) ? CButton::WindowProc(WM_KEYDOWN, wParam, lParam) : 0;
        }
        ClickSelf();
        return 1;
    }
    case VK_ESCAPE:
        if (hParent)
            ::PostMessage(hParent, WM_KEYDOWN, wParam, lParam);
        return 1;
    case VK_SPACE:
        ClickSelf();
        return 1;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        BOOL bPrevious = wParam == VK_LEFT || wParam == VK_UP;
        if (HWND next = hParent ? ::GetNextDlgGroupItem(hParent, m_hWnd, bPrevious) : NULL)
            ::SetFocus(next);
        return 1;
    }
    default: {
        HWND hOwner = OwnerWindow();
        return hOwner ? ::SendMessage(hOwner, WM_KEYDOWN, wParam, lParam) : 0;
    }
    }
}

LRESULT C3DPicTrickBtn::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case VK_TAB:
    case VK_ESCAPE:
    case VK_SPACE:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return 1;
    default:
        if (m_bCommandOnPress)
            return 1;
        if (HWND hOwner = OwnerWindow())
            return ::SendMessage(hOwner, WM_KEYUP, wParam, lParam);
        return 0;
    }
}

void C3DPicTrickBtn::ClickSelf()
{
    HWND self = m_hWnd;
    ::SendMessage(self, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    if (::IsWindow(self) && !m_bCommandOnPress)
        ::SendMessage(self, WM_LBUTTONUP, 0, 0);
}

void C3DPicTrickBtn::SendCommandToOwner()
{
    int nID = GetDlgCtrlID();
    if (HWND hOwner = OwnerWindow())
        ::SendMessage(hOwner, WM_COMMAND, MAKEWPARAM(WORD(nID), BN_CLICKED), LPARAM(m_hWnd));
}

LRESULT C3DPicTrickBtn::OnButtonDown()
{
    HWND self = m_hWnd;
    if (!m_bNoFocus)
        ::SetFocus(self);
    if (!::IsWindow(self))
        return 1;
    m_bPressed = TRUE;
    if (m_bCommandOnPress) {
        Invalidate();
        UpdateWindow();
        if (GetDlgCtrlID() > 0) {
            SendCommandToOwner();
            if (!::IsWindow(self))
                return 1;
        }
        Invalidate();
        return 1;
    }
    m_bTracking = TRUE;
    ::SetCapture(self);
    Invalidate();
    return 1;
}

LRESULT C3DPicTrickBtn::OnButtonUp(LPARAM lParam)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (!m_bTracking)
        return 1;
    m_bTracking = FALSE;
    if (m_bCommandOnPress)
        return 1;
    BOOL bWasPressed = m_bPressed;
    m_bPressed = FALSE;
    if (PointInClient(m_hWnd, lParam)) {
        Invalidate();
        UpdateWindow();
        int nID = GetDlgCtrlID();
        if (nID < kFirstSystemId)
            SendCommandToOwner();
    } else if (bWasPressed) {
        // Released outside without a move that showed it raised.
        Invalidate();
    }
    return 1;
}

LRESULT C3DPicTrickBtn::OnTrackMove(LPARAM lParam)
{
    bool inside = PointInClient(m_hWnd, lParam);
    if (!inside && m_bPressed) {
        m_bPressed = FALSE;
        Invalidate();
    } else if (inside && !m_bPressed) {
        m_bPressed = TRUE;
        Invalidate();
    }
    return 1;
}

BOOL C3DPicTrickBtn::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        HWND hOwner = OwnerWindow();
        if (hOwner && hOwner != ::GetParent(m_hWnd)) {
            ::SendMessage(hOwner, WM_COMMAND, WPARAM(LOWORD(wParam)), 0);
            return TRUE;
        }
    }
    return CButton::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- Focus and the default button ----------------------------------------------------

void C3DPicTrickBtn::OnSetFocus(CWnd* pOldWnd)
{
    HWND hOld = platform::HandleOf(pOldWnd);
    HWND self = m_hWnd;
    // The system button records its focus for the dialog manager first.
    Default();
    if (!::IsWindow(self) || hOld == self)
        return;
    if (m_bNoFocus) {
        if (hOld && ::IsWindow(hOld))
            ::SetFocus(hOld);
        return;
    }
    HWND hParent = ::GetParent(m_hWnd);
    LRESULT def = AskParentDefId();
    if (hParent && HIWORD(def) == DC_HASDEFID) {
        int nID = GetDlgCtrlID();
        if (nID != 0)
            ::SendMessage(hParent, DM_SETDEFID, WPARAM(nID), 0);
        HWND hWasDefault = ::GetDlgItem(hParent, LOWORD(def));
        if (hWasDefault && hWasDefault != m_hWnd)
            ::InvalidateRect(hWasDefault, nullptr, TRUE);
    }
    Invalidate();
}

void C3DPicTrickBtn::OnKillFocus(CWnd* pNewWnd)
{
    HWND hNew = platform::HandleOf(pNewWnd);
    HWND self = m_hWnd;
    Default();
    if (!::IsWindow(self))
        return;
    HWND hParent = ::GetParent(m_hWnd);
    if (!hNew || !hParent || !::IsChild(hParent, hNew) || m_bNoFocus)
        return;
    Invalidate();
    // A push button that takes the focus becomes the default itself.
    if (IsPushButtonWindow(hNew))
        return;
    if (m_nDefaultState == 1)
        return;
    // Otherwise the default goes back to the picture button that was the
    // default when the dialog was first shown.
    for (HWND c = ::GetWindow(hParent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if (c == m_hWnd)
            continue;
        auto* pButton = dynamic_cast<C3DPicTrickBtn*>(CWnd::FromHandlePermanent(c));
        if (!pButton || pButton->m_bNoFocus || pButton->m_nDefaultState != 1)
            continue;
        ::SendMessage(hParent, DM_SETDEFID, WPARAM(pButton->GetDlgCtrlID()), 0);
        ::InvalidateRect(c, nullptr, TRUE);
        break;
    }
}

// ---- Layout ----------------------------------------------------------------------------

SIZE C3DPicTrickBtn::PictureCell(int nWidth, int nHeight, LONG baseUnits)
{
    int bx = LOWORD(baseUnits);
    int by = HIWORD(baseUnits);
    if (bx != 8) {
        nWidth = (nWidth / 2) * bx / 4;
        nHeight = (nHeight / 4) * by / 8;
    }
    return SIZE{nWidth, nHeight};
}

POINT C3DPicTrickBtn::PlaceIcon(RECT& rect, SIZE cell, int nAlignment)
{
    const int w = cell.cx;
    const int h = cell.cy;
    const int L = rect.left;
    const int T = rect.top;
    const int R = rect.right;
    const int B = rect.bottom;
    POINT pt{};
    switch (nAlignment) {
    case alignTop:
        pt = POINT{L + (R - L - kIconSize) / 2, T - (kIconSize - h) / 2 + 3};
        rect.top += h;
        break;
    case alignRight:
        pt = POINT{R - w - 3, T + (B - T - kIconSize) / 2};
        rect.right -= w;
        break;
    case alignCentre:
        pt = POINT{L + (R - L - kIconSize) / 2, T + (B - T - kIconSize) / 2};
        rect.left += w;
        rect.top += h;
        break;
    default:
        pt = POINT{L - (kIconSize - w) / 2 + 3, T + (B - T - kIconSize) / 2};
        rect.left += w;
        break;
    }
    return pt;
}

UINT C3DPicTrickBtn::LayoutCaption(CDC* pDC, const CString& text, const RECT& area, RECT& rText)
{
    const int areaWidth = area.right - area.left;
    const int areaHeight = area.bottom - area.top;
    RECT measure{0, 0, kMeasureExtent, kMeasureExtent};
    pDC->DrawText(text, &measure, DT_CALCRECT | DT_SINGLELINE);
    UINT format = DT_SINGLELINE;
    if (measure.right - measure.left > areaWidth - 2) {
        measure = RECT{0, 0, areaWidth, areaHeight};
        pDC->DrawText(text, &measure, DT_CALCRECT | DT_WORDBREAK);
        format = DT_CENTER | DT_WORDBREAK;
    }
    const int textWidth = measure.right - measure.left;
    const int textHeight = measure.bottom - measure.top;
    rText.left = area.left + (areaWidth - textWidth) / 2;
    rText.top = area.top + (areaHeight - textHeight) / 2;
    rText.right = rText.left + textWidth;
    rText.bottom = rText.top + textHeight;
    rText.left = std::max(rText.left, LONG(0));
    rText.top = std::max(rText.top, LONG(0));
    rText.right = std::min(rText.right, area.right);
    rText.bottom = std::min(rText.bottom, area.bottom);
    return format;
}

// ---- Drawing ---------------------------------------------------------------------------

void C3DPicTrickBtn::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    if (!pDC)
        return;
    const BOOL bEnabled = IsWindowEnabled();
    HICON hPicture = (!bEnabled && m_hDisabledIcon) ? m_hDisabledIcon : m_hIcon;
    LRESULT def = AskParentDefId();
    if (!m_bCommandOnPress)
        m_bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    const BOOL bFocus = !m_bNoFocus && ::GetFocus() == m_hWnd;
    // A disabled button never shows as the default, whatever the dialog says.
    const BOOL bDefault = HIWORD(def) == DC_HASDEFID && LOWORD(def) == WORD(GetDlgCtrlID()) && bEnabled;

    CFont* pOldFont = m_pFont ? pDC->SelectObject(m_pFont) : nullptr;
    SIZE cell = PictureCell(m_nPictureWidth, m_nPictureHeight, ::GetDialogBaseUnits());
    if (m_bBitmapFace) {
        DrawBitmapButtonFace(pDC, bEnabled, bDefault, bFocus);
    } else if (lpDIS->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        Draw3DButton(pDC, hPicture, cell, bEnabled, bDefault, bFocus);
    } else if (lpDIS->itemAction & ODA_FOCUS) {
        DrawButtonCaption(pDC, hPicture != NULL, cell, bEnabled, bFocus);
    }
    if (m_pFont)
        pDC->SelectObject(pOldFont);
    if (m_wStyle == kStyleShadow)
        DrawButtonShadow();
}

void C3DPicTrickBtn::Draw3DButton(CDC* pDC, HICON hPicture, SIZE cell, BOOL bEnabled, BOOL bDefault, BOOL bFocus)
{
    RECT client;
    GetClientRect(&client);
    CBrush face(::GetSysColor(COLOR_BTNFACE));
    pDC->FillRect(&client, &face);
    RECT rect = client;
    if (m_bPressed) {
        rect.left += kPressOffset;
        rect.top += kPressOffset;
    }
    if (hPicture) {
        POINT at = PlaceIcon(rect, cell, m_wAlignment);
        pDC->DrawIcon(at.x, at.y, hPicture);
    }
    DrawButtonCaption(pDC, hPicture != NULL, cell, bEnabled, bFocus);
    if (m_wStyle != kStyleNoBevel)
        DrawButtonBevel(pDC, client, m_bPressed, bDefault);
}

void C3DPicTrickBtn::DrawButtonCaption(CDC* pDC, BOOL bHasPicture, SIZE cell, BOOL bEnabled, BOOL bFocus)
{
    CString text;
    GetWindowText(text);
    RECT area;
    GetClientRect(&area);
    if (m_bPressed) {
        area.left += kPressOffset;
        area.top += kPressOffset;
    }
    if (bHasPicture)
        PlaceIcon(area, cell, m_wAlignment);
    RECT rText;
    UINT format = LayoutCaption(pDC, text, area, rText);
    pDC->SetTextColor(bEnabled ? m_crText : kDisabledText);
    pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(text, &rText, format);
    if (bFocus) {
        ::InflateRect(&rText, 1, 1);
        pDC->DrawFocusRect(&rText);
    }
}

void C3DPicTrickBtn::DrawButtonBevel(CDC* pDC, RECT r, BOOL bPressed, BOOL bDefault)
{
    CPen highlight(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    CPen shadow(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    CPen* pOldPen = static_cast<CPen*>(pDC->SelectStockObject(BLACK_PEN));
    CBrush* pOldBrush = static_cast<CBrush*>(pDC->SelectStockObject(NULL_BRUSH));
    if (bDefault) {
        pDC->Rectangle(&r);
        ::InflateRect(&r, -1, -1);
    }
    // The lines run on the last row and column inside the rectangle.
    r.right -= 1;
    r.bottom -= 1;
    if (!bPressed) {
        pDC->MoveTo(r.right, r.top);
        pDC->LineTo(r.right, r.bottom);
        pDC->LineTo(r.left - 1, r.bottom);
        pDC->SelectObject(&highlight);
        pDC->MoveTo(r.left, r.bottom - 1);
        pDC->LineTo(r.left, r.top);
        pDC->LineTo(r.right, r.top);
        ::InflateRect(&r, -1, -1);
        pDC->SelectObject(&shadow);
        pDC->MoveTo(r.right, r.top);
        pDC->LineTo(r.right, r.bottom);
        pDC->LineTo(r.left - 1, r.bottom);
    } else {
        pDC->MoveTo(r.left, r.bottom);
        pDC->LineTo(r.left, r.top);
        pDC->LineTo(r.right + 1, r.top);
        if (!bDefault) {
            pDC->SelectObject(&highlight);
            pDC->MoveTo(r.right, r.top);
            pDC->LineTo(r.right, r.bottom);
            pDC->LineTo(r.left - 1, r.bottom);
        }
        ::InflateRect(&r, -1, -1);
        pDC->SelectObject(&shadow);
        pDC->MoveTo(r.left, r.bottom);
        pDC->LineTo(r.left, r.top);
        pDC->LineTo(r.right + 1, r.top);
    }
    pDC->SelectObject(pOldPen);
    pDC->SelectObject(pOldBrush);
}

void C3DPicTrickBtn::DrawBitmapButtonFace(CDC* pDC, BOOL bEnabled, BOOL bDefault, BOOL bFocus)
{
    RECT client;
    GetClientRect(&client);
    CBrush face(::GetSysColor(COLOR_BTNFACE));
    pDC->FillRect(&client, &face);
    CBitmap* pBitmap = nullptr;
    if (m_bPressed && m_pPressedBitmap)
        pBitmap = m_pPressedBitmap;
    else if (bFocus && m_pFocusBitmap)
        pBitmap = m_pFocusBitmap;
    else if (!bEnabled && m_pDisabledBitmap)
        pBitmap = m_pDisabledBitmap;
    else
        pBitmap = m_pNormalBitmap;
    if (!pBitmap || !pBitmap->GetSafeHandle())
        return;
    RECT target = client;
    ::InflateRect(&target, -4, -4);
    BITMAP bm{};
    pBitmap->GetBitmap(&bm);
    const int targetWidth = target.right - target.left;
    const int targetHeight = target.bottom - target.top;
    const int width = std::min(int(bm.bmWidth), targetWidth);
    const int height = std::min(int(bm.bmHeight), targetHeight);
    if (width > 0 && height > 0) {
        CDC memory;
        if (memory.CreateCompatibleDC(pDC)) {
            CBitmap* pOld = memory.SelectObject(pBitmap);
            pDC->BitBlt(target.left + (targetWidth - width) / 2, target.top + (targetHeight - height) / 2, width,
                height, &memory, 0, 0, SRCCOPY);
            memory.SelectObject(pOld);
        }
    }
    if (m_wStyle != kStyleNoBevel)
        DrawButtonBevel(pDC, client, m_bPressed, bDefault);
}

void C3DPicTrickBtn::DrawButtonShadow()
{
    HWND hParent = ::GetParent(m_hWnd);
    if (!hParent || !IsWindowVisible())
        return;
    RECT r;
    GetWindowRect(&r);
    ::MapWindowPoints(NULL, hParent, reinterpret_cast<LPPOINT>(&r), 2);
    HDC hdc = ::GetDC(hParent);
    if (!hdc)
        return;
    HBRUSH brush = ::CreateSolidBrush(m_crShadow);
    ::SetBrushOrgEx(hdc, 0, 0, nullptr);
    const int sw = m_nShadowWidth;
    const int sh = m_nShadowHeight;
    // Each further line past the other side's depth is a pixel shorter, so
    // the two bands meet in a diagonal corner.
    for (int k = 0; k < sw; ++k) {
        int shorten = k >= sh ? k - sh + 1 : 0;
        RECT column{r.right + k, r.top + sh, r.right + k + 1, r.bottom + k + 1 - shorten};
        ::FillRect(hdc, &column, brush);
    }
    for (int k = 0; k < sh; ++k) {
        int shorten = k >= sw ? k - sw + 1 : 0;
        RECT row{r.left + sw, r.bottom + k, r.right + k + 1 - shorten, r.bottom + k + 1};
        ::FillRect(hdc, &row, brush);
    }
    ::DeleteObject(brush);
    ::ReleaseDC(hParent, hdc);
}
