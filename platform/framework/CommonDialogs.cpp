#include "platform/framework/CommonDialogs.h"

#include "platform/base/GlobalMemory.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PrinterDc.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/CommDlgMisc.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)

namespace {

// The object whose dialog is being made: the hook attaches it to the first
// hook window that gets WM_INITDIALOG. Common dialogs nest (a dialog may
// run another from a handler), so each run restores the one before.
thread_local CCommonDialog* t_pAttaching = nullptr;

// The name part of a Windows-form path.
CString FileNamePart(const CString& path)
{
    int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
    int colon = path.ReverseFind(':');
    int start = std::max(slash, colon) + 1;
    return path.Mid(start);
}

BOOL RunOpen(void* p)
{
    return ::GetOpenFileName(static_cast<LPOPENFILENAME>(p));
}

BOOL RunSave(void* p)
{
    return ::GetSaveFileName(static_cast<LPOPENFILENAME>(p));
}

BOOL RunPrint(void* p)
{
    return ::PrintDlg(static_cast<LPPRINTDLG>(p));
}

BOOL RunColor(void* p)
{
    return ::ChooseColor(static_cast<LPCHOOSECOLOR>(p));
}

// One of the three names of a DEVNAMES block, checked against its size.
CString DevNamesField(HGLOBAL hDevNames, WORD DEVNAMES::*field)
{
    if (!hDevNames)
        return CString();
    SIZE_T size = ::GlobalSize(hDevNames);
    auto* block = static_cast<const char*>(::GlobalLock(hDevNames));
    CString result;
    if (block && size >= sizeof(DEVNAMES)) {
        DEVNAMES names;
        std::memcpy(&names, block, sizeof names);
        WORD offset = names.*field;
        if (offset >= sizeof(DEVNAMES) && offset < size && std::memchr(block + offset, '\0', size - offset))
            result = block + offset;
    }
    if (block)
        ::GlobalUnlock(hDevNames);
    return result;
}

} // namespace

// ---- CCommonDialog ------------------------------------------------------------------------------

CCommonDialog::CCommonDialog(CWnd* pParentWnd)
    : CDialog(UINT(0), pParentWnd)
{
}

void CCommonDialog::OnOK()
{
    Default();
}

void CCommonDialog::OnCancel()
{
    Default();
}

UINT_PTR CALLBACK CCommonDialog::HookProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG || !t_pAttaching)
        return 0;
    CCommonDialog* pDlg = t_pAttaching;
    t_pAttaching = nullptr;
    if (pDlg->m_hWnd != NULL || !pDlg->SubclassWindow(hWnd))
        return TRUE;
    return pDlg->OnInitDialog() ? TRUE : FALSE;
}

BOOL CCommonDialog::RunAttached(BOOL (*fnRun)(void* pRecord), void* pRecord)
{
    CCommonDialog* pOuter = t_pAttaching;
    t_pAttaching = this;
    BOOL result = fnRun(pRecord);
    t_pAttaching = pOuter;
    // The window is gone; WM_NCDESTROY normally let go of it already.
    if (m_hWnd != NULL && !::IsWindow(m_hWnd))
        Detach();
    return result;
}

