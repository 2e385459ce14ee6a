// The calendar renderers of CDrawRect and its holiday reader. The grids are
// drawn straight into the DC in logical units, lines and text as vectors,
// so that paper gets them sharp at the printer's resolution; the geometry
// comes from CalendarLayout, which the cell hit test reads too.
//
// Lines use the object's outline colour (black when the outline is off) at
// one device pixel; the outer frame is the object's own outline pass. Text
// uses the calendar face with heights in proportion to the band or cell it
// stands in, and is clipped to it.
//
// m_holidays[0] holds the names of the holidays the calendar shows and
// m_holidays[1], at the same indexes, their day numbers as decimal text;
// LoadHolidays fills both for the days of the month, week, day or year on
// show.

#include "model/DrawRect.h"

#include "app/DcStateSaver.h"
#include "app/JulianDate.h"
#include "calendar/CalendarLayout.h"
#include "calendar/DayCellObj.h"
#include "calendar/Holidays.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kHolidayColor = RGB(176, 0, 0);
constexpr const char* kFallbackFace = "Arial";
// No cell is wide enough to show more of one line than this; a long text
// from a file is not laid out past it.
constexpr int kMaxDrawnLine = 256;
// The largest text height drawn, in device pixels: more than a full-page
// calendar's title at a printer's resolution.
constexpr int kMaxTextPixels = 4096;

enum class Align { TopLeft, Centred };

// A font request: height in logical units (the character height), weight,
// italic and face.
struct FontSpec {
    int nHeight = 0;
    int nWeight = FW_NORMAL;
    BOOL bItalic = FALSE;
    CString strFace;

    bool operator==(const FontSpec& other) const
    {
        return nHeight == other.nHeight && nWeight == other.nWeight && bItalic == other.bItalic
            && strFace == other.strFace;
    }
};

long long Height(const CRect& rect)
{
    return static_cast<long long>(rect.top) - rect.bottom;
}

long long Width(const CRect& rect)
{
    return static_cast<long long>(rect.right) - rect.left;
}

// Percentages of a band's or cell's height and width, the smaller one.
int Fit(const CRect& rect, int nHeightPercent, int nWidthPercent)
{
    return static_cast<int>(std::min(Height(rect) * nHeightPercent / 100, Width(rect) * nWidthPercent / 100));
}

// Draws the lines and texts of one calendar into a DC whose state the
// caller saves; puts back the DC's pen and font before it goes, so that
// its own can be deleted.
class CalendarPainter {
public:
    CalendarPainter(CDC* pDC, const CString& strFace, COLORREF crLine)
        : m_pDC(pDC)
        , m_strFace(strFace.IsEmpty() ? CString(kFallbackFace) : strFace)
    {
        m_pen.CreatePen(PS_SOLID, 0, crLine);
        m_pOldPen = m_pDC->SelectObject(&m_pen);
        m_pDC->SetBkMode(TRANSPARENT);
    }
    ~CalendarPainter()
    {
        m_pDC->SelectObject(m_pOldPen);
        if (m_pOldFont != nullptr)
            m_pDC->SelectObject(m_pOldFont);
    }
    CalendarPainter(const CalendarPainter&) = delete;
    CalendarPainter& operator=(const CalendarPainter&) = delete;

    const CString& Face() const { return m_strFace; }

    void HLine(int x1, int x2, int y)
    {
        m_pDC->MoveTo(x1, y);
        m_pDC->LineTo(x2, y);
    }
    void VLine(int x, int y1, int y2)
    {
        m_pDC->MoveTo(x, y1);
        m_pDC->LineTo(x, y2);
    }
    void Frame(const CRect& rect)
    {
        const POINT corners[5] = {{rect.left, rect.top}, {rect.right, rect.top}, {rect.right, rect.bottom},
            {rect.left, rect.bottom}, {rect.left, rect.top}};
        m_pDC->Polyline(corners, 5);
    }
    void Fill(const CRect& rect, COLORREF cr) { m_pDC->FillSolidRect(&rect, cr); }

