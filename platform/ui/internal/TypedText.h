#pragma once
// Text typed on the desktop (UTF-8) as the program's Windows-1252. A
// character that 1252 cannot hold is refused, not turned into '?': the
// back end beeps instead, so that nothing typed silently changes.

#include "platform/base/CodePage.h"

#include <string>
#include <string_view>

namespace platform {

// The 1252 form of the typed text; refused tells whether any character
// (or any invalid sequence) had to be left out.
inline std::string TypedTextTo1252(std::string_view utf8, bool& refused)
{
    std::string out;
    refused = false;
    size_t at = 0;
    while (at < utf8.size()) {
        // One character: its lead byte and the continuation bytes after it.
        size_t end = at + 1;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            ++end;
        bool lossless = true;
        std::string one = Utf8To1252(utf8.substr(at, end - at), &lossless);
        if (lossless)
            out += one;
        else
            refused = true;
        at = end;
    }
    return out;
}

} // namespace platform
