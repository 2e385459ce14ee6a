#pragma once
// The Picture Gallery: named categories of pictures, each shown as a grid of
// thumbnails, from which the user inserts one picture into the design. The
// gallery keeps no copies: each entry is a picture file's path, the volume
// label of the disk it came from and a thumbnail (CGalleryDB). A picture
// whose file is missing is asked for by its disk's label.
//
// CImageCategoryDlg owns its database (opened when the dialog is built) and
// its grid (made in OnInitDialog; when it cannot be made the dialog ends as
// cancelled). The categories are set up in CCategorySetupDlg, which works on
// the gallery's database without owning it; CNewCategoryDlg and
// CEditCategoryDlg ask for a name and refuse empty ones, duplicates (of the
// setup list, ignoring case) and names the database cannot keep.

#include "controls/PicStatic.h"
#include "controls/PictureButton.h"
#include "controls/ResizableDlg.h"
#include "pictures/GalleryDB.h"
#include "platform/base/String.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"

#include <functional>
#include <memory>

class CCdDesignGrid;
class CStringArray;

class CImageCategoryDlg : public CResizableDlg {
public:
    // How the dialog ended besides 1 (chosen) and 2 (closed).
    static constexpr int kResultBrowse = 411;
    // The picture options' value when the caller passed no array.
    static constexpr int kNoOption = -1;
    static constexpr int kGridInset = 5;
    static constexpr const char* kPlacementValue = "ImageCategoryDialog";

    // pOptions: two values (proportional resizing, natural size), or null.
    CImageCategoryDlg(CWnd* pParent, const CString& strTypeName, int nTypeIndex, const DWORD* pOptions);
    // A gallery on another database file (tests).
    CImageCategoryDlg(CWnd* pParent, const CString& strTypeName, int nTypeIndex, const DWORD* pOptions,
        LPCTSTR lpszDatabase);
    ~CImageCategoryDlg() override;

    // 1 chosen, 2 closed, 411 Browse; the grid's own result when it set one
    // other than 2.
    int GetResult() const;
    const CString& GetChosenPath() const { return m_strChosenPath; }
    const CString& GetTypeName() const { return m_strTypeName; }
    int GetTypeIndex() const { return m_nTypeIndex; }
    // An option's value: 0 or 1, or kNoOption.
    int GetOption(int nIndex) const { return m_nOptions[nIndex & 1]; }
    // Writes the options back as 0 or 1 (nothing for a null array).
    void CopyOptions(DWORD* pOptions) const;

    CGalleryDB& GetDatabase() { return *m_pDatabase; }
    CCdDesignGrid* GetGrid() const { return m_pGrid.get(); }
    const CString& GetSelectedCategory() const { return m_strCategory; }

    // Test seams: the picture file dialog of Add Picture (answers its code
    // and fills the paths), and the volume label of a path's drive root.
    using FileChooser = std::function<int(CWnd*, CString&, CString&, int&, CStringArray&)>;
    void SetFileChooser(FileChooser chooser) { m_fileChooser = std::move(chooser); }
    using LabelReader = std::function<CString(const CString& strRoot)>;
    void SetLabelReader(LabelReader reader) { m_labelReader = std::move(reader); }

    BOOL OnInitDialog() override;
    void RepositionControls() override;

    void FillCategories();
    void LoadCategoryPictures();
    void UpdateButtons();
    // TRUE when the chosen picture's file is there, possibly after asking
    // for its disk.
    BOOL EnsurePictureAvailable();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    afx_msg void OnCategoryChange();
    afx_msg void OnSetupCategories();
    afx_msg void OnAddPicture();
    afx_msg void OnRemovePicture();
    afx_msg void OnInsertPicture();
    afx_msg void OnOptions();
    afx_msg void OnBrowse();
    afx_msg void OnOptionClicked();
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void Construct(const DWORD* pOptions);
    void RecordLayout();
    // The path's file on a mounted volume that carries the label, at the
    // same place below its root; empty when there is none.
    CString FindOnLabelledVolume(const CString& strPath, const CString& strLabel) const;

    std::unique_ptr<CGalleryDB> m_pDatabase;
    std::unique_ptr<CCdDesignGrid> m_pGrid;
    CScrollBar m_scrollBar;
    CListBox m_listCategories;
    CString m_strCategory;
    CString m_strChosenPath;
    int m_nResult = 2;
    BOOL m_bResultSet = FALSE;
    CString m_strTypeName;
    int m_nTypeIndex = 0;
    int m_nOptions[2] = {kNoOption, kNoOption};
    BOOL m_bInitialised = FALSE;
    CPicStatic m_bmpPictures;
    CPicStatic m_bmpCategories;
    C3DPicBtn m_btnSetup;
    C3DPicBtn m_btnAdd;
    C3DPicBtn m_btnRemove;
    C3DPicBtn m_btnOptions;
    C3DPicBtn m_btnInsert;
    C3DPicBtn m_btnBrowse;
    C3DPicBtn m_btnClose;
    C3DPicBtn m_btnHelp;
    FileChooser m_fileChooser;
    LabelReader m_labelReader;

    // Each laid-out control's first rectangle and the first client size,
    // so that a resize keeps the distances to the bottom and right edges.
    struct Anchor {
        int nID;
        CRect rect;
        BOOL bMoveX, bMoveY, bGrowX, bGrowY;
    };
    std::vector<Anchor> m_anchors;
    CSize m_sizeFirstClient;
};

// Categories Setup: add, rename and remove the gallery's categories. The
// list and the database change together; the dialog ends with OK after an
// add or a rename so that the gallery refills its list.
class CCategorySetupDlg : public CDialog {
public:
    explicit CCategorySetupDlg(CWnd* pParent = nullptr);

    void SetDatabase(CGalleryDB* pDatabase) { m_pDatabase = pDatabase; }
    const CString& GetSelectedName() const { return m_strSelected; }

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnAdd();
    afx_msg void OnEdit();
    afx_msg void OnRemove();
    afx_msg void OnSelChange();
    DECLARE_MESSAGE_MAP()

private:
    void UpdateButtons();

    CGalleryDB* m_pDatabase = nullptr;
    CString m_strSelected;
    CListBox m_list;
    C3DPicBtn m_btnAdd;
    C3DPicBtn m_btnEdit;
    C3DPicBtn m_btnRemove;
    C3DPicBtn m_btnClose;
};

// New Category: a name for a new category, checked against the setup list.
class CNewCategoryDlg : public CDialog {
public:
    CNewCategoryDlg(CWnd* pParent, CListBox* pSetupList);

    CString m_strName;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    // The message shown for an empty name.
    virtual CString EmptyNameText() const;
    CListBox* m_pSetupList;
    C3DPicBtn m_btnOK;
    C3DPicBtn m_btnCancel;
};

// Edit Category Name: the old name shown, a new one asked for.
class CEditCategoryDlg : public CNewCategoryDlg {
public:
    CEditCategoryDlg(CWnd* pParent, CListBox* pSetupList, const CString& strOldName);

    CString m_strOldName;

protected:
    BOOL OnInitDialog() override;
    CString EmptyNameText() const override;
};
