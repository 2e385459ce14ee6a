// printf of our own with the class library's grammar and 64-bit meanings.
// Nothing here calls the C library's formatting, so the result never depends
// on the process locale.

#include "platform/base/String.h"
#include "platform/base/FormatSize.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace platform {
namespace {

using Size = platform::FormatSize;

struct Spec {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alt = false;
    bool zero = false;
    int width = 0;
    int precision = -1; // -1: not given
    Size size = Size::Default;
};

class ArgList {
public:
    ArgList(const FormatArg* args, size_t count)
        : m_args(args)
        , m_count(args ? count : 0)
    {
    }

    // A missing argument reads as an empty string, which every conversion
    // turns into 0 or nothing.
    FormatArg Next()
    {
        if (m_next < m_count)
            return m_args[m_next++];
        FormatArg missing;
        missing.kind = FormatArg::Kind::String;
        missing.s = "";
        return missing;
    }

private:
    const FormatArg* m_args;
    size_t m_count;
    size_t m_next = 0;
};

int64_t SaturatedFromDouble(double d)
{
    if (std::isnan(d))
        return 0;
    if (d >= 9223372036854775807.0)
        return std::numeric_limits<int64_t>::max();
    if (d <= -9223372036854775808.0)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(d);
}

// The raw 64 bits an integer conversion would have read.
uint64_t IntegerBits(const FormatArg& a)
{
    switch (a.kind) {
    case FormatArg::Kind::Signed:
        return static_cast<uint64_t>(a.i);
    case FormatArg::Kind::Unsigned:
        return a.u;
    case FormatArg::Kind::Double:
        return static_cast<uint64_t>(SaturatedFromDouble(a.d));
    case FormatArg::Kind::String:
        return 0; // a string pointer never prints as a number
    case FormatArg::Kind::Pointer:
        return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(a.p));
    }
    return 0;
}

double DoubleValue(const FormatArg& a)
{
    switch (a.kind) {
    case FormatArg::Kind::Signed:
        return static_cast<double>(a.i);
    case FormatArg::Kind::Unsigned:
        return static_cast<double>(a.u);
    case FormatArg::Kind::Double:
        return a.d;
    case FormatArg::Kind::String:
    case FormatArg::Kind::Pointer:
        return 0.0;
    }
    return 0.0;
}

// What %s prints for an argument: a string, "(null)" for any null value, and
// nothing for a number or a pointer that is not known to be text.
const char* StringValue(const FormatArg& a)
{
    switch (a.kind) {
    case FormatArg::Kind::String:
        return a.s ? a.s : "(null)";
    case FormatArg::Kind::Signed:
        return a.i == 0 ? "(null)" : "";
    case FormatArg::Kind::Unsigned:
        return a.u == 0 ? "(null)" : "";
    case FormatArg::Kind::Pointer:
        return a.p ? "" : "(null)";
    case FormatArg::Kind::Double:
        return "";
    }
    return "";
}

unsigned BitsOf(Size size)
{
    return 8 * platform::FormatSizeBytes(size);
}

uint64_t Truncate(uint64_t bits, unsigned width)
{
    return width >= 64 ? bits : (bits & ((uint64_t(1) << width) - 1));
}

int64_t SignExtend(uint64_t bits, unsigned width)
{
    if (width >= 64)
        return static_cast<int64_t>(bits);
    const uint64_t sign = uint64_t(1) << (width - 1);
    bits = Truncate(bits, width);
    return static_cast<int64_t>((bits ^ sign) - sign);
}

void Pad(std::string& out, int count, char ch)
{
    if (count > 0)
        out.append(static_cast<size_t>(count), ch);
}

// Puts a converted field into the output: sign or prefix, then zeros or
// blanks up to the width, then the body.
void EmitField(std::string& out, const Spec& spec, std::string_view prefix, std::string_view body, bool zeroPad)
{
    const int length = static_cast<int>(prefix.size() + body.size());
    const int fill = spec.width > length ? spec.width - length : 0;
    if (spec.left) {
        out += prefix;
        out += body;
        Pad(out, fill, ' ');
    } else if (zeroPad) {
        out += prefix;
        Pad(out, fill, '0');
        out += body;
    } else {
        Pad(out, fill, ' ');
        out += prefix;
        out += body;
    }
}

