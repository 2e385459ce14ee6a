// The picture engine: one table of pictures behind handles, and the
// operations on them over the imaging library.

#include "pictures/PictureEngine.h"

#include "app/DcStateSaver.h"
#include "controls/PaletteSelector.h"
#include "platform/base/Arithmetic.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/WinApp.h"
#include "platform/framework/Wnd.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/imaging/Imaging.h"
#include "platform/services/Twain.h"
#include "platform/ui/AfxMessageBox.h"
#include "resources/pictures.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <set>
#include <unordered_map>
#include <vector>

namespace {

// One picture of the table. It owns its bitmap, every palette it made and
// its DIB cache; destroying it frees all of them.
struct CPicEntry {
    CPicEntry() = default;
    CPicEntry(const CPicEntry&) = delete;
    CPicEntry& operator=(const CPicEntry&) = delete;
    ~CPicEntry()
    {
        FreeDib();
        LtFreeBitmap(&m_bitmap);
        DeletePalettes();
    }

    void FreeDib()
    {
        if (m_hDib != NULL) {
            GlobalUnlock(m_hDib);
            GlobalFree(m_hDib);
        }
        m_hDib = NULL;
        m_pInfo = nullptr;
        m_pBits = nullptr;
    }

    void DeleteScreenPalette()
    {
        if (m_hScreenPalette != NULL)
            ::DeleteObject(m_hScreenPalette);
        m_hScreenPalette = NULL;
        m_bScreenPaletteMade = FALSE;
    }

    void DeletePrintPalette()
    {
        if (m_hPrintPalette != NULL)
            ::DeleteObject(m_hPrintPalette);
        m_hPrintPalette = NULL;
    }

    void DeletePalettes()
    {
        DeleteScreenPalette();
        DeletePrintPalette();
    }

    // The pixels changed: the palettes made for the old colours and any
    // cache of the old pixels no longer fit.
    void Changed()
    {
        FreeDib();
        DeletePalettes();
    }

    BOOL m_bTransparent = FALSE;
    int m_nLoadMode = 0;
    LTBITMAP m_bitmap;
    BOOL m_bScreenPaletteMade = FALSE;
    COLORREF m_crTransparent = 0;
    HPALETTE m_hScreenPalette = NULL;
    HPALETTE m_hPrintPalette = NULL;
    HPALETTE m_hOldPalette = NULL;
    // The packed-DIB cache: a locked block, its header and its bits.
    HGLOBAL m_hDib = NULL;
    const BITMAPINFO* m_pInfo = nullptr;
    const BYTE* m_pBits = nullptr;
};

// The picture table: handles to entries, and the numbers given back, so
// that the smallest free handle is found without walking the table.
class PicTable {
public:
    CPicEntry* Find(int nHandle) const
    {
        auto it = m_entries.find(nHandle);
        return it != m_entries.end() ? it->second.get() : nullptr;
    }

    int Next() const
    {
        if (!m_freed.empty())
            return *m_freed.begin();
        return m_nFresh;
    }

    // Takes the handle Next() gave.
    void Insert(int nHandle, std::unique_ptr<CPicEntry> pEntry)
    {
        m_entries[nHandle] = std::move(pEntry);
        if (!m_freed.empty() && *m_freed.begin() == nHandle) {
            m_freed.erase(m_freed.begin());
            return;
        }
        m_nFresh = nHandle + 1;
        while (m_nFresh == kPicNeverHandle1 || m_nFresh == kPicNeverHandle2)
            ++m_nFresh;
    }

    std::unique_ptr<CPicEntry> Remove(int nHandle)
    {
        auto it = m_entries.find(nHandle);
        if (it == m_entries.end())
            return nullptr;
        std::unique_ptr<CPicEntry> pEntry = std::move(it->second);
        m_entries.erase(it);
        m_freed.insert(nHandle);
        // Numbers at the top of the range go back to the fresh counter, so
        // the set of freed numbers stays as small as the gaps.
        while (!m_freed.empty() && *m_freed.rbegin() == PreviousFresh()) {
            m_nFresh = *m_freed.rbegin();
            m_freed.erase(std::prev(m_freed.end()));
        }
        if (m_entries.empty()) {
            m_entries = decltype(m_entries)();
            m_freed.clear();
            m_nFresh = 1;
        }
        return pEntry;
    }

    int Count() const { return int(m_entries.size()); }

private:
    int PreviousFresh() const
    {
        int n = m_nFresh - 1;
        while (n == kPicNeverHandle1 || n == kPicNeverHandle2)
            --n;
        return n;
    }

    std::unordered_map<int, std::unique_ptr<CPicEntry>> m_entries;
    std::set<int> m_freed;
    int m_nFresh = 1;
};

PicTable& Table()
{
    static PicTable table;
    return table;
}

// The application palette as RGBQUADs, for reducing pictures on 8-bit
// screens. Filled the first time a picture is made on a palette screen.
struct ScreenPaletteTable {
    bool loaded = false;
    RGBQUAD colors[256] = {};
};

ScreenPaletteTable& PaletteTable()
{
    static ScreenPaletteTable table;
    return table;
}

int Code(int nResult)
{
    return nResult == LT_SUCCESS ? 0 : nResult;
}

void LoadScreenPalette()
{
    ScreenPaletteTable& table = PaletteTable();
    if (table.loaded || GetScreenColorDepth() > 8)
        return;
    CPalette* pPalette = GetAppPaletteForDrawing();
    if (pPalette == nullptr || pPalette->GetSafeHandle() == NULL)
        return;
    PALETTEENTRY entries[256] = {};
    const UINT nCount = pPalette->GetPaletteEntries(0, 256, entries);
    for (UINT i = 0; i < nCount && i < 256; ++i)
        table.colors[i] = RGBQUAD { entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0 };
    table.loaded = nCount > 0;
}

bool HasPixels(const LTBITMAP& bitmap)
{
    return (bitmap.Flags & LT_BITMAP_ALLOCATED) != 0 && bitmap.Width > 0 && bitmap.Height > 0;
}

// Makes a new entry, lets fill build its bitmap and enters it under the
// smallest free handle. An entry whose filling fails is freed again and the
// failure answered; nothing of it stays in the table.
template <typename Fill>
int CreateEntry(int nLoadMode, bool bMatchScreen, Fill fill)
{
    LoadScreenPalette();
    try {
        auto pEntry = std::make_unique<CPicEntry>();
        pEntry->m_nLoadMode = nLoadMode;
        const int nResult = fill(*pEntry);
        if (nResult != 0)
            return nResult;
        const int nHandle = Table().Next();
        Table().Insert(nHandle, std::move(pEntry));
        if (bMatchScreen)
            MatchPicToScreen(nHandle);
        return nHandle;
    } catch (const std::bad_alloc&) {
        return kPicErrNoMemory;
    }
}

// ---- Painting helpers ---------------------------------------------------------------

// The largest picture painted through a DIB cache when it grows.
constexpr int64_t kMaxDibCachePixels = int64_t(1) << 20;

// Bytes of one DIB row.
size_t DibStride(LONG width, int bits)
{
    return ((size_t(width) * size_t(bits) + 31) / 32) * 4;
}

// Makes the entry's packed-DIB cache: the header, a colour table of 2, 16
// or 256 entries and bottom-up rows. Depths other than 1, 4, 8 and 24 get
// no cache.
bool MakePicDIB(CPicEntry& entry)
{
    if (entry.m_hDib != NULL)
        return true;
    const int nBits = entry.m_bitmap.BitsPerPixel;
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 24)
        return false;
    HGLOBAL hDib = LtConvertToDIB(&entry.m_bitmap);
    if (hDib == NULL)
        return false;
    auto* pInfo = static_cast<const BITMAPINFO*>(GlobalLock(hDib));
    if (pInfo == nullptr) {
        GlobalFree(hDib);
        return false;
    }
    entry.m_hDib = hDib;
    entry.m_pInfo = pInfo;
    const size_t nColors = nBits <= 8 ? size_t(1) << nBits : 0;
    entry.m_pBits = reinterpret_cast<const BYTE*>(pInfo) + pInfo->bmiHeader.biSize + nColors * sizeof(RGBQUAD);
    return true;
}

