#pragma once
// The table behind one kind of GDI handle (objects, icons, metafiles), with
// the Win32 errors the calls on them report: a full table fails with
// ERROR_NOT_ENOUGH_MEMORY, a stale or forged handle with
// ERROR_INVALID_HANDLE. Find and Remove are the quiet forms, for callers
// that only ask.

#include "platform/base/Types.h"
#include "platform/files/HandleTable.h"

#include <cstdint>
#include <memory>

namespace platform {

template <typename Object, typename Handle>
class GdiHandleTable {
public:
    GdiHandleTable(uint8_t tag, size_t capacity)
        : m_table(tag, capacity)
    {
    }

    Handle Add(std::unique_ptr<Object> object)
    {
        const uint64_t id = m_table.Add(std::move(object));
        if (!id) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return NULL;
        }
        return reinterpret_cast<Handle>(uintptr_t(id));
    }

    Object* Find(Handle handle) const { return m_table.Get(Id(handle)); }

    Object* Lookup(Handle handle) const
    {
        Object* object = Find(handle);
        if (!object)
            SetLastError(ERROR_INVALID_HANDLE);
        return object;
    }

    bool Remove(Handle handle) { return m_table.Remove(Id(handle)) != nullptr; }

    BOOL Delete(Handle handle)
    {
        if (!Remove(handle)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        return TRUE;
    }

private:
    static uint64_t Id(Handle handle) { return uint64_t(reinterpret_cast<uintptr_t>(handle)); }

    HandleTable<Object> m_table;
};

} // namespace platform
