#include "platform/base/CodePage.h"
#include "platform/files/FileOps.h"
#include "platform/files/HostPath.h"
#include "platform/files/ProcessTag.h"
#include "platform/files/ShareLock.h"
#include "platform/files/UserFolders.h"
#include "platform/storage/CompoundFile.h"
#include "platform/storage/StorageErrors.h"
#include "platform/storage/StorageObjects.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace platform {

HRESULT HResultFromErrno(int err, const std::string& hostPath, HRESULT fallback)
{
    switch (err) {
    case ENOENT:
        return MissingFileError(hostPath) == ERROR_PATH_NOT_FOUND ? STG_E_PATHNOTFOUND : STG_E_FILENOTFOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return STG_E_PATHNOTFOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return STG_E_ACCESSDENIED;
    case EROFS:
        return STG_E_DISKISWRITEPROTECTED;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return STG_E_MEDIUMFULL;
    case EMFILE:
    case ENFILE:
        return STG_E_TOOMANYOPENFILES;
    case ENOMEM:
        return STG_E_INSUFFICIENTMEMORY;
    default:
        return fallback;
    }
}

namespace {

constexpr DWORD kAccessMask = 0x3;
constexpr DWORD kShareMask = 0x70;
// The longest path a caller can hand in (the system's limit for wide paths).
constexpr size_t kMaxPathUnits = 32767;

// The mode checks of StgCreateDocfile and StgOpenStorage.
HRESULT CheckRootMode(DWORD grfMode, bool creating)
{
    constexpr DWORD known = kAccessMask | kShareMask | STGM_TRANSACTED | STGM_CREATE | STGM_DELETEONRELEASE
        | STGM_NOSCRATCH | STGM_NOSNAPSHOT;
    if ((grfMode & ~known) != 0 || (grfMode & kAccessMask) == kAccessMask)
        return STG_E_INVALIDFLAG;
    const DWORD share = grfMode & kShareMask;
    if (share > STGM_SHARE_DENY_NONE)
        return STG_E_INVALIDFLAG;
    if (!creating && (grfMode & (STGM_CREATE | STGM_DELETEONRELEASE)))
        return STG_E_INVALIDFLAG;
    if (creating && (grfMode & kAccessMask) == STGM_READ)
        return STG_E_INVALIDFLAG;
    // Without a transaction nothing would keep two writers (or a writer and
    // a reader) apart, so direct opens must keep others from writing.
    if (!(grfMode & STGM_TRANSACTED)) {
        const bool writes = (grfMode & kAccessMask) != STGM_READ;
        if (writes ? share != STGM_SHARE_EXCLUSIVE : (share != STGM_SHARE_EXCLUSIVE && share != STGM_SHARE_DENY_WRITE))
            return STG_E_INVALIDFLAG;
    }
    return S_OK;
}

HRESULT ReadName(const OLECHAR* name, std::u16string& out)
{
    out.clear();
    if (!name)
        return STG_E_INVALIDPOINTER;
    for (size_t i = 0; name[i] != 0; ++i) {
        if (i >= kMaxPathUnits)
            return STG_E_PATHNOTFOUND;
        out.push_back(name[i]);
    }
    if (out.empty())
        return STG_E_INVALIDNAME;
    return S_OK;
}

enum class PathUse { Reading, Writing };

HRESULT HostPathOf(const std::u16string& name, PathUse use, std::string& host)
{
    ResolvedPath resolved;
    DWORD error = 0;
    if (!ResolvePath(Utf16To1252(name), resolved, &error))
        return error == ERROR_INVALID_NAME ? STG_E_INVALIDNAME : STG_E_PATHNOTFOUND;
    host = use == PathUse::Reading ? resolved.ForReading() : PathForWriting(resolved, true);
    return host.empty() ? STG_E_PATHNOTFOUND : S_OK;
}

// Opens a file for a look at its bytes, honouring share modes: an open that
// keeps others from reading it makes this a share violation.
HRESULT OpenForPeek(const OLECHAR* pwcsName, int& fd)
{
    fd = -1;
    std::u16string name;
    if (HRESULT hr = ReadName(pwcsName, name); FAILED(hr))
        return hr;
    std::string host;
    if (HRESULT hr = HostPathOf(name, PathUse::Reading, host); FAILED(hr))
        return hr;
    fd = open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return HResultFromErrno(errno, host, STG_E_READFAULT);
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        fd = -1;
        return STG_E_ACCESSDENIED;
    }
    ShareMode mode;
    mode.read = true;
    ShareLock lock;
    if (lock.Acquire(fd, mode) == ShareLock::Result::Violation) {
        close(fd);
        fd = -1;
        return STG_E_SHAREVIOLATION;
    }
    return S_OK;
}

