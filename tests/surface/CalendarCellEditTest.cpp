// A calendar's cells typed into where they show: the text tool on a cell
// opens an editor headed by the cell's date with the cell's text and the
// caret after it; a click outside keeps what was typed in the cell, which
// the saved design carries and undo takes back.

#include "tests/surface/ToolTestSupport.h"

#include "app/JulianDate.h"
#include "calendar/CalendarCellEdit.h"
#include "calendar/CalendarLayout.h"
#include "calendar/DayCellObj.h"
#include "model/DrawRect.h"
#include "platform/files/HostPath.h"
#include "tests/support/TestHome.h"
#include "text/TextEditHost.h"
#include "text/WrapText.h"

#include <string>

namespace surfacetest {
namespace {

class CalendarCellEditTest : public ToolTest {
protected:
    // A calendar of kind nKind on the start day, Sunday first, 7 by 6
    // inches round the surface's middle.
    static CDrawRect* AddCalendar(CSurface* pView, int nKind, WORD nMonth, WORD nDay, WORD nYear)
    {
        const CRect rect(-350, 300, 350, -300);
        auto* pCalendar = new CDrawRect(rect);
        pCalendar->m_nCalendarStart = static_cast<LONG>(JulianDayFromDate(nMonth, nDay, nYear));
        pCalendar->m_nCalendarWords[1] = nKind;
        pCalendar->m_nCalendarWords[3] = 7;
        pView->Add(pCalendar);
        return pCalendar;
    }

    // The client point in the middle of a cell.
    static CPoint CellMiddle(CSurface* pView, CDrawRect* pCalendar, int nCell)
    {
        CRect cell;
        EXPECT_TRUE(GetCalendarCellRect(pCalendar->m_position, pCalendar->m_nCalendarWords[1],
            static_cast<DWORD>(pCalendar->m_nCalendarStart), pCalendar->m_nCalendarWords[3], nCell, cell));
        return ClientAt(pView, cell.CenterPoint());
    }

    // The text tool's click on a cell; the cell's editor, or null.
    static CCalendarCellEditHost* ClickCellWithTextTool(CSurface* pView, CDrawRect* pCalendar, int nCell)
    {
        SetCurrentShape(pView, kShapeText);
        const CPoint point = CellMiddle(pView, pCalendar, nCell);
        Press(pView, point);
        Release(pView, point);
        return dynamic_cast<CCalendarCellEditHost*>(pCalendar->m_pTextEditor);
    }

    static void Type(const char* pszText)
    {
        const HWND hFocus = ::GetFocus();
        for (const char* p = pszText; *p != '\0'; ++p)
            ::SendMessage(hFocus, WM_CHAR, static_cast<BYTE>(*p), 1);
        Pump();
    }

    static void ClickPaperOutside(CSurface* pView)
    {
        const CPoint outside = ClientAt(pView, CPoint(-420, -360));
        Press(pView, outside);
        Release(pView, outside);
    }
};

TEST_F(CalendarCellEditTest, ADayTypedIntoInPlaceIsSavedAndUndoGivesTheOldTextBack)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pCalendar = AddCalendar(pView, CALENDAR_MONTH, 5, 1, 2024);
    pCalendar->SetCellText(CALENDAR_MONTH, 14, "Dentist");
    CDrawDoc* pDoc = pView->GetDocument();
    pDoc->SetModifiedFlag(FALSE);
    const int nSteps = Undo(pView).GetCount();

    CCalendarCellEditHost* pHost = ClickCellWithTextTool(pView, pCalendar, 14);
    ASSERT_NE(pHost, nullptr) << "the text tool on a cell edits it";
    EXPECT_TRUE(pCalendar->IsTextEditActive());
    EXPECT_EQ(pHost->GetCell(), 14);
    CString strCaption;
    pHost->GetWindowText(strCaption);
    EXPECT_EQ(strCaption, CString("Tuesday, May 14, 2024"));
    // Over the cell, a child of the view, holding the keys.
    CRect cell;
    GetCalendarCellRect(pCalendar->m_position, CALENDAR_MONTH, static_cast<DWORD>(pCalendar->m_nCalendarStart), 7,
        14, cell);
    pView->LPtoDPRect(&cell);
    cell.NormalizeRect();
    CRect host;
    pHost->GetWindowRect(&host);
    pView->ScreenToClient(&host);
    EXPECT_TRUE(host.PtInRect(cell.CenterPoint()));
    EXPECT_EQ(pHost->GetParent(), pView);
    CTextEditWnd& editor = pHost->GetEditor();
    const HWND hFocus = ::GetFocus();
    ASSERT_TRUE(hFocus == editor.m_hWnd);
    EXPECT_EQ(editor.GetTextString(), CString("Dentist"));
    EXPECT_EQ(editor.GetCaretPosition(), 7) << "the caret after the text";

    Type(" 9:30\rCall Ann");
    // Nothing reaches the cell before the edit ends.
    EXPECT_EQ(pCalendar->GetCellText(CALENDAR_MONTH, 14), CString("Dentist"));
    ClickPaperOutside(pView);
    EXPECT_FALSE(pCalendar->IsTextEditActive());
    EXPECT_EQ(pCalendar->m_pTextEditor, nullptr);
    EXPECT_FALSE(pCalendar->m_wFlags & OBJ_FLAG_LOCKED);
    EXPECT_EQ(pCalendar->GetCellText(CALENDAR_MONTH, 14), CString("Dentist 9:30\r\nCall Ann"));
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(Undo(pView).GetCount(), nSteps + 1) << "the edit is one step";

