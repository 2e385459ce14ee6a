// The in-place editor of a calendar's cell: where it opens, what it shows
// and how its text goes back into the cell.

#include "calendar/CalendarCellEdit.h"

#include "app/JulianDate.h"
#include "calendar/CalendarLayout.h"
#include "calendar/DayCellObj.h"
#include "controls/SharedFonts.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "model/ObjectAttributes.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "surface/Surface.h"
#include "text/WrapText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The frame the host draws round its editor, in pixels each way.
constexpr int kFrame = 6;
// An editor smaller than this on the screen cannot be typed into: a small
// cell (a zoomed-out calendar) gets at least this much room, growing to the
// right and down from its top left.
constexpr int kMinEditorWidth = 120;
constexpr int kMinEditorHeight = 48;
// The shared font of the date band (8 points, bold) and the room left and
// right of the date.
constexpr int kHeadingFont = 3;
constexpr int kHeadingMargin = 3;
// The cell text's size in points stays readable and bounded whatever the
// calendar's size.
constexpr int kMinPoints = 6;
constexpr int kMaxPoints = 72;

CString Number(long n)
{
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%ld", n);
    return CString(buffer);
}

// The height, in logical units, at which the calendar draws the text of a
// cell of this size: a share of a month's or week's cell, and for an hour
// that of its label.
long long CellTextHeight(int nKind, const CRect& cell)
{
    const long long nHeight = std::llabs(static_cast<long long>(cell.top) - cell.bottom);
    const long long nWidth = std::llabs(static_cast<long long>(cell.right) - cell.left);
    if (nKind == CALENDAR_DAY)
        return std::min(nHeight * 60 / 100, nWidth * 12 / 100 * 30 / 100);
    return std::min(nHeight * 15 / 100, nWidth * 13 / 100);
}

// The editor's text in the cell's face, size, weight, slant and colour.
void StyleText(CWrapText& text, const CDrawRect& calendar, const CDayCellObj* pCell, int nKind, const CRect& cell)
{
    char face[LF_FACESIZE + 1] = {};
    if (pCell != nullptr)
        std::memcpy(face, pCell->m_logfont.lfFaceName, LF_FACESIZE);
    CString strFace = face;
    if (strFace.IsEmpty())
        strFace = calendar.m_strCalendarFace;
    if (strFace.IsEmpty())
        strFace = "Arial";
    // Hundredths of an inch to points.
    const int nPoints = static_cast<int>(std::clamp<long long>(CellTextHeight(nKind, cell) * 72 / 100, kMinPoints,
        kMaxPoints));
    int nStyle = 0;
    if (pCell != nullptr && pCell->m_logfont.lfWeight >= FW_BOLD)
        nStyle |= WRAP_STYLE_BOLD;
    if (pCell != nullptr && pCell->m_logfont.lfItalic != 0)
        nStyle |= WRAP_STYLE_ITALIC;
    text.SetDefaultFont(strFace, nPoints, DEFAULT_CHARSET, nStyle);
    text.SetColor(pCell != nullptr ? pCell->m_crText & 0xFFFFFF : RGB(0, 0, 0), 0, kWrapTextEnd);
}

CObList* RecordCells(CObjectAttributes& attrs, int nKind)
{
    switch (nKind) {
    case CALENDAR_DAY: return &attrs.m_dayCells;
    case CALENDAR_WEEK: return &attrs.m_weekCells;
    case CALENDAR_MONTH: return &attrs.m_monthCells;
    default: return nullptr;
    }
}

} // namespace

// ---- The host ----------------------------------------------------------------------------------

CCalendarCellEditHost::CCalendarCellEditHost(
    CDrawObj* pCalendar, int nKind, int nCell, const CString& strDate, const CString& strText)
    : CTextEditHost(nullptr, pCalendar)
    , m_nKind(nKind)
    , m_nCell(nCell)
    , m_strDate(strDate)
{
    CWrapText* pText = GetEditor().GetText();
    pText->SetText(strText);
    // Compared in the text's own form: line ends folded as it folds them.
    m_strOriginal = pText->GetText();
}

