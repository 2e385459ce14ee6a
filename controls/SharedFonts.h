#pragma once
// CFontA: the program-wide table of the 18 caption fonts that the picture
// buttons and other controls draw with. Slot n holds a CFont made on first
// use and owned by the table: 8, 10 and 12 points, each normal and bold,
// each plain, underlined and italic, in the dialog face. Heights follow the
// screen's vertical resolution at the time each font is made.
//
// One table lives from first use until ReleaseSharedFonts (program exit,
// and tests between cases); a font pointer from it stays valid until then.

#include "platform/base/ObArray.h"
#include "platform/gdi/Gdi.h"

class CFont;

class CFontA : public CObArray {
    DECLARE_DYNCREATE(CFontA)
public:
    static constexpr int kFontCount = 18;

    CFontA();
    // Deletes the fonts from the last slot to the first.
    ~CFontA() override;

    // Makes font n and puts it in slot n (deleting what the slot held);
    // FALSE for n outside 0..17 or when the font cannot be made, leaving
    // the slot as it was.
    BOOL CreateSharedFont(int n);
    // Font n, made first when its slot is empty; NULL outside 0..17 or
    // when it cannot be made.
    CFont* GetFont(int n);

    // The LOGFONT of index n for a screen of logPixelsY dots per inch;
    // FALSE for n outside 0..17.
    static BOOL BuildLogFont(int n, int logPixelsY, LOGFONT& lf);
};

// Font n of the program's table; NULL outside 0..17 or when it cannot be made.
CFont* GetSharedFont(int n);
// Deletes the table with its fonts; the next GetSharedFont starts a new one.
void ReleaseSharedFonts();