CRect NormalizedCopy(const CRect& rect)
{
    CRect r = rect;
    r.NormalizeRect();
    return r;
}

CRect WholePicture(const LTBITMAP& bitmap)
{
    return CRect(0, 0, bitmap.Width, bitmap.Height);
}

// A pixel of a 16-bit picture, or of a deep one in RGB order, as
// straight-alpha B, G, R, A.
void PixelBgra(const LTBITMAP& bitmap, int x, int y, BYTE out[4])
{
    const BYTE* row = bitmap.Pixels.data() + size_t(y) * size_t(bitmap.BytesPerLine);
    out[3] = 255;
    if (bitmap.BitsPerPixel == 16) {
        const unsigned v = unsigned(row[2 * x]) | (unsigned(row[2 * x + 1]) << 8);
        auto level = [](unsigned c) { return BYTE((c << 3) | (c >> 2)); };
        out[0] = level(v & 0x1F);
        out[1] = level((v >> 5) & 0x1F);
        out[2] = level((v >> 10) & 0x1F);
        return;
    }
    if (bitmap.BitsPerPixel == 24 || bitmap.BitsPerPixel == 32) {
        const BYTE* p = row + size_t(x) * size_t(bitmap.BitsPerPixel / 8);
        const bool rgb = bitmap.Order == LT_ORDER_RGB;
        out[0] = rgb ? p[2] : p[0];
        out[1] = p[1];
        out[2] = rgb ? p[0] : p[2];
        if (bitmap.BitsPerPixel == 32)
            out[3] = p[3];
        return;
    }
    out[0] = out[1] = out[2] = 0;
}

// The source rectangle of the picture as a top-down 32-bit record with
// alpha: the picture's own alpha, and 0 wherever a pixel has the
// transparent colour. Mirrored left-right and top-bottom as asked.
bool AlphaCopy(const CPicEntry& entry, const CRect& rectSource, bool bMirrorX, bool bMirrorY, LTBITMAP& out)
{
    const LTBITMAP& bitmap = entry.m_bitmap;
    const int w = rectSource.Width();
    const int h = rectSource.Height();
    if (LtAllocateBitmap(&out, w, h, 32) != LT_SUCCESS)
        return false;
    out.Order = LT_ORDER_BGR;
    const COLORREF crKey = entry.m_crTransparent & 0x00FFFFFF;
    const bool bKey = entry.m_bTransparent != FALSE;
    // Palette pictures look their colours up once, transparency included.
    BYTE lookup[256][4] = {};
    if (bitmap.BitsPerPixel <= 8) {
        for (size_t i = 0; i < 256; ++i) {
            const RGBQUAD q = i < bitmap.Palette.size() ? bitmap.Palette[i] : RGBQUAD { 0, 0, 0, 0 };
            lookup[i][0] = q.rgbBlue;
            lookup[i][1] = q.rgbGreen;
            lookup[i][2] = q.rgbRed;
            lookup[i][3] = bKey && RGB(q.rgbRed, q.rgbGreen, q.rgbBlue) == crKey ? 0 : 255;
        }
    }
    const bool bDirect = (bitmap.BitsPerPixel == 24 || bitmap.BitsPerPixel == 32) && bitmap.Order == LT_ORDER_BGR;
    const size_t nStep = size_t(bitmap.BitsPerPixel / 8);
    for (int y = 0; y < h; ++y) {
        BYTE* row = out.Pixels.data() + size_t(bMirrorY ? h - 1 - y : y) * size_t(out.BytesPerLine);
        const int sy = rectSource.top + y;
        const BYTE* in = bitmap.Pixels.data() + size_t(sy) * size_t(bitmap.BytesPerLine);
        for (int x = 0; x < w; ++x) {
            BYTE* p = row + size_t(bMirrorX ? w - 1 - x : x) * 4;
            const int sx = rectSource.left + x;
            if (bitmap.BitsPerPixel == 8) {
                std::memcpy(p, lookup[in[sx]], 4);
                continue;
            }
            if (bDirect) {
                const BYTE* q = in + size_t(sx) * nStep;
                p[0] = q[0];
                p[1] = q[1];
                p[2] = q[2];
                p[3] = nStep == 4 ? q[3] : 255;
            } else if (bitmap.BitsPerPixel < 8) {
                const int index = bitmap.BitsPerPixel == 1 ? (in[sx >> 3] >> (7 - (sx & 7))) & 1
                                                           : (in[sx >> 1] >> ((sx & 1) ? 0 : 4)) & 0x0F;
                std::memcpy(p, lookup[index], 4);
                continue;
            } else {
                PixelBgra(bitmap, sx, sy, p);
            }
            if (bKey && RGB(p[2], p[1], p[0]) == crKey)
                p[3] = 0;
        }
    }
    return true;
}

