#include "platform/services/RuntimeFolder.h"

#include "platform/files/FileOps.h"
#include "platform/files/UserFolders.h"
#include "platform/services/LockFile.h"

#include <dirent.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {

namespace {

std::string AbsoluteEnv(const char* name)
{
    const char* value = getenv(name);
    if (!value || value[0] != '/')
        return {};
    std::string text = value;
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// Makes the folder when missing and insists that it is a real folder owned
// by us with no access for anyone else.
bool MakePrivateFolder(const std::string& path, std::string* error)
{
    if (!MakeHostFolders(path, 0700)) {
        *error = "cannot create the folder " + path;
        return false;
    }
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
        *error = path + " is not a folder of this user";
        return false;
    }
    if ((st.st_mode & 0777) != 0700 && chmod(path.c_str(), 0700) != 0) {
        *error = "cannot make " + path + " private: " + strerror(errno);
        return false;
    }
    return true;
}

} // namespace

std::string RuntimeDir(std::string* error)
{
    std::string ignored;
    if (!error)
        error = &ignored;
    std::string path;
    if (std::string home = AbsoluteEnv("THREADWICK_HOME"); !home.empty())
        path = home + "/run";
    else if (std::string runtime = AbsoluteEnv("XDG_RUNTIME_DIR"); !runtime.empty())
        path = runtime + "/threadwick";
    else
        path = TempDir() + "/run";
    if (!MakePrivateFolder(path, error))
        return {};
    return path;
}

int RemoveFilesOfEndedCopies()
{
    std::string folder = RuntimeDir(nullptr);
    if (folder.empty())
        return 0;
    std::vector<std::string> stems;
    if (DIR* dir = opendir(folder.c_str())) {
        constexpr std::string_view kLock = ".lock";
        // The folder is ours alone, so this bound is never reached unless
        // something runs away.
        constexpr size_t kMaxEntries = 4096;
        for (size_t seen = 0; seen < kMaxEntries; ++seen) {
            dirent* entry = readdir(dir);
            if (!entry)
                break;
            std::string_view name = entry->d_name;
            if (name.size() > kLock.size() && name.substr(name.size() - kLock.size()) == kLock)
                stems.emplace_back(name.substr(0, name.size() - kLock.size()));
        }
        closedir(dir);
    }
    int removed = 0;
    for (const std::string& stem : stems)
        if (LockFile::RemoveIfFree(folder + "/" + stem + ".lock", folder + "/" + stem + ".sock"))
            ++removed;
    return removed;
}

std::string RuntimeFileStem(std::string_view name)
{
    constexpr size_t kReadableChars = 40;
    std::string stem;
    for (char c : name) {
        if (stem.size() == kReadableChars)
            break;
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.'
            || c == '-' || c == '_';
        stem += plain ? c : '_';
    }
    // A leading dot would hide the file and ".." must never be a name.
    if (!stem.empty() && stem[0] == '.')
        stem[0] = '_';

    // 64-bit FNV-1a over the exact bytes.
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    static const char kHex[] = "0123456789abcdef";
    stem += '-';
    for (int shift = 60; shift >= 0; shift -= 4)
        stem += kHex[(hash >> shift) & 0xF];
    return stem;
}

} // namespace platform
