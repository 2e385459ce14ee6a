#pragma once
// CGalleryDB: the Picture Gallery's categories and picture records, kept in
// the compound file "support\imagedb.olv" of the program folder. The stream
// "Contents" lists the category names (an archived string array, in the
// order of creation); each category that ever received a picture has a
// stream of its own, named like the category, holding a 32-bit record count
// N and N records back to back. Records never move: removing a picture marks
// its record deleted and a later, not larger picture may take its room.
//
// CGalleryEntry reads and writes the records of the one category stream that
// is open; CGalleryDB owns it. Live picture n of a category is the n-th record
// not marked deleted, in stream order.
//
// At the edges: a missing file means no categories; a category without a
// stream has no pictures. A damaged index stops at the first record that
// does not fit (too small, or reaching past the end of the stream), keeping
// the records before it. File errors are caught and reported as FALSE, an
// empty string or a null picture. One stream is open at a time; opening
// another closes the previous one. User-interface thread only.

#include "app/StorageFile.h"
#include "platform/base/StringArray.h"
#include "platform/base/String.h"
#include "platform/base/Types.h"

#include <memory>
#include <vector>

class CImage;
class CListBox;

// The longest category name New Category and Edit Category Name accept. A
// compound file's element name holds at most 31 characters, so every
// accepted name can also name a stream.
constexpr int kMaxCategoryName = 25;

// What a category name may not be, for the dialogs' messages.
enum class CategoryNameFault {
    None,
    Empty,
    TooLong,
    Reserved,       // "Contents" in any case: that stream holds the name list
    BadCharacter,   // a character a stream name cannot hold
};

// FALSE, with the reason, for a name that New Category and Edit Category
// Name must refuse because it cannot name its own stream.
CategoryNameFault CheckCategoryName(LPCTSTR lpszName);
// The message shown for a refused name (empty for None).
CString GetCategoryNameFaultText(CategoryNameFault fault);

class CGalleryEntry {
public:
    CGalleryEntry() = default;
    ~CGalleryEntry();
    CGalleryEntry(const CGalleryEntry&) = delete;
    CGalleryEntry& operator=(const CGalleryEntry&) = delete;

    // The size field of a freshly built record: its length minus 2.
    static constexpr DWORD kRecordOverhead = 18;

    // Reads the index of the stream: N bounded by what the stream can hold,
    // each record's offset and flag, then the live list. A record whose size
    // is below the overhead or whose end lies past the stream ends the walk.
    // An empty stream gets the count 0 written when it is open for writing.
    void ReadIndex(CFile& file, BOOL bWritable);
    void Clear();

    // Builds a record for the picture file (path, label, thumbnail of at most
    // nMaxSide pixels a side). FALSE when the picture does not load or its
    // thumbnail cannot be saved.
    BOOL Build(LPCTSTR lpszPath, LPCTSTR lpszLabel, int nMaxSide);
    // Writes the built record into the first deleted room that holds it, or
    // at the end of the stream. FALSE on a file error.
    BOOL AddRecord(CFile& file);
    // Reads the record at an index offset. With bFull the path, label and
    // thumbnail too (for a live record). FALSE when it cannot be read.
    BOOL ReadRecord(CFile& file, DWORD dwOffset, BOOL bFull, BOOL bLoadPicture);
    // Marks live record n deleted. FALSE when there is no such record or
    // writing failed.
    BOOL MarkDeleted(CFile& file, int n);

    int GetLiveCount() const { return static_cast<int>(m_live.size()); }
    int GetRecordCount() const { return static_cast<int>(m_offsets.size()); }
    DWORD GetLiveOffset(int n) const;
    DWORD GetRecordOffset(int i) const { return m_offsets[static_cast<size_t>(i)]; }
    BOOL IsRecordDeleted(int i) const { return m_deleted[static_cast<size_t>(i)]; }

    // The fields of the record read or built last.
    DWORD GetSize() const { return m_dwSize; }
    BOOL IsDeleted() const { return m_bDeleted; }
    const CString& GetPath() const { return m_strPath; }
    const CString& GetLabel() const { return m_strLabel; }
    DWORD GetDataLength() const { return static_cast<DWORD>(m_data.size()); }
    // The thumbnail of the record read last, taken by the caller (null when
    // none was loaded).
    std::unique_ptr<CImage> TakePicture();

private:
    DWORD FindFreeSlot() const;
    void WriteRecord(CFile& file, DWORD dwOffset);
    void WriteCount(CFile& file);

