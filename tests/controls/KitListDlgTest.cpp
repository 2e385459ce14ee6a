// The kit list over two design kits on a test CD-ROM drive, driven through
// real messages on the headless back end: the kits with their categories
// and counts, Check All and Uncheck All, a check box clicked and one
// toggled with Space, a drive search that finds a kit, the filter OK gives
// the design index, Cancel giving nothing, and the Design Wizard's button.

#include "app/ContentCatalog.h"
#include "app/FolderScan.h"
#include "app/KitFinder.h"
#include "assist/GetStartedWizard.h"
#include "controls/KitListDlg.h"
#include "controls/ProgressDisplays.h"
#include "controls/ProgressDlg.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/ProgramFolder.h"
#include "platform/profile/Registry.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/SupportResources.h"
#include "resources/controls.h"
#include "resources/resource.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing_support::DialogStep;
using testing_support::DriveActiveWindow;
using testing_support::PressButton;

constexpr const char* kAlpha = "D:\\KITS\\alpha.kqa";
constexpr const char* kBeta = "D:\\MORE\\beta.kqa";
constexpr const char* kOccasion = "D:\\Occasion\\occasion.kqa";

class KitListDlgTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        std::filesystem::remove(platform::RegistryFilePath());
        platform::ResetRegistryForTests();
        platform::InitFileSystem();
        threadwick::RegisterResources();
        threadwick::RegisterSupportResources();
        InitCommonControls();
        MakeApp();
        m_program = testing_support::MakeTempDir("kitlist-program");
        std::filesystem::create_directories(m_program + "/support");
        testing_support::WriteFileBytes(m_program + "/support/QVN.kqa", "own");
        platform::SetProgramFolderForTests(m_program);
        // The disc holds two kits and the user's own occasion table.
        m_cd = testing_support::MakeTempDir("kitlist-cd");
        for (const char* folder : {"/KITS", "/MORE", "/Occasion"})
            std::filesystem::create_directories(m_cd + folder);
        testing_support::WriteFileBytes(m_cd + "/KITS/alpha.kqa", "kit");
        testing_support::WriteFileBytes(m_cd + "/MORE/beta.kqa", "kit");
        testing_support::WriteFileBytes(m_cd + "/Occasion/occasion.kqa", "mine");
        platform::SetDriveTable(
            platform::DriveTable::Build("/dev/sda1 / ext4 rw 0 0\n", "D=" + m_cd + ":cdrom:KITDISC", {}));
        InstallProgressDisplays();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        platform::headless::SetPresentHandler(nullptr);
        SetScanProgressFactory({});
        SetIndexProgressFactory({});
        platform::ResetDriveTable();
        FrameworkTest::TearDown();
        platform::SetProgramFolderForTests("");
    }

    static void Register(const char* name, const char* path)
    {
        CRegKeyHelper key;
        key.Ensure(kKitsRegistryKey);
        ASSERT_TRUE(key.SetString(name, path));
    }

    std::string OwnTable() const
    {
        std::string path = "C:" + m_program + "/support/QVN.kqa";
        for (char& c : path) {
            if (c == '/')
                c = '\\';
        }
        return path;
    }

    static HWND Tree(HWND hDlg) { return ::GetDlgItem(hDlg, IDC_KIT_LIST_TREE); }

    static std::vector<std::string> ItemTexts(HWND hTree)
    {
        std::vector<std::string> texts;
        for (auto hItem = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); hItem != NULL;
             hItem = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(hItem)))) {
            char text[MAX_PATH + 64] = {};
            TVITEM item{};
            item.mask = TVIF_HANDLE | TVIF_TEXT;
            item.hItem = hItem;
            item.pszText = text;
            item.cchTextMax = int(sizeof text);
            ::SendMessage(hTree, TVM_GETITEM, 0, LPARAM(&item));
            texts.emplace_back(text);
        }
        return texts;
    }

    static HTREEITEM ItemAt(HWND hTree, int nIndex)
    {
        auto hItem = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        for (int i = 0; i < nIndex && hItem != NULL; ++i)
            hItem = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(hItem)));
        return hItem;
    }

    // The counts as the dialog shows them: listed, checked.
    static std::pair<int, int> ShownCounts(HWND hDlg)
    {
        return {int(::GetDlgItemInt(hDlg, IDC_KIT_LIST_LISTED, nullptr, FALSE)),
            int(::GetDlgItemInt(hDlg, IDC_KIT_LIST_CHECKED, nullptr, FALSE))};
    }

    // Clicks the check box of an item, as a user does, in screen terms.
    static bool ClickCheckBox(HWND hTree, HTREEITEM hItem)
    {
        // TVM_GETITEMRECT takes the item in the rectangle it fills.
        RECT rc{};
        std::memcpy(&rc, &hItem, sizeof hItem);
        if (!::SendMessage(hTree, TVM_GETITEMRECT, TRUE, LPARAM(&rc)))
            return false;
        const int y = (rc.top + rc.bottom) / 2;
        for (int x = 0; x < rc.left; ++x) {
            TVHITTESTINFO hit{};
            hit.pt = POINT{x, y};
            if (HTREEITEM(::SendMessage(hTree, TVM_HITTEST, 0, LPARAM(&hit))) == hItem
                && (hit.flags & TVHT_ONITEMSTATEICON)) {
                POINT pt{x, y};
                ::ClientToScreen(hTree, &pt);
                platform::headless::Click(pt.x, pt.y);
                return true;
            }
        }
        return false;
    }

    // The steps wait for the kit list to be the active window.
    static DialogStep OnKitList(std::function<void(HWND)> act)
    {
        return [act](HWND hDlg) {
            if (Tree(hDlg) == NULL)
                return false;
            act(hDlg);
            return true;
        };
    }

    std::string m_program;
    std::string m_cd;
};

