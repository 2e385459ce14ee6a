#pragma once
// CFile: unbuffered binary file access over a file descriptor, with the
// class library's open flags, seek origins and exceptions. Opening, closing,
// removing and renaming go through platform::GetHostFiles(), which maps the
// program's Windows-form paths and enforces share modes.
//
// Failures raise CFileException (cause from the errno, m_lOsError the errno,
// m_strFileName the file's path) except Open(path, flags, pError), which
// returns FALSE and fills *pError. A file that was opened by path is closed
// by the destructor (errors ignored); one attached by descriptor is not.

#include "platform/base/HostFiles.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

#include <ctime>

struct CFileStatus {
    time_t m_ctime = 0; // last status change (the host keeps no creation time)
    time_t m_mtime = 0;
    time_t m_atime = 0;
    LONG m_size = 0; // 0x7FFFFFFF for files too large to say
    BYTE m_attribute = 0;
    char m_szFullName[MAX_PATH] = {};
};

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = platform::fileflags::modeRead,
        modeWrite = platform::fileflags::modeWrite,
        modeReadWrite = platform::fileflags::modeReadWrite,
        shareCompat = platform::fileflags::shareCompat,
        shareExclusive = platform::fileflags::shareExclusive,
        shareDenyWrite = platform::fileflags::shareDenyWrite,
        shareDenyRead = platform::fileflags::shareDenyRead,
        shareDenyNone = platform::fileflags::shareDenyNone,
        modeNoInherit = platform::fileflags::modeNoInherit,
        modeCreate = platform::fileflags::modeCreate,
        modeNoTruncate = platform::fileflags::modeNoTruncate,
        typeText = platform::fileflags::typeText,
        typeBinary = platform::fileflags::typeBinary,
    };
    enum Attribute : BYTE {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };
    enum { hFileNull = -1 };

    CFile();
    // Attaches an open descriptor; the destructor leaves it open.
    explicit CFile(int hFile);
    // Opens or throws CFileException.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
    virtual void Close();
    // Closes without raising anything, for use after a failure.
    virtual void Abort();

    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes everything or raises (diskFull when the device takes less).
    virtual void Write(const void* lpBuf, UINT nCount);
    // The new position from the start; a position before the start raises
    // badSeek.
    virtual LONG Seek(LONG lOff, UINT nFrom);
    void SeekToBegin();
    DWORD SeekToEnd();
    virtual DWORD GetPosition() const;
    virtual DWORD GetLength() const;
    virtual void SetLength(DWORD dwNewLen);
    // Forces written data to the storage device.
    virtual void Flush();

    virtual CString GetFileName() const;
    // The name without its extension, as file names are shown to the user.
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const;
    virtual void SetFilePath(LPCTSTR lpszNewName);
    BOOL GetStatus(CFileStatus& rStatus) const;

    static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
    static void Remove(LPCTSTR lpszFileName);

    int m_hFile;

protected:
    // Raises CFileException for errno err, naming this file.
    [[noreturn]] void ThrowErrno(int err) const;

    BOOL m_bCloseOnDelete;
    CString m_strFileName;
};
