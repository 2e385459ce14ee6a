// How often a run of the program writes its registry file: the settings a
// burst of work changes reach the file together when the loop has nothing
// to do, and what is left at exit, so a first start costs one or two
// writes rather than one per setting.

#include "AppTestSupport.h"
#include "tests/support/DialogDriver.h"

#include <string>
#include <vector>

namespace {

using apptest::AppTest;


// A number of the program's profile as the registry holds it; 0 when missing.
DWORD StoredNumber(const char* section, const char* entry)
{
    HKEY hKey = NULL;
    std::string path = std::string(apptest::kProfileKey) + "\\" + section;
    if (RegOpenKey(HKEY_CURRENT_USER, path.c_str(), &hKey) != ERROR_SUCCESS)
        return 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    RegQueryValueEx(hKey, entry, nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(hKey);
    return value;
}

class RegistryWritesTest : public AppTest {
protected:
    // The next run's view of the file: what this run left unwritten is lost.
    static void StartNextRun() { platform::ResetRegistryForTests(); }
};

TEST_F(RegistryWritesTest, FirstStartWritesTheRegistryFileAtMostTwice)
{
    // A true first start: not even the tips' switch is stored, so Tip of the
    // Day comes up at the end of start-up, and the launcher with it.
    std::remove(platform::RegistryFilePath().c_str());
    platform::ResetRegistryForTests();
    const unsigned long before = platform::RegistryFileWriteCount();
    auto Writes = [before]() { return platform::RegistryFileWriteCount() - before; };

    // The user answers every dialog with Cancel, then closes the main
    // window. Each answer is a burst of work that ends when the loop waits
    // for the next.
    std::vector<std::string> dialogs;
    std::vector<unsigned long> writesAtWaits;
    bool bRunCountInFileAtFirstWait = false;
    bool bClosed = false;
    platform::headless::SetIdleHandler([&]() {
        if (writesAtWaits.size() > 50)
            return false;
        writesAtWaits.push_back(Writes());
        if (writesAtWaits.size() == 1)
            bRunCountInFileAtFirstWait =
                testing_support::ReadFileBytes(platform::RegistryFilePath()).find("\"NumTimesRun\" dword 0x00000001")
                != std::string::npos;
        if (m_app->IsSplashShowing()) {
            m_app->CloseSplash(TRUE);
            return true;
        }
        HWND hMain = MainWindow();
        HWND hActive = ::GetActiveWindow();
        if (hActive != NULL && hActive != hMain) {
            dialogs.push_back(testing_support::WindowTitle(hActive));
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        }
        if (hMain != NULL && !bClosed) {
            bClosed = true;
            ::PostMessage(hMain, WM_CLOSE, 0, 0);
            return true;
        }
        return false;
    });

    ASSERT_TRUE(Start());
    m_app->Run();
    m_bStarted = FALSE; // Run ended with ExitInstance
    platform::headless::SetIdleHandler(nullptr);
    ASSERT_FALSE(dialogs.empty());
    ASSERT_TRUE(bClosed);

    // Everything start-up stored is in the file, written once, by the time
    // the program first waits for the user.
    EXPECT_GE(writesAtWaits.front(), 1u);
    EXPECT_LE(writesAtWaits.front(), 2u);
    EXPECT_TRUE(bRunCountInFileAtFirstWait);
    // Each answer of the user costs at most one write, and so does the end.
    for (size_t i = 1; i < writesAtWaits.size(); ++i)
        EXPECT_LE(writesAtWaits[i] - writesAtWaits[i - 1], 1u) << "after " << i << " waits";
    EXPECT_LE(Writes() - writesAtWaits.back(), 1u);
    EXPECT_FALSE(platform::RegistryHasPendingChanges());

    StartNextRun();
    EXPECT_FALSE(platform::RegistryLoadProblem());
    EXPECT_EQ(StoredNumber("Program", "NumTimesRun"), 1u);
    EXPECT_TRUE(apptest::ProfileKeyExists("Tip"));
}

TEST_F(RegistryWritesTest, ExitWritesWhatTheLastBurstChanged)
{
    ASSERT_TRUE(Start());
    apptest::TakePosted(MainWindow(), WM_COMMAND);
    const unsigned long before = platform::RegistryFileWriteCount();
    for (int i = 0; i < 10; ++i)
        m_app->WriteProfileInt("Settings", ("Entry" + std::to_string(i)).c_str(), i);
    EXPECT_EQ(platform::RegistryFileWriteCount(), before);

    m_app->ExitInstance();
    m_bStarted = FALSE;
    EXPECT_EQ(platform::RegistryFileWriteCount(), before + 1);

    StartNextRun();
    EXPECT_EQ(StoredNumber("Settings", "Entry9"), 9u);
    EXPECT_EQ(StoredNumber("Program", "NumTimesRun"), 1u);
}

} // namespace
