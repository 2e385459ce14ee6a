// The signed-in user's logo, return address and credit line put on a
// design through their commands: where each lands in the work area, what a
// second logo or one that does not load does, the credit sentence, and what
// the commands leave of the modified state, the undo list and the
// preferences.

#include "tests/surface/SurfaceInputTestSupport.h"

#include "app/TextTable.h"
#include "assist/LogoDlg.h"
#include "model/UndoList.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/ProgramFolder.h"
#include "resources/mainframe.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestHome.h"
#include "text/TextBlock.h"

#include <filesystem>
#include <string>

namespace surfacetest {
namespace {

constexpr const char* kUser = "Ann Example";

class SurfaceUserItemsTest : public SurfaceInputTest {
protected:
    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        platform::InitFileSystem();
        platform::SetDriveTable(platform::DriveTable::Build("", "", {}));
        m_root = testing_support::MakeTempDir("useritems");
        std::filesystem::create_directories(m_root + "/program/support");
        platform::SetProgramFolderForTests(m_root + "/program");
        App()->SetRegistryKey("Threadwick Tests");
        m_strSavedUser = thePrefs.LastUser;
        thePrefs.LastUser = kUser;
        AddUser(kUser, "12 Mill Lane");
    }

    void TearDown() override
    {
        thePrefs.LastUser = m_strSavedUser;
        platform::headless::SetIdleHandler(nullptr);
        platform::SetProgramFolderForTests("");
        platform::ResetDriveTable();
        SurfaceInputTest::TearDown();
    }

    static void AddUser(const char* name, const char* address)
    {
        CUserTable users;
        UserRecord record;
        record.nInUse = 1;
        record.strUserName = name;
        if (*address != '\0') {
            record.strEnvelopeName = name;
            record.strAddress1 = address;
            record.strCity = "Bath";
            record.strState = "SO";
            record.strZip = "12345";
        }
        ASSERT_TRUE(users.AddRecord(record));
    }

    // A saved logo (its ".lgo" file and the picture beside it) chosen for
    // the signed-in user.
    void SaveLogo(const std::string& name, int cx, int cy)
    {
        const std::string base = m_root + "/program/support/" + name;
        testing_support::WriteFileBytes(base + ".lgo", "logo design");
        ASSERT_FALSE(picture_files::WriteJpeg(picture_files::Raster(cx, cy, RGB(200, 30, 30)), base + ".jpg").empty());
        ASSERT_TRUE(CLogoDlg::RememberLogo(kUser, name.c_str()));
    }

    // A view whose work area is x -400..400, y 500..-500.
    CSurface* NewWorkAreaView()
    {
        CSurface* pView = NewView();
        if (pView == nullptr)
            return nullptr;
        pView->SetPageSize(850, 1100);
        pView->GetDocument()->m_rectMargins = CRect(24, 49, 25, 50);
        CRect area;
        pView->GetWorkArea(&area, 0);
        EXPECT_EQ(area, CRect(-400, 500, 400, -500));
        return pView;
    }

    static void Command(CSurface* pView, UINT nID) { pView->SendMessage(WM_COMMAND, nID); }
    static CUndoList& Undo(CSurface* pView) { return pView->GetDocument()->GetUndoList(); }
    static int ObjectCount(CSurface* pView) { return static_cast<int>(pView->GetObjects().GetCount()); }
    static CDrawObj* Only(CSurface* pView)
    {
        return ObjectCount(pView) == 1 ? AsDrawObj(pView->GetObjects().GetHead()) : nullptr;
    }
    static size_t BoxCount() { return platform::headless::MessageBoxes().size(); }

    std::string m_root;
    CString m_strSavedUser;
};

} // namespace

