// The Picture Gallery's database: Add Picture of 100 files (copies of the
// test data's photographs and bitmaps, mixed formats) into a new category,
// against Magick++ reading each file, making its thumbnail and encoding it
// in the same run; and one row of scrolling in a category of 500 pictures
// (the thumbnails and names of the row's cells read from the file).
//
// Counters:
// - "x_magick": the 100 additions over Magick++'s read, thumbnail and
//   encoding of the same files (target 1.5);
// - "row_ms": one row of six cells read from a category of 500.

#include "pictures/GalleryDB.h"
#include "pictures/Image.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/ui/Headless.h"
#include "resources/Resources.h"

#include "bench/BenchSupport.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

namespace {

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

void BM_ScrollRow500(benchmark::State& state)
{
    const Folder& files = TheFiles();
    const std::string db = files.host + "/large.olv";
    static const bool made = [&] {
        std::filesystem::remove(db);
        CGalleryDB gallery(platform::WindowsPathFor(db).c_str());
        // The small photograph, so that making the category stays quick.
        for (int i = 0; i < kLargeCategory; ++i)
            gallery.AddPicture("Many", files.windowsFiles[size_t(1 + 4 * (i % 25))].c_str(), "");
        return true;
    }();
    benchmark::DoNotOptimize(made);
    CGalleryDB gallery(platform::WindowsPathFor(db).c_str());
    int nCount = 0;
    gallery.OpenCategory("Many", FALSE, &nCount);
    int nRow = 0;
    for (auto _ : state) {
        const int nFirst = (nRow++ * kRowCells) % (nCount - kRowCells);
        for (int n = nFirst; n < nFirst + kRowCells; ++n) {
            std::unique_ptr<CImage> pPicture = gallery.GetPicture(n);
            benchmark::DoNotOptimize(pPicture.get());
            benchmark::DoNotOptimize(gallery.GetPictureFile(n));
        }
    }
    state.counters["row_ms"] = benchmark::Counter(double(state.iterations()) / 1000.0,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["pictures"] = nCount;
}
BENCHMARK(BM_ScrollRow500)->Unit(benchmark::kMillisecond);

} // namespace

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
