#pragma once
// What the classes that keep one stream of a compound file open at a time
// share: the file test and open of the compound file, the archive they put
// on the stream and the order in which they let go of both.

#include "platform/base/Types.h"

class CArchive;
class CDocument;
class CException;
class COleStreamFile;
class CString;
struct IStorage;

// Whether a file (not a folder) is at the path. Unlike the path helpers'
// FileExists (Paths.h), which answers for folders too: a compound file
// cannot be a folder.
bool FileExists(const CString& strPath);

// Opens the compound file at a path in the program's code page: the storage,
// or NULL when it cannot be opened. The storage call's result goes to *phr
// when asked for.
IStorage* OpenStorageAt(const CString& strPath, DWORD grfMode, HRESULT* phr = NULL);

// A new archive on an open stream for the document, with nMode
// CArchive::load or CArchive::store. The archive never flushes on delete:
// its owner closes it first, so that a failed flush is seen.
CArchive* NewStreamArchive(COleStreamFile& stream, UINT nMode, CDocument* pDocument);

// Closes and deletes the archive (when there is one), then closes the
// stream (when bOpen), and leaves both let go whatever fails. After a
// failure what is left is aborted rather than closed, so a stream whose
// archive could not be flushed keeps what it had. Returns the first failure
// for the caller to throw once it has let go of the rest, else NULL.
CException* CloseArchiveAndStream(CArchive*& pArchive, COleStreamFile& stream, BOOL& bOpen);
