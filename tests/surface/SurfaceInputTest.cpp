#include "tests/surface/SurfaceInputDriver.h"
#include "tests/surface/SurfaceInputTestSupport.h"

#include "model/UndoList.h"
#include "surface/SurfaceGlobals.h"

#include <string>
#include <vector>

namespace hl = platform::headless;

namespace surfacetest {
namespace {


// Two rectangles side by side, well inside the page.
struct TwoObjects {
    CDrawRect* pLeft;
    CDrawRect* pRight;
};

TwoObjects AddTwo(CSurface* pView)
{
    auto* pLeft = new CDrawRect(CRect(-300, 200, -100, 0));
    auto* pRight = new CDrawRect(CRect(100, 200, 300, 0));
    pView->Add(pLeft);
    pView->Add(pRight);
    return {pLeft, pRight};
}

// The items of the first context menu shown while it is open: their ids
// (0 for a separator, -1 for a submenu) and texts.
struct SeenMenu {
    std::vector<UINT> ids;
    std::vector<std::string> texts;
};

SeenMenu* s_pSeen = nullptr;
WNDPROC s_pPrevProc = nullptr;

LRESULT CALLBACK MenuSpy(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITMENUPOPUP && s_pSeen != nullptr && s_pSeen->ids.empty()) {
        HMENU hMenu = reinterpret_cast<HMENU>(wParam);
        const int nCount = ::GetMenuItemCount(hMenu);
        for (int i = 0; i < nCount; ++i) {
            s_pSeen->ids.push_back(::GetMenuItemID(hMenu, i));
            char text[128] = {};
            ::GetMenuString(hMenu, UINT(i), text, sizeof(text), MF_BYPOSITION);
            s_pSeen->texts.push_back(text);
        }
    }
    return ::CallWindowProc(s_pPrevProc, hWnd, message, wParam, lParam);
}

// Records the first menu the view's frame opens (the fixture closes menus
// with Escape).
class MenuWatch {
public:
    explicit MenuWatch(CSurface* pView)
        : m_hFrame(pView->GetParentFrame()->m_hWnd)
    {
        s_pSeen = &m_seen;
        s_pPrevProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtr(m_hFrame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MenuSpy)));
    }
    ~MenuWatch()
    {
        if (::IsWindow(m_hFrame))
            ::SetWindowLongPtr(m_hFrame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_pPrevProc));
        s_pSeen = nullptr;
    }
    const SeenMenu& Seen() const { return m_seen; }
    void Reset() { m_seen = SeenMenu(); }

private:
    HWND m_hFrame;
    SeenMenu m_seen;
};

} // namespace

// ---- Clicks ------------------------------------------------------------------------------------

TEST_F(SurfaceInputTest, SecondClickOnTheSelectionSwitchesToRotationHandlesAndFurtherClicksToggle)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    const TwoObjects objs = AddTwo(pView);
    const CPoint inside(-200, 100);

    ClickAt(pView, inside);
    ASSERT_EQ(SelectedCount(pView), 1);
    EXPECT_EQ(pView->m_nClickCount, 1);
    pView->m_bRotateMode = FALSE;

    ClickAt(pView, inside);
    EXPECT_EQ(pView->m_nClickCount, 2);
    EXPECT_TRUE(pView->m_bRotateMode);
    EXPECT_EQ(pView->m_pCurrentObject, objs.pLeft);

    ClickAt(pView, inside);
    EXPECT_EQ(pView->m_nClickCount, 3);
    EXPECT_FALSE(pView->m_bRotateMode);
    ClickAt(pView, inside);
    EXPECT_TRUE(pView->m_bRotateMode);

    // A click beside the selection starts counting again.
    ClickAt(pView, CPoint(0, -300));
    EXPECT_EQ(pView->m_nClickCount, 0);
    ClickAt(pView, inside);
    EXPECT_EQ(pView->m_nClickCount, 1);

    // A drag is no click: the count starts again.
    DragBetween(pView, inside, CPoint(-150, 100));
    EXPECT_EQ(pView->m_nClickCount, 0);
    EXPECT_EQ(m_pMain->Count(WM_SURFACE_SELCHANGED) > 0, true);
}

