// Painting bitmap records into device contexts, device bitmaps back into
// records, and the palettes and display mode painting uses.
//
// A raster DC (memory bitmap, window, screen) gets its pixels computed
// here: the resampler reads only the source rows and columns that the
// destination pixels inside the clip need, and each row then goes through
// the raster operation, alpha and the target's colour table. A printer page
// gets the source pixels as an image at their own resolution, scaled by
// the page itself.

#include "platform/imaging/ImagingInternal.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/DeviceContext.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Raster.h"
#include "platform/gdi/internal/Rop3.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

namespace platform::imaging {

namespace {

UINT g_displayMode = 0;

RECT Normalised(const RECT& r)
{
    return RECT { std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
        std::max(r.top, r.bottom) };
}

// Which part of the picture lands where, both rectangles normalised and
// the source inside the picture.
struct Placement {
    RECT source {};
    RECT destination {};
    bool mirrorX = false;
    bool mirrorY = false;
};

// False when nothing is to be drawn. A source reaching outside the picture
// is cut to it and the destination by the same share, so that the picture
// keeps its scale and place.
bool Place(const LTBITMAP& bitmap, const RECT* source, const RECT& destination, Placement& out)
{
    const RECT given = source ? *source : RECT { 0, 0, bitmap.Width, bitmap.Height };
    out.mirrorX = (given.right < given.left) != (destination.right < destination.left);
    out.mirrorY = (given.bottom < given.top) != (destination.bottom < destination.top);
    RECT s = Normalised(given);
    RECT d = Normalised(destination);
    const int64_t sw = int64_t(s.right) - s.left;
    const int64_t sh = int64_t(s.bottom) - s.top;
    const int64_t dw = int64_t(d.right) - d.left;
    const int64_t dh = int64_t(d.bottom) - d.top;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return false;
    // Cuts of the source's near and far edges, in source pixels, become
    // cuts of the destination's edges (swapped when mirrored).
    auto cut = [](int64_t nearCut, int64_t farCut, int64_t sLen, int64_t dLen, bool mirror, LONG& dNear, LONG& dFar) {
        if (mirror)
            std::swap(nearCut, farCut);
        // In floating point: both lengths may span the whole int range.
        dNear = LONG(std::clamp<double>(double(dNear) + std::round(double(nearCut) * double(dLen) / double(sLen)),
            INT32_MIN, INT32_MAX));
        dFar = LONG(std::clamp<double>(double(dFar) - std::round(double(farCut) * double(dLen) / double(sLen)),
            INT32_MIN, INT32_MAX));
    };
    const int64_t cutLeft = std::max<int64_t>(0, -int64_t(s.left));
    const int64_t cutRight = std::max<int64_t>(0, int64_t(s.right) - bitmap.Width);
    const int64_t cutTop = std::max<int64_t>(0, -int64_t(s.top));
    const int64_t cutBottom = std::max<int64_t>(0, int64_t(s.bottom) - bitmap.Height);
    if (cutLeft || cutRight)
        cut(cutLeft, cutRight, sw, dw, out.mirrorX, d.left, d.right);
    if (cutTop || cutBottom)
        cut(cutTop, cutBottom, sh, dh, out.mirrorY, d.top, d.bottom);
    s.left = LONG(std::max<int64_t>(s.left, 0));
    s.top = LONG(std::max<int64_t>(s.top, 0));
    s.right = LONG(std::min<int64_t>(s.right, bitmap.Width));
    s.bottom = LONG(std::min<int64_t>(s.bottom, bitmap.Height));
    if (s.right <= s.left || s.bottom <= s.top || d.right <= d.left || d.bottom <= d.top)
        return false;
    out.source = s;
    out.destination = d;
    return true;
}

constexpr uint8_t kBayer[8][8] = {
    { 0, 32, 8, 40, 2, 34, 10, 42 },
    { 48, 16, 56, 24, 50, 18, 58, 26 },
    { 12, 44, 4, 36, 14, 46, 6, 38 },
    { 60, 28, 52, 20, 62, 30, 54, 22 },
    { 3, 35, 11, 43, 1, 33, 9, 41 },
    { 51, 19, 59, 27, 49, 17, 57, 25 },
    { 15, 47, 7, 39, 13, 45, 5, 37 },
    { 63, 31, 55, 23, 61, 29, 53, 21 },
};

// How pixels land on a target of 256 colours or fewer: each to its nearest
// table colour, or, dithering, after a position-dependent nudge of about
// one step of the table, so that the mixture of neighbours comes out as the
// colour and a repaint of part of the area gives the same pixels.
class TableReducer {
public:
    TableReducer(const std::vector<RGBQUAD>& table, int bitsPixel, bool dither)
        : m_matcher(table)
        , m_dither(dither)
        , m_step(bitsPixel <= 1 ? 255 : (bitsPixel <= 4 ? 128 : 51))
    {
    }

