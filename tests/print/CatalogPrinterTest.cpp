// The picture catalog printed to the PDF printer and rendered by pdftoppm:
// three columns of cells, each with its picture fitted above its name.

#include "print/CatalogPrinter.h"

#include "platform/files/HostPath.h"
#include "platform/ui/CommDlg.h"
#include "tests/framework/PpmImage.h"
#include "tests/main/AppTestSupport.h"
#include "tests/print/CatalogPageSupport.h"
#include "tests/support/TestData.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Le32(DWORD n)
{
    return std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)};
}

class CatalogPrinterTest : public apptest::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        MakeApp();
        m_dir = testing_support::MakeTempDir("catalog");
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        AppTest::TearDown();
    }

    CString PathOf(const std::string& name) const { return platform::WindowsPathFor(m_dir + "/" + name).c_str(); }

    // OK in the print dialog, then the output file's name.
    void AnswerPrintDialogs(const CString& output, int nPrintButton = IDOK)
    {
        auto state = std::make_shared<int>(0);
        platform::headless::SetIdleHandler([this, state, output, nPrintButton]() {
            HWND hDlg = ::GetActiveWindow();
            if (hDlg == NULL || ::GetDlgItem(hDlg, IDOK) == NULL)
                return false;
            if (::GetDlgItem(hDlg, edt1) != NULL) {
                ::SetDlgItemText(hDlg, edt1, output);
                ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                ++m_nFileDialogs;
                return true;
            }
            if (*state != 0)
                return false;
            *state = 1;
            ++m_nPrintDialogs;
            ::PostMessage(hDlg, WM_COMMAND, MAKEWPARAM(nPrintButton, BN_CLICKED), 0);
            return true;
        });
    }

    std::string m_dir;
    int m_nPrintDialogs = 0;
    int m_nFileDialogs = 0;
};

TEST_F(CatalogPrinterTest, PrintsThreeColumnsOfFittedPicturesWithTheirNames)
{
    REQUIRE_TESTDATA();
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const fs::path data(THREADWICK_TESTDATA_DIR);
    fs::copy_file(data / "bmp/src-pillow__hopper.bmp", fs::path(m_dir) / "a-hopper.bmp");
    fs::copy_file(data / "bmp/github-haraldk_TwelveMonkeys__blauesglas_24.bmp", fs::path(m_dir) / "b-glass.bmp");
    fs::copy_file(data / "png/bin-libsixel-examples__basi0g08.png", fs::path(m_dir) / "c-grey.png");
    fs::copy_file(data / "jpeg/bin-gdk-pixbuf-tests__dpi.jpeg", fs::path(m_dir) / "d-photo.jpg");
    // A design prints the preview it stores.
    std::ifstream jpegIn(data / "jpeg/bin-gdk-pixbuf-tests__dpi.jpeg", std::ios::binary);
    const std::string jpeg((std::istreambuf_iterator<char>(jpegIn)), {});
    testing_support::WriteFileBytes(m_dir + "/e-plan.pub",
        Le32(DWORD(jpeg.size())) + jpeg + "x" + Le32(0) + "Bulletinarium V3.0");

    CStringArray files;
    for (const char* name : {"a-hopper.bmp", "b-glass.bmp", "c-grey.png", "d-photo.jpg", "e-plan.pub"})
        files.Add(PathOf(name));
    CCatalogPrinter printer(nullptr, files, 3);
    AnswerPrintDialogs(PathOf("catalog.pdf"));
    ASSERT_TRUE(printer.Print());
    EXPECT_EQ(m_nPrintDialogs, 1);
    EXPECT_EQ(m_nFileDialogs, 1);

    const std::string prefix = m_dir + "/page";
    const std::string command = "pdftoppm -r 50 '" + m_dir + "/catalog.pdf' '" + prefix + "'";
    ASSERT_EQ(0, std::system(command.c_str()));
    fwtest::PpmImage page;
    ASSERT_TRUE(fwtest::ReadPpm(prefix + "-1.ppm", page));
    EXPECT_FALSE(fs::exists(prefix + "-2.ppm")) << "five files fit one page";

    const auto cells = catalogtest::CellInk(page, 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        if (i < 5) {
            EXPECT_GT(cells[size_t(i)].first, 200);
            EXPECT_GT(cells[size_t(i)].second, 5);
        } else {
            EXPECT_EQ(cells[size_t(i)].first, 0);
            EXPECT_EQ(cells[size_t(i)].second, 0);
        }
    }
    // Nothing below the second row.
    EXPECT_EQ(catalogtest::Inked(page, 0, int(catalogtest::kTop + 2 * catalogtest::kCellHeight) + 2, page.width, page.height), 0);
}

TEST_F(CatalogPrinterTest, CancelPrintsNothingAndRowsFollowThePage)
{
    CStringArray files;
    CCatalogPrinter empty(nullptr, files, 3);
    EXPECT_FALSE(empty.Print()) << "no dialog for nothing";

    for (int i = 0; i < 25; ++i)
        files.Add(PathOf("missing" + std::to_string(i) + ".bmp"));
    CCatalogPrinter printer(nullptr, files, 3);
    AnswerPrintDialogs(PathOf("never.pdf"), IDCANCEL);
    EXPECT_FALSE(printer.Print());
    EXPECT_EQ(m_nFileDialogs, 0);
    EXPECT_FALSE(fs::exists(m_dir + "/never.pdf"));

    // Three rows of three on a letter page: 25 files take three pages.
    CDC dc;
    ASSERT_TRUE(m_app->CreatePrinterDC(dc));
    EXPECT_EQ(printer.CountPages(&dc), 3);
}

} // namespace
