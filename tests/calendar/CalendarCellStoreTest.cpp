// The stored day cells of a calendar: what is written reads back equal, and
// damaged bytes raise the archive exception with the list left empty.

#include "calendar/DayCellObj.h"
#include "model/DrawRect.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/MemFile.h"
#include "platform/base/ObList.h"
#include "tests/base/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string StoreBytes(CDrawObj& obj, int nKind, int nCount)
{
    return archive_test::Store([&](CArchive& ar) { obj.StoreDayCells(ar, nKind, nCount); });
}

// Loads the bytes into obj; the cause of the archive exception raised, -1
// for none, -2 for any other exception.
int LoadBytes(CDrawObj& obj, int nKind, int nCount, const std::string& bytes)
{
    return archive_test::LoadFailure(bytes, [&](CArchive& ar) { obj.LoadDayCells(ar, nKind, nCount); });
}

CDayCellObj* MakeCell(int nNumber, const char* pszText, bool bItem)
{
    auto* pCell = new CDayCellObj;
    pCell->m_nNumber = nNumber;
    pCell->m_strText = pszText;
    pCell->m_logfont.lfHeight = -14 - nNumber;
    pCell->m_logfont.lfWeight = 700;
    pCell->m_logfont.lfItalic = 1;
    pCell->m_logfont.lfCharSet = 2;
    std::strcpy(pCell->m_logfont.lfFaceName, "Cell Face");
    pCell->m_crText = RGB(10, 20, nNumber);
    pCell->m_crBack = RGB(250, 240, 230);
    pCell->m_wFlags = WORD(0x8001 + nNumber);
    pCell->m_nInUse = CDayCellObj::kInUse;
    if (bItem) {
        auto* pItem = new CDrawRect(CRect(-5, 40 + nNumber, 60, -7), SHAPE_ELLIPSE);
        pItem->m_logpen.lopnStyle = PS_DASH;
        pItem->m_logpen.lopnWidth.x = 3;
        pItem->m_logpen.lopnColor = RGB(1, 2, 3);
        pItem->m_bFill = TRUE;
        pItem->m_logbrush.lbStyle = BS_HATCHED;
        pItem->m_logbrush.lbColor = RGB(4, 5, 6);
        pItem->m_logbrush.lbHatch = HS_CROSS;
        pItem->m_wFlags = 0x0241;
        pCell->SetItem(pItem);
    }
    return pCell;
}

void ExpectSameCell(const CDayCellObj& a, const CDayCellObj& b)
{
    EXPECT_EQ(a.m_nNumber, b.m_nNumber);
    EXPECT_STREQ(a.m_strText, b.m_strText);
    EXPECT_EQ(0, std::memcmp(&a.m_logfont, &b.m_logfont, sizeof(LOGFONT)));
    EXPECT_EQ(a.m_crText, b.m_crText);
    EXPECT_EQ(a.m_crBack, b.m_crBack);
    EXPECT_EQ(a.m_wFlags, b.m_wFlags);
    EXPECT_EQ(a.m_nInUse, b.m_nInUse);
    ASSERT_EQ(a.GetItem() == nullptr, b.GetItem() == nullptr);
    if (a.GetItem() == nullptr)
        return;
    const CDrawRect& x = *a.GetItem();
    const CDrawRect& y = *b.GetItem();
    EXPECT_EQ(x.m_nShape, y.m_nShape);
    EXPECT_EQ(x.m_position, y.m_position);
    EXPECT_EQ(x.m_wFlags, y.m_wFlags);
    EXPECT_EQ(x.m_bOutline, y.m_bOutline);
    EXPECT_EQ(x.m_logpen.lopnStyle, y.m_logpen.lopnStyle);
    EXPECT_EQ(x.m_logpen.lopnWidth.x, y.m_logpen.lopnWidth.x);
    EXPECT_EQ(x.m_logpen.lopnColor, y.m_logpen.lopnColor);
    EXPECT_EQ(x.m_bFill, y.m_bFill);
    EXPECT_EQ(x.m_logbrush.lbStyle, y.m_logbrush.lbStyle);
    EXPECT_EQ(x.m_logbrush.lbColor, y.m_logbrush.lbColor);
    EXPECT_EQ(x.m_logbrush.lbHatch, y.m_logbrush.lbHatch);
}

