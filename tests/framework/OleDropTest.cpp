// Drop targets over the desktop's file drops: each drop is played as enter,
// scroll, over and drop (or leave) with the keys held, and the files arrive
// as CF_HDROP.

#include "platform/base/GlobalMemory.h"
#include "platform/files/HostPath.h"
#include "platform/framework/OleData.h"
#include "platform/framework/OleDrop.h"
#include "platform/framework/View.h"
#include "platform/framework/Wnd.h"
#include "platform/ui/DragTarget.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int g_ownDrops = 0;

LRESULT CALLBACK PlainProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DROPFILES) {
        ++g_ownDrops;
        DragFinish(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return DefWindowProc(hWnd, message, wParam, lParam);
}

class CRecordingTarget : public COleDropTarget {
public:
    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject*, DWORD dwKeyState, CPoint) override
    {
        calls += "enter ";
        enterKeys = dwKeyState;
        window = pWnd != NULL ? pWnd->GetSafeHwnd() : NULL;
        return answer;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD dwKeyState, CPoint point) override
    {
        calls += "over ";
        overKeys = dwKeyState;
        overPoint = point;
        return answer;
    }
    DROPEFFECT OnDragScroll(CWnd*, DWORD, CPoint) override
    {
        calls += "scroll ";
        return DROPEFFECT_NONE;
    }
    DROPEFFECT OnDropEx(CWnd*, COleDataObject*, DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint) override
    {
        calls += "dropex ";
        exDefault = dropDefault;
        exList = dropList;
        return exAnswer;
    }
    BOOL OnDrop(CWnd*, COleDataObject* pData, DROPEFFECT dropEffect, CPoint point) override
    {
        calls += "drop";
        effect = dropEffect;
        dropPoint = point;
        hasFiles = pData->IsDataAvailable(CF_HDROP) != FALSE;
        if (HGLOBAL h = pData->GetGlobalData(CF_HDROP)) {
            names.assign(static_cast<const char*>(GlobalLock(h)) + 20, GlobalSize(h) - 20);
            GlobalUnlock(h);
            GlobalFree(h);
        }
        return TRUE;
    }
    void OnDragLeave(CWnd*) override { calls += "leave"; }

    std::string calls;
    DROPEFFECT answer = DROPEFFECT_COPY;
    DROPEFFECT exAnswer = (DROPEFFECT)-1;
    DWORD enterKeys = 0;
    DWORD overKeys = 0;
    CPoint overPoint;
    CPoint dropPoint;
    DROPEFFECT effect = 0;
    DROPEFFECT exDefault = 0;
    DROPEFFECT exList = 0;
    bool hasFiles = false;
    std::string names;
    HWND window = NULL;
};

