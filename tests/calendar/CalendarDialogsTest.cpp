// The Calendar set-up dialog and the day-cell dialogs, run modally and
// driven by the messages a user's clicks and typing send.

#include "tests/model/ModelTestSupport.h"

#include "app/JulianDate.h"
#include "calendar/CalendarSetupDlg.h"
#include "calendar/DayCellObj.h"
#include "calendar/EditDayDlg.h"
#include "controls/GridPicker.h"
#include "model/ObjectAttributes.h"
#include "platform/base/Clock.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/calendar.h"
#include "tests/controls/GridPickerSteps.h"
#include "tests/support/DialogDriver.h"

#include <string>

namespace {

using testing_support::DialogStep;

constexpr COLORREF kRed = RGB(255, 0, 0);
// The colour popup's cell of red.
constexpr int kRedCell = 9;

std::string WindowText(HWND hWnd)
{
    char text[256] = {};
    ::GetWindowText(hWnd, text, sizeof text);
    return text;
}

// A step that does something to the active dialog and always acts.
DialogStep Do(std::function<void(HWND)> action)
{
    return [action](HWND hDlg) {
        action(hDlg);
        return true;
    };
}

void Click(HWND hDlg, int nID)
{
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, nID)));
}

// A step that picks a cell of the colour popup once it is up.
class CalendarDialogsTest : public modeltest::WindowModelTest {
protected:
    void SetUp() override
    {
        WindowModelTest::SetUp();
        m_clock.SetDate(2026, 12, 7);
        platform::SetClockSource(&m_clock);
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        WindowModelTest::TearDown();
    }

    void Drive(std::vector<DialogStep> steps) { testing_support::DriveActiveWindow(std::move(steps)); }

    platform::FakeClock m_clock;
};

