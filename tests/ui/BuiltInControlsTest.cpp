#include "platform/ui/Headless.h"
#include "platform/ui/Messages.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

namespace {

// The standard controls are there as soon as the window system is, without
// a dialog or any set-up call, and again after a reset.
TEST(BuiltInControls, WorkWithoutADialogAndAfterAReset)
{
    for (int round = 0; round < 2; ++round) {
        platform::headless::Reset();
        HWND parent = CreateWindowEx(0, "Static", "parent", WS_POPUP, 0, 0, 200, 200, NULL, NULL, NULL, NULL);
        ASSERT_NE(parent, nullptr);
        HWND check = CreateWindowEx(0, "Button", "&Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, 0, 80, 20,
            parent, (HMENU)(INT_PTR)10, NULL, NULL);
        HWND list = CreateWindowEx(0, "ListBox", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 0, 30, 80, 60, parent,
            (HMENU)(INT_PTR)11, NULL, NULL);
        HWND edit = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE, 0, 100, 80, 20, parent,
            (HMENU)(INT_PTR)12, NULL, NULL);
        ASSERT_TRUE(check && list && edit);

        SendMessage(check, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, (LPARAM) "one"), 0);
        EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 1);
        SetWindowText(edit, "typed");
        char text[16] = {};
        GetWindowText(edit, text, sizeof text);
        EXPECT_STREQ(text, "typed");
        DestroyWindow(parent);
    }
    platform::headless::Reset();
}

} // namespace
