#pragma once
// "Browse for Folder": a resizable dialog around the drive-and-folder tree
// (CFolderTree on its tree view 1000), OK and Cancel as picture buttons and
// an optional check box 576. It opens with the start folder opened and
// selected; the chosen folder is m_strPath after IDOK. Its size is kept
// under "PickDirectoryDlgSize"; the first time it takes 40 percent of the
// screen. The dialog owns its tree object; when the tree cannot be made the
// dialog ends as cancelled.

#include "controls/PictureButton.h"
#include "controls/ResizableDlg.h"
#include "platform/base/String.h"

#include <memory>

class CFolderTree;

#define IDD_PICK_DIRECTORY 501
#define IDC_PICK_DIRECTORY_TREE 1000
#define IDC_PICK_DIRECTORY_CHECK 576

class CPickDirectoryDlg : public CResizableDlg {
public:
    static constexpr int kDefaultPercent = 40;
    static constexpr const char* kPlacementValue = "PickDirectoryDlgSize";

    CPickDirectoryDlg(CWnd* pParent, LPCTSTR lpszPath, BOOL bShowCheck);
    ~CPickDirectoryDlg() override;

    BOOL OnInitDialog() override;
    void RepositionControls() override;

    CFolderTree* GetFolderTree() const { return m_pTree.get(); }

    std::unique_ptr<CFolderTree> m_pTree;
    CString m_strPath;
    BOOL m_bShowCheck = FALSE;
    C3DPicBtn m_btnCancel;
    C3DPicBtn m_btnOK;
    BOOL m_bChecked = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    afx_msg LRESULT OnTreeItemActivated(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTreeItemExpanding(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void FollowSelection();
    BOOL m_bInitialised = FALSE;
};
