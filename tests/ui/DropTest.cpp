#include "tests/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;

namespace {

class DropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        // A captioned frame at (100, 100) with a child filling part of it.
        top = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 500, 400});
        child = MakeChild(top, 7, RECT{10, 20, 110, 120});
        Pump();
        Rec().Clear();
    }
    void TearDown() override { platform::headless::Reset(); }

    // The drops the windows got, after pumping.
    std::vector<Seen> Drops()
    {
        Pump();
        std::vector<Seen> out;
        for (const Seen& s : Rec().log)
            if (s.message == WM_DROPFILES)
                out.push_back(s);
        return out;
    }

    POINT ClientToScreenPoint(HWND hwnd, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(hwnd, &p);
        return p;
    }

    HWND top = NULL;
    HWND child = NULL;
};

TEST_F(DropTest, FilesGoToTheAcceptingWindowUnderThePointInWindowsForm)
{
    DragAcceptFiles(top, TRUE);
    EXPECT_TRUE(GetWindowLong(top, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    // The child does not accept files, so its parent gets them, with the
    // point in its own client coordinates.
    POINT p = ClientToScreenPoint(child, 5, 6);
    platform::headless::DropFiles(
        top, {"/nonexistent-tw/d\xC3\xA9j\xC3\xA0.shr", "/nonexistent-tw/b.txt"}, p.x, p.y);
    auto drops = Drops();
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].hwnd, top);
    HDROP drop = (HDROP)drops[0].wParam;

    EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFF, NULL, 0), 2u);
    const std::string first = "C:\\nonexistent-tw\\d\xE9j\xE0.shr";
    EXPECT_EQ(DragQueryFile(drop, 0, NULL, 0), first.size());
    char name[260];
    EXPECT_EQ(DragQueryFile(drop, 0, name, sizeof name), first.size());
    EXPECT_EQ(std::string(name), first);
    EXPECT_EQ(DragQueryFile(drop, 1, name, 6), 5u);
    EXPECT_STREQ(name, "C:\\no");
    EXPECT_EQ(DragQueryFile(drop, 2, name, sizeof name), 0u);

    POINT at{};
    EXPECT_TRUE(DragQueryPoint(drop, &at));
    EXPECT_EQ(at.x, 15);
    EXPECT_EQ(at.y, 26);

    DragFinish(drop);
    EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFF, NULL, 0), 0u);
    EXPECT_FALSE(DragQueryPoint(drop, &at));
}

TEST_F(DropTest, TheDeepestAcceptingWindowWins)
{
    DragAcceptFiles(top, TRUE);
    DragAcceptFiles(child, TRUE);
    POINT p = ClientToScreenPoint(child, 1, 1);
    platform::headless::DropFiles(top, {"/tmp/a"}, p.x, p.y);
    auto drops = Drops();
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].hwnd, child);
    DragFinish((HDROP)drops[0].wParam);

    // Outside the child the parent takes them; on its caption too, where
    // DragQueryPoint says the point is not in the client area.
    Rec().Clear();
    POINT caption{300, 108};
    platform::headless::DropFiles(top, {"/tmp/a"}, caption.x, caption.y);
    drops = Drops();
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].hwnd, top);
    POINT at{};
    EXPECT_FALSE(DragQueryPoint((HDROP)drops[0].wParam, &at));
    EXPECT_LT(at.y, 0);
    DragFinish((HDROP)drops[0].wParam);
}

TEST_F(DropTest, WindowsThatDoNotAcceptFilesGetNothing)
{
    POINT p = ClientToScreenPoint(top, 200, 200);
    platform::headless::DropFiles(top, {"/tmp/a"}, p.x, p.y);
    EXPECT_TRUE(Drops().empty());

    DragAcceptFiles(top, TRUE);
    DragAcceptFiles(top, FALSE);
    platform::headless::DropFiles(top, {"/tmp/a"}, p.x, p.y);
    EXPECT_TRUE(Drops().empty());

    // Nor does a disabled window (a modal dialog is up), nor a drop of
    // nothing usable.
    DragAcceptFiles(top, TRUE);
    EnableWindow(top, FALSE);
    platform::headless::DropFiles(top, {"/tmp/a"}, p.x, p.y);
    EXPECT_TRUE(Drops().empty());
    EnableWindow(top, TRUE);
    platform::headless::DropFiles(top, {"", std::string(5000, 'a')}, p.x, p.y);
    EXPECT_TRUE(Drops().empty());
}

TEST_F(DropTest, ForgedHandlesAreRefused)
{
    char name[16] = "unchanged";
    EXPECT_EQ(DragQueryFile((HDROP)0x1234, 0xFFFFFFFF, NULL, 0), 0u);
    EXPECT_EQ(DragQueryFile(NULL, 0, name, sizeof name), 0u);
    EXPECT_STREQ(name, "unchanged");
    DragFinish((HDROP)0x5200000001000001ull);
}

} // namespace
