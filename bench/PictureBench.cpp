// Opening and showing a photograph: a 12-megapixel JPEG (made at start by
// resizing the test data's large_image.jpg with Magick++) loaded by
// CImage::LoadFile and drawn at fit zoom into a 1920 x 1080 memory DC,
// against what the two libraries underneath do alone in the same run:
// libjpeg-turbo decoding the file with the calls djpeg makes, and one Cairo
// scale of the decoded picture to the same fit (CAIRO_FILTER_GOOD).
//
// Counters:
// - "x_turbo_cairo": load and draw over decode and scale (target 1.3);
// - "x_turbo": the load alone over the decode alone;
// - "x_cairo": one repaint of the loaded picture over the Cairo scale
//   (target 1.5), and "diff_cairo" the mean difference of a channel
//   (0-255) between the two pictures;
// - "peak_MiB": how far the resident memory rose above where it was while
//   the picture loaded, and "x_rgb24" that rise over the picture's bytes at
//   24 bits (target 1.5).
//
// The picture writers of our own (Windows metafile, WordPerfect graphics,
// MacPaint, Microsoft Paint, GEM raster) write a 2000 x 1500 photograph-like
// picture to a file with LtSaveFile at the depth the program exports each
// at, against ImageMagick writing the same pixels at the same depth, in the
// same run, as a format both write (it writes none of these): the metafile's
// DIB as BMP3, WordPerfect's 256 dithered colours with run lengths as PCX,
// the black-and-white formats' dithered grey as 1-bit PCX. Counters:
// - "x_magick": our write over ImageMagick's (target 1.5);
// - "x_fwrite": our write over writing the bytes it made with fwrite.

#include "pictures/Image.h"
#include "pictures/PictureEngine.h"
#include "platform/imaging/Imaging.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"

#include "bench/BenchSupport.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kPhotoWidth = 4242; // 12 megapixels at the source's 3:2
constexpr int kPhotoHeight = 2828;
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

using Clock = std::chrono::steady_clock;

// The photograph, made once: its host path and its bytes.
struct Photo {
    std::string hostPath;
    std::string windowsPath;
    std::string bytes;
};

const Photo& ThePhoto()
{
    static const Photo photo = [] {
        Magick::InitializeMagick(nullptr);
        Magick::Image image(
            std::string(THREADWICK_TESTDATA_DIR) + "/jpeg/bin-librust-jpeg-decoder-dev__large_image.jpg");
        Magick::Geometry size(kPhotoWidth, kPhotoHeight);
        size.aspect(true);
        image.resize(size);
        image.quality(90);
        image.magick("JPEG");
        static char folder[] = "/tmp/picturebench-XXXXXX";
        if (mkdtemp(folder) == nullptr)
            throw std::runtime_error("no temporary folder");
        Photo p;
        p.hostPath = std::string(folder) + "/photo.jpg";
        image.write(p.hostPath);
        std::atexit([] {
            std::remove((std::string(folder) + "/photo.jpg").c_str());
            std::remove(folder);
        });
        std::ifstream in(p.hostPath, std::ios::binary);
        p.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        p.windowsPath = platform::WindowsPathFor(p.hostPath);
        return p;
    }();
    return photo;
}

// Where the photograph goes at fit zoom: as large as the screen allows,
// centred.
RECT FitRect(int width, int height)
{
    const double scale = std::min(double(kScreenWidth) / width, double(kScreenHeight) / height);
    const int w = int(std::lround(width * scale));
    const int h = int(std::lround(height * scale));
    const int x = (kScreenWidth - w) / 2;
    const int y = (kScreenHeight - h) / 2;
    return RECT {x, y, x + w, y + h};
}

// ---- The baseline: libjpeg-turbo and Cairo alone --------------------------------------

// Decodes the photograph as djpeg does (default decompression settings),
// straight into the pixel layout Cairo takes.
cairo_surface_t* TurboDecode(const std::string& bytes)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(cinfo.output_width),
        int(cinfo.output_height));
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = data + size_t(cinfo.output_scanline) * size_t(stride);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    cairo_surface_mark_dirty(surface);
    return surface;
}

