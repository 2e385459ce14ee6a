// Snapping a finished move to the guidelines and the grid.

#include "tests/surface/ToolTestSupport.h"

#include "model/DrawRect.h"

namespace surfacetest {
namespace {

constexpr WORD kSnapToGrid = 0x0001;
constexpr WORD kSnapToGuidelines = 0x0002;

} // namespace

TEST(ToolGridTest, TheDistanceToTheGridCountsTheNearerLineEachWay)
{
    struct Case {
        int dx, dy, nStep, nExpected;
    };
    const Case cases[] = {
        {74, 0, 50, 24},   // nearer the line at 50
        {75, 0, 50, 25},   // halfway
        {-74, 0, 50, 24},  // left of the origin alike
        {26, 26, 50, 33},  // sqrt(24 * 24 * 2), truncated
        {100, -150, 50, 0},
        {7, 9, 0, 0},      // no grid
        {7, 9, -50, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GridCornerDistance(c.dx, c.dy, c.nStep), c.nExpected) << c.dx << "," << c.dy << "/" << c.nStep;

    // Corners are tried left-top, right-top, right-bottom, left-bottom; a
    // later one must be strictly nearer.
    EXPECT_EQ(FindNearestGridCorner(CRect(74, -100, 174, -200), 0, 0, 50), CPoint(74, -100));
    EXPECT_EQ(FindNearestGridCorner(CRect(70, -100, 148, -200), 0, 0, 50), CPoint(148, -100));
    EXPECT_EQ(FindNearestGridCorner(CRect(70, -90, 148, -199), 0, 0, 50), CPoint(148, -199));
    EXPECT_EQ(FindNearestGridCorner(CRect(101, -90, 170, -199), 0, 0, 50), CPoint(101, -199));
}

class ToolSnapTest : public ToolTest {
protected:
    // A view with a grid of 50 units and one object of 100 x 100 whose upper
    // left corner lies (dx, dy) from the page's upper left corner, selected,
    // and the drag state as a move to nowhere leaves it.
    CDrawRect* SetUpObject(CSurface* pView, int dx, int dy)
    {
        const CRect page = pView->GetPageRect();
        m_origin = page.TopLeft();
        const CPoint corner(m_origin.x + dx, m_origin.y - dy);
        CDrawRect* pObj = AddRect(pView, CRect(corner.x, corner.y, corner.x + 100, corner.y - 100));
        pView->Select(pObj);
        CDrawDoc* pDoc = pView->GetDocument();
        pDoc->SetGridSpacing(500);
        pDoc->m_wDocFlags |= kSnapToGrid;
        g_lastLocalPoint = kPoint;
        return pObj;
    }

    static inline const CPoint kPoint{10, 20};
    CPoint m_origin;
};

TEST_F(ToolSnapTest, TheGridTakesTheNearerLineOnEitherSideOfItsOrigin)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    struct Case {
        int dx, dy;
        CSize shift;
    };
    const Case cases[] = {
        {74, 100, CSize(-24, 0)},  // 74 to 50
        {75, 100, CSize(25, 0)},   // 75 to 100
        {-74, 100, CSize(24, 0)},  // -74 to -50, not to -100
        {-75, 100, CSize(25, 0)},  // halfway goes up, as 75 does
        {100, 74, CSize(0, 24)},   // 74 below the top to 50
        {100, -74, CSize(0, -24)}, // 74 above it to 50 above
        {0, 0, CSize(0, 0)},
    };
    for (const Case& c : cases) {
        pView->Select(NULL);
        SetUpObject(pView, c.dx, c.dy);
        EXPECT_EQ(SnapDragPoint(pView, kPoint), kPoint + c.shift) << c.dx << "," << c.dy;
    }

    // Without the snap bit, or without a grid, the point stays.
    pView->GetDocument()->m_wDocFlags &= WORD(~kSnapToGrid);
    EXPECT_EQ(SnapDragPoint(pView, kPoint), kPoint);
    pView->GetDocument()->m_wDocFlags |= kSnapToGrid;
    pView->GetDocument()->m_nGridSpacing = 0;
    EXPECT_EQ(SnapDragPoint(pView, kPoint), kPoint);
    // A step below one unit is no grid either.
    pView->GetDocument()->m_nGridSpacing = 9;
    EXPECT_EQ(SnapDragPoint(pView, kPoint), kPoint);
    // Nothing selected: nothing to snap.
    pView->GetDocument()->SetGridSpacing(500);
    pView->Select(NULL);
    EXPECT_EQ(SnapDragPoint(pView, kPoint), kPoint);
}

TEST_F(ToolSnapTest, AGuidelineWithin25UnitsPullsBeforeTheGrid)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    SetUpObject(pView, 74, 100);
    pDoc->m_wDocFlags |= kSnapToGuidelines;

    // Guidelines are kept in thousandths of an inch from the page's corner.
    pView->AddGuideline((74 + 20) * 10, TRUE);
    EXPECT_EQ(SnapDragPoint(pView, kPoint), kPoint + CSize(20, 0));
    pView->RemoveGuideline((74 + 20) * 10, TRUE, 0);
    pView->AddGuideline((74 + 26) * 10, TRUE);
    EXPECT_EQ(SnapDragPoint(pView, kPoint), kPoint + CSize(-24, 0)) << "where the grid puts it";

    // The selection is snapped where it lies at the point, which the last
    // mouse move may not have reached.
    g_lastLocalPoint = kPoint - CSize(6, 0);
    EXPECT_EQ(SnapDragPoint(pView, kPoint), kPoint + CSize(20, 0));
    g_lastLocalPoint = kPoint + CSize(6, 0);
    EXPECT_EQ(SnapDragPoint(pView, kPoint), kPoint + CSize(-18, 0));
}

TEST_F(ToolSnapTest, AMoveSnapsAtTheReleaseAndUndoesToTheExactStart)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pObj = SetUpObject(pView, 80, 100);
    const CRect start = pObj->m_position;
    const CPoint press = ClientAt(pView, CPoint(start.left + 50, start.top - 50));
    DragClient(pView, press, press + CSize(33, 17));
    // The upper left corner lies on grid lines.
    EXPECT_EQ((pObj->m_position.left - m_origin.x) % 50, 0);
    EXPECT_EQ((m_origin.y - pObj->m_position.top) % 50, 0);
    EXPECT_EQ(pObj->m_position.Width(), 100);
    EXPECT_EQ(pObj->m_wFlags & OBJ_FLAG_DRAGGING, 0);
    ASSERT_EQ(Undo(pView).GetCount(), 1);
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(pObj->m_position, start);
}

} // namespace surfacetest
