#include "tests/surface/SurfacePaintTestSupport.h"

#include "app/PrefData.h"
#include "model/DrawRect.h"

#include <vector>

namespace surfacetest {
namespace {

// A rectangle that counts how often the view draws it and its handles.
class CCountedRect : public CDrawRect {
public:
    explicit CCountedRect(const CRect& rect)
        : CDrawRect(rect, SHAPE_RECTANGLE)
    {
    }
    void Draw(CDC* pDC) override
    {
        ++m_nDraws;
        CDrawRect::Draw(pDC);
    }
    void DrawTracker(CDC* pDC, TrackerState state) override
    {
        ++m_nTrackers;
        CDrawRect::DrawTracker(pDC, state);
    }
    int m_nDraws = 0;
    int m_nTrackers = 0;
};

// Moves of a few objects scattered over the view: what they invalidate and
// what the paint that follows draws.
class MoveRepaintTest : public SurfacePaintTest {
protected:
    static constexpr int kColumns = 8;
    static constexpr int kRows = 8;

    void SetUp() override
    {
        SurfacePaintTest::SetUp();
        m_savedFlags = thePrefs.Flags;
        // Objects move filled and are invalidated with their margins, as
        // for a new user.
        thePrefs.Flags = CPrefData::kDefaultFlags;
        m_pView = NewHalfSizeView();
        m_pView->SetZoom(100);
        Pump();
        // A grid of outlined rectangles over the client, 20 pixels apart.
        CRect client;
        m_pView->GetClientRect(&client);
        const int cx = (client.Width() - 20) / kColumns - 20;
        const int cy = (client.Height() - 20) / kRows - 20;
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const int x = 20 + column * (cx + 20);
                const int y = 20 + row * (cy + 20);
                CRect rect(x, y, x + cx, y + cy);
                m_pView->DPtoLPRect(&rect);
                auto* pObj = new CCountedRect(CDrawObj::NormalizeUp(rect));
                pObj->m_logpen.lopnWidth.x = 2;
                pObj->m_bOutline = TRUE;
                pObj->m_bFill = TRUE;
                pObj->m_logbrush.lbStyle = BS_SOLID;
                pObj->m_logbrush.lbColor = RGB(30 * row, 200, 30 * column);
                m_pView->Add(pObj);
                m_objects.push_back(pObj);
            }
        }
        // Three far apart: two corners and the middle.
        m_moved = {At(0, 0), At(kRows - 1, kColumns - 1), At(kRows / 2, kColumns / 2)};
        m_pView->SelectObjects(std::vector<CDrawObj*>(m_moved.begin(), m_moved.end()), FALSE);
        PaintFocused(m_pView);
        Pump();
    }
    void TearDown() override
    {
        thePrefs.Flags = m_savedFlags;
        SurfacePaintTest::TearDown();
    }

    CCountedRect* At(int row, int column) const { return m_objects[size_t(row * kColumns + column)]; }

    // The object's rectangle in client pixels.
    CRect ClientRectOf(const CDrawObj* pObj) const
    {
        CRect rect = pObj->m_position;
        m_pView->LPtoDPRect(&rect);
        rect.NormalizeRect();
        return rect;
    }

    // What a moved object may rightly repaint: its old and new rectangles
    // with room for its pen, its handle markers and, to the right, its
    // rotation handle (a quarter of its width beyond it).
    CRect AllowedFor(const CRect& before, const CRect& after) const
    {
        CRect allowed;
        allowed.UnionRect(&before, &after);
        allowed.InflateRect(12, 12);
        allowed.right += std::max(before.Width() / 4, 40);
        return allowed;
    }

    static void ResetCounts(const std::vector<CCountedRect*>& objects)
    {
        for (CCountedRect* pObj : objects)
            pObj->m_nDraws = pObj->m_nTrackers = 0;
    }

    CSurface* m_pView = nullptr;
    std::vector<CCountedRect*> m_objects;
    std::vector<CCountedRect*> m_moved;
    WORD m_savedFlags = 0;
};

