#include "controls/PickDirectory.h"

#include "app/Utilities.h"
#include "controls/PickDirectoryDlg.h"
#include "platform/base/Resources.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/User.h"

#include <cstring>

namespace {

constexpr DWORD kOpenPickerFlags = OFN_NONETWORKBUTTON | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
constexpr int kFileBufferSize = 1024;
// The standard controls the picker hides, and its folder lists: the dialog's
// own folder list where it has one, else the list of folders and files.
constexpr int kFileTypeLabel = stc2;
constexpr int kFileNameLabel = stc3;
constexpr int kFileNameField = edt1;
constexpr int kFileTypes = cmb1;
constexpr int kFileList = lst1;
constexpr int kFolderList = 0x0461;
// OK needs a name to accept; the picker wants the folder, so any name does.
constexpr char kPlaceholderName[] = "Hi";
// A file-name pattern that no name can match, so that only folders are
// listed.
constexpr char kFoldersOnlyFilter[] = "Folders\0/\0";

int g_nPlatformOverride = -1;

// What the hook needs while the Open dialog runs.
struct OpenPickerState {
    BOOL bShowCheck = FALSE;
    BOOL bChecked = FALSE;
    CString strStart;
};
OpenPickerState* g_pOpenPicker = nullptr;

int CurrentPlatform()
{
    if (g_nPlatformOverride >= 0)
        return g_nPlatformOverride;
    CString description;
    return GetPlatform(description, FALSE);
}

// The window that holds the standard controls: the hook's own, or, when
// the template is a child of the dialog, its parent.
HWND StandardControlsOf(HWND hHook)
{
    if (::GetDlgItem(hHook, kFileNameField) != NULL)
        return hHook;
    HWND hParent = ::GetParent(hHook);
    return hParent != NULL ? hParent : hHook;
}

void HideControl(HWND hDlg, int nID)
{
    if (HWND hCtrl = ::GetDlgItem(hDlg, nID))
        ::ShowWindow(hCtrl, SW_HIDE);
}

void SetUpOpenPicker(HWND hHook)
{
    HWND hDlg = StandardControlsOf(hHook);
    RECT rcDlg{};
    RECT rcArea{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::GetWindowRect(hDlg, &rcDlg);
    int cx = rcDlg.right - rcDlg.left;
    int cy = rcDlg.bottom - rcDlg.top;
    ::SetWindowPos(hDlg, NULL, (rcArea.right - cx) / 2, (rcArea.bottom - cy) / 2, 0, 0,
        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HideControl(hDlg, kFileTypeLabel);
    HideControl(hDlg, kFileNameLabel);
    HideControl(hDlg, kFileNameField);
    HideControl(hDlg, kFileTypes);
    HWND hFolders = ::GetDlgItem(hDlg, kFolderList);
    if (hFolders != NULL)
        HideControl(hDlg, kFileList);
    else
        hFolders = ::GetDlgItem(hDlg, kFileList);
    ::SetDlgItemText(hDlg, kFileNameField, kPlaceholderName);
    if (hFolders != NULL)
        ::SetFocus(hFolders);
    BOOL bShowCheck = g_pOpenPicker != nullptr && g_pOpenPicker->bShowCheck;
    if (HWND hCheck = ::GetDlgItem(hHook, IDC_PICK_DIRECTORY_CHECK))
        ::ShowWindow(hCheck, bShowCheck ? SW_SHOW : SW_HIDE);
    if (hFolders != NULL && g_pOpenPicker != nullptr) {
        CString folder = g_pOpenPicker->strStart;
        if (!folder.IsEmpty() && folder[folder.GetLength() - 1] == '\\')
            folder = folder.Left(folder.GetLength() - 1);
        CString name = folder.Mid(folder.ReverseFind('\\') + 1);
        ::SendMessage(hFolders, LB_SELECTSTRING, WPARAM(-1), LPARAM(LPCTSTR(name)));
    }
}

UINT_PTR CALLBACK OpenPickerHook(HWND hHook, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ::PostMessage(hHook, WM_PICK_DIRECTORY_SETUP, 0, 0);
        return TRUE;
    case WM_PICK_DIRECTORY_SETUP:
        SetUpOpenPicker(hHook);
        return TRUE;
    case WM_DESTROY:
        if (g_pOpenPicker != nullptr)
            g_pOpenPicker->bChecked = ::IsDlgButtonChecked(hHook, IDC_PICK_DIRECTORY_CHECK) == BST_CHECKED;
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL RunOpenPicker(CWnd* pParent, CString& strPath, BOOL bShowCheck, BOOL* pbChecked)
{
    OpenPickerState state;
    state.bShowCheck = bShowCheck;
    state.strStart = strPath;
    char file[kFileBufferSize] = {};
    OPENFILENAME ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = pParent != nullptr ? pParent->GetSafeHwnd() : NULL;
    ofn.hInstance = AfxFindResourceHandle(MAKEINTRESOURCE(IDD_PICK_DIRECTORY_OPEN), RT_DIALOG);
    ofn.lpstrFilter = kFoldersOnlyFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = kFileBufferSize;
    ofn.lpstrInitialDir = strPath;
    ofn.Flags = kOpenPickerFlags;
    ofn.lpfnHook = OpenPickerHook;
    ofn.lpTemplateName = MAKEINTRESOURCE(IDD_PICK_DIRECTORY_OPEN);
    OpenPickerState* pOuter = g_pOpenPicker;
    g_pOpenPicker = &state;
    BOOL bChosen = ::GetOpenFileName(&ofn);
    g_pOpenPicker = pOuter;
    if (!bChosen)
        return FALSE;
    file[kFileBufferSize - 1] = '\0';
    CString chosen(file);
    strPath = chosen.Left(chosen.ReverseFind('\\') + 1);
    if (pbChecked != nullptr)
        *pbChecked = state.bChecked;
    return TRUE;
}

} // namespace

void SetPickDirectoryPlatform(int nPlatform)
{
    g_nPlatformOverride = nPlatform;
}

BOOL PickDirectory(CWnd* pParent, CString& strPath, BOOL bShowCheck, BOOL* pbChecked)
{
    if (CurrentPlatform() != kPlatformCurrent)
        return RunOpenPicker(pParent, strPath, bShowCheck, pbChecked);
    CPickDirectoryDlg dlg(pParent, strPath, bShowCheck);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    strPath = dlg.m_strPath;
    if (pbChecked != nullptr)
        *pbChecked = dlg.m_bChecked;
    return TRUE;
}
