// Handles, hit tests, orientation, cursors, proportions and the banded fill
// of drawing objects lying in a real surface view of the headless back end
// (y up, zoom 100 and 37).

#include "tests/model/ModelTestSupport.h"

#include "model/ObjectAttributes.h"
#include "resources/art.h"
#include "surface/CursorSet.h"
#include "text/TextBlock.h"
#include "surface/SurfaceGlobals.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <iterator>

namespace {

using modeltest::ViewBitmap;

constexpr UINT kArrow = 32512;
constexpr UINT kSysNWSE = 32642;
constexpr UINT kSysNESW = 32643;
constexpr UINT kSysWE = 32644;
constexpr UINT kSysNS = 32645;

class ObjectGeometryTest : public modeltest::DesignViewTest {
protected:
    void BeforeOpening() override { thePrefs.Flags &= ~WORD(PREF_FLAG_PLAIN_SIZING_CURSORS); }

    // An object of the view (the view owns it).
    template <class T = CDrawObj>
    T* Place(const CRect& rect)
    {
        T* pObj = new T(rect);
        m_pView->Add(pObj);
        return pObj;
    }
};

TEST_F(ObjectGeometryTest, HandlesLieAtCornersAndSideMiddlesAndTurnWithTheObject)
{
    CDrawObj* pObj = Place(CRect(0, 100, 200, -100));
    const CPoint places[9] = {{0, -100}, {100, -100}, {200, -100}, {200, 0}, {200, 100}, {100, 100}, {0, 100},
        {0, 0}, {250, 0}};
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(pObj->GetHandle(n, TRUE), places[n - 1]) << "handle " << n;
        EXPECT_EQ(pObj->GetHandle(n, FALSE), places[n - 1]) << "handle " << n;
    }
    EXPECT_EQ(pObj->GetHandle(0, TRUE), places[0]);
    EXPECT_EQ(pObj->GetHandle(12, TRUE), places[0]);

    pObj->SetAngle(90);
    EXPECT_EQ(pObj->m_dAngle, 90.0);
    // Turned a quarter about the centre (100, 0): the right side comes up.
    EXPECT_EQ(pObj->GetHandle(4, FALSE), CPoint(100, 100));
    EXPECT_EQ(pObj->GetHandle(6, FALSE), CPoint(0, 0));
    EXPECT_EQ(pObj->GetHandle(1, FALSE), CPoint(200, -100));
    EXPECT_EQ(pObj->GetHandle(4, TRUE), CPoint(200, 0));
    EXPECT_EQ(pObj->m_handles[3].m_dAngle, 90.0);
}

TEST_F(ObjectGeometryTest, SetAngleLaysOutTheMarkersAsEachHandleOnItsOwnWould)
{
    // SetAngle turns all nine markers with one sine and cosine; asking for
    // a turned handle lays its marker out alone. Both must agree exactly.
    const CRect rects[] = {CRect(0, 100, 200, -100), CRect(-333, 17, 41, -250), CRect(5, 6, 6, 5), CRect(77, 3, -1, -90)};
    const double angles[] = {0, -0.0, 0.4, 1, 29.6, 30, 45, 89.9, 90, 135.5, 179, 180, 270.2, 359, 360, 725, -45.5, -359.7};
    for (const CRect& rect : rects)
        for (double dAngle : angles) {
            CDrawObj* pObj = Place(rect);
            pObj->SetAngle(dAngle);
            CRotatedRect laidOut[9];
            std::copy(std::begin(pObj->m_handles), std::end(pObj->m_handles), laidOut);
            for (int n = 1; n <= 9; ++n) {
                pObj->GetHandle(n, FALSE); // lays marker n out again, alone
                const CRotatedRect& alone = pObj->m_handles[n - 1];
                const CRotatedRect& together = laidOut[n - 1];
                EXPECT_EQ(CPoint(together.m_ptPivot), CPoint(alone.m_ptPivot)) << dAngle << " handle " << n;
                EXPECT_EQ(CRect(together.m_rect), CRect(alone.m_rect)) << dAngle << " handle " << n;
                EXPECT_EQ(together.m_dAngle, alone.m_dAngle) << dAngle << " handle " << n;
                for (int k = 0; k < 4; ++k)
                    EXPECT_EQ(CPoint(together.m_corners[k]), CPoint(alone.m_corners[k]))
                        << dAngle << " handle " << n << " corner " << k;
            }
        }
}

