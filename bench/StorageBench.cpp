// Compound files: writing and reading a file of 1,000 streams of 1 KB
// through the storage layer (StgCreateDocfile, CreateStream and Commit;
// StgOpenStorage and OpenStream by name), each against the same work done
// with libgsf alone in the same run.
//
// "x_gsf" is the time of one operation divided by the time libgsf alone
// takes for it (the best of a few, taken once): what the layer adds. Both
// read the file the layer wrote. The files live in /dev/shm when there is
// one, so that the disk's flush does not drown what is measured.

#include "platform/base/CodePage.h"
#include "platform/files/FileSystem.h"
#include "platform/storage/Storage.h"

#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>
#include <gsf/gsf.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kStreams = 1000;
constexpr size_t kStreamBytes = 1024;

using Clock = std::chrono::steady_clock;

struct BenchFiles {
    std::string folder;
    std::string gsfPath;  // written by libgsf alone
    std::string ourPath;  // written through the storage layer
    std::u16string ourWindowsPath;
    std::vector<std::string> names;
    std::vector<std::u16string> wideNames;
    std::vector<BYTE> payload;

    BenchFiles()
    {
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/twstoragebench-XXXXXX" : "/tmp/twstoragebench-XXXXXX";
        const char* made = mkdtemp(pattern.data());
        folder = made != nullptr ? made : "/tmp/twstoragebench";
        gsfPath = folder + "/gsf.cfb";
        ourPath = folder + "/ours.cfb";
        std::string windows = "C:" + ourPath;
        std::replace(windows.begin(), windows.end(), '/', '\\');
        ourWindowsPath = platform::Utf16From1252(windows);
        // Names of several lengths and cases, as a design's elements have.
        for (int i = 0; i < kStreams; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, i % 2 ? "Stream %d" : "surface PREVIEW%d", i);
            names.push_back(name);
            wideNames.push_back(platform::Utf16From1252(name));
        }
        payload.resize(kStreamBytes);
        for (size_t i = 0; i < payload.size(); ++i)
            payload[i] = BYTE(i * 31 + 7);
    }
    ~BenchFiles()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

const BenchFiles& Files()
{
    static const BenchFiles files;
    return files;
}

void SetUp()
{
    platform::InitFileSystem();
    gsf_init();
    Files();
}

bool WriteWithGsf()
{
    const BenchFiles& files = Files();
    GsfOutput* sink = gsf_output_stdio_new(files.gsfPath.c_str(), nullptr);
    if (!sink)
        return false;
    GsfOutfile* outfile = gsf_outfile_msole_new_full(sink, 512, 64);
    g_object_unref(sink);
    bool ok = outfile != nullptr;
    for (int i = 0; ok && i < kStreams; ++i) {
        GsfOutput* stream = gsf_outfile_new_child(outfile, files.names[i].c_str(), FALSE);
        ok = stream && gsf_output_write(stream, files.payload.size(), files.payload.data());
        if (stream) {
            ok = gsf_output_close(stream) && ok;
            g_object_unref(stream);
        }
    }
    if (outfile) {
        ok = gsf_output_close(GSF_OUTPUT(outfile)) && ok;
        g_object_unref(outfile);
    }
    return ok;
}

bool WriteWithStorage()
{
    const BenchFiles& files = Files();
    IStorage* root = nullptr;
    constexpr DWORD kCreate = STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_DENY_WRITE | STGM_WRITE;
    if (StgCreateDocfile(files.ourWindowsPath.c_str(), kCreate, 0, &root) != S_OK)
        return false;
    bool ok = true;
    for (int i = 0; ok && i < kStreams; ++i) {
        IStream* stream = nullptr;
        ok = root->CreateStream(files.wideNames[i].c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                 &stream)
            == S_OK;
        if (stream) {
            ok = stream->Write(files.payload.data(), ULONG(files.payload.size()), nullptr) == S_OK && ok;
            stream->Release();
        }
    }
    ok = ok && root->Commit(STGC_DEFAULT) == S_OK;
    root->Release();
    return ok;
}

