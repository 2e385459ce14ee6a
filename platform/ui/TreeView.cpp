// The tree view: items with text, data, images and a state (selection,
// expansion, check state image), expanded lazily on the owner's
// TVN_ITEMEXPANDING, selected by mouse and keyboard, scrolled by rows.

#include "platform/gdi/Gdi.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/CommCtrlShared.h"
#include "platform/ui/internal/CommCtrlTree.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace platform {
namespace {

constexpr size_t MaxItems = 1000000;

HTREEITEM Handle(TreeId id)
{
    return reinterpret_cast<HTREEITEM>(id);
}

TreeId IdOf(HTREEITEM h)
{
    return reinterpret_cast<TreeId>(h);
}

DWORD StyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
}

TreeNode* Node(TreeState& s, HTREEITEM h)
{
    TreeId id = IdOf(h);
    if (id == 0)
        return nullptr;
    auto it = s.items.find(id);
    return it == s.items.end() ? nullptr : &it->second;
}

void FillItem(const TreeState& s, TreeId id, TVITEMA& item)
{
    const TreeNode& n = s.items.at(id);
    item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = Handle(id);
    item.state = n.state;
    item.stateMask = 0xFFFF;
    item.lParam = n.lParam;
    item.iImage = n.image;
    item.iSelectedImage = n.selectedImage;
}

LRESULT NotifyTree(HWND hwnd, UINT code, UINT action, const TreeState& s, TreeId oldId, TreeId newId)
{
    NMTREEVIEWA nm{};
    nm.action = action;
    if (oldId)
        FillItem(s, oldId, nm.itemOld);
    if (newId)
        FillItem(s, newId, nm.itemNew);
    return SendControlNotify(hwnd, nm.hdr, code);
}

bool IsInside(const TreeState& s, TreeId id, TreeId ancestor)
{
    while (id != 0) {
        if (id == ancestor)
            return true;
        auto it = s.items.find(id);
        if (it == s.items.end())
            return false;
        id = it->second.parent;
    }
    return ancestor == 0;
}

void UpdateScroll(HWND hwnd, TreeState& s)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    int rows = static_cast<int>(VisibleRows(s).size());
    int page = std::max(1, static_cast<int>(client.bottom) / RowHeight(s));
    s.top = std::max(0, std::min(s.top, rows - page));
    // The bar comes and goes with need; the style bit follows it.
    if (StyleOf(hwnd) & TVS_NOSCROLL)
        return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = rows - 1;
    si.nPage = static_cast<UINT>(page);
    si.nPos = s.top;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

void Changed(HWND hwnd, TreeState& s)
{
    if (s.redrawOff)
        return;
    UpdateScroll(hwnd, s);
    InvalidateRect(hwnd, NULL, TRUE);
}

int RowOf(const std::vector<TreeRow>& rows, TreeId id)
{
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].id == id)
            return static_cast<int>(i);
    return -1;
}

bool Expand(HWND hwnd, TreeState& s, TreeId id, UINT code, bool byMessage);

void EnsureVisible(HWND hwnd, TreeState& s, TreeId id)
{
    // Open every collapsed ancestor, outermost first.
    std::vector<TreeId> chain;
    for (TreeId up = s.items.at(id).parent; up != 0; up = s.items.at(up).parent)
        chain.push_back(up);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (s.items.count(*it) && !(s.items.at(*it).state & TVIS_EXPANDED))
            Expand(hwnd, s, *it, TVE_EXPAND, true);
        if (!StillAttached(hwnd, s))
            return;
    }
    if (!s.items.count(id))
        return;
    std::vector<TreeRow> rows = VisibleRows(s);
    int row = RowOf(rows, id);
    RECT client{};
    GetClientRect(hwnd, &client);
    int page = std::max(1, static_cast<int>(client.bottom) / RowHeight(s));
    if (row < s.top)
        s.top = row;
    else if (row >= s.top + page)
        s.top = row - page + 1;
    Changed(hwnd, s);
}

