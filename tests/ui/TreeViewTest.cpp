#include "tests/ui/UiTestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiDefs.h"
#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace uitest;
using platform::headless::WindowPixel;

namespace {

struct Note {
    UINT code;
    UINT action;
    HTREEITEM oldItem;
    HTREEITEM newItem;
    LPARAM oldParam;
};

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        InitCommonControls();
        parent = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{50, 50, 450, 400});
        Rec().handlers[parent] = [this](HWND, UINT m, WPARAM, LPARAM l, LRESULT& result) {
            if (m != WM_NOTIFY)
                return false;
            auto* hdr = reinterpret_cast<NMHDR*>(l);
            if (hdr->code == TVN_GETDISPINFO) {
                auto* info = reinterpret_cast<NMTVDISPINFOA*>(l);
                if (info->item.mask & TVIF_CHILDREN)
                    info->item.cChildren = callbackChildren;
                result = 0;
                return true;
            }
            // Only these carry an NMTREEVIEW; the NM_ ones (focus, clicks)
            // are a bare NMHDR and TVN_KEYDOWN has a record of its own.
            const UINT kTreeRecords[] = {TVN_SELCHANGING, TVN_SELCHANGED, TVN_ITEMEXPANDING, TVN_ITEMEXPANDED,
                TVN_DELETEITEM};
            if (std::find(std::begin(kTreeRecords), std::end(kTreeRecords), hdr->code) == std::end(kTreeRecords)) {
                notes.push_back(Note{hdr->code, 0, NULL, NULL, 0});
                result = 0;
                return true;
            }
            auto* nm = reinterpret_cast<NMTREEVIEWA*>(l);
            notes.push_back(Note{hdr->code, nm->action, nm->itemOld.hItem, nm->itemNew.hItem, nm->itemOld.lParam});
            result = 0;
            if (onNotify)
                result = onNotify(hdr->code, nm);
            return true;
        };
    }
    void TearDown() override { platform::headless::Reset(); }

    void Make(DWORD style, RECT r = RECT{10, 10, 210, 210})
    {
        tree = CreateWindowEx(0, WC_TREEVIEW, NULL, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, (HMENU)(INT_PTR)42, NULL, NULL);
        ASSERT_NE(tree, nullptr);
    }

    HTREEITEM Add(HTREEITEM under, const char* text, HTREEITEM after = TVI_LAST, LPARAM data = 0, int children = -2)
    {
        TVINSERTSTRUCTA ins{};
        ins.hParent = under;
        ins.hInsertAfter = after;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | (children != -2 ? TVIF_CHILDREN : 0);
        ins.item.pszText = const_cast<LPSTR>(text);
        ins.item.lParam = data;
        ins.item.cChildren = children;
        return (HTREEITEM)SendMessage(tree, TVM_INSERTITEM, 0, (LPARAM)&ins);
    }

    HTREEITEM Next(UINT code, HTREEITEM item = NULL)
    {
        return (HTREEITEM)SendMessage(tree, TVM_GETNEXTITEM, code, (LPARAM)item);
    }

    std::string Text(HTREEITEM item)
    {
        char buffer[64] = {};
        TVITEMA tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = buffer;
        tv.cchTextMax = sizeof buffer;
        SendMessage(tree, TVM_GETITEM, 0, (LPARAM)&tv);
        return buffer;
    }

    UINT State(HTREEITEM item, UINT mask = 0xFFFF) { return (UINT)SendMessage(tree, TVM_GETITEMSTATE, (WPARAM)item, mask); }

    RECT LabelRect(HTREEITEM item)
    {
        RECT r{};
        std::memcpy(&r, &item, sizeof item); // the item goes in, the rectangle comes out
        SendMessage(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&r);
        return r;
    }

    POINT Screen(int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(tree, &p);
        return p;
    }

    std::vector<UINT> Codes() const
    {
        std::vector<UINT> out;
        for (const Note& n : notes)
            out.push_back(n.code);
        return out;
    }

    HWND parent = NULL;
    HWND tree = NULL;
    std::vector<Note> notes;
    std::function<LRESULT(UINT, NMTREEVIEWA*)> onNotify;
    int callbackChildren = 0;
};

