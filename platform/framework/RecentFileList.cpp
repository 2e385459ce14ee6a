#include "platform/framework/RecentFileList.h"

#include "platform/base/Exception.h"
#include "platform/files/FileApi.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/CmdTarget.h"
#include "platform/framework/Menu.h"
#include "platform/framework/WinApp.h"
#include "platform/profile/AppProfile.h"

#include <algorithm>

namespace {

// Recent-file lists longer than the sixteen MRU commands cannot be shown.
constexpr int kMaxEntries = ID_FILE_MRU_LAST - ID_FILE_MRU_FIRST + 1;

CString FullPath(LPCTSTR lpszPathName)
{
    char full[MAX_PATH];
    const DWORD n = ::GetFullPathName(lpszPathName, MAX_PATH, full, NULL);
    return n > 0 && n < MAX_PATH ? CString(full) : CString(lpszPathName);
}

bool SameFile(const CString& a, const CString& b)
{
    return a.CompareNoCase(b) == 0 || platform::IsSameFile(a, b);
}

// "C:\" of "C:\a\b", "\\server\share\" of a network path, else empty.
int RootLength(const CString& path)
{
    if (path.GetLength() >= 3 && path[1] == ':' && path[2] == '\\')
        return 3;
    if (path.GetLength() >= 2 && path[0] == '\\' && path[1] == '\\') {
        int slashes = 0;
        for (int i = 2; i < path.GetLength(); ++i) {
            if (path[i] == '\\' && ++slashes == 2)
                return i + 1;
        }
    }
    return 0;
}

// Shortens a path to nMax characters by replacing whole folders after its
// root with "...": "C:\...\folder\name.ext".
CString AbbreviatePath(const CString& path, int nMax, BOOL bAtLeastName)
{
    if (path.GetLength() <= nMax)
        return path;
    const int nameStart = path.ReverseFind('\\') + 1;
    const CString name = path.Mid(nameStart);
    if (name.GetLength() >= nMax)
        return bAtLeastName ? name : CString();

    const int root = RootLength(path);
    const CString head = path.Left(root) + "...";
    // Drop folders from the front of what follows the root until it fits.
    int cut = root;
    while (cut < nameStart) {
        const int next = path.Find('\\', cut);
        if (next < 0 || next >= nameStart)
            break;
        const CString candidate = head + path.Mid(next);
        if (candidate.GetLength() <= nMax)
            return candidate;
        cut = next + 1;
    }
    return bAtLeastName ? name : CString();
}

platform::AppProfile* ProfileOfApp()
{
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL ? &pApp->GetAppProfile() : NULL;
}

} // namespace

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
    int nMaxDispLen)
    : m_nStart(nStart),
      m_strSectionName(lpszSection != NULL ? lpszSection : platform::kRecentFileSection),
      m_strEntryFormat(lpszEntryFormat != NULL ? lpszEntryFormat : "File%d"),
      m_nSize(std::clamp(nSize, 0, kMaxEntries)),
      m_nMaxDisplayLength(std::max(nMaxDispLen, 4))
{
    m_arrNames.resize(static_cast<size_t>(m_nSize));
}

CRecentFileList::~CRecentFileList() = default;

CString& CRecentFileList::operator[](int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidArgException();
    return m_arrNames[static_cast<size_t>(nIndex)];
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        return;
    m_arrNames.erase(m_arrNames.begin() + nIndex);
    m_arrNames.emplace_back();
}

