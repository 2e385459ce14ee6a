#include "platform/base/Arithmetic.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/FileSystem.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PrinterDc.h"
#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;

class PrinterDcTest : public ::testing::Test {
protected:
    void SetUp() override { platform::InitFileSystem(); }
    void TearDown() override
    {
        if (dc)
            DeleteDC(dc);
        platform::SetSpoolHandler(nullptr);
    }

    HDC MakePrinter(const DEVMODE* dm = nullptr)
    {
        dc = CreateDC("WINSPOOL", "Test Printer", NULL, dm);
        return dc;
    }

    static DEVMODE Mode()
    {
        DEVMODE dm{};
        dm.dmSpecVersion = DM_SPECVERSION;
        dm.dmSize = sizeof(DEVMODE);
        return dm;
    }

    HDC dc = NULL;
};

struct Caps {
    int dpiX, dpiY, physW, physH, offX, offY, horzRes, vertRes;
};

Caps ReadCaps(HDC dc)
{
    return Caps{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), GetDeviceCaps(dc, PHYSICALWIDTH),
        GetDeviceCaps(dc, PHYSICALHEIGHT), GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY),
        GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
}

TEST_F(PrinterDcTest, WithoutDevModeIsLetterAt600DpiWithQuarterInchMargins)
{
    ASSERT_NE(MakePrinter(), nullptr);
    Caps c = ReadCaps(dc);
    EXPECT_EQ(c.dpiX, 600);
    EXPECT_EQ(c.dpiY, 600);
    EXPECT_EQ(c.physW, 5100);
    EXPECT_EQ(c.physH, 6600);
    EXPECT_EQ(c.offX, 150);
    EXPECT_EQ(c.offY, 150);
    EXPECT_EQ(c.horzRes, 4800);
    EXPECT_EQ(c.vertRes, 6300);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), 203); // 8 in
    EXPECT_EQ(GetDeviceCaps(dc, VERTSIZE), 267); // 10.5 in

    // The margins the document computes from these come out as a quarter
    // inch on every side.
    EXPECT_EQ(MulDiv(c.offX, 100, c.dpiX), 25);
    EXPECT_EQ(MulDiv(c.physW, 100, c.dpiX) - 25 - MulDiv(c.horzRes, 100, c.dpiX), 25);
}

TEST_F(PrinterDcTest, DevModeGivesPaperOrientationAndResolution)
{
    DEVMODE dm = Mode();
    dm.dmFields = DM_PAPERSIZE | DM_ORIENTATION | DM_PRINTQUALITY | DM_YRESOLUTION;
    dm.dmPaperSize = DMPAPER_A4;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    dm.dmPrintQuality = 300;
    dm.dmYResolution = 150;
    ASSERT_NE(MakePrinter(&dm), nullptr);
    Caps c = ReadCaps(dc);
    EXPECT_EQ(c.dpiX, 300);
    EXPECT_EQ(c.dpiY, 150);
    EXPECT_EQ(c.physW, 3508); // 297 mm
    EXPECT_EQ(c.physH, 1240); // 210 mm
    EXPECT_EQ(c.offX, 75);
    EXPECT_EQ(c.offY, 37);
    EXPECT_EQ(c.horzRes, 3508 - 150);

    // Explicit sizes (0.1 mm) win over the paper code; a field not marked in
    // dmFields is not read.
    DEVMODE custom = Mode();
    custom.dmFields = DM_PAPERWIDTH | DM_PAPERLENGTH;
    custom.dmPaperWidth = 1000;
    custom.dmPaperLength = 1500;
    custom.dmOrientation = DMORIENT_LANDSCAPE;
    platform::PrinterPage page = platform::PrinterPageFromDevMode(&custom);
    EXPECT_EQ(page.physicalWidth, 2362); // 100 mm at 600 dpi
    EXPECT_EQ(page.physicalHeight, 3543);
    EXPECT_DOUBLE_EQ(page.widthPoints, 1000 * 72 / 254.0);
}

