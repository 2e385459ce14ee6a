// The roads to a new calendar with the program started as it starts: a
// calendar design made through the launcher and Page Setup, and the
// companion's calendar request, each open with this month's calendar; a
// calendar document opened by other means starts empty.

#include "tests/main/MainFrameTestSupport.h"

#include "app/JulianDate.h"
#include "app/KitFinder.h"
#include "app/RegKeyHelper.h"
#include "app/main/AppMessages.h"
#include "app/main/CommandLine.h"
#include "app/main/DocTemplates.h"
#include "assist/LauncherDlg.h"
#include "model/DocKinds.h"
#include "model/DrawRect.h"
#include "resources/resource.h"
#include "surface/Surface.h"

#include <string>

namespace {

using mainframetest::MainFrameTest;


class NewCalendarRoadTest : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        m_clock.SetDate(2026, 12, 7);
    }

    // The calendars of the active design's first view.
    std::vector<CDrawRect*> ActiveCalendars(CCalendarDoc** ppDoc = nullptr)
    {
        std::vector<CDrawRect*> found;
        CFrameWnd* pChild = GetMainFrame()->GetActiveFrame();
        auto* pDoc = pChild != nullptr ? dynamic_cast<CCalendarDoc*>(pChild->GetActiveDocument()) : nullptr;
        if (ppDoc != nullptr)
            *ppDoc = pDoc;
        CSurface* pView = pDoc != nullptr ? pDoc->GetSurfaceView(0) : nullptr;
        if (pView == nullptr)
            return found;
        for (POSITION pos = pView->GetObjects().GetHeadPosition(); pos != nullptr;) {
            auto* pRect = dynamic_cast<CDrawRect*>(pView->GetObjects().GetNext(pos));
            if (pRect != nullptr && pRect->IsCalendar())
                found.push_back(pRect);
        }
        return found;
    }

    static void ExpectThisMonth(const CDrawRect& calendar)
    {
        EXPECT_EQ(calendar.m_nCalendarStart, static_cast<LONG>(JulianDayFromDate(12, 1, 2026)));
        EXPECT_EQ(calendar.m_nCalendarWords[1], CALENDAR_MONTH);
        EXPECT_EQ(calendar.m_nCalendarWords[3], 7);
    }
};

TEST_F(NewCalendarRoadTest, ACalendarDesignFromTheLauncherShowsThisMonth)
{
    CMainFrame* pFrame = StartFrame();
    ASSERT_NE(pFrame, nullptr);
    g_bSignedIn = TRUE;
    // The new calendar's set-up comes up over it: OK keeps this month.
    ChooseBlankDesign(DOC_KIND_CALENDAR, {testing_support::PressOkIn("Calendar")});
    m_app->OnFileNew();
    AfxPumpMessagesUntilIdle();

    CCalendarDoc* pDoc = nullptr;
    const std::vector<CDrawRect*> calendars = ActiveCalendars(&pDoc);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(calendars.size(), 1u);
    ExpectThisMonth(*calendars[0]);
    EXPECT_EQ(pDoc->GetSurfaceView(0)->GetFirstSelected(), calendars[0]);
    // Inside the page the view shows.
    const CRect page = pDoc->GetSurfaceView(0)->GetPageRect();
    const CRect& rect = calendars[0]->m_position;
    EXPECT_TRUE(rect.left > page.left && rect.right < page.right && rect.top < page.top && rect.bottom > page.bottom);

    // Another kind from the same road gets no calendar.
    Drive({testing_support::PressOkIn("Page Setup")});
    ::SendMessage(MainWindow(), WM_TW_NEW_BLANK_DESIGN, 5, 0);
    AfxPumpMessagesUntilIdle();
    CFrameWnd* pChild = pFrame->GetActiveFrame();
    auto* pGeneral = dynamic_cast<CDrawDoc*>(pChild->GetActiveDocument());
    ASSERT_NE(pGeneral, nullptr);
    EXPECT_EQ(pGeneral->GetDocKind(), 5);
    EXPECT_TRUE(pGeneral->GetSurfaceView(0)->GetObjects().IsEmpty());
}

TEST_F(NewCalendarRoadTest, APlainNewCalendarDocumentStartsEmpty)
{
    ASSERT_NE(StartFrame(), nullptr);
    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(DOC_KIND_CALENDAR);
    ASSERT_NE(pTemplate, nullptr);
    ASSERT_NE(pTemplate->OpenDocumentFile(NULL, TRUE), nullptr);
    AfxPumpMessagesUntilIdle();
    CCalendarDoc* pDoc = nullptr;
    EXPECT_TRUE(ActiveCalendars(&pDoc).empty());
    EXPECT_NE(pDoc, nullptr);
}

TEST_F(NewCalendarRoadTest, TheCompanionsCalendarRequestOpensThisMonthsCalendar)
{
    // A CD-ROM drive holding a design kit, registered as installed from it.
    const std::string disc = testing_support::MakeTempDir("calendar-disc");
    std::filesystem::create_directories(disc + "/KITS");
    testing_support::WriteFileBytes(disc + "/KITS/design.kqa", "kit");
    testing_support::WriteFileBytes(disc + "/KITS/design.kqb", "kit");
    platform::SetDriveTable(
        platform::DriveTable::Build("/dev/sda1 / ext4 rw 0 0\n", "E=" + disc + ":cdrom:KITDISC", {}));
    ASSERT_NE(StartFrame(), nullptr);
    {
        CRegKeyHelper key;
        key.Ensure(kKitsRegistryKey);
        ASSERT_TRUE(key.SetString("Designs", "E:\\KITS\\design.kqa"));
    }
    // The request: mode 1, a calendar.
    ProgramFile(kCompanionRequestFile, std::string("\x01\x00\x00\x00", 4));

    // Should the disc not be found, the prompts for it are cancelled and
    // the test fails instead of waiting.
    const auto cancelDialog = [](HWND hActive) {
        if (dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hActive)) == nullptr)
            return false;
        ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    };
    Drive({cancelDialog, cancelDialog, cancelDialog});
    ::SendMessage(MainWindow(), WM_TW_COMPANION_START, 0, 0);
    AfxPumpMessagesUntilIdle();

    CCalendarDoc* pDoc = nullptr;
    const std::vector<CDrawRect*> calendars = ActiveCalendars(&pDoc);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(calendars.size(), 1u);
    ExpectThisMonth(*calendars[0]);
    EXPECT_FALSE(g_bCompanion);
}

} // namespace
