#include "platform/storage/StorageObjects.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr DWORD kAccessMask = 0x3;
constexpr DWORD kShareMask = 0x70;
constexpr DWORD kElementModeBits = kAccessMask | kShareMask | STGM_CREATE | STGM_TRANSACTED;

struct EnumEntry {
    std::u16string name;
    ElementType type;
    ULONGLONG size;
    CLSID clsid;
    DWORD stateBits;
    FILETIME ctime;
    FILETIME mtime;
};

class ElementEnum final : public RefCounted<IEnumSTATSTG> {
public:
    explicit ElementEnum(std::shared_ptr<const std::vector<EnumEntry>> entries, size_t next = 0)
        : m_entries(std::move(entries))
        , m_next(next)
    {
    }
    HRESULT Next(ULONG celt, STATSTG* rgelt, ULONG* pceltFetched) override
    {
        if (!rgelt || (celt > 1 && !pceltFetched))
            return STG_E_INVALIDPOINTER;
        ULONG fetched = 0;
        while (fetched < celt && m_next < m_entries->size()) {
            const EnumEntry& entry = (*m_entries)[m_next];
            STATSTG& out = rgelt[fetched];
            std::memset(&out, 0, sizeof out);
            out.pwcsName = CopyNameForStat(entry.name);
            if (!out.pwcsName) {
                for (ULONG i = 0; i < fetched; ++i)
                    CoTaskMemFree(rgelt[i].pwcsName);
                return E_OUTOFMEMORY;
            }
            out.type = entry.type == ElementType::Storage ? STGTY_STORAGE : STGTY_STREAM;
            out.cbSize.QuadPart = entry.size;
            out.clsid = entry.clsid;
            out.grfStateBits = entry.stateBits;
            out.ctime = entry.ctime;
            out.mtime = entry.mtime;
            ++fetched;
            ++m_next;
        }
        if (pceltFetched)
            *pceltFetched = fetched;
        return fetched == celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG celt) override
    {
        size_t left = m_entries->size() - m_next;
        m_next += std::min<size_t>(celt, left);
        return celt <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override
    {
        m_next = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumSTATSTG** ppenum) override
    {
        if (!ppenum)
            return STG_E_INVALIDPOINTER;
        *ppenum = new ElementEnum(m_entries, m_next);
        return S_OK;
    }

private:
    ~ElementEnum() override = default;
    std::shared_ptr<const std::vector<EnumEntry>> m_entries;
    size_t m_next;
};

bool Contains(const StorageNode& tree, const StorageNode* node)
{
    if (&tree == node)
        return true;
    for (const auto& child : tree.Children()) {
        if (child->type == ElementType::Storage && Contains(*child, node))
            return true;
    }
    return false;
}

} // namespace

DocStorage::DocStorage(std::unique_ptr<StorageFile> file, std::shared_ptr<StorageNode> tree, DWORD grfMode)
    : m_file(std::move(file))
    , m_node(std::move(tree))
    , m_mode(grfMode)
{
    m_working = IsTransacted() ? DeepCopy(*m_node) : m_node;
}

DocStorage::DocStorage(DocStorage* parent, std::shared_ptr<StorageNode> node, DWORD grfMode)
    : m_parent(parent)
    , m_node(std::move(node))
    , m_mode(grfMode)
{
    m_parent->AddRef();
    ++m_node->openCount;
    m_working = IsTransacted() ? DeepCopy(*m_node) : m_node;
}

DocStorage::~DocStorage()
{
    if (m_parent) {
        --m_node->openCount;
        m_parent->Release();
        return;
    }
    if (!IsTransacted() && m_file->dirty && CanWrite())
        m_file->Save(*m_working);
}

DocStorage* DocStorage::Root()
{
    DocStorage* storage = this;
    while (storage->m_parent)
        storage = storage->m_parent;
    return storage;
}

bool DocStorage::IsReverted() const
{
    return m_node->detached || (m_parent && m_parent->IsReverted());
}

