#include "html/SupplyCenterDlg.h"

#include "platform/framework/WinApp.h"
#include "platform/services/Shell.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/resource.h"

namespace {

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
    m_btnClose.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
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
