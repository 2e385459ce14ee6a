#include "app/TransparentBitmap.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"

namespace {

// A memory DC with a bitmap selected, undone on leaving.
class MemoryDc {
public:
    MemoryDc(HDC hdcLike, HBITMAP hBitmap)
        : m_hdc(CreateCompatibleDC(hdcLike))
        , m_hBitmap(hBitmap)
    {
        if (m_hdc && m_hBitmap)
            m_hOld = SelectObject(m_hdc, m_hBitmap);
    }
    ~MemoryDc()
    {
        if (m_hdc) {
            if (m_hOld)
                SelectObject(m_hdc, m_hOld);
            DeleteDC(m_hdc);
        }
        if (m_bOwned && m_hBitmap)
            DeleteObject(m_hBitmap);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    void Own() { m_bOwned = true; }
    bool IsValid() const { return m_hdc && m_hBitmap && m_hOld; }
    HDC Get() const { return m_hdc; }

private:
    HDC m_hdc;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld = nullptr;
    bool m_bOwned = false;
};

// XOR the picture, AND the mask (white keeps, black clears), XOR the picture
// again: where the mask is white the target comes back unchanged, where it
// is black the picture stands alone.
BOOL Compose(HDC hdc, int x, int y, int cx, int cy, HDC hdcPicture, HDC hdcMask)
{
    MemoryDc off(hdc, CreateCompatibleBitmap(hdc, cx, cy));
    off.Own();
    if (!off.IsValid())
        return FALSE;
    // Monochrome sources turn into the text colour (0) and background
    // colour (1) of the destination.
    SetTextColor(off.Get(), RGB(0, 0, 0));
    SetBkColor(off.Get(), RGB(255, 255, 255));
    return BitBlt(off.Get(), 0, 0, cx, cy, hdc, x, y, SRCCOPY)
        && BitBlt(off.Get(), 0, 0, cx, cy, hdcPicture, 0, 0, SRCINVERT)
        && BitBlt(off.Get(), 0, 0, cx, cy, hdcMask, 0, 0, SRCAND)
        && BitBlt(off.Get(), 0, 0, cx, cy, hdcPicture, 0, 0, SRCINVERT)
        && BitBlt(hdc, x, y, cx, cy, off.Get(), 0, 0, SRCCOPY);
}

} // namespace

BOOL DrawTransparentBitmap(HDC hdc, int x, int y, int cx, int cy, HDC hdcSource, const RECT& rcSource,
    COLORREF crTransparent)
{
    const int srcWidth = rcSource.right - rcSource.left;
    const int srcHeight = rcSource.bottom - rcSource.top;
    if (!hdc || !hdcSource || cx <= 0 || cy <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return FALSE;
    // The picture at the target size.
    MemoryDc picture(hdc, CreateCompatibleBitmap(hdc, cx, cy));
    picture.Own();
    if (!picture.IsValid())
        return FALSE;
    SetStretchBltMode(picture.Get(), COLORONCOLOR);
    if (!StretchBlt(picture.Get(), 0, 0, cx, cy, hdcSource, rcSource.left, rcSource.top, srcWidth, srcHeight, SRCCOPY))
        return FALSE;
    // Colour to monochrome: the background colour becomes white.
    MemoryDc mask(hdc, CreateBitmap(cx, cy, 1, 1, nullptr));
    mask.Own();
    if (!mask.IsValid())
        return FALSE;
    const COLORREF oldBk = SetBkColor(picture.Get(), crTransparent);
    const BOOL made = BitBlt(mask.Get(), 0, 0, cx, cy, picture.Get(), 0, 0, SRCCOPY);
    SetBkColor(picture.Get(), oldBk);
    return made && Compose(hdc, x, y, cx, cy, picture.Get(), mask.Get());
}

BOOL DrawTransparentBitmap(HDC hdc, int x, int y, int cx, int cy, HBITMAP hSource, const RECT& rcSource,
    COLORREF crTransparent)
{
    MemoryDc source(hdc, hSource);
    if (!source.IsValid())
        return FALSE;
    return DrawTransparentBitmap(hdc, x, y, cx, cy, source.Get(), rcSource, crTransparent);
}

BOOL DrawTransparentBitmap(HDC hdc, int x, int y, int cx, int cy, HDC hdcSource, const RECT& rcSource,
    HBITMAP hMask)
{
    const int srcWidth = rcSource.right - rcSource.left;
    const int srcHeight = rcSource.bottom - rcSource.top;
    BITMAP info{};
    if (!hdc || !hdcSource || !hMask || cx <= 0 || cy <= 0 || srcWidth <= 0 || srcHeight <= 0
        || GetObject(hMask, sizeof(info), &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0)
        return FALSE;
    MemoryDc picture(hdc, CreateCompatibleBitmap(hdc, cx, cy));
    picture.Own();
    MemoryDc givenMask(hdc, hMask);
    MemoryDc mask(hdc, CreateBitmap(cx, cy, 1, 1, nullptr));
    mask.Own();
    if (!picture.IsValid() || !givenMask.IsValid() || !mask.IsValid())
        return FALSE;
    SetStretchBltMode(picture.Get(), COLORONCOLOR);
    SetStretchBltMode(mask.Get(), COLORONCOLOR);
    return StretchBlt(picture.Get(), 0, 0, cx, cy, hdcSource, rcSource.left, rcSource.top, srcWidth, srcHeight,
               SRCCOPY)
        && StretchBlt(mask.Get(), 0, 0, cx, cy, givenMask.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY)
        && Compose(hdc, x, y, cx, cy, picture.Get(), mask.Get());
}
