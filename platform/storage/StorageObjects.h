#pragma once
// The compound-file implementations of IStorage, IStream and IEnumSTATSTG,
// and the file behind a root storage. Internal to the storage module.
//
// Ownership: every open storage or stream holds a reference to the storage
// it was opened from, so a root lives until its last element is released.
// The root owns the StorageFile (its path, its share lock and whether the
// tree has changed).
//
// Transactions: a transacted storage works on a deep copy of its node;
// Commit copies it back into the node of its parent (for the root: writes
// the file), Revert copies the node over it again and reverts the elements
// opened below it. A direct storage works on its node itself; a direct root
// writes the file when Commit is called and when it is released, if
// anything changed (so a direct open that fails to write at release has
// nobody to tell: callers that care commit). Streams are always direct
// within their storage. Element times and state bits live only while the
// file is open; they are not written.

#include "platform/files/ShareLock.h"
#include "platform/storage/Storage.h"
#include "platform/storage/StorageTree.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

// The reference count of the storage module's objects: each starts with
// one reference for its creator and deletes itself when the last goes.
template <class Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

private:
    ULONG m_refs = 1;
};

class StorageFile {
public:
    ~StorageFile();
    StorageFile(const StorageFile&) = delete;
    StorageFile& operator=(const StorageFile&) = delete;

    StorageFile(std::string hostPath, std::u16string name, DWORD grfMode);

    // Opens the file at hostPath and takes its share state for the mode;
    // STG_E_SHAREVIOLATION when another open conflicts. A lock already held
    // is given up only once the new one is held.
    HRESULT Lock();
    // Reads the locked file's bytes.
    HRESULT ReadAll(std::vector<BYTE>& out) const;
    // Writes the tree as the new file (beside the old one, then renamed over
    // it) and moves the lock to the new file.
    HRESULT Save(const StorageNode& root);
    // Whether the file on disk is still the one this open read or last
    // wrote.
    bool IsCurrent() const;

    const std::string hostPath; // empty for a storage on bytes in memory
    const std::u16string name;  // the path as the caller gave it, for Stat
    const DWORD mode;
    bool deleteOnRelease = false;
    bool dirty = false;

private:
    struct Identity {
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t mtimeSec = 0;
        int64_t mtimeNsec = 0;
        bool operator==(const Identity&) const = default;
    };
    bool IdentityOf(int fd, Identity& out) const;

    int m_fd = -1;
    ShareLock m_lock;
    Identity m_identity;
};

class DocStorage final : public RefCounted<IStorage> {
public:
    // A root over a tree read from (or made for) a file.
    DocStorage(std::unique_ptr<StorageFile> file, std::shared_ptr<StorageNode> tree, DWORD grfMode);
    // An element of an open storage.
    DocStorage(DocStorage* parent, std::shared_ptr<StorageNode> node, DWORD grfMode);

    HRESULT CreateStream(const OLECHAR* pwcsName, DWORD grfMode, DWORD reserved1, DWORD reserved2,
        IStream** ppstm) override;
    HRESULT OpenStream(const OLECHAR* pwcsName, void* reserved1, DWORD grfMode, DWORD reserved2,
        IStream** ppstm) override;
    HRESULT CreateStorage(const OLECHAR* pwcsName, DWORD grfMode, DWORD reserved1, DWORD reserved2,
        IStorage** ppstg) override;
    HRESULT OpenStorage(const OLECHAR* pwcsName, IStorage* pstgPriority, DWORD grfMode, SNB snbExclude,
        DWORD reserved, IStorage** ppstg) override;
    HRESULT CopyTo(DWORD ciidExclude, const IID* rgiidExclude, SNB snbExclude, IStorage* pstgDest) override;
    HRESULT MoveElementTo(const OLECHAR* pwcsName, IStorage* pstgDest, const OLECHAR* pwcsNewName,
        DWORD grfFlags) override;
    HRESULT Commit(DWORD grfCommitFlags) override;
    HRESULT Revert() override;
    HRESULT EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3, IEnumSTATSTG** ppenum) override;
    HRESULT DestroyElement(const OLECHAR* pwcsName) override;
    HRESULT RenameElement(const OLECHAR* pwcsOldName, const OLECHAR* pwcsNewName) override;
    HRESULT SetElementTimes(const OLECHAR* pwcsName, const FILETIME* pctime, const FILETIME* patime,
        const FILETIME* pmtime) override;
    HRESULT SetClass(REFCLSID clsid) override;
    HRESULT SetStateBits(DWORD grfStateBits, DWORD grfMask) override;
    HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) override;

    // Whether this storage can no longer be used: it, or a storage above
    // it, was reverted or destroyed since it was opened.
    bool IsReverted() const;
    bool CanWrite() const;
    // Records a change below this storage, so that the root writes it.
    void MarkChanged();
    const std::shared_ptr<StorageNode>& Working() const { return m_working; }

