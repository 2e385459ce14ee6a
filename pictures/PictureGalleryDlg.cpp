#include "pictures/PictureGalleryDlg.h"

#include "app/Drives.h"
#include "app/Paths.h"
#include "app/PrefData.h"
#include "assist/PreviewGrid.h"
#include "assist/PreviewOptionsDlg.h"
#include "controls/ProgressDlg.h"
#include "pictures/FileImageDlg.h"
#include "resources/gallery.h"

#include "platform/base/StringArray.h"
#include "platform/files/Drives.h"
#include "platform/framework/DataExchange.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/User.h"

namespace {

constexpr const char* kDuplicateName = "Category name already exists.";
constexpr const char* kRemoveCategoryPrompt = "Remove the category and all image links?";
constexpr const char* kRenameFailed = "The category could not be renamed; it keeps its old name.";

BOOL IsMetafileExtension(const CString& strPath)
{
    const CString strLast = strPath.Right(3);
    return strLast.CompareNoCase("cgm") == 0 || strLast.CompareNoCase("emf") == 0;
}

int DefaultFileChooser(CWnd* pParent, CString& strPath, CString& strTypeName, int& nTypeIndex, CStringArray& paths)
{
    return ChoosePictureFromFileDialog(pParent, strPath, CFileImageDlgNested::modeSelectPictures, &strTypeName,
        &nTypeIndex, &paths, nullptr);
}

CString DefaultLabelReader(const CString& strRoot)
{
    BOOL bRead = FALSE;
    return GetVolumeLabel(strRoot, &bRead);
}

CString ListText(const CListBox& list, int nIndex)
{
    CString strText;
    if (nIndex >= 0 && nIndex < list.GetCount())
        list.GetText(nIndex, strText);
    return strText;
}

} // namespace

// ---- CImageCategoryDlg -----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CImageCategoryDlg, CResizableDlg)
    ON_LBN_SELCHANGE(IDC_GALLERY_CATEGORIES, OnCategoryChange)
    ON_BN_CLICKED(IDC_GALLERY_SETUP, OnSetupCategories)
    ON_BN_CLICKED(IDC_GALLERY_ADD, OnAddPicture)
    ON_BN_CLICKED(IDC_GALLERY_REMOVE, OnRemovePicture)
    ON_BN_CLICKED(IDC_GALLERY_INSERT, OnInsertPicture)
    ON_BN_CLICKED(IDC_GALLERY_OPTIONS, OnOptions)
    ON_BN_CLICKED(IDC_GALLERY_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_GALLERY_PROPORTIONAL, OnOptionClicked)
    ON_BN_CLICKED(IDC_GALLERY_NATURAL_SIZE, OnOptionClicked)
    ON_CONTROL(CPreviewGrid::kNotifySelChange, CPreviewGrid::kGridId, UpdateButtons)
    ON_WM_VSCROLL()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CImageCategoryDlg::CImageCategoryDlg(CWnd* pParent, const CString& strTypeName, int nTypeIndex,
    const DWORD* pOptions)
    : CResizableDlg(IDD_PICTURE_GALLERY, pParent)
    , m_pDatabase(std::make_unique<CGalleryDB>())
    , m_strTypeName(strTypeName)
    , m_nTypeIndex(nTypeIndex)
{
    Construct(pOptions);
}

CImageCategoryDlg::CImageCategoryDlg(CWnd* pParent, const CString& strTypeName, int nTypeIndex,
    const DWORD* pOptions, LPCTSTR lpszDatabase)
    : CResizableDlg(IDD_PICTURE_GALLERY, pParent)
    , m_pDatabase(std::make_unique<CGalleryDB>(lpszDatabase))
    , m_strTypeName(strTypeName)
    , m_nTypeIndex(nTypeIndex)
{
    Construct(pOptions);
}

