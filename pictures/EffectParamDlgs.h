#pragma once
// The parameter dialogs of Picture Studio: one value, two values, Add
// Noise, Emboss, Underlay and Color Resolution. Each places itself over
// Studio's group box and tells its parent (Studio) about every usable value
// at once with WM_EFFECT_PREVIEW, so that Studio can show the effect live.

#include "platform/base/String.h"
#include "platform/base/Types.h"

// Sent to the parameter dialog's parent with the address of an
// EffectPreviewNotice in lParam (wParam 0).
#define WM_EFFECT_PREVIEW 0x051F

struct EffectPreviewNotice {
    int nFirst = 0;
    int nSecond = 0;
    CString strText; // a picture path, or empty
};

// Runs the parameter dialog of Studio's effect-table entry nEntry for a
// picture of the given size and depth, parented to the active window.
// Answers 1 when it ended with OK, with the returned numbers clamped as the
// entry asks (values outside the entry's bounds replaced), 0 when it was
// cancelled or the entry has no parameter dialog.
int RunEffectParamDialog(int nEntry, int nPicWidth, int nPicHeight, int nPicBits, int& nFirst, int& nSecond,
    CString& strText);
