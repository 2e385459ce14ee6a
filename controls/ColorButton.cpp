#include "controls/ColorButton.h"

#include "app/PrefData.h"
#include "app/RectGeometry.h"
#include "app/ResourceBitmaps.h"
#include "assist/HintDlgs.h"
#include "controls/ColorPopupDlg.h"
#include "platform/base/Version.h"
#include "platform/framework/Afx.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CColorButton, CButton)

namespace {

// Black mask pixels take the brush's colour; white ones leave the ground.
constexpr DWORD kRopPatternWhereBlack = 0xB8074A;

BOOL IsNewShell()
{
    DWORD dwVersion = ::GetVersion();
    int nMajor = int(LOBYTE(LOWORD(dwVersion)));
    int nMinor = int(HIBYTE(LOWORD(dwVersion)));
    return nMajor >= 4 || (nMajor == 3 && nMinor >= 95);
}

// One-pixel lines along the rectangle's sides, its right and bottom lines
// on the last column and row inside it.
void TopLeft(CDC& dc, const CRect& rc, CPen& pen)
{
    CPen* pOld = dc.SelectObject(&pen);
    dc.MoveTo(rc.left, rc.bottom - 1);
    dc.LineTo(rc.left, rc.top);
    dc.LineTo(rc.right, rc.top);
    dc.SelectObject(pOld);
}

void BottomRight(CDC& dc, const CRect& rc, CPen& pen)
{
    CPen* pOld = dc.SelectObject(&pen);
    dc.MoveTo(rc.left, rc.bottom - 1);
    dc.LineTo(rc.right - 1, rc.bottom - 1);
    dc.LineTo(rc.right - 1, rc.top - 1);
    dc.SelectObject(pOld);
}

} // namespace

CColorButton::CColorButton()
    : m_bNewShell(IsNewShell())
{
}

CColorButton::~CColorButton() = default;

BOOL CColorButton::SetBitmap(UINT nID, int nValue, BOOL bMonochrome)
{
    auto pBitmap = std::make_unique<CBitmap>();
    BOOL bLoaded = LoadBitmapObject(AfxGetResourceHandle(), nID, pBitmap.get(), nullptr);
    m_pBitmap = bLoaded ? std::move(pBitmap) : nullptr;
    m_nBitmapValue = nValue;
    m_bMonochrome = bMonochrome;
    m_bHatched = FALSE;
    if (m_hWnd != NULL)
        InvalidateRect(NULL, TRUE);
    return bLoaded;
}

int CColorButton::PickColor()
{
    CRect rcButton;
    GetWindowRect(&rcButton);
    auto pPopup = std::make_unique<CColorPopupDlg>(rcButton, nullptr);
    pPopup->m_crColor = m_crColor;
    pPopup->m_bGradient = m_bGradient;
    if (pPopup->DoModal() != IDOK)
        return 0;
    const COLORREF crChosen = pPopup->m_crColor;
    if (crChosen == kWhite && (thePrefs.Flags & kColorHintFlag) != 0 && !m_bNoWhiteHint) {
        CColorHintDlg hint;
        hint.DoModal();
    }
    m_crColor = crChosen;
    m_bHatched = FALSE;
    if (m_hWnd != NULL)
        InvalidateRect(NULL, TRUE);
    return 1;
}

void CColorButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS == nullptr || lpDIS->hDC == NULL)
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    const BOOL bDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;
    const BOOL bFocus = (lpDIS->itemState & ODS_FOCUS) != 0;
    const int nSaved = pDC->SaveDC();

    CRect rcItem(lpDIS->rcItem);
    pDC->FillSolidRect(&rcItem, ::GetSysColor(COLOR_BTNFACE));
    CRect rcWork = rcItem;
    rcWork.DeflateRect(m_bNewShell ? 3 : 4, m_bNewShell ? 3 : 4);

    CPen penLight(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    CPen penShadow(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    CPen penText(PS_INSIDEFRAME, 1, ::GetSysColor(bDisabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    CRect rcInner = rcWork;
    rcInner.DeflateRect(1, 1);
    if (m_bNewShell) {
        if (bSelected) {
            TopLeft(*pDC, rcWork, penText);
            TopLeft(*pDC, rcInner, penShadow);
            BottomRight(*pDC, rcWork, penLight);
        } else {
            TopLeft(*pDC, rcWork, penLight);
            BottomRight(*pDC, rcWork, penText);
            BottomRight(*pDC, rcInner, penShadow);
        }
    } else {
        pDC->SelectStockObject(BLACK_PEN);
        pDC->SelectStockObject(NULL_BRUSH);
        pDC->Rectangle(&rcWork);
        if (bSelected) {
            TopLeft(*pDC, rcInner, penShadow);
        } else {
            TopLeft(*pDC, rcInner, penLight);
            BottomRight(*pDC, rcInner, penShadow);
        }
    }

    // The swatch sits 6 pixels inside the frame; a button too low or narrow
    // for that keeps a swatch of 8 pixels, else a black frame alone would
    // show and not the colour.
    auto inset = [](int nExtent) { return nExtent - 12 >= 8 ? 6 : std::max(1, (nExtent - 8) / 2); };
    CRect rcContent = rcWork;
    rcContent.DeflateRect(inset(rcWork.Width()), inset(rcWork.Height()));
    if (!bDisabled && m_pBitmap != nullptr && m_pBitmap->GetSafeHandle() != NULL) {
        BITMAP bm{};
        m_pBitmap->GetBitmap(&bm);
        CRect rcFit;
        FitAspectRect(&rcFit, pDC, bm.bmWidth, bm.bmHeight, rcContent.left, rcContent.top, rcContent.right,
            rcContent.bottom);
        CDC memory;
        memory.CreateCompatibleDC(pDC);
        CBitmap* pOldBitmap = memory.SelectObject(m_pBitmap.get());
        pDC->SetStretchBltMode(COLORONCOLOR);
        if (m_bMonochrome) {
            CBrush window;
            window.CreateSolidBrush(::GetSysColor(COLOR_WINDOW));
            pDC->SelectStockObject(BLACK_PEN);
            pDC->SelectObject(&window);
            pDC->Rectangle(&rcContent);
            CBrush text;
            text.CreateSolidBrush(::GetSysColor(COLOR_WINDOWTEXT));
            pDC->SelectObject(&text);
            pDC->StretchBlt(rcFit.left, rcFit.top, rcFit.Width(), rcFit.Height(), &memory, 0, 0, bm.bmWidth,
                bm.bmHeight, kRopPatternWhereBlack);
            pDC->SelectStockObject(NULL_BRUSH);
        } else {
            pDC->StretchBlt(rcFit.left, rcFit.top, rcFit.Width(), rcFit.Height(), &memory, 0, 0, bm.bmWidth,
                bm.bmHeight, SRCCOPY);
        }
        memory.SelectObject(pOldBitmap);
    } else {
        CBrush brush;
        if (!bDisabled) {
            LOGBRUSH lb{UINT(m_bHatched ? BS_HATCHED : BS_SOLID), m_crColor, ULONG_PTR(m_nHatchStyle)};
            brush.CreateBrushIndirect(&lb);
            pDC->SelectStockObject(BLACK_PEN);
            pDC->SelectObject(&brush);
        } else {
            // Disabled: an empty outline in the grey of the frame.
            pDC->SelectObject(&penText);
            pDC->SelectStockObject(NULL_BRUSH);
        }
        pDC->Rectangle(&rcContent);
        pDC->SelectStockObject(NULL_BRUSH);
    }

    if (bFocus) {
        CRect rcFocus = rcWork;
        rcFocus.DeflateRect(3, 3);
        pDC->DrawFocusRect(&rcFocus);
    }
    // Restoring selects the DC's own objects back before the pens and
    // brushes made here are deleted.
    pDC->RestoreDC(nSaved);
}
