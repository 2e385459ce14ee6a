#pragma once
// The printers the program can print to: the print system's destinations
// (read through libcups) and the PDF-file printer, which is always there and
// writes each job to a file the user names. Also what happens to a finished
// job: a spooled PDF is submitted to its print system queue or moved to the
// chosen file, and the outcome is reported, never dropped.
//
// Without a reachable print server the list holds the PDF-file printer
// alone, and that printer is the default. Listing never waits long: the
// connection to the server gives up after a short timeout.
//
// Our driver version is 0x0400 for every printer, which a printer
// description shows as "version 4.0" (high byte major, low byte minor).
//
// Sizes are kept in micrometres so that inch and millimetre papers are
// exact; a DEVMODE gets them in tenths of a millimetre. Metrics are printer
// dots, as GetDeviceCaps answers them for the printer's DC.

#include "platform/base/DevModeValues.h"
#include "platform/base/Types.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct DEVMODEA;

namespace platform {

// The device name the print dialogs give the PDF-file printer.
inline constexpr char kPdfFilePrinterName[] = "PDF File";
inline constexpr WORD kPrinterDriverVersion = 0x0400;
inline constexpr int kDefaultPrinterDpi = kDefaultPrintDpi;
// A quarter inch: a margin every usual printer can reach.
inline constexpr int kDefaultMarginMicrons = 6350;

enum class PrinterKind { PdfFile, PrintSystem };

// What GetDeviceCaps answers for a printer DC, in dots.
struct PrinterMetrics {
    int logPixelsX = 0;
    int logPixelsY = 0;
    int physicalWidth = 0;   // PHYSICALWIDTH / PHYSICALHEIGHT: the whole sheet
    int physicalHeight = 0;
    int physicalOffsetX = 0; // PHYSICALOFFSETX / Y: the printable area's corner
    int physicalOffsetY = 0;
    int horzRes = 0;         // HORZRES / VERTRES: the printable area
    int vertRes = 0;
};

// The edges of the sheet a printer cannot print on.
struct SheetMargins {
    int left = kDefaultMarginMicrons;
    int top = kDefaultMarginMicrons;
    int right = kDefaultMarginMicrons;
    int bottom = kDefaultMarginMicrons;
};

struct PrinterInfo {
    PrinterKind kind = PrinterKind::PdfFile;
    std::string device; // 1252: DEVNAMES device, dmDeviceName (cut to 31 there)
    std::string driver; // "PDF" or "CUPS"
    std::string port;   // "FILE:" or "CUPS:"
    std::string destination; // the print system's queue name (UTF-8)
    std::string instance;    // its instance, may be empty
    bool isDefault = false;
    WORD driverVersion = kPrinterDriverVersion;
    short orientation = 1;  // DMORIENT_PORTRAIT or DMORIENT_LANDSCAPE
    short paperSize = 1;    // a DMPAPER_ code, DMPAPER_USER for other sizes
    int paperWidth = 0;     // the sheet held upright, micrometres
    int paperLength = 0;
    SheetMargins margins;   // the sheet held upright
    int dpiX = kDefaultPrinterDpi;
    int dpiY = kDefaultPrinterDpi;
    PrinterMetrics metrics; // for the printer's orientation
};

// One destination as the print system describes it. Everything here comes
// from outside and is checked before use.
struct PrinterSheet {
    std::string media;  // a paper name ("iso_a4_210x297mm", "Letter") or empty
    int width = 0;      // micrometres, upright
    int length = 0;
    SheetMargins margins;
};
struct PrinterDestination {
    std::string name;     // UTF-8
    std::string instance;
    bool isDefault = false;
    std::vector<std::pair<std::string, std::string>> options;
    std::optional<PrinterSheet> sheet; // the default paper and its printable area
    int dpiX = 0;                      // the default resolution; 0 unknown
    int dpiY = 0;
};

// Names is cheap (one request to the server); Settings also asks each
// printer for its default paper, printable area and resolution.
enum class PrinterQuery { Names, Settings };

// The PDF-file printer first, then the print system's destinations; the
// default one is marked (the print system's default, else the PDF-file
// printer). At most 256 printers.
std::vector<PrinterInfo> ListPrinters(PrinterQuery query = PrinterQuery::Settings);
PrinterInfo DefaultPrinter();
// By device name as ListPrinters gives it; none when it is not listed.
std::optional<PrinterInfo> FindPrinter(std::string_view device, PrinterQuery query = PrinterQuery::Settings);

// The printer's own settings as a DEVMODE (dmSize sizeof(DEVMODE), no
// private bytes): device name, driver version, orientation, paper, copies 1
// and resolution.
void FillDevMode(const PrinterInfo& printer, DEVMODEA& devMode);

// The sheet and printable area of a printer for the paper, orientation and
// resolution a DEVMODE asks for (fields it does not mark keep the printer's
// own); the printer's margins stay. None when the device is not listed.
std::optional<PrinterMetrics> PrinterMetricsFor(std::string_view device, const DEVMODEA* devMode);

// Metrics of a sheet; margins that leave less than a tenth of an inch to
// print on are replaced by the quarter-inch default.
PrinterMetrics ComputePrinterMetrics(int paperWidth, int paperLength, const SheetMargins& margins,
    int dpiX, int dpiY, short orientation);

// A driver version as a description shows it: the high byte and the low
// byte, or when the high byte is 0 the low byte divided by 100 and its
// remainder.
struct DriverVersionNumbers {
    int major = 0;
    int minor = 0;
};
DriverVersionNumbers SplitDriverVersion(WORD version);

// A printer built from one destination (the part of ListPrinters that reads
// the print system's answer): paper from the sheet, else from the "media",
// "media-default" or "PageSize" option, else Letter; orientation from
// "orientation-requested" or "landscape"; resolution from the destination,
// else "printer-resolution" or "Resolution", else 600 dpi.
PrinterInfo PrinterFromDestination(const PrinterDestination& destination);

// The DMPAPER_ code of a paper name or of its size; DMPAPER_USER when
// neither is known. Sizes in micrometres; 0 when the name carries none.
struct PaperMatch {
    short code = 0;
    int width = 0;
    int length = 0;
};
PaperMatch MatchPaper(std::string_view media, int width = 0, int length = 0);

// Tests: where destinations come from instead of the print system. An
// empty function restores the print system.
using PrinterSource = std::function<std::vector<PrinterDestination>(PrinterQuery)>;
void SetPrinterSourceForTests(PrinterSource source);

// The print system's destinations (PrinterCups.cpp); empty without a
// reachable server.
std::vector<PrinterDestination> PrintSystemDestinations(PrinterQuery query);

// InstallPrinterServices, which hooks all this into the print dialogs and
// the printer DCs, is in PrintServices.h.

} // namespace platform
