// The scanner over SANE, with its "test" device: the search on the scanner
// thread, the callbacks served on this one, the settings it offers and the
// pages it scans, compared with what scanimage writes for the same options.

#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"
#include "platform/services/Twain.h"
#include "tests/services/SaneTestConfig.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

using SaneConfig = testing_support::SaneTestConfig;

// Serves the scanner's news until `done` holds (or ten seconds pass).
template <typename Done>
bool ServeUntil(Done done)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        platform::TwainServeEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

struct Counter {
    int calls = 0;
    std::thread::id thread;
};

int CountDevice(HWND, void* data)
{
    auto* counter = static_cast<Counter*>(data);
    ++counter->calls;
    counter->thread = std::this_thread::get_id();
    return 1;
}

// Starts a session and waits for its search.
int SearchDevices(Counter& counter)
{
    EXPECT_GE(platform::TwainInit(NULL, &CountDevice, &counter), 1);
    EXPECT_TRUE(ServeUntil([] { return platform::TwainSearchDone(); }));
    return counter.calls;
}

TEST(TwainTest, WithoutADeviceNothingIsSelectedOrAcquired)
{
    // Before any start, and with a configuration that loads no backend.
    EXPECT_EQ(platform::TwainSelectSource(NULL), platform::kTwainNoSource);
    SaneConfig config("", "");
    Counter counter;
    EXPECT_EQ(SearchDevices(counter), 0);
    EXPECT_TRUE(platform::TwainSourceLabels().empty());
    EXPECT_EQ(platform::TwainSelectSource(NULL), platform::kTwainNoSource);
    HGLOBAL dib = reinterpret_cast<HGLOBAL>(1);
    EXPECT_EQ(platform::TwainAcquire(NULL, &dib), platform::kTwainNothingAcquired);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(platform::TwainAcquire(NULL, nullptr), platform::kTwainNothingAcquired);
    // Requests without a device answer at once, as failures.
    bool answered = false;
    platform::TwainRequestSettings([&](bool ok, const platform::TwainSettings&) { answered = !ok; });
    EXPECT_TRUE(answered);
}

TEST(TwainTest, FindsEachDeviceOnceAndReportsItOnTheCallingThread)
{
    SaneConfig config("test\n", "number_of_devices 2\n");
    Counter counter;
    EXPECT_EQ(SearchDevices(counter), 2);
    EXPECT_EQ(counter.thread, std::this_thread::get_id());
    EXPECT_EQ(platform::TwainSourceLabels().size(), 2u);
    // Several devices and no host to offer them in a list: nothing picked.
    EXPECT_EQ(platform::TwainSelectSource(NULL), platform::kTwainNoSource);

    // A second start only registers anew: its callback hears of the
    // devices already found, and the first callback of nothing more.
    Counter again;
    EXPECT_GE(platform::TwainInit(NULL, &CountDevice, &again), 1);
    EXPECT_TRUE(ServeUntil([&] { return again.calls == 2; }));
    EXPECT_EQ(counter.calls, 2);

    // After a shutdown the search reads the configuration afresh.
    platform::TwainShutdown();
    testing_support::WriteFileBytes(SaneConfig::Dir() + "/test.conf", "number_of_devices 1\n");
    Counter single;
    EXPECT_EQ(SearchDevices(single), 1);
    EXPECT_EQ(platform::TwainSelectSource(NULL), 1);
    EXPECT_EQ(platform::TwainSelectedSource(), 0);
}

// ---- Scanned pages against scanimage --------------------------------------

// An image as 8-bit RGB rows, top-down.
struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;
};

