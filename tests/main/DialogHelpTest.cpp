// Help and housekeeping around the common dialogs: a dialog's Help button
// opens the topic of the application's help context, and Print Setup tells
// the design it opens over before and after the dialog.

#include "MainFrameTestSupport.h"

#include "app/Paths.h"
#include "app/main/AppGlobals.h"
#include "pictures/FileImageDlg.h"
#include "platform/framework/OleDoc.h"
#include "platform/ui/CommDlg.h"

#include <string>
#include <vector>

namespace {

using mainframetest::MainFrameTest;

TEST_F(MainFrameTest, CommonDialogHelpOpensTheTopicOfTheCurrentHelpContext)
{
    // 0x1E104 and 0x1E101: the topics of saving a new design and of opening one.
    ProgramFile("support/help/Tovellum/map.txt", "123140 savenew.html\n123137 open.html\n");
    ProgramFile("support/help/Tovellum/savenew.html", "<html></html>");
    ProgramFile("support/help/Tovellum/open.html", "<html></html>");
    ASSERT_NE(StartFrame(), nullptr);
    InitAppGlobals();

    auto pressHelpThenCancel = [this]() {
        char szFile[MAX_PATH] = {};
        OPENFILENAME ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = MainWindow();
        ofn.lpstrFile = szFile;
        ofn.nMaxFile = sizeof szFile;
        ofn.Flags = OFN_SHOWHELP;
        Drive({Press(pshHelp), Press(IDCANCEL)});
        EXPECT_FALSE(::GetOpenFileName(&ofn));
    };

    // The program-wide setter, as the design commands use it.
    SetHelpContext(0x1E104);
    EXPECT_EQ(m_app->GetHelpContext(), 0x1E104u);
    pressHelpThenCancel();
    ASSERT_EQ(m_openedUrls.size(), 1u);
    EXPECT_NE(m_openedUrls[0].find("savenew.html"), std::string::npos);

    // The application's own setter names the same context.
    m_app->SetHelpContext(0x1E101);
    EXPECT_EQ(GetHelpContext(), 0x1E101u);
    pressHelpThenCancel();
    ASSERT_EQ(m_openedUrls.size(), 2u);
    EXPECT_NE(m_openedUrls[1].find("open.html"), std::string::npos);
}

TEST_F(MainFrameTest, PictureFileDialogHelpOpensItsTopicWhoeverOwnsIt)
{
    // 98329: choosing one picture.
    ProgramFile("support/help/Tovellum/map.txt", "98329 onepicture.html\n");
    ProgramFile("support/help/Tovellum/onepicture.html", "<html></html>");
    ASSERT_NE(StartFrame(), nullptr);
    InitAppGlobals();

    auto pressHelpThenCancel = [this](CWnd* pOwner) {
        CString strPath;
        Drive({Press(pshHelp), Press(IDCANCEL)});
        EXPECT_EQ(ChoosePictureFromFileDialog(pOwner, strPath, CFileImageDlgNested::modeOpenPicture), 2);
        AfxPumpMessagesUntilIdle();
    };
    // Owned by the main window, which opens the topic.
    pressHelpThenCancel(m_app->m_pMainWnd);
    ASSERT_EQ(m_openedUrls.size(), 1u);
    EXPECT_NE(m_openedUrls[0].find("onepicture.html"), std::string::npos);
    // Owned by another window (a dialog that asks for a picture), which
    // does not: the topic still opens, once.
    const HWND hOwner = ::CreateWindowEx(0, "STATIC", "Owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
        m_app->m_pMainWnd->GetSafeHwnd(), NULL, NULL, NULL);
    ASSERT_NE(hOwner, nullptr);
    pressHelpThenCancel(CWnd::FromHandle(hOwner));
    ASSERT_EQ(m_openedUrls.size(), 2u);
    EXPECT_NE(m_openedUrls[1].find("onepicture.html"), std::string::npos);
    ::DestroyWindow(hOwner);
}

// What the document and the dialog did, in order.
std::vector<std::string> g_events;

class CNoticedDoc : public COleDocument {
public:
    void OnBeforeModalDialog() override { g_events.emplace_back("before"); }
    void OnAfterModalDialog() override { g_events.emplace_back("after"); }
};

class CPlainView : public CView {
public:
    void OnDraw(CDC*) override {}
};

class PrintSetupNoticeTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        g_events.clear();
        MakeApp();
        m_pFrame = new CFrameWnd;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "main"));
        m_app->m_pMainWnd = m_pFrame;
        UseProgramProfile();
        m_doc.m_bAutoDelete = FALSE;
        platform::headless::SetIdleHandler([this]() {
            HWND hActive = ::GetActiveWindow();
            if (hActive == NULL || hActive == m_pFrame->m_hWnd)
                return false;
            g_events.emplace_back("dialog");
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        });
    }

    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        if (m_pFrame->m_hWnd != NULL)
            m_pFrame->DestroyWindow();
        m_app->m_pMainWnd = nullptr;
        AppTest::TearDown();
    }

    void ShowView()
    {
        CCreateContext context;
        context.m_pCurrentDoc = &m_doc;
        auto* pView = new CPlainView;
        ASSERT_TRUE(pView->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), m_pFrame,
            AFX_IDW_PANE_FIRST, &context));
        m_pFrame->SetActiveView(pView);
    }

    CFrameWnd* m_pFrame = nullptr;
    CNoticedDoc m_doc;
};

TEST_F(PrintSetupNoticeTest, ActiveDocumentHearsOfTheDialogBeforeAndAfter)
{
    // No view: nobody to tell.
    m_app->OnFilePrintSetup();
    EXPECT_EQ(g_events, std::vector<std::string>{"dialog"});

    g_events.clear();
    ShowView();
    m_app->OnFilePrintSetup();
    EXPECT_EQ(g_events, (std::vector<std::string>{"before", "dialog", "after"}));
}

} // namespace
