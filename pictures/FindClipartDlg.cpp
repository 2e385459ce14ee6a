#include "pictures/FindClipartDlg.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/main/DocTemplates.h"
#include "controls/FolderTreeFiller.h"
#include "controls/PickDirectory.h"
#include "pictures/ChoosePicture.h"
#include "platform/framework/DataExchange.h"
#include "platform/framework/Frame.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "resources/resource.h"
#include "surface/Surface.h"
#include "surface/SurfaceFrame.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CFindClipartDlg, CDialog)
    ON_BN_CLICKED(IDC_FINDCLIP_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_FINDCLIP_FIND, OnFind)
    ON_BN_CLICKED(IDC_FINDCLIP_HELP, OnHelpButton)
END_MESSAGE_MAP()

namespace {

// The walk's root: a drive text ("c:") becomes its root with the letter in
// upper case, so the folders found read as Windows paths do.
CString RootOf(const CString& strLookIn)
{
    CString root = WithTrailingBackslash(strLookIn);
    if (root.GetLength() >= 2 && root[1] == ':' && root[0] >= 'a' && root[0] <= 'z')
        root.SetAt(0, char(root[0] - 'a' + 'A'));
    return root;
}

} // namespace

CFindClipartDlg::CFindClipartDlg(CWnd* pParent)
    : CDialog(IDD, pParent)
{
}

CFindClipartDlg::~CFindClipartDlg() = default;

void CFindClipartDlg::FillTypes()
{
    m_typeNames.RemoveAll();
    m_typePatterns.RemoveAll();
    SplitFileFilter(BuildPictureOpenFilter(), m_typeNames, m_typePatterns);
    CComboBox* pCombo = static_cast<CComboBox*>(GetDlgItem(IDC_FINDCLIP_TYPE));
    if (pCombo == nullptr)
        return;
    pCombo->ResetContent();
    for (INT_PTR i = 0; i < m_typeNames.GetSize(); ++i)
        pCombo->AddString(m_typeNames[i]);
    pCombo->SetCurSel(0);
    if (m_strType.IsEmpty() && m_typeNames.GetSize() > 0)
        m_strType = m_typeNames[0];
}

CString CFindClipartDlg::PatternForType(const CString& strType) const
{
    for (INT_PTR i = 0; i < m_typeNames.GetSize() && i < m_typePatterns.GetSize(); ++i) {
        if (m_typeNames[i] == strType)
            return m_typePatterns[i];
    }
    return strType;
}

void CFindClipartDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    if (!pDX->m_bSaveAndValidate && m_typeNames.GetSize() == 0)
        FillTypes();
    DDX_CBString(pDX, IDC_FINDCLIP_TYPE, m_strType);
    DDV_MaxChars(pDX, m_strType, kMaxTypeText);
    DDX_DriveCombo(pDX, IDC_FINDCLIP_LOOK_IN, m_strLookIn);
}

BOOL CFindClipartDlg::OnInitDialog()
{
    m_comboLookIn.SubclassDlgItem(IDC_FINDCLIP_LOOK_IN, this);
    CDialog::OnInitDialog();

    if (CWnd* pOpen = GetDlgItem(IDOK))
        pOpen->EnableWindow(FALSE);
    HWND hTree = ::GetDlgItem(m_hWnd, IDC_FINDCLIP_TREE);
    if (hTree == NULL) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_pFiller = std::make_unique<CFolderTreeFiller>(hTree);
    m_pFiller->m_nMessageId = IDS_FINDCLIP_SEARCHING;

    if (m_comboLookIn.m_hWnd != NULL) {
        m_comboLookIn.InitDrives(IDC_FINDCLIP_LOOK_IN, this);
        m_comboLookIn.SelectPath("C:");
    }
    // Read first: the look-in box now shows C:, which loading the empty
    // path would clear.
    UpdateData(TRUE);
    UpdateData(FALSE);
    m_pFiller->m_strPattern = m_strType;
    if (CComboBox* pType = static_cast<CComboBox*>(GetDlgItem(IDC_FINDCLIP_TYPE)))
        pType->LimitText(kMaxTypeText);

    m_btnBrowse.SubclassWithIcon(IDC_FINDCLIP_BROWSE, this, IDI_GALLERY_BROWSE);
    m_btnFind.SubclassWithIcon(IDC_FINDCLIP_FIND, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(IDC_FINDCLIP_HELP, this, IDI_BUTTON_HELP);
    CenterWindow();
    return TRUE;
}

void CFindClipartDlg::OnBrowse()
{
    if (!UpdateData(TRUE))
        return;
    CString path = m_strLookIn;
    if (!PickDirectory(this, path, FALSE))
        return;
    m_strLookIn = path;
    UpdateData(FALSE);
}

void CFindClipartDlg::OnFind()
{
    if (!UpdateData(TRUE) || !m_pFiller)
        return;
    m_strPattern = PatternForType(m_strType);
    m_pFiller->m_strPattern = m_strPattern;
    m_pFiller->SetRootPath(RootOf(m_strLookIn));
    TakeSelectedFolder();
    if (m_pFiller->GetItemCount() == 0)
        AfxMessageBox(IDS_FINDCLIP_NONE_FOUND, MB_OK | MB_ICONINFORMATION);
}

void CFindClipartDlg::TakeSelectedFolder()
{
    m_strFoundFolder = m_pFiller ? m_pFiller->GetSelectedText() : CString();
    if (CWnd* pOpen = GetDlgItem(IDOK))
        pOpen->EnableWindow(!m_strFoundFolder.IsEmpty());
}

BOOL CFindClipartDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (pHeader != nullptr && pHeader->idFrom == IDC_FINDCLIP_TREE && m_pFiller) {
        if (pHeader->code == TVN_SELCHANGED) {
            TakeSelectedFolder();
        } else if (pHeader->code == NM_DBLCLK) {
            TakeSelectedFolder();
            if (!m_strFoundFolder.IsEmpty())
                PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(m_hWnd, IDOK)));
        }
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

void CFindClipartDlg::OnOK()
{
    // The command may be sent while Open folder is disabled: it does nothing
    // then.
    if (m_strFoundFolder.IsEmpty() || !UpdateData(TRUE))
        return;
    const CString strFolder = WithTrailingBackslash(m_strFoundFolder);
    thePrefs.SetPictureFolder(strFolder);
    CString strPath = strFolder + m_strPattern;

    CComboBox* pType = static_cast<CComboBox*>(GetDlgItem(IDC_FINDCLIP_TYPE));
    const int nSelected = pType != nullptr ? std::max(pType->GetCurSel(), 0) : 0;
    CString strTypeName = m_strType;
    int nTypeIndex = std::max(nSelected - 1, 0);

    const int nResult = ChoosePictureSource(
        this, strPath, kPictureDialogPickOne, FALSE, FALSE, &strTypeName, &nTypeIndex, nullptr);
    if (nResult != kPictureChosen)
        return;
    if (CountOpenDocuments() > 0) {
        auto* pMain = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
        CFrameWnd* pActive = pMain != nullptr ? pMain->GetActiveFrame() : nullptr;
        if (auto* pFrame = dynamic_cast<CSurfaceFrame*>(pActive)) {
            if (CSurface* pView = pFrame->GetActiveSurface())
                pView->InsertPictureFile(strPath);
        }
    }
    EndDialog(IDOK);
}

void CFindClipartDlg::OnHelpButton()
{
    // The same help as F1: the dialog's own topic.
    SendMessage(WM_COMMANDHELP, 0, 0);
}
