#include "platform/files/DirectoryListing.h"

#include "platform/base/CharClass.h"
#include "platform/base/CodePage.h"
#include "platform/files/FileOps.h"
#include "platform/files/HostPath.h"
#include "platform/files/WindowsPath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>

namespace platform {

namespace {

// A folder can hold any number of entries; the listing stops somewhere
// sensible rather than exhausting memory on a pathological one.
constexpr size_t kMaxEntries = 1 << 20;

std::string UpperName(std::string_view name)
{
    std::string upper(name);
    for (char& ch : upper)
        ch = static_cast<char>(ToUpper1252(static_cast<unsigned char>(ch)));
    return upper;
}

int DotRank(const std::string& name)
{
    return name == "." ? 0 : name == ".." ? 1 : 2;
}

} // namespace

bool DirectoryListing::Open(std::string_view fileSpec, DWORD* error)
{
    m_entries.clear();
    m_next = 0;
    std::string full = FullWindowsPath(fileSpec);
    std::string pattern(PathFileName(full));
    if (full.empty() || pattern.empty()) {
        *error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    std::string folder = full.substr(0, full.size() - pattern.size());
    bool atRoot = SplitPathComponents(folder).empty();

    ResolvedPath resolved;
    if (!ResolvePath(folder, resolved, error))
        return false;

    std::vector<std::string> sources;
    if (!resolved.overlay.empty())
        sources.push_back(resolved.overlay);
    sources.push_back(resolved.host);

    std::set<std::string> seen; // upper-case names listed from the overlay
    std::vector<std::pair<std::string, ListedEntry>> found; // keyed by upper-case name
    bool anyFolder = false;
    for (size_t s = 0; s < sources.size(); ++s) {
        DIR* dir = opendir(sources[s].c_str());
        if (!dir)
            continue;
        anyFolder = true;
        bool fromOverlay = s + 1 < sources.size();
        while (dirent* item = readdir(dir)) {
            if (found.size() >= kMaxEntries)
                break;
            std::string_view hostName = item->d_name;
            if (atRoot && (hostName == "." || hostName == ".."))
                continue;
            bool lossless = false;
            std::string name = Utf8To1252(hostName, &lossless);
            if (!lossless || name.size() >= MAX_PATH)
                continue;
            if (!MatchFileNamePattern(name, pattern))
                continue;
            std::string upper = UpperName(name);
            if (!fromOverlay && seen.count(upper))
                continue;
            std::string hostPath = sources[s] + (sources[s] == "/" ? "" : "/") + std::string(hostName);
            struct stat st;
            if (stat(hostPath.c_str(), &st) != 0 && lstat(hostPath.c_str(), &st) != 0)
                continue;
            if (fromOverlay)
                seen.insert(upper);
            ListedEntry entry;
            entry.name = std::move(name);
            entry.attributes = FileAttributesOf(st, hostName);
            entry.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
            entry.accessTime = st.st_atime;
            entry.writeTime = st.st_mtime;
            found.emplace_back(std::move(upper), std::move(entry));
        }
        closedir(dir);
    }
    if (!anyFolder) {
        *error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    if (found.empty()) {
        *error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        int ra = DotRank(a.second.name);
        int rb = DotRank(b.second.name);
        if (ra != rb)
            return ra < rb;
        return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    m_entries.reserve(found.size());
    for (auto& item : found)
        m_entries.push_back(std::move(item.second));
    return true;
}

bool DirectoryListing::Next(ListedEntry& entry)
{
    if (m_next >= m_entries.size())
        return false;
    entry = m_entries[m_next++];
    return true;
}

} // namespace platform
