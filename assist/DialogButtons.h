#pragma once
// The icons the program's dialogs put on their picture push buttons.

class C3DPicTrickBtn;

inline constexpr int kIconButtonOk = 529;
inline constexpr int kIconButtonCancel = 523;
inline constexpr int kIconButtonHelp = 527;

// Gives OK and Cancel their icons; either may be null.
void DressOkCancel(C3DPicTrickBtn* pOk, C3DPicTrickBtn* pCancel);
