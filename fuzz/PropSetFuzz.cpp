// Feeds untrusted bytes to the property-set reader as the whole stream, then
// touches every value it kept: each must lie inside what was read, and a
// string must end inside its value. A set that was read must also write
// back out.

#include "model/PropSet.h"
#include "platform/storage/Storage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
// Where the bytes of every value go, so that reading them is not optimised
// away.
volatile unsigned g_sink;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IStream* pStream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &pStream)))
        return 0;
    ULONG cbWritten = 0;
    pStream->Write(data, static_cast<ULONG>(size), &cbWritten);

    CPropSet set;
    if (set.ReadFromStream(pStream)) {
        unsigned sum = 0;
        for (const CPropSection& section : set.GetSections()) {
            for (const CPropValue& value : section.GetValues()) {
                if (value.GetSize() > size)
                    std::abort();
                const BYTE* p = static_cast<const BYTE*>(value.Get());
                for (DWORD i = 0; i < value.GetSize() && i < 64; ++i)
                    sum += p[i];
                if (value.GetType() == VT_LPSTR && std::strlen(static_cast<const char*>(value.Get())) > value.GetSize())
                    std::abort();
            }
        }
        g_sink = sum;
        IStream* pOut = nullptr;
        if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &pOut))) {
            if (!set.WriteToStream(pOut))
                std::abort();
            pOut->Release();
        }
    }
    pStream->Release();
    return 0;
}
