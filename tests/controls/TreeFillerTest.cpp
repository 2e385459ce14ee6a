// Trees filled by the program: check states and the walks over them on a
// tree view with check boxes, and the folder filler over a temporary tree.

#include "controls/FolderTreeFiller.h"
#include "controls/TreeFiller.h"
#include "platform/files/FileSystem.h"
#include "platform/framework/Wnd.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "resources/SupportResources.h"
#include "tests/controls/TreeTestSupport.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Two kits, the first with two tables, and a third kit alone.
class CKitListFiller : public CTreeFiller {
public:
    using CTreeFiller::CTreeFiller;
    void Fill() override
    {
        m_hKitA = AddItem(TVI_ROOT, "Kit A", 1, 0);
        AddItem(m_hKitA, "Kit A table 1", 11, 1);
        AddItem(m_hKitA, "Kit A table 2", 12, 1);
        m_hKitB = AddItem(TVI_ROOT, "Kit B", 2, 0);
        m_hKitC = AddItem(TVI_ROOT, "Kit C", 3, 0);
    }
    HTREEITEM m_hKitA = NULL;
    HTREEITEM m_hKitB = NULL;
    HTREEITEM m_hKitC = NULL;
};

using kittest::WindowsPath;

class TreeFillerTest : public kittest::TreeWindowTest {
protected:
    void SetUp() override
    {
        TreeWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        m_hTree = ::CreateWindowEx(0, WC_TREEVIEW, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_CHECKBOXES, 10,
            10, 400, 400, m_main.m_hWnd, HMENU(INT_PTR(42)), NULL, NULL);
        ASSERT_NE(m_hTree, nullptr);
    }

    void Select(HTREEITEM hItem) { ::SendMessage(m_hTree, TVM_SELECTITEM, TVGN_CARET, LPARAM(hItem)); }
    HTREEITEM Selected() const { return HTREEITEM(::SendMessage(m_hTree, TVM_GETNEXTITEM, TVGN_CARET, 0)); }

    static std::vector<DWORD> Checked(CTreeFiller& filler)
    {
        CDWordArray items;
        filler.GetCheckedItems(items);
        std::vector<DWORD> out;
        for (INT_PTR i = 0; i < items.GetSize(); ++i)
            out.push_back(items[i]);
        return out;
    }

    HWND m_hTree = NULL;
};

TEST_F(TreeFillerTest, ToggleSelectedCheckWrapsBetweenTheTwoStates)
{
    CKitListFiller filler(m_hTree);
    filler.Fill();
    Select(filler.m_hKitB);
    EXPECT_EQ(filler.GetCheckState(filler.m_hKitB), 0);
    filler.ToggleSelectedCheck();
    EXPECT_EQ(filler.GetCheckState(filler.m_hKitB), 1);
    filler.ToggleSelectedCheck();
    EXPECT_EQ(filler.GetCheckState(filler.m_hKitB), 0);
    // With nothing selected nothing changes.
    Select(NULL);
    filler.ToggleSelectedCheck();
    EXPECT_TRUE(Checked(filler).empty());
}

TEST_F(TreeFillerTest, CheckedItemsComeByIndexWithTheirData)
{
    CKitListFiller filler(m_hTree);
    filler.Fill();
    EXPECT_EQ(filler.GetItemCount(), 5);
    EXPECT_TRUE(Checked(filler).empty());
    filler.SetCheckState(filler.m_hKitC, 1);
    filler.SetCheckState(filler.GetItemAt(2), 1); // Kit A's second table
    filler.SetCheckState(filler.m_hKitA, 1);
    EXPECT_EQ(Checked(filler), (std::vector<DWORD>{1, 12, 3}));
    EXPECT_EQ(filler.m_nItemIndex, 5);
}

TEST_F(TreeFillerTest, CheckAllTakesTheTopLevelOnly)
{
    CKitListFiller filler(m_hTree);
    filler.Fill();
    filler.CheckAll(1);
    EXPECT_EQ(Checked(filler), (std::vector<DWORD>{1, 2, 3}));
    filler.CheckAll(0);
    EXPECT_TRUE(Checked(filler).empty());
}

TEST_F(TreeFillerTest, ToggleLeafCheckLeavesItemsWithChildren)
{
    CKitListFiller filler(m_hTree);
    filler.Fill();
    Select(filler.m_hKitA);
    filler.ToggleLeafCheck();
    EXPECT_EQ(filler.GetCheckState(filler.m_hKitA), 0);
    Select(filler.m_hKitC);
    filler.ToggleLeafCheck();
    EXPECT_EQ(filler.GetCheckState(filler.m_hKitC), 1);
}

