#pragma once
// Writing whole streams into a storage, for tests that lay out by hand what
// an object's program would have stored.

#include "platform/storage/Storage.h"

#include <string>

namespace testing_support {

// Creates (or replaces) the stream pszName in pStorage holding bytes; false
// when the stream cannot be made or takes fewer bytes than it was given.
inline bool WriteWholeStream(IStorage* pStorage, const char16_t* pszName, const std::string& bytes)
{
    IStream* pStream = nullptr;
    if (FAILED(pStorage->CreateStream(reinterpret_cast<const OLECHAR*>(pszName),
            STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &pStream)))
        return false;
    ULONG nWritten = 0;
    const HRESULT hr = pStream->Write(bytes.data(), ULONG(bytes.size()), &nWritten);
    pStream->Release();
    return SUCCEEDED(hr) && nWritten == bytes.size();
}

} // namespace testing_support
