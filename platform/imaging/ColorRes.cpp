// Colour resolution: palettes (fixed, optimised, the caller's), nearest
// colour matching, error diffusion, grey scale and palette access.

#include "platform/imaging/ImagingInternal.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

namespace platform::imaging {

namespace {

constexpr int kCellBits = 3; // cells of 8 x 8 x 8 colours
constexpr int kCellsPerAxis = 256 >> kCellBits;

int Square(int v)
{
    return v * v;
}

int DistanceTo(const RGBQUAD& q, int r, int g, int b)
{
    return Square(q.rgbRed - r) + Square(q.rgbGreen - g) + Square(q.rgbBlue - b);
}

} // namespace

ColorMatcher::ColorMatcher(std::vector<RGBQUAD> palette)
    : m_palette(std::move(palette))
    , m_cellFirst(size_t(kCellsPerAxis) * kCellsPerAxis * kCellsPerAxis, -1)
    , m_cellCount(m_cellFirst.size(), 0)
{
    if (m_palette.size() > 256)
        m_palette.resize(256);
}

void ColorMatcher::FillCell(int cell)
{
    const int lo[3] = { (cell >> (2 * 5)) << kCellBits, ((cell >> 5) & 31) << kCellBits, (cell & 31) << kCellBits };
    const int span = (1 << kCellBits) - 1;
    // An entry can be nearest to some colour of the cell only when its
    // nearest approach to the cell is no farther than the entry whose
    // farthest corner is nearest.
    auto along = [&](int c, int axis, bool farthest) {
        const int a = lo[axis];
        const int b = a + span;
        if (farthest)
            return std::max(std::abs(c - a), std::abs(c - b));
        return c < a ? a - c : (c > b ? c - b : 0);
    };
    int threshold = 1 << 30;
    for (const RGBQUAD& q : m_palette) {
        const int far = Square(along(q.rgbRed, 0, true)) + Square(along(q.rgbGreen, 1, true))
            + Square(along(q.rgbBlue, 2, true));
        threshold = std::min(threshold, far);
    }
    m_cellFirst[size_t(cell)] = int32_t(m_candidates.size());
    for (size_t i = 0; i < m_palette.size(); ++i) {
        const RGBQUAD& q = m_palette[i];
        const int near = Square(along(q.rgbRed, 0, false)) + Square(along(q.rgbGreen, 1, false))
            + Square(along(q.rgbBlue, 2, false));
        if (near <= threshold)
            m_candidates.push_back(uint8_t(i));
    }
    m_cellCount[size_t(cell)] = uint16_t(m_candidates.size() - size_t(m_cellFirst[size_t(cell)]));
}

int ColorMatcher::Nearest(int red, int green, int blue)
{
    if (m_palette.empty())
        return 0;
    const int cell = (red >> kCellBits) << 10 | (green >> kCellBits) << 5 | (blue >> kCellBits);
    if (m_cellFirst[size_t(cell)] < 0)
        FillCell(cell);
    const uint8_t* c = m_candidates.data() + m_cellFirst[size_t(cell)];
    const int count = m_cellCount[size_t(cell)];
    int best = c[0];
    int bestDistance = DistanceTo(m_palette[best], red, green, blue);
    for (int i = 1; i < count && bestDistance > 0; ++i) {
        const int d = DistanceTo(m_palette[c[i]], red, green, blue);
        if (d < bestDistance) {
            best = c[i];
            bestDistance = d;
        }
    }
    return best;
}

std::vector<RGBQUAD> FixedPalette(int bitsPerPixel)
{
    std::vector<RGBQUAD> palette;
    auto add = [&](int r, int g, int b) { palette.push_back(RGBQUAD { BYTE(b), BYTE(g), BYTE(r), 0 }); };
    if (bitsPerPixel == 1) {
        add(0, 0, 0);
        add(255, 255, 255);
    } else if (bitsPerPixel == 4) {
        static const int kVga[16][3] = { { 0, 0, 0 }, { 128, 0, 0 }, { 0, 128, 0 }, { 128, 128, 0 }, { 0, 0, 128 },
            { 128, 0, 128 }, { 0, 128, 128 }, { 192, 192, 192 }, { 128, 128, 128 }, { 255, 0, 0 }, { 0, 255, 0 },
            { 255, 255, 0 }, { 0, 0, 255 }, { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 } };
        for (const auto& c : kVga)
            add(c[0], c[1], c[2]);
    } else if (bitsPerPixel == 8) {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    add(r * 51, g * 51, b * 51);
        // Greys between the cube's six fill the rest of the table.
        for (int i = 1; i <= 40; ++i) {
            const int level = (i * 255 + 20) / 41;
            add(level, level, level);
        }
    }
    return palette;
}

namespace {

// The colours of a picture as histogram cells of 5 bits a channel.
struct Cell {
    uint16_t key = 0;
    uint32_t count = 0;
    uint64_t sum[3] = { 0, 0, 0 }; // red, green, blue
    int Channel(int c) const { return (key >> (10 - 5 * c)) & 31; }
};

// Median cut: the box of colours with the most pixels times spread is cut
// at its median along its widest channel until there are enough boxes;
// each box gives its mean colour.
std::vector<RGBQUAD> MedianCut(const WorkImage& image, size_t capacity)
{
    std::vector<Cell> cells(32768);
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i].key = uint16_t(i);
    const size_t count = size_t(image.width) * size_t(image.height);
    const uint8_t* p = image.bgra.data();
    for (size_t i = 0; i < count; ++i, p += 4) {
        Cell& c = cells[size_t(p[2] >> 3) << 10 | size_t(p[1] >> 3) << 5 | size_t(p[0] >> 3)];
        ++c.count;
        c.sum[0] += p[2];
        c.sum[1] += p[1];
        c.sum[2] += p[0];
    }
    cells.erase(std::remove_if(cells.begin(), cells.end(), [](const Cell& c) { return c.count == 0; }), cells.end());

