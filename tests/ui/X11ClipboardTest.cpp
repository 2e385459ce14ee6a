// The desktop clipboard on a real X server (a private Xvfb), with xclip as
// the other program: what the program copies is read by xclip, and what
// xclip offers arrives in the program's clipboard.

#include "platform/base/GlobalMemory.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/ClipboardPicture.h"
#include "platform/ui/internal/ClipboardStore.h"
#include "platform/ui/internal/Driver.h"
#include "tests/support/TestData.h"
#include "tests/support/TestHome.h"
#include "tests/ui/ClipboardPictureSupport.h"
#include "tests/ui/UiTestSupport.h"

#include <SDL2/SDL.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace cliptest;

namespace {

bool OnPath(const char* program)
{
    const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Starts a program with its output on a pipe (or /dev/null); -1 on failure.
pid_t Spawn(const std::vector<std::string>& args, int* output)
{
    int fds[2] = {-1, -1};
    if (output && pipe(fds) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        // A test program that dies takes its helpers with it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(output ? fds[1] : null, 1);
        dup2(null, 2);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (output) {
        close(fds[1]);
        *output = fds[0];
    }
    return pid;
}

void Stop(pid_t& pid)
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

class X11ClipboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!OnPath("Xvfb") || !OnPath("xclip")) {
            s_missing = "Xvfb or xclip is not installed";
            return;
        }
        // Xvfb picks a free display number itself and writes it to the pipe.
        int fds[2];
        if (pipe(fds) != 0)
            return;
        s_server = fork();
        if (s_server == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(fds[0]);
            int null = open("/dev/null", O_RDWR);
            dup2(null, 1);
            dup2(null, 2);
            std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "320x240x24", "-nolisten", "tcp",
                "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number.push_back(c);
        close(fds[0]);
        if (number.empty()) {
            s_missing = "Xvfb did not start";
            Stop(s_server);
            return;
        }
        s_display = ":" + number;
    }
    static void TearDownTestSuite() { Stop(s_server); }

    void SetUp() override
    {
        if (!s_missing.empty())
            GTEST_SKIP() << s_missing;
        platform::headless::Reset();
        platform::ResetClipboard();
        // The SDL back end on the private server, as the program runs.
        std::string oldDisplay = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
        setenv("DISPLAY", s_display.c_str(), 1);
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_OVERRIDE);
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        std::string error;
        auto driver = platform::CreateSdlDriver(error);
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        if (oldDisplay.empty())
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", oldDisplay.c_str(), 1);
        ASSERT_TRUE(driver) << error;
        platform::SetDriver(std::move(driver));
    }
    void TearDown() override
    {
        Stop(m_xclip);
        platform::ResetClipboard();
        platform::headless::Reset();
    }

