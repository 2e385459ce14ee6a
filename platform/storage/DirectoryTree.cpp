#include "platform/storage/DirectoryTree.h"

#include "platform/storage/Storage.h"
#include "platform/storage/StorageTree.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;
constexpr size_t kHeaderSize = 512;
constexpr size_t kHeaderFatSlots = 109;
constexpr size_t kEntrySize = 128;

// Fields of a directory entry.
constexpr size_t kNameBytes = 0x40;
constexpr size_t kType = 0x42;
constexpr size_t kColour = 0x43;
constexpr size_t kLeft = 0x44;
constexpr size_t kRight = 0x48;
constexpr size_t kChild = 0x4C;

constexpr BYTE kRed = 0;
constexpr BYTE kBlack = 1;
constexpr BYTE kRootType = 5;

class Directory {
public:
    explicit Directory(std::span<BYTE> file)
        : m_file(file)
    {
    }

    HRESULT Load();
    HRESULT Balance();

private:
    uint32_t Get32(size_t at) const
    {
        return uint32_t(m_file[at]) | uint32_t(m_file[at + 1]) << 8 | uint32_t(m_file[at + 2]) << 16
            | uint32_t(m_file[at + 3]) << 24;
    }
    uint16_t Get16(size_t at) const { return uint16_t(m_file[at] | m_file[at + 1] << 8); }
    void Put32(size_t at, uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            m_file[at + i] = BYTE(value >> (8 * i));
    }
    bool IsSector(uint32_t sector) const { return sector < m_sectors; }
    size_t SectorAt(uint32_t sector) const { return (size_t(sector) + 1) * m_sectorSize; }

    HRESULT BalanceStorage(size_t storageAt, std::vector<bool>& reached);
    uint32_t Link(const std::vector<uint32_t>& sorted, size_t begin, size_t end, int depth, int redDepth);

    std::span<BYTE> m_file;
    size_t m_sectorSize = 512;
    uint32_t m_sectors = 0;        // whole sectors after the header
    std::vector<uint32_t> m_fat;
    std::vector<size_t> m_entryAt; // where each directory entry starts
};

HRESULT Directory::Load()
{
    if (m_file.size() < kHeaderSize)
        return STG_E_WRITEFAULT;
    const uint16_t shift = Get16(0x1E);
    if (shift != 9 && shift != 12)
        return STG_E_WRITEFAULT;
    m_sectorSize = size_t(1) << shift;
    if (m_file.size() < m_sectorSize)
        return STG_E_WRITEFAULT;
    m_sectors = uint32_t(std::min<size_t>((m_file.size() - m_sectorSize) / m_sectorSize, kEndOfChain));
    const size_t perSector = m_sectorSize / 4;

    // The FAT's sectors: the first 109 in the header, the rest in the
    // chain of DIFAT sectors, whose last word links to the next.
    const uint32_t fatSectors = Get32(0x2C);
    if (fatSectors > m_sectors)
        return STG_E_WRITEFAULT;
    std::vector<uint32_t> fatAt;
    for (size_t i = 0; i < kHeaderFatSlots && fatAt.size() < fatSectors; ++i)
        fatAt.push_back(Get32(0x4C + 4 * i));
    uint32_t difat = Get32(0x44);
    for (uint32_t left = Get32(0x48); fatAt.size() < fatSectors; --left) {
        if (left == 0 || !IsSector(difat))
            return STG_E_WRITEFAULT;
        for (size_t i = 0; i + 1 < perSector && fatAt.size() < fatSectors; ++i)
            fatAt.push_back(Get32(SectorAt(difat) + 4 * i));
        difat = Get32(SectorAt(difat) + m_sectorSize - 4);
    }
    m_fat.reserve(fatAt.size() * perSector);
    for (uint32_t sector : fatAt) {
        if (!IsSector(sector))
            return STG_E_WRITEFAULT;
        for (size_t i = 0; i < perSector; ++i)
            m_fat.push_back(Get32(SectorAt(sector) + 4 * i));
    }

    // The directory's entries, sector by sector along its chain; a chain
    // longer than the file has sectors runs into itself.
    uint32_t steps = 0;
    for (uint32_t sector = Get32(0x30); sector != kEndOfChain; sector = m_fat[sector]) {
        if (!IsSector(sector) || sector >= m_fat.size() || ++steps > m_sectors)
            return STG_E_WRITEFAULT;
        for (size_t at = SectorAt(sector); at < SectorAt(sector) + m_sectorSize; at += kEntrySize)
            m_entryAt.push_back(at);
    }
    if (m_entryAt.empty() || m_file[m_entryAt[0] + kType] != kRootType)
        return STG_E_WRITEFAULT;
    return S_OK;
}

