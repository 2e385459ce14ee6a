// The surface background the preferences choose: the shared painter's
// colour, pattern and tiles in memory bitmaps, its picture files (good, bad
// and the same one again), and the workspace round the page of a real
// design view, at start-up from the stored choice and after a change.

#include "MainFrameTestSupport.h"

#include "app/main/PrefBackground.h"
#include "assist/LauncherDlg.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "surface/Surface.h"
#include "surface/SurfaceBackground.h"
#include "tests/support/MemoryCanvas.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using mainframetest::MainFrameTest;

// A w x h bitmap whose pixel (x, y) is Colour(x, y), as a device bitmap.
COLORREF Colour(int x, int y)
{
    return RGB(x * 3, y * 20, 100);
}

HBITMAP MakeBitmap(int w, int h)
{
    CClientDC screen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(screen.GetSafeHdc(), w, h);
    HGDIOBJ hOld = ::SelectObject(dc.GetSafeHdc(), hBitmap);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            dc.SetPixel(x, y, Colour(x, y));
    }
    ::SelectObject(dc.GetSafeHdc(), hOld);
    return hBitmap;
}

// A 24-bit BMP file of w x h pixels of one colour.
std::string BmpBytes(int w, int h, COLORREF cr)
{
    const int rowBytes = (w * 3 + 3) & ~3;
    const uint32_t dataSize = uint32_t(rowBytes * h);
    std::string out;
    auto put = [&out](uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out.push_back(char((v >> (8 * i)) & 0xFF));
    };
    out += "BM";
    put(54 + dataSize, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(uint32_t(w), 4);
    put(uint32_t(h), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(dataSize, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            out.push_back(char(GetBValue(cr)));
            out.push_back(char(GetGValue(cr)));
            out.push_back(char(GetRValue(cr)));
        }
        out.append(size_t(rowBytes - w * 3), '\0');
    }
    return out;
}

using Canvas = testing_support::MemoryCanvas;

class PrefBackgroundTest : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        g_surfaceBackground.Reset();
    }
    void TearDown() override
    {
        g_surfaceBackground.Reset();
        MainFrameTest::TearDown();
    }

    CString PictureFile(const std::string& name, const std::string& bytes) { return ProgramFile(name, bytes); }

    // A blank general design in its own window, its view.
    CSurface* OpenBlankDesign()
    {
        g_bSignedIn = TRUE;
        Drive({
            [](HWND hActive) {
                if (dynamic_cast<CLauncherDlg*>(CWnd::FromHandlePermanent(hActive)) == nullptr)
                    return false;
                ::SendDlgItemMessage(hActive, IDC_LAUNCH_KINDS, LB_SETCURSEL, 5, 0);
                ::CheckRadioButton(hActive, IDC_LAUNCH_PREDESIGNED, IDC_LAUNCH_WIZARD, IDC_LAUNCH_BLANK);
                ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return true;
            },
            [](HWND hActive) {
                char text[64] = {};
                ::GetWindowText(hActive, text, sizeof text);
                if (std::string(text) != "Page Setup")
                    return false;
                ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return true;
            },
        });
        m_app->OnFileNew();
        AfxPumpMessagesUntilIdle();
        platform::headless::SetIdleHandler(nullptr);
        CFrameWnd* pChild = GetMainFrame()->GetActiveFrame();
        return pChild != nullptr ? dynamic_cast<CSurface*>(pChild->GetActiveView()) : nullptr;
    }

    // The colour of the workspace in the view's top-left corner.
    static COLORREF Workspace(CSurface* pView)
    {
        pView->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        return platform::headless::WindowPixel(pView->m_hWnd, 2, 2) & 0xFFFFFF;
    }
};

TEST_F(PrefBackgroundTest, ColourFillsTheAreaAndNothingBeyondIt)
{
    Canvas canvas(40, 30);
    g_surfaceBackground.SetColor(RGB(200, 10, 10));
    const RECT area{5, 5, 20, 15};
    g_surfaceBackground.Paint(canvas.DC(), nullptr, &area);
    EXPECT_EQ(canvas.At(5, 5), RGB(200, 10, 10));
    EXPECT_EQ(canvas.At(19, 14), RGB(200, 10, 10));
    EXPECT_EQ(canvas.At(20, 14), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(4, 5), RGB(1, 2, 3));
}

