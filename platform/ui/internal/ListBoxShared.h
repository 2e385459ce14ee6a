#pragma once
// What the list box, combo box and edit control share inside platform/ui.
//
// The combo box keeps its items in a list-box window of its own (a "ComboLBox"
// popup for the drop-down styles, a child "ComboLBox" for CBS_SIMPLE) and
// talks to it with the LB_ messages, so there is one list implementation.

#include "platform/base/Types.h"

namespace platform {

// Installs the procedures of "ListBox", "ComboLBox", "ComboBox" and "Edit".
// Built-in classes start with DefWindowProc after every window-system reset,
// so this is called again after each reset.
void InstallListAndEditControls();

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Makes `list` the item list of `combo`: owner-draw requests then name the
// combo (ODT_COMBOBOX) and go to the combo's parent, and a click that ends a
// selection is reported with ComboListChoiceMade.
void AttachListToCombo(HWND list, HWND combo);
// The list of a combo box told that the user picked an item by mouse.
void ComboListChoiceMade(HWND combo);

} // namespace platform
