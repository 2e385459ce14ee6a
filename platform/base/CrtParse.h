#pragma once
// Reading numbers out of text the way the class library's C runtime does,
// never through the C library's locale, so '.' is the decimal point whatever
// the user's LC_NUMERIC says.
//
// _stscanf is type-safe: each target is a typed pointer (or a char array,
// whose size is then known), and a target whose type does not fit the
// conversion stops the scan before anything is written. 'l' on an integer
// conversion means 32 bits (LONG, DWORD), as on Windows; ll and I64 mean 64.

#include "platform/base/Types.h"

#include <cstddef>
#include <string_view>
#include <type_traits>

namespace platform {

// [whitespace][sign][digits][.digits][{e|E|d|D}[sign]digits], as atof reads
// it; a value too large for a double gives +-HUGE_VAL, one too small 0.
// *consumed (when given) receives the characters used, 0 when there was no
// number (the result is then 0).
double ParseDouble(std::string_view text, size_t* consumed = nullptr);

// One target of _stscanf.
struct ScanArg {
    enum class Kind { Refused, Integer, Float, Double, LongDouble, Chars };
    Kind kind = Kind::Refused;
    void* p = nullptr;
    size_t size = 0;     // bytes of an integer target
    size_t capacity = 0; // bytes of a character array; 0 when unknown
};

template <typename T>
inline constexpr bool kAlwaysFalse = false;

template <typename T>
ScanArg MakeScanArg(T&& target)
{
    using U = std::remove_cvref_t<T>;
    ScanArg a;
    if constexpr (std::is_array_v<U>) {
        static_assert(std::is_same_v<std::remove_extent_t<U>, char>, "_stscanf: only char arrays receive text");
        a.kind = ScanArg::Kind::Chars;
        a.p = target;
        a.capacity = std::extent_v<U>;
    } else if constexpr (std::is_pointer_v<U>) {
        using P = std::remove_pointer_t<U>;
        static_assert(!std::is_const_v<P>, "_stscanf: a target must be writable");
        a.p = target;
        if constexpr (std::is_same_v<P, char>) {
            a.kind = ScanArg::Kind::Chars;
        } else if constexpr (std::is_same_v<P, bool>) {
            a.kind = ScanArg::Kind::Refused;
        } else if constexpr (std::is_integral_v<P>) {
            a.kind = ScanArg::Kind::Integer;
            a.size = sizeof(P);
        } else if constexpr (std::is_same_v<P, float>) {
            a.kind = ScanArg::Kind::Float;
        } else if constexpr (std::is_same_v<P, double>) {
            a.kind = ScanArg::Kind::Double;
        } else if constexpr (std::is_same_v<P, long double>) {
            a.kind = ScanArg::Kind::LongDouble;
        } else {
            static_assert(kAlwaysFalse<T>, "_stscanf: unsupported target type");
        }
    } else {
        static_assert(kAlwaysFalse<T>, "_stscanf: targets are pointers or char arrays");
    }
    return a;
}

// The scanner behind _stscanf: the number of fields assigned, or EOF (-1)
// when the input ends before the first conversion. NULL input or format
// gives EOF.
int ScanArgs(const char* input, const char* format, const ScanArg* args, size_t count);

} // namespace platform

// atoi/atol as the class library's runtime reads them: leading whitespace and
// one sign, then digits up to the first other character; no digits gives 0,
// NULL gives 0, and a value out of range saturates at the type's limit.
int _ttoi(LPCSTR psz);
LONG _ttol(LPCSTR psz);
// atof: see platform::ParseDouble; NULL gives 0.
double _tstof(LPCSTR psz);

// sscanf with the class library's grammar: %d %i %u %o %x %X, %e %f %g (and
// E, G), %s %c %[...] %n %%, widths, '*' suppression, sizes hh h l ll L I32
// I64; white space in the format matches any run of white space; a literal
// must match exactly. A %s, %c or %[ field that does not fit a char array
// stores an empty string (when there is room for one) and ends the scan.
template <typename... Args>
int _stscanf(LPCSTR input, LPCSTR format, Args&&... out)
{
    const platform::ScanArg list[] = {platform::MakeScanArg(out)..., platform::ScanArg {}};
    return platform::ScanArgs(input, format, list, sizeof...(Args));
}
