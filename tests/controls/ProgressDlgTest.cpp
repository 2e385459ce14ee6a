// The progress dialog and its bar on the headless back end: the message
// split, the bar's blocks, percentage and repaints, Cancel and Escape
// while the operation pumps, and WM_QUIT surviving the pump.

#include "controls/ProgressBar.h"
#include "controls/ProgressDlg.h"
#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"
#include "platform/files/FileSystem.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);

// The same dialog and strings as resources/kitprog.rc, used only while the
// program's script does not carry them yet.
const platform::DialogItemTemplate kProgressItems[] = {
    {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 0, 0, 5, 12, 171, 8, 297, "STATIC", "", 0},
    {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 0, 0, 5, 23, 127, 8, 298, "STATIC", "", 0},
    {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 0, 0, 5, 34, 171, 8, 299, "STATIC", "", 0},
    {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | WS_BORDER, 0, 0, 5, 45, 171, 19, 300, "STATIC", "", 0},
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 65, 71, 50, 14, IDCANCEL, "BUTTON", "Cancel", 0},
};
const platform::DialogTemplate kProgressTemplate = {true, DS_MODALFRAME | WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0,
    0, 0, 181, 92, "", nullptr, 0, "", 8, 0, 0, 0, "MS Sans Serif", kProgressItems, 5};
const platform::ResourceEntry kEntries[] = {
    {nullptr, 5, nullptr, IDD_PROGRESS, &kProgressTemplate, DWORD(sizeof kProgressTemplate)},
};
const platform::StringEntry kStrings[] = {
    {17, 25, "Adding to Picture Gallery"},
    {189, 20, "|Printing Pictures||"},
    {270, 26, "|Looking for Design Kits||"},
};

void RegisterProgressResources()
{
    threadwick::RegisterResources();
    HINSTANCE program = platform::GetResourceModuleHandle(platform::ResourceModule::Program);
    if (platform::FindDialogTemplate(program, MAKEINTRESOURCE(IDD_PROGRESS)) != nullptr)
        return;
    static const platform::ResourceTable table{kEntries, std::size(kEntries), kStrings, std::size(kStrings)};
    platform::RegisterResourceModule(platform::ResourceModule::Program, table);
}

std::string Text(HWND hwnd)
{
    char buffer[256] = {};
    ::GetWindowText(hwnd, buffer, int(sizeof buffer));
    return buffer;
}

class ProgressDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InitFileSystem();
        RegisterProgressResources();
        ASSERT_TRUE(m_main.CreateEx(0, AfxDefaultWndClass(), "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 700,
            500, NULL, NULL));
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        if (m_main.m_hWnd != NULL)
            m_main.DestroyWindow();
        MSG msg;
        while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        }
    }

    CWnd m_main;
};

// A bar that counts its paints.
class CCountingBar : public CProgressBar {
public:
    using CProgressBar::CProgressBar;
    int m_nPaints = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT)
            ++m_nPaints;
        return CProgressBar::WindowProc(message, wParam, lParam);
    }
};

