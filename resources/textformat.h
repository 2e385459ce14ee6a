#pragma once
// Resource ids of textformat.

// The Font Properties dialog: the text format panel over a placeholder,
// and Done (IDCANCEL).
#define IDD_FONT_PROPERTIES 741
#define IDC_FONTPROPS_PANEL 867
