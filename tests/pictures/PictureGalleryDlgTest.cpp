// The Picture Gallery driven by real messages on the headless back end: the
// remembered category, Add Picture with its progress and refusals, Remove,
// Insert with the disk prompts and the moved-disk lookup, Categories Setup
// with its name checks, the kept size and layout; and the picture list box's
// drawing.

#include "pictures/PictureGalleryDlg.h"

#include "app/Paths.h"
#include "app/PrefData.h"
#include "assist/PreviewGrid.h"
#include "pictures/Image.h"
#include "pictures/ImgLB.h"
#include "resources/Resources.h"
#include "resources/gallery.h"

#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/framework/WinApp.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MemoryCanvas.h"
#include "tests/support/TestHome.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::DriveActiveWindow;
using testing_support::WindowTitle;

// An application whose message boxes may act while they are up, as a user
// would press another window's button before answering.
class BoxApp : public fwtest::TestApp {
public:
    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override
    {
        if (m_onBox)
            m_onBox(lpszPrompt);
        return fwtest::TestApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
    }
    std::function<void(const std::string&)> m_onBox;
};

class PictureGalleryDlgTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        m_pApp = &MakeApp<BoxApp>();
        App()->SetRegistryKey("Threadwick Tests");
        threadwick::RegisterResources();
        platform::InitFileSystem();
        platform::SetDriveTable(platform::DriveTable());
        m_folder = testing_support::MakeTempDir("gallery");
        m_db = platform::WindowsPathFor(m_folder + "/imagedb.olv");
    }
    void TearDown() override
    {
        platform::ResetDriveTable();
        FrameworkTest::TearDown();
    }

    std::string Picture(const std::string& name, int w = 12, int h = 8) const
    {
        return picture_files::WriteBmp(picture_files::Raster(w, h, RGB(30, 90, 200)), m_folder + "/" + name);
    }
    // A database holding the categories, with pictures added to some.
    void MakeDatabase(const std::vector<std::string>& names) const
    {
        CGalleryDB db(m_db.c_str());
        for (const std::string& name : names)
            db.AddCategoryName(name.c_str());
        ASSERT_TRUE(db.WriteCategoryNames());
    }
    void AddTo(const char* category, const std::string& path, const char* label) const
    {
        CGalleryDB db(m_db.c_str());
        ASSERT_TRUE(db.AddPicture(category, path.c_str(), label));
    }
    std::unique_ptr<CImageCategoryDlg> Open(const DWORD* pOptions = nullptr)
    {
        auto pDlg = std::make_unique<CImageCategoryDlg>(nullptr, CString(), 0, pOptions, m_db.c_str());
        EXPECT_TRUE(pDlg->Create(IDD_PICTURE_GALLERY));
        return pDlg;
    }
    static int Sel(const CImageCategoryDlg& dlg)
    {
        return int(::SendDlgItemMessage(dlg.m_hWnd, IDC_GALLERY_CATEGORIES, LB_GETCURSEL, 0, 0));
    }
    static BOOL Enabled(const CImageCategoryDlg& dlg, int nID) { return ::IsWindowEnabled(::GetDlgItem(dlg.m_hWnd, nID)); }
    static void Click(const CWnd& dlg, int nID)
    {
        ::SendMessage(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(dlg.m_hWnd, nID)));
    }
    static std::vector<std::string> Texts()
    {
        std::vector<std::string> out;
        for (const auto& box : platform::headless::MessageBoxes())
            out.push_back(box.text);
        return out;
    }
    std::vector<std::string> Names() const
    {
        CGalleryDB db(m_db.c_str());
        std::vector<std::string> out;
        for (int i = 0; i < db.GetCategoryCount(); ++i)
            out.emplace_back(static_cast<LPCTSTR>(db.GetCategoryName(i)));
        return out;
    }

    std::string m_folder;
    std::string m_db;
    BoxApp* m_pApp = nullptr;
};