void FormatInteger(std::string& out, const Spec& spec, char conv, uint64_t magnitude, bool negative)
{
    const unsigned base = (conv == 'o') ? 8 : ((conv == 'x' || conv == 'X' || conv == 'p') ? 16 : 10);
    const char* digitChars = (conv == 'X' || conv == 'p') ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string digits;
    for (uint64_t v = magnitude; v != 0; v /= base)
        digits += digitChars[v % base];
    if (digits.empty() && spec.precision != 0)
        digits.assign(1, '0');
    if (spec.precision > static_cast<int>(digits.size()))
        digits.append(static_cast<size_t>(spec.precision) - digits.size(), '0');
    if (conv == 'o' && spec.alt && (digits.empty() || digits.back() != '0'))
        digits += '0';
    std::string body(digits.rbegin(), digits.rend());

    std::string prefix;
    if (conv == 'd' || conv == 'i') {
        if (negative)
            prefix.assign(1, '-');
        else if (spec.plus)
            prefix.assign(1, '+');
        else if (spec.space)
            prefix.assign(1, ' ');
    } else if ((conv == 'x' || conv == 'X') && spec.alt && magnitude != 0) {
        prefix += '0';
        prefix += conv;
    }
    EmitField(out, spec, prefix, body, spec.zero && !spec.left && spec.precision < 0);
}

// A positive finite double as its first 17 significant digits, correctly
// rounded: value = 0.d1d2...d17 x 10^exp10. The class library's runtime
// rounds printed values from these digits, so positions past them are zeros.
struct Decimal {
    std::string digits;
    int exp10 = 0;
};

Decimal ToDecimal(double v)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 16);
    Decimal d;
    const char* p = buffer;
    for (; p < result.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            d.digits += *p;
    }
    int exponent = 0;
    if (p < result.ptr)
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), result.ptr, exponent);
    d.exp10 = exponent + 1;
    return d;
}

// Keeps `keep` significant digits, rounding half away from zero on the
// digits that are cut off; a carry out of the first digit adds a digit and
// raises exp10. keep <= 0 rounds to either nothing or a single "1".
std::string RoundDigits(const Decimal& d, int keep, int& exp10)
{
    exp10 = d.exp10;
    if (keep < 0)
        return std::string();
    std::string r = d.digits.substr(0, std::min(static_cast<size_t>(keep), d.digits.size()));
    if (r.size() < static_cast<size_t>(keep))
        r.append(static_cast<size_t>(keep) - r.size(), '0');
    if (static_cast<size_t>(keep) < d.digits.size() && d.digits[static_cast<size_t>(keep)] >= '5') {
        int i = keep - 1;
        while (i >= 0 && r[static_cast<size_t>(i)] == '9')
            r[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++r[static_cast<size_t>(i)];
        } else {
            r.insert(r.begin(), '1');
            ++exp10;
        }
    }
    return r;
}

// "ddd.ddd" of a non-negative value with `precision` decimals.
std::string FixedBody(double v, int precision, bool alt)
{
    std::string kept;
    int exp10 = 1;
    if (v != 0.0) {
        const Decimal d = ToDecimal(v);
        kept = RoundDigits(d, d.exp10 + precision, exp10);
        if (kept.empty())
            exp10 = 1; // rounded away to zero
    }
    // Digit j of `kept` has the place value 10^(exp10 - 1 - j).
    auto digitAt = [&](int j) { return (j >= 0 && j < static_cast<int>(kept.size())) ? kept[static_cast<size_t>(j)] : '0'; };
    std::string body;
    if (exp10 <= 0) {
        body.assign(1, '0');
    } else {
        for (int j = 0; j < exp10; ++j)
            body += digitAt(j);
    }
    if (precision > 0 || alt)
        body += '.';
    for (int k = 0; k < precision; ++k)
        body += digitAt(exp10 + k);
    return body;
}

// "d.ddde+xxx" of a non-negative value, always at least three exponent digits.
std::string ExponentBody(double v, int precision, bool alt, char e)
{
    std::string kept;
    int exp10 = 1;
    if (v != 0.0) {
        const Decimal d = ToDecimal(v);
        kept = RoundDigits(d, precision + 1, exp10);
    } else {
        kept.assign(static_cast<size_t>(precision) + 1, '0');
    }
    std::string body(1, kept[0]);
    if (precision > 0 || alt)
        body += '.';
    body.append(kept, 1, static_cast<size_t>(precision));
    const int exponent = v != 0.0 ? exp10 - 1 : 0;
    body += e;
    body += exponent < 0 ? '-' : '+';
    const std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    if (digits.size() < 3)
        body.append(3 - digits.size(), '0');
    body += digits;
    return body;
}

void StripFractionZeros(std::string& body)
{
    const size_t dot = body.find('.');
    if (dot == std::string::npos)
        return;
    const size_t e = body.find_first_of("eE");
    const size_t end = e == std::string::npos ? body.size() : e;
    size_t cut = end;
    while (cut > dot + 1 && body[cut - 1] == '0')
        --cut;
    if (cut == dot + 1)
        cut = dot;
    body.erase(cut, end - cut);
}

