// The object clipboard, each road against the work it cannot do without,
// measured in the same run (the baseline is the best of a few runs, taken
// once):
//
// - Copy and Paste of 1,000 selected objects from one design into another;
//   "x_archive" divides by storing the list with CArchive on a CMemFile,
//   loading it back and drawing the objects once into a bitmap of the size
//   Copy's picture has.
// - A 1920 x 1080 bitmap on the clipboard served to the desktop as
//   image/png; "x_libpng" divides by libpng alone writing the same pixels
//   with the same settings.
// - Pasting a 4000 x 3000 PNG another program copied; "x_magick" divides by
//   Magick++ decoding those bytes.

#include "bench/BenchDesign.h"
#include "bench/BenchSupport.h"
#include "model/DocKinds.h"
#include "model/DrawDoc.h"
#include "model/DrawRect.h"
#include "model/SurfaceInfo.h"
#include "model/UndoList.h"
#include "platform/base/Archive.h"
#include "platform/base/MemFile.h"
#include "platform/framework/Afx.h"
#include "platform/framework/OleData.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "surface/Surface.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kObjects = 1000;
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
// The settings the clipboard's PNG is written with.
constexpr int kPngCompressionLevel = 1;
using Clock = std::chrono::steady_clock;

class CBenchDesign : public bench::CWindowlessDesign {
public:
    ~CBenchDesign() override { Empty(); }
    // Objects in a grid of 40 by 25, every shape kind, some with text.
    void Populate()
    {
        for (int i = 0; i < kObjects; ++i) {
            const int x = (i % 40) * 20 - 400;
            const int y = (i / 40) * 20 - 250;
            auto* pObj = new CDrawRect(CRect(x, y + 15, x + 15, y), i % SHAPE_KIND_COUNT);
            pObj->m_bFill = TRUE;
            pObj->m_logbrush.lbColor = RGB(i % 256, 80, 160);
            m_pView->Add(pObj);
            m_pView->GetSelection().AddTail(pObj);
        }
    }
    void Empty()
    {
        m_pView->GetSelection().RemoveAll();
        CObList& objects = m_pView->GetObjects();
        while (!objects.IsEmpty())
            delete objects.RemoveHead();
        GetUndoList().Clear();
    }
};

void SetUp()
{
    static bool done = [] {
        platform::headless::Reset();
        threadwick::RegisterResources();
        Magick::InitializeMagick(nullptr);
        return true;
    }();
    (void)done;
}

// ---- Copy and Paste of 1,000 objects ---------------------------------------------------------------

// The selection's area as Copy draws it: its bounds, their corner at the
// bitmap's.
double ArchiveSeconds(CBenchDesign& design, CSize bitmapSize)
{
    const CRect bounds = design.m_pView->GetObjectsBounds();
    return bench::BestSeconds([&] {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            ar.m_pDocument = &design;
            design.m_pView->GetSelection().Serialize(ar);
            ar.Close();
        }
        file.SeekToBegin();
        CObList loaded;
        {
            CArchive ar(&file, CArchive::load);
            ar.m_pDocument = &design;
            loaded.Serialize(ar);
            ar.Close();
        }
        CClientDC screen(nullptr);
        CDC dc;
        dc.CreateCompatibleDC(&screen);
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(&screen, bitmapSize.cx, bitmapSize.cy);
        CBitmap* pOld = dc.SelectObject(&bitmap);
        design.m_pView->OnPrepareDC(&dc);
        CPoint corner(bounds.left, bounds.top);
        dc.LPtoDP(&corner);
        dc.OffsetViewportOrg(-corner.x, -corner.y);
        for (POSITION pos = loaded.GetHeadPosition(); pos != nullptr;)
            static_cast<CDrawObj*>(loaded.GetNext(pos))->Draw(&dc);
        dc.SelectObject(pOld);
        const INT_PTR n = loaded.GetCount();
        while (!loaded.IsEmpty())
            delete loaded.RemoveHead();
        return n;
    });
}

void BM_CopyPasteObjects(benchmark::State& state)
{
    SetUp();
    CBenchDesign from;
    from.Populate();
    CBenchDesign to;
    CBitmap picture;
    from.m_pView->DrawObjectsToBitmap(&picture, NULL, FALSE, 0);
    BITMAP bm{};
    picture.GetObject(sizeof bm, &bm);
    const double baseline = ArchiveSeconds(from, CSize(bm.bmWidth, bm.bmHeight));

    double total = 0;
    double copying = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        from.m_pView->OnEditCopy();
        const auto copied = Clock::now();
        to.m_pView->OnEditPaste();
        const auto end = Clock::now();
        total += std::chrono::duration<double>(end - start).count();
        copying += std::chrono::duration<double>(copied - start).count();
        state.PauseTiming();
        if (to.m_pView->GetObjects().GetCount() != kObjects)
            state.SkipWithError("the paste did not place every object");
        to.Empty();
        state.ResumeTiming();
    }
    const double perIteration = total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_archive"] = perIteration / baseline;
    state.counters["baseline_ms"] = baseline * 1000;
    state.counters["copy_ms"] = copying * 1000 / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    COleDataSource::FlushClipboard();
}
BENCHMARK(BM_CopyPasteObjects)->Unit(benchmark::kMillisecond);