TEST_F(PictureGalleryDlgTest, TheStoredCategoryIsSelectedAndAStaleOneSelectsNothing)
{
    MakeDatabase({"Animals", "Birds", "Cars"});
    AddTo("Birds", Picture("owl.bmp"), "");
    AddTo("Birds", Picture("tit.bmp"), "");

    CPrefData::SetSelImgCategory("BIRDS");
    {
        auto pDlg = Open();
        EXPECT_EQ(Sel(*pDlg), 1);
        EXPECT_EQ(pDlg->GetSelectedCategory(), "Birds");
        ASSERT_NE(pDlg->GetGrid(), nullptr);
        EXPECT_EQ(pDlg->GetGrid()->GetItemCount(), 2);
        EXPECT_TRUE(Enabled(*pDlg, IDC_GALLERY_ADD));
        EXPECT_FALSE(Enabled(*pDlg, IDC_GALLERY_REMOVE)) << "no picture is selected yet";
        EXPECT_FALSE(Enabled(*pDlg, IDC_GALLERY_INSERT));
        // Without an option array both boxes are cleared and disabled.
        EXPECT_FALSE(Enabled(*pDlg, IDC_GALLERY_PROPORTIONAL));
        EXPECT_FALSE(Enabled(*pDlg, IDC_GALLERY_NATURAL_SIZE));
        EXPECT_EQ(pDlg->GetOption(0), CImageCategoryDlg::kNoOption);
        EXPECT_EQ(CPrefData::GetSelImgCategory(), "Birds") << "the list's own spelling is stored";

        // Selecting a picture enables Remove and Insert.
        pDlg->GetGrid()->SetCurSel(1);
        EXPECT_TRUE(Enabled(*pDlg, IDC_GALLERY_REMOVE));
        EXPECT_TRUE(Enabled(*pDlg, IDC_GALLERY_INSERT));
        pDlg->DestroyWindow();
    }

    CPrefData::SetSelImgCategory("Gone");
    {
        auto pDlg = Open();
        EXPECT_EQ(Sel(*pDlg), LB_ERR);
        EXPECT_EQ(pDlg->GetGrid()->GetItemCount(), 0);
        EXPECT_TRUE(Enabled(*pDlg, IDC_GALLERY_ADD)) << "the list is not empty";
        EXPECT_EQ(CPrefData::GetSelImgCategory(), "Gone");
        pDlg->DestroyWindow();
    }

    CPrefData::SetSelImgCategory("");
    const DWORD options[2] = {1, 0};
    {
        auto pDlg = Open(options);
        EXPECT_EQ(Sel(*pDlg), 0) << "nothing remembered: the first category";
        EXPECT_TRUE(Enabled(*pDlg, IDC_GALLERY_PROPORTIONAL));
        EXPECT_EQ(::IsDlgButtonChecked(pDlg->m_hWnd, IDC_GALLERY_PROPORTIONAL), UINT(BST_CHECKED));
        EXPECT_EQ(::IsDlgButtonChecked(pDlg->m_hWnd, IDC_GALLERY_NATURAL_SIZE), UINT(BST_UNCHECKED));
        Click(*pDlg, IDC_GALLERY_NATURAL_SIZE);
        ::CheckDlgButton(pDlg->m_hWnd, IDC_GALLERY_NATURAL_SIZE, BST_CHECKED);
        Click(*pDlg, IDC_GALLERY_NATURAL_SIZE);
        DWORD back[2] = {9, 9};
        pDlg->CopyOptions(back);
        EXPECT_EQ(back[0], 1u);
        EXPECT_EQ(back[1], 1u);
        pDlg->DestroyWindow();
    }

    // No categories at all: nothing to add to.
    std::filesystem::remove(m_folder + "/imagedb.olv");
    auto pDlg = Open();
    EXPECT_EQ(Sel(*pDlg), LB_ERR);
    EXPECT_FALSE(Enabled(*pDlg, IDC_GALLERY_ADD));
    pDlg->DestroyWindow();
}

TEST_F(PictureGalleryDlgTest, AddPictureSaysOnceThatMetafilesAreRefused)
{
    MakeDatabase({"Animals"});
    const std::vector<std::string> files = {platform::WindowsPathFor(m_folder + "/a.emf"), Picture("b.bmp"),
        platform::WindowsPathFor(m_folder + "/c.cgm"), platform::WindowsPathFor(m_folder + "/d.EMF")};
    auto pDlg = Open();
    pDlg->SetFileChooser([&](CWnd*, CString&, CString&, int&, CStringArray& paths) {
        for (const std::string& file : files)
            paths.Add(file.c_str());
        return 1;
    });
    pDlg->SetLabelReader([](const CString&) { return CString(); });
    Click(*pDlg, IDC_GALLERY_ADD);
    EXPECT_EQ(Texts(), std::vector<std::string>({"CGM and EMF picture types are not allowed in the Picture Gallery"}));
    ASSERT_EQ(pDlg->GetGrid()->GetItemCount(), 1);
    EXPECT_EQ(pDlg->GetDatabase().GetPictureFile(0), files[1].c_str());
    pDlg->DestroyWindow();
}

