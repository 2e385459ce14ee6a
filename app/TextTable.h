#pragma once
// The program's content tables: designs, occasions, project kinds, picture
// categories and users, each a flat database file (FlatDatabase.h) of
// fixed-width text columns. The program's own tables lie in the support
// folder as "QVN.<stem>"; design kits bring tables of the same format.
//
// Each table object opens its file when constructed and closes it when
// destroyed; a table that failed to open has no records. Reads past the end
// give FALSE and an empty record; a write refuses an index past the count
// and a number or path wider than its column (a name or note is shortened).

#include "app/FlatDatabase.h"
#include "platform/base/String.h"

#include <cstdint>
#include <functional>

// 128 flags stored as four 32-bit words; flag n is bit n % 32 of word n / 32.
class CFlagSet128 {
public:
    static constexpr int kFlags = 128;

    CFlagSet128() = default;

    // Flags outside 0..127 are ignored (Test answers FALSE).
    void Set(int n);
    void Clear(int n);
    BOOL Test(int n) const;
    void SetAll();
    void ClearAll();
    BOOL IsEmpty() const;
    // Sets every flag that is set in `other`.
    void Union(const CFlagSet128& other);
    BOOL Intersects(const CFlagSet128& other) const;

    DWORD GetWord(int i) const { return m_words[i & 3]; }
    void SetWord(int i, DWORD value) { m_words[i & 3] = value; }

    bool operator==(const CFlagSet128& other) const = default;

private:
    DWORD m_words[4] = {};
};

// The stems of the five tables.
inline constexpr LPCTSTR kDesignTableStem = "kqa";
inline constexpr LPCTSTR kOccasionTableStem = "kqb";
inline constexpr LPCTSTR kProjectKindTableStem = "kqc";
inline constexpr LPCTSTR kCategoryTableStem = "kqd";
inline constexpr LPCTSTR kUserTableStem = "kqe";

// The program's own table of a kind: "<program folder>support\QVN.<stem>".
CString GetSupportTablePath(LPCTSTR stem);
// The file a table given by path is read from: a file of the same name in
// the support folder when there is one (a copy is made there first when
// possible), else the given path.
CString GetTableFilePath(LPCTSTR path);

// The folder (with its trailing backslash) of the design table from which
// the last design was found.
const CString& GetCurrentKitFolder();
void SetCurrentKitFolder(const CString& folder);

struct DesignRecord {
    static constexpr int kUnknownKind = 6;

    CFlagSet128 occasions;
    int nKind = kUnknownKind;
    CString strName;
    CString strPath;
    int nNumber1 = 0;
    int nNumber2 = 0;
    CString strText;
    int nNumber3 = 0;
    CString strPath2; // only tables of the current version keep it

    BOOL IsValid() const { return !strPath.IsEmpty(); }
};

// A search over design records: every criterion selected in nMask must hold.
struct DesignQuery {
    enum Criterion : WORD {
        byOccasion = 0x01, // shares an occasion flag with `occasions`
        byKind = 0x02,     // the record's kind is a bit of dwKindMask
        byName = 0x04,
        byPath = 0x08,
        byNumber1 = 0x10,
        byNumber2 = 0x20, // ignored while bit 0 of dwKindMask is set
        byText = 0x40,
        byNumber3 = 0x80,
    };

    WORD nMask = 0;
    int nFound = -1; // the index of the last match, -1 when none is left
    int nKit = -1;   // the kit being read, when a catalog runs the query
    CFlagSet128 occasions;
    DWORD dwKindMask = 0;
    CString strName;
    CString strPath;
    int nNumber1 = 0;
    int nNumber2 = 0;
    CString strText;
    int nNumber3 = 0;
};

BOOL MatchDesign(const DesignQuery& query, const DesignRecord& record);

struct OccasionRecord {
    int nId = 0;
    int nNumber = 0;
    CString strName;
    CString strIconPath;
};

struct ProjectKindRecord {
    int nId = 0;
    int nNumber1 = 0;
    CString strName;
    CString strDescription;
    int nNumber2 = 0;
    CString strPath1;
    CString strPath2;
    int nNumber3 = 0;
    int nNumber4 = 0;
};

struct CategoryRecord {
    int nId = 0;
    CString strName;
};

struct UserRecord {
    int nInUse = 0; // 0 marks a free slot
    CString strUserName;
    CString strEnvelopeName;
    CString strAddress1;
    CString strAddress2;
    CString strCity;
    CString strState;
    CString strZip;
};

// The design table, and the base of the other tables: adds the open by
// folder or by kit path, the count of data records and a search cursor.
class CTableFile : public CDataBaseFile {
public:
    // Opens "QVN.kqa" in the folder (the support folder when none is given);
    // with bReplace an existing file is deleted first.
    explicit CTableFile(LPCTSTR lpszFolder = NULL, BOOL bReplace = FALSE);
    ~CTableFile() override;

    // Closes and opens the table of a kit (through GetTableFilePath).
    BOOL OpenTable(LPCTSTR lpszPath);
    void Close() override;

    // Data records, header not counted.
    int GetRecordCount() const { return m_nRecords; }
    LPCTSTR GetStem() const { return m_strStem; }

    BOOL ReadRecord(int n, DesignRecord& record);
    // n may equal the count to append.
    BOOL WriteRecord(int n, const DesignRecord& record);
    // Appends; with bReplace it overwrites the record of the same path when
    // there is one.
    BOOL AddRecord(const DesignRecord& record, BOOL bReplace);
    BOOL DeleteRecord(int n);

