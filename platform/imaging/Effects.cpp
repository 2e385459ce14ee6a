// Pixel operations on bitmap records: mirrors, rotation, resizing,
// combining, averaging, mosaic, brightness and the spatial filters.
//
// Operations that only move pixels (mirrors, quarter turns, resizing by
// nearest pixel) keep every depth. Operations that mix colours turn 1-, 4-
// and 8-bit records into 24-bit ones, since a mixed colour is seldom in the
// palette; 16-, 24- and 32-bit records keep their depth, and 32-bit ones
// their alpha. Brightness on a palette record changes the palette alone.

#include "platform/imaging/FilterSupport.h"
#include "platform/imaging/ImagingInternal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace platform::imaging {

namespace {

// A pixel as its stored value: a palette index, a 5-5-5 word or the colour
// bytes of 24 and 32 bits.
uint32_t GetRaw(const LTBITMAP& b, int x, int y)
{
    const BYTE* row = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine);
    switch (b.BitsPerPixel) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case 8:
        return row[x];
    case 16:
        return uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
    case 24: {
        const BYTE* p = row + size_t(x) * 3;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
    default: {
        uint32_t v;
        std::memcpy(&v, row + size_t(x) * 4, 4);
        return v;
    }
    }
}

void SetRaw(LTBITMAP& b, int x, int y, uint32_t v)
{
    BYTE* row = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine);
    switch (b.BitsPerPixel) {
    case 1: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = BYTE((row[x >> 3] & ~(1 << shift)) | ((v & 1) << shift));
        break;
    }
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = BYTE((row[x >> 1] & ~(0x0F << shift)) | ((v & 0x0F) << shift));
        break;
    }
    case 8:
        row[x] = BYTE(v);
        break;
    case 16:
        row[2 * x] = BYTE(v);
        row[2 * x + 1] = BYTE(v >> 8);
        break;
    case 24: {
        BYTE* p = row + size_t(x) * 3;
        p[0] = BYTE(v);
        p[1] = BYTE(v >> 8);
        p[2] = BYTE(v >> 16);
        break;
    }
    default:
        std::memcpy(row + size_t(x) * 4, &v, 4);
        break;
    }
}

// The stored value that paints a COLORREF in this record (opaque at 32 bits).
uint32_t RawOfColor(const LTBITMAP& b, COLORREF color)
{
    const int r = GetRValue(color);
    const int g = GetGValue(color);
    const int bl = GetBValue(color);
    if (b.BitsPerPixel <= 8)
        return uint32_t(ColorMatcher(b.Palette).Nearest(r, g, bl));
    if (b.BitsPerPixel == 16)
        return uint32_t(r >> 3) << 10 | uint32_t(g >> 3) << 5 | uint32_t(bl >> 3);
    const bool rgb = b.Order == LT_ORDER_RGB;
    uint32_t v = rgb ? (uint32_t(r) | uint32_t(g) << 8 | uint32_t(bl) << 16)
                     : (uint32_t(bl) | uint32_t(g) << 8 | uint32_t(r) << 16);
    if (b.BitsPerPixel == 32)
        v |= 0xFF000000u;
    return v;
}

// A record of the same depth, order, palette and transparency, with new
// zeroed pixels; false when too large.
int Blank(const LTBITMAP& like, int width, int height, LTBITMAP& out)
{
    if (!SizeAllowed(width, height))
        return LT_ERR_NO_MEMORY;
    out.Width = width;
    out.Height = height;
    out.BitsPerPixel = like.BitsPerPixel;
    out.BytesPerLine = RowBytes(width, like.BitsPerPixel);
    out.Order = like.Order;
    out.Flags = like.Flags;
    out.TransparentColor = like.TransparentColor;
    out.Palette = like.Palette;
    try {
        out.Pixels.assign(size_t(out.BytesPerLine) * size_t(height), 0);
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    }
    return LT_SUCCESS;
}

void Premultiply(WorkImage& work)
{
    for (size_t i = 0; i < work.bgra.size(); i += 4) {
        const unsigned a = work.bgra[i + 3];
        if (a == 255)
            continue;
        for (int c = 0; c < 3; ++c)
            work.bgra[i + size_t(c)] = uint8_t((work.bgra[i + size_t(c)] * a + 127) / 255);
    }
}

