#pragma once
// Pictures at the clipboard's desktop edge: picture file bytes another
// program copied become a packed DIB (CF_DIB), and a bitmap the program put
// on the clipboard becomes the PNG another program is given.
//
// Both read untrusted data: the picture bytes are bounded and decoded by the
// imaging library within its limits, and a bitmap handle is looked up like any
// other (a stale or forged one fails). Neither call throws.

#include "platform/base/Types.h"

#include <cstddef>
#include <vector>

// A packed DIB (BITMAPINFOHEADER, colour table for 8 bits and fewer, then the
// rows bottom-up, as CF_DIB holds) in a new GMEM_MOVEABLE block, made from
// picture file bytes: PNG, BMP, JPEG or any other format the imaging library
// reads within its limits. A picture with transparency is laid on white, as
// it would show on paper. NULL when the bytes are empty, damaged, of a format
// that is not read, or too large. The caller frees the block.
HGLOBAL ClipboardDibFromPicture(const void* pData, size_t cb);

// Whether the picture another program copied last could not be read
// (damaged, or over the imaging library's limits): the clipboard then holds
// no CF_DIB or CF_BITMAP for it, and a paste has a reason to give. Looks at
// the desktop as IsClipboardFormatAvailable does.
bool ClipboardDesktopPictureRefused();

// The bitmap's pixels encoded as an 8-bit RGB PNG (fast compression: the
// desktop asks for it while a user waits); `png` is replaced. False, with
// `png` empty, when the handle is not a live bitmap or encoding fails.
bool ClipboardPngFromBitmap(HBITMAP hBitmap, std::vector<unsigned char>& png);
