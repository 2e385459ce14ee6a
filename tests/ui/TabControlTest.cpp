// The tab control: items, the selection and who hears of its changes, and
// the geometry a property sheet places its pages by.

#include "tests/ui/InputTestFixture.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

namespace hl = platform::headless;

class TabControlTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
        parent = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300});
        Rec().handlers[parent] = [this](HWND, UINT m, WPARAM, LPARAM l, LRESULT& result) {
            if (m != WM_NOTIFY)
                return false;
            auto* header = reinterpret_cast<NMHDR*>(l);
            if (header->hwndFrom != tab)
                return false;
            notes.push_back(header->code);
            selAtNote.push_back(int(SendMessage(tab, TCM_GETCURSEL, 0, 0)));
            result = header->code == TCN_SELCHANGING && veto;
            return true;
        };
        tab = CreateWindowEx(0, WC_TABCONTROL, NULL, WS_CHILD | WS_VISIBLE, 10, 10, 300, 200, parent,
            HMENU(INT_PTR(12)), NULL, NULL);
        ASSERT_NE(tab, nullptr);
    }

    int Insert(int at, const char* text, LPARAM param = 0)
    {
        TCITEM item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<LPSTR>(text);
        item.lParam = param;
        return int(SendMessage(tab, TCM_INSERTITEM, at, LPARAM(&item)));
    }

    std::string Text(int i)
    {
        char buffer[64] = {};
        TCITEM item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        SendMessage(tab, TCM_GETITEM, i, LPARAM(&item));
        return buffer;
    }

    POINT CentreOf(int i)
    {
        RECT r{};
        SendMessage(tab, TCM_GETITEMRECT, i, LPARAM(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tab, &p);
        return p;
    }

    HWND parent = NULL, tab = NULL;
    bool veto = false;
    std::vector<UINT> notes;
    std::vector<int> selAtNote;
};

TEST_F(TabControlTest, ItemsInsertDeleteAndKeepTheSelectionOnItsItem)
{
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), -1);
    EXPECT_EQ(Insert(0, "General", 7), 0);
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0); // the first item is selected
    EXPECT_EQ(Insert(99, "Colours"), 1); // past the end: appended
    EXPECT_EQ(Insert(0, "Paper"), 0);
    EXPECT_EQ(SendMessage(tab, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1); // still "General"
    EXPECT_EQ(Text(1), "General");

    TCITEM item{};
    item.mask = TCIF_PARAM;
    ASSERT_TRUE(SendMessage(tab, TCM_GETITEM, 1, LPARAM(&item)));
    EXPECT_EQ(item.lParam, 7);
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>("Layout");
    ASSERT_TRUE(SendMessage(tab, TCM_SETITEM, 2, LPARAM(&item)));
    EXPECT_EQ(Text(2), "Layout");
    EXPECT_FALSE(SendMessage(tab, TCM_GETITEM, 3, LPARAM(&item)));

    EXPECT_TRUE(SendMessage(tab, TCM_DELETEITEM, 0, 0));
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(SendMessage(tab, TCM_DELETEITEM, 0, 0)); // the selected one
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), -1);
    EXPECT_FALSE(SendMessage(tab, TCM_DELETEITEM, 5, 0));
    SendMessage(tab, TCM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(SendMessage(tab, TCM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(notes.empty());
}

TEST_F(TabControlTest, SetCurSelIsSilentButTheUserIsAskedAndTold)
{
    Insert(0, "One");
    Insert(1, "Two");
    Insert(2, "Three");
    EXPECT_EQ(SendMessage(tab, TCM_SETCURSEL, 2, 0), 0);
    EXPECT_EQ(SendMessage(tab, TCM_SETCURSEL, 7, 0), -1);
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(notes.empty());

    hl::Click(CentreOf(0).x, CentreOf(0).y);
    PumpTranslated();
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_THAT(notes, ElementsAre(TCN_SELCHANGING, TCN_SELCHANGE));
    // Asked before the change, told after it.
    EXPECT_THAT(selAtNote, ElementsAre(2, 0));
    EXPECT_EQ(GetFocus(), tab);

    notes.clear();
    veto = true;
    hl::Click(CentreOf(1).x, CentreOf(1).y);
    PumpTranslated();
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_THAT(notes, ElementsAre(TCN_SELCHANGING));
}

TEST_F(TabControlTest, ArrowsAndCtrlTabMoveTheSelection)
{
    Insert(0, "One");
    Insert(1, "Two");
    Insert(2, "Three");
    SetFocus(tab);
    hl::TypeKey(VK_RIGHT);
    PumpTranslated();
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
    hl::KeyDown(VK_CONTROL);
    hl::TypeKey(VK_TAB);
    hl::TypeKey(VK_TAB); // round past the end to the first
    PumpTranslated();
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
    hl::KeyDown(VK_SHIFT);
    hl::TypeKey(VK_TAB);
    hl::KeyUp(VK_SHIFT);
    hl::KeyUp(VK_CONTROL);
    PumpTranslated();
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 2);
    hl::TypeKey(VK_RIGHT); // already the last
    PumpTranslated();
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 2);
}

