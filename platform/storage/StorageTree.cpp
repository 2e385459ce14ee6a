#include "platform/storage/StorageTree.h"

#include "platform/base/CharClass.h"
#include "platform/base/CodePage.h"
#include "platform/storage/Storage.h"

#include <glib.h>

#include <algorithm>
#include <array>

namespace platform {

namespace {

void Detach(StorageNode& node)
{
    node.detached = true;
    for (const auto& child : node.Children())
        Detach(*child);
}

// The fold of the Latin range, worked out once: it goes through the code
// page's tables, and every lookup folds every character of a name.
char16_t FoldLatinChar(char16_t ch)
{
    static const auto table = [] {
        std::array<char16_t, 0x100> folded {};
        for (unsigned i = 0; i < folded.size(); ++i) {
            unsigned char byte = 0;
            folded[i] = CodePointTo1252(i, byte) ? static_cast<char16_t>(CodePointFrom1252(ToUpper1252(byte)))
                                                 : static_cast<char16_t>(i);
        }
        return folded;
    }();
    return table[ch];
}

} // namespace

std::shared_ptr<StorageNode> StorageNode::Find(std::u16string_view childName) const
{
    auto it = m_byName.find(FoldName(childName));
    return it == m_byName.end() ? nullptr : it->second;
}

bool StorageNode::Remove(std::u16string_view childName)
{
    auto it = m_byName.find(FoldName(childName));
    if (it == m_byName.end())
        return false;
    std::shared_ptr<StorageNode> child = std::move(it->second);
    m_byName.erase(it);
    m_children.erase(std::find(m_children.begin(), m_children.end(), child));
    Detach(*child);
    return true;
}

void StorageNode::Place(std::shared_ptr<StorageNode> child)
{
    auto [it, added] = m_byName.try_emplace(FoldName(child->name), child);
    if (added) {
        m_children.push_back(std::move(child));
        return;
    }
    auto at = std::find(m_children.begin(), m_children.end(), it->second);
    Detach(**at);
    *at = child;
    it->second = std::move(child);
}

bool StorageNode::Add(std::shared_ptr<StorageNode> child)
{
    if (!m_byName.try_emplace(FoldName(child->name), child).second)
        return false;
    m_children.push_back(std::move(child));
    return true;
}

void StorageNode::RenameChild(const std::shared_ptr<StorageNode>& child, std::u16string newName)
{
    m_byName.erase(FoldName(child->name));
    child->name = std::move(newName);
    m_byName[FoldName(child->name)] = child;
}

void StorageNode::RemoveAll()
{
    for (const auto& child : m_children)
        Detach(*child);
    m_children.clear();
    m_byName.clear();
}

std::shared_ptr<StorageNode> DeepCopy(const StorageNode& node)
{
    auto copy = std::make_shared<StorageNode>();
    copy->name = node.name;
    copy->type = node.type;
    copy->clsid = node.clsid;
    copy->stateBits = node.stateBits;
    copy->ctime = node.ctime;
    copy->mtime = node.mtime;
    copy->data = node.data;
    for (const auto& child : node.Children())
        copy->Add(DeepCopy(*child));
    return copy;
}

void CopyContents(StorageNode& target, const StorageNode& source)
{
    if (&target == &source)
        return;
    // Copied before the target lets go of its children: the source may be
    // one of them.
    std::vector<std::shared_ptr<StorageNode>> children;
    children.reserve(source.Children().size());
    for (const auto& child : source.Children())
        children.push_back(DeepCopy(*child));
    target.RemoveAll();
    for (auto& child : children)
        target.Add(std::move(child));
    target.clsid = source.clsid;
    target.stateBits = source.stateBits;
    target.ctime = source.ctime;
    target.mtime = source.mtime;
    target.data = source.data;
}

char16_t FoldNameChar(char16_t ch)
{
    if (ch < 0x80)
        return ch >= u'a' && ch <= u'z' ? char16_t(ch - (u'a' - u'A')) : ch;
    if (ch < 0x100)
        return FoldLatinChar(ch);
    if (ch >= 0xD800 && ch <= 0xDFFF)
        return ch;
    gunichar upper = g_unichar_toupper(ch);
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : ch;
}

bool NamesEqual(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && FoldNameChar(a[i]) != FoldNameChar(b[i]))
            return false;
    }
    return true;
}

std::u16string FoldName(std::u16string_view name)
{
    std::u16string folded(name);
    for (char16_t& ch : folded)
        ch = FoldNameChar(ch);
    return folded;
}

int CompareNames(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (size_t i = 0; i < a.size(); ++i) {
        const char16_t x = FoldNameChar(a[i]);
        const char16_t y = FoldNameChar(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

HRESULT CheckElementName(std::u16string_view name)
{
    if (name.empty() || name.size() > kMaxElementName)
        return STG_E_INVALIDNAME;
    for (size_t i = 0; i < name.size(); ++i) {
        char16_t ch = name[i];
        if (ch == u'\\' || ch == u'/' || ch == u':' || ch == u'!')
            return STG_E_INVALIDNAME;
        if (ch >= 0xD800 && ch <= 0xDBFF) {
            if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF)
                return STG_E_INVALIDNAME;
            ++i;
        } else if (ch >= 0xDC00 && ch <= 0xDFFF) {
            return STG_E_INVALIDNAME;
        }
    }
    return S_OK;
}

HRESULT NameFromPointer(const OLECHAR* name, std::u16string& out)
{
    out.clear();
    if (!name)
        return STG_E_INVALIDPOINTER;
    for (size_t i = 0; name[i] != 0; ++i) {
        if (i > kMaxElementName)
            return STG_E_INVALIDNAME;
        out.push_back(name[i]);
    }
    return CheckElementName(out);
}

} // namespace platform