void CImageCategoryDlg::Construct(const DWORD* pOptions)
{
    InitLayout(kPlacementValue, CDlgLayout::kDefaultPercent);
    if (pOptions) {
        m_nOptions[0] = pOptions[0] ? 1 : 0;
        m_nOptions[1] = pOptions[1] ? 1 : 0;
    }
    m_fileChooser = DefaultFileChooser;
    m_labelReader = DefaultLabelReader;
}

CImageCategoryDlg::~CImageCategoryDlg() = default;

int CImageCategoryDlg::GetResult() const
{
    if (m_pGrid && m_pGrid->GetResult() != CPreviewGrid::kResultNone)
        return m_pGrid->GetResult();
    return m_nResult;
}

void CImageCategoryDlg::CopyOptions(DWORD* pOptions) const
{
    if (pOptions == nullptr)
        return;
    for (int i = 0; i < 2; ++i)
        pOptions[i] = m_nOptions[i] == 1 ? 1 : 0;
}

void CImageCategoryDlg::DoDataExchange(CDataExchange* pDX)
{
    CResizableDlg::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GALLERY_CATEGORIES, m_listCategories);
    DDX_Control(pDX, IDC_GALLERY_SCROLL, m_scrollBar);
    DDX_Control(pDX, IDC_GALLERY_CATEGORIES_BITMAP, m_bmpCategories);
    DDX_Control(pDX, IDC_GALLERY_PICTURES_BITMAP, m_bmpPictures);
    DDX_Control(pDX, IDC_GALLERY_SETUP, m_btnSetup);
    DDX_Control(pDX, IDC_GALLERY_ADD, m_btnAdd);
    DDX_Control(pDX, IDC_GALLERY_REMOVE, m_btnRemove);
    DDX_Control(pDX, IDC_GALLERY_OPTIONS, m_btnOptions);
    DDX_Control(pDX, IDC_GALLERY_INSERT, m_btnInsert);
    DDX_Control(pDX, IDC_GALLERY_BROWSE, m_btnBrowse);
    DDX_Control(pDX, IDCANCEL, m_btnClose);
    DDX_Control(pDX, IDC_GALLERY_HELP, m_btnHelp);
    // Options without a caller's array stay -1 and their boxes cleared.
    if (m_nOptions[0] != kNoOption && m_nOptions[1] != kNoOption) {
        DDX_Check(pDX, IDC_GALLERY_PROPORTIONAL, m_nOptions[0]);
        DDX_Check(pDX, IDC_GALLERY_NATURAL_SIZE, m_nOptions[1]);
    }
}

BOOL CImageCategoryDlg::OnInitDialog()
{
    CResizableDlg::OnInitDialog();
    if (m_nOptions[0] == kNoOption || m_nOptions[1] == kNoOption) {
        for (int nID : {IDC_GALLERY_NATURAL_SIZE, IDC_GALLERY_PROPORTIONAL}) {
            CheckDlgButton(nID, BST_UNCHECKED);
            if (CWnd* pBox = GetDlgItem(nID))
                pBox->EnableWindow(FALSE);
        }
    }

    m_btnAdd.SetIcons(IDI_GALLERY_ADD, IDI_GALLERY_ADD_DISABLED);
    m_btnRemove.SetIcons(IDI_GALLERY_REMOVE, IDI_GALLERY_REMOVE_DISABLED);
    m_btnInsert.SetIcons(IDI_BUTTON_OK, IDI_GALLERY_INSERT_DISABLED);
    m_btnClose.SetIcon(IDI_BUTTON_CANCEL);
    m_btnBrowse.SetIcon(IDI_GALLERY_BROWSE);
    m_btnOptions.SetIcon(IDI_GALLERY_OPTIONS);
    m_btnHelp.SetIcon(IDI_BUTTON_HELP);
    m_bmpCategories.SetPicture(NULL, IDB_GALLERY_CATEGORIES, CPicStatic::styleNone);
    m_bmpPictures.SetPicture(NULL, IDB_GALLERY_PICTURES, CPicStatic::styleNone);

    m_pGrid = std::make_unique<CCdDesignGrid>(this, &m_scrollBar, m_pDatabase.get());
    CRect rcFrame;
    if (CWnd* pFrame = GetDlgItem(IDC_GALLERY_FRAME)) {
        pFrame->GetWindowRect(&rcFrame);
        ScreenToClient(&rcFrame);
    }
    rcFrame.DeflateRect(kGridInset, kGridInset);
    if (!m_pGrid->Create(rcFrame)) {
        m_pGrid.reset();
        EndDialog(IDCANCEL);
        return TRUE;
    }

    RecordLayout();
    m_bLimitMinSize = TRUE;
    if (m_layout.RestoreSize())
        CenterWindow();
    m_bInitialised = TRUE;
    RepositionControls();
    FillCategories();
    UpdateButtons();
    return TRUE;
}

