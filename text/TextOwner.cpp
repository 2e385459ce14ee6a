#include "text/TextOwner.h"

#include "platform/base/String.h"
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

int TextMergeFieldIndex(const CDrawObj* pOwner, LPCTSTR lpszName)
{
    const TextOwnerServices& services = Services();
    if (services.pfnMergeFieldIndex == nullptr || pOwner == nullptr || lpszName == nullptr)
        return -1;
    return services.pfnMergeFieldIndex(pOwner, lpszName);
}

BOOL TextMergeFieldText(const CDrawObj* pOwner, int nField, CString& strText)
{
    const TextOwnerServices& services = Services();
    if (services.pfnMergeFieldText == nullptr || pOwner == nullptr || nField < 0)
        return FALSE;
    return services.pfnMergeFieldText(pOwner, nField, strText);
}

HWND TextOwnerViewWindow(CDrawObj* pOwner)
{
    const TextOwnerServices& services = Services();
    if (services.pfnViewWindow == nullptr || pOwner == nullptr)
        return NULL;
    const HWND hWnd = services.pfnViewWindow(pOwner);
    return hWnd != NULL && ::IsWindow(hWnd) ? hWnd : NULL;
}

BOOL TextPrepareViewDC(CDrawObj* pOwner, CDC* pDC)
{
    const TextOwnerServices& services = Services();
    if (services.pfnPrepareViewDC == nullptr || pOwner == nullptr || pDC == nullptr)
        return FALSE;
    services.pfnPrepareViewDC(pOwner, pDC);
    return TRUE;
}

void TextInvalidateOwner(CDrawObj* pOwner)
{
    const TextOwnerServices& services = Services();
    if (services.pfnInvalidate != nullptr && pOwner != nullptr)
        services.pfnInvalidate(pOwner);
}

void TextSetOwnerModified(CDrawObj* pOwner)
{
    const TextOwnerServices& services = Services();
    if (services.pfnSetModified != nullptr && pOwner != nullptr)
        services.pfnSetModified(pOwner);
}

void TextRecordTextRemoval(CDrawObj* pOwner, const CString& strRemoved, int nPosition)
{
    const TextOwnerServices& services = Services();
    if (services.pfnRecordTextRemoval != nullptr && pOwner != nullptr && !strRemoved.IsEmpty())
        services.pfnRecordTextRemoval(pOwner, strRemoved, nPosition);
}

BOOL TextOwnerFillsText(const CDrawObj* pOwner)
{
    const TextOwnerServices& services = Services();
    return services.pfnFillsText != nullptr && pOwner != nullptr && services.pfnFillsText(pOwner);
}

BOOL TextOwnerBrushColor(const CDrawObj* pOwner, COLORREF& crBrush)
{
    const TextOwnerServices& services = Services();
    return services.pfnBrushColor != nullptr && pOwner != nullptr && services.pfnBrushColor(pOwner, crBrush);
}

BOOL TextPumpPrinting()
{
    const TextOwnerServices& services = Services();
    return services.pfnPumpPrinting == nullptr || services.pfnPumpPrinting();
}

CObject* TextMakeMirroredPicture(CBitmap* pBitmap, BOOL bFlipH, BOOL bFlipV)
{
    const TextOwnerServices& services = Services();
    if (services.pfnMirroredPicture == nullptr || pBitmap == nullptr)
        return nullptr;
    return services.pfnMirroredPicture(pBitmap, bFlipH, bFlipV);
}

BOOL TextDrawPicture(CObject* pPicture, CDC* pDC, const CRect& rect)
{
    const TextOwnerServices& services = Services();
    if (services.pfnDrawPicture == nullptr || pPicture == nullptr || pDC == nullptr)
        return FALSE;
    services.pfnDrawPicture(pPicture, pDC, rect);
    return TRUE;
}

BOOL TextFontCharSet(LPCTSTR lpszFaceName, BYTE& nCharSet)
{
    const TextOwnerServices& services = Services();
    return services.pfnFontCharSet != nullptr && lpszFaceName != nullptr && services.pfnFontCharSet(lpszFaceName, nCharSet);
}