BOOL CCalendarCellEditHost::Create(const RECT& rect, CWnd* pParent)
{
    // Wide enough for the whole date, however narrow the cell.
    int nMinWidth = kMinEditorWidth;
    if (CFont* pFont = GetSharedFont(kHeadingFont)) {
        CClientDC dc(pParent);
        CFont* pOldFont = dc.SelectObject(pFont);
        const int nBorders = 2 * ::GetSystemMetrics(SM_CXBORDER);
        nMinWidth = std::max(nMinWidth, int(dc.GetTextExtent(m_strDate).cx) + 2 * kHeadingMargin + nBorders);
        dc.SelectObject(pOldFont);
    }
    CRect host(rect);
    host.NormalizeRect();
    host.right = std::max<LONG>(host.right, host.left + nMinWidth);
    host.bottom = std::max<LONG>(host.bottom, host.top + kMinEditorHeight);
    host.InflateRect(kFrame, kFrame);
    host.top -= HeadingHeight();
    if (!CTextEditHost::Create(host, pParent))
        return FALSE;
    SetWindowText(m_strDate);
    return TRUE;
}

CString CCalendarCellEditHost::GetCellText()
{
    CString strText = GetEditor().GetTextString();
    strText.Replace("\n", "\r\n");
    return strText;
}

BOOL CCalendarCellEditHost::IsChanged()
{
    return GetEditor().GetTextString() != m_strOriginal;
}

int CCalendarCellEditHost::HeadingHeight()
{
    LOGFONT lf{};
    CFont* pFont = GetSharedFont(kHeadingFont);
    if (pFont != nullptr && pFont->GetLogFont(&lf) && lf.lfHeight != 0)
        return std::abs(lf.lfHeight) + 6;
    return 18;
}

void CCalendarCellEditHost::PlaceEditor()
{
    CTextEditWnd& editor = GetEditor();
    if (m_hWnd == NULL || editor.m_hWnd == NULL)
        return;
    CRect rc;
    GetClientRect(&rc);
    const int nTop = kFrame + HeadingHeight();
    editor.SetWindowPos(nullptr, kFrame, nTop, std::max(0, rc.Width() - 2 * kFrame),
        std::max(0, rc.Height() - nTop - kFrame), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCalendarCellEditHost::DrawHeading(CDC& dc)
{
    CRect rc;
    GetClientRect(&rc);
    CRect band(kFrame, kFrame, rc.right - kFrame, kFrame + HeadingHeight());
    if (band.IsRectEmpty())
        return;
    CFont* pOldFont = nullptr;
    if (CFont* pFont = GetSharedFont(kHeadingFont))
        pOldFont = dc.SelectObject(pFont);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    band.DeflateRect(kHeadingMargin, 0);
    dc.DrawText(m_strDate, &band, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (pOldFont != nullptr)
        dc.SelectObject(pOldFont);
}

LRESULT CCalendarCellEditHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        const LRESULT lResult = CTextEditHost::WindowProc(message, wParam, lParam);
        if (lResult != -1)
            PlaceEditor();
        return lResult;
    }
    case WM_SIZE:
        CTextEditHost::WindowProc(message, wParam, lParam);
        if (wParam != SIZE_MINIMIZED)
            PlaceEditor();
        return 0;
    case WM_ERASEBKGND:
        CTextEditHost::WindowProc(message, wParam, lParam);
        DrawHeading(*CDC::FromHandle(HDC(wParam)));
        return TRUE;
    case WM_PAINT: {
        // The frame first, as the host paints it; the date over its face.
        CTextEditHost::WindowProc(message, wParam, lParam);
        CClientDC dc(this);
        DrawHeading(dc);
        return 0;
    }
    default:
        break;
    }
    return CTextEditHost::WindowProc(message, wParam, lParam);
}

// ---- Beginning and ending ----------------------------------------------------------------------

CString GetCalendarCellDate(CDrawObj& calendar, int nKind, int nCell)
{
    auto* pCalendar = dynamic_cast<CDrawRect*>(&calendar);
    DWORD nFirst = 0;
    DWORD nLast = 0;
    if (pCalendar == nullptr || !calendar.IsCalendar() || nCell < 1
        || nCell > GetCalendarCellCount(nKind, static_cast<DWORD>(pCalendar->m_nCalendarStart))
        || !GetCalendarDays(nKind, static_cast<DWORD>(pCalendar->m_nCalendarStart), pCalendar->m_nCalendarWords[3],
            nFirst, nLast))
        return CString();
    // An hour's cell lies on the calendar's one day.
    const DWORD nDay = nKind == CALENDAR_DAY ? nFirst : nFirst + static_cast<DWORD>(nCell - 1);
    const CJulianDate date(nDay);
    CString strDate = GetWeekdayName(date.GetDayOfWeek(), FALSE) + ", " + GetMonthName(date.GetMonth(), FALSE) + " "
        + Number(date.GetDay()) + ", " + Number(date.GetYear());
    if (nKind == CALENDAR_DAY)
        strDate += ", " + Number(nCell - 1) + ":00";
    return strDate;
}

