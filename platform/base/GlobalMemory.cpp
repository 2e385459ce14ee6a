#include "platform/base/GlobalMemory.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

constexpr SIZE_T kMaxBlockBytes = SIZE_T(1) << 30;
constexpr UINT kMaxLockCount = 0xFF;

// Moveable handles are odd multiples of 8 above the index bits, so they can
// never be the address of a fixed block (malloc gives 16-byte alignment).
constexpr uintptr_t kMoveableTag = 0x8;
constexpr unsigned kIndexShift = 4;
constexpr uint32_t kMaxIndex = 0x0FFFFFFF;
static_assert(alignof(std::max_align_t) >= 16, "fixed-block addresses must not look like moveable handles");
static_assert(sizeof(uintptr_t) == 8, "handles carry a 32-bit generation above the index");

struct Block {
    std::byte* data = nullptr; // malloc'ed; null when discarded
    SIZE_T size = 0;
    SIZE_T capacity = 0;
    UINT flags = 0; // GMEM_MOVEABLE, GMEM_DISCARDABLE, GMEM_DDESHARE as given
    UINT lockCount = 0;
    uint32_t generation = 1;
    bool live = false;

    bool IsMoveable() const { return flags & GMEM_MOVEABLE; }
};

class BlockTable {
public:
    std::mutex& Mutex() { return m_mutex; }

    // Each returns null (and sets the last error) on failure; the caller
    // holds the mutex.
    Block* Find(HGLOBAL handle, uint32_t* indexOut = nullptr)
    {
        auto value = reinterpret_cast<uintptr_t>(handle);
        uint32_t index = 0;
        if ((value & 0xF) == kMoveableTag) {
            index = uint32_t((value & 0xFFFFFFFFu) >> kIndexShift);
            auto generation = uint32_t(value >> 32);
            if (index >= m_blocks.size() || !m_blocks[index].live || !m_blocks[index].IsMoveable()
                || m_blocks[index].generation != generation) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
        } else {
            auto it = m_byAddress.find(handle);
            if (it == m_byAddress.end() || m_blocks[it->second].IsMoveable()) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            index = it->second;
        }
        if (indexOut)
            *indexOut = index;
        return &m_blocks[index];
    }

    HGLOBAL HandleOf(uint32_t index) const
    {
        const Block& block = m_blocks[index];
        if (!block.IsMoveable())
            return block.data;
        uintptr_t value = (uintptr_t(block.generation) << 32) | (uintptr_t(index) << kIndexShift) | kMoveableTag;
        return reinterpret_cast<HGLOBAL>(value);
    }

    HGLOBAL HandleAt(const void* address)
    {
        auto it = m_byAddress.find(address);
        if (it == m_byAddress.end())
            return nullptr;
        return HandleOf(it->second);
    }

    HGLOBAL Allocate(UINT flags, SIZE_T bytes)
    {
        bool moveable = flags & GMEM_MOVEABLE;
        std::byte* data = nullptr;
        if (bytes > 0 || !moveable) {
            // A fixed block of 0 bytes still needs an address of its own.
            data = static_cast<std::byte*>(std::calloc(bytes ? bytes : 1, 1));
            if (!data) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
        }
        uint32_t index;
        if (!m_free.empty()) {
            index = m_free.back();
            m_free.pop_back();
        } else {
            if (m_blocks.size() > kMaxIndex) {
                std::free(data);
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
            index = uint32_t(m_blocks.size());
            m_blocks.emplace_back();
        }
        Block& block = m_blocks[index];
        block.data = data;
        block.size = bytes;
        block.capacity = bytes;
        block.flags = flags & (GMEM_MOVEABLE | GMEM_DISCARDABLE | GMEM_DDESHARE);
        block.lockCount = 0;
        block.live = true;
        if (data)
            m_byAddress[data] = index;
        ++m_liveCount;
        return HandleOf(index);
    }

    void Release(uint32_t index)
    {
        Discard(index);
        Block& block = m_blocks[index];
        block.live = false;
        // A new generation makes every copy of the old handle stale.
        block.generation = block.generation == 0xFFFFFFFFu ? 1 : block.generation + 1;
        m_free.push_back(index);
        --m_liveCount;
    }

    // Gives the block `bytes` of memory, moving it only when allowed.
    bool Resize(uint32_t index, SIZE_T bytes, bool mayMove)
    {
        Block& block = m_blocks[index];
        if (block.data && bytes <= block.capacity) {
            if (bytes > block.size)
                std::memset(block.data + block.size, 0, bytes - block.size);
            block.size = bytes;
            return true;
        }
        if (!mayMove) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        auto* data = static_cast<std::byte*>(std::calloc(bytes ? bytes : 1, 1));
        if (!data) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        if (block.data) {
            std::memcpy(data, block.data, std::min(block.size, bytes));
            m_byAddress.erase(block.data);
            std::free(block.data);
        }
        block.data = data;
        block.size = block.capacity = bytes;
        m_byAddress[data] = index;
        return true;
    }

    void Discard(uint32_t index)
    {
        Block& block = m_blocks[index];
        if (block.data)
            m_byAddress.erase(block.data);
        std::free(block.data);
        block.data = nullptr;
        block.size = block.capacity = 0;
    }

    // A fixed block becomes moveable: its address stays, its handle changes.
    void MakeMoveable(uint32_t index)
    {
        Block& block = m_blocks[index];
        block.flags |= GMEM_MOVEABLE;
        block.generation = block.generation == 0xFFFFFFFFu ? 1 : block.generation + 1;
    }

    size_t LiveCount() const { return m_liveCount; }

private:
    std::mutex m_mutex;
    std::vector<Block> m_blocks;
    std::vector<uint32_t> m_free;
    std::unordered_map<const void*, uint32_t> m_byAddress;
    size_t m_liveCount = 0;
};

// Never destroyed, so that blocks freed by other static destructors at exit
// still find their table.
BlockTable& Table()
{
    static BlockTable* table = new BlockTable;
    return *table;
}

} // namespace

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    if (dwBytes > kMaxBlockBytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    BlockTable& table = Table();
    std::lock_guard lock(table.Mutex());
    return table.Allocate(uFlags, dwBytes);
}