void CImageCategoryDlg::RecordLayout()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    m_sizeFirstClient = rcClient.Size();
    struct Rule {
        int nID;
        BOOL bMoveX, bMoveY, bGrowX, bGrowY;
    };
    // The bottom row and the hints keep their distances from the bottom
    // (the buttons and the check boxes also from the right); the lists and
    // frames take the new room.
    const Rule rules[] = {
        {IDC_GALLERY_SETUP, TRUE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_ADD, TRUE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_REMOVE, TRUE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_OPTIONS, TRUE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_INSERT, TRUE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_BROWSE, TRUE, TRUE, FALSE, FALSE},
        {IDCANCEL, TRUE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_HELP, TRUE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_PROPORTIONAL, TRUE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_NATURAL_SIZE, TRUE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_HINT1, FALSE, TRUE, TRUE, FALSE},
        {IDC_GALLERY_HINT2, FALSE, TRUE, TRUE, FALSE},
        {IDC_GALLERY_SEPARATOR, FALSE, TRUE, TRUE, FALSE},
        {IDC_GALLERY_HINT_ICON, FALSE, TRUE, FALSE, FALSE},
        {IDC_GALLERY_CATEGORIES, FALSE, FALSE, FALSE, TRUE},
        {IDC_GALLERY_CATEGORIES_GROUP, FALSE, FALSE, FALSE, TRUE},
        {IDC_GALLERY_PICTURES_GROUP, FALSE, FALSE, TRUE, TRUE},
        {IDC_GALLERY_FRAME, FALSE, FALSE, TRUE, TRUE},
        {IDC_GALLERY_SCROLL, TRUE, FALSE, FALSE, TRUE},
    };
    m_anchors.clear();
    for (const Rule& rule : rules) {
        CWnd* pControl = GetDlgItem(rule.nID);
        if (pControl == nullptr)
            continue;
        CRect rc;
        pControl->GetWindowRect(&rc);
        ScreenToClient(&rc);
        m_anchors.push_back({rule.nID, rc, rule.bMoveX, rule.bMoveY, rule.bGrowX, rule.bGrowY});
    }
}

void CImageCategoryDlg::RepositionControls()
{
    if (!m_bInitialised)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    const int dx = rcClient.Width() - m_sizeFirstClient.cx;
    const int dy = rcClient.Height() - m_sizeFirstClient.cy;
    for (const Anchor& anchor : m_anchors) {
        CRect rc = anchor.rect;
        if (anchor.bMoveX)
            rc.OffsetRect(dx, 0);
        if (anchor.bMoveY)
            rc.OffsetRect(0, dy);
        if (anchor.bGrowX)
            rc.right += dx;
        if (anchor.bGrowY)
            rc.bottom += dy;
        if (CWnd* pControl = GetDlgItem(anchor.nID))
            pControl->MoveWindow(&rc, FALSE);
    }
    if (m_pGrid) {
        CRect rcFrame;
        if (CWnd* pFrame = GetDlgItem(IDC_GALLERY_FRAME)) {
            pFrame->GetWindowRect(&rcFrame);
            ScreenToClient(&rcFrame);
            rcFrame.DeflateRect(kGridInset, kGridInset);
            m_pGrid->Place(rcFrame);
        }
    }
    Invalidate();
}

