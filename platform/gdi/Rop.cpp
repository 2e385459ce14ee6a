// The ternary raster-operation engine and the stretching blit built on it.

#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/Raster.h"
#include "platform/gdi/internal/Rop3.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <tuple>
#include <utility>

namespace platform {

namespace {

// The sum of the minterms whose truth-table bit is set; the compiler folds
// the unused ones away for each code.
template <uint8_t C>
inline uint32_t Evaluate(uint32_t s, uint32_t p, uint32_t d)
{
    uint32_t r = 0;
    if constexpr ((C & 0x01) != 0)
        r |= ~p & ~s & ~d;
    if constexpr ((C & 0x02) != 0)
        r |= ~p & ~s & d;
    if constexpr ((C & 0x04) != 0)
        r |= ~p & s & ~d;
    if constexpr ((C & 0x08) != 0)
        r |= ~p & s & d;
    if constexpr ((C & 0x10) != 0)
        r |= p & ~s & ~d;
    if constexpr ((C & 0x20) != 0)
        r |= p & ~s & d;
    if constexpr ((C & 0x40) != 0)
        r |= p & s & ~d;
    if constexpr ((C & 0x80) != 0)
        r |= p & s & d;
    return r & 0x00FFFFFF;
}

template <uint8_t C>
void Row(uint32_t* dst, const uint32_t* src, const uint32_t* pat, size_t n)
{
    // The copies that carry most of the traffic skip the general form.
    if constexpr (C == 0xCC) {
        std::memcpy(dst, src, n * sizeof(uint32_t));
    } else if constexpr (C == 0xF0) {
        std::memcpy(dst, pat, n * sizeof(uint32_t));
    } else if constexpr (C == 0x00) {
        std::fill(dst, dst + n, 0u);
    } else if constexpr (C == 0xFF) {
        std::fill(dst, dst + n, 0x00FFFFFFu);
    } else {
        constexpr bool usesS = Rop3UsesSource(C);
        constexpr bool usesP = Rop3UsesPattern(C);
        for (size_t i = 0; i < n; ++i)
            dst[i] = Evaluate<C>(usesS ? src[i] : 0, usesP ? pat[i] : 0, dst[i]);
    }
}

template <size_t... I>
constexpr std::array<Rop3RowFunction, 256> MakeTable(std::index_sequence<I...>)
{
    return {&Row<uint8_t(I)>...};
}

constexpr std::array<Rop3RowFunction, 256> kRows = MakeTable(std::make_index_sequence<256>());

int Distance(uint32_t pixel, const RGBQUAD& q)
{
    int dr = int((pixel >> 16) & 0xFF) - q.rgbRed;
    int dg = int((pixel >> 8) & 0xFF) - q.rgbGreen;
    int db = int(pixel & 0xFF) - q.rgbBlue;
    return dr * dr + dg * dg + db * db;
}

// Maps destination offsets 0..count-1 onto source offsets by the centre of
// each destination pixel (nearest pixel), mirrored when asked.
void SampleMap(std::vector<int>& map, int dstCount, int srcCount, bool mirror, int srcStart)
{
    map.resize(static_cast<size_t>(dstCount));
    if (dstCount == srcCount) {
        // One source pixel a step, without a division for each.
        for (int i = 0; i < dstCount; ++i)
            map[size_t(i)] = srcStart + (mirror ? dstCount - 1 - i : i);
        return;
    }
    for (int i = 0; i < dstCount; ++i) {
        int j = int((int64_t(2 * i + 1) * srcCount) / (int64_t(2) * dstCount));
        if (mirror)
            j = srcCount - 1 - j;
        map[size_t(i)] = srcStart + j;
    }
}

// Maps and rows StretchRaster keeps from call to call: a blit of a small
// button otherwise spends more on allocating them than on its pixels. Only
// the smoothing step calls StretchRaster again, before these are used.
struct StretchScratch {
    std::vector<int> xMap;
    std::vector<int> yMap;
    std::vector<uint32_t> srcRow;
    std::vector<uint32_t> patRow;
};
thread_local StretchScratch t_stretch;

// The span [first, last) of destination offsets whose source lies in [lo, hi);
// the map is monotonic, so the span is contiguous.
std::pair<int, int> ValidSpan(const std::vector<int>& map, int lo, int hi)
{
    int first = 0;
    int count = int(map.size());
    while (first < count && (map[size_t(first)] < lo || map[size_t(first)] >= hi))
        ++first;
    int last = first;
    while (last < count && map[size_t(last)] >= lo && map[size_t(last)] < hi)
        ++last;
    return {first, last};
}

// HALFTONE: the part of the destination that can be drawn is resampled
// from the source with Cairo's smoothing filter, then copied through the
// operation one to one. Only a source of colours (no mono conversion) that
// lies wholly inside its bounds and changes size is smoothed; everything
// else keeps the nearest-pixel copy. False when nothing was done.
bool StretchSmoothly(DeviceContext& dc, RasterTarget& target, const BlitRect& dst, const BlitSource& src,
    const BlitRect& srcRect, DWORD rop)
{
    int dw = std::abs(dst.width);
    int dh = std::abs(dst.height);
    int sw = std::abs(srcRect.width);
    int sh = std::abs(srcRect.height);
    int sLeft = SpanStart(srcRect.x, srcRect.width);
    int sTop = SpanStart(srcRect.y, srcRect.height);
    if (src.conversion != SourceConversion::None || (dw == sw && dh == sh))
        return false;
    if (sLeft < src.bounds.left || sTop < src.bounds.top || sLeft + sw > src.bounds.right
        || sTop + sh > src.bounds.bottom)
        return false;
    int dLeft = SpanStart(dst.x, dst.width);
    int dTop = SpanStart(dst.y, dst.height);
    Region area = DrawableRegion(dc, target).Intersect(RECT{dLeft, dTop, dLeft + dw, dTop + dh});
    if (area.IsEmpty())
        return true;
    const RECT b = area.Bounds();
    PixelBuffer resampled;
    if (!resampled.Allocate(b.right - b.left, b.bottom - b.top))
        return false;

    bool mirrorX = (dst.width < 0) != (srcRect.width < 0);
    bool mirrorY = (dst.height < 0) != (srcRect.height < 0);
    // Only the source pixels under the drawn part are taken (with room for
    // the filter's reach); they are Cairo's RGB24 layout already.
    auto sourceSpan = [](int first, int last, int dStart, int dCount, int sCount, bool mirror) {
        double a = double(first - dStart) * sCount / dCount;
        double z = double(last - dStart) * sCount / dCount;
        if (mirror) {
            a = sCount - a;
            z = sCount - z;
        }
        int reach = sCount / dCount + 2;
        int lo = std::max(0, int(std::floor(std::min(a, z))) - reach);
        int hi = std::min(sCount, int(std::ceil(std::max(a, z))) + reach);
        return std::pair<int, int>(lo, std::max(lo + 1, hi));
    };
    auto [u0, u1] = sourceSpan(b.left, b.right, dLeft, dw, sw, mirrorX);
    auto [v0, v1] = sourceSpan(b.top, b.bottom, dTop, dh, sh, mirrorY);
    PixelBuffer part;
    if (!part.Allocate(u1 - u0, v1 - v0))
        return false;
    for (int y = v0; y < v1; ++y)
        std::memcpy(part.Row(y - v0), src.buffer->Row(sTop + y + src.origin.y) + src.origin.x + sLeft + u0,
            size_t(part.width) * sizeof(uint32_t));
    cairo_surface_t* in = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(part.pixels.data()),
        CAIRO_FORMAT_RGB24, part.width, part.height, part.StrideBytes());
    cairo_surface_t* out = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(resampled.pixels.data()),
        CAIRO_FORMAT_RGB24, resampled.width, resampled.height, resampled.StrideBytes());
    cairo_t* cr = cairo_create(out);
    cairo_translate(cr, dLeft - b.left + (mirrorX ? dw : 0), dTop - b.top + (mirrorY ? dh : 0));
    cairo_scale(cr, (mirrorX ? -1.0 : 1.0) * dw / sw, (mirrorY ? -1.0 : 1.0) * dh / sh);
    cairo_set_source_surface(cr, in, u0, v0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    // The edges repeat their own pixels rather than fading into black.
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_finish(out);
    cairo_surface_destroy(out);
    cairo_surface_destroy(in);
    for (uint32_t& p : resampled.pixels)
        p &= 0x00FFFFFF;

    BlitSource smooth;
    smooth.buffer = &resampled;
    smooth.origin = POINT{-b.left, -b.top};
    smooth.bounds = b;
    BlitRect one{b.left, b.top, b.right - b.left, b.bottom - b.top};
    // Same size now, so this copy does not come back here.
    StretchRaster(dc, target, one, &smooth, one, rop);
    return true;
}

} // namespace