TEST_F(PrinterDcTest, OutlandishDevModeValuesAreBounded)
{
    DEVMODE dm = Mode();
    dm.dmFields = DM_PRINTQUALITY | DM_PAPERWIDTH | DM_PAPERLENGTH;
    dm.dmPrintQuality = 32000;
    dm.dmPaperWidth = 32000; // 3.2 m
    dm.dmPaperLength = 1;
    platform::PrinterPage page = platform::PrinterPageFromDevMode(&dm);
    EXPECT_EQ(page.dpiX, 2400);
    EXPECT_EQ(page.physicalWidth, 2400 * 100);
    EXPECT_EQ(page.physicalHeight, 2400);
    EXPECT_GT(page.printableHeight, 0);

    // A record too short to hold the fields it marks keeps the defaults.
    DEVMODE shortMode = Mode();
    shortMode.dmFields = DM_PAPERSIZE;
    shortMode.dmPaperSize = DMPAPER_A3;
    shortMode.dmSize = 40;
    EXPECT_EQ(platform::PrinterPageFromDevMode(&shortMode).physicalWidth, 5100);
}

TEST_F(PrinterDcTest, OnlyPrinterDcsPrint)
{
    HDC screen = CreateDC("DISPLAY", NULL, NULL, NULL);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, TECHNOLOGY), DT_RASDISPLAY);
    DOCINFO di{sizeof(DOCINFO), "x", nullptr, nullptr, 0};
    EXPECT_EQ(StartDoc(screen, &di), SP_ERROR);
    DeleteDC(screen);

    // An information context measures like the printer but has no pages.
    HDC ic = CreateIC("WINSPOOL", "Test Printer", NULL, NULL);
    ASSERT_NE(ic, nullptr);
    EXPECT_EQ(GetDeviceCaps(ic, LOGPIXELSY), 600);
    EXPECT_EQ(StartDoc(ic, &di), SP_ERROR);
    DeleteDC(ic);

    EXPECT_EQ(CreateDC(NULL, NULL, NULL, NULL), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(PrinterDcTest, PageCallsFollowTheDocumentOrder)
{
    ASSERT_NE(MakePrinter(), nullptr);
    EXPECT_EQ(StartPage(dc), SP_ERROR);
    EXPECT_EQ(EndPage(dc), SP_ERROR);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    EXPECT_EQ(AbortDoc(dc), SP_ERROR);

    std::string folder = MakeTempDir("order");
    std::string path = platform::WindowsPathFor(folder + "/out.pdf");
    DOCINFO di{sizeof(DOCINFO), "Order", path.c_str(), nullptr, 0};
    EXPECT_GT(StartDoc(dc, &di), 0);
    EXPECT_EQ(StartDoc(dc, &di), SP_ERROR);
    EXPECT_GT(StartPage(dc), 0);
    EXPECT_EQ(StartPage(dc), SP_ERROR);
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);
    EXPECT_EQ(ReadFileBytes(folder + "/out.pdf").substr(0, 5), "%PDF-");
}