void Unpremultiply(WorkImage& work)
{
    for (size_t i = 0; i < work.bgra.size(); i += 4) {
        const unsigned a = work.bgra[i + 3];
        if (a == 255)
            continue;
        for (int c = 0; c < 3; ++c)
            work.bgra[i + size_t(c)] = a ? uint8_t(std::min(255u, (work.bgra[i + size_t(c)] * 255u + a / 2) / a)) : 0;
    }
}

int QuarterTurn(LTBITMAP& bitmap, int quarters, bool resize, COLORREF fill)
{
    const int w = bitmap.Width;
    const int h = bitmap.Height;
    const bool swap = quarters % 2 == 1;
    const int tw = swap ? h : w;
    const int th = swap ? w : h;
    LTBITMAP turned;
    int result = Blank(bitmap, tw, th, turned);
    if (result != LT_SUCCESS)
        return result;
    for (int y = 0; y < th; ++y) {
        for (int x = 0; x < tw; ++x) {
            int sx = 0;
            int sy = 0;
            switch (quarters) {
            case 1: // a quarter counter-clockwise: the top edge becomes the left one
                sx = w - 1 - y;
                sy = x;
                break;
            case 2:
                sx = w - 1 - x;
                sy = h - 1 - y;
                break;
            default:
                sx = y;
                sy = h - 1 - x;
                break;
            }
            SetRaw(turned, x, y, GetRaw(bitmap, sx, sy));
        }
    }
    if (resize || (tw == w && th == h)) {
        bitmap = std::move(turned);
        return LT_SUCCESS;
    }
    // Kept size: the turned picture centred, the rest filled.
    LTBITMAP kept;
    result = Blank(bitmap, w, h, kept);
    if (result != LT_SUCCESS)
        return result;
    const uint32_t fillRaw = RawOfColor(bitmap, fill);
    const int ox = (w - tw) / 2;
    const int oy = (h - th) / 2;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int tx = x - ox;
            const int ty = y - oy;
            const bool inside = tx >= 0 && ty >= 0 && tx < tw && ty < th;
            SetRaw(kept, x, y, inside ? GetRaw(turned, tx, ty) : fillRaw);
        }
    }
    bitmap = std::move(kept);
    return LT_SUCCESS;
}

int FreeTurn(LTBITMAP& bitmap, double radians, bool resize, COLORREF fill)
{
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const int w = bitmap.Width;
    const int h = bitmap.Height;
    int tw = w;
    int th = h;
    if (resize) {
        // The bounding box of the turned picture; a hair's tolerance keeps
        // exact sizes from growing by rounding noise.
        const double bw = w * std::fabs(c) + h * std::fabs(s);
        const double bh = w * std::fabs(s) + h * std::fabs(c);
        tw = std::max(1, int(std::ceil(bw - 1e-6)));
        th = std::max(1, int(std::ceil(bh - 1e-6)));
    }
    if (!SizeAllowed(tw, th))
        return LT_ERR_NO_MEMORY;
    WorkImage source;
    WorkImage turned;
    if (!ToWork(bitmap, source))
        return LT_ERR_NO_MEMORY;
    try {
        turned.width = tw;
        turned.height = th;
        turned.bgra.resize(size_t(tw) * size_t(th) * 4);
    } catch (const std::bad_alloc&) {
        return LT_ERR_NO_MEMORY;
    }
    // A picture with alpha gets clear corners in the fill's colour, so that
    // its turned edge fades to nothing rather than into an opaque fill, and
    // is mixed by premultiplied colour, so that clear pixels (whatever
    // colour they hold) lend no colour to their neighbours.
    const bool hasAlpha = bitmap.BitsPerPixel == 32;
    const float fillPixel[4] = { float(GetBValue(fill)), float(GetGValue(fill)), float(GetRValue(fill)),
        hasAlpha ? 0.0f : 255.0f };
    auto sample = [&](int x, int y, int channel) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return hasAlpha && channel != 3 ? 0.0f : fillPixel[channel];
        const uint8_t* p = source.bgra.data() + (size_t(y) * size_t(w) + size_t(x)) * 4;
        if (!hasAlpha || channel == 3)
            return float(p[channel]);
        return float(p[channel]) * float(p[3]) / 255.0f;
    };
    for (int y = 0; y < th; ++y) {
        uint8_t* out = turned.Row(y);
        const double dy = y + 0.5 - th / 2.0;
        for (int x = 0; x < tw; ++x, out += 4) {
            // Where this pixel's centre was before the turn, interpolated
            // between the four pixels around it, the fill outside.
            const double dx = x + 0.5 - tw / 2.0;
            const double sx = dx * c - dy * s + w / 2.0 - 0.5;
            const double sy = dx * s + dy * c + h / 2.0 - 0.5;
            if (sx <= -1 || sy <= -1 || sx >= w || sy >= h) {
                for (int ch = 0; ch < 4; ++ch)
                    out[ch] = uint8_t(fillPixel[ch]);
                continue;
            }
            const int x0 = int(std::floor(sx));
            const int y0 = int(std::floor(sy));
            const float fx = float(sx - x0);
            const float fy = float(sy - y0);
            float mixed[4];
            for (int ch = 0; ch < 4; ++ch) {
                const float top = sample(x0, y0, ch) * (1 - fx) + sample(x0 + 1, y0, ch) * fx;
                const float bottom = sample(x0, y0 + 1, ch) * (1 - fx) + sample(x0 + 1, y0 + 1, ch) * fx;
                mixed[ch] = top * (1 - fy) + bottom * fy;
            }
            if (hasAlpha) {
                const float a = mixed[3];
                for (int ch = 0; ch < 3; ++ch)
                    mixed[ch] = a >= 0.5f ? mixed[ch] * 255.0f / a : fillPixel[ch];
            }
            for (int ch = 0; ch < 4; ++ch)
                out[ch] = uint8_t(std::clamp(mixed[ch] + 0.5f, 0.0f, 255.0f));
        }
    }
    return StoreWork(turned, bitmap);
}

