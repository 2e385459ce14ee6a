#include "platform/base/CrtParse.h"
#include "platform/base/FormatSize.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

// White space as the "C" locale's isspace, whatever the process locale.
bool IsSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

int DigitValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'z')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'Z')
        return ch - 'A' + 10;
    return 99;
}

enum class ExponentLetters { EOnly, EOrD };

// The floating-point grammar shared by atof and the scanner. The digits are
// copied into a normalised text ("123.45e-6") that std::from_chars reads,
// which never consults the locale.
double ParseFloating(std::string_view text, size_t& consumed, ExponentLetters letters)
{
    consumed = 0;
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string normal;
    size_t mantissaDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        normal += text[i++];
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        size_t j = i + 1;
        std::string fraction;
        while (j < text.size() && IsDigit(text[j]))
            fraction += text[j++];
        if (mantissaDigits > 0 || !fraction.empty()) {
            normal += '.';
            normal += fraction;
            mantissaDigits += fraction.size();
            i = j;
        }
    }
    if (mantissaDigits == 0)
        return 0.0;
    if (i < text.size()) {
        const char e = text[i];
        const bool isExponent = e == 'e' || e == 'E' || (letters == ExponentLetters::EOrD && (e == 'd' || e == 'D'));
        size_t j = i + 1;
        bool expNegative = false;
        if (isExponent && j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (isExponent && j < text.size() && IsDigit(text[j])) {
            // The exponent saturates: anything this large overflows or
            // underflows a double anyway.
            long exponent = 0;
            while (j < text.size() && IsDigit(text[j])) {
                exponent = std::min(exponent * 10 + (text[j] - '0'), 100000L);
                ++j;
            }
            normal += 'e';
            if (expNegative)
                normal += '-';
            normal += std::to_string(exponent);
            i = j;
        }
    }
    consumed = i;
    double value = 0.0;
    const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small: decide by the magnitude of the first
        // significant digit.
        const size_t dot = normal.find('.');
        const size_t ePos = normal.find('e');
        const std::string mantissa = normal.substr(0, ePos);
        const size_t firstNonZero = mantissa.find_first_not_of("0.");
        const long exp10 = ePos == std::string::npos ? 0 : std::stol(normal.substr(ePos + 1));
        const long intDigits = static_cast<long>(dot == std::string::npos ? mantissa.size() : dot);
        long magnitude = 0;
        if (firstNonZero != std::string::npos)
            magnitude = (static_cast<long>(firstNonZero) < intDigits ? intDigits - static_cast<long>(firstNonZero)
                                                                     : intDigits - static_cast<long>(firstNonZero) + 1)
                + exp10;
        value = magnitude > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

// atol: digits accumulate in 64 bits and stop growing once past the range,
// so the result saturates instead of overflowing.
int64_t ParseSaturated(LPCSTR psz, int64_t low, int64_t high)
{
    if (!psz)
        return 0;
    while (IsSpace(*psz))
        ++psz;
    bool negative = false;
    if (*psz == '+' || *psz == '-')
        negative = *psz++ == '-';
    int64_t value = 0;
    for (; IsDigit(*psz); ++psz) {
        if (value <= high)
            value = value * 10 + (*psz - '0');
    }
    if (negative)
        value = -value;
    return value < low ? low : (value > high ? high : value);
}

using Size = platform::FormatSize;

size_t BytesOf(Size size)
{
    return platform::FormatSizeBytes(size);
}


bool StoreInteger(const platform::ScanArg& target, Size size, uint64_t value)
{
    const size_t bytes = BytesOf(size);
    if (target.kind != platform::ScanArg::Kind::Integer || target.size != bytes || !target.p)
        return false;
    switch (bytes) {
    case 1: {
        const auto v = static_cast<uint8_t>(value);
        std::memcpy(target.p, &v, 1);
        break;
    }
    case 2: {
        const auto v = static_cast<uint16_t>(value);
        std::memcpy(target.p, &v, 2);
        break;
    }
    case 4: {
        const auto v = static_cast<uint32_t>(value);
        std::memcpy(target.p, &v, 4);
        break;
    }
    default:
        std::memcpy(target.p, &value, 8);
        break;
    }
    return true;
}

bool StoreFloating(const platform::ScanArg& target, Size size, double value)
{
    using Kind = platform::ScanArg::Kind;
    if (!target.p)
        return false;
    switch (size) {
    case Size::Default:
    case Size::Char:
    case Size::Short:
        if (target.kind != Kind::Float)
            return false;
        *static_cast<float*>(target.p) = static_cast<float>(value);
        return true;
    case Size::Long32:
        if (target.kind != Kind::Double)
            return false;
        *static_cast<double*>(target.p) = value;
        return true;
    case Size::Long64:
        // long double is a double in the class library's world.
        if (target.kind == Kind::Double)
            *static_cast<double*>(target.p) = value;
        else if (target.kind == Kind::LongDouble)
            *static_cast<long double*>(target.p) = value;
        else
            return false;
        return true;
    }
    return false;
}

// Stores a text field; a field that does not fit a known array leaves it
// empty and refuses.
bool StoreChars(const platform::ScanArg& target, std::string_view field, bool terminate)
{
    if (target.kind != platform::ScanArg::Kind::Chars || !target.p)
        return false;
    auto* out = static_cast<char*>(target.p);
    const size_t needed = field.size() + (terminate ? 1 : 0);
    if (target.capacity != 0 && needed > target.capacity) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, field.data(), field.size());
    if (terminate)
        out[field.size()] = '\0';
    return true;
}

