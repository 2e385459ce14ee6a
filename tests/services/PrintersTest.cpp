#include "platform/services/Printers.h"

#include "platform/base/UiRecords.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

using namespace platform;

namespace {

constexpr int kInch = 25400;

// Installs a fixed list of destinations for one test.
class FakePrinters : public ::testing::Test {
protected:
    void TearDown() override { SetPrinterSourceForTests(nullptr); }

    void Use(std::vector<PrinterDestination> destinations)
    {
        SetPrinterSourceForTests([destinations, this](PrinterQuery query) {
            lastQuery = query;
            return destinations;
        });
    }

    static PrinterDestination Dest(std::string name, std::vector<std::pair<std::string, std::string>> options = {})
    {
        PrinterDestination d;
        d.name = std::move(name);
        d.options = std::move(options);
        return d;
    }

    PrinterQuery lastQuery = PrinterQuery::Names;
};

} // namespace

TEST_F(FakePrinters, WithoutPrintServerOnlyThePdfFilePrinterIsListedAndIsDefault)
{
    Use({});
    std::vector<PrinterInfo> list = ListPrinters();
    ASSERT_EQ(list.size(), 1u);
    const PrinterInfo& pdf = list[0];
    EXPECT_EQ(pdf.kind, PrinterKind::PdfFile);
    EXPECT_EQ(pdf.device, "PDF File");
    EXPECT_TRUE(pdf.isDefault);
    EXPECT_EQ(pdf.driverVersion, 0x0400);
    EXPECT_EQ(pdf.orientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(pdf.paperSize, DMPAPER_LETTER);
    // Letter at 600 dpi with quarter-inch margins.
    EXPECT_EQ(pdf.metrics.logPixelsX, 600);
    EXPECT_EQ(pdf.metrics.logPixelsY, 600);
    EXPECT_EQ(pdf.metrics.physicalWidth, 5100);
    EXPECT_EQ(pdf.metrics.physicalHeight, 6600);
    EXPECT_EQ(pdf.metrics.physicalOffsetX, 150);
    EXPECT_EQ(pdf.metrics.physicalOffsetY, 150);
    EXPECT_EQ(pdf.metrics.horzRes, 4800);
    EXPECT_EQ(pdf.metrics.vertRes, 6300);
    EXPECT_EQ(DefaultPrinter().device, "PDF File");
}

TEST(PrintSystem, UnreachableServerGivesNoDestinationsQuickly)
{
    // The client library keeps its settings per thread, so a fresh thread
    // reads the server named here and nothing a previous test set up.
    std::string missing = "/nonexistent-threadwick/cups.sock";
    const char* old = std::getenv("CUPS_SERVER");
    std::string saved = old ? old : "";
    setenv("CUPS_SERVER", missing.c_str(), 1);
    std::vector<PrinterDestination> found{PrinterDestination{}};
    auto start = std::chrono::steady_clock::now();
    std::thread([&] { found = PrintSystemDestinations(PrinterQuery::Settings); }).join();
    auto took = std::chrono::steady_clock::now() - start;
    if (old)
        setenv("CUPS_SERVER", saved.c_str(), 1);
    else
        unsetenv("CUPS_SERVER");
    EXPECT_TRUE(found.empty());
    EXPECT_LT(took, std::chrono::seconds(3));
}

TEST_F(FakePrinters, DestinationsFollowThePdfFilePrinterWithOneDefault)
{
    PrinterDestination office = Dest("office", {{"media", "iso_a4_210x297mm"}, {"orientation-requested", "4"}});
    PrinterDestination lab = Dest("lab");
    lab.isDefault = true;
    PrinterDestination draft = Dest("lab");
    draft.instance = "draft";
    draft.isDefault = true; // a second default is not taken
    PrinterDestination again = Dest("office"); // the same queue twice is listed once
    PrinterDestination unnamed = Dest("");
    PrinterDestination longName = Dest(std::string(300, 'p'));
    PrinterDestination clash = Dest("PDF File");
    Use({office, lab, draft, again, unnamed, longName, clash});

    std::vector<PrinterInfo> list = ListPrinters(PrinterQuery::Names);
    EXPECT_EQ(lastQuery, PrinterQuery::Names);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].device, "PDF File");
    EXPECT_FALSE(list[0].isDefault);
    EXPECT_EQ(list[1].device, "office");
    EXPECT_EQ(list[1].kind, PrinterKind::PrintSystem);
    EXPECT_EQ(list[1].destination, "office");
    EXPECT_EQ(list[1].orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(list[1].paperSize, DMPAPER_A4);
    EXPECT_FALSE(list[1].isDefault);
    EXPECT_EQ(list[2].device, "lab");
    EXPECT_TRUE(list[2].isDefault);
    EXPECT_EQ(list[3].device, "lab/draft");
    EXPECT_EQ(list[3].destination, "lab");
    EXPECT_EQ(list[3].instance, "draft");
    EXPECT_FALSE(list[3].isDefault);

    EXPECT_EQ(DefaultPrinter().device, "lab");
    EXPECT_EQ(lastQuery, PrinterQuery::Settings);
    ASSERT_TRUE(FindPrinter("lab/draft"));
    EXPECT_FALSE(FindPrinter("nowhere"));
}

