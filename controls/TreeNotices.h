#pragma once
// The two notices a tree of the kit sends its dialog: an item was activated
// (chosen by click or keys), and an item is being opened or closed. The
// dialog turns the tree view's own notifications into them with
// ForwardTreeNotice from its OnNotify, so the folder picker and the kit
// list answer one pair of messages whatever the tree control says.
//
// Both are sent to the dialog with wParam = MAKEWPARAM(control id, action)
// (action: TVE_EXPAND or TVE_COLLAPSE for the second, 0 for the first) and
// lParam = the item's HTREEITEM.

#include "platform/base/Types.h"

struct NMHDR;

#define WM_TREE_ITEM_ACTIVATED 0x04A0
#define WM_TREE_ITEM_EXPANDING 0x04AA

// Sends pOwner the notice of a tree view notification (TVN_SELCHANGED
// gives the first, TVN_ITEMEXPANDING the second); FALSE, nothing sent, for
// any other notification.
BOOL ForwardTreeNotice(HWND hOwner, const NMHDR* pHeader);
