#pragma once
// One key of the in-memory registry tree: its subkeys and its values, both
// kept in creation order and found by name without case. A key is shared
// with the handles open on it; when it is removed from its parent it (and
// everything below it) is marked deleted, and those handles see that.

#include "platform/base/Types.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

// Bounds of names, nesting and data, both for the calls and for the file.
namespace registrylimits {
constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxDepth = 512;
constexpr size_t kMaxValueName = 16383;
constexpr size_t kMaxValueData = size_t(1) << 20;
constexpr size_t kMaxFileBytes = size_t(16) << 20;
} // namespace registrylimits

struct RegistryValue {
    std::string name;
    DWORD type = 0;
    std::string data;
};

class RegistryKey {
public:
    explicit RegistryKey(std::string name);
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    const std::string& Name() const { return m_name; }
    bool IsDeleted() const { return m_deleted; }

    size_t SubkeyCount() const { return m_subkeys.size(); }
    const std::shared_ptr<RegistryKey>& SubkeyAt(size_t index) const { return m_subkeys[index]; }
    std::shared_ptr<RegistryKey> FindSubkey(std::string_view name) const;
    // Adds a subkey that must not exist yet.
    std::shared_ptr<RegistryKey> AddSubkey(std::string_view name);
    // Detaches the subkey and marks it and its descendants deleted; false
    // when there is none of that name.
    bool RemoveSubkey(std::string_view name);

    size_t ValueCount() const { return m_values.size(); }
    const RegistryValue& ValueAt(size_t index) const { return m_values[index]; }
    const RegistryValue* FindValue(std::string_view name) const;
    // A new name is added at the end; an existing one keeps its place and
    // its spelling.
    void SetValue(std::string_view name, DWORD type, std::string data);
    bool RemoveValue(std::string_view name);

private:
    void MarkDeleted();

    std::string m_name;
    bool m_deleted = false;
    std::vector<std::shared_ptr<RegistryKey>> m_subkeys;
    std::unordered_map<std::string, size_t> m_subkeyIndex; // folded name -> position
    std::vector<RegistryValue> m_values;
    std::unordered_map<std::string, size_t> m_valueIndex;
};

// The name as compared: upper case through the Windows-1252 case map.
std::string FoldRegistryName(std::string_view name);

} // namespace platform