    struct Box {
        size_t begin, end;
    };
    auto spread = [&](const Box& b, int& widest) {
        int best = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 31, hi = 0;
            for (size_t i = b.begin; i < b.end; ++i) {
                lo = std::min(lo, cells[i].Channel(ch));
                hi = std::max(hi, cells[i].Channel(ch));
            }
            if (hi - lo > best) {
                best = hi - lo;
                widest = ch;
            }
        }
        return best;
    };
    auto pixels = [&](const Box& b) {
        uint64_t n = 0;
        for (size_t i = b.begin; i < b.end; ++i)
            n += cells[i].count;
        return n;
    };
    std::vector<Box> boxes { Box { 0, cells.size() } };
    while (boxes.size() < capacity) {
        size_t pick = boxes.size();
        uint64_t pickScore = 0;
        int pickChannel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2)
                continue;
            int channel = 0;
            const uint64_t score = pixels(boxes[i]) * uint64_t(spread(boxes[i], channel) + 1);
            if (score > pickScore) {
                pickScore = score;
                pick = i;
                pickChannel = channel;
            }
        }
        if (pick == boxes.size())
            break;
        Box box = boxes[pick];
        std::sort(cells.begin() + long(box.begin), cells.begin() + long(box.end),
            [&](const Cell& a, const Cell& b) { return a.Channel(pickChannel) < b.Channel(pickChannel); });
        const uint64_t half = pixels(box) / 2;
        uint64_t seen = 0;
        size_t cut = box.begin;
        while (cut < box.end - 1 && seen + cells[cut].count <= half)
            seen += cells[cut++].count;
        if (cut == box.begin)
            ++cut;
        boxes[pick] = Box { box.begin, cut };
        boxes.push_back(Box { cut, box.end });
    }
    std::vector<RGBQUAD> palette;
    for (const Box& b : boxes) {
        uint64_t n = 0, s[3] = { 0, 0, 0 };
        for (size_t i = b.begin; i < b.end; ++i) {
            n += cells[i].count;
            for (int c = 0; c < 3; ++c)
                s[c] += cells[i].sum[c];
        }
        if (n == 0)
            continue;
        palette.push_back(RGBQUAD { BYTE((s[2] + n / 2) / n), BYTE((s[1] + n / 2) / n), BYTE((s[0] + n / 2) / n), 0 });
    }
    return palette;
}