// scanimage's PNM: P4 (a set bit is black), P5 and P6 at 8 or 16 bits
// (big-endian samples, of which the high byte is kept).
bool ReadPnm(const std::string& data, Rgb& out)
{
    char kind = 0;
    size_t at = 0;
    std::vector<int> numbers;
    if (data.size() < 2 || data[0] != 'P')
        return false;
    kind = data[1];
    at = 2;
    int wanted = kind == '4' ? 2 : 3;
    while (int(numbers.size()) < wanted && at < data.size()) {
        char c = data[at];
        if (c == '#') {
            while (at < data.size() && data[at] != '\n')
                ++at;
        } else if (c >= '0' && c <= '9') {
            int v = 0;
            while (at < data.size() && data[at] >= '0' && data[at] <= '9')
                v = v * 10 + (data[at++] - '0');
            numbers.push_back(v);
            continue;
        }
        ++at;
    }
    ++at; // the one white-space character after the header
    if (int(numbers.size()) < wanted)
        return false;
    out.width = numbers[0];
    out.height = numbers[1];
    int sampleBytes = kind != '4' && numbers[2] > 255 ? 2 : 1;
    out.bytes.resize(size_t(out.width) * size_t(out.height) * 3);
    const auto* p = reinterpret_cast<const uint8_t*>(data.data()) + at;
    size_t left = data.size() - at;
    size_t rowBytes = kind == '4' ? size_t(out.width + 7) / 8
        : kind == '5'             ? size_t(out.width) * size_t(sampleBytes)
                                  : size_t(out.width) * 3 * size_t(sampleBytes);
    if (left < rowBytes * size_t(out.height))
        return false;
    for (int y = 0; y < out.height; ++y) {
        const uint8_t* row = p + size_t(y) * rowBytes;
        uint8_t* o = out.bytes.data() + size_t(y) * size_t(out.width) * 3;
        for (int x = 0; x < out.width; ++x) {
            if (kind == '4') {
                uint8_t v = (row[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
                o[3 * x] = o[3 * x + 1] = o[3 * x + 2] = v;
            } else if (kind == '5') {
                uint8_t v = row[size_t(x) * size_t(sampleBytes)];
                o[3 * x] = o[3 * x + 1] = o[3 * x + 2] = v;
            } else {
                for (int c = 0; c < 3; ++c)
                    o[3 * x + c] = row[(size_t(x) * 3 + size_t(c)) * size_t(sampleBytes)];
            }
        }
    }
    return true;
}

// A packed DIB of 1, 8 or 24 bits, bottom-up, as the scanner hands it out.
bool ReadPackedDib(HGLOBAL block, Rgb& out, int& bitCount)
{
    const auto* p = static_cast<const uint8_t*>(GlobalLock(block));
    if (!p)
        return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof h);
    bitCount = h.biBitCount;
    out.width = h.biWidth;
    out.height = h.biHeight;
    size_t colors = h.biBitCount <= 8 ? size_t(1) << h.biBitCount : 0;
    const auto* table = reinterpret_cast<const RGBQUAD*>(p + h.biSize);
    const uint8_t* bits = p + h.biSize + colors * sizeof(RGBQUAD);
    size_t stride = ((size_t(out.width) * h.biBitCount + 31) / 32) * 4;
    bool fits = GlobalSize(block) >= h.biSize + colors * sizeof(RGBQUAD) + stride * size_t(out.height);
    out.bytes.assign(size_t(out.width) * size_t(out.height) * 3, 0);
    for (int y = 0; fits && y < out.height; ++y) {
        const uint8_t* row = bits + size_t(out.height - 1 - y) * stride;
        uint8_t* o = out.bytes.data() + size_t(y) * size_t(out.width) * 3;
        for (int x = 0; x < out.width; ++x) {
            RGBQUAD q{};
            if (h.biBitCount == 1)
                q = table[(row[x / 8] >> (7 - x % 8)) & 1];
            else if (h.biBitCount == 8)
                q = table[row[x]];
            else
                q = RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
            o[3 * x] = q.rgbRed;
            o[3 * x + 1] = q.rgbGreen;
            o[3 * x + 2] = q.rgbBlue;
        }
    }
    GlobalUnlock(block);
    return fits;
}

std::string Scanimage(const std::string& options)
{
    std::string out = MakeTempDir("scanimage") + "/page.pnm";
    std::string command = "scanimage -d test:0 " + options + " --format=pnm > '" + out + "' 2> /dev/null";
    if (std::system(command.c_str()) != 0)
        return std::string();
    return ReadFileBytes(out);
}

TEST(TwainTest, ScannedPagesEqualScanimagesOfTheSameOptions)
{
    if (std::system("scanimage --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "scanimage (sane-utils) is not installed";
    struct Case {
        const char* conf; // the test device's starting values
        const char* mode;
        int resolution;
        int bitCount;
    };
    const Case cases[] = {
        {"depth 8\n", "Color", 50, 24},
        {"depth 8\n", "Gray", 75, 8},
        {"depth 16\n", "Color", 40, 24},
        {"depth 1\n", "Gray", 60, 1},
        {"depth 8\nthree-pass true\nthree-pass-order GBR\n", "Color", 30, 24},
        // A page whose height is not known until it ends.
        {"depth 8\nhand-scanner true\n", "Gray", 50, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.conf) + c.mode + " " + std::to_string(c.resolution));
        std::string conf = std::string("number_of_devices 1\ntest-picture \"Color pattern\"\nresolution 50\n") + c.conf;
        SaneConfig config("test\n", conf);
        Counter counter;
        ASSERT_EQ(SearchDevices(counter), 1);
        ASSERT_EQ(platform::TwainSelectSource(NULL), 1);

        bool gotSettings = false;
        platform::TwainSettings settings;
        platform::TwainRequestSettings([&](bool ok, const platform::TwainSettings& s) {
            gotSettings = ok;
            settings = s;
        });
        ASSERT_TRUE(ServeUntil([&] { return gotSettings; }));
        EXPECT_NE(std::find(settings.modes.begin(), settings.modes.end(), "Color"), settings.modes.end());
        EXPECT_NE(std::find(settings.modes.begin(), settings.modes.end(), "Gray"), settings.modes.end());
        EXPECT_NE(std::find(settings.resolutions.begin(), settings.resolutions.end(), 300), settings.resolutions.end());

        bool scanned = false;
        HGLOBAL page = NULL;
        platform::TwainRequestScan(c.mode, c.resolution, [&](HGLOBAL dib) {
            scanned = true;
            page = dib;
        });
        ASSERT_TRUE(ServeUntil([&] { return scanned; }));
        ASSERT_NE(page, nullptr);
        Rgb ours;
        int bitCount = 0;
        ASSERT_TRUE(ReadPackedDib(page, ours, bitCount));
        GlobalFree(page);
        EXPECT_EQ(bitCount, c.bitCount);

        std::string options = std::string("--mode ") + c.mode + " --resolution " + std::to_string(c.resolution);
        Rgb theirs;
        ASSERT_TRUE(ReadPnm(Scanimage(options), theirs));
        ASSERT_EQ(ours.width, theirs.width);
        ASSERT_EQ(ours.height, theirs.height);
        EXPECT_GT(ours.width, 10);
        EXPECT_TRUE(ours.bytes == theirs.bytes);
    }
}

// Runs `body` in a child process of its own, which must end within a
// minute. A scan stopped halfway may leave the test backend's reader dead
// with a lock held (it is stopped wherever it happens to be); the session
// then gives up on its thread, and no later session of that process can
// use the library again. In a child that costs only the child.
template <typename Body>
void InAChildProcess(Body body)
{
    SaneConfig::Dir();
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        body();
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            FAIL() << "the child process hung";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

// Ends the session, which must take a few seconds at most whatever the
// scanner thread is doing.
void ShutdownPromptly()
{
    const auto start = std::chrono::steady_clock::now();
    platform::TwainShutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
}

TEST(TwainTest, ACancelledScanAnswersWithoutAPage)
{
    InAChildProcess([] {
        // Slow reads, so the cancel lands while the page is coming.
        SaneConfig config("test\n",
            "number_of_devices 1\nresolution 300\nread-delay true\nread-delay-duration 20000\nread-limit true\n"
            "read-limit-size 1024\n");
        Counter counter;
        ASSERT_EQ(SearchDevices(counter), 1);
        bool answered = false;
        int answers = 0;
        HGLOBAL page = reinterpret_cast<HGLOBAL>(1);
        platform::TwainRequestScan("Color", 300, [&](HGLOBAL dib) {
            answered = true;
            ++answers;
            page = dib;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        platform::TwainCancelScan();
        // The answer does not wait for the device to stop.
        const auto cancelled = std::chrono::steady_clock::now();
        ASSERT_TRUE(ServeUntil([&] { return answered; }));
        EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::seconds(1));
        EXPECT_EQ(page, nullptr);
        EXPECT_FALSE(platform::TwainServeEvents());
        // Once only, whenever the scanner thread gets round to it.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform::TwainServeEvents();
        EXPECT_EQ(answers, 1);
        ShutdownPromptly();
    });
}

TEST(TwainTest, AFailingDeviceAnswersWithoutAPage)
{
    InAChildProcess([] {
        SaneConfig config("test\n", "number_of_devices 1\nread-status-code \"SANE_STATUS_IO_ERROR\"\n");
        Counter counter;
        ASSERT_EQ(SearchDevices(counter), 1);
        bool answered = false;
        HGLOBAL page = reinterpret_cast<HGLOBAL>(1);
        platform::TwainRequestScan("", 0, [&](HGLOBAL dib) {
            answered = true;
            page = dib;
        });
        ASSERT_TRUE(ServeUntil([&] { return answered; }));
        EXPECT_EQ(page, nullptr);
        ShutdownPromptly();
    });
}

} // namespace