HRESULT Directory::Balance()
{
    // Every entry belongs to one storage's tree; the root entry to none.
    std::vector<bool> reached(m_entryAt.size(), false);
    reached[0] = true;
    for (size_t at : m_entryAt) {
        const BYTE type = m_file[at + kType];
        if (type != STGTY_STORAGE && type != kRootType)
            continue;
        if (HRESULT hr = BalanceStorage(at, reached); FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT Directory::BalanceStorage(size_t storageAt, std::vector<bool>& reached)
{
    std::vector<uint32_t> members;
    std::vector<uint32_t> pending { Get32(storageAt + kChild) };
    while (!pending.empty()) {
        const uint32_t id = pending.back();
        pending.pop_back();
        if (id == kNoEntry)
            continue;
        if (id >= m_entryAt.size() || reached[id])
            return STG_E_WRITEFAULT;
        reached[id] = true;
        members.push_back(id);
        pending.push_back(Get32(m_entryAt[id] + kLeft));
        pending.push_back(Get32(m_entryAt[id] + kRight));
    }
    if (members.empty())
        return S_OK;

    // CompareNames's order, with each name folded once rather than at
    // every comparison.
    std::vector<std::u16string> folded(members.size());
    for (size_t i = 0; i < members.size(); ++i) {
        const size_t at = m_entryAt[members[i]];
        const uint16_t bytes = Get16(at + kNameBytes);
        if (bytes < 4 || bytes > 64 || bytes % 2 != 0)
            return STG_E_WRITEFAULT;
        for (size_t unit = 0; unit + 1 < bytes / 2u; ++unit)
            folded[i].push_back(FoldNameChar(char16_t(Get16(at + 2 * unit))));
    }
    std::vector<size_t> order(members.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const std::u16string& x = folded[a];
        const std::u16string& y = folded[b];
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    std::vector<uint32_t> sorted;
    sorted.reserve(order.size());
    for (size_t i : order)
        sorted.push_back(members[i]);

    // A tree of least height has every level full but perhaps its deepest.
    // All black but that level, red when it is not full, keeps the same
    // number of black entries on every path down and no red under a red.
    const size_t count = sorted.size();
    const int deepest = int(std::bit_width(count)) - 1;
    const int redDepth = std::has_single_bit(count + 1) ? -1 : deepest;
    Put32(storageAt + kChild, Link(sorted, 0, count, 0, redDepth));
    return S_OK;
}

// Makes sorted[begin, end) a subtree with its middle element at the top, so
// that the two sides of every entry differ in size by one at most; answers
// the top entry.
uint32_t Directory::Link(const std::vector<uint32_t>& sorted, size_t begin, size_t end, int depth, int redDepth)
{
    if (begin == end)
        return kNoEntry;
    const size_t middle = begin + (end - begin) / 2;
    const size_t at = m_entryAt[sorted[middle]];
    Put32(at + kLeft, Link(sorted, begin, middle, depth + 1, redDepth));
    Put32(at + kRight, Link(sorted, middle + 1, end, depth + 1, redDepth));
    m_file[at + kColour] = depth == redDepth ? kRed : kBlack;
    return sorted[middle];
}

} // namespace

HRESULT BalanceDirectory(std::span<BYTE> file)
{
    Directory directory(file);
    if (HRESULT hr = directory.Load(); FAILED(hr))
        return hr;
    return directory.Balance();
}

} // namespace platform
