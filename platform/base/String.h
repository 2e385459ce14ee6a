#pragma once
// CString: the class library's string of 8-bit Windows-1252 characters.
// Length-counted (it may hold zero bytes in the middle, as the wire form
// allows) and always zero-terminated, so it converts to LPCTSTR. Copies are
// independent values. Indexes out of range are clamped the way the class
// library's release build tolerates them (Mid, Left, Right never read past
// the end); GetAt/SetAt/operator[] assert, and out of range read 0 and write
// nothing. Comparisons stop at the first zero byte, as the class library's
// do; searching, replacing and trimming see every byte. Running out of memory
// throws std::bad_alloc.

#include "platform/base/Types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

class CString;

namespace platform {

// One argument of a printf-style call, with its C++ type kept, so that the
// formatter can follow the class library's grammar on a 64-bit system: %d,
// %u, %x and %ld take 32 bits whatever was passed, %I64d takes 64, %s takes a
// string, and a mismatch is formatted safely instead of reading garbage.
struct FormatArg {
    enum class Kind { Signed, Unsigned, Double, String, Pointer };
    Kind kind;
    union {
        int64_t i;
        uint64_t u;
        double d;
        const char* s;
        const void* p;
    };
};

inline FormatArg MakeFormatArg(char v) { FormatArg a; a.kind = FormatArg::Kind::Signed; a.i = v; return a; }
inline FormatArg MakeFormatArg(signed char v) { FormatArg a; a.kind = FormatArg::Kind::Signed; a.i = v; return a; }
inline FormatArg MakeFormatArg(unsigned char v) { FormatArg a; a.kind = FormatArg::Kind::Unsigned; a.u = v; return a; }
inline FormatArg MakeFormatArg(short v) { FormatArg a; a.kind = FormatArg::Kind::Signed; a.i = v; return a; }
inline FormatArg MakeFormatArg(unsigned short v) { FormatArg a; a.kind = FormatArg::Kind::Unsigned; a.u = v; return a; }
inline FormatArg MakeFormatArg(int v) { FormatArg a; a.kind = FormatArg::Kind::Signed; a.i = v; return a; }
inline FormatArg MakeFormatArg(unsigned v) { FormatArg a; a.kind = FormatArg::Kind::Unsigned; a.u = v; return a; }
inline FormatArg MakeFormatArg(long v) { FormatArg a; a.kind = FormatArg::Kind::Signed; a.i = v; return a; }
inline FormatArg MakeFormatArg(unsigned long v) { FormatArg a; a.kind = FormatArg::Kind::Unsigned; a.u = v; return a; }
inline FormatArg MakeFormatArg(long long v) { FormatArg a; a.kind = FormatArg::Kind::Signed; a.i = v; return a; }
inline FormatArg MakeFormatArg(unsigned long long v) { FormatArg a; a.kind = FormatArg::Kind::Unsigned; a.u = v; return a; }
inline FormatArg MakeFormatArg(bool v) { FormatArg a; a.kind = FormatArg::Kind::Signed; a.i = v ? 1 : 0; return a; }
inline FormatArg MakeFormatArg(double v) { FormatArg a; a.kind = FormatArg::Kind::Double; a.d = v; return a; }
inline FormatArg MakeFormatArg(float v) { FormatArg a; a.kind = FormatArg::Kind::Double; a.d = v; return a; }
inline FormatArg MakeFormatArg(const char* v) { FormatArg a; a.kind = FormatArg::Kind::String; a.s = v; return a; }
inline FormatArg MakeFormatArg(char* v) { FormatArg a; a.kind = FormatArg::Kind::String; a.s = v; return a; }
inline FormatArg MakeFormatArg(const unsigned char* v) { FormatArg a; a.kind = FormatArg::Kind::String; a.s = reinterpret_cast<const char*>(v); return a; }
inline FormatArg MakeFormatArg(unsigned char* v) { FormatArg a; a.kind = FormatArg::Kind::String; a.s = reinterpret_cast<const char*>(v); return a; }
inline FormatArg MakeFormatArg(std::nullptr_t) { FormatArg a; a.kind = FormatArg::Kind::String; a.s = nullptr; return a; }
FormatArg MakeFormatArg(const CString& v);
template <typename T>
FormatArg MakeFormatArg(T* v) { FormatArg a; a.kind = FormatArg::Kind::Pointer; a.p = static_cast<const void*>(v); return a; }
template <typename T>
    requires std::is_enum_v<T>
FormatArg MakeFormatArg(T v) { return MakeFormatArg(static_cast<std::underlying_type_t<T>>(v)); }

// Formats with the class library's printf grammar: flags - + space # 0, width
// and precision as digits or '*', sizes h hh l ll L I I32 I64 (and j z t w),
// conversions d i u o x X c s e E f F g G p n %. Floating point never looks at
// the C library's locale, prints three exponent digits ("1.000000e+000") and
// rounds half away from zero on the first 17 significant digits, as the
// class library's runtime does. A mismatched argument is formatted safely: a
// number for %s prints "" ("(null)" for 0), a string for %d prints 0, a
// number for %f its value. %p prints 16 upper-case hex digits; infinities and
// NaN print as inf and nan. %n writes nothing. Missing arguments format as 0
// or an empty string; surplus arguments are ignored. An unknown conversion is
// copied to the output as it stands. Widths and precisions are capped at
// kMaxFormatField.
constexpr int kMaxFormatField = 65536;
std::string FormatArgs(const char* format, const FormatArg* args, size_t count);

} // namespace platform