// One scale of the decoded picture to fit the screen.
void CairoScale(cairo_surface_t* picture, cairo_surface_t* screen)
{
    const int w = cairo_image_surface_get_width(picture);
    const int h = cairo_image_surface_get_height(picture);
    const RECT fit = FitRect(w, h);
    cairo_t* cr = cairo_create(screen);
    cairo_rectangle(cr, fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top);
    cairo_clip(cr);
    cairo_translate(cr, fit.left, fit.top);
    cairo_scale(cr, double(fit.right - fit.left) / w, double(fit.bottom - fit.top) / h);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(screen);
}

double TurboSeconds()
{
    static const double seconds = bench::BestSeconds([] {
        cairo_surface_t* picture = TurboDecode(ThePhoto().bytes);
        cairo_surface_destroy(picture);
        return 0;
    });
    return seconds;
}

double CairoScaleSeconds()
{
    static const double seconds = [] {
        cairo_surface_t* picture = TurboDecode(ThePhoto().bytes);
        cairo_surface_t* screen = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kScreenWidth, kScreenHeight);
        const double best = bench::BestSeconds([&] {
            CairoScale(picture, screen);
            return 0;
        });
        cairo_surface_destroy(screen);
        cairo_surface_destroy(picture);
        return best;
    }();
    return seconds;
}

// ---- The program's road -------------------------------------------------------------

// A 1920 x 1080 memory DC, the screen the picture is shown on.
class Screen {
public:
    Screen()
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateBitmap(kScreenWidth, kScreenHeight, 1, 32, nullptr);
        m_old = m_dc.SelectObject(HGDIOBJ(m_bitmap));
        m_dc.PatBlt(0, 0, kScreenWidth, kScreenHeight, WHITENESS);
    }
    ~Screen()
    {
        m_dc.SelectObject(m_old);
        ::DeleteObject(m_bitmap);
    }
    CDC* DC() { return &m_dc; }
    // The pixels as 0x00RRGGBB, rows top-down.
    std::vector<uint32_t> Pixels()
    {
        std::vector<uint32_t> pixels(size_t(kScreenWidth) * kScreenHeight);
        BITMAPINFO info{};
        info.bmiHeader = platform::TopDownDibHeader(kScreenWidth, kScreenHeight, 32);
        m_dc.SelectObject(m_old);
        ::GetDIBits(m_dc.GetSafeHdc(), m_bitmap, 0, kScreenHeight, pixels.data(), &info, DIB_RGB_COLORS);
        m_old = m_dc.SelectObject(HGDIOBJ(m_bitmap));
        return pixels;
    }

private:
    CDC m_dc;
    HBITMAP m_bitmap = NULL;
    HGDIOBJ m_old = NULL;
};

void SetUpPlatform()
{
    platform::headless::Reset();
    threadwick::RegisterResources();
    platform::InitFileSystem();
}

// The platform up and the photograph made, once.
void SetUpProgram()
{
    static const bool done = [] {
        SetUpPlatform();
        ThePhoto();
        return true;
    }();
    (void)done;
}

void DrawAtFit(CImage& image, CDC* pDC)
{
    SIZE size {0, 0};
    image.GetSize(size, TRUE);
    const CRect fit(FitRect(size.cx, size.cy));
    image.Draw(pDC, fit, fit, CRect(0, 0, kScreenWidth, kScreenHeight));
}

double PerIteration(benchmark::State& state, Clock::time_point start)
{
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    }
    return -1;
}

// How far the resident memory rises while a picture file loads, in bytes,
// measured in this process: the peak mark is reset first (Linux's
// clear_refs 5). -1 where the system cannot reset the mark.
double LoadRiseHere(const char* windowsPath)
{
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (f == nullptr)
        return -1;
    const bool reset = std::fputs("5", f) >= 0;
    std::fclose(f);
    if (!reset)
        return -1;
    const long before = StatusKiB("VmRSS");
    CImage image;
    image.LoadFile(windowsPath, 0);
    return double(StatusKiB("VmHWM") - before) * 1024.0;
}

// The same in a fresh copy of this program, whose heap holds nothing freed
// that the load could reuse unseen (the photograph's making freed plenty).
double LoadPeakBytes()
{
    static const double rise = [] {
        const std::string command = "/proc/" + std::to_string(getpid()) + "/exe --load-peak '"
            + ThePhoto().windowsPath + "'";
        std::FILE* child = popen(command.c_str(), "r");
        if (child == nullptr)
            return -1.0;
        double value = -1;
        if (std::fscanf(child, "%lf", &value) != 1)
            value = -1;
        pclose(child);
        return value;
    }();
    return rise;
}

