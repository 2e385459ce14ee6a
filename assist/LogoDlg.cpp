#include "assist/LogoDlg.h"

#include "app/Paths.h"
#include "app/TextTable.h"
#include "assist/DialogButtons.h"
#include "platform/files/FileApi.h"
#include "platform/framework/Afx.h"
#include "resources/mainframe.h"
#include "surface/Surface.h"

#include <algorithm>

namespace {

constexpr LPCTSTR kLogosSection = "Logos";

// The logo's name as the list shows it: the file name without folder and
// ".lgo".
CString LogoNameOf(const CString& strPath)
{
    CString name = strPath;
    const int nSlash = name.ReverseFind('\\');
    if (nSlash >= 0)
        name = name.Mid(nSlash + 1);
    if (name.GetLength() > 4 && name.Right(4).CompareNoCase(".lgo") == 0)
        name = name.Left(name.GetLength() - 4);
    return name;
}

// A remembered name comes from the profile, which anyone can edit: only a
// plain file name may become a path in the support folder.
BOOL IsPlainLogoName(const CString& strName)
{
    if (strName.IsEmpty() || strName.GetLength() > CLogoDlg::kMaxLogoName)
        return FALSE;
    for (int i = 0; i < strName.GetLength(); ++i) {
        const char ch = strName[i];
        if (ch == '\\' || ch == '/' || ch == ':' || static_cast<unsigned char>(ch) < 0x20)
            return FALSE;
    }
    return strName != "." && strName != "..";
}

BOOL IsExistingFile(const CString& strPath)
{
    const DWORD dwAttributes = ::GetFileAttributes(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

CLogoDlg::CLogoDlg(CWnd* pParent) : CDialog(IDD_LOGO, pParent) {}

BOOL CLogoDlg::GetSelectedLogo(LPCTSTR lpszUser, CString& strName, CString& strPicture) const
{
    strName.Empty();
    strPicture.Empty();
    CWinApp* pApp = AfxGetApp();
    const CString strUser = lpszUser != NULL ? lpszUser : "";
    if (pApp == NULL || strUser.IsEmpty())
        return FALSE;
    const CString strRemembered = pApp->GetProfileString(kLogosSection, strUser, "");
    if (!IsPlainLogoName(strRemembered))
        return FALSE;
    const CString strPath = GetProgramPath("support\\") + strRemembered + ".jpg";
    if (!IsExistingFile(strPath))
        return FALSE;
    strName = strRemembered;
    strPicture = strPath;
    return TRUE;
}

BOOL CLogoDlg::RememberLogo(LPCTSTR lpszUser, const CString& strName)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL || lpszUser == NULL || *lpszUser == '\0')
        return FALSE;
    return pApp->WriteProfileString(kLogosSection, lpszUser, strName);
}

std::vector<CString> CLogoDlg::FindSavedLogos()
{
    std::vector<CString> logos;
    const CString folder = GetProgramPath("support\\");
    WIN32_FIND_DATA data{};
    HANDLE hFind = ::FindFirstFile(folder + "*.lgo", &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return logos;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            logos.push_back(folder + data.cFileName);
    } while (static_cast<int>(logos.size()) < kMaxLogos && ::FindNextFile(hFind, &data));
    ::FindClose(hFind);
    std::sort(logos.begin(), logos.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
    return logos;
}

void CLogoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_LOGO_LIST, m_wndList);
}

BOOL CLogoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    DressOkCancel(&m_btnOk, &m_btnCancel);
    m_logos = FindSavedLogos();
    for (size_t i = 0; i < m_logos.size(); ++i) {
        const int nItem = m_wndList.AddString(LogoNameOf(m_logos[i]));
        m_wndList.SetItemData(nItem, static_cast<DWORD_PTR>(i));
    }
    if (m_wndList.GetCount() > 0)
        m_wndList.SetCurSel(0);
    else
        m_btnOk.EnableWindow(FALSE);
    CenterWindow();
    return TRUE;
}

void CLogoDlg::OnOK()
{
    const int nSel = m_wndList.GetCurSel();
    if (nSel < 0)
        return;
    const size_t index = static_cast<size_t>(m_wndList.GetItemData(nSel));
    if (index >= m_logos.size())
        return;
    m_strPath = m_logos[index];
    RememberLogo(CUserRecord().GetName(), LogoNameOf(m_strPath));
    EndDialog(IDOK);
    // The loop ends once this handler returns; the logo goes onto the design
    // the user is working on now.
    if (CSurface* pView = GetActiveSurface())
        pView->SendMessage(WM_COMMAND, ID_INSERT_USER_LOGO);
}
