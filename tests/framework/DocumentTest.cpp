#include "tests/framework/DocumentTestSupport.h"

#include "platform/base/Exception.h"
#include "platform/files/FileApi.h"
#include "platform/framework/FrameworkIds.h"

namespace doctest {

IMPLEMENT_DYNCREATE(CTextDoc, CDocument)
IMPLEMENT_DYNCREATE(CRecordingView, CView)
IMPLEMENT_DYNCREATE(CTestScrollView, CScrollView)

CTextDoc::CTextDoc()
{
    ++s_alive;
}

CTextDoc::~CTextDoc()
{
    --s_alive;
}

void CTextDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_text;
        // Half a file has gone out when the failure comes.
        if (s_failStore)
            AfxThrowArchiveException(CArchiveException::generic);
    } else {
        ar >> m_text;
    }
}

void CTextDoc::DeleteContents()
{
    m_text.Empty();
    ++m_nDeleteContents;
}

BOOL CTextDoc::OnNewDocument()
{
    if (s_failNew)
        return FALSE;
    return CDocument::OnNewDocument();
}

CRecordingView::CRecordingView()
{
    ++s_alive;
}

CRecordingView::~CRecordingView()
{
    --s_alive;
}

void CRecordingView::OnDraw(CDC*)
{
    ++m_nDraws;
}

void CRecordingView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    m_hints.push_back(lHint);
    CView::OnUpdate(pSender, lHint, pHint);
}

namespace {

const platform::MenuItemTemplate kFileItems[] = {
    {MF_STRING, 0, ID_FILE_NEW, 0, "&New", false, nullptr, 0},
    {MF_STRING, 0, ID_FILE_MRU_FILE1, 0, "Recent File", false, nullptr, 0},
    {MF_STRING, 0, ID_APP_EXIT, 0, "E&xit", false, nullptr, 0},
};
const platform::MenuItemTemplate kBarItems[] = {
    {MF_STRING, 0, 0, 0, "&File", true, kFileItems, 3},
};
const platform::MenuTemplate kMenu{false, 0, kBarItems, 1};
const platform::ResourceEntry kEntries[] = {
    {nullptr, 4 /* RT_MENU */, nullptr, kWidgetResource, &kMenu, sizeof(kMenu)},
    {nullptr, 4 /* RT_MENU */, nullptr, kGadgetResource, &kMenu, sizeof(kMenu)},
};
const char kWidgetString[] = "\nWidget\nWidget\nWidgets (*.wdg)\n.wdg\nTest.Widget\nTest Widget";
const char kGadgetString[] = "\nGadget\nGadget File\nGadgets (*.gdg)\n.gdg\nTest.Gadget\nTest Gadget";
const platform::StringEntry kStrings[] = {
    {kWidgetResource, sizeof(kWidgetString) - 1, kWidgetString},
    {kGadgetResource, sizeof(kGadgetString) - 1, kGadgetString},
};

} // namespace

void RegisterDocTestResources()
{
    // The module keeps a pointer to the table: it must outlive the program.
    static const platform::ResourceTable table{kEntries, std::size(kEntries), kStrings, std::size(kStrings)};
    platform::RegisterResourceModule(platform::ResourceModule::Program, table);
}

namespace {

// A document with views that live in a plain parent window (no frame).
class DocumentTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        ASSERT_TRUE(m_parent.CreateEx(0, AfxDefaultWndClass(), "parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL))
            << ::GetLastError();
        m_doc = new CTextDoc;
        m_doc->m_bAutoDelete = FALSE;
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        delete m_doc;
        DocTest::TearDown();
    }

    CRecordingView* AddView(UINT nID, DWORD style = WS_CHILD | WS_VISIBLE)
    {
        CCreateContext context;
        context.m_pCurrentDoc = m_doc;
        auto* pView = new CRecordingView;
        EXPECT_TRUE(pView->Create(NULL, NULL, style, CRect(0, 0, 100, 100), &m_parent, nID, &context))
            << ::GetLastError();
        return pView;
    }

    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : platform::headless::MessageBoxes())
            texts.push_back(box.text);
        return texts;
    }

    CWnd m_parent;
    CTextDoc* m_doc = nullptr;
};

