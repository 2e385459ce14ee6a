// The drive-and-folder tree and the folder picker over a three-level
// temporary tree on drive C:, on the headless back end: opening a path,
// reading it back, a missing leaf, lazy listing, and the picker dialog and
// its Open-dialog form for older platforms driven through real messages.

#include "app/Utilities.h"
#include "controls/FolderTree.h"
#include "controls/PickDirectory.h"
#include "controls/PickDirectoryDlg.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/SupportResources.h"
#include "tests/controls/TreeTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using testing_support::DriveActiveWindow;
using testing_support::PressButton;
using kittest::WindowsPath;

constexpr int kTreeId = 1000;

class FolderTreeTest : public kittest::TreeWindowTest {
protected:
    void SetUp() override
    {
        TreeWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        // Only C:, so the tree's drives do not depend on the machine.
        platform::SetDriveTable(platform::DriveTable::Build("", "", {}));
        m_root = testing_support::MakeTempDir("folders");
        for (const char* folder : {"/Alpha/Beta/Gamma", "/Alpha/Beta/Delta", "/Alpha/Other", "/Zeta"})
            std::filesystem::create_directories(m_root + folder);
        testing_support::WriteFileBytes(m_root + "/Alpha/Beta/note.txt", "x");
        m_strLeaf = WindowsPath(m_root + "/Alpha/Beta/Gamma").c_str();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        SetPickDirectoryPlatform(-1);
        TreeWindowTest::TearDown();
        MSG msg;
        while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        }
        platform::ResetDriveTable();
    }

    HWND MakeTree()
    {
        return ::CreateWindowEx(0, WC_TREEVIEW, "",
            WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 10, 10, 400, 400,
            m_main.m_hWnd, HMENU(INT_PTR(kTreeId)), NULL, NULL);
    }

    static int ChildCount(HWND hTree, HTREEITEM hItem)
    {
        int n = 0;
        for (auto h = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(hItem))); h != NULL;
             h = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(h))))
            ++n;
        return n;
    }

    static BOOL IsExpanded(HWND hTree, HTREEITEM hItem)
    {
        return (::SendMessage(hTree, TVM_GETITEMSTATE, WPARAM(hItem), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    }

    std::string m_root;
    CString m_strLeaf;
};

TEST_F(FolderTreeTest, RootHoldsTheDrivesOfTheDriveTable)
{
    HWND hTree = MakeTree();
    CFolderTree tree(hTree);
    HTREEITEM hRoot = tree.GetRootItem();
    ASSERT_NE(hRoot, nullptr);
    EXPECT_STREQ(LPCTSTR(tree.GetItemText(hRoot)), "My Computer");
    ASSERT_EQ(ChildCount(hTree, hRoot), 1);
    HTREEITEM hDrive = tree.FindChild(hRoot, "c:");
    ASSERT_NE(hDrive, nullptr);
    EXPECT_STREQ(LPCTSTR(tree.GetItemText(hDrive)), " (C:)");
    EXPECT_STREQ(LPCTSTR(tree.GetItemPath(hDrive)), "C:\\");
    // Nothing below the drive is read before it opens.
    EXPECT_FALSE(tree.IsListed(hDrive));
    EXPECT_EQ(ChildCount(hTree, hDrive), 0);
}

TEST_F(FolderTreeTest, ExpandToPathOpensEachLevelAndSelectsTheLast)
{
    HWND hTree = MakeTree();
    CFolderTree tree(hTree);
    tree.ExpandToPath(m_strLeaf);
    EXPECT_STREQ(LPCTSTR(tree.GetSelectedPath()), LPCTSTR(m_strLeaf));
    EXPECT_STREQ(LPCTSTR(tree.m_strPath), LPCTSTR(m_strLeaf));
    auto hSelected = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    ASSERT_NE(hSelected, nullptr);
    EXPECT_STREQ(LPCTSTR(tree.GetItemText(hSelected)), "Gamma");
    // Every level above the leaf is open; Beta lists its two folders, not
    // its file.
    auto hBeta = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_PARENT, LPARAM(hSelected)));
    EXPECT_STREQ(LPCTSTR(tree.GetItemText(hBeta)), "Beta");
    EXPECT_EQ(ChildCount(hTree, hBeta), 2);
    for (HTREEITEM h = hBeta; h != NULL; h = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_PARENT, LPARAM(h))))
        EXPECT_TRUE(IsExpanded(hTree, h)) << LPCTSTR(tree.GetItemText(h));

    // Opening the same path again lists nothing twice.
    tree.ExpandToPath(m_strLeaf);
    EXPECT_EQ(ChildCount(hTree, hBeta), 2);
    EXPECT_STREQ(LPCTSTR(tree.GetSelectedPath()), LPCTSTR(m_strLeaf));
}

TEST_F(FolderTreeTest, MissingLeafStopsAtTheLastLevelFound)
{
    HWND hTree = MakeTree();
    CFolderTree tree(hTree);
    CString beta = WindowsPath(m_root + "/Alpha/Beta").c_str();
    tree.ExpandToPath(beta + "\\Missing\\Deeper");
    EXPECT_STREQ(LPCTSTR(tree.GetSelectedPath()), LPCTSTR(beta));
    // A trailing backslash and other letter case reach the same folder.
    CString upper = WindowsPath(m_root + "/ALPHA/beta/").c_str();
    tree.ExpandToPath(upper);
    EXPECT_STREQ(LPCTSTR(tree.GetSelectedPath()), LPCTSTR(beta));
}

