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
void FilterRow(const uint8_t* in, int base, const AxisWeights& axis, bool swapRedBlue, uint16_t* out, size_t k0,
    size_t k1)
{
    constexpr int kShift = 14; // weights of 2^22 down to value x 2^8
    constexpr int32_t kHalf = 1 << (kShift - 1);
    const int c0 = swapRedBlue ? 2 : 0;
    const int c2 = swapRedBlue ? 0 : 2;
    out += k0 * 4;
    if (Stride == 4 && axis.maxCount <= 2) {
        // Near the picture's own size every output reads one or two inputs:
        // two taps, the second weighing nothing where there is one (`in`
        // holds a pixel past the last for it to read).
        for (size_t k = k0; k < k1; ++k, out += 4) {
            const uint8_t* p = in + size_t(axis.start[k] - base) * Stride;
            const int32_t* w = axis.weights.data() + axis.offset[k];
            const uint32_t w0 = uint32_t(w[0]);
            const uint32_t w1 = axis.count[k] > 1 ? uint32_t(w[1]) : 0u;
            out[0] = uint16_t((p[c0] * w0 + p[Stride + c0] * w1 + kHalf) >> kShift);
            out[1] = uint16_t((p[1] * w0 + p[Stride + 1] * w1 + kHalf) >> kShift);
            out[2] = uint16_t((p[c2] * w0 + p[Stride + c2] * w1 + kHalf) >> kShift);
            out[3] = Alpha ? uint16_t((p[3] * w0 + p[Stride + 3] * w1 + kHalf) >> kShift) : uint16_t(255 << 8);
        }
        return;
    }
    for (size_t k = k0; k < k1; ++k, out += 4) {
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
    AxisWeights yAxis; // the rows given at the start, if any
    int inFirst = 0; // input columns the x axis reads, relative to the bitmap
    int inEnd = 0;
    std::vector<uint8_t> converted; // a row as 4 bytes a pixel (palette, 16, 32 bits)
    // Filtered rows by input row, in slots (input row modulo the slot count);
    // each slot holds the output columns [slotFirst, slotEnd) of its row,
    // only those asked for so far.
    int slots = 0;
    std::vector<int> slotRow;
    std::vector<size_t> slotFirst;
    std::vector<size_t> slotEnd;
    std::vector<uint16_t> filtered;
    std::vector<float> sums;

    State(const LTBITMAP& b, const RECT& s)
        : bitmap(b)
        , source(s)
    {
    }

    // Input row y filtered along x, for at least output columns [k0, k1)
    // (indexes into the x axis); the whole axis's row.
    const uint16_t* FilteredRow(int y, size_t k0, size_t k1)
    {
        const size_t slot = size_t(y % slots);
        uint16_t* out = filtered.data() + slot * xAxis.start.size() * 4;
        size_t& first = slotFirst[slot];
        size_t& end = slotEnd[slot];
        if (slotRow[slot] != y) {
            slotRow[slot] = y;
            first = end = k0;
        }
        if (first == end) {
            Filter(y, out, k0, k1);
            first = k0;
            end = k1;
            return out;
        }
        if (k0 < first) {
            Filter(y, out, k0, first);
            first = k0;
        }
        if (k1 > end) {
            Filter(y, out, end, k1);
            end = k1;
        }
        return out;
    }

    void Filter(int y, uint16_t* out, size_t k0, size_t k1)
    {
        if (k1 <= k0)
            return;
        // The input columns those outputs read, whichever way the axis runs.
        const int a = std::min(xAxis.start[k0], xAxis.start[k1 - 1]);
        const int b = std::max(xAxis.start[k0] + xAxis.count[k0], xAxis.start[k1 - 1] + xAxis.count[k1 - 1]);
        const int by = int(source.top) + y;
        const BYTE* row = bitmap.Pixels.data() + size_t(by) * size_t(bitmap.BytesPerLine);
        const bool rgb = bitmap.Order == LT_ORDER_RGB;
        switch (bitmap.BitsPerPixel) {
        case 24:
            FilterRow<3, false>(row + size_t(source.left) * 3, 0, xAxis, rgb, out, k0, k1);
            break;
        case 32: {
            // Premultiplied, so that averaging weighs colour by its cover.
            const BYTE* p = row + size_t(source.left + a) * 4;
            uint8_t* q = converted.data() + size_t(a - inFirst) * 4;
            for (int x = a; x < b; ++x, p += 4, q += 4) {
                const unsigned alpha = p[3];
                if (alpha == 255) {
                    std::memcpy(q, p, 4);
                } else {
                    q[0] = uint8_t((p[0] * alpha + 127) / 255);
                    q[1] = uint8_t((p[1] * alpha + 127) / 255);
                    q[2] = uint8_t((p[2] * alpha + 127) / 255);
                    q[3] = uint8_t(alpha);
                }
            }
            FilterRow<4, true>(converted.data(), inFirst, xAxis, rgb, out, k0, k1);
            break;
        }
        default:
            ReadRowBgra(bitmap, by, int(source.left) + a, int(source.left) + b,
                converted.data() + size_t(a - inFirst) * 4);
            FilterRow<4, false>(converted.data(), inFirst, xAxis, false, out, k0, k1);
            break;
        }
    }
};

Resampler::Resampler(const LTBITMAP& bitmap, const RECT& source, long long outputWidth, long long outputHeight,
    long long x0, long long x1, bool mirrorX, bool mirrorY, long long y0, long long y1)
    : m_state(std::make_unique<State>(bitmap, source))
{
    State& s = *m_state;
    const int inWidth = int(source.right - source.left);
    const int inHeight = int(source.bottom - source.top);
    s.xAxis = MakeAxisWeights(inWidth, outputWidth, x0, x1, mirrorX);
    if (y1 > y0 && !(outputWidth == inWidth && outputHeight == inHeight))
        s.yAxis = MakeAxisWeights(inHeight, outputHeight, std::max(y0, 0LL), std::min(y1, outputHeight), mirrorY);
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
    s.slotFirst.assign(size_t(s.slots), 0);
    s.slotEnd.assign(size_t(s.slots), 0);
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
    Row(y, out, m_state->x0, m_state->x0 + Width());
}

void Resampler::Row(long long y, uint8_t* out, long long from, long long to)
{
    State& s = *m_state;
    from = std::max(from, s.x0);
    to = std::min(to, s.x0 + Width());
    if (to <= from)
        return;
    const int count = int(to - from);
    const int inHeight = int(s.source.bottom - s.source.top);
    if (s.sameSize) {
        const int inWidth = int(s.source.right - s.source.left);
        const int by = int(s.source.top) + int(s.mirrorY ? inHeight - 1 - y : y);
        const int first = int(s.mirrorX ? inWidth - (from + count) : from);
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
    // The row's input rows and weights: made at the start, or now.
    const AxisWeights* yAxis = &s.yAxis;
    size_t k = size_t(y - s.yAxis.first);
    AxisWeights single;
    if (y < s.yAxis.first || k >= s.yAxis.start.size()) {
        single = MakeAxisWeights(inHeight, s.outputHeight, y, y + 1, s.mirrorY);
        yAxis = &single;
        k = 0;
    }
    const size_t begin = size_t(from - s.x0) * 4;
    const size_t n = size_t(count) * 4;
    if (yAxis->count[k] <= 2) {
        // Near the picture's own size an output row reads one or two input
        // rows: summed in whole numbers straight into the output, with the
        // weights taken to 14 bits (still adding up to exactly one), so
        // that the sums of 16-bit values stay within 32 bits.
        const int32_t* w = yAxis->weights.data() + yAxis->offset[k];
        const uint16_t* row0 = s.FilteredRow(yAxis->start[k], size_t(from - s.x0), size_t(to - s.x0)) + begin;
        constexpr int kWeightBits = 14;
        constexpr int kShift = kWeightBits + 8;
        constexpr uint32_t kOne = uint32_t(1) << kWeightBits;
        constexpr uint32_t kHalf = uint32_t(1) << (kShift - 1);
        const uint32_t w0 = yAxis->count[k] == 1
            ? kOne
            : std::min(kOne, uint32_t((w[0] + (1 << (21 - kWeightBits))) >> (22 - kWeightBits)));
        if (w0 == kOne) {
            for (size_t i = 0; i < n; ++i)
                out[i] = uint8_t(std::min<uint32_t>(255, (uint32_t(row0[i]) + 128) >> 8));
            return;
        }
        const uint16_t* row1 = s.FilteredRow(yAxis->start[k] + 1, size_t(from - s.x0), size_t(to - s.x0)) + begin;
        const uint32_t w1 = kOne - w0;
        for (size_t i = 0; i < n; ++i)
            out[i] = uint8_t(std::min<uint32_t>(255, (row0[i] * w0 + row1[i] * w1 + kHalf) >> kShift));
        return;
    }
    float* sums = s.sums.data();
    std::fill(sums, sums + n, 0.0f);
    constexpr float kScale = 1.0f / (float(AxisWeights::kWeightOne) * 256.0f);
    const int32_t* weights = yAxis->weights.data() + yAxis->offset[k];
    for (int t = 0; t < yAxis->count[k]; ++t) {
        const uint16_t* row = s.FilteredRow(yAxis->start[k] + t, size_t(from - s.x0), size_t(to - s.x0)) + begin;
        const float w = float(weights[t]) * kScale;
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
