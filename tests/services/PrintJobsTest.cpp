#include "platform/services/PrintJobs.h"

#include "platform/files/HostPath.h"
#include "platform/gdi/PrinterDc.h"
#include "platform/services/Printers.h"

#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

const std::string kPdf = "%PDF-1.5\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n";

bool Exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

// A print-system printer "office" (and its instance "office/draft"), a
// submitter and a chooser that record what they are given, and an observer.
class PrintJobs : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeTempDir("printjobs");
        SetPrinterSourceForTests([](PrinterQuery) {
            PrinterDestination office;
            office.name = "office";
            PrinterDestination draft = office;
            draft.instance = "draft";
            return std::vector<PrinterDestination>{office, draft};
        });
        SetPrintSubmitterForTests([this](const PrintSubmission& s) {
            submissions.push_back(s);
            submittedBytes = ReadFileBytes(s.hostPath);
            return answer;
        });
        SetPrintJobObserver([this](const PrintJobResult& r) { observed.push_back(r); });
    }
    void TearDown() override
    {
        SetPrinterSourceForTests(nullptr);
        SetPrintSubmitterForTests(nullptr);
        SetPrintJobObserver(nullptr);
        SetPdfFileChooser(nullptr);
    }

    SpooledJob Spool(const std::string& printer, const std::string& document, const std::string& bytes = kPdf)
    {
        std::string path = folder + "/spool-" + std::to_string(++spooled) + ".pdf";
        WriteFileBytes(path, bytes);
        return SpooledJob{printer, document, path};
    }

    // Handles the job and checks what every job must end with: its spool
    // file gone, one result reported, and the same result kept.
    PrintJobResult Handle(const SpooledJob& job)
    {
        observed.clear();
        bool delivered = HandleSpooledJob(job);
        EXPECT_FALSE(Exists(job.hostPath));
        EXPECT_EQ(observed.size(), 1u);
        PrintJobResult last = LastPrintJobResult();
        // The printer DC fails EndDoc on exactly the jobs that failed.
        EXPECT_EQ(delivered, last.outcome != PrintJobOutcome::Failed);
        EXPECT_EQ(last.printer, job.printer);
        EXPECT_EQ(last.document, job.document);
        if (!observed.empty()) {
            EXPECT_EQ(observed[0].outcome, last.outcome);
        }
        return last;
    }

    std::string folder;
    int spooled = 0;
    std::vector<PrintSubmission> submissions;
    std::string submittedBytes;
    SubmitResult answer{42, ""};
    std::vector<PrintJobResult> observed;
};

} // namespace

TEST_F(PrintJobs, PdfFilePrinterJobLandsInTheChosenFile)
{
    std::string target = folder + "/out.pdf";
    std::string askedFor;
    SetPdfFileChooser([&](const std::string& document) {
        askedFor = document;
        return WindowsPathFor(target);
    });
    PrintJobResult r = Handle(Spool("PDF File", "Caf\xE9 card"));
    EXPECT_EQ(r.outcome, PrintJobOutcome::Written);
    EXPECT_EQ(r.outputPath, target);
    EXPECT_EQ(askedFor, "Caf\xE9 card");
    EXPECT_EQ(ReadFileBytes(target), kPdf);
    EXPECT_TRUE(submissions.empty());
    // The spool file is private; the user's file is like any other.
    mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    // An existing file the user chose is replaced.
    WriteFileBytes(target, "old");
    EXPECT_EQ(Handle(Spool("PDF File", "again")).outcome, PrintJobOutcome::Written);
    EXPECT_EQ(ReadFileBytes(target), kPdf);
}

