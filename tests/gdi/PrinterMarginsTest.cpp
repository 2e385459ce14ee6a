// A printer DC's margins from the printer's own metrics, and a spooled job
// that goes nowhere failing EndDoc.

#include "platform/files/FileSystem.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PrinterDc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::PrinterAreaMetrics;

class PrinterMarginsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::InitFileSystem();
        // "Lab" prints to half an inch from the left, a quarter inch from
        // the top, an eighth from the right and an inch from the bottom of
        // the sheet it is asked about, answered at 300 dpi.
        platform::SetPrinterMetricsProvider(
            [this](const std::string& device, const DEVMODEA& dm, PrinterAreaMetrics& m) {
                asked.push_back(dm);
                if (device != "Lab")
                    return false;
                m = answer;
                if (answer.logPixelsX == 0) {
                    m.logPixelsX = m.logPixelsY = 300;
                    m.physicalWidth = dm.dmPaperWidth * 300 / 254;
                    m.physicalHeight = dm.dmPaperLength * 300 / 254;
                    if (dm.dmOrientation == DMORIENT_LANDSCAPE)
                        std::swap(m.physicalWidth, m.physicalHeight);
                    m.physicalOffsetX = 150;
                    m.physicalOffsetY = 75;
                    m.horzRes = m.physicalWidth - 150 - 38;
                    m.vertRes = m.physicalHeight - 75 - 300;
                }
                return true;
            });
    }
    void TearDown() override
    {
        if (dc)
            DeleteDC(dc);
        platform::SetPrinterMetricsProvider(nullptr);
        platform::SetSpoolHandler(nullptr);
    }

    static DEVMODE Mode(short paper, short orientation, short dpi)
    {
        DEVMODE dm{};
        dm.dmSpecVersion = DM_SPECVERSION;
        dm.dmSize = sizeof(DEVMODE);
        dm.dmFields = DM_PAPERSIZE | DM_ORIENTATION | DM_PRINTQUALITY;
        dm.dmPaperSize = paper;
        dm.dmOrientation = orientation;
        dm.dmPrintQuality = dpi;
        return dm;
    }

    HDC dc = NULL;
    std::vector<DEVMODE> asked;
    PrinterAreaMetrics answer;
};

TEST_F(PrinterMarginsTest, MarginsComeFromThePrinterScaledToTheDcResolution)
{
    DEVMODE dm = Mode(DMPAPER_LETTER, DMORIENT_PORTRAIT, 600);
    dc = CreateDC("CUPS", "Lab", NULL, &dm);
    ASSERT_NE(dc, nullptr);
    ASSERT_EQ(asked.size(), 1u);
    // The provider is told the sheet, orientation and resolution settled on.
    EXPECT_EQ(asked[0].dmPaperWidth, 2159);
    EXPECT_EQ(asked[0].dmPaperLength, 2794);
    EXPECT_EQ(asked[0].dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(asked[0].dmPrintQuality, 600);
    EXPECT_EQ(asked[0].dmYResolution, 600);

    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 5100);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 6600);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 300);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 150);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 5100 - 300 - 76);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 6600 - 150 - 600);

    // An information DC answers the same.
    HDC ic = CreateIC("CUPS", "Lab", NULL, &dm);
    EXPECT_EQ(GetDeviceCaps(ic, PHYSICALOFFSETX), 300);
    EXPECT_EQ(GetDeviceCaps(ic, VERTRES), 6600 - 150 - 600);
    DeleteDC(ic);
}

TEST_F(PrinterMarginsTest, LandscapeIsAskedForAndTheTurnedMarginsKept)
{
    DEVMODE dm = Mode(DMPAPER_A4, DMORIENT_LANDSCAPE, 300);
    dc = CreateDC("CUPS", "Lab", NULL, &dm);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(asked[0].dmPaperWidth, 2100); // the sheet held upright
    EXPECT_EQ(asked[0].dmPaperLength, 2970);
    int width = GetDeviceCaps(dc, PHYSICALWIDTH);
    EXPECT_GT(width, GetDeviceCaps(dc, PHYSICALHEIGHT));
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 150);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 75);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), width - 150 - 38);
}

TEST_F(PrinterMarginsTest, UnknownPrintersAndImpossibleMarginsKeepTheQuarterInch)
{
    DEVMODE dm = Mode(DMPAPER_LETTER, DMORIENT_PORTRAIT, 600);
    auto expectQuarterInch = [](HDC h) {
        EXPECT_EQ(GetDeviceCaps(h, PHYSICALOFFSETX), 150);
        EXPECT_EQ(GetDeviceCaps(h, PHYSICALOFFSETY), 150);
        EXPECT_EQ(GetDeviceCaps(h, HORZRES), 5100 - 300);
        EXPECT_EQ(GetDeviceCaps(h, VERTRES), 6600 - 300);
    };
    dc = CreateDC("CUPS", "Elsewhere", NULL, &dm);
    expectQuarterInch(dc);
    DeleteDC(dc);

    // Margins wider than the sheet, negative ones, a printable area of
    // almost nothing and a resolution of zero are all refused.
    const PrinterAreaMetrics bad[] = {
        {600, 600, 5100, 6600, 3000, 150, 3000, 6300},
        {600, 600, 5100, 6600, -10, 150, 4800, 6300},
        {600, 600, 5100, 6600, 2540, 150, 20, 6300},
        {1, 1, 5100, 6600, 150, 150, 4800, 6300},
    };
    for (const PrinterAreaMetrics& m : bad) {
        answer = m;
        dc = CreateDC("CUPS", "Lab", NULL, &dm);
        expectQuarterInch(dc);
        DeleteDC(dc);
    }
    dc = NULL;
}

TEST_F(PrinterMarginsTest, EndDocFailsWhenTheSpooledJobGoesNowhere)
{
    std::vector<std::string> spooled;
    DWORD errorToSet = ERROR_NOT_READY;
    bool deliver = false;
    platform::SetSpoolHandler([&](const platform::SpooledJob& job) {
        spooled.push_back(job.hostPath);
        std::remove(job.hostPath.c_str());
        if (!deliver)
            SetLastError(errorToSet);
        return deliver;
    });
    auto print = [&] {
        HDC h = CreateDC("CUPS", "Lab", NULL, nullptr);
        DOCINFO di{sizeof(DOCINFO), "Card", nullptr, nullptr, 0};
        EXPECT_GT(StartDoc(h, &di), 0);
        EXPECT_GT(StartPage(h), 0);
        EXPECT_GT(EndPage(h), 0);
        int result = EndDoc(h);
        DWORD error = GetLastError();
        DeleteDC(h);
        return std::make_pair(result, error);
    };
    EXPECT_EQ(print(), std::make_pair(SP_ERROR, DWORD(ERROR_NOT_READY)));
    // A handler that fails without saying why still fails the document.
    errorToSet = ERROR_SUCCESS;
    EXPECT_EQ(print(), std::make_pair(SP_ERROR, DWORD(ERROR_WRITE_FAULT)));
    deliver = true;
    EXPECT_EQ(print().first, 1);
    EXPECT_EQ(spooled.size(), 3u);
}

} // namespace