TEST_F(SurfaceInputTest, InactiveViewGivesNothingToTheTool)
{
    CSurface* pFirst = NewView();
    ASSERT_NE(pFirst, nullptr);
    const TwoObjects objs = AddTwo(pFirst);
    CSurface* pSecond = NewView();
    ASSERT_NE(pSecond, nullptr);
    ASSERT_FALSE(pFirst->IsActiveView());
    ASSERT_TRUE(pSecond->IsActiveView());

    // Messages straight to the inactive view: no selection, no drawing.
    CPoint pt(-200, 100);
    pFirst->LPtoDPPoint(&pt);
    pFirst->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    pFirst->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(SelectedCount(pFirst), 0);
    EXPECT_EQ(pFirst->m_nClickCount, 0);

    pSecond->SendMessage(WM_COMMAND, ID_DRAW_RECT);
    ASSERT_EQ(g_nCurrentShape, 0);
    CPoint a(0, -300), b(200, -500);
    pFirst->LPtoDPPoint(&a);
    pFirst->LPtoDPPoint(&b);
    pFirst->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    pFirst->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x, b.y));
    pFirst->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
    Pump();
    EXPECT_EQ(pFirst->GetObjects().GetCount(), 2);
    EXPECT_EQ(g_nCurrentShape, 0);
    EXPECT_EQ(objs.pLeft->m_position, CRect(-300, 200, -100, 0));
}

TEST_F(SurfaceInputTest, WhileTextIsEditedPressesGoToTheSelectionTool)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawRect* pText = AddRect(pView, CRect(-300, 300, 300, 100));
    pText->SetText("Hello", TRUE);
    pView->Select(pText);
    pText->BeginTextEdit();
    ASSERT_TRUE(pText->IsTextEditActive());
    ASSERT_EQ(pView->GetTextEditObject(), pText);

    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_DRAW_RECT);
    ASSERT_EQ(g_nCurrentShape, 0);
    // A drag over empty paper would draw a rectangle with shape 0.
    DragBetween(pView, CPoint(-300, -100), CPoint(-100, -300));
    EXPECT_EQ(pView->GetObjects().GetCount(), 1);

    // Without the edit the same drag draws.
    pText->EndTextEdit();
    pView->Select(NULL);
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_DRAW_RECT);
    ASSERT_EQ(g_nCurrentShape, 0);
    DragBetween(pView, CPoint(-300, -100), CPoint(-100, -300));
    EXPECT_EQ(pView->GetObjects().GetCount(), 2);
}

// ---- Delete ------------------------------------------------------------------------------------

TEST_F(SurfaceInputTest, DeleteRemovesSeveralObjectsWhileClearIsDisabledAndCtrlDeleteRemovesNothing)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    const TwoObjects objs = AddTwo(pView);
    pView->Select(objs.pLeft);
    pView->Select(objs.pRight, TRUE);
    ASSERT_EQ(SelectedCount(pView), 2);
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_CLEAR));

    Key(VK_DELETE, Ctrl);
    EXPECT_EQ(pView->GetObjects().GetCount(), 2);
    EXPECT_EQ(SelectedCount(pView), 2);

    const int nSteps = pDoc->GetUndoList().GetCount();
    Key(VK_DELETE);
    EXPECT_TRUE(pView->GetObjects().IsEmpty());
    EXPECT_TRUE(pView->GetSelection().IsEmpty());
    EXPECT_EQ(pDoc->GetUndoList().GetCount(), nSteps + 1);

    // One step brings both back, in their order.
    pDoc->GetUndoList().Undo(pDoc);
    Pump();
    ASSERT_EQ(pView->GetObjects().GetCount(), 2);
    EXPECT_EQ(static_cast<CDrawObj*>(pView->GetObjects().GetHead())->m_position, CRect(-300, 200, -100, 0));
    EXPECT_EQ(static_cast<CDrawObj*>(pView->GetObjects().GetTail())->m_position, CRect(100, 200, 300, 0));
}

TEST_F(SurfaceInputTest, ClearTakesOneUnlockedObject)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    const TwoObjects objs = AddTwo(pView);
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_CLEAR));
    pView->Select(objs.pLeft);
    EXPECT_TRUE(IsEnabled(pView, ID_EDIT_CLEAR));
    objs.pLeft->m_wFlags |= OBJ_FLAG_LOCKED;
    EXPECT_FALSE(IsEnabled(pView, ID_EDIT_CLEAR));
    objs.pLeft->m_wFlags &= WORD(~OBJ_FLAG_LOCKED);

    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_EDIT_CLEAR);
    Pump();
    ASSERT_EQ(pView->GetObjects().GetCount(), 1);
    EXPECT_EQ(pView->GetObjects().GetHead(), objs.pRight);
}

