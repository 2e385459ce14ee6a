// The program's file dialog over the window system's own: the picture
// buttons it dresses, and the file the user chooses coming back.

#include "controls/OlvFileDlg.h"
#include "app/Paths.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/ui/CommDlg.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "resources/Resources.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// What the dialog looked like while it was up.
struct Seen {
    bool shown = false;
    CWnd* ok = nullptr;
    CWnd* cancel = nullptr;
    CWnd* help = nullptr; // the object on the dressed Help control
    UINT okStyle = 0;
    CRect rect;
};

class OlvFileDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::InitFileSystem();
        threadwick::RegisterResources();
        m_dir = testing_support::MakeTempDir("olvfile");
    }
    void TearDown() override { platform::headless::SetIdleHandler(nullptr); }

    // When the dialog is idle: note what it shows, type the name (when
    // given) and press the button.
    void AnswerWith(int nID, const CString& name, Seen& seen, int nHelpID = 0)
    {
        platform::headless::SetIdleHandler([nID, name, &seen, nHelpID]() {
            HWND hDlg = ::GetActiveWindow();
            HWND hButton = hDlg ? ::GetDlgItem(hDlg, nID) : NULL;
            if (hButton == NULL || seen.shown)
                return false;
            seen.shown = true;
            seen.ok = CWnd::FromHandlePermanent(::GetDlgItem(hDlg, IDOK));
            seen.cancel = CWnd::FromHandlePermanent(::GetDlgItem(hDlg, IDCANCEL));
            if (nHelpID != 0)
                seen.help = CWnd::FromHandlePermanent(::GetDlgItem(hDlg, nHelpID));
            seen.okStyle = UINT(::GetWindowLong(::GetDlgItem(hDlg, IDOK), GWL_STYLE));
            ::GetWindowRect(hDlg, &seen.rect);
            if (!name.IsEmpty())
                ::SetDlgItemText(hDlg, edt1, name);
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(hButton));
            return true;
        });
    }

    CString PathOf(const std::string& name) const
    {
        return CString((platform::WindowsPathFor(m_dir) + "\\" + name).c_str());
    }

    std::string m_dir;
};

// A dialog whose common dialog gains Help buttons of the given ids before
// the picture buttons are dressed, as a custom template would bring them.
class CHelpFileDlg : public COlvFileDlg {
public:
    CHelpFileDlg(std::initializer_list<int> helpIds) : COlvFileDlg(TRUE), m_helpIds(helpIds) {}

protected:
    BOOL OnInitDialog() override
    {
        for (int id : m_helpIds) {
            ::CreateWindowEx(0, "BUTTON", "Help", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4, 4, 60, 20,
                ::GetParent(m_hWnd), HMENU(INT_PTR(id)), NULL, nullptr);
        }
        return COlvFileDlg::OnInitDialog();
    }

private:
    std::vector<int> m_helpIds;
};

TEST_F(OlvFileDlgTest, ReturnsTheChosenFileWithPictureButtons)
{
    testing_support::WriteFileBytes(m_dir + "/Ann's shirt.shr", "design");
    COlvFileDlg dlg(TRUE, "shr", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Designs (*.shr)|*.shr|All (*.*)|*.*||");
    EXPECT_STREQ("COlvFileDlg", dlg.GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CFileDialog)));

    Seen seen;
    CString path = PathOf("Ann's shirt.shr");
    AnswerWith(IDOK, path, seen);
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_STREQ(path, dlg.GetPathName());
    EXPECT_STREQ("Ann's shirt.shr", dlg.GetFileName());

    // OK and Cancel were the picture buttons while the dialog was up; the
    // system dialog has neither control 9 nor ID_HELP, so no Help.
    EXPECT_EQ(&dlg.m_btnOK, seen.ok);
    EXPECT_EQ(&dlg.m_btnCancel, seen.cancel);
    EXPECT_EQ(UINT(BS_OWNERDRAW), seen.okStyle & 0x0F);
    EXPECT_EQ(IDI_BUTTON_OK, dlg.m_btnOK.m_nIconID);
    EXPECT_EQ(IDI_BUTTON_CANCEL, dlg.m_btnCancel.m_nIconID);
    EXPECT_EQ(-1, dlg.m_btnHelp.m_nIconID);
    // Centred on the screen, having no owner.
    EXPECT_NEAR(512, seen.rect.CenterPoint().x, 1);
    EXPECT_NEAR(384, seen.rect.CenterPoint().y, 1);
    // The buttons let go of their windows when the dialog closed.
    EXPECT_EQ(HWND(NULL), dlg.m_btnOK.m_hWnd);
    EXPECT_EQ(HWND(NULL), dlg.m_btnCancel.m_hWnd);

    // The same object runs again; Cancel gives nothing.
    Seen again;
    AnswerWith(IDCANCEL, CString(), again);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_TRUE(again.shown);
    EXPECT_EQ(&dlg.m_btnCancel, again.cancel);
}

TEST_F(OlvFileDlgTest, DressesHelpAtNineElseAtTheFrameworkHelpId)
{
    testing_support::WriteFileBytes(m_dir + "/a.txt", "a");
    {
        CHelpFileDlg dlg({0xE146});
        Seen seen;
        AnswerWith(IDOK, PathOf("a.txt"), seen, 0xE146);
        ASSERT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(&dlg.m_btnHelp, seen.help);
        EXPECT_EQ(IDI_BUTTON_HELP, dlg.m_btnHelp.m_nIconID);
    }
    {
        CHelpFileDlg dlg({9, 0xE146});
        Seen seen;
        AnswerWith(IDOK, PathOf("a.txt"), seen, 9);
        ASSERT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(&dlg.m_btnHelp, seen.help);
    }
}

} // namespace

namespace {

TEST_F(OlvFileDlgTest, SharedServicesUseItOnceInstalled)
{
    testing_support::WriteFileBytes(m_dir + "/notes.txt", "text");
    CString path = PathOf("notes.txt");

    // Before the kit installs itself the plain file dialog answers: no
    // picture buttons on it.
    SetProgramFileDialogMaker(nullptr);
    Seen plain;
    AnswerWith(IDOK, path, plain);
    CString chosen;
    ASSERT_TRUE(BrowseForTextFile(chosen));
    EXPECT_STREQ(path, chosen);
    EXPECT_EQ(nullptr, plain.ok);
    EXPECT_NE(UINT(BS_OWNERDRAW), plain.okStyle & 0x0F);

    InstallProgramFileDialog();
    Seen dressed;
    AnswerWith(IDOK, path, dressed);
    ASSERT_TRUE(BrowseForTextFile(chosen));
    EXPECT_STREQ(path, chosen);
    // OK became a picture button: an owner-drawn button object.
    ASSERT_NE(nullptr, dressed.ok);
    EXPECT_EQ(UINT(BS_OWNERDRAW), dressed.okStyle & 0x0F);
    SetProgramFileDialogMaker(nullptr);
}

} // namespace
