// Print Selected Pictures: the picture file dialog in its print mode
// collects the files, and the catalog printer prints them, as many pages as
// they need.

#include "app/PrefData.h"
#include "app/main/DesignerApp.h"
#include "platform/files/HostPath.h"
#include "platform/ui/CommDlg.h"
#include "resources/resource.h"
#include "tests/framework/PpmImage.h"
#include "tests/main/AppTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/print/CatalogPageSupport.h"
#include "tests/support/CommandProbe.h"
#include "tests/support/DialogDriver.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class PrintSelectedPicturesTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        MakeApp();
        m_dir = testing_support::MakeTempDir("printpictures");
        fs::create_directories(m_dir + "/pictures");
        thePrefs.CurPictureFolder = (platform::WindowsPathFor(m_dir + "/pictures") + "\\").c_str();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        AppTest::TearDown();
    }

    // The picture dialog: every file of the list selected, then its button;
    // the print dialog: OK; the printer's file: the output path.
    void AnswerDialogs(int nPictureButton)
    {
        const CString output = platform::WindowsPathFor(m_dir + "/catalog.pdf").c_str();
        platform::headless::SetIdleHandler([this, output, nPictureButton]() {
            HWND hDlg = ::GetActiveWindow();
            if (hDlg == NULL || ::GetDlgItem(hDlg, IDOK) == NULL)
                return false;
            if (testing_support::WindowTitle(hDlg) == "Print Selected Images") {
                // First the selection, at the next idle the button.
                if (hDlg != m_hPictureDialog) {
                    m_hPictureDialog = hDlg;
                    ++m_nPictureDialogs;
                    ::SetFocus(::GetDlgItem(hDlg, lst1));
                    platform::headless::TypeKey(VK_HOME);
                    platform::headless::KeyDown(VK_SHIFT);
                    platform::headless::TypeKey(VK_END);
                    platform::headless::KeyUp(VK_SHIFT);
                    return true;
                }
                ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nPictureButton, BN_CLICKED), 0);
                return true;
            }
            if (::GetDlgItem(hDlg, edt1) != NULL) {
                ::SetDlgItemText(hDlg, edt1, output);
                ++m_nFileDialogs;
            } else {
                ++m_nPrintDialogs;
            }
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        });
    }

    std::string m_dir;
    HWND m_hPictureDialog = NULL;
    int m_nPictureDialogs = 0;
    int m_nPrintDialogs = 0;
    int m_nFileDialogs = 0;
};

TEST_F(PrintSelectedPicturesTest, TheCommandIsOnAndPrintsEveryChosenPictureOnAsManyPagesAsNeeded)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    EXPECT_TRUE(testing_support::CommandStateOf(m_app.get(), ID_FILE_PRINT_PICTURES).bEnabled);

    // Ten pictures: nine cells fit a Letter page, so the tenth takes a second.
    for (int i = 0; i < 10; ++i) {
        picture_files::Raster raster(40, 30, RGB(20 * i, 0, 200 - 10 * i));
        picture_files::WriteBmp(raster, m_dir + "/pictures/p" + std::to_string(i) + ".bmp");
    }
    AnswerDialogs(IDOK);
    m_app->OnPrintSelectedPictures();
    EXPECT_EQ(m_nPictureDialogs, 1);
    EXPECT_EQ(m_nPrintDialogs, 1);
    ASSERT_EQ(m_nFileDialogs, 1);

    const std::string prefix = m_dir + "/page";
    const std::string command = "pdftoppm -r 50 '" + m_dir + "/catalog.pdf' '" + prefix + "'";
    ASSERT_EQ(0, std::system(command.c_str()));
    fwtest::PpmImage first;
    fwtest::PpmImage second;
    ASSERT_TRUE(fwtest::ReadPpm(prefix + "-1.ppm", first));
    ASSERT_TRUE(fwtest::ReadPpm(prefix + "-2.ppm", second));
    EXPECT_FALSE(fs::exists(prefix + "-3.ppm"));
    const auto cells = catalogtest::CellInk(first, 9);
    for (size_t i = 0; i < cells.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(cells[i].first, 200) << "the picture";
        EXPECT_GT(cells[i].second, 5) << "its name";
    }
    const auto last = catalogtest::CellInk(second, 2);
    EXPECT_GT(last[0].first, 200);
    EXPECT_EQ(last[1].first, 0) << "only the tenth picture is left for the second page";
}

} // namespace