    DWORD m_dwSize = 0;
    BOOL m_bDeleted = FALSE;
    CString m_strPath;
    CString m_strLabel;
    std::vector<BYTE> m_data;
    std::unique_ptr<CImage> m_pPicture;

    std::vector<DWORD> m_offsets;
    std::vector<BOOL> m_deleted;
    std::vector<DWORD> m_live;
    DWORD m_dwStreamLength = 0;
};

class CGalleryDB : public CStorageFile {
public:
    // The program's database: the program folder's "support\imagedb.olv".
    CGalleryDB();
    // A database at another path (tests, tools).
    explicit CGalleryDB(LPCTSTR lpszPath);
    virtual ~CGalleryDB();

    const CString& GetPath() const { return m_strPath; }

    // "Contents" through an archive. TRUE when the stream could be opened;
    // a read that fails part-way keeps the names read so far.
    BOOL ReadCategoryNames();
    // Rewrites "Contents" from its start, creating the file and the stream
    // when missing. FALSE on a file error.
    BOOL WriteCategoryNames();
    void FillListBox(CListBox* pList) const;
    // Index of the first name equal ignoring case; -1 when absent.
    int FindCategory(LPCTSTR lpszName) const;
    // Appends the name; the caller writes "Contents".
    void AddCategoryName(LPCTSTR lpszName);
    int GetCategoryCount() const { return static_cast<int>(m_names.GetSize()); }
    CString GetCategoryName(int i) const { return m_names.GetAt(i); }
    const CStringArray& GetCategoryNames() const { return m_names; }
    // Live-picture counts per category and their total, as counted when the
    // object was built (CountPictures counts again).
    void CountPictures();
    int GetPictureCount(int iCategory) const;
    int GetTotalPictureCount() const { return m_nTotalPictures; }

    // Makes the category current and opens its stream, for writing creating
    // it (and the file) when absent. *pnCount gets the live count, 0 when the
    // stream did not open. FALSE only when a file error occurred.
    BOOL OpenCategory(LPCTSTR lpszName, BOOL bWriting, int* pnCount);
    const CString& GetCurrentCategory() const { return m_strCurrent; }

    // TRUE when the record was written.
    BOOL AddPicture(LPCTSTR lpszCategory, LPCTSTR lpszPath, LPCTSTR lpszLabel);
    // Marks live picture n deleted; the picture file itself is never touched.
    BOOL RemovePicture(LPCTSTR lpszCategory, int n);
    // Moves the category to the end of the list under the new name, keeping
    // its pictures. The old name and stream go only once the copy succeeded;
    // a category without a stream is renamed by its name alone.
    BOOL RenameCategory(LPCTSTR lpszOld, LPCTSTR lpszNew);
    // Removes the name (ignoring case), rewrites "Contents" and then deletes
    // the category's stream.
    BOOL RemoveCategory(LPCTSTR lpszName);

    // Live record n of the current category: its thumbnail (null when the
    // record cannot be read), its path, its volume label (empty when the
    // record cannot be read).
    std::unique_ptr<CImage> GetPicture(int n);
    CString GetPictureFile(int n);
    CString GetPictureLabel(int n);
    int GetCurrentCount() const { return m_entry.GetLiveCount(); }
    CGalleryEntry& GetEntry() { return m_entry; }

protected:
    // Copies the stream of a category into a new stream; throws on failure.
    // Virtual so that tests can make it fail.
    virtual void CopyCategoryStream(LPCTSTR lpszSource, LPCTSTR lpszTarget);

private:
    void Init(LPCTSTR lpszPath);
    BOOL ReadLive(int n, BOOL bLoadPicture);
    BOOL StreamExists(LPCTSTR lpszName);
    // Closes whatever stream is open; FALSE when closing failed (what it
    // threw is dropped: the file is left as closing left it).
    BOOL CloseQuietly();
    // Closes the category's stream and forgets the category; FALSE when
    // closing failed, so that a write is not reported as made.
    BOOL CloseCategory();
    // Moves category iOld to the end of the list under the new name and
    // writes the list; FALSE, with the list as it was, when it cannot be
    // written.
    BOOL RenameInList(int iOld, const CString& strNew);

    CString m_strPath;
    CStringArray m_names;
    std::vector<int> m_counts;
    int m_nTotalPictures = 0;
    CString m_strCurrent;
    BOOL m_bCurrentWritable = FALSE;
    CGalleryEntry m_entry;
};