TEST_F(PictureGalleryDlgTest, WhileAddPictureRunsOnlyItsProgressTakesInput)
{
    MakeDatabase({"Animals"});
    const std::vector<std::string> files = {Picture("a.bmp"), platform::WindowsPathFor(m_folder + "/b.emf"),
        Picture("c.bmp")};
    auto pDlg = Open();
    pDlg->SetFileChooser([&](CWnd*, CString&, CString&, int&, CStringArray& paths) {
        for (const std::string& file : files)
            paths.Add(file.c_str());
        return 1;
    });
    pDlg->SetLabelReader([](const CString&) { return CString(); });
    // Looked at halfway, while the metafile's message is up.
    BOOL bGalleryEnabled = TRUE;
    BOOL bProgressEnabled = FALSE;
    m_pApp->m_onBox = [&](const std::string&) {
        bGalleryEnabled = ::IsWindowEnabled(pDlg->m_hWnd);
        const HWND hProgress = ::FindWindow(nullptr, "Adding to Picture Gallery");
        bProgressEnabled = hProgress != NULL && ::IsWindowEnabled(hProgress);
    };
    Click(*pDlg, IDC_GALLERY_ADD);
    m_pApp->m_onBox = nullptr;
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_FALSE(bGalleryEnabled) << "Add and Remove cannot be pressed again meanwhile";
    EXPECT_TRUE(bProgressEnabled) << "Cancel can";
    EXPECT_TRUE(::IsWindowEnabled(pDlg->m_hWnd));
    EXPECT_EQ(pDlg->GetGrid()->GetItemCount(), 2);
    pDlg->DestroyWindow();
}

