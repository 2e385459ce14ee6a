#include "pictures/PictureOpenDlg.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/Utilities.h"
#include "assist/PreviewGrid.h"
#include "assist/PreviewOptionsDlg.h"
#include "controls/FolderTree.h"
#include "controls/TreeNotices.h"
#include "pictures/ChoosePicture.h"
#include "platform/framework/Afx.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/User.h"
#include "resources/pictureopen.h"

#include <algorithm>
#include <iterator>

#ifndef IDI_BUTTON_OPTIONS
#define IDI_BUTTON_OPTIONS 650
#endif

BEGIN_MESSAGE_MAP(CPictureOpenDlg, CResizableDlg)
    ON_CBN_SELCHANGE(IDC_PICTURE_OPEN_TYPE, OnTypeChange)
    ON_EN_CHANGE(IDC_PICTURE_OPEN_FOLDER, OnFolderChange)
    ON_EN_KILLFOCUS(IDC_PICTURE_OPEN_FOLDER, OnFolderKillFocus)
    ON_BN_CLICKED(IDC_PICTURE_OPEN_GALLERY, OnGallery)
    ON_BN_CLICKED(IDC_PICTURE_OPEN_SINGLE, OnSinglePreview)
    ON_BN_CLICKED(IDC_PICTURE_OPEN_AUTO_PREVIEW, OnAutoPreview)
    ON_BN_CLICKED(IDC_PICTURE_OPEN_PREVIEW_NOW, OnPreviewNow)
    ON_BN_CLICKED(IDC_PICTURE_OPEN_OPTIONS, OnOptions)
    ON_BN_CLICKED(IDC_PICTURE_OPEN_PRINT, OnPrint)
    ON_BN_CLICKED(IDC_PICTURE_OPEN_HELP, OnHelpButton)
    ON_MESSAGE(WM_TREE_ITEM_ACTIVATED, OnTreeItemActivated)
    ON_MESSAGE(WM_TREE_ITEM_EXPANDING, OnTreeItemExpanding)
    ON_WM_VSCROLL()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

