#include "assist/ToolsPage.h"

#include "app/Paths.h"
#include "platform/framework/Afx.h"

namespace {

constexpr LPCTSTR kSection = "Tools";
constexpr LPCTSTR kYes = "yes";

struct AddOn {
    LPCTSTR key;
    LPCTSTR label;
    LPCTSTR file; // in the program folder
};

// The maker's add-on programs, in the order the Tools menu offers them.
constexpr AddOn kAddOns[] = {
    {"Contax_Init", "Contax Address Book", "Contax.exe"},
    {"Scrivane_Init", "Scrivane", "Scrivane.exe"},
    {"Varnette_Init", "Varnette", "Varnette.exe"},
    {"OlvCard_Init", "OlvCard", "OlvCard.exe"},
};

CString ToolKey(int n)
{
    CString key;
    key.Format("Tool%d", n);
    return key;
}

CString ReadProfile(LPCTSTR lpszEntry)
{
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr ? pApp->GetProfileString(kSection, lpszEntry, "") : CString();
}

void WriteProfile(LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WriteProfileString(kSection, lpszEntry, lpszValue);
}

CString Trimmed(CString text)
{
    text.TrimLeft();
    text.TrimRight();
    return text;
}

} // namespace

BEGIN_MESSAGE_MAP(CToolsPage, CPropertyPage)
    ON_BN_CLICKED(IDC_TOOLS_ADD, OnAdd)
    ON_BN_CLICKED(IDC_TOOLS_REPLACE, OnReplace)
    ON_BN_CLICKED(IDC_TOOLS_REMOVE, OnRemove)
    ON_LBN_SELCHANGE(IDC_TOOLS_LIST, OnSelChange)
END_MESSAGE_MAP()

CToolsPage::CToolsPage() : CPropertyPage(IDD_TOOLS_PAGE)
{
    m_entries = LoadToolEntries();
}

// ---- The profile -------------------------------------------------------------------

CString CToolsPage::AddOnKey(int nAddOn)
{
    if (nAddOn < kFirstAddOn || nAddOn > kLastAddOn)
        return CString();
    return kAddOns[nAddOn - 1].key;
}

CString CToolsPage::AddOnEntry(int nAddOn)
{
    if (nAddOn < kFirstAddOn || nAddOn > kLastAddOn)
        return CString();
    const AddOn& addOn = kAddOns[nAddOn - 1];
    return MakeEntry(addOn.label, GetProgramPath(addOn.file));
}

int CToolsPage::AddDefaultTools(BOOL bSave)
{
    int nCount = 0;
    for (int n = kFirstAddOn; n <= kLastAddOn; ++n) {
        if (bSave)
            nCount = AddSiblingTool(n, nCount);
        else
            ++nCount;
    }
    if (bSave) {
        // Entries beyond the defaults belonged to an earlier list.
        for (int n = nCount; n < kMaxTools; ++n)
            WriteProfile(ToolKey(n), nullptr);
    }
    return nCount;
}

int CToolsPage::AddSiblingTool(int nAddOn, int nCount)
{
    if (nAddOn < kFirstAddOn || nAddOn > kLastAddOn || nCount < 0 || nCount >= kMaxTools)
        return nCount;
    WriteProfile(ToolKey(nCount), AddOnEntry(nAddOn));
    WriteProfile(AddOnKey(nAddOn), kYes);
    return nCount + 1;
}

BOOL CToolsPage::ParseToolEntry(const CString& strEntry, CString& strLabel, CString& strPath)
{
    const CString entry = strEntry.GetLength() > kMaxToolEntryLength ? strEntry.Left(kMaxToolEntryLength) : strEntry;
    const int nBar = entry.Find('|');
    if (nBar < 0) {
        strLabel = Trimmed(entry);
        strPath.Empty();
        return FALSE;
    }
    strLabel = Trimmed(entry.Left(nBar));
    strPath = Trimmed(entry.Mid(nBar + 1));
    return TRUE;
}

std::vector<CString> CToolsPage::LoadToolEntries()
{
    std::vector<CString> entries;
    for (int n = 0; n < kMaxTools; ++n) {
        CString value = ReadProfile(ToolKey(n));
        if (value.IsEmpty())
            break;
        if (value.GetLength() > kMaxToolEntryLength)
            value = value.Left(kMaxToolEntryLength);
        entries.push_back(value);
    }
    return entries;
}

void CToolsPage::SaveToolEntries(const std::vector<CString>& entries)
{
    int n = 0;
    for (; n < kMaxTools && n < static_cast<int>(entries.size()); ++n)
        WriteProfile(ToolKey(n), entries[static_cast<size_t>(n)]);
    for (; n < kMaxTools; ++n)
        WriteProfile(ToolKey(n), nullptr);
}

CString CToolsPage::MakeEntry(const CString& strLabel, const CString& strPath)
{
    return strLabel + "|" + strPath;
}

// ---- Editing the list -----------------------------------------------------------