TEST_F(PictureGalleryDlgTest, AddPictureRefusesMetafilesAndACancelKeepsWhatWasAdded)
{
    MakeDatabase({"Animals"});
    const std::vector<std::string> files = {Picture("a.bmp"), platform::WindowsPathFor(m_folder + "/b.emf"),
        Picture("c.bmp"), Picture("d.bmp")};
    auto pDlg = Open();
    CString strRootAsked;
    int nChooserMode = 0;
    pDlg->SetFileChooser([&](CWnd*, CString&, CString& strType, int& nIndex, CStringArray& paths) {
        nChooserMode = 4;
        strType = "Bitmaps";
        nIndex = 3;
        for (const std::string& file : files)
            paths.Add(file.c_str());
        return 1;
    });
    pDlg->SetLabelReader([&](const CString& strRoot) {
        strRootAsked = strRoot;
        return CString("HOLIDAY");
    });
    // The user presses the progress window's Cancel while the metafile's
    // message is up.
    m_pApp->m_onBox = [](const std::string&) {
        HWND hProgress = ::FindWindow(nullptr, "Adding to Picture Gallery");
        ASSERT_NE(hProgress, HWND(NULL));
        ::SendMessage(hProgress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };

    Click(*pDlg, IDC_GALLERY_ADD);
    m_pApp->m_onBox = nullptr;

    EXPECT_EQ(nChooserMode, 4);
    EXPECT_EQ(strRootAsked, CString(files[0].c_str()).Left(3));
    EXPECT_EQ(pDlg->GetTypeName(), "Bitmaps") << "the file dialog's type is remembered";
    EXPECT_EQ(pDlg->GetTypeIndex(), 3);
    EXPECT_EQ(Texts(), std::vector<std::string>({"CGM and EMF picture types are not allowed in the Picture Gallery"}));
    EXPECT_EQ(::FindWindow(nullptr, "Adding to Picture Gallery"), HWND(NULL)) << "the progress window is gone";
    ASSERT_EQ(pDlg->GetGrid()->GetItemCount(), 1) << "the files after the cancel were not added";
    CGalleryDB& db = pDlg->GetDatabase();
    EXPECT_EQ(db.GetPictureFile(0), files[0].c_str());
    EXPECT_EQ(db.GetPictureLabel(0), "HOLIDAY");

    // Cancelling the file dialog adds nothing.
    pDlg->SetFileChooser([](CWnd*, CString&, CString&, int&, CStringArray& paths) {
        paths.Add("C:\\x.bmp");
        return 2;
    });
    Click(*pDlg, IDC_GALLERY_ADD);
    EXPECT_EQ(pDlg->GetGrid()->GetItemCount(), 1);
    pDlg->DestroyWindow();
}

TEST_F(PictureGalleryDlgTest, RemoveTakesTheSelectedEntryAndLeavesTheFile)
{
    MakeDatabase({"Animals"});
    const std::string a = Picture("a.bmp");
    const std::string b = Picture("b.bmp");
    AddTo("Animals", a, "");
    AddTo("Animals", b, "");
    auto pDlg = Open();
    Click(*pDlg, IDC_GALLERY_REMOVE);
    EXPECT_EQ(pDlg->GetGrid()->GetItemCount(), 2) << "nothing selected, nothing removed";

    pDlg->GetGrid()->SetCurSel(0);
    Click(*pDlg, IDC_GALLERY_REMOVE);
    ASSERT_EQ(pDlg->GetGrid()->GetItemCount(), 1);
    EXPECT_EQ(pDlg->GetDatabase().GetPictureFile(0), b.c_str());
    EXPECT_TRUE(FileExists(a.c_str()));
    EXPECT_FALSE(Enabled(*pDlg, IDC_GALLERY_REMOVE)) << "the reload leaves nothing selected";
    EXPECT_TRUE(Texts().empty()) << "there is no confirmation";
    pDlg->DestroyWindow();
}

TEST_F(PictureGalleryDlgTest, InsertAsksForTheDiskByItsLabelUntilCancelled)
{
    MakeDatabase({"Animals"});
    const std::string here = Picture("here.bmp");
    const std::string gone = Picture("gone.bmp");
    const std::string unlabelled = Picture("unlabelled.bmp");
    AddTo("Animals", here, "");
    AddTo("Animals", gone, "PHOTOCD");
    AddTo("Animals", unlabelled, "");
    std::filesystem::remove(m_folder + "/gone.bmp");
    std::filesystem::remove(m_folder + "/unlabelled.bmp");

    auto pDlg = Open();
    // A missing file without a label cannot be asked for.
    pDlg->GetGrid()->SetCurSel(2);
    Click(*pDlg, IDC_GALLERY_INSERT);
    EXPECT_TRUE(::IsWindow(pDlg->m_hWnd));
    EXPECT_EQ(Texts(), std::vector<std::string>({"Unable to locate " + unlabelled + "."}));

    // The disk is asked for while OK is pressed and the file is missing.
    platform::headless::PushMessageBoxAnswer(IDOK);
    platform::headless::PushMessageBoxAnswer(IDOK);
    platform::headless::PushMessageBoxAnswer(IDCANCEL);
    pDlg->GetGrid()->SetCurSel(1);
    Click(*pDlg, IDC_GALLERY_INSERT);
    const std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), 4u);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(texts[i], "Please insert the CD : PHOTOCD");
        EXPECT_EQ(platform::headless::MessageBoxes()[i].type & 0xF, UINT(MB_OKCANCEL));
    }
    EXPECT_EQ(pDlg->GetResult(), 2);

    // The disk inserted while the prompt is up is taken.
    m_pApp->m_onBox = [&](const std::string&) { Picture("gone.bmp"); };
    platform::headless::PushMessageBoxAnswer(IDOK);
    Click(*pDlg, IDC_GALLERY_INSERT);
    EXPECT_EQ(pDlg->GetResult(), 1);
    EXPECT_EQ(pDlg->GetChosenPath(), gone.c_str());
}