TEST_F(ObjectGeometryTest, TheRotationHandleStandsBeyondTheSideThatShowsOnTheRight)
{
    for (int nZoom : {100, 37}) {
        SetZoom(nZoom);
        struct Case {
            int nWidth;
            int nOffset;
        };
        for (const Case& c : {Case{100, 35}, Case{1000, 250}, Case{4000, 650}}) {
            CDrawObj* pObj = Place(CRect(-c.nWidth / 2, 50, c.nWidth / 2, -50));
            EXPECT_EQ(pObj->GetHandle(9, TRUE), CPoint(c.nWidth / 2 + c.nOffset, 0)) << c.nWidth << " at " << nZoom;
            EXPECT_EQ(pObj->m_nRotateHandleOffset, c.nOffset);
            // Mirrored, the left coordinate is the side on the right.
            pObj->Flip(TRUE, FALSE);
            EXPECT_EQ(pObj->m_rectUnrotated.left, c.nWidth / 2);
            EXPECT_EQ(pObj->GetHandle(9, TRUE), CPoint(c.nWidth / 2 + c.nOffset, 0)) << c.nWidth << " mirrored";
        }
    }
}

TEST_F(ObjectGeometryTest, HitTestsFollowTheInsideRuleAndTheHandleSquares)
{
    CDrawObj* pObj = Place(CRect(-100, 100, 100, -100));
    // Not selected: left and top inside, right and bottom outside.
    EXPECT_EQ(pObj->HitTest(CPoint(-100, 0), m_pView, FALSE), 1);
    EXPECT_EQ(pObj->HitTest(CPoint(100, 0), m_pView, FALSE), 0);
    EXPECT_EQ(pObj->HitTest(CPoint(99, 0), m_pView, FALSE), 1);
    EXPECT_EQ(pObj->HitTest(CPoint(0, 100), m_pView, FALSE), 1);
    EXPECT_EQ(pObj->HitTest(CPoint(0, -100), m_pView, FALSE), 0);
    EXPECT_EQ(pObj->HitTest(CPoint(0, -99), m_pView, FALSE), 1);
    // A mirrored object has the same area.
    pObj->Flip(TRUE, TRUE);
    EXPECT_EQ(pObj->HitTest(CPoint(-100, 100), m_pView, FALSE), 1);
    pObj->Flip(TRUE, TRUE);

    // Selected: the handle squares, the first hit in order.
    EXPECT_EQ(pObj->HitTest(CPoint(100, 100), m_pView, TRUE), 5);
    EXPECT_EQ(pObj->HitTest(CPoint(-100, -100), m_pView, TRUE), 1);
    EXPECT_EQ(pObj->HitTest(CPoint(150, 0), m_pView, TRUE), 9);
    EXPECT_EQ(pObj->HitTest(CPoint(0, 0), m_pView, TRUE), 0);
    EXPECT_EQ(pObj->HitTest(CPoint(104, 104), m_pView, TRUE), 5);
    // 11 units off: outside the square at zoom 100, inside at zoom 37,
    // where 3 pixels cover more of the design.
    EXPECT_EQ(pObj->HitTest(CPoint(111, 100), m_pView, TRUE), 0);
    SetZoom(37);
    EXPECT_EQ(pObj->HitTest(CPoint(111, 100), m_pView, TRUE), 5);
    SetZoom(100);

    for (WORD wFlag : {WORD(OBJ_FLAG_LOCKED), WORD(OBJ_FLAG_UNSELECTABLE)}) {
        pObj->m_wFlags |= wFlag;
        EXPECT_EQ(pObj->HitTest(CPoint(0, 0), m_pView, FALSE), 0);
        EXPECT_EQ(pObj->HitTest(CPoint(100, 100), m_pView, TRUE), 0);
        pObj->m_wFlags &= ~wFlag;
    }
}

