#pragma once
// The fixture of the assistants' tests: a fresh window system and profile,
// the program's resources, an application object with its registry key and
// a program folder of the test's own (the support tables are written there).
// Dialogs run modally and are driven by steps that run whenever the modal
// loop goes idle, each on the window that is active then.

#include "app/PrefData.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "resources/Resources.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace assisttest {

// One step: acts on the active window and answers whether it did.
using Step = testing_support::DialogStep;

class AssistTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        // An empty profile, as on a machine that never ran the program.
        std::filesystem::remove(platform::RegistryFilePath());
        platform::ResetRegistryForTests();
        platform::InitFileSystem();
        threadwick::RegisterResources();
        m_folder = testing_support::MakeTempDir("assist");
        std::filesystem::create_directories(std::filesystem::path(m_folder) / "support");
        platform::SetProgramFolderForTests(m_folder);
        m_app = &MakeApp();
        m_app->SetRegistryKey("Threadwick Tests");
        thePrefs.Reset();
        thePrefs.LoadPreferences();
    }

    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        thePrefs.Reset();
        platform::SetProgramFolderForTests("");
        FrameworkTest::TearDown();
    }

    // Runs the steps in order, each once the loop is idle; when they are
    // used up the loop is left alone (and ends with WM_QUIT if it waits).
    void Drive(std::vector<Step> steps) { testing_support::DriveActiveWindow(std::move(steps)); }

    // A step that presses a button of the active dialog.
    static Step Press(int nID) { return testing_support::PressButton(nID); }

    // A step that sets a control's text.
    static Step SetText(int nID, const char* text)
    {
        return [nID, text](HWND hDlg) { return ::SetDlgItemText(hDlg, nID, text) != FALSE; };
    }

    CString ProgramFolder() const { return CString(platform::WindowsPathFor(m_folder).c_str()) + "\\"; }

    CString Profile(LPCTSTR section, LPCTSTR entry) { return m_app->GetProfileString(section, entry, "<missing>"); }

    std::string m_folder;
    CWinApp* m_app = nullptr;
};

} // namespace assisttest
