// The SDL back end: one borderless SDL window per top-level window (the frame
// and caption are ours, drawn into the window's pixels), presented through
// the window surface; SDL events become input, geometry changes, close and
// quit requests and file drops.

#include "platform/base/Clock.h"
#include "platform/base/CodePage.h"
#include "platform/base/Geometry.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/PixelBuffer.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/ClipboardStore.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/InputEvents.h"
#include "platform/ui/internal/NonClient.h"
#include "platform/ui/internal/SdlKeys.h"
#include "platform/ui/internal/SdlStacking.h"
#include "platform/ui/internal/SdlX11.h"
#include "platform/ui/internal/TypedText.h"
#include "platform/ui/internal/Window.h"
#include "platform/ui/internal/X11Clipboard.h"
#include "platform/ui/internal/X11DragDrop.h"

#include <SDL2/SDL.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr size_t kMaxCachedCursors = 64;
// Long enough that a clipboard query in every idle pass does not ask the
// desktop each time, short enough that text copied elsewhere shows at once.
constexpr Uint32 kClipboardCacheMilliseconds = 500;
constexpr int kWaitSliceMilliseconds = 10;
// Waiting on the X connection itself, only events that other threads give
// SDL (a sound device coming or going) are not seen at once; they wait at
// most this long.
constexpr int kLongestXWaitMilliseconds = 100;

struct SdlSurface {
    SDL_Window* window = nullptr;
    Uint32 id = 0;
    unsigned sequence = 0; // creation order
    HWND owner = NULL;
    RECT rect{};
    bool visible = false;
    bool minimized = false;
    std::string title;
    // Positions and sizes we asked SDL for whose events have not come back:
    // those events report our own change and are not the desktop's.
    std::deque<POINT> movesRequested;
    std::deque<SIZE> sizesRequested;
};

SDL_HitTestResult HitTest(SDL_Window* window, const SDL_Point* area, void* data);

KeyModifiers ModifiersOf(Uint16 mod)
{
    KeyModifiers m = KeyModifiers::None;
    if (mod & KMOD_SHIFT)
        m = m | KeyModifiers::Shift;
    if (mod & KMOD_CTRL)
        m = m | KeyModifiers::Control;
    if (mod & KMOD_ALT)
        m = m | KeyModifiers::Alt;
    return m;
}

SDL_SystemCursor SystemCursorFor(int id)
{
    switch (id) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32640:
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32648: return SDL_SYSTEM_CURSOR_NO;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    case 32650: return SDL_SYSTEM_CURSOR_WAITARROW;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

uint64_t HashCursor(const CursorShape& shape)
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t v) {
        h ^= v;
        h *= 1099511628211ull;
    };
    mix(uint64_t(shape.hotSpot.x) << 32 | uint32_t(shape.hotSpot.y));
    for (const PixelBuffer* b : {shape.image, shape.mask}) {
        if (!b) {
            mix(0);
            continue;
        }
        mix(uint64_t(b->width) << 32 | uint32_t(b->height));
        for (uint32_t p : b->pixels)
            mix(p);
    }
    return h;
}

// Our cursor image as SDL wants it: ARGB with the mask as alpha. Pixels the
// mask leaves and the image sets would invert the screen; SDL cannot, so
// they show black.
SDL_Cursor* MakeImageCursor(const CursorShape& shape)
{
    const PixelBuffer& image = *shape.image;
    if (image.width <= 0 || image.height <= 0)
        return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s)
        return nullptr;
    const PixelBuffer* mask = shape.mask;
    bool maskFits = mask && mask->width == image.width && mask->height == image.height;
    for (int y = 0; y < image.height; ++y) {
        auto* out = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + size_t(y) * size_t(s->pitch));
        const uint32_t* in = image.Row(y);
        const uint32_t* m = maskFits ? mask->Row(y) : nullptr;
        for (int x = 0; x < image.width; ++x) {
            uint32_t rgb = in[x] & 0xFFFFFF;
            bool transparent = m && (m[x] & 0xFF) >= 0x80;
            if (!transparent)
                out[x] = 0xFF000000u | rgb;
            else
                out[x] = rgb ? 0xFF000000u : 0;
        }
    }
    SDL_Cursor* cursor = SDL_CreateColorCursor(s, shape.hotSpot.x, shape.hotSpot.y);
    SDL_FreeSurface(s);
    return cursor;
}

