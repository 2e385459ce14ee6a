#include "controls/PicStatic.h"

#include "app/BitmapHelpers.h"
#include "app/RectGeometry.h"
#include "app/ResourceBitmaps.h"
#include "app/TransparentBitmap.h"
#include "controls/PaletteSelector.h"
#include "pictures/Image.h"
#include "platform/base/Resources.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"

IMPLEMENT_DYNAMIC(CPicStatic, CStatic)

CPicStatic::CPicStatic() = default;

CPicStatic::~CPicStatic()
{
    FreePictures();
}

void CPicStatic::FreePictures()
{
    m_bitmap.DeleteObject();
    m_palette.DeleteObject();
    // Given handles not adopted yet are owned all the same.
    if (m_hGivenBitmap)
        ::DeleteObject(m_hGivenBitmap);
    if (m_hGivenPalette)
        ::DeleteObject(m_hGivenPalette);
    m_hGivenBitmap = NULL;
    m_hGivenPalette = NULL;
}

void CPicStatic::SetPictureFile(LPCTSTR lpszPath)
{
    FreePictures();
    m_strPath = lpszPath ? lpszPath : "";
    LoadAndDraw();
}

void CPicStatic::SetDib(HBITMAP hBitmap, HPALETTE hPalette, int nStyle)
{
    FreePictures();
    m_hGivenBitmap = hBitmap;
    m_hGivenPalette = hPalette;
    m_nStyle = nStyle;
    LoadAndDraw();
}

void CPicStatic::SetPicture(HMODULE hModule, UINT nID, int nStyle)
{
    m_hModule = hModule;
    m_bitmap.DeleteObject();
    m_nResourceId = nID;
    m_nStyle = nStyle;
    LoadAndDraw();
}

void CPicStatic::LoadAndDraw()
{
    if (m_hWnd) {
        CClientDC dc(this);
        LoadPicture(&dc);
        Invalidate();
    } else {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain->GetSafeHwnd()) {
            CClientDC dc(pMain);
            LoadPicture(&dc);
        } else {
            CClientDC dc(nullptr);
            LoadPicture(&dc);
        }
    }
}

BOOL CPicStatic::LoadPicture(CDC* pDC)
{
    if (m_bitmap.GetSafeHandle())
        return TRUE;
    if (!m_strPath.IsEmpty()) {
        const CImage picture(m_strPath, CImage::kDefaultLoadMode);
        if (HBITMAP hBitmap = picture.CreateDDB(pDC, FALSE)) {
            if (m_hGivenBitmap)
                ::DeleteObject(m_hGivenBitmap);
            m_hGivenBitmap = hBitmap;
        }
    }
    if (m_hGivenBitmap) {
        m_bitmap.Attach(m_hGivenBitmap);
        m_hGivenBitmap = NULL;
        if (m_hGivenPalette) {
            m_palette.DeleteObject();
            m_palette.Attach(m_hGivenPalette);
            m_hGivenPalette = NULL;
        }
    } else if (m_nResourceId != 0) {
        if (m_hModule != NULL) {
            LoadBitmapObject(m_hModule, m_nResourceId, &m_bitmap, &m_palette);
        } else if (HBITMAP hBitmap = ::LoadBitmap(AfxGetInstanceHandle(), MAKEINTRESOURCE(m_nResourceId))) {
            m_bitmap.Attach(hBitmap);
        }
    } else {
        CString strName = m_strResourceName;
        if (strName.IsEmpty() && m_hWnd)
            GetWindowText(strName);
        if (!strName.IsEmpty()) {
            if (HBITMAP hBitmap = ::LoadBitmap(AfxGetInstanceHandle(), strName))
                m_bitmap.Attach(hBitmap);
        }
    }
    if (!m_bitmap.GetSafeHandle())
        return FALSE;
    SizeToPicture();
    return TRUE;
}

void CPicStatic::SizeToPicture()
{
    if (!m_hWnd)
        return;
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;
    if (m_bFillParent) {
        if (CWnd* pParent = GetParent()) {
            CRect rc;
            pParent->GetClientRect(&rc);
            SetWindowPos(nullptr, 0, 0, rc.Width(), rc.Height(), kFlags);
        }
        return;
    }
    if (m_bNoAutoWidth || m_bNoAutoHeight)
        return;
    BITMAP bm{};
    if (m_bitmap.GetBitmap(&bm))
        SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, kFlags);
}

CPicStatic::DrawWay CPicStatic::ChooseDrawWay(int nStyle, BOOL bNoAutoWidth, BOOL bNoAutoHeight)
{
    switch (nStyle) {
    case styleTile:
        return wayTile;
    case styleTransparent:
        return wayTransparent;
    case styleFit:
        return wayFit;
    default:
        // A control that keeps its own size shows the whole picture in it.
        return (bNoAutoWidth || bNoAutoHeight) ? wayFit : wayCopy;
    }
}

void CPicStatic::Paint(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    if (m_bFrame)
        rc.DeflateRect(1, 1);
    if (!m_bitmap.GetSafeHandle() || rc.IsRectEmpty())
        return;
    CPaletteSelector selector(pDC, m_palette.GetSafeHandle() ? &m_palette : nullptr);
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    switch (ChooseDrawWay(m_nStyle, m_bNoAutoWidth, m_bNoAutoHeight)) {
    case wayCopy:
        DrawBitmap(pDC, &m_bitmap, &rc);
        break;
    case wayTile:
        TileBitmap(nullptr, pDC, &m_bitmap, nullptr, &rc);
        break;
    case wayTransparent: {
        RECT source{0, 0, bm.bmWidth, bm.bmHeight};
        DrawTransparentBitmap(pDC->GetSafeHdc(), rc.left, rc.top, bm.bmWidth, bm.bmHeight,
            HBITMAP(m_bitmap.GetSafeHandle()), source, m_crFace);
        break;
    }
    case wayFit: {
        RECT fitted;
        FitAspectRect(&fitted, pDC, bm.bmWidth, bm.bmHeight, rc.left, rc.top, rc.right, rc.bottom);
        DrawBitmapStretched(pDC, &m_bitmap, &fitted);
        break;
    }
    }
}

LRESULT CPicStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(this);
        if (!m_bitmap.GetSafeHandle())
            LoadPicture(&dc);
        Paint(&dc);
        return 0;
    }
    case WM_ERASEBKGND:
        if (m_nStyle == styleNone)
            return 1;
        break;
    case WM_DESTROY:
        FreePictures();
        break;
    default:
        break;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}
