#pragma once
// Trees filled by the program rather than by the user: a flat or two-level
// list of items with text, 32-bit data, a picture per level and, when the
// tree control has TVS_CHECKBOXES, a check state of 0 or 1. The control is
// the dialog's tree view; the filler only drives it and owns nothing of it
// but, while m_bOwnsImages is set, the two level pictures and their image
// list. A concrete filler supplies Fill; CFolderTreeFiller fills from a
// folder scan instead.
//
// "By index" means in the order the items are shown when every item is
// open: each item, then its children.

#include "platform/base/Arrays.h"
#include "platform/base/String.h"
#include "platform/gdi/GdiObject.h"

struct TreeItemTag;
typedef TreeItemTag* HTREEITEM;
struct HIMAGELIST__;
typedef HIMAGELIST__* HIMAGELIST;

// The pictures of the two levels, in the support library.
#define IDB_TREE_LEVEL0 313
#define IDB_TREE_LEVEL1 314

class CTreeFiller {
public:
    static constexpr int kIndent = 20;
    static constexpr int kImageSize = 16;
    // The longest item text GetSelectedText reads: a Linux path's.
    static constexpr int kMaxItemText = 4096;
    // The range SelectInitial searches from.
    static constexpr int kFirstIndex = 0;

    explicit CTreeFiller(HWND hTree);
    virtual ~CTreeFiller();
    CTreeFiller(const CTreeFiller&) = delete;
    CTreeFiller& operator=(const CTreeFiller&) = delete;

    // Loads the level pictures (313 and 314 of the support library) and
    // gives them to the tree.
    virtual void LoadImages();
    // Adds the filler's items.
    virtual void Fill() = 0;
    // Indents of kIndent and images of kImageSize for the indented levels.
    virtual void SetIndents();
    // Draws again after a fill (redraw back on) and selects the start item.
    virtual void Refresh();
    // Clears the selection, then selects the first checked item when
    // m_bOwnsImages asks for it; no checked item leaves none selected.
    virtual void SelectInitial();

    // Redraw off; every item removed.
    void ResetTree();

    // An item under hParent (TVI_ROOT for the top) at the end of its
    // siblings, with the picture of its level and check state 0.
    HTREEITEM AddItem(HTREEITEM hParent, LPCTSTR lpszText, DWORD dwData, int nLevel);

    CString GetSelectedText() const;
    // The data of every item in check state 1, by index.
    void GetCheckedItems(CDWordArray& items);
    // Every top-level item gets the state (0 or 1).
    void CheckAll(int nState);
    // The selected item's check state flips when it has no children.
    void ToggleLeafCheck();
    // The selected item's check state moves on by one: 0 to 1, 1 to 0.
    void ToggleSelectedCheck();

    // 0 or 1; -1 for no such item.
    int GetCheckState(HTREEITEM hItem) const;
    void SetCheckState(HTREEITEM hItem, int nState);
    // The item at an index, or NULL; and how many items there are.
    HTREEITEM GetItemAt(int nIndex) const;
    int GetItemCount() const;

    void SetFilter(DWORD dw0, DWORD dw1, DWORD dw2, DWORD dw3);
    HWND GetTree() const { return m_hTree; }

    HWND m_hTree;
    CBitmap m_bmpLevel0;
    CBitmap m_bmpLevel1;
    BOOL m_bOwnsImages = TRUE;
    BOOL m_bIndentLevel0 = TRUE;
    BOOL m_bIndentLevel1 = TRUE;
    int m_nItemIndex = 0;
    DWORD m_dwFilter[4] = {0, 0, 0, 0};

protected:
    // The next item by index after hItem (NULL at the end).
    HTREEITEM NextByIndex(HTREEITEM hItem) const;
    HTREEITEM Next(HTREEITEM hItem, UINT nCode) const;

    HIMAGELIST m_hImages = NULL;
};
