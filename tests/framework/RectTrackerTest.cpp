#include "platform/framework/RectTracker.h"

#include "platform/framework/Wnd.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Hit = CRectTracker::TrackerHit;

// A white memory bitmap to draw trackers on.
class TrackerCanvas {
public:
    TrackerCanvas(int cx, int cy)
    {
        CClientDC screen(nullptr);
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, cx, cy);
        m_old = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(CRect(0, 0, cx, cy), RGB(255, 255, 255));
    }
    ~TrackerCanvas() { m_dc.SelectObject(m_old); }
    CDC* DC() { return &m_dc; }
    COLORREF At(int x, int y) const { return m_dc.GetPixel(x, y); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_old = nullptr;
};

TEST(RectTrackerTest, HitTestFindsOutsideHandlesAndTheBody)
{
    CRectTracker tracker(CRect(100, 100, 200, 160), CRectTracker::solidLine | CRectTracker::resizeOutside);
    tracker.m_nHandleSize = 6;
    CRect trueRect;
    tracker.GetTrueRect(&trueRect);
    EXPECT_EQ(CRect(94, 94, 206, 166), trueRect);

    struct Case {
        CPoint point;
        int hit;
    };
    const Case cases[] = {
        {{95, 95}, Hit::hitTopLeft},
        {{203, 96}, Hit::hitTopRight},
        {{204, 164}, Hit::hitBottomRight},
        {{96, 163}, Hit::hitBottomLeft},
        {{150, 96}, Hit::hitTop},
        {{203, 130}, Hit::hitRight},
        {{150, 163}, Hit::hitBottom},
        {{96, 130}, Hit::hitLeft},
        {{150, 130}, Hit::hitMiddle},
        {{100, 100}, Hit::hitMiddle}, // the body's own corner pixel
        {{120, 96}, Hit::hitNothing}, // the band between handles
        {{300, 300}, Hit::hitNothing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.hit, tracker.HitTest(c.point)) << c.point.x << "," << c.point.y;
}

TEST(RectTrackerTest, InsideHandlesAndSmallRectangles)
{
    CRectTracker inside(CRect(100, 100, 200, 160), CRectTracker::resizeInside);
    inside.m_nHandleSize = 6;
    CRect trueRect;
    inside.GetTrueRect(&trueRect);
    EXPECT_EQ(CRect(100, 100, 200, 160), trueRect);
    EXPECT_EQ(Hit::hitTopLeft, inside.HitTest(CPoint(101, 101)));
    EXPECT_EQ(Hit::hitBottomRight, inside.HitTest(CPoint(198, 158)));
    EXPECT_EQ(Hit::hitNothing, inside.HitTest(CPoint(99, 99)));

    // Too small for middle handles: only the corners are handles.
    CRectTracker small(CRect(100, 100, 110, 110), CRectTracker::resizeOutside);
    EXPECT_EQ(0x0Fu, small.GetHandleMask());
    EXPECT_EQ(Hit::hitNothing, small.HitTest(CPoint(105, 97)));
    EXPECT_EQ(Hit::hitTopLeft, small.HitTest(CPoint(97, 97)));

    // No handles without a resize style.
    CRectTracker plain(CRect(100, 100, 200, 160), CRectTracker::dottedLine);
    EXPECT_EQ(Hit::hitMiddle, plain.HitTest(CPoint(101, 101)));
}

TEST(RectTrackerTest, NormalizeHitMapsHandlesOfAnInvertedRectangle)
{
    // Stored right-to-left and bottom-to-top: data handle "bottom right"
    // stands at the screen's top left.
    CRectTracker tracker(CRect(200, 160, 100, 100), CRectTracker::resizeOutside);
    tracker.m_nHandleSize = 6;
    int hit = tracker.HitTest(CPoint(96, 96));
    EXPECT_EQ(Hit::hitBottomRight, hit);
    EXPECT_EQ(Hit::hitTopLeft, tracker.NormalizeHit(hit));
    EXPECT_EQ(Hit::hitBottom, tracker.NormalizeHit(Hit::hitTop));
    EXPECT_EQ(Hit::hitLeft, tracker.NormalizeHit(Hit::hitRight));
    EXPECT_EQ(Hit::hitMiddle, tracker.NormalizeHit(Hit::hitMiddle));
    EXPECT_EQ(Hit::hitNothing, tracker.NormalizeHit(Hit::hitNothing));

    CRectTracker flippedX(CRect(200, 100, 100, 160), CRectTracker::resizeOutside);
    EXPECT_EQ(Hit::hitTopLeft, flippedX.NormalizeHit(Hit::hitTopRight));
    EXPECT_EQ(Hit::hitBottomRight, flippedX.NormalizeHit(Hit::hitBottomLeft));
}

TEST(RectTrackerTest, DrawsBordersHandlesAndHatchInDeviceUnits)
{
    platform::headless::Reset();
    TrackerCanvas canvas(300, 200);
    CDC* pDC = canvas.DC();
    // The caller's mapping does not move the tracker.
    int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(100, -100);
    pDC->SetViewportExt(50, 50);
    pDC->SetWindowOrg(-500, 300);

    CRectTracker solid(CRect(50, 50, 150, 100), CRectTracker::solidLine);
    solid.Draw(pDC);
    CRectTracker dotted(CRect(50, 120, 150, 180), CRectTracker::dottedLine | CRectTracker::resizeOutside);
    dotted.m_nHandleSize = 5;
    dotted.Draw(pDC);
    CRectTracker hatched(CRect(200, 20, 280, 100), CRectTracker::hatchInside);
    hatched.Draw(pDC);
    EXPECT_EQ(MM_ANISOTROPIC, pDC->GetMapMode()); // left as it was
    pDC->RestoreDC(saved);

    EXPECT_EQ(RGB(0, 0, 0), canvas.At(50, 70));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(149, 70));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(100, 50));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(100, 99));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(150, 70));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(100, 70));

    // A dotted border leaves gaps; handles are solid.
    int black = 0;
    for (int x = 60; x < 90; ++x)
        black += canvas.At(x, 120) == RGB(0, 0, 0);
    EXPECT_GT(black, 5);
    EXPECT_LT(black, 25);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(47, 117)); // top-left handle, outside
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(152, 182)); // bottom-right handle

    // Hatching darkens part of the inside only.
    int dark = 0;
    for (int y = 20; y < 100; ++y)
        for (int x = 200; x < 280; ++x)
            dark += canvas.At(x, y) == RGB(0, 0, 0);
    EXPECT_GT(dark, 80 * 80 / 16);
    EXPECT_LT(dark, 80 * 80 / 2);
}

