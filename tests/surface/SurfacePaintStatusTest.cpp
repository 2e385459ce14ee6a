// The rotation of the selected object on the main window's status bar, as
// the program shows it.

#include "tests/main/MainFrameTestSupport.h"

#include "app/main/DocTemplates.h"
#include "model/DrawDoc.h"
#include "model/DrawRect.h"
#include "surface/Surface.h"

namespace {

using SurfacePaintStatusTest = mainframetest::MainFrameTest;

constexpr COLORREF kMarker = RGB(255, 0, 255);

// A pixel of the prompt pane where no text reaches.
CPoint EmptyPanePoint(CStatusBar& bar)
{
    CRect pane;
    bar.GetItemRect(0, &pane);
    return CPoint(pane.right - 3, pane.top + pane.Height() / 2);
}

TEST_F(SurfacePaintStatusTest, ShowsTheSelectedObjectsRotationAndRedrawsTheBarOnlyOnAChange)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(5);
    ASSERT_NE(pTemplate, nullptr);
    auto* pDoc = dynamic_cast<CDrawDoc*>(pTemplate->OpenDocumentFile(NULL));
    ASSERT_NE(pDoc, nullptr);
    POSITION pos = pDoc->GetFirstViewPosition();
    auto* pView = dynamic_cast<CSurface*>(pDoc->GetNextView(pos));
    ASSERT_NE(pView, nullptr);
    ASSERT_TRUE(pView->IsActiveView());

    auto* pShape = new CDrawRect(CRect(-100, 100, 100, -100));
    pShape->SetAngle(30.5);
    pView->Add(pShape);
    pView->Select(pShape);
    pView->SetFocus();
    pView->Invalidate(FALSE);
    pView->UpdateWindow();
    CStatusBar& bar = pFrame->GetStatusBar();
    EXPECT_EQ(bar.GetPaneText(0), CString("Rotation: 31"));

    // The same text again leaves the bar alone; another one redraws it.
    const CPoint marker = EmptyPanePoint(bar);
    {
        CClientDC dc(&bar);
        dc.SetPixel(marker.x, marker.y, kMarker);
    }
    pFrame->SetStatusText("Rotation: 31");
    EXPECT_EQ(platform::headless::WindowPixel(bar.m_hWnd, marker.x, marker.y) & 0xFFFFFF, kMarker);
    pFrame->SetStatusText("Rotation: 45");
    EXPECT_NE(platform::headless::WindowPixel(bar.m_hWnd, marker.x, marker.y) & 0xFFFFFF, kMarker);

    // An upright object shows no rotation.
    pShape->SetAngle(0.0);
    pView->Invalidate(FALSE);
    pView->UpdateWindow();
    EXPECT_EQ(bar.GetPaneText(0), CString(""));
}

} // namespace
