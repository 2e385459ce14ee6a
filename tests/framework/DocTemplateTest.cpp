#include "tests/framework/DocumentTestSupport.h"

namespace doctest {
namespace {

using DocTemplateTest = DocTest;

int DocumentCount(const CDocTemplate& tpl)
{
    int n = 0;
    POSITION pos = tpl.GetFirstDocPosition();
    while (pos != NULL) {
        tpl.GetNextDoc(pos);
        ++n;
    }
    return n;
}

CFrameWnd* FrameOf(CDocument* pDoc)
{
    POSITION pos = pDoc->GetFirstViewPosition();
    return pos != NULL ? pDoc->GetNextView(pos)->GetParentFrame() : NULL;
}

TEST_F(DocTemplateTest, DocStringSubstringsInOrder)
{
    CMultiDocTemplate* pTemplate = AddTemplate(kGadgetResource);
    const std::pair<CDocTemplate::DocStringIndex, const char*> expected[] = {
        {CDocTemplate::windowTitle, ""},
        {CDocTemplate::docName, "Gadget"},
        {CDocTemplate::fileNewName, "Gadget File"},
        {CDocTemplate::filterName, "Gadgets (*.gdg)"},
        {CDocTemplate::filterExt, ".gdg"},
        {CDocTemplate::regFileTypeId, "Test.Gadget"},
        {CDocTemplate::regFileTypeName, "Test Gadget"},
    };
    for (const auto& [index, text] : expected) {
        CString s("junk");
        EXPECT_TRUE(pTemplate->GetDocString(s, index)) << index;
        EXPECT_EQ(CString(text), s) << index;
    }

    // A template whose string has fewer parts answers FALSE for the rest.
    pTemplate->m_strDocStrings = "\nShort";
    CString s("junk");
    EXPECT_FALSE(pTemplate->GetDocString(s, CDocTemplate::filterExt));
    EXPECT_TRUE(s.IsEmpty());
}

TEST_F(DocTemplateTest, MatchDocTypeConfidences)
{
    CMultiDocTemplate* pWidgets = AddTemplate(kWidgetResource);
    CDocument* pMatch = reinterpret_cast<CDocument*>(1);
    EXPECT_EQ(CDocTemplate::yesAttemptNative, pWidgets->MatchDocType(PathOf("x.WDG"), pMatch));
    EXPECT_EQ(NULL, pMatch);
    EXPECT_EQ(CDocTemplate::yesAttemptForeign, pWidgets->MatchDocType(PathOf("x.gdg"), pMatch));
    EXPECT_EQ(CDocTemplate::yesAttemptForeign, pWidgets->MatchDocType(PathOf("wdg"), pMatch));

    // Already open: the same file, whatever the spelling of its path.
    testing_support::WriteFileBytes(HostPathOf("open.wdg"), std::string("\x02" "hi", 3));
    CDocument* pDoc = pWidgets->OpenDocumentFile(PathOf("open.wdg"));
    ASSERT_NE(nullptr, pDoc);
    EXPECT_EQ(CDocTemplate::yesAlreadyOpen, pWidgets->MatchDocType(PathOf("sub\\..\\OPEN.wdg"), pMatch));
    EXPECT_EQ(pDoc, pMatch);
}

TEST_F(DocTemplateTest, NewDocumentsAreNumberedAndShownInTheirOwnFrames)
{
    CMultiDocTemplate* pTemplate = AddTemplate(kWidgetResource);
    CDocument* pFirst = pTemplate->OpenDocumentFile(NULL);
    CDocument* pSecond = pTemplate->OpenDocumentFile(NULL);
    ASSERT_NE(nullptr, pFirst);
    ASSERT_NE(nullptr, pSecond);
    EXPECT_EQ(CString("Widget1"), pFirst->GetTitle());
    EXPECT_EQ(CString("Widget2"), pSecond->GetTitle());
    EXPECT_EQ(pTemplate, pFirst->GetDocTemplate());
    EXPECT_EQ(2, DocumentCount(*pTemplate));

    CFrameWnd* pFrame = FrameOf(pFirst);
    ASSERT_NE(nullptr, pFrame);
    EXPECT_NE(FrameOf(pSecond), pFrame);
    CView* pView = pFrame->GetActiveView();
    ASSERT_NE(nullptr, pView);
    EXPECT_EQ(UINT(AFX_IDW_PANE_FIRST), static_cast<UINT>(::GetDlgCtrlID(pView->m_hWnd)));
    EXPECT_EQ(pFirst, pView->GetDocument());
    // The initial update reached the view.
    EXPECT_EQ(std::vector<LPARAM>{0}, static_cast<CRecordingView*>(pView)->m_hints);
}

std::string Caption(CWnd* pWnd)
{
    char text[256];
    const int n = ::GetWindowText(pWnd->m_hWnd, text, sizeof text);
    return std::string(text, static_cast<size_t>(std::max(n, 0)));
}

TEST_F(DocTemplateTest, SecondWindowOnADocumentIsNumberedAndClosesAlone)
{
    CMultiDocTemplate* pTemplate = AddTemplate(kWidgetResource);
    CDocument* pDoc = pTemplate->OpenDocumentFile(NULL);
    ASSERT_NE(nullptr, pDoc);
    CFrameWnd* pFirst = FrameOf(pDoc);
    EXPECT_NE(std::string::npos, Caption(pFirst).find("Widget1"));
    EXPECT_EQ(std::string::npos, Caption(pFirst).find(":1"));

    CFrameWnd* pSecond = pTemplate->CreateNewFrame(pDoc, pFirst);
    ASSERT_NE(nullptr, pSecond);
    pTemplate->InitialUpdateFrame(pSecond, pDoc);
    EXPECT_NE(std::string::npos, Caption(pFirst).find("Widget1:1"));
    EXPECT_NE(std::string::npos, Caption(pSecond).find("Widget1:2"));

    // A title change reaches every frame.
    pDoc->SetTitle("Renamed");
    EXPECT_NE(std::string::npos, Caption(pSecond).find("Renamed:2"));

    // Closing one of two frames loses nothing: no question, the document stays.
    pDoc->SetModifiedFlag();
    EXPECT_TRUE(pDoc->CanCloseFrame(pSecond));
    pSecond->DestroyWindow();
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
    EXPECT_EQ(1, CTextDoc::s_alive);
    EXPECT_EQ(std::string::npos, Caption(pFirst).find(":1"));

    // The last frame asks.
    platform::headless::PushMessageBoxAnswer(IDCANCEL);
    EXPECT_FALSE(pDoc->CanCloseFrame(pFirst));
    EXPECT_EQ(1u, platform::headless::MessageBoxes().size());
}

TEST_F(DocTemplateTest, FailuresLeaveNoDocumentOrFrameBehind)
{
    CMultiDocTemplate* pTemplate = AddTemplate(kWidgetResource);
    CTextDoc::s_failNew = true;
    EXPECT_EQ(nullptr, pTemplate->OpenDocumentFile(NULL));
    EXPECT_EQ(0, CTextDoc::s_alive);
    EXPECT_EQ(0, CRecordingView::s_alive);
    EXPECT_EQ(0, DocumentCount(*pTemplate));
    CTextDoc::s_failNew = false;

    // The failed one did not use up a number.
    CDocument* pDoc = pTemplate->OpenDocumentFile(NULL);
    ASSERT_NE(nullptr, pDoc);
    EXPECT_EQ(CString("Widget1"), pDoc->GetTitle());

    EXPECT_EQ(nullptr, pTemplate->OpenDocumentFile(PathOf("missing.wdg")));
    EXPECT_EQ(1, CTextDoc::s_alive);
    EXPECT_EQ(1, CRecordingView::s_alive);
    EXPECT_EQ(1, DocumentCount(*pTemplate));
    EXPECT_EQ(1u, platform::headless::MessageBoxes().size());
}

TEST_F(DocTemplateTest, ClosingAFrameDeletesItsViewsAndTheDocument)
{
    CMultiDocTemplate* pTemplate = AddTemplate(kWidgetResource);
    CDocument* pDoc = pTemplate->OpenDocumentFile(NULL);
    ASSERT_NE(nullptr, pDoc);
    CFrameWnd* pFrame = FrameOf(pDoc);
    ASSERT_NE(nullptr, pFrame);
    EXPECT_EQ(1, CRecordingView::s_alive);

    pFrame->DestroyWindow();
    EXPECT_EQ(0, CRecordingView::s_alive);
    EXPECT_EQ(0, CTextDoc::s_alive);
    EXPECT_EQ(0, DocumentCount(*pTemplate));
}

TEST_F(DocTemplateTest, CloseAllAndSaveAllAskEveryDocument)
{
    CMultiDocTemplate* pTemplate = AddTemplate(kWidgetResource);
    CDocument* pFirst = pTemplate->OpenDocumentFile(NULL);
    CDocument* pSecond = pTemplate->OpenDocumentFile(NULL);
    pFirst->SetModifiedFlag();
    pSecond->SetModifiedFlag();

    // No for the first, Cancel for the second: the whole answer is no.
    platform::headless::PushMessageBoxAnswer(IDNO);
    platform::headless::PushMessageBoxAnswer(IDCANCEL);
    EXPECT_FALSE(m_app->SaveAllModified());
    EXPECT_EQ(2u, platform::headless::MessageBoxes().size());

    m_app->CloseAllDocuments(FALSE);
    EXPECT_EQ(0, CTextDoc::s_alive);
    EXPECT_EQ(0, CRecordingView::s_alive);
    EXPECT_EQ(0, m_app->GetOpenDocumentCount());
}

TEST_F(DocTemplateTest, SharedMenuIsLoadedOnceAndDestroyedOnce)
{
    CMultiDocTemplate* pOwner = AddTemplate(kWidgetResource);
    const HMENU hMenu = pOwner->m_hMenuShared;
    ASSERT_TRUE(::IsMenu(hMenu));
    pOwner->LoadTemplate();
    EXPECT_EQ(hMenu, pOwner->m_hMenuShared);

    // A second template gives its own menu up and borrows the first's, as
    // a program shares one menu between its kinds; it lets go of the
    // borrowed handle before its destructor runs.
    struct BorrowingTemplate : CMultiDocTemplate {
        BorrowingTemplate()
            : CMultiDocTemplate(kGadgetResource, RUNTIME_CLASS(CTextDoc), RUNTIME_CLASS(CFrameWnd),
                RUNTIME_CLASS(CRecordingView))
        {
        }
        ~BorrowingTemplate() override { m_hMenuShared = NULL; }
    };
    auto* pBorrower = new BorrowingTemplate;
    m_app->AddDocTemplate(pBorrower);
    const HMENU hOwn = pBorrower->m_hMenuShared;
    ASSERT_TRUE(::IsMenu(hOwn));
    ::DestroyMenu(hOwn);
    pBorrower->m_hMenuShared = hMenu;

    m_app->m_templateList.RemoveAt(m_app->m_templateList.Find(pBorrower));
    delete pBorrower;
    EXPECT_TRUE(::IsMenu(hMenu));
    m_app->m_templateList.RemoveAt(m_app->m_templateList.Find(pOwner));
    delete pOwner;
    EXPECT_FALSE(::IsMenu(hMenu));
}

TEST_F(DocTemplateTest, SingleDocTemplateReusesItsDocument)
{
    auto* pTemplate = new CSingleDocTemplate(kWidgetResource, RUNTIME_CLASS(CTextDoc), RUNTIME_CLASS(CFrameWnd),
        RUNTIME_CLASS(CRecordingView));
    m_app->AddDocTemplate(pTemplate);
    CDocument* pDoc = pTemplate->OpenDocumentFile(NULL);
    ASSERT_NE(nullptr, pDoc);
    EXPECT_EQ(CString("Untitled"), pDoc->GetTitle());
    EXPECT_EQ(m_app->m_pMainWnd, FrameOf(pDoc));

    testing_support::WriteFileBytes(HostPathOf("single.wdg"), std::string("\x03" "abc", 4));
    pDoc->SetModifiedFlag();
    platform::headless::PushMessageBoxAnswer(IDNO);
    EXPECT_EQ(pDoc, pTemplate->OpenDocumentFile(PathOf("single.wdg")));
    EXPECT_EQ(CString("abc"), static_cast<CTextDoc*>(pDoc)->m_text);
    EXPECT_EQ(1, CTextDoc::s_alive);
    EXPECT_EQ(1, CRecordingView::s_alive);
    m_app->m_pMainWnd = NULL;
}

} // namespace
} // namespace doctest
