// The Tip of the Day dialog: its profile values, the bounded reading of tip
// files (missing, empty, binary, very long), showing the tips in turn with
// wrap-around, and the tips the program installs.

#include "html/TipOfDayDlg.h"

#include "platform/base/Exception.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/TestHome.h"

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::MakeTempDir;
using testing_support::WriteFileBytes;

// Runs one step on each idle turn of the modal loop.
void RunSteps(std::vector<std::function<void(HWND)>> steps)
{
    auto next = std::make_shared<size_t>(0);
    platform::headless::SetIdleHandler([steps = std::move(steps), next]() {
        HWND hDlg = ::GetActiveWindow();
        if (!hDlg || *next >= steps.size())
            return false;
        steps[(*next)++](hDlg);
        return true;
    });
}

std::string ItemText(HWND hDlg, int nID)
{
    char buffer[4096] = {};
    ::GetDlgItemText(hDlg, nID, buffer, int(sizeof buffer));
    return buffer;
}

void Click(HWND hDlg, int nID)
{
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nID)));
}

class TipOfDayDlgTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        threadwick::RegisterResources();
        m_app = &MakeApp();
        // A key of its own, so no other test's profile values show.
        m_key = std::string("Threadwick Tests\\") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_app->SetRegistryKey(m_key.c_str());
        m_folder = MakeTempDir("tips");
        ::mkdir((m_folder + "/support").c_str(), 0755);
        ::mkdir((m_folder + "/support/tips").c_str(), 0755);
        platform::SetProgramFolderForTests(m_folder);
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::SetProgramFolderForTests("");
        FrameworkTest::TearDown();
    }

    void WriteTip(int n, const std::string& text)
    {
        WriteFileBytes(m_folder + "/support/tips/tip" + std::to_string(n) + ".txt", text);
    }

    CWinApp* m_app = nullptr;
    std::string m_key;
    std::string m_folder;
};

TEST_F(TipOfDayDlgTest, ConstructorReadsTheProfile)
{
    {
        CTipOfDayDlg dlg;
        EXPECT_TRUE(dlg.m_bStartup);
        EXPECT_EQ(1, dlg.m_nFileNum);
    }
    m_app->WriteProfileInt("Tip", "StartUp", 0);
    m_app->WriteProfileInt("Tip", "FileNum", 7);
    {
        CTipOfDayDlg dlg;
        EXPECT_FALSE(dlg.m_bStartup);
        EXPECT_EQ(7, dlg.m_nFileNum);
    }
    for (int bad : {0, -3, 100000}) {
        m_app->WriteProfileInt("Tip", "FileNum", bad);
        CTipOfDayDlg dlg;
        EXPECT_EQ(1, dlg.m_nFileNum) << bad;
    }
}

TEST_F(TipOfDayDlgTest, ReadsTipFilesBoundedAndCleaned)
{
    CString text;
    EXPECT_FALSE(CTipOfDayDlg::ReadTip(1, text));
    EXPECT_FALSE(CTipOfDayDlg::ReadTip(0, text));
    EXPECT_FALSE(CTipOfDayDlg::ReadTip(-1, text));

    WriteTip(1, "  First line\r\nsecond\tline\n\n");
    ASSERT_TRUE(CTipOfDayDlg::ReadTip(1, text));
    EXPECT_STREQ("First line\r\nsecond line", text);

    WriteTip(2, std::string("a\0b\x01" "c", 5));
    ASSERT_TRUE(CTipOfDayDlg::ReadTip(2, text));
    EXPECT_STREQ("a b c", text);

    WriteTip(3, " \r\n\t ");
    EXPECT_FALSE(CTipOfDayDlg::ReadTip(3, text)) << "a blank file is no tip";

    // One enormous line without blanks is cut at the limit.
    WriteTip(4, std::string(100000, 'x'));
    ASSERT_TRUE(CTipOfDayDlg::ReadTip(4, text));
    EXPECT_EQ(CTipOfDayDlg::kMaxTipBytes + 3, text.GetLength());
    EXPECT_EQ("...", std::string(text.Right(3)));

    // Words are not broken.
    std::string words;
    while (words.size() < 5000)
        words += "tipword ";
    WriteTip(5, words);
    ASSERT_TRUE(CTipOfDayDlg::ReadTip(5, text));
    EXPECT_LE(text.GetLength(), CTipOfDayDlg::kMaxTipBytes + 3);
    EXPECT_EQ("tipword...", std::string(text.Right(10)));

    // A folder where the file should be is not readable as a tip.
    ::mkdir((m_folder + "/support/tips/tip6.txt").c_str(), 0755);
    EXPECT_FALSE(CTipOfDayDlg::ReadTip(6, text));
}

TEST_F(TipOfDayDlgTest, ShowsTipsInTurnAndRemembersTheNextAndTheStartUpChoice)
{
    WriteTip(1, "one");
    WriteTip(2, "two");
    WriteTip(3, "three");
    m_app->WriteProfileInt("Tip", "FileNum", 2);
    CTipOfDayDlg dlg;
    std::vector<std::string> seen;
    RunSteps({
        [&](HWND h) { seen.push_back(ItemText(h, IDC_TIP_TEXT)); Click(h, IDC_TIP_NEXT); },
        [&](HWND h) { seen.push_back(ItemText(h, IDC_TIP_TEXT)); Click(h, IDC_TIP_NEXT); },
        [&](HWND h) {
            seen.push_back(ItemText(h, IDC_TIP_TEXT));
            EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(h, IDC_TIP_STARTUP));
            ::CheckDlgButton(h, IDC_TIP_STARTUP, BST_UNCHECKED);
            Click(h, IDOK);
        },
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ((std::vector<std::string>{"two", "three", "one"}), seen);
    EXPECT_EQ(0, m_app->GetProfileInt("Tip", "StartUp", 1));
    EXPECT_EQ(2, m_app->GetProfileInt("Tip", "FileNum", 0));
    EXPECT_FALSE(CTipOfDayDlg().m_bStartup);
}

TEST_F(TipOfDayDlgTest, PastTheLastTipStartsAgainAndNoTipsShowsANote)
{
    WriteTip(1, "only");
    m_app->WriteProfileInt("Tip", "FileNum", 9);
    CTipOfDayDlg dlg;
    std::string shown;
    RunSteps({[&](HWND h) { shown = ItemText(h, IDC_TIP_TEXT); Click(h, IDCANCEL); }});
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ("only", shown);
    EXPECT_EQ(2, m_app->GetProfileInt("Tip", "FileNum", 0)) << "Escape also remembers";

    platform::SetProgramFolderForTests(MakeTempDir("notips"));
    CTipOfDayDlg empty;
    RunSteps({
        [&](HWND h) { Click(h, IDC_TIP_NEXT); },
        [&](HWND h) { shown = ItemText(h, IDC_TIP_TEXT); Click(h, IDOK); },
    });
    EXPECT_EQ(IDOK, empty.DoModal());
    CString note;
    note.LoadString(IDS_TIP_NONE);
    EXPECT_EQ(std::string(note), shown);
}

TEST(InstalledTips, EveryTipOfTheProgramReads)
{
    platform::SetProgramFolderForTests(std::string(THREADWICK_SOURCE_DIR) + "/resources");
    int count = 0;
    CString text;
    while (CTipOfDayDlg::ReadTip(count + 1, text)) {
        ++count;
        EXPECT_LT(text.GetLength(), CTipOfDayDlg::kMaxTipBytes) << "tip " << count << " is cut";
    }
    platform::SetProgramFolderForTests("");
    EXPECT_GE(count, 12);
}

} // namespace
