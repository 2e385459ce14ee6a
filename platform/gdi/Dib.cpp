// Reading and writing device-independent bitmaps, and the calls that move
// DIB bits in and out of bitmaps and onto DCs.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/Dib.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Rop3.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace platform {

namespace {

uint16_t U16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// A channel mask as a shift and a width; false when its bits are not one run.
struct Channel {
    int shift = 0;
    int bits = 0;
};

bool MakeChannel(uint32_t mask, Channel& c)
{
    c = Channel();
    if (mask == 0)
        return true;
    while (((mask >> c.shift) & 1) == 0)
        ++c.shift;
    uint32_t run = mask >> c.shift;
    while (c.bits < 32 && ((run >> c.bits) & 1) != 0)
        ++c.bits;
    return c.bits == 32 || (run >> c.bits) == 0;
}

uint32_t Expand(uint32_t value, const Channel& c)
{
    if (c.bits == 0)
        return 0;
    uint32_t v = c.bits == 32 ? value : (value >> c.shift) & ((1u << c.bits) - 1);
    if (c.bits >= 8)
        return v >> (c.bits - 8);
    uint32_t max = (1u << c.bits) - 1;
    return (v * 255 + max / 2) / max;
}

uint32_t Shrink(uint32_t value8, const Channel& c)
{
    if (c.bits == 0)
        return 0;
    uint32_t v = c.bits >= 8 ? value8 << (c.bits - 8) : value8 >> (8 - c.bits);
    return c.bits == 32 ? v : v << c.shift;
}

bool ValidDepth(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// Palette index lookup for DIB_PAL_COLORS tables.
RGBQUAD PaletteColor(const PaletteObject* palette, uint16_t index)
{
    if (!palette || palette->entries.empty())
        return RGBQUAD{0, 0, 0, 0};
    const PALETTEENTRY& e = index < palette->entries.size() ? palette->entries[index] : palette->entries[0];
    return RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
}

void DecodeRle(const DibFormat& f, const uint8_t* data, size_t size, PixelBuffer& out)
{
    const bool four = f.compression == BI_RLE4;
    int x = 0;
    int y = 0; // from the bottom
    auto put = [&](unsigned index) {
        if (x < f.width && y < f.height) {
            RGBQUAD q = index < f.colors.size() ? f.colors[index] : RGBQUAD{0, 0, 0, 0};
            out.Row(f.height - 1 - y)[x] = PixelFromQuad(q);
        }
        ++x;
    };
    size_t pos = 0;
    while (pos + 1 < size && y < f.height) {
        unsigned count = data[pos];
        unsigned value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < f.width; ++i)
                put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // delta
            if (pos + 1 >= size)
                return;
            // Past the right edge is as good as anywhere beyond it.
            x = std::min(x + data[pos], f.width);
            y += data[pos + 1];
            pos += 2;
        } else { // a literal run, padded to a 16-bit boundary
            size_t bytes = four ? (value + 1) / 2 : value;
            if (pos + bytes > size)
                return;
            for (unsigned i = 0; i < value; ++i) {
                unsigned b = data[pos + (four ? i / 2 : i)];
                if (x < f.width)
                    put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            pos += bytes + (bytes & 1);
        }
    }
}

} // namespace