void CImageCategoryDlg::FillCategories()
{
    m_pDatabase->FillListBox(&m_listCategories);
    if (m_listCategories.GetCount() > 0) {
        const CString strRemembered = CPrefData::GetSelImgCategory();
        if (strRemembered.IsEmpty())
            m_listCategories.SetCurSel(0);
        else
            m_listCategories.SetCurSel(m_listCategories.FindStringExact(-1, strRemembered));
    }
    OnCategoryChange();
}

void CImageCategoryDlg::OnCategoryChange()
{
    UpdateData(TRUE);
    const int nSel = m_listCategories.GetCurSel();
    m_strCategory = ListText(m_listCategories, nSel);
    if (nSel >= 0)
        CPrefData::SetSelImgCategory(m_strCategory);
    LoadCategoryPictures();
    UpdateButtons();
}

void CImageCategoryDlg::LoadCategoryPictures()
{
    if (!m_pGrid)
        return;
    m_pGrid->ResetItems();
    int nCount = 0;
    if (!m_strCategory.IsEmpty() && !m_pDatabase->OpenCategory(m_strCategory, FALSE, &nCount))
        nCount = 0;
    m_pGrid->SetItemCount(nCount);
    m_pGrid->SetShowImages(TRUE);
}

void CImageCategoryDlg::UpdateButtons()
{
    const BOOL bCategories = m_listCategories.GetSafeHwnd() && m_listCategories.GetCount() > 0;
    const BOOL bCurrent = bCategories && m_pGrid && !m_pGrid->GetCurrentFile().IsEmpty();
    m_btnAdd.EnableWindow(bCategories);
    m_btnRemove.EnableWindow(bCurrent);
    m_btnInsert.EnableWindow(bCurrent);
}

void CImageCategoryDlg::OnAddPicture()
{
    if (m_strCategory.IsEmpty())
        return;
    CStringArray paths;
    CString strPath;
    const int nAnswer = m_fileChooser(this, strPath, m_strTypeName, m_nTypeIndex, paths);
    if (nAnswer != 1 || paths.GetSize() < 1)
        return;
    const CString strLabel = m_labelReader(paths[0].Left(3));

    {
        CProgressDlg progress(this, TRUE);
        // The progress lets the messages through: meanwhile the gallery
        // takes no clicks of its own, or a second Add or a Remove would
        // work on the list being filled. Enabled again before the progress
        // window goes, so that the gallery is where the focus comes back.
        struct SelfDisabled {
            explicit SelfDisabled(CResizableDlg& dlg) : m_dlg(dlg) { m_dlg.CWndDisableSelf(); }
            ~SelfDisabled() { m_dlg.CWndEnableSelf(); }
            CResizableDlg& m_dlg;
        } disabled(*this);
        progress.SetMessage(IDS_GALLERY_PROGRESS);
        progress.SetRange(static_cast<int>(paths.GetSize()));
        progress.SetPos(0);
        BOOL bToldMetafiles = FALSE;
        for (INT_PTR i = 0; i < paths.GetSize(); ++i) {
            if (progress.m_bCancelled)
                break;
            const CString strFile = paths[i];
            progress.SetLineCompact(1, strFile);
            if (IsMetafileExtension(strFile)) {
                // Said once for all the metafiles of one choice of files.
                if (!bToldMetafiles)
                    AfxMessageBox(IDS_GALLERY_NO_METAFILES, MB_OK | MB_ICONEXCLAMATION);
                bToldMetafiles = TRUE;
            } else
                m_pDatabase->AddPicture(m_strCategory, strFile, strLabel);
            progress.SetPos(static_cast<int>(i + 1));
        }
    }
    LoadCategoryPictures();
    UpdateButtons();
}

