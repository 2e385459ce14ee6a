#pragma once
// The picture engine's display-mode word: how pictures are put on the
// screen. The printing preferences switch its flag 8 (dithered display)
// on start-up and when the Preferences sheet changes the printing word; the
// picture engine reads the word when it draws. One word for the program,
// from start-up to exit.

#include "platform/base/Types.h"

// The dithered-display flag of the display-mode word.
#define PIC_DISPLAY_DITHER 0x0008

// Sets or clears flag 8 of the display-mode word.
void SetPicDisplayFlag(BOOL bOn);
// The whole display-mode word.
UINT GetPicDisplayMode();