    // 0 when nothing matches or the query selects nothing; else TRUE with the
    // record, and the index in query.nFound.
    BOOL FindFirst(DesignQuery& query, DesignRecord& record);
    BOOL FindNext(DesignQuery& query, DesignRecord& record);

    void GetLayout(int version, DbLayout& layout) const override;

    // One column of a record: its kind and the member it reads into or
    // writes from.
    struct Field {
        int kind;
        void* value;
    };
    // Column kinds of these tables beyond the flat file's own.
    enum : int { fieldFlags = 100, fieldRightNumber = 101 };

protected:

    // For the derived tables, which open from their own constructors: a
    // virtual layout is not theirs yet while this constructor runs.
    struct DeferOpen {};
    CTableFile(LPCTSTR lpszStem, DeferOpen);
    // Builds the path in the folder, deletes it with bReplace, and opens.
    BOOL OpenInFolder(LPCTSTR lpszFolder, BOOL bReplace);
    BOOL OpenPath(const CString& path);

    // Data record n parsed into the fields, one per column of the layout;
    // fields beyond the layout read as 0 or empty.
    BOOL ReadFields(int n, const Field* fields, int count);
    BOOL WriteFields(int n, const Field* fields, int count);
    // A whole record through its one column list: columnsOf(record) gives
    // the record's members with their kinds in file order, so reading and
    // writing cannot disagree. A failed read leaves the record empty.
    template <typename Record, typename ColumnsOf>
    BOOL ReadColumns(int n, Record& record, ColumnsOf columnsOf);
    template <typename Record, typename ColumnsOf>
    BOOL WriteColumns(int n, const Record& record, ColumnsOf columnsOf);

    // Bypass the data-record numbering for the header and raw records.
    using CDataBaseFile::ReadRecord;
    using CDataBaseFile::WriteRecord;

    CString m_strStem;
    int m_nRecords = 0;
    int m_nCursor = 0;
};

class COccasionTable : public CTableFile {
public:
    explicit COccasionTable(LPCTSTR lpszFolder = NULL, BOOL bReplace = FALSE);
    BOOL ReadRecord(int n, OccasionRecord& record);
    BOOL WriteRecord(int n, const OccasionRecord& record);
    BOOL AddRecord(const OccasionRecord& record) { return WriteRecord(GetRecordCount(), record); }
    void GetLayout(int version, DbLayout& layout) const override;
};

class CProjectKindTable : public CTableFile {
public:
    // Writes the program's own table from the resources first when it is
    // missing.
    explicit CProjectKindTable(LPCTSTR lpszFolder = NULL, BOOL bReplace = FALSE);
    BOOL ReadRecord(int n, ProjectKindRecord& record);
    BOOL WriteRecord(int n, const ProjectKindRecord& record);
    BOOL AddRecord(const ProjectKindRecord& record) { return WriteRecord(GetRecordCount(), record); }
    void GetLayout(int version, DbLayout& layout) const override;
};

class CCategoryTable : public CTableFile {
public:
    explicit CCategoryTable(LPCTSTR lpszFolder = NULL, BOOL bReplace = FALSE);
    BOOL ReadRecord(int n, CategoryRecord& record);
    BOOL WriteRecord(int n, const CategoryRecord& record);
    BOOL AddRecord(const CategoryRecord& record) { return WriteRecord(GetRecordCount(), record); }
    void GetLayout(int version, DbLayout& layout) const override;
};

class CUserTable : public CTableFile {
public:
    explicit CUserTable(LPCTSTR lpszFolder = NULL, BOOL bReplace = FALSE);
    BOOL ReadRecord(int n, UserRecord& record);
    BOOL WriteRecord(int n, const UserRecord& record);
    BOOL AddRecord(const UserRecord& record) { return WriteRecord(GetRecordCount(), record); }
    void GetLayout(int version, DbLayout& layout) const override;

    // Add the name of every user in use to a combo box or list box, with
    // the record index as item data; then close the table.
    void FillComboBox(HWND hComboBox);
    void FillListBox(HWND hListBox);
    BOOL UserExists(LPCTSTR lpszName);
    // The user's return address, lines separated by CR LF.
    BOOL GetAddressText(LPCTSTR lpszName, CString& text);

private:
    void Fill(HWND hWnd, UINT addMessage, UINT dataMessage);
    BOOL FindUser(LPCTSTR lpszName, UserRecord& record);
};

// The signed-in user: the record of the user table that carries the
// preferences' LastUser name, read when constructed. Empty (no name) when
// nobody is signed in, the table cannot be read or its record of that name
// is a free slot.
class CUserRecord {
public:
    CUserRecord();
    // The name as the table spells it.
    CString GetName() const { return m_record.strUserName; }

private:
    UserRecord m_record;
};

// Built on the stack by whatever needs a user: with an empty user table it
// adds "Predesigned", then asks for the user's return address and adds that
// user when the question is confirmed.
class CUserGuard {
public:
    CUserGuard();

    // Fills the record's name and address texts; FALSE when cancelled.
    // The Return Address dialog lies above this layer and installs itself
    // here at start-up (CReturnAddressDlg::InstallAsUserPrompt); without a
    // prompt nobody is asked.
    using ReturnAddressPrompt = std::function<BOOL(UserRecord& record)>;
    static void SetReturnAddressPrompt(ReturnAddressPrompt prompt);
};

// Writes the program's own project-kind table from the OCCASIONDB resource
// when it does not exist. Errors are ignored.
void ExtractOccasionDb();

// A new folder "<program folder>UserData\User<n>\" for a new user's data,
// created here; empty when none of the 99 names was free.
CString NextUserFolderName();
