#include "platform/base/FormatSize.h"

namespace platform {

FormatSize ParseFormatSize(const char*& p)
{
    switch (*p) {
    case 'h':
        ++p;
        if (*p == 'h') {
            ++p;
            return FormatSize::Char;
        }
        return FormatSize::Short;
    case 'l':
        ++p;
        if (*p == 'l') {
            ++p;
            return FormatSize::Long64;
        }
        return FormatSize::Long32;
    case 'L':
    case 'j':
    case 'z':
    case 't':
        ++p;
        return FormatSize::Long64;
    case 'w':
        ++p;
        return FormatSize::Default;
    case 'I':
        if (p[1] == '6' && p[2] == '4') {
            p += 3;
            return FormatSize::Long64;
        }
        if (p[1] == '3' && p[2] == '2') {
            p += 3;
            return FormatSize::Long32;
        }
        ++p;
        return FormatSize::Long64; // pointer-sized
    default:
        return FormatSize::Default;
    }
}

} // namespace platform
