#include "platform/storage/CompoundFileCheck.h"

#include "platform/storage/Storage.h"

#include <vector>

namespace platform {

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr size_t kEntrySize = 128;
constexpr uint64_t kMiniCutoff = 4096;
constexpr size_t kMiniSectorSize = 64;

uint32_t Le32(std::span<const BYTE> bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16
        | uint32_t(bytes[at + 3]) << 24;
}

uint16_t Le16(std::span<const BYTE> bytes, size_t at)
{
    return uint16_t(bytes[at] | bytes[at + 1] << 8);
}

// The directory may not be deeper than this (sibling links and nesting
// together): deeper trees would only exhaust the stack of code that walks
// them recursively.
constexpr int kMaxTreeDepth = 2048;

// A sector table (FAT or mini FAT) with the bookkeeping to follow chains
// through it: each walk stamps the sectors it passes, so that a chain that
// runs into itself is found without clearing anything between walks.
struct SectorTable {
    std::vector<uint32_t> next;
    std::vector<uint32_t> stamp;
    uint32_t walk = 0;

    // False for a sector out of range (limit) or a chain that runs into
    // itself; out gets the chain's length.
    bool Follow(uint32_t start, uint64_t limit, uint64_t& length)
    {
        length = 0;
        if (start == kEndOfChain)
            return true;
        if (stamp.size() != next.size())
            stamp.assign(next.size(), 0);
        ++walk;
        for (uint32_t sector = start; sector != kEndOfChain; sector = next[sector]) {
            if (sector >= next.size() || sector >= limit || stamp[sector] == walk)
                return false;
            stamp[sector] = walk;
            ++length;
        }
        return true;
    }
};

class Checker {
public:
    explicit Checker(std::span<const BYTE> bytes)
        : m_bytes(bytes)
    {
    }

    HRESULT Run(size_t& elements);

private:
    // The 32-bit value at a byte of a sector; bytes past the end of a file
    // whose last sector is cut short read as zero.
    uint32_t SectorWord(uint32_t sector, size_t at) const
    {
        const uint64_t offset = (uint64_t(sector) + 1) * m_sectorSize + at;
        return offset + 4 <= m_bytes.size() ? Le32(m_bytes, size_t(offset)) : 0;
    }
    uint32_t EntryWord(uint32_t index, size_t at) const
    {
        const size_t perSector = m_sectorSize / kEntrySize;
        return SectorWord(m_directory[index / perSector], (index % perSector) * kEntrySize + at);
    }
    HRESULT CheckTree(size_t& elements);
    HRESULT CheckStream(uint32_t index);