bool Select(HWND hwnd, TreeState& s, TreeId id, UINT cause)
{
    if (id != 0 && !s.items.count(id))
        return false;
    if (id == s.caret)
        return true;
    TreeId old = s.caret;
    if (NotifyTree(hwnd, TVN_SELCHANGING, cause, s, old, id) || !StillAttached(hwnd, s))
        return false;
    // The owner may have deleted either item while answering.
    if (id != 0 && !s.items.count(id))
        return false;
    if (old && s.items.count(old))
        s.items.at(old).state &= ~static_cast<UINT>(TVIS_SELECTED);
    else
        old = 0;
    s.caret = id;
    if (id)
        s.items.at(id).state |= TVIS_SELECTED;
    NotifyTree(hwnd, TVN_SELCHANGED, cause, s, old, id);
    if (!StillAttached(hwnd, s))
        return true;
    if (s.caret && s.items.count(s.caret))
        EnsureVisible(hwnd, s, s.caret);
    InvalidateRect(hwnd, NULL, TRUE);
    return true;
}

void DeleteSubtree(HWND hwnd, TreeState& s, TreeId id)
{
    std::vector<TreeId> children = s.items.at(id).children;
    for (TreeId c : children) {
        if (s.items.count(c))
            DeleteSubtree(hwnd, s, c);
        if (!StillAttached(hwnd, s))
            return;
    }
    if (id == 0) {
        s.items.at(0).children.clear();
        return;
    }
    NotifyTree(hwnd, TVN_DELETEITEM, 0, s, id, 0);
    if (!StillAttached(hwnd, s))
        return;
    auto it = s.items.find(id);
    if (it == s.items.end())
        return;
    TreeId parent = it->second.parent;
    s.items.erase(it);
    auto p = s.items.find(parent);
    if (p != s.items.end()) {
        auto& siblings = p->second.children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
    }
}

bool Delete(HWND hwnd, TreeState& s, HTREEITEM h)
{
    TreeId id = (h == TVI_ROOT || h == NULL) ? 0 : IdOf(h);
    if (id != 0 && !s.items.count(id))
        return false;
    // A deleted selection moves to the next sibling, the previous one or the parent.
    TreeId successor = 0;
    bool selectionGoes = s.caret && IsInside(s, s.caret, id);
    if (selectionGoes && id != 0) {
        const TreeNode& n = s.items.at(id);
        const auto& siblings = s.items.at(n.parent).children;
        auto pos = std::find(siblings.begin(), siblings.end(), id);
        if (pos + 1 != siblings.end())
            successor = *(pos + 1);
        else if (pos != siblings.begin())
            successor = *(pos - 1);
        else
            successor = n.parent;
    }
    if (selectionGoes) {
        s.items.at(s.caret).state &= ~static_cast<UINT>(TVIS_SELECTED);
        s.caret = 0;
    }
    DeleteSubtree(hwnd, s, id);
    if (!StillAttached(hwnd, s))
        return true;
    if (selectionGoes && successor && s.items.count(successor))
        Select(hwnd, s, successor, TVC_UNKNOWN);
    Changed(hwnd, s);
    return true;
}

bool Expand(HWND hwnd, TreeState& s, TreeId id, UINT code, bool byMessage)
{
    auto it = s.items.find(id);
    if (id == 0 || it == s.items.end())
        return false;
    UINT action = code & 0x3;
    bool expanded = (it->second.state & TVIS_EXPANDED) != 0;
    if (action == TVE_TOGGLE)
        action = expanded ? TVE_COLLAPSE : TVE_EXPAND;
    if (action == TVE_EXPAND) {
        if (expanded)
            return true;
        if (!HasChildren(hwnd, s, id))
            return false;
        // Once expanded, TVM_EXPAND asks the owner no more: the children are known.
        bool notify = !(byMessage && (it->second.state & TVIS_EXPANDEDONCE));
        if (notify && (NotifyTree(hwnd, TVN_ITEMEXPANDING, TVE_EXPAND, s, 0, id) || !StillAttached(hwnd, s)))
            return false;
        it = s.items.find(id);
        if (it == s.items.end())
            return false;
        it->second.state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
        Changed(hwnd, s);
        if (notify)
            NotifyTree(hwnd, TVN_ITEMEXPANDED, TVE_EXPAND, s, 0, id);
        return true;
    }
    if (action != TVE_COLLAPSE)
        return false;
    if (!expanded && !(code & TVE_COLLAPSERESET))
        return true;
    if (expanded && (NotifyTree(hwnd, TVN_ITEMEXPANDING, TVE_COLLAPSE, s, 0, id) || !StillAttached(hwnd, s)))
        return false;
    it = s.items.find(id);
    if (it == s.items.end())
        return false;
    it->second.state &= ~static_cast<UINT>(TVIS_EXPANDED);
    if (s.caret && s.caret != id && IsInside(s, s.caret, id)) {
        Select(hwnd, s, id, TVC_UNKNOWN);
        if (!StillAttached(hwnd, s))
            return true;
    }
    if (code & TVE_COLLAPSERESET) {
        std::vector<TreeId> children = s.items.at(id).children;
        for (TreeId c : children) {
            if (s.items.count(c))
                Delete(hwnd, s, Handle(c));
            if (!StillAttached(hwnd, s))
                return true;
        }
        if (s.items.count(id))
            s.items.at(id).state &= ~static_cast<UINT>(TVIS_EXPANDEDONCE);
    }
    Changed(hwnd, s);
    if (expanded && s.items.count(id))
        NotifyTree(hwnd, TVN_ITEMEXPANDED, TVE_COLLAPSE, s, 0, id);
    return true;
}

