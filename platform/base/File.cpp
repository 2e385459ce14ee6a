#include "platform/base/File.h"

#include "platform/base/CodePage.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

IMPLEMENT_DYNAMIC(CFile, CObject)

namespace platform {

int FileCauseFromErrno(int err)
{
    switch (err) {
    case 0:
        return filecause::none;
    case ENOENT:
        return filecause::fileNotFound;
    case ENOTDIR:
    case EISDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return filecause::badPath;
    case EMFILE:
    case ENFILE:
        return filecause::tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
        return filecause::accessDenied;
    case EBADF:
        return filecause::invalidFile;
    case ESPIPE:
        return filecause::badSeek;
    case EIO:
        return filecause::hardIO;
    case ETXTBSY:
    case EBUSY:
        return filecause::sharingViolation;
    case EDEADLK:
        return filecause::lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return filecause::diskFull;
    default:
        return filecause::generic;
    }
}

namespace {

// "C:\a\b" (either separator) is "/a/b"; anything else is taken as a host
// path. Names are 1252 inside the program and UTF-8 on the file system.
std::string HostPathOf(const char* path)
{
    std::string text(path);
    if (text.size() >= 3 && (text[0] == 'C' || text[0] == 'c') && text[1] == ':' && (text[2] == '\\' || text[2] == '/')) {
        text.erase(0, 2);
        for (char& ch : text) {
            if (ch == '\\')
                ch = '/';
        }
    }
    return Utf8From1252(text);
}

class PlainHostFiles final : public HostFiles {
public:
    int Open(const char* path, UINT openFlags, HostError* error) override
    {
        int flags = O_CLOEXEC;
        switch (openFlags & fileflags::accessMask) {
        case fileflags::modeWrite:
            flags |= O_WRONLY;
            break;
        case fileflags::modeReadWrite:
            flags |= O_RDWR;
            break;
        default:
            flags |= O_RDONLY;
            break;
        }
        if (openFlags & fileflags::modeCreate) {
            flags |= O_CREAT;
            if (!(openFlags & fileflags::modeNoTruncate))
                flags |= O_TRUNC;
        }
        const std::string hostPath = HostPathOf(path);
        int fd = ::open(hostPath.c_str(), flags, 0666);
        if (fd < 0) {
            Fail(errno, error);
            return -1;
        }
        // A folder opens for reading on Linux; as a file it is no use.
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            Fail(EISDIR, error);
            return -1;
        }
        return fd;
    }

    void Close(int fd) override
    {
        if (fd >= 0)
            ::close(fd);
    }

    bool Remove(const char* path, HostError* error) override
    {
        if (::unlink(HostPathOf(path).c_str()) != 0) {
            Fail(errno, error);
            return false;
        }
        return true;
    }

    bool Rename(const char* from, const char* to, HostError* error) override
    {
        if (::rename(HostPathOf(from).c_str(), HostPathOf(to).c_str()) != 0) {
            Fail(errno, error);
            return false;
        }
        return true;
    }

    std::string FullPath(const char* path) override
    {
        std::string text(path);
        for (char& ch : text) {
            if (ch == '\\')
                ch = '/';
        }
        if (text.size() >= 2 && text[1] == ':')
            text.erase(0, 2);
        if (text.empty() || text[0] != '/') {
            char cwd[PATH_MAX];
            std::string base = ::getcwd(cwd, sizeof cwd) != nullptr ? Utf8To1252(cwd) : std::string("/");
            text = base + "/" + text;
        }
        // Drop "." and empty components and apply "..", as the system does
        // for a full path name.
        std::vector<std::string> parts;
        size_t start = 0;
        while (start <= text.size()) {
            size_t slash = text.find('/', start);
            if (slash == std::string::npos)
                slash = text.size();
            std::string part = text.substr(start, slash - start);
            if (part == "..") {
                if (!parts.empty())
                    parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(std::move(part));
            }
            start = slash + 1;
        }
        std::string full = "C:";
        for (const std::string& part : parts)
            full += "\\" + part;
        if (parts.empty())
            full += "\\";
        return full;
    }

private:
    static void Fail(int err, HostError* error)
    {
        if (error != nullptr) {
            error->cause = FileCauseFromErrno(err);
            error->osError = err;
        }
    }
};

PlainHostFiles g_plainHostFiles;
HostFiles* g_hostFiles = nullptr;

} // namespace

HostFiles& GetHostFiles()
{
    return g_hostFiles != nullptr ? *g_hostFiles : g_plainHostFiles;
}