TEST(ProgressMessageTest, SplitsTitleAndLineAtTheBars)
{
    struct Case {
        const char* message;
        const char* title;
        const char* line;
    };
    const Case cases[] = {
        {"Loading the Design Wizard", "Loading the Design Wizard", ""},
        {"|Printing Pictures||", "Printing Pictures", ""},
        // The closing bar is not shown as text on the line.
        {"|Copying|ann.shr|", "Copying", "ann.shr"},
        {"|Copying|ann.shr", "Copying", "ann.shr"},
        {"|Copying|ann.shr|more|", "Copying", "ann.shr"},
        {"|Only a title", "", ""},
        {"Before|title|line|", "title", "line"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        CString title, line;
        CProgressDlg::SplitMessage(c.message, title, line);
        EXPECT_STREQ(c.title, title) << c.message;
        EXPECT_STREQ(c.line, line) << c.message;
    }
}

TEST_F(ProgressDlgTest, ShowsTheBarInsideItsFrameAndTheMessage)
{
    auto pDlg = std::make_unique<CProgressDlg>(&m_main, TRUE);
    CProgressDlg& dlg = *pDlg;
    ASSERT_NE(HWND(NULL), dlg.m_hWnd);
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(std::string(), Text(dlg.m_hWnd));
    ASSERT_TRUE(dlg.m_bBarExists);
    ASSERT_NE(nullptr, dlg.m_pBar);
    EXPECT_FALSE(dlg.m_bCancelled);

    HWND hBar = dlg.m_pBar->m_hWnd;
    EXPECT_EQ(dlg.m_hWnd, ::GetParent(hBar));
    EXPECT_EQ(0xE800, ::GetDlgCtrlID(hBar));
    EXPECT_EQ(DWORD(0x58000000), DWORD(::GetWindowLong(hBar, GWL_STYLE)) & 0xFFFF0000u);
    CRect frame, bar;
    ::GetClientRect(::GetDlgItem(dlg.m_hWnd, IDC_PROGRESS_FRAME), &frame);
    ::MapWindowPoints(::GetDlgItem(dlg.m_hWnd, IDC_PROGRESS_FRAME), dlg.m_hWnd, reinterpret_cast<LPPOINT>(&frame), 2);
    ::GetWindowRect(hBar, &bar);
    ::MapWindowPoints(NULL, dlg.m_hWnd, reinterpret_cast<LPPOINT>(&bar), 2);
    frame.DeflateRect(2, 2);
    EXPECT_EQ(frame, bar);
    // The frame around it does not paint over the blocks.
    dlg.SetRange(4);
    dlg.SetPos(4);
    EXPECT_EQ(kBlue, platform::headless::WindowPixel(dlg.m_hWnd, bar.left + 1, bar.CenterPoint().y));

    // Cancel is the picture button, offered and usable.
    HWND hCancel = ::GetDlgItem(dlg.m_hWnd, IDCANCEL);
    EXPECT_EQ(&dlg.m_btnCancel, CWnd::FromHandlePermanent(hCancel));
    EXPECT_TRUE(::IsWindowVisible(hCancel));
    EXPECT_TRUE(::IsWindowEnabled(hCancel));
    EXPECT_EQ(IDI_BUTTON_CANCEL, dlg.m_btnCancel.m_nIconID);

    // Centred on the parent.
    CRect rcDlg, rcMain;
    dlg.GetWindowRect(&rcDlg);
    m_main.GetWindowRect(&rcMain);
    EXPECT_NEAR(rcMain.CenterPoint().x, rcDlg.CenterPoint().x, 1);
    EXPECT_NEAR(rcMain.CenterPoint().y, rcDlg.CenterPoint().y, 1);

    dlg.SetMessage(189);
    EXPECT_EQ("Printing Pictures", Text(dlg.m_hWnd));
    EXPECT_EQ("", Text(::GetDlgItem(dlg.m_hWnd, IDC_PROGRESS_LINE1)));
    dlg.SetLine(1, "ann.shr");
    dlg.SetMessage(IDS_LOADING_DESIGN_WIZARD);
    EXPECT_EQ("Loading the Design Wizard", Text(dlg.m_hWnd));
    EXPECT_EQ("", Text(::GetDlgItem(dlg.m_hWnd, IDC_PROGRESS_LINE1)));

    HWND hDlg = dlg.m_hWnd;
    pDlg.reset();
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_FALSE(::IsWindow(hBar));
}

TEST_F(ProgressDlgTest, CancelNotOfferedIsHiddenAndDisabled)
{
    CProgressDlg dlg(&m_main, FALSE);
    HWND hCancel = ::GetDlgItem(dlg.m_hWnd, IDCANCEL);
    EXPECT_FALSE(::IsWindowVisible(hCancel));
    EXPECT_FALSE(::IsWindowEnabled(hCancel));
    EXPECT_NE(hCancel, ::GetFocus());
}

TEST_F(ProgressDlgTest, SetLineTakesOnlyLinesOneToThree)
{
    CProgressDlg dlg(&m_main, TRUE);
    dlg.SetLine(0, "zero");
    dlg.SetLine(4, "four");
    dlg.SetLine(2, "two | as given");
    EXPECT_EQ("", Text(::GetDlgItem(dlg.m_hWnd, 297)));
    EXPECT_EQ("two | as given", Text(::GetDlgItem(dlg.m_hWnd, 298)));
    EXPECT_EQ("", Text(::GetDlgItem(dlg.m_hWnd, 299)));

    // A long path is shortened to the line's width, keeping its file name.
    CString longPath = "C:\\";
    for (int i = 0; i < 30; ++i)
        longPath += "a rather long folder name\\";
    longPath += "ann.shr";
    dlg.SetLineCompact(3, longPath);
    std::string shown = Text(::GetDlgItem(dlg.m_hWnd, 299));
    EXPECT_LT(shown.size(), size_t(longPath.GetLength()));
    EXPECT_EQ("ann.shr", shown.substr(shown.size() - 7));

    // After the window is gone nothing is set and nothing breaks.
    dlg.DestroyWindow();
    dlg.SetLine(1, "late");
    dlg.SetLineCompact(1, "late");
    dlg.SetMessage(189);
}

TEST_F(ProgressDlgTest, BarLightsABlockOnlyWhenTheCountReachesIt)
{
    // 200 pixels of blocks of 10: 20 blocks. With 25 steps, step 1 is
    // 0.8 of a block (nothing to repaint), step 2 lights the first block.
    CCountingBar bar(&m_main, 10, 10, 210, 30);
    bar.UpdateWindow();
    EXPECT_EQ(200, bar.m_rectBlocks.Width());
    EXPECT_EQ(CRect(0, 5, 200, 15), bar.m_rectBlocks);
    EXPECT_EQ(CRect(0, 2, 200, 18), bar.m_rectText);
    int nPaints = bar.m_nPaints;

    bar.SetRange(25);
    bar.SetPos(0);
    EXPECT_EQ(nPaints, bar.m_nPaints);
    bar.SetPos(1);
    EXPECT_EQ(0, bar.GetLitBlocks());
    EXPECT_EQ(nPaints, bar.m_nPaints);
    EXPECT_NE(kBlue, platform::headless::WindowPixel(bar.m_hWnd, 2, 10));

    bar.SetPos(2);
    EXPECT_EQ(1, bar.GetLitBlocks());
    EXPECT_EQ(nPaints + 1, bar.m_nPaints);
    EXPECT_EQ(kBlue, platform::headless::WindowPixel(bar.m_hWnd, 2, 10));
    EXPECT_NE(kBlue, platform::headless::WindowPixel(bar.m_hWnd, 12, 10)); // second block still dark

    // Reset repaints at once and clears the blocks.
    bar.Reset(TRUE);
    EXPECT_EQ(nPaints + 2, bar.m_nPaints);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), platform::headless::WindowPixel(bar.m_hWnd, 2, 10));
    EXPECT_FALSE(bar.m_bEraseOnPaint);
}