// The picture's own colours when they fit, most used first; otherwise a
// median cut.
std::vector<RGBQUAD> OptimizedPalette(const WorkImage& image, size_t capacity)
{
    struct Seen {
        uint32_t count;
        size_t first;
    };
    std::unordered_map<uint32_t, Seen> colours;
    const size_t count = size_t(image.width) * size_t(image.height);
    const uint8_t* p = image.bgra.data();
    for (size_t i = 0; i < count; ++i, p += 4) {
        const uint32_t key = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        auto [it, added] = colours.try_emplace(key, Seen { 0, i });
        ++it->second.count;
        if (added && colours.size() > capacity)
            return MedianCut(image, capacity);
    }
    std::vector<std::pair<uint32_t, Seen>> sorted(colours.begin(), colours.end());
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.second.count != b.second.count ? a.second.count > b.second.count : a.second.first < b.second.first;
    });
    std::vector<RGBQUAD> palette;
    for (const auto& [key, seen] : sorted)
        palette.push_back(RGBQUAD { BYTE(key), BYTE(key >> 8), BYTE(key >> 16), 0 });
    return palette;
}

enum class Dither { None, Diffuse, Ordered };

// Maps every pixel to a palette index: the nearest entry; or diffusing each
// pixel's error to the ones right and below it (Floyd and Steinberg's
// weights); or nudging each pixel by its place in an 8 x 8 ordered matrix,
// by about the spacing of the palette's colours.
std::vector<uint8_t> MapToPalette(const WorkImage& image, ColorMatcher& matcher, Dither method)
{
    const size_t width = size_t(image.width);
    std::vector<uint8_t> indexes(width * size_t(image.height));
    const std::vector<RGBQUAD>& palette = matcher.Palette();
    if (method == Dither::Ordered) {
        static const uint8_t kBayer[8][8] = { { 0, 32, 8, 40, 2, 34, 10, 42 }, { 48, 16, 56, 24, 50, 18, 58, 26 },
            { 12, 44, 4, 36, 14, 46, 6, 38 }, { 60, 28, 52, 20, 62, 30, 54, 22 }, { 3, 35, 11, 43, 1, 33, 9, 41 },
            { 51, 19, 59, 27, 49, 17, 57, 25 }, { 15, 47, 7, 39, 13, 45, 5, 37 }, { 63, 31, 55, 23, 61, 29, 53, 21 } };
        const double spread = 256.0 / std::cbrt(double(std::max<size_t>(2, palette.size())));
        for (int y = 0; y < image.height; ++y) {
            const uint8_t* in = image.Row(y);
            uint8_t* out = indexes.data() + size_t(y) * width;
            for (size_t x = 0; x < width; ++x, in += 4) {
                const int nudge = int(std::lround(((kBayer[y & 7][x & 7] + 0.5) / 64.0 - 0.5) * spread));
                out[x] = uint8_t(matcher.Nearest(std::clamp(in[2] + nudge, 0, 255), std::clamp(in[1] + nudge, 0, 255),
                    std::clamp(in[0] + nudge, 0, 255)));
            }
        }
        return indexes;
    }
    const bool dither = method == Dither::Diffuse;
    // Errors in sixteenths, one slot either side of the row.
    std::vector<int> current((width + 2) * 3, 0);
    std::vector<int> next((width + 2) * 3, 0);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* in = image.Row(y);
        uint8_t* out = indexes.data() + size_t(y) * width;
        if (!dither) {
            for (size_t x = 0; x < width; ++x, in += 4)
                out[x] = uint8_t(matcher.Nearest(in[2], in[1], in[0]));
            continue;
        }
        std::fill(next.begin(), next.end(), 0);
        for (size_t x = 0; x < width; ++x, in += 4) {
            int* e = current.data() + (x + 1) * 3;
            const int r = std::clamp(int(in[2]) + (e[0] + 8) / 16, 0, 255);
            const int g = std::clamp(int(in[1]) + (e[1] + 8) / 16, 0, 255);
            const int b = std::clamp(int(in[0]) + (e[2] + 8) / 16, 0, 255);
            const int index = matcher.Nearest(r, g, b);
            out[x] = uint8_t(index);
            const RGBQUAD& q = palette[size_t(index)];
            const int err[3] = { r - q.rgbRed, g - q.rgbGreen, b - q.rgbBlue };
            int* below = next.data() + (x + 1) * 3;
            for (int c = 0; c < 3; ++c) {
                e[3 + c] += err[c] * 7;
                below[c - 3] += err[c] * 3;
                below[c] += err[c] * 5;
                below[c + 3] += err[c];
            }
        }
        std::swap(current, next);
    }
    return indexes;
}