TEST_F(ObjectGeometryTest, ALineOffersOnlyItsEndsAndNoneInAGroup)
{
    auto* pLine = new CDrawRect(CRect(0, 100, 100, 0), SHAPE_LINE);
    m_pView->Add(pLine);
    EXPECT_EQ(pLine->HitTest(CPoint(0, 0), m_pView, TRUE), 1);
    EXPECT_EQ(pLine->HitTest(CPoint(100, 100), m_pView, TRUE), 5);
    EXPECT_EQ(pLine->HitTest(CPoint(100, 0), m_pView, TRUE), 0);
    EXPECT_EQ(pLine->HitTest(CPoint(50, 0), m_pView, TRUE), 0);
    CDrawObj* pOther = Place(CRect(300, 100, 400, 0));
    m_pView->Select(pLine);
    m_pView->Select(pOther, TRUE);
    EXPECT_EQ(pLine->HitTest(CPoint(0, 0), m_pView, TRUE), 0);
}

TEST_F(ObjectGeometryTest, OrientationFollowsMirrorsButNotTurns)
{
    CDrawObj* pObj = Place(CRect(0, 50, 100, -50));
    struct State {
        BOOL bFlipX, bFlipY;
    };
    for (int nAngle : {0, 90, 180, 270, 30}) {
        pObj->m_dAngle = nAngle;
        for (const State& s : {State{FALSE, FALSE}, State{TRUE, FALSE}, State{FALSE, TRUE}, State{TRUE, TRUE}}) {
            pObj->Flip(s.bFlipX, s.bFlipY);
            EXPECT_EQ(pObj->IsOrientedX(), !s.bFlipX) << nAngle << " " << s.bFlipX << s.bFlipY;
            EXPECT_EQ(pObj->IsOrientedY(), !s.bFlipY) << nAngle << " " << s.bFlipX << s.bFlipY;
            EXPECT_EQ(pObj->IsMirroredX(), s.bFlipX);
            EXPECT_EQ(pObj->IsMirroredY(), s.bFlipY);
            pObj->Flip(s.bFlipX, s.bFlipY);
        }
    }
    // Outside any view nothing shows, in any order.
    CDrawObj loose(CRect(0, 50, 100, -50));
    EXPECT_FALSE(loose.IsOrientedX());
    EXPECT_FALSE(loose.IsOrientedY());
    pObj->m_bDetached = TRUE;
    EXPECT_FALSE(pObj->IsOrientedX());
    EXPECT_EQ(pObj->GetSurface(), nullptr);
}

// The rotation cursors: one per 15-degree step, else the sector's.
UINT ExpectedRotateCursor(int a, BOOL bSystem)
{
    static const UINT steps[24] = {614, 616, 620, 600, 601, 622, 602, 603, 615, 604, 605, 617, 606, 607, 618, 608,
        609, 619, 610, 611, 621, 612, 613, 599};
    struct Sector {
        int nFrom, nTo;
        UINT nOwn, nSystem;
    };
    static const Sector sectors[] = {{23, 67, 596, kSysNWSE}, {68, 112, 522, kSysWE}, {113, 157, 598, kSysNESW},
        {158, 202, 521, kSysNS}, {203, 247, 595, kSysNWSE}, {248, 292, 520, kSysWE}, {293, 337, 597, kSysNESW}};
    if (bSystem) {
        static const int ns[] = {0, 15, 165, 180, 195, 345};
        static const int nwse[] = {30, 45, 60, 210, 225, 240};
        static const int we[] = {75, 90, 105, 255, 270, 285};
        static const int nesw[] = {120, 135, 150, 300, 315, 330};
        for (int x : ns) if (a == x) return kSysNS;
        for (int x : nwse) if (a == x) return kSysNWSE;
        for (int x : we) if (a == x) return kSysWE;
        for (int x : nesw) if (a == x) return kSysNESW;
    } else if (a % 15 == 0) {
        return steps[a / 15];
    }
    for (const Sector& s : sectors) {
        if (a >= s.nFrom && a <= s.nTo)
            return bSystem ? s.nSystem : s.nOwn;
    }
    return bSystem ? kSysNS : 519;
}

