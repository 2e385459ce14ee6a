#include "assist/PreviewOptionsDlg.h"

#include "app/PrefData.h"
#include "platform/framework/DataExchange.h"

namespace {

constexpr int kSizes[] = {CPreviewOptionsDlg::kSmall, CPreviewOptionsDlg::kMedium, CPreviewOptionsDlg::kLarge};

int ChoiceOfSize(int nSize)
{
    for (int i = 0; i < 3; ++i)
        if (kSizes[i] == nSize)
            return i;
    return 1;
}

} // namespace

CPreviewOptionsDlg::CPreviewOptionsDlg(CWnd* pParent)
    : CDialog(IDD_PREVIEW_OPTIONS, pParent)
    , m_nChoice(ChoiceOfSize(CPrefData::GetMulImgPrevFixedSize()))
{
}

int CPreviewOptionsDlg::GetPreviewSize() const
{
    return kSizes[m_nChoice >= 0 && m_nChoice < 3 ? m_nChoice : 1];
}

void CPreviewOptionsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_PREVIEW_SMALL, m_nChoice);
}

BOOL CPreviewOptionsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CenterWindow();
    return TRUE;
}

void CPreviewOptionsDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    CPrefData::SetMulImgPrevFixedSize(GetPreviewSize());
    EndDialog(IDOK);
}
