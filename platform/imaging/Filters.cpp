// The effect filters: tone curves (gamma, posterize, negative, contrast),
// colour turns (hue, saturation), neighbourhood filters (median, emboss,
// sharpen), noise, halftone screens and shearing.
//
// Tone curves and colour turns change a palette record's palette alone and
// keep every depth. The others compute each pixel from its position or its
// neighbours, so palette records come back at 24 bits; 16-, 24- and 32-bit
// records keep their depth, and 32-bit ones their alpha.
//
// Large pictures are split into bands of rows worked on side by side. Each
// output pixel is computed from the input alone, never from another band's
// output, so the result is the same however many bands there are.

#include "platform/imaging/FilterSupport.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

namespace platform::imaging {

namespace {
std::atomic<int> g_fixedBands { 0 };
} // namespace

int SetFilterBands(int bands)
{
    return g_fixedBands.exchange(std::max(0, bands));
}

void ForEachBand(int height, long long workPerRow, const std::function<void(int, int)>& band)
{
    if (height <= 0)
        return;
    // Below about a quarter of a million operations a thread costs more
    // than it saves.
    const long long total = (long long)height * std::max(1LL, workPerRow);
    unsigned cores = std::thread::hardware_concurrency();
    if (cores == 0)
        cores = 1;
    long long bands = std::min<long long>({ (long long)cores, 16LL, height, total / 250000 + 1 });
    if (const int fixed = g_fixedBands.load(); fixed > 0)
        bands = std::min<long long>(fixed, height);
    if (bands <= 1) {
        band(0, height);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(size_t(bands - 1));
    const int per = int((height + bands - 1) / bands);
    try {
        for (int y0 = per; y0 < height; y0 += per)
            threads.emplace_back([&band, y0, height, per] { band(y0, std::min(height, y0 + per)); });
    } catch (const std::system_error&) {
        // No more threads to be had: the bands already started run, the
        // rest are done here.
        const int started = int(threads.size());
        for (int y0 = per * (started + 1); y0 < height; y0 += per)
            band(y0, std::min(height, y0 + per));
    }
    band(0, std::min(height, per));
    for (std::thread& t : threads)
        t.join();
}

int ApplyChannelTables(LTBITMAP& b, const uint8_t* red, const uint8_t* green, const uint8_t* blue)
{
    switch (b.BitsPerPixel) {
    case 1:
    case 4:
    case 8:
        for (RGBQUAD& q : b.Palette) {
            q.rgbRed = red[q.rgbRed];
            q.rgbGreen = green[q.rgbGreen];
            q.rgbBlue = blue[q.rgbBlue];
        }
        return LT_SUCCESS;
    case 16:
        ForEachBand(b.Height, b.Width, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine);
                for (int x = 0; x < b.Width; ++x, p += 2) {
                    const unsigned v = unsigned(p[0]) | unsigned(p[1]) << 8;
                    auto level = [](unsigned c) { return (c << 3) | (c >> 2); };
                    const unsigned r = red[level((v >> 10) & 0x1F)] >> 3;
                    const unsigned g = green[level((v >> 5) & 0x1F)] >> 3;
                    const unsigned bl = blue[level(v & 0x1F)] >> 3;
                    const unsigned out = (v & 0x8000) | r << 10 | g << 5 | bl;
                    p[0] = BYTE(out);
                    p[1] = BYTE(out >> 8);
                }
            }
        });
        return LT_SUCCESS;
    case 24:
    case 32: {
        const int step = b.BitsPerPixel / 8;
        const uint8_t* first = b.Order == LT_ORDER_RGB ? red : blue;
        const uint8_t* third = b.Order == LT_ORDER_RGB ? blue : red;
        ForEachBand(b.Height, b.Width, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine);
                for (int x = 0; x < b.Width; ++x, p += step) {
                    p[0] = first[p[0]];
                    p[1] = green[p[1]];
                    p[2] = third[p[2]];
                }
            }
        });
        return LT_SUCCESS;
    }
    default:
        return LT_ERR_BAD_BITMAP;
    }
}

int ApplyTable(LTBITMAP& b, const uint8_t* table)
{
    return ApplyChannelTables(b, table, table, table);
}