HWND CCommonDialog::GetOwnerForModal() const
{
    HWND hWnd = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : NULL;
    if (!hWnd) {
        CWnd* pMain = AfxGetMainWnd();
        hWnd = pMain ? pMain->GetSafeHwnd() : NULL;
    }
    // A child cannot own a dialog: its top-level window does.
    while (hWnd && (::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    return hWnd;
}

// ---- CFileDialog --------------------------------------------------------------------------------

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
    LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd)
    , m_bOpenFileDialog(bOpenFileDialog)
{
    std::memset(&m_ofn, 0, sizeof m_ofn);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = dwFlags | OFN_ENABLEHOOK | OFN_EXPLORER;
    m_ofn.lpfnHook = reinterpret_cast<LPOFNHOOKPROC>(&CCommonDialog::HookProc);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFileName) {
        std::strncpy(m_szFileName, lpszFileName, MAX_PATH - 1);
        m_szFileName[MAX_PATH - 1] = '\0';
    }
    if (lpszFilter) {
        // "name|patterns|...|" becomes "name\0patterns\0...\0\0".
        m_strFilter = lpszFilter;
        std::replace(m_strFilter.begin(), m_strFilter.end(), '|', '\0');
        m_strFilter.push_back('\0');
        m_strFilter.push_back('\0');
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = GetOwnerForModal();
    if (m_ofn.Flags & OFN_ALLOWMULTISELECT) {
        // Many names need more room than one path.
        m_multiBuffer.assign(OFN_MULTISELECT_LIMIT + 2, '\0');
        std::memcpy(m_multiBuffer.data(), m_szFileName, std::strlen(m_szFileName));
        m_ofn.lpstrFile = m_multiBuffer.data();
        m_ofn.nMaxFile = DWORD(m_multiBuffer.size() - 1);
    } else {
        m_ofn.lpstrFile = m_szFileName;
        m_ofn.nMaxFile = MAX_PATH;
    }
    BOOL ok = RunAttached(m_bOpenFileDialog ? RunOpen : RunSave, &m_ofn);
    if (!ok && !(m_ofn.Flags & OFN_ALLOWMULTISELECT) && ::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
        m_szFileName[0] = '\0';
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd)) {
        // While the dialog is up, the name typed so far.
        char path[MAX_PATH] = {};
        if (::SendMessage(::GetParent(m_hWnd), CDM_GETFILEPATH, MAX_PATH, LPARAM(path)) > 0)
            return CString(path);
    }
    if (!m_ofn.lpstrFile)
        return CString();
    if (m_ofn.Flags & OFN_ALLOWMULTISELECT) {
        // Several names: the first string is the folder only.
        const char* first = m_ofn.lpstrFile;
        size_t len = strnlen(first, m_ofn.nMaxFile);
        if (len + 1 < m_ofn.nMaxFile && first[len + 1] != '\0')
            return CString();
    }
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    return FileNamePart(GetPathName());
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

POSITION CFileDialog::GetStartPosition() const
{
    if (!m_ofn.lpstrFile || m_ofn.lpstrFile[0] == '\0')
        return NULL;
    return reinterpret_cast<POSITION>(m_ofn.lpstrFile);
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    const char* buffer = m_ofn.lpstrFile;
    const char* end = buffer + m_ofn.nMaxFile;
    auto* p = reinterpret_cast<const char*>(pos);
    if (!buffer || !p || p < buffer || p >= end) {
        pos = NULL;
        return CString();
    }
    size_t folderLen = strnlen(buffer, m_ofn.nMaxFile);
    bool several = (m_ofn.Flags & OFN_ALLOWMULTISELECT) && buffer + folderLen + 1 < end &&
        buffer[folderLen + 1] != '\0';
    if (!several) {
        pos = NULL;
        return CString(buffer);
    }
    if (p == buffer)
        p = buffer + folderLen + 1;
    size_t nameLen = strnlen(p, size_t(end - p));
    const char* next = p + nameLen + 1;
    pos = (next < end && *next != '\0') ? reinterpret_cast<POSITION>(const_cast<char*>(next)) : NULL;
    CString path(buffer);
    if (path.IsEmpty() || path[path.GetLength() - 1] != '\\')
        path += '\\';
    path += CString(p, int(nameLen));
    return path;
}

void CFileDialog::SetControlText(int nID, LPCSTR lpsz)
{
    ::SendMessage(::GetParent(m_hWnd), CDM_SETCONTROLTEXT, WPARAM(nID), LPARAM(lpsz));
}

void CFileDialog::HideControl(int nID)
{
    ::SendMessage(::GetParent(m_hWnd), CDM_HIDECONTROL, WPARAM(nID), 0);
}

void CFileDialog::SetDefExt(LPCSTR lpsz)
{
    ::SendMessage(::GetParent(m_hWnd), CDM_SETDEFEXT, 0, LPARAM(lpsz));
}

CString CFileDialog::GetFolderPath() const
{
    char path[MAX_PATH] = {};
    if (m_hWnd == NULL || ::SendMessage(::GetParent(m_hWnd), CDM_GETFOLDERPATH, MAX_PATH, LPARAM(path)) <= 0)
        return CString();
    return CString(path);
}

BOOL CFileDialog::OnFileNameOK()
{
    return FALSE;
}

void CFileDialog::OnInitDone()
{
}

void CFileDialog::OnFileNameChange()
{
}

void CFileDialog::OnFolderChange()
{
}

void CFileDialog::OnTypeChange()
{
}

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNotify = reinterpret_cast<OFNOTIFY*>(lParam);
    if (!pNotify)
        return CCommonDialog::OnNotify(wParam, lParam, pResult);
    switch (pNotify->hdr.code) {
    case CDN_INITDONE:
        OnInitDone();
        return TRUE;
    case CDN_SELCHANGE:
        OnFileNameChange();
        return TRUE;
    case CDN_FOLDERCHANGE:
        OnFolderChange();
        return TRUE;
    case CDN_TYPECHANGE:
        OnTypeChange();
        return TRUE;
    case CDN_FILEOK: {
        // The dialog reads its answer from the hook window's message result.
        LRESULT keepOpen = OnFileNameOK() ? 1 : 0;
        ::SetWindowLongPtr(m_hWnd, DWLP_MSGRESULT, keepOpen);
        if (pResult)
            *pResult = keepOpen;
        return TRUE;
    }
    default:
        return CCommonDialog::OnNotify(wParam, lParam, pResult);
    }
}

