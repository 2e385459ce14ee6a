#include "app/main/ToolbarsDlg.h"

#include "platform/framework/Afx.h"
#include "resources/resource.h"

namespace {
const char* const kBarNames[CToolbarsDlg::kEntryCount] = {"Standard", "Formatting", "Tool Pad"};
} // namespace

BEGIN_MESSAGE_MAP(CToolbarsDlg, CDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_TOOLBARS_HELP, OnHelpButton)
END_MESSAGE_MAP()

CToolbarsDlg::CToolbarsDlg(CWnd* pParent)
    : CDialog(IDD, pParent)
{
}

CToolbarsDlg::~CToolbarsDlg() = default;

BOOL CToolbarsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (m_wndList.SubclassDlgItem(IDC_TOOLBARS_LIST, this)) {
        if (CFont* pFont = GetFont())
            m_wndList.SetItemFont(pFont);
        const BOOL shown[kEntryCount] = {m_bStandard, m_bFormatting, m_bToolPad};
        for (int i = 0; i < kEntryCount; ++i) {
            const int nIndex = m_wndList.AddString(kBarNames[i]);
            if (nIndex >= 0 && shown[i])
                m_wndList.SetSel(nIndex, TRUE);
        }
    }

    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(IDC_TOOLBARS_HELP, this, IDI_BUTTON_HELP);
    return TRUE;
}

void CToolbarsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_COLOR_BUTTONS, m_bColorButtons);
    DDX_Check(pDX, IDC_LARGE_BUTTONS, m_bLargeButtons);
    DDX_Check(pDX, IDC_SHOW_TOOLTIPS, m_bToolTips);
    if (pDX->m_bSaveAndValidate && m_wndList.m_hWnd != NULL) {
        m_bStandard = m_wndList.GetSel(kEntryStandard) > 0;
        m_bFormatting = m_wndList.GetSel(kEntryFormatting) > 0;
        m_bToolPad = m_wndList.GetSel(kEntryToolPad) > 0;
    }
}

void CToolbarsDlg::OnPaint()
{
    CDialog::OnPaint();
    // The list is the first thing the user changes here; give it the focus
    // once the dialog is on screen.
    if (m_bFirstPaint) {
        m_bFirstPaint = FALSE;
        if (m_wndList.m_hWnd != NULL) {
            m_wndList.SetFocus();
            m_wndList.SetCaretIndex(0);
        }
    }
}

void CToolbarsDlg::OnHelpButton()
{
    // The dialog's own topic, as F1 inside it asks for.
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(HID_BASE_RESOURCE + IDD, HELP_CONTEXT);
}
