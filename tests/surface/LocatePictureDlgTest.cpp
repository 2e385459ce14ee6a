// The Locate Picture File dialog and its way in, LocatePictureFile.

#include "tests/surface/SurfaceTestSupport.h"

#include "app/PrefData.h"
#include "pictures/Image.h"
#include "platform/files/DriveTable.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProgramFolder.h"
#include "resources/SupportResources.h"
#include "resources/resource.h"
#include "surface/LocatePictureDlg.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PictureButtonFit.h"
#include "tests/support/PictureChooserSteps.h"
#include "tests/support/TestHome.h"
#include "tests/surface/SurfaceDialogSupport.h"

#include <filesystem>
#include <string>

namespace surfacetest {
namespace {

class LocatePictureDlgTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        m_root = SetUpPictureDialogFolders("locate");
        m_savedFlags = thePrefs.Flags;
        // The chooser starts in the picture Open dialog.
        thePrefs.Flags &= ~PREF_FLAG_NO_MULTI_PREVIEW;
        const std::string host =
            picture_files::WriteBmp(picture_files::Raster(8, 6, RGB(200, 40, 40)), m_root + "/pics/rose.bmp");
        m_strFound = platform::WindowsPathFor(host).c_str();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        thePrefs.Flags = m_savedFlags;
        platform::SetProgramFolderForTests("");
        platform::ResetDriveTable();
        SurfaceTest::TearDown();
    }

    // Presses Browse in the Locate dialog, once it is up.
    static testing_support::DialogStep Browse(std::string* pClashes = nullptr)
    {
        return OnDialogWith(IDC_LOCATE_PICTURE_FILE, [pClashes](HWND hDlg) {
            if (pClashes != nullptr)
                *pClashes = testing_support::PictureButtonClashes(hDlg);
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(hDlg, IDOK)));
        });
    }

    std::string m_root;
    CString m_strFound;
    WORD m_savedFlags = 0;
};

} // namespace

TEST_F(LocatePictureDlgTest, NamesTheMissingFileAndIgnoreGoesOnWithoutOne)
{
    std::string shown;
    std::string caption;
    bool bIgnoreIsDefault = false;
    testing_support::DriveActiveWindow({
        OnDialogWith(IDC_LOCATE_PICTURE_FILE, [&](HWND hDlg) {
            shown = ItemText(hDlg, IDC_LOCATE_PICTURE_FILE);
            char text[64] = {};
            ::GetWindowText(hDlg, text, sizeof(text));
            caption = text;
            bIgnoreIsDefault = LOWORD(::SendMessage(hDlg, DM_GETDEFID, 0, 0)) == IDCANCEL;
            Click(hDlg, IDCANCEL);
        }),
    });
    CString strPath = "C:\\art\\rose.bmp";
    EXPECT_FALSE(LocatePictureFile("rose.bmp", strPath));
    EXPECT_EQ(shown, "C:\\art\\rose.bmp");
    EXPECT_EQ(caption, "Locate Picture File");
    EXPECT_TRUE(bIgnoreIsDefault);
    EXPECT_EQ(strPath, "C:\\art\\rose.bmp");
}

TEST_F(LocatePictureDlgTest, APictureThatOnlyLivedInMemoryHasNothingToLookFor)
{
    bool bShown = false;
    platform::headless::SetIdleHandler([&] {
        if (::GetActiveWindow() != NULL && ::GetDlgItem(::GetActiveWindow(), IDC_LOCATE_PICTURE_FILE) != NULL) {
            bShown = true;
            ::SendMessage(::GetActiveWindow(), WM_COMMAND, IDCANCEL, 0);
            return true;
        }
        return false;
    });
    CString strPath = MemoryOnlyPicturePath();
    EXPECT_FALSE(LocatePictureFile("", strPath));
    EXPECT_FALSE(bShown);
}

TEST_F(LocatePictureDlgTest, BrowsingAndCancellingTheChooserGoesOnWithoutAFile)
{
    std::string clashes = "not shown";
    bool bChooserShown = false;
    testing_support::DriveActiveWindow({
        Browse(&clashes),
        [&](HWND hActive) {
            if (::GetDlgItem(hActive, IDC_LOCATE_PICTURE_FILE) != NULL)
                return false;
            bChooserShown = true;
            ::PostMessage(hActive, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        },
    });
    CString strPath = "C:\\art\\rose.bmp";
    EXPECT_FALSE(LocatePictureFile("rose.bmp", strPath));
    EXPECT_TRUE(bChooserShown);
    EXPECT_EQ(clashes, "");
    EXPECT_EQ(strPath, "C:\\art\\rose.bmp");
}

TEST_F(LocatePictureDlgTest, BrowsingToAFileDeliversItsPath)
{
    testing_support::DriveActiveWindow({
        Browse(),
        testing_support::OpenSinglePicture(),
        testing_support::ChoosePictureFile(m_strFound),
    });
    // The caller gave only the file name; the dialog looked for that.
    CString strPath;
    EXPECT_TRUE(LocatePictureFile("rose.bmp", strPath));
    EXPECT_EQ(strPath.CompareNoCase(m_strFound), 0) << strPath;
}

} // namespace surfacetest
