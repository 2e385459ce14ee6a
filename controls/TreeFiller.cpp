#include "controls/TreeFiller.h"

#include "controls/SupportBitmaps.h"
#include "platform/ui/CommCtrl.h"
#include "platform/ui/User.h"

#include <cstring>
#include <vector>

namespace {

constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN;
// Check states are kept as state images: 1 unchecked, 2 checked.
constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;

} // namespace

CTreeFiller::CTreeFiller(HWND hTree)
    : m_hTree(hTree)
{
    ResetTree();
}

CTreeFiller::~CTreeFiller()
{
    if (m_hTree != NULL && ::IsWindow(m_hTree) && m_hImages != NULL
        && HIMAGELIST(::SendMessage(m_hTree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)) == m_hImages)
        ::SendMessage(m_hTree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    if (m_bOwnsImages && m_hImages != NULL)
        ImageList_Destroy(m_hImages);
    if (!m_bOwnsImages) {
        m_bmpLevel0.Detach();
        m_bmpLevel1.Detach();
    }
}

void CTreeFiller::ResetTree()
{
    if (m_hTree == NULL)
        return;
    ::SendMessage(m_hTree, WM_SETREDRAW, FALSE, 0);
    ::SendMessage(m_hTree, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
    m_nItemIndex = 0;
}

void CTreeFiller::LoadImages()
{
    if (m_hTree == NULL)
        return;
    m_bmpLevel0.DeleteObject();
    m_bmpLevel1.DeleteObject();
    LoadSupportBitmap(m_bmpLevel0, IDB_TREE_LEVEL0);
    LoadSupportBitmap(m_bmpLevel1, IDB_TREE_LEVEL1);
    if (m_hImages == NULL)
        m_hImages = ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, 2, 0);
    if (m_hImages == NULL)
        return;
    ImageList_Remove(m_hImages, -1);
    // The level pictures use the button key colour as their transparent ground.
    ImageList_AddMasked(m_hImages, m_bmpLevel0, RGB(255, 0, 255));
    ImageList_AddMasked(m_hImages, m_bmpLevel1, RGB(255, 0, 255));
    ::SendMessage(m_hTree, TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(m_hImages));
}

void CTreeFiller::SetIndents()
{
    if (m_hTree == NULL)
        return;
    // The tree view has one indent for every level: the outer level's.
    int nIndent = (m_bIndentLevel0 || m_bIndentLevel1) ? kIndent : 0;
    ::SendMessage(m_hTree, TVM_SETINDENT, WPARAM(nIndent), 0);
}

void CTreeFiller::Refresh()
{
    if (m_hTree == NULL)
        return;
    ::SendMessage(m_hTree, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(m_hTree, nullptr, NULL, kRedrawAll);
    SelectInitial();
}

void CTreeFiller::SelectInitial()
{
    if (m_hTree == NULL)
        return;
    ::SendMessage(m_hTree, TVM_SELECTITEM, TVGN_CARET, 0);
    if (!m_bOwnsImages)
        return;
    for (HTREEITEM hItem = GetItemAt(kFirstIndex); hItem != NULL; hItem = NextByIndex(hItem)) {
        if (GetCheckState(hItem) == 1) {
            ::SendMessage(m_hTree, TVM_SELECTITEM, TVGN_CARET, LPARAM(hItem));
            return;
        }
    }
}

HTREEITEM CTreeFiller::AddItem(HTREEITEM hParent, LPCTSTR lpszText, DWORD dwData, int nLevel)
{
    if (m_hTree == NULL)
        return NULL;
    TVINSERTSTRUCT ins{};
    ins.hParent = hParent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = const_cast<LPSTR>(lpszText != nullptr ? lpszText : "");
    ins.item.lParam = LPARAM(dwData);
    ins.item.iImage = nLevel > 0 ? 1 : 0;
    ins.item.iSelectedImage = ins.item.iImage;
    if (::GetWindowLong(m_hTree, GWL_STYLE) & TVS_CHECKBOXES) {
        ins.item.mask |= TVIF_STATE;
        ins.item.state = INDEXTOSTATEIMAGEMASK(kUncheckedImage);
        ins.item.stateMask = TVIS_STATEIMAGEMASK;
    }
    return HTREEITEM(::SendMessage(m_hTree, TVM_INSERTITEM, 0, LPARAM(&ins)));
}

HTREEITEM CTreeFiller::Next(HTREEITEM hItem, UINT nCode) const
{
    return HTREEITEM(::SendMessage(m_hTree, TVM_GETNEXTITEM, nCode, LPARAM(hItem)));
}

HTREEITEM CTreeFiller::NextByIndex(HTREEITEM hItem) const
{
    if (HTREEITEM hChild = Next(hItem, TVGN_CHILD))
        return hChild;
    for (HTREEITEM hUp = hItem; hUp != NULL; hUp = Next(hUp, TVGN_PARENT)) {
        if (HTREEITEM hSibling = Next(hUp, TVGN_NEXT))
            return hSibling;
    }
    return NULL;
}

HTREEITEM CTreeFiller::GetItemAt(int nIndex) const
{
    if (m_hTree == NULL || nIndex < 0)
        return NULL;
    HTREEITEM hItem = Next(NULL, TVGN_ROOT);
    for (int i = 0; i < nIndex && hItem != NULL; ++i)
        hItem = NextByIndex(hItem);
    return hItem;
}

int CTreeFiller::GetItemCount() const
{
    return m_hTree != NULL ? int(::SendMessage(m_hTree, TVM_GETCOUNT, 0, 0)) : 0;
}

int CTreeFiller::GetCheckState(HTREEITEM hItem) const
{
    if (m_hTree == NULL || hItem == NULL)
        return -1;
    TVITEM item{};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = hItem;
    item.stateMask = TVIS_STATEIMAGEMASK;
    if (!::SendMessage(m_hTree, TVM_GETITEM, 0, LPARAM(&item)))
        return -1;
    return ((item.state & TVIS_STATEIMAGEMASK) >> 12) == kCheckedImage ? 1 : 0;
}

void CTreeFiller::SetCheckState(HTREEITEM hItem, int nState)
{
    if (m_hTree == NULL || hItem == NULL)
        return;
    TVITEM item{};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = hItem;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(nState == 1 ? kCheckedImage : kUncheckedImage);
    ::SendMessage(m_hTree, TVM_SETITEM, 0, LPARAM(&item));
}

CString CTreeFiller::GetSelectedText() const
{
    CString text;
    HTREEITEM hItem = m_hTree != NULL ? Next(NULL, TVGN_CARET) : NULL;
    if (hItem == NULL)
        return text;
    // Folder paths of a deep walk pass MAX_PATH; the whole text is read.
    std::vector<char> buffer(size_t(kMaxItemText) + 1, '\0');
    TVITEM item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = buffer.data();
    item.cchTextMax = kMaxItemText + 1;
    if (::SendMessage(m_hTree, TVM_GETITEM, 0, LPARAM(&item)))
        text = buffer.data();
    return text;
}

void CTreeFiller::GetCheckedItems(CDWordArray& items)
{
    items.RemoveAll();
    m_nItemIndex = 0;
    for (HTREEITEM hItem = GetItemAt(0); hItem != NULL; hItem = NextByIndex(hItem), ++m_nItemIndex) {
        if (GetCheckState(hItem) != 1)
            continue;
        TVITEM item{};
        item.mask = TVIF_HANDLE | TVIF_PARAM;
        item.hItem = hItem;
        if (::SendMessage(m_hTree, TVM_GETITEM, 0, LPARAM(&item)))
            items.Add(DWORD(item.lParam));
    }
}

void CTreeFiller::CheckAll(int nState)
{
    if (m_hTree == NULL)
        return;
    for (HTREEITEM hItem = Next(NULL, TVGN_ROOT); hItem != NULL; hItem = Next(hItem, TVGN_NEXT))
        SetCheckState(hItem, nState);
    ::RedrawWindow(m_hTree, nullptr, NULL, kRedrawAll);
}

void CTreeFiller::ToggleLeafCheck()
{
    HTREEITEM hItem = m_hTree != NULL ? Next(NULL, TVGN_CARET) : NULL;
    if (hItem == NULL || Next(hItem, TVGN_CHILD) != NULL)
        return;
    SetCheckState(hItem, GetCheckState(hItem) == 1 ? 0 : 1);
}

void CTreeFiller::ToggleSelectedCheck()
{
    HTREEITEM hItem = m_hTree != NULL ? Next(NULL, TVGN_CARET) : NULL;
    if (hItem == NULL)
        return;
    int nState = GetCheckState(hItem) + 1;
    SetCheckState(hItem, nState >= 2 ? 0 : nState);
}

void CTreeFiller::SetFilter(DWORD dw0, DWORD dw1, DWORD dw2, DWORD dw3)
{
    m_dwFilter[0] = dw0;
    m_dwFilter[1] = dw1;
    m_dwFilter[2] = dw2;
    m_dwFilter[3] = dw3;
}
