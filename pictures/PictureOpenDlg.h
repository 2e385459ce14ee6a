#pragma once
// CPictureOpenDlg: the Open dialog that shows a folder tree beside a grid of
// previews. Mode 0 browses designs (the application's design browser),
// mode 1 pictures (one of the picture chooser's pickers), mode 2 is the
// Scrapbook. The dialog owns its folder tree and its grid from set-up to
// destruction; its size is kept in the profile under "MulImages".
//
// It ends with a switch code (GetResult): 1 a file was chosen, 2 cancelled,
// 411 the user asked for the single-file dialog, 33013 for the Picture
// Gallery. A tree or grid that cannot be made ends the dialog as cancelled.

#include "controls/PictureButton.h"
#include "controls/ResizableDlg.h"
#include "platform/base/StringArray.h"
#include "platform/framework/Controls.h"

#include <memory>
#include <utility>
#include <vector>

class CFolderTree;
class CSavedDesignGrid;

class CPictureOpenDlg : public CResizableDlg {
public:
    enum Mode : int { modeDesigns = 0, modePictures = 1, modeScrapbook = 2 };
    // The picture options' value when the caller passed no array.
    static constexpr int kNoOption = -1;
    // The grid lies this far inside its frame.
    static constexpr int kGridInset = 5;
    static constexpr int kMaxLabel = 255;

    // pOptions: kPictureOptionCount values, or null for none.
    CPictureOpenDlg(CWnd* pParent, const CString& strInitialPath, int nMode, const CString& strTypeName,
        int nTypeIndex, const DWORD* pOptions);
    ~CPictureOpenDlg() override;

    // The grid's own result when it set one other than 2, else the dialog's.
    int GetResult() const;
    // The grid's current file into strPath; its folder (with the trailing
    // backslash) as the answer.
    CString GetFolder(CString& strPath) const;

    void RepositionControls() override;

    int m_nMode;
    int m_nResult = 2;
    CString m_strInitialPath;
    CString m_strStartFolder;
    CString m_strStartFile;
    CString m_strTypedFolder;
    BOOL m_bFolderPending = FALSE;
    // The folder the grid shows, with its trailing backslash.
    CString m_strFolder;
    BOOL m_bFilled = FALSE;
    CString m_strPattern;
    CString m_strTypeName;
    int m_nTypeIndex;
    int m_nTypes = 0;
    CStringArray m_typeNames;
    CStringArray m_typePatterns;
    BOOL m_bAutoPreview;
    int m_nOptions[2];
    std::unique_ptr<CFolderTree> m_pTree;
    std::unique_ptr<CSavedDesignGrid> m_pGrid;
    CString m_strLabel;
    C3DPicTrickBtn m_btnOk;
    C3DPicTrickBtn m_btnCancel;
    C3DPicTrickBtn m_btnHelp;
    C3DPicTrickBtn m_btnOptions;
    C3DPicTrickBtn m_btnPrint;
    CScrollBar m_scrollBar;
    // The file the grid had when the dialog ended (the grid's window is
    // gone by the time the caller asks).
    CString m_strChosenFile;
    CSize m_sizeDesigned;
    std::vector<std::pair<int, CRect>> m_designed;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    afx_msg void OnTypeChange();
    afx_msg void OnFolderChange();
    afx_msg void OnFolderKillFocus();
    afx_msg void OnGallery();
    afx_msg void OnSinglePreview();
    afx_msg void OnAutoPreview();
    afx_msg void OnPreviewNow();
    afx_msg void OnOptions();
    afx_msg void OnPrint();
    afx_msg void OnHelpButton();
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg LRESULT OnTreeItemActivated(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTreeItemExpanding(WPARAM wParam, LPARAM lParam);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void BuildTypeList();
    void SetStartFolder();
    void FillTypeCombo();
    void FillPictures(const CString& strFolder);
    void EnablePreviewNow();
    // The grid's place: the preview frame less the inset.
    CRect GridRect() const;
    // The controls' places as the template has them, which the layout
    // moves from.
    void RememberLayout();
    // The tree's selected folder becomes the grid's.
    void FollowTree();
    // Cleans the tree up and ends the dialog with nEnd, the result nResult.
    void EndWith(int nResult, int nEnd);
};
