#include "platform/base/Exception.h"

#include "platform/base/HostFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(COleException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {

platform::ErrorReporter& Reporter()
{
    static platform::ErrorReporter reporter;
    return reporter;
}

BOOL CopyMessage(LPCSTR text, LPTSTR lpszError, UINT nMaxError)
{
    if (lpszError == nullptr || nMaxError == 0)
        return TRUE;
    const size_t n = std::min<size_t>(std::strlen(text), nMaxError - 1);
    std::memcpy(lpszError, text, n);
    lpszError[n] = '\0';
    return TRUE;
}

BOOL NoMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    if (lpszError != nullptr && nMaxError > 0)
        lpszError[0] = '\0';
    return FALSE;
}

BOOL Message(LPCSTR text, LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    return CopyMessage(text, lpszError, nMaxError);
}

constexpr LPCSTR kFileMessages[] = {
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

constexpr LPCSTR kArchiveMessages[] = {
    "No error occurred.",
    "An unexpected error occurred while reading or writing the file.",
    "An attempt was made to write to a file that is being read.",
    "An unexpected end of file was reached while reading.",
    "An attempt was made to read from a file that is being written.",
    "The file holds an invalid object reference.",
    "The file holds an object of an unexpected type.",
    "The file holds an object of an unsupported version.",
};

} // namespace

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete)
{
}

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    return NoMessage(lpszError, nMaxError, pnHelpContext);
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char szMessage[512];
    CString text;
    if (GetErrorMessage(szMessage, sizeof szMessage))
        text = szMessage;
    else if (nMessageID == 0 || !text.LoadString(nMessageID))
        text = "No error message is available.";

    const platform::ErrorReporter& reporter = Reporter();
    if (reporter)
        return reporter(text, nType);
    std::fprintf(stderr, "%s\n", static_cast<LPCTSTR>(text));
    return 1; // IDOK
}

CMemoryException::CMemoryException() = default;

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    return Message("Out of memory.", lpszError, nMaxError, pnHelpContext);
}

CNotSupportedException::CNotSupportedException() = default;

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    return Message("An unsupported operation was attempted.", lpszError, nMaxError, pnHelpContext);
}

CInvalidArgException::CInvalidArgException() = default;

BOOL CInvalidArgException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    return Message("An invalid argument was encountered.", lpszError, nMaxError, pnHelpContext);
}

CResourceException::CResourceException() = default;

BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    return Message("A required resource was unavailable.", lpszError, nMaxError, pnHelpContext);
}

CUserException::CUserException() = default;

COleException::COleException(SCODE sc) : m_sc(sc)
{
}

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    CString text;
    text.Format("An OLE error 0x%08lX occurred.", static_cast<unsigned long>(static_cast<DWORD>(m_sc)));
    return Message(text, lpszError, nMaxError, pnHelpContext);
}

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName != nullptr ? lpszArchiveName : "")
{
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    return Message(platform::FileCauseText(m_cause), lpszError, nMaxError, pnHelpContext);
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_NO_MORE_FILES:
        return directoryFull;
    case ERROR_SEEK:
        return badSeek;
    case ERROR_NOT_READY:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return generic;
    }
}

int CFileException::ErrnoToException(int nErrno)
{
    return platform::FileCauseFromErrno(nErrno);
}

int CFileException::StorageErrorToException(SCODE sc)
{
    switch (static_cast<DWORD>(sc)) {
    case 0x80030002: // STG_E_FILENOTFOUND
        return fileNotFound;
    case 0x80030003: // STG_E_PATHNOTFOUND
        return badPath;
    case 0x80030004: // STG_E_TOOMANYOPENFILES
        return tooManyOpenFiles;
    case 0x80030005: // STG_E_ACCESSDENIED
        return accessDenied;
    case 0x80030006: // STG_E_INVALIDHANDLE
        return invalidFile;
    case 0x80030019: // STG_E_SEEKERROR
        return badSeek;
    case 0x8003001D: // STG_E_WRITEFAULT
    case 0x8003001E: // STG_E_READFAULT
        return hardIO;
    case 0x80030020: // STG_E_SHAREVIOLATION
        return sharingViolation;
    case 0x80030021: // STG_E_LOCKVIOLATION
        return lockViolation;
    case 0x80030070: // STG_E_MEDIUMFULL
        return diskFull;
    default:
        return generic;
    }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::ThrowErrno(int nErrno, LPCTSTR lpszFileName)
{
    throw new CFileException(ErrnoToException(nErrno), nErrno, lpszFileName);
}

void CFileException::ThrowStorageError(SCODE sc, LPCTSTR lpszFileName)
{
    throw new CFileException(StorageErrorToException(sc), sc, lpszFileName);
}

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName != nullptr ? lpszArchiveName : "")
{
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    const bool known = m_cause >= 0 && m_cause < static_cast<int>(std::size(kArchiveMessages));
    return Message(known ? kArchiveMessages[m_cause] : "An unknown error occurred.", lpszError, nMaxError,
        pnHelpContext);
}

void AfxThrowMemoryException()
{
    throw new CMemoryException;
}

void AfxThrowNotSupportedException()
{
    throw new CNotSupportedException;
}

void AfxThrowInvalidArgException()
{
    throw new CInvalidArgException;
}

void AfxThrowResourceException()
{
    throw new CResourceException;
}

void AfxThrowUserException()
{
    throw new CUserException;
}

void AfxThrowOleException(SCODE sc)
{
    throw new COleException(sc);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}

namespace platform {

void SetErrorReporter(ErrorReporter reporter)
{
    Reporter() = std::move(reporter);
}

LPCSTR FileCauseText(int cause)
{
    const bool known = cause >= 0 && cause < static_cast<int>(std::size(kFileMessages));
    return known ? kFileMessages[cause] : "An unknown error occurred.";
}

} // namespace platform
