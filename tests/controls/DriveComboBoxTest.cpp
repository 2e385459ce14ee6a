// Drive names, icons and the drive combo box over test drives given as the
// drives text of the environment (fixed with and without a label, CD-ROM
// with its disc and without, a network share), on the headless back end.
// The combo box has an edit field, where a path that is not a drive shows.

#include "controls/DriveComboBox.h"
#include "controls/DriveHelpers.h"
#include "platform/files/DriveTable.h"
#include "platform/files/Drives.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/DataExchange.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

constexpr int kComboId = 100;

class DriveComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InitFileSystem();
        threadwick::RegisterResources();
        std::string root = testing_support::MakeTempDir("drives");
        std::string fixed = root + "/fixed";
        std::string plain = root + "/plain";
        std::string cd = root + "/cd";
        std::string net = root + "/net";
        for (const std::string& folder : {fixed, plain, cd, net})
            std::filesystem::create_directories(folder);
        // H: is a CD-ROM drive whose disc is out: its folder is missing.
        std::string spec = "D=" + fixed + ":fixed:DATA;E=" + plain + ":fixed;F=" + cd + ":cdrom:PHOTOS;G=" + net
            + ":remote:\\\\srv\\pics;H=" + root + "/gone:cdrom:OLD";
        platform::DriveTable table = platform::DriveTable::Build("", spec, {});
        ASSERT_TRUE(table.Errors().empty()) << table.Errors().front();
        platform::SetDriveTable(std::move(table));
        ASSERT_TRUE(m_main.CreateEx(0, AfxDefaultWndClass(), "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 500,
            400, NULL, NULL));
    }
    void TearDown() override
    {
        if (m_main.m_hWnd != NULL)
            m_main.DestroyWindow();
        platform::ResetDriveTable();
    }

    void MakeCombo(CDriveComboBox& combo)
    {
        HWND hCombo = ::CreateWindowEx(0, "COMBOBOX", "",
            WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL, 10, 10, 300,
            200, m_main.m_hWnd, HMENU(INT_PTR(kComboId)), NULL, NULL);
        ASSERT_NE(hCombo, nullptr);
        ASSERT_TRUE(combo.SubclassWindow(hCombo));
    }

    static std::string EntryText(const CDriveComboBox& combo, int nIndex)
    {
        CString text;
        combo.GetLBText(nIndex, text);
        return std::string(LPCTSTR(text));
    }

    CWnd m_main;
};

