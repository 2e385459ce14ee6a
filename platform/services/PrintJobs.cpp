// Finished print jobs: checked, then submitted to the print system or moved
// to the PDF-file printer's file, and their outcome reported.

#include "platform/services/PrintJobs.h"

#include "platform/base/CodePage.h"
#include "platform/files/HostPath.h"
#include "platform/gdi/PrinterDc.h"
#include "platform/services/Printers.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// A finished PDF ends with its end-of-file marker within its last bytes.
constexpr long kTailBytes = 1024;

std::mutex g_mutex;
std::function<void(const PrintJobResult&)> g_observer;
PrintJobResult g_last;
PdfFileChooser g_chooser;
PrintSubmitter g_submitter;

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case ENOSPC:
        return ERROR_DISK_FULL;
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOENT:
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    default:
        return ERROR_WRITE_FAULT;
    }
}

// Whether the file is a whole PDF: its header, and the end-of-file marker
// a document that was cut short (aborted, disk full) lacks.
bool IsCompletePdf(const std::string& hostPath, DWORD& error)
{
    std::FILE* file = std::fopen(hostPath.c_str(), "rb");
    if (!file) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    char head[5] = {};
    bool ok = std::fread(head, 1, sizeof head, file) == sizeof head && std::memcmp(head, "%PDF-", 5) == 0;
    if (ok && std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        long start = size > kTailBytes ? size - kTailBytes : 0;
        std::vector<char> tail(size_t(size - start));
        ok = size > 0 && std::fseek(file, start, SEEK_SET) == 0
            && std::fread(tail.data(), 1, tail.size(), file) == tail.size()
            && std::string_view(tail.data(), tail.size()).find("%%EOF") != std::string_view::npos;
    } else {
        ok = false;
    }
    std::fclose(file);
    if (!ok)
        error = ERROR_PRINT_CANCELLED;
    return ok;
}

// Copies the spooled file to the chosen one, which thereby gets the
// permissions any new file of the user gets (the spool file is private) or
// keeps its own; a partial copy is removed.
bool CopyInto(const std::string& from, const std::string& to, DWORD& error)
{
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) {
        error = ErrorFromErrno(errno);
        return false;
    }
    std::FILE* out = std::fopen(to.c_str(), "wb");
    if (!out) {
        error = ErrorFromErrno(errno);
        std::fclose(in);
        return false;
    }
    bool ok = true;
    int failure = 0;
    std::vector<char> buffer(65536);
    for (;;) {
        size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
        if (n > 0 && std::fwrite(buffer.data(), 1, n, out) != n) {
            failure = errno;
            ok = false;
            break;
        }
        if (n < buffer.size()) {
            if (std::ferror(in)) {
                failure = errno;
                ok = false;
            }
            break;
        }
    }
    std::fclose(in);
    if (std::fclose(out) != 0 && ok) {
        failure = errno;
        ok = false;
    }
    if (!ok) {
        std::remove(to.c_str());
        error = ErrorFromErrno(failure);
    }
    return ok;
}

void Report(PrintJobResult result)
{
    std::function<void(const PrintJobResult&)> observer;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_last = result;
        observer = g_observer;
    }
    if (observer)
        observer(result);
    // Set last, so that nothing the observer does hides the job's error.
    if (result.outcome == PrintJobOutcome::Failed)
        SetLastError(result.error);
}

void WritePdfFile(const SpooledJob& job, PrintJobResult& result)
{
    PdfFileChooser chooser;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        chooser = g_chooser;
    }
    std::string path = chooser ? chooser(job.document) : std::string();
    if (path.empty()) {
        result.error = ERROR_CANCELLED;
        return;
    }
    std::string hostPath = HostPathForWriting(path, false);
    if (hostPath.empty()) {
        result.error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_PATH_NOT_FOUND;
        return;
    }
    if (!CopyInto(job.hostPath, hostPath, result.error))
        return;
    result.outcome = PrintJobOutcome::Written;
    result.outputPath = hostPath;
}

void Submit(const SpooledJob& job, const PrinterInfo& printer, PrintJobResult& result)
{
    PrintSubmitter submitter;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        submitter = g_submitter;
    }
    PrintSubmission submission;
    submission.destination = printer.destination;
    submission.instance = printer.instance;
    submission.hostPath = job.hostPath;
    submission.title = job.document.empty() ? "Untitled" : Utf8From1252(job.document);
    SubmitResult submitted = submitter ? submitter(submission) : SubmitToPrintSystem(submission);
    if (submitted.jobId <= 0) {
        result.error = ERROR_NOT_READY;
        result.detail = submitted.detail;
        return;
    }
    result.outcome = PrintJobOutcome::Submitted;
    result.jobId = submitted.jobId;
}

} // namespace

bool HandleSpooledJob(const SpooledJob& job)
{
    PrintJobResult result;
    result.printer = job.printer;
    result.document = job.document;
    result.outcome = PrintJobOutcome::Failed;
    if (IsCompletePdf(job.hostPath, result.error)) {
        if (job.printer == kPdfFilePrinterName) {
            WritePdfFile(job, result);
        } else if (std::optional<PrinterInfo> printer = FindPrinter(job.printer, PrinterQuery::Names);
                   printer && printer->kind == PrinterKind::PrintSystem) {
            Submit(job, *printer, result);
        } else {
            result.error = ERROR_INVALID_PRINTER_NAME;
        }
    }
    // Whatever happened, the spooled file is ours to remove: the print
    // system and the chosen file have their own copies.
    std::remove(job.hostPath.c_str());
    bool delivered = result.outcome != PrintJobOutcome::Failed;
    Report(std::move(result));
    return delivered;
}

void SetPrintJobObserver(std::function<void(const PrintJobResult&)> observer)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_observer = std::move(observer);
}

PrintJobResult LastPrintJobResult()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_last;
}

void SetPdfFileChooser(PdfFileChooser chooser)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_chooser = std::move(chooser);
}

void SetPrintSubmitterForTests(PrintSubmitter submitter)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_submitter = std::move(submitter);
}

} // namespace platform