TEST(RectTrackerTest, TrackerRectDrawnTwiceLeavesThePixels)
{
    platform::headless::Reset();
    TrackerCanvas canvas(120, 80);
    CDC* pDC = canvas.DC();
    for (int x = 0; x < 120; x += 10)
        pDC->FillSolidRect(CRect(x, 0, x + 5, 80), RGB(x * 2, 90, 200 - x));
    std::vector<COLORREF> before;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            before.push_back(canvas.At(x, y));

    CRectTracker tracker;
    CRect rect(10, 10, 100, 60);
    tracker.DrawTrackerRect(rect, nullptr, pDC, nullptr);
    int changed = 0;
    for (int y = 0, i = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x, ++i)
            changed += canvas.At(x, y) != before[size_t(i)];
    EXPECT_GT(changed, 50);
    tracker.DrawTrackerRect(rect, nullptr, pDC, nullptr);
    for (int y = 0, i = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x, ++i)
            ASSERT_EQ(before[size_t(i)], canvas.At(x, y)) << x << "," << y;
}

// ---- Interactive tracking on a real window ------------------------------------------------------

class CountingTracker : public CRectTracker {
public:
    using CRectTracker::CRectTracker;
    void OnChangedRect(const CRect&) override { ++m_changes; }
    int m_changes = 0;
};

class TrackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        // A frameless window at the screen's corner: client = screen.
        ASSERT_TRUE(m_wnd.CreateEx(0, AfxDefaultWndClass(), "track", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL));
        m_wnd.SetFocus();
        m_wnd.UpdateWindow();
    }
    void TearDown() override
    {
        platform::headless::SetIdleHandler(nullptr);
        m_wnd.DestroyWindow();
        platform::headless::Reset();
    }
    // Each idle moment plays the next step.
    void Script(std::vector<std::function<void()>> steps)
    {
        m_steps = std::move(steps);
        m_next = 0;
        platform::headless::SetIdleHandler([this]() {
            if (m_next >= m_steps.size())
                return false;
            m_steps[m_next++]();
            return true;
        });
    }

    CWnd m_wnd;
    std::vector<std::function<void()>> m_steps;
    size_t m_next = 0;
};

TEST_F(TrackTest, DraggingAHandleResizesAndTheFeedbackIsGone)
{
    COLORREF background = platform::headless::WindowPixel(m_wnd, 150, 100);
    CountingTracker tracker(CRect(100, 100, 200, 160), CRectTracker::resizeOutside);
    platform::headless::PressMouse(0, 201, 161);
    Script({
        [] { platform::headless::MoveMouse(230, 190); },
        [] { platform::headless::MoveMouse(250, 210); },
        [] { platform::headless::ReleaseMouse(0, 250, 210); },
    });
    EXPECT_TRUE(tracker.Track(&m_wnd, CPoint(201, 161)));
    EXPECT_EQ(CRect(100, 100, 249, 209), tracker.m_rect);
    EXPECT_EQ(2, tracker.m_changes);
    EXPECT_EQ(HWND(NULL), ::GetCapture());
    EXPECT_EQ(background, platform::headless::WindowPixel(m_wnd, 150, 100));
    EXPECT_EQ(background, platform::headless::WindowPixel(m_wnd, 248, 150));
}

