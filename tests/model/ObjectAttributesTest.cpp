#include "model/ObjectAttributes.h"

#include "app/JulianDate.h"
#include "calendar/DayCellObj.h"
#include "model/DrawRect.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

int g_nLiveCells = 0;
int g_nLiveItems = 0;

// A shape that counts the live ones, and whose clones count too.
class CCountingItem : public CDrawRect {
public:
    CCountingItem()
        : CDrawRect(CRect(0, 10, 10, 0))
    {
        ++g_nLiveItems;
    }
    ~CCountingItem() override { --g_nLiveItems; }
    CDrawObj* Clone(CDrawDoc*, CSurface*) override { return new CCountingItem; }
};

class CCountingCell : public CDayCellObj {
public:
    explicit CCountingCell(int nNumber = 0, BOOL bWithItem = TRUE)
    {
        ++g_nLiveCells;
        m_nNumber = nNumber;
        if (bWithItem)
            SetItem(new CCountingItem);
    }
    ~CCountingCell() override { --g_nLiveCells; }
    CDayCellObj* Clone() const override
    {
        auto* pCell = new CCountingCell(0, FALSE);
        CopyFieldsTo(pCell);
        if (GetItem() != nullptr)
            pCell->SetItem(static_cast<CDrawRect*>(GetItem()->Clone(nullptr, nullptr)));
        return pCell;
    }
};

std::vector<int> Numbers(const CObList& cells)
{
    std::vector<int> numbers;
    for (POSITION pos = cells.GetHeadPosition(); pos != nullptr;)
        numbers.push_back(static_cast<CDayCellObj*>(cells.GetNext(pos))->m_nNumber);
    return numbers;
}

class ObjectAttributesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_nLiveCells = 0;
        g_nLiveItems = 0;
    }
    void TearDown() override
    {
        EXPECT_EQ(g_nLiveCells, 0) << "cells leaked";
        EXPECT_EQ(g_nLiveItems, 0) << "items leaked";
    }
};

TEST_F(ObjectAttributesTest, AFreshRecordHoldsItsDefaults)
{
    CObjectAttributes a;
    EXPECT_TRUE(a.m_rect.IsRectNull());
    EXPECT_FALSE(a.m_bOutline);
    EXPECT_FALSE(a.m_bFill);
    EXPECT_EQ(a.m_crHatchBackground, 0);
    EXPECT_EQ(a.m_wFlags, 0x0200);
    EXPECT_EQ(a.m_wTextFlags, 0);
    EXPECT_EQ(a.m_nReservedOne, 1);
    EXPECT_EQ(a.m_nShape, 0);
    EXPECT_EQ(a.m_nSides, 4);
    EXPECT_EQ(a.m_nRotation, 0);
    EXPECT_EQ(a.m_sizeCorner, CSize(5, 5));
    for (const CFillInfo* pFill : {&a.m_fill, &a.m_fillText}) {
        EXPECT_EQ(pFill->m_nKind, 0);
        EXPECT_EQ(pFill->m_wMode, 2);
        EXPECT_EQ(pFill->m_nAmount, 100);
        EXPECT_EQ(pFill->m_crFirst, 0x800080u);
        EXPECT_EQ(pFill->m_crSecond, 0x808000u);
        EXPECT_EQ(pFill->m_crThird, 0x00FFFFu);
        EXPECT_EQ(pFill->m_crFourth, 0x0000FFu);
    }
    EXPECT_EQ(a.m_nCalendarWords[CObjectAttributes::CalendarKindWord], 3);
    EXPECT_EQ(a.m_nCalendarWords[CObjectAttributes::FirstWeekdayWord], 6);
    const LONG options[7] = {0, 1, 1, 0, 0, 8, 0};
    EXPECT_EQ(std::memcmp(a.m_nCalendarOptions, options, sizeof(options)), 0);
    EXPECT_FALSE(a.HasPicture());
    EXPECT_STREQ(a.m_strCalendarFace, "Arial");
    EXPECT_EQ(a.m_logfont.lfHeight, -10);
    EXPECT_EQ(a.m_logfont.lfWeight, 400);
    EXPECT_STREQ(a.m_logfont.lfFaceName, "Arial");
    EXPECT_EQ(a.m_crText2, 0x808080u);
    EXPECT_EQ(a.m_nTextValues[CObjectAttributes::TextColumns], 1);
    EXPECT_EQ(a.m_wTextWords[0], 2);
    EXPECT_EQ(a.m_wTextWords[1], 2);
    EXPECT_EQ(a.m_dWrapScale, 1.0);
    EXPECT_FALSE(a.m_bBlockText);
    EXPECT_TRUE(a.m_bWordWrap);
    EXPECT_FALSE(a.m_bIsCalendar);
    EXPECT_EQ(a.m_dCropWidth, 1.0);
    EXPECT_EQ(a.m_dCropHeight, 1.0);
    EXPECT_EQ(a.m_dBaseWidth, 0.0);
    EXPECT_TRUE(a.m_monthCells.IsEmpty());
    // A calendar made today starts in this month.
    CJulianDate today;
    today.SetToday();
    EXPECT_EQ(a.m_nCalendarStart, CObjectAttributes::DefaultCalendarStart(today));
}

