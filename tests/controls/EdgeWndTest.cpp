// The etched separator: a static subclassed with CEdgeWnd shows the etched
// edge round its rectangle when its window paints, as DrawEdge draws it.

#include "controls/EdgeWnd.h"

#include "platform/framework/WinApp.h"
#include "platform/gdi/Dc.h"
#include "platform/gdi/GdiObject.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"
#include "tests/controls/OwnerDrawTestSupport.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace {

using EdgeWndTest = fwtest::FrameworkTest;

TEST_F(EdgeWndTest, PaintsTheEtchedEdgeRoundItsRectangle)
{
    MakeApp();
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)(COLOR_BTNFACE + 1)), "", WS_POPUP | WS_VISIBLE,
        0, 0, 200, 100, NULL, NULL));
    constexpr int kLeft = 10;
    constexpr int kTop = 20;
    constexpr int kWidth = 150;
    constexpr int kHeight = 6;
    HWND hStatic = ::CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, kLeft, kTop, kWidth, kHeight,
        parent.m_hWnd, HMENU(700), NULL, NULL);
    ASSERT_NE(HWND(NULL), hStatic);
    CEdgeWnd edge;
    ASSERT_TRUE(edge.SubclassWindow(hStatic));
    edge.Invalidate();
    Pump();
    EXPECT_FALSE(::GetUpdateRect(hStatic, nullptr, FALSE));

    kittest::MemoryCanvas expected(kWidth, kHeight);
    CRect rc(0, 0, kWidth, kHeight);
    expected.dc.DrawEdge(&rc, EDGE_ETCHED, BF_RECT);
    int compared = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            bool ring = x < 2 || y < 2 || x >= kWidth - 2 || y >= kHeight - 2;
            if (!ring)
                continue;
            ++compared;
            ASSERT_EQ(expected.At(x, y), platform::headless::WindowPixel(parent.m_hWnd, kLeft + x, kTop + y))
                << x << ',' << y;
        }
    EXPECT_GT(compared, 0);
    // An etched edge is two-toned: shadow outside at the top, light inside.
    EXPECT_NE(expected.At(5, 0), expected.At(5, 1));
    parent.DestroyWindow();
}

} // namespace
