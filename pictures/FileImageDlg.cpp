#include "pictures/FileImageDlg.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "app/RectGeometry.h"
#include "app/Utilities.h"
#include "controls/DesignFileKind.h"
#include "controls/PictureButton.h"
#include "model/DocQuickInfoFile.h"
#include "pictures/Image.h"
#include "platform/base/Exception.h"
#include "platform/base/Resources.h"
#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/User.h"
#include "resources/filedlg.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kExplorerFlags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_SHOWHELP | OFN_HIDEREADONLY;
// Help topics of the single and the multiple picture choice.
constexpr DWORD kHelpOnePicture = 98329;
constexpr DWORD kHelpSeveralPictures = 98374;
// A switch button's result, which the dialog ends with as it is.
constexpr int kResultGallery = 33013;
constexpr int kResultMultiplePreview = 411;
// The pane's drawing area inside the frame: the frame's edge, room for its
// caption, then a margin.
constexpr int kFrameEdge = 2;
constexpr int kFrameCaption = 8;
constexpr int kPaneMargin = 3;
// The room the status message is wrapped in, in percent of the area.
constexpr int kMessagePercent = 90;

// The dialog that is up; its hook reaches it through this.
CFileImageDlgNested* g_pActive = nullptr;

CString LoadText(UINT nID)
{
    CString s;
    s.LoadString(nID);
    return s;
}

// The names of the file-name field: several quoted names, or the text as
// one name.
int CountTypedNames(const CString& strText)
{
    const char* p = strText;
    if (std::strchr(p, '"') == nullptr) {
        CString t = strText;
        t.TrimLeft();
        t.TrimRight();
        return t.IsEmpty() ? 0 : 1;
    }
    int nNames = 0;
    while ((p = std::strchr(p, '"')) != nullptr) {
        const char* pEnd = std::strchr(p + 1, '"');
        if (pEnd == nullptr)
            pEnd = p + std::strlen(p);
        if (pEnd > p + 1)
            ++nNames;
        if (*pEnd == '\0')
            break;
        p = pEnd + 1;
    }
    return nNames;
}

// Text a CDM_ message answers, when it fits nMax characters with its zero.
CString AskDialogText(HWND hDlg, UINT nMsg, int nMax)
{
    std::vector<char> buffer(size_t(nMax) + 1, '\0');
    const LRESULT nNeeded = ::SendMessage(hDlg, nMsg, WPARAM(nMax), LPARAM(buffer.data()));
    if (nNeeded <= 0 || nNeeded > nMax)
        return CString();
    return CString(buffer.data());
}

BOOL ExistingFile(const CString& strPath)
{
    return !strPath.IsEmpty() && FileExists(strPath) && !IsDirectory(strPath);
}

} // namespace