    // Runs xclip reading the selection while the back end answers its
    // requests from the loop, as it does while the program waits.
    std::string XclipOutput(const std::vector<std::string>& options)
    {
        std::vector<std::string> args{"xclip", "-display", s_display, "-selection", "clipboard"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("-o");
        int out = -1;
        pid_t pid = Spawn(args, &out);
        std::string bytes;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (;;) {
            platform::GetDriver().PollEvents();
            pollfd fds[1] = {{out, POLLIN, 0}};
            if (poll(fds, 1, 10) > 0 && (fds[0].revents & (POLLIN | POLLHUP))) {
                char chunk[65536];
                ssize_t n = read(out, chunk, sizeof chunk);
                if (n <= 0)
                    break;
                bytes.append(chunk, size_t(n));
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "xclip did not finish";
                break;
            }
        }
        close(out);
        Stop(pid);
        return bytes;
    }

    // xclip takes the selection with a file's bytes as `type` and serves it
    // until stopped.
    void XclipOffers(const std::string& type, const std::string& path)
    {
        Stop(m_xclip);
        m_xclip = Spawn({"xclip", "-quiet", "-display", s_display, "-selection", "clipboard", "-t", type, "-i", path},
            nullptr);
        ASSERT_GT(m_xclip, 0);
    }

    // Waits until the clipboard shows the format (xclip needs a moment to
    // take the selection).
    static bool Arrives(UINT format)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            if (IsClipboardFormatAvailable(format))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    static void Copy(HBITMAP bitmap, const char* text)
    {
        ASSERT_TRUE(OpenClipboard(NULL));
        EmptyClipboard();
        if (text) {
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
            std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
            GlobalUnlock(block);
            SetClipboardData(CF_TEXT, block);
        }
        if (bitmap)
            SetClipboardData(CF_BITMAP, bitmap);
        CloseClipboard();
    }

    static inline std::string s_missing;
    static inline std::string s_display;
    static inline pid_t s_server = -1;
    pid_t m_xclip = -1;
};

// Noise does not compress: its PNG is larger than one X request and has to
// go incrementally.
Rgb Noise(int width, int height)
{
    Rgb p{width, height, std::vector<unsigned char>(size_t(width) * size_t(height) * 3)};
    std::mt19937 random(25);
    for (unsigned char& b : p.bytes)
        b = static_cast<unsigned char>(random());
    return p;
}

TEST_F(X11ClipboardTest, CopyOffersTargetsTextAndPngEqualToTheBitmap)
{
    Rgb picture = Noise(640, 400);
    Copy(BitmapOf(picture), "caf\xe9 line\r\nnext");

    std::string targets = XclipOutput({"-t", "TARGETS"});
    EXPECT_NE(targets.find("image/png"), std::string::npos) << targets;
    EXPECT_NE(targets.find("UTF8_STRING"), std::string::npos) << targets;
    EXPECT_EQ(XclipOutput({"-t", "UTF8_STRING"}), "caf\xc3\xa9 line\nnext");
    EXPECT_EQ(XclipOutput({"-t", "STRING"}), "caf\xe9 line\nnext");

    std::string png = XclipOutput({"-t", "image/png"});
    ASSERT_GT(png.size(), size_t(256 * 1024)) << "the transfer was meant to be incremental";
    Rgb read = MagickRgb(WriteTemp(std::vector<unsigned char>(png.begin(), png.end()), "x11-copy.png"));
    EXPECT_EQ(read.width, 640);
    EXPECT_EQ(read.height, 400);
    EXPECT_TRUE(read.bytes == picture.bytes);

    // A picture copied without text offers no text at all.
    Copy(BitmapOf(Noise(8, 8)), nullptr);
    targets = XclipOutput({"-t", "TARGETS"});
    EXPECT_NE(targets.find("image/png"), std::string::npos) << targets;
    EXPECT_EQ(targets.find("UTF8_STRING"), std::string::npos) << targets;
    EXPECT_EQ(targets.find("STRING"), std::string::npos) << targets;
}

TEST_F(X11ClipboardTest, PicturesXclipOffersArriveAsDibAndBitmap)
{
    REQUIRE_TESTDATA();
    struct Case {
        const char* type;
        const char* file;
        int tolerance;
    };
    const Case cases[] = {
        {"image/png", "samepicture/bin-wx3.2-examples__horse.png", 0},
        {"image/png", "tga/bin-gdk-pixbuf-tests__gtk-logo.ref.png", 1},
        // Larger than one request: xclip sends it incrementally.
        {"image/jpeg", "jpeg/bin-librust-jpeg-decoder-dev__large_image.jpg", 2},
        {"image/bmp", "bmp/github-haraldk_TwelveMonkeys__blauesglas_24.bmp", 0},
    };
    for (const Case& c : cases) {
        const std::string path = std::string(THREADWICK_TESTDATA_DIR) + "/" + c.file;
        Rgb want = MagickRgb(path);
        // Our own copy first, so that the picture of the case before is gone.
        Copy(NULL, "between");
        XclipOffers(c.type, path);
        ASSERT_TRUE(Arrives(CF_DIB)) << c.file;
        ASSERT_TRUE(OpenClipboard(NULL));
        Rgb fromDib = RgbOfDib(GetClipboardData(CF_DIB));
        Rgb fromBitmap = RgbOfBitmap(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));
        CloseClipboard();
        EXPECT_LE(MaxDifference(fromDib, want), c.tolerance) << c.file;
        EXPECT_LE(MaxDifference(fromBitmap, want), c.tolerance) << c.file;
    }
}

TEST_F(X11ClipboardTest, LargePictureArrivesIncrementally)
{
    // Several megabytes: xclip sends it in chunks.
    Rgb picture = Noise(1200, 1000);
    HBITMAP bitmap = BitmapOf(picture);
    std::vector<unsigned char> png;
    ASSERT_TRUE(ClipboardPngFromBitmap(bitmap, png));
    DeleteObject(bitmap);
    ASSERT_GT(png.size(), size_t(3) << 20);
    Copy(NULL, "before");
    XclipOffers("image/png", WriteTemp(png, "large.png"));
    ASSERT_TRUE(Arrives(CF_BITMAP));
    ASSERT_TRUE(OpenClipboard(NULL));
    Rgb got = RgbOfBitmap(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));
    CloseClipboard();
    EXPECT_EQ(got.width, 1200);
    EXPECT_TRUE(got.bytes == picture.bytes);
}

TEST_F(X11ClipboardTest, DamagedPictureBringsNothingAndTextArrivesAsText)
{
    REQUIRE_TESTDATA();
    std::string good = testing_support::ReadFileBytes(
        std::string(THREADWICK_TESTDATA_DIR) + "/samepicture/bin-wx3.2-examples__horse.png");
    std::vector<unsigned char> damaged(good.begin(), good.begin() + long(good.size() / 3));
    Copy(BitmapOf(Pattern(3, 3)), "ours");
    XclipOffers("image/png", WriteTemp(damaged, "damaged.png"));
    // The store empties when xclip takes over, and no picture comes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (IsClipboardFormatAvailable(CF_BITMAP) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_TRUE(ClipboardDesktopPictureRefused());

    const std::vector<unsigned char> text{'d', 'e', 's', 'k', 't', 'o', 'p', '\n', 0xC3, 0xA9};
    XclipOffers("UTF8_STRING", WriteTemp(text, "text.txt"));
    ASSERT_TRUE(Arrives(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(NULL));
    HANDLE block = GetClipboardData(CF_TEXT);
    std::string got = block ? static_cast<const char*>(GlobalLock(block)) : "";
    if (block)
        GlobalUnlock(block);
    EXPECT_FALSE(GetClipboardData(CF_DIB));
    CloseClipboard();
    EXPECT_EQ(got, "desktop\r\n\xe9");
}

} // namespace
