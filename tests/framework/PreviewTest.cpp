#include "tests/framework/PrintTestSupport.h"

#include "platform/base/Arithmetic.h"
#include "platform/framework/FrameworkIds.h"
#include "platform/framework/Preview.h"
#include "platform/framework/ControlBar.h"

#include <fstream>

namespace printtest {
namespace {

constexpr int kSheetDots = 5100; // Letter is 8.5 inches wide at 600 dpi
constexpr int kOffsetDots = 150; // the printable area starts a quarter inch in

class PreviewTest : public PrintFixture {
protected:
    CPreviewView* Preview() const
    {
        CWnd* pPane = CWnd::FromHandlePermanent(::GetDlgItem(m_frame->GetSafeHwnd(), AFX_IDW_PANE_FIRST));
        return pPane && pPane->IsKindOf(RUNTIME_CLASS(CPreviewView)) ? static_cast<CPreviewView*>(pPane) : nullptr;
    }
    HWND Bar() const { return ::GetDlgItem(m_frame->GetSafeHwnd(), AFX_IDW_PREVIEW_BAR); }

    // The screen pixel at printer dot (x, y) of the page in slot nIndex.
    COLORREF PixelAtDot(UINT nIndex, int x, int y) const
    {
        CPreviewView* pView = Preview();
        CRect page = pView->GetPageRect(nIndex);
        int px = page.left + MulDiv(x, page.Width(), kSheetDots);
        int py = page.top + MulDiv(y, page.Width(), kSheetDots);
        return platform::headless::WindowPixel(pView->GetSafeHwnd(), px, py);
    }
    // The centre of page p's square, in dots from the sheet's corner.
    static int SquareCentre(UINT p) { return kOffsetDots + int(p - 1) * kPageStep + kSquare / 2; }

    void Paint() { ::UpdateWindow(Preview()->GetSafeHwnd()); }
    void UpdateBar() { ::SendMessage(Bar(), WM_IDLEUPDATECMDUI, TRUE, 0); }
    bool ButtonEnabled(int nID) { return ::IsWindowEnabled(::GetDlgItem(Bar(), nID)) != FALSE; }
};

TEST_F(PreviewTest, ShowsBothPagesInPlaceOfTheView)
{
    m_app->m_nNumPreviewPages = 2;
    Command(ID_FILE_PRINT_PREVIEW);
    CPreviewView* pPreview = Preview();
    ASSERT_NE(nullptr, pPreview);
    EXPECT_EQ(pPreview, m_frame->GetActiveView());
    EXPECT_FALSE(m_view->IsWindowVisible());
    ASSERT_NE(HWND(NULL), Bar());
    EXPECT_TRUE(::IsWindowVisible(Bar()));
    for (int id : {AFX_ID_PREVIEW_PRINT, AFX_ID_PREVIEW_NEXT, AFX_ID_PREVIEW_PREV, AFX_ID_PREVIEW_NUMPAGE,
             AFX_ID_PREVIEW_ZOOMIN, AFX_ID_PREVIEW_ZOOMOUT, AFX_ID_PREVIEW_CLOSE})
        EXPECT_NE(HWND(NULL), ::GetDlgItem(Bar(), id)) << id;
    // The view sits below the bar.
    CRect bar, view;
    ::GetWindowRect(Bar(), &bar);
    pPreview->GetWindowRect(&view);
    EXPECT_GE(view.top, bar.bottom);

    ASSERT_EQ(2u, pPreview->GetPageCount());
    Paint();
    CRect first = pPreview->GetPageRect(0);
    CRect second = pPreview->GetPageRect(1);
    ASSERT_FALSE(first.IsRectEmpty());
    ASSERT_FALSE(second.IsRectEmpty());
    EXPECT_GT(second.left, first.right);
    EXPECT_EQ(first.Size(), second.Size());

    EXPECT_EQ(kRed, PixelAtDot(0, SquareCentre(1), SquareCentre(1)));
    EXPECT_EQ(RGB(255, 255, 255), PixelAtDot(0, SquareCentre(2), SquareCentre(2)));
    EXPECT_EQ(kBlue, PixelAtDot(1, SquareCentre(2), SquareCentre(2)));
    EXPECT_EQ(RGB(255, 255, 255), PixelAtDot(1, SquareCentre(1), SquareCentre(1)));
    // The page casts a shadow on the grey around it.
    HWND hPreview = pPreview->GetSafeHwnd();
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), platform::headless::WindowPixel(hPreview, first.right + 1, first.bottom + 1));
    EXPECT_EQ(::GetSysColor(COLOR_APPWORKSPACE), platform::headless::WindowPixel(hPreview, first.left - 5, first.top + 5));