void ApplyItem(TreeNode& n, const TVITEMA& item)
{
    if (item.mask & TVIF_TEXT) {
        n.textCallback = item.pszText == LPSTR_TEXTCALLBACK;
        n.text = (item.pszText && !n.textCallback) ? item.pszText : "";
    }
    if (item.mask & TVIF_IMAGE)
        n.image = item.iImage;
    if (item.mask & TVIF_SELECTEDIMAGE)
        n.selectedImage = item.iSelectedImage;
    if (item.mask & TVIF_PARAM)
        n.lParam = item.lParam;
    if (item.mask & TVIF_CHILDREN) {
        n.childrenFlag = item.cChildren;
        n.childrenGiven = true;
    }
    if (item.mask & TVIF_STATE) {
        // Selection follows the caret; it is changed with TVM_SELECTITEM.
        UINT mask = item.stateMask & ~static_cast<UINT>(TVIS_SELECTED);
        n.state = (n.state & ~mask) | (item.state & mask);
    }
}

HTREEITEM Insert(HWND hwnd, TreeState& s, const TVINSERTSTRUCTA* ins)
{
    if (!ins || s.items.size() >= MaxItems)
        return NULL;
    TreeId parent = (ins->hParent == TVI_ROOT || ins->hParent == NULL) ? 0 : IdOf(ins->hParent);
    if (!s.items.count(parent))
        return NULL;
    TreeId id = s.nextId++;
    TreeNode n;
    n.parent = parent;
    TVITEMA item = ins->item;
    item.stateMask = item.stateMask & ~static_cast<UINT>(TVIS_EXPANDEDONCE);
    ApplyItem(n, item);
    auto& siblings = s.items.at(parent).children;
    size_t at = siblings.size();
    if (ins->hInsertAfter == TVI_FIRST) {
        at = 0;
    } else if (ins->hInsertAfter == TVI_SORT) {
        // After every sibling that sorts before or equal, by text ignoring case.
        at = 0;
        while (at < siblings.size() && strcasecmp(s.items.at(siblings[at]).text.c_str(), n.text.c_str()) <= 0)
            ++at;
    } else if (ins->hInsertAfter != TVI_LAST) {
        auto pos = std::find(siblings.begin(), siblings.end(), IdOf(ins->hInsertAfter));
        if (pos != siblings.end())
            at = static_cast<size_t>(pos - siblings.begin()) + 1;
    }
    s.items[id] = std::move(n);
    auto& list = s.items.at(parent).children;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), id);
    Changed(hwnd, s);
    return Handle(id);
}

