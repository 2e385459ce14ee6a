#pragma once
// CDayCellObj: one day (or hour) cell of a calendar: its number, text,
// font, colours and flags, and the drawing item shown in it. A cell owns
// its item and deletes it with itself; the cell lists of a calendar object
// and of an attribute record own their cells.
//
// The cell record (CDrawObj::StoreDayCells and LoadDayCells, in
// CalendarCellStore.cpp), little-endian, one after the other for the count
// the caller stores itself:
//   u8      record version (kCellRecordVersion)
//   i32     number
//   string  text (the archive's string form), at most kMaxCellText bytes
//   LOGFONT i32 height, width, escapement, orientation, weight; u8 italic,
//           underline, strike-out, charset, out precision, clip precision,
//           quality, pitch and family; 32 bytes of face name (zero-filled,
//           the last byte read as a zero whatever it holds)
//   u32     text colour, u32 background colour
//   u16     flags
//   i32     in-use value
//   u8      item present (0 or 1); when 1, the item:
//           i32 shape kind; i32 left, top, right, bottom; u16 object flags;
//           u8 outline on; u32 pen style, i32 pen width, u32 pen colour;
//           u8 fill on; u32 brush style, u32 brush colour, u32 hatch
// A later record version may carry the item's whole stored object.

#include "platform/base/GdiRecords.h"
#include "platform/base/Object.h"
#include "platform/base/String.h"

class CDrawRect;
class CObList;

class CDayCellObj : public CObject {
    DECLARE_DYNAMIC(CDayCellObj)
public:
    // The value of m_nInUse of a live cell.
    static constexpr int kInUse = 1;
    // The version byte every stored cell record starts with.
    static constexpr BYTE kCellRecordVersion = 1;
    // Bounds a loaded list and a loaded text must keep: no calendar has more
    // cells than a year has days.
    static constexpr int kMaxCells = 366;
    static constexpr int kMaxCellText = 64 * 1024;

    CDayCellObj();
    ~CDayCellObj() override;
    CDayCellObj(const CDayCellObj&) = delete;
    CDayCellObj& operator=(const CDayCellObj&) = delete;

    // A new cell with the same number, text, font, colours and flags, and a
    // copy of the item (none when this cell has none). The caller owns it.
    virtual CDayCellObj* Clone() const;

    // Takes ownership of pItem, deleting the item held before.
    void SetItem(CDrawRect* pItem);
    CDrawRect* GetItem() const { return m_pItem; }

    int m_nNumber = 0;
    CString m_strText;
    LOGFONT m_logfont{};
    COLORREF m_crText = 0;
    COLORREF m_crBack = RGB(255, 255, 255);
    WORD m_wFlags = 0;
    int m_nInUse = kInUse;

protected:
    // Copies every field but the item into pCell.
    void CopyFieldsTo(CDayCellObj* pCell) const;

private:
    CDrawRect* m_pItem = nullptr; // owned
};

// Deletes every cell of the list (each with its item) and empties it. The
// list must hold only CDayCellObj cells that it owns.
void DeleteCellList(CObList& cells);
// Empties target (forgetting what it held: the caller has freed or handed
// on those cells) and fills it with clones of the cells of source, in order.
void CloneCellList(const CObList& source, CObList& target);