class SdlDriver final : public Driver {
public:
    SdlDriver() = default;
    ~SdlDriver() override
    {
        if (m_x11DragDrop) {
            UnwatchDescriptor(m_x11DragDrop->ConnectionFd());
            m_x11DragDrop.reset();
        }
        if (m_x11Clipboard) {
            UnwatchDescriptor(m_x11Clipboard->ConnectionFd());
            m_x11Clipboard.reset();
        }
        for (PendingEvent& p : m_pending)
            if (p.event.type == SDL_DROPFILE || p.event.type == SDL_DROPTEXT)
                SDL_free(p.event.drop.file);
        for (auto& [hwnd, surface] : m_surfaces)
            SDL_DestroyWindow(surface.window);
        for (auto& [key, cursor] : m_cursors)
            SDL_FreeCursor(cursor);
        for (auto& [id, cursor] : m_systemCursors)
            SDL_FreeCursor(cursor);
        SDL_StopTextInput();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    const char* Name() const override { return "sdl"; }

    void CreateSurface(HWND hwnd, const SurfaceInfo& info) override
    {
        DestroySurface(hwnd);
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
        DWORD style = 0;
        if (Window* w = PeekWindowRecord(hwnd))
            style = w->style;
        if (style & WS_THICKFRAME)
            flags |= SDL_WINDOW_RESIZABLE;
        // Menus, tips and flyouts (popups without a caption) stay out of the
        // desktop's window management, as they do not take the keyboard.
        if (info.popup && (style & WS_CAPTION) != WS_CAPTION)
            flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
        int width = std::max<int>(1, info.windowRect.right - info.windowRect.left);
        int height = std::max<int>(1, info.windowRect.bottom - info.windowRect.top);
        SDL_Window* window = SDL_CreateWindow(info.title.c_str(), info.windowRect.left, info.windowRect.top, width, height, flags);
        if (!window)
            return;
        if (!m_xDisplay)
            m_xDisplay = X11DisplayOf(window);
        SdlSurface& s = m_surfaces[hwnd];
        s.window = window;
        s.id = SDL_GetWindowID(window);
        s.sequence = ++m_sequence;
        s.owner = info.owner;
        s.rect = info.windowRect;
        s.title = info.title;
        m_byId[s.id] = hwnd;
        if (m_x11DragDrop)
            m_x11DragDrop->AddWindow(X11WindowOf(window), hwnd);
        SDL_SetWindowHitTest(window, HitTest, this);
        if (info.owner) {
            auto owner = m_surfaces.find(info.owner);
            if (owner != m_surfaces.end() && !(flags & SDL_WINDOW_POPUP_MENU))
                SDL_SetWindowModalFor(window, owner->second.window);
        }
        if (info.visible)
            Show(s, true);
    }

    void UpdateSurface(HWND hwnd, const SurfaceInfo& info) override
    {
        auto it = m_surfaces.find(hwnd);
        if (it == m_surfaces.end())
            return;
        SdlSurface& s = it->second;
        if (info.title != s.title) {
            s.title = info.title;
            SDL_SetWindowTitle(s.window, s.title.c_str());
        }
        bool iconic = IsIconic(hwnd) != FALSE;
        if (iconic != s.minimized) {
            s.minimized = iconic;
            if (iconic)
                SDL_MinimizeWindow(s.window);
            else
                SDL_RestoreWindow(s.window);
        }
        const RECT& r = info.windowRect;
        if (!iconic) {
            if (r.left != s.rect.left || r.top != s.rect.top) {
                Remember(s.movesRequested, POINT{r.left, r.top});
                SDL_SetWindowPosition(s.window, r.left, r.top);
            }
            SIZE size{std::max<LONG>(1, r.right - r.left), std::max<LONG>(1, r.bottom - r.top)};
            if (size.cx != s.rect.right - s.rect.left || size.cy != s.rect.bottom - s.rect.top) {
                Remember(s.sizesRequested, size);
                SDL_SetWindowSize(s.window, size.cx, size.cy);
            }
            s.rect = r;
        }
        if (info.visible != s.visible)
            Show(s, info.visible);
    }

    void DestroySurface(HWND hwnd) override
    {
        auto it = m_surfaces.find(hwnd);
        if (it == m_surfaces.end())
            return;
        m_byId.erase(it->second.id);
        if (m_x11DragDrop)
            m_x11DragDrop->RemoveWindow(X11WindowOf(it->second.window));
        SDL_DestroyWindow(it->second.window);
        m_surfaces.erase(it);
    }

    void Present(HWND hwnd, const PixelBuffer& pixels, const RECT& dirty) override
    {
        auto it = m_surfaces.find(hwnd);
        if (it == m_surfaces.end() || pixels.width <= 0 || pixels.height <= 0)
            return;
        SdlSurface& s = it->second;
        SDL_Surface* target = SDL_GetWindowSurface(s.window);
        if (!target)
            return;
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels.pixels.data()), pixels.width,
            pixels.height, 32, pixels.StrideBytes(), SDL_PIXELFORMAT_RGB888);
        if (!source)
            return;
        SDL_Rect area{int(dirty.left), int(dirty.top), int(dirty.right - dirty.left), int(dirty.bottom - dirty.top)};
        SDL_Rect place = area;
        SDL_BlitSurface(source, &area, target, &place);
        SDL_FreeSurface(source);
        SDL_Rect bounds{0, 0, target->w, target->h};
        SDL_Rect shown;
        if (SDL_IntersectRect(&area, &bounds, &shown))
            SDL_UpdateWindowSurfaceRects(s.window, &shown, 1);
    }

    bool PollEvents() override
    {
        if (m_refocus)
            ReturnKeyboardToActiveWindow();
        bool any = false;
        TakeSdlEvents();
        // Translating may run a nested loop that polls again; it goes on
        // with the same list, so the order holds.
        while (!m_pending.empty()) {
            if (HoldButton(m_pending.front().event, m_pending.front().noise))
                break;
            PendingEvent next = m_pending.front();
            m_pending.pop_front();
            any = true;
            if (!next.noise)
                Translate(next.event);
        }
        if (PollWatchedDescriptors(0))
            any = true;
        return any;
    }

    bool WaitEvents(DWORD milliseconds) override
    {
        // A button held back is waiting now.
        if (!m_pending.empty())
            return true;
        if (m_xDisplay)
            return WaitOnX11(milliseconds);
        if (WatchedDescriptors().empty() && milliseconds != INFINITE) {
            SDL_WaitEventTimeout(nullptr, int(std::min<DWORD>(milliseconds, 0x7FFFFFFF)));
            return true;
        }
        // SDL cannot wait on our descriptors, so wait in short slices and
        // look at them in between.
        Uint32 start = SDL_GetTicks();
        for (;;) {
            if (PollWatchedDescriptors(0))
                return true;
            int slice = kWaitSliceMilliseconds;
            if (milliseconds != INFINITE) {
                Uint32 spent = SDL_GetTicks() - start;
                if (spent >= milliseconds)
                    return true;
                slice = int(std::min<DWORD>(DWORD(slice), milliseconds - spent));
            }
            if (SDL_WaitEventTimeout(nullptr, slice))
                return true;
        }
    }

    void SetCursorShape(const CursorShape& shape) override
    {
        SDL_ShowCursor(shape.hidden ? SDL_DISABLE : SDL_ENABLE);
        if (shape.hidden)
            return;
        SDL_Cursor* cursor = nullptr;
        if (shape.image) {
            uint64_t key = HashCursor(shape);
            auto it = m_cursors.find(key);
            if (it != m_cursors.end()) {
                cursor = it->second;
            } else {
                if (m_cursors.size() >= kMaxCachedCursors)
                    DropCachedCursors();
                cursor = MakeImageCursor(shape);
                if (cursor)
                    m_cursors[key] = cursor;
            }
        }
        if (!cursor) {
            SDL_SystemCursor id = SystemCursorFor(shape.systemId);
            auto it = m_systemCursors.find(id);
            if (it != m_systemCursors.end())
                cursor = it->second;
            else if ((cursor = SDL_CreateSystemCursor(id)))
                m_systemCursors[id] = cursor;
        }
        if (cursor && cursor != m_current) {
            m_current = cursor;
            SDL_SetCursor(cursor);
        }
    }

    POINT CursorPos() override
    {
        // Where the pointer is now, as the system's cursor position tells
        // it: what the display sent since the last look counts (the events
        // stay queued), so a loop that watches the pointer sees it leave
        // before it takes the move from the queue.
        SDL_PumpEvents();
        int x = 0;
        int y = 0;
        // Over one of our windows the pointer's last motion there is the
        // place. SDL's global position may be one it cached before the
        // pointer was moved without a device (a warp), which reports no
        // raw motion.
        if (SDL_Window* over = SDL_GetMouseFocus()) {
            POINT screen;
            SDL_GetMouseState(&x, &y);
            if (ScreenPoint(SDL_GetWindowID(over), x, y, screen))
                return screen;
        }
        SDL_GetGlobalMouseState(&x, &y);
        return POINT{x, y};
    }

    void SetCursorPos(POINT screen) override { SDL_WarpMouseGlobal(screen.x, screen.y); }

    void SetMouseCapture(bool captured) override { SDL_CaptureMouse(captured ? SDL_TRUE : SDL_FALSE); }

    // SDL carries text only; on X11 the clipboard is ours to answer, with
    // pictures too.
    void UseX11Clipboard()
    {
        m_x11Clipboard = X11Clipboard::Open(nullptr);
        if (m_x11Clipboard) {
            X11Clipboard* clipboard = m_x11Clipboard.get();
            WatchDescriptor(clipboard->ConnectionFd(), [clipboard] { clipboard->Service(); });
        }
    }

    // SDL answers drags over its windows itself and tells of the drop only;
    // on X11 they are ours to follow (X11DragDrop.h).
    void UseX11DragDrop()
    {
        m_x11DragDrop = X11DragDrop::Open(nullptr);
        if (m_x11DragDrop) {
            X11DragDrop* drags = m_x11DragDrop.get();
            WatchDescriptor(drags->ConnectionFd(), [drags] { drags->Service(); });
        }
    }

    bool SetClipboardContents(const std::string& utf8, ClipboardPngSource picture) override
    {
        if (m_x11Clipboard)
            return m_x11Clipboard->Offer(utf8, std::move(picture));
        return SetClipboardText(utf8);
    }

    uint64_t ClipboardPictureSerial() override { return m_x11Clipboard ? m_x11Clipboard->PictureSerial() : 0; }

    bool GetClipboardPicture(std::string& mime, std::vector<unsigned char>& bytes) override
    {
        return m_x11Clipboard && m_x11Clipboard->GetPicture(mime, bytes);
    }

    bool SetClipboardText(const std::string& utf8) override
    {
        if (m_x11Clipboard)
            return m_x11Clipboard->Offer(utf8, nullptr);
        if (SDL_SetClipboardText(utf8.c_str()) != 0)
            return false;
        m_clipboard = utf8;
        m_clipboardTime = SDL_GetTicks();
        m_clipboardValid = true;
        return true;
    }

    bool GetClipboardText(std::string& utf8) override
    {
        if (m_x11Clipboard)
            return m_x11Clipboard->GetText(utf8);
        if (!m_clipboardValid || SDL_GetTicks() - m_clipboardTime >= kClipboardCacheMilliseconds) {
            char* text = SDL_GetClipboardText();
            if (!text)
                return false;
            size_t length = strnlen(text, kMaxDesktopClipboardText + 1);
            // Too long to paste: as good as nothing for us.
            m_clipboard = length > kMaxDesktopClipboardText ? std::string() : std::string(text, length);
            SDL_free(text);
            m_clipboardTime = SDL_GetTicks();
            m_clipboardValid = true;
        }
        utf8 = m_clipboard;
        return true;
    }

    SIZE ScreenSize() override
    {
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0)
            return SIZE{mode.w, mode.h};
        return GetScreenSize();
    }

    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;

    void Beep() override { }

    HWND WindowOf(Uint32 id) const
    {
        auto it = m_byId.find(id);
        return it == m_byId.end() ? NULL : it->second;
    }

