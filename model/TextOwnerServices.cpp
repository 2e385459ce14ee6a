// What the text subsystem asks of the drawing object and its views (see
// text/TextOwner.h), answered by the design model. Text stands below the
// model in the link order, so it reaches these answers only through the
// registration made here.

#include "model/TextOwnerServices.h"

#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "model/WarpShape.h"
#include "platform/ui/User.h"
#include "surface/Surface.h"
#include "surface/ToolpadBar.h"
#include "text/TextOwner.h"

namespace {

// The view that shows the owner, else the main frame's active view.
CSurface* ViewFor(const CDrawObj* pOwner)
{
    if (pOwner != nullptr) {
        // GetSurface only refreshes the object's cached view.
        if (CSurface* pView = const_cast<CDrawObj*>(pOwner)->GetSurface())
            return pView;
    }
    return CToolpadBar::GetActiveSurface();
}

int OwnerZoom(const CDrawObj* pOwner)
{
    const CSurface* pView = ViewFor(pOwner);
    return pView != nullptr && pView->GetZoom() > 0 ? pView->GetZoom() : 100;
}

// Text lies on the page, so the colour a view shows behind it is its
// document's paper; the workspace colour around the page would make the
// inverse of a selection unreadable.
COLORREF OwnerBackground(const CDrawObj* pOwner)
{
    const CSurface* pView = ViewFor(pOwner);
    const CDrawDoc* pDoc = pView != nullptr ? pView->GetDocument() : nullptr;
    return pDoc != nullptr ? pDoc->GetPaperColor() : ::GetSysColor(COLOR_WINDOW);
}

void OwnerPaintFill(CDrawObj* pOwner, CDC* pDC, const CRect& rect)
{
    if (pOwner == nullptr || pDC == nullptr)
        return;
    CObjectAttributes attrs;
    pOwner->GetAttributes(attrs);
    pOwner->PaintFill(pDC, rect, attrs.m_fill);
}

TextOwnerServices MakeServices()
{
    TextOwnerServices services;
    services.pfnZoom = &OwnerZoom;
    services.pfnBackground = &OwnerBackground;
    services.pfnCreateWarpShape = &CreateWarpShape;
    services.pfnPaintFill = &OwnerPaintFill;
    return services;
}

bool s_bRegistered = (SetTextOwnerServices(MakeServices()), true);

} // namespace

void RegisterTextOwnerServices()
{
    // The static registration above normally ran already; the call ties
    // this file into every program that makes drawing objects, and covers
    // an object made while static initialisation is still under way.
    if (!s_bRegistered) {
        SetTextOwnerServices(MakeServices());
        s_bRegistered = true;
    }
}
