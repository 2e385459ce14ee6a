#pragma once
// The clipboard's in-process store, as the rest of the platform sees it.
//
// The program's clipboard lives in memory: every format a program put there,
// with the handle it gave up. Text also goes out to the desktop through the
// driver (UTF-8, LF line ends) when the clipboard is closed after a change,
// with CF_BITMAP (else CF_DIB) offered as PNG, encoded only when another
// program asks. Text another program copied comes back as CF_TEXT
// (Windows-1252, CR LF line ends) and a picture as CF_DIB and CF_BITMAP (the
// bitmap made from the DIB when first asked for), replacing what was held,
// the next time the store looks. A picture that cannot be read brings
// nothing.

#include "platform/base/Types.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Desktop text longer than this is not taken (it is not for us to paste).
constexpr size_t kMaxDesktopClipboardText = size_t(64) << 20;

// Empties the store and frees its handles, closes the clipboard and forgets
// what the desktop held (for tests). Registered formats stay: static
// initialisers registered some of them and keep their numbers.
void ResetClipboard();

// The conversions at the desktop edge, exposed for tests: CF_TEXT bytes (up
// to the first NUL) to desktop UTF-8, and desktop UTF-8 to CF_TEXT bytes
// (without the NUL).
std::string DesktopTextFromClipboardText(std::string_view windows1252);
std::string ClipboardTextFromDesktopText(std::string_view utf8);

// The zlib level of the PNG the desktop is given for a bitmap (1: fastest
// that still compresses), with the SUB filter on every row.
constexpr int kClipboardPngCompressionLevel = 1;

// A device bitmap holding a packed DIB (how CF_BITMAP is made from CF_DIB);
// NULL when the block does not hold a DIB whose rows fit in it.
HBITMAP BitmapFromPackedDib(HGLOBAL dib);
// A packed DIB as the PNG the desktop is given; false when it is not one.
bool PngFromPackedDib(HGLOBAL dib, std::vector<unsigned char>& png);

} // namespace platform
