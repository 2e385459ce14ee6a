// Filling a folder tree: a CFolderTreeFiller filled from a temporary tree of
// 5,000 folders (one matching file in each, so every folder is listed),
// against the folder scan alone over the same tree in the same run.
//
// "x_scan" is the time of one fill divided by the time of one bare scan
// (the best of a few, taken once): what the tree itself adds to the walk.

#include "app/FolderScan.h"
#include "controls/FolderTreeFiller.h"
#include "platform/files/FileSystem.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kTopFolders = 50;
constexpr int kSubFolders = 99; // 50 + 50 x 99 = 5,000 folders
constexpr char kPattern[] = "*.txt";

using Clock = std::chrono::steady_clock;

// The tree, made once and removed at exit.
struct BenchTree {
    std::string linuxRoot;
    std::string windowsRoot;

    BenchTree()
    {
        char pattern[] = "/tmp/twfolderbench-XXXXXX";
        const char* made = mkdtemp(pattern);
        linuxRoot = made != nullptr ? made : "/tmp/twfolderbench";
        for (int i = 0; i < kTopFolders; ++i) {
            std::string top = linuxRoot + "/top" + std::to_string(i);
            std::filesystem::create_directories(top);
            std::ofstream(top + "/f.txt") << "x";
            for (int j = 0; j < kSubFolders; ++j) {
                std::string sub = top + "/sub" + std::to_string(j);
                std::filesystem::create_directories(sub);
                std::ofstream(sub + "/f.txt") << "x";
            }
        }
        windowsRoot = "C:" + linuxRoot;
        std::replace(windowsRoot.begin(), windowsRoot.end(), '/', '\\');
    }
    ~BenchTree()
    {
        std::error_code ec;
        std::filesystem::remove_all(linuxRoot, ec);
    }
};

const BenchTree& Tree()
{
    static const BenchTree tree;
    return tree;
}

class CCountingScan : public CFolderScan {
public:
    explicit CCountingScan(LPCTSTR lpszRoot)
        : CFolderScan(lpszRoot, kPattern, TRUE, 0)
    {
    }
    int m_nEntries = 0;

protected:
    BOOL OnEntry(const CString&) override
    {
        ++m_nEntries;
        return TRUE;
    }
};

int ScanOnce()
{
    CCountingScan scan((Tree().windowsRoot + "\\").c_str());
    scan.Scan();
    return scan.m_nEntries;
}

// Seconds one bare scan takes here: the best of a few, taken once.
double ScanSeconds()
{
    static const double seconds = [] {
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            auto start = Clock::now();
            benchmark::DoNotOptimize(ScanOnce());
            std::chrono::duration<double> elapsed = Clock::now() - start;
            best = std::min(best, elapsed.count());
        }
        return best;
    }();
    return seconds;
}

void SetUpWindowSystem()
{
    platform::InitFileSystem();
    platform::headless::Reset();
    InitCommonControls();
    // Made before any timing starts.
    Tree();
}

void BM_FolderScanAlone(benchmark::State& state)
{
    SetUpWindowSystem();
    int entries = 0;
    for (auto _ : state)
        entries = ScanOnce();
    state.counters["folders"] = entries;
}
BENCHMARK(BM_FolderScanAlone)->Unit(benchmark::kMillisecond);

void BM_FolderTreeFiller(benchmark::State& state)
{
    SetUpWindowSystem();
    ScanSeconds();
    HWND parent = CreateWindowEx(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, NULL, NULL, NULL, NULL);
    HWND tree = CreateWindowEx(0, WC_TREEVIEW, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 0, 600, 440, parent,
        HMENU(INT_PTR(1)), NULL, NULL);
    CFolderTreeFiller filler(tree, kPattern);
    auto start = Clock::now();
    for (auto _ : state)
        filler.SetRootPath(Tree().windowsRoot.c_str());
    std::chrono::duration<double> elapsed = Clock::now() - start;
    double perIteration = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["folders"] = filler.GetItemCount();
    state.counters["x_scan"] = perIteration / ScanSeconds();
    DestroyWindow(parent);
}
BENCHMARK(BM_FolderTreeFiller)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
