#include "tests/surface/SurfaceTestSupport.h"

#include "platform/ui/Headless.h"
#include "resources/SupportResources.h"
#include "surface/RulerBar.h"
#include "tests/support/DialogDriver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace surfacetest {
namespace {

namespace hl = platform::headless;

constexpr COLORREF kInk = RGB(0, 0, 0);

class RulerBarTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        threadwick::RegisterSupportResources();
        CRulerBar::ResetShared();
        // The rulers show from the first layout on.
        thePrefs.AddlFlags |= PREF_ADDL_RULERS;
        m_pDoc = NewDesign();
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = FirstView(m_pDoc);
        ASSERT_NE(m_pView, nullptr);
        m_pFrame = m_pView->GetParentFrame();
        m_pHorz = CRulerBar::FromView(m_pView, FALSE);
        m_pVert = CRulerBar::FromView(m_pView, TRUE);
        ASSERT_NE(m_pHorz, nullptr);
        ASSERT_NE(m_pVert, nullptr);
        m_nThickness = CRulerBar::GetThickness();
        m_pDoc->SetModifiedFlag(FALSE);
    }

    void TearDown() override
    {
        hl::SetIdleHandler(nullptr);
        SurfaceTest::TearDown();
    }

    // Sets the zoom and the units and paints both rulers now.
    void ZoomTo(WORD nZoom, BOOL bMetric = FALSE)
    {
        if (bMetric)
            m_pDoc->m_wDocFlags |= DOC_FLAG_RULERS;
        else
            m_pDoc->m_wDocFlags &= ~DOC_FLAG_RULERS;
        m_pView->SetZoom(nZoom);
        Pump();
        for (CRulerBar* pRuler : {m_pHorz, m_pVert}) {
            pRuler->SetMetric(bMetric);
            pRuler->Invalidate(FALSE);
            pRuler->UpdateWindow();
        }
    }

    static int ScreenPpi()
    {
        CClientDC dc(nullptr);
        return dc.GetDeviceCaps(LOGPIXELSX);
    }

    // The smallest whole number of units wider than "200" in the label
    // font of the zoom.
    static int MajorUnits(double unit, int nZoom)
    {
        CClientDC dc(nullptr);
        CFont font;
        font.CreateFont(-CRulerBar::CalcLabelHeight(nZoom), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
            0, 0, "Arial");
        CFont* pOld = dc.SelectObject(&font);
        const int width = dc.GetTextExtent("200", 3).cx;
        dc.SelectObject(pOld);
        int n = 1;
        while (n * unit * ScreenPpi() * nZoom / 10000.0 <= width)
            ++n;
        return n;
    }

    static COLORREF Pixel(CWnd* pWnd, int x, int y) { return hl::WindowPixel(pWnd->m_hWnd, x, y) & 0xFFFFFF; }

    // A point of the view's client area in the ruler's client coordinates.
    static CPoint ViewToRuler(CSurface* pView, CRulerBar* pRuler, CPoint pt)
    {
        pView->ClientToScreen(&pt);
        pRuler->ScreenToClient(&pt);
        return pt;
    }

    // The ruler pixel along the ruler of a distance from the page's left
    // (or top) edge, in hundredths of an inch, at the view's zoom on a
    // screen of 96 pixels per inch.
    int RulerPixelAt(CRulerBar* pRuler, double hundredths) const
    {
        CPoint edge = m_pView->GetPageRect().TopLeft();
        m_pView->LPtoDPPoint(&edge);
        const CPoint origin = ViewToRuler(m_pView, pRuler, edge);
        const int along = pRuler->IsVertical() ? origin.y : origin.x;
        return along + static_cast<int>(std::lround(hundredths * ScreenPpi() * m_pView->GetZoom() / 10000.0));
    }

    CPoint ScreenOfView(CPoint pt) const
    {
        m_pView->ClientToScreen(&pt);
        return pt;
    }

    CPoint ScreenOfRuler(CRulerBar* pRuler, CPoint pt) const
    {
        pRuler->ClientToScreen(&pt);
        return pt;
    }

    // The view client point that lies `hundredths` right of the page's
    // left edge, halfway down the view.
    CPoint ViewPointRightOfPage(int hundredths) const
    {
        CPoint pt(m_pView->GetPageRect().left + hundredths, 0);
        m_pView->LPtoDPPoint(&pt);
        CRect client;
        m_pView->GetClientRect(&client);
        return CPoint(pt.x, client.Height() / 2);
    }

    // Drags with the left button from a ruler client point to a screen point.
    void Drag(CRulerBar* pRuler, CPoint ptFromRuler, CPoint ptToScreen)
    {
        const CPoint from = ScreenOfRuler(pRuler, ptFromRuler);
        hl::MoveMouse(from.x, from.y);
        hl::PressMouse(0, from.x, from.y);
        Pump();
        hl::MoveMouse((from.x + ptToScreen.x) / 2, (from.y + ptToScreen.y) / 2);
        hl::MoveMouse(ptToScreen.x, ptToScreen.y);
        Pump();
        hl::ReleaseMouse(0, ptToScreen.x, ptToScreen.y);
        Pump();
    }

    // Checks the tick marks of the horizontal ruler against the scale:
    // places and lengths of the ticks that fall on the ruler (right of the
    // corner box), and that only the major ticks reach the inner edge, which
    // also shows that no label runs out of the ruler.
    void ExpectTicks(double unit, int nMajor, const char* what)
    {
        SCOPED_TRACE(what);
        CRect client;
        m_pHorz->GetClientRect(&client);
        const int t = m_nThickness;
        const double step = nMajor * unit / 4.0;
        const int lengths[4] = {t, t >> 2, t >> 1, t >> 2};
        std::set<int> majors;
        int nChecked = 0;
        for (int i = 0;; ++i) {
            if (i * step > m_pView->GetPageSize().cx)
                break;
            const int x = RulerPixelAt(m_pHorz, i * step);
            if (x >= client.right)
                break;
            if (x < t + 1)
                continue;
            if (i % 4 == 0)
                majors.insert(x);
            // The tick may land one pixel either way of the ideal place.
            int nFound = 0;
            for (int dx = -1; dx <= 1; ++dx) {
                const int len = lengths[i % 4];
                if (Pixel(m_pHorz, x + dx, len - 1) == kInk && Pixel(m_pHorz, x + dx, 0) == kInk &&
                    (len == t || Pixel(m_pHorz, x + dx, t - 1) != kInk))
                    ++nFound;
            }
            EXPECT_GE(nFound, 1) << "tick " << i << " at x " << x;
            ++nChecked;
        }
        EXPECT_GE(nChecked, 8);
        // Along the inner edge only the major ticks show.
        for (int x = t + 2; x < client.right; ++x) {
            if (Pixel(m_pHorz, x, t - 1) != kInk)
                continue;
            const bool bNearMajor = majors.count(x) || majors.count(x - 1) || majors.count(x + 1);
            EXPECT_TRUE(bNearMajor) << "ink at the inner edge at x " << x;
        }
    }

    CDrawDoc* m_pDoc = nullptr;
    CSurface* m_pView = nullptr;
    CFrameWnd* m_pFrame = nullptr;
    CRulerBar* m_pHorz = nullptr;
    CRulerBar* m_pVert = nullptr;
    int m_nThickness = 0;
};

