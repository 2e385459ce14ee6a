// The rubber band of the selection tool and the menu it offers.

#include "tests/surface/ToolTestSupport.h"

#include "model/DrawRect.h"

namespace surfacetest {
namespace {

namespace hl = platform::headless;

} // namespace

TEST_F(ToolTest, TheBandOffersItsMenuOnlyWhenItIsLargerThanTenPixelsOneWay)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    PopupWatch watch(pView->GetParentFrame());
    const CPoint at = ClientAt(pView, CPoint(-200, -200));
    struct Case {
        CSize band;
        int nShown;
    };
    const Case cases[] = {
        {CSize(10, 10), 0},
        {CSize(11, 1), 1},
        {CSize(1, 11), 1},
        {CSize(-11, -1), 1},
        {CSize(0, 40), 0},
        {CSize(40, 0), 0},
        {CSize(0, 0), 0},
    };
    for (const Case& c : cases) {
        watch.Reset();
        DragClient(pView, at, at + c.band);
        EXPECT_EQ(watch.Shown(), c.nShown) << c.band.cx << " x " << c.band.cy;
        EXPECT_EQ(::GetCapture(), HWND(NULL));
    }
}

TEST_F(ToolTest, TheBandMenuOffersSelectOnlyWithObjectsInside)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    AddRect(pView, CRect(-100, 100, 0, 0));
    PopupWatch watch(pView->GetParentFrame());

    // Over nothing: the insert commands first.
    DragClient(pView, ClientAt(pView, CPoint(100, 100)), ClientAt(pView, CPoint(300, -100)));
    ASSERT_EQ(watch.Shown(), 1);
    ASSERT_EQ(watch.Ids().size(), 7u);
    EXPECT_EQ(watch.Texts()[0], "Insert &Picture...");
    EXPECT_EQ(watch.Ids()[0], UINT(ID_BAND_INSERT_PICTURE));
    EXPECT_EQ(watch.Texts()[1], "Insert &Text...");
    EXPECT_EQ(watch.Texts()[2], "Insert S&hape...");
    EXPECT_EQ(watch.Texts()[3], "Insert Ca&lendar...");
    EXPECT_EQ(watch.Texts()[4], "Insert C&olor/Fill...");
    EXPECT_EQ(watch.Ids()[5], 0u);
    EXPECT_EQ(watch.Texts()[6], "&Cancel");
    EXPECT_EQ(watch.Ids()[6], UINT(ID_BAND_CANCEL));

    // Round an object: Select and its separator lead.
    watch.Reset();
    DragClient(pView, ClientAt(pView, CPoint(-150, 150)), ClientAt(pView, CPoint(50, -50)));
    ASSERT_EQ(watch.Shown(), 1);
    ASSERT_EQ(watch.Ids().size(), 9u);
    EXPECT_EQ(watch.Texts()[0], "&Select");
    EXPECT_EQ(watch.Ids()[0], UINT(ID_BAND_SELECT));
    EXPECT_EQ(watch.Ids()[1], 0u);
    EXPECT_EQ(watch.Ids()[2], UINT(ID_BAND_INSERT_PICTURE));
    // The band itself selects nothing and changes nothing.
    EXPECT_EQ(SelectedCount(pView), 0);
    EXPECT_EQ(Undo(pView).GetCount(), 0);
}

TEST_F(ToolTest, TheBandCountsAndSelectsOnlySelectableObjectsWhollyInside)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pInside = AddRect(pView, CRect(-100, 100, 0, 0));
    CDrawRect* pLine = AddRect(pView, CRect(20, 50, 80, 50), SHAPE_LINE);
    AddRect(pView, CRect(150, 100, 400, 0)); // half out
    CDrawRect* pFixed = AddRect(pView, CRect(-50, 80, -20, 20));
    pFixed->m_wFlags |= OBJ_FLAG_UNSELECTABLE;
    CDrawRect* pElsewhere = AddRect(pView, CRect(-400, -300, -300, -400));
    pView->Select(pElsewhere);

    const CRect band(-200, 200, 200, -100);
    EXPECT_EQ(pView->CountObjectsInRect(band), 2);
    // Either way round the band is the same.
    EXPECT_EQ(pView->CountObjectsInRect(CRect(200, -100, -200, 200)), 2);
    pView->SelectObjectsInRect(band);
    EXPECT_EQ(SelectedCount(pView), 2);
    EXPECT_TRUE(pView->IsSelected(pInside));
    EXPECT_TRUE(pView->IsSelected(pLine));
    EXPECT_FALSE(pView->IsSelected(pElsewhere));
    EXPECT_EQ(pView->CountObjectsInRect(CRect(500, 500, 600, 400)), 0);
}

TEST_F(ToolTest, ChoosingSelectFromTheBandMenuSelectsWhatLiesInside)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pInside = AddRect(pView, CRect(-100, 100, 0, 0));
    AddRect(pView, CRect(100, 100, 200, 0));
    // The first item is chosen from the keyboard when the menu waits.
    int nSteps = 0;
    hl::SetIdleHandler([&nSteps] {
        if (nSteps++ > 0)
            return false;
        hl::TypeKey(VK_DOWN);
        hl::TypeKey(VK_RETURN);
        return true;
    });
    DragClient(pView, ClientAt(pView, CPoint(-150, 150)), ClientAt(pView, CPoint(50, -50)));
    EXPECT_EQ(pView->GetSingleSelection(), pInside);
}

TEST_F(ToolTest, TheSelectionHitTestFindsTheTopmostSelectableObjectNearThePoint)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pBottom = AddRect(pView, CRect(-100, 100, 100, -100));
    CDrawRect* pTop = AddRect(pView, CRect(0, 100, 100, 0));
    CDrawRect* pLine = AddRect(pView, CRect(-300, 200, -200, 200), SHAPE_LINE);
    CDrawRect* pGuide = AddRect(pView, CRect(-100, 100, 100, -100));
    pGuide->m_wFlags |= OBJ_FLAG_UNSELECTABLE;

    EXPECT_EQ(pView->HitTestObject(CPoint(50, 50)), pTop);
    EXPECT_EQ(pView->HitTestObject(CPoint(-50, -50)), pBottom);
    // A line has no area, yet a press beside it finds it.
    EXPECT_EQ(pView->HitTestObject(CPoint(-250, 201)), pLine);
    EXPECT_EQ(pView->HitTestObject(CPoint(-250, 210)), nullptr);
    // Just beyond the edge still counts at 100 %, not at 500 %.
    EXPECT_EQ(pView->HitTestObject(CPoint(102, -50)), pBottom);
    pView->GetDocument()->SetZoom(500);
    pView->UpdateZoom(NULL);
    EXPECT_EQ(pView->HitTestObject(CPoint(102, -50)), nullptr);
}

} // namespace surfacetest
