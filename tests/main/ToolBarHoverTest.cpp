// The pointer resting on a button of the main frame's toolbars: one tip, for
// that button, just below the pointer, and the button's prompt in the status
// bar until the pointer leaves the bars.

#include "MainFrameTestSupport.h"

#include "platform/ui/CommCtrl.h"

#include <cstring>

namespace mainframetest {
namespace {

namespace hl = platform::headless;

constexpr DWORD kRest = 700; // longer than a tip's initial delay

struct ShownTip {
    HWND hwnd;
    RECT rect;
    std::string text;
};

std::vector<ShownTip> ShownTips()
{
    std::vector<ShownTip> out;
    for (HWND w = ::GetWindow(::GetDesktopWindow(), GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        char name[64] = {};
        ::GetClassName(w, name, sizeof(name));
        if (std::strcmp(name, TOOLTIPS_CLASS) != 0 || !::IsWindowVisible(w))
            continue;
        ShownTip tip{w, {}, {}};
        ::GetWindowRect(w, &tip.rect);
        char text[128] = {};
        ::GetWindowText(w, text, sizeof(text));
        tip.text = text;
        out.push_back(tip);
    }
    return out;
}

// The first and second part of a command's string: prompt and tip.
std::pair<CString, CString> PromptAndTip(UINT nID)
{
    CString full;
    full.LoadString(nID);
    int nl = full.Find('\n');
    if (nl < 0)
        return {full, CString()};
    return {full.Left(nl), full.Mid(nl + 1)};
}

// The centre of a bar's button in screen coordinates.
POINT ButtonCentre(CToolBar* pBar, int nIndex)
{
    CRect rect;
    pBar->GetItemRect(nIndex, &rect);
    pBar->ClientToScreen(&rect);
    return rect.CenterPoint();
}

int FirstButton(CToolBar* pBar)
{
    for (int i = 0; i < pBar->GetCount(); ++i)
        if (pBar->GetItemID(i) != ID_SEPARATOR)
            return i;
    return -1;
}

void RunAppLoop(CWinApp* pApp)
{
    MSG msg;
    for (int i = 0; i < 100000 && ::GetMessage(&msg, NULL, 0, 0) > 0; ++i) {
        if (!pApp->PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
}

class ToolBarHoverTest : public MainFrameTest {
protected:
    // Runs the steps, one each time the loop would wait, with the clock
    // moved on between them so that the bars' timers come due.
    void Run(std::vector<std::function<void()>> steps)
    {
        steps.push_back([] { ::PostQuitMessage(0); });
        auto list = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
        auto next = std::make_shared<size_t>(0);
        auto idle = std::make_shared<int>(0);
        hl::SetIdleHandler([this, list, next, idle] {
            if (*next >= list->size())
                return false;
            // A few idle passes let the timers that came due run first.
            if ((*idle)++ < 3) {
                m_clock.Advance(kRest / 2);
                return true;
            }
            *idle = 0;
            (*list)[(*next)++]();
            return true;
        });
        RunAppLoop(m_app.get());
    }
};

TEST_F(ToolBarHoverTest, OneTipBelowThePointerAndThePromptFollowTheHoveredButton)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    CZoomToolBar* pStandard = pFrame->GetStandardBar();
    CMainToolBar* pFormatting = pFrame->GetFormattingBar();
    ASSERT_NE(pStandard, nullptr);
    ASSERT_NE(pFormatting, nullptr);
    int nPrint = pStandard->CommandToIndex(ID_FILE_PRINT);
    int nOther = FirstButton(pFormatting);
    ASSERT_GE(nPrint, 0);
    ASSERT_GE(nOther, 0);
    const UINT nOtherID = pFormatting->GetItemID(nOther);
    const POINT print = ButtonCentre(pStandard, nPrint);
    const POINT other = ButtonCentre(pFormatting, nOther);
    CStatusBar& status = pFrame->GetStatusBar();

    std::vector<ShownTip> overPrint;
    std::vector<ShownTip> overOther;
    CString promptOverPrint;
    CString promptOverOther;
    CString promptAway;
    std::vector<ShownTip> away;
    Run({
        [&] { hl::MoveMouse(other.x, other.y); },
        [&] {
            // Straight on to the other bar, while the first tip is up.
            hl::MoveMouse(print.x, print.y);
        },
        [&] {
            overPrint = ShownTips();
            promptOverPrint = status.GetPaneText(0);
            hl::MoveMouse(other.x, other.y);
        },
        [&] {
            overOther = ShownTips();
            promptOverOther = status.GetPaneText(0);
            // Away from the bars, onto the empty workspace.
            CRect rect;
            pFrame->GetWindowRect(&rect);
            hl::MoveMouse(rect.CenterPoint().x, rect.CenterPoint().y);
        },
        [&] {
            away = ShownTips();
            promptAway = status.GetPaneText(0);
        },
    });

    ASSERT_EQ(overPrint.size(), 1u) << "one tip at a time";
    EXPECT_EQ(CString(overPrint[0].text.c_str()), PromptAndTip(ID_FILE_PRINT).second);
    EXPECT_GT(overPrint[0].rect.top, print.y);
    EXPECT_LE(overPrint[0].rect.top, print.y + 32) << "just below the pointer";
    EXPECT_LE(std::abs(overPrint[0].rect.left - print.x), 40);
    EXPECT_EQ(promptOverPrint, PromptAndTip(ID_FILE_PRINT).first);

    ASSERT_EQ(overOther.size(), 1u);
    EXPECT_EQ(CString(overOther[0].text.c_str()), PromptAndTip(nOtherID).second);
    EXPECT_GT(overOther[0].rect.top, other.y);
    EXPECT_LE(overOther[0].rect.top, other.y + 32);
    EXPECT_EQ(promptOverOther, PromptAndTip(nOtherID).first);

    EXPECT_TRUE(away.empty()) << "the tip goes with the pointer";
    EXPECT_EQ(promptAway, CString("Ready"));
}

} // namespace
} // namespace mainframetest
