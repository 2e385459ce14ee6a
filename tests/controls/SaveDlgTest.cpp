// The Explorer-style Save As dialog for designs over the window system's
// own: the length its paths may have, the picture buttons its hook dresses,
// and the folder it starts in.

#include "controls/DesignSaveDlg.h"
#include "controls/SaveAsDlg.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class SaveDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InitFileSystem();
        threadwick::RegisterResources();
        m_dir = testing_support::MakeTempDir("savedlg");
        m_savedFolder = thePrefs.CurDesignFolder;
        thePrefs.CurDesignFolder = platform::WindowsPathFor(m_dir).c_str();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        thePrefs.CurDesignFolder = m_savedFolder;
        platform::ResetDriveTable();
    }

    // One step each time the dialog goes idle, on the active window.
    static void RunSteps(std::vector<std::function<void(HWND)>> steps)
    {
        auto next = std::make_shared<size_t>(0);
        platform::headless::SetIdleHandler([steps = std::move(steps), next]() {
            HWND hWnd = ::GetActiveWindow();
            if (hWnd == NULL || *next >= steps.size())
                return false;
            steps[(*next)++](hWnd);
            return true;
        });
    }
    static void Press(HWND hWnd, int nID)
    {
        ::PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hWnd, nID)));
    }
    static std::string FolderShown(HWND hDlg)
    {
        char folder[MAX_PATH] = {};
        ::SendMessage(hDlg, CDM_GETFOLDERPATH, MAX_PATH, LPARAM(folder));
        return folder;
    }
    // A path in the test's folder of exactly nLength characters.
    std::string PathOfLength(size_t nLength) const
    {
        std::string path = platform::WindowsPathFor(m_dir) + "\\";
        path += std::string(nLength - path.size() - 4, 'n');
        return path + ".shr";
    }
    size_t Boxes() const { return platform::headless::MessageBoxes().size(); }

    std::string m_dir;
    CString m_savedFolder;
};

TEST_F(SaveDlgTest, PathsOfUpTo256CharactersAreTakenLongerOnesRefused)
{
    const std::string longest = PathOfLength(256);
    ASSERT_EQ(longest.size(), 256u);
    {
        CSaveAsDlg dlg(OFN_HIDEREADONLY);
        RunSteps({[&](HWND h) {
            ::SetDlgItemText(h, edt1, longest.c_str());
            Press(h, IDOK);
        }});
        const size_t nBefore = Boxes();
        ASSERT_TRUE(dlg.DoModal("proposed.shr"));
        EXPECT_STREQ(dlg.GetPathName(), longest.c_str());
        EXPECT_EQ(Boxes(), nBefore);
    }

    CSaveAsDlg dlg(OFN_HIDEREADONLY);
    bool stillOpen = false;
    RunSteps({[&](HWND h) {
                  ::SetDlgItemText(h, edt1, PathOfLength(257).c_str());
                  Press(h, IDOK);
              },
        [&](HWND h) {
            stillOpen = ::GetDlgItem(h, edt1) != NULL;
            Press(h, IDCANCEL);
        }});
    const size_t nBefore = Boxes();
    EXPECT_FALSE(dlg.DoModal("proposed.shr"));
    EXPECT_TRUE(stillOpen) << "a refused name keeps the dialog open";
    ASSERT_EQ(Boxes(), nBefore + 1);
    EXPECT_EQ(platform::headless::MessageBoxes().back().text, "Filename is too long.");
    EXPECT_EQ(platform::headless::MessageBoxes().back().type & 0x0F, UINT(MB_OK));
}

TEST_F(SaveDlgTest, OpensOnTheProposedNameInTheDesignFolderWithPictureButtons)
{
    CSaveAsDlg dlg(OFN_HIDEREADONLY);
    std::string name;
    std::string folder;
    CWnd* pOk = nullptr;
    RunSteps({[&](HWND h) {
        char text[MAX_PATH] = {};
        ::GetDlgItemText(h, edt1, text, sizeof text);
        name = text;
        folder = FolderShown(h);
        pOk = CWnd::FromHandlePermanent(::GetDlgItem(h, IDOK));
        Press(h, IDCANCEL);
    }});
    EXPECT_FALSE(dlg.DoModal("Birthd12.shr"));
    EXPECT_EQ(name, "Birthd12.shr");
    EXPECT_EQ(folder, platform::WindowsPathFor(m_dir));
    EXPECT_EQ(pOk, &dlg.m_btnOK);
    EXPECT_EQ(dlg.m_btnOK.m_nIconID, IDI_BUTTON_OK);
    EXPECT_EQ(dlg.m_btnCancel.m_nIconID, IDI_BUTTON_CANCEL);
    EXPECT_EQ(dlg.m_btnOK.m_hWnd, HWND(NULL)) << "let go when the dialog closed";
    EXPECT_EQ(dlg.m_ofn.Flags & (OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE),
        DWORD(OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE));
    EXPECT_EQ(dlg.m_ofn.nMaxFile, 263u);
}

