// The Shadow dialog: what the offset combos take and refuse, Reset, Cancel,
// and the preview's shadow placement, on the real dialog.

#include "tests/text/SmallDlgTestSupport.h"

#include "resources/resource.h"
#include "text/dialogs/ShadowDlg.h"

#include <climits>
#include <cstring>

namespace smalldlgtest {
namespace {

const char kRangeMessage[] = "Please enter only whole numbers between -15 and 15.";

class ShadowDlgTest : public SmallDlgTest {
protected:
    void SetUp() override
    {
        SmallDlgTest::SetUp();
        std::strncpy(m_lf.lfFaceName, "Arial", LF_FACESIZE - 1);
        m_lf.lfHeight = -36;
        m_lf.lfWeight = FW_BOLD;
    }
    LOGFONT m_lf {};
};

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    bool Empty() const { return left > right; }
    void Add(int x, int y)
    {
        left = x < left ? x : left;
        top = y < top ? y : top;
        right = x > right ? x : right;
        bottom = y > bottom ? y : bottom;
    }
};

// The boxes of the strongly red (shadow) and strongly blue (text) pixels of
// the preview, inside its frame.
void PreviewBoxes(HWND hPreview, Box& red, Box& blue)
{
    ::RedrawWindow(hPreview, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT rc {};
    ::GetClientRect(hPreview, &rc);
    for (int y = rc.top + 3; y < rc.bottom - 3; ++y) {
        for (int x = rc.left + 3; x < rc.right - 3; ++x) {
            const COLORREF cr = platform::headless::WindowPixel(hPreview, x, y);
            const int r = GetRValue(cr), g = GetGValue(cr), b = GetBValue(cr);
            if (r > 200 && g < 60 && b < 60)
                red.Add(x, y);
            else if (b > 200 && r < 60 && g < 60)
                blue.Add(x, y);
        }
    }
}

} // namespace

TEST(ShadowOffsetText, TakesASignAndUpToTwoDigitsWithinFifteen)
{
    struct Row {
        const char* text;
        bool accepted;
        int value;
    };
    const Row rows[] = {
        {"16", false, 0}, {"+3", true, 3}, {"3a", false, 0}, {"", false, 0}, {"-", false, 0}, {"+", false, 0},
        {"3-", false, 0}, {"-15", true, -15}, {"15", true, 15}, {"0", true, 0}, {"-0", true, 0}, {"-16", false, 0},
        {"007", false, 0}, {"+-3", false, 0}, {" 3", false, 0}, {"3 ", false, 0}, {"99", false, 0},
    };
    for (const Row& row : rows) {
        int nValue = 77;
        EXPECT_EQ(CShadowDlg::ParseOffset(row.text, &nValue) != FALSE, row.accepted) << '"' << row.text << '"';
        EXPECT_EQ(nValue, row.accepted ? row.value : 77) << '"' << row.text << '"';
    }
    EXPECT_FALSE(CShadowDlg::ParseOffset(NULL, NULL));
}

TEST_F(ShadowDlgTest, ALeftComboTakesItsOffsetOrPutsBackTheLastOneTaken)
{
    CShadowDlg dlg(&m_main);
    dlg.SetLogFont(&m_lf);
    dlg.SetOffsets(4, -3);
    std::string initial;
    bool focusedHorz = false, focusBack = false;
    std::vector<std::string> shown;
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        HWND hHorz = ::GetDlgItem(hDlg, IDC_SHADOW_HORZ);
        auto inHorz = [hHorz]() { return ::GetFocus() == hHorz || ::IsChild(hHorz, ::GetFocus()); };
        initial = ItemText(hDlg, IDC_SHADOW_HORZ) + "," + ItemText(hDlg, IDC_SHADOW_VERT);
        focusedHorz = inHorz();
        for (const char* text : {"16", "+3", "3a", "-15", "-"}) {
            ::SetFocus(hHorz);
            ::SetDlgItemText(hDlg, IDC_SHADOW_HORZ, text);
            ::SetFocus(::GetDlgItem(hDlg, IDC_SHADOW_VERT));
            shown.push_back(ItemText(hDlg, IDC_SHADOW_HORZ) + "=" + std::to_string(dlg.GetHorzOffset()));
        }
        focusBack = inHorz();
        Click(hDlg, IDOK);
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(initial, "4,-3");
    EXPECT_TRUE(focusedHorz);
    EXPECT_EQ(shown, (std::vector<std::string> {"4=4", "+3=3", "3=3", "-15=-15", "-15=-15"}));
    EXPECT_TRUE(focusBack);
    EXPECT_EQ(m_boxes, std::vector<std::string>(3, kRangeMessage));
    EXPECT_EQ(dlg.GetHorzOffset(), -15);
    EXPECT_EQ(dlg.GetVertOffset(), -3);
}

TEST_F(ShadowDlgTest, SixteenThenOkShowsOneMessageAndKeepsTheDialogOpen)
{
    CShadowDlg dlg(&m_main);
    dlg.SetLogFont(&m_lf);
    dlg.SetOffsets(5, 6);
    size_t nAfterOk = 0, nAfterLeave = 0;
    bool openAfterOk = false;
    std::string vertShown, horzShown;
    const size_t nStart = Boxes();
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        // Typed into the vertical combo and confirmed with OK straight away:
        // the box itself takes the focus from the combo, which must not
        // give a second message.
        ::SetFocus(::GetDlgItem(hDlg, IDC_SHADOW_VERT));
        ::SetDlgItemText(hDlg, IDC_SHADOW_VERT, "16");
        Click(hDlg, IDOK);
        nAfterOk = Boxes() - nStart;
        openAfterOk = ::IsWindow(hDlg) && ::IsWindowVisible(hDlg);
        vertShown = ItemText(hDlg, IDC_SHADOW_VERT);
        // Typed and then left for the OK button: one message on leaving.
        ::SetFocus(::GetDlgItem(hDlg, IDC_SHADOW_HORZ));
        ::SetDlgItemText(hDlg, IDC_SHADOW_HORZ, "16");
        ::SetFocus(::GetDlgItem(hDlg, IDOK));
        nAfterLeave = Boxes() - nStart;
        horzShown = ItemText(hDlg, IDC_SHADOW_HORZ);
        Click(hDlg, IDOK);
    });
    EXPECT_EQ(nAfterOk, 1u);
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(vertShown, "6");
    EXPECT_EQ(nAfterLeave, 2u);
    EXPECT_EQ(horzShown, "5");
    EXPECT_EQ(Boxes() - nStart, 2u);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(dlg.GetHorzOffset(), 5);
    EXPECT_EQ(dlg.GetVertOffset(), 6);
}

