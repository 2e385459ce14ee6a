#pragma once
// The CGM graphics import filter: Computer Graphics Metafiles, binary
// (ISO 8632-3, versions 1 to 4) and clear text (ISO 8632-4), turned into
// Windows metafiles. The program reaches it only as the built-in support
// module "cgmolv32.flt" through LoadLibrary and GetProcAddress, under the
// two entries a graphics import filter has; ConvertCgm is the same work on
// bytes, for tests and the fuzz target.
//
// Only the first picture of a metafile is imported. Anything the filter
// cannot read (not a CGM, damaged or truncated elements, precisions the
// standard does not allow, a result over the bounds below) fails the whole
// import; elements it reads but does not draw (segments, escapes,
// application data, the rarer curves) are passed over.

#include "platform/base/Types.h"

#include <cstddef>
#include <vector>

namespace platform {

// The largest CGM file read, and the largest Windows metafile made.
constexpr size_t kMaxCgmFileBytes = 64u << 20;
constexpr size_t kMaxCgmMetafileBytes = 64u << 20;

struct CgmPicture {
    std::vector<BYTE> metafile; // Windows metafile bits (no placeable header)
    // The picture's natural size in pixels (96 per inch for a metafile
    // that says its scale in millimetres; 500 on the longer side for one
    // in abstract units). The metafile sets its own window over it.
    SIZE frame{0, 0};
};

enum class CgmResult {
    Ok,
    NotCgm,   // neither encoding's first element is BEGIN METAFILE
    Damaged,  // an element or parameter that cannot be read
    NoPicture, // the metafile ends before a picture body
    TooLarge, // the metafile made would pass kMaxCgmMetafileBytes
};

CgmResult ConvertCgm(const BYTE* data, size_t size, CgmPicture& picture);

} // namespace platform

// ---- The module's entries ----------------------------------------------------

// The picture record ImportGr fills in: the mapping mode of the metafile,
// the metafile, its bounding box (left, top, right, bottom) in units of
// which wUnitsPerInch make an inch.
struct CGMPICTINFO {
    WORD wMapMode;
    HMETAFILE hMetaFile;
    SHORT bbox[4];
    WORD wUnitsPerInch;
};

// The file record ImportGr is given: the path, zero-terminated, at this
// offset of a record of this many bytes.
constexpr int kCgmFileRecordBytes = 140;
constexpr int kCgmFileRecordPathOffset = 10;

// The filter's kind (2, an import filter) after allocating its preference
// block into *phPrefs (the caller frees it with GlobalFree) when the handle
// there is NULL.
int CgmGetFilterInfo(short version, LPSTR lpszIniSection, HGLOBAL* phPrefs, DWORD dwFlags);

// 0 with the metafile and its box in *pInfo, or a positive failure code:
// 1 the file cannot be read, 2 it is not a CGM or is damaged, 3 it holds no
// picture, 4 the picture is too large. The DC and the preferences are not
// consulted.
int CgmImportGr(HDC hdc, BYTE* pFileRecord, CGMPICTINFO* pInfo, HGLOBAL hPrefs);
