// The user's Tools menu as the profile keeps it: the first start's defaults,
// the add-ons added once each, entries split at their bar, and the page that
// edits the list.

#include "assist/ToolsPage.h"

#include "tests/assist/AssistTestSupport.h"

namespace assisttest {
namespace {

class ToolsPageTest : public AssistTest {
protected:
    CString Tool(int n)
    {
        CString key;
        key.Format("Tool%d", n);
        return Profile("Tools", key);
    }
    void SetTool(int n, LPCTSTR value)
    {
        CString key;
        key.Format("Tool%d", n);
        m_app->WriteProfileString("Tools", key, value);
    }
};

TEST_F(ToolsPageTest, DefaultToolsAreTheAddOnsMarkedAsAdded)
{
    SetTool(6, "Old|C:\\old.exe"); // left from an earlier list
    EXPECT_EQ(4, CToolsPage::AddDefaultTools(TRUE));

    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(Tool(n), CToolsPage::AddOnEntry(n + 1)) << n;
    EXPECT_EQ(Tool(4), "<missing>");
    EXPECT_EQ(Tool(6), "<missing>");
    for (LPCTSTR key : {"Contax_Init", "Scrivane_Init", "Varnette_Init", "OlvCard_Init"})
        EXPECT_EQ(Profile("Tools", key), "yes") << key;

    CString label, path;
    ASSERT_TRUE(CToolsPage::ParseToolEntry(Tool(0), label, path));
    EXPECT_FALSE(label.IsEmpty());
    EXPECT_EQ(path, ProgramFolder() + "Contax.exe");
}

TEST_F(ToolsPageTest, DefaultToolsWithoutSaveWriteNothing)
{
    EXPECT_EQ(4, CToolsPage::AddDefaultTools(FALSE));
    EXPECT_EQ(Tool(0), "<missing>");
    EXPECT_EQ(Profile("Tools", "Contax_Init"), "<missing>");
}

TEST_F(ToolsPageTest, SiblingToolGoesAfterTheEntriesAndCountsUp)
{
    EXPECT_EQ(8, CToolsPage::AddSiblingTool(3, 7));
    EXPECT_EQ(Tool(7), CToolsPage::AddOnEntry(3));
    EXPECT_EQ(Profile("Tools", "Varnette_Init"), "yes");
    EXPECT_EQ(Profile("Tools", "Contax_Init"), "<missing>");
}

TEST_F(ToolsPageTest, SiblingToolRefusesAFullListAndUnknownAddOns)
{
    EXPECT_EQ(8, CToolsPage::AddSiblingTool(1, 8));
    EXPECT_EQ(12, CToolsPage::AddSiblingTool(1, 12));
    EXPECT_EQ(-1, CToolsPage::AddSiblingTool(1, -1));
    EXPECT_EQ(2, CToolsPage::AddSiblingTool(0, 2));
    EXPECT_EQ(2, CToolsPage::AddSiblingTool(5, 2));
    for (int n = 0; n <= 8; ++n)
        EXPECT_EQ(Tool(n), "<missing>") << n;
    EXPECT_EQ(Profile("Tools", "Contax_Init"), "<missing>");
}

TEST_F(ToolsPageTest, ParsesEntriesWithAndWithoutABar)
{
    CString label, path;
    EXPECT_TRUE(CToolsPage::ParseToolEntry(" &Calculator | C:\\bin\\calc.exe ", label, path));
    EXPECT_EQ(label, "&Calculator");
    EXPECT_EQ(path, "C:\\bin\\calc.exe");

    // Only the first bar splits.
    EXPECT_TRUE(CToolsPage::ParseToolEntry("A|B|C", label, path));
    EXPECT_EQ(label, "A");
    EXPECT_EQ(path, "B|C");

    EXPECT_FALSE(CToolsPage::ParseToolEntry("Just a label", label, path));
    EXPECT_EQ(label, "Just a label");
    EXPECT_TRUE(path.IsEmpty());

    EXPECT_TRUE(CToolsPage::ParseToolEntry("|", label, path));
    EXPECT_TRUE(label.IsEmpty());
    EXPECT_TRUE(path.IsEmpty());
}

TEST_F(ToolsPageTest, LongEntriesAreCut)
{
    const CString longPath = CString('x', 5000);
    CString label, path;
    EXPECT_TRUE(CToolsPage::ParseToolEntry("Long|" + longPath, label, path));
    EXPECT_EQ(path.GetLength(), CToolsPage::kMaxToolEntryLength - 5);

    // A bar beyond the bound is not seen.
    EXPECT_FALSE(CToolsPage::ParseToolEntry(longPath + "|C:\\x.exe", label, path));
    EXPECT_EQ(label.GetLength(), CToolsPage::kMaxToolEntryLength);

    SetTool(0, "Long|" + longPath);
    const std::vector<CString> entries = CToolsPage::LoadToolEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].GetLength(), CToolsPage::kMaxToolEntryLength);
}

