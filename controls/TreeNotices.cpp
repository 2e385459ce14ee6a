#include "controls/TreeNotices.h"

#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"

BOOL ForwardTreeNotice(HWND hOwner, const NMHDR* pHeader)
{
    if (hOwner == NULL || pHeader == nullptr)
        return FALSE;
    const auto* pTree = reinterpret_cast<const NMTREEVIEW*>(pHeader);
    WORD wID = WORD(pHeader->idFrom);
    switch (pHeader->code) {
    case TVN_SELCHANGED:
        if (pTree->itemNew.hItem == NULL)
            return FALSE;
        ::SendMessage(hOwner, WM_TREE_ITEM_ACTIVATED, MAKEWPARAM(wID, 0), LPARAM(pTree->itemNew.hItem));
        return TRUE;
    case TVN_ITEMEXPANDING:
        ::SendMessage(hOwner, WM_TREE_ITEM_EXPANDING, MAKEWPARAM(wID, WORD(pTree->action)),
            LPARAM(pTree->itemNew.hItem));
        return TRUE;
    default:
        return FALSE;
    }
}
