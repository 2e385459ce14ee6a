// Picture Studio's parameter dialogs run through RunEffectParamDialog over a
// stand-in for Studio that records the previews it is sent: what each
// dialog starts with, when it sends a preview, its keys, and the answer it
// gives on OK with out-of-bounds values replaced.

#include "pictures/EffectParamDlgClasses.h"
#include "pictures/EffectParamDlgs.h"
#include "platform/gdi/Display.h"
#include "platform/ui/CommCtrl.h"
#include "resources/resource.h"
#include "tests/pictures/PickerTestSupport.h"
#include "tests/support/PictureButtonFit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::Click;
using testing_support::DialogStep;
using testing_support::DriveActiveWindow;
using testing_support::ItemText;
using testing_support::WindowTitle;

struct Notice {
    int nFirst;
    int nSecond;
    std::string text;
    bool operator==(const Notice&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Notice& n)
{
    return os << "{" << n.nFirst << ", 0x" << std::hex << n.nSecond << std::dec << ", \"" << n.text << "\"}";
}

// Studio as the dialogs see it: the active window, with its preview group
// (control 589), hearing WM_EFFECT_PREVIEW.
class CStudioStandIn : public CWnd {
public:
    std::vector<Notice> m_notices;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_EFFECT_PREVIEW) {
            const auto* pNotice = reinterpret_cast<const EffectPreviewNotice*>(lParam);
            m_notices.push_back({pNotice->nFirst, pNotice->nSecond, std::string(pNotice->strText)});
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

struct Answer {
    int nResult = -1;
    int nFirst = -1;
    int nSecond = -1;
    std::string text;
};

class EffectParamDlgsTest : public pickertest::PickerTest {
protected:
    void SetUp() override
    {
        PickerTest::SetUp();
        ASSERT_TRUE(m_studio.CreateEx(0, AfxDefaultWndClass(), "Picture Studio", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
            100, 80, 640, 480, NULL, NULL));
        ASSERT_TRUE(m_frame.Create("", WS_CHILD | WS_VISIBLE, CRect(300, 20, 600, 300), &m_studio,
            IDC_EFX_STUDIO_FRAME));
        ::SetActiveWindow(m_studio.m_hWnd);
    }
    void TearDown() override
    {
        platform::SetScreenBitsPixel(0);
        platform::headless::SetIdleHandler(nullptr);
        if (m_studio.m_hWnd != NULL)
            m_studio.DestroyWindow();
        PickerTest::TearDown();
    }

    // A step on the parameter dialog once it is up.
    DialogStep OnDialog(std::function<void(HWND)> action)
    {
        return [this, action](HWND hActive) {
            if (hActive == m_studio.m_hWnd || ::GetWindow(hActive, GW_OWNER) != m_studio.m_hWnd)
                return false;
            action(hActive);
            return true;
        };
    }

    Answer Run(int nEntry, std::vector<DialogStep> steps, int nWidth = 64, int nHeight = 48, int nBits = 24)
    {
        DriveActiveWindow(std::move(steps));
        Answer answer;
        int nFirst = -1;
        int nSecond = -1;
        CString strText = "left over";
        answer.nResult = RunEffectParamDialog(nEntry, nWidth, nHeight, nBits, nFirst, nSecond, strText);
        answer.nFirst = nFirst;
        answer.nSecond = nSecond;
        answer.text = strText;
        return answer;
    }

    static void Type(HWND hDlg, int nID, const char* pszText) { ::SetDlgItemText(hDlg, nID, pszText); }
    static int SliderPos(HWND hDlg, int nID)
    {
        return static_cast<int>(::SendDlgItemMessage(hDlg, nID, TBM_GETPOS, 0, 0));
    }
    static bool Checked(HWND hDlg, int nID) { return ::IsDlgButtonChecked(hDlg, nID) == BST_CHECKED; }
    static bool Enabled(HWND hDlg, int nID) { return ::IsWindowEnabled(::GetDlgItem(hDlg, nID)) != FALSE; }
    static bool Visible(HWND hDlg, int nID) { return ::IsWindowVisible(::GetDlgItem(hDlg, nID)) != FALSE; }
    static void Choose(HWND hDlg, int nFirst, int nLast, int nID)
    {
        ::CheckRadioButton(hDlg, nFirst, nLast, nID);
        Click(hDlg, nID);
    }

    CStudioStandIn m_studio;
    CStatic m_frame;
};

} // namespace

// What OK answers, whatever was typed: values outside what the effect takes
// are replaced by its neutral value, even where the slider reaches them.
TEST_F(EffectParamDlgsTest, OkReplacesValuesTheEffectDoesNotTake)
{
    struct Case {
        int nEntry;
        const char* pszFirst;
        const char* pszSecond; // null: a one-value dialog
        int nFirst;
        int nSecond;
    };
    const Case cases[] = {
        {10, "500", nullptr, 100, 0},    // gamma: the slider goes to 501, the effect to 499
        {10, "499", nullptr, 499, 0},
        {17, "65", nullptr, 2, 0},       // mosaic
        {17, "64", nullptr, 64, 0},      // past the slider, still taken
        {12, "-360", nullptr, 0, 0},     // halftone print
        {13, "-359", nullptr, -359, 0},  // halftone view
        {22, "101", nullptr, 0, 0},      // sharpen
        {1, "blur", nullptr, 3, 0},      // not a number: the neutral value
        {14, "360", "50", 0, 50},        // hue, saturation
        {14, "-359", "-101", -359, 0},
        {2, "-100", "100", -100, 100},   // brightness, contrast
        {2, "", "300", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "entry " << c.nEntry << " " << c.pszFirst);
        const Answer answer = Run(c.nEntry, {OnDialog([&](HWND hDlg) {
            Type(hDlg, IDC_EFX_EDIT, c.pszFirst);
            if (c.pszSecond != nullptr)
                Type(hDlg, IDC_EFX_EDIT2, c.pszSecond);
            Click(hDlg, IDOK);
        })});
        EXPECT_EQ(answer.nResult, 1);
        EXPECT_EQ(answer.nFirst, c.nFirst);
        EXPECT_EQ(answer.nSecond, c.nSecond);
        EXPECT_EQ(answer.text, "");
    }
}

TEST_F(EffectParamDlgsTest, BlurClosedUntouchedAnswersItsStartAndSendsNoPreview)
{
    std::string caption;
    std::string label;
    std::string shown;
    std::string clashes;
    CRect dialog;
    const Answer answer = Run(1, {OnDialog([&](HWND hDlg) {
        caption = WindowTitle(hDlg);
        label = ItemText(hDlg, IDC_EFX_GROUP);
        shown = ItemText(hDlg, IDC_EFX_EDIT);
        clashes = testing_support::PictureButtonClashes(hDlg);
        ::GetWindowRect(hDlg, &dialog);
        Click(hDlg, IDOK);
    })});
    EXPECT_EQ(answer.nResult, 1);
    EXPECT_EQ(answer.nFirst, 3);
    EXPECT_EQ(caption, "Blur");
    EXPECT_EQ(label, "&Sample Size");
    EXPECT_EQ(shown, "3");
    EXPECT_EQ(clashes, "");
    EXPECT_TRUE(m_studio.m_notices.empty());
    // The dialog sits over Studio's preview group.
    CRect frame;
    m_frame.GetWindowRect(&frame);
    EXPECT_EQ(dialog.TopLeft(), frame.TopLeft());
}

TEST_F(EffectParamDlgsTest, CancelAndEntriesWithoutADialogAnswerZero)
{
    const Answer cancelled = Run(10, {OnDialog([](HWND hDlg) {
        Type(hDlg, IDC_EFX_EDIT, "250");
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_EQ(cancelled.nResult, 0);
    EXPECT_EQ(cancelled.nFirst, 0);
    EXPECT_EQ(cancelled.text, "");
    // The preview went out; Studio drops it with the trial picture.
    EXPECT_EQ(m_studio.m_notices, (std::vector<Notice>{{250, 0, ""}}));

    for (int nEntry : {4, 6, 21, 25, 26, 28, 29, -1}) {
        const Answer none = Run(nEntry, {});
        EXPECT_EQ(none.nResult, 0) << nEntry;
        EXPECT_EQ(none.nFirst, 0) << nEntry;
    }
}

// Typing sends the value when the slider's range holds it; the slider
// follows the edit and the edit follows the slider, one preview per move.
TEST_F(EffectParamDlgsTest, OneValuePreviewsFollowTheEditAndTheSlider)
{
    int nSliderAt20 = 0;
    std::string shownAfterSlide;
    Run(16, {OnDialog([&](HWND hDlg) {
        Type(hDlg, IDC_EFX_EDIT, "7");
        Type(hDlg, IDC_EFX_EDIT, "20");
        nSliderAt20 = SliderPos(hDlg, IDC_EFX_SLIDER);
        HWND hSlider = ::GetDlgItem(hDlg, IDC_EFX_SLIDER);
        ::SendDlgItemMessage(hDlg, IDC_EFX_SLIDER, TBM_SETPOS, TRUE, 5);
        ::SendMessage(hDlg, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 5), LPARAM(hSlider));
        ::SendMessage(hDlg, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), LPARAM(hSlider));
        shownAfterSlide = ItemText(hDlg, IDC_EFX_EDIT);
        Click(hDlg, IDCANCEL);
    })});
    EXPECT_EQ(nSliderAt20, 13);
    EXPECT_EQ(shownAfterSlide, "5");
    EXPECT_EQ(m_studio.m_notices, (std::vector<Notice>{{7, 0, ""}, {5, 0, ""}}));
}

TEST_F(EffectParamDlgsTest, ShearShowsItsCheckBoxAndMosaicKeepsItOnOutOfSight)
{
    bool bShearShows = false;
    const Answer shear = Run(23, {OnDialog([&](HWND hDlg) {
        bShearShows = Visible(hDlg, IDC_EFX_CHECK);
        ::CheckDlgButton(hDlg, IDC_EFX_CHECK, BST_CHECKED);
        Click(hDlg, IDC_EFX_CHECK);
        Type(hDlg, IDC_EFX_EDIT, "-45");
        Click(hDlg, IDOK);
    })});
    EXPECT_TRUE(bShearShows);
    EXPECT_EQ(shear.nFirst, -45);
    EXPECT_EQ(shear.nSecond, 1);
    EXPECT_EQ(m_studio.m_notices, (std::vector<Notice>{{0, 1, ""}, {-45, 1, ""}}));

    m_studio.m_notices.clear();
    bool bMosaicShows = true;
    const Answer mosaic = Run(17, {OnDialog([&](HWND hDlg) {
        bMosaicShows = Visible(hDlg, IDC_EFX_CHECK);
        Type(hDlg, IDC_EFX_EDIT, "10");
        Click(hDlg, IDOK);
    })});
    EXPECT_FALSE(bMosaicShows);
    EXPECT_EQ(mosaic.nFirst, 10);
    EXPECT_EQ(mosaic.nSecond, 0);
    EXPECT_EQ(m_studio.m_notices, (std::vector<Notice>{{10, 1, ""}}));
}

// Up and Down on a focused spin step by one; Left and Right on a focused
// slider by a tenth of its range, and the new value goes to Studio.
TEST_F(EffectParamDlgsTest, ArrowKeysStepTheFocusedSpinOrSlider)
{
    std::vector<std::string> shown;
    auto press = [](HWND hDlg, int nID, UINT nKey) {
        HWND hControl = ::GetDlgItem(hDlg, nID);
        ::SetFocus(hControl);
        ::PostMessage(hControl, WM_KEYDOWN, nKey, 0);
    };
    Run(12, {
        OnDialog([&](HWND hDlg) { press(hDlg, IDC_EFX_SPIN, VK_UP); }),
        OnDialog([&](HWND hDlg) {
            shown.push_back(ItemText(hDlg, IDC_EFX_EDIT));
            press(hDlg, IDC_EFX_SLIDER, VK_RIGHT);
        }),
        OnDialog([&](HWND hDlg) {
            shown.push_back(ItemText(hDlg, IDC_EFX_EDIT));
            press(hDlg, IDC_EFX_SLIDER, VK_LEFT);
        }),
        OnDialog([&](HWND hDlg) {
            shown.push_back(ItemText(hDlg, IDC_EFX_EDIT));
            press(hDlg, IDC_EFX_SPIN, VK_DOWN);
        }),
        OnDialog([&](HWND hDlg) {
            shown.push_back(ItemText(hDlg, IDC_EFX_EDIT));
            Click(hDlg, IDCANCEL);
        }),
    });
    // The slider runs from -400 to 400: a step of 80.
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "81", "1", "0"}));
    EXPECT_EQ(m_studio.m_notices, (std::vector<Notice>{{1, 0, ""}, {81, 0, ""}, {1, 0, ""}, {0, 0, ""}}));