void CImageCategoryDlg::OnRemovePicture()
{
    if (!m_pGrid)
        return;
    const int nItem = m_pGrid->GetCurSel();
    if (nItem < 0 || m_strCategory.IsEmpty())
        return;
    m_pDatabase->RemovePicture(m_strCategory, nItem);
    LoadCategoryPictures();
    UpdateButtons();
}

void CImageCategoryDlg::OnInsertPicture()
{
    if (!m_pGrid)
        return;
    m_strChosenPath = m_pGrid->GetCurrentFile();
    if (!EnsurePictureAvailable())
        return;
    m_nResult = 1;
    m_bResultSet = TRUE;
    EndDialog(IDOK);
}

void CImageCategoryDlg::OnOK()
{
    if (!m_pGrid)
        return;
    m_strChosenPath = m_pGrid->GetCurrentFile();
    if (!EnsurePictureAvailable()) {
        // A double click that found no file is not a choice.
        m_pGrid->SetResult(CPreviewGrid::kResultNone);
        return;
    }
    if (m_pGrid->GetResult() != CPreviewGrid::kResultNone)
        m_nResult = m_pGrid->GetResult();
    else if (!m_bResultSet)
        m_nResult = 1;
    m_bResultSet = TRUE;
    EndDialog(IDOK);
}

CString CImageCategoryDlg::FindOnLabelledVolume(const CString& strPath, const CString& strLabel) const
{
    // Removable volumes get their letters in mount order, so a disk may come
    // back under another letter: the same place below any root that carries
    // the recorded label is as good as the stored path.
    if (strPath.GetLength() < 4 || strPath[1] != ':' || strLabel.IsEmpty())
        return CString();
    const CString strBelowRoot = strPath.Mid(3);
    const DWORD dwDrives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(dwDrives & (1u << i)))
            continue;
        CString strRoot;
        strRoot.Format("%c:\\", 'A' + i);
        if (strRoot.CompareNoCase(strPath.Left(3)) == 0)
            continue;
        if (m_labelReader(strRoot).CompareNoCase(strLabel) != 0)
            continue;
        const CString strCandidate = strRoot + strBelowRoot;
        if (FileExists(strCandidate))
            return strCandidate;
    }
    return CString();
}