    void Reduce(uint32_t* pixels, size_t n, int x, int y)
    {
        const std::vector<RGBQUAD>& table = m_matcher.Palette();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t p = pixels[i];
            int r = int((p >> 16) & 0xFF);
            int g = int((p >> 8) & 0xFF);
            int b = int(p & 0xFF);
            if (m_dither) {
                const int nudge = ((2 * kBayer[y & 7][(x + int(i)) & 7] + 1 - 64) * m_step) / 128;
                r = std::clamp(r + nudge, 0, 255);
                g = std::clamp(g + nudge, 0, 255);
                b = std::clamp(b + nudge, 0, 255);
            } else if (p == m_lastIn) {
                pixels[i] = m_lastOut;
                continue;
            }
            const RGBQUAD& q = table[size_t(m_matcher.Nearest(r, g, b))];
            const uint32_t out = uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
            m_lastIn = p;
            m_lastOut = out;
            pixels[i] = out;
        }
    }

private:
    ColorMatcher m_matcher;
    bool m_dither;
    int m_step;
    uint32_t m_lastIn = 0xFFFFFFFF;
    uint32_t m_lastOut = 0;
};

inline uint32_t BlendChannel(uint32_t s, uint32_t d, uint32_t inverseAlpha)
{
    return s + (d * inverseAlpha + 127) / 255;
}

// One destination row: `colour` holds the resampled pixels (blue, green,
// red, alpha; premultiplied when the picture has alpha).
struct RowPainter {
    uint8_t code = 0xCC;
    Rop3RowFunction op = nullptr;
    bool usesSource = true;
    bool alpha = false;
    const Paint* paint = nullptr;
    TableReducer* reducer = nullptr;
    std::vector<uint32_t> source;
    std::vector<uint32_t> pattern;
    std::vector<uint32_t> result;

    void PatternRow(int x, int y, size_t n)
    {
        pattern.resize(n);
        if (!paint)
            return;
        if (paint->kind == Paint::Kind::Solid) {
            std::fill(pattern.begin(), pattern.end(), paint->color);
            return;
        }
        auto mod8 = [](int v) { return ((v % 8) + 8) % 8; };
        const uint32_t* row = paint->pattern + mod8(y - paint->origin.y) * 8;
        for (size_t i = 0; i < n; ++i)
            pattern[i] = row[mod8(x + int(i) - paint->origin.x)];
    }

