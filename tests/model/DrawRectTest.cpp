// The rectangle object without a view: its outlines, attribute round trips
// with the five options, clones, the region test and the re-laid outline.

#include "model/DrawRect.h"

#include "tests/model/ModelTestSupport.h"

#include "app/PrefData.h"
#include "app/FontHelpers.h"
#include "calendar/DayCellObj.h"
#include "model/ObjectAttributes.h"
#include "model/TextContentHolder.h"
#include "pictures/Image.h"
#include "surface/SurfaceGlobals.h"
#include "text/TextBlock.h"
#include "text/WrapText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using modeltest::ModelTest;

class DrawRectTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        ResetSurfaceGlobals();
    }
    void TearDown() override
    {
        ResetSurfaceGlobals();
        ModelTest::TearDown();
    }
};

std::vector<CPoint> PointsOf(const CPointArray& a)
{
    std::vector<CPoint> out;
    for (int i = 0; i < a.GetCount(); ++i)
        out.emplace_back(a.GetData()[i]);
    return out;
}

TEST_F(DrawRectTest, ARegularPolygonHasItsPointsOnTheInscribedEllipseAndAtLeastThreeSides)
{
    CPointArray points;
    CDrawRect::ComputeRegularPolygon(CRect(0, 0, 100, 100), points, 4, 0);
    const std::vector<CPoint> want{{100, 50}, {50, 99}, {1, 50}, {50, 1}};
    EXPECT_EQ(PointsOf(points), want);

    // Side counts come from files: fewer than three would divide by zero or
    // draw nothing; they give a triangle.
    CPointArray triangle;
    CDrawRect::ComputeRegularPolygon(CRect(0, 0, 100, 100), triangle, 3, 0);
    for (int n : {2, 1, 0, -7, INT_MIN}) {
        CDrawRect::ComputeRegularPolygon(CRect(0, 0, 100, 100), points, n, 0);
        EXPECT_EQ(PointsOf(points), PointsOf(triangle)) << n << " sides";
    }

    // The ellipse's points lie on it, also in a rectangle with y up.
    CDrawRect::ComputeRegularPolygon(CRect(-200, 100, 200, -100), points, kEllipsePoints, 0);
    ASSERT_EQ(points.GetCount(), kEllipsePoints);
    for (const CPoint& p : PointsOf(points)) {
        const double r = std::pow(p.x / 200.0, 2) + std::pow(p.y / 100.0, 2);
        EXPECT_NEAR(r, 1.0, 0.025) << p.x << "," << p.y;
    }
}

TEST_F(DrawRectTest, RegularPolygonsKeepTheirCornersWhateverWasComputedBefore)
{
    // The corners as the angle advances step by step, computed afresh.
    auto expected = [](const CRect& rect, int nCount, double dStart) {
        std::vector<CPoint> out;
        const int rx = std::abs(rect.right - rect.left) / 2;
        const int ry = std::abs(rect.bottom - rect.top) / 2;
        const CPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        double a = dStart * 0.017453292222222222;
        const double step = 6.2831852 / nCount;
        for (int i = 0; i < nCount; ++i, a += step)
            out.emplace_back(LONG(std::trunc(std::cos(a) * rx) + centre.x), LONG(std::trunc(std::sin(a) * ry) + centre.y));
        return out;
    };
    // More counts and starts than are kept, some twice, and one beyond the
    // kept size, in several rectangles.
    const int counts[] = {kEllipsePoints, 3, 5, 7, 12, 17, 64, 100, 9000, kEllipsePoints, 5, 3};
    const CRect rects[] = {CRect(0, 0, 100, 100), CRect(-200, 100, 200, -100), CRect(7, 3, 8, 4)};
    CPointArray points;
    for (int round = 0; round < 2; ++round)
        for (int nCount : counts)
            for (double dStart : {0.0, 90.0, -17.5})
                for (const CRect& rect : rects) {
                    CDrawRect::ComputeRegularPolygon(rect, points, nCount, dStart);
                    EXPECT_EQ(PointsOf(points), expected(rect, nCount, dStart)) << nCount << " from " << dStart;
                }
}

