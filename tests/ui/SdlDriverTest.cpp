// The SDL back end on SDL's display-less video driver: events pushed into
// SDL's queue come out as the program's messages.

#include "platform/base/GlobalMemory.h"
#include "platform/ui/internal/ClipboardStore.h"
#include "platform/ui/internal/Driver.h"
#include "tests/ui/UiTestSupport.h"

#include <SDL2/SDL.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace uitest;
using ::testing::ElementsAre;

namespace {

class SdlDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::headless::Reset();
        platform::ResetClipboard();
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        std::string error;
        auto driver = platform::CreateSdlDriver(error);
        if (!driver)
            GTEST_SKIP() << error;
        platform::SetDriver(std::move(driver));
        Rec() = Recorder();
        Rec().ignored = {WM_NCHITTEST, WM_SETCURSOR, WM_NCPAINT, WM_ERASEBKGND, WM_PAINT, WM_MOUSEMOVE,
            WM_GETMINMAXINFO, WM_NCCALCSIZE, WM_WINDOWPOSCHANGING, WM_NCMOUSEMOVE};
        top = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 300, 200});
        Pump();
        Rec().Clear();
        windowId = FindWindowId();
    }
    void TearDown() override
    {
        platform::ResetClipboard();
        platform::headless::Reset();
    }

    static Uint32 FindWindowId()
    {
        // The dummy driver numbers windows from 1; ours is the newest.
        for (Uint32 id = 64; id > 0; --id)
            if (SDL_GetWindowFromID(id))
                return id;
        return 0;
    }

    void PushKey(SDL_Keycode key, SDL_Scancode scancode, bool down)
    {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = windowId;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = scancode;
        SDL_PushEvent(&e);
    }

    void PushText(const char* utf8)
    {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = windowId;
        std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
        SDL_PushEvent(&e);
    }

    void PushWindowEvent(Uint8 event, int data1 = 0, int data2 = 0)
    {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = windowId;
        e.window.event = event;
        e.window.data1 = data1;
        e.window.data2 = data2;
        SDL_PushEvent(&e);
    }

    std::vector<Seen> Of(UINT message)
    {
        std::vector<Seen> out;
        for (const Seen& s : Rec().log)
            if (s.message == message)
                out.push_back(s);
        return out;
    }

    // Messages a window procedure's message loop would see.
    void Run()
    {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessage(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    HWND top = NULL;
    Uint32 windowId = 0;
};

TEST_F(SdlDriverTest, KeysAndTheirTextBecomeOneCharacterEach)
{
    ASSERT_NE(windowId, 0u);
    SetFocus(top);
    PushKey(SDLK_h, SDL_SCANCODE_H, true);
    PushText("h");
    PushKey(SDLK_h, SDL_SCANCODE_H, false);
    // Text with no key of its own (a compose sequence) arrives as is, in 1252.
    PushText("\xC3\xA9");
    PushKey(SDLK_RETURN, SDL_SCANCODE_RETURN, true);
    Run();
    auto downs = Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].wParam, WPARAM('H'));
    EXPECT_EQ(downs[1].wParam, WPARAM(VK_RETURN));
    std::vector<WPARAM> chars;
    for (const Seen& s : Of(WM_CHAR))
        chars.push_back(s.wParam);
    EXPECT_THAT(chars, ElementsAre('h', 0xE9, '\r'));
}

TEST_F(SdlDriverTest, DesktopMovesAndClosesTheWindow)
{
    ASSERT_NE(windowId, 0u);
    PushWindowEvent(SDL_WINDOWEVENT_MOVED, 40, 30);
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 320, 240);
    Run();
    RECT r{};
    GetWindowRect(top, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 320);
    EXPECT_EQ(r.bottom - r.top, 240);

    // A click lands at client coordinates of the moved window.
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.windowID = windowId;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.state = SDL_PRESSED;
    click.button.clicks = 1;
    POINT clientOrigin{0, 0};
    ClientToScreen(top, &clientOrigin);
    click.button.x = clientOrigin.x - 40 + 12;
    click.button.y = clientOrigin.y - 30 + 7;
    SDL_PushEvent(&click);
    Run();
    auto downs = Of(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(12, 7));

    // The window stays, so that the quit below finds it.
    Rec().handlers[top] = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_CLOSE && msg != WM_QUERYENDSESSION)
            return false;
        result = msg == WM_QUERYENDSESSION ? TRUE : 0;
        return true;
    };
    Rec().Clear();
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    Run();
    EXPECT_EQ(Of(WM_CLOSE).size(), 1u);

    // Quit asks every window first, then closes the main one.
    Rec().Clear();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    Run();
    std::vector<UINT> ending;
    for (const Seen& s : Rec().log)
        if (s.message == WM_QUERYENDSESSION || s.message == WM_CLOSE)
            ending.push_back(s.message);
    EXPECT_THAT(ending, ElementsAre(WM_QUERYENDSESSION, WM_CLOSE));
}

TEST_F(SdlDriverTest, ClipboardTextTravelsAsUtf8)
{
    ASSERT_TRUE(OpenClipboard(top));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    std::memcpy(GlobalLock(block), "caf\xE9\r\n!", 8);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    ASSERT_TRUE(CloseClipboard());
    char* text = SDL_GetClipboardText();
    EXPECT_STREQ(text, "caf\xC3\xA9\n!");
    SDL_free(text);

    SDL_SetClipboardText("\xE2\x82\xAC" "1");
    SDL_Event update{};
    update.type = SDL_CLIPBOARDUPDATE;
    SDL_PushEvent(&update);
    Run();
    ASSERT_TRUE(OpenClipboard(top));
    HANDLE got = GetClipboardData(CF_TEXT);
    ASSERT_NE(got, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(got)), "\x80" "1");
    GlobalUnlock(got);
    CloseClipboard();
}

TEST_F(SdlDriverTest, DroppedFilesReachTheWindow)
{
    ASSERT_NE(windowId, 0u);
    DragAcceptFiles(top, TRUE);
    SDL_Event e{};
    e.type = SDL_DROPBEGIN;
    e.drop.windowID = windowId;
    SDL_PushEvent(&e);
    e.type = SDL_DROPFILE;
    e.drop.file = SDL_strdup("/nonexistent-tw/one.shr");
    SDL_PushEvent(&e);
    e.type = SDL_DROPCOMPLETE;
    e.drop.file = nullptr;
    SDL_PushEvent(&e);
    Run();
    auto drops = Of(WM_DROPFILES);
    ASSERT_EQ(drops.size(), 1u);
    char name[64];
    EXPECT_EQ(DragQueryFile((HDROP)drops[0].wParam, 0xFFFFFFFF, NULL, 0), 1u);
    DragQueryFile((HDROP)drops[0].wParam, 0, name, sizeof name);
    EXPECT_STREQ(name, "C:\\nonexistent-tw\\one.shr");
    DragFinish((HDROP)drops[0].wParam);
}

} // namespace