    // Add Noise's channel box carries the second spin's id: its arrows pick
    // channels and step no value.
    m_studio.m_notices.clear();
    const Answer noise = Run(0, {
        OnDialog([&](HWND hDlg) { press(hDlg, IDC_EFX_COMBO, VK_DOWN); }),
        OnDialog([&](HWND hDlg) { Click(hDlg, IDOK); }),
    });
    EXPECT_EQ(noise.nFirst, 0);
    EXPECT_EQ(noise.nSecond, 1);
}

TEST_F(EffectParamDlgsTest, ResampleKeepsTheStartingProportionsAndBoundsSizesByThePicture)
{
    std::string startWidth;
    std::string followedHeight;
    bool bAspectOn = false;
    const Answer answer = Run(19,
        {OnDialog([&](HWND hDlg) {
            startWidth = ItemText(hDlg, IDC_EFX_EDIT);
            bAspectOn = Checked(hDlg, IDC_EFX_CHECK) && Visible(hDlg, IDC_EFX_CHECK);
            Type(hDlg, IDC_EFX_EDIT, "100");
            followedHeight = ItemText(hDlg, IDC_EFX_EDIT2);
            ::CheckDlgButton(hDlg, IDC_EFX_CHECK, BST_UNCHECKED);
            // Above twice the picture's width: its own width on OK.
            Type(hDlg, IDC_EFX_EDIT, "401");
            Click(hDlg, IDOK);
        })},
        200, 150);
    EXPECT_EQ(startWidth, "200");
    EXPECT_TRUE(bAspectOn);
    EXPECT_EQ(followedHeight, "75");
    EXPECT_EQ(answer.nFirst, 200);
    EXPECT_EQ(answer.nSecond, 75);
    EXPECT_EQ(m_studio.m_notices, (std::vector<Notice>{{100, 75, ""}, {401, 75, ""}}));
}

