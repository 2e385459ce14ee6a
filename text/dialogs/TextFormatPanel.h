#pragma once
// The text format panel: font, size, colour, style and alignment of the
// selected text object at one click, shown by the tool pad for a selected
// text and by the Font Properties dialog.

#include "platform/base/Types.h"

class CRect;
class CToolPadPanel;
class CWnd;

// Makes the text format panel (created hidden) as a child of pParent at
// rect; NULL when its window cannot be made.
CToolPadPanel* CreateTextFormatPanel(CWnd* pParent, const CRect& rect);