TEST_F(ProgressDlgTest, BarDrawsBlueBlocksWithGapsAndThePercentage)
{
    CProgressBar bar(&m_main, 10, 10, 210, 30);
    bar.SetRange(10);
    bar.SetPos(5); // half: 10 of the 20 blocks
    EXPECT_EQ(10, bar.GetLitBlocks());
    EXPECT_STREQ(" 50% ", bar.GetPercentText());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(kBlue, platform::headless::WindowPixel(bar.m_hWnd, i * 10 + 1, 6)) << i;
        // Without a pen the rectangle leaves out its last row and column.
        EXPECT_EQ(kBlue, platform::headless::WindowPixel(bar.m_hWnd, i * 10 + 7, 13)) << i;
        EXPECT_NE(kBlue, platform::headless::WindowPixel(bar.m_hWnd, i * 10 + 9, 10)) << i; // the gap
    }
    EXPECT_NE(kBlue, platform::headless::WindowPixel(bar.m_hWnd, 1, 4));   // above the blocks
    EXPECT_NE(kBlue, platform::headless::WindowPixel(bar.m_hWnd, 1, 15));  // below them
    EXPECT_NE(kBlue, platform::headless::WindowPixel(bar.m_hWnd, 191, 10)); // not lit yet

    // The percentage is dark text on the button face in the middle.
    int nDark = 0;
    for (int x = 80; x < 120; ++x) {
        for (int y = 2; y < 18; ++y) {
            COLORREF c = platform::headless::WindowPixel(bar.m_hWnd, x, y);
            nDark += GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64;
        }
    }
    EXPECT_GT(nDark, 10);

    struct Case {
        int count, pos;
        const char* text;
        int lit;
    };
    const Case cases[] = {
        {0, 5, " 0% ", 0},       // no count: nothing done
        {100, 42, " 42% ", 8},   // 0.42 x 20 = 8.4
        {3, 1, " 33% ", 6},      // 6.67 truncated
        {10, 30, " 100% ", 60},  // beyond the count: clipped blocks, 100 at most
        {10, -3, " 0% ", -6},    // never a negative percentage
        {1, INT_MAX, " 100% ", INT_MAX},
    };
    for (const Case& c : cases) {
        bar.SetRange(c.count);
        bar.SetPos(c.pos);
        EXPECT_STREQ(c.text, bar.GetPercentText()) << c.count << " " << c.pos;
        EXPECT_EQ(c.lit, bar.GetLitBlocks()) << c.count << " " << c.pos;
    }
    // Every visible block of the over-full bar is lit; painting it is quick.
    EXPECT_EQ(kBlue, platform::headless::WindowPixel(bar.m_hWnd, 191, 10));
    EXPECT_DOUBLE_EQ(double(INT_MAX), bar.GetFraction());
}

