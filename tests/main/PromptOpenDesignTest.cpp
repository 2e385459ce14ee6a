// File > Open's two dialogs taking turns, on the running program: the
// design browser with its previews and the standard file dialog, which
// comes first on a machine too weak for previews, the Preview hint between
// them, and the design chosen in the browser.

#include "AppTestSupport.h"

#include "app/PrefData.h"
#include "assist/PreviewGrid.h"
#include "resources/filedlg.h"
#include "resources/pictureopen.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::DialogStep;
using testing_support::DriveActiveWindow;
using testing_support::FindDescendant;
using testing_support::WindowTitle;

enum class Shown { Browser, Standard, Hint };

class PromptOpenDesignTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start());
        apptest::TakePosted(MainWindow(), WM_COMMAND);
        m_dir = testing_support::MakeTempDir("browser");
        for (const char* name : {"one.shr", "two.gnl"})
            testing_support::WriteFileBytes(m_dir + "/" + name, "x");
        std::string folder = "C:" + m_dir + "\\";
        for (char& c : folder) {
            if (c == '/')
                c = '\\';
        }
        m_strFolder = folder.c_str();
        thePrefs.SetDesignFolder(m_strFolder);
    }

    // Waits for the dialog, notes it, and presses the button (in the file
    // dialog's child dialog when it is there).
    DialogStep In(Shown shown, int nButton)
    {
        return [this, shown, nButton](HWND hWnd) {
            const bool bBrowser = ::GetDlgItem(hWnd, IDC_PICTURE_OPEN_FRAME) != NULL;
            const bool bHint = WindowTitle(hWnd) == "Picture Preview";
            const bool bStandard = !bBrowser && !bHint && FindDescendant(hWnd, IDC_FILEIMG_FRAME) != NULL;
            if ((shown == Shown::Browser && !bBrowser) || (shown == Shown::Hint && !bHint)
                || (shown == Shown::Standard && !bStandard))
                return false;
            m_seen.push_back(shown);
            if (shown == Shown::Browser && m_pBrowserCheck)
                m_pBrowserCheck(hWnd);
            HWND hButton = FindDescendant(hWnd, nButton);
            HWND hOwner = hButton != NULL && nButton != IDOK && nButton != IDCANCEL ? ::GetParent(hButton) : hWnd;
            ::PostMessage(hOwner, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), LPARAM(hButton));
            return true;
        };
    }

    std::string m_dir;
    CString m_strFolder;
    std::vector<Shown> m_seen;
    std::function<void(HWND)> m_pBrowserCheck;
};

TEST_F(PromptOpenDesignTest, TheBrowserAndTheStandardDialogTakeTurns)
{
    thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
    thePrefs.AddlFlags |= PREF_ADDL_PREVIEW_HINT;
    BOOL bGalleryHidden = FALSE;
    int nItems = -1;
    m_pBrowserCheck = [&](HWND hDlg) {
        bGalleryHidden = !::IsWindowVisible(::GetDlgItem(hDlg, IDC_PICTURE_OPEN_GALLERY));
        char label[64] = {};
        ::GetDlgItemText(hDlg, IDC_PICTURE_OPEN_LABEL, label, sizeof label);
        nItems = std::atoi(std::strrchr(label, ' ') + 1);
    };
    DriveActiveWindow({
        In(Shown::Browser, IDC_PICTURE_OPEN_SINGLE),
        In(Shown::Hint, IDOK),
        In(Shown::Standard, IDC_FILEIMG_MULTIPLE),
        In(Shown::Hint, IDOK),
        In(Shown::Browser, IDCANCEL),
    });
    CString strPath = "C:\\kept.shr";
    EXPECT_FALSE(m_app->PromptOpenDesign(m_app->m_pMainWnd, strPath));
    EXPECT_EQ((std::vector<Shown>{Shown::Browser, Shown::Hint, Shown::Standard, Shown::Hint, Shown::Browser}),
        m_seen);
    EXPECT_TRUE(strPath.IsEmpty());
    EXPECT_TRUE(bGalleryHidden);
    EXPECT_EQ(2, nItems);
}

TEST_F(PromptOpenDesignTest, AWeakMachineStartsInTheStandardDialog)
{
    thePrefs.Flags |= PREF_FLAG_NO_MULTI_PREVIEW;
    thePrefs.AddlFlags &= ~PREF_ADDL_PREVIEW_HINT;
    DriveActiveWindow({
        In(Shown::Standard, IDC_FILEIMG_MULTIPLE),
        In(Shown::Browser, IDC_PICTURE_OPEN_SINGLE),
        In(Shown::Standard, IDCANCEL),
    });
    CString strPath;
    EXPECT_FALSE(m_app->PromptOpenDesign(m_app->m_pMainWnd, strPath));
    EXPECT_EQ((std::vector<Shown>{Shown::Standard, Shown::Browser, Shown::Standard}), m_seen);
}

TEST_F(PromptOpenDesignTest, TheBrowsersDesignIsChosenAndItsFolderRemembered)
{
    thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
    thePrefs.SetDesignFolder(m_strFolder + "..\\");
    DriveActiveWindow({In(Shown::Browser, IDOK)});
    CString strPath = m_strFolder + "two.gnl";
    EXPECT_TRUE(m_app->PromptOpenDesign(m_app->m_pMainWnd, strPath));
    EXPECT_EQ(m_strFolder + "two.gnl", strPath);
    EXPECT_EQ(m_strFolder, thePrefs.GetDesignFolder());
}

} // namespace