TEST_F(PrintJobs, PdfFileJobWithoutAFileFails)
{
    // No chooser, a cancelled choice and an unwritable place all end the
    // job with an error the print loop can read.
    PrintJobResult r = Handle(Spool("PDF File", "doc"));
    EXPECT_EQ(r.outcome, PrintJobOutcome::Failed);
    EXPECT_EQ(r.error, DWORD(ERROR_CANCELLED));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANCELLED));

    SetPdfFileChooser([](const std::string&) { return std::string(); });
    EXPECT_EQ(Handle(Spool("PDF File", "doc")).error, DWORD(ERROR_CANCELLED));

    std::string target = folder + "/missing-folder/out.pdf";
    SetPdfFileChooser([&](const std::string&) { return WindowsPathFor(target); });
    r = Handle(Spool("PDF File", "doc"));
    EXPECT_EQ(r.outcome, PrintJobOutcome::Failed);
    EXPECT_EQ(r.error, DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(Exists(target));
}

TEST_F(PrintJobs, PrintSystemJobIsSubmittedWithTheDocumentAsTitle)
{
    PrintJobResult r = Handle(Spool("office", "Caf\xE9 card"));
    ASSERT_EQ(submissions.size(), 1u);
    EXPECT_EQ(submissions[0].destination, "office");
    EXPECT_EQ(submissions[0].instance, "");
    EXPECT_EQ(submissions[0].title, "Caf\xC3\xA9 card");
    EXPECT_EQ(submittedBytes, kPdf); // the file was whole while submitted
    EXPECT_EQ(r.outcome, PrintJobOutcome::Submitted);
    EXPECT_EQ(r.jobId, 42);

    Handle(Spool("office/draft", ""));
    ASSERT_EQ(submissions.size(), 2u);
    EXPECT_EQ(submissions[1].destination, "office");
    EXPECT_EQ(submissions[1].instance, "draft");
    EXPECT_EQ(submissions[1].title, "Untitled");
}

TEST_F(PrintJobs, RefusedSubmissionIsReported)
{
    answer = SubmitResult{0, "Printer is stopped."};
    PrintJobResult r = Handle(Spool("office", "doc"));
    EXPECT_EQ(submissions.size(), 1u);
    EXPECT_EQ(r.outcome, PrintJobOutcome::Failed);
    EXPECT_EQ(r.error, DWORD(ERROR_NOT_READY));
    EXPECT_EQ(r.detail, "Printer is stopped.");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_READY));
}

TEST_F(PrintJobs, IncompleteDocumentsAreNeverSubmitted)
{
    // An aborted job leaves no file, or one cut short before its end.
    SpooledJob gone = Spool("office", "aborted");
    ::unlink(gone.hostPath.c_str());
    PrintJobResult r = Handle(gone);
    EXPECT_EQ(r.outcome, PrintJobOutcome::Failed);
    EXPECT_EQ(r.error, DWORD(ERROR_FILE_NOT_FOUND));

    std::string cut = kPdf.substr(0, kPdf.size() - 7);
    for (const std::string& bytes : {cut, std::string(), std::string("%PDF"), std::string("not a pdf %%EOF")}) {
        r = Handle(Spool("office", "short", bytes));
        EXPECT_EQ(r.outcome, PrintJobOutcome::Failed);
        EXPECT_EQ(r.error, DWORD(ERROR_PRINT_CANCELLED));
    }
    bool chooserAsked = false;
    SetPdfFileChooser([&](const std::string&) {
        chooserAsked = true;
        return WindowsPathFor(folder + "/never.pdf");
    });
    EXPECT_EQ(Handle(Spool("PDF File", "short", cut)).error, DWORD(ERROR_PRINT_CANCELLED));
    EXPECT_FALSE(chooserAsked);
    EXPECT_TRUE(submissions.empty());

    // The end marker may sit some way before the end.
    EXPECT_EQ(Handle(Spool("office", "padded", kPdf + std::string(300, '\n'))).outcome, PrintJobOutcome::Submitted);
}

TEST_F(PrintJobs, JobForAPrinterThatIsGoneFails)
{
    PrintJobResult r = Handle(Spool("vanished", "doc"));
    EXPECT_EQ(r.outcome, PrintJobOutcome::Failed);
    EXPECT_EQ(r.error, DWORD(ERROR_INVALID_PRINTER_NAME));
    EXPECT_TRUE(submissions.empty());
}