bool IsPrintingDC(CDC* pDC)
{
    return pDC->IsPrinting() || pDC->GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER;
}

// The printing variant: the picture goes onto the DC at its own resolution
// (one image, scaled by the device). A picture with a transparent colour or
// alpha goes as an alpha mask, so that what is below (the paper) shows
// through: a page cannot combine raster operations with what is on it.
int PaintThroughMemory(CPicEntry& entry, CDC* pDC, const CRect& rectSource, const CRect& rectDest, DWORD dwRop)
{
    const CRect dest = NormalizedCopy(rectDest);
    const bool bMirrorX = rectDest.left > rectDest.right;
    const bool bMirrorY = rectDest.top > rectDest.bottom;
    const bool bAlpha = entry.m_bTransparent || entry.m_bitmap.BitsPerPixel == 32;
    LTBITMAP part;
    if (!AlphaCopy(entry, rectSource, bMirrorX, bMirrorY, part))
        return kPicErrNoMemory;
    const int w = part.Width;
    const int h = part.Height;
    BITMAPINFO info{};
    info.bmiHeader = platform::TopDownDibHeader(w, h, 32);
    if (!bAlpha) {
        pDC->SetStretchBltMode(HALFTONE);
        const int n = ::StretchDIBits(pDC->GetSafeHdc(), dest.left, dest.top, dest.Width(), dest.Height(), 0, 0, w,
            h, part.Pixels.data(), &info, DIB_RGB_COLORS, dwRop);
        return n >= 1 ? 0 : kPicErrNoMemory;
    }
    // Premultiplied, as AlphaBlend takes its source.
    for (int y = 0; y < h; ++y) {
        BYTE* p = part.Pixels.data() + size_t(y) * size_t(part.BytesPerLine);
        for (int x = 0; x < w; ++x, p += 4) {
            const unsigned a = p[3];
            if (a == 255)
                continue;
            p[0] = BYTE((p[0] * a + 127) / 255);
            p[1] = BYTE((p[1] * a + 127) / 255);
            p[2] = BYTE((p[2] * a + 127) / 255);
        }
    }
    HDC hMem = ::CreateCompatibleDC(NULL);
    if (hMem == NULL)
        return kPicErrNoMemory;
    // A 32-bit bitmap whatever the screen's depth, so that it keeps the alpha.
    HBITMAP hBitmap = ::CreateBitmap(w, h, 1, 32, nullptr);
    int nResult = kPicErrNoMemory;
    if (hBitmap != NULL && ::SetDIBits(hMem, hBitmap, 0, UINT(h), part.Pixels.data(), &info, DIB_RGB_COLORS) == h) {
        HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
        BLENDFUNCTION blend { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
        if (::AlphaBlend(pDC->GetSafeHdc(), dest.left, dest.top, dest.Width(), dest.Height(), hMem, 0, 0, w, h, blend))
            nResult = 0;
        ::SelectObject(hMem, hOld);
    }
    if (hBitmap != NULL)
        ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    return nResult;
}

// The normal path on a screen or memory DC.
int PaintToScreen(CPicEntry& entry, CDC* pDC, const CRect& rectSource, const CRect& rectDest, const CRect& rectClip,
    DWORD dwRop)
{
    const CRect dest = NormalizedCopy(rectDest);
    const bool bMirrorX = rectDest.left > rectDest.right;
    const bool bMirrorY = rectDest.top > rectDest.bottom;
    const LTBITMAP& bitmap = entry.m_bitmap;
    const bool bGrow = rectSource.Width() < dest.Width() && rectSource.Height() < dest.Height();
    // 32-bit pictures keep their alpha only through the library's painting,
    // which also smooths when growing. So do large pictures: the cache is a
    // copy of the whole picture, made again for every paint however little
    // of it shows, while the library computes only the pixels in the clip
    // (a photograph zoomed in repaints five times faster).
    const bool bSmallEnough = int64_t(bitmap.Width) * bitmap.Height <= kMaxDibCachePixels;
    if (bGrow && bSmallEnough && bitmap.BitsPerPixel != 32 && MakePicDIB(entry)) {
        if (!rectClip.IsRectEmpty())
            pDC->IntersectClipRect(&rectClip);
        const int srcH = rectSource.Height();
        // Bottom-up rows: the source's y counts from the last row.
        const int ySrc = bitmap.Height - rectSource.bottom;
        const int xDest = bMirrorX ? dest.right - 1 : dest.left;
        const int yDest = bMirrorY ? dest.bottom - 1 : dest.top;
        const int cxDest = bMirrorX ? -dest.Width() : dest.Width();
        const int cyDest = bMirrorY ? -dest.Height() : dest.Height();
        int nResult = 0;
        if (entry.m_bTransparent) {
            DrawTransparentDIB(pDC, xDest, yDest, cxDest, cyDest, rectSource.left, ySrc, rectSource.Width(), srcH,
                entry.m_pBits, entry.m_pInfo, entry.m_crTransparent);
        } else {
            pDC->SetStretchBltMode(HALFTONE);
            const int n = ::StretchDIBits(pDC->GetSafeHdc(), xDest, yDest, cxDest, cyDest, rectSource.left, ySrc,
                rectSource.Width(), srcH, entry.m_pBits, entry.m_pInfo, DIB_RGB_COLORS, dwRop);
            if (n < 1)
                nResult = kPicErrNoMemory;
        }
        entry.FreeDib();
        return nResult;
    }
    const RECT* pClip = rectClip.IsRectEmpty() ? nullptr : static_cast<const RECT*>(&rectClip);
    if (entry.m_bTransparent) {
        // A transparent colour becomes alpha, so that the destination stays
        // as it was wherever the picture is transparent.
        CRect visible = dest;
        if (pClip != nullptr)
            visible.IntersectRect(visible, rectClip);
        if (visible.IsRectEmpty())
            return 0;
        LTBITMAP part;
        if (!AlphaCopy(entry, rectSource, false, false, part))
            return kPicErrNoMemory;
        return Code(LtPaintDC(pDC->GetSafeHdc(), &part, nullptr, nullptr, &rectDest, pClip, dwRop));
    }
    return Code(LtPaintDC(pDC->GetSafeHdc(), &bitmap, &rectSource, nullptr, &rectDest, pClip, dwRop));
}

// The table of ExportPic: a file's last three letters to the format,
// depth and quality factor it is written with.
struct ExportFormat {
    const char* ext;
    int nFormat;
    int nBits; // 0: 8 for grey pictures, else 24
    int nQuality;
};

constexpr ExportFormat kExportFormats[] = {
    {"BMP", LT_FORMAT_BMP, 24, 0},
    {"JPG", LT_FORMAT_JPEG, 0, 5},
    {"TIF", LT_FORMAT_TIF, 24, 5},
    {"PNG", LT_FORMAT_PNG, 24, 0},
    {"PSD", LT_FORMAT_PSD, 24, 0},
    {"TGA", LT_FORMAT_TGA, 32, 0},
    {"PCX", LT_FORMAT_PCX, 24, 0},
    {"GIF", LT_FORMAT_GIF, 8, 0},
    {"EPS", LT_FORMAT_EPS, 8, 0},
    {"CAL", LT_FORMAT_CALS, 1, 0},
    {"WMF", LT_FORMAT_WMF, 24, 0},
    {"WPG", LT_FORMAT_WPG, 8, 0},
    {"RAS", LT_FORMAT_RAS, 32, 0},
    {"MAC", LT_FORMAT_MAC, 1, 0},
    {"PCT", LT_FORMAT_PCT, 24, 0},
    {"MSP", LT_FORMAT_MSP, 1, 0},
    {"IMG", LT_FORMAT_IMG, 1, 0},
    {"CMP", LT_FORMAT_CMP, 0, -1},
};

} // namespace

