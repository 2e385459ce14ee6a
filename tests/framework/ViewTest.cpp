#include "tests/framework/DocumentTestSupport.h"

namespace doctest {
namespace {

constexpr UINT kViewCommand = 41001;
constexpr UINT kDocCommand = 41002;
constexpr UINT kBothCommand = 41003;

std::vector<std::string> g_calls;

// A document and a view that both answer commands.
class CCommandDoc : public CTextDoc {
    DECLARE_DYNCREATE(CCommandDoc)
protected:
    void OnDocCommand() { g_calls.push_back("doc"); }
    void OnBothCommand() { g_calls.push_back("doc both"); }
    DECLARE_MESSAGE_MAP()
};

class CCommandView : public CRecordingView {
    DECLARE_DYNCREATE(CCommandView)
public:
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override
    {
        m_activations.push_back(bActivate);
        CRecordingView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    }
    std::vector<BOOL> m_activations;

protected:
    void OnViewCommand() { g_calls.push_back("view"); }
    void OnBothCommand() { g_calls.push_back("view both"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CCommandDoc, CTextDoc)
BEGIN_MESSAGE_MAP(CCommandDoc, CTextDoc)
    ON_COMMAND(kDocCommand, OnDocCommand)
    ON_COMMAND(kBothCommand, OnBothCommand)
END_MESSAGE_MAP()

IMPLEMENT_DYNCREATE(CCommandView, CRecordingView)
BEGIN_MESSAGE_MAP(CCommandView, CRecordingView)
    ON_COMMAND(kViewCommand, OnViewCommand)
    ON_COMMAND(kBothCommand, OnBothCommand)
END_MESSAGE_MAP()

class ViewTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        g_calls.clear();
        auto* pTemplate = new CMultiDocTemplate(kWidgetResource, RUNTIME_CLASS(CCommandDoc), RUNTIME_CLASS(CFrameWnd),
            RUNTIME_CLASS(CCommandView));
        m_app->AddDocTemplate(pTemplate);
        m_doc = pTemplate->OpenDocumentFile(NULL);
        ASSERT_NE(nullptr, m_doc);
        POSITION pos = m_doc->GetFirstViewPosition();
        m_view = static_cast<CCommandView*>(m_doc->GetNextView(pos));
        m_frame = m_view->GetParentFrame();
        ASSERT_NE(nullptr, m_frame);
    }

    // A second view of the document in the same frame.
    CCommandView* AddSecondView(DWORD style = WS_CHILD | WS_VISIBLE)
    {
        CCreateContext context;
        context.m_pCurrentDoc = m_doc;
        auto* pView = new CCommandView;
        EXPECT_TRUE(pView->Create(NULL, NULL, style, CRect(0, 0, 50, 50), m_frame, AFX_IDW_PANE_FIRST + 1, &context));
        return pView;
    }

    CDocument* m_doc = nullptr;
    CCommandView* m_view = nullptr;
    CFrameWnd* m_frame = nullptr;
};

TEST_F(ViewTest, CommandsGoToTheViewThenItsDocument)
{
    EXPECT_TRUE(m_view->OnCmdMsg(kViewCommand, CN_COMMAND, NULL, NULL));
    EXPECT_TRUE(m_view->OnCmdMsg(kDocCommand, CN_COMMAND, NULL, NULL));
    EXPECT_TRUE(m_view->OnCmdMsg(kBothCommand, CN_COMMAND, NULL, NULL));
    EXPECT_FALSE(m_view->OnCmdMsg(41099, CN_COMMAND, NULL, NULL));
    EXPECT_EQ((std::vector<std::string>{"view", "doc", "view both"}), g_calls);

    // The frame's route reaches the document through its active view.
    g_calls.clear();
    m_frame->SendMessage(WM_COMMAND, kDocCommand, 0);
    EXPECT_EQ(std::vector<std::string>{"doc"}, g_calls);
}

TEST_F(ViewTest, ClickingAViewMakesItTheActiveView)
{
    ASSERT_EQ(m_view, m_frame->GetActiveView());
    CCommandView* pSecond = AddSecondView();
    m_view->m_activations.clear();

    pSecond->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_frame->m_hWnd),
        MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(pSecond, m_frame->GetActiveView());
    EXPECT_EQ(std::vector<BOOL>{FALSE}, m_view->m_activations);
    EXPECT_EQ(std::vector<BOOL>{TRUE}, pSecond->m_activations);
}

TEST_F(ViewTest, DestroyingTheActiveViewLeavesTheFrameWithoutOne)
{
    CCommandView* pSecond = AddSecondView();
    m_frame->SetActiveView(pSecond);
    pSecond->DestroyWindow();
    EXPECT_EQ(nullptr, m_frame->GetActiveView());
    EXPECT_EQ(1, CRecordingView::s_alive);
    EXPECT_EQ(1, CTextDoc::s_alive); // the document still has a view
}

TEST_F(ViewTest, PaintDrawsVisibleViewsOnly)
{
    CCommandView* pHidden = AddSecondView(WS_CHILD);
    m_frame->ShowWindow(SW_SHOW);
    m_doc->UpdateAllViews(NULL, 3);
    ::UpdateWindow(m_frame->m_hWnd);
    ::UpdateWindow(m_view->m_hWnd);
    ::UpdateWindow(pHidden->m_hWnd);
    EXPECT_GT(m_view->m_nDraws, 0);
    EXPECT_EQ(0, pHidden->m_nDraws);
    EXPECT_EQ(LPARAM(3), pHidden->m_hints.back());
}

} // namespace
} // namespace doctest