private:
    template <typename T>
    static void Remember(std::deque<T>& list, T value)
    {
        list.push_back(value);
        if (list.size() > 8)
            list.pop_front();
    }

    template <typename T, typename Same>
    static bool Expected(std::deque<T>& list, T value, Same same)
    {
        auto it = std::find_if(list.begin(), list.end(), [&](const T& v) { return same(v, value); });
        if (it == list.end())
            return false;
        list.erase(list.begin(), it + 1);
        return true;
    }

    void BringSurfaceToFront(HWND hwnd) override
    {
        auto it = m_surfaces.find(hwnd);
        if (it == m_surfaces.end() || !it->second.visible || it->second.minimized)
            return;
        SDL_RaiseWindow(it->second.window);
        SDL_SetWindowInputFocus(it->second.window);
        KeepTopmostAbove(it->second);
    }

    // Windows that stay on top (the splash) go back above one that has just
    // come up: a window manager keeps them there, but without one the last
    // window mapped or raised is on top.
    void KeepTopmostAbove(const SdlSurface& raised)
    {
        auto topmost = [](HWND hwnd) {
            const Window* w = PeekWindowRecord(hwnd);
            return w && (w->exStyle & WS_EX_TOPMOST);
        };
        // A topmost window that comes up is the newest of them and stays
        // above the rest (a submenu over its menu).
        auto self = m_byId.find(raised.id);
        if (self != m_byId.end() && topmost(self->second))
            return;
        for (const auto& [hwnd, other] : m_surfaces) {
            if (&other != &raised && other.visible && !other.minimized && topmost(hwnd))
                RaiseWithoutActivating(other.window);
        }
    }

    // SDL's own wait would have another thread that gives SDL an event wake
    // it by sending an X event to one of our windows over a second
    // connection, and that window may be destroyed over the first meanwhile.
    // Waiting on the connection ourselves sends nothing.
    bool WaitOnX11(DWORD milliseconds)
    {
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_POLLSENTINEL - 1) || SDL_HasEvents(SDL_POLLSENTINEL + 1, SDL_LASTEVENT))
            return true;
        int xFd = -1;
        if (X11FlushForWait(m_xDisplay, xFd))
            return true;
        std::vector<pollfd> fds{pollfd{xFd, POLLIN, 0}};
        for (const WatchedDescriptor& d : WatchedDescriptors())
            fds.push_back(pollfd{d.fd, POLLIN, 0});
        int timeout = kLongestXWaitMilliseconds;
        if (milliseconds != INFINITE)
            timeout = int(std::min<DWORD>(milliseconds, DWORD(timeout)));
        if (poll(fds.data(), fds.size(), timeout) > 0 && fds.size() > 1)
            PollWatchedDescriptors(0);
        return true;
    }

    void Show(SdlSurface& s, bool visible)
    {
        s.visible = visible;
        if (visible) {
            SDL_ShowWindow(s.window);
            if (!(SDL_GetWindowFlags(s.window) & SDL_WINDOW_POPUP_MENU))
                SDL_RaiseWindow(s.window);
            KeepTopmostAbove(s);
        } else {
            // Without a window manager the desktop gives every window it
            // shows the keyboard and nobody takes it back when it goes, so
            // the keys would be lost after a list or dialog closes.
            if (SDL_GetKeyboardFocus() == s.window)
                m_refocus = true;
            SDL_HideWindow(s.window);
        }
    }

    // Runs at the next poll, when the window system has chosen the window
    // that is active after the hidden one.
    void ReturnKeyboardToActiveWindow()
    {
        m_refocus = false;
        auto it = m_surfaces.find(GetActiveWindow());
        if (it == m_surfaces.end() || !it->second.visible || it->second.minimized)
            return;
        if (SDL_GetKeyboardFocus() != it->second.window)
            SDL_SetWindowInputFocus(it->second.window);
    }

    void DropCachedCursors()
    {
        for (auto it = m_cursors.begin(); it != m_cursors.end();) {
            if (it->second == m_current) {
                ++it;
                continue;
            }
            SDL_FreeCursor(it->second);
            it = m_cursors.erase(it);
        }
    }

    // Screen coordinates of a point in an SDL window: its window rectangle
    // is ours, kept equal to SDL's by the move events.
    bool ScreenPoint(Uint32 id, int x, int y, POINT& screen) const
    {
        HWND hwnd = WindowOf(id);
        Window* w = PeekWindowRecord(hwnd);
        if (!w)
            return false;
        screen = POINT{w->windowRect.left + x, w->windowRect.top + y};
        return true;
    }

    // SDL sends the text a key types as its own event right after the key.
    // The key carries it instead (TranslateMessage makes the WM_CHAR), so the
    // layout's character is typed, and only once.
    BYTE TakeTextOfKey()
    {
        if (m_pending.empty() || m_pending.front().event.type != SDL_TEXTINPUT)
            return 0;
        const SDL_TextInputEvent& next = m_pending.front().event.text;
        // A character 1252 cannot hold is left to the text event, which
        // refuses it.
        bool lossless = true;
        std::string text = Utf8To1252(std::string_view(next.text, strnlen(next.text, sizeof next.text)), &lossless);
        if (!lossless || text.size() != 1 || text[0] == '\0')
            return 0;
        m_pending.pop_front();
        return BYTE(text[0]);
    }

    // Whether a press or release is held back for now: while a move of
    // the pointer that came before it waits in the queue, the window it
    // goes to is not known yet. The program takes the move first, as it
    // does when each comes alone, and what the move does decides where the
    // button goes (a control that holds the capture while the pointer is
    // over it lets it go when the pointer leaves). A move the program does
    // not take soon (a loop that reads other messages) holds it no longer.
    bool HoldButton(const SDL_Event& e, bool noise)
    {
        const Uint32 type = e.type;
        if (noise || (type != SDL_MOUSEBUTTONDOWN && type != SDL_MOUSEBUTTONUP)
            || !(LOWORD(GetQueueStatus(QS_MOUSEMOVE)) & QS_MOUSEMOVE)) {
            m_holding = false;
            return false;
        }
        const Uint32 now = SDL_GetTicks();
        if (!m_holding) {
            m_holding = true;
            m_holdingSince = now;
        }
        if (now - m_holdingSince < kLongestButtonHold)
            return true;
        m_holding = false;
        return false;
    }

    // Moves SDL's queue to ours, marking the key events SDL makes up when
    // the keyboard passes between two of our windows.
    void TakeSdlEvents()
    {
        SDL_Event e;
        size_t first = m_pending.size();
        while (SDL_PollEvent(&e))
            m_pending.push_back(PendingEvent{e, false});
        if (m_pending.size() == first)
            return;
        std::vector<KeyboardEventSummary> summary;
        summary.reserve(m_pending.size());
        for (const PendingEvent& p : m_pending) {
            KeyboardEventSummary k;
            if (p.event.type == SDL_KEYDOWN || p.event.type == SDL_KEYUP) {
                k.kind = KeyboardEventSummary::Kind::Key;
                k.down = p.event.type == SDL_KEYDOWN;
                k.scancode = int(p.event.key.keysym.scancode);
            } else if (p.event.type == SDL_WINDOWEVENT && p.event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                k.kind = KeyboardEventSummary::Kind::FocusLost;
            } else if (p.event.type == SDL_WINDOWEVENT && p.event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                k.kind = KeyboardEventSummary::Kind::FocusGained;
            }
            summary.push_back(k);
        }
        std::vector<bool> noise;
        MarkFocusShuffle(summary, noise);
        for (size_t i = 0; i < m_pending.size(); ++i)
            m_pending[i].noise = m_pending[i].noise || noise[i];
    }

    void Translate(const SDL_Event& e);
    void TranslateWindowEvent(const SDL_WindowEvent& e);
    void RequestQuit();
    void Expose(HWND hwnd);

    std::map<HWND, SdlSurface> m_surfaces;
    std::map<Uint32, HWND> m_byId;
    unsigned m_sequence = 0;
    std::map<uint64_t, SDL_Cursor*> m_cursors;
    std::map<SDL_SystemCursor, SDL_Cursor*> m_systemCursors;
    SDL_Cursor* m_current = nullptr;
    std::unique_ptr<X11Clipboard> m_x11Clipboard;
    std::unique_ptr<X11DragDrop> m_x11DragDrop;
    std::string m_clipboard;
    Uint32 m_clipboardTime = 0;
    bool m_clipboardValid = false;
    // A drop in progress (SDL_DROPBEGIN .. SDL_DROPCOMPLETE).
    std::vector<std::string> m_dropped;
    Uint32 m_dropWindow = 0;
    bool m_refocus = false;
    struct PendingEvent {
        SDL_Event event;
        bool noise = false;
    };
    std::deque<PendingEvent> m_pending;
    static constexpr Uint32 kLongestButtonHold = 250; // milliseconds
    bool m_holding = false;
    Uint32 m_holdingSince = 0;
    // The modifiers of the last key pressed: SDL's text of a key follows
    // the key, and by the time it is read the modifiers may be let go.
    KeyModifiers m_keyModifiers = KeyModifiers::None;
    void* m_xDisplay = nullptr; // Display* of every window, when SDL shows them through X11
};