// ---- Keyboard moves and sizes -------------------------------------------------------------------

TEST_F(SurfaceInputTest, TenSmallNudgesEqualOneLargeNudgeAndRecordNoUndo)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    const TwoObjects objs = AddTwo(pView);
    pView->Select(objs.pLeft);
    pView->Select(objs.pRight, TRUE);
    const int nSteps = pDoc->GetUndoList().GetCount();

    struct Case {
        UINT vk;
        CSize offset;
    };
    const Case cases[] = {{VK_RIGHT, {10, 0}}, {VK_LEFT, {-10, 0}}, {VK_UP, {0, 10}}, {VK_DOWN, {0, -10}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        const CRect start = objs.pLeft->m_position;
        const CRect startUnrotated = objs.pLeft->m_rectUnrotated;
        for (int i = 0; i < 10; ++i)
            Key(c.vk, Ctrl);
        CRect small = objs.pLeft->m_position;
        CRect expected = start;
        expected.OffsetRect(c.offset);
        EXPECT_EQ(small, expected);
        CRect expectedUnrotated = startUnrotated;
        expectedUnrotated.OffsetRect(c.offset);
        EXPECT_EQ(objs.pLeft->m_rectUnrotated, expectedUnrotated);

        // The same again in one large step.
        Key(c.vk);
        expected.OffsetRect(c.offset);
        EXPECT_EQ(objs.pLeft->m_position, expected);
        expectedUnrotated.OffsetRect(c.offset);
        EXPECT_EQ(objs.pLeft->m_rectUnrotated, expectedUnrotated);
    }
    EXPECT_EQ(pDoc->GetUndoList().GetCount(), nSteps);
}

TEST_F(SurfaceInputTest, ShiftArrowsSizeByTenUnitsShrinkWithCtrlAndWorkAboutTheCentreWithTheOption)
{
    struct Case {
        WORD wFlags;
        UINT vk;
        UINT modifiers;
        CRect expected; // from (-300, 200, -100, 0)
    };
    const Case cases[] = {
        {0, VK_LEFT, Shift, {-310, 200, -100, 0}},
        {0, VK_UP, Shift, {-300, 210, -100, 0}},
        {0, VK_RIGHT, Shift, {-300, 200, -90, 0}},
        {0, VK_DOWN, Shift, {-300, 200, -100, -10}},
        {0, VK_LEFT, Shift | Ctrl, {-300, 200, -110, 0}},
        {0, VK_UP, Shift | Ctrl, {-300, 200, -100, 10}},
        {0, VK_RIGHT, Shift | Ctrl, {-290, 200, -100, 0}},
        {0, VK_DOWN, Shift | Ctrl, {-300, 190, -100, 0}},
        {PREF_FLAG_RESIZE_FROM_CENTER, VK_UP, Shift, {-290, 190, -110, 10}},
        {PREF_FLAG_RESIZE_FROM_CENTER, VK_RIGHT, Shift, {-290, 190, -110, 10}},
        {PREF_FLAG_RESIZE_FROM_CENTER, VK_LEFT, Shift, {-310, 210, -90, -10}},
        {PREF_FLAG_RESIZE_FROM_CENTER, VK_DOWN, Shift | Ctrl, {-310, 210, -90, -10}},
    };
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.wFlags << " key " << c.vk << " mods " << c.modifiers);
        thePrefs.Flags = c.wFlags;
        CDrawRect* pObj = AddRect(pView, CRect(-300, 200, -100, 0));
        pView->Select(pObj);
        Key(c.vk, c.modifiers);
        EXPECT_EQ(pObj->m_position, c.expected);
        EXPECT_EQ(pObj->m_rectUnrotated, c.expected);
        pView->Select(NULL);
        pView->Remove(pObj);
        delete pObj;
    }
}

