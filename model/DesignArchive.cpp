#include "model/DesignArchive.h"

#include "app/ArchiveHelpers.h"
#include "model/DrawDoc.h"
#include "platform/base/Archive.h"

namespace {

// The stored forms below the document (text, pictures) learn the design's
// version and header value through this, as the objects do.
BOOL DesignArchiveFromDocument(const CArchive& ar, DesignArchiveInfo& info)
{
    const auto* pDoc = dynamic_cast<const CDrawDoc*>(ar.m_pDocument);
    if (pDoc == nullptr)
        return FALSE;
    info.nVersion = pDoc->m_nFileVersion;
    info.nHeaderValue = pDoc->m_nLayoutChoice;
    return TRUE;
}

[[maybe_unused]] const bool s_bRegistered = (SetDesignArchiveSource(&DesignArchiveFromDocument), true);

} // namespace

LONG GetDesignVersion(const CArchive& ar)
{
    return GetDesignArchiveInfo(ar).nVersion;
}

BOOL HasNativeRecords(const CArchive& ar)
{
    const auto* pDoc = dynamic_cast<const CDrawDoc*>(ar.m_pDocument);
    return pDoc == nullptr || pDoc->m_bNativeRecord || ar.IsStoring();
}

void StoreLogPen(CArchive& ar, const LOGPEN& pen)
{
    ar << static_cast<DWORD>(pen.lopnStyle) << static_cast<LONG>(pen.lopnWidth.x)
       << static_cast<LONG>(pen.lopnWidth.y) << static_cast<DWORD>(pen.lopnColor);
}

void LoadLogPen(CArchive& ar, LOGPEN& pen, BOOL bNative)
{
    if (!bNative) {
        // The packed record's members may lie unaligned: they are read
        // into values of their own and copied in.
        WORD wStyle = 0;
        SHORT nWidthX = 0;
        SHORT nWidthY = 0;
        DWORD dwColor = 0;
        ar >> wStyle >> nWidthX >> nWidthY >> dwColor;
        LOGPEN16 pen16{};
        pen16.lopnStyle = wStyle;
        pen16.lopnWidthX = nWidthX;
        pen16.lopnWidthY = nWidthY;
        pen16.lopnColor = dwColor;
        ConvertLogPen16(pen16, pen);
        return;
    }
    DWORD dwStyle = 0;
    LONG x = 0;
    LONG y = 0;
    DWORD dwColor = 0;
    ar >> dwStyle >> x >> y >> dwColor;
    pen.lopnStyle = dwStyle;
    pen.lopnWidth = POINT{x, y};
    pen.lopnColor = dwColor;
}

void StoreLogBrush(CArchive& ar, const LOGBRUSH& brush)
{
    // The file keeps the hatch in 32 bits, as it always has.
    ar << static_cast<DWORD>(brush.lbStyle) << static_cast<DWORD>(brush.lbColor)
       << static_cast<LONG>(brush.lbHatch);
}

void LoadLogBrush(CArchive& ar, LOGBRUSH& brush, BOOL bNative)
{
    if (!bNative) {
        WORD wStyle = 0;
        DWORD dwColor = 0;
        SHORT nHatch = 0;
        ar >> wStyle >> dwColor >> nHatch;
        LOGBRUSH16 brush16{};
        brush16.lbStyle = wStyle;
        brush16.lbColor = dwColor;
        brush16.lbHatch = nHatch;
        ConvertLogBrush16(brush16, brush);
        return;
    }
    DWORD dwStyle = 0;
    DWORD dwColor = 0;
    LONG nHatch = 0;
    ar >> dwStyle >> dwColor >> nHatch;
    brush.lbStyle = dwStyle;
    brush.lbColor = dwColor;
    brush.lbHatch = static_cast<ULONG_PTR>(static_cast<LONG_PTR>(nHatch));
}
