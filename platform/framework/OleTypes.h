#pragma once
// The OLE values that the class library's container, data-transfer and
// drag-and-drop classes take and return: aspects, storage media, data
// formats, drop effects, item notifications and verbs, under their
// documented names and numbers. Only Types.h is needed, so any framework
// header can include this one.

#include "platform/base/Types.h"

typedef WORD CLIPFORMAT;

// How an object is shown.
typedef DWORD DVASPECT;
#define DVASPECT_CONTENT 1
#define DVASPECT_THUMBNAIL 2
#define DVASPECT_ICON 4
#define DVASPECT_DOCPRINT 8

// The medium that carries a format's data.
#define TYMED_NULL 0
#define TYMED_HGLOBAL 1
#define TYMED_FILE 2
#define TYMED_ISTREAM 4
#define TYMED_ISTORAGE 8
#define TYMED_GDI 16
#define TYMED_MFPICT 32
#define TYMED_ENHMF 64

struct DVTARGETDEVICE;

// A format as OLE names it: the clipboard format with its target device,
// aspect, page index and medium.
struct FORMATETC {
    CLIPFORMAT cfFormat;
    DVTARGETDEVICE* ptd;
    DWORD dwAspect;
    LONG lindex;
    DWORD tymed;
};
typedef FORMATETC* LPFORMATETC;

// What a drop would do; DROPEFFECT_SCROLL is or-ed in while a drag scrolls
// the target.
typedef DWORD DROPEFFECT;
#define DROPEFFECT_NONE 0
#define DROPEFFECT_COPY 1
#define DROPEFFECT_MOVE 2
#define DROPEFFECT_LINK 4
#define DROPEFFECT_SCROLL 0x80000000

// Key and button state of a drag (the same bits as the mouse messages').
#ifndef MK_LBUTTON
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010
#endif
#ifndef MK_ALT
#define MK_ALT 0x0020
#endif

// What COleClientItem::OnChange is told.
enum OLE_NOTIFICATION {
    OLE_CHANGED = 0,
    OLE_SAVED = 1,
    OLE_CLOSED = 2,
    OLE_RENAMED = 3,
    OLE_CHANGED_STATE = 4,
    OLE_CHANGED_ASPECT = 5,
};

// Whether an item is embedded, linked or a picture only.
typedef UINT OLE_OBJTYPE;
#define OT_UNKNOWN 0
#define OT_LINK 1
#define OT_EMBEDDED 2
#define OT_STATIC 3

// How an item's presentation is cached when it is created.
typedef DWORD OLERENDER;
#define OLERENDER_NONE 0
#define OLERENDER_DRAW 1
#define OLERENDER_FORMAT 2
#define OLERENDER_ASIS 3

// Standard verbs.
#define OLEIVERB_PRIMARY 0L
#define OLEIVERB_SHOW (-1L)
#define OLEIVERB_OPEN (-2L)
#define OLEIVERB_HIDE (-3L)
#define OLEIVERB_UIACTIVATE (-4L)
#define OLEIVERB_INPLACEACTIVATE (-5L)
#define OLEIVERB_DISCARDUNDOSTATE (-6L)

// HIMETRIC: hundredths of a millimetre, the unit of item extents.
#define HIMETRIC_PER_INCH 2540
