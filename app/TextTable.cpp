#include "app/TextTable.h"

#include "app/Paths.h"
#include "app/PrefData.h"

#include "platform/base/Exception.h"
#include "platform/base/Resources.h"
#include "platform/files/CrtFiles.h"
#include "platform/files/FileApi.h"
#include "platform/files/ProgramFolder.h"
#include "platform/files/SafeReplace.h"
#include "platform/ui/Messages.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT kOccasionDbResource = 37;
constexpr UINT kTableCopyBuffer = 8192;

CString FolderOf(const CString& path)
{
    return path.Left(path.ReverseFind('\\') + 1);
}

UINT OpenFlagsFor(const CString& path)
{
    const UINT share = CFile::shareDenyNone;
    DWORD attributes = GetFileAttributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return ((attributes & FILE_ATTRIBUTE_READONLY) ? CFile::modeRead : CFile::modeReadWrite) | share;
    if (IsPathOnCDROM(path))
        return CFile::modeRead | share;
    return CFile::modeCreate | CFile::modeReadWrite | share;
}

void SetLayout(DbLayout& layout, std::initializer_list<int> widths)
{
    layout.nCount = 0;
    for (int width : widths) {
        if (layout.nCount < DbLayout::kMaxColumns)
            layout.widths[layout.nCount++] = width;
    }
}

} // namespace

// CFlagSet128

void CFlagSet128::Set(int n)
{
    if (n >= 0 && n < kFlags)
        m_words[n / 32] |= DWORD(1) << (n % 32);
}

void CFlagSet128::Clear(int n)
{
    if (n >= 0 && n < kFlags)
        m_words[n / 32] &= ~(DWORD(1) << (n % 32));
}

BOOL CFlagSet128::Test(int n) const
{
    if (n < 0 || n >= kFlags)
        return FALSE;
    return (m_words[n / 32] >> (n % 32)) & 1;
}

void CFlagSet128::SetAll()
{
    std::fill(std::begin(m_words), std::end(m_words), 0xFFFFFFFFu);
}

void CFlagSet128::ClearAll()
{
    std::fill(std::begin(m_words), std::end(m_words), 0u);
}

BOOL CFlagSet128::IsEmpty() const
{
    return (m_words[0] | m_words[1] | m_words[2] | m_words[3]) == 0;
}

void CFlagSet128::Union(const CFlagSet128& other)
{
    for (int i = 0; i < 4; ++i)
        m_words[i] |= other.m_words[i];
}

BOOL CFlagSet128::Intersects(const CFlagSet128& other) const
{
    for (int i = 0; i < 4; ++i) {
        if (m_words[i] & other.m_words[i])
            return TRUE;
    }
    return FALSE;
}

// Paths

CString GetSupportTablePath(LPCTSTR stem)
{
    return GetProgramPath("support\\QVN.", stem);
}

CString GetTableFilePath(LPCTSTR path)
{
    CString given(path);
    CString local = GetProgramPath("support\\") + given.Mid(given.ReverseFind('\\') + 1);
    if (FileExists(local))
        return local;
    if (CopyFileBuffered(given, local, kTableCopyBuffer) && FileExists(local))
        return local;
    return given;
}

namespace {
CString& CurrentKitFolder()
{
    static CString folder;
    return folder;
}
} // namespace

const CString& GetCurrentKitFolder()
{
    return CurrentKitFolder();
}

void SetCurrentKitFolder(const CString& folder)
{
    CurrentKitFolder() = folder;
}

BOOL MatchDesign(const DesignQuery& query, const DesignRecord& record)
{
    const WORD mask = query.nMask;
    if ((mask & DesignQuery::byOccasion) && !record.occasions.Intersects(query.occasions))
        return FALSE;
    if (mask & DesignQuery::byKind) {
        if (record.nKind < 0 || record.nKind >= 32 || !(query.dwKindMask & (DWORD(1) << record.nKind)))
            return FALSE;
    }
    if ((mask & DesignQuery::byName) && record.strName.CompareNoCase(query.strName) != 0)
        return FALSE;
    if ((mask & DesignQuery::byPath) && record.strPath.CompareNoCase(query.strPath) != 0)
        return FALSE;
    if ((mask & DesignQuery::byNumber1) && record.nNumber1 != query.nNumber1)
        return FALSE;
    if ((mask & DesignQuery::byNumber2) && !(query.dwKindMask & 1) && record.nNumber2 != query.nNumber2)
        return FALSE;
    if ((mask & DesignQuery::byText) && record.strText.CompareNoCase(query.strText) != 0)
        return FALSE;
    if ((mask & DesignQuery::byNumber3) && record.nNumber3 != query.nNumber3)
        return FALSE;
    return TRUE;
}

