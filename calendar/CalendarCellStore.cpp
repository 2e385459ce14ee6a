// The stored form of a calendar's day cells. The record is laid out in
// calendar/DayCellObj.h. Everything read here comes from a design file, so
// counts, lengths and the version are checked before they are trusted, and
// a damaged record raises CArchiveException with nothing leaked: the cells
// read so far are freed and the kind's list stays empty.

#include "calendar/DayCellObj.h"
#include "model/DrawObj.h"
#include "model/DrawRect.h"
#include "platform/base/Archive.h"
#include "platform/base/Exception.h"
#include "platform/base/ObList.h"

#include <cstring>
#include <memory>

namespace {

// The fewest bytes a stored cell takes: version, number, an empty text,
// the font, two colours, flags, in-use value and the item's presence byte.
constexpr ULONGLONG kMinCellBytes = 1 + 4 + 1 + 60 + 4 + 4 + 2 + 4 + 1;
// Wider pens than this are no pen a cell's item could have been drawn with.
constexpr int kMaxPenWidth = 0xFFFF;

void StoreFont(CArchive& ar, const LOGFONT& lf)
{
    ar << static_cast<int>(lf.lfHeight) << static_cast<int>(lf.lfWidth) << static_cast<int>(lf.lfEscapement)
       << static_cast<int>(lf.lfOrientation) << static_cast<int>(lf.lfWeight);
    ar << lf.lfItalic << lf.lfUnderline << lf.lfStrikeOut << lf.lfCharSet << lf.lfOutPrecision
       << lf.lfClipPrecision << lf.lfQuality << lf.lfPitchAndFamily;
    char face[LF_FACESIZE] = {};
    std::memcpy(face, lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE - 1));
    ar.Write(face, LF_FACESIZE);
}

void LoadFont(CArchive& ar, LOGFONT& lf)
{
    int values[5];
    for (int& value : values)
        ar >> value;
    lf.lfHeight = values[0];
    lf.lfWidth = values[1];
    lf.lfEscapement = values[2];
    lf.lfOrientation = values[3];
    lf.lfWeight = values[4];
    ar >> lf.lfItalic >> lf.lfUnderline >> lf.lfStrikeOut >> lf.lfCharSet >> lf.lfOutPrecision
        >> lf.lfClipPrecision >> lf.lfQuality >> lf.lfPitchAndFamily;
    if (ar.Read(lf.lfFaceName, LF_FACESIZE) != LF_FACESIZE)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
}

void StoreItem(CArchive& ar, const CDrawRect& item)
{
    ar << static_cast<int>(item.m_nShape);
    ar << static_cast<int>(item.m_position.left) << static_cast<int>(item.m_position.top)
       << static_cast<int>(item.m_position.right) << static_cast<int>(item.m_position.bottom);
    ar << static_cast<WORD>(item.m_wFlags);
    ar << static_cast<BYTE>(item.m_bOutline ? 1 : 0);
    ar << static_cast<unsigned>(item.m_logpen.lopnStyle) << static_cast<int>(item.m_logpen.lopnWidth.x)
       << static_cast<unsigned>(item.m_logpen.lopnColor);
    ar << static_cast<BYTE>(item.m_bFill ? 1 : 0);
    ar << static_cast<unsigned>(item.m_logbrush.lbStyle) << static_cast<unsigned>(item.m_logbrush.lbColor)
       << static_cast<unsigned>(item.m_logbrush.lbHatch);
}

BYTE LoadFlagByte(CArchive& ar)
{
    BYTE by = 0;
    ar >> by;
    if (by > 1)
        AfxThrowArchiveException(CArchiveException::generic);
    return by;
}

std::unique_ptr<CDrawRect> LoadItem(CArchive& ar)
{
    int nShape = 0;
    int edges[4];
    ar >> nShape;
    for (int& edge : edges)
        ar >> edge;
    // Unknown kinds are kept as stored: they draw and hit-test as rectangles.
    auto pItem = std::make_unique<CDrawRect>(CRect(edges[0], edges[1], edges[2], edges[3]), nShape);
    WORD wFlags = 0;
    ar >> wFlags;
    pItem->m_wFlags = wFlags;
    pItem->m_bOutline = LoadFlagByte(ar);
    unsigned nStyle = 0;
    int nWidth = 0;
    unsigned crPen = 0;
    ar >> nStyle >> nWidth >> crPen;
    if (nWidth < 0 || nWidth > kMaxPenWidth)
        AfxThrowArchiveException(CArchiveException::generic);
    pItem->m_logpen.lopnStyle = nStyle;
    pItem->m_logpen.lopnWidth = CPoint(nWidth, 0);
    pItem->m_logpen.lopnColor = crPen;
    pItem->m_bFill = LoadFlagByte(ar);
    unsigned nBrushStyle = 0;
    unsigned crBrush = 0;
    unsigned nHatch = 0;
    ar >> nBrushStyle >> crBrush >> nHatch;
    pItem->m_logbrush.lbStyle = nBrushStyle;
    pItem->m_logbrush.lbColor = crBrush;
    pItem->m_logbrush.lbHatch = nHatch;
    return pItem;
}

