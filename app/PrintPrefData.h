#pragma once
// The printing-options word ("Printing" in the profile's "Preferences"
// section) that printing, calendar, text and picture code read. One instance,
// thePrintPrefs, lives from start-up to exit; start-up loads it once, and the
// Preferences sheet changes and saves it.

#include "platform/base/Types.h"

// Bits of CPrintPrefData::Printing.
#define PRINT_PREF_ALWAYS_1 0x0001
#define PRINT_PREF_ALWAYS_2 0x0002
#define PRINT_PREF_OPTION 0x0004 // tested by IsOptionOff
#define PRINT_PREF_TEXT_AUTO 0x0010
#define PRINT_PREF_SHAPED_METHOD3 0x0020
#define PRINT_PREF_SHAPED_METHOD1 0x0040
#define PRINT_PREF_SHAPED_AUTO 0x0080
#define PRINT_PREF_ALT_CLIPPING 0x0100
#define PRINT_PREF_TEXT_DIRECT 0x0400
#define PRINT_PREF_NO_DITHER 0x0800
#define PRINT_PREF_DISPLAY_FLAG 0x1000
#define PRINT_PREF_SHAPED_METHOD 0x2000
#define PRINT_PREF_NO_FAST_GRAPHICS 0x4000

class CPrintPrefData {
public:
    static constexpr WORD kDefaultPrinting = 0x099F;

    CPrintPrefData() = default;

    // Back to the constructor's values (the global object between tests).
    void Reset() { Printing = 0; }

    // Reads the word (the built-in one when missing). A profile left by the
    // earlier program version ("Version" empty or "4.1a") is upgraded once:
    // the version is then written as this program's, so it does not repeat.
    void LoadPrinting();
    void SavePrinting();

    // TRUE for any non-zero kind; for kind 0, TRUE only while bit 0x0004 is
    // clear (loading always sets it).
    BOOL IsOptionOff(int nKind) const;

    // Whether glyph outlines are switched off for shaped and mirrored text,
    // which is then drawn through a bitmap: the shaped-text method 1 of the
    // Printing page (an automatic choice keeps the outlines, whatever else
    // the word holds).
    BOOL IsGlyphTextOff() const;

    // Switches the picture engine's display-mode flag 8 as the word asks:
    // on when dithering is allowed and bit 0x1000 is set.
    void ApplyDisplayFlag() const;

    WORD Printing = 0;
};

extern CPrintPrefData thePrintPrefs;