// CTableFile

CTableFile::CTableFile(LPCTSTR lpszFolder, BOOL bReplace)
    : m_strStem(kDesignTableStem)
{
    OpenInFolder(lpszFolder, bReplace);
}

CTableFile::CTableFile(LPCTSTR lpszStem, DeferOpen)
    : m_strStem(lpszStem)
{
}

CTableFile::~CTableFile()
{
    Close();
}

void CTableFile::Close()
{
    CDataBaseFile::Close();
    m_nRecords = 0;
    m_nCursor = 0;
}

BOOL CTableFile::OpenInFolder(LPCTSTR lpszFolder, BOOL bReplace)
{
    CString path;
    if (lpszFolder == NULL || lpszFolder[0] == '\0') {
        path = GetSupportTablePath(m_strStem);
    } else {
        path = lpszFolder;
        if (path.Right(1) != "\\")
            path += '\\';
        path += "QVN." + m_strStem;
    }
    if (bReplace)
        DeleteFile(path);
    if (m_strStem == kDesignTableStem)
        SetCurrentKitFolder(FolderOf(path));
    return OpenPath(path);
}

BOOL CTableFile::OpenTable(LPCTSTR lpszPath)
{
    if (m_strStem == kDesignTableStem)
        SetCurrentKitFolder(FolderOf(lpszPath));
    return OpenPath(GetTableFilePath(lpszPath));
}

BOOL CTableFile::OpenPath(const CString& path)
{
    Close();
    if (!Open(path, OpenFlagsFor(path)))
        return FALSE;
    m_nRecords = std::max(0, CDataBaseFile::GetRecordCount() - 1);
    return TRUE;
}

BOOL CTableFile::ReadFields(int n, const Field* fields, int count)
{
    if (!IsOpen() || n < 0 || n >= m_nRecords)
        return FALSE;
    CString record;
    if (!CDataBaseFile::ReadRecord(n + 1, record))
        return FALSE;
    DbLayout layout;
    GetLayout(m_nHeaderVersion, layout);
    for (int i = 0; i < count; ++i) {
        const int width = i < layout.nCount ? layout.widths[i] : 0;
        const Field& field = fields[i];
        if (field.kind == fieldFlags) {
            CString text;
            ParseField(fieldText, &text, record, width);
            unsigned long words[4] = {};
            auto* flags = static_cast<CFlagSet128*>(field.value);
            flags->ClearAll();
            if (std::sscanf(text, " %lx %lx %lx %lx", &words[0], &words[1], &words[2], &words[3]) == 4) {
                for (int w = 0; w < 4; ++w)
                    flags->SetWord(w, static_cast<DWORD>(words[w]));
            }
        } else if (field.kind == fieldRightNumber) {
            ParseField(fieldNumber, field.value, record, width);
        } else {
            ParseField(field.kind, field.value, record, width);
        }
    }
    return TRUE;
}

BOOL CTableFile::WriteFields(int n, const Field* fields, int count)
{
    if (!IsOpen() || n < 0 || n > m_nRecords)
        return FALSE;
    DbLayout layout;
    GetLayout(m_nHeaderVersion, layout);
    CString record;
    for (int i = 0; i < count; ++i) {
        const int width = i < layout.nCount ? layout.widths[i] : 0;
        const Field& field = fields[i];
        if (width <= 0)
            continue;
        if (field.kind == fieldFlags) {
            const auto* flags = static_cast<const CFlagSet128*>(field.value);
            CString text;
            for (int w = 0; w < 4; ++w) {
                char group[16];
                std::snprintf(group, sizeof(group), "%08x ", static_cast<unsigned>(flags->GetWord(w)));
                text += group;
            }
            if (!FormatField(&text, record, fieldText, width))
                return FALSE;
        } else if (field.kind == fieldRightNumber) {
            std::string number = std::to_string(*static_cast<const int*>(field.value));
            if (static_cast<int>(number.size()) > width)
                return FALSE;
            record += CString(std::string(static_cast<size_t>(width) - number.size(), ' ') + number);
        } else if (!FormatField(field.value, record, field.kind, width)) {
            return FALSE;
        }
    }
    if (!CDataBaseFile::WriteRecord(n + 1, record))
        return FALSE;
    if (n == m_nRecords)
        ++m_nRecords;
    return TRUE;
}

