#pragma once
// The drive-and-folder tree of the folder picker and the picture open
// dialog, over the dialog's tree view: a root item "My Computer" holding
// the drives of the drive table (each with its icon, its display name and
// its letter in parentheses), and below each drive its folders, read from
// the disk the first time an item opens.
//
// The dialog owns the object from its initialisation to its destruction,
// when Cleanup runs; the tree view stays the dialog's. The object owns the
// tree's pictures and their image list. The dialog passes the tree's two
// notices (TreeNotices.h) to OnItemActivated and ExpandItem.

#include "platform/base/String.h"
#include "platform/gdi/GdiObject.h"

#include <memory>
#include <vector>

struct TreeItemTag;
typedef TreeItemTag* HTREEITEM;
struct HIMAGELIST__;
typedef HIMAGELIST__* HIMAGELIST;

// The tree's pictures in the support library: the computer, a closed and
// an open folder, a drive without its medium and a folder that cannot be
// read.
#define IDB_FOLDER_TREE_COMPUTER 433
#define IDB_FOLDER_TREE_FOLDER 434
#define IDB_FOLDER_TREE_OPEN_FOLDER 435
#define IDB_FOLDER_TREE_NO_MEDIUM 436
#define IDB_FOLDER_TREE_UNREADABLE 507

class CFolderTree {
public:
    static constexpr int kImageSize = 17;
    static constexpr int kIndent = 17;
    // Item levels: the root, the drives, then folders.
    static constexpr int kLevelRoot = 0;
    static constexpr int kLevelDrive = 1;

    // Builds the tree on the tree view: pictures, the root and the drives.
    explicit CFolderTree(HWND hTree);
    ~CFolderTree();
    CFolderTree(const CFolderTree&) = delete;
    CFolderTree& operator=(const CFolderTree&) = delete;

    // Removes every item and frees the pictures.
    void Cleanup();

    // Opens the drive and each folder of the path in turn, listing what is
    // not listed yet, and selects the last item reached: a level that is
    // not there stops the opening at the level before it.
    void ExpandToPath(LPCTSTR lpszPath);
    // The selected item's path ("C:\pics\cats", "D:\" for a drive; empty
    // for the root or no selection); it also becomes the current path.
    CString GetSelectedPath();

    // The notices: TRUE when the item was the tree's and was handled.
    BOOL OnItemActivated(WPARAM wParam, LPARAM lParam);
    BOOL ExpandItem(WPARAM wParam, LPARAM lParam);

    // The path of an item (as GetSelectedPath builds it).
    CString GetItemPath(HTREEITEM hItem) const;
    // The item's level: 0 root, 1 drive, 2 and more folders; -1 when none.
    int GetItemLevel(HTREEITEM hItem) const;
    // Whether the item's sub-folders have been read.
    BOOL IsListed(HTREEITEM hItem) const;
    // The child of hParent whose text (or, for drives, letter) matches.
    HTREEITEM FindChild(HTREEITEM hParent, LPCTSTR lpszName) const;
    CString GetItemText(HTREEITEM hItem) const;
    HTREEITEM GetRootItem() const { return m_hRoot; }

    HWND m_hTree;
    HTREEITEM m_hCurrent = NULL;
    CString m_strRoot;
    CString m_strPath;
    int m_nLevel = 0;
    CBitmap m_bitmaps[5];
    std::vector<std::unique_ptr<CBitmap>> m_itemBitmaps;

private:
    void InitTree();
    void MakeImages();
    void ListDrives();
    // Reads the folder's sub-folders into the tree; FALSE when it does not
    // exist (the user is told).
    BOOL ListFolder(HTREEITEM hItem);
    HTREEITEM InsertItem(HTREEITEM hParent, LPCTSTR lpszText, int nImage, int nSelectedImage, DWORD dwData,
        BOOL bHasChildren, BOOL bSorted);
    DWORD GetItemData(HTREEITEM hItem) const;
    void SetItemData(HTREEITEM hItem, DWORD dwData);
    void SetHasChildren(HTREEITEM hItem, BOOL bHasChildren);
    HTREEITEM Next(HTREEITEM hItem, UINT nCode) const;
    void Expand(HTREEITEM hItem);

    HTREEITEM m_hRoot = NULL;
    HIMAGELIST m_hImages = NULL;
};