// ---- Creating handles -------------------------------------------------------------

int NextPicHandle()
{
    return Table().Next();
}

int LoadPic(LPCTSTR lpszPath, int nLoadMode, int* pnFileBits)
{
    return CreateEntry(nLoadMode, true, [&](CPicEntry& entry) {
        LTFILEINFO info;
        int nResult = LtFileInfo(lpszPath, &info);
        if (nResult == LT_ERR_NOT_FOUND)
            return kPicErrNotFound;
        if (nResult != LT_SUCCESS)
            return nResult;
        if (pnFileBits != nullptr)
            *pnFileBits = info.BitsPerPixel;
        nResult = LtInitBitmap(&entry.m_bitmap, info.Width, info.Height, info.BitsPerPixel);
        if (nResult != LT_SUCCESS)
            return nResult;
        const int nOrder = info.BitsPerPixel > 8 ? LT_ORDER_BGR : info.Order;
        nResult = LtLoadFile(lpszPath, &entry.m_bitmap, info.BitsPerPixel, nOrder, LT_LOAD_ALLOCATE | LT_LOAD_STORE,
            nullptr, nullptr);
        if (nResult == LT_ERR_NOT_FOUND)
            return kPicErrNotFound;
        return Code(nResult);
    });
}

namespace {

int LoadFromMemory(const void* pData, DWORD nSize, int nLoadMode, bool bEmptyFirst)
{
    return CreateEntry(nLoadMode, true, [&](CPicEntry& entry) {
        if (pData == nullptr || nSize == 0)
            return LT_ERR_READ;
        LTFILEINFO info;
        int nResult = LtMemInfo(pData, &info, nSize, 0);
        if (nResult != LT_SUCCESS)
            return nResult;
        nResult = bEmptyFirst ? LtInitBitmap(&entry.m_bitmap, 0, 0, 8)
                              : LtInitBitmap(&entry.m_bitmap, info.Width, info.Height, info.BitsPerPixel);
        if (nResult != LT_SUCCESS)
            return nResult;
        // Deep pictures keep DIB order whatever the file's own.
        const int nOrder = bEmptyFirst && info.BitsPerPixel <= 8 ? info.Order : LT_ORDER_BGR;
        return Code(LtMemLoad(pData, &entry.m_bitmap, 0, nOrder, nSize));
    });
}

} // namespace

int LoadPicFromMemory(const void* pData, DWORD nSize, int nLoadMode)
{
    return LoadFromMemory(pData, nSize, nLoadMode, false);
}

int CreatePicFromMemory(const void* pData, DWORD nSize, int nLoadMode)
{
    return LoadFromMemory(pData, nSize, nLoadMode, true);
}

int CreatePicFromDIB(HGLOBAL& hDib, BOOL bCopy)
{
    HGLOBAL hBlock = hDib;
    if (!bCopy)
        hDib = NULL;
    return CreateEntry(0, false, [&](CPicEntry& entry) {
        if (!bCopy)
            return Code(LtTakeOverDIB(&entry.m_bitmap, hBlock));
        const BYTE* p = hBlock != NULL ? static_cast<const BYTE*>(GlobalLock(hBlock)) : nullptr;
        if (p == nullptr)
            return LT_ERR_BAD_PARAM;
        // The block's size bounds every part of the DIB.
        const int nResult = platform::CopyFromPackedDib(entry.m_bitmap, p, GlobalSize(hBlock));
        GlobalUnlock(hBlock);
        return Code(nResult);
    });
}

int CreatePicFromDDB(HBITMAP hBitmap, HPALETTE hPalette, BOOL bConvert, int nLoadMode)
{
    return CreateEntry(nLoadMode, true, [&](CPicEntry& entry) {
        int nResult = LtInitBitmap(&entry.m_bitmap, 0, 0, 24);
        if (nResult != LT_SUCCESS)
            return nResult;
        HDC hScreen = ::GetDC(NULL);
        nResult = LtConvertFromDDB(hScreen, &entry.m_bitmap, hBitmap, hPalette, bConvert);
        ::ReleaseDC(NULL, hScreen);
        return Code(nResult);
    });
}

int AcquirePic(int nLoadMode)
{
    CWnd* pMain = AfxGetMainWnd();
    HWND hOwner = pMain != nullptr ? pMain->m_hWnd : NULL;
    return CreateEntry(nLoadMode, true, [&](CPicEntry& entry) {
        if (platform::TwainSelectSource(hOwner) != 1)
            return kPicErrNoScanner;
        HGLOBAL hDib = NULL;
        if (platform::TwainAcquire(hOwner, &hDib) != 1 || hDib == NULL) {
            if (hDib != NULL)
                GlobalFree(hDib);
            return kPicErrNothingAcquired;
        }
        if (LtTakeOverDIB(&entry.m_bitmap, hDib) != LT_SUCCESS)
            return kPicErrNothingAcquired;
        return 0;
    });
}

