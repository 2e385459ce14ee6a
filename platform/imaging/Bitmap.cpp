// Bitmap records: size checks, allocation, copies and pixel packing.

#include "platform/imaging/ImagingInternal.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <utility>

namespace platform::imaging {

bool ValidDepth(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

int RowBytes(int width, int bitsPerPixel)
{
    if (width < 0 || bitsPerPixel <= 0)
        return 0;
    long long bits = static_cast<long long>(width) * bitsPerPixel;
    long long bytes = ((bits + 31) / 32) * 4;
    return bytes > std::numeric_limits<int>::max() ? 0 : static_cast<int>(bytes);
}

bool SizeAllowed(long long width, long long height)
{
    return width >= 0 && height >= 0 && width <= LT_MAX_SIDE && height <= LT_MAX_SIDE
        && width * height <= LT_MAX_PIXELS;
}

namespace {

uint32_t Key(const uint8_t* p)
{
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

RGBQUAD QuadOf(uint32_t key)
{
    return RGBQUAD { BYTE(key), BYTE(key >> 8), BYTE(key >> 16), 0 };
}

int Distance(uint32_t a, uint32_t b)
{
    int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
    int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
    int db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

// Builds the palette of an indexed picture and the index of every colour.
bool BuildPalette(const uint8_t* rgba, size_t count, int bitsPerPixel, PaletteFit fit,
    std::vector<RGBQUAD>& palette, std::unordered_map<uint32_t, uint8_t>& index)
{
    const size_t capacity = size_t(1) << bitsPerPixel;
    std::vector<uint32_t> colours;
    bool allGrey = true;
    bool overflow = false;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = rgba + 4 * i;
        uint32_t k = Key(p);
        if (index.count(k))
            continue;
        allGrey = allGrey && p[0] == p[1] && p[1] == p[2];
        if (colours.size() == capacity) {
            if (fit == PaletteFit::Exact)
                return false;
            overflow = true;
            index.emplace(k, 0); // placed below
            continue;
        }
        index.emplace(k, uint8_t(colours.size()));
        colours.push_back(k);
    }

    palette.assign(capacity, RGBQUAD { 0, 0, 0, 0 });
    if (allGrey && !overflow && bitsPerPixel == 8) {
        // A grey picture keeps the level as its index, as grey files store it.
        for (size_t i = 0; i < 256; ++i)
            palette[i] = QuadOf(uint32_t(i) * 0x010101u);
        for (auto& [k, v] : index)
            v = uint8_t(k & 0xFF);
        return true;
    }
    if (allGrey && !overflow) {
        std::sort(colours.begin(), colours.end());
        for (size_t i = 0; i < colours.size(); ++i)
            index[colours[i]] = uint8_t(i);
    }
    for (size_t i = 0; i < colours.size(); ++i)
        palette[i] = QuadOf(colours[i]);
    if (overflow) {
        for (auto& [k, v] : index) {
            if (std::find(colours.begin(), colours.end(), k) != colours.end())
                continue;
            int best = 0;
            for (size_t i = 1; i < colours.size(); ++i) {
                if (Distance(k, colours[i]) < Distance(k, colours[best]))
                    best = int(i);
            }
            v = uint8_t(best);
        }
    }
    return true;
}

} // namespace

bool PackRgba(const uint8_t* rgba, int width, int height, int bitsPerPixel, int order, PaletteFit fit,
    LTBITMAP& bitmap)
{
    if (!ValidDepth(bitsPerPixel) || !SizeAllowed(width, height))
        return false;
    const int stride = RowBytes(width, bitsPerPixel);
    const size_t count = size_t(width) * size_t(height);
    std::vector<RGBQUAD> palette;
    std::unordered_map<uint32_t, uint8_t> index;
    if (bitsPerPixel <= 8 && !BuildPalette(rgba, count, bitsPerPixel, fit, palette, index))
        return false;

    std::vector<BYTE> pixels(size_t(stride) * size_t(height), 0);
    const bool bgr = order != LT_ORDER_RGB;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rgba + size_t(y) * size_t(width) * 4;
        BYTE* out = pixels.data() + size_t(y) * size_t(stride);
        for (int x = 0; x < width; ++x, in += 4) {
            switch (bitsPerPixel) {
            case 1:
                out[x >> 3] |= BYTE((index[Key(in)] & 1) << (7 - (x & 7)));
                break;
            case 4:
                out[x >> 1] |= BYTE((index[Key(in)] & 0x0F) << ((x & 1) ? 0 : 4));
                break;
            case 8:
                out[x] = index[Key(in)];
                break;
            case 16: {
                unsigned v = unsigned(in[0] >> 3) << 10 | unsigned(in[1] >> 3) << 5 | unsigned(in[2] >> 3);
                out[2 * x] = BYTE(v);
                out[2 * x + 1] = BYTE(v >> 8);
                break;
            }
            case 24:
            case 32: {
                BYTE* px = out + x * (bitsPerPixel / 8);
                px[0] = bgr ? in[2] : in[0];
                px[1] = in[1];
                px[2] = bgr ? in[0] : in[2];
                if (bitsPerPixel == 32)
                    px[3] = in[3];
                break;
            }
            default:
                break;
            }
        }
    }
    bitmap.Width = width;
    bitmap.Height = height;
    bitmap.BitsPerPixel = bitsPerPixel;
    bitmap.BytesPerLine = stride;
    bitmap.Order = bgr ? LT_ORDER_BGR : LT_ORDER_RGB;
    bitmap.Palette = std::move(palette);
    bitmap.Pixels = std::move(pixels);
    bitmap.Flags |= LT_BITMAP_ALLOCATED;
    return true;
}

void PixelRgba(const LTBITMAP& bitmap, int x, int y, uint8_t out[4])
{
    const BYTE* row = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.BytesPerLine);
    auto fromPalette = [&](unsigned i) {
        RGBQUAD q = i < bitmap.Palette.size() ? bitmap.Palette[i] : RGBQUAD { 0, 0, 0, 0 };
        out[0] = q.rgbRed;
        out[1] = q.rgbGreen;
        out[2] = q.rgbBlue;
        out[3] = 255;
    };
    switch (bitmap.BitsPerPixel) {
    case 1:
        fromPalette((row[x >> 3] >> (7 - (x & 7))) & 1);
        break;
    case 4:
        fromPalette((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
        break;
    case 8:
        fromPalette(row[x]);
        break;
    case 16: {
        unsigned v = unsigned(row[2 * x]) | unsigned(row[2 * x + 1]) << 8;
        auto expand = [](unsigned c) { return uint8_t((c << 3) | (c >> 2)); };
        out[0] = expand((v >> 10) & 0x1F);
        out[1] = expand((v >> 5) & 0x1F);
        out[2] = expand(v & 0x1F);
        out[3] = 255;
        break;
    }
    case 24:
    case 32: {
        const BYTE* px = row + x * (bitmap.BitsPerPixel / 8);
        bool bgr = bitmap.Order != LT_ORDER_RGB;
        out[0] = bgr ? px[2] : px[0];
        out[1] = px[1];
        out[2] = bgr ? px[0] : px[2];
        out[3] = bitmap.BitsPerPixel == 32 ? px[3] : 255;
        break;
    }
    default:
        out[0] = out[1] = out[2] = 0;
        out[3] = 255;
        break;
    }
}

bool Usable(const LTBITMAP& bitmap)
{
    return (bitmap.Flags & LT_BITMAP_ALLOCATED) && ValidDepth(bitmap.BitsPerPixel) && bitmap.Width > 0
        && bitmap.Height > 0 && SizeAllowed(bitmap.Width, bitmap.Height)
        && bitmap.BytesPerLine >= RowBytes(bitmap.Width, bitmap.BitsPerPixel) && RowBytes(bitmap.Width, bitmap.BitsPerPixel) > 0
        && bitmap.Pixels.size() >= size_t(bitmap.BytesPerLine) * size_t(bitmap.Height);
}

} // namespace platform::imaging

using namespace platform::imaging;

int LtInitBitmap(pLTBITMAP bitmap, int width, int height, int bitsPerPixel)
{
    if (!bitmap)
        return LT_ERR_BAD_BITMAP;
    if (!ValidDepth(bitsPerPixel) || width < 0 || height < 0)
        return LT_ERR_BAD_PARAM;
    if (!SizeAllowed(width, height))
        return LT_ERR_NO_MEMORY;
    *bitmap = LTBITMAP {};
    bitmap->Width = width;
    bitmap->Height = height;
    bitmap->BitsPerPixel = bitsPerPixel;
    bitmap->BytesPerLine = RowBytes(width, bitsPerPixel);
    return LT_SUCCESS;
}

int LtAllocateBitmap(pLTBITMAP bitmap, int width, int height, int bitsPerPixel)
{
    int result = LtInitBitmap(bitmap, width, height, bitsPerPixel);
    if (result != LT_SUCCESS)
        return result;
    if (bitsPerPixel <= 8) {
        const int n = 1 << bitsPerPixel;
        bitmap->Palette.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            BYTE level = BYTE(i * 255 / (n - 1));
            bitmap->Palette[size_t(i)] = RGBQUAD { level, level, level, 0 };
        }
    }
    bitmap->Pixels.assign(size_t(bitmap->BytesPerLine) * size_t(height), 0);
    bitmap->Flags |= LT_BITMAP_ALLOCATED;
    return LT_SUCCESS;
}

void LtFreeBitmap(pLTBITMAP bitmap)
{
    if (!bitmap)
        return;
    std::vector<BYTE>().swap(bitmap->Pixels);
    bitmap->Flags &= BYTE(~LT_BITMAP_ALLOCATED);
}

int LtCopyBitmap(pLTBITMAP destination, const LTBITMAP* source)
{
    if (!destination || !source || !(source->Flags & LT_BITMAP_ALLOCATED))
        return LT_ERR_BAD_BITMAP;
    if (destination == source)
        return LT_SUCCESS;
    LtFreeBitmap(destination);
    *destination = *source;
    return LT_SUCCESS;
}