template <typename Record, typename ColumnsOf>
BOOL CTableFile::ReadColumns(int n, Record& record, ColumnsOf columnsOf)
{
    record = Record();
    const auto fields = columnsOf(record);
    if (!ReadFields(n, fields.data(), static_cast<int>(fields.size()))) {
        record = Record();
        return FALSE;
    }
    return TRUE;
}

template <typename Record, typename ColumnsOf>
BOOL CTableFile::WriteColumns(int n, const Record& record, ColumnsOf columnsOf)
{
    // The columns point at members, so they are taken from a copy.
    Record copy = record;
    const auto fields = columnsOf(copy);
    return WriteFields(n, fields.data(), static_cast<int>(fields.size()));
}

BOOL CTableFile::DeleteRecord(int n)
{
    if (!IsOpen() || n < 0 || n >= m_nRecords)
        return FALSE;
    if (!CDataBaseFile::DeleteRecord(n + 1))
        return FALSE;
    --m_nRecords;
    return TRUE;
}

void CTableFile::GetLayout(int version, DbLayout& layout) const
{
    switch (version) {
    case 1:
        SetLayout(layout, {36, 2, 25, 260});
        break;
    case 2:
    case 4:
        SetLayout(layout, {36, 2, 25, 260, 4, 4, 20, 4});
        break;
    case 3:
        SetLayout(layout, {36, 2, 25, 25, 4, 4, 20, 4});
        break;
    case 5:
        SetLayout(layout, {36, 2, 25, 260, 4, 4, 20, 4, 260});
        break;
    default:
        layout.nCount = 0;
        break;
    }
}

namespace {

// Each record's columns in file order; ReadColumns and WriteColumns share
// them.

std::array<CTableFile::Field, 9> DesignColumns(DesignRecord& r)
{
    return {{
        {CTableFile::fieldFlags, &r.occasions},
        {CTableFile::fieldRightNumber, &r.nKind},
        {CTableFile::fieldText, &r.strName},
        {CTableFile::fieldPath, &r.strPath},
        {CTableFile::fieldNumber, &r.nNumber1},
        {CTableFile::fieldNumber, &r.nNumber2},
        {CTableFile::fieldText, &r.strText},
        {CTableFile::fieldNumber, &r.nNumber3},
        {CTableFile::fieldPath, &r.strPath2},
    }};
}

std::array<CTableFile::Field, 4> OccasionColumns(OccasionRecord& r)
{
    return {{
        {CTableFile::fieldNumber, &r.nId},
        {CTableFile::fieldNumber, &r.nNumber},
        {CTableFile::fieldText, &r.strName},
        {CTableFile::fieldPath, &r.strIconPath},
    }};
}

std::array<CTableFile::Field, 9> ProjectKindColumns(ProjectKindRecord& r)
{
    return {{
        {CTableFile::fieldNumber, &r.nId},
        {CTableFile::fieldNumber, &r.nNumber1},
        {CTableFile::fieldText, &r.strName},
        {CTableFile::fieldText, &r.strDescription},
        {CTableFile::fieldNumber, &r.nNumber2},
        {CTableFile::fieldPath, &r.strPath1},
        {CTableFile::fieldPath, &r.strPath2},
        {CTableFile::fieldNumber, &r.nNumber3},
        {CTableFile::fieldNumber, &r.nNumber4},
    }};
}

std::array<CTableFile::Field, 2> CategoryColumns(CategoryRecord& r)
{
    return {{
        {CTableFile::fieldNumber, &r.nId},
        {CTableFile::fieldText, &r.strName},
    }};
}

// The last column is a path the program does not keep; `path` is a scratch
// string it is read into or written from (empty).
std::array<CTableFile::Field, 9> UserColumns(UserRecord& r, CString& path)
{
    return {{
        {CTableFile::fieldNumber, &r.nInUse},
        {CTableFile::fieldText, &r.strUserName},
        {CTableFile::fieldText, &r.strEnvelopeName},
        {CTableFile::fieldText, &r.strAddress1},
        {CTableFile::fieldText, &r.strAddress2},
        {CTableFile::fieldText, &r.strCity},
        {CTableFile::fieldText, &r.strState},
        {CTableFile::fieldText, &r.strZip},
        {CTableFile::fieldPath, &path},
    }};
}

} // namespace

BOOL CTableFile::ReadRecord(int n, DesignRecord& record)
{
    return ReadColumns(n, record, DesignColumns);
}

