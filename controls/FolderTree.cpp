#include "controls/FolderTree.h"

#include "app/FolderScan.h"
#include "controls/DriveHelpers.h"
#include "controls/SupportBitmaps.h"
#include "platform/files/Drives.h"
#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"

#include <strings.h>

namespace {

constexpr UINT IDS_FOLDER_NOT_FOUND = 110;
constexpr int kDriveTypes = 7;
// Image list slots: the seven drive types first, then the five pictures.
constexpr int kImageComputer = kDriveTypes;
constexpr int kImageFolder = kDriveTypes + 1;
constexpr int kImageOpenFolder = kDriveTypes + 2;
constexpr int kImageNoMedium = kDriveTypes + 3;
constexpr int kImageUnreadable = kDriveTypes + 4;
constexpr UINT kPictureIds[5] = {IDB_FOLDER_TREE_COMPUTER, IDB_FOLDER_TREE_FOLDER, IDB_FOLDER_TREE_OPEN_FOLDER,
    IDB_FOLDER_TREE_NO_MEDIUM, IDB_FOLDER_TREE_UNREADABLE};
// The icons are drawn at their own size, then scaled to the tree's images.
constexpr int kIconCell = 32;

// Item data: the level in the low byte, and whether the sub-folders are read.
constexpr DWORD kLevelMask = 0xFF;
constexpr DWORD kListed = 0x100;

CString Folded(const CString& text)
{
    CString folded(text);
    folded.MakeUpper();
    return folded;
}

// "Label (C:)" gives "C:".
CString DriveOfText(const CString& text)
{
    int nOpen = text.ReverseFind('(');
    int nClose = text.ReverseFind(')');
    if (nOpen < 0 || nClose <= nOpen)
        return CString();
    return text.Mid(nOpen + 1, nClose - nOpen - 1);
}

} // namespace

CFolderTree::CFolderTree(HWND hTree)
    : m_hTree(hTree)
    , m_strRoot("My Computer")
{
    m_itemBitmaps.resize(1);
    InitTree();
}

CFolderTree::~CFolderTree()
{
    Cleanup();
}

