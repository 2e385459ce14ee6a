// The picture pickers against what the libraries underneath do for the same
// files in the same run.
//
// The preview grid on a folder of 200 pictures (copies of the test data's
// photographs and pictures in four formats), 800 x 600 pixels at the medium
// preview size, so 7 columns by 5 rows are on the screen.
//
// - BM_FirstScreen: filling the grid from the folder and painting until every
//   visible cell has its thumbnail, against what the libraries underneath do
//   for the same visible files in the same run: Magick++ decoding each file
//   and one Cairo scale of it into its cell ("x_magick_cairo", target 1.5).
// - BM_ScrollOneRow: one row scrolled down, painted, and its seven new
//   thumbnails made ("ms_per_row").
// - BM_GalleryFirstScreen: a gallery category of the 200 pictures opened in
//   the gallery's grid until its first screen of thumbnails shows.
// - BM_GalleryScrollOneRow: the same for the gallery's grid over a category
//   of 500 pictures, whose thumbnails come from the database.
// - BM_AddPicture100: the Picture Gallery's Add Picture of 100 files (copies
//   of the test data's photographs and bitmaps, mixed formats) into a new
//   category, against Magick++ reading each file, making its thumbnail and
//   encoding it ("x_magick", target 1.5).

#include "assist/PreviewGrid.h"
#include "pictures/GalleryDB.h"
#include "pictures/Image.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/framework/Afx.h"
#include "platform/framework/Controls.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"
#include "resources/previewgrid.h"

#include "bench/BenchSupport.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>
#include <unistd.h>

namespace grid {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 200;
constexpr int kGalleryPictures = 500;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

const char* const kSources[] = {
    "jpeg/bin-librust-jpeg-decoder-dev__large_image.jpg",
    "jpeg/bin-librust-jpeg-decoder-dev__tower_progressive.jpg",
    "bmp/src-pillow__hopper.bmp",
    "png/bin-libsixel-examples__basi0g08.png",
    "bmp/github-haraldk_TwelveMonkeys__blauesglas_24.bmp",
};

struct Folder {
    std::string host;
    CString windows;
    Folder()
    {
        char pattern[] = "/tmp/twgridbench-XXXXXX";
        const char* made = mkdtemp(pattern);
        host = made != nullptr ? made : "/tmp/twgridbench";
        for (int i = 0; i < kFiles; ++i) {
            const fs::path source = fs::path(THREADWICK_TESTDATA_DIR) / kSources[i % std::size(kSources)];
            char name[32];
            std::snprintf(name, sizeof name, "p%03d", i);
            fs::copy_file(source, fs::path(host) / (name + source.extension().string()),
                fs::copy_options::overwrite_existing);
        }
        windows = platform::WindowsPathFor(host).c_str();
    }
    ~Folder()
    {
        std::error_code ec;
        fs::remove_all(host, ec);
    }
};

const Folder& TheFolder()
{
    static const Folder folder;
    return folder;
}

class CBenchApp : public CWinApp {};

// A headless window system with the program's resources and one dialog to
// hold the grids.
struct Host {
    std::unique_ptr<CBenchApp> app;
    CDialog dialog;
    CScrollBar scroll;
    Host()
    {
        platform::InitFileSystem();
        platform::headless::Reset();
        threadwick::RegisterResources();
        app = std::make_unique<CBenchApp>();
        dialog.Create(IDD_PREVIEW_OPTIONS, nullptr);
        dialog.MoveWindow(0, 0, kWidth + 40, kHeight + 40);
        for (HWND hChild = ::GetWindow(dialog.m_hWnd, GW_CHILD); hChild != NULL;
             hChild = ::GetWindow(hChild, GW_HWNDNEXT))
            ::ShowWindow(hChild, SW_HIDE);
        dialog.ShowWindow(SW_SHOW);
        scroll.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(kWidth, 0, kWidth + 16, kHeight), &dialog, 408);
    }
};

Host& TheHost()
{
    static Host host;
    return host;
}

void Settle(CPreviewGrid& grid)
{
    grid.UpdateWindow();
    AfxPumpMessagesUntilIdle();
}

std::vector<CString> VisibleFiles(CSavedDesignGrid& grid)
{
    std::vector<CString> files;
    const int nVisible = std::min(grid.GetItemCount(), grid.GetVisibleRows() * grid.GetColumns());
    for (int i = 0; i < nVisible; ++i)
        files.push_back(grid.GetFilePath(i));
    return files;
}