bool ReadDibFormat(const void* data, size_t size, DibLayout layout, UINT usage, const PaletteObject* palette,
    DibFormat& out)
{
    out = DibFormat();
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p || size < 4 || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS))
        return false;
    uint32_t headerSize = U32(p);
    bool core = headerSize == 12;
    // 16 and 64 are the short and full forms of the second OS/2 header,
    // whose fields beyond the ones given count as zero.
    bool os2 = headerSize == 16 || headerSize == 64;
    if (!core && !os2 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108
        && headerSize != 124)
        return false;
    if (size < headerSize)
        return false;

    int64_t width;
    int64_t height;
    int planes;
    uint32_t clrUsed = 0;
    if (core) {
        width = U16(p + 4);
        height = U16(p + 6);
        planes = U16(p + 8);
        out.bitCount = U16(p + 10);
    } else {
        uint8_t h[40] = {};
        std::memcpy(h, p, std::min<size_t>(headerSize, 40));
        width = int32_t(U32(h + 4));
        height = int32_t(U32(h + 8));
        planes = U16(h + 12);
        out.bitCount = U16(h + 14);
        out.compression = U32(h + 16);
        out.imageBytes = U32(h + 20);
        clrUsed = U32(h + 32);
        // The OS/2 header numbers its own compressions: 3 and 4 are Huffman
        // and RLE24 there, which no one here writes.
        if (os2 && out.compression >= BI_BITFIELDS)
            return false;
    }
    if (planes != 1 || !ValidDepth(out.bitCount))
        return false;
    if (height < 0) {
        out.topDown = true;
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > PixelBuffer::kMaxSide || height > PixelBuffer::kMaxSide
        || width * height > PixelBuffer::kMaxPixels)
        return false;
    out.width = int(width);
    out.height = int(height);

    switch (out.compression) {
    case BI_RGB:
        break;
    case BI_BITFIELDS:
        if (out.bitCount != 16 && out.bitCount != 32)
            return false;
        break;
    case BI_RLE8:
        if (out.bitCount != 8 || out.topDown)
            return false;
        break;
    case BI_RLE4:
        if (out.bitCount != 4 || out.topDown)
            return false;
        break;
    default:
        return false;
    }

    out.headerBytes = headerSize;
    if (out.compression == BI_BITFIELDS) {
        if (headerSize == 40) {
            // The three masks follow a plain info header.
            if (size < 52)
                return false;
            out.headerBytes = 52;
            for (int i = 0; i < 3; ++i)
                out.masks[i] = U32(p + 40 + 4 * i);
        } else {
            for (int i = 0; i < 3; ++i)
                out.masks[i] = U32(p + 40 + 4 * i);
            if (headerSize >= 56)
                out.masks[3] = U32(p + 52);
        }
        if ((out.masks[0] | out.masks[1] | out.masks[2]) == 0)
            return false;
        Channel c;
        for (uint32_t m : out.masks)
            if (!MakeChannel(m, c))
                return false;
    } else if (out.bitCount == 16) {
        out.masks[0] = 0x7C00;
        out.masks[1] = 0x03E0;
        out.masks[2] = 0x001F;
    } else if (out.bitCount == 32) {
        out.masks[0] = 0x00FF0000;
        out.masks[1] = 0x0000FF00;
        out.masks[2] = 0x000000FF;
        out.masks[3] = 0xFF000000;
    }

    size_t entrySize = usage == DIB_PAL_COLORS ? 2 : (core ? 3 : 4);
    size_t maxColors = out.bitCount <= 8 ? size_t(1) << out.bitCount : 0;
    size_t declared = core ? maxColors : (clrUsed ? size_t(clrUsed) : maxColors);
    size_t used = std::min(declared, maxColors);
    if (layout == DibLayout::Packed) {
        // Deep DIBs may carry a table for palette devices; it is skipped.
        if (declared > (size - out.headerBytes) / entrySize)
            return false;
        out.tableBytes = declared * entrySize;
    } else {
        out.tableBytes = used * entrySize;
        if (out.tableBytes > size - out.headerBytes)
            return false;
    }
    const uint8_t* table = p + out.headerBytes;
    out.colors.reserve(used);
    for (size_t i = 0; i < used; ++i) {
        const uint8_t* e = table + i * entrySize;
        if (usage == DIB_PAL_COLORS)
            out.colors.push_back(PaletteColor(palette, U16(e)));
        else
            out.colors.push_back(RGBQUAD{e[0], e[1], e[2], 0});
    }
    return true;
}

bool ReadPackedDib(const void* data, size_t size, DibFormat& out, const uint8_t*& bits, size_t& bitsSize)
{
    if (!ReadDibFormat(data, size, DibLayout::Packed, DIB_RGB_COLORS, nullptr, out))
        return false;
    size_t offset = out.headerBytes + out.tableBytes;
    if (offset > size)
        return false;
    bits = static_cast<const uint8_t*>(data) + offset;
    bitsSize = size - offset;
    if (out.Compressed()) {
        if (out.imageBytes != 0 && out.imageBytes < bitsSize)
            bitsSize = out.imageBytes;
        return true;
    }
    return bitsSize >= DibBitsSize(out, out.height);
}

