// Printer and printer-information DCs: page geometry from the DEVMODE, the
// document and page calls, and the PDF file each job becomes.

#include "platform/gdi/PrinterDc.h"

#include "platform/base/CharClass.h"
#include "platform/base/CodePage.h"
#include "platform/base/DevModeValues.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/HostPath.h"
#include "platform/files/UserFolders.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/DeviceContext.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kDefaultDpi = kDefaultPrintDpi;
constexpr int kMinDpi = 72;
constexpr int kMaxDpi = 2400;
constexpr int kMicronsPerInch = 25400;
// A sheet is kept between these sizes so that its dot counts stay far
// inside int range at the highest resolution.
constexpr int kMinSheetMicrons = kMicronsPerInch;
constexpr int kMaxSheetMicrons = 100 * kMicronsPerInch;

// Whether the DEVMODE's own size covers a field and dmFields marks it.
template <typename Field>
bool Has(const DEVMODE& dm, size_t offset, DWORD flag)
{
    return dm.dmSize >= offset + sizeof(Field) && (dm.dmFields & flag) != 0;
}

int Dots(int microns, int dpi)
{
    return int((int64_t(microns) * dpi + kMicronsPerInch / 2) / kMicronsPerInch);
}

// The job behind a printer DC: its PDF surface, the file it goes to and the
// page being drawn. Deleting the DC while a document is open aborts it.
class PrintJob : public DcExtension {
public:
    PrintJob(std::string printer, const PrinterPage& page)
        : m_printer(std::move(printer))
        , m_page(page)
    {
    }
    ~PrintJob() override { Abort(); }

    const PrinterPage& Page() const { return m_page; }
    bool InDocument() const { return m_surface != nullptr; }
    bool InPage() const { return m_page_cr != nullptr; }
    void SetAbortProc(ABORTPROC proc) { m_abortProc = proc; }

    int Start(const DOCINFO* info);
    cairo_t* BeginPage();
    int FinishPage(DeviceContext& dc);
    int End(DeviceContext& dc);
    void Abort();

private:
    static cairo_status_t Write(void* closure, const unsigned char* data, unsigned int length);
    bool Failed() const;
    void CloseFile(bool remove);

    std::string m_printer;
    PrinterPage m_page;
    ABORTPROC m_abortProc = nullptr;

    std::string m_document;
    std::string m_hostPath;
    bool m_spooled = false;
    FILE* m_file = nullptr;
    bool m_writeFailed = false;
    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_page_cr = nullptr;
};

std::mutex g_spoolMutex;
SpoolHandler g_spoolHandler;
PrinterMetricsProvider g_metricsProvider;
int g_nextJobId = 1;

