#include "html/SupplyCenterDlg.h"

#include "platform/framework/WinApp.h"
#include "platform/services/Shell.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/resource.h"

namespace {

constexpr int kCloseIcon = 529;
// Used when the string table does not carry the address.
constexpr LPCTSTR kDefaultSupplyUrl = "https://threadwick.example/supplies";

} // namespace

BEGIN_MESSAGE_MAP(CSupplyCenterDlg, CDialog)
    ON_BN_CLICKED(IDC_SUPPLY_VISIT, OnVisitSupplies)
END_MESSAGE_MAP()

CSupplyCenterDlg::CSupplyCenterDlg(CWnd* pParent)
    : CDialog(UINT(IDD_SUPPLY_CENTER), pParent)
{
}

CString CSupplyCenterDlg::SupplyPageUrl()
{
    CString url;
    if (!url.LoadString(IDS_SUPPLY_URL) || url.IsEmpty())
        url = kDefaultSupplyUrl;
    return url;
}

BOOL CSupplyCenterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_btnClose.SubclassDlgItem(IDOK, this))
        m_btnClose.SetIcon(kCloseIcon);
    return TRUE;
}

void CSupplyCenterDlg::OnVisitSupplies()
{
    if (platform::OpenHtmlPage(SupplyPageUrl()))
        return;
    CString message;
    if (!message.LoadString(IDS_SUPPLY_OPEN_FAILED))
        message = "The Supply Center page could not be opened.";
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
}
