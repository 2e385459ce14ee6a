#pragma once
// One folder's entries matching a wildcard, as _findfirst and FindFirstFile
// report them (not for program code; see CrtFiles.h for the rules). The
// entries are read when the listing opens and sorted by name without case.

#include "platform/base/Types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ListedEntry {
    std::string name; // 1252
    DWORD attributes = 0;
    uint64_t size = 0;
    int64_t accessTime = 0; // seconds since 1970
    int64_t writeTime = 0;
};

class DirectoryListing {
public:
    // False with a Win32 error: ERROR_PATH_NOT_FOUND when the folder is not
    // there, ERROR_FILE_NOT_FOUND when nothing matches.
    bool Open(std::string_view fileSpec, DWORD* error);
    // False at the end.
    bool Next(ListedEntry& entry);

private:
    std::vector<ListedEntry> m_entries;
    size_t m_next = 0;
};

} // namespace platform
