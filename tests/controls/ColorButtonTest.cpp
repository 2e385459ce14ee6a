// The colour button: picking a colour through its popup (white shows the
// colour hint once while the preference asks for it, never with the
// button's no-white-hint flag; Cancel changes nothing), and its drawing,
// enabled, disabled and with a monochrome face bitmap.

#include "controls/ColorButton.h"

#include "app/PrefData.h"
#include "controls/GridPicker.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/controls/OwnerDrawTestSupport.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace {

constexpr int kButtonId = 910;
constexpr int kWhiteCell = 15;
constexpr COLORREF kRed = RGB(255, 0, 0);

class ColorButtonTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        CWinApp& app = MakeApp();
        app.SetRegistryKey("Threadwick Tests");
        thePrefs.Reset();
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)(COLOR_BTNFACE + 1)), "",
            WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, NULL, NULL));
        ASSERT_TRUE(m_button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 80, 50), &m_parent,
            kButtonId));
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        thePrefs.Reset();
        FrameworkTest::TearDown();
    }

    // Answers the loop's idle calls: clicks cell nCell of the colour popup
    // (or cancels it when nCell is -2) and presses OK in the colour hint,
    // counting how often the hint came up.
    void AnswerPopups(int nCell)
    {
        m_nHints = 0;
        platform::headless::SetIdleHandler([this, nCell]() {
            HWND hActive = ::GetActiveWindow();
            if (hActive == NULL)
                return false;
            if (::GetDlgItem(hActive, IDC_HINT_SHOW_AGAIN) != NULL) {
                ++m_nHints;
                ::PostMessage(hActive, WM_COMMAND, IDOK, 0);
                return true;
            }
            HWND hPicker = ::GetDlgItem(hActive, IDC_GRID_PICKER_PLACEHOLDER);
            auto* pPicker = dynamic_cast<CGridPicker*>(CWnd::FromHandlePermanent(hPicker));
            if (pPicker == nullptr)
                return false;
            if (nCell == -2) {
                platform::headless::TypeKey(VK_ESCAPE);
                return true;
            }
            CPoint pt = pPicker->GetCellRect(nCell).CenterPoint();
            pPicker->ClientToScreen(&pt);
            platform::headless::PressMouse(0, pt.x, pt.y);
            platform::headless::ReleaseMouse(0, pt.x, pt.y);
            return true;
        });
    }

    void Draw(kittest::MemoryCanvas& canvas, UINT state)
    {
        DRAWITEMSTRUCT dis = kittest::MakeDrawItem(canvas.dc, m_button.m_hWnd, 0, ODA_DRAWENTIRE, state, kItem);
        dis.CtlType = ODT_BUTTON;
        m_button.DrawItem(&dis);
    }

    static constexpr RECT kItem{0, 0, 60, 40};
    // The work rectangle is the item less 3 pixels, the swatch 6 more.
    static constexpr RECT kSwatch{9, 9, 51, 31};

    CWnd m_parent;
    CColorButton m_button;
    int m_nHints = 0;
};

TEST_F(ColorButtonTest, WhiteShowsTheColorHintOnceWhileThePreferenceAsks)
{
    thePrefs.Flags |= CColorButton::kColorHintFlag;
    m_button.m_bHatched = TRUE;
    AnswerPopups(kWhiteCell);
    EXPECT_EQ(1, m_button.PickColor());
    EXPECT_EQ(1, m_nHints);
    EXPECT_EQ(CColorButton::kWhite, m_button.m_crColor);
    EXPECT_FALSE(m_button.m_bHatched);

    // Another colour never shows it.
    AnswerPopups(9);
    EXPECT_EQ(1, m_button.PickColor());
    EXPECT_EQ(0, m_nHints);
    EXPECT_EQ(kRed, m_button.m_crColor);
}

TEST_F(ColorButtonTest, WhiteShowsNoHintWithTheButtonsFlagOrWithoutThePreference)
{
    thePrefs.Flags |= CColorButton::kColorHintFlag;
    m_button.m_bNoWhiteHint = TRUE;
    AnswerPopups(kWhiteCell);
    EXPECT_EQ(1, m_button.PickColor());
    EXPECT_EQ(0, m_nHints);
    EXPECT_EQ(CColorButton::kWhite, m_button.m_crColor);

    m_button.m_bNoWhiteHint = FALSE;
    m_button.m_crColor = kRed;
    thePrefs.Flags &= WORD(~CColorButton::kColorHintFlag);
    AnswerPopups(kWhiteCell);
    EXPECT_EQ(1, m_button.PickColor());
    EXPECT_EQ(0, m_nHints);
    EXPECT_EQ(CColorButton::kWhite, m_button.m_crColor);
}

TEST_F(ColorButtonTest, CancelChangesNothing)
{
    m_button.m_crColor = RGB(0, 0, 128);
    m_button.m_bHatched = TRUE;
    AnswerPopups(-2);
    EXPECT_EQ(0, m_button.PickColor());
    EXPECT_EQ(RGB(0, 0, 128), m_button.m_crColor);
    EXPECT_TRUE(m_button.m_bHatched);
    EXPECT_EQ(0, m_nHints);
}