Rop3RowFunction Rop3Row(uint8_t code)
{
    return kRows[code];
}

uint32_t PixelFromQuad(const RGBQUAD& q)
{
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

RGBQUAD QuadFromPixel(uint32_t pixel)
{
    return RGBQUAD{BYTE(pixel & 0xFF), BYTE((pixel >> 8) & 0xFF), BYTE((pixel >> 16) & 0xFF), 0};
}

size_t NearestColorIndex(const std::vector<RGBQUAD>& table, uint32_t pixel)
{
    size_t best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < table.size() && bestDistance > 0; ++i) {
        int d = Distance(pixel, table[i]);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void StretchRaster(DeviceContext& dc, RasterTarget& target, const BlitRect& dst, const BlitSource* src,
    const BlitRect& srcRect, DWORD rop)
{
    uint8_t code = Rop3Code(rop);
    bool usesSource = Rop3UsesSource(code);
    bool usesPattern = Rop3UsesPattern(code);
    if (dst.width == 0 || dst.height == 0 || !target.buffer)
        return;
    if (usesSource && (!src || !src->buffer || srcRect.width == 0 || srcRect.height == 0))
        return;
    if (usesSource && dc.state.stretchMode == HALFTONE && StretchSmoothly(dc, target, dst, *src, srcRect, rop))
        return;

    Paint paint;
    if (usesPattern) {
        paint = ResolveBrush(dc, target, CurrentBrush(dc));
        // A hollow brush paints nothing, whatever the operation.
        if (paint.IsNone())
            return;
    }

    int dw = dst.width < 0 ? -dst.width : dst.width;
    int dh = dst.height < 0 ? -dst.height : dst.height;
    int dLeft = SpanStart(dst.x, dst.width);
    int dTop = SpanStart(dst.y, dst.height);

    // Destination offsets that have a source pixel, per axis.
    std::vector<int>& xMap = t_stretch.xMap;
    std::vector<int>& yMap = t_stretch.yMap;
    xMap.clear();
    yMap.clear();
    int x0 = 0;
    int x1 = dw;
    int y0 = 0;
    int y1 = dh;
    if (usesSource) {
        int sw = srcRect.width < 0 ? -srcRect.width : srcRect.width;
        int sh = srcRect.height < 0 ? -srcRect.height : srcRect.height;
        int sLeft = SpanStart(srcRect.x, srcRect.width);
        int sTop = SpanStart(srcRect.y, srcRect.height);
        SampleMap(xMap, dw, sw, (dst.width < 0) != (srcRect.width < 0), sLeft);
        SampleMap(yMap, dh, sh, (dst.height < 0) != (srcRect.height < 0), sTop);
        std::tie(x0, x1) = ValidSpan(xMap, src->bounds.left, src->bounds.right);
        std::tie(y0, y1) = ValidSpan(yMap, src->bounds.top, src->bounds.bottom);
        if (x0 >= x1 || y0 >= y1)
            return;
    }

    RECT covered{dLeft + x0, dTop + y0, dLeft + x1, dTop + y1};
    Region area = DrawableRegion(dc, target).Intersect(covered);
    if (area.IsEmpty())
        return;

    // Reading and writing one buffer: take the source rows first, so that
    // overlapping copies read the pixels as they were.
    PixelBuffer copy;
    BlitSource local;
    if (usesSource) {
        local = *src;
        if (src->buffer == target.buffer) {
            const RECT& b = area.Bounds();
            int minX = std::min(xMap[size_t(b.left - dLeft)], xMap[size_t(b.right - 1 - dLeft)]);
            int maxX = std::max(xMap[size_t(b.left - dLeft)], xMap[size_t(b.right - 1 - dLeft)]);
            int minY = std::min(yMap[size_t(b.top - dTop)], yMap[size_t(b.bottom - 1 - dTop)]);
            int maxY = std::max(yMap[size_t(b.top - dTop)], yMap[size_t(b.bottom - 1 - dTop)]);
            if (!copy.Allocate(maxX - minX + 1, maxY - minY + 1))
                return;
            for (int y = minY; y <= maxY; ++y) {
                const uint32_t* row = src->buffer->Row(y + src->origin.y) + src->origin.x;
                std::memcpy(copy.Row(y - minY), row + minX, size_t(copy.width) * sizeof(uint32_t));
            }
            local.buffer = &copy;
            local.origin = POINT{-minX, -minY};
        }
    }

    Rop3RowFunction op = Rop3Row(code);
    const std::vector<RGBQUAD>* table = target.colorTable && !target.colorTable->empty() ? target.colorTable : nullptr;
    bool partlyOpaque = usesPattern && paint.kind == Paint::Kind::Pattern && paint.opaque != ~uint64_t(0);
    std::vector<uint32_t>& srcRow = t_stretch.srcRow;
    std::vector<uint32_t>& patRow = t_stretch.patRow;
    std::vector<uint32_t> before;
    uint32_t lastIn = 0xFFFFFFFF;
    uint32_t lastOut = 0;

    // A copy at the same scale and orientation reads source rows in place.
    // Nearest-pixel steps differ by at most one, so a map that is one pixel a
    // step on average is one pixel every step.
    bool inPlace = usesSource && local.conversion == SourceConversion::None && !xMap.empty()
        && xMap.back() - xMap.front() == int(xMap.size()) - 1;
    for (const RECT& r : area.Rects()) {
        size_t n = size_t(r.right - r.left);
        srcRow.resize(n);
        patRow.resize(n);
        if (usesPattern && paint.kind == Paint::Kind::Solid)
            std::fill(patRow.begin(), patRow.end(), paint.color);
        for (int y = r.top; y < r.bottom; ++y) {
            const uint32_t* srcPixels = srcRow.data();
            if (usesSource) {
                const uint32_t* row = local.buffer->Row(yMap[size_t(y - dTop)] + local.origin.y) + local.origin.x;
                if (inPlace) {
                    srcPixels = row + xMap[size_t(r.left - dLeft)];
                } else {
                    for (size_t i = 0; i < n; ++i) {
                        uint32_t s = row[xMap[size_t(r.left - dLeft) + i]] & 0x00FFFFFF;
                        switch (local.conversion) {
                        case SourceConversion::None:
                            break;
                        case SourceConversion::MonoToColor:
                            s = s == local.monoOne ? local.background : local.foreground;
                            break;
                        case SourceConversion::ColorToMono:
                            s = s == local.colorKey ? 0x00FFFFFF : 0;
                            break;
                        }
                        srcRow[i] = s;
                    }
                }
            }
            if (usesPattern && paint.kind == Paint::Kind::Pattern) {
                const uint32_t* pattern = paint.pattern + paint.RowAt(y) * 8;
                for (size_t i = 0; i < n; ++i)
                    patRow[i] = pattern[paint.ColumnAt(r.left + int(i))];
            }
            uint32_t* out = target.buffer->Row(y + target.origin.y) + target.origin.x + r.left;
            if (partlyOpaque)
                before.assign(out, out + n);
            op(out, srcPixels, patRow.data(), n);
            if (partlyOpaque) {
                int py = paint.RowAt(y);
                for (size_t i = 0; i < n; ++i) {
                    int px = paint.ColumnAt(r.left + int(i));
                    if (((paint.opaque >> (py * 8 + px)) & 1) == 0)
                        out[i] = before[i];
                }
            }
            if (table) {
                for (size_t i = 0; i < n; ++i) {
                    if (out[i] != lastIn) {
                        lastIn = out[i];
                        lastOut = PixelFromQuad((*table)[NearestColorIndex(*table, lastIn)]);
                    }
                    out[i] = lastOut;
                }
            }
        }
    }
}

} // namespace platform