// Sums of a sliding window along one line: window [i - before, i - before
// + size) clipped to the line.
struct Window {
    int before = 0;
    int size = 1;
    int Begin(int i) const { return std::max(0, i - before); }
    int End(int i, int length) const { return std::min(length, i - before + size); }
};

} // namespace

} // namespace platform::imaging

using namespace platform::imaging;

int LtReverseBitmap(pLTBITMAP bitmap)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    const int w = bitmap->Width;
    if (bitmap->BitsPerPixel >= 8) {
        // Whole-byte pixels swap as byte groups.
        const size_t step = size_t(bitmap->BitsPerPixel / 8);
        ForEachBand(bitmap->Height, w, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                BYTE* row = bitmap->Pixels.data() + size_t(y) * size_t(bitmap->BytesPerLine);
                for (size_t l = 0, r = size_t(w - 1) * step; l < r; l += step, r -= step)
                    for (size_t k = 0; k < step; ++k)
                        std::swap(row[l + k], row[r + k]);
            }
        });
        return LT_SUCCESS;
    }
    for (int y = 0; y < bitmap->Height; ++y) {
        for (int x = 0; x < w / 2; ++x) {
            const uint32_t left = GetRaw(*bitmap, x, y);
            SetRaw(*bitmap, x, y, GetRaw(*bitmap, w - 1 - x, y));
            SetRaw(*bitmap, w - 1 - x, y, left);
        }
    }
    return LT_SUCCESS;
}

int LtFlipBitmap(pLTBITMAP bitmap)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    const size_t stride = size_t(bitmap->BytesPerLine);
    for (int y = 0; y < bitmap->Height / 2; ++y) {
        BYTE* top = bitmap->Pixels.data() + size_t(y) * stride;
        BYTE* bottom = bitmap->Pixels.data() + size_t(bitmap->Height - 1 - y) * stride;
        std::swap_ranges(top, top + stride, bottom);
    }
    return LT_SUCCESS;
}

int LtRotateBitmap(pLTBITMAP bitmap, int angle, UINT flags, COLORREF fill)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    int turn = angle % 36000;
    if (turn < 0)
        turn += 36000;
    const bool resize = (flags & LT_ROTATE_RESIZE) != 0;
    if (turn == 0)
        return LT_SUCCESS;
    if (turn % 9000 == 0)
        return QuarterTurn(*bitmap, turn / 9000, resize, fill);
    return FreeTurn(*bitmap, turn * (M_PI / 18000.0), resize, fill);
}

