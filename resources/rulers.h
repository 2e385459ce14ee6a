#pragma once
// Resource ids of the rulers of the design frame.

// The empty dialog bar both rulers are made from.
#define IDD_RULER_BAR 268
// The ruler's context menu.
#define IDR_POPUP_RULER 242
// The corner box picture of the top ruler (in the support library).
#define IDB_RULER_CORNER 241

// "Pr&operties..." of the ruler's context menu: Ruler Setup on its Units
// page. The frame handles it.
#define ID_RULER_PROPERTIES 32822