void CFolderTree::Cleanup()
{
    if (m_hTree != NULL && ::IsWindow(m_hTree)) {
        ::SendMessage(m_hTree, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
        if (m_hImages != NULL && HIMAGELIST(::SendMessage(m_hTree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)) == m_hImages)
            ::SendMessage(m_hTree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    }
    m_hRoot = NULL;
    m_hCurrent = NULL;
    if (m_hImages != NULL) {
        ImageList_Destroy(m_hImages);
        m_hImages = NULL;
    }
    for (CBitmap& bitmap : m_bitmaps)
        bitmap.DeleteObject();
    for (auto& bitmap : m_itemBitmaps) {
        if (bitmap)
            bitmap->DeleteObject();
    }
}

void CFolderTree::InitTree()
{
    if (m_hTree == NULL)
        return;
    ::SendMessage(m_hTree, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
    MakeImages();
    ::SendMessage(m_hTree, TVM_SETINDENT, kIndent, 0);
    m_hRoot = InsertItem(TVI_ROOT, m_strRoot, kImageComputer, kImageComputer, kLevelRoot | kListed, TRUE, FALSE);
    ListDrives();
    if (m_hRoot != NULL)
        ::SendMessage(m_hTree, TVM_EXPAND, TVE_EXPAND, LPARAM(m_hRoot));
}

void CFolderTree::MakeImages()
{
    m_hImages = ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, kDriveTypes + 5, 0);
    if (m_hImages == NULL)
        return;
    CWindowDC screen(nullptr);
    for (UINT nType = 0; nType < UINT(kDriveTypes); ++nType) {
        CBitmap icon;
        CBitmap scaled;
        if (MakeIconBitmap(&screen, GetDriveTypeIcon(nType), kIconCell, kIconCell, icon)
            && StretchBitmap(&screen, icon, kIconCell, kIconCell, scaled, kImageSize, kImageSize))
            ImageList_Add(m_hImages, scaled, NULL);
        else
            ImageList_Add(m_hImages, NULL, NULL);
    }
    for (int i = 0; i < 5; ++i) {
        CBitmap scaled;
        BITMAP bm{};
        if (LoadSupportBitmap(m_bitmaps[i], kPictureIds[i]) && m_bitmaps[i].GetBitmap(&bm)
            && StretchBitmap(&screen, m_bitmaps[i], bm.bmWidth, bm.bmHeight, scaled, kImageSize, kImageSize))
            ImageList_AddMasked(m_hImages, scaled, RGB(255, 0, 255));
        else
            ImageList_Add(m_hImages, NULL, NULL);
    }
    ::SendMessage(m_hTree, TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(m_hImages));
}

void CFolderTree::ListDrives()
{
    if (m_hRoot == NULL)
        return;
    CWaitCursor wait;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        char root[4] = {letter, ':', '\\', '\0'};
        UINT nType = ::GetDriveType(root);
        if (nType <= DRIVE_NO_ROOT_DIR)
            continue;
        char drive[3] = {char(letter + ('a' - 'A')), ':', '\0'};
        // A drive whose medium is missing shows so, and has nothing to open.
        BOOL bReady = ::GetVolumeInformation(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0)
            || ::GetLastError() != ERROR_NOT_READY;
        int nImage = bReady ? int(nType) : kImageNoMedium;
        InsertItem(m_hRoot, GetDriveDisplayName(drive), nImage, nImage, DWORD(kLevelDrive) | (nType << 16), bReady,
            FALSE);
    }
}

HTREEITEM CFolderTree::InsertItem(HTREEITEM hParent, LPCTSTR lpszText, int nImage, int nSelectedImage,
    DWORD dwData, BOOL bHasChildren, BOOL bSorted)
{
    if (m_hTree == NULL)
        return NULL;
    TVINSERTSTRUCT ins{};
    ins.hParent = hParent;
    ins.hInsertAfter = bSorted ? TVI_SORT : TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    ins.item.pszText = const_cast<LPSTR>(lpszText);
    ins.item.iImage = nImage;
    ins.item.iSelectedImage = nSelectedImage;
    ins.item.lParam = LPARAM(dwData);
    ins.item.cChildren = bHasChildren ? 1 : 0;
    return HTREEITEM(::SendMessage(m_hTree, TVM_INSERTITEM, 0, LPARAM(&ins)));
}

HTREEITEM CFolderTree::Next(HTREEITEM hItem, UINT nCode) const
{
    return m_hTree != NULL ? HTREEITEM(::SendMessage(m_hTree, TVM_GETNEXTITEM, nCode, LPARAM(hItem))) : NULL;
}

DWORD CFolderTree::GetItemData(HTREEITEM hItem) const
{
    TVITEM item{};
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    item.hItem = hItem;
    if (hItem == NULL || m_hTree == NULL || !::SendMessage(m_hTree, TVM_GETITEM, 0, LPARAM(&item)))
        return 0xFFFFFFFF;
    return DWORD(item.lParam);
}

void CFolderTree::SetItemData(HTREEITEM hItem, DWORD dwData)
{
    TVITEM item{};
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    item.hItem = hItem;
    item.lParam = LPARAM(dwData);
    ::SendMessage(m_hTree, TVM_SETITEM, 0, LPARAM(&item));
}

void CFolderTree::SetHasChildren(HTREEITEM hItem, BOOL bHasChildren)
{
    TVITEM item{};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = hItem;
    item.cChildren = bHasChildren ? 1 : 0;
    ::SendMessage(m_hTree, TVM_SETITEM, 0, LPARAM(&item));
}

int CFolderTree::GetItemLevel(HTREEITEM hItem) const
{
    DWORD dwData = GetItemData(hItem);
    return dwData == 0xFFFFFFFF ? -1 : int(dwData & kLevelMask);
}

BOOL CFolderTree::IsListed(HTREEITEM hItem) const
{
    DWORD dwData = GetItemData(hItem);
    return dwData != 0xFFFFFFFF && (dwData & kListed) != 0;
}

CString CFolderTree::GetItemText(HTREEITEM hItem) const
{
    char buffer[MAX_PATH + 1] = {};
    TVITEM item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = buffer;
    item.cchTextMax = int(sizeof buffer);
    if (hItem == NULL || m_hTree == NULL || !::SendMessage(m_hTree, TVM_GETITEM, 0, LPARAM(&item)))
        return CString();
    return CString(buffer);
}

CString CFolderTree::GetItemPath(HTREEITEM hItem) const
{
    CString path;
    for (HTREEITEM h = hItem; h != NULL; h = Next(h, TVGN_PARENT)) {
        int nLevel = GetItemLevel(h);
        if (nLevel <= kLevelRoot)
            break;
        CString part = nLevel == kLevelDrive ? DriveOfText(GetItemText(h)) : GetItemText(h);
        path = path.IsEmpty() ? part : part + "\\" + path;
    }
    // A drive alone is its root.
    if (path.GetLength() == 2 && path[1] == ':')
        path += '\\';
    return path;
}

CString CFolderTree::GetSelectedPath()
{
    HTREEITEM hItem = Next(NULL, TVGN_CARET);
    m_hCurrent = hItem;
    m_nLevel = hItem != NULL ? GetItemLevel(hItem) : 0;
    m_strPath = hItem != NULL ? GetItemPath(hItem) : CString();
    return m_strPath;
}

HTREEITEM CFolderTree::FindChild(HTREEITEM hParent, LPCTSTR lpszName) const
{
    CString wanted = Folded(lpszName != nullptr ? lpszName : "");
    for (HTREEITEM h = Next(hParent, TVGN_CHILD); h != NULL; h = Next(h, TVGN_NEXT)) {
        CString text = GetItemText(h);
        if (GetItemLevel(h) == kLevelDrive)
            text = DriveOfText(text);
        if (Folded(text) == wanted)
            return h;
    }
    return NULL;
}

BOOL CFolderTree::ListFolder(HTREEITEM hItem)
{
    DWORD dwData = GetItemData(hItem);
    if (dwData == 0xFFFFFFFF || (dwData & kListed))
        return TRUE;
    SetItemData(hItem, dwData | kListed);
    CString folder = GetItemPath(hItem);
    if (folder.IsEmpty())
        return TRUE;
    if (folder[folder.GetLength() - 1] != '\\')
        folder += '\\';
    // A drive root is asked with its backslash, a folder without.
    CString probe = folder.GetLength() == 3 ? folder : folder.Left(folder.GetLength() - 1);
    DWORD dwAttributes = CFileFinder::GetAttributes(probe);
    if (dwAttributes == 0xFFFFFFFF || !(dwAttributes & _A_SUBDIR)) {
        SetHasChildren(hItem, FALSE);
        ::AfxMessageBox(IDS_FOLDER_NOT_FOUND);
        return FALSE;
    }
    CWaitCursor wait;
    int nLevel = int(dwData & kLevelMask);
    DWORD dwChild = DWORD(nLevel + 1 < int(kLevelMask) ? nLevel + 1 : int(kLevelMask));
    CFileFinder finder(folder, "", _A_SUBDIR);
    finder.ExcludeDotEntries();
    int nAdded = 0;
    CString path;
    for (BOOL bFound = finder.FindFirst(path); bFound; bFound = finder.FindNext(path)) {
        if (!(finder.GetFindData().attrib & _A_SUBDIR))
            continue;
        InsertItem(hItem, finder.GetFindData().name, kImageFolder, kImageOpenFolder, dwChild, TRUE, TRUE);
        ++nAdded;
    }
    if (nAdded == 0)
        SetHasChildren(hItem, FALSE);
    return TRUE;
}

void CFolderTree::Expand(HTREEITEM hItem)
{
    ::SendMessage(m_hTree, TVM_EXPAND, TVE_EXPAND, LPARAM(hItem));
}

void CFolderTree::ExpandToPath(LPCTSTR lpszPath)
{
    if (m_hTree == NULL || m_hRoot == NULL)
        return;
    CString path(lpszPath != nullptr ? lpszPath : "");
    HTREEITEM hReached = m_hRoot;
    Expand(m_hRoot);
    int nStart = 0;
    while (nStart < path.GetLength()) {
        int nSlash = path.Find('\\', nStart);
        CString part = nSlash < 0 ? path.Mid(nStart) : path.Mid(nStart, nSlash - nStart);
        nStart = nSlash < 0 ? path.GetLength() : nSlash + 1;
        if (part.IsEmpty())
            continue;
        if (hReached != m_hRoot && !ListFolder(hReached))
            break;
        HTREEITEM hChild = FindChild(hReached, part);
        if (hChild == NULL)
            break;
        if (hReached != m_hRoot)
            Expand(hReached);
        hReached = hChild;
    }
    ::SendMessage(m_hTree, TVM_SELECTITEM, TVGN_CARET, LPARAM(hReached));
    ::SendMessage(m_hTree, TVM_ENSUREVISIBLE, 0, LPARAM(hReached));
    GetSelectedPath();
}

BOOL CFolderTree::OnItemActivated(WPARAM, LPARAM lParam)
{
    HTREEITEM hItem = HTREEITEM(lParam);
    if (GetItemLevel(hItem) < 0)
        return FALSE;
    if (!IsListed(hItem) && GetItemLevel(hItem) > kLevelRoot) {
        if (ListFolder(hItem))
            Expand(hItem);
    }
    GetSelectedPath();
    return TRUE;
}

BOOL CFolderTree::ExpandItem(WPARAM wParam, LPARAM lParam)
{
    HTREEITEM hItem = HTREEITEM(lParam);
    if (GetItemLevel(hItem) < 0)
        return FALSE;
    // The tree opens or closes the item itself once this returns; an item
    // about to open needs its sub-folders first.
    if (HIWORD(wParam) != TVE_COLLAPSE && !IsListed(hItem))
        ListFolder(hItem);
    GetSelectedPath();
    return TRUE;
}