int LtResizeBitmap(pLTBITMAP bitmap, int width, int height, int mode)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (width <= 0 || height <= 0 || (mode != LT_RESIZE_NEAREST && mode != LT_RESIZE_SMOOTH))
        return LT_ERR_BAD_PARAM;
    if (!SizeAllowed(width, height))
        return LT_ERR_NO_MEMORY;
    if (width == bitmap->Width && height == bitmap->Height)
        return LT_SUCCESS;
    if (mode == LT_RESIZE_SMOOTH) {
        WorkImage work;
        if (!ResampleToWork(*bitmap, width, height, work))
            return LT_ERR_NO_MEMORY;
        return StoreWork(work, *bitmap);
    }
    LTBITMAP out;
    const int result = Blank(*bitmap, width, height, out);
    if (result != LT_SUCCESS)
        return result;
    std::vector<int> xs(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        xs[size_t(x)] = int((int64_t(2 * x + 1) * bitmap->Width) / (int64_t(2) * width));
    for (int y = 0; y < height; ++y) {
        const int sy = int((int64_t(2 * y + 1) * bitmap->Height) / (int64_t(2) * height));
        for (int x = 0; x < width; ++x)
            SetRaw(out, x, y, GetRaw(*bitmap, xs[size_t(x)], sy));
    }
    *bitmap = std::move(out);
    return LT_SUCCESS;
}

int LtCombineBitmaps(pLTBITMAP destination, int x, int y, int width, int height, const LTBITMAP* source, int xSrc,
    int ySrc, UINT operation)
{
    if (!destination || !source || !Usable(*destination) || !Usable(*source))
        return LT_ERR_BAD_BITMAP;
    if (operation != LT_COMBINE_ADD || width < 0 || height < 0)
        return LT_ERR_BAD_PARAM;
    // The part of the rectangle that lies inside both pictures.
    int64_t left = x, top = y, right = int64_t(x) + width, bottom = int64_t(y) + height;
    const int64_t dx = int64_t(xSrc) - x;
    const int64_t dy = int64_t(ySrc) - y;
    left = std::max({ left, int64_t(0), -dx });
    top = std::max({ top, int64_t(0), -dy });
    right = std::min({ right, int64_t(destination->Width), int64_t(source->Width) - dx });
    bottom = std::min({ bottom, int64_t(destination->Height), int64_t(source->Height) - dy });
    if (left >= right || top >= bottom)
        return LT_SUCCESS;
    const int n = int(right - left);
    std::vector<uint8_t> d(size_t(n) * 4);
    std::vector<uint8_t> s(size_t(n) * 4);
    const bool indexed = destination->BitsPerPixel <= 8;
    ColorMatcher matcher(indexed ? destination->Palette : std::vector<RGBQUAD>());
    LTBITMAP& out = *destination;
    const bool rgb = out.Order == LT_ORDER_RGB;
    for (int64_t row = top; row < bottom; ++row) {
        ReadRowBgra(out, int(row), int(left), int(right), d.data());
        ReadRowBgra(*source, int(row + dy), int(left + dx), int(right + dx), s.data());
        for (int i = 0; i < n; ++i) {
            uint8_t* p = d.data() + size_t(i) * 4;
            const uint8_t* q = s.data() + size_t(i) * 4;
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t(std::min(255, p[c] + q[c]));
            const int px = int(left) + i;
            switch (out.BitsPerPixel) {
            case 1:
            case 4:
            case 8:
                SetRaw(out, px, int(row), uint32_t(matcher.Nearest(p[2], p[1], p[0])));
                break;
            case 16:
                SetRaw(out, px, int(row), uint32_t(p[2] >> 3) << 10 | uint32_t(p[1] >> 3) << 5 | uint32_t(p[0] >> 3));
                break;
            default: {
                BYTE* at = out.Pixels.data() + size_t(row) * size_t(out.BytesPerLine)
                    + size_t(px) * size_t(out.BitsPerPixel / 8);
                at[0] = rgb ? p[2] : p[0];
                at[1] = p[1];
                at[2] = rgb ? p[0] : p[2];
                break;
            }
            }
        }
    }
    return LT_SUCCESS;
}

