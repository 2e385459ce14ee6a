#include "app/FontHelpers.h"

#include "app/BinarySearch.h"
#include "platform/base/Arithmetic.h"
#include "platform/gdi/Dc.h"

#include <cstring>

CString g_defaultFaceName = "Arial";

namespace {

int LogPixelsY(CDC* pDC)
{
    if (pDC)
        return pDC->GetDeviceCaps(LOGPIXELSY);
    HDC screen = ::GetDC(NULL);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(NULL, screen);
    return dpi;
}

} // namespace

BOOL CreatePointSizeFont(CDC* pDC, CFont& font, LPCTSTR lpszFaceName, LOGFONT* pLogFont, int nPointSize, int nWeight)
{
    std::memset(pLogFont, 0, sizeof(LOGFONT));
    if (lpszFaceName) {
        std::strncpy(pLogFont->lfFaceName, lpszFaceName, LF_FACESIZE - 1);
        pLogFont->lfFaceName[LF_FACESIZE - 1] = '\0';
    }
    if (nWeight != 0)
        pLogFont->lfWeight = nWeight;
    pLogFont->lfHeight = MulDiv(LogPixelsY(pDC), nPointSize, 72);
    font.DeleteObject();
    BOOL made = font.CreateFontIndirect(pLogFont);
    pLogFont->lfHeight = nPointSize;
    return made;
}

int FindFittingFontSize(CDC* pDC, LPCTSTR lpszText, int nTargetWidth, int nTargetHeight, const LOGFONT* pLogFont, UINT nFormat)
{
    const int dpi = pDC->GetDeviceCaps(LOGPIXELSY);
    const HGDIOBJ original = ::GetCurrentObject(pDC->m_hDC, OBJ_FONT);
    CBinarySearch search(0, 50);
    int middle = search.GetMiddle();
    CFont font;
    for (;;) {
        LOGFONT lf = *pLogFont;
        lf.lfHeight = MulDiv(dpi, -middle, 72);
        // The next font goes in before the last one is deleted, so the DC
        // never holds a deleted font.
        CFont next;
        next.CreateFontIndirect(&lf);
        pDC->SelectObject(next.GetSafeHandle());
        font.DeleteObject();
        font.Attach(next.Detach());

        RECT measured{0, 0, 0, 0};
        pDC->DrawText(lpszText, -1, &measured, nFormat);
        int width = measured.right - measured.left;
        int height = measured.bottom - measured.top;
        if (width == nTargetWidth && height == nTargetHeight)
            break;
        int direction = width < nTargetWidth && height < nTargetHeight ? 1 : -1;
        if (search.Narrow(middle, direction))
            break;
    }
    pDC->SelectObject(original);
    font.DeleteObject();
    return -middle;
}

void SetFaceName(LOGFONT& lf, LPCTSTR lpszFace)
{
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    if (lpszFace != nullptr)
        std::strncpy(lf.lfFaceName, lpszFace, LF_FACESIZE - 1);
}
