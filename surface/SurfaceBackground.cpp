#include "surface/SurfaceBackground.h"

#include "pictures/Image.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"

#include <algorithm>

CSurfaceBackground g_surfaceBackground;

namespace {

// The picture engine's load mode for backgrounds.
constexpr int kBackgroundLoadMode = 9;
constexpr int kPatternSide = 8;

// x's place in the tiling that starts at `origin` with tiles `side` wide:
// the left edge of the tile that holds x.
int TileStart(int x, int origin, int side)
{
    int offset = (x - origin) % side;
    if (offset < 0)
        offset += side;
    return x - offset;
}

} // namespace

// The global painter is destroyed after the window system's object tables
// (they are made on first use, after it), so it must not call into them at
// exit: its bitmaps go with the tables. Reset frees them while they stand.
CSurfaceBackground::~CSurfaceBackground() = default;

void CSurfaceBackground::FreeBlock()
{
    if (m_hBlock != NULL)
        ::DeleteObject(m_hBlock);
    m_hBlock = NULL;
    m_sizeBlock = SIZE{0, 0};
}

void CSurfaceBackground::Reset()
{
    SetBitmap(NULL);
    m_crColor = kDefaultColor;
}

void CSurfaceBackground::SetBitmap(HBITMAP hBitmap)
{
    FreeBlock();
    if (m_hBitmap != NULL && m_hBitmap != hBitmap)
        ::DeleteObject(m_hBitmap);
    m_hBitmap = hBitmap;
    m_strPath.Empty();
    if (hBitmap == NULL) {
        m_sizeBitmap = SIZE{0, 0};
        m_wFlags = kColorOnly;
        return;
    }
    BITMAP bm{};
    if (::GetObject(hBitmap, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        m_sizeBitmap = SIZE{kUnknownSide, kUnknownSide};
    else
        m_sizeBitmap = SIZE{bm.bmWidth, bm.bmHeight};
    m_wFlags = m_sizeBitmap.cx == kPatternSide && m_sizeBitmap.cy == kPatternSide ? kPattern : kTiled;
}

BOOL CSurfaceBackground::SetImageFile(const CString& strPath)
{
    if (m_hBitmap != NULL && !m_strPath.IsEmpty() && m_strPath.CompareNoCase(strPath) == 0)
        return TRUE;
    HBITMAP hBitmap = NULL;
    if (!strPath.IsEmpty()) {
        const CImage picture(strPath, kBackgroundLoadMode);
        hBitmap = picture.CreateDDB(nullptr, FALSE);
    }
    SetBitmap(hBitmap);
    if (hBitmap == NULL)
        return FALSE;
    m_strPath = strPath;
    return TRUE;
}

void CSurfaceBackground::Paint(CDC* pDC, const POINT* pOrigin, const RECT* pRect)
{
    if (pDC == nullptr)
        return;
    RECT area{};
    if (pRect != nullptr)
        area = *pRect;
    else if (pDC->GetClipBox(&area) == NULLREGION)
        return;
    if (area.right <= area.left || area.bottom <= area.top)
        return;
    const POINT origin = pOrigin != nullptr ? *pOrigin : POINT{0, 0};

    if (m_wFlags == kPattern && m_hBitmap != NULL) {
        if (HBRUSH hBrush = ::CreatePatternBrush(m_hBitmap)) {
            const int nOrgX = (origin.x % kPatternSide + kPatternSide) % kPatternSide;
            const int nOrgY = (origin.y % kPatternSide + kPatternSide) % kPatternSide;
            const CPoint oldOrg = pDC->SetBrushOrg(nOrgX, nOrgY);
            ::FillRect(pDC->GetSafeHdc(), &area, hBrush);
            pDC->SetBrushOrg(oldOrg);
            ::DeleteObject(hBrush);
            return;
        }
    } else if (m_wFlags == kTiled && m_hBitmap != NULL) {
        PaintTiles(pDC, area, origin);
        return;
    }
    pDC->FillSolidRect(&area, m_crColor);
}

HBITMAP CSurfaceBackground::TileBlock(CDC* pDC, SIZE& size)
{
    size = m_sizeBitmap;
    if (size.cx >= kMinBlockSide && size.cy >= kMinBlockSide)
        return m_hBitmap;
    if (m_hBlock == NULL) {
        const int nAcross = (kMinBlockSide + m_sizeBitmap.cx - 1) / m_sizeBitmap.cx;
        const int nDown = (kMinBlockSide + m_sizeBitmap.cy - 1) / m_sizeBitmap.cy;
        const SIZE block{m_sizeBitmap.cx * nAcross, m_sizeBitmap.cy * nDown};
        HBITMAP hBlock = ::CreateCompatibleBitmap(pDC->GetSafeHdc(), block.cx, block.cy);
        CDC source;
        CDC target;
        if (hBlock == NULL || !source.CreateCompatibleDC(pDC) || !target.CreateCompatibleDC(pDC)) {
            if (hBlock != NULL)
                ::DeleteObject(hBlock);
            return NULL;
        }
        HGDIOBJ hOldSource = ::SelectObject(source.GetSafeHdc(), m_hBitmap);
        HGDIOBJ hOldTarget = ::SelectObject(target.GetSafeHdc(), hBlock);
        for (int y = 0; y < block.cy; y += m_sizeBitmap.cy) {
            for (int x = 0; x < block.cx; x += m_sizeBitmap.cx)
                target.BitBlt(x, y, m_sizeBitmap.cx, m_sizeBitmap.cy, &source, 0, 0, SRCCOPY);
        }
        ::SelectObject(source.GetSafeHdc(), hOldSource);
        ::SelectObject(target.GetSafeHdc(), hOldTarget);
        m_hBlock = hBlock;
        m_sizeBlock = block;
    }
    size = m_sizeBlock;
    return m_hBlock;
}

void CSurfaceBackground::PaintTiles(CDC* pDC, const RECT& area, POINT origin)
{
    SIZE size{};
    HBITMAP hTiles = TileBlock(pDC, size);
    CDC memory;
    if (hTiles == NULL || !memory.CreateCompatibleDC(pDC)) {
        pDC->FillSolidRect(&area, m_crColor);
        return;
    }
    HGDIOBJ hOld = ::SelectObject(memory.GetSafeHdc(), hTiles);
    const int cx = std::max<int>(1, size.cx);
    const int cy = std::max<int>(1, size.cy);
    for (int y = TileStart(area.top, origin.y, cy); y < area.bottom; y += cy) {
        for (int x = TileStart(area.left, origin.x, cx); x < area.right; x += cx) {
            // Only the part of the tile inside the area is copied.
            const int left = std::max<int>(x, area.left);
            const int top = std::max<int>(y, area.top);
            const int right = std::min<int>(x + cx, area.right);
            const int bottom = std::min<int>(y + cy, area.bottom);
            pDC->BitBlt(left, top, right - left, bottom - top, &memory, left - x, top - y, SRCCOPY);
        }
    }
    ::SelectObject(memory.GetSafeHdc(), hOld);
}
