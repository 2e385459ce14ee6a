#include "platform/base/String.h"

#include "platform/base/CharClass.h"
#include "platform/base/CodePage.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

// The text as C functions see it: up to the first zero byte.
std::string_view CView(const std::string& text)
{
    return std::string_view(text.c_str());
}

std::string_view CView(LPCSTR psz)
{
    return psz ? std::string_view(psz) : std::string_view();
}

int CompareBytes(std::string_view a, std::string_view b)
{
    const int r = a.compare(b); // char_traits<char> compares as unsigned char
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool IsTrimSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

} // namespace

platform::FormatArg platform::MakeFormatArg(const CString& v)
{
    FormatArg a;
    a.kind = FormatArg::Kind::String;
    a.s = static_cast<LPCTSTR>(v);
    return a;
}

CString::CString() = default;
CString::CString(const CString& other) = default;
CString::CString(CString&& other) noexcept = default;
CString::~CString() = default;

CString::CString(LPCSTR psz)
{
    if (psz && IS_INTRESOURCE(psz))
        LoadString(LOWORD(psz));
    else if (psz)
        m_text = psz;
}

CString::CString(LPCSTR pch, int nLength)
{
    if (pch && nLength > 0)
        m_text.assign(pch, static_cast<size_t>(nLength));
}

CString::CString(const unsigned char* psz)
    : CString(reinterpret_cast<LPCSTR>(psz))
{
}

CString::CString(LPCWSTR pwsz)
{
    if (pwsz)
        m_text = platform::Utf16To1252(pwsz);
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
        m_text.assign(static_cast<size_t>(nRepeat), ch);
}

CString::CString(std::string_view text)
    : m_text(text)
{
}

CString& CString::operator=(const CString& other) = default;
CString& CString::operator=(CString&& other) noexcept = default;

CString& CString::operator=(LPCSTR psz)
{
    // Through a temporary: psz may point into this string.
    *this = CString(psz);
    return *this;
}

CString& CString::operator=(const unsigned char* psz)
{
    return *this = reinterpret_cast<LPCSTR>(psz);
}

CString& CString::operator=(char ch)
{
    m_text.assign(1, ch);
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    if (psz)
        m_text += std::string(psz); // psz may point into this string
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_text += ch;
    return *this;
}

int CString::GetLength() const
{
    return static_cast<int>(m_text.size());
}

BOOL CString::IsEmpty() const
{
    return m_text.empty() ? TRUE : FALSE;
}

void CString::Empty()
{
    m_text.clear();
}

char CString::GetAt(int nIndex) const
{
    assert(nIndex >= 0 && nIndex < GetLength() && "CString index out of range");
    if (nIndex < 0 || nIndex >= GetLength())
        return '\0';
    return m_text[static_cast<size_t>(nIndex)];
}

char CString::operator[](int nIndex) const
{
    return GetAt(nIndex);
}

void CString::SetAt(int nIndex, char ch)
{
    assert(nIndex >= 0 && nIndex < GetLength() && "CString index out of range");
    if (nIndex >= 0 && nIndex < GetLength())
        m_text[static_cast<size_t>(nIndex)] = ch;
}

CString::operator LPCTSTR() const
{
    return m_text.c_str();
}

std::string_view CString::View() const
{
    return m_text;
}

const std::string& CString::Std() const
{
    return m_text;
}

int CString::Compare(LPCTSTR psz) const
{
    return CompareBytes(CView(m_text), CView(psz));
}

int CString::CompareNoCase(LPCTSTR psz) const
{
    return _stricmp(m_text.c_str(), psz);
}

int CString::Collate(LPCTSTR psz) const
{
    return platform::Collate1252(CView(m_text), CView(psz), platform::CollateCase::Sensitive);
}

