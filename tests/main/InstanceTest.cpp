#include "tests/main/AppTestSupport.h"

#include "app/ContentCatalog.h"
#include "app/main/AppMessages.h"
#include "app/main/CommandLine.h"
#include "app/main/DocTemplates.h"
#include "app/main/MainFrame.h"
#include "assist/GetStartedWizard.h"
#include "model/DocKinds.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "platform/services/FileMapping.h"
#include "platform/services/SingleInstance.h"
#include "tests/services/ChildProcess.h"
#include "tests/ui/ChildLoop.h"
#include "tests/support/TestHome.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

using services_test::Signal;
using services_test::StartChild;

namespace {

std::string U32(uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = char((v >> (8 * i)) & 0xFF);
    return s;
}

std::string Counted(const std::string& text)
{
    return U32(uint32_t(text.size())) + text;
}

bool HostFileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Whether any process holds the instance mapping now.
bool InstanceMappingExists()
{
    HANDLE probe = CreateFileMapping(INVALID_HANDLE_VALUE, NULL, PAGE_READONLY, 0, 32, GetInstanceName());
    const bool exists = probe && GetLastError() == ERROR_ALREADY_EXISTS;
    if (probe)
        CloseHandle(probe);
    return exists;
}

class InstanceTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        CloseInstanceChannel();
        dir = testing_support::MakeTempDir("instance");
        platform::SetProgramFolderForTests(dir);
        marker = dir + "/olvw.dat";
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        g_pCurrentWizardSheet = NULL;
        AppTest::TearDown();
        CloseInstanceChannel();
        platform::SetProgramFolderForTests("");
        g_bCompanion = FALSE;
    }

    // The first copy's message loop, until the second copy (a forked child)
    // has ended; the child's exit code.
    int RunLoopUntilChildEnds(pid_t child) { return uitest::RunMessageLoopUntilChildEnds(child, 10); }

    // A started first copy with nothing waiting in its queue and a design
    // index, so that companion requests need no content.
    CMainFrame* StartFirstCopy()
    {
        EXPECT_TRUE(Start());
        apptest::TakePosted(MainWindow(), WM_COMMAND);
        m_app->SetDesignIndex(new CDesignIndex());
        return GetMainFrame();
    }

    std::string dir;
    std::string marker;
};

TEST_F(InstanceTest, LoneCopyHoldsTheLockFromTheStart)
{
    EXPECT_STREQ(GetInstanceName(), "KQ Threadwick; inst running 1.0");
    EXPECT_TRUE(OpenInstanceChannel());
    EXPECT_EQ(GetInstanceChannel().GetRole(), platform::SingleInstance::Role::First);
    EXPECT_TRUE(OpenInstanceChannel()) << "opening again keeps the lock";
    EXPECT_FALSE(IsAnotherInstanceRunning());
    EXPECT_EQ(g_nInstanceMessage, RegisterWindowMessage(GetInstanceName()));

    platform::SingleInstance other;
    EXPECT_EQ(other.Open(std::string(GetInstanceName())), platform::SingleInstance::Role::Second);
    other.Close();
    CloseInstanceChannel();
    EXPECT_EQ(other.Open(std::string(GetInstanceName())), platform::SingleInstance::Role::First);
    EXPECT_FALSE(ServeInstanceChannel(NULL)) << "only the lock holder serves";
}

TEST_F(InstanceTest, CopyStartedBeforeTheFirstHasAFrameStillFindsIt)
{
    Signal ready;
    pid_t child = StartChild([&] {
        if (!ready.Wait())
            return 20;
        return IsAnotherInstanceRunning() ? 0 : 10;
    });
    ASSERT_GT(child, 0);
    ASSERT_TRUE(OpenInstanceChannel());
    ASSERT_TRUE(ServeInstanceChannel(NULL));
    ready.Raise();
    EXPECT_EQ(RunLoopUntilChildEnds(child), 0);
}

TEST_F(InstanceTest, SecondCompanionCopyWakesTheFirstAndEnds)
{
    // The second copy is the real program started with switch b while the
    // sibling program's request waits; it is forked before the first copy
    // starts, so it shares none of the first copy's state.
    Signal ready;
    pid_t child = StartChild([&] {
        if (!ready.Wait())
            return 20;
        AfxSetCommandLine(std::vector<CString>{CString("-b")});
        CDesignerApp second;
        second.InitApplication();
        const BOOL bRuns = second.InitInstance();
        if (bRuns)
            return 10;
        return g_bCompanion ? 0 : 11;
    });
    ASSERT_GT(child, 0);
    StartFirstCopy();
    ASSERT_NE(MainWindow(), HWND(NULL));
    // A request with nothing to do: the first copy consumes it.
    testing_support::WriteFileBytes(marker, U32(7));
    ready.Raise();

    EXPECT_EQ(RunLoopUntilChildEnds(child), 0);
    EXPECT_FALSE(HostFileExists(marker)) << "the wake-up led to the companion start";
    EXPECT_FALSE(g_bCompanion);
    EXPECT_EQ(g_hHeldInstanceMapping, HANDLE(NULL));
    EXPECT_FALSE(InstanceMappingExists());
    EXPECT_TRUE(IsWindow(MainWindow()));
}