TEST_F(ProgressDlgTest, CancelAndEscapeRaiseTheFlagAndKeepTheWindow)
{
    CProgressDlg dlg(&m_main, TRUE);
    dlg.SetMessage(270);
    dlg.SetRange(25);
    dlg.SetPos(0);

    // The caller's loop: the Cancel button is clicked while step 5 runs;
    // the pump of the next SetPos delivers it and the loop stops.
    int nSteps = 0;
    for (int step = 0; step < 25; ++step) {
        if (dlg.m_bCancelled)
            break;
        if (step == 4) {
            CRect rc;
            ::GetWindowRect(::GetDlgItem(dlg.m_hWnd, IDCANCEL), &rc);
            platform::headless::Click(rc.CenterPoint().x, rc.CenterPoint().y);
        }
        ++nSteps;
        dlg.SetPos(step + 1);
    }
    EXPECT_EQ(5, nSteps);
    EXPECT_TRUE(dlg.m_bCancelled);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    EXPECT_TRUE(dlg.IsWindowVisible());

    // Escape goes through the dialog manager inside the pump as well.
    dlg.m_bCancelled = FALSE;
    ::SetFocus(::GetDlgItem(dlg.m_hWnd, IDCANCEL));
    platform::headless::TypeKey(VK_ESCAPE);
    dlg.SetPos(6);
    dlg.SetPos(7);
    EXPECT_TRUE(dlg.m_bCancelled);
    EXPECT_TRUE(dlg.IsWindowVisible());
}

TEST_F(ProgressDlgTest, PumpDispatchesWaitingMessagesAndKeepsQuit)
{
    CProgressDlg dlg(&m_main, TRUE);
    dlg.SetRange(10);
    ::PostMessage(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ::PostQuitMessage(7);
    dlg.SetPos(1);
    EXPECT_TRUE(dlg.m_bCancelled);
    // The outer loop still learns that the program is to end.
    MSG msg{};
    ASSERT_TRUE(::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, unsigned(msg.wParam));
    EXPECT_EQ(1, dlg.m_pBar->m_nPos);
}

} // namespace