BOOL CImageCategoryDlg::EnsurePictureAvailable()
{
    if (!m_strChosenPath.IsEmpty() && FileExists(m_strChosenPath))
        return TRUE;
    if (!m_pGrid || m_pGrid->GetCurSel() < 0)
        return FALSE;
    const CString strLabel = m_pDatabase->GetPictureLabel(m_pGrid->GetCurSel());
    if (strLabel.IsEmpty()) {
        AfxMessageBox("Unable to locate " + m_strChosenPath + ".", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    for (;;) {
        const CString strMoved = FindOnLabelledVolume(m_strChosenPath, strLabel);
        if (!strMoved.IsEmpty()) {
            m_strChosenPath = strMoved;
            return TRUE;
        }
        if (AfxMessageBox("Please insert the CD : " + strLabel, MB_OKCANCEL) != IDOK)
            break;
        if (FileExists(m_strChosenPath))
            return TRUE;
    }
    return FileExists(m_strChosenPath);
}

void CImageCategoryDlg::OnSetupCategories()
{
    const int nOldIndex = m_listCategories.GetCurSel();
    const CString strOldName = ListText(m_listCategories, nOldIndex);

    CCategorySetupDlg setup(this);
    setup.SetDatabase(m_pDatabase.get());
    setup.DoModal();

    m_pDatabase->FillListBox(&m_listCategories);
    const int nCount = m_listCategories.GetCount();
    int nSel = strOldName.IsEmpty() ? LB_ERR : m_listCategories.FindStringExact(-1, strOldName);
    if (nSel == LB_ERR && nOldIndex >= 0 && nOldIndex < nCount)
        nSel = nOldIndex;
    if (nSel == LB_ERR && nCount > 0)
        nSel = 0;
    m_listCategories.SetCurSel(nSel);
    OnCategoryChange();
}

void CImageCategoryDlg::OnOptions()
{
    CPreviewOptionsDlg options(this);
    if (options.DoModal() != IDOK || !m_pGrid)
        return;
    m_pGrid->UpdatePreviewSize();
    m_pGrid->SetShowImages(TRUE);
    LoadCategoryPictures();
    UpdateButtons();
}

void CImageCategoryDlg::OnBrowse()
{
    m_nResult = kResultBrowse;
    m_bResultSet = TRUE;
    EndDialog(kResultBrowse);
}

void CImageCategoryDlg::OnOptionClicked()
{
    UpdateData(TRUE);
}

void CImageCategoryDlg::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (m_pGrid && pScrollBar != nullptr && pScrollBar->GetSafeHwnd() == m_scrollBar.GetSafeHwnd())
        m_pGrid->OnScrollBar(nSBCode, nPos);
}

void CImageCategoryDlg::OnDestroy()
{
    if (m_pGrid && m_pGrid->GetSafeHwnd())
        m_pGrid->DestroyWindow();
    CResizableDlg::OnDestroy();
}

// ---- CCategorySetupDlg ----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CCategorySetupDlg, CDialog)
    ON_BN_CLICKED(IDC_CATEGORY_SETUP_ADD, OnAdd)
    ON_BN_CLICKED(IDC_CATEGORY_SETUP_EDIT, OnEdit)
    ON_BN_CLICKED(IDC_CATEGORY_SETUP_REMOVE, OnRemove)
    ON_LBN_SELCHANGE(IDC_CATEGORY_SETUP_LIST, OnSelChange)
END_MESSAGE_MAP()

CCategorySetupDlg::CCategorySetupDlg(CWnd* pParent) : CDialog(IDD_CATEGORY_SETUP, pParent) {}

void CCategorySetupDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CATEGORY_SETUP_LIST, m_list);
    DDX_Control(pDX, IDC_CATEGORY_SETUP_ADD, m_btnAdd);
    DDX_Control(pDX, IDC_CATEGORY_SETUP_EDIT, m_btnEdit);
    DDX_Control(pDX, IDC_CATEGORY_SETUP_REMOVE, m_btnRemove);
    DDX_Control(pDX, IDOK, m_btnClose);
}

BOOL CCategorySetupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_pDatabase == nullptr) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_pDatabase->FillListBox(&m_list);
    if (m_list.GetCount() > 0)
        m_list.SetCurSel(0);
    OnSelChange();
    m_btnAdd.SetIcons(IDI_GALLERY_ADD, IDI_GALLERY_ADD_DISABLED);
    m_btnRemove.SetIcons(IDI_GALLERY_REMOVE, IDI_GALLERY_REMOVE_DISABLED);
    m_btnEdit.SetIcons(IDI_GALLERY_EDIT, IDI_GALLERY_EDIT_DISABLED);
    m_btnClose.SetIcon(IDI_BUTTON_CANCEL);
    CenterWindow();
    UpdateButtons();
    return TRUE;
}

void CCategorySetupDlg::UpdateButtons()
{
    const BOOL bAny = m_list.GetCount() > 0;
    m_btnEdit.EnableWindow(bAny);
    m_btnRemove.EnableWindow(bAny);
}

void CCategorySetupDlg::OnSelChange()
{
    m_strSelected = ListText(m_list, m_list.GetCurSel());
}

void CCategorySetupDlg::OnAdd()
{
    CNewCategoryDlg dlg(this, &m_list);
    if (dlg.DoModal() != IDOK)
        return;
    m_pDatabase->AddCategoryName(dlg.m_strName);
    m_pDatabase->WriteCategoryNames();
    m_list.AddString(dlg.m_strName);
    EndDialog(IDOK);
}

