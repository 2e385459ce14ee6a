#pragma once
// The class library's exceptions. They are thrown as heap pointers and
// caught by pointer; whoever catches one and does not rethrow it calls
// Delete():
//
//     try { file.Write(p, n); }
//     catch (CFileException* e) { e->ReportError(); e->Delete(); }
//
// The TRY/CATCH macros below do that deletion themselves at END_CATCH, as
// the class library's macros do, unless THROW_LAST rethrows.

#include "platform/base/Object.h"
#include "platform/base/String.h"

#include <functional>

class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    // bAutoDelete: TRUE for an exception on the heap (every thrown one);
    // FALSE for one on the stack or static, which Delete() then leaves alone.
    explicit CException(BOOL bAutoDelete = TRUE);

    void Delete();

    // The message into lpszError (cut to nMaxError - 1 characters and
    // terminated); FALSE when this exception has no text.
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL);
    // Shows the message (or string nMessageID when there is none) through the
    // installed error reporter; nType is the message-box style (0 is MB_OK).
    // Returns what the reporter returns.
    virtual int ReportError(UINT nType = 0, UINT nMessageID = 0);

    BOOL m_bAutoDelete;
};

class CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    CMemoryException();
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) override;
};

class CNotSupportedException : public CException {
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    CNotSupportedException();
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) override;
};

// Raised by the collections for an index or position outside the collection,
// instead of touching memory that is not theirs.
class CInvalidArgException : public CException {
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    CInvalidArgException();
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) override;
};

class CResourceException : public CException {
    DECLARE_DYNAMIC(CResourceException)
public:
    CResourceException();
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) override;
};

// Thrown after the user has already been told (or chose to stop): it carries
// no message of its own.
class CUserException : public CException {
    DECLARE_DYNAMIC(CUserException)
public:
    CUserException();
};

class COleException : public CException {
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(SCODE sc = E_FAIL);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) override;

    SCODE m_sc;
};

class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none = 0,
        generic = 1,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    // m_lOsError holds the errno behind the failure for the file classes,
    // the HRESULT for storage failures, -1 when there is none.
    explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszArchiveName = NULL);

    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) override;

    // The cause for a Win32 error code (ERROR_FILE_NOT_FOUND, ...).
    static int OsErrorToException(LONG lOsError);
    // The cause for an errno value.
    static int ErrnoToException(int nErrno);
    // The cause for a storage HRESULT (STG_E_FILENOTFOUND, ...).
    static int StorageErrorToException(SCODE sc);
    [[noreturn]] static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = NULL);
    [[noreturn]] static void ThrowErrno(int nErrno, LPCTSTR lpszFileName = NULL);
    [[noreturn]] static void ThrowStorageError(SCODE sc, LPCTSTR lpszFileName = NULL);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CArchiveException : public CException {
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum {
        none = 0,
        generic = 1,
        genericException = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
    };

    explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = NULL);

    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowOleException(SCODE sc);
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = NULL);
[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = NULL);

namespace platform {

// Shows an exception's message for CException::ReportError: (text, message
// box style) → the button pressed (IDOK is 1). The window system installs a
// real message box; until then the text goes to stderr and 1 is returned.
// An empty function restores that default.
using ErrorReporter = std::function<int(const CString& text, UINT nType)>;
void SetErrorReporter(ErrorReporter reporter);

// The sentence for a CFileException cause, the one GetErrorMessage gives;
// causes outside the list read "An unknown error occurred."
LPCSTR FileCauseText(int cause);

// Keeps the exception caught by one TRY block and deletes it when the block
// is left, unless it was rethrown.
class CaughtException {
public:
    CaughtException() = default;
    CaughtException(const CaughtException&) = delete;
    CaughtException& operator=(const CaughtException&) = delete;
    ~CaughtException()
    {
        if (m_pException != nullptr)
            m_pException->Delete();
    }
    void Catch(CException* e) { m_pException = e; }
    void Rethrowing() { m_pException = nullptr; }

private:
    CException* m_pException = nullptr;
};

} // namespace platform

#define TRY                                  \
    {                                        \
        platform::CaughtException twCaught_; \
        try {
#define CATCH(class_name, e)     \
    }                            \
    catch (class_name * e)       \
    {                            \
        twCaught_.Catch(e);
#define AND_CATCH(class_name, e) CATCH(class_name, e)
#define END_CATCH \
    }             \
    }
#define CATCH_ALL(e) CATCH(CException, e)
#define AND_CATCH_ALL(e) CATCH(CException, e)
#define END_CATCH_ALL END_CATCH
#define THROW(e) throw e
#define THROW_LAST()              \
    do {                          \
        twCaught_.Rethrowing();   \
        throw;                    \
    } while (0)
