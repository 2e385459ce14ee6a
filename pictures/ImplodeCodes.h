#pragma once
// The fixed code tables of the implode stream format, shared by the
// decoder (Explode.cpp) and the build-time encoder of the art generator.
//
// A stream is a byte giving how literals are coded, a byte giving the
// dictionary size, and then a bit stream read from the low bit of each byte
// up. Each item starts with one bit: 0 for a literal, 1 for a copy of
// earlier output. The Huffman codes are canonical (shorter codes first,
// symbols in order within a length) but every code bit is stored inverted,
// first bit first.

#include <array>
#include <cstddef>
#include <cstdint>

namespace implode {

// Literal coding: raw 8-bit literals or Huffman-coded ones.
constexpr uint8_t kBinaryLiterals = 0;
constexpr uint8_t kAsciiLiterals = 1;

// The dictionary-size byte is the number of low distance bits sent raw: 4, 5
// or 6, for a window of 64 << bits bytes (1024, 2048 or 4096).
constexpr uint8_t kMinDictionaryBits = 4;
constexpr uint8_t kMaxDictionaryBits = 6;
constexpr size_t kMaxWindow = size_t{64} << kMaxDictionaryBits;

// A copy of two bytes sends only two raw distance bits, so it reaches back
// at most 256 bytes.
constexpr int kShortCopyDistanceBits = 2;

constexpr int kMinCopyLength = 2;
constexpr int kMaxCopyLength = 518;
// The length value one above the longest copy ends the stream.
constexpr int kEndOfStreamLength = 519;

constexpr int kLiteralSymbols = 256;
constexpr int kLengthSymbols = 16;
constexpr int kDistanceSymbols = 64;
constexpr int kMaxCodeBits = 13;

// Length symbols: base length and number of extra bits sent raw after the
// code. Symbol 0 (the shortest code) stands for 3, symbol 1 for 2.
constexpr std::array<uint16_t, kLengthSymbols> kLengthBase = {3, 2, 4, 5, 6, 7, 8, 9, 10, 12, 16, 24, 40, 72, 136, 264};
constexpr std::array<uint8_t, kLengthSymbols> kLengthExtraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};

namespace detail {

// Code lengths are kept as runs: each byte holds a code length in its low
// four bits and the run's length less one in its high four bits.
template <size_t Count, size_t PackedSize>
constexpr std::array<uint8_t, Count> ExpandRuns(const std::array<uint8_t, PackedSize>& packed)
{
    std::array<uint8_t, Count> lengths{};
    size_t n = 0;
    for (uint8_t run : packed) {
        for (int i = 0; i <= run >> 4; ++i)
            lengths[n++] = run & 0x0F;
    }
    // A table of the wrong total does not compile: the index above overflows
    // or this check fails.
    if (n != Count)
        throw "code length table has the wrong number of entries";
    return lengths;
}

constexpr std::array<uint8_t, 6> kLengthRuns = {0x02, 0x23, 0x24, 0x35, 0x26, 0x17};
constexpr std::array<uint8_t, 7> kDistanceRuns = {0x02, 0x14, 0x35, 0xE6, 0xF7, 0x97, 0xF8};
constexpr std::array<uint8_t, 98> kLiteralRuns = {
    0x0B, 0x7C, 0x08, 0x07, 0x1C, 0x07, 0xBC, 0x0D, 0x4C, 0x04, 0x0A, 0x08, 0x0C, 0x0A, 0x0C, 0x0A, 0x08,
    0x17, 0x08, 0x09, 0x07, 0x06, 0x07, 0x08, 0x07, 0x06, 0x37, 0x08, 0x17, 0x18, 0x0C, 0x0B, 0x07, 0x09,
    0x0B, 0x0C, 0x06, 0x07, 0x16, 0x05, 0x07, 0x18, 0x06, 0x0B, 0x09, 0x06, 0x07, 0x16, 0x07, 0x0B, 0x26,
    0x07, 0x09, 0x08, 0x19, 0x0B, 0x08, 0x0B, 0x09, 0x0C, 0x08, 0x0C, 0x05, 0x26, 0x05, 0x26, 0x05, 0x0B,
    0x07, 0x05, 0x06, 0x15, 0x06, 0x0A, 0x35, 0x08, 0x07, 0x18, 0x0A, 0x1B, 0x2C, 0xFD, 0xFD, 0xFD, 0xFC,
    0xFC, 0xFC, 0x0D, 0x0C, 0x2D, 0x0C, 0x2D, 0x0C, 0x3D, 0x0C, 0x2D, 0x2C, 0xAD};

} // namespace detail

// Code length of every symbol, in symbol order.
constexpr std::array<uint8_t, kLengthSymbols> kLengthCodeBits = detail::ExpandRuns<kLengthSymbols>(detail::kLengthRuns);
constexpr std::array<uint8_t, kDistanceSymbols> kDistanceCodeBits
    = detail::ExpandRuns<kDistanceSymbols>(detail::kDistanceRuns);
constexpr std::array<uint8_t, kLiteralSymbols> kLiteralCodeBits
    = detail::ExpandRuns<kLiteralSymbols>(detail::kLiteralRuns);

} // namespace implode