// What the filters over blocks of pixels begin with: the checks, and a
// working copy whose colours are premultiplied when the picture has alpha,
// so that clear pixels do not tint their neighbours.
static int StartBlockFilter(const LTBITMAP* bitmap, int size, WorkImage& work, bool& alpha)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (size < 1 || size > LT_MAX_SIDE)
        return LT_ERR_BAD_PARAM;
    if (!ToWork(*bitmap, work))
        return LT_ERR_NO_MEMORY;
    alpha = bitmap->BitsPerPixel == 32;
    if (alpha)
        Premultiply(work);
    return LT_SUCCESS;
}

int LtAverageFilter(pLTBITMAP bitmap, int size)
{
    WorkImage work;
    bool alpha = false;
    if (const int result = StartBlockFilter(bitmap, size, work, alpha); result != LT_SUCCESS)
        return result;
    const int w = work.width;
    const int h = work.height;
    const Window window { size / 2, size };
    // Each row summed along x, then the sums of the rows in the window kept
    // as column totals that gain the row entering and lose the one leaving.
    auto rowSums = [&](int y, std::vector<uint32_t>& out) {
        const uint8_t* in = work.Row(y);
        out.assign(size_t(w) * 4, 0);
        uint32_t run[4] = { 0, 0, 0, 0 };
        int begin = 0;
        int end = 0;
        for (int x = 0; x < w; ++x) {
            const int b = window.Begin(x);
            const int e = window.End(x, w);
            for (; end < e; ++end)
                for (int c = 0; c < 4; ++c)
                    run[c] += in[size_t(end) * 4 + size_t(c)];
            for (; begin < b; ++begin)
                for (int c = 0; c < 4; ++c)
                    run[c] -= in[size_t(begin) * 4 + size_t(c)];
            std::copy(run, run + 4, out.begin() + long(x) * 4);
        }
    };
    WorkImage out;
    out.width = w;
    out.height = h;
    out.bgra.resize(work.bgra.size());
    std::vector<uint64_t> columns(size_t(w) * 4, 0);
    std::vector<uint32_t> sums;
    int begin = 0;
    int end = 0;
    for (int y = 0; y < h; ++y) {
        const int b = window.Begin(y);
        const int e = window.End(y, h);
        for (; end < e; ++end) {
            rowSums(end, sums);
            for (size_t i = 0; i < columns.size(); ++i)
                columns[i] += sums[i];
        }
        for (; begin < b; ++begin) {
            rowSums(begin, sums);
            for (size_t i = 0; i < columns.size(); ++i)
                columns[i] -= sums[i];
        }
        const uint64_t rows = uint64_t(e - b);
        uint8_t* o = out.Row(y);
        for (int x = 0; x < w; ++x) {
            const uint64_t count = rows * uint64_t(window.End(x, w) - window.Begin(x));
            for (int c = 0; c < 4; ++c)
                o[size_t(x) * 4 + size_t(c)] = uint8_t((columns[size_t(x) * 4 + size_t(c)] + count / 2) / count);
        }
    }
    if (alpha)
        Unpremultiply(out);
    return StoreWork(out, *bitmap);
}

int LtMosaic(pLTBITMAP bitmap, int size)
{
    WorkImage work;
    bool alpha = false;
    if (const int result = StartBlockFilter(bitmap, size, work, alpha); result != LT_SUCCESS)
        return result;
    const int w = work.width;
    const int h = work.height;
    const int tiles = (w + size - 1) / size;
    std::vector<uint64_t> sums(size_t(tiles) * 4);
    for (int top = 0; top < h; top += size) {
        const int bottom = std::min(h, top + size);
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = top; y < bottom; ++y) {
            const uint8_t* in = work.Row(y);
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 4; ++c)
                    sums[size_t(x / size) * 4 + size_t(c)] += in[size_t(x) * 4 + size_t(c)];
        }
        for (int t = 0; t < tiles; ++t) {
            const int left = t * size;
            const int right = std::min(w, left + size);
            const uint64_t count = uint64_t(right - left) * uint64_t(bottom - top);
            uint8_t mean[4];
            for (int c = 0; c < 4; ++c)
                mean[c] = uint8_t((sums[size_t(t) * 4 + size_t(c)] + count / 2) / count);
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x)
                    std::memcpy(work.Row(y) + size_t(x) * 4, mean, 4);
        }
    }
    if (alpha)
        Unpremultiply(work);
    return StoreWork(work, *bitmap);
}

