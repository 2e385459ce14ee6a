#include "app/BitmapHelpers.h"

#include "app/DcStateSaver.h"
#include "app/RectGeometry.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Dc.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxPaletteEntries = 256;

// A memory DC with a bitmap selected for the duration of a copy.
class BitmapDc {
public:
    BitmapDc(CDC* pCompatible, HBITMAP hBitmap)
    {
        if (m_dc.CreateCompatibleDC(pCompatible))
            m_hOld = ::SelectObject(m_dc.m_hDC, hBitmap);
    }
    ~BitmapDc()
    {
        if (m_hOld)
            ::SelectObject(m_dc.m_hDC, m_hOld);
    }
    bool Ok() const { return m_hOld != NULL; }
    CDC* Dc() { return &m_dc; }

private:
    CDC m_dc;
    HGDIOBJ m_hOld = NULL;
};

// A new bitmap of the source's format holding the source's (sx, sy, sw, sh)
// drawn into w x h.
HBITMAP CopyInto(CBitmap* pSource, int sx, int sy, int sw, int sh, int w, int h)
{
    if (!pSource || w <= 0 || h <= 0)
        return NULL;
    BitmapDc source(nullptr, (HBITMAP)pSource->GetSafeHandle());
    if (!source.Ok())
        return NULL;
    // Compatible with a DC holding the source: the same format.
    HBITMAP made = ::CreateCompatibleBitmap(source.Dc()->m_hDC, w, h);
    if (!made)
        return NULL;
    BitmapDc target(nullptr, made);
    BOOL drawn = target.Ok();
    if (drawn && sw == w && sh == h)
        drawn = target.Dc()->BitBlt(0, 0, w, h, source.Dc(), sx, sy, SRCCOPY);
    else if (drawn)
        drawn = target.Dc()->StretchBlt(0, 0, w, h, source.Dc(), sx, sy, sw, sh, SRCCOPY);
    if (!drawn) {
        ::DeleteObject(made);
        return NULL;
    }
    return made;
}

BOOL MakePalette(CPalette& palette, const PALETTEENTRY* entries, int count)
{
    if (count <= 0)
        return FALSE;
    // The full-size buffer the palette record is built in.
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * (kMaxPaletteEntries - 1), 0);
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(count);
    std::memcpy(lp->palPalEntry, entries, sizeof(PALETTEENTRY) * size_t(count));
    palette.DeleteObject();
    return palette.CreatePalette(lp);
}

// The colour table of a packed DIB: a BITMAPINFOHEADER (or a larger header
// of that family) followed by RGBQUADs, or a BITMAPCOREHEADER with
// RGBTRIPLEs. Every size is checked against the resource before use.
BOOL PaletteFromDib(const BYTE* data, DWORD size, CPalette& palette)
{
    if (size < sizeof(DWORD))
        return FALSE;
    DWORD headerSize;
    std::memcpy(&headerSize, data, sizeof headerSize);
    int bitCount;
    DWORD used = 0;
    size_t entrySize;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        if (size < headerSize)
            return FALSE;
        BITMAPCOREHEADER core;
        std::memcpy(&core, data, sizeof core);
        bitCount = core.bcBitCount;
        entrySize = sizeof(RGBTRIPLE);
    } else if (headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= size) {
        BITMAPINFOHEADER info;
        std::memcpy(&info, data, sizeof info);
        bitCount = info.biBitCount;
        used = info.biClrUsed;
        entrySize = sizeof(RGBQUAD);
    } else {
        return FALSE;
    }
    DWORD count;
    if (used != 0)
        count = used;
    else if (bitCount >= 1 && bitCount <= 8)
        count = DWORD(1) << bitCount;
    else
        return FALSE;
    if (count > kMaxPaletteEntries || (size - headerSize) / entrySize < count)
        return FALSE;
    PALETTEENTRY entries[kMaxPaletteEntries];
    const BYTE* table = data + headerSize;
    for (DWORD i = 0; i < count; ++i) {
        const BYTE* e = table + i * entrySize; // blue, green, red
        entries[i] = PALETTEENTRY{e[2], e[1], e[0], 0};
    }
    return MakePalette(palette, entries, int(count));
}

} // namespace

CSize GetBitmapSize(CBitmap* pBitmap)
{
    BITMAP bm{};
    if (!pBitmap || !pBitmap->GetBitmap(&bm))
        return CSize(0, 0);
    return CSize(bm.bmWidth, bm.bmHeight);
}

BOOL CopyBitmap(CBitmap& target, CBitmap& source)
{
    BITMAP bm{};
    if (!source.GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return FALSE;
    SIZE_T bytes = SIZE_T(bm.bmWidthBytes) * SIZE_T(bm.bmHeight) * SIZE_T(std::max<WORD>(bm.bmPlanes, 1));
    HGLOBAL hBits = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!hBits)
        return FALSE;
    BOOL made = FALSE;
    if (void* bits = ::GlobalLock(hBits)) {
        if (source.GetBitmapBits(DWORD(bytes), bits) == bytes) {
            target.DeleteObject();
            made = target.CreateBitmap(bm.bmWidth, bm.bmHeight, bm.bmPlanes, bm.bmBitsPixel, bits);
        }
        ::GlobalUnlock(hBits);
    }
    ::GlobalFree(hBits);
    return made;
}