cairo_status_t PrintJob::Write(void* closure, const unsigned char* data, unsigned int length)
{
    auto* job = static_cast<PrintJob*>(closure);
    if (!job->m_file)
        return CAIRO_STATUS_SUCCESS; // an aborted job: nothing more is kept
    if (std::fwrite(data, 1, length, job->m_file) != length) {
        job->m_writeFailed = true;
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

bool PrintJob::Failed() const
{
    return m_writeFailed || (m_surface && cairo_surface_status(m_surface) != CAIRO_STATUS_SUCCESS);
}

int PrintJob::Start(const DOCINFO* info)
{
    if (InDocument()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    m_document = info && info->lpszDocName ? info->lpszDocName : "";
    if (info && info->lpszOutput && *info->lpszOutput) {
        m_hostPath = HostPathForWriting(info->lpszOutput, false);
        if (m_hostPath.empty())
            return SP_ERROR; // the path's own error is set
        m_file = std::fopen(m_hostPath.c_str(), "wb");
        m_spooled = false;
    } else {
        std::string pattern = TempDir() + "/print-XXXXXX.pdf";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        int fd = mkstemps(name.data(), 4);
        if (fd >= 0) {
            m_hostPath = name.data();
            m_file = fdopen(fd, "wb");
            if (!m_file)
                ::close(fd);
        }
        m_spooled = true;
    }
    if (!m_file) {
        SetLastError(errno == ENOSPC ? ERROR_DISK_FULL : errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
        if (!m_hostPath.empty() && m_spooled)
            std::remove(m_hostPath.c_str());
        m_hostPath.clear();
        return SP_ERROR;
    }
    m_writeFailed = false;
    m_surface = cairo_pdf_surface_create_for_stream(&PrintJob::Write, this, m_page.widthPoints, m_page.heightPoints);
    if (cairo_surface_status(m_surface) != CAIRO_STATUS_SUCCESS) {
        Abort();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return SP_ERROR;
    }
    if (!m_document.empty())
        cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_TITLE, Utf8From1252(m_document).c_str());
    cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_CREATOR, "Threadwick");

    std::lock_guard<std::mutex> lock(g_spoolMutex);
    return g_nextJobId++;
}

cairo_t* PrintJob::BeginPage()
{
    if (!InDocument() || InPage())
        return nullptr;
    m_page_cr = cairo_create(m_surface);
    // One unit is one printer dot, and device (0, 0) is the printable
    // area's corner; nothing lands outside that area, as on paper.
    cairo_scale(m_page_cr, 72.0 / m_page.dpiX, 72.0 / m_page.dpiY);
    cairo_translate(m_page_cr, m_page.offsetX, m_page.offsetY);
    cairo_rectangle(m_page_cr, 0, 0, m_page.printableWidth, m_page.printableHeight);
    cairo_clip(m_page_cr);
    cairo_set_antialias(m_page_cr, CAIRO_ANTIALIAS_NONE);
    return m_page_cr;
}

int PrintJob::FinishPage(DeviceContext& dc)
{
    if (!InPage()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    cairo_show_page(m_page_cr);
    cairo_destroy(m_page_cr);
    m_page_cr = nullptr;
    dc.vector = nullptr;
    if (Failed()) {
        SetLastError(ERROR_DISK_FULL);
        Abort();
        return SP_OUTOFDISK;
    }
    // The application may cancel the job between pages.
    if (m_abortProc && !m_abortProc(dc.handle, 0)) {
        Abort();
        return SP_APPABORT;
    }
    return 1;
}

int PrintJob::End(DeviceContext& dc)
{
    if (!InDocument()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    if (InPage()) {
        int result = FinishPage(dc);
        if (result <= 0)
            return result;
    }
    cairo_surface_finish(m_surface);
    bool failed = Failed();
    cairo_surface_destroy(m_surface);
    m_surface = nullptr;
    if (std::fflush(m_file) != 0)
        failed = true;
    if (failed) {
        CloseFile(true);
        SetLastError(ERROR_DISK_FULL);
        return SP_OUTOFDISK;
    }
    bool spooled = m_spooled;
    SpooledJob job{m_printer, m_document, m_hostPath};
    CloseFile(false);
    if (spooled) {
        SpoolHandler handler;
        {
            std::lock_guard<std::mutex> lock(g_spoolMutex);
            handler = g_spoolHandler;
        }
        if (handler) {
            SetLastError(ERROR_SUCCESS);
            if (!handler(job)) {
                // A job that went nowhere is not printed, whatever the file.
                if (GetLastError() == ERROR_SUCCESS)
                    SetLastError(ERROR_WRITE_FAULT);
                return SP_ERROR;
            }
        }
    }
    return 1;
}

void PrintJob::Abort()
{
    if (m_page_cr) {
        cairo_destroy(m_page_cr);
        m_page_cr = nullptr;
    }
    // Closing the file first makes the surface's last writes go nowhere.
    CloseFile(true);
    if (m_surface) {
        cairo_surface_finish(m_surface);
        cairo_surface_destroy(m_surface);
        m_surface = nullptr;
    }
}

void PrintJob::CloseFile(bool remove)
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
        if (remove && !m_hostPath.empty())
            std::remove(m_hostPath.c_str());
    }
    m_hostPath.clear();
    m_document.clear();
}

DeviceCaps CapsFromPage(const PrinterPage& page)
{
    DeviceCaps caps;
    caps.technology = DT_RASPRINTER;
    caps.logPixelsX = page.dpiX;
    caps.logPixelsY = page.dpiY;
    caps.horzRes = page.printableWidth;
    caps.vertRes = page.printableHeight;
    caps.horzSizeMm = int((int64_t(page.printableWidth) * 254 / page.dpiX + 5) / 10);
    caps.vertSizeMm = int((int64_t(page.printableHeight) * 254 / page.dpiY + 5) / 10);
    caps.physicalWidth = page.physicalWidth;
    caps.physicalHeight = page.physicalHeight;
    caps.physicalOffsetX = page.offsetX;
    caps.physicalOffsetY = page.offsetY;
    caps.bitsPixel = 24;
    caps.planes = 1;
    // A dot's relative width and height, and its diagonal, for line styles.
    caps.aspectX = page.dpiY;
    caps.aspectY = page.dpiX;
    caps.aspectXY = int(std::lround(std::hypot(double(page.dpiX), double(page.dpiY))));
    return caps;
}

bool IsDisplayName(LPCSTR name)
{
    return name && _stricmp(name, "DISPLAY") == 0;
}

// The DEVMODE a metrics provider is asked with: the caller's, with the
// paper, orientation and resolution the page was settled on marked.
DEVMODE SettledDevMode(const DEVMODE* devMode, const PrinterPage& page, bool landscape)
{
    DEVMODE dm{};
    if (devMode)
        std::memcpy(&dm, devMode, std::min<size_t>(devMode->dmSize, sizeof dm));
    dm.dmSize = sizeof dm;
    dm.dmDriverExtra = 0;
    dm.dmFields |= DM_ORIENTATION | DM_PRINTQUALITY | DM_YRESOLUTION | DM_PAPERWIDTH | DM_PAPERLENGTH;
    dm.dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    dm.dmPrintQuality = SHORT(page.dpiX);
    dm.dmYResolution = SHORT(page.dpiY);
    // The upright sheet in tenths of a millimetre.
    double width = (landscape ? page.heightPoints : page.widthPoints) * 254.0 / 72.0;
    double length = (landscape ? page.widthPoints : page.heightPoints) * 254.0 / 72.0;
    dm.dmPaperWidth = SHORT(std::lround(width));
    dm.dmPaperLength = SHORT(std::lround(length));
    return dm;
}

// Replaces the quarter-inch margins by the printer's own when they fit the
// page.
void ApplyPrinterMargins(PrinterPage& page, const PrinterAreaMetrics& m)
{
    if (m.logPixelsX < kMinDpi || m.logPixelsX > kMaxDpi || m.logPixelsY < kMinDpi || m.logPixelsY > kMaxDpi)
        return;
    auto scale = [](int dots, int from, int to) { return int((int64_t(dots) * to + from / 2) / from); };
    for (int v : {m.physicalOffsetX, m.physicalOffsetY, m.horzRes, m.vertRes, m.physicalWidth, m.physicalHeight})
        if (v < 0)
            return;
    int64_t rightDots = int64_t(m.physicalWidth) - m.physicalOffsetX - m.horzRes;
    int64_t bottomDots = int64_t(m.physicalHeight) - m.physicalOffsetY - m.vertRes;
    if (rightDots < 0 || bottomDots < 0)
        return;
    // A sheet is at most 100 inches, as ours are.
    if (m.physicalWidth > 100 * m.logPixelsX || m.physicalHeight > 100 * m.logPixelsY)
        return;
    int left = scale(m.physicalOffsetX, m.logPixelsX, page.dpiX);
    int top = scale(m.physicalOffsetY, m.logPixelsY, page.dpiY);
    int right = scale(int(rightDots), m.logPixelsX, page.dpiX);
    int bottom = scale(int(bottomDots), m.logPixelsY, page.dpiY);
    int width = page.physicalWidth - left - right;
    int height = page.physicalHeight - top - bottom;
    if (width < page.dpiX / 10 || height < page.dpiY / 10)
        return;
    page.offsetX = left;
    page.offsetY = top;
    page.printableWidth = width;
    page.printableHeight = height;
}

HDC MakePrinterDc(LPCSTR driver, LPCSTR device, const DEVMODE* devMode, DcKind kind)
{
    if (IsDisplayName(driver) || (!(driver && *driver) && IsDisplayName(device)))
        return CreateScreenDc(kind == DcKind::Printer ? DcKind::Screen : DcKind::Info);
    if (!(device && *device) && !(driver && *driver)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    PrinterPage page = PrinterPageFromDevMode(devMode);
    PrinterMetricsProvider provider;
    {
        std::lock_guard<std::mutex> lock(g_spoolMutex);
        provider = g_metricsProvider;
    }
    if (provider && device && *device) {
        bool landscape = devMode
            && Has<short>(*devMode, offsetof(DEVMODE, dmOrientation), DM_ORIENTATION)
            && devMode->dmOrientation == DMORIENT_LANDSCAPE;
        PrinterAreaMetrics metrics;
        if (provider(device, SettledDevMode(devMode, page, landscape), metrics))
            ApplyPrinterMargins(page, metrics);
    }
    auto dc = std::make_unique<DeviceContext>();
    dc->kind = kind;
    dc->caps = CapsFromPage(page);
    if (kind == DcKind::Printer)
        dc->extension = std::make_unique<PrintJob>(device && *device ? device : driver, page);
    return AddDeviceContext(std::move(dc));
}

// The job of a printer DC; nullptr with the last error set otherwise.
PrintJob* JobOf(HDC hdc, DeviceContext** out = nullptr)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return nullptr;
    auto* job = dc->kind == DcKind::Printer ? dynamic_cast<PrintJob*>(dc->extension.get()) : nullptr;
    if (!job) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (out)
        *out = dc;
    return job;
}

} // namespace

PrinterPage PrinterPageFromDevMode(const DEVMODE* devMode)
{
    int width = PaperSizeOf(DMPAPER_LETTER).width;
    int height = PaperSizeOf(DMPAPER_LETTER).length;
    int dpiX = kDefaultDpi;
    int dpiY = 0;
    bool landscape = false;
    if (devMode) {
        const DEVMODE& dm = *devMode;
        if (Has<short>(dm, offsetof(DEVMODE, dmPaperSize), DM_PAPERSIZE)) {
            if (const PaperSize paper = PaperSizeOf(dm.dmPaperSize); paper.code != 0) {
                width = paper.width;
                height = paper.length;
            }
        }
        // Explicit dimensions win over the paper code, as drivers take them.
        if (Has<short>(dm, offsetof(DEVMODE, dmPaperWidth), DM_PAPERWIDTH) && dm.dmPaperWidth > 0)
            width = dm.dmPaperWidth * 100;
        if (Has<short>(dm, offsetof(DEVMODE, dmPaperLength), DM_PAPERLENGTH) && dm.dmPaperLength > 0)
            height = dm.dmPaperLength * 100;
        if (Has<short>(dm, offsetof(DEVMODE, dmOrientation), DM_ORIENTATION))
            landscape = dm.dmOrientation == DMORIENT_LANDSCAPE;
        if (Has<short>(dm, offsetof(DEVMODE, dmPrintQuality), DM_PRINTQUALITY))
            dpiX = ResolutionFromQuality(dm.dmPrintQuality);
        if (Has<short>(dm, offsetof(DEVMODE, dmYResolution), DM_YRESOLUTION) && dm.dmYResolution > 0)
            dpiY = dm.dmYResolution;
    }
    if (dpiY == 0)
        dpiY = dpiX;
    dpiX = std::clamp(dpiX, kMinDpi, kMaxDpi);
    dpiY = std::clamp(dpiY, kMinDpi, kMaxDpi);
    width = std::clamp(width, kMinSheetMicrons, kMaxSheetMicrons);
    height = std::clamp(height, kMinSheetMicrons, kMaxSheetMicrons);
    if (landscape)
        std::swap(width, height);

    PrinterPage page;
    page.dpiX = dpiX;
    page.dpiY = dpiY;
    page.physicalWidth = Dots(width, dpiX);
    page.physicalHeight = Dots(height, dpiY);
    page.offsetX = dpiX / 4;
    page.offsetY = dpiY / 4;
    page.printableWidth = page.physicalWidth - 2 * page.offsetX;
    page.printableHeight = page.physicalHeight - 2 * page.offsetY;
    page.widthPoints = width * 72.0 / kMicronsPerInch;
    page.heightPoints = height * 72.0 / kMicronsPerInch;
    return page;
}

void SetPrinterMetricsProvider(PrinterMetricsProvider provider)
{
    std::lock_guard<std::mutex> lock(g_spoolMutex);
    g_metricsProvider = std::move(provider);
}

void SetSpoolHandler(SpoolHandler handler)
{
    std::lock_guard<std::mutex> lock(g_spoolMutex);
    g_spoolHandler = std::move(handler);
}

} // namespace platform

