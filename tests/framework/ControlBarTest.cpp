#include "tests/framework/ControlBarTestSupport.h"

#include <cstring>
#include <iterator>

namespace bartest {

IMPLEMENT_DYNCREATE(CBarFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
    ON_COMMAND_RANGE(kCmdA, kCmdB, OnCommandRange)
    ON_COMMAND_RANGE(kCmdD, kCmdE, OnCommandRange)
    ON_UPDATE_COMMAND_UI(kCmdA, OnUpdateA)
    ON_UPDATE_COMMAND_UI(kCmdB, OnUpdateB)
    ON_UPDATE_COMMAND_UI(kCmdE, OnUpdateE)
    ON_UPDATE_COMMAND_UI(kCmdZoom, OnUpdateZoom)
    ON_UPDATE_COMMAND_UI(kPaneOutside, OnUpdateOutside)
    ON_MESSAGE(WM_SETMESSAGESTRING, OnPrompt)
END_MESSAGE_MAP()

namespace {

const WORD kToolbarItems[] = {kCmdA, kCmdB, 0, kCmdC, kCmdD};
const platform::ToolbarTemplate kToolbar = {16, 15, kToolbarItems, (WORD)std::size(kToolbarItems)};

// Four 16 x 15 images side by side: a packed 24-bit DIB.
const std::vector<unsigned char>& ToolbarBitmap()
{
    static const std::vector<unsigned char> bytes = [] {
        const int width = 64;
        const int height = 15;
        const int stride = (width * 3 + 3) & ~3;
        std::vector<unsigned char> b(40 + static_cast<size_t>(stride * height), 0);
        auto put32 = [&b](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
        };
        put32(0, 40);
        put32(4, width);
        put32(8, height);
        b[12] = 1;  // planes
        b[14] = 24; // bits per pixel
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                unsigned char* p = &b[40 + static_cast<size_t>(y * stride + x * 3)];
                p[0] = static_cast<unsigned char>(60 * (x / 16)); // a different colour per image
                p[1] = 40;
                p[2] = 200;
            }
        return b;
    }();
    return bytes;
}

const platform::DialogItemTemplate kDialogItems[] = {
    {BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 4, 4, 40, 14, kCmdA, "BUTTON", "A", 0},
    {BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 4, 20, 40, 14, kCmdC, "BUTTON", "C", 0},
    {BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 4, 36, 40, 14, kCmdE, "BUTTON", "E", 0},
    {SS_LEFT | WS_CHILD | WS_VISIBLE, 0, 0, 4, 52, 40, 8, -1, "STATIC", "label", 0},
};
// A popup with a caption on purpose: a bar is a frameless child whatever
// its template says.
const platform::DialogTemplate kDialog = {false, WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 60, 64, "Pad",
    nullptr, 0, "", 8, 400, 0, 0, "MS Sans Serif", kDialogItems, (WORD)std::size(kDialogItems)};

const char kStrA[] = "Apply the thing\nApply";
const char kStrB[] = "Bold text\nBold";
const char kStrC[] = "Nobody handles this";
const char kStrD[] = "Do it\nDo\nextra";
const char kStrCaps[] = "CAP";
const char kStrNum[] = "NUM";
const char kStrScrl[] = "SCRL";
const char kStrOutside[] = "-Outside Center-";
// Sorted by id, as string tables are.
const platform::StringEntry kStrings[] = {
    {kPaneOutside, sizeof(kStrOutside) - 1, kStrOutside},
    {kCmdA, sizeof(kStrA) - 1, kStrA},
    {kCmdB, sizeof(kStrB) - 1, kStrB},
    {kCmdC, sizeof(kStrC) - 1, kStrC},
    {kCmdD, sizeof(kStrD) - 1, kStrD},
    {ID_INDICATOR_CAPS, sizeof(kStrCaps) - 1, kStrCaps},
    {ID_INDICATOR_NUM, sizeof(kStrNum) - 1, kStrNum},
    {ID_INDICATOR_SCRL, sizeof(kStrScrl) - 1, kStrScrl},
};

} // namespace

void RegisterBarTestResources()
{
    static const platform::ResourceEntry entries[] = {
        {nullptr, 241 /* RT_TOOLBAR */, nullptr, kToolbarResource, &kToolbar, sizeof(kToolbar)},
        {nullptr, 2 /* RT_BITMAP */, nullptr, kToolbarResource, ToolbarBitmap().data(),
            static_cast<DWORD>(ToolbarBitmap().size())},
        {nullptr, 5 /* RT_DIALOG */, nullptr, kDialogResource, &kDialog, sizeof(kDialog)},
    };
    // The bundle keeps a pointer to the table: it must live as long.
    static const platform::ResourceTable table{entries, std::size(entries), kStrings, std::size(kStrings)};
    platform::RegisterResourceModule(platform::ResourceModule::Program, table);
}

namespace {

using ControlBarTest = BarFixture;

TEST_F(ControlBarTest, RepositionBarsGivesEachEdgeItsBarAndTheRestToTheView)
{
    CBarFrame* pFrame = MakeFrame();
    CBlockBar top(100, 30), bottom(100, 20), left(100, 40), right(100, 25);
    ASSERT_TRUE(top.Create(pFrame, WS_VISIBLE | CBRS_TOP, 0xE880));
    ASSERT_TRUE(bottom.Create(pFrame, WS_VISIBLE | CBRS_BOTTOM, 0xE881));
    ASSERT_TRUE(left.Create(pFrame, WS_VISIBLE | CBRS_LEFT, 0xE882));
    ASSERT_TRUE(right.Create(pFrame, WS_VISIBLE | CBRS_RIGHT, 0xE883));
    pFrame->RecalcLayout();

    CRect client = ClientRect();
    // Stretched bars span what is left of their edge, in Z order.
    EXPECT_EQ(ChildRect(top.m_hWnd), CRect(0, 0, client.right, 30));
    EXPECT_EQ(ChildRect(bottom.m_hWnd), CRect(0, client.bottom - 20, client.right, client.bottom));
    EXPECT_EQ(ChildRect(left.m_hWnd), CRect(0, 30, 40, client.bottom - 20));
    EXPECT_EQ(ChildRect(right.m_hWnd), CRect(client.right - 25, 30, client.right, client.bottom - 20));
    EXPECT_EQ(ViewRect(), CRect(40, 30, client.right - 25, client.bottom - 20));

    // A query moves nothing and reports the rest.
    CRect rest;
    pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rest);
    EXPECT_EQ(rest, CRect(40, 30, client.right - 25, client.bottom - 20));
    CRect sizes;
    pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &sizes, nullptr, FALSE);
    // Without stretching: rows add their thickness, columns their width.
    EXPECT_EQ(sizes, CRect(0, 0, 40 + 25 + 100, 100));
}