size_t DibBitsSize(const DibFormat& f, int scans)
{
    return f.Stride() * size_t(std::max(scans, 0));
}

bool DecodeDib(const DibFormat& f, const uint8_t* bits, size_t bitsSize, int firstScan, int scans, PixelBuffer& out,
    std::vector<uint8_t>* alpha)
{
    if (out.width != f.width || out.height != f.height || !bits)
        return false;
    if (alpha)
        alpha->assign(size_t(f.width) * size_t(f.height), 0);
    if (f.Compressed()) {
        DecodeRle(f, bits, bitsSize, out);
        return true;
    }
    if (firstScan < 0 || scans < 0 || firstScan > f.height)
        return false;
    scans = std::min(scans, f.height - firstScan);
    size_t stride = f.Stride();
    if (bitsSize < DibBitsSize(f, scans))
        return false;

    Channel ch[4];
    for (int i = 0; i < 4; ++i)
        MakeChannel(f.masks[i], ch[i]);
    auto color = [&](unsigned index) {
        return index < f.colors.size() ? PixelFromQuad(f.colors[index]) : 0u;
    };
    for (int s = 0; s < scans; ++s) {
        const uint8_t* in = bits + size_t(s) * stride;
        int y = f.topDown ? firstScan + s : f.height - 1 - (firstScan + s);
        uint32_t* row = out.Row(y);
        uint8_t* a = alpha ? alpha->data() + size_t(y) * size_t(f.width) : nullptr;
        switch (f.bitCount) {
        case 1:
            for (int x = 0; x < f.width; ++x)
                row[x] = color((in[x >> 3] >> (7 - (x & 7))) & 1);
            break;
        case 4:
            for (int x = 0; x < f.width; ++x)
                row[x] = color((x & 1) ? (in[x >> 1] & 0x0F) : (in[x >> 1] >> 4));
            break;
        case 8:
            for (int x = 0; x < f.width; ++x)
                row[x] = color(in[x]);
            break;
        case 16:
            for (int x = 0; x < f.width; ++x) {
                uint32_t v = U16(in + 2 * x);
                row[x] = (Expand(v, ch[0]) << 16) | (Expand(v, ch[1]) << 8) | Expand(v, ch[2]);
            }
            break;
        case 24:
            for (int x = 0; x < f.width; ++x) {
                const uint8_t* px = in + 3 * x;
                row[x] = (uint32_t(px[2]) << 16) | (uint32_t(px[1]) << 8) | px[0];
            }
            break;
        case 32:
            for (int x = 0; x < f.width; ++x) {
                uint32_t v = U32(in + 4 * x);
                row[x] = (Expand(v, ch[0]) << 16) | (Expand(v, ch[1]) << 8) | Expand(v, ch[2]);
                if (a)
                    a[x] = uint8_t(Expand(v, ch[3]));
            }
            break;
        default:
            return false;
        }
    }
    return true;
}

void EncodeDibRow(const uint32_t* pixels, int width, const DibFormat& f, uint8_t* out)
{
    std::memset(out, 0, f.Stride());
    uint32_t lastPixel = 0xFFFFFFFF;
    unsigned lastIndex = 0;
    auto index = [&](uint32_t p) {
        if (p != lastPixel) {
            lastPixel = p;
            lastIndex = f.colors.empty() ? 0 : unsigned(NearestColorIndex(f.colors, p));
        }
        return lastIndex;
    };
    Channel ch[3];
    for (int i = 0; i < 3; ++i)
        MakeChannel(f.masks[i], ch[i]);
    for (int x = 0; x < width; ++x) {
        uint32_t p = pixels[x] & 0x00FFFFFF;
        uint32_t r = (p >> 16) & 0xFF;
        uint32_t g = (p >> 8) & 0xFF;
        uint32_t b = p & 0xFF;
        switch (f.bitCount) {
        case 1:
            out[x >> 3] |= uint8_t((index(p) & 1) << (7 - (x & 7)));
            break;
        case 4:
            out[x >> 1] |= uint8_t((index(p) & 0x0F) << ((x & 1) ? 0 : 4));
            break;
        case 8:
            out[x] = uint8_t(index(p));
            break;
        case 16: {
            uint32_t v = Shrink(r, ch[0]) | Shrink(g, ch[1]) | Shrink(b, ch[2]);
            out[2 * x] = uint8_t(v);
            out[2 * x + 1] = uint8_t(v >> 8);
            break;
        }
        case 24:
            out[3 * x] = uint8_t(b);
            out[3 * x + 1] = uint8_t(g);
            out[3 * x + 2] = uint8_t(r);
            break;
        case 32: {
            uint32_t v = Shrink(r, ch[0]) | Shrink(g, ch[1]) | Shrink(b, ch[2]);
            std::memcpy(out + 4 * x, &v, 4);
            break;
        }
        default:
            break;
        }
    }
}

} // namespace platform