TEST_F(SurfaceUserItemsTest, LogoTakesItsProportionsMirroredAndASecondRunOnlyReplacesItsPicture)
{
    SaveLogo("Club", 300, 100);
    CSurface* pView = NewWorkAreaView();
    ASSERT_NE(pView, nullptr);
    Command(pView, ID_INSERT_USER_LOGO);
    CDrawObj* pLogo = Only(pView);
    ASSERT_NE(pLogo, nullptr);
    ASSERT_EQ(pLogo->GetNaturalSize().cx, 3 * pLogo->GetNaturalSize().cy);
    // 0.2 of the height tall at the picture's 3 : 1, centred across the area
    // and 0.4 of the height below its top; one step with its mirroring.
    EXPECT_EQ(pLogo->GetNormalizedPosition(), CRect(-300, 100, 300, -100));
    EXPECT_TRUE(pLogo->IsMirroredX());
    EXPECT_NE(pLogo->m_wTextFlags & OBJ_TEXT_USER_LOGO, 0);
    EXPECT_TRUE(pLogo->HasPictureLineColor());
    EXPECT_EQ(pLogo->GetPictureLineColor(), COLORREF(0xFFFFFF));
    EXPECT_EQ(pView->GetSingleSelection(), pLogo);
    EXPECT_EQ(Undo(pView).GetCount(), 1);
    EXPECT_FALSE(pView->m_bUndoSuspended);
    const CRect placed = pLogo->m_position;
    const CString strFirst = pLogo->GetPictureFileName();

    // A square logo keeps the object's place, size and mirroring; the same
    // logo again is loaded afresh. One step each.
    SaveLogo("Team", 100, 100);
    Command(pView, ID_INSERT_USER_LOGO);
    ASSERT_EQ(Only(pView), pLogo);
    EXPECT_EQ(pLogo->m_position, placed);
    EXPECT_NE(pLogo->GetPictureFileName().Find("Team.jpg"), -1);
    Command(pView, ID_INSERT_USER_LOGO);
    ASSERT_EQ(Only(pView), pLogo);
    EXPECT_EQ(Undo(pView).GetCount(), 3);

    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    ASSERT_NE(Only(pView), nullptr);
    EXPECT_EQ(Only(pView)->GetPictureFileName(), strFirst);
    ASSERT_TRUE(Undo(pView).Undo(pView->GetDocument()));
    EXPECT_EQ(ObjectCount(pView), 0);
}

TEST_F(SurfaceUserItemsTest, ALogoThatDoesNotLoadLeavesTheSurfaceAsItWas)
{
    CSurface* pView = NewWorkAreaView();
    ASSERT_NE(pView, nullptr);
    SaveLogo("Broken", 10, 10);
    testing_support::WriteFileBytes(m_root + "/program/support/Broken.jpg", "\xFF\xD8 truncated");
    Command(pView, ID_INSERT_USER_LOGO);
    EXPECT_EQ(ObjectCount(pView), 0);

    SaveLogo("Club", 300, 100);
    Command(pView, ID_INSERT_USER_LOGO);
    CDrawObj* pLogo = Only(pView);
    ASSERT_NE(pLogo, nullptr);
    const CString strPicture = pLogo->GetPictureFileName();
    pView->GetDocument()->SetModifiedFlag(FALSE);

    // Damaged (the picture engine says so), gone (the command says so), or
    // nobody signed in to have one: the old logo stays as it was.
    ASSERT_TRUE(CLogoDlg::RememberLogo(kUser, "Broken"));
    Command(pView, ID_INSERT_USER_LOGO);
    std::filesystem::remove(m_root + "/program/support/Club.jpg");
    ASSERT_TRUE(CLogoDlg::RememberLogo(kUser, "Club"));
    const size_t nBoxes = BoxCount();
    Command(pView, ID_INSERT_USER_LOGO);
    thePrefs.LastUser.Empty();
    Command(pView, ID_INSERT_USER_LOGO);
    EXPECT_EQ(BoxCount(), nBoxes + 2);

    ASSERT_EQ(Only(pView), pLogo);
    EXPECT_TRUE(pLogo->HasPicture());
    EXPECT_EQ(pLogo->GetPictureFileName(), strPicture);
    EXPECT_EQ(Undo(pView).GetCount(), 1);
    EXPECT_FALSE(pView->GetDocument()->IsModified());
}

TEST_F(SurfaceUserItemsTest, LogoDialogOkRemembersTheChoiceAndPutsItOnTheOpenDesign)
{
    SaveLogo("Club", 300, 100);
    ASSERT_TRUE(CLogoDlg::RememberLogo(kUser, "Other"));
    CSurface* pView = NewWorkAreaView();
    ASSERT_NE(pView, nullptr);
    ASSERT_EQ(GetActiveSurface(), pView);

    CLogoDlg dlg;
    testing_support::DriveActiveWindow({testing_support::PressButton(IDOK)});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    Pump();
    EXPECT_EQ(App()->GetProfileString("Logos", kUser, ""), "Club");
    ASSERT_NE(Only(pView), nullptr);
    EXPECT_NE(Only(pView)->m_wTextFlags & OBJ_TEXT_USER_LOGO, 0);
}