using namespace platform;

HDC CreateDC(LPCSTR lpszDriver, LPCSTR lpszDevice, LPCSTR /*lpszOutput*/, const DEVMODE* lpInitData)
{
    return MakePrinterDc(lpszDriver, lpszDevice, lpInitData, DcKind::Printer);
}

HDC CreateIC(LPCSTR lpszDriver, LPCSTR lpszDevice, LPCSTR /*lpszOutput*/, const DEVMODE* lpInitData)
{
    return MakePrinterDc(lpszDriver, lpszDevice, lpInitData, DcKind::Info);
}

HDC AFXAPI AfxCreateDC(HGLOBAL hDevNames, HGLOBAL hDevMode)
{
    if (!hDevNames)
        return NULL;
    SIZE_T namesSize = GlobalSize(hDevNames);
    auto* names = static_cast<const char*>(GlobalLock(hDevNames));
    if (!names)
        return NULL;
    // The offsets count characters from the block's start; each string must
    // end inside the block.
    auto field = [&](WORD offset) -> LPCSTR {
        if (offset < sizeof(DEVNAMES) || offset >= namesSize)
            return nullptr;
        if (!std::memchr(names + offset, '\0', namesSize - offset))
            return nullptr;
        return names + offset;
    };
    DEVNAMES header;
    HDC hdc = NULL;
    if (namesSize >= sizeof(DEVNAMES)) {
        std::memcpy(&header, names, sizeof header);
        LPCSTR driver = field(header.wDriverOffset);
        LPCSTR device = field(header.wDeviceOffset);
        LPCSTR output = field(header.wOutputOffset);
        const DEVMODE* devMode = nullptr;
        DEVMODE copy;
        if (hDevMode) {
            SIZE_T modeSize = GlobalSize(hDevMode);
            const void* mode = GlobalLock(hDevMode);
            if (mode && modeSize >= offsetof(DEVMODE, dmFields) + sizeof(DWORD)) {
                std::memset(&copy, 0, sizeof copy);
                std::memcpy(&copy, mode, std::min<SIZE_T>(modeSize, sizeof copy));
                copy.dmSize = WORD(std::min<SIZE_T>({copy.dmSize, modeSize, sizeof copy}));
                devMode = &copy;
            }
            if (mode)
                GlobalUnlock(hDevMode);
        }
        if (device || driver)
            hdc = ::CreateDC(driver, device, output, devMode);
        else
            SetLastError(ERROR_INVALID_PARAMETER);
    }
    GlobalUnlock(hDevNames);
    return hdc;
}

