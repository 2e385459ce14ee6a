#pragma once
// The colour and print common dialogs, and the message box built as one of
// our own dialogs.

#include "platform/base/Types.h"
#include "platform/base/UiRecords.h"

#include <functional>
#include <string>
#include <vector>

// Control ids of the colour dialog a hook may address.
#define COLOR_RED 706
#define COLOR_GREEN 707
#define COLOR_BLUE 708
#define COLOR_CURRENT 709
#define COLOR_ADD 712
#define COLOR_MIX 719
#define COLOR_BOX1 720     // the first of the 48 basic colours
#define COLOR_CUSTOM1 721  // the first of the 16 custom colours
// Our swatches are one button each, numbered from these.
#define COLOR_BASIC_FIRST 0x7100
#define COLOR_CUSTOM_FIRST 0x7140

// Control ids of the print and print-setup dialogs.
#define PD_ID_PRINTER 1139  // printer combo box
#define PD_ID_PAPER 1137    // paper combo box
#define PD_ID_PORTRAIT 1056
#define PD_ID_LANDSCAPE 1057
#define PD_ID_COPIES 1154
#define PD_ID_HELP 1038

// A modal colour dialog. TRUE with rgbResult and the custom colours set when
// the user chose OK; FALSE (nothing changed) on Cancel or a bad record.
BOOL ChooseColor(LPCHOOSECOLOR lpcc);

// The print dialog, the print-setup dialog (PD_PRINTSETUP), or with
// PD_RETURNDEFAULT no dialog at all: the default printer's DEVMODE and
// DEVNAMES in new global blocks. hDevMode/hDevNames given on entry choose
// the initial printer and settings; on TRUE they are replaced (the old
// blocks freed). PD_RETURNDC also makes the printer DC.
BOOL PrintDlg(LPPRINTDLG lppd);

namespace platform {

// A printer the print dialogs offer.
struct PrinterChoice {
    std::string device; // shown and written to DEVNAMES / dmDeviceName (1252)
    std::string driver;
    std::string port;
    bool isDefault = false; // the printer PD_RETURNDEFAULT and the dialogs start with
};
// The printing services list their printers through this; the PDF-file
// printer is always offered first, whatever the provider gives. The first
// entry marked default is the default printer; when none is, the PDF-file
// printer is. An empty function removes the provider.
void SetPrinterListProvider(std::function<std::vector<PrinterChoice>()> provider);
// The list as offered, exactly one entry marked default.
std::vector<PrinterChoice> AvailablePrinters();

// The printing services describe a printer's own settings (driver version,
// orientation, paper, resolution) through this: given a device name as
// listed, it fills the DEVMODE and answers true, or false for a printer it
// does not know. The dialogs hand back these settings with the user's
// choices of paper, orientation and copies over them. Without a provider
// the DEVMODE holds only what the dialogs themselves choose. An empty
// function removes the provider.
using PrinterDevModeProvider = std::function<bool(const std::string& device, DEVMODEA& devMode)>;
void SetPrinterDevModeProvider(PrinterDevModeProvider provider);

// The message box as our own dialog: text wrapped, the buttons, icon,
// default button and Help button of `type`. Create makes it modeless (for
// tests and for a back end that runs its own loop); the buttons end it with
// EndDialog(id) and it then destroys itself. Run shows it modally and
// answers the button pressed. Texts are 1252.
HWND CreateMessageBoxDialog(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
int RunMessageBoxDialog(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// The answer a modeless box ended with (0 while it is open or unknown).
int MessageBoxDialogResult(HWND box);

} // namespace platform