    void Draw(const uint8_t* colour, uint32_t* out, size_t n, int x, int y)
    {
        source.resize(n);
        bool opaque = true;
        if (usesSource) {
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* c = colour + i * 4;
                source[i] = uint32_t(c[2]) << 16 | uint32_t(c[1]) << 8 | c[0];
                opaque = opaque && c[3] == 255;
            }
        }
        const bool blend = alpha && usesSource && !opaque;
        if (code == 0xCC && !reducer && !blend) {
            std::memcpy(out, source.data(), n * sizeof(uint32_t));
            return;
        }
        result.assign(out, out + n);
        if (code == 0xCC && blend) {
            // The premultiplied colour over what is there.
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* c = colour + i * 4;
                const uint32_t inverse = 255u - c[3];
                const uint32_t d = result[i];
                result[i] = BlendChannel(c[2], (d >> 16) & 0xFF, inverse) << 16
                    | BlendChannel(c[1], (d >> 8) & 0xFF, inverse) << 8 | BlendChannel(c[0], d & 0xFF, inverse);
            }
        } else {
            if (blend) {
                // Other operations combine the picture's own colour with
                // what is there, then show that result by the alpha.
                for (size_t i = 0; i < n; ++i) {
                    const uint8_t* c = colour + i * 4;
                    const uint32_t a = c[3];
                    if (a == 255 || a == 0)
                        continue;
                    auto un = [a](uint32_t v) { return std::min(255u, (v * 255u + a / 2) / a); };
                    source[i] = un(c[2]) << 16 | un(c[1]) << 8 | un(c[0]);
                }
            }
            PatternRow(x, y, n);
            op(result.data(), source.data(), pattern.data(), n);
            if (blend) {
                for (size_t i = 0; i < n; ++i) {
                    const uint32_t a = colour[i * 4 + 3];
                    if (a == 255)
                        continue;
                    const uint32_t d = out[i];
                    const uint32_t r = result[i];
                    auto mix = [a](uint32_t rv, uint32_t dv) { return (rv * a + dv * (255 - a) + 127) / 255; };
                    result[i] = mix((r >> 16) & 0xFF, (d >> 16) & 0xFF) << 16 | mix((r >> 8) & 0xFF, (d >> 8) & 0xFF) << 8
                        | mix(r & 0xFF, d & 0xFF);
                }
            }
        }
        if (reducer)
            reducer->Reduce(result.data(), n, x, y);
        std::memcpy(out, result.data(), n * sizeof(uint32_t));
    }
};

// A printer page: the source pixels as an image at their own resolution,
// with their alpha, scaled onto the destination by the page.
int PaintOnPage(DeviceContext& dc, const LTBITMAP& bitmap, const Placement& place, const RECT* clip, uint8_t code)
{
    if (!dc.vector)
        return LT_SUCCESS;
    const RECT& d = place.destination;
    const int dw = int(std::min<int64_t>(int64_t(d.right) - d.left, INT32_MAX));
    const int dh = int(std::min<int64_t>(int64_t(d.bottom) - d.top, INT32_MAX));
    BlitRect target { place.mirrorX ? int(d.right) - 1 : int(d.left), place.mirrorY ? int(d.bottom) - 1 : int(d.top),
        place.mirrorX ? -dw : dw, place.mirrorY ? -dh : dh };
    std::optional<Region> kept = dc.state.clip;
    const int keptStretchMode = dc.state.stretchMode;
    // Pictures are smoothed when the page scales them.
    dc.state.stretchMode = HALFTONE;
    if (clip) {
        const RECT c = Normalised(*clip);
        dc.state.clip = kept ? kept->Intersect(c) : Region(c);
    }
    if (Rop3UsesSource(code)) {
        const RECT& s = place.source;
        const int sw = int(s.right - s.left);
        const int sh = int(s.bottom - s.top);
        PixelBuffer image;
        std::vector<uint8_t> alpha;
        std::vector<uint8_t> row(size_t(sw) * 4);
        if (image.Allocate(sw, sh)) {
            alpha.resize(size_t(sw) * size_t(sh));
            for (int y = 0; y < sh; ++y) {
                ReadRowBgra(bitmap, int(s.top) + y, int(s.left), int(s.right), row.data());
                uint32_t* out = image.Row(y);
                uint8_t* a = alpha.data() + size_t(y) * size_t(sw);
                for (int x = 0; x < sw; ++x) {
                    const uint8_t* p = row.data() + size_t(x) * 4;
                    out[x] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
                    a[x] = p[3];
                }
            }
            PaintImageOnVector(dc, target, image, BlitRect { 0, 0, sw, sh }, &alpha);
        }
    } else if (code == 0x00 || code == 0xFF) {
        FillRectOnVector(dc, target, code == 0x00 ? 0u : 0x00FFFFFFu);
    } else if (Rop3UsesPattern(code)) {
        const BrushObject& brush = CurrentBrush(dc);
        if (brush.log.lbStyle != BS_NULL)
            FillRectOnVector(dc, target, PixelFromColor(brush.log.lbColor & 0x00FFFFFF));
    }
    // Operations on what is already there alone have nothing to act on
    // on paper.
    dc.state.clip = std::move(kept);
    dc.state.stretchMode = keptStretchMode;
    return LT_SUCCESS;
}

} // namespace

} // namespace platform::imaging

