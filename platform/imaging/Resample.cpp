// Reading records as colour rows, and resampling them: area averaging when
// shrinking, linear interpolation when growing, one axis after the other.

#include "platform/imaging/ImagingInternal.h"
#include "platform/imaging/FilterSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::imaging {

void ReadRowBgra(const LTBITMAP& bitmap, int y, int x0, int x1, uint8_t* out)
{
    const BYTE* row = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.BytesPerLine);
    const size_t paletteSize = bitmap.Palette.size();
    auto entry = [&](unsigned i, uint8_t* p) {
        if (i < paletteSize) {
            const RGBQUAD& q = bitmap.Palette[i];
            p[0] = q.rgbBlue;
            p[1] = q.rgbGreen;
            p[2] = q.rgbRed;
        } else {
            p[0] = p[1] = p[2] = 0;
        }
        p[3] = 255;
    };
    switch (bitmap.BitsPerPixel) {
    case 1:
        for (int x = x0; x < x1; ++x, out += 4)
            entry((row[x >> 3] >> (7 - (x & 7))) & 1, out);
        break;
    case 4:
        for (int x = x0; x < x1; ++x, out += 4)
            entry((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4), out);
        break;
    case 8:
        for (int x = x0; x < x1; ++x, out += 4)
            entry(row[x], out);
        break;
    case 16:
        for (int x = x0; x < x1; ++x, out += 4) {
            unsigned v = unsigned(row[2 * x]) | unsigned(row[2 * x + 1]) << 8;
            auto expand = [](unsigned c) { return uint8_t((c << 3) | (c >> 2)); };
            out[0] = expand(v & 0x1F);
            out[1] = expand((v >> 5) & 0x1F);
            out[2] = expand((v >> 10) & 0x1F);
            out[3] = 255;
        }
        break;
    case 24:
    case 32: {
        const int step = bitmap.BitsPerPixel / 8;
        const bool rgb = bitmap.Order == LT_ORDER_RGB;
        const BYTE* p = row + size_t(x0) * size_t(step);
        for (int x = x0; x < x1; ++x, out += 4, p += step) {
            out[0] = rgb ? p[2] : p[0];
            out[1] = p[1];
            out[2] = rgb ? p[0] : p[2];
            out[3] = step == 4 ? p[3] : 255;
        }
        break;
    }
    default:
        std::memset(out, 0, size_t(std::max(0, x1 - x0)) * 4);
        break;
    }
}

