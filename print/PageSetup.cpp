#include "print/PageSetup.h"

#include "app/main/DesignerApp.h"
#include "app/main/DocTemplates.h"
#include "model/DocQuickInfo.h"
#include "platform/base/Arithmetic.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "print/PageSetupSheet.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kShirt = 0;
constexpr int kApparel = 1;
constexpr int kMousePad = 2;
constexpr int kCalendar = 3;
constexpr int kLabel = 4;
constexpr int kGeneral = 5;
// A printer page within this many hundredths of A4 is taken as A4.
constexpr LONG kPaperTolerance = 15;
// Margins larger than this are not believed (a printer reporting nonsense).
constexpr LONG kMaxMargin = 200;

int ValidKind(LONG nKind)
{
    return (nKind >= kShirt && nKind <= kGeneral) ? int(nKind) : kGeneral;
}

LONG ClampMargin(LONG value)
{
    return std::clamp<LONG>(value, 0, kMaxMargin);
}

// The default printer's DC, or FALSE without a printer.
BOOL DefaultPrinterDC(CDC& dc)
{
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->CreatePrinterDC(dc);
}

void PaperDimensions(PaperSize paper, LONG& width, LONG& height)
{
    switch (paper) {
    case PaperSize::A4:
        width = kA4Width;
        height = kA4Height;
        return;
    case PaperSize::Letter:
        width = kLetterWidth;
        height = kLetterHeight;
        return;
    }
    width = kLetterWidth;
    height = kLetterHeight;
}

int RunSheet(PageSetupChoice& choice, BOOL bKindFixed, CWnd* pParent)
{
    CPageSetupSheet sheet(choice, bKindFixed, pParent);
    if (sheet.DoModal() != IDOK)
        return 0;
    choice = sheet.m_choice;
    return IDOK;
}

} // namespace

PaperSize DefaultPaperSize()
{
    CDC dc;
    if (!DefaultPrinterDC(dc))
        return PaperSize::Letter;
    int dpiX = dc.GetDeviceCaps(LOGPIXELSX);
    int dpiY = dc.GetDeviceCaps(LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0)
        return PaperSize::Letter;
    LONG width = ::MulDiv(dc.GetDeviceCaps(PHYSICALWIDTH), 100, dpiX);
    LONG height = ::MulDiv(dc.GetDeviceCaps(PHYSICALHEIGHT), 100, dpiY);
    LONG shortSide = std::min(width, height);
    LONG longSide = std::max(width, height);
    if (std::abs(shortSide - kA4Width) <= kPaperTolerance && std::abs(longSide - kA4Height) <= kPaperTolerance)
        return PaperSize::A4;
    return PaperSize::Letter;
}

PageMargins DefaultPrinterMargins()
{
    PageMargins margins;
    CDC dc;
    if (!DefaultPrinterDC(dc))
        return margins;
    int dpiX = dc.GetDeviceCaps(LOGPIXELSX);
    int dpiY = dc.GetDeviceCaps(LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0)
        return margins;
    LONG width = ::MulDiv(dc.GetDeviceCaps(PHYSICALWIDTH), 100, dpiX);
    LONG height = ::MulDiv(dc.GetDeviceCaps(PHYSICALHEIGHT), 100, dpiY);
    margins.left = ClampMargin(::MulDiv(dc.GetDeviceCaps(PHYSICALOFFSETX), 100, dpiX));
    margins.top = ClampMargin(::MulDiv(dc.GetDeviceCaps(PHYSICALOFFSETY), 100, dpiY));
    margins.right = ClampMargin(width - margins.left - ::MulDiv(dc.GetDeviceCaps(HORZRES), 100, dpiX));
    margins.bottom = ClampMargin(height - margins.top - ::MulDiv(dc.GetDeviceCaps(VERTRES), 100, dpiY));
    // The layouts are worked out on a portrait sheet.
    if (width > height)
        margins = PageMargins{margins.bottom, margins.left, margins.top, margins.right};
    return margins;
}

PageSetupChoice ChoiceFromLayout(const DocQuickInfo& info, int nKind)
{
    PageSetupChoice choice;
    choice.nKind = ValidKind(nKind);
    bool bSetUp = info[DocQuickInfo::Unset] != -1 && info[DocQuickInfo::Kind] == choice.nKind
        && info[DocQuickInfo::SheetWidth] > 0 && info[DocQuickInfo::SheetHeight] > 0;
    if (!bSetUp) {
        choice.paper = DefaultPaperSize();
        choice.bLandscape = choice.nKind == kMousePad;
        return choice;
    }
    LONG shortSide = std::min(info[DocQuickInfo::SheetWidth], info[DocQuickInfo::SheetHeight]);
    LONG longSide = std::max(info[DocQuickInfo::SheetWidth], info[DocQuickInfo::SheetHeight]);
    choice.paper = (std::abs(shortSide - kA4Width) <= kPaperTolerance && std::abs(longSide - kA4Height) <= kPaperTolerance)
        ? PaperSize::A4
        : PaperSize::Letter;
    choice.bLandscape = info[DocQuickInfo::Orientation] <= 0 || choice.nKind == kMousePad;
    if (choice.nKind == kLabel) {
        choice.nCardWidth = info[DocQuickInfo::CardWidth];
        choice.nCardHeight = info[DocQuickInfo::CardHeight];
    }
    return choice;
}