LRESULT GetItem(HWND hwnd, TreeState& s, TVITEMA* item)
{
    if (!item)
        return FALSE;
    TreeNode* n = Node(s, item->hItem);
    if (!n)
        return FALSE;
    if (item->mask & TVIF_TEXT) {
        if (n->textCallback) {
            item->pszText = LPSTR_TEXTCALLBACK;
        } else if (item->pszText && item->cchTextMax > 0) {
            size_t len = std::min(n->text.size(), static_cast<size_t>(item->cchTextMax - 1));
            std::memcpy(item->pszText, n->text.data(), len);
            item->pszText[len] = '\0';
        }
    }
    if (item->mask & TVIF_IMAGE)
        item->iImage = n->image;
    if (item->mask & TVIF_SELECTEDIMAGE)
        item->iSelectedImage = n->selectedImage;
    if (item->mask & TVIF_PARAM)
        item->lParam = n->lParam;
    if (item->mask & TVIF_STATE)
        item->state = n->state & item->stateMask;
    if (item->mask & TVIF_CHILDREN)
        item->cChildren = n->childrenGiven ? n->childrenFlag : (n->children.empty() ? 0 : 1);
    (void)hwnd;
    return TRUE;
}

HTREEITEM NextItem(TreeState& s, UINT code, HTREEITEM h)
{
    std::vector<TreeRow> rows;
    TreeId id = IdOf(h);
    switch (code) {
    case TVGN_ROOT: {
        const auto& c = s.items.at(0).children;
        return c.empty() ? NULL : Handle(c.front());
    }
    case TVGN_CARET:
        return s.caret ? Handle(s.caret) : NULL;
    case TVGN_FIRSTVISIBLE:
        rows = VisibleRows(s);
        return s.top < static_cast<int>(rows.size()) ? Handle(rows[static_cast<size_t>(s.top)].id) : NULL;
    default:
        break;
    }
    if (code == TVGN_CHILD && (h == NULL || h == TVI_ROOT))
        id = 0;
    else if (!Node(s, h))
        return NULL;
    const TreeNode& n = s.items.at(id);
    switch (code) {
    case TVGN_CHILD:
        return n.children.empty() ? NULL : Handle(n.children.front());
    case TVGN_PARENT:
        return n.parent ? Handle(n.parent) : NULL;
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
        const auto& siblings = s.items.at(n.parent).children;
        auto pos = std::find(siblings.begin(), siblings.end(), id);
        if (code == TVGN_NEXT)
            return (pos + 1 < siblings.end()) ? Handle(*(pos + 1)) : NULL;
        return pos != siblings.begin() ? Handle(*(pos - 1)) : NULL;
    }
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
        rows = VisibleRows(s);
        int row = RowOf(rows, id);
        if (row < 0)
            return NULL;
        row += code == TVGN_NEXTVISIBLE ? 1 : -1;
        return (row >= 0 && row < static_cast<int>(rows.size())) ? Handle(rows[static_cast<size_t>(row)].id) : NULL;
    }
    default:
        return NULL;
    }
}

// Fills flags and returns the item at a client point.
TreeId HitTest(HWND hwnd, TreeState& s, POINT pt, UINT& flags)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    flags = 0;
    if (pt.y < 0) {
        flags = TVHT_ABOVE;
        return 0;
    }
    if (pt.y >= client.bottom) {
        flags = TVHT_BELOW;
        return 0;
    }
    std::vector<TreeRow> rows = VisibleRows(s);
    int row = s.top + pt.y / RowHeight(s);
    if (row >= static_cast<int>(rows.size())) {
        flags = TVHT_NOWHERE;
        return 0;
    }
    TreeRowGeometry g = RowGeometry(hwnd, s, row, rows[static_cast<size_t>(row)]);
    TreeId id = rows[static_cast<size_t>(row)].id;
    if (PtInRect(&g.button, pt))
        flags = HasChildren(hwnd, s, id) && (StyleOf(hwnd) & TVS_HASBUTTONS) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
    else if (PtInRect(&g.stateIcon, pt))
        flags = TVHT_ONITEMSTATEICON;
    else if (PtInRect(&g.icon, pt))
        flags = TVHT_ONITEMICON;
    else if (PtInRect(&g.label, pt))
        flags = TVHT_ONITEMLABEL;
    else if (pt.x < g.button.right || pt.x < g.label.left)
        flags = TVHT_ONITEMINDENT;
    else
        flags = TVHT_ONITEMRIGHT;
    return id;
}

