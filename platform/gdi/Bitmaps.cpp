// Device-dependent bitmaps: creating them, their bits in the device layout
// (rows padded to 16 bits, top-down), loading them from resources, the
// system check-box bitmap, and the class library's CBitmap.

#include "platform/base/Resources.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/Dib.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/PaletteState.h"
#include "platform/gdi/internal/Rop3.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

bool ValidBitmapDepth(int bitsPixel)
{
    return bitsPixel == 1 || bitsPixel == 4 || bitsPixel == 8 || bitsPixel == 16 || bitsPixel == 24 || bitsPixel == 32;
}

// Bytes of one device-dependent row: padded to a whole number of words.
size_t DdbStride(const BitmapObject& b)
{
    return ((size_t(b.pixels.width) * size_t(b.bitsPixel) + 15) / 16) * 2;
}

// One row of the bitmap as a DIB row of its own depth (16 bpp is 5-5-5).
DibFormat RowFormat(const BitmapObject& b)
{
    DibFormat f;
    f.width = b.pixels.width;
    f.height = 1;
    f.topDown = true;
    f.bitCount = b.bitsPixel;
    f.colors = b.colorTable;
    if (b.bitsPixel == 16) {
        f.masks[0] = 0x7C00;
        f.masks[1] = 0x03E0;
        f.masks[2] = 0x001F;
    } else if (b.bitsPixel == 32) {
        f.masks[0] = 0x00FF0000;
        f.masks[1] = 0x0000FF00;
        f.masks[2] = 0x000000FF;
    }
    return f;
}

// The depth and colours of a bitmap made to go with a DC.
void CompatibleFormat(const DeviceContext* dc, int& bitsPixel, std::vector<RGBQUAD>& table)
{
    table.clear();
    if (dc && dc->kind == DcKind::Memory) {
        const BitmapObject* current = CurrentBitmap(*dc);
        bitsPixel = current->bitsPixel;
        table = current->colorTable;
        return;
    }
    if (!dc || dc->kind == DcKind::Screen || dc->kind == DcKind::Window)
        bitsPixel = GetScreenBitsPixel();
    else
        bitsPixel = dc->caps.bitsPixel;
    if (!ValidBitmapDepth(bitsPixel))
        bitsPixel = 32;
    if (bitsPixel <= 8) {
        const std::vector<RGBQUAD>* screen = ScreenColorTable(bitsPixel);
        if (screen)
            table = *screen;
    }
}

// ---- The check-box bitmap ------------------------------------------------

constexpr int kCell = 13;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kFace = 0xC0C0C0;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

// The tick, 7 x 7, drawn from the interior's (1, 1).
constexpr const char* kTick[7] = {
    "......X",
    ".....XX",
    "X...XXX",
    "XX.XXX.",
    "XXXXX..",
    ".XXX...",
    "..X....",
};

void DrawBox(PixelBuffer& px, int left, int top, bool pushed, uint32_t tick)
{
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            uint32_t c;
            if (x == 0 || y == 0)
                c = (x == kCell - 1 || y == kCell - 1) ? kWhite : kShadow;
            else if (x == kCell - 1 || y == kCell - 1)
                c = kWhite;
            else if (x == 1 || y == 1)
                c = (x == kCell - 2 || y == kCell - 2) ? kFace : kBlack;
            else if (x == kCell - 2 || y == kCell - 2)
                c = kFace;
            else
                c = pushed ? kFace : kWhite;
            px.Row(top + y)[left + x] = c;
        }
    }
    if (tick == kWhite)
        return;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            if (kTick[y][x] == 'X')
                px.Row(top + 3 + y)[left + 3 + x] = tick;
}

void DrawRadio(PixelBuffer& px, int left, int top, bool pushed, bool checked)
{
    for (int y = 0; y < kCell - 1; ++y) {
        for (int x = 0; x < kCell - 1; ++x) {
            double d = std::hypot(x + 0.5 - 6.0, y + 0.5 - 6.0);
            bool upperLeft = x + y < 11;
            uint32_t c = kFace;
            if (d <= 2.0 && checked)
                c = kBlack;
            else if (d <= 4.5)
                c = pushed ? kFace : kWhite;
            else if (d <= 5.3)
                c = upperLeft ? kBlack : kFace;
            else if (d <= 6.2)
                c = upperLeft ? kShadow : kWhite;
            px.Row(top + y)[left + x] = c;
        }
    }
}

