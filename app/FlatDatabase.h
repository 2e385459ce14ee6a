#pragma once
// CDataBaseFile: a file of fixed-length text records. Record 0 is a header
// ("<version> <record length>", NUL-padded); record i lies at i × record
// length. The derived table classes give the column layout for each header
// version; this class opens, checks and repairs the header, and reads,
// writes and deletes whole records.
//
// A file whose header is unreadable or disagrees with the layout is kept as
// "<name>.bak" and re-created empty (except on a CD-ROM drive, where the
// open fails). Every failure of a record operation is a FALSE result; file
// exceptions never leave this class.

#include "platform/base/StdioFile.h"
#include "platform/base/String.h"

class CFileException;

// The column widths of one header version's layout. An empty layout (count
// 0) means the table has no layout for that version.
struct DbLayout {
    static constexpr int kMaxColumns = 10;
    int nCount = 0;
    int widths[kMaxColumns] = {};

    int RecordLength() const;
};

class CDataBaseFile : public CStdioFile {
public:
    enum FieldKind : int {
        fieldNumber = 0,
        // Text that is shortened to its column when too long (names, notes).
        fieldText = 2,
        // Text that must fit: a longer value (a path) is refused, because a
        // shortened path names another file.
        fieldPath = 3,
    };
    enum DeleteMode : int { deleteShift = 0, deleteMoveLast = 1 };

    // The version of new and re-created files, and the newest layout.
    static constexpr int kCurrentVersion = 5;

    CDataBaseFile();
    ~CDataBaseFile() override;

    // Opens (flags plus binary) and checks the header; TRUE when the file is
    // usable. A failed open is reported in a message box.
    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;
    void Close() override;

    BOOL IsOpen() const { return m_bOpen; }
    int GetHeaderVersion() const { return m_nHeaderVersion; }
    int GetRecordLength() const { return m_nRecordLength; }
    int GetDeleteMode() const { return m_nDeleteMode; }
    void SetDeleteMode(int mode) { m_nDeleteMode = mode; }

    // Records in the file, header included (whole records only).
    int GetRecordCount() const;
    // Sets the file length to n records; FALSE on a file error.
    BOOL SetRecordCount(int n);

    // Record n's text up to its first NUL; FALSE (and empty text) unless the
    // whole record could be read.
    BOOL ReadRecord(int n, CString& text);
    // Writes the text cut to the record length and NUL-padded; n may equal
    // the count to append.
    BOOL WriteRecord(int n, const CString& text);
    // Deletes data record n (n >= 1). The file is shortened only after every
    // move succeeded.
    BOOL DeleteRecord(int n);

    // Takes the next field of `record` (at most `width` characters) and
    // removes it from the front.
    static void ParseField(int kind, void* value, CString& record, int width);
    // Appends one field of exactly `width` characters; FALSE when a number
    // or path does not fit (the record is then unchanged).
    static BOOL FormatField(const void* value, CString& record, int kind, int width);

    // The layout of the given header version; empty when there is none.
    virtual void GetLayout(int version, DbLayout& layout) const = 0;

protected:
    // Reads and checks the header after the framework opened the file,
    // re-creating a damaged one; TRUE when the file is usable.
    BOOL CheckHeader(UINT nOpenFlags);
    BOOL WriteNewHeader();
    BOOL RecreateFile(UINT nOpenFlags);
    int LayoutLength(int version) const;
    // The version given to a new file: the current one when this table has
    // a layout for it, else its newest.
    int NewFileVersion() const;

    int m_nRecordLength = 0;
    BOOL m_bOpen = FALSE;
    int m_nDeleteMode = deleteMoveLast;
    int m_nHeaderVersion = 0;
};

// TRUE when the drive of the path (its first character) is a CD-ROM drive.
BOOL IsPathOnCDROM(LPCTSTR path);

// The text shown for a file error of the given cause.
LPCTSTR DataBaseErrorText(int cause);
