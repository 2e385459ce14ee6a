#include "platform/base/Archive.h"

#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/base/Object.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr UINT kMinBufSize = 128;

void PutLE(BYTE* p, ULONGLONG value, int n)
{
    for (int i = 0; i < n; ++i)
        p[i] = static_cast<BYTE>(value >> (8 * i));
}

ULONGLONG GetLE(const BYTE* p, int n)
{
    ULONGLONG value = 0;
    for (int i = 0; i < n; ++i)
        value |= static_cast<ULONGLONG>(p[i]) << (8 * i);
    return value;
}

} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pDocument(nullptr), m_pFile(pFile), m_nMode(nMode), m_nBufCur(0), m_nBufMax(0),
      m_nObjectSchema(static_cast<UINT>(-1)), m_nMapCount(1), m_pLastCreated(nullptr), m_nLastCreatedIndex(0)
{
    m_loadArray.push_back(LoadEntry{nullptr, 0, false});
    m_nBufSize = nBufSize < static_cast<int>(kMinBufSize) ? kMinBufSize : static_cast<UINT>(nBufSize);
    if (lpBuf != nullptr && nBufSize >= static_cast<int>(kMinBufSize)) {
        m_lpBufStart = static_cast<BYTE*>(lpBuf);
    } else {
        m_ownBuffer = std::make_unique<BYTE[]>(m_nBufSize);
        m_lpBufStart = m_ownBuffer.get();
    }
    if (pFile != nullptr)
        m_strFileName = pFile->GetFilePath();
}

CArchive::~CArchive()
{
    if (m_pFile != nullptr && IsStoring() && !(m_nMode & bNoFlushOnDelete)) {
        try {
            FlushStore();
        } catch (CException* e) {
            e->Delete();
        }
    }
}

BOOL CArchive::IsLoading() const
{
    return (m_nMode & load) != 0;
}

BOOL CArchive::IsStoring() const
{
    return (m_nMode & load) == 0;
}

BOOL CArchive::IsByteSwapping() const
{
    return FALSE;
}

BOOL CArchive::IsBufferEmpty() const
{
    return m_nBufCur >= m_nBufMax;
}

CFile* CArchive::GetFile() const
{
    return m_pFile;
}

void CArchive::Throw(int cause) const
{
    AfxThrowArchiveException(cause, m_strFileName);
}

void CArchive::CheckLoading() const
{
    if (m_pFile == nullptr)
        Throw(CArchiveException::generic);
    if (!IsLoading())
        Throw(CArchiveException::writeOnly);
}

void CArchive::CheckStoring() const
{
    if (m_pFile == nullptr)
        Throw(CArchiveException::generic);
    if (!IsStoring())
        Throw(CArchiveException::readOnly);
}

void CArchive::FlushStore()
{
    if (m_nBufCur > 0) {
        const UINT n = m_nBufCur;
        m_nBufCur = 0;
        m_pFile->Write(m_lpBufStart, n);
    }
}

void CArchive::Flush()
{
    if (m_pFile == nullptr)
        return;
    if (IsStoring()) {
        FlushStore();
    } else if (m_nBufCur < m_nBufMax) {
        const LONG unread = static_cast<LONG>(m_nBufMax - m_nBufCur);
        m_nBufCur = m_nBufMax = 0;
        m_pFile->Seek(-unread, CFile::current);
    }
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_nBufCur = m_nBufMax = 0;
    m_pFile = nullptr;
}

void CArchive::WriteBytes(const void* p, UINT n)
{
    CheckStoring();
    const BYTE* in = static_cast<const BYTE*>(p);
    if (n > m_nBufSize - m_nBufCur) {
        FlushStore();
        // A block larger than the buffer goes straight to the file.
        if (n >= m_nBufSize) {
            m_pFile->Write(in, n);
            return;
        }
    }
    std::memcpy(m_lpBufStart + m_nBufCur, in, n);
    m_nBufCur += n;
}