    const std::string path = platform::WindowsPathFor(testing_support::MakeTempDir("celledit") + "/month.gen");
    ASSERT_TRUE(pDoc->OnSaveDocument(path.c_str()));

    // Undone, the day says what it said before.
    ASSERT_TRUE(Undo(pView).Undo(pDoc));
    auto* pUndone = dynamic_cast<CDrawRect*>(AsDrawObj(pView->GetObjects().GetHead()));
    ASSERT_NE(pUndone, nullptr);
    EXPECT_EQ(pUndone->GetCellText(CALENDAR_MONTH, 14), CString("Dentist"));
    pDoc->SetModifiedFlag(FALSE);
    pDoc->OnCloseDocument();
    Pump();

    auto* pReopened = static_cast<CDrawDoc*>(m_pTemplate->OpenDocumentFile(path.c_str()));
    Pump();
    ASSERT_NE(pReopened, nullptr);
    CSurface* pOther = FirstView(pReopened);
    ASSERT_EQ(pOther->GetObjects().GetCount(), 1);
    auto* pKept = dynamic_cast<CDrawRect*>(AsDrawObj(pOther->GetObjects().GetHead()));
    ASSERT_NE(pKept, nullptr);
    ASSERT_TRUE(pKept->IsCalendar());
    EXPECT_EQ(pKept->GetCellText(CALENDAR_MONTH, 14), CString("Dentist 9:30\r\nCall Ann"));
}

TEST_F(CalendarCellEditTest, AnHourIsHeadedByItsDateAndHourAndAnEditThatChangesNothingLeavesNoStep)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pCalendar = AddCalendar(pView, CALENDAR_DAY, 12, 31, 2025);
    CDrawDoc* pDoc = pView->GetDocument();
    pDoc->SetModifiedFlag(FALSE);
    const int nSteps = Undo(pView).GetCount();

    // Cell 10 holds 9 o'clock; it was never given a text.
    CCalendarCellEditHost* pHost = ClickCellWithTextTool(pView, pCalendar, 10);
    ASSERT_NE(pHost, nullptr);
    CString strCaption;
    pHost->GetWindowText(strCaption);
    EXPECT_EQ(strCaption, CString("Wednesday, December 31, 2025, 9:00"));
    EXPECT_TRUE(pHost->GetEditor().GetTextString().IsEmpty());
    ClickPaperOutside(pView);
    EXPECT_FALSE(pCalendar->IsTextEditActive());
    EXPECT_EQ(pCalendar->FindDayCell(CALENDAR_DAY, 10), nullptr) << "no cell made for nothing";
    EXPECT_EQ(Undo(pView).GetCount(), nSteps);
    EXPECT_FALSE(pDoc->IsModified());

    // Typed into, the hour gets a cell of its own.
    pHost = ClickCellWithTextTool(pView, pCalendar, 10);
    ASSERT_NE(pHost, nullptr);
    Type("Standup");
    ClickPaperOutside(pView);
    const CDayCellObj* pCell = pCalendar->FindDayCell(CALENDAR_DAY, 10);
    ASSERT_NE(pCell, nullptr);
    EXPECT_EQ(pCell->m_strText, CString("Standup"));
    EXPECT_EQ(Undo(pView).GetCount(), nSteps + 1);
    ASSERT_TRUE(Undo(pView).Undo(pDoc));
    auto* pUndone = dynamic_cast<CDrawRect*>(AsDrawObj(pView->GetObjects().GetHead()));
    ASSERT_NE(pUndone, nullptr);
    EXPECT_TRUE(pUndone->GetCellText(CALENDAR_DAY, 10).IsEmpty());
}

TEST_F(CalendarCellEditTest, AWeekCellNamesItsOwnDayAndNoCellOrNoViewBeginsNothing)
{
    CSurface* pView = NewToolView();
    ASSERT_NE(pView, nullptr);
    // The week of Wednesday 1 May 2024 begins on Sunday 28 April.
    CDrawRect* pWeek = AddCalendar(pView, CALENDAR_WEEK, 5, 1, 2024);
    EXPECT_EQ(GetCalendarCellDate(*pWeek, CALENDAR_WEEK, 1), CString("Sunday, April 28, 2024"));
    EXPECT_EQ(GetCalendarCellDate(*pWeek, CALENDAR_WEEK, 7), CString("Saturday, May 4, 2024"));
    EXPECT_TRUE(GetCalendarCellDate(*pWeek, CALENDAR_WEEK, 8).IsEmpty());

    // No cell selected: nothing to edit.
    pWeek->m_nCalendarIndex = -1;
    pWeek->BeginTextEdit();
    EXPECT_FALSE(pWeek->IsTextEditActive());
    EXPECT_FALSE(pWeek->m_wFlags & OBJ_FLAG_LOCKED);

    // A calendar no view shows has nowhere to put the editor.
    CDrawRect loose(CRect(-350, 300, 350, -300));
    loose.m_nCalendarStart = pWeek->m_nCalendarStart;
    loose.m_nCalendarWords[1] = CALENDAR_WEEK;
    loose.m_nCalendarWords[3] = 7;
    loose.m_nCalendarIndex = 3;
    loose.BeginTextEdit();
    EXPECT_FALSE(loose.IsTextEditActive());
    EXPECT_FALSE(loose.m_wFlags & OBJ_FLAG_LOCKED);
}

} // namespace
} // namespace surfacetest
