#include "controls/SharedFonts.h"

#include "platform/base/Arithmetic.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/User.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CFontA, CObArray)

namespace {

constexpr int kGrowBy = 5;
constexpr BYTE kVariableSwiss = VARIABLE_PITCH | FF_SWISS; // 0x22
constexpr char kFaceName[] = "MS Sans Serif";

// Point sizes and weights by group of three (plain, underlined, italic).
struct FontGroup {
    int points;
    LONG weight;
};
constexpr FontGroup kGroups[CFontA::kFontCount / 3] = {
    {8, FW_NORMAL}, {8, FW_BOLD}, {10, FW_NORMAL}, {10, FW_BOLD}, {12, FW_NORMAL}, {12, FW_BOLD}};

int ScreenLogPixelsY()
{
    HDC screen = ::GetDC(NULL);
    if (!screen)
        return 96;
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(NULL, screen);
    return dpi > 0 ? dpi : 96;
}

// The table is reached through a pointer rather than a static object, so
// that its fonts are never deleted after the drawing tables at exit.
CFontA* g_pSharedFonts = nullptr;

} // namespace

CFontA::CFontA()
{
    SetSize(kFontCount, kGrowBy);
}

CFontA::~CFontA()
{
    for (INT_PTR i = GetUpperBound(); i >= 0; --i) {
        delete GetAt(i);
        RemoveAt(i);
    }
}

BOOL CFontA::BuildLogFont(int n, int logPixelsY, LOGFONT& lf)
{
    if (n < 0 || n >= kFontCount)
        return FALSE;
    std::memset(&lf, 0, sizeof lf);
    const FontGroup& group = kGroups[n / 3];
    lf.lfHeight = -::MulDiv(group.points, logPixelsY, 72);
    lf.lfWeight = group.weight;
    lf.lfUnderline = BYTE(n % 3 == 1);
    lf.lfItalic = BYTE(n % 3 == 2);
    lf.lfPitchAndFamily = kVariableSwiss;
    std::strncpy(lf.lfFaceName, kFaceName, sizeof lf.lfFaceName - 1);
    return TRUE;
}

BOOL CFontA::CreateSharedFont(int n)
{
    LOGFONT lf;
    if (!BuildLogFont(n, ScreenLogPixelsY(), lf))
        return FALSE;
    auto* pFont = new CFont;
    if (!pFont->CreateFontIndirect(&lf)) {
        delete pFont;
        return FALSE;
    }
    if (n >= GetSize())
        SetSize(kFontCount, kGrowBy);
    delete GetAt(n);
    SetAt(n, pFont);
    return TRUE;
}

CFont* CFontA::GetFont(int n)
{
    if (n < 0 || n >= kFontCount)
        return nullptr;
    if ((n >= GetSize() || GetAt(n) == nullptr) && !CreateSharedFont(n))
        return nullptr;
    return static_cast<CFont*>(GetAt(n));
}

CFont* GetSharedFont(int n)
{
    if (n < 0 || n >= CFontA::kFontCount)
        return nullptr;
    if (!g_pSharedFonts)
        g_pSharedFonts = new CFontA;
    return g_pSharedFonts->GetFont(n);
}

void ReleaseSharedFonts()
{
    delete g_pSharedFonts;
    g_pSharedFonts = nullptr;
}
