#pragma once
// CDrawObj: the base of every item that lies on a design surface. This is
// the part of the object that the document and its surfaces rely on today:
// the position on the surface, the flags word, the pen and brush, the link
// to the owning document and view, and invalidation. Pictures, text,
// rotation, handles and the stored record extend it.
//
// Coordinates are logical units of hundredths of an inch with y growing
// upwards, so a normalised rectangle has top >= bottom. An object lies in
// one view's object list and never owns its document or view; whoever takes
// it off the last list deletes it.

#include "platform/base/GdiRecords.h"
#include "platform/base/Geometry.h"
#include "platform/base/Object.h"

class CDC;
class CDrawDoc;
class CSurface;

// Bits of CDrawObj::m_wFlags.
#define OBJ_FLAG_LOADED 0x0001        // set at construction and after every load
#define OBJ_FLAG_SIZING 0x0002        // guards a resize against re-entry
#define OBJ_FLAG_DRAGGING 0x0004      // drawn as a plain frame while dragged
#define OBJ_FLAG_LOCKED 0x0008        // being edited in place: not hit, not moved
#define OBJ_FLAG_NATURAL_SIZE 0x0010  // sized to its picture's own size
#define OBJ_FLAG_UNSELECTABLE 0x0020  // never hit or selected
#define OBJ_FLAG_BACK_LAYER 0x0040    // lies on the background layer
#define OBJ_FLAG_GUIDE 0x0080         // a guide the document draws for itself
#define OBJ_FLAG_TILE_HIDDEN 0x0100   // left out of the tile being printed
#define OBJ_FLAG_AUTO_OUTLINE 0x0200  // the outline follows the content
#define OBJ_FLAG_MEMORY_PICTURE 0x0400
#define OBJ_FLAG_FREE_PROPORTIONS 0x2000
#define OBJ_FLAG_CROPPED 0x4000
#define OBJ_FLAG_CROP_MOVE 0x8000

// The flags a fresh object carries.
#define OBJ_FLAGS_DEFAULT (OBJ_FLAG_LOADED | OBJ_FLAG_AUTO_OUTLINE)

// Document update hint an object sends when its look changed; the views
// invalidate the object's area.
#define HINT_OBJECT_CHANGED 1

class CDrawObj : public CObject {
    DECLARE_SERIAL(CDrawObj)
public:
    CDrawObj();
    explicit CDrawObj(const CRect& position);
    ~CDrawObj() override;
    CDrawObj(const CDrawObj&) = delete;
    CDrawObj& operator=(const CDrawObj&) = delete;

    // Every field back to its construction default, with the next serial
    // number; m_position is emptied.
    void Init();

    // Asks the owning document to update its views with hint 1 and this
    // object as the hint object; nothing without a document.
    void Invalidate();

    // The position rectangle normalised (top >= bottom).
    CRect GetNormalizedPosition() const;
    BOOL HasArea() const { return m_position.Width() != 0 && m_position.Height() != 0; }

    // The stored record comes with the design file: until then an object is
    // never written or read, and trying raises CNotSupportedException rather
    // than leaving a file without its objects.
    void Serialize(CArchive& ar) override;

    // Draws nothing: the view draws picture and text objects itself.
    virtual void Draw(CDC* pDC);
    // How far the drawing reaches beyond m_position, both ways.
    virtual CSize GetLinePadding() const;

    // The serial counter that supplies m_nSerial (0 at program start).
    static DWORD GetNextSerial();

    WORD m_wFlags = OBJ_FLAGS_DEFAULT;
    WORD m_wTextFlags = 0;
    WORD m_wExtraFlags = 0;
    WORD m_wObjectWord = 0;
    DWORD m_nSerial = 0;
    CRect m_position;
    CRect m_rectUnrotated;
    CRect m_rectUncropped;
    CDrawDoc* m_pDocument = nullptr; // not owned
    CSurface* m_pSurface = nullptr;  // cached view that holds the object; not owned
    BOOL m_bDetached = FALSE;
    BOOL m_bOutline = TRUE;
    LOGPEN m_logpen{};
    BOOL m_bFill = FALSE;
    LOGBRUSH m_logbrush{};
    LONG m_nContentWord = -1; // background colour behind the fill, -1 none
    double m_dAngle = 0.0;

private:
    static DWORD s_nNextSerial;
};
