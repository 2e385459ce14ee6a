#pragma once
// Drawing a picture so that its transparent parts leave the target as it
// was: by a transparent colour, or by a monochrome mask (white where the
// target shows through, black where the picture is drawn). The picture is
// stretched to the target size when the sizes differ. The target is changed
// in one copy, so nothing flickers.

#include "platform/base/Types.h"

// The picture is the source rectangle of hdcSource.
BOOL DrawTransparentBitmap(HDC hdc, int x, int y, int cx, int cy, HDC hdcSource, const RECT& rcSource,
    COLORREF crTransparent);
BOOL DrawTransparentBitmap(HDC hdc, int x, int y, int cx, int cy, HBITMAP hSource, const RECT& rcSource,
    COLORREF crTransparent);
// The mask covers the whole target (it is stretched to it when its size
// differs).
BOOL DrawTransparentBitmap(HDC hdc, int x, int y, int cx, int cy, HDC hdcSource, const RECT& rcSource,
    HBITMAP hMask);