void SetHostFiles(HostFiles* files)
{
    g_hostFiles = files;
}

} // namespace platform

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(int hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        throw new CFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    auto fail = [&](int cause, LONG osError) {
        if (pError != nullptr) {
            pError->m_cause = cause;
            pError->m_lOsError = osError;
            pError->m_strFileName = lpszFileName != nullptr ? lpszFileName : "";
        }
        return FALSE;
    };
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        return fail(CFileException::badPath, ENOENT);
    // Opening over an open file would lose its descriptor.
    if (m_hFile != hFileNull)
        return fail(CFileException::generic, -1);

    platform::HostFiles& host = platform::GetHostFiles();
    platform::HostError error;
    const int fd = host.Open(lpszFileName, nOpenFlags & ~static_cast<UINT>(typeText | typeBinary), &error);
    if (fd < 0)
        return fail(error.cause != CFileException::none ? error.cause : CFileException::generic, error.osError);

    m_hFile = fd;
    m_bCloseOnDelete = TRUE;
    m_strFileName = host.FullPath(lpszFileName).c_str();
    return TRUE;
}

void CFile::Close()
{
    const int fd = m_hFile;
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    if (fd != hFileNull)
        platform::GetHostFiles().Close(fd);
}

void CFile::Abort()
{
    Close();
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    char* out = static_cast<char*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const ssize_t n = ::read(m_hFile, out + done, nCount - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            break;
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    const char* in = static_cast<const char*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const ssize_t n = ::write(m_hFile, in + done, nCount - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            ThrowErrno(ENOSPC);
        done += static_cast<UINT>(n);
    }
}

LONG CFile::Seek(LONG lOff, UINT nFrom)
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    int whence = SEEK_SET;
    switch (nFrom) {
    case begin:
        whence = SEEK_SET;
        break;
    case current:
        whence = SEEK_CUR;
        break;
    case end:
        whence = SEEK_END;
        break;
    default:
        AfxThrowFileException(CFileException::badSeek, EINVAL, m_strFileName);
    }
    const off_t pos = ::lseek(m_hFile, lOff, whence);
    if (pos < 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return pos > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<LONG>(pos);
}

void CFile::SeekToBegin()
{
    Seek(0, begin);
}

DWORD CFile::SeekToEnd()
{
    return static_cast<DWORD>(Seek(0, end));
}

DWORD CFile::GetPosition() const
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    const off_t pos = ::lseek(m_hFile, 0, SEEK_CUR);
    if (pos < 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<DWORD>(pos);
}

DWORD CFile::GetLength() const
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    struct stat st;
    if (::fstat(m_hFile, &st) != 0)
        ThrowErrno(errno);
    return st.st_size > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<DWORD>(st.st_size);
}

void CFile::SetLength(DWORD dwNewLen)
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    while (::ftruncate(m_hFile, static_cast<off_t>(dwNewLen)) != 0) {
        if (errno != EINTR)
            ThrowErrno(errno);
    }
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
    if (::fsync(m_hFile) != 0 && errno != EINVAL && errno != EROFS)
        ThrowErrno(errno);
}

CString CFile::GetFileName() const
{
    const int slash = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
    if (slash >= 0)
        return m_strFileName.Mid(slash + 1);
    const int colon = m_strFileName.ReverseFind(':');
    return colon >= 0 ? m_strFileName.Mid(colon + 1) : m_strFileName;
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

CString CFile::GetFilePath() const
{
    return m_strFileName;
}

void CFile::SetFilePath(LPCTSTR lpszNewName)
{
    m_strFileName = lpszNewName != nullptr ? lpszNewName : "";
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    rStatus = CFileStatus();
    const size_t n = std::min<size_t>(static_cast<size_t>(m_strFileName.GetLength()), MAX_PATH - 1);
    std::memcpy(rStatus.m_szFullName, static_cast<LPCTSTR>(m_strFileName), n);
    if (m_hFile == hFileNull)
        return FALSE;
    struct stat st;
    if (::fstat(m_hFile, &st) != 0)
        return FALSE;
    rStatus.m_ctime = st.st_ctime;
    rStatus.m_mtime = st.st_mtime;
    rStatus.m_atime = st.st_atime;
    rStatus.m_size = st.st_size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<LONG>(st.st_size);
    BYTE attribute = normal;
    if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        attribute |= readOnly;
    if (S_ISDIR(st.st_mode))
        attribute |= directory;
    const CString name = GetFileName();
    if (name.GetLength() > 1 && name[0] == '.')
        attribute |= hidden;
    rStatus.m_attribute = attribute;
    return TRUE;
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
    platform::HostError error;
    if (!platform::GetHostFiles().Rename(lpszOldName, lpszNewName, &error))
        AfxThrowFileException(error.cause != CFileException::none ? error.cause : CFileException::generic,
            error.osError, lpszOldName);
}

void CFile::Remove(LPCTSTR lpszFileName)
{
    platform::HostError error;
    if (!platform::GetHostFiles().Remove(lpszFileName, &error))
        AfxThrowFileException(error.cause != CFileException::none ? error.cause : CFileException::generic,
            error.osError, lpszFileName);
}

void CFile::ThrowErrno(int err) const
{
    CFileException::ThrowErrno(err, m_strFileName);
}
