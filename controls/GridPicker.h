#pragma once
// CGridPicker: a child window showing a grid of equal cells (icons,
// monochrome bitmaps drawn in the text colour, or colour swatches) from
// which the user picks one, or in check mode several, with the mouse or the
// arrow keys. In colour mode it has a "More..." button that opens the colour
// chooser and, when asked for, a "Grad..." button whose meaning is the host
// dialog's. It stands over a placeholder control of a dialog and reports to
// that dialog with WM_COMMAND (code 0 for checks and Space, code 1 when the
// current cell changes).
//
// The picker is made with new and deletes itself when its window is
// destroyed. Counts and strings from resources are bounded by the arrays
// they fill: extra fields are ignored, as are the arrow keys with no cells
// and checks of cells past the 16 the check mask holds.

#include "platform/framework/Wnd.h"

#include <vector>

class CDC;

class CGridPicker : public CWnd {
    DECLARE_DYNAMIC(CGridPicker)
public:
    static constexpr int kNamedColors = 16;
    static constexpr int kColorEntries = kNamedColors + 1; // the custom colour last
    static constexpr int kCheckableCells = 16;
    static constexpr int kMonthCells = 49;
    static constexpr int kMonthDays = 31;
    static constexpr UINT kNotifyChecked = 0;  // check changes and Space
    static constexpr UINT kNotifySelected = 1; // the current cell changed
    static constexpr int kCustomColor = -1;    // index of the custom colour

    CGridPicker();
    explicit CGridPicker(BOOL bGradientButton);
    ~CGridPicker() override;

    // Creates the picker over the placeholder's rectangle, right after it in
    // the tab order. nID -1 takes the placeholder's id (the placeholder gets
    // -1). FALSE when the placeholder is missing or the window fails.
    BOOL CreateOverControl(CWnd* pParent, UINT nPlaceholderID, int nID);

    // Cells of resources nFirstID, nFirstID + 1, ... (bitmaps or icons); in
    // month-grid mode a blank picture (nFirstID - 1) around the days.
    void SetupCells(UINT nFirstID, int nCount, int nRows, int nColumns, BOOL bBitmaps, BOOL bSizeToFit);
    // Colour mode: the sixteen named colours in 4 x 4 cells and "More...".
    void SetupColorCells(COLORREF crInitial, BOOL bSizeToFit);
    // The value map from a separated list of whole numbers; answers how many
    // were read (at most one per cell).
    int SetCellValues(UINT nStringID);
    int SetCellValues(LPCTSTR lpszList);
    // Colours "r,g,b,name" from a separated list into the named entries from
    // nStart on; answers how many were stored.
    int LoadNamedColors(UINT nStringID, int nStart);
    int LoadNamedColors(LPCTSTR lpszList, int nStart);

    // Without notify and with a value map (not in check mode) the argument
    // is a value, else an index from -1 to the last cell.
    void SetCurSel(int nIndexOrValue, BOOL bNotify);
    int GetCurSel() const { return m_nCurrent; }
    // The current cell's value (its index without a value map); -1 for none.
    int GetSelectedValue() const;
    BOOL IsCellChecked(int nIndex) const;
    void SetCellCheck(int nIndex, BOOL bOn);
    // The colour becomes the custom one and selects its named cell, if any.
    void SelectColor(COLORREF crColor);
    COLORREF GetCustomColor() const;
    COLORREF GetColorEntry(int nIndex) const;
    int GetColorCount() const { return int(m_colors.size()); }

    // Cells that can be current: the cells, or the named colours.
    int GetCellTotal() const;
    int GetCellCount() const { return m_nCells; }
    CRect GetCellRect(int nIndex) const;
    // Where a colour cell's swatch is painted.
    CRect GetSwatchRect(int nIndex) const;
    int HitTest(CPoint point) const;
    CRect GetMoreRect() const { return m_more.rect; }
    CRect GetGradRect() const { return m_grad.rect; }
    // In the parent's client coordinates.
    CRect GetCustomSwatchRect() const { return m_rcCustom; }
    BOOL IsGradPressed() const { return m_grad.bPressed; }

    // Month grids: set before SetupCells.
    int m_bMonthGrid = 0;
    int m_nLeadingBlanks = 0;
    int m_nDayCount = 0;

    BOOL m_bDblClkCloses = FALSE;
    BOOL m_bPopup = FALSE;
    BOOL m_bSunkenCells = TRUE;
    BOOL m_bCheckMode = FALSE;
    BOOL m_bNoTab = FALSE;

protected:
    void PostNcDestroy() override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnEnable(BOOL bEnable);
    DECLARE_MESSAGE_MAP()

private:
    struct TextButton {
        int cx = 0;
        int cy = 0;
        CRect rect;
        CString caption;
        BOOL bTracking = FALSE;
        BOOL bPressed = FALSE;
    };

    void Reset();
    void FreeCells();
    void LayOut(int cx, int cy);
    void InvalidateCell(int nIndex);
    void PaintCustomSwatch();
    void PaintCell(CDC& dc, int nIndex, BOOL bEnabled);
    void PaintButton(CDC& dc, const TextButton& button, BOOL bEnabled, BOOL bFocus);
    void Notify(UINT nCode, BOOL bPost);
    BOOL IsCellMarked(int nIndex) const;
    void OnMoreReleased();
    void CloseParentPopup();

    BOOL m_bGradient = FALSE;
    WORD m_wCheckMask = 0;
    std::vector<HANDLE> m_cells;
    BOOL m_bBitmaps = FALSE;
    std::vector<int> m_values;
    int m_nCells = 0;
    CPoint m_ptPictureOffset{2, 2};
    CSize m_sizeCell{32, 32};
    CSize m_sizeMargin{3, 3};
    CSize m_sizePicture{30, 30};
    CRect m_rcFrame;
    int m_nPressed = -1;
    int m_nCurrent = -1;
    int m_nRows = 1;
    int m_nColumns = 1;
    BOOL m_bHasFocus = FALSE;
    std::vector<COLORREF> m_colors;
    CRect m_rcCustom;
    TextButton m_more;
    TextButton m_grad;
};
