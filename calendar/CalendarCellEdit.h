#pragma once
// Typing into a calendar's cell where it shows: the selected cell of a
// calendar (its number from the last cell hit test) opens a small editor
// over it, headed by the cell's date (and hour, for the hours of a day
// calendar), with the cell's text in the cell's font and colour and the
// caret after the text. The editor works on a text of its own; the cell
// changes only when the edit ends with a text other than the one it began
// with, as one undoable change of the calendar's properties.
//
// The editor is the object's text editor (CDrawObj::m_pTextEditor), so the
// surface's Cut, Copy, Paste, Clear and Select All reach it as they reach
// the editor of wrapped text, and ending the edit goes the same way.

#include "platform/base/String.h"
#include "text/TextEditHost.h"

class CDrawObj;
class CObjectAttributes;

// The editor host over one cell. Its window text is the cell's date, drawn
// in a band above the editor.
class CCalendarCellEditHost : public CTextEditHost {
public:
    // strText is the cell's text as stored (CR LF line ends or LF).
    CCalendarCellEditHost(CDrawObj* pCalendar, int nKind, int nCell, const CString& strDate, const CString& strText);

    // rect is the cell's rectangle in the parent's client pixels: the
    // frame goes round it, the date band above it.
    BOOL Create(const RECT& rect, CWnd* pParent);

    int GetKind() const { return m_nKind; }
    int GetCell() const { return m_nCell; }
    const CString& GetDate() const { return m_strDate; }
    // The text as a cell stores it, lines ending in CR LF.
    CString GetCellText();
    // Whether the text differs from the one the edit began with.
    BOOL IsChanged();

    // The height of the date band in pixels.
    static int HeadingHeight();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PlaceEditor();
    void DrawHeading(CDC& dc);

    int m_nKind;
    int m_nCell;
    CString m_strDate;
    CString m_strOriginal; // as the editor holds it: LF line ends
};

// The date a calendar's cell stands for, as its editor heads it: "Tuesday,
// May 14, 2024", with ", 9:00" after it for an hour's cell; empty when the
// calendar has no such cell.
CString GetCalendarCellDate(CDrawObj& calendar, int nKind, int nCell);

// Opens the editor on the selected cell of a calendar shown in a view;
// FALSE (nothing begun) without a selected cell, a view window, or for a
// cell whose text is longer than an editor can hold. Sets the object's
// locked flag while the editor is open.
BOOL BeginCalendarCellEdit(CDrawObj& calendar);

// What an ended cell edit leaves to store.
struct CalendarCellText {
    int nKind = -1;
    int nCell = 0;
    CString strText;
};

// The cell and text of the cell editor open on the object, when the edit
// changed the text; FALSE for any other editor and for an unchanged text.
BOOL GetCalendarCellEdit(const CDrawObj& obj, CalendarCellText& edit);

// Writes the text into the record's cell, making the cell (with the usual
// colours) when the calendar had none of that number.
void PutCalendarCellText(CObjectAttributes& attrs, const CalendarCellText& edit);