TEST_F(KitListDlgTest, ListsTheKitsWithTheirCategoriesCheckedAsTheIndexReadsThem)
{
    Register("alpha", kAlpha);
    Register("occasion", kOccasion);
    CFlagSet128 filter;
    filter.SetAll();
    filter.Clear(1);
    CDesignIndex index;
    index.SetFilter(filter);
    CKitListDlg dlg(nullptr, &index);

    std::vector<std::string> texts;
    std::pair<int, int> counts;
    std::vector<int> states;
    DriveActiveWindow({
        OnKitList([&](HWND hDlg) {
            texts = ItemTexts(Tree(hDlg));
            counts = ShownCounts(hDlg);
            for (int i = 0; i < 3; ++i) {
                TVITEM item{};
                item.mask = TVIF_HANDLE | TVIF_STATE;
                item.hItem = ItemAt(Tree(hDlg), i);
                item.stateMask = TVIS_STATEIMAGEMASK;
                ::SendMessage(Tree(hDlg), TVM_GETITEM, 0, LPARAM(&item));
                states.push_back(int((item.state & TVIS_STATEIMAGEMASK) >> 12));
            }
        }),
        PressButton(IDCANCEL),
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(texts, (std::vector<std::string>{OwnTable(), kAlpha, std::string("User defined - ") + kOccasion}));
    EXPECT_EQ(counts, std::make_pair(3, 2));
    // State images: 1 unchecked, 2 checked.
    EXPECT_EQ(states, (std::vector<int>{2, 1, 2}));
    for (int nSelection : dlg.m_nSelection)
        EXPECT_EQ(nSelection, -1);
    // Cancel leaves the index's filter as it was.
    ASSERT_NE(index.GetFilter(), nullptr);
    EXPECT_EQ(*index.GetFilter(), filter);
}

TEST_F(KitListDlgTest, CheckAllUncheckAllAndTheUsersOwnChecksMoveTheCounts)
{
    Register("alpha", kAlpha);
    Register("beta", kBeta);
    CDesignIndex index;
    ASSERT_TRUE(index.Load());
    CKitListDlg dlg(nullptr, &index);

    std::vector<std::pair<int, int>> counts;
    auto note = [&counts](HWND hDlg) { counts.push_back(ShownCounts(hDlg)); };
    bool clicked = false;
    DriveActiveWindow({
        OnKitList(note),
        PressButton(IDC_KIT_LIST_UNCHECK_ALL),
        OnKitList(note),
        PressButton(IDC_KIT_LIST_CHECK_ALL),
        OnKitList(note),
        PressButton(IDC_KIT_LIST_UNCHECK_ALL),
        OnKitList([&](HWND hDlg) { clicked = ClickCheckBox(Tree(hDlg), ItemAt(Tree(hDlg), 2)); }),
        OnKitList(note),
        OnKitList([&](HWND hDlg) {
            // Space checks the selected kit.
            ::SetFocus(Tree(hDlg));
            ::SendMessage(Tree(hDlg), TVM_SELECTITEM, TVGN_CARET, LPARAM(ItemAt(Tree(hDlg), 0)));
            platform::headless::TypeKey(VK_SPACE, ' ');
        }),
        OnKitList(note),
        PressButton(IDOK),
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(clicked);
    EXPECT_EQ(counts, (std::vector<std::pair<int, int>>{{3, 3}, {3, 0}, {3, 3}, {3, 1}, {3, 2}}));

    // OK gives the index the checked kits, and the index reads again.
    CFlagSet128 expected;
    expected.Set(0);
    expected.Set(2);
    EXPECT_EQ(dlg.m_filter, expected);
    ASSERT_NE(index.GetFilter(), nullptr);
    EXPECT_EQ(*index.GetFilter(), expected);
    EXPECT_FALSE(index.IsLoaded());
}

TEST_F(KitListDlgTest, SearchDrivesListsTheKitItFoundAndKeepsTheUsersChecks)
{
    Register("alpha", kAlpha);
    CKitListDlg dlg(nullptr, nullptr);
    dlg.m_chFirstDrive = 'D';
    dlg.m_chLastDrive = 'D';

    // The search shows the progress dialog while it walks the drive.
    bool progressShown = false;
    platform::headless::SetPresentHandler([&progressShown](HWND hwnd) {
        if (::GetDlgItem(hwnd, IDC_PROGRESS_FRAME) != NULL)
            progressShown = true;
    });

    std::vector<std::pair<int, int>> counts;
    std::vector<std::string> texts;
    DriveActiveWindow({
        OnKitList([&](HWND hDlg) {
            counts.push_back(ShownCounts(hDlg));
            dlg.m_nSelection[0] = 5;
            dlg.m_nSelection[3] = 7;
            // The user leaves the program's own table out before searching.
            ::SendMessage(Tree(hDlg), TVM_SELECTITEM, TVGN_CARET, LPARAM(ItemAt(Tree(hDlg), 0)));
            ::SetFocus(Tree(hDlg));
            platform::headless::TypeKey(VK_SPACE, ' ');
        }),
        PressButton(IDC_KIT_LIST_SEARCH),
        OnKitList([&](HWND hDlg) {
            counts.push_back(ShownCounts(hDlg));
            texts = ItemTexts(Tree(hDlg));
        }),
        PressButton(IDOK),
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    platform::headless::SetPresentHandler(nullptr);
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(counts, (std::vector<std::pair<int, int>>{{2, 2}, {3, 2}}));
    EXPECT_EQ(texts, (std::vector<std::string>{OwnTable(), kAlpha, kBeta}));
    for (int nSelection : dlg.m_nSelection)
        EXPECT_EQ(nSelection, -1);
    CFlagSet128 expected;
    expected.Set(1);
    expected.Set(2);
    EXPECT_EQ(dlg.m_filter, expected);

    // The search registered the new kit but not the user's occasion table.
    CKitFinder later(kDesignTableStem);
    EXPECT_EQ(later.GetKitCount(), 3);
    EXPECT_EQ(later.GetKitFileName(2), kBeta);
}

TEST_F(KitListDlgTest, CancelGivesTheIndexNothing)
{
    Register("alpha", kAlpha);
    CDesignIndex index;
    ASSERT_TRUE(index.Load());
    CKitListDlg dlg(nullptr, &index);
    DriveActiveWindow({
        PressButton(IDC_KIT_LIST_UNCHECK_ALL),
        PressButton(IDCANCEL),
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(index.GetFilter(), nullptr);
    EXPECT_TRUE(index.IsLoaded());
}

TEST_F(KitListDlgTest, TheDesignWizardsFirstPageOpensTheKitList)
{
    Register("alpha", kAlpha);
    CGetStartedWizard wizard(IDS_DESIGN_WIZARD_CAPTION);
    bool opened = false;
    DriveActiveWindow({
        [](HWND hSheet) {
            HWND hPage = HWND(::SendMessage(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            HWND hButton = ::GetDlgItem(hPage, IDC_GETSTART_KITS);
            if (hButton == NULL)
                return false;
            ::PostMessage(hPage, WM_COMMAND, MAKEWPARAM(IDC_GETSTART_KITS, BN_CLICKED), LPARAM(hButton));
            return true;
        },
        OnKitList([&](HWND hDlg) { opened = ShownCounts(hDlg) == std::make_pair(2, 2); }),
        PressButton(IDCANCEL),
        [](HWND hSheet) {
            if (::GetDlgItem(hSheet, IDC_KIT_LIST_TREE) != NULL)
                return false;
            ::PostMessage(hSheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        },
    });
    wizard.DoModal();
    EXPECT_TRUE(opened);
    EXPECT_EQ(wizard.m_nChosenKind, 6);
}

} // namespace