TEST_F(PictureGalleryDlgTest, AMissingPictureIsFoundOnAVolumeWithItsLabel)
{
    // The disk the picture came from is now mounted under another letter.
    const std::string mount = testing_support::MakeTempDir("cdrom");
    std::filesystem::create_directories(mount + "/clipart");
    picture_files::WriteBmp(picture_files::Raster(4, 4), mount + "/clipart/cat.bmp");
    const platform::DriveTable table
        = platform::DriveTable::Build("", "E=" + mount + ":cdrom:PETS", platform::MountEnvironment{});
    ASSERT_TRUE(table.Errors().empty());
    platform::SetDriveTable(table);

    MakeDatabase({"Animals"});
    const std::string original = Picture("cat.bmp");
    AddTo("Animals", original, "PETS");
    std::filesystem::remove(m_folder + "/cat.bmp");

    auto pDlg = Open();
    pDlg->GetGrid()->SetCurSel(0);
    const CString strStored = pDlg->GetDatabase().GetPictureFile(0);
    ASSERT_EQ(strStored, original.c_str());
    // Make the stored path's place below the root exist on E: as well.
    const std::string below = std::string(static_cast<LPCTSTR>(strStored.Mid(3)));
    std::string host = below;
    for (char& c : host)
        c = c == '\\' ? '/' : c;
    std::filesystem::create_directories(std::filesystem::path(mount + "/" + host).parent_path());
    picture_files::WriteBmp(picture_files::Raster(4, 4), mount + "/" + host);

    Click(*pDlg, IDC_GALLERY_INSERT);
    EXPECT_TRUE(Texts().empty()) << "no prompt: the labelled volume had it";
    EXPECT_EQ(pDlg->GetResult(), 1);
    EXPECT_EQ(pDlg->GetChosenPath(), CString("E:\\") + strStored.Mid(3));
}

TEST_F(PictureGalleryDlgTest, BrowseAndADoubleClickEndTheDialog)
{
    MakeDatabase({"Animals"});
    const std::string a = Picture("a.bmp");
    AddTo("Animals", a, "");
    {
        auto pDlg = Open();
        Click(*pDlg, IDC_GALLERY_BROWSE);
        EXPECT_EQ(pDlg->GetResult(), CImageCategoryDlg::kResultBrowse);
        pDlg->DestroyWindow();
    }
    auto pDlg = Open();
    CPreviewGrid* pGrid = pDlg->GetGrid();
    const CRect rc = pGrid->GetCellRect(0);
    ::SendMessage(pGrid->m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(rc.CenterPoint().x, rc.CenterPoint().y));
    Pump();
    EXPECT_EQ(pDlg->GetResult(), 1);
    EXPECT_EQ(pDlg->GetChosenPath(), a.c_str());
    pDlg->DestroyWindow();
}