bool DocStorage::CanWrite() const
{
    return (m_mode & kAccessMask) != STGM_READ;
}

void DocStorage::MarkChanged()
{
    Root()->m_file->dirty = true;
}

void DocStorage::PlaceChild(std::shared_ptr<StorageNode> node)
{
    m_working->Place(std::move(node));
    MarkChanged();
}

HRESULT DocStorage::CheckElementMode(DWORD grfMode, bool forStream, bool creating) const
{
    if ((grfMode & kAccessMask) == kAccessMask || (grfMode & ~kElementModeBits) != 0)
        return STG_E_INVALIDFLAG;
    if (!creating && (grfMode & STGM_CREATE))
        return STG_E_INVALIDFLAG;
    // Elements of a compound file can only be opened by one object at a time.
    if ((grfMode & kShareMask) != STGM_SHARE_EXCLUSIVE)
        return STG_E_INVALIDFLAG;
    if (forStream && (grfMode & STGM_TRANSACTED))
        return STG_E_INVALIDFUNCTION;
    if ((creating || (grfMode & kAccessMask) != STGM_READ) && !CanWrite())
        return STG_E_ACCESSDENIED;
    return S_OK;
}

HRESULT DocStorage::PrepareElement(const OLECHAR* pwcsName, DWORD grfMode, ElementType type, ElementCall call,
    std::shared_ptr<StorageNode>& out)
{
    const bool creating = call == ElementCall::Create;
    if (IsReverted())
        return STG_E_REVERTED;
    std::u16string name;
    if (HRESULT hr = NameFromPointer(pwcsName, name); FAILED(hr))
        return hr;
    if (HRESULT hr = CheckElementMode(grfMode, type == ElementType::Stream, creating); FAILED(hr))
        return hr;
    auto existing = m_working->Find(name);
    if (!creating) {
        if (!existing || existing->type != type)
            return STG_E_FILENOTFOUND;
        if (existing->openCount > 0)
            return STG_E_ACCESSDENIED;
        out = std::move(existing);
        return S_OK;
    }
    if (existing) {
        if (!(grfMode & STGM_CREATE))
            return STG_E_FILEALREADYEXISTS;
        if (existing->openCount > 0)
            return STG_E_ACCESSDENIED;
    }
    out = std::make_shared<StorageNode>();
    out->name = name;
    out->type = type;
    PlaceChild(out);
    return S_OK;
}

HRESULT DocStorage::CreateStream(const OLECHAR* pwcsName, DWORD grfMode, DWORD, DWORD, IStream** ppstm)
{
    if (!ppstm)
        return STG_E_INVALIDPOINTER;
    *ppstm = nullptr;
    std::shared_ptr<StorageNode> node;
    if (HRESULT hr = PrepareElement(pwcsName, grfMode, ElementType::Stream, ElementCall::Create, node); FAILED(hr))
        return hr;
    *ppstm = new DocStream(this, node, grfMode);
    return S_OK;
}

HRESULT DocStorage::OpenStream(const OLECHAR* pwcsName, void* reserved1, DWORD grfMode, DWORD, IStream** ppstm)
{
    if (!ppstm)
        return STG_E_INVALIDPOINTER;
    *ppstm = nullptr;
    if (reserved1)
        return STG_E_INVALIDPARAMETER;
    std::shared_ptr<StorageNode> node;
    if (HRESULT hr = PrepareElement(pwcsName, grfMode, ElementType::Stream, ElementCall::Open, node); FAILED(hr))
        return hr;
    *ppstm = new DocStream(this, node, grfMode);
    return S_OK;
}

HRESULT DocStorage::CreateStorage(const OLECHAR* pwcsName, DWORD grfMode, DWORD, DWORD, IStorage** ppstg)
{
    if (!ppstg)
        return STG_E_INVALIDPOINTER;
    *ppstg = nullptr;
    std::shared_ptr<StorageNode> node;
    if (HRESULT hr = PrepareElement(pwcsName, grfMode, ElementType::Storage, ElementCall::Create, node); FAILED(hr))
        return hr;
    *ppstg = new DocStorage(this, node, grfMode & ~STGM_CREATE);
    return S_OK;
}

