// Pieces both metafile players use: checked DIBs, whole-file reads and
// copying the bits out.

#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/internal/MetafileCommon.h"

#include "platform/files/FileApi.h"

#include <algorithm>

namespace platform {

namespace {

constexpr DWORD kCoreHeaderSize = 12;
constexpr DWORD kInfoHeaderSize = 40;
// Largest header we accept (BITMAPV5HEADER); anything beyond 40 bytes is
// read only for the bit-field masks.
constexpr DWORD kMaxHeaderSize = 124;

struct ParsedHeader {
    BITMAPINFOHEADER h{};
    bool core = false;
    size_t headerBytes = 0;  // bytes of the header as stored
    size_t colorEntries = 0; // table entries as stored (before the pixels)
    size_t entryBytes = 4;   // RGBQUAD, RGBTRIPLE or a WORD index
    uint32_t masks[3] = {0, 0, 0};
    bool masksInHeader = false;
};

std::optional<ParsedHeader> ParseHeader(ByteReader r, UINT usage)
{
    ParsedHeader p;
    DWORD size = r.U32(0);
    if (size == kCoreHeaderSize && r.Has(0, kCoreHeaderSize)) {
        p.core = true;
        p.headerBytes = kCoreHeaderSize;
        p.h.biWidth = r.U16(4);
        p.h.biHeight = r.U16(6);
        p.h.biPlanes = r.U16(8);
        p.h.biBitCount = r.U16(10);
        p.h.biCompression = BI_RGB;
        p.entryBytes = usage == DIB_PAL_COLORS ? 2 : 3;
    } else if (size >= kInfoHeaderSize && size <= kMaxHeaderSize && r.Has(0, size)) {
        p.headerBytes = size;
        p.h.biWidth = r.S32(4);
        p.h.biHeight = r.S32(8);
        p.h.biPlanes = r.U16(12);
        p.h.biBitCount = r.U16(14);
        p.h.biCompression = r.U32(16);
        p.h.biSizeImage = r.U32(20);
        p.h.biXPelsPerMeter = r.S32(24);
        p.h.biYPelsPerMeter = r.S32(28);
        p.h.biClrUsed = r.U32(32);
        p.h.biClrImportant = r.U32(36);
        p.entryBytes = usage == DIB_PAL_COLORS ? 2 : 4;
        if (size >= kInfoHeaderSize + 12) {
            p.masksInHeader = true;
            for (int i = 0; i < 3; ++i)
                p.masks[i] = r.U32(kInfoHeaderSize + 4 * i);
        }
    } else {
        return std::nullopt;
    }

    const BITMAPINFOHEADER& h = p.h;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return std::nullopt;
    }
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
        return std::nullopt;
    int64_t absHeight = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
    if (int64_t(h.biWidth) * absHeight > kMaxMetaDibPixels)
        return std::nullopt;
    switch (h.biCompression) {
    case BI_RGB:
        break;
    case BI_BITFIELDS:
        if (h.biBitCount != 16 && h.biBitCount != 32)
            return std::nullopt;
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (h.biBitCount != (h.biCompression == BI_RLE8 ? 8 : 4) || h.biHeight < 0)
            return std::nullopt;
        break;
    default: // JPEG and PNG pass-through is for printers, which we do not feed
        return std::nullopt;
    }