TEST_F(DrawRectTest, ANewShapeHasItsDefaults)
{
    CDrawRect shape(CRect(0, 10, 10, 0));
    EXPECT_EQ(shape.m_sizePair, CSize(32, 32));
    EXPECT_EQ(shape.m_nSides, 4);
    EXPECT_EQ(shape.m_nRotation, 0);
    EXPECT_EQ(shape.m_fill, CFillInfo());
    EXPECT_EQ(shape.m_fill.m_crThird, 0xFFFFu);
    EXPECT_EQ(shape.m_fill.m_crFourth, 0xFFu);
    EXPECT_EQ(shape.m_fill2, CFillInfo());
    EXPECT_EQ(shape.m_nCalendarStart, 0);
    EXPECT_FALSE(shape.IsCalendar());
    const LONG words[5] = {0, 3, 0, 6, 1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(shape.m_nCalendarWords[i], words[i]);
    EXPECT_EQ(shape.m_nCalendarOptions[0], 1);
    EXPECT_EQ(shape.m_nCalendarOptions[1], 0);
    EXPECT_EQ(shape.m_nCalendarOptions[2], 1);
    EXPECT_STREQ(shape.m_strCalendarFace, g_defaultFaceName);
    EXPECT_GT(shape.m_nSecondDate, 2460000);
    EXPECT_EQ(shape.m_corners.GetCount(), 4);
    EXPECT_TRUE(shape.IsFillable());
    EXPECT_FALSE(CDrawRect(CRect(0, 10, 10, 0), SHAPE_LINE).IsFillable());
}

// A shape of a kind with every field the record carries set away from its
// default.
void Dress(CDrawRect& shape, int nKind)
{
    shape.m_nShape = nKind;
    shape.m_nSides = 3 + nKind;
    shape.m_sizePair = CSize(40 + nKind, 50);
    shape.m_nRotation = 30;
    shape.m_dAngle = 30;
    shape.m_fill.m_nKind = 2;
    shape.m_fill.m_wMode = 3;
    shape.m_fill.m_nAmount = 77;
    shape.m_fill.m_crSecond = RGB(1, 2, 3);
    shape.m_fill2.m_nKind = 1;
    shape.m_fill2.m_crFourth = RGB(9, 8, 7);
    shape.m_nCalendarExtra = 12;
    for (int i = 0; i < 5; ++i)
        shape.m_nCalendarWords[i] = 10 + i;
    shape.m_nCalendarOptions[2] = 5;
    shape.m_wCalendarValues[0] = 21;
    shape.m_wCalendarValues[1] = 22;
    shape.m_bFill = TRUE;
    shape.m_logbrush.lbColor = RGB(nKind, 1, 2);
    shape.m_logpen.lopnWidth.x = 7;
    shape.m_nContentWord = RGB(3, 3, 3);
}

void ExpectSameShapeFields(const CObjectAttributes& a, const CObjectAttributes& b)
{
    EXPECT_EQ(a.m_nShape, b.m_nShape);
    EXPECT_EQ(a.m_nSides, b.m_nSides);
    EXPECT_EQ(a.m_nRotation, b.m_nRotation);
    EXPECT_EQ(a.m_sizeCorner, b.m_sizeCorner);
    EXPECT_EQ(a.m_fill, b.m_fill);
    EXPECT_EQ(a.m_fillText, b.m_fillText);
    EXPECT_EQ(a.m_nCalendarStart, b.m_nCalendarStart);
    EXPECT_EQ(a.m_nCalendarExtra, b.m_nCalendarExtra);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(a.m_nCalendarWords[i], b.m_nCalendarWords[i]);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(a.m_nCalendarOptions[i], b.m_nCalendarOptions[i]) << "option " << i;
    EXPECT_EQ(a.m_bFill, b.m_bFill);
    EXPECT_EQ(a.m_logbrush.lbColor, b.m_logbrush.lbColor);
    EXPECT_EQ(a.m_logpen.lopnWidth.x, b.m_logpen.lopnWidth.x);
    EXPECT_EQ(a.m_crHatchBackground, b.m_crHatchBackground);
    EXPECT_EQ(a.m_wFlags, b.m_wFlags);
    EXPECT_EQ(a.m_bIsCalendar, b.m_bIsCalendar);
}

TEST_F(DrawRectTest, AttributesRoundTripForEveryKindUnderEveryOption)
{
    // Kind 20 comes only from files: it is kept as it came.
    std::vector<int> kinds;
    for (int nKind = 0; nKind < SHAPE_KIND_COUNT; ++nKind)
        kinds.push_back(nKind);
    kinds.push_back(20);
    for (int nKind : kinds) {
        for (int nOptions = 0; nOptions < 32; ++nOptions) {
            CDrawRect source(CRect(0, 40, 60, 0));
            Dress(source, nKind);
            CObjectAttributes first;
            source.GetAttributes(first);
            EXPECT_EQ(first.m_nShape, nKind);
            CDrawRect target(CRect(0, 40, 60, 0));
            target.SetAttributes(first, nOptions & 1, nOptions & 2, nOptions & 4, nOptions & 8, nOptions & 16);
            EXPECT_EQ(target.m_nShape, nKind);
            CObjectAttributes second;
            target.GetAttributes(second);
            SCOPED_TRACE(testing::Message() << "kind " << nKind << " options " << nOptions);
            ExpectSameShapeFields(first, second);
        }
    }
    // A side count of 1 from a file is kept too; only the drawing takes 3.
    CDrawRect polygon(CRect(0, 40, 60, 0), SHAPE_REGULAR_POLYGON);
    polygon.m_nSides = 1;
    CObjectAttributes attrs;
    polygon.GetAttributes(attrs);
    EXPECT_EQ(attrs.m_nSides, 1);
}

TEST_F(DrawRectTest, ThePictureOptionsTakeItsSourceAndKeepItsMirror)
{
    CDrawRect source(CRect(0, 40, 60, 0));
    source.m_pPicture = new CImage;
    source.m_pPicture->m_nHandle = 3;
    source.m_pPicture->m_strPath = "C:\\pics\\cat.jpg";
    source.m_pPicture->m_wFlags |= IMAGE_FLAG_TRANSPARENT | IMAGE_FLAG_CROPPED;
    source.m_pPicture->m_crTransparent = RGB(1, 2, 3);
    source.m_pPicture->m_nRotation = 90;
    source.m_wFlags |= OBJ_FLAG_MEMORY_PICTURE;
    CObjectAttributes attrs;
    source.GetAttributes(attrs);
    EXPECT_TRUE(attrs.HasPicture());
    EXPECT_STREQ(attrs.m_strPictureFile, "C:\\pics\\cat.jpg");
    EXPECT_EQ(attrs.m_nPictureValues[CObjectAttributes::PictureTransparentColor], LONG(RGB(1, 2, 3)));
    EXPECT_EQ(attrs.m_wFlags & (ATTR_FLAG_PIC_TRANSPARENT | ATTR_FLAG_PIC_RASTER | ATTR_FLAG_PIC_CROPPED),
        ATTR_FLAG_PIC_TRANSPARENT | ATTR_FLAG_PIC_RASTER | ATTR_FLAG_PIC_CROPPED);

    // With the first option the source comes along.
    CDrawRect taking(CRect(0, 40, 60, 0));
    taking.SetAttributes(attrs, TRUE, FALSE, TRUE, FALSE, FALSE);
    ASSERT_NE(taking.m_pPicture, nullptr);
    EXPECT_STREQ(taking.m_pPicture->GetPathName(), "C:\\pics\\cat.jpg");
    EXPECT_EQ(taking.m_pPicture->m_nRotation, 90);
    EXPECT_TRUE(taking.m_wFlags & OBJ_FLAG_MEMORY_PICTURE);
    EXPECT_EQ(taking.m_pPicture->m_crTransparent, RGB(1, 2, 3));
    EXPECT_TRUE(taking.m_pPicture->m_wFlags & IMAGE_FLAG_CROPPED);
    // The record's picture bits are not object flags.
    EXPECT_FALSE(taking.m_wFlags & (ATTR_FLAG_PIC_TRANSPARENT | ATTR_FLAG_PIC_RASTER));

    // Without it an object without a picture stays without one.
    CDrawRect leaving(CRect(0, 40, 60, 0));
    leaving.SetAttributes(attrs, FALSE, FALSE, TRUE, FALSE, FALSE);
    EXPECT_EQ(leaving.m_pPicture, nullptr);

    // The second option keeps the picture's mirror state; otherwise it
    // follows the object's.
    CDrawRect mirrored(CRect(0, 40, 60, 0));
    mirrored.m_pPicture = new CImage;
    mirrored.m_bFlipX = TRUE;
    mirrored.SetAttributes(attrs, FALSE, TRUE, TRUE, FALSE, FALSE);
    EXPECT_FALSE(mirrored.m_pPicture->m_wFlags & IMAGE_FLAG_MIRROR_X);
    mirrored.SetAttributes(attrs, FALSE, FALSE, TRUE, FALSE, FALSE);
    EXPECT_TRUE(mirrored.m_pPicture->m_wFlags & IMAGE_FLAG_MIRROR_X);

    // A record without a picture takes the object's away.
    CObjectAttributes plain;
    CDrawRect(CRect(0, 40, 60, 0)).GetAttributes(plain);
    taking.SetAttributes(plain, TRUE, FALSE, TRUE, FALSE, FALSE);
    EXPECT_EQ(taking.m_pPicture, nullptr);
    EXPECT_FALSE(taking.m_wFlags & OBJ_FLAG_MEMORY_PICTURE);
}

TEST_F(DrawRectTest, TextTravelsThroughTheRecordAndTheSecondOptionKeepsTheRotation)
{
    CDrawRect block(CRect(0, 40, 60, 0));
    block.SetText("Block", TRUE);
    CTextBlock* pBlock = block.GetTextBlock();
    pBlock->SetColumns(3);
    pBlock->m_nShadowX = -4;
    pBlock->m_nShadowY = 6;
    pBlock->m_crText = static_cast<COLORREF>(-1);
    pBlock->m_logfont.lfWeight = 700;
    CObjectAttributes attrs;
    block.GetAttributes(attrs);
    EXPECT_TRUE(attrs.m_bHasText);
    EXPECT_TRUE(attrs.m_bBlockText);
    EXPECT_STREQ(attrs.m_strBlockText, "Block");
    EXPECT_EQ(attrs.m_nTextValues[CObjectAttributes::TextColumns], 3);
    EXPECT_EQ(attrs.m_crText, ::GetSysColor(COLOR_WINDOWTEXT));
    CDrawRect blockCopy(CRect(0, 40, 60, 0));
    blockCopy.SetAttributes(attrs, TRUE, FALSE, TRUE, FALSE, FALSE);
    ASSERT_NE(blockCopy.GetTextBlock(), nullptr);
    EXPECT_STREQ(blockCopy.GetText(), "Block");
    EXPECT_EQ(blockCopy.GetTextBlock()->m_nColumns, 3);
    EXPECT_EQ(blockCopy.GetTextBlock()->m_nShadowX, -4);
    EXPECT_EQ(blockCopy.GetTextBlock()->m_nShadowY, 6);
    EXPECT_EQ(blockCopy.GetTextBlock()->m_logfont.lfWeight, 700);

    CDrawRect wrapped(CRect(0, 40, 60, 0));
    wrapped.SetText("Wrapped", FALSE);
    wrapped.m_pWrapText->SetScale(1.5);
    wrapped.m_pWrapText->SetJustification(2);
    wrapped.m_nTextRotation = 45;
    CObjectAttributes wrapAttrs;
    wrapped.GetAttributes(wrapAttrs);
    EXPECT_FALSE(wrapAttrs.m_bBlockText);
    EXPECT_STREQ(wrapAttrs.m_strWrapText, "Wrapped");
    EXPECT_EQ(wrapAttrs.m_nTextValues[CObjectAttributes::TextRotation], 45);
    EXPECT_EQ(wrapAttrs.m_nTextValues[CObjectAttributes::TextWarpShape], 0);
    EXPECT_STREQ(wrapAttrs.m_logfont.lfFaceName, "Arial");
    for (BOOL bKeep : {FALSE, TRUE}) {
        CDrawRect copy(CRect(0, 40, 60, 0));
        copy.m_nTextRotation = 10;
        copy.SetAttributes(wrapAttrs, TRUE, bKeep, TRUE, FALSE, FALSE);
        ASSERT_NE(copy.m_pWrapText, nullptr);
        EXPECT_STREQ(copy.GetText(), "Wrapped");
        EXPECT_EQ(copy.m_pWrapText->GetScale(), 1.5);
        EXPECT_EQ(copy.m_pWrapText->GetJustification(), 2);
        EXPECT_EQ(copy.m_nTextRotation, bKeep ? 10 : 45);
    }
}

CDayCellObj* Cell(int nNumber, const char* pszText)
{
    auto* pCell = new CDayCellObj;
    pCell->m_nNumber = nNumber;
    pCell->m_strText = pszText;
    pCell->SetItem(new CDrawRect(CRect(0, 10, 10, 0), SHAPE_ELLIPSE));
    return pCell;
}

TEST_F(DrawRectTest, ACalendarsCellsReachTheRecordAsClonesAndReplaceTheTargets)
{
    CDrawRect calendar(CRect(0, 400, 600, 0));
    calendar.m_nCalendarStart = 2460436;
    calendar.m_nCalendarWords[1] = CALENDAR_MONTH;
    calendar.m_monthCells.AddTail(Cell(1, "one"));
    calendar.m_monthCells.AddTail(Cell(2, "two"));
    calendar.m_dayCells.AddTail(Cell(9, "nine"));
    ASSERT_TRUE(calendar.IsCalendar());
    CObjectAttributes attrs;
    // What the record held before is freed, not kept beside the clones.
    attrs.m_weekCells.AddTail(Cell(5, "old"));
    calendar.GetAttributes(attrs);
    EXPECT_TRUE(attrs.m_bIsCalendar);
    ASSERT_EQ(attrs.m_monthCells.GetCount(), 2);
    EXPECT_EQ(attrs.m_weekCells.GetCount(), 0);
    ASSERT_EQ(attrs.m_dayCells.GetCount(), 1);
    auto* pFirst = static_cast<CDayCellObj*>(attrs.m_monthCells.GetHead());
    EXPECT_NE(pFirst, calendar.m_monthCells.GetHead());
    EXPECT_STREQ(pFirst->m_strText, "one");
    ASSERT_NE(pFirst->GetItem(), nullptr);
    EXPECT_EQ(pFirst->GetItem()->m_nShape, SHAPE_ELLIPSE);

    CDrawRect target(CRect(0, 400, 600, 0));
    target.m_monthCells.AddTail(Cell(30, "gone"));
    target.SetAttributes(attrs, TRUE, FALSE, TRUE, FALSE, FALSE);
    EXPECT_TRUE(target.IsCalendar());
    ASSERT_EQ(target.m_monthCells.GetCount(), 2);
    EXPECT_STREQ(static_cast<CDayCellObj*>(target.m_monthCells.GetTail())->m_strText, "two");
    EXPECT_EQ(target.m_dayCells.GetCount(), 1);
    EXPECT_NE(target.m_monthCells.GetHead(), attrs.m_monthCells.GetHead());
}

TEST_F(DrawRectTest, ACloneOfALockedShapeIsUnlockedAndCarriesItsContentAndCalendar)
{
    CDrawRect source(CRect(0, 40, 60, 0), SHAPE_STAR);
    Dress(source, SHAPE_STAR);
    source.m_fill.m_nKind = 0;
    source.m_wFlags |= OBJ_FLAG_LOCKED;
    source.m_pPicture = new CImage;
    source.m_pPicture->m_strPath = "C:\\pics\\dog.bmp";
    source.m_pPicture->m_wFlags |= IMAGE_FLAG_TRANSPARENT;
    source.m_pPicture->m_crTransparent = RGB(4, 5, 6);
    source.SetText("Hello", TRUE);
    source.m_pTextHolder->m_sizeCached = CSize(33, 44);
    source.m_strCalendarFace = "Courier";
    source.m_rectDetached = CRect(1, 2, 3, 4);
    source.m_nMirrorX = 1;
    source.SetValueA(7);
    source.SetValueB(8);
    source.SetValueC(9);
    std::unique_ptr<CDrawObj> pObj(source.Clone(nullptr, nullptr));
    auto* pClone = dynamic_cast<CDrawRect*>(pObj.get());
    ASSERT_NE(pClone, nullptr);
    EXPECT_TRUE(source.m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_FALSE(pClone->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(pClone->m_nShape, SHAPE_STAR);
    EXPECT_EQ(pClone->m_position, source.m_position);
    ASSERT_NE(pClone->m_pPicture, nullptr);
    EXPECT_NE(pClone->m_pPicture, source.m_pPicture);
    EXPECT_STREQ(pClone->m_pPicture->GetPathName(), "C:\\pics\\dog.bmp");
    EXPECT_EQ(pClone->m_pPicture->m_crTransparent, RGB(4, 5, 6));
    EXPECT_STREQ(pClone->GetText(), "Hello");
    EXPECT_NE(pClone->GetTextBlock(), source.GetTextBlock());
    EXPECT_EQ(pClone->m_pTextHolder->m_sizeCached, CSize(33, 44));
    EXPECT_STREQ(pClone->m_strCalendarFace, "Courier");
    EXPECT_EQ(pClone->m_rectDetached, CRect(1, 2, 3, 4));
    EXPECT_EQ(pClone->m_nMirrorX, 1);
    EXPECT_EQ(pClone->GetValueA(), 7);
    EXPECT_EQ(pClone->GetValueB(), 8);
    EXPECT_EQ(pClone->GetValueC(), 9);
    CObjectAttributes a;
    CObjectAttributes b;
    source.GetAttributes(a);
    pClone->GetAttributes(b);
    a.m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
    ExpectSameShapeFields(a, b);
}

TEST_F(DrawRectTest, IntersectsTestsTheShapeNotItsBox)
{
    const CRect box(-200, 100, 200, -100);
    const CRect corner(-198, 98, -190, 90);
    const CRect middle(-5, 5, 5, -5);
    CDrawRect ellipse(box, SHAPE_ELLIPSE);
    EXPECT_FALSE(ellipse.Intersects(corner));
    EXPECT_TRUE(ellipse.Intersects(middle));
    EXPECT_FALSE(ellipse.Intersects(CRect(300, 10, 310, 0)));
    for (int nKind : {SHAPE_STAR, SHAPE_DIAMOND, SHAPE_REGULAR_POLYGON}) {
        CDrawRect shape(box, nKind);
        EXPECT_FALSE(shape.Intersects(corner)) << nKind;
        EXPECT_TRUE(shape.Intersects(middle)) << nKind;
    }
    // Rectangles, unknown kinds and shapes dragged as a frame answer for
    // their box.
    for (int nKind : {int(SHAPE_RECTANGLE), 20, -1}) {
        CDrawRect shape(box, nKind);
        EXPECT_TRUE(shape.Intersects(corner)) << nKind;
    }
    CDrawRect dragged(box, SHAPE_ELLIPSE);
    dragged.m_wFlags |= OBJ_FLAG_DRAGGING;
    thePrefs.Flags &= ~WORD(PREF_FLAG_MOVE_FILLED);
    EXPECT_TRUE(dragged.Intersects(corner));
    thePrefs.Flags |= PREF_FLAG_MOVE_FILLED;
    EXPECT_FALSE(dragged.Intersects(corner));

    // A flat line still has a place to meet.
    CDrawRect line(CRect(0, 50, 100, 50), SHAPE_LINE);
    EXPECT_TRUE(line.Intersects(CRect(40, 51, 60, 49)));
    EXPECT_FALSE(line.Intersects(CRect(40, 60, 60, 52)));

    // A turned ellipse covers its turned box: a quarter turn of a wide one
    // reaches above its unturned box.
    CDrawRect turned(CRect(-200, 50, 200, -50), SHAPE_ELLIPSE);
    turned.m_position = CRect(-50, 200, 50, -200);
    turned.m_nRotation = 90;
    EXPECT_TRUE(turned.Intersects(CRect(-5, 190, 5, 180)));
    EXPECT_FALSE(turned.Intersects(CRect(-48, 198, -40, 190)));
}

TEST_F(DrawRectTest, TheOutlineIsReLaidAroundTheTurnedRectangle)
{
    CDrawRect shape(CRect(-200, 100, 200, -100));
    shape.m_dAngle = 90;
    shape.RelayOutline();
    EXPECT_EQ(shape.m_position, CRect(-100, 200, 100, -200));
    ASSERT_EQ(shape.m_corners.GetCount(), 4);
    EXPECT_EQ(CPoint(shape.m_corners.GetData()[0]), CPoint(-100, -200));

    shape.m_dAngle = 30;
    shape.RelayOutline();
    // Half extents: 200 cos 30 + 100 sin 30 and 200 sin 30 + 100 cos 30.
    EXPECT_NEAR(shape.m_position.right, 223, 1);
    EXPECT_NEAR(shape.m_position.left, -223, 1);
    EXPECT_NEAR(shape.m_position.top, 187, 1);
    EXPECT_NEAR(shape.m_position.bottom, -187, 1);

    // A mirrored rectangle stays mirrored.
    CDrawRect mirrored(CRect(200, 100, -200, -100));
    mirrored.m_dAngle = 200;
    mirrored.RelayOutline();
    EXPECT_GT(mirrored.m_position.left, mirrored.m_position.right);
}

TEST_F(DrawRectTest, ALinesSecondHandleIsItsFifthAndContentTakesTheBandsAway)
{
    CDrawRect line(CRect(0, 100, 100, 0), SHAPE_LINE);
    EXPECT_EQ(line.GetHandleCursor(2), line.GetHandleCursor(5));
    thePrefs.Flags &= ~WORD(PREF_FLAG_RESIZE_FROM_CENTER);
    line.MoveHandleTo(2, CPoint(150, 120), nullptr);
    EXPECT_EQ(line.m_position, CRect(0, 120, 150, 0));

    CDrawRect shape(CRect(0, 100, 100, 0));
    shape.m_fill.m_nKind = 2;
    shape.RefreshContentFlags();
    EXPECT_EQ(shape.m_fill.m_nKind, 2);
    shape.SetText("text", TRUE);
    EXPECT_EQ(shape.m_fill.m_nKind, 0);
}

} // namespace

TEST_F(DrawRectTest, APensPaddingIsItsWidthWithinAThousandInchesWhateverAFileSays)
{
    CDrawRect shape(CRect(0, 100, 100, 0));
    shape.m_logpen.lopnWidth.x = -7;
    EXPECT_EQ(shape.GetLinePadding(), CSize(7, 7));
    for (LONG nWidth : {LONG(INT_MIN), LONG(INT_MAX), LONG(-100001)}) {
        shape.m_logpen.lopnWidth.x = nWidth;
        EXPECT_EQ(shape.GetLinePadding(), CSize(100000, 100000)) << nWidth;
    }
}