    std::span<const BYTE> m_bytes;
    size_t m_sectorSize = 512;
    uint64_t m_sectors = 0;
    SectorTable m_fat;
    SectorTable m_miniFat;
    std::vector<uint32_t> m_directory; // the directory's sectors
    uint64_t m_entries = 0;
    uint64_t m_miniSectors = 0;
};

HRESULT Checker::Run(size_t& elements)
{
    m_sectorSize = size_t(1) << Le16(m_bytes, 0x1E);
    if (Le16(m_bytes, 0x20) != 6 || Le32(m_bytes, 0x38) != kMiniCutoff)
        return STG_E_INVALIDHEADER;
    m_sectors = (m_bytes.size() - m_sectorSize + m_sectorSize - 1) / m_sectorSize;
    const size_t perSector = m_sectorSize / 4;

    // The FAT's own sectors: 109 in the header, the rest in the DIFAT chain.
    const uint32_t fatSectors = Le32(m_bytes, 0x2C);
    std::vector<uint32_t> fatAt;
    for (size_t i = 0; i < 109 && fatAt.size() < fatSectors; ++i)
        fatAt.push_back(Le32(m_bytes, 0x4C + 4 * i));
    uint32_t difat = Le32(m_bytes, 0x44);
    for (uint32_t n = Le32(m_bytes, 0x48); fatAt.size() < fatSectors; --n) {
        if (n == 0 || difat >= m_sectors)
            return STG_E_DOCFILECORRUPT;
        for (size_t i = 0; i + 1 < perSector && fatAt.size() < fatSectors; ++i)
            fatAt.push_back(SectorWord(difat, 4 * i));
        difat = SectorWord(difat, m_sectorSize - 4);
    }
    m_fat.next.reserve(fatAt.size() * perSector);
    for (uint32_t sector : fatAt) {
        if (sector >= m_sectors)
            return STG_E_DOCFILECORRUPT;
        for (size_t i = 0; i < perSector; ++i)
            m_fat.next.push_back(SectorWord(sector, 4 * i));
    }

    // The directory's sectors, in order.
    uint64_t length = 0;
    const uint32_t firstDirectory = Le32(m_bytes, 0x30);
    if (!m_fat.Follow(firstDirectory, m_sectors, length) || length == 0)
        return STG_E_DOCFILECORRUPT;
    for (uint32_t sector = firstDirectory; sector != kEndOfChain; sector = m_fat.next[sector])
        m_directory.push_back(sector);
    m_entries = m_directory.size() * (m_sectorSize / kEntrySize);

    const uint32_t miniFatStart = Le32(m_bytes, 0x3C);
    if (miniFatStart != kEndOfChain && miniFatStart != kFreeSector) {
        if (!m_fat.Follow(miniFatStart, m_sectors, length))
            return STG_E_DOCFILECORRUPT;
        for (uint32_t sector = miniFatStart; sector != kEndOfChain; sector = m_fat.next[sector]) {
            for (size_t i = 0; i < perSector; ++i)
                m_miniFat.next.push_back(SectorWord(sector, 4 * i));
        }
    }

    // The root entry holds the mini stream.
    if ((EntryWord(0, 0x40) >> 16 & 0xFF) != 5)
        return STG_E_DOCFILECORRUPT;
    const uint64_t miniStreamSize = EntryWord(0, 0x78);
    if (miniStreamSize > 0
        && (!m_fat.Follow(EntryWord(0, 0x74), m_sectors, length) || length * m_sectorSize < miniStreamSize))
        return STG_E_DOCFILECORRUPT;
    m_miniSectors = (miniStreamSize + kMiniSectorSize - 1) / kMiniSectorSize;
    return CheckTree(elements);
}

// A storage's children form a binary tree through the left and right
// sibling fields, its child field pointing into it; every entry may be
// reached once only. Walked with a stack of its own, not recursion.
HRESULT Checker::CheckTree(size_t& elements)
{
    std::vector<bool> seen(size_t(m_entries), false);
    seen[0] = true;
    std::vector<std::pair<uint32_t, int>> pending { { EntryWord(0, 0x4C), 1 } };
    while (!pending.empty()) {
        const auto [index, depth] = pending.back();
        pending.pop_back();
        if (index == kNoStream)
            continue;
        if (index >= m_entries || seen[index] || depth > kMaxTreeDepth)
            return STG_E_DOCFILECORRUPT;
        seen[index] = true;
        const uint32_t nameBytes = EntryWord(index, 0x40) & 0xFFFF;
        const uint32_t type = EntryWord(index, 0x40) >> 16 & 0xFF;
        if (nameBytes < 4 || nameBytes > 64 || nameBytes % 2 != 0)
            return STG_E_DOCFILECORRUPT;
        if (type == STGTY_STORAGE) {
            pending.push_back({ EntryWord(index, 0x4C), depth + 1 });
        } else if (type != STGTY_STREAM) {
            return STG_E_DOCFILECORRUPT;
        } else if (HRESULT hr = CheckStream(index); FAILED(hr)) {
            return hr;
        }
        pending.push_back({ EntryWord(index, 0x44), depth + 1 });
        pending.push_back({ EntryWord(index, 0x48), depth + 1 });
        ++elements;
    }
    return S_OK;
}

HRESULT Checker::CheckStream(uint32_t index)
{
    // Version 3 files keep only the low half of the size; the high half may
    // hold anything.
    const uint64_t size = EntryWord(index, 0x78);
    if (size == 0)
        return S_OK;
    const uint32_t start = EntryWord(index, 0x74);
    uint64_t length = 0;
    if (size < kMiniCutoff) {
        if (!m_miniFat.Follow(start, m_miniSectors, length) || length * kMiniSectorSize < size)
            return STG_E_DOCFILECORRUPT;
    } else if (!m_fat.Follow(start, m_sectors, length) || length * m_sectorSize < size) {
        return STG_E_DOCFILECORRUPT;
    }
    return S_OK;
}

} // namespace

HRESULT CheckCompoundFile(std::span<const BYTE> bytes, size_t& elements)
{
    elements = 0;
    Checker checker(bytes);
    return checker.Run(elements);
}

} // namespace platform
