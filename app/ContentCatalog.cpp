#include "app/ContentCatalog.h"

#include "app/KitFinder.h"
#include "app/Paths.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// The progress message and full count of a design index load.
constexpr UINT kLoadingDesignWizardString = 1008;
constexpr int kDesignIndexFullCount = 1513;
// The program and its kits hold a few thousand designs; tables that claim
// far more are damaged or hostile, and are not allowed to fill memory.
constexpr size_t kMaxIndexedDesigns = 100000;

KitWalkerFactory& WalkerFactory()
{
    static KitWalkerFactory factory;
    return factory;
}

IndexProgressFactory& ProgressFactory()
{
    static IndexProgressFactory factory;
    return factory;
}

std::unique_ptr<CKitWalker> MakeWalker(LPCTSTR extension)
{
    if (WalkerFactory())
        return WalkerFactory()(extension);
    return std::make_unique<CKitFinder>(extension);
}

CString FolderOf(const CString& path)
{
    return path.Left(path.ReverseFind('\\') + 1);
}

} // namespace

void SetKitWalkerFactory(KitWalkerFactory factory)
{
    WalkerFactory() = std::move(factory);
}

void SetIndexProgressFactory(IndexProgressFactory factory)
{
    ProgressFactory() = std::move(factory);
}

// CKitPathList

CKitPathList::CKitPathList(LPCTSTR extension, std::vector<CString> paths)
    : m_strExtension(extension)
    , m_paths(std::move(paths))
{
    m_filter.SetAll();
}

BOOL CKitPathList::GetFirstKit(CString& path, int& kind)
{
    m_nNext = 0;
    m_nCurrent = -1;
    return GetNextKit(path, kind);
}

BOOL CKitPathList::GetNextKit(CString& path, int& kind)
{
    while (m_nNext < static_cast<int>(m_paths.size())) {
        const int n = m_nNext++;
        // Only the first 128 kits can be enabled.
        if (!m_filter.Test(n))
            continue;
        m_nCurrent = n;
        path = m_paths[static_cast<size_t>(n)];
        kind = 0;
        return TRUE;
    }
    return FALSE;
}

CString CKitPathList::GetKitFileName(int n) const
{
    if (n < 0 || n >= static_cast<int>(m_paths.size()))
        return CString();
    const CString& path = m_paths[static_cast<size_t>(n)];
    int dot = path.ReverseFind('.');
    CString stem = dot >= 0 ? path.Left(dot + 1) : path + ".";
    return stem + m_strExtension;
}

// CTableCatalog

template <class Table, class Record>
CTableCatalog<Table, Record>::CTableCatalog(LPCTSTR extension, const CFlagSet128* pFilter)
    : m_kits(MakeWalker(extension))
{
    if (pFilter != nullptr)
        m_kits->SetFilter(*pFilter);
    m_table.Close();
}

template <class Table, class Record>
CTableCatalog<Table, Record>::~CTableCatalog()
{
    m_table.Close();
}

template <class Table, class Record>
BOOL CTableCatalog<Table, Record>::OpenKit(const CString& path)
{
    // A table that does not open counts no records, so the walk passes on.
    m_table.OpenTable(path);
    m_nCount = m_table.GetRecordCount();
    m_nCursor = 0;
    m_nKit = m_kits->GetCurrentKit();
    // Pictures and icons named by a kit's tables lie beside the kit's own
    // files, not beside the copy of the table in the support folder.
    m_strKitFolder = FolderOf(path);
    return TRUE;
}

template <class Table, class Record>
BOOL CTableCatalog<Table, Record>::Restart()
{
    m_table.Close();
    m_nCount = 0;
    m_nCursor = 0;
    CString path;
    int kind = 0;
    if (!m_kits->GetFirstKit(path, kind))
        return FALSE;
    return OpenKit(path);
}

template <class Table, class Record>
BOOL CTableCatalog<Table, Record>::ReadNext(Record& record, int& index)
{
    while (m_nCursor >= m_nCount) {
        m_table.Close();
        CString path;
        int kind = 0;
        if (!m_kits->GetNextKit(path, kind))
            return FALSE;
        OpenKit(path);
    }
    index = m_nCursor++;
    return m_table.ReadRecord(index, record);
}

template <class Table, class Record>
BOOL CTableCatalog<Table, Record>::GetFirst(Record& record)
{
    return Restart() && GetNext(record);
}

template <class Table, class Record>
BOOL CTableCatalog<Table, Record>::GetNext(Record& record)
{
    int index = 0;
    while (ReadNext(record, index)) {
        if (Accept(record))
            return TRUE;
    }
    return FALSE;
}

template class CTableCatalog<CTableFile, DesignRecord>;
template class CTableCatalog<COccasionTable, OccasionRecord>;
template class CTableCatalog<CProjectKindTable, ProjectKindRecord>;
template class CTableCatalog<CCategoryTable, CategoryRecord>;

// CDesignCatalog

CDesignCatalog::CDesignCatalog(const CFlagSet128* pFilter)
    : CTableCatalog(kDesignTableStem, pFilter)
{
}

void CDesignCatalog::Rescan(int mode)
{
    m_kits->SetSearchMode(mode);
    m_kits->FindKits();
}

BOOL CDesignCatalog::GetFirst(DesignQuery& query, DesignRecord& record)
{
    return Restart() && GetNext(query, record);
}

BOOL CDesignCatalog::GetNext(DesignQuery& query, DesignRecord& record)
{
    int index = 0;
    while (ReadNext(record, index)) {
        query.nKit = m_nKit;
        query.nFound = index;
        if (query.nMask == 0 || MatchDesign(query, record))
            return TRUE;
    }
    return FALSE;
}