class CString {
public:
    CString();
    CString(const CString& other);
    CString(CString&& other) noexcept;
    // NULL gives an empty string; a value below 0x10000 is a string resource
    // id, loaded as LoadString does.
    CString(LPCSTR psz);
    CString(LPCSTR pch, int nLength);
    CString(const unsigned char* psz);
    explicit CString(LPCWSTR pwsz); // converted through code page 1252
    CString(char ch, int nRepeat = 1);
    explicit CString(std::string_view text);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(LPCSTR psz);
    CString& operator=(const unsigned char* psz);
    CString& operator=(char ch);

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);

    int GetLength() const;
    BOOL IsEmpty() const;
    void Empty();

    char GetAt(int nIndex) const;
    char operator[](int nIndex) const;
    void SetAt(int nIndex, char ch);
    operator LPCTSTR() const;
    // The bytes as a view, for code of the platform.
    std::string_view View() const;
    const std::string& Std() const;

    // Byte order, as strcmp; CompareNoCase folds with the Windows-1252 case
    // map; Collate orders as the system's locale-aware comparison would for
    // Western text.
    int Compare(LPCTSTR psz) const;
    int CompareNoCase(LPCTSTR psz) const;
    int Collate(LPCTSTR psz) const;
    int CollateNoCase(LPCTSTR psz) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCTSTR lpszCharSet) const;
    CString SpanExcluding(LPCTSTR lpszCharSet) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();

    void TrimRight();
    void TrimLeft();
    void TrimRight(char chTarget);
    void TrimRight(LPCTSTR lpszTargets);
    void TrimLeft(char chTarget);
    void TrimLeft(LPCTSTR lpszTargets);

    int Replace(char chOld, char chNew);
    int Replace(LPCTSTR lpszOld, LPCTSTR lpszNew);
    int Remove(char chRemove);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCTSTR pstr);
    int Delete(int nIndex, int nCount = 1);

    int Find(char ch) const;
    int Find(char ch, int nStart) const;
    int Find(LPCTSTR lpszSub) const;
    int Find(LPCTSTR lpszSub, int nStart) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCTSTR lpszCharSet) const;

    template <typename... Args>
    void Format(LPCTSTR lpszFormat, const Args&... args)
    {
        const platform::FormatArg list[] = {platform::MakeFormatArg(args)..., platform::FormatArg{}};
        AssignFormatted(platform::FormatArgs(lpszFormat, list, sizeof...(Args)));
    }
    template <typename... Args>
    void Format(UINT nFormatID, const Args&... args)
    {
        CString format;
        format.LoadString(nFormatID);
        Format(static_cast<LPCTSTR>(format), args...);
    }

    // Loads string nID of the current resource module; FALSE (and empty)
    // when there is none.
    BOOL LoadString(UINT nID);

    // Direct access to the characters: GetBuffer gives room for at least
    // nMinBufLength characters and a terminator; ReleaseBuffer(-1) takes the
    // length up to the first zero, or the given length.
    LPTSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);
    LPTSTR GetBufferSetLength(int nNewLength);
    void FreeExtra();
    LPTSTR LockBuffer();
    void UnlockBuffer();

private:
    void AssignFormatted(std::string&& text);

    std::string m_text;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCSTR b);
CString operator+(LPCSTR a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator==(LPCSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCSTR b);
bool operator!=(LPCSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCSTR b);
bool operator<(LPCSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCSTR b);
bool operator>(LPCSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, LPCSTR b);
bool operator<=(LPCSTR a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, LPCSTR b);
bool operator>=(LPCSTR a, const CString& b);

// %1 .. %9 insertion as the class library does it for its prompts: each %n
// is replaced by the n-th string; a %n without a string stays as it is.
void AfxFormatStrings(CString& rString, LPCTSTR lpszFormat, LPCTSTR const* rglpsz, int nString);
// The same with the format loaded from string nIDS of the resources.
void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2);

// printf into a caller's buffer with the same grammar as CString::Format.
// wsprintf's buffer is at most 1024 characters, as the system's; the result
// is cut to fit and always terminated. Both return the characters written.
template <typename... Args>
int wsprintf(LPSTR lpOut, LPCSTR lpFmt, const Args&... args)
{
    const platform::FormatArg list[] = {platform::MakeFormatArg(args)..., platform::FormatArg{}};
    std::string text = platform::FormatArgs(lpFmt, list, sizeof...(Args));
    if (text.size() > 1023)
        text.resize(1023);
    text.copy(lpOut, text.size());
    lpOut[text.size()] = '\0';
    return static_cast<int>(text.size());
}
// sprintf into a buffer the caller sized, as the C library's: no bound.
template <typename... Args>
int sprintf(LPSTR buffer, LPCSTR format, const Args&... args)
{
    const platform::FormatArg list[] = {platform::MakeFormatArg(args)..., platform::FormatArg{}};
    const std::string text = platform::FormatArgs(format, list, sizeof...(Args));
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    return static_cast<int>(text.size());
}
template <typename... Args>
int _stprintf(LPSTR buffer, LPCSTR format, const Args&... args)
{
    return sprintf(buffer, format, args...);
}
template <typename... Args>
int _snprintf(LPSTR buffer, size_t count, LPCSTR format, const Args&... args)
{
    const platform::FormatArg list[] = {platform::MakeFormatArg(args)..., platform::FormatArg{}};
    std::string text = platform::FormatArgs(format, list, sizeof...(Args));
    if (count == 0)
        return -1;
    if (text.size() >= count) {
        text.copy(buffer, count);
        return -1; // no room for the terminator: the class library's contract
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    return static_cast<int>(text.size());
}
