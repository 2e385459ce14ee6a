#pragma once
// The program's picture buttons on a property sheet, and the one way its
// OK and Apply are told apart from other commands. Shared by the sheets
// that keep the property sheet's own buttons (Preferences, Ruler Setup).

#include "platform/framework/PropertySheet.h"

class C3DPicTrickBtn;

// Puts picture buttons on those of the sheet's OK, Cancel, Apply and Help
// that it has.
void SubclassSheetButtons(CPropertySheet* pSheet, C3DPicTrickBtn& btnOK, C3DPicTrickBtn& btnCancel,
    C3DPicTrickBtn& btnApply, C3DPicTrickBtn& btnHelp);

// What a command reaching a sheet's OnCommand is.
enum class SheetCommand {
    Other,    // not OK or Apply: the property sheet handles it
    Disabled, // OK or Apply while its button is disabled: nothing happens
    OK,
    Apply,
};
SheetCommand ClassifySheetCommand(CPropertySheet* pSheet, WPARAM wParam, LPARAM lParam);