TEST_F(ObjectGeometryTest, HandleAndRotationCursorsForEveryAngleInBothModes)
{
    CDrawObj* pObj = Place(CRect(0, 50, 100, -50));
    // Handles 1..8 unturned: own cursors, or the system's.
    const UINT own[9] = {0, 336, 335, 337, 334, 336, 335, 337, 334};
    const UINT system[9] = {0, kSysNESW, kSysNS, kSysNWSE, kSysWE, kSysNESW, kSysNS, kSysNWSE, kSysWE};
    for (BOOL bSystem : {FALSE, TRUE}) {
        if (bSystem)
            thePrefs.Flags |= PREF_FLAG_PLAIN_SIZING_CURSORS;
        else
            thePrefs.Flags &= ~WORD(PREF_FLAG_PLAIN_SIZING_CURSORS);
        for (int a = 0; a < 360; ++a) {
            EXPECT_EQ(CDrawObj::GetRotateCursorId(a), ExpectedRotateCursor(a, bSystem)) << a << " " << bSystem;
            pObj->m_dAngle = a;
            EXPECT_EQ(pObj->GetHandleCursorId(9), ExpectedRotateCursor(a, bSystem)) << a;
            for (int n = 1; n <= 8; ++n)
                EXPECT_EQ(pObj->GetHandleCursorId(n), a == 0 ? (bSystem ? system[n] : own[n]) : kArrow)
                    << a << " " << n;
        }
        EXPECT_EQ(CDrawObj::GetRotateCursorId(-15), ExpectedRotateCursor(345, bSystem));
        EXPECT_EQ(CDrawObj::GetRotateCursorId(390), ExpectedRotateCursor(30, bSystem));
    }
    thePrefs.Flags &= ~WORD(PREF_FLAG_PLAIN_SIZING_CURSORS);
    pObj->m_dAngle = 0;
    // Mirrored left-right, the bottom-left handle shows on the bottom right.
    pObj->Flip(TRUE, FALSE);
    EXPECT_EQ(pObj->GetHandleCursorId(1), UINT(IDC_HANDLE_NWSE));
    EXPECT_EQ(pObj->GetHandleCursorId(3), UINT(IDC_HANDLE_NESW));
    EXPECT_EQ(pObj->GetHandleCursorId(2), UINT(IDC_HANDLE_NS));
    EXPECT_EQ(pObj->GetHandleCursorId(4), UINT(IDC_HANDLE_WE));
    // A cursor of the set or of the system for every handle.
    theCursorSet.Load();
    for (int n = 1; n <= 9; ++n)
        EXPECT_NE(pObj->GetHandleCursor(n), nullptr) << n;
    EXPECT_EQ(pObj->GetHandleCursor(9), theCursorSet.GetResourceCursor(IDC_ROTATE_0));
}

TEST_F(ObjectGeometryTest, FittingToProportionsKeepsTheCornerOppositeTheHandle)
{
    CDrawObj* pObj = Place(CRect(0, 100, 100, 0));
    pObj->FitToProportions(200, 100, 5, nullptr);
    EXPECT_EQ(pObj->m_position, CRect(0, 60, 120, 0));
    EXPECT_EQ(pObj->m_rectUnrotated, pObj->m_position);
    EXPECT_FALSE(pObj->m_wFlags & OBJ_FLAG_SIZING);

    pObj->m_position = CRect(0, 100, 100, 0);
    pObj->FitToProportions(200, 100, 1, nullptr);
    EXPECT_EQ(pObj->m_position, CRect(-20, 100, 100, 40));
    pObj->m_position = CRect(0, 100, 100, 0);
    pObj->FitToProportions(200, 100, 3, nullptr);
    EXPECT_EQ(pObj->m_position, CRect(0, 100, 120, 40));

    // On a given rectangle the object stays.
    CRect rect(0, 100, 100, 0);
    pObj->m_position = CRect(0, 100, 100, 0);
    pObj->FitToProportions(100, 200, 5, &rect);
    EXPECT_EQ(rect, CRect(0, 120, 60, 0));
    EXPECT_EQ(pObj->m_position, CRect(0, 100, 100, 0));

    // Nothing for empty proportions or while a resize runs.
    pObj->FitToProportions(0, 100, 5, nullptr);
    pObj->m_wFlags |= OBJ_FLAG_SIZING;
    pObj->FitToProportions(200, 100, 5, nullptr);
    EXPECT_EQ(pObj->m_position, CRect(0, 100, 100, 0));
}

