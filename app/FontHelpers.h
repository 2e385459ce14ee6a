#pragma once
// Fonts sized in points on a given device, and the largest size at which a
// text fits a box.

#include "platform/base/GdiRecords.h"
#include "platform/base/String.h"

class CDC;
class CFont;

// The program's default face name, for new text, calendars and attribute
// records: "Arial" unless the command line asks for the program's own face.
extern CString g_defaultFaceName;

// Puts the face name into lf, cut to 31 characters, the rest of the field
// zero.
void SetFaceName(LOGFONT& lf, LPCTSTR lpszFace);

// Makes font (replacing its old object) from a cleared LOGFONT with the face
// (cut to 31 characters), the weight when non-zero and the height
// MulDiv(LOGPIXELSY, nPointSize, 72) of the DC (the screen for NULL). A
// negative size asks for that character height, a positive one for that cell
// height. The LOGFONT is left holding nPointSize as its height. FALSE when
// the font cannot be made.
BOOL CreatePointSizeFont(CDC* pDC, CFont& font, LPCTSTR lpszFaceName, LOGFONT* pLogFont, int nPointSize, int nWeight);

// Bisects 0 to 50 points for the size at which DrawText (with nFormat, into
// an empty rectangle) measures the text at the target size: both equal
// stops, both smaller tries larger sizes, anything else smaller ones. The
// font is made from *pLogFont with the size as a character height; the DC
// keeps its own font. Returns the LOGFONT height of the size found, in
// points (negative: a character height).
int FindFittingFontSize(CDC* pDC, LPCTSTR lpszText, int nTargetWidth, int nTargetHeight, const LOGFONT* pLogFont, UINT nFormat);