TEST_F(PrefBackgroundTest, EightByEightIsAPatternAndOtherSizesAreTiledFromTheOrigin)
{
    struct Case {
        int w, h;
        WORD wFlags;
    };
    const Case cases[] = {{8, 8, CSurfaceBackground::kPattern}, {7, 8, CSurfaceBackground::kTiled},
        {8, 9, CSurfaceBackground::kTiled}, {10, 10, CSurfaceBackground::kTiled}, {1, 1, CSurfaceBackground::kTiled},
        {70, 3, CSurfaceBackground::kTiled}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << " x " << c.h);
        g_surfaceBackground.SetBitmap(MakeBitmap(c.w, c.h));
        EXPECT_EQ(g_surfaceBackground.GetFlags(), c.wFlags);
        EXPECT_EQ(g_surfaceBackground.GetBitmapSize().cx, c.w);
        EXPECT_EQ(g_surfaceBackground.GetBitmapSize().cy, c.h);

        // The whole area at once, and the same area in two parts: the
        // pattern runs on across the seam either way.
        const POINT origin{3, 2};
        Canvas whole(50, 40);
        const RECT all{0, 0, 50, 40};
        g_surfaceBackground.Paint(whole.DC(), &origin, &all);
        Canvas parts(50, 40);
        const RECT left{0, 0, 23, 40};
        const RECT right{23, 0, 50, 40};
        g_surfaceBackground.Paint(parts.DC(), &origin, &left);
        g_surfaceBackground.Paint(parts.DC(), &origin, &right);
        for (int y = 0; y < 40; y += 3) {
            for (int x = 0; x < 50; x += 3) {
                const int tx = ((x - origin.x) % c.w + c.w) % c.w;
                const int ty = ((y - origin.y) % c.h + c.h) % c.h;
                ASSERT_EQ(whole.At(x, y), Colour(tx, ty)) << x << ", " << y;
                ASSERT_EQ(parts.At(x, y), whole.At(x, y)) << x << ", " << y;
            }
        }
    }
    g_surfaceBackground.SetBitmap(NULL);
    EXPECT_EQ(g_surfaceBackground.GetFlags(), CSurfaceBackground::kColorOnly);
    EXPECT_EQ(g_surfaceBackground.GetBitmapSize().cx, 0);
}

TEST_F(PrefBackgroundTest, PictureFilesLoadOnceAndBadOnesLeaveTheColour)
{
    const CString strGood = PictureFile("back.bmp", BmpBytes(12, 6, RGB(0, 128, 255)));
    g_surfaceBackground.SetColor(RGB(9, 9, 9));
    EXPECT_TRUE(ApplyBackgroundImage(strGood));
    EXPECT_EQ(g_surfaceBackground.GetFlags(), CSurfaceBackground::kTiled);
    EXPECT_EQ(g_surfaceBackground.GetBitmapSize().cx, 12);
    EXPECT_EQ(g_surfaceBackground.GetBitmapSize().cy, 6);
    Canvas canvas(30, 20);
    g_surfaceBackground.Paint(canvas.DC(), nullptr, nullptr);
    EXPECT_EQ(canvas.At(25, 15), RGB(0, 128, 255));

    // The same file again is not read again: it may even be gone.
    std::filesystem::remove(m_folder + "/back.bmp");
    EXPECT_TRUE(g_surfaceBackground.SetImageFile(strGood));
    EXPECT_EQ(g_surfaceBackground.GetFlags(), CSurfaceBackground::kTiled);

    const CString strBad = PictureFile("bad.bmp", "BM this is not a bitmap");
    EXPECT_FALSE(ApplyBackgroundImage(strBad));
    EXPECT_EQ(g_surfaceBackground.GetFlags(), CSurfaceBackground::kColorOnly);
    EXPECT_FALSE(g_surfaceBackground.SetImageFile(strGood)) << "gone now";
    EXPECT_FALSE(g_surfaceBackground.SetImageFile(""));
    g_surfaceBackground.Paint(canvas.DC(), nullptr, nullptr);
    EXPECT_EQ(canvas.At(25, 15), RGB(9, 9, 9));
}

TEST_F(PrefBackgroundTest, TheWorkspaceRoundThePageTakesTheStoredAndTheAppliedBackground)
{
    // A profile from an earlier run chose a colour.
    apptest::WriteProfileDword("Preferences", "BkgOpt", 1);
    apptest::WriteProfileDword("Preferences", "BkgClr-R", 0);
    apptest::WriteProfileDword("Preferences", "BkgClr-G", 160);
    apptest::WriteProfileDword("Preferences", "BkgClr-B", 80);
    ASSERT_NE(StartFrame(), nullptr);
    CSurface* pView = OpenBlankDesign();
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(Workspace(pView), RGB(0, 160, 80));

    ApplyBackgroundColor(RGB(250, 0, 250));
    AfxPumpMessagesUntilIdle();
    EXPECT_EQ(Workspace(pView), RGB(250, 0, 250));
    EXPECT_EQ(thePrefs.BkgClr, RGB(250, 0, 250));

    EXPECT_TRUE(ApplyBackgroundImage(PictureFile("tile.bmp", BmpBytes(16, 16, RGB(30, 60, 90)))));
    AfxPumpMessagesUntilIdle();
    EXPECT_EQ(Workspace(pView), RGB(30, 60, 90));
}

} // namespace