TEST_F(ToolsPageTest, LoadStopsAtTheFirstGapAndAtEight)
{
    SetTool(0, "A|a.exe");
    SetTool(1, "B|b.exe");
    SetTool(3, "D|d.exe");
    EXPECT_EQ(CToolsPage::LoadToolEntries().size(), 2u);

    for (int n = 0; n < 12; ++n)
        SetTool(n, "T|t.exe");
    EXPECT_EQ(CToolsPage::LoadToolEntries().size(), 8u);
}

TEST_F(ToolsPageTest, SaveRemovesTheKeysOfRemovedEntries)
{
    for (int n = 0; n < 5; ++n)
        SetTool(n, "T|t.exe");
    CToolsPage::SaveToolEntries({"A|a.exe", "B|b.exe"});
    EXPECT_EQ(Tool(0), "A|a.exe");
    EXPECT_EQ(Tool(1), "B|b.exe");
    for (int n = 2; n < 5; ++n)
        EXPECT_EQ(Tool(n), "<missing>") << n;
}

TEST_F(ToolsPageTest, EditingRefusesWhatTheMenuCouldNotHold)
{
    CToolsPage page;
    EXPECT_FALSE(page.AddEntry("", "C:\\x.exe"));
    EXPECT_FALSE(page.AddEntry("X", "  "));
    EXPECT_FALSE(page.AddEntry("A|B", "C:\\x.exe")); // would split in the label
    EXPECT_FALSE(page.AddEntry("X", CString('p', 600)));
    for (int n = 0; n < CToolsPage::kMaxTools; ++n)
        EXPECT_TRUE(page.AddEntry("T", "t.exe"));
    EXPECT_FALSE(page.AddEntry("Ninth", "n.exe"));

    EXPECT_TRUE(page.ReplaceEntry(7, " Last ", " l.exe "));
    EXPECT_EQ(page.m_entries[7], "Last|l.exe");
    EXPECT_FALSE(page.ReplaceEntry(8, "X", "x.exe"));
    EXPECT_TRUE(page.RemoveEntry(0));
    EXPECT_FALSE(page.RemoveEntry(7));
    EXPECT_EQ(page.m_entries.size(), 7u);
}

TEST_F(ToolsPageTest, PageAddsChangesAndRemovesThroughItsButtonsAndSavesOnOk)
{
    SetTool(0, "First|C:\\first.exe");
    SetTool(1, "Second|C:\\second.exe");

    CToolsPage page;
    CPropertySheet sheet("Program Configuration");
    sheet.AddPage(&page);
    Drive({
        [](HWND hSheet) {
            HWND hPage = HWND(::SendMessage(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            ::SetDlgItemText(hPage, IDC_TOOLS_LABEL, "Third");
            ::SetDlgItemText(hPage, IDC_TOOLS_PATH, "C:\\third.exe");
            ::SendMessage(hPage, WM_COMMAND, MAKEWPARAM(IDC_TOOLS_ADD, BN_CLICKED), 0);
            // Pick the first entry: its texts come into the fields.
            ::SendDlgItemMessage(hPage, IDC_TOOLS_LIST, LB_SETCURSEL, 0, 0);
            ::SendMessage(hPage, WM_COMMAND, MAKEWPARAM(IDC_TOOLS_LIST, LBN_SELCHANGE),
                LPARAM(::GetDlgItem(hPage, IDC_TOOLS_LIST)));
            char label[64] = {};
            ::GetDlgItemText(hPage, IDC_TOOLS_LABEL, label, sizeof label);
            if (CString(label) != "First")
                return false;
            ::SendMessage(hPage, WM_COMMAND, MAKEWPARAM(IDC_TOOLS_REMOVE, BN_CLICKED), 0);
            return ::SendDlgItemMessage(hPage, IDC_TOOLS_LIST, LB_GETCOUNT, 0, 0) == 2;
        },
        Press(IDOK),
    });
    EXPECT_EQ(IDOK, sheet.DoModal());
    EXPECT_EQ(Tool(0), "Second|C:\\second.exe");
    EXPECT_EQ(Tool(1), "Third|C:\\third.exe");
    EXPECT_EQ(Tool(2), "<missing>");
}

} // namespace
} // namespace assisttest