private:
    ~DocStorage() override;
    DocStorage* Root();
    bool IsTransacted() const { return (m_mode & STGM_TRANSACTED) != 0; }
    // Puts a new element in place of an existing one of the same name or
    // after the others.
    void PlaceChild(std::shared_ptr<StorageNode> node);
    // The common checks of an element's creation or opening mode.
    HRESULT CheckElementMode(DWORD grfMode, bool forStream, bool creating) const;
    enum class ElementCall { Create, Open };
    // The checks and lookup shared by the create and open calls of streams
    // and storages. Create puts a new node in place (replacing one of the
    // same name when the mode allows it); Open finds an existing one of that
    // type that nobody has open.
    HRESULT PrepareElement(const OLECHAR* pwcsName, DWORD grfMode, ElementType type, ElementCall call,
        std::shared_ptr<StorageNode>& out);
    // Copies one element (stream data or storage tree) into another storage
    // under a name, through that storage's interface.
    static HRESULT CopyElementInto(const StorageNode& element, IStorage* dest, const std::u16string& name);
    static HRESULT CopyChildrenInto(const StorageNode& from, IStorage* dest, const std::vector<std::u16string>& exclude,
        bool skipStorages, bool skipStreams);

    DocStorage* m_parent = nullptr; // one reference held
    std::unique_ptr<StorageFile> m_file; // the root's only
    std::shared_ptr<StorageNode> m_node;    // as committed (in the parent's tree, or the file's for the root)
    std::shared_ptr<StorageNode> m_working; // a copy when transacted, else m_node itself
    DWORD m_mode;
};

class DocStream final : public RefCounted<IStream> {
public:
    DocStream(DocStorage* parent, std::shared_ptr<StorageNode> node, DWORD grfMode);

    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override;
    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override;
    HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override;
    HRESULT SetSize(ULARGE_INTEGER libNewSize) override;
    HRESULT CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) override;
    HRESULT Commit(DWORD grfCommitFlags) override;
    HRESULT Revert() override;
    HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) override;
    HRESULT Clone(IStream** ppstm) override;

private:
    ~DocStream() override;
    bool IsReverted() const;

    DocStorage* m_parent; // one reference held
    std::shared_ptr<StorageNode> m_node;
    DWORD m_mode;
    ULONGLONG m_position = 0;
};

// Shared by every IStream: the bytes from the current position up to cb
// (all of them for ULLONG_MAX) copied into another stream in pieces.
HRESULT CopyStreamBytes(IStream* from, IStream* to, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
    ULARGE_INTEGER* pcbWritten);
// The name as a CoTaskMemAlloc'd zero-terminated string for a STATSTG.
LPOLESTR CopyNameForStat(const std::u16string& name);
// The start of a storage's or stream's Stat: checks the arguments, clears
// the record and, unless the caller asked for no name, gives it the name.
HRESULT StartStat(STATSTG* pstatstg, DWORD grfStatFlag, bool reverted, const std::u16string& name);
// Seek arithmetic shared by the streams: the new position or
// STG_E_INVALIDFUNCTION for a bad origin or a position before the start.
HRESULT SeekPosition(ULONGLONG current, ULONGLONG size, LARGE_INTEGER move, DWORD origin, ULONGLONG& out);

} // namespace platform