int DuplicatePic(int nHandle)
{
    CPicEntry* pSource = Table().Find(nHandle);
    if (pSource == nullptr)
        return kPicErrBadHandle;
    return CreateEntry(pSource->m_nLoadMode, false, [&](CPicEntry& entry) {
        const int nResult = LtCopyBitmap(&entry.m_bitmap, &pSource->m_bitmap);
        if (nResult != LT_SUCCESS)
            return nResult;
        entry.m_bTransparent = pSource->m_bTransparent;
        entry.m_crTransparent = pSource->m_crTransparent;
        return 0;
    });
}

int MatchPicToScreen(int nHandle)
{
    CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr)
        return kPicErrBadHandle;
    LTBITMAP& bitmap = pEntry->m_bitmap;
    const int nDepth = GetScreenColorDepth();
    if (bitmap.BitsPerPixel == 1 || nDepth >= 9 || !HasPixels(bitmap))
        return 0;
    LoadScreenPalette();
    const ScreenPaletteTable& table = PaletteTable();
    const bool bPalette = nDepth == 8 && table.loaded;
    const UINT nFlags = bPalette ? LT_COLORRES_DITHER | LT_COLORRES_USER_PALETTE : LT_COLORRES_DITHER;
    pEntry->Changed();
    return Code(LtColorRes(&bitmap, &bitmap, nDepth, nFlags, bPalette ? table.colors : nullptr, 0, 0, 0));
}

// ---- Freeing and queries --------------------------------------------------------------

int ReleasePicHandle(int nHandle)
{
    std::unique_ptr<CPicEntry> pEntry = Table().Remove(nHandle);
    return pEntry != nullptr ? 0 : kPicErrBadHandle;
}

void GetPicSize(int nHandle, int* pnWidth, int* pnHeight, int* pnBitsPerPixel)
{
    int w = 1;
    int h = 1;
    int bits = 1;
    if (const CPicEntry* pEntry = Table().Find(nHandle)) {
        w = pEntry->m_bitmap.Width;
        h = pEntry->m_bitmap.Height;
        bits = pEntry->m_bitmap.BitsPerPixel;
        if (w == 0 || h == 0) {
            w = 500;
            h = 500;
        }
    }
    if (pnWidth != nullptr)
        *pnWidth = w;
    if (pnHeight != nullptr)
        *pnHeight = h;
    if (pnBitsPerPixel != nullptr)
        *pnBitsPerPixel = bits;
}

BOOL IsPicMonochrome(int nHandle)
{
    const CPicEntry* pEntry = Table().Find(nHandle);
    return pEntry != nullptr && pEntry->m_bitmap.BitsPerPixel == 1;
}

BOOL IsPicFileMonochrome(LPCTSTR lpszPath)
{
    LTFILEINFO info;
    return LtFileInfo(lpszPath, &info) == LT_SUCCESS && info.BitsPerPixel == 1;
}

int GetPicBitmap(int nHandle, LTBITMAP** ppBitmap)
{
    CPicEntry* pEntry = Table().Find(nHandle);
    if (ppBitmap != nullptr)
        *ppBitmap = pEntry != nullptr ? &pEntry->m_bitmap : nullptr;
    return pEntry != nullptr ? 1 : 0;
}

int SetPicTransparency(int nHandle, BOOL bOn, const COLORREF* pColor)
{
    CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr)
        return kPicErrBadHandle;
    pEntry->m_bTransparent = bOn ? TRUE : FALSE;
    if (pColor != nullptr)
        pEntry->m_crTransparent = *pColor;
    return 0;
}

int GetPicTransparency(int nHandle, BOOL* pbOn, COLORREF* pColor)
{
    const CPicEntry* pEntry = Table().Find(nHandle);
    if (pbOn != nullptr)
        *pbOn = pEntry != nullptr ? pEntry->m_bTransparent : FALSE;
    if (pColor != nullptr)
        *pColor = pEntry != nullptr ? pEntry->m_crTransparent : 0;
    return pEntry != nullptr ? 0 : kPicErrBadHandle;
}

int GetScreenColorDepth()
{
    HDC hScreen = ::GetDC(NULL);
    if (hScreen == NULL)
        return 32;
    const int nBits = ::GetDeviceCaps(hScreen, BITSPIXEL) * ::GetDeviceCaps(hScreen, PLANES);
    ::ReleaseDC(NULL, hScreen);
    return nBits;
}

// SetPicDisplayFlag lives with the preferences that call it at start-up
// (app/PicDisplayMode.cpp); it sets the same library mode bit.

int GetPicCount()
{
    return Table().Count();
}

// ---- Bitmap operations ---------------------------------------------------------------

namespace {

// Runs an operation on the bitmap of a handle; the entry's palettes and
// cache are dropped since its pixels change.
template <typename Op>
int OnBitmap(int nHandle, Op op)
{
    CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr)
        return kPicErrBadHandle;
    pEntry->Changed();
    return op(pEntry->m_bitmap);
}

} // namespace

int ReversePic(int nHandle)
{
    return OnBitmap(nHandle, [](LTBITMAP& b) { return Code(LtReverseBitmap(&b)); });
}

int FlipPic(int nHandle)
{
    return OnBitmap(nHandle, [](LTBITMAP& b) { return Code(LtFlipBitmap(&b)); });
}

int RotatePic(int nHandle, int nDegrees, COLORREF crFill)
{
    // The engine's degrees run clockwise as the picture is shown (a
    // picture stored at an angle is turned by minus it, counter-clockwise
    // with its frame); the imaging layer counts counter-clockwise.
    return OnBitmap(nHandle,
        [&](LTBITMAP& b) { return Code(LtRotateBitmap(&b, -nDegrees * 100, LT_ROTATE_RESIZE, crFill)); });
}

int ResizePic(int nHandle, int nWidth, int nHeight)
{
    return OnBitmap(nHandle, [&](LTBITMAP& b) { return Code(LtResizeBitmap(&b, nWidth, nHeight, LT_RESIZE_SMOOTH)); });
}

void SetPicColorRes(LTBITMAP* pBitmap, int nBits, UINT nFlags)
{
    if (pBitmap != nullptr)
        LtColorRes(pBitmap, pBitmap, nBits, nFlags, nullptr, 0, 0, 0);
}

