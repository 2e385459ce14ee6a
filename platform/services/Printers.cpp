// The printer list: the PDF-file printer plus the print system's
// destinations, each read into the settings and metrics a printer DC uses.

#include "platform/services/Printers.h"

#include "platform/base/CodePage.h"
#include "platform/base/UiRecords.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <mutex>

namespace platform {

namespace {

constexpr int kMicronsPerInch = 25400;
constexpr int kMinDpi = 72;
constexpr int kMaxDpi = 2400;
// The same bounds a printer DC keeps a sheet within.
constexpr int kMinSheet = kMicronsPerInch;
constexpr int kMaxSheet = 100 * kMicronsPerInch;
// The least printable width or height we accept from a printer's margins.
constexpr int kMinPrintable = kMicronsPerInch / 10;
// Two papers are the same when they differ by at most this on each side:
// names round their sizes to whole millimetres or fractions of an inch.
constexpr int kPaperTolerance = 1000;
constexpr size_t kMaxPrinters = 256;
constexpr size_t kMaxNameBytes = 255;
constexpr size_t kMaxOptionBytes = 1024;

// A paper the print system and page descriptions name; its size comes from
// the one table the printer DC reads too.
struct KnownPaper : PaperSize {
    const char* names[2]; // the print system's and the page-description name
};

constexpr KnownPaper kPapers[] = {
    {PaperSizeOf(DMPAPER_LETTER), {"na_letter_8.5x11in", "Letter"}},
    {PaperSizeOf(DMPAPER_LEGAL), {"na_legal_8.5x14in", "Legal"}},
    {PaperSizeOf(DMPAPER_TABLOID), {"na_ledger_11x17in", "Tabloid"}},
    {PaperSizeOf(DMPAPER_LEDGER), {"", "Ledger"}},
    {PaperSizeOf(DMPAPER_STATEMENT), {"na_invoice_5.5x8.5in", "Statement"}},
    {PaperSizeOf(DMPAPER_EXECUTIVE), {"na_executive_7.25x10.5in", "Executive"}},
    {PaperSizeOf(DMPAPER_A3), {"iso_a3_297x420mm", "A3"}},
    {PaperSizeOf(DMPAPER_A4), {"iso_a4_210x297mm", "A4"}},
    {PaperSizeOf(DMPAPER_A5), {"iso_a5_148x210mm", "A5"}},
    {PaperSizeOf(DMPAPER_B4), {"iso_b4_250x353mm", ""}},
    {PaperSizeOf(DMPAPER_B5), {"jis_b5_182x257mm", "B5"}},
    {PaperSizeOf(DMPAPER_FOLIO), {"na_foolscap_8.5x13in", ""}},
    {PaperSizeOf(DMPAPER_QUARTO), {"", "Quarto"}},
    {PaperSizeOf(DMPAPER_ENV_10), {"na_number-10_4.125x9.5in", "Env10"}},
};
static_assert(std::all_of(std::begin(kPapers), std::end(kPapers), [](const KnownPaper& p) { return p.code != 0; }),
    "every named paper has a known size");

const KnownPaper& LetterPaper() { return kPapers[0]; }

std::mutex g_sourceMutex;
PrinterSource g_source;

char AsciiLower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
            [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool SheetSizeOk(int width, int length)
{
    return width >= kMinSheet && width <= kMaxSheet && length >= kMinSheet && length <= kMaxSheet;
}

// A decimal number such as "8.5" or "210"; false for anything else.
bool ParseDecimal(std::string_view text, double& out)
{
    if (text.empty() || text.size() > 12)
        return false;
    double value = 0;
    double scale = 0;
    for (char ch : text) {
        if (ch == '.' && scale == 0) {
            scale = 1;
        } else if (ch >= '0' && ch <= '9') {
            if (scale == 0) {
                value = value * 10 + (ch - '0');
            } else {
                scale /= 10;
                value += (ch - '0') * scale;
            }
        } else {
            return false;
        }
    }
    out = value;
    return true;
}

// The size a self-describing paper name ends with ("..._8.5x11in",
// "..._210x297mm"), in micrometres.
bool SizeFromName(std::string_view name, int& width, int& length)
{
    size_t underscore = name.rfind('_');
    if (underscore == std::string_view::npos)
        return false;
    std::string_view size = name.substr(underscore + 1);
    double unit = 0;
    if (size.size() > 2 && size.substr(size.size() - 2) == "in")
        unit = kMicronsPerInch;
    else if (size.size() > 2 && size.substr(size.size() - 2) == "mm")
        unit = 1000;
    else
        return false;
    size.remove_suffix(2);
    size_t x = size.find('x');
    double w = 0;
    double h = 0;
    if (x == std::string_view::npos || !ParseDecimal(size.substr(0, x), w) || !ParseDecimal(size.substr(x + 1), h))
        return false;
    double wm = w * unit;
    double hm = h * unit;
    if (wm < kMinSheet || wm > kMaxSheet || hm < kMinSheet || hm > kMaxSheet)
        return false;
    width = int(std::lround(wm));
    length = int(std::lround(hm));
    return true;
}

// "600dpi", "300x600dpi" or the same in dots per centimetre.
bool ParseResolution(std::string_view text, int& dpiX, int& dpiY)
{
    double factor = 0;
    if (text.size() > 3 && EqualNoCase(text.substr(text.size() - 3), "dpi")) {
        factor = 1;
        text.remove_suffix(3);
    } else if (text.size() > 4 && EqualNoCase(text.substr(text.size() - 4), "dpcm")) {
        factor = 2.54;
        text.remove_suffix(4);
    } else {
        return false;
    }
    size_t x = text.find('x');
    double a = 0;
    double b = 0;
    if (!ParseDecimal(text.substr(0, x), a))
        return false;
    if (x == std::string_view::npos)
        b = a;
    else if (!ParseDecimal(text.substr(x + 1), b))
        return false;
    int ax = int(std::lround(a * factor));
    int by = int(std::lround(b * factor));
    if (ax < kMinDpi || ax > kMaxDpi || by < kMinDpi || by > kMaxDpi)
        return false;
    dpiX = ax;
    dpiY = by;
    return true;
}

const std::string* FindOption(const PrinterDestination& d, std::string_view name)
{
    for (const auto& [key, value] : d.options)
        if (EqualNoCase(key, name) && value.size() <= kMaxOptionBytes)
            return &value;
    return nullptr;
}

bool MarginsFit(const SheetMargins& m, int width, int length)
{
    for (int edge : {m.left, m.top, m.right, m.bottom})
        if (edge < 0 || edge > kMaxSheet)
            return false;
    return int64_t(width) - m.left - m.right >= kMinPrintable
        && int64_t(length) - m.top - m.bottom >= kMinPrintable;
}

int Dots(int microns, int dpi)
{
    return int((int64_t(microns) * dpi + kMicronsPerInch / 2) / kMicronsPerInch);
}

void SetPaper(PrinterInfo& info, const KnownPaper& paper)
{
    info.paperSize = paper.code;
    info.paperWidth = paper.width;
    info.paperLength = paper.length;
}

void UpdateMetrics(PrinterInfo& info)
{
    info.metrics = ComputePrinterMetrics(info.paperWidth, info.paperLength, info.margins,
        info.dpiX, info.dpiY, info.orientation);
}

PrinterInfo PdfFilePrinter()
{
    PrinterInfo info;
    info.kind = PrinterKind::PdfFile;
    info.device = kPdfFilePrinterName;
    info.driver = "PDF";
    info.port = "FILE:";
    SetPaper(info, LetterPaper());
    UpdateMetrics(info);
    return info;
}

std::string CutName(std::string text)
{
    text.resize(strnlen(text.c_str(), std::min(text.size(), kMaxNameBytes)));
    return text;
}

} // namespace

PaperMatch MatchPaper(std::string_view media, int width, int length)
{
    // A list of choices ("A4,Tray1") names the paper first.
    media = media.substr(0, media.find(','));
    for (const KnownPaper& p : kPapers) {
        for (const char* name : p.names) {
            if (*name && EqualNoCase(media, name))
                return PaperMatch{p.code, p.width, p.length};
        }
    }
    if (width <= 0 || length <= 0) {
        if (!SizeFromName(media, width, length))
            return PaperMatch{};
    }
    for (const KnownPaper& p : kPapers) {
        if (std::abs(p.width - width) <= kPaperTolerance && std::abs(p.length - length) <= kPaperTolerance)
            return PaperMatch{p.code, p.width, p.length};
    }
    return PaperMatch{DMPAPER_USER, width, length};
}

PrinterMetrics ComputePrinterMetrics(int paperWidth, int paperLength, const SheetMargins& margins,
    int dpiX, int dpiY, short orientation)
{
    if (!SheetSizeOk(paperWidth, paperLength)) {
        paperWidth = LetterPaper().width;
        paperLength = LetterPaper().length;
    }
    dpiX = std::clamp(dpiX, kMinDpi, kMaxDpi);
    dpiY = std::clamp(dpiY, kMinDpi, kMaxDpi);
    SheetMargins m = MarginsFit(margins, paperWidth, paperLength) ? margins : SheetMargins{};
    if (orientation == DMORIENT_LANDSCAPE) {
        // The content turns a quarter turn anticlockwise on the sheet: its
        // top lies along the sheet's left edge, its left along the bottom.
        std::swap(paperWidth, paperLength);
        m = SheetMargins{m.bottom, m.left, m.top, m.right};
    }
    PrinterMetrics out;
    out.logPixelsX = dpiX;
    out.logPixelsY = dpiY;
    out.physicalWidth = Dots(paperWidth, dpiX);
    out.physicalHeight = Dots(paperLength, dpiY);
    out.physicalOffsetX = Dots(m.left, dpiX);
    out.physicalOffsetY = Dots(m.top, dpiY);
    out.horzRes = out.physicalWidth - out.physicalOffsetX - Dots(m.right, dpiX);
    out.vertRes = out.physicalHeight - out.physicalOffsetY - Dots(m.bottom, dpiY);
    return out;
}

DriverVersionNumbers SplitDriverVersion(WORD version)
{
    int high = version >> 8;
    int low = version & 0xFF;
    if (high != 0)
        return DriverVersionNumbers{high, low};
    return DriverVersionNumbers{low / 100, low % 100};
}

PrinterInfo PrinterFromDestination(const PrinterDestination& d)
{
    PrinterInfo info;
    info.kind = PrinterKind::PrintSystem;
    info.destination = d.name;
    info.instance = d.instance;
    std::string device = d.instance.empty() ? d.name : d.name + "/" + d.instance;
    info.device = CutName(Utf8To1252(device));
    info.driver = "CUPS";
    info.port = "CUPS:";
    info.isDefault = d.isDefault;

    SetPaper(info, LetterPaper());
    bool sheetTaken = false;
    if (d.sheet && SheetSizeOk(d.sheet->width, d.sheet->length)) {
        PaperMatch match = MatchPaper(d.sheet->media, d.sheet->width, d.sheet->length);
        info.paperSize = match.code;
        info.paperWidth = d.sheet->width;
        info.paperLength = d.sheet->length;
        if (MarginsFit(d.sheet->margins, d.sheet->width, d.sheet->length))
            info.margins = d.sheet->margins;
        sheetTaken = true;
    }
    if (!sheetTaken) {
        for (const char* option : {"media", "media-default", "PageSize"}) {
            const std::string* value = FindOption(d, option);
            if (!value)
                continue;
            PaperMatch match = MatchPaper(*value);
            if (match.code != 0) {
                info.paperSize = match.code;
                info.paperWidth = match.width;
                info.paperLength = match.length;
                break;
            }
        }
    }

    if (const std::string* value = FindOption(d, "orientation-requested")) {
        // 4 and 5 are the two landscapes; 3 and 6 the two portraits.
        if (*value == "4" || *value == "5")
            info.orientation = DMORIENT_LANDSCAPE;
    } else if (const std::string* landscape = FindOption(d, "landscape")) {
        bool off = EqualNoCase(*landscape, "false") || EqualNoCase(*landscape, "no") || EqualNoCase(*landscape, "off");
        if (!off)
            info.orientation = DMORIENT_LANDSCAPE;
    }

    if (d.dpiX >= kMinDpi && d.dpiX <= kMaxDpi && d.dpiY >= kMinDpi && d.dpiY <= kMaxDpi) {
        info.dpiX = d.dpiX;
        info.dpiY = d.dpiY;
    } else {
        for (const char* option : {"printer-resolution", "Resolution"}) {
            const std::string* value = FindOption(d, option);
            if (value && ParseResolution(*value, info.dpiX, info.dpiY))
                break;
        }
    }
    UpdateMetrics(info);
    return info;
}

void SetPrinterSourceForTests(PrinterSource source)
{
    std::lock_guard<std::mutex> lock(g_sourceMutex);
    g_source = std::move(source);
}

std::vector<PrinterInfo> ListPrinters(PrinterQuery query)
{
    PrinterSource source;
    {
        std::lock_guard<std::mutex> lock(g_sourceMutex);
        source = g_source;
    }
    std::vector<PrinterDestination> destinations = source ? source(query) : PrintSystemDestinations(query);

    std::vector<PrinterInfo> printers{PdfFilePrinter()};
    bool haveDefault = false;
    for (const PrinterDestination& d : destinations) {
        if (printers.size() >= kMaxPrinters)
            break;
        if (d.name.empty() || d.name.size() > kMaxNameBytes || d.instance.size() > kMaxNameBytes)
            continue;
        PrinterInfo info = PrinterFromDestination(d);
        if (info.device.empty())
            continue;
        bool known = std::any_of(printers.begin(), printers.end(),
            [&](const PrinterInfo& p) { return p.device == info.device; });
        if (known)
            continue;
        // Only one default, the first the print system marks.
        info.isDefault = info.isDefault && !haveDefault;
        haveDefault = haveDefault || info.isDefault;
        printers.push_back(std::move(info));
    }
    printers.front().isDefault = !haveDefault;
    return printers;
}

PrinterInfo DefaultPrinter()
{
    std::vector<PrinterInfo> printers = ListPrinters(PrinterQuery::Settings);
    for (PrinterInfo& p : printers)
        if (p.isDefault)
            return std::move(p);
    return printers.front();
}

std::optional<PrinterInfo> FindPrinter(std::string_view device, PrinterQuery query)
{
    for (PrinterInfo& p : ListPrinters(query))
        if (p.device == device)
            return std::move(p);
    return std::nullopt;
}

void FillDevMode(const PrinterInfo& printer, DEVMODEA& dm)
{
    std::memset(&dm, 0, sizeof dm);
    std::memcpy(dm.dmDeviceName, printer.device.data(), std::min<size_t>(printer.device.size(), CCHDEVICENAME - 1));
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmDriverVersion = printer.driverVersion;
    dm.dmSize = sizeof(DEVMODE);
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION;
    dm.dmOrientation = printer.orientation;
    dm.dmPaperSize = printer.paperSize;
    if (printer.paperSize == DMPAPER_USER) {
        dm.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
        dm.dmPaperWidth = SHORT(printer.paperWidth / 100);
        dm.dmPaperLength = SHORT(printer.paperLength / 100);
    }
    dm.dmCopies = 1;
    dm.dmPrintQuality = SHORT(printer.dpiX);
    dm.dmYResolution = SHORT(printer.dpiY);
}

std::optional<PrinterMetrics> PrinterMetricsFor(std::string_view device, const DEVMODEA* devMode)
{
    std::optional<PrinterInfo> printer = FindPrinter(device);
    if (!printer)
        return std::nullopt;
    PrinterInfo& p = *printer;
    if (devMode) {
        const DEVMODE& dm = *devMode;
        // A field counts when the record's own size covers it and dmFields
        // marks it, as the printer DC reads the record.
        auto has = [&](size_t offset, DWORD flag) {
            return dm.dmSize >= offset + sizeof(SHORT) && (dm.dmFields & flag) != 0;
        };
        if (has(offsetof(DEVMODE, dmPaperSize), DM_PAPERSIZE)) {
            for (const KnownPaper& k : kPapers)
                if (k.code == dm.dmPaperSize)
                    SetPaper(p, k);
        }
        if (has(offsetof(DEVMODE, dmPaperWidth), DM_PAPERWIDTH) && dm.dmPaperWidth > 0)
            p.paperWidth = dm.dmPaperWidth * 100;
        if (has(offsetof(DEVMODE, dmPaperLength), DM_PAPERLENGTH) && dm.dmPaperLength > 0)
            p.paperLength = dm.dmPaperLength * 100;
        if (has(offsetof(DEVMODE, dmOrientation), DM_ORIENTATION))
            p.orientation = dm.dmOrientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        if (has(offsetof(DEVMODE, dmPrintQuality), DM_PRINTQUALITY)) {
            p.dpiX = ResolutionFromQuality(dm.dmPrintQuality);
            p.dpiY = p.dpiX;
        }
        if (has(offsetof(DEVMODE, dmYResolution), DM_YRESOLUTION) && dm.dmYResolution > 0)
            p.dpiY = dm.dmYResolution;
    }
    return ComputePrinterMetrics(p.paperWidth, p.paperLength, p.margins, p.dpiX, p.dpiY, p.orientation);
}

} // namespace platform