void CArchive::Need(UINT nBytes)
{
    CheckLoading();
    if (m_nBufMax - m_nBufCur >= nBytes)
        return;
    // nBytes is at most 8 here; the buffer is at least kMinBufSize.
    const UINT left = m_nBufMax - m_nBufCur;
    std::memmove(m_lpBufStart, m_lpBufStart + m_nBufCur, left);
    m_nBufCur = 0;
    m_nBufMax = left;
    while (m_nBufMax < nBytes) {
        const UINT n = m_pFile->Read(m_lpBufStart + m_nBufMax, m_nBufSize - m_nBufMax);
        if (n == 0)
            Throw(CArchiveException::endOfFile);
        m_nBufMax += n;
    }
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    CheckLoading();
    if (nMax == 0)
        return 0;
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = std::min(nMax, m_nBufMax - m_nBufCur);
    std::memcpy(out, m_lpBufStart + m_nBufCur, done);
    m_nBufCur += done;
    if (done == nMax)
        return done;

    m_nBufCur = m_nBufMax = 0;
    const UINT rest = nMax - done;
    if (rest >= m_nBufSize)
        return done + m_pFile->Read(out + done, rest);
    // Small reads refill the buffer so the next ones cost nothing.
    while (m_nBufMax < rest) {
        const UINT n = m_pFile->Read(m_lpBufStart + m_nBufMax, m_nBufSize - m_nBufMax);
        if (n == 0)
            break;
        m_nBufMax += n;
    }
    const UINT take = std::min(rest, m_nBufMax);
    std::memcpy(out + done, m_lpBufStart, take);
    m_nBufCur = take;
    return done + take;
}

void CArchive::ReadExact(void* p, UINT n)
{
    if (Read(p, n) != n)
        Throw(CArchiveException::endOfFile);
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    if (nMax > 0)
        WriteBytes(lpBuf, nMax);
}

ULONGLONG CArchive::GetBytesRemaining() const
{
    if (m_pFile == nullptr || !IsLoading())
        return 0;
    const ULONGLONG length = m_pFile->GetLength();
    const ULONGLONG position = m_pFile->GetPosition();
    const ULONGLONG inFile = length > position ? length - position : 0;
    return inFile + (m_nBufMax - m_nBufCur);
}

void CArchive::WriteString(LPCTSTR lpsz)
{
    if (lpsz != nullptr)
        Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

BOOL CArchive::ReadString(CString& rString)
{
    CheckLoading();
    std::string line;
    bool any = false;
    for (;;) {
        if (m_nBufCur == m_nBufMax) {
            m_nBufCur = m_nBufMax = 0;
            m_nBufMax = m_pFile->Read(m_lpBufStart, m_nBufSize);
            if (m_nBufMax == 0)
                break;
        }
        any = true;
        const BYTE* start = m_lpBufStart + m_nBufCur;
        const UINT avail = m_nBufMax - m_nBufCur;
        const void* nl = std::memchr(start, '\n', avail);
        if (nl != nullptr) {
            const UINT n = static_cast<UINT>(static_cast<const BYTE*>(nl) - start);
            line.append(reinterpret_cast<const char*>(start), n);
            m_nBufCur += n + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            break;
        }
        line.append(reinterpret_cast<const char*>(start), avail);
        m_nBufCur = m_nBufMax;
    }
    rString = CString(std::string_view(line));
    return any ? TRUE : FALSE;
}

// Fixed-size values.

#define THREADWICK_ARCHIVE_SCALAR(type, size)            \
    CArchive& CArchive::operator<<(type value)           \
    {                                                    \
        BYTE bytes[size];                                \
        ULONGLONG bits = 0;                              \
        std::memcpy(&bits, &value, size);                \
        PutLE(bytes, bits, size);                        \
        WriteBytes(bytes, size);                         \
        return *this;                                    \
    }                                                    \
    CArchive& CArchive::operator>>(type& value)          \
    {                                                    \
        Need(size);                                      \
        const ULONGLONG bits = GetLE(m_lpBufStart + m_nBufCur, size); \
        m_nBufCur += size;                               \
        std::memcpy(&value, &bits, size);                \
        return *this;                                    \
    }

static_assert(sizeof(float) == 4 && sizeof(double) == 8, "IEEE single and double");

THREADWICK_ARCHIVE_SCALAR(BYTE, 1)
THREADWICK_ARCHIVE_SCALAR(char, 1)
THREADWICK_ARCHIVE_SCALAR(WORD, 2)
THREADWICK_ARCHIVE_SCALAR(short, 2)
THREADWICK_ARCHIVE_SCALAR(int, 4)
THREADWICK_ARCHIVE_SCALAR(unsigned, 4)
THREADWICK_ARCHIVE_SCALAR(float, 4)
THREADWICK_ARCHIVE_SCALAR(double, 8)

#undef THREADWICK_ARCHIVE_SCALAR

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    if (dwCount < 0xFFFF) {
        *this << static_cast<WORD>(dwCount);
    } else {
        *this << static_cast<WORD>(0xFFFF);
        *this << static_cast<DWORD>(dwCount);
    }
}