int QuickEffectPic(int nHandle, int nCode)
{
    return OnBitmap(nHandle, [&](LTBITMAP& b) {
        switch (nCode) {
        case 0:
            return LtGrayScale(&b, 8);
        case 1:
            return LtSpatialFilter(&b, LT_FILTER_EMBOSS);
        case 2:
            return LtAverageFilter(&b, 8);
        case 3:
            return LtMosaic(&b, 8);
        case 4:
            return LtChangeBrightness(&b, 100);
        case 5:
            return LtChangeBrightness(&b, -100);
        default:
            return LT_SUCCESS;
        }
    });
}

BOOL GrayScalePic(int nHandle, int nBits)
{
    const int nResult = OnBitmap(nHandle, [&](LTBITMAP& b) {
        int r = LtGrayScale(&b, nBits);
        if (r != LT_SUCCESS || GetScreenColorDepth() != 8)
            return r;
        // The few greys an 8-bit screen's palette holds, so the picture
        // shows without dithering.
        RGBQUAD greys[256];
        for (int i = 0; i < 256; ++i) {
            BYTE g = i <= 6 ? 0 : i <= 39 ? 41 : i <= 72 ? 49 : i <= 160 ? 128 : i <= 240 ? 192 : 255;
            greys[i] = RGBQUAD { g, g, g, 0 };
        }
        return LtPutPalette(&b, 0, 256, greys);
    });
    return nResult == LT_SUCCESS;
}

BOOL EdgeEnhancePic(int nHandle)
{
    const int nResult = OnBitmap(nHandle, [](LTBITMAP& b) {
        LTBITMAP edges;
        int r = LtCopyBitmap(&edges, &b);
        if (r != LT_SUCCESS)
            return r;
        LtSpatialFilter(&edges, LT_FILTER_EDGE);
        r = LtCombineBitmaps(&b, 0, 0, b.Width, b.Height, &edges, 0, 0, LT_COMBINE_ADD);
        LtFreeBitmap(&edges);
        return r;
    });
    return nResult == LT_SUCCESS;
}

namespace {

// Tints one colour: its grey level carries it from the tint colour (black)
// to white, then the amount below 100 % lightens it towards white.
void TintColor(BYTE& red, BYTE& green, BYTE& blue, COLORREF crTint, int nAmount)
{
    const int grey = MulDiv(6 * red + 10 * green + 5 * blue, 255, 5355);
    auto channel = [&](int tint) {
        int c = tint + MulDiv(255 - tint, grey, 255);
        if (nAmount != 100)
            c = 255 - ((255 - c) * nAmount / 100);
        return BYTE(std::clamp(c, 0, 255));
    };
    red = channel(GetRValue(crTint));
    green = channel(GetGValue(crTint));
    blue = channel(GetBValue(crTint));
}

} // namespace

int TintPic(int nHandle, COLORREF crTint, int nAmount)
{
    return OnBitmap(nHandle, [&](LTBITMAP& b) {
        if (!HasPixels(b))
            return LT_ERR_BAD_BITMAP;
        if (b.BitsPerPixel == 32) {
            // Tinted pixel by pixel so that the picture keeps its alpha.
            const bool rgb = b.Order == LT_ORDER_RGB;
            for (int y = 0; y < b.Height; ++y) {
                BYTE* p = b.Pixels.data() + size_t(y) * size_t(b.BytesPerLine);
                for (int x = 0; x < b.Width; ++x, p += 4) {
                    BYTE& red = rgb ? p[0] : p[2];
                    BYTE& blue = rgb ? p[2] : p[0];
                    TintColor(red, p[1], blue, crTint, nAmount);
                }
            }
            return 0;
        }
        if (b.BitsPerPixel > 8) {
            const int r = LtColorRes(&b, &b, 8, LT_COLORRES_OPTIMIZED | LT_COLORRES_DITHER, nullptr, 0, 0, 0);
            if (r != LT_SUCCESS)
                return r;
        }
        const int nColors = 1 << b.BitsPerPixel;
        RGBQUAD colors[256] = {};
        int r = LtGetPalette(&b, 0, nColors, colors);
        if (r != LT_SUCCESS)
            return r;
        for (int i = 0; i < nColors; ++i)
            TintColor(colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, crTint, nAmount);
        return Code(LtPutPalette(&b, 0, nColors, colors));
    });
}

// ---- Painting ------------------------------------------------------------------------

CRect LogicalToDeviceRect(CDC* pDC, const CRect& rect)
{
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    if (pDC != nullptr)
        pDC->LPtoDP(corners, 2);
    CRect r(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    r.NormalizeRect();
    return r;
}

int RealizePicPalette(int nHandle, CDC* pDC)
{
    CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr)
        return kPicErrBadHandle;
    if (pDC == nullptr || pDC->GetSafeHdc() == NULL)
        return 0;
    HPALETTE hPalette = NULL;
    if (IsPrintingDC(pDC)) {
        if (pEntry->m_nLoadMode != 0 && pEntry->m_nLoadMode != 1)
            pEntry->DeleteScreenPalette();
        pEntry->DeletePrintPalette();
        pEntry->m_hPrintPalette = LtCreatePaintPalette(pDC->GetSafeHdc(), &pEntry->m_bitmap);
        hPalette = pEntry->m_hPrintPalette;
    } else {
        // None is made for true-colour screens; it is asked for again in
        // case the screen's depth changes.
        if (!pEntry->m_bScreenPaletteMade) {
            pEntry->m_hScreenPalette = LtCreatePaintPalette(pDC->GetSafeHdc(), &pEntry->m_bitmap);
            pEntry->m_bScreenPaletteMade = pEntry->m_hScreenPalette != NULL;
        }
        hPalette = pEntry->m_hScreenPalette;
    }
    if (hPalette != NULL) {
        pEntry->m_hOldPalette = ::SelectPalette(pDC->GetSafeHdc(), hPalette, FALSE);
        ::RealizePalette(pDC->GetSafeHdc());
    }
    return 0;
}

int RestorePicPalette(int nHandle, CDC* pDC)
{
    CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr)
        return kPicErrBadHandle;
    if (pDC != nullptr && pDC->GetSafeHdc() != NULL && pEntry->m_hOldPalette != NULL)
        ::SelectPalette(pDC->GetSafeHdc(), pEntry->m_hOldPalette, FALSE);
    pEntry->m_hOldPalette = NULL;
    pEntry->DeletePrintPalette();
    return 0;
}