TEST_F(SurfaceInputTest, LockedObjectKeepsBothRectanglesWhenItsSelectionMovesOrSizes)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    const TwoObjects objs = AddTwo(pView);
    objs.pRight->m_wFlags |= OBJ_FLAG_LOCKED;
    // A second rectangle that differs from the position shows whether it
    // is offset.
    objs.pRight->m_rectUnrotated = CRect(90, 210, 310, -10);
    pView->Select(objs.pLeft);
    pView->Select(objs.pRight, TRUE);

    Key(VK_RIGHT);
    Key(VK_UP, Ctrl);
    Key(VK_LEFT, Shift);
    EXPECT_EQ(objs.pRight->m_position, CRect(100, 200, 300, 0));
    EXPECT_EQ(objs.pRight->m_rectUnrotated, CRect(90, 210, 310, -10));
    EXPECT_EQ(objs.pLeft->m_position, CRect(-300, 201, -90, 1));

    // And when the mouse moves the selection.
    DragBetween(pView, CPoint(-200, 100), CPoint(-100, 50));
    EXPECT_EQ(objs.pRight->m_position, CRect(100, 200, 300, 0));
    EXPECT_EQ(objs.pRight->m_rectUnrotated, CRect(90, 210, 310, -10));
}

// ---- Letters -----------------------------------------------------------------------------------

TEST_F(SurfaceInputTest, FFitsThePageButNotWhileTextIsEdited)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    ASSERT_EQ(pDoc->GetZoom(), 100);

    CDrawRect* pText = AddRect(pView, CRect(-300, 300, 300, 100));
    pText->SetText("Hello", TRUE);
    pView->Select(pText);
    pText->BeginTextEdit();
    Key('F');
    EXPECT_EQ(pDoc->GetZoom(), 100);
    Key('F', Shift);
    EXPECT_EQ(pDoc->GetZoom(), 100);

    pText->EndTextEdit();
    Key('F', Ctrl);
    EXPECT_EQ(pDoc->GetZoom(), 100);
    Key('F');
    EXPECT_EQ(pDoc->GetZoom(), ZOOM_FIT);
}

TEST_F(SurfaceInputTest, LetterOfADisabledCommandDoesNothing)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    const TwoObjects objs = AddTwo(pView);
    // R is the rectangle tool; M maximises one object, which is not there
    // to maximise while nothing is selected.
    Key('R');
    EXPECT_EQ(g_nCurrentShape, 0);
    Key(VK_ESCAPE);
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    Key('M');
    EXPECT_EQ(objs.pLeft->m_position, CRect(-300, 200, -100, 0));
    EXPECT_EQ(objs.pRight->m_position, CRect(100, 200, 300, 0));
}

// ---- Context menus -----------------------------------------------------------------------------

TEST_F(SurfaceInputTest, ContextMenusFollowTheSelectionAndThePointer)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    const TwoObjects objs = AddTwo(pView);
    MenuWatch watch(pView);

    // Over empty paper: the surface's menu, with Add Calendar third.
    RightClickAt(pView, CPoint(0, -400));
    ASSERT_GE(watch.Seen().ids.size(), 5u);
    EXPECT_EQ(watch.Seen().ids[0], UINT(ID_INSERT_ADD_PICTURE));
    EXPECT_EQ(watch.Seen().ids[1], UINT(ID_INSERT_TEXT_WORKSPACE));
    EXPECT_EQ(watch.Seen().ids[2], UINT(ID_INSERT_CALENDAR));
    EXPECT_EQ(watch.Seen().texts[2], "Add &Calendar...");
    EXPECT_EQ(watch.Seen().ids[3], UINT(ID_INSERT_SHAPE));
    EXPECT_EQ(SelectedCount(pView), 0);

    // Over an object: it is selected and the object's menu shows.
    watch.Reset();
    RightClickAt(pView, CPoint(-200, 100));
    ASSERT_FALSE(watch.Seen().ids.empty());
    EXPECT_EQ(watch.Seen().ids[0], UINT(ID_EDIT_PROPERTIES));
    EXPECT_EQ(watch.Seen().texts[0], "Pr&operties...");
    EXPECT_EQ(watch.Seen().ids[1], UINT(ID_EDIT_CUT));
    ASSERT_EQ(SelectedCount(pView), 1);
    EXPECT_EQ(pView->GetSelection().GetHead(), objs.pLeft);

    // Inside several selected objects: the menu of several.
    pView->Select(objs.pRight, TRUE);
    watch.Reset();
    RightClickAt(pView, CPoint(200, 100));
    ASSERT_FALSE(watch.Seen().ids.empty());
    EXPECT_EQ(watch.Seen().ids[0], UINT(ID_EDIT_CUT));
    EXPECT_EQ(watch.Seen().ids.back(), UINT(ID_ARRANGE_UNLOCK));
    EXPECT_EQ(SelectedCount(pView), 2);

    // From the keyboard the same menu, with the selection kept.
    watch.Reset();
    Key(VK_F10, Shift);
    ASSERT_FALSE(watch.Seen().ids.empty());
    EXPECT_EQ(watch.Seen().ids[0], UINT(ID_EDIT_CUT));
    EXPECT_EQ(SelectedCount(pView), 2);
    EXPECT_EQ(pView->m_flags & CSurface::SurfaceContextMenu, 0);
}