    // One line of text in a box: centred in it, or at its top left with a
    // small margin; clipped to clip. Nothing for a height below one unit.
    void Text(const CString& strText, const CRect& box, const CRect& clip, Align align, const FontSpec& font,
        COLORREF cr)
    {
        if (strText.IsEmpty() || font.nHeight < 1 || !Legible(font.nHeight) || !SelectFont(font))
            return;
        m_pDC->SetTextColor(cr);
        int x = box.left + Margin(box);
        int y = box.top - Margin(box);
        UINT nAlign = TA_LEFT | TA_TOP;
        if (align == Align::Centred) {
            x = static_cast<int>(box.left + Width(box) / 2);
            y = static_cast<int>(box.top - std::max<long long>(0, Height(box) - font.nHeight * 6LL / 5) / 2);
            nAlign = TA_CENTER | TA_TOP;
        }
        m_pDC->SetTextAlign(nAlign);
        m_pDC->ExtTextOut(x, y, ETO_CLIPPED, &clip, strText, nullptr);
    }

    // The lines of several texts one under the other from the top left of
    // a box below nFromTop units of it, clipped to the box. The line
    // height of each is its font's height and a fifth.
    int Lines(const CString& strText, const CRect& box, int nFromTop, const FontSpec& font, COLORREF cr)
    {
        if (font.nHeight < 1)
            return nFromTop;
        const int nStep = font.nHeight + font.nHeight / 5;
        int nStart = 0;
        while (nStart <= strText.GetLength() && nFromTop < Height(box)) {
            int nEnd = strText.Find('\n', nStart);
            if (nEnd < 0)
                nEnd = strText.GetLength();
            CString strLine = strText.Mid(nStart, std::min(nEnd - nStart, kMaxDrawnLine));
            strLine.TrimRight("\r");
            CRect line = box;
            line.top = box.top - nFromTop;
            Text(strLine, line, box, Align::TopLeft, font, cr);
            nFromTop += nStep;
            nStart = nEnd + 1;
        }
        return nFromTop;
    }

    // A twentieth of the width, or less in a flat box (an hour's row).
    static int Margin(const CRect& box) { return static_cast<int>(std::min(Width(box) / 20, Height(box) / 8)); }

private:
    // A calendar from a file may be far larger than any page: text that
    // would stand thousands of pixels high is left out rather than have
    // the font engine render glyphs of that size.
    BOOL Legible(int nHeight) const
    {
        CSize size(0, nHeight);
        m_pDC->LPtoDP(&size);
        return std::abs(size.cy) <= kMaxTextPixels;
    }

    BOOL SelectFont(const FontSpec& spec)
    {
        if (m_bHaveFont && spec == m_current)
            return TRUE;
        LOGFONT lf{};
        lf.lfHeight = -spec.nHeight;
        lf.lfWeight = spec.nWeight;
        lf.lfItalic = spec.bItalic ? 1 : 0;
        lf.lfCharSet = DEFAULT_CHARSET;
        std::strncpy(lf.lfFaceName, spec.strFace.IsEmpty() ? LPCTSTR(m_strFace) : LPCTSTR(spec.strFace),
            LF_FACESIZE - 1);
        CFont font;
        if (!font.CreateFontIndirect(&lf))
            return FALSE;
        CFont* pOld = m_pDC->SelectObject(&font);
        if (m_pOldFont == nullptr)
            m_pOldFont = pOld;
        // The font selected before is out of the DC now and can go.
        m_font.DeleteObject();
        m_font.Attach(font.Detach());
        m_current = spec;
        m_bHaveFont = TRUE;
        return TRUE;
    }

    CDC* m_pDC;
    CString m_strFace;
    CPen m_pen;
    CPen* m_pOldPen = nullptr;
    CFont m_font;
    CFont* m_pOldFont = nullptr;
    FontSpec m_current;
    BOOL m_bHaveFont = FALSE;
};

CString Number(long n)
{
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%ld", n);
    return CString(buffer);
}

// The font of a cell's own text: its face, weight and slant when it has
// them, at the height given.
FontSpec CellFont(const CDayCellObj& cell, int nHeight)
{
    FontSpec font;
    font.nHeight = nHeight;
    font.nWeight = cell.m_logfont.lfWeight > 0 ? static_cast<int>(cell.m_logfont.lfWeight) : FW_NORMAL;
    font.bItalic = cell.m_logfont.lfItalic != 0;
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, cell.m_logfont.lfFaceName, LF_FACESIZE);
    font.strFace = face;
    return font;
}