size_t ReadAt(int fd, void* buffer, size_t size, off_t offset)
{
    size_t done = 0;
    while (done < size) {
        ssize_t n = pread(fd, static_cast<BYTE*>(buffer) + done, size - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    return done;
}

constexpr std::string_view kTempStoragePrefix = "~stg.";

std::string MakeTempFile()
{
    std::string path = TempDir() + "/" + std::string(kTempStoragePrefix) + ProcessTag() + ".XXXXXX";
    int fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return {};
    close(fd);
    return path;
}

} // namespace

int RemoveTempStoragesOfEndedCopies()
{
    return RemoveFilesOfEndedProcesses(TempDir(), kTempStoragePrefix);
}

HRESULT OpenStorageFromBytes(const BYTE* data, size_t size, IStorage** ppstgOpen)
{
    if (!ppstgOpen)
        return STG_E_INVALIDPOINTER;
    *ppstgOpen = nullptr;
    if (!data && size > 0)
        return STG_E_INVALIDPOINTER;
    std::shared_ptr<StorageNode> tree;
    if (HRESULT hr = ReadCompoundFile(std::span<const BYTE>(data, size), tree); FAILED(hr))
        return hr;
    constexpr DWORD mode = STGM_READ | STGM_SHARE_EXCLUSIVE;
    *ppstgOpen = new DocStorage(std::make_unique<StorageFile>(std::string(), std::u16string(), mode), tree, mode);
    return S_OK;
}

} // namespace platform

using namespace platform;

LPVOID CoTaskMemAlloc(SIZE_T cb)
{
    return malloc(cb ? cb : 1);
}

void CoTaskMemFree(LPVOID pv)
{
    free(pv);
}