    // The pages were drawn as printed pages, through a preview DC.
    ASSERT_FALSE(CPageView::s_pages.empty());
    for (size_t i = 0; i < CPageView::s_pages.size(); ++i) {
        EXPECT_TRUE(CPageView::s_isPrinting[i]);
        EXPECT_TRUE(CPageView::s_isPreview[i]);
    }
    EXPECT_EQ(1, CPageView::s_begin);
}

TEST_F(PreviewTest, NextAndPrevStepThroughThePages)
{
    Command(ID_FILE_PRINT_PREVIEW);
    CPreviewView* pPreview = Preview();
    ASSERT_NE(nullptr, pPreview);
    EXPECT_EQ(1u, pPreview->GetPageCount());
    EXPECT_EQ(1u, pPreview->GetCurrentPage());
    UpdateBar();
    EXPECT_TRUE(ButtonEnabled(AFX_ID_PREVIEW_NEXT));
    EXPECT_FALSE(ButtonEnabled(AFX_ID_PREVIEW_PREV));
    char text[32] = {};
    ::GetDlgItemText(Bar(), AFX_ID_PREVIEW_NUMPAGE, text, sizeof text);
    EXPECT_STREQ("&Two Page", text);

    // A click on the bar's button reaches the preview through the frame.
    CRect button;
    ::GetWindowRect(::GetDlgItem(Bar(), AFX_ID_PREVIEW_NEXT), &button);
    platform::headless::Click(button.CenterPoint().x, button.CenterPoint().y);
    MSG msg;
    while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    EXPECT_EQ(2u, pPreview->GetCurrentPage());
    Paint();
    EXPECT_EQ(kBlue, PixelAtDot(0, SquareCentre(2), SquareCentre(2)));
    EXPECT_EQ(RGB(255, 255, 255), PixelAtDot(0, SquareCentre(1), SquareCentre(1)));
    UpdateBar();
    EXPECT_FALSE(ButtonEnabled(AFX_ID_PREVIEW_NEXT));
    EXPECT_TRUE(ButtonEnabled(AFX_ID_PREVIEW_PREV));

    Command(AFX_ID_PREVIEW_NEXT); // past the last page: stays
    EXPECT_EQ(2u, pPreview->GetCurrentPage());
    Command(AFX_ID_PREVIEW_PREV);
    EXPECT_EQ(1u, pPreview->GetCurrentPage());
    Paint();
    EXPECT_EQ(kRed, PixelAtDot(0, SquareCentre(1), SquareCentre(1)));
}

