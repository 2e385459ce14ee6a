#pragma once
// Printer DCs beyond the Win32 calls of Gdi.h: making one from the print
// dialog's DEVNAMES/DEVMODE blocks, the page geometry a DEVMODE describes,
// and where a finished job goes.
//
// A printer DC writes a PDF file. Its device units are printer dots at the
// DEVMODE's resolution (600 dpi by default); device (0, 0) is the top-left
// corner of the printable area (PHYSICALOFFSETX/Y). The printer's own
// margins come from the metrics provider the printing services install;
// without one, or for a printer it does not know, the area lies a quarter
// inch inside each edge of the sheet, a margin every usual printer can reach.
// StartDoc writes to DOCINFO::lpszOutput when given (a Windows-form path);
// otherwise the job is spooled to a file in the temporary folder and handed
// to the spool handler at EndDoc.

#include "platform/base/Types.h"

#include <functional>
#include <string>

struct DEVMODEA;

// A DC for the printer the two global blocks name (DEVNAMES: driver, device,
// output; DEVMODE: the settings, may be NULL). NULL when hDevNames is missing
// or malformed.
HDC AFXAPI AfxCreateDC(HGLOBAL hDevNames, HGLOBAL hDevMode);

namespace platform {

// The sheet a DEVMODE describes, in printer dots.
struct PrinterPage {
    int dpiX = 600;
    int dpiY = 600;
    int physicalWidth = 0;  // the whole sheet
    int physicalHeight = 0;
    int offsetX = 0;        // printable area's top-left on the sheet
    int offsetY = 0;
    int printableWidth = 0; // HORZRES / VERTRES
    int printableHeight = 0;
    double widthPoints = 0; // the PDF page, 1/72 inch
    double heightPoints = 0;
};

// Letter portrait at 600 dpi for NULL; otherwise the paper size
// (dmPaperSize, or dmPaperWidth/dmPaperLength in 0.1 mm), orientation and
// resolution (dmPrintQuality, dmYResolution) the DEVMODE's dmFields mark.
// Resolutions are kept within 72..2400 dpi and sheets within 1..100 inches,
// whatever the record says.
PrinterPage PrinterPageFromDevMode(const DEVMODEA* devMode);

// What a printer's own metrics say about a sheet, in its dots: the whole
// sheet (PHYSICALWIDTH/HEIGHT), the printable area's corner
// (PHYSICALOFFSETX/Y) and size (HORZRES/VERTRES), at LOGPIXELSX/Y.
struct PrinterAreaMetrics {
    int logPixelsX = 0;
    int logPixelsY = 0;
    int physicalWidth = 0;
    int physicalHeight = 0;
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;
    int horzRes = 0;
    int vertRes = 0;
};
// Asked when a printer DC or IC is made, with the device name and a DEVMODE
// that marks the paper, orientation and resolution the DC has settled on;
// answers false for a printer it does not know. The DC keeps its own sheet
// and resolution and takes the margins from the answer, scaled to its dots
// when the answer's resolution differs; margins that do not fit the sheet
// or leave less than a tenth of an inch to print on are refused for the
// quarter inch. An empty function removes the provider.
using PrinterMetricsProvider =
    std::function<bool(const std::string& device, const DEVMODEA& devMode, PrinterAreaMetrics& metrics)>;
void SetPrinterMetricsProvider(PrinterMetricsProvider provider);

// A job spooled for a printer (no explicit output file): the PDF is complete
// at hostPath and belongs to the handler, which sends it on and removes it.
struct SpooledJob {
    std::string printer; // the device name given to CreateDC
    std::string document; // DOCINFO::lpszDocName (1252)
    std::string hostPath;
};
// The handler answers whether the job went on its way; when it did not,
// EndDoc answers SP_ERROR with the last error the handler set (kept as
// ERROR_WRITE_FAULT when it set none). Without a handler, spooled files
// stay in the temporary folder. An empty function removes the handler.
using SpoolHandler = std::function<bool(const SpooledJob&)>;
void SetSpoolHandler(SpoolHandler handler);

} // namespace platform
