#pragma once
// Content catalogs: the records of one kind of table from every place that
// holds one (the support folder first, then each design kit) as one
// sequence. A catalog lives on the stack of whoever walks it; the table it
// reads changes as the walk moves from kit to kit. A kit whose table does not
// open has no records and is passed over; a record that cannot be read ends
// the walk.
//
// CDesignIndex keeps copies of every design record in memory for searches;
// it is loaded once, on its first search.

#include "app/TextTable.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

#include <functional>
#include <memory>
#include <vector>

// The list of table files of one extension that the catalogs walk, in
// order, skipping kits whose filter flag is clear.
class CKitWalker {
public:
    virtual ~CKitWalker() = default;
    virtual void SetFilter(const CFlagSet128& filter) = 0;
    virtual void SetSearchMode(int mode) = 0;
    // Rebuilds the list.
    virtual void FindKits() = 0;
    virtual BOOL GetFirstKit(CString& path, int& kind) = 0;
    virtual BOOL GetNextKit(CString& path, int& kind) = 0;
    // The list index of the kit the walk gave last.
    virtual int GetCurrentKit() const = 0;
    // Kit n's path with its extension replaced by the walker's.
    virtual CString GetKitFileName(int n) const = 0;
};

// A walker over a fixed list of paths. Without a factory (below), catalogs
// walk the content locator (KitFinder.h): the program's own table and the
// registered kits.
class CKitPathList : public CKitWalker {
public:
    CKitPathList(LPCTSTR extension, std::vector<CString> paths);

    void SetFilter(const CFlagSet128& filter) override { m_filter = filter; }
    void SetSearchMode(int mode) override { m_nSearchMode = mode; }
    void FindKits() override {}
    BOOL GetFirstKit(CString& path, int& kind) override;
    BOOL GetNextKit(CString& path, int& kind) override;
    int GetCurrentKit() const override { return m_nCurrent; }
    CString GetKitFileName(int n) const override;

private:
    CString m_strExtension;
    std::vector<CString> m_paths;
    CFlagSet128 m_filter;
    int m_nSearchMode = 1;
    int m_nNext = 0;
    int m_nCurrent = -1;
};

// Makes the walker of a catalog for a table extension ("kqa" ...); an empty
// function restores the default.
using KitWalkerFactory = std::function<std::unique_ptr<CKitWalker>(LPCTSTR extension)>;
void SetKitWalkerFactory(KitWalkerFactory factory);

// The shape the four catalogs share: a walker, an optional kit filter, the
// table of the kind (built on the support folder and closed at once) and the
// walk's position.
template <class Table, class Record>
class CTableCatalog : public CObject {
public:
    CTableCatalog(LPCTSTR extension, const CFlagSet128* pFilter);
    ~CTableCatalog() override;
    CTableCatalog(const CTableCatalog&) = delete;
    CTableCatalog& operator=(const CTableCatalog&) = delete;

    BOOL GetFirst(Record& record);
    BOOL GetNext(Record& record);

    CKitWalker& GetKits() { return *m_kits; }
    int GetKitIndex() const { return m_nKit; }

protected:
    // Closes the table and opens the first kit; FALSE when there is none.
    BOOL Restart();
    // The next record of the walk and its index in its table.
    BOOL ReadNext(Record& record, int& index);
    virtual BOOL Accept(Record&) { return TRUE; }
    BOOL OpenKit(const CString& path);

    std::unique_ptr<CKitWalker> m_kits;
    Table m_table;
    int m_nCount = 0;
    int m_nKit = -1;
    int m_nCursor = 0;
    CString m_strKitFolder; // of the kit being read, with its backslash
};

class CDesignCatalog : public CTableCatalog<CTableFile, DesignRecord> {
public:
    explicit CDesignCatalog(const CFlagSet128* pFilter = nullptr);

    // Sets the walker's search mode and rebuilds its list of kits.
    void Rescan(int mode);

    using CTableCatalog::GetFirst;
    using CTableCatalog::GetNext;
    // The query learns the kit and record index of every record read; with
    // an empty mask every record is accepted, else the matching ones.
    BOOL GetFirst(DesignQuery& query, DesignRecord& record);
    BOOL GetNext(DesignQuery& query, DesignRecord& record);
};

// Lists each occasion id once, from the first place that holds it; icon
// paths are made to point into the kit's folder.
class COccasionCatalog : public CTableCatalog<COccasionTable, OccasionRecord> {
public:
    explicit COccasionCatalog(const CFlagSet128* pFilter = nullptr);

    BOOL GetFirst(OccasionRecord& record);
    int Count();

protected:
    BOOL Accept(OccasionRecord& record) override;

private:
    BYTE m_seen[CFlagSet128::kFlags] = {};
};

class CProjectKindCatalog : public CTableCatalog<CProjectKindTable, ProjectKindRecord> {
public:
    explicit CProjectKindCatalog(const CFlagSet128* pFilter = nullptr);

    BOOL GetKindName(int nKindId, CString& name);
    // A stored path made to name the file in the folder of the kit being
    // read; an empty path stays empty.
    void MakeFullPath(CString& path) const;
};

class CCategoryCatalog : public CTableCatalog<CCategoryTable, CategoryRecord> {
public:
    explicit CCategoryCatalog(const CFlagSet128* pFilter = nullptr);
};

// Progress of a design index load, with Cancel. The control kit's progress
// dialog lies above this layer and installs its factory at start-up
// (InstallProgressDisplays).
class CIndexProgress {
public:
    virtual ~CIndexProgress() = default;
    virtual void Start(UINT nMessageId, int nFull) = 0;
    virtual void Step() = 0;
    virtual BOOL IsCancelled() = 0;
    virtual void Finish() = 0;
};
using IndexProgressFactory = std::function<std::unique_ptr<CIndexProgress>()>;
// Without a factory the load shows no progress and cannot be cancelled.
void SetIndexProgressFactory(IndexProgressFactory factory);

class CDesignIndex {
public:
    // The filter (not owned; may be null) restricts the kits read.
    explicit CDesignIndex(const CFlagSet128* pFilter = nullptr);
    ~CDesignIndex();

    // Reads every design record once; a cancelled load leaves the index
    // empty and not loaded. TRUE when loaded.
    BOOL Load();
    void Clear();
    BOOL IsLoaded() const { return m_bLoaded; }
    int GetCount() const { return static_cast<int>(m_records.size()); }

    // Takes a copy of the kit filter and forgets the records read so far, so
    // that the next search reads the kits the filter enables.
    void SetFilter(const CFlagSet128& filter);
    // The filter the index reads with; null when every kit is read.
    const CFlagSet128* GetFilter() const { return m_pFilter; }

    // FALSE when the query selects nothing or nothing matches; the record
    // stays owned by the index.
    BOOL FindFirst(DesignQuery& query, const DesignRecord*& pRecord);
    BOOL FindNext(DesignQuery& query, const DesignRecord*& pRecord);

private:
    int m_nCursor = 0;
    std::vector<std::unique_ptr<DesignRecord>> m_records;
    std::vector<int> m_recordKit; // index into m_kitFolders per record
    std::vector<CString> m_kitFolders;
    const CFlagSet128* m_pFilter;
    CFlagSet128 m_ownFilter; // what SetFilter was given
    BOOL m_bLoaded = FALSE;
    BOOL m_bCancel = FALSE;
};

// When the file does not exist, the path becomes the current kit folder
// followed by the last folder name and file name of the given path.
void RelocateToKitFolder(CString& path);
