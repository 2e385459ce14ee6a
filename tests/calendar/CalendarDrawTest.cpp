// Calendars drawn through the rectangle object into memory DCs prepared by
// a real surface view of the headless back end (y up, zoom 100 and 37) and
// into the printer DC: the month grid's lines and day numbers where the
// layout puts them, twelve months of a year, the week and day grids, a
// cell's own colours and text, a listed holiday in its cell, and a golden
// picture of a month.

#include "model/DrawRect.h"

#include "tests/model/ModelTestSupport.h"

#include "app/JulianDate.h"
#include "calendar/DayCellObj.h"
#include "calendar/Holidays.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "tests/support/TestHome.h"

#include <cairo/cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using modeltest::ViewBitmap;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kPen = RGB(0, 0, 255);
constexpr COLORREF kHoliday = RGB(176, 0, 0);

// The month calendar of the tests: 700 wide and 600 high about the page's
// centre, so that by the layout's rule the title band ends at 210, the
// weekday row at 168, the rows at 168 - 78 r and the columns at -350 + 100 c.
const CRect kMonthRect(-350, 300, 350, -300);
constexpr int kGridTop = 168;
int RowTop(int r)
{
    return kGridTop - 78 * r;
}
int ColumnLeft(int c)
{
    return -350 + 100 * c;
}

class CalendarDrawTest : public modeltest::DesignViewTest {
protected:
    void TearDown() override
    {
        platform::SetProgramFolderForTests("");
        ResetHolidayRules();
        modeltest::DesignViewTest::TearDown();
    }

    // A calendar of the view (the view owns it) outlined in kPen, showing
    // the month (or week, day, year) of the date, weeks starting on Sunday.
    CDrawRect* Place(const CRect& rect, int nKind, WORD nMonth, WORD nDay, WORD nYear)
    {
        auto* pCalendar = new CDrawRect(rect, SHAPE_RECTANGLE);
        pCalendar->m_logpen.lopnColor = kPen;
        pCalendar->m_nCalendarStart = static_cast<LONG>(JulianDayFromDate(nMonth, nDay, nYear));
        pCalendar->m_nCalendarWords[1] = nKind;
        pCalendar->m_nCalendarWords[3] = 7;
        m_pView->Add(pCalendar);
        return pCalendar;
    }
    void Discard(CDrawRect* pCalendar)
    {
        m_pView->Remove(pCalendar);
        delete pCalendar;
    }
    // The program folder moved to a new one whose support\holidays.txt
    // holds the text; the list is read again.
    void UseHolidayList(const std::string& text)
    {
        const std::string folder = testing_support::MakeTempDir("program");
        std::filesystem::create_directories(folder + "/support");
        testing_support::WriteFileBytes(folder + "/support/holidays.txt", text);
        platform::SetProgramFolderForTests(folder);
        ResetHolidayRules();
    }
};

// How many pixels of a colour lie strictly inside a logical rectangle (one
// device pixel in from each side, clear of the grid lines).
int CountInside(ViewBitmap& bmp, const CRect& logical, COLORREF cr)
{
    const CPoint a = bmp.ToDevice(logical.left, logical.top);
    const CPoint b = bmp.ToDevice(logical.right, logical.bottom);
    CRect device(a, b);
    device.NormalizeRect();
    device.DeflateRect(2, 2);
    int n = 0;
    for (COLORREF pixel : bmp.Pixels(device))
        n += pixel == cr ? 1 : 0;
    return n;
}

bool Has(const std::set<COLORREF>& colours, COLORREF cr)
{
    return colours.count(cr) != 0;
}

