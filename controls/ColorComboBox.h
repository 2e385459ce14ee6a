#pragma once
// An owner-drawn drop-down list whose items carry a colour (or, in hatch
// mode, a hatch style) as item data and show a swatch beside their text.
// The dialog owns the object and fills the list; the automatic entry's text
// is kept here for the dialogs that add such an entry.

#include "platform/base/String.h"
#include "platform/framework/Controls.h"

class CColorCombo : public CComboBox {
    DECLARE_DYNCREATE(CColorCombo)
public:
    // Modes: what the item data means.
    static constexpr int kModeHatch = 2;        // an HS_ hatch style
    static constexpr int kModeColorOrNone = 3;  // a colour, or kNoColor (hollow)
    static constexpr DWORD kNoColor = 0xFFFFFFFF;
    static constexpr int kItemHeight = 20;

    explicit CColorCombo(int nMode = 0, BOOL bFlag = FALSE);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

    // The first index whose item data equals dwData; -1 when none.
    int FindItemByData(DWORD_PTR dwData) const;

    // The swatch's place in an item rectangle.
    static CRect SwatchRect(const RECT& rcItem);

    CString m_strAuto;
    WORD m_wReserved = 0;
    int m_nMode = 0;
    BOOL m_bFlag = FALSE;
    int m_nCurIndex = -1;
    int m_nItemHeight = kItemHeight;
};