int StartDoc(HDC hdc, const DOCINFO* lpdi)
{
    PrintJob* job = JobOf(hdc);
    return job ? job->Start(lpdi) : SP_ERROR;
}

int StartPage(HDC hdc)
{
    DeviceContext* dc = nullptr;
    PrintJob* job = JobOf(hdc, &dc);
    if (!job)
        return SP_ERROR;
    cairo_t* cr = job->BeginPage();
    if (!cr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    dc->vector = cr;
    return 1;
}

int EndPage(HDC hdc)
{
    DeviceContext* dc = nullptr;
    PrintJob* job = JobOf(hdc, &dc);
    return job ? job->FinishPage(*dc) : SP_ERROR;
}

int EndDoc(HDC hdc)
{
    DeviceContext* dc = nullptr;
    PrintJob* job = JobOf(hdc, &dc);
    if (!job)
        return SP_ERROR;
    int result = job->End(*dc);
    dc->vector = nullptr;
    return result;
}

int AbortDoc(HDC hdc)
{
    DeviceContext* dc = nullptr;
    PrintJob* job = JobOf(hdc, &dc);
    if (!job)
        return SP_ERROR;
    if (!job->InDocument()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    job->Abort();
    dc->vector = nullptr;
    return 1;
}

int SetAbortProc(HDC hdc, ABORTPROC proc)
{
    PrintJob* job = JobOf(hdc);
    if (!job)
        return SP_ERROR;
    job->SetAbortProc(proc);
    return 1;
}

int CDC::StartDoc(LPCTSTR lpszDocName)
{
    DOCINFO di{};
    di.cbSize = sizeof di;
    di.lpszDocName = lpszDocName;
    return ::StartDoc(m_hDC, &di);
}