TEST_F(RulerBarTest, RulersAreMadeAgainstTheViewWithTheirIdsAndShape)
{
    EXPECT_EQ(m_pHorz->GetDlgCtrlID(), static_cast<int>(ID_RULER_HORZ));
    EXPECT_EQ(m_pVert->GetDlgCtrlID(), static_cast<int>(ID_RULER_VERT));
    EXPECT_FALSE(m_pHorz->IsVertical());
    EXPECT_TRUE(m_pVert->IsVertical());
    EXPECT_EQ(m_pHorz->GetView(), m_pView);
    // Only the top ruler shows the corner picture.
    EXPECT_TRUE(m_pHorz->HasCornerBitmap());
    EXPECT_FALSE(m_pVert->HasCornerBitmap());

    const int t = m_nThickness;
    EXPECT_GE(t, 12);
    EXPECT_EQ(m_pHorz->CalcFixedLayout(TRUE, TRUE), CSize(32767, t));
    EXPECT_EQ(m_pVert->CalcFixedLayout(TRUE, FALSE), CSize(t, 32767));
    EXPECT_EQ(m_pVert->CalcFixedLayout(FALSE, FALSE), CSize(t, t));
    CRect rect;
    m_pHorz->GetClientRect(&rect);
    EXPECT_EQ(rect.Height(), t);
    m_pVert->GetClientRect(&rect);
    EXPECT_EQ(rect.Width(), t);
    EXPECT_EQ(m_pHorz->SendMessage(0x366 /* WM_HELPHITTEST */, 0, 0), 0);
}