int LtChangeBrightness(pLTBITMAP bitmap, int change)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (change < -1000 || change > 1000)
        return LT_ERR_BAD_PARAM;
    // Every level moves by the same share of full scale, held at black
    // and white.
    const int moved = (std::abs(change) * 255 + 500) / 1000 * (change < 0 ? -1 : 1);
    uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = uint8_t(std::clamp(v + moved, 0, 255));
    LTBITMAP& b = *bitmap;
    switch (b.BitsPerPixel) {
    case 1:
    case 4:
    case 8:
        for (RGBQUAD& q : b.Palette) {
            q.rgbRed = table[q.rgbRed];
            q.rgbGreen = table[q.rgbGreen];
            q.rgbBlue = table[q.rgbBlue];
        }
        break;
    case 16:
        for (int y = 0; y < b.Height; ++y) {
            for (int x = 0; x < b.Width; ++x) {
                const uint32_t v = GetRaw(b, x, y);
                auto level = [&](int shift) {
                    const unsigned c = (v >> shift) & 0x1F;
                    return uint32_t(table[(c << 3) | (c >> 2)] >> 3) << shift;
                };
                SetRaw(b, x, y, level(10) | level(5) | level(0));
            }
        }
        break;
    default: {
        const int step = b.BitsPerPixel / 8;
        for (int y = 0; y < b.Height; ++y) {
            BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine);
            for (int x = 0; x < b.Width; ++x, p += step) {
                p[0] = table[p[0]];
                p[1] = table[p[1]];
                p[2] = table[p[2]];
            }
        }
        break;
    }
    }
    return LT_SUCCESS;
}

int LtSpatialFilter(pLTBITMAP bitmap, int filter)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (filter != LT_FILTER_EMBOSS && filter != LT_FILTER_EDGE)
        return LT_ERR_BAD_PARAM;
    WorkImage in;
    if (!ToWork(*bitmap, in))
        return LT_ERR_NO_MEMORY;
    WorkImage out = in;
    const int w = in.width;
    const int h = in.height;
    // Neighbours past the edge repeat the edge, so that borders stay flat.
    auto at = [&](int x, int y, int c) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        return int(in.bgra[(size_t(y) * size_t(w) + size_t(x)) * 4 + size_t(c)]);
    };
    std::vector<uint8_t> grey;
    if (filter == LT_FILTER_EMBOSS) {
        grey.resize(size_t(w) * size_t(h));
        for (size_t i = 0; i < grey.size(); ++i)
            grey[i] = GreyOf(in.bgra[i * 4 + 2], in.bgra[i * 4 + 1], in.bgra[i * 4]);
    }
    auto greyAt = [&](int x, int y) {
        return int(grey[size_t(std::clamp(y, 0, h - 1)) * size_t(w) + size_t(std::clamp(x, 0, w - 1))]);
    };
    for (int y = 0; y < h; ++y) {
        uint8_t* o = out.Row(y);
        for (int x = 0; x < w; ++x, o += 4) {
            if (filter == LT_FILTER_EMBOSS) {
                // Light from the upper left: a rise towards the lower right
                // faces it and is light, a fall is dark, flat is mid grey.
                const int rise = greyAt(x + 1, y) + greyAt(x, y + 1) + greyAt(x + 1, y + 1) - greyAt(x - 1, y)
                    - greyAt(x, y - 1) - greyAt(x - 1, y - 1);
                const uint8_t v = uint8_t(std::clamp(128 + rise / 2, 0, 255));
                o[0] = o[1] = o[2] = v;
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                // Sobel gradients; a full black-to-white step gives white.
                const int gx = at(x + 1, y - 1, c) + 2 * at(x + 1, y, c) + at(x + 1, y + 1, c) - at(x - 1, y - 1, c)
                    - 2 * at(x - 1, y, c) - at(x - 1, y + 1, c);
                const int gy = at(x - 1, y + 1, c) + 2 * at(x, y + 1, c) + at(x + 1, y + 1, c) - at(x - 1, y - 1, c)
                    - 2 * at(x, y - 1, c) - at(x + 1, y - 1, c);
                const double magnitude = std::sqrt(double(gx) * gx + double(gy) * gy) / 4.0;
                o[c] = uint8_t(std::min(255.0, magnitude + 0.5));
            }
        }
    }
    return StoreWork(out, *bitmap);
}
