#pragma once
// What text asks of the drawing object that owns it and of the design
// window showing it. Text stands below the design model, so the model makes
// these known once (SetTextOwnerServices, from a static registration in
// model/) and text asks through them. Without a registration text works on
// its own: zoom 100, the window colour, no warp shapes and a fill object
// filled with the text colour.

#include "platform/base/Forward.h"
#include "platform/base/Geometry.h"
#include "platform/base/Types.h"

class CBitmap;
class CDC;
class CObject;
class CDrawObj;
class CWarpShape;

struct TextOwnerServices {
    // The zoom percentage of the view showing the owner, else of the main
    // frame's active view, else 100. pOwner may be null.
    int (*pfnZoom)(const CDrawObj* pOwner) = nullptr;
    // The background colour of the active view, else the window colour.
    COLORREF (*pfnBackground)(const CDrawObj* pOwner) = nullptr;
    // A warp shape of kind 1..16 for the frame (the caller owns it); null
    // when the kind or frame gives none.
    CWarpShape* (*pfnCreateWarpShape)(int nKind, const CRect& rect, CDC* pDC, BOOL bRelative) = nullptr;
    // Paints the owner's fill into rect through the DC's clip region.
    void (*pfnPaintFill)(CDrawObj* pOwner, CDC* pDC, const CRect& rect) = nullptr;
    // Where the name stands among the owner's merge source's field names
    // (any case); -1 when absent or without a source.
    int (*pfnMergeFieldIndex)(const CDrawObj* pOwner, LPCTSTR lpszName) = nullptr;
    // The text of field n of the source's current record; FALSE without one.
    BOOL (*pfnMergeFieldText)(const CDrawObj* pOwner, int nField, CString& strText) = nullptr;
    // The window of the view that shows the owner (block text puts its
    // caret there and gives it the focus while editing); NULL without one.
    HWND (*pfnViewWindow)(CDrawObj* pOwner) = nullptr;
    // Readies a DC of that view for the owner's logical units.
    void (*pfnPrepareViewDC)(CDrawObj* pOwner, CDC* pDC) = nullptr;
    // Redraws the owner where its views show it.
    void (*pfnInvalidate)(CDrawObj* pOwner) = nullptr;
    // Marks the owner's document modified.
    void (*pfnSetModified)(CDrawObj* pOwner) = nullptr;
    // Records the undo step that puts removed block text back at a position
    // of the text without soft breaks; nothing for an owner without a
    // document.
    void (*pfnRecordTextRemoval)(CDrawObj* pOwner, const CString& strRemoved, int nPosition) = nullptr;
    // Whether the owner's fill paints its block text (the text gradient,
    // or its picture as a texture) instead of the text colour.
    BOOL (*pfnFillsText)(const CDrawObj* pOwner) = nullptr;
    // The owner's brush colour, when it fills its background with one.
    BOOL (*pfnBrushColor)(const CDrawObj* pOwner, COLORREF& crBrush) = nullptr;
    // Dispatches the messages waiting while a long print step runs; FALSE
    // when the user cancelled printing meanwhile.
    BOOL (*pfnPumpPrinting)() = nullptr;
    // A picture made from the bitmap and mirrored by its own flip, white
    // left transparent; the caller owns it. Null when it cannot be made.
    CObject* (*pfnMirroredPicture)(CBitmap* pBitmap, BOOL bFlipH, BOOL bFlipV) = nullptr;
    // Draws such a picture into rect (logical units of the DC).
    void (*pfnDrawPicture)(CObject* pPicture, CDC* pDC, const CRect& rect) = nullptr;
    // The character set of an installed font of that face (any case).
    BOOL (*pfnFontCharSet)(LPCTSTR lpszFaceName, BYTE& nCharSet) = nullptr;
};

void SetTextOwnerServices(const TextOwnerServices& services);
const TextOwnerServices& GetTextOwnerServices();

// The calls with their fallbacks.
int TextOwnerZoom(const CDrawObj* pOwner);
COLORREF TextOwnerBackground(const CDrawObj* pOwner);
CWarpShape* TextCreateWarpShape(int nKind, const CRect& rect, CDC* pDC, BOOL bRelative);
// FALSE when no painter is registered (the caller fills with its colour).
BOOL TextPaintOwnerFill(CDrawObj* pOwner, CDC* pDC, const CRect& rect);
// -1 and FALSE without a registration or an owner.
int TextMergeFieldIndex(const CDrawObj* pOwner, LPCTSTR lpszName);
BOOL TextMergeFieldText(const CDrawObj* pOwner, int nField, CString& strText);
// Editing block text: each does nothing without a registration or owner.
HWND TextOwnerViewWindow(CDrawObj* pOwner);
// FALSE when nothing prepared the DC (it keeps its own mapping).
BOOL TextPrepareViewDC(CDrawObj* pOwner, CDC* pDC);
void TextInvalidateOwner(CDrawObj* pOwner);
void TextSetOwnerModified(CDrawObj* pOwner);
void TextRecordTextRemoval(CDrawObj* pOwner, const CString& strRemoved, int nPosition);
// Block text's drawing; each answers FALSE (or null) without a
// registration, and the caller then draws on its own.
BOOL TextOwnerFillsText(const CDrawObj* pOwner);
BOOL TextOwnerBrushColor(const CDrawObj* pOwner, COLORREF& crBrush);
// TRUE (go on) without a registration.
BOOL TextPumpPrinting();
CObject* TextMakeMirroredPicture(CBitmap* pBitmap, BOOL bFlipH, BOOL bFlipV);
BOOL TextDrawPicture(CObject* pPicture, CDC* pDC, const CRect& rect);
BOOL TextFontCharSet(LPCTSTR lpszFaceName, BYTE& nCharSet);