TEST_F(EffectParamDlgsTest, EmbossAndAddNoiseSendBothTheirValues)
{
    bool bStartsNorth = false;
    std::string startDepth;
    const Answer emboss = Run(7, {OnDialog([&](HWND hDlg) {
        bStartsNorth = Checked(hDlg, IDC_EFX_RADIO1);
        startDepth = ItemText(hDlg, IDC_EFX_EDIT);
        Choose(hDlg, IDC_EFX_RADIO1, IDC_EFX_RADIO8, IDC_EFX_RADIO3); // east
        Type(hDlg, IDC_EFX_EDIT, "150");                             // out of range: no preview
        Type(hDlg, IDC_EFX_EDIT, "40");
        Click(hDlg, IDOK);
    })});
    EXPECT_TRUE(bStartsNorth);
    EXPECT_EQ(startDepth, "1");
    EXPECT_EQ(emboss.nFirst, 2);
    EXPECT_EQ(emboss.nSecond, 40);
    EXPECT_EQ(m_studio.m_notices, (std::vector<Notice>{{2, 1, ""}, {2, 40, ""}}));

    m_studio.m_notices.clear();
    const Answer noise = Run(0, {OnDialog([&](HWND hDlg) {
        Type(hDlg, IDC_EFX_EDIT, "30");
        ::SendDlgItemMessage(hDlg, IDC_EFX_COMBO, CB_SETCURSEL, 2, 0);
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDC_EFX_COMBO, CBN_SELCHANGE),
            LPARAM(::GetDlgItem(hDlg, IDC_EFX_COMBO)));
        Click(hDlg, IDOK);
    })});
    EXPECT_EQ(noise.nFirst, 30);
    EXPECT_EQ(noise.nSecond, 2);
    EXPECT_EQ(m_studio.m_notices, (std::vector<Notice>{{30, 0, ""}, {30, 2, ""}}));
}

