#pragma once
// The tree view's model, shared by its message handling (TreeView.cpp) and
// its painting (TreeViewPaint.cpp). Items are ids into `items`; a deleted
// item's id never comes back, so a stale HTREEITEM finds nothing.

#include "platform/ui/CommCtrl.h"

#include <map>
#include <string>
#include <vector>

namespace platform {

using TreeId = ULONG_PTR; // 0 is the hidden root

struct TreeNode {
    TreeId parent = 0;
    std::vector<TreeId> children;
    std::string text;
    bool textCallback = false;
    int image = 0;
    int selectedImage = 0;
    UINT state = 0;
    int childrenFlag = 0; // as given with TVIF_CHILDREN
    bool childrenGiven = false;
    LPARAM lParam = 0;
};

struct TreeState {
    std::map<TreeId, TreeNode> items; // includes the root (0)
    TreeId nextId = 1;
    TreeId caret = 0;
    int top = 0; // index of the first visible row
    int indent = 19;
    HIMAGELIST normal = NULL;
    HIMAGELIST stateImages = NULL;
    HFONT font = NULL;
    bool focused = false;
    // WM_SETREDRAW FALSE: the rows and the scroll bar are worked out once,
    // when redrawing is turned back on, not after every change.
    bool redrawOff = false;

    TreeState() { items[0] = TreeNode{}; }
};

struct TreeRow {
    TreeId id;
    int level;
};

// Rows of the expanded tree in display order.
std::vector<TreeRow> VisibleRows(const TreeState& s);
int RowHeight(const TreeState& s);
// Whether an item shows a +/- button (asks the owner for I_CHILDRENCALLBACK).
bool HasChildren(HWND hwnd, const TreeState& s, TreeId id);

// The pieces of one row, in client coordinates.
struct TreeRowGeometry {
    RECT row;
    RECT button; // empty when the level has no button column
    RECT stateIcon; // empty without a state list or check boxes
    RECT icon; // empty without an image list
    RECT label;
};
TreeRowGeometry RowGeometry(HWND hwnd, const TreeState& s, int rowIndex, const TreeRow& r);
std::string DisplayText(HWND hwnd, const TreeState& s, TreeId id);

void PaintTree(HWND hwnd, TreeState& s);

} // namespace platform
