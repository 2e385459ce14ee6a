#include "surface/CustomZoomDlg.h"

#include "resources/resource.h"

namespace {

struct ZoomButton {
    UINT nID;
    int nZoom;
};

const ZoomButton kZoomButtons[] = {
    {IDC_ZOOM_25, 25}, {IDC_ZOOM_50, 50}, {IDC_ZOOM_75, 75},
    {IDC_ZOOM_100, 100}, {IDC_ZOOM_150, 150}, {IDC_ZOOM_200, 200},
};

} // namespace

BEGIN_MESSAGE_MAP(CCustomZoomDlg, CDialog)
    ON_COMMAND_RANGE(IDC_ZOOM_100, IDC_ZOOM_25, OnZoomButton)
    ON_COMMAND_RANGE(IDC_ZOOM_50, IDC_ZOOM_75, OnZoomButton)
    ON_COMMAND_RANGE(IDC_ZOOM_200, IDC_ZOOM_200, OnZoomButton)
    ON_COMMAND(ID_HELP, OnHelpButton)
    ON_COMMAND(CCustomZoomDlg::kHelpKeyCommand, OnHelpKey)
END_MESSAGE_MAP()

CCustomZoomDlg::CCustomZoomDlg(CWnd* pParent)
    : CDialog(IDD_CUSTOM_ZOOM, pParent)
{
}

BOOL CCustomZoomDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(ID_HELP, this, IDI_BUTTON_HELP);
    CheckZoomButton();
    return TRUE;
}

void CCustomZoomDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ZOOM_PERCENT, m_nZoom);
    DDV_MinMaxInt(pDX, m_nZoom, kMinZoom, kMaxZoom);
}

void CCustomZoomDlg::CheckZoomButton()
{
    for (const ZoomButton& button : kZoomButtons)
        CheckDlgButton(button.nID, button.nZoom == m_nZoom ? BST_CHECKED : BST_UNCHECKED);
}

void CCustomZoomDlg::OnZoomButton(UINT nID)
{
    for (const ZoomButton& button : kZoomButtons) {
        if (button.nID == nID) {
            m_nZoom = button.nZoom;
            UpdateData(FALSE);
            CheckZoomButton();
            return;
        }
    }
}

void CCustomZoomDlg::OnHelpButton()
{
    // Help is the main window's: the dialog passes the framework's command
    // on and stays open.
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
}

void CCustomZoomDlg::OnHelpKey()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_KEYDOWN, VK_F1, 0);
}
