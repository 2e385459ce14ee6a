#pragma once
// Input to a design view through the headless back end, as a user gives
// it: clicks and drags at logical points of the surface, keys with
// modifiers, and what a command's update handler says.

#include "tests/surface/SurfaceTestSupport.h"

#include "model/DrawRect.h"
#include "platform/base/Clock.h"
#include "platform/framework/OleData.h"
#include "platform/ui/AfxMessageBox.h"
#include "platform/ui/Headless.h"
#include "surface/SurfaceTool.h"

#include <ostream>
#include <string>
#include <vector>

// Rectangles in failure messages as their four values.
inline void PrintTo(const CRect& rect, std::ostream* os)
{
    *os << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

namespace surfacetest {

class SurfaceInputTest : public SurfaceTest {
protected:
    void SetUp() override
    {
        SurfaceTest::SetUp();
        m_savedFlags = thePrefs.Flags;
        thePrefs.Flags = 0;
        // The main window's keys (Escape) as the program's main frame has
        // them.
        m_pMain->m_hAccelTable = ::LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
        // Time moves only when a test says so: clicks far apart in time
        // stay single clicks.
        platform::SetClockSource(&m_clock);
        // A menu or dialog that would wait for the user gets Escape; a few
        // times in a row at most, then the loop is left to end.
        s_nIdleEscapes = kIdleEscapes;
        platform::headless::SetIdleHandler([] {
            if (s_nIdleEscapes <= 0)
                return false;
            --s_nIdleEscapes;
            platform::headless::TypeKey(VK_ESCAPE);
            return true;
        });
    }

    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        thePrefs.Flags = m_savedFlags;
        SurfaceTest::TearDown();
    }

    // A design with its view focused at 100 %.
    CSurface* NewView()
    {
        CDrawDoc* pDoc = NewDesign();
        if (pDoc == nullptr)
            return nullptr;
        CSurface* pView = FirstView(pDoc);
        pDoc->SetZoom(100);
        SetClientSize(pView, 900, 1200);
        pView->SetFocus();
        Pump();
        return pView;
    }

    // Dispatches what is queued; a WM_QUIT that a loop left when it had
    // nothing more to do is taken off, so that the test's next step runs.
    static void Pump()
    {
        SurfaceTest::Pump();
        MSG msg;
        while (::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        s_nIdleEscapes = kIdleEscapes;
    }

    static CDrawRect* AddRect(CSurface* pView, const CRect& rect, int nShape = SHAPE_RECTANGLE)
    {
        auto* pObj = new CDrawRect(rect, nShape);
        pView->Add(pObj);
        return pObj;
    }

    static CPoint ScreenAt(CSurface* pView, CPoint logical)
    {
        pView->LPtoDPPoint(&logical);
        pView->ClientToScreen(&logical);
        return logical;
    }

    void ClickAt(CSurface* pView, CPoint logical)
    {
        m_clock.Advance(kApart);
        const CPoint pt = ScreenAt(pView, logical);
        platform::headless::Click(pt.x, pt.y);
        Pump();
    }

    void DragBetween(CSurface* pView, CPoint from, CPoint to)
    {
        m_clock.Advance(kApart);
        const CPoint a = ScreenAt(pView, from);
        const CPoint b = ScreenAt(pView, to);
        platform::headless::MoveMouse(a.x, a.y);
        platform::headless::PressMouse(0, a.x, a.y);
        Pump();
        platform::headless::MoveMouse((a.x + b.x) / 2, (a.y + b.y) / 2);
        Pump();
        platform::headless::MoveMouse(b.x, b.y);
        Pump();
        platform::headless::ReleaseMouse(0, b.x, b.y);
        Pump();
    }

    void RightClickAt(CSurface* pView, CPoint logical)
    {
        m_clock.Advance(kApart);
        const CPoint pt = ScreenAt(pView, logical);
        platform::headless::MoveMouse(pt.x, pt.y);
        platform::headless::PressMouse(1, pt.x, pt.y);
        platform::headless::ReleaseMouse(1, pt.x, pt.y);
        Pump();
    }

    enum Modifier : UINT { None = 0, Shift = 1, Ctrl = 2 };

    static void Key(UINT vk, UINT modifiers = None)
    {
        namespace hl = platform::headless;
        if (modifiers & Shift)
            hl::KeyDown(VK_SHIFT);
        if (modifiers & Ctrl)
            hl::KeyDown(VK_CONTROL);
        hl::TypeKey(vk);
        if (modifiers & Ctrl)
            hl::KeyUp(VK_CONTROL);
        if (modifiers & Shift)
            hl::KeyUp(VK_SHIFT);
        Pump();
    }

    // Whether the command would run from its menu item now.
    static BOOL IsEnabled(CSurface* pView, UINT nID) { return CommandStateOf(pView->GetParentFrame(), nID).bEnabled; }

    // Whether the command's item is checked now (-1 when its handler does
    // not say).
    static int CheckOf(CSurface* pView, UINT nID) { return CommandStateOf(pView->GetParentFrame(), nID, FALSE).nCheck; }

    static int SelectedCount(CSurface* pView) { return static_cast<int>(pView->GetSelection().GetCount()); }

    // Longer than any double-click time.
    static constexpr DWORD kApart = 5000;
    static constexpr int kIdleEscapes = 4;
    static inline int s_nIdleEscapes = kIdleEscapes;
    WORD m_savedFlags = 0;
    platform::FakeClock m_clock;
};

// Input tests whose commands may raise message boxes (answered OK and kept
// in m_boxes) and may leave data on the clipboard (flushed at the end).
class SurfaceCommandInputTest : public SurfaceInputTest {
protected:
    void SetUp() override
    {
        SurfaceInputTest::SetUp();
        platform::SetAfxMessageBoxHandler([this](LPCSTR text, UINT, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        platform::SetAfxMessageBoxHandler(nullptr);
        COleDataSource::FlushClipboard();
        SurfaceInputTest::TearDown();
    }

    static void Command(CSurface* pView, UINT nID)
    {
        pView->SendMessage(WM_COMMAND, nID);
        Pump();
    }

    std::vector<std::string> m_boxes;
};

} // namespace surfacetest