TEST_F(PrinterDcTest, AbortDocRemovesThePartialOutput)
{
    ASSERT_NE(MakePrinter(), nullptr);
    std::string host = MakeTempDir("abort") + "/partial.pdf";
    std::string path = platform::WindowsPathFor(host);
    DOCINFO di{sizeof(DOCINFO), "Abort", path.c_str(), nullptr, 0};
    ASSERT_GT(StartDoc(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    RECT r{0, 0, 100, 100};
    FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(StartPage(dc), 0);
    EXPECT_TRUE(std::filesystem::exists(host));
    EXPECT_GT(AbortDoc(dc), 0);
    EXPECT_FALSE(std::filesystem::exists(host));
    // Drawing after the abort goes nowhere and does not fail.
    EXPECT_TRUE(FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH)));

    // Deleting the DC in the middle of a document aborts it the same way.
    ASSERT_GT(StartDoc(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    DeleteDC(dc);
    dc = NULL;
    EXPECT_FALSE(std::filesystem::exists(host));
}

int g_abortCalls = 0;
BOOL CALLBACK CancelOnSecondPage(HDC, int)
{
    return ++g_abortCalls < 2;
}

TEST_F(PrinterDcTest, AbortProcCancelsBetweenPages)
{
    ASSERT_NE(MakePrinter(), nullptr);
    std::string host = MakeTempDir("cancel") + "/job.pdf";
    std::string path = platform::WindowsPathFor(host);
    DOCINFO di{sizeof(DOCINFO), "Cancel", path.c_str(), nullptr, 0};
    g_abortCalls = 0;
    EXPECT_GT(SetAbortProc(dc, CancelOnSecondPage), 0);
    ASSERT_GT(StartDoc(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    EXPECT_GT(EndPage(dc), 0);
    ASSERT_GT(StartPage(dc), 0);
    EXPECT_EQ(EndPage(dc), SP_APPABORT);
    EXPECT_EQ(g_abortCalls, 2);
    EXPECT_FALSE(std::filesystem::exists(host));
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
}

TEST_F(PrinterDcTest, JobWithoutOutputFileGoesToTheSpoolHandler)
{
    std::vector<platform::SpooledJob> jobs;
    platform::SetSpoolHandler([&](const platform::SpooledJob& job) {
        jobs.push_back(job);
        return true;
    });
    ASSERT_NE(MakePrinter(), nullptr);
    DOCINFO di{sizeof(DOCINFO), "Spooled \xE9t\xE9", nullptr, nullptr, 0};
    ASSERT_GT(StartDoc(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0); // ends the open page too
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].printer, "Test Printer");
    EXPECT_EQ(jobs[0].document, "Spooled \xE9t\xE9");
    EXPECT_EQ(ReadFileBytes(jobs[0].hostPath).substr(0, 5), "%PDF-");
    std::remove(jobs[0].hostPath.c_str());
}

TEST_F(PrinterDcTest, AfxCreateDCReadsDevNamesAndDevMode)
{
    const char names[] = "WINSPOOL\0Office Printer\0FILE:\0";
    HGLOBAL hNames = GlobalAlloc(GHND, sizeof(DEVNAMES) + sizeof names);
    auto* dn = static_cast<DEVNAMES*>(GlobalLock(hNames));
    dn->wDriverOffset = sizeof(DEVNAMES);
    dn->wDeviceOffset = sizeof(DEVNAMES) + 9;
    dn->wOutputOffset = sizeof(DEVNAMES) + 24;
    std::memcpy(reinterpret_cast<char*>(dn) + sizeof(DEVNAMES), names, sizeof names);
    GlobalUnlock(hNames);

    HGLOBAL hMode = GlobalAlloc(GHND, sizeof(DEVMODE));
    auto* dm = static_cast<DEVMODE*>(GlobalLock(hMode));
    *dm = Mode();
    dm->dmFields = DM_PAPERSIZE;
    dm->dmPaperSize = DMPAPER_LEGAL;
    GlobalUnlock(hMode);

    dc = AfxCreateDC(hNames, hMode);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 14 * 600);

    // An offset past the block, or a name without its terminating zero.
    dn = static_cast<DEVNAMES*>(GlobalLock(hNames));
    dn->wDriverOffset = 4000;
    dn->wDeviceOffset = 4000;
    GlobalUnlock(hNames);
    EXPECT_EQ(AfxCreateDC(hNames, hMode), nullptr);
    EXPECT_EQ(AfxCreateDC(NULL, hMode), nullptr);
    GlobalFree(hNames);
    GlobalFree(hMode);
}

// ---- The PDF rendered by an independent reader --------------------------------

struct Image {
    int width = 0;
    int height = 0;
    std::string rgb;
    COLORREF At(int x, int y) const
    {
        size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return RGB(BYTE(rgb[i]), BYTE(rgb[i + 1]), BYTE(rgb[i + 2]));
    }
};

// A binary PPM as pdftoppm writes it ("P6\n<w> <h>\n255\n" and the bytes).
bool ReadPpm(const std::string& path, Image& out)
{
    std::string bytes = ReadFileBytes(path);
    int maxValue = 0;
    int consumed = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &out.width, &out.height, &maxValue, &consumed) != 3 || maxValue != 255)
        return false;
    size_t start = size_t(consumed) + 1;
    size_t size = size_t(out.width) * size_t(out.height) * 3;
    if (bytes.size() < start + size)
        return false;
    out.rgb = bytes.substr(start, size);
    return true;
}

bool Near(COLORREF a, COLORREF b)
{
    auto d = [](int x, int y) { return std::abs(x - y) <= 8; };
    return d(GetRValue(a), GetRValue(b)) && d(GetGValue(a), GetGValue(b)) && d(GetBValue(a), GetBValue(b));
}

