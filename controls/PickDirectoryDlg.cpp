#include "controls/PickDirectoryDlg.h"

#include "controls/FolderTree.h"
#include "controls/TreeNotices.h"
#include "platform/framework/DataExchange.h"
#include "platform/ui/User.h"

BEGIN_MESSAGE_MAP(CPickDirectoryDlg, CResizableDlg)
    ON_MESSAGE(WM_TREE_ITEM_ACTIVATED, OnTreeItemActivated)
    ON_MESSAGE(WM_TREE_ITEM_EXPANDING, OnTreeItemExpanding)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CPickDirectoryDlg::CPickDirectoryDlg(CWnd* pParent, LPCTSTR lpszPath, BOOL bShowCheck)
    : CResizableDlg(IDD_PICK_DIRECTORY, pParent)
    , m_strPath(lpszPath != nullptr ? lpszPath : "")
    , m_bShowCheck(bShowCheck)
{
    InitLayout(kPlacementValue, kDefaultPercent);
}

CPickDirectoryDlg::~CPickDirectoryDlg() = default;

void CPickDirectoryDlg::DoDataExchange(CDataExchange* pDX)
{
    CResizableDlg::DoDataExchange(pDX);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Check(pDX, IDC_PICK_DIRECTORY_CHECK, m_bChecked);
}

BOOL CPickDirectoryDlg::OnInitDialog()
{
    CResizableDlg::OnInitDialog();
    HWND hTree = ::GetDlgItem(m_hWnd, IDC_PICK_DIRECTORY_TREE);
    if (hTree == NULL) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_pTree = std::make_unique<CFolderTree>(hTree);
    m_bLimitMinSize = TRUE;
    if (m_layout.RestoreSize())
        CenterWindow();
    if (HWND hCheck = ::GetDlgItem(m_hWnd, IDC_PICK_DIRECTORY_CHECK)) {
        ::ShowWindow(hCheck, m_bShowCheck ? SW_SHOW : SW_HIDE);
        ::EnableWindow(hCheck, m_bShowCheck);
    }
    m_bInitialised = TRUE;
    RepositionControls();
    // The start folder is kept even when it no longer exists: the tree
    // stops at the last level it finds, and the user chooses from there.
    CString strStart = m_strPath;
    m_pTree->ExpandToPath(strStart);
    m_strPath = m_pTree->GetSelectedPath();
    UpdateData(FALSE);
    m_btnOK.SetIcon(IDI_BUTTON_OK);
    m_btnCancel.SetIcon(IDI_BUTTON_CANCEL);
    return TRUE;
}

void CPickDirectoryDlg::RepositionControls()
{
    if (!m_bInitialised)
        return;
    m_layout.MoveControl(IDCANCEL, CDlgLayout::sideRight, CDlgLayout::kClientArea, FALSE);
    m_layout.MoveControl(IDCANCEL, CDlgLayout::sideBottom, CDlgLayout::kClientArea, FALSE);
    if (m_bShowCheck)
        m_layout.MoveControl(IDC_PICK_DIRECTORY_CHECK, CDlgLayout::sideBottom, CDlgLayout::kClientArea, FALSE);
    m_layout.MoveControl(IDOK, CDlgLayout::sideBefore, IDCANCEL, TRUE);
    m_layout.MoveControl(IDOK, CDlgLayout::sideBottom, CDlgLayout::kClientArea, FALSE);
    m_layout.SizeControl(IDC_PICK_DIRECTORY_TREE, CDlgLayout::sideRight, CDlgLayout::kClientArea, FALSE);
    m_layout.SizeControl(IDC_PICK_DIRECTORY_TREE, CDlgLayout::sideBottom, IDOK, FALSE);
    Invalidate();
}

BOOL CPickDirectoryDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (pHeader != nullptr && pHeader->idFrom == IDC_PICK_DIRECTORY_TREE && ForwardTreeNotice(m_hWnd, pHeader)) {
        if (pResult != nullptr)
            *pResult = 0;
        return TRUE;
    }
    return CResizableDlg::OnNotify(wParam, lParam, pResult);
}

void CPickDirectoryDlg::FollowSelection()
{
    m_strPath = m_pTree->GetSelectedPath();
    UpdateData(FALSE);
}

LRESULT CPickDirectoryDlg::OnTreeItemActivated(WPARAM wParam, LPARAM lParam)
{
    if (m_pTree && m_pTree->OnItemActivated(wParam, lParam))
        FollowSelection();
    return 0;
}

LRESULT CPickDirectoryDlg::OnTreeItemExpanding(WPARAM wParam, LPARAM lParam)
{
    if (m_pTree && m_pTree->ExpandItem(wParam, lParam))
        FollowSelection();
    return 0;
}

void CPickDirectoryDlg::OnDestroy()
{
    if (m_pTree) {
        m_pTree->Cleanup();
        m_pTree.reset();
    }
    CResizableDlg::OnDestroy();
}
