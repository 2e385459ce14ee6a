#pragma once
// Windows metafiles beyond the Win32 calls of Gdi.h: the 22-byte placeable
// header that many .wmf files and the program's own METAFILE pictures carry
// in front of the metafile, and playing a picture at its own mapping (a
// placeable header's bounds, a METAFILEPICT's mode and extent) into a
// rectangle of any DC.

#include "platform/gdi/Gdi.h"

// Until Gdi.h declares them (same signatures, so both may stand).
//
// A metafile read from a file. A placeable header in front is stripped and
// kept with the metafile (GetMetaFilePlaceableHeader).
HMETAFILE GetMetaFile(LPCSTR lpName);
// A copy in memory (lpFileName NULL) or written to that file and read back.
HMETAFILE CopyMetaFile(HMETAFILE hmfSrc, LPCSTR lpFileName);

namespace platform {

constexpr DWORD kPlaceableMetaKey = 0x9AC6CDD7;
constexpr size_t kPlaceableMetaHeaderSize = 22;

// The placeable header: the picture's bounds in its own units (the
// metafile's logical units) and how many of them make an inch.
struct PlaceableMetaHeader {
    RECT bounds{0, 0, 0, 0};
    WORD unitsPerInch = 0;
    // The stored checksum (exclusive or of the ten words before it) matched.
    // Writers often get it wrong, so a mismatch is reported, not refused.
    bool checksumValid = false;
};

// Reads the header at the start of `data`; false when the bytes are too few
// or do not begin with the key.
bool ReadPlaceableMetaHeader(const BYTE* data, size_t size, PlaceableMetaHeader* header);

// The placeable header GetMetaFile stripped from the file; false for a
// metafile that had none (or a bad handle).
bool GetMetaFilePlaceableHeader(HMETAFILE hmf, PlaceableMetaHeader* header);

// The picture's natural size at `unitsPerInch` (100 in previews, LOGPIXELSX
// / LOGPIXELSY for a device): |right - left| and |bottom - top| converted
// from the header's own units, each at least 1. A header without units per
// inch counts its units as 1440 per inch.
SIZE PlaceableMetaSize(const PlaceableMetaHeader& header, int unitsPerInch);

// The size a METAFILEPICT asks for at `unitsPerInch`: xExt and yExt in the
// units of its mode (0.01 mm for MM_ISOTROPIC and MM_ANISOTROPIC, where a
// zero or negative extent asks for no particular size and gives 0; pixels
// are taken as the unit of MM_TEXT).
SIZE MetaFilePictSize(const METAFILEPICT& mfp, int unitsPerInch);

// Plays the picture into `rect` (logical units of hdc; an inverted rectangle
// mirrors it). MM_ISOTROPIC and MM_ANISOTROPIC pictures set their own
// window in their records and get the rectangle as viewport; pictures of a
// fixed mode have their extent, in that mode's units, stretched onto it.
// The DC's state is the same afterwards.
BOOL PlayMetaFilePict(HDC hdc, const METAFILEPICT& mfp, const RECT& rect);

// Plays a metafile whose placeable header (kept by GetMetaFile, or given)
// says its bounds: the bounds are stretched onto `rect`. A metafile without
// a header plays as an MM_ANISOTROPIC picture.
BOOL PlayPlaceableMetaFile(HDC hdc, HMETAFILE hmf, const RECT& rect);
BOOL PlayPlaceableMetaFile(HDC hdc, HMETAFILE hmf, const PlaceableMetaHeader& header, const RECT& rect);

} // namespace platform