SDL_HitTestResult HitTest(SDL_Window* window, const SDL_Point* area, void* data)
{
    // Caption and frame go to the desktop, which moves and sizes the window
    // as it would its own; this is decided without calling the program.
    auto* driver = static_cast<SdlDriver*>(data);
    HWND hwnd = driver->WindowOf(SDL_GetWindowID(window));
    Window* w = PeekWindowRecord(hwnd);
    if (!w || (w->style & WS_DISABLED) || IsZoomed(hwnd))
        return SDL_HITTEST_NORMAL;
    POINT screen{w->windowRect.left + area->x, w->windowRect.top + area->y};
    switch (NonClientHitTest(*w, screen)) {
    case HTCAPTION: return SDL_HITTEST_DRAGGABLE;
    case HTLEFT: return SDL_HITTEST_RESIZE_LEFT;
    case HTRIGHT: return SDL_HITTEST_RESIZE_RIGHT;
    case HTTOP: return SDL_HITTEST_RESIZE_TOP;
    case HTBOTTOM: return SDL_HITTEST_RESIZE_BOTTOM;
    case HTTOPLEFT: return SDL_HITTEST_RESIZE_TOPLEFT;
    case HTTOPRIGHT: return SDL_HITTEST_RESIZE_TOPRIGHT;
    case HTBOTTOMLEFT: return SDL_HITTEST_RESIZE_BOTTOMLEFT;
    case HTBOTTOMRIGHT: return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
    default: return SDL_HITTEST_NORMAL;
    }
}

