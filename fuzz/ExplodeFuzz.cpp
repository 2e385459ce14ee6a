// Feeds untrusted bytes to the implode decoder. ExplodeMemory must return
// without writing past its buffer whatever the stream holds; explode fed by a
// reader of small pieces must give the same result and output as one fed
// the whole stream, and the output ExplodeMemory accepts must be exactly that
// output.
//
// The first byte picks the output capacity and the reader's piece size; the
// rest is the stream.

#include "pictures/Explode.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t position;
    size_t piece;
    std::string output;
};

UINT Read(char* buffer, UINT* size, void* param)
{
    auto& r = *static_cast<Reader*>(param);
    size_t n = std::min({static_cast<size_t>(*size), r.piece, r.size - r.position});
    std::memcpy(buffer, r.data + r.position, n);
    r.position += n;
    *size = static_cast<UINT>(n);
    return *size;
}

void Write(char* buffer, UINT* size, void* param)
{
    auto& r = *static_cast<Reader*>(param);
    if (*size > 4096)
        std::abort();
    // Bound what one input may make: a few kilobytes of stream can describe
    // megabytes of runs.
    if (r.output.size() < (4u << 20))
        r.output.append(buffer, *size);
}

int Explode(const uint8_t* data, size_t size, size_t piece, std::string& output)
{
    std::vector<char> work(EXPLODE_WORK_SIZE);
    Reader reader{data, size, 0, piece, {}};
    int result = explode(Read, Write, work.data(), &reader);
    output = std::move(reader.output);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    uint8_t control = data[0];
    ++data;
    --size;

    static const size_t kCapacities[] = {0, 1, 13, 4095, 4096, 4097, 8192, 20000};
    size_t capacity = kCapacities[control & 7];
    size_t piece = 1 + (control >> 3);

    constexpr size_t kGuard = 32;
    std::vector<uint8_t> buffer(capacity + kGuard, 0xA5);
    BOOL ok = ExplodeMemory(data, static_cast<UINT>(size), buffer.data(), static_cast<UINT>(capacity));
    for (size_t i = capacity; i < buffer.size(); ++i) {
        if (buffer[i] != 0xA5)
            std::abort();
    }

    std::string whole;
    std::string pieces;
    int result = Explode(data, size, SIZE_MAX, whole);
    if (Explode(data, size, piece, pieces) != result || pieces != whole)
        std::abort();
    if (result < EXPLODE_OK || result > EXPLODE_CORRUPT)
        std::abort();
    if (ok) {
        if (result != EXPLODE_OK || whole.size() > capacity
            || std::memcmp(buffer.data(), whole.data(), whole.size()) != 0)
            std::abort();
    } else if (result == EXPLODE_OK && whole.size() <= capacity && whole.size() < (4u << 20)) {
        std::abort();
    }
    return 0;
}