TEST_F(TreeViewTest, InsertsInOrderAndNavigates)
{
    Make(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
    HTREEITEM b = Add(TVI_ROOT, "Beta");
    HTREEITEM a = Add(TVI_ROOT, "alpha", TVI_FIRST);
    HTREEITEM d = Add(TVI_ROOT, "Delta");
    HTREEITEM c = Add(TVI_ROOT, "charlie", TVI_SORT);
    HTREEITEM e = Add(TVI_ROOT, "Echo", b); // right after Beta
    EXPECT_EQ(Next(TVGN_ROOT), a);
    EXPECT_EQ(Next(TVGN_NEXT, a), b);
    EXPECT_EQ(Next(TVGN_NEXT, b), e);
    EXPECT_EQ(Next(TVGN_NEXT, e), c);
    EXPECT_EQ(Next(TVGN_NEXT, c), d);
    EXPECT_EQ(Next(TVGN_NEXT, d), nullptr);
    EXPECT_EQ(Next(TVGN_PREVIOUS, b), a);

    HTREEITEM child = Add(b, "Child");
    EXPECT_EQ(Next(TVGN_CHILD, b), child);
    EXPECT_EQ(Next(TVGN_PARENT, child), b);
    EXPECT_EQ(Next(TVGN_PARENT, b), nullptr);
    EXPECT_EQ(Next(TVGN_CHILD, TVI_ROOT), a);
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 6);

    // Deleting an item takes its children; a stale handle is refused.
    EXPECT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, (LPARAM)b));
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 4);
    EXPECT_FALSE(SendMessage(tree, TVM_DELETEITEM, 0, (LPARAM)child));
    EXPECT_EQ(Next(TVGN_NEXT, b), nullptr);
    EXPECT_EQ(Add(b, "orphan"), nullptr);
    SendMessage(tree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(TreeViewTest, GetsAndSetsItemFields)
{
    Make(TVS_CHECKBOXES);
    HTREEITEM item = Add(TVI_ROOT, "Pictures", TVI_LAST, 0x1234);
    TVITEMA tv{};
    tv.hItem = item;
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    tv.iImage = 3;
    tv.iSelectedImage = 4;
    tv.state = INDEXTOSTATEIMAGEMASK(2) | TVIS_BOLD | TVIS_SELECTED;
    tv.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD | TVIS_SELECTED;
    ASSERT_TRUE(SendMessage(tree, TVM_SETITEM, 0, (LPARAM)&tv));

    char small[5] = {};
    TVITEMA out{};
    out.hItem = item;
    out.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    out.stateMask = 0xFFFF;
    out.pszText = small;
    out.cchTextMax = sizeof small;
    ASSERT_TRUE(SendMessage(tree, TVM_GETITEM, 0, (LPARAM)&out));
    EXPECT_STREQ(small, "Pict");
    EXPECT_EQ(out.lParam, 0x1234);
    EXPECT_EQ(out.iImage, 3);
    EXPECT_EQ(out.iSelectedImage, 4);
    EXPECT_EQ(out.state & TVIS_STATEIMAGEMASK, (UINT)INDEXTOSTATEIMAGEMASK(2));
    EXPECT_TRUE(out.state & TVIS_BOLD);
    EXPECT_FALSE(out.state & TVIS_SELECTED); // selection goes through TVM_SELECTITEM

    out.hItem = (HTREEITEM)(ULONG_PTR)9999;
    EXPECT_FALSE(SendMessage(tree, TVM_GETITEM, 0, (LPARAM)&out));
}

TEST_F(TreeViewTest, FillsChildrenLazilyWhenExpanded)
{
    Make(TVS_HASBUTTONS | TVS_LINESATROOT);
    HTREEITEM folder = Add(TVI_ROOT, "Folder", TVI_LAST, 7, 1);
    onNotify = [&](UINT code, NMTREEVIEWA* nm) -> LRESULT {
        if (code == TVN_ITEMEXPANDING && nm->action == TVE_EXPAND && !Next(TVGN_CHILD, nm->itemNew.hItem)) {
            Add(nm->itemNew.hItem, "One");
            Add(nm->itemNew.hItem, "Two");
        }
        return 0;
    };
    EXPECT_TRUE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)folder));
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}));
    EXPECT_EQ(notes[0].newItem, folder);
    EXPECT_TRUE(State(folder) & TVIS_EXPANDED);
    EXPECT_EQ(Text(Next(TVGN_CHILD, folder)), "One");

    notes.clear();
    SendMessage(tree, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)folder);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}));
    EXPECT_EQ(notes[0].action, (UINT)TVE_COLLAPSE);
    // Expanded once: the message opens it again without asking.
    notes.clear();
    SendMessage(tree, TVM_EXPAND, TVE_TOGGLE, (LPARAM)folder);
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(State(folder) & TVIS_EXPANDED);
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 3);

    // A reset collapse drops the children; the owner may refuse an expansion.
    SendMessage(tree, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, (LPARAM)folder);
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 1);
    onNotify = [](UINT code, NMTREEVIEWA*) -> LRESULT { return code == TVN_ITEMEXPANDING; };
    EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)folder));
    EXPECT_FALSE(State(folder) & TVIS_EXPANDED);

    // An item without children does not expand; a callback item asks the owner.
    HTREEITEM leaf = Add(TVI_ROOT, "Leaf");
    EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)leaf));
    HTREEITEM asks = Add(TVI_ROOT, "Asks", TVI_LAST, 0, I_CHILDRENCALLBACK);
    onNotify = nullptr;
    callbackChildren = 0;
    EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)asks));
    callbackChildren = 1;
    EXPECT_TRUE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)asks));
}

