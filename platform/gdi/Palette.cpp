// Logical palettes: creating and editing them, selecting and realising them,
// nearest-colour queries, the system palette of a palette screen, and the
// class library's CPalette and CDC::SelectPalette.
//
// On a true-colour screen palettes change nothing that is drawn; with the
// screen's depth set to 8 bpp for testing, realising a palette in the
// foreground puts its colours into the system palette between the 20
// static colours, and drawing on the screen is reduced to them.

#include "platform/gdi/Dc.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/gdi/internal/PaletteState.h"
#include "platform/gdi/internal/Rop3.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace platform {

namespace {

constexpr size_t kMaxEntries = 256;
constexpr size_t kStaticColors = 20;

struct PaletteState {
    // The realised system palette of an 8-bpp screen; empty until then.
    std::vector<RGBQUAD> system;
    // DCs whose palette was selected with the background flag, and that
    // palette.
    std::unordered_map<HDC, HPALETTE> background;
};

PaletteState& State()
{
    static PaletteState state;
    return state;
}

bool IsScreen(const DeviceContext& dc)
{
    return dc.kind == DcKind::Screen || dc.kind == DcKind::Window;
}

bool ForcedBackground(const DeviceContext& dc)
{
    auto it = State().background.find(dc.handle);
    return it != State().background.end() && it->second == dc.state.palette;
}

} // namespace

const std::vector<RGBQUAD>* ScreenColorTable(int bitsPixel)
{
    if (bitsPixel > 8)
        return nullptr;
    if (bitsPixel == 8 && !State().system.empty())
        return &State().system;
    return &DefaultColorTable(bitsPixel);
}

void ResetPalettesForTesting()
{
    State() = PaletteState();
}

} // namespace platform

using namespace platform;

HPALETTE CreatePalette(const LOGPALETTE* plpal)
{
    if (!plpal || plpal->palVersion != PALVERSION || plpal->palNumEntries == 0 || plpal->palNumEntries > kMaxEntries) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    auto palette = std::make_unique<PaletteObject>();
    palette->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return (HPALETTE)AddGdiObject(std::move(palette));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc || !LookupPalette(hPal))
        return NULL;
    HPALETTE previous = dc->state.palette;
    dc->state.palette = hPal;
    auto& background = State().background;
    if (!bForceBkgd) {
        background.erase(hdc);
        return previous;
    }
    // Forget DCs that are gone before the table grows; looking them up must
    // not leave its error behind for our caller.
    if (background.size() >= 64) {
        DWORD error = GetLastError();
        for (auto it = background.begin(); it != background.end();)
            it = LookupDc(it->first) ? std::next(it) : background.erase(it);
        SetLastError(error);
    }
    background[hdc] = hPal;
    return previous;
}

UINT RealizePalette(HDC hdc)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return UINT(GDI_ERROR);
    // Only a palette screen has a system palette to change.
    if (!IsScreen(*dc) || GetScreenBitsPixel() != 8)
        return 0;
    const PaletteObject& palette = CurrentPalette(*dc);
    if (palette.stock || ForcedBackground(*dc))
        return 0;
    const std::vector<RGBQUAD>& statics = DefaultColorTable(8);
    std::vector<RGBQUAD> system(statics.begin(), statics.begin() + kStaticColors / 2);
    size_t room = 256 - kStaticColors;
    size_t count = std::min(palette.entries.size(), room);
    for (size_t i = 0; i < count; ++i) {
        const PALETTEENTRY& e = palette.entries[i];
        system.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
    }
    // Unused slots repeat black, as the default table has them.
    system.resize(256 - kStaticColors / 2, RGBQUAD{0, 0, 0, 0});
    system.insert(system.end(), statics.end() - kStaticColors / 2, statics.end());
    State().system = std::move(system);
    return UINT(count);
}

UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries)
{
    PaletteObject* palette = LookupPalette(hpal);
    if (!palette)
        return 0;
    UINT size = UINT(palette->entries.size());
    if (!pPalEntries)
        return size;
    if (iStart >= size)
        return 0;
    UINT count = std::min(cEntries, size - iStart);
    std::copy_n(palette->entries.begin() + iStart, count, pPalEntries);
    return count;
}

UINT SetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, const PALETTEENTRY* pPalEntries)
{
    PaletteObject* palette = LookupPalette(hpal);
    if (!palette || palette->stock || !pPalEntries)
        return 0;
    UINT size = UINT(palette->entries.size());
    if (iStart >= size)
        return 0;
    UINT count = std::min(cEntries, size - iStart);
    std::copy_n(pPalEntries, count, palette->entries.begin() + iStart);
    return count;
}

COLORREF GetNearestColor(HDC hdc, COLORREF color)
{
    DeviceContext* dc = LookupDc(hdc);
    if (!dc)
        return CLR_INVALID;
    RasterTarget target;
    if (AcquireRaster(*dc, target))
        return ColorFromPixel(TargetPixel(*dc, target, color));
    // Pages and information contexts are true colour.
    if ((color >> 24) == 0x01) {
        const PaletteObject& palette = CurrentPalette(*dc);
        size_t index = color & 0xFFFF;
        const PALETTEENTRY& e = index < palette.entries.size() ? palette.entries[index] : palette.entries[0];
        return RGB(e.peRed, e.peGreen, e.peBlue);
    }
    return color & 0x00FFFFFF;
}

UINT GetNearestPaletteIndex(HPALETTE h, COLORREF color)
{
    PaletteObject* palette = LookupPalette(h);
    if (!palette)
        return UINT(CLR_INVALID);
    std::vector<RGBQUAD> table;
    table.reserve(palette->entries.size());
    for (const PALETTEENTRY& e : palette->entries)
        table.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
    return UINT(NearestColorIndex(table, PixelFromColor(color & 0x00FFFFFF)));
}

// ---- CPalette and CDC::SelectPalette ------------------------------------------------

BOOL CPalette::CreatePalette(LPLOGPALETTE lpLogPalette)
{
    return Attach(::CreatePalette(lpLogPalette));
}

int CPalette::GetEntryCount()
{
    WORD count = 0;
    if (!::GetObject(m_hObject, sizeof(WORD), &count))
        return 0;
    return count;
}

UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const
{
    return ::GetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
}

UINT CPalette::SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors)
{
    return ::SetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
}

UINT CPalette::GetNearestPaletteIndex(COLORREF crColor) const
{
    return ::GetNearestPaletteIndex((HPALETTE)m_hObject, crColor);
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    HPALETTE h = (HPALETTE)platform::SafeHandle(pPalette);
    HPALETTE previous = NULL;
    if (m_hDC)
        previous = ::SelectPalette(m_hDC, h, bForceBackground);
    if (m_hAttribDC && m_hAttribDC != m_hDC) {
        HPALETTE attribPrevious = ::SelectPalette(m_hAttribDC, h, bForceBackground);
        if (!m_hDC)
            previous = attribPrevious;
    }
    return CPalette::FromHandle(previous);
}
