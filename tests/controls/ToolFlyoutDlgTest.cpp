// The flyout chooser on the headless back end: its size and place beside
// the cursor, the frames it paints, the keys that move round the frames and
// close it, and the clicks that choose or cancel.

#include "controls/ToolFlyoutDlg.h"

#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "tests/framework/FrameworkTestSupport.h"

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::headless::KeyDown;
using platform::headless::KeyUp;
using platform::headless::MoveMouse;
using platform::headless::PressMouse;
using platform::headless::ReleaseMouse;
using platform::headless::TypeKey;

constexpr int kFrameWidth = 20;
constexpr int kFrameHeight = 10;

COLORREF FrameColour(int i)
{
    return RGB(40 * (i + 1), 200 - 30 * i, 10 * i);
}

class ToolFlyoutDlgTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        MakeApp();
        ASSERT_TRUE(m_owner.CreateEx(0, AfxDefaultWndClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, NULL, NULL));
        App()->m_pMainWnd = &m_owner;
        m_owner.SetActiveWindow();
        MoveMouse(300, 200);
        Pump();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        App()->m_pMainWnd = nullptr;
        m_strip.DeleteObject();
        FrameworkTest::TearDown();
    }

    // A strip of nFrames frames, each filled with its own colour.
    HBITMAP MakeStrip(int nFrames)
    {
        m_strip.DeleteObject();
        CClientDC screen(nullptr);
        EXPECT_TRUE(m_strip.CreateCompatibleBitmap(&screen, kFrameWidth, kFrameHeight * nFrames));
        CDC dc;
        dc.CreateCompatibleDC(&screen);
        CBitmap* pOld = dc.SelectObject(&m_strip);
        for (int i = 0; i < nFrames; ++i)
            dc.FillSolidRect(0, kFrameHeight * i, kFrameWidth, kFrameHeight, FrameColour(i));
        dc.SelectObject(pOld);
        return HBITMAP(m_strip.GetSafeHandle());
    }

    // Runs a chooser of nFrames frames; pAction runs once, on the chooser,
    // when it is up and idle (it may inject input and is then done).
    INT_PTR Run(int nFrames, std::function<void(CToolFlyoutDlg&)> action, int* pnSelected = nullptr)
    {
        CToolFlyoutDlg dlg(MakeStrip(nFrames), nFrames, &m_owner);
        bool bDone = false;
        platform::headless::SetIdleHandler([&]() {
            if (bDone || dlg.m_hWnd == NULL || !dlg.IsWindowVisible())
                return false;
            bDone = true;
            action(dlg);
            return true;
        });
        const INT_PTR nResult = dlg.DoModal();
        platform::headless::SetIdleHandler(nullptr);
        if (pnSelected != nullptr)
            *pnSelected = dlg.GetSelectedIndex();
        return nResult;
    }

    // Types the keys (Shift held for the ones given as -vk), then Enter,
    // and answers the index chosen; -1 when the chooser did not end with OK.
    int IndexAfterKeys(int nFrames, const std::vector<int>& keys)
    {
        int nSelected = -1;
        const INT_PTR nResult = Run(
            nFrames,
            [&](CToolFlyoutDlg&) {
                for (int key : keys) {
                    if (key < 0)
                        KeyDown(VK_SHIFT);
                    TypeKey(UINT(key < 0 ? -key : key));
                    if (key < 0)
                        KeyUp(VK_SHIFT);
                }
                TypeKey(VK_RETURN);
            },
            &nSelected);
        return nResult == IDOK ? nSelected : -1;
    }

    CWnd m_owner;
    CBitmap m_strip;
};

} // namespace

TEST_F(ToolFlyoutDlgTest, SizesItselfToItsCellsAndSitsBesideTheCursor)
{
    const int cxFrame = ::GetSystemMetrics(SM_CXDLGFRAME);
    const int cyFrame = ::GetSystemMetrics(SM_CYDLGFRAME);
    const int cell = kFrameWidth + 8;
    const int cellHeight = kFrameHeight + 8;
    const int width = 2 * (cxFrame + cell);
    const int screen = ::GetSystemMetrics(SM_CXSCREEN);
    // The first cursor x at which the window would reach the screen's edge.
    const int reaching = screen - width + 16;
    struct Case {
        int frames;
        int rows;
        int cursorX;
        int left; // INT_MIN: the client area stays at the owner's corner
    } cases[] = {
        {1, 1, 300, 284},
        {3, 2, 300, 284},
        {5, 3, reaching - 1, reaching - 17},
        {2, 1, reaching, reaching + 16 - width},
        {2, 1, screen - 1, screen + 15 - width},
        {2, 1, 0, INT_MIN},
    };
    for (const Case& c : cases) {
        MoveMouse(c.cursorX, 200);
        Pump();
        CRect window;
        CPoint clientOrigin(0, 0);
        EXPECT_EQ(IDCANCEL, Run(c.frames, [&](CToolFlyoutDlg& dlg) {
            dlg.GetWindowRect(&window);
            dlg.ClientToScreen(&clientOrigin);
            TypeKey(VK_ESCAPE);
        }));
        EXPECT_EQ(CSize(width, c.rows * cellHeight + 2 * cyFrame), window.Size()) << c.frames << " frames";
        if (c.left == INT_MIN)
            EXPECT_EQ(CPoint(0, 0), clientOrigin);
        else
            EXPECT_EQ(CPoint(c.left, 184), window.TopLeft()) << "cursor at " << c.cursorX;
    }
}