void CRecentFileList::Add(LPCTSTR lpszPathName)
{
    if (m_nSize == 0 || lpszPathName == NULL || *lpszPathName == '\0')
        return;
    const CString path = FullPath(lpszPathName);

    // The same file moves to the front; a new one takes the first free slot,
    // or the oldest entry's.
    int slot = m_nSize - 1;
    bool found = false;
    for (int i = 0; i < m_nSize; ++i) {
        if (!m_arrNames[i].IsEmpty() && SameFile(m_arrNames[i], path)) {
            slot = i;
            found = true;
            break;
        }
    }
    if (!found) {
        for (int i = 0; i < m_nSize; ++i) {
            if (m_arrNames[i].IsEmpty()) {
                slot = i;
                break;
            }
        }
    }
    for (int i = slot; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = path;
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
    BOOL bAtLeastName) const
{
    strName.Empty();
    if (nIndex < 0 || nIndex >= m_nSize || m_arrNames[nIndex].IsEmpty())
        return FALSE;
    const CString& path = m_arrNames[nIndex];

    // A file of the current folder is shown by its name alone.
    if (lpszCurDir != NULL && nCurDir > 0 && path.GetLength() > nCurDir
        && path.Left(nCurDir).CompareNoCase(CString(lpszCurDir, nCurDir)) == 0
        && path.Find('\\', nCurDir) < 0) {
        strName = path.Mid(nCurDir);
        return TRUE;
    }
    strName = AbbreviatePath(path, m_nMaxDisplayLength, bAtLeastName);
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI)
{
    CMenu* pMenu = pCmdUI->m_pMenu;
    if (pMenu == NULL)
        return;
    if (m_strOriginal.IsEmpty())
        pMenu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);

    if (m_nSize == 0 || m_arrNames[0].IsEmpty()) {
        // Nothing to show: the placeholder item stays, disabled.
        if (!m_strOriginal.IsEmpty())
            pCmdUI->SetText(m_strOriginal);
        pCmdUI->Enable(FALSE);
        return;
    }

    for (int i = 0; i < m_nSize; ++i)
        pMenu->DeleteMenu(pCmdUI->m_nID + static_cast<UINT>(i), MF_BYCOMMAND);

    char curDir[MAX_PATH + 1];
    DWORD nCurDir = ::GetCurrentDirectory(MAX_PATH, curDir);
    if (nCurDir == 0 || nCurDir >= MAX_PATH)
        nCurDir = 0;
    else if (curDir[nCurDir - 1] != '\\') {
        curDir[nCurDir++] = '\\';
        curDir[nCurDir] = '\0';
    }

    for (int i = 0; i < m_nSize; ++i) {
        CString name;
        if (!GetDisplayName(name, i, curDir, static_cast<int>(nCurDir)))
            break;
        // An ampersand in a file name is shown, not taken as a mnemonic.
        name.Replace("&", "&&");
        CString text;
        if (i < 9)
            text.Format("&%d %s", i + 1, static_cast<LPCTSTR>(name));
        else if (i == 9)
            text.Format("1&0 %s", static_cast<LPCTSTR>(name));
        else
            text.Format("%d %s", i + 1, static_cast<LPCTSTR>(name));
        pMenu->InsertMenu(pCmdUI->m_nIndex++, MF_STRING | MF_BYPOSITION, pCmdUI->m_nID++, text);
    }
    // The menu update goes on after the last item added.
    --pCmdUI->m_nIndex;
    pCmdUI->m_nIndexMax = pMenu->GetMenuItemCount();
    pCmdUI->m_bEnableChanged = TRUE;
}

void CRecentFileList::ReadList()
{
    platform::AppProfile* pProfile = ProfileOfApp();
    if (pProfile == NULL)
        return;
    std::vector<CString> names;
    if (m_strSectionName == platform::kRecentFileSection && m_strEntryFormat == "File%d") {
        names = pProfile->ReadRecentFileList(m_nSize);
    } else {
        for (int i = 0; i < m_nSize; ++i) {
            CString entry;
            entry.Format(m_strEntryFormat, i + 1);
            names.push_back(pProfile->GetProfileString(m_strSectionName, entry));
        }
    }
    // Profile text is outside data: no entry longer than a path.
    for (int i = 0; i < m_nSize; ++i) {
        CString name = static_cast<size_t>(i) < names.size() ? names[i] : CString();
        if (name.GetLength() >= MAX_PATH)
            name = name.Left(MAX_PATH - 1);
        m_arrNames[i] = name;
    }
}

void CRecentFileList::WriteList()
{
    platform::AppProfile* pProfile = ProfileOfApp();
    if (pProfile == NULL)
        return;
    if (m_strSectionName == platform::kRecentFileSection && m_strEntryFormat == "File%d") {
        pProfile->WriteRecentFileList(m_arrNames);
        return;
    }
    pProfile->WriteProfileString(m_strSectionName, NULL, NULL);
    for (int i = 0; i < m_nSize; ++i) {
        if (m_arrNames[i].IsEmpty())
            continue;
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        pProfile->WriteProfileString(m_strSectionName, entry, m_arrNames[i]);
    }
}