void BM_LoadAndDraw(benchmark::State& state)
{
    SetUpProgram();
    Screen screen;
    const double baseline = TurboSeconds() + CairoScaleSeconds();
    const auto start = Clock::now();
    for (auto _ : state) {
        CImage image;
        image.LoadFile(ThePhoto().windowsPath.c_str(), 0);
        DrawAtFit(image, screen.DC());
    }
    state.counters["x_turbo_cairo"] = PerIteration(state, start) / baseline;
}
BENCHMARK(BM_LoadAndDraw)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state)
{
    SetUpProgram();
    const double peak = LoadPeakBytes();
    const double baseline = TurboSeconds();
    const auto start = Clock::now();
    for (auto _ : state) {
        CImage image;
        image.LoadFile(ThePhoto().windowsPath.c_str(), 0);
        benchmark::DoNotOptimize(image.IsRaster());
    }
    state.counters["x_turbo"] = PerIteration(state, start) / baseline;
    state.counters["peak_MiB"] = peak / (1024.0 * 1024.0);
    state.counters["x_rgb24"] = peak / (double(kPhotoWidth) * kPhotoHeight * 3);
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Repaint(benchmark::State& state)
{
    SetUpProgram();
    Screen screen;
    CImage image;
    image.LoadFile(ThePhoto().windowsPath.c_str(), 0);
    DrawAtFit(image, screen.DC());
    const auto start = Clock::now();
    for (auto _ : state)
        DrawAtFit(image, screen.DC());
    state.counters["x_cairo"] = PerIteration(state, start) / CairoScaleSeconds();

    // What was drawn against Cairo's scale: the mean difference of a
    // channel (0-255), so that a fast repaint that draws wrongly shows.
    cairo_surface_t* picture = TurboDecode(ThePhoto().bytes);
    cairo_surface_t* reference = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kScreenWidth, kScreenHeight);
    cairo_t* cr = cairo_create(reference);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    CairoScale(picture, reference);
    const std::vector<uint32_t> drawn = screen.Pixels();
    const unsigned char* data = cairo_image_surface_get_data(reference);
    const int stride = cairo_image_surface_get_stride(reference);
    double total = 0;
    for (int y = 0; y < kScreenHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < kScreenWidth; ++x) {
            const uint32_t a = row[x];
            const uint32_t b = drawn[size_t(y) * kScreenWidth + size_t(x)];
            for (int shift : {0, 8, 16})
                total += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
        }
    }
    state.counters["diff_cairo"] = total / (double(kScreenWidth) * kScreenHeight * 3);
    cairo_surface_destroy(reference);
    cairo_surface_destroy(picture);
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);

// A repaint zoomed in to 200 %, the screen showing the picture's middle:
// the growing path, against the same Cairo scale of the whole picture.
void BM_RepaintZoomed(benchmark::State& state)
{
    SetUpProgram();
    Screen screen;
    CImage image;
    image.LoadFile(ThePhoto().windowsPath.c_str(), 0);
    SIZE size {0, 0};
    image.GetSize(size, TRUE);
    const int x = (kScreenWidth - 2 * size.cx) / 2;
    const int y = (kScreenHeight - 2 * size.cy) / 2;
    const CRect zoomed(x, y, x + 2 * size.cx, y + 2 * size.cy);
    const CRect clip(0, 0, kScreenWidth, kScreenHeight);
    const auto start = Clock::now();
    for (auto _ : state)
        image.Draw(screen.DC(), zoomed, zoomed, clip);
    state.counters["x_cairo"] = PerIteration(state, start) / CairoScaleSeconds();
}
BENCHMARK(BM_RepaintZoomed)->Unit(benchmark::kMillisecond);

// ---- The picture writers ---------------------------------------------------------------

constexpr int kWriteWidth = 2000;
constexpr int kWriteHeight = 1500;