void ToggleCheck(HWND hwnd, TreeState& s, TreeId id)
{
    TreeNode& n = s.items.at(id);
    UINT index = (n.state & TVIS_STATEIMAGEMASK) >> 12;
    index = index == 2 ? 1 : 2;
    n.state = (n.state & ~static_cast<UINT>(TVIS_STATEIMAGEMASK)) | INDEXTOSTATEIMAGEMASK(index);
    InvalidateRect(hwnd, NULL, TRUE);
}

void Key(HWND hwnd, TreeState& s, UINT vk)
{
    std::vector<TreeRow> rows = VisibleRows(s);
    if (rows.empty())
        return;
    int row = s.caret ? RowOf(rows, s.caret) : -1;
    RECT client{};
    GetClientRect(hwnd, &client);
    int page = std::max(1, static_cast<int>(client.bottom) / RowHeight(s));
    int last = static_cast<int>(rows.size()) - 1;
    int target = row;
    switch (vk) {
    case VK_UP: target = row < 0 ? 0 : std::max(0, row - 1); break;
    case VK_DOWN: target = std::min(last, row + 1); break;
    case VK_HOME: target = 0; break;
    case VK_END: target = last; break;
    case VK_PRIOR: target = std::max(0, row - (page - 1)); break;
    case VK_NEXT: target = std::min(last, std::max(0, row) + (page - 1)); break;
    case VK_LEFT:
        if (row < 0)
            return;
        if (s.items.at(s.caret).state & TVIS_EXPANDED) {
            Expand(hwnd, s, s.caret, TVE_COLLAPSE, false);
            return;
        }
        if (s.items.at(s.caret).parent)
            Select(hwnd, s, s.items.at(s.caret).parent, TVC_BYKEYBOARD);
        return;
    case VK_RIGHT:
        if (row < 0)
            return;
        if (!(s.items.at(s.caret).state & TVIS_EXPANDED)) {
            Expand(hwnd, s, s.caret, TVE_EXPAND, false);
            return;
        }
        if (!s.items.at(s.caret).children.empty())
            Select(hwnd, s, s.items.at(s.caret).children.front(), TVC_BYKEYBOARD);
        return;
    case VK_ADD:
        if (s.caret)
            Expand(hwnd, s, s.caret, TVE_EXPAND, false);
        return;
    case VK_SUBTRACT:
        if (s.caret)
            Expand(hwnd, s, s.caret, TVE_COLLAPSE, false);
        return;
    case VK_SPACE:
        if (s.caret && (StyleOf(hwnd) & TVS_CHECKBOXES))
            ToggleCheck(hwnd, s, s.caret);
        return;
    default:
        return;
    }
    if (target >= 0 && target <= last)
        Select(hwnd, s, rows[static_cast<size_t>(target)].id, TVC_BYKEYBOARD);
}

void Scroll(HWND hwnd, TreeState& s, int request)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    int page = std::max(1, static_cast<int>(client.bottom) / RowHeight(s));
    switch (request) {
    case SB_LINEUP: --s.top; break;
    case SB_LINEDOWN: ++s.top; break;
    case SB_PAGEUP: s.top -= page; break;
    case SB_PAGEDOWN: s.top += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(hwnd, SB_VERT, &si);
        s.top = si.nTrackPos;
        break;
    }
    default: return;
    }
    Changed(hwnd, s);
}