int ApplyColorMap(LTBITMAP& b, const std::function<void(uint8_t& r, uint8_t& g, uint8_t& bl)>& map)
{
    if (b.BitsPerPixel <= 8) {
        for (RGBQUAD& q : b.Palette)
            map(q.rgbRed, q.rgbGreen, q.rgbBlue);
        return LT_SUCCESS;
    }
    if (b.BitsPerPixel == 16) {
        ForEachBand(b.Height, b.Width * 8LL, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine);
                for (int x = 0; x < b.Width; ++x, p += 2) {
                    const unsigned v = unsigned(p[0]) | unsigned(p[1]) << 8;
                    auto level = [](unsigned c) { return uint8_t((c << 3) | (c >> 2)); };
                    uint8_t r = level((v >> 10) & 0x1F);
                    uint8_t g = level((v >> 5) & 0x1F);
                    uint8_t bl = level(v & 0x1F);
                    map(r, g, bl);
                    const unsigned out
                        = (v & 0x8000) | unsigned(r >> 3) << 10 | unsigned(g >> 3) << 5 | unsigned(bl >> 3);
                    p[0] = BYTE(out);
                    p[1] = BYTE(out >> 8);
                }
            }
        });
        return LT_SUCCESS;
    }
    const int step = b.BitsPerPixel / 8;
    const bool rgb = b.Order == LT_ORDER_RGB;
    ForEachBand(b.Height, b.Width * 8LL, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine);
            for (int x = 0; x < b.Width; ++x, p += step) {
                if (rgb)
                    map(p[0], p[1], p[2]);
                else
                    map(p[2], p[1], p[0]);
            }
        }
    });
    return LT_SUCCESS;
}