int PaintPic(int nHandle, CDC* pDC, const CRect& rectSource, const CRect& rectDest, const CRect& rectClip, DWORD dwRop,
    BOOL bThroughMemory)
{
    CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr)
        return kPicErrBadHandle;
    if (rectDest.IsRectNull() || pDC == nullptr || pDC->GetSafeHdc() == NULL)
        return 0;
    if (!HasPixels(pEntry->m_bitmap))
        return 0;
    if (dwRop == 0)
        dwRop = SRCCOPY;
    CRect source = rectSource;
    source.NormalizeRect();
    if (source.IsRectEmpty())
        source = WholePicture(pEntry->m_bitmap);
    source.IntersectRect(source, WholePicture(pEntry->m_bitmap));
    if (source.IsRectEmpty() || rectDest.Width() == 0 || rectDest.Height() == 0)
        return 0;

    CDCStateSaver saver(pDC);
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);
    // Device units throughout: the window origin must not move them.
    pDC->SetWindowOrg(0, 0);
    try {
        if (bThroughMemory || IsPrintingDC(pDC)) {
            if (!rectClip.IsRectEmpty())
                pDC->IntersectClipRect(&rectClip);
            return PaintThroughMemory(*pEntry, pDC, source, rectDest, dwRop);
        }
        return PaintToScreen(*pEntry, pDC, source, rectDest, rectClip, dwRop);
    } catch (const std::bad_alloc&) {
        pEntry->FreeDib();
        return kPicErrNoMemory;
    }
}

int DrawTransparentDIB(CDC* pDC, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc,
    int cySrc, const void* pBits, const BITMAPINFO* pInfo, COLORREF crTransparent)
{
    if (pDC == nullptr || pBits == nullptr || pInfo == nullptr)
        return 0;
    const BITMAPINFOHEADER& header = pInfo->bmiHeader;
    const int nBits = header.biBitCount;
    const LONG width = header.biWidth;
    const LONG rows = std::abs(header.biHeight);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB || width <= 0 || rows <= 0)
        return 0;
    const COLORREF crKey = crTransparent & 0x00FFFFFF;
    HDC hdc = pDC->GetSafeHdc();
    // Both passes pick the same source pixel for every destination pixel,
    // so the white and black of the mask leave the destination exactly as
    // it was wherever the picture is transparent; smoothing would mix them.
    const int nOldMode = ::SetStretchBltMode(hdc, COLORONCOLOR);
    auto draw = [&](const void* bits, const BITMAPINFO* info, DWORD rop) {
        ::StretchDIBits(hdc, xDest, yDest, cxDest, cyDest, xSrc, ySrc, cxSrc, cySrc, bits, info, DIB_RGB_COLORS, rop);
    };

    if (nBits == 1 || nBits == 4 || nBits == 8) {
        // The colour table follows the header, with as many entries as the
        // DIB says it uses.
        UINT nColors = 1u << nBits;
        if (header.biClrUsed != 0 && header.biClrUsed < nColors)
            nColors = header.biClrUsed;
        const auto* pTable = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(pInfo) + header.biSize);
        std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + nColors * sizeof(RGBQUAD));
        BITMAPINFOHEADER copy = header;
        copy.biSize = sizeof(BITMAPINFOHEADER);
        copy.biClrUsed = nColors;
        std::memcpy(block.data(), &copy, sizeof copy);
        auto* pColors = reinterpret_cast<RGBQUAD*>(block.data() + sizeof(BITMAPINFOHEADER));
        std::vector<bool> transparent(nColors);
        for (UINT i = 0; i < nColors; ++i)
            transparent[i] = RGB(pTable[i].rgbRed, pTable[i].rgbGreen, pTable[i].rgbBlue) == crKey;
        const auto* pCopy = reinterpret_cast<const BITMAPINFO*>(block.data());
        for (UINT i = 0; i < nColors; ++i)
            pColors[i] = transparent[i] ? RGBQUAD { 255, 255, 255, 0 } : RGBQUAD { 0, 0, 0, 0 };
        draw(pBits, pCopy, SRCAND);
        for (UINT i = 0; i < nColors; ++i)
            pColors[i] = transparent[i] ? RGBQUAD { 0, 0, 0, 0 } : pTable[i];
        draw(pBits, pCopy, SRCPAINT);
    } else if (nBits == 16 || nBits == 24 || nBits == 32) {
        // No colour table to change: an 8-bit mask (index 1 where the pixel
        // has the transparent colour) and a copy with those pixels black.
        const size_t srcStride = DibStride(width, nBits);
        const size_t maskStride = DibStride(width, 8);
        std::vector<BYTE> mask(maskStride * size_t(rows));
        const auto* pSource = static_cast<const BYTE*>(pBits);
        std::vector<BYTE> image(pSource, pSource + srcStride * size_t(rows));
        const int nBytes = nBits / 8;
        for (LONG y = 0; y < rows; ++y) {
            BYTE* in = image.data() + size_t(y) * srcStride;
            BYTE* m = mask.data() + size_t(y) * maskStride;
            for (LONG x = 0; x < width; ++x) {
                BYTE* p = in + size_t(x) * size_t(nBytes);
                COLORREF c;
                if (nBits == 16) {
                    const unsigned v = unsigned(p[0]) | (unsigned(p[1]) << 8);
                    auto level = [](unsigned v5) { return BYTE((v5 << 3) | (v5 >> 2)); };
                    c = RGB(level((v >> 10) & 0x1F), level((v >> 5) & 0x1F), level(v & 0x1F));
                } else {
                    c = RGB(p[2], p[1], p[0]);
                }
                if (c == crKey) {
                    m[x] = 1;
                    std::memset(p, 0, size_t(nBytes));
                }
            }
        }
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[2];
        } maskInfo {};
        maskInfo.header = header;
        maskInfo.header.biSize = sizeof(BITMAPINFOHEADER);
        maskInfo.header.biBitCount = 8;
        maskInfo.header.biClrUsed = 2;
        maskInfo.header.biSizeImage = DWORD(maskStride * size_t(rows));
        maskInfo.colors[0] = RGBQUAD { 0, 0, 0, 0 };
        maskInfo.colors[1] = RGBQUAD { 255, 255, 255, 0 };
        draw(mask.data(), reinterpret_cast<const BITMAPINFO*>(&maskInfo), SRCAND);
        draw(image.data(), pInfo, SRCPAINT);
    } else {
        draw(pBits, pInfo, SRCCOPY);
    }
    ::SetStretchBltMode(hdc, nOldMode);
    return 1;
}

