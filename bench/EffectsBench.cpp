// The picture effect filters on a 12-megapixel photograph-like picture,
// each measured against ImageMagick's matching operation (through Magick++)
// on the same pixels, both already in memory, in the same run. Each run
// starts from a fresh copy of the picture, as an effect rebuild does.
//
// Counters: x_magick is our time over ImageMagick's for the same effect
// (1.0 or less is the aim). The "rebuild" case applies five effects in a row
// from the unaltered picture, against the same five ImageMagick operations.
//
// The ImageMagick operations, by effect:
//   gamma             Image::gamma(2.2)
//   halftone view     Image::orderedDither("h4x4a")
//   halftone print    Image::orderedDither("h8x8a")
//   posterize         Image::posterize(4)
//   median            Image::medianFilter(1)  (a 3 x 3 block)
//   negative          Image::negate()
//   noise             Image::addNoise(UniformNoise)
//   emboss            Image::emboss(1, 0.5)
//   sharpen           Image::unsharpmask(1, 0.5, 0.8, 0)
//   hue               Image::modulate(100, 100, 133)  (a turn of 60 degrees)
//   saturation        Image::modulate(100, 40, 100)
//   contrast          Image::brightnessContrast(0, 40)
//   brightness        Image::brightnessContrast(-20, 0)
//   shear             Image::shear(20, 0)
//   blur              Image::blur(1, 1)
//   grey scale        Image::type(GrayscaleType)
//   colour resolution Image::quantizeColors(256) + quantize()
//   mosaic            Image::scale(1/8) + Image::sample(x8)
//   flips             Image::flip(), Image::flop()
//   rotate            Image::rotate(30)
// Run from a Release build: bin/EffectsBench

#include "bench/BenchSupport.h"
#include "platform/imaging/Imaging.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

LTBITMAP g_picture;
Magick::Image* g_magick = nullptr;

// Smooth ramps with fine texture and hard-edged patches, so that no filter
// meets a flat, easy picture.
void MakePicture()
{
    LtAllocateBitmap(&g_picture, kWidth, kHeight, 24);
    bench::FillPhotoPixels(g_picture.Pixels.data(), kWidth, kHeight, size_t(g_picture.BytesPerLine));
    // Rows are exactly 3 bytes a pixel at this width, as ImageMagick reads them.
    g_magick = new Magick::Image(kWidth, kHeight, "BGR", Magick::CharPixel, g_picture.Pixels.data());
}

struct Case {
    std::string name;
    std::function<void(LTBITMAP&)> ours;
    std::function<void(Magick::Image&)> theirs;
};