// Only reductions the screen can show are offered; dithers go with the
// palette depths.
TEST_F(EffectParamDlgsTest, ColorResolutionOffersReductionsAndFlagsTheDither)
{
    std::vector<bool> offered;
    bool bStartsAt8 = false;
    bool bDithers = false;
    const Answer eight = Run(
        3,
        {OnDialog([&](HWND hDlg) {
            for (int nID = IDC_EFX_RADIO1; nID <= IDC_EFX_RADIO5; ++nID)
                offered.push_back(Enabled(hDlg, nID));
            bStartsAt8 = Checked(hDlg, IDC_EFX_RADIO3) && Checked(hDlg, IDC_EFX_RADIO8);
            bDithers = Enabled(hDlg, IDC_EFX_RADIO10);
            Choose(hDlg, IDC_EFX_RADIO1, IDC_EFX_RADIO5, IDC_EFX_RADIO2); // 16 colours
            Choose(hDlg, IDC_EFX_RADIO8, IDC_EFX_RADIO10, IDC_EFX_RADIO10); // Floyd-Stein
            Click(hDlg, IDOK);
        })},
        64, 48, 8);
    EXPECT_EQ(offered, (std::vector<bool>{true, true, true, false, false}));
    EXPECT_TRUE(bStartsAt8);
    EXPECT_TRUE(bDithers);
    EXPECT_EQ(eight.nFirst, 4);
    EXPECT_EQ(eight.nSecond, CColorResolutionDlg::kDitherFloydStein);
    const int nOptimized = CColorResolutionDlg::kPaletteOptimized;
    EXPECT_EQ(m_studio.m_notices,
        (std::vector<Notice>{{4, nOptimized, ""}, {4, nOptimized + CColorResolutionDlg::kDitherFloydStein, ""}}));

    // A true-colour picture: no dither until a palette depth is chosen; a
    // high depth carries no dither on OK.
    m_studio.m_notices.clear();
    bool bDithersAtStart = true;
    bool bDithersAt256 = false;
    const Answer high = Run(
        3,
        {OnDialog([&](HWND hDlg) {
            bDithersAtStart = Enabled(hDlg, IDC_EFX_RADIO9);
            Choose(hDlg, IDC_EFX_RADIO1, IDC_EFX_RADIO5, IDC_EFX_RADIO3);
            bDithersAt256 = Enabled(hDlg, IDC_EFX_RADIO9);
            Choose(hDlg, IDC_EFX_RADIO8, IDC_EFX_RADIO10, IDC_EFX_RADIO9);
            Choose(hDlg, IDC_EFX_RADIO1, IDC_EFX_RADIO5, IDC_EFX_RADIO4);
            Click(hDlg, IDOK);
        })},
        64, 48, 24);
    EXPECT_FALSE(bDithersAtStart);
    EXPECT_TRUE(bDithersAt256);
    EXPECT_EQ(high.nFirst, 16);
    EXPECT_EQ(high.nSecond, 0);
    EXPECT_EQ(m_studio.m_notices.back(), (Notice{16, nOptimized + CColorResolutionDlg::kHighDepthFlag, ""}));

    // A 256-colour screen offers neither high depth, a 16-colour one not
    // even 256 colours.
    for (int nScreen : {8, 4}) {
        ASSERT_TRUE(platform::SetScreenBitsPixel(nScreen));
        offered.clear();
        Run(3,
            {OnDialog([&](HWND hDlg) {
                for (int nID = IDC_EFX_RADIO1; nID <= IDC_EFX_RADIO5; ++nID)
                    offered.push_back(Enabled(hDlg, nID));
                Click(hDlg, IDCANCEL);
            })},
            64, 48, 24);
        EXPECT_EQ(offered, (std::vector<bool>{true, true, nScreen == 8, false, false})) << nScreen;
    }
}

