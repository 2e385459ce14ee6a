#pragma once
// The fixture of the main frame and toolbar tests: the application started
// as the program starts it, in a program folder of the test's own, with the
// start-up's queued launcher request taken off the queue so that modal loops
// in the tests do not open it. Modal dialogs are driven by steps that run
// whenever the loop goes idle.

#include "AppTestSupport.h"

#include "app/main/MainFrame.h"
#include "app/main/MainToolBars.h"
#include "assist/LauncherDlg.h"
#include "resources/resource.h"
#include "platform/files/DriveTable.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"
#include "tests/ui/IdleScript.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mainframetest {

using Step = testing_support::DialogStep;

class MainFrameTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_folder = testing_support::MakeTempDir("mainframe");
        std::filesystem::create_directories(std::filesystem::path(m_folder) / "support");
        platform::SetProgramFolderForTests(m_folder);
        g_strHelpFilePath.Empty();
    }

    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        AppTest::TearDown();
        platform::SetProgramFolderForTests("");
        platform::ResetDriveTable();
        g_strHelpFilePath.Empty();
    }

    // Starts the program and forgets what start-up queued for later.
    CMainFrame* StartFrame()
    {
        if (!Start())
            return nullptr;
        apptest::TakePosted(MainWindow(), WM_COMMAND);
        m_app->CloseSplash(TRUE);
        return GetMainFrame();
    }

    // Closes the main window the way the user does, ends the application
    // and starts it again.
    CMainFrame* Restart()
    {
        ::SendMessage(MainWindow(), WM_CLOSE, 0, 0);
        m_app->ExitInstance();
        m_bStarted = FALSE;
        platform::headless::Reset();
        platform::FrameworkDeleteTempMaps();
        m_app.reset();
        platform::ResetFrameworkWindowState();
        thePrefs.Reset();
        return StartFrame();
    }

    void Drive(std::vector<Step> steps) { testing_support::DriveActiveWindow(std::move(steps)); }

    static Step Press(int nID) { return testing_support::PressButton(nID); }

    // Answers the launcher with kind nKind and a blank page, then Page Setup
    // with OK.
    void ChooseBlankDesign(int nKind, std::vector<testing_support::DialogStep> after = {})
    {
        std::vector<testing_support::DialogStep> steps{
            [nKind](HWND hActive) {
                if (dynamic_cast<CLauncherDlg*>(CWnd::FromHandlePermanent(hActive)) == nullptr)
                    return false;
                ::SendDlgItemMessage(hActive, IDC_LAUNCH_KINDS, LB_SETCURSEL, WPARAM(nKind), 0);
                ::CheckRadioButton(hActive, IDC_LAUNCH_PREDESIGNED, IDC_LAUNCH_WIZARD, IDC_LAUNCH_BLANK);
                ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return true;
            },
            testing_support::PressOkIn("Page Setup"),
        };
        steps.insert(steps.end(), after.begin(), after.end());
        Drive(std::move(steps));
    }

    // A file of the test's program folder, as the program names it.
    CString ProgramFile(const std::string& relative, const std::string& content)
    {
        std::filesystem::path path = std::filesystem::path(m_folder) / relative;
        std::filesystem::create_directories(path.parent_path());
        testing_support::WriteFileBytes(path.string(), content);
        return CString(platform::WindowsPathFor(path.string()).c_str());
    }

    std::string m_folder;
};

// Runs one step each time the application's loop would wait; after the
// last the loop ends. The frame keeps timers, so the loop never ends alone.
inline void Script(std::vector<std::function<void()>> steps)
{
    steps.push_back([] { ::PostQuitMessage(0); });
    uitest::Script(std::move(steps));
}

// The application's own loop, whose PreTranslateMessage sees every message
// first and turns keys into commands through the accelerators.
inline void RunAppLoop(CWinApp* pApp)
{
    MSG msg;
    for (int i = 0; i < 100000 && ::GetMessage(&msg, NULL, 0, 0) > 0; ++i) {
        if (!pApp->PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
}

} // namespace mainframetest
