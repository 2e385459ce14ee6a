// Feeds untrusted bytes to the reader of a composite temporary picture
// file's part list: any input must give at most two parts, each a path of
// 1..284 characters without a zero, and never read past the bytes.

#include "model/UndoTempFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<CString> parts = ReadCompositeParts(bytes);
    if (parts.size() > 2)
        abort();
    for (const CString& part : parts) {
        if (part.IsEmpty() || part.GetLength() > 284)
            abort();
    }
    return 0;
}
