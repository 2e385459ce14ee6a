#pragma once
// What the toolbar tests share: a visible top-level parent that records the
// commands and notifications its toolbar sends (answering tooltip questions
// with "Tip"), an image strip the test makes, and the item geometry.

#include "tests/ui/UiTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/CommCtrl.h"

#include <gtest/gtest.h>

#include <vector>

namespace uitest {

class ToolbarParentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::SetClockSource(&clock);
        Rec() = Recorder();
        InitCommonControls();
        parent = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{50, 50, 450, 350});
        Rec().handlers[parent] = [this](HWND, UINT m, WPARAM w, LPARAM l, LRESULT&) {
            if (m == WM_COMMAND)
                commands.push_back(LOWORD(w));
            if (m == WM_NOTIFY) {
                auto* hdr = reinterpret_cast<NMHDR*>(l);
                notes.push_back(hdr->code);
                if (hdr->code == TTN_NEEDTEXT) {
                    tipAskedFor = hdr->idFrom;
                    reinterpret_cast<NMTTDISPINFOA*>(l)->lpszText = const_cast<LPSTR>("Tip");
                }
            }
            return false;
        };
    }
    void TearDown() override
    {
        platform::headless::Reset();
        DeleteObject(strip);
        platform::ResetClock();
    }

    RECT ItemRect(int index)
    {
        RECT r{};
        SendMessage(bar, TB_GETITEMRECT, index, (LPARAM)&r);
        return r;
    }

    platform::FakeClock clock;
    HWND parent = NULL;
    HWND bar = NULL;
    HBITMAP strip = NULL;
    std::vector<int> commands;
    std::vector<UINT> notes;
    UINT_PTR tipAskedFor = 0;
};

} // namespace uitest