BOOL CTableFile::WriteRecord(int n, const DesignRecord& record)
{
    return WriteColumns(n, record, DesignColumns);
}

BOOL CTableFile::AddRecord(const DesignRecord& record, BOOL bReplace)
{
    if (bReplace) {
        DesignQuery query;
        query.nMask = DesignQuery::byPath;
        query.strPath = record.strPath;
        DesignRecord found;
        if (FindFirst(query, found))
            return WriteRecord(query.nFound, record);
    }
    return WriteRecord(m_nRecords, record);
}

BOOL CTableFile::FindFirst(DesignQuery& query, DesignRecord& record)
{
    if (query.nMask == 0)
        return FALSE;
    m_nCursor = 0;
    return FindNext(query, record);
}

BOOL CTableFile::FindNext(DesignQuery& query, DesignRecord& record)
{
    while (m_nCursor < m_nRecords) {
        const int index = m_nCursor++;
        DesignRecord candidate;
        if (!ReadRecord(index, candidate))
            break;
        if (MatchDesign(query, candidate)) {
            query.nFound = index;
            record = candidate;
            return TRUE;
        }
    }
    query.nFound = -1;
    return FALSE;
}

// COccasionTable

COccasionTable::COccasionTable(LPCTSTR lpszFolder, BOOL bReplace)
    : CTableFile(kOccasionTableStem, DeferOpen())
{
    OpenInFolder(lpszFolder, bReplace);
}

void COccasionTable::GetLayout(int version, DbLayout& layout) const
{
    if (version >= 1 && version <= 5)
        SetLayout(layout, {4, 3, 40, 260});
    else
        layout.nCount = 0;
}

BOOL COccasionTable::ReadRecord(int n, OccasionRecord& record)
{
    return ReadColumns(n, record, OccasionColumns);
}

BOOL COccasionTable::WriteRecord(int n, const OccasionRecord& record)
{
    return WriteColumns(n, record, OccasionColumns);
}

// CProjectKindTable

CProjectKindTable::CProjectKindTable(LPCTSTR lpszFolder, BOOL bReplace)
    : CTableFile(kProjectKindTableStem, DeferOpen())
{
    ExtractOccasionDb();
    OpenInFolder(lpszFolder, bReplace);
}

void CProjectKindTable::GetLayout(int version, DbLayout& layout) const
{
    if (version >= 2 && version <= 4)
        SetLayout(layout, {4, 4, 40, 200, 4, 260, 260, 4, 4});
    else
        layout.nCount = 0;
}

BOOL CProjectKindTable::ReadRecord(int n, ProjectKindRecord& record)
{
    return ReadColumns(n, record, ProjectKindColumns);
}

BOOL CProjectKindTable::WriteRecord(int n, const ProjectKindRecord& record)
{
    return WriteColumns(n, record, ProjectKindColumns);
}

// CCategoryTable

CCategoryTable::CCategoryTable(LPCTSTR lpszFolder, BOOL bReplace)
    : CTableFile(kCategoryTableStem, DeferOpen())
{
    OpenInFolder(lpszFolder, bReplace);
}

void CCategoryTable::GetLayout(int version, DbLayout& layout) const
{
    if (version >= 2 && version <= 5)
        SetLayout(layout, {4, 40});
    else
        layout.nCount = 0;
}

BOOL CCategoryTable::ReadRecord(int n, CategoryRecord& record)
{
    return ReadColumns(n, record, CategoryColumns);
}

BOOL CCategoryTable::WriteRecord(int n, const CategoryRecord& record)
{
    return WriteColumns(n, record, CategoryColumns);
}

// CUserTable

CUserTable::CUserTable(LPCTSTR lpszFolder, BOOL bReplace)
    : CTableFile(kUserTableStem, DeferOpen())
{
    OpenInFolder(lpszFolder, bReplace);
}

void CUserTable::GetLayout(int version, DbLayout& layout) const
{
    if (version >= 2 && version <= 5)
        SetLayout(layout, {4, 20, 40, 40, 40, 30, 20, 15, 260});
    else
        layout.nCount = 0;
}

BOOL CUserTable::ReadRecord(int n, UserRecord& record)
{
    CString unusedPath;
    return ReadColumns(n, record, [&](UserRecord& r) { return UserColumns(r, unusedPath); });
}

BOOL CUserTable::WriteRecord(int n, const UserRecord& record)
{
    CString emptyPath;
    return WriteColumns(n, record, [&](UserRecord& r) { return UserColumns(r, emptyPath); });
}

