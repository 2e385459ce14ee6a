// Drive lists in a dialog's combo box.

#include "tests/ui/UiTestSupport.h"

#include "platform/files/DriveTable.h"

#include <gtest/gtest.h>

#include <string>

using namespace uitest;

namespace {

class DlgDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        platform::MountEnvironment env;
        platform::SetDriveTable(
            platform::DriveTable::Build("", "D=/tmp:cdrom:DISC;E=/var/tmp:removable:STICK", env));
        dlg = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200});
        combo = CreateWindowEx(0, "ComboBox", NULL, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 150, 120, dlg,
            HMENU(INT_PTR(1137)), NULL, NULL);
        CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE, 10, 40, 150, 20, dlg, HMENU(INT_PTR(1088)), NULL,
            NULL);
    }
    void TearDown() override
    {
        platform::headless::Reset();
        platform::ResetDriveTable();
    }

    std::string Item(int i)
    {
        char text[32] = {};
        SendMessage(combo, CB_GETLBTEXT, i, LPARAM(text));
        return text;
    }

    HWND dlg = NULL, combo = NULL;
};

TEST_F(DlgDirTest, ListsEveryDriveInBracketsAndReadsTheSelectionBack)
{
    char spec[] = "*.*";
    ASSERT_TRUE(DlgDirListComboBox(dlg, spec, 1137, 1088, DDL_DRIVES | DDL_EXCLUSIVE));
    const auto& drives = platform::CurrentDriveTable()->Drives();
    ASSERT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), LRESULT(drives.size()));
    EXPECT_EQ(Item(0), "[-c-]");
    EXPECT_EQ(Item(1), "[-d-]");
    EXPECT_EQ(Item(2), "[-e-]");

    // Listing again starts afresh.
    DlgDirListComboBox(dlg, spec, 1137, 0, DDL_DRIVES | DDL_EXCLUSIVE);
    EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), LRESULT(drives.size()));

    SendMessage(combo, CB_SETCURSEL, 1, 0);
    char out[8] = {};
    EXPECT_TRUE(DlgDirSelectComboBoxEx(dlg, out, sizeof out, 1137));
    EXPECT_STREQ(out, "d:");
    // A short buffer is cut, never overrun.
    char tiny[2] = {'x', 'x'};
    DlgDirSelectComboBoxEx(dlg, tiny, sizeof tiny, 1137);
    EXPECT_STREQ(tiny, "d");
}

TEST_F(DlgDirTest, NamesAndMissingPiecesAnswerFalse)
{
    SendMessage(combo, CB_ADDSTRING, 0, LPARAM("notes.txt"));
    SendMessage(combo, CB_SETCURSEL, 0, 0);
    char out[16] = {};
    EXPECT_FALSE(DlgDirSelectComboBoxEx(dlg, out, sizeof out, 1137));
    EXPECT_STREQ(out, "notes.txt");
    SendMessage(combo, CB_SETCURSEL, WPARAM(-1), 0);
    EXPECT_FALSE(DlgDirSelectComboBoxEx(dlg, out, sizeof out, 1137));
    EXPECT_STREQ(out, "");
    char spec[] = "*.*";
    EXPECT_FALSE(DlgDirListComboBox(dlg, spec, 999, 0, DDL_DRIVES));
}

} // namespace
