#include "platform/imaging/CgmImport.h"

#include "platform/base/GlobalMemory.h"
#include "platform/files/FileApi.h"
#include "platform/gdi/Gdi.h"
#include "platform/imaging/CgmInternal.h"

#include <cstring>

namespace platform {

CgmResult ConvertCgm(const BYTE* data, size_t size, CgmPicture& picture)
{
    if (data == nullptr || size == 0)
        return CgmResult::NotCgm;
    cgm::Interpreter interpreter;
    bool read = false;
    if (cgm::LooksBinary(data, size))
        read = cgm::ReadBinary(data, size, interpreter);
    else if (cgm::LooksClearText(data, size))
        read = cgm::ReadClearText(data, size, interpreter);
    else
        return CgmResult::NotCgm;
    if (interpreter.IsTooLarge())
        return CgmResult::TooLarge;
    if (!read)
        return interpreter.HasBegun() ? CgmResult::Damaged : CgmResult::NotCgm;
    if (!interpreter.HasPicture())
        return CgmResult::NoPicture;
    if (!interpreter.HasEnded())
        return CgmResult::Damaged;
    CgmPicture made;
    if (!interpreter.Finish(made.metafile, made.frame))
        return CgmResult::TooLarge;
    picture = std::move(made);
    return CgmResult::Ok;
}

} // namespace platform

namespace {

// The preference block of the filter: nothing is kept in it, but callers
// hold and free it as a filter's.
constexpr SIZE_T kPrefsBytes = 16;

bool ReadCgmFile(LPCSTR path, std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    bool ok = !(low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) && high == 0
        && low <= platform::kMaxCgmFileBytes;
    if (ok) {
        bytes.resize(low);
        DWORD done = 0;
        while (done < low) {
            DWORD got = 0;
            if (!ReadFile(file, bytes.data() + done, low - done, &got, nullptr)) {
                ok = false;
                break;
            }
            if (got == 0) {
                bytes.resize(done);
                break;
            }
            done += got;
        }
    }
    CloseHandle(file);
    return ok;
}

} // namespace

int CgmGetFilterInfo(short, LPSTR, HGLOBAL* phPrefs, DWORD)
{
    if (phPrefs != nullptr && *phPrefs == NULL)
        *phPrefs = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kPrefsBytes);
    return 2;
}

int CgmImportGr(HDC, BYTE* pFileRecord, CGMPICTINFO* pInfo, HGLOBAL)
{
    if (pFileRecord == nullptr || pInfo == nullptr)
        return 1;
    // The path must end inside the record.
    const char* path = reinterpret_cast<const char*>(pFileRecord + kCgmFileRecordPathOffset);
    const size_t room = kCgmFileRecordBytes - kCgmFileRecordPathOffset;
    if (std::memchr(path, '\0', room) == nullptr)
        return 1;
    std::vector<BYTE> bytes;
    if (!ReadCgmFile(path, bytes))
        return 1;
    platform::CgmPicture picture;
    switch (platform::ConvertCgm(bytes.data(), bytes.size(), picture)) {
    case platform::CgmResult::Ok:
        break;
    case platform::CgmResult::NotCgm:
    case platform::CgmResult::Damaged:
        return 2;
    case platform::CgmResult::NoPicture:
        return 3;
    case platform::CgmResult::TooLarge:
        return 4;
    }
    const HMETAFILE hmf = SetMetaFileBitsEx(static_cast<UINT>(picture.metafile.size()), picture.metafile.data());
    if (hmf == NULL)
        return 4;
    pInfo->wMapMode = MM_ANISOTROPIC;
    pInfo->hMetaFile = hmf;
    pInfo->bbox[0] = 0;
    pInfo->bbox[1] = 0;
    pInfo->bbox[2] = static_cast<SHORT>(picture.frame.cx);
    pInfo->bbox[3] = static_cast<SHORT>(picture.frame.cy);
    pInfo->wUnitsPerInch = 96;
    return 0;
}
