#pragma once
// The day-cell dialogs: each edits the text one cell of a calendar shows
// and the cell's text and background colours. CEditDayDlg is the Edit Day
// dialog, and with the Edit Hour template the dialog of a day calendar's
// hour cells; CEditDayItemDlg and CEditDayContentDlg edit the same values
// from the cell's item and from its content.
//
// The caller hands the cell to SetCell before DoModal; OK writes the values
// back into it, Cancel leaves it as it was.

#include "controls/ColorButton.h"
#include "platform/base/String.h"
#include "platform/framework/Afx.h"

class CDayCellObj;

class CEditDayDlg : public CDialog {
public:
    // nIDTemplate: IDD_EDIT_DAY or IDD_EDIT_HOUR (resources/calendar.h).
    explicit CEditDayDlg(CWnd* pParent = NULL);
    CEditDayDlg(UINT nIDTemplate, CWnd* pParent);

    // Shows the cell's text and colours; the cell must outlive the dialog.
    void SetCell(CDayCellObj* pCell);
    CDayCellObj* GetCell() const { return m_pCell; }

    CString m_strText;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBack = RGB(255, 255, 255);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    afx_msg void OnTextColor();
    afx_msg void OnBackColor();
    DECLARE_MESSAGE_MAP()

    CDayCellObj* m_pCell = nullptr; // not owned
    CColorButton m_btnText;
    CColorButton m_btnBack;
};

class CEditDayItemDlg : public CEditDayDlg {
public:
    explicit CEditDayItemDlg(CWnd* pParent = NULL);
};

class CEditDayContentDlg : public CEditDayDlg {
public:
    explicit CEditDayContentDlg(CWnd* pParent = NULL);
};
