#include "app/FlatDatabase.h"

#include "platform/base/Exception.h"
#include "platform/files/Drives.h"
#include "platform/files/SafeReplace.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/User.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

int DbLayout::RecordLength() const
{
    int total = 0;
    for (int i = 0; i < nCount && i < kMaxColumns; ++i)
        total += widths[i];
    return total;
}

LPCTSTR DataBaseErrorText(int cause)
{
    return platform::FileCauseText(cause);
}

BOOL IsPathOnCDROM(LPCTSTR path)
{
    if (path == NULL || path[0] == '\0')
        return FALSE;
    char root[4] = {path[0], ':', '\\', '\0'};
    return GetDriveType(root) == DRIVE_CDROM;
}

CDataBaseFile::CDataBaseFile() = default;

CDataBaseFile::~CDataBaseFile()
{
    m_bOpen = FALSE;
}

void CDataBaseFile::Close()
{
    m_bOpen = FALSE;
    if (m_hFile != hFileNull)
        CStdioFile::Close();
}

int CDataBaseFile::LayoutLength(int version) const
{
    DbLayout layout;
    GetLayout(version, layout);
    if (layout.nCount < 0 || layout.nCount > DbLayout::kMaxColumns)
        return 0;
    return layout.RecordLength();
}

int CDataBaseFile::NewFileVersion() const
{
    for (int version = kCurrentVersion; version >= 1; --version) {
        if (LayoutLength(version) > 0)
            return version;
    }
    return kCurrentVersion;
}

BOOL CDataBaseFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    m_bOpen = FALSE;
    if (m_hFile != hFileNull)
        CStdioFile::Close();
    CFileException local;
    CFileException* error = pError != NULL ? pError : &local;
    if (!CStdioFile::Open(lpszFileName, nOpenFlags | typeBinary, error)) {
        CString text = "A data base file error has occurred\n ";
        text += DataBaseErrorText(error->m_cause);
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_bOpen = CheckHeader(nOpenFlags);
    if (!m_bOpen && m_hFile != hFileNull)
        CStdioFile::Close();
    return m_bOpen;
}

