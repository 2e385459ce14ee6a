#include "tests/framework/DocumentTestSupport.h"

#include "platform/files/FileApi.h"
#include "platform/ui/CommDlg.h"

namespace doctest {
namespace {

using WinAppDocTest = DocTest;

TEST_F(WinAppDocTest, OpensWithTheBestTemplateAndNeverTwice)
{
    AddTemplate(kWidgetResource);
    CMultiDocTemplate* pGadgets = AddTemplate(kGadgetResource);
    testing_support::WriteFileBytes(HostPathOf("thing.gdg"), std::string("\x01" "g", 2));

    CDocument* pDoc = m_app->OpenDocumentFile(PathOf("thing.gdg"));
    ASSERT_NE(nullptr, pDoc);
    EXPECT_EQ(pGadgets, pDoc->GetDocTemplate());
    EXPECT_EQ(CString("thing.gdg"), pDoc->GetTitle());

    // The same file again, spelled otherwise: the open document answers.
    EXPECT_EQ(pDoc, m_app->OpenDocumentFile(PathOf("sub\\..\\THING.GDG")));
    EXPECT_EQ(1, m_app->GetOpenDocumentCount());
    EXPECT_EQ(1, CTextDoc::s_alive);
}

TEST_F(WinAppDocTest, OpenedAndSavedFilesJoinTheRecentListAndMissingOnesLeaveIt)
{
    AddTemplate(kWidgetResource);
    m_app->LoadStdProfileSettings(4);
    ASSERT_NE(nullptr, m_app->m_pRecentFileList);
    testing_support::WriteFileBytes(HostPathOf("here.wdg"), std::string("\x01" "h", 2));

    CDocument* pDoc = m_app->OpenDocumentFile(PathOf("here.wdg"));
    ASSERT_NE(nullptr, pDoc);
    m_app->AddToRecentFileList(PathOf("gone.wdg"));
    CRecentFileList& list = *m_app->m_pRecentFileList;
    EXPECT_EQ(PathOf("gone.wdg"), list[0]);
    EXPECT_EQ(PathOf("here.wdg"), list[1]);

    // The recent-file command of a missing file: a message, and the entry goes.
    EXPECT_TRUE(m_app->OnCmdMsg(ID_FILE_MRU_FILE1, CN_COMMAND, NULL, NULL));
    EXPECT_EQ(1u, platform::headless::MessageBoxes().size());
    EXPECT_EQ(PathOf("here.wdg"), list[0]);
    EXPECT_TRUE(list[1].IsEmpty());

    // The list outlives the run through the profile.
    m_app->SaveStdProfileSettings();
    EXPECT_EQ(PathOf("here.wdg"), m_app->GetProfileString("Recent File List", "File1"));
    m_app->LoadStdProfileSettings(2);
    EXPECT_EQ(2, m_app->m_pRecentFileList->GetSize());
    EXPECT_EQ(PathOf("here.wdg"), (*m_app->m_pRecentFileList)[0]);
}

TEST_F(WinAppDocTest, FileOpenAsksForANameWithTheOpenTitle)
{
    AddTemplate(kWidgetResource);
    testing_support::WriteFileBytes(HostPathOf("asked.wdg"), std::string("\x01" "a", 2));
    m_app->m_promptAnswers.push_back(PathOf("asked.wdg"));
    m_app->OnFileOpen();
    ASSERT_EQ(1u, m_app->m_promptTitles.size());
    EXPECT_EQ(UINT(AFX_IDS_OPENFILE), m_app->m_promptTitles[0]);
    EXPECT_TRUE(m_app->m_promptWasOpen[0]);
    EXPECT_EQ(1, m_app->GetOpenDocumentCount());

    m_app->OnFileOpen(); // cancelled
    EXPECT_EQ(1, m_app->GetOpenDocumentCount());
}

TEST_F(WinAppDocTest, FileNewWithSeveralTemplatesLetsTheUserChoose)
{
    AddTemplate(kWidgetResource);
    CMultiDocTemplate* pGadgets = AddTemplate(kGadgetResource);

    // Down to the second kind, then Enter.
    int step = 0;
    platform::headless::SetIdleHandler([&step] {
        if (step == 0)
            platform::headless::TypeKey(VK_DOWN);
        else if (step == 1)
            platform::headless::TypeKey(VK_RETURN);
        else
            return false;
        ++step;
        return true;
    });
    m_app->OnFileNew();
    platform::headless::SetIdleHandler(nullptr);
    ASSERT_EQ(1, m_app->GetOpenDocumentCount());
    POSITION pos = pGadgets->GetFirstDocPosition();
    ASSERT_NE(nullptr, pos);
    EXPECT_EQ(CString("Gadget1"), pGadgets->GetNextDoc(pos)->GetTitle());

    // Escape chooses nothing.
    step = 0;
    platform::headless::SetIdleHandler([&step] {
        if (step++ > 0)
            return false;
        platform::headless::TypeKey(VK_ESCAPE);
        return true;
    });
    m_app->OnFileNew();
    platform::headless::SetIdleHandler(nullptr);
    EXPECT_EQ(1, m_app->GetOpenDocumentCount());
}

} // namespace
} // namespace doctest

namespace doctest {
namespace {

TEST_F(WinAppDocTest, SaveDialogTakesTheTemplatesFilterAndExtension)
{
    CMultiDocTemplate* pWidgets = AddTemplate(kWidgetResource);
    ASSERT_TRUE(::SetCurrentDirectory(PathOf("")));

    // The file dialog has the focus in its name field: type a name, Enter.
    int step = 0;
    platform::headless::SetIdleHandler([&step] {
        if (step == 0)
            platform::headless::TypeText("typed");
        else if (step == 1)
            platform::headless::TypeKey(VK_RETURN);
        else
            return false;
        ++step;
        return true;
    });
    CString name;
    const BOOL bOK = m_app->CWinApp::DoPromptFileName(name, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY, FALSE, pWidgets);
    platform::headless::SetIdleHandler(nullptr);
    ASSERT_TRUE(bOK);
    EXPECT_EQ(0, name.Right(9).CompareNoCase("typed.wdg")) << static_cast<LPCTSTR>(name);
}

} // namespace
} // namespace doctest