// The live cell of that number in a kind's list, or none.
const CDayCellObj* LiveCell(CDrawRect& calendar, int nKind, int nNumber)
{
    const CDayCellObj* pCell = calendar.FindDayCell(nKind, nNumber);
    return pCell != nullptr && pCell->m_nInUse == CDayCellObj::kInUse ? pCell : nullptr;
}

// The holidays of m_holidays that fall on a day number.
std::vector<CString> HolidaysOn(const CStringArray (&holidays)[2], DWORD nDay)
{
    std::vector<CString> names;
    const int nCount = std::min(holidays[0].GetSize(), holidays[1].GetSize());
    for (int i = 0; i < nCount; ++i)
        if (std::strtoul(holidays[1].GetAt(i), nullptr, 10) == nDay)
            names.push_back(holidays[0].GetAt(i));
    return names;
}

// A day cell's contents: its back colour, holiday names in red and its
// own text under the line at nFromTop.
void DrawCellContents(CalendarPainter& painter, const CRect& cell, int nFromTop, const std::vector<CString>& holidays,
    const CDayCellObj* pCell)
{
    FontSpec small;
    small.nHeight = Fit(cell, 15, 13);
    small.strFace = painter.Face();
    for (const CString& strName : holidays)
        nFromTop = painter.Lines(strName, cell, nFromTop, small, kHolidayColor);
    if (pCell != nullptr)
        painter.Lines(pCell->m_strText, cell, nFromTop, CellFont(*pCell, small.nHeight), pCell->m_crText);
}

void FillCellBack(CalendarPainter& painter, const CRect& cell, const CDayCellObj* pCell)
{
    if (pCell != nullptr && (pCell->m_crBack & 0xFFFFFF) != kWhite)
        painter.Fill(cell, pCell->m_crBack & 0xFFFFFF);
}

// The month grid: title band, weekday row, six rows of seven cells with
// lines between them; bFrame adds the outer frame (the small months of a
// year have no outline pass of their own).
void DrawMonthGrid(CalendarPainter& painter, const CalendarMonthLayout& layout, BOOL bFrame)
{
    const CRect& r = layout.rect;
    painter.HLine(r.left, r.right, layout.title.bottom);
    for (int row = 0; row < kMonthRows; ++row)
        painter.HLine(r.left, r.right, layout.positions[row * kCalendarColumns].top);
    painter.HLine(r.left, r.right, r.bottom);
    for (int c = 1; c < kCalendarColumns; ++c)
        painter.VLine(layout.positions[c].left, layout.title.bottom, r.bottom);
    if (bFrame)
        painter.Frame(r);
}

// The title and weekday names of a month grid.
void DrawMonthHeadings(CalendarPainter& painter, const CalendarMonthLayout& layout, const CString& strTitle)
{
    FontSpec title;
    title.nHeight = Fit(layout.title, 55, 10);
    title.nWeight = FW_BOLD;
    painter.Text(strTitle, layout.title, layout.title, Align::Centred, title, kBlack);
    FontSpec weekday;
    weekday.nHeight = Fit(CRect(layout.positions[0].left, layout.weekdays.top, layout.positions[0].right,
                              layout.weekdays.bottom),
        65, 35);
    for (int c = 0; c < kCalendarColumns; ++c) {
        const CRect box(
            layout.positions[c].left, layout.weekdays.top, layout.positions[c].right, layout.weekdays.bottom);
        painter.Text(GetWeekdayName(layout.nColumnWeekday[c], TRUE), box, box, Align::Centred, weekday, kBlack);
    }
}

// The title of a month calendar: "May 2024" in the locale's month name.
CString MonthTitle(int nMonth, int nYear)
{
    return GetMonthName(nMonth, FALSE) + " " + Number(nYear);
}

COLORREF LineColor(const CDrawRect& calendar)
{
    return calendar.m_bOutline ? (calendar.m_logpen.lopnColor & 0xFFFFFF) : kBlack;
}

} // namespace