TEST_F(PrinterDcTest, TwoPagePdfRendersWithTheColoursDrawn)
{
    if (std::system("pdftoppm -v > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    ASSERT_NE(MakePrinter(), nullptr);
    std::string folder = MakeTempDir("pdf");
    std::string path = platform::WindowsPathFor(folder + "/two.pdf");
    DOCINFO di{sizeof(DOCINFO), "Two pages", path.c_str(), nullptr, 0};
    ASSERT_GT(StartDoc(dc, &di), 0);

    // Page 1: a red square one inch from the printable area's corner; page
    // 2: a blue bar, drawn in hundredths of an inch through a mapping.
    ASSERT_GT(StartPage(dc), 0);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT square{600, 600, 1800, 1800};
    FillRect(dc, &square, red);
    ASSERT_GT(EndPage(dc), 0);

    ASSERT_GT(StartPage(dc), 0);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 100, 100, NULL);
    SetViewportExtEx(dc, 600, 600, NULL);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(dc, blue);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 100, 500, 700, 700);
    SelectObject(dc, old);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    DeleteObject(red);
    DeleteObject(blue);

    std::string prefix = folder + "/page";
    std::string command = "pdftoppm -r 20 '" + folder + "/two.pdf' '" + prefix + "' 2> /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    Image one, two;
    ASSERT_TRUE(ReadPpm(prefix + "-1.ppm", one));
    ASSERT_TRUE(ReadPpm(prefix + "-2.ppm", two));
    EXPECT_FALSE(std::filesystem::exists(prefix + "-3.ppm"));
    EXPECT_EQ(one.width, 170); // 8.5 in at 20 dpi
    EXPECT_EQ(one.height, 220);

    // The printable area starts a quarter inch (5 pixels) in.
    const COLORREF white = RGB(255, 255, 255);
    EXPECT_TRUE(Near(one.At(5 + 40, 5 + 40), RGB(255, 0, 0)));   // inside the square (1..3 in)
    EXPECT_TRUE(Near(one.At(5 + 15, 5 + 15), white));             // before it
    EXPECT_TRUE(Near(one.At(5 + 65, 5 + 40), white));             // after it
    EXPECT_TRUE(Near(two.At(5 + 40, 5 + 120), RGB(0, 0, 255)));  // inside the bar (1..7 x 5..7 in)
    EXPECT_TRUE(Near(two.At(5 + 130, 5 + 130), RGB(0, 0, 255)));
    EXPECT_TRUE(Near(two.At(5 + 40, 5 + 40), white));
    EXPECT_TRUE(Near(two.At(5 + 150, 5 + 120), white));
}

// A hatch prints as the screen shows it, eight screen pixels a cell, and as
// lines: not eight printer dots, which would print as an even tint.
TEST_F(PrinterDcTest, HatchKeepsTheScreensSpacingOnThePage)
{
    if (std::system("pdftoppm -v > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    ASSERT_NE(MakePrinter(), nullptr);
    ASSERT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    std::string folder = MakeTempDir("pdfhatch");
    std::string path = platform::WindowsPathFor(folder + "/hatch.pdf");
    DOCINFO di{sizeof(DOCINFO), "Hatch", path.c_str(), nullptr, 0};
    ASSERT_GT(StartDoc(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    // A cross hatch an inch square, an inch from the printable area's
    // corner.
    HBRUSH cross = CreateHatchBrush(HS_CROSS, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(dc, cross);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SetBkMode(dc, TRANSPARENT);
    SetBrushOrgEx(dc, 0, 0, NULL);
    Rectangle(dc, 600, 600, 1200, 1200);
    SelectObject(dc, old);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    DeleteObject(cross);

    std::string prefix = folder + "/page";
    std::string command = "pdftoppm -r 96 -aaVector no '" + folder + "/hatch.pdf' '" + prefix + "' 2> /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    Image page;
    ASSERT_TRUE(ReadPpm(prefix + "-1.ppm", page));
    // The printable area starts a quarter inch (24 pixels) in; the square
    // is 96 pixels a side. Along each row between its horizontal lines the
    // ink is in single black pixels 8 apart, the rest white.
    const int corner = 24 + 96;
    int nBetween = 0;
    for (int y = corner + 8; y < corner + 16; ++y) {
        std::vector<int> inked;
        int nOther = 0;
        for (int x = corner + 4; x < corner + 92; ++x) {
            const COLORREF c = page.At(x, y);
            if (Near(c, RGB(0, 0, 0)))
                inked.push_back(x);
            else if (!Near(c, RGB(255, 255, 255)))
                ++nOther;
        }
        EXPECT_EQ(nOther, 0) << "a tint, not lines, in row " << y;
        bool bSpaced = inked.size() >= 10;
        for (size_t i = 1; i < inked.size(); ++i)
            bSpaced = bSpaced && inked[i] - inked[i - 1] == 8;
        nBetween += bSpaced ? 1 : 0;
    }
    // One row of the eight is a horizontal line.
    EXPECT_EQ(nBetween, 7);
}

} // namespace
