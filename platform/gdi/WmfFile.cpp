// Windows metafiles as objects: the HMETAFILE table, making them from bytes
// and files, copying them out, the placeable header, and playing a picture
// at its own mapping.

#include "platform/gdi/internal/WmfPlayer.h"

#include "platform/gdi/internal/GdiHandleTable.h"
#include "platform/gdi/internal/MetafileCommon.h"

#include <cstdlib>
#include <memory>

namespace platform {

namespace {

constexpr uint8_t kMetaFileTag = 0x4D;
constexpr size_t kMetaHeaderBytes = 18;
// Larger files are refused rather than read: no picture the program shows
// comes near this.
constexpr size_t kMaxMetaFileBytes = size_t(256) << 20;

GdiHandleTable<MetaFileObject, HMETAFILE>& MetaFiles()
{
    static GdiHandleTable<MetaFileObject, HMETAFILE> table(kMetaFileTag, 1 << 16);
    return table;
}

// A metafile header: memory (1) or disk (2) type, nine words long, version
// 1.0 or 3.0.
std::unique_ptr<MetaFileObject> MakeMetaFile(const BYTE* data, size_t size)
{
    if (!data || size < kMetaHeaderBytes) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    ByteReader r(data, size);
    WORD type = r.U16(0);
    WORD headerWords = r.U16(2);
    WORD version = r.U16(4);
    if ((type != 1 && type != 2) || headerWords != kMetaHeaderBytes / 2 || (version != 0x0100 && version != 0x0300)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    auto object = std::make_unique<MetaFileObject>();
    object->bits.assign(data, data + size);
    object->objectCount = r.U16(10);
    return object;
}

POINT DeviceCorner(HDC hdc, LONG x, LONG y)
{
    POINT p{x, y};
    LPtoDP(hdc, &p, 1);
    return p;
}

// Sets the DC so that the window (org, ext) fills `rect` (logical units of
// the DC as it was): the rectangle goes to device units first, then the DC
// is made anisotropic with that device rectangle as viewport.
void MapWindowOntoRect(HDC hdc, const RECT& rect, POINT windowOrg, SIZE windowExt)
{
    POINT a = DeviceCorner(hdc, rect.left, rect.top);
    POINT b = DeviceCorner(hdc, rect.right, rect.bottom);
    SetMapMode(hdc, MM_ANISOTROPIC);
    SetWindowOrgEx(hdc, windowOrg.x, windowOrg.y, NULL);
    SetWindowExtEx(hdc, windowExt.cx ? windowExt.cx : 1, windowExt.cy ? windowExt.cy : 1, NULL);
    SetViewportOrgEx(hdc, a.x, a.y, NULL);
    SetViewportExtEx(hdc, b.x - a.x ? b.x - a.x : 1, b.y - a.y ? b.y - a.y : 1, NULL);
}

LONG ScaleLength(LONG value, int numerator, int denominator)
{
    if (denominator <= 0)
        return 0;
    int64_t v = std::llabs(int64_t(value)) * numerator;
    return LONG((v + denominator / 2) / denominator);
}

} // namespace

MetaFileObject* LookupMetaFile(HMETAFILE hmf)
{
    return MetaFiles().Lookup(hmf);
}

bool ReadPlaceableMetaHeader(const BYTE* data, size_t size, PlaceableMetaHeader* header)
{
    ByteReader r(data, size);
    if (!data || size < kPlaceableMetaHeaderSize || r.U32(0) != kPlaceableMetaKey)
        return false;
    if (header) {
        header->bounds = RECT{r.S16(6), r.S16(8), r.S16(10), r.S16(12)};
        header->unitsPerInch = r.U16(14);
        WORD checksum = 0;
        for (size_t i = 0; i < 20; i += 2)
            checksum ^= r.U16(i);
        header->checksumValid = checksum == r.U16(20);
    }
    return true;
}

bool GetMetaFilePlaceableHeader(HMETAFILE hmf, PlaceableMetaHeader* header)
{
    MetaFileObject* object = LookupMetaFile(hmf);
    if (!object || !object->placeable)
        return false;
    if (header)
        *header = *object->placeable;
    return true;
}

SIZE PlaceableMetaSize(const PlaceableMetaHeader& header, int unitsPerInch)
{
    int inch = header.unitsPerInch ? header.unitsPerInch : 1440;
    LONG cx = ScaleLength(header.bounds.right - header.bounds.left, unitsPerInch, inch);
    LONG cy = ScaleLength(header.bounds.bottom - header.bounds.top, unitsPerInch, inch);
    return SIZE{cx < 1 ? 1 : cx, cy < 1 ? 1 : cy};
}

SIZE MetaFilePictSize(const METAFILEPICT& mfp, int unitsPerInch)
{
    // Units of each fixed mode per inch; 0.01 mm for the scalable modes'
    // suggested size.
    int perInch = 0;
    switch (mfp.mm) {
    case MM_TEXT: perInch = unitsPerInch; break;
    case MM_LOMETRIC: perInch = 254; break;
    case MM_HIMETRIC: perInch = 2540; break;
    case MM_LOENGLISH: perInch = 100; break;
    case MM_HIENGLISH: perInch = 1000; break;
    case MM_TWIPS: perInch = 1440; break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
        if (mfp.xExt <= 0 || mfp.yExt <= 0)
            return SIZE{0, 0};
        perInch = 2540;
        break;
    default:
        return SIZE{0, 0};
    }
    return SIZE{ScaleLength(mfp.xExt, unitsPerInch, perInch), ScaleLength(mfp.yExt, unitsPerInch, perInch)};
}

BOOL PlayMetaFilePict(HDC hdc, const METAFILEPICT& mfp, const RECT& rect)
{
    if (!LookupMetaFile(mfp.hMF))
        return FALSE;
    int saved = SaveDC(hdc);
    if (!saved)
        return FALSE;
    POINT a = DeviceCorner(hdc, rect.left, rect.top);
    POINT b = DeviceCorner(hdc, rect.right, rect.bottom);
    switch (mfp.mm) {
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
        // The records set the window; until they do, one unit is one pixel.
        MapWindowOntoRect(hdc, rect, POINT{0, 0}, SIZE{b.x - a.x, b.y - a.y});
        break;
    default: {
        LONG cx = mfp.xExt > 0 ? mfp.xExt : 1;
        LONG cy = mfp.yExt > 0 ? mfp.yExt : 1;
        // The fixed modes other than MM_TEXT count y upwards from the top
        // edge, so the picture lies at negative y.
        MapWindowOntoRect(hdc, rect, POINT{0, 0}, SIZE{cx, mfp.mm == MM_TEXT ? cy : -cy});
        break;
    }
    }
    BOOL ok = PlayMetaFile(hdc, mfp.hMF);
    RestoreDC(hdc, saved);
    return ok;
}

BOOL PlayPlaceableMetaFile(HDC hdc, HMETAFILE hmf, const PlaceableMetaHeader& header, const RECT& rect)
{
    if (!LookupMetaFile(hmf))
        return FALSE;
    int saved = SaveDC(hdc);
    if (!saved)
        return FALSE;
    const RECT& b = header.bounds;
    MapWindowOntoRect(hdc, rect, POINT{b.left, b.top}, SIZE{b.right - b.left, b.bottom - b.top});
    BOOL ok = PlayMetaFile(hdc, hmf);
    RestoreDC(hdc, saved);
    return ok;
}

BOOL PlayPlaceableMetaFile(HDC hdc, HMETAFILE hmf, const RECT& rect)
{
    MetaFileObject* object = LookupMetaFile(hmf);
    if (!object)
        return FALSE;
    if (object->placeable)
        return PlayPlaceableMetaFile(hdc, hmf, *object->placeable, rect);
    return PlayMetaFilePict(hdc, METAFILEPICT{MM_ANISOTROPIC, 0, 0, hmf}, rect);
}

} // namespace platform

using namespace platform;

HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData)
{
    auto object = MakeMetaFile(lpData, cbBuffer);
    return object ? MetaFiles().Add(std::move(object)) : NULL;
}

