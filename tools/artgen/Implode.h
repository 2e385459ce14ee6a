#pragma once
// The implode encoder of the art generator. The program only unpacks
// (pictures/Explode.h); its METAFILE resources are packed here, at
// development time, and checked by tests against this encoder's output.

#include <cstdint>
#include <span>
#include <vector>

namespace artgen {

enum class LiteralCoding : uint8_t {
    Binary = 0, // literals as eight raw bits
    Ascii = 1,  // literals Huffman-coded, short codes for common text characters
};

// Writes a stream item by item. Implode drives it; tests also use it to
// build streams that no encoder would choose (copies from before the start,
// streams without an end mark).
class ImplodeWriter {
public:
    // dictionaryBits is 4, 5 or 6 (a window of 1024, 2048 or 4096 bytes);
    // anything else throws std::invalid_argument.
    ImplodeWriter(LiteralCoding coding, int dictionaryBits);

    void Literal(uint8_t byte);
    // A copy of length bytes from distance bytes back. Throws
    // std::invalid_argument for a length outside 2..518 or a distance the
    // format cannot express (see MaxDistance); whether the distance reaches
    // real output is the caller's business.
    void Copy(int length, int distance);
    int MaxDistance(int length) const;

    // Bits each item would take, for choosing between a copy and literals.
    int LiteralCost(uint8_t byte) const;
    int CopyCost(int length, int distance) const;

    // Appends the end mark, pads the last byte with zero bits (and the
    // stream with zero bytes to the five the decoder needs at least) and
    // returns the stream. FinishWithoutEndMark leaves out the end mark.
    std::vector<uint8_t> Finish();
    std::vector<uint8_t> FinishWithoutEndMark();

private:
    void PutBits(uint32_t value, int count);
    void PutLength(int length);

    LiteralCoding m_coding;
    int m_dictionaryBits;
    std::vector<uint8_t> m_bytes;
    uint32_t m_bitBuffer = 0;
    int m_bitCount = 0;
};

// Packs data into one stream with the given literal coding and dictionary
// size: greedy matching over hash chains, a copy taken only when it costs
// fewer bits than the literals it replaces.
std::vector<uint8_t> Implode(std::span<const uint8_t> data, LiteralCoding coding, int dictionaryBits);

} // namespace artgen
