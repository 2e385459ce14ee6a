// The headless back end: no display; everything the desktop would do comes
// from tests through platform::headless.

#include "platform/base/Clock.h"
#include "platform/base/CodePage.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/ui/Headless.h"
#include "platform/ui/internal/ClipboardStore.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/Paint.h"
#include "platform/ui/internal/Window.h"

#include <deque>
#include <map>
#include <set>

namespace platform {

int DefaultMessageBoxAnswer(UINT type);

namespace {

class HeadlessDriver final : public Driver {
public:
    const char* Name() const override { return "headless"; }

    void CreateSurface(HWND hwnd, const SurfaceInfo& info) override { surfaces[hwnd] = info.title; }
    void UpdateSurface(HWND hwnd, const SurfaceInfo& info) override
    {
        auto it = surfaces.find(hwnd);
        if (it != surfaces.end())
            it->second = info.title;
    }
    void DestroySurface(HWND hwnd) override { surfaces.erase(hwnd); }
    void BringSurfaceToFront(HWND hwnd) override { front = hwnd; }
    void Present(HWND hwnd, const PixelBuffer&, const RECT&) override
    {
        ++presents;
        if (presented)
            presented(hwnd);
    }

    bool PollEvents() override { return PollWatchedDescriptors(0); }

    bool WaitEvents(DWORD milliseconds) override
    {
        if (PollWatchedDescriptors(0))
            return true;
        if (idle && idle())
            return true;
        if (milliseconds == INFINITE) {
            if (WatchedDescriptors().empty())
                return false;
            PollWatchedDescriptors(-1);
            return true;
        }
        // Time passes through the clock, so a fake clock makes timers due at
        // once and a real one waits as a display would.
        if (!PollWatchedDescriptors(0))
            ::Sleep(milliseconds);
        return true;
    }

    void SetCursorShape(const CursorShape& shape) override { cursor = shape; }
    POINT CursorPos() override { return cursorPos; }
    void SetCursorPos(POINT screen) override { cursorPos = screen; }
    void SetMouseCapture(bool captured) override { mouseCaptured = captured; }

    bool SetClipboardText(const std::string& utf8) override { return SetClipboardContents(utf8, nullptr); }
    bool SetClipboardContents(const std::string& utf8, ClipboardPngSource picture) override
    {
        // The program's copy replaces whatever another program had offered.
        clipboard = utf8;
        offered = std::move(picture);
        ForgetDesktopPicture();
        return true;
    }
    uint64_t ClipboardPictureSerial() override { return pictureSerial; }
    bool GetClipboardPicture(std::string& mime, std::vector<unsigned char>& bytes) override
    {
        if (pictureSerial == 0)
            return false;
        mime = pictureMime;
        bytes = picture;
        return true;
    }
    void ForgetDesktopPicture()
    {
        pictureSerial = 0;
        pictureMime.clear();
        picture.clear();
    }
    bool GetClipboardText(std::string& utf8) override
    {
        utf8 = clipboard;
        return true;
    }

    SIZE ScreenSize() override { return GetScreenSize(); }

    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override
    {
        int answer = DefaultMessageBoxAnswer(type);
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        boxes.push_back(headless::ShownMessageBox{owner, text, caption, type, answer});
        return answer;
    }

    std::map<HWND, std::string> surfaces; // with the title shown
    int presents = 0;
    HWND front = NULL; // the surface last brought to the front
    POINT cursorPos{0, 0};
    CursorShape cursor;
    bool mouseCaptured = false;
    std::string clipboard;
    ClipboardPngSource offered; // the program's picture, encoded on demand
    // Another program's picture; the serial counts its copies.
    uint64_t pictureSerial = 0;
    uint64_t picturesCopied = 0;
    std::string pictureMime;
    std::vector<unsigned char> picture;
    std::deque<int> answers;
    std::vector<headless::ShownMessageBox> boxes;
    std::function<bool()> idle;
    std::function<void(HWND)> presented;
};

HeadlessDriver* g_headless = nullptr;

// Keys the tests hold down, so that a second KeyDown is a repeat.
std::set<UINT>& KeysDown()
{
    static std::set<UINT> keys;
    return keys;
}

HeadlessDriver& Headless()
{
    if (!g_headless || !HasDriver() || &GetDriver() != g_headless)
        headless::Reset();
    return *g_headless;
}

} // namespace

std::unique_ptr<Driver> CreateHeadlessDriver()
{
    return std::make_unique<HeadlessDriver>();
}

} // namespace platform

