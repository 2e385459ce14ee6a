#pragma once
// A fixture for text driven by real key messages on the headless back end:
// each key or run of characters is typed and the messages it posts handled
// before the test looks; what cutting and copying left is read back from
// the clipboard.

#include "platform/base/GlobalMemory.h"
#include "platform/framework/Afx.h"
#include "platform/ui/Headless.h"
#include "platform/ui/User.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace texttest {

class KeyboardTest : public ::testing::Test {
protected:
    static void Pump() { AfxPumpMessagesUntilIdle(); }

    // The key typed with the held keys down, released in the reverse order.
    static void Key(UINT vk, std::vector<UINT> held = {}, BYTE character = 0)
    {
        for (UINT h : held)
            platform::headless::KeyDown(h);
        platform::headless::TypeKey(vk, character);
        for (auto it = held.rbegin(); it != held.rend(); ++it)
            platform::headless::KeyUp(*it);
        Pump();
    }

    static void Type(const std::string& windows1252)
    {
        platform::headless::TypeText(windows1252);
        Pump();
    }

    // The clipboard's CF_TEXT, "<closed>" when it cannot be opened.
    static std::string ClipboardString()
    {
        if (!::OpenClipboard(NULL))
            return "<closed>";
        std::string text;
        if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(::GlobalLock(h));
            ::GlobalUnlock(h);
        }
        ::CloseClipboard();
        return text;
    }
};

} // namespace texttest
