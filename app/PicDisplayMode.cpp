#include "app/PicDisplayMode.h"

namespace {

UINT g_nPicDisplayMode = 0;

} // namespace

void SetPicDisplayFlag(BOOL bOn)
{
    if (bOn)
        g_nPicDisplayMode |= PIC_DISPLAY_DITHER;
    else
        g_nPicDisplayMode &= ~UINT(PIC_DISPLAY_DITHER);
}

UINT GetPicDisplayMode()
{
    return g_nPicDisplayMode;
}