BOOL BeginCalendarCellEdit(CDrawObj& obj)
{
    auto* pCalendar = dynamic_cast<CDrawRect*>(&obj);
    if (pCalendar == nullptr || !obj.IsCalendar() || obj.m_pTextEditor != nullptr
        || (obj.m_wFlags & OBJ_FLAG_LOCKED) != 0)
        return FALSE;
    const int nKind = pCalendar->m_nCalendarWords[1];
    const int nCell = obj.m_nCalendarIndex;
    CRect cell;
    if (nCell < 1
        || !GetCalendarCellRect(obj.m_position, nKind, static_cast<DWORD>(pCalendar->m_nCalendarStart),
            pCalendar->m_nCalendarWords[3], nCell, cell))
        return FALSE;
    // Like wrapped text, the editor is a child of the view that shows the
    // calendar: without one there is nowhere to put it.
    CSurface* pView = obj.GetSurface();
    if (pView == nullptr || pView->m_hWnd == NULL)
        return FALSE;
    const CDayCellObj* pCell = obj.FindDayCell(nKind, nCell);
    const CString strText = pCell != nullptr ? pCell->m_strText : CString();
    // A cell from a file may hold more than an editor can: it would come
    // back cut short.
    if (strText.GetLength() > kWrapMaxLength)
        return FALSE;

    CRect device = cell;
    pView->LPtoDPRect(&device);
    device.NormalizeRect();
    auto pHost = std::make_unique<CCalendarCellEditHost>(
        &obj, nKind, nCell, GetCalendarCellDate(obj, nKind, nCell), strText);
    StyleText(*pHost->GetEditor().GetText(), *pCalendar, pCell, nKind, cell);
    obj.m_wFlags |= OBJ_FLAG_LOCKED;
    if (!pHost->Create(device, pView)) {
        obj.m_wFlags &= ~WORD(OBJ_FLAG_LOCKED);
        return FALSE;
    }
    CCalendarCellEditHost* pOpen = pHost.release();
    obj.m_pTextEditor = pOpen;
    pOpen->ShowWindow(SW_SHOW);
    pOpen->SetFocus();
    // Typing goes on after what the cell says.
    pOpen->GetEditor().SetCaretPosition(pOpen->GetEditor().GetText()->GetLength());
    // The handles go while the editor is open.
    obj.Invalidate();
    return TRUE;
}

BOOL GetCalendarCellEdit(const CDrawObj& obj, CalendarCellText& edit)
{
    auto* pHost = dynamic_cast<CCalendarCellEditHost*>(obj.m_pTextEditor);
    if (pHost == nullptr || !pHost->IsChanged())
        return FALSE;
    edit.nKind = pHost->GetKind();
    edit.nCell = pHost->GetCell();
    edit.strText = pHost->GetCellText();
    return TRUE;
}

void PutCalendarCellText(CObjectAttributes& attrs, const CalendarCellText& edit)
{
    CObList* pCells = RecordCells(attrs, edit.nKind);
    if (pCells == nullptr || edit.nCell < 1)
        return;
    CDayCellObj* pCell = nullptr;
    for (POSITION pos = pCells->GetHeadPosition(); pos != nullptr && pCell == nullptr;) {
        auto* pEach = static_cast<CDayCellObj*>(pCells->GetNext(pos));
        if (pEach != nullptr && pEach->m_nNumber == edit.nCell)
            pCell = pEach;
    }
    if (pCell == nullptr) {
        if (pCells->GetCount() >= CDayCellObj::kMaxCells)
            return;
        auto pNew = std::make_unique<CDayCellObj>();
        pNew->m_nNumber = edit.nCell;
        pCells->AddTail(pNew.get());
        pCell = pNew.release();
    }
    pCell->m_strText = edit.strText.Left(CDayCellObj::kMaxCellText);
    pCell->m_nInUse = CDayCellObj::kInUse;
}