// May 2024 starts on a Wednesday: with Sunday first the 1st stands in the
// fourth column and the 31st in the sixth column of the fifth row; the
// lines lie on the layout's boundaries and the inner columns start below
// the title band. At either zoom.
TEST_F(CalendarDrawTest, MayWithSundayFirstPutsTheFirstInTheFourthColumn)
{
    for (int nZoom : {100, 37}) {
        SCOPED_TRACE(nZoom);
        SetZoom(nZoom);
        CDrawRect* pCalendar = Place(kMonthRect, CALENDAR_MONTH, 5, 15, 2024);
        ViewBitmap bmp(m_pView);
        pCalendar->Draw(bmp.Dc());
        Discard(pCalendar);

        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(CountInside(bmp, CRect(ColumnLeft(c), RowTop(0), ColumnLeft(c + 1), RowTop(1)), kBlack), 0) << c;
        // "1" at the top left of its cell, nothing lower down.
        EXPECT_GT(CountInside(bmp, CRect(ColumnLeft(3), RowTop(0), ColumnLeft(3) + 50, RowTop(0) - 35), kBlack), 0);
        EXPECT_EQ(CountInside(bmp, CRect(ColumnLeft(3), RowTop(0) - 40, ColumnLeft(4), RowTop(1)), kBlack), 0);
        EXPECT_GT(CountInside(bmp, CRect(ColumnLeft(5), RowTop(4), ColumnLeft(6), RowTop(5)), kBlack), 0); // 31
        EXPECT_EQ(CountInside(bmp, CRect(ColumnLeft(6), RowTop(4), ColumnLeft(7), RowTop(5)), kBlack), 0);
        EXPECT_EQ(CountInside(bmp, CRect(ColumnLeft(0), RowTop(5), ColumnLeft(7), -300), kBlack), 0);
        // The title and the weekday names.
        EXPECT_GT(CountInside(bmp, CRect(-350, 300, 350, 210), kBlack), 0);
        EXPECT_GT(CountInside(bmp, CRect(ColumnLeft(0), 210, ColumnLeft(1), kGridTop), kBlack), 0);

        for (int y : {210, kGridTop, RowTop(1), RowTop(3), RowTop(5)})
            EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(-330, y), 1), kPen)) << "row line " << y;
        for (int c = 1; c < 7; ++c) {
            EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(ColumnLeft(c), -100), 1), kPen)) << "column line " << c;
            EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(ColumnLeft(c), 190), 1), kPen)) << "weekday row " << c;
        }
        EXPECT_FALSE(Has(bmp.ColorsAround(CPoint(ColumnLeft(1), 260), 2), kPen));
        EXPECT_EQ(bmp.At(ColumnLeft(2) + 50, RowTop(2) - 60), kWhite);
    }
}

// A calendar without an outline draws its grid in black; a cell's back
// colour fills it and its text shows in its colour below the day number.
TEST_F(CalendarDrawTest, CellsShowTheirColoursAndTextAndTheGridFollowsTheOutline)
{
    CDrawRect* pCalendar = Place(kMonthRect, CALENDAR_MONTH, 5, 1, 2024);
    pCalendar->m_bOutline = FALSE;
    pCalendar->SetCellText(CALENDAR_MONTH, 15, "Dentist");
    CDayCellObj* pCell = pCalendar->FindDayCell(CALENDAR_MONTH, 15);
    ASSERT_NE(pCell, nullptr);
    pCell->m_crBack = RGB(255, 255, 0);
    pCell->m_crText = RGB(0, 128, 0);
    ViewBitmap bmp(m_pView);
    pCalendar->Draw(bmp.Dc());
    Discard(pCalendar);

    // The 15th: position 17, row 2, column 3.
    const CRect cell15(ColumnLeft(3), RowTop(2), ColumnLeft(4), RowTop(3));
    EXPECT_EQ(bmp.At(ColumnLeft(3) + 90, RowTop(3) + 5), RGB(255, 255, 0));
    EXPECT_GT(CountInside(bmp, cell15, RGB(0, 128, 0)), 0);
    EXPECT_EQ(CountInside(bmp, CRect(ColumnLeft(4), RowTop(2), ColumnLeft(5), RowTop(3)), RGB(255, 255, 0)), 0);
    EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(ColumnLeft(2), -100), 1), kBlack));
    EXPECT_FALSE(Has(bmp.ColorsAround(CPoint(ColumnLeft(2), -100), 1), kPen));
}