bool MakeWork(int width, int height, WorkImage& out)
{
    try {
        out.width = width;
        out.height = height;
        out.bgra.assign(size_t(width) * size_t(height) * 4, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace platform::imaging

using namespace platform::imaging;

namespace {

constexpr double kPi = 3.14159265358979323846;

uint8_t Clamp255(double v)
{
    return uint8_t(v <= 0.0 ? 0 : v >= 255.0 ? 255 : int(v + 0.5));
}

uint8_t Clamp255(int v)
{
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Red, green and blue (0..1) to hue (0..6), saturation and lightness (0..1).
void ToHsl(double r, double g, double b, double& h, double& s, double& l)
{
    const double mx = std::max({ r, g, b });
    const double mn = std::min({ r, g, b });
    l = (mx + mn) / 2.0;
    const double d = mx - mn;
    if (d <= 0.0) {
        h = 0.0;
        s = 0.0;
        return;
    }
    s = l <= 0.5 ? d / (mx + mn) : d / (2.0 - mx - mn);
    if (mx == r)
        h = (g - b) / d + (g < b ? 6.0 : 0.0);
    else if (mx == g)
        h = (b - r) / d + 2.0;
    else
        h = (r - g) / d + 4.0;
}

double HueChannel(double p, double q, double t)
{
    if (t < 0.0)
        t += 6.0;
    if (t >= 6.0)
        t -= 6.0;
    if (t < 1.0)
        return p + (q - p) * t;
    if (t < 3.0)
        return q;
    if (t < 4.0)
        return p + (q - p) * (4.0 - t);
    return p;
}

void FromHsl(double h, double s, double l, uint8_t& r, uint8_t& g, uint8_t& b)
{
    if (s <= 0.0) {
        r = g = b = Clamp255(l * 255.0);
        return;
    }
    const double q = l < 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double p = 2.0 * l - q;
    r = Clamp255(HueChannel(p, q, h + 2.0) * 255.0);
    g = Clamp255(HueChannel(p, q, h) * 255.0);
    b = Clamp255(HueChannel(p, q, h - 2.0) * 255.0);
}

// A well-mixed 32-bit value of a pixel position and a channel: the noise
// of one pixel depends on nothing else, so a rebuild repeats it exactly.
uint32_t Scramble(uint32_t x, uint32_t y, uint32_t channel)
{
    uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u ^ (channel + 1) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

int ClampIndex(int v, int limit)
{
    return v < 0 ? 0 : v >= limit ? limit - 1 : v;
}

// The grey levels of a work image (the library's weights), one byte a pixel.
bool GreyPlane(const WorkImage& work, std::vector<uint8_t>& grey)
{
    try {
        grey.resize(size_t(work.width) * size_t(work.height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    ForEachBand(work.height, work.width, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* p = work.Row(y);
            uint8_t* out = grey.data() + size_t(y) * size_t(work.width);
            for (int x = 0; x < work.width; ++x, p += 4)
                out[x] = GreyOf(p[2], p[1], p[0]);
        }
    });
    return true;
}

} // namespace

int LtGammaCorrect(pLTBITMAP bitmap, int gamma)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (gamma < 1 || gamma > 100000)
        return LT_ERR_BAD_PARAM;
    if (gamma == 100)
        return LT_SUCCESS;
    // Levels are raised to 1 / gamma: above 1 lightens the mid-tones and
    // leaves black and white where they are.
    const double exponent = 100.0 / gamma;
    uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = Clamp255(255.0 * std::pow(v / 255.0, exponent));
    return ApplyTable(*bitmap, table);
}

int LtPosterize(pLTBITMAP bitmap, int levels)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (levels < 2 || levels > 64)
        return LT_ERR_BAD_PARAM;
    // Each level goes to the nearest of `levels` evenly spaced ones, black
    // and white included.
    uint8_t table[256];
    for (int v = 0; v < 256; ++v) {
        const int step = (v * (levels - 1) * 2 + 255) / 510;
        table[v] = uint8_t((step * 255 * 2 + (levels - 1)) / (2 * (levels - 1)));
    }
    return ApplyTable(*bitmap, table);
}

int LtInvert(pLTBITMAP bitmap)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = uint8_t(255 - v);
    return ApplyTable(*bitmap, table);
}

int LtChangeContrast(pLTBITMAP bitmap, int change)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (change < -1000 || change > 1000)
        return LT_ERR_BAD_PARAM;
    // Distances from mid-grey grow by the share (+1000 doubles them) or
    // shrink by it (-1000 leaves every channel mid-grey).
    const double factor = 1.0 + change / 1000.0;
    uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = Clamp255(127.5 + (v - 127.5) * factor);
    return ApplyTable(*bitmap, table);
}

int LtChangeHue(pLTBITMAP bitmap, int angle)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    // Any whole number of degrees is a turn; whole circles do nothing.
    angle %= 360;
    if (angle == 0)
        return LT_SUCCESS;
    const double turn = angle / 60.0;
    return ApplyColorMap(*bitmap, [turn](uint8_t& r, uint8_t& g, uint8_t& b) {
        if (r == g && g == b)
            return; // greys have no hue
        double h, s, l;
        ToHsl(r / 255.0, g / 255.0, b / 255.0, h, s, l);
        h = std::fmod(h + turn + 12.0, 6.0);
        FromHsl(h, s, l, r, g, b);
    });
}

int LtChangeSaturation(pLTBITMAP bitmap, int change)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (change < -1000 || change > 1000)
        return LT_ERR_BAD_PARAM;
    if (change == 0)
        return LT_SUCCESS;
    // Saturation scales by the share: -1000 gives greys of the same
    // lightness, +1000 doubles it (held at full).
    const double factor = 1.0 + change / 1000.0;
    return ApplyColorMap(*bitmap, [factor](uint8_t& r, uint8_t& g, uint8_t& b) {
        if (r == g && g == b)
            return;
        double h, s, l;
        ToHsl(r / 255.0, g / 255.0, b / 255.0, h, s, l);
        FromHsl(h, std::min(1.0, s * factor), l, r, g, b);
    });
}

int LtMedianFilter(pLTBITMAP bitmap, int size)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (size < 1 || size > 64)
        return LT_ERR_BAD_PARAM;
    WorkImage source;
    if (!ToWork(*bitmap, source))
        return LT_ERR_NO_MEMORY;
    if (size == 1)
        return StoreWork(source, *bitmap);
    WorkImage out;
    if (!MakeWork(source.width, source.height, out))
        return LT_ERR_NO_MEMORY;
    const int w = source.width;
    const int h = source.height;
    const int before = (size - 1) / 2; // the block reaches this far left and up
    const int after = size / 2;
    const int rank = (size * size) / 2; // the median's place counted from 0
    // A histogram per channel slides along each row: one column leaves and
    // one enters per pixel, and the median moves from where it was.
    ForEachBand(h, (long long)w * size * 6, [&](int y0, int y1) {
        int rows[64]; // size is at most 64; nothing here may throw on a worker thread
        for (int y = y0; y < y1; ++y) {
            for (int k = 0; k < size; ++k)
                rows[k] = ClampIndex(y - before + k, h);
            uint8_t* dst = out.Row(y);
            for (int c = 0; c < 3; ++c) {
                int hist[256] = {};
                auto column = [&](int x, int delta, int& median, int& below) {
                    const int sx = ClampIndex(x, w);
                    for (int k = 0; k < size; ++k) {
                        const int v = source.Row(rows[k])[size_t(sx) * 4 + size_t(c)];
                        hist[v] += delta;
                        if (v < median)
                            below += delta;
                    }
                };
                int median = 0;
                int below = 0;
                for (int x = -before; x <= after; ++x)
                    column(x, 1, median, below);
                for (int x = 0; x < w; ++x) {
                    if (x > 0) {
                        column(x - before - 1, -1, median, below);
                        column(x + after, 1, median, below);
                    }
                    while (below > rank) {
                        --median;
                        below -= hist[median];
                    }
                    while (below + hist[median] <= rank) {
                        below += hist[median];
                        ++median;
                    }
                    dst[size_t(x) * 4 + size_t(c)] = uint8_t(median);
                }
            }
            const uint8_t* src = source.Row(y);
            for (int x = 0; x < w; ++x)
                dst[size_t(x) * 4 + 3] = src[size_t(x) * 4 + 3];
        }
    });
    return StoreWork(out, *bitmap);
}