// ---- A screen-sized bitmap served as PNG ------------------------------------------------------------

// A picture with drawn areas and gradients, as a copied selection has.
std::vector<DWORD> ScreenPixels()
{
    std::vector<DWORD> pixels(size_t(kScreenWidth) * kScreenHeight);
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            const bool band = ((x / 120) + (y / 90)) % 3 == 0;
            pixels[size_t(y) * kScreenWidth + size_t(x)] =
                band ? 0x00FFFFFFu : DWORD((x * 255 / kScreenWidth) << 16 | (y * 255 / kScreenHeight) << 8 | 0x40);
        }
    }
    return pixels;
}

struct PngBytes {
    std::vector<unsigned char> bytes;
};

void AppendPng(png_structp png, png_bytep data, size_t count)
{
    auto* sink = static_cast<PngBytes*>(png_get_io_ptr(png));
    sink->bytes.insert(sink->bytes.end(), data, data + count);
}

void FlushPng(png_structp)
{
}

// libpng alone: the same pixels (32-bit BGRX rows) as an 8-bit RGB PNG with
// the clipboard's compression level and filter.
size_t EncodeWithLibpng(const std::vector<DWORD>& pixels)
{
    PngBytes sink;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(png, &sink, AppendPng, FlushPng);
    png_set_IHDR(png, info, kScreenWidth, kScreenHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, kPngCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < kScreenHeight; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels.data() + size_t(y) * kScreenWidth));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return sink.bytes.size();
}

void BM_ServeBitmapAsPng(benchmark::State& state)
{
    SetUp();
    const std::vector<DWORD> pixels = ScreenPixels();
    const double baseline = bench::BestSeconds([&] { return EncodeWithLibpng(pixels); });

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = kScreenWidth;
    bi.bmiHeader.biHeight = -kScreenHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    CClientDC screen(nullptr);
    HBITMAP hBitmap = ::CreateDIBitmap(screen.GetSafeHdc(), &bi.bmiHeader, CBM_INIT, pixels.data(), &bi,
        DIB_RGB_COLORS);
    ::OpenClipboard(NULL);
    ::EmptyClipboard();
    ::SetClipboardData(CF_BITMAP, hBitmap);
    ::CloseClipboard();

    std::vector<unsigned char> png;
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!platform::headless::ClipboardPicturePng(png))
            state.SkipWithError("the clipboard offers no PNG");
        total += std::chrono::duration<double>(Clock::now() - start).count();
    }
    const double perIteration = total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_libpng"] = perIteration / baseline;
    state.counters["png_bytes"] = double(png.size());
}
BENCHMARK(BM_ServeBitmapAsPng)->Unit(benchmark::kMillisecond);

// ---- A large photograph pasted from the desktop -----------------------------------------------------

std::vector<unsigned char> PhotoPng()
{
    Magick::Image image(Magick::Geometry(kPhotoWidth, kPhotoHeight), Magick::Color("white"));
    image.read("plasma:fractal");
    image.resize(Magick::Geometry(kPhotoWidth, kPhotoHeight));
    image.magick("PNG");
    image.depth(8);
    Magick::Blob blob;
    image.write(&blob);
    const auto* p = static_cast<const unsigned char*>(blob.data());
    return std::vector<unsigned char>(p, p + blob.length());
}

void BM_PastePhotoFromDesktop(benchmark::State& state)
{
    SetUp();
    static const std::vector<unsigned char> photo = [] {
        std::srand(1);
        return PhotoPng();
    }();
    const double baseline = bench::BestSeconds(
        [&] {
            Magick::Blob blob(photo.data(), photo.size());
            Magick::Image image;
            image.read(blob);
            return image.columns();
        },
        3);

    CBenchDesign to;
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        platform::headless::SetClipboardPicture("image/png", photo);
        state.ResumeTiming();
        const auto start = Clock::now();
        to.m_pView->OnEditPaste();
        total += std::chrono::duration<double>(Clock::now() - start).count();
        state.PauseTiming();
        if (to.m_pView->GetObjects().GetCount() != 1)
            state.SkipWithError("the photograph was not pasted");
        to.Empty();
        state.ResumeTiming();
    }
    const double perIteration = total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_magick"] = perIteration / baseline;
}
BENCHMARK(BM_PastePhotoFromDesktop)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
