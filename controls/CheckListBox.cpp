#include "controls/CheckListBox.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <algorithm>

namespace {

// The system check-box bitmap is a grid of 4 columns by 3 rows of equal
// cells; row 0 holds the plain boxes, unchecked in column 0 and checked in
// column 1.
constexpr int kBoxColumns = 4;
constexpr int kBoxRows = 3;
constexpr int kUncheckedColumn = 0;
constexpr int kCheckedColumn = 1;
constexpr int kBoxLeft = 2;
constexpr int kTextIndent = 18;

} // namespace

void CCheckLB::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS == nullptr || lpDIS->hDC == NULL)
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rcFocus(lpDIS->rcItem);
    rcFocus.left += kBoxCellWidth - 1;
    if (lpDIS->itemAction == ODA_FOCUS) {
        pDC->DrawFocusRect(&rcFocus);
        return;
    }
    if (int(lpDIS->itemID) < 0)
        return;
    if (lpDIS->itemState & ODS_SELECTED)
        DrawChecked(pDC, int(lpDIS->itemID), lpDIS->rcItem, lpDIS->itemData);
    else
        DrawUnchecked(pDC, int(lpDIS->itemID), lpDIS->rcItem, lpDIS->itemData);
    // A whole-item repaint wipes the focus rectangle; the list sends no
    // separate focus pass afterwards, so the caret item gets it back here.
    if (lpDIS->itemState & ODS_FOCUS)
        pDC->DrawFocusRect(&rcFocus);
}

void CCheckLB::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    if (lpMIS != nullptr)
        lpMIS->itemHeight = UINT(GetItemHeight());
}

int CCheckLB::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CCheckLB::SetItemFont(CFont* pFont)
{
    m_pItemFont = pFont;
    if (m_hWnd != NULL)
        SetItemHeight(0, UINT(GetItemHeight()));
}

void CCheckLB::DrawUnchecked(CDC* pDC, int nIndex, const RECT& rcItem, DWORD_PTR)
{
    DrawState(pDC, nIndex, rcItem, FALSE);
}

void CCheckLB::DrawChecked(CDC* pDC, int nIndex, const RECT& rcItem, DWORD_PTR)
{
    DrawState(pDC, nIndex, rcItem, TRUE);
}

void CCheckLB::DrawState(CDC* pDC, int nIndex, const RECT& rcItem, BOOL bChecked)
{
    int nSaved = pDC->SaveDC();
    pDC->FillSolidRect(&rcItem, ::GetSysColor(COLOR_WINDOW));
    if (m_pItemFont != nullptr)
        pDC->SelectObject(m_pItemFont);
    pDC->SetTextColor(::GetSysColor(IsWindowEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    pDC->SetBkMode(TRANSPARENT);
    if (bChecked)
        DrawCheckedBox(pDC, rcItem);
    else
        DrawUncheckedBox(pDC, rcItem);
    DrawItemText(pDC, nIndex, rcItem);
    pDC->RestoreDC(nSaved);
}

void CCheckLB::DrawItemText(CDC* pDC, int nIndex, const RECT& rcItem)
{
    if (m_hWnd == NULL || nIndex < 0 || nIndex >= GetCount())
        return;
    CString text;
    GetText(nIndex, text);
    CRect rcText(rcItem);
    rcText.left += kTextIndent;
    pDC->DrawText(text, &rcText, DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX);
}

void CCheckLB::DrawUncheckedBox(CDC* pDC, const RECT& rcItem)
{
    DrawBoxCell(pDC, rcItem, kUncheckedColumn);
}

void CCheckLB::DrawCheckedBox(CDC* pDC, const RECT& rcItem)
{
    DrawBoxCell(pDC, rcItem, kCheckedColumn);
}

void CCheckLB::DrawBoxCell(CDC* pDC, const RECT& rcItem, int nColumn)
{
    CBitmap boxes;
    if (!boxes.LoadOEMBitmap(OBM_CHECKBOXES))
        return;
    BITMAP bm{};
    boxes.GetBitmap(&bm);
    int cx = bm.bmWidth / kBoxColumns;
    int cy = bm.bmHeight / kBoxRows;
    if (cx <= 0 || cy <= 0)
        return;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = memDC.SelectObject(&boxes);
    int itemHeight = rcItem.bottom - rcItem.top;
    int x = rcItem.left + kBoxLeft;
    // The box sits a little below the middle, next to the text's baseline,
    // but never spills into the next item.
    int y = rcItem.top + (itemHeight - cy) / 2 + 2;
    y = std::max(LONG(rcItem.top), std::min(LONG(y), rcItem.bottom - cy));
    pDC->BitBlt(x, y, cx, cy, &memDC, nColumn * cx, 0, SRCCOPY);
    memDC.SelectObject(pOld);
}

int CCheckLB::GetItemHeight()
{
    if (m_hWnd == NULL)
        return kNoDcItemHeight;
    CClientDC dc(this);
    if (dc.GetSafeHdc() == NULL)
        return kNoDcItemHeight;
    CFont* pFont = m_pItemFont != nullptr ? m_pItemFont : GetFont();
    CFont* pOld = pFont != nullptr ? dc.SelectObject(pFont) : nullptr;
    TEXTMETRIC tm{};
    BOOL ok = dc.GetTextMetrics(&tm);
    if (pOld != nullptr)
        dc.SelectObject(pOld);
    if (!ok)
        return kNoDcItemHeight;
    return std::max(int(tm.tmHeight + tm.tmExternalLeading + 1), int(kMinItemHeight));
}