int LtAddNoise(pLTBITMAP bitmap, int amount, int channel)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (amount < 0 || amount > 1000 || channel < 0 || channel > 3)
        return LT_ERR_BAD_PARAM;
    // Offsets spread evenly over +-range; channel 0 moves the three
    // channels of a pixel by the same offset (brightness noise), 1-3 move
    // red, green or blue alone.
    const int range = (amount * 255 + 500) / 1000;
    const uint32_t span = uint32_t(2 * range + 1);
    // only: the byte of the channel in a blue-green-red pixel, -1 for all.
    auto addNoise = [&](uint8_t* p, int width, int step, int y, int only) {
        for (int x = 0; x < width; ++x, p += step) {
            const uint32_t r = Scramble(uint32_t(x), uint32_t(y), uint32_t(channel));
            const int offset = int(uint64_t(r) * span >> 32) - range;
            if (only < 0) {
                p[0] = Clamp255(p[0] + offset);
                p[1] = Clamp255(p[1] + offset);
                p[2] = Clamp255(p[2] + offset);
            } else {
                p[only] = Clamp255(p[only] + offset);
            }
        }
    };
    const int bgrOnly = channel == 0 ? -1 : 3 - channel;
    LTBITMAP& b = *bitmap;
    if (b.BitsPerPixel == 24 || b.BitsPerPixel == 32) {
        // Byte pixels take their noise where they are.
        const int only = b.Order == LT_ORDER_RGB && channel != 0 ? channel - 1 : bgrOnly;
        if (range > 0) {
            ForEachBand(b.Height, b.Width * 4LL, [&](int y0, int y1) {
                for (int y = y0; y < y1; ++y)
                    addNoise(b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine), b.Width, b.BitsPerPixel / 8, y,
                        only);
            });
        }
        return LT_SUCCESS;
    }
    WorkImage work;
    if (!ToWork(b, work))
        return LT_ERR_NO_MEMORY;
    if (range > 0) {
        ForEachBand(work.height, work.width * 4LL, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                addNoise(work.Row(y), work.width, 4, y, bgrOnly);
        });
    }
    return StoreWork(work, b);
}

int LtEmboss(pLTBITMAP bitmap, int direction, int depth)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (direction < 0 || direction > 7 || depth < 0 || depth > 10000)
        return LT_ERR_BAD_PARAM;
    WorkImage work;
    std::vector<uint8_t> grey;
    if (!ToWork(*bitmap, work) || !GreyPlane(work, grey))
        return LT_ERR_NO_MEMORY;
    // Where the light comes from, clockwise from north.
    static const int kDx[8] = { 0, 1, 1, 1, 0, -1, -1, -1 };
    static const int kDy[8] = { -1, -1, 0, 1, 1, 1, 0, -1 };
    const int dx = kDx[direction];
    const int dy = kDy[direction];
    const int w = work.width;
    const int h = work.height;
    // A slope rising towards the light is lit: the level on the far side
    // less the level on the near side, scaled by depth / 10 per pixel of
    // distance, on mid grey.
    const int scale = depth; // tenths; the difference spans two pixels
    ForEachBand(h, w * 2LL, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* nearRow = grey.data() + size_t(ClampIndex(y + dy, h)) * size_t(w);
            const uint8_t* farRow = grey.data() + size_t(ClampIndex(y - dy, h)) * size_t(w);
            uint8_t* p = work.Row(y);
            for (int x = 0; x < w; ++x, p += 4) {
                const int diff = farRow[ClampIndex(x - dx, w)] - nearRow[ClampIndex(x + dx, w)];
                const int level = 128 + (diff * scale + (diff >= 0 ? 10 : -10)) / 20;
                p[0] = p[1] = p[2] = Clamp255(level);
            }
        }
    });
    return StoreWork(work, *bitmap);
}

