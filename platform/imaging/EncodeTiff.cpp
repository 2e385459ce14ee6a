// The layout of the one-strip TIFFs the decoder library writes for us.

#include "platform/imaging/EncodeInternal.h"

namespace platform::imaging {
namespace {

class TiffReader {
public:
    TiffReader(const uint8_t* data, size_t size, bool little)
        : m_data(data)
        , m_size(size)
        , m_little(little)
    {
    }

    bool U16(size_t at, uint16_t& v) const
    {
        if (at > m_size || m_size - at < 2)
            return false;
        const uint8_t* p = m_data + at;
        v = m_little ? uint16_t(p[0] | p[1] << 8) : uint16_t(p[0] << 8 | p[1]);
        return true;
    }

    bool U32(size_t at, uint32_t& v) const
    {
        if (at > m_size || m_size - at < 4)
            return false;
        const uint8_t* p = m_data + at;
        v = m_little ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24
                     : uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
        return true;
    }

    // The value of a directory entry that holds one SHORT or LONG.
    bool Single(size_t at, uint32_t& value) const
    {
        uint16_t type = 0;
        uint32_t count = 0;
        if (!U16(at + 2, type) || !U32(at + 4, count) || count != 1)
            return false;
        if (type == 3) {
            uint16_t v = 0;
            if (!U16(at + 8, v))
                return false;
            value = v;
            return true;
        }
        return type == 4 && U32(at + 8, value);
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    bool m_little;
};

} // namespace

bool ReadTiffLayout(const uint8_t* data, size_t size, TiffLayout& layout)
{
    layout = TiffLayout {};
    if (size < 8 || data[0] != data[1] || (data[0] != 'I' && data[0] != 'M'))
        return false;
    const TiffReader tiff(data, size, data[0] == 'I');
    uint16_t magic = 0;
    if (!tiff.U16(2, magic) || magic != 42 || !tiff.U32(4, layout.directory))
        return false;
    uint16_t entries = 0;
    if (!tiff.U16(layout.directory, entries))
        return false;
    bool haveOffset = false;
    bool haveLength = false;
    for (uint16_t i = 0; i < entries; ++i) {
        const size_t at = size_t(layout.directory) + 2 + size_t(i) * 12;
        uint16_t tag = 0;
        uint32_t value = 0;
        if (!tiff.U16(at, tag))
            return false;
        const bool single = tiff.Single(at, value);
        switch (tag) {
        case 259:
            layout.compression = single ? value : 0;
            break;
        case 262:
            layout.photometric = single ? value : ~0u;
            break;
        case 266:
            layout.fillOrder = single ? value : 0;
            break;
        case 273:
            layout.stripOffset = value;
            haveOffset = single;
            break;
        case 279:
            layout.stripLength = value;
            haveLength = single;
            break;
        default:
            break;
        }
    }
    return haveOffset && haveLength && size_t(layout.stripOffset) <= size
        && size_t(layout.stripLength) <= size - size_t(layout.stripOffset);
}

void ClearTiffPadding(std::string& tiff)
{
    TiffLayout layout;
    if (!ReadTiffLayout(reinterpret_cast<const uint8_t*>(tiff.data()), tiff.size(), layout))
        return;
    const size_t stripEnd = size_t(layout.stripOffset) + size_t(layout.stripLength);
    if (stripEnd + 1 == size_t(layout.directory) && stripEnd < tiff.size())
        tiff[stripEnd] = '\0';
}

} // namespace platform::imaging
