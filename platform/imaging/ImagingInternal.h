#pragma once
// Pixel helpers shared by the imaging library's files; nothing here is seen
// outside platform/imaging.

#include "platform/imaging/Imaging.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform::imaging {

// Starts the decoder and encoder library once, with our limits.
void EnsureLibrary();

// True for the depths a bitmap record can have.
bool ValidDepth(int bitsPerPixel);
// Bytes of one row of that width and depth, rounded up to 4 (a DIB's row);
// 0 when it would not fit an int.
int RowBytes(int width, int bitsPerPixel);
// True when a picture of that size is within the library's limits.
bool SizeAllowed(long long width, long long height);

// True when the record has pixel memory that matches its size and depth.
bool Usable(const LTBITMAP& bitmap);

// How PackRgba treats more colours than a palette of the depth holds.
enum class PaletteFit {
    Exact,   // refuse (PackRgba returns false)
    Nearest, // keep the first colours and map later ones to the nearest of them
};

// Fills bitmap (size, depth, order, palette, pixels) from rows of R, G, B, A
// bytes. For 1, 4 and 8 bits the palette holds the picture's colours: a grey
// ramp for an 8-bit grey picture, the greys in ascending order for a smaller
// grey one, else colours in order of first appearance. Alpha is kept at 32
// bits only.
bool PackRgba(const uint8_t* rgba, int width, int height, int bitsPerPixel, int order, PaletteFit fit,
    LTBITMAP& bitmap);

// The colour of one pixel as R, G, B, A bytes (alpha 255 below 32 bits).
void PixelRgba(const LTBITMAP& bitmap, int x, int y, uint8_t out[4]);

// The grey level the library uses when it turns colour into grey.
inline uint8_t GreyOf(uint8_t r, uint8_t g, uint8_t b)
{
    return uint8_t((r * 299 + g * 587 + b * 114 + 500) / 1000);
}

// ---- Pixel work (Effects.cpp, ColorRes.cpp, Resample.cpp, Paint.cpp) ----------

// A picture as 4 bytes a pixel in blue, green, red, alpha order (the layout
// of a 32-bit DIB and of a device pixel), rows packed. Effects that mix
// colours work on this form.
struct WorkImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgra;

    uint8_t* Row(int y) { return bgra.data() + size_t(y) * size_t(width) * 4; }
    const uint8_t* Row(int y) const { return bgra.data() + size_t(y) * size_t(width) * 4; }
};

// Pixels [x0, x1) of row y as blue, green, red, alpha (alpha 255 below 32
// bits; palette indexes past the palette are black).
void ReadRowBgra(const LTBITMAP& bitmap, int y, int x0, int x1, uint8_t* out);
// The whole record as a WorkImage; false when memory runs out.
bool ToWork(const LTBITMAP& bitmap, WorkImage& out);
// Replaces the pixels of bitmap with the image at 16, 24 or 32 bits (alpha
// kept at 32 only) in the given colour order; the palette is emptied and
// the transparency fields are kept.
bool FromWork(const WorkImage& image, int bitsPerPixel, int order, LTBITMAP& bitmap);
// Writes a worked image back into its record: palette records become
// 24-bit BGR, deeper ones keep their depth and order.
int StoreWork(const WorkImage& work, LTBITMAP& bitmap);

// The nearest entry of a palette by squared RGB distance, the first of
// equals, found exactly but quickly: each cell of the colour cube keeps the
// few entries that can be nearest for a colour inside it, worked out the
// first time a colour falls there.
class ColorMatcher {
public:
    explicit ColorMatcher(std::vector<RGBQUAD> palette);
    int Nearest(int red, int green, int blue);
    const std::vector<RGBQUAD>& Palette() const { return m_palette; }

private:
    void FillCell(int cell);

    std::vector<RGBQUAD> m_palette;
    std::vector<int32_t> m_cellFirst; // index into m_candidates, -1 until filled
    std::vector<uint16_t> m_cellCount;
    std::vector<uint8_t> m_candidates;
};

// The fixed palettes: black and white; the 16 VGA colours; a 6 x 6 x 6
// colour cube followed by 40 greys between its own.
std::vector<RGBQUAD> FixedPalette(int bitsPerPixel);

// How one axis of a picture maps onto a new length: for each output index,
// the run of input indexes it reads and their weights. Shrinking averages
// the area an output pixel covers; growing interpolates linearly between
// the two nearest input pixels. Weights are fractions of kWeightOne.
struct AxisWeights {
    static constexpr int kWeightOne = 1 << 22;
    long long first = 0;           // the first output index described
    std::vector<int> start;        // per output index: first input index
    std::vector<int> count;        // per output index: inputs read
    std::vector<int> offset;       // per output index: where its weights start
    std::vector<int32_t> weights;
    int maxCount = 0;
};
// Output indexes [first, last) of an axis of inputCount pixels drawn over
// outputCount; mirror reads the input from its far end. Both counts > 0.
AxisWeights MakeAxisWeights(int inputCount, long long outputCount, long long first, long long last, bool mirror);

// Resamples the source rectangle of a record (inside the record) onto an
// output of outputWidth x outputHeight, row by row, computing only output
// columns [x0, x1) and the input rows the asked output rows need. Output
// pixels are blue, green, red, alpha bytes; at 32 bits the colour comes
// premultiplied by alpha (so that transparent pixels lend no colour to
// their neighbours). Output rows [y0, y1), when given, have their weights
// made once; others as they are asked for.
class Resampler {
public:
    Resampler(const LTBITMAP& bitmap, const RECT& source, long long outputWidth, long long outputHeight, long long x0,
        long long x1, bool mirrorX, bool mirrorY, long long y0 = 0, long long y1 = 0);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;
    int Width() const;
    // Output row y, 4 bytes for each column of [x0, x1).
    void Row(long long y, uint8_t* out);
    // Output row y, 4 bytes for each column of [from, to), a part of
    // [x0, x1). Each input row is filtered once for all the parts asked
    // while it is among the last few read.
    void Row(long long y, uint8_t* out, long long from, long long to);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// A whole record resampled to width x height, alpha not premultiplied.
bool ResampleToWork(const LTBITMAP& bitmap, int width, int height, WorkImage& out);

} // namespace platform::imaging