using namespace platform;
using namespace platform::imaging;

int LtPaintDC(HDC hdc, const LTBITMAP* bitmap, const RECT* source, const RECT* /*reserved*/, const RECT* destination,
    const RECT* clip, DWORD rop)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    DeviceContext* dc = LookupDc(hdc);
    if (!dc || !destination)
        return LT_ERR_BAD_PARAM;
    Placement place;
    if (!Place(*bitmap, source, *destination, place))
        return LT_SUCCESS;
    const uint8_t code = Rop3Code(rop);
    if (dc->kind == DcKind::Printer)
        return PaintOnPage(*dc, *bitmap, place, clip, code);

    RasterTarget target;
    if (!AcquireRaster(*dc, target))
        return LT_SUCCESS;
    const RECT& d = place.destination;
    Region area = DrawableRegion(*dc, target).Intersect(d);
    if (clip)
        area = area.Intersect(Normalised(*clip));
    if (area.IsEmpty())
        return LT_SUCCESS;

    RowPainter painter;
    painter.code = code;
    painter.op = Rop3Row(code);
    painter.usesSource = Rop3UsesSource(code);
    painter.alpha = bitmap->BitsPerPixel == 32;
    Paint paint;
    if (Rop3UsesPattern(code)) {
        paint = ResolveBrush(*dc, target, CurrentBrush(*dc));
        // A hollow brush paints nothing, whatever the operation.
        if (paint.IsNone())
            return LT_SUCCESS;
        painter.paint = &paint;
    }
    std::optional<TableReducer> reducer;
    if (target.colorTable && !target.colorTable->empty()) {
        reducer.emplace(*target.colorTable, target.bitsPixel, (g_displayMode & LT_DISPLAY_DITHER) != 0);
        painter.reducer = &*reducer;
    }

    const long long dw = static_cast<long long>(d.right) - d.left;
    const long long dh = static_cast<long long>(d.bottom) - d.top;
    // A clip of many small rectangles (a turned picture's outline, an
    // update region) that fills much of its bounding box shares one
    // resampler: each input row is then filtered once, not once for every
    // rectangle it reaches. Far-apart rectangles keep one each, so that
    // the empty space between them is not filtered.
    const std::vector<RECT>& rects = area.Rects();
    RECT box = rects.front();
    long long covered = 0;
    for (const RECT& r : rects) {
        box.left = std::min(box.left, r.left);
        box.top = std::min(box.top, r.top);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
        covered += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
    }
    const bool shared = rects.size() > 1
        && covered * 4 >= static_cast<long long>(box.right - box.left) * (box.bottom - box.top);
    auto resamplerFor = [&](const RECT& r) {
        return std::make_unique<Resampler>(*bitmap, place.source, dw, dh, static_cast<long long>(r.left) - d.left,
            static_cast<long long>(r.right) - d.left, place.mirrorX, place.mirrorY,
            static_cast<long long>(r.top) - d.top, static_cast<long long>(r.bottom) - d.top);
    };
    std::unique_ptr<Resampler> resampler;
    if (painter.usesSource && shared)
        resampler = resamplerFor(box);
    std::vector<uint8_t> colour;
    for (const RECT& r : rects) {
        const size_t n = size_t(r.right - r.left);
        colour.assign(n * 4, 255);
        if (painter.usesSource && !shared)
            resampler = resamplerFor(r);
        for (int y = r.top; y < r.bottom; ++y) {
            if (resampler)
                resampler->Row(static_cast<long long>(y) - d.top, colour.data(), static_cast<long long>(r.left) - d.left,
                    static_cast<long long>(r.right) - d.left);
            uint32_t* out = target.buffer->Row(y + target.origin.y) + target.origin.x + r.left;
            painter.Draw(colour.data(), out, n, r.left, y);
        }
    }
    return LT_SUCCESS;
}

