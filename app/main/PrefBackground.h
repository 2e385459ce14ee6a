#pragma once
// The surface background as the preferences choose it: the calls that give
// the shared background painter a colour or a picture and repaint every
// design view, and the start-up step that puts the stored choice in place.

#include "platform/base/GdiRecords.h"
#include "platform/base/String.h"

// Stores the colour as the preferences' BkgClr (in the profile at once),
// makes it the painter's colour without a picture and repaints every view.
void ApplyBackgroundColor(COLORREF crColor);
// Loads the picture file into the painter and repaints every view; FALSE,
// with nothing repainted, when it does not load.
BOOL ApplyBackgroundImage(const CString& strPath);
// The stored choice (BkgOpt, BkgImg, BkgClr of the loaded preferences) in
// the painter, without writing the profile: the colour, or the picture
// when it is chosen and loads.
void ApplyStoredBackground();
