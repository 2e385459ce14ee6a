#pragma once
// An embedded or linked object on a surface: CDrawOleObj is the drawing
// object (position, outline, fill) and owns CDrawItem, the document's client
// item, which points back at it. The server's sizes come in HIMETRIC and
// become hundredths of an inch with y growing upwards.

#include "model/DrawObj.h"
#include "platform/framework/OleDoc.h"

class CDrawItem;
struct IStorage;

// Objects pasted from the clipboard name their items by the numbers they had
// in the design they were copied from, which the design pasted into may give
// to another item or not hold at all. While a CPastedItemScope lives, every
// item read takes a new number of its document and a copy of the storage the
// source kept for its old number; an item whose storage was not kept (or
// without a source) stays empty and draws as a placeholder.
class CPastedItemSource {
public:
    virtual ~CPastedItemSource() = default;
    // The storage kept for an item number, NULL when none; the caller
    // copies it and does not release it.
    virtual IStorage* FindItemStorage(DWORD dwItemNumber) const = 0;
};

// A copy of the storage in a temporary one of its own, removed when
// released; NULL when there is nothing to copy or the copy fails. The
// caller holds the one reference.
IStorage* CopyToTemporaryStorage(IStorage* pSource);

class CPastedItemScope {
public:
    explicit CPastedItemScope(const CPastedItemSource* pSource);
    ~CPastedItemScope();
    CPastedItemScope(const CPastedItemScope&) = delete;
    CPastedItemScope& operator=(const CPastedItemScope&) = delete;

private:
    BOOL m_bWasActive;
    const CPastedItemSource* m_pPrevious;
};

class CDrawOleObj : public CDrawObj {
    DECLARE_SERIAL(CDrawOleObj)
public:
    CDrawOleObj();
    explicit CDrawOleObj(const CRect& position);
    ~CDrawOleObj() override;

    // The base record, the extent (two u32) and the item as an archive
    // object.
    void Serialize(CArchive& ar) override;
    BOOL IsOleObject() override { return TRUE; }
    // The item's cached picture in MM_TEXT over the object's device
    // rectangle, with a tracker frame on the screen while frames are shown.
    void Draw(CDC* pDC) override;
    void MoveTo(const CRect& position, CSurface* pView, int nHandle = -1, const CRect* pUnrotated = nullptr) override;
    // The item's open verb with Ctrl held, else its primary verb.
    BOOL OnOpen(CSurface* pView, int nPage = 0, CWnd* pParent = nullptr, CObjectAttributes* pAttrs = nullptr,
        UINT nFlags = 0) override;
    // A new object on the same rectangle with a clone of the item, the
    // outline and the fill; added to the document when one is given. A
    // failed clone leaves nothing behind and raises its exception.
    CDrawObj* Clone(CDrawDoc* pDoc, CSurface* pView) override;

    // Takes the item (and points it back at this object).
    void SetItem(CDrawItem* pItem);
    CDrawItem* GetItem() const { return m_pClientItem; }

    CSize m_extent{0, 0}; // the server's last extent, HIMETRIC; 0, 0 until known

private:
    CDrawItem* m_pClientItem = nullptr; // owned
};

class CDrawItem : public COleClientItem {
    DECLARE_SERIAL(CDrawItem)
public:
    explicit CDrawItem(COleDocument* pContainer = nullptr, CDrawOleObj* pOwner = nullptr);
    ~CDrawItem() override;

    void Serialize(CArchive& ar) override;
    void OnChange(OLE_NOTIFICATION nCode, DWORD dwParam) override;
    BOOL OnChangeItemPosition(const CRect& rectPos) override;
    void OnGetItemPosition(CRect& rPosition) override;
    // Follows the server's extent: the first one sizes the owner, later
    // ones scale it (unless the item is active in place). TRUE when the
    // owner's size changed.
    BOOL UpdateExtent();

    CDrawOleObj* m_pDrawObj = nullptr; // not owned

private:
    // The record of an item read while a CPastedItemScope lives.
    void LoadPasted(CArchive& ar, const CPastedItemSource* pSource);
};