HRESULT StgCreateDocfile(const OLECHAR* pwcsName, DWORD grfMode, DWORD, IStorage** ppstgOpen)
{
    if (!ppstgOpen)
        return STG_E_INVALIDPOINTER;
    *ppstgOpen = nullptr;
    if (HRESULT hr = CheckRootMode(grfMode, true); FAILED(hr))
        return hr;

    std::u16string name;
    std::string host;
    bool temporary = !pwcsName;
    if (temporary) {
        host = MakeTempFile();
        if (host.empty())
            return STG_E_ACCESSDENIED;
        name = Utf16From1252(WindowsPathFor(host));
    } else {
        if (HRESULT hr = ReadName(pwcsName, name); FAILED(hr))
            return hr;
        if (HRESULT hr = HostPathOf(name, PathUse::Writing, host); FAILED(hr))
            return hr;
    }

    auto file = std::make_unique<StorageFile>(host, name, grfMode);
    file->deleteOnRelease = temporary || (grfMode & STGM_DELETEONRELEASE);
    struct stat st;
    if (!temporary && stat(host.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return STG_E_ACCESSDENIED;
        if (!(grfMode & STGM_CREATE))
            return STG_E_FILEALREADYEXISTS;
        // Whoever has the file open must allow this before it is replaced.
        if (HRESULT hr = file->Lock(); FAILED(hr))
            return hr;
    }
    auto tree = std::make_shared<StorageNode>();
    tree->name = u"Root Entry";
    tree->type = ElementType::Storage;
    if (HRESULT hr = file->Save(*tree); FAILED(hr))
        return hr;
    *ppstgOpen = new DocStorage(std::move(file), tree, grfMode & ~DWORD(STGM_CREATE));
    return S_OK;
}

HRESULT StgOpenStorage(const OLECHAR* pwcsName, IStorage* pstgPriority, DWORD grfMode, SNB snbExclude, DWORD,
    IStorage** ppstgOpen)
{
    if (!ppstgOpen)
        return STG_E_INVALIDPOINTER;
    *ppstgOpen = nullptr;
    if (pstgPriority || snbExclude)
        return STG_E_INVALIDFUNCTION;
    if (HRESULT hr = CheckRootMode(grfMode, false); FAILED(hr))
        return hr;
    std::u16string name;
    if (HRESULT hr = ReadName(pwcsName, name); FAILED(hr))
        return hr;
    std::string host;
    const PathUse use = (grfMode & kAccessMask) == STGM_READ ? PathUse::Reading : PathUse::Writing;
    if (HRESULT hr = HostPathOf(name, use, host); FAILED(hr))
        return hr;

    auto file = std::make_unique<StorageFile>(host, name, grfMode);
    if (HRESULT hr = file->Lock(); FAILED(hr))
        return hr;
    std::vector<BYTE> bytes;
    if (HRESULT hr = file->ReadAll(bytes); FAILED(hr))
        return hr;
    std::shared_ptr<StorageNode> tree;
    if (HRESULT hr = ReadCompoundFile(bytes, tree); FAILED(hr))
        return hr;
    *ppstgOpen = new DocStorage(std::move(file), tree, grfMode);
    return S_OK;
}

HRESULT StgIsStorageFile(const OLECHAR* pwcsName)
{
    int fd = -1;
    if (HRESULT hr = OpenForPeek(pwcsName, fd); FAILED(hr))
        return hr;
    BYTE head[8] = {};
    const size_t n = ReadAt(fd, head, sizeof head, 0);
    close(fd);
    return HasCompoundFileSignature(std::span<const BYTE>(head, n)) ? S_OK : S_FALSE;
}

HRESULT GetClassFile(const OLECHAR* szFilename, CLSID* pclsid)
{
    if (!pclsid)
        return E_INVALIDARG;
    *pclsid = CLSID_NULL;
    int fd = -1;
    if (HRESULT hr = OpenForPeek(szFilename, fd); FAILED(hr))
        return hr;
    // The class is the root entry's: the first entry of the first directory
    // sector. Only that much of the file is read.
    BYTE header[512] = {};
    const size_t n = ReadAt(fd, header, sizeof header, 0);
    HRESULT hr = S_OK;
    if (!HasCompoundFileSignature(std::span<const BYTE>(header, n))) {
        hr = MK_E_INVALIDEXTENSION;
    } else if (n < sizeof header) {
        hr = STG_E_INVALIDHEADER;
    } else {
        const unsigned shift = header[0x1E] | header[0x1F] << 8;
        const uint32_t firstDirectory = uint32_t(header[0x30]) | uint32_t(header[0x31]) << 8
            | uint32_t(header[0x32]) << 16 | uint32_t(header[0x33]) << 24;
        BYTE entry[128] = {};
        if (shift != 9 && shift != 12) {
            hr = STG_E_INVALIDHEADER;
        } else if (firstDirectory >= 0xFFFFFFFA
            || ReadAt(fd, entry, sizeof entry, off_t((uint64_t(firstDirectory) + 1) << shift)) != sizeof entry
            || entry[0x42] != 5) {
            hr = STG_E_DOCFILECORRUPT;
        } else {
            *pclsid = GuidFromBytes(std::span<const BYTE, 16>(entry + 0x50, 16));
        }
    }
    close(fd);
    return hr;
}

HRESULT WriteClassStg(IStorage* pStg, REFCLSID rclsid)
{
    if (!pStg)
        return E_INVALIDARG;
    return pStg->SetClass(rclsid);
}

HRESULT ReadClassStg(IStorage* pStg, CLSID* pclsid)
{
    if (!pStg || !pclsid)
        return E_INVALIDARG;
    *pclsid = CLSID_NULL;
    STATSTG stat;
    HRESULT hr = pStg->Stat(&stat, STATFLAG_NONAME);
    if (SUCCEEDED(hr))
        *pclsid = stat.clsid;
    return hr;
}
