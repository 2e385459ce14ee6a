#include "tests/ui/UiTestSupport.h"

#include "platform/base/ResourceTables.h"
#include "platform/base/Resources.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

namespace hl = platform::headless;

const platform::AcceleratorEntry kKeys[] = {
    {FVIRTKEY | FCONTROL, 'N', 100},
    {FVIRTKEY, VK_ESCAPE, 32768},
    {FVIRTKEY | FCONTROL | FSHIFT, 'S', 102},
    {0, 'a', 500}, // the character itself
    {FVIRTKEY | FALT, VK_F4, SC_CLOSE},
};
const platform::AcceleratorTable kTable{kKeys, 5};
const platform::ResourceEntry kEntries[] = {
    {nullptr, 9 /* RT_ACCELERATOR */, nullptr, 7702, &kTable, sizeof(kTable)},
};

HINSTANCE Support()
{
    platform::RegisterResourceModule(platform::ResourceModule::Support, platform::ResourceTable{kEntries, 1, nullptr, 0});
    return platform::GetResourceModuleHandle(platform::ResourceModule::Support);
}

class AcceleratorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hl::Reset();
        Rec() = Recorder();
        frame = MakeTopLevel();
        SetFocus(frame);
        Pump();
        Rec().Clear();
        accel = LoadAccelerators(Support(), MAKEINTRESOURCE(7702));
    }
    void TearDown() override
    {
        hl::SetIdleHandler(nullptr);
        hl::Reset();
    }

    // The program's loop with the frame's table, fed by `inject` once.
    void RunWith(const std::function<void()>& inject)
    {
        auto done = std::make_shared<bool>(false);
        hl::SetIdleHandler([inject, done] {
            if (*done)
                return false;
            *done = true;
            inject();
            return true;
        });
        MSG msg;
        for (int i = 0; i < 10000 && GetMessage(&msg, NULL, 0, 0) > 0; ++i) {
            if (TranslateAccelerator(frame, accel, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
        hl::SetIdleHandler(nullptr);
    }

    std::vector<WPARAM> Sent(UINT message)
    {
        std::vector<WPARAM> out;
        for (const Seen& s : Rec().log)
            if (s.hwnd == frame && s.message == message)
                out.push_back(s.wParam);
        return out;
    }

    HWND frame = NULL;
    HACCEL accel = NULL;
};

TEST_F(AcceleratorTest, KeysBecomeCommandsBeforeDispatch)
{
    ASSERT_NE(accel, nullptr);
    RunWith([] {
        hl::KeyDown(VK_CONTROL);
        hl::TypeKey('N');
        hl::KeyUp(VK_CONTROL);
        hl::TypeKey(VK_ESCAPE);
        hl::KeyDown(VK_CONTROL);
        hl::TypeKey('S'); // Shift is part of that entry: no match
        hl::KeyUp(VK_CONTROL);
        hl::TypeKey('A', 'a');
    });
    EXPECT_THAT(Sent(WM_COMMAND), ElementsAre(MAKEWPARAM(100, 1), MAKEWPARAM(32768, 1), MAKEWPARAM(500, 1)));
    // Translated keys never reach the window as keys.
    for (WPARAM key : Sent(WM_KEYDOWN)) {
        EXPECT_NE(key, WPARAM('N'));
        EXPECT_NE(key, WPARAM(VK_ESCAPE));
    }
    EXPECT_THAT(Sent(WM_KEYDOWN), ::testing::Contains(WPARAM('S')));
}

TEST_F(AcceleratorTest, MenuItemsAreBroughtUpToDateAndDisabledOnesGiveNoCommand)
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenu(file, MF_STRING, 100, "&New\tCtrl+N");
    AppendMenu(bar, MF_POPUP, UINT_PTR(file), "&File");
    SetMenu(frame, bar);
    Rec().handlers[frame] = [&](HWND, UINT m, WPARAM w, LPARAM, LRESULT&) {
        if (m == WM_INITMENUPOPUP && HMENU(w) == file)
            EnableMenuItem(file, 100, MF_BYCOMMAND | MF_GRAYED);
        return false;
    };
    Rec().Clear();
    MSG msg{frame, WM_KEYDOWN, 'N', 1, 0, {0, 0}};
    hl::KeyDown(VK_CONTROL);
    Pump();
    Rec().Clear();
    EXPECT_EQ(TranslateAccelerator(frame, accel, &msg), 1);
    EXPECT_THAT(Rec().MessagesOf(frame), ElementsAre(WM_INITMENU, WM_INITMENUPOPUP));
    EXPECT_TRUE(Sent(WM_COMMAND).empty());

    // Enabled again, the item's key gives its command.
    Rec().handlers.clear();
    EnableMenuItem(file, 100, MF_BYCOMMAND | MF_ENABLED);
    Rec().Clear();
    EXPECT_EQ(TranslateAccelerator(frame, accel, &msg), 1);
    EXPECT_THAT(Sent(WM_COMMAND), ElementsAre(MAKEWPARAM(100, 1)));
    hl::KeyUp(VK_CONTROL);
    Pump();

    // The window menu's commands come as WM_SYSCOMMAND.
    Rec().Clear();
    MSG altF4{frame, WM_SYSKEYDOWN, VK_F4, LPARAM(KF_ALTDOWN) << 16, 0, {0, 0}};
    EXPECT_EQ(TranslateAccelerator(frame, accel, &altF4), 1);
    EXPECT_THAT(Sent(WM_SYSCOMMAND), ElementsAre(MAKEWPARAM(SC_CLOSE, 1)));
}

TEST_F(AcceleratorTest, TablesAreCopiedCreatedAndDestroyed)
{
    EXPECT_EQ(LoadAccelerators(Support(), MAKEINTRESOURCE(7702)), accel);
    EXPECT_EQ(LoadAccelerators(Support(), MAKEINTRESOURCE(7703)), nullptr);
    EXPECT_EQ(CopyAcceleratorTable(accel, nullptr, 0), 5);
    ACCEL two[2] = {};
    EXPECT_EQ(CopyAcceleratorTable(accel, two, 2), 2);
    EXPECT_EQ(two[1].key, WORD(VK_ESCAPE));
    EXPECT_EQ(two[1].cmd, 32768);

    ACCEL mine[1] = {{FVIRTKEY, VK_DELETE, 7}};
    HACCEL made = CreateAcceleratorTable(mine, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(CreateAcceleratorTable(mine, 0), nullptr);
    EXPECT_EQ(CreateAcceleratorTable(nullptr, 3), nullptr);
    ASSERT_TRUE(DestroyAcceleratorTable(made));
    SetLastError(0);
    EXPECT_FALSE(DestroyAcceleratorTable(made));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ACCEL_HANDLE));
    MSG msg{frame, WM_KEYDOWN, VK_DELETE, 1, 0, {0, 0}};
    EXPECT_EQ(TranslateAccelerator(frame, made, &msg), 0);

    // A destroyed resource table is loaded afresh.
    ASSERT_TRUE(DestroyAcceleratorTable(accel));
    HACCEL again = LoadAccelerators(Support(), MAKEINTRESOURCE(7702));
    EXPECT_NE(again, nullptr);
    EXPECT_NE(again, accel);
}

} // namespace