// A year calendar: the year above twelve small months, four to a row,
// each with its title band, weekday row and numbers.
TEST_F(CalendarDrawTest, AYearShowsTwelveMonths)
{
    SetZoom(37);
    const CRect rect(-400, 500, 400, -500);
    CDrawRect* pCalendar = Place(rect, CALENDAR_YEAR, 3, 10, 2024);
    ViewBitmap bmp(m_pView);
    pCalendar->Draw(bmp.Dc());
    Discard(pCalendar);

    EXPECT_GT(CountInside(bmp, CRect(-400, 500, 400, 400), kBlack), 0);
    // Twelve boxes below the year's band, 200 wide and 300 high.
    for (int n = 0; n < 12; ++n) {
        SCOPED_TRACE(n + 1);
        const int left = -400 + 200 * (n % 4);
        const int top = 400 - 300 * (n / 4);
        EXPECT_GT(CountInside(bmp, CRect(left + 20, top - 15, left + 180, top - 50), kBlack), 0) << "title";
        EXPECT_GT(CountInside(bmp, CRect(left + 20, top - 120, left + 180, top - 280), kBlack), 0) << "days";
        EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(left + 100, top - 285), 4), kPen)) << "grid";
    }
}

// The week holding Thursday 30 May 2024, from Sunday 26 May: seven columns
// headed by their dates; a day of 24 hour rows under its date.
TEST_F(CalendarDrawTest, WeekAndDayCalendarsDrawTheirGrids)
{
    const CRect rect(-350, 300, 350, -300);
    CDrawRect* pWeek = Place(rect, CALENDAR_WEEK, 5, 30, 2024);
    pWeek->SetCellText(CALENDAR_WEEK, 7, "Trip");
    pWeek->FindDayCell(CALENDAR_WEEK, 7)->m_crText = RGB(0, 128, 0);
    ViewBitmap bmp(m_pView);
    pWeek->Draw(bmp.Dc());
    Discard(pWeek);
    // Title to 228, heading row to 168, columns every 100.
    for (int c = 1; c < 7; ++c) {
        EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(ColumnLeft(c), 0), 1), kPen)) << c;
        EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(ColumnLeft(c), 200), 1), kPen)) << c;
        EXPECT_GT(CountInside(bmp, CRect(ColumnLeft(c), 228, ColumnLeft(c + 1), 168), kBlack), 0) << c;
    }
    EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(-300, 228), 1), kPen));
    EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(-300, 168), 1), kPen));
    EXPECT_GT(CountInside(bmp, CRect(-350, 300, 350, 228), kBlack), 0);
    EXPECT_GT(CountInside(bmp, CRect(ColumnLeft(6), 168, ColumnLeft(7), -300), RGB(0, 128, 0)), 0);
    EXPECT_EQ(CountInside(bmp, CRect(ColumnLeft(5), 168, ColumnLeft(6), -300), RGB(0, 128, 0)), 0);

    bmp.Clear();
    CDrawRect* pDay = Place(CRect(-350, 300, 350, -180), CALENDAR_DAY, 5, 30, 2024);
    pDay->SetCellText(CALENDAR_DAY, 10, "Meeting");
    pDay->Draw(bmp.Dc());
    Discard(pDay);
    // Height 480: the title to 243, hours every 20.375 below.
    EXPECT_GT(CountInside(bmp, CRect(-350, 300, 350, 243), kBlack), 0);
    for (int h = 0; h <= 24; ++h) {
        const int y = 243 - static_cast<int>(423LL * h / 24);
        EXPECT_TRUE(Has(bmp.ColorsAround(CPoint(200, y), 1), kPen)) << h;
    }
    // Hour 9 (cell 10) holds the text right of its label.
    const int top9 = 243 - 423 * 9 / 24;
    const int bottom9 = 243 - 423 * 10 / 24;
    EXPECT_GT(CountInside(bmp, CRect(-350 + 84, top9, 350, bottom9), kBlack), 0);
    EXPECT_EQ(CountInside(bmp, CRect(-350 + 84, bottom9, 350, 243 - 423 * 11 / 24), kBlack), 0);
}

