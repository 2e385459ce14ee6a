// Pictures of a whole surface: the small preview a design file keeps of its
// surfaces, and the page written to a JPEG file (logos, uploads).

#include "surface/Surface.h"

#include "model/DrawObj.h"
#include "pictures/Image.h"
#include "platform/base/Archive.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/Exception.h"
#include "platform/base/File.h"
#include "platform/files/FileApi.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"

#include <algorithm>
#include <cmath>

namespace {

// No picture of a surface is made larger than this each way, whatever a
// caller asks for.
constexpr int kMaxPictureSide = 8000;
// The zoom of a fixed-zoom preview, in percent of the screen size.
constexpr int kFixedPreviewZoom = 75;

// The page at zoom percent of its size on the screen, in pixels.
CSize ScreenSize(CSize page, int nZoom)
{
    const SIZE ppi = ScreenPixelsPerInch();
    return CSize(::MulDiv(page.cx, ppi.cx * nZoom, 100 * 100), ::MulDiv(page.cy, ppi.cy * nZoom, 100 * 100));
}

// The largest size of the page's proportions that fits cx x cy.
CSize FitSize(CSize page, int cx, int cy)
{
    const double scale = std::min(static_cast<double>(cx) / page.cx, static_cast<double>(cy) / page.cy);
    return CSize(std::clamp(static_cast<int>(std::lround(page.cx * scale)), 1, cx),
        std::clamp(static_cast<int>(std::lround(page.cy * scale)), 1, cy));
}

} // namespace

BOOL CSurface::RenderPreview(CBitmap* pBitmap, int cx, int cy, BOOL bFixedZoom)
{
    if (pBitmap == nullptr)
        return FALSE;
    const CSize page = GetPageSize();
    CSize size;
    if (bFixedZoom) {
        size = ScreenSize(page, kFixedPreviewZoom);
    } else {
        if (cx <= 0 || cy <= 0)
            return FALSE;
        size = FitSize(page, cx, cy);
    }
    if (size.cx <= 0 || size.cy <= 0 || size.cx > kMaxPictureSide || size.cy > kMaxPictureSide)
        return FALSE;

    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return FALSE;
    CBitmap bitmap;
    if (!bitmap.CreateBitmap(size.cx, size.cy, 1, 24, nullptr))
        return FALSE;
    CBitmap* pOld = dc.SelectObject(&bitmap);
    if (pOld == nullptr)
        return FALSE;
    dc.FillSolidRect(CRect(0, 0, size.cx, size.cy), RGB(255, 255, 255));

    // The page's top-left corner lands on the bitmap's, y growing upwards
    // as on the screen.
    const CRect rectPage = GetPageRect();
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowOrg(rectPage.left, rectPage.top);
    dc.SetWindowExt(page.cx, -page.cy);
    dc.SetViewportOrg(0, 0);
    dc.SetViewportExt(size.cx, size.cy);

    // Guides are the document's own drawing, and objects left out of the
    // tile being printed stay out of pictures of the surface as well.
    const WORD wSkip = OBJ_FLAG_GUIDE | OBJ_FLAG_TILE_HIDDEN;
    // Text sizes its fonts by the picture's scale while it is drawn.
    const CSize screen = ScreenSize(page, 100);
    m_nPictureZoom = std::max(1, screen.cx > 0 ? ::MulDiv(size.cx, 100, screen.cx) : 100);
    for (POSITION pos = m_objects.GetHeadPosition(); pos != NULL;) {
        CObject* pObject = m_objects.GetNext(pos);
        auto* pObj = dynamic_cast<CDrawObj*>(pObject);
        if (pObj == nullptr || (pObj->m_wFlags & wSkip) != 0)
            continue;
        pObj->Draw(&dc);
    }
    m_nPictureZoom = 0;
    dc.SelectObject(pOld);

    pBitmap->DeleteObject();
    pBitmap->Attach(bitmap.Detach());
    return TRUE;
}

BOOL CSurface::RenderToImage(LPCTSTR lpszPath)
{
    if (lpszPath == nullptr || *lpszPath == '\0')
        return FALSE;
    const CSize size = ScreenSize(GetPageSize(), 100);
    CBitmap bitmap;
    if (!RenderPreview(&bitmap, size.cx, size.cy))
        return FALSE;
    CImage image;
    if (!image.CreateFromBitmap(&bitmap))
        return FALSE;
    CFile file;
    if (!file.Open(lpszPath, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        return FALSE;
    BOOL bWritten = TRUE;
    try {
        CArchive ar(&file, CArchive::store);
        // The file image alone, without the byte count that a stream holding
        // more than one picture would need.
        image.WriteRasterData(ar, FALSE, FALSE);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        e->Delete();
        bWritten = FALSE;
        file.Abort();
    }
    if (!bWritten)
        ::DeleteFile(lpszPath);
    return bWritten;
}