TEST_F(TreeViewTest, SelectionNotifiesAndFollowsCollapseAndDeletion)
{
    Make(TVS_HASBUTTONS | TVS_LINESATROOT);
    HTREEITEM top = Add(TVI_ROOT, "Top", TVI_LAST, 1);
    HTREEITEM a = Add(top, "A", TVI_LAST, 2);
    HTREEITEM b = Add(top, "B", TVI_LAST, 3);
    EXPECT_TRUE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)a));
    // Selecting a hidden child opens its parent.
    EXPECT_TRUE(State(top) & TVIS_EXPANDED);
    EXPECT_EQ(Next(TVGN_CARET), a);
    EXPECT_TRUE(State(a) & TVIS_SELECTED);
    ASSERT_GE(notes.size(), 2u);
    EXPECT_EQ(notes.front().code, TVN_SELCHANGING);
    EXPECT_EQ(notes.front().newItem, a);

    notes.clear();
    onNotify = [](UINT code, NMTREEVIEWA*) -> LRESULT { return code == TVN_SELCHANGING; };
    EXPECT_FALSE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)b));
    EXPECT_EQ(Next(TVGN_CARET), a);
    onNotify = nullptr;

    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)b);
    notes.clear();
    SendMessage(tree, TVM_DELETEITEM, 0, (LPARAM)b);
    EXPECT_EQ(Next(TVGN_CARET), a);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.front().code, TVN_DELETEITEM);
    EXPECT_EQ(notes.front().oldParam, 3);

    SendMessage(tree, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)top);
    EXPECT_EQ(Next(TVGN_CARET), top);
    EXPECT_FALSE(State(a) & TVIS_SELECTED);
}

TEST_F(TreeViewTest, OwnerMayDestroyTheTreeInsideANotification)
{
    Make(TVS_HASBUTTONS | TVS_LINESATROOT);
    HTREEITEM top = Add(TVI_ROOT, "Top");
    HTREEITEM child = Add(top, "Child");
    onNotify = [this](UINT code, NMTREEVIEWA*) -> LRESULT {
        if (code == TVN_SELCHANGED || code == TVN_DELETEITEM)
            DestroyWindow(tree);
        return 0;
    };
    // Selecting the hidden child would go on to open and scroll to it.
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)child);
    EXPECT_FALSE(IsWindow(tree));

    Make(TVS_HASBUTTONS);
    top = Add(TVI_ROOT, "Top");
    Add(top, "One");
    Add(top, "Two");
    SendMessage(tree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    EXPECT_FALSE(IsWindow(tree));
}

TEST_F(TreeViewTest, MouseSelectsExpandsAndTogglesChecks)
{
    Make(TVS_HASBUTTONS | TVS_LINESATROOT | TVS_CHECKBOXES);
    HTREEITEM top = Add(TVI_ROOT, "Top");
    HTREEITEM child = Add(top, "Child");
    Pump();
    RECT label = LabelRect(top);
    POINT p = Screen(label.left + 3, (label.top + label.bottom) / 2);
    platform::headless::Click(p.x, p.y);
    Pump();
    EXPECT_EQ(Next(TVGN_CARET), top);
    EXPECT_EQ(GetFocus(), tree);
    bool byMouse = false;
    for (const Note& n : notes)
        byMouse |= n.code == TVN_SELCHANGED && n.action == TVC_BYMOUSE;
    EXPECT_TRUE(byMouse);

    TVHITTESTINFO hit{};
    hit.pt = POINT{8, (label.top + label.bottom) / 2};
    EXPECT_EQ((HTREEITEM)SendMessage(tree, TVM_HITTEST, 0, (LPARAM)&hit), top);
    EXPECT_EQ(hit.flags, (UINT)TVHT_ONITEMBUTTON);
    p = Screen(hit.pt.x, hit.pt.y);
    platform::headless::Click(p.x, p.y);
    Pump();
    EXPECT_TRUE(State(top) & TVIS_EXPANDED);

    // The check box sits between the button and the label.
    RECT childLabel = LabelRect(child);
    hit.pt = POINT{childLabel.left - 8, (childLabel.top + childLabel.bottom) / 2};
    SendMessage(tree, TVM_HITTEST, 0, (LPARAM)&hit);
    EXPECT_EQ(hit.flags, (UINT)TVHT_ONITEMSTATEICON);
    TVITEMA tv{};
    tv.hItem = child;
    tv.mask = TVIF_STATE;
    tv.state = INDEXTOSTATEIMAGEMASK(1);
    tv.stateMask = TVIS_STATEIMAGEMASK;
    SendMessage(tree, TVM_SETITEM, 0, (LPARAM)&tv);
    p = Screen(hit.pt.x, hit.pt.y);
    platform::headless::Click(p.x, p.y);
    Pump();
    EXPECT_EQ(State(child, TVIS_STATEIMAGEMASK), (UINT)INDEXTOSTATEIMAGEMASK(2));

    // A double click on a label toggles the item.
    p = Screen(label.left + 3, (label.top + label.bottom) / 2);
    platform::headless::Click(p.x, p.y);
    platform::headless::Click(p.x, p.y);
    Pump();
    EXPECT_FALSE(State(top) & TVIS_EXPANDED);
}

