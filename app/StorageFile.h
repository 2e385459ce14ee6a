#pragma once
// CStorageFile: one stream at a time of the compound file at a path, for the
// picture gallery's database. Selecting another stream (or Close) closes the
// one that is open, committing the file when it was open for writing. The
// file is opened exclusively for writing and deny-write for reading, so
// another open of it fails while a stream is open.
//
// A compound file that cannot be opened leaves the object closed without an
// exception; a stream that cannot be opened or created throws the
// CFileException the storage reported. Opening an existing stream for
// writing keeps its bytes: callers write records in place. Close (also run by
// the destructor) flushes the archive.

#include "platform/base/String.h"
#include "platform/storage/OleStreamFile.h"

class CArchive;
class CDocument;
struct IStorage;

class CStorageFile {
public:
    CStorageFile();
    ~CStorageFile();
    CStorageFile(const CStorageFile&) = delete;
    CStorageFile& operator=(const CStorageFile&) = delete;

    void SetPath(LPCTSTR lpszPath, CDocument* pDocument);

    // FALSE, doing nothing, when that very stream (the name compared
    // exactly) is already open in that mode. Otherwise takes the name (empty
    // for NULL), closes what is open and returns TRUE.
    BOOL SelectStream(LPCTSTR lpszStreamName, BOOL bWriting);
    void Close();

    // Opens the stream for reading and writing from its start, creating the
    // compound file and the stream when missing, with a storing archive when
    // asked. Nothing happens when the stream is already open for writing.
    void OpenForWrite(LPCTSTR lpszStreamName, BOOL bWithArchive);
    // Opens the stream for reading, with a loading archive when asked.
    void OpenForRead(LPCTSTR lpszStreamName, BOOL bWithArchive);

    // Copies one stream's bytes into another stream of the file, which then
    // holds exactly those bytes. Nothing happens when the file is missing;
    // a missing source stream throws. The target is left open for writing.
    void CopyStream(LPCTSTR lpszSource, LPCTSTR lpszTarget);
    // Destroys the stream; TRUE when it was destroyed. FALSE when the file
    // is missing or cannot be opened, the stream does not exist, or it is
    // the stream open for writing right now.
    BOOL DeleteStream(LPCTSTR lpszStreamName);

    CArchive* GetArchive() const { return m_pArchive; }
    COleStreamFile& GetFile() { return m_stream; }
    BOOL IsOpen() const { return m_bOpen; }
    const CString& GetStreamName() const { return m_strStreamName; }

private:
    void CloseStorage();

    CString m_strPath;
    CArchive* m_pArchive;
    CString m_strStreamName;
    IStorage* m_pStorage;
    COleStreamFile m_stream;
    BOOL m_bOpen;
    CDocument* m_pDocument;
    BOOL m_bWriting;
};
