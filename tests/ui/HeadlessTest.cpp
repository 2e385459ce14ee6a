#include "tests/ui/UiTestSupport.h"

#include "platform/base/GlobalMemory.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace uitest;

namespace {

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        Rec() = Recorder();
    }
    void TearDown() override { platform::headless::Reset(); }
};

TEST_F(HeadlessTest, ResetEmptiesTheClipboardAndLetsGoOfHeldKeys)
{
    HWND top = MakeTopLevel();
    ASSERT_TRUE(OpenClipboard(top));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(text), "abc", 4);
    GlobalUnlock(text);
    ASSERT_TRUE(SetClipboardData(CF_TEXT, text));
    // Left open on purpose: a test that fails half-way does this.
    platform::headless::SetClipboardText("from the desktop");
    SetFocus(top);
    platform::headless::KeyDown('A');

    platform::headless::Reset();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(platform::headless::ClipboardText(), "");
    EXPECT_TRUE(OpenClipboard(NULL)) << "nobody holds the clipboard open any more";
    CloseClipboard();

    // 'A' is up again, so pressing it is a fresh press, not a repeat.
    top = MakeTopLevel();
    SetFocus(top);
    Rec().Clear();
    platform::headless::KeyDown('A');
    platform::headless::KeyUp('A');
    Pump();
    ASSERT_FALSE(Rec().log.empty());
    bool sawDown = false;
    for (const Seen& s : Rec().log) {
        if (s.message == WM_KEYDOWN) {
            EXPECT_EQ(s.lParam & (1 << 30), 0) << "reported as held before";
            sawDown = true;
        }
    }
    EXPECT_TRUE(sawDown);
}

TEST_F(HeadlessTest, SetWindowTextOfATopLevelWindowRetitlesItsSurfaceAtOnce)
{
    HWND top = MakeTopLevel();
    HWND child = MakeChild(top, 1, RECT{0, 0, 10, 10});
    EXPECT_TRUE(SetWindowText(top, "Caf\xE9 plan"));
    EXPECT_EQ(platform::headless::SurfaceTitle(top), "Caf\xC3\xA9 plan");
    EXPECT_TRUE(SetWindowText(child, "not a title"));
    EXPECT_EQ(platform::headless::SurfaceTitle(top), "Caf\xC3\xA9 plan");
}

} // namespace