class OleDropTargets : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        g_ownDrops = 0;
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "OleDropTestWindow";
        RegisterClass(&wc);
        m_hwnd = CreateWindowEx(0, "OleDropTestWindow", "drop here", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, NULL,
            NULL, NULL, NULL);
        ASSERT_NE(m_hwnd, HWND(NULL));
    }
    void TearDown() override
    {
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }
    static void Pump()
    {
        MSG msg;
        while (PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    void DropAt(int x, int y)
    {
        platform::headless::DropFiles(m_hwnd, {"/tmp/a.txt", "/tmp/b c.bmp"}, x, y);
        Pump();
    }

    HWND m_hwnd = NULL;
};

TEST_F(OleDropTargets, ADropIsPlayedAsAWholeDragWithTheKeysHeld)
{
    CRecordingTarget target;
    ASSERT_TRUE(target.Register(CWnd::FromHandle(m_hwnd)));
    platform::headless::KeyDown(VK_SHIFT);
    platform::headless::KeyDown(VK_CONTROL);
    Pump();
    DropAt(150, 160);
    platform::headless::KeyUp(VK_CONTROL);
    platform::headless::KeyUp(VK_SHIFT);

    EXPECT_EQ(target.calls, "enter scroll over dropex drop");
    EXPECT_EQ(target.window, m_hwnd);
    EXPECT_EQ(target.enterKeys, DWORD(MK_LBUTTON | MK_SHIFT | MK_CONTROL));
    EXPECT_EQ(target.overKeys, DWORD(MK_LBUTTON | MK_SHIFT | MK_CONTROL));
    EXPECT_EQ(target.overPoint, CPoint(50, 60));
    EXPECT_EQ(target.dropPoint, CPoint(50, 60));
    EXPECT_EQ(target.exDefault, DWORD(DROPEFFECT_COPY));
    EXPECT_EQ(target.exList, DWORD(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_EQ(target.effect, DWORD(DROPEFFECT_COPY));
    EXPECT_TRUE(target.hasFiles);
    const std::string expected = platform::WindowsPathFor("/tmp/a.txt") + '\0' + platform::WindowsPathFor("/tmp/b c.bmp")
        + '\0' + '\0';
    EXPECT_EQ(target.names, expected);
    EXPECT_EQ(g_ownDrops, 0);
}

TEST_F(OleDropTargets, WithoutKeysOnlyTheButtonIsReported)
{
    CRecordingTarget target;
    ASSERT_TRUE(target.Register(CWnd::FromHandle(m_hwnd)));
    target.answer = DROPEFFECT_MOVE;
    DropAt(110, 110);
    EXPECT_EQ(target.enterKeys, DWORD(MK_LBUTTON));
    EXPECT_EQ(target.effect, DWORD(DROPEFFECT_MOVE));
}

TEST_F(OleDropTargets, ARefusedDropLeavesInstead)
{
    CRecordingTarget target;
    ASSERT_TRUE(target.Register(CWnd::FromHandle(m_hwnd)));
    target.answer = DROPEFFECT_NONE;
    DropAt(150, 160);
    EXPECT_EQ(target.calls, "enter scroll over leave");
}

TEST_F(OleDropTargets, ADropHandledByOnDropExSkipsOnDrop)
{
    CRecordingTarget target;
    ASSERT_TRUE(target.Register(CWnd::FromHandle(m_hwnd)));
    target.exAnswer = DROPEFFECT_COPY;
    DropAt(150, 160);
    EXPECT_EQ(target.calls, "enter scroll over dropex ");
}

TEST_F(OleDropTargets, RevokeGivesTheWindowItsDropsBack)
{
    const LONG_PTR ownProc = GetWindowLongPtr(m_hwnd, GWLP_WNDPROC);
    CRecordingTarget target;
    ASSERT_TRUE(target.Register(CWnd::FromHandle(m_hwnd)));
    EXPECT_TRUE(GetWindowLong(m_hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    CRecordingTarget second;
    EXPECT_FALSE(second.Register(CWnd::FromHandle(m_hwnd)));

    target.Revoke();
    EXPECT_EQ(target.GetRegisteredWindow(), HWND(NULL));
    EXPECT_EQ(GetWindowLongPtr(m_hwnd, GWLP_WNDPROC), ownProc);
    EXPECT_FALSE(GetWindowLong(m_hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    DragAcceptFiles(m_hwnd, TRUE);
    DropAt(150, 160);
    EXPECT_EQ(target.calls, "");
    EXPECT_EQ(g_ownDrops, 1);

    // The window can have a target again.
    EXPECT_TRUE(second.Register(CWnd::FromHandle(m_hwnd)));
}

TEST_F(OleDropTargets, DestroyingTheWindowEndsTheRegistration)
{
    CRecordingTarget target;
    EXPECT_FALSE(target.Register(NULL));
    ASSERT_TRUE(target.Register(CWnd::FromHandle(m_hwnd)));
    DestroyWindow(m_hwnd);
    EXPECT_EQ(target.GetRegisteredWindow(), HWND(NULL));
    target.Revoke(); // harmless now
}

// A view that takes drops as the surface view does: it registers a plain
// target and answers through its own drop virtuals.
class CDropView : public CView {
public:
    void OnDraw(CDC*) override {}
    DROPEFFECT OnDragEnter(COleDataObject* pData, DWORD dwKeyState, CPoint point) override
    {
        calls += "enter ";
        return OnDragOver(pData, dwKeyState, point);
    }
    DROPEFFECT OnDragOver(COleDataObject*, DWORD dwKeyState, CPoint) override
    {
        calls += "over ";
        if ((dwKeyState & (MK_SHIFT | MK_CONTROL)) == (MK_SHIFT | MK_CONTROL))
            return DROPEFFECT_LINK;
        return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    void OnDragLeave() override { calls += "leave "; }
    BOOL OnDrop(COleDataObject* pData, DROPEFFECT dropEffect, CPoint point) override
    {
        OnDragLeave();
        calls += "drop";
        effect = dropEffect;
        dropPoint = point;
        hasFiles = pData->IsDataAvailable(CF_HDROP) != FALSE;
        return TRUE;
    }

    COleDropTarget m_dropTarget;
    std::string calls;
    DROPEFFECT effect = 0;
    CPoint dropPoint;
    bool hasFiles = false;
};

TEST_F(OleDropTargets, ATargetOnAViewHandsTheDragToTheView)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxDefaultWndClass(), "parent", WS_POPUP | WS_VISIBLE, 300, 300, 400, 300, NULL,
        NULL));
    auto* view = new CDropView; // deletes itself with its window
    ASSERT_TRUE(view->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 110), &parent, AFX_IDW_PANE_FIRST,
        NULL));
    ASSERT_TRUE(view->m_dropTarget.Register(view));

    platform::headless::KeyDown(VK_CONTROL);
    Pump();
    platform::headless::DropFiles(parent.GetSafeHwnd(), {"/tmp/picture.bmp"}, 320, 330);
    Pump();
    platform::headless::KeyUp(VK_CONTROL);
    EXPECT_EQ(view->calls, "enter over over leave drop");
    EXPECT_EQ(view->effect, DWORD(DROPEFFECT_COPY));
    EXPECT_EQ(view->dropPoint, CPoint(10, 20));
    EXPECT_TRUE(view->hasFiles);
    parent.DestroyWindow();
}

// A drag the window system follows while it happens: the target is asked
// at each move in client coordinates, the data object offers files it does
// not name yet, and the drop brings the named files.
TEST_F(OleDropTargets, ADragInProgressIsFollowedAndTheDropNamesTheFiles)
{
    class CPeekingTarget : public CRecordingTarget {
    public:
        DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pData, DWORD dwKeyState, CPoint point) override
        {
            offered = pData->IsDataAvailable(CF_HDROP) != FALSE;
            HGLOBAL h = pData->GetGlobalData(CF_HDROP);
            named = h != NULL;
            if (h)
                GlobalFree(h);
            return CRecordingTarget::OnDragOver(pWnd, pData, dwKeyState, point);
        }
        bool offered = false;
        bool named = true;
    };
    CPeekingTarget peeking;
    ASSERT_TRUE(peeking.Register(CWnd::FromHandle(m_hwnd)));
    platform::DragTarget* live = platform::RegisteredDragTarget(m_hwnd);
    ASSERT_NE(live, nullptr);

    peeking.answer = DROPEFFECT_MOVE;
    EXPECT_EQ(live->DragEnter(MK_LBUTTON | MK_CONTROL, POINT{120, 130}), DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(peeking.window, m_hwnd);
    EXPECT_EQ(peeking.enterKeys, DWORD(MK_LBUTTON | MK_CONTROL));
    EXPECT_EQ(live->DragOver(MK_LBUTTON, POINT{150, 160}), DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(peeking.overPoint, CPoint(50, 60));
    EXPECT_TRUE(peeking.offered);
    EXPECT_FALSE(peeking.named);
    live->DragLeave();
    EXPECT_EQ(peeking.calls, "enter scroll scroll over leave");

    peeking.calls.clear();
    EXPECT_EQ(live->Drop({"C:\\tmp\\a.png", "C:\\tmp\\b c.bmp"}, MK_LBUTTON, POINT{101, 102}, DROPEFFECT_MOVE),
        DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(peeking.calls, "dropex drop");
    EXPECT_EQ(peeking.effect, DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(peeking.dropPoint, CPoint(1, 2));
    EXPECT_EQ(peeking.names, std::string("C:\\tmp\\a.png\0C:\\tmp\\b c.bmp\0\0", 29));

    // Revoked, the window follows no drags.
    peeking.Revoke();
    EXPECT_EQ(platform::RegisteredDragTarget(m_hwnd), nullptr);
}

} // namespace