TEST_F(RulerBarTest, LabelHeightFollowsTheZoomOnceWithinTheRuler)
{
    const int t = m_nThickness;
    EXPECT_EQ(CRulerBar::CalcLabelHeight(100), std::min(12, t - 2));
    EXPECT_EQ(CRulerBar::CalcLabelHeight(50), 6);
    // Small zooms keep a readable 6 px; large ones stay inside the ruler.
    EXPECT_EQ(CRulerBar::CalcLabelHeight(25), 6);
    EXPECT_EQ(CRulerBar::CalcLabelHeight(200), t - 2);
    EXPECT_EQ(CRulerBar::CalcLabelHeight(500), t - 2);
    EXPECT_EQ(CRulerBar::CalcLabelHeight(0), 6);
}

TEST_F(RulerBarTest, TicksFallOnTheScaleInInchesAndCentimetresAtEachZoom)
{
    SetClientSize(m_pView, 1200, 700);
    // Labels never need more than a whole inch; small zooms may need two
    // centimetres between them.
    EXPECT_EQ(MajorUnits(100.0, 25), 1);
    EXPECT_EQ(MajorUnits(100.0, 200), 1);
    for (WORD zoom : {25, 50, 100, 200}) {
        ZoomTo(zoom, FALSE);
        ExpectTicks(100.0, MajorUnits(100.0, zoom), ("inches at " + std::to_string(zoom)).c_str());
        ZoomTo(zoom, TRUE);
        ExpectTicks(39.37007874, MajorUnits(39.37007874, zoom), ("centimetres at " + std::to_string(zoom)).c_str());
    }

    // Scrolling the view moves the scale with the page, with no repaint
    // asked for here.
    const int before = RulerPixelAt(m_pHorz, 0);
    ASSERT_TRUE(m_pView->OnScrollBy(CSize(120, 0), TRUE));
    Pump();
    EXPECT_EQ(RulerPixelAt(m_pHorz, 0), before - 120);
    ExpectTicks(39.37007874, MajorUnits(39.37007874, 200), "centimetres at 200 after a scroll");
}

TEST_F(RulerBarTest, VerticalRulerTicksFromItsLeftEdge)
{
    SetClientSize(m_pView, 900, 1100);
    ZoomTo(100);
    CRect client;
    m_pVert->GetClientRect(&client);
    const int t = m_nThickness;
    // The 1-inch major tick runs across the whole ruler; the quarter inch
    // after it only a quarter of the way.
    const int yInch = RulerPixelAt(m_pVert, 100);
    const int yQuarter = RulerPixelAt(m_pVert, 125);
    ASSERT_LT(yQuarter + 1, client.bottom);
    auto rowHas = [&](int y, int x) {
        for (int dy = -1; dy <= 1; ++dy)
            if (Pixel(m_pVert, x, y + dy) == kInk)
                return true;
        return false;
    };
    EXPECT_TRUE(rowHas(yInch, t - 1));
    EXPECT_TRUE(rowHas(yQuarter, (t >> 2) - 1));
    EXPECT_FALSE(rowHas(yQuarter, t - 1));
}

TEST_F(RulerBarTest, CornerBoxShowsThePicture)
{
    ZoomTo(100);
    // The picture is stretched over the corner box: some of its pixels
    // differ from the ruler's face.
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
    int nOther = 0;
    for (int y = 0; y < m_nThickness; ++y)
        for (int x = 0; x < m_nThickness; ++x)
            nOther += Pixel(m_pHorz, x, y) != face ? 1 : 0;
    EXPECT_GT(nOther, m_nThickness);
}

