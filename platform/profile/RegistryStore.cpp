#include "platform/profile/RegistryStore.h"

#include "platform/files/SafeReplace.h"
#include "platform/files/UserFolders.h"
#include "platform/profile/RegistryFile.h"
#include "platform/profile/RegistryKey.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Reads a whole regular file of at most maxBytes. Returns 0, or an errno
// value (EFBIG when it is larger, EINVAL when it is not a regular file).
int ReadBoundedFile(const std::string& path, size_t maxBytes, std::string& out)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int result = 0;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result = errno;
    } else if (!S_ISREG(info.st_mode)) {
        result = EINVAL;
    } else if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        result = EFBIG;
    } else {
        // The size is re-checked while reading, in case the file grows.
        out.resize(static_cast<size_t>(info.st_size) + 1);
        size_t filled = 0;
        while (true) {
            if (filled == out.size()) {
                if (out.size() > maxBytes) {
                    result = EFBIG;
                    break;
                }
                out.resize(std::min(out.size() * 2, maxBytes + 1));
            }
            ssize_t got = ::read(fd, out.data() + filled, out.size() - filled);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                result = errno;
                break;
            }
            if (got == 0)
                break;
            filled += static_cast<size_t>(got);
        }
        out.resize(filled);
    }
    ::close(fd);
    return result;
}

} // namespace

RegistryStore& RegistryStore::Instance()
{
    static RegistryStore store;
    return store;
}

std::string RegistryStore::FilePath()
{
    return ConfigDir() + "/registry";
}

const std::shared_ptr<RegistryKey>& RegistryStore::CurrentUser()
{
    EnsureLoaded();
    return m_root;
}

bool RegistryStore::HasLoadProblem()
{
    EnsureLoaded();
    return !m_problem.empty();
}

std::string RegistryStore::LoadProblemText()
{
    EnsureLoaded();
    return m_problem;
}

void RegistryStore::Reset()
{
    m_root.reset();
    m_problem.clear();
}

void RegistryStore::EnsureLoaded()
{
    if (!m_root)
        Load();
}

void RegistryStore::Load()
{
    m_root = std::make_shared<RegistryKey>(std::string());
    m_problem.clear();

    std::string path = FilePath();
    std::string text;
    int err = ReadBoundedFile(path, registrylimits::kMaxFileBytes, text);
    if (err == ENOENT)
        return; // first run: no settings yet
    if (err == EFBIG) {
        SetAside(path, "the file is too large");
        return;
    }
    if (err != 0) {
        SetAside(path, std::string("the file cannot be read: ") + std::strerror(err));
        return;
    }

    auto loaded = std::make_shared<RegistryKey>(std::string());
    std::string error;
    if (!ParseRegistryFile(text, *loaded, &error)) {
        SetAside(path, error);
        return;
    }
    m_root = std::move(loaded);
}

void RegistryStore::SetAside(const std::string& path, const std::string& why)
{
    m_problem = why;
    std::string badPath = path + ".bad";
    bool kept = ::rename(path.c_str(), badPath.c_str()) == 0;
    std::fprintf(stderr, "threadwick: the settings file %s is damaged (%s); %s; starting with default settings\n",
        path.c_str(), why.c_str(), kept ? ("it is kept as " + badPath).c_str() : "it could not be set aside");
}

LONG RegistryStore::Save()
{
    EnsureLoaded();
    std::string text = FormatRegistryFile(*m_root);
    // A file the reader would refuse is never written.
    if (text.size() > registrylimits::kMaxFileBytes)
        return ERROR_CANTWRITE;
    int osError = 0;
    if (!ReplaceFileContents(FilePath(), text, KeepBackup::No, &osError))
        return ERROR_CANTWRITE;
    return ERROR_SUCCESS;
}

} // namespace platform
