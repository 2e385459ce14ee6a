#include "controls/ColorComboBox.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

IMPLEMENT_DYNCREATE(CColorCombo, CComboBox)

namespace {

constexpr UINT IDS_AUTO_COLOR = 141;
constexpr int kTextGap = 6;

} // namespace

CColorCombo::CColorCombo(int nMode, BOOL bFlag)
    : m_nMode(nMode)
    , m_bFlag(nMode != 1 || bFlag)
{
    if (!m_strAuto.LoadString(IDS_AUTO_COLOR))
        m_strAuto = "Auto";
}

void CColorCombo::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    if (lpMIS != nullptr)
        lpMIS->itemHeight = UINT(m_nItemHeight);
}

int CColorCombo::FindItemByData(DWORD_PTR dwData) const
{
    if (m_hWnd == NULL)
        return -1;
    int nCount = GetCount();
    for (int i = 0; i < nCount; ++i) {
        if (GetItemData(i) == dwData)
            return i;
    }
    return -1;
}

CRect CColorCombo::SwatchRect(const RECT& rcItem)
{
    CRect rc(rcItem.left, rcItem.top, rcItem.left + (rcItem.right - rcItem.left) * 3 / 10, rcItem.bottom);
    rc.DeflateRect(1, 3);
    return rc;
}

void CColorCombo::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS == nullptr || lpDIS->hDC == NULL)
        return;
    if (!(lpDIS->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rcItem(lpDIS->rcItem);
    CRect rcSwatch = SwatchRect(rcItem);
    BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    BOOL bDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;
    COLORREF crText;
    COLORREF crBack;
    if (bSelected) {
        crText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        crBack = ::GetSysColor(COLOR_HIGHLIGHT);
    } else {
        crText = ::GetSysColor(bDisabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
        crBack = ::GetSysColor(COLOR_WINDOW);
    }
    int nSaved = pDC->SaveDC();
    pDC->FillSolidRect(&rcItem, crBack);

    if (!bDisabled) {
        CBrush brush;
        DWORD dwData = DWORD(lpDIS->itemData);
        if (m_nMode == kModeHatch)
            brush.CreateHatchBrush(int(dwData), RGB(0, 0, 0));
        else if (m_nMode == kModeColorOrNone && dwData == kNoColor)
            brush.CreateStockObject(NULL_BRUSH);
        else
            brush.CreateSolidBrush(COLORREF(dwData));
        pDC->SelectStockObject(BLACK_PEN);
        pDC->SelectObject(&brush);
        pDC->Rectangle(&rcSwatch);
        pDC->SelectStockObject(NULL_BRUSH);
    }

    // The closed combo's own field is drawn with index -1: find its item by
    // the data it shows.
    int nIndex = int(lpDIS->itemID);
    if (nIndex < 0)
        nIndex = FindItemByData(lpDIS->itemData);
    if (nIndex >= 0 && m_hWnd != NULL && nIndex < GetCount()) {
        CString text;
        GetLBText(nIndex, text);
        TEXTMETRIC tm{};
        pDC->GetTextMetrics(&tm);
        pDC->SetTextColor(crText);
        pDC->SetBkMode(TRANSPARENT);
        int y = rcItem.top + (rcItem.Height() - int(tm.tmHeight)) / 2;
        pDC->TextOut(rcSwatch.right + kTextGap, y, text);
    }
    pDC->RestoreDC(nSaved);
}
