#include "app/FolderScan.h"

#include "app/Paths.h"

#include "platform/files/FileSystem.h"
#include "platform/framework/WinApp.h"

#include <cstring>
#include <new>
#include <set>
#include <utility>

namespace {

class CSilentProgress : public CScanProgress {
public:
    void SetMessage(UINT) override {}
    void SetText(const CString&) override {}
    void SetRange(int) override {}
    void SetPos(int) override {}
    void Step() override {}
    BOOL IsCancelled() override { return FALSE; }
    void PumpMessages() override {}
};

ScanProgressFactory& ProgressFactory()
{
    static ScanProgressFactory factory;
    return factory;
}

constexpr LPCTSTR kSystemFolders[] = {"C:\\PROC", "C:\\SYS", "C:\\DEV"};

BOOL IsDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

} // namespace

BOOL IsSystemFolder(const CString& strFolder)
{
    CString folder = strFolder;
    if (folder.GetLength() > 3 && folder[folder.GetLength() - 1] == '\\')
        folder = folder.Left(folder.GetLength() - 1);
    for (LPCTSTR skipped : kSystemFolders) {
        if (folder.CompareNoCase(skipped) == 0)
            return TRUE;
    }
    return FALSE;
}

BOOL MatchWildcard(LPCTSTR lpszName, LPCTSTR lpszPattern)
{
    // Backtracking to the last '*' only: each '*' can take over one more
    // character at a time, which finds every match a full recursion would,
    // in time bounded by the product of the lengths.
    const char* name = lpszName ? lpszName : "";
    const char* pattern = lpszPattern ? lpszPattern : "";
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern && (*pattern == '?' || *pattern == *name)) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return FALSE;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

// CFileFinder

CFileFinder::CFileFinder(LPCTSTR lpszFolder, LPCTSTR lpszPatterns, DWORD dwAttributeMask)
    : m_dwMask(dwAttributeMask)
    , m_strFolder(WithTrailingBackslash(lpszFolder ? lpszFolder : ""))
    , m_strPatterns(lpszPatterns ? lpszPatterns : "")
{
    m_strPatterns.MakeUpper();
    m_strSpec = m_strFolder + "*.*";
}

CFileFinder::~CFileFinder()
{
    Close();
}

void CFileFinder::Close()
{
    if (m_hFind != -1)
        _findclose(m_hFind);
    m_hFind = -1;
}

BOOL CFileFinder::Accept() const
{
    if (!(m_dwMask & kFindAnyEntry) && !(m_data.attrib & m_dwMask))
        return FALSE;
    if (m_bSkipDots && (m_data.attrib & _A_SUBDIR) && IsDotEntry(m_data.name))
        return FALSE;
    if (m_strPatterns.IsEmpty())
        return TRUE;
    CString name(m_data.name);
    name.MakeUpper();
    int start = 0;
    const int length = m_strPatterns.GetLength();
    while (start <= length) {
        int end = m_strPatterns.Find(';', start);
        if (end < 0)
            end = length;
        if (MatchWildcard(name, m_strPatterns.Mid(start, end - start)))
            return TRUE;
        start = end + 1;
    }
    return FALSE;
}

// m_data holds an entry not yet judged; on the way out it holds the entry
// given.
BOOL CFileFinder::NextAccepted(CString& strPath, int* pCounter)
{
    while (m_hFind != -1) {
        m_data.name[sizeof(m_data.name) - 1] = '\0';
        if (Accept()) {
            strPath = m_strFolder + m_data.name;
            if (pCounter)
                ++*pCounter;
            return TRUE;
        }
        if (_findnext(m_hFind, &m_data) != 0)
            Close();
    }
    return FALSE;
}

BOOL CFileFinder::FindFirst(CString& strPath, int* pCounter)
{
    Close();
    if (pCounter)
        *pCounter = -1;
    m_hFind = _findfirst(m_strSpec, &m_data);
    return NextAccepted(strPath, pCounter);
}

BOOL CFileFinder::FindNext(CString& strPath, int* pCounter)
{
    if (m_hFind == -1)
        return FALSE;
    if (_findnext(m_hFind, &m_data) != 0) {
        Close();
        return FALSE;
    }
    return NextAccepted(strPath, pCounter);
}

int CFileFinder::Count()
{
    int count = 0;
    CString path;
    for (BOOL found = FindFirst(path); found; found = FindNext(path))
        ++count;
    return count;
}

DWORD CFileFinder::GetAttributes(LPCTSTR lpszPath)
{
    CString path(lpszPath ? lpszPath : "");
    if (path.GetLength() == 3 && path[1] == ':' && path[2] == '\\') {
        struct _stat st;
        return _stat(path, &st) == 0 ? _A_SUBDIR : 0xFFFFFFFF;
    }
    _finddata_t data{};
    const intptr_t handle = _findfirst(path, &data);
    if (handle == -1)
        return 0xFFFFFFFF;
    _findclose(handle);
    return data.attrib;
}

// Progress

void SetScanProgressFactory(ScanProgressFactory factory)
{
    ProgressFactory() = std::move(factory);
}

