#pragma once
// A multiple-selection, owner-drawn list box (strings kept by the list) in
// which a selected item is drawn with a ticked check box instead of a
// highlight: the selection state is the check state, read with GetSel. The
// dialog owns the object and subclasses its list control with it; the item
// font belongs to the caller and must outlive the list.

#include "platform/framework/Controls.h"

class CDC;
class CFont;

class CCheckLB : public CListBox {
public:
    // Width of the check-box cell at the left of every item.
    static constexpr int kBoxCellWidth = 17;
    // Item height limits: the least height, and the height used when no DC
    // can be made to measure the font.
    static constexpr int kMinItemHeight = 14;
    static constexpr int kNoDcItemHeight = 12;

    CCheckLB() = default;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct) override;

    // Stores the font and sets the list's item height from it.
    virtual void SetItemFont(CFont* pFont);
    virtual void DrawUnchecked(CDC* pDC, int nIndex, const RECT& rcItem, DWORD_PTR dwItemData);
    virtual void DrawChecked(CDC* pDC, int nIndex, const RECT& rcItem, DWORD_PTR dwItemData);
    virtual void DrawItemText(CDC* pDC, int nIndex, const RECT& rcItem);
    virtual void DrawUncheckedBox(CDC* pDC, const RECT& rcItem);
    virtual void DrawCheckedBox(CDC* pDC, const RECT& rcItem);
    // The font's line height plus one, at least kMinItemHeight.
    virtual int GetItemHeight();

    CFont* m_pItemFont = nullptr;

private:
    void DrawState(CDC* pDC, int nIndex, const RECT& rcItem, BOOL bChecked);
    void DrawBoxCell(CDC* pDC, const RECT& rcItem, int nColumn);
};