TEST_F(ObjectGeometryTest, RectangleTestsWidenLinesWithoutHeight)
{
    CDrawObj* pObj = Place(CRect(10, 50, 90, 50));
    EXPECT_TRUE(pObj->IsInsideRect(CRect(0, 100, 100, 0)));
    EXPECT_TRUE(pObj->IsInsideRect(CRect(100, 0, 0, 100)));
    EXPECT_FALSE(pObj->IsInsideRect(CRect(0, 100, 50, 0)));
    EXPECT_FALSE(pObj->IsInsideRect(CRect(0, 40, 100, 0)));
    pObj->m_position = CRect(-10, 50, 90, 20);
    EXPECT_FALSE(pObj->IsInsideRect(CRect(0, 100, 100, 0)));
    EXPECT_TRUE(pObj->Intersects(CRect(0, 100, 100, 0)));
    EXPECT_TRUE(pObj->Intersects(CRect(89, 21, 200, -100)));
    EXPECT_FALSE(pObj->Intersects(CRect(90, 100, 200, 0)));
    EXPECT_FALSE(pObj->Intersects(CRect(0, 20, 100, 0)));
}

TEST_F(ObjectGeometryTest, AnObjectFindsItsViewAndItsUnlockedCloneJoinsIt)
{
    CDrawObj* pObj = Place(CRect(0, 100, 100, 0));
    EXPECT_EQ(pObj->GetSurface(), m_pView);
    pObj->m_wFlags |= OBJ_FLAG_LOCKED;
    CDrawObj* pClone = pObj->Clone(m_pDoc, m_pView);
    ASSERT_NE(pClone, nullptr);
    EXPECT_NE(m_pView->GetObjects().Find(pClone), nullptr);
    EXPECT_EQ(pClone->GetSurface(), m_pView);
    EXPECT_EQ(pClone->m_pDocument, m_pDoc);
    EXPECT_FALSE(pClone->m_wFlags & OBJ_FLAG_LOCKED);

    m_pView->Remove(pObj);
    EXPECT_EQ(pObj->GetSurface(), nullptr);
    delete pObj;
}

TEST_F(ObjectGeometryTest, AGuidelineCrossesAnObjectOnlyThroughItsInside)
{
    // A 10 x 8 inch page: the centre lies 5000 thousandths from the left
    // edge and 4000 from the top.
    m_pView->SetPageSize(1000, 800);
    CDrawObj* pObj = Place(CRect(0, 100, 200, -100));
    CDWordArray& horizontal = m_pView->m_guidelines[0];
    CDWordArray& vertical = m_pView->m_guidelines[1];
    EXPECT_EQ(pObj->CrossesGuideLine(), 0);

    vertical.Add(7000); // along the right edge
    horizontal.Add(3000); // along the top edge
    horizontal.Add(5000); // along the bottom edge
    vertical.Add(0xFFFFFFFF); // a damaged position, far off the object
    EXPECT_EQ(pObj->CrossesGuideLine(), 0);

    vertical.Add(6990);
    EXPECT_EQ(pObj->CrossesGuideLine(), 1);
    vertical.RemoveAll();
    horizontal.Add(4000); // through the middle
    EXPECT_EQ(pObj->CrossesGuideLine(), 1);

    // Turned over, the same object is crossed the same way.
    pObj->m_position = CRect(200, -100, 0, 100);
    EXPECT_EQ(pObj->CrossesGuideLine(), 1);

    // Without a view nothing is crossed.
    CDrawObj loose(CRect(0, 100, 200, -100));
    EXPECT_EQ(loose.CrossesGuideLine(), 0);
    pObj->m_bDetached = TRUE;
    EXPECT_EQ(pObj->CrossesGuideLine(), 0);
    pObj->m_bDetached = FALSE;
}