void CDrawRect::DrawMonthCalendar(CDC* pDC, const CRect& rect, CRgn* pRegion)
{
    int nMonth = 0;
    int nYear = 0;
    CalendarMonthLayout layout;
    if (pDC == nullptr || !GetCalendarMonth(static_cast<DWORD>(m_nCalendarStart), nMonth, nYear)
        || !LayOutMonth(rect, nMonth, nYear, m_nCalendarWords[3], layout))
        return;
    CDCStateSaver saver(pDC);
    if (pRegion != nullptr)
        pDC->SelectClipRgn(pRegion, RGN_AND);
    CalendarPainter painter(pDC, m_strCalendarFace, LineColor(*this));

    const DWORD nFirstDay = JulianDayFromDate(static_cast<WORD>(nMonth), 1, static_cast<WORD>(nYear));
    for (int nDay = 1; nDay <= layout.nDays; ++nDay)
        FillCellBack(painter, layout.positions[layout.PositionOfDay(nDay)], LiveCell(*this, CALENDAR_MONTH, nDay));
    DrawMonthGrid(painter, layout, FALSE);
    DrawMonthHeadings(painter, layout, MonthTitle(nMonth, nYear));

    FontSpec number;
    number.nHeight = Fit(layout.positions[0], 26, 30);
    number.nWeight = FW_BOLD;
    number.strFace = painter.Face();
    for (int nDay = 1; nDay <= layout.nDays; ++nDay) {
        const CRect& cell = layout.positions[layout.PositionOfDay(nDay)];
        painter.Text(Number(nDay), cell, cell, Align::TopLeft, number, kBlack);
        const int nFromTop = CalendarPainter::Margin(cell) + number.nHeight + number.nHeight / 4;
        DrawCellContents(painter, cell, nFromTop, HolidaysOn(m_holidays, nFirstDay + static_cast<DWORD>(nDay - 1)),
            LiveCell(*this, CALENDAR_MONTH, nDay));
    }
}

void CDrawRect::DrawYearCalendar(CDC* pDC, const CRect& rect, CRgn* pRegion)
{
    int nMonth = 0;
    int nYear = 0;
    CalendarYearLayout year;
    if (pDC == nullptr || !GetCalendarMonth(static_cast<DWORD>(m_nCalendarStart), nMonth, nYear)
        || !LayOutYear(rect, nYear, year))
        return;
    CDCStateSaver saver(pDC);
    if (pRegion != nullptr)
        pDC->SelectClipRgn(pRegion, RGN_AND);
    CalendarPainter painter(pDC, m_strCalendarFace, LineColor(*this));

    FontSpec title;
    title.nHeight = Fit(year.title, 60, 12);
    title.nWeight = FW_BOLD;
    painter.Text(Number(nYear), year.title, year.title, Align::Centred, title, kBlack);
    painter.HLine(year.rect.left, year.rect.right, year.title.bottom);

    for (int n = 0; n < kYearMonths; ++n) {
        CalendarMonthLayout layout;
        if (!LayOutMonth(year.months[n], n + 1, nYear, m_nCalendarWords[3], layout))
            continue;
        DrawMonthGrid(painter, layout, TRUE);
        DrawMonthHeadings(painter, layout, GetMonthName(n + 1, FALSE));
        FontSpec number;
        number.nHeight = Fit(layout.positions[0], 45, 40);
        for (int nDay = 1; nDay <= layout.nDays; ++nDay) {
            const CRect& cell = layout.positions[layout.PositionOfDay(nDay)];
            painter.Text(Number(nDay), cell, cell, Align::Centred, number, kBlack);
        }
    }
}