BOOL CDataBaseFile::CheckHeader(UINT nOpenFlags)
{
    DWORD length = 0;
    try {
        length = GetLength();
        if (length == 0) {
            m_nHeaderVersion = NewFileVersion();
        } else {
            char head[11] = {};
            Seek(0, CFile::begin);
            UINT got = Read(head, 10);
            head[got] = '\0';
            int version = 0;
            m_nHeaderVersion = std::sscanf(head, "%d", &version) == 1 ? version : -1;
        }
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
    m_nRecordLength = LayoutLength(m_nHeaderVersion);

    if (length == 0)
        return m_nRecordLength > 0 && SetRecordCount(1) && WriteNewHeader();

    // A version this table has no layout for is an older table kind: it reads
    // as empty, but its records are left alone.
    if (m_nRecordLength == 0 && m_nHeaderVersion >= 1 && m_nHeaderVersion <= kCurrentVersion)
        return FALSE;
    CString header;
    int version = 0;
    int recordLength = 0;
    bool valid = false;
    if (m_nRecordLength > 0 && ReadRecord(0, header)) {
        int fields = std::sscanf(header, "%d %d", &version, &recordLength);
        valid = fields == 2 && version <= kCurrentVersion && recordLength == m_nRecordLength;
    }
    if (valid)
        return TRUE;

    CString path = GetFilePath();
    CStdioFile::Close();
    if (IsPathOnCDROM(path))
        return FALSE;
    return RecreateFile(nOpenFlags);
}

BOOL CDataBaseFile::RecreateFile(UINT nOpenFlags)
{
    CString path = GetFilePath();
    m_nHeaderVersion = NewFileVersion();
    m_nRecordLength = LayoutLength(m_nHeaderVersion);
    if (m_nRecordLength <= 0)
        return FALSE;
    std::string bytes(static_cast<size_t>(m_nRecordLength), '\0');
    std::string header = std::to_string(m_nHeaderVersion) + " " + std::to_string(m_nRecordLength);
    bytes.replace(0, std::min(header.size(), bytes.size()), header, 0, std::min(header.size(), bytes.size()));
    // The unreadable file stays beside the new one as "<name>.bak", so a
    // table damaged by another program can still be rescued by hand.
    if (!platform::ReplaceWindowsFileContents(path, bytes, platform::KeepBackup::Yes))
        return FALSE;
    CFileException error;
    if (!CStdioFile::Open(path, (nOpenFlags & platform::fileflags::shareMask) | modeReadWrite | typeBinary, &error))
        return FALSE;
    return GetRecordCount() == 1;
}

BOOL CDataBaseFile::WriteNewHeader()
{
    CString header;
    header.Format("%d %d", m_nHeaderVersion, m_nRecordLength);
    return WriteRecord(0, header);
}

int CDataBaseFile::GetRecordCount() const
{
    if (m_hFile == hFileNull || m_nRecordLength <= 0)
        return 0;
    try {
        DWORD length = GetLength();
        DWORD count = length / static_cast<DWORD>(m_nRecordLength);
        return count > static_cast<DWORD>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                           : static_cast<int>(count);
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
}

BOOL CDataBaseFile::SetRecordCount(int n)
{
    if (m_hFile == hFileNull || m_nRecordLength <= 0 || n < 0)
        return FALSE;
    long long length = static_cast<long long>(n) * m_nRecordLength;
    if (length > std::numeric_limits<LONG>::max())
        return FALSE;
    try {
        SetLength(static_cast<DWORD>(length));
        return TRUE;
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
}

BOOL CDataBaseFile::ReadRecord(int n, CString& text)
{
    text.Empty();
    if (m_hFile == hFileNull || m_nRecordLength <= 0 || n < 0 || n > GetRecordCount())
        return FALSE;
    long long offset = static_cast<long long>(n) * m_nRecordLength;
    if (offset > std::numeric_limits<LONG>::max())
        return FALSE;
    std::vector<char> buffer(static_cast<size_t>(m_nRecordLength));
    try {
        Seek(static_cast<LONG>(offset), CFile::begin);
        UINT got = Read(buffer.data(), static_cast<UINT>(buffer.size()));
        if (got != buffer.size())
            return FALSE;
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
    size_t used = strnlen(buffer.data(), buffer.size());
    text = CString(buffer.data(), static_cast<int>(used));
    return TRUE;
}

BOOL CDataBaseFile::WriteRecord(int n, const CString& text)
{
    if (m_hFile == hFileNull || m_nRecordLength <= 0 || n < 0 || n > GetRecordCount())
        return FALSE;
    long long offset = static_cast<long long>(n) * m_nRecordLength;
    if (offset + m_nRecordLength > std::numeric_limits<LONG>::max())
        return FALSE;
    std::vector<char> buffer(static_cast<size_t>(m_nRecordLength), '\0');
    std::memcpy(buffer.data(), static_cast<LPCTSTR>(text), std::min<size_t>(text.GetLength(), buffer.size()));
    try {
        Seek(static_cast<LONG>(offset), CFile::begin);
        Write(buffer.data(), static_cast<UINT>(buffer.size()));
        return TRUE;
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
}

BOOL CDataBaseFile::DeleteRecord(int n)
{
    const int count = GetRecordCount();
    if (n < 1 || n >= count)
        return FALSE;
    CString record;
    if (m_nDeleteMode == deleteMoveLast) {
        const int last = count - 1;
        if (n != last && !(ReadRecord(last, record) && WriteRecord(n, record)))
            return FALSE;
    } else {
        for (int i = n + 1; i < count; ++i) {
            if (!ReadRecord(i, record) || !WriteRecord(i - 1, record))
                return FALSE;
        }
    }
    return SetRecordCount(count - 1);
}

void CDataBaseFile::ParseField(int kind, void* value, CString& record, int width)
{
    if (value == NULL || (kind != fieldNumber && kind != fieldText && kind != fieldPath))
        return;
    if (width < 0)
        width = 0;
    CString field = record.Left(std::min(width, record.GetLength()));
    record = record.Mid(field.GetLength());
    if (kind == fieldNumber) {
        long number = std::strtol(field, nullptr, 10);
        if (number > std::numeric_limits<int>::max())
            number = std::numeric_limits<int>::max();
        if (number < std::numeric_limits<int>::min())
            number = std::numeric_limits<int>::min();
        *static_cast<int*>(value) = static_cast<int>(number);
    } else {
        field.TrimRight(' ');
        *static_cast<CString*>(value) = field;
    }
}

BOOL CDataBaseFile::FormatField(const void* value, CString& record, int kind, int width)
{
    if (value == NULL || width <= 0)
        return TRUE;
    std::string field;
    switch (kind) {
    case fieldNumber:
        field = std::to_string(*static_cast<const int*>(value));
        if (static_cast<int>(field.size()) > width)
            return FALSE;
        break;
    case fieldText:
        field = static_cast<const CString*>(value)->Std();
        if (static_cast<int>(field.size()) > width)
            field.resize(static_cast<size_t>(width));
        break;
    case fieldPath:
        field = static_cast<const CString*>(value)->Std();
        if (static_cast<int>(field.size()) > width)
            return FALSE;
        break;
    default:
        return TRUE;
    }
    field.resize(static_cast<size_t>(width), ' ');
    record += CString(std::string_view(field));
    return TRUE;
}