UINT GetMetaFileBitsEx(HMETAFILE hMF, UINT cbBuffer, LPVOID lpData)
{
    MetaFileObject* object = LookupMetaFile(hMF);
    return object ? CopyMetafileBits(object->bits, cbBuffer, lpData) : 0;
}

BOOL DeleteMetaFile(HMETAFILE hmf)
{
    return MetaFiles().Delete(hmf);
}

HMETAFILE GetMetaFile(LPCSTR lpName)
{
    auto bytes = ReadMetafileFile(lpName, kMaxMetaFileBytes);
    if (!bytes)
        return NULL;
    PlaceableMetaHeader header;
    size_t start = 0;
    bool placeable = ReadPlaceableMetaHeader(bytes->data(), bytes->size(), &header);
    if (placeable)
        start = kPlaceableMetaHeaderSize;
    auto object = MakeMetaFile(bytes->data() + start, bytes->size() - start);
    if (!object)
        return NULL;
    if (placeable)
        object->placeable = header;
    return MetaFiles().Add(std::move(object));
}

HMETAFILE CopyMetaFile(HMETAFILE hmfSrc, LPCSTR lpFileName)
{
    MetaFileObject* source = LookupMetaFile(hmfSrc);
    if (!source)
        return NULL;
    if (lpFileName) {
        // A file gets the metafile alone, as Windows writes it: whoever wants
        // a placeable header writes it themselves.
        if (!WriteMetafileFile(lpFileName, source->bits))
            return NULL;
        return GetMetaFile(lpFileName);
    }
    auto copy = std::make_unique<MetaFileObject>(*source);
    return MetaFiles().Add(std::move(copy));
}

BOOL PlayMetaFile(HDC hdc, HMETAFILE hmf)
{
    MetaFileObject* object = LookupMetaFile(hmf);
    if (!object)
        return FALSE;
    return PlayMetaFileRecords(hdc, *object) ? TRUE : FALSE;
}
