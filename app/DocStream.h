#pragma once
// CDocStream: one named stream of a design's compound file, open for reading
// or writing, optionally with an archive on it, for the design's quick-info
// and preview streams and the open dialogs' previews. It works either on a
// storage the caller already has open (SetStorageStream) or on the compound
// file at a path (SetFileStream), which it opens exclusively for the time the
// stream is open.
//
// Every failure to open throws CUserException without a message; the result
// of the last storage call stays readable. Writing replaces what the stream
// held. Close (also run by the destructor) flushes the archive, commits the
// storage when writing, and releases the storage reference the object holds.

#include "platform/base/String.h"
#include "platform/storage/OleStreamFile.h"

class CArchive;
class CDocument;
struct IStorage;

class CDocStream {
public:
    CDocStream();
    ~CDocStream();
    CDocStream(const CDocStream&) = delete;
    CDocStream& operator=(const CDocStream&) = delete;

    // Closes, then aims at a stream of an open storage. The object takes a
    // reference of its own to the storage and gives it back on close.
    void SetStorageStream(IStorage* pStorage, LPCTSTR lpszStreamName, CDocument* pDocument);
    // Closes, then aims at a stream of the compound file at the path.
    void SetFileStream(LPCTSTR lpszPath, LPCTSTR lpszStreamName, CDocument* pDocument);

    // Creates the compound file at the path (a temporary one when the path
    // is empty) and closes it again.
    BOOL CreateFile();

    // Opens the stream for writing, creating the compound file and the
    // stream when missing; what the stream held before is dropped. With
    // bReplace the stream is made anew rather than opened. With bWithArchive
    // a storing archive is built on it. Throws CUserException on failure.
    void OpenForWrite(BOOL bReplace, BOOL bWithArchive);
    // Opens the stream for reading, with a loading archive when asked.
    // Throws CUserException when the path is empty, the file is missing or
    // cannot be opened, or the stream is missing.
    void OpenForRead(BOOL bWithArchive);

    // The stream's length; 0 when it is not open.
    DWORD GetLength() const;
    void Close();

    // The archive of an open made with bWithArchive, else NULL. Callers
    // serialise through it and then Close.
    CArchive* GetArchive() const { return m_pArchive; }
    // The open stream, for callers that read or write it without an archive.
    COleStreamFile& GetFile() { return m_stream; }
    BOOL IsOpen() const { return m_bOpen; }
    // The result of the last storage call (open, create or commit).
    HRESULT GetResult() const { return m_hr; }

private:
    void Reset();
    [[noreturn]] void Fail(HRESULT hr);

    CDocument* m_pDocument;
    CString m_strPath;
    CArchive* m_pArchive;
    CString m_strStreamName;
    IStorage* m_pStorage;
    COleStreamFile m_stream;
    BOOL m_bOpen;
    HRESULT m_hr;
    BOOL m_bWriting;
    BOOL m_bReleaseStorage;
};