void CDrawRect::DrawDayWeekCalendar(CDC* pDC, const CRect& rect, CRgn* pRegion)
{
    if (pDC == nullptr)
        return;
    const DWORD nStart = static_cast<DWORD>(m_nCalendarStart);
    CalendarWeekLayout week;
    CalendarDayLayout day;
    const BOOL bWeek = m_nCalendarWords[1] == CALENDAR_WEEK;
    if (bWeek ? !LayOutWeek(rect, nStart, m_nCalendarWords[3], week) : !LayOutDay(rect, nStart, day))
        return;
    CDCStateSaver saver(pDC);
    if (pRegion != nullptr)
        pDC->SelectClipRgn(pRegion, RGN_AND);
    CalendarPainter painter(pDC, m_strCalendarFace, LineColor(*this));
    FontSpec title;
    title.nHeight = Fit(bWeek ? week.title : day.title, 55, 10);
    title.nWeight = FW_BOLD;

    if (bWeek) {
        const CJulianDate first(week.nDays[0]);
        for (int c = 0; c < kCalendarColumns; ++c)
            FillCellBack(painter, week.cells[c], LiveCell(*this, CALENDAR_WEEK, c + 1));
        const CRect& r = week.rect;
        painter.HLine(r.left, r.right, week.title.bottom);
        painter.HLine(r.left, r.right, week.heads[0].bottom);
        painter.HLine(r.left, r.right, r.bottom);
        for (int c = 1; c < kCalendarColumns; ++c)
            painter.VLine(week.cells[c].left, week.title.bottom, r.bottom);
        painter.Text(
            MonthTitle(first.GetMonth(), first.GetYear()), week.title, week.title, Align::Centred, title, kBlack);

        FontSpec head;
        head.nHeight = Fit(week.heads[0], 45, 16);
        for (int c = 0; c < kCalendarColumns; ++c) {
            const CJulianDate date(week.nDays[c]);
            CString strHead = GetWeekdayName(date.GetDayOfWeek(), TRUE) + " " + Number(date.GetDay());
            // A week running into the next month names the month at its day.
            if (date.GetMonth() != first.GetMonth())
                strHead += " " + GetMonthName(date.GetMonth(), TRUE);
            painter.Text(strHead, week.heads[c], week.heads[c], Align::Centred, head, kBlack);
            DrawCellContents(painter, week.cells[c], CalendarPainter::Margin(week.cells[c]),
                HolidaysOn(m_holidays, week.nDays[c]), LiveCell(*this, CALENDAR_WEEK, c + 1));
        }
        return;
    }

    for (int h = 0; h < kDayHours; ++h)
        FillCellBack(painter, day.cells[h], LiveCell(*this, CALENDAR_DAY, h + 1));
    const CRect& r = day.rect;
    for (int h = 0; h < kDayHours; ++h)
        painter.HLine(r.left, r.right, day.cells[h].top);
    painter.HLine(r.left, r.right, r.bottom);
    const CJulianDate date(nStart);
    const CString strTitle = GetWeekdayName(date.GetDayOfWeek(), FALSE) + ", " + GetMonthName(date.GetMonth(), FALSE)
        + " " + Number(date.GetDay()) + ", " + Number(date.GetYear());
    painter.Text(strTitle, day.title, day.title, Align::Centred, title, kBlack);

    // The hour stands at the left of its row, the cell's text after it.
    const int nLabelWidth = static_cast<int>(Width(r) * 12 / 100);
    FontSpec label;
    label.nHeight = Fit(CRect(r.left, day.cells[0].top, r.left + nLabelWidth, day.cells[0].bottom), 60, 30);
    for (int h = 0; h < kDayHours; ++h) {
        const CRect& cell = day.cells[h];
        const CRect labelBox(cell.left, cell.top, cell.left + nLabelWidth, cell.bottom);
        painter.Text(Number(h) + ":00", labelBox, labelBox, Align::TopLeft, label, kBlack);
        const CDayCellObj* pCell = LiveCell(*this, CALENDAR_DAY, h + 1);
        if (pCell == nullptr)
            continue;
        const CRect textBox(cell.left + nLabelWidth, cell.top, cell.right, cell.bottom);
        painter.Lines(pCell->m_strText, textBox, 0, CellFont(*pCell, label.nHeight), pCell->m_crText);
    }
}

void CDrawRect::LoadHolidays()
{
    DWORD nFirst = 0;
    DWORD nLast = 0;
    const DWORD nStart = static_cast<DWORD>(m_nCalendarStart);
    if (!GetCalendarDays(m_nCalendarWords[1], nStart, m_nCalendarWords[3], nFirst, nLast)) {
        m_holidays[0].RemoveAll();
        m_holidays[1].RemoveAll();
        return;
    }
    FindHolidays(GetHolidayRules(), nFirst, nLast, m_holidays[0], m_holidays[1]);
}
