#pragma once
// What a DEVMODE's paper code and print quality stand for. The printer DC
// and the printer list must read them alike, or the metrics a program
// measures with would differ from the page it prints.

#include "platform/base/UiRecords.h"

namespace platform {

// A printer's resolution when nothing says otherwise.
inline constexpr int kDefaultPrintDpi = 600;

// Dots per inch for a print quality: a DMRES_* level, or a positive value
// that is the resolution itself; anything else gives the default.
constexpr int ResolutionFromQuality(short quality)
{
    switch (quality) {
    case DMRES_HIGH:
        return 600;
    case DMRES_MEDIUM:
        return 300;
    case DMRES_LOW:
        return 150;
    case DMRES_DRAFT:
        return 75;
    default:
        return quality > 0 ? quality : kDefaultPrintDpi;
    }
}

// A sheet in microns, portrait (width across, length down).
struct PaperSize {
    short code;
    int width;
    int length;

    static constexpr int Inches(double in) { return int(in * 25400 + 0.5); }
    static constexpr int Millimetres(int mm) { return mm * 1000; }
};

// The DMPAPER_* codes we know the size of.
inline constexpr PaperSize kPaperSizes[] = {
    {DMPAPER_LETTER, PaperSize::Inches(8.5), PaperSize::Inches(11)},
    {DMPAPER_LETTERSMALL, PaperSize::Inches(8.5), PaperSize::Inches(11)},
    {DMPAPER_TABLOID, PaperSize::Inches(11), PaperSize::Inches(17)},
    {DMPAPER_LEDGER, PaperSize::Inches(17), PaperSize::Inches(11)},
    {DMPAPER_LEGAL, PaperSize::Inches(8.5), PaperSize::Inches(14)},
    {DMPAPER_STATEMENT, PaperSize::Inches(5.5), PaperSize::Inches(8.5)},
    {DMPAPER_EXECUTIVE, PaperSize::Inches(7.25), PaperSize::Inches(10.5)},
    {DMPAPER_A3, PaperSize::Millimetres(297), PaperSize::Millimetres(420)},
    {DMPAPER_A4, PaperSize::Millimetres(210), PaperSize::Millimetres(297)},
    {DMPAPER_A4SMALL, PaperSize::Millimetres(210), PaperSize::Millimetres(297)},
    {DMPAPER_A5, PaperSize::Millimetres(148), PaperSize::Millimetres(210)},
    {DMPAPER_B4, PaperSize::Millimetres(250), PaperSize::Millimetres(354)},
    {DMPAPER_B5, PaperSize::Millimetres(182), PaperSize::Millimetres(257)},
    {DMPAPER_FOLIO, PaperSize::Inches(8.5), PaperSize::Inches(13)},
    {DMPAPER_QUARTO, PaperSize::Millimetres(215), PaperSize::Millimetres(275)},
    {DMPAPER_ENV_10, PaperSize::Inches(4.125), PaperSize::Inches(9.5)},
};

// The size of a paper code; code 0 and no size for one we do not know.
constexpr PaperSize PaperSizeOf(short code)
{
    for (const PaperSize& p : kPaperSizes) {
        if (p.code == code)
            return p;
    }
    return PaperSize{0, 0, 0};
}

} // namespace platform
