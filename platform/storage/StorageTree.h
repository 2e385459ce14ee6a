#pragma once
// The in-memory form of a compound file: a tree of storages and streams. A
// file is read whole into such a tree, every open storage and stream works on
// it, and a commit writes the whole tree out again. Nodes are shared between
// the storage objects that have them open; a transacted storage works on a
// deep copy of its node and puts it back on commit.

#include "platform/base/Guid.h"
#include "platform/base/Types.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

// Element names hold at most this many UTF-16 units (32 with the zero).
constexpr size_t kMaxElementName = 31;
// No stream grows past this; a write that would is refused as the medium
// being full rather than trying to allocate it.
constexpr ULONGLONG kMaxStreamSize = ULONGLONG(1) << 30;

enum class ElementType { Storage, Stream };

struct StorageNode {
    // Set before the node is placed in a storage; afterwards it changes only
    // through that storage's RenameChild, which keeps the lookup right.
    std::u16string name;
    ElementType type = ElementType::Stream;
    CLSID clsid = CLSID_NULL;
    DWORD stateBits = 0;
    FILETIME ctime {};
    FILETIME mtime {};
    std::vector<BYTE> data; // streams
    // Open storage and stream objects on this node; elements of a storage
    // are opened exclusively.
    int openCount = 0;
    // Set when the element is destroyed or replaced while objects have it
    // open, so that they answer STG_E_REVERTED instead of writing into
    // nothing.
    bool detached = false;

    // A storage's children in file order: as read, then new ones after them.
    const std::vector<std::shared_ptr<StorageNode>>& Children() const { return m_children; }
    // The child of that name (compared without case), or null.
    std::shared_ptr<StorageNode> Find(std::u16string_view childName) const;
    // Removes the child of that name and marks it (and what is below it)
    // detached; false when there is none.
    bool Remove(std::u16string_view childName);
    // Puts a child in place of the one of the same name (which is detached)
    // or, when there is none, after the others.
    void Place(std::shared_ptr<StorageNode> child);
    // Adds a child after the others; false, and nothing added, when a child
    // of the same name is there already.
    bool Add(std::shared_ptr<StorageNode> child);
    // Gives a child of this storage a new name, which no other child has.
    void RenameChild(const std::shared_ptr<StorageNode>& child, std::u16string newName);
    // Detaches and drops every child.
    void RemoveAll();

private:
    std::vector<std::shared_ptr<StorageNode>> m_children;
    // Children by folded name, so that finding one does not compare every
    // name: a storage may hold thousands.
    std::unordered_map<std::u16string, std::shared_ptr<StorageNode>> m_byName;
};

// A copy of the node and everything below it, with no objects open on it.
std::shared_ptr<StorageNode> DeepCopy(const StorageNode& node);
// Makes target hold a copy of source's contents (class, state, data,
// children) while target keeps its own name and open objects.
void CopyContents(StorageNode& target, const StorageNode& source);

// Names are compared without case the way compound files compare them: the
// Latin range through the 1252 case map, other characters by simple Unicode
// upper-casing.
char16_t FoldNameChar(char16_t ch);
bool NamesEqual(std::u16string_view a, std::u16string_view b);
// The name with every character folded: equal for names that are equal.
std::u16string FoldName(std::u16string_view name);
// The order a storage's children keep in a file's directory: shorter names
// first, names of one length by their folded characters. Negative, zero or
// positive as a sorts before, with or after b.
int CompareNames(std::u16string_view a, std::u16string_view b);

// S_OK, or STG_E_INVALIDNAME for an empty or too long name, one holding
// '\', '/', ':' or '!', or an unpaired surrogate.
HRESULT CheckElementName(std::u16string_view name);
// Reads a zero-terminated name handed in by a caller and checks it:
// STG_E_INVALIDPOINTER for null, else CheckElementName's answer. Reading
// stops past the longest valid name, so an unterminated name is not run off.
HRESULT NameFromPointer(const OLECHAR* name, std::u16string& out);

} // namespace platform
