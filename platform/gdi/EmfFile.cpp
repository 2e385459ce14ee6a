// Enhanced metafiles as objects: the HENHMETAFILE table, making them from
// bytes and files, and what can be asked of them (bits, header,
// description, palette).

#include "platform/gdi/internal/EmfPlayer.h"

#include "platform/base/CodePage.h"
#include "platform/gdi/internal/GdiHandleTable.h"
#include "platform/gdi/internal/MetafileCommon.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace platform {

namespace {

constexpr uint8_t kEnhMetaFileTag = 0x45;
constexpr DWORD kEmrEof = 14;
// The header record without the pixel-format fields, the smallest there is.
constexpr size_t kMinHeaderBytes = 88;
constexpr size_t kRecordHeaderBytes = 8;
constexpr size_t kMaxEnhMetaFileBytes = size_t(256) << 20;

GdiHandleTable<EnhMetaFileObject, HENHMETAFILE>& EnhMetaFiles()
{
    static GdiHandleTable<EnhMetaFileObject, HENHMETAFILE> table(kEnhMetaFileTag, 1 << 16);
    return table;
}

void ReadPalette(EnhMetaFileObject& object, ByteReader eof)
{
    uint64_t count = eof.U32(8);
    uint64_t offset = eof.U32(12);
    if (count == 0 || count > eof.Size() / 4 || offset < 16 || !eof.Has(size_t(offset), size_t(count) * 4))
        return;
    object.palette.resize(size_t(count));
    std::memcpy(object.palette.data(), eof.Data() + offset, size_t(count) * 4);
}

// Refuses bytes that do not begin with a header record; keeps the records
// that fit, up to the end record.
std::unique_ptr<EnhMetaFileObject> MakeEnhMetaFile(const BYTE* data, size_t size)
{
    ByteReader all(data, size);
    if (!data || size < kMinHeaderBytes || all.U32(0) != EMR_HEADER || all.U32(40) != ENHMETA_SIGNATURE) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    size_t headerBytes = all.U32(4);
    if (headerBytes < kMinHeaderBytes || headerBytes > size || headerBytes % 4 != 0) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    auto object = std::make_unique<EnhMetaFileObject>();
    std::memcpy(&object->header, data, std::min(headerBytes, sizeof(ENHMETAHEADER)));

    // A stated length shorter than the bytes given ends the metafile there.
    size_t end = size;
    if (object->header.nBytes >= headerBytes && object->header.nBytes < size)
        end = object->header.nBytes;
    size_t at = headerBytes;
    while (at + kRecordHeaderBytes <= end) {
        size_t recordBytes = all.U32(at + 4);
        if (recordBytes < kRecordHeaderBytes || recordBytes % 4 != 0 || recordBytes > end - at)
            break;
        DWORD type = all.U32(at);
        at += recordBytes;
        if (type == kEmrEof) {
            ReadPalette(*object, all.Sub(at - recordBytes, recordBytes));
            break;
        }
    }
    object->bits.assign(data, data + std::min(at, end));

    const ENHMETAHEADER& h = object->header;
    uint64_t descriptionEnd = uint64_t(h.offDescription) + uint64_t(h.nDescription) * 2;
    if (h.nDescription && h.offDescription >= kMinHeaderBytes && descriptionEnd <= headerBytes) {
        object->description.resize(h.nDescription);
        for (size_t i = 0; i < h.nDescription; ++i)
            object->description[i] = char16_t(all.U16(h.offDescription + 2 * i));
    }
    return object;
}

} // namespace

EnhMetaFileObject* LookupEnhMetaFile(HENHMETAFILE hemf)
{
    return EnhMetaFiles().Lookup(hemf);
}

} // namespace platform

using namespace platform;

HENHMETAFILE GetEnhMetaFile(LPCSTR lpName)
{
    auto bytes = ReadMetafileFile(lpName, kMaxEnhMetaFileBytes);
    if (!bytes)
        return NULL;
    auto object = MakeEnhMetaFile(bytes->data(), bytes->size());
    return object ? EnhMetaFiles().Add(std::move(object)) : NULL;
}

HENHMETAFILE SetEnhMetaFileBits(UINT nSize, const BYTE* pb)
{
    auto object = MakeEnhMetaFile(pb, nSize);
    return object ? EnhMetaFiles().Add(std::move(object)) : NULL;
}

UINT GetEnhMetaFileBits(HENHMETAFILE hEMF, UINT nSize, LPBYTE lpData)
{
    EnhMetaFileObject* object = LookupEnhMetaFile(hEMF);
    return object ? CopyMetafileBits(object->bits, nSize, lpData) : 0;
}

UINT GetEnhMetaFileHeader(HENHMETAFILE hemf, UINT nSize, LPENHMETAHEADER lpEnhMetaHeader)
{
    EnhMetaFileObject* object = LookupEnhMetaFile(hemf);
    if (!object)
        return 0;
    if (!lpEnhMetaHeader)
        return sizeof(ENHMETAHEADER);
    UINT copied = std::min<UINT>(nSize, sizeof(ENHMETAHEADER));
    std::memcpy(lpEnhMetaHeader, &object->header, copied);
    return copied;
}

UINT GetEnhMetaFileDescription(HENHMETAFILE hemf, UINT cchBuffer, LPSTR lpDescription)
{
    EnhMetaFileObject* object = LookupEnhMetaFile(hemf);
    if (!object)
        return GDI_ERROR;
    // The names keep their zeros: "application\0picture\0\0".
    std::string text = Utf16To1252(object->description);
    if (!lpDescription)
        return UINT(text.size());
    UINT copied = std::min<UINT>(cchBuffer, UINT(text.size()));
    std::memcpy(lpDescription, text.data(), copied);
    return copied;
}

UINT GetEnhMetaFilePaletteEntries(HENHMETAFILE hemf, UINT nNumEntries, LPPALETTEENTRY lpPaletteEntries)
{
    EnhMetaFileObject* object = LookupEnhMetaFile(hemf);
    if (!object)
        return GDI_ERROR;
    if (!lpPaletteEntries)
        return UINT(object->palette.size());
    UINT copied = std::min<UINT>(nNumEntries, UINT(object->palette.size()));
    if (copied)
        std::memcpy(lpPaletteEntries, object->palette.data(), size_t(copied) * 4);
    return copied;
}

BOOL PlayEnhMetaFile(HDC hdc, HENHMETAFILE hmf, const RECT* lprect)
{
    EnhMetaFileObject* object = LookupEnhMetaFile(hmf);
    if (!object || !lprect) {
        if (object)
            SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    POINT corners[2] = {{lprect->left, lprect->top}, {lprect->right, lprect->bottom}};
    if (!LPtoDP(hdc, corners, 2))
        return FALSE;
    RECT device{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    return PlayEnhMetaFileRecords(hdc, *object, device) ? TRUE : FALSE;
}

BOOL DeleteEnhMetaFile(HENHMETAFILE hmf)
{
    return EnhMetaFiles().Delete(hmf);
}