namespace {

constexpr const char* kPlacementValue = "MulImages";

// Every control the layout moves: the buttons along the bottom keep their
// distances from the right and bottom edges; the controls beside them keep
// theirs from the bottom.
constexpr int kBottomRightIds[] = {IDOK, IDCANCEL, IDC_PICTURE_OPEN_HELP, IDC_PICTURE_OPEN_PRINT,
    IDC_PICTURE_OPEN_OPTIONS, IDC_PICTURE_OPEN_SINGLE, IDC_PICTURE_OPEN_GALLERY};
constexpr int kBottomIds[] = {IDC_PICTURE_OPEN_TYPE_LABEL, IDC_PICTURE_OPEN_TYPE, IDC_PICTURE_OPTION_NATURAL_SIZE,
    IDC_PICTURE_OPTION_PROPORTIONAL, IDC_PICTURE_OPEN_AUTO_PREVIEW, IDC_PICTURE_OPEN_PREVIEW_NOW};

CRect ChildRect(HWND hDlg, int nID)
{
    CRect rc;
    HWND hCtl = ::GetDlgItem(hDlg, nID);
    if (hCtl == NULL)
        return rc;
    ::GetWindowRect(hCtl, &rc);
    ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void MoveChild(HWND hDlg, int nID, const CRect& rc)
{
    if (HWND hCtl = ::GetDlgItem(hDlg, nID))
        ::SetWindowPos(hCtl, NULL, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

CPictureOpenDlg::CPictureOpenDlg(CWnd* pParent, const CString& strInitialPath, int nMode, const CString& strTypeName,
    int nTypeIndex, const DWORD* pOptions)
    : CResizableDlg(nMode == modeScrapbook ? IDD_SCRAPBOOK : IDD_PICTURE_OPEN, pParent)
    , m_nMode(nMode)
    , m_strInitialPath(strInitialPath)
    , m_strTypeName(strTypeName)
    , m_nTypeIndex(nTypeIndex)
    , m_bAutoPreview(CPrefData::GetPreviewImage() != 0)
{
    InitLayout(kPlacementValue, CDlgLayout::kDefaultPercent);
    for (int i = 0; i < kPictureOptionCount; ++i)
        m_nOptions[i] = pOptions != nullptr ? (pOptions[i] != 0 ? 1 : 0) : kNoOption;
    BuildTypeList();
    SetStartFolder();
}

CPictureOpenDlg::~CPictureOpenDlg()
{
    if (m_pTree)
        m_pTree->Cleanup();
}

int CPictureOpenDlg::GetResult() const
{
    if (m_pGrid && m_pGrid->GetResult() != CPreviewGrid::kResultNone)
        return m_pGrid->GetResult();
    return m_nResult;
}

CString CPictureOpenDlg::GetFolder(CString& strPath) const
{
    strPath = m_pGrid ? m_pGrid->GetCurrentFile() : m_strChosenFile;
    const int nSlash = strPath.ReverseFind('\\');
    return nSlash < 0 ? CString() : strPath.Left(nSlash + 1);
}

void CPictureOpenDlg::BuildTypeList()
{
    m_typeNames.RemoveAll();
    m_typePatterns.RemoveAll();
    switch (m_nMode) {
    case modeDesigns: {
        CString strFilter;
        CString strDefExt;
        int nIndex = 1;
        BuildDesignFileFilter(strFilter, strDefExt, NULL, nIndex);
        CStringArray names;
        CStringArray patterns;
        SplitFileFilter(strFilter, names, patterns);
        // "All Documents" lists every design the program opens: the first
        // entry of the design filter is that list.
        const CString strAll = patterns.GetSize() > 0 ? patterns[0] : CString("*");
        CString strAllName;
        strAllName.LoadString(IDS_PICTURE_OPEN_ALL_DOCUMENTS);
        m_typeNames.Add(strAllName);
        m_typePatterns.Add(strAll);
        for (int i = 0; i < names.GetSize(); ++i) {
            m_typeNames.Add(names[i]);
            m_typePatterns.Add(patterns[i]);
        }
        m_strPattern = strAll;
        break;
    }
    case modePictures:
        SplitFileFilter(BuildPictureOpenFilter(), m_typeNames, m_typePatterns);
        m_strPattern = m_typePatterns.GetSize() > 0 ? m_typePatterns[0] : CString();
        break;
    case modeScrapbook:
        m_strPattern = GetPictureFilePatterns();
        break;
    default:
        break;
    }
    m_nTypes = int(m_typeNames.GetSize());
}

void CPictureOpenDlg::SetStartFolder()
{
    m_strStartFolder.Empty();
    m_strStartFile.Empty();
    if (!m_strInitialPath.IsEmpty() && PathExists(m_strInitialPath)) {
        const int nSlash = m_strInitialPath.ReverseFind('\\');
        if (nSlash >= 0) {
            m_strStartFolder = m_strInitialPath.Left(nSlash + 1);
            m_strStartFile = m_strInitialPath.Mid(nSlash + 1);
        }
    }
    if (m_strStartFolder.IsEmpty()) {
        if (m_nMode == modePictures)
            m_strStartFolder = thePrefs.GetPictureFolder();
        else if (m_nMode == modeDesigns)
            m_strStartFolder = thePrefs.GetDesignFolder();
    }
    // The Scrapbook keeps its pictures in the program's folder; pictures
    // and designs of the user's own are looked for from the home folder.
    if (m_strStartFolder.IsEmpty() || !PathExists(m_strStartFolder))
        m_strStartFolder = m_nMode == modeScrapbook ? GetProgramPath() : GetUserHomeFolder();
}

BOOL CPictureOpenDlg::OnInitDialog()
{
    CResizableDlg::OnInitDialog();
    if (m_nOptions[0] == kNoOption) {
        for (int nID : {IDC_PICTURE_OPTION_NATURAL_SIZE, IDC_PICTURE_OPTION_PROPORTIONAL}) {
            CheckDlgButton(nID, BST_UNCHECKED);
            if (HWND hCheck = ::GetDlgItem(m_hWnd, nID))
                ::EnableWindow(hCheck, FALSE);
        }
    } else {
        CheckDlgButton(IDC_PICTURE_OPTION_PROPORTIONAL, m_nOptions[kOptionProportional] ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_PICTURE_OPTION_NATURAL_SIZE, m_nOptions[kOptionNaturalSize] ? BST_CHECKED : BST_UNCHECKED);
    }
    FillTypeCombo();

    m_btnOk.SubclassWithIcon(IDOK, this, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, this, IDI_BUTTON_CANCEL);
    m_btnHelp.SubclassWithIcon(IDC_PICTURE_OPEN_HELP, this, IDI_BUTTON_HELP);
    m_btnOptions.SubclassWithIcon(IDC_PICTURE_OPEN_OPTIONS, this, IDI_BUTTON_OPTIONS);
    if (m_btnPrint.SubclassDlgItem(IDC_PICTURE_OPEN_PRINT, this))
        m_btnPrint.SetIcons(IDI_PICTURE_OPEN_PRINT, IDI_PICTURE_OPEN_PRINT_DISABLED);
    if (HWND hGallery = ::GetDlgItem(m_hWnd, IDC_PICTURE_OPEN_GALLERY)) {
        if (m_nMode == modeDesigns) {
            ::ShowWindow(hGallery, SW_HIDE);
        } else {
            CString strText;
            strText.LoadString(IDS_PICTURE_OPEN_GALLERY);
            ::SetWindowText(hGallery, strText);
            ::ShowWindow(hGallery, SW_SHOW);
        }
    }

    HWND hTree = ::GetDlgItem(m_hWnd, IDC_PICTURE_OPEN_TREE);
    const BOOL bScroll = m_scrollBar.SubclassDlgItem(IDC_PICTURE_OPEN_SCROLL, this);
    if (hTree != NULL)
        m_pTree = std::make_unique<CFolderTree>(hTree);
    const int nLeaf = m_nMode == modeDesigns ? kGridLeafDesigns
        : m_nMode == modePictures            ? kGridLeafPictures
                                             : kGridLeafScrapbook;
    if (bScroll)
        m_pGrid = std::make_unique<CSavedDesignGrid>(this, &m_scrollBar, nLeaf);
    if (!m_pTree || !m_pGrid || !m_pGrid->Create(GridRect())) {
        m_pGrid.reset();
        EndWith(kPickerCancelled, IDCANCEL);
        return TRUE;
    }

    m_pGrid->SetShowImages(m_bAutoPreview);
    CheckDlgButton(IDC_PICTURE_OPEN_AUTO_PREVIEW, m_bAutoPreview ? BST_CHECKED : BST_UNCHECKED);
    GetDlgItemText(IDC_PICTURE_OPEN_LABEL, m_strLabel);
    m_strLabel = m_strLabel.Left(kMaxLabel);
    EnablePreviewNow();

    RememberLayout();
    m_bLimitMinSize = TRUE;
    if (m_layout.RestoreSize())
        CenterWindow();
    if (HWND hStatus = ::GetDlgItem(m_hWnd, IDC_PICTURE_OPEN_STATUS))
        ::ShowWindow(hStatus, m_nMode == modeDesigns ? SW_SHOW : SW_HIDE);
    RepositionControls();

    m_pGrid->SetPictures(m_nMode != modeDesigns);
    m_pTree->ExpandToPath(m_strStartFolder);
    CString strFolder = m_pTree->GetSelectedPath();
    if (strFolder.IsEmpty() || m_nMode == modeScrapbook)
        strFolder = m_strStartFolder;
    strFolder = WithTrailingBackslash(strFolder);
    SetDlgItemText(IDC_PICTURE_OPEN_FOLDER, strFolder);
    m_bFolderPending = FALSE;
    if (strFolder.CompareNoCase(m_strFolder) != 0 || !m_bFilled)
        FillPictures(strFolder);
    if (!m_strStartFile.IsEmpty())
        m_pGrid->SelectByName(m_strStartFile);
    return TRUE;
}

void CPictureOpenDlg::FillTypeCombo()
{
    // The list is not subclassed: it is spoken to by its messages.
    if (GetDlgItem(IDC_PICTURE_OPEN_TYPE) == nullptr || m_nTypes == 0)
        return;
    SendDlgItemMessage(IDC_PICTURE_OPEN_TYPE, CB_RESETCONTENT, 0, 0);
    int nSelect = 0;
    for (int i = 0; i < m_nTypes; ++i) {
        SendDlgItemMessage(IDC_PICTURE_OPEN_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LPCTSTR(m_typeNames[i])));
        if (m_typeNames[i] == m_strTypeName && nSelect == 0)
            nSelect = i;
    }
    SendDlgItemMessage(IDC_PICTURE_OPEN_TYPE, CB_SETCURSEL, WPARAM(nSelect), 0);
    m_nTypeIndex = nSelect;
    m_strTypeName = m_typeNames[nSelect];
    m_strPattern = m_typePatterns[nSelect];
}

void CPictureOpenDlg::FillPictures(const CString& strFolder)
{
    if (!m_pGrid)
        return;
    CWaitCursor wait;
    m_strFolder = strFolder;
    m_bFilled = TRUE;
    const int nCount = m_pGrid->FillFromFolder(m_strFolder, m_strPattern);
    if (HWND hPrint = ::GetDlgItem(m_hWnd, IDC_PICTURE_OPEN_PRINT))
        ::EnableWindow(hPrint, nCount > 0);
    CString strLabel;
    strLabel.Format("%s %d", LPCTSTR(m_strLabel), nCount);
    SetDlgItemText(IDC_PICTURE_OPEN_LABEL, strLabel);
    EnablePreviewNow();
}

void CPictureOpenDlg::EnablePreviewNow()
{
    const BOOL bEnable = !m_bAutoPreview && m_pGrid && m_pGrid->GetItemCount() > 0;
    if (HWND hNow = ::GetDlgItem(m_hWnd, IDC_PICTURE_OPEN_PREVIEW_NOW))
        ::EnableWindow(hNow, bEnable);
}

CRect CPictureOpenDlg::GridRect() const
{
    CRect rc = ChildRect(m_hWnd, IDC_PICTURE_OPEN_FRAME);
    rc.DeflateRect(kGridInset, kGridInset);
    return rc;
}

void CPictureOpenDlg::RememberLayout()
{
    CRect rcClient;
    ::GetClientRect(m_hWnd, &rcClient);
    m_sizeDesigned = rcClient.Size();
    m_designed.clear();
    for (int nID : kBottomRightIds)
        m_designed.push_back({nID, ChildRect(m_hWnd, nID)});
    for (int nID : kBottomIds)
        m_designed.push_back({nID, ChildRect(m_hWnd, nID)});
    for (int nID : {IDC_PICTURE_OPEN_TREE, IDC_PICTURE_OPEN_FRAME, IDC_PICTURE_OPEN_SCROLL, IDC_PICTURE_OPEN_STATUS,
             IDC_PICTURE_OPEN_LABEL, IDC_PICTURE_OPEN_FOLDER})
        m_designed.push_back({nID, ChildRect(m_hWnd, nID)});
}

void CPictureOpenDlg::RepositionControls()
{
    if (m_designed.empty())
        return;
    CRect rcClient;
    ::GetClientRect(m_hWnd, &rcClient);
    const int dx = rcClient.Width() - m_sizeDesigned.cx;
    const int dy = rcClient.Height() - m_sizeDesigned.cy;
    for (const auto& [nID, rcDesigned] : m_designed) {
        CRect rc = rcDesigned;
        if (std::find(std::begin(kBottomRightIds), std::end(kBottomRightIds), nID) != std::end(kBottomRightIds)) {
            rc.OffsetRect(dx, dy);
        } else if (std::find(std::begin(kBottomIds), std::end(kBottomIds), nID) != std::end(kBottomIds)) {
            rc.OffsetRect(0, dy);
        } else if (nID == IDC_PICTURE_OPEN_TREE) {
            rc.bottom += dy;
        } else if (nID == IDC_PICTURE_OPEN_FRAME) {
            rc.right += dx;
            rc.bottom += dy;
        } else if (nID == IDC_PICTURE_OPEN_SCROLL) {
            rc.OffsetRect(dx, 0);
            rc.bottom += dy;
        } else if (nID == IDC_PICTURE_OPEN_STATUS) {
            rc.OffsetRect(0, dy);
            rc.right += dx;
        } else if (nID == IDC_PICTURE_OPEN_LABEL) {
            rc.right += dx;
        } else {
            continue;
        }
        MoveChild(m_hWnd, nID, rc);
    }
    if (m_pGrid)
        m_pGrid->Place(GridRect());
    Invalidate();
}

void CPictureOpenDlg::EndWith(int nResult, int nEnd)
{
    m_nResult = nResult;
    if (m_nOptions[0] != kNoOption) {
        m_nOptions[kOptionProportional] = IsDlgButtonChecked(IDC_PICTURE_OPTION_PROPORTIONAL) == BST_CHECKED;
        m_nOptions[kOptionNaturalSize] = IsDlgButtonChecked(IDC_PICTURE_OPTION_NATURAL_SIZE) == BST_CHECKED;
    }
    if (m_pGrid)
        m_strChosenFile = m_pGrid->GetCurrentFile();
    if (m_pTree) {
        m_pTree->Cleanup();
        m_pTree.reset();
    }
    EndDialog(nEnd);
}

void CPictureOpenDlg::OnOK()
{
    if (!m_bFolderPending) {
        EndWith(kPickerChosen, IDOK);
        return;
    }
    // Enter in the folder edit: go to the typed folder and stay open.
    m_bFolderPending = FALSE;
    GetDlgItemText(IDC_PICTURE_OPEN_FOLDER, m_strTypedFolder);
    m_strTypedFolder.TrimLeft();
    m_strTypedFolder.TrimRight();
    const CString strFolder = WithTrailingBackslash(m_strTypedFolder);
    if (strFolder.IsEmpty() || !PathExists(strFolder)) {
        CString strText;
        strText.LoadString(IDS_PICTURE_OPEN_INVALID_FOLDER);
        AfxMessageBox(strText, MB_OK | MB_ICONSTOP);
        return;
    }
    if (m_pTree)
        m_pTree->ExpandToPath(strFolder);
    SetDlgItemText(IDC_PICTURE_OPEN_FOLDER, strFolder);
    if (HWND hEdit = ::GetDlgItem(m_hWnd, IDC_PICTURE_OPEN_FOLDER))
        ::SendMessage(hEdit, EM_SETSEL, strFolder.GetLength(), strFolder.GetLength());
    m_bFolderPending = FALSE;
    // Opening the tree at the folder has usually filled the grid already.
    if (strFolder.CompareNoCase(m_strFolder) != 0)
        FillPictures(strFolder);
}

void CPictureOpenDlg::OnCancel()
{
    EndWith(kPickerCancelled, IDCANCEL);
}

void CPictureOpenDlg::OnGallery()
{
    EndWith(kPickerGallery, IDCANCEL);
}

void CPictureOpenDlg::OnSinglePreview()
{
    EndWith(kPickerSinglePreview, IDOK);
}

BOOL CPictureOpenDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (pHeader != nullptr && pHeader->idFrom == IDC_PICTURE_OPEN_TREE && ForwardTreeNotice(m_hWnd, pHeader)) {
        if (pResult != nullptr)
            *pResult = 0;
        return TRUE;
    }
    return CResizableDlg::OnNotify(wParam, lParam, pResult);
}

void CPictureOpenDlg::FollowTree()
{
    const CString strFolder = WithTrailingBackslash(m_pTree->GetSelectedPath());
    if (strFolder.IsEmpty() || strFolder == m_strFolder)
        return;
    SetDlgItemText(IDC_PICTURE_OPEN_FOLDER, strFolder);
    m_bFolderPending = FALSE;
    // Opening the tree at the folder has usually filled the grid already.
    if (strFolder.CompareNoCase(m_strFolder) != 0)
        FillPictures(strFolder);
}

LRESULT CPictureOpenDlg::OnTreeItemActivated(WPARAM wParam, LPARAM lParam)
{
    if (m_pTree && m_pTree->OnItemActivated(wParam, lParam))
        FollowTree();
    return 0;
}

LRESULT CPictureOpenDlg::OnTreeItemExpanding(WPARAM wParam, LPARAM lParam)
{
    if (m_pTree && m_pTree->ExpandItem(wParam, lParam))
        FollowTree();
    return 0;
}

void CPictureOpenDlg::OnTypeChange()
{
    const int nSel = int(SendDlgItemMessage(IDC_PICTURE_OPEN_TYPE, CB_GETCURSEL, 0, 0));
    if (nSel < 0 || nSel >= m_nTypes)
        return;
    m_nTypeIndex = nSel;
    m_strTypeName = m_typeNames[nSel];
    m_strPattern = m_typePatterns[nSel];
    FillPictures(m_strFolder);
}

void CPictureOpenDlg::OnFolderChange()
{
    m_bFolderPending = TRUE;
}

void CPictureOpenDlg::OnFolderKillFocus()
{
    m_bFolderPending = FALSE;
}

void CPictureOpenDlg::OnAutoPreview()
{
    m_bAutoPreview = IsDlgButtonChecked(IDC_PICTURE_OPEN_AUTO_PREVIEW) == BST_CHECKED;
    EnablePreviewNow();
    if (m_pGrid)
        m_pGrid->SetShowImages(m_bAutoPreview);
}

void CPictureOpenDlg::OnPreviewNow()
{
    if (m_pGrid)
        m_pGrid->RedrawImages();
}

void CPictureOpenDlg::OnOptions()
{
    CPreviewOptionsDlg dlg(this);
    if (dlg.DoModal() != IDOK || !m_pGrid)
        return;
    const CString strCurrent = m_pGrid->GetCurrentFile();
    const BOOL bShow = m_pGrid->GetShowImages();
    m_pGrid->UpdatePreviewSize();
    m_pGrid->SetShowImages(TRUE);
    FillPictures(m_strFolder);
    const int nSlash = strCurrent.ReverseFind('\\');
    if (!strCurrent.IsEmpty())
        m_pGrid->SelectByName(strCurrent.Mid(nSlash + 1));
    m_pGrid->SetShowImages(bShow);
}

void CPictureOpenDlg::OnPrint()
{
    if (m_pGrid)
        m_pGrid->PrintCatalog();
}

void CPictureOpenDlg::OnHelpButton()
{
    // The same help as F1: the dialog's own topic.
    SendMessage(WM_COMMANDHELP, 0, 0);
}

void CPictureOpenDlg::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (m_pGrid && pScrollBar != nullptr && pScrollBar->m_hWnd == m_scrollBar.m_hWnd) {
        m_pGrid->OnScrollBar(nSBCode, nPos);
        return;
    }
    CResizableDlg::OnVScroll(nSBCode, nPos, pScrollBar);
}

void CPictureOpenDlg::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    CResizableDlg::OnLButtonUp(nFlags, point);
}
