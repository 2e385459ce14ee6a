// The scanner as the program starts it: the device count, the list of
// scanners and the scan dialog, driven through real messages on the
// headless back end, with SANE's "test" device; the page acquired equals
// scanimage's of the same options.

#include "pictures/PictureEngine.h"
#include "pictures/TwainSource.h"
#include "platform/base/GdiRecords.h"
#include "platform/base/GlobalMemory.h"
#include "platform/services/Twain.h"
#include "resources/Resources.h"
#include "resources/scanner.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/services/SaneTestConfig.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing_support::SaneTestConfig;

constexpr const char* kColourPattern = "number_of_devices 1\ntest-picture \"Color pattern\"\nresolution 50\n";

class TwainSourceTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::TwainShutdown();
        FrameworkTest::TearDown();
    }

    // Runs the message loop until `done` holds (or ten seconds pass).
    template <typename Done>
    static bool PumpUntil(Done done)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            MSG msg;
            while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessage(&msg);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // Starts the scanner as the program does and waits for the search.
    LONG StartAndCount()
    {
        EXPECT_GE(InitTwainSource(), 1);
        // Start-up has not waited: nothing is counted before the loop runs.
        EXPECT_EQ(GetTwainSourceCount(), 0);
        EXPECT_TRUE(PumpUntil([] { return platform::TwainSearchDone(); }));
        return GetTwainSourceCount();
    }

    // A step for the scan dialog: once the device's settings are in, picks
    // the mode and resolution and presses `nButton`.
    static testing_support::DialogStep InScanDialog(std::string mode, std::string resolution, int nButton)
    {
        return [mode, resolution, nButton](HWND hDlg) {
            HWND hScan = ::GetDlgItem(hDlg, IDOK);
            if (testing_support::WindowTitle(hDlg) != "Scan" || !::IsWindowEnabled(hScan))
                return false;
            ::SendDlgItemMessage(hDlg, IDC_SCAN_MODE, CB_SELECTSTRING, WPARAM(-1), LPARAM(mode.c_str()));
            ::SendDlgItemMessage(hDlg, IDC_SCAN_RESOLUTION, CB_SELECTSTRING, WPARAM(-1), LPARAM(resolution.c_str()));
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nButton)));
            return true;
        };
    }
};

// 24-bit rows of a packed bottom-up DIB as top-down RGB bytes.
std::vector<uint8_t> DibRgb(HGLOBAL block, int& width, int& height)
{
    std::vector<uint8_t> rgb;
    const auto* p = static_cast<const uint8_t*>(GlobalLock(block));
    if (!p)
        return rgb;
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof h);
    width = h.biWidth;
    height = h.biHeight;
    if (h.biBitCount == 24 && width > 0 && height > 0) {
        size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
        const uint8_t* bits = p + h.biSize;
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = bits + size_t(height - 1 - y) * stride;
            for (int x = 0; x < width; ++x) {
                rgb.push_back(row[3 * x + 2]);
                rgb.push_back(row[3 * x + 1]);
                rgb.push_back(row[3 * x]);
            }
        }
    }
    GlobalUnlock(block);
    return rgb;
}

// scanimage's colour page: "P6", width, height, 255, then the bytes.
std::vector<uint8_t> ScanimageRgb(const std::string& options, int& width, int& height)
{
    std::string out = testing_support::MakeTempDir("scanimage") + "/page.pnm";
    std::string command = "scanimage -d test:0 " + options + " --format=pnm > '" + out + "' 2> /dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    std::string bytes = testing_support::ReadFileBytes(out);
    // The header may carry a comment line.
    std::string text;
    size_t at = 0;
    int fields = 0;
    int values[3] = {0, 0, 0};
    if (bytes.compare(0, 2, "P6") != 0)
        return {};
    at = 2;
    while (fields < 3 && at < bytes.size()) {
        if (bytes[at] == '#') {
            at = bytes.find('\n', at);
            if (at == std::string::npos)
                return {};
        } else if (bytes[at] >= '0' && bytes[at] <= '9') {
            int v = 0;
            while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9')
                v = v * 10 + (bytes[at++] - '0');
            values[fields++] = v;
            continue;
        }
        ++at;
    }
    ++at;
    width = values[0];
    height = values[1];
    size_t size = size_t(width) * size_t(height) * 3;
    if (values[2] != 255 || bytes.size() < at + size)
        return {};
    return std::vector<uint8_t>(bytes.begin() + ptrdiff_t(at), bytes.begin() + ptrdiff_t(at + size));
}

