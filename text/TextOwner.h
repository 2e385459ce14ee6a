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

class CDC;
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
};

void SetTextOwnerServices(const TextOwnerServices& services);
const TextOwnerServices& GetTextOwnerServices();

// The calls with their fallbacks.
int TextOwnerZoom(const CDrawObj* pOwner);
COLORREF TextOwnerBackground(const CDrawObj* pOwner);
CWarpShape* TextCreateWarpShape(int nKind, const CRect& rect, CDC* pDC, BOOL bRelative);
// FALSE when no painter is registered (the caller fills with its colour).
BOOL TextPaintOwnerFill(CDrawObj* pOwner, CDC* pDC, const CRect& rect);
