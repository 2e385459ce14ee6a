#include "platform/profile/RegistryKey.h"

#include "platform/base/CharClass.h"

namespace platform {

std::string FoldRegistryName(std::string_view name)
{
    std::string folded(name);
    for (char& ch : folded)
        ch = static_cast<char>(ToUpper1252(static_cast<unsigned char>(ch)));
    return folded;
}

RegistryKey::RegistryKey(std::string name)
    : m_name(std::move(name))
{
}

std::shared_ptr<RegistryKey> RegistryKey::FindSubkey(std::string_view name) const
{
    auto it = m_subkeyIndex.find(FoldRegistryName(name));
    return it == m_subkeyIndex.end() ? nullptr : m_subkeys[it->second];
}

std::shared_ptr<RegistryKey> RegistryKey::AddSubkey(std::string_view name)
{
    auto key = std::make_shared<RegistryKey>(std::string(name));
    m_subkeyIndex.emplace(FoldRegistryName(name), m_subkeys.size());
    m_subkeys.push_back(key);
    return key;
}

bool RegistryKey::RemoveSubkey(std::string_view name)
{
    auto it = m_subkeyIndex.find(FoldRegistryName(name));
    if (it == m_subkeyIndex.end())
        return false;
    size_t position = it->second;
    m_subkeys[position]->MarkDeleted();
    m_subkeys.erase(m_subkeys.begin() + static_cast<ptrdiff_t>(position));
    m_subkeyIndex.erase(it);
    for (auto& entry : m_subkeyIndex) {
        if (entry.second > position)
            --entry.second;
    }
    return true;
}

const RegistryValue* RegistryKey::FindValue(std::string_view name) const
{
    auto it = m_valueIndex.find(FoldRegistryName(name));
    return it == m_valueIndex.end() ? nullptr : &m_values[it->second];
}

void RegistryKey::SetValue(std::string_view name, DWORD type, std::string data)
{
    std::string folded = FoldRegistryName(name);
    auto it = m_valueIndex.find(folded);
    if (it != m_valueIndex.end()) {
        RegistryValue& value = m_values[it->second];
        value.type = type;
        value.data = std::move(data);
        return;
    }
    m_valueIndex.emplace(std::move(folded), m_values.size());
    m_values.push_back(RegistryValue{std::string(name), type, std::move(data)});
}

bool RegistryKey::RemoveValue(std::string_view name)
{
    auto it = m_valueIndex.find(FoldRegistryName(name));
    if (it == m_valueIndex.end())
        return false;
    size_t position = it->second;
    m_values.erase(m_values.begin() + static_cast<ptrdiff_t>(position));
    m_valueIndex.erase(it);
    for (auto& entry : m_valueIndex) {
        if (entry.second > position)
            --entry.second;
    }
    return true;
}

void RegistryKey::MarkDeleted()
{
    m_deleted = true;
    for (auto& subkey : m_subkeys)
        subkey->MarkDeleted();
}

} // namespace platform
