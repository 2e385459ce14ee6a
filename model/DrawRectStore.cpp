// The rectangle object's record in the design file: after the base record,
// the shape, both fill descriptors, the calendar fields and the calendar's
// three day-cell lists.

#include "model/DesignArchive.h"
#include "model/DrawRect.h"
#include "platform/base/Archive.h"

#include <cmath>
#include <utility>

namespace {

// Kinds of files before version 19, where 3 was the regular polygon and 4
// the line.
int ConvertOldShapeKind(int nKind)
{
    if (nKind == 3)
        return SHAPE_REGULAR_POLYGON;
    if (nKind == 4)
        return SHAPE_LINE;
    return nKind;
}

// The rotation is kept in 16 bits. A turn to the left (negative) would come
// back as 65536 - a, so it is stored as the same turn to the right; 360
// itself stays 360. Values of 32768 and above, as older writers left them,
// read as negative turns.
WORD StoredRotation(double dAngle)
{
    long nAngle = std::lround(dAngle); // half away from zero
    if (nAngle < 0)
        nAngle = nAngle % 360 + 360;
    return static_cast<WORD>(nAngle);
}

int LoadedRotation(WORD wStored)
{
    return wStored >= 0x8000 ? static_cast<int>(wStored) - 0x10000 : static_cast<int>(wStored);
}

void StoreFill(CArchive& ar, const CFillInfo& fill)
{
    ar << static_cast<WORD>(fill.m_nKind) << static_cast<DWORD>(fill.m_nAmount) << static_cast<DWORD>(fill.m_crFirst)
       << static_cast<DWORD>(fill.m_crFourth) << static_cast<DWORD>(fill.m_crSecond)
       << static_cast<DWORD>(fill.m_crThird) << fill.m_wMode;
}

// Files before version 17 hold the kind, amount, first and last colour of
// the first fill only.
void LoadFill(CArchive& ar, CFillInfo& fill, BOOL bWhole)
{
    WORD wKind = 0;
    DWORD dwAmount = 0;
    DWORD dwFirst = 0;
    DWORD dwLast = 0;
    ar >> wKind >> dwAmount >> dwFirst >> dwLast;
    fill.m_nKind = wKind;
    fill.m_nAmount = static_cast<int>(dwAmount);
    fill.m_crFirst = dwFirst;
    fill.m_crFourth = dwLast;
    if (!bWhole)
        return;
    DWORD dwSecond = 0;
    DWORD dwThird = 0;
    ar >> dwSecond >> dwThird >> fill.m_wMode;
    fill.m_crSecond = dwSecond;
    fill.m_crThird = dwThird;
}

} // namespace

void CDrawRect::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    if (ar.IsStoring())
        StoreRectRecord(ar);
    else
        LoadRectRecord(ar, GetDesignVersion(ar));
}

void CDrawRect::StoreRectRecord(CArchive& ar)
{
    ar << static_cast<WORD>(m_nShape);
    ar << static_cast<DWORD>(m_sizePair.cx) << static_cast<DWORD>(m_sizePair.cy);
    ar << static_cast<WORD>(m_nSides);
    ar << StoredRotation(m_dAngle);
    StoreFill(ar, m_fill);
    StoreFill(ar, m_fill2);
    ar << static_cast<DWORD>(m_nCalendarStart) << static_cast<DWORD>(m_nCalendarExtra);
    for (LONG nWord : m_nCalendarWords)
        ar << static_cast<WORD>(nWord);
    ar << m_wCalendarFormat[0] << m_wCalendarFormat[1] << static_cast<DWORD>(m_nCalendarFormatValue);
    ar << m_strCalendarFace;
    ar << m_wCalendarWord;
    ar << static_cast<WORD>(m_nCalendarOptions[2]) << static_cast<WORD>(m_nCalendarOptions[0])
       << static_cast<WORD>(m_nCalendarOptions[1]);
    ar << m_wCalendarValues[0] << m_wCalendarValues[1];
    for (int nKind : {CALENDAR_MONTH, CALENDAR_WEEK, CALENDAR_DAY}) {
        const INT_PTR nCount = GetCellList(nKind)->GetCount();
        // The count is 16 bits wide; a list never grows near that.
        const WORD wCount = static_cast<WORD>(nCount > 0xFFFF ? 0xFFFF : nCount);
        ar << wCount;
        if (wCount != 0)
            StoreDayCells(ar, nKind, wCount);
    }
}

void CDrawRect::LoadRectRecord(CArchive& ar, LONG nVersion)
{
    WORD wShape = 0;
    ar >> wShape;
    // Unknown kinds keep their stored value and draw as rectangles.
    m_nShape = nVersion < 19 ? ConvertOldShapeKind(wShape) : wShape;
    DWORD cx = 0;
    DWORD cy = 0;
    ar >> cx >> cy;
    m_sizePair = CSize(static_cast<int>(cx), static_cast<int>(cy));
    WORD wSides = 0;
    ar >> wSides;
    m_nSides = wSides;
    WORD wRotation = 0;
    ar >> wRotation;
    const int nRotation = LoadedRotation(wRotation);
    m_nRotation = nRotation;
    m_nAngle = nRotation;
    m_nTextRotation = nRotation;
    {
        // An object being read is in no view yet, so its markers are laid
        // out without one. Holding its document back meanwhile spares
        // SetAngle a search of every view's object list for it, which made
        // reading a design quadratic in its objects.
        CDrawDoc* const pDocument = m_pSurface == nullptr ? std::exchange(m_pDocument, nullptr) : m_pDocument;
        SetAngle(static_cast<double>(nRotation));
        m_pDocument = pDocument;
    }
    LoadFill(ar, m_fill, nVersion > 16);
    m_fill2 = CFillInfo();
    if (nVersion > 16)
        LoadFill(ar, m_fill2, TRUE);
    DWORD dwStart = 0;
    DWORD dwExtra = 0;
    ar >> dwStart >> dwExtra;
    m_nCalendarStart = static_cast<LONG>(dwStart);
    m_nCalendarExtra = static_cast<LONG>(dwExtra);
    if (nVersion > 11) {
        for (LONG& nWord : m_nCalendarWords) {
            WORD w = 0;
            ar >> w;
            nWord = w;
        }
        // Older files counted the calendar kinds from the week.
        if (nVersion < 23)
            m_nCalendarWords[1] += 1;
    }
    if (nVersion < 23)
        return;
    DWORD dwFormat = 0;
    ar >> m_wCalendarFormat[0] >> m_wCalendarFormat[1] >> dwFormat;
    m_nCalendarFormatValue = static_cast<LONG>(dwFormat);
    ar >> m_strCalendarFace;
    ar >> m_wCalendarWord;
    WORD wOptions[3] = {0, 0, 0};
    ar >> wOptions[0] >> wOptions[1] >> wOptions[2];
    m_nCalendarOptions[2] = wOptions[0];
    m_nCalendarOptions[0] = wOptions[1];
    m_nCalendarOptions[1] = wOptions[2];
    ar >> m_wCalendarValues[0] >> m_wCalendarValues[1];
    for (int nKind : {CALENDAR_MONTH, CALENDAR_WEEK, CALENDAR_DAY}) {
        WORD wCount = 0;
        ar >> wCount;
        // Reading always empties the list, even for no cells.
        LoadDayCells(ar, nKind, wCount);
    }
}
