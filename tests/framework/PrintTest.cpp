#include "tests/framework/PrintTestSupport.h"

#include "platform/framework/FrameworkIds.h"
#include "tests/framework/PpmImage.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace printtest {

IMPLEMENT_DYNCREATE(CPageDoc, CDocument)
IMPLEMENT_DYNCREATE(CPageView, CView)

BEGIN_MESSAGE_MAP(CPageView, CView)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

BOOL CPageView::OnPreparePrinting(CPrintInfo* pInfo)
{
    if (s_pageCount != 0)
        pInfo->SetMaxPage(s_pageCount);
    return DoPreparePrinting(pInfo);
}

void CPageView::OnBeginPrinting(CDC*, CPrintInfo*)
{
    ++s_begin;
}

void CPageView::OnEndPrinting(CDC*, CPrintInfo*)
{
    ++s_end;
}

void CPageView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    s_pages.push_back(pInfo->m_nCurPage);
    s_isPrinting.push_back(pDC->IsPrinting());
    s_rectDraw.push_back(pInfo->m_rectDraw);
    s_isPreview.push_back(IsPreviewDC(pDC));
    int x = int(pInfo->m_nCurPage - 1) * kPageStep;
    pDC->FillSolidRect(CRect(x, x, x + kSquare, x + kSquare), pInfo->m_nCurPage == 1 ? kRed : kBlue);
    if (s_cancelOnPage == pInfo->m_nCurPage) {
        // The user presses Cancel in the "Printing" box meanwhile.
        HWND hStatus = ::FindWindow(NULL, "Printing");
        HWND hButton = hStatus ? ::GetDlgItem(hStatus, IDCANCEL) : NULL;
        s_cancelSeen.push_back(IsPrintJobCancelled());
        if (hButton)
            ::PostMessage(hStatus, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(hButton));
        // Long drawing on a page lets waiting messages through and then
        // asks whether to go on.
        MSG msg;
        while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
        s_cancelSeen.push_back(IsPrintJobCancelled());
    }
}

void CPageView::OnDraw(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(rect, kGreen);
}

void PrintFixture::SetUp()
{
    platform::headless::Reset();
    // No profile file of an earlier test: the registry starts empty.
    std::remove(platform::RegistryFilePath().c_str());
    platform::ResetRegistryForTests();
    platform::InitFileSystem();
    platform::SetPrinterListProvider(nullptr);
    CPageView::Reset();
    m_app = std::make_unique<CPrintTestApp>();
    m_dir = testing_support::MakeTempDir("print");

    m_doc = new CPageDoc;
    m_doc->m_bAutoDelete = FALSE;
    m_doc->SetTitle("Two Pages");
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CPageView);
    context.m_pCurrentDoc = m_doc;
    m_frame = new CFrameWnd;
    ASSERT_TRUE(m_frame->Create(NULL, "Print Test", WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 480), NULL, NULL, 0,
        &context));
    m_app->m_pMainWnd = m_frame;
    m_frame->InitialUpdateFrame(m_doc, TRUE);
    m_view = static_cast<CPageView*>(m_frame->GetActiveView());
    ASSERT_NE(nullptr, m_view);
}

void PrintFixture::TearDown()
{
    platform::headless::SetIdleHandler(nullptr);
    if (m_frame && ::IsWindow(m_frame->GetSafeHwnd()))
        m_frame->DestroyWindow();
    m_frame = nullptr;
    delete m_doc;
    m_doc = nullptr;
    if (m_app)
        m_app->m_pMainWnd = nullptr;
    platform::headless::Reset();
    m_app.reset();
}

void PrintFixture::AnswerFileDialogWith(const CString& path)
{
    platform::headless::SetIdleHandler([this, path]() {
        HWND hDlg = ::GetActiveWindow();
        if (!hDlg || !::GetDlgItem(hDlg, edt1))
            return false;
        ::SetDlgItemText(hDlg, edt1, path);
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDOK)));
        ++m_dialogsAnswered;
        return true;
    });
}

void PrintFixture::AnswerDialogWith(int nID)
{
    platform::headless::SetIdleHandler([this, nID]() {
        HWND hDlg = ::GetActiveWindow();
        HWND hButton = hDlg ? ::GetDlgItem(hDlg, nID) : NULL;
        if (!hButton || hDlg == m_frame->GetSafeHwnd())
            return false;
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(hButton));
        ++m_dialogsAnswered;
        return true;
    });
}