TEST_F(ControlBarTest, HiddenBarsTakeNoRoomAndShowAgainWhenAsked)
{
    CBarFrame* pFrame = MakeFrame();
    CBlockBar top(100, 30);
    ASSERT_TRUE(top.Create(pFrame, WS_VISIBLE | CBRS_TOP, 0xE880));
    pFrame->RecalcLayout();
    EXPECT_EQ(ViewRect().top, 30);

    pFrame->ShowControlBar(&top, FALSE, FALSE);
    EXPECT_FALSE(top.IsVisible());
    EXPECT_EQ(ViewRect().top, 0);

    // Delayed: visible at once as far as callers ask, laid out at idle.
    pFrame->ShowControlBar(&top, TRUE, TRUE);
    EXPECT_TRUE(top.IsVisible());
    EXPECT_FALSE(top.GetStyle() & WS_VISIBLE);
    IdleUpdate();
    EXPECT_TRUE(top.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(ViewRect().top, 30);
}

TEST_F(ControlBarTest, IdleUpdatesReachOnlyVisibleBars)
{
    CBarFrame* pFrame = MakeFrame();
    CBlockBar shown(100, 30), hidden(100, 20);
    ASSERT_TRUE(shown.Create(pFrame, WS_VISIBLE | CBRS_TOP, 0xE880));
    ASSERT_TRUE(hidden.Create(pFrame, CBRS_TOP, 0xE881));
    IdleUpdate();
    EXPECT_EQ(shown.m_updates, 1);
    EXPECT_EQ(hidden.m_updates, 0);
}

TEST_F(ControlBarTest, FrameListsItsBarsUntilTheyAreDestroyed)
{
    CBarFrame* pFrame = MakeFrame();
    auto bar = std::make_unique<CBlockBar>(10, 10);
    ASSERT_TRUE(bar->Create(pFrame, WS_VISIBLE | CBRS_TOP, 0xE884));
    EXPECT_EQ(pFrame->GetControlBar(0xE884), bar.get());
    EXPECT_EQ(bar->m_pDockSite, pFrame);
    bar->DestroyWindow();
    EXPECT_EQ(pFrame->GetControlBar(0xE884), nullptr);
    EXPECT_TRUE(std::find(pFrame->m_listControlBars.begin(), pFrame->m_listControlBars.end(), bar.get()) ==
        pFrame->m_listControlBars.end());
}

// A thin bar that is as long as any edge: CalcFixedLayout answers 32767 and
// the layout cuts it to the room there is.
class CRulerLikeBar : public CDialogBar {
public:
    int m_thickness = 18;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override
    {
        if (!bStretch)
            return CSize(m_thickness, m_thickness);
        return bHorz ? CSize(32767, m_thickness) : CSize(m_thickness, 32767);
    }
};

TEST_F(ControlBarTest, EdgeLongBarsAreCutToTheFrame)
{
    CBarFrame* pFrame = MakeFrame();
    CRulerLikeBar horz, vert;
    ASSERT_TRUE(horz.Create(pFrame, kDialogResource, CBRS_TOP, 59412));
    ASSERT_TRUE(vert.Create(pFrame, kDialogResource, CBRS_LEFT, 59413));
    pFrame->RecalcLayout();
    CRect client = ClientRect();
    EXPECT_EQ(ChildRect(horz.m_hWnd), CRect(0, 0, client.right, 18));
    EXPECT_EQ(ChildRect(vert.m_hWnd), CRect(0, 18, 18, client.bottom));
    EXPECT_EQ(ViewRect(), CRect(18, 18, client.right, client.bottom));
    EXPECT_EQ(horz.CalcFixedLayout(FALSE, TRUE), CSize(18, 18));
}

TEST_F(ControlBarTest, FlyByPromptFollowsThePointerOverButtons)
{
    CBarFrame* pFrame = MakeFrame();
    CStatusBar status;
    ASSERT_TRUE(status.Create(pFrame));
    const UINT indicators[] = {ID_SEPARATOR};
    ASSERT_TRUE(status.SetIndicators(indicators, 1));
    CToolBar toolbar;
    ASSERT_TRUE(toolbar.Create(pFrame, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(toolbar.LoadToolBar(kToolbarResource));
    toolbar.SetBarStyle(toolbar.GetBarStyle() | CBRS_FLYBY);
    pFrame->RecalcLayout();
    Pump();

    CRect button;
    toolbar.GetItemRect(0, &button);
    toolbar.ClientToScreen(&button);
    platform::headless::MoveMouse(button.CenterPoint().x, button.CenterPoint().y);
    Pump();
    ASSERT_FALSE(pFrame->m_prompts.empty());
    EXPECT_EQ(pFrame->m_prompts.back(), kCmdA);
    // The frame shows the first part of the command's string.
    EXPECT_EQ(status.GetPaneText(0), CString("Apply the thing"));

    // Over the separator: back to the idle prompt.
    CRect separator;
    toolbar.GetItemRect(2, &separator);
    toolbar.ClientToScreen(&separator);
    platform::headless::MoveMouse(separator.CenterPoint().x, separator.CenterPoint().y);
    Pump();
    EXPECT_EQ(pFrame->m_prompts.back(), static_cast<UINT>(AFX_IDS_IDLEMESSAGE));

    // Without CBRS_FLYBY nothing is sent.
    toolbar.SetBarStyle(toolbar.GetBarStyle() & ~CBRS_FLYBY);
    size_t before = pFrame->m_prompts.size();
    platform::headless::MoveMouse(button.CenterPoint().x, button.CenterPoint().y);
    Pump();
    EXPECT_EQ(pFrame->m_prompts.size(), before);
}

} // namespace
} // namespace bartest
