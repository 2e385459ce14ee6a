// Reads length-prefixed strings from arbitrary bytes until a read fails. A
// read never runs past the bytes, never allocates more than they hold, and
// a string it accepts was written there: writing it back gives the bytes
// the read consumed.

#include "assist/FileString.h"

#include "platform/base/MemFile.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    CMemFile file(bytes.data(), UINT(bytes.size()));
    for (;;) {
        const DWORD dwStart = file.GetPosition();
        CString str;
        if (!ReadFileString(&file, str)) {
            Check(str.IsEmpty());
            break;
        }
        const DWORD dwEnd = file.GetPosition();
        Check(dwEnd > dwStart + 4 && dwEnd <= size);
        // A string without an inner zero comes back byte for byte.
        if (DWORD(str.GetLength()) + 5 == dwEnd - dwStart) {
            CMemFile out;
            WriteFileString(&out, str);
            Check(out.GetLength() == dwEnd - dwStart);
            std::vector<BYTE> written(out.GetLength());
            out.SeekToBegin();
            out.Read(written.data(), UINT(written.size()));
            Check(std::memcmp(written.data(), bytes.data() + dwStart, written.size()) == 0);
        }
    }
    return 0;
}
