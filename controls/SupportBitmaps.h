#pragma once
// Bitmaps of the support library kqawr321.dll, which the kit's trees and
// buttons draw with.

#include "platform/base/Types.h"

class CBitmap;

// Replaces the bitmap's object by bitmap resource nID of the support
// library (or, when it is not there, of the program); FALSE when neither
// has it.
BOOL LoadSupportBitmap(CBitmap& bitmap, UINT nID);