LPVOID GlobalLock(HGLOBAL hMem)
{
    BlockTable& table = Table();
    std::lock_guard lock(table.Mutex());
    Block* block = table.Find(hMem);
    if (!block)
        return nullptr;
    if (!block->data) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    if (block->IsMoveable() && block->lockCount < kMaxLockCount)
        ++block->lockCount;
    return block->data;
}

BOOL GlobalUnlock(HGLOBAL hMem)
{
    BlockTable& table = Table();
    std::lock_guard lock(table.Mutex());
    Block* block = table.Find(hMem);
    if (!block)
        return FALSE;
    if (!block->IsMoveable()) {
        SetLastError(NO_ERROR);
        return FALSE;
    }
    if (block->lockCount == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->lockCount > 0)
        return TRUE;
    SetLastError(NO_ERROR);
    return FALSE;
}

SIZE_T GlobalSize(HGLOBAL hMem)
{
    BlockTable& table = Table();
    std::lock_guard lock(table.Mutex());
    Block* block = table.Find(hMem);
    return block ? block->size : 0;
}

HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags)
{
    BlockTable& table = Table();
    std::lock_guard lock(table.Mutex());
    uint32_t index = 0;
    Block* block = table.Find(hMem, &index);
    if (!block)
        return nullptr;

    if (uFlags & GMEM_MODIFY) {
        if (uFlags & GMEM_DISCARDABLE)
            block->flags |= GMEM_DISCARDABLE;
        if ((uFlags & GMEM_MOVEABLE) && !block->IsMoveable())
            table.MakeMoveable(index);
        return table.HandleOf(index);
    }

    if (dwBytes > kMaxBlockBytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    bool mayMove = (uFlags & GMEM_MOVEABLE) || (block->IsMoveable() && block->lockCount == 0);
    if (dwBytes == 0 && block->IsMoveable()) {
        if (block->lockCount > 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        table.Discard(index);
        return table.HandleOf(index);
    }
    if (!table.Resize(index, dwBytes, mayMove))
        return nullptr;
    // A fixed block that moved has a new address, hence a new handle.
    return table.HandleOf(index);
}

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    if (!hMem)
        return nullptr;
    BlockTable& table = Table();
    std::lock_guard lock(table.Mutex());
    uint32_t index = 0;
    if (!table.Find(hMem, &index))
        return hMem;
    table.Release(index);
    return nullptr;
}

UINT GlobalFlags(HGLOBAL hMem)
{
    BlockTable& table = Table();
    std::lock_guard lock(table.Mutex());
    Block* block = table.Find(hMem);
    if (!block)
        return GMEM_INVALID_HANDLE;
    UINT flags = block->lockCount & GMEM_LOCKCOUNT;
    if (block->flags & GMEM_DISCARDABLE)
        flags |= GMEM_DISCARDABLE;
    if (block->IsMoveable() && !block->data)
        flags |= GMEM_DISCARDED;
    return flags;
}

HGLOBAL GlobalHandle(LPCVOID pMem)
{
    BlockTable& table = Table();
    std::lock_guard lock(table.Mutex());
    HGLOBAL handle = pMem ? table.HandleAt(pMem) : nullptr;
    if (!handle)
        SetLastError(ERROR_INVALID_HANDLE);
    return handle;
}

namespace platform {

size_t GlobalBlockCount()
{
    BlockTable& table = Table();
    std::lock_guard lock(table.Mutex());
    return table.LiveCount();
}

} // namespace platform