void SdlDriver::Translate(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(e.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        UINT vk = VirtualKeyFromSdlKey(e.key.keysym.sym, e.key.keysym.scancode);
        if (!vk)
            break;
        bool down = e.type == SDL_KEYDOWN;
        KeyModifiers modifiers = ModifiersOf(e.key.keysym.mod);
        if (down)
            m_keyModifiers = modifiers;
        BYTE character = down ? CharacterForKey(vk, modifiers) : 0;
        if (down && !character && !TextSuppressedBy(modifiers))
            character = TakeTextOfKey();
        SDL_Scancode scancode = e.key.keysym.scancode;
        bool keypad = scancode >= SDL_SCANCODE_KP_DIVIDE && scancode <= SDL_SCANCODE_KP_PERIOD;
        DeliverKey(vk, down, e.key.repeat != 0, character, keypad ? KeyBlock::NumericKeypad : KeyBlock::Main);
        break;
    }
    case SDL_TEXTINPUT: {
        bool suppressed = TextSuppressedBy(m_keyModifiers);
        m_keyModifiers = KeyModifiers::None;
        if (suppressed)
            break;
        bool refused = false;
        std::string text = TypedTextTo1252(std::string_view(e.text.text, strnlen(e.text.text, sizeof e.text.text)), refused);
        if (refused)
            MessageBeep(MB_ICONEXCLAMATION);
        if (!text.empty())
            DeliverText(text);
        break;
    }
    case SDL_MOUSEMOTION: {
        POINT screen;
        if (ScreenPoint(e.motion.windowID, e.motion.x, e.motion.y, screen))
            DeliverMouseMove(screen);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        MouseButton button;
        if (e.button.button == SDL_BUTTON_LEFT)
            button = MouseButton::Left;
        else if (e.button.button == SDL_BUTTON_RIGHT)
            button = MouseButton::Right;
        else if (e.button.button == SDL_BUTTON_MIDDLE)
            button = MouseButton::Middle;
        else
            break;
        POINT screen;
        if (ScreenPoint(e.button.windowID, e.button.x, e.button.y, screen))
            DeliverMouseButton(button, e.type == SDL_MOUSEBUTTONDOWN, screen);
        // A click on a window of ours while nobody has the keyboard (a
        // window of another program that had it has gone, and there is no
        // window manager to hand it on) gives the keys to the active window.
        if (e.type == SDL_MOUSEBUTTONDOWN && !SDL_GetKeyboardFocus())
            m_refocus = true;
        break;
    }
    case SDL_MOUSEWHEEL: {
        int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (notches != 0)
            DeliverMouseWheel(notches * WHEEL_DELTA, CursorPos());
        break;
    }
    case SDL_CLIPBOARDUPDATE:
        m_clipboardValid = false;
        break;
    case SDL_DROPBEGIN:
        m_dropped.clear();
        m_dropWindow = e.drop.windowID;
        break;
    case SDL_DROPFILE:
        if (e.drop.file) {
            m_dropWindow = e.drop.windowID;
            m_dropped.emplace_back(e.drop.file);
            SDL_free(e.drop.file);
        }
        break;
    case SDL_DROPTEXT:
        SDL_free(e.drop.file);
        break;
    case SDL_DROPCOMPLETE: {
        std::vector<std::string> files;
        files.swap(m_dropped);
        HWND target = WindowOf(e.drop.windowID ? e.drop.windowID : m_dropWindow);
        // SDL does not say where the files fell; the pointer is there.
        if (target && !files.empty())
            DeliverDrop(target, files, CursorPos());
        break;
    }
    case SDL_QUIT:
        RequestQuit();
        break;
    default:
        break;
    }
}