std::unique_ptr<CScanProgress> MakeScanProgress()
{
    std::unique_ptr<CScanProgress> progress;
    if (ProgressFactory())
        progress = ProgressFactory()();
    if (!progress)
        progress = std::make_unique<CSilentProgress>();
    return progress;
}

// CFolderScan

CFolderScan::CFolderScan(LPCTSTR lpszStartFolder, LPCTSTR lpszPattern, BOOL bRecursive, UINT nMessageId)
    : m_strStart(lpszStartFolder ? lpszStartFolder : "")
    , m_strPattern(lpszPattern ? lpszPattern : "")
    , m_bRecursive(bRecursive)
    , m_progress(MakeScanProgress())
    , m_nMessageId(nMessageId)
{
    m_progress->SetMessage(m_nMessageId);
}

CFolderScan::~CFolderScan() = default;

// The folders one pass has entered, by identity.
struct CFolderScan::WalkedFolders {
    std::set<platform::FileIdentity> entered;

    // The system folders count as entered from the start, so that no folder
    // link (or drive) leads into them either.
    WalkedFolders()
    {
        for (LPCTSTR system : kSystemFolders) {
            platform::FileIdentity identity;
            if (platform::GetFileIdentity(system, identity))
                entered.insert(identity);
        }
    }

    // Whether the walk may go into the folder; the folder counts as entered
    // from now on. A folder whose identity cannot be read cannot be listed
    // either.
    BOOL Enter(const CString& folder)
    {
        if (IsSystemFolder(folder))
            return FALSE;
        platform::FileIdentity identity;
        if (!platform::GetFileIdentity(folder, identity))
            return FALSE;
        return entered.insert(identity).second ? TRUE : FALSE;
    }

    // The start folder is walked even when it is a system folder: the user
    // asked for it by name.
    void EnterStart(const CString& folder)
    {
        platform::FileIdentity identity;
        if (platform::GetFileIdentity(folder, identity))
            entered.insert(identity);
    }
};

int CFolderScan::CountFolders(const CString& folder, int depth, WalkedFolders& walked) const
{
    CFileFinder finder(folder, "", _A_SUBDIR);
    finder.ExcludeDotEntries();
    int count = 0;
    CString path;
    for (BOOL found = finder.FindFirst(path); found; found = finder.FindNext(path)) {
        if (!walked.Enter(path))
            continue;
        ++count;
        if (!m_bOneLevel && depth < kMaxScanDepth)
            count += CountFolders(path, depth + 1, walked);
    }
    return count;
}

void CFolderScan::Scan()
{
    {
        // Counting a large tree takes a while before any progress shows.
        CWaitCursor wait;
        if (!m_bRecursive) {
            m_nFolders = CFileFinder(m_strStart, "", kFindAnyEntry).Count();
        } else {
            WalkedFolders counted;
            counted.EnterStart(m_strStart);
            m_nFolders = CountFolders(m_strStart, 1, counted);
            m_nDepthLimit = m_bOneLevel ? 1 : -1;
        }
    }
    m_progress->SetRange(m_nFolders);
    m_progress->SetPos(0);
    if (!m_bRecursive) {
        OnEntry(m_strStart);
        return;
    }
    WalkedFolders walked;
    walked.EnterStart(m_strStart);
    Visit(m_strStart, 0, walked);
}

BOOL CFolderScan::Visit(CString folder, int depth, WalkedFolders& walked)
{
    folder = WithTrailingBackslash(folder);
    if (!m_strPattern.IsEmpty()) {
        CFileFinder entries(folder, m_strPattern, kFindAnyEntry);
        entries.ExcludeDotEntries();
        CString path;
        for (BOOL found = entries.FindFirst(path); found; found = entries.FindNext(path)) {
            if (!OnEntry(path))
                return FALSE;
        }
    }
    if (depth >= kMaxScanDepth)
        return TRUE;
    CFileFinder folders(folder, "", _A_SUBDIR);
    folders.ExcludeDotEntries();
    CString path;
    for (BOOL found = folders.FindFirst(path); found; found = folders.FindNext(path)) {
        if (m_progress->IsCancelled())
            return FALSE;
        if (!walked.Enter(path))
            continue;
        if (m_nDepthLimit < 0 || depth + 1 <= m_nDepthLimit)
            m_progress->Step();
        m_progress->PumpMessages();
        if (!Visit(path, depth + 1, walked))
            return FALSE;
    }
    return TRUE;
}

// Arrays

void FreeArray(DwordArray& array)
{
    delete[] array.pData;
    array.pData = nullptr;
    array.nCount = 0;
}

BOOL SetArraySize(DwordArray& array, int n, BOOL bZero)
{
    FreeArray(array);
    if (n > kMaxDwordArray)
        return FALSE;
    if (n < 1)
        n = 1;
    array.pData = bZero ? new (std::nothrow) DWORD[static_cast<size_t>(n)]()
                        : new (std::nothrow) DWORD[static_cast<size_t>(n)];
    if (!array.pData)
        return FALSE;
    array.nCount = n;
    return TRUE;
}