TEST_F(ObjectGeometryTest, TextObjectsGrowToTheirTextPlusEightAndNeverShrink)
{
    // Text is not measured yet: only the margin of 8 and the old size act.
    CDrawObj* pSmall = Place(CRect(10, 14, 14, 10));
    pSmall->SetText("abc", FALSE);
    pSmall->SizeToText(m_pView);
    EXPECT_EQ(pSmall->m_position, CRect(10, 18, 18, 10));

    CDrawObj* pLarge = Place(CRect(0, 100, 200, 0));
    pLarge->SetText("abc", TRUE);
    pLarge->GetTextBlock()->m_wFlags &= ~WORD(TEXTBLOCK_AUTO_SIZE);
    pLarge->SizeToText(m_pView);
    EXPECT_EQ(pLarge->m_position, CRect(0, 100, 200, 0));

    // Growing by itself keeps the top-left corner and the mirror.
    CDrawObj* pMirrored = Place(CRect(14, 14, 10, 10));
    pMirrored->SetText("abc", FALSE);
    pMirrored->AutoSizeToText();
    EXPECT_EQ(pMirrored->m_position, CRect(18, 14, 10, 6));
    // Block text fitted to its frame keeps its size.
    CDrawObj* pFitted = Place(CRect(10, 14, 14, 10));
    pFitted->SetText("abc", TRUE);
    pFitted->GetTextBlock()->m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    pFitted->AutoSizeToText();
    EXPECT_EQ(pFitted->m_position, CRect(10, 14, 14, 10));
}

TEST_F(ObjectGeometryTest, TheTrackerDrawsOneMarkerPerHandle)
{
    CDrawObj* pObj = Place(CRect(-100, 100, 100, -100));
    {
        ViewBitmap bmp(m_pView);
        pObj->DrawTracker(bmp.Dc(), TrackerSelected);
        EXPECT_EQ(pObj->m_sizeMarker, CSize(7, 7));
        const CPoint p5 = bmp.ToDevice(100, 100);
        EXPECT_EQ(bmp.At(CPoint(p5.x - 3, p5.y - 3)), RGB(0, 0, 0));
        EXPECT_EQ(bmp.At(p5), RGB(255, 255, 255));
        EXPECT_EQ(bmp.At(CPoint(p5.x - 5, p5.y - 5)), RGB(255, 255, 255));
        EXPECT_EQ(bmp.At(150, 0), RGB(0, 160, 0));
        EXPECT_EQ(pObj->m_rectRotateRef, pObj->m_position);
    }
    {
        ViewBitmap bmp(m_pView);
        pObj->DrawTracker(bmp.Dc(), TrackerNoRotation);
        EXPECT_EQ(bmp.At(150, 0), RGB(255, 255, 255));
        const CPoint p1 = bmp.ToDevice(-100, -100);
        EXPECT_EQ(bmp.At(CPoint(p1.x - 3, p1.y - 3)), RGB(0, 0, 0));
    }
    {
        // A locked object shows one marker.
        pObj->m_wFlags |= OBJ_FLAG_LOCKED;
        ViewBitmap bmp(m_pView);
        pObj->DrawTracker(bmp.Dc(), TrackerSelected);
        const CPoint p1 = bmp.ToDevice(-100, -100);
        const CPoint p5 = bmp.ToDevice(100, 100);
        EXPECT_EQ(bmp.At(CPoint(p1.x - 3, p1.y - 3)), RGB(0, 0, 0));
        EXPECT_EQ(bmp.At(CPoint(p5.x - 3, p5.y - 3)), RGB(255, 255, 255));
    }
    SetZoom(37);
    {
        ViewBitmap bmp(m_pView);
        pObj->DrawTracker(bmp.Dc(), TrackerSelected);
        EXPECT_EQ(pObj->m_sizeMarker, CSize(3, 3));
    }
}

// ---- The banded fill

