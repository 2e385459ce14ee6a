#pragma once
// How the design file stores points, rectangles and fonts, and how the
// 16-bit records of old design files are widened. Every value is
// little-endian through the archive's buffer; a short stream raises the
// archive's end-of-file exception.

#include "platform/base/GdiRecords.h"
#include "platform/base/Types.h"

class CArchive;

void ArchiveWritePoint(CArchive& ar, const POINT& pt);
void ArchiveWritePoint(CArchive& ar, const SIZE& size);
void ArchiveReadPoint(CArchive& ar, POINT& pt);
void ArchiveReadPoint(CArchive& ar, SIZE& size);
void ArchiveWriteRect(CArchive& ar, const RECT& rect);
void ArchiveReadRect(CArchive& ar, RECT& rect);
// Five 32-bit values, eight bytes, then the face name as an archive string;
// a stored face name longer than the LOGFONT's 31 characters is cut.
void ArchiveWriteLogFont(CArchive& ar, const LOGFONT& lf);
void ArchiveReadLogFont(CArchive& ar, LOGFONT& lf);
BYTE ArchiveReadByte(CArchive& ar);

// Records of the 16-bit design files, as stored.
#pragma pack(push, 1)
struct LOGPEN16 {
    WORD lopnStyle;
    SHORT lopnWidthX;
    SHORT lopnWidthY;
    DWORD lopnColor;
};
struct LOGBRUSH16 {
    WORD lbStyle;
    DWORD lbColor;
    SHORT lbHatch;
};
#pragma pack(pop)
static_assert(sizeof(LOGPEN16) == 10 && sizeof(LOGBRUSH16) == 8);

// The page-setup record of old design files: 7 x i16, u32, 13 x i16, u32.
constexpr int kDocQuickInfo16Size = 48;
constexpr int kDocQuickInfoFields = 22;

// Widening keeps signs: coordinates and widths are sign-extended, styles are
// zero-extended.
void ConvertPoints16(const POINTS* pSrc, POINT* pDst, int nCount);
void ConvertLogPen16(const LOGPEN16& src, LOGPEN& dst);
void ConvertLogBrush16(const LOGBRUSH16& src, LOGBRUSH& dst);
// Fields 0-6 and 8-20 are sign-extended 16-bit values; 7 and 21 are copied.
void ConvertDocQuickInfo16(const BYTE* pRecord48, DWORD pFields[kDocQuickInfoFields]);

// Numbers read from resources and files pass through these unchanged; they
// mark the places where stored byte order is taken as it is.
inline WORD PassThroughWord(WORD w)
{
    return w;
}
inline DWORD PassThroughValue(DWORD dw)
{
    return dw;
}
