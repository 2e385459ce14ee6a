#include "app/KitFinder.h"

#include "app/Drives.h"
#include "app/FolderScan.h"
#include "app/Paths.h"
#include "platform/files/Drives.h"
#include "platform/files/FileApi.h"
#include "platform/profile/PrivateProfile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Registry values and INI keys come from outside: a kit path longer than a
// path can be is ignored, and only so many entries are read.
constexpr int kMaxKitPath = MAX_PATH;
constexpr DWORD kMaxRegisteredKits = 4096;
constexpr DWORD kIniKeyListSize = 32 * 1024;
constexpr int kMaxIniKits = 1024;
// Folder trees deeper than this are taken for link loops and not entered.
constexpr int kMaxSearchDepth = 64;

constexpr LPCTSTR kKitsSection = "Tovell Kits";
constexpr LPCTSTR kKitsIniFile = "VELMORA.INI";
// The user's own occasion tables live in folders of this name; they are
// not kits.
constexpr LPCTSTR kOccasionFolder = "Occasion";

BOOL HasDriveLetter(const CString& path)
{
    return path.GetLength() >= 3 && path[1] == ':' && path[2] == '\\';
}

UINT DriveTypeOf(const CString& path)
{
    if (!HasDriveLetter(path))
        return DRIVE_UNKNOWN;
    return GetDriveType(path.Left(3));
}

CString FileNameOf(const CString& path)
{
    return path.Mid(path.ReverseFind('\\') + 1);
}

} // namespace

CString KitFileToCategoryName(LPCTSTR lpszPath)
{
    CString name = FileNameOf(lpszPath ? lpszPath : "");
    name.MakeLower();
    if (name == "occasion.kqa")
        return "User defined";
    return CString();
}

CKitFinder::CKitFinder(LPCTSTR lpszExtension)
    : m_strExtension(lpszExtension ? lpszExtension : "")
{
    m_key.Ensure(kKitsRegistryKey);
    m_nSearchMode = 1;
    ReadIniKits();
    FindKits();
    m_filter.SetAll();
}

CKitFinder::~CKitFinder() = default;

CString CKitFinder::ChangeExtension(const CString& path) const
{
    const int dot = path.ReverseFind('.');
    return (dot >= 0 ? path.Left(dot + 1) : path + ".") + m_strExtension;
}