namespace platform::headless {

void Reset()
{
    if (HasDriver())
        ResetWindowSystem();
    ResetInputState();
    KeysDown().clear();
    ResetClipboard();
    auto driver = std::make_unique<HeadlessDriver>();
    g_headless = driver.get();
    SetDriver(std::move(driver));
    ResetDisplayForTesting();
    InstallSurfaceProvider();
    ResetSystemColors();
    ResetWindowSystem();
}

void SetScreen(int width, int height, int bitsPixel)
{
    Headless();
    SetScreenSize(width, height);
    SetScreenBitsPixel(bitsPixel == 32 ? 0 : bitsPixel);
    if (Window* desktop = PeekWindowRecord(GetDesktopWindow())) {
        SIZE screen = GetScreenSize();
        desktop->windowRect = RECT{0, 0, screen.cx, screen.cy};
        desktop->clientRect = desktop->windowRect;
    }
}

void SetIdleHandler(std::function<bool()> handler)
{
    Headless().idle = std::move(handler);
}

void SetPresentHandler(std::function<void(HWND)> handler)
{
    Headless().presented = std::move(handler);
}

void MoveMouse(int x, int y)
{
    Headless().cursorPos = POINT{x, y};
    DeliverMouseMove(POINT{x, y});
}

namespace {

MouseButton ButtonOf(int button)
{
    return button == 1 ? MouseButton::Right : button == 2 ? MouseButton::Middle : MouseButton::Left;
}

} // namespace

void PressMouse(int button, int x, int y)
{
    Headless().cursorPos = POINT{x, y};
    DeliverMouseButton(ButtonOf(button), true, POINT{x, y});
}

void ReleaseMouse(int button, int x, int y)
{
    Headless().cursorPos = POINT{x, y};
    DeliverMouseButton(ButtonOf(button), false, POINT{x, y});
}

void Click(int x, int y)
{
    MoveMouse(x, y);
    PressMouse(0, x, y);
    ReleaseMouse(0, x, y);
}

void KeyDown(UINT vk, BYTE character)
{
    Headless();
    bool repeat = !KeysDown().insert(vk).second;
    // The headless keyboard has the US layout.
    if (character == 0)
        character = UsLayoutCharacter(vk);
    DeliverKey(vk, true, repeat, character);
}

void KeyUp(UINT vk)
{
    Headless();
    KeysDown().erase(vk);
    DeliverKey(vk, false, false, 0);
}

void TypeKey(UINT vk, BYTE character)
{
    if (character == 0) {
        if (vk >= 'A' && vk <= 'Z')
            character = BYTE(vk - 'A' + 'a');
        else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE)
            character = BYTE(vk);
        else if (vk == VK_RETURN)
            character = '\r';
        else if (vk == VK_BACK)
            character = 8;
        else if (vk == VK_TAB)
            character = '\t';
        else if (vk == VK_ESCAPE)
            character = 27;
    }
    bool shift = character >= 'A' && character <= 'Z';
    if (shift)
        KeyDown(VK_SHIFT);
    KeyDown(vk, character);
    KeyUp(vk);
    if (shift)
        KeyUp(VK_SHIFT);
}

void TypeKeypadKey(UINT vk)
{
    Headless();
    DeliverKey(vk, true, false, UsLayoutCharacter(vk), KeyBlock::NumericKeypad);
    DeliverKey(vk, false, false, 0, KeyBlock::NumericKeypad);
}

void TypeText(const std::string& windows1252)
{
    for (char c : windows1252) {
        BYTE b = BYTE(c);
        if (b >= 'a' && b <= 'z')
            TypeKey(UINT(b - 'a' + 'A'), b);
        else if ((b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == ' ')
            TypeKey(b, b);
        else
            DeliverText(std::string(1, c));
    }
}

void DropFiles(HWND topLevel, const std::vector<std::string>& linuxPaths, int x, int y)
{
    Headless();
    DeliverDrop(topLevel, linuxPaths, POINT{x, y});
}

void SetCursorPosition(int x, int y)
{
    Headless().cursorPos = POINT{x, y};
}

POINT CursorPosition()
{
    return Headless().cursorPos;
}

void SetClipboardText(const std::string& utf8)
{
    HeadlessDriver& h = Headless();
    h.clipboard = utf8;
    h.offered = nullptr;
    h.ForgetDesktopPicture();
}

void SetClipboardPicture(const std::string& mime, std::vector<unsigned char> bytes, const std::string& textUtf8)
{
    HeadlessDriver& h = Headless();
    h.clipboard = textUtf8;
    h.offered = nullptr;
    h.pictureSerial = ++h.picturesCopied;
    h.pictureMime = mime;
    h.picture = std::move(bytes);
}

bool ClipboardPicturePng(std::vector<unsigned char>& png)
{
    png.clear();
    HeadlessDriver& h = Headless();
    return h.offered && h.offered(png);
}

std::string ClipboardText()
{
    return Headless().clipboard;
}

void PushMessageBoxAnswer(int id)
{
    Headless().answers.push_back(id);
}

const std::vector<ShownMessageBox>& MessageBoxes()
{
    return Headless().boxes;
}

COLORREF WindowPixel(HWND hwnd, int x, int y, bool whole)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w)
        return CLR_INVALID;
    Window* top = TopLevelOf(*w);
    if (!top || !top->surface)
        return CLR_INVALID;
    const RECT& base = whole ? w->windowRect : w->clientRect;
    int bx = base.left - top->windowRect.left + x;
    int by = base.top - top->windowRect.top + y;
    if (!top->surface->Contains(bx, by))
        return CLR_INVALID;
    return ColorFromPixel(top->surface->Row(by)[bx]);
}

HWND FrontSurface()
{
    return Headless().front;
}

int PresentCount()
{
    return Headless().presents;
}

bool HasSurface(HWND topLevel)
{
    return Headless().surfaces.count(topLevel) != 0;
}

std::string SurfaceTitle(HWND topLevel)
{
    auto& surfaces = Headless().surfaces;
    auto it = surfaces.find(topLevel);
    return it == surfaces.end() ? std::string() : it->second;
}

} // namespace platform::headless
