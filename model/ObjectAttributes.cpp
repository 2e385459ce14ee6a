#include "model/ObjectAttributes.h"

#include "app/JulianDate.h"
#include "app/FontHelpers.h"
#include "calendar/DayCellObj.h"

#include <cstring>

bool CFillInfo::operator==(const CFillInfo& other) const
{
    return m_nKind == other.m_nKind && m_wMode == other.m_wMode && m_nAmount == other.m_nAmount
        && m_crFirst == other.m_crFirst && m_crSecond == other.m_crSecond && m_crThird == other.m_crThird
        && m_crFourth == other.m_crFourth;
}

CObjectAttributes::CObjectAttributes()
    : m_strCalendarFace(g_defaultFaceName)
{
    CJulianDate today;
    today.SetToday();
    m_nCalendarStart = DefaultCalendarStart(today);
    m_logfont.lfHeight = -10;
    m_logfont.lfWeight = 400;
    std::strncpy(m_logfont.lfFaceName, g_defaultFaceName, sizeof(m_logfont.lfFaceName) - 1);
}

CObjectAttributes::~CObjectAttributes()
{
    ClearMonthCells();
    ClearWeekCells();
    ClearDayCells();
}

LONG CObjectAttributes::DefaultCalendarStart(const CJulianDate& today)
{
    if (!today.IsValid())
        return 0;
    const DWORD nFirst = JulianDayFromDate(today.GetMonth(), 1, today.GetYear());
    return static_cast<LONG>(nFirst) + 7 - today.GetDayOfWeek();
}

void CObjectAttributes::ClearMonthCells()
{
    DeleteCellList(m_monthCells);
}

void CObjectAttributes::ClearWeekCells()
{
    DeleteCellList(m_weekCells);
}

void CObjectAttributes::ClearDayCells()
{
    DeleteCellList(m_dayCells);
}

namespace {

void CopyCells(const CObList& from, CObList& to, CellCopyMode mode)
{
    switch (mode) {
    case CellCopyLeaveTarget:
        to.RemoveAll();
        break;
    case CellCopyFreeTarget:
    case CellCopyFreeTargetItems:
        DeleteCellList(to);
        break;
    }
    CloneCellList(from, to);
}

} // namespace

void CopyAttributes(const CObjectAttributes& from, CObjectAttributes& to, CellCopyMode mode)
{
    if (&from == &to)
        return;
    to.m_rect = from.m_rect;
    to.m_bOutline = from.m_bOutline;
    to.m_logpen = from.m_logpen;
    to.m_bFill = from.m_bFill;
    to.m_logbrush = from.m_logbrush;
    to.m_crHatchBackground = from.m_crHatchBackground;
    to.m_wFlags = from.m_wFlags;
    to.m_wTextFlags = from.m_wTextFlags;
    to.m_wInfoFields = from.m_wInfoFields;
    to.m_wPictureFlags = from.m_wPictureFlags;
    to.m_wGroup = from.m_wGroup;
    to.m_nReservedOne = from.m_nReservedOne;
    to.m_nShape = from.m_nShape;
    to.m_nSides = from.m_nSides;
    to.m_nRotation = from.m_nRotation;
    to.m_sizeCorner = from.m_sizeCorner;
    to.m_fill = from.m_fill;
    to.m_fillText = from.m_fillText;
    to.m_nCalendarStart = from.m_nCalendarStart;
    to.m_nCalendarExtra = from.m_nCalendarExtra;
    std::memcpy(to.m_nCalendarWords, from.m_nCalendarWords, sizeof(to.m_nCalendarWords));
    std::memcpy(to.m_nSpareWords, from.m_nSpareWords, sizeof(to.m_nSpareWords));
    to.m_strCalendarFace = from.m_strCalendarFace;
    std::memcpy(to.m_nCalendarOptions, from.m_nCalendarOptions, sizeof(to.m_nCalendarOptions));
    to.m_strPictureFile = from.m_strPictureFile;
    std::memcpy(to.m_nPictureValues, from.m_nPictureValues, sizeof(to.m_nPictureValues));
    to.m_bHasText = from.m_bHasText;
    to.m_nTextFlag = from.m_nTextFlag;
    to.m_strBlockText = from.m_strBlockText;
    to.m_logfont = from.m_logfont;
    to.m_crText = from.m_crText;
    std::memcpy(to.m_nTextValues, from.m_nTextValues, sizeof(to.m_nTextValues));
    to.m_crText2 = from.m_crText2;
    std::memcpy(to.m_wTextWords, from.m_wTextWords, sizeof(to.m_wTextWords));
    to.m_strWrapText = from.m_strWrapText;
    to.m_strWrapFormat = from.m_strWrapFormat;
    to.m_dWrapScale = from.m_dWrapScale;
    to.m_wJustification = from.m_wJustification;
    to.m_bBlockText = from.m_bBlockText;
    to.m_bWordWrap = from.m_bWordWrap;
    to.m_bIsCalendar = from.m_bIsCalendar;
    CopyCells(from.m_monthCells, to.m_monthCells, mode);
    CopyCells(from.m_weekCells, to.m_weekCells, mode);
    CopyCells(from.m_dayCells, to.m_dayCells, mode);
    to.m_dCropLeft = from.m_dCropLeft;
    to.m_dCropTop = from.m_dCropTop;
    to.m_dCropWidth = from.m_dCropWidth;
    to.m_dCropHeight = from.m_dCropHeight;
    to.m_dBaseLeft = from.m_dBaseLeft;
    to.m_dBaseTop = from.m_dBaseTop;
    to.m_dBaseWidth = from.m_dBaseWidth;
    to.m_dBaseHeight = from.m_dBaseHeight;
    to.m_sizePicture = from.m_sizePicture;
    to.m_nWrapLookPosition = from.m_nWrapLookPosition;
}