TEST_F(InstanceTest, InstanceMessageHoldsTheMappingOnlyBetweenTheTwoMessages)
{
    CMainFrame* pFrame = StartFirstCopy();
    ASSERT_NE(pFrame, nullptr);
    for (int show : {SW_SHOWMAXIMIZED, SW_SHOWNORMAL}) {
        SCOPED_TRACE(show);
        pFrame->ShowWindow(show);
        const BOOL bZoomed = pFrame->IsZoomed();
        EXPECT_EQ(::SendMessage(MainWindow(), g_nInstanceMessage, 0, 0), 1);
        EXPECT_NE(g_hHeldInstanceMapping, HANDLE(NULL));
        EXPECT_TRUE(InstanceMappingExists());
        EXPECT_EQ(pFrame->IsZoomed(), bZoomed);
        EXPECT_FALSE(pFrame->IsIconic());
        EXPECT_TRUE(pFrame->IsWindowVisible());

        // A starting copy that never sent its second message leaves the
        // mapping held; the next first message reuses it.
        HANDLE held = g_hHeldInstanceMapping;
        ::SendMessage(MainWindow(), g_nInstanceMessage, 0, 0);
        EXPECT_EQ(g_hHeldInstanceMapping, held);

        EXPECT_EQ(::SendMessage(MainWindow(), g_nInstanceMessage, 0, 1), 1);
        EXPECT_EQ(g_hHeldInstanceMapping, HANDLE(NULL));
        EXPECT_FALSE(InstanceMappingExists());
    }
}

TEST_F(InstanceTest, WakeUpPostsTheCompanionStartOnlyWithARequestWaiting)
{
    StartFirstCopy();
    ASSERT_NE(g_nWakeUpMessage, 0u);

    g_bCompanion = TRUE;
    EXPECT_TRUE(WakeUpWindowProc(MainWindow(), 0));
    EXPECT_FALSE(g_bCompanion);
    EXPECT_TRUE(apptest::TakePosted(MainWindow(), WM_TW_COMPANION_START).empty());

    testing_support::WriteFileBytes(marker, U32(1));
    // A wizard sheet object without a window must be passed over safely.
    CGetStartedWizard idle(IDS_DESIGN_WIZARD_CAPTION);
    g_pCurrentWizardSheet = &idle;
    EXPECT_TRUE(WakeUpWindowProc(MainWindow(), 0));
    g_pCurrentWizardSheet = NULL;
    EXPECT_TRUE(g_bCompanion);
    EXPECT_EQ(apptest::TakePosted(MainWindow(), WM_TW_COMPANION_START).size(), 1u);
    EXPECT_TRUE(HostFileExists(marker)) << "the wake-up only looks";
}

TEST_F(InstanceTest, CompanionWizardRequestRunsTheWizardWithItsStrings)
{
    StartFirstCopy();
    testing_support::WriteFileBytes(marker, U32(0) + Counted("Birthday") + Counted("Happy birthday") + Counted("For Ann"));
    g_bCompanion = TRUE;

    struct Seen {
        bool ran = false;
        int items = 0;
        std::string item;
        std::string preset;
        int maxOpen = 0;
    } seen;
    platform::headless::SetIdleHandler([&] {
        CPropertySheet* pSheet = g_pCurrentWizardSheet;
        if (!pSheet || !::IsWindow(pSheet->GetSafeHwnd()))
            return false;
        auto* pWizard = static_cast<CGetStartedWizard*>(pSheet);
        seen.ran = true;
        seen.items = pWizard->m_page3.GetItemCount();
        if (seen.items > 0)
            seen.item = pWizard->m_page3.GetItem(0).strName;
        seen.preset = pWizard->m_strPresetText;
        seen.maxOpen = MaxOpenDocuments();
        pSheet->EndDialog(IDCANCEL);
        return true;
    });
    EXPECT_EQ(::SendMessage(MainWindow(), WM_TW_COMPANION_START, 0, 0), 0);
    platform::headless::SetIdleHandler(nullptr);

    EXPECT_TRUE(seen.ran);
    EXPECT_EQ(seen.items, 1);
    EXPECT_EQ(seen.item, "Birthday");
    EXPECT_EQ(seen.preset, "Happy birthday");
    EXPECT_EQ(seen.maxOpen, 15) << "the limit while the wizard runs";
    EXPECT_EQ(g_pCurrentWizardSheet, nullptr);
    EXPECT_FALSE(HostFileExists(marker));
    EXPECT_FALSE(g_bCompanion);
}

TEST_F(InstanceTest, CompanionCalendarRequestOpensANewCalendar)
{
    StartFirstCopy();
    testing_support::WriteFileBytes(marker, U32(1));
    g_bCompanion = TRUE;
    EXPECT_EQ(::SendMessage(MainWindow(), WM_TW_COMPANION_START, 0, 0), 0);
    ASSERT_EQ(CountOpenDocuments(), 1);
    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(DOC_KIND_CALENDAR);
    ASSERT_NE(pTemplate, nullptr);
    POSITION pos = pTemplate->GetFirstDocPosition();
    ASSERT_NE(pos, nullptr);
    CDocument* pDoc = pTemplate->GetNextDoc(pos);
    EXPECT_NE(dynamic_cast<CCalendarDoc*>(pDoc), nullptr);
    EXPECT_STREQ(pDoc->GetTitle(), "Calendar1");
    EXPECT_FALSE(HostFileExists(marker));
    EXPECT_FALSE(g_bCompanion);
}

TEST_F(InstanceTest, CompanionStartWithABadOrMissingRequestDoesNothing)
{
    StartFirstCopy();
    g_bCompanion = TRUE;
    EXPECT_EQ(::SendMessage(MainWindow(), WM_TW_COMPANION_START, 0, 0), 0);
    EXPECT_FALSE(g_bCompanion);

    const std::string truncated = U32(0) + U32(50) + "short";
    testing_support::WriteFileBytes(marker, truncated);
    g_bCompanion = TRUE;
    EXPECT_EQ(::SendMessage(MainWindow(), WM_TW_COMPANION_START, 0, 0), 0);
    EXPECT_FALSE(g_bCompanion);
    EXPECT_EQ(testing_support::ReadFileBytes(marker), truncated);
    EXPECT_EQ(CountOpenDocuments(), 0);
}

} // namespace