bool ToWork(const LTBITMAP& bitmap, WorkImage& out)
{
    try {
        out.width = bitmap.Width;
        out.height = bitmap.Height;
        out.bgra.resize(size_t(bitmap.Width) * size_t(bitmap.Height) * 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ForEachBand(bitmap.Height, bitmap.Width, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            ReadRowBgra(bitmap, y, 0, bitmap.Width, out.Row(y));
    });
    return true;
}

bool FromWork(const WorkImage& image, int bitsPerPixel, int order, LTBITMAP& bitmap)
{
    if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return false;
    const int stride = RowBytes(image.width, bitsPerPixel);
    std::vector<BYTE> pixels;
    try {
        pixels.assign(size_t(stride) * size_t(image.height), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const bool rgb = order == LT_ORDER_RGB;
    ForEachBand(image.height, image.width, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* in = image.Row(y);
            BYTE* row = pixels.data() + size_t(y) * size_t(stride);
            for (int x = 0; x < image.width; ++x, in += 4) {
                if (bitsPerPixel == 16) {
                    unsigned v = unsigned(in[2] >> 3) << 10 | unsigned(in[1] >> 3) << 5 | unsigned(in[0] >> 3);
                    row[2 * x] = BYTE(v);
                    row[2 * x + 1] = BYTE(v >> 8);
                    continue;
                }
                BYTE* p = row + size_t(x) * size_t(bitsPerPixel / 8);
                p[0] = rgb ? in[2] : in[0];
                p[1] = in[1];
                p[2] = rgb ? in[0] : in[2];
                if (bitsPerPixel == 32)
                    p[3] = in[3];
            }
        }
    });
    bitmap.Width = image.width;
    bitmap.Height = image.height;
    bitmap.BitsPerPixel = bitsPerPixel;
    bitmap.BytesPerLine = stride;
    bitmap.Order = rgb ? LT_ORDER_RGB : LT_ORDER_BGR;
    bitmap.Palette.clear();
    bitmap.Pixels = std::move(pixels);
    bitmap.Flags |= LT_BITMAP_ALLOCATED;
    return true;
}

int StoreWork(const WorkImage& work, LTBITMAP& bitmap)
{
    const int bits = bitmap.BitsPerPixel <= 8 ? 24 : bitmap.BitsPerPixel;
    const int order = bitmap.BitsPerPixel <= 8 ? LT_ORDER_BGR : bitmap.Order;
    return FromWork(work, bits, order, bitmap) ? LT_SUCCESS : LT_ERR_NO_MEMORY;
}

AxisWeights MakeAxisWeights(int inputCount, long long outputCount, long long first, long long last, bool mirror)
{
    AxisWeights axis;
    axis.first = first;
    const size_t n = last > first ? size_t(last - first) : 0;
    axis.start.resize(n);
    axis.count.resize(n);
    axis.offset.resize(n);
    const double scale = double(inputCount) / double(outputCount);
    std::vector<double> exact;
    for (size_t k = 0; k < n; ++k) {
        const long long i = first + static_cast<long long>(k);
        const long long j = mirror ? outputCount - 1 - i : i;
        exact.clear();
        int begin = 0;
        if (outputCount < inputCount) {
            // The input span the output pixel covers, each input pixel
            // weighed by how much of it lies inside.
            const double a = double(j) * scale;
            const double b = std::min(double(inputCount), double(j + 1) * scale);
            begin = std::clamp(int(std::floor(a)), 0, inputCount - 1);
            const int end = std::clamp(int(std::ceil(b)), begin + 1, inputCount);
            for (int s = begin; s < end; ++s)
                exact.push_back(std::max(0.0, std::min(b, double(s + 1)) - std::max(a, double(s))) / (b - a));
        } else if (outputCount == inputCount) {
            begin = int(j);
            exact.push_back(1.0);
        } else {
            // Pixel centres line up: output centre j + 1/2 lies at input
            // position (j + 1/2) * scale, between two input centres.
            const double u = std::clamp((double(j) + 0.5) * scale - 0.5, 0.0, double(inputCount - 1));
            begin = int(std::floor(u));
            const double f = u - begin;
            exact.push_back(1.0 - f);
            if (f > 0 && begin + 1 < inputCount)
                exact.push_back(f);
        }
        // Whole weights that add up to exactly one.
        axis.start[k] = begin;
        axis.count[k] = int(exact.size());
        axis.offset[k] = int(axis.weights.size());
        int64_t sum = 0;
        size_t largest = axis.weights.size();
        for (double w : exact) {
            const int32_t q = int32_t(std::lround(w * AxisWeights::kWeightOne));
            if (axis.weights.size() == largest || q > axis.weights[largest])
                largest = axis.weights.size();
            axis.weights.push_back(q);
            sum += q;
        }
        axis.weights[largest] += int32_t(AxisWeights::kWeightOne - sum);
        axis.maxCount = std::max(axis.maxCount, axis.count[k]);
    }
    return axis;
}

namespace {

// One row filtered along x into 16-bit channels (value x 256): stride bytes
// a pixel in `in`, which starts at input column `base`; the first three
// channels are colour, the fourth alpha when there is one.
template <int Stride, bool Alpha>
void FilterRow(const uint8_t* in, int base, const AxisWeights& axis, bool swapRedBlue, uint16_t* out)
{
    constexpr int kShift = 14; // weights of 2^22 down to value x 2^8
    constexpr int32_t kHalf = 1 << (kShift - 1);
    const int c0 = swapRedBlue ? 2 : 0;
    const int c2 = swapRedBlue ? 0 : 2;
    const size_t n = axis.start.size();
    for (size_t k = 0; k < n; ++k, out += 4) {
        const uint8_t* p = in + size_t(axis.start[k] - base) * Stride;
        const int32_t* w = axis.weights.data() + axis.offset[k];
        const int count = axis.count[k];
        uint32_t a0 = 0, a1 = 0, a2 = 0, a3 = 0;
        for (int t = 0; t < count; ++t, p += Stride) {
            const uint32_t wt = uint32_t(w[t]);
            a0 += p[c0] * wt;
            a1 += p[1] * wt;
            a2 += p[c2] * wt;
            if constexpr (Alpha)
                a3 += p[3] * wt;
        }
        out[0] = uint16_t((a0 + kHalf) >> kShift);
        out[1] = uint16_t((a1 + kHalf) >> kShift);
        out[2] = uint16_t((a2 + kHalf) >> kShift);
        out[3] = Alpha ? uint16_t((a3 + kHalf) >> kShift) : uint16_t(255 << 8);
    }
}

} // namespace

struct Resampler::State {
    const LTBITMAP& bitmap;
    RECT source;
    AxisWeights xAxis;
    long long outputHeight = 0;
    bool mirrorY = false;
    bool mirrorX = false;
    bool sameSize = false; // drawn at its own size: rows are read, not filtered
    long long x0 = 0;
    int inFirst = 0; // input columns the x axis reads, relative to the bitmap
    int inEnd = 0;
    std::vector<uint8_t> converted; // a row as 4 bytes a pixel (palette, 16, 32 bits)
    // Filtered rows by input row, in slots (input row modulo the slot count).
    int slots = 0;
    std::vector<int> slotRow;
    std::vector<uint16_t> filtered;
    std::vector<float> sums;

    State(const LTBITMAP& b, const RECT& s)
        : bitmap(b)
        , source(s)
    {
    }

    const uint16_t* FilteredRow(int y)
    {
        const int slot = y % slots;
        uint16_t* out = filtered.data() + size_t(slot) * xAxis.start.size() * 4;
        if (slotRow[size_t(slot)] == y)
            return out;
        slotRow[size_t(slot)] = y;
        const int by = int(source.top) + y;
        const BYTE* row = bitmap.Pixels.data() + size_t(by) * size_t(bitmap.BytesPerLine);
        const bool rgb = bitmap.Order == LT_ORDER_RGB;
        switch (bitmap.BitsPerPixel) {
        case 24:
            FilterRow<3, false>(row + size_t(source.left) * 3, 0, xAxis, rgb, out);
            break;
        case 32: {
            // Premultiplied, so that averaging weighs colour by its cover.
            const BYTE* p = row + size_t(source.left + inFirst) * 4;
            uint8_t* q = converted.data();
            for (int x = inFirst; x < inEnd; ++x, p += 4, q += 4) {
                const unsigned a = p[3];
                if (a == 255) {
                    std::memcpy(q, p, 4);
                } else {
                    q[0] = uint8_t((p[0] * a + 127) / 255);
                    q[1] = uint8_t((p[1] * a + 127) / 255);
                    q[2] = uint8_t((p[2] * a + 127) / 255);
                    q[3] = uint8_t(a);
                }
            }
            FilterRow<4, true>(converted.data(), inFirst, xAxis, rgb, out);
            break;
        }
        default:
            ReadRowBgra(bitmap, by, int(source.left) + inFirst, int(source.left) + inEnd, converted.data());
            FilterRow<4, false>(converted.data(), inFirst, xAxis, false, out);
            break;
        }
        return out;
    }
};

Resampler::Resampler(const LTBITMAP& bitmap, const RECT& source, long long outputWidth, long long outputHeight,
    long long x0, long long x1, bool mirrorX, bool mirrorY)
    : m_state(std::make_unique<State>(bitmap, source))
{
    State& s = *m_state;
    const int inWidth = int(source.right - source.left);
    const int inHeight = int(source.bottom - source.top);
    s.xAxis = MakeAxisWeights(inWidth, outputWidth, x0, x1, mirrorX);
    s.outputHeight = outputHeight;
    s.mirrorY = mirrorY;
    s.mirrorX = mirrorX;
    s.sameSize = outputWidth == inWidth && outputHeight == inHeight;
    s.x0 = x0;
    s.inFirst = inWidth;
    s.inEnd = 0;
    for (size_t k = 0; k < s.xAxis.start.size(); ++k) {
        s.inFirst = std::min(s.inFirst, s.xAxis.start[k]);
        s.inEnd = std::max(s.inEnd, s.xAxis.start[k] + s.xAxis.count[k]);
    }
    if (s.inEnd < s.inFirst)
        s.inEnd = s.inFirst;
    s.converted.resize(size_t(s.inEnd - s.inFirst + 1) * 4);
    // Rows are added into the sums as soon as they are filtered, so the
    // slots only spare filtering a row twice: the rows an output row shares
    // with its neighbour stay while the window moves on.
    const long long run = (inHeight + outputHeight - 1) / outputHeight + 2;
    s.slots = int(std::min<long long>({ run, inHeight, 4 }));
    s.slotRow.assign(size_t(s.slots), -1);
    s.filtered.resize(size_t(s.slots) * s.xAxis.start.size() * 4);
    s.sums.resize(s.xAxis.start.size() * 4);
}

Resampler::~Resampler() = default;

int Resampler::Width() const
{
    return int(m_state->xAxis.start.size());
}

void Resampler::Row(long long y, uint8_t* out)
{
    State& s = *m_state;
    const int inHeight = int(s.source.bottom - s.source.top);
    if (s.sameSize) {
        const int count = Width();
        if (count == 0)
            return;
        const int inWidth = int(s.source.right - s.source.left);
        const int by = int(s.source.top) + int(s.mirrorY ? inHeight - 1 - y : y);
        const int first = int(s.mirrorX ? inWidth - (s.x0 + count) : s.x0);
        ReadRowBgra(s.bitmap, by, int(s.source.left) + first, int(s.source.left) + first + count, out);
        if (s.mirrorX) {
            for (int i = 0, j = count - 1; i < j; ++i, --j)
                std::swap_ranges(out + size_t(i) * 4, out + size_t(i) * 4 + 4, out + size_t(j) * 4);
        }
        if (s.bitmap.BitsPerPixel == 32) {
            for (int i = 0; i < count; ++i, out += 4) {
                const unsigned a = out[3];
                if (a == 255)
                    continue;
                for (int c = 0; c < 3; ++c)
                    out[c] = uint8_t((out[c] * a + 127) / 255);
            }
        }
        return;
    }
    const AxisWeights yAxis = MakeAxisWeights(inHeight, s.outputHeight, y, y + 1, s.mirrorY);
    const size_t n = s.xAxis.start.size() * 4;
    float* sums = s.sums.data();
    std::fill(sums, sums + n, 0.0f);
    constexpr float kScale = 1.0f / (float(AxisWeights::kWeightOne) * 256.0f);
    for (int t = 0; t < yAxis.count[0]; ++t) {
        const uint16_t* row = s.FilteredRow(yAxis.start[0] + t);
        const float w = float(yAxis.weights[size_t(t)]) * kScale;
        for (size_t i = 0; i < n; ++i)
            sums[i] += float(row[i]) * w;
    }
    for (size_t i = 0; i < n; ++i) {
        const float v = sums[i] + 0.5f;
        out[i] = v >= 255.0f ? uint8_t(255) : uint8_t(v);
    }
}

bool ResampleToWork(const LTBITMAP& bitmap, int width, int height, WorkImage& out)
{
    if (width <= 0 || height <= 0 || !SizeAllowed(width, height))
        return false;
    try {
        out.width = width;
        out.height = height;
        out.bgra.resize(size_t(width) * size_t(height) * 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    Resampler resampler(bitmap, RECT { 0, 0, bitmap.Width, bitmap.Height }, width, height, 0, width, false, false);
    const bool alpha = bitmap.BitsPerPixel == 32;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = out.Row(y);
        resampler.Row(y, row);
        if (!alpha)
            continue;
        for (int x = 0; x < width; ++x, row += 4) {
            const unsigned a = row[3];
            if (a == 255)
                continue;
            for (int c = 0; c < 3; ++c)
                row[c] = a ? uint8_t(std::min(255u, (row[c] * 255u + a / 2) / a)) : 0;
        }
    }
    return true;
}

} // namespace platform::imaging
