#pragma once
// The mail-merge data sources a design can name: a text file, or an
// address-book file. The document owns its source and keeps it in the
// design file after its type number.
//
// The record of both sources is ours: the file name as an archive string
// (a length prefix, then the characters). The merge itself reads the file
// when a design is printed with merge fields.
//
// A text-file source is a table separated by tabs: its first line holds the
// field names, each later line one record (blank lines hold none). The file
// is read the first time a name or a field is asked for and kept until the
// file name changes or Reload is called. What is read is bounded: lines are
// cut at the line reader's length, a line keeps at most kMaxFields fields
// and at most kMaxRecords records are kept; a file that cannot be opened
// gives no names and no records. The address-book source answers no fields:
// its file belongs to a companion program that is not part of Threadwick.

#include "platform/base/Object.h"
#include "platform/base/String.h"

#include <vector>

class CDrawDoc;
class CStringArray;

class CMergeSource : public CObject {
    DECLARE_DYNAMIC(CMergeSource)
public:
    // Type numbers as the design file stores them.
    enum : DWORD { TypeTextFile = 1, TypeAddressBook = 2 };
    static constexpr int kMaxFields = 256;
    static constexpr int kMaxRecords = 10000;
    // What separates the fields in the file and the names in
    // GetFieldNamesString.
    static constexpr char kSeparator = '\t';

    explicit CMergeSource(CDrawDoc* pDoc);
    ~CMergeSource() override;

    virtual DWORD GetType() const = 0;
    // A new name drops what was read from the old file.
    void SetFileName(LPCTSTR lpszFileName);
    const CString& GetFileName() const { return m_strFileName; }
    // Writes or reads the file name.
    void Serialize(CArchive& ar) override;

    // Replaces the array's contents by the field names; answers their count.
    int GetFieldNames(CStringArray& names);
    // The names as one string, each preceded by the separator ("\tName\tCity");
    // empty without names.
    CString GetFieldNamesString();
    // The text of field nField of record nRecord (both from 0). FALSE, with
    // the text empty, for a record or field that is not there; a record
    // shorter than the names has empty texts for the fields it lacks.
    BOOL GetFieldText(int nRecord, int nField, CString& strText);
    int GetRecordCount();
    // Drops what was read: the next question reads the file again.
    void Reload();

    // The record that printing works on, from 0.
    int m_nCurrentRecord = 0;

    // A new source of the stored type, or NULL for a type no source has.
    static CMergeSource* Create(DWORD dwType, CDrawDoc* pDoc);

protected:
    // Fills m_names and m_records from the file; nothing here.
    virtual void ReadTable();

    CDrawDoc* m_pDocument; // not owned
    CString m_strFileName;
    std::vector<CString> m_names;
    std::vector<std::vector<CString>> m_records;

private:
    void EnsureRead();
    BOOL m_bRead = FALSE;
};

class CTextMergeSource : public CMergeSource {
    DECLARE_DYNAMIC(CTextMergeSource)
public:
    explicit CTextMergeSource(CDrawDoc* pDoc);
    DWORD GetType() const override { return TypeTextFile; }

protected:
    void ReadTable() override;
};

class CAddrFileMergeSource : public CMergeSource {
    DECLARE_DYNAMIC(CAddrFileMergeSource)
public:
    explicit CAddrFileMergeSource(CDrawDoc* pDoc);
    DWORD GetType() const override { return TypeAddressBook; }
};
