// The day-cell lists of a calendar object: finding, reading and changing a
// cell's text, emptying the lists, and the two small setters the surface
// tools use on calendars.

#include "calendar/DayCellObj.h"
#include "model/DrawObj.h"
#include "text/TextBlock.h"

namespace {

// The highest cell number of each kind: hours of a day, days of a week,
// days of a month.
int MaxCellNumber(int nKind)
{
    switch (nKind) {
    case 0: return 24;
    case 1: return 7;
    case 2: return 31;
    default: return 0;
    }
}

} // namespace

CObList* CDrawObj::GetCellList(int nKind)
{
    switch (nKind) {
    case 0: return &m_dayCells;
    case 1: return &m_weekCells;
    case 2: return &m_monthCells;
    default: return nullptr;
    }
}

CDayCellObj* CDrawObj::FindDayCell(int nKind, int nCell)
{
    CObList* pList = GetCellList(nKind);
    if (pList == nullptr || nCell < 1)
        return nullptr;
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
        auto* pCell = static_cast<CDayCellObj*>(pList->GetNext(pos));
        if (pCell != nullptr && pCell->m_nNumber == nCell)
            return pCell;
    }
    return nullptr;
}

CString CDrawObj::GetCellText(int nKind, int nCell)
{
    const CDayCellObj* pCell = FindDayCell(nKind, nCell);
    return pCell != nullptr ? pCell->m_strText : CString();
}

void CDrawObj::SetCellText(int nKind, int nCell, const CString& strText)
{
    if (nCell < 1 || nCell > MaxCellNumber(nKind))
        return;
    CDayCellObj* pCell = FindDayCell(nKind, nCell);
    if (pCell == nullptr) {
        pCell = new CDayCellObj;
        pCell->m_nNumber = nCell;
        GetCellList(nKind)->AddTail(pCell);
    }
    pCell->m_strText = strText;
    Invalidate();
}

void CDrawObj::DeleteMonthCells(BOOL bItems)
{
    (void)bItems;
    DeleteCellList(m_monthCells);
}

void CDrawObj::DeleteWeekCells(BOOL bItems)
{
    (void)bItems;
    DeleteCellList(m_weekCells);
}

void CDrawObj::DeleteDayCells(BOOL bItems)
{
    (void)bItems;
    DeleteCellList(m_dayCells);
}

void CDrawObj::SetBounds(const CRect& rect)
{
    m_position = rect;
    m_rectUnrotated = rect;
}

void CDrawObj::SetTextModeFlag(int nOn)
{
    CTextBlock* pBlock = GetTextBlock();
    if (pBlock == nullptr)
        return;
    if (nOn != 0)
        pBlock->m_wFlags |= TEXTBLOCK_AUTO_SIZE;
    else
        pBlock->m_wFlags &= ~WORD(TEXTBLOCK_AUTO_SIZE);
}
