#pragma once
// The program's private window messages. Each is posted unless its sender
// says otherwise; the handlers answer 0 unless noted.

#include "platform/base/Types.h"

// To a design view: a new calendar item was made (the calendar document).
constexpr UINT WM_TW_NEW_CALENDAR_ITEM = 0x505;
// Sent by the application's idle handler to the active MDI child (wParam 0,
// lParam 5); the design frame answers by sending WM_SURFACE_SELCHANGED to
// the main window.
constexpr UINT WM_TW_IDLE_REFRESH = 0x507;
// To the main window: a new blank design through Page Setup (wParam kind or
// 0, lParam value or 0).
constexpr UINT WM_TW_NEW_BLANK_DESIGN = 0x508;
// To the main window: show / hide the tool pad.
constexpr UINT WM_TW_SHOW_TOOLPAD = 0x509;
constexpr UINT WM_TW_HIDE_TOOLPAD = 0x510;
// To the main window: re-lay the tool pad after a mouse action or a new
// selection.
constexpr UINT WM_SURFACE_SELCHANGED = 0x511;
// To the main window: look for a companion request.
constexpr UINT WM_TW_COMPANION_START = 0x513;
// To the main window: a pre-designed design (wParam 1 = straight to the
// Design Wizard); answers 1.
constexpr UINT WM_TW_PREDESIGNED_DESIGN = 0x515;
// From the drawing document to its child frame: save through the frame.
constexpr UINT WM_TW_DOC_SAVE = 0x517;
