#include "assist/SurveyDlg.h"

#include "assist/DialogButtons.h"
#include "platform/framework/Afx.h"

BEGIN_MESSAGE_MAP(CSurveyDlg, CDialog)
    ON_BN_CLICKED(IDC_SURVEY_LATER, OnLater)
END_MESSAGE_MAP()

CSurveyDlg::CSurveyDlg(CWnd* pParent) : CDialog(IDD_SURVEY, pParent) {}

void CSurveyDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDC_SURVEY_LATER, m_btnLater);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
}

BOOL CSurveyDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    DressOkCancel(&m_btnOk, &m_btnCancel);
    m_btnLater.SetIcon(0); // caption only, drawn like its neighbours
    CenterWindow();
    return TRUE;
}

void CSurveyDlg::OnLater()
{
    EndDialog(IDC_SURVEY_LATER);
}
