#include "app/PicDisplayMode.h"

#include "platform/imaging/Imaging.h"

static_assert(PIC_DISPLAY_DITHER == LT_DISPLAY_DITHER, "the engine's display flag is the library's mode bit");

// The word is the imaging library's display mode, which its painting reads.
void SetPicDisplayFlag(BOOL bOn)
{
    LtSetDisplayMode(LT_DISPLAY_DITHER, bOn ? LT_DISPLAY_DITHER : 0);
}

UINT GetPicDisplayMode()
{
    return LtSetDisplayMode(0, 0);
}
