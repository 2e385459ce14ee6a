#include "tests/framework/DocumentTestSupport.h"

#include "platform/base/Exception.h"
#include "platform/framework/Menu.h"

namespace doctest {
namespace {

class RecentFileListTest : public DocTest {
protected:
    CRecentFileList MakeList(int size = 4)
    {
        return CRecentFileList(ID_FILE_MRU_FILE1, "Recent File List", "File%d", size);
    }

    static std::vector<std::string> MenuTexts(HMENU hMenu)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
            char text[128];
            const int n = ::GetMenuString(hMenu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            texts.emplace_back(text, static_cast<size_t>(std::max(n, 0)));
        }
        return texts;
    }
};

TEST_F(RecentFileListTest, NewestFirstSameFileOnceOldestDropped)
{
    CRecentFileList list(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 3);
    testing_support::WriteFileBytes(HostPathOf("b.wdg"), "b");
    list.Add(PathOf("a.wdg"));
    list.Add(PathOf("b.wdg"));
    list.Add(PathOf("c.wdg"));
    EXPECT_EQ(PathOf("c.wdg"), list[0]);
    EXPECT_EQ(PathOf("a.wdg"), list[2]);

    // The same file under another spelling moves to the front.
    list.Add(PathOf("sub\\..\\B.WDG"));
    EXPECT_EQ(PathOf("B.WDG"), list[0]);
    EXPECT_EQ(PathOf("c.wdg"), list[1]);
    EXPECT_EQ(PathOf("a.wdg"), list[2]);

    list.Add(PathOf("d.wdg"));
    EXPECT_EQ(PathOf("d.wdg"), list[0]);
    EXPECT_EQ(PathOf("c.wdg"), list[2]);

    list.Remove(0);
    EXPECT_EQ(PathOf("B.WDG"), list[0]);
    EXPECT_TRUE(list[2].IsEmpty());
    try {
        (void)list[3];
        ADD_FAILURE() << "no exception for an index past the end";
    } catch (CInvalidArgException* e) {
        e->Delete();
    }
}

TEST_F(RecentFileListTest, ListIsKeptInTheProfile)
{
    {
        CRecentFileList list = MakeList();
        list.Add(PathOf("one.wdg"));
        list.Add(PathOf("two.wdg"));
        list.WriteList();
    }
    EXPECT_EQ(PathOf("two.wdg"), m_app->GetProfileString("Recent File List", "File1"));
    EXPECT_EQ(PathOf("one.wdg"), m_app->GetProfileString("Recent File List", "File2"));
    EXPECT_TRUE(m_app->GetProfileString("Recent File List", "File3").IsEmpty());

    // An entry longer than any path is cut when read back.
    m_app->WriteProfileString("Recent File List", "File3", CString('x', 5000));
    CRecentFileList list = MakeList();
    list.ReadList();
    EXPECT_EQ(PathOf("two.wdg"), list[0]);
    EXPECT_EQ(PathOf("one.wdg"), list[1]);
    EXPECT_EQ(MAX_PATH - 1, list[2].GetLength());
}

TEST_F(RecentFileListTest, DisplayNamesAreShortened)
{
    CRecentFileList list(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 4, 30);
    list.Add("C:\\work\\designs\\shirts\\summer\\beach party.wdg");
    list.Add("C:\\a\\b.wdg");
    list.Add("C:\\docs\\mine\\x.wdg");

    CString name;
    EXPECT_TRUE(list.GetDisplayName(name, 0, "C:\\docs\\mine\\", 13));
    EXPECT_EQ(CString("x.wdg"), name);
    EXPECT_TRUE(list.GetDisplayName(name, 1, NULL, 0));
    EXPECT_EQ(CString("C:\\a\\b.wdg"), name);
    EXPECT_TRUE(list.GetDisplayName(name, 2, NULL, 0));
    EXPECT_EQ(CString("C:\\...\\summer\\beach party.wdg"), name);
    EXPECT_LE(name.GetLength(), 30);
    EXPECT_FALSE(list.GetDisplayName(name, 3, NULL, 0));
}

TEST_F(RecentFileListTest, MenuShowsNumberedEntriesInPlaceOfThePlaceholder)
{
    HMENU hPopup = ::CreatePopupMenu();
    ::AppendMenu(hPopup, MF_STRING, ID_FILE_NEW, "&New");
    ::AppendMenu(hPopup, MF_STRING, ID_FILE_MRU_FILE1, "Recent File");
    ::AppendMenu(hPopup, MF_STRING, ID_APP_EXIT, "E&xit");
    CMenu menu;
    menu.Attach(hPopup);

    CRecentFileList list = MakeList();
    auto update = [&] {
        CCmdUI ui;
        ui.m_pMenu = &menu;
        ui.m_nIndex = 1;
        ui.m_nID = ID_FILE_MRU_FILE1;
        ui.m_nIndexMax = ::GetMenuItemCount(hPopup);
        list.UpdateMenu(&ui);
        return ui;
    };

    // Empty: the placeholder stays, greyed.
    update();
    EXPECT_EQ((std::vector<std::string>{"&New", "Recent File", "E&xit"}), MenuTexts(hPopup));
    EXPECT_TRUE(::GetMenuState(hPopup, ID_FILE_MRU_FILE1, MF_BYCOMMAND) & MF_GRAYED);

    list.Add("C:\\a\\R&D.wdg");
    list.Add("C:\\a\\second.wdg");
    const CCmdUI ui = update();
    EXPECT_EQ((std::vector<std::string>{"&New", "&1 C:\\a\\second.wdg", "&2 C:\\a\\R&&D.wdg", "E&xit"}),
        MenuTexts(hPopup));
    EXPECT_EQ(UINT(ID_FILE_MRU_FILE2), ::GetMenuItemID(hPopup, 2));
    EXPECT_EQ(2u, ui.m_nIndex);
    EXPECT_EQ(4u, ui.m_nIndexMax);

    // Again after a change: the old entries are replaced, not added to.
    list.Remove(1);
    update();
    EXPECT_EQ((std::vector<std::string>{"&New", "&1 C:\\a\\second.wdg", "E&xit"}), MenuTexts(hPopup));
}

} // namespace
} // namespace doctest