LRESULT CALLBACK TreeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TreeState* s = AttachControlState<TreeState>(hwnd, msg);
    if (!s)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        PaintTree(hwnd, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Changed(hwnd, *s);
        return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            Changed(hwnd, *s);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_SETREDRAW: {
        s->redrawOff = !wParam;
        LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        if (wParam)
            Changed(hwnd, *s);
        return r;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        s->focused = msg == WM_SETFOCUS;
        InvalidateRect(hwnd, NULL, TRUE);
        NMHDR hdr{};
        SendControlNotify(hwnd, hdr, s->focused ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetFocus() != hwnd)
            SetFocus(hwnd);
        s = ControlState<TreeState>(hwnd);
        if (!s)
            return 0;
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        UINT flags = 0;
        TreeId id = HitTest(hwnd, *s, pt, flags);
        if (!id)
            return 0;
        if (flags & TVHT_ONITEMBUTTON) {
            Expand(hwnd, *s, id, TVE_TOGGLE, false);
            return 0;
        }
        if ((flags & TVHT_ONITEMSTATEICON) && (StyleOf(hwnd) & TVS_CHECKBOXES)) {
            ToggleCheck(hwnd, *s, id);
            return 0;
        }
        if (msg == WM_LBUTTONDOWN) {
            if (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT))
                Select(hwnd, *s, id, TVC_BYMOUSE);
            NMHDR hdr{};
            SendControlNotify(hwnd, hdr, NM_CLICK);
            return 0;
        }
        NMHDR hdr{};
        if (!SendControlNotify(hwnd, hdr, NM_DBLCLK) && (s = ControlState<TreeState>(hwnd)) && s->items.count(id))
            Expand(hwnd, *s, id, TVE_TOGGLE, false);
        return 0;
    }
    case WM_RBUTTONDOWN: {
        NMHDR hdr{};
        SendControlNotify(hwnd, hdr, NM_RCLICK);
        return 0;
    }
    case WM_KEYDOWN: {
        NMTVKEYDOWN key{};
        key.wVKey = static_cast<WORD>(wParam);
        SendControlNotify(hwnd, key.hdr, TVN_KEYDOWN);
        if ((s = ControlState<TreeState>(hwnd)))
            Key(hwnd, *s, static_cast<UINT>(wParam));
        return 0;
    }
    case WM_VSCROLL:
        Scroll(hwnd, *s, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        Scroll(hwnd, *s, static_cast<short>(HIWORD(wParam)) > 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
    case TVM_INSERTITEM:
        return reinterpret_cast<LRESULT>(Insert(hwnd, *s, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam)));
    case TVM_DELETEITEM:
        return Delete(hwnd, *s, reinterpret_cast<HTREEITEM>(lParam));
    case TVM_EXPAND:
        return Expand(hwnd, *s, IdOf(reinterpret_cast<HTREEITEM>(lParam)), static_cast<UINT>(wParam), true);
    case TVM_GETCOUNT:
        return static_cast<LRESULT>(s->items.size() - 1);
    case TVM_GETINDENT:
        return s->indent;
    case TVM_SETINDENT:
        s->indent = std::max(4, std::min(static_cast<int>(wParam), 200));
        Changed(hwnd, *s);
        return 0;
    case TVM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? s->stateImages : s->normal);
    case TVM_SETIMAGELIST: {
        HIMAGELIST& slot = wParam == TVSIL_STATE ? s->stateImages : s->normal;
        HIMAGELIST old = slot;
        slot = reinterpret_cast<HIMAGELIST>(lParam);
        Changed(hwnd, *s);
        return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM:
        return reinterpret_cast<LRESULT>(NextItem(*s, static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam)));
    case TVM_SELECTITEM: {
        HTREEITEM h = reinterpret_cast<HTREEITEM>(lParam);
        if (h && !Node(*s, h))
            return FALSE;
        if (wParam == TVGN_CARET)
            return Select(hwnd, *s, IdOf(h), TVC_UNKNOWN);
        if (wParam == TVGN_FIRSTVISIBLE && h) {
            EnsureVisible(hwnd, *s, IdOf(h));
            int row = RowOf(VisibleRows(*s), IdOf(h));
            if (row >= 0)
                s->top = row;
            Changed(hwnd, *s);
            return TRUE;
        }
        return wParam == TVGN_DROPHILITE ? TRUE : FALSE;
    }
    case TVM_GETITEM:
        return GetItem(hwnd, *s, reinterpret_cast<TVITEMA*>(lParam));
    case TVM_SETITEM: {
        const TVITEMA* item = reinterpret_cast<const TVITEMA*>(lParam);
        TreeNode* n = item ? Node(*s, item->hItem) : nullptr;
        if (!n)
            return FALSE;
        ApplyItem(*n, *item);
        Changed(hwnd, *s);
        return TRUE;
    }
    case TVM_GETITEMSTATE: {
        TreeNode* n = Node(*s, reinterpret_cast<HTREEITEM>(wParam));
        return n ? static_cast<LRESULT>(n->state & static_cast<UINT>(lParam)) : 0;
    }
    case TVM_GETITEMRECT: {
        RECT* r = reinterpret_cast<RECT*>(lParam);
        if (!r)
            return FALSE;
        HTREEITEM h{};
        std::memcpy(&h, r, sizeof h);
        if (!Node(*s, h))
            return FALSE;
        std::vector<TreeRow> rows = VisibleRows(*s);
        int row = RowOf(rows, IdOf(h));
        if (row < 0)
            return FALSE;
        TreeRowGeometry g = RowGeometry(hwnd, *s, row, rows[static_cast<size_t>(row)]);
        *r = wParam ? g.label : g.row;
        return TRUE;
    }
    case TVM_GETVISIBLECOUNT: {
        RECT client{};
        GetClientRect(hwnd, &client);
        return client.bottom / RowHeight(*s);
    }
    case TVM_GETITEMHEIGHT:
        return RowHeight(*s);
    case TVM_HITTEST: {
        TVHITTESTINFO* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
        if (!info)
            return 0;
        TreeId id = HitTest(hwnd, *s, info->pt, info->flags);
        info->hItem = id ? Handle(id) : NULL;
        return reinterpret_cast<LRESULT>(info->hItem);
    }
    case TVM_ENSUREVISIBLE: {
        TreeId id = IdOf(reinterpret_cast<HTREEITEM>(lParam));
        if (!Node(*s, reinterpret_cast<HTREEITEM>(lParam)))
            return FALSE;
        EnsureVisible(hwnd, *s, id);
        return TRUE;
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace

std::vector<TreeRow> VisibleRows(const TreeState& s)
{
    std::vector<TreeRow> rows;
    // Depth-first without recursion; deep trees cannot exhaust the stack.
    std::vector<std::pair<TreeId, size_t>> stack{{0, 0}};
    while (!stack.empty()) {
        auto& [id, next] = stack.back();
        const TreeNode& n = s.items.at(id);
        if (next >= n.children.size()) {
            stack.pop_back();
            continue;
        }
        TreeId child = n.children[next++];
        int level = static_cast<int>(stack.size()) - 1;
        rows.push_back(TreeRow{child, level});
        if (s.items.at(child).state & TVIS_EXPANDED)
            stack.emplace_back(child, 0);
    }
    return rows;
}

int RowHeight(const TreeState& s)
{
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, ControlFont(s.font));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    int h = static_cast<int>(tm.tmHeight) + 3;
    int cx = 0, cy = 0;
    if (s.normal && ImageList_GetIconSize(s.normal, &cx, &cy))
        h = std::max(h, cy + 1);
    h = std::max(h, 16);
    return h;
}

