#include "platform/profile/RegistryStore.h"

#include "platform/files/FileOps.h"
#include "platform/files/SafeReplace.h"
#include "platform/files/UserFolders.h"
#include "platform/profile/RegistryFile.h"
#include "platform/profile/RegistryKey.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// ReplaceFileContents writes beside its target as ".<name>.XXXXXX" and
// renames that over the target; a process that died between the two left
// one behind. A write in progress lasts milliseconds, so only files older
// than this are taken for leftovers (another copy of the program may be
// writing its own at this moment).
constexpr time_t kLeftoverAgeSeconds = 60;

void RemoveLeftoverTemporaries(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return;
    std::string folder = path.substr(0, slash);
    std::string stem = path.substr(slash + 1);
    stem.insert(stem.begin(), '.');
    stem += '.';
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir)
        return;
    time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name(entry->d_name);
        if (name.size() != stem.size() + 6 || name.substr(0, stem.size()) != stem)
            continue;
        std::string full = folder + "/" + std::string(name);
        struct stat info {};
        if (::lstat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_mtime + kLeftoverAgeSeconds < now)
            ::unlink(full.c_str());
    }
    ::closedir(dir);
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
    m_path.clear();
    m_fileText.clear();
    m_pending = false;
    m_lastWriteFailed = false;
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
    m_fileText.clear();
    m_pending = false;

    std::string path = FilePath();
    m_path = path;
    RemoveLeftoverTemporaries(path);
    std::string text;
    int err = ReadBoundedHostFile(path, registrylimits::kMaxFileBytes, text);
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
    // In the writer's form, so that a flush that changes nothing is seen to.
    m_fileText = FormatRegistryFile(*m_root);
}

void RegistryStore::SetAside(const std::string& path, const std::string& why)
{
    m_problem = why;
    std::string badPath = path + ".bad";
    bool kept = ::rename(path.c_str(), badPath.c_str()) == 0;
    std::fprintf(stderr, "threadwick: the settings file %s is damaged (%s); %s; starting with default settings\n",
        path.c_str(), why.c_str(), kept ? ("it is kept as " + badPath).c_str() : "it could not be set aside");
}

void RegistryStore::MarkChanged()
{
    m_pending = true;
    m_lastWriteFailed = false;
    // A child made by fork() inherits the handler of its parent, which
    // leaves the parent's settings alone; the child's own changes register
    // it again for the child.
    pid_t self = ::getpid();
    if (m_exitFlushOwner != self) {
        m_exitFlushOwner = self;
        std::atexit(&RegistryStore::FlushAtExit);
    }
}

LONG RegistryStore::Flush()
{
    return Write(FailureNotice::Report);
}

void RegistryStore::FlushAtIdle()
{
    if (m_pending && !m_lastWriteFailed)
        Write(FailureNotice::Report);
}

void RegistryStore::FlushAtExit()
{
    RegistryStore& store = Instance();
    // Nobody is left to act on a message at this point.
    if (store.m_exitFlushOwner == ::getpid())
        store.Write(FailureNotice::Quiet);
}

LONG RegistryStore::Write(FailureNotice notice)
{
    if (!m_pending || !m_root)
        return ERROR_SUCCESS;
    std::string text = FormatRegistryFile(*m_root);
    if (text == m_fileText) {
        m_pending = false;
        m_lastWriteFailed = false;
        return ERROR_SUCCESS;
    }
    int osError = EFBIG;
    // A file the reader would refuse is never written.
    bool written = false;
    if (text.size() <= registrylimits::kMaxFileBytes) {
        ++m_writeCount;
        written = ReplaceFileContents(m_path, text, KeepBackup::No, &osError);
    }
    if (!written) {
        m_lastWriteFailed = true;
        if (notice == FailureNotice::Report && !m_writeFailureReported) {
            m_writeFailureReported = true;
            std::fprintf(stderr,
                "threadwick: the settings file %s cannot be written (%s); changes are kept for this run\n",
                m_path.c_str(), std::strerror(osError));
        }
        return ERROR_CANTWRITE;
    }
    m_fileText = std::move(text);
    m_pending = false;
    m_lastWriteFailed = false;
    return ERROR_SUCCESS;
}

} // namespace platform
