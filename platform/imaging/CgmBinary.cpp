// The binary encoding of CGM (ISO 8632-3): a stream of elements, each a
// 16-bit header (class, id, parameter length) and its parameters, big-endian,
// padded to an even length. Parameters longer than 30 bytes come in
// partitions, each with its own 15-bit length and a "more follows" bit.

#include "platform/imaging/CgmInternal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::cgm {

namespace {

// The largest parameter list of one element (all partitions together).
constexpr size_t kMaxElementBytes = 32u << 20;
// METAFILE DEFAULTS REPLACEMENT holds elements; it may not hold itself.
constexpr int kMaxNesting = 1;

class BinaryParams final : public ParamReader {
public:
    BinaryParams(const BYTE* data, size_t size, const BinaryPrecisions& precisions, int depth)
        : m_data(data)
        , m_size(size)
        , m_prec(precisions)
        , m_depth(depth)
    {
    }

    bool IsBinary() const override { return true; }
    bool AtEnd() override
    {
        AlignByte();
        return m_pos >= m_size;
    }

    bool Integer(int64_t& value) override { return Signed(m_prec.integerBits, value); }
    bool Index(int64_t& value) override { return Signed(m_prec.indexBits, value); }
    bool Enum(int& value, std::initializer_list<std::string_view>) override
    {
        int64_t raw = 0;
        if (!Signed(16, raw))
            return false;
        value = static_cast<int>(raw);
        return true;
    }
    bool Real(double& value) override { return ReadReal(m_prec.real, value); }
    bool FloatingReal(double& value) override
    {
        AlignByte();
        const size_t left = m_pos < m_size ? m_size - m_pos : 0;
        return ReadReal(RealFormat{false, left >= 8 ? 12 : 9, left >= 8 ? 52 : 23}, value);
    }
    bool Vdc(double& value) override
    {
        if (m_prec.vdcIsReal)
            return ReadReal(m_prec.vdcReal, value);
        int64_t raw = 0;
        if (!Signed(m_prec.vdcIntegerBits, raw))
            return false;
        value = static_cast<double>(raw);
        return true;
    }
    bool ColourIndex(int64_t& value) override
    {
        uint64_t raw = 0;
        if (!Unsigned(m_prec.colourIndexBits, raw))
            return false;
        value = static_cast<int64_t>(raw);
        return true;
    }
    bool DirectColour(double rgb[3]) override
    {
        for (int i = 0; i < 3; ++i) {
            uint64_t raw = 0;
            if (!Unsigned(m_prec.colourBits, raw))
                return false;
            rgb[i] = static_cast<double>(raw);
        }
        return true;
    }
    bool String(std::string& value) override
    {
        AlignByte();
        value.clear();
        if (m_pos >= m_size)
            return false;
        size_t count = m_data[m_pos++];
        if (count < 255)
            return Take(count, value);
        // A long string: pieces of up to 32767 bytes, each with a flag for
        // another piece.
        for (;;) {
            uint64_t word = 0;
            if (!Unsigned(16, word))
                return false;
            if (!Take(static_cast<size_t>(word & 0x7FFF), value))
                return false;
            if ((word & 0x8000) == 0)
                return true;
        }
    }
    bool CellColours(int64_t nx, int64_t ny, int64_t localBits, bool direct, std::vector<uint32_t>& values) override
    {
        int mode = 0;
        if (!Enum(mode, {}))
            return false;
        int bits = static_cast<int>(localBits);
        if (bits == 0)
            bits = direct ? m_prec.colourBits : m_prec.colourIndexBits;
        const bool allowed = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24
            || bits == 32;
        if (!allowed || nx <= 0 || ny <= 0 || nx * ny > kMaxCells)
            return false;
        const int perCell = direct ? 3 : 1;
        // Every cell costs at least one bit, so a count the data cannot hold
        // is refused before anything is allocated.
        if (static_cast<uint64_t>(nx * ny) * perCell * static_cast<uint64_t>(bits) > (m_size - m_pos) * 8 + 64
            && mode != 0)
            return false;
        values.clear();
        values.reserve(static_cast<size_t>(nx * ny * perCell));
        for (int64_t row = 0; row < ny; ++row) {
            // Each row starts on a 16-bit boundary.
            AlignWord();
            if (mode == 1) {
                for (int64_t i = 0; i < nx * perCell; ++i) {
                    uint64_t raw = 0;
                    if (!Unsigned(bits, raw))
                        return false;
                    values.push_back(static_cast<uint32_t>(raw));
                }
            } else if (mode == 0) {
                int64_t done = 0;
                while (done < nx) {
                    int64_t run = 0;
                    if (!Signed(m_prec.integerBits, run) || run <= 0 || run > nx - done)
                        return false;
                    uint32_t cell[3] = {};
                    for (int i = 0; i < perCell; ++i) {
                        uint64_t raw = 0;
                        if (!Unsigned(bits, raw))
                            return false;
                        cell[i] = static_cast<uint32_t>(raw);
                    }
                    for (int64_t r = 0; r < run; ++r)
                        values.insert(values.end(), cell, cell + perCell);
                    done += run;
                }
            } else {
                return false;
            }
        }
        return true;
    }
    bool Nested(Interpreter& interpreter) override;

private:
    void AlignByte()
    {
        if (m_bit != 0) {
            m_bit = 0;
            ++m_pos;
        }
    }
    void AlignWord()
    {
        AlignByte();
        if (m_pos & 1)
            ++m_pos;
    }
    bool Take(size_t count, std::string& out)
    {
        if (count > m_size - std::min(m_pos, m_size))
            return false;
        out.append(reinterpret_cast<const char*>(m_data + m_pos), count);
        m_pos += count;
        return true;
    }
    // Whole bytes for 8 bits and more; bit fields below that (cell arrays).
    bool Unsigned(int bits, uint64_t& value)
    {
        value = 0;
        if (bits >= 8) {
            AlignByte();
            const size_t bytes = static_cast<size_t>(bits / 8);
            if (bits % 8 != 0 || bytes > 8 || m_pos > m_size || bytes > m_size - m_pos)
                return false;
            for (size_t i = 0; i < bytes; ++i)
                value = (value << 8) | m_data[m_pos + i];
            m_pos += bytes;
            return true;
        }
        if (bits <= 0)
            return false;
        for (int i = 0; i < bits; ++i) {
            if (m_pos >= m_size)
                return false;
            const int bit = (m_data[m_pos] >> (7 - m_bit)) & 1;
            value = (value << 1) | static_cast<uint64_t>(bit);
            if (++m_bit == 8) {
                m_bit = 0;
                ++m_pos;
            }
        }
        return true;
    }
    bool Signed(int bits, int64_t& value)
    {
        uint64_t raw = 0;
        if (bits < 8 || !Unsigned(bits, raw))
            return false;
        if (bits < 64 && (raw >> (bits - 1)) != 0)
            raw |= ~uint64_t(0) << bits;
        value = static_cast<int64_t>(raw);
        return true;
    }
    bool ReadReal(const RealFormat& format, double& value)
    {
        if (format.fixed) {
            int64_t whole = 0;
            uint64_t fraction = 0;
            if (!Signed(format.wholeBits, whole) || !Unsigned(format.fractionBits, fraction))
                return false;
            value = static_cast<double>(whole) + std::ldexp(static_cast<double>(fraction), -format.fractionBits);
            return true;
        }
        uint64_t raw = 0;
        if (format.wholeBits == 9) {
            if (!Unsigned(32, raw))
                return false;
            float f = 0;
            const uint32_t word = static_cast<uint32_t>(raw);
            std::memcpy(&f, &word, sizeof f);
            value = f;
        } else {
            if (!Unsigned(64, raw))
                return false;
            std::memcpy(&value, &raw, sizeof value);
        }
        // NaNs and infinities draw nothing sensible; they are damage.
        return std::isfinite(value);
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
    int m_bit = 0;
    const BinaryPrecisions& m_prec;
    int m_depth;
};

bool ReadElements(const BYTE* data, size_t size, Interpreter& interpreter, int depth)
{
    size_t pos = 0;
    std::vector<BYTE> params;
    while (pos < size && !interpreter.IsDone()) {
        if (size - pos < 2)
            return false;
        const unsigned header = (unsigned(data[pos]) << 8) | data[pos + 1];
        pos += 2;
        const int elementClass = static_cast<int>(header >> 12);
        const int elementId = static_cast<int>((header >> 5) & 0x7F);
        size_t length = header & 0x1F;
        params.clear();
        if (length < 31) {
            if (length > size - pos)
                return false;
            params.assign(data + pos, data + pos + length);
            pos = std::min(pos + length + (length & 1), size);
        } else {
            for (;;) {
                if (size - pos < 2)
                    return false;
                const unsigned word = (unsigned(data[pos]) << 8) | data[pos + 1];
                pos += 2;
                length = word & 0x7FFF;
                if (length > size - pos || params.size() + length > kMaxElementBytes)
                    return false;
                params.insert(params.end(), data + pos, data + pos + length);
                // The padding byte of the file's last partition may be
                // missing; a partition that says more follows then finds
                // nothing.
                pos = std::min(pos + length + (length & 1), size);
                if ((word & 0x8000) == 0)
                    break;
            }
        }
        pos = std::min(pos, size);
        // Precisions change as elements are read, so the reader takes the
        // interpreter's current ones for each element.
        BinaryParams reader(params.data(), params.size(), interpreter.Precisions(), depth);
        if (!interpreter.Element(elementClass, elementId, reader))
            return false;
    }
    return true;
}

bool BinaryParams::Nested(Interpreter& interpreter)
{
    if (m_depth >= kMaxNesting)
        return false;
    return ReadElements(m_data, m_size, interpreter, m_depth + 1);
}

} // namespace

bool LooksBinary(const BYTE* data, size_t size)
{
    // BEGIN METAFILE: class 0, element 1.
    return size >= 2 && data[0] == 0x00 && (data[1] & 0xE0) == 0x20;
}

bool ReadBinary(const BYTE* data, size_t size, Interpreter& interpreter)
{
    return ReadElements(data, size, interpreter, 0);
}

} // namespace platform::cgm