TEST_F(RulerBarTest, MouseMarkFollowsTheViewAndIsInvertedBack)
{
    SetClientSize(m_pView, 900, 600);
    ZoomTo(100);
    CRect viewClient;
    m_pView->GetClientRect(&viewClient);
    const int row = m_nThickness - 3;
    const CPoint a(300, 200);
    const CPoint b(340, 250);
    const int xa = ViewToRuler(m_pView, m_pHorz, a).x;
    const int xb = ViewToRuler(m_pView, m_pHorz, b).x;
    const int ya = ViewToRuler(m_pView, m_pVert, a).y;
    const COLORREF before = Pixel(m_pHorz, xa, row);
    const COLORREF beforeB = Pixel(m_pHorz, xb, row);
    const COLORREF beforeV = Pixel(m_pVert, 2, ya);

    // Real mouse moves over the view reach both rulers.
    const CPoint sa = ScreenOfView(a);
    hl::MoveMouse(sa.x, sa.y);
    Pump();
    EXPECT_EQ(m_pHorz->GetMouseMark(), CRect(xa, 0, xa + 1, m_nThickness));
    EXPECT_EQ(Pixel(m_pHorz, xa, row), (~before) & 0xFFFFFF);
    EXPECT_EQ(Pixel(m_pVert, 2, ya), (~beforeV) & 0xFFFFFF);

    // Moving on restores the old place and inverts the new one.
    m_pHorz->OnViewMouseMove(b.x, b.y, 0);
    EXPECT_EQ(Pixel(m_pHorz, xa, row), before);
    EXPECT_EQ(Pixel(m_pHorz, xb, row), (~beforeB) & 0xFFFFFF);

    // A repaint keeps the mark where it is.
    m_pHorz->Invalidate(FALSE);
    m_pHorz->UpdateWindow();
    EXPECT_EQ(Pixel(m_pHorz, xb, row), (~beforeB) & 0xFFFFFF);

    // Outside the client area the mark goes.
    m_pHorz->OnViewMouseMove(viewClient.right + 5, b.y, 0);
    EXPECT_TRUE(m_pHorz->GetMouseMark().IsRectEmpty());
    EXPECT_EQ(Pixel(m_pHorz, xb, row), beforeB);
}

TEST_F(RulerBarTest, DraggingFromTheTopRulerPlacesSortedVerticalGuidelines)
{
    SetClientSize(m_pView, 1100, 700);
    ZoomTo(100);
    const CPoint press(m_nThickness * 4, m_nThickness / 2);

    const CPoint two = ViewPointRightOfPage(200);
    Drag(m_pHorz, press, ScreenOfView(two));
    ASSERT_EQ(m_pView->m_guidelines[1].GetSize(), 1);
    const DWORD dwTwo = m_pView->m_guidelines[1][0];
    EXPECT_NEAR(static_cast<double>(dwTwo), 2000.0, 11.0);
    EXPECT_EQ(dwTwo % 10, 0u);
    EXPECT_TRUE(m_pDoc->IsModified());
    EXPECT_TRUE(m_pDoc->m_wDocFlags & CSurface::DocShowGuidelines);
    EXPECT_EQ(m_pView->m_guidelines[0].GetSize(), 0);
    // The drag line is gone from the view.
    EXPECT_TRUE(m_pHorz->GetDragLine().IsRectEmpty());

    // A nearer line goes first; the same place is not added twice.
    Drag(m_pHorz, press, ScreenOfView(ViewPointRightOfPage(100)));
    Drag(m_pHorz, press, ScreenOfView(two));
    ASSERT_EQ(m_pView->m_guidelines[1].GetSize(), 2);
    EXPECT_LT(m_pView->m_guidelines[1][0], m_pView->m_guidelines[1][1]);
    EXPECT_EQ(m_pView->m_guidelines[1][1], dwTwo);

    // Left of the page the guideline lies on its edge.
    const CPoint edge = ViewPointRightOfPage(0);
    ASSERT_GT(edge.x, 2);
    const CPoint before(edge.x / 2, edge.y);
    Drag(m_pHorz, press, ScreenOfView(before));
    ASSERT_EQ(m_pView->m_guidelines[1].GetSize(), 3);
    EXPECT_EQ(m_pView->m_guidelines[1][0], 0u);
}

