#include "surface/RotateDlg.h"

#include "resources/resource.h"

CRotateDlg::CRotateDlg(CWnd* pParent)
    : CDialog(IDD_ROTATE, pParent)
{
}

BOOL CRotateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    return TRUE;
}

void CRotateDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ROTATE_ANGLE, m_nAngle);
    DDV_MinMaxInt(pDX, m_nAngle, kMinAngle, kMaxAngle);
}

BOOL RunRotateDialog(CWnd* pParent, int* pAngle)
{
    if (pAngle == NULL)
        return FALSE;
    CRotateDlg dlg(pParent);
    dlg.m_nAngle = *pAngle;
    if (dlg.DoModal() != IDOK || dlg.m_nAngle == *pAngle)
        return FALSE;
    *pAngle = dlg.m_nAngle;
    return TRUE;
}
