#pragma once
// The size prefixes of the class library's printf and scanf grammar, shared
// by the formatter and the scanner. On this system 'l' means 32 bits, as
// LONG and DWORD are; "I64", "ll", 'L', 'j', 'z' and 't' mean 64 bits; a bare
// 'I' is pointer-sized.

namespace platform {

enum class FormatSize { Default, Char, Short, Long32, Long64 };

// The bytes an integer of that size takes (a bare %d takes 4).
constexpr unsigned FormatSizeBytes(FormatSize size)
{
    switch (size) {
    case FormatSize::Char:
        return 1;
    case FormatSize::Short:
        return 2;
    case FormatSize::Default:
    case FormatSize::Long32:
        return 4;
    case FormatSize::Long64:
        return 8;
    }
    return 4;
}

// Reads a size prefix at p, advancing past it; Default when there is none.
FormatSize ParseFormatSize(const char*& p);

} // namespace platform
