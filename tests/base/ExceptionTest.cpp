#include "platform/base/Exception.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

int g_deleted = 0;

class CCountedException : public CException {
public:
    ~CCountedException() override { ++g_deleted; }
};

std::string MessageOf(CException& e)
{
    char text[256];
    e.GetErrorMessage(text, sizeof text);
    return text;
}

} // namespace

TEST(Exception, FileMessagesFollowTheCause)
{
    const char* const expected[] = {
        "No error occurred.",
        "An unspecified error occurred.",
        "The file could not be located.",
        "All or part of the path is invalid.",
        "The permitted number of open files was exceeded.",
        "The file could not be accessed.",
        "There was an attempt to use an invalid file handle.",
        "The current working directory cannot be removed.",
        "There are no more directory entries.",
        "There was an error trying to set the file pointer.",
        "There was a hardware error.",
        "SHARE.EXE was not loaded, or a shared region was locked.",
        "There was an attempt to lock a region that was already locked.",
        "The disk is full.",
        "The end of file was reached.",
    };
    for (int cause = 0; cause <= CFileException::endOfFile; ++cause) {
        CFileException e(cause);
        EXPECT_EQ(MessageOf(e), expected[cause]) << cause;
    }
    CFileException unknown(15);
    EXPECT_EQ(MessageOf(unknown), "An unknown error occurred.");
    CFileException negative(-3);
    EXPECT_EQ(MessageOf(negative), "An unknown error occurred.");
}

TEST(Exception, MessagesAreCutToTheCallersBuffer)
{
    CFileException e(CFileException::diskFull);
    char small[5] = "####";
    UINT help = 99;
    EXPECT_TRUE(e.GetErrorMessage(small, sizeof small, &help));
    EXPECT_STREQ(small, "The ");
    EXPECT_EQ(help, 0u);
    CUserException user;
    EXPECT_FALSE(user.GetErrorMessage(small, sizeof small)) << "a user exception has no text";
    EXPECT_STREQ(small, "");
}

TEST(Exception, FileCausesComeFromErrnoWin32AndStorageCodes)
{
    struct Case {
        LONG code;
        int cause;
    };
    for (const Case& c : {Case{ENOENT, CFileException::fileNotFound}, Case{EACCES, CFileException::accessDenied},
             Case{ENOSPC, CFileException::diskFull}, Case{EINVAL, CFileException::generic}})
        EXPECT_EQ(CFileException::ErrnoToException(c.code), c.cause) << c.code;
    for (const Case& c : {Case{ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
             Case{ERROR_PATH_NOT_FOUND, CFileException::badPath},
             Case{ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
             Case{ERROR_DISK_FULL, CFileException::diskFull}, Case{ERROR_HANDLE_EOF, CFileException::endOfFile},
             Case{ERROR_NOT_SUPPORTED, CFileException::generic}})
        EXPECT_EQ(CFileException::OsErrorToException(c.code), c.cause) << c.code;
    for (const Case& c : {Case{LONG(0x80030002), CFileException::fileNotFound},
             Case{LONG(0x80030003), CFileException::badPath}, Case{LONG(0x80030004), CFileException::tooManyOpenFiles},
             Case{LONG(0x80030005), CFileException::accessDenied}, Case{LONG(0x80030006), CFileException::invalidFile},
             Case{LONG(0x80030019), CFileException::badSeek}, Case{LONG(0x8003001D), CFileException::hardIO},
             Case{LONG(0x8003001E), CFileException::hardIO}, Case{LONG(0x80030020), CFileException::sharingViolation},
             Case{LONG(0x80030021), CFileException::lockViolation}, Case{LONG(0x80030070), CFileException::diskFull},
             Case{E_FAIL, CFileException::generic}})
        EXPECT_EQ(CFileException::StorageErrorToException(c.code), c.cause) << std::hex << c.code;

    try {
        CFileException::ThrowStorageError(LONG(0x80030020), "C:\\a.shr");
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::sharingViolation);
        EXPECT_EQ(e->m_lOsError, LONG(0x80030020));
        EXPECT_TRUE(e->m_strFileName == "C:\\a.shr");
        e->Delete();
    }
}

TEST(Exception, ThrowHelpersRaiseTheirClass)
{
    auto classOf = [](auto raise) -> CRuntimeClass* {
        try {
            raise();
        } catch (CException* e) {
            CRuntimeClass* cls = e->GetRuntimeClass();
            e->Delete();
            return cls;
        }
        return nullptr;
    };
    EXPECT_EQ(classOf([] { AfxThrowMemoryException(); }), RUNTIME_CLASS(CMemoryException));
    EXPECT_EQ(classOf([] { AfxThrowUserException(); }), RUNTIME_CLASS(CUserException));
    EXPECT_EQ(classOf([] { AfxThrowResourceException(); }), RUNTIME_CLASS(CResourceException));
    EXPECT_EQ(classOf([] { AfxThrowNotSupportedException(); }), RUNTIME_CLASS(CNotSupportedException));
    EXPECT_EQ(classOf([] { AfxThrowOleException(E_NOINTERFACE); }), RUNTIME_CLASS(COleException));
    EXPECT_EQ(classOf([] { AfxThrowFileException(CFileException::badPath, 2, "x"); }), RUNTIME_CLASS(CFileException));
    EXPECT_EQ(classOf([] { AfxThrowArchiveException(CArchiveException::badSchema, "y"); }),
        RUNTIME_CLASS(CArchiveException));
    EXPECT_TRUE(RUNTIME_CLASS(CArchiveException)->IsDerivedFrom(RUNTIME_CLASS(CException)));
}

TEST(Exception, ReportErrorGoesToTheInstalledReporter)
{
    CString shown;
    UINT style = 99;
    platform::SetErrorReporter([&](const CString& text, UINT nType) {
        shown = text;
        style = nType;
        return 2;
    });
    CFileException e(CFileException::accessDenied);
    EXPECT_EQ(e.ReportError(0x30), 2);
    EXPECT_TRUE(shown == "The file could not be accessed.");
    EXPECT_EQ(style, 0x30u);

    CUserException user;
    user.ReportError();
    EXPECT_TRUE(shown == "No error message is available.");
    platform::SetErrorReporter(nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(e.ReportError(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "The file could not be accessed.\n");
}

TEST(Exception, DeleteFreesOnlyHeapExceptions)
{
    g_deleted = 0;
    CCountedException* heap = new CCountedException;
    heap->Delete();
    EXPECT_EQ(g_deleted, 1);
    {
        CCountedException onStack;
        onStack.m_bAutoDelete = FALSE;
        onStack.Delete();
        EXPECT_EQ(g_deleted, 1);
    }
    EXPECT_EQ(g_deleted, 2);
}

TEST(Exception, CatchMacrosDeleteUnlessRethrown)
{
    g_deleted = 0;
    int caught = 0;
    TRY
    {
        throw new CCountedException;
    }
    CATCH(CFileException, e)
    {
        (void)e;
        ADD_FAILURE() << "wrong handler";
    }
    AND_CATCH(CException, e)
    {
        (void)e;
        ++caught;
    }
    END_CATCH
    EXPECT_EQ(caught, 1);
    EXPECT_EQ(g_deleted, 1);

    try {
        TRY
        {
            throw new CCountedException;
        }
        CATCH_ALL(e)
        {
            (void)e;
            THROW_LAST();
        }
        END_CATCH_ALL
    } catch (CException* e) {
        EXPECT_EQ(g_deleted, 1) << "rethrown, so still alive";
        e->Delete();
    }
    EXPECT_EQ(g_deleted, 2);
}
