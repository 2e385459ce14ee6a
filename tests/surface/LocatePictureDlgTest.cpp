// The Locate Picture File dialog and its way in, LocatePictureFile.

#include "tests/surface/SurfaceTestSupport.h"

#include "pictures/Image.h"
#include "resources/resource.h"
#include "surface/LocatePictureDlg.h"
#include "tests/surface/SurfaceDialogSupport.h"
#include "tests/support/DialogDriver.h"

#include <string>

namespace surfacetest {
namespace {

class LocatePictureDlgTest : public SurfaceTest {
protected:
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        SurfaceTest::TearDown();
    }
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

} // namespace surfacetest
