// The menu bar of the main frame reached from the keyboard: the program's
// own key handling (splash, accelerators) must leave Alt+letter to the menu.

#include "MainFrameTestSupport.h"

#include "platform/ui/internal/MenuData.h"

#include <cstring>

namespace mainframetest {
namespace {

namespace hl = platform::headless;
using mainframetest::RunAppLoop;
using mainframetest::Script;

std::vector<HWND> OpenPopups()
{
    std::vector<HWND> out;
    for (HWND w = ::GetWindow(::GetDesktopWindow(), GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        char name[32] = {};
        ::GetClassName(w, name, sizeof(name));
        if (std::strcmp(name, "#32768") == 0 && ::IsWindowVisible(w))
            out.push_back(w);
    }
    return out;
}

TEST_F(MainFrameTest, AltLetterOpensItsMenuAndTheReleaseOfAltKeepsItOpen)
{
    ASSERT_NE(StartFrame(), nullptr);
    std::vector<size_t> open;
    std::vector<int> item;
    auto look = [&] {
        open.push_back(OpenPopups().size());
        item.push_back(platform::TrackedBarItem(MainWindow()));
    };
    Script({
        [] {
            hl::KeyDown(VK_MENU);
            hl::TypeKey('V');
        },
        [&] {
            look();
            hl::KeyUp(VK_MENU);
        },
        [&] {
            look();
            hl::TypeKey(VK_ESCAPE);
            hl::TypeKey(VK_ESCAPE);
        },
        [&] {
            look();
            // A letter no bar item has leaves the bar closed.
            hl::KeyDown(VK_MENU);
            hl::TypeKey('Q');
            hl::KeyUp(VK_MENU);
        },
        look,
    });
    RunAppLoop(m_app.get());
    ASSERT_EQ(open.size(), 4u);
    EXPECT_EQ(open[0], 1u);
    EXPECT_EQ(item[0], 2); // File, Edit, View
    EXPECT_EQ(open[1], 1u);
    EXPECT_EQ(open[2], 0u);
    EXPECT_EQ(item[2], -1);
    EXPECT_EQ(open[3], 0u);
    EXPECT_EQ(item[3], -1);
}

} // namespace
} // namespace mainframetest
