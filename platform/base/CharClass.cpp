#include "platform/base/CharClass.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

enum : unsigned char { kAlpha = 1, kUpper = 2, kLower = 4, kDigit = 8 };

struct CaseTables {
    std::array<unsigned char, 256> flags {};
    std::array<unsigned char, 256> upper {};
    std::array<unsigned char, 256> lower {};
};

constexpr CaseTables MakeCaseTables()
{
    CaseTables t;
    for (int c = 0; c < 256; ++c) {
        t.upper[c] = static_cast<unsigned char>(c);
        t.lower[c] = static_cast<unsigned char>(c);
    }
    auto pair = [&t](int up, int low) {
        t.flags[up] = kAlpha | kUpper;
        t.flags[low] = kAlpha | kLower;
        t.upper[low] = static_cast<unsigned char>(up);
        t.lower[up] = static_cast<unsigned char>(low);
    };
    for (int c = 'A'; c <= 'Z'; ++c)
        pair(c, c + 0x20);
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) // multiplication sign
            pair(c, c + 0x20);
    }
    pair(0x8A, 0x9A); // Š š
    pair(0x8C, 0x9C); // Œ œ
    pair(0x8E, 0x9E); // Ž ž
    pair(0x9F, 0xFF); // Ÿ ÿ
    for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF}) // ƒ ª µ º ß
        t.flags[c] = kAlpha | kLower;
    for (int c = '0'; c <= '9'; ++c)
        t.flags[c] = kDigit;
    return t;
}

constexpr CaseTables kTables = MakeCaseTables();

unsigned char Flags(char ch)
{
    return kTables.flags[static_cast<unsigned char>(ch)];
}

bool IsSingleCharacter(LPCSTR p)
{
    return (reinterpret_cast<uintptr_t>(p) >> 16) == 0;
}

LPSTR CharConvert(LPSTR lpsz, const std::array<unsigned char, 256>& map)
{
    if (IsSingleCharacter(lpsz)) {
        const auto ch = static_cast<unsigned char>(reinterpret_cast<uintptr_t>(lpsz) & 0xFF);
        return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(map[ch]));
    }
    for (char* p = lpsz; *p; ++p)
        *p = static_cast<char>(map[static_cast<unsigned char>(*p)]);
    return lpsz;
}

DWORD BuffConvert(LPSTR lpsz, DWORD cchLength, const std::array<unsigned char, 256>& map)
{
    if (!lpsz)
        return 0;
    for (DWORD i = 0; i < cchLength; ++i)
        lpsz[i] = static_cast<char>(map[static_cast<unsigned char>(lpsz[i])]);
    return cchLength;
}

LPCSTR OrEmpty(LPCSTR s)
{
    return s ? s : "";
}

// Word-sort weights of one byte: the base character decides first, then the
// accent, then the case; hyphens, apostrophes and control characters are
// looked at only when everything else is equal.
struct SortKey {
    std::vector<unsigned short> primary;
    std::vector<unsigned char> accent;
    std::vector<unsigned char> upper;
    std::vector<unsigned char> ignored;
};

constexpr unsigned short kSymbolBase = 0x100;
constexpr unsigned short kDigitBase = 0x300;
constexpr unsigned short kLetterBase = 0x400;

// The base letter (0 = A .. 25 = Z, then Þ and µ) of a 1252 letter, or -1;
// Æ, Œ and ß sort as the two letters they stand for.
int BaseLetter(unsigned char lowered, int& second)
{
    second = -1;
    if (lowered >= 'a' && lowered <= 'z')
        return lowered - 'a';
    switch (lowered) {
    case 0xE0: case 0xE1: case 0xE2: case 0xE3: case 0xE4: case 0xE5: case 0xAA:
        return 0;
    case 0xE6: second = 'e' - 'a'; return 0;
    case 0xE7: return 'c' - 'a';
    case 0xF0: return 'd' - 'a';
    case 0xE8: case 0xE9: case 0xEA: case 0xEB:
        return 'e' - 'a';
    case 0x83: return 'f' - 'a';
    case 0xEC: case 0xED: case 0xEE: case 0xEF:
        return 'i' - 'a';
    case 0xF1: return 'n' - 'a';
    case 0xF2: case 0xF3: case 0xF4: case 0xF5: case 0xF6: case 0xF8: case 0xBA:
        return 'o' - 'a';
    case 0x9C: second = 'e' - 'a'; return 'o' - 'a';
    case 0x9A: return 's' - 'a';
    case 0xDF: second = 's' - 'a'; return 's' - 'a';
    case 0xF9: case 0xFA: case 0xFB: case 0xFC:
        return 'u' - 'a';
    case 0xFD: case 0xFF: return 'y' - 'a';
    case 0x9E: return 'z' - 'a';
    case 0xFE: return 26;
    case 0xB5: return 27;
    default: return -1;
    }
}