int CString::CollateNoCase(LPCTSTR psz) const
{
    return platform::Collate1252(CView(m_text), CView(psz), platform::CollateCase::Ignore);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    const int length = GetLength();
    nFirst = Clamp(nFirst, 0, length);
    nCount = Clamp(nCount, 0, length - nFirst);
    return CString(std::string_view(m_text).substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    nCount = Clamp(nCount, 0, GetLength());
    return Mid(GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCTSTR lpszCharSet) const
{
    const size_t end = m_text.find_first_not_of(CView(lpszCharSet));
    return Left(end == std::string::npos ? GetLength() : static_cast<int>(end));
}

CString CString::SpanExcluding(LPCTSTR lpszCharSet) const
{
    const std::string_view set = CView(lpszCharSet);
    const size_t end = set.empty() ? std::string::npos : m_text.find_first_of(set);
    return Left(end == std::string::npos ? GetLength() : static_cast<int>(end));
}

void CString::MakeUpper()
{
    for (char& ch : m_text)
        ch = static_cast<char>(platform::ToUpper1252(static_cast<unsigned char>(ch)));
}

void CString::MakeLower()
{
    for (char& ch : m_text)
        ch = static_cast<char>(platform::ToLower1252(static_cast<unsigned char>(ch)));
}

void CString::MakeReverse()
{
    std::reverse(m_text.begin(), m_text.end());
}

void CString::TrimRight()
{
    while (!m_text.empty() && IsTrimSpace(m_text.back()))
        m_text.pop_back();
}

void CString::TrimLeft()
{
    size_t n = 0;
    while (n < m_text.size() && IsTrimSpace(m_text[n]))
        ++n;
    m_text.erase(0, n);
}

void CString::TrimRight(char chTarget)
{
    while (!m_text.empty() && m_text.back() == chTarget)
        m_text.pop_back();
}

void CString::TrimRight(LPCTSTR lpszTargets)
{
    const size_t last = m_text.find_last_not_of(CView(lpszTargets));
    m_text.resize(last == std::string::npos ? 0 : last + 1);
}

void CString::TrimLeft(char chTarget)
{
    const size_t first = m_text.find_first_not_of(chTarget);
    m_text.erase(0, first == std::string::npos ? m_text.size() : first);
}

void CString::TrimLeft(LPCTSTR lpszTargets)
{
    const size_t first = m_text.find_first_not_of(CView(lpszTargets));
    m_text.erase(0, first == std::string::npos ? m_text.size() : first);
}

int CString::Replace(char chOld, char chNew)
{
    if (chOld == chNew)
        return 0;
    int count = 0;
    for (char& ch : m_text) {
        if (ch == chOld) {
            ch = chNew;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew)
{
    const std::string oldText(CView(lpszOld));
    if (oldText.empty())
        return 0;
    const std::string newText(CView(lpszNew)); // copies: both may point into this string
    std::string result;
    int count = 0;
    size_t from = 0;
    for (size_t at; (at = m_text.find(oldText, from)) != std::string::npos; from = at + oldText.size()) {
        result.append(m_text, from, at - from);
        result += newText;
        ++count;
    }
    if (count > 0) {
        result.append(m_text, from, std::string::npos);
        m_text = std::move(result);
    }
    return count;
}

int CString::Remove(char chRemove)
{
    const auto removed = std::erase(m_text, chRemove);
    return static_cast<int>(removed);
}

int CString::Insert(int nIndex, char ch)
{
    nIndex = Clamp(nIndex, 0, GetLength());
    m_text.insert(static_cast<size_t>(nIndex), 1, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCTSTR pstr)
{
    nIndex = Clamp(nIndex, 0, GetLength());
    m_text.insert(static_cast<size_t>(nIndex), std::string(CView(pstr)));
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    const int length = GetLength();
    nIndex = std::max(nIndex, 0);
    if (nCount > 0 && nIndex < length)
        m_text.erase(static_cast<size_t>(nIndex), static_cast<size_t>(std::min(nCount, length - nIndex)));
    return GetLength();
}

int CString::Find(char ch) const
{
    return Find(ch, 0);
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    const size_t at = m_text.find(ch, static_cast<size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCTSTR lpszSub) const
{
    return Find(lpszSub, 0);
}

int CString::Find(LPCTSTR lpszSub, int nStart) const
{
    if (!lpszSub || nStart < 0 || nStart > GetLength())
        return -1;
    const size_t at = m_text.find(lpszSub, static_cast<size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const
{
    const size_t at = m_text.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(LPCTSTR lpszCharSet) const
{
    const std::string_view set = CView(lpszCharSet);
    if (set.empty())
        return -1;
    const size_t at = m_text.find_first_of(set);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    // The caller may write nMinBufLength characters and a terminator; the
    // terminator lands on the zero std::string keeps after its last byte.
    if (nMinBufLength > GetLength())
        m_text.resize(static_cast<size_t>(nMinBufLength), '\0');
    return m_text.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(std::strlen(m_text.c_str()));
    m_text.resize(static_cast<size_t>(std::min(nNewLength, GetLength())));
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    m_text.resize(static_cast<size_t>(std::max(nNewLength, 0)), '\0');
    return m_text.data();
}

void CString::FreeExtra()
{
    m_text.shrink_to_fit();
}

LPTSTR CString::LockBuffer()
{
    return m_text.data();
}

void CString::UnlockBuffer()
{
}

void CString::AssignFormatted(std::string&& text)
{
    m_text = std::move(text);
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, LPCSTR b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(LPCSTR a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(char a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

namespace {
int Cmp(LPCSTR a, LPCSTR b)
{
    return CompareBytes(CView(a), CView(b));
}
} // namespace

bool operator==(const CString& a, const CString& b) { return Cmp(a, b) == 0; }
bool operator==(const CString& a, LPCSTR b) { return Cmp(a, b) == 0; }
bool operator==(LPCSTR a, const CString& b) { return Cmp(a, b) == 0; }
bool operator!=(const CString& a, const CString& b) { return Cmp(a, b) != 0; }
bool operator!=(const CString& a, LPCSTR b) { return Cmp(a, b) != 0; }
bool operator!=(LPCSTR a, const CString& b) { return Cmp(a, b) != 0; }
bool operator<(const CString& a, const CString& b) { return Cmp(a, b) < 0; }
bool operator<(const CString& a, LPCSTR b) { return Cmp(a, b) < 0; }
bool operator<(LPCSTR a, const CString& b) { return Cmp(a, b) < 0; }
bool operator>(const CString& a, const CString& b) { return Cmp(a, b) > 0; }
bool operator>(const CString& a, LPCSTR b) { return Cmp(a, b) > 0; }
bool operator>(LPCSTR a, const CString& b) { return Cmp(a, b) > 0; }
bool operator<=(const CString& a, const CString& b) { return Cmp(a, b) <= 0; }
bool operator<=(const CString& a, LPCSTR b) { return Cmp(a, b) <= 0; }
bool operator<=(LPCSTR a, const CString& b) { return Cmp(a, b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return Cmp(a, b) >= 0; }
bool operator>=(const CString& a, LPCSTR b) { return Cmp(a, b) >= 0; }
bool operator>=(LPCSTR a, const CString& b) { return Cmp(a, b) >= 0; }

void AfxFormatStrings(CString& rString, LPCTSTR lpszFormat, LPCTSTR const* rglpsz, int nString)
{
    std::string out;
    const std::string_view format = CView(lpszFormat);
    for (size_t i = 0; i < format.size(); ++i) {
        const char ch = format[i];
        if (ch == '%' && i + 1 < format.size() && format[i + 1] >= '1' && format[i + 1] <= '9') {
            const int index = format[i + 1] - '1';
            if (rglpsz && index < nString) {
                out += CView(rglpsz[index]);
                ++i;
                continue;
            }
        }
        out += ch;
    }
    rString = CString(std::string_view(out));
}
