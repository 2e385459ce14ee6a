#pragma once
// CDocQuickInfo: the "Doc Quick Info" stream of a design file, which the
// open dialogs read without opening the design: the OR of the objects'
// flags, the design text and the page-layout record.
//
// Stream layout: record version (u32, 2), surface flags (u16), text
// (archive string); for version 2 also a zero u32 and the 22 layout values.

#include "model/DocQuickInfo.h"
#include "platform/base/String.h"

class CDrawDoc;
struct IStorage;

class CImage;

// The document name of the file's kind ("Calendar" for a calendar design):
// by the file's class when it is a design, else by its extension (the card
// and poster extensions "crd" and "pcd" read as "car" and "pcr"); empty
// when neither names a kind.
CString DescribeDesignFile(LPCTSTR lpszPathName);

// ---- Reading a design's preview and text without opening it
// Every reader catches the failures of the file it opens and reports them
// through its result; none shows a message.

// The name of surface nSurface's preview stream: "Surface Preview", then
// the number from surface 1 on ("Surface Preview2" for surface 2).
CString SurfacePreviewStreamName(int nSurface);
// Reads surface nSurface's preview stream into pImage: 0; the storage
// error when the file is held open elsewhere (STG_E_SHAREVIOLATION or
// STG_E_LOCKVIOLATION); else -1 when the file, the stream or its picture
// cannot be read. The picture is left empty on failure.
int ReadSurfacePreview(LPCTSTR lpszPathName, CImage* pImage, int nSurface, int nLoadMode);
// The design text of the file's quick information, or when that is empty
// DescribeDesignFile.
CString GetDesignInfoText(LPCTSTR lpszPathName);
// TRUE when the file opens as a compound file and holds the stream of
// surface nSurface's preview.
BOOL HasSurfacePreviewStream(LPCTSTR lpszPathName, int nSurface);
// -1 when the file's kind cannot be found; 1 for a file that is not a
// design of this program; else the number of preview streams from surface
// 0 on without a gap.
int CountSurfacePreviews(LPCTSTR lpszPathName);
// The preview of any file the open dialogs offer, by its kind
// (GetDesignFileKind): 0 with the picture read; the kind's error when it
// cannot be found; -4 for a kind that keeps no preview, -3 for a file that
// is not a design, -1 when the picture cannot be read, the storage error
// when a design is held open elsewhere. For a design,
// nSurface -1 takes surface 0 and gives *pnValue (when asked for) the
// quick information's value 1; *pnValue is 0 otherwise.
HRESULT ReadDesignPreview(LPCTSTR lpszPathName, CImage* pImage, int nSurface, int nLoadMode, LONG* pnValue);
// The preview of an older flat file: a 32-bit byte count at nOffset, then
// the picture's file image. 0 when it is read; -1 when the file cannot be
// read, the count reaches past the end of the file, the bytes run short or
// the picture cannot be loaded. Never allocates more than the file holds.
int ReadRawPreview(LPCTSTR lpszPathName, DWORD nOffset, CImage* pImage);
// The message for a reader's result on a file of kind nFileKind; empty
// when the result has none.
CString GetPreviewErrorText(int nFileKind, HRESULT hrResult);

class CDocQuickInfo {
public:
    static constexpr DWORD kRecordVersion = 2;

    CDocQuickInfo();

    // The surface flags and design text of the document (the layout record
    // is the document's too).
    void FillFromDocument(CDrawDoc* pDoc);
    // Replaces the stream in pStorage, filled from the document first.
    // Raises the archive's or the storage's exception on failure.
    void WriteToStorage(CDrawDoc* pDoc, IStorage* pStorage);
    // Reads the stream of pStorage; FALSE (keeping what was read) when it
    // is missing or damaged. The document is not changed.
    BOOL ReadFromStorage(CDrawDoc* pDoc, IStorage* pStorage);
    // Opens the design file and reads its stream; FALSE when the file or
    // the stream cannot be read (what was read so far is kept).
    BOOL ReadFromFile(LPCTSTR lpszPathName);

    WORD m_wSurfaceFlags = 0;
    CString m_strText;
    DocQuickInfo m_info;
    CString m_strStreamName;
    LONG m_nVersion = static_cast<LONG>(kRecordVersion);

private:
    BOOL ReadStream(IStorage* pStorage);
};