size_t ReadWithGsf()
{
    const BenchFiles& files = Files();
    GsfInput* input = gsf_input_stdio_new(files.ourPath.c_str(), nullptr);
    if (!input)
        return 0;
    GsfInfile* infile = gsf_infile_msole_new(input, nullptr);
    g_object_unref(input);
    if (!infile)
        return 0;
    size_t total = 0;
    std::vector<guint8> buffer(kStreamBytes);
    const int count = gsf_infile_num_children(infile);
    for (int i = 0; i < count; ++i) {
        GsfInput* stream = gsf_infile_child_by_index(infile, i);
        if (!stream)
            continue;
        const gsf_off_t size = gsf_input_size(stream);
        if (size == gsf_off_t(buffer.size()) && gsf_input_read(stream, buffer.size(), buffer.data()))
            total += buffer.size();
        g_object_unref(stream);
    }
    g_object_unref(infile);
    return total;
}

size_t ReadWithStorage()
{
    const BenchFiles& files = Files();
    IStorage* root = nullptr;
    if (StgOpenStorage(files.ourWindowsPath.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &root)
        != S_OK)
        return 0;
    size_t total = 0;
    std::vector<BYTE> buffer(kStreamBytes);
    for (int i = 0; i < kStreams; ++i) {
        IStream* stream = nullptr;
        if (root->OpenStream(files.wideNames[i].c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream) != S_OK)
            continue;
        ULONG got = 0;
        if (stream->Read(buffer.data(), ULONG(buffer.size()), &got) == S_OK)
            total += got;
        stream->Release();
    }
    root->Release();
    return total;
}

double GsfWriteSeconds()
{
    static const double seconds = bench::BestSeconds(WriteWithGsf);
    return seconds;
}

double GsfReadSeconds()
{
    static const double seconds = [] {
        WriteWithStorage();
        return bench::BestSeconds(ReadWithGsf);
    }();
    return seconds;
}

void Report(benchmark::State& state, Clock::time_point start, double baseline)
{
    std::chrono::duration<double> elapsed = Clock::now() - start;
    double perIteration = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_gsf"] = perIteration / baseline;
    state.SetBytesProcessed(int64_t(state.iterations()) * kStreams * int64_t(kStreamBytes));
}

void BM_GsfWrite(benchmark::State& state)
{
    SetUp();
    for (auto _ : state) {
        if (!WriteWithGsf())
            state.SkipWithError("libgsf could not write the file");
    }
}
BENCHMARK(BM_GsfWrite)->Unit(benchmark::kMillisecond);

void BM_StorageWrite(benchmark::State& state)
{
    SetUp();
    const double baseline = GsfWriteSeconds();
    auto start = Clock::now();
    for (auto _ : state) {
        if (!WriteWithStorage())
            state.SkipWithError("the storage layer could not write the file");
    }
    Report(state, start, baseline);
}
BENCHMARK(BM_StorageWrite)->Unit(benchmark::kMillisecond);

void BM_GsfRead(benchmark::State& state)
{
    SetUp();
    WriteWithStorage();
    for (auto _ : state) {
        if (ReadWithGsf() != kStreams * kStreamBytes)
            state.SkipWithError("libgsf could not read the file");
    }
}
BENCHMARK(BM_GsfRead)->Unit(benchmark::kMillisecond);

void BM_StorageRead(benchmark::State& state)
{
    SetUp();
    const double baseline = GsfReadSeconds();
    WriteWithStorage();
    auto start = Clock::now();
    for (auto _ : state) {
        if (ReadWithStorage() != kStreams * kStreamBytes)
            state.SkipWithError("the storage layer could not read the file");
    }
    Report(state, start, baseline);
}
BENCHMARK(BM_StorageRead)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
