#include "platform/storage/StorageTree.h"

#include "platform/base/CharClass.h"
#include "platform/base/CodePage.h"
#include "platform/storage/Storage.h"

#include <glib.h>

namespace platform {

namespace {

void Detach(StorageNode& node)
{
    node.detached = true;
    for (const auto& child : node.children)
        Detach(*child);
}

std::vector<std::shared_ptr<StorageNode>> CopyChildren(const StorageNode& node)
{
    std::vector<std::shared_ptr<StorageNode>> out;
    out.reserve(node.children.size());
    for (const auto& child : node.children)
        out.push_back(DeepCopy(*child));
    return out;
}

} // namespace

std::shared_ptr<StorageNode> StorageNode::Find(std::u16string_view childName) const
{
    for (const auto& child : children) {
        if (NamesEqual(child->name, childName))
            return child;
    }
    return nullptr;
}

bool StorageNode::Remove(std::u16string_view childName)
{
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (NamesEqual((*it)->name, childName)) {
            Detach(**it);
            children.erase(it);
            return true;
        }
    }
    return false;
}

void StorageNode::Place(std::shared_ptr<StorageNode> child)
{
    for (auto& existing : children) {
        if (NamesEqual(existing->name, child->name)) {
            Detach(*existing);
            existing = std::move(child);
            return;
        }
    }
    children.push_back(std::move(child));
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
    copy->children = CopyChildren(node);
    return copy;
}

void CopyContents(StorageNode& target, const StorageNode& source)
{
    if (&target == &source)
        return;
    auto children = CopyChildren(source);
    for (const auto& child : target.children)
        Detach(*child);
    target.children = std::move(children);
    target.clsid = source.clsid;
    target.stateBits = source.stateBits;
    target.ctime = source.ctime;
    target.mtime = source.mtime;
    target.data = source.data;
}

char16_t FoldNameChar(char16_t ch)
{
    if (ch < 0x100) {
        unsigned char byte = 0;
        if (!CodePointTo1252(ch, byte))
            return ch;
        return static_cast<char16_t>(CodePointFrom1252(ToUpper1252(byte)));
    }
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