void CKitFinder::ReadIniKits()
{
    m_iniKits.clear();
    char folder[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectory(folder, sizeof(folder));
    if (length == 0 || length >= sizeof(folder))
        return;
    CString file = CString(folder) + "\\" + kKitsIniFile;
    std::vector<char> keys(kIniKeyListSize, '\0');
    const DWORD got = GetPrivateProfileString(kKitsSection, nullptr, "", keys.data(), kIniKeyListSize, file);
    for (DWORD at = 0; at < got && keys[at] != '\0' && static_cast<int>(m_iniKits.size()) < kMaxIniKits;) {
        const char* key = &keys[at];
        char text[kMaxKitPath + 1] = {};
        GetPrivateProfileString(kKitsSection, key, "", text, sizeof(text), file);
        m_iniKits.emplace_back(text);
        at += static_cast<DWORD>(std::strlen(key)) + 1;
    }
}

void CKitFinder::FindKits()
{
    m_kits.clear();
    m_kinds.clear();
    m_cdCategories.clear();
    m_cdPaths.clear();
    m_nNext = 0;
    m_nCurrent = -1;
    m_nNextCd = 0;

    AddKit(GetSupportTablePath(m_strExtension));

    // A kit installed from a CD-ROM was registered with the letter the drive
    // had then; when a CD-ROM drive now holds it under another letter, the
    // registration follows the disc.
    CString data;
    CString name = m_key.EnumValue(0, data);
    if (!name.IsEmpty() && HasDriveLetter(data) && data.GetLength() <= kMaxKitPath) {
        char drive = 0;
        if (FindCdDrive(drive, data.Mid(1)) && drive != data[0]) {
            data.SetAt(0, drive);
            m_key.SetString(name, data);
        }
    }

    for (DWORD i = 0; i < kMaxRegisteredKits; ++i) {
        name = m_key.EnumValue(i, data);
        if (name.IsEmpty() && data.IsEmpty())
            break;
        if (data.IsEmpty() || data.GetLength() > kMaxKitPath)
            continue;
        AddKit(data);
    }
}

void CKitFinder::AddKit(const CString& given)
{
    const CString path = ChangeExtension(given);
    // The registry may name one kit by several spellings; it is listed once.
    auto listed = [&path](const std::vector<CString>& list) {
        return std::any_of(list.begin(), list.end(), [&path](const CString& p) { return p.CompareNoCase(path) == 0; });
    };
    if (listed(m_kits))
        return;
    BYTE kind = kKitOnDisk;
    if (DriveTypeOf(path) == DRIVE_CDROM) {
        kind = kKitOnCdRom;
        if (!listed(m_cdPaths)) {
            m_cdCategories.push_back(KitFileToCategoryName(path));
            m_cdPaths.push_back(path);
        }
        if (m_nSearchMode == 0)
            GetTableFilePath(path);
    }
    if (!FileExists(path) && !FileExists(GetProgramPath("support\\") + FileNameOf(path)))
        return;
    m_kits.push_back(path);
    m_kinds.push_back(kind);
}

BOOL CKitFinder::GetFirstKit(CString& path, int& kind)
{
    m_nNext = 0;
    m_nCurrent = -1;
    return GetNextKit(path, kind);
}

BOOL CKitFinder::GetNextKit(CString& path, int& kind)
{
    while (m_nNext < static_cast<int>(m_kits.size())) {
        const int n = m_nNext++;
        // Only the first 128 kits can be enabled.
        if (!m_filter.Test(n))
            continue;
        m_nCurrent = n;
        path = m_kits[static_cast<size_t>(n)];
        kind = m_kinds[static_cast<size_t>(n)];
        return TRUE;
    }
    return FALSE;
}

CString CKitFinder::GetKitFileName(int n) const
{
    if (n < 0 || n >= static_cast<int>(m_kits.size()))
        return CString();
    return ChangeExtension(m_kits[static_cast<size_t>(n)]);
}

BOOL CKitFinder::GetFirstCDKit(CString& strCategory, CString& strPath)
{
    m_nNextCd = 0;
    return GetNextCDKit(strCategory, strPath);
}

BOOL CKitFinder::GetNextCDKit(CString& strCategory, CString& strPath)
{
    if (m_nNextCd >= static_cast<int>(m_cdPaths.size()))
        return FALSE;
    strCategory = m_cdCategories[static_cast<size_t>(m_nNextCd)];
    strPath = m_cdPaths[static_cast<size_t>(m_nNextCd)];
    ++m_nNextCd;
    return TRUE;
}

BOOL CKitFinder::IsRegistered(const CString& path)
{
    CString data;
    for (DWORD i = 0; i < kMaxRegisteredKits; ++i) {
        const CString name = m_key.EnumValue(i, data);
        if (name.IsEmpty() && data.IsEmpty())
            break;
        if (data.CompareNoCase(path) == 0)
            return TRUE;
    }
    return FALSE;
}

void CKitFinder::RecordFound(const CString& found, int& nAdded)
{
    const CString path = ChangeExtension(found);
    // FindKits ignores longer paths; registering them would only clutter.
    if (path.GetLength() > kMaxKitPath)
        return;
    const int slash = path.ReverseFind('\\');
    const CString folder = path.Left(std::max(slash, 0));
    if (FileNameOf(folder).CompareNoCase(kOccasionFolder) == 0)
        return;
    // A search run again, or one that meets a kit already installed, must
    // not list it twice.
    if (IsRegistered(path))
        return;
    if (m_key.SetString(path, path))
        ++nAdded;
}

BOOL CKitFinder::SearchFolder(const CString& folder, int depth, CScanProgress& progress, int& nAdded)
{
    CFileFinder tables(folder, "*." + m_strExtension, kFindAnyEntry);
    CString path;
    for (BOOL found = tables.FindFirst(path); found; found = tables.FindNext(path)) {
        if (!(tables.GetFindData().attrib & _A_SUBDIR))
            RecordFound(path, nAdded);
    }
    if (depth >= kMaxSearchDepth)
        return TRUE;
    CFileFinder folders(folder, "*", _A_SUBDIR);
    folders.ExcludeDotEntries();
    for (BOOL found = folders.FindFirst(path); found; found = folders.FindNext(path)) {
        progress.PumpMessages();
        if (progress.IsCancelled())
            return FALSE;
        const CString sub = path + "\\";
        if (IsSystemFolder(sub))
            continue;
        if (depth == 0)
            progress.Step();
        if (!SearchFolder(sub, depth + 1, progress, nAdded))
            return FALSE;
    }
    return TRUE;
}

int CKitFinder::SearchDrives(char chFirst, char chLast)
{
    std::unique_ptr<CScanProgress> progress = MakeScanProgress();
    int nAdded = 0;
    chFirst = static_cast<char>(std::max<int>(chFirst & ~0x20, 'C'));
    chLast = static_cast<char>(std::min<int>(chLast & ~0x20, 'Z'));
    for (char letter = chFirst; letter <= chLast; ++letter) {
        CString root;
        root += letter;
        root += ":\\";
        const UINT type = GetDriveType(root);
        if (type != DRIVE_FIXED && type != DRIVE_CDROM)
            continue;
        progress->SetText(root);
        // The range is the number of top-level folders; the position moves
        // once per folder walked.
        CFileFinder top(root, "*", _A_SUBDIR);
        top.ExcludeDotEntries();
        progress->SetRange(top.Count());
        progress->SetPos(0);
        if (!SearchFolder(root, 0, *progress, nAdded))
            break;
    }
    return nAdded;
}