void PackIndexes(const std::vector<uint8_t>& indexes, int width, int height, int bitsPerPixel, LTBITMAP& out)
{
    const int stride = RowBytes(width, bitsPerPixel);
    out.Pixels.assign(size_t(stride) * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = indexes.data() + size_t(y) * size_t(width);
        BYTE* row = out.Pixels.data() + size_t(y) * size_t(stride);
        switch (bitsPerPixel) {
        case 1:
            for (int x = 0; x < width; ++x)
                row[x >> 3] |= BYTE((in[x] & 1) << (7 - (x & 7)));
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                row[x >> 1] |= BYTE((in[x] & 0x0F) << ((x & 1) ? 0 : 4));
            break;
        default:
            std::copy(in, in + width, row);
            break;
        }
    }
    out.Width = width;
    out.Height = height;
    out.BitsPerPixel = bitsPerPixel;
    out.BytesPerLine = stride;
    out.Flags |= LT_BITMAP_ALLOCATED;
}

} // namespace

} // namespace platform::imaging

using namespace platform::imaging;

int LtColorRes(pLTBITMAP destination, const LTBITMAP* source, int bitsPerPixel, UINT flags, const RGBQUAD* palette,
    int /*reserved1*/, int /*reserved2*/, int /*reserved3*/)
{
    if (!destination || !source || !Usable(*source))
        return LT_ERR_BAD_BITMAP;
    if (!ValidDepth(bitsPerPixel))
        return LT_ERR_BAD_PARAM;
    const UINT palettePart = flags & LT_COLORRES_PALETTE_MASK;
    const UINT ditherPart = flags & LT_COLORRES_DITHER_MASK;
    const bool user = (palettePart & LT_COLORRES_USER_PALETTE) != 0;
    const bool optimized = !user && (palettePart & (LT_COLORRES_OPTIMIZED | LT_COLORRES_OPTIMIZED2)) != 0;
    // Any dithering other than the ordered kind is taken as diffusion.
    const Dither method = ditherPart == 0 ? Dither::None
        : ditherPart == LT_COLORRES_ORDERED ? Dither::Ordered
                                            : Dither::Diffuse;
    if (bitsPerPixel <= 8 && user && !palette)
        return LT_ERR_BAD_PARAM;
    WorkImage work;
    if (!ToWork(*source, work))
        return LT_ERR_NO_MEMORY;

    LTBITMAP out;
    out.Flags = BYTE(source->Flags & LT_BITMAP_TRANSPARENT);
    out.TransparentColor = source->TransparentColor;
    if (bitsPerPixel > 8) {
        if (!FromWork(work, bitsPerPixel, source->Order, out))
            return LT_ERR_NO_MEMORY;
    } else {
        const size_t capacity = size_t(1) << bitsPerPixel;
        std::vector<RGBQUAD> colours;
        if (user)
            colours.assign(palette, palette + capacity);
        else if (optimized)
            colours = OptimizedPalette(work, capacity);
        else
            colours = FixedPalette(bitsPerPixel);
        for (RGBQUAD& q : colours)
            q.rgbReserved = 0;
        ColorMatcher matcher(colours);
        const std::vector<uint8_t> indexes = MapToPalette(work, matcher, method);
        PackIndexes(indexes, work.width, work.height, bitsPerPixel, out);
        colours.resize(capacity, RGBQUAD { 0, 0, 0, 0 });
        out.Palette = std::move(colours);
        out.Order = source->Order;
    }
    *destination = std::move(out);
    return LT_SUCCESS;
}