TEST_F(ShadowDlgTest, ResetGivesTwoTwoAndGreyAndCancelHandsBackWhatWasGiven)
{
    CShadowDlg dlg(&m_main);
    dlg.SetLogFont(&m_lf);
    dlg.SetOffsets(-7, 9);
    dlg.SetShadowColor(RGB(255, 0, 0));
    std::string h, v;
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        Click(hDlg, IDC_SHADOW_RESET);
        h = ItemText(hDlg, IDC_SHADOW_HORZ);
        v = ItemText(hDlg, IDC_SHADOW_VERT);
        Click(hDlg, IDOK);
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(h, "2");
    EXPECT_EQ(v, "2");
    EXPECT_EQ(dlg.GetHorzOffset(), 2);
    EXPECT_EQ(dlg.GetVertOffset(), 2);
    EXPECT_EQ(dlg.GetShadowColor(), RGB(128, 128, 128));
    // The preview is 20 point whatever size the caller's font had.
    EXPECT_EQ(m_lf.lfHeight, -20);

    CShadowDlg again(&m_main);
    again.SetLogFont(&m_lf);
    again.SetOffsets(-7, 9);
    again.SetShadowColor(RGB(255, 0, 0));
    nResult = Run(again, [&](HWND hDlg) {
        Click(hDlg, IDC_SHADOW_RESET);
        // A choice from the list counts at once, as the list gives it.
        ::SendDlgItemMessage(hDlg, IDC_SHADOW_HORZ, CB_SETCURSEL, 0, 0);
        Notify(hDlg, IDC_SHADOW_HORZ, CBN_SELCHANGE);
        h = ItemText(hDlg, IDC_SHADOW_HORZ);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(h, "-15");
    EXPECT_EQ(again.GetHorzOffset(), -7);
    EXPECT_EQ(again.GetVertOffset(), 9);
    EXPECT_EQ(again.GetShadowColor(), RGB(255, 0, 0));
}

TEST_F(ShadowDlgTest, StoredOffsetsBeyondTheRangeOpenAtItsEndsSoOkCanClose)
{
    // Shown as they were, an offset of 40 could never pass OK: every refusal
    // would put 40 back.
    CShadowDlg dlg(&m_main);
    dlg.SetLogFont(&m_lf);
    dlg.SetOffsets(40, -32768);
    std::string shown;
    INT_PTR nResult = Run(dlg, [&](HWND hDlg) {
        shown = ItemText(hDlg, IDC_SHADOW_HORZ) + "," + ItemText(hDlg, IDC_SHADOW_VERT);
        Click(hDlg, IDOK);
    });
    EXPECT_EQ(shown, "15,-15");
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ShadowDlgTest, EachOffsetShowsItsDirectionIcon)
{
    CShadowDlg dlg(&m_main);
    dlg.SetLogFont(&m_lf);
    LRESULT hHorz = 0, hVert = 0;
    Run(dlg, [&](HWND hDlg) {
        hHorz = ::SendDlgItemMessage(hDlg, IDC_SHADOW_HORZ_ICON, STM_GETICON, 0, 0);
        hVert = ::SendDlgItemMessage(hDlg, IDC_SHADOW_VERT_ICON, STM_GETICON, 0, 0);
        Click(hDlg, IDCANCEL);
    });
    EXPECT_NE(hHorz, 0);
    EXPECT_NE(hVert, 0);
    EXPECT_NE(hHorz, hVert);
}

TEST_F(ShadowDlgTest, PreviewDrawsTheShadowByItsOffsetsEitherWay)
{
    struct Case {
        int h, v;
    };
    for (const Case c : {Case {-6, -4}, Case {5, 3}}) {
        CShadowDlg dlg(&m_main);
        dlg.SetLogFont(&m_lf);
        dlg.SetOffsets(c.h, c.v);
        dlg.SetTextColor(RGB(0, 0, 255));
        dlg.SetShadowColor(RGB(255, 0, 0));
        Box red, blue;
        RECT rcClient {};
        Run(dlg, [&](HWND hDlg) {
            HWND hPreview = ::GetDlgItem(hDlg, IDC_SHADOW_PREVIEW);
            ::GetClientRect(hPreview, &rcClient);
            PreviewBoxes(hPreview, red, blue);
            Click(hDlg, IDCANCEL);
        });
        ASSERT_FALSE(red.Empty()) << c.h << "," << c.v;
        ASSERT_FALSE(blue.Empty()) << c.h << "," << c.v;
        // The edges the text cannot cover show where the shadow lies.
        if (c.h < 0) {
            EXPECT_NEAR(red.left - blue.left, c.h, 1);
            EXPECT_NEAR(red.top - blue.top, c.v, 1);
        } else {
            EXPECT_NEAR(red.right - blue.right, c.h, 1);
            EXPECT_NEAR(red.bottom - blue.bottom, c.v, 1);
        }
        // Text and shadow together sit inside the frame.
        EXPECT_GE(std::min(red.left, blue.left), 3);
        EXPECT_LT(std::max(red.right, blue.right), rcClient.right - 3);
    }
}

} // namespace smalldlgtest
