#include "app/ResourceBitmaps.h"

#include "platform/base/GdiRecords.h"
#include "platform/base/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/GdiObject.h"

#include <cstring>
#include <vector>

namespace {

int ColorTableEntries(const BITMAPINFOHEADER& header)
{
    if (header.biBitCount < 1 || header.biBitCount > 8)
        return 0;
    DWORD full = DWORD(1) << header.biBitCount;
    return static_cast<int>(header.biClrUsed != 0 && header.biClrUsed < full ? header.biClrUsed : full);
}

AppPaletteSource g_pfnAppPalette = nullptr;

// Realises a palette on the screen DC for a scope.
class ScreenPalette {
public:
    explicit ScreenPalette(HPALETTE palette) : m_dc(GetDC(NULL))
    {
        if (m_dc && palette) {
            m_old = SelectPalette(m_dc, palette, FALSE);
            RealizePalette(m_dc);
        }
    }
    ~ScreenPalette()
    {
        if (m_old)
            SelectPalette(m_dc, m_old, FALSE);
        if (m_dc)
            ReleaseDC(NULL, m_dc);
    }
    ScreenPalette(const ScreenPalette&) = delete;
    ScreenPalette& operator=(const ScreenPalette&) = delete;
    HDC Dc() const { return m_dc; }

private:
    HDC m_dc;
    HPALETTE m_old = NULL;
};

} // namespace

void SetAppPaletteSource(AppPaletteSource pfnSource)
{
    g_pfnAppPalette = pfnSource;
}

CPalette* GetAppPaletteForDrawing()
{
    return g_pfnAppPalette != nullptr ? g_pfnAppPalette() : nullptr;
}

HPALETTE CreateDIBPalette(const BITMAPINFOHEADER* pHeader, int* pnColors)
{
    int colors = pHeader ? ColorTableEntries(*pHeader) : 0;
    if (pnColors)
        *pnColors = colors;
    if (colors == 0)
        return NULL;
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(pHeader) + pHeader->biSize);
    std::vector<BYTE> block(sizeof(LOGPALETTE) + colors * sizeof(PALETTEENTRY));
    auto* logPalette = reinterpret_cast<LOGPALETTE*>(block.data());
    logPalette->palVersion = PALVERSION;
    logPalette->palNumEntries = static_cast<WORD>(colors);
    for (int i = 0; i < colors; ++i) {
        RGBQUAD quad;
        memcpy(&quad, table + i, sizeof quad);
        logPalette->palPalEntry[i] = { quad.rgbRed, quad.rgbGreen, quad.rgbBlue, 0 };
    }
    return CreatePalette(logPalette);
}

BOOL LoadBitmapWithPalette(CBitmap& bitmap, UINT nID, CPalette* pPalette, HINSTANCE hModule)
{
    if (HGDIOBJ old = bitmap.Detach())
        DeleteObject(old);
    if (pPalette == nullptr)
        pPalette = GetAppPaletteForDrawing();
    HBITMAP loaded;
    {
        ScreenPalette screen(pPalette ? static_cast<HPALETTE>(*pPalette) : NULL);
        loaded = LoadBitmap(hModule ? hModule : AfxGetResourceHandle(), MAKEINTRESOURCE(nID));
    }
    if (!loaded)
        return FALSE;
    return bitmap.Attach(loaded);
}

HBITMAP LoadDIBResource(HMODULE hModule, UINT nID, CPalette& palette)
{
    HRSRC info = FindResource(hModule, MAKEINTRESOURCE(nID), RT_BITMAP);
    if (!info)
        return NULL;
    HGLOBAL data = LoadResource(hModule, info);
    const BYTE* bytes = data ? static_cast<const BYTE*>(LockResource(data)) : nullptr;
    DWORD size = SizeofResource(hModule, info);
    if (!bytes || size < sizeof(BITMAPINFOHEADER))
        return NULL;
    BITMAPINFOHEADER header;
    memcpy(&header, bytes, sizeof header);
    if (header.biSize < sizeof header || header.biSize > size || header.biWidth <= 0 || header.biHeight == 0
        || header.biWidth > 0x8000 || header.biHeight > 0x8000 || header.biHeight < -0x8000)
        return NULL;
    int colors = ColorTableEntries(header);
    uint64_t bitsOffset = uint64_t(header.biSize) + uint64_t(colors) * sizeof(RGBQUAD);
    // Three colour masks follow a plain header when the DIB has bit fields.
    if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER))
        bitsOffset += 3 * sizeof(DWORD);
    uint64_t stride = ((uint64_t(header.biWidth) * header.biBitCount + 31) / 32) * 4;
    uint64_t rows = header.biHeight < 0 ? uint64_t(-int64_t(header.biHeight)) : uint64_t(header.biHeight);
    // The bits must all lie inside the resource, whatever their coding.
    uint64_t bitsSize = (header.biCompression == BI_RGB || header.biCompression == BI_BITFIELDS)
        ? stride * rows
        : uint64_t(header.biSizeImage);
    if (bitsOffset > size || bitsSize > size - bitsOffset || bitsSize == 0)
        return NULL;

    // The resource's bytes are copied so the header is suitably aligned.
    std::vector<DWORD> copy((size + 3) / 4);
    memcpy(copy.data(), bytes, size);
    const auto* pInfo = reinterpret_cast<const BITMAPINFO*>(copy.data());
    HPALETTE hPalette = CreateDIBPalette(&pInfo->bmiHeader, nullptr);
    HBITMAP bitmap;
    {
        ScreenPalette screen(hPalette);
        bitmap = CreateDIBitmap(screen.Dc(), &pInfo->bmiHeader, CBM_INIT,
            reinterpret_cast<const BYTE*>(copy.data()) + bitsOffset, pInfo, DIB_RGB_COLORS);
    }
    palette.DeleteObject();
    if (hPalette)
        palette.Attach(hPalette);
    return bitmap;
}

HBITMAP LoadResourceBitmap(HMODULE hModule, UINT nID, CPalette* pPalette)
{
    HDC screen = GetDC(NULL);
    int bits = screen ? GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) : 0;
    if (screen)
        ReleaseDC(NULL, screen);
    if (hModule && bits >= 8) {
        CPalette temporary;
        return LoadDIBResource(hModule, nID, pPalette ? *pPalette : temporary);
    }
    return LoadBitmap(AfxGetInstanceHandle(), MAKEINTRESOURCE(nID));
}

BOOL LoadBitmapObject(HMODULE hModule, UINT nID, CBitmap* pBitmap, CPalette* pPalette)
{
    if (!pBitmap)
        return FALSE;
    HBITMAP loaded = LoadResourceBitmap(hModule, nID, pPalette);
    if (!loaded)
        return FALSE;
    pBitmap->DeleteObject();
    return pBitmap->Attach(loaded);
}