HBITMAP StretchBitmap(CBitmap* pSource, int nWidth, int nHeight)
{
    CSize size = GetBitmapSize(pSource);
    return CopyInto(pSource, 0, 0, size.cx, size.cy, nWidth, nHeight);
}

HBITMAP CopyBitmapPart(CBitmap* pSource, double left, double top, double width, double height)
{
    CSize size = GetBitmapSize(pSource);
    int x = int(left * size.cx);
    int y = int(top * size.cy);
    int w = int(width * size.cx);
    int h = int(height * size.cy);
    return CopyInto(pSource, x, y, w, h, w, h);
}

void TileBitmap(const SIZE* pScroll, CDC* pDC, CBitmap* pBitmap, const POINT* pOrigin, const RECT* pRect)
{
    CSize tile = GetBitmapSize(pBitmap);
    if (tile.cx <= 0 || tile.cy <= 0)
        return;
    CDCStateSaver saver(pDC);
    RECT area;
    if (pRect) {
        CRect normal(*pRect);
        normal.NormalizeRect();
        area = normal;
        pDC->IntersectClipRect(&area);
    } else {
        pDC->GetClipBox(&area);
    }
    if (::IsRectEmpty(&area))
        return;
    POINT start = pOrigin ? *pOrigin : POINT{area.left, area.top};
    if (pScroll) {
        start.x -= IntRemainder(pScroll->cx, tile.cx);
        start.y -= IntRemainder(pScroll->cy, tile.cy);
    }
    // Only the tiles that meet what can be drawn are blitted, so a huge
    // rectangle over a small visible part costs little.
    RECT visible;
    if (pDC->GetClipBox(&visible) == NULLREGION)
        return;
    visible.left = std::max(visible.left, area.left);
    visible.top = std::max(visible.top, area.top);
    visible.right = std::min(visible.right, area.right);
    visible.bottom = std::min(visible.bottom, area.bottom);
    if (visible.left >= visible.right || visible.top >= visible.bottom)
        return;
    if (start.x < visible.left)
        start.x += (visible.left - start.x) / tile.cx * tile.cx;
    if (start.y < visible.top)
        start.y += (visible.top - start.y) / tile.cy * tile.cy;

    BitmapDc source(pDC, (HBITMAP)pBitmap->GetSafeHandle());
    if (!source.Ok())
        return;
    for (int y = start.y; y < visible.bottom; y += tile.cy)
        for (int x = start.x; x < visible.right; x += tile.cx)
            pDC->BitBlt(x, y, tile.cx, tile.cy, source.Dc(), 0, 0, SRCCOPY);
}

BOOL DrawBitmapStretched(CDC* pDC, CBitmap* pBitmap, const RECT* pRect)
{
    CSize size = GetBitmapSize(pBitmap);
    BitmapDc source(pDC, (HBITMAP)pBitmap->GetSafeHandle());
    if (!source.Ok())
        return FALSE;
    return pDC->StretchBlt(pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top, source.Dc(), 0,
        0, size.cx, size.cy, SRCCOPY);
}

BOOL DrawBitmap(CDC* pDC, CBitmap* pBitmap, const RECT* pRect)
{
    CSize size = GetBitmapSize(pBitmap);
    BitmapDc source(pDC, (HBITMAP)pBitmap->GetSafeHandle());
    if (!source.Ok())
        return FALSE;
    return pDC->BitBlt(pRect->left, pRect->top, size.cx, size.cy, source.Dc(), 0, 0, SRCCOPY);
}

BOOL LoadPaletteResource(UINT nID, CPalette& palette, BOOL bFromBitmap)
{
    HINSTANCE module = bFromBitmap ? platform::GetResourceModuleHandle(platform::ResourceModule::Support)
                                   : AfxFindResourceHandle(MAKEINTRESOURCE(nID), "PALETTE");
    HRSRC found = ::FindResource(module, MAKEINTRESOURCE(nID), bFromBitmap ? RT_BITMAP : "PALETTE");
    if (!found)
        return FALSE;
    DWORD size = ::SizeofResource(module, found);
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    if (!data)
        return FALSE;
    if (bFromBitmap)
        return PaletteFromDib(data, size, palette);

    if (size < 2 * sizeof(WORD))
        return FALSE;
    WORD count;
    std::memcpy(&count, data + sizeof(WORD), sizeof count);
    // The program's buffer holds 256 entries; a larger count in a damaged
    // resource is cut to that, and to what the resource really holds.
    int entries = std::min<int>({count, kMaxPaletteEntries, int((size - 4) / sizeof(PALETTEENTRY))});
    PALETTEENTRY table[kMaxPaletteEntries];
    std::memcpy(table, data + 4, sizeof(PALETTEENTRY) * size_t(std::max(entries, 0)));
    return MakePalette(palette, table, entries);
}
