#pragma once
// What becomes of a finished print job. A printer DC spools its document to
// a temporary PDF file and hands it over at EndDoc (platform/gdi's spool
// handler); HandleSpooledJob then
// - submits it to the print system queue of a print-system printer, titled
//   with the document's name,
// - or copies it into the file the PDF-file chooser names for the PDF-file
//   printer,
// and removes the temporary file in every case. A file that is not a
// complete PDF (an aborted or damaged job) is never submitted.
//
// Every job ends in a result: the observer is called with it and the last
// one is kept for a print loop that asks after EndDoc. A failure also sets
// the thread's last error.

#include "platform/base/Types.h"

#include <functional>
#include <string>

namespace platform {

struct SpooledJob;

enum class PrintJobOutcome {
    Submitted, // queued on the print system (jobId)
    Written,   // the PDF-file printer's file is in place (outputPath)
    Failed,    // nothing was printed (error, detail)
};

struct PrintJobResult {
    std::string printer;  // device name (1252)
    std::string document; // 1252
    PrintJobOutcome outcome = PrintJobOutcome::Failed;
    DWORD error = ERROR_SUCCESS; // a Win32 error when Failed
    int jobId = 0;
    std::string outputPath; // host path of a written file
    std::string detail;     // the print system's message, UTF-8
};

// True when the job was submitted or written; false (the last error set)
// when it failed, which makes the printer DC's EndDoc fail.
bool HandleSpooledJob(const SpooledJob& job);

// Called with every job's result, on the thread that ended the document.
// An empty function removes the observer.
void SetPrintJobObserver(std::function<void(const PrintJobResult&)> observer);
// The result of the last job handled; Failed with ERROR_SUCCESS before any.
PrintJobResult LastPrintJobResult();

// Asks where a PDF-file printer job goes: given the document name (1252),
// answers a Windows-form path, or an empty string when the user cancels.
// Without a chooser such jobs fail with ERROR_CANCELLED.
using PdfFileChooser = std::function<std::string(const std::string& document)>;
void SetPdfFileChooser(PdfFileChooser chooser);

// One submission to the print system. Texts are UTF-8.
struct PrintSubmission {
    std::string destination;
    std::string instance;
    std::string hostPath;
    std::string title;
};
struct SubmitResult {
    int jobId = 0;      // 0 when refused
    std::string detail; // why it was refused
};
// The print system's submission (PrinterCups.cpp).
SubmitResult SubmitToPrintSystem(const PrintSubmission& submission);

// Tests: where submissions go instead of the print system. An empty
// function restores the print system.
using PrintSubmitter = std::function<SubmitResult(const PrintSubmission&)>;
void SetPrintSubmitterForTests(PrintSubmitter submitter);

} // namespace platform