HRESULT DocStorage::OpenStorage(const OLECHAR* pwcsName, IStorage* pstgPriority, DWORD grfMode, SNB snbExclude,
    DWORD, IStorage** ppstg)
{
    if (!ppstg)
        return STG_E_INVALIDPOINTER;
    *ppstg = nullptr;
    if (pstgPriority || snbExclude)
        return STG_E_INVALIDFUNCTION;
    std::shared_ptr<StorageNode> node;
    if (HRESULT hr = PrepareElement(pwcsName, grfMode, ElementType::Storage, ElementCall::Open, node); FAILED(hr))
        return hr;
    *ppstg = new DocStorage(this, node, grfMode);
    return S_OK;
}

HRESULT DocStorage::CopyElementInto(const StorageNode& element, IStorage* dest, const std::u16string& name)
{
    constexpr DWORD kMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
    if (element.type == ElementType::Stream) {
        IStream* stream = nullptr;
        HRESULT hr = dest->CreateStream(name.c_str(), kMode | STGM_CREATE, 0, 0, &stream);
        if (FAILED(hr))
            return hr;
        size_t done = 0;
        while (done < element.data.size() && SUCCEEDED(hr)) {
            const ULONG n = ULONG(std::min<size_t>(element.data.size() - done, 1u << 20));
            ULONG written = 0;
            hr = stream->Write(element.data.data() + done, n, &written);
            done += written;
        }
        stream->Release();
        return hr;
    }
    IStorage* storage = nullptr;
    HRESULT hr = dest->OpenStorage(name.c_str(), nullptr, kMode, nullptr, 0, &storage);
    if (hr == STG_E_FILENOTFOUND)
        hr = dest->CreateStorage(name.c_str(), kMode | STGM_CREATE, 0, 0, &storage);
    if (FAILED(hr))
        return hr;
    hr = storage->SetClass(element.clsid);
    if (SUCCEEDED(hr))
        hr = storage->SetStateBits(element.stateBits, ~DWORD(0));
    if (SUCCEEDED(hr))
        hr = CopyChildrenInto(element, storage, {}, false, false);
    if (SUCCEEDED(hr))
        hr = storage->Commit(STGC_DEFAULT);
    storage->Release();
    return hr;
}