std::vector<Case> Cases()
{
    return {
        { "gamma", [](LTBITMAP& b) { LtGammaCorrect(&b, 220); }, [](Magick::Image& m) { m.gamma(2.2); } },
        { "halftone_view", [](LTBITMAP& b) { LtHalftone(&b, LT_HALFTONE_VIEW, 4500); },
            [](Magick::Image& m) { m.orderedDither("h4x4a"); } },
        { "halftone_print", [](LTBITMAP& b) { LtHalftone(&b, LT_HALFTONE_PRINT, 4500); },
            [](Magick::Image& m) { m.orderedDither("h8x8a"); } },
        { "posterize", [](LTBITMAP& b) { LtPosterize(&b, 4); }, [](Magick::Image& m) { m.posterize(4); } },
        { "median", [](LTBITMAP& b) { LtMedianFilter(&b, 3); }, [](Magick::Image& m) { m.medianFilter(1); } },
        { "negative", [](LTBITMAP& b) { LtInvert(&b); }, [](Magick::Image& m) { m.negate(); } },
        { "noise", [](LTBITMAP& b) { LtAddNoise(&b, 200, 0); },
            [](Magick::Image& m) { m.addNoise(MagickCore::UniformNoise); } },
        { "emboss", [](LTBITMAP& b) { LtEmboss(&b, 7, 30); }, [](Magick::Image& m) { m.emboss(1, 0.5); } },
        { "sharpen", [](LTBITMAP& b) { LtSharpen(&b, 800); }, [](Magick::Image& m) { m.unsharpmask(1, 0.5, 0.8, 0); } },
        { "hue", [](LTBITMAP& b) { LtChangeHue(&b, 60); }, [](Magick::Image& m) { m.modulate(100, 100, 133.3); } },
        { "saturation", [](LTBITMAP& b) { LtChangeSaturation(&b, -600); },
            [](Magick::Image& m) { m.modulate(100, 40, 100); } },
        { "contrast", [](LTBITMAP& b) { LtChangeContrast(&b, 400); },
            [](Magick::Image& m) { m.brightnessContrast(0, 40); } },
        { "brightness", [](LTBITMAP& b) { LtChangeBrightness(&b, -200); },
            [](Magick::Image& m) { m.brightnessContrast(-20, 0); } },
        { "shear", [](LTBITMAP& b) { LtShearBitmap(&b, 2000, 1, RGB(255, 255, 255)); },
            [](Magick::Image& m) { m.shear(20, 0); } },
        { "blur", [](LTBITMAP& b) { LtAverageFilter(&b, 3); }, [](Magick::Image& m) { m.blur(1, 1); } },
        { "grey_scale", [](LTBITMAP& b) { LtGrayScale(&b, 8); },
            [](Magick::Image& m) { m.type(MagickCore::GrayscaleType); } },
        { "colour_resolution",
            [](LTBITMAP& b) { LtColorRes(&b, &b, 8, LT_COLORRES_OPTIMIZED | LT_COLORRES_DITHER, nullptr, 0, 0, 0); },
            [](Magick::Image& m) {
                m.quantizeColors(256);
                m.quantizeDither(true);
                m.quantize();
            } },
        { "mosaic", [](LTBITMAP& b) { LtMosaic(&b, 8); },
            [](Magick::Image& m) {
                m.scale(Magick::Geometry(kWidth / 8, kHeight / 8));
                Magick::Geometry full(kWidth, kHeight);
                full.aspect(true);
                m.sample(full);
            } },
        { "flip", [](LTBITMAP& b) { LtFlipBitmap(&b); }, [](Magick::Image& m) { m.flip(); } },
        { "flop", [](LTBITMAP& b) { LtReverseBitmap(&b); }, [](Magick::Image& m) { m.flop(); } },
        { "rotate", [](LTBITMAP& b) { LtRotateBitmap(&b, 3000, LT_ROTATE_RESIZE, RGB(255, 255, 255)); },
            [](Magick::Image& m) { m.rotate(30); } },
        { "rebuild_five",
            [](LTBITMAP& b) {
                LtGammaCorrect(&b, 150);
                LtMedianFilter(&b, 3);
                LtAddNoise(&b, 100, 0);
                LtSharpen(&b, 500);
                LtChangeContrast(&b, 200);
            },
            [](Magick::Image& m) {
                m.gamma(1.5);
                m.medianFilter(1);
                m.addNoise(MagickCore::UniformNoise);
                m.unsharpmask(1, 0.5, 0.5, 0);
                m.brightnessContrast(0, 20);
            } },
    };
}

double MagickSeconds(const Case& c)
{
    return bench::BestSeconds(
        [&c] {
            Magick::Image copy(*g_magick);
            copy.modifyImage(); // a copy of its own, as ours is
            c.theirs(copy);
            return copy.columns();
        },
        3);
}

void Run(benchmark::State& state, const Case& c)
{
    const double baseline = MagickSeconds(c);
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        LTBITMAP copy = g_picture;
        c.ours(copy);
        benchmark::DoNotOptimize(copy.Pixels.data());
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        total += elapsed.count();
        state.SetIterationTime(elapsed.count());
    }
    state.counters["x_magick"] = total / double(state.iterations()) / baseline;
    state.counters["magick_ms"] = baseline * 1000.0;
}

} // namespace

int main(int argc, char** argv)
{
    Magick::InitializeMagick(nullptr);
    MakePicture();
    for (const Case& c : Cases()) {
        benchmark::RegisterBenchmark(("BM_Effect/" + c.name).c_str(), [c](benchmark::State& state) { Run(state, c); })
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_magick;
    return 0;
}