// A holiday of the list shows in red in its own cell only, and the
// calendar keeps the names and day numbers of the month's holidays.
TEST_F(CalendarDrawTest, AListedHolidayShowsInItsCell)
{
    UseHolidayList("5 15 Test Day\n5 last Mon Memorial Day\n6 1 Not In May\n");
    CDrawRect* pCalendar = Place(kMonthRect, CALENDAR_MONTH, 5, 1, 2024);
    ViewBitmap bmp(m_pView);
    pCalendar->Draw(bmp.Dc());

    ASSERT_EQ(pCalendar->m_holidays[0].GetSize(), 2);
    EXPECT_EQ(pCalendar->m_holidays[0][0], CString("Test Day"));
    EXPECT_EQ(pCalendar->m_holidays[1][0], CString("2460446"));
    EXPECT_EQ(pCalendar->m_holidays[0][1], CString("Memorial Day"));
    Discard(pCalendar);

    // The 15th at row 2, column 3; the 27th at row 4, column 1.
    EXPECT_GT(CountInside(bmp, CRect(ColumnLeft(3), RowTop(2), ColumnLeft(4), RowTop(3)), kHoliday), 0);
    EXPECT_GT(CountInside(bmp, CRect(ColumnLeft(1), RowTop(4), ColumnLeft(2), RowTop(5)), kHoliday), 0);
    EXPECT_EQ(CountInside(bmp, CRect(ColumnLeft(4), RowTop(2), ColumnLeft(7), RowTop(3)), kHoliday), 0);
    EXPECT_EQ(CountInside(bmp, CRect(ColumnLeft(0), RowTop(0), ColumnLeft(7), RowTop(2)), kHoliday), 0);
}

// A calendar whose start is no date, or of a year the day numbers cannot
// place, draws its frame and nothing else.
TEST_F(CalendarDrawTest, AStartThatIsNoDateDrawsNoGrid)
{
    for (LONG nStart : {1L, 0x7FFFFFFFL}) {
        CDrawRect* pCalendar = Place(kMonthRect, CALENDAR_MONTH, 5, 1, 2024);
        pCalendar->m_nCalendarStart = nStart;
        ViewBitmap bmp(m_pView);
        pCalendar->Draw(bmp.Dc());
        Discard(pCalendar);
        EXPECT_EQ(CountInside(bmp, kMonthRect, kPen), 0) << nStart;
        EXPECT_EQ(CountInside(bmp, kMonthRect, kBlack), 0) << nStart;
    }
}

// On paper the calendar is vectors: a small PDF whose rendering shows the
// grid lines and day numbers where the page mapping puts them.
TEST_F(CalendarDrawTest, AMonthPrintsSharpAsVectors)
{
    modeltest::PrintedPage page;
    const bool bPrinted = page.Print(m_pView, [&](CDC* pDC) {
        CDrawRect* pCalendar = Place(kMonthRect, CALENDAR_MONTH, 5, 1, 2024);
        pCalendar->Draw(pDC);
        Discard(pCalendar);
    }, 100);
    if (page.m_bNoRenderer)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    ASSERT_TRUE(bPrinted) << page.m_strError;
    // A page-sized bitmap at printer resolution would be megabytes.
    EXPECT_LT(page.m_nPdfBytes, 200u * 1024u);
    auto at = [&](int x, int y) { return page.At(x, y); };
    auto near = [&](int x, int y, COLORREF cr) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (at(x + dx, y + dy) == cr)
                    return true;
        return false;
    };
    EXPECT_TRUE(near(ColumnLeft(3), -100, kPen));
    EXPECT_TRUE(near(-300, RowTop(2), kPen));
    EXPECT_EQ(at(ColumnLeft(2) + 50, RowTop(2) - 60), kWhite);
    int nDark = 0;
    for (int y = RowTop(0) - 30; y < RowTop(0) - 2; ++y)
        for (int x = ColumnLeft(3) + 2; x < ColumnLeft(3) + 30; ++x)
            nDark += at(x, y) == kBlack ? 1 : 0;
    EXPECT_GT(nDark, 0);
}