int LtSharpen(pLTBITMAP bitmap, int amount)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (amount < -1000 || amount > 10000)
        return LT_ERR_BAD_PARAM;
    WorkImage source;
    if (!ToWork(*bitmap, source))
        return LT_ERR_NO_MEMORY;
    if (amount == 0)
        return StoreWork(source, *bitmap);
    WorkImage out;
    if (!MakeWork(source.width, source.height, out))
        return LT_ERR_NO_MEMORY;
    const int w = source.width;
    const int h = source.height;
    // Unsharp masking: each channel moves away from the 3 x 3 average
    // around it by the share (negative amounts soften towards it).
    ForEachBand(h, w * 12LL, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* up = source.Row(ClampIndex(y - 1, h));
            const uint8_t* mid = source.Row(y);
            const uint8_t* down = source.Row(ClampIndex(y + 1, h));
            uint8_t* dst = out.Row(y);
            for (int x = 0; x < w; ++x) {
                const size_t l = size_t(ClampIndex(x - 1, w)) * 4;
                const size_t m = size_t(x) * 4;
                const size_t r = size_t(ClampIndex(x + 1, w)) * 4;
                for (size_t c = 0; c < 3; ++c) {
                    const int sum = up[l + c] + up[m + c] + up[r + c] + mid[l + c] + mid[m + c] + mid[r + c]
                        + down[l + c] + down[m + c] + down[r + c];
                    const int v = mid[m + c];
                    // v + amount/1000 * (v - sum/9), rounded, in whole numbers.
                    const long long num = (long long)(9 * v - sum) * amount;
                    const long long den = 9000;
                    const long long delta = num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
                    dst[m + c] = Clamp255(int(v + delta));
                }
                dst[m + 3] = mid[m + 3];
            }
        }
    });
    return StoreWork(out, *bitmap);
}

int LtHalftone(pLTBITMAP bitmap, int type, int angle)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (type != LT_HALFTONE_PRINT && type != LT_HALFTONE_VIEW)
        return LT_ERR_BAD_PARAM;
    angle %= 36000;
    // Printing wants dots a press can hold; the screen version is finer so
    // that it stays readable at display sizes.
    const int cell = type == LT_HALFTONE_PRINT ? 8 : 4;
    const double radians = angle / 100.0 * kPi / 180.0;
    const double c = std::cos(radians) / cell;
    const double s = std::sin(radians) / cell;
    // The spot function, tabulated over a cell: highest at the cell's
    // centre, so dark levels grow one round dot per cell.
    constexpr int kSteps = 64;
    std::vector<uint8_t> spot(size_t(kSteps) * kSteps);
    for (int j = 0; j < kSteps; ++j) {
        for (int i = 0; i < kSteps; ++i) {
            const double u = (i + 0.5) / kSteps - 0.5;
            const double v = (j + 0.5) / kSteps - 0.5;
            const double t = (std::cos(2.0 * kPi * u) + std::cos(2.0 * kPi * v)) / 4.0 + 0.5;
            spot[size_t(j) * kSteps + size_t(i)] = uint8_t(std::min(255.0, std::max(1.0, t * 255.0)));
        }
    }
    // Screen positions in 1/65536ths of a table step, stepped along each
    // row; the table repeats, so only the low bits of the step count matter.
    constexpr double kFixed = 65536.0 * kSteps;
    const long long du = std::llround(c * kFixed);
    const long long dv = std::llround(-s * kFixed);
    // Each pixel is black or white by its grey level against the spot
    // function at its place in the turned screen. 24- and 32-bit pixels are
    // screened where they are (the three colour bytes end up equal, so their
    // order does not matter, and alpha stays); others through a work image.
    auto screen = [&](uint8_t* p, int width, int step, int y, bool bgr) {
        const double py = y + 0.5;
        long long u = std::llround((0.5 * c + py * s) * kFixed);
        long long v = std::llround((py * c - 0.5 * s) * kFixed);
        for (int x = 0; x < width; ++x, p += step, u += du, v += dv) {
            const int i = int((u >> 16) & (kSteps - 1));
            const int j = int((v >> 16) & (kSteps - 1));
            const uint8_t grey = bgr ? GreyOf(p[2], p[1], p[0]) : GreyOf(p[0], p[1], p[2]);
            const uint8_t ink = grey < spot[size_t(j) * kSteps + size_t(i)] ? 0 : 255;
            p[0] = p[1] = p[2] = ink;
        }
    };
    LTBITMAP& b = *bitmap;
    if (b.BitsPerPixel == 24 || b.BitsPerPixel == 32) {
        const bool bgr = b.Order != LT_ORDER_RGB;
        ForEachBand(b.Height, b.Width * 2LL, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                screen(b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine), b.Width, b.BitsPerPixel / 8, y, bgr);
        });
        return LT_SUCCESS;
    }
    WorkImage work;
    if (!ToWork(b, work))
        return LT_ERR_NO_MEMORY;
    ForEachBand(work.height, work.width * 2LL, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            screen(work.Row(y), work.width, 4, y, true);
    });
    return StoreWork(work, *bitmap);
}