TEST_F(RulerBarTest, DraggingFromTheLeftRulerPlacesHorizontalGuidelines)
{
    SetClientSize(m_pView, 900, 1100);
    ZoomTo(100);
    CPoint pt(0, m_pView->GetPageRect().top - 300);
    m_pView->LPtoDPPoint(&pt);
    pt.x = 200;
    Drag(m_pVert, CPoint(m_nThickness / 2, m_nThickness * 4), ScreenOfView(pt));
    ASSERT_EQ(m_pView->m_guidelines[0].GetSize(), 1);
    EXPECT_NEAR(static_cast<double>(m_pView->m_guidelines[0][0]), 3000.0, 11.0);
    EXPECT_EQ(m_pView->m_guidelines[1].GetSize(), 0);
}

TEST_F(RulerBarTest, ADragThatLosesTheMousePlacesNothingAndLeavesNoLine)
{
    SetClientSize(m_pView, 900, 600);
    ZoomTo(100);
    const CPoint press(m_nThickness * 6, m_nThickness / 2);
    const int x = ViewToRuler(m_pView, m_pHorz, CPoint(0, 0)).x;
    const int xView = press.x - x; // the press's column in the view
    const COLORREF before = Pixel(m_pView, xView, 100);
    m_pHorz->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    ASSERT_FALSE(m_pHorz->GetDragLine().IsRectEmpty());
    // The line across the view is drawn inverted.
    EXPECT_EQ(Pixel(m_pView, xView, 100), (~before) & 0xFFFFFF);

    m_pView->SetCapture();
    EXPECT_TRUE(m_pHorz->GetDragLine().IsRectEmpty());
    EXPECT_EQ(Pixel(m_pView, xView, 100), before);
    ::ReleaseCapture();
    m_pHorz->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(press.x, 200));
    EXPECT_EQ(m_pView->m_guidelines[1].GetSize(), 0);
    EXPECT_FALSE(m_pDoc->IsModified());
}

TEST_F(RulerBarTest, ReleasingOnTheRulerRemovesTheNearestGuidelineWithinTwo)
{
    SetClientSize(m_pView, 1100, 700);
    ZoomTo(100);
    // The position of a ruler point, as a release there reads it.
    const int x = RulerPixelAt(m_pHorz, 300);
    CPoint ptView(x, 0);
    m_pHorz->ClientToScreen(&ptView);
    m_pView->ScreenToClient(&ptView);
    const DWORD at = m_pHorz->ViewPointToGuideline(ptView);
    ASSERT_GT(at, 10u);
    const CPoint onRuler = ScreenOfRuler(m_pHorz, CPoint(x, m_nThickness / 2));
    const CPoint press(m_nThickness * 4, m_nThickness / 2);

    // Three away: nothing goes and the design is untouched.
    m_pView->m_guidelines[1].RemoveAll();
    m_pView->m_guidelines[1].Add(at - 3);
    m_pView->m_guidelines[1].Add(at + 3);
    Drag(m_pHorz, press, onRuler);
    EXPECT_EQ(m_pView->m_guidelines[1].GetSize(), 2);
    EXPECT_FALSE(m_pDoc->IsModified());

    // Two either side: the first in the array goes.
    m_pView->m_guidelines[1].RemoveAll();
    m_pView->m_guidelines[1].Add(at - 2);
    m_pView->m_guidelines[1].Add(at + 2);
    Drag(m_pHorz, press, onRuler);
    ASSERT_EQ(m_pView->m_guidelines[1].GetSize(), 1);
    EXPECT_EQ(m_pView->m_guidelines[1][0], at + 2);
    EXPECT_TRUE(m_pDoc->IsModified());

    // The nearer one goes before a farther one that comes first.
    m_pView->m_guidelines[1].RemoveAll();
    m_pView->m_guidelines[1].Add(at - 2);
    m_pView->m_guidelines[1].Add(at + 1);
    Drag(m_pHorz, press, onRuler);
    ASSERT_EQ(m_pView->m_guidelines[1].GetSize(), 1);
    EXPECT_EQ(m_pView->m_guidelines[1][0], at - 2);
}

