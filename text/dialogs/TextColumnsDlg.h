#pragma once
// CTextColumnsDlg: the number of text columns, 1..5, as five radios. The
// caller sets the count, runs DoModal and on IDOK reads the count, which is
// never below 1 (no radio checked gives 1).

#include "platform/framework/Afx.h"

class CTextColumnsDlg : public CDialog {
public:
    static constexpr int kMinColumns = 1;
    static constexpr int kMaxColumns = 5;

    explicit CTextColumnsDlg(CWnd* pParent = NULL);

    void SetColumns(int nColumns) { m_nColumns = nColumns; }
    int GetColumns() const { return m_nColumns; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    int m_nColumns = kMinColumns;
};