TEST_F(SurfaceUserItemsTest, CreditLineFillsTheLowestBandUpsideDownAndLeavesTheModifiedStateAlone)
{
    AddUser("Threadwick User", "");
    struct Case {
        const char* user;
        BOOL bModified;
        const char* text;
    } const cases[] = {
        {kUser, FALSE, "This card was created by Ann Example."},
        {"ann example", TRUE, "This card was created by Ann Example."},
        {"", FALSE, "This card was created by an Bulletinarium User."},
        {"Threadwick User", FALSE, "This card was created by an Bulletinarium User."},
        {"Not In The Table", FALSE, "This card was created by an Bulletinarium User."},
    };
    for (const Case& c : cases) {
        thePrefs.LastUser = c.user;
        CSurface* pView = NewWorkAreaView();
        ASSERT_NE(pView, nullptr);
        pView->GetDocument()->SetModifiedFlag(c.bModified);
        Command(pView, ID_INSERT_CREDIT_LINE);

        CDrawObj* pLine = Only(pView);
        ASSERT_NE(pLine, nullptr) << c.user;
        EXPECT_EQ(pLine->GetText(), c.text) << c.user;
        EXPECT_EQ(pLine->GetNormalizedPosition(), CRect(-400, -350, 384, -500));
        EXPECT_TRUE(pLine->m_bFlipX && pLine->m_bFlipY);
        EXPECT_TRUE(pLine->IsBlockTextFixed());
        ASSERT_NE(pLine->GetTextBlock(), nullptr);
        EXPECT_EQ(pLine->GetTextBlock()->m_nAlignment, 2);
        EXPECT_TRUE(pView->GetSelection().IsEmpty());
        EXPECT_EQ(Undo(pView).GetCount(), 0);
        EXPECT_FALSE(pView->m_bUndoSuspended);
        EXPECT_EQ(pView->GetDocument()->IsModified(), c.bModified) << c.user;
    }
}

TEST_F(SurfaceUserItemsTest, ReturnAddressTakesTheCornerOrTheEnvelopeLineAndGivesBackTheFlag)
{
    struct Case {
        LONG layout;
        CRect rect;
    } const cases[] = {
        {-1, CRect(-400, 500, -240, 300)},
        {1, CRect(-300, 270, -60, 170)},
    };
    for (const Case& c : cases) {
        for (WORD wFlags : {WORD(0), WORD(0x0001)}) {
            thePrefs.Flags = wFlags;
            CSurface* pView = NewWorkAreaView();
            ASSERT_NE(pView, nullptr);
            CDrawDoc* pDoc = pView->GetDocument();
            DocQuickInfo info = pDoc->GetQuickInfo();
            info[DocQuickInfo::Unset] = c.layout;
            pDoc->SetQuickInfo(info);
            pDoc->SetModifiedFlag(FALSE);
            Command(pView, ID_INSERT_RETURN_ADDRESS);

            CDrawObj* pText = Only(pView);
            ASSERT_NE(pText, nullptr);
            // Upright, so that the address does not read mirrored.
            EXPECT_EQ(pText->m_position, c.rect) << c.layout;
            EXPECT_FALSE(pText->IsMirroredX());
            // Block text keeps LF alone between lines.
            EXPECT_EQ(pText->GetText(), "Ann Example\n12 Mill Lane\nBath, SO  12345");
            EXPECT_EQ(pView->GetSingleSelection(), pText);
            EXPECT_TRUE(pText->IsBlockTextFixed());
            ASSERT_NE(pText->GetTextBlock(), nullptr);
            EXPECT_EQ(pText->GetTextBlock()->m_logfont.lfWeight, FW_NORMAL);
            EXPECT_EQ(thePrefs.Flags, wFlags);
            EXPECT_FALSE(pDoc->IsModified());
        }
    }

    // Not on a design that prints without one, nor for a user without an
    // address or with nobody signed in.
    CSurface* pView = NewWorkAreaView();
    ASSERT_NE(pView, nullptr);
    pView->GetDocument()->m_wSecondFlags |= CDrawDoc::PrintNoReturnAddress;
    Command(pView, ID_INSERT_RETURN_ADDRESS);
    pView->GetDocument()->m_wSecondFlags = 0;
    AddUser("Blank", "");
    for (const char* user : {"Blank", ""}) {
        thePrefs.LastUser = user;
        Command(pView, ID_INSERT_RETURN_ADDRESS);
    }
    EXPECT_EQ(ObjectCount(pView), 0);
}

} // namespace surfacetest
