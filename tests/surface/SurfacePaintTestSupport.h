#pragma once
// Helpers for the surface's paint tests: paint a view as the window system
// does and read what it shows, in client pixels or at logical points.

#include "tests/surface/SurfaceTestSupport.h"

#include "platform/ui/CommDlg.h"
#include "platform/ui/Headless.h"
#include "surface/SurfaceBackground.h"

#include <vector>

namespace surfacetest {

// Paints the whole view now, with the focus on it so that its objects are
// drawn in this paint.
inline void PaintFocused(CSurface* pView)
{
    pView->SetFocus();
    pView->Invalidate(FALSE);
    pView->UpdateWindow();
}

inline COLORREF ShownPixel(CSurface* pView, CPoint client)
{
    return platform::headless::WindowPixel(pView->m_hWnd, client.x, client.y) & 0xFFFFFF;
}

// The client pixel of a logical point.
inline CPoint ClientOf(CSurface* pView, int x, int y)
{
    CPoint pt(x, y);
    pView->LPtoDPPoint(&pt);
    return pt;
}

// Every pixel of the client area, row by row.
inline std::vector<COLORREF> ShownClient(CSurface* pView)
{
    CRect client;
    pView->GetClientRect(&client);
    std::vector<COLORREF> pixels;
    pixels.reserve(static_cast<size_t>(client.Width()) * static_cast<size_t>(client.Height()));
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            pixels.push_back(ShownPixel(pView, CPoint(x, y)));
    return pixels;
}

// How many pixels of colour cr lie on the column x between the rows, and on
// the row y between the columns.
inline int CountInColumn(CSurface* pView, int x, int top, int bottom, COLORREF cr)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        n += ShownPixel(pView, CPoint(x, y)) == cr ? 1 : 0;
    return n;
}

inline int CountInRow(CSurface* pView, int y, int left, int right, COLORREF cr)
{
    int n = 0;
    for (int x = left; x < right; ++x)
        n += ShownPixel(pView, CPoint(x, y)) == cr ? 1 : 0;
    return n;
}

// A surface test whose views paint on a known background colour and whose
// page sits in the middle of a larger client area at 50 %.
class SurfacePaintTest : public SurfaceTest {
protected:
    static constexpr COLORREF kBackground = RGB(0, 128, 0);

    void SetUp() override
    {
        SurfaceTest::SetUp();
        m_savedBackground = g_surfaceBackground.GetColor();
    }
    void TearDown() override
    {
        g_surfaceBackground.SetColor(m_savedBackground);
        CSurface::SetMemoryBitmapFailsForTests(FALSE);
        SurfaceTest::TearDown();
    }

    // A new design shown at 50 % in a 700 x 700 client area.
    CSurface* NewHalfSizeView(CDrawDoc** ppDoc = nullptr)
    {
        CDrawDoc* pDoc = NewDesign();
        if (ppDoc != nullptr)
            *ppDoc = pDoc;
        CSurface* pView = FirstView(pDoc);
        SetClientSize(pView, 700, 700);
        pView->SetZoom(50);
        // The view takes the stored background when it is made.
        g_surfaceBackground.SetColor(kBackground);
        Pump();
        return pView;
    }

    COLORREF m_savedBackground = 0;
};

} // namespace surfacetest
