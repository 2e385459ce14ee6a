#include "controls/KitListDlg.h"

#include "app/ContentCatalog.h"
#include "app/KitFinder.h"
#include "controls/TreeFiller.h"
#include "controls/TreeNotices.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"
#include "resources/controls.h"

#include <memory>
#include <vector>

// The kits as top-level items with check boxes; the data of an item is its
// kit number.
class CKitTreeFiller : public CTreeFiller {
public:
    struct Entry {
        CString strText;
        DWORD dwKit = 0;
        BOOL bChecked = FALSE;
    };

    using CTreeFiller::CTreeFiller;

    void Fill() override
    {
        for (const Entry& entry : m_entries) {
            HTREEITEM hItem = AddItem(TVI_ROOT, entry.strText, entry.dwKit, 0);
            SetCheckState(hItem, entry.bChecked ? 1 : 0);
        }
    }

    int CountChecked() const
    {
        int nChecked = 0;
        for (HTREEITEM hItem = GetItemAt(0); hItem != NULL; hItem = NextByIndex(hItem)) {
            if (GetCheckState(hItem) == 1)
                ++nChecked;
        }
        return nChecked;
    }

    std::vector<Entry> m_entries;
};

// The tree view checks an item itself on a click of its box or on Space and
// tells nobody; the dialog hears of it through this subclass.
class CKitTreeCtrl : public CWnd {
protected:
    afx_msg void OnLButtonDown(UINT, CPoint)
    {
        Default();
        TellOwner();
    }
    afx_msg void OnLButtonDblClk(UINT, CPoint)
    {
        Default();
        TellOwner();
    }
    afx_msg void OnKeyDown(UINT, UINT, UINT)
    {
        Default();
        TellOwner();
    }
    DECLARE_MESSAGE_MAP()

private:
    void TellOwner()
    {
        // The control may have gone with its dialog during the message.
        if (m_hWnd != NULL && ::IsWindow(m_hWnd))
            ::SendMessage(::GetParent(m_hWnd), CKitListDlg::kRecountMessage, 0, 0);
    }
};