DWORD_PTR CArchive::ReadCount()
{
    WORD wCount = 0;
    *this >> wCount;
    DWORD_PTR count = wCount;
    if (wCount == 0xFFFF) {
        DWORD dwCount = 0;
        *this >> dwCount;
        count = dwCount;
    }
    // Every element takes at least one byte, so a larger count cannot be
    // genuine.
    if (count > GetBytesRemaining())
        Throw(CArchiveException::endOfFile);
    return count;
}

// Strings.

CArchive& operator<<(CArchive& ar, const CString& string)
{
    const DWORD n = static_cast<DWORD>(string.GetLength());
    if (n < 0xFF) {
        ar << static_cast<BYTE>(n);
    } else if (n < 0xFFFE) {
        ar << static_cast<BYTE>(0xFF);
        ar << static_cast<WORD>(n);
    } else {
        ar << static_cast<BYTE>(0xFF);
        ar << static_cast<WORD>(0xFFFF);
        ar << n;
    }
    ar.Write(static_cast<LPCTSTR>(string), n);
    return ar;
}

namespace {

enum class StringLength { Bytes, Unicode };

// Reads a length prefix; the 0xFFFE marker reports a UTF-16 string, whose
// own length follows in the same scheme.
DWORD ReadStringLength(CArchive& ar, StringLength& kind)
{
    BYTE b = 0;
    ar >> b;
    if (b < 0xFF)
        return b;
    WORD w = 0;
    ar >> w;
    if (w == 0xFFFE) {
        kind = StringLength::Unicode;
        return 0;
    }
    if (w < 0xFFFF)
        return w;
    DWORD dw = 0;
    ar >> dw;
    return dw;
}

} // namespace

CArchive& operator>>(CArchive& ar, CString& string)
{
    StringLength kind = StringLength::Bytes;
    DWORD n = ReadStringLength(ar, kind);
    if (kind == StringLength::Unicode) {
        StringLength inner = StringLength::Bytes;
        n = ReadStringLength(ar, inner);
        if (inner == StringLength::Unicode)
            AfxThrowArchiveException(CArchiveException::generic, ar.m_strFileName);
        if (2ull * n > ar.GetBytesRemaining())
            AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
        std::u16string text(n, u'\0');
        std::string bytes(2ull * n, '\0');
        if (ar.Read(bytes.data(), 2 * n) != 2 * n)
            AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
        for (DWORD i = 0; i < n; ++i)
            text[i] = static_cast<char16_t>(static_cast<BYTE>(bytes[2 * i]) | (static_cast<BYTE>(bytes[2 * i + 1]) << 8));
        string = CString(std::string_view(platform::Utf16To1252(text)));
        return ar;
    }
    if (n > ar.GetBytesRemaining())
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    std::string bytes(n, '\0');
    if (ar.Read(bytes.data(), n) != n)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    string = CString(std::string_view(bytes));
    return ar;
}