int Channel(COLORREF cr, int n)
{
    return n == 0 ? GetRValue(cr) : n == 1 ? GetGValue(cr) : GetBValue(cr);
}

// Each channel moves one way only along the pixels.
void ExpectMonotonic(const std::vector<COLORREF>& pixels)
{
    for (int c = 0; c < 3; ++c) {
        const int nDirection = Channel(pixels.back(), c) - Channel(pixels.front(), c);
        for (size_t i = 1; i < pixels.size(); ++i) {
            const int nStep = Channel(pixels[i], c) - Channel(pixels[i - 1], c);
            EXPECT_GE(nStep * nDirection, 0) << "channel " << c << " at " << i;
        }
    }
}

CFillInfo Bands(int nKind, WORD wMode, int nAmount)
{
    CFillInfo fill;
    fill.m_nKind = nKind;
    fill.m_wMode = wMode;
    fill.m_nAmount = nAmount;
    fill.m_crFirst = RGB(255, 0, 0);
    fill.m_crSecond = RGB(0, 255, 0);
    fill.m_crThird = RGB(255, 255, 0);
    fill.m_crFourth = RGB(0, 0, 255);
    return fill;
}

TEST_F(ObjectGeometryTest, BandsRunFromTheFirstColourToTheLastAcrossTheObject)
{
    const CRect rect(-200, 100, 200, -100);
    for (int nZoom : {100, 37}) {
        SetZoom(nZoom);
        CDrawObj* pObj = Place(rect);
        ViewBitmap bmp(m_pView);
        pObj->PaintFill(bmp.Dc(), rect, Bands(0, 2, 100));
        const CPoint left = bmp.ToDevice(-200, 0);
        const CPoint right = bmp.ToDevice(200, 0);
        EXPECT_EQ(bmp.At(left), RGB(255, 0, 0)) << nZoom;
        EXPECT_EQ(bmp.At(CPoint(right.x - 1, right.y)), RGB(0, 0, 255)) << nZoom;
        EXPECT_EQ(bmp.At(CPoint(right.x + 1, right.y)), RGB(255, 255, 255));
        EXPECT_EQ(bmp.At(CPoint(left.x - 1, left.y)), RGB(255, 255, 255));
        const CPoint top = bmp.ToDevice(0, 100);
        EXPECT_EQ(bmp.At(CPoint(top.x, top.y - 2)), RGB(255, 255, 255));
        std::vector<COLORREF> row;
        for (int x = left.x; x < right.x; ++x)
            row.push_back(bmp.At(CPoint(x, left.y)));
        ExpectMonotonic(row);
        // Every pixel column of the row is painted.
        for (COLORREF cr : row)
            EXPECT_NE(cr, RGB(255, 255, 255));
        m_pView->Remove(pObj);
        delete pObj;
    }
}

TEST_F(ObjectGeometryTest, BandsOfKindOneRiseFromTheBottomAndMirrorsReverseThem)
{
    const CRect rect(-200, 100, 200, -100);
    CDrawObj* pObj = Place(rect);
    {
        ViewBitmap bmp(m_pView);
        pObj->PaintFill(bmp.Dc(), rect, Bands(1, 2, 100));
        const CPoint bottom = bmp.ToDevice(0, -100);
        const CPoint top = bmp.ToDevice(0, 100);
        EXPECT_EQ(bmp.At(CPoint(bottom.x, bottom.y - 1)), RGB(255, 0, 0));
        EXPECT_EQ(bmp.At(top), RGB(0, 0, 255));
        std::vector<COLORREF> column;
        for (int y = bottom.y - 1; y >= top.y; --y)
            column.push_back(bmp.At(CPoint(bottom.x, y)));
        ExpectMonotonic(column);
    }
    pObj->Flip(TRUE, FALSE);
    {
        ViewBitmap bmp(m_pView);
        pObj->PaintFill(bmp.Dc(), rect, Bands(0, 2, 100));
        EXPECT_EQ(bmp.At(-200, 0), RGB(0, 0, 255));
        const CPoint right = bmp.ToDevice(200, 0);
        EXPECT_EQ(bmp.At(CPoint(right.x - 1, right.y)), RGB(255, 0, 0));
        // The other axis is not mirrored.
        pObj->PaintFill(bmp.Dc(), rect, Bands(1, 2, 100));
        const CPoint bottom = bmp.ToDevice(0, -100);
        EXPECT_EQ(bmp.At(CPoint(bottom.x, bottom.y - 1)), RGB(255, 0, 0));
    }
    pObj->Flip(TRUE, TRUE);
    {
        ViewBitmap bmp(m_pView);
        pObj->PaintFill(bmp.Dc(), rect, Bands(1, 2, 100));
        const CPoint bottom = bmp.ToDevice(0, -100);
        EXPECT_EQ(bmp.At(CPoint(bottom.x, bottom.y - 1)), RGB(0, 0, 255));
    }
}