// COccasionCatalog

COccasionCatalog::COccasionCatalog(const CFlagSet128* pFilter)
    : CTableCatalog(kOccasionTableStem, pFilter)
{
}

BOOL COccasionCatalog::GetFirst(OccasionRecord& record)
{
    std::fill(std::begin(m_seen), std::end(m_seen), BYTE(0));
    return CTableCatalog::GetFirst(record);
}

BOOL COccasionCatalog::Accept(OccasionRecord& record)
{
    // An id past the seen flags cannot be told apart from others, and the
    // design records' occasion sets cannot name it either.
    if (record.nId < 0 || record.nId >= CFlagSet128::kFlags)
        return FALSE;
    BYTE& seen = m_seen[record.nId];
    if (seen)
        return FALSE;
    seen = 1;
    if (!record.strIconPath.IsEmpty())
        record.strIconPath = m_strKitFolder + record.strIconPath.Mid(record.strIconPath.ReverseFind('\\') + 1);
    return TRUE;
}

int COccasionCatalog::Count()
{
    int count = 0;
    OccasionRecord record;
    for (BOOL ok = GetFirst(record); ok; ok = GetNext(record))
        ++count;
    return count;
}

// CProjectKindCatalog

CProjectKindCatalog::CProjectKindCatalog(const CFlagSet128* pFilter)
    : CTableCatalog(kProjectKindTableStem, pFilter)
{
}

void CProjectKindCatalog::MakeFullPath(CString& path) const
{
    if (!path.IsEmpty())
        path = m_strKitFolder + path.Mid(path.ReverseFind('\\') + 1);
}

BOOL CProjectKindCatalog::GetKindName(int nKindId, CString& name)
{
    name.Empty();
    ProjectKindRecord record;
    for (BOOL ok = GetFirst(record); ok; ok = GetNext(record)) {
        if (record.nId == nKindId) {
            name = record.strName;
            break;
        }
    }
    return !name.IsEmpty();
}

// CCategoryCatalog

CCategoryCatalog::CCategoryCatalog(const CFlagSet128* pFilter)
    : CTableCatalog(kCategoryTableStem, pFilter)
{
}

// CDesignIndex

CDesignIndex::CDesignIndex(const CFlagSet128* pFilter)
    : m_pFilter(pFilter)
{
}

CDesignIndex::~CDesignIndex() = default;

void CDesignIndex::Clear()
{
    m_records.clear();
    m_recordKit.clear();
    m_kitFolders.clear();
    m_nCursor = 0;
    m_bLoaded = FALSE;
}

void CDesignIndex::SetFilter(const CFlagSet128& filter)
{
    m_ownFilter = filter;
    m_pFilter = &m_ownFilter;
    Clear();
}

BOOL CDesignIndex::Load()
{
    if (m_bLoaded)
        return TRUE;
    Clear();
    std::unique_ptr<CIndexProgress> progress = ProgressFactory() ? ProgressFactory()() : nullptr;
    if (progress)
        progress->Start(kLoadingDesignWizardString, kDesignIndexFullCount);
    m_bCancel = FALSE;
    {
        CDesignCatalog catalog(m_pFilter);
        catalog.Rescan(0);
        DesignQuery query;
        DesignRecord record;
        int lastKit = -2;
        int folder = -1;
        for (BOOL ok = catalog.GetFirst(query, record); ok; ok = catalog.GetNext(query, record)) {
            if (query.nKit != lastKit) {
                lastKit = query.nKit;
                m_kitFolders.push_back(catalog.GetKits().GetKitFileName(query.nKit));
                folder = static_cast<int>(m_kitFolders.size()) - 1;
            }
            if (m_records.size() >= kMaxIndexedDesigns)
                break;
            m_records.push_back(std::make_unique<DesignRecord>(record));
            m_recordKit.push_back(folder);
            if (progress) {
                progress->Step();
                if (progress->IsCancelled()) {
                    m_bCancel = TRUE;
                    break;
                }
            }
        }
    }
    if (progress)
        progress->Finish();
    if (m_bCancel)
        Clear();
    m_bLoaded = !m_bCancel;
    return m_bLoaded;
}

BOOL CDesignIndex::FindFirst(DesignQuery& query, const DesignRecord*& pRecord)
{
    pRecord = nullptr;
    Load();
    if (query.nMask == 0)
        return FALSE;
    m_nCursor = 0;
    return FindNext(query, pRecord);
}

BOOL CDesignIndex::FindNext(DesignQuery& query, const DesignRecord*& pRecord)
{
    pRecord = nullptr;
    while (m_nCursor < static_cast<int>(m_records.size())) {
        const int index = m_nCursor++;
        query.nFound = index;
        if (MatchDesign(query, *m_records[static_cast<size_t>(index)])) {
            pRecord = m_records[static_cast<size_t>(index)].get();
            const int folder = m_recordKit[static_cast<size_t>(index)];
            if (folder >= 0 && folder < static_cast<int>(m_kitFolders.size()))
                SetCurrentKitFolder(m_kitFolders[static_cast<size_t>(folder)]);
            return TRUE;
        }
    }
    query.nFound = -1;
    return FALSE;
}

void RelocateToKitFolder(CString& path)
{
    if (FileExists(path))
        return;
    const CString& kitFolder = GetCurrentKitFolder();
    CString head = kitFolder.Left(kitFolder.ReverseFind('\\') + 1);
    int last = path.ReverseFind('\\');
    int secondLast = last > 0 ? path.Left(last).ReverseFind('\\') : -1;
    CString tail = secondLast >= 0 ? path.Mid(secondLast + 1) : path;
    path = head + tail;
}