TEST_F(ObjectAttributesTest, ADefaultCalendarStartsAWeekOnFromTheFirstLessTodaysWeekday)
{
    // 15 May 2024 is a Wednesday (3); the 1st of May is day 2460432.
    EXPECT_EQ(CObjectAttributes::DefaultCalendarStart(CJulianDate(5, 15, 2024)), 2460436);
    // A Sunday (7) starts on the 1st itself.
    EXPECT_EQ(CObjectAttributes::DefaultCalendarStart(CJulianDate(5, 19, 2024)), 2460432);
    EXPECT_EQ(CObjectAttributes::DefaultCalendarStart(CJulianDate()), 0);
}

TEST_F(ObjectAttributesTest, CopyCarriesEveryFieldAndClonesTheCellsInOrder)
{
    CObjectAttributes from;
    from.m_rect = CRect(1, 2, 3, 4);
    from.m_bOutline = TRUE;
    from.m_logpen.lopnColor = RGB(1, 2, 3);
    from.m_crHatchBackground = -1;
    from.m_wFlags = 0x2A00;
    from.m_wGroup = 7;
    from.m_nShape = 15;
    from.m_nSides = 9;
    from.m_fill.m_nKind = 1;
    from.m_fillText.m_crFourth = RGB(9, 9, 9);
    from.m_nCalendarWords[3] = 7;
    from.m_strCalendarFace = "Courier New";
    from.m_strPictureFile = "C:\\pics\\a.png";
    from.m_strBlockText = "block";
    from.m_strWrapText = "wrapped";
    from.m_strWrapFormat = "[(255,0,4)][]";
    from.m_dWrapScale = 1.5;
    from.m_dCropLeft = 0.25;
    from.m_sizePicture = CSize(30, 40);
    for (int n : {1, 2, 3})
        from.m_monthCells.AddTail(new CCountingCell(n));
    from.m_dayCells.AddTail(new CCountingCell(9));

    CObjectAttributes to;
    CopyAttributes(from, to, CellCopyFreeTarget);
    EXPECT_EQ(to.m_rect, from.m_rect);
    EXPECT_TRUE(to.m_bOutline);
    EXPECT_EQ(to.m_logpen.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(to.m_crHatchBackground, -1);
    EXPECT_EQ(to.m_wFlags, 0x2A00);
    EXPECT_EQ(to.m_wGroup, 7);
    EXPECT_EQ(to.m_nShape, 15);
    EXPECT_EQ(to.m_nSides, 9);
    EXPECT_TRUE(to.m_fill == from.m_fill);
    EXPECT_TRUE(to.m_fillText == from.m_fillText);
    EXPECT_EQ(to.m_nCalendarWords[3], 7);
    EXPECT_STREQ(to.m_strCalendarFace, "Courier New");
    EXPECT_STREQ(to.m_strPictureFile, "C:\\pics\\a.png");
    EXPECT_STREQ(to.m_strBlockText, "block");
    EXPECT_STREQ(to.m_strWrapText, "wrapped");
    EXPECT_STREQ(to.m_strWrapFormat, "[(255,0,4)][]");
    EXPECT_EQ(to.m_dWrapScale, 1.5);
    EXPECT_EQ(to.m_dCropLeft, 0.25);
    EXPECT_EQ(to.m_sizePicture, CSize(30, 40));
    EXPECT_EQ(Numbers(to.m_monthCells), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Numbers(to.m_dayCells), (std::vector<int>{9}));
    EXPECT_TRUE(to.m_weekCells.IsEmpty());
    // Clones, not the source's cells: each record frees its own.
    EXPECT_NE(to.m_monthCells.GetHead(), from.m_monthCells.GetHead());
    EXPECT_EQ(g_nLiveCells, 8);
    EXPECT_EQ(g_nLiveItems, 8);
}

TEST_F(ObjectAttributesTest, ModeZeroLeavesTheTargetsOldCellsToTheirOwner)
{
    CObjectAttributes from;
    from.m_weekCells.AddTail(new CCountingCell(5));
    // Cells the record lists but someone else owns.
    CCountingCell owned1(1);
    CCountingCell owned2(2);
    {
        CObjectAttributes to;
        to.m_weekCells.AddTail(&owned1);
        to.m_weekCells.AddTail(&owned2);
        CopyAttributes(from, to, CellCopyLeaveTarget);
        EXPECT_EQ(Numbers(to.m_weekCells), (std::vector<int>{5}));
        EXPECT_EQ(g_nLiveCells, 4);
        EXPECT_EQ(g_nLiveItems, 4);
    }
    // The target freed only its clone; the old cells and their items live.
    EXPECT_EQ(g_nLiveCells, 3);
    EXPECT_EQ(owned1.m_nNumber, 1);
    EXPECT_NE(owned2.GetItem(), nullptr);
}

TEST_F(ObjectAttributesTest, ModesOneAndTwoFreeTheTargetsOldCellsWithTheirItems)
{
    for (CellCopyMode mode : {CellCopyFreeTarget, CellCopyFreeTargetItems}) {
        CObjectAttributes from;
        from.m_dayCells.AddTail(new CCountingCell(1));
        from.m_dayCells.AddTail(new CCountingCell(2, FALSE));
        CObjectAttributes to;
        for (int n = 10; n < 15; ++n)
            to.m_dayCells.AddTail(new CCountingCell(n));
        to.m_monthCells.AddTail(new CCountingCell(20));
        EXPECT_EQ(g_nLiveCells, 8);
        CopyAttributes(from, to, mode);
        // Two source cells and their two clones; one item each side.
        EXPECT_EQ(g_nLiveCells, 4) << "mode " << mode;
        EXPECT_EQ(g_nLiveItems, 2) << "mode " << mode;
        EXPECT_EQ(Numbers(to.m_dayCells), (std::vector<int>{1, 2}));
        EXPECT_TRUE(to.m_monthCells.IsEmpty());
    }
}

TEST_F(ObjectAttributesTest, ClearingAListFreesItsCellsAndItemsOnly)
{
    CObjectAttributes a;
    a.m_monthCells.AddTail(new CCountingCell(1));
    a.m_weekCells.AddTail(new CCountingCell(2));
    a.m_dayCells.AddTail(new CCountingCell(3));
    a.ClearWeekCells();
    EXPECT_TRUE(a.m_weekCells.IsEmpty());
    EXPECT_EQ(g_nLiveCells, 2);
    EXPECT_EQ(g_nLiveItems, 2);
    a.ClearMonthCells();
    a.ClearDayCells();
    EXPECT_EQ(g_nLiveCells, 0);
    EXPECT_EQ(g_nLiveItems, 0);
    // Clearing an empty list does nothing.
    a.ClearDayCells();
}

TEST_F(ObjectAttributesTest, ACellCloneCopiesItsFieldsAndItsOwnItem)
{
    CDayCellObj cell;
    cell.m_nNumber = 17;
    cell.m_strText = "Holiday";
    cell.m_crText = RGB(200, 0, 0);
    cell.m_crBack = RGB(0, 0, 200);
    cell.m_wFlags = 0x0005;
    std::strcpy(cell.m_logfont.lfFaceName, "Arial");
    auto* pItem = new CDrawRect(CRect(0, 50, 80, 0), 2);
    pItem->m_nSides = 6;
    cell.SetItem(pItem);

    CDayCellObj* pClone = cell.Clone();
    ASSERT_NE(pClone, nullptr);
    EXPECT_EQ(pClone->m_nNumber, 17);
    EXPECT_STREQ(pClone->m_strText, "Holiday");
    EXPECT_EQ(pClone->m_crText, RGB(200, 0, 0));
    EXPECT_EQ(pClone->m_crBack, RGB(0, 0, 200));
    EXPECT_EQ(pClone->m_wFlags, 0x0005);
    EXPECT_EQ(pClone->m_nInUse, CDayCellObj::kInUse);
    EXPECT_STREQ(pClone->m_logfont.lfFaceName, "Arial");
    ASSERT_NE(pClone->GetItem(), nullptr);
    EXPECT_NE(pClone->GetItem(), pItem);
    EXPECT_EQ(pClone->GetItem()->m_nShape, 2);
    EXPECT_EQ(pClone->GetItem()->m_nSides, 6);
    EXPECT_EQ(pClone->GetItem()->m_position, pItem->m_position);
    delete pClone;
    // The original keeps its item.
    EXPECT_EQ(cell.GetItem(), pItem);
}

} // namespace
