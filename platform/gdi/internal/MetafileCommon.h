#pragma once
// What the Windows-metafile and enhanced-metafile players share: a reader of
// little-endian fields that never leaves its bytes, packed DIBs checked and
// copied into aligned memory, file reading for GetMetaFile and
// GetEnhMetaFile, and copying the bits out.

#include "platform/base/GdiRecords.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Little-endian fields of a byte range. A read past the end gives 0, so a
// caller that checked Has() first reads real data and one that did not
// reads zeros, never memory outside the range.
class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const BYTE* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    const BYTE* Data() const { return m_data; }
    size_t Size() const { return m_size; }
    bool Has(size_t offset, size_t count) const { return offset <= m_size && count <= m_size - offset; }
    ByteReader Sub(size_t offset, size_t count) const
    {
        return Has(offset, count) ? ByteReader(m_data + offset, count) : ByteReader();
    }

    uint8_t U8(size_t offset) const { return Has(offset, 1) ? m_data[offset] : 0; }
    uint16_t U16(size_t offset) const
    {
        return Has(offset, 2) ? uint16_t(m_data[offset] | (m_data[offset + 1] << 8)) : 0;
    }
    int16_t S16(size_t offset) const { return int16_t(U16(offset)); }
    uint32_t U32(size_t offset) const { return uint32_t(U16(offset)) | (uint32_t(U16(offset + 2)) << 16); }
    int32_t S32(size_t offset) const { return int32_t(U32(offset)); }
    float F32(size_t offset) const
    {
        uint32_t bits = U32(offset);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

private:
    const BYTE* m_data = nullptr;
    size_t m_size = 0;
};

// A device-independent bitmap from a metafile record, checked against the
// bytes it came from and copied into aligned memory, ready for
// StretchDIBits and friends. The header is always a BITMAPINFOHEADER (core
// headers are converted, bit-field masks follow it).
struct MetaDib {
    std::vector<uint32_t> info; // BITMAPINFO with its colour table
    std::vector<uint32_t> bits;
    LONG width = 0;
    LONG height = 0; // as stored: positive for bottom-up rows
    int bitCount = 0;

    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
    const BITMAPINFOHEADER& Header() const { return Info()->bmiHeader; }
    const void* Bits() const { return bits.data(); }
    LONG AbsHeight() const { return height < 0 ? -height : height; }
};

// The largest bitmap a metafile may bring, in pixels: bounds what a damaged
// header can make the blit code allocate.
constexpr int64_t kMaxMetaDibPixels = int64_t(1) << 26;

// Reads a DIB whose header and colour table are `header` and whose pixels
// are `bits` (separate ranges, as enhanced-metafile records keep them).
// `usage` is DIB_RGB_COLORS or DIB_PAL_COLORS (two-byte palette indexes).
// Nothing for a header that is damaged, of a format the blit code does not
// draw, or whose pixels do not fit in `bits`.
std::optional<MetaDib> ReadMetaDib(ByteReader header, ByteReader bits, UINT usage);
// The same for a packed DIB: header, colour table and pixels in one range.
std::optional<MetaDib> ReadPackedMetaDib(ByteReader packed, UINT usage);

// The whole content of a file named by a Windows-form path, at most
// `maxSize` bytes; nothing (with the last error set) when it cannot be read
// or is larger.
std::optional<std::vector<BYTE>> ReadMetafileFile(LPCSTR path, size_t maxSize);

// Writes bytes to a file, replacing it; false with the last error set.
bool WriteMetafileFile(LPCSTR path, const std::vector<BYTE>& bytes);

// What GetMetaFileBitsEx and GetEnhMetaFileBits answer: the size of the
// bits when lpData is null, else the bits copied out, or 0 (last error
// ERROR_INSUFFICIENT_BUFFER) when they do not fit in nSize bytes.
UINT CopyMetafileBits(const std::vector<BYTE>& bits, UINT nSize, void* lpData);

} // namespace platform