    if (h.biBitCount <= 8) {
        size_t full = size_t(1) << h.biBitCount;
        p.colorEntries = h.biClrUsed == 0 ? full : h.biClrUsed;
        if (p.colorEntries > 256)
            return std::nullopt;
    } else {
        // Deeper formats may carry a table to optimise palettes; it is skipped.
        p.colorEntries = p.core ? 0 : std::min<size_t>(h.biClrUsed, 256);
    }
    return p;
}

size_t ImageBytes(const BITMAPINFOHEADER& h)
{
    size_t stride = ((size_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    size_t rows = h.biHeight < 0 ? size_t(-int64_t(h.biHeight)) : size_t(h.biHeight);
    return stride * rows;
}

bool IsRle(const BITMAPINFOHEADER& h)
{
    return h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
}

// Builds the aligned BITMAPINFO: header, then masks (BI_BITFIELDS), then the
// colour table as RGBQUADs or WORD indexes.
MetaDib BuildInfo(const ParsedHeader& p, ByteReader r, UINT usage)
{
    MetaDib dib;
    BITMAPINFOHEADER h = p.h;
    h.biSize = kInfoHeaderSize;
    size_t tableEntries = h.biBitCount <= 8 ? p.colorEntries : 0;
    h.biClrUsed = DWORD(tableEntries);
    if (h.biClrImportant > h.biClrUsed)
        h.biClrImportant = 0;
    size_t masksBytes = h.biCompression == BI_BITFIELDS ? 12 : 0;
    size_t tableBytes = usage == DIB_PAL_COLORS ? tableEntries * 2 : tableEntries * 4;
    size_t total = kInfoHeaderSize + masksBytes + tableBytes;
    dib.info.assign((total + 3) / 4 + 1, 0);
    BYTE* out = reinterpret_cast<BYTE*>(dib.info.data());
    std::memcpy(out, &h, sizeof h);
    size_t at = kInfoHeaderSize;
    size_t in = p.headerBytes;
    if (masksBytes) {
        for (int i = 0; i < 3; ++i) {
            uint32_t m = p.masksInHeader ? p.masks[i] : r.U32(in + 4 * i);
            std::memcpy(out + at + 4 * i, &m, 4);
        }
        at += 12;
        if (!p.masksInHeader)
            in += 12;
    }
    for (size_t i = 0; i < tableEntries; ++i) {
        if (usage == DIB_PAL_COLORS) {
            uint16_t index = r.U16(in + 2 * i);
            std::memcpy(out + at + 2 * i, &index, 2);
        } else if (p.core) {
            RGBQUAD q{r.U8(in + 3 * i), r.U8(in + 3 * i + 1), r.U8(in + 3 * i + 2), 0};
            std::memcpy(out + at + 4 * i, &q, 4);
        } else {
            RGBQUAD q{r.U8(in + 4 * i), r.U8(in + 4 * i + 1), r.U8(in + 4 * i + 2), 0};
            std::memcpy(out + at + 4 * i, &q, 4);
        }
    }
    dib.width = h.biWidth;
    dib.height = h.biHeight;
    dib.bitCount = h.biBitCount;
    return dib;
}

// Bytes the header, masks and colour table take in the record.
size_t StoredInfoBytes(const ParsedHeader& p)
{
    size_t bytes = p.headerBytes + p.colorEntries * p.entryBytes;
    if (p.h.biCompression == BI_BITFIELDS && !p.masksInHeader)
        bytes += 12;
    return bytes;
}

bool CopyBits(MetaDib& dib, const ParsedHeader& p, ByteReader bits)
{
    size_t need;
    if (IsRle(p.h)) {
        // Run-length data is only as long as its image size says; the
        // decoder must never be handed more than is really there.
        need = p.h.biSizeImage ? p.h.biSizeImage : bits.Size();
        if (need > bits.Size())
            return false;
        reinterpret_cast<BITMAPINFOHEADER*>(dib.info.data())->biSizeImage = DWORD(need);
    } else {
        need = ImageBytes(p.h);
        if (need > bits.Size())
            return false;
        reinterpret_cast<BITMAPINFOHEADER*>(dib.info.data())->biSizeImage = DWORD(need);
    }
    dib.bits.assign(need / 4 + 1, 0);
    if (need)
        std::memcpy(dib.bits.data(), bits.Data(), need);
    return true;
}

} // namespace

std::optional<MetaDib> ReadMetaDib(ByteReader header, ByteReader bits, UINT usage)
{
    if (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)
        return std::nullopt;
    auto parsed = ParseHeader(header, usage);
    if (!parsed || !header.Has(0, StoredInfoBytes(*parsed)))
        return std::nullopt;
    MetaDib dib = BuildInfo(*parsed, header, usage);
    if (!CopyBits(dib, *parsed, bits))
        return std::nullopt;
    return dib;
}

std::optional<MetaDib> ReadPackedMetaDib(ByteReader packed, UINT usage)
{
    if (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)
        return std::nullopt;
    auto parsed = ParseHeader(packed, usage);
    if (!parsed)
        return std::nullopt;
    size_t infoBytes = StoredInfoBytes(*parsed);
    if (!packed.Has(0, infoBytes))
        return std::nullopt;
    MetaDib dib = BuildInfo(*parsed, packed, usage);
    if (!CopyBits(dib, *parsed, packed.Sub(infoBytes, packed.Size() - infoBytes)))
        return std::nullopt;
    return dib;
}

std::optional<std::vector<BYTE>> ReadMetafileFile(LPCSTR path, size_t maxSize)
{
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (high != 0 || low > maxSize) {
        CloseHandle(file);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return std::nullopt;
    }
    std::vector<BYTE> bytes(low);
    DWORD got = 0;
    BOOL ok = low == 0 || ReadFile(file, bytes.data(), low, &got, NULL);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    bytes.resize(got);
    return bytes;
}

bool WriteMetafileFile(LPCSTR path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFile(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

UINT CopyMetafileBits(const std::vector<BYTE>& bits, UINT nSize, void* lpData)
{
    const UINT size = UINT(bits.size());
    if (!lpData)
        return size;
    if (nSize < size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpData, bits.data(), size);
    return size;
}

} // namespace platform