int LtGrayScale(pLTBITMAP bitmap, int bitsPerPixel)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (bitsPerPixel != 8)
        return LT_ERR_BAD_PARAM;
    const int width = bitmap->Width;
    const int height = bitmap->Height;
    const int stride = RowBytes(width, 8);
    std::vector<BYTE> pixels(size_t(stride) * size_t(height), 0);
    std::vector<uint8_t> row(size_t(width) * 4);
    for (int y = 0; y < height; ++y) {
        ReadRowBgra(*bitmap, y, 0, width, row.data());
        BYTE* out = pixels.data() + size_t(y) * size_t(stride);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = row.data() + size_t(x) * 4;
            out[x] = GreyOf(p[2], p[1], p[0]);
        }
    }
    bitmap->Palette.resize(256);
    for (int i = 0; i < 256; ++i)
        bitmap->Palette[size_t(i)] = RGBQUAD { BYTE(i), BYTE(i), BYTE(i), 0 };
    bitmap->BitsPerPixel = 8;
    bitmap->BytesPerLine = stride;
    bitmap->Pixels = std::move(pixels);
    return LT_SUCCESS;
}

int LtGetPalette(const LTBITMAP* bitmap, int first, int count, RGBQUAD* colors)
{
    if (!bitmap)
        return LT_ERR_BAD_BITMAP;
    if (bitmap->BitsPerPixel > 8 || !ValidDepth(bitmap->BitsPerPixel) || !colors || first < 0 || count < 0
        || first > (1 << bitmap->BitsPerPixel) - count)
        return LT_ERR_BAD_PARAM;
    for (int i = 0; i < count; ++i) {
        const size_t at = size_t(first + i);
        colors[i] = at < bitmap->Palette.size() ? bitmap->Palette[at] : RGBQUAD { 0, 0, 0, 0 };
    }
    return LT_SUCCESS;
}

int LtPutPalette(pLTBITMAP bitmap, int first, int count, const RGBQUAD* colors)
{
    if (!bitmap)
        return LT_ERR_BAD_BITMAP;
    if (bitmap->BitsPerPixel > 8 || !ValidDepth(bitmap->BitsPerPixel) || !colors || first < 0 || count < 0
        || first > (1 << bitmap->BitsPerPixel) - count)
        return LT_ERR_BAD_PARAM;
    const size_t size = size_t(1) << bitmap->BitsPerPixel;
    if (bitmap->Palette.size() < size)
        bitmap->Palette.resize(size, RGBQUAD { 0, 0, 0, 0 });
    for (int i = 0; i < count; ++i) {
        RGBQUAD q = colors[i];
        q.rgbReserved = 0;
        bitmap->Palette[size_t(first + i)] = q;
    }
    return LT_SUCCESS;
}

int LtKernel135(const LTBITMAP* bitmap)
{
    if (!bitmap || bitmap->BitsPerPixel != 8 || bitmap->Palette.size() < 256)
        return FALSE;
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& q = bitmap->Palette[size_t(i)];
        if (q.rgbRed != i || q.rgbGreen != i || q.rgbBlue != i)
            return FALSE;
    }
    return TRUE;
}