// A month calendar at zoom 75 as the picture kept in tests/data/calendar.
// THREADWICK_UPDATE_GOLDEN=1 writes it again after a deliberate change.
// Glyphs may differ by a few pixels with another build of the font engine;
// a grid line out of place changes far more than the tolerance allows.
TEST_F(CalendarDrawTest, AMonthLooksAsItDid)
{
    UseHolidayList("5 last Mon Memorial Day\n");
    SetZoom(75);
    CDrawRect* pCalendar = Place(kMonthRect, CALENDAR_MONTH, 5, 1, 2024);
    pCalendar->m_logpen.lopnColor = kBlack;
    pCalendar->SetCellText(CALENDAR_MONTH, 10, "Party");
    pCalendar->FindDayCell(CALENDAR_MONTH, 10)->m_crBack = RGB(255, 224, 160);
    ViewBitmap bmp(m_pView);
    pCalendar->Draw(bmp.Dc());
    Discard(pCalendar);
    CRect device(bmp.ToDevice(-360, 310), bmp.ToDevice(360, -310));
    device.NormalizeRect();
    const std::vector<COLORREF> pixels = bmp.Pixels(device);

    const std::string path = std::string(THREADWICK_SOURCE_DIR) + "/tests/data/calendar/month-may-2024.png";
    const int nWidth = device.Width();
    const int nHeight = device.Height();
    const char* update = std::getenv("THREADWICK_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        cairo_surface_t* shot = cairo_image_surface_create(CAIRO_FORMAT_RGB24, nWidth, nHeight);
        unsigned char* data = cairo_image_surface_get_data(shot);
        const int stride = cairo_image_surface_get_stride(shot);
        for (int y = 0; y < nHeight; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = 0; x < nWidth; ++x) {
                const COLORREF cr = pixels[size_t(y) * size_t(nWidth) + size_t(x)];
                row[x] = 0xFF000000u | (uint32_t(GetRValue(cr)) << 16) | (uint32_t(GetGValue(cr)) << 8) | GetBValue(cr);
            }
        }
        cairo_surface_mark_dirty(shot);
        EXPECT_EQ(cairo_surface_write_to_png(shot, path.c_str()), CAIRO_STATUS_SUCCESS);
        cairo_surface_destroy(shot);
    }
    cairo_surface_t* want = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(want) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(want);
        FAIL() << path << " is missing; set THREADWICK_UPDATE_GOLDEN=1 to write it";
    }
    EXPECT_EQ(cairo_image_surface_get_width(want), nWidth);
    EXPECT_EQ(cairo_image_surface_get_height(want), nHeight);
    int nDiffer = 0;
    if (cairo_image_surface_get_width(want) == nWidth && cairo_image_surface_get_height(want) == nHeight) {
        cairo_surface_flush(want);
        const unsigned char* data = cairo_image_surface_get_data(want);
        const int stride = cairo_image_surface_get_stride(want);
        for (int y = 0; y < nHeight; ++y) {
            auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = 0; x < nWidth; ++x) {
                const uint32_t v = row[x];
                const COLORREF cr = RGB(BYTE(v >> 16), BYTE(v >> 8), BYTE(v));
                nDiffer += cr != pixels[size_t(y) * size_t(nWidth) + size_t(x)] ? 1 : 0;
            }
        }
    }
    cairo_surface_destroy(want);
    EXPECT_LE(nDiffer, nWidth * nHeight / 1000)
        << path << " differs; set THREADWICK_UPDATE_GOLDEN=1 to write the picture again";
}

} // namespace
