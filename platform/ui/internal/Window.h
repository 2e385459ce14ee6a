#pragma once
// The window system's records: classes, windows and the per-thread state
// that holds them. Only platform/ui code includes this.
//
// Handles: an HWND is an id of `WindowSystem::windows` (tag 'W'); a destroyed
// window's id never comes back, so a stale or forged HWND finds nothing.
// Records are looked up by handle every time: code that calls into a window
// procedure (SendMessage and everything built on it) must not keep a Window*
// across the call, because the procedure may destroy that window or others.

#include "platform/base/Types.h"
#include "platform/files/HandleTable.h"
#include "platform/gdi/internal/Region.h"
#include "platform/ui/User.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct PixelBuffer;
class Driver;
class DragTarget;

struct WindowClass {
    std::string name; // as registered; compared without regard to case
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int windowExtra = 0;
    HINSTANCE instance = NULL;
    HICON icon = NULL;
    HICON smallIcon = NULL;
    HCURSOR cursor = NULL; // NULL: the window sets the cursor on WM_SETCURSOR
    HBRUSH background = NULL; // a brush, or (HBRUSH)(COLOR_* + 1)
    LPCSTR menuName = nullptr; // an integer resource or points into menuNameText
    std::string menuNameText;
    std::vector<BYTE> extra;
    bool builtIn = false;
    int windowCount = 0;
};

struct ScrollBarState {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    UINT disabledArrows = 0; // ESB_*
};

enum class WindowLife {
    Creating, // between CreateWindowEx's first message and its return
    Alive,
    Destroying, // inside DestroyWindow; no further messages but WM_DESTROY/WM_NCDESTROY
};

struct Window {
    HWND handle = NULL;
    WindowClass* windowClass = nullptr; // the class outlives its windows
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0; // children: the control id
    HMENU menu = NULL; // top-level windows: the menu bar
    HWND parent = NULL; // the desktop for top-level windows
    HWND owner = NULL;
    // Top-level windows: the window of this one's owner chain that was
    // active last (GetLastActivePopup); NULL when none was.
    HWND lastActivePopup = NULL;
    std::vector<HWND> children; // Z order, top first
    RECT windowRect{}; // screen coordinates
    RECT clientRect{}; // screen coordinates
    std::string text; // Windows-1252
    WNDPROC proc = nullptr;
    HINSTANCE instance = NULL;
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;
    HICON bigIcon = NULL;
    HICON smallIcon = NULL;
    WindowLife life = WindowLife::Creating;
    bool captionActive = false; // WM_NCACTIVATE: how the caption is drawn
    DragTarget* dragTarget = nullptr; // RegisterDragTarget; not owned

    // Placement of a top-level window while minimised or maximised.
    RECT normalRect{};
    POINT minPosition{-1, -1};
    POINT maxPosition{-1, -1};
    UINT placementFlags = 0;

    // Painting: the update region in client coordinates.
    Region update;
    bool erasePending = false;
    bool framePending = false;
    bool internalPaint = false;
    bool redrawDisabled = false; // WM_SETREDRAW FALSE
    int paintDepth = 0; // open BeginPaint calls
    bool paintListed = false; // in WindowSystem::paintCandidates

    ScrollBarState hscroll;
    ScrollBarState vscroll;

    // The last visible regions worked out for this window (client area and
    // whole window), with the rectangles they were made from: a window DC
    // asks for its visible region at every drawing call, and between
    // changes of the window tree it stays the same.
    struct VisibleCache {
        bool valid = false;
        std::vector<RECT> inputs;
        Region region;
    };
    VisibleCache visibleCache[2];

    // Top-level windows own the pixels that they and their children paint
    // into, the size of the window rectangle; the back end presents them.
    std::unique_ptr<PixelBuffer> surface;
    RECT surfaceDirty{}; // window coordinates, not yet presented

    Window();
    ~Window();
};

struct Timer {
    HWND hwnd = NULL;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    DWORD due = 0; // tick count of the next WM_TIMER
};

// The message queue of the user-interface thread.
struct MessageQueue {
    std::deque<MSG> posted; // PostMessage and PostThreadMessage
    std::deque<MSG> input; // keyboard and mouse, from the back end through the input code
    bool quitPending = false;
    int quitCode = 0;
    DWORD lastTime = 0;
    POINT lastPos{0, 0};
    int foreignSends = 0; // InSendMessage
};

struct WindowSystem {
    HandleTable<Window> windows{0x57};
    HWND desktop = NULL;
    std::vector<std::unique_ptr<WindowClass>> classes;
    MessageQueue queue;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = 1;
    HWND locked = NULL; // LockWindowUpdate
    // Every window that may need WM_PAINT (an update region, a frame or an
    // internal paint pending), and perhaps some that no longer do: a window
    // is listed when it is given something to paint and leaves the list
    // once it has nothing, so an empty list means nothing to paint.
    std::vector<HWND> paintCandidates;
};

// The state, made on first use (with the desktop window and the built-in
// classes).
WindowSystem& Ws();

// The live record, or nullptr with ERROR_INVALID_WINDOW_HANDLE. The desktop
// window is a record too.
Window* FindWindowRecord(HWND hwnd);
// The same without touching the last error.
Window* PeekWindowRecord(HWND hwnd);

// Windows the program may see: alive (or being created), not being destroyed.
bool IsUsable(const Window& w);
bool IsTopLevel(const Window& w); // parent is the desktop
// The top-level window whose surface w paints into (w itself if top-level).
Window* TopLevelOf(Window& w);
// WS_VISIBLE on w and every ancestor.
bool IsVisibleChain(const Window& w);
// The deepest visible, enabled window under the screen point inside
// topLevel, children taken in Z order as the pointer takes them; NULL when
// topLevel itself takes no input (a modal dialog is up). With
// skipTransparent, WS_EX_TRANSPARENT children are passed over.
HWND DeepestEnabledWindowAt(HWND topLevel, POINT screen, bool skipTransparent);

// The class by name (case-insensitive) or atom (MAKEINTATOM).
WindowClass* FindClass(LPCSTR name);

// The built-in procedures of the standard classes that have no control code
// yet behave as DefWindowProc; controls replace them with SetClassProc.
void SetBuiltInClassProc(LPCSTR className, WNDPROC proc);

// Calls the procedure of hwnd (rechecking the handle) and returns its
// result; 0 for a dead window.
LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The classic colour scheme again, and its brushes; also tells platform/gdi
// where system colours come from.
void ResetSystemColors();

// Destroys every window, drops posted messages, timers and registered
// classes, for a fresh start in tests.
void ResetWindowSystem();

} // namespace platform
