// Picture Studio's work and the surface written as a picture, each against
// ImageMagick (through Magick++) doing the same on the same pixels in the
// same run (the baseline is the best of a few runs, taken once):
//
// - "BM_AdjustNegative": the Adjust of the Negative effect on a 12-megapixel
//   picture as Picture Studio runs it (CImage::Copy of the picture, effect
//   kind 11 recorded, the rebuild of ApplyEffect(17, 0), MatchPicToScreen);
//   "x_magick" divides by copying the Magick++ image of the same pixels and
//   negating it (target 2.0).
// - "BM_ExportSurfacePng": a Letter surface of mixed objects rendered at
//   100 % (RenderObjectsPicture, CImage::CreateFromBitmap, both untimed) and
//   written to PNG by CImage::Export; "x_magick" divides by Magick++ making
//   an image of the same pixels and writing it to PNG with the same settings
//   (deflate level 4 with adaptive filters, 8-bit RGB, no time chunks)
//   (target 1.2).
//
// The files live in /dev/shm when there is one, so that the disk's flush
// does not drown what is measured.
// Run from a Release build: bin/StudioBench

#include "bench/BenchDesign.h"
#include "bench/BenchSupport.h"
#include "model/DrawRect.h"
#include "pictures/Image.h"
#include "pictures/PictureEngine.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "surface/Surface.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kPhotoWidth = 4000; // 12 megapixels
constexpr int kPhotoHeight = 3000;
constexpr int kNegativeKind = 11;
using Clock = std::chrono::steady_clock;

void SetUp()
{
    static const bool done = [] {
        platform::headless::Reset();
        threadwick::RegisterResources();
        platform::InitFileSystem();
        Magick::InitializeMagick(nullptr);
        return true;
    }();
    (void)done;
}

const std::string& Folder()
{
    static const std::string folder = [] {
        std::string pattern =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm/twstudiobench-XXXXXX" : "/tmp/twstudiobench-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no temporary folder");
        return pattern;
    }();
    return folder;
}

// Smooth ramps with fine grain and hard-edged patches, 24-bit BGR rows
// bottom up, as a photograph's DIB has them (rows need no padding at this
// width).
std::vector<BYTE> PhotoPixels()
{
    std::vector<BYTE> pixels(size_t(kPhotoWidth) * kPhotoHeight * 3);
    bench::FillPhotoPixels(pixels.data(), kPhotoWidth, kPhotoHeight, size_t(kPhotoWidth) * 3);
    return pixels;
}

// ---- Adjust with the Negative effect ------------------------------------------------------------

void BM_AdjustNegative(benchmark::State& state)
{
    SetUp();
    const std::vector<BYTE> pixels = PhotoPixels();
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = kPhotoWidth;
    header.biHeight = kPhotoHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    HGLOBAL hDib = ::GlobalAlloc(GMEM_MOVEABLE, sizeof header + pixels.size());
    if (void* p = ::GlobalLock(hDib)) {
        std::memcpy(p, &header, sizeof header);
        std::memcpy(static_cast<BYTE*>(p) + sizeof header, pixels.data(), pixels.size());
        ::GlobalUnlock(hDib);
    }
    CImage picture;
    if (!picture.CreateFromDIB(hDib, FALSE)) {
        state.SkipWithError("the picture could not be made");
        return;
    }

    const Magick::Image magick(kPhotoWidth, kPhotoHeight, "BGR", Magick::CharPixel, pixels.data());
    const double baseline = bench::BestSeconds(
        [&] {
            Magick::Image copy(magick);
            copy.modifyImage(); // a copy of its own, as ours is
            copy.negate();
            return copy.columns();
        },
        3);

    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        CImage adjusted;
        adjusted.Copy(picture);
        adjusted.SetEffect(kNegativeKind, 1, 0);
        const BOOL bApplied = adjusted.ApplyEffect(CImage::kEffectRotate, 0, 0);
        MatchPicToScreen(adjusted.m_nHandle);
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        total += elapsed.count();
        state.SetIterationTime(elapsed.count());
        if (!bApplied)
            state.SkipWithError("the effect was not applied");
        state.PauseTiming();
        adjusted.Release();
        state.ResumeTiming();
    }
    const double perIteration = total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_magick"] = perIteration / baseline;
    state.counters["magick_ms"] = baseline * 1000;
}
BENCHMARK(BM_AdjustNegative)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// ---- The surface written to PNG -----------------------------------------------------------------