// The Categories Setup road: each refusal's message, then the change, and
// the gallery's reselection after the setup dialog closes.
TEST_F(PictureGalleryDlgTest, SetupCategoriesAddsEditsAndRemovesWithTheirMessages)
{
    MakeDatabase({"Animals", "Birds"});
    AddTo("Birds", Picture("owl.bmp"), "");
    CPrefData::SetSelImgCategory("Birds");
    auto pDlg = Open();
    ASSERT_EQ(Sel(*pDlg), 1);

    auto typeAndOk = [](HWND hDlg, const char* text) {
        ::SetDlgItemText(hDlg, IDC_CATEGORY_NAME, text);
        ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    std::vector<std::string> shownNames;
    std::string oldNameShown;
    UINT nLimit = 0;
    // Add.
    DriveActiveWindow({
        [](HWND h) {
            if (WindowTitle(h) != "Categories Setup")
                return false;
            EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_CATEGORY_SETUP_EDIT)));
            ::PostMessage(h, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_SETUP_ADD, BN_CLICKED), 0);
            return true;
        },
        [&](HWND h) {
            if (WindowTitle(h) != "New Category")
                return false;
            nLimit = UINT(::SendDlgItemMessage(h, IDC_CATEGORY_NAME, EM_GETLIMITTEXT, 0, 0));
            typeAndOk(h, "   ");
            typeAndOk(h, " aNIMALS ");
            char shown[64] = {};
            ::GetDlgItemText(h, IDC_CATEGORY_NAME, shown, sizeof shown);
            shownNames.push_back(shown);
            typeAndOk(h, "contents");
            typeAndOk(h, "  Plants ");
            return true;
        },
    });
    Click(*pDlg, IDC_GALLERY_SETUP);
    EXPECT_EQ(nLimit, 25u);
    EXPECT_EQ(shownNames, std::vector<std::string>({"aNIMALS"})) << "the trimmed text is shown";
    EXPECT_EQ(Texts(), std::vector<std::string>({"Please specify a category name.", "Category name already exists.",
                           "\"Contents\" cannot be used as a category name."}));
    EXPECT_EQ(Names(), std::vector<std::string>({"Animals", "Birds", "Plants"}));
    EXPECT_EQ(Sel(*pDlg), 1) << "the selected name is selected again";
    EXPECT_EQ(pDlg->GetGrid()->GetItemCount(), 1);

    // Edit "Birds": its old name shows; other capitals of an existing name
    // are a duplicate.
    DriveActiveWindow({
        [](HWND h) {
            if (WindowTitle(h) != "Categories Setup")
                return false;
            ::SendDlgItemMessage(h, IDC_CATEGORY_SETUP_LIST, LB_SETCURSEL, 1, 0);
            ::PostMessage(h, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_SETUP_EDIT, BN_CLICKED), 0);
            return true;
        },
        [&](HWND h) {
            if (WindowTitle(h) != "Edit Category Name")
                return false;
            char old[64] = {};
            ::GetDlgItemText(h, IDC_CATEGORY_OLD_NAME, old, sizeof old);
            oldNameShown = old;
            typeAndOk(h, "");
            typeAndOk(h, "PLANTS");
            typeAndOk(h, "Parrots");
            return true;
        },
    });
    Click(*pDlg, IDC_GALLERY_SETUP);
    EXPECT_EQ(oldNameShown, "Birds");
    const std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[3], "Please specify a new category name.");
    EXPECT_EQ(texts[4], "Category name already exists.");
    EXPECT_EQ(Names(), std::vector<std::string>({"Animals", "Plants", "Parrots"}));
    // "Birds" is gone: its index (1) is selected, now "Plants".
    EXPECT_EQ(Sel(*pDlg), 1);
    {
        CGalleryDB db(m_db.c_str());
        EXPECT_EQ(db.GetPictureCount(2), 1) << "the renamed category keeps its pictures";
    }

    // Remove "Animals" after its question, then Close.
    platform::headless::PushMessageBoxAnswer(IDOK);
    DriveActiveWindow({
        [](HWND h) {
            if (WindowTitle(h) != "Categories Setup")
                return false;
            ::SendDlgItemMessage(h, IDC_CATEGORY_SETUP_LIST, LB_SETCURSEL, 0, 0);
            ::SendMessage(h, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_SETUP_REMOVE, BN_CLICKED), 0);
            EXPECT_EQ(::SendDlgItemMessage(h, IDC_CATEGORY_SETUP_LIST, LB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(::SendDlgItemMessage(h, IDC_CATEGORY_SETUP_LIST, LB_GETCOUNT, 0, 0), 2);
            ::PostMessage(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        },
    });
    Click(*pDlg, IDC_GALLERY_SETUP);
    EXPECT_EQ(Texts().back(), "Remove the category and all image links?");
    EXPECT_EQ(Names(), std::vector<std::string>({"Plants", "Parrots"}));
    EXPECT_EQ(Sel(*pDlg), 0) << "\"Plants\" was selected and is still there";
    pDlg->DestroyWindow();
}

TEST_F(PictureGalleryDlgTest, TheSizeIsKeptAndResizingKeepsTheButtonsAtTheirDistances)
{
    MakeDatabase({"Animals"});
    auto distance = [](const CWnd& dlg, int nID) {
        CRect rcClient;
        dlg.GetClientRect(&rcClient);
        CRect rc;
        ::GetWindowRect(::GetDlgItem(dlg.m_hWnd, nID), &rc);
        dlg.ScreenToClient(&rc);
        return CSize(rcClient.right - rc.right, rcClient.bottom - rc.bottom);
    };
    CRect rcFrame;
    CRect rcWindow;
    CSize closeDistance;
    {
        auto pDlg = Open();
        closeDistance = distance(*pDlg, IDCANCEL);
        const CSize checkDistance = distance(*pDlg, IDC_GALLERY_PROPORTIONAL);
        const CSize hintDistance = distance(*pDlg, IDC_GALLERY_HINT1);
        pDlg->GetWindowRect(&rcWindow);
        pDlg->SetWindowPos(nullptr, 10, 20, rcWindow.Width() - 60, rcWindow.Height() - 40, SWP_NOZORDER);
        EXPECT_EQ(distance(*pDlg, IDCANCEL), closeDistance);
        EXPECT_EQ(distance(*pDlg, IDC_GALLERY_PROPORTIONAL), checkDistance);
        EXPECT_EQ(distance(*pDlg, IDC_GALLERY_HINT1), hintDistance) << "the hint line stretches with the width";
        // The grid lies inside the stretched frame.
        ::GetWindowRect(::GetDlgItem(pDlg->m_hWnd, IDC_GALLERY_FRAME), &rcFrame);
        CRect rcGrid;
        pDlg->GetGrid()->GetWindowRect(&rcGrid);
        rcFrame.DeflateRect(CImageCategoryDlg::kGridInset, CImageCategoryDlg::kGridInset);
        EXPECT_EQ(rcGrid, rcFrame);
        pDlg->DestroyWindow();
    }
    EXPECT_FALSE(App()->GetProfileString("Application", "ImageCategoryDialog", "").IsEmpty());
    auto pDlg = Open();
    CRect rcAgain;
    pDlg->GetWindowRect(&rcAgain);
    EXPECT_EQ(rcAgain.Size(), CSize(rcWindow.Width() - 60, rcWindow.Height() - 40));
    EXPECT_EQ(distance(*pDlg, IDCANCEL), closeDistance);
    pDlg->DestroyWindow();
}

// ---- The picture list box ------------------------------------------------------------------

class ImgLBTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        MakeApp();
        threadwick::RegisterResources();
    }
    static DRAWITEMSTRUCT Item(CDC* pDC, DWORD_PTR nData, UINT action, UINT state)
    {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_LISTBOX;
        dis.itemAction = action;
        dis.itemState = state;
        dis.hDC = pDC->GetSafeHdc();
        dis.rcItem = RECT{0, 0, 40, 40};
        dis.itemData = nData;
        return dis;
    }
};