TEST_F(ObjectGeometryTest, ThreeColoursPassTheSecondInTheMiddle)
{
    const CRect rect(-200, 100, 200, -100);
    CDrawObj* pObj = Place(rect);
    ViewBitmap bmp(m_pView);
    pObj->PaintFill(bmp.Dc(), rect, Bands(0, 3, 100));
    const COLORREF middle = bmp.At(0, 0);
    EXPECT_LE(std::abs(GetRValue(middle) - 0), 16);
    EXPECT_GE(GetGValue(middle), 239);
    EXPECT_LE(GetBValue(middle), 16);
    EXPECT_EQ(bmp.At(-200, 0), RGB(255, 0, 0));
}

TEST_F(ObjectGeometryTest, ModesAndAmountsFromFilesStayBounded)
{
    const CRect rect(-200, 100, 200, -100);
    CDrawObj* pObj = Place(rect);
    ViewBitmap bmp(m_pView);
    const CPoint right = bmp.ToDevice(200, 0);
    const auto start = std::chrono::steady_clock::now();
    // A mode past 4 draws four colours; strips never outnumber pixels.
    pObj->PaintFill(bmp.Dc(), rect, Bands(0, 9, INT_MAX));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(bmp.At(-200, 0), RGB(255, 0, 0));
    EXPECT_EQ(bmp.At(CPoint(right.x - 1, right.y)), RGB(0, 0, 255));
    // 4,000,000,000 read into the signed amount: one strip per segment, each
    // in its first colour.
    pObj->PaintFill(bmp.Dc(), rect, Bands(0, 9, static_cast<int>(4000000000u)));
    EXPECT_EQ(bmp.At(-150, 0), RGB(255, 0, 0));
    EXPECT_EQ(bmp.At(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(bmp.At(150, 0), RGB(255, 255, 0));
    // A mode below 2 still has two colours.
    pObj->PaintFill(bmp.Dc(), rect, Bands(0, 0, 100));
    EXPECT_EQ(bmp.At(-200, 0), RGB(255, 0, 0));
}

TEST_F(ObjectGeometryTest, TurnedBandsTurnWithTheObjectInsideTheClip)
{
    const CRect rect(-200, 100, 200, -100);
    CDrawObj* pObj = Place(rect);
    pObj->m_dAngle = 30;
    ViewBitmap bmp(m_pView);
    bmp.Dc()->IntersectClipRect(-150, 80, 150, -80);
    pObj->PaintFill(bmp.Dc(), rect, Bands(0, 2, 100));
    // Along the turned axis from the turned left end to the right end.
    const double c = std::cos(30 * M_PI / 180);
    const double s = std::sin(30 * M_PI / 180);
    const COLORREF nearLeft = bmp.At(static_cast<int>(-140 * c), static_cast<int>(-140 * s));
    const COLORREF nearRight = bmp.At(static_cast<int>(140 * c), static_cast<int>(140 * s));
    EXPECT_GT(GetRValue(nearLeft), 200);
    EXPECT_GT(GetBValue(nearRight), 200);
    // Nothing outside the clip.
    EXPECT_EQ(bmp.At(-160, 0), RGB(255, 255, 255));
    EXPECT_EQ(bmp.At(0, 90), RGB(255, 255, 255));
    EXPECT_EQ(bmp.At(190, 95), RGB(255, 255, 255));
}

} // namespace