int LtShearBitmap(pLTBITMAP bitmap, int angle, int direction, COLORREF fill)
{
    if (!bitmap || !Usable(*bitmap))
        return LT_ERR_BAD_BITMAP;
    if (angle <= -9000 || angle >= 9000 || (direction != 0 && direction != 1))
        return LT_ERR_BAD_PARAM;
    const double slope = std::tan(angle / 100.0 * kPi / 180.0);
    const bool horizontal = direction == 1;
    const int w = bitmap->Width;
    const int h = bitmap->Height;
    // Rows (or columns) slide by slope per pixel across; the record widens
    // (or heightens) by the largest slide.
    const int across = horizontal ? h : w;
    const double reach = std::fabs(slope) * (across - 1);
    const long long grow = (long long)std::ceil(reach - 1e-9);
    const long long tw = horizontal ? w + grow : w;
    const long long th = horizontal ? h : h + grow;
    if (!SizeAllowed(tw, th))
        return LT_ERR_NO_MEMORY;
    WorkImage source;
    WorkImage out;
    if (!ToWork(*bitmap, source) || !MakeWork(int(tw), int(th), out))
        return LT_ERR_NO_MEMORY;
    const uint8_t fillPixel[4] = { GetBValue(fill), GetGValue(fill), GetRValue(fill), 255 };
    // Positive angles shear clockwise: horizontally the top row slides
    // furthest right, vertically the right column slides furthest down.
    // Slid lines are interpolated between two pixels.
    auto slide = [&](int line) {
        if (!horizontal)
            return slope >= 0 ? slope * line : -slope * (across - 1 - line);
        return slope >= 0 ? slope * (across - 1 - line) : -slope * line;
    };
    const int along = horizontal ? w : h;
    const int outAlong = int(horizontal ? tw : th);
    auto read = [&](int line, int pos, int c) -> int {
        if (pos < 0 || pos >= along)
            return fillPixel[c];
        const int x = horizontal ? pos : line;
        const int y = horizontal ? line : pos;
        return source.Row(y)[size_t(x) * 4 + size_t(c)];
    };
    auto shearLine = [&](int line) {
        const double shift = slide(line);
        const int whole = int(std::floor(shift));
        const int frac = int((shift - whole) * 256.0 + 0.5);
        for (int o = 0; o < outAlong; ++o) {
            // Output o shows source position o - shift.
            const int p0 = o - whole - 1;
            const int p1 = o - whole;
            uint8_t* dst = horizontal ? out.Row(line) + size_t(o) * 4 : out.Row(o) + size_t(line) * 4;
            for (int c = 0; c < 4; ++c) {
                const int a = read(line, p0, c);
                const int b = read(line, p1, c);
                dst[c] = uint8_t((a * frac + b * (256 - frac) + 128) >> 8);
            }
        }
    };
    if (horizontal) {
        ForEachBand(h, tw * 8, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                shearLine(y);
        });
    } else {
        // Each band owns whole columns of the output.
        ForEachBand(w, th * 8, [&](int x0, int x1) {
            for (int x = x0; x < x1; ++x)
                shearLine(x);
        });
    }
    return StoreWork(out, *bitmap);
}