TEST_F(FolderTreeTest, CleanupEmptiesTheTree)
{
    HWND hTree = MakeTree();
    CFolderTree tree(hTree);
    tree.ExpandToPath(m_strLeaf);
    EXPECT_GT(::SendMessage(hTree, TVM_GETCOUNT, 0, 0), 4);
    tree.Cleanup();
    EXPECT_EQ(::SendMessage(hTree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(::SendMessage(hTree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
}

TEST_F(FolderTreeTest, PickerOpensAtTheStartFolderAndAnswersTheChosenOne)
{
    CString strPath = m_strLeaf;
    CString seen;
    DriveActiveWindow({
        [&](HWND hDlg) {
            HWND hTree = ::GetDlgItem(hDlg, kTreeId);
            if (hTree == NULL)
                return false;
            auto hItem = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
            char text[MAX_PATH] = {};
            TVITEM item{};
            item.mask = TVIF_HANDLE | TVIF_TEXT;
            item.hItem = hItem;
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            ::SendMessage(hTree, TVM_GETITEM, 0, LPARAM(&item));
            seen = text;
            // The check box is hidden unless asked for.
            EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_PICK_DIRECTORY_CHECK)));
            // The user moves up to Alpha through the tree.
            HTREEITEM hBeta = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_PARENT, LPARAM(hItem)));
            HTREEITEM hAlpha = HTREEITEM(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_PARENT, LPARAM(hBeta)));
            ::SendMessage(hTree, TVM_SELECTITEM, TVGN_CARET, LPARAM(hAlpha));
            return true;
        },
        PressButton(IDOK),
    });
    ASSERT_TRUE(PickDirectory(&m_main, strPath, FALSE));
    EXPECT_STREQ(LPCTSTR(seen), "Gamma");
    EXPECT_STREQ(LPCTSTR(strPath), WindowsPath(m_root + "/Alpha").c_str());
}

TEST_F(FolderTreeTest, PickerCancelKeepsThePathAndShowsTheCheckBoxWhenAsked)
{
    CString strPath = m_strLeaf;
    BOOL bVisible = FALSE;
    DriveActiveWindow({
        [&](HWND hDlg) {
            HWND hCheck = ::GetDlgItem(hDlg, IDC_PICK_DIRECTORY_CHECK);
            if (hCheck == NULL)
                return false;
            bVisible = ::IsWindowVisible(hCheck);
            return true;
        },
        PressButton(IDCANCEL),
    });
    EXPECT_FALSE(PickDirectory(&m_main, strPath, TRUE));
    EXPECT_TRUE(bVisible);
    EXPECT_STREQ(LPCTSTR(strPath), LPCTSTR(m_strLeaf));
}

TEST_F(FolderTreeTest, PickerLaysOutTheTreeAboveTheButtons)
{
    CPickDirectoryDlg dlg(&m_main, m_strLeaf, FALSE);
    RECT rcTree{}, rcOK{}, rcCancel{}, rcClient{};
    DriveActiveWindow({
        [&](HWND hDlg) {
            if (::GetDlgItem(hDlg, kTreeId) == NULL)
                return false;
            ::GetClientRect(hDlg, &rcClient);
            auto rectOf = [hDlg](int nID, RECT& rc) {
                ::GetWindowRect(::GetDlgItem(hDlg, nID), &rc);
                ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
            };
            rectOf(kTreeId, rcTree);
            rectOf(IDOK, rcOK);
            rectOf(IDCANCEL, rcCancel);
            return true;
        },
        PressButton(IDCANCEL),
    });
    dlg.DoModal();
    EXPECT_EQ(rcCancel.right, rcClient.right - 8);
    EXPECT_EQ(rcCancel.bottom, rcClient.bottom - 8);
    EXPECT_EQ(rcOK.right, rcCancel.left - 8);
    EXPECT_EQ(rcOK.bottom, rcClient.bottom - 8);
    EXPECT_EQ(rcTree.right, rcClient.right - 8);
    EXPECT_EQ(rcTree.bottom, rcOK.top - 8);
}

TEST_F(FolderTreeTest, OlderPlatformsPickThroughTheTrimmedOpenDialog)
{
    SetPickDirectoryPlatform(kPlatformOldNT);
    CString strPath = WindowsPath(m_root + "/Alpha/Beta").c_str();
    BOOL bNameHidden = FALSE;
    BOOL bTypesHidden = FALSE;
    BOOL bCheckShown = FALSE;
    CString name;
    DriveActiveWindow({
        [&](HWND hDlg) {
            HWND hName = ::GetDlgItem(hDlg, edt1);
            if (hName == NULL)
                return false;
            bNameHidden = !::IsWindowVisible(hName);
            bTypesHidden = !::IsWindowVisible(::GetDlgItem(hDlg, cmb1)) && !::IsWindowVisible(::GetDlgItem(hDlg, stc2));
            char text[64] = {};
            ::GetWindowText(hName, text, int(sizeof text));
            name = text;
            for (HWND h = ::GetWindow(hDlg, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
                if (HWND hCheck = ::GetDlgItem(h, IDC_PICK_DIRECTORY_CHECK))
                    bCheckShown = ::IsWindowVisible(hCheck);
            }
            return true;
        },
        PressButton(IDOK),
    });
    ASSERT_TRUE(PickDirectory(&m_main, strPath, TRUE));
    EXPECT_TRUE(bNameHidden);
    EXPECT_TRUE(bTypesHidden);
    EXPECT_TRUE(bCheckShown);
    EXPECT_STREQ(LPCTSTR(name), "Hi");
    // The folder up to and including its last backslash.
    EXPECT_STREQ(LPCTSTR(strPath), (WindowsPath(m_root + "/Alpha/Beta") + "\\").c_str());
}

} // namespace