void CCategorySetupDlg::OnEdit()
{
    const int nSel = m_list.GetCurSel();
    const CString strOld = ListText(m_list, nSel);
    if (nSel < 0 || strOld.IsEmpty())
        return;
    CEditCategoryDlg dlg(this, &m_list, strOld);
    if (dlg.DoModal() != IDOK)
        return;
    EndDialog(IDOK);
    if (dlg.m_strName.IsEmpty())
        return;
    m_list.DeleteString(static_cast<UINT>(nSel));
    m_list.InsertString(nSel, dlg.m_strName);
    if (!m_pDatabase->RenameCategory(strOld, dlg.m_strName))
        AfxMessageBox(kRenameFailed, MB_OK | MB_ICONEXCLAMATION);
    m_list.SetCurSel(nSel);
    m_strSelected = dlg.m_strName;
}

void CCategorySetupDlg::OnRemove()
{
    const int nSel = m_list.GetCurSel();
    const CString strName = ListText(m_list, nSel);
    if (nSel < 0 || strName.IsEmpty())
        return;
    if (AfxMessageBox(kRemoveCategoryPrompt, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    // Removing the name rewrites the category list before the stream goes.
    m_pDatabase->RemoveCategory(strName);
    m_list.DeleteString(static_cast<UINT>(nSel));
    m_list.SetCurSel(m_list.GetCount() > 0 ? 0 : -1);
    OnSelChange();
    UpdateButtons();
}

// ---- CNewCategoryDlg and CEditCategoryDlg ----------------------------------------------------

CNewCategoryDlg::CNewCategoryDlg(CWnd* pParent, CListBox* pSetupList)
    : CDialog(IDD_NEW_CATEGORY, pParent)
    , m_pSetupList(pSetupList)
{
}

BOOL CNewCategoryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendDlgItemMessage(IDC_CATEGORY_NAME, EM_LIMITTEXT, WPARAM(kMaxCategoryName), 0);
    m_btnOK.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    return TRUE;
}

CString CNewCategoryDlg::EmptyNameText() const
{
    return "Please specify a category name.";
}

void CNewCategoryDlg::OnOK()
{
    CString strName;
    GetDlgItemText(IDC_CATEGORY_NAME, strName);
    strName.TrimLeft();
    strName.TrimRight();
    SetDlgItemText(IDC_CATEGORY_NAME, strName);
    if (strName.IsEmpty()) {
        AfxMessageBox(EmptyNameText(), MB_OK | MB_ICONSTOP);
        return;
    }
    if (m_pSetupList && m_pSetupList->FindStringExact(-1, strName) != LB_ERR) {
        AfxMessageBox(kDuplicateName, MB_OK | MB_ICONSTOP);
        return;
    }
    // A name the database could not keep as its own stream would share or
    // break another one; refuse it here rather than lose pictures later.
    const CategoryNameFault fault = CheckCategoryName(strName);
    if (fault != CategoryNameFault::None) {
        AfxMessageBox(GetCategoryNameFaultText(fault), MB_OK | MB_ICONSTOP);
        return;
    }
    m_strName = strName;
    EndDialog(IDOK);
}

CEditCategoryDlg::CEditCategoryDlg(CWnd* pParent, CListBox* pSetupList, const CString& strOldName)
    : CNewCategoryDlg(pParent, pSetupList)
    , m_strOldName(strOldName)
{
    m_lpszTemplateName = MAKEINTRESOURCE(IDD_EDIT_CATEGORY);
    m_nIDHelp = IDD_EDIT_CATEGORY;
}

BOOL CEditCategoryDlg::OnInitDialog()
{
    CNewCategoryDlg::OnInitDialog();
    SetDlgItemText(IDC_CATEGORY_OLD_NAME, m_strOldName);
    return TRUE;
}

CString CEditCategoryDlg::EmptyNameText() const
{
    return "Please specify a new category name.";
}
