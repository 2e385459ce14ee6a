#include "pictures/Explode.h"

#include "pictures/ImplodeCodes.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr UINT kInputBufferSize = 2048;
// Output is collected after a history as long as the largest window; when
// the second half is full it goes to the writer and moves down to become
// the history of what follows.
constexpr UINT kHistorySize = implode::kMaxWindow;
constexpr UINT kWindowSize = 2 * kHistorySize;
// Shorter input is refused as bad data before anything is decoded.
constexpr UINT kMinInput = 5;

// A canonical Huffman code with inverted bits: count[n] is the number of
// codes of n bits, symbols lists the symbols ordered by code.
struct HuffmanDecoder {
    uint16_t count[implode::kMaxCodeBits + 1];
    uint16_t symbols[implode::kLiteralSymbols];
};

template <size_t N>
void BuildDecoder(HuffmanDecoder& decoder, const std::array<uint8_t, N>& codeBits)
{
    std::memset(&decoder, 0, sizeof decoder);
    for (uint8_t bits : codeBits)
        ++decoder.count[bits];
    decoder.count[0] = 0;
    uint16_t offsets[implode::kMaxCodeBits + 2] = {};
    for (int n = 1; n <= implode::kMaxCodeBits; ++n)
        offsets[n + 1] = static_cast<uint16_t>(offsets[n] + decoder.count[n]);
    for (size_t symbol = 0; symbol < N; ++symbol) {
        if (codeBits[symbol] != 0)
            decoder.symbols[offsets[codeBits[symbol]]++] = static_cast<uint16_t>(symbol);
    }
}

struct ExplodeState {
    EXPLODE_READ_PROC read;
    EXPLODE_WRITE_PROC write;
    void* param;
    UINT dictionaryBits;
    bool asciiLiterals;
    bool inputEnded;

    uint32_t bitBuffer;
    int bitCount;
    UINT inputPos;
    UINT inputEnd;

    UINT outputPos;     // next byte of the window to write, kHistorySize and up
    UINT historyLength; // bytes of real output before outputPos, at most kHistorySize

    HuffmanDecoder literals;
    HuffmanDecoder lengths;
    HuffmanDecoder distances;

    unsigned char input[kInputBufferSize];
    unsigned char window[kWindowSize];
};

static_assert(sizeof(ExplodeState) + alignof(ExplodeState) <= EXPLODE_WORK_SIZE,
    "the decoder state must fit the documented work area");

bool FillInput(ExplodeState& s)
{
    if (s.inputEnded)
        return false;
    UINT size = kInputBufferSize;
    UINT got = s.read(reinterpret_cast<char*>(s.input), &size, s.param);
    if (got == 0 || got > kInputBufferSize) {
        s.inputEnded = true;
        return false;
    }
    s.inputPos = 0;
    s.inputEnd = got;
    return true;
}

// Makes at least n bits (n <= 16) available; false when the
// input ends first.
bool NeedBits(ExplodeState& s, int n)
{
    while (s.bitCount < n) {
        if (s.inputPos == s.inputEnd && !FillInput(s))
            return false;
        s.bitBuffer |= static_cast<uint32_t>(s.input[s.inputPos++]) << s.bitCount;
        s.bitCount += 8;
    }
    return true;
}

// The next n raw bits, low bit first, or -1 when the input ends.
int ReadBits(ExplodeState& s, int n)
{
    if (!NeedBits(s, n))
        return -1;
    int value = static_cast<int>(s.bitBuffer & ((1u << n) - 1));
    s.bitBuffer >>= n;
    s.bitCount -= n;
    return value;
}