int LtConvertFromDDB(HDC hdc, pLTBITMAP bitmap, HBITMAP hBitmap, HPALETTE /*palette*/, BOOL /*useDC*/)
{
    // Our device bitmaps hold colours, not indexes into a palette, on every
    // depth of screen, so neither palette argument changes a pixel.
    if (!bitmap)
        return LT_ERR_BAD_BITMAP;
    BITMAP info {};
    if (!hBitmap || GetObject(hBitmap, sizeof info, &info) != int(sizeof info) || info.bmWidth <= 0
        || info.bmHeight <= 0)
        return LT_ERR_BAD_PARAM;
    if (!SizeAllowed(info.bmWidth, info.bmHeight))
        return LT_ERR_NO_MEMORY;
    const int width = int(info.bmWidth);
    const int height = int(info.bmHeight);
    BITMAPINFO header{};
    header.bmiHeader = platform::TopDownDibHeader(width, height, 32);
    std::vector<uint8_t> bits(size_t(width) * size_t(height) * 4);
    HDC own = hdc ? nullptr : CreateCompatibleDC(nullptr);
    const int rows = GetDIBits(hdc ? hdc : own, hBitmap, 0, UINT(height), bits.data(), &header, DIB_RGB_COLORS);
    if (own)
        DeleteDC(own);
    if (rows != height)
        return LT_ERR_BAD_PARAM;
    bool alpha = false;
    if (info.bmBitsPixel == 32) {
        for (size_t i = 3; i < bits.size() && !alpha; i += 4)
            alpha = bits[i] != 0;
    }
    LTBITMAP out;
    int result = LtAllocateBitmap(&out, width, height, alpha ? 32 : 24);
    if (result != LT_SUCCESS)
        return result;
    out.Order = LT_ORDER_BGR;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = bits.data() + size_t(y) * size_t(width) * 4;
        BYTE* row = out.Pixels.data() + size_t(y) * size_t(out.BytesPerLine);
        if (alpha) {
            std::memcpy(row, in, size_t(width) * 4);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            row[3 * x] = in[4 * x];
            row[3 * x + 1] = in[4 * x + 1];
            row[3 * x + 2] = in[4 * x + 2];
        }
    }
    out.Flags = BYTE((bitmap->Flags & LT_BITMAP_TRANSPARENT) | LT_BITMAP_ALLOCATED);
    out.TransparentColor = bitmap->TransparentColor;
    *bitmap = std::move(out);
    return LT_SUCCESS;
}

HPALETTE LtCreatePaintPalette(HDC hdc, const LTBITMAP* bitmap)
{
    if (!bitmap || !LookupDc(hdc))
        return nullptr;
    if (GetDeviceCaps(hdc, BITSPIXEL) * GetDeviceCaps(hdc, PLANES) > 8)
        return nullptr;
    std::vector<RGBQUAD> colours;
    if (bitmap->BitsPerPixel <= 8 && ValidDepth(bitmap->BitsPerPixel)) {
        colours = bitmap->Palette;
        colours.resize(size_t(1) << bitmap->BitsPerPixel, RGBQUAD { 0, 0, 0, 0 });
    } else {
        colours = FixedPalette(8);
    }
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = PALVERSION;
    log->palNumEntries = WORD(colours.size());
    for (size_t i = 0; i < colours.size(); ++i) {
        const PALETTEENTRY e { colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue, 0 };
        std::memcpy(block.data() + offsetof(LOGPALETTE, palPalEntry) + i * sizeof e, &e, sizeof e);
    }
    return CreatePalette(log);
}

UINT LtSetDisplayMode(UINT mask, UINT value)
{
    const UINT previous = g_displayMode;
    g_displayMode = (g_displayMode & ~mask) | (value & mask);
    return previous;
}