TEST_F(ColorButtonTest, EnabledButtonShowsItsColorInABlackOutline)
{
    m_button.m_crColor = kRed;
    kittest::MemoryCanvas canvas(60, 40);
    Draw(canvas, 0);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(kSwatch.left, kSwatch.top));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(kSwatch.right - 1, kSwatch.bottom - 1));
    EXPECT_EQ(kRed, canvas.At(30, 20));
    // Raised: light top left, text colour at the bottom right of the frame.
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), canvas.At(20, 3));
    EXPECT_EQ(::GetSysColor(COLOR_BTNTEXT), canvas.At(20, 36));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), canvas.At(1, 1));
}

TEST_F(ColorButtonTest, ALowButtonStillShowsItsColor)
{
    // 51 x 20, as in the text format panel: six pixels each way would leave
    // a swatch of two rows, all outline.
    m_button.m_crColor = kRed;
    kittest::MemoryCanvas canvas(51, 20);
    DRAWITEMSTRUCT dis = kittest::MakeDrawItem(canvas.dc, m_button.m_hWnd, 0, ODA_DRAWENTIRE, 0, RECT{0, 0, 51, 20});
    dis.CtlType = ODT_BUTTON;
    m_button.DrawItem(&dis);
    int nRed = 0;
    for (int y = 0; y < 20; ++y)
        nRed += canvas.At(25, y) == kRed;
    EXPECT_GE(nRed, 4);
    EXPECT_EQ(kRed, canvas.At(11, 10));
}

TEST_F(ColorButtonTest, DisabledButtonShowsAnEmptyGreyOutline)
{
    m_button.m_crColor = kRed;
    kittest::MemoryCanvas canvas(60, 40);
    Draw(canvas, ODS_DISABLED);
    EXPECT_EQ(0, canvas.Count(kItem, kRed));
    const COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
    EXPECT_EQ(grey, canvas.At(kSwatch.left, kSwatch.top));
    EXPECT_EQ(grey, canvas.At(kSwatch.right - 1, 20));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), canvas.At(30, 20));
    // The frame's dark lines are grey too.
    EXPECT_EQ(grey, canvas.At(20, 36));
    EXPECT_EQ(grey, canvas.At(56, 20));
    EXPECT_EQ(0, canvas.Count(kItem, RGB(0, 0, 0)));
}

TEST_F(ColorButtonTest, MonochromeBitmapReplacesTheHatchedColor)
{
    m_button.m_crColor = kRed;
    m_button.m_bHatched = TRUE;
    ASSERT_TRUE(m_button.SetBitmap(IDB_HATCH_CROSS, 4, TRUE));
    EXPECT_FALSE(m_button.m_bHatched);
    EXPECT_EQ(4, m_button.m_nBitmapValue);
    kittest::MemoryCanvas canvas(60, 40);
    Draw(canvas, 0);
    EXPECT_EQ(0, canvas.Count(kItem, kRed));
    // The window-coloured ground with the mask's black pixels in the window
    // text colour.
    EXPECT_GT(canvas.Count(kSwatch, ::GetSysColor(COLOR_WINDOW)), 20);
    CRect inner(kSwatch);
    inner.DeflateRect(1, 1);
    EXPECT_GT(canvas.Count(inner, ::GetSysColor(COLOR_WINDOWTEXT)), 20);
    EXPECT_EQ(0, canvas.Count(kItem, kittest::MemoryCanvas::kUntouched));
}

TEST_F(ColorButtonTest, OlderShellsDrawABlackOutlinedFrame)
{
    m_button.m_bNewShell = FALSE;
    m_button.m_crColor = kRed;
    kittest::MemoryCanvas canvas(60, 40);
    Draw(canvas, 0);
    // The work rectangle is 4 pixels in; the light and shadow lines inside
    // its black outline.
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(20, 4));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(4, 20));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(20, 35));
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), canvas.At(20, 5));
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), canvas.At(20, 34));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), canvas.At(20, 3));
    EXPECT_EQ(kRed, canvas.At(30, 20));
}

TEST_F(ColorButtonTest, FocusAndSelectionChangeOnlyTheFrame)
{
    m_button.m_crColor = kRed;
    kittest::MemoryCanvas plain(60, 40);
    Draw(plain, 0);
    kittest::MemoryCanvas pressed(60, 40);
    Draw(pressed, ODS_SELECTED | ODS_FOCUS);
    // Sunken: the text colour moves to the top left.
    EXPECT_EQ(::GetSysColor(COLOR_BTNTEXT), pressed.At(20, 3));
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), pressed.At(20, 36));
    EXPECT_EQ(plain.At(30, 20), pressed.At(30, 20));
    EXPECT_NE(plain.Count(kItem, ::GetSysColor(COLOR_BTNFACE)), pressed.Count(kItem, ::GetSysColor(COLOR_BTNFACE)));
}

} // namespace