// The recent list shifts every slot, holds a path once, and takes a path
// only when it changes; a path naming no file clears the preview.
TEST_F(EffectParamDlgsTest, UnderlayKeepsItsRecentListWithoutDuplicatesOrGaps)
{
    CWinApp* pApp = AfxGetApp();
    const CString strA = m_strPics + "a.bmp";
    const CString strB = m_strPics + "b.bmp";
    const CString strX = m_strOther + "x.bmp";
    pApp->WriteProfileString("Underlay", "MRU0", strA);
    pApp->WriteProfileString("Underlay", "MRU1", "");
    pApp->WriteProfileString("Underlay", "MRU2", strB);
    pApp->WriteProfileString("Underlay", "MRU3", CString('z', 400));
    auto recent = [pApp] {
        std::vector<std::string> paths;
        for (int n = 0; n < CUnderlayDlg::kRecentCount; ++n) {
            CString name;
            name.Format("MRU%d", n);
            paths.push_back(std::string(pApp->GetProfileString("Underlay", name, "")));
        }
        return paths;
    };
    // As typing does it: the combo box's own edit changes.
    auto edit = [](HWND hDlg, const CString& strPath) {
        ::SetWindowText(::GetWindow(::GetDlgItem(hDlg, IDC_EFX_COMBO), GW_CHILD), strPath);
    };
    int nListed = 0;
    int nLongest = 0;
    std::vector<std::string> afterX;
    std::vector<std::string> afterStretch;
    const std::string z255(255, 'z');
    const Answer answer = Run(24, {OnDialog([&](HWND hDlg) {
        nListed = static_cast<int>(::SendDlgItemMessage(hDlg, IDC_EFX_COMBO, CB_GETCOUNT, 0, 0));
        for (int n = 0; n < nListed; ++n)
            nLongest = std::max(nLongest,
                static_cast<int>(::SendDlgItemMessage(hDlg, IDC_EFX_COMBO, CB_GETLBTEXTLEN, n, 0)));
        edit(hDlg, strX);
        afterX = recent();
        Choose(hDlg, IDC_EFX_RADIO1, IDC_EFX_RADIO2, IDC_EFX_RADIO2);
        afterStretch = recent();
        edit(hDlg, strB);
        edit(hDlg, m_strPics + "gone.bmp");
        edit(hDlg, strB);
        Click(hDlg, IDOK);
    })});
    // The long value from the profile is cut to a path's length.
    EXPECT_EQ(nListed, 3);
    EXPECT_EQ(nLongest, 255);
    EXPECT_EQ(afterX, (std::vector<std::string>{std::string(strX), std::string(strA), std::string(strB), z255, ""}));
    EXPECT_EQ(afterStretch, afterX);
    EXPECT_EQ(recent(), (std::vector<std::string>{std::string(strB), std::string(strX), std::string(strA), z255, ""}));
    EXPECT_EQ(m_studio.m_notices, (std::vector<Notice>{
                                      {0, 0, ""},                   // set-up: no path yet
                                      {0, 0, std::string(strX)},    // tiled
                                      {1, 0, std::string(strX)},    // stretched
                                      {1, 0, std::string(strB)},
                                      {0, 0, ""},                   // no such file
                                      {1, 0, std::string(strB)},
                                  }));
    EXPECT_EQ(answer.nResult, 1);
    EXPECT_EQ(answer.nFirst, 1);
    EXPECT_EQ(answer.text, std::string(strB));
}