TEST_F(DocumentTest, ModifiedFlagIsClearedByNewOpenAndSave)
{
    m_doc->SetModifiedFlag();
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_TRUE(m_doc->OnNewDocument());
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_TRUE(m_doc->GetPathName().IsEmpty());

    m_doc->m_text = "hello";
    m_doc->SetModifiedFlag();
    ASSERT_TRUE(m_doc->OnSaveDocument(PathOf("a.wdg")));
    EXPECT_FALSE(m_doc->IsModified());

    m_doc->m_text = "changed";
    m_doc->SetModifiedFlag();
    ASSERT_TRUE(m_doc->OnOpenDocument(PathOf("a.wdg")));
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_EQ(CString("hello"), m_doc->m_text);
}

TEST_F(DocumentTest, SaveModifiedAsksAndFollowsTheAnswer)
{
    // Not modified: no question.
    EXPECT_TRUE(m_doc->SaveModified());
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());

    m_doc->SetPathName(PathOf("keep.wdg"), FALSE);
    m_doc->m_text = "first";
    m_doc->SetModifiedFlag();

    platform::headless::PushMessageBoxAnswer(IDCANCEL);
    EXPECT_FALSE(m_doc->SaveModified());
    EXPECT_TRUE(m_doc->IsModified());

    platform::headless::PushMessageBoxAnswer(IDNO);
    EXPECT_TRUE(m_doc->SaveModified());
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_EQ("", testing_support::ReadFileBytes(HostPathOf("keep.wdg")));

    platform::headless::PushMessageBoxAnswer(IDYES);
    EXPECT_TRUE(m_doc->SaveModified());
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_NE("", testing_support::ReadFileBytes(HostPathOf("keep.wdg")));

    const auto& boxes = platform::headless::MessageBoxes();
    ASSERT_EQ(3u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("keep.wdg"));
    EXPECT_EQ(UINT(MB_YESNOCANCEL), boxes[0].type & 0xF);
    EXPECT_TRUE(m_app->m_promptTitles.empty()); // a document with a path is not asked for a name
}

TEST_F(DocumentTest, SaveModifiedOfUntitledDocumentAsksForName)
{
    m_doc->SetTitle("Widget1");
    m_doc->m_text = "new";
    m_doc->SetModifiedFlag();

    // Yes, then the name dialog is cancelled: nothing is saved.
    platform::headless::PushMessageBoxAnswer(IDYES);
    EXPECT_FALSE(m_doc->SaveModified());
    EXPECT_TRUE(m_doc->IsModified());
    ASSERT_EQ(1u, m_app->m_promptTitles.size());
    EXPECT_EQ(UINT(AFX_IDS_SAVEFILE), m_app->m_promptTitles[0]);
    EXPECT_FALSE(m_app->m_promptWasOpen[0]);
    EXPECT_NE(std::string::npos, platform::headless::MessageBoxes()[0].text.find("Widget1"));
}

TEST_F(DocumentTest, DoSaveWithNewNameRenamesTheDocumentAndListsIt)
{
    m_app->LoadStdProfileSettings(4);
    m_doc->SetTitle("My Design 2");
    m_doc->m_text = "content";
    m_doc->SetModifiedFlag();
    m_app->m_promptAnswers.push_back(PathOf("chosen.wdg"));

    ASSERT_TRUE(m_doc->DoSave(NULL));
    // The title is proposed, cut at the first character a name should not carry.
    EXPECT_EQ(CString("My"), m_app->m_promptProposals[0]);
    EXPECT_EQ(PathOf("chosen.wdg"), m_doc->GetPathName());
    EXPECT_EQ(CString("chosen.wdg"), m_doc->GetTitle());
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_EQ(PathOf("chosen.wdg"), (*m_app->m_pRecentFileList)[0]);

    // Save As a copy leaves the document's name alone.
    m_app->m_promptAnswers.push_back(PathOf("copy.wdg"));
    ASSERT_TRUE(m_doc->DoSave(NULL, FALSE));
    EXPECT_EQ(PathOf("chosen.wdg"), m_doc->GetPathName());
    EXPECT_EQ(UINT(AFX_IDS_SAVEFILECOPY), m_app->m_promptTitles[1]);
    EXPECT_EQ(testing_support::ReadFileBytes(HostPathOf("chosen.wdg")),
        testing_support::ReadFileBytes(HostPathOf("copy.wdg")));
}

