#pragma once
// Reading saved design files in tests: a stream's bytes, and the listing of
// the elements under a path as the storage tests list compound files.

#include "platform/base/CodePage.h"
#include "platform/storage/OleStreamFile.h"
#include "platform/storage/Storage.h"
#include "tests/storage/StorageTestSupport.h"

#include <string>

namespace modeltest {

// The file's root storage opened for reading; NULL when it cannot be.
inline IStorage* OpenDesignRoot(const std::string& windowsPath)
{
    const std::u16string wide = platform::Utf16From1252(windowsPath);
    IStorage* pRoot = nullptr;
    if (FAILED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &pRoot)))
        return nullptr;
    return pRoot;
}

// The bytes of one stream of a compound file; empty when it has none.
inline std::string DesignStreamBytes(const std::string& windowsPath, const char* pszStream)
{
    IStorage* pRoot = OpenDesignRoot(windowsPath);
    if (pRoot == nullptr)
        return {};
    std::string out;
    COleStreamFile file;
    if (file.OpenStream(pRoot, pszStream, CFile::modeRead | CFile::shareExclusive)) {
        char buf[4096];
        for (UINT n; (n = file.Read(buf, sizeof(buf))) > 0;)
            out.append(buf, n);
        file.Close();
    }
    pRoot->Release();
    return out;
}

// The file's listing (path, kind, size, class, hash a line), as the
// storage tests and the outside readers give it.
inline std::string DesignListing(const std::string& windowsPath, storage_test::WithClassIds ids)
{
    IStorage* pRoot = OpenDesignRoot(windowsPath);
    if (pRoot == nullptr)
        return {};
    std::string out = storage_test::Listing(pRoot, ids);
    pRoot->Release();
    return out;
}

// The lines of a listing whose path starts with the prefix.
inline std::string ListingLinesUnder(const std::string& listing, const std::string& prefix)
{
    std::string out;
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find('\n', start);
        end = end == std::string::npos ? listing.size() : end;
        const std::string line = listing.substr(start, end - start);
        if (line.compare(0, prefix.size(), prefix) == 0)
            out += line + "\n";
        start = end + 1;
    }
    return out;
}

} // namespace modeltest
