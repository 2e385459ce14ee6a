// The calendar-cell operations every drawing object answers: which cell of
// a calendar lies under a point, and emptying the selected cell. Only
// rectangle objects that are calendars have cells; every other object, and
// a calendar that is locked or cannot be selected, answers no cell.
//
// The cells are those the renderers draw (CalendarLayout), over the
// object's position rectangle: a turned calendar draws no grid, and its
// cells are taken as if it were not turned.

#include "model/DrawObj.h"

#include "calendar/CalendarLayout.h"
#include "calendar/DayCellObj.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"

int CDrawObj::HitTestCalendarCell(CPoint point, CSurface* pView, BOOL bSelected, BOOL bSelectCell)
{
    // The cells lie where they are drawn whether or not the object is
    // selected, and the point is already in logical units.
    (void)pView;
    (void)bSelected;
    auto* pCalendar = dynamic_cast<CDrawRect*>(this);
    int nCell = 0;
    CRect cell;
    if ((m_wFlags & (OBJ_FLAG_LOCKED | OBJ_FLAG_UNSELECTABLE)) == 0 && pCalendar != nullptr && IsCalendar()) {
        nCell = CalendarCellAt(m_position, pCalendar->m_nCalendarWords[1],
            static_cast<DWORD>(pCalendar->m_nCalendarStart), pCalendar->m_nCalendarWords[3], point, &cell);
    }
    if (nCell == 0) {
        m_rectCell.SetRectEmpty();
        if (bSelectCell)
            m_nCalendarIndex = -1;
        return 0;
    }
    m_rectCell = cell;
    m_nCellKind = pCalendar->m_nCalendarWords[1];
    if (bSelectCell)
        m_nCalendarIndex = nCell;
    return nCell;
}

void CDrawObj::ClearSelectedCell()
{
    if (!IsCalendar() || m_nCalendarIndex < 1)
        return;
    CObjectAttributes attrs;
    GetAttributes(attrs);
    CObList* pCells = nullptr;
    switch (m_nCellKind) {
    case CALENDAR_DAY: pCells = &attrs.m_dayCells; break;
    case CALENDAR_WEEK: pCells = &attrs.m_weekCells; break;
    case CALENDAR_MONTH: pCells = &attrs.m_monthCells; break;
    default: return;
    }
    CDayCellObj* pCell = nullptr;
    for (POSITION pos = pCells->GetHeadPosition(); pos != nullptr && pCell == nullptr;) {
        auto* pEach = static_cast<CDayCellObj*>(pCells->GetNext(pos));
        if (pEach != nullptr && pEach->m_nNumber == m_nCalendarIndex)
            pCell = pEach;
    }
    // A cell never given content already shows the default.
    if (pCell == nullptr)
        return;
    // The step keeps the calendar as it was, cells and all.
    if (m_pDocument != nullptr)
        RecordUndoProperties(m_pDocument, this);
    pCell->m_strText.Empty();
    pCell->m_crBack = RGB(255, 255, 255);
    SetAttributes(attrs);
}