void ApplyPageLayout(DocQuickInfo& info, const PageSetupChoice& choiceIn, const PageMargins& marginsIn)
{
    PageSetupChoice choice = choiceIn;
    choice.nKind = ValidKind(choice.nKind);
    if (choice.nKind == kMousePad)
        choice.bLandscape = TRUE;
    PageMargins margins{ClampMargin(marginsIn.left), ClampMargin(marginsIn.top), ClampMargin(marginsIn.right),
        ClampMargin(marginsIn.bottom)};

    LONG sheetWidth = 0;
    LONG sheetHeight = 0;
    PaperDimensions(choice.paper, sheetWidth, sheetHeight);
    LONG lossX = margins.left + margins.right;
    LONG lossY = margins.top + margins.bottom;
    if (choice.bLandscape) {
        std::swap(sheetWidth, sheetHeight);
        std::swap(lossX, lossY);
    }

    // Offsets and gaps a design already has are its own; a new layout, or a
    // design changing kind, starts from the defaults the label set-up fills.
    bool bKeepPlacement = info[DocQuickInfo::Unset] != -1 && info[DocQuickInfo::Kind] == choice.nKind;

    info[DocQuickInfo::Kind] = choice.nKind;
    info[DocQuickInfo::Unset] = 0;
    info[DocQuickInfo::Orientation] = choice.bLandscape ? 0 : 1;
    info[DocQuickInfo::SheetWidth] = sheetWidth;
    info[DocQuickInfo::SheetHeight] = sheetHeight;
    info[DocQuickInfo::TilesAcross] = 1;
    info[DocQuickInfo::TilesDown] = 1;
    info[DocQuickInfo::Tiled] = 0;

    LONG cardWidth = sheetWidth;
    LONG cardHeight = sheetHeight;
    LONG centre = 0;
    switch (choice.nKind) {
    case kShirt:
        // The transfer covers what the printer can reach of the sheet.
        cardWidth = std::max<LONG>(sheetWidth - lossX, kMinLabelSide);
        cardHeight = std::max<LONG>(sheetHeight - lossY, kMinLabelSide);
        centre = 1;
        break;
    case kMousePad:
        cardWidth = std::min(kMousePadWidth, sheetWidth);
        cardHeight = std::min(kMousePadHeight, sheetHeight);
        centre = 1;
        break;
    case kLabel:
        cardWidth = std::clamp(choice.nCardWidth, kMinLabelSide, sheetWidth);
        cardHeight = std::clamp(choice.nCardHeight, kMinLabelSide, sheetHeight);
        centre = 1;
        break;
    case kApparel:
    case kCalendar:
    case kGeneral:
        break;
    }
    info[DocQuickInfo::CardWidth] = cardWidth;
    info[DocQuickInfo::CardHeight] = cardHeight;
    info[DocQuickInfo::Centre] = centre;
    if (!bKeepPlacement) {
        info[DocQuickInfo::CardsAcross] = 0;
        info[DocQuickInfo::CardsDown] = 0;
        info[DocQuickInfo::OffsetX] = -1;
        info[DocQuickInfo::OffsetY] = -1;
        info[DocQuickInfo::GapX] = -1;
        info[DocQuickInfo::GapY] = 0;
    }
}

int RunPageSetup(DocQuickInfo& info, CWnd* pParent)
{
    int nKind = ValidKind(info[DocQuickInfo::Kind]);
    PageSetupChoice choice = ChoiceFromLayout(info, nKind);
    if (RunSheet(choice, TRUE, pParent) != IDOK)
        return 0;
    choice.nKind = nKind;
    ApplyPageLayout(info, choice, DefaultPrinterMargins());
    return IDOK;
}

int RunPageSetup(LONG nKind, LONG /*nOption*/, BOOL bCreate, LONG /*nValue1*/, LONG /*nValue2*/, CWnd* pParent)
{
    DocQuickInfo layout;
    InitDocQuickInfo(layout);
    PageSetupChoice choice = ChoiceFromLayout(layout, ValidKind(nKind));
    if (RunSheet(choice, FALSE, pParent) != IDOK)
        return 0;
    ApplyPageLayout(layout, choice, DefaultPrinterMargins());
    if (!bCreate)
        return IDOK;

    // A new document starts as a copy of the application's record.
    CDesignerApp* pApp = GetDesignerApp();
    if (pApp != nullptr)
        pApp->GetDocQuickInfo() = layout;
    CDesignDocTemplate* pTemplate = FindDocTemplateByKind(layout[DocQuickInfo::Kind]);
    if (pTemplate == nullptr)
        return 0;
    return pTemplate->OpenDocumentFile(nullptr) != nullptr ? IDOK : 0;
}