TEST_F(DocumentTest, FailedSaveKeepsTheOldFile)
{
    m_doc->m_text = "the user's work";
    ASSERT_TRUE(m_doc->OnSaveDocument(PathOf("safe.wdg")));
    const std::string before = testing_support::ReadFileBytes(HostPathOf("safe.wdg"));
    ASSERT_FALSE(before.empty());

    m_doc->m_text = "a much longer text that would overwrite the old one";
    m_doc->SetModifiedFlag();
    CTextDoc::s_failStore = true;
    EXPECT_FALSE(m_doc->OnSaveDocument(PathOf("safe.wdg")));
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_EQ(before, testing_support::ReadFileBytes(HostPathOf("safe.wdg")));
    ASSERT_EQ(1u, platform::headless::MessageBoxes().size());
    EXPECT_NE(std::string::npos, platform::headless::MessageBoxes()[0].text.find("safe.wdg"));
}

TEST_F(DocumentTest, FailedOpenReportsAndEmptiesTheDocument)
{
    m_doc->m_text = "old";
    EXPECT_FALSE(m_doc->OnOpenDocument(PathOf("missing.wdg")));
    ASSERT_EQ(1u, MessageTexts().size());
    EXPECT_NE(std::string::npos, MessageTexts()[0].find("missing.wdg"));

    // A file that ends inside its first string is a bad file.
    testing_support::WriteFileBytes(HostPathOf("short.wdg"), std::string("\x10" "abc", 4));
    const int deletes = m_doc->m_nDeleteContents;
    EXPECT_FALSE(m_doc->OnOpenDocument(PathOf("short.wdg")));
    EXPECT_GT(m_doc->m_nDeleteContents, deletes);
    EXPECT_TRUE(m_doc->m_text.IsEmpty());
    EXPECT_EQ(2u, MessageTexts().size());
}