TEST_F(SaveDlgTest, ADesignFolderOnACdRomStartsInTheUsersHome)
{
    const std::string cd = testing_support::MakeTempDir("cd");
    platform::SetDriveTable(platform::DriveTable::Build("/dev/sda1 / ext4 rw 0 0\n", "R=" + cd + ":cdrom:DISC", {}));
    thePrefs.CurDesignFolder = "R:\\designs\\";
    const std::string home = testing_support::MakeTempDir("home");
    const char* pszSavedHome = getenv("HOME");
    const std::string savedHome = pszSavedHome != nullptr ? pszSavedHome : "";
    setenv("HOME", home.c_str(), 1);
    CString strHome = CString(platform::WindowsPathFor(home).c_str()) + "\\";
    EXPECT_STREQ(GetDesignSaveFolder(), strHome);

    CSaveAsDlg dlg(OFN_HIDEREADONLY);
    std::string folder;
    RunSteps({[&](HWND h) {
        folder = FolderShown(h);
        Press(h, IDCANCEL);
    }});
    EXPECT_FALSE(dlg.DoModal(""));
    if (pszSavedHome != nullptr)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
    strHome.TrimRight('\\');
    EXPECT_EQ(CString(folder.c_str()).CompareNoCase(strHome), 0) << folder;
}

// A stand-in for the common dialog: a window holding OK, Cancel and the
// given Help buttons, with the hook's child window inside it.
struct FakeCommonDialog {
    explicit FakeCommonDialog(std::initializer_list<int> helpIds)
    {
        hDlg = ::CreateWindowEx(0, "STATIC", "Save As", WS_POPUP | WS_VISIBLE, 10, 10, 400, 300, NULL, NULL, NULL,
            nullptr);
        for (int id : std::initializer_list<int>{IDOK, IDCANCEL}) {
            ::CreateWindowEx(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4, 4 + id * 24, 60, 20, hDlg,
                HMENU(INT_PTR(id)), NULL, nullptr);
        }
        for (int id : helpIds) {
            ::CreateWindowEx(0, "BUTTON", "Help", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 80, 4, 60, 20, hDlg,
                HMENU(INT_PTR(id)), NULL, nullptr);
        }
        hChild = ::CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 200, 20, 20, hDlg, HMENU(INT_PTR(99)),
            NULL, nullptr);
    }
    ~FakeCommonDialog()
    {
        ::LockWindowUpdate(NULL);
        ::DestroyWindow(hDlg);
    }
    HWND hDlg = NULL;
    HWND hChild = NULL;
};

TEST_F(SaveDlgTest, HelpIsDressedAtNineElseAtTheFrameworkHelpId)
{
    {
        FakeCommonDialog common({0xE146});
        CSaveAsDlg dlg(0);
        dlg.PrepareRecord("a.shr");
        EXPECT_EQ(CSaveAsDlg::HookProc(common.hChild, WM_INITDIALOG, 0, LPARAM(&dlg.m_ofn)), 0u);
        EXPECT_EQ(dlg.m_hWndDialog, common.hDlg);
        EXPECT_EQ(dlg.m_hWndChild, common.hChild);
        EXPECT_EQ(dlg.m_btnHelp.m_hWnd, ::GetDlgItem(common.hDlg, 0xE146));
        EXPECT_EQ(dlg.m_btnHelp.m_nIconID, IDI_BUTTON_HELP);
        EXPECT_EQ(dlg.m_btnOK.m_hWnd, ::GetDlgItem(common.hDlg, IDOK));
        // Done dressing, the dialog shows.
        OFNOTIFY done{};
        done.hdr.hwndFrom = common.hDlg;
        done.hdr.code = CDN_INITDONE;
        EXPECT_EQ(CSaveAsDlg::HookProc(common.hChild, WM_NOTIFY, 0, LPARAM(&done)), 1u);
    }
    {
        FakeCommonDialog common({9, 0xE146});
        CSaveAsDlg dlg(0);
        dlg.PrepareRecord("a.shr");
        CSaveAsDlg::HookProc(common.hChild, WM_INITDIALOG, 0, LPARAM(&dlg.m_ofn));
        EXPECT_EQ(dlg.m_btnHelp.m_hWnd, ::GetDlgItem(common.hDlg, 9));
    }
    {
        FakeCommonDialog common({});
        CSaveAsDlg dlg(0);
        dlg.PrepareRecord("a.shr");
        CSaveAsDlg::HookProc(common.hChild, WM_INITDIALOG, 0, LPARAM(&dlg.m_ofn));
        EXPECT_EQ(dlg.m_btnHelp.m_hWnd, HWND(NULL));
        EXPECT_EQ(dlg.m_btnCancel.m_hWnd, ::GetDlgItem(common.hDlg, IDCANCEL));
    }
}

TEST_F(SaveDlgTest, TheProposedNameIsCutToTheBuffer)
{
    CSaveAsDlg dlg(0);
    dlg.PrepareRecord(std::string(400, 'x').c_str());
    EXPECT_EQ(strlen(dlg.m_ofn.lpstrFile), 259u);
    EXPECT_EQ(dlg.m_ofn.lCustData, LPARAM(&dlg));
}

} // namespace