// The next symbol of a code, or -1 when the input ends inside it.
int Decode(ExplodeState& s, const HuffmanDecoder& decoder)
{
    int code = 0;  // the bits read so far
    int first = 0; // first code of the current length
    int index = 0; // index in symbols of that first code
    for (int n = 1; n <= implode::kMaxCodeBits; ++n) {
        int bit = ReadBits(s, 1);
        if (bit < 0)
            return -1;
        code |= bit ^ 1;
        int count = decoder.count[n];
        if (code - first < count)
            return decoder.symbols[index + code - first];
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    // The fixed codes are complete, so every bit string ends in a symbol.
    return -1;
}

void FlushWindow(ExplodeState& s)
{
    UINT size = s.outputPos - kHistorySize;
    if (size == 0)
        return;
    s.write(reinterpret_cast<char*>(s.window + kHistorySize), &size, s.param);
}

void PutByte(ExplodeState& s, unsigned char byte)
{
    s.window[s.outputPos++] = byte;
    if (s.outputPos == kWindowSize) {
        FlushWindow(s);
        std::memmove(s.window, s.window + kHistorySize, kHistorySize);
        s.outputPos = kHistorySize;
        s.historyLength = kHistorySize;
    }
}

// Decodes items until the end mark. Returns EXPLODE_OK at the mark,
// EXPLODE_CORRUPT when the input ends first or a copy reaches back past the
// start of the output.
int DecodeItems(ExplodeState& s)
{
    for (;;) {
        int kind = ReadBits(s, 1);
        if (kind < 0)
            return EXPLODE_CORRUPT;
        if (kind == 0) {
            int literal = s.asciiLiterals ? Decode(s, s.literals) : ReadBits(s, 8);
            if (literal < 0)
                return EXPLODE_CORRUPT;
            PutByte(s, static_cast<unsigned char>(literal));
            continue;
        }

        int symbol = Decode(s, s.lengths);
        if (symbol < 0)
            return EXPLODE_CORRUPT;
        int extra = ReadBits(s, implode::kLengthExtraBits[symbol]);
        if (extra < 0)
            return EXPLODE_CORRUPT;
        int length = implode::kLengthBase[symbol] + extra;
        if (length == implode::kEndOfStreamLength)
            return EXPLODE_OK;

        int distanceSymbol = Decode(s, s.distances);
        if (distanceSymbol < 0)
            return EXPLODE_CORRUPT;
        int lowBits = length == 2 ? implode::kShortCopyDistanceBits : static_cast<int>(s.dictionaryBits);
        int low = ReadBits(s, lowBits);
        if (low < 0)
            return EXPLODE_CORRUPT;
        UINT distance = (static_cast<UINT>(distanceSymbol) << lowBits) + static_cast<UINT>(low) + 1;
        UINT available = s.historyLength + (s.outputPos - kHistorySize);
        if (distance > available)
            return EXPLODE_CORRUPT;
        // Byte by byte: a copy may overlap the bytes it produces, which
        // repeats a run.
        for (int i = 0; i < length; ++i)
            PutByte(s, s.window[s.outputPos - distance]);
    }
}

struct MemoryContext {
    const unsigned char* source;
    UINT sourcePos;
    UINT sourceSize;
    unsigned char* destination;
    UINT destinationPos;
    UINT destinationSize;
    bool overflow;
};

UINT ReadMemory(char* buffer, UINT* size, void* param)
{
    auto& context = *static_cast<MemoryContext*>(param);
    if (context.overflow) {
        *size = 0;
        return 0;
    }
    UINT count = std::min(*size, context.sourceSize - context.sourcePos);
    if (count != 0)
        std::memcpy(buffer, context.source + context.sourcePos, count);
    context.sourcePos += count;
    *size = count;
    return count;
}

void WriteMemory(char* buffer, UINT* size, void* param)
{
    auto& context = *static_cast<MemoryContext*>(param);
    if (context.overflow)
        return;
    if (context.destinationSize - context.destinationPos < *size) {
        context.overflow = true;
        return;
    }
    std::memcpy(context.destination + context.destinationPos, buffer, *size);
    context.destinationPos += *size;
}

} // namespace

int explode(EXPLODE_READ_PROC readProc, EXPLODE_WRITE_PROC writeProc, char* workArea, void* param)
{
    void* place = workArea;
    size_t space = EXPLODE_WORK_SIZE;
    place = std::align(alignof(ExplodeState), sizeof(ExplodeState), place, space);
    auto& s = *new (place) ExplodeState;
    s.read = readProc;
    s.write = writeProc;
    s.param = param;
    s.inputEnded = false;
    s.bitBuffer = 0;
    s.bitCount = 0;
    s.inputPos = 0;
    s.inputEnd = 0;
    s.outputPos = kHistorySize;
    s.historyLength = 0;

    // The header needs the first five bytes in the buffer at once; a reader
    // may deliver them in pieces.
    while (s.inputEnd < kMinInput) {
        UINT size = kInputBufferSize - s.inputEnd;
        UINT got = readProc(reinterpret_cast<char*>(s.input + s.inputEnd), &size, param);
        if (got == 0 || got > kInputBufferSize - s.inputEnd)
            return EXPLODE_SHORT_INPUT;
        s.inputEnd += got;
    }
    unsigned char mode = s.input[0];
    unsigned char dictionaryBits = s.input[1];
    if (mode != implode::kBinaryLiterals && mode != implode::kAsciiLiterals)
        return EXPLODE_BAD_MODE;
    if (dictionaryBits < implode::kMinDictionaryBits || dictionaryBits > implode::kMaxDictionaryBits)
        return EXPLODE_BAD_DICTIONARY;
    s.asciiLiterals = mode == implode::kAsciiLiterals;
    s.dictionaryBits = dictionaryBits;
    s.inputPos = 2;

    if (s.asciiLiterals)
        BuildDecoder(s.literals, implode::kLiteralCodeBits);
    BuildDecoder(s.lengths, implode::kLengthCodeBits);
    BuildDecoder(s.distances, implode::kDistanceCodeBits);

    int result = DecodeItems(s);
    FlushWindow(s);
    return result;
}

BOOL ExplodeMemory(const void* input, UINT inputSize, void* output, UINT outputSize)
{
    if (inputSize != 0 && input == nullptr)
        return FALSE;
    if (outputSize != 0 && output == nullptr)
        return FALSE;
    std::unique_ptr<char[]> workArea(new (std::nothrow) char[EXPLODE_WORK_SIZE]);
    if (!workArea)
        return FALSE;
    MemoryContext context{};
    context.source = static_cast<const unsigned char*>(input);
    context.sourceSize = inputSize;
    context.destination = static_cast<unsigned char*>(output);
    context.destinationSize = outputSize;
    int result = explode(ReadMemory, WriteMemory, workArea.get(), &context);
    return result == EXPLODE_OK && !context.overflow;
}
