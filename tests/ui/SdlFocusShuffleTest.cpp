// The key events SDL makes up when the keyboard moves between two of our
// windows, and Alt+letter reaching the menu bar through the key stream the
// SDL back end hands on.

#include "tests/ui/IdleScript.h"
#include "tests/ui/UiTestSupport.h"

#include "platform/base/VirtualKeys.h"
#include "platform/ui/internal/SdlKeys.h"

#include <SDL2/SDL_scancode.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

using namespace uitest;

namespace {

namespace hl = platform::headless;
using platform::KeyboardEventSummary;
using Kind = KeyboardEventSummary::Kind;

KeyboardEventSummary Key(bool down, int scancode)
{
    return KeyboardEventSummary{Kind::Key, down, scancode};
}
const KeyboardEventSummary kLost{Kind::FocusLost, false, 0};
const KeyboardEventSummary kGained{Kind::FocusGained, false, 0};
const KeyboardEventSummary kOther{Kind::Other, false, 0};

std::vector<bool> Noise(const std::vector<KeyboardEventSummary>& events)
{
    std::vector<bool> noise;
    platform::MarkFocusShuffle(events, noise);
    return noise;
}

TEST(SdlFocusShuffleTest, MarksOnlyTheReleasesThatThePressesAfterTheMoveTakeBack)
{
    constexpr int alt = SDL_SCANCODE_LALT;
    constexpr int f = SDL_SCANCODE_F;
    constexpr int shift = SDL_SCANCODE_LSHIFT;
    struct Case {
        const char* what;
        std::vector<KeyboardEventSummary> events;
        std::vector<bool> noise;
    };
    const Case cases[] = {
        {"Alt held while a menu takes the keyboard: both made up",
            {Key(false, f), Key(false, alt), kLost, kOther, kGained, Key(true, alt)},
            {false, true, false, false, false, true}},
        {"Alt let go meanwhile: the release is real",
            {Key(false, alt), kLost, kGained},
            {false, false, false}},
        {"the keyboard goes to another program: every release is real",
            {Key(false, alt), Key(false, shift), kLost},
            {false, false, false}},
        {"a release before other events is the user's",
            {Key(false, alt), kOther, kLost, kGained, Key(true, alt)},
            {false, false, false, false, false}},
        {"two modifiers, one still held",
            {Key(false, shift), Key(false, alt), kLost, kGained, Key(true, alt)},
            {false, true, false, false, true}},
        {"a press after a key of the user's does not count",
            {Key(false, alt), kLost, kGained, kOther, Key(true, alt)},
            {false, false, false, false, false}},
        {"nothing but keys",
            {Key(true, alt), Key(true, f), Key(false, f), Key(false, alt)},
            {false, false, false, false}},
        {"empty", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Noise(c.events), c.noise) << c.what;
}

// A frame with a File and a View menu.
class SdlAltLetterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hl::Reset();
        Rec() = Recorder();
        frame = MakeTopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 500, 400});
        HMENU bar = CreateMenu();
        HMENU file = CreatePopupMenu();
        AppendMenu(file, MF_STRING, 100, "&New\tCtrl+N");
        AppendMenu(file, MF_STRING, 101, "E&xit");
        HMENU view = CreatePopupMenu();
        AppendMenu(view, MF_STRING, 200, "&Toolbar");
        AppendMenu(bar, MF_POPUP, UINT_PTR(file), "&File");
        AppendMenu(bar, MF_POPUP, UINT_PTR(view), "&View");
        SetMenu(frame, bar);
        SetFocus(frame);
        Pump();
    }
    void TearDown() override
    {
        hl::SetIdleHandler(nullptr);
        hl::Reset();
    }

    // Hands on what the SDL back end would after the marking: the key
    // events that are not noise. Key events carry a virtual key and, when
    // pressed, the character the back end gives it.
    struct SdlKey {
        KeyboardEventSummary event;
        UINT vk;
        BYTE character;
    };
    static void Deliver(const std::vector<SdlKey>& stream, bool marked)
    {
        std::vector<KeyboardEventSummary> events;
        for (const SdlKey& k : stream)
            events.push_back(k.event);
        std::vector<bool> noise(events.size(), false);
        if (marked)
            platform::MarkFocusShuffle(events, noise);
        for (size_t i = 0; i < stream.size(); ++i) {
            const SdlKey& k = stream[i];
            if (noise[i] || k.event.kind != Kind::Key)
                continue;
            if (k.event.down)
                hl::KeyDown(k.vk, k.character);
            else
                hl::KeyUp(k.vk);
        }
    }

    static size_t OpenPopups()
    {
        size_t n = 0;
        for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            char name[32] = {};
            GetClassName(w, name, sizeof(name));
            if (std::strcmp(name, "#32768") == 0 && IsWindowVisible(w))
                ++n;
        }
        return n;
    }

    // Alt+F as the SDL back end sees it under X11 without a window manager:
    // the File popup takes the keyboard as it shows, so SDL lets go of F and
    // Alt and presses Alt again, before the user lets go of Alt.
    size_t PopupsAfterAltF(bool marked)
    {
        constexpr int alt = SDL_SCANCODE_LALT;
        constexpr int f = SDL_SCANCODE_F;
        const BYTE typed = platform::CharacterForKey('F', platform::KeyModifiers::Alt);
        size_t open = 0;
        std::vector<std::function<void()>> steps = {
            [&] { Deliver({{Key(true, alt), VK_MENU, 0}, {Key(true, f), 'F', typed}}, marked); },
            [&] {
                Deliver({{Key(false, f), 'F', 0}, {Key(false, alt), VK_MENU, 0}, {kLost, 0, 0}, {kGained, 0, 0},
                            {Key(true, alt), VK_MENU, 0}},
                    marked);
            },
            [&] { Deliver({{Key(false, alt), VK_MENU, 0}}, marked); },
            [&] {
                open = OpenPopups();
                hl::TypeKey(VK_ESCAPE);
                hl::TypeKey(VK_ESCAPE);
            },
        };
        uitest::Script(std::move(steps));
        uitest::RunProgramLoop();
        hl::SetIdleHandler(nullptr);
        return open;
    }

    HWND frame = NULL;
};

TEST_F(SdlAltLetterTest, AltLetterKeepsItsMenuOpenWhenThePopupTakesTheKeyboard)
{
    EXPECT_EQ(PopupsAfterAltF(true), 1u);
    // Handed on as SDL gives it, the made-up Alt press and the user's
    // release read as Alt pressed alone, which closes the menu.
    EXPECT_EQ(PopupsAfterAltF(false), 0u);
}

} // namespace
