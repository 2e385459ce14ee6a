// System colours: the classic grey scheme, and a brush for each colour.

#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/internal/GdiObjects.h"
#include "platform/ui/internal/Window.h"

#include <array>
#include <memory>

namespace platform {

namespace {

constexpr int kColorCount = COLOR_GRADIENTINACTIVECAPTION + 1;

constexpr std::array<COLORREF, kColorCount> kClassic = {
    RGB(192, 192, 192), // COLOR_SCROLLBAR
    RGB(0, 128, 128), // COLOR_BACKGROUND
    RGB(0, 0, 128), // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(192, 192, 192), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0), // COLOR_WINDOWFRAME
    RGB(0, 0, 0), // COLOR_MENUTEXT
    RGB(0, 0, 0), // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(192, 192, 192), // COLOR_ACTIVEBORDER
    RGB(192, 192, 192), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(0, 0, 128), // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0), // COLOR_BTNTEXT
    RGB(192, 192, 192), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0), // COLOR_3DDKSHADOW
    RGB(192, 192, 192), // COLOR_3DLIGHT
    RGB(0, 0, 0), // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(0, 0, 0), // (unused)
    RGB(0, 0, 128), // COLOR_HOTLIGHT
    RGB(16, 132, 208), // COLOR_GRADIENTACTIVECAPTION
    RGB(180, 180, 180), // COLOR_GRADIENTINACTIVECAPTION
};

struct SysColorState {
    std::array<COLORREF, kColorCount> colors = kClassic;
    std::array<HBRUSH, kColorCount> brushes{};
};

SysColorState& State()
{
    static SysColorState state;
    return state;
}

void InstallSource()
{
    SetSystemColorSource([](int index) -> COLORREF { return GetSysColor(index); });
}

// System colour brushes belong to the system: marked like stock objects,
// DeleteObject leaves them alone, and a program may keep one for as long as
// it likes. They follow their colour when it changes, keeping the handle.
void RecolorBrush(size_t index)
{
    SysColorState& s = State();
    if (BrushObject* brush = s.brushes[index] ? LookupBrush(s.brushes[index]) : nullptr)
        brush->log.lbColor = s.colors[index];
}

} // namespace

void ResetSystemColors()
{
    SysColorState& s = State();
    s.colors = kClassic;
    for (size_t i = 0; i < s.brushes.size(); ++i)
        RecolorBrush(i);
    InstallSource();
}

} // namespace platform

using namespace platform;

DWORD GetSysColor(int nIndex)
{
    if (nIndex < 0 || nIndex >= kColorCount)
        return 0;
    return State().colors[size_t(nIndex)];
}

HBRUSH GetSysColorBrush(int nIndex)
{
    if (nIndex < 0 || nIndex >= kColorCount)
        return NULL;
    static bool installed = false;
    if (!installed) {
        installed = true;
        InstallSource();
    }
    HBRUSH& brush = State().brushes[size_t(nIndex)];
    if (brush && LookupBrush(brush))
        return brush;
    auto object = std::make_unique<BrushObject>();
    object->log.lbStyle = BS_SOLID;
    object->log.lbColor = State().colors[size_t(nIndex)];
    object->stock = true;
    brush = (HBRUSH)AddGdiObject(std::move(object));
    return brush;
}

BOOL SetSysColors(int cElements, const INT* lpaElements, const COLORREF* lpaRgbValues)
{
    if (cElements < 0 || (cElements > 0 && (!lpaElements || !lpaRgbValues)))
        return FALSE;
    SysColorState& s = State();
    for (int i = 0; i < cElements; ++i) {
        int index = lpaElements[i];
        if (index < 0 || index >= kColorCount)
            continue;
        s.colors[size_t(index)] = lpaRgbValues[i] & 0x00FFFFFF;
        RecolorBrush(size_t(index));
    }
    SendMessage(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
    RedrawWindow(NULL, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}