// Reads an integer field of at most `width` characters; false when it holds
// no digits. Digits beyond 64 bits wrap, as the runtime's accumulator does.
bool ReadInteger(const char*& in, size_t width, char conv, uint64_t& value)
{
    const std::string_view field(in, strnlen(in, width));
    size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (conv == 'o')
        base = 8;
    auto hexPrefixAt = [&](size_t k) {
        return k + 2 < field.size() && field[k] == '0' && (field[k + 1] == 'x' || field[k + 1] == 'X')
            && DigitValue(field[k + 2]) < 16;
    };
    if (conv == 'x' || conv == 'X') {
        base = 16;
        if (hexPrefixAt(i))
            i += 2;
    } else if (conv == 'i' && i < field.size() && field[i] == '0') {
        if (hexPrefixAt(i)) {
            base = 16;
            i += 2;
        } else {
            base = 8;
        }
    }
    uint64_t v = 0;
    size_t digits = 0;
    for (; i < field.size() && DigitValue(field[i]) < static_cast<int>(base); ++i, ++digits)
        v = v * base + static_cast<unsigned>(DigitValue(field[i]));
    if (digits == 0)
        return false;
    value = negative ? uint64_t(0) - v : v;
    in += i;
    return true;
}

// A %[...] set: which bytes it accepts. A ']' right after '[' or '[^' is a
// member, and a '-' between two characters makes a range.
bool ParseScanSet(const char*& f, bool (&accepts)[256])
{
    bool negate = false;
    if (*f == '^') {
        negate = true;
        ++f;
    }
    bool members[256] = {};
    const char* first = f;
    for (; *f && (*f != ']' || f == first); ++f) {
        const auto lo = static_cast<unsigned char>(*f);
        if (f[1] == '-' && f[2] && f[2] != ']') {
            const auto hi = static_cast<unsigned char>(f[2]);
            for (unsigned c = lo < hi ? lo : hi; c <= (lo < hi ? hi : lo); ++c)
                members[c] = true;
            f += 2;
        } else {
            members[lo] = true;
        }
    }
    if (*f != ']')
        return false;
    ++f;
    for (int c = 0; c < 256; ++c)
        accepts[c] = members[c] != negate;
    accepts[0] = false;
    return true;
}

} // namespace