void CUserTable::Fill(HWND hWnd, UINT addMessage, UINT dataMessage)
{
    for (int i = 0; i < GetRecordCount(); ++i) {
        UserRecord record;
        if (!ReadRecord(i, record))
            break;
        if (record.nInUse == 0)
            continue;
        LRESULT index = SendMessage(hWnd, addMessage, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(record.strUserName)));
        if (index >= 0)
            SendMessage(hWnd, dataMessage, static_cast<WPARAM>(index), static_cast<LPARAM>(i));
    }
    Close();
}

void CUserTable::FillComboBox(HWND hComboBox)
{
    Fill(hComboBox, CB_ADDSTRING, CB_SETITEMDATA);
}

void CUserTable::FillListBox(HWND hListBox)
{
    Fill(hListBox, LB_ADDSTRING, LB_SETITEMDATA);
}

BOOL CUserTable::FindUser(LPCTSTR lpszName, UserRecord& record)
{
    for (int i = 0; i < GetRecordCount(); ++i) {
        if (!ReadRecord(i, record))
            break;
        if (record.strUserName.CompareNoCase(lpszName) == 0)
            return TRUE;
    }
    record = UserRecord();
    return FALSE;
}

BOOL CUserTable::UserExists(LPCTSTR lpszName)
{
    UserRecord record;
    return FindUser(lpszName, record);
}

BOOL CUserTable::GetAddressText(LPCTSTR lpszName, CString& text)
{
    text.Empty();
    UserRecord record;
    if (!FindUser(lpszName, record))
        return FALSE;
    text = record.strEnvelopeName;
    for (const CString* line : {&record.strAddress1, &record.strAddress2}) {
        if (!line->IsEmpty())
            text += "\r\n" + *line;
    }
    text += "\r\n" + record.strCity + ", " + record.strState + "  " + record.strZip;
    return TRUE;
}

// CUserRecord

CUserRecord::CUserRecord()
{
    const CString strName = thePrefs.LastUser;
    if (strName.IsEmpty())
        return;
    CUserTable users;
    for (int i = 0; i < users.GetRecordCount(); ++i) {
        UserRecord record;
        if (!users.ReadRecord(i, record))
            break;
        if (record.nInUse != 0 && record.strUserName.CompareNoCase(strName) == 0) {
            m_record = record;
            return;
        }
    }
}

// CUserGuard

namespace {
CUserGuard::ReturnAddressPrompt& Prompt()
{
    static CUserGuard::ReturnAddressPrompt prompt;
    return prompt;
}
} // namespace

void CUserGuard::SetReturnAddressPrompt(ReturnAddressPrompt prompt)
{
    Prompt() = std::move(prompt);
}

CUserGuard::CUserGuard()
{
    CUserTable users;
    if (!users.IsOpen() || users.GetRecordCount() > 0)
        return;
    UserRecord predesigned;
    predesigned.nInUse = 1;
    predesigned.strUserName = "Predesigned";
    if (!users.AddRecord(predesigned))
        return;
    UserRecord user;
    user.nInUse = 1;
    if (Prompt() && Prompt()(user))
        users.AddRecord(user);
}

// Seeding and user folders

void ExtractOccasionDb()
{
    CString path = GetSupportTablePath(kProjectKindTableStem);
    if (FileExists(path))
        return;
    HRSRC resource = FindResource(NULL, MAKEINTRESOURCE(kOccasionDbResource), "OCCASIONDB");
    if (resource == NULL)
        return;
    HGLOBAL data = LoadResource(NULL, resource);
    const void* bytes = data != NULL ? LockResource(data) : nullptr;
    if (bytes == nullptr)
        return;
    DWORD size = SizeofResource(NULL, resource);
    platform::ReplaceWindowsFileContents(path, std::string_view(static_cast<const char*>(bytes), size),
        platform::KeepBackup::No);
}

CString NextUserFolderName()
{
    CString base = GetProgramPath("UserData");
    if (!(GetFileAttributes(base) != INVALID_FILE_ATTRIBUTES && (GetFileAttributes(base) & FILE_ATTRIBUTE_DIRECTORY))
        && !CreateDirectory(base, NULL))
        return CString();
    for (int n = 1; n <= 99; ++n) {
        CString folder;
        folder.Format("%s\\User%d", static_cast<LPCTSTR>(base), n);
        if (GetFileAttributes(folder) != INVALID_FILE_ATTRIBUTES)
            continue;
        if (CreateDirectory(folder, NULL))
            return folder + "\\";
    }
    return CString();
}