TEST_F(TwainSourceTest, AcquiresTheTestDevicesPageAsScanimageScansIt)
{
    if (std::system("scanimage --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "scanimage (sane-utils) is not installed";
    SaneTestConfig config("test\n", kColourPattern);
    ASSERT_EQ(StartAndCount(), 1);
    ASSERT_EQ(platform::TwainSelectSource(NULL), 1);

    testing_support::DriveActiveWindow({InScanDialog("Color", "75 dpi", IDOK)});
    HGLOBAL page = NULL;
    ASSERT_EQ(platform::TwainAcquire(NULL, &page), 1);
    ASSERT_NE(page, nullptr);
    int width = 0, height = 0;
    std::vector<uint8_t> ours = DibRgb(page, width, height);
    GlobalFree(page);

    int theirWidth = 0, theirHeight = 0;
    std::vector<uint8_t> theirs = ScanimageRgb("--mode Color --resolution 75", theirWidth, theirHeight);
    ASSERT_FALSE(theirs.empty());
    EXPECT_EQ(width, theirWidth);
    EXPECT_EQ(height, theirHeight);
    EXPECT_GT(width, 100); // 80 mm at 75 dpi
    EXPECT_TRUE(ours == theirs);

    // The engine's road: the selected device, the dialog, a picture of the
    // page's size.
    testing_support::DriveActiveWindow({InScanDialog("Gray", "50 dpi", IDOK)});
    const int nPic = AcquirePic(0);
    ASSERT_GT(nPic, 0);
    int picWidth = 0, picHeight = 0, bits = 0;
    GetPicSize(nPic, &picWidth, &picHeight, &bits);
    EXPECT_EQ(picWidth, 157); // 80 x 100 mm at 50 dpi
    EXPECT_EQ(picHeight, 196);
    EXPECT_EQ(bits, 8);
    ReleasePicHandle(nPic);
}

TEST_F(TwainSourceTest, CancelAcquiresNothing)
{
    SaneTestConfig config("test\n", kColourPattern);
    ASSERT_EQ(StartAndCount(), 1);

    // Cancelled before scanning.
    testing_support::DriveActiveWindow({InScanDialog("Color", "50 dpi", IDCANCEL)});
    HGLOBAL page = reinterpret_cast<HGLOBAL>(1);
    EXPECT_EQ(platform::TwainAcquire(NULL, &page), platform::kTwainNothingAcquired);
    EXPECT_EQ(page, nullptr);

    // Cancelled while a slow page is coming: the dialog ends at once.
    testing_support::WriteFileBytes(SaneTestConfig::Dir() + "/test.conf",
        std::string(kColourPattern) + "read-delay true\nread-delay-duration 20000\nread-limit true\nread-limit-size 512\n");
    platform::TwainShutdown();
    ASSERT_EQ(StartAndCount(), 1);
    bool pressedCancel = false;
    testing_support::DriveActiveWindow({InScanDialog("Color", "300 dpi", IDOK), [&](HWND hDlg) {
                                            if (::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)))
                                                return false;
                                            pressedCancel = true;
                                            return testing_support::PressButton(IDCANCEL)(hDlg);
                                        }});
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(platform::TwainAcquire(NULL, &page), platform::kTwainNothingAcquired);
    EXPECT_TRUE(pressedCancel);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(page, nullptr);
    // The cancelled scan's answer still comes, and is dropped.
    EXPECT_TRUE(PumpUntil([] { return !platform::TwainServeEvents(); }));
}

TEST_F(TwainSourceTest, WithoutAScannerTheCountStaysZeroAndNothingIsSelected)
{
    SaneTestConfig config("", "");
    EXPECT_EQ(StartAndCount(), 0);
    EXPECT_EQ(platform::TwainSelectSource(NULL), platform::kTwainNoSource);
    HGLOBAL page = reinterpret_cast<HGLOBAL>(1);
    EXPECT_EQ(platform::TwainAcquire(NULL, &page), platform::kTwainNothingAcquired);
    EXPECT_EQ(page, nullptr);
    // The engine answers "no source" and keeps no entry.
    const int nBefore = GetPicCount();
    EXPECT_EQ(AcquirePic(0), platform::kTwainNoSource);
    EXPECT_EQ(GetPicCount(), nBefore);
}

TEST_F(TwainSourceTest, SeveralScannersAreOfferedInAList)
{
    SaneTestConfig config("test\n", "number_of_devices 3\n");
    ASSERT_EQ(StartAndCount(), 3);

    auto pick = [](int index, int nButton) -> testing_support::DialogStep {
        return [index, nButton](HWND hDlg) {
            if (testing_support::WindowTitle(hDlg) != "Select Source")
                return false;
            if (::SendDlgItemMessage(hDlg, IDC_SCAN_SOURCE_LIST, LB_GETCOUNT, 0, 0) != 3)
                return false;
            ::SendDlgItemMessage(hDlg, IDC_SCAN_SOURCE_LIST, LB_SETCURSEL, WPARAM(index), 0);
            return testing_support::PressButton(nButton)(hDlg);
        };
    };
    testing_support::DriveActiveWindow({pick(2, IDOK)});
    EXPECT_EQ(platform::TwainSelectSource(NULL), 1);
    EXPECT_EQ(platform::TwainSelectedSource(), 2);
    // Three of one model: each is named by what opens it.
    std::vector<std::string> labels = platform::TwainSourceLabels();
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_NE(labels[2].find("(test:2)"), std::string::npos) << labels[2];
    EXPECT_NE(labels[0], labels[1]);

    testing_support::DriveActiveWindow({pick(0, IDCANCEL)});
    EXPECT_EQ(platform::TwainSelectSource(NULL), platform::kTwainNoSource);
    EXPECT_EQ(platform::TwainSelectedSource(), 2);
}

} // namespace
