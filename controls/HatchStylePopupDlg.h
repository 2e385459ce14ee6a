#pragma once
// CHatchStylePopupDlg: the hatch-style popup, six hatch pictures
// (HS_HORIZONTAL to HS_DIAGCROSS) in three rows of two. m_nValue is the
// style it opens with and, after IDOK, the style chosen (unchanged when the
// click that closed it was outside the cells).

#include "controls/GridPopupDlg.h"

class CHatchStylePopupDlg : public CGridPopupDlg {
public:
    static constexpr int kStyles = 6;

    CHatchStylePopupDlg(const RECT& rcButton, CWnd* pParent);

    int m_nValue = 0;

protected:
    void SetupPicker(CGridPicker& picker) override;
    void DoDataExchange(CDataExchange* pDX) override;
};
