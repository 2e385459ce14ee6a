#pragma once
// The Page Setup sheet (Style, Size and Format pages): the project kind, the
// paper and its orientation, and the card size of label sheets, turned into
// a design's page-layout record.
//
// Two uses. A design's page set-up command edits a working copy of its
// record: IDOK means the copy was changed, 0 that the user cancelled and the
// copy is as it was. The new-blank-design path asks for a layout and then
// creates the design: the application's record takes the chosen layout and a
// new document of the chosen kind opens through its template; 0 means the
// user cancelled (or no design could be made) and nothing was created.

#include "platform/base/Types.h"

class CWnd;
struct DocQuickInfo;

// Paper sizes the sheet offers, in hundredths of an inch (portrait).
enum class PaperSize : int { Letter = 0, A4 = 1 };
constexpr LONG kLetterWidth = 850;
constexpr LONG kLetterHeight = 1100;
constexpr LONG kA4Width = 827;
constexpr LONG kA4Height = 1169;
// The mouse pad is always a landscape card of this size.
constexpr LONG kMousePadWidth = 925;
constexpr LONG kMousePadHeight = 775;
// A new label sheet's cards.
constexpr LONG kDefaultLabelWidth = 400;
constexpr LONG kDefaultLabelHeight = 200;
// Card sizes the label kind accepts.
constexpr LONG kMinLabelSide = 50;

// What the sheet lets the user choose.
struct PageSetupChoice {
    int nKind = 5;               // project kind 0..5
    PaperSize paper = PaperSize::Letter;
    BOOL bLandscape = FALSE;
    LONG nCardWidth = kDefaultLabelWidth;  // label kind only
    LONG nCardHeight = kDefaultLabelHeight;
};

// Printer margins in hundredths of an inch (left, top, right, bottom).
struct PageMargins {
    LONG left = 25;
    LONG top = 25;
    LONG right = 25;
    LONG bottom = 25;
};

// The default printer's paper (A4 when its paper is A4-sized, else Letter)
// and its margins; without a printer Letter with margins of 25.
PaperSize DefaultPaperSize();
PageMargins DefaultPrinterMargins();

// The choice a record stands for (kind, paper, orientation, card size); a
// record that was never set up gives the defaults for nKind.
PageSetupChoice ChoiceFromLayout(const DocQuickInfo& info, int nKind);
// Writes the layout of a choice into a record, keeping its other values:
// kind, set-up mark, orientation, sheet size, card size, tiles, centring and
// the label offsets and gaps. Values out of range are brought into range
// first (kind 5, the smallest card side, the sheet's size).
void ApplyPageLayout(DocQuickInfo& info, const PageSetupChoice& choice, const PageMargins& margins);

// The document's command: runs the sheet on a working copy (kind fixed).
int RunPageSetup(DocQuickInfo& info, CWnd* pParent = nullptr);
// The new-blank-design path: the request's kind and option, bCreate (1),
// and its two trailing values. With bCreate the design is created on OK.
// Answers IDOK when a design was made (or, without bCreate, chosen), 0 when
// cancelled.
int RunPageSetup(LONG nKind, LONG nOption, BOOL bCreate, LONG nValue1, LONG nValue2, CWnd* pParent = nullptr);