TEST_F(PreviewTest, ZoomEnlargesOnePageAndReturns)
{
    m_app->m_nNumPreviewPages = 2;
    Command(ID_FILE_PRINT_PREVIEW);
    CPreviewView* pPreview = Preview();
    ASSERT_NE(nullptr, pPreview);
    CRect fit = pPreview->GetPageRect(0);

    Command(AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_EQ(CPreviewView::ZOOM_MIDDLE, pPreview->GetZoomState());
    EXPECT_EQ(1u, pPreview->GetPageCount());
    EXPECT_GT(pPreview->GetPageRect(0).Width(), fit.Width());
    Command(AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_EQ(CPreviewView::ZOOM_IN, pPreview->GetZoomState());
    // At the largest zoom the sheet has its size on paper: 8.5 inches of screen.
    HDC hScreen = ::GetDC(NULL);
    int screenDpi = ::GetDeviceCaps(hScreen, LOGPIXELSX);
    ::ReleaseDC(NULL, hScreen);
    EXPECT_EQ(MulDiv(kSheetDots, screenDpi, 600), pPreview->GetPageRect(0).Width());
    UpdateBar();
    EXPECT_FALSE(ButtonEnabled(AFX_ID_PREVIEW_ZOOMIN));
    EXPECT_FALSE(ButtonEnabled(AFX_ID_PREVIEW_NUMPAGE));

    Command(AFX_ID_PREVIEW_ZOOMOUT);
    Command(AFX_ID_PREVIEW_ZOOMOUT);
    EXPECT_EQ(CPreviewView::ZOOM_OUT, pPreview->GetZoomState());
    EXPECT_EQ(2u, pPreview->GetPageCount());
    EXPECT_EQ(fit, pPreview->GetPageRect(0));
}

TEST_F(PreviewTest, CloseGivesTheFrameItsViewMenuAndKeysBack)
{
    HMENU hMenu = ::CreateMenu();
    ::AppendMenu(hMenu, MF_STRING, 100, "&File");
    ::SetMenu(m_frame->GetSafeHwnd(), hMenu);
    HACCEL hAccel = m_frame->m_hAccelTable;

    Command(ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(nullptr, Preview());
    EXPECT_EQ(HMENU(NULL), ::GetMenu(m_frame->GetSafeHwnd()));

    // Esc in the preview closes it.
    Preview()->SetFocus();
    ::SendMessage(Preview()->GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(nullptr, Preview());
    EXPECT_EQ(HWND(NULL), Bar());
    EXPECT_EQ(m_view->GetSafeHwnd(), ::GetDlgItem(m_frame->GetSafeHwnd(), AFX_IDW_PANE_FIRST));
    EXPECT_TRUE(m_view->IsWindowVisible());
    EXPECT_EQ(m_view, m_frame->GetActiveView());
    EXPECT_EQ(hMenu, ::GetMenu(m_frame->GetSafeHwnd()));
    EXPECT_EQ(hAccel, m_frame->m_hAccelTable);
    EXPECT_EQ(1, CPageView::s_begin);
    EXPECT_EQ(1, CPageView::s_end);

    // A second preview closed by the Close button works the same way.
    Command(ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(nullptr, Preview());
    Command(AFX_ID_PREVIEW_CLOSE);
    EXPECT_EQ(nullptr, Preview());
    EXPECT_EQ(2, CPageView::s_end);
}

TEST_F(PreviewTest, ToolBarsHideWhileTheStatusBarShowsThePage)
{
    // Bars with the frame: deleted with their windows.
    auto* pToolBar = new CToolBar;
    ASSERT_TRUE(pToolBar->Create(m_frame));
    pToolBar->m_bAutoDelete = TRUE;
    const UINT buttons[] = {ID_FILE_PRINT};
    pToolBar->SetButtons(buttons, 1);
    auto* pStatusBar = new CStatusBar;
    ASSERT_TRUE(pStatusBar->Create(m_frame));
    pStatusBar->m_bAutoDelete = TRUE;
    const UINT panes[] = {ID_SEPARATOR};
    pStatusBar->SetIndicators(panes, 1);
    m_frame->RecalcLayout();
    ASSERT_TRUE(pToolBar->IsWindowVisible());
    CRect viewBefore;
    m_view->GetWindowRect(&viewBefore);

    m_app->m_nNumPreviewPages = 2;
    Command(ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(nullptr, Preview());
    EXPECT_FALSE(pToolBar->IsWindowVisible());
    EXPECT_TRUE(pStatusBar->IsWindowVisible());
    EXPECT_STREQ("Pages 1-2", pStatusBar->GetPaneText(0));
    Command(AFX_ID_PREVIEW_NUMPAGE);
    EXPECT_EQ(1u, Preview()->GetPageCount());
    EXPECT_STREQ("Page 1", pStatusBar->GetPaneText(0));

    Command(AFX_ID_PREVIEW_CLOSE);
    m_frame->RecalcLayout();
    EXPECT_TRUE(pToolBar->IsWindowVisible());
    EXPECT_TRUE(pStatusBar->IsWindowVisible());
    // The view has its place between the bars again.
    CRect viewAfter;
    m_view->GetWindowRect(&viewAfter);
    EXPECT_EQ(viewBefore, viewAfter);
}

TEST_F(PreviewTest, ClosingTheFrameEndsOnlyThePreview)
{
    Command(ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(nullptr, Preview());
    m_frame->SendMessage(WM_CLOSE);
    ASSERT_TRUE(::IsWindow(m_frame->GetSafeHwnd()));
    EXPECT_EQ(nullptr, Preview());
    EXPECT_TRUE(m_view->IsWindowVisible());
}

TEST_F(PreviewTest, PrintButtonEndsThePreviewAndPrints)
{
    Command(ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(nullptr, Preview());
    CPageView::s_pages.clear();
    CString path = PathOf("from-preview.pdf");
    platform::headless::SetIdleHandler([this, path]() {
        HWND hDlg = ::GetActiveWindow();
        if (!hDlg || hDlg == m_frame->GetSafeHwnd())
            return false;
        if (::GetDlgItem(hDlg, edt1))
            ::SetDlgItemText(hDlg, edt1, path);
        ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDOK)));
        return true;
    });
    Command(AFX_ID_PREVIEW_PRINT);
    EXPECT_EQ(nullptr, Preview());
    EXPECT_EQ((std::vector<UINT>{1, 2}), CPageView::s_pages);
    EXPECT_FALSE(CPageView::s_isPreview.back());
    EXPECT_TRUE(std::ifstream(HostPathOf("from-preview.pdf")).good());
}

} // namespace
} // namespace printtest
