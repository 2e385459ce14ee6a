#pragma once
// The icons the program's dialogs put on their picture push buttons.

class C3DPicTrickBtn;

// Gives OK and Cancel their icons; either may be null.
void DressOkCancel(C3DPicTrickBtn* pOk, C3DPicTrickBtn* pCancel);