// ---- CPrintDialog -------------------------------------------------------------------------------

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd)
{
    std::memset(&m_pd, 0, sizeof m_pd);
    m_pd.lStructSize = sizeof m_pd;
    m_pd.Flags = dwFlags | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
    m_pd.Flags |= bPrintSetupOnly ? PD_PRINTSETUP : PD_RETURNDC;
    m_pd.Flags &= ~DWORD(PD_RETURNIC);
    m_pd.lpfnPrintHook = reinterpret_cast<LPPRINTHOOKPROC>(&CCommonDialog::HookProc);
    m_pd.lpfnSetupHook = reinterpret_cast<LPSETUPHOOKPROC>(&CCommonDialog::HookProc);
    m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog()
{
    if (m_pd.hDC != NULL) {
        ::DeleteDC(m_pd.hDC);
        m_pd.hDC = NULL;
    }
}

INT_PTR CPrintDialog::DoModal()
{
    m_pd.hwndOwner = GetOwnerForModal();
    // The dialog makes a new DC on OK; the one held would be lost.
    if (m_pd.hDC != NULL && (m_pd.Flags & (PD_RETURNDC | PD_RETURNIC))) {
        ::DeleteDC(m_pd.hDC);
        m_pd.hDC = NULL;
    }
    return RunAttached(RunPrint, &m_pd) ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
    if (m_pd.hDC != NULL && (m_pd.Flags & PD_RETURNDC)) {
        ::DeleteDC(m_pd.hDC);
        m_pd.hDC = NULL;
    }
    m_pd.Flags |= PD_RETURNDEFAULT;
    BOOL ok = ::PrintDlg(&m_pd);
    m_pd.Flags &= ~DWORD(PD_RETURNDEFAULT);
    return ok;
}

CString CPrintDialog::GetDeviceName() const
{
    return DevNamesField(m_pd.hDevNames, &DEVNAMES::wDeviceOffset);
}

CString CPrintDialog::GetDriverName() const
{
    return DevNamesField(m_pd.hDevNames, &DEVNAMES::wDriverOffset);
}

CString CPrintDialog::GetPortName() const
{
    return DevNamesField(m_pd.hDevNames, &DEVNAMES::wOutputOffset);
}

LPDEVMODE CPrintDialog::GetDevMode() const
{
    if (m_pd.hDevMode == NULL || ::GlobalSize(m_pd.hDevMode) < sizeof(DEVMODE))
        return nullptr;
    // Global blocks do not move here: the pointer stays valid unlocked.
    auto* pDevMode = static_cast<LPDEVMODE>(::GlobalLock(m_pd.hDevMode));
    ::GlobalUnlock(m_pd.hDevMode);
    return pDevMode;
}

HDC CPrintDialog::CreatePrinterDC()
{
    if (m_pd.hDC != NULL)
        ::DeleteDC(m_pd.hDC);
    m_pd.hDC = ::AfxCreateDC(m_pd.hDevNames, m_pd.hDevMode);
    return m_pd.hDC;
}

BOOL CPrintDialog::PrintCollate() const
{
    if (m_pd.Flags & PD_USEDEVMODECOPIESANDCOLLATE) {
        LPDEVMODE pDevMode = GetDevMode();
        if (pDevMode && (pDevMode->dmFields & DM_COLLATE))
            return pDevMode->dmCollate == DMCOLLATE_TRUE;
    }
    return (m_pd.Flags & PD_COLLATE) ? TRUE : FALSE;
}

int CPrintDialog::GetFromPage() const
{
    return PrintRange() ? m_pd.nFromPage : -1;
}

int CPrintDialog::GetToPage() const
{
    return PrintRange() ? m_pd.nToPage : -1;
}

int CPrintDialog::GetCopies() const
{
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        LPDEVMODE pDevMode = GetDevMode();
        if (pDevMode && (pDevMode->dmFields & DM_COPIES) && pDevMode->dmCopies > 0)
            return pDevMode->dmCopies;
        return 1;
    }
    return std::max<int>(m_pd.nCopies, 1);
}

// ---- CColorDialog -------------------------------------------------------------------------------

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd)
{
    std::memset(&m_cc, 0, sizeof m_cc);
    m_cc.lStructSize = sizeof m_cc;
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = dwFlags | CC_ENABLEHOOK;
    m_cc.lpfnHook = reinterpret_cast<LPCCHOOKPROC>(&CCommonDialog::HookProc);
    if (clrInit != 0 || (dwFlags & CC_RGBINIT)) {
        m_cc.Flags |= CC_RGBINIT;
        m_cc.rgbResult = clrInit;
    }
}

INT_PTR CColorDialog::DoModal()
{
    m_cc.hwndOwner = GetOwnerForModal();
    return RunAttached(RunColor, &m_cc) ? IDOK : IDCANCEL;
}

COLORREF* PASCAL CColorDialog::GetSavedCustomColors()
{
    static COLORREF colors[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    };
    return colors;
}