using namespace platform;

namespace {

// The API's BITMAPINFO: header sizes it accepts for output.
bool WritableHeader(DWORD size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// The colour table GetDIBits reports for a depth: the bitmap's own when the
// depths agree, else the default one of that depth.
std::vector<RGBQUAD> TableFor(const BitmapObject& bitmap, int bitCount)
{
    if (bitCount > 8)
        return {};
    std::vector<RGBQUAD> table;
    if (bitmap.bitsPixel == bitCount && !bitmap.colorTable.empty())
        table = bitmap.colorTable;
    else
        table = DefaultColorTable(bitCount);
    table.resize(size_t(1) << bitCount, RGBQUAD{0, 0, 0, 0});
    return table;
}

// Writes the colour table (or the masks) after the header of lpbmi.
void WriteTable(LPBITMAPINFO lpbmi, const DibFormat& f, UINT usage)
{
    auto* base = reinterpret_cast<uint8_t*>(lpbmi);
    DWORD headerSize = lpbmi->bmiHeader.biSize;
    if (f.bitCount > 8) {
        if (f.compression == BI_BITFIELDS && headerSize == 40)
            std::memcpy(base + 40, f.masks, 12);
        return;
    }
    uint8_t* table = base + headerSize;
    for (size_t i = 0; i < f.colors.size(); ++i) {
        const RGBQUAD& q = f.colors[i];
        if (usage == DIB_PAL_COLORS) {
            uint16_t index = uint16_t(i);
            std::memcpy(table + 2 * i, &index, 2);
        } else if (headerSize == 12) {
            table[3 * i] = q.rgbBlue;
            table[3 * i + 1] = q.rgbGreen;
            table[3 * i + 2] = q.rgbRed;
        } else {
            std::memcpy(table + 4 * i, &q, 4);
        }
    }
}

// Reads a caller's BITMAPINFO for the bits that go with it.
bool ReadInfo(HDC hdc, const BITMAPINFO* lpbmi, UINT usage, DibFormat& f)
{
    if (!lpbmi) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const PaletteObject* palette = nullptr;
    if (usage == DIB_PAL_COLORS) {
        DeviceContext* dc = LookupDc(hdc);
        if (!dc)
            return false;
        palette = &CurrentPalette(*dc);
    }
    if (!ReadDibFormat(lpbmi, std::numeric_limits<size_t>::max() / 2, DibLayout::Info, usage, palette, f)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

// Decodes the scans given into a whole-image buffer; the rows they fill.
bool DecodeScans(const DibFormat& f, const void* bits, int firstScan, int scans, PixelBuffer& image, RECT& rows,
    std::vector<uint8_t>* alpha = nullptr)
{
    if (!bits || !image.Allocate(f.width, f.height))
        return false;
    if (f.Compressed()) {
        // The caller's buffer holds the whole stream; its size is in the header.
        size_t size = f.imageBytes ? f.imageBytes : DibBitsSize(f, f.height);
        DecodeDib(f, static_cast<const uint8_t*>(bits), size, 0, f.height, image);
        rows = RECT{0, 0, f.width, f.height};
        return true;
    }
    firstScan = std::clamp(firstScan, 0, f.height);
    scans = std::clamp(scans, 0, f.height - firstScan);
    if (!DecodeDib(f, static_cast<const uint8_t*>(bits), DibBitsSize(f, scans), firstScan, scans, image, alpha))
        return false;
    if (f.topDown)
        rows = RECT{0, firstScan, f.width, firstScan + scans};
    else
        rows = RECT{0, f.height - firstScan - scans, f.width, f.height - firstScan};
    return true;
}

// Puts the decoded alpha of `rows` (a DIB `width` pixels wide) into the
// bitmap's plane. Rows written without alpha become opaque; a plane that
// ends up all opaque is dropped.
void StoreAlpha(BitmapObject& bitmap, const std::vector<uint8_t>& alpha, int width, const RECT& rows)
{
    const PixelBuffer& px = bitmap.pixels;
    bool any = std::any_of(alpha.begin(), alpha.end(), [](uint8_t a) { return a != 0; });
    if (!any && bitmap.alpha.empty())
        return;
    if (bitmap.alpha.size() != px.pixels.size())
        bitmap.alpha.assign(px.pixels.size(), 0xFF);
    int right = std::min(px.width, width);
    int bottom = std::min(int(rows.bottom), px.height);
    for (int y = std::max(0, int(rows.top)); y < bottom; ++y) {
        uint8_t* out = bitmap.alpha.data() + size_t(y) * size_t(px.width);
        if (!any) {
            std::fill(out, out + right, uint8_t(0xFF));
            continue;
        }
        std::memcpy(out, alpha.data() + size_t(y) * size_t(width), size_t(right));
    }
    if (std::all_of(bitmap.alpha.begin(), bitmap.alpha.end(), [](uint8_t a) { return a == 0xFF; }))
        bitmap.alpha.clear();
}

} // namespace

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage)
{
    DeviceContext* dc = LookupDc(hdc);
    BitmapObject* bitmap = dc ? LookupBitmap(hbm) : nullptr;
    if (!bitmap)
        return 0;
    if (!lpbmi || !WritableHeader(lpbmi->bmiHeader.biSize) || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int width = bitmap->pixels.width;
    const int height = bitmap->pixels.height;
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    bool core = h.biSize == 12;
    auto* coreHeader = reinterpret_cast<BITMAPCOREHEADER*>(lpbmi);
    int bitCount = core ? coreHeader->bcBitCount : h.biBitCount;

    if (!lpvBits && bitCount == 0) {
        // The query form: the bitmap's own format, no colour table.
        if (core) {
            coreHeader->bcWidth = WORD(width);
            coreHeader->bcHeight = WORD(height);
            coreHeader->bcPlanes = 1;
            coreHeader->bcBitCount = WORD(bitmap->bitsPixel);
            return height;
        }
        DWORD size = h.biSize;
        std::memset(&h, 0, sizeof(BITMAPINFOHEADER));
        h.biSize = size;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = WORD(bitmap->bitsPixel);
        h.biCompression = BI_RGB;
        h.biSizeImage = DWORD(((size_t(width) * size_t(bitmap->bitsPixel) + 31) / 32) * 4 * size_t(height));
        return height;
    }

    DibFormat f;
    f.width = width;
    f.height = height;
    f.bitCount = bitCount;
    f.compression = core ? BI_RGB : h.biCompression;
    if (!ValidDepth(bitCount) || (f.compression != BI_RGB && f.compression != BI_BITFIELDS)
        || (f.compression == BI_BITFIELDS && bitCount != 16 && bitCount != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    f.topDown = !core && h.biHeight < 0;
    if (bitCount == 16) {
        bool bitfields = f.compression == BI_BITFIELDS;
        f.masks[0] = bitfields ? 0xF800 : 0x7C00;
        f.masks[1] = bitfields ? 0x07E0 : 0x03E0;
        f.masks[2] = 0x001F;
    } else if (bitCount == 32) {
        f.masks[0] = 0x00FF0000;
        f.masks[1] = 0x0000FF00;
        f.masks[2] = 0x000000FF;
    }
    if (f.compression == BI_BITFIELDS && lpvBits) {
        // The caller's own masks (after a plain header, inside a longer one)
        // when they make sense; the usual ones otherwise.
        uint32_t given[3];
        std::memcpy(given, reinterpret_cast<const uint8_t*>(lpbmi) + 40, sizeof given);
        Channel c;
        bool usable = true;
        for (uint32_t m : given)
            usable = usable && m != 0 && MakeChannel(m, c) && (bitCount == 32 || m <= 0xFFFF);
        if (usable)
            std::copy(given, given + 3, f.masks);
    }
    f.colors = usage == DIB_PAL_COLORS ? std::vector<RGBQUAD>() : TableFor(*bitmap, bitCount);
    if (usage == DIB_PAL_COLORS && bitCount <= 8) {
        const PaletteObject& palette = CurrentPalette(*dc);
        for (size_t i = 0; i < (size_t(1) << bitCount); ++i)
            f.colors.push_back(PaletteColor(&palette, uint16_t(i)));
    }
    WriteTable(lpbmi, f, usage);
    if (core) {
        coreHeader->bcWidth = WORD(width);
        coreHeader->bcHeight = WORD(height);
        coreHeader->bcPlanes = 1;
    } else {
        h.biWidth = width;
        h.biHeight = f.topDown ? -height : height;
        h.biPlanes = 1;
        h.biSizeImage = DWORD(DibBitsSize(f, height));
        h.biClrUsed = 0;
    }
    if (!lpvBits)
        return height;

    if (start >= UINT(height))
        return 0;
    int scans = int(std::min<UINT>(cLines, UINT(height) - start));
    auto* out = static_cast<uint8_t*>(lpvBits);
    for (int s = 0; s < scans; ++s) {
        int scan = int(start) + s;
        int y = f.topDown ? scan : height - 1 - scan;
        uint8_t* row = out + size_t(s) * f.Stride();
        EncodeDibRow(bitmap->pixels.Row(y), width, f, row);
        // A bitmap that holds alpha gives it back in the byte a plain 32-bit
        // DIB leaves for it.
        if (bitCount == 32 && f.compression == BI_RGB && bitmap->alpha.size() == bitmap->pixels.pixels.size()) {
            const uint8_t* a = bitmap->alpha.data() + size_t(y) * size_t(width);
            for (int x = 0; x < width; ++x)
                row[4 * x + 3] = a[x];
        }
    }
    return scans;
}

int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits, const BITMAPINFO* lpbmi, UINT ColorUse)
{
    BitmapObject* bitmap = LookupBitmap(hbm);
    DibFormat f;
    if (!bitmap || !ReadInfo(hdc, lpbmi, ColorUse, f))
        return 0;
    if (start > UINT(f.height))
        return 0;
    int scans = int(std::min<UINT>(cLines, UINT(f.height) - start));
    PixelBuffer image;
    RECT rows;
    // Alpha bytes of a 32-bit DIB are kept with a 32-bit bitmap for
    // AlphaBlend; a DIB whose alpha bytes are all zero carries none.
    bool keepAlpha = f.bitCount == 32 && bitmap->bitsPixel == 32 && f.masks[3] != 0 && !f.Compressed();
    std::vector<uint8_t> alpha;
    if (!DecodeScans(f, lpBits, int(start), scans, image, rows, keepAlpha ? &alpha : nullptr))
        return 0;
    PixelBuffer& px = bitmap->pixels;
    if (bitmap->bitsPixel == 32)
        StoreAlpha(*bitmap, alpha, f.width, rows);
    const std::vector<RGBQUAD>* table = bitmap->bitsPixel <= 8 && !bitmap->colorTable.empty() ? &bitmap->colorTable : nullptr;
    int right = std::min(px.width, f.width);
    int bottom = std::min(int(rows.bottom), px.height);
    uint32_t lastIn = 0xFFFFFFFF;
    uint32_t lastOut = 0;
    for (int y = rows.top; y < bottom; ++y) {
        const uint32_t* in = image.Row(y);
        uint32_t* out = px.Row(y);
        for (int x = 0; x < right; ++x) {
            uint32_t p = in[x];
            if (table) {
                if (p != lastIn) {
                    lastIn = p;
                    lastOut = PixelFromQuad((*table)[NearestColorIndex(*table, p)]);
                }
                p = lastOut;
            }
            out[x] = p;
        }
    }
    return f.Compressed() ? f.height : scans;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan, UINT cLines,
    const void* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse)
{
    DeviceContext* dc = LookupDc(hdc);
    DibFormat f;
    if (!dc || !ReadInfo(hdc, lpbmi, ColorUse, f))
        return 0;
    if (StartScan > UINT(f.height))
        return 0;
    int scans = int(std::min<UINT>(cLines, UINT(f.height) - StartScan));
    int width = int(std::min<DWORD>(w, DWORD(PixelBuffer::kMaxSide)));
    int height = int(std::min<DWORD>(h, DWORD(PixelBuffer::kMaxSide)));
    PixelBuffer image;
    RECT rows;
    if (!DecodeScans(f, lpvBits, int(StartScan), scans, image, rows))
        return 0;
    // The source corner is the lower left of a bottom-up DIB.
    int top = f.topDown ? ySrc : f.height - ySrc - height;
    POINT p = LogicalToDevice(dc->state, POINT{xDest, yDest});
    BlitRect dst{p.x, p.y, width, height};
    BlitRect src{xSrc, top, width, height};
    if (dc->vector) {
        PixelBuffer part;
        if (part.Allocate(width, height)) {
            std::vector<uint8_t> alpha(size_t(width) * size_t(height), 0);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    if (x + xSrc >= 0 && x + xSrc < f.width && y + top >= rows.top && y + top < rows.bottom) {
                        part.Row(y)[x] = image.Row(y + top)[x + xSrc];
                        alpha[size_t(y) * size_t(width) + size_t(x)] = 0xFF;
                    }
            PaintImageOnVector(*dc, dst, part, src, &alpha);
        }
        return f.Compressed() ? f.height : scans;
    }
    RasterTarget target;
    if (AcquireRaster(*dc, target)) {
        BlitSource source;
        source.buffer = &image;
        source.bounds = rows;
        StretchRaster(*dc, target, dst, &source, src, SRCCOPY);
    }
    return f.Compressed() ? f.height : scans;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
    int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return 0;
    BlitRect dst = DeviceBlitRect(dc->state, xDest, yDest, DestWidth, DestHeight);
    if (!Rop3UsesSource(Rop3Code(rop))) {
        // Nothing of the DIB is read; the operation alone paints.
        if (!PatBlt(hdc, xDest, yDest, DestWidth, DestHeight, rop))
            return 0;
        return std::abs(SrcHeight);
    }
    DibFormat f;
    if (!ReadInfo(hdc, lpbmi, iUsage, f))
        return 0;
    PixelBuffer image;
    RECT rows;
    if (!DecodeScans(f, lpBits, 0, f.height, image, rows))
        return 0;
    // A bottom-up DIB counts its rows from the bottom.
    int64_t top = f.topDown ? int64_t(ySrc) : int64_t(f.height) - ySrc - SrcHeight;
    if (top < std::numeric_limits<int>::min() / 2 || top > std::numeric_limits<int>::max() / 2)
        return 0;
    BlitRect src{xSrc, int(top), SrcWidth, SrcHeight};
    if (dc->vector) {
        int sw = std::abs(SrcWidth);
        int sh = std::abs(SrcHeight);
        int sLeft = SpanStart(xSrc, SrcWidth);
        int sTop = SpanStart(int(top), SrcHeight);
        PixelBuffer part;
        if (part.Allocate(sw, sh)) {
            std::vector<uint8_t> alpha(size_t(sw) * size_t(sh), 0);
            for (int y = 0; y < sh; ++y)
                for (int x = 0; x < sw; ++x)
                    if (image.Contains(sLeft + x, sTop + y)) {
                        part.Row(y)[x] = image.Row(sTop + y)[sLeft + x];
                        alpha[size_t(y) * size_t(sw) + size_t(x)] = 0xFF;
                    }
            PaintImageOnVector(*dc, dst, part, src, &alpha);
        }
        return std::abs(SrcHeight);
    }
    RasterTarget target;
    if (AcquireRaster(*dc, target)) {
        BlitSource source;
        source.buffer = &image;
        source.bounds = rows;
        StretchRaster(*dc, target, dst, &source, src, rop);
    }
    return std::abs(SrcHeight);
}
