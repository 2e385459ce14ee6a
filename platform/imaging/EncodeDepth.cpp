// Pictures brought to the depth they are written at: alpha kept or dropped,
// palettes of the picture's own colours, colour reduction and dithering.

#include "platform/imaging/EncodeInternal.h"

#include <Magick++.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace platform::imaging {
namespace {

// A colour as one number: red, green and blue, and bit 24 for a pixel made
// transparent, which is a colour of its own in a palette.
constexpr uint32_t TransparentBit = 1u << 24;
constexpr uint32_t Black = 0;
constexpr uint32_t White = 0xFFFFFF;

uint32_t KeyOf(const uint8_t* p)
{
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2] | (p[3] == 0 ? TransparentBit : 0);
}

bool IsGreyKey(uint32_t k)
{
    return !(k & TransparentBit) && ((k >> 16) & 0xFF) == ((k >> 8) & 0xFF) && ((k >> 8) & 0xFF) == (k & 0xFF);
}

uint8_t GreyOfKey(uint32_t k)
{
    return GreyOf(uint8_t(k >> 16), uint8_t(k >> 8), uint8_t(k));
}

// Every pixel as R, G, B, A. Alpha is the record's when it is kept, else
// 255; pixels of the transparent colour get 0 either way.
std::vector<uint8_t> ReadPixels(const LTBITMAP& bitmap, bool keepAlpha, const DepthRequest& request)
{
    const int width = bitmap.Width;
    const int height = bitmap.Height;
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
    const uint8_t keyR = GetRValue(request.transparentColor);
    const uint8_t keyG = GetGValue(request.transparentColor);
    const uint8_t keyB = GetBValue(request.transparentColor);
    uint8_t* p = rgba.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, p += 4) {
            PixelRgba(bitmap, x, y, p);
            if (!keepAlpha)
                p[3] = 255;
            if (request.markTransparent && p[0] == keyR && p[1] == keyG && p[2] == keyB)
                p[3] = 0;
        }
    }
    return rgba;
}

// The distinct colours in order of first appearance; false as soon as there
// are more than capacity.
bool CollectColours(const std::vector<uint8_t>& rgba, size_t capacity, std::vector<uint32_t>& colours)
{
    colours.clear();
    std::unordered_set<uint32_t> seen;
    uint32_t last = ~0u;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const uint32_t k = KeyOf(&rgba[i]);
        if (k == last)
            continue;
        last = k;
        if (!seen.insert(k).second)
            continue;
        if (colours.size() == capacity)
            return false;
        colours.push_back(k);
    }
    return true;
}

// Reduces the opaque colours to at most count with the library's optimised
// palette, diffusing the error; transparent pixels stay as they are.
void ReduceColours(std::vector<uint8_t>& rgba, int width, int height, size_t count)
{
    EnsureLibrary();
    const size_t pixels = size_t(width) * size_t(height);
    try {
        Magick::Image image(size_t(width), size_t(height), "RGBA", Magick::CharPixel, rgba.data());
        image.quiet(true);
        image.matte(false);
        image.quantizeColors(count);
        image.quantizeDitherMethod(MagickCore::FloydSteinbergDitherMethod);
        image.quantizeDither(true);
        image.quantize();
        std::vector<uint8_t> rgb(pixels * 3);
        image.write(0, 0, size_t(width), size_t(height), "RGB", Magick::CharPixel, rgb.data());
        for (size_t i = 0; i < pixels; ++i) {
            if (rgba[4 * i + 3] == 0)
                continue;
            std::copy_n(&rgb[3 * i], 3, &rgba[4 * i]);
        }
    } catch (const Magick::Exception&) {
        // The library could not reduce them (its own limits); nearest
        // colours of a fixed cube keep the save going.
        for (size_t i = 0; i < pixels; ++i) {
            if (rgba[4 * i + 3] == 0)
                continue;
            const int levels = count >= 216 ? 6 : 2;
            for (int c = 0; c < 3; ++c) {
                const int step = (rgba[4 * i + c] * (levels - 1) + 127) / 255;
                rgba[4 * i + c] = uint8_t(step * 255 / (levels - 1));
            }
        }
    }
}

