#pragma once
// The invitation to take the online survey, shown modally at start-up. It
// answers IDOK (take the survey now), IDC_SURVEY_LATER (ask again at the
// next start) or IDCANCEL (no thanks).

#include "resources/assist.h"
#include "controls/PictureButton.h"
#include "platform/framework/Dialog.h"


class CSurveyDlg : public CDialog {
public:
    explicit CSurveyDlg(CWnd* pParent = NULL);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg void OnLater();
    DECLARE_MESSAGE_MAP()

private:
    C3DPicBtn m_btnOk;
    C3DPicBtn m_btnLater;
    C3DPicBtn m_btnCancel;
};
