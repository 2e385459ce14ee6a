#pragma once
// A fixture for the input tests: a fresh headless window system, a fake
// clock, and helpers to pump with TranslateMessage and to pick messages out
// of the recording.

#include "tests/ui/UiTestSupport.h"

#include "platform/base/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace uitest {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
        platform::SetClockSource(&clock);
        clock.SetTicks(10000);
    }
    void TearDown() override
    {
        platform::headless::Reset();
        platform::ResetClock();
    }

    // The loop a program runs: translate, then dispatch.
    static void PumpTranslated()
    {
        MSG msg;
        for (int i = 0; i < 10000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    // The recorded messages that are among `wanted`, in order.
    static std::vector<Seen> Only(std::initializer_list<UINT> wanted)
    {
        std::vector<Seen> out;
        for (const Seen& s : Rec().log)
            if (std::find(wanted.begin(), wanted.end(), s.message) != wanted.end())
                out.push_back(s);
        return out;
    }

    static std::vector<UINT> MessagesIn(const std::vector<Seen>& seen)
    {
        std::vector<UINT> out;
        for (const Seen& s : seen)
            out.push_back(s.message);
        return out;
    }

    // The screen point of a client point.
    static POINT Screen(HWND hwnd, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(hwnd, &p);
        return p;
    }

    platform::FakeClock clock;
};

// The input fixture with one visible top-level window that has the focus
// and an empty recording, for tests of what typing sends it.
class FocusedWindowTest : public InputTest {
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        top = MakeTopLevel(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100});
        Pump();
        SetFocus(top);
        Rec().Clear();
    }

    // The characters that reached the window, as WM_CHAR or WM_SYSCHAR.
    std::string Typed(UINT message = WM_CHAR) const
    {
        std::string out;
        for (const Seen& s : Rec().log)
            if (s.message == message && s.hwnd == top)
                out += char(s.wParam);
        return out;
    }

    HWND top = NULL;
};

} // namespace uitest