// A nudge of three objects far apart leaves an update region of their old
// and new places alone: all of each, and nothing farther than their pens,
// handles and rotation handle reach. The region is made of their pieces,
// not their bounding box, which would be most of the view.
TEST_F(MoveRepaintTest, ANudgeInvalidatesOnlyTheOldAndNewPlacesOfTheMovedObjects)
{
    std::vector<CRect> before;
    for (CDrawObj* pObj : m_moved)
        before.push_back(ClientRectOf(pObj));
    m_pView->ValidateRect(NULL);
    for (int nDirection : {2, 3}) {
        SCOPED_TRACE(testing::Message() << "nudged in direction " << nDirection);
        m_pView->NudgeSelection(nDirection, TRUE);

        CRgn update;
        update.CreateRectRgn(0, 0, 0, 0);
        ASSERT_EQ(m_pView->GetUpdateRgn(&update, FALSE), COMPLEXREGION);
        CRgn allowed;
        allowed.CreateRectRgn(0, 0, 0, 0);
        for (size_t i = 0; i < m_moved.size(); ++i) {
            const CRect after = ClientRectOf(m_moved[i]);
            ASSERT_NE(after, before[i]);
            // Both places are repainted whole.
            for (const CRect& place : {before[i], after}) {
                CRgn missing;
                missing.CreateRectRgnIndirect(&place);
                EXPECT_EQ(missing.CombineRgn(&missing, &update, RGN_DIFF), NULLREGION) << "object " << i;
            }
            CRgn room;
            const CRect reach = AllowedFor(before[i], after);
            room.CreateRectRgnIndirect(&reach);
            allowed.CombineRgn(&allowed, &room, RGN_OR);
            before[i] = after;
        }
        CRgn beyond;
        beyond.CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(beyond.CombineRgn(&update, &allowed, RGN_DIFF), NULLREGION);
        m_pView->ValidateRect(NULL);
    }
}

// The paint of such a region draws the objects that meet it and no other,
// and the handles of the selected objects inside it only.
TEST_F(MoveRepaintTest, APaintOfScatteredPlacesDrawsOnlyTheObjectsAndHandlesThatMeetThem)
{
    m_pView->ValidateRect(NULL);
    m_pView->NudgeSelection(2, FALSE);
    CRgn update;
    update.CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(m_pView->GetUpdateRgn(&update, FALSE), COMPLEXREGION);
    ResetCounts(m_objects);
    m_pView->UpdateWindow();

    int nDrawn = 0;
    for (CCountedRect* pObj : m_objects) {
        CRect reach = ClientRectOf(pObj);
        reach.InflateRect(2, 2);
        const BOOL bMeets = update.RectInRegion(&reach);
        EXPECT_LE(pObj->m_nDraws, bMeets ? 1 : 0) << "object at " << reach.left << ", " << reach.top;
        nDrawn += pObj->m_nDraws;
    }
    // The moved ones and the neighbours their margins reach, not the grid.
    EXPECT_GE(nDrawn, int(m_moved.size()));
    EXPECT_LE(nDrawn, int(m_moved.size()) * 4);
    for (CCountedRect* pObj : m_moved)
        EXPECT_EQ(pObj->m_nDraws, 1);

    // A corner of the view far from the selection: its objects are drawn,
    // no handles are.
    const CCountedRect* pCorner = At(0, kColumns - 1);
    CRect corner = ClientRectOf(pCorner);
    ResetCounts(m_objects);
    m_pView->InvalidateRect(&corner, FALSE);
    const CRect other = ClientRectOf(At(kRows - 1, 0));
    m_pView->InvalidateRect(&other, FALSE);
    m_pView->UpdateWindow();
    int nTrackers = 0;
    nDrawn = 0;
    for (CCountedRect* pObj : m_objects) {
        nTrackers += pObj->m_nTrackers;
        nDrawn += pObj->m_nDraws;
    }
    EXPECT_EQ(nTrackers, 0);
    EXPECT_EQ(pCorner->m_nDraws, 1);
    EXPECT_EQ(nDrawn, 2);
}

} // namespace
} // namespace surfacetest
