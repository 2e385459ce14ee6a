#pragma once
// CLineStylePopupDlg: the line-style popup, five line pictures (PS_SOLID to
// PS_DASHDOTDOT) in one column. m_nValue is the style it opens with and,
// after IDOK, the style chosen (unchanged when the click that closed it was
// outside the cells).

#include "controls/GridPopupDlg.h"

class CLineStylePopupDlg : public CGridPopupDlg {
public:
    static constexpr int kStyles = 5;

    CLineStylePopupDlg(const RECT& rcButton, CWnd* pParent);

    int m_nValue = 0;

protected:
    void SetupPicker(CGridPicker& picker) override;
    void DoDataExchange(CDataExchange* pDX) override;
};
