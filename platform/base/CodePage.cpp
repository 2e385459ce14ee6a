#include "platform/base/CodePage.h"

#include <array>
#include <cstring>

namespace {

// 0x80-0x9F of Windows-1252. The five bytes the code page leaves unassigned
// keep their C1 control value so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kReplacement = 0xFFFD;

enum class Page { Ansi, Utf8, Unsupported };

Page PageOf(UINT codePage)
{
    switch (codePage) {
    case CP_ACP:
    case CP_THREAD_ACP:
    case 1252:
        return Page::Ansi;
    case CP_UTF8:
        return Page::Utf8;
    default:
        return Page::Unsupported;
    }
}

// Decodes one UTF-8 sequence at text[i]. A bad sequence consumes its longest
// well-formed prefix (at least one byte) and reports false, so that each
// broken character becomes exactly one replacement.
bool DecodeUtf8(std::string_view text, size_t& i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        cp = b0;
        ++i;
        return true;
    }
    int need = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0)
            lo = 0xA0;
        else if (b0 == 0xED)
            hi = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        ++i;
        return false;
    }
    ++i;
    for (int k = 0; k < need; ++k) {
        if (i >= text.size())
            return false;
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < lo || b > hi)
            return false;
        cp = (cp << 6) | (b & 0x3F);
        ++i;
        lo = 0x80;
        hi = 0xBF;
    }
    return true;
}

// Decodes one UTF-16 unit or surrogate pair; an unpaired surrogate consumes
// one unit and reports false.
bool DecodeUtf16(std::u16string_view text, size_t& i, char32_t& cp)
{
    const char16_t u = text[i++];
    if (u < 0xD800 || u > 0xDFFF) {
        cp = u;
        return true;
    }
    if (u <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
        cp = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i]) - 0xDC00);
        ++i;
        return true;
    }
    return false;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

// The input length of the Win32 calls: -1 means up to and including the
// terminator; any other negative value, or 0, is a bad parameter.
template <typename Char>
bool InputLength(const Char* text, int given, size_t& length)
{
    if (!text || given == 0 || given < -1)
        return false;
    if (given == -1) {
        length = std::char_traits<Char>::length(text) + 1;
        return true;
    }
    length = static_cast<size_t>(given);
    return true;
}

// Hands a converted text to the caller the Win32 way: a size query with an
// output size of 0, a failure when the buffer is too small.
template <typename Char>
int DeliverResult(const std::basic_string<Char>& converted, Char* out, int outSize)
{
    if (converted.size() > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int needed = static_cast<int>(converted.size());
    if (outSize == 0)
        return needed;
    if (needed > outSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, converted.data(), converted.size() * sizeof(Char));
    return needed;
}

} // namespace

namespace platform {

char32_t CodePointFrom1252(unsigned char ch)
{
    if (ch >= 0x80 && ch <= 0x9F)
        return kHigh1252[ch - 0x80];
    return ch;
}

bool CodePointTo1252(char32_t cp, unsigned char& out)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        out = static_cast<unsigned char>(cp);
        return true;
    }
    for (size_t k = 0; k < kHigh1252.size(); ++k) {
        if (kHigh1252[k] == cp) {
            out = static_cast<unsigned char>(0x80 + k);
            return true;
        }
    }
    return false;
}

std::string Utf8From1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        AppendUtf8(out, CodePointFrom1252(static_cast<unsigned char>(ch)));
    return out;
}

size_t Utf8WellFormedLength(std::string_view text, bool* cutShort)
{
    if (cutShort)
        *cutShort = false;
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        char32_t cp = 0;
        if (DecodeUtf8(text, i, cp))
            continue;
        // Only a valid lead byte whose sequence runs past the end is cut
        // short; a bad byte is bad wherever it stands.
        const auto lead = static_cast<unsigned char>(text[start]);
        if (cutShort)
            *cutShort = i >= text.size() && lead >= 0xC2 && lead <= 0xF4;
        return start;
    }
    return i;
}

std::string Utf8To1252(std::string_view utf8, bool* lossless)
{
    std::string out;
    out.reserve(utf8.size());
    bool exact = true;
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        unsigned char ch = '?';
        if (!DecodeUtf8(utf8, i, cp) || !CodePointTo1252(cp, ch)) {
            ch = '?';
            exact = false;
        }
        out += static_cast<char>(ch);
    }
    if (lossless)
        *lossless = exact;
    return out;
}

std::string Utf16To1252(std::u16string_view text, bool* lossless)
{
    std::string out;
    out.reserve(text.size());
    bool exact = true;
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        unsigned char ch = '?';
        if (!DecodeUtf16(text, i, cp) || !CodePointTo1252(cp, ch)) {
            ch = '?';
            exact = false;
        }
        out += static_cast<char>(ch);
    }
    if (lossless)
        *lossless = exact;
    return out;
}

std::u16string Utf16From1252(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char ch : text)
        out += static_cast<char16_t>(CodePointFrom1252(static_cast<unsigned char>(ch)));
    return out;
}

} // namespace platform

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
    LPWSTR lpWideCharStr, int cchWideChar)
{
    size_t length = 0;
    const Page page = PageOf(CodePage);
    if (page == Page::Unsupported || cchWideChar < 0 || (cchWideChar > 0 && !lpWideCharStr)
        || !InputLength(lpMultiByteStr, cbMultiByte, length)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string_view in(lpMultiByteStr, length);
    std::u16string wide;
    if (page == Page::Ansi) {
        wide = platform::Utf16From1252(in);
    } else {
        wide.reserve(in.size());
        for (size_t i = 0; i < in.size();) {
            char32_t cp = 0;
            if (!DecodeUtf8(in, i, cp)) {
                if (dwFlags & MB_ERR_INVALID_CHARS) {
                    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                    return 0;
                }
                cp = kReplacement;
            }
            AppendUtf16(wide, cp);
        }
    }
    return DeliverResult(wide, lpWideCharStr, cchWideChar);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
    LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar)
{
    size_t length = 0;
    const Page page = PageOf(CodePage);
    if (page == Page::Unsupported || cbMultiByte < 0 || (cbMultiByte > 0 && !lpMultiByteStr)
        || !InputLength(lpWideCharStr, cchWideChar, length)
        || (page == Page::Utf8 && (lpDefaultChar || lpUsedDefaultChar))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string_view in(lpWideCharStr, length);
    std::string out;
    out.reserve(in.size());
    bool usedDefault = false;
    for (size_t i = 0; i < in.size();) {
        char32_t cp = 0;
        const bool valid = DecodeUtf16(in, i, cp);
        if (!valid && (dwFlags & WC_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        if (page == Page::Utf8) {
            AppendUtf8(out, valid ? cp : kReplacement);
            continue;
        }
        unsigned char ch = 0;
        if (valid && platform::CodePointTo1252(cp, ch)) {
            out += static_cast<char>(ch);
        } else {
            out += lpDefaultChar ? *lpDefaultChar : '?';
            usedDefault = true;
        }
    }
    const int written = DeliverResult(out, lpMultiByteStr, cbMultiByte);
    if (lpUsedDefaultChar && (written > 0 || cbMultiByte == 0))
        *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    return written;
}
