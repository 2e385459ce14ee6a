#pragma once
// The fixture of the application-object tests: a fresh headless window
// system, an empty profile on disk and in memory, a clock that stands still
// until moved, and an application object started the way the program
// starts it.

#include "app/PrefData.h"
#include "app/PrintPrefData.h"
#include "app/TextTable.h"
#include "app/main/DesignerApp.h"
#include "pictures/TwainSource.h"
#include "platform/base/Clock.h"
#include "platform/files/ProgramFolder.h"
#include "platform/framework/Afx.h"
#include "platform/framework/WndInternal.h"
#include "platform/profile/Registry.h"
#include "platform/services/Shell.h"
#include "platform/storage/OleInit.h"
#include "platform/ui/Headless.h"
#include "platform/ui/Hooks.h"
#include "resources/Resources.h"
#include "resources/resource.h"
#include "resources/SupportResources.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace apptest {

// The application's profile key.
inline constexpr char kProfileKey[] = "Software\\Velmora Technology\\Threadwick\\1.0";

inline void WriteProfileDword(const char* section, const char* entry, DWORD value)
{
    HKEY hKey = NULL;
    std::string path = std::string(kProfileKey) + "\\" + section;
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, path.c_str(), &hKey), ERROR_SUCCESS);
    RegSetValueEx(hKey, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(hKey);
}

inline void WriteProfileText(const char* section, const char* entry, const char* value)
{
    HKEY hKey = NULL;
    std::string path = std::string(kProfileKey) + "\\" + section;
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, path.c_str(), &hKey), ERROR_SUCCESS);
    RegSetValueEx(hKey, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), DWORD(std::strlen(value) + 1));
    RegCloseKey(hKey);
}

inline bool ProfileKeyExists(const std::string& subKey)
{
    HKEY hKey = NULL;
    std::string path = std::string(kProfileKey) + (subKey.empty() ? "" : "\\" + subKey);
    if (RegOpenKey(HKEY_CURRENT_USER, path.c_str(), &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// The posted messages of a kind waiting for hWnd, taken off the queue.
inline std::vector<MSG> TakePosted(HWND hWnd, UINT message)
{
    std::vector<MSG> found;
    MSG msg;
    while (::PeekMessage(&msg, hWnd, message, message, PM_REMOVE))
        found.push_back(msg);
    return found;
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool registered = false;
        if (!registered) {
            threadwick::RegisterResources();
            threadwick::RegisterSupportResources();
            registered = true;
        }
        platform::headless::Reset();
        platform::ResetHooks();
        platform::ResetFrameworkWindowState();
        // Tables and scratch files the application writes go to a folder of
        // this test's own.
        m_programFolder = testing_support::MakeTempDir("app");
        std::filesystem::create_directories(m_programFolder + "/support");
        platform::SetProgramFolderForTests(m_programFolder);
        platform::SetProgramFolderWritable(true);
        std::remove(platform::RegistryFilePath().c_str());
        platform::ResetRegistryForTests();
        platform::SetClockSource(&m_clock);
        platform::SetOleInitFailsForTests(false);
        m_previousOpener = platform::SetUrlOpener([this](const std::string& target) {
            m_openedUrls.push_back(target);
            return true;
        });
        thePrefs.Reset();
        thePrintPrefs.Reset();
        AfxSetCommandLine(std::vector<CString>());
        g_bCompanion = FALSE;
        g_nNewDesignMode = 0;
        g_bSignedIn = FALSE;
        // Tips would otherwise open a modal dialog at every start.
        WriteProfileDword("Tip", "StartUp", 0);
    }

    void TearDown() override
    {
        if (m_app != nullptr && m_bStarted)
            m_app->ExitInstance();
        // As the program ends: the scanner search start-up began stops here.
        ReleaseTwainSource();
        platform::headless::Reset();
        platform::FrameworkDeleteTempMaps();
        m_app.reset();
        platform::ResetFrameworkWindowState();
        platform::ResetHooks();
        platform::headless::SetIdleHandler(nullptr);
        platform::SetUrlOpener(m_previousOpener);
        platform::SetOleInitFailsForTests(false);
        platform::ResetClock();
        platform::SetProgramFolderForTests(std::string());
        platform::ResetProgramFolderWritable();
        thePrefs.Reset();
    }

    // Makes the application as the entry point does; nCmdShow is the show
    // command the program was started with.
    CDesignerApp& MakeApp(int nCmdShow = SW_SHOWNORMAL)
    {
        m_app = std::make_unique<CDesignerApp>();
        m_app->InitApplication();
        m_app->m_nCmdShow = nCmdShow;
        return *m_app;
    }

    // The profile key start-up gives the application, for tests that do not
    // start it.
    void UseProgramProfile()
    {
        LPCTSTR pszName = m_app->m_pszAppName;
        m_app->m_pszAppName = "1.0";
        m_app->SetRegistryKey(IDS_REGISTRY_KEY);
        m_app->m_pszAppName = pszName;
    }

    BOOL Start(int nCmdShow = SW_SHOWNORMAL)
    {
        MakeApp(nCmdShow);
        m_bStarted = TRUE;
        // Someone who has used the program before, unless the test is about
        // the very first start: that one asks for the user's return address.
        if (!m_bFirstStart) {
            CUserTable users;
            if (users.GetRecordCount() == 0) {
                UserRecord predesigned;
                predesigned.strUserName = "Predesigned";
                users.AddRecord(predesigned);
            }
        }
        return m_app->InitInstance();
    }

    HWND MainWindow() const
    {
        return m_app != nullptr && m_app->m_pMainWnd != nullptr ? m_app->m_pMainWnd->m_hWnd : NULL;
    }

    std::string m_programFolder;
    platform::FakeClock m_clock;
    std::unique_ptr<CDesignerApp> m_app;
    BOOL m_bStarted = FALSE;
    BOOL m_bFirstStart = FALSE;
    std::vector<std::string> m_openedUrls;
    platform::UrlOpener m_previousOpener;
};

} // namespace apptest
