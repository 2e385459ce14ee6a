#include "surface/SurfaceBackground.h"

#include "app/Paths.h"
#include "pictures/Image.h"
#include "platform/base/GlobalMemory.h"
#include "platform/files/FileApi.h"
#include "platform/files/SafeReplace.h"
#include "platform/framework/Wnd.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"

#include <algorithm>
#include <string_view>

CSurfaceBackground g_surfaceBackground;

namespace {

// The picture engine's load mode for backgrounds.
constexpr int kBackgroundLoadMode = 9;
constexpr int kPatternSide = 8;
// Tiles are copied from a block at least this wide, so that each copy moves
// long rows rather than a tile's short ones.
constexpr int kBlockWidth = 2048;
constexpr int kBlockHeight = 256;

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
// Painters of their own are freed as usual.
CSurfaceBackground::~CSurfaceBackground()
{
    if (this != &g_surfaceBackground) {
        FreeBlock();
        if (m_hBitmap != NULL)
            ::DeleteObject(m_hBitmap);
    }
}

CSurfaceBackground::CSurfaceBackground(COLORREF crColor, LPCTSTR lpszFile, BOOL bNoSave)
    : m_crColor(crColor)
    , m_bNoSave(bNoSave)
{
    if (bNoSave)
        m_strPath = lpszFile != nullptr ? lpszFile : "";
    else if (lpszFile != nullptr && *lpszFile != '\0')
        m_strPath = GetProgramPath("support\\", lpszFile);
    m_wFlags = !m_strPath.IsEmpty() && FileExists(m_strPath) ? kLoadPending : kColorOnly;
    // Until the picture is loaded the colour is what there is to paint.
    if (m_wFlags == kLoadPending)
        m_wFlags |= kColorOnly;
}

void CSurfaceBackground::FreeBlock()
{
    if (m_hBlock != NULL && m_hBlock != m_hBitmap && m_hBlock != m_hStretched)
        ::DeleteObject(m_hBlock);
    if (m_hStretched != NULL)
        ::DeleteObject(m_hStretched);
    m_hBlock = NULL;
    m_hStretched = NULL;
    m_sizeBlock = SIZE{0, 0};
    m_sizeBlockTile = SIZE{0, 0};
}

void CSurfaceBackground::SetTileCounts(int nAcross, int nDown)
{
    m_nTilesAcross = nAcross >= 1 ? nAcross : -1;
    m_nTilesDown = nDown >= 1 ? nDown : -1;
}

SIZE CSurfaceBackground::TileSize(SIZE sizeArea) const
{
    const double dWidth = m_sizeBitmap.cx;
    const double dHeight = m_sizeBitmap.cy;
    SIZE size = m_sizeBitmap;
    if (m_nTilesAcross >= 1 && dWidth > 0) {
        const double dTile = double(sizeArea.cx) / m_nTilesAcross;
        size = SIZE{LONG(dTile), LONG(dHeight * dTile / dWidth)};
    } else if (m_nTilesDown >= 1 && dHeight > 0) {
        const double dTile = double(sizeArea.cy) / m_nTilesDown;
        size = SIZE{LONG(dWidth * dTile / dHeight), LONG(dTile)};
    }
    // A tile never vanishes, however many are asked for.
    size.cx = std::max<LONG>(1, size.cx);
    size.cy = std::max<LONG>(1, size.cy);
    return size;
}

void CSurfaceBackground::Reset()
{
    SetBitmap(NULL);
    m_crColor = kDefaultColor;
}

BOOL CSurfaceBackground::SetBitmap(HBITMAP hBitmap, BOOL bSave)
{
    FreeBlock();
    if (m_hBitmap != NULL && m_hBitmap != hBitmap)
        ::DeleteObject(m_hBitmap);
    m_hBitmap = hBitmap;
    m_strLoaded.Empty();
    // The picture given now is newer than the file waiting to be read, so
    // that file no longer replaces it at the next paint.
    if (hBitmap == NULL) {
        m_sizeBitmap = SIZE{0, 0};
        m_wFlags = kColorOnly;
    } else {
        BITMAP bm{};
        if (::GetObject(hBitmap, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
            m_sizeBitmap = SIZE{kUnknownSide, kUnknownSide};
        else
            m_sizeBitmap = SIZE{bm.bmWidth, bm.bmHeight};
        m_wFlags = m_sizeBitmap.cx == kPatternSide && m_sizeBitmap.cy == kPatternSide ? kPattern : kTiled;
    }
    if (!bSave || m_bNoSave)
        return TRUE;
    return SavePicture();
}

BOOL CSurfaceBackground::SavePicture()
{
    if (m_strPath.IsEmpty())
        return TRUE;
    if (m_hBitmap == NULL) {
        if (!FileExists(m_strPath))
            return TRUE;
        return ::DeleteFile(m_strPath);
    }
    // The whole new file is made in memory and put in place in one step, so
    // a failing disk leaves the old picture whole.
    CImage picture;
    CBitmap bitmap;
    bitmap.Attach(m_hBitmap);
    const BOOL bMade = picture.CreateFromBitmap(&bitmap);
    bitmap.Detach();
    HGLOBAL hMemory = NULL;
    DWORD nSize = 0;
    if (!bMade || !picture.SaveToMemory(&hMemory, &nSize, FALSE) || hMemory == NULL)
        return FALSE;
    const void* pBytes = ::GlobalLock(hMemory);
    BOOL bWritten = FALSE;
    if (pBytes != nullptr) {
        bWritten = platform::ReplaceWindowsFileContents(m_strPath,
            std::string_view(static_cast<const char*>(pBytes), nSize), platform::KeepBackup::No);
        ::GlobalUnlock(hMemory);
    }
    ::GlobalFree(hMemory);
    return bWritten;
}

BOOL CSurfaceBackground::SetImageFile(const CString& strPath)
{
    if (m_hBitmap != NULL && !m_strLoaded.IsEmpty() && m_strLoaded.CompareNoCase(strPath) == 0)
        return TRUE;
    HBITMAP hBitmap = NULL;
    if (!strPath.IsEmpty()) {
        const CImage picture(strPath, kBackgroundLoadMode);
        hBitmap = picture.CreateDDB(nullptr, FALSE);
    }
    SetBitmap(hBitmap);
    if (hBitmap == NULL)
        return FALSE;
    m_strLoaded = strPath;
    return TRUE;
}

void CSurfaceBackground::LoadPendingFile(CDC* pDC)
{
    m_wFlags &= ~kLoadPending;
    HBITMAP hBitmap = NULL;
    if (!m_strPath.IsEmpty()) {
        const CImage picture(m_strPath, kBackgroundLoadMode);
        hBitmap = picture.CreateDDB(pDC, FALSE);
    }
    SetBitmap(hBitmap, FALSE);
    if (hBitmap != NULL)
        m_strLoaded = m_strPath;
}

void CSurfaceBackground::Paint(CDC* pDC, const POINT* pOrigin, const RECT* pRect)
{
    if (pDC == nullptr)
        return;
    if ((m_wFlags & kLoadPending) != 0)
        LoadPendingFile(pDC);
    RECT area{};
    if (pRect != nullptr)
        area = *pRect;
    else if (pDC->GetClipBox(&area) == NULLREGION)
        return;
    if (area.right <= area.left || area.bottom <= area.top)
        return;
    POINT origin = pOrigin != nullptr ? *pOrigin : POINT{0, 0};
    // A whole clip box is painted in the window's scrolled place: the tiles
    // move with the contents.
    if (pRect == nullptr && m_pScrollWnd != nullptr && m_pScrollWnd->GetSafeHwnd() != NULL) {
        origin.x -= m_pScrollWnd->GetScrollPos(SB_HORZ);
        origin.y -= m_pScrollWnd->GetScrollPos(SB_VERT);
    }

    if ((m_wFlags & kPattern) != 0 && m_hBitmap != NULL) {
        if (HBRUSH hBrush = ::CreatePatternBrush(m_hBitmap)) {
            const int nOrgX = (origin.x % kPatternSide + kPatternSide) % kPatternSide;
            const int nOrgY = (origin.y % kPatternSide + kPatternSide) % kPatternSide;
            const CPoint oldOrg = pDC->SetBrushOrg(nOrgX, nOrgY);
            ::FillRect(pDC->GetSafeHdc(), &area, hBrush);
            pDC->SetBrushOrg(oldOrg);
            ::DeleteObject(hBrush);
            return;
        }
    } else if ((m_wFlags & kTiled) != 0 && m_hBitmap != NULL) {
        PaintTiles(pDC, area, origin);
        return;
    }
    pDC->FillSolidRect(&area, m_crColor);
}

HBITMAP CSurfaceBackground::TileBlock(CDC* pDC, SIZE sizeTile, SIZE& size)
{
    if (m_hBlock != NULL && m_sizeBlockTile.cx == sizeTile.cx && m_sizeBlockTile.cy == sizeTile.cy) {
        size = m_sizeBlock;
        return m_hBlock;
    }
    FreeBlock();
    CDC source;
    CDC target;
    if (!source.CreateCompatibleDC(pDC) || !target.CreateCompatibleDC(pDC))
        return NULL;
    HBITMAP hTile = m_hBitmap;
    if (sizeTile.cx != m_sizeBitmap.cx || sizeTile.cy != m_sizeBitmap.cy) {
        HBITMAP hStretched = ::CreateCompatibleBitmap(pDC->GetSafeHdc(), sizeTile.cx, sizeTile.cy);
        if (hStretched == NULL)
            return NULL;
        HGDIOBJ hOldSource = ::SelectObject(source.GetSafeHdc(), m_hBitmap);
        HGDIOBJ hOldTarget = ::SelectObject(target.GetSafeHdc(), hStretched);
        target.StretchBlt(0, 0, sizeTile.cx, sizeTile.cy, &source, 0, 0, m_sizeBitmap.cx, m_sizeBitmap.cy, SRCCOPY);
        ::SelectObject(source.GetSafeHdc(), hOldSource);
        ::SelectObject(target.GetSafeHdc(), hOldTarget);
        m_hStretched = hStretched;
        hTile = hStretched;
    }
    HBITMAP hBlock = hTile;
    SIZE block = sizeTile;
    if (sizeTile.cx < kBlockWidth || sizeTile.cy < kBlockHeight) {
        const int nAcross = (kBlockWidth + sizeTile.cx - 1) / sizeTile.cx;
        const int nDown = (kBlockHeight + sizeTile.cy - 1) / sizeTile.cy;
        block = SIZE{sizeTile.cx * nAcross, sizeTile.cy * nDown};
        hBlock = ::CreateCompatibleBitmap(pDC->GetSafeHdc(), block.cx, block.cy);
        if (hBlock == NULL)
            return NULL;
        HGDIOBJ hOldSource = ::SelectObject(source.GetSafeHdc(), hTile);
        HGDIOBJ hOldTarget = ::SelectObject(target.GetSafeHdc(), hBlock);
        // One tile, then the filled part doubled across and then down, so
        // that even a one-pixel tile takes a handful of copies.
        target.BitBlt(0, 0, sizeTile.cx, sizeTile.cy, &source, 0, 0, SRCCOPY);
        for (int cx = sizeTile.cx; cx < block.cx; cx *= 2)
            target.BitBlt(cx, 0, std::min(cx, block.cx - cx), sizeTile.cy, &target, 0, 0, SRCCOPY);
        for (int cy = sizeTile.cy; cy < block.cy; cy *= 2)
            target.BitBlt(0, cy, block.cx, std::min(cy, block.cy - cy), &target, 0, 0, SRCCOPY);
        ::SelectObject(source.GetSafeHdc(), hOldSource);
        ::SelectObject(target.GetSafeHdc(), hOldTarget);
    }
    m_hBlock = hBlock;
    m_sizeBlock = block;
    m_sizeBlockTile = sizeTile;
    size = block;
    return hBlock;
}

void CSurfaceBackground::PaintTiles(CDC* pDC, const RECT& area, POINT origin)
{
    const SIZE sizeTile = TileSize(SIZE{area.right - area.left, area.bottom - area.top});
    SIZE size{};
    HBITMAP hTiles = TileBlock(pDC, sizeTile, size);
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