std::vector<const CDayCellObj*> Cells(CDrawObj& obj, int nKind)
{
    std::vector<const CDayCellObj*> out;
    CObList* pList = obj.GetCellList(nKind);
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;)
        out.push_back(static_cast<const CDayCellObj*>(pList->GetNext(pos)));
    return out;
}

// A calendar with cells in every list: three month cells (one with an item
// and a long text), one week cell, one hour cell.
class CalendarCellStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_source.m_monthCells.AddTail(MakeCell(1, "New Year", true));
        m_source.m_monthCells.AddTail(MakeCell(15, std::string(300, 'x').c_str(), false));
        m_source.m_monthCells.AddTail(MakeCell(31, "", true));
        m_source.m_weekCells.AddTail(MakeCell(7, "Sunday lunch", false));
        m_source.m_dayCells.AddTail(MakeCell(24, "Midnight", true));
    }

    CDrawRect m_source{CRect(0, 100, 100, 0)};
};

TEST_F(CalendarCellStoreTest, EveryListReadsBackEqualThroughAMemoryArchive)
{
    CDrawRect target(CRect(0, 10, 10, 0));
    // Loading replaces what the kind held and leaves the other kinds alone.
    target.m_monthCells.AddTail(MakeCell(2, "old", true));
    target.m_dayCells.AddTail(MakeCell(3, "kept", false));

    ASSERT_EQ(-1, LoadBytes(target, 2, 3, StoreBytes(m_source, 2, 3)));
    ASSERT_EQ(-1, LoadBytes(target, 1, 1, StoreBytes(m_source, 1, 1)));
    const std::vector<const CDayCellObj*> month = Cells(target, 2);
    const std::vector<const CDayCellObj*> week = Cells(target, 1);
    const std::vector<const CDayCellObj*> source = Cells(m_source, 2);
    ASSERT_EQ(month.size(), 3u);
    for (size_t n = 0; n < month.size(); ++n)
        ExpectSameCell(*source[n], *month[n]);
    ASSERT_EQ(week.size(), 1u);
    ExpectSameCell(*Cells(m_source, 1)[0], *week[0]);
    ASSERT_EQ(Cells(target, 0).size(), 1u);
    EXPECT_STREQ(Cells(target, 0)[0]->m_strText, "kept");

    // Kind 0 into a fresh object; the loaded item is a copy, not shared.
    CDrawRect other(CRect(0, 10, 10, 0));
    ASSERT_EQ(-1, LoadBytes(other, 0, 1, StoreBytes(m_source, 0, 1)));
    ASSERT_EQ(Cells(other, 0).size(), 1u);
    ExpectSameCell(*Cells(m_source, 0)[0], *Cells(other, 0)[0]);
    EXPECT_NE(Cells(m_source, 0)[0]->GetItem(), Cells(other, 0)[0]->GetItem());
}

TEST_F(CalendarCellStoreTest, CountsOutsideTheListStayReadable)
{
    // Fewer than the list: only the first cells. More: blank, unused cells
    // make up the count the caller has already written.
    EXPECT_EQ(StoreBytes(m_source, 2, 0), "");
    EXPECT_EQ(StoreBytes(m_source, 2, -4), "");
    EXPECT_EQ(StoreBytes(m_source, 7, 3), "");
    CDrawRect target(CRect(0, 10, 10, 0));
    ASSERT_EQ(-1, LoadBytes(target, 1, 3, StoreBytes(m_source, 1, 3)));
    const std::vector<const CDayCellObj*> week = Cells(target, 1);
    ASSERT_EQ(week.size(), 3u);
    EXPECT_STREQ(week[0]->m_strText, "Sunday lunch");
    EXPECT_EQ(week[1]->m_nInUse, 0);
    EXPECT_EQ(week[2]->m_nNumber, 0);
    EXPECT_EQ(week[2]->GetItem(), nullptr);

    ASSERT_EQ(-1, LoadBytes(target, 2, 1, StoreBytes(m_source, 2, 1)));
    EXPECT_STREQ(Cells(target, 2)[0]->m_strText, "New Year");
}