TEST_F(DocumentTest, ReadOnlyFileIsSavedUnderANewName)
{
    m_doc->m_text = "x";
    ASSERT_TRUE(m_doc->OnSaveDocument(PathOf("ro.wdg")));
    m_doc->SetPathName(PathOf("ro.wdg"), FALSE);
    ASSERT_TRUE(::SetFileAttributes(PathOf("ro.wdg"), FILE_ATTRIBUTE_READONLY));

    m_app->m_promptAnswers.push_back(PathOf("rw.wdg"));
    EXPECT_TRUE(m_doc->DoFileSave());
    EXPECT_EQ(1u, m_app->m_promptTitles.size());
    EXPECT_EQ(PathOf("rw.wdg"), m_doc->GetPathName());
    ::SetFileAttributes(PathOf("ro.wdg"), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DocumentTest, SaveCommandIsDispatchedByTheDocumentsMap)
{
    m_doc->SetPathName(PathOf("cmd.wdg"), FALSE);
    m_doc->m_text = "by command";
    m_doc->SetModifiedFlag();
    EXPECT_TRUE(m_doc->OnCmdMsg(ID_FILE_SAVE, CN_COMMAND, NULL, NULL));
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_NE("", testing_support::ReadFileBytes(HostPathOf("cmd.wdg")));

    AFX_CMDHANDLERINFO info;
    EXPECT_TRUE(m_doc->OnCmdMsg(ID_FILE_SAVE_AS, CN_COMMAND, NULL, &info));
    EXPECT_EQ(m_doc, info.pTarget);
    EXPECT_FALSE(m_doc->OnCmdMsg(ID_FILE_PRINT, CN_COMMAND, NULL, NULL));
}

TEST_F(DocumentTest, UpdateAllViewsReachesHiddenViewsButNeverTheSender)
{
    CRecordingView* pSender = AddView(AFX_IDW_PANE_FIRST);
    CRecordingView* pShown = AddView(AFX_IDW_PANE_FIRST + 1);
    CRecordingView* pHidden = AddView(AFX_IDW_PANE_FIRST + 2, WS_CHILD);
    ASSERT_EQ(3, CRecordingView::s_alive);
    ::UpdateWindow(m_parent.m_hWnd);
    const int hiddenDraws = pHidden->m_nDraws;

    m_doc->UpdateAllViews(pSender, 10, NULL);
    EXPECT_TRUE(pSender->m_hints.empty());
    EXPECT_EQ(std::vector<LPARAM>{10}, pShown->m_hints);
    EXPECT_EQ(std::vector<LPARAM>{10}, pHidden->m_hints);

    // The default OnUpdate invalidates, but the hidden view is never painted.
    ::UpdateWindow(m_parent.m_hWnd);
    ::UpdateWindow(pShown->m_hWnd);
    ::UpdateWindow(pHidden->m_hWnd);
    EXPECT_GT(pShown->m_nDraws, 0);
    EXPECT_EQ(0, hiddenDraws);
    EXPECT_EQ(0, pHidden->m_nDraws);
}

TEST_F(DocumentTest, ViewsJoinAndLeaveTheirDocument)
{
    CRecordingView* pFirst = AddView(AFX_IDW_PANE_FIRST);
    CRecordingView* pSecond = AddView(AFX_IDW_PANE_FIRST + 1);
    EXPECT_EQ(m_doc, pFirst->GetDocument());

    POSITION pos = m_doc->GetFirstViewPosition();
    EXPECT_EQ(pFirst, m_doc->GetNextView(pos));
    EXPECT_EQ(pSecond, m_doc->GetNextView(pos));
    EXPECT_EQ(NULL, pos);

    // A view deletes itself with its window and leaves the document.
    pFirst->DestroyWindow();
    EXPECT_EQ(1, CRecordingView::s_alive);
    pos = m_doc->GetFirstViewPosition();
    EXPECT_EQ(pSecond, m_doc->GetNextView(pos));
    EXPECT_EQ(NULL, pos);
}

TEST_F(DocumentTest, LastViewGoingClosesOnlyAnAutoDeleteDocument)
{
    // m_doc does not delete itself: it outlives its last view.
    AddView(AFX_IDW_PANE_FIRST)->DestroyWindow();
    EXPECT_EQ(1, CTextDoc::s_alive);
    EXPECT_EQ(NULL, m_doc->GetFirstViewPosition());

    auto* pAuto = new CTextDoc; // m_bAutoDelete: closes itself
    CCreateContext context;
    context.m_pCurrentDoc = pAuto;
    auto* pView = new CRecordingView;
    ASSERT_TRUE(pView->Create(NULL, NULL, WS_CHILD, CRect(0, 0, 10, 10), &m_parent, 1, &context));
    EXPECT_EQ(2, CTextDoc::s_alive);
    pView->DestroyWindow();
    EXPECT_EQ(1, CTextDoc::s_alive);
}

TEST_F(DocumentTest, SetPathNameMakesThePathFullAndTitlesTheDocument)
{
    ASSERT_TRUE(::SetCurrentDirectory(PathOf("")));
    m_doc->SetPathName("relative.wdg", FALSE);
    EXPECT_EQ(PathOf("relative.wdg"), m_doc->GetPathName());
    EXPECT_EQ(CString("relative.wdg"), m_doc->GetTitle());
}

} // namespace
} // namespace doctest