// The hook of the dialog's child: the one way the platform's dialog talks
// to the object.
struct FileImageDlgHook {
    static UINT_PTR CALLBACK Proc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
    {
        CFileImageDlgNested* pDlg = g_pActive;
        if (pDlg == nullptr)
            return FALSE;
        switch (nMsg) {
        case WM_INITDIALOG:
            pDlg->m_hChild = hWnd;
            pDlg->m_hDlg = ::GetParent(hWnd);
            pDlg->OnInitDialog();
            return TRUE;
        case WM_NOTIFY: {
            const auto* pNotify = reinterpret_cast<const OFNOTIFY*>(lParam);
            if (pNotify == nullptr)
                return FALSE;
            switch (pNotify->hdr.code) {
            case CDN_INITDONE:
                pDlg->PlaceControls();
                pDlg->DressButtons();
                break;
            case CDN_SELCHANGE:
            case CDN_FOLDERCHANGE:
                pDlg->OnSelectionChange();
                break;
            case CDN_FILEOK:
                pDlg->m_nResult = 1;
                break;
            case CDN_HELP:
                pDlg->OnHelp();
                break;
            default:
                break;
            }
            ::SetWindowLongPtr(hWnd, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        case WM_COMMAND:
            return pDlg->OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_TIMER:
            pDlg->OnTimer(wParam);
            return TRUE;
        case WM_PAINT:
            pDlg->OnPaint();
            return TRUE;
        case WM_DESTROY:
            pDlg->OnDestroy();
            return FALSE;
        default:
            return FALSE;
        }
    }
};

CFileImageDlgNested::CFileImageDlgNested(int nMode, const CString& strFilter, int nTypeIndex,
    const CString& strInitial, const DWORD* pOptions, CWnd* pParent)
    : m_nMode(std::clamp(nMode, int(modeOpenDesign), int(modeSelectPictures)))
    , m_nTypeIndex(std::max(nTypeIndex, 0))
    , m_pParent(pParent)
    , m_buffer(size_t(kNameBufferSize), '\0')
    , m_bAutoPreview(CPrefData::GetPreviewImage() != 0)
    , m_pPreview(std::make_unique<CImage>())
{
    // The record's filter: each '|' a zero, the list ending in two.
    std::string filter(static_cast<LPCTSTR>(strFilter), size_t(strFilter.GetLength()));
    std::replace(filter.begin(), filter.end(), '|', '\0');
    while (!filter.empty() && filter.back() == '\0')
        filter.pop_back();
    for (size_t at = 0, nField = 0; at < filter.size(); ++nField) {
        const size_t nEnd = std::min(filter.find('\0', at), filter.size());
        if (nField % 2 == 0)
            m_typeNames.emplace_back(filter.substr(at, nEnd - at).c_str());
        at = nEnd + 1;
    }
    filter.append(2, '\0');
    m_filter = std::move(filter);

    m_nOptions[0] = pOptions != nullptr ? (pOptions[0] != 0) : kNoOption;
    m_nOptions[1] = pOptions != nullptr ? (pOptions[1] != 0) : kNoOption;

    // The start folder is the initial path's; the file keeps only its name.
    const int nSlash = strInitial.ReverseFind('\\');
    m_strInitialFile = strInitial.Mid(nSlash + 1);
    if (nSlash >= 0)
        m_strStartFolder = strInitial.Left(nSlash + 1);
    else if (m_nMode == modeOpenDesign || m_nMode == modeSelectDesigns)
        m_strStartFolder = thePrefs.GetDesignFolder();
    else
        m_strStartFolder = thePrefs.GetPictureFolder();

    switch (m_nMode) {
    case modePrintPictures:
        m_strTitle = LoadText(IDS_FILEIMG_PRINT_TITLE);
        break;
    case modeSelectPictures:
        m_strTitle = LoadText(IDS_FILEIMG_SELECT_TITLE);
        break;
    default:
        m_strTitle = "Open";
        break;
    }
}

CFileImageDlgNested::~CFileImageDlgNested()
{
    if (g_pActive == this)
        g_pActive = nullptr;
}

void CFileImageDlgNested::SetCallerSettings(const CString& strTitle, DWORD dwFlags, BOOL bOpen)
{
    if (!strTitle.IsEmpty())
        m_strTitle = strTitle;
    m_dwCallerFlags = dwFlags;
    m_bOpen = bOpen;
}

BOOL CFileImageDlgNested::IsMultiSelect() const
{
    return m_nMode == modeSelectDesigns || m_nMode == modePrintPictures || m_nMode == modeSelectPictures;
}

int CFileImageDlgNested::DoModal()
{
    // Only one dialog of this kind at a time: a second would take the first's
    // hook.
    if (g_pActive != nullptr)
        return m_nResult = 2;
    std::fill(m_buffer.begin(), m_buffer.end(), '\0');
    const size_t nCopy = std::min<size_t>(size_t(m_strInitialFile.GetLength()), m_buffer.size() - 2);
    std::memcpy(m_buffer.data(), static_cast<LPCTSTR>(m_strInitialFile), nCopy);

    m_ofn = OPENFILENAME{};
    m_ofn.lStructSize = sizeof m_ofn;
    CWnd* pOwner = m_pParent != nullptr ? m_pParent : AfxGetMainWnd();
    m_ofn.hwndOwner = pOwner != nullptr ? pOwner->GetSafeHwnd() : NULL;
    m_ofn.hInstance = AfxFindResourceHandle(MAKEINTRESOURCE(IDD_FILEIMG_CHILD), RT_DIALOG);
    m_ofn.lpstrFilter = m_filter.c_str();
    m_ofn.nFilterIndex = DWORD(m_nTypeIndex + 1);
    m_ofn.lpstrFile = m_buffer.data();
    m_ofn.nMaxFile = DWORD(m_buffer.size());
    m_ofn.lpstrInitialDir = m_strStartFolder.IsEmpty() ? nullptr : static_cast<LPCTSTR>(m_strStartFolder);
    m_ofn.lpstrTitle = m_strTitle;
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : static_cast<LPCTSTR>(m_strDefExt);
    m_ofn.Flags = kExplorerFlags | m_dwCallerFlags | (IsMultiSelect() ? OFN_ALLOWMULTISELECT : 0);
    m_ofn.lpfnHook = &FileImageDlgHook::Proc;
    m_ofn.lpTemplateName = MAKEINTRESOURCE(IDD_FILEIMG_CHILD);

    m_nResult = 2;
    m_strSwitchFolder.Empty();
    m_bPathsSplit = FALSE;
    m_paths.RemoveAll();
    g_pActive = this;
    const BOOL bChosen = m_bOpen ? ::GetOpenFileName(&m_ofn) : ::GetSaveFileName(&m_ofn);
    g_pActive = nullptr;
    m_hDlg = NULL;
    m_hChild = NULL;
    for (auto& pButton : m_buttons)
        pButton.reset();
    if (m_ofn.nFilterIndex >= 1)
        m_nTypeIndex = int(m_ofn.nFilterIndex) - 1;
    m_buffer.back() = '\0';
    if (bChosen)
        m_nResult = 1;
    else if (m_nResult != kResultGallery && m_nResult != kResultMultiplePreview)
        m_nResult = 2;
    return m_nResult;
}

const CStringArray& CFileImageDlgNested::GetPaths()
{
    if (!m_bPathsSplit) {
        m_bPathsSplit = TRUE;
        m_paths.RemoveAll();
        if (m_nResult == 1)
            SplitMultiSelectResult(m_buffer.data(), int(m_buffer.size()), m_paths, -1);
    }
    return m_paths;
}

CString CFileImageDlgNested::GetFolder(CString& strPath)
{
    const CStringArray& paths = GetPaths();
    strPath = paths.GetSize() > 0 ? paths[0] : CString();
    if (m_nResult != 1)
        return m_strSwitchFolder;
    return strPath.Left(strPath.ReverseFind('\\') + 1);
}

CString CFileImageDlgNested::GetTypeName() const
{
    return m_nTypeIndex < int(m_typeNames.size()) ? m_typeNames[size_t(m_nTypeIndex)] : CString();
}

void CFileImageDlgNested::GetOptions(DWORD* pOptions) const
{
    if (pOptions == nullptr)
        return;
    for (int i = 0; i < 2; ++i) {
        if (m_nOptions[i] != kNoOption)
            pOptions[i] = m_nOptions[i] != 0 ? 1 : 0;
    }
}

// ---- The dialog while it is up -------------------------------------------------------------

void CFileImageDlgNested::OnInitDialog()
{
    HWND hChild = m_hChild;
    // A caller without options sees the boxes cleared and disabled, as in
    // the other pickers.
    for (int i = 0; i < 2; ++i) {
        const int nID = i == 0 ? IDC_FILEIMG_PROPORTIONAL : IDC_FILEIMG_NATURAL_SIZE;
        ::CheckDlgButton(hChild, nID, m_nOptions[i] == 1 ? BST_CHECKED : BST_UNCHECKED);
        ::EnableWindow(::GetDlgItem(hChild, nID), m_nOptions[i] != kNoOption);
    }

    // The switch buttons lead to the other pickers, which choose one file to
    // open; a save has nowhere to switch to.
    const BOOL bSingleOpen = !IsMultiSelect() && m_bOpen;
    if (!bSingleOpen || !IsPreviewCapableMachine())
        ::ShowWindow(::GetDlgItem(hChild, IDC_FILEIMG_MULTIPLE), SW_HIDE);
    if (!m_bOpen)
        ::ShowWindow(::GetDlgItem(hChild, IDC_FILEIMG_GALLERY), SW_HIDE);
    ::EnableWindow(::GetDlgItem(hChild, IDC_FILEIMG_GALLERY), bSingleOpen && m_nMode != modeOpenDesign);

    if (m_nMode == modePrintPictures || m_nMode == modeSelectPictures) {
        const UINT nText = m_nMode == modePrintPictures ? IDS_FILEIMG_PRINT_BUTTON : IDS_FILEIMG_SELECT_BUTTON;
        const CString strOk = LoadText(nText);
        ::SendMessage(m_hDlg, CDM_SETCONTROLTEXT, IDOK, LPARAM(static_cast<LPCTSTR>(strOk)));
    }

    ::CheckDlgButton(hChild, IDC_FILEIMG_AUTO_PREVIEW, m_bAutoPreview ? BST_CHECKED : BST_UNCHECKED);
    UpdatePreviewNow();
}

void CFileImageDlgNested::PlaceControls()
{
    // The frame and the buttons under it keep their distance from the
    // bottom when the standard controls made the child taller than its
    // template.
    HWND hStandard = ::GetDlgItem(m_hChild, IDC_FILEIMG_STANDARD);
    HWND hFrame = ::GetDlgItem(m_hChild, IDC_FILEIMG_FRAME);
    if (hStandard == NULL || hFrame == NULL)
        return;
    CRect rcStandard;
    ::GetWindowRect(hStandard, &rcStandard);
    // The standard controls' bottom is the lowest of the dialog's own
    // windows.
    CRect rcDialogStandard;
    for (HWND h = ::GetWindow(m_hDlg, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h == m_hChild || !::IsWindowVisible(h))
            continue;
        CRect rc;
        ::GetWindowRect(h, &rc);
        rcDialogStandard.UnionRect(rcDialogStandard, rc);
    }
    const int nGrow = rcDialogStandard.IsRectEmpty() ? 0 : rcDialogStandard.bottom - rcStandard.bottom;
    if (nGrow <= 0)
        return;
    CRect rcFrame;
    ::GetWindowRect(hFrame, &rcFrame);
    ::ScreenToClient(m_hChild, reinterpret_cast<POINT*>(&rcFrame.left));
    ::ScreenToClient(m_hChild, reinterpret_cast<POINT*>(&rcFrame.right));
    ::SetWindowPos(hFrame, NULL, 0, 0, rcFrame.Width(), rcFrame.Height() + nGrow,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int below[] = {IDC_FILEIMG_STATUS, IDC_FILEIMG_AUTO_PREVIEW, IDC_FILEIMG_PREVIEW_NOW, IDC_FILEIMG_GALLERY,
        IDC_FILEIMG_MULTIPLE};
    for (int nID : below) {
        HWND h = ::GetDlgItem(m_hChild, nID);
        if (h == NULL)
            continue;
        CRect rc;
        ::GetWindowRect(h, &rc);
        CPoint pt = rc.TopLeft();
        ::ScreenToClient(m_hChild, &pt);
        ::SetWindowPos(h, NULL, pt.x, pt.y + nGrow, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(m_hChild, nullptr, TRUE);
}

void CFileImageDlgNested::DressButtons()
{
    CWnd* pDlg = CWnd::FromHandle(m_hDlg);
    const struct {
        int nID;
        int nIcon;
    } buttons[] = {{IDOK, IDI_BUTTON_OK}, {IDCANCEL, IDI_BUTTON_CANCEL}, {pshHelp, IDI_BUTTON_HELP}};
    for (int i = 0; i < 3; ++i) {
        HWND hButton = ::GetDlgItem(m_hDlg, buttons[i].nID);
        if (hButton == NULL || !::IsWindowVisible(hButton))
            continue;
        m_buttons[i] = std::make_unique<C3DPicBtn>();
        m_buttons[i]->SubclassWithIcon(UINT(buttons[i].nID), pDlg, buttons[i].nIcon);
    }
}

int CFileImageDlgNested::SelectedFileCount() const
{
    return CountTypedNames(AskDialogText(m_hDlg, CDM_GETSPEC, kNameBufferSize));
}

void CFileImageDlgNested::UpdatePreviewNow()
{
    BOOL bEnable = !m_bAutoPreview;
    if (IsMultiSelect() && SelectedFileCount() != 1) {
        bEnable = FALSE;
        // Several files, or none: the pane has nothing to show.
        if (m_nPreviewStatus != kStatusNothing || m_pPreview->m_nHandle != kImageNoPicture)
            ClearPreview();
    }
    ::EnableWindow(::GetDlgItem(m_hChild, IDC_FILEIMG_PREVIEW_NOW), bEnable);
}

void CFileImageDlgNested::OnSelectionChange()
{
    UpdatePreviewNow();
    if (!m_bAutoPreview)
        return;
    // Each new selection restarts the wait, so a double click that opens the
    // file never loads its preview; the path is only read while it waits.
    if (::SetTimer(m_hChild, kPreviewTimer, ::GetDoubleClickTime(), nullptr) != 0) {
        m_bTimerPending = TRUE;
    } else {
        m_bTimerPending = FALSE;
        Preview();
    }
}

void CFileImageDlgNested::OnHelp()
{
    CWinApp* pApp = AfxGetApp();
    CWnd* pMain = AfxGetMainWnd();
    if (pApp == nullptr || (pMain != nullptr && m_ofn.hwndOwner == pMain->GetSafeHwnd()))
        return;
    pApp->WinHelp(GetHelpContext(), HELP_CONTEXT);
}

void CFileImageDlgNested::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kPreviewTimer)
        return;
    m_bTimerPending = FALSE;
    ::KillTimer(m_hChild, kPreviewTimer);
    Preview();
}

BOOL CFileImageDlgNested::OnCommand(int nID, int nCode)
{
    if (nCode != BN_CLICKED)
        return FALSE;
    switch (nID) {
    case IDC_FILEIMG_AUTO_PREVIEW:
        m_bAutoPreview = ::IsDlgButtonChecked(m_hChild, IDC_FILEIMG_AUTO_PREVIEW) == BST_CHECKED;
        UpdatePreviewNow();
        if (m_bAutoPreview) {
            OnSelectionChange();
        } else {
            if (m_bTimerPending)
                ::KillTimer(m_hChild, kPreviewTimer);
            m_bTimerPending = FALSE;
            ClearPreview();
        }
        CPrefData::SetPreviewImage(m_bAutoPreview ? 1 : 0);
        return TRUE;
    case IDC_FILEIMG_PREVIEW_NOW:
        Preview();
        return TRUE;
    case IDC_FILEIMG_GALLERY:
        EndWith(kResultGallery, IDCANCEL);
        return TRUE;
    case IDC_FILEIMG_MULTIPLE:
        EndWith(kResultMultiplePreview, kResultMultiplePreview);
        return TRUE;
    case IDC_FILEIMG_PROPORTIONAL:
        if (m_nOptions[0] != kNoOption)
            m_nOptions[0] = !m_nOptions[0];
        return TRUE;
    case IDC_FILEIMG_NATURAL_SIZE:
        if (m_nOptions[1] != kNoOption)
            m_nOptions[1] = !m_nOptions[1];
        return TRUE;
    default:
        return FALSE;
    }
}

void CFileImageDlgNested::EndWith(int nResult, int nEnd)
{
    m_nResult = nResult;
    m_strSwitchFolder = AskDialogText(m_hDlg, CDM_GETFOLDERPATH, MAX_PATH);
    if (!m_strSwitchFolder.IsEmpty() && m_strSwitchFolder.Right(1) != "\\")
        m_strSwitchFolder += '\\';
    ::EndDialog(m_hDlg, nEnd);
}

void CFileImageDlgNested::OnDestroy()
{
    if (m_hChild != NULL)
        ::KillTimer(m_hChild, kPreviewTimer);
    m_bTimerPending = FALSE;
    m_pPreview->Release();
    m_nPreviewStatus = kStatusNothing;
}

// ---- The preview pane --------------------------------------------------------------------

CString CFileImageDlgNested::CurrentPath() const
{
    // A longer path than the pane believes previews nothing.
    return AskDialogText(m_hDlg, CDM_GETFILEPATH, kMaxPreviewPath + 1);
}

CRect CFileImageDlgNested::PreviewArea() const
{
    CRect rc;
    HWND hFrame = ::GetDlgItem(m_hChild, IDC_FILEIMG_FRAME);
    if (hFrame == NULL)
        return rc;
    ::GetWindowRect(hFrame, &rc);
    ::ScreenToClient(m_hChild, reinterpret_cast<POINT*>(&rc.left));
    ::ScreenToClient(m_hChild, reinterpret_cast<POINT*>(&rc.right));
    rc.DeflateRect(kFrameEdge, kFrameEdge);
    rc.top += kFrameCaption;
    rc.DeflateRect(kPaneMargin, kPaneMargin);
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    return rc;
}

void CFileImageDlgNested::ClearPreview()
{
    m_pPreview->Release();
    m_sizePreview = SIZE{};
    m_nPreviewStatus = kStatusNothing;
    m_nPreviewFileKind = DESIGNFILE_UNKNOWN;
    if (m_hChild != NULL) {
        const CRect rc = PreviewArea();
        ::InvalidateRect(m_hChild, &rc, TRUE);
    }
}

void CFileImageDlgNested::Preview()
{
    ClearPreview();
    if (m_hChild == NULL)
        return;
    if (IsMultiSelect() && SelectedFileCount() > 1) {
        ::UpdateWindow(m_hChild);
        return;
    }
    const CString strPath = CurrentPath();
    if (ExistingFile(strPath)) {
        ++m_nPreviewLoads;
        if (m_nMode == modeOpenDesign || m_nMode == modeSelectDesigns) {
            int nKind = DESIGNFILE_UNKNOWN;
            GetDesignFileKind(strPath, &nKind);
            m_nPreviewFileKind = nKind;
            m_nPreviewStatus = int(ReadDesignPreview(strPath, m_pPreview.get(), -1, CImage::kDefaultLoadMode, nullptr));
            if (m_nPreviewStatus == kStatusShown)
                m_pPreview->GetSize(m_sizePreview, TRUE);
            else
                m_pPreview->Release();
        } else {
            CWaitCursor wait;
            m_nPreviewStatus = kStatusLoading;
            // A file that cannot be read says so in the pane, not in a box
            // for every file the user passes.
            m_pPreview->SetWordFlag(IMAGE_FLAG_QUIET, TRUE);
            try {
                m_pPreview->LoadFile(strPath, CImage::kDefaultLoadMode);
            } catch (CException* e) {
                e->Delete();
                m_pPreview->Release();
            }
            if (m_pPreview->m_nHandle >= 1) {
                m_pPreview->GetSize(m_sizePreview, TRUE);
                m_nPreviewStatus = kStatusShown;
            }
        }
    }
    const CRect rc = PreviewArea();
    ::InvalidateRect(m_hChild, &rc, TRUE);
    ::UpdateWindow(m_hChild);
}

CString CFileImageDlgNested::GetStatusText() const
{
    if (m_nPreviewStatus == kStatusShown && m_pPreview->m_nHandle >= 1)
        return CString();
    if (m_nPreviewStatus == kStatusLoading && !(m_nMode == modeOpenDesign || m_nMode == modeSelectDesigns))
        return LoadText(IDS_PREVIEW_CANNOT_DISPLAY);
    return GetPreviewErrorText(m_nPreviewFileKind, HRESULT(m_nPreviewStatus));
}

void CFileImageDlgNested::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hChild, &ps);
    if (hdc == NULL)
        return;
    CDC* pDC = CDC::FromHandle(hdc);
    const CRect rcArea = PreviewArea();
    if (m_nPreviewStatus == kStatusShown && m_pPreview->m_nHandle >= 1) {
        CRect rcFit;
        FitAspectRect(&rcFit, pDC, m_sizePreview.cx, m_sizePreview.cy, rcArea.left, rcArea.top, rcArea.right,
            rcArea.bottom);
        m_pPreview->Draw(pDC, rcFit, rcFit, rcArea);
    } else {
        ::FillRect(hdc, &rcArea, ::GetSysColorBrush(COLOR_BTNFACE));
        const CString strText = GetStatusText();
        if (!strText.IsEmpty()) {
            CRect rcText(0, 0, rcArea.Width() * kMessagePercent / 100, rcArea.Height() * kMessagePercent / 100);
            HFONT hFont = HFONT(::SendMessage(m_hChild, WM_GETFONT, 0, 0));
            HGDIOBJ hOldFont = hFont != NULL ? ::SelectObject(hdc, hFont) : NULL;
            CRect rcMeasured = rcText;
            ::DrawText(hdc, strText, -1, &rcMeasured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
            const int nHeight = std::min(rcMeasured.Height(), rcText.Height());
            rcText.OffsetRect(rcArea.left + (rcArea.Width() - rcText.Width()) / 2,
                rcArea.top + (rcArea.Height() - nHeight) / 2);
            rcText.bottom = rcText.top + nHeight;
            ::SetBkMode(hdc, TRANSPARENT);
            ::SetTextColor(hdc, ::GetSysColor(COLOR_WINDOWTEXT));
            ::DrawText(hdc, strText, -1, &rcText, DT_CENTER | DT_WORDBREAK);
            if (hOldFont != NULL)
                ::SelectObject(hdc, hOldFont);
        }
    }
    ::EndPaint(m_hChild, &ps);
}

// ---- Free functions ------------------------------------------------------------------------

void SplitMultiSelectResult(const char* pBuffer, int nBufferSize, CStringArray& paths, int nLimit)
{
    paths.RemoveAll();
    if (pBuffer == nullptr || nBufferSize <= 0)
        return;
    if (nLimit < 0)
        nLimit = CFileImageDlgNested::kNameBufferSize;
    const char* pEnd = pBuffer + nBufferSize;
    auto take = [pEnd](const char*& p) {
        const size_t n = strnlen(p, size_t(pEnd - p));
        CString s(p, int(n));
        p += std::min<size_t>(n + 1, size_t(pEnd - p));
        return s;
    };
    const char* p = pBuffer;
    CString strFirst = take(p);
    if (strFirst.IsEmpty())
        return;
    if (nLimit == 0 || p >= pEnd || *p == '\0') {
        paths.Add(strFirst);
        return;
    }
    if (strFirst.Right(1) != "\\")
        strFirst += '\\';
    while (p < pEnd && *p != '\0' && paths.GetSize() < nLimit)
        paths.Add(strFirst + take(p));
}

BOOL IsFolderPath(const CString& strPath)
{
    return !strPath.IsEmpty() && IsDirectory(strPath);
}

int ChoosePictureFromFileDialog(CWnd* pParent, CString& strPath, int nMode, CString* pstrTypeName, int* pnTypeIndex,
    CStringArray* pPaths, DWORD* pOptions)
{
    SetHelpContext(pPaths != nullptr ? kHelpSeveralPictures : kHelpOnePicture);
    CFileImageDlgNested dlg(nMode, BuildPictureOpenFilter(), pnTypeIndex != nullptr ? *pnTypeIndex : 0, strPath,
        pOptions, pParent);
    const int nResult = dlg.DoModal();
    if (pstrTypeName != nullptr)
        *pstrTypeName = dlg.GetTypeName();
    if (pnTypeIndex != nullptr)
        *pnTypeIndex = dlg.GetTypeIndex();
    if (nResult != 2) {
        // A switch hands the folder shown to the next picker.
        const CString strFolder = dlg.GetFolder(strPath);
        if (strPath.IsEmpty())
            strPath = strFolder;
        if (pPaths != nullptr)
            pPaths->Copy(dlg.GetPaths());
        if (!strFolder.IsEmpty())
            thePrefs.SetPictureFolder(strFolder);
    }
    dlg.GetOptions(pOptions);
    if (pParent != nullptr && pParent->GetSafeHwnd() != NULL)
        pParent->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return nResult;
}