TEST_F(TreeFillerTest, RefreshSelectsTheFirstCheckedItemOrNone)
{
    CKitListFiller filler(m_hTree);
    filler.Fill();
    Select(filler.m_hKitA);
    filler.Refresh();
    EXPECT_EQ(Selected(), nullptr);
    filler.SetCheckState(filler.m_hKitC, 1);
    filler.SetCheckState(filler.m_hKitB, 1);
    filler.Refresh();
    EXPECT_EQ(Selected(), filler.m_hKitB);
    // Without the first flag the selection is only cleared.
    filler.m_bOwnsImages = FALSE;
    filler.SelectInitial();
    EXPECT_EQ(Selected(), nullptr);
}

TEST_F(TreeFillerTest, ResetEmptiesAndImagesLoad)
{
    CKitListFiller filler(m_hTree);
    filler.LoadImages();
    EXPECT_NE(filler.m_bmpLevel0.GetSafeHandle(), nullptr);
    EXPECT_NE(filler.m_bmpLevel1.GetSafeHandle(), nullptr);
    auto hImages = HIMAGELIST(::SendMessage(m_hTree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_NE(hImages, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(hImages), 2);
    filler.Fill();
    filler.ResetTree();
    EXPECT_EQ(filler.GetItemCount(), 0);
    EXPECT_TRUE(filler.GetSelectedText().IsEmpty());
}

TEST_F(TreeFillerTest, FolderFillerListsEachFolderWithAMatchOnce)
{
    std::string root = testing_support::MakeTempDir("filler");
    for (const char* folder : {"/pics/cats", "/pics/dogs/old", "/text"})
        std::filesystem::create_directories(root + folder);
    for (const char* file : {"/pics/a.bmp", "/pics/b.BMP", "/pics/cats/c.bmp", "/pics/dogs/old/d.bmp", "/text/e.txt"})
        testing_support::WriteFileBytes(root + file, "x");

    CFolderTreeFiller filler(m_hTree, "*.bmp");
    // The root is given without its backslash; the filler adds it.
    filler.SetRootPath(WindowsPath(root).c_str());
    EXPECT_STREQ(LPCTSTR(filler.m_strRootPath), (WindowsPath(root) + "\\").c_str());
    EXPECT_EQ(filler.GetFolderCount(), 3);
    ASSERT_EQ(filler.GetItemCount(), 3);
    // The results start with a folder chosen, ready to open.
    EXPECT_FALSE(filler.GetSelectedText().IsEmpty());
    std::vector<std::string> texts;
    for (int i = 0; i < 3; ++i) {
        char text[MAX_PATH] = {};
        TVITEM item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT;
        item.hItem = filler.GetItemAt(i);
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        ::SendMessage(m_hTree, TVM_GETITEM, 0, LPARAM(&item));
        texts.push_back(text);
    }
    std::sort(texts.begin(), texts.end());
    std::string base = WindowsPath(root);
    EXPECT_EQ(texts, (std::vector<std::string>{base + "\\pics\\", base + "\\pics\\cats\\", base + "\\pics\\dogs\\old\\"}));

    Select(filler.GetItemAt(1));
    EXPECT_FALSE(filler.GetSelectedText().IsEmpty());
    // A new root replaces the list.
    filler.SetRootPath((WindowsPath(root) + "\\text\\").c_str());
    EXPECT_EQ(filler.GetItemCount(), 0);
}

TEST_F(TreeFillerTest, FolderFillerGivesAFolderPathLongerThanMaxPathWhole)
{
    std::string root = testing_support::MakeTempDir("filler-deep");
    const std::string name(100, 'd');
    const std::string deep = root + "/" + name + "/" + name + "/" + name;
    std::filesystem::create_directories(deep);
    testing_support::WriteFileBytes(deep + "/a.bmp", "x");
    CFolderTreeFiller filler(m_hTree, "*.bmp");
    filler.SetRootPath(WindowsPath(root).c_str());
    ASSERT_EQ(filler.GetItemCount(), 1);
    const std::string expected = WindowsPath(deep) + "\\";
    ASSERT_GT(expected.size(), size_t(MAX_PATH));
    EXPECT_STREQ(LPCTSTR(filler.GetSelectedText()), expected.c_str());
}

TEST_F(TreeFillerTest, FolderFillerWithoutPatternTakesEveryEntry)
{
    std::string root = testing_support::MakeTempDir("filler-all");
    std::filesystem::create_directories(root + "/one/two");
    CFolderTreeFiller filler(m_hTree, "");
    EXPECT_STREQ(LPCTSTR(filler.m_strPattern), "*");
    filler.SetRootPath(WindowsPath(root).c_str());
    // The root holds "one", "one" holds "two"; "two" holds nothing.
    EXPECT_EQ(filler.GetItemCount(), 2);
}

} // namespace