TEST_F(TrackTest, MovingKeepsTheSizeAndEscapeCancels)
{
    CRectTracker tracker(CRect(100, 100, 200, 160), CRectTracker::solidLine);
    platform::headless::PressMouse(0, 150, 130);
    Script({
        [] { platform::headless::MoveMouse(170, 140); },
        [] { platform::headless::ReleaseMouse(0, 170, 140); },
    });
    EXPECT_TRUE(tracker.Track(&m_wnd, CPoint(150, 130)));
    EXPECT_EQ(CRect(120, 110, 220, 170), tracker.m_rect);

    COLORREF background = platform::headless::WindowPixel(m_wnd, 160, 110);
    platform::headless::PressMouse(0, 150, 130);
    Script({
        [] { platform::headless::MoveMouse(10, 10); },
        [] { platform::headless::KeyDown(VK_ESCAPE); },
    });
    EXPECT_FALSE(tracker.Track(&m_wnd, CPoint(150, 130)));
    EXPECT_EQ(CRect(120, 110, 220, 170), tracker.m_rect);
    EXPECT_EQ(background, platform::headless::WindowPixel(m_wnd, 160, 110));
    platform::headless::KeyUp(VK_ESCAPE);
}

TEST_F(TrackTest, WithoutInvertingTheDraggedEdgeStopsAtTheMinimum)
{
    CRectTracker tracker(CRect(100, 100, 200, 160), CRectTracker::resizeOutside);
    platform::headless::PressMouse(0, 201, 161);
    Script({
        [] { platform::headless::MoveMouse(40, 30); },
        [] { platform::headless::ReleaseMouse(0, 40, 30); },
    });
    EXPECT_TRUE(tracker.Track(&m_wnd, CPoint(201, 161)));
    EXPECT_EQ(CRect(100, 100, 100 + tracker.m_sizeMin.cx, 100 + tracker.m_sizeMin.cy), tracker.m_rect);

    // With inverting the rectangle follows the mouse past the other edge.
    CRectTracker free(CRect(100, 100, 200, 160), CRectTracker::resizeOutside);
    platform::headless::PressMouse(0, 201, 161);
    Script({
        [] { platform::headless::MoveMouse(41, 31); },
        [] { platform::headless::ReleaseMouse(0, 41, 31); },
    });
    EXPECT_TRUE(free.Track(&m_wnd, CPoint(201, 161), TRUE));
    EXPECT_EQ(CRect(100, 100, 40, 30), free.m_rect);
}

TEST_F(TrackTest, CursorFollowsTheHandleUnderTheMouse)
{
    CRectTracker tracker(CRect(100, 100, 200, 160), CRectTracker::resizeOutside);
    struct Case {
        CPoint point;
        LPCSTR cursor;
    };
    const Case cases[] = {
        {{98, 98}, IDC_SIZENWSE},
        {{202, 98}, IDC_SIZENESW},
        {{150, 98}, IDC_SIZENS},
        {{98, 130}, IDC_SIZEWE},
        {{150, 130}, IDC_SIZEALL},
    };
    for (const Case& c : cases) {
        platform::headless::SetCursorPosition(c.point.x, c.point.y);
        ::SetCursor(NULL);
        EXPECT_TRUE(tracker.SetCursor(&m_wnd, HTCLIENT)) << c.point.x << "," << c.point.y;
        EXPECT_EQ(::LoadCursor(NULL, c.cursor), ::GetCursor()) << c.point.x << "," << c.point.y;
    }
    platform::headless::SetCursorPosition(300, 250);
    EXPECT_FALSE(tracker.SetCursor(&m_wnd, HTCLIENT));
    platform::headless::SetCursorPosition(150, 130);
    EXPECT_FALSE(tracker.SetCursor(&m_wnd, HTCAPTION));
}

TEST_F(TrackTest, RubberBandSpansFromThePressInEitherDirection)
{
    CRectTracker tracker;
    platform::headless::PressMouse(0, 50, 50);
    Script({
        [] { platform::headless::MoveMouse(120, 90); },
        [] { platform::headless::ReleaseMouse(0, 120, 90); },
    });
    EXPECT_TRUE(tracker.TrackRubberBand(&m_wnd, CPoint(50, 50)));
    EXPECT_EQ(CRect(50, 50, 120, 90), tracker.m_rect);

    platform::headless::PressMouse(0, 50, 50);
    Script({
        [] { platform::headless::MoveMouse(20, 30); },
        [] { platform::headless::ReleaseMouse(0, 20, 30); },
    });
    EXPECT_TRUE(tracker.TrackRubberBand(&m_wnd, CPoint(50, 50)));
    EXPECT_EQ(CRect(20, 30, 50, 50), tracker.m_rect);

    // A click without a drag selects nothing.
    platform::headless::PressMouse(0, 50, 50);
    Script({[] { platform::headless::ReleaseMouse(0, 50, 50); }});
    EXPECT_FALSE(tracker.TrackRubberBand(&m_wnd, CPoint(50, 50)));
}

} // namespace
