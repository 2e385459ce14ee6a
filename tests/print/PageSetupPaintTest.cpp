// Page Setup on screen: a change of one control on a page repaints that
// control and leaves the rest of the page drawn. The pixels of the sheet are
// read back before and after the change and compared outside the controls
// that changed.

#include "print/PageSetup.h"

#include "controls/ChoiceGrid.h"
#include "platform/framework/PropertySheet.h"
#include "print/PageSetupSheet.h"
#include "resources/resource.h"
#include "tests/main/AppTestSupport.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

using platform::headless::WindowPixel;

// Runs one step per idle turn against the active window (the sheet); the
// loop paints everything pending before it is idle.
void RunSteps(std::vector<std::function<void(HWND)>> steps)
{
    auto next = std::make_shared<size_t>(0);
    platform::headless::SetIdleHandler([steps = std::move(steps), next]() {
        HWND hSheet = ::GetActiveWindow();
        if (!hSheet || *next >= steps.size())
            return false;
        steps[(*next)++](hSheet);
        return true;
    });
}

HWND CurrentPage(HWND hSheet)
{
    return HWND(::SendMessage(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// The client pixels of a window, row by row.
struct Snapshot {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    static Snapshot Of(HWND hWnd)
    {
        Snapshot s;
        RECT rc{};
        ::GetClientRect(hWnd, &rc);
        s.width = rc.right;
        s.height = rc.bottom;
        s.pixels.reserve(size_t(s.width) * size_t(s.height));
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                s.pixels.push_back(WindowPixel(hWnd, x, y));
        return s;
    }
    COLORREF At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Rectangles of the page's client area, from controls given by id.
std::vector<RECT> ControlRects(HWND hPage, const std::vector<int>& ids)
{
    std::vector<RECT> rects;
    for (int nID : ids) {
        HWND hCtl = ::GetDlgItem(hPage, nID);
        RECT rc{};
        ::GetWindowRect(hCtl, &rc);
        ::MapWindowPoints(NULL, hPage, reinterpret_cast<POINT*>(&rc), 2);
        rects.push_back(rc);
    }
    return rects;
}

// The pixels that differ between two snapshots of the same page outside
// the given rectangles, and how many pixels of the page are not its face.
struct Difference {
    int changedOutside = 0;
    int drawnBefore = 0;
};

Difference Compare(const Snapshot& before, const Snapshot& after, const std::vector<RECT>& allowed)
{
    Difference d;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (int y = 0; y < before.height && y < after.height; ++y) {
        for (int x = 0; x < before.width && x < after.width; ++x) {
            if (before.At(x, y) != face)
                ++d.drawnBefore;
            bool inside = false;
            POINT p{x, y};
            for (const RECT& r : allowed)
                inside = inside || ::PtInRect(&r, p);
            if (!inside && before.At(x, y) != after.At(x, y))
                ++d.changedOutside;
        }
    }
    return d;
}

class PageSetupPaintTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start());
        apptest::TakePosted(MainWindow(), WM_COMMAND);
    }
};

constexpr int kKindGrid = int(CChoiceGrid::kFirstControlId) + kKindGridNumber;

void ClickCell(HWND hPage, int nCell)
{
    auto* pGrid = dynamic_cast<CChoiceGrid*>(CWnd::FromHandlePermanent(::GetDlgItem(hPage, kKindGrid)));
    ASSERT_NE(nullptr, pGrid);
    POINT p = pGrid->GetCellRect(nCell).CenterPoint();
    ::ClientToScreen(pGrid->m_hWnd, &p);
    platform::headless::Click(p.x, p.y);
}

void ClickControl(HWND hWnd, int nID)
{
    RECT rc{};
    ::GetWindowRect(::GetDlgItem(hWnd, nID), &rc);
    platform::headless::Click(rc.left + 4, (rc.top + rc.bottom) / 2);
}

// A control changed by the mouse or by its mnemonic redraws itself (and a
// grid the cell it unmarked); the labels and other
// controls of the page stay drawn, whichever control had the focus before.
TEST_F(PageSetupPaintTest, ChangingOneControlKeepsTheRestOfThePageDrawn)
{
    struct Road {
        const char* name;
        int nPage;
        std::function<void(HWND hSheet)> act;
        std::vector<int> changed; // controls of the page that may look different
    };
    const Road roads[] = {
        {"cell clicked", 0, [](HWND h) { ClickCell(CurrentPage(h), 5); }, {kKindGrid}},
        {"grid by mnemonic", 0,
            [](HWND) {
                platform::headless::KeyDown(VK_MENU);
                platform::headless::TypeKey('P');
                platform::headless::KeyUp(VK_MENU);
            },
            {kKindGrid}},
        {"field clicked", 2, [](HWND h) { ClickControl(CurrentPage(h), IDC_PS_CARD_WIDTH); }, {IDC_PS_CARD_WIDTH}},
        {"help clicked", 0, [](HWND h) { ClickControl(h, IDHELP); }, {}},
    };
    platform::SetAfxMessageBoxHandler([](LPCSTR, UINT, UINT) { return IDOK; });
    for (const Road& road : roads) {
        Snapshot before;
        Difference d;
        RunSteps({
            [&](HWND h) { ::SendMessage(h, PSM_SETCURSEL, WPARAM(road.nPage), 0); },
            [&](HWND h) { before = Snapshot::Of(CurrentPage(h)); },
            [&](HWND h) { road.act(h); },
            [&](HWND h) {
                HWND hPage = CurrentPage(h);
                d = Compare(before, Snapshot::Of(hPage), ControlRects(hPage, road.changed));
            },
            [&](HWND h) { ::PostMessage(h, WM_COMMAND, IDCANCEL, 0); },
        });
        EXPECT_EQ(0, RunPageSetup(4, 1, TRUE, 0, 0, m_app->m_pMainWnd)) << road.name;
        EXPECT_GT(d.drawnBefore, 500) << road.name << ": the page was drawn before";
        EXPECT_EQ(0, d.changedOutside) << road.name;
    }
    platform::SetAfxMessageBoxHandler(nullptr);
}

} // namespace
