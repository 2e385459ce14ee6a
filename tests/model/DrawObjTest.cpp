#include "model/DrawObj.h"

#include "tests/model/ModelTestSupport.h"

#include "app/PrefData.h"
#include "app/PrintPrefData.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/TextContentHolder.h"
#include "pictures/Image.h"
#include "surface/SurfaceGlobals.h"
#include "text/TextBlock.h"
#include "text/WrapText.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class DrawObjTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedAddlFlags = thePrefs.AddlFlags;
        m_savedPrinting = thePrintPrefs.Printing;
        ResetSurfaceGlobals();
    }
    void TearDown() override
    {
        thePrefs.AddlFlags = m_savedAddlFlags;
        thePrintPrefs.Printing = m_savedPrinting;
        ResetSurfaceGlobals();
    }
    WORD m_savedAddlFlags = 0;
    WORD m_savedPrinting = 0;
};

TEST_F(DrawObjTest, AFreshObjectHasItsDefaults)
{
    thePrefs.AddlFlags = PREF_ADDL_TEXT_FORMAT_FLAG;
    CDrawObj obj(CRect(0, 100, 200, 0));
    EXPECT_EQ(obj.m_position, CRect(0, 100, 200, 0));
    EXPECT_EQ(obj.m_rectUnrotated, CRect(0, 100, 200, 0));
    EXPECT_TRUE(obj.m_rectUncropped.IsRectEmpty());
    EXPECT_EQ(obj.m_wFlags, 0x0201);
    EXPECT_EQ(obj.m_wTextFlags, 1);
    EXPECT_EQ(obj.m_wExtraFlags, 0);
    EXPECT_EQ(obj.m_wObjectWord, 0);
    EXPECT_TRUE(obj.m_bOutline);
    EXPECT_EQ(obj.m_logpen.lopnStyle, UINT(PS_INSIDEFRAME));
    EXPECT_EQ(obj.m_logpen.lopnWidth.x, 0);
    EXPECT_EQ(obj.m_logpen.lopnColor, RGB(0, 0, 0));
    EXPECT_FALSE(obj.m_bFill);
    EXPECT_EQ(obj.m_logbrush.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(obj.m_nContentWord, -1);
    EXPECT_EQ(obj.m_nCalendarIndex, -1);
    EXPECT_EQ(obj.m_dCropLeft, 0.0);
    EXPECT_EQ(obj.m_dCropTop, 0.0);
    EXPECT_EQ(obj.m_dCropWidth, 1.0);
    EXPECT_EQ(obj.m_dCropHeight, 1.0);
    EXPECT_EQ(obj.m_dAngle, 0.0);
    EXPECT_FALSE(obj.m_bFlipX);
    EXPECT_FALSE(obj.m_bBlockText);
    EXPECT_TRUE(obj.m_bWrapFlag);
    EXPECT_EQ(obj.m_pPicture, nullptr);
    EXPECT_EQ(obj.m_pTextHolder, nullptr);
    EXPECT_EQ(obj.m_pWrapText, nullptr);
    EXPECT_FALSE(obj.HasText());
    EXPECT_FALSE(obj.HasPicture());
    EXPECT_TRUE(obj.IsShape());
    EXPECT_EQ(obj.GetHandleCount(), 9);
    EXPECT_EQ(obj.GetNaturalSize(), CSize(100, 100));

    thePrefs.AddlFlags = 0;
    CDrawObj plain;
    EXPECT_EQ(plain.m_wTextFlags, 0);
    EXPECT_TRUE(plain.m_position.IsRectNull());
}

TEST_F(DrawObjTest, ObjectsBuiltOneAfterTheOtherHaveConsecutiveSerials)
{
    const DWORD nNext = CDrawObj::GetNextSerial();
    CDrawObj a;
    CDrawRect b(CRect(0, 10, 10, 0));
    CDrawObj c(CRect(0, 1, 1, 0));
    EXPECT_EQ(a.m_nSerial, nNext);
    EXPECT_EQ(b.m_nSerial, nNext + 1);
    EXPECT_EQ(c.m_nSerial, nNext + 2);
    EXPECT_EQ(CDrawObj::GetNextSerial(), nNext + 3);
}

TEST_F(DrawObjTest, ACloneOfALockedObjectIsUnlockedAndCarriesItsPictureAndText)
{
    CDrawObj source(CRect(-50, 80, 150, -20));
    source.m_wFlags |= OBJ_FLAG_LOCKED;
    source.m_dAngle = 30;
    source.m_rectUnrotated = CRect(-40, 70, 140, -10);
    source.m_pPicture = new CImage;
    source.m_pPicture->m_strPath = "C:\\pictures\\rose.png";
    source.m_pPicture->m_wFlags = IMAGE_FLAG_EMBED | IMAGE_FLAG_MIRROR_X;
    source.m_pPicture->SetDisplaySize(300, 200);
    source.SetText("Happy birthday", TRUE);
    source.GetTextBlock()->SetColumns(2);
    source.m_pTextHolder->m_sizeCached = CSize(12, 34);

    std::unique_ptr<CDrawObj> pClone(source.Clone(nullptr, nullptr));
    ASSERT_NE(pClone, nullptr);
    EXPECT_FALSE(pClone->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_TRUE(source.m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_NE(pClone->m_nSerial, source.m_nSerial);
    EXPECT_EQ(pClone->m_position, source.m_position);
    EXPECT_EQ(pClone->m_rectUnrotated, source.m_rectUnrotated);
    EXPECT_EQ(pClone->m_dAngle, 30.0);

    ASSERT_NE(pClone->m_pPicture, nullptr);
    EXPECT_NE(pClone->m_pPicture, source.m_pPicture);
    EXPECT_STREQ(pClone->m_pPicture->GetPathName(), "C:\\pictures\\rose.png");
    EXPECT_EQ(pClone->m_pPicture->m_wFlags, IMAGE_FLAG_EMBED | IMAGE_FLAG_MIRROR_X);
    // A copied picture reports its own size until it is given one.
    EXPECT_EQ(pClone->m_pPicture->m_sizeDisplay, CSize(0, 0));

    EXPECT_TRUE(pClone->m_bBlockText);
    ASSERT_NE(pClone->m_pTextHolder, nullptr);
    EXPECT_NE(pClone->m_pTextHolder, source.m_pTextHolder);
    EXPECT_STREQ(pClone->GetText(), "Happy birthday");
    EXPECT_EQ(pClone->GetTextBlock()->m_nColumns, 2);
    EXPECT_EQ(pClone->GetTextBlock()->m_pOwner, pClone.get());
    EXPECT_EQ(pClone->m_pTextHolder->m_sizeCached, CSize(12, 34));
    EXPECT_TRUE(pClone->HasText());
    // The copy's text is its own.
    source.SetText("changed", TRUE);
    EXPECT_STREQ(pClone->GetText(), "Happy birthday");
}

TEST_F(DrawObjTest, ACloneCarriesWrappedTextWithItsRunsAndSettings)
{
    CDrawObj source(CRect(0, 100, 100, 0));
    source.SetText("one\r\ntwo", FALSE);
    source.m_pWrapText->SetFormatString("[(255,0,2),(0,0,65000)][(Arial,1,0,24,0,65000)]");
    source.m_pWrapText->SetScale(1.5);
    source.m_pWrapText->SetJustification(2);
    source.m_nTextRotation = 45;
    std::unique_ptr<CDrawObj> pClone(source.Clone(nullptr, nullptr));
    ASSERT_NE(pClone->m_pWrapText, nullptr);
    EXPECT_NE(pClone->m_pWrapText, source.m_pWrapText);
    EXPECT_FALSE(pClone->m_bBlockText);
    EXPECT_STREQ(pClone->GetText(), "one\ntwo");
    EXPECT_STREQ(pClone->m_pWrapText->GetFormatString(), "[(255,0,2),(0,0,65000)][(Arial,1,0,24,0,65000)]");
    EXPECT_EQ(pClone->m_pWrapText->GetScale(), 1.5);
    EXPECT_EQ(pClone->m_pWrapText->GetJustification(), 2);
    EXPECT_EQ(pClone->m_nTextRotation, 45);
}

TEST_F(DrawObjTest, ShapesCloneToTheirOwnKindAndSides)
{
    for (int nKind = 0; nKind < SHAPE_KIND_COUNT; ++nKind) {
        CDrawRect shape(CRect(0, 40, 60, 0), nKind);
        shape.m_nSides = 3 + nKind;
        shape.m_bFill = TRUE;
        shape.m_logbrush.lbColor = RGB(nKind, 0, 0);
        std::unique_ptr<CDrawObj> pClone(shape.Clone(nullptr, nullptr));
        auto* pRect = dynamic_cast<CDrawRect*>(pClone.get());
        ASSERT_NE(pRect, nullptr) << "kind " << nKind;
        EXPECT_EQ(pRect->m_nShape, nKind);
        EXPECT_EQ(pRect->m_nSides, 3 + nKind);
        EXPECT_EQ(pRect->GetShapeKind(), nKind);
        EXPECT_TRUE(pRect->m_bFill);
        EXPECT_EQ(pRect->m_logbrush.lbColor, RGB(nKind, 0, 0));
    }
}

void ExpectSameBaseFields(const CObjectAttributes& a, const CObjectAttributes& b)
{
    EXPECT_EQ(a.m_rect, b.m_rect);
    EXPECT_EQ(a.m_bOutline, b.m_bOutline);
    EXPECT_EQ(a.m_logpen.lopnStyle, b.m_logpen.lopnStyle);
    EXPECT_EQ(a.m_logpen.lopnWidth.x, b.m_logpen.lopnWidth.x);
    EXPECT_EQ(a.m_logpen.lopnColor, b.m_logpen.lopnColor);
    EXPECT_EQ(a.m_bFill, b.m_bFill);
    EXPECT_EQ(a.m_logbrush.lbStyle, b.m_logbrush.lbStyle);
    EXPECT_EQ(a.m_logbrush.lbColor, b.m_logbrush.lbColor);
    EXPECT_EQ(a.m_logbrush.lbHatch, b.m_logbrush.lbHatch);
    EXPECT_EQ(a.m_crHatchBackground, b.m_crHatchBackground);
    EXPECT_EQ(a.m_wFlags, b.m_wFlags);
    EXPECT_EQ(a.m_wTextFlags, b.m_wTextFlags);
    EXPECT_EQ(a.m_wInfoFields, b.m_wInfoFields);
    EXPECT_EQ(a.m_wGroup, b.m_wGroup);
    EXPECT_EQ(a.m_nRotation, b.m_nRotation);
    EXPECT_EQ(a.m_bBlockText, b.m_bBlockText);
    EXPECT_EQ(a.m_bWordWrap, b.m_bWordWrap);
    EXPECT_EQ(a.m_dCropLeft, b.m_dCropLeft);
    EXPECT_EQ(a.m_dCropTop, b.m_dCropTop);
    EXPECT_EQ(a.m_dCropWidth, b.m_dCropWidth);
    EXPECT_EQ(a.m_dCropHeight, b.m_dCropHeight);
    EXPECT_EQ(a.m_dBaseLeft, b.m_dBaseLeft);
    EXPECT_EQ(a.m_dBaseTop, b.m_dBaseTop);
    EXPECT_EQ(a.m_dBaseWidth, b.m_dBaseWidth);
    EXPECT_EQ(a.m_dBaseHeight, b.m_dBaseHeight);
    EXPECT_EQ(a.m_sizePicture, b.m_sizePicture);
}

TEST_F(DrawObjTest, AttributesRoundTripThroughAnotherObject)
{
    CDrawObj source(CRect(0, 100, 100, 0));
    source.m_rectUncropped = CRect(-20, 120, 140, -10);
    source.m_wFlags = OBJ_FLAG_LOADED | OBJ_FLAG_BACK_LAYER | OBJ_FLAG_CROPPED;
    source.m_wTextFlags = OBJ_TEXT_USER_LOGO;
    source.m_wExtraFlags = 0x0123;
    source.m_wObjectWord = 4;
    source.m_bOutline = FALSE;
    source.m_logpen.lopnWidth.x = 10;
    source.m_logpen.lopnColor = RGB(10, 20, 30);
    source.m_bFill = TRUE;
    source.m_logbrush = LOGBRUSH{BS_HATCHED, RGB(40, 50, 60), HS_CROSS};
    source.m_nContentWord = RGB(7, 8, 9);
    source.m_dAngle = 270;
    source.m_bBlockText = TRUE;
    source.m_bWrapFlag = FALSE;
    source.m_dCropLeft = 0.1;
    source.m_dCropTop = 0.2;
    source.m_dCropWidth = 0.5;
    source.m_dCropHeight = 0.6;
    source.m_dBaseLeft = 1;
    source.m_dBaseTop = 2;
    source.m_dBaseWidth = 3;
    source.m_dBaseHeight = 4;
    source.m_pPicture = new CImage;
    source.m_pPicture->SetDisplaySize(-320, 240);

    CObjectAttributes first;
    source.GetAttributes(first);
    EXPECT_EQ(first.m_rect, CRect(-20, 120, 140, -10));
    EXPECT_EQ(first.m_nRotation, 270);
    EXPECT_EQ(first.m_nCalendarStart, 0);
    EXPECT_EQ(first.m_sizePicture, CSize(320, 240));

    CDrawObj target(CRect(0, 10, 10, 0));
    target.m_pPicture = new CImage;
    target.SetAttributes(first);
    EXPECT_EQ(target.m_dAngle, 270.0);
    EXPECT_EQ(target.m_logpen.lopnWidth.x, 10);
    CObjectAttributes second;
    target.GetAttributes(second);
    ExpectSameBaseFields(first, second);
    // Fields the base object does not fill keep the caller's values.
    CObjectAttributes third;
    third.m_nShape = 7;
    third.m_strPictureFile = "kept";
    source.GetAttributes(third);
    EXPECT_EQ(third.m_nShape, 7);
    EXPECT_STREQ(third.m_strPictureFile, "kept");
}

TEST_F(DrawObjTest, TheOutlineFollowsTheContentAndTheFillNeedsPrintingBitForText)
{
    CDrawObj obj(CRect(0, 10, 10, 0));
    obj.m_bOutline = FALSE;
    obj.RefreshContentFlags();
    EXPECT_TRUE(obj.m_bOutline);
    EXPECT_TRUE(obj.m_bAutoOutline);

    obj.SetText("text", FALSE);
    obj.m_bFill = TRUE;
    thePrintPrefs.Printing = 0;
    obj.RefreshContentFlags();
    EXPECT_FALSE(obj.m_bOutline);
    EXPECT_FALSE(obj.m_bFill);

    obj.m_bFill = TRUE;
    thePrintPrefs.Printing = PRINT_PREF_SHAPED_METHOD3;
    obj.RefreshContentFlags();
    EXPECT_TRUE(obj.m_bFill);

    obj.m_wFlags &= ~WORD(OBJ_FLAG_AUTO_OUTLINE);
    obj.m_bOutline = TRUE;
    obj.RefreshContentFlags();
    EXPECT_TRUE(obj.m_bOutline);
    EXPECT_FALSE(obj.m_bAutoOutline);
}

TEST_F(DrawObjTest, HandleCountDropsToEightForLinesCropsAndFixedOrTurnedBlocks)
{
    CDrawObj obj(CRect(0, 10, 10, 0));
    EXPECT_EQ(obj.GetHandleCount(), 9);
    SetCurrentShape(kShapeCrop);
    EXPECT_EQ(obj.GetHandleCount(), 8);
    ResetSurfaceGlobals();
    CDrawRect line(CRect(0, 10, 10, 0), SHAPE_LINE);
    EXPECT_EQ(line.GetHandleCount(), 8);
    obj.m_wFlags |= OBJ_FLAG_CROPPED;
    EXPECT_EQ(obj.GetHandleCount(), 8);
    obj.m_wFlags &= ~WORD(OBJ_FLAG_CROPPED);

    obj.SetText("block", TRUE);
    obj.GetTextBlock()->m_wFlags &= ~WORD(TEXTBLOCK_AUTO_SIZE);
    EXPECT_EQ(obj.GetHandleCount(), 9);
    obj.GetTextBlock()->SetColumns(2);
    EXPECT_EQ(obj.GetHandleCount(), 8);
    obj.GetTextBlock()->SetColumns(1);
    obj.GetTextBlock()->SetGeometry(30, CRect(), CRect());
    EXPECT_EQ(obj.GetHandleCount(), 8);
}

TEST_F(DrawObjTest, AnglesRunCounterClockwiseFromThePositiveXAxis)
{
    struct Case {
        int x0, y0, x1, y1;
        double expected;
    };
    const Case cases[] = {
        {0, 0, 10, 10, 45.0},
        {0, 0, -10, 0, 180.0},
        {0, 0, 0, -10, 270.0},
        {0, 0, 0, 10, 90.0},
        {0, 0, 10, 0, 0.0},
        {0, 0, 10, -10, 315.0},
        {0, 0, -10, 10, 135.0},
        {5, 5, 5, 5, 0.0},
        {100, 100, 100, 0, 270.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(CDrawObj::AngleBetween(c.x0, c.y0, c.x1, c.y1), c.expected, 1e-9)
            << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
    EXPECT_DOUBLE_EQ(CDrawObj::Distance(0, 0, 3, 4), 5.0);
}

TEST_F(DrawObjTest, FlippingMirrorsThePositionAndMovesTheUncroppedPictureWithIt)
{
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.m_rectUncropped = CRect(-50, 100, 100, 0);
    obj.m_wFlags |= OBJ_FLAG_CROPPED;
    obj.Flip(TRUE, FALSE);
    EXPECT_TRUE(obj.m_bFlipX);
    EXPECT_FALSE(obj.m_bFlipY);
    EXPECT_EQ(obj.m_position, CRect(100, 100, 0, 0));
    // The hidden part on the left is now on the right.
    EXPECT_EQ(obj.m_rectUncropped, CRect(150, 100, 0, 0));
    obj.Flip(TRUE, FALSE);
    EXPECT_FALSE(obj.m_bFlipX);
    EXPECT_EQ(obj.m_position, CRect(0, 100, 100, 0));
    EXPECT_EQ(obj.m_rectUncropped, CRect(-50, 100, 100, 0));
}

// Objects of a windowless document whose recording view keeps the hints.
class DrawObjDocTest : public modeltest::ModelTest {};

TEST_F(DrawObjDocTest, ChangesOfLookSendHintOneAndModifyTheDocument)
{
    auto pDoc = modeltest::MakeDoc<CGeneralDoc>();
    modeltest::CHintRecorder recorder;
    pDoc->AddView(&recorder);
    CDrawObj obj(CRect(0, 100, 100, 0));
    obj.m_pDocument = pDoc.get();

    obj.Invalidate();
    ASSERT_EQ(recorder.m_hints.size(), 1u);
    EXPECT_EQ(recorder.m_hints[0].lHint, HINT_OBJECT_CHANGED);
    EXPECT_EQ(recorder.m_hints[0].pHint, &obj);
    EXPECT_FALSE(pDoc->IsModified());

    obj.SetLineColor(RGB(1, 1, 1));
    EXPECT_EQ(recorder.Count(HINT_OBJECT_CHANGED), 2);
    EXPECT_TRUE(pDoc->IsModified());
    pDoc->SetModifiedFlag(FALSE);
    obj.SetFillColor(RGB(2, 2, 2));
    EXPECT_TRUE(pDoc->IsModified());

    pDoc->SetModifiedFlag(FALSE);
    CObjectAttributes attrs;
    obj.GetAttributes(attrs);
    obj.SetAttributes(attrs);
    EXPECT_EQ(recorder.Count(HINT_OBJECT_CHANGED), 4);
    EXPECT_TRUE(pDoc->IsModified());

    // An object sized to its picture takes the picture's proportions again.
    obj.m_pPicture = new CImage;
    obj.m_pPicture->SetDisplaySize(40, 30);
    obj.GetAttributes(attrs);
    attrs.m_wFlags |= OBJ_FLAG_NATURAL_SIZE;
    obj.SetAttributes(attrs);
    const CRect rect = obj.GetNormalizedPosition();
    EXPECT_EQ(rect.Width(), 100);
    EXPECT_NEAR(rect.top - rect.bottom, 75, 1);
    pDoc->RemoveView(&recorder);
}

} // namespace
