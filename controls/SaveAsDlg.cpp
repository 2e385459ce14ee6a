#include "controls/SaveAsDlg.h"

#include "controls/DesignSaveDlg.h"
#include "platform/base/Resources.h"
#include "platform/framework/Afx.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/User.h"
#include "resources/savedlg.h"

#include <algorithm>
#include <cstring>

namespace {

// The OFN_ flags every run adds: the overwrite question, the hook and its
// template, no read-only file handed back, the Explorer form.
constexpr DWORD kSaveAsFlags = OFN_OVERWRITEPROMPT | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_NOREADONLYRETURN
    | OFN_EXPLORER;
constexpr int kHelpButton = 9;               // IDHELP
constexpr int kFrameworkHelpButton = 0xE146; // ID_HELP
constexpr int kFirstNameLimit = 260;         // the part of the buffer cleared before the name goes in

// The dialog whose hook runs; set when its dialog starts.
CSaveAsDlg* s_pActive = nullptr;

} // namespace

CSaveAsDlg::CSaveAsDlg(DWORD dwFlags)
{
    m_pOwner = AfxGetMainWnd();
    std::memset(&m_ofn, 0, sizeof m_ofn);
    m_ofn.Flags = dwFlags;
}

void CSaveAsDlg::PrepareRecord(LPCTSTR lpszFileName)
{
    m_strProposed = lpszFileName != nullptr ? lpszFileName : "";
    m_strStartFolder = GetDesignSaveFolder();

    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags |= kSaveAsFlags;
    m_ofn.hwndOwner = m_pOwner != nullptr ? m_pOwner->GetSafeHwnd() : NULL;
    m_ofn.hInstance = AfxGetResourceHandle();

    std::memset(m_szFileName, 0, kFirstNameLimit);
    const size_t nCopy = std::min<size_t>(static_cast<size_t>(m_strProposed.GetLength()), kFirstNameLimit - 1);
    std::memcpy(m_szFileName, static_cast<LPCTSTR>(m_strProposed), nCopy);
    m_szFileName[nCopy] = '\0';
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = kFileBufferSize - 1;

    m_ofn.lpstrInitialDir = m_strStartFolder;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    m_ofn.lpfnHook = &CSaveAsDlg::HookProc;
    m_ofn.lpTemplateName = MAKEINTRESOURCE(IDD_SAVEAS_CHILD);
}

BOOL CSaveAsDlg::DoModal(LPCTSTR lpszFileName)
{
    PrepareRecord(lpszFileName);
    s_pActive = nullptr;
    const BOOL bResult = ::GetSaveFileName(&m_ofn);
    s_pActive = nullptr;
    m_hWndChild = NULL;
    m_hWndDialog = NULL;
    return bResult;
}

CString CSaveAsDlg::GetPathName() const
{
    return CString(m_szFileName);
}

BOOL CSaveAsDlg::DressButtons()
{
    CWnd* pDlg = CWnd::FromHandle(m_hWndDialog);
    m_btnOK.SubclassWithIcon(IDOK, pDlg, IDI_BUTTON_OK);
    m_btnCancel.SubclassWithIcon(IDCANCEL, pDlg, IDI_BUTTON_CANCEL);
    int nHelp = kHelpButton;
    if (::GetDlgItem(m_hWndDialog, nHelp) == NULL)
        nHelp = kFrameworkHelpButton;
    if (::GetDlgItem(m_hWndDialog, nHelp) == NULL)
        return FALSE;
    m_btnHelp.SubclassWithIcon(static_cast<UINT>(nHelp), pDlg, IDI_BUTTON_HELP);
    return TRUE;
}

LRESULT CSaveAsDlg::CheckFileName()
{
    const size_t nLength = strnlen(m_szFileName, sizeof m_szFileName);
    if (nLength + 1 <= static_cast<size_t>(kMaxPathWithZero))
        return 0;
    CString strText;
    strText.LoadString(IDP_FILENAME_TOO_LONG);
    AfxMessageBox(strText, MB_OK);
    return 1;
}

UINT_PTR CALLBACK CSaveAsDlg::HookProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* pRecord = reinterpret_cast<const OPENFILENAME*>(lParam);
        if (pRecord == nullptr || pRecord->lCustData == 0)
            return 0;
        CSaveAsDlg* pDlg = reinterpret_cast<CSaveAsDlg*>(pRecord->lCustData);
        s_pActive = pDlg;
        pDlg->m_hWndChild = hWnd;
        pDlg->m_hWndDialog = ::GetParent(hWnd);
        // The dialog shows only once it is dressed (CDN_INITDONE).
        ::LockWindowUpdate(pDlg->m_hWndDialog);
        pDlg->DressButtons();
        return 0;
    }
    CSaveAsDlg* pDlg = s_pActive;
    if (message != WM_NOTIFY || pDlg == nullptr || pDlg->m_hWndChild != hWnd)
        return 0;
    const auto* pNotify = reinterpret_cast<const OFNOTIFY*>(lParam);
    if (pNotify == nullptr)
        return 0;
    switch (pNotify->hdr.code) {
    case CDN_INITDONE:
        ::LockWindowUpdate(NULL);
        if (CWnd* pCommon = CWnd::FromHandle(pDlg->m_hWndDialog))
            pCommon->CenterWindow();
        return 1;
    case CDN_FILEOK: {
        const LRESULT nResult = pDlg->CheckFileName();
        ::SetWindowLongPtr(hWnd, DWLP_MSGRESULT, nResult);
        return static_cast<UINT_PTR>(nResult);
    }
    default:
        return 0;
    }
}