namespace {

using PrintLoopTest = PrintFixture;

using Image = fwtest::PpmImage;
using fwtest::ReadPpm;

bool Near(COLORREF a, COLORREF b)
{
    auto close = [](int x, int y) { return std::abs(x - y) <= 8; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

bool FileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

TEST_F(PrintLoopTest, PrintsEveryPageIntoThePdfThatRendersThem)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    AnswerFileDialogWith(PathOf("two.pdf"));
    Command(ID_FILE_PRINT_DIRECT);

    EXPECT_EQ(1, m_dialogsAnswered); // only the output file was asked for
    EXPECT_EQ(1, CPageView::s_begin);
    EXPECT_EQ(1, CPageView::s_end);
    ASSERT_EQ((std::vector<UINT>{1, 2}), CPageView::s_pages);
    EXPECT_TRUE(CPageView::s_isPrinting[0] && CPageView::s_isPrinting[1]);
    // Letter at 600 dpi less a quarter inch on each side.
    EXPECT_EQ(CRect(0, 0, 4800, 6300), CPageView::s_rectDraw[0]);
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
    EXPECT_TRUE(m_frame->IsWindowEnabled());
    EXPECT_EQ(HWND(NULL), ::FindWindow(NULL, "Printing"));

    // 50 dpi: page 1's square covers 12.5..62.5 px, page 2's 112.5..162.5.
    std::string prefix = HostPathOf("page");
    std::string command = "pdftoppm -r 50 '" + HostPathOf("two.pdf") + "' '" + prefix + "'";
    ASSERT_EQ(0, std::system(command.c_str()));
    Image first, second;
    ASSERT_TRUE(ReadPpm(prefix + "-1.ppm", first));
    ASSERT_TRUE(ReadPpm(prefix + "-2.ppm", second));
    EXPECT_FALSE(FileExists(prefix + "-3.ppm"));
    EXPECT_EQ(425, first.width);
    EXPECT_EQ(550, first.height);
    EXPECT_TRUE(Near(kRed, first.At(37, 37)));
    EXPECT_TRUE(Near(RGB(255, 255, 255), first.At(137, 137)));
    EXPECT_TRUE(Near(RGB(255, 255, 255), first.At(5, 5))); // outside the printable area
    EXPECT_TRUE(Near(kBlue, second.At(137, 137)));
    EXPECT_TRUE(Near(RGB(255, 255, 255), second.At(37, 37)));
}

TEST_F(PrintLoopTest, CancelWhilePrintingAbortsTheJob)
{
    CPageView::s_cancelOnPage = 1;
    AnswerFileDialogWith(PathOf("cancelled.pdf"));
    Command(ID_FILE_PRINT_DIRECT);

    EXPECT_EQ((std::vector<UINT>{1}), CPageView::s_pages);
    EXPECT_EQ((std::vector<BOOL>{FALSE, TRUE}), CPageView::s_cancelSeen);
    EXPECT_FALSE(IsPrintJobCancelled()); // no job runs any more
    EXPECT_EQ(1, CPageView::s_end); // the view still cleans up
    // An aborted job leaves no file, and the user who cancelled is not told
    // that printing failed.
    EXPECT_FALSE(FileExists(HostPathOf("cancelled.pdf")));
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
    EXPECT_TRUE(m_frame->IsWindowEnabled());
    EXPECT_EQ(HWND(NULL), ::FindWindow(NULL, "Printing"));
}

TEST_F(PrintLoopTest, PrintDialogDecidesWhetherTheJobRuns)
{
    // Cancel: nothing begins.
    AnswerDialogWith(IDCANCEL);
    Command(ID_FILE_PRINT);
    EXPECT_EQ(1, m_dialogsAnswered);
    EXPECT_EQ(0, CPageView::s_begin);
    EXPECT_TRUE(CPageView::s_pages.empty());

    // OK, then the file name: both pages.
    m_dialogsAnswered = 0;
    CString path = PathOf("chosen.pdf");
    platform::headless::SetIdleHandler([this, path]() {
        HWND hDlg = ::GetActiveWindow();
        if (!hDlg || hDlg == m_frame->GetSafeHwnd())
            return false;
        if (::GetDlgItem(hDlg, edt1))
            ::SetDlgItemText(hDlg, edt1, path);
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDOK)));
        ++m_dialogsAnswered;
        return true;
    });
    Command(ID_FILE_PRINT);
    EXPECT_EQ(2, m_dialogsAnswered);
    EXPECT_EQ((std::vector<UINT>{1, 2}), CPageView::s_pages);
    EXPECT_TRUE(FileExists(HostPathOf("chosen.pdf")));
    // The application keeps the printer chosen.
    EXPECT_NE(nullptr, m_app->m_hDevNames);
}

TEST_F(PrintLoopTest, DocumentOfUnknownLengthPrintsOnePage)
{
    CPageView::s_pageCount = 0;
    AnswerFileDialogWith(PathOf("one.pdf"));
    Command(ID_FILE_PRINT_DIRECT);
    EXPECT_EQ((std::vector<UINT>{1}), CPageView::s_pages);
    EXPECT_TRUE(FileExists(HostPathOf("one.pdf")));
}

TEST_F(PrintLoopTest, CancelledOutputFileNameStopsBeforeTheJob)
{
    AnswerDialogWith(IDCANCEL);
    Command(ID_FILE_PRINT_DIRECT);
    EXPECT_EQ(1, m_dialogsAnswered);
    EXPECT_EQ(0, CPageView::s_begin);
    EXPECT_TRUE(CPageView::s_pages.empty());
    EXPECT_TRUE(platform::headless::MessageBoxes().empty());
}

} // namespace
} // namespace printtest