// One bit of black and white. Up to two colours map the darker to black and
// the lighter to white (a single colour by its grey level); more are
// dithered by their grey levels with the error diffused.
void ToBlackAndWhite(std::vector<uint8_t>& rgba, int width, int height, const std::vector<uint32_t>& colours,
    bool fewColours)
{
    auto put = [&](size_t i, bool white) {
        const uint8_t v = white ? 255 : 0;
        rgba[4 * i] = rgba[4 * i + 1] = rgba[4 * i + 2] = v;
        rgba[4 * i + 3] = 255;
    };
    const size_t pixels = size_t(width) * size_t(height);
    if (fewColours && colours.size() <= 2) {
        uint32_t lighter = colours.empty() ? White : colours[0];
        bool single = colours.size() < 2;
        if (!single && GreyOfKey(colours[1]) > GreyOfKey(lighter))
            lighter = colours[1];
        for (size_t i = 0; i < pixels; ++i) {
            const uint32_t k = KeyOf(&rgba[4 * i]);
            put(i, single ? GreyOfKey(k) >= 128 : k == lighter);
        }
        return;
    }
    // Floyd and Steinberg's weights over two rows of errors in 1/16ths.
    std::vector<int> current(size_t(width) + 2, 0);
    std::vector<int> next(size_t(width) + 2, 0);
    for (int y = 0; y < height; ++y) {
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < width; ++x) {
            const size_t i = size_t(y) * size_t(width) + size_t(x);
            const uint8_t* p = &rgba[4 * i];
            const int level = GreyOf(p[0], p[1], p[2]) + current[size_t(x) + 1] / 16;
            const bool white = level >= 128;
            const int error = level - (white ? 255 : 0);
            current[size_t(x) + 2] += error * 7;
            next[size_t(x)] += error * 3;
            next[size_t(x) + 1] += error * 5;
            next[size_t(x) + 2] += error;
            put(i, white);
        }
        std::swap(current, next);
    }
}

void PrepareIndexed(std::vector<uint8_t>& rgba, int width, int height, const DepthRequest& request,
    OutputRaster& out)
{
    const size_t capacity = size_t(1) << request.bits;
    std::vector<uint32_t> colours;
    bool fits = CollectColours(rgba, capacity, colours);
    auto blackOrWhite = [](uint32_t k) { return k == Black || k == White; };
    bool bw = fits && std::all_of(colours.begin(), colours.end(), blackOrWhite);

    if (request.bits == 1 && !bw && (!fits || request.oneBit == OneBitColours::BlackWhite)) {
        ToBlackAndWhite(rgba, width, height, colours, fits);
        fits = CollectColours(rgba, capacity, colours);
        bw = true;
    } else if (!fits) {
        bool transparentPixels = false;
        for (size_t i = 3; i < rgba.size() && !transparentPixels; i += 4)
            transparentPixels = rgba[i] == 0;
        ReduceColours(rgba, width, height, capacity - (transparentPixels ? 1 : 0));
        CollectColours(rgba, capacity, colours);
    }

    out.bits = request.bits;
    out.blackAndWhite = bw;
    out.grey = request.bits == 8 && std::all_of(colours.begin(), colours.end(), IsGreyKey);
    if (bw) {
        // Black first: the usual order of a bilevel palette.
        std::sort(colours.begin(), colours.end());
    }
    if (out.grey) {
        colours.resize(256);
        for (uint32_t level = 0; level < 256; ++level)
            colours[level] = level * 0x010101u;
    }
    out.palette.assign(capacity, std::array<uint8_t, 4> { 0, 0, 0, 255 });
    std::unordered_map<uint32_t, uint8_t> index;
    for (size_t i = 0; i < colours.size() && i < capacity; ++i) {
        const uint32_t k = colours[i];
        out.palette[i] = { uint8_t(k >> 16), uint8_t(k >> 8), uint8_t(k), uint8_t(k & TransparentBit ? 0 : 255) };
        index.emplace(k, uint8_t(i));
        if (k & TransparentBit) {
            out.transparent = true;
            out.transparentIndex = int(i);
        }
    }

    // Colours without an entry of their own (only when a reduction could
    // not be made) take the nearest entry.
    auto nearest = [&](uint32_t k) {
        int best = 0;
        int bestDistance = 1 << 30;
        for (size_t i = 0; i < colours.size() && i < capacity; ++i) {
            int d = 0;
            for (int shift : { 16, 8, 0 }) {
                const int c = int((k >> shift) & 0xFF) - int((colours[i] >> shift) & 0xFF);
                d += c * c;
            }
            if (d < bestDistance) {
                bestDistance = d;
                best = int(i);
            }
        }
        return uint8_t(best);
    };
    const size_t pixels = size_t(width) * size_t(height);
    out.indexes.resize(pixels);
    uint32_t lastKey = ~0u;
    uint8_t lastIndex = 0;
    for (size_t i = 0; i < pixels; ++i) {
        const uint32_t k = KeyOf(&rgba[4 * i]);
        if (k != lastKey) {
            auto found = index.find(k);
            lastIndex = found != index.end() ? found->second : index.emplace(k, nearest(k)).first->second;
            lastKey = k;
        }
        out.indexes[i] = lastIndex;
    }
}

} // namespace

void PrepareRaster(const LTBITMAP& bitmap, const DepthRequest& request, OutputRaster& out)
{
    out = OutputRaster {};
    out.width = bitmap.Width;
    out.height = bitmap.Height;
    out.bits = request.bits;
    std::vector<uint8_t> rgba = ReadPixels(bitmap, request.bits == 32, request);
    if (request.bits <= 8) {
        PrepareIndexed(rgba, bitmap.Width, bitmap.Height, request, out);
        return;
    }
    for (size_t i = 3; i < rgba.size() && !out.transparent; i += 4)
        out.transparent = rgba[i] == 0;
    out.rgba = std::move(rgba);
}

} // namespace platform::imaging