TEST_F(SurfaceInputTest, KeyboardMenuOpensLeftOfAndAboveTheMiddleOfWhatIsShown)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    // At 100 %: 50 units left of and 80 above the middle.
    EXPECT_EQ(pView->GetInsertPoint(CRect(-300, 200, -100, 0)), CPoint(-250, 180));
    // Only the part in the window counts.
    CRect client;
    pView->GetClientRect(&client);
    pView->DPtoLPRect(&client);
    client.NormalizeRect();
    const CRect wide(client.left - 1000, 200, client.left + 100, 0);
    EXPECT_EQ(pView->GetInsertPoint(wide), CPoint(client.left + 50 - 50, 180));
}

} // namespace surfacetest

namespace surfacetest {

TEST_F(SurfaceInputTest, PressWhoseReleaseWentElsewhereEndsItsDragBeforeTheNextPress)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_DRAW_RECT);

    // Presses whose releases never come, then one that ends normally.
    const CPoint a = ScreenAt(pView, CPoint(-300, 300));
    const CPoint b = ScreenAt(pView, CPoint(100, -100));
    for (int i = 0; i < 3; ++i) {
        m_clock.Advance(kApart);
        hl::PressMouse(0, a.x, a.y);
        Pump();
    }
    m_clock.Advance(kApart);
    hl::PressMouse(0, b.x, b.y);
    Pump();
    hl::ReleaseMouse(0, b.x, b.y);
    Pump();

    // Each press was a click without a drag: nothing stays, nothing is
    // left to undo.
    EXPECT_TRUE(pView->GetObjects().IsEmpty());
    EXPECT_EQ(g_nCurrentShape, kShapeSelect);
    const std::string undo = surfaceinput::CheckUndoRedo(pView);
    EXPECT_TRUE(undo.empty()) << undo;
    (void)pDoc;
}

TEST_F(SurfaceInputTest, CommandDuringADragFinishesTheDragFirst)
{
    CSurface* pView = NewView();
    ASSERT_NE(pView, nullptr);
    CDrawDoc* pDoc = pView->GetDocument();
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_DRAW_RECT);
    const int nSteps = pDoc->GetUndoList().GetCount();

    const CPoint a = ScreenAt(pView, CPoint(-300, 300));
    const CPoint b = ScreenAt(pView, CPoint(-100, 100));
    m_clock.Advance(kApart);
    hl::MoveMouse(a.x, a.y);
    hl::PressMouse(0, a.x, a.y);
    Pump();
    hl::MoveMouse(b.x, b.y);
    Pump();
    // With the button still held a key chooses another tool.
    pView->GetParentFrame()->SendMessage(WM_COMMAND, ID_DRAW_TEXT_TOOL);
    hl::ReleaseMouse(0, b.x, b.y);
    Pump();

    ASSERT_EQ(pView->GetObjects().GetCount(), 1);
    EXPECT_EQ(CDrawObj::NormalizeUp(static_cast<CDrawObj*>(pView->GetObjects().GetHead())->m_position),
        CRect(-300, 300, -100, 100));
    EXPECT_EQ(pDoc->GetUndoList().GetCount(), nSteps + 1);
    EXPECT_EQ(g_nCurrentShape, kShapeText);
    EXPECT_TRUE(IsTextEditMode());
    const std::string undo = surfaceinput::CheckUndoRedo(pView);
    EXPECT_TRUE(undo.empty()) << undo;
}

} // namespace surfacetest
