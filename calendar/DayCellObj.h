#pragma once
// CDayCellObj: one day (or hour) cell of a calendar: its number, text,
// font, colours and flags, and the drawing item shown in it. A cell owns
// its item and deletes it with itself; the cell lists of a calendar object
// and of an attribute record own their cells.
//
// This is the least form the object model needs: the stored cell record,
// the lookups and the renderers come with the calendars.

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