TEST_F(TabControlTest, AdjustRectRoundTripsAndTabsSitSideBySide)
{
    Insert(0, "Short");
    Insert(1, "A much longer caption");
    RECT first{}, second{};
    ASSERT_TRUE(SendMessage(tab, TCM_GETITEMRECT, 0, LPARAM(&first)));
    ASSERT_TRUE(SendMessage(tab, TCM_GETITEMRECT, 1, LPARAM(&second)));
    EXPECT_EQ(second.left, first.right);
    EXPECT_GT(second.right - second.left, first.right - first.left);

    RECT r{0, 0, 300, 200};
    SendMessage(tab, TCM_ADJUSTRECT, FALSE, LPARAM(&r));
    EXPECT_GE(r.top, first.bottom); // the pages sit below the tabs
    EXPECT_GT(r.left, 0);
    SendMessage(tab, TCM_ADJUSTRECT, TRUE, LPARAM(&r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 200);
}

TEST_F(TabControlTest, ImageListIsKeptAndWidensTabs)
{
    Insert(0, "Pic");
    RECT before{};
    SendMessage(tab, TCM_GETITEMRECT, 0, LPARAM(&before));
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
    EXPECT_EQ(SendMessage(tab, TCM_SETIMAGELIST, 0, LPARAM(images)), 0);
    TCITEM item{};
    item.mask = TCIF_IMAGE;
    item.iImage = 0;
    SendMessage(tab, TCM_SETITEM, 0, LPARAM(&item));
    RECT after{};
    SendMessage(tab, TCM_GETITEMRECT, 0, LPARAM(&after));
    EXPECT_GE(after.right - after.left, before.right - before.left + 16);
    EXPECT_EQ(HIMAGELIST(SendMessage(tab, TCM_GETIMAGELIST, 0, 0)), images);
    DestroyWindow(tab);
    ImageList_Destroy(images);
}

// A page laid over the display area follows the control in Z order, as a
// property sheet places it: whatever makes the control repaint (the focus,
// the selection, a new font) must not paint over the page.
TEST_F(TabControlTest, RepaintsNeverCoverAPageLaidOverTheDisplayArea)
{
    Insert(0, "One");
    Insert(1, "Two");
    RECT area{0, 0, 300, 200};
    SendMessage(tab, TCM_ADJUSTRECT, FALSE, LPARAM(&area));
    MapWindowPoints(tab, parent, reinterpret_cast<POINT*>(&area), 2);
    HWND page = MakeChild(parent, 20, area);
    Rec().handlers[page] = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (m != WM_PAINT)
            return false;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &ps.rcPaint, red);
        DeleteObject(red);
        EndPaint(h, &ps);
        r = 0;
        return true;
    };
    PumpTranslated();
    ASSERT_EQ(hl::WindowPixel(page, 10, 10), RGB(255, 0, 0));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_EQ(hl::WindowPixel(tab, 3, 150), face) << "the panel around the page";

    struct Change {
        const char* name;
        std::function<void()> make;
    };
    const Change changes[] = {
        {"focus taken", [this] { SetFocus(tab); }},
        {"focus left", [page] { SetFocus(page); }},
        {"selection", [this] { SendMessage(tab, TCM_SETCURSEL, 1, 0); }},
        {"font", [this] { SendMessage(tab, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE); }},
    };
    for (const Change& change : changes) {
        change.make();
        PumpTranslated();
        EXPECT_EQ(hl::WindowPixel(page, 10, 10), RGB(255, 0, 0)) << change.name;
        EXPECT_EQ(hl::WindowPixel(page, area.right - area.left - 2, area.bottom - area.top - 2), RGB(255, 0, 0))
            << change.name;
    }
}

} // namespace