HRESULT DocStorage::CopyChildrenInto(const StorageNode& from, IStorage* dest, const std::vector<std::u16string>& exclude,
    bool skipStorages, bool skipStreams)
{
    // A snapshot: the destination may be a storage that holds this one.
    const auto children = from.Children();
    for (const auto& child : children) {
        if ((child->type == ElementType::Storage && skipStorages) || (child->type == ElementType::Stream && skipStreams))
            continue;
        if (std::any_of(exclude.begin(), exclude.end(), [&](const std::u16string& n) { return NamesEqual(n, child->name); }))
            continue;
        if (HRESULT hr = CopyElementInto(*child, dest, child->name); FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT DocStorage::CopyTo(DWORD ciidExclude, const IID* rgiidExclude, SNB snbExclude, IStorage* pstgDest)
{
    if (!pstgDest || (ciidExclude > 0 && !rgiidExclude))
        return STG_E_INVALIDPOINTER;
    if (IsReverted())
        return STG_E_REVERTED;
    bool skipStorages = false;
    bool skipStreams = false;
    for (DWORD i = 0; i < ciidExclude; ++i) {
        skipStorages = skipStorages || rgiidExclude[i] == IID_IStorage;
        skipStreams = skipStreams || rgiidExclude[i] == IID_IStream;
    }
    std::vector<std::u16string> exclude;
    for (size_t i = 0; snbExclude && snbExclude[i]; ++i) {
        std::u16string name;
        if (SUCCEEDED(NameFromPointer(snbExclude[i], name)))
            exclude.push_back(std::move(name));
    }
    if (auto* ours = dynamic_cast<DocStorage*>(pstgDest); ours && Contains(*m_working, ours->Working().get()))
        return STG_E_ACCESSDENIED;
    if (HRESULT hr = pstgDest->SetClass(m_working->clsid); FAILED(hr))
        return hr;
    return CopyChildrenInto(*m_working, pstgDest, exclude, skipStorages, skipStreams);
}

HRESULT DocStorage::MoveElementTo(const OLECHAR* pwcsName, IStorage* pstgDest, const OLECHAR* pwcsNewName,
    DWORD grfFlags)
{
    if (!pstgDest)
        return STG_E_INVALIDPOINTER;
    if (grfFlags != STGMOVE_MOVE && grfFlags != STGMOVE_COPY)
        return STG_E_INVALIDFLAG;
    if (IsReverted())
        return STG_E_REVERTED;
    std::u16string name;
    std::u16string newName;
    if (HRESULT hr = NameFromPointer(pwcsName, name); FAILED(hr))
        return hr;
    if (HRESULT hr = NameFromPointer(pwcsNewName, newName); FAILED(hr))
        return hr;
    auto node = m_working->Find(name);
    if (!node)
        return STG_E_FILENOTFOUND;
    if (grfFlags == STGMOVE_MOVE && (!CanWrite() || node->openCount > 0))
        return STG_E_ACCESSDENIED;
    if (auto* ours = dynamic_cast<DocStorage*>(pstgDest); ours && Contains(*node, ours->Working().get()))
        return STG_E_ACCESSDENIED;
    if (HRESULT hr = CopyElementInto(*node, pstgDest, newName); FAILED(hr))
        return hr;
    if (grfFlags == STGMOVE_MOVE && m_working->Find(name) == node) {
        m_working->Remove(name);
        MarkChanged();
    }
    return S_OK;
}

HRESULT DocStorage::Commit(DWORD grfCommitFlags)
{
    if (grfCommitFlags & ~DWORD(STGC_OVERWRITE | STGC_ONLYIFCURRENT | STGC_DANGEROUSLYCOMMITMERELYTODISK))
        return STG_E_INVALIDFLAG;
    if (IsReverted())
        return STG_E_REVERTED;
    if (m_parent) {
        if (IsTransacted() && CanWrite()) {
            CopyContents(*m_node, *m_working);
            m_parent->MarkChanged();
        }
        return S_OK;
    }
    // Only-if-current refuses to overwrite what another open wrote since
    // this one read the file; the overwrite hint changes nothing, as a
    // commit always writes a whole new file.
    if ((grfCommitFlags & STGC_ONLYIFCURRENT) && !m_file->IsCurrent())
        return STG_E_NOTCURRENT;
    if (!m_file->dirty)
        return S_OK;
    if (!CanWrite())
        return STG_E_ACCESSDENIED;
    if (HRESULT hr = m_file->Save(*m_working); FAILED(hr))
        return hr;
    if (IsTransacted())
        m_node = DeepCopy(*m_working);
    return S_OK;
}

HRESULT DocStorage::Revert()
{
    if (IsReverted())
        return STG_E_REVERTED;
    if (!IsTransacted())
        return S_OK;
    CopyContents(*m_working, *m_node);
    if (!m_parent)
        m_file->dirty = false;
    return S_OK;
}

HRESULT DocStorage::EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3, IEnumSTATSTG** ppenum)
{
    if (!ppenum)
        return STG_E_INVALIDPOINTER;
    *ppenum = nullptr;
    if (reserved1 || reserved2 || reserved3)
        return STG_E_INVALIDPARAMETER;
    if (IsReverted())
        return STG_E_REVERTED;
    auto entries = std::make_shared<std::vector<EnumEntry>>();
    entries->reserve(m_working->Children().size());
    for (const auto& child : m_working->Children()) {
        entries->push_back(EnumEntry { child->name, child->type, child->data.size(),
            child->type == ElementType::Storage ? child->clsid : CLSID_NULL, child->stateBits, child->ctime, child->mtime });
    }
    *ppenum = new ElementEnum(std::move(entries));
    return S_OK;
}

HRESULT DocStorage::DestroyElement(const OLECHAR* pwcsName)
{
    if (IsReverted())
        return STG_E_REVERTED;
    std::u16string name;
    if (HRESULT hr = NameFromPointer(pwcsName, name); FAILED(hr))
        return hr;
    if (!CanWrite())
        return STG_E_ACCESSDENIED;
    if (!m_working->Remove(name))
        return STG_E_FILENOTFOUND;
    MarkChanged();
    return S_OK;
}

HRESULT DocStorage::RenameElement(const OLECHAR* pwcsOldName, const OLECHAR* pwcsNewName)
{
    if (IsReverted())
        return STG_E_REVERTED;
    std::u16string oldName;
    std::u16string newName;
    if (HRESULT hr = NameFromPointer(pwcsOldName, oldName); FAILED(hr))
        return hr;
    if (HRESULT hr = NameFromPointer(pwcsNewName, newName); FAILED(hr))
        return hr;
    if (!CanWrite())
        return STG_E_ACCESSDENIED;
    auto node = m_working->Find(oldName);
    if (!node)
        return STG_E_FILENOTFOUND;
    auto other = m_working->Find(newName);
    if (other && other != node)
        return STG_E_FILEALREADYEXISTS;
    if (node->openCount > 0)
        return STG_E_ACCESSDENIED;
    m_working->RenameChild(node, std::move(newName));
    MarkChanged();
    return S_OK;
}

HRESULT DocStorage::SetElementTimes(const OLECHAR* pwcsName, const FILETIME* pctime, const FILETIME* patime,
    const FILETIME* pmtime)
{
    (void)patime; // no access time is kept
    if (IsReverted())
        return STG_E_REVERTED;
    if (!CanWrite())
        return STG_E_ACCESSDENIED;
    std::shared_ptr<StorageNode> node = m_working;
    if (pwcsName) {
        std::u16string name;
        if (HRESULT hr = NameFromPointer(pwcsName, name); FAILED(hr))
            return hr;
        node = m_working->Find(name);
        if (!node)
            return STG_E_FILENOTFOUND;
    }
    if (pctime)
        node->ctime = *pctime;
    if (pmtime)
        node->mtime = *pmtime;
    return S_OK;
}

HRESULT DocStorage::SetClass(REFCLSID clsid)
{
    if (IsReverted())
        return STG_E_REVERTED;
    if (!CanWrite())
        return STG_E_ACCESSDENIED;
    if (m_working->clsid != clsid) {
        m_working->clsid = clsid;
        MarkChanged();
    }
    return S_OK;
}

HRESULT DocStorage::SetStateBits(DWORD grfStateBits, DWORD grfMask)
{
    if (IsReverted())
        return STG_E_REVERTED;
    if (!CanWrite())
        return STG_E_ACCESSDENIED;
    m_working->stateBits = (m_working->stateBits & ~grfMask) | (grfStateBits & grfMask);
    return S_OK;
}

HRESULT DocStorage::Stat(STATSTG* pstatstg, DWORD grfStatFlag)
{
    if (HRESULT hr = StartStat(pstatstg, grfStatFlag, IsReverted(), m_parent ? m_node->name : m_file->name); FAILED(hr))
        return hr;
    pstatstg->type = STGTY_STORAGE;
    pstatstg->clsid = m_working->clsid;
    pstatstg->grfMode = m_mode;
    pstatstg->grfStateBits = m_working->stateBits;
    pstatstg->ctime = m_working->ctime;
    pstatstg->mtime = m_working->mtime;
    return S_OK;
}

} // namespace platform
