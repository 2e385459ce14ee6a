#include "assist/LogoDlg.h"

#include "app/Paths.h"
#include "assist/DialogButtons.h"
#include "platform/files/FileApi.h"
#include "platform/framework/Afx.h"

#include <algorithm>

CLogoDlg::CLogoDlg(CWnd* pParent) : CDialog(IDD_LOGO, pParent) {}

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
        // Shown by name: the file name without folder and ".lgo".
        CString name = m_logos[i];
        const int nSlash = name.ReverseFind('\\');
        if (nSlash >= 0)
            name = name.Mid(nSlash + 1);
        if (name.GetLength() > 4)
            name = name.Left(name.GetLength() - 4);
        const int nItem = m_wndList.AddString(name);
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
    EndDialog(IDOK);
}