TEST_F(CalendarCellStoreTest, EveryTruncationRaisesAndLeavesTheListEmpty)
{
    const std::string bytes = StoreBytes(m_source, 2, 3);
    ASSERT_GT(bytes.size(), 400u);
    for (size_t n = 0; n < bytes.size(); ++n) {
        CDrawRect target(CRect(0, 10, 10, 0));
        target.m_monthCells.AddTail(MakeCell(9, "before", true));
        const int cause = LoadBytes(target, 2, 3, bytes.substr(0, n));
        ASSERT_EQ(cause, CArchiveException::endOfFile) << "cut at " << n;
        ASSERT_TRUE(target.m_monthCells.IsEmpty()) << "cut at " << n;
    }
}

TEST_F(CalendarCellStoreTest, DamagedCountsLengthsAndValuesAreRefused)
{
    const std::string one = StoreBytes(m_source, 2, 1);
    std::string many;
    for (int n = 0; n < 400; ++n)
        many += one;
    CDrawRect target(CRect(0, 10, 10, 0));

    struct Case {
        const char* name;
        int nKind;
        int nCount;
        std::string bytes;
        int cause;
    };
    std::string badVersion = one;
    badVersion[0] = 2;
    std::string hugeText = one.substr(0, 5) + std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7) + one.substr(6);
    std::string longText = one.substr(0, 5) + std::string("\xFF\xFF\xFF", 3);
    const unsigned nLong = CDayCellObj::kMaxCellText + 1;
    longText += std::string(reinterpret_cast<const char*>(&nLong), 4) + std::string(nLong, 'a');
    longText += one.substr(5 + 1 + std::strlen("New Year"));
    // The item's presence byte comes just before the item: 2 is no flag.
    const size_t nPresence = one.size() - (4 + 16 + 2 + 1 + 12 + 1 + 12) - 1;
    ASSERT_EQ(one[nPresence], 1);
    std::string badPresence = one;
    badPresence[nPresence] = 2;
    std::string widePen = one;
    const int nWide = 1 << 20;
    std::memcpy(&widePen[nPresence + 1 + 4 + 16 + 2 + 1 + 4], &nWide, 4);

    const std::vector<Case> cases = {
        {"more cells than a year has days", 2, CDayCellObj::kMaxCells + 1, many, CArchiveException::generic},
        {"a negative count", 2, -1, one, CArchiveException::generic},
        {"a count the bytes cannot hold", 2, 200, one + one, CArchiveException::endOfFile},
        {"a count of two billion", 2, 0x7FFFFFFF, one, CArchiveException::generic},
        {"an unknown record version", 2, 1, badVersion, CArchiveException::badSchema},
        {"a text length of two gigabytes", 2, 1, hugeText, CArchiveException::endOfFile},
        {"a text longer than a cell keeps", 2, 1, longText, CArchiveException::generic},
        {"a presence byte that is no flag", 2, 1, badPresence, CArchiveException::generic},
        {"a pen a mile wide", 2, 1, widePen, CArchiveException::generic},
        {"a list that does not exist", 5, 1, one, CArchiveException::badIndex},
    };
    for (const Case& c : cases) {
        target.m_monthCells.AddTail(MakeCell(9, "before", true));
        EXPECT_EQ(LoadBytes(target, c.nKind, c.nCount, c.bytes), c.cause) << c.name;
        if (c.nKind == 2) {
            EXPECT_TRUE(target.m_monthCells.IsEmpty()) << c.name;
        }
        DeleteCellList(target.m_monthCells);
    }

    // The same bytes, undamaged, read; the face name's last byte is always
    // its end.
    std::string unterminated = one;
    const size_t nFace = 1 + 4 + 1 + std::strlen("New Year") + 28;
    std::memset(&unterminated[nFace], 'F', LF_FACESIZE);
    ASSERT_EQ(LoadBytes(target, 2, 1, unterminated), -1);
    EXPECT_EQ(std::strlen(Cells(target, 2)[0]->m_logfont.lfFaceName), size_t(LF_FACESIZE - 1));
    ASSERT_EQ(LoadBytes(target, 2, CDayCellObj::kMaxCells, many.substr(0, one.size() * CDayCellObj::kMaxCells)), -1);
    EXPECT_EQ(target.m_monthCells.GetCount(), CDayCellObj::kMaxCells);
}

} // namespace