void StoreCell(CArchive& ar, const CDayCellObj& cell)
{
    ar << CDayCellObj::kCellRecordVersion;
    ar << static_cast<int>(cell.m_nNumber);
    ar << cell.m_strText;
    StoreFont(ar, cell.m_logfont);
    ar << static_cast<unsigned>(cell.m_crText) << static_cast<unsigned>(cell.m_crBack);
    ar << static_cast<WORD>(cell.m_wFlags);
    ar << static_cast<int>(cell.m_nInUse);
    const CDrawRect* pItem = cell.GetItem();
    ar << static_cast<BYTE>(pItem != nullptr ? 1 : 0);
    if (pItem != nullptr)
        StoreItem(ar, *pItem);
}

std::unique_ptr<CDayCellObj> LoadCell(CArchive& ar)
{
    BYTE nVersion = 0;
    ar >> nVersion;
    if (nVersion != CDayCellObj::kCellRecordVersion)
        AfxThrowArchiveException(CArchiveException::badSchema);
    auto pCell = std::make_unique<CDayCellObj>();
    int nNumber = 0;
    ar >> nNumber;
    pCell->m_nNumber = nNumber;
    ar >> pCell->m_strText;
    if (pCell->m_strText.GetLength() > CDayCellObj::kMaxCellText)
        AfxThrowArchiveException(CArchiveException::generic);
    LoadFont(ar, pCell->m_logfont);
    unsigned crText = 0;
    unsigned crBack = 0;
    ar >> crText >> crBack;
    pCell->m_crText = crText;
    pCell->m_crBack = crBack;
    WORD wFlags = 0;
    ar >> wFlags;
    pCell->m_wFlags = wFlags;
    int nInUse = 0;
    ar >> nInUse;
    pCell->m_nInUse = nInUse;
    if (LoadFlagByte(ar) != 0)
        pCell->SetItem(LoadItem(ar).release());
    return pCell;
}

} // namespace

void CDrawObj::StoreDayCells(CArchive& ar, int nKind, int nCount)
{
    CObList* pList = GetCellList(nKind);
    if (pList == nullptr || nCount <= 0)
        return;
    // The caller has stored nCount already; a list that holds fewer cells
    // is made up with blank cells so that the file still reads back.
    POSITION pos = pList->GetHeadPosition();
    for (int n = 0; n < nCount; ++n) {
        const CDayCellObj* pCell = nullptr;
        while (pos != nullptr && pCell == nullptr)
            pCell = static_cast<const CDayCellObj*>(pList->GetNext(pos));
        if (pCell != nullptr) {
            StoreCell(ar, *pCell);
        } else {
            CDayCellObj blank;
            blank.m_nInUse = 0;
            StoreCell(ar, blank);
        }
    }
}

void CDrawObj::LoadDayCells(CArchive& ar, int nKind, int nCount)
{
    CObList* pList = GetCellList(nKind);
    if (pList == nullptr)
        AfxThrowArchiveException(CArchiveException::badIndex);
    DeleteCellList(*pList);
    if (nCount < 0 || nCount > CDayCellObj::kMaxCells)
        AfxThrowArchiveException(CArchiveException::generic);
    if (static_cast<ULONGLONG>(nCount) * kMinCellBytes > ar.GetBytesRemaining())
        AfxThrowArchiveException(CArchiveException::endOfFile);

    // Read into a list of our own: a damaged record leaves the object's list
    // empty rather than half filled.
    CObList cells;
    try {
        for (int n = 0; n < nCount; ++n) {
            std::unique_ptr<CDayCellObj> pCell = LoadCell(ar);
            cells.AddTail(pCell.get());
            pCell.release();
        }
    } catch (...) {
        DeleteCellList(cells);
        throw;
    }
    pList->AddTail(&cells);
    cells.RemoveAll();
}
