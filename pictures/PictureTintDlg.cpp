#include "pictures/PictureTintDlg.h"

#include "pictures/EffectParamDlgs.h"
#include "platform/framework/Afx.h"
#include "platform/ui/CommCtrl.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CPictureTintDlg, CDialog)
    ON_BN_CLICKED(IDC_STUDIO_TINT_COLOR, OnPickColor)
END_MESSAGE_MAP()

CPictureTintDlg::CPictureTintDlg(CWnd* pParent)
    : CDialog(IDD, pParent)
{
}

BOOL CPictureTintDlg::OnInitDialog()
{
    m_btnColor.SubclassDlgItem(IDC_STUDIO_TINT_COLOR, this);
    m_btnColor.m_crColor = m_crColor;
    CDialog::OnInitDialog();

    // The spin button takes the place the template keeps for it.
    if (CWnd* pPlace = GetDlgItem(IDC_STUDIO_TINT_SPIN)) {
        CRect rect;
        pPlace->GetWindowRect(&rect);
        ScreenToClient(&rect);
        pPlace->DestroyWindow();
        if (m_spin.Create(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, rect, this,
                IDC_STUDIO_TINT_SPIN)) {
            m_spin.SetBuddy(GetDlgItem(IDC_STUDIO_TINT_INTENSITY));
            m_spin.SetRange32(0, kMaxIntensity);
            m_spin.SetPos(m_nIntensity);
        }
    }
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    return TRUE;
}

void CPictureTintDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_STUDIO_TINT_INTENSITY, m_nIntensity);
    DDV_MinMaxInt(pDX, m_nIntensity, kMinIntensity, kMaxIntensity);
}

void CPictureTintDlg::OnPickColor()
{
    if (m_btnColor.PickColor() != 0) {
        m_crColor = m_btnColor.m_crColor;
        m_btnColor.Invalidate();
    }
}

void CPictureTintDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    // The tint is shown only now that the user settled on it.
    if (CWnd* pParent = GetParent()) {
        EffectPreviewNotice notice;
        notice.nFirst = m_nIntensity;
        notice.nSecond = static_cast<int>(m_crColor);
        pParent->SendMessage(WM_EFFECT_PREVIEW, 0, reinterpret_cast<LPARAM>(&notice));
    }
    EndDialog(IDOK);
}