BEGIN_MESSAGE_MAP(CKitTreeCtrl, CWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

namespace {

// What a kit shows: its category, when its file name gives one, and its path.
CString KitItemText(const CString& strPath)
{
    CString strCategory = KitFileToCategoryName(strPath);
    if (strCategory.IsEmpty())
        return strPath;
    return strCategory + " - " + strPath;
}

int FindPath(const std::vector<CString>& paths, const CString& strPath)
{
    for (size_t i = 0; i < paths.size(); ++i) {
        if (paths[i].CompareNoCase(strPath) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

BEGIN_MESSAGE_MAP(CKitListDlg, CDialog)
    ON_MESSAGE(WM_TREE_ITEM_ACTIVATED, OnTreeItemActivated)
    ON_MESSAGE(WM_TREE_ITEM_EXPANDING, OnTreeItemExpanding)
    ON_MESSAGE(CKitListDlg::kRecountMessage, OnRecount)
    ON_BN_CLICKED(IDC_KIT_LIST_CHECK_ALL, OnCheckAll)
    ON_BN_CLICKED(IDC_KIT_LIST_UNCHECK_ALL, OnUncheckAll)
    ON_BN_CLICKED(IDC_KIT_LIST_SEARCH, OnSearchDrives)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CKitListDlg::CKitListDlg(CWnd* pParent, CDesignIndex* pIndex)
    : CDialog(IDD_KIT_LIST, pParent)
    , m_pIndex(pIndex)
{
    if (m_pIndex != nullptr && m_pIndex->GetFilter() != nullptr)
        m_filter = *m_pIndex->GetFilter();
    else
        m_filter.SetAll();
}

CKitListDlg::~CKitListDlg() = default;

BOOL CKitListDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HWND hTree = ::GetDlgItem(m_hWnd, IDC_KIT_LIST_TREE);
    if (hTree == NULL) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_pTreeCtrl = std::make_unique<CKitTreeCtrl>();
    m_pTreeCtrl->SubclassWindow(hTree);
    m_pFiller = std::make_unique<CKitTreeFiller>(hTree);
    m_pFiller->LoadImages();
    m_pFiller->SetIndents();
    Reset();
    return TRUE;
}

void CKitListDlg::Reset()
{
    for (int& nSelection : m_nSelection)
        nSelection = -1;
    if (!m_pFiller)
        return;

    // A second fill keeps what the user has checked; a kit the list did not
    // hold before (one a search has just found) comes checked.
    const BOOL bRefill = m_bFilled;
    const std::vector<CString> oldPaths = m_kitPaths;
    const CFlagSet128 oldStates = bRefill ? GetCheckedFilter() : m_filter;

    m_kitPaths.clear();
    m_pFiller->m_entries.clear();
    {
        CKitFinder finder(kDesignTableStem);
        CString strPath;
        int nKind = 0;
        // The finder's filter enables exactly the first 128 kits, which are
        // all a filter can name.
        for (BOOL bMore = finder.GetFirstKit(strPath, nKind); bMore; bMore = finder.GetNextKit(strPath, nKind)) {
            const int nKit = finder.GetCurrentKit();
            if (nKit < 0 || nKit >= CFlagSet128::kFlags)
                break;
            m_kitPaths.resize(static_cast<size_t>(nKit) + 1);
            m_kitPaths[static_cast<size_t>(nKit)] = strPath;
            BOOL bChecked = oldStates.Test(nKit);
            if (bRefill) {
                const int nOld = FindPath(oldPaths, strPath);
                bChecked = nOld < 0 || oldStates.Test(nOld);
            }
            m_pFiller->m_entries.push_back({KitItemText(strPath), DWORD(nKit), bChecked});
        }
    }
    m_pFiller->ResetTree();
    m_pFiller->Fill();
    m_pFiller->Refresh();
    m_bFilled = TRUE;
    UpdateCounts();
}

int CKitListDlg::GetListedCount() const
{
    return m_pFiller ? m_pFiller->GetItemCount() : 0;
}

int CKitListDlg::GetCheckedCount() const
{
    return m_pFiller ? m_pFiller->CountChecked() : 0;
}

CFlagSet128 CKitListDlg::GetCheckedFilter() const
{
    CFlagSet128 filter;
    if (!m_pFiller)
        return filter;
    CDWordArray checked;
    m_pFiller->GetCheckedItems(checked);
    for (INT_PTR i = 0; i < checked.GetSize(); ++i)
        filter.Set(static_cast<int>(checked[i]));
    return filter;
}

void CKitListDlg::UpdateCounts()
{
    SetDlgItemInt(IDC_KIT_LIST_LISTED, UINT(GetListedCount()), FALSE);
    SetDlgItemInt(IDC_KIT_LIST_CHECKED, UINT(GetCheckedCount()), FALSE);
}

BOOL CKitListDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (pHeader != nullptr && pHeader->idFrom == IDC_KIT_LIST_TREE && ForwardTreeNotice(m_hWnd, pHeader)) {
        if (pResult != nullptr)
            *pResult = 0;
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

// The tree view keeps the check states itself; the notices only move the
// counts on.
LRESULT CKitListDlg::OnTreeItemActivated(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == IDC_KIT_LIST_TREE)
        UpdateCounts();
    return 0;
}

LRESULT CKitListDlg::OnTreeItemExpanding(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == IDC_KIT_LIST_TREE)
        UpdateCounts();
    return 0;
}

LRESULT CKitListDlg::OnRecount(WPARAM, LPARAM)
{
    UpdateCounts();
    return 0;
}

void CKitListDlg::OnCheckAll()
{
    if (m_pFiller)
        m_pFiller->CheckAll(1);
    UpdateCounts();
}

void CKitListDlg::OnUncheckAll()
{
    if (m_pFiller)
        m_pFiller->CheckAll(0);
    UpdateCounts();
}

void CKitListDlg::OnSearchDrives()
{
    {
        CKitFinder finder(kDesignTableStem);
        finder.SearchDrives(m_chFirstDrive, m_chLastDrive);
    }
    Reset();
}

void CKitListDlg::OnOK()
{
    m_filter = GetCheckedFilter();
    if (m_pIndex != nullptr)
        m_pIndex->SetFilter(m_filter);
    CDialog::OnOK();
}

void CKitListDlg::OnDestroy()
{
    // The filler gives the tree its pictures back while the tree is there.
    m_pFiller.reset();
    CDialog::OnDestroy();
}