TEST_F(TreeViewTest, ArrowKeysMoveExpandAndCollapse)
{
    Make(TVS_HASBUTTONS | TVS_LINESATROOT);
    HTREEITEM one = Add(TVI_ROOT, "One");
    HTREEITEM inner = Add(one, "Inner");
    HTREEITEM two = Add(TVI_ROOT, "Two");
    SetFocus(tree);
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)one);
    SendMessage(tree, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Next(TVGN_CARET), two);
    SendMessage(tree, WM_KEYDOWN, VK_UP, 0);
    SendMessage(tree, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(State(one) & TVIS_EXPANDED);
    SendMessage(tree, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(Next(TVGN_CARET), inner);
    SendMessage(tree, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(Next(TVGN_CARET), one);
    SendMessage(tree, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_FALSE(State(one) & TVIS_EXPANDED);
    SendMessage(tree, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(Next(TVGN_CARET), two);
}

TEST_F(TreeViewTest, EnsureVisibleOpensAndScrolls)
{
    Make(TVS_HASBUTTONS | TVS_LINESATROOT | WS_VSCROLL, RECT{10, 10, 210, 110});
    HTREEITEM first = Add(TVI_ROOT, "Item 0");
    for (int i = 1; i < 30; ++i)
        Add(TVI_ROOT, ("Item " + std::to_string(i)).c_str());
    HTREEITEM last = Add(TVI_ROOT, "Last");
    HTREEITEM deep = Add(last, "Deep");
    EXPECT_EQ(Next(TVGN_FIRSTVISIBLE), first);
    EXPECT_TRUE(SendMessage(tree, TVM_ENSUREVISIBLE, 0, (LPARAM)deep));
    EXPECT_TRUE(State(last) & TVIS_EXPANDED);
    int visible = (int)SendMessage(tree, TVM_GETVISIBLECOUNT, 0, 0);
    ASSERT_GT(visible, 1);
    RECT r = LabelRect(deep);
    RECT client{};
    GetClientRect(tree, &client);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, client.bottom);
    EXPECT_NE(Next(TVGN_FIRSTVISIBLE), first);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(tree, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 31);
    EXPECT_GT(si.nPos, 0);
}

TEST_F(TreeViewTest, PaintsSelectionImagesAndHonoursSetRedraw)
{
    Make(TVS_HASBUTTONS | TVS_LINESATROOT);
    std::vector<DWORD> bits(32 * 16, 0x00FF00);
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            bits[static_cast<size_t>(y * 32 + x)] = 0xFF0000;
    HBITMAP strip = CreateBitmap(32, 16, 1, 32, bits.data());
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 2, 2);
    ASSERT_EQ(ImageList_Add(images, strip, NULL), 0);
    EXPECT_EQ(ImageList_GetImageCount(images), 2);
    SendMessage(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)images);

    SendMessage(tree, WM_SETREDRAW, FALSE, 0);
    HTREEITEM item = Add(TVI_ROOT, "Selected");
    TVITEMA tv{};
    tv.hItem = item;
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.iImage = 0;
    tv.iSelectedImage = 1;
    SendMessage(tree, TVM_SETITEM, 0, (LPARAM)&tv);
    UpdateWindow(parent);
    Pump();
    RECT label = LabelRect(item);
    EXPECT_NE(WindowPixel(tree, label.left - 8, (label.top + label.bottom) / 2), RGB(0, 255, 0));
    SendMessage(tree, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(parent);
    Pump();
    EXPECT_EQ(WindowPixel(tree, label.left - 8, (label.top + label.bottom) / 2), RGB(0, 255, 0));

    SetFocus(tree);
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    UpdateWindow(parent);
    Pump();
    EXPECT_EQ(WindowPixel(tree, label.left - 8, (label.top + label.bottom) / 2), RGB(255, 0, 0));
    EXPECT_EQ(WindowPixel(tree, label.right - 2, label.top + 2), GetSysColor(COLOR_HIGHLIGHT));

    DestroyWindow(tree);
    ImageList_Destroy(images);
    DeleteObject(strip);
    EXPECT_EQ(ImageList_GetImageCount(images), 0);
}

} // namespace