namespace platform {

double ParseDouble(std::string_view text, size_t* consumed)
{
    size_t start = 0;
    while (start < text.size() && IsSpace(text[start]))
        ++start;
    size_t used = 0;
    const double value = ParseFloating(text.substr(start), used, ExponentLetters::EOrD);
    if (consumed)
        *consumed = used ? start + used : 0;
    return value;
}

int ScanArgs(const char* input, const char* format, const ScanArg* args, size_t count)
{
    constexpr int kEof = -1;
    if (!input || !format)
        return kEof;
    const char* in = input;
    const char* f = format;
    size_t nextArg = 0;
    int assigned = 0;
    bool converted = false;
    // Running out of input before any conversion is EOF; afterwards it is the
    // count so far.
    auto inputEnded = [&] { return converted ? assigned : kEof; };
    auto skipSpace = [&] {
        while (IsSpace(*in))
            ++in;
    };

    while (*f) {
        if (IsSpace(*f)) {
            while (IsSpace(*f))
                ++f;
            skipSpace();
            continue;
        }
        if (*f != '%' || f[1] == '%') {
            if (*f == '%') {
                ++f; // "%%" matches one '%' after optional white space
                skipSpace();
            }
            if (!*in)
                return inputEnded();
            if (*in != *f)
                return assigned;
            ++in;
            ++f;
            continue;
        }
        ++f;
        bool suppress = false;
        if (*f == '*') {
            suppress = true;
            ++f;
        }
        size_t width = 0;
        while (IsDigit(*f)) {
            width = std::min<size_t>(width * 10 + static_cast<size_t>(*f - '0'), 1u << 20);
            ++f;
        }
        const Size size = platform::ParseFormatSize(f);
        const char conv = *f;
        if (!conv)
            return assigned;
        ++f;

        ScanArg target;
        auto takeTarget = [&] {
            if (suppress)
                return true;
            if (nextArg >= count)
                return false;
            target = args[nextArg++];
            return true;
        };

        switch (conv) {
        case 'n':
            if (!takeTarget())
                return assigned;
            if (!suppress && !StoreInteger(target, size, static_cast<uint64_t>(in - input)))
                return assigned;
            break;
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X': {
            skipSpace();
            if (!*in)
                return inputEnded();
            uint64_t value = 0;
            if (!ReadInteger(in, width ? width : SIZE_MAX, conv, value))
                return assigned;
            if (!takeTarget() || (!suppress && !StoreInteger(target, size, value)))
                return assigned;
            converted = true;
            if (!suppress)
                ++assigned;
            break;
        }
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G': {
            skipSpace();
            if (!*in)
                return inputEnded();
            size_t used = 0;
            const double value = ParseFloating(std::string_view(in, strnlen(in, width ? width : SIZE_MAX)), used, ExponentLetters::EOnly);
            if (used == 0)
                return assigned;
            in += used;
            if (!takeTarget() || (!suppress && !StoreFloating(target, size, value)))
                return assigned;
            converted = true;
            if (!suppress)
                ++assigned;
            break;
        }
        case 's':
        case 'c':
        case '[': {
            bool accepts[256] = {};
            size_t limit = width ? width : SIZE_MAX;
            if (conv == '[') {
                if (!ParseScanSet(f, accepts))
                    return assigned;
            } else if (conv == 's') {
                skipSpace();
                for (int c = 1; c < 256; ++c)
                    accepts[c] = !IsSpace(static_cast<char>(c));
            } else {
                limit = width ? width : 1;
                for (int c = 1; c < 256; ++c)
                    accepts[c] = true;
            }
            if (!*in)
                return inputEnded();
            size_t n = 0;
            while (n < limit && in[n] && accepts[static_cast<unsigned char>(in[n])])
                ++n;
            if (n == 0 || (conv == 'c' && n < limit))
                return conv == 'c' ? inputEnded() : assigned;
            if (!takeTarget() || (!suppress && !StoreChars(target, std::string_view(in, n), conv != 'c')))
                return assigned;
            in += n;
            converted = true;
            if (!suppress)
                ++assigned;
            break;
        }
        default:
            return assigned;
        }
    }
    return assigned;
}

} // namespace platform

int _ttoi(LPCSTR psz)
{
    return static_cast<int>(ParseSaturated(psz, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

LONG _ttol(LPCSTR psz)
{
    return static_cast<LONG>(ParseSaturated(psz, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

double _tstof(LPCSTR psz)
{
    return psz ? platform::ParseDouble(psz) : 0.0;
}