bool HasChildren(HWND hwnd, const TreeState& s, TreeId id)
{
    const TreeNode& n = s.items.at(id);
    if (!n.children.empty())
        return true;
    if (!n.childrenGiven)
        return false;
    if (n.childrenFlag != I_CHILDRENCALLBACK)
        return n.childrenFlag != 0;
    NMTVDISPINFOA info{};
    info.item.mask = TVIF_CHILDREN;
    info.item.hItem = Handle(id);
    info.item.lParam = n.lParam;
    info.item.state = n.state;
    SendControlNotify(hwnd, info.hdr, TVN_GETDISPINFO);
    return info.item.cChildren != 0;
}

std::string DisplayText(HWND hwnd, const TreeState& s, TreeId id)
{
    const TreeNode& n = s.items.at(id);
    if (!n.textCallback)
        return n.text;
    char buffer[260] = {};
    NMTVDISPINFOA info{};
    info.item.mask = TVIF_TEXT;
    info.item.hItem = Handle(id);
    info.item.lParam = n.lParam;
    info.item.state = n.state;
    info.item.pszText = buffer;
    info.item.cchTextMax = sizeof buffer;
    SendControlNotify(hwnd, info.hdr, TVN_GETDISPINFO);
    if (!info.item.pszText || info.item.pszText == LPSTR_TEXTCALLBACK)
        return std::string();
    if (info.item.pszText == buffer) {
        buffer[sizeof buffer - 1] = '\0';
        return std::string(buffer);
    }
    return std::string(info.item.pszText);
}

void RegisterTreeViewClass()
{
    RegisterControlClass(WC_TREEVIEW, TreeProc, CS_DBLCLKS, COLOR_WINDOW);
}

} // namespace platform
