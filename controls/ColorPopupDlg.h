#pragma once
// CColorPopupDlg: the colour popup, a grid of the sixteen named colours with
// "More..." (and "Grad..." when m_bGradient is set). m_crColor is the colour
// it opens with and, after IDOK, the colour chosen (the picker's custom
// colour, so a click outside gives back the colour it opened with).
// m_bGradientChosen tells the host that "Grad..." closed it.

#include "controls/GridPopupDlg.h"

class CColorPopupDlg : public CGridPopupDlg {
public:
    CColorPopupDlg(const RECT& rcButton, CWnd* pParent);

    COLORREF m_crColor = RGB(0, 0, 0);
    BOOL m_bGradient = FALSE;
    BOOL m_bGradientChosen = FALSE;

protected:
    BOOL OnInitDialog() override;
    void SetupPicker(CGridPicker& picker) override;
    void DoDataExchange(CDataExchange* pDX) override;
};