TEST_F(DriveComboBoxTest, LongAndShortNamesOfEveryKindOfDrive)
{
    struct Case {
        const char* drive;
        const char* longName;
        const char* shortName;
    };
    const Case cases[] = {
        {"d:", "DATA (D:)", "d: DATA"},
        // C:, the Linux root, has no label: the long name starts with the space.
        {"c:", " (C:)", "c:"},
        // A test drive given without a label is named after its folder.
        {"e:", "plain (E:)", "e: plain"},
        {"f:", "PHOTOS (F:)", "f: PHOTOS"},
        {"g:", "pics on 'srv' (G:)", "g: \\\\srv\\pics"},
        // A CD-ROM drive without its disc shows no label.
        {"h:", " (H:)", "h:"},
        // A letter with no drive has no name either.
        {"q:", " (Q:)", "q:"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(LPCTSTR(GetDriveDisplayName(c.drive)), c.longName) << c.drive;
        EXPECT_STREQ(LPCTSTR(GetDriveShortName(c.drive)), c.shortName) << c.drive;
    }
}

TEST_F(DriveComboBoxTest, NetworkPathOnlyForMappedLetters)
{
    EXPECT_STREQ(LPCTSTR(GetNetworkPath("g:")), "\\\\srv\\pics");
    EXPECT_STREQ(LPCTSTR(GetNetworkPath("G:\\some\\folder")), "\\\\srv\\pics");
    EXPECT_STREQ(LPCTSTR(GetNetworkPath("d:")), "");
    EXPECT_STREQ(LPCTSTR(GetNetworkPath("")), "");
    EXPECT_STREQ(LPCTSTR(GetNetworkPath("\\\\srv\\pics")), "");
    EXPECT_STREQ(LPCTSTR(GetNetworkPath(nullptr)), "");
}

TEST_F(DriveComboBoxTest, IconsFollowTheDriveType)
{
    EXPECT_EQ(GetDriveTypeIconId(DRIVE_UNKNOWN), UINT(IDI_DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeIconId(DRIVE_NO_ROOT_DIR), UINT(IDI_DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeIconId(DRIVE_REMOVABLE), UINT(IDI_DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeIconId(DRIVE_REMOTE), UINT(IDI_DRIVE_REMOTE));
    EXPECT_EQ(GetDriveTypeIconId(DRIVE_CDROM), UINT(IDI_DRIVE_CDROM));
    EXPECT_EQ(GetDriveTypeIconId(DRIVE_RAMDISK), UINT(IDI_DRIVE_RAMDISK));
    for (UINT nType = 0; nType <= DRIVE_RAMDISK; ++nType)
        EXPECT_NE(GetDriveTypeIcon(nType), nullptr) << nType;
    EXPECT_EQ(GetDriveIcon("f:\\pics"), GetDriveTypeIcon(DRIVE_CDROM));
    EXPECT_EQ(GetDriveIcon("g:"), GetDriveTypeIcon(DRIVE_REMOTE));
}

TEST_F(DriveComboBoxTest, ListsEachDriveOnceWithItsShortName)
{
    CDriveComboBox combo;
    MakeCombo(combo);
    combo.InitDrives(kComboId, &m_main);
    // C: and the five test drives, by letter.
    ASSERT_EQ(combo.GetCount(), 6);
    EXPECT_EQ(EntryText(combo, 1), "d: DATA");
    EXPECT_EQ(EntryText(combo, 0), "c:");
    EXPECT_EQ(EntryText(combo, 2), "e: plain");
    EXPECT_EQ(EntryText(combo, 3), "f: PHOTOS");
    EXPECT_EQ(EntryText(combo, 4), "g: \\\\srv\\pics");
    EXPECT_EQ(EntryText(combo, 5), "h:");
    const char* paths[] = {"c:", "d:", "e:", "f:", "g:", "h:"};
    for (int i = 0; i < 6; ++i)
        EXPECT_STREQ(LPCTSTR(combo.GetDrivePath(i)), paths[i]);

    // Filled once: a second InitDrives adds nothing; a forced fill lists
    // the drives again, still once each.
    combo.InitDrives(kComboId, &m_main);
    EXPECT_EQ(combo.GetCount(), 6);
    combo.FillDrives(TRUE);
    EXPECT_EQ(combo.GetCount(), 6);
    EXPECT_EQ(EntryText(combo, 3), "f: PHOTOS");
}

TEST_F(DriveComboBoxTest, LongNamesGiveTheDriveFromTheParentheses)
{
    CDriveComboBox combo;
    MakeCombo(combo);
    combo.m_bLongNames = TRUE;
    combo.InitDrives(kComboId, &m_main);
    ASSERT_EQ(combo.GetCount(), 6);
    EXPECT_EQ(EntryText(combo, 4), "pics on 'srv' (G:)");
    EXPECT_STREQ(LPCTSTR(combo.GetDrivePath(4)), "G:");
    EXPECT_STREQ(LPCTSTR(combo.GetDrivePath(2)), "E:");
    combo.SelectPath("f:");
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_STREQ(LPCTSTR(combo.GetDrivePath(-1)), "F:");
}

TEST_F(DriveComboBoxTest, SelectPathTakesDrivesAndShowsOtherPathsAsText)
{
    CDriveComboBox combo;
    MakeCombo(combo);
    combo.InitDrives(kComboId, &m_main);
    combo.SelectPath("f:");
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_STREQ(LPCTSTR(combo.GetDrivePath()), "f:");
    combo.SelectPath("G:");
    EXPECT_EQ(combo.GetCurSel(), 4);

    // Three or more characters: no entry, the path as the window text.
    combo.SelectPath("f:\\pics");
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_STREQ(LPCTSTR(combo.GetDrivePath()), "f:\\pics");
    // A drive that is not listed is text too.
    combo.SelectPath("q:");
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_STREQ(LPCTSTR(combo.GetDrivePath()), "q:");
}

TEST_F(DriveComboBoxTest, DataExchangeFillsSelectsAndReadsBack)
{
    CDriveComboBox combo;
    MakeCombo(combo);
    CString strPath = "d:";
    CDataExchange load(&m_main, FALSE);
    DDX_DriveCombo(&load, kComboId, strPath);
    EXPECT_EQ(combo.GetCount(), 6);
    EXPECT_EQ(combo.GetCurSel(), 1);
    combo.SetCurSel(4);
    CDataExchange save(&m_main, TRUE);
    DDX_DriveCombo(&save, kComboId, strPath);
    EXPECT_STREQ(LPCTSTR(strPath), "g:");
    // Loading again keeps one entry per drive.
    DDX_DriveCombo(&load, kComboId, strPath);
    EXPECT_EQ(combo.GetCount(), 6);
    EXPECT_EQ(combo.GetCurSel(), 4);
}

TEST_F(DriveComboBoxTest, ItemsAreSixteenHighAndSelectionStartsRightOfTheIcon)
{
    CDriveComboBox combo;
    MakeCombo(combo);
    combo.InitDrives(kComboId, &m_main);
    MEASUREITEMSTRUCT mis{};
    combo.MeasureItem(&mis);
    EXPECT_EQ(mis.itemHeight, 16u);

    CClientDC screen(nullptr);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 200, 16));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    CRect all(0, 0, 200, 16);
    dc.FillSolidRect(&all, RGB(1, 2, 3));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_COMBOBOX;
    dis.itemID = 1;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_SELECTED;
    dis.hDC = dc.GetSafeHdc();
    dis.rcItem = RECT{0, 0, 200, 16};
    combo.DrawItem(&dis);
    COLORREF crWindow = ::GetSysColor(COLOR_WINDOW);
    COLORREF crHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    // The icon's column keeps the window colour, the selection starts at 21.
    EXPECT_EQ(dc.GetPixel(20, 0), crWindow);
    EXPECT_EQ(dc.GetPixel(21, 0), crHighlight);
    EXPECT_EQ(dc.GetPixel(199, 15), crHighlight);
    // The icon itself is drawn in the first 16 pixels.
    int nIconPixels = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            nIconPixels += dc.GetPixel(x, y) != crWindow ? 1 : 0;
    }
    EXPECT_GT(nIconPixels, 20);

    // Losing the selection draws the text on the window colour again.
    dis.itemAction = ODA_SELECT;
    dis.itemState = 0;
    combo.DrawItem(&dis);
    EXPECT_EQ(dc.GetPixel(199, 15), crWindow);
    dc.SelectObject(pOld);
}

} // namespace