std::string GeneralBody(double v, int precision, bool alt, bool upper)
{
    const int p = precision < 0 ? 6 : (precision == 0 ? 1 : precision);
    int x = 0;
    if (v != 0.0) {
        int exp10 = 0;
        RoundDigits(ToDecimal(v), p, exp10);
        x = exp10 - 1;
    }
    std::string body = (x < -4 || x >= p) ? ExponentBody(v, p - 1, alt, upper ? 'E' : 'e') : FixedBody(v, p - 1 - x, alt);
    if (!alt)
        StripFractionZeros(body);
    return body;
}

void FormatFloating(std::string& out, const Spec& spec, char conv, double v)
{
    const bool negative = std::signbit(v) && !std::isnan(v);
    const double magnitude = std::fabs(v);
    const bool upper = conv == 'E' || conv == 'G' || conv == 'F';
    std::string prefix = negative ? "-" : (spec.plus ? "+" : (spec.space ? " " : ""));
    if (!std::isfinite(v)) {
        const char* text = std::isnan(v) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
        EmitField(out, spec, prefix, text, false);
        return;
    }
    const int precision = spec.precision < 0 ? 6 : spec.precision;
    std::string body;
    switch (conv) {
    case 'f':
    case 'F':
        body = FixedBody(magnitude, precision, spec.alt);
        break;
    case 'e':
    case 'E':
        body = ExponentBody(magnitude, precision, spec.alt, conv);
        break;
    default:
        body = GeneralBody(magnitude, spec.precision, spec.alt, upper);
        break;
    }
    EmitField(out, spec, prefix, body, spec.zero && !spec.left);
}

// Parses a run of digits for a width or precision, capped so that a format
// cannot ask for an unbounded field.
int ParseCount(const char*& p)
{
    int value = 0;
    while (*p >= '0' && *p <= '9') {
        value = std::min(value * 10 + (*p - '0'), kMaxFormatField);
        ++p;
    }
    return value;
}

int StarValue(ArgList& args)
{
    return static_cast<int>(SignExtend(IntegerBits(args.Next()), 32));
}


} // namespace

std::string FormatArgs(const char* format, const FormatArg* args, size_t count)
{
    std::string out;
    if (!format)
        return out;
    ArgList list(args, count);
    const char* p = format;
    while (*p) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            out += '%';
            ++p;
            continue;
        }
        Spec spec;
        for (;; ++p) {
            if (*p == '-')
                spec.left = true;
            else if (*p == '+')
                spec.plus = true;
            else if (*p == ' ')
                spec.space = true;
            else if (*p == '#')
                spec.alt = true;
            else if (*p == '0')
                spec.zero = true;
            else
                break;
        }
        if (*p == '*') {
            ++p;
            const int width = StarValue(list);
            if (width < 0)
                spec.left = true;
            spec.width = std::min(width < 0 ? -static_cast<int64_t>(width) : width, int64_t(kMaxFormatField));
        } else {
            spec.width = ParseCount(p);
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                ++p;
                const int precision = StarValue(list);
                spec.precision = precision < 0 ? -1 : std::min(precision, kMaxFormatField);
            } else {
                spec.precision = ParseCount(p);
            }
        }
        spec.size = platform::ParseFormatSize(p);
        const char conv = *p;
        if (conv == '\0') {
            out.append(start, p);
            break;
        }
        ++p;
        switch (conv) {
        case 'd':
        case 'i': {
            const int64_t v = SignExtend(IntegerBits(list.Next()), BitsOf(spec.size));
            const uint64_t magnitude = v < 0 ? uint64_t(0) - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
            FormatInteger(out, spec, conv, magnitude, v < 0);
            break;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            FormatInteger(out, spec, conv, Truncate(IntegerBits(list.Next()), BitsOf(spec.size)), false);
            break;
        case 'p': {
            Spec pointer = spec;
            pointer.precision = std::max(spec.precision, 16);
            pointer.alt = false;
            FormatInteger(out, pointer, 'p', IntegerBits(list.Next()), false);
            break;
        }
        case 'c': {
            const char ch = static_cast<char>(IntegerBits(list.Next()) & 0xFF);
            EmitField(out, spec, "", std::string_view(&ch, 1), spec.zero && !spec.left);
            break;
        }
        case 's': {
            std::string_view text = StringValue(list.Next());
            if (spec.precision >= 0 && text.size() > static_cast<size_t>(spec.precision))
                text = text.substr(0, static_cast<size_t>(spec.precision));
            EmitField(out, spec, "", text, spec.zero && !spec.left);
            break;
        }
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
            FormatFloating(out, spec, conv, DoubleValue(list.Next()));
            break;
        case 'n':
            list.Next(); // never writes through the pointer
            break;
        default:
            out.append(start, p);
            break;
        }
    }
    return out;
}

} // namespace platform