// The system's layout: four columns of 13 x 13 cells in three rows. Row 0
// holds check boxes (unchecked, checked, pushed, pushed and checked), row 1
// radio buttons in the same order, row 2 three-state boxes (indeterminate,
// then pushed, then both again).
HBITMAP MakeCheckBoxes()
{
    HBITMAP h = CreateBitmapObject(4 * kCell, 3 * kCell, 32, kFace);
    BitmapObject* b = LookupBitmap(h);
    if (!b)
        return NULL;
    PixelBuffer& px = b->pixels;
    for (int col = 0; col < 4; ++col) {
        bool pushed = col >= 2;
        bool checked = (col & 1) != 0;
        DrawBox(px, col * kCell, 0, pushed, checked ? kBlack : kWhite);
        DrawRadio(px, col * kCell, kCell, pushed, checked);
        DrawBox(px, col * kCell, 2 * kCell, (col & 1) != 0, kShadow);
    }
    return h;
}

// A bitmap of the DIB's size at the given format, holding the DIB's pixels
// reduced to the table when there is one.
HBITMAP BitmapFromDib(const DibFormat& f, const uint8_t* bits, size_t bitsSize, int bitsPixel,
    std::vector<RGBQUAD> table)
{
    PixelBuffer image;
    if (!image.Allocate(f.width, f.height))
        return NULL;
    if (f.Compressed()) {
        uint32_t first = f.colors.empty() ? 0 : PixelFromQuad(f.colors[0]);
        std::fill(image.pixels.begin(), image.pixels.end(), first);
    }
    if (!DecodeDib(f, bits, bitsSize, 0, f.height, image))
        return NULL;
    HBITMAP h = CreateBitmapObject(f.width, f.height, bitsPixel, 0, table);
    BitmapObject* b = LookupBitmap(h);
    if (!b)
        return NULL;
    if (bitsPixel <= 8) {
        for (uint32_t& p : image.pixels)
            p = PixelFromQuad(b->colorTable[NearestColorIndex(b->colorTable, p)]);
    }
    b->pixels.pixels.swap(image.pixels);
    return h;
}

} // namespace

// For icons and cursors: a bitmap from a packed DIB already read.
HBITMAP CreateBitmapFromPixels(const PixelBuffer& pixels, int bitsPixel)
{
    HBITMAP h = CreateBitmapObject(pixels.width, pixels.height, bitsPixel, 0);
    BitmapObject* b = LookupBitmap(h);
    if (!b)
        return NULL;
    b->pixels.pixels = pixels.pixels;
    if (bitsPixel <= 8)
        for (uint32_t& p : b->pixels.pixels)
            p = PixelFromQuad(b->colorTable[NearestColorIndex(b->colorTable, p)]);
    return h;
}

} // namespace platform