TEST_F(FakePrinters, NamesBecome1252)
{
    Use({Dest("B\xC3\xBCro")});
    std::vector<PrinterInfo> list = ListPrinters();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].device, "B\xFCro");
    EXPECT_EQ(list[1].destination, "B\xC3\xBCro");
}

TEST(PrinterSettings, PaperNamesAndSizes)
{
    struct Case {
        const char* media;
        int width;
        int length;
        short code;
        int wantWidth;
        int wantLength;
    };
    const Case cases[] = {
        {"Letter", 0, 0, DMPAPER_LETTER, 215900, 279400},
        {"a4", 0, 0, DMPAPER_A4, 210000, 297000},
        {"A4,Tray1", 0, 0, DMPAPER_A4, 210000, 297000},
        {"na_legal_8.5x14in", 0, 0, DMPAPER_LEGAL, 215900, 355600},
        {"iso_a5_148x210mm", 0, 0, DMPAPER_A5, 148000, 210000},
        {"Ledger", 0, 0, DMPAPER_LEDGER, 431800, 279400},
        {"na_ledger_11x17in", 0, 0, DMPAPER_TABLOID, 279400, 431800},
        {"na_number-10_4.125x9.5in", 0, 0, DMPAPER_ENV_10, 104775, 241300},
        // A name we do not know, with a size we do.
        {"om_office-a4_210x297mm", 0, 0, DMPAPER_A4, 210000, 297000},
        // Sizes round differently in different names.
        {"", 210200, 296800, DMPAPER_A4, 210000, 297000},
        {"om_small-photo_100x150mm", 0, 0, DMPAPER_USER, 100000, 150000},
        {"roc_16k_7.75x10.75in", 0, 0, DMPAPER_USER, 196850, 273050},
        {"Custom", 120000, 180000, DMPAPER_USER, 120000, 180000},
        {"garbage", 0, 0, 0, 0, 0},
        {"x_0x0mm", 0, 0, 0, 0, 0},
        {"x_999x999in", 0, 0, 0, 0, 0},
        {"x_8.5.1x11in", 0, 0, 0, 0, 0},
        {"x_axbmm", 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        PaperMatch m = MatchPaper(c.media, c.width, c.length);
        EXPECT_EQ(m.code, c.code) << c.media;
        EXPECT_EQ(m.width, c.wantWidth) << c.media;
        EXPECT_EQ(m.length, c.wantLength) << c.media;
    }
}

TEST(PrinterSettings, OrientationAndPaperOptions)
{
    auto from = [](std::vector<std::pair<std::string, std::string>> options) {
        PrinterDestination d;
        d.name = "p";
        d.options = std::move(options);
        return PrinterFromDestination(d);
    };
    EXPECT_EQ(from({}).orientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(from({}).paperSize, DMPAPER_LETTER);
    EXPECT_EQ(from({{"orientation-requested", "5"}}).orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(from({{"orientation-requested", "3"}}).orientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(from({{"orientation-requested", "6"}, {"landscape", "true"}}).orientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(from({{"landscape", ""}}).orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(from({{"Landscape", "false"}}).orientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(from({{"media-default", "A5"}}).paperSize, DMPAPER_A5);
    EXPECT_EQ(from({{"PageSize", "Legal"}}).paperSize, DMPAPER_LEGAL);
    // The first option that names a paper decides.
    EXPECT_EQ(from({{"media", "Tray2"}, {"PageSize", "A3"}}).paperSize, DMPAPER_A3);
    EXPECT_EQ(from({{"media", "nonsense"}}).paperSize, DMPAPER_LETTER);
}

TEST(PrinterSettings, ResolutionFromDestinationOrOptions)
{
    PrinterDestination d;
    d.name = "p";
    d.options = {{"printer-resolution", "300x600dpi"}};
    PrinterInfo p = PrinterFromDestination(d);
    EXPECT_EQ(p.dpiX, 300);
    EXPECT_EQ(p.dpiY, 600);
    EXPECT_EQ(p.metrics.logPixelsX, 300);
    EXPECT_EQ(p.metrics.physicalHeight, 6600);

    d.options = {{"Resolution", "118dpcm"}};
    EXPECT_EQ(PrinterFromDestination(d).dpiX, 300);
    for (const char* bad : {"10dpi", "99999dpi", "600", "dpi", "x600dpi", "600xdpi"}) {
        d.options = {{"printer-resolution", bad}};
        EXPECT_EQ(PrinterFromDestination(d).dpiX, 600) << bad;
    }
    // What the printer itself reports wins over saved options.
    d.options = {{"printer-resolution", "300dpi"}};
    d.dpiX = 1200;
    d.dpiY = 1200;
    EXPECT_EQ(PrinterFromDestination(d).dpiX, 1200);
    d.dpiX = 5; // out of range: ignored
    EXPECT_EQ(PrinterFromDestination(d).dpiX, 300);
}

TEST(PrinterSettings, DeviceSheetGivesPaperAndMargins)
{
    PrinterDestination d;
    d.name = "p";
    d.options = {{"media", "A3"}};
    PrinterSheet sheet;
    sheet.media = "iso_a4_210x297mm";
    sheet.width = 210000;
    sheet.length = 297000;
    sheet.margins = SheetMargins{3000, 5000, 4000, 12700};
    d.sheet = sheet;
    PrinterInfo p = PrinterFromDestination(d);
    EXPECT_EQ(p.paperSize, DMPAPER_A4);
    const PrinterMetrics& m = p.metrics;
    EXPECT_EQ(m.physicalWidth, 4961); // 210 mm at 600 dpi
    EXPECT_EQ(m.physicalHeight, 7016);
    EXPECT_EQ(m.physicalOffsetX, 71);  // 3 mm
    EXPECT_EQ(m.physicalOffsetY, 118); // 5 mm
    EXPECT_EQ(m.horzRes, 4961 - 71 - 94);
    EXPECT_EQ(m.vertRes, 7016 - 118 - 300);

    // Turned for landscape, the sheet's bottom margin is the page's left.
    d.options = {{"orientation-requested", "4"}};
    PrinterMetrics l = PrinterFromDestination(d).metrics;
    EXPECT_EQ(l.physicalWidth, 7016);
    EXPECT_EQ(l.physicalHeight, 4961);
    EXPECT_EQ(l.physicalOffsetX, 300);
    EXPECT_EQ(l.physicalOffsetY, 71);
    EXPECT_EQ(l.horzRes, 7016 - 300 - 118);
    EXPECT_EQ(l.vertRes, 4961 - 71 - 94);
}

TEST(PrinterSettings, ImpossibleSheetsFallBack)
{
    PrinterDestination d;
    d.name = "p";
    d.options = {{"media", "A4"}};
    PrinterSheet sheet;
    sheet.width = 210000;
    sheet.length = 297000;
    // Margins that leave nothing to print on are the printer's mistake.
    sheet.margins = SheetMargins{150000, 0, 150000, 0};
    d.sheet = sheet;
    PrinterInfo p = PrinterFromDestination(d);
    EXPECT_EQ(p.paperSize, DMPAPER_A4);
    EXPECT_EQ(p.metrics.physicalOffsetX, 150);
    EXPECT_EQ(p.metrics.horzRes, 4961 - 300);

    sheet.margins = SheetMargins{-5, 0, 0, 0};
    d.sheet = sheet;
    EXPECT_EQ(PrinterFromDestination(d).metrics.physicalOffsetX, 150);

    // A sheet size out of bounds is ignored in favour of the options.
    sheet.width = 0;
    d.sheet = sheet;
    d.options = {{"media", "A5"}};
    EXPECT_EQ(PrinterFromDestination(d).paperSize, DMPAPER_A5);

    PrinterMetrics m = ComputePrinterMetrics(1, -7, SheetMargins{}, 1, 100000, DMORIENT_PORTRAIT);
    EXPECT_EQ(m.logPixelsX, 72);
    EXPECT_EQ(m.logPixelsY, 2400);
    EXPECT_EQ(m.physicalWidth, 612); // Letter
}

TEST_F(FakePrinters, DriverVersionAsADescriptionShowsIt)
{
    struct Case {
        WORD version;
        int major;
        int minor;
    };
    const Case cases[] = {
        {0x0400, 4, 0}, {0x0312, 3, 18}, {0x0100, 1, 0}, {0x0064, 1, 0}, {0x00FF, 2, 55}, {0x0005, 0, 5}, {0, 0, 0},
    };
    for (const Case& c : cases) {
        DriverVersionNumbers n = SplitDriverVersion(c.version);
        EXPECT_EQ(n.major, c.major) << c.version;
        EXPECT_EQ(n.minor, c.minor) << c.version;
    }
    Use({});
    PrinterInfo printer = DefaultPrinter();
    DriverVersionNumbers n = SplitDriverVersion(printer.driverVersion);
    char text[64];
    std::snprintf(text, sizeof text, "Printer: %s version %d.%d", printer.device.c_str(), n.major, n.minor);
    EXPECT_STREQ(text, "Printer: PDF File version 4.0");
}

TEST_F(FakePrinters, DevModeCarriesThePrintersSettings)
{
    PrinterDestination a4 = Dest(std::string(40, 'q'), {{"media", "A4"}, {"landscape", "yes"}, {"printer-resolution", "300dpi"}});
    PrinterDestination photo = Dest("photo", {{"media", "om_small-photo_100x150mm"}});
    Use({a4, photo});

    DEVMODE dm;
    std::memset(&dm, 0xCC, sizeof dm);
    FillDevMode(*FindPrinter(std::string(40, 'q')), dm);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(dm.dmDeviceName)), std::string(31, 'q'));
    EXPECT_EQ(dm.dmSize, sizeof(DEVMODE));
    EXPECT_EQ(dm.dmDriverExtra, 0);
    EXPECT_EQ(dm.dmSpecVersion, DM_SPECVERSION);
    EXPECT_EQ(dm.dmDriverVersion, 0x0400);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(dm.dmFields & (DM_PAPERWIDTH | DM_PAPERLENGTH), 0u);
    EXPECT_EQ(dm.dmPrintQuality, 300);
    EXPECT_EQ(dm.dmYResolution, 300);
    EXPECT_EQ(dm.dmCopies, 1);
    EXPECT_EQ(dm.dmFormName[0], 0);

    FillDevMode(*FindPrinter("photo"), dm);
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_USER);
    EXPECT_NE(dm.dmFields & DM_PAPERWIDTH, 0u);
    EXPECT_EQ(dm.dmPaperWidth, 1000);
    EXPECT_EQ(dm.dmPaperLength, 1500);
}

TEST_F(FakePrinters, MetricsForADevModeKeepThePrintersMargins)
{
    PrinterDestination d = Dest("office");
    PrinterSheet sheet;
    sheet.media = "Letter";
    sheet.width = 215900;
    sheet.length = 279400;
    sheet.margins = SheetMargins{kInch / 2, kInch / 2, kInch / 2, kInch};
    d.sheet = sheet;
    Use({d});

    std::optional<PrinterMetrics> own = PrinterMetricsFor("office", nullptr);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->physicalOffsetX, 300);
    EXPECT_EQ(own->vertRes, 6600 - 300 - 600);

    DEVMODE dm{};
    dm.dmSize = sizeof dm;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PRINTQUALITY;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    dm.dmPaperSize = DMPAPER_LEGAL;
    dm.dmPrintQuality = DMRES_MEDIUM;
    std::optional<PrinterMetrics> m = PrinterMetricsFor("office", &dm);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->logPixelsX, 300);
    EXPECT_EQ(m->physicalWidth, 4200);
    EXPECT_EQ(m->physicalHeight, 2550);
    EXPECT_EQ(m->physicalOffsetX, 300); // the one-inch bottom margin
    EXPECT_EQ(m->physicalOffsetY, 150);

    // A record too short to hold the fields it marks is read only as far
    // as it goes.
    dm.dmSize = WORD(offsetof(DEVMODE, dmPaperSize));
    m = PrinterMetricsFor("office", &dm);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->physicalWidth, 6600);
    EXPECT_EQ(m->logPixelsX, 600);

    EXPECT_FALSE(PrinterMetricsFor("nowhere", nullptr));
    ASSERT_TRUE(PrinterMetricsFor("PDF File", nullptr));
}
