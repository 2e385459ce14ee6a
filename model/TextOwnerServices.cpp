// What the text subsystem asks of the drawing object and its views (see
// text/TextOwner.h), answered by the design model. Text stands below the
// model in the link order, so it reaches these answers only through the
// registration made here.

#include "model/TextOwnerServices.h"

#include "app/Utilities.h"
#include "app/main/DesignerApp.h"
#include "app/main/MainFrame.h"
#include "model/DrawDoc.h"
#include "model/DrawObj.h"
#include "model/ObjectAttributes.h"
#include "model/UndoRecording.h"
#include "model/WarpShape.h"
#include "platform/framework/PrintInfo.h"
#include "platform/base/CharClass.h"
#include "platform/base/StringArray.h"
#include "platform/ui/User.h"
#include "pictures/Image.h"
#include "surface/Surface.h"
#include "text/TextOwner.h"

#include <memory>
#include <utility>

namespace {

// The view that shows the owner, else the main frame's active view.
CSurface* ViewFor(const CDrawObj* pOwner)
{
    if (pOwner != nullptr) {
        // GetSurface only refreshes the object's cached view.
        if (CSurface* pView = const_cast<CDrawObj*>(pOwner)->GetSurface())
            return pView;
    }
    return ::GetActiveSurface();
}

int OwnerZoom(const CDrawObj* pOwner)
{
    const CSurface* pView = ViewFor(pOwner);
    return pView != nullptr && pView->GetDrawingZoom() > 0 ? pView->GetDrawingZoom() : 100;
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
    // Text filled by its object takes the text gradient, else the object's
    // picture as a texture (tiled or stretched as the picture says, to the
    // frame), else the object's fill.
    if (attrs.m_wFlags & ATTR_FLAG_TEXT_GRADIENT) {
        pOwner->PaintFill(pDC, rect, attrs.m_fillText);
        return;
    }
    if (pOwner->m_pPicture != nullptr) {
        // A tiled picture repeats at its own size only when the draw is
        // told to.
        if (pOwner->m_pPicture->m_wFlags & IMAGE_FLAG_TILED)
            pOwner->m_pPicture->m_nOneShot1 = 1;
        pOwner->m_pPicture->Draw(pDC, rect, rect, rect);
        return;
    }
    pOwner->PaintFill(pDC, rect, attrs.m_fill);
}

int OwnerMergeFieldIndex(const CDrawObj* pOwner, LPCTSTR lpszName)
{
    return pOwner->GetMergeFieldIndex(lpszName);
}

BOOL OwnerMergeFieldText(const CDrawObj* pOwner, int nField, CString& strText)
{
    CStringArray names;
    if (nField >= pOwner->GetMergeFieldNames(names))
        return FALSE;
    strText = pOwner->GetMergeFieldText(nField);
    return TRUE;
}

HWND OwnerViewWindow(CDrawObj* pOwner)
{
    const CSurface* pView = pOwner->GetSurface();
    return pView != nullptr ? pView->m_hWnd : NULL;
}

void OwnerPrepareViewDC(CDrawObj* pOwner, CDC* pDC)
{
    if (CSurface* pView = pOwner->GetSurface())
        pView->OnPrepareDC(pDC, nullptr);
}

void OwnerInvalidate(CDrawObj* pOwner)
{
    pOwner->Invalidate();
}

void OwnerSetModified(CDrawObj* pOwner)
{
    if (pOwner->m_pDocument != nullptr)
        pOwner->m_pDocument->SetModifiedFlag(TRUE);
}

void OwnerRecordTextRemoval(CDrawObj* pOwner, const CString& strRemoved, int nPosition)
{
    // The step keeps its position in 16 bits: a removal further on cannot
    // be put back where it was, and is not recorded rather than put back
    // elsewhere.
    if (nPosition < 0 || nPosition > 0xFFFF)
        return;
    RecordUndoTextRemoval(pOwner->m_pDocument, pOwner, strRemoved, static_cast<WORD>(nPosition));
}

// Block text is painted by its object when the text gradient is on, or
// when the object carries a picture, which is then the text's texture.
BOOL OwnerFillsText(const CDrawObj* pOwner)
{
    CDrawObj* pObject = const_cast<CDrawObj*>(pOwner);
    if (pObject->m_pPicture != nullptr)
        return TRUE;
    CObjectAttributes attrs;
    pObject->GetAttributes(attrs);
    return (attrs.m_wFlags & ATTR_FLAG_TEXT_GRADIENT) != 0;
}

BOOL OwnerBrushColor(const CDrawObj* pOwner, COLORREF& crBrush)
{
    if (!pOwner->m_bFill || pOwner->m_logbrush.lbStyle != BS_SOLID)
        return FALSE;
    crBrush = pOwner->m_logbrush.lbColor;
    return TRUE;
}

BOOL PumpWhilePrinting()
{
    PumpWaitingMessages();
    return !IsPrintJobCancelled();
}

CObject* MirroredPicture(CBitmap* pBitmap, BOOL bFlipH, BOOL bFlipV)
{
    auto pImage = std::make_unique<CImage>();
    if (!pImage->CreateFromBitmap(pBitmap))
        return nullptr;
    pImage->SetMirror(bFlipH, bFlipV);
    // White stays the paper behind the text, as with the bitmap itself.
    const COLORREF crWhite = RGB(255, 255, 255);
    pImage->SetTransparency(TRUE, &crWhite);
    return pImage.release();
}

void DrawPicture(CObject* pPicture, CDC* pDC, const CRect& rect)
{
    // A picture draws mirrored into a rectangle whose sides are swapped;
    // its mirror bits say which.
    CImage* pImage = static_cast<CImage*>(pPicture);
    CRect dest = rect;
    if (pImage->m_wFlags & IMAGE_FLAG_MIRROR_X)
        std::swap(dest.left, dest.right);
    if (pImage->m_wFlags & IMAGE_FLAG_MIRROR_Y)
        std::swap(dest.top, dest.bottom);
    pImage->Draw(pDC, dest, dest, rect);
}

BOOL FontCharSet(LPCTSTR lpszFaceName, BYTE& nCharSet)
{
    CDesignerApp* pApp = GetDesignerApp();
    if (pApp == nullptr)
        return FALSE;
    const CFontList& fonts = pApp->GetFontList();
    for (int i = 0; i < fonts.GetCount(); ++i) {
        const CFontEntry* pEntry = fonts.GetAt(i);
        if (pEntry != nullptr && _stricmp(pEntry->m_logFont.lfFaceName, lpszFaceName) == 0) {
            nCharSet = pEntry->m_logFont.lfCharSet;
            return TRUE;
        }
    }
    return FALSE;
}

TextOwnerServices MakeServices()
{
    TextOwnerServices services;
    services.pfnZoom = &OwnerZoom;
    services.pfnBackground = &OwnerBackground;
    services.pfnCreateWarpShape = &CreateWarpShape;
    services.pfnPaintFill = &OwnerPaintFill;
    services.pfnMergeFieldIndex = &OwnerMergeFieldIndex;
    services.pfnMergeFieldText = &OwnerMergeFieldText;
    services.pfnViewWindow = &OwnerViewWindow;
    services.pfnPrepareViewDC = &OwnerPrepareViewDC;
    services.pfnInvalidate = &OwnerInvalidate;
    services.pfnSetModified = &OwnerSetModified;
    services.pfnRecordTextRemoval = &OwnerRecordTextRemoval;
    services.pfnFillsText = &OwnerFillsText;
    services.pfnBrushColor = &OwnerBrushColor;
    services.pfnPumpPrinting = &PumpWhilePrinting;
    services.pfnMirroredPicture = &MirroredPicture;
    services.pfnDrawPicture = &DrawPicture;
    services.pfnFontCharSet = &FontCharSet;
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
