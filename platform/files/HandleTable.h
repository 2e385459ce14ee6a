#pragma once
// Handles as table ids: a slot index, a generation and a tag saying which
// table issued them, so that a closed, forged or foreign handle is refused
// instead of reaching another object. Not thread-safe; callers lock.

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

template <typename T>
class HandleTable {
public:
    explicit HandleTable(uint8_t tag, size_t capacity = 65536)
        : m_tag(tag)
        , m_capacity(capacity)
    {
    }

    // 0 when the table is full.
    uint64_t Add(std::unique_ptr<T> value)
    {
        size_t index = m_slots.size();
        for (size_t i = 0; i < m_slots.size(); ++i) {
            if (!m_slots[i].value) {
                index = i;
                break;
            }
        }
        if (index == m_slots.size()) {
            if (index >= m_capacity)
                return 0;
            m_slots.emplace_back();
        }
        Slot& slot = m_slots[index];
        slot.generation = (slot.generation + 1) & 0xFFFFFF;
        slot.value = std::move(value);
        return (uint64_t(m_tag) << 48) | (uint64_t(slot.generation) << 24) | uint64_t(index + 1);
    }

    T* Get(uint64_t id) const
    {
        const Slot* slot = Find(id);
        return slot ? slot->value.get() : nullptr;
    }

    // The value, now owned by the caller; null for a bad id.
    std::unique_ptr<T> Remove(uint64_t id)
    {
        Slot* slot = const_cast<Slot*>(Find(id));
        return slot ? std::move(slot->value) : nullptr;
    }

private:
    struct Slot {
        uint32_t generation = 0;
        std::unique_ptr<T> value;
    };

    const Slot* Find(uint64_t id) const
    {
        if ((id >> 48) != m_tag)
            return nullptr;
        uint64_t index = (id & 0xFFFFFF);
        uint32_t generation = static_cast<uint32_t>((id >> 24) & 0xFFFFFF);
        if (index == 0 || index > m_slots.size())
            return nullptr;
        const Slot& slot = m_slots[index - 1];
        if (!slot.value || slot.generation != generation)
            return nullptr;
        return &slot;
    }

    uint8_t m_tag;
    size_t m_capacity;
    std::vector<Slot> m_slots;
};

} // namespace platform
