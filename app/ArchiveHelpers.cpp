#include "app/ArchiveHelpers.h"

#include "platform/base/Archive.h"
#include "platform/base/String.h"

#include <algorithm>
#include <cstring>

void ArchiveWritePoint(CArchive& ar, const POINT& pt)
{
    ar << static_cast<DWORD>(pt.x) << static_cast<DWORD>(pt.y);
}

void ArchiveWritePoint(CArchive& ar, const SIZE& size)
{
    ar << static_cast<DWORD>(size.cx) << static_cast<DWORD>(size.cy);
}

void ArchiveReadPoint(CArchive& ar, POINT& pt)
{
    DWORD x, y;
    ar >> x >> y;
    pt.x = static_cast<LONG>(x);
    pt.y = static_cast<LONG>(y);
}

void ArchiveReadPoint(CArchive& ar, SIZE& size)
{
    DWORD cx, cy;
    ar >> cx >> cy;
    size.cx = static_cast<LONG>(cx);
    size.cy = static_cast<LONG>(cy);
}

void ArchiveWriteRect(CArchive& ar, const RECT& rect)
{
    ar << static_cast<DWORD>(rect.left) << static_cast<DWORD>(rect.top) << static_cast<DWORD>(rect.right)
       << static_cast<DWORD>(rect.bottom);
}

void ArchiveReadRect(CArchive& ar, RECT& rect)
{
    DWORD l, t, r, b;
    ar >> l >> t >> r >> b;
    rect.left = static_cast<LONG>(l);
    rect.top = static_cast<LONG>(t);
    rect.right = static_cast<LONG>(r);
    rect.bottom = static_cast<LONG>(b);
}

void ArchiveWriteLogFont(CArchive& ar, const LOGFONT& lf)
{
    ar << static_cast<DWORD>(lf.lfHeight) << static_cast<DWORD>(lf.lfWidth) << static_cast<DWORD>(lf.lfEscapement)
       << static_cast<DWORD>(lf.lfOrientation) << static_cast<DWORD>(lf.lfWeight);
    ar << static_cast<BYTE>(lf.lfItalic) << static_cast<BYTE>(lf.lfUnderline) << static_cast<BYTE>(lf.lfStrikeOut)
       << static_cast<BYTE>(lf.lfCharSet) << static_cast<BYTE>(lf.lfOutPrecision)
       << static_cast<BYTE>(lf.lfClipPrecision) << static_cast<BYTE>(lf.lfQuality)
       << static_cast<BYTE>(lf.lfPitchAndFamily);
    // The face field may lack its terminator when a caller filled all 32.
    ar << CString(lf.lfFaceName, static_cast<int>(strnlen(lf.lfFaceName, LF_FACESIZE)));
}

void ArchiveReadLogFont(CArchive& ar, LOGFONT& lf)
{
    DWORD v[5];
    ar >> v[0] >> v[1] >> v[2] >> v[3] >> v[4];
    lf.lfHeight = static_cast<LONG>(v[0]);
    lf.lfWidth = static_cast<LONG>(v[1]);
    lf.lfEscapement = static_cast<LONG>(v[2]);
    lf.lfOrientation = static_cast<LONG>(v[3]);
    lf.lfWeight = static_cast<LONG>(v[4]);
    BYTE b[8];
    for (BYTE& byte : b)
        ar >> byte;
    lf.lfItalic = b[0];
    lf.lfUnderline = b[1];
    lf.lfStrikeOut = b[2];
    lf.lfCharSet = b[3];
    lf.lfOutPrecision = b[4];
    lf.lfClipPrecision = b[5];
    lf.lfQuality = b[6];
    lf.lfPitchAndFamily = b[7];
    CString face;
    ar >> face;
    size_t n = std::min<size_t>(static_cast<size_t>(face.GetLength()), LF_FACESIZE - 1);
    memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
    memcpy(lf.lfFaceName, static_cast<LPCTSTR>(face), n);
}

BYTE ArchiveReadByte(CArchive& ar)
{
    BYTE b;
    ar >> b;
    return b;
}

void ConvertPoints16(const POINTS* pSrc, POINT* pDst, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        pDst[i].x = pSrc[i].x;
        pDst[i].y = pSrc[i].y;
    }
}

void ConvertLogPen16(const LOGPEN16& src, LOGPEN& dst)
{
    dst.lopnStyle = src.lopnStyle;
    dst.lopnWidth.x = src.lopnWidthX;
    dst.lopnWidth.y = src.lopnWidthY;
    dst.lopnColor = src.lopnColor;
}

void ConvertLogBrush16(const LOGBRUSH16& src, LOGBRUSH& dst)
{
    dst.lbStyle = src.lbStyle;
    dst.lbColor = src.lbColor;
    dst.lbHatch = static_cast<ULONG_PTR>(static_cast<LONG_PTR>(src.lbHatch));
}

void ConvertDocQuickInfo16(const BYTE* pRecord48, DWORD pFields[kDocQuickInfoFields])
{
    const BYTE* p = pRecord48;
    auto readI16 = [&p]() {
        int16_t v = static_cast<int16_t>(p[0] | (p[1] << 8));
        p += 2;
        return static_cast<DWORD>(static_cast<LONG>(v));
    };
    auto readU32 = [&p]() {
        DWORD v = static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16)
            | (static_cast<DWORD>(p[3]) << 24);
        p += 4;
        return v;
    };
    for (int i = 0; i < 7; ++i)
        pFields[i] = readI16();
    pFields[7] = readU32();
    for (int i = 8; i < 21; ++i)
        pFields[i] = readI16();
    pFields[21] = readU32();
}