// Magick++ decodes each file whole; Cairo scales it into a cell.
double MagickCairoSeconds(const std::vector<CString>& files, int nSide)
{
    return bench::BestSeconds(
        [&] {
            cairo_surface_t* screen = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
            for (const CString& file : files) {
                Magick::Image image;
                image.read(platform::HostPathForReading(static_cast<LPCSTR>(file)));
                const int w = int(image.columns()), h = int(image.rows());
                cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
                image.write(0, 0, size_t(w), size_t(h), "BGRA", Magick::CharPixel,
                    cairo_image_surface_get_data(picture));
                cairo_surface_mark_dirty(picture);
                const double scale = std::min(1.0, std::min(double(nSide) / w, double(nSide) / h));
                cairo_t* cr = cairo_create(screen);
                cairo_scale(cr, scale, scale);
                cairo_set_source_surface(cr, picture, 0, 0);
                cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
                cairo_paint(cr);
                cairo_destroy(cr);
                cairo_surface_destroy(picture);
            }
            cairo_surface_destroy(screen);
            return 0;
        },
        3);
}

void BM_FirstScreen(benchmark::State& state)
{
    Magick::InitializeMagick(nullptr);
    Host& host = TheHost();
    const Folder& folder = TheFolder();
    double total = 0;
    int nRuns = 0;
    std::vector<CString> visible;
    int nSide = 100;
    for (auto _ : state) {
        CSavedDesignGrid grid(&host.dialog, &host.scroll, kGridLeafPictures);
        grid.Create(CRect(0, 0, kWidth, kHeight));
        const auto start = Clock::now();
        grid.FillFromFolder(folder.windows, "*.jpg;*.bmp;*.png");
        Settle(grid);
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
        ++nRuns;
        if (visible.empty()) {
            visible = VisibleFiles(grid);
            nSide = grid.GetPreviewSize();
        }
        if (grid.GetThumbnailsMade() != int(visible.size()))
            state.SkipWithError("not every visible cell got its thumbnail");
    }
    const double baseline = MagickCairoSeconds(visible, nSide);
    state.counters["cells"] = double(visible.size());
    state.counters["ms_first_screen"] = 1000 * total / std::max(1, nRuns);
    state.counters["ms_magick_cairo"] = 1000 * baseline;
    state.counters["x_magick_cairo"] = (total / std::max(1, nRuns)) / baseline;
}
BENCHMARK(BM_FirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Scrolls through the grid a row at a time; the time is per row.
template <class Grid>
void ScrollRows(benchmark::State& state, Grid& grid)
{
    const int nRows = (grid.GetItemCount() + grid.GetColumns() - 1) / grid.GetColumns() - grid.GetVisibleRows();
    double total = 0;
    int nScrolled = 0;
    for (auto _ : state) {
        if (grid.GetTopRow() >= nRows) {
            grid.OnScrollBar(SB_TOP, 0);
            Settle(grid);
        }
        const auto start = Clock::now();
        grid.OnScrollBar(SB_LINEDOWN, 0);
        Settle(grid);
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
        ++nScrolled;
    }
    state.counters["ms_per_row"] = 1000 * total / std::max(1, nScrolled);
}

void BM_ScrollOneRow(benchmark::State& state)
{
    Host& host = TheHost();
    CSavedDesignGrid grid(&host.dialog, &host.scroll, kGridLeafPictures);
    grid.Create(CRect(0, 0, kWidth, kHeight));
    grid.FillFromFolder(TheFolder().windows, "*.jpg;*.bmp;*.png");
    Settle(grid);
    ScrollRows(state, grid);
}
BENCHMARK(BM_ScrollOneRow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// A gallery database in the shared folder holding one category of
// nPictures, built from nothing. Adding a picture appends a record even when
// the file is already there, so a database is built once per run and only
// opened by each repetition: one that added again would find every picture
// twice.
CString BuildGallery(const char* pszFile, const char* pszCategory, int nPictures)
{
    const CString path = TheFolder().windows + "\\" + pszFile;
    std::error_code ec;
    fs::remove(fs::path(TheFolder().host) / pszFile, ec);
    CGalleryDB db(path);
    db.AddCategoryName(pszCategory);
    db.WriteCategoryNames();
    for (int i = 0; i < nPictures; ++i) {
        const int nFile = i % kFiles;
        char name[32];
        std::snprintf(name, sizeof name, "\\p%03d", nFile);
        const fs::path source(kSources[size_t(nFile) % std::size(kSources)]);
        db.AddPicture(pszCategory, TheFolder().windows + name + source.extension().string().c_str(), "");
    }
    return path;
}

// A category of 200 photographs opened in the gallery's grid: from the
// grid's creation until every visible cell has its thumbnail from the
// database.
void BM_GalleryFirstScreen(benchmark::State& state)
{
    Host& host = TheHost();
    static const CString path = BuildGallery("first.olv", "Photos", kFiles);
    CGalleryDB db(path);
    int nCount = 0;
    db.OpenCategory("Photos", FALSE, &nCount);
    if (nCount != kFiles) {
        state.SkipWithError("the category was not filled");
        return;
    }
    double total = 0;
    int nRuns = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        CCdDesignGrid grid(&host.dialog, &host.scroll, &db);
        grid.Create(CRect(0, 0, kWidth, kHeight));
        grid.SetItemCount(nCount);
        Settle(grid);
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
        ++nRuns;
        grid.DestroyWindow();
    }
    state.counters["ms_first_screen"] = 1000 * total / std::max(1, nRuns);
}
BENCHMARK(BM_GalleryFirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GalleryScrollOneRow(benchmark::State& state)
{
    Host& host = TheHost();
    static const CString path = BuildGallery("imagedb.olv", "Bench", kGalleryPictures);
    CGalleryDB db(path);
    int nCount = 0;
    db.OpenCategory("Bench", FALSE, &nCount);
    if (nCount != kGalleryPictures) {
        state.SkipWithError("the category was not filled");
        return;
    }
    CCdDesignGrid grid(&host.dialog, &host.scroll, &db);
    grid.Create(CRect(0, 0, kWidth, kHeight));
    grid.SetItemCount(nCount);
    Settle(grid);
    ScrollRows(state, grid);
}
BENCHMARK(BM_GalleryScrollOneRow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace grid

namespace gallery {

constexpr int kFiles = 100;
constexpr int kLargeCategory = 500;
constexpr int kRowCells = 6;
constexpr int kPreviewSize = 100;

struct Folder {
    std::string host;
    std::vector<std::string> hostFiles;
    std::vector<std::string> windowsFiles;
};

const Folder& TheFiles()
{
    static const Folder folder = [] {
        static char name[] = "/tmp/gallerybench-XXXXXX";
        if (mkdtemp(name) == nullptr)
            throw std::runtime_error("no temporary folder");
        const std::string data = THREADWICK_TESTDATA_DIR;
        const std::vector<std::string> sources = {
            data + "/jpeg/bin-librust-jpeg-decoder-dev__large_image.jpg",
            data + "/jpeg/bin-librust-jpeg-decoder-dev__tower_progressive.jpg",
            data + "/bmp/github-haraldk_TwelveMonkeys__blauesglas_24.bmp",
            data + "/bmp/github-haraldk_TwelveMonkeys__blauesglas_8.bmp",
        };
        Folder f;
        f.host = name;
        for (int i = 0; i < kFiles; ++i) {
            const std::string& source = sources[size_t(i) % sources.size()];
            const std::string target
                = f.host + "/p" + std::to_string(i) + std::filesystem::path(source).extension().string();
            std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
            f.hostFiles.push_back(target);
            f.windowsFiles.push_back(platform::WindowsPathFor(target));
        }
        return f;
    }();
    return folder;
}

double MagickSeconds()
{
    static const double seconds = bench::BestSeconds(
        [] {
            size_t total = 0;
            for (const std::string& path : TheFiles().hostFiles) {
                Magick::Image image(path);
                image.thumbnail(Magick::Geometry(kPreviewSize, kPreviewSize));
                image.magick("JPEG");
                Magick::Blob blob;
                image.write(&blob);
                total += blob.length();
            }
            return total;
        },
        3);
    return seconds;
}

void BM_AddPicture100(benchmark::State& state)
{
    const Folder& files = TheFiles();
    const std::string db = files.host + "/add.olv";
    const double magick = MagickSeconds();
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(db);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        CGalleryDB gallery(platform::WindowsPathFor(db).c_str());
        for (const std::string& path : files.windowsFiles)
            benchmark::DoNotOptimize(gallery.AddPicture("Photos", path.c_str(), ""));
        gallery.Close();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["x_magick"] = seconds / magick;
}
BENCHMARK(BM_AddPicture100)->Unit(benchmark::kMillisecond)->Iterations(3);


} // namespace gallery

int main(int argc, char** argv)
{
    Magick::InitializeMagick(nullptr);
    platform::headless::Reset();
    threadwick::RegisterResources();
    platform::InitFileSystem();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
