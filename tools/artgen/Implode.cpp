#include "Implode.h"

#include "pictures/ImplodeCodes.h"

#include <algorithm>
#include <stdexcept>

namespace artgen {

namespace {

// A code as it goes into the stream: its bits inverted and in the order
// they are read, so that they can be written low bit first.
struct WireCode {
    uint16_t bits;
    uint8_t length;
};

template <size_t N>
std::array<WireCode, N> MakeWireCodes(const std::array<uint8_t, N>& codeBits)
{
    int count[implode::kMaxCodeBits + 1] = {};
    for (uint8_t bits : codeBits)
        ++count[bits];
    count[0] = 0;
    // Canonical codes: the first code of each length follows the last code
    // of the length before.
    int next[implode::kMaxCodeBits + 1] = {};
    int code = 0;
    for (int n = 1; n <= implode::kMaxCodeBits; ++n) {
        code = (code + count[n - 1]) << 1;
        next[n] = code;
    }
    std::array<WireCode, N> wire{};
    for (size_t symbol = 0; symbol < N; ++symbol) {
        int n = codeBits[symbol];
        int canonical = next[n]++;
        uint16_t bits = 0;
        for (int i = 0; i < n; ++i) {
            int bit = ((canonical >> (n - 1 - i)) & 1) ^ 1;
            bits = static_cast<uint16_t>(bits | (bit << i));
        }
        wire[symbol] = {bits, static_cast<uint8_t>(n)};
    }
    return wire;
}

const std::array<WireCode, implode::kLiteralSymbols> kLiteralCodes = MakeWireCodes(implode::kLiteralCodeBits);
const std::array<WireCode, implode::kLengthSymbols> kLengthCodes = MakeWireCodes(implode::kLengthCodeBits);
const std::array<WireCode, implode::kDistanceSymbols> kDistanceCodes = MakeWireCodes(implode::kDistanceCodeBits);

constexpr size_t kMinStreamBytes = 5;

int LengthSymbol(int length)
{
    for (int symbol = implode::kLengthSymbols - 1; symbol >= 0; --symbol) {
        int base = implode::kLengthBase[symbol];
        if (length >= base && length < base + (1 << implode::kLengthExtraBits[symbol]))
            return symbol;
    }
    throw std::invalid_argument("copy length out of range");
}

} // namespace

ImplodeWriter::ImplodeWriter(LiteralCoding coding, int dictionaryBits)
    : m_coding(coding)
    , m_dictionaryBits(dictionaryBits)
{
    if (dictionaryBits < implode::kMinDictionaryBits || dictionaryBits > implode::kMaxDictionaryBits)
        throw std::invalid_argument("dictionary size bits must be 4, 5 or 6");
    m_bytes.push_back(static_cast<uint8_t>(coding));
    m_bytes.push_back(static_cast<uint8_t>(dictionaryBits));
}

void ImplodeWriter::PutBits(uint32_t value, int count)
{
    m_bitBuffer |= value << m_bitCount;
    m_bitCount += count;
    while (m_bitCount >= 8) {
        m_bytes.push_back(static_cast<uint8_t>(m_bitBuffer));
        m_bitBuffer >>= 8;
        m_bitCount -= 8;
    }
}

void ImplodeWriter::Literal(uint8_t byte)
{
    PutBits(0, 1);
    if (m_coding == LiteralCoding::Ascii)
        PutBits(kLiteralCodes[byte].bits, kLiteralCodes[byte].length);
    else
        PutBits(byte, 8);
}

void ImplodeWriter::PutLength(int length)
{
    int symbol = LengthSymbol(length);
    PutBits(1, 1);
    PutBits(kLengthCodes[symbol].bits, kLengthCodes[symbol].length);
    PutBits(static_cast<uint32_t>(length - implode::kLengthBase[symbol]), implode::kLengthExtraBits[symbol]);
}

int ImplodeWriter::MaxDistance(int length) const
{
    int lowBits = length == 2 ? implode::kShortCopyDistanceBits : m_dictionaryBits;
    return implode::kDistanceSymbols << lowBits;
}

void ImplodeWriter::Copy(int length, int distance)
{
    if (length < implode::kMinCopyLength || length > implode::kMaxCopyLength)
        throw std::invalid_argument("copy length out of range");
    if (distance < 1 || distance > MaxDistance(length))
        throw std::invalid_argument("copy distance out of range");
    PutLength(length);
    int lowBits = length == 2 ? implode::kShortCopyDistanceBits : m_dictionaryBits;
    int value = distance - 1;
    int symbol = value >> lowBits;
    PutBits(kDistanceCodes[symbol].bits, kDistanceCodes[symbol].length);
    PutBits(static_cast<uint32_t>(value & ((1 << lowBits) - 1)), lowBits);
}

int ImplodeWriter::LiteralCost(uint8_t byte) const
{
    return 1 + (m_coding == LiteralCoding::Ascii ? kLiteralCodes[byte].length : 8);
}

int ImplodeWriter::CopyCost(int length, int distance) const
{
    int symbol = LengthSymbol(length);
    int lowBits = length == 2 ? implode::kShortCopyDistanceBits : m_dictionaryBits;
    return 1 + kLengthCodes[symbol].length + implode::kLengthExtraBits[symbol]
        + kDistanceCodes[(distance - 1) >> lowBits].length + lowBits;
}

std::vector<uint8_t> ImplodeWriter::FinishWithoutEndMark()
{
    if (m_bitCount > 0)
        PutBits(0, 8 - m_bitCount);
    // The decoder refuses a stream of fewer than five bytes, which the end
    // mark alone after the header would be; bytes after the mark are never
    // read.
    while (m_bytes.size() < kMinStreamBytes)
        m_bytes.push_back(0);
    return std::move(m_bytes);
}

std::vector<uint8_t> ImplodeWriter::Finish()
{
    PutLength(implode::kEndOfStreamLength);
    return FinishWithoutEndMark();
}

std::vector<uint8_t> Implode(std::span<const uint8_t> data, LiteralCoding coding, int dictionaryBits)
{
    ImplodeWriter writer(coding, dictionaryBits);
    const int size = static_cast<int>(data.size());
    if (data.size() > static_cast<size_t>(INT32_MAX))
        throw std::invalid_argument("input too large");

    constexpr int kHashBits = 15;
    constexpr int kMaxChain = 256;
    std::vector<int> head(size_t{1} << kHashBits, -1);
    std::vector<int> previous(data.size(), -1);
    // Last position of every two-byte pair, for copies of two bytes.
    std::vector<int> pairHead(size_t{1} << 16, -1);

    auto hash3 = [&](int i) {
        uint32_t v = (uint32_t{data[i]} << 16) | (uint32_t{data[i + 1]} << 8) | data[i + 2];
        return static_cast<int>((v * 2654435761u) >> (32 - kHashBits));
    };
    auto pair = [&](int i) { return (data[i] << 8) | data[i + 1]; };
    auto insert = [&](int i) {
        if (i + 2 < size) {
            int h = hash3(i);
            previous[i] = head[h];
            head[h] = i;
        }
        if (i + 1 < size)
            pairHead[pair(i)] = i;
    };

    const int window = writer.MaxDistance(3);
    int i = 0;
    while (i < size) {
        int bestLength = 0;
        int bestDistance = 0;
        int limit = std::min(implode::kMaxCopyLength, size - i);
        if (limit >= 3) {
            int steps = 0;
            for (int j = head[hash3(i)]; j >= 0 && i - j <= window && steps < kMaxChain; j = previous[j], ++steps) {
                int n = 0;
                while (n < limit && data[j + n] == data[i + n])
                    ++n;
                if (n > bestLength) {
                    bestLength = n;
                    bestDistance = i - j;
                    if (n == limit)
                        break;
                }
            }
        }
        if (bestLength < 3) {
            bestLength = 0;
            if (limit >= 2) {
                int j = pairHead[pair(i)];
                if (j >= 0 && i - j <= writer.MaxDistance(2)) {
                    bestLength = 2;
                    bestDistance = i - j;
                }
            }
        }
        if (bestLength >= 2) {
            int literalCost = 0;
            for (int k = 0; k < bestLength; ++k)
                literalCost += writer.LiteralCost(data[i + k]);
            if (writer.CopyCost(bestLength, bestDistance) < literalCost) {
                writer.Copy(bestLength, bestDistance);
                for (int k = 0; k < bestLength; ++k)
                    insert(i + k);
                i += bestLength;
                continue;
            }
        }
        writer.Literal(data[i]);
        insert(i);
        ++i;
    }
    return writer.Finish();
}

} // namespace artgen
