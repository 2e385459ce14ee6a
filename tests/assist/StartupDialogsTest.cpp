// The small dialogs of start-up and the extras: what each answers and what
// its callers read after it ran.

#include "assist/ExternalPrograms.h"
#include "assist/InsertCDDlg.h"
#include "assist/LogoDlg.h"
#include "assist/PremadeDesigns.h"
#include "assist/ReturnAddressDlg.h"
#include "assist/SaveLogoDlg.h"
#include "assist/SplashDlg.h"
#include "assist/SurveyDlg.h"
#include "assist/UploadDesignDlg.h"
#include "assist/UserSignInDlg.h"

#include "app/TextTable.h"
#include "platform/files/DriveTable.h"
#include "platform/services/Shell.h"
#include "tests/assist/AssistTestSupport.h"
#include "tests/support/PictureButtonFit.h"

#include <string>

namespace assisttest {
namespace {

class StartupDialogsTest : public AssistTest {
protected:
    void AddUser(const char* name)
    {
        CUserTable users;
        UserRecord record;
        record.nInUse = 1;
        record.strUserName = name;
        ASSERT_TRUE(users.AddRecord(record));
    }
    void MakeSupportFile(const std::string& name)
    {
        testing_support::WriteFileBytes(m_folder + "/support/" + name, "logo");
    }
};

TEST_F(StartupDialogsTest, SplashIsMadeWithoutParentAndOnce)
{
    CSplashDlg splash;
    ASSERT_TRUE(splash.Create());
    HWND hWnd = splash.m_hWnd;
    EXPECT_TRUE(::IsWindow(hWnd));
    EXPECT_EQ(::GetParent(hWnd), HWND(NULL));
    EXPECT_FALSE(::IsWindowVisible(hWnd)); // the application shows it
    EXPECT_TRUE(splash.Create());
    EXPECT_EQ(splash.m_hWnd, hWnd);

    // Enter and Esc do not end it: only the application does.
    ::SendMessage(hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(::IsWindow(hWnd));
    splash.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(StartupDialogsTest, SurveyAnswersEachOfItsThreeButtons)
{
    for (int nButton : {IDOK, IDC_SURVEY_LATER, IDCANCEL}) {
        CSurveyDlg dlg;
        Drive({Press(nButton)});
        EXPECT_EQ(nButton, dlg.DoModal());
    }
    EXPECT_EQ(IDC_SURVEY_LATER, 141);
}

TEST_F(StartupDialogsTest, SurveyButtonCaptionsKeepClearOfTheirIcons)
{
    CSurveyDlg dlg;
    std::string clashes = "not looked at";
    Drive({
        [&clashes](HWND hDlg) {
            clashes = testing_support::PictureButtonClashes(hDlg);
            return true;
        },
        Press(IDCANCEL),
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(clashes, "");
}

TEST_F(StartupDialogsTest, InsertCdAndUploadAnswerTheirButtons)
{
    {
        CInsertCDDlg dlg;
        Drive({Press(IDOK)});
        EXPECT_EQ(IDOK, dlg.DoModal());
    }
    {
        CInsertCDDlg dlg;
        Drive({Press(IDCANCEL)});
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
    }
    {
        CUploadDesignDlg dlg;
        Drive({Press(IDOK)});
        EXPECT_EQ(IDOK, dlg.DoModal());
    }
    EXPECT_TRUE(CheckProgramCD(nullptr));
}

TEST_F(StartupDialogsTest, SignInTakesAndGivesBackTheSingleUserFlag)
{
    AddUser("Predesigned");
    AddUser("Ann");
    AddUser("Bob");

    CUserSignInDlg dlg;
    dlg.m_strUserName = "Bob";
    dlg.m_bSingleUser = 0;
    int nUsers = -1;
    int nPicked = -1;
    Drive({
        [&](HWND hDlg) {
            nUsers = int(::SendDlgItemMessage(hDlg, IDC_SIGNIN_USERS, LB_GETCOUNT, 0, 0));
            nPicked = int(::SendDlgItemMessage(hDlg, IDC_SIGNIN_USERS, LB_GETCURSEL, 0, 0));
            ::CheckDlgButton(hDlg, IDC_SIGNIN_SINGLE, BST_CHECKED);
            return true;
        },
        Press(IDOK),
    });
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(nUsers, 2); // the program's own "Predesigned" is nobody to sign in as
    EXPECT_EQ(nPicked, 1);
    EXPECT_EQ(dlg.m_bSingleUser, 1);
    EXPECT_EQ(dlg.m_strUserName, "Bob");

    CUserSignInDlg again;
    again.m_bSingleUser = 1;
    bool checked = false;
    Drive({
        [&](HWND hDlg) {
            checked = ::IsDlgButtonChecked(hDlg, IDC_SIGNIN_SINGLE) == BST_CHECKED;
            ::CheckDlgButton(hDlg, IDC_SIGNIN_SINGLE, BST_UNCHECKED);
            return true;
        },
        Press(IDOK),
    });
    ASSERT_EQ(IDOK, again.DoModal());
    EXPECT_TRUE(checked);
    EXPECT_EQ(again.m_bSingleUser, 0);
}

TEST_F(StartupDialogsTest, SignInCancelLeavesTheFlag)
{
    CUserSignInDlg dlg;
    dlg.m_bSingleUser = 1;
    Drive({
        [](HWND hDlg) {
            ::CheckDlgButton(hDlg, IDC_SIGNIN_SINGLE, BST_UNCHECKED);
            return true;
        },
        Press(IDCANCEL),
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(dlg.m_bSingleUser, 1);
}

TEST_F(StartupDialogsTest, ReturnAddressNeedsANameAndGivesTheSixTexts)
{
    CReturnAddressDlg dlg;
    Drive({
        Press(IDOK), // no name yet: refused with a message
        [](HWND hActive) {
            // The message box is up; answer it.
            ::PostMessage(hActive, WM_COMMAND, IDOK, 0);
            return true;
        },
        SetText(IDC_RETADDR_USER, "  Ann  "),
        SetText(IDC_RETADDR_ENVELOPE, "Ann Smith"),
        SetText(IDC_RETADDR_ADDRESS1, "1 Main St"),
        SetText(IDC_RETADDR_ADDRESS2, "Apt 2"),
        SetText(IDC_RETADDR_CITY, "Springfield"),
        SetText(IDC_RETADDR_STATE, "IL"),
        SetText(IDC_RETADDR_ZIP, "62701"),
        Press(IDOK),
    });
    ASSERT_EQ(IDOK, dlg.DoModal());
    UserRecord record;
    dlg.FillRecord(record);
    EXPECT_EQ(record.nInUse, 1);
    EXPECT_EQ(record.strUserName, "Ann");
    EXPECT_EQ(record.strEnvelopeName, "Ann Smith");
    EXPECT_EQ(record.strAddress1, "1 Main St");
    EXPECT_EQ(record.strAddress2, "Apt 2");
    EXPECT_EQ(record.strCity, "Springfield");
    EXPECT_EQ(record.strState, "IL");
    EXPECT_EQ(record.strZip, "62701");
}

TEST_F(StartupDialogsTest, FirstUserIsAskedThroughTheReturnAddressDialog)
{
    CReturnAddressDlg::InstallAsUserPrompt();
    Drive({SetText(IDC_RETADDR_USER, "Carol"), Press(IDOK)});
    {
        CUserGuard guard;
    }
    CUserGuard::SetReturnAddressPrompt(nullptr);
    CUserTable users;
    EXPECT_TRUE(users.UserExists("Carol"));
    EXPECT_TRUE(users.UserExists("Predesigned"));
}

TEST_F(StartupDialogsTest, SaveLogoGivesATrimmedNameAndRefusesFileNameCharacters)
{
    for (const char* bad : {"", "a/b", "a\\b", "what?", "x:y", "<x>", "a|b", "..", "a*"})
        EXPECT_FALSE(CSaveLogoDlg::IsValidLogoName(bad)) << bad;
    EXPECT_FALSE(CSaveLogoDlg::IsValidLogoName(CString('n', CSaveLogoDlg::kMaxNameLength + 1)));
    EXPECT_TRUE(CSaveLogoDlg::IsValidLogoName("Team logo 2"));

    CSaveLogoDlg dlg;
    Drive({
        SetText(IDC_SAVELOGO_NAME, "bad/name"),
        Press(IDOK),
        [](HWND hActive) {
            ::PostMessage(hActive, WM_COMMAND, IDOK, 0); // the message box
            return true;
        },
        SetText(IDC_SAVELOGO_NAME, "  Club  "),
        Press(IDOK),
    });
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(dlg.m_strName, "Club");
}

TEST_F(StartupDialogsTest, LogoListsTheSavedLogosByName)
{
    MakeSupportFile("Zebra.lgo");
    MakeSupportFile("apple.lgo");
    MakeSupportFile("notes.txt");
    const std::vector<CString> logos = CLogoDlg::FindSavedLogos();
    ASSERT_EQ(logos.size(), 2u);
    EXPECT_EQ(logos[0], ProgramFolder() + "support\\apple.lgo");
    EXPECT_EQ(logos[1], ProgramFolder() + "support\\Zebra.lgo");

    CLogoDlg dlg;
    CString first;
    Drive({
        [&first](HWND hDlg) {
            char buffer[64] = {};
            ::SendDlgItemMessage(hDlg, IDC_LOGO_LIST, LB_GETTEXT, 0, LPARAM(buffer));
            first = buffer;
            ::SendDlgItemMessage(hDlg, IDC_LOGO_LIST, LB_SETCURSEL, 1, 0);
            return true;
        },
        Press(IDOK),
    });
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(first, "apple");
    EXPECT_EQ(dlg.m_strPath, ProgramFolder() + "support\\Zebra.lgo");
}

TEST_F(StartupDialogsTest, LogoWithoutLogosOffersOnlyCancel)
{
    CLogoDlg dlg;
    bool okEnabled = true;
    Drive({
        [&okEnabled](HWND hDlg) {
            okEnabled = ::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)) != FALSE;
            return true;
        },
        Press(IDCANCEL),
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_FALSE(okEnabled);
    EXPECT_TRUE(dlg.m_strPath.IsEmpty());
}

TEST_F(StartupDialogsTest, NoPremadeDesignsWithoutKits)
{
    PremadeDesignList list{{0, "stale", "C:\\x.shr"}};
    EXPECT_EQ(0, FindPremadeDesigns(list));
    EXPECT_TRUE(list.empty());
}

TEST_F(StartupDialogsTest, PremadeDesignsAreTheDesignRecordsWhoseFilesExist)
{
    testing_support::WriteFileBytes(m_folder + "/support/star.shr", "design");
    {
        CTableFile designs;
        DesignRecord record;
        record.nKind = 0;
        record.strName = "Star";
        record.strPath = ProgramFolder() + "support\\star.shr";
        ASSERT_TRUE(designs.AddRecord(record, FALSE));
        record.strName = "Gone";
        record.strPath = ProgramFolder() + "support\\gone.shr";
        ASSERT_TRUE(designs.AddRecord(record, FALSE));
        record.strName = "No kind";
        record.nKind = 6;
        record.strPath = ProgramFolder() + "support\\star.shr";
        ASSERT_TRUE(designs.AddRecord(record, FALSE));
    }
    PremadeDesignList list;
    ASSERT_EQ(1, FindPremadeDesigns(list));
    EXPECT_EQ(list[0].wKind, 0);
    EXPECT_EQ(list[0].strName, "Star");
}

TEST_F(StartupDialogsTest, PremadeDesignsComeFromTheProgramDiscToo)
{
    const std::string disc = testing_support::MakeTempDir("disc");
    std::filesystem::create_directories(disc + "/Document");
    testing_support::WriteFileBytes(disc + "/Document/cap.apl", "design");
    const CString discRoot = CString(platform::WindowsPathFor(disc).c_str()) + "\\";
    {
        // Made where a table is made, then put where the disc keeps it.
        CTableFile designs(discRoot);
        DesignRecord record;
        record.nKind = 1;
        record.strName = "Cap";
        record.strPath = discRoot + "Document\\cap.apl";
        ASSERT_TRUE(designs.AddRecord(record, FALSE));
    }
    std::filesystem::rename(disc + "/QVN.kqa", disc + "/Document/tovell.kqa");
    platform::SetDriveTable(platform::DriveTable::Build("/dev/sda1 / ext4 rw 0 0\n", "E=" + disc + ":cdrom:DISC", {}));

    PremadeDesignList list;
    const int nFound = FindPremadeDesigns(list);
    platform::ResetDriveTable();
    ASSERT_EQ(1, nFound);
    EXPECT_EQ(list[0].wKind, 1);
    EXPECT_EQ(list[0].strName, "Cap");
}

TEST_F(StartupDialogsTest, OpensUrlsThroughTheDesktopAndFindsNoCompanionPrograms)
{
    std::string opened;
    platform::UrlOpener previous = platform::SetUrlOpener([&opened](const std::string& target) {
        opened = target;
        return true;
    });
    EXPECT_TRUE(OpenURL("https://example.com/infocentral/surveys/tovell"));
    EXPECT_EQ(opened, "https://example.com/infocentral/surveys/tovell");
    EXPECT_FALSE(OpenURL(""));
    platform::SetUrlOpener(previous);

    CString path = "unchanged";
    EXPECT_FALSE(FindFontViewerExe(path));
    EXPECT_FALSE(FindContaxExe(path));
    EXPECT_EQ(path, "unchanged");
    testing_support::WriteFileBytes(m_folder + "/Contax.exe", "program");
    EXPECT_TRUE(FindContaxExe(path));
    EXPECT_EQ(path, ProgramFolder() + "Contax.exe");
}

} // namespace
} // namespace assisttest
