// Start-up: the time from starting a process to the first presented frame
// of the program's main window on the headless back end, and the process's
// peak resident memory at that moment.
//
// Every run starts this program again as a probe (--probe <fd>): the probe
// brings the platform up and runs the application object exactly as the
// program's main() does, with an isolated home folder. When the main
// window's first frame is presented it writes its peak memory to the pipe
// and ends; the parent times from before the spawn to that report, so
// loading the program and its libraries counts too.
//
// "first start" runs in a new home folder (no profile: the first-run path);
// "later start" in a home folder a previous run has set up.

#include "app/main/ProgramMain.h"
#include "platform/framework/Afx.h"
#include "platform/ui/Headless.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Peak resident memory of this process, in KiB, from /proc.
long PeakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

int RunProbe(int reportFd)
{
    // A probe that never gets its window on screen must not hang the run.
    alarm(60);
    platform::headless::SetPresentHandler([reportFd](HWND hwnd) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain == nullptr || pMain->m_hWnd != hwnd)
            return;
        std::string report = std::to_string(PeakResidentKiB()) + "\n";
        ssize_t written = write(reportFd, report.data(), report.size());
        (void)written;
        _exit(0); // the figures are taken; nothing of the run needs tearing down
    });
    char name[] = "threadwick";
    char* argv[] = {name, nullptr};
    StartPlatform(1, argv);
    return RunDesignerApp();
}

struct ProbeResult {
    double seconds = 0;
    long peakKiB = -1;
};

// Runs one probe in `home`; false when it ended without reporting.
bool RunOnce(const std::string& home, ProbeResult& result)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;

    std::string fdText = std::to_string(fds[1]);
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "THREADWICK_", 11) != 0 && std::strncmp(*e, "DISPLAY=", 8) != 0
            && std::strncmp(*e, "WAYLAND_DISPLAY=", 16) != 0)
            env.emplace_back(*e);
    }
    env.push_back("THREADWICK_HOME=" + home);
    env.push_back("THREADWICK_BACKEND=headless");
    std::vector<char*> envp;
    for (std::string& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string probeFlag = "--probe";
    std::vector<char*> argv = {self.data(), probeFlag.data(), fdText.data(), nullptr};

    // Only the write end survives the exec.
    fcntl(fds[1], F_SETFD, 0);

    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int rc = posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), envp.data());
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return false;
    }

    std::string report;
    char buffer[64];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
        report.append(buffer, size_t(n));
        if (report.find('\n') != std::string::npos)
            break;
    }
    auto end = std::chrono::steady_clock::now();
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (report.find('\n') == std::string::npos)
        return false;
    result.seconds = std::chrono::duration<double>(end - start).count();
    result.peakKiB = std::strtol(report.c_str(), nullptr, 10);
    return true;
}

std::string MakeHome()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tw-startup-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return std::string();
    return pattern;
}

void BM_StartUp(benchmark::State& state, bool firstStart)
{
    std::string home;
    if (!firstStart) {
        home = MakeHome();
        ProbeResult ignored;
        if (home.empty() || !RunOnce(home, ignored)) {
            state.SkipWithError("the probe did not start");
            return;
        }
    }
    long peak = 0;
    for (auto _ : state) {
        if (firstStart) {
            state.PauseTiming();
            if (!home.empty())
                std::filesystem::remove_all(home);
            home = MakeHome();
            state.ResumeTiming();
        }
        ProbeResult result;
        if (home.empty() || !RunOnce(home, result)) {
            state.SkipWithError("the probe ended without reaching its main window");
            break;
        }
        state.SetIterationTime(result.seconds);
        peak = std::max(peak, result.peakKiB);
    }
    state.counters["peak_MiB"] = double(peak) / 1024.0;
    if (!home.empty())
        std::filesystem::remove_all(home);
}

BENCHMARK_CAPTURE(BM_StartUp, first_start, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_CAPTURE(BM_StartUp, later_start, false)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--probe") == 0)
        return RunProbe(std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
