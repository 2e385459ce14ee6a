#include "tests/surface/SurfaceTestSupport.h"

#include "platform/ui/Headless.h"

namespace surfacetest {
namespace {

using SurfaceRepaintTest = SurfaceTest;

constexpr COLORREF kMarker = RGB(255, 0, 255);

// The pixels of a window's client area as shown, row by row.
std::vector<COLORREF> Shown(HWND hwnd, int& width)
{
    RECT r{};
    ::GetClientRect(hwnd, &r);
    width = r.right;
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            pixels.push_back(platform::headless::WindowPixel(hwnd, x, y) & 0xFFFFFF);
    return pixels;
}

// A part of the view given to it for repainting is painted to its last
// pixel whatever its edges in logical units: nothing of what lay there
// before stays.
TEST_F(SurfaceRepaintTest, DesignViewPaintsEveryPixelOfTheAreaItRepaints)
{
    CDrawDoc* pDoc = NewDesign();
    CSurface* pView = FirstView(pDoc);
    ASSERT_NE(pView, nullptr);
    // The page fitted to a tall window is larger than life, so a logical
    // unit is more than a pixel, with workspace beside the page.
    SetClientSize(pView, 1250, 1150);
    ASSERT_GT(pView->GetZoom(), 100);
    CRect client;
    pView->GetClientRect(&client);
    int nLeft = 0;
    for (int edge = 10; edge < 20; ++edge) {
        // Strips of the workspace either side, as a window moved away
        // from them uncovers them.
        const CRect parts[] = {CRect(edge, 0, 2 * edge + 1, client.bottom),
            CRect(client.right - 2 * edge - 1, 0, client.right - edge, client.bottom)};
        CDC* pDC = pView->GetDC();
        pDC->FillSolidRect(&client, kMarker);
        pView->ReleaseDC(pDC);
        for (const CRect& part : parts)
            pView->InvalidateRect(&part, FALSE);
        pView->UpdateWindow();
        for (const CRect& part : parts)
            for (int y = part.top; y < part.bottom; ++y)
                for (int x = part.left; x < part.right; ++x)
                    nLeft += (platform::headless::WindowPixel(pView->m_hWnd, x, y) & 0xFFFFFF) == kMarker;
    }
    EXPECT_EQ(nLeft, 0);
}

// Cascading and tiling overlapping designs shows what a full repaint of the
// main window draws.
TEST_F(SurfaceRepaintTest, ArrangedDesignsShowWhatAFullRepaintDraws)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(NewDesign(), nullptr);
    for (UINT command : {UINT(ID_WINDOW_CASCADE), UINT(ID_WINDOW_TILE_HORZ), UINT(ID_WINDOW_CASCADE)}) {
        SCOPED_TRACE(command);
        m_pMain->SendMessage(WM_COMMAND, command, 0);
        Pump();
        int width = 0;
        const std::vector<COLORREF> arranged = Shown(m_pMain->m_hWndMDIClient, width);
        m_pMain->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const std::vector<COLORREF> repainted = Shown(m_pMain->m_hWndMDIClient, width);
        ASSERT_EQ(arranged.size(), repainted.size());
        size_t nStale = 0;
        size_t nFirst = 0;
        for (size_t i = 0; i < arranged.size(); ++i) {
            if (arranged[i] != repainted[i] && nStale++ == 0)
                nFirst = i;
        }
        EXPECT_EQ(nStale, 0u) << "first stale pixel at " << nFirst % size_t(width) << ", " << nFirst / size_t(width);
    }
}

} // namespace
} // namespace surfacetest