TEST_F(CalendarDialogsTest, SetupShowsTheRecordAndOkWritesTheChoice)
{
    CDrawRect calendar(CRect(0, 500, 700, 0));
    CObjectAttributes attrs;
    attrs.m_nCalendarStart = static_cast<LONG>(JulianDayFromDate(5, 15, 2024));
    attrs.m_nCalendarWords[CObjectAttributes::CalendarKindWord] = CALENDAR_YEAR;
    attrs.m_nCalendarWords[CObjectAttributes::FirstWeekdayWord] = 6;

    CCalendarSetupDlg dlg(m_pMain);
    dlg.SetCalendarData(&calendar, attrs, TRUE);
    std::string caption;
    bool bYearChecked = false;
    LRESULT nMonth = -1;
    LRESULT nWeekday = -1;
    std::string year;
    Drive({
        Do([&](HWND h) {
            caption = WindowText(h);
            bYearChecked = ::IsDlgButtonChecked(h, IDC_CAL_KIND_YEAR) == BST_CHECKED;
            nMonth = ::SendDlgItemMessage(h, IDC_CAL_MONTH, CB_GETCURSEL, 0, 0);
            nWeekday = ::SendDlgItemMessage(h, IDC_CAL_FIRST_WEEKDAY, CB_GETCURSEL, 0, 0);
            year = WindowText(::GetDlgItem(h, IDC_CAL_YEAR));
            // A week calendar of February 2025 whose weeks start on Sunday.
            ::CheckRadioButton(h, IDC_CAL_KIND_DAY, IDC_CAL_KIND_YEAR, IDC_CAL_KIND_WEEK);
            Click(h, IDC_CAL_KIND_WEEK);
            ::SendDlgItemMessage(h, IDC_CAL_MONTH, CB_SETCURSEL, 1, 0);
            ::SetDlgItemText(h, IDC_CAL_YEAR, "2025");
            ::SendDlgItemMessage(h, IDC_CAL_FIRST_WEEKDAY, CB_SETCURSEL, 6, 0);
        }),
        testing_support::PressButton(IDOK),
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(caption, "Calendar");
    EXPECT_TRUE(bYearChecked);
    EXPECT_EQ(nMonth, 4);
    EXPECT_EQ(year, "2024");
    EXPECT_EQ(nWeekday, 5);
    EXPECT_EQ(attrs.m_nCalendarStart, static_cast<LONG>(JulianDayFromDate(2, 1, 2025)));
    EXPECT_EQ(attrs.m_nCalendarWords[CObjectAttributes::CalendarKindWord], CALENDAR_WEEK);
    EXPECT_EQ(attrs.m_nCalendarWords[CObjectAttributes::FirstWeekdayWord], 7);
    EXPECT_TRUE(attrs.m_bIsCalendar);
}

TEST_F(CalendarDialogsTest, SetupRefusesAYearOutOfRangeAndCancelKeepsTheRecord)
{
    CObjectAttributes attrs;
    const LONG nStart = attrs.m_nCalendarStart;
    CCalendarSetupDlg dlg(m_pMain);
    // Not from the record: this month, a month calendar from Sunday.
    dlg.SetCalendarData(nullptr, attrs, FALSE);
    bool bMonthChecked = false;
    LRESULT nMonth = -1;
    LRESULT nWeekday = -1;
    size_t nBoxes = platform::headless::MessageBoxes().size();
    bool bStillUp = false;
    Drive({
        Do([&](HWND h) {
            bMonthChecked = ::IsDlgButtonChecked(h, IDC_CAL_KIND_MONTH) == BST_CHECKED;
            nMonth = ::SendDlgItemMessage(h, IDC_CAL_MONTH, CB_GETCURSEL, 0, 0);
            nWeekday = ::SendDlgItemMessage(h, IDC_CAL_FIRST_WEEKDAY, CB_GETCURSEL, 0, 0);
            ::SetDlgItemText(h, IDC_CAL_YEAR, "1200");
            Click(h, IDOK);
        }),
        [&](HWND h) {
            if (::GetDlgItem(h, IDC_CAL_YEAR) == NULL)
                return false;
            bStillUp = true;
            Click(h, IDCANCEL);
            return true;
        },
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(bMonthChecked);
    EXPECT_EQ(nMonth, 11);
    EXPECT_EQ(nWeekday, 6);
    EXPECT_TRUE(bStillUp);
    EXPECT_EQ(platform::headless::MessageBoxes().size(), nBoxes + 1);
    EXPECT_EQ(attrs.m_nCalendarStart, nStart);
    EXPECT_EQ(attrs.m_nCalendarWords[CObjectAttributes::CalendarKindWord], 3);
}

TEST_F(CalendarDialogsTest, SetupShowsDefaultsForARecordOutOfRange)
{
    CObjectAttributes attrs;
    attrs.m_nCalendarStart = -5;
    attrs.m_nCalendarWords[CObjectAttributes::CalendarKindWord] = 40;
    attrs.m_nCalendarWords[CObjectAttributes::FirstWeekdayWord] = 0;
    CCalendarSetupDlg dlg(m_pMain);
    dlg.SetCalendarData(nullptr, attrs, TRUE);
    EXPECT_EQ(dlg.m_nKind, CALENDAR_MONTH);
    EXPECT_EQ(dlg.m_nMonth, 12);
    EXPECT_EQ(dlg.m_nYear, 2026);
    EXPECT_EQ(dlg.m_nFirstWeekday, 7);
    Drive({testing_support::PressButton(IDOK)});
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(attrs.m_nCalendarStart, static_cast<LONG>(JulianDayFromDate(12, 1, 2026)));
}

// Each day-cell dialog: its caption, the cell's text shown, typed text and
// a text colour picked from the popup written back on OK.
TEST_F(CalendarDialogsTest, DayDialogsEditTheCellsTextAndColour)
{
    struct Road {
        const char* caption;
        std::function<std::unique_ptr<CEditDayDlg>()> make;
    };
    const std::vector<Road> roads = {
        {"Edit Day", [this] { return std::make_unique<CEditDayDlg>(m_pMain); }},
        {"Edit Hour", [this] { return std::make_unique<CEditDayDlg>(IDD_EDIT_HOUR, m_pMain); }},
        {"Day Item", [this] { return std::make_unique<CEditDayItemDlg>(m_pMain); }},
        {"Day Content", [this] { return std::make_unique<CEditDayContentDlg>(m_pMain); }},
    };
    for (const Road& road : roads) {
        CDayCellObj cell;
        cell.m_nNumber = 9;
        cell.m_strText = "Old text";
        cell.m_nInUse = 0;
        std::unique_ptr<CEditDayDlg> pDlg = road.make();
        pDlg->SetCell(&cell);
        std::string caption;
        std::string shown;
        Drive({
            Do([&](HWND h) {
                caption = WindowText(h);
                shown = WindowText(::GetDlgItem(h, IDC_DAY_TEXT));
                ::SetDlgItemText(h, IDC_DAY_TEXT, "Dentist at nine");
                // Posted: the popup runs its own loop.
                ::PostMessage(h, WM_COMMAND, MAKEWPARAM(IDC_DAY_TEXT_COLOR, BN_CLICKED),
                    LPARAM(::GetDlgItem(h, IDC_DAY_TEXT_COLOR)));
            }),
            testing_support::PickGridCell(kRedCell),
            [](HWND h) {
                if (::GetDlgItem(h, IDC_DAY_TEXT) == NULL)
                    return false;
                Click(h, IDOK);
                return true;
            },
        });
        ASSERT_EQ(pDlg->DoModal(), IDOK) << road.caption;
        EXPECT_EQ(caption, road.caption);
        EXPECT_EQ(shown, "Old text") << road.caption;
        EXPECT_STREQ(cell.m_strText, "Dentist at nine") << road.caption;
        EXPECT_EQ(cell.m_crText, kRed) << road.caption;
        EXPECT_EQ(cell.m_crBack, RGB(255, 255, 255)) << road.caption;
        EXPECT_EQ(cell.m_nInUse, CDayCellObj::kInUse) << road.caption;
    }
}

TEST_F(CalendarDialogsTest, CancelLeavesTheCellAsItWas)
{
    CDayCellObj cell;
    cell.m_strText = "Keep";
    cell.m_crBack = RGB(0, 0, 128);
    CEditDayDlg dlg(m_pMain);
    dlg.SetCell(&cell);
    Drive({
        Do([](HWND h) { ::SetDlgItemText(h, IDC_DAY_TEXT, "Changed"); }),
        testing_support::PressButton(IDCANCEL),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_STREQ(cell.m_strText, "Keep");
    EXPECT_EQ(cell.m_crBack, RGB(0, 0, 128));
}

} // namespace