TEST_F(ToolFlyoutDlgTest, KeysMoveRoundTheFramesWrappingAtBothEndsAndCloseIt)
{
    struct Case {
        int frames;
        std::vector<int> keys; // -vk: with Shift held
        int expected;
    } cases[] = {
        // One frame: every step stays on it.
        {1, {VK_UP}, 0},
        {1, {VK_LEFT}, 0},
        {1, {VK_DOWN, VK_RIGHT, VK_TAB}, 0},
        {2, {VK_LEFT}, 1},
        {2, {VK_UP}, 0},
        {2, {VK_RIGHT, VK_DOWN}, 1},
        {2, {-VK_TAB}, 1},
        {3, {VK_LEFT}, 2},
        {3, {VK_LEFT, VK_DOWN}, 1},
        {3, {VK_UP}, 1},
        {3, {VK_DOWN, VK_DOWN}, 1},
        {3, {VK_TAB, VK_TAB, VK_TAB}, 0},
        {3, {-VK_TAB}, 2},
        {3, {VK_SHIFT, VK_RIGHT}, 1},
        // A count of 0 is one frame, not a division by zero.
        {0, {VK_UP, VK_LEFT}, 0},
        // Space takes the selection; Escape, a letter or another key cancel.
        {3, {VK_RIGHT, VK_SPACE}, 1},
        {3, {VK_RIGHT, VK_ESCAPE}, -1},
        {3, {'A'}, -1},
        {3, {VK_F1}, -1},
    };
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, IndexAfterKeys(c.frames, c.keys)) << "row " << row;
        ++row;
    }
}

TEST_F(ToolFlyoutDlgTest, ClicksChooseTheCellUnderThePointerAndCancelElsewhere)
{
    // Client point (x, y) of the chooser in screen coordinates.
    auto at = [](CToolFlyoutDlg& dlg, int x, int y) {
        CPoint point(x, y);
        dlg.ClientToScreen(&point);
        return point;
    };
    const int cell = kFrameWidth + 8;
    const int cellHeight = kFrameHeight + 8;
    struct Case {
        int frames;
        int x;
        int y;
        INT_PTR result;
        int selected;
    } cases[] = {
        {3, 5, 5, IDOK, 0},
        {3, cell + 1, 2, IDOK, 1},
        {3, 3, cellHeight + 3, IDOK, 2},
        {4, cell + 3, cellHeight + 3, IDOK, 3},
        // The empty cell beside the last of an odd count chooses nothing.
        {3, cell + 3, cellHeight + 3, IDCANCEL, 0},
        {3, -20, 5, IDCANCEL, 0},
    };
    for (const Case& c : cases) {
        int nSelected = -1;
        bool bCaptured = false;
        const INT_PTR nResult = Run(c.frames, [&](CToolFlyoutDlg& dlg) {
            bCaptured = ::GetCapture() == dlg.m_hWnd;
            const CPoint point = at(dlg, c.x, c.y);
            PressMouse(0, point.x, point.y);
            ReleaseMouse(0, point.x, point.y);
        }, &nSelected);
        EXPECT_TRUE(bCaptured);
        EXPECT_EQ(c.result, nResult) << c.frames << " frames at " << c.x << "," << c.y;
        EXPECT_EQ(c.selected, nSelected) << c.frames << " frames at " << c.x << "," << c.y;
        EXPECT_EQ(HWND(NULL), ::GetCapture());
    }

    // A press outside closes at once, and a right button never chooses.
    EXPECT_EQ(IDCANCEL, Run(3, [&](CToolFlyoutDlg& dlg) {
        const CPoint point = at(dlg, -5, -5);
        PressMouse(1, point.x, point.y);
    }));
    EXPECT_EQ(IDCANCEL, Run(3, [&](CToolFlyoutDlg& dlg) {
        const CPoint point = at(dlg, cell + 3, 3);
        PressMouse(1, point.x, point.y);
        ReleaseMouse(1, point.x, point.y);
    }));
}

TEST_F(ToolFlyoutDlgTest, PaintsEachFrameInItsCellAndFramesTheSelectedOne)
{
    const int cell = kFrameWidth + 8;
    const int cellHeight = kFrameHeight + 8;
    std::vector<COLORREF> inside;
    COLORREF focusBefore = CLR_INVALID;
    COLORREF focusAfter = CLR_INVALID;
    COLORREF margin = CLR_INVALID;
    Run(3, [&](CToolFlyoutDlg& dlg) {
        dlg.UpdateWindow();
        for (int i = 0; i < 3; ++i) {
            const int x = (i % 2) * cell + 4;
            const int y = (i / 2) * cellHeight + 4;
            inside.push_back(platform::headless::WindowPixel(dlg.m_hWnd, x + kFrameWidth / 2, y + kFrameHeight / 2));
        }
        margin = platform::headless::WindowPixel(dlg.m_hWnd, 1, 1);
        // The focus frame lies 2 pixels outside frame 0; moving the
        // selection takes it there from frame 1.
        focusBefore = platform::headless::WindowPixel(dlg.m_hWnd, cell + 2, 2);
        dlg.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
        dlg.UpdateWindow();
        focusAfter = platform::headless::WindowPixel(dlg.m_hWnd, cell + 2, 2);
        TypeKey(VK_ESCAPE);
    });
    ASSERT_EQ(3u, inside.size());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(FrameColour(i), inside[i]) << "frame " << i;
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), margin);
    EXPECT_EQ(margin, focusBefore);
    EXPECT_NE(margin, focusAfter);
}
