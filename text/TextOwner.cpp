#include "text/TextOwner.h"

#include "platform/ui/User.h"

namespace {

TextOwnerServices& Services()
{
    static TextOwnerServices services;
    return services;
}

} // namespace

void SetTextOwnerServices(const TextOwnerServices& services)
{
    Services() = services;
}

const TextOwnerServices& GetTextOwnerServices()
{
    return Services();
}

int TextOwnerZoom(const CDrawObj* pOwner)
{
    const TextOwnerServices& services = Services();
    if (services.pfnZoom == nullptr)
        return 100;
    // Fonts are sized by this percentage: a view that answers nonsense must
    // not make fonts of no or absurd size.
    const int nZoom = services.pfnZoom(pOwner);
    return nZoom > 0 && nZoom <= 10000 ? nZoom : 100;
}

COLORREF TextOwnerBackground(const CDrawObj* pOwner)
{
    const TextOwnerServices& services = Services();
    if (services.pfnBackground == nullptr)
        return ::GetSysColor(COLOR_WINDOW);
    return services.pfnBackground(pOwner);
}

CWarpShape* TextCreateWarpShape(int nKind, const CRect& rect, CDC* pDC, BOOL bRelative)
{
    const TextOwnerServices& services = Services();
    if (services.pfnCreateWarpShape == nullptr)
        return nullptr;
    return services.pfnCreateWarpShape(nKind, rect, pDC, bRelative);
}

BOOL TextPaintOwnerFill(CDrawObj* pOwner, CDC* pDC, const CRect& rect)
{
    const TextOwnerServices& services = Services();
    if (services.pfnPaintFill == nullptr)
        return FALSE;
    services.pfnPaintFill(pOwner, pDC, rect);
    return TRUE;
}