TEST_F(RulerBarTest, CornerClickAsksForTheUnitsAndDrawsNoLine)
{
    ZoomTo(100);
    const LPARAM corner = MAKELPARAM(2, 2);
    m_pHorz->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, corner);
    EXPECT_TRUE(m_pHorz->GetDragLine().IsRectEmpty());
    EXPECT_TRUE(m_pHorz->GetRulerFlags() & CRulerBar::RulerCornerPress);
    m_pHorz->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 2));
    EXPECT_TRUE(m_pHorz->GetDragLine().IsRectEmpty());
    m_pHorz->SendMessage(WM_LBUTTONUP, 0, corner);
    EXPECT_FALSE(m_pHorz->GetRulerFlags() & CRulerBar::RulerCornerPress);
    MSG msg{};
    ASSERT_TRUE(::PeekMessage(&msg, m_pFrame->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), ID_RULER_PROPERTIES);
    EXPECT_EQ(m_pView->m_guidelines[1].GetSize(), 0);

    // A press in the corner that ends elsewhere asks for nothing.
    m_pHorz->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, corner);
    m_pHorz->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 2));
    EXPECT_FALSE(::PeekMessage(&msg, m_pFrame->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
}

TEST_F(RulerBarTest, CornerClickOpensRulerSetupOnTheUnitsPage)
{
    ZoomTo(100);
    bool bSeen = false;
    bool bOnUnits = false;
    testing_support::DriveActiveWindow({[&](HWND hActive) {
        if (testing_support::WindowTitle(hActive) != "Ruler Setup")
            return false;
        bSeen = true;
        HWND hPage = HWND(::SendMessage(hActive, PSM_GETCURRENTPAGEHWND, 0, 0));
        bOnUnits = ::GetDlgItem(hPage, IDC_UNITS_CENTIMETERS) != NULL;
        ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    }});
    const CPoint corner = ScreenOfRuler(m_pHorz, CPoint(3, 3));
    hl::MoveMouse(corner.x, corner.y);
    hl::Click(corner.x, corner.y);
    Pump();
    EXPECT_TRUE(bSeen);
    EXPECT_TRUE(bOnUnits);
    EXPECT_FALSE(m_pDoc->IsModified());
}

TEST_F(RulerBarTest, ContextMenuOffersHideAndPropertiesToTheFrame)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_POPUP_RULER));
    CMenu* pPopup = menu.GetSubMenu(0);
    ASSERT_NE(pPopup, nullptr);
    ASSERT_EQ(pPopup->GetMenuItemCount(), 2);
    EXPECT_EQ(pPopup->GetMenuItemID(0), static_cast<UINT>(ID_VIEW_RULERS));
    EXPECT_EQ(pPopup->GetMenuItemID(1), static_cast<UINT>(ID_RULER_PROPERTIES));
    CString text;
    pPopup->GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_EQ(text, "&Hide Rulers");
    pPopup->GetMenuString(1, text, MF_BYPOSITION);
    EXPECT_EQ(text, "Pr&operties...");

    // A right click shows it; choosing the first item goes to the frame.
    int nStep = 0;
    hl::SetIdleHandler([&nStep] {
        if (nStep++ != 0)
            return false;
        hl::TypeKey(VK_DOWN);
        hl::TypeKey(VK_RETURN);
        return true;
    });
    const CPoint at = ScreenOfRuler(m_pHorz, CPoint(100, 5));
    hl::SetCursorPosition(at.x, at.y);
    m_pHorz->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(100, 5));
    hl::SetIdleHandler(nullptr);
    MSG msg{};
    ASSERT_TRUE(::PeekMessage(&msg, m_pFrame->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), ID_VIEW_RULERS);
}

} // namespace
} // namespace surfacetest