using namespace platform;

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits)
{
    if (nWidth < 0 || nHeight < 0 || nPlanes != 1 || !ValidBitmapDepth(int(nBitCount))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (nWidth == 0 || nHeight == 0)
        return StockBitmap();
    HBITMAP h = CreateBitmapObject(nWidth, nHeight, int(nBitCount), 0);
    if (h && lpBits) {
        BitmapObject* b = LookupBitmap(h);
        SetBitmapBits(h, DWORD(std::min<size_t>(DdbStride(*b) * size_t(nHeight), 0xFFFFFFFFu)), lpBits);
    }
    return h;
}

HBITMAP CreateBitmapIndirect(const BITMAP* pbm)
{
    if (!pbm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return NULL;
    if (cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (cx == 0 || cy == 0)
        return StockBitmap();
    int bitsPixel;
    std::vector<RGBQUAD> table;
    CompatibleFormat(dc, bitsPixel, table);
    // Sizes past the pixel limits are refused here (NULL), so callers can
    // fall back to something smaller.
    return CreateBitmapObject(cx, cy, bitsPixel, 0, std::move(table));
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* pbmih, DWORD flInit, const void* pjBits, const BITMAPINFO* pbmi,
    UINT iUsage)
{
    DeviceContext* dc = hdc ? LookupDc(hdc) : nullptr;
    if ((hdc && !dc) || !pbmih) {
        if (!pbmih)
            SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    int64_t width;
    int64_t height;
    if (pbmih->biSize == 12) {
        const auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(pbmih);
        width = core->bcWidth;
        height = core->bcHeight;
    } else if (pbmih->biSize >= 40) {
        width = pbmih->biWidth;
        height = pbmih->biHeight < 0 ? -int64_t(pbmih->biHeight) : pbmih->biHeight;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (width <= 0 || height <= 0 || width > PixelBuffer::kMaxSide || height > PixelBuffer::kMaxSide) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    int bitsPixel;
    std::vector<RGBQUAD> table;
    CompatibleFormat(dc, bitsPixel, table);
    HBITMAP h = CreateBitmapObject(int(width), int(height), bitsPixel, 0, std::move(table));
    if (!h || !(flInit & CBM_INIT))
        return h;
    const BITMAPINFO* info = pbmi ? pbmi : reinterpret_cast<const BITMAPINFO*>(pbmih);
    DibFormat f;
    if (!pjBits || !ReadDibFormat(info, size_t(-1) / 2, DibLayout::Info, iUsage, nullptr, f)) {
        DeleteObject(h);
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    HDC scratch = hdc ? hdc : CreateCompatibleDC(NULL);
    int lines = SetDIBits(scratch, h, 0, UINT(f.height), pjBits, info, iUsage);
    if (!hdc)
        DeleteDC(scratch);
    if (lines == 0) {
        DeleteObject(h);
        return NULL;
    }
    return h;
}

LONG GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits)
{
    BitmapObject* b = LookupBitmap(hbit);
    if (!b)
        return 0;
    size_t stride = DdbStride(*b);
    size_t total = stride * size_t(b->pixels.height);
    if (!lpvBits)
        return LONG(std::min<size_t>(total, 0x7FFFFFFF));
    if (cb <= 0)
        return 0;
    size_t wanted = std::min(total, size_t(cb));
    DibFormat f = RowFormat(*b);
    std::vector<uint8_t> row(f.Stride());
    auto* out = static_cast<uint8_t*>(lpvBits);
    for (size_t y = 0; y * stride < wanted; ++y) {
        EncodeDibRow(b->pixels.Row(int(y)), b->pixels.width, f, row.data());
        std::memcpy(out + y * stride, row.data(), std::min(stride, wanted - y * stride));
    }
    return LONG(wanted);
}

LONG SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits)
{
    BitmapObject* b = LookupBitmap(hbm);
    if (!b)
        return 0;
    if (!pvBits) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t stride = DdbStride(*b);
    size_t used = std::min(stride * size_t(b->pixels.height), size_t(cb));
    DibFormat f = RowFormat(*b);
    std::vector<uint8_t> row(f.Stride());
    PixelBuffer line;
    if (!line.Allocate(b->pixels.width, 1))
        return 0;
    const auto* in = static_cast<const uint8_t*>(pvBits);
    for (size_t y = 0; y * stride < used; ++y) {
        // A last, partial row keeps the rest of its pixels.
        uint32_t* target = b->pixels.Row(int(y));
        EncodeDibRow(target, b->pixels.width, f, row.data());
        std::memcpy(row.data(), in + y * stride, std::min(stride, used - y * stride));
        DecodeDib(f, row.data(), row.size(), 0, 1, line);
        std::memcpy(target, line.Row(0), size_t(line.width) * sizeof(uint32_t));
    }
    return LONG(used);
}

HBITMAP LoadBitmap(HINSTANCE hInstance, LPCSTR lpBitmapName)
{
    if (!hInstance && IS_INTRESOURCE(lpBitmapName)) {
        if (WORD(ULONG_PTR(lpBitmapName)) == OBM_CHECKBOXES)
            return MakeCheckBoxes();
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return NULL;
    }
    HRSRC info = FindResource(hInstance, lpBitmapName, RT_BITMAP);
    HGLOBAL data = info ? LoadResource(hInstance, info) : NULL;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        return NULL;
    DibFormat f;
    const uint8_t* bits;
    size_t bitsSize;
    if (!ReadPackedDib(bytes, SizeofResource(hInstance, info), f, bits, bitsSize)) {
        SetLastError(ERROR_INVALID_DATA);
        return NULL;
    }
    // Two-colour pictures stay monochrome; the rest take the screen's format.
    if (f.bitCount == 1)
        return BitmapFromDib(f, bits, bitsSize, 1, {});
    int bitsPixel;
    std::vector<RGBQUAD> table;
    CompatibleFormat(nullptr, bitsPixel, table);
    return BitmapFromDib(f, bits, bitsSize, bitsPixel, std::move(table));
}

// ---- CBitmap ------------------------------------------------------------------------

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    return Attach(::LoadBitmap(AfxFindResourceHandle(lpszResourceName, RT_BITMAP), lpszResourceName));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return LoadBitmap(MAKEINTRESOURCE(nIDResource));
}

BOOL CBitmap::LoadOEMBitmap(UINT nIDBitmap)
{
    return Attach(::LoadBitmap(NULL, MAKEINTRESOURCE(nIDBitmap)));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap)
{
    return Attach(::CreateBitmapIndirect(lpBitmap));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC->GetSafeHdc(), nWidth, nHeight));
}

BOOL CBitmap::CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return CreateCompatibleBitmap(pDC, nWidth, nHeight);
}

DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* lpBits)
{
    return DWORD(::SetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits));
}

DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const
{
    return DWORD(::GetBitmapBits((HBITMAP)m_hObject, LONG(std::min<DWORD>(dwCount, 0x7FFFFFFF)), lpBits));
}