class CLetterDesign : public bench::CWindowlessDesign {
public:
    CLetterDesign()
    {
        m_pView->SetPageSize(CSurface::kDefaultPageWidth, CSurface::kDefaultPageHeight);
        // A grid of shapes of every kind in many colours, some overlapping
        // the page's edge.
        for (int i = 0; i < 120; ++i) {
            const int x = (i % 10) * 90 - 450;
            const int y = (i / 10) * 95 - 560;
            auto* pObj = new CDrawRect(CRect(x, y + 80, x + 80, y), i % SHAPE_KIND_COUNT);
            pObj->m_bFill = TRUE;
            pObj->m_logbrush.lbColor = RGB((i * 37) % 256, (i * 91) % 256, (i * 53) % 256);
            m_pView->Add(pObj);
        }
    }
    ~CLetterDesign() override
    {
        CObList& objects = m_pView->GetObjects();
        while (!objects.IsEmpty())
            delete objects.RemoveHead();
    }
};

// The bitmap's pixels as 8-bit RGB rows top down.
std::vector<BYTE> RgbPixels(CBitmap& bitmap, int cx, int cy)
{
    std::vector<DWORD> bgra(size_t(cx) * size_t(cy));
    BITMAPINFO info{};
    info.bmiHeader = platform::TopDownDibHeader(cx, cy, 32);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    ::GetDIBits(dc.GetSafeHdc(), static_cast<HBITMAP>(bitmap.GetSafeHandle()), 0, UINT(cy), bgra.data(), &info,
        DIB_RGB_COLORS);
    std::vector<BYTE> rgb(bgra.size() * 3);
    for (size_t i = 0; i < bgra.size(); ++i) {
        rgb[3 * i] = BYTE(bgra[i] >> 16);
        rgb[3 * i + 1] = BYTE(bgra[i] >> 8);
        rgb[3 * i + 2] = BYTE(bgra[i]);
    }
    return rgb;
}

void BM_ExportSurfacePng(benchmark::State& state)
{
    SetUp();
    CLetterDesign design;
    CBitmap bitmap;
    const CRect area = design.m_pView->GetExportArea();
    if (!design.m_pView->RenderObjectsPicture(&bitmap, &area)) {
        state.SkipWithError("the surface could not be rendered");
        return;
    }
    BITMAP bm{};
    bitmap.GetBitmap(&bm);
    CImage image;
    if (!image.CreateFromBitmap(&bitmap)) {
        state.SkipWithError("the picture could not be made");
        return;
    }

    const std::vector<BYTE> rgb = RgbPixels(bitmap, bm.bmWidth, bm.bmHeight);
    const std::string theirs = Folder() + "/magick.png";
    const double baseline = bench::BestSeconds(
        [&] {
            Magick::Image png(size_t(bm.bmWidth), size_t(bm.bmHeight), "RGB", Magick::CharPixel, rgb.data());
            png.depth(8);
            png.defineValue("png", "color-type", "2");
            png.defineValue("png", "bit-depth", "8");
            png.defineValue("png", "exclude-chunks", "date,time");
            png.quality(45);
            png.magick("PNG");
            png.write(theirs);
            return png.columns();
        },
        5);

    const std::string ours = Folder() + "/surface.png";
    const std::string oursWindows = platform::WindowsPathFor(ours);
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const int nResult = image.Export(oursWindows.c_str(), FALSE, FALSE, 0, area);
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        total += elapsed.count();
        state.SetIterationTime(elapsed.count());
        if (nResult < 0)
            state.SkipWithError("the picture was not written");
    }
    const double perIteration = total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_magick"] = perIteration / baseline;
    state.counters["magick_ms"] = baseline * 1000;
    state.counters["pixels"] = double(bm.bmWidth) * bm.bmHeight;
    std::error_code error;
    state.counters["KiB_ours"] = double(std::filesystem::file_size(ours, error)) / 1024;
    state.counters["KiB_magick"] = double(std::filesystem::file_size(theirs, error)) / 1024;
}
BENCHMARK(BM_ExportSurfacePng)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    std::filesystem::remove_all(Folder(), error);
    return 0;
}