SortKey MakeSortKey(std::string_view text, platform::CollateCase mode)
{
    SortKey key;
    for (char c : text) {
        const auto ch = static_cast<unsigned char>(c);
        if (ch == '-' || ch == '\'' || ch == 0xAD || (ch < 0x20 && ch != '\t' && ch != '\n' && ch != '\r')) {
            key.ignored.push_back(ch);
            continue;
        }
        const unsigned char f = kTables.flags[ch];
        if (f & kDigit) {
            key.primary.push_back(static_cast<unsigned short>(kDigitBase + ch));
            key.accent.push_back(0);
            key.upper.push_back(0);
            continue;
        }
        const unsigned char lowered = kTables.lower[ch];
        int second = -1;
        const int base = (f & kAlpha) ? BaseLetter(lowered, second) : -1;
        if (base < 0) {
            key.primary.push_back(static_cast<unsigned short>(kSymbolBase + ch));
            key.accent.push_back(0);
            key.upper.push_back(0);
            continue;
        }
        const unsigned char accent = (lowered >= 'a' && lowered <= 'z') ? 0 : lowered;
        const unsigned char isUpper = (mode == platform::CollateCase::Sensitive && (f & kUpper)) ? 1 : 0;
        for (int letter : {base, second}) {
            if (letter < 0)
                break;
            key.primary.push_back(static_cast<unsigned short>(kLetterBase + letter));
            key.accent.push_back(accent);
            key.upper.push_back(isUpper);
        }
    }
    return key;
}

template <typename T>
int CompareSequences(const std::vector<T>& a, const std::vector<T>& b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

namespace platform {

unsigned char ToUpper1252(unsigned char ch)
{
    return kTables.upper[ch];
}

unsigned char ToLower1252(unsigned char ch)
{
    return kTables.lower[ch];
}

int Collate1252(std::string_view a, std::string_view b, CollateCase mode)
{
    const SortKey ka = MakeSortKey(a, mode);
    const SortKey kb = MakeSortKey(b, mode);
    if (int r = CompareSequences(ka.primary, kb.primary))
        return r;
    if (int r = CompareSequences(ka.accent, kb.accent))
        return r;
    if (int r = CompareSequences(ka.upper, kb.upper))
        return r;
    return CompareSequences(ka.ignored, kb.ignored);
}

} // namespace platform

BOOL IsCharAlpha(char ch)
{
    return (Flags(ch) & kAlpha) ? TRUE : FALSE;
}

BOOL IsCharAlphaNumeric(char ch)
{
    return (Flags(ch) & (kAlpha | kDigit)) ? TRUE : FALSE;
}

BOOL IsCharUpper(char ch)
{
    return (Flags(ch) & kUpper) ? TRUE : FALSE;
}

BOOL IsCharLower(char ch)
{
    return (Flags(ch) & kLower) ? TRUE : FALSE;
}

LPSTR CharUpper(LPSTR lpsz)
{
    return CharConvert(lpsz, kTables.upper);
}

LPSTR CharLower(LPSTR lpsz)
{
    return CharConvert(lpsz, kTables.lower);
}

DWORD CharUpperBuff(LPSTR lpsz, DWORD cchLength)
{
    return BuffConvert(lpsz, cchLength, kTables.upper);
}

DWORD CharLowerBuff(LPSTR lpsz, DWORD cchLength)
{
    return BuffConvert(lpsz, cchLength, kTables.lower);
}

LPSTR CharNext(LPCSTR lpsz)
{
    if (!lpsz)
        return nullptr;
    return const_cast<LPSTR>(*lpsz ? lpsz + 1 : lpsz);
}

LPSTR CharPrev(LPCSTR lpszStart, LPCSTR lpszCurrent)
{
    if (!lpszStart || !lpszCurrent || lpszCurrent <= lpszStart)
        return const_cast<LPSTR>(lpszStart);
    return const_cast<LPSTR>(lpszCurrent - 1);
}

int _strnicmp(LPCSTR a, LPCSTR b, size_t count)
{
    a = OrEmpty(a);
    b = OrEmpty(b);
    for (size_t i = 0; i < count; ++i) {
        const int ca = kTables.lower[static_cast<unsigned char>(a[i])];
        const int cb = kTables.lower[static_cast<unsigned char>(b[i])];
        if (ca != cb)
            return ca - cb;
        if (ca == 0)
            break;
    }
    return 0;
}

int _stricmp(LPCSTR a, LPCSTR b)
{
    return _strnicmp(a, b, static_cast<size_t>(-1));
}

int lstrcmpi(LPCSTR a, LPCSTR b)
{
    return platform::Collate1252(OrEmpty(a), OrEmpty(b), platform::CollateCase::Ignore);
}

int lstrcmp(LPCSTR a, LPCSTR b)
{
    return platform::Collate1252(OrEmpty(a), OrEmpty(b), platform::CollateCase::Sensitive);
}

int lstrlen(LPCSTR a)
{
    return a ? static_cast<int>(std::strlen(a)) : 0;
}

LPSTR _strupr(LPSTR s)
{
    if (s)
        BuffConvert(s, static_cast<DWORD>(std::strlen(s)), kTables.upper);
    return s;
}

LPSTR _strlwr(LPSTR s)
{
    if (s)
        BuffConvert(s, static_cast<DWORD>(std::strlen(s)), kTables.lower);
    return s;
}
