#pragma once
// Find Clipart: looks for the folders that hold pictures of one type below
// a drive or folder, lists them in a tree, and opens the picture chooser in
// the folder the user picks, inserting the chosen picture into the active
// design. The dialog inserts the picture itself; DoModal answers IDOK when
// a picture was chosen (inserted when a design view is active), IDCANCEL
// otherwise. A chooser the user cancels leaves the dialog open.
//
// The type list holds the names of the picture filter, "All Picture files"
// first; its edit may also take a pattern of its own ("*.gif;*.png"). The
// walk belongs to the tree filler, which the dialog owns for its life; a
// dialog whose tree control is missing ends at once as cancelled.

#include "controls/DriveComboBox.h"
#include "controls/PictureButton.h"
#include "platform/base/StringArray.h"
#include "platform/framework/Dialog.h"

#include <memory>

class CFolderTreeFiller;

class CFindClipartDlg : public CDialog {
public:
    enum { IDD = 394 };
    static constexpr int kMaxTypeText = 255;

    explicit CFindClipartDlg(CWnd* pParent = NULL);
    ~CFindClipartDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // "Open folder": runs the chooser in the found folder.
    void OnOK() override;

    // The pattern the last Find searched for, and the folder selected in the
    // results (with its trailing backslash; empty when none).
    const CString& GetSearchPattern() const { return m_strPattern; }
    const CString& GetFoundFolder() const { return m_strFoundFolder; }
    CFolderTreeFiller* GetTreeFiller() const { return m_pFiller.get(); }

    // The type combo's text and the look-in path ("c:" or a folder).
    CString m_strType;
    CString m_strLookIn;

protected:
    afx_msg void OnBrowse();
    afx_msg void OnFind();
    afx_msg void OnHelpButton();
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    DECLARE_MESSAGE_MAP()

private:
    // The patterns of a type name of the filter, or the text itself when it
    // names no type.
    CString PatternForType(const CString& strType) const;
    void FillTypes();
    // The found folder from the tree's selection; Open folder follows it.
    void TakeSelectedFolder();

    CStringArray m_typeNames;
    CStringArray m_typePatterns;
    CString m_strPattern;
    CString m_strFoundFolder;
    std::unique_ptr<CFolderTreeFiller> m_pFiller;
    CDriveComboBox m_comboLookIn;
    C3DPicBtn m_btnBrowse;
    C3DPicBtn m_btnFind;
    C3DPicBtn m_btnCancel;
    C3DPicBtn m_btnHelp;
};