void SdlDriver::TranslateWindowEvent(const SDL_WindowEvent& e)
{
    HWND hwnd = WindowOf(e.windowID);
    if (!hwnd)
        return;
    auto it = m_surfaces.find(hwnd);
    if (it == m_surfaces.end())
        return;
    SdlSurface& s = it->second;
    switch (e.event) {
    case SDL_WINDOWEVENT_MOVED: {
        POINT p{e.data1, e.data2};
        if (Expected(s.movesRequested, p, [](POINT a, POINT b) { return a.x == b.x && a.y == b.y; }))
            break;
        if (s.minimized || (p.x == s.rect.left && p.y == s.rect.top))
            break;
        OffsetRect(&s.rect, p.x - s.rect.left, p.y - s.rect.top);
        SetWindowPos(hwnd, NULL, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        SIZE size{e.data1, e.data2};
        if (Expected(s.sizesRequested, size, [](SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }))
            break;
        if (s.minimized || (size.cx == s.rect.right - s.rect.left && size.cy == s.rect.bottom - s.rect.top))
            break;
        s.rect.right = s.rect.left + size.cx;
        s.rect.bottom = s.rect.top + size.cy;
        SetWindowPos(hwnd, NULL, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case SDL_WINDOWEVENT_EXPOSED:
        Expose(hwnd);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (!s.minimized) {
            s.minimized = true;
            if (!IsIconic(hwnd))
                ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
        }
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (s.minimized) {
            s.minimized = false;
            if (IsIconic(hwnd))
                ShowWindow(hwnd, SW_RESTORE);
        }
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        m_clipboardValid = false;
        DeliverSurfaceFocus(hwnd, true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // Focus passing to another of our windows (a dropped list, a menu)
        // is no loss for the application; that window's own report, if it
        // counts at all, moves the activation.
        if (SDL_Window* now = SDL_GetKeyboardFocus(); now && now != s.window && WindowOf(SDL_GetWindowID(now)))
            break;
        DeliverSurfaceFocus(hwnd, false);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        // A window under a modal dialog does not close.
        if (IsWindowEnabled(hwnd))
            PostMessage(hwnd, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

// The desktop asks the program to end (the session closing, or a signal
// when the program has not taken signals for itself with
// EndSessionOnSignals). Without a main window named, the oldest window
// nobody owns is the main one.
void SdlDriver::RequestQuit()
{
    HWND main = NULL;
    unsigned first = 0;
    for (const auto& [hwnd, s] : m_surfaces) {
        if (s.owner || !IsWindow(hwnd))
            continue;
        if (!main || s.sequence < first) {
            main = hwnd;
            first = s.sequence;
        }
    }
    RequestEndSession(main);
}

void SdlDriver::Expose(HWND hwnd)
{
    Window* w = PeekWindowRecord(hwnd);
    if (!w || !w->surface)
        return;
    Present(hwnd, *w->surface, RECT{0, 0, w->surface->width, w->surface->height});
}

int SdlDriver::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    struct Button {
        int id;
        const char* label;
    };
    static const Button kButtons[][3] = {
        {{IDOK, "OK"}, {0, nullptr}, {0, nullptr}},
        {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {0, nullptr}},
        {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}},
        {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}},
        {{IDYES, "Yes"}, {IDNO, "No"}, {0, nullptr}},
        {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}, {0, nullptr}},
    };
    UINT kind = type & MB_TYPEMASK;
    if (kind > 5)
        kind = 0;
    UINT defaultIndex = (type & MB_DEFMASK) >> 8;
    std::vector<SDL_MessageBoxButtonData> buttons;
    bool hasCancel = false;
    for (const Button& b : kButtons[kind])
        if (b.label && b.id == IDCANCEL)
            hasCancel = true;
    for (UINT i = 0; i < 3; ++i) {
        const Button& b = kButtons[kind][i];
        if (!b.label)
            break;
        Uint32 flags = 0;
        if (i == defaultIndex)
            flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (b.id == IDCANCEL || (!hasCancel && (b.id == IDNO || (kind == 0 && b.id == IDOK))))
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons.push_back(SDL_MessageBoxButtonData{flags, b.id, b.label});
    }
    UINT icon = type & MB_ICONMASK;
    Uint32 flags = icon == MB_ICONHAND ? SDL_MESSAGEBOX_ERROR
        : icon == MB_ICONEXCLAMATION   ? SDL_MESSAGEBOX_WARNING
                                       : SDL_MESSAGEBOX_INFORMATION;
    flags |= SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    SDL_MessageBoxData data{};
    data.flags = flags;
    auto it = m_surfaces.find(owner);
    data.window = it == m_surfaces.end() ? nullptr : it->second.window;
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = int(buttons.size());
    data.buttons = buttons.data();
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0 || pressed <= 0)
        return 0;
    return pressed;
}

} // namespace

std::unique_ptr<Driver> CreateSdlDriver(std::string& error)
{
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Our frames are finished pixels: the plain window framebuffer shows
    // them. An accelerated one would make SDL recreate each window on its
    // first frame, and the new desktop window forgets a position set just
    // before (dialogs and dropped lists then open at the screen's corner).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string display = x11 && *x11 ? x11 : wayland && *wayland ? wayland : "(none named)";
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = "cannot open display " + display + ": " + SDL_GetError();
        return nullptr;
    }
    // When no display answers, SDL settles on a video driver that shows
    // nothing; a program nobody can see would wait in its first dialog for
    // ever. Those drivers are for whoever names one (SDL_VIDEODRIVER).
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const char* current = SDL_GetCurrentVideoDriver();
    if ((!chosen || !*chosen) && current
        && (std::strcmp(current, "offscreen") == 0 || std::strcmp(current, "dummy") == 0
            || std::strcmp(current, "evdev") == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        error = "cannot open display " + display + ": no X11 or Wayland server answers there";
        return nullptr;
    }
    if (current && std::strcmp(current, "x11") == 0)
        IgnoreX11ErrorsOfGoneWindows();
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    SDL_EventState(SDL_DROPTEXT, SDL_ENABLE);
    SDL_StartTextInput();
    auto driver = std::make_unique<SdlDriver>();
    if (current && std::strcmp(current, "x11") == 0) {
        driver->UseX11Clipboard();
        driver->UseX11DragDrop();
    }
    SIZE screen = driver->ScreenSize();
    SetScreenSize(screen.cx, screen.cy);
    if (Window* desktop = PeekWindowRecord(GetDesktopWindow())) {
        desktop->windowRect = RECT{0, 0, screen.cx, screen.cy};
        desktop->clientRect = desktop->windowRect;
    }
    return driver;
}

} // namespace platform
