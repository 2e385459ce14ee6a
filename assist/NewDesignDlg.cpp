#include "assist/NewDesignDlg.h"

#include "platform/framework/Afx.h"

CNewDesignDlg::CNewDesignDlg(CWnd* pParent) : CLauncherDlg(IDD_NEW_DESIGN, pParent) {}

void CNewDesignDlg::OnOK()
{
    CLauncherDlg::OnOK();
    if (DesignRequest* pRecord = GetTemplate(kLauncherNoKind)) {
        m_request = *pRecord;
        m_request.nOption = m_nOption;
    }
}