HBITMAP CreatePicDDB(CDC* pDC, int nHandle, CPalette* pPalette)
{
    CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr || pDC == nullptr || pDC->GetSafeHdc() == NULL)
        return NULL;
    HDC hdc = pDC->GetSafeHdc();
    HPALETTE hOld = NULL;
    if (pPalette != nullptr) {
        HPALETTE hPalette = LtCreatePaintPalette(hdc, &pEntry->m_bitmap);
        if (hPalette != NULL) {
            pPalette->DeleteObject();
            pPalette->Attach(hPalette);
            hOld = ::SelectPalette(hdc, hPalette, FALSE);
            ::RealizePalette(hdc);
        }
    }
    HBITMAP hBitmap = LtConvertToDDB(hdc, &pEntry->m_bitmap);
    if (hOld != NULL)
        ::SelectPalette(hdc, hOld, FALSE);
    return hBitmap;
}

// ---- Saving ---------------------------------------------------------------------------

void ChooseSaveFormat(const LTBITMAP& bitmap, BOOL bTransparent, int* pnBits, int* pnQuality, BOOL bEightBit,
    int* pnFormat)
{
    int nFormat = LT_FORMAT_JPEG;
    int nBits = 24;
    int nQuality = 10;
    if (bitmap.BitsPerPixel <= 8 || bTransparent || bitmap.BitsPerPixel == 32 || bEightBit) {
        // Lossless, at the picture's own depth where PNG keeps it.
        nFormat = LT_FORMAT_PNG;
        nQuality = 0;
        if (bEightBit && bitmap.BitsPerPixel > 8 && !bTransparent && bitmap.BitsPerPixel != 32)
            nBits = 8;
        else if (bitmap.BitsPerPixel == 1 || bitmap.BitsPerPixel == 4 || bitmap.BitsPerPixel == 8
            || bitmap.BitsPerPixel == 32)
            nBits = bitmap.BitsPerPixel;
        else
            nBits = 24;
    }
    if (pnBits != nullptr)
        *pnBits = nBits;
    if (pnQuality != nullptr)
        *pnQuality = nQuality;
    if (pnFormat != nullptr)
        *pnFormat = nFormat;
}

BOOL SavePicToMemory(int nHandle, HGLOBAL* phMemory, DWORD* pnSize, BOOL bEightBit)
{
    if (phMemory != nullptr)
        *phMemory = NULL;
    if (pnSize != nullptr)
        *pnSize = 0;
    const CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr || phMemory == nullptr || pnSize == nullptr)
        return FALSE;
    int nBits = 0;
    int nQuality = 0;
    int nFormat = 0;
    ChooseSaveFormat(pEntry->m_bitmap, pEntry->m_bTransparent, &nBits, &nQuality, bEightBit, &nFormat);
    return LtSaveToMemory(phMemory, &pEntry->m_bitmap, nFormat, nBits, nQuality, pnSize) == LT_SUCCESS;
}

int SavePicToFile(int nHandle, LPCTSTR lpszPath, BOOL bEightBit)
{
    const CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr)
        return kPicErrBadHandle;
    int nBits = 0;
    int nQuality = 0;
    int nFormat = 0;
    ChooseSaveFormat(pEntry->m_bitmap, pEntry->m_bTransparent, &nBits, &nQuality, bEightBit, &nFormat);
    // The library writes beside the file and replaces it only when the new
    // one is complete, so a failure leaves the old file as it was.
    int nResult = LtSaveFile(lpszPath, &pEntry->m_bitmap, nFormat, nBits, nQuality);
    if (nResult == LT_ERR_BITS_FOR_FORMAT && nBits == 24)
        nResult = LtSaveFile(lpszPath, &pEntry->m_bitmap, LT_FORMAT_CMP, 8, nQuality);
    return Code(nResult);
}

int ExportPic(int nHandle, LPCTSTR lpszPath, BOOL bUseDefault, BOOL bSetTransparent, COLORREF crTransparent)
{
    CPicEntry* pEntry = Table().Find(nHandle);
    if (pEntry == nullptr)
        return kPicErrBadHandle;
    int nFormat = LT_FORMAT_BMP;
    int nBits = 24;
    int nQuality = 0;
    const size_t nLength = lpszPath != nullptr ? std::strlen(lpszPath) : 0;
    if (!bUseDefault && nLength >= 3) {
        char ext[4] = {};
        for (int i = 0; i < 3; ++i) {
            char c = lpszPath[nLength - 3 + size_t(i)];
            ext[i] = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        }
        for (const ExportFormat& f : kExportFormats) {
            if (std::strcmp(f.ext, ext) != 0)
                continue;
            nFormat = f.nFormat;
            nBits = f.nBits != 0 ? f.nBits : (LtKernel135(&pEntry->m_bitmap) ? 8 : 24);
            nQuality = f.nQuality;
            break;
        }
    }
    LTBITMAP& bitmap = pEntry->m_bitmap;
    const BYTE nOldFlags = bitmap.Flags;
    const COLORREF crOld = bitmap.TransparentColor;
    if (bSetTransparent) {
        bitmap.Flags |= LT_BITMAP_TRANSPARENT;
        bitmap.TransparentColor = crTransparent;
    }
    // Written beside the target and renamed over it only when complete: a
    // failed export leaves a file exported earlier byte for byte. The
    // library writes its CMP code as PNG for the saves that fall back on it,
    // but a file named .cmp would then not be what its name says.
    const int nResult = nFormat == LT_FORMAT_CMP ? LT_ERR_FORMAT
                                                 : LtSaveFile(lpszPath, &bitmap, nFormat, nBits, nQuality);
    bitmap.Flags = nOldFlags;
    bitmap.TransparentColor = crOld;
    if (nResult != LT_SUCCESS)
        AfxMessageBox(IDS_PIC_EXPORT_FAILED);
    return Code(nResult);
}

// ---- Messages -------------------------------------------------------------------------

void GetPicErrorText(int nCode, CString& strText)
{
    // Kept in range: the absolute value of the lowest int does not exist.
    const int nAbs = nCode == INT_MIN ? INT_MAX : std::abs(nCode);
    strText.Empty();
    if (nCode <= -1 && nCode >= -24)
        strText.LoadString(UINT(IDS_PIC_ERROR_BASE + nAbs));
    else if (nCode == LT_ERR_TOO_LARGE)
        strText.LoadString(IDS_PIC_TOO_LARGE);
    if (strText.IsEmpty())
        strText.Format(IDS_PIC_INTERNAL_ERROR, nAbs);
}