TEST_F(ImgLBTest, NullEntriesDrawNothingAndEmptyPicturesOnlyTheirFrames)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    CImgLB list;
    ASSERT_TRUE(list.Create(WS_CHILD | LBS_OWNERDRAWFIXED | LBS_NOTIFY, CRect(0, 0, 40, 120), &parent, 1));
    EXPECT_EQ(list.AddImage(nullptr), 0);
    EXPECT_EQ(list.AddImage(new CImage), 1);
    EXPECT_EQ(list.GetImage(0), nullptr);
    ASSERT_NE(list.GetImage(1), nullptr);
    EXPECT_EQ(list.GetImage(2), nullptr);

    MEASUREITEMSTRUCT mis{};
    list.MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 40u);
    EXPECT_EQ(mis.itemHeight, 40u);
    EXPECT_EQ(list.CompareItem(nullptr), -1);

    const COLORREF ground = RGB(1, 2, 3);
    const UINT all = ODA_DRAWENTIRE | ODA_SELECT | ODA_FOCUS;
    {
        testing_support::MemoryCanvas canvas(40, 40);
        DRAWITEMSTRUCT dis = Item(canvas.DC(), 0, all, ODS_SELECTED | ODS_FOCUS);
        list.DrawItem(&dis);
        for (int y = 0; y < 40; y += 3) {
            for (int x = 0; x < 40; x += 3)
                ASSERT_EQ(canvas.At(x, y), ground) << x << "," << y;
        }
    }
    {
        // Focused and selected: the double frame in the window-text colour;
        // the picture without a handle leaves the rest as it was.
        testing_support::MemoryCanvas canvas(40, 40);
        DRAWITEMSTRUCT dis = Item(canvas.DC(), 1, ODA_DRAWENTIRE, ODS_SELECTED | ODS_FOCUS);
        list.DrawItem(&dis);
        const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT) & 0xFFFFFF;
        EXPECT_EQ(canvas.At(0, 20), ground);
        EXPECT_EQ(canvas.At(1, 20), text);
        EXPECT_EQ(canvas.At(2, 20), text);
        EXPECT_EQ(canvas.At(20, 38), text);
        EXPECT_EQ(canvas.At(3, 20), ground);
        EXPECT_EQ(canvas.At(20, 20), ground);

        // Selected without the focus: button shadow; deselected: the window
        // colour over the frame.
        dis = Item(canvas.DC(), 1, ODA_SELECT, ODS_SELECTED);
        list.DrawItem(&dis);
        EXPECT_EQ(canvas.At(1, 20), ::GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
        dis = Item(canvas.DC(), 1, ODA_SELECT, 0);
        list.DrawItem(&dis);
        EXPECT_EQ(canvas.At(2, 20), ::GetSysColor(COLOR_WINDOW) & 0xFFFFFF);
        EXPECT_EQ(canvas.At(20, 20), ground);
    }
    parent.DestroyWindow();
}

} // namespace