BOOL CToolsPage::AddEntry(const CString& strLabel, const CString& strPath)
{
    if (static_cast<int>(m_entries.size()) >= kMaxTools)
        return FALSE;
    const CString label = Trimmed(strLabel);
    const CString path = Trimmed(strPath);
    // A bar in the label would move the split into the label.
    if (label.IsEmpty() || path.IsEmpty() || label.Find('|') >= 0
        || label.GetLength() + 1 + path.GetLength() > kMaxToolEntryLength)
        return FALSE;
    m_entries.push_back(MakeEntry(label, path));
    return TRUE;
}

BOOL CToolsPage::ReplaceEntry(int nIndex, const CString& strLabel, const CString& strPath)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_entries.size()))
        return FALSE;
    const CString label = Trimmed(strLabel);
    const CString path = Trimmed(strPath);
    if (label.IsEmpty() || path.IsEmpty() || label.Find('|') >= 0
        || label.GetLength() + 1 + path.GetLength() > kMaxToolEntryLength)
        return FALSE;
    m_entries[static_cast<size_t>(nIndex)] = MakeEntry(label, path);
    return TRUE;
}

BOOL CToolsPage::RemoveEntry(int nIndex)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_entries.size()))
        return FALSE;
    m_entries.erase(m_entries.begin() + nIndex);
    return TRUE;
}

void CToolsPage::OnOK()
{
    SaveToolEntries(m_entries);
    CPropertyPage::OnOK();
}

// ---- The page ----------------------------------------------------------------------

void CToolsPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TOOLS_LIST, m_wndList);
    DDX_Control(pDX, IDC_TOOLS_ADD, m_btnAdd);
    DDX_Control(pDX, IDC_TOOLS_REPLACE, m_btnReplace);
    DDX_Control(pDX, IDC_TOOLS_REMOVE, m_btnRemove);
}

BOOL CToolsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    // Caption-only picture buttons, drawn like the rest of the program's.
    m_btnAdd.SetIcon(0);
    m_btnReplace.SetIcon(0);
    m_btnRemove.SetIcon(0);
    SendDlgItemMessage(IDC_TOOLS_LABEL, EM_LIMITTEXT, kMaxToolEntryLength / 2, 0);
    SendDlgItemMessage(IDC_TOOLS_PATH, EM_LIMITTEXT, kMaxToolEntryLength / 2, 0);
    FillList();
    return TRUE;
}

void CToolsPage::FillList()
{
    if (m_wndList.m_hWnd == NULL)
        return;
    m_wndList.ResetContent();
    for (const CString& entry : m_entries) {
        CString label, path;
        ParseToolEntry(entry, label, path);
        m_wndList.AddString(label);
    }
    const BOOL bFull = static_cast<int>(m_entries.size()) >= kMaxTools;
    if (CWnd* pAdd = GetDlgItem(IDC_TOOLS_ADD))
        pAdd->EnableWindow(!bFull);
    OnSelChange();
}

void CToolsPage::OnSelChange()
{
    const int nSel = m_wndList.m_hWnd != NULL ? m_wndList.GetCurSel() : LB_ERR;
    const BOOL bSelected = nSel >= 0 && nSel < static_cast<int>(m_entries.size());
    if (bSelected) {
        CString label, path;
        ParseToolEntry(m_entries[static_cast<size_t>(nSel)], label, path);
        SetDlgItemText(IDC_TOOLS_LABEL, label);
        SetDlgItemText(IDC_TOOLS_PATH, path);
    }
    if (CWnd* pReplace = GetDlgItem(IDC_TOOLS_REPLACE))
        pReplace->EnableWindow(bSelected);
    if (CWnd* pRemove = GetDlgItem(IDC_TOOLS_REMOVE))
        pRemove->EnableWindow(bSelected);
}

void CToolsPage::OnAdd()
{
    CString label, path;
    GetDlgItemText(IDC_TOOLS_LABEL, label);
    GetDlgItemText(IDC_TOOLS_PATH, path);
    if (!AddEntry(label, path)) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    FillList();
    m_wndList.SetCurSel(static_cast<int>(m_entries.size()) - 1);
    OnSelChange();
    SetModified();
}

void CToolsPage::OnReplace()
{
    const int nSel = m_wndList.GetCurSel();
    CString label, path;
    GetDlgItemText(IDC_TOOLS_LABEL, label);
    GetDlgItemText(IDC_TOOLS_PATH, path);
    if (!ReplaceEntry(nSel, label, path)) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    FillList();
    m_wndList.SetCurSel(nSel);
    OnSelChange();
    SetModified();
}

void CToolsPage::OnRemove()
{
    const int nSel = m_wndList.GetCurSel();
    if (!RemoveEntry(nSel))
        return;
    FillList();
    if (!m_entries.empty())
        m_wndList.SetCurSel(nSel < static_cast<int>(m_entries.size()) ? nSel : nSel - 1);
    OnSelChange();
    SetModified();
}