const LTBITMAP& WritePicture()
{
    static const LTBITMAP picture = [] {
        LTBITMAP b;
        LtAllocateBitmap(&b, kWriteWidth, kWriteHeight, 24);
        bench::FillPhotoPixels(b.Pixels.data(), kWriteWidth, kWriteHeight, size_t(b.BytesPerLine));
        return b;
    }();
    return picture;
}

const std::string& WriteFolder()
{
    static const std::string folder = [] {
        static char name[] = "/tmp/picturebench-write-XXXXXX";
        if (mkdtemp(name) == nullptr)
            throw std::runtime_error("no temporary folder");
        std::atexit([] { std::filesystem::remove_all(name); });
        return std::string(name);
    }();
    return folder;
}

// ImageMagick writing the picture's pixels to a file at the depth asked.
void MagickWrite(int bits, const std::string& path)
{
    const LTBITMAP& picture = WritePicture();
    std::vector<uint8_t> bgr(size_t(kWriteWidth) * kWriteHeight * 3);
    for (int y = 0; y < kWriteHeight; ++y)
        std::memcpy(&bgr[size_t(y) * kWriteWidth * 3], &picture.Pixels[size_t(y) * size_t(picture.BytesPerLine)],
            size_t(kWriteWidth) * 3);
    Magick::Image image(kWriteWidth, kWriteHeight, "BGR", Magick::CharPixel, bgr.data());
    image.quiet(true);
    if (bits == 24) {
        image.magick("BMP3");
    } else {
        if (bits == 1)
            image.quantizeColorSpace(MagickCore::GRAYColorspace);
        image.quantizeColors(size_t(1) << bits);
        image.quantizeDitherMethod(MagickCore::FloydSteinbergDitherMethod);
        image.quantizeDither(true);
        image.quantize();
        if (bits == 1)
            image.type(MagickCore::BilevelType);
        image.magick("PCX");
    }
    image.write(path);
}

void FwriteBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void BM_Write(benchmark::State& state)
{
    const int format = int(state.range(0));
    const int bits = int(state.range(1));
    SetUpPlatform();
    Magick::InitializeMagick(nullptr);
    const LTBITMAP& picture = WritePicture();
    const std::string ours = WriteFolder() + "/ours";
    const std::string theirs = WriteFolder() + "/theirs";
    const std::string copy = WriteFolder() + "/copy";
    const std::string windowsPath = platform::WindowsPathFor(ours);
    if (LtSaveFile(windowsPath.c_str(), &picture, format, bits, 0) != LT_SUCCESS) {
        state.SkipWithError("the writer failed");
        return;
    }
    std::ifstream in(ours, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const double magick = bench::BestSeconds([&] {
        MagickWrite(bits, theirs);
        return 0;
    }, 3);
    const double fwrite = bench::BestSeconds([&] {
        FwriteBytes(copy, bytes);
        return 0;
    });
    const auto start = Clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(LtSaveFile(windowsPath.c_str(), &picture, format, bits, 0));
    const double seconds = PerIteration(state, start);
    state.counters["x_magick"] = seconds / magick;
    state.counters["x_fwrite"] = seconds / fwrite;
    state.counters["file_KiB"] = double(bytes.size()) / 1024.0;
}
BENCHMARK(BM_Write)
    ->ArgNames({"format", "bits"})
    ->Args({LT_FORMAT_WMF, 24})
    ->Args({LT_FORMAT_WPG, 8})
    ->Args({LT_FORMAT_MAC, 1})
    ->Args({LT_FORMAT_MSP, 1})
    ->Args({LT_FORMAT_IMG, 1})
    ->Unit(benchmark::kMillisecond);

// The baselines themselves, for reference.
void BM_TurboDecodeAndCairoScale(benchmark::State& state)
{
    SetUpProgram();
    cairo_surface_t* screen = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kScreenWidth, kScreenHeight);
    for (auto _ : state) {
        cairo_surface_t* picture = TurboDecode(ThePhoto().bytes);
        CairoScale(picture, screen);
        cairo_surface_destroy(picture);
    }
    cairo_surface_destroy(screen);
}
BENCHMARK(BM_TurboDecodeAndCairoScale)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The child that LoadPeakBytes starts: one load, and its figure.
    if (argc == 3 && std::string(argv[1]) == "--load-peak") {
        SetUpPlatform();
        std::printf("%.0f\n", LoadRiseHere(argv[2]));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
