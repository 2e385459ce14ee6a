#pragma once
// The class library's own texts (prompts of data exchange and documents,
// file and archive errors, print and preview captions, the idle message).
// The program's string table wins when it has the id; otherwise the
// built-in English text is used.

#include "platform/base/String.h"

// The program's string nID, else the built-in text, else an empty string.
CString AFXAPI AfxFrameworkString(UINT nID);
// Whether a built-in text exists for nID (the program's table aside).
BOOL AFXAPI AfxHasBuiltInFrameworkString(UINT nID);
