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

// The document name of the file's kind ("Calendar" for a calendar design),
// or empty when the file is not recognised.
CString DescribeDesignFile(LPCTSTR lpszPathName);

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
